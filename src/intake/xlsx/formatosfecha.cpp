#include "intake/xlsx/formatosfecha.h"

namespace tarvix::lector::xlsx {

namespace {

char minuscula(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool esLetraDeFecha(char c) {
    c = minuscula(c);
    return c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 's';
}

// [h], [hh], [m], [mm], [s], [ss] ...: elapsed time.
bool esTiempoTranscurrido(std::string_view seccion) {
    if (seccion.empty())
        return false;
    const char c = minuscula(seccion.front());
    if (c != 'h' && c != 'm' && c != 's')
        return false;
    for (const char k : seccion)
        if (minuscula(k) != c)
            return false;
    return true;
}

} // namespace

bool esFormatoFechaIntegrado(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool esFormatoFecha(std::string_view codigo) {
    const std::size_t n = codigo.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = codigo[i];
        switch (c) {
        case '"': {
            const std::size_t fin = codigo.find('"', i + 1);
            if (fin == std::string_view::npos)
                return false;
            i = fin;
            break;
        }
        case '\\': // the next character is literal
        case '_':  // the next character gives a blank of its width
        case '*':  // the next character fills the cell
            ++i;
            break;
        case '[': {
            const std::size_t fin = codigo.find(']', i + 1);
            if (fin == std::string_view::npos)
                return false;
            if (esTiempoTranscurrido(codigo.substr(i + 1, fin - i - 1)))
                return true;
            i = fin;
            break;
        }
        default:
            if (esLetraDeFecha(c))
                return true;
        }
    }
    return false;
}

} // namespace tarvix::lector::xlsx
