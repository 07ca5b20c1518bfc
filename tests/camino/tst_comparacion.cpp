#include "camino.h"
#include "components/central.h"
#include "components/comparacion.h"
#include "components/vb.h"
#include "data/rutas.h"
#include "pipeline/proceso.h"
#include "testsupport.h"
#include "transfer/actualcat.h"

#include <QDir>
#include <QFile>
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

// Runs SQL on an SQLite file opened as any SQLite tool opens it: without the program's comparison.
// The text of the first row of the last statement (empty when it gives none).
QString sinElPrograma(const QString& archivo, const QByteArray& sql) {
    sqlite3* db = nullptr;
    QString r;
    const auto fila = [](void* destino, int, char** v, char**) {
        *static_cast<QString*>(destino) = QString::fromUtf8(v[0]);
        return 0;
    };
    if (sqlite3_open(QFile::encodeName(archivo).constData(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql.constData(), fila, &r, nullptr) != SQLITE_OK)
        r = QStringLiteral("falla: ") + QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return r;
}

// A schema of the program as it was before texts compared without regard to case.
QByteArray esquemaAntiguo(const QString& recurso) {
    QFile f(recurso);
    return f.open(QIODevice::ReadOnly) ? f.readAll().replace(" COLLATE NOCASE", "") : QByteArray();
}

} // namespace

// Texts compare without regard to case (ASCII and the Latin-1 letters: Ñ, Á, Ü, …) and with
// regard to accents, in the working database and in the customs database on both engines.
class TstComparacion : public QObject {
    Q_OBJECT
private slots:
    void compararSinMayusculas();
    void internoOrigenYCatalogo_data();
    void internoOrigenYCatalogo();
    void actualizacionDeBasesAntiguas();
};

void TstComparacion::compararSinMayusculas() {
    struct Caso {
        const char *a, *b;
        int signo;
    };
    // × and ÷ (0xC3 0x97 and 0xC3 0xB7) are no letter and its case, nor is Ā (0xC4 0x80) one of Ġ.
    for (const Caso& c : {Caso{"ÑANDÚ", "ñandú", 0}, Caso{"PINGÜINO ÇA", "pingüino ça", 0},
                          Caso{"JAPÓN", "JAPON", 1}, Caso{"a2", "A1", 1}, Caso{"a2", "A3", -1},
                          Caso{"ab", "AB ", -1}, Caso{"×", "÷", -1}, Caso{"Ā", "Ġ", -1}, Caso{"Ñ", "z", 1}}) {
        const int r =
            comparacion::compararSinMayusculas(nullptr, int(qstrlen(c.a)), c.a, int(qstrlen(c.b)), c.b);
        const int s =
            comparacion::compararSinMayusculas(nullptr, int(qstrlen(c.b)), c.b, int(qstrlen(c.a)), c.a);
        QVERIFY2((r > 0) - (r < 0) == c.signo && (s > 0) - (s < 0) == -c.signo, c.a);
    }
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

    // Internos: one per text without regard to case, listed in that order.
    QString descripcion;
    for (const char* nro : {"A1", "A3", "a2"})
        QVERIFY(NuevoInterno(p.srv, p.estado, QString::fromLatin1(nro), descripcion));
    QVERIFY(!NuevoInterno(p.srv, p.estado, QStringLiteral("a1"), descripcion));
    QVERIFY(
        p.mensajesNuevos().value(0).startsWith(QStringLiteral("Ya existe un registro con la misma clave")));
    p.principal().FRAM1_CargarInternos();
    QStringList internos;
    for (const auto& i : p.principal().internos)
        internos << i.nro;
    QCOMPARE(internos, (QStringList{QStringLiteral("A1"), QStringLiteral("a2"), QStringLiteral("A3")}));

    // The catalog holds the codes in upper case, the relations the origins too.
    for (const char* articulo : {"AB-12", "ÑANDÚ-1", "JAPÓN-3"})
        p.ejecutarAduana(
            QStringLiteral("insert into catarticulos select %1, %2, descripcion, idpais, cantidad, "
                           "Preciounitario, ncm, lapi, sufijos, idunidad, estadistica, "
                           "valorrelacionestadistica, EstadoMerc, deresp, descripcion_maria, valorderesp, "
                           "artkgunitario, codigoean from catarticulos where idcatalogo = '1' and "
                           "idarticulo = 'TX650'")
                .arg(vb::SqlTexto(catalogo), vb::SqlTexto(QString::fromUtf8(articulo))));
    QVERIFY(prueba::fallo([&] {
                p.ejecutarAduana(
                    QStringLiteral("insert into catarticulos (idcatalogo, idarticulo) values (%1, 'ab-12')")
                        .arg(vb::SqlTexto(catalogo)));
            }).startsWith(QStringLiteral("Ya existe un registro con la misma clave")));
    p.ejecutar(QStringLiteral("insert into ORG values ('CHINA', '310', '2'), ('ÑANDÚ', '221', '2'), "
                              "('JAPÓN', '320', '2')"));

    // The invoice writes them otherwise: only the ones without their accent are not known.
    p.estado.g_sInterno = QStringLiteral("a1");
    p.responderRelaciones(1, {{QStringLiteral("JAPON"), QStringLiteral("320")}});
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado,
                                     Factura({{QStringLiteral("ab-12"), QStringLiteral("China")},
                                              {QStringLiteral("ñandú-1"), QStringLiteral("ñandú")},
                                              {QStringLiteral("JAPON-3"), QStringLiteral("JAPON")}})));
    QCOMPARE(p.mensajesNuevos(), QStringList());
    QVERIFY(p.guion.ventanasRelacionPais.isEmpty());
    const auto lineas =
        p.filasTrabajo(QStringLiteral("select * from ART where INTNRO = 'A1' order by ARTORD"));
    QCOMPARE(columna(lineas, QStringLiteral("artorg")),
             (QStringList{QStringLiteral("310"), QStringLiteral("221"), QStringLiteral("320")}));
    QCOMPARE(columna(lineas, QStringLiteral("prcest")),
             (QStringList{QStringLiteral("A"), QStringLiteral("A"), {}}));
    QCOMPARE(columna(lineas, QStringLiteral("prcncm")).value(1), QStringLiteral("8467.21.00.000R"));

    // The catalog update finds the codes it holds and adds only the one it does not.
    bool ok = false;
    FRAM3_Transfer_C_ActualCAT(p.srv, p.estado, ok);
    QVERIFY(ok);
    const auto cat =
        p.filasAduana(QStringLiteral("select * from catarticulos where idcatalogo = %1 order by idarticulo")
                          .arg(vb::SqlTexto(catalogo)));
    QCOMPARE(columna(cat, QStringLiteral("idarticulo")),
             (QStringList{QStringLiteral("AB-12"), QStringLiteral("JAPON-3"), QStringLiteral("JAPÓN-3"),
                          QStringLiteral("ÑANDÚ-1")}));
    QCOMPARE(columna(cat, QStringLiteral("descripcion")).value(0), QStringLiteral("factura ab-12"));
}

