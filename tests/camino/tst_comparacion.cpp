#include "camino.h"
#include "components/central.h"
#include "components/comparacion.h"
#include "components/vb.h"
#include "data/basesdedatos.h"
#include "data/rutas.h"
#include "pipeline/proceso.h"
#include "settings/logicarelpais.h"
#include "testsupport.h"
#include "transfer/actualcat.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <sqlite3.h>

using namespace tarvix;

namespace {

// Invoice rows with the fields the comparisons meet: article code and origin.
class Factura : public GrillaDatos {
public:
    explicit Factura(const QList<QStringList>& lineas) {
        m_filas << QStringList(5, QStringLiteral("titulo"))
                << QStringList{QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ DESCRIPC ]"),
                               QStringLiteral("[ CANTIDAD ]"), QStringLiteral("[ TOTAL ]"),
                               QStringLiteral("[ ORIGEN ]")};
        for (const QStringList& l : lineas)
            m_filas << QStringList{l[0], QStringLiteral("factura ") + l[0], QStringLiteral("2"),
                                   QStringLiteral("10"), l[1]};
    }
    int Rows() const override { return static_cast<int>(m_filas.size()); }
    int Cols() const override { return 5; }
    QString TextMatrix(int f, int c) const override { return m_filas.value(f).value(c); }

private:
    QList<QStringList> m_filas;
};

QStringList columna(const QList<QVariantMap>& filas, const QString& nombre) {
    QStringList r;
    for (const QVariantMap& f : filas)
        r << f.value(nombre).toString();
    return r;
}

// Runs the schema text of a resource on an SQLite file as a database made before texts compared
// without regard to case: no COLLATE in it, and the file opened without the program's comparison.
void crearBaseAntigua(const QString& ruta, const QStringList& recursos, const QStringList& filas) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("antigua"));
        db.setDatabaseName(ruta);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(db.transaction());
        QStringList sentencias;
        for (const QString& r : recursos) {
            QFile f(r);
            QVERIFY(f.open(QIODevice::ReadOnly));
            sentencias << bases::dividirScript(
                QString::fromUtf8(f.readAll()).remove(QStringLiteral(" COLLATE NOCASE")));
        }
        for (const QString& s : sentencias + filas)
            QVERIFY2(q.exec(s), qPrintable(s.left(80)));
        QVERIFY(db.commit());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("antigua"));
}

} // namespace

// Texts compare without regard to case (ASCII and the Latin-1 letters: Ñ, Á, Ü, …) and with
// regard to accents, in the working database and in the customs database on both engines.
class TstComparacion : public QObject {
    Q_OBJECT
private slots:
    void compararSinMayusculas_data();
    void compararSinMayusculas();
    void internoOrigenYCatalogo_data();
    void internoOrigenYCatalogo();
    void actualizacionDeBasesAntiguas();
};

void TstComparacion::compararSinMayusculas_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("signo");
    QTest::newRow("ñandú") << QStringLiteral("ÑANDÚ") << QStringLiteral("ñandú") << 0;
    QTest::newRow("ü ç") << QStringLiteral("PINGÜINO ÇA") << QStringLiteral("pingüino ça") << 0;
    QTest::newRow("acento") << QStringLiteral("JAPÓN") << QStringLiteral("JAPON") << 1;
    QTest::newRow("orden") << QStringLiteral("a2") << QStringLiteral("A1") << 1;
    QTest::newRow("orden 2") << QStringLiteral("a2") << QStringLiteral("A3") << -1;
    QTest::newRow("largo") << QStringLiteral("ab") << QStringLiteral("AB ") << -1;
    // × and ÷ are not a letter and its case; neither is a byte 0x80..0x9E after another lead byte.
    QTest::newRow("por y dividido") << QStringLiteral("×") << QStringLiteral("÷") << -1;
    QTest::newRow("otra página") << QStringLiteral("Ā") << QStringLiteral("Ġ") << -1;
    QTest::newRow("ñ tras z") << QStringLiteral("Ñ") << QStringLiteral("z") << 1;
}

void TstComparacion::compararSinMayusculas() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, signo);
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    const auto comparar = [](const QByteArray& p, const QByteArray& q) {
        const int r =
            comparacion::compararSinMayusculas(nullptr, int(p.size()), p.data(), int(q.size()), q.data());
        return (r > 0) - (r < 0);
    };
    QCOMPARE(comparar(x, y), signo);
    QCOMPARE(comparar(y, x), -signo);
}

void TstComparacion::internoOrigenYCatalogo_data() {
    QTest::addColumn<bool>("servidor");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgres") << true;
}

