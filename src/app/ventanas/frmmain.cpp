#include "app/ventanas/frmmain.h"

#include "app/ventanas/frminterno.h"
#include "components/espera.h"
#include "components/latido.h"
#include "data/conexionaduana.h"
#include "intake/carga/ventanas/vistagrilla.h"
#include "review/lista/ventanas/frmdep.h"
#include "review/ventanas/frmmodificar.h"
#include "settings/ventanas/frmajustesiniciales.h"
#include "settings/ventanas/frmconexion.h"
#include "settings/ventanas/frmconfig.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvix {

namespace {

QLabel* etiqueta(const QString& nombre, const QString& texto, QWidget* padre) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    return l;
}

QPushButton* boton(const QString& nombre, const QString& texto, QWidget* padre) {
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(nombre);
    b->setAccessibleName(QString(texto).remove(u'&'));
    return b;
}

} // namespace

frmMain::frmMain(Servicios& srv, EstadoAsistente& estado, QWidget* parent)
    : QWidget(parent), m_srv(srv), m_estado(estado), m_interaccion(srv, estado, this),
      m_asistente(srv, estado), m_control(m_asistente.principal()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString());
    m_srv.setInteraccion(&m_interaccion);

    Label1 = etiqueta(QStringLiteral("Label1"),
                      QStringLiteral("Proceso Facturas EXCEL TARVIX (QX Compatible)"), this);
    QFont titulo = Label1->font();
    titulo.setPointSizeF(titulo.pointSizeF() * 1.5);
    titulo.setBold(true);
    Label1->setFont(titulo);
    // The caption is empty; screen readers announce the window by its heading.
    setAccessibleName(Label1->text());
    lbPasoNro = etiqueta(QStringLiteral("lbPasoNro"), QStringLiteral("Paso 1"), this);
    QFont paso = lbPasoNro->font();
    paso.setBold(true);
    paso.setPointSizeF(paso.pointSizeF() * 1.2);
    lbPasoNro->setFont(paso);
    lbPasoDesc =
        etiqueta(QStringLiteral("lbPasoDesc"), QStringLiteral("Seleccione el interno a procesar"), this);
    Main_lbMensaje = etiqueta(QStringLiteral("Main_lbMensaje"), QString(), this);
    Main_lbMensaje->setAccessibleName(QStringLiteral("Mensaje"));
    Main_lbMensaje->setStyleSheet(QStringLiteral("color: #8b0000;"));
    lbVersion = etiqueta(QStringLiteral("lbVersion"), QStringLiteral("Version"), this);
    lbVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbDemostracion = etiqueta(QStringLiteral("lbDemostracion"), conexion::avisoDemostracion(), this);
    lbDemostracion->setStyleSheet(QStringLiteral("color: #6b5800;"));
    lbDemostracion->setVisible(false);
    Main_PrB = new QProgressBar(this);
    Main_PrB->setObjectName(QStringLiteral("Main_PrB"));
    Main_PrB->setAccessibleName(QStringLiteral("Progreso"));
    Main_PrB->setVisible(false);
    cmdConfig = boton(QStringLiteral("cmdConfig"), QStringLiteral("Configur."), this);
    Command4 = boton(QStringLiteral("Command4"), QStringLiteral("Cancelar"), this);
    cmdSiguiente = boton(QStringLiteral("cmdSiguiente"), QStringLiteral("Siguiente >"), this);
    cmdAnterior = boton(QStringLiteral("cmdAnterior"), QStringLiteral("< &Anterior"), this);
    cmdAnterior->setAccessibleName(QStringLiteral("Anterior"));
    cmdAnterior->setAutoDefault(false);
    cmdAnterior->setVisible(false);
    lbInterno = etiqueta(QStringLiteral("lbInterno"), QString(), this);
    lbInterno->setAccessibleName(QStringLiteral("Interno"));
    lbInterno->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbInterno->setFont(paso);
    cmdSiguiente->setDefault(false);
    cmdSiguiente->setAutoDefault(false);
    cmdConfig->setAutoDefault(false);
    Command4->setAutoDefault(false);

    marcos = new QStackedWidget(this);
    marcos->setObjectName(QStringLiteral("marcos"));
    construirMarco1();
    construirMarco2();
    construirMarco3();

    auto* cabecera = new QVBoxLayout;
    cabecera->addWidget(Label1);
    auto* pasoFila = new QHBoxLayout;
    pasoFila->addWidget(lbPasoNro);
    pasoFila->addSpacing(12);
    pasoFila->addWidget(lbPasoDesc, 1);
    pasoFila->addWidget(lbInterno);
    cabecera->addLayout(pasoFila);

    auto* pie = new QHBoxLayout;
    pie->addWidget(cmdConfig);
    pie->addStretch(1);
    pie->addWidget(Command4);
    pie->addWidget(cmdAnterior);
    pie->addWidget(cmdSiguiente);

    auto* capa = new QVBoxLayout(this);
    capa->addLayout(cabecera);
    capa->addWidget(marcos, 1);
    capa->addWidget(Main_lbMensaje);
    capa->addWidget(Main_PrB);
    auto* pieInfo = new QHBoxLayout;
    pieInfo->addWidget(lbDemostracion);
    pieInfo->addStretch(1);
    pieInfo->addWidget(lbVersion);
    capa->addLayout(pieInfo);
    capa->addLayout(pie);
    resize(900, 620);

    m_progreso = std::make_unique<QtProgreso>(Main_lbMensaje, Main_PrB,
                                              [this](const QString& t) { m_control.setMensaje(t); });
    m_srv.setProgreso(m_progreso.get());
    latido::instalar(&QtProgreso::latido, m_progreso.get());

    connect(&m_control, &ControladorPrincipal::cambiado, this, &frmMain::refrescar);
    connect(&m_control, &ControladorPrincipal::enfocarListaInternos, this, [this] {
        if (FRAM1LstInternos->isVisible())
            FRAM1LstInternos->setFocus();
    });
    connect(cmdSiguiente, &QPushButton::clicked, this, [this] {
        const QtProgreso::Corrida corrida(*m_progreso);
        m_control.MAIN_CambiarPaso();
    });
    connect(Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    connect(cmdAnterior, &QPushButton::clicked, this, [this] { m_control.MAIN_PasoAnterior(); });
    connect(cmdConfig, &QPushButton::clicked, this, [this] {
        frmConfig ventana(m_srv, m_estado, this);
        ventana.exec();
        m_control.actualizarBaseDemostracion();
    });
    conectarPaso2();
    conectarPaso3();
    ordenDeTabulacion();
    connect(FRAM1LstInternos, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* actual) {
        if (actual)
            m_control.seleccionarInterno(FRAM1LstInternos->indexOfTopLevelItem(actual));
    });
    // The main window sees Esc wherever the focus is.
    qApp->installEventFilter(this);
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
    latido::instalar(nullptr, nullptr);
    // The views go before the controllers they draw (the grid's model lives in the wizard).
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    if (&m_srv.interaccion() == &m_interaccion)
        m_srv.setInteraccion(nullptr);
    if (&m_srv.progreso() == m_progreso.get())
        m_srv.setProgreso(nullptr);
}

