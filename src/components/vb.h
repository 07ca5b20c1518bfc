#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

// The value semantics the procedures of the system are written against: number and date text in
// the user's locale, the fixed format patterns, the numeric test, and the text helpers with
// 1-based positions. "The user's locale" is QLocale() (the default locale).
namespace tarvix::vb {

// Number to text as the user sees it: up to 15 significant digits, the locale's decimal separator,
// no grouping, the exponent form ("1E+15", "1,5E-05") outside 1e-4 <= |x| < 1e15.
QString CStr(double valor, const QLocale& locale = QLocale());

// Format(valor, patron) for the patterns "0", "00", "0000", "000000", "00.00", "00.0000",
// "00.00000" and any pattern of zeros with an optional point: at least as many integer digits as
// zeros before the point, exactly as many decimals as zeros after it, rounded half away from zero on
// the decimal value, decimal separator of the locale.
QString Format(double valor, const QString& patron, const QLocale& locale = QLocale());

// Format of a text (VB formats a numeric text as a number and leaves any other text as it is).
QString Format(const QString& texto, const QString& patron, const QLocale& locale = QLocale());

// The locale's text with every comma turned into a point: how numbers are written into SQL.
QString PuntoDecimal(const QString& textoLocale);
// CStr of the value, then the point conversion.
QString NumeroSql(double valor, const QLocale& locale = QLocale());

// IsNumeric: blanks around, a sign, digits with the locale's grouping, the locale's decimal
// separator, an exponent. Falls back to the plain point form when the text is not a number of the
// locale (so "12.5" under a comma locale is 12.5, not 125). Sets *valor when numeric.
bool EsNumero(const QString& texto, double* valor = nullptr, const QLocale& locale = QLocale());
bool EsNumero(const QVariant& valor, double* numero = nullptr, const QLocale& locale = QLocale());

// CDbl: like EsNumero, raising error 13 ("No coinciden los tipos") for a text that is no number.
double CDbl(const QString& texto, const QLocale& locale = QLocale());

// IsDate: a date (optionally with a time) in the locale's short form, or ISO yyyy-mm-dd.
bool EsFecha(const QString& texto, QDateTime* valor = nullptr, const QLocale& locale = QLocale());

// The short date and the time as the original platform wrote them: a table for the locales it
// knows (es_AR "dd/MM/yyyy" and "HH:mm:ss", en_US "M/d/yyyy" and "h:mm:ss AP"), elsewhere the
// locale's short date with a four-digit year and its long time without the time zone.
QString PatronFechaCorta(const QLocale& locale = QLocale());
QString PatronHora(const QLocale& locale = QLocale());
QString TextoFecha(const QDate& fecha, const QLocale& locale = QLocale());
// The date, and the time after a blank when it is not midnight.
QString TextoFechaHora(const QDateTime& fecha, const QLocale& locale = QLocale());

// Trim/LTrim/RTrim remove blanks (spaces) only, as VB does; tabs and line breaks stay.
QString Trim(const QString& s);
QString LTrim(const QString& s);
QString RTrim(const QString& s);
QString UCase(const QString& s);
QString Left(const QString& s, qsizetype n);
// The letter of a worksheet column: 0 -> "A", 25 -> "Z", 26 -> "AA".
QString LetraColumna(int columna);
QString Right(const QString& s, qsizetype n);
// 1-based start; without length, to the end. A start beyond the end gives empty text.
QString Mid(const QString& s, qsizetype inicio, qsizetype largo = -1);
// 1-based position of `buscado` from `inicio`, 0 when absent.
qsizetype InStr(qsizetype inicio, const QString& s, const QString& buscado);

// a / b, raising error 11 "División por cero" when b is 0.
double Dividir(double a, double b);

// A text literal for SQL with its quotes doubled, between quotes: O'Brien -> 'O''Brien'.
QString SqlTexto(const QString& s);
// The text with its quotes doubled, for statements that write the enclosing quotes themselves. A NUL
// character, which no statement text can carry, becomes a blank.
QString DoblarComillas(const QString& s);
// Every single quote (and NUL character) replaced by one blank: how invoice texts are cleaned before
// they are stored.
QString ComillasABlancos(const QString& s);

} // namespace tarvix::vb
