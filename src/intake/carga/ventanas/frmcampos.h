#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QComboBox;

namespace tarvix {

struct EstadoAsistente;

struct Servicios;

// The field chooser "Establecer Campo": one list of field labels, "< ninguno >" selected when it
// opens. Enter hands the chosen label back in g_sRetorno and closes; Esc hands back empty text. The
// window sees every key before its controls, the open list included. Typing letters goes to the
// label whose field name starts with them ("TO" to "[ TOTAL ]").
class frmCampos : public QDialog {
    Q_OBJECT
public:
    explicit frmCampos(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QComboBox* cboCampos;

    void Form_Load();
    void cboCampos_KeyPress();
    void Form_KeyDown_Escape();
    bool buscar(const QString& texto);

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    QString m_tecleado;
    QElapsedTimer m_ultimaTecla;
};

} // namespace tarvix
