#pragma once

#include <QString>

namespace tarvix {

class ModeloGrilla;
struct EstadoAsistente;
struct Servicios;

// The open-file dialog of "Procesar", through a file service of its own. When the user chose a
// file its path goes into `txtArchivo` (FRAM2_TxtArchivo) and the result is true; a cancelled
// dialog changes nothing.
// The settings key of the folder of the last invoice opened.
inline constexpr const char* kClaveCarpetaFacturas = "CARPETA_FACTURAS";

bool Seleccionar_Archivo_XLS(Servicios& srv, QString& txtArchivo);

// Reads the first worksheet of `ruta` into the grid: row 0 the header, row 1 the empty field row in
// blue, rows 2 on the data lines; both first rows fixed. Returns true on success (the caller then
// enables "Siguiente >" with an empty Tag). On any failure the grid stays as it was (the new grid
// is built aside and put in place only at the end) and the error is reported.
bool lf_LevantarExcel(const QString& ruta, ModeloGrilla& grilla, Servicios& srv);

} // namespace tarvix
