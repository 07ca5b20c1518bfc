#pragma once

#include "review/modificar_logica.h"
#include "review/unidades.h"

#include <QDialog>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tarvix {

class ClCntrl;

// "Modificar": one article line of the interno. F11 checks and saves it, Esc closes without saving;
// in the position box Enter checks the position (or opens the lookup for a short text) and F6 opens
// the position lookup.
class frmModificar : public QDialog {
    Q_OBJECT
public:
    explicit frmModificar(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr);

    LogicaModificar& logica() { return m_logica; }

    // Upper group, for reference.
    QLineEdit* txtARTNRO;
    QPlainTextEdit* txtARTDSC;
    QLineEdit* txtARTORG;
    QLineEdit* txtARTCAN;
    QLineEdit* txtARTUNI;
    QLineEdit* txtARTTOT;
    QLineEdit* txtARTNAD;
    // Lower group, edited.
    QLineEdit* txtPRCNCM;
    QLineEdit* txtPRCSUF;
    QLineEdit* txtPRCDUN;
    QLabel* lbNombreUnidad = nullptr;
    QLineEdit* txtPRCCAN;
    QLineEdit* txtPRCECA;
    QLineEdit* txtPRCSCA;
    QLineEdit* txtPRCESM;
    QComboBox* cboPRCORI;
    QComboBox* cboidPRCORI;
    QPlainTextEdit* txtDescripcionMaria;
    QLabel* lbPRCEUN;
    QLabel* lbPRCSUN;
    QLabel* lbPRCLAP;
    QLabel* lbMarca;
    QLabel* lbEstado;

    // F6 in the position box: the lookup window on the box's text.
    void abrirBusqueda();

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    void construir();
    void ponerNombreDeUnidad(QGridLayout* grilla);
    bool teclaVentana(int tecla);
    bool teclaPosicion(int tecla);
    // Control values to the logic and back.
    void recoger();
    void mostrar();

    std::vector<Unidad> m_unidades;
    Servicios& m_srv;

    EstadoAsistente& m_estado;
    LogicaModificar m_logica;
};

// Opens the editor modally on line `artord` of the current interno (g_sInterno). True when the line
// was saved (g_sRetorno "OK"; it is cleared before the window opens).
bool abrirEditor(Servicios& srv, EstadoAsistente& estado, QWidget* padre, int artord);

} // namespace tarvix
