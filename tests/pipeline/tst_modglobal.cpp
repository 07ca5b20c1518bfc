#include "components/vb.h"
#include "pipeline/modglobal.h"
#include "programaprueba.h"

using namespace tarvix;
using prueba::errorDe;
using prueba::Programa;
using Aviso = InteraccionGuionada::Aviso;

namespace {

const QString kEtiqueta = QStringLiteral("[ VezezirAZEDO2_TARVIX.modGlobal.");

int ventanasAbiertas(const InteraccionGuionada& guion) {
    int n = 0;
    for (const Aviso& a : guion.avisos)
        n += a.tipo == Aviso::Tipo::RelacionPais ? 1 : 0;
    return n;
}

// ArmarSufijos with brand ACME, model X1 and the given suffixes.
struct Armado {
    QString sufijo1, valor1, sufijo2, valor2, sufijo3, valor3;
    QString armar(const Servicios& srv, const QString& posicion) {
        return ArmarSufijos(srv, posicion, QStringLiteral("ACME"), QStringLiteral("X1"), sufijo1, valor1,
                            sufijo2, valor2, sufijo3, valor3);
    }
};

} // namespace

class TstModGlobal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void validarCodigoArticulo_data();
    void validarCodigoArticulo();
    void formatearNCM_data();
    void formatearNCM();
    void obtenerCodigoUnidad_data();
    void obtenerCodigoUnidad();

    void procesarUnidades_data();
    void procesarUnidades();
    void procesarUnidadesSinFactor();
    void procesarUnidadesErrores();

    void buscarOrigenVacio();
    void buscarOrigenConocido();
    void buscarOrigenPreguntaHastaGuardar();
    void buscarOrigenConComilla();
    void buscarOrigenFallas();
    void buscarOrigenLargo_data();
    void buscarOrigenLargo();

    void armarSufijosGrupos();
    void armarSufijosValoresZ();
    void armarSufijosGrupoPropio();
    void armarSufijosComillaEnPosicion();
    void armarSufijosFallas();

    void implementarValor_data();
    void implementarValor();
    void implementarValorVariable();
    void implementarValorSinCierre();

private:
    std::unique_ptr<Programa> m_p;
};

void TstModGlobal::initTestCase() {
    m_p = std::make_unique<Programa>(Programa::Opciones().sinPasos());
    QVERIFY2(m_p->listo(), qPrintable(m_p->guion.avisos.value(0).texto));
}

void TstModGlobal::validarCodigoArticulo_data() {
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<QString>("mensaje"); // empty: the code passes
    const QString na = QStringLiteral("El codigo de articulo no puede ser N/A, linea 7");
    const QString nas = QStringLiteral("El codigo de articulo no puede ser N/AS, linea 7");
    QTest::newRow("N/A") << "N/A" << na;
    QTest::newRow("n/a entre blancos") << "  n/a " << na;
    QTest::newRow("n/as entre blancos") << " n/as  " << nas;
    QTest::newRow("N/A1") << "N/A1" << QString();
    QTest::newRow("NA") << "NA" << QString();
    QTest::newRow("vacio") << "" << QString();
    QTest::newRow("tabulador") << "\tN/A" << QString(); // only blanks are trimmed
}

void TstModGlobal::validarCodigoArticulo() {
    QFETCH(QString, codigo);
    QFETCH(QString, mensaje);
    const auto e = errorDe([&] { ValidarCodigoArticulo(codigo, 7); });
    if (mensaje.isEmpty()) {
        QVERIFY2(!e, e ? qPrintable(e->descripcion()) : "");
        return;
    }
    QVERIFY(e);
    QCOMPARE(e->numero(), -2146102393);
    QCOMPARE(e->origen(), kEtiqueta + QStringLiteral("ValidarCodigoArticulo Linea 0 ]VALIDACION.ARTICULO"));
    QCOMPARE(e->descripcion(), mensaje);
}

void TstModGlobal::formatearNCM_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("12 caracteres") << "84672100000R"
                                   << "8467.21.00.000R";
    QTest::newRow("ya con puntos") << "8467.21.00.000R"
                                   << "8467.21.00.000R";
    QTest::newRow("8 digitos") << "84672100"
                               << "84672100";
    QTest::newRow("11 caracteres") << "84672100000"
                                   << "84672100000";
    QTest::newRow("vacio") << ""
                           << "";
}

