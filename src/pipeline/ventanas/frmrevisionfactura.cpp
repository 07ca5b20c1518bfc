#include "pipeline/ventanas/frmrevisionfactura.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvix {

FrmRevisionFactura::FrmRevisionFactura(const RevisionFactura& revision, Interaccion& interaccion,
                                       QWidget* parent)
    : QDialog(parent), m_revision(revision), m_interaccion(interaccion) {
    setObjectName(QStringLiteral("FrmRevisionFactura"));
    setWindowTitle(kTituloRevision.toString());
    setModal(true);
    resize(820, 480);

    m_resumen = new QLabel(resumenRevision(revision), this);
    m_resumen->setObjectName(QStringLiteral("LblResumen"));
    m_resumen->setWordWrap(true);

    m_lista = new QTreeWidget(this);
    m_lista->setObjectName(QStringLiteral("LstHallazgos"));
    m_lista->setHeaderLabels({QStringLiteral("Fila"), QStringLiteral("Columna"), QStringLiteral("Texto"),
                              QStringLiteral("Detalle")});
    m_lista->setRootIsDecorated(true);
    m_lista->setUniformRowHeights(true);
    m_lista->setAlternatingRowColors(true);
    QTreeWidgetItem* grupo = nullptr;
    std::optional<TipoHallazgo> tipo;
    int enGrupo = 0;
    const auto cerrarGrupo = [&] {
        if (grupo)
            grupo->setText(0, (esError(*tipo) ? QStringLiteral("Error: ") : QStringLiteral("Advertencia: ")) +
                                  tituloTipo(*tipo) + QStringLiteral(" (") + QString::number(enGrupo) + u')');
    };
    for (const Hallazgo& h : revision.hallazgos) {
        if (!tipo || *tipo != h.tipo) {
            cerrarGrupo();
            tipo = h.tipo;
            enGrupo = 0;
            grupo = new QTreeWidgetItem(m_lista);
            grupo->setFirstColumnSpanned(true);
            grupo->setExpanded(true);
            QFont negrita = grupo->font(0);
            negrita.setBold(true);
            grupo->setFont(0, negrita);
            if (esError(h.tipo))
                grupo->setForeground(0, QColor(Qt::red));
        }
        ++enGrupo;
        auto* item = new QTreeWidgetItem(grupo, {QString::number(h.fila), h.columna, h.texto, h.detalle});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    }
    cerrarGrupo();
    m_lista->expandAll();
    m_lista->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (m_lista->topLevelItemCount() > 0 && m_lista->topLevelItem(0)->childCount() > 0)
        m_lista->setCurrentItem(m_lista->topLevelItem(0)->child(0));

    m_exportar = new QPushButton(kBotonExportar.toString(), this);
    m_exportar->setObjectName(QStringLiteral("CmdExportar"));
    m_procesar = new QPushButton(kBotonProcesarIgual.toString(), this);
    m_procesar->setObjectName(QStringLiteral("CmdProcesarIgual"));
    m_volver = new QPushButton(kBotonVolver.toString(), this);
    m_volver->setObjectName(QStringLiteral("CmdVolver"));
    // With errors the run cannot go on: only "Volver", and Enter presses it.
    m_procesar->setVisible(!revision.hayErrores());
    (revision.hayErrores() ? m_volver : m_procesar)->setDefault(true);
    for (QPushButton* b : {m_exportar, m_procesar, m_volver})
        b->setAutoDefault(false);
    (revision.hayErrores() ? m_volver : m_procesar)->setAutoDefault(true);

    connect(m_volver, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_procesar, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_exportar, &QPushButton::clicked, this, [this] { exportarRevision(m_revision, m_interaccion); });

    auto* botones = new QHBoxLayout;
    botones->addWidget(m_exportar);
    botones->addStretch();
    botones->addWidget(m_procesar);
    botones->addWidget(m_volver);
    auto* marco = new QVBoxLayout(this);
    marco->addWidget(m_resumen);
    marco->addWidget(m_lista, 1);
    marco->addLayout(botones);
    m_lista->setFocus();
}

} // namespace tarvix