void frmMain::construirMarco1() {
    FRAM1 = new QFrame(marcos);
    FRAM1->setObjectName(QStringLiteral("FRAM1"));
    FRAM1LstInternos = new QTreeWidget(FRAM1);
    FRAM1LstInternos->setObjectName(QStringLiteral("FRAM1LstInternos"));
    FRAM1LstInternos->setAccessibleName(QStringLiteral("Internos"));
    FRAM1LstInternos->setHeaderLabels({QStringLiteral("Interno"), QStringLiteral("Descripcion")});
    FRAM1LstInternos->setRootIsDecorated(false);
    FRAM1LstInternos->setUniformRowHeights(true);
    FRAM1LstInternos->setAllColumnsShowFocus(true);
    FRAM1LstInternos->header()->resizeSection(0, 160);
    FRAM1LstInternos->installEventFilter(this);
    auto* capa = new QGridLayout(FRAM1);
    capa->addWidget(etiqueta(QStringLiteral("lbSeleccione"), QStringLiteral("Seleccione un interno"), FRAM1),
                    0, 0);
    capa->addWidget(FRAM1LstInternos, 1, 0, 1, 3);
    capa->addWidget(
        etiqueta(QStringLiteral("lbInsert"), QStringLiteral("   [Insert]   Nuevo Interno"), FRAM1), 2, 0);
    capa->addWidget(
        etiqueta(QStringLiteral("lbDelete"), QStringLiteral("  [Delete] Eliminar Interno"), FRAM1), 2, 1);
    marcos->addWidget(FRAM1);
}

