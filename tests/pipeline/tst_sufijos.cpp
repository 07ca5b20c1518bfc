#include "components/sufijos.h"
#include "components/vb.h"
#include "pipeline/modglobal.h"
#include "programaprueba.h"
#include "testsupport.h"

#include <QElapsedTimer>

using namespace tarvix;
using prueba::errorDe;
using prueba::Programa;

namespace {

// 8467.21: AA and AB free, AH options AH01-AH04, ZB six digits.
const QString kTaladro = QStringLiteral("8467.21.00.000R");
const QString kTaladroValido = QStringLiteral("AA(ACME)-AB(X1)-AH01-ZB(000650)-");
// 7318.14: no suffix at all.
const QString kTornillo = QStringLiteral("7318.14.00.000K");

} // namespace

class TstSufijos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void posicionInexistente_data();
    void posicionInexistente();
    void articulosDelCatalogo();
    void textoArmadoEsValido();
    void textoNoValido_data();
    void textoNoValido();
    void posicionSinGrupos_data();
    void posicionSinGrupos();
    void gruposDeOpciones();
    void cacheCoherente();
    void sinConexion();
    void fallaDeBase();
    void diezMilLineas();

private:
    std::unique_ptr<Programa> m_p;
    std::unique_ptr<Sorvex::Sufijos> m_v;
};

void TstSufijos::initTestCase() {
    m_p = std::make_unique<Programa>(Programa::Opciones().sinPasos());
    QVERIFY2(m_p->listo(), qPrintable(m_p->guion.avisos.value(0).texto));
}

void TstSufijos::init() {
    m_v = std::make_unique<Sorvex::Sufijos>();
    m_v->ConexionString(*m_p->srv.g_oCentral);
}

void TstSufijos::posicionInexistente_data() {
    QTest::addColumn<QString>("posicion");
    QTest::newRow("no esta en ncm") << "9999.99.99.000A";
    QTest::newRow("otra letra") << "8467.21.00.000X";
    QTest::newRow("otra apertura") << "8467.21.00.100R";
    QTest::newRow("14 caracteres") << "8467.21.00.000";
    QTest::newRow("16 caracteres") << "8467.21.00.000R ";
    QTest::newRow("comas") << "8467,21,00,000R";
    QTest::newRow("sin puntos") << "84672100000R";
    QTest::newRow("vacia") << "";
    QTest::newRow("comilla") << "8'67.21.00.000R";
    QTest::newRow("comodin") << "8%67.21.00.000R";
}

void TstSufijos::posicionInexistente() {
    QFETCH(QString, posicion);
    // The position decides first, whatever the suffix text.
    QCOMPARE(m_v->ValidarSufijos(posicion, kTaladroValido), qint16(1));
    QCOMPARE(m_v->ValidarSufijos(posicion, QString()), qint16(1));
    QCOMPARE(m_v->ValidarSufijos(posicion, QStringLiteral("SIN SUFIJOS")), qint16(1));
}

void TstSufijos::articulosDelCatalogo() {
    // The demo catalogs carry complete suffix texts; their 14-character positions are not complete.
    Recordset rs =
        Programa::consultar(m_p->srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS")),
                            QStringLiteral("select idarticulo, ncm, sufijos from catarticulos"));
    int validos = 0;
    for (; !rs.Fin(); rs.MoveNext()) {
        const QString ncm = rs.Fields(QStringLiteral("ncm")).toString();
        const QString suf = rs.Fields(QStringLiteral("sufijos")).toString();
        const qint16 esperado = ncm.size() == 15 ? 0 : 1;
        validos += esperado == 0 ? 1 : 0;
        QVERIFY2(m_v->ValidarSufijos(ncm, suf) == esperado,
                 qPrintable(rs.Fields(QStringLiteral("idarticulo")).toString() + u' ' + ncm + u' ' + suf));
    }
    QCOMPARE(validos, 30);
}

