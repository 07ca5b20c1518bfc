#include "components/recordset.h"

#include "components/vberror.h"

namespace tarvix {

Recordset::Recordset(QStringList columnas, std::vector<std::vector<QVariant>> filas)
    : m_columnas(std::move(columnas)), m_filas(std::move(filas)) {
    for (int i = 0; i < m_columnas.size(); ++i) {
        const QString clave = m_columnas[i].toLower();
        if (!m_indice.contains(clave))
            m_indice.insert(clave, i);
    }
}

QVariant Recordset::Fields(const QString& nombre) const {
    const auto it = m_indice.constFind(nombre.toLower());
    if (it == m_indice.constEnd())
        throw VbError(
            3265, QStringLiteral("ADODB.Fields"),
            QStringLiteral("No se encontró el campo \"%1\" en el resultado de la consulta").arg(nombre));
    return Fields(it.value());
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