void TstModGlobal::formatearNCM() {
    QFETCH(QString, texto);
    QFETCH(QString, esperado);
    QCOMPARE(FormatearNCM(texto), esperado);
}

void TstModGlobal::obtenerCodigoUnidad_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("kilos y blanco") << "kilos "
                                    << "01";
    QTest::newRow("Kilo") << " Kilo"
                          << "01";
    QTest::newRow("pcs") << "pcs"
                         << "07";
    QTest::newRow("Unidad") << "Unidad"
                            << "07";
    QTest::newRow("PZA") << "PZA"
                         << "99";
    QTest::newRow("KG") << "KG"
                        << "99";
    QTest::newRow("vacio") << ""
                           << "99";
}

void TstModGlobal::obtenerCodigoUnidad() {
    QFETCH(QString, texto);
    QFETCH(QString, esperado);
    Servicios srv;
    EstadoAsistente estado;
    estado.g_sINTDUN = QStringLiteral("99");
    QCOMPARE(ObtenerCodigoUnidad(estado, texto), esperado);
}

void TstModGlobal::procesarUnidades_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("unidad");
    QTest::addColumn<double>("cantidad");
    QTest::addColumn<double>("total");
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<double>("cantidadDestino");
    QTest::addColumn<double>("precioDestino");
    for (const char* loc : {"es_AR", "en_US"}) {
        const QString l = QString::fromLatin1(loc);
        QTest::addRow("%s LB", loc) << l << "LB" << 10.0 << 100.0 << "01" << 4.54 << 22.04586;
        QTest::addRow("%s FT", loc) << l << "FT" << 10.0 << 30.0 << "02" << 3.05 << 9.84252;
        QTest::addRow("%s IN", loc) << l << "IN" << 100.0 << 10.0 << "02" << 2.54 << 3.93685;
        QTest::addRow("%s YD", loc) << l << "YD" << 3.0 << 10.0 << "02" << 2.74 << 3.64538;
        QTest::addRow("%s GA", loc) << l << "GA" << 2.0 << 10.0 << "05" << 7.57 << 1.32100;
        QTest::addRow("%s LB grande", loc)
            << l << "LB" << 12345.0 << 999999.0 << "01" << 5599.69 << 178.58107;
    }
}

void TstModGlobal::procesarUnidades() {
    QFETCH(QString, locale);
    QFETCH(QString, unidad);
    QFETCH(double, cantidad);
    QFETCH(double, total);
    QFETCH(QString, codigo);
    QFETCH(double, cantidadDestino);
    QFETCH(double, precioDestino);
    prueba::LocaleFijo fijo(locale);
    DatosUnidad d;
    d.UnidadOrigen = unidad;
    d.Cantidad = cantidad;
    d.PrecioUnitario = 1.5;
    d.Total = total;
    ProcesarUnidades(d);
    QCOMPARE(d.UnidadDestino, codigo);
    QCOMPARE(d.CantidadDestino, cantidadDestino);
    QCOMPARE(d.PrecioDestino, precioDestino);
    // The input stays as it was.
    QCOMPARE(d.UnidadOrigen, unidad);
    QCOMPARE(d.Cantidad, cantidad);
}

void TstModGlobal::procesarUnidadesSinFactor() {
    for (const char* u : {"EA", "EACH", "RL", "BX"}) {
        DatosUnidad d;
        d.UnidadOrigen = QString::fromLatin1(u);
        d.Cantidad = 3.333;
        d.PrecioUnitario = 1.23456789;
        d.Total = 4.11;
        ProcesarUnidades(d);
        QCOMPARE(d.UnidadDestino, QStringLiteral("07"));
        QCOMPARE(d.CantidadDestino, 3.333);
        QCOMPARE(d.PrecioDestino, 1.23456789);
    }
}

