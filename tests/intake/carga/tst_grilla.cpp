#include "components/vberror.h"
#include "intake/carga/grilla.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace tarvix;

namespace {

using Referencia = std::vector<std::vector<QString>>;

void compararCon(const ModeloGrilla& m, const Referencia& ref) {
    QCOMPARE(m.Rows(), static_cast<int>(ref.size()));
    for (int f = 0; f < m.Rows(); ++f) {
        QCOMPARE(m.Cols(), static_cast<int>(ref[static_cast<size_t>(f)].size()));
        for (int c = 0; c < m.Cols(); ++c)
            QCOMPARE(m.TextMatrix(f, c), ref[static_cast<size_t>(f)][static_cast<size_t>(c)]);
    }
}

QString textoAlAzar(QRandomGenerator& azar) {
    static const QString muestras[] = {QString(),
                                       QStringLiteral("x"),
                                       QStringLiteral("Ñandú 12,5"),
                                       QStringLiteral("[ ARTICULO ]"),
                                       QStringLiteral("a\tb"),
                                       QStringLiteral("una descripción bastante más larga que las demás")};
    return muestras[azar.bounded(static_cast<int>(std::size(muestras)))];
}

// A block of `lineas` lines of `ancho` cells "f<line>c<cell>".
TablaTexto bloque(int lineas, int ancho) {
    TablaTexto b(ancho);
    for (int l = 0; l < lineas; ++l) {
        QString texto;
        std::vector<quint32> fin;
        for (int c = 0; c < ancho; ++c) {
            texto += QStringLiteral("f%1c%2").arg(l).arg(c);
            fin.push_back(static_cast<quint32>(texto.size()));
        }
        b.agregarFila(texto, fin);
    }
    return b;
}

void esperarSubindice(const std::function<void()>& accion) {
    try {
        accion();
        QFAIL("no error raised");
    } catch (const VbError& e) {
        QCOMPARE(e.numero(), kErrorSubindice);
        QCOMPARE(e.descripcion(), QStringLiteral("Subíndice fuera del intervalo"));
    }
}

} // namespace

class TstGrilla : public QObject {
    Q_OBJECT
private slots:
    void operacionesAlAzarComoUnaTablaSimple();
    void bloqueDescartaLoQueSobraYRespetaLoQueFalta();
    void fueraDeLaGrillaEsError381();
    void filaInsertadaLlevaSuColorYLasFijasSeAjustan();
    void intercambioEsUnSoloReinicio();
};

// Every edit of the compact storage against a plain table, with the model tester watching the
// signals of each change.
void TstGrilla::operacionesAlAzarComoUnaTablaSimple() {
    ModeloGrilla m;
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Referencia ref(2, std::vector<QString>(1));
    QRandomGenerator azar(20240517);
    for (int paso = 0; paso < 3000; ++paso) {
        const int filas = m.Rows();
        const int cols = m.Cols();
        switch (azar.bounded(6)) {
        case 0: { // rows
            const int n = azar.bounded(9);
            m.setRows(n);
            ref.resize(static_cast<size_t>(n), std::vector<QString>(static_cast<size_t>(cols)));
            break;
        }
        case 1: { // columns
            const int n = azar.bounded(7);
            m.setCols(n);
            for (auto& fila : ref)
                fila.resize(static_cast<size_t>(n));
            break;
        }
        case 2:
        case 3: // cells
            if (filas > 0 && cols > 0) {
                const int f = azar.bounded(filas);
                const int c = azar.bounded(cols);
                const QString t = textoAlAzar(azar);
                m.setTextMatrix(f, c, t);
                ref[static_cast<size_t>(f)][static_cast<size_t>(c)] = t;
            }
            break;
        case 4: { // insert a row
            const int i = azar.bounded(filas + 1);
            m.insertarFila(i);
            ref.insert(ref.begin() + i, std::vector<QString>(static_cast<size_t>(cols)));
            break;
        }
        case 5: // block of a random width
            if (filas > 1) {
                const int desde = azar.bounded(filas);
                const int lineas = 1 + azar.bounded(filas - desde);
                const int ancho = azar.bounded(cols + 3);
                m.asignarBloque(desde, bloque(lineas, ancho));
                for (int l = 0; l < lineas; ++l)
                    for (int c = 0; c < std::min(ancho, cols); ++c)
                        ref[static_cast<size_t>(desde + l)][static_cast<size_t>(c)] =
                            QStringLiteral("f%1c%2").arg(l).arg(c);
            }
            break;
        }
        compararCon(m, ref);
        if (QTest::currentTestFailed()) {
            qWarning("after step %d", paso);
            return;
        }
    }
}

