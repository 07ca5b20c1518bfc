#include "settings/ventanas/frmconfig.h"

#include "settings/ventanas/controles.h"
#include "settings/ventanas/frmconexion.h"
#include "settings/ventanas/frmrelpais.h"

#include "components/central.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvix {

namespace {

// Fills a visible list and its hidden twin and selects the entry at `indice`.
void llenar(QComboBox* visible, QComboBox* ids, const QStringList& textos, const QStringList& valores,
            int indice) {
    const QSignalBlocker b1(visible);
    const QSignalBlocker b2(ids);
    visible->clear();
    ids->clear();
    visible->addItems(textos);
    ids->addItems(valores);
    visible->setCurrentIndex(indice);
    ids->setCurrentIndex(indice);
}

} // namespace

frmConfig::frmConfig(Servicios& srv, EstadoAsistente& estado, QWidget* parent)
    : QDialog(parent), m_logica(srv, estado) {
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Configuración"));
    setModal(true);

    cboUnidad = new QComboBox(this);
    cboIdUnidad = controles::gemelo(QStringLiteral("cboIdUnidad"), QStringLiteral("Códigos de unidad"), this);
    cboCatalogo = new QComboBox(this);
    cboIdCatalogo =
        controles::gemelo(QStringLiteral("cboIdCatalogo"), QStringLiteral("Códigos de catálogo"), this);
    txtMarca = new QLineEdit(this);
    txtVariacionPrecio = new QLineEdit(this);
    lstRELPAIS = new QTreeWidget(this);
    lstRELPAIS->setHeaderLabels(
        {QStringLiteral("Pais"), QStringLiteral("Origen"), QStringLiteral("Est Mer")});
    lstRELPAIS->setRootIsDecorated(false);
    lstRELPAIS->setUniformRowHeights(true);
    lstRELPAIS->setAllColumnsShowFocus(true);
    lstRELPAIS->header()->resizeSection(0, 220);
    lstRELPAIS->setMinimumHeight(200);

    chkProponerCampos =
        new QCheckBox(QStringLiteral("Proponer los campos según los encabezados al cargar la factura"), this);
    chkProponerCampos->setObjectName(QStringLiteral("chkProponerCampos"));
    chkRecordarMapeos = new QCheckBox(
        QStringLiteral("Aplicar el mapeo guardado a las facturas con los mismos encabezados"), this);
    chkRecordarMapeos->setObjectName(QStringLiteral("chkRecordarMapeos"));
    lstMapeos = new QTreeWidget(this);
    lstMapeos->setHeaderLabels({QStringLiteral("Encabezados"), QStringLiteral("Campos")});
    lstMapeos->setRootIsDecorated(false);
    lstMapeos->setUniformRowHeights(true);
    lstMapeos->setAllColumnsShowFocus(true);
    lstMapeos->header()->resizeSection(0, 260);
    lstMapeos->setMinimumHeight(100);

    auto* capa = new QGridLayout;
    capa->addWidget(controles::rotular(cboUnidad, QStringLiteral("cboUnidad"),
                                       QStringLiteral("Unidad Declarada por Defecto"), this),
                    0, 0);
    capa->addWidget(cboUnidad, 0, 1);
    capa->addWidget(
        controles::rotular(cboCatalogo, QStringLiteral("cboCatalogo"), QStringLiteral("Catálogo"), this), 1,
        0);
    capa->addWidget(cboCatalogo, 1, 1);
    capa->addWidget(
        controles::rotular(txtMarca, QStringLiteral("txtMarca"), QStringLiteral("MARCA - Sufijo AA"), this),
        2, 0);
    capa->addWidget(txtMarca, 2, 1);
    capa->addWidget(controles::rotular(txtVariacionPrecio, QStringLiteral("txtVariacionPrecio"),
                                       QStringLiteral("% Variacion de Precio"), this),
                    3, 0);
    capa->addWidget(txtVariacionPrecio, 3, 1);
    capa->setColumnStretch(1, 1);

    auto* ayudaLista = new QLabel(QStringLiteral("[INSERT] Agregar - [DELETE] Eliminar"), this);
    ayudaLista->setObjectName(QStringLiteral("lbAyudaRelacion"));
    auto* ayudaCerrar = new QLabel(QStringLiteral("[ESC] Cerrar"), this);
    ayudaCerrar->setObjectName(QStringLiteral("lbAyudaCerrar"));
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(capa);
    todo->addWidget(
        controles::rotular(lstRELPAIS, QStringLiteral("lstRELPAIS"), QStringLiteral("Relación PAIS"), this));
    todo->addWidget(lstRELPAIS, 1);
    todo->addWidget(ayudaLista);
    todo->addWidget(chkProponerCampos);
    todo->addWidget(chkRecordarMapeos);
    todo->addWidget(controles::rotular(lstMapeos, QStringLiteral("lstMapeos"),
                                       QStringLiteral("Mapeos guardados por encabezados"), this));
    todo->addWidget(lstMapeos, 1);
    auto* ayudaMapeos = new QLabel(QStringLiteral("[DELETE] Olvidar el mapeo"), this);
    ayudaMapeos->setObjectName(QStringLiteral("lbAyudaMapeos"));
    todo->addWidget(ayudaMapeos);
    // Where the customs database is: the entities are read again and so are the lists above.
    auto* cmdBaseAduanera = new QPushButton(QStringLiteral("&Base aduanera…"), this);
    cmdBaseAduanera->setObjectName(QStringLiteral("cmdBaseAduanera"));
    cmdBaseAduanera->setAutoDefault(false);
    connect(cmdBaseAduanera, &QPushButton::clicked, this, [this, &srv] {
        const QString ini = srv.g_oCentral ? srv.g_oCentral->RutaIni() : QString();
        if (ini.isEmpty())
            return;
        frmConexion ventana(srv.interaccion(), QFileInfo(ini).absolutePath(), this);
        if (ventana.exec() != QDialog::Accepted || !ventana.guardado())
            return;
        srv.g_oCentral->LoadParameters(ini);
        m_logica.Form_Load();
        refrescarListas();
        refrescarRelaciones();
    });
    todo->addWidget(cmdBaseAduanera, 0, Qt::AlignLeft);
    todo->addWidget(ayudaCerrar);
    resize(560, 640);

    // The hidden twins follow the visible lists; the logic follows every edit.
    connect(cboUnidad, &QComboBox::currentIndexChanged, this, [this](int i) {
        cboIdUnidad->setCurrentIndex(i);
        m_logica.unidadSeleccionada = i;
    });
    connect(cboCatalogo, &QComboBox::currentIndexChanged, this, [this](int i) {
        cboIdCatalogo->setCurrentIndex(i);
        m_logica.catalogoSeleccionado = i;
    });
    connect(txtMarca, &QLineEdit::textChanged, this, [this](const QString& t) { m_logica.txtMarca = t; });
    connect(txtVariacionPrecio, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_logica.txtVariacionPrecio = t; });
    connect(lstRELPAIS, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* actual) {
        m_logica.relacionSeleccionada = actual ? lstRELPAIS->indexOfTopLevelItem(actual) : -1;
    });
    connect(chkProponerCampos, &QCheckBox::toggled, this, [this](bool b) { m_logica.chkProponerCampos = b; });
    connect(chkRecordarMapeos, &QCheckBox::toggled, this, [this](bool b) { m_logica.chkRecordarMapeos = b; });
    connect(lstMapeos, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* actual) {
        m_logica.mapeoSeleccionado = actual ? lstMapeos->indexOfTopLevelItem(actual) : -1;
    });
    controles::verTeclasAntes(this, {cboUnidad, cboCatalogo, txtMarca, txtVariacionPrecio, lstRELPAIS,
                                     chkProponerCampos, chkRecordarMapeos, lstMapeos});

    m_logica.Form_Load();
    refrescarListas();
    refrescarRelaciones();
    refrescarMapeos();
    chkProponerCampos->setChecked(m_logica.chkProponerCampos);
    chkRecordarMapeos->setChecked(m_logica.chkRecordarMapeos);
    txtMarca->setText(m_logica.txtMarca);
    txtVariacionPrecio->setText(m_logica.txtVariacionPrecio);
}

