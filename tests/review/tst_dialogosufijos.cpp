#include "entorno.h"
#include "review/sufijos_dialogo.h"

using namespace tarvix;
using Aviso = InteraccionGuionada::Aviso;

namespace {

// The questions of a dialogue: prompt, title and default of each input box; the option lines and
// the proposed line of each chooser.
QStringList preguntas(const InteraccionGuionada& guion) {
    QStringList r;
    for (const Aviso& a : guion.avisos) {
        if (a.tipo == Aviso::Tipo::Entrada)
            r << a.texto + u'|' + a.titulo + u'|' + a.porDefecto;
        else if (a.tipo == Aviso::Tipo::ElegirOpcion)
            r << QStringLiteral("opciones ") + a.porDefecto + u'|' + a.titulo.split(u'\n').join(u';');
        else
            r << QStringLiteral("mensaje ") + a.texto;
    }
    return r;
}

} // namespace

class TstDialogoSufijos : public QObject {
    Q_OBJECT
private slots:
    void caracterValido_data();
    void caracterValido();
    void limpiarValor_data();
    void limpiarValor();
    void posicionDeEntrada();
    void gruposDeTodasLasClases();
    void valoresPorDefectoDelTextoAnterior();
    void ningunaOpcionYChooserSinEleccion();
    void numeroRechazadoYRecortado();
    void cancelar();
    void sinSufijos();
    void grupoSinClaseAceptaTexto();
    void textoConGuionesYParentesis();
    void falla();
};

void TstDialogoSufijos::caracterValido_data() {
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("esperado");
    for (const char16_t c : u"AZMÑ&,/09")
        if (c)
            QTest::newRow(QString(QChar(c)).toUtf8().constData()) << QString(QChar(c)) << QString(QChar(c));
    for (const char16_t c : u"a.- É@(ñ€\t")
        if (c)
            QTest::newRow(QString(QChar(c)).toUtf8().constData()) << QString(QChar(c)) << QStringLiteral(" ");
}

void TstDialogoSufijos::caracterValido() {
    QFETCH(QString, c);
    QFETCH(QString, esperado);
    QCOMPARE(sCaracterValido(c.at(0)), esperado);
}

void TstDialogoSufijos::limpiarValor_data() {
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("limpio");
    QTest::newRow("mayusculas y blancos") << QStringLiteral("  acme  ") << QStringLiteral("ACME");
    QTest::newRow("enie y acentos") << QStringLiteral("señal término") << QStringLiteral("SEÑAL T RMINO");
    QTest::newRow("comilla y punto, cortado a 20")
        << QStringLiteral("d'angelo & hijos s.a.") << QStringLiteral("D ANGELO & HIJOS S A");
    QTest::newRow("barra y coma") << QStringLiteral("1/2,5") << QStringLiteral("1/2,5");
    QTest::newRow("punto final queda blanco") << QStringLiteral("x1.") << QStringLiteral("X1 ");
    QTest::newRow("vacio") << QString() << QString();
}

void TstDialogoSufijos::limpiarValor() {
    QFETCH(QString, valor);
    QFETCH(QString, limpio);
    QCOMPARE(sLimpiarValor(valor), limpio);
}

void TstDialogoSufijos::posicionDeEntrada() {
    QCOMPARE(posicionEntrada(QStringLiteral("AA(ADIDAS)-AD02-"), QStringLiteral("AD")), 12);
    QCOMPARE(posicionEntrada(QStringLiteral("AD01-"), QStringLiteral("AD")), 1);
    QCOMPARE(posicionEntrada(QStringLiteral("AA(XAD)-"), QStringLiteral("AD")), 0);
    QCOMPARE(posicionEntrada(QString(), QStringLiteral("AD")), 0);
}

void TstDialogoSufijos::gruposDeTodasLasClases() {
    Entorno e;
    e.estado.g_sAA_MARCA = QStringLiteral("ACME");
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    e.guion.opciones.enqueue(2);
    e.guion.entradas << QStringLiteral("bosch") << QStringLiteral("gsb 13") << QStringLiteral("12");
    const QString r =
        d.VerificarSufijos(QStringLiteral("TX650"), QStringLiteral("8467.21.00.000R"), QString());
    QCOMPARE(r, QStringLiteral("AA(BOSCH)-AB(GSB 13)-AH02-ZB(000012)-"));
    QCOMPARE(preguntas(e.guion),
             (QStringList{QStringLiteral("MARCA [AA]|Ingrese Valor AA|ACME"),
                          QStringLiteral("MODELO [AB]|Ingrese Valor AB|TX650"),
                          QStringLiteral("opciones 0|AH00 - Ninguna opción;AH01 - ELÉCTRICA CON CABLE;"
                                         "AH02 - A BATERÍA RECARGABLE;AH03 - NEUMÁTICA;AH04 - A EXPLOSIÓN"),
                          QStringLiteral("POTENCIA EN W [ZB]|Ingrese Valor ZB|")}));
    QCOMPARE(d.g_sOpcionSufijo, QStringLiteral("AH02 - A BATERÍA RECARGABLE"));
    QCOMPARE(d.g_sArticulo, QStringLiteral("TX650"));
    QCOMPARE(e.guion.avisos.at(2).texto, QStringLiteral("Carga de Sufijos"));
}

