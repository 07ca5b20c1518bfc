#pragma once

#include <QString>
#include <algorithm>
#include <span>
#include <vector>

namespace tarvix::lector {

// One worksheet cell as the readers hand it over, before it is turned into text.
enum class TipoCelda : unsigned char { Vacia, Numero, Fecha, Texto, Booleano, Error };

struct Celda {
    TipoCelda tipo = TipoCelda::Vacia;
    // Numero: the value. Fecha: the serial in the 1900 date system (a 1904 workbook is already
    // shifted by the reader), whole days plus the time as a fraction.
    double numero = 0.0;
    QString texto;         // Texto: the text as stored, never trimmed
    bool booleano = false; // Booleano
    int codigoError = 0;   // Error: the spreadsheet error code (0x07 #DIV/0!, 0x2A #N/A, ...)
};

// The first worksheet of a workbook, cells addressed from 1 as the spreadsheet does. Rows are
// kept dense up to the last row read; each row holds cells up to its last non-empty one.
class Hoja {
public:
    static constexpr int kMaxFilas = 1048576;
    static constexpr int kMaxColumnas = 16384;

    const Celda& celda(int fila, int columna) const {
        static const Celda vacia;
        if (fila < 1 || columna < 1 || fila > static_cast<int>(m_filas.size()))
            return vacia;
        const auto& f = m_filas[static_cast<size_t>(fila - 1)];
        if (columna > static_cast<int>(f.size()))
            return vacia;
        return f[static_cast<size_t>(columna - 1)];
    }

    // The cells of row `fila` up to its last non-empty one; none outside the sheet.
    std::span<const Celda> fila(int fila) const {
        if (fila < 1 || fila > static_cast<int>(m_filas.size()))
            return {};
        return m_filas[static_cast<size_t>(fila - 1)];
    }

    // Puts a cell; the reader has already checked fila/columna against the limits above.
    void poner(int fila, int columna, Celda c) {
        if (static_cast<int>(m_filas.size()) < fila)
            m_filas.resize(static_cast<size_t>(fila));
        auto& f = m_filas[static_cast<size_t>(fila - 1)];
        if (static_cast<int>(f.size()) < columna) {
            // A new row is given the width of the last row that grew at once: rows of a sheet are
            // mostly alike. That width was a real row's, so at most one row more is over-sized.
            if (f.capacity() == 0)
                f.reserve(static_cast<size_t>(std::max(columna, m_anchoReciente)));
            f.resize(static_cast<size_t>(columna));
            m_anchoReciente = columna;
        }
        f[static_cast<size_t>(columna - 1)] = std::move(c);
    }

    int filas() const { return static_cast<int>(m_filas.size()); }
    void reservarFilas(int n) { m_filas.reserve(static_cast<size_t>(n)); }

private:
    std::vector<std::vector<Celda>> m_filas;
    int m_anchoReciente = 0;
};

} // namespace tarvix::lector
