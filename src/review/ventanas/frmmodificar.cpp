#include "review/ventanas/frmmodificar.h"

#include "controls/ventanas/clcntrl.h"
#include "review/ventanas/frmcargasufijos.h"
#include "review/ventanas/frmposicion.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace tarvix {

namespace {

template <typename W> W* control(QWidget* padre, const char* nombre, const QString& accesible) {
    auto* w = new W(padre);
    w->setObjectName(QString::fromLatin1(nombre));
    w->setAccessibleName(accesible);
    return w;
}

QLabel* rotulo(QWidget* padre, const char* nombre, const QString& texto, QWidget* companero = nullptr) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QString::fromLatin1(nombre));
    if (companero)
        l->setBuddy(companero);
    return l;
}

// A control in a grid with its caption before it: the caption at (fila, columna), the control in the
// next column, `ancho` columns wide. The caption's name is the control's without its kind ("lbARTNRO").
template <typename W>
W* campo(QGridLayout* grilla, int fila, int columna, const char* nombre, const QString& caption,
         int ancho = 1, QLabel** rotuloCreado = nullptr) {
    QWidget* padre = grilla->parentWidget();
    auto* w = control<W>(padre, nombre, caption.trimmed());
    const QByteArray nombreRotulo = "lb" + QByteArray(nombre).mid(3);
    QLabel* l = rotulo(padre, nombreRotulo.constData(), caption, w);
    grilla->addWidget(l, fila, columna);
    grilla->addWidget(w, fila, columna + 1, 1, ancho);
    if (rotuloCreado)
        *rotuloCreado = l;
    return w;
}

void ponerTexto(QLineEdit* w, const QString& t) {
    if (w->text() != t)
        w->setText(t);
}

void ponerTexto(QPlainTextEdit* w, const QString& t) {
    if (w->toPlainText() != t)
        w->setPlainText(t);
}

void ponerLista(QComboBox* w, const LogicaModificar::Lista& l) {
    QStringList actuales;
    for (int i = 0; i < w->count(); ++i)
        actuales << w->itemText(i);
    if (actuales != l.items) {
        w->clear();
        w->addItems(l.items);
    }
    w->setCurrentIndex(l.ListIndex);
}

} // namespace

frmModificar::frmModificar(Servicios& srv, EstadoAsistente& estado, QWidget* parent)
    : QDialog(parent), m_srv(srv), m_estado(estado), m_logica(srv, estado) {
    setObjectName(QStringLiteral("frmModificar"));
    setWindowTitle(QStringLiteral("Modificar"));
    setModal(true);
    construir();
    // One input controller per edited text box.
    for (QWidget* w : std::initializer_list<QWidget*>{txtPRCNCM, txtPRCSUF, txtPRCDUN, txtPRCESM, txtPRCCAN,
                                                      txtPRCECA, txtDescripcionMaria}) {
        auto* c = new ClCntrl(this);
        c->sLinkText(w);
    }
    // The window sees every key before the controls and their controllers.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    mostrar();
}

