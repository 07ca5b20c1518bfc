#include "review/lista/ventanas/frmdep.h"

#include "review/lista/ventanas/modelodep.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>
#include <algorithm>
#include <array>

namespace tarvix {

namespace {

QPointer<frmDEP> s_revision;

// Widths of the eleven columns, in pixels.
constexpr int kAnchos[lista::kColumnas] = {55, 110, 260, 55, 75, 80, 85, 115, 50, 45, 220};

// A widget that places the list by the resize rule whenever its size changes.
class Interior : public QWidget {
public:
    Interior(QWidget* padre, std::function<void()> alCambiar)
        : QWidget(padre), m_alCambiar(std::move(alCambiar)) {}

protected:
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        m_alCambiar();
    }

private:
    std::function<void()> m_alCambiar;
};

} // namespace

frmDEP::frmDEP(Servicios& srv, EstadoAsistente& estado, QWidget* parent, EditorRegistro editor)
    : QMainWindow(parent, Qt::Window), m_lista(srv, estado, std::move(editor)) {
    setObjectName(QStringLiteral("frmDEP"));
    // The interno stands in the caption: several may be reviewed in one run of the program.
    setWindowTitle(estado.g_sInterno.isEmpty() ? QStringLiteral("Resultados")
                                               : QStringLiteral("Resultados - ") + estado.rotuloInterno());
    setAccessibleName(QStringLiteral("Resultados"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1000, 480);

    mnu_expoExcel = menuBar()->addAction(QStringLiteral("Exportar a Excel"));
    mnu_expoExcel->setObjectName(QStringLiteral("mnu_expoExcel"));
    connect(mnu_expoExcel, &QAction::triggered, this, [this] { m_lista.mnu_expoExcel_Click(); });

    m_interior = new Interior(this, [this] { ubicarLista(); });
    setCentralWidget(m_interior);
    lstDEP = new QTreeView(m_interior);
    lstDEP->setObjectName(QStringLiteral("lstDEP"));
    lstDEP->setAccessibleName(QStringLiteral("Registros del interno"));
    m_modelo = std::make_unique<ModeloDEP>(m_lista);
    lstDEP->setModel(m_modelo.get());
    lstDEP->setRootIsDecorated(false);
    lstDEP->setUniformRowHeights(true);
    lstDEP->setAllColumnsShowFocus(true);
    lstDEP->setSelectionMode(QAbstractItemView::SingleSelection);
    lstDEP->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDEP->header()->setSectionsMovable(false);
    for (int c = 0; c < lista::kColumnas; ++c)
        lstDEP->header()->resizeSection(c, kAnchos[c]);
    lstDEP->installEventFilter(this);
    connect(lstDEP, &QTreeView::doubleClicked, this, [this] { abrirSeleccionado(); });

    m_lista.cambiado = [this] { mostrarItems(); };
}

frmDEP::~frmDEP() = default;

void frmDEP::Form_Load() {
    m_filaPreferida = 0;
    m_lista.Form_Load();
    ajustarTamano();
}

void frmDEP::ajustarTamano() {
    // Each column as wide as its title and the texts of its first thousand rows, not wider than a
    // third of the screen; the window as wide as its columns, within the screen that shows the
    // main window. The texts are measured as the delegate lays them out (the text and a focus
    // margin each side), a text equal to the one above it only once.
    const QScreen* pantalla = parentWidget() ? parentWidget()->screen() : screen();
    const QRect disponible = pantalla ? pantalla->availableGeometry() : QRect(0, 0, 1024, 768);
    QHeaderView* encabezado = lstDEP->header();
    const QFontMetrics medida(lstDEP->font());
    const int margen = 2 * (lstDEP->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstDEP) + 1);
    std::array<int, lista::kColumnas> anchos{};
    std::array<QString, lista::kColumnas> anteriores;
    for (int c = 0; c < lista::kColumnas; ++c)
        anchos[static_cast<size_t>(c)] = encabezado->sectionSizeHint(c);
    constexpr int kFilasMedidas = 1000;
    for (int f = 0; f < std::min(kFilasMedidas, m_lista.filas()); ++f) {
        for (size_t c = 0; c < anchos.size(); ++c) {
            QString texto = m_lista.texto(f, static_cast<int>(c));
            if (f > 0 && texto == anteriores[c])
                continue;
            anchos[c] = std::max(anchos[c], medida.horizontalAdvance(texto) + margen);
            anteriores[c] = std::move(texto);
        }
    }
    int columnas = 0;
    for (int c = 0; c < lista::kColumnas; ++c) {
        const int ancho = std::min(anchos[static_cast<size_t>(c)], disponible.width() / 3);
        encabezado->resizeSection(c, ancho);
        columnas += ancho;
    }
    // The list takes the window's width less its margins (geometriaLista).
    constexpr int kPrueba = 1000;
    const int margenes = kPrueba - lista::geometriaLista(kPrueba, kPrueba).ancho.value_or(0);
    const int bordes = 2 * lstDEP->frameWidth() + lstDEP->verticalScrollBar()->sizeHint().width() + margenes;
    // The title bar and borders: known once shown; before, a usual allowance.
    const QSize marco = isVisible() ? frameGeometry().size() - size() : QSize(16, 48);
    const int ancho = std::min(columnas + bordes, disponible.width() - marco.width());
    const int alto = std::min(height(), disponible.height() - marco.height());
    resize(ancho, alto);
    QRect lugar = frameGeometry();
    lugar.setSize(QSize(ancho, alto) + marco);
    if (parentWidget())
        lugar.moveCenter(parentWidget()->frameGeometry().center());
    lugar.moveLeft(std::clamp(lugar.left(), disponible.left(), disponible.right() - lugar.width() + 1));
    lugar.moveTop(std::clamp(lugar.top(), disponible.top(), disponible.bottom() - lugar.height() + 1));
    move(lugar.topLeft());
}

