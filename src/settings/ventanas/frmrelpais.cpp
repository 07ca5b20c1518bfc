#include "settings/ventanas/frmrelpais.h"

#include "settings/ventanas/controles.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarvix {

frmRelPais::frmRelPais(Servicios& srv, EstadoAsistente& estado, QWidget* parent)
    : QDialog(parent), m_logica(srv, estado) {
    setObjectName(QStringLiteral("frmRelPais"));
    setWindowTitle(QStringLiteral("Establecer Pais"));
    setModal(true);

    txtValor = new QLineEdit(this);
    cboPais = new QComboBox(this);
    cboidPais = controles::gemelo(QStringLiteral("cboidPais"), QStringLiteral("Códigos de país"), this);
    txtESM = new QLineEdit(this);
    cboPais->setMinimumWidth(340);

    auto* capa = new QGridLayout;
    capa->addWidget(
        controles::rotular(txtValor, QStringLiteral("txtValor"), QStringLiteral("Valor origen"), this), 0, 0);
    capa->addWidget(txtValor, 0, 1);
    capa->addWidget(
        controles::rotular(cboPais, QStringLiteral("cboPais"), QStringLiteral("Pais - Sistema Maria"), this),
        1, 0);
    capa->addWidget(cboPais, 1, 1);
    capa->addWidget(
        controles::rotular(txtESM, QStringLiteral("txtESM"), QStringLiteral("Estado de Mercaderia"), this), 2,
        0);
    capa->addWidget(txtESM, 2, 1);
    capa->setColumnStretch(1, 1);
    auto* ayuda = new QLabel(QStringLiteral("[F11] Seleccionar [ESC] Salir"), this);
    ayuda->setObjectName(QStringLiteral("lbAyuda"));
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(capa);
    todo->addWidget(ayuda);

    connect(txtValor, &QLineEdit::textChanged, this, [this](const QString& t) { m_logica.txtValor = t; });
    connect(txtESM, &QLineEdit::textChanged, this, [this](const QString& t) { m_logica.txtESM = t; });
    connect(cboPais, &QComboBox::currentIndexChanged, this, [this](int i) {
        cboidPais->setCurrentIndex(i);
        m_logica.paisSeleccionado = i;
    });
    controles::verTeclasAntes(this, {txtValor, cboPais, txtESM});

    m_logica.Form_Load();
    txtValor->setText(m_logica.txtValor);
    txtESM->setText(m_logica.txtESM);
    {
        const QSignalBlocker b1(cboPais);
        const QSignalBlocker b2(cboidPais);
        cboPais->addItems(m_logica.cboPais);
        cboidPais->addItems(m_logica.cboidPais);
        cboPais->setCurrentIndex(m_logica.paisSeleccionado);
        cboidPais->setCurrentIndex(m_logica.paisSeleccionado);
    }
}

bool frmRelPais::Form_KeyDown(int tecla) {
    if (tecla == Qt::Key_F11) {
        if (m_logica.f_Grabar())
            accept();
        return true;
    }
    if (tecla == Qt::Key_Escape) {
        m_logica.Cancelar();
        reject();
        return true;
    }
    return false;
}

bool frmRelPais::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress && Form_KeyDown(static_cast<QKeyEvent*>(evento)->key()))
        return true;
    return QDialog::eventFilter(objeto, evento);
}

void frmRelPais::keyPressEvent(QKeyEvent* evento) {
    if (!Form_KeyDown(evento->key()))
        QDialog::keyPressEvent(evento);
}

} // namespace tarvix
