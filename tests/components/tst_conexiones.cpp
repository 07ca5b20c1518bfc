#include "components/central.h"
#include "components/clbase.h"
#include "components/formatos.h"
#include "components/vberror.h"
#include "testsupport.h"

#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;

using prueba::fallo;

namespace {

void crearSqlite(const QString& ruta) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crear"));
        db.setDatabaseName(ruta);
        QVERIFY(db.open());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("crear"));
}

} // namespace

class TstConexiones : public QObject {
    Q_OBJECT
private slots:
    void baseLocal();
    void fallosDeApertura();
    void claveDuplicada();
    void soloLectura();
    void entidades();
    void erroresDelServidor_data();
    void erroresDelServidor();
    void discoLleno_data();
    void discoLleno();
    void entidadSinServidor();
    void fechasPorMotor();
    void formatos();

private:
    QTemporaryDir m_dir;
};

void TstConexiones::baseLocal() {
    const QString ruta = m_dir.filePath(QStringLiteral("local.db"));
    crearSqlite(ruta);
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + ruta);
    QCOMPARE(b.Parametros().baseDeDatos, ruta);
    b.Conectar();
    QVERIFY(b.Conectado());
    b.setSql(QStringLiteral("create table INTN (INTNRO varchar(20) primary key, INTDSC varchar(100))"));
    b.Ejecutar();
    b.setSql(QStringLiteral("insert into INTN values ('A1','uno'),('A2',NULL),('B3','tres')"));
    QCOMPARE(b.Ejecutar(), 3);
    b.setSql(QStringLiteral("update INTN set INTDSC = 'x' where INTNRO like 'A%'"));
    QCOMPARE(b.Ejecutar(), 2);

    Recordset rs;
    b.setSql(QStringLiteral("select * from INTN where INTNRO = 'nada'"));
    QVERIFY(!b.CrearRs(rs));
    QVERIFY(rs.Fin());
    QCOMPARE(rs.RecordCount(), 0);

    b.setSql(QStringLiteral("select * from INTN order by INTNRO"));
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.RecordCount(), 3);
    QCOMPARE(rs.AbsolutePosition(), 1);
    QCOMPARE(rs.Fields(QStringLiteral("intnro")).toString(), QStringLiteral("A1"));
    rs.MoveNext();
    QCOMPARE(rs.AbsolutePosition(), 2);
    rs.MoveNext();
    QCOMPARE(rs.Fields(QStringLiteral("IntDsc")).toString(), QStringLiteral("tres"));
    QVERIFY_THROWS_EXCEPTION(VbError, rs.Fields(QStringLiteral("noexiste")));
    rs.MoveNext();
    QVERIFY(rs.Fin());
    QVERIFY_THROWS_EXCEPTION(VbError, rs.Fields(0));

    // Null stays Null: the format service turns it into empty text.
    b.setSql(QStringLiteral("select INTDSC from INTN where INTNRO = 'B3'"));
    b.setSql(QStringLiteral("select NULL as n, 2.5 as d"));
    QVERIFY(b.CrearRs(rs));
    QVERIFY(rs.Fields(QStringLiteral("n")).isNull());
    Mesquel::Formatos f;
    QCOMPARE(f.EsNull(rs.Fields(QStringLiteral("n"))), QString());
    QCOMPARE(f.EsNumero(rs.Fields(QStringLiteral("d"))), 2.5);
}

