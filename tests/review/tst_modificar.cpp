#include "entorno.h"
#include "review/modificar_logica.h"

using namespace tarvix;
using Aviso = InteraccionGuionada::Aviso;

class TstModificar : public QObject {
    Q_OBJECT
private slots:
    void carga_data();
    void carga();
    void cargaSinLineaNiDerecho();
    void validacionesEnOrden();
    void grabar();
    void grabarConComillas();
    void cantidadEstadisticaCopiada();
    void paisNoElegido();
    void lapiConservadoOBorrado();
    void procesarNcmEncontrada();
    void procesarNcmSinDerechoNiLapi();
    void procesarNcmRechazos();
    void procesarNcmFalla();
};

void TstModificar::carga_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("cantidad");
    QTest::newRow("es_AR") << QStringLiteral("es_AR") << QStringLiteral("12,50");
    QTest::newRow("en_US") << QStringLiteral("en_US") << QStringLiteral("12.50");
}

void TstModificar::carga() {
    QFETCH(QString, locale);
    QFETCH(QString, cantidad);
    prueba::LocaleFijo l(locale);
    Entorno e;
    e.linea(7, {{"ARTNRO", QStringLiteral("TX650")},
                {"ARTDSC", QStringLiteral("Taladro")},
                {"ARTORG", QStringLiteral("310")},
                {"ARTCAN", 12.5},
                {"ARTUNI", 3.0},
                {"ARTTOT", 37.5},
                {"ARTNAD", QStringLiteral(" 8467.21.00.000R ")},
                {"PRCSUF", QStringLiteral("AA(X)-")},
                {"PRCDUN", QStringLiteral("07")},
                {"PRCCAN", 12.5},
                {"PRCEUN", QStringLiteral("07")},
                {"PRCECA", 12.5},
                {"PRCSUN", QStringLiteral("07")},
                {"PRCSCA", 4.5},
                {"PRCESM", QStringLiteral("3")},
                {"PRCORI", QStringLiteral("310")},
                {"PRCLAP", QStringLiteral("S")},
                {"PRCCRC", QStringLiteral("OK")},
                {"ARTDSCMARIA", QStringLiteral("Taladro percutor")},
                {"MARCA", QStringLiteral(" TECNO ")}});
    e.estado.g_sAA_MARCA = QStringLiteral("AJUSTE");
    LogicaModificar m(e.srv, e.estado);
    m.abrir(7);
    QCOMPARE(m.Tag, QStringLiteral("0007"));
    m.Form_Activate();
    QVERIFY2(e.guion.avisos.isEmpty(), qPrintable(e.mensajes().join(u'|')));
    QVERIFY(m.cargado);
    QCOMPARE(m.txtARTNRO.Text, QStringLiteral("TX650"));
    QCOMPARE(m.txtARTCAN.Text, cantidad);
    QCOMPARE(m.txtPRCCAN.Text, cantidad);
    QCOMPARE(m.txtPRCECA.Text, cantidad);
    // Without a position of its own the line proposes its NADI text, trimmed.
    QCOMPARE(m.txtARTNAD.Text, QStringLiteral("8467.21.00.000R"));
    QCOMPARE(m.txtPRCNCM.Text, QStringLiteral("8467.21.00.000R"));
    QCOMPARE(m.txtPRCNCM.Tag, QStringLiteral("07"));
    QCOMPARE(m.lbPRCEUN.Caption, QStringLiteral("Unidad Estadistica [07]"));
    QVERIFY(m.lbPRCSUN.Visible && m.txtPRCSCA.Visible);
    QCOMPARE(m.lbPRCSUN.Caption, QStringLiteral("Derecho Especifico [07]"));
    QCOMPARE(m.txtPRCSCA.Tag, QStringLiteral("07"));
    QCOMPARE(m.lbPRCSUN.Tag, QStringLiteral("07"));
    QCOMPARE(m.txtPRCSCA.Text, locale == u"es_AR" ? QStringLiteral("4,5") : QStringLiteral("4.5"));
    QVERIFY(m.lbPRCLAP.Visible);
    QCOMPARE(m.lbPRCLAP.Tag, QStringLiteral("S"));
    QCOMPARE(m.lbEstado.Caption, QStringLiteral("OK"));
    QCOMPARE(m.lbMarca.Caption, QStringLiteral(" TECNO "));
    QCOMPARE(e.estado.g_sAA_MARCA, QStringLiteral("TECNO"));
    // The country list, with the line's country selected.
    QVERIFY(m.cboPRCORI.items.size() > 200);
    QCOMPARE(m.cboidPRCORI.items.at(m.cboPRCORI.ListIndex), QStringLiteral("310"));
    QCOMPARE(m.cboPRCORI.items.at(m.cboPRCORI.ListIndex), QStringLiteral("CHINA"));

    // A later activation does not load again.
    m.txtPRCNCM.Text = QStringLiteral("cambiado");
    m.Form_Activate();
    QCOMPARE(m.txtPRCNCM.Text, QStringLiteral("cambiado"));
}

