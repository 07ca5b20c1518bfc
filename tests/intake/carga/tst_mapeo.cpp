#include "app/controladorprincipal.h"
#include "components/interaccionguionada.h"
#include "intake/carga/mapeo.h"
#include "intake/carga/paso2.h"
#include "testsupport.h"

#include <QTest>

using namespace tarvix;
using Aviso = InteraccionGuionada::Aviso;

namespace {

// Step 2 with a loaded grid of `columnas` columns and three data lines, current cell in a data row.
struct Paso2 {
    Globales g;
    InteraccionGuionada guion;
    ControladorPrincipal principal{g};
    ControladorPaso2 paso{g, principal};

    explicit Paso2(int columnas) {
        g.interaccion = &guion;
        ModeloGrilla& m = paso.grilla();
        m.setCols(columnas);
        m.setRows(5);
        m.setRow(3);
    }
    ModeloGrilla& m() { return paso.grilla(); }
    // F1 on column `columna`, the chooser answering `respuesta` ("" for Esc).
    void f1(int columna, const QString& respuesta) {
        m().setRow(4);
        m().setCol(columna);
        guion.ventanasCampo.enqueue([this, respuesta] { g.g_sRetorno = respuesta; });
        paso.FRAM2_Grid_KeyDown(ControladorPaso2::vbKeyF1);
    }
    QStringList campos() {
        QStringList r;
        for (int c = 0; c < m().Cols(); ++c)
            r << m().TextMatrix(1, c);
        return r;
    }
    void poner(const QStringList& etiquetas) {
        for (int c = 0; c < etiquetas.size(); ++c)
            m().setTextMatrix(1, c, etiquetas[c]);
    }
};

} // namespace

class TstMapeo : public QObject {
    Q_OBJECT
private slots:
    void etiquetasDelSelector();
    void f1EstableceBorraYConserva();
    void f1SinFilaDeCamposInforma();
    void automaticaYVerificacion();
    void automaticaEnGrillaAngosta();
    void verificacion_data();
    void verificacion();
    void elAsistenteVerificaAntesDeAvanzar();
};

void TstMapeo::etiquetasDelSelector() {
    QStringList etiquetas;
    for (const QStringView e : kEtiquetasCampo)
        etiquetas << e.toString();
    QCOMPARE(etiquetas,
             (QStringList{"< ninguno >", "[ ARTICULO ]", "[ DESCRIPC ]", "[ UNIDAD ]", "[ UNIDAD QX ]",
                          "[ CANTIDAD ]", "[ TOTAL ]", "[ ORIGEN ]", "[ PROCEDENCIA ]", "[ KILOS ]",
                          "[ FECHA_EMBARQUE ]", "[ FECHA_ARRIBO ]", "[ MARCA ]", "[ OTROS ]"}));
}

void TstMapeo::f1EstableceBorraYConserva() {
    Paso2 p(4);
    p.f1(2, QStringLiteral("[ TOTAL ]"));
    QCOMPARE(p.campos(), (QStringList{"", "", "[ TOTAL ]", ""}));
    QCOMPARE(p.m().Row(), 1);
    QCOMPARE(p.m().Col(), 2);
    QCOMPARE(p.m().TextMatrix(4, 2), QString()); // the data row is untouched

    // Esc: the chooser hands back nothing, even with an old answer lying in g_sRetorno.
    p.g.g_sRetorno = QStringLiteral("[ MARCA ]");
    p.f1(2, QString());
    QCOMPARE(p.campos(), (QStringList{"", "", "[ TOTAL ]", ""}));

    p.f1(2, QStringLiteral("< ninguno >"));
    QCOMPARE(p.campos(), (QStringList{"", "", "", ""}));

    // Only F1 opens the chooser.
    p.guion.limpiar();
    p.paso.FRAM2_Grid_KeyDown(113);
    QVERIFY(p.guion.avisos.isEmpty());
    QVERIFY(p.guion.mensajes().isEmpty());
}

