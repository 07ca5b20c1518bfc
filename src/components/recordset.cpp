#include "components/recordset.h"

#include "components/vberror.h"

namespace tarvix {

Recordset::Recordset(QStringList columnas, std::vector<std::vector<QVariant>> filas)
    : m_columnas(std::move(columnas)), m_filas(std::move(filas)) {}

// A result has a few dozen columns at most: a scan is cheaper than building an index per query.
int Recordset::indiceDe(const QString& nombre) const {
    // Names of another length never match, whatever their case: they are passed over unread.
    for (int i = 0; i < m_columnas.size(); ++i) {
        if (m_columnas[i].size() == nombre.size() && m_columnas[i].compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int Recordset::Indice(const QString& nombre) const {
    const int i = indiceDe(nombre);
    if (i < 0)
        throw VbError(
            3265, QStringLiteral("ADODB.Fields"),
            QStringLiteral("No se encontró el campo \"%1\" en el resultado de la consulta").arg(nombre));
    return i;
}

QVariant Recordset::Fields(const QString& nombre) const {
    return Fields(Indice(nombre));
}

QVariant Recordset::Fields(int indice) const {
    if (EOF_())
        throw VbError(3021, QStringLiteral("ADODB.Field"),
                      QStringLiteral("No hay un registro actual: se llegó al final del resultado"));
    const auto& fila = m_filas[m_actual];
    if (indice < 0 || indice >= static_cast<int>(fila.size()))
        throw VbError(3265, QStringLiteral("ADODB.Fields"), QStringLiteral("Índice de campo fuera de rango"));
    return fila[static_cast<size_t>(indice)];
}

} // namespace tarvix
