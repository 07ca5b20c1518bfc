#include "components/clbase.h"
#include "components/formatos.h"
#include "components/vberror.h"
#include "pipeline/proceso.h"
#include "programa.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;

namespace {

class Grilla : public GrillaDatos {
public:
    explicit Grilla(QStringList etiquetas) {
        m_filas.push_back(QStringList(etiquetas.size(), QStringLiteral("titulo")));
        m_filas.push_back(std::move(etiquetas));
    }
    void agregar(QStringList fila) { m_filas.push_back(std::move(fila)); }
    int Rows() const override { return static_cast<int>(m_filas.size()); }
    int Cols() const override { return static_cast<int>(m_filas[1].size()); }
    QString TextMatrix(int f, int c) const override {
        if (f < 0 || f >= Rows() || c < 0 || c >= Cols())
            throw VbError(381, QStringLiteral("MSFlexGrid"), QStringLiteral("Subíndice fuera del intervalo"));
        return m_filas[static_cast<size_t>(f)].value(c);
    }

private:
    std::vector<QStringList> m_filas;
};

const QStringList kEtiquetas = {QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ DESCRIPC ]"),
                                QStringLiteral("[ CANTIDAD ]"), QStringLiteral("[ UNIDAD ]"),
                                QStringLiteral("[ TOTAL ]"),    QStringLiteral("[ ORIGEN ]"),
                                QStringLiteral("[ KILOS ]"),    QStringLiteral("[ MARCA ]")};

struct Programa : prueba::Programa {
    explicit Programa(const QString& carpeta)
        : prueba::Programa(Opciones().enCarpeta(carpeta).sinPasos().sinAislar()) {
        estado.g_sInterno = QStringLiteral("24001");
        estado.g_sINTCAT = QStringLiteral("1");
        estado.g_sINTDUN = QStringLiteral("07");
        sql(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('24001','prueba')"));
        sql(QStringLiteral(
            "insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2'), ('COTE D''IVOIRE','107','2')"));
    }
    void sql(const QString& s) { ejecutar(s); }
    Recordset rs(const QString& s) { return consultar(s); }
    QString campo(int artord, const QString& columna) {
        Recordset r = rs(QStringLiteral("select %1 from ART where INTNRO = '24001' and ARTORD = %2")
                             .arg(columna)
                             .arg(artord));
        return r.Fin() ? QStringLiteral("<sin fila>") : srv.g_oFormatos->EsNull(r.Fields(columna));
    }
    QVariant valor(int artord, const QString& columna) {
        Recordset r = rs(QStringLiteral("select %1 from ART where INTNRO = '24001' and ARTORD = %2")
                             .arg(columna)
                             .arg(artord));
        return r.Fin() ? QVariant() : r.Fields(columna);
    }
    int lineas() {
        return rs(QStringLiteral("select count(*) as n from ART where INTNRO = '24001'")).Fields(0).toInt();
    }
};

} // namespace

