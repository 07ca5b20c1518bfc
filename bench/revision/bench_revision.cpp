// The review list through the real windows on the offscreen platform, at 1,000, 10,000 and 100,000
// lines: opening "Datos con Errores" and "Registros OK" until the list is painted, and F11 in the
// record editor until the list, updated, is painted again. Every line is in both lists (a new line
// that passed the checks), so F11 takes the line out of "Datos con Errores" and changes its colour
// in "Registros OK".
#include "app/controladorprincipal.h"
#include "components/clbase.h"
#include "components/interaccion.h"
#include "components/interaccionguionada.h"
#include "medidas.h"
#include "review/lista/lista_logica.h"
#include "review/lista/ventanas/frmdep.h"
#include "review/ventanas/frmmodificar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <memory>

using namespace tarvix;

namespace {

using medidas::memoriaMb;

// Counts the paint events of a widget.
class Pinturas : public QObject {
public:
    explicit Pinturas(QWidget* w) { w->installEventFilter(this); }
    int cuenta = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++cuenta;
        return false;
    }
};

// Runs the event loop until the widget has been painted once more.
void esperarPintura(const Pinturas& p, int antes) {
    while (p.cuenta == antes)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Programa {
    QTemporaryDir dir;
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion;
    ProgresoNulo progreso;
    std::unique_ptr<ControladorPrincipal> c;
    QWidget principal;

    explicit Programa(int lineas) {
        srv.setInteraccion(&guion);
        srv.setProgreso(&progreso);
        c = std::make_unique<ControladorPrincipal>(srv, estado);
        c->Form_Load(dir.path());
        estado.g_sInterno = QStringLiteral("BENCH");
        ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('BENCH','banco')"));
        // Lines the editor saves as they are: position 8301.10.00.000P (units "07", suffix AA),
        // declared unit "07", country 310.
        ejecutar(
            QStringLiteral(
                "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, ARTORG, MARCA, "
                "PRCNCM, PRCSUF, PRCDUN, PRCCAN, PRCEUN, PRCECA, PRCESM, PRCORI, PRCEST, PRCCRC, PRCOBS) "
                "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                "select 'BENCH', i, 'CAND' || i, 'Candado de 40 mm, modelo ' || i, i % 50 + 1, 2.5, "
                "(i % 50 + 1) * 2.5, '310', 'ACME', '8301.10.00.000P', 'AA(ACME)-', '07', i % 50 + 1, "
                "'07', i % 50 + 1, '2', '310', '', 'OK', '' from n")
                .arg(lineas));
        principal.resize(900, 620);
        principal.show();
    }
    void ejecutar(const QString& sql) {
        srv.g_oBase->setSql(sql);
        srv.g_oBase->Ejecutar();
    }
    // "Datos con Errores" (1) or "Registros OK" (2), as step 3 opens them.
    frmDEP* abrir(int modo) {
        estado.g_iModoLista = modo;
        mostrarRevision(srv, estado, &principal, [this](int artord) {
            QWidget* padre = ventanaRevision();
            return abrirEditor(srv, estado, padre ? padre : &principal, artord);
        });
        return ventanaRevision();
    }
    void cerrar() {
        if (frmDEP* v = ventanaRevision())
            v->close();
        while (ventanaRevision())
            QCoreApplication::processEvents();
    }
};

// One interno at a time: a new count of lines replaces the program.
std::unique_ptr<Programa> s_programa;
int s_lineas = 0;

Programa& programa(int lineas) {
    if (!s_programa || s_lineas != lineas) {
        s_programa.reset();
        s_programa = std::make_unique<Programa>(lineas);
        s_lineas = lineas;
    }
    return *s_programa;
}

// "Datos con Errores" or "Registros OK" from the click to the list painted.
void BM_AbrirLista(benchmark::State& state) {
    const int modo = static_cast<int>(state.range(0));
    Programa& p = programa(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        QElapsedTimer reloj;
        reloj.start();
        frmDEP* v = p.abrir(modo);
        QAbstractItemView* lista = v->lstDEP;
        const Pinturas pinturas(lista->viewport());
        esperarPintura(pinturas, 0);
        state.SetIterationTime(static_cast<double>(reloj.nsecsElapsed()) / 1e9);
        state.counters["filas"] = lista->model()->rowCount();
        p.cerrar();
    }
}

// The list's lines alone, without the window: the statement and its rows.
void BM_CargarLista(benchmark::State& state) {
    Programa& p = programa(static_cast<int>(state.range(1)));
    p.estado.g_iModoLista = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QElapsedTimer reloj;
        reloj.start();
        ListaDEP lista(p.srv, p.estado);
        lista.Form_Load();
        state.SetIterationTime(static_cast<double>(reloj.nsecsElapsed()) / 1e9);
    }
}

// F11 on the line under the cursor: from the key to the list painted with that line updated.
void BM_GuardarF11(benchmark::State& state) {
    const int modo = static_cast<int>(state.range(0));
    Programa& p = programa(static_cast<int>(state.range(1)));
    frmDEP* v = p.abrir(modo);
    QAbstractItemView* lista = v->lstDEP;
    const Pinturas pinturas(lista->viewport());
    esperarPintura(pinturas, 0);
    const double memoriaAntes = memoriaMb();
    int guardados = 0;
    int fila = 0;
    for (auto _ : state) {
        // A line spread over the list (its middle at the first save).
        fila = (fila + lista->model()->rowCount() / 2 + 7) % lista->model()->rowCount();
        lista->setCurrentIndex(lista->model()->index(fila, 0));
        QElapsedTimer reloj;
        int antes = 0;
        bool guardado = false;
        QTimer editor;
        editor.setInterval(1);
        QObject::connect(&editor, &QTimer::timeout, [&] {
            auto* f = qobject_cast<frmModificar*>(QApplication::activeModalWidget());
            if (!f || !f->isVisible() || f->txtARTNRO->text().isEmpty())
                return;
            editor.stop();
            antes = pinturas.cuenta;
            reloj.start();
            QTest::keyClick(f->txtARTNRO, Qt::Key_F11);
            guardado = !f->isVisible();
            if (!guardado)
                f->reject();
        });
        editor.start();
        v->abrirSeleccionado();
        if (!guardado) {
            state.SkipWithError(p.guion.avisos.isEmpty() ? "el editor no guardó"
                                                         : qPrintable(p.guion.avisos.last().texto));
            break;
        }
        esperarPintura(pinturas, antes);
        state.SetIterationTime(static_cast<double>(reloj.nsecsElapsed()) / 1e9);
        ++guardados;
    }
    state.counters["guardados"] = guardados;
    state.counters["MB_crecidos"] = memoriaMb() - memoriaAntes;
    p.cerrar();
}

// Each case at 1,000, 10,000 and 100,000 lines in both lists; the median of five repetitions.
benchmark::internal::Benchmark* casos(benchmark::internal::Benchmark* b) {
    for (const int lineas : {1000, 10000, 100000})
        for (const int modo : {1, 2})
            b->Args({modo, lineas});
    return b->ArgNames({"modo", "lineas"})
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}
void unaVez(benchmark::internal::Benchmark* b) {
    casos(b)->Iterations(1);
}
void veinteVeces(benchmark::internal::Benchmark* b) {
    casos(b)->Iterations(20);
}

} // namespace

BENCHMARK(BM_AbrirLista)->Apply(unaVez);
BENCHMARK(BM_CargarLista)->Apply(unaVez);
BENCHMARK(BM_GuardarF11)->Apply(veinteVeces);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    s_programa.reset(); // its windows go before the application
    return 0;
}
