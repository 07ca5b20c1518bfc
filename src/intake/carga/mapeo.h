#pragma once

#include "pipeline/etiquetas.h"

#include <QStringList>
#include <QStringView>
#include <array>

namespace tarvix {

class ModeloGrilla;
struct EstadoAsistente;
struct Servicios;

// The field labels the chooser offers, in the order of its list. The first clears a column.
inline constexpr QStringView kNingunCampo = u"< ninguno >";
inline constexpr std::array<QStringView, 14> kEtiquetasCampo{
    kNingunCampo,          etiqueta::ARTICULO, etiqueta::DESCRIPC,       etiqueta::UNIDAD,
    etiqueta::UNIDADQX,    etiqueta::CANTIDAD, etiqueta::TOTAL,          etiqueta::ORIGEN,
    etiqueta::PROCEDENCIA, etiqueta::KILOS,    etiqueta::FECHA_EMBARQUE, etiqueta::FECHA_ARRIBO,
    etiqueta::MARCA,       etiqueta::OTROS};

// The labels the processing run also recognises, offered after those above.
inline constexpr std::array<QStringView, 11> kEtiquetasReconocidas{etiqueta::NCM,
                                                                   etiqueta::MODELO,
                                                                   etiqueta::DESCRIPCION_MARIA,
                                                                   etiqueta::DESCRIPCION_MARIA2,
                                                                   etiqueta::DESCRIPCION_MARIA3,
                                                                   etiqueta::SUFIJO1,
                                                                   etiqueta::VALOR_SUFIJO1,
                                                                   etiqueta::SUFIJO2,
                                                                   etiqueta::VALOR_SUFIJO2,
                                                                   etiqueta::SUFIJO3,
                                                                   etiqueta::VALOR_SUFIJO3};

// The first of `etiquetas` whose field name (the text between "[ " and " ]") starts with
// `tecleado`, ignoring case; -1 when none does.
int buscarEtiqueta(QStringView tecleado, const QStringList& etiquetas);

// Row of the grid that holds the field labels.
inline constexpr int kFilaCampos = 1;

// F1 on the grid: asks for a label through the field chooser (its answer in g_sRetorno) and writes
// it into the field row of the current column. Esc changes nothing; "< ninguno >" clears.
void FRAM2_EstablecerCampo(ModeloGrilla& grilla, Servicios& srv, EstadoAsistente& estado);

// "Selección automatica": writes the fixed layout of nine labels into the field row. A grid too
// narrow for it keeps the labels written before the failing one and reports the failure.
void cmdAutomatico_Click(ModeloGrilla& grilla, Servicios& srv);

// True when article code, description, origin, quantity and total each stand in exactly one
// column; otherwise tells the user about the first that does not. Traps nothing: a failure reaches
// the wizard's report.
bool FRAM2_VerificarDatos(const ModeloGrilla& grilla, Servicios& srv);

} // namespace tarvix
