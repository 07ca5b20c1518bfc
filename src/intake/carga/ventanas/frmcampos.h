#pragma once

#include <QDialog>

class QComboBox;

namespace tarvix {

struct Globales;

// The field chooser "Establecer Campo": one list of field labels, "< ninguno >" selected when it
// opens. Enter hands the chosen label back in g_sRetorno and closes; Esc hands back empty text. The
// window sees every key before its controls, the open list included.
class frmCampos : public QDialog {
    Q_OBJECT
public:
    explicit frmCampos(Globales& g, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QComboBox* cboCampos;

    void Form_Load();
    void cboCampos_KeyPress();
    void Form_KeyDown_Escape();

    Globales& m_g;
};

} // namespace tarvix
