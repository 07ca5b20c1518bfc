// Processing and transfer through the real main window on the offscreen platform, with the
// embedded SQLite databases of a fresh data folder, at 1,000, 10,000 and 100,000 invoice lines.
//
// Each run takes a new interno from step 1 to step 2, where the invoice is already in the grid
// with its fields mapped, presses "Siguiente >" and times it until step 3 is on screen and painted,
// then presses "Transferir" and times it until the count of the customs system has been answered
// and the window painted. The prompts are answered by the scripted seam, as in the tests.
//
// During both runs a 10 ms timer measures the longest stall of the event loop: the largest gap
// between two of its timeouts. A timer fires only when the event loop (or a run's own pass through
// it) handles events, and those passes are the only moments the window can repaint, move or
// resize: the gap is what the user sees as a frozen window. User input is left out of the passes
// on purpose (a run keeps the window's input blocked), so the gap says nothing about input.
//
// Every line is a catalog article with its position, suffixes and country, so it ends "OK" and
// the transfer goes through. Usage: bench_asistente [lineas ...] [--corridas N] [--detalle]
//
// With --factura ARCHIVO it times instead the load of that spreadsheet from "Procesar" in step 2
// (the file chooser answered with it) until the grid is filled and painted, with the same measure
// of the longest stall.
#include "app/ventanas/frmmain.h"
#include "components/central.h"
#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "intake/carga/grilla.h"
#include "intake/carga/paso2.h"
#include "medidas.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace tarvix;

namespace {

using medidas::cpuMs;
using medidas::memoriaMb;
using medidas::picoMb;

// Positions of the nomenclator, "9900.00.10" on.
constexpr int kPosiciones = 10000;

// With --detalle every stall of 100 ms or more is printed as it happens.
bool s_detalle = false;

// The longest gap between two passes of the event loop while it runs, and the status text around it.
class Latido {
public:
    explicit Latido(const QLabel* estado) : m_estado(estado) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { pasada(); });
    }
    // Starts measuring at the next pass.
    void empezar() {
        m_timer.start();
        m_mayor = 0;
        m_pasadas = 0;
        m_ultimo.invalidate();
        m_desde.start();
        esperarPasada();
    }
    // Measures up to the next pass and stops.
    void terminar() {
        esperarPasada();
        m_timer.stop();
    }
    double mayorMs() const { return static_cast<double>(m_mayor) / 1e6; }
    const QString& antes() const { return m_antes; }
    const QString& despues() const { return m_despues; }

private:
    void esperarPasada() {
        const int n = m_pasadas;
        while (m_pasadas == n)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    void pasada() {
        ++m_pasadas;
        const QString texto = m_estado->text();
        if (m_ultimo.isValid()) {
            const qint64 gap = m_ultimo.nsecsElapsed();
            if (s_detalle && gap >= 100'000'000)
                std::printf("    espera de %lld ms entre «%s» y «%s»\n", gap / 1'000'000,
                            qPrintable(m_textoUltimo), qPrintable(texto));
            if (gap > m_mayor) {
                m_mayor = gap;
                m_antes = m_textoUltimo;
                m_despues = texto;
            }
        }
        if (s_detalle && texto != m_textoUltimo)
            std::printf("    %6lld ms  %s\n", m_desde.elapsed(), qPrintable(texto));
        m_ultimo.start();
        m_textoUltimo = texto;
    }

    const QLabel* m_estado;
    QTimer m_timer;
    QElapsedTimer m_ultimo;
    QElapsedTimer m_desde; // since the measure started
    qint64 m_mayor = 0;
    int m_pasadas = 0;
    QString m_textoUltimo, m_antes, m_despues;
};

struct Medida {
    double ms = 0;
    double cpu = 0;
    double esperaMs = 0;
    QString antes, despues;
};

struct Programa {
    QTemporaryDir dir;
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion;
    frmMain ventana{srv, estado};
    int lineas;
    int internos = 0;