void TstConexiones::fallosDeApertura() {
    // A missing file is reported and not created.
    const QString falta = m_dir.filePath(QStringLiteral("no/esta.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + falta);
    QVERIFY(fallo([&] { b.Conectar(); }).startsWith(QStringLiteral("No se encuentra el archivo")));
    QVERIFY(!QFile::exists(falta));

    // A file that is not a database.
    const QString basura = m_dir.filePath(QStringLiteral("basura.db"));
    QFile f(basura);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Velno::clBase c;
    c.setCadenaConexion(QStringLiteral("Data Source=") + basura);
    const QString texto = fallo([&] { c.Conectar(); });
    QVERIFY2(texto.contains(QStringLiteral("no es una base de datos válida")), qPrintable(texto));
    QCOMPARE(f.size(), 4096); // untouched

    // A statement that fails names what failed, in Spanish.
    const QString ruta = m_dir.filePath(QStringLiteral("vacia.db"));
    crearSqlite(ruta);
    Velno::clBase d;
    d.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    d.setSql(QStringLiteral("select * from NOEXISTE"));
    Recordset rs;
    QVERIFY(fallo([&] { d.CrearRs(rs); }).startsWith(QStringLiteral("No existe la tabla")));
}

void TstConexiones::claveDuplicada() {
    const QString ruta = m_dir.filePath(QStringLiteral("dup.db"));
    crearSqlite(ruta);
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    b.setSql(QStringLiteral("create table ORG (PAI varchar(50) primary key, ORI varchar(5))"));
    b.Ejecutar();
    b.setSql(QStringLiteral("insert into ORG values ('CHINA','310')"));
    QCOMPARE(b.Ejecutar(), 1);
    try {
        b.Ejecutar();
        QFAIL("sin error");
    } catch (const VbError& e) {
        QCOMPARE(e.numero(), errores::BaseDeDatos);
        QVERIFY(e.descripcion().startsWith(QStringLiteral("Ya existe un registro con la misma clave")));
    }
}

void TstConexiones::soloLectura() {
    const QString ruta = m_dir.filePath(QStringLiteral("lectura.db"));
    crearSqlite(ruta);
    {
        Velno::clBase b;
        b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
        b.setSql(QStringLiteral("create table INTN (INTNRO varchar(20) primary key)"));
        b.Ejecutar();
        b.setSql(QStringLiteral("insert into INTN values ('1')"));
        b.Ejecutar();
    }
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta +
                        QStringLiteral(";Options=QSQLITE_OPEN_READONLY"));
    Recordset rs;
    b.setSql(QStringLiteral("select * from INTN"));
    QVERIFY(b.CrearRs(rs)); // reading works
    b.setSql(QStringLiteral("insert into INTN values ('2')"));
    const QString texto = fallo([&] { b.Ejecutar(); });
    QVERIFY2(texto.startsWith(QStringLiteral("La base de datos es de solo lectura")), qPrintable(texto));
    b.setSql(QStringLiteral("select count(*) as n from INTN"));
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("n")).toInt(), 1);
}

void TstConexiones::entidades() {
    const QString ini = m_dir.filePath(QStringLiteral("ent/entidades.ini"));
    QDir().mkpath(m_dir.filePath(QStringLiteral("ent/db")));
    crearSqlite(m_dir.filePath(QStringLiteral("ent/db/aduana.db")));
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QStringLiteral("NCM/driver"), QStringLiteral("QSQLITE"));
        s.setValue(QStringLiteral("NCM/database"), QStringLiteral("db/aduana.db"));
        s.setValue(QStringLiteral("INTERNOS/driver"), QStringLiteral("qsqlite"));
        s.setValue(QStringLiteral("INTERNOS/database"), QStringLiteral("db/aduana.db"));
        s.setValue(QStringLiteral("INTERNOS/tiempo_sentencia"), QStringLiteral(" 5 "));
        s.setValue(QStringLiteral("INTERNOS/tiempo_bloqueo"), QStringLiteral("0"));
        s.setValue(QStringLiteral("INTERNOS/tiempo_conexion"), QStringLiteral("diez"));
        s.setValue(QStringLiteral("OTRA/driver"), QStringLiteral("QNOEXISTE"));
        s.setValue(QStringLiteral("OTRA/database"), QStringLiteral("x"));
    }
    Trelvan::Central c;
    c.LoadParameters(ini);
    QVERIFY(c.tieneEntidad(QStringLiteral("NCM")));
    // Same object for the same entity: the statement set through one call runs through the next.
    QCOMPARE(&c.getDataConnectionByEntity(QStringLiteral("NCM")),
             &c.getDataConnectionByEntity(QStringLiteral("ncm")));
    QVERIFY(&c.getDataConnectionByEntity(QStringLiteral("NCM")) !=
            &c.getDataConnectionByEntity(QStringLiteral("INTERNOS")));
    c.getDataConnectionByEntity(QStringLiteral("INTERNOS"))
        .setSql(QStringLiteral("create table unidades (id, descripcion)"));
    c.getDataConnectionByEntity(QStringLiteral("INTERNOS")).Ejecutar();
    c.getDataConnectionByEntity(QStringLiteral("INTERNOS"))
        .setSql(QStringLiteral("insert into unidades values ('07','UNIDADES')"));
    QCOMPARE(c.getDataConnectionByEntity(QStringLiteral("INTERNOS")).Ejecutar(), 1);
    Recordset rs;
    c.getDataConnectionByEntity(QStringLiteral("NCM"))
        .setSql(QStringLiteral("select id,descripcion from unidades order by descripcion"));
    QVERIFY(c.getDataConnectionByEntity(QStringLiteral("NCM")).CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("id")).toString(), QStringLiteral("07"));
    // The server limits, in seconds; a value that is no number leaves the default.
    const Velno::ParametrosConexion& p = c.getDataConnectionByEntity(QStringLiteral("INTERNOS")).Parametros();
    QCOMPARE((QList<int>{p.tiempoConexion, p.tiempoSentencia, p.tiempoBloqueo}), (QList<int>{-1, 5, 0}));

    // An entity the INI does not name, and one whose driver is missing: reported on use.
    QVERIFY(fallo([&] {
                c.getDataConnectionByEntity(QStringLiteral("FACTURAS"));
            }).contains(QStringLiteral("no está definida")));
    Velno::clBase& otra = c.getDataConnectionByEntity(QStringLiteral("OTRA"));
    otra.setSql(QStringLiteral("select 1"));
    QVERIFY(fallo([&] { otra.CrearRs(rs); }).contains(QStringLiteral("QNOEXISTE")));

    // A missing INI leaves no entity and does not fail.
    Trelvan::Central vacia;
    vacia.LoadParameters(m_dir.filePath(QStringLiteral("no-hay.ini")));
    QVERIFY(!vacia.tieneEntidad(QStringLiteral("NCM")));
}

