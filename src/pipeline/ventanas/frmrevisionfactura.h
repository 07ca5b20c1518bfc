#pragma once

#include "pipeline/revisionfactura.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tarvix {

class Interaccion;

// "Revisión de la factura": the findings of the check before the run, one group per kind (errors
// first), each line with the worksheet row, the column, the cell text and what is wrong. "Volver"
// (Esc) goes back to the grid; "Procesar igual" is offered only when there are no errors and is
// then the button Enter presses; "Exportar a Excel" writes the list for the supplier.
class FrmRevisionFactura : public QDialog {
    Q_OBJECT
public:
    FrmRevisionFactura(const RevisionFactura& revision, Interaccion& interaccion, QWidget* parent = nullptr);

    // True when the clerk chose "Procesar igual".
    bool procesar() const { return result() == QDialog::Accepted; }

private:
    const RevisionFactura& m_revision;
    Interaccion& m_interaccion;
    QLabel* m_resumen;
    QTreeWidget* m_lista;
    QPushButton* m_volver;
    QPushButton* m_procesar;
    QPushButton* m_exportar;
};

} // namespace tarvix
