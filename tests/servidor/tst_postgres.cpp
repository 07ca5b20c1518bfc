#include "components/central.h"
#include "components/clbase.h"
#include "components/vberror.h"
#include "testsupport.h"

#include <QSqlDatabase>
#include <QTest>

using namespace tarvix;

// Statements of the customs tables on a PostgreSQL server. Runs when the test command started the
// throwaway cluster (TARVIX_PG_* variables); skipped otherwise.
class TstPostgres : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void consultasDelNomenclador();
    void nombresSinDistinguirMayusculas();
    void fechasYTextos();
    void credencialesIncorrectas();

private:
    static Velno::ParametrosConexion parametros() { return *prueba::servidorDePrueba(); }
    Trelvan::Central m_central;
};

void TstPostgres::initTestCase() {
    if (qEnvironmentVariableIsEmpty("TARVIX_PG_HOST"))
        QSKIP("Sin servidor PostgreSQL de prueba (TARVIX_PG_HOST no definido): se omiten estas pruebas");
    QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")), "falta el controlador QPSQL");
    m_central.definirEntidad(QStringLiteral("NCM"), parametros());
    m_central.definirEntidad(QStringLiteral("INTERNOS"), parametros());
}

void TstPostgres::consultasDelNomenclador() {
    Velno::clBase& ncm = m_central.getDataConnectionByEntity(QStringLiteral("NCM"));
    Recordset rs;
    ncm.setSql(QStringLiteral(
        "select [001]+ '.' +[002] + [003] as ncm,[012] as estadistica,[020] as deresp from ncm "
        "where [001] like '8467.2%' order by [001],[002],[003]"));
    QVERIFY(ncm.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("NCM")).toString(), QStringLiteral("8467.21.00.000R"));

    const QString m = m_central.getMidFormatbyEntity(QStringLiteral("NCM"), QStringLiteral("SUFIJO"), 3,
                                                     QStringLiteral("len(SUFIJO)"));
    ncm.setSql(QStringLiteral("select distinct left(SUFIJO,2) as SUF,") + QStringLiteral(" max(") + m +
               QStringLiteral(") as maxim ") + QStringLiteral(" from sufidos where sim in ") +
               QStringLiteral("('84  .  .  .   ','8467.  .  .   ','8467.21.  .   ','8467.21.00.000') ") +
               QStringLiteral(" group by left(SUFIJO,2) order by left(SUFIJO,2)"));
    QVERIFY(ncm.CrearRs(rs));
    QStringList grupos;
    for (; !rs.Fin(); rs.MoveNext())
        grupos << rs.Fields(QStringLiteral("SUF")).toString();
    QCOMPARE(grupos, (QStringList{QStringLiteral("AA"), QStringLiteral("AB"), QStringLiteral("AH"),
                                  QStringLiteral("ZB")}));

    ncm.setSql(QStringLiteral(
        "select [003] as letra,[059] as lapi from ncm where  [001] = '8467.21.00' and [002] = '000'"));
    QVERIFY(ncm.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("letra")).toString(), QStringLiteral("R"));
    QCOMPARE(rs.Fields(QStringLiteral("lapi")).toString(), QStringLiteral("*"));
}

void TstPostgres::nombresSinDistinguirMayusculas() {
    Velno::clBase& b = m_central.getDataConnectionByEntity(QStringLiteral("INTERNOS"));
    Recordset rs;
    b.setSql(QStringLiteral("select count(interno) as Total from subitems where interno = 'no-existe'"));
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("Total")).toInt(), 0);
    b.setSql(QStringLiteral("select idcatalogo, descripcion from catalogo order by descripcion"));
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.RecordCount(), 2);
    // Only some fields: those named (in any case) that the result has, in the order asked.
    Recordset pocos;
    QVERIFY(b.CrearRs(pocos,
                      {QStringLiteral("DESCRIPCION"), QStringLiteral("nada"), QStringLiteral("IdCatalogo")}));
    QCOMPARE(pocos.Columnas(), (QStringList{QStringLiteral("descripcion"), QStringLiteral("idcatalogo")}));
    for (; !rs.Fin(); rs.MoveNext(), pocos.MoveNext()) {
        QCOMPARE(pocos.Fields(0), rs.Fields(1));
        QCOMPARE(pocos.Fields(1), rs.Fields(0));
    }
    QVERIFY(pocos.Fin());
}

void TstPostgres::fechasYTextos() {
    Velno::clBase& b = m_central.getDataConnectionByEntity(QStringLiteral("INTERNOS"));
    b.setSql(QStringLiteral("delete from caratula where interno = 'PG''1'"));
    b.Ejecutar();
    prueba::LocaleFijo l(QStringLiteral("es_AR"));
    const QString fecha =
        m_central.getDateFormatbyEntity(QStringLiteral("INTERNOS"), QStringLiteral("5/3/2024"));
    b.setSql(
        QStringLiteral(
            "insert into caratula (interno,idsubreg, fechaalta, ONCCAHabilitado, DJAI_FECHA_EMB_APROX, "
            "DJAI_FECHA_ARRIB_APROX, fobdivisas , fobcoddivisas, fobdivcambio) values ('PG''1','DJAI',") +
        m_central.getDateFormatbyEntity(QStringLiteral("INTERNOS"),
                                        QDateTime(QDate(2026, 12, 7), QTime(10, 0))) +
        QStringLiteral(",'N',") + fecha + QStringLiteral(",NULL,1234.5,'DOL',1.0000)"));
    QCOMPARE(b.Ejecutar(), 1);
    Recordset rs;
    b.setSql(QStringLiteral("select * from caratula where interno = 'PG''1'"));
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("DJAI_FECHA_EMB_APROX")).toDateTime().date(), QDate(2024, 3, 5));
    QVERIFY(rs.Fields(QStringLiteral("djai_fecha_arrib_aprox")).isNull());
    QCOMPARE(rs.Fields(QStringLiteral("fobdivisas")).toDouble(), 1234.5);
    b.setSql(QStringLiteral("delete from caratula where interno = 'PG''1'"));
    QCOMPARE(b.Ejecutar(), 1);
}

void TstPostgres::credencialesIncorrectas() {
    Trelvan::Central c;
    Velno::ParametrosConexion p = parametros();
    p.clave = QStringLiteral("clave-equivocada-77");
    c.definirEntidad(QStringLiteral("INTERNOS"), p);
    Velno::clBase& b = c.getDataConnectionByEntity(QStringLiteral("INTERNOS"));
    b.setSql(QStringLiteral("select 1"));
    Recordset rs;
    try {
        b.CrearRs(rs);
        QFAIL("sin error");
    } catch (const VbError& e) {
        QVERIFY2(e.descripcion().contains(QStringLiteral("entidad INTERNOS")), qPrintable(e.descripcion()));
        QVERIFY(e.descripcion().contains(QStringLiteral("Usuario o contraseña incorrectos")));
        QVERIFY(!e.descripcion().contains(QStringLiteral("clave-equivocada-77")));
    }
}

QTEST_GUILESS_MAIN(TstPostgres)
#include "tst_postgres.moc"