void TstModificar::cargaSinLineaNiDerecho() {
    Entorno e;
    {
        LogicaModificar m(e.srv, e.estado);
        m.abrir(99);
        m.Form_Activate();
        QVERIFY(e.guion.avisos.isEmpty());
        QCOMPARE(m.txtPRCCAN.Text, QStringLiteral("0"));
        QCOMPARE(m.txtPRCESM.Text, QStringLiteral("1"));
        QVERIFY(m.cboPRCORI.items.isEmpty());
    }
    e.linea(1, {{"PRCNCM", QStringLiteral("7318.15.00.100W")},
                {"PRCSCA", 9.0},
                {"PRCLAP", QStringLiteral("S")},
                {"PRCCRC", QStringLiteral("POS")},
                {"PRCORI", QStringLiteral("nada")}});
    LogicaModificar m(e.srv, e.estado);
    m.abrir(1);
    m.Form_Activate();
    QCOMPARE(m.txtPRCNCM.Text, QStringLiteral("7318.15.00.100W"));
    QVERIFY(!m.lbPRCSUN.Visible);
    QVERIFY(!m.txtPRCSCA.Visible);
    QCOMPARE(m.lbPRCSUN.Caption, QString());
    QCOMPARE(m.txtPRCSCA.Text, QStringLiteral("0"));
    QCOMPARE(m.txtPRCNCM.Tag, QString());
    // Another check result: the LAPI label stays hidden and its tag empty.
    QVERIFY(!m.lbPRCLAP.Visible);
    QCOMPARE(m.lbPRCLAP.Tag, QString());
    QCOMPARE(m.cboPRCORI.ListIndex, -1);
    QCOMPARE(m.lbMarca.Caption, QString());
}

