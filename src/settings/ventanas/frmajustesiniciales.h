#pragma once

#include "settings/logicaconfig.h"

#include <QDialog>

class QComboBox;
class QPushButton;

namespace tarvix {

// The first start's "Catálogo y unidad": the article catalog and the default unit, neither chosen
// beforehand. "Aceptar" is enabled once both are chosen and saves them as "Configuración" does;
// Esc closes without saving anything.
class frmAjustesIniciales : public QDialog {
    Q_OBJECT
public:
    frmAjustesIniciales(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr);

private:
    void aceptar();

    LogicaConfig m_logica;
    QComboBox* cboCatalogo;
    QComboBox* cboUnidad;
    QPushButton* cmdAceptar;
};

} // namespace tarvix