void TstSufijos::textoArmadoEsValido() {
    // What the batch rule builds from complete data is accepted, in any order of the items.
    QString v1, v2 = QStringLiteral("650"), v3;
    const QString armado = ArmarSufijos(m_p->srv, kTaladro, QStringLiteral("ACME"), QStringLiteral("X1"),
                                        QStringLiteral("AH01"), v1, QStringLiteral("ZB"), v2, QString(), v3);
    QCOMPARE(armado, kTaladroValido);
    QCOMPARE(m_v->ValidarSufijos(kTaladro, armado), qint16(0));
    QCOMPARE(m_v->ValidarSufijos(kTaladro, QStringLiteral("ZB(000000)-AH04-AB(X1)-AA(A B & C)-")), qint16(0));
    QCOMPARE(m_v->ValidarSufijos(kTaladro, QStringLiteral("  ") + kTaladroValido + QStringLiteral(" ")),
             qint16(0));
    // Without the six-digit power the ZB group is missing.
    QString vacio;
    const QString incompleto =
        ArmarSufijos(m_p->srv, kTaladro, QStringLiteral("ACME"), QStringLiteral("X1"), QStringLiteral("AH01"),
                     vacio, QString(), vacio, QString(), vacio);
    QCOMPARE(m_v->ValidarSufijos(kTaladro, incompleto), qint16(2));
    // Within a run a position's groups are read once: the next line of that position builds its text
    // from them (with its own brand, model and values) even after the table changed; a new run reads
    // again.
    GruposPorPosicion leidos;
    QString v7 = QStringLiteral("7");
    QCOMPARE(ArmarSufijos(m_p->srv, kTaladro, QStringLiteral("ACME"), QStringLiteral("X1"),
                          QStringLiteral("AH01"), v1, QStringLiteral("ZB"), v2, QStringLiteral("AC"), v7,
                          &leidos),
             kTaladroValido);
    QCOMPARE(leidos.size(), 1);
    Programa::ejecutar(m_p->ncm(), QStringLiteral("insert into sufidos (sim, sufijo, detalle) values "
                                                  "('8467.21.00.000', 'AC', 'prueba')"));
    QCOMPARE(ArmarSufijos(m_p->srv, kTaladro, QStringLiteral("OTRA"), QStringLiteral("X2"),
                          QStringLiteral("AH01"), v1, QStringLiteral("ZB"), v2, QStringLiteral("AC"), v7,
                          &leidos),
             QStringLiteral("AA(OTRA)-AB(X2)-AH01-ZB(000650)-"));
    QCOMPARE(ArmarSufijos(m_p->srv, kTaladro, QStringLiteral("OTRA"), QStringLiteral("X2"),
                          QStringLiteral("AH01"), v1, QStringLiteral("ZB"), v2, QStringLiteral("AC"), v7),
             QStringLiteral("AA(OTRA)-AB(X2)-AC(7)-AH01-ZB(000650)-"));
    Programa::ejecutar(m_p->ncm(), QStringLiteral("delete from sufidos where detalle = 'prueba'"));
    // A position without any group is remembered as such.
    QString nada;
    QCOMPARE(ArmarSufijos(m_p->srv, kTornillo, QStringLiteral("ACME"), QStringLiteral("X1"), QString(), nada,
                          QString(), nada, QString(), nada, &leidos),
             QString());
    QCOMPARE(leidos.size(), 2);
    // A model holding "-" breaks its item.
    const QString conGuion =
        ArmarSufijos(m_p->srv, kTaladro, QStringLiteral("ACME"), QStringLiteral("TX-650"),
                     QStringLiteral("AH01"), v1, QStringLiteral("ZB"), v2, QString(), v3);
    QCOMPARE(m_v->ValidarSufijos(kTaladro, conGuion), qint16(2));
}

