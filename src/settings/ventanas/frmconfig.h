#pragma once

#include "settings/logicaconfig.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace tarvix {

// "Configuración": the default unit, the catalog, the brand, the price-variation percentage and the
// country relations, and the mapping of a load (proposal from headers, remembered layouts). Esc
// saves and closes; the close box closes without saving. In the relation list Insert adds a
// relation and Delete removes the selected one; in the list of remembered layouts Delete forgets
// the selected one.
class frmConfig : public QDialog {
    Q_OBJECT
public:
    explicit frmConfig(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr);

    LogicaConfig& logica() { return m_logica; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    QComboBox* cboUnidad;
    QComboBox* cboIdUnidad;
    QComboBox* cboCatalogo;
    QComboBox* cboIdCatalogo;
    QLineEdit* txtMarca;
    QLineEdit* txtVariacionPrecio;
    QTreeWidget* lstRELPAIS;
    QCheckBox* chkProponerCampos;
    QCheckBox* chkRecordarMapeos;
    QTreeWidget* lstMapeos;

    bool Form_KeyDown(int tecla);
    bool lstRELPAIS_KeyDown(int tecla);
    bool lstMapeos_KeyDown(int tecla);
    void refrescarMapeos();
    void GrabarySalir();
    void refrescarListas();
    void refrescarRelaciones();

    LogicaConfig m_logica;
};

} // namespace tarvix
