#include "app/ventanas/qtinteraccion.h"
#include "components/clbase.h"
#include "components/latido.h"
#include "components/recordset.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarvix;

class TstQtProgreso : public QObject {
    Q_OBJECT
private slots:
    void barraCadaTantoConElValorFinal();
    void elBucleGiraDuranteLaCorrida();
    void unaSentenciaLargaLateSoloEnUnaCorrida();
};

// A run that gives the bar a value per line: the bar takes a few of them, and every change of the
// label or the bar, or the return to the event loop, shows the last one given.
void TstQtProgreso::barraCadaTantoConElValorFinal() {
    QLabel etiqueta;
    QProgressBar barra;
    QStringList mensajes;
    QtProgreso p(&etiqueta, &barra, [&](const QString& t) { mensajes << t; });
    QSignalSpy cambios(&barra, &QProgressBar::valueChanged);
    p.barraRango(0, 5000);
    QElapsedTimer reloj;
    reloj.start();
    for (int v = 1; v <= 5000; ++v)
        p.barraValor(v);
    const qint64 ms = reloj.elapsed();
    QVERIFY2(cambios.size() <= 2 + ms / QtProgreso::kIntervaloBarra.count(),
             qPrintable(QString::number(cambios.size())));
    QCOMPARE(barra.value(), 1); // the first value is shown at once

    p.mensaje(QStringLiteral("Procesando... Etapa 2 de 4"));
    QCOMPARE(barra.value(), 5000);
    QCOMPARE(etiqueta.text(), QStringLiteral("Procesando... Etapa 2 de 4"));
    QCOMPARE(mensajes, QStringList{QStringLiteral("Procesando... Etapa 2 de 4")});

    // A value held back goes before a new range, which resets the bar as it would have without
    // holding it back; the next value waits.
    p.barraValor(4000);
    p.barraValor(4500);
    QCOMPARE(barra.value(), 5000);
    p.barraRango(0, 10);
    QCOMPARE(cambios.last().value(0).toInt(), 4500);
    QCOMPARE(barra.value(), -1);
    p.barraValor(1);
    QCOMPARE(barra.value(), -1);
    QTRY_COMPARE(barra.value(), 1); // the event loop shows it
    p.barraValor(7);
    p.barraVisible(false);
    QCOMPARE(barra.value(), 7);
    QVERIFY(barra.isHidden());
}

// A run that never returns to the event loop still lets the events waiting be handled every so
// often (the window repaints, moves and resizes), through its progress.
void TstQtProgreso::elBucleGiraDuranteLaCorrida() {
    QLabel etiqueta;
    QProgressBar barra;
    QtProgreso p(&etiqueta, &barra);
    QTimer latido;
    int vueltas = 0;
    QObject::connect(&latido, &QTimer::timeout, [&vueltas] { ++vueltas; });
    latido.start(0);
    QElapsedTimer reloj;
    reloj.start();
    for (int v = 0; reloj.elapsed() < 300; ++v)
        p.barraValor(v);
    // One turn every 30 ms at most: about ten in 300 ms, and never one per line.
    QVERIFY2(vueltas >= 3 && vueltas <= 300 / QtProgreso::kIntervaloBarra.count() + 2,
             qPrintable(QString::number(vueltas)));
}

// One long statement (no progress at all while the engine runs it) of a run of the main window
// lets the events waiting be handled through its beats, a few times and never more than one every
// kIntervaloBarra; outside a run, or with a dialog of the run open, it lets nothing in.
void TstQtProgreso::unaSentenciaLargaLateSoloEnUnaCorrida() {
    QTemporaryDir dir;
    QFile vacia(dir.filePath(QStringLiteral("t.db"))); // an empty file is an empty database
    QVERIFY(vacia.open(QIODevice::WriteOnly));
    vacia.close();
    Velno::clBase base;
    base.setCadenaConexion(QStringLiteral("Driver=QSQLITE;Data Source=") + vacia.fileName());
    base.Conectar();
    QLabel etiqueta;
    QProgressBar barra;
    QtProgreso p(&etiqueta, &barra);
    latido::instalar(&QtProgreso::latido, &p);
    QTimer latido;
    int vueltas = 0;
    QObject::connect(&latido, &QTimer::timeout, [&vueltas] { ++vueltas; });
    latido.start(0);
    // The time it took, or -1 when it did not count the rows.
    const auto sentenciaLarga = [&]() -> qint64 {
        QCoreApplication::processEvents();
        vueltas = 0;
        QElapsedTimer reloj;
        reloj.start();
        base.setSql(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < "
                                   "1000000) select count(*) as c from n"));
        tarvix::Recordset rs;
        if (!base.CrearRs(rs) || rs.Fields(0).toLongLong() != 1000000)
            return -1;
        return reloj.elapsed();
    };
    {
        const QtProgreso::Corrida corrida(p);
        const qint64 ms = sentenciaLarga();
        QVERIFY2(ms >= 3 * QtProgreso::kIntervaloBarra.count(), qPrintable(QString::number(ms)));
        QVERIFY2(vueltas >= 2 && vueltas <= ms / QtProgreso::kIntervaloBarra.count() + 1,
                 qPrintable(QStringLiteral("%1 vueltas en %2 ms").arg(vueltas).arg(ms)));
        QDialog dialogo;
        dialogo.setModal(true);
        dialogo.show();
        QVERIFY(sentenciaLarga() > 0);
        QCOMPARE(vueltas, 0);
    }
    QVERIFY(sentenciaLarga() > 0);
    QCOMPARE(vueltas, 0);
    latido::instalar(nullptr, nullptr);
}

QTEST_MAIN(TstQtProgreso)
#include "tst_qtprogreso.moc"