void TstComparacion::internoOrigenYCatalogo() {
    QFETCH(bool, servidor);
    const auto pg = prueba::servidorDePrueba();
    if (servidor && !pg)
        QSKIP(camino::kSinServidor);
    const QString catalogo = camino::nombrePropio(QStringLiteral("M"));
    camino::Programa p(servidor ? pg : std::nullopt, catalogo);
    camino::Limpieza limpieza(p, catalogo, {});
    QCOMPARE(p.mensajesNuevos(), QStringList());

    // Internos: one per text without regard to case, listed in that order.
    for (const char* nro : {"A1", "A3", "a2"}) {
        QString descripcion;
        QVERIFY(NuevoInterno(p.g, QString::fromLatin1(nro), descripcion));
    }
    QString descripcion;
    QVERIFY(!NuevoInterno(p.g, QStringLiteral("a1"), descripcion));
    QVERIFY(
        p.mensajesNuevos().value(0).startsWith(QStringLiteral("Ya existe un registro con la misma clave")));
    p.principal().FRAM1_CargarInternos();
    QStringList internos;
    for (const auto& i : p.principal().internos)
        internos << i.nro;
    QCOMPARE(internos, (QStringList{QStringLiteral("A1"), QStringLiteral("a2"), QStringLiteral("A3")}));

    // The catalog holds the codes in upper case; the relations of the origins too.
    for (const char* articulo : {"AB-12", "ÑANDÚ-1", "JAPÓN-3"})
        p.aduana(
            QStringLiteral("insert into catarticulos select ") + vb::SqlTexto(catalogo) + u',' +
            vb::SqlTexto(QString::fromUtf8(articulo)) +
            QStringLiteral(", descripcion, idpais, cantidad, Preciounitario, ncm, lapi, sufijos, idunidad, "
                           "estadistica, valorrelacionestadistica, EstadoMerc, deresp, descripcion_maria, "
                           "valorderesp, artkgunitario, codigoean from catarticulos where idcatalogo = '1' "
                           "and idarticulo = 'TX650'"));
    QVERIFY(prueba::fallo([&] {
                p.aduana(QStringLiteral("insert into catarticulos (idcatalogo, idarticulo) values (") +
                         vb::SqlTexto(catalogo) + QStringLiteral(", 'ab-12')"));
            }).startsWith(QStringLiteral("Ya existe un registro con la misma clave")));
    p.trabajo(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA', '310', '2'), "
                             "('ÑANDÚ', '221', '2'), ('JAPÓN', '320', '2')"));

    // The invoice writes them otherwise: only the one without its accent is not known.
    p.g.g_sInterno = QStringLiteral("a1");
    p.responderRelaciones(1, {{QStringLiteral("JAPON"), QStringLiteral("320")}});
    const Factura factura({{QStringLiteral("ab-12"), QStringLiteral("China")},
                           {QStringLiteral("ñandú-1"), QStringLiteral("ñandú")},
                           {QStringLiteral("JAPON-3"), QStringLiteral("JAPON")}});
    QVERIFY(FRAM2_GuardarDatosToBase(p.g, factura));
    QCOMPARE(p.mensajesNuevos(), QStringList());
    QVERIFY(p.guion.ventanasRelacionPais.isEmpty());
    const QList<QVariantMap> lineas =
        p.filasTrabajo(QStringLiteral("select * from ART where INTNRO = 'A1' order by ARTORD"));
    QCOMPARE(columna(lineas, QStringLiteral("artorg")),
             (QStringList{QStringLiteral("310"), QStringLiteral("221"), QStringLiteral("320")}));
    QCOMPARE(columna(lineas, QStringLiteral("prcest")),
             (QStringList{QStringLiteral("A"), QStringLiteral("A"), QString()}));
    QCOMPARE(columna(lineas, QStringLiteral("prcncm")).value(1), QStringLiteral("8467.21.00.000R"));

    // The catalog update finds the codes it holds and adds only the one it does not.
    bool ok = false;
    FRAM3_Transfer_C_ActualCAT(p.g, ok);
    QVERIFY(ok);
    const QList<QVariantMap> cat =
        p.filasAduana(QStringLiteral("select idarticulo, descripcion from catarticulos where idcatalogo = ") +
                      vb::SqlTexto(catalogo) + QStringLiteral(" order by idarticulo"));
    QCOMPARE(columna(cat, QStringLiteral("idarticulo")),
             (QStringList{QStringLiteral("AB-12"), QStringLiteral("JAPON-3"), QStringLiteral("JAPÓN-3"),
                          QStringLiteral("ÑANDÚ-1")}));
    QCOMPARE(columna(cat, QStringLiteral("descripcion")).value(0), QStringLiteral("factura ab-12"));
}

