#include "intake/carga/ventanas/vistagrilla.h"

#include "intake/carga/grilla.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>

namespace tarvix {

namespace {

// The grid's colours and fixed rows as the views draw them, and the worksheet's column letters as
// column headings.
class ModeloVista : public QIdentityProxyModel {
public:
    ModeloVista(ModeloGrilla& grilla, QObject* padre) : QIdentityProxyModel(padre), m_grilla(grilla) {
        setSourceModel(&grilla);
    }

    QVariant data(const QModelIndex& indice, int rol) const override {
        switch (rol) {
        case Qt::ForegroundRole: {
            const QVariant bgr = QIdentityProxyModel::data(indice, ModeloGrilla::RolColor);
            if (!bgr.isValid())
                return {};
            const auto v = bgr.toLongLong();
            return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                          static_cast<int>((v >> 16) & 0xFF));
        }
        case Qt::BackgroundRole:
            if (indice.row() < m_grilla.FixedRows())
                return QGuiApplication::palette().color(QPalette::Button);
            return {};
        case Qt::FontRole:
            if (indice.row() < m_grilla.FixedRows()) {
                QFont f = QGuiApplication::font();
                f.setBold(true);
                return f;
            }
            return {};
        default:
            return QIdentityProxyModel::data(indice, rol);
        }
    }

    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override {
        if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole)
            return letrasColumna(seccion + 1);
        return QIdentityProxyModel::headerData(seccion, orientacion, rol);
    }

    // A, B, ..., Z, AA, AB, ...
    static QString letrasColumna(int columna) {
        QString r;
        for (; columna > 0; columna = (columna - 1) / 26)
            r.prepend(QChar(u'A' + (columna - 1) % 26));
        return r;
    }

private:
    ModeloGrilla& m_grilla;
};

constexpr int kAnchoMinimo = 48;
constexpr int kAnchoMaximo = 320;
constexpr int kFilasMuestra = 60;
constexpr int kColumnasAjustadas = 200;

} // namespace

VistaGrilla::VistaGrilla(ModeloGrilla& grilla, QWidget* parent)
    : QTableView(parent), m_grilla(grilla), m_fijas(new QTableView(this)) {
    setObjectName(QStringLiteral("FRAM2_Grid"));
    setAccessibleName(QStringLiteral("Planilla de la factura"));
    auto* modelo = new ModeloVista(grilla, this);
    setModel(modelo);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(NoEditTriggers);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    setWordWrap(false);
    // Tab leaves the grid for the next control, as it does from any other control of the window;
    // the arrows move from cell to cell.
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setResizeContentsPrecision(kFilasMuestra);
    horizontalHeader()->setHighlightSections(true);

    m_fijas->setObjectName(QStringLiteral("FRAM2_GridFijas"));
    m_fijas->setAccessibleName(QStringLiteral("Encabezado y campos de la planilla"));
    m_fijas->setModel(modelo);
    m_fijas->setFocusPolicy(Qt::NoFocus);
    m_fijas->setSelectionMode(NoSelection);
    m_fijas->setEditTriggers(NoEditTriggers);
    m_fijas->setHorizontalScrollMode(ScrollPerPixel);
    m_fijas->setWordWrap(false);
    m_fijas->horizontalHeader()->hide();
    m_fijas->verticalHeader()->hide();
    m_fijas->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_fijas->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    m_fijas->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fijas->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fijas->setFrameShape(QFrame::NoFrame);
    m_fijas->setStyleSheet(
        QStringLiteral("QTableView { border: none; border-bottom: 1px solid palette(dark); }"));
    m_fijas->viewport()->installEventFilter(this);
    viewport()->stackUnder(m_fijas);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int columna, int, int ancho) { m_fijas->setColumnWidth(columna, ancho); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_fijas->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(&m_grilla, &ModeloGrilla::celdaActualCambiada, this, &VistaGrilla::seguirCeldaActual);
    connect(&m_grilla, &ModeloGrilla::filasFijasCambiadas, this, [this] {
        ubicarFijas();
        viewport()->update();
    });
    connect(&m_grilla, &QAbstractItemModel::modelReset, this, &VistaGrilla::alCambiarContenido);
    connect(&m_grilla, &QAbstractItemModel::dataChanged, this, &VistaGrilla::ensancharParaFijas);
    alCambiarContenido();
}

int VistaGrilla::alturaFijas() const {
    int alto = 0;
    const int fijas = std::min(m_grilla.FixedRows(), m_grilla.Rows());
    for (int f = 0; f < fijas; ++f)
        alto += rowHeight(f);
    return alto;
}

void VistaGrilla::ubicarFijas() {
    const int alto = alturaFijas();
    m_fijas->setVisible(alto > 0);
    const QRect v = viewport()->geometry();
    m_fijas->setGeometry(v.x(), v.y(), v.width(), std::min(alto + 1, v.height()));
    m_fijas->verticalScrollBar()->setValue(0);
    m_fijas->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
}