// SQLite on a full disk: told as such, whether SQLite says so or only reports an I/O error.
void TstConexiones::discoLleno_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<qint64>("libres"); // bytes free on the disk; -1: unknown
    QTest::addColumn<bool>("lleno");
    const QString io = QStringLiteral("disk I/O error Unable to fetch row");
    QTest::newRow("lleno según SQLite") << QStringLiteral("database or disk is full") << qint64(1) << true;
    QTest::newRow("sin espacio") << QStringLiteral("No space left on device") << qint64(-1) << true;
    QTest::newRow("E/S, disco sin espacio") << io << qint64(0) << true;
    QTest::newRow("E/S, casi sin espacio") << io << qint64(1024 * 1024 - 1) << true;
    QTest::newRow("E/S, con espacio") << io << qint64(1024 * 1024) << false;
    QTest::newRow("E/S, espacio desconocido") << io << qint64(-1) << false;
    QTest::newRow("otra falla, sin espacio") << QStringLiteral("database is locked") << qint64(0) << false;
}

void TstConexiones::discoLleno() {
    QFETCH(QString, texto);
    QFETCH(qint64, libres);
    QFETCH(bool, lleno);
    const QString d = Velno::describirErrorSqlite(texto, libres);
    QCOMPARE(d.startsWith(
                 QStringLiteral("No queda espacio en el disco para la base de datos: el disco está lleno")),
             lleno);
    QVERIFY2(d.endsWith(QStringLiteral(" (") + texto + u')'), qPrintable(d));
}

// The server's failures in Spanish, by their SQLSTATE, with the server's own text kept after it.
void TstConexiones::erroresDelServidor_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<QString>("espanol");
    const QString q = QStringLiteral(" QPSQL: Unable to create query");
    QTest::newRow("permiso") << QStringLiteral("ERROR:  permission denied for table subitems\n(42501)") + q
                             << QString()
                             << QStringLiteral("El usuario de la base de datos no tiene permiso");
    QTest::newRow("bloqueo mutuo") << QStringLiteral("ERROR:  deadlock detected\nDETAIL: ...(40P01)") + q
                                   << QString() << QStringLiteral("La operación chocó con la de otro puesto");
    QTest::newRow("tiempo") << QStringLiteral("ERROR:  canceling statement due to statement timeout(57014)") +
                                   q
                            << QString() << QStringLiteral("La operación superó el tiempo máximo");
    QTest::newRow("disco lleno")
        << QStringLiteral("ERROR:  could not extend file \"base/1/2\": No space left on device(53100)") + q
        << QString() << QStringLiteral("El servidor de base de datos se quedó sin espacio en el disco");
    QTest::newRow("texto largo")
        << QStringLiteral("ERROR:  value too long for type character varying(250)\n(22001)") + q << QString()
        << QStringLiteral("Un texto es más largo de lo que admite su columna");
    QTest::newRow("reinicio")
        << QStringLiteral("FATAL:  terminating connection due to administrator command(57P01)") + q
        << QString() << QStringLiteral("Se perdió la conexión con el servidor de base de datos (el servidor");
    QTest::newRow("código del controlador")
        << QStringLiteral("ERROR:  no space left") << QStringLiteral("53100")
        << QStringLiteral("El servidor de base de datos se quedó sin espacio");
    QTest::newRow("sin código, por el texto") << QStringLiteral("server closed the connection unexpectedly")
                                              << QString() << QStringLiteral("Se perdió la conexión");
}

void TstConexiones::erroresDelServidor() {
    QFETCH(QString, texto);
    QFETCH(QString, codigo);
    QFETCH(QString, espanol);
    const QString d = Velno::describirErrorSql(texto, codigo);
    QVERIFY2(d.startsWith(espanol), qPrintable(d));
    QVERIFY2(d.endsWith(QStringLiteral(" (") + texto.trimmed() + u')'), qPrintable(d));
    // A code nobody named leaves the server's text as it is.
    QCOMPARE(Velno::describirErrorSql(QStringLiteral("ERROR:  boom(P0001)") + QStringLiteral(" QPSQL: x")),
             QStringLiteral("ERROR:  boom(P0001) QPSQL: x"));
}

