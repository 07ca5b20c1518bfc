#include "intake/xls/formatofecha.h"

namespace tarvix::lector::xls {

bool esFormatoFechaIncorporado(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool esCodigoFecha(QStringView codigo) {
    const qsizetype n = codigo.size();
    for (qsizetype i = 0; i < n; ++i) {
        switch (codigo[i].unicode()) {
        case u';':
            return false;
        case u'"':
            while (++i < n && codigo[i] != u'"') {
            }
            break;
        case u'[':
            while (++i < n && codigo[i] != u']') {
            }
            break;
        case u'\\': // escaped character
        case u'_':  // blank as wide as the next character
        case u'*':  // the next character fills the cell
            ++i;
            break;
        case u'd':
        case u'D':
        case u'm':
        case u'M':
        case u'y':
        case u'Y':
        case u'h':
        case u'H':
        case u's':
        case u'S':
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace tarvix::lector::xls