void TstComparacion::actualizacionDeBasesAntiguas() {
    prueba::aislarConfiguracion();
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/db")));
    const QString trabajo = rutas::baseTrabajo(dir.path()), aduana = rutas::baseAduana(dir.path());
    // Interno "A1" beside "a1", each with a line 1: INTN and ART cannot take the comparison yet.
    QCOMPARE(
        sinElPrograma(trabajo,
                      esquemaAntiguo(QStringLiteral(":/sql/trabajo/esquema.sql")) +
                          "insert into INTN values ('A1', ''), ('a1', ''), ('B2', '');"
                          "insert into ART (INTNRO, ARTORD, ARTNRO) values ('A1', 1, 'X'), "
                          "('a1', 1, 'Y'), ('B2', 1, 'Z'); insert into ORG values ('CHINA', '310', '2');"),
        QString());
    QCOMPARE(sinElPrograma(aduana, "begin;" + esquemaAntiguo(QStringLiteral(":/sql/aduana/esquema.sql")) +
                                       esquemaAntiguo(QStringLiteral(":/sql/aduana/demo.sql")) + "commit;"),
             QString());
    const auto arrancar = [&](const std::function<void(Servicios&)>& despues) {
        Servicios srv;
        EstadoAsistente estado;
        InteraccionGuionada guion;
        srv.setInteraccion(&guion);
        ControladorPrincipal c(srv, estado);
        c.Form_Load(dir.path());
        QVERIFY(estado.g_iPaso == 1 && guion.avisos.isEmpty());
        despues(srv);
    };
    const auto contar = [](Velno::clBase& b, const QString& sql) {
        return int(camino::filas(b, sql).size());
    };
    // Every text column of the table compares without regard to case.
    const auto conComparacion = [&](Servicios& srv, const char* tabla) {
        const QString sql =
            camino::filas(*srv.g_oBase, QStringLiteral("select sql from sqlite_master where name = '%1'")
                                            .arg(QString::fromLatin1(tabla)))
                .value(0)
                .value(QStringLiteral("sql"))
                .toString();
        return sql.count(QStringLiteral("varchar(")) == sql.count(QStringLiteral(") COLLATE NOCASE"));
    };
    arrancar([&](Servicios& srv) {
        QVERIFY(!conComparacion(srv, "INTN") && !conComparacion(srv, "ART") && conComparacion(srv, "ORG"));
        QCOMPARE(contar(*srv.g_oBase, QStringLiteral("select * from ORG where PAI = 'China'")), 1);
        QCOMPARE(contar(*srv.g_oBase, QStringLiteral("select * from ART")), 3);
        srv.g_oBase->EjecutarDirecto(QStringLiteral("delete from ART where INTNRO = 'a1'"));
        srv.g_oBase->EjecutarDirecto(QStringLiteral("delete from INTN where INTNRO = 'a1'"));
    });
    // Without them the next start upgrades both, keeping the columns it added and the index.
    arrancar([&](Servicios& srv) {
        QVERIFY(conComparacion(srv, "INTN") && conComparacion(srv, "ART"));
        QCOMPARE(contar(*srv.g_oBase,
                        QStringLiteral("select * from ART where INTNRO = 'b2' and CODIGOCIP is null")),
                 1);
        QCOMPARE(contar(*srv.g_oBase,
                        QStringLiteral("select * from sqlite_master where name = 'ix_art_articulo'")),
                 1);
        QCOMPARE(contar(srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS")),
                        QStringLiteral("select * from catarticulos where idarticulo = 'tx650'")),
                 1);
    });
    // Any SQLite tool reads and filters both files with its own NOCASE.
    QCOMPARE(sinElPrograma(trabajo, "select count(*) from ART where INTNRO = 'b2' and ARTNRO = 'z'"),
             QStringLiteral("1"));
    QCOMPARE(sinElPrograma(aduana, "select count(*) from catarticulos where idarticulo = 'tx650'"),
             QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TstComparacion)
#include "tst_comparacion.moc"