void TstModificar::validacionesEnOrden() {
    Entorno e;
    e.linea(3, {{"ARTTOT", 0.0}, {"PRCEST", QStringLiteral("E")}, {"PRCCRC", QStringLiteral("POS")}});
    LogicaModificar m(e.srv, e.estado);
    m.abrir(3);
    m.Form_Activate();
    m.txtPRCCAN.Text = QStringLiteral("abc");
    m.txtPRCESM.Text = QStringLiteral("x");
    // Each refusal, then the correction that lets the next check speak.
    const auto rechazo = [&](const QString& texto, Icono icono) {
        e.guion.limpiar();
        QVERIFY(!m.GrabarDatos());
        QCOMPARE(e.mensajes(), QStringList{texto});
        QCOMPARE(e.guion.avisos.first().icono, icono);
        QCOMPARE(e.leer(3, QStringLiteral("PRCEST")).toString(), QStringLiteral("E"));
        QVERIFY(m.cargado);
    };
    rechazo(QStringLiteral("El fob total no puede ser 0, verifique el archivo excel"), Icono::Exclamacion);
    m.txtARTTOT.Text = QStringLiteral("5");
    rechazo(QStringLiteral("Falta información sobre la posición arancelaria."), Icono::Exclamacion);
    m.txtPRCNCM.Tag = QStringLiteral("07");
    m.txtPRCDUN.Text = QStringLiteral("  ");
    rechazo(QStringLiteral("Falta ingresar unidad declarada"), Icono::Exclamacion);
    m.txtPRCDUN.Text = QStringLiteral("07");
    rechazo(QStringLiteral("Debe ingresar un valor númerico en el campo Cantidad Declarada"),
            Icono::Exclamacion);
    m.txtPRCCAN.Text = QStringLiteral("8");
    m.txtPRCECA.Text = QStringLiteral("0");
    m.txtPRCSCA.Visible = true;
    m.txtPRCSCA.Text = QStringLiteral("x");
    m.lbPRCSUN.Tag = QStringLiteral("07");
    rechazo(QStringLiteral("Debe ingresar un valor númerico en el campo Der Especifico"), Icono::Exclamacion);
    QCOMPARE(m.txtPRCECA.Text, QStringLiteral("8")); // copied before the refusal
    m.txtPRCSCA.Text = QStringLiteral("0");
    rechazo(QStringLiteral("Estado de mercaderia inválida"), Icono::Critico);
    QCOMPARE(m.txtPRCSCA.Text, QStringLiteral("8")); // same unit: the specific quantity too
    m.txtPRCESM.Text = QStringLiteral(" 2 ");
    m.txtPRCNCM.Text = QStringLiteral("9999.99.99.000Z");
    rechazo(QStringLiteral("La posición es Inexistente!"), Icono::Exclamacion);
    m.txtPRCNCM.Text = QStringLiteral("8301,10,00,000P"); // commas read as the dotted position
    m.txtPRCSUF.Text = QStringLiteral("AA()-");
    rechazo(QStringLiteral("Sufijos inválidos"), Icono::Exclamacion);
    m.txtPRCSUF.Text = QStringLiteral("AA(ACME)-");
    // A text longer than its customs column: refused when the editor writes it, told (and saved)
    // when it comes from the invoice.
    const QString linea = QStringLiteral("Línea 3, artículo ") + m.txtARTNRO.Text + QStringLiteral(": ");
    m.txtDescripcionMaria.Text = QString(251, u'x');
    rechazo(linea + QStringLiteral(
                        "Descripción Maria tiene 251 caracteres (admite 250). Acórtelo antes de grabar."),
            Icono::Exclamacion);
    m.txtDescripcionMaria.Text = QString(250, u'x');
    m.txtARTDSC.Text = QString(260, u'd');
    e.guion.limpiar();
    e.guion.respuestas.enqueue(Respuesta::Aceptar);
    e.guion.respuestas.enqueue(Respuesta::No);
    QVERIFY(!m.VerificarDatos());
    QCOMPARE(
        e.mensajes(),
        (QStringList{linea + QStringLiteral("Descripción tiene 260 caracteres (admite 250).\r\n\r\nLa base "
                                            "aduanera no lo admite: corríjalo en la factura y vuelva a "
                                            "procesarla, o la transferencia no lo aceptará."),
                     QStringLiteral("No ha seleccionado ningun pais, desea continuar?")}));
    QCOMPARE(e.guion.avisos.first().icono, Icono::Informacion);
    m.txtARTDSC.Text.clear();
    e.guion.limpiar();
    e.guion.respuestas.enqueue(Respuesta::No);
    QVERIFY(!m.VerificarDatos());
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("No ha seleccionado ningun pais, desea continuar?")});
    QCOMPARE(e.guion.avisos.first().icono, Icono::Pregunta);
    QCOMPARE(e.guion.avisos.first().botones, Botones::SiNo);

    // A statistical quantity that is no number (and not replaced by the declared one) is refused
    // with its own message.
    m.txtPRCDUN.Text = QStringLiteral("01");
    m.txtPRCECA.Text = QStringLiteral("1x");
    e.guion.limpiar();
    QVERIFY(!m.VerificarDatos());
    QCOMPARE(e.mensajes(),
             QStringList{QStringLiteral("Debe ingresar un valor númerico en el campo Cantidad Estadistica")});
}