void TstDialogoSufijos::valoresPorDefectoDelTextoAnterior() {
    Entorno e;
    e.estado.g_sAA_MARCA = QStringLiteral("NO SE USA");
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    // Every question answered with its default: the text comes back as it was.
    const QString previo = QStringLiteral("AA(OLD)-AB(M1)-AH03-ZB(000500)-");
    QCOMPARE(d.VerificarSufijos(QStringLiteral("TX650"), QStringLiteral("8467.21.00.000R"), previo), previo);
    const QStringList p = preguntas(e.guion);
    QCOMPARE(p.at(0), QStringLiteral("MARCA [AA]|Ingrese Valor AA|OLD"));
    QCOMPARE(p.at(1), QStringLiteral("MODELO [AB]|Ingrese Valor AB|M1"));
    QVERIFY2(p.at(2).startsWith(QStringLiteral("opciones 3|")), qPrintable(p.at(2)));
    QCOMPARE(p.at(3), QStringLiteral("POTENCIA EN W [ZB]|Ingrese Valor ZB|000500"));

    // An option written last, without its "-"; a group missing from the text has no default; a
    // brand whose letters hold a group code does not stand for the option.
    e.guion.limpiar();
    e.guion.entradas << QStringLiteral("adidas") << QStringLiteral("x");
    d.VerificarSufijos(QStringLiteral("NB14I5"), QStringLiteral("8471.30.12.000Z"),
                       QStringLiteral("AA(ADIDAS)-AD02"));
    const QStringList q = preguntas(e.guion);
    QCOMPARE(q.at(0), QStringLiteral("MARCA [AA]|Ingrese Valor AA|ADIDAS"));
    QCOMPARE(q.at(1), QStringLiteral("MODELO [AB]|Ingrese Valor AB|"));
    QVERIFY2(q.at(2).startsWith(QStringLiteral("opciones 2|AD00 - Ninguna opción;AD01")),
             qPrintable(q.at(2)));
}

void TstDialogoSufijos::ningunaOpcionYChooserSinEleccion() {
    Entorno e;
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    // An option group last still ends the text with "-"; "Ninguna opción" gives the code and "00".
    e.guion.entradas.enqueue(QStringLiteral("lacoste"));
    e.guion.opciones.enqueue(0);
    QCOMPARE(d.VerificarSufijos(QStringLiteral("REM1"), QStringLiteral("6109.10.00.000X"), QString()),
             QStringLiteral("AA(LACOSTE)-BB00-"));
    // The chooser closed without a choice.
    e.guion.limpiar();
    e.guion.entradas.enqueue(QStringLiteral("lacoste"));
    e.guion.opciones.enqueue(-1);
    QCOMPARE(d.VerificarSufijos(QStringLiteral("REM1"), QStringLiteral("6109.10.00.000X"), QString()),
             QString());
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Error en generar sufijos")});
    QCOMPARE(d.g_sOpcionSufijo, QString());
}

void TstDialogoSufijos::numeroRechazadoYRecortado() {
    Entorno e;
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    // 8504.40.40.000S: AA, AB and ZB under the full position.
    e.guion.entradas << QStringLiteral("a") << QStringLiteral("b") << QStringLiteral("12a")
                     << QStringLiteral("1234567");
    QCOMPARE(d.VerificarSufijos(QString(), QStringLiteral("8504.40.40.000S"), QString()),
             QStringLiteral("AA(A)-AB(B)-ZB(123456)-"));
    const QStringList p = preguntas(e.guion);
    QCOMPARE(p.mid(2), (QStringList{QStringLiteral("POTENCIA EN W [ZB]|Ingrese Valor ZB|"),
                                    QStringLiteral("mensaje Debe Ingresar un Valor Númerico"),
                                    QStringLiteral("POTENCIA EN W [ZB]|Ingrese Valor ZB|")}));
    QCOMPARE(e.guion.mensajes().first().icono, Icono::Ninguno);
}