void frmModificar::construir() {
    auto* origen = new QGroupBox(QStringLiteral("Datos del archivo origen"), this);
    origen->setObjectName(QStringLiteral("fraOrigen"));
    auto* g1 = new QGridLayout(origen);
    txtARTNRO = campo<QLineEdit>(g1, 0, 0, "txtARTNRO", QStringLiteral("Articulo"));
    txtARTORG = campo<QLineEdit>(g1, 0, 2, "txtARTORG", QStringLiteral("Origen"));
    txtARTNAD = campo<QLineEdit>(g1, 0, 4, "txtARTNAD", QStringLiteral("NADI"));
    txtARTDSC = campo<QPlainTextEdit>(g1, 1, 0, "txtARTDSC", QStringLiteral("Descripción"), 5);
    txtARTCAN = campo<QLineEdit>(g1, 2, 0, "txtARTCAN", QStringLiteral("Cantidad"));
    txtARTUNI = campo<QLineEdit>(g1, 2, 2, "txtARTUNI", QStringLiteral("Unitario"));
    txtARTTOT = campo<QLineEdit>(g1, 2, 4, "txtARTTOT", QStringLiteral("Total"));
    for (QWidget* w : std::initializer_list<QWidget*>{txtARTNRO, txtARTDSC, txtARTORG, txtARTCAN, txtARTUNI,
                                                      txtARTTOT, txtARTNAD})
        w->setEnabled(false);
    txtARTDSC->setMaximumHeight(60);

    auto* extra = new QGroupBox(QStringLiteral("Datos Extra"), this);
    extra->setObjectName(QStringLiteral("fraExtra"));
    auto* g2 = new QGridLayout(extra);
    txtPRCNCM = campo<QLineEdit>(g2, 0, 0, "txtPRCNCM", QStringLiteral("Posición"));
    // A whole position (15 characters, "8467.21.00.000R") in sight.
    txtPRCNCM->setMinimumWidth(
        txtPRCNCM->fontMetrics().horizontalAdvance(QStringLiteral("8888.88.88.888WW")) + 12);
    lbPRCLAP = rotulo(extra, "lbPRCLAP", QStringLiteral("LAPI"));
    lbPRCLAP->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    g2->addWidget(lbPRCLAP, 0, 2);
    lbMarca = rotulo(extra, "lbMarca", QStringLiteral("MARCA"));
    g2->addWidget(lbMarca, 0, 3);
    txtPRCSUF = campo<QLineEdit>(g2, 1, 0, "txtPRCSUF", QStringLiteral("Sufijos"), 3);
    txtPRCDUN = campo<QLineEdit>(g2, 2, 0, "txtPRCDUN", QStringLiteral("Unidad Declarada  "));
    ponerNombreDeUnidad(g2);
    txtPRCCAN = campo<QLineEdit>(g2, 2, 2, "txtPRCCAN", QStringLiteral("Cantidad Declarada"));
    txtPRCECA = campo<QLineEdit>(g2, 3, 0, "txtPRCECA", QStringLiteral("Unidad Estadistica"), 1, &lbPRCEUN);
    txtPRCSCA = campo<QLineEdit>(g2, 3, 2, "txtPRCSCA", QStringLiteral("Derecho Especifico"), 1, &lbPRCSUN);
    lbPRCEUN->setObjectName(QStringLiteral("lbPRCEUN"));
    lbPRCSUN->setObjectName(QStringLiteral("lbPRCSUN"));
    txtPRCESM = campo<QLineEdit>(g2, 4, 0, "txtPRCESM", QStringLiteral("Estado Mercaderia"));
    cboPRCORI = campo<QComboBox>(g2, 4, 2, "cboPRCORI", QStringLiteral("Pais Origen"));
    txtDescripcionMaria =
        campo<QPlainTextEdit>(g2, 5, 0, "txtDescripcionMaria", QStringLiteral("Descripción Maria"), 3);
    txtDescripcionMaria->setTabChangesFocus(true);
    txtDescripcionMaria->setMaximumHeight(70);
    cboidPRCORI = control<QComboBox>(extra, "cboidPRCORI", QStringLiteral("Códigos de país"));
    cboidPRCORI->setVisible(false);
    g2->addWidget(cboidPRCORI, 6, 3);
    lbEstado = rotulo(extra, "lbEstado", QString());
    lbEstado->setVisible(false);
    g2->addWidget(lbEstado, 6, 0);

    auto* ayuda = rotulo(this, "lbAyuda", QStringLiteral("[F11] Guardar -  [ESC]  Salir"));
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(origen);
    capa->addWidget(extra);
    capa->addWidget(ayuda);

    QWidget* orden[] = {txtPRCNCM, txtPRCDUN, txtPRCCAN, txtPRCECA,          txtPRCSCA,
                        txtPRCESM, cboPRCORI, txtPRCSUF, txtDescripcionMaria};
    for (size_t i = 1; i < std::size(orden); ++i)
        setTabOrder(orden[i - 1], orden[i]);
    resize(720, 480);
}

void frmModificar::recoger() {
    LogicaModificar& l = m_logica;
    l.txtPRCNCM.Text = txtPRCNCM->text();
    l.txtPRCSUF.Text = txtPRCSUF->text();
    l.txtPRCDUN.Text = txtPRCDUN->text();
    l.txtPRCCAN.Text = txtPRCCAN->text();
    l.txtPRCECA.Text = txtPRCECA->text();
    l.txtPRCSCA.Text = txtPRCSCA->text();
    l.txtPRCESM.Text = txtPRCESM->text();
    l.txtDescripcionMaria.Text = txtDescripcionMaria->toPlainText();
    l.cboPRCORI.ListIndex = cboPRCORI->currentIndex();
}

