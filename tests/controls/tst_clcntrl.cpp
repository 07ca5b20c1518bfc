#include "controls/ventanas/clcntrl.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace tarvix;

namespace {

// A window with three linked text boxes, a multi-line box, a list and a combo box.
struct Ventana : QWidget {
    QLineEdit* a = new QLineEdit(this);
    QLineEdit* b = new QLineEdit(this);
    QLineEdit* c = new QLineEdit(this);
    QLineEdit* libre = new QLineEdit(this); // linked by each test under its own locale
    QPlainTextEdit* m = new QPlainTextEdit(this);
    QListWidget* lista = new QListWidget(this);
    QComboBox* combo = new QComboBox(this);
    ClCntrl ca{this}, cb{this}, cc{this}, cm{this};

    Ventana() {
        auto* capa = new QVBoxLayout(this);
        for (QWidget* w : std::initializer_list<QWidget*>{a, b, c, libre, m, lista, combo})
            capa->addWidget(w);
        m->setTabChangesFocus(true);
        ca.sLinkText(a);
        cb.sLinkText(b);
        cc.sLinkText(c);
        cm.sLinkText(m);
        const QStringList lineas{QStringLiteral("XY01 - Otro"), QStringLiteral("AB01 - Primero"),
                                 QStringLiteral("ab02 - Segundo"),
                                 QStringLiteral("Una línea bastante larga")};
        lista->addItems(lineas);
        combo->addItems(lineas);
        ca.sLinkListBox(lista);
        ca.sLinkCBoBox(combo);
        resize(300, 400);
    }
};

QColor fondo(const QWidget* w) {
    return w->palette().color(QPalette::Base);
}

} // namespace

class TstClCntrl : public QObject {
    Q_OBJECT
private slots:
    void init() { m_v = std::make_unique<Ventana>(); }
    void cleanup() { m_v.reset(); }
    void teclaDecimalEsAr();
    void teclaDecimalEnUs();
    void enterYFlechasMuevenElFoco();
    void coloresYSeleccion();
    void tagBB();
    void busquedaPorPrefijo();
    void tooltipsDeLista();
    void vaciarTxt();

private:
    void mostrar();
    std::unique_ptr<Ventana> m_v;
};

void TstClCntrl::mostrar() {
    m_v->show();
    m_v->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_v.get()));
}

void TstClCntrl::teclaDecimalEsAr() {
    prueba::LocaleFijo l(QStringLiteral("es_AR"));
    ClCntrl nuevo; // reads the separator when created
    QCOMPARE(nuevo.Separador_Decimal(), QStringLiteral(","));
    QCOMPARE(nuevo.Obtener_Sep_Decim(), QStringLiteral(","));
    nuevo.sLinkText(m_v->libre);
    mostrar();
    QLineEdit* t = m_v->libre;
    t->setFocus();
    QTest::keyClicks(t, QStringLiteral("12"));
    QTest::keyPress(t, Qt::Key_Period, Qt::KeypadModifier);
    QVERIFY(nuevo.puntoTeclado());
    QTest::keyRelease(t, Qt::Key_Period, Qt::KeypadModifier);
    QVERIFY(!nuevo.puntoTeclado());
    QTest::keyClicks(t, QStringLiteral("5"));
    QTest::keyClick(t, Qt::Key_Period); // the main keyboard's full stop
    QTest::keyClick(t, Qt::Key_Comma, Qt::KeypadModifier);
    QCOMPARE(t->text(), QStringLiteral("12,5.,"));
}

void TstClCntrl::teclaDecimalEnUs() {
    prueba::LocaleFijo l(QStringLiteral("en_US"));
    ClCntrl nuevo;
    nuevo.sLinkText(m_v->libre);
    mostrar();
    QLineEdit* t = m_v->libre;
    t->setFocus();
    QTest::keyClicks(t, QStringLiteral("3"));
    QTest::keyClick(t, Qt::Key_Period, Qt::KeypadModifier);
    QTest::keyClick(t, Qt::Key_Comma, Qt::KeypadModifier);
    QTest::keyClick(t, Qt::Key_Period);
    QCOMPARE(t->text(), QStringLiteral("3...")); // the keypad types the locale's "."
}

