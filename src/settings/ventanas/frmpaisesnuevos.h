#pragma once

#include "settings/paisesnuevos.h"

#include <QDialog>
#include <vector>

class QTableWidget;

namespace tarvix {

// "Países nuevos": the origin texts of the invoice without relation, one row each, with the country
// proposed (when it is clear) and the goods state. Typing in a country box filters the list. F11
// hands every row back to be stored; Esc stores nothing.
class FrmPaisesNuevos : public QDialog {
    Q_OBJECT
public:
    FrmPaisesNuevos(std::vector<OrigenNuevo>& origenes, const std::vector<PaisDisponible>& paises,
                    QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    // The rows' choices into the origins, then closes storing them.
    void grabar();

    std::vector<OrigenNuevo>& m_origenes;
    const std::vector<PaisDisponible>& m_paises;
    QTableWidget* m_tabla;
};

} // namespace tarvix
