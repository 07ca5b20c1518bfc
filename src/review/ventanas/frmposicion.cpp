#include "review/ventanas/frmposicion.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace tarvix {

FrmPosicion::FrmPosicion(Servicios& srv, EstadoAsistente& estado, QWidget* parent, const QString& patron)
    : QDialog(parent), m_logica(srv, estado), m_cntrl(this) {
    setObjectName(QStringLiteral("FrmPosicion"));
    setWindowTitle(QStringLiteral("Buscar Posición"));
    setModal(true);
    TxtNCMF = new QLineEdit(this);
    TxtNCMF->setObjectName(QStringLiteral("TxtNCMF"));
    TxtNCMF->setText(patron);
    TxtNCMF->setAccessibleName(QStringLiteral("Posición a buscar"));
    LstNCM = new QListWidget(this);
    LstNCM->setObjectName(QStringLiteral("LstNCM"));
    LstNCM->setAccessibleName(QStringLiteral("Posiciones encontradas"));
    LstSufijos = new QListWidget(this);
    LstSufijos->setObjectName(QStringLiteral("LstSufijos"));
    LstSufijos->setAccessibleName(QStringLiteral("Sufijos de la posición"));
    LbDescripcion = new QPlainTextEdit(this);
    LbDescripcion->setObjectName(QStringLiteral("LbDescripcion"));
    LbDescripcion->setAccessibleName(QStringLiteral("Descripción de la posición"));
    LbDescripcion->setReadOnly(true);
    LbDescripcion->setTabChangesFocus(true);

    auto* capa = new QGridLayout(this);
    auto* rotulo = new QLabel(QStringLiteral("Posición"), this);
    rotulo->setBuddy(TxtNCMF);
    capa->addWidget(rotulo, 0, 0);
    capa->addWidget(TxtNCMF, 0, 1);
    capa->addWidget(LstNCM, 1, 0, 2, 2);
    capa->addWidget(LbDescripcion, 0, 2, 2, 1);
    capa->addWidget(LstSufijos, 2, 2);
    capa->addWidget(new QLabel(QStringLiteral("[Enter] Buscar / Elegir  -  [ESC] Salir"), this), 3, 0, 1, 3);
    setTabOrder(TxtNCMF, LstNCM);
    resize(760, 420);

    m_cntrl.sLinkListBox(LstSufijos);
    for (QWidget* w : std::initializer_list<QWidget*>{TxtNCMF, LstNCM, LstSufijos, LbDescripcion})
        w->installEventFilter(this);
}

void FrmPosicion::mostrarLista() {
    LstNCM->clear();
    LstNCM->addItems(m_logica.LstNCM);
    LstNCM->setCurrentRow(m_logica.LstNCM_ListIndex);
}

void FrmPosicion::buscar() {
    m_logica.TxtNCMF = TxtNCMF->text();
    const bool hallado = m_logica.Buscar();
    mostrarLista();
    if (hallado)
        LstNCM->setFocus();
}

void FrmPosicion::mostrarDatos() {
    QListWidgetItem* actual = LstNCM->currentItem();
    if (!actual)
        return;
    m_logica.MostrarDatos(actual->text());
    LbDescripcion->setPlainText(
        QString(m_logica.LbDescripcion).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    LstSufijos->clear();
    LstSufijos->addItems(m_logica.LstSufijos);
}

void FrmPosicion::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    m_logica.TxtNCMF = TxtNCMF->text();
    const bool enfocar = m_logica.Form_Activate();
    mostrarLista();
    if (enfocar)
        LstNCM->setFocus();
}

bool FrmPosicion::teclaVentana(const QKeyEvent* k) {
    if (k->key() == Qt::Key_Escape || (k->key() == Qt::Key_C && (k->modifiers() & Qt::ControlModifier))) {
        m_logica.Cancelar();
        reject();
        return true;
    }
    return false;
}

bool FrmPosicion::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(evento);
        if (teclaVentana(k))
            return true;
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (enter && objeto == TxtNCMF) {
            buscar();
            return true;
        }
        if (enter && objeto == LstNCM) {
            m_logica.LstNCM_ListIndex = LstNCM->currentRow();
            m_elegida = m_logica.Elegir();
            if (!m_elegida.isEmpty())
                accept();
            return true;
        }
    } else if (evento->type() == QEvent::KeyRelease && objeto == LstNCM) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla >= Qt::Key_Left && tecla <= Qt::Key_Down)
            mostrarDatos();
    }
    return QDialog::eventFilter(objeto, evento);
}

} // namespace tarvix
