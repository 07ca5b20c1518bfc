// The customs database on a PostgreSQL server (the test cluster of tools/pg_prueba.sh, on loopback):
//   BM_TransferenciaServidor*  "Transferir" of a 10,000-line interno: validation, the interno and the
//                              catalog update in their transaction, and the closing count;
//   BM_Etapa2Servidor          stage 2 of the processing run (catalog lookup) for 10,000 lines with a
//                              10,000-article catalog, timed from its status message to its last line;
//                              its counter "corrida_s" is the whole run (stages 1 to 4). With the
//                              argument 1 the invoice also has a position column (ten positions in
//                              turn), whose suffix groups stage 1 reads from the server.
// For a slow link, point TARVIX_PG_PUERTO at bench/proxy/demora.py in front of the server.
// Reads the TARVIX_PG_* variables that `tools/pg_prueba.sh iniciar` prints; without them it runs
// nothing. Everything it writes on the server carries names of its own and is removed at the end.
#include "app/controladorprincipal.h"
#include "components/central.h"
#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "components/recordset.h"
#include "intake/carga/grilla.h"
#include "pipeline/proceso.h"
#include "transfer/actualcat.h"
#include "transfer/pasaje.h"
#include "transfer/paso3.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace tarvix;

namespace {

constexpr int kLineas = 10000;

QString propio(const char* prefijo) {
    return QString::fromLatin1(prefijo) + QString::number(QCoreApplication::applicationPid());
}

// The program started on a fresh data folder whose entidades.ini points both entities at the server.
struct Programa {
    QTemporaryDir dir;
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion; // every question is answered Yes
    std::unique_ptr<ControladorPrincipal> c;
    QString interno = propio("BPG");

    explicit Programa(Progreso& progreso, const QString& catalogo) {
        QFile ini(dir.path() + QStringLiteral("/entidades.ini"));
        if (!ini.open(QIODevice::WriteOnly))
            qFatal("no se puede escribir entidades.ini");
        QTextStream s(&ini);
        for (const char* entidad : {"NCM", "INTERNOS"})
            s << '[' << entidad << "]\ndriver=QPSQL\nhost=" << qEnvironmentVariable("TARVIX_PG_HOST")
              << "\nport=" << qEnvironmentVariable("TARVIX_PG_PUERTO")
              << "\ndatabase=" << qEnvironmentVariable("TARVIX_PG_BASE")
              << "\nuser=" << qEnvironmentVariable("TARVIX_PG_USUARIO")
              << "\npassword=" << qEnvironmentVariable("TARVIX_PG_CLAVE") << "\n\n";
        ini.close();
        srv.setInteraccion(&guion);
        srv.setProgreso(&progreso);
        c = std::make_unique<ControladorPrincipal>(srv, estado);
        c->Form_Load(dir.path());
        if (estado.g_iPaso != 1)
            qFatal("el programa no arrancó: %s", qPrintable(guion.avisos.value(0).texto));
        estado.g_sInterno = interno;
        estado.g_sINTCAT = catalogo;
        estado.g_sINTDUN = QStringLiteral("07");
        trabajo(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('%1','banco')").arg(interno));
    }
    void trabajo(const QString& sql) {
        srv.g_oBase->setSql(sql);
        srv.g_oBase->Ejecutar();
    }
    void aduana(const QString& sql) {
        srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS")).EjecutarDirecto(sql);
    }
    void limpiarAduana() {
        aduana(QStringLiteral("delete from caratula where interno = '%1'").arg(interno));
        aduana(QStringLiteral("delete from subitems where interno = '%1'").arg(interno));
        aduana(QStringLiteral("delete from catarticulos where idcatalogo = '%1'").arg(estado.g_sINTCAT));
    }
    void fallo(benchmark::State& state) {
        state.SkipWithError(guion.avisos.isEmpty() ? "la corrida no terminó"
                                                   : qPrintable(guion.avisos.last().texto));
    }
};

// ---- Transfer -------------------------------------------------------------------------------

struct Transferencia {
    ProgresoNulo progreso;
    Programa p{progreso, propio("BT")};