void frmDEP::abrirSeleccionado() {
    const QModelIndex actual = lstDEP->currentIndex();
    const int fila =
        actual.isValid() && lstDEP->selectionModel()->isRowSelected(actual.row(), {}) ? actual.row() : -1;
    // After a save the cursor stays on the same row, which may now hold the next line.
    m_filaPreferida = fila;
    m_lista.abrirEditor(fila);
}

void frmDEP::mostrarItems() {
    lstDEP->setAccessibleDescription(m_lista.modo() == lista::Modo::ConErrores
                                         ? QStringLiteral("Registros con errores")
                                         : QStringLiteral("Registros correctos"));
    if (m_modelo->rowCount() == 0)
        return;
    const QModelIndex actual = m_modelo->index(std::clamp(m_filaPreferida, 0, m_modelo->rowCount() - 1), 0);
    lstDEP->setCurrentIndex(actual);
    lstDEP->scrollTo(actual);
}

void frmDEP::ubicarLista() {
    const lista::GeometriaLista geo = lista::geometriaLista(m_interior->width(), m_interior->height());
    lstDEP->move(geo.izquierda, geo.arriba);
    lstDEP->resize(geo.ancho.value_or(lstDEP->width()), geo.alto.value_or(lstDEP->height()));
}

bool frmDEP::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == lstDEP && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            abrirSeleccionado();
            return true;
        }
    }
    return QMainWindow::eventFilter(objeto, evento);
}

void frmDEP::keyPressEvent(QKeyEvent* evento) {
    // Esc closes the review, as it closes every other window of the program.
    if (evento->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(evento);
}

void mostrarRevision(Servicios& srv, EstadoAsistente& estado, QWidget* ventanaPrincipal,
                     std::function<bool(int artord)> editor) {
    if (!s_revision) {
        s_revision = new frmDEP(srv, estado, ventanaPrincipal, std::move(editor));
        s_revision->Form_Load();
    } else {
        s_revision->setEditor(std::move(editor));
    }
    s_revision->show();
    s_revision->raise();
    s_revision->activateWindow();
}

frmDEP* ventanaRevision() {
    return s_revision.data();
}

} // namespace tarvix
