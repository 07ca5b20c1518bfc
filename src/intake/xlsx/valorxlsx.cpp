#include "intake/xlsx/valorxlsx.h"

#include <QDate>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace tarvix::lector::xlsx {

namespace {

constexpr qint64 kJulianoDia0 = 2415019; // 30/12/1899

// Whether a decimal number that does not fit a double is too small for one rather than too large:
// its first significant digit's power of ten, plus one, is not positive.
bool demasiadoPequeno(std::string_view v) {
    std::size_t i = v.size() && v[0] == '-' ? 1 : 0;
    long potencia = 0;
    bool significativo = false, decimales = false;
    for (; i < v.size(); ++i) {
        const char c = v[i];
        if (c == '.') {
            decimales = true;
        } else if (c < '0' || c > '9') {
            break;
        } else if (significativo || c != '0') {
            potencia += !decimales;
            significativo = true;
        } else if (decimales) {
            --potencia; // a zero before the first significant digit
        }
    }
    long exponente = 0;
    if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
        const bool negativo = i + 1 < v.size() && v[i + 1] == '-';
        for (i += i + 1 < v.size() && (v[i + 1] == '-' || v[i + 1] == '+') ? 2 : 1; i < v.size(); ++i)
            exponente = std::min(exponente * 10 + (v[i] - '0'), 100'000'000L);
        exponente = negativo ? -exponente : exponente;
    }
    return potencia + exponente <= 0;
}

} // namespace

bool numeroXml(std::string_view v, double* x) {
    const char* const fin = v.data() + v.size();
    const auto r = std::from_chars(v.data(), fin, *x);
    if (r.ptr != fin)
        return false;
    if (r.ec == std::errc())
        return std::isfinite(*x);
    if (r.ec != std::errc::result_out_of_range || !demasiadoPequeno(v))
        return false;
    *x = 0.0;
    return true;
}

QString textoReferencia(int fila, int columna) {
    QString letras;
    for (int c = columna; c > 0; c = (c - 1) / 26)
        letras.prepend(QChar(u'A' + (c - 1) % 26));
    return letras + QString::number(fila);
}

bool referenciaCelda(std::string_view ref, int* fila, int* columna) {
    const std::size_t letras = static_cast<std::size_t>(
        std::find_if(ref.begin(), ref.end(), [](char l) { return valorLetra(l) == 0; }) - ref.begin());
    int c = 0;
    if (letras == 0 || !letrasDeColumna(ref.substr(0, letras), &c))
        return false;
    int f = 0;
    const char* p = ref.data() + letras;
    const char* const fin = ref.data() + ref.size();
    for (; p < fin; ++p) {
        const unsigned cifra = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
        if (cifra > 9)
            break;
        f = f > Hoja::kMaxFilas ? Hoja::kMaxFilas + 1 : f * 10 + static_cast<int>(cifra);
    }
    if (p != fin || (p != ref.data() + letras && f == 0))
        return false;
    *fila = f;
    *columna = c;
    return true;
}

bool serialIso(std::string_view textoIso, double* serial) {
    const std::string copia(textoIso); // read as a C string: it ends in a NUL
    const char* texto = copia.c_str();
    int anio = 1899, mes = 12, dia = 30, hora = 0, minuto = 0;
    double segundo = 0;
    const char* p = texto;
    auto numero = [&p](int cifras, int* v) {
        *v = 0;
        for (int i = 0; i < cifras; ++i, ++p) {
            if (*p < '0' || *p > '9')
                return false;
            *v = *v * 10 + (*p - '0');
        }
        return true;
    };
    const bool conFecha = std::strlen(texto) >= 10 && texto[4] == '-';
    if (conFecha) {
        if (!numero(4, &anio) || *p++ != '-' || !numero(2, &mes) || *p++ != '-' || !numero(2, &dia))
            return false;
        if (*p == 'T' || *p == 't' || *p == ' ')
            ++p;
        else if (*p)
            return false;
    }
    if (*p) {
        if (!numero(2, &hora) || *p++ != ':' || !numero(2, &minuto))
            return false;
        if (*p == ':') {
            ++p;
            const char* fin = p + std::strlen(p);
            const char* zona = p;
            while (zona < fin && ((*zona >= '0' && *zona <= '9') || *zona == '.'))
                ++zona;
            const auto r = std::from_chars(p, zona, segundo);
            if (r.ec != std::errc() || r.ptr != zona)
                return false;
            p = zona;
        }
        // A time zone ("Z", "+03:00") is not kept: the sheet's dates carry none.
        if (*p && *p != 'Z' && *p != 'z' && *p != '+' && *p != '-')
            return false;
        if (hora > 24 || minuto > 59 || segundo >= 61)
            return false;
    }
    const QDate fecha(anio, mes, dia);
    if (!fecha.isValid())
        return false;
    qint64 dias = fecha.toJulianDay() - kJulianoDia0;
    if (dias < 0)
        return false;
    if (dias < 61)
        dias = std::max<qint64>(0, dias - 1); // the sheet's 1900 system counts a 29/2/1900
    *serial = static_cast<double>(dias) + (hora * 3600.0 + minuto * 60.0 + segundo) / 86400.0;
    return true;
}

int codigoError(std::string_view texto) {
    static constexpr std::pair<std::string_view, int> kErrores[] = {
        {"#NULL!", 0x00},  {"#DIV/0!", 0x07}, {"#VALUE!", 0x0F},       {"#REF!", 0x17}, {"#NAME?", 0x1D},
        {"#NUM!", 0x24},   {"#N/A", 0x2A},    {"#GETTING_DATA", 0x2B}, {"#SPILL!", 45}, {"#CONNECT!", 46},
        {"#BLOCKED!", 47}, {"#UNKNOWN!", 48}, {"#FIELD!", 49},         {"#CALC!", 50},
    };
    for (const auto& [nombre, codigo] : kErrores)
        if (texto == nombre)
            return codigo;
    return -1;
}

} // namespace tarvix::lector::xlsx