void TstModificar::grabar() {
    prueba::LocaleFijo l(QStringLiteral("es_AR"));
    Entorno e;
    e.lineaValida(4);
    e.ejecutar(QStringLiteral("update ART set PRCSCA = 5 where ARTORD = 4"));
    e.estado.g_sRetorno = QStringLiteral("X");
    LogicaModificar m(e.srv, e.estado);
    m.abrir(4);
    m.Form_Activate();
    m.txtPRCCAN.Text = QStringLiteral("12,5");
    m.txtPRCECA.Text = QStringLiteral("12,5");
    m.txtPRCESM.Text = QStringLiteral("4");
    m.txtDescripcionMaria.Text = QStringLiteral("Candado de bronce");
    QVERIFY(m.GrabarDatos());
    QVERIFY2(e.guion.avisos.isEmpty(), qPrintable(e.mensajes().join(u'|')));
    QCOMPARE(e.estado.g_sRetorno, QStringLiteral("OK"));
    QCOMPARE(m.Tag, QString());
    QVERIFY(!m.cargado);
    QCOMPARE(e.leer(4, QStringLiteral("PRCEST")).toString(), QStringLiteral("M"));
    QCOMPARE(e.leer(4, QStringLiteral("PRCCRC")).toString(), QStringLiteral("OK"));
    QCOMPARE(e.leer(4, QStringLiteral("PRCCAN")).toDouble(), 12.5);
    QCOMPARE(e.leer(4, QStringLiteral("PRCECA")).toDouble(), 12.5);
    QCOMPARE(e.leer(4, QStringLiteral("PRCESM")).toString(), QStringLiteral("4"));
    QCOMPARE(e.leer(4, QStringLiteral("PRCORI")).toString(), QStringLiteral("310"));
    QCOMPARE(e.leer(4, QStringLiteral("PRCEUN")).toString(), QStringLiteral("07"));
    QCOMPARE(e.leer(4, QStringLiteral("ARTDSCMARIA")).toString(), QStringLiteral("Candado de bronce"));
    // No specific duty: PRCSUN and PRCSCA are not written.
    QCOMPARE(e.leer(4, QStringLiteral("PRCSCA")).toDouble(), 5.0);
    QVERIFY(e.leer(4, QStringLiteral("PRCSUN")).isNull());
}

void TstModificar::grabarConComillas() {
    Entorno e(QStringLiteral("D'ANGELO"));
    e.lineaValida(1);
    LogicaModificar m(e.srv, e.estado);
    m.abrir(1);
    m.Form_Activate();
    QCOMPARE(m.txtARTNRO.Text, QStringLiteral("CAND40")); // loaded through the quoted interno
    m.txtPRCSUF.Text = QStringLiteral("AA(D'ANGELO)-");
    m.txtPRCDUN.Text = QStringLiteral("07");
    m.txtDescripcionMaria.Text = QStringLiteral("Candado D'ANGELO");
    QVERIFY2(m.GrabarDatos(), qPrintable(e.mensajes().join(u'|')));
    QCOMPARE(e.leer(1, QStringLiteral("PRCSUF")).toString(), QStringLiteral("AA(D'ANGELO)-"));
    QCOMPARE(e.leer(1, QStringLiteral("ARTDSCMARIA")).toString(), QStringLiteral("Candado D ANGELO"));
    QCOMPARE(e.leer(1, QStringLiteral("PRCEST")).toString(), QStringLiteral("M"));
}

void TstModificar::cantidadEstadisticaCopiada() {
    prueba::LocaleFijo l(QStringLiteral("en_US"));
    Entorno e;
    e.lineaValida(2);
    e.ejecutar(QStringLiteral("update ART set PRCECA = 0, PRCCAN = 7.25 where ARTORD = 2"));
    LogicaModificar m(e.srv, e.estado);
    m.abrir(2);
    m.Form_Activate();
    QCOMPARE(m.txtPRCECA.Text, QStringLiteral("00.00"));
    QVERIFY(m.GrabarDatos());
    QCOMPARE(e.leer(2, QStringLiteral("PRCECA")).toDouble(), 7.25);
}

void TstModificar::paisNoElegido() {
    Entorno e;
    e.lineaValida(5);
    e.ejecutar(QStringLiteral("update ART set PRCORI = NULL where ARTORD = 5"));
    LogicaModificar m(e.srv, e.estado);
    m.abrir(5);
    m.Form_Activate();
    e.guion.respuestas.enqueue(Respuesta::No);
    QVERIFY(!m.GrabarDatos());
    QVERIFY(m.cargado);
    QCOMPARE(e.leer(5, QStringLiteral("PRCEST")).toString(), QStringLiteral("E"));
    e.guion.respuestas.enqueue(Respuesta::Si);
    QVERIFY(m.GrabarDatos());
    QCOMPARE(e.leer(5, QStringLiteral("PRCORI")).toString(), QString());
    QCOMPARE(e.leer(5, QStringLiteral("PRCCRC")).toString(), QStringLiteral("OK"));
}