void TstSufijos::textoNoValido_data() {
    QTest::addColumn<QString>("texto");
    QTest::newRow("sin guion final") << "AA(ACME)-AB(X1)-AH01-ZB(000650)";
    QTest::newRow("falta grupo") << "AA(ACME)-AB(X1)-AH01-";
    QTest::newRow("falta grupo de opciones") << "AA(ACME)-AB(X1)-ZB(000650)-";
    QTest::newRow("grupo ajeno libre") << "AA(ACME)-AB(X1)-AH01-ZB(000650)-AI(X)-";
    QTest::newRow("grupo ajeno opcion") << "AA(ACME)-AB(X1)-AH01-ZB(000650)-AD01-";
    QTest::newRow("opcion inexistente") << "AA(ACME)-AB(X1)-AH09-ZB(000650)-";
    QTest::newRow("opcion corta") << "AA(ACME)-AB(X1)-AH0-ZB(000650)-";
    QTest::newRow("opcion con valor") << "AA(ACME)-AB(X1)-AH(01)-ZB(000650)-";
    QTest::newRow("libre sin valor") << "AA(ACME)-AB-AH01-ZB(000650)-";
    QTest::newRow("valor vacio") << "AA(ACME)-AB()-AH01-ZB(000650)-";
    QTest::newRow("valor en blanco") << "AA(  )-AB(X1)-AH01-ZB(000650)-";
    QTest::newRow("Z corto") << "AA(ACME)-AB(X1)-AH01-ZB(650)-";
    QTest::newRow("Z largo") << "AA(ACME)-AB(X1)-AH01-ZB(0006500)-";
    QTest::newRow("Z con letra") << "AA(ACME)-AB(X1)-AH01-ZB(00065A)-";
    QTest::newRow("grupo repetido") << "AA(ACME)-AA(OTRA)-AB(X1)-AH01-ZB(000650)-";
    QTest::newRow("guion en valor") << "AA(ACME)-AB(X-1)-AH01-ZB(000650)-";
    QTest::newRow("parentesis en valor") << "AA(ACME)-AB(X(1))-AH01-ZB(000650)-";
    QTest::newRow("blanco antes del guion") << "AA(ACME) -AB(X1)-AH01-ZB(000650)-";
    QTest::newRow("item vacio") << "AA(ACME)--AB(X1)-AH01-ZB(000650)-";
    QTest::newRow("minusculas") << "aa(ACME)-AB(X1)-AH01-ZB(000650)-";
    QTest::newRow("sin cierre") << "AA(ACME-AB(X1)-AH01-ZB(000650)-";
    QTest::newRow("SIN SUFIJOS") << "SIN SUFIJOS";
    QTest::newRow("vacio") << "";
    QTest::newRow("solo guion") << "-";
}

void TstSufijos::textoNoValido() {
    QFETCH(QString, texto);
    QCOMPARE(m_v->ValidarSufijos(kTaladro, texto), qint16(2));
}

void TstSufijos::posicionSinGrupos_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("codigo");
    QTest::newRow("vacio") << "" << 0;
    QTest::newRow("blancos") << "   " << 0;
    QTest::newRow("SIN SUFIJOS") << "SIN SUFIJOS" << 0;
    QTest::newRow("sin sufijos") << "sin sufijos" << 2;
    QTest::newRow("un grupo") << "AA(ACME)-" << 2;
    QTest::newRow("guion") << "-" << 2;
}

void TstSufijos::posicionSinGrupos() {
    QFETCH(QString, texto);
    QFETCH(int, codigo);
    QCOMPARE(m_v->ValidarSufijos(kTornillo, texto), qint16(codigo));
}

void TstSufijos::gruposDeOpciones() {
    // 8471.30: AD options from the heading, ZA from the subheading.
    const QString nb = QStringLiteral("8471.30.12.000Z");
    QCOMPARE(m_v->ValidarSufijos(nb, QStringLiteral("AA(N)-AB(M)-AD03-ZA(000008)-")), qint16(0));
    QCOMPARE(m_v->ValidarSufijos(nb, QStringLiteral("AA(N)-AB(M)-AD04-ZA(000008)-")), qint16(2));
    // "Ninguna opción" of the editor's dialogue: the group code followed by "00"; only its own group.
    QCOMPARE(m_v->ValidarSufijos(nb, QStringLiteral("AA(N)-AB(M)-AD00-ZA(000008)-")), qint16(0));
    QCOMPARE(m_v->ValidarSufijos(nb, QStringLiteral("AA(N)-AB(M)-AD00-ZA00-")), qint16(2));
    // 8471.60: the same heading without the ZA subheading.
    QCOMPARE(m_v->ValidarSufijos(QStringLiteral("8471.60.52.000D"),
                                 QStringLiteral("AA(N)-AB(M)-AD01-ZA(000008)-")),
             qint16(2));
    // Chapter 64 gives AA and AB, heading 6403 the BB options.
    QCOMPARE(m_v->ValidarSufijos(QStringLiteral("6403.40.00.000U"), QStringLiteral("BB02-AB(B)-AA(S)-")),
             qint16(0));
    QCOMPARE(m_v->ValidarSufijos(QStringLiteral("6403.40.00.000U"), QStringLiteral("BB99-AB(B)-AA(S)-")),
             qint16(2));
}

