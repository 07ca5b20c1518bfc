#pragma once

#include "intake/celda.h"
#include "intake/xlsx/directo.h"

#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvix::lector::xlsx {

// What a cell's attributes and value say, as the worksheet writes them: numbers, dates, error
// codes, cell types and references. The small ones that every cell goes through are inline.

inline constexpr double kDesplazamiento1904 = 1462.0;

// The run of decimal digits that starts `s` into `*valor`, saturating at `tope` + 1 (which must be
// an int). Returns how many digits there were.
inline std::size_t digitos(std::string_view s, int tope, int* valor) {
    const std::int64_t saturado = std::int64_t(tope) + 1;
    std::int64_t v = 0;
    std::size_t i = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        v = std::min(v * 10 + (s[i] - '0'), saturado);
    *valor = static_cast<int>(v);
    return i;
}

// A column letter's value, 1 to 26 in either case; 0 for anything else.
inline int valorLetra(char l) {
    // Once bit 5 is set, a letter of either case is a lower-case one.
    const unsigned letra = static_cast<unsigned>(static_cast<unsigned char>(l) | 0x20) - ('a' - 1);
    return letra - 1 < 26 ? static_cast<int>(letra) : 0;
}

// Column letters ("K", "xfd") as referenciaCelda reads them; false when one is not a letter.
inline bool letrasDeColumna(std::string_view letras, int* columna) {
    int c = 0;
    for (const char l : letras) {
        const int letra = valorLetra(l);
        if (letra == 0)
            return false;
        c = c > Hoja::kMaxColumnas ? Hoja::kMaxColumnas + 1 : c * 26 + letra;
    }
    *columna = std::min(c, Hoja::kMaxColumnas + 1);
    return true;
}

// "-1234.56": at most 15 digits and no exponent, the usual form of a cell's number. n / 10^d with
// both exact gives the correctly rounded value, as a general conversion does, in a fraction of its
// time. False for anything else, which goes through std::from_chars.
inline bool decimalSimple(std::string_view v, double* x) {
    static constexpr double kPotencias[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = v.size() && v[0] == '-' ? 1 : 0;
    std::int64_t n = 0;
    int cifras = 0, decimales = -1;
    for (; i < v.size(); ++i) {
        const char c = v[i];
        if (c >= '0' && c <= '9') {
            n = n * 10 + (c - '0');
            if (++cifras > 15)
                return false;
            if (decimales >= 0)
                ++decimales;
        } else if (c == '.' && decimales < 0) {
            decimales = 0;
        } else {
            return false;
        }
    }
    if (cifras == 0)
        return false;
    const double r = static_cast<double>(n) / kPotencias[decimales < 0 ? 0 : decimales];
    *x = v[0] == '-' ? -r : r;
    return true;
}

// A cell's number in the general form ("-1.5E-3", "1e5"): false when it is none or too large for a
// double; one too small for a double is 0, as spreadsheet programs read it.
bool numeroXml(std::string_view v, double* x);

// `s` without the blanks at either end.
inline std::string_view recortado(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && directo::blanco(s[a]))
        ++a;
    while (b > a && directo::blanco(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

// The reference of a cell ("B7") for the messages.
QString textoReferencia(int fila, int columna);

enum class TipoValor : unsigned char { Numero, Compartida, EnLinea, Formula, Booleano, Error, FechaIso };

// The cell type of a t attribute.
inline std::optional<TipoValor> tipoValor(std::string_view t) {
    if (t.size() == 1) {
        switch (t[0]) {
        case 's':
            return TipoValor::Compartida;
        case 'n':
            return TipoValor::Numero;
        case 'b':
            return TipoValor::Booleano;
        case 'e':
            return TipoValor::Error;
        case 'd':
            return TipoValor::FechaIso;
        default:
            return std::nullopt;
        }
    }
    if (t == "str")
        return TipoValor::Formula;
    if (t == "inlineStr")
        return TipoValor::EnLinea;
    return std::nullopt;
}

// A cell reference ("B7", "XFD1048576"; also "B" with no row) split into its 1-based row (0 when
// absent) and column. False when it is not a reference; a part beyond the sheet's size is given
// as kMaxFilas + 1 or kMaxColumnas + 1.
bool referenciaCelda(std::string_view ref, int* fila, int* columna);

// An ISO 8601 date, date and time, or time ("2024-03-15", "2024-03-15T10:30:00Z", "10:30:00") as a
// serial of the 1900 system. False when it is none of those or before 1900.
bool serialIso(std::string_view texto, double* serial);

// The code of an error value ("#DIV/0!" 0x07, "#N/A" 0x2A, ...); -1 for an unknown text.
int codigoError(std::string_view texto);

} // namespace tarvix::lector::xlsx
