#include "components/clbase.h"
#include "components/dialecto.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;

namespace {
const QString kSim = QStringLiteral("('84  .  .  .   ','8471.  .  .   ','8471.30.  .   ','8471.30.12.000')");
}

class TstDialecto : public QObject {
    Q_OBJECT
private slots:
    void traduccion_data();
    void traduccion();
    void odbcSinCambios();
    void ejecutaEnSqlite();
};

void TstDialecto::traduccion_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("sqlite");
    QTest::addColumn<QString>("postgres");

    const QString sinCambio = QStringLiteral("select id,descripcion from unidades order by descripcion");
    QTest::newRow("sin cambios") << sinCambio << sinCambio << sinCambio;

    QTest::newRow("grupos de sufijos")
        << (QStringLiteral(
                "select distinct left(SUFIJO,2) as SUF, max(substr(SUFIJO,3,len(SUFIJO))) as maxim  from "
                "sufidos where sim in ") +
            kSim + QStringLiteral("  group by left(SUFIJO,2) order by left(SUFIJO,2)"))
        << (QStringLiteral(
                "select distinct substr(SUFIJO,1,2) as SUF, max(substr(SUFIJO,3,length(SUFIJO))) as maxim  "
                "from sufidos where sim in ") +
            kSim + QStringLiteral("  group by substr(SUFIJO,1,2) order by substr(SUFIJO,1,2)"))
        << (QStringLiteral(
                "select distinct substr(SUFIJO,1,2) as SUF, max(substr(SUFIJO,3,length(SUFIJO))) as maxim  "
                "from sufidos where sim in ") +
            kSim + QStringLiteral("  group by substr(SUFIJO,1,2) order by substr(SUFIJO,1,2)"));

    QTest::newRow("busqueda de posiciones")
        << QStringLiteral(
               "select [001]+ '.' +[002] + [003] as ncm,[012] as estadistica,[020] as deresp from ncm "
               "where [001] like '8471%' order by [001],[002],[003]")
        << QStringLiteral(
               "select [001]|| '.' ||[002] || [003] as ncm,[012] as estadistica,[020] as deresp from ncm "
               "where [001] like '8471%' order by [001],[002],[003]")
        << QStringLiteral(
               "select \"001\"|| '.' ||\"002\" || \"003\" as ncm,\"012\" as estadistica,\"020\" as deresp "
               "from ncm where \"001\" like '8471%' order by \"001\",\"002\",\"003\"");

    QTest::newRow("letra de la posicion")
        << QStringLiteral(
               "select [003] as letra,[059] as lapi from ncm where [001] = '8471.30.12' and [002] = '000' "
               "and [003] = 'A'")
        << QStringLiteral(
               "select [003] as letra,[059] as lapi from ncm where [001] = '8471.30.12' and [002] = '000' "
               "and [003] = 'A'")
        << QStringLiteral(
               "select \"003\" as letra,\"059\" as lapi from ncm where \"001\" = '8471.30.12' and \"002\" = "
               "'000' and \"003\" = 'A'");

    QTest::newRow("filas de un grupo")
        << (QStringLiteral("select sufijo,detalle from sufidos where sim in ") + kSim +
            QStringLiteral(" and left(sufijo,2) = 'AC'"))
        << (QStringLiteral("select sufijo,detalle from sufidos where sim in ") + kSim +
            QStringLiteral(" and substr(sufijo,1,2) = 'AC'"))
        << (QStringLiteral("select sufijo,detalle from sufidos where sim in ") + kSim +
            QStringLiteral(" and substr(sufijo,1,2) = 'AC'"));

    const QString literal = QStringLiteral(
        "insert into subitems (descripcion, sufijos) values ('A+B [001] left(x,2) len(y)','D''AN + [9]')");
    QTest::newRow("literales intactos") << literal << literal << literal;

    const QString suma =
        QStringLiteral("update CATARTICULOS set cantidad = cantidad + 1 where idarticulo = 'X'");
    QTest::newRow("suma numerica") << suma << suma << suma;

    QTest::newRow("funcion anidada")
        << QStringLiteral("select left(ltrim(descripcion),len(descripcion) - 1) + '-' from catarticulos")
        << QStringLiteral(
               "select substr(ltrim(descripcion),1,length(descripcion) - 1) || '-' from catarticulos")
        << QStringLiteral(
               "select substr(ltrim(descripcion),1,length(descripcion) - 1) || '-' from catarticulos");

    const QString join = QStringLiteral("select a.x from a left join b on a.id = b.id");
    QTest::newRow("left join") << join << join << join;
}

void TstDialecto::traduccion() {
    QFETCH(QString, sql);
    QFETCH(QString, sqlite);
    QFETCH(QString, postgres);
    QCOMPARE(traducirSql(sql, Motor::SQLite), sqlite);
    QCOMPARE(traducirSql(sql, Motor::PostgreSQL), postgres);
}

void TstDialecto::odbcSinCambios() {
    const QString sql =
        QStringLiteral("select [001]+ '.' +[002] + [003] as ncm from ncm where left([001],2) = '84'");
    QCOMPARE(traducirSql(sql, Motor::Odbc), sql);
}

// The translated statements run on SQLite and give what the server dialect gives.
void TstDialecto::ejecutaEnSqlite() {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("ncm.db"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crear"));
        db.setDatabaseName(ruta);
        QVERIFY(db.open());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("crear"));
    Velno::clBase c(QStringLiteral("prueba"));
    c.setParametros({QStringLiteral("QSQLITE"), ruta, {}, -1, {}, {}, {}});
    c.setMotor(Motor::SQLite);
    c.setSql(QStringLiteral(
        "create table ncm ([001] varchar(10), [002] varchar(3), [003] varchar(1), [012] varchar(2))"));
    c.Ejecutar();
    c.setSql(
        QStringLiteral("create table sufidos (sim varchar(14), sufijo varchar(10), detalle varchar(100))"));
    c.Ejecutar();
    c.setSql(QStringLiteral("insert into ncm ([001],[002],[003],[012]) values ('0101.21','000','A','07')"));
    QCOMPARE(c.Ejecutar(), 1);
    c.setSql(QStringLiteral(
        "insert into sufidos values ('01  .  .  .   ','AA','MARCA'),('01  .  .  .   ','AC01','NUEVO'),"
        "('01  .  .  .   ','AC02','USADO')"));
    QCOMPARE(c.Ejecutar(), 3);

    Recordset rs;
    c.setSql(QStringLiteral(
        "select [001]+ '.' +[002] + [003] as ncm,[012] as estadistica from ncm where [001] like "
        "'0101%' order by [001],[002],[003]"));
    QVERIFY(c.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("NCM")).toString(), QStringLiteral("0101.21.000A"));

    c.setSql(QStringLiteral(
        "select distinct left(SUFIJO,2) as SUF, max(substr(SUFIJO,3,len(SUFIJO))) as maxim  from "
        "sufidos where sim in ('01  .  .  .   ')  group by left(SUFIJO,2) order by left(SUFIJO,2)"));
    QVERIFY(c.CrearRs(rs));
    QCOMPARE(rs.RecordCount(), 2);
    QCOMPARE(rs.Fields(QStringLiteral("suf")).toString(), QStringLiteral("AA"));
    rs.MoveNext();
    QCOMPARE(rs.Fields(QStringLiteral("SUF")).toString(), QStringLiteral("AC"));
    QCOMPARE(rs.Fields(QStringLiteral("maxim")).toString(), QStringLiteral("02"));
}

QTEST_GUILESS_MAIN(TstDialecto)
#include "tst_dialecto.moc"
