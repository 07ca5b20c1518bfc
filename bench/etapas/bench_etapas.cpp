// The four stages of the processing run on a 10,000-line invoice against the embedded SQLite
// databases, with a catalog of 10,000 articles and an ncm table of 10,000 positions with their
// value suffixes. Prints the peak memory after the runs.
#include "app/controladorprincipal.h"
#include "components/central.h"
#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "pipeline/proceso.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <sys/resource.h>

using namespace tarvix;

namespace {

constexpr int kLineas = 10000;

class Grilla : public GrillaDatos {
public:
    std::vector<QStringList> filas;
    int Rows() const override { return static_cast<int>(filas.size()); }
    int Cols() const override { return static_cast<int>(filas[1].size()); }
    QString TextMatrix(int f, int c) const override { return filas[static_cast<size_t>(f)].value(c); }
};

// Position i as the dotted text of 10 characters ("dddd.dd.dd") and its check letter.
QString posicion(int i) {
    return QStringLiteral("%1.%2.%3").arg(9900 + i / 100).arg(i % 100, 2, 10, QChar(u'0')).arg(10);
}

// Time from each stage caption to the next, read off the progress messages of the run.
class ProgresoCronometro : public ProgresoNulo {
public:
    QElapsedTimer reloj;
    std::map<std::string, double> ms; // stage -> milliseconds, summed over the runs
    void mensaje(const QString& texto) override {
        cerrar();
        if (texto.contains(QStringLiteral("Etapa"))) {
            m_actual = texto.section(u':', 0, 0).section(u' ', 1).toStdString();
            reloj.start();
        }
    }
    void cerrar() {
        if (!m_actual.empty())
            ms[m_actual] += static_cast<double>(reloj.nsecsElapsed()) / 1e6;
        m_actual.clear();
    }

private:
    std::string m_actual;
};

struct Entorno {
    QTemporaryDir dir;
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion;
    ProgresoCronometro progreso;
    std::unique_ptr<ControladorPrincipal> c;
    Grilla grilla;

    Entorno() {
        srv.setInteraccion(&guion);
        srv.setProgreso(&progreso);
        c = std::make_unique<ControladorPrincipal>(srv, estado);
        c->Form_Load(dir.path());
        estado.g_sInterno = QStringLiteral("BENCH");
        estado.g_sINTCAT = QStringLiteral("1");
        estado.g_sINTDUN = QStringLiteral("07");
        ejecutar(*srv.g_oBase, QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
        Velno::clBase& aduana = srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS"));
        ejecutar(aduana, QStringLiteral("BEGIN"));
        for (int i = 0; i < kLineas; ++i) {
            const QString pos = posicion(i);
            const QString sim = pos + QStringLiteral(".000");
            ejecutar(aduana,
                     QStringLiteral("insert into ncm ([001],[002],[003],[010],[012],[020],[059]) values "
                                    "('%1','000','A','POSICION %2','07','','')")
                         .arg(pos)
                         .arg(i));
            ejecutar(aduana,
                     QStringLiteral("insert into sufidos (sim, sufijo, detalle) values ('%1','AA','MARCA'),"
                                    "('%1','ZA','VALOR')")
                         .arg(sim));
            ejecutar(aduana, QStringLiteral(
                                 "insert into catarticulos (idcatalogo, idarticulo, descripcion, ncm, lapi, "
                                 "sufijos, descripcion_maria, codigoean) values ('1','B%1','ARTICULO %1',"
                                 "'%2.000A','','AA(X)-ZA(000001)-','MARIA %1','779%1')")
                                 .arg(i)
                                 .arg(pos));
        }
        ejecutar(aduana, QStringLiteral("COMMIT"));
        grilla.filas.push_back(QStringList(6, QStringLiteral("titulo")));
        grilla.filas.push_back({QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ DESCRIPC ]"),
                                QStringLiteral("[ CANTIDAD ]"), QStringLiteral("[ TOTAL ]"),
                                QStringLiteral("[ ORIGEN ]"), QStringLiteral("[ MARCA ]")});
        for (int i = 0; i < kLineas; ++i)
            grilla.filas.push_back({QStringLiteral("B%1").arg(i), QStringLiteral("Linea %1").arg(i),
                                    QStringLiteral("3"), QStringLiteral("10"), QStringLiteral("CHINA"),
                                    QStringLiteral("ACME")});
    }
    static void ejecutar(Velno::clBase& b, const QString& sql) {
        b.setSql(sql);
        b.Ejecutar();
    }
};

void BM_Etapas(benchmark::State& state) {
    static Entorno e;
    for (auto _ : state) {
        if (!FRAM2_GuardarDatosToBase(e.srv, e.estado, e.grilla)) {
            state.SkipWithError(e.guion.avisos.isEmpty() ? "la corrida falló"
                                                         : e.guion.avisos.last().texto.toUtf8().constData());
            break;
        }
    }
    // Stage 3 has no caption of its own before its statements: its time is in the one of stage 2's
    // caption up to stage 3's, as the user sees the captions change.
    for (const auto& [etapa, ms] : e.progreso.ms)
        state.counters[etapa] = ms / static_cast<double>(state.iterations());
    e.progreso.ms.clear();
    Recordset rs;
    e.srv.g_oBase->setSql(
        QStringLiteral("select count(*) as n from ART where INTNRO = 'BENCH' and PRCCRC = 'OK'"));
    e.srv.g_oBase->CrearRs(rs);
    state.counters["lineas_ok"] = rs.Fields(0).toDouble();
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    state.counters["pico_MB"] = static_cast<double>(uso.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Etapas)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
