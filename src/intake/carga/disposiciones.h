#pragma once

#include "intake/encabezados.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace Velno {
class clBase;
}

namespace tarvix {

class ModeloGrilla;
struct EstadoAsistente;
struct Servicios;

// The mappings remembered per header layout, in table MAPEOS of the working database: the
// normalised header row (encabezados::claveDisposicion) and the label of each column, separated by
// TAB. A database that lacks the table remembers nothing and recalls nothing.
namespace disposiciones {

// Creates the table when missing (the start-up upgrade).
void crearTabla(Velno::clBase& base);

// The labels remembered for the layout of `grilla`, one per column.
std::optional<QStringList> recordada(Velno::clBase& base, const ModeloGrilla& grilla);

// Remembers the field row of `grilla` for its layout, replacing what was remembered for it. A grid
// without header texts is not remembered.
void recordar(Velno::clBase& base, const ModeloGrilla& grilla);

struct Recordada {
    QString encabezados; // the key
    QStringList etiquetas;
};
// Every remembered layout, by key.
std::vector<Recordada> todas(Velno::clBase& base);
void olvidar(Velno::clBase& base, const QString& encabezados);

} // namespace disposiciones

// The settings that turn the proposal from headers and the remembered layouts on ("1", the
// default) or off ("0"). With both off a load leaves the field row empty.
inline constexpr const char* kProponerCampos = "PROPONER_CAMPOS";
inline constexpr const char* kRecordarMapeos = "RECORDAR_MAPEOS";
bool proponerCamposActivo();
bool recordarMapeosActivo();

// Texts of the status label after a load.
inline constexpr const char* kAvisoPropuestos = "Campos propuestos según los encabezados: revise con F1";
inline constexpr const char* kAvisoRecordado = "Se aplicó el mapeo guardado para estos encabezados";

// What a load found for the field row.
enum class MapeoInicial { Ninguno, Recordado, Propuesto };

// The field row a load leaves: the labels remembered for the layout in `base` (when given), or else
// (when `proponer`) those proposed from the headers; nothing when no label would be set.
struct Mapeo {
    MapeoInicial tipo = MapeoInicial::Ninguno;
    QStringList etiquetas; // one per column, empty where none
};
Mapeo mapeoInicial(const ModeloGrilla& grilla, Velno::clBase* base, bool proponer,
                   const encabezados::CatalogoConocido& catalogo = {});

// The article codes catalog `idcatalogo` of the customs system (entity INTERNOS) knows; nothing
// without a catalog or a connection.
encabezados::CatalogoConocido catalogoDeAduana(Servicios& srv, const QString& idcatalogo);

// After a load, when the field row holds no label: writes the settings' mapeoInicial (the chosen
// catalog telling article columns apart) into it as F1 would and says so in the status label.
MapeoInicial aplicarMapeoInicial(ModeloGrilla& grilla, Servicios& srv, const EstadoAsistente& estado);

} // namespace tarvix
