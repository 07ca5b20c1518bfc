// Loading a supplier's invoice into the preview grid through lf_LevantarExcel, as "Procesar" does:
// the workbook read by clEcxel, the header and line scans, every cell formatted under es_AR.
//
//   bench_carga --carpeta DIR [benchmark flags]   factura.xlsx and factura.xls of DIR (generar.py)
//   bench_carga --una-carga FILE                  one load, for whole-process time and peak memory
#include "components/archivos.h"
#include "components/estadoasistente.h"
#include "components/interaccionguionada.h"
#include "components/memoria.h"
#include "components/servicios.h"
#include "components/vberror.h"
#include "intake/carga/carga.h"
#include "intake/carga/grilla.h"
#include "intake/clecxel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <ctime>

using namespace tarvix;

namespace {

// The step-2 surroundings of a headless load: no dialog, every message recorded.
struct Carga {
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion;
    Pindra::Archivos archivos{&guion};
    ModeloGrilla grilla;

    Carga() {
        srv.setInteraccion(&guion);
        srv.g_oArchivos = &archivos;
    }

    // Loads `ruta`; on failure returns why (the message shown, or what the grid lacks).
    QString cargar(const QString& ruta) {
        guion.limpiar();
        if (!lf_LevantarExcel(ruta, grilla, srv))
            return guion.mensajes().isEmpty() ? QStringLiteral("la carga falló sin mensaje")
                                              : guion.mensajes().last().texto;
        // Header, blue field row, then the lines.
        if (grilla.Rows() < 3 || grilla.TextMatrix(0, 0).isEmpty())
            return QStringLiteral("la grilla quedó con %1 filas").arg(grilla.Rows());
        return QString();
    }
};

// A whole load of `ruta`, as "Procesar" does it.
void cargarArchivo(benchmark::State& state, const QString& ruta) {
    if (!QFile::exists(ruta)) {
        state.SkipWithError(qPrintable(QStringLiteral("no existe %1: generarlo con generar.py").arg(ruta)));
        return;
    }
    Carga carga;
    for (auto _ : state) {
        const QString error = carga.cargar(ruta);
        if (!error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
    state.counters["filas"] = carga.grilla.Rows();
    state.counters["columnas"] = carga.grilla.Cols();
}

// The reader's share of a load: clEcxel::Abrir alone, no scan and no grid.
void abrirArchivo(benchmark::State& state, const QString& ruta) {
    clEcxel excel;
    excel.setArchivo(ruta);
    for (auto _ : state) {
        try {
            excel.Abrir();
        } catch (const VbError& e) {
            state.SkipWithError(qPrintable(e.descripcion()));
            break;
        }
        excel.CerrarArchivo();
    }
}

// The largest resident size of this process so far, in KiB (VmHWM), or -1 where it cannot be read.
long picoResidenteKiB() {
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray linea = estado.readLine(); !linea.isEmpty(); linea = estado.readLine())
        if (linea.startsWith("VmHWM:"))
            return linea.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// CPU seconds of `reloj` (CLOCK_THREAD_CPUTIME_ID, CLOCK_PROCESS_CPUTIME_ID) so far.
double segundosCpu(clockid_t reloj) {
    timespec t{};
    clock_gettime(reloj, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

int unaCarga(const QString& ruta) {
    const long antes = picoResidenteKiB();
    Carga carga;
    QElapsedTimer reloj;
    const double hilo = segundosCpu(CLOCK_THREAD_CPUTIME_ID);
    const double proceso = segundosCpu(CLOCK_PROCESS_CPUTIME_ID);
    reloj.start();
    const QString error = carga.cargar(ruta);
    const qint64 ns = reloj.nsecsElapsed();
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    // With the machine to itself a load takes about the main thread's CPU time: the reader's second
    // thread runs beside it.
    std::printf("%s: %d filas x %d columnas en %.4f s (cpu: hilo principal %.4f s, proceso %.4f s); pico "
                "residente %ld KiB antes de la carga, %ld KiB después\n",
                qPrintable(ruta), carga.grilla.Rows(), carga.grilla.Cols(), static_cast<double>(ns) / 1e9,
                segundosCpu(CLOCK_THREAD_CPUTIME_ID) - hilo, segundosCpu(CLOCK_PROCESS_CPUTIME_ID) - proceso,
                antes, picoResidenteKiB());
    // The first line as the user sees it, to check the cells' text by eye.
    QStringList primera;
    for (int c = 0; c < carga.grilla.Cols(); ++c)
        primera << carga.grilla.TextMatrix(2, c);
    std::printf("  %s\n", qPrintable(primera.join(QStringLiteral(" | "))));
    return 0;
}

// Takes `--opcion VALOR` out of argv (Google Benchmark refuses flags it does not know).
QString tomarOpcion(int& argc, char** argv, const char* opcion) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], opcion) != 0)
            continue;
        const QString valor = QString::fromLocal8Bit(argv[i + 1]);
        for (int j = i; j + 2 <= argc; ++j)
            argv[j] = argv[j + 2];
        argc -= 2;
        return valor;
    }
    return QString();
}

} // namespace

int main(int argc, char** argv) {
    // As the program does.
    prepararMemoria();
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    // Users work under es_AR: decimal comma and day/month/year dates in every cell's text.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));

    const QString una = tomarOpcion(argc, argv, "--una-carga");
    if (!una.isEmpty())
        return unaCarga(una);
    const QString carpeta = tomarOpcion(argc, argv, "--carpeta");
    if (carpeta.isEmpty()) {
        std::fprintf(stderr, "uso: %s --carpeta CARPETA [opciones de benchmark] | --una-carga ARCHIVO\n",
                     argv[0]);
        return 2;
    }
    // One load an iteration, the median of eleven reported. The CPU time is the whole process's: the
    // .xlsx reader inflates large parts in a second thread.
    using Banco = void (*)(benchmark::State&, const QString&);
    const struct {
        const char* nombre;
        Banco banco;
        const char* archivo;
    } casos[] = {{"BM_CargaXlsx", cargarArchivo, "factura.xlsx"},
                 {"BM_CargaXls", cargarArchivo, "factura.xls"},
                 {"BM_AbrirXlsx", abrirArchivo, "factura.xlsx"},
                 {"BM_AbrirXls", abrirArchivo, "factura.xls"}};
    for (const auto& caso : casos)
        benchmark::RegisterBenchmark(caso.nombre, caso.banco,
                                     carpeta + u'/' + QLatin1StringView(caso.archivo))
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(11)
            ->ReportAggregatesOnly(true)
            ->MeasureProcessCPUTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
