#pragma once

#include <QDialog>

class QLineEdit;

namespace tarvix {

struct EstadoAsistente;

struct Servicios;

// "Nuevo Interno": F11 adds the interno, Esc closes without adding.
class frmInterno : public QDialog {
    Q_OBJECT
public:
    explicit frmInterno(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    QLineEdit* txtInterno;
    QLineEdit* txtDescripcion;

    bool teclaVentana(int tecla);
    Servicios& m_srv;
    EstadoAsistente& m_estado;
};

} // namespace tarvix
