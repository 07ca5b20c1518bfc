#pragma once

#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
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
//
// A cell is kept in 16 bytes (a Casilla) and its text apart, in a list of texts that begins with
// the workbook's shared strings when the reader hands them over: a cell of a shared string holds
// its index and no copy.
class Hoja {
public:
    static constexpr int kMaxFilas = 1048576;
    static constexpr int kMaxColumnas = 16384;

    struct Casilla {
        double numero = 0.0;    // as Celda::numero
        std::uint32_t dato = 0; // Texto: index in the texts; Booleano: 0 or 1; Error: the code
        TipoCelda tipo = TipoCelda::Vacia;
    };

    Celda celda(int fila, int columna) const {
        if (fila < 1 || columna < 1 || fila > static_cast<int>(m_filas.size()))
            return {};
        const auto& f = m_filas[static_cast<size_t>(fila - 1)];
        if (columna > static_cast<int>(f.size()))
            return {};
        return celda(f[static_cast<size_t>(columna - 1)]);
    }

    // The cells of row `fila` up to its last non-empty one; none outside the sheet.
    std::span<const Casilla> fila(int fila) const {
        if (fila < 1 || fila > static_cast<int>(m_filas.size()))
            return {};
        return m_filas[static_cast<size_t>(fila - 1)];
    }
    // The text of a Texto cell of this sheet.
    const QString& texto(const Casilla& c) const { return m_textos[c.dato]; }
    // The texts this sheet holds, the shared strings first (some may be empty, left by cells
    // put over others).
    std::span<const QString> textos() const { return m_textos; }
    Celda celda(const Casilla& c) const {
        Celda r;
        r.tipo = c.tipo;
        r.numero = c.numero;
        if (c.tipo == TipoCelda::Texto)
            r.texto = texto(c);
        else if (c.tipo == TipoCelda::Booleano)
            r.booleano = c.dato != 0;
        else if (c.tipo == TipoCelda::Error)
            r.codigoError = static_cast<int>(c.dato);
        return r;
    }

    // Puts a cell; the reader has already checked fila/columna against the limits above.
    void poner(int fila, int columna, Celda c) {
        Casilla& k = lugar(fila, columna);
        soltarTexto(k);
        k.tipo = c.tipo;
        k.numero = c.numero;
        if (c.tipo == TipoCelda::Texto)
            k.dato = guardarTexto(std::move(c.texto));
        else if (c.tipo == TipoCelda::Booleano)
            k.dato = c.booleano ? 1 : 0;
        else if (c.tipo == TipoCelda::Error)
            k.dato = static_cast<std::uint32_t>(c.codigoError);
        else
            k.dato = 0;
    }

    // Puts a number or a date.
    void numero(int fila, int columna, TipoCelda tipo, double valor) {
        Casilla& k = lugar(fila, columna);
        soltarTexto(k);
        k = {valor, 0, tipo};
    }

    // The shared strings, taken over before any cell is put; `compartida` then puts a cell of the
    // shared string `indice` (below compartidas()).
    void adoptarCompartidas(std::vector<QString> textos) {
        m_textos = std::move(textos);
        m_compartidas = m_textos.size();
    }
    std::size_t compartidas() const { return m_compartidas; }
    void compartida(int fila, int columna, std::uint32_t indice) {
        Casilla& k = lugar(fila, columna);
        soltarTexto(k);
        k = {0.0, indice, TipoCelda::Texto};
    }

    int filas() const { return static_cast<int>(m_filas.size()); }
    void reservarFilas(int n) { m_filas.reserve(static_cast<size_t>(n)); }

    // A sheet read in two halves. The second half is put in a sheet of its own, which knows how
    // many shared strings there are but holds none of them (numerarTextosDesde), and is then
    // merged into the first: its cells go where they say, over what the first half put there, as
    // if they had been put after it one by one.
    void numerarTextosDesde(std::size_t compartidas) {
        m_compartidas = compartidas;
        m_base = compartidas;
    }
    void fusionar(Hoja&& otra) {
        if (static_cast<int>(m_filas.size()) < otra.filas())
            m_filas.resize(otra.m_filas.size());
        for (std::size_t i = 0; i < otra.m_filas.size(); ++i) {
            std::vector<Casilla>& suya = otra.m_filas[i];
            if (suya.empty())
                continue;
            for (Casilla& k : suya)
                if (k.tipo == TipoCelda::Texto && k.dato >= otra.m_compartidas)
                    k.dato = guardarTexto(std::move(otra.m_textos[k.dato - otra.m_base]));
            if (m_filas[i].empty()) {
                m_filas[i] = std::move(suya);
                continue;
            }
            for (std::size_t c = 0; c < suya.size(); ++c) {
                if (suya[c].tipo == TipoCelda::Vacia)
                    continue; // a place left empty by the cells to its right: nothing was put there
                Casilla& k = lugar(static_cast<int>(i) + 1, static_cast<int>(c) + 1);
                soltarTexto(k);
                k = suya[c];
            }
        }
        otra = Hoja();
    }
    // Back to no cells, the shared strings kept.
    void vaciarCeldas() {
        m_filas.clear();
        m_textos.resize(m_compartidas - m_base);
        m_libres.clear();
        m_anchoReciente = 0;
    }

private:
    Casilla& lugar(int fila, int columna) {
        if (static_cast<int>(m_filas.size()) < fila)
            m_filas.resize(static_cast<size_t>(fila));
        auto& f = m_filas[static_cast<size_t>(fila - 1)];
        if (static_cast<int>(f.size()) < columna) {
            // A new row is given the width of the last row that grew at once: rows of a sheet are
            // mostly alike. That width was a real row's, so at most one row more is over-sized.
            if (f.capacity() == 0)
                f.reserve(static_cast<size_t>(std::max(columna, m_anchoReciente)));
            if (static_cast<int>(f.size()) + 1 == columna)
                f.emplace_back(); // the next cell of the row, the usual case
            else
                f.resize(static_cast<size_t>(columna));
            m_anchoReciente = columna;
        }
        return f[static_cast<size_t>(columna - 1)];
    }
    // A text of its own that a cell put over it leaves is reused by the next one, so cells put
    // again and again in the same place do not pile texts up.
    void soltarTexto(const Casilla& k) {
        if (k.tipo == TipoCelda::Texto && k.dato >= m_compartidas) {
            m_textos[k.dato - m_base] = QString();
            m_libres.push_back(k.dato);
        }
    }
    std::uint32_t guardarTexto(QString t) {
        if (!m_libres.empty()) {
            const std::uint32_t i = m_libres.back();
            m_libres.pop_back();
            m_textos[i - m_base] = std::move(t);
            return i;
        }
        m_textos.push_back(std::move(t));
        return static_cast<std::uint32_t>(m_base + m_textos.size() - 1);
    }

    std::vector<std::vector<Casilla>> m_filas;
    std::vector<QString> m_textos; // the shared strings, then the texts of the cells' own
    std::size_t m_compartidas = 0;
    std::size_t m_base = 0;              // index of m_textos[0]: the shared strings this sheet does not hold
    std::vector<std::uint32_t> m_libres; // texts of its own no cell holds any more
    int m_anchoReciente = 0;
};

} // namespace tarvix::lector