class TstProceso : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sinCatalogo();
    void corridaCompleta_data();
    void corridaCompleta();
    void grillaVacia();
    void articuloNA();
    void filaEnBlanco();
    void paisNuevoPreguntaHastaRelacionar();
    void masDe32767Lineas();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstProceso::init() {
    prueba::aislarConfiguracion();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TstProceso::sinCatalogo() {
    Programa p(m_dir->path());
    p.sql(QStringLiteral("insert into ART (INTNRO, ARTORD) values ('24001', 1)"));
    p.estado.g_sINTCAT.clear();
    Grilla grilla(kEtiquetas);
    QVERIFY(!FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(m[0].texto, QStringLiteral("Falta seleccionar el CATALOGO\r\n\r\nHaga click en CONFIGURACIÓN"));
    QCOMPARE(m[0].icono, Icono::Exclamacion);
    QCOMPARE(p.lineas(), 1); // nothing deleted
    QVERIFY(p.progreso.visible);
}

void TstProceso::corridaCompleta_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_AR") << QStringLiteral("es_AR");
    QTest::newRow("en_US") << QStringLiteral("en_US");
}

void TstProceso::corridaCompleta() {
    QFETCH(QString, locale);
    prueba::LocaleFijo l(locale);
    Programa p(m_dir->path());
    const auto n = [&](const char* es, const char* en) {
        return QString::fromLatin1(locale == u"es_AR" ? es : en);
    };
    Grilla grilla(kEtiquetas);
    // Catalog article with brand, new article, catalog article with a zero total, a quote.
    grilla.agregar({QStringLiteral("TX650"), QStringLiteral("Taladro"), QStringLiteral("3"),
                    QStringLiteral("PCS"), QStringLiteral("10"), QStringLiteral("CHINA"), n("12,5", "12.5"),
                    QStringLiteral("acme")});
    grilla.agregar({QStringLiteral("NUEVO'1"), QStringLiteral("Art'iculo nuevo"), n("2,5", "2.5"),
                    QStringLiteral("KILOS"), n("100,25", "100.25"), QStringLiteral("COTE D'IVOIRE"),
                    QString(), QString()});
    grilla.agregar({QStringLiteral("JL24"), QString(), QStringLiteral("1"), QStringLiteral("UNIDAD"),
                    QStringLiteral("0"), QStringLiteral("CHINA"), QString(), QString()});
    QVERIFY2(FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla), qPrintable(p.guion.avisos.value(0).texto));
    QVERIFY(p.guion.avisos.isEmpty());
    QCOMPARE(p.lineas(), 3);
    QCOMPARE(p.progreso.mensajes.last(), QStringLiteral("Fin de Proceso"));
    QVERIFY(p.progreso.mensajes.contains(
        QStringLiteral("Procesando... Etapa 1 de 4: Guardando en base de datos")));
    QVERIFY(!p.progreso.visible);

    // Line 1: from the catalog, brand into the suffix text, validated.
    QCOMPARE(p.campo(1, QStringLiteral("ARTNRO")), QStringLiteral("TX650"));
    QCOMPARE(p.valor(1, QStringLiteral("ARTUNI")).toDouble(), 3.33333);
    QCOMPARE(p.valor(1, QStringLiteral("ARTCAN")).toDouble(), 3.0);
    QCOMPARE(p.valor(1, QStringLiteral("ARTKGU")).toDouble(), 12.5);
    QCOMPARE(p.campo(1, QStringLiteral("PRCDUN")), QStringLiteral("07"));
    QCOMPARE(p.campo(1, QStringLiteral("ARTORG")), QStringLiteral("310"));
    QCOMPARE(p.campo(1, QStringLiteral("PRCORI")), QStringLiteral("310"));
    QCOMPARE(p.campo(1, QStringLiteral("MARCA")), QStringLiteral("ACME"));
    QCOMPARE(p.campo(1, QStringLiteral("MODELO")), QStringLiteral("TX650"));
    QCOMPARE(p.campo(1, QStringLiteral("PRCNCM")), QStringLiteral("8467.21.00.000R"));
    QCOMPARE(p.campo(1, QStringLiteral("PRCSUF")), QStringLiteral("AA(ACME)-AB(TX650)-AH01-ZB(000650)-"));
    QCOMPARE(p.campo(1, QStringLiteral("PRCLAP")), QStringLiteral("S"));
    QCOMPARE(p.campo(1, QStringLiteral("ARTDSC")), QStringLiteral("Taladro"));
    QCOMPARE(p.campo(1, QStringLiteral("ARTDSCMARIA")),
             QStringLiteral("TALADRO PERCUTOR ELECTRICO 650 W MANDRIL 13 MM"));
    QCOMPARE(p.campo(1, QStringLiteral("CODIGOCIP")), QStringLiteral("6930077100003"));
    QCOMPARE(p.campo(1, QStringLiteral("PRCEUN")), QStringLiteral("07"));
    QCOMPARE(p.campo(1, QStringLiteral("PRCEST")), QStringLiteral("A"));
    QCOMPARE(p.campo(1, QStringLiteral("PRCCRC")), QStringLiteral("OK"));
    QCOMPARE(p.valor(1, QStringLiteral("PRCECA")).toDouble(), 3.0);
    QCOMPARE(p.campo(1, QStringLiteral("PRCESM")), QStringLiteral("2"));

    // Line 2: new article, quotes cleaned, kilos unit, origin with a quote found in ORG.
    QCOMPARE(p.campo(2, QStringLiteral("ARTNRO")), QStringLiteral("NUEVO 1"));
    QCOMPARE(p.campo(2, QStringLiteral("MODELO")), QStringLiteral("NUEVO 1"));
    QCOMPARE(p.campo(2, QStringLiteral("ARTDSC")), QStringLiteral("Art iculo nuevo"));
    QCOMPARE(p.campo(2, QStringLiteral("PRCDUN")), QStringLiteral("01"));
    QCOMPARE(p.valor(2, QStringLiteral("ARTCAN")).toDouble(), 2.5);
    QCOMPARE(p.valor(2, QStringLiteral("ARTTOT")).toDouble(), 100.25);
    QCOMPARE(p.valor(2, QStringLiteral("ARTUNI")).toDouble(), 40.1);
    QCOMPARE(p.campo(2, QStringLiteral("ARTORG")), QStringLiteral("107"));
    QCOMPARE(p.valor(2, QStringLiteral("ARTKGU")).toDouble(), 0.0);
    QCOMPARE(p.campo(2, QStringLiteral("MARCA")), QString()); // mapped, empty cell
    QCOMPARE(p.campo(2, QStringLiteral("PRCEST")), QString());
    QVERIFY(p.valor(2, QStringLiteral("PRCCRC")).isNull());

    // Line 3: found, but a zero total: not validated, observation written.
    QCOMPARE(p.campo(3, QStringLiteral("PRCEST")), QString());
    QCOMPARE(p.campo(3, QStringLiteral("PRCOBS")), QStringLiteral("EL FOB TOTAL NO PUEDE SER CERO 0"));
    QVERIFY(p.valor(3, QStringLiteral("PRCCRC")).isNull());
    QCOMPARE(p.campo(3, QStringLiteral("ARTDSC")), QStringLiteral("JUEGO LLAVES COMBINADAS 24 PIEZAS"));
}

