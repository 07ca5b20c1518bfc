#include "data/conexionaduana.h"
#include "data/rutas.h"
#include "testsupport.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;
using Tipo = ConexionAduana::Tipo;

// Where the customs database is: what the first start writes, reads back and tries.
class TstConexionAduana : public QObject {
    Q_OBJECT
private slots:
    void faltante_data();
    void faltante();
    void escribirYLeer();
    void probar();
};

void TstConexionAduana::faltante_data() {
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("puerto");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("origen");
    QTest::addColumn<QString>("falta");
    const int srv = static_cast<int>(Tipo::Servidor);
    const int odbc = static_cast<int>(Tipo::Odbc);
    QTest::newRow("demostración") << static_cast<int>(Tipo::Demostracion) << "" << 0 << ""
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("servidor completo") << srv << "db1" << 5432 << "aduana"
                                       << "ana"
                                       << ""
                                       << "";
    QTest::newRow("sin servidor") << srv << "  " << 5432 << "aduana"
                                  << "ana"
                                  << ""
                                  << "Falta el nombre o la dirección del servidor.";
    QTest::newRow("puerto fuera de rango") << srv << "db1" << 70000 << "aduana"
                                           << "ana"
                                           << ""
                                           << "El puerto debe ser un número entre 1 y 65535.";
    QTest::newRow("sin base") << srv << "db1" << 5432 << ""
                              << "ana"
                              << ""
                              << "Falta el nombre de la base de datos.";
    QTest::newRow("sin usuario") << srv << "db1" << 5432 << "aduana"
                                 << " "
                                 << ""
                                 << "Falta el usuario.";
    QTest::newRow("odbc sin origen") << odbc << "" << 0 << ""
                                     << ""
                                     << ""
                                     << "Falta el nombre del origen de datos ODBC.";
    QTest::newRow("odbc") << odbc << "" << 0 << ""
                          << ""
                          << "ADUANA"
                          << "";
}

void TstConexionAduana::faltante() {
    QFETCH(int, tipo);
    ConexionAduana c;
    c.tipo = static_cast<Tipo>(tipo);
    QFETCH(QString, host);
    QFETCH(int, puerto);
    QFETCH(QString, base);
    QFETCH(QString, usuario);
    QFETCH(QString, origen);
    c.host = host;
    c.puerto = puerto;
    c.base = base;
    c.usuario = usuario;
    c.origen = origen;
    QTEST(conexion::faltante(c), "falta");
    // What is missing stops the file from being written.
    QTemporaryDir dir;
    QString error;
    QCOMPARE(conexion::escribirEntidades(dir.path(), c, &error), conexion::faltante(c).isEmpty());
    QCOMPARE(error, conexion::faltante(c));
}

void TstConexionAduana::escribirYLeer() {
    QTemporaryDir dir;
    const QString ini = rutas::iniEntidades(dir.path());
    QVERIFY(conexion::esPrimerArranque(dir.path()));
    QVERIFY(!conexion::usaDemostracion(dir.path()));

    // A server with a password: both entities, the file readable only by its owner.
    ConexionAduana srv;
    srv.tipo = Tipo::Servidor;
    srv.host = QStringLiteral("aduana.local");
    srv.puerto = 6543;
    srv.base = QStringLiteral("kalmora");
    srv.usuario = QStringLiteral("ana");
    srv.clave = QStringLiteral("cl'ave;#1");
    QString error;
    QVERIFY2(conexion::escribirEntidades(dir.path(), srv, &error), qPrintable(error));
    QVERIFY(!conexion::esPrimerArranque(dir.path()));
    QCOMPARE(QFile::permissions(ini) &
                 (QFile::ReadGroup | QFile::ReadOther | QFile::ReadUser | QFile::ReadOwner),
             QFile::ReadOwner | QFile::ReadUser);
    {
        QSettings s(ini, QSettings::IniFormat);
        for (const char* entidad : {"NCM", "INTERNOS"}) {
            s.beginGroup(QString::fromLatin1(entidad));
            QCOMPARE(s.value(QStringLiteral("driver")).toString(), QStringLiteral("QPSQL"));
            QCOMPARE(s.value(QStringLiteral("password")).toString(), srv.clave);
            s.endGroup();
        }
    }
    ConexionAduana leida = conexion::leerEntidades(dir.path());
    QCOMPARE(leida.tipo, Tipo::Servidor);
    QCOMPARE(leida.host, srv.host);
    QCOMPARE(leida.puerto, 6543);
    QCOMPARE(leida.base, srv.base);
    QCOMPARE(leida.usuario, srv.usuario);
    QCOMPARE(leida.clave, srv.clave);
    QVERIFY(!conexion::usaDemostracion(dir.path()));

    // An ODBC data source replaces it.
    ConexionAduana odbc;
    odbc.tipo = Tipo::Odbc;
    odbc.origen = QStringLiteral("ADUANA");
    QVERIFY(conexion::escribirEntidades(dir.path(), odbc, &error));
    leida = conexion::leerEntidades(dir.path());
    QCOMPARE(leida.tipo, Tipo::Odbc);
    QCOMPARE(leida.origen, QStringLiteral("ADUANA"));

    // The demonstration database: created with its entity file, and recognised as such.
    QVERIFY2(conexion::escribirEntidades(dir.path(), ConexionAduana{}, &error), qPrintable(error));
    QVERIFY(QFile::exists(rutas::baseAduana(dir.path())));
    QCOMPARE(conexion::leerEntidades(dir.path()).tipo, Tipo::Demostracion);
    QVERIFY(conexion::usaDemostracion(dir.path()));

    // A data folder that cannot hold the file (a file stands in its place): a clear failure.
    const QString noEsCarpeta = dir.filePath(QStringLiteral("archivo"));
    QFile f(noEsCarpeta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(!conexion::escribirEntidades(noEsCarpeta, srv, &error));
    QVERIFY2(error.startsWith(QStringLiteral("No se puede escribir la configuración de bases de datos")),
             qPrintable(error));
}

void TstConexionAduana::probar() {
    QTemporaryDir dir;
    QCOMPARE(conexion::probarConexion(ConexionAduana{}, dir.path()), QString());
    const auto pg = prueba::servidorDePrueba();
    if (!pg)
        QSKIP("Sin servidor PostgreSQL de prueba (TARVIX_PG_HOST no definido)");
    ConexionAduana c;
    c.tipo = Tipo::Servidor;
    c.host = pg->host;
    c.puerto = pg->puerto;
    c.base = pg->baseDeDatos;
    c.usuario = pg->usuario;
    c.clave = pg->clave;
    QCOMPARE(conexion::probarConexion(c, dir.path()), QString());
    // A wrong password and a database that is not there: the reason, in Spanish.
    c.clave = QStringLiteral("no-es-la-clave");
    const QString clave = conexion::probarConexion(c, dir.path());
    QVERIFY(!clave.isEmpty());
    QVERIFY2(clave.startsWith(
                 QStringLiteral("No se puede abrir la base aduanera: Usuario o contraseña incorrectos")),
             qPrintable(clave));
    c.clave = pg->clave;
    c.base = QStringLiteral("no_existe_esta_base");
    QVERIFY(!conexion::probarConexion(c, dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TstConexionAduana)
#include "tst_conexionaduana.moc"