void frmModificar::mostrar() {
    const LogicaModificar& l = m_logica;
    ponerTexto(txtARTNRO, l.txtARTNRO.Text);
    ponerTexto(txtARTDSC, l.txtARTDSC.Text);
    ponerTexto(txtARTORG, l.txtARTORG.Text);
    ponerTexto(txtARTCAN, l.txtARTCAN.Text);
    ponerTexto(txtARTUNI, l.txtARTUNI.Text);
    ponerTexto(txtARTTOT, l.txtARTTOT.Text);
    ponerTexto(txtARTNAD, l.txtARTNAD.Text);
    ponerTexto(txtPRCNCM, l.txtPRCNCM.Text);
    ponerTexto(txtPRCSUF, l.txtPRCSUF.Text);
    ponerTexto(txtPRCDUN, l.txtPRCDUN.Text);
    ponerTexto(txtPRCCAN, l.txtPRCCAN.Text);
    ponerTexto(txtPRCECA, l.txtPRCECA.Text);
    ponerTexto(txtPRCSCA, l.txtPRCSCA.Text);
    ponerTexto(txtPRCESM, l.txtPRCESM.Text);
    ponerTexto(txtDescripcionMaria, l.txtDescripcionMaria.Text);
    txtPRCNCM->setProperty(ClCntrl::kTag, l.txtPRCNCM.Tag);
    txtPRCSCA->setProperty(ClCntrl::kTag, l.txtPRCSCA.Tag);
    txtPRCSCA->setVisible(l.txtPRCSCA.Visible);
    lbPRCEUN->setText(l.lbPRCEUN.Caption);
    lbPRCSUN->setText(l.lbPRCSUN.Caption);
    lbPRCSUN->setVisible(l.lbPRCSUN.Visible);
    lbPRCSUN->setProperty(ClCntrl::kTag, l.lbPRCSUN.Tag);
    lbPRCLAP->setVisible(l.lbPRCLAP.Visible);
    lbPRCLAP->setProperty(ClCntrl::kTag, l.lbPRCLAP.Tag);
    lbMarca->setText(l.lbMarca.Caption);
    lbEstado->setText(l.lbEstado.Caption);
    ponerLista(cboidPRCORI, l.cboidPRCORI);
    ponerLista(cboPRCORI, l.cboPRCORI);
}

void frmModificar::ponerNombreDeUnidad(QGridLayout* grilla) {
    // The unit's name beside its code, and the units offered by code as the clerk types; what is
    // stored is still the code alone.
    m_unidades = leerUnidades(m_srv);
    lbNombreUnidad = rotulo(txtPRCDUN->parentWidget(), "lbNombreUnidad", QString());
    lbNombreUnidad->setAccessibleName(QStringLiteral("Nombre de la unidad declarada"));
    auto* celda = new QHBoxLayout;
    celda->setContentsMargins(0, 0, 0, 0);
    grilla->removeWidget(txtPRCDUN);
    celda->addWidget(txtPRCDUN);
    celda->addWidget(lbNombreUnidad, 1);
    grilla->addLayout(celda, 2, 1);
    txtPRCDUN->setMaximumWidth(txtPRCDUN->fontMetrics().horizontalAdvance(QStringLiteral("8888")) + 16);
    if (!m_unidades.empty()) {
        auto* modelo = new QStandardItemModel(this);
        for (const Unidad& u : m_unidades) {
            auto* item = new QStandardItem(u.id + u' ' + u.descripcion);
            item->setData(u.id, Qt::UserRole);
            modelo->appendRow(item);
        }
        auto* completar = new QCompleter(modelo, this);
        completar->setCompletionRole(Qt::UserRole);
        completar->setCaseSensitivity(Qt::CaseInsensitive);
        completar->setCompletionMode(QCompleter::PopupCompletion);
        txtPRCDUN->setCompleter(completar);
    }
    const auto nombrar = [this](const QString& codigo) {
        lbNombreUnidad->setText(nombreDeUnidad(m_unidades, codigo));
    };
    connect(txtPRCDUN, &QLineEdit::textChanged, this, nombrar);
}

void frmModificar::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_logica.cargado)
        return;
    m_logica.Form_Activate();
    mostrar();
    txtPRCNCM->setFocus();
}

void frmModificar::reject() {
    m_logica.Escape();
    QDialog::reject();
}

void frmModificar::abrirBusqueda() {
    FrmPosicion busqueda(m_srv, m_estado, this, m_logica.txtPRCNCM.Text);
    busqueda.exec();
    if (!busqueda.elegida().isEmpty())
        m_logica.txtPRCNCM.Text = busqueda.elegida();
    mostrar();
    txtPRCNCM->setFocus();
}

bool frmModificar::teclaVentana(int tecla) {
    if (tecla == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (tecla == Qt::Key_F11) {
        recoger();
        const bool grabado = m_logica.GrabarDatos();
        mostrar();
        if (grabado)
            accept();
        return true;
    }
    return false;
}

bool frmModificar::teclaPosicion(int tecla) {
    if (tecla == Qt::Key_F6) {
        recoger();
        abrirBusqueda();
        return true;
    }
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
        recoger();
        if (m_logica.txtPRCNCM_Enter())
            abrirBusqueda();
        else
            mostrar();
        return true;
    }
    return false;
}

bool frmModificar::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (teclaVentana(tecla))
            return true;
        if (objeto == txtPRCNCM && teclaPosicion(tecla))
            return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

bool abrirEditor(Servicios& srv, EstadoAsistente& estado, QWidget* padre, int artord) {
    estado.g_sRetorno.clear();
    frmModificar ventana(srv, estado, padre);
    ventana.logica().abrir(artord);
    ventana.exec();
    return estado.g_sRetorno == QStringLiteral("OK");
}

} // namespace tarvix