void TstModificar::lapiConservadoOBorrado() {
    Entorno e;
    e.lineaValida(1);
    e.lineaValida(2);
    e.ejecutar(QStringLiteral("update ART set PRCLAP = 'S', PRCCRC = 'OK' where ARTORD = 1"));
    e.ejecutar(QStringLiteral("update ART set PRCLAP = 'S' where ARTORD = 2"));
    for (int ord : {1, 2}) {
        LogicaModificar m(e.srv, e.estado);
        m.abrir(ord);
        m.Form_Activate();
        QVERIFY(m.GrabarDatos());
    }
    QCOMPARE(e.leer(1, QStringLiteral("PRCLAP")).toString(), QStringLiteral("S"));
    QCOMPARE(e.leer(2, QStringLiteral("PRCLAP")).toString(), QString());
}

void TstModificar::procesarNcmEncontrada() {
    Entorno e;
    e.lineaValida(1);
    e.ejecutar(QStringLiteral("update ART set PRCSUF = NULL, PRCNCM = '6109.10.00.000X', ARTNRO = 'REM1' "
                              "where ARTORD = 1"));
    LogicaModificar m(e.srv, e.estado);
    m.abrir(1);
    m.Form_Activate();
    QCOMPARE(m.txtPRCNCM.Tag, QStringLiteral("07"));
    // Typed with commas: checked, shown and saved as the dotted position.
    m.txtPRCNCM.Text = QStringLiteral("6109,10,00,000X");
    e.guion.opciones.enqueue(2); // BB02 MUJER
    QVERIFY(!m.txtPRCNCM_Enter());
    QCOMPARE(m.txtPRCNCM.Text, QStringLiteral("6109.10.00.000X"));
    QCOMPARE(m.lbPRCEUN.Caption, QStringLiteral("Unidad Estadistica [07]"));
    QCOMPARE(m.txtPRCNCM.Tag, QStringLiteral("07"));
    QVERIFY(m.lbPRCSUN.Visible && m.txtPRCSCA.Visible);
    QCOMPARE(m.lbPRCSUN.Caption, QStringLiteral("Unidad Der Especif [07]"));
    QCOMPARE(m.txtPRCSCA.Tag, QStringLiteral("07"));
    QCOMPARE(m.lbPRCSUN.Tag, QStringLiteral("07"));
    QVERIFY(m.lbPRCLAP.Visible);
    QCOMPARE(m.lbPRCLAP.Tag, QStringLiteral("S"));
    // The suffix dialogue ran: brand from the line, then the option chooser.
    QCOMPARE(e.guion.avisos.first().tipo, Aviso::Tipo::Entrada);
    QCOMPARE(e.guion.avisos.first().porDefecto, QStringLiteral("ACME"));
    QCOMPARE(m.txtPRCSUF.Text, QStringLiteral("AA(ACME)-BB02-"));
    // Saving writes the specific-duty pair that the check made visible.
    m.txtPRCSCA.Text = QStringLiteral("0");
    QVERIFY2(m.GrabarDatos(), qPrintable(e.mensajes().join(u'|')));
    QCOMPARE(e.leer(1, QStringLiteral("PRCSUN")).toString(), QStringLiteral("07"));
    QCOMPARE(e.leer(1, QStringLiteral("PRCSCA")).toDouble(), 10.0);
    QCOMPARE(e.leer(1, QStringLiteral("PRCLAP")).toString(), QStringLiteral("S"));
    QCOMPARE(e.leer(1, QStringLiteral("PRCSUF")).toString(), QStringLiteral("AA(ACME)-BB02-"));
    QCOMPARE(e.leer(1, QStringLiteral("PRCNCM")).toString(), QStringLiteral("6109.10.00.000X"));
}