void TstProceso::grillaVacia() {
    Programa p(m_dir->path());
    p.sql(QStringLiteral("insert into ART (INTNRO, ARTORD) values ('24001', 1), ('24001', 2)"));
    Grilla grilla(kEtiquetas);
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
    QCOMPARE(p.lineas(), 0);
}

void TstProceso::articuloNA() {
    Programa p(m_dir->path());
    Grilla grilla(kEtiquetas);
    grilla.agregar({QStringLiteral("A1"), QStringLiteral("uno"), QStringLiteral("1"), QString(),
                    QStringLiteral("5"), QStringLiteral("CHINA"), QString(), QString()});
    grilla.agregar({QStringLiteral("n/a "), QStringLiteral("dos"), QStringLiteral("1"), QString(),
                    QStringLiteral("5"), QStringLiteral("CHINA"), QString(), QString()});
    QVERIFY(!FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(m[0].icono, Icono::Critico);
    const QString esperado = QStringLiteral(
        "El codigo de articulo no puede ser N/A, linea 3\r\n\r\n-2146102393 - seccion "
        "[VezezirAZEDO2_TARVIX.frmMain.FRAM2_GuardarDatosToBase (80)]::[ "
        "VezezirAZEDO2_TARVIX.modGlobal.ValidarCodigoArticulo Linea 0 ]VALIDACION.ARTICULO\r\n\r\n"
        "linea excel 3 articulo excel n/a \r\ninsert into ART (INTNRO , ARTORD");
    QVERIFY2(m[0].texto.startsWith(esperado), qPrintable(prueba::visible(m[0].texto)));
    QCOMPARE(p.lineas(), 1); // the line above stays stored
}

void TstProceso::filaEnBlanco() {
    Programa p(m_dir->path());
    Grilla grilla(kEtiquetas);
    grilla.agregar(QStringList(kEtiquetas.size(), QString()));
    QVERIFY(!FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
    const QString t = p.guion.mensajes().value(0).texto;
    QVERIFY2(
        t.startsWith(QStringLiteral("División por cero\r\n\r\n11 - seccion [VezezirAZEDO2_TARVIX.frmMain."
                                    "FRAM2_GuardarDatosToBase (100)]::")),
        qPrintable(prueba::visible(t)));
    QVERIFY(t.contains(QStringLiteral("linea excel 2 articulo excel \r\n")));
}

void TstProceso::paisNuevoPreguntaHastaRelacionar() {
    Programa p(m_dir->path());
    int ventanas = 0;
    // First window closed without saving: asked again. Second one saves the relation.
    p.guion.ventanasRelacionPais.enqueue([&] {
        ++ventanas;
        QCOMPARE(p.estado.g_sRetorno, QStringLiteral("MADE IN ITALY"));
        p.estado.g_sRetorno.clear();
    });
    p.guion.ventanasRelacionPais.enqueue([&] {
        ++ventanas;
        p.sql(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('MADE IN ITALY','417','2')"));
        p.estado.g_sRetorno = QStringLiteral("417");
        p.estado.g_sRetornoESM = QStringLiteral("2");
    });
    Grilla grilla(kEtiquetas);
    grilla.agregar({QStringLiteral("X1"), QStringLiteral("uno"), QStringLiteral("1"), QString(),
                    QStringLiteral("5"), QStringLiteral(" MADE IN ITALY "), QString(), QString()});
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
    QCOMPARE(ventanas, 2);
    QCOMPARE(p.campo(1, QStringLiteral("ARTORG")), QStringLiteral("417"));
    QCOMPARE(p.campo(1, QStringLiteral("PRCORI")), QStringLiteral("417"));
}

void TstProceso::masDe32767Lineas() {
    Programa p(m_dir->path());
    Grilla grilla({QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ DESCRIPC ]"),
                   QStringLiteral("[ CANTIDAD ]"), QStringLiteral("[ TOTAL ]"),
                   QStringLiteral("[ ORIGEN ]")});
    const int n = 32800;
    for (int i = 0; i < n; ++i)
        grilla.agregar({QStringLiteral("Z%1").arg(i), QStringLiteral("d"), QStringLiteral("1"),
                        QStringLiteral("2"), QString()});
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
    QCOMPARE(p.lineas(), n);
    QCOMPARE(p.campo(n, QStringLiteral("ARTNRO")), QStringLiteral("Z%1").arg(n - 1));
}

QTEST_GUILESS_MAIN(TstProceso)
#include "tst_proceso.moc"