    Transferencia() {
        // Correct lines as the run and the editor leave them: a third in kilograms.
        p.trabajo(
            QStringLiteral(
                "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, ARTKGU, ARTORG, "
                "PROCEDENCIA, FECHA_EMBARQUE, FECHA_ARRIBO, MARCA, MODELO, OTROS, CODIGOCIP, ARTDSCMARIA, "
                "ARTDSCMARIA2, ARTDSCMARIA3, PRCNCM, PRCSUF, PRCLAP, PRCDUN, PRCCAN, PRCEUN, PRCECA, PRCSUN, "
                "PRCSCA, PRCESM, PRCORI, PRCEST, PRCCRC) with recursive n(i) as (select 1 union all select i "
                "+ 1 "
                "from n where i < %1) select '%2', i, 'T-' || i, 'HERRAMIENTA D''ANGELO ' || i, i % 40 + 1, "
                "3.25, (i % 40 + 1) * 3.25, 0.5 * i, '310', '310', '10/05/2024', '21/06/2024', 'TOOLMAX', "
                "'T-' || i, '', '', 'HERRAMIENTA MANUAL', '', '', '8205.40.00.000C', 'AA(TOOLMAX)-AB(T)-', "
                "'N', "
                "case when i % 3 = 0 then '01' else '07' end, i % 40 + 1, '07', i % 40 + 1, '', 0, '2', "
                "'310', "
                "'M', 'OK' from n")
                .arg(kLineas)
                .arg(p.interno));
    }
    // What "Transferir" runs: the validation, the interno and the catalog in one transaction with
    // their locks, and the closing count.
    void transferir(benchmark::State& state) {
        ControladorPaso3 paso3(p.srv, p.estado);
        p.guion.avisos.clear();
        paso3.FRM3_Tranferir();
        if (!paso3.transferido())
            p.fallo(state);
    }
};

std::unique_ptr<Transferencia> g_transferencia;
Transferencia& transferencia() {
    if (!g_transferencia)
        g_transferencia = std::make_unique<Transferencia>();
    return *g_transferencia;
}

// First transfer: the interno is not on the server, every article is new to the catalog.
void BM_TransferenciaServidorNueva(benchmark::State& state) {
    Transferencia& t = transferencia();
    for (auto _ : state) {
        state.PauseTiming();
        t.p.limpiarAduana();
        state.ResumeTiming();
        t.transferir(state);
    }
    state.SetItemsProcessed(state.iterations() * kLineas);
}

// Transfer again: the interno is replaced and every catalog entry updated.
void BM_TransferenciaServidorRepetida(benchmark::State& state) {
    Transferencia& t = transferencia();
    t.p.limpiarAduana();
    t.transferir(state);
    for (auto _ : state)
        t.transferir(state);
    state.SetItemsProcessed(state.iterations() * kLineas);
}

// ---- Stage 2 --------------------------------------------------------------------------------

// Times stage 2 from its status message to the bar reaching its last group.
class RelojEtapa2 : public Progreso {
public:
    void mensaje(const QString& texto) override {
        if (texto.contains(QStringLiteral("Etapa 2 de 4"))) {
            m_enEtapa2 = true;
            m_maximo = -1;
            m_segundos = -1;
            m_reloj.start();
        } else if (texto.contains(QStringLiteral("Etapa 3 de 4"))) {
            m_enEtapa2 = false;
        }
    }
    void barraVisible(bool) override {}
    void barraRango(int, int maximo) override {
        if (m_enEtapa2 && m_maximo < 0)
            m_maximo = maximo;
    }
    void barraValor(int valor) override {
        if (m_enEtapa2 && valor == m_maximo)
            m_segundos = static_cast<double>(m_reloj.nsecsElapsed()) / 1e9;
    }
    // Seconds of the last stage 2; negative when it did not reach its end.
    double segundos() const { return m_segundos; }

private:
    QElapsedTimer m_reloj;
    bool m_enEtapa2 = false;
    int m_maximo = -1;
    double m_segundos = -1;
};

struct Etapa2 {
    RelojEtapa2 reloj;
    Programa p;
    ModeloGrilla grilla; // the preview grid the run reads