void TstConexiones::entidadSinServidor() {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        QSKIP("sin controlador QPSQL");
    Trelvan::Central c;
    Velno::ParametrosConexion p;
    p.driver = QStringLiteral("QPSQL");
    p.host = QStringLiteral("127.0.0.1");
    p.puerto = 1; // nothing listens there
    p.baseDeDatos = QStringLiteral("aduana");
    p.usuario = QStringLiteral("tarvix");
    p.clave = QStringLiteral("secreta-123");
    c.definirEntidad(QStringLiteral("INTERNOS"), p); // no connection yet: start-up never waits for a server
    Velno::clBase& b = c.getDataConnectionByEntity(QStringLiteral("INTERNOS"));
    b.setSql(QStringLiteral("select 1"));
    Recordset rs;
    const QString texto = fallo([&] { b.CrearRs(rs); });
    QVERIFY2(texto.contains(QStringLiteral("entidad INTERNOS")), qPrintable(texto));
    QVERIFY(!texto.contains(QStringLiteral("secreta-123")));
}

void TstConexiones::fechasPorMotor() {
    Trelvan::Central c;
    Velno::ParametrosConexion p;
    c.definirEntidad(QStringLiteral("INTERNOS"), p);
    p.driver = QStringLiteral("QPSQL");
    c.definirEntidad(QStringLiteral("PG"), p);
    p.driver = QStringLiteral("QODBC");
    c.definirEntidad(QStringLiteral("SQLSRV"), p);
    const QDateTime dt(QDate(2024, 3, 5), QTime(14, 30, 5));
    QCOMPARE(c.getDateFormatbyEntity(QStringLiteral("INTERNOS"), dt),
             QStringLiteral("'2024-03-05 14:30:05'"));
    QCOMPARE(c.getDateFormatbyEntity(QStringLiteral("PG"), dt),
             QStringLiteral("TIMESTAMP '2024-03-05 14:30:05'"));
    QCOMPARE(c.getDateFormatbyEntity(QStringLiteral("SQLSRV"), dt),
             QStringLiteral("{ts '2024-03-05 14:30:05'}"));
    {
        prueba::LocaleFijo l(QStringLiteral("es_AR"));
        QCOMPARE(c.getDateFormatbyEntity(QStringLiteral("INTERNOS"), QStringLiteral("5/3/2024")),
                 QStringLiteral("'2024-03-05 00:00:00'"));
        QCOMPARE(c.getDateFormatbyEntity(QStringLiteral("INTERNOS"), QStringLiteral("30/2/2024")),
                 QStringLiteral("NULL"));
    }
    {
        prueba::LocaleFijo l(QStringLiteral("en_US"));
        QCOMPARE(c.getDateFormatbyEntity(QStringLiteral("INTERNOS"), QStringLiteral("3/5/2024")),
                 QStringLiteral("'2024-03-05 00:00:00'"));
        QCOMPARE(c.getDateFormatbyEntity(QStringLiteral("INTERNOS"), QString()), QStringLiteral("NULL"));
    }
    QCOMPARE(c.getMidFormatbyEntity(QStringLiteral("INTERNOS"), QStringLiteral("SUFIJO"), 3,
                                    QStringLiteral("len(SUFIJO)")),
             QStringLiteral("substr(SUFIJO,3,len(SUFIJO))"));
    QCOMPARE(c.getMidFormatbyEntity(QStringLiteral("SQLSRV"), QStringLiteral("SUFIJO"), 3,
                                    QStringLiteral("len(SUFIJO)")),
             QStringLiteral("substring(SUFIJO,3,len(SUFIJO))"));
}

void TstConexiones::formatos() {
    Mesquel::Formatos f;
    for (const char* loc : {"es_AR", "en_US"}) {
        prueba::LocaleFijo l(QString::fromLatin1(loc));
        QCOMPARE(f.EsNumero(QVariant()), 0.0);
        QCOMPARE(f.EsNumero(QStringLiteral("abc")), 0.0);
        QCOMPARE(f.EsNumero(QVariant(qlonglong(12))), 12.0);
        QCOMPARE(f.EsNull(QVariant(QStringLiteral(" x "))), QStringLiteral(" x "));
    }
    prueba::LocaleFijo l(QStringLiteral("es_AR"));
    QCOMPARE(f.EsNumero(QStringLiteral("3,5")), 3.5);
    QCOMPARE(f.EsNull(QVariant(3.5)), QStringLiteral("3,5"));
}

QTEST_GUILESS_MAIN(TstConexiones)
#include "tst_conexiones.moc"
