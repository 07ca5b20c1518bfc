#pragma once

#include "settings/logicarelpais.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace tarvix {

// "Establecer Pais": F11 stores the relation and closes, Esc closes without storing.
class frmRelPais : public QDialog {
    Q_OBJECT
public:
    explicit frmRelPais(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr);

    LogicaRelPais& logica() { return m_logica; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    QLineEdit* txtValor;
    QComboBox* cboPais;
    QComboBox* cboidPais;
    QLineEdit* txtESM;

    bool Form_KeyDown(int tecla);

    LogicaRelPais m_logica;
};

} // namespace tarvix