void TstClCntrl::enterYFlechasMuevenElFoco() {
    mostrar();
    m_v->a->setFocus();
    m_v->a->setText(QStringLiteral("x"));
    QTest::keyClick(m_v->a, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_v->b); // at once: Enter waits for the move
    QCOMPARE(m_v->a->text(), QStringLiteral("x"));
    QTest::keyClick(m_v->b, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), m_v->c);
    QTest::keyClick(m_v->c, Qt::Key_Up);
    QTRY_COMPARE(QApplication::focusWidget(), m_v->b);
    QTest::keyClick(m_v->b, Qt::Key_Down);
    QTRY_COMPARE(QApplication::focusWidget(), m_v->c);
    // A multi-line box moves on too and keeps its text without a line break.
    QTest::keyClick(m_v->c, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_v->libre); // not linked: Enter stays there
    QTest::keyClick(m_v->libre, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_v->libre);
    m_v->m->setFocus();
    m_v->m->setPlainText(QStringLiteral("uno"));
    QTest::keyClick(m_v->m, Qt::Key_Return);
    QCOMPARE(m_v->m->toPlainText(), QStringLiteral("uno"));
    QVERIFY(QApplication::focusWidget() != m_v->m);
}

void TstClCntrl::coloresYSeleccion() {
    mostrar();
    m_v->b->setText(QStringLiteral("1234"));
    m_v->c->setText(QStringLiteral("99"));
    m_v->c->setProperty(ClCntrl::kTag, QStringLiteral("txt#F6"));
    m_v->b->setFocus();
    QCOMPARE(fondo(m_v->b), QColor(192, 255, 192));
    QCOMPARE(m_v->b->selectedText(), QStringLiteral("1234"));
    m_v->c->setFocus();
    QCOMPARE(fondo(m_v->b), QColor(Qt::white));
    QCOMPARE(fondo(m_v->c), QColor(254, 228, 214));
    QCOMPARE(m_v->c->selectedText(), QStringLiteral("99"));
    m_v->m->setPlainText(QStringLiteral("dos\nlineas"));
    m_v->m->setFocus();
    QCOMPARE(fondo(m_v->c), QColor(Qt::white));
    QCOMPARE(m_v->m->textCursor().selectedText().size(), 10);
}

void TstClCntrl::tagBB() {
    mostrar();
    m_v->b->setProperty(ClCntrl::kTag, QStringLiteral("BB"));
    m_v->b->setText(QStringLiteral("1234"));
    const QColor antes = fondo(m_v->b);
    m_v->b->setFocus(Qt::OtherFocusReason);
    QCOMPARE(fondo(m_v->b), antes);
    QVERIFY(m_v->b->selectedText().isEmpty());
    m_v->c->setFocus();
    QCOMPARE(fondo(m_v->b), antes);
}

void TstClCntrl::busquedaPorPrefijo() {
    m_v->ca.LstBuscarStr(QStringLiteral("ab"));
    QCOMPARE(m_v->lista->currentRow(), 1);
    QVERIFY(m_v->lista->item(1)->isSelected());
    m_v->ca.LstBuscarStr(QStringLiteral("zz"));
    QVERIFY(m_v->lista->selectedItems().isEmpty());
    m_v->ca.BuscarCBO(QStringLiteral("una"));
    QCOMPARE(m_v->combo->currentIndex(), 3);
    m_v->ca.BuscarCBO(QStringLiteral("nada"));
    QCOMPARE(m_v->combo->currentIndex(), -1);
}

void TstClCntrl::tooltipsDeLista() {
    mostrar();
    QWidget* vp = m_v->lista->viewport();
    const QPoint sobre3 = m_v->lista->visualItemRect(m_v->lista->item(3)).center();
    QMouseEvent mover(QEvent::MouseMove, sobre3, vp->mapToGlobal(sobre3), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &mover);
    QCOMPARE(m_v->lista->toolTip(), QStringLiteral("Una línea bastante larga"));
    // With a button held the tooltip stays as it was.
    const QPoint sobre0 = m_v->lista->visualItemRect(m_v->lista->item(0)).center();
    QMouseEvent arrastrar(QEvent::MouseMove, sobre0, vp->mapToGlobal(sobre0), Qt::NoButton, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &arrastrar);
    QCOMPARE(m_v->lista->toolTip(), QStringLiteral("Una línea bastante larga"));
    // Below the last line: no tooltip.
    const QPoint fuera(5, vp->height() - 2);
    QMouseEvent vacio(QEvent::MouseMove, fuera, vp->mapToGlobal(fuera), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &vacio);
    QCOMPARE(m_v->lista->toolTip(), QString());
}

void TstClCntrl::vaciarTxt() {
    m_v->a->setText(QStringLiteral("a"));
    m_v->m->setPlainText(QStringLiteral("m"));
    m_v->combo->setEditable(true);
    m_v->combo->setCurrentIndex(1);
    ClCntrl::VaciarTxt(m_v.get());
    QVERIFY(m_v->a->text().isEmpty());
    QVERIFY(m_v->m->toPlainText().isEmpty());
    QCOMPARE(m_v->combo->currentText(), QStringLiteral("AB01 - Primero"));
    QCOMPARE(m_v->lista->count(), 4);
}

QTEST_MAIN(TstClCntrl)
#include "tst_clcntrl.moc"