void frmMain::construirMarco2() {
    FRAM2 = new QFrame(marcos);
    FRAM2->setObjectName(QStringLiteral("FRAM2"));
    FRAM2_TxtArchivo = new QLineEdit(FRAM2);
    FRAM2_TxtArchivo->setObjectName(QStringLiteral("FRAM2_TxtArchivo"));
    FRAM2_TxtArchivo->setReadOnly(true);
    FRAM2_TxtArchivo->setAccessibleName(QStringLiteral("Seleccione el archivo a procesar"));
    FRAM2_CmdProcesar = boton(QStringLiteral("FRAM2_CmdProcesar"), QStringLiteral("Procesar"), FRAM2);
    cmdAutomatico = boton(QStringLiteral("cmdAutomatico"), QStringLiteral("Selección automatica"), FRAM2);
    FRAM2_CmdProcesar->setAutoDefault(false);
    cmdAutomatico->setAutoDefault(false);
    contenedorGrilla = new QWidget(FRAM2);
    contenedorGrilla->setObjectName(QStringLiteral("contenedorGrilla"));
    auto* capaGrilla = new QVBoxLayout(contenedorGrilla);
    capaGrilla->setContentsMargins(0, 0, 0, 0);
    auto* capa = new QGridLayout(FRAM2);
    capa->addWidget(
        etiqueta(QStringLiteral("lbArchivo"), QStringLiteral("Seleccione el archivo a procesar"), FRAM2), 0,
        0, 1, 3);
    capa->addWidget(FRAM2_TxtArchivo, 1, 0);
    capa->addWidget(FRAM2_CmdProcesar, 1, 1);
    capa->addWidget(cmdAutomatico, 1, 2);
    capa->addWidget(contenedorGrilla, 2, 0, 1, 3);
    capa->setRowStretch(2, 1);
    capa->setColumnStretch(0, 1);
    marcos->addWidget(FRAM2);
}

