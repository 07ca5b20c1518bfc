#pragma once

#include "app/controladorprincipal.h"
#include "ui/qtinteraccion.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QProgressBar;
class QStackedWidget;
class QTreeWidget;
class QLineEdit;
class QTableView;
class QFrame;

namespace tarvix {

// The main window: title, step captions, the three stacked step frames, the status line, the
// progress bar and the three buttons. Every action goes to the controller.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(Globales& g, QWidget* parent = nullptr);
    ~frmMain() override;

    ControladorPrincipal& controlador() { return m_control; }
    QtInteraccion& interaccion() { return m_interaccion; }

    // Runs the start-up sequence on the data folder.
    void iniciar(const QString& carpetaDatos);

    // Opens frmInterno (Insert in the list).
    void FRAM1_NuevoInterno();
    // "Configur.": installed by the settings module.
    std::function<void()> abrirConfiguracion;

    QLabel* Label1;
    QLabel* lbPasoNro;
    QLabel* lbPasoDesc;
    QLabel* Main_lbMensaje;
    QLabel* lbVersion;
    QProgressBar* Main_PrB;
    QPushButton* cmdConfig;
    QPushButton* Command4;
    QPushButton* cmdSiguiente;
    QStackedWidget* marcos;
    QFrame* FRAM1;
    QFrame* FRAM2;
    QFrame* FRAM3;
    QTreeWidget* FRAM1LstInternos;
    QLineEdit* FRAM2_TxtArchivo;
    QPushButton* FRAM2_CmdProcesar;
    QPushButton* cmdAutomatico;
    QPushButton* FRAM3_cmdRegOk;
    QPushButton* FRAM3_cmdRegErr;
    QLabel* FRAM3_lbTotal;
    QLabel* FRAM3_lbErroneos;
    QLabel* FRAM3_lbErrPos;
    QLabel* FRAM3_lbErrSuf;
    QLabel* FRAM3_lbEnCatalogo;
    QLabel* FRAM3_lbNuevos;

    // The step-2 frame's layout, where the grid of the intake module goes.
    QWidget* contenedorGrilla;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void construirMarco1();
    void construirMarco2();
    void construirMarco3();
    void refrescar();
    void Command4_Click();

    Globales& m_g;
    QtInteraccion m_interaccion;
    std::unique_ptr<QtProgreso> m_progreso;
    ControladorPrincipal m_control;
};

} // namespace tarvix