    explicit Etapa2(bool conPosicion) : p(reloj, propio(conPosicion ? "BF" : "BE")) {
        p.trabajo(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
        // The catalog: article i on the i-th position of the nomenclature, round and round; the
        // LAPI flag left to the nomenclature for most, as the brokerage's catalogs have it.
        p.aduana(QStringLiteral("delete from catarticulos where idcatalogo = '%1'").arg(p.estado.g_sINTCAT));
        p.aduana(
            QStringLiteral(
                "insert into catarticulos (idcatalogo, idarticulo, descripcion, ncm, lapi, sufijos, "
                "idunidad, "
                "estadistica, descripcion_maria, codigoean) select '%1', 'E-' || i, 'ARTICULO ' || i, "
                "p.posicion, case when i % 10 = 0 then 'S' else '' end, 'AA(ACME)-', '07', '07', 'MARIA ' || "
                "i, "
                "'779' || i from generate_series(0, %2 - 1) as i join (select [001] + '.' + [002] + [003] as "
                "posicion, row_number() over (order by [001], [002]) - 1 as k, count(*) over () as n from "
                "ncm) "
                "as p on p.k = i % p.n")
                .arg(p.estado.g_sINTCAT)
                .arg(kLineas));
        QStringList campos{QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ DESCRIPC ]"),
                           QStringLiteral("[ CANTIDAD ]"), QStringLiteral("[ TOTAL ]"),
                           QStringLiteral("[ ORIGEN ]"),   QStringLiteral("[ MARCA ]")};
        const QStringList posiciones{QStringLiteral("8467.21.00.000R"), QStringLiteral("8301.10.00.000P"),
                                     QStringLiteral("8471.30.12.000Z"), QStringLiteral("7318.14.00.000R"),
                                     QStringLiteral("8204.11.00.000K"), QStringLiteral("8205.40.00.000C"),
                                     QStringLiteral("8207.13.00.000S"), QStringLiteral("9017.80.90.000T"),
                                     QStringLiteral("8467.29.99.000Z"), QStringLiteral("8204.12.00.000T")};
        if (conPosicion)
            campos << QStringLiteral("[ NCM ]");
        grilla.setCols(static_cast<int>(campos.size()));
        grilla.setRows(2 + kLineas);
        for (int c = 0; c < campos.size(); ++c)
            grilla.setTextMatrix(1, c, campos[c]);
        for (int i = 0; i < kLineas; ++i) {
            QStringList celdas{QStringLiteral("E-%1").arg(i), QString(),
                               QStringLiteral("3"),           QStringLiteral("10"),
                               QStringLiteral("CHINA"),       QStringLiteral("ACME")};
            if (conPosicion)
                celdas << posiciones[i % posiciones.size()];
            for (int c = 0; c < celdas.size(); ++c)
                grilla.setTextMatrix(2 + i, c, celdas[c]);
        }
    }
};

std::unique_ptr<Etapa2> g_etapa2[2];
Etapa2& etapa2(bool conPosicion) {
    auto& e = g_etapa2[conPosicion ? 1 : 0];
    if (!e)
        e = std::make_unique<Etapa2>(conPosicion);
    return *e;
}

void BM_Etapa2Servidor(benchmark::State& state) {
    Etapa2& e = etapa2(state.range(0) != 0);
    QElapsedTimer corrida;
    for (auto _ : state) {
        corrida.start();
        if (!FRAM2_GuardarDatosToBase(e.p.srv, e.p.estado, e.grilla) || e.reloj.segundos() < 0) {
            e.p.fallo(state);
            break;
        }
        state.counters["corrida_s"] = static_cast<double>(corrida.nsecsElapsed()) / 1e9;
        state.SetIterationTime(e.reloj.segundos());
    }
    // Lines the stage completed from the catalog (the last run's).
    Recordset rs;
    e.p.srv.g_oBase->setSql(
        QStringLiteral("select count(*) as n from ART where INTNRO = '%1' and PRCNCM <> ''")
            .arg(e.p.interno));
    e.p.srv.g_oBase->CrearRs(rs);
    state.counters["completadas"] = rs.Fields(0).toDouble();
    state.SetItemsProcessed(state.iterations() * kLineas);
}

} // namespace

// Each run is long: one iteration, seven times, the median is the figure.
void sieteVeces(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);
}
BENCHMARK(BM_TransferenciaServidorNueva)->Apply(sieteVeces);
BENCHMARK(BM_TransferenciaServidorRepetida)->Apply(sieteVeces);
BENCHMARK(BM_Etapa2Servidor)->Apply(sieteVeces)->UseManualTime()->Arg(0)->Arg(1);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("TARVIX_PG_HOST")) {
        std::fputs("Sin servidor PostgreSQL de prueba (TARVIX_PG_HOST no definido): no se mide nada.\n"
                   "Levantarlo con: eval \"$(bash tools/pg_prueba.sh iniciar /tmp/pg)\"\n",
                   stderr);
        return 0;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // What the runs wrote on the server goes with them.
    if (g_transferencia)
        g_transferencia->p.limpiarAduana();
    for (auto& e : g_etapa2)
        if (e) {
            e->p.limpiarAduana();
            e.reset();
        }
    g_transferencia.reset();
    return 0;
}