void TstMapeo::f1SinFilaDeCamposInforma() {
    Paso2 p(4);
    p.m().setRows(1);
    p.guion.ventanasCampo.enqueue([&p] { p.g.g_sRetorno = QStringLiteral("[ ARTICULO ]"); });
    p.paso.FRAM2_Grid_KeyDown(ControladorPaso2::vbKeyF1);
    QCOMPARE(p.guion.mensajes().size(), 1);
    QCOMPARE(prueba::visible(p.guion.mensajes()[0].texto),
             prueba::visible(QStringLiteral("Subíndice fuera del intervalo\r\n\r\n381 - seccion "
                                            "[VezezirAZEDO2_TARVIX.frmMain.FRAM2_EstablecerCampo]")));
    QCOMPARE(p.guion.mensajes()[0].icono, Icono::Critico);
}

void TstMapeo::automaticaYVerificacion() {
    Paso2 p(24);
    p.m().setTextMatrix(1, 0, QStringLiteral("[ OTROS ]"));
    p.m().setTextMatrix(1, 7, QStringLiteral("[ TOTAL ]"));
    p.paso.cmdAutomatico_Click();
    QVERIFY(p.guion.mensajes().isEmpty());
    QStringList esperado(24);
    esperado[0] = QStringLiteral("[ OTROS ]");
    esperado[7] = QStringLiteral("[ TOTAL ]"); // an earlier label elsewhere stays
    esperado[4] = QStringLiteral("[ CANTIDAD ]");
    esperado[5] = QStringLiteral("[ UNIDAD ]");
    esperado[9] = QStringLiteral("[ TOTAL ]");
    esperado[10] = QStringLiteral("[ ORIGEN ]");
    esperado[12] = QStringLiteral("[ FECHA_EMBARQUE ]");
    esperado[13] = QStringLiteral("[ FECHA_ARRIBO ]");
    esperado[16] = QStringLiteral("[ PROCEDENCIA ]");
    esperado[20] = QStringLiteral("[ MARCA ]");
    esperado[22] = QStringLiteral("[ ARTICULO ]");
    QCOMPARE(p.campos(), esperado);

    p.m().setTextMatrix(1, 7, QString());
    QVERIFY(!p.paso.FRAM2_VerificarDatos());
    QCOMPARE(p.guion.mensajes().last().texto, QStringLiteral("Falta establecer el campo DESCRIPCION"));
    p.f1(1, QStringLiteral("[ DESCRIPC ]"));
    QVERIFY(p.paso.FRAM2_VerificarDatos());
}

void TstMapeo::automaticaEnGrillaAngosta() {
    Paso2 p(11);
    p.paso.cmdAutomatico_Click();
    QCOMPARE(p.guion.mensajes().size(), 1);
    const Aviso a = p.guion.mensajes()[0];
    QCOMPARE(
        prueba::visible(a.texto),
        prueba::visible(QStringLiteral("Subíndice fuera del intervalo\r\n\r\n381 - "
                                       "seccion[VezezirAZEDO2_TARVIX.frmMain.cmdAutomatico_Click Linea 50 "
                                       "]::VezezirAZEDO2_TARVIX")));
    QCOMPARE(a.icono, Icono::Ninguno);
    QCOMPARE(a.botones, Botones::Aceptar);
    QCOMPARE(p.campos(), (QStringList{"", "", "", "", "[ CANTIDAD ]", "[ UNIDAD ]", "", "", "", "[ TOTAL ]",
                                      "[ ORIGEN ]"}));

    // Without a field row (nothing loaded) the first label already fails.
    Paso2 vacia(1);
    vacia.m().setRows(1);
    vacia.paso.cmdAutomatico_Click();
    QVERIFY(vacia.guion.mensajes().value(0).texto.contains(u"cmdAutomatico_Click Linea 10 ]"));
}

