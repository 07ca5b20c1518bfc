#include "intake/carga/ventanas/frmcampos.h"

#include "components/estadoasistente.h"
#include "components/servicios.h"
#include "intake/carga/mapeo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace tarvix {

frmCampos::frmCampos(Servicios& srv, EstadoAsistente& estado, QWidget* parent)
    : QDialog(parent), m_srv(srv), m_estado(estado) {
    setObjectName(QStringLiteral("frmCampos"));
    setWindowTitle(QStringLiteral("Establecer Campo"));
    setModal(true);
    cboCampos = new QComboBox(this);
    cboCampos->setObjectName(QStringLiteral("cboCampos"));
    cboCampos->setAccessibleName(QStringLiteral("Campo de la columna"));
    cboCampos->setEditable(false);
    auto* etiqueta = new QLabel(QStringLiteral("Campo de la columna:"), this);
    etiqueta->setBuddy(cboCampos);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(etiqueta);
    capa->addWidget(cboCampos);
    Form_Load();

    installEventFilter(this);
    cboCampos->installEventFilter(this);
    cboCampos->view()->installEventFilter(this);
}

void frmCampos::Form_Load() {
    for (const QStringView etiqueta : kEtiquetasCampo)
        cboCampos->addItem(etiqueta.toString());
    for (const QStringView etiqueta : kEtiquetasReconocidas)
        cboCampos->addItem(etiqueta.toString());
    cboCampos->setCurrentIndex(0);
}

void frmCampos::cboCampos_KeyPress() {
    // Enter in the open list takes the highlighted label.
    QAbstractItemView* lista = cboCampos->view();
    if (lista->isVisible() && lista->currentIndex().isValid())
        cboCampos->setCurrentIndex(lista->currentIndex().row());
    cboCampos->hidePopup();
    m_estado.g_sRetorno = cboCampos->currentText();
    accept();
}

void frmCampos::Form_KeyDown_Escape() {
    cboCampos->hidePopup();
    m_estado.g_sRetorno.clear();
    reject();
}

bool frmCampos::buscar(const QString& texto) {
    // Letters typed within a second of each other add up: "T" then "O" is "TO".
    constexpr qint64 kPausaMs = 1000;
    if (!m_ultimaTecla.isValid() || m_ultimaTecla.elapsed() > kPausaMs)
        m_tecleado.clear();
    m_ultimaTecla.start();
    m_tecleado += texto;
    QStringList etiquetas;
    for (int i = 0; i < cboCampos->count(); ++i)
        etiquetas << cboCampos->itemText(i);
    int i = buscarEtiqueta(m_tecleado, etiquetas);
    if (i < 0) {
        m_tecleado = texto;
        i = buscarEtiqueta(m_tecleado, etiquetas);
    }
    if (i < 0)
        return true;
    cboCampos->setCurrentIndex(i);
    if (cboCampos->view()->isVisible())
        cboCampos->view()->setCurrentIndex(cboCampos->model()->index(i, 0));
    return true;
}

bool frmCampos::eventFilter(QObject* objeto, QEvent* evento) {
    // The open list gets a filter of its own when it first shows: this window's goes back in
    // front, to see the typed letters first.
    if (evento->type() == QEvent::Show && objeto == cboCampos->view()) {
        cboCampos->view()->removeEventFilter(this);
        cboCampos->view()->installEventFilter(this);
    }
    if (evento->type() == QEvent::KeyPress || evento->type() == QEvent::ShortcutOverride) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Escape) {
            if (evento->type() == QEvent::KeyPress)
                Form_KeyDown_Escape();
            evento->accept();
            return true;
        }
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            if (evento->type() == QEvent::KeyPress)
                cboCampos_KeyPress();
            evento->accept();
            return true;
        }
        const QString texto = static_cast<QKeyEvent*>(evento)->text();
        if (evento->type() == QEvent::KeyPress && texto.size() == 1 &&
            (texto.front().isLetterOrNumber() || texto.front() == u'_'))
            return buscar(texto);
    }
    return QDialog::eventFilter(objeto, evento);
}

} // namespace tarvix
