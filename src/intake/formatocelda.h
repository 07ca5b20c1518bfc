#pragma once

#include "intake/celda.h"

#include <QLocale>
#include <QString>
#include <vector>

namespace tarvix::lector {

// Turns a cell into the text an automation client gets from the cell's value under a locale:
// - empty: "";
// - number: up to 15 significant digits (as "%.15G" writes them: trailing zeros dropped, the
//   exponent form "1E+15" / "1,5E-05" when the decimal exponent is >= 15 or < -4), the locale's
//   decimal separator and minus sign, no grouping; -0 is "0";
// - date: the locale's short date with a four-digit year, plus the locale's long time (without
//   time zone) when the serial has a time part; a serial below 1 is a time only; serials follow
//   the spreadsheet's 1900 system (1 = 1/1/1900, 60 = 29/2/1900, 61 = 1/3/1900); a serial outside
//   0 .. 2958465.99999 (31/12/9999) has no date form and is written as a number;
// - boolean: "True" / "False";
// - error: "Error " and 2000 + the error code ("Error 2007" for #DIV/0!, "Error 2042" for #N/A);
// - text: as stored, never trimmed.
// Build one per locale and reuse it: the constructor reads the locale's patterns once.
class FormatoCelda {
public:
    explicit FormatoCelda(const QLocale& locale);

    QString texto(const Celda& celda) const;
    // Appends texto(celda) to `destino`, without a QString of its own for numbers and dates.
    void agregar(const Celda& celda, QString& destino) const;
    // The most characters escribirEn() writes.
    static constexpr int kMaximoNoTexto = 256;
    // Writes texto(celda) of a cell that is not text at `destino`, which has room for
    // kMaximoNoTexto characters, and returns how many it wrote (0 for a text cell).
    int escribirEn(const Celda& celda, char16_t* destino) const;
    QString numero(double valor) const;
    QString fecha(double serial) const;

    const QLocale& locale() const { return m_locale; }

private:
    enum class Campo : unsigned char { Literal, Dia, Mes, Anio, Hora24, Hora12, Minuto, Segundo, AmPm };
    struct Pieza {
        Campo campo = Campo::Literal;
        int ancho = 0;   // letters in the pattern (d = 1, dd = 2, ddd = 3, ...)
        QString literal; // Literal text; for AmPm, "l" when lower case is wanted
    };
    class Salida;
    static std::vector<Pieza> analizar(const QString& patron);
    void escribir(Salida& destino, const std::vector<Pieza>& piezas, int anio, int mes, int dia,
                  int diaSemana, int segundosDelDia) const;
    void agregarDecimal(Salida& s) const;
    bool numeroCorto(double valor, Salida& s) const;
    void escribirNumero(double valor, Salida& s) const;
    void escribirFecha(double serial, Salida& s) const;

    QLocale m_locale;
    QChar m_decimal;        // the locale's decimal separator when it is one character
    QString m_decimalLargo; // ... otherwise the whole separator
    QChar m_menos;
    QString m_marcas[2][2]; // [AM, PM][upper, lower case]
    std::vector<Pieza> m_fecha;
    std::vector<Pieza> m_hora;
};

// One-off form of FormatoCelda(locale).texto(celda).
QString textoCelda(const Celda& celda, const QLocale& locale);

} // namespace tarvix::lector
