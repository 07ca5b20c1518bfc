#pragma once

#include "app/asistente.h"
#include "app/ventanas/qtinteraccion.h"

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
// progress bar and the three buttons. It places the features' views in the wizard's frames and
// forwards every action to their controllers; its widgets are its own.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr);
    ~frmMain() override;

    Asistente& asistente() { return m_asistente; }
    ControladorPrincipal& controlador() { return m_asistente.principal(); }
    QtInteraccion& interaccion() { return m_interaccion; }

    // Runs the start-up sequence on the data folder. With `primerArranque`, a folder without an
    // entity file first asks where the customs database is and, once started, for the catalog and
    // the default unit.
    void iniciar(const QString& carpetaDatos, bool primerArranque = false);

    // Opens frmInterno (Insert in the list).
    void FRAM1_NuevoInterno();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void construirMarco1();
    void construirMarco2();
    void construirMarco3();
    void conectarPaso2();
    void conectarPaso3();
    void refrescar();
    void ordenDeTabulacion();
    void enfocarPaso();
    void Command4_Click();

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    QtInteraccion m_interaccion;
    std::unique_ptr<QtProgreso> m_progreso;
    Asistente m_asistente;
    ControladorPrincipal& m_control;

    QLabel* Label1;
    QLabel* lbPasoNro;
    QLabel* lbPasoDesc;
    QLabel* Main_lbMensaje;
    QLabel* lbVersion;
    QLabel* lbDemostracion;
    QProgressBar* Main_PrB;
    QPushButton* cmdConfig;
    QPushButton* Command4;
    QPushButton* cmdSiguiente;
    QPushButton* cmdAnterior;
    QLabel* lbInterno;
    QStackedWidget* marcos;
    QFrame* FRAM1;
    QFrame* FRAM2;
    QFrame* FRAM3;
    QTreeWidget* FRAM1LstInternos;
    QLineEdit* FRAM2_TxtArchivo;
    QPushButton* FRAM2_CmdProcesar;
    QPushButton* cmdAutomatico;
    QWidget* contenedorGrilla;
    QTableView* FRAM2_Grid = nullptr;
    QPushButton* FRAM3_cmdRegOk;
    QPushButton* FRAM3_cmdRegErr;
    QPushButton* FRAM3_cmdDeshacer;
    QLabel* FRAM3_lbTotal;
    QLabel* FRAM3_lbErroneos;
    QLabel* FRAM3_lbErrPos;
    QLabel* FRAM3_lbErrSuf;
    QLabel* FRAM3_lbEnCatalogo;
    QLabel* FRAM3_lbNuevos;
};

} // namespace tarvix