void TstSufijos::cacheCoherente() {
    // The same answers in any order, and the same as a fresh validator gives.
    const QString nb = QStringLiteral("8471.30.12.000Z");
    const QString textos[] = {kTaladroValido, QStringLiteral("AA(N)-AB(M)-AD03-ZA(000008)-"), QString(),
                              QStringLiteral("AA(ACME)-AB(X1)-AH01-")};
    const QString posiciones[] = {kTaladro, nb, kTornillo, QStringLiteral("9999.99.99.000A")};
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        for (const QString& p : posiciones) {
            for (const QString& t : textos) {
                Sorvex::Sufijos nuevo;
                nuevo.ConexionString(*m_p->srv.g_oCentral);
                QCOMPARE(m_v->ValidarSufijos(p, t), nuevo.ValidarSufijos(p, t));
            }
        }
    }
    // What was read is kept by the instance; ConexionString starts afresh.
    Programa::ejecutar(m_p->ncm(), QStringLiteral("insert into sufidos (sim, sufijo, detalle) "
                                                  "values ('7318.14.  .   ','ZE','PIEZAS')"));
    QCOMPARE(m_v->ValidarSufijos(kTornillo, QString()), qint16(0));
    m_v->ConexionString(*m_p->srv.g_oCentral);
    QCOMPARE(m_v->ValidarSufijos(kTornillo, QString()), qint16(2));
    QCOMPARE(m_v->ValidarSufijos(kTornillo, QStringLiteral("ZE(000012)-")), qint16(0));
    Programa::ejecutar(m_p->ncm(), QStringLiteral("delete from sufidos where sim = '7318.14.  .   '"));
}

void TstSufijos::sinConexion() {
    Sorvex::Sufijos v;
    const auto e = errorDe([&] { v.ValidarSufijos(kTaladro, kTaladroValido); });
    QVERIFY(e);
    QCOMPARE(e->origen(), QStringLiteral("Sorvex.Sufijos"));
    QVERIFY(e->descripcion().contains(QStringLiteral("nomenclador")));
}

void TstSufijos::fallaDeBase() {
    Programa otro(Programa::Opciones().sinPasos());
    Programa::ejecutar(otro.ncm(), QStringLiteral("drop table sufidos"));
    Sorvex::Sufijos v;
    v.ConexionString(*otro.srv.g_oCentral);
    const auto e = errorDe([&] { v.ValidarSufijos(kTaladro, kTaladroValido); });
    QVERIFY(e);
    QCOMPARE(e->numero(), errores::BaseDeDatos);
    QVERIFY2(e->descripcion().startsWith(QStringLiteral("No existe la tabla")), qPrintable(e->descripcion()));
}

void TstSufijos::diezMilLineas() {
    // Every demo position in turn, with the texts the run meets: 10,000 calls.
    Recordset rs =
        Programa::consultar(m_p->ncm(), QStringLiteral("select [001] as a, [002] as b, [003] as c from ncm"));
    QStringList posiciones;
    for (; !rs.Fin(); rs.MoveNext())
        posiciones << rs.Fields(QStringLiteral("a")).toString() + u'.' +
                          rs.Fields(QStringLiteral("b")).toString() +
                          rs.Fields(QStringLiteral("c")).toString();
    QVERIFY(posiciones.size() > 200);
    int ceros = 0;
    QElapsedTimer reloj;
    reloj.start();
    for (int i = 0; i < 10000; ++i) {
        const QString& p = posiciones[i % posiciones.size()];
        ceros += m_v->ValidarSufijos(p, i % 2 ? kTaladroValido : QString()) == 0 ? 1 : 0;
    }
    const qint64 ms = reloj.elapsed();
    QVERIFY2(ms < 500 * prueba::factorTiempo(), qPrintable(QStringLiteral("%1 ms").arg(ms)));
    QVERIFY(ceros > 0);
}

QTEST_GUILESS_MAIN(TstSufijos)
#include "tst_sufijos.moc"
