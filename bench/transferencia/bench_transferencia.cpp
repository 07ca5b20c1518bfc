// Transfer of a 10,000-line interno into the embedded SQLite customs database: "Transferir" as the
// user runs it (validation, interno transfer, catalog update and the final count), one statement
// per line.
#include "app/controladorprincipal.h"
#include "components/central.h"
#include "components/clbase.h"
#include "components/interaccion.h"
#include "components/interaccionguionada.h"
#include "transfer/paso3.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tarvix;

namespace {

constexpr int kLineas = 10000;

struct Programa {
    QTemporaryDir dir;
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion; // every question is answered Yes
    ProgresoNulo progreso;
    std::unique_ptr<ControladorPrincipal> c;

    Programa() {
        srv.setInteraccion(&guion);
        srv.setProgreso(&progreso);
        c = std::make_unique<ControladorPrincipal>(srv, estado);
        c->Form_Load(dir.path());
        estado.g_sInterno = QStringLiteral("BENCH");
        estado.g_sINTCAT = QStringLiteral("1");
        trabajo(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('BENCH','banco')"));
        trabajo(
            QStringLiteral(
                "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, ARTKGU, ARTORG, "
                "PROCEDENCIA, FECHA_EMBARQUE, FECHA_ARRIBO, MARCA, MODELO, OTROS, CODIGOCIP, ARTDSCMARIA, "
                "ARTDSCMARIA2, ARTDSCMARIA3, PRCNCM, PRCSUF, PRCLAP, PRCDUN, PRCCAN, PRCEUN, PRCECA, PRCSUN, "
                "PRCSCA, PRCESM, PRCORI, PRCEST, PRCCRC) with recursive n(i) as (select 1 union all select i "
                "+ 1 "
                "from n where i < %1) select 'BENCH', i, 'B-' || i, 'ARTICULO D''ANGELO ' || i, i % 50 + 1, "
                "2.125, (i % 50 + 1) * 2.125, 0.75 * i, '203', '203', '', '', 'ACME', 'B-' || i, '', '', "
                "'DESCRIPCION MARIA', '', '', '8471.30.12.000W', 'AA(ACME)-', 'N', case when i % 3 = 0 then "
                "'01' "
                "else '07' end, i % 50 + 1, '07', i % 50 + 1, '', 0, '2', '203', 'A', 'OK' from n")
                .arg(kLineas));
    }
    void trabajo(const QString& sql) {
        srv.g_oBase->setSql(sql);
        srv.g_oBase->Ejecutar();
    }
    void aduana(const QString& sql) {
        srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS")).EjecutarDirecto(sql);
    }
    void limpiarAduana() {
        aduana(QStringLiteral("delete from caratula where interno = 'BENCH'"));
        aduana(QStringLiteral("delete from subitems where interno = 'BENCH'"));
        aduana(QStringLiteral("delete from catarticulos where idarticulo like 'B-%'"));
    }
    void transferir(benchmark::State& state) {
        guion.avisos.clear();
        ControladorPaso3 paso3(srv, estado);
        paso3.FRM3_Tranferir();
        // The last box says how many articles arrived; anything else is a failure.
        const QString esperado = QStringLiteral("Se transfirio %1 articulos").arg(kLineas);
        if (guion.avisos.isEmpty() || !guion.avisos.last().texto.startsWith(esperado))
            state.SkipWithError(guion.avisos.isEmpty() ? "la transferencia no terminó"
                                                       : qPrintable(guion.avisos.last().texto));
    }
};

Programa& programa() {
    static Programa p;
    return p;
}

// First transfer: no interno in the customs system, every article new to the catalog.
void BM_TransferenciaNueva(benchmark::State& state) {
    Programa& p = programa();
    for (auto _ : state) {
        state.PauseTiming();
        p.limpiarAduana();
        state.ResumeTiming();
        p.transferir(state);
    }
    state.SetItemsProcessed(state.iterations() * kLineas);
}

// Transfer again: the interno is replaced and every catalog entry updated.
void BM_TransferenciaRepetida(benchmark::State& state) {
    Programa& p = programa();
    p.limpiarAduana();
    p.transferir(state);
    for (auto _ : state)
        p.transferir(state);
    state.SetItemsProcessed(state.iterations() * kLineas);
}

} // namespace

BENCHMARK(BM_TransferenciaNueva)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TransferenciaRepetida)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
