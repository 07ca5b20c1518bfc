#include "review/ventanas/frmcargasufijos.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace tarvix {

FrmCargaSufijos::FrmCargaSufijos(QWidget* parent) : QDialog(parent), m_cntrl(this) {
    setObjectName(QStringLiteral("FrmCargaSufijos"));
    setWindowTitle(QStringLiteral("Carga de Sufijos"));
    setModal(true);
    FrmList = new QGroupBox(QStringLiteral("Selecione una Opción"), this);
    FrmList->setObjectName(QStringLiteral("FrmList"));
    LstOpcion = new QListWidget(FrmList);
    LstOpcion->setObjectName(QStringLiteral("LstOpcion"));
    LstOpcion->setAccessibleName(QStringLiteral("Opciones del sufijo"));
    LstOpcion->setMinimumWidth(380);
    auto* marco = new QVBoxLayout(FrmList);
    marco->addWidget(LstOpcion);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(FrmList);
    m_cntrl.sLinkListBox(LstOpcion);
    LstOpcion->installEventFilter(this);
    connect(LstOpcion, &QListWidget::itemDoubleClicked, this, [this] { elegir(); });
}

void FrmCargaSufijos::cargar(const QStringList& opciones, int porDefecto) {
    FrmList->setVisible(true);
    LstOpcion->clear();
    LstOpcion->addItems(opciones);
    g_sOpcionSufijo.clear();
    m_indice = -1;
    LstOpcion->setCurrentRow(porDefecto >= 0 && porDefecto < opciones.size() ? porDefecto : -1);
}

void FrmCargaSufijos::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (LstOpcion->count() > 0 && LstOpcion->selectedItems().isEmpty())
        LstOpcion->setCurrentRow(0);
    LstOpcion->setFocus();
}

void FrmCargaSufijos::elegir() {
    const int fila = LstOpcion->currentRow();
    if (fila < 0 || !LstOpcion->item(fila)->isSelected())
        return;
    g_sOpcionSufijo = LstOpcion->item(fila)->text();
    m_indice = fila;
    accept();
}

bool FrmCargaSufijos::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == LstOpcion && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            elegir();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

int elegirOpcionSufijo(QWidget* padre, const QString& titulo, const QStringList& opciones, int porDefecto) {
    FrmCargaSufijos ventana(padre);
    if (!titulo.isEmpty())
        ventana.setWindowTitle(titulo);
    ventana.cargar(opciones, porDefecto);
    ventana.exec();
    return ventana.indiceElegido();
}

} // namespace tarvix
