#include "settings/ventanas/frmpaisesnuevos.h"

#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarvix {

namespace {
constexpr int kColTexto = 0;
constexpr int kColPais = 1;
constexpr int kColEstado = 2;
} // namespace

FrmPaisesNuevos::FrmPaisesNuevos(std::vector<OrigenNuevo>& origenes,
                                 const std::vector<PaisDisponible>& paises, QWidget* parent)
    : QDialog(parent), m_origenes(origenes), m_paises(paises) {
    setObjectName(QStringLiteral("FrmPaisesNuevos"));
    setWindowTitle(QStringLiteral("Países nuevos"));
    setModal(true);
    resize(760, 360);

    auto* ayuda =
        new QLabel(QStringLiteral("Orígenes de la factura sin país relacionado: confirme o elija el país "
                                  "de cada uno (al escribir se filtra la lista). F11 guarda las "
                                  "relaciones; Esc no guarda ninguna."),
                   this);
    ayuda->setWordWrap(true);

    QStringList nombres{QString()};
    for (const PaisDisponible& p : paises)
        nombres << p.descripcion + QStringLiteral(" (") + p.id + u')';

    m_tabla = new QTableWidget(static_cast<int>(origenes.size()), 3, this);
    m_tabla->setObjectName(QStringLiteral("TblOrigenes"));
    m_tabla->setHorizontalHeaderLabels({QStringLiteral("Valor origen"),
                                        QStringLiteral("Pais - Sistema Maria"),
                                        QStringLiteral("Estado de Mercaderia")});
    m_tabla->verticalHeader()->hide();
    m_tabla->horizontalHeader()->setSectionResizeMode(kColPais, QHeaderView::Stretch);
    m_tabla->setTabKeyNavigation(false);
    for (int f = 0; f < m_tabla->rowCount(); ++f) {
        const OrigenNuevo& o = origenes[static_cast<size_t>(f)];
        auto* texto = new QTableWidgetItem(o.texto);
        texto->setFlags(Qt::ItemIsEnabled);
        m_tabla->setItem(f, kColTexto, texto);

        auto* pais = new QComboBox(m_tabla);
        pais->setObjectName(QStringLiteral("CboPais%1").arg(f));
        pais->setEditable(true);
        pais->setInsertPolicy(QComboBox::NoInsert);
        pais->addItems(nombres);
        auto* filtro = new QCompleter(nombres, pais);
        filtro->setCaseSensitivity(Qt::CaseInsensitive);
        filtro->setFilterMode(Qt::MatchContains);
        filtro->setCompletionMode(QCompleter::PopupCompletion);
        pais->setCompleter(filtro);
        int elegido = 0;
        for (size_t i = 0; i < paises.size(); ++i)
            if (paises[i].id == o.pais)
                elegido = static_cast<int>(i) + 1;
        pais->setCurrentIndex(elegido);
        m_tabla->setCellWidget(f, kColPais, pais);

        auto* estado = new QLineEdit(o.esm, m_tabla);
        estado->setObjectName(QStringLiteral("TxtESM%1").arg(f));
        estado->setMaxLength(10);
        m_tabla->setCellWidget(f, kColEstado, estado);
    }
    m_tabla->resizeColumnToContents(kColTexto);
    // The whole heading of the last column shows, wider than the short codes it holds.
    m_tabla->resizeColumnToContents(kColEstado);

    auto* marco = new QVBoxLayout(this);
    marco->addWidget(ayuda);
    marco->addWidget(m_tabla, 1);
    if (m_tabla->rowCount() > 0)
        m_tabla->cellWidget(0, kColPais)->setFocus();
}

void FrmPaisesNuevos::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_F11) {
        grabar();
        return;
    }
    // Enter moves on instead of closing: the window stores only on F11.
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(evento);
}

void FrmPaisesNuevos::grabar() {
    for (int f = 0; f < m_tabla->rowCount(); ++f) {
        auto* pais = static_cast<QComboBox*>(m_tabla->cellWidget(f, kColPais));
        // A typed text that is no country of the list leaves the row without one.
        const int i = pais->findText(pais->currentText(), Qt::MatchFixedString);
        OrigenNuevo& o = m_origenes[static_cast<size_t>(f)];
        o.pais = i > 0 ? m_paises[static_cast<size_t>(i) - 1].id : QString();
        o.esm = static_cast<QLineEdit*>(m_tabla->cellWidget(f, kColEstado))->text().trimmed();
        if (o.esm.isEmpty())
            o.esm = QStringLiteral("2");
    }
    accept();
}

} // namespace tarvix