void TstModGlobal::procesarUnidadesErrores() {
    for (const char* u : {"lb", "LB ", ""}) {
        DatosUnidad d;
        d.UnidadOrigen = QString::fromLatin1(u);
        d.Cantidad = 10;
        d.Total = 100;
        const auto e = errorDe([&] { ProcesarUnidades(d); });
        QVERIFY2(e, u);
        QCOMPARE(e->numero(), -2147220393);
        QCOMPARE(e->origen(), QStringLiteral("modglobal.ProcesarUnidades::ProcesarUnidades"));
        QCOMPARE(e->descripcion(), QStringLiteral("No se reconoce la unidad: ") + d.UnidadOrigen);
    }
    // A quantity of 0 with a factor unit fails in the division.
    DatosUnidad d;
    d.UnidadOrigen = QStringLiteral("LB");
    d.Total = 100;
    const auto e = errorDe([&] { ProcesarUnidades(d); });
    QVERIFY(e);
    QCOMPARE(e->numero(), -2147220393);
    QCOMPARE(e->origen(), QStringLiteral("modglobal.ProcesarUnidades::"));
    QCOMPARE(e->descripcion(), QStringLiteral("División por cero"));
}

void TstModGlobal::buscarOrigenVacio() {
    Servicios srv;
    EstadoAsistente estado; // no database and no window: nothing may be looked up
    const DatosOrigen o = BuscarOrigen(srv, estado, QString());
    QVERIFY(o.ORI.isEmpty());
    QVERIFY(o.ESM.isEmpty());
}

