#pragma once

#include "review/lista/lista_logica.h"

#include <QAbstractTableModel>

namespace tarvix {

// The lines of a ListaDEP as a table of eleven columns: each text written when the view asks for
// it, every column of a line in its colour, the quantities and amounts aligned right.
class ModeloDEP : public QAbstractTableModel, private ObservadorDEP {
public:
    explicit ModeloDEP(ListaDEP& lista, QObject* parent = nullptr);
    ~ModeloDEP() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void antesDeCargar() override;
    void cargada() override;
    void antesDeQuitar(int fila) override;
    void quitada() override;
    void antesDeMover(int desde, int hasta) override;
    void movida() override;
    void cambiada(int fila) override;

    ListaDEP& m_lista;
    QStringList m_encabezados;
};

} // namespace tarvix