void TstModificar::procesarNcmSinDerechoNiLapi() {
    Entorno e;
    LogicaModificar m(e.srv, e.estado);
    m.lbPRCSUN.Visible = m.txtPRCSCA.Visible = true;
    m.lbPRCSUN.Tag = QStringLiteral("07");
    m.ProcesarNCM(QStringLiteral("7318.15.00.100W"));
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("No se encontro Sufijo en el nomenclador")});
    QCOMPARE(m.txtPRCSUF.Text, QStringLiteral("SIN SUFIJOS"));
    QCOMPARE(m.txtPRCNCM.Tag, QStringLiteral("01"));
    QVERIFY(!m.lbPRCSUN.Visible && !m.txtPRCSCA.Visible);
    QCOMPARE(m.lbPRCSUN.Caption, QString());
    QCOMPARE(m.lbPRCSUN.Tag, QString());
    QVERIFY(!m.lbPRCLAP.Visible);
    QCOMPARE(m.lbPRCLAP.Tag, QStringLiteral("N"));

    // Specific duty in kilos, no LAPI mark.
    e.guion.limpiar();
    m.ProcesarNCM(QStringLiteral("3924.10.00.000Y"));
    QCOMPARE(m.lbPRCSUN.Caption, QStringLiteral("Unidad Der Especif [01]"));
    QCOMPARE(m.lbPRCSUN.Tag, QStringLiteral("01"));
    QCOMPARE(m.lbPRCLAP.Tag, QStringLiteral("N"));
}

void TstModificar::procesarNcmRechazos() {
    Entorno e;
    LogicaModificar m(e.srv, e.estado);
    m.lbPRCEUN.Caption = QStringLiteral("antes");
    // Too short for a position but long enough for the check: refused.
    m.txtPRCNCM.Text = QStringLiteral("6109.10.00");
    QVERIFY(!m.txtPRCNCM_Enter());
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Error en la estructura de la posición")});
    QCOMPARE(e.guion.avisos.first().icono, Icono::Exclamacion);
    // Shorter than 7 characters: the lookup opens instead, nothing is checked.
    e.guion.limpiar();
    m.txtPRCNCM.Text = QStringLiteral("6109.1");
    QVERIFY(m.txtPRCNCM_Enter());
    QVERIFY(e.guion.avisos.isEmpty());
    // Sixteen characters: refused.
    m.ProcesarNCM(QStringLiteral("6109.10.00.000XX"));
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Error en la estructura de la posición")});
    // Fourteen characters pass the structure test; the last one is taken as the letter.
    e.guion.limpiar();
    m.ProcesarNCM(QStringLiteral("6109.10.00.000"));
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Posición no encontrada en Nomenclador")});
    e.guion.limpiar();
    m.ProcesarNCM(QStringLiteral("9999.99.99.000Z"));
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Posición no encontrada en Nomenclador")});
    QCOMPARE(m.lbPRCEUN.Caption, QStringLiteral("antes"));
    QCOMPARE(m.txtPRCNCM.Tag, QString());
    // A quote in the text reaches the database as text.
    e.guion.limpiar();
    m.ProcesarNCM(QStringLiteral("6109.10.00.00'X"));
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Posición no encontrada en Nomenclador")});
}

void TstModificar::procesarNcmFalla() {
    Entorno e;
    e.ejecutarNcm(QStringLiteral("drop table ncm"));
    LogicaModificar m(e.srv, e.estado);
    m.ProcesarNCM(QStringLiteral("8301.10.00.000P"));
    QCOMPARE(e.guion.mensajes().size(), 1);
    const auto aviso = e.guion.mensajes().first();
    QCOMPARE(aviso.icono, Icono::Critico);
    QVERIFY2(aviso.texto.endsWith(
                 QStringLiteral("\r\n\r\nSección [VezezirAZEDO2_TARVIX.frmModificar.ProcesarNCM]::5")),
             qPrintable(prueba::visible(aviso.texto)));
    QVERIFY(aviso.texto.contains(QStringLiteral(" - ")));
    QCOMPARE(m.txtPRCNCM.Tag, QString());
}

QTEST_GUILESS_MAIN(TstModificar)
#include "tst_modificar.moc"
