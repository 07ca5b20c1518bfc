#include "components/clbase.h"
#include "data/versiones.h"
#include "programa.h"
#include "testsupport.h"

#include <QTest>
#include <tuple>

using namespace tarvix;
using versiones::Motivo;

// The versions of an interno's lines in the working database: what is kept, what undo puts back
// and what it says.
class TstVersiones : public QObject {
    Q_OBJECT
private slots:
    void deshacerHaciaAtras();
    void limiteYOtrosInternos();
    void columnaNueva();
    void texto_data();
    void texto();
};

namespace {

const QString kLineas = QStringLiteral("select * from ART where INTNRO = 'V1' order by ARTORD");

void lineas(prueba::Programa& p, const QString& interno, int cuantas, const QString& estado) {
    p.ejecutar(QStringLiteral("delete from ART where INTNRO = '%1'").arg(interno));
    for (int i = 1; i <= cuantas; ++i)
        p.ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, PRCEST, "
                                  "PRCCRC, OTROS) values ('%1', %2, 'A%2', 'DESCRIPCIÓN ''%2''', %2, %3, "
                                  "'%4', null, x'00ff')")
                       .arg(interno)
                       .arg(i)
                       .arg(1.0 / (i + 2), 0, 'g', 17)
                       .arg(estado));
}

} // namespace

void TstVersiones::deshacerHaciaAtras() {
    prueba::Programa p(prueba::Programa::Opciones().sinPasos());
    QVERIFY(p.listo());
    Velno::clBase& base = p.trabajo();
    // Nothing kept: nothing to undo.
    QVERIFY(!versiones::deshacer(base, QStringLiteral("V1")));

    lineas(p, QStringLiteral("V1"), 3, QStringLiteral("1"));
    const auto tres = p.filasTrabajo(kLineas);
    const QDateTime primero(QDate(2026, 12, 8), QTime(14, 30));
    versiones::guardar(base, QStringLiteral("V1"), Motivo::Proceso, primero);
    lineas(p, QStringLiteral("V1"), 5, QStringLiteral("M"));
    const auto cinco = p.filasTrabajo(kLineas);
    versiones::guardar(base, QStringLiteral("v1"), Motivo::Correccion, primero.addSecs(60));
    p.ejecutar(QStringLiteral("update ART set PRCEST = 'OK' where INTNRO = 'V1' and ARTORD = 2"));
    const auto corregida = p.filasTrabajo(kLineas);
    versiones::guardar(base, QStringLiteral("V1"), Motivo::Transferencia, primero.addSecs(120));

    // Newest first, each once.
    const std::tuple<Motivo, int, int, QList<QVariantMap>> pasos[] = {
        {Motivo::Transferencia, 120, 5, corregida},
        {Motivo::Correccion, 60, 5, cinco},
        {Motivo::Proceso, 0, 3, tres}};
    for (const auto& [motivo, segundos, cuantas, filas] : pasos) {
        const auto d = versiones::deshacer(base, QStringLiteral("V1"));
        QVERIFY(d);
        QCOMPARE(d->motivo, motivo);
        QCOMPARE(d->momento, primero.addSecs(segundos));
        QCOMPARE(d->lineas, cuantas);
        QCOMPARE(p.filasTrabajo(kLineas), filas);
    }
    // Every value as it was: texts with quotes and accents, the full double, Null, binary.
    QCOMPARE(p.filasTrabajo(kLineas), tres);
    QCOMPARE(tres[2][QStringLiteral("artuni")].toDouble(), 1.0 / 5);
    QVERIFY(!versiones::deshacer(base, QStringLiteral("V1")));
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ARTVER")), QStringLiteral("0"));
    // A version of no lines (before the first run) empties the interno again.
    versiones::guardar(base, QStringLiteral("V2"), Motivo::Proceso);
    lineas(p, QStringLiteral("V2"), 2, QStringLiteral("1"));
    QCOMPARE(versiones::deshacer(base, QStringLiteral("V2"))->lineas, 0);
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ART where INTNRO = 'V2'")), QStringLiteral("0"));
}

