#include "app/ventanas/frminterno.h"

#include "app/controladorprincipal.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvix {

frmInterno::frmInterno(Servicios& srv, EstadoAsistente& estado, QWidget* parent)
    : QDialog(parent), m_srv(srv), m_estado(estado) {
    setObjectName(QStringLiteral("frmInterno"));
    setWindowTitle(QStringLiteral("Nuevo Interno"));
    setModal(true);
    auto* forma = new QFormLayout;
    txtInterno = new QLineEdit(this);
    txtInterno->setObjectName(QStringLiteral("txtInterno"));
    txtInterno->setMaxLength(20);
    txtInterno->setAccessibleName(QStringLiteral("Interno"));
    txtDescripcion = new QLineEdit(this);
    txtDescripcion->setObjectName(QStringLiteral("txtDescripcion"));
    txtDescripcion->setMaxLength(100);
    txtDescripcion->setAccessibleName(QStringLiteral("Descripcion"));
    txtDescripcion->setMinimumWidth(320);
    forma->addRow(QStringLiteral("Interno"), txtInterno);
    forma->addRow(QStringLiteral("Descripcion"), txtDescripcion);
    auto* ayuda = new QLabel(QStringLiteral("[F11] Agregar - [Esc] Salir"), this);
    ayuda->setObjectName(QStringLiteral("lbAyuda"));
    auto* capa = new QVBoxLayout(this);
    capa->addLayout(forma);
    capa->addWidget(ayuda);
    // The window sees every key before its controls.
    txtInterno->installEventFilter(this);
    txtDescripcion->installEventFilter(this);
}

bool frmInterno::teclaVentana(int tecla) {
    if (tecla == Qt::Key_F11) {
        QString descripcion = txtDescripcion->text();
        const bool cerrar = NuevoInterno(m_srv, m_estado, txtInterno->text(), descripcion);
        txtDescripcion->setText(descripcion);
        if (cerrar)
            accept();
        return true;
    }
    if (tecla == Qt::Key_Escape) {
        reject();
        return true;
    }
    return false;
}

bool frmInterno::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress && teclaVentana(static_cast<QKeyEvent*>(evento)->key()))
        return true;
    return QDialog::eventFilter(objeto, evento);
}

void frmInterno::keyPressEvent(QKeyEvent* evento) {
    if (!teclaVentana(evento->key()))
        QDialog::keyPressEvent(evento);
}

} // namespace tarvix
