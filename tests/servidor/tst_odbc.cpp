#include "components/central.h"
#include "components/clbase.h"
#include "components/vberror.h"

#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;

// The plumbing of an ODBC entity, with the SQLite ODBC driver standing in for a server: the
// statements reach the driver as they were written.
class TstOdbc : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sentenciasSinTraducir();

private:
    QTemporaryDir m_dir;
};

void TstOdbc::initTestCase() {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        QSKIP("Sin el controlador QODBC de Qt (libqt6sql6-odbc)");
    QFile ini(QStringLiteral("/etc/odbcinst.ini"));
    if (!ini.open(QIODevice::ReadOnly) || !ini.readAll().contains("[SQLite3]"))
        QSKIP("Sin el controlador ODBC de SQLite (libsqliteodbc)");
}

void TstOdbc::sentenciasSinTraducir() {
    const QString archivo = m_dir.filePath(QStringLiteral("odbc.db"));
    Trelvan::Central c;
    Velno::ParametrosConexion p;
    p.driver = QStringLiteral("QODBC");
    p.baseDeDatos = QStringLiteral("DRIVER={SQLite3};Database=") + archivo;
    c.definirEntidad(QStringLiteral("INTERNOS"), p);
    Velno::clBase& b = c.getDataConnectionByEntity(QStringLiteral("INTERNOS"));
    b.setSql(QStringLiteral("create table unidades (id varchar(2), descripcion varchar(50))"));
    b.Ejecutar();
    b.setSql(QStringLiteral("insert into unidades (id, descripcion) values ('07','UNIDADES')"));
    QCOMPARE(b.Ejecutar(), 1);
    Recordset rs;
    b.setSql(QStringLiteral("select id,descripcion from unidades order by descripcion"));
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("ID")).toString(), QStringLiteral("07"));
    // Untranslated: SQLite adds the two texts as numbers, where a translated || would join them.
    b.setSql(QStringLiteral("select id + '.5' as x from unidades"));
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("x")).toDouble(), 7.5);
    QCOMPARE(c.getDateFormatbyEntity(QStringLiteral("INTERNOS"), QDateTime(QDate(2024, 3, 5), QTime(0, 0))),
             QStringLiteral("{ts '2024-03-05 00:00:00'}"));
}

QTEST_GUILESS_MAIN(TstOdbc)
#include "tst_odbc.moc"