void TstGrilla::bloqueDescartaLoQueSobraYRespetaLoQueFalta() {
    ModeloGrilla m;
    m.setCols(3);
    m.setRows(3);
    m.setTextMatrix(2, 2, QStringLiteral("queda"));
    QSignalSpy cambios(&m, &QAbstractItemModel::dataChanged);
    m.asignarBloque(1, bloque(1, 5)); // wider: the last two cells are dropped
    m.asignarBloque(2, bloque(1, 2)); // narrower: the third cell keeps its text
    QCOMPARE(cambios.size(), 2);
    QCOMPARE(m.TextMatrix(1, 0), QStringLiteral("f0c0"));
    QCOMPARE(m.TextMatrix(1, 2), QStringLiteral("f0c2"));
    QCOMPARE(m.TextMatrix(2, 1), QStringLiteral("f0c1"));
    QCOMPARE(m.TextMatrix(2, 2), QStringLiteral("queda"));
    // A block longer than the grid is refused and changes nothing.
    esperarSubindice([&] { m.asignarBloque(1, bloque(3, 3)); });
    QCOMPARE(m.TextMatrix(1, 0), QStringLiteral("f0c0"));
}

void TstGrilla::fueraDeLaGrillaEsError381() {
    ModeloGrilla m; // 2 rows, 1 column
    esperarSubindice([&] { m.TextMatrix(2, 0); });
    esperarSubindice([&] { m.TextMatrix(0, 1); });
    esperarSubindice([&] { m.TextMatrix(-1, 0); });
    esperarSubindice([&] { m.setTextMatrix(1, 4, QStringLiteral("[ CANTIDAD ]")); });
    esperarSubindice([&] { m.setRow(2); });
    esperarSubindice([&] { m.setCol(1); });
    m.setRows(1);
    esperarSubindice([&] { m.setRow(1); }); // no row 1 without data lines
    try {
        m.setRows(-1);
        QFAIL("negative row count accepted");
    } catch (const VbError& e) {
        QCOMPARE(e.numero(), kErrorValorPropiedad);
    }
}

void TstGrilla::filaInsertadaLlevaSuColorYLasFijasSeAjustan() {
    ModeloGrilla m;
    m.setRows(4);
    m.setColorFila(1, ModeloGrilla::kAzul);
    m.insertarFila(1);
    QCOMPARE(m.colorFila(1), -1);
    QCOMPARE(m.colorFila(2), qint64(ModeloGrilla::kAzul));
    QCOMPARE(m.data(m.index(2, 0), ModeloGrilla::RolColor).toLongLong(), qint64(0xFF0000));
    QVERIFY(!m.data(m.index(1, 0), ModeloGrilla::RolColor).isValid());

    // Fewer rows than fixed ones and a current cell beyond the grid are brought back into it.
    m.setRow(4);
    QSignalSpy fijas(&m, &ModeloGrilla::filasFijasCambiadas);
    m.setRows(1);
    QCOMPARE(m.FixedRows(), 1);
    QCOMPARE(fijas.size(), 1);
    QCOMPARE(m.Row(), 0);
}

void TstGrilla::intercambioEsUnSoloReinicio() {
    ModeloGrilla pantalla;
    ModeloGrilla aparte;
    aparte.setCols(3);
    aparte.setRows(10000);
    aparte.setTextMatrix(9999, 2, QStringLiteral("último"));
    aparte.setFixedRows(2);
    QSignalSpy reinicios(&pantalla, &QAbstractItemModel::modelReset);
    QSignalSpy celdas(&pantalla, &QAbstractItemModel::dataChanged);
    QSignalSpy filas(&pantalla, &QAbstractItemModel::rowsInserted);
    pantalla.intercambiar(aparte);
    QCOMPARE(reinicios.size(), 1);
    QCOMPARE(celdas.size(), 0);
    QCOMPARE(filas.size(), 0);
    QCOMPARE(pantalla.Rows(), 10000);
    QCOMPARE(pantalla.TextMatrix(9999, 2), QStringLiteral("último"));
    QCOMPARE(aparte.Rows(), 2);
}

QTEST_GUILESS_MAIN(TstGrilla)
#include "tst_grilla.moc"