void TstComparacion::actualizacionDeBasesAntiguas() {
    prueba::aislarConfiguracion();
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/db")));
    // Interno "A1" beside "a1", each with a line 1: INTN and ART cannot take the comparison yet.
    crearBaseAntigua(rutas::baseTrabajo(dir.path()), {QStringLiteral(":/sql/trabajo/esquema.sql")},
                     {QStringLiteral("insert into INTN values ('A1', 'uno'), ('a1', 'otro'), ('B2', 'dos')"),
                      QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO) values ('A1', 1, 'X'), "
                                     "('a1', 1, 'Y'), ('B2', 1, 'Z')"),
                      QStringLiteral("insert into ORG values ('CHINA', '310', '2')"),
                      QStringLiteral("insert into PAIS values ('310', 'CHINA')")});
    crearBaseAntigua(rutas::baseAduana(dir.path()),
                     {QStringLiteral(":/sql/aduana/esquema.sql"), QStringLiteral(":/sql/aduana/demo.sql")},
                     {});
    const auto arrancar = [&](auto&& despues) {
        Globales g;
        InteraccionGuionada guion;
        g.interaccion = &guion;
        ControladorPrincipal c(g);
        c.Form_Load(dir.path());
        QCOMPARE(g.g_iPaso, 1);
        QCOMPARE(guion.avisos.size(), 0);
        despues(g, c);
    };
    const auto tabla = [](Globales& g, const QString& t) {
        return camino::filas(*g.g_oBase,
                             QStringLiteral("select sql from sqlite_master where name = ") + vb::SqlTexto(t))
            .value(0)
            .value(QStringLiteral("sql"))
            .toString();
    };
    arrancar([&](Globales& g, ControladorPrincipal& c) {
        QCOMPARE(c.internos.size(), size_t(3));
        QVERIFY(!tabla(g, QStringLiteral("INTN")).contains(QStringLiteral("COLLATE")));
        QVERIFY(!tabla(g, QStringLiteral("ART")).contains(QStringLiteral("COLLATE")));
        QVERIFY(tabla(g, QStringLiteral("ORG")).contains(QStringLiteral("PAI varchar(100) COLLATE NOCASE")));
        QCOMPARE(camino::filas(*g.g_oBase, QStringLiteral("select ORI from ORG where PAI = 'China'")).size(),
                 1);
        QCOMPARE(camino::filas(*g.g_oBase, QStringLiteral("select * from ART")).size(), 3);
        g.g_oBase->EjecutarDirecto(QStringLiteral("delete from ART where INTNRO = 'a1'"));
        g.g_oBase->EjecutarDirecto(QStringLiteral("delete from INTN where INTNRO = 'a1'"));
    });
    // Without the duplicates the next start upgrades them, keeping the columns it added and the index.
    arrancar([&](Globales& g, ControladorPrincipal& c) {
        QCOMPARE(c.internos.size(), size_t(2));
        QVERIFY(
            tabla(g, QStringLiteral("INTN")).contains(QStringLiteral("INTNRO varchar(20) COLLATE NOCASE")));
        QVERIFY(tabla(g, QStringLiteral("ART"))
                    .contains(QStringLiteral("CODIGOCIP varchar(250) COLLATE NOCASE")));
        QVERIFY(!tabla(g, QStringLiteral("ix_art_articulo")).isEmpty());
        QCOMPARE(camino::filas(*g.g_oBase, QStringLiteral("select * from ART where INTNRO = 'b2'")).size(),
                 1);
        Velno::clBase& aduana = g.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS"));
        QCOMPARE(
            camino::filas(aduana, QStringLiteral("select * from catarticulos where idarticulo = 'tx650'"))
                .size(),
            1);
    });

    // Any SQLite tool reads and filters both files with its own NOCASE.
    for (const QString& archivo : {rutas::baseTrabajo(dir.path()), rutas::baseAduana(dir.path())}) {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(archivo).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        sqlite3_stmt* s = nullptr;
        const char* sql = archivo.endsWith(QStringLiteral("aduana.db"))
                              ? "select count(*) from catarticulos where idarticulo = 'tx650'"
                              : "select count(*) from ART where INTNRO = 'b2' and ARTNRO = 'z'";
        QCOMPARE(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_step(s), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(s, 0), 1);
        sqlite3_finalize(s);
        sqlite3_close(db);
    }
}

QTEST_GUILESS_MAIN(TstComparacion)
#include "tst_comparacion.moc"
