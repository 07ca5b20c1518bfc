// The check of a whole invoice before the run, at 1,000 and 10,000 lines of the example invoice's
// 24 columns, every mapped field read: a line in twenty has something to report. 10,000 lines must
// take well under 0.1 s.
#include "intake/carga/grilla.h"
#include "pipeline/revisionfactura.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace tarvix;

namespace {

void llenar(ModeloGrilla& g, int lineas) {
    constexpr int kColumnas = 24;
    static const std::pair<int, const char*> kCampos[] = {
        {1, "[ DESCRIPC ]"},      {2, "[ NCM ]"},          {4, "[ CANTIDAD ]"}, {5, "[ UNIDAD ]"},
        {8, "[ KILOS ]"},         {9, "[ TOTAL ]"},        {10, "[ ORIGEN ]"},  {12, "[ FECHA_EMBARQUE ]"},
        {13, "[ FECHA_ARRIBO ]"}, {16, "[ PROCEDENCIA ]"}, {20, "[ MARCA ]"},   {22, "[ ARTICULO ]"},
        {23, "[ OTROS ]"}};
    g.setCols(kColumnas);
    g.setRows(lineas + 2);
    for (const auto& [c, etiqueta] : kCampos)
        g.setTextMatrix(1, c, QString::fromLatin1(etiqueta));
    const QLocale l;
    for (int i = 0; i < lineas; ++i) {
        const int f = i + 2;
        const bool mal = i % 20 == 0;
        g.setTextMatrix(f, 0, QString::number(i + 1));
        g.setTextMatrix(f, 1, QStringLiteral("IMPACT DRILL 650W 13MM KEYED CHUCK NUMBER %1").arg(i));
        g.setTextMatrix(f, 2, QStringLiteral("8467.21"));
        g.setTextMatrix(f, 4, mal ? QStringLiteral("diez") : l.toString(120 + i));
        g.setTextMatrix(f, 5, mal ? QStringLiteral("SETS") : QStringLiteral("PCS"));
        g.setTextMatrix(f, 8, l.toString(228.5));
        g.setTextMatrix(f, 9, l.toString(3420.25 + i));
        g.setTextMatrix(f, 10, QStringLiteral("P.R. CHINA"));
        g.setTextMatrix(f, 12, QStringLiteral("10/05/2024"));
        g.setTextMatrix(f, 13, QStringLiteral("21/06/2024"));
        g.setTextMatrix(f, 16, QStringLiteral("CHINA"));
        g.setTextMatrix(f, 20, QStringLiteral("TOOLMAX"));
        g.setTextMatrix(f, 22, mal ? QStringLiteral("N/A") : QStringLiteral("TX-%1").arg(i));
        g.setTextMatrix(f, 23, QStringLiteral("PO-2024-0117"));
    }
}

void BM_RevisarFactura(benchmark::State& estado) {
    ModeloGrilla g;
    llenar(g, static_cast<int>(estado.range(0)));
    const ParametrosRevision p{QStringLiteral("07"), QString(), QLocale()};
    size_t hallazgos = 0;
    for (auto _ : estado)
        hallazgos = revisarFactura(g, p).hallazgos.size();
    estado.SetLabel(std::to_string(estado.range(0)) + " líneas, " + std::to_string(hallazgos) + " hallazgos");
}

} // namespace

BENCHMARK(BM_RevisarFactura)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