void TstVersiones::limiteYOtrosInternos() {
    prueba::Programa p(prueba::Programa::Opciones().sinPasos());
    Velno::clBase& base = p.trabajo();
    lineas(p, QStringLiteral("V2"), 1, QStringLiteral("1"));
    versiones::guardar(base, QStringLiteral("V2"), Motivo::Transferencia);
    for (int i = 1; i <= versiones::kMaximo + 5; ++i) {
        lineas(p, QStringLiteral("V1"), i, QStringLiteral("1"));
        versiones::guardar(base, QStringLiteral("V1"), Motivo::Proceso);
    }
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ARTVER where INTNRO = 'V1'")),
             QString::number(versiones::kMaximo));
    QCOMPARE(p.valor(QStringLiteral("select min(LINEAS) from ARTVER where INTNRO = 'V1'")),
             QStringLiteral("6"));
    // Each undo goes one version further back.
    lineas(p, QStringLiteral("V1"), 1, QStringLiteral("X"));
    QCOMPARE(versiones::deshacer(base, QStringLiteral("V1"))->lineas, versiones::kMaximo + 5);
    QCOMPARE(versiones::deshacer(base, QStringLiteral("V1"))->lineas, versiones::kMaximo + 4);
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ARTVER where INTNRO = 'V2'")), QStringLiteral("1"));
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ART where INTNRO = 'V2'")), QStringLiteral("1"));
}

void TstVersiones::columnaNueva() {
    // A version kept before the table gained a column puts the lines back with it empty.
    prueba::Programa p(prueba::Programa::Opciones().sinPasos());
    Velno::clBase& base = p.trabajo();
    lineas(p, QStringLiteral("V1"), 2, QStringLiteral("1"));
    versiones::guardar(base, QStringLiteral("V1"), Motivo::Proceso);
    p.ejecutar(QStringLiteral("alter table ART add column NUEVA varchar(10)"));
    p.ejecutar(QStringLiteral("update ART set NUEVA = 'x', PRCEST = 'M'"));
    QCOMPARE(versiones::deshacer(base, QStringLiteral("V1"))->lineas, 2);
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ART where NUEVA is null and PRCEST = '1'")),
             QStringLiteral("2"));
}

void TstVersiones::texto_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("motivo");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("es_AR proceso") << QStringLiteral("es_AR") << int(Motivo::Proceso)
                                   << QStringLiteral("Se deshizo el procesamiento del 08/12/2026 14:30");
    QTest::newRow("es_AR corrección") << QStringLiteral("es_AR") << int(Motivo::Correccion)
                                      << QStringLiteral("Se deshizo la corrección del 08/12/2026 14:30");
    QTest::newRow("en_US proceso") << QStringLiteral("en_US") << int(Motivo::Proceso)
                                   << QStringLiteral("Se deshizo el procesamiento del 12/8/2026 2:30");
    QTest::newRow("en_US transferencia") << QStringLiteral("en_US") << int(Motivo::Transferencia)
                                         << QStringLiteral("Se deshizo la transferencia del 12/8/2026 2:30");
}

void TstVersiones::texto() {
    QFETCH(QString, locale);
    QFETCH(int, motivo);
    QFETCH(QString, esperado);
    const prueba::LocaleFijo fijo(locale);
    const versiones::Deshecho d{Motivo(motivo), QDateTime(QDate(2026, 12, 8), QTime(14, 30)), 1};
    const QString t = versiones::textoDeshecho(d);
    QVERIFY2(t.startsWith(esperado), qPrintable(t));
    // The 12-hour clock of en_US says which half of the day.
    QCOMPARE(t.contains(QStringLiteral("PM")), locale == u"en_US");
    QCOMPARE(t.contains(QStringLiteral("el despacho transferido no cambia")),
             Motivo(motivo) == Motivo::Transferencia);
}

QTEST_GUILESS_MAIN(TstVersiones)
#include "tst_versiones.moc"
