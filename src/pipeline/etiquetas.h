#pragma once

#include <QStringView>

// The field labels of grid row 1 that name each column's field: written by the field chooser and
// "Selección automatica", read by the verification and by the processing run.
namespace tarvix::etiqueta {

inline constexpr QStringView ARTICULO = u"[ ARTICULO ]";
inline constexpr QStringView DESCRIPC = u"[ DESCRIPC ]";
inline constexpr QStringView NCM = u"[ NCM ]";
inline constexpr QStringView UNIDAD = u"[ UNIDAD ]";
inline constexpr QStringView UNIDADQX = u"[ UNIDAD QX ]";
inline constexpr QStringView CANTIDAD = u"[ CANTIDAD ]";
inline constexpr QStringView TOTAL = u"[ TOTAL ]";
inline constexpr QStringView ORIGEN = u"[ ORIGEN ]";
inline constexpr QStringView PROCEDENCIA = u"[ PROCEDENCIA ]";
inline constexpr QStringView KILOS = u"[ KILOS ]";
inline constexpr QStringView FECHA_EMBARQUE = u"[ FECHA_EMBARQUE ]";
inline constexpr QStringView FECHA_ARRIBO = u"[ FECHA_ARRIBO ]";
inline constexpr QStringView MARCA = u"[ MARCA ]";
inline constexpr QStringView OTROS = u"[ OTROS ]";

// Recognised by the processing run and not read by it.
inline constexpr QStringView DESCRIPCION_MARIA = u"[ DESCRIPCION_MARIA ]";
inline constexpr QStringView DESCRIPCION_MARIA2 = u"[ DESCRIPCION_MARIA2 ]";
inline constexpr QStringView DESCRIPCION_MARIA3 = u"[ DESCRIPCION_MARIA3 ]";
inline constexpr QStringView MODELO = u"[ MODELO ]";
inline constexpr QStringView SUFIJO1 = u"[ SUFIJO1 ]";
inline constexpr QStringView VALOR_SUFIJO1 = u"[ VALOR_SUFIJO1 ]";
inline constexpr QStringView SUFIJO2 = u"[ SUFIJO2 ]";
inline constexpr QStringView VALOR_SUFIJO2 = u"[ VALOR_SUFIJO2 ]";
inline constexpr QStringView SUFIJO3 = u"[ SUFIJO3 ]";
inline constexpr QStringView VALOR_SUFIJO3 = u"[ VALOR_SUFIJO3 ]";

} // namespace tarvix::etiqueta
