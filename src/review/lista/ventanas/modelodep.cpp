#include "review/lista/ventanas/modelodep.h"

#include <QBrush>
#include <QColor>

namespace tarvix {

ModeloDEP::ModeloDEP(ListaDEP& lista, QObject* parent)
    : QAbstractTableModel(parent), m_lista(lista), m_encabezados(lista::encabezados()) {
    m_lista.setObservador(this);
}

ModeloDEP::~ModeloDEP() {
    m_lista.setObservador(nullptr);
}

int ModeloDEP::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_lista.filas();
}

int ModeloDEP::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : lista::kColumnas;
}

QVariant ModeloDEP::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_lista.texto(index.row(), index.column());
    case Qt::ForegroundRole: {
        const std::optional<ColorTexto> c = m_lista.color(index.row());
        return c ? QVariant(QBrush(QColor(c->rojo, c->verde, c->azul))) : QVariant();
    }
    case Qt::TextAlignmentRole:
        // Cantidad, Unitario and Total.
        if (index.column() >= 4 && index.column() <= 6)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ModeloDEP::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < lista::kColumnas)
        return m_encabezados.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ModeloDEP::antesDeCargar() {
    beginResetModel();
}

void ModeloDEP::cargada() {
    endResetModel();
}

void ModeloDEP::antesDeQuitar(int fila) {
    beginRemoveRows({}, fila, fila);
}

void ModeloDEP::quitada() {
    endRemoveRows();
}

void ModeloDEP::antesDeMover(int desde, int hasta) {
    // Qt names the row before which the line goes, counted before the move.
    beginMoveRows({}, desde, desde, {}, hasta > desde ? hasta + 1 : hasta);
}

void ModeloDEP::movida() {
    endMoveRows();
}

void ModeloDEP::cambiada(int fila) {
    emit dataChanged(index(fila, 0), index(fila, lista::kColumnas - 1));
}

} // namespace tarvix