void frmMain::construirMarco3() {
    FRAM3 = new QFrame(marcos);
    FRAM3->setObjectName(QStringLiteral("FRAM3"));
    auto contador = [this](const QString& nombre, const QString& texto) {
        QLabel* l = etiqueta(nombre, QStringLiteral("0000"), FRAM3);
        l->setAccessibleName(texto);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    FRAM3_lbTotal = contador(QStringLiteral("FRAM3_lbTotal"), QStringLiteral("Total de Registros"));
    FRAM3_lbErroneos = contador(QStringLiteral("FRAM3_lbErroneos"), QStringLiteral("Registros con Errores"));
    FRAM3_lbErrPos = contador(QStringLiteral("FRAM3_lbErrPos"), QStringLiteral("Errores de Posición"));
    FRAM3_lbErrSuf = contador(QStringLiteral("FRAM3_lbErrSuf"), QStringLiteral("Errores de Sufijos"));
    FRAM3_lbEnCatalogo =
        contador(QStringLiteral("FRAM3_lbEnCatalogo"), QStringLiteral("Articulos en Catalogo"));
    FRAM3_lbNuevos = contador(QStringLiteral("FRAM3_lbNuevos"), QStringLiteral("Articulos Nuevos"));
    FRAM3_cmdRegOk = boton(QStringLiteral("FRAM3_cmdRegOk"), QStringLiteral("Registros OK"), FRAM3);
    FRAM3_cmdRegErr = boton(QStringLiteral("FRAM3_cmdRegErr"), QStringLiteral("Datos con Errores"), FRAM3);
    FRAM3_cmdDeshacer = boton(QStringLiteral("FRAM3_cmdDeshacer"), QStringLiteral("Deshacer"), FRAM3);
    FRAM3_cmdDeshacer->setToolTip(
        QStringLiteral("Vuelve las líneas del interno a como estaban antes del último "
                       "procesamiento, corrección o transferencia (Ctrl+Z)"));
    FRAM3_cmdRegOk->setAutoDefault(false);
    FRAM3_cmdRegErr->setAutoDefault(false);
    FRAM3_cmdDeshacer->setAutoDefault(false);
    auto* capa = new QGridLayout(FRAM3);
    QLabel* h1 =
        etiqueta(QStringLiteral("lbResultados"), QStringLiteral("Resultados del proceso automático"), FRAM3);
    QLabel* h2 = etiqueta(QStringLiteral("lbDepuracion"), QStringLiteral("Depuración de registros"), FRAM3);
    QFont negrita = h1->font();
    negrita.setBold(true);
    h1->setFont(negrita);
    h2->setFont(negrita);
    capa->addWidget(h1, 0, 0, 1, 2);
    const std::pair<QString, QLabel*> filas[] = {
        {QStringLiteral("Total de Registros"), FRAM3_lbTotal},
        {QStringLiteral("Registros con Errores"), FRAM3_lbErroneos},
        {QStringLiteral("Errores de Posición"), FRAM3_lbErrPos},
        {QStringLiteral("Errores de Sufijos"), FRAM3_lbErrSuf},
        {QStringLiteral("Articulos en Catalogo"), FRAM3_lbEnCatalogo},
        {QStringLiteral("Articulos Nuevos"), FRAM3_lbNuevos},
    };
    int f = 1;
    for (const auto& [texto, valor] : filas) {
        capa->addWidget(new QLabel(texto, FRAM3), f, 0);
        capa->addWidget(valor, f, 1);
        ++f;
    }
    capa->addWidget(h2, 0, 2, 1, 1);
    capa->addWidget(FRAM3_cmdRegErr, 1, 2);
    capa->addWidget(FRAM3_cmdRegOk, 2, 2);
    capa->addWidget(FRAM3_cmdDeshacer, 4, 2);
    capa->setRowStretch(f, 1);
    capa->setColumnStretch(3, 1);
    marcos->addWidget(FRAM3);
}

void frmMain::conectarPaso2() {
    ControladorPaso2& paso2 = m_asistente.paso2();
    auto* vista = new VistaGrilla(paso2.grilla(), contenedorGrilla);
    FRAM2_Grid = vista;
    contenedorGrilla->layout()->addWidget(vista);
    connect(FRAM2_CmdProcesar, &QPushButton::clicked, this, [this, &paso2] {
        const QtProgreso::Corrida corrida(*m_progreso);
        paso2.FRAM2_CmdProcesar_Click();
    });
    connect(cmdAutomatico, &QPushButton::clicked, &paso2, &ControladorPaso2::cmdAutomatico_Click);
    connect(vista, &VistaGrilla::teclaAbajo, &paso2, &ControladorPaso2::FRAM2_Grid_KeyDown);
    connect(&paso2, &ControladorPaso2::archivoCambiado, FRAM2_TxtArchivo, &QLineEdit::setText);
    FRAM2_TxtArchivo->setText(paso2.archivo());
}

void frmMain::conectarPaso3() {
    ControladorPaso3& paso3 = m_asistente.paso3();
    connect(&paso3, &ControladorPaso3::cambiado, this, [this, &paso3] {
        FRAM3_lbTotal->setText(paso3.FRAM3_lbTotal);
        FRAM3_lbErroneos->setText(paso3.FRAM3_lbErroneos);
        FRAM3_lbErrPos->setText(paso3.FRAM3_lbErrPos);
        FRAM3_lbErrSuf->setText(paso3.FRAM3_lbErrSuf);
        FRAM3_lbEnCatalogo->setText(paso3.FRAM3_lbEnCatalogo);
        FRAM3_lbNuevos->setText(paso3.FRAM3_lbNuevos);
    });
    // "Datos con Errores" and "Registros OK": the one review window, on the list of that mode; its
    // editor opens over it.
    const auto abrir = [this](int modo) {
        m_estado.g_iModoLista = modo;
        mostrarRevision(m_srv, m_estado, this, [this](int artord) {
            QWidget* padre = ventanaRevision();
            return abrirEditor(m_srv, m_estado, padre ? padre : this, artord);
        });
    };
    connect(FRAM3_cmdRegErr, &QPushButton::clicked, this, [abrir] { abrir(1); });
    connect(FRAM3_cmdRegOk, &QPushButton::clicked, this, [abrir] { abrir(2); });
    const auto deshacer = [this] {
        const QtProgreso::Corrida corrida(*m_progreso);
        m_control.MAIN_Deshacer();
    };
    connect(FRAM3_cmdDeshacer, &QPushButton::clicked, this, deshacer);
    // Ctrl+Z also in step 2, where a run that failed left the interno.
    auto* atajo = new QShortcut(QKeySequence::Undo, this);
    connect(atajo, &QShortcut::activated, this, deshacer);
}

void frmMain::ordenDeTabulacion() {
    // Tab goes through the controls of the step in front, in the order they stand, and then through
    // the buttons below from left to right; the frames behind are hidden and left out.
    QWidget* orden[] = {FRAM1LstInternos, FRAM2_TxtArchivo, FRAM2_CmdProcesar, cmdAutomatico,
                        FRAM2_Grid,       FRAM3_cmdRegErr,  FRAM3_cmdRegOk,    FRAM3_cmdDeshacer,
                        cmdConfig,        Command4,         cmdAnterior,       cmdSiguiente};
    for (size_t i = 1; i < std::size(orden); ++i)
        setTabOrder(orden[i - 1], orden[i]);
}

void frmMain::enfocarPaso() {
    // Each step starts on what it asks for first: the interno list, "Procesar", "Datos con Errores".
    QWidget* primero = nullptr;
    switch (m_control.marcoAlFrente) {
    case 1:
        primero = FRAM1LstInternos;
        break;
    case 2:
        primero = FRAM2_CmdProcesar;
        break;
    case 3:
        primero = FRAM3_cmdRegErr;
        break;
    default:
        break;
    }
    if (primero && primero->isEnabled())
        primero->setFocus(Qt::OtherFocusReason);
}

void frmMain::iniciar(const QString& carpetaDatos, bool primerArranque) {
    // Cancelled, the first start goes on with the demonstration database, as before it asked.
    const bool primera = primerArranque && conexion::esPrimerArranque(carpetaDatos);
    if (primera) {
        frmConexion ventana(m_srv.interaccion(), carpetaDatos, this);
        ventana.exec();
    }
    {
        const PunteroEspera espera(&m_interaccion, PunteroEspera::Ocupado);
        m_control.Form_Load(carpetaDatos);
    }
    refrescar();
    // No processing runs on a catalog or a unit the clerk did not pick.
    if (primera && m_estado.g_iPaso == 1 && (m_estado.g_sINTCAT.isEmpty() || m_estado.g_sINTDUN.isEmpty())) {
        frmAjustesIniciales ventana(m_srv, m_estado, this);
        ventana.exec();
    }
}

void frmMain::refrescar() {
    lbPasoNro->setText(m_control.lbPasoNro);
    lbPasoDesc->setText(m_control.lbPasoDesc);
    Main_lbMensaje->setText(m_control.Main_lbMensaje);
    lbVersion->setText(m_control.lbVersion);
    lbDemostracion->setVisible(m_control.baseDemostracion);
    cmdSiguiente->setText(m_control.cmdSiguienteCaption);
    cmdSiguiente->setAccessibleName(QString(m_control.cmdSiguienteCaption).remove(u'>').trimmed());
    QFont f = cmdSiguiente->font();
    f.setBold(m_control.cmdSiguienteNegrita);
    cmdSiguiente->setFont(f);
    cmdSiguiente->setEnabled(m_control.cmdSiguienteEnabled);
    cmdAnterior->setVisible(m_control.cmdAnteriorVisible);
    lbInterno->setText(m_control.lbInterno);
    const bool otroPaso = marcos->currentIndex() != m_control.marcoAlFrente - 1;
    marcos->setCurrentIndex(m_control.marcoAlFrente - 1);
    FRAM1->setEnabled(m_control.fram1Habilitado);
    FRAM2->setEnabled(m_control.fram2Habilitado);
    if (otroPaso)
        enfocarPaso();

    // The interno list is redrawn only when its rows changed.
    const auto& internos = m_control.internos;
    bool igual = FRAM1LstInternos->topLevelItemCount() == static_cast<int>(internos.size());
    for (int i = 0; igual && i < static_cast<int>(internos.size()); ++i) {
        const QTreeWidgetItem* it = FRAM1LstInternos->topLevelItem(i);
        igual = it->text(0) == internos[static_cast<size_t>(i)].nro &&
                it->text(1) == internos[static_cast<size_t>(i)].dsc;
    }
    if (!igual) {
        const QSignalBlocker bloqueo(FRAM1LstInternos);
        FRAM1LstInternos->clear();
        const QIcon icono = style()->standardIcon(QStyle::SP_FileIcon);
        QList<QTreeWidgetItem*> filas;
        for (const auto& in : internos) {
            auto* it = new QTreeWidgetItem({in.nro, in.dsc});
            it->setIcon(0, icono);
            filas << it;
        }
        FRAM1LstInternos->addTopLevelItems(filas);
    }
    if (m_control.internoSeleccionado >= 0 &&
        m_control.internoSeleccionado < FRAM1LstInternos->topLevelItemCount()) {
        const QSignalBlocker bloqueo(FRAM1LstInternos);
        FRAM1LstInternos->setCurrentItem(FRAM1LstInternos->topLevelItem(m_control.internoSeleccionado));
    }
}

void frmMain::FRAM1_NuevoInterno() {
    m_estado.g_bInternoCreado = false;
    frmInterno ventana(m_srv, m_estado, this);
    ventana.exec();
    m_control.FRAM1_DespuesDeNuevoInterno();
}

void frmMain::Command4_Click() {
    close();
    QApplication::quit();
}

bool frmMain::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        if (objeto == FRAM1LstInternos) {
            switch (tecla->key()) {
            case Qt::Key_Insert:
                FRAM1_NuevoInterno();
                return true;
            case Qt::Key_Delete:
                m_control.FRAM1_EliminarInterno();
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                m_control.FRAM1_Enter();
                return true;
            default:
                break;
            }
        }
        // Esc anywhere in the main window (not in its dialogs) presses "Cancelar".
        if (tecla->key() == Qt::Key_Escape && QApplication::activeModalWidget() == nullptr &&
            isActiveWindow()) {
            auto* w = qobject_cast<QWidget*>(objeto);
            if (w && w->window() == this) {
                Command4->click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void frmMain::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Escape) {
        Command4->click();
        return;
    }
    QWidget::keyPressEvent(evento);
}

} // namespace tarvix