void TstModGlobal::buscarOrigenConocido() {
    Velno::clBase& base = *m_p->srv.g_oBase;
    Programa::ejecutar(base, QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
    Programa::ejecutar(base,
                       QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('SIN DATOS',NULL,NULL)"));
    m_p->guion.limpiar();
    DatosOrigen o = BuscarOrigen(m_p->srv, m_p->estado, QStringLiteral("CHINA"));
    QCOMPARE(o.ORI, QStringLiteral("310"));
    QCOMPARE(o.ESM, QStringLiteral("2"));
    o = BuscarOrigen(m_p->srv, m_p->estado, QStringLiteral("SIN DATOS"));
    QVERIFY(o.ORI.isEmpty());
    QVERIFY(o.ESM.isEmpty());
    QCOMPARE(ventanasAbiertas(m_p->guion), 0);
}

void TstModGlobal::buscarOrigenPreguntaHastaGuardar() {
    Servicios& srv = m_p->srv;
    EstadoAsistente& estado = m_p->estado;
    InteraccionGuionada& guion = m_p->guion;
    guion.limpiar();
    QStringList recibido;
    // First window: closed without saving. Second: saves the relation.
    guion.ventanasRelacionPais.enqueue([&] {
        recibido << estado.g_sRetorno + u'|' + estado.g_sRetornoESM;
        estado.g_sRetorno.clear();
    });
    guion.ventanasRelacionPais.enqueue([&] {
        recibido << estado.g_sRetorno + u'|' + estado.g_sRetornoESM;
        Programa::ejecutar(*srv.g_oBase,
                           QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('TAIWAN','313','5')"));
        estado.g_sRetorno = QStringLiteral("313");
        estado.g_sRetornoESM = QStringLiteral("5");
    });
    estado.g_sRetornoESM = QStringLiteral("resto");
    DatosOrigen o = BuscarOrigen(srv, estado, QStringLiteral("TAIWAN"));
    QCOMPARE(o.ORI, QStringLiteral("313"));
    QCOMPARE(o.ESM, QStringLiteral("5"));
    QCOMPARE(recibido, (QStringList{QStringLiteral("TAIWAN|"), QStringLiteral("TAIWAN|")}));
    QCOMPARE(ventanasAbiertas(guion), 2);
    // Related now: no window the next time.
    o = BuscarOrigen(srv, estado, QStringLiteral("TAIWAN"));
    QCOMPARE(o.ORI, QStringLiteral("313"));
    QCOMPARE(ventanasAbiertas(guion), 2);
}

void TstModGlobal::buscarOrigenConComilla() {
    Servicios& srv = m_p->srv;
    EstadoAsistente& estado = m_p->estado;
    const QString pais = QStringLiteral("COTE D'IVOIRE");
    srv.setInteraccion(&m_p->guion);
    m_p->guion.limpiar();
    m_p->guion.ventanasRelacionPais.enqueue([&] {
        Programa::ejecutar(*srv.g_oBase, QStringLiteral("insert into ORG (PAI, ORI, ESM) values (") +
                                             vb::SqlTexto(estado.g_sRetorno) + QStringLiteral(",'406','2')"));
        estado.g_sRetorno = QStringLiteral("406");
        estado.g_sRetornoESM = QStringLiteral("2");
    });
    QCOMPARE(BuscarOrigen(srv, estado, pais).ORI, QStringLiteral("406"));
    QCOMPARE(BuscarOrigen(srv, estado, pais).ORI, QStringLiteral("406"));
    QCOMPARE(ventanasAbiertas(m_p->guion), 1);
    Recordset rs = Programa::consultar(*srv.g_oBase, QStringLiteral("select PAI from ORG where ORI = '406'"));
    QCOMPARE(rs.Fields(QStringLiteral("PAI")).toString(), pais);
}

void TstModGlobal::buscarOrigenFallas() {
    // A failing database: 1111 with the source and the description of the failure.
    Programa otro(Programa::Opciones().sinPasos());
    Programa::ejecutar(*otro.srv.g_oBase, QStringLiteral("drop table ORG"));
    auto e = errorDe([&] { BuscarOrigen(otro.srv, otro.estado, QStringLiteral("CHINA")); });
    QVERIFY(e);
    QCOMPARE(e->numero(), 1111);
    QCOMPARE(e->origen(), QStringLiteral("Velno.clBase"));
    QVERIFY2(e->descripcion().startsWith(QStringLiteral("No existe la tabla")), qPrintable(e->descripcion()));

    // An unknown country and no window to ask with: an error, not an endless loop.
    Servicios srv = m_p->srv;
    EstadoAsistente estado = m_p->estado;
    srv.setInteraccion(nullptr);
    e = errorDe([&] { BuscarOrigen(srv, estado, QStringLiteral("ATLANTIDA")); });
    QVERIFY(e);
    QCOMPARE(e->numero(), 1111);
    QVERIFY(e->descripcion().contains(QStringLiteral("ATLANTIDA")));
}

void TstModGlobal::buscarOrigenLargo_data() {
    QTest::addColumn<int>("largo");
    QTest::newRow("lo que cabe en la ventana") << 32767;
    QTest::newRow("uno más") << 32768;
}

// A text the window's box would cut could never be related: one error for the line, no window.
void TstModGlobal::buscarOrigenLargo() {
    QFETCH(int, largo);
    Servicios& srv = m_p->srv;
    EstadoAsistente& estado = m_p->estado;
    m_p->guion.limpiar();
    const QString pais(largo, u'X');
    m_p->guion.ventanasRelacionPais.enqueue([&] {
        Programa::ejecutar(*srv.g_oBase, QStringLiteral("insert into ORG (PAI, ORI, ESM) values (") +
                                             vb::SqlTexto(estado.g_sRetorno) + QStringLiteral(",'310','2')"));
        estado.g_sRetorno = QStringLiteral("310");
    });
    const auto e = errorDe([&] { QCOMPARE(BuscarOrigen(srv, estado, pais).ORI, QStringLiteral("310")); });
    QCOMPARE(ventanasAbiertas(m_p->guion), largo <= 32767 ? 1 : 0);
    QCOMPARE(bool(e), largo > 32767);
    if (e) {
        QCOMPARE(e->numero(), 1111);
        QCOMPARE(e->descripcion(),
                 QStringLiteral("El origen tiene 32768 caracteres y la ventana de relación de "
                                "países admite hasta 32767: acórtelo en la planilla y "
                                "vuelva a procesar"));
    }
}

void TstModGlobal::armarSufijosGrupos() {
    const Servicios& srv = m_p->srv;
    // 8467.21: AA, AB and the option group AH from the heading, ZB from the subheading.
    Armado a;
    QCOMPARE(a.armar(srv, QStringLiteral("8467.21.00.000R")), QStringLiteral("AA(ACME)-AB(X1)-"));
    a.sufijo1 = QStringLiteral("AH01");
    a.sufijo2 = QStringLiteral("ZB");
    a.valor2 = QStringLiteral("650");
    QCOMPARE(a.armar(srv, QStringLiteral("8467.21.00.000R")),
             QStringLiteral("AA(ACME)-AB(X1)-AH01-ZB(000650)-"));
    QCOMPARE(a.valor2, QStringLiteral("000650"));
    // The third pair, and the AI group carrying the model.
    Armado b;
    b.sufijo3 = QStringLiteral("ZC");
    b.valor3 = QStringLiteral("20");
    QCOMPARE(b.armar(srv, QStringLiteral("8516.50.00.000D")), QStringLiteral("AA(ACME)-AI(X1)-ZC(000020)-"));
    // A position without groups.
    Armado c;
    c.sufijo1 = QStringLiteral("ZA");
    c.valor1 = QStringLiteral("7");
    QCOMPARE(c.armar(srv, QStringLiteral("7318.14.00.000K")), QString());
    QCOMPARE(c.valor1, QStringLiteral("000007")); // formatted before the groups are known
    // Brand and model go into their items as they come, "-" included.
    const QString conGuion =
        ArmarSufijos(srv, QStringLiteral("8205.40.00.000C"), QStringLiteral("B-D"), QStringLiteral("X-1"),
                     c.sufijo2, c.valor2, c.sufijo2, c.valor2, c.sufijo2, c.valor2);
    QCOMPARE(conGuion, QStringLiteral("AA(B-D)-AB(X-1)-"));
}

void TstModGlobal::armarSufijosValoresZ() {
    // 8539.52: groups AA and ZB. A suffix longer than two characters is written alone.
    Armado a;
    a.sufijo1 = QStringLiteral("ZB1");
    a.valor1 = QStringLiteral("12");
    a.sufijo2 = QStringLiteral("AB");
    a.valor2 = QStringLiteral("12");
    QCOMPARE(a.armar(m_p->srv, QStringLiteral("8539.52.00.100X")), QStringLiteral("AA(ACME)-ZB1-"));
    QCOMPARE(a.valor1, QStringLiteral("000012"));
    QCOMPARE(a.valor2, QStringLiteral("12")); // not a Z suffix: unchanged
    // A value that is not a number is left as it is.
    Armado b;
    b.sufijo1 = QStringLiteral("ZB");
    b.valor1 = QStringLiteral("N/D");
    QCOMPARE(b.armar(m_p->srv, QStringLiteral("8539.52.00.100X")), QStringLiteral("AA(ACME)-ZB(N/D)-"));
}

void TstModGlobal::armarSufijosGrupoPropio() {
    Programa::ejecutar(
        m_p->ncm(),
        QStringLiteral("insert into sufidos (sim, sufijo, detalle) values ('8301.  .  .   ','XY','P')"));
    Armado a;
    a.sufijo1 = QStringLiteral("XY");
    a.valor1 = QStringLiteral("5");
    QCOMPARE(a.armar(m_p->srv, QStringLiteral("8301.10.00.000X")), QStringLiteral("AA(ACME)-XY(5)-"));
    QCOMPARE(a.valor1, QStringLiteral("5"));
    Programa::ejecutar(m_p->ncm(), QStringLiteral("delete from sufidos where sufijo = 'XY'"));
}

void TstModGlobal::armarSufijosComillaEnPosicion() {
    Armado a;
    const auto e = errorDe([&] { a.armar(m_p->srv, QStringLiteral("8'67.21.00.000R")); });
    QVERIFY2(!e, e ? qPrintable(e->descripcion()) : "");
}

void TstModGlobal::armarSufijosFallas() {
    // The entity is missing: the substring expression fails first.
    Servicios srv;
    EstadoAsistente estado;
    Trelvan::Central sinEntidades;
    srv.g_oCentral = &sinEntidades;
    Armado a;
    auto e = errorDe([&] { a.armar(srv, QStringLiteral("8467.21.00.000R")); });
    QVERIFY(e);
    QCOMPARE(e->numero(), -2146102393);
    QCOMPARE(e->origen(), kEtiqueta + QStringLiteral("ArmarSufijos Linea 40 ]Trelvan.Central"));
    QVERIFY(e->descripcion().contains(QStringLiteral("NCM")));

    // The query fails.
    Programa otro(Programa::Opciones().sinPasos());
    Programa::ejecutar(otro.ncm(), QStringLiteral("drop table sufidos"));
    e = errorDe([&] { a.armar(otro.srv, QStringLiteral("8467.21.00.000R")); });
    QVERIFY(e);
    QCOMPARE(e->numero(), -2146102393);
    QCOMPARE(e->origen(),
             kEtiqueta + QStringLiteral("ArmarSufijos Linea 140 ]base de datos de la entidad NCM"));
    QVERIFY2(e->descripcion().startsWith(QStringLiteral("No existe la tabla")), qPrintable(e->descripcion()));
}

void TstModGlobal::implementarValor_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("forzar");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("valor presente") << "AA(OLD)-"
                                    << "AA"
                                    << "new" << false << "AA(OLD)-";
    QTest::newRow("forzado") << "AA(OLD)-"
                             << "AA"
                             << "new" << true << "AA(NEW)-";
    QTest::newRow("vacio") << "AA()-"
                           << "AA"
                           << "new" << false << "AA(NEW)-";
    QTest::newRow("AC siempre") << "AC(OLD)-AB(X)-"
                                << "AC"
                                << "nuevo" << false << "AC(NUEVO)-AB(X)-";
    QTest::newRow("Z seis digitos") << "AA(M)-ZA()-"
                                    << "ZA"
                                    << "7" << false << "AA(M)-ZA(000007)-";
    QTest::newRow("Z no numerico") << "ZA()-"
                                   << "ZA"
                                   << "x" << false << "ZA(X)-";
    QTest::newRow("grupo ausente") << " aa(m)-ab(x) "
                                   << "ZZ"
                                   << "1" << true << "AA(M)-AB(X)";
    QTest::newRow("mayusculas cuentan") << "aa(m)-"
                                        << "AA"
                                        << "1" << true << "AA(M)-";
    QTest::newRow("resto tal cual") << " ab(x)-AA(old)-zz "
                                    << "AA"
                                    << "n" << true << " ab(x)-AA(N)-zz ";
    QTest::newRow("20 caracteres") << "AB()-"
                                   << "AB"
                                   << "abcdefghijklmnopqrstuvwxyz" << false << "AB(ABCDEFGHIJKLMNOPQRST)-";
}

void TstModGlobal::implementarValor() {
    QFETCH(QString, texto);
    QFETCH(QString, codigo);
    QFETCH(QString, valor);
    QFETCH(bool, forzar);
    QFETCH(QString, esperado);
    QCOMPARE(ImplementarVALORenSufijos(texto, codigo, valor, forzar), esperado);
}

void TstModGlobal::implementarValorVariable() {
    // The caller's value is cut to 20 characters and upper-cased; the six digits stay in the text.
    QString valor = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    ImplementarVALORenSufijos(QStringLiteral("AB(X)-"), QStringLiteral("AB"), valor, false);
    QCOMPARE(valor, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    valor = QStringLiteral("7");
    QCOMPARE(ImplementarVALORenSufijos(QStringLiteral("ZA()-"), QStringLiteral("ZA"), valor, false),
             QStringLiteral("ZA(000007)-"));
    QCOMPARE(valor, QStringLiteral("7"));
    // Without the group only the cut happens.
    valor = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    ImplementarVALORenSufijos(QStringLiteral("AA(M)-"), QStringLiteral("AB"), valor, true);
    QCOMPARE(valor, QStringLiteral("abcdefghijklmnopqrst"));
}

void TstModGlobal::implementarValorSinCierre() {
    QString valor = QStringLiteral("n");
    const auto e = errorDe(
        [&] { ImplementarVALORenSufijos(QStringLiteral("AA(OLD-"), QStringLiteral("AA"), valor, true); });
    QVERIFY(e);
    QCOMPARE(e->numero(), -2146102393);
    QCOMPARE(e->origen(), kEtiqueta + QStringLiteral("ImplementarVALORenSufijos Linea 0 ]"));
    QCOMPARE(e->descripcion(), QStringLiteral("Llamada a procedimiento o argumento no válido"));
}

QTEST_GUILESS_MAIN(TstModGlobal)
#include "tst_modglobal.moc"