    explicit Programa(int n) : lineas(n) {
        srv.setInteraccion(&guion);
        ventana.show();
        ventana.iniciar(dir.path());
        estado.g_sINTCAT = QStringLiteral("1");
        estado.g_sINTDUN = QStringLiteral("07");
        trabajo(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
        // The nomenclator: kPosiciones positions, each with a brand suffix and a value suffix; the
        // catalog: one article per line.
        Velno::clBase& aduana = srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS"));
        aduana.EjecutarDirecto(QStringLiteral("BEGIN"));
        // (No QString::arg here: the printf patterns of the statements would take its values.)
        const QString hasta = QString::number(kPosiciones - 1);
        aduana.EjecutarDirecto(
            QStringLiteral("insert into ncm ([001],[002],[003],[010],[012],[020],[059]) with recursive "
                           "n(i) as (select 0 union all select i + 1 from n where i < ") +
            hasta +
            QStringLiteral(") select printf('%d.%02d.10', 9900 + i / 100, i % 100), '000', 'A', "
                           "'POSICION ' || i, '07', '', '' from n"));
        aduana.EjecutarDirecto(
            QStringLiteral("insert into sufidos (sim, sufijo, detalle) select [001] || '.000', s.c, s.d "
                           "from ncm, (select 'AA' as c, 'MARCA' as d union all select 'ZA', 'VALOR') s "
                           "where [001] like '99%'"));
        aduana.EjecutarDirecto(
            QStringLiteral("insert into catarticulos (idcatalogo, idarticulo, descripcion, ncm, lapi, "
                           "sufijos, descripcion_maria, codigoean) with recursive n(i) as (select 0 union "
                           "all select i + 1 from n where i < ") +
            QString::number(n - 1) +
            QStringLiteral(") select '1', 'B' || i, 'ARTICULO ' || i, printf('%d.%02d.10.000A', 9900 + (i "
                           "% ") +
            QString::number(kPosiciones) +
            QStringLiteral(") / 100, i % 100), '', 'AA(X)-ZA(000001)-', "
                           "'MARIA ' || i, '779' || i from n"));
        aduana.EjecutarDirecto(QStringLiteral("COMMIT"));
        // The invoice in the grid of step 2, its fields mapped.
        ModeloGrilla& g = ventana.asistente().paso2().grilla();
        const QStringList titulos{QStringLiteral("Codigo"),   QStringLiteral("Descripcion"),
                                  QStringLiteral("Cantidad"), QStringLiteral("Total"),
                                  QStringLiteral("Origen"),   QStringLiteral("Marca")};
        const QStringList campos{QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ DESCRIPC ]"),
                                 QStringLiteral("[ CANTIDAD ]"), QStringLiteral("[ TOTAL ]"),
                                 QStringLiteral("[ ORIGEN ]"),   QStringLiteral("[ MARCA ]")};
        TablaTexto bloque(static_cast<int>(titulos.size()));
        bloque.reservarFilas(n + 2);
        const auto agregar = [&bloque](const QStringList& celdas) {
            std::vector<quint32> fin;
            QString texto;
            for (const QString& c : celdas) {
                texto += c;
                fin.push_back(static_cast<quint32>(texto.size()));
            }
            bloque.agregarFila(texto, fin);
        };
        agregar(titulos);
        agregar(campos);
        for (int i = 0; i < n; ++i)
            agregar({QStringLiteral("B%1").arg(i), QStringLiteral("Linea %1 de la factura").arg(i),
                     QString::number(i % 7 + 1), QString::number((i % 7 + 1) * 10), QStringLiteral("CHINA"),
                     QStringLiteral("ACME")});
        g.setCols(static_cast<int>(titulos.size()));
        g.setRows(n + 2);
        g.asignarBloque(0, std::move(bloque));
    }
    void trabajo(const QString& sql) {
        srv.g_oBase->setSql(sql);
        srv.g_oBase->Ejecutar();
    }
    template <typename T> T* hijo(const char* nombre) {
        return ventana.findChild<T*>(QString::fromLatin1(nombre));
    }
    QString texto(const char* etiqueta) { return hijo<QLabel>(etiqueta)->text(); }

    // A new interno, chosen in step 1 and taken to step 2 with the invoice loaded.
    bool aPaso2() {
        const QString nro = QStringLiteral("BENCH%1").arg(++internos);
        trabajo(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('%1','banco')").arg(nro));
        ControladorPrincipal& c = ventana.controlador();
        c.FRAM1_CargarInternos();
        for (size_t i = 0; i < c.internos.size(); ++i)
            if (c.internos[i].nro == nro)
                c.seleccionarInterno(static_cast<int>(i));
        hijo<QPushButton>("cmdSiguiente")->click();
        emit ventana.asistente().paso2().cargaLista();
        return estado.g_iPaso == 2 && estado.g_sInterno == nro &&
               hijo<QPushButton>("cmdSiguiente")->isEnabled();
    }
    void aPaso1() {
        hijo<QPushButton>("cmdAnterior")->click();
        hijo<QPushButton>("cmdAnterior")->click();
    }

    // "Siguiente >", "Transferir" or "Procesar": from the click until what it left to paint is
    // painted.
    Medida pulsar(const char* boton = "cmdSiguiente") {
        Latido latido(hijo<QLabel>("Main_lbMensaje"));
        latido.empezar();
        QElapsedTimer reloj;
        const double cpu = cpuMs();
        reloj.start();
        hijo<QPushButton>(boton)->click();
        QCoreApplication::sendPostedEvents(); // the repaints the run left pending, at once
        const double ms = static_cast<double>(reloj.nsecsElapsed()) / 1e6;
        const double cpuRun = cpuMs() - cpu;
        latido.terminar();
        return {ms, cpuRun, latido.mayorMs(), latido.antes(), latido.despues()};
    }
};

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QString lista(const std::vector<double>& v) {
    QStringList t;
    for (double x : v)
        t << QString::number(x, 'f', 0);
    return t.join(QStringLiteral(" "));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    std::vector<int> tamanos;
    int corridasPedidas = 0;
    QString factura;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--detalle"))
            s_detalle = true;
        else if (args[i] == QStringLiteral("--factura") && i + 1 < args.size())
            factura = args[++i];
        else if (args[i] == QStringLiteral("--corridas") && i + 1 < args.size())
            corridasPedidas = args[++i].toInt();
        else
            tamanos.push_back(args[i].toInt());
    }
    if (tamanos.empty())
        tamanos = {1000, 10000, 100000};
    if (!factura.isEmpty()) {
        Programa p(1);
        std::vector<double> carga, espera, cpu;
        for (int r = 0; r < (corridasPedidas > 0 ? corridasPedidas : 5); ++r) {
            if (!p.aPaso2())
                return 1;
            p.guion.limpiar();
            p.guion.archivos.enqueue(factura);
            const Medida m = p.pulsar("FRAM2_CmdProcesar");
            carga.push_back(m.ms);
            espera.push_back(m.esperaMs);
            cpu.push_back(m.cpu);
            std::printf("  carga %.0f ms, mayor espera %.0f ms entre «%s» y «%s»; %d filas en la grilla\n",
                        m.ms, m.esperaMs, qPrintable(m.antes), qPrintable(m.despues),
                        p.ventana.asistente().paso2().grilla().Rows());
            p.aPaso1();
        }
        std::printf(
            "carga: mediana %.0f ms (CPU %.0f ms), mayor espera mediana %.0f ms; memoria pico %.0f MB\n",
            mediana(carga), mediana(cpu), mediana(espera), picoMb());
        return 0;
    }

