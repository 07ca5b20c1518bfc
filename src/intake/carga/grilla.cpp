#include "intake/carga/grilla.h"

#include "components/vberror.h"

#include <algorithm>

namespace tarvix {

// --- TablaTexto -------------------------------------------------------------------------------

TablaTexto::TablaTexto(int columnas) : m_columnas(columnas) {}

quint32 TablaTexto::inicio(int fila, int columna) const {
    return columna == 0 ? 0 : fin(fila, columna - 1);
}

QStringView TablaTexto::celda(int fila, int columna) const {
    const quint32 desde = inicio(fila, columna);
    return QStringView(m_texto[static_cast<size_t>(fila)]).mid(desde, fin(fila, columna) - desde);
}

void TablaTexto::agregarFila(QString texto, std::span<const quint32> finales) {
    Q_ASSERT(static_cast<int>(finales.size()) == m_columnas);
    m_texto.push_back(std::move(texto));
    m_fin.insert(m_fin.end(), finales.begin(), finales.end());
}

void TablaTexto::setCelda(int fila, int columna, QStringView texto) {
    QString& t = m_texto[static_cast<size_t>(fila)];
    const quint32 desde = inicio(fila, columna);
    const quint32 largo = fin(fila, columna) - desde;
    t.replace(desde, largo, texto.data(), texto.size());
    const auto delta = static_cast<quint32>(texto.size()) - largo; // wraps as intended
    for (int c = columna; c < m_columnas; ++c)
        fin(fila, c) += delta;
}

void TablaTexto::insertarFilas(int posicion, int cuantas) {
    m_texto.insert(m_texto.begin() + posicion, static_cast<size_t>(cuantas), QString());
    m_fin.insert(m_fin.begin() + static_cast<qsizetype>(posicion) * m_columnas,
                 static_cast<size_t>(cuantas) * m_columnas, 0u);
}

void TablaTexto::quitarFilas(int posicion, int cuantas) {
    m_texto.erase(m_texto.begin() + posicion, m_texto.begin() + posicion + cuantas);
    const auto desde = m_fin.begin() + static_cast<qsizetype>(posicion) * m_columnas;
    m_fin.erase(desde, desde + static_cast<qsizetype>(cuantas) * m_columnas);
}

void TablaTexto::setColumnas(int columnas) {
    if (columnas == m_columnas)
        return;
    std::vector<quint32> nuevo(static_cast<size_t>(filas()) * columnas);
    for (int f = 0; f < filas(); ++f) {
        QString& t = m_texto[static_cast<size_t>(f)];
        if (columnas < m_columnas)
            t.truncate(columnas == 0 ? 0 : fin(f, columnas - 1));
        for (int c = 0; c < columnas; ++c)
            nuevo[static_cast<size_t>(f) * columnas + c] =
                c < m_columnas ? fin(f, c) : static_cast<quint32>(t.size());
    }
    m_fin = std::move(nuevo);
    m_columnas = columnas;
}

void TablaTexto::tomarFila(int fila, TablaTexto& otra, int origen) {
    const int comunes = std::min(m_columnas, otra.m_columnas);
    if (comunes == 0)
        return;
    QString& suyo = otra.m_texto[static_cast<size_t>(origen)];
    QString texto;
    if (comunes == m_columnas) {
        texto = std::move(suyo);
        texto.truncate(otra.fin(origen, comunes - 1));
    } else {
        // The other table is narrower: its cells, then the rest of this row.
        texto = suyo;
        texto.append(QStringView(m_texto[static_cast<size_t>(fila)]).mid(fin(fila, comunes - 1)));
        suyo.clear();
        const quint32 delta = otra.fin(origen, comunes - 1) - fin(fila, comunes - 1);
        for (int c = comunes; c < m_columnas; ++c)
            fin(fila, c) += delta;
    }
    for (int c = 0; c < comunes; ++c)
        fin(fila, c) = otra.fin(origen, c);
    m_texto[static_cast<size_t>(fila)] = std::move(texto);
}

void TablaTexto::reservarFilas(int filas) {
    m_texto.reserve(static_cast<size_t>(filas));
    m_fin.reserve(static_cast<size_t>(filas) * m_columnas);
}

// --- ModeloGrilla ------------------------------------------------------------------------------

namespace {

[[noreturn]] void fueraDelIntervalo() {
    throw VbError(kErrorSubindice, kProyecto, QStringLiteral("Subíndice fuera del intervalo"));
}

[[noreturn]] void valorNoValido() {
    throw VbError(kErrorValorPropiedad, kProyecto, QStringLiteral("Valor de la propiedad no válido"));
}

} // namespace

ModeloGrilla::ModeloGrilla(QObject* parent) : QAbstractTableModel(parent), m_celdas(1) {
    m_celdas.insertarFilas(0, 2);
    m_colores.assign(2, -1);
}

void ModeloGrilla::verificarFila(int fila) const {
    if (fila < 0 || fila >= Rows())
        fueraDelIntervalo();
}

void ModeloGrilla::verificarCelda(int fila, int columna) const {
    verificarFila(fila);
    if (columna < 0 || columna >= Cols())
        fueraDelIntervalo();
}

void ModeloGrilla::ajustarAlTamano() {
    const int fijas = std::min(m_filasFijas, Rows());
    if (fijas != m_filasFijas) {
        m_filasFijas = fijas;
        emit filasFijasCambiadas(m_filasFijas);
    }
    const int fila = std::clamp(m_fila, 0, std::max(0, Rows() - 1));
    const int columna = std::clamp(m_columna, 0, std::max(0, Cols() - 1));
    if (fila != m_fila || columna != m_columna) {
        m_fila = fila;
        m_columna = columna;
        emit celdaActualCambiada(m_fila, m_columna);
    }
}

void ModeloGrilla::setRows(int filas) {
    if (filas < 0)
        valorNoValido();
    const int antes = Rows();
    if (filas > antes) {
        beginInsertRows(QModelIndex(), antes, filas - 1);
        m_celdas.insertarFilas(antes, filas - antes);
        m_colores.resize(static_cast<size_t>(filas), -1);
        endInsertRows();
    } else if (filas < antes) {
        beginRemoveRows(QModelIndex(), filas, antes - 1);
        m_celdas.quitarFilas(filas, antes - filas);
        m_colores.resize(static_cast<size_t>(filas));
        endRemoveRows();
    }
    ajustarAlTamano();
}

void ModeloGrilla::setCols(int columnas) {
    if (columnas < 0)
        valorNoValido();
    const int antes = Cols();
    if (columnas > antes) {
        beginInsertColumns(QModelIndex(), antes, columnas - 1);
        m_celdas.setColumnas(columnas);
        endInsertColumns();
    } else if (columnas < antes) {
        beginRemoveColumns(QModelIndex(), columnas, antes - 1);
        m_celdas.setColumnas(columnas);
        endRemoveColumns();
    }
    ajustarAlTamano();
}

QStringView ModeloGrilla::celda(int fila, int columna) const {
    verificarCelda(fila, columna);
    return m_celdas.celda(fila, columna);
}

QString ModeloGrilla::TextMatrix(int fila, int columna) const {
    return celda(fila, columna).toString();
}

void ModeloGrilla::setTextMatrix(int fila, int columna, const QString& texto) {
    verificarCelda(fila, columna);
    m_celdas.setCelda(fila, columna, texto);
    const QModelIndex i = index(fila, columna);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

void ModeloGrilla::setFixedRows(int filas) {
    if (filas < 0 || filas > Rows())
        fueraDelIntervalo();
    if (filas != m_filasFijas) {
        m_filasFijas = filas;
        emit filasFijasCambiadas(m_filasFijas);
    }
}

void ModeloGrilla::setRow(int fila) {
    verificarFila(fila);
    if (fila != m_fila) {
        m_fila = fila;
        emit celdaActualCambiada(m_fila, m_columna);
    }
}

void ModeloGrilla::setCol(int columna) {
    if (columna < 0 || columna >= Cols())
        fueraDelIntervalo();
    if (columna != m_columna) {
        m_columna = columna;
        emit celdaActualCambiada(m_fila, m_columna);
    }
}

void ModeloGrilla::asignarBloque(int filaDesde, TablaTexto bloque) {
    if (bloque.filas() == 0)
        return;
    const int hasta = filaDesde + bloque.filas() - 1;
    verificarFila(filaDesde);
    verificarFila(hasta);
    for (int i = 0; i < bloque.filas(); ++i)
        m_celdas.tomarFila(filaDesde + i, bloque, i);
    if (Cols() > 0)
        emit dataChanged(index(filaDesde, 0), index(hasta, Cols() - 1), {Qt::DisplayRole, Qt::EditRole});
}

void ModeloGrilla::insertarFila(int indice) {
    if (indice < 0 || indice > Rows())
        fueraDelIntervalo();
    beginInsertRows(QModelIndex(), indice, indice);
    m_celdas.insertarFilas(indice, 1);
    m_colores.insert(m_colores.begin() + indice, -1);
    endInsertRows();
}

void ModeloGrilla::setColorFila(int fila, quint32 colorBgr) {
    verificarFila(fila);
    m_colores[static_cast<size_t>(fila)] = colorBgr;
    if (Cols() > 0)
        emit dataChanged(index(fila, 0), index(fila, Cols() - 1), {RolColor});
}

qint64 ModeloGrilla::colorFila(int fila) const {
    verificarFila(fila);
    return m_colores[static_cast<size_t>(fila)];
}

int ModeloGrilla::filaHoja(int fila) const {
    const qsizetype i = qsizetype{fila} - 2;
    return i >= 0 && i < std::ssize(m_filasHoja) ? m_filasHoja[static_cast<size_t>(i)] : fila;
}

void ModeloGrilla::intercambiar(ModeloGrilla& otra) {
    beginResetModel();
    otra.beginResetModel();
    std::swap(m_celdas, otra.m_celdas);
    std::swap(m_colores, otra.m_colores);
    std::swap(m_filasHoja, otra.m_filasHoja);
    std::swap(m_filasFijas, otra.m_filasFijas);
    std::swap(m_fila, otra.m_fila);
    std::swap(m_columna, otra.m_columna);
    otra.endResetModel();
    endResetModel();
    emit filasFijasCambiadas(m_filasFijas);
    emit celdaActualCambiada(m_fila, m_columna);
}

int ModeloGrilla::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Rows();
}

int ModeloGrilla::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Cols();
}

QVariant ModeloGrilla::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Rows() || index.column() >= Cols())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_celdas.celda(index.row(), index.column()).toString();
    case RolColor: {
        const qint64 color = m_colores[static_cast<size_t>(index.row())];
        return color < 0 ? QVariant() : QVariant(color);
    }
    default:
        return {};
    }
}

Qt::ItemFlags ModeloGrilla::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace tarvix
