#include "components/vberror.h"
#include "intake/carga/grilla.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace tarvix;

namespace {

// A block of `lineas` lines of `ancho` cells "<line>.<cell>".
TablaTexto bloque(int lineas, int ancho) {
    TablaTexto b(ancho);
    for (int l = 0; l < lineas; ++l) {
        QString texto;
        std::vector<quint32> fin;
        for (int c = 0; c < ancho; ++c)
            fin.push_back(static_cast<quint32>((texto += QStringLiteral("%1.%2").arg(l).arg(c)).size()));
        b.agregarFila(texto, fin);
    }
    return b;
}

} // namespace

class TstGrilla : public QObject {
    Q_OBJECT
private slots:
    void comoUnaTablaSimple();
    void fueraDeLaGrillaEsError381();
};

// Random edits of the compact storage against a plain table, the model tester watching the
// signals of each change.
void TstGrilla::comoUnaTablaSimple() {
    ModeloGrilla m;
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    std::vector<std::vector<QString>> ref(2, std::vector<QString>(1));
    const QString textos[] = {QString(), QStringLiteral("x"), QStringLiteral("Ñandú 12,5"),
                              QStringLiteral("una descripción más larga que las demás")};
    QRandomGenerator azar(20240517);
    for (int paso = 0; paso < 3000 && !QTest::currentTestFailed(); ++paso) {
        const int filas = m.Rows();
        const int cols = m.Cols();
        const int f = azar.bounded(filas + 1);
        switch (azar.bounded(5)) {
        case 0:
            m.setRows(azar.bounded(9));
            ref.resize(static_cast<size_t>(m.Rows()), std::vector<QString>(static_cast<size_t>(cols)));
            break;
        case 1:
            m.setCols(azar.bounded(7));
            for (auto& fila : ref)
                fila.resize(static_cast<size_t>(m.Cols()));
            break;
        case 2:
            m.insertarFila(f);
            ref.insert(ref.begin() + f, std::vector<QString>(static_cast<size_t>(cols)));
            break;
        case 3: // a block narrower or wider than the grid
            if (f < filas) {
                const int lineas = 1 + azar.bounded(filas - f);
                const int ancho = azar.bounded(cols + 3);
                m.asignarBloque(f, bloque(lineas, ancho));
                for (int l = 0; l < lineas; ++l)
                    for (int c = 0; c < std::min(ancho, cols); ++c)
                        ref[static_cast<size_t>(f + l)][static_cast<size_t>(c)] =
                            QStringLiteral("%1.%2").arg(l).arg(c);
            }
            break;
        default:
            if (f < filas && cols > 0) {
                const int c = azar.bounded(cols);
                const QString& t = textos[azar.bounded(4)];
                m.setTextMatrix(f, c, t);
                ref[static_cast<size_t>(f)][static_cast<size_t>(c)] = t;
            }
        }
        QCOMPARE(m.Rows(), static_cast<int>(ref.size()));
        for (int r = 0; r < m.Rows(); ++r)
            for (int c = 0; c < m.Cols(); ++c)
                QCOMPARE(m.TextMatrix(r, c), ref[static_cast<size_t>(r)][static_cast<size_t>(c)]);
    }
}

void TstGrilla::fueraDeLaGrillaEsError381() {
    ModeloGrilla m; // two rows, one column
    const std::function<void()> fuera[] = {
        [&] { m.TextMatrix(2, 0); }, [&] { m.TextMatrix(0, -1); },
        [&] { m.asignarBloque(1, bloque(2, 1)); }, // one line too many: nothing is written
    };
    for (const auto& accion : fuera) {
        try {
            accion();
            QFAIL("no error raised");
        } catch (const VbError& e) {
            QCOMPARE(e.numero(), kErrorSubindice);
        }
        QCOMPARE(m.TextMatrix(1, 0), QString());
    }
}

QTEST_GUILESS_MAIN(TstGrilla)
#include "tst_grilla.moc"