    std::printf("%-8s %-10s %10s %8s %12s  %s\n", "lineas", "caso", "mediana_ms", "cpu_ms", "espera_ms",
                "corridas (ms)");
    for (const int n : tamanos) {
        // Fewer runs at 100,000 lines: each takes several seconds.
        const int corridas = corridasPedidas > 0 ? corridasPedidas : (n >= 100000 ? 3 : 5);
        auto p = std::make_unique<Programa>(n);
        std::vector<double> proceso, esperaProceso, transferencia, esperaTransferencia, cpuProceso,
            cpuTransferencia;
        Medida peorProceso, peorTransferencia;
        for (int r = 0; r < corridas; ++r) {
            if (!p->aPaso2()) {
                std::fprintf(stderr, "no se llegó al paso 2\n");
                return 1;
            }
            p->guion.limpiar();
            const Medida a = p->pulsar();
            if (p->estado.g_iPaso != 3 || p->texto("FRAM3_lbTotal").toInt() != n ||
                p->texto("FRAM3_lbErroneos").toInt() != 0) {
                std::fprintf(
                    stderr, "el proceso no llegó al paso 3 sin errores: %s %s %s %s %s\n",
                    qPrintable(p->texto("FRAM3_lbTotal")), qPrintable(p->texto("FRAM3_lbErroneos")),
                    qPrintable(p->texto("FRAM3_lbErrPos")), qPrintable(p->texto("FRAM3_lbErrSuf")),
                    qPrintable(p->guion.avisos.isEmpty() ? QString() : p->guion.avisos.last().texto));
                return 1;
            }
            const Medida b = p->pulsar();
            const QString esperado = QStringLiteral("Se transfirio %1 articulos").arg(n);
            if (p->guion.avisos.isEmpty() || !p->guion.avisos.last().texto.startsWith(esperado)) {
                std::fprintf(
                    stderr, "la transferencia no terminó: %s\n",
                    qPrintable(p->guion.avisos.isEmpty() ? QString() : p->guion.avisos.last().texto));
                return 1;
            }
            proceso.push_back(a.ms);
            cpuProceso.push_back(a.cpu);
            cpuTransferencia.push_back(b.cpu);
            esperaProceso.push_back(a.esperaMs);
            transferencia.push_back(b.ms);
            esperaTransferencia.push_back(b.esperaMs);
            if (a.esperaMs >= peorProceso.esperaMs)
                peorProceso = a;
            if (b.esperaMs >= peorTransferencia.esperaMs)
                peorTransferencia = b;
            p->aPaso1();
        }
        std::printf("%-8d %-10s %10.0f %8.0f %12.0f  %s\n", n, "proceso", mediana(proceso),
                    mediana(cpuProceso), mediana(esperaProceso), qPrintable(lista(proceso)));
        std::printf("%-8d %-10s %10.0f %8.0f %12.0f  %s\n", n, "transfer", mediana(transferencia),
                    mediana(cpuTransferencia), mediana(esperaTransferencia),
                    qPrintable(lista(transferencia)));
        std::printf("  mayor espera del proceso: %.0f ms, entre «%s» y «%s»\n", peorProceso.esperaMs,
                    qPrintable(peorProceso.antes), qPrintable(peorProceso.despues));
        std::printf("  mayor espera de la transferencia: %.0f ms, entre «%s» y «%s»\n",
                    peorTransferencia.esperaMs, qPrintable(peorTransferencia.antes),
                    qPrintable(peorTransferencia.despues));
        std::printf("  memoria: %.0f MB ahora, pico del proceso %.0f MB\n", memoriaMb(), picoMb());
        std::fflush(stdout);
    }
    return 0;
}