void TstDialogoSufijos::cancelar() {
    Entorno e;
    e.estado.g_sAA_MARCA = QStringLiteral("ACME");
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    // An empty answer, "No": asked again, without the default.
    e.guion.entradas << QString::fromLatin1("") << QStringLiteral("yale");
    e.guion.respuestas.enqueue(Respuesta::No);
    QCOMPARE(d.VerificarSufijos(QString(), QStringLiteral("8301.10.00.000P"), QString()),
             QStringLiteral("AA(YALE)-"));
    QCOMPARE(preguntas(e.guion), (QStringList{QStringLiteral("MARCA [AA]|Ingrese Valor AA|ACME"),
                                              QStringLiteral("mensaje Desea cancelar la operación"),
                                              QStringLiteral("MARCA [AA]|Ingrese Valor AA|")}));
    QCOMPARE(e.guion.mensajes().first().icono, Icono::Pregunta);
    QCOMPARE(e.guion.mensajes().first().botones, Botones::SiNo);
    // A cancelled input box, "Yes": the whole dialogue ends with an empty text at once.
    e.guion.limpiar();
    e.guion.entradas << QString() << QStringLiteral("no se pregunta");
    e.guion.respuestas.enqueue(Respuesta::Si);
    QCOMPARE(d.VerificarSufijos(QString(), QStringLiteral("8467.21.00.000R"), QString()), QString());
    QCOMPARE(preguntas(e.guion).size(), 2);
    QCOMPARE(e.guion.entradas.size(), 1);
}

void TstDialogoSufijos::sinSufijos() {
    Entorno e;
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    QCOMPARE(d.VerificarSufijos(QString(), QStringLiteral("7318.15.00.100W"), QStringLiteral("AA(X)-")),
             QStringLiteral("SIN SUFIJOS"));
    QCOMPARE(preguntas(e.guion),
             QStringList{QStringLiteral("mensaje No se encontro Sufijo en el nomenclador")});
}

void TstDialogoSufijos::grupoSinClaseAceptaTexto() {
    Entorno e;
    e.ejecutarNcm(QStringLiteral(
        "insert into sufidos (sim, sufijo, detalle) values ('3214.  .  .   ', 'XY', 'COLOR')"));
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    e.guion.entradas << QStringLiteral("") << QStringLiteral("rojo");
    e.guion.respuestas.enqueue(Respuesta::No);
    QCOMPARE(d.VerificarSufijos(QString(), QStringLiteral("3214.10.10.000E"), QString()),
             QStringLiteral("XY(ROJO)-"));
    // A free group after a numeric one takes its kind ("_" sorts after "Z").
    e.guion.limpiar();
    e.ejecutarNcm(QStringLiteral(
        "insert into sufidos (sim, sufijo, detalle) values ('3214.  .  .   ', 'ZC', 'LITROS')"));
    e.ejecutarNcm(
        QStringLiteral("insert into sufidos (sim, sufijo, detalle) values ('3214.  .  .   ', '_Q', 'OTRO')"));
    e.guion.entradas << QStringLiteral("azul") << QStringLiteral("5") << QStringLiteral("abc")
                     << QStringLiteral("7");
    const QString r = d.VerificarSufijos(QString(), QStringLiteral("3214.10.10.000E"), QString());
    QCOMPARE(r, QStringLiteral("XY(AZUL)-ZC(000005)-_Q(000007)-"));
    QVERIFY(e.mensajes().contains(QStringLiteral("Debe Ingresar un Valor Númerico")));
}

void TstDialogoSufijos::textoConGuionesYParentesis() {
    Entorno e;
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    e.guion.entradas << QStringLiteral("acme-pro (x) de la casa grande");
    QCOMPARE(d.VerificarSufijos(QString(), QStringLiteral("8301.10.00.000P"), QString()),
             QStringLiteral("AA(ACME PRO  X  DE LA C)-"));
}

void TstDialogoSufijos::falla() {
    Entorno e;
    e.ejecutarNcm(QStringLiteral("drop table sufidos"));
    PunteroEspera espera(&e.srv.interaccion());
    DialogoSufijos d(e.srv, e.estado, espera);
    QCOMPARE(d.VerificarSufijos(QString(), QStringLiteral("8301.10.00.000P"), QStringLiteral("AA(X)-")),
             QString());
    QCOMPARE(e.guion.mensajes().size(), 1);
    QVERIFY2(e.guion.mensajes().first().texto.endsWith(
                 QStringLiteral("\r\n\r\nSeccion [VezezirAZEDO2_TARVIX.frmModificar.VarificarSufijos]::3")),
             qPrintable(prueba::visible(e.guion.mensajes().first().texto)));
    QVERIFY(!espera.activo());
}

QTEST_GUILESS_MAIN(TstDialogoSufijos)
#include "tst_dialogosufijos.moc"
