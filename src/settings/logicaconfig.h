#pragma once

#include "components/estadoasistente.h"
#include "components/servicios.h"
#include "intake/carga/disposiciones.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tarvix {

class VbError;

// The logic of frmConfig: the default unit, the article catalog, the brand and the price-variation
// percentage of the per-user settings, and the country relations of table ORG. It holds what the
// window shows; the window draws it after each call and forwards the user's choices.
class LogicaConfig {
public:
    struct Relacion {
        QString pai; // "Pais"
        QString ori; // "Origen"
        QString esm; // "Est Mer"
    };

    explicit LogicaConfig(Servicios& srv, EstadoAsistente& estado);

    // Fills every control from the settings, the customs-system database and ORG.
    void Form_Load();
    // Saves the four settings and hands INTCAT, INTDUN and AA_MARCA to the globals. False when the
    // percentage is not a number: then nothing is saved and the window stays open.
    bool GrabarySalir();
    // Empties and refills lstRELPAIS from ORG.
    void ORI_CargarListado();
    // Opens the country-relation window with an empty origin text, then refills the list.
    void Ori_Nuevo();
    // Deletes the selected relation after the user confirms it.
    void ORI_Eliminar();
    // Empties and refills lstMapeos from the remembered layouts.
    void MAP_CargarListado();
    // Forgets the selected remembered layout after the user confirms it.
    void MAP_Eliminar();

    // What the window shows.
    QStringList cboUnidad;
    QStringList cboIdUnidad; // hidden twin: the unit ids
    int unidadSeleccionada = -1;
    QStringList cboCatalogo;
    QStringList cboIdCatalogo; // hidden twin: the catalog ids
    int catalogoSeleccionado = -1;
    QString txtMarca;
    QString txtVariacionPrecio = QStringLiteral("0");
    std::vector<Relacion> lstRELPAIS;
    int relacionSeleccionada = -1;
    // The mapping of a load: the proposal from headers and the remembered layouts.
    bool chkProponerCampos = true;
    bool chkRecordarMapeos = true;
    std::vector<disposiciones::Recordada> lstMapeos;
    int mapeoSeleccionado = -1;

private:
    // Fills a list and its hidden twin from the customs database and selects the row whose id is
    // `recordado` (row 0 when none is). False, after telling the user, when the query failed.
    bool cargarDeAduana(const QString& sql, const QString& campoId, bool idEnElTexto, QStringList& textos,
                        QStringList& ids, int& seleccion, const QString& recordado, const QString& queFallo,
                        const QString& queSeConserva);
    void avisarAduana(const VbError& e, const QString& queFallo, const QString& queSeConserva);

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    // The values stored when the window opened: kept when their list could not be filled.
    QString m_intdunGuardado;
    QString m_intcatGuardado;
};

} // namespace tarvix
