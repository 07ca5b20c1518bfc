#pragma once

#include "intake/celda.h"
#include "intake/formatocelda.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace tarvix {

// The spreadsheet wrapper: name a file, open it, read cells of its first worksheet as text, close
// it. The whole first worksheet is read into memory by Abrir (the .xls or .xlsx reader is chosen by
// the file's content); LeerCelda only looks cells up and formats them.
//
// Errors (VbError):
// - Abrir without a file: number -2147221494, source "[clExcel.Abrir]", "No hay archivo
//   seleccionado".
// - Abrir on a file that cannot be opened or read (missing, unreadable, not a spreadsheet, damaged,
//   beyond the readers' limits): number 1004 (lector::kErrorLibro), source "[clExcel.Abrir]", the
//   reader's description; 7 "Memoria insuficiente" when memory runs out.
// - LeerCelda outside the sheet (row or column below 1, above 1,048,576 rows or 16,384 columns):
//   number 1004, source "[clExcel.LeerCelda]".
class clEcxel {
public:
    static constexpr qint64 kErrorSinArchivo = -2147221494; // hexadecimal 8004000A

    // The Archivo property: the full path of the spreadsheet to open.
    void setArchivo(const QString& ruta) { m_archivo = ruta; }

    // Reads the first worksheet of the file. True on success; every failure raises.
    bool Abrir();

    // The cell's value as text under the default locale (QLocale()) of the moment; empty text
    // when no worksheet is open (before Abrir, after a failed Abrir or after CerrarArchivo).
    QString LeerCelda(int fila, int columna) const;

    // The texts LeerCelda gives for columns 1 to `columnas` of row `fila`, appended to `destino`
    // one after the other; fines[c - 1] gets the length of `destino` after column c. The default
    // locale is looked up once for the whole row. Raises as LeerCelda for a row or a width outside
    // the sheet; appends nothing (and sets every end to the length of `destino`) when no worksheet
    // is open.
    void LeerFila(int fila, int columnas, QString& destino, quint32* fines) const;

    // The last row of the worksheet that has cells (any row after it is empty); 0 when none is
    // open.
    int UltimaFila() const { return m_hoja ? m_hoja->filas() : 0; }
    // Readies the formatter of the current default locale: LeerCelda and LeerFila may then run in
    // several threads at once, for as long as the default locale stays the same.
    void PrepararLecturaConcurrente() const { formato(); }

    // Lets the worksheet go. Never fails.
    void CerrarArchivo() noexcept;

private:
    const lector::FormatoCelda& formato() const;
    [[noreturn]] static void fueraDeLaHoja();

    QString m_archivo;
    std::optional<lector::Hoja> m_hoja;
    // The formatter of the default locale last seen; rebuilt when the default locale changes.
    mutable std::optional<lector::FormatoCelda> m_formato;
};

} // namespace tarvix
