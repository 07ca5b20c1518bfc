#include "settings/ventanas/frmajustesiniciales.h"

#include "settings/ventanas/controles.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvix {

frmAjustesIniciales::frmAjustesIniciales(Servicios& srv, EstadoAsistente& estado, QWidget* parent)
    : QDialog(parent), m_logica(srv, estado) {
    setObjectName(QStringLiteral("frmAjustesIniciales"));
    setWindowTitle(QStringLiteral("Catálogo y unidad"));
    setAccessibleName(windowTitle());
    m_logica.Form_Load();

    auto* explicacion =
        new QLabel(QStringLiteral("Elija el catálogo de artículos y la unidad que se declara cuando "
                                  "la de la factura no se reconoce. Se pueden cambiar después en "
                                  "«Configur.»."),
                   this);
    explicacion->setWordWrap(true);
    const auto lista = [this](const QStringList& textos) {
        auto* c = new QComboBox(this);
        c->addItems(textos);
        c->setPlaceholderText(QStringLiteral("(elija uno)"));
        c->setCurrentIndex(-1);
        return c;
    };
    cboCatalogo = lista(m_logica.cboCatalogo);
    cboUnidad = lista(m_logica.cboUnidad);
    auto* campos = new QFormLayout;
    campos->addRow(
        controles::rotular(cboCatalogo, QStringLiteral("cboCatalogo"), QStringLiteral("&Catálogo"), this),
        cboCatalogo);
    campos->addRow(controles::rotular(cboUnidad, QStringLiteral("cboUnidad"),
                                      QStringLiteral("&Unidad por defecto"), this),
                   cboUnidad);
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    cmdAceptar = botones->button(QDialogButtonBox::Ok);
    cmdAceptar->setText(QStringLiteral("Aceptar"));
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setEnabled(false);
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));

    auto* capa = new QVBoxLayout(this);
    capa->addWidget(explicacion);
    capa->addLayout(campos);
    capa->addWidget(botones);

    const auto elegidos = [this] {
        cmdAceptar->setEnabled(cboCatalogo->currentIndex() >= 0 && cboUnidad->currentIndex() >= 0);
    };
    connect(cboCatalogo, &QComboBox::currentIndexChanged, this, elegidos);
    connect(cboUnidad, &QComboBox::currentIndexChanged, this, elegidos);
    connect(botones, &QDialogButtonBox::accepted, this, &frmAjustesIniciales::aceptar);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(480, sizeHint().height());
}

void frmAjustesIniciales::aceptar() {
    if (cboCatalogo->currentIndex() < 0 || cboUnidad->currentIndex() < 0)
        return;
    m_logica.catalogoSeleccionado = cboCatalogo->currentIndex();
    m_logica.unidadSeleccionada = cboUnidad->currentIndex();
    if (m_logica.GrabarySalir())
        accept();
}

} // namespace tarvix
