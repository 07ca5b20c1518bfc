#include "components/recordset.h"

#include "components/vberror.h"

#include <algorithm>
#include <cstring>

namespace tarvix {

void FilasCrudas::nuevoTramo() {
    constexpr size_t tam = size_t{1} << kBitsTramo;
    m_tramos.push_back(std::make_unique_for_overwrite<Celda[]>(tam));
    m_proximaCelda = m_tramos.back().get();
    m_celdasLibres = tam;
}

void FilasCrudas::nuevoBloque(size_t minimo) {
    // A value longer than a block gets a block of its own; the rest of the current one is left.
    const size_t tam = std::max(minimo, kBloque);
    m_bloques.push_back(std::make_unique_for_overwrite<char[]>(tam));
    m_siguiente = m_bloques.back().get();
    m_libre = tam;
}

QVariant FilasCrudas::valor(size_t fila, size_t columna, UltimoTexto* ultimo) const {
    const size_t i = fila * m_columnas + columna;
    const Celda& c = m_tramos[i >> kBitsTramo][i & ((size_t{1} << kBitsTramo) - 1)];
    switch (c.tipo) {
    case Tipo::Entero:
        return QVariant(static_cast<qlonglong>(c.entero));
    case Tipo::Decimal:
        return QVariant(c.decimal);
    case Tipo::Texto:
        if (!ultimo)
            return QVariant(QString::fromUtf8(c.datos, c.largo));
        if (ultimo->largo != c.largo ||
            (c.largo > 0 ? std::memcmp(ultimo->datos, c.datos, static_cast<size_t>(c.largo)) != 0
                         : (ultimo->datos == nullptr) != (c.datos == nullptr))) {
            ultimo->datos = c.datos;
            ultimo->largo = c.largo;
            ultimo->texto = QString::fromUtf8(c.datos, c.largo);
        }
        return QVariant(ultimo->texto);
    case Tipo::Binario:
        return QVariant(QByteArray(c.datos, c.largo));
    case Tipo::Nulo:
        break;
    }
    return QVariant(QMetaType::fromType<QString>());
}

Recordset::Recordset(QStringList columnas, std::vector<std::vector<QVariant>> filas)
    : m_columnas(std::move(columnas)), m_filas(std::move(filas)), m_cuenta(m_filas.size()) {}

Recordset::Recordset(QStringList columnas, std::shared_ptr<const FilasCrudas> filas)
    : m_columnas(std::move(columnas)), m_crudas(std::move(filas)),
      m_cuenta(m_crudas ? m_crudas->filas() : 0) {}

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
    const size_t columnas = m_crudas ? m_crudas->columnas() : m_filas[m_actual].size();
    if (indice < 0 || static_cast<size_t>(indice) >= columnas)
        throw VbError(3265, QStringLiteral("ADODB.Fields"), QStringLiteral("Índice de campo fuera de rango"));
    if (m_crudas) {
        if (m_ultimos.size() != columnas)
            m_ultimos.resize(columnas);
        return m_crudas->valor(m_actual, static_cast<size_t>(indice),
                               &m_ultimos[static_cast<size_t>(indice)]);
    }
    return m_filas[m_actual][static_cast<size_t>(indice)];
}

} // namespace tarvix
