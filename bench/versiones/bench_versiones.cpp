// Keeping a version of an interno's lines (before a processing run, an F11 save or a transfer) at
// 1,000 and 10,000 lines, and undoing to the last one. The lines carry what a processed invoice
// has: article, description, quantities, prices, origin, brand, position and Maria descriptions.
// The counters give the packed size and the file's size after 20 versions, against the lines'.
#include "app/controladorprincipal.h"
#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "data/rutas.h"
#include "data/versiones.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace tarvix;

namespace {

struct Programa {
    QTemporaryDir dir;
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion;
    std::unique_ptr<ControladorPrincipal> c;

    explicit Programa(int lineas) {
        srv.setInteraccion(&guion);
        c = std::make_unique<ControladorPrincipal>(srv, estado);
        c->Form_Load(dir.path());
        base().EjecutarDirecto(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('BENCH','banco')"));
        base().EjecutarDirecto(
            QStringLiteral(
                "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, ARTKGU, ARTORG, "
                "PROCEDENCIA, MARCA, MODELO, ARTDSCMARIA, ARTDSCMARIA2, SUFIJO1, VALOR_SUFIJO1, PRCNCM, "
                "PRCSUF, PRCLAP, PRCDUN, PRCCAN, PRCEUN, PRCECA, PRCORI, PRCESM, PRCEST) "
                "select 'BENCH', i, 'ART-' || (i * 7919 % 100000), 'TORNILLO HEXAGONAL ACERO ' || i || "
                "' MM GALVANIZADO', i % 50 + 1, round(i * 1.37 % 100, 2), round((i % 50 + 1) * (i * 1.37 % "
                "100), 2), 0.25, 'CHINA', 'CHINA', 'MARCA' || (i % 40), 'M-' || (i % 300), 'TORNILLO DE "
                "ACERO', 'CABEZA HEXAGONAL', 'AA', 'SIN MARCA', '7318.15.00.' || (i % 900 + 100) || 'X', "
                "'AA(SIN MARCA)', 'N', '07', i % 50 + 1, '07', i % 50 + 1, '310', '2', 'M' from n")
                .arg(lineas));
        estado.g_sInterno = QStringLiteral("BENCH");
    }
    Velno::clBase& base() { return *srv.g_oBase; }
    // The file's size with everything written into it.
    qint64 tamano() {
        base().EjecutarDirecto(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        return QFileInfo(rutas::baseTrabajo(dir.path())).size();
    }
};

void BM_GuardarVersion(benchmark::State& state) {
    Programa p(static_cast<int>(state.range(0)));
    const qint64 antes = p.tamano();
    for (auto _ : state)
        versiones::guardar(p.base(), p.estado.g_sInterno, versiones::Motivo::Proceso);
    state.counters["base_con_20_versiones_kb"] = static_cast<double>(p.tamano()) / 1024.0;
    const QByteArray paquete = versiones::empaquetar(p.base(), p.estado.g_sInterno);
    state.counters["empaquetado_kb"] = static_cast<double>(paquete.size()) / 1024.0;
    state.counters["comprimido_kb"] = static_cast<double>(versiones::comprimir(paquete).size()) / 1024.0;
    state.counters["base_sin_versiones_kb"] = static_cast<double>(antes) / 1024.0;
}

void BM_Deshacer(benchmark::State& state) {
    Programa p(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        versiones::guardar(p.base(), p.estado.g_sInterno, versiones::Motivo::Proceso);
        p.base().EjecutarDirecto(QStringLiteral("update ART set PRCEST = 'OK' where INTNRO = 'BENCH'"));
        state.ResumeTiming();
        versiones::deshacer(p.base(), p.estado.g_sInterno);
    }
}

// The two parts of keeping a version at 10,000 lines: reading and packing the lines, compressing them.
void BM_Empaquetar(benchmark::State& state) {
    Programa p(10000);
    for (auto _ : state)
        benchmark::DoNotOptimize(versiones::empaquetar(p.base(), p.estado.g_sInterno));
}
void BM_Comprimir(benchmark::State& state) {
    Programa p(10000);
    const QByteArray b = versiones::empaquetar(p.base(), p.estado.g_sInterno);
    for (auto _ : state)
        benchmark::DoNotOptimize(versiones::comprimir(b));
}

} // namespace

BENCHMARK(BM_GuardarVersion)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Deshacer)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Empaquetar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Comprimir)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