void VistaGrilla::alCambiarContenido() {
    scrollToTop();
    for (int c = 0; c < m_grilla.Cols(); ++c) {
        // Columns are fitted to a sample of their rows; the rest of a very wide sheet keeps the
        // default width.
        if (c < kColumnasAjustadas)
            resizeColumnToContents(c);
        const int ancho = std::clamp(columnWidth(c), kAnchoMinimo, kAnchoMaximo);
        setColumnWidth(c, ancho);
        m_fijas->setColumnWidth(c, ancho);
    }
    ubicarFijas();
    seguirCeldaActual(m_grilla.Row(), m_grilla.Col());
}

void VistaGrilla::ensancharParaFijas(const QModelIndex& desde, const QModelIndex& hasta) {
    // A field label written into a column narrower than the label widens it.
    if (desde.row() >= m_grilla.FixedRows())
        return;
    QFont negrita = font();
    negrita.setBold(true);
    const QFontMetrics medida(negrita);
    const int margen = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
    const int ultima = std::min(hasta.row(), m_grilla.FixedRows() - 1);
    for (int c = desde.column(); c <= hasta.column(); ++c) {
        int ancho = columnWidth(c);
        for (int f = desde.row(); f <= ultima; ++f)
            ancho = std::max(ancho, medida.horizontalAdvance(m_grilla.celda(f, c).toString()) + margen);
        setColumnWidth(c, std::min(ancho, kAnchoMaximo));
    }
}

void VistaGrilla::seguirCeldaActual(int fila, int columna) {
    if (m_sincronizando)
        return;
    const int fijas = m_grilla.FixedRows();
    // A fixed row cannot be the view's current cell: the view stays on its data row.
    if (fila < fijas)
        fila = currentIndex().isValid() && currentIndex().row() >= fijas ? currentIndex().row() : fijas;
    if (fila >= model()->rowCount() || columna >= model()->columnCount())
        return;
    m_sincronizando = true;
    setCurrentIndex(model()->index(fila, columna));
    m_sincronizando = false;
}

void VistaGrilla::currentChanged(const QModelIndex& actual, const QModelIndex& anterior) {
    QTableView::currentChanged(actual, anterior);
    if (m_sincronizando || !actual.isValid())
        return;
    m_sincronizando = true;
    m_grilla.setRow(actual.row());
    m_grilla.setCol(actual.column());
    m_sincronizando = false;
}

void VistaGrilla::elegirColumna(int columna) {
    const int fijas = m_grilla.FixedRows();
    const int fila = currentIndex().isValid() ? currentIndex().row() : fijas;
    if (fila < model()->rowCount())
        setCurrentIndex(model()->index(fila, columna));
    setFocus();
}

QModelIndex VistaGrilla::moveCursor(CursorAction accion, Qt::KeyboardModifiers modificadores) {
    QModelIndex i = QTableView::moveCursor(accion, modificadores);
    const int fijas = m_grilla.FixedRows();
    if (i.isValid() && i.row() < fijas && model()->rowCount() > fijas)
        i = model()->index(fijas, i.column());
    return i;
}

void VistaGrilla::scrollTo(const QModelIndex& indice, ScrollHint pista) {
    QTableView::scrollTo(indice, pista);
    if (!indice.isValid() || indice.row() < m_grilla.FixedRows())
        return;
    // Keep the cell below the fixed rows, not under them.
    const int tapado = alturaFijas() - visualRect(indice).top();
    if (tapado > 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - tapado);
}

void VistaGrilla::keyPressEvent(QKeyEvent* evento) {
    const int tecla = evento->key();
    if (tecla >= Qt::Key_F1 && tecla <= Qt::Key_F12 && evento->modifiers() == Qt::NoModifier) {
        emit teclaAbajo(112 + (tecla - Qt::Key_F1));
        evento->accept();
        return;
    }
    QTableView::keyPressEvent(evento);
}

bool VistaGrilla::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == m_fijas->viewport()) {
        switch (evento->type()) {
        case QEvent::Wheel:
            // The fixed rows never scroll up and down: the wheel scrolls the data.
            QCoreApplication::sendEvent(viewport(), evento);
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            // A click on the header or the field row picks that column.
            const int columna =
                m_fijas->columnAt(static_cast<QMouseEvent*>(evento)->position().toPoint().x());
            if (columna >= 0)
                elegirColumna(columna);
            return true;
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            return true;
        default:
            break;
        }
    }
    return QTableView::eventFilter(objeto, evento);
}

void VistaGrilla::resizeEvent(QResizeEvent* evento) {
    QTableView::resizeEvent(evento);
    ubicarFijas();
}

void VistaGrilla::updateGeometries() {
    QTableView::updateGeometries();
    ubicarFijas();
}

} // namespace tarvix
