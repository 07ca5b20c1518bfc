// The proposal of field labels after a load: 60 columns by 200 lines, every header one the table
// knows, the money columns checked against each other and the countries looked up. It must stay
// well under 5 ms.
#include "intake/carga/grilla.h"
#include "intake/encabezados.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace tarvix;

namespace {

void llenar(ModeloGrilla& g, int columnas, int lineas) {
    static const char* const kEncabezados[] = {"Part No.", "Description", "Q'ty",    "Unit Price (USD)",
                                               "Value",    "Value",       "Country", "N.W. (kg)",
                                               "Amount",   "Origin",      "HS Code", "G.W."};
    g.setCols(columnas);
    g.setRows(lineas + 2);
    for (int c = 0; c < columnas; ++c) {
        g.setTextMatrix(0, c, QString::fromLatin1(kEncabezados[c % std::size(kEncabezados)]));
        for (int l = 0; l < lineas; ++l) {
            const int tipo = c % static_cast<int>(std::size(kEncabezados));
            QString t;
            if (tipo == 0)
                t = QStringLiteral("PN-%1").arg(l);
            else if (tipo == 1)
                t = QStringLiteral("Article number %1 of the invoice").arg(l);
            else if (tipo == 6 || tipo == 9)
                t = (l % 2) ? QStringLiteral("China") : QStringLiteral("Taiwan");
            else if (tipo == 2)
                t = QString::number(l + 1);
            else if (tipo == 3 || tipo == 4)
                t = QLocale().toString(1.25 + l);
            else if (tipo == 5 || tipo == 8)
                t = QLocale().toString((l + 1) * (1.25 + l));
            else
                t = QLocale().toString(l * 0.5);
            g.setTextMatrix(l + 2, c, t);
        }
    }
}

void BM_Proponer(benchmark::State& estado) {
    ModeloGrilla g;
    llenar(g, 60, 200);
    for (auto _ : estado)
        benchmark::DoNotOptimize(encabezados::proponer(g));
    estado.SetLabel("60 columnas x 200 líneas");
}

} // namespace

BENCHMARK(BM_Proponer)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
