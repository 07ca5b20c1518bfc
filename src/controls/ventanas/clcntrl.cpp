#include "controls/ventanas/clcntrl.h"

#include "controls/reglascntrl.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tarvix {

namespace {

bool esTeclaDecimal(const QKeyEvent* k) {
    return (k->modifiers() & Qt::KeypadModifier) && (k->key() == Qt::Key_Period || k->key() == Qt::Key_Comma);
}

// Sends Tab (or Shift+Tab) to the window of `control`; the window moves the focus on from its
// focused control. Waits for it or posts it.
void enviarTab(QWidget* control, bool adelante, bool esperar) {
    QWidget* ventana = control->window();
    const auto tecla = adelante ? Qt::Key_Tab : Qt::Key_Backtab;
    const auto mods = adelante ? Qt::NoModifier : Qt::ShiftModifier;
    if (esperar) {
        QKeyEvent tab(QEvent::KeyPress, tecla, mods);
        QCoreApplication::sendEvent(ventana, &tab);
    } else {
        QCoreApplication::postEvent(ventana, new QKeyEvent(QEvent::KeyPress, tecla, mods));
    }
}

QStringList lineasDe(const QListWidget* l) {
    QStringList r;
    for (int i = 0; i < l->count(); ++i)
        r << l->item(i)->text();
    return r;
}

} // namespace

ClCntrl::ClCntrl(QObject* parent) : QObject(parent) {
    ObtenerDecimal();
}

void ClCntrl::sLinkText(QWidget* vTextBox) {
    if (m_texto)
        m_texto->removeEventFilter(this);
    m_texto = vTextBox;
    if (m_texto)
        m_texto->installEventFilter(this);
}

void ClCntrl::sLinkListBox(QListWidget* InvListBox) {
    if (m_lista)
        m_lista->viewport()->removeEventFilter(this);
    m_lista = InvListBox;
    if (m_lista) {
        m_lista->viewport()->setMouseTracking(true);
        m_lista->viewport()->installEventFilter(this);
    }
}

void ClCntrl::sLinkCBoBox(QComboBox* InvCboBox) {
    m_combo = InvCboBox;
}

void ClCntrl::LstBuscarStr(const QString& Valor) {
    if (!m_lista)
        return;
    const int i = cntrl::buscarPrefijo(lineasDe(m_lista), Valor);
    m_lista->setCurrentRow(i);
    if (i < 0)
        m_lista->clearSelection();
}

void ClCntrl::BuscarCBO(const QString& Valor) {
    if (!m_combo)
        return;
    QStringList lineas;
    for (int i = 0; i < m_combo->count(); ++i)
        lineas << m_combo->itemText(i);
    m_combo->setCurrentIndex(cntrl::buscarPrefijo(lineas, Valor));
}

void ClCntrl::VaciarTxt(QWidget* frm) {
    if (!frm)
        return;
    // The editors inside combo and spin boxes are parts of those controls, not text boxes.
    const auto esTextoPropio = [](const QWidget* w) {
        const QWidget* p = w->parentWidget();
        return !(qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p));
    };
    for (QLineEdit* t : frm->findChildren<QLineEdit*>())
        if (esTextoPropio(t))
            t->clear();
    for (QPlainTextEdit* t : frm->findChildren<QPlainTextEdit*>())
        t->clear();
    for (QTextEdit* t : frm->findChildren<QTextEdit*>())
        t->clear();
}

void ClCntrl::ObtenerDecimal() {
    sSeparadorDecimal = cntrl::separadorDecimal();
}

QString ClCntrl::Separador_Decimal() {
    ObtenerDecimal();
    return sSeparadorDecimal;
}

QString ClCntrl::Obtener_Sep_Decim() {
    return Separador_Decimal();
}

void ClCntrl::pintar(int fondo) {
    const auto f = static_cast<cntrl::Fondo>(fondo);
    if (f == cntrl::Fondo::SinCambio || !m_texto)
        return;
    const cntrl::Rgb c = cntrl::rgb(f);
    QPalette p = m_texto->palette();
    p.setColor(QPalette::Base, QColor(c.rojo, c.verde, c.azul));
    m_texto->setPalette(p);
}

void ClCntrl::enfocar() {
    const auto f = cntrl::fondoAlEnfocar(m_texto->property(kTag).toString());
    if (f == cntrl::Fondo::SinCambio)
        return;
    pintar(static_cast<int>(f));
    if (auto* l = qobject_cast<QLineEdit*>(m_texto))
        l->selectAll();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(m_texto))
        p->selectAll();
    else if (auto* t = qobject_cast<QTextEdit*>(m_texto))
        t->selectAll();
}

void ClCntrl::salir() {
    pintar(static_cast<int>(cntrl::fondoAlSalir(m_texto->property(kTag).toString())));
}

bool ClCntrl::teclaTexto(QEvent* evento) {
    auto* k = static_cast<QKeyEvent*>(evento);
    if (evento->type() == QEvent::KeyRelease) {
        if (esTeclaDecimal(k) && !k->isAutoRepeat())
            bPuntoTeclado = false;
        return false;
    }
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        enviarTab(m_texto, true, true);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        enviarTab(m_texto, k->key() == Qt::Key_Down, false);
        return true;
    default:
        break;
    }
    if (esTeclaDecimal(k))
        bPuntoTeclado = true;
    if (bPuntoTeclado && esTeclaDecimal(k)) {
        // The same key, typing the separator instead of its own character.
        const QString texto = cntrl::textoTeclaDecimal(sSeparadorDecimal);
        if (texto == k->text())
            return false;
        QKeyEvent otra(QEvent::KeyPress, k->key(), k->modifiers() & ~Qt::KeypadModifier, texto,
                       k->isAutoRepeat(), static_cast<quint16>(k->count()));
        m_reenviando = true;
        QCoreApplication::sendEvent(m_texto, &otra);
        m_reenviando = false;
        return true;
    }
    return false;
}

void ClCntrl::tooltipLista(QEvent* evento) {
    const auto* m = static_cast<QMouseEvent*>(evento);
    if (m->buttons() != Qt::NoButton)
        return;
    const QModelIndex i = m_lista->indexAt(m->position().toPoint());
    m_lista->setToolTip(i.isValid() ? m_lista->item(i.row())->text() : QString());
}

bool ClCntrl::eventFilter(QObject* objeto, QEvent* evento) {
    if (m_texto && objeto == m_texto && !m_reenviando) {
        switch (evento->type()) {
        case QEvent::FocusIn:
            enfocar();
            break;
        case QEvent::FocusOut:
            salir();
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (teclaTexto(evento))
                return true;
            break;
        default:
            break;
        }
    } else if (m_lista && objeto == m_lista->viewport() && evento->type() == QEvent::MouseMove) {
        tooltipLista(evento);
    }
    return QObject::eventFilter(objeto, evento);
}

} // namespace tarvix