void frmConfig::refrescarListas() {
    llenar(cboUnidad, cboIdUnidad, m_logica.cboUnidad, m_logica.cboIdUnidad, m_logica.unidadSeleccionada);
    llenar(cboCatalogo, cboIdCatalogo, m_logica.cboCatalogo, m_logica.cboIdCatalogo,
           m_logica.catalogoSeleccionado);
}

void frmConfig::refrescarRelaciones() {
    const QSignalBlocker bloqueo(lstRELPAIS);
    lstRELPAIS->clear();
    QList<QTreeWidgetItem*> filas;
    for (const auto& r : m_logica.lstRELPAIS)
        filas << new QTreeWidgetItem({r.pai, r.ori, r.esm});
    lstRELPAIS->addTopLevelItems(filas);
    if (m_logica.relacionSeleccionada >= 0)
        lstRELPAIS->setCurrentItem(lstRELPAIS->topLevelItem(m_logica.relacionSeleccionada));
}

void frmConfig::refrescarMapeos() {
    const QSignalBlocker bloqueo(lstMapeos);
    lstMapeos->clear();
    QList<QTreeWidgetItem*> filas;
    for (const auto& m : m_logica.lstMapeos) {
        QStringList campos;
        for (int c = 0; c < m.etiquetas.size(); ++c)
            if (!m.etiquetas[c].isEmpty())
                campos << encabezados::letraColumna(c) + u' ' + m.etiquetas[c];
        filas << new QTreeWidgetItem(
            {QString(m.encabezados).replace(u'|', QStringLiteral(" | ")), campos.join(QStringLiteral(", "))});
    }
    lstMapeos->addTopLevelItems(filas);
    if (m_logica.mapeoSeleccionado >= 0)
        lstMapeos->setCurrentItem(lstMapeos->topLevelItem(m_logica.mapeoSeleccionado));
}

bool frmConfig::lstMapeos_KeyDown(int tecla) {
    if (tecla != Qt::Key_Delete)
        return false;
    m_logica.MAP_Eliminar();
    refrescarMapeos();
    return true;
}

void frmConfig::GrabarySalir() {
    if (m_logica.GrabarySalir()) {
        accept();
        return;
    }
    txtVariacionPrecio->setFocus();
    txtVariacionPrecio->selectAll();
}

bool frmConfig::Form_KeyDown(int tecla) {
    if (tecla != Qt::Key_Escape)
        return false;
    GrabarySalir();
    return true;
}

bool frmConfig::lstRELPAIS_KeyDown(int tecla) {
    switch (tecla) {
    case Qt::Key_Insert:
        m_logica.Ori_Nuevo();
        refrescarRelaciones();
        return true;
    case Qt::Key_Delete:
        m_logica.ORI_Eliminar();
        refrescarRelaciones();
        return true;
    default:
        return false;
    }
}

bool frmConfig::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (Form_KeyDown(tecla))
            return true;
        if (objeto == lstRELPAIS && lstRELPAIS_KeyDown(tecla))
            return true;
        if (objeto == lstMapeos && lstMapeos_KeyDown(tecla))
            return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void frmConfig::keyPressEvent(QKeyEvent* evento) {
    if (!Form_KeyDown(evento->key()))
        QDialog::keyPressEvent(evento);
}

} // namespace tarvix