void TstMapeo::verificacion_data() {
    QTest::addColumn<QStringList>("campos");
    QTest::addColumn<QString>("mensaje");
    const QString art = QStringLiteral("[ ARTICULO ]");
    const QString dsc = QStringLiteral("[ DESCRIPC ]");
    const QString org = QStringLiteral("[ ORIGEN ]");
    const QString can = QStringLiteral("[ CANTIDAD ]");
    const QString tot = QStringLiteral("[ TOTAL ]");
    const QString mar = QStringLiteral("[ MARCA ]");
    QTest::newRow("completa, MARCA dos veces") << QStringList{art, dsc, org, can, tot, mar, mar} << QString();
    QTest::newRow("ninguno") << QStringList{} << "Falta establecer el campo ARTICULO";
    QTest::newRow("ARTICULO dos veces")
        << QStringList{art, dsc, org, can, tot, art} << "El campo ARTICULO solo puede estar en una columna";
    QTest::newRow("sin ARTICULO y TOTAL doble")
        << QStringList{dsc, org, can, tot, tot} << "Falta establecer el campo ARTICULO";
    QTest::newRow("DESCRIPC doble") << QStringList{art, dsc, dsc, org, can, tot}
                                    << "El campo DESCRIPCION solo puede estar en una columna";
    QTest::newRow("sin ORIGEN") << QStringList{art, dsc, can, tot} << "Falta establecer el campo ORIGEN";
    QTest::newRow("ORIGEN doble") << QStringList{art, dsc, org, org, can, tot}
                                  << "El campo ORIGEN solo puede estar en una columna";
    QTest::newRow("sin CANTIDAD") << QStringList{art, dsc, org, tot} << "Falta establecer el campo CANTIDAD";
    QTest::newRow("CANTIDAD doble") << QStringList{art, dsc, org, can, can, tot}
                                    << "El campo CANTIDAD solo puede estar en una columna";
    QTest::newRow("sin TOTAL") << QStringList{art, dsc, org, can} << "Falta establecer el campo TOTAL";
    QTest::newRow("TOTAL doble") << QStringList{art, dsc, org, can, tot, tot}
                                 << "El campo TOTAL solo puede estar en una columna";
    // Labels are compared as exact texts.
    QTest::newRow("sin blancos") << QStringList{"[ARTICULO]", dsc, org, can, tot}
                                 << "Falta establecer el campo ARTICULO";
}

void TstMapeo::verificacion() {
    QFETCH(QStringList, campos);
    QFETCH(QString, mensaje);
    Paso2 p(8);
    p.poner(campos);
    QCOMPARE(p.paso.FRAM2_VerificarDatos(), mensaje.isEmpty());
    if (mensaje.isEmpty()) {
        QVERIFY(p.guion.mensajes().isEmpty());
        return;
    }
    QCOMPARE(p.guion.mensajes().size(), 1);
    QCOMPARE(p.guion.mensajes()[0].texto, mensaje);
    QCOMPARE(p.guion.mensajes()[0].icono, Icono::Exclamacion);
    QCOMPARE(p.guion.mensajes()[0].botones, Botones::Aceptar);
}

void TstMapeo::elAsistenteVerificaAntesDeAvanzar() {
    Paso2 p(24);
    p.g.g_iPaso = 2;
    p.principal.marcoAlFrente = 2;
    p.principal.habilitarSiguiente(true, QString());
    p.paso.cmdAutomatico_Click();
    p.principal.MAIN_CambiarPaso();
    QCOMPARE(p.guion.mensajes().last().texto, QStringLiteral("Falta establecer el campo DESCRIPCION"));
    QCOMPARE(p.g.g_iPaso, 2);
    QCOMPARE(p.principal.marcoAlFrente, 2);

    p.f1(1, QStringLiteral("[ DESCRIPC ]"));
    p.principal.MAIN_CambiarPaso();
    QCOMPARE(p.g.g_iPaso, 3);
}

QTEST_GUILESS_MAIN(TstMapeo)
#include "tst_mapeo.moc"
