#include "app/asistente.h"
#include "components/archivos.h"
#include "components/interaccionguionada.h"
#include "intake/carga/carga.h"
#include "intake/carga/paso2.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <variant>
#include <xlsxwriter.h>

using namespace tarvix;
using namespace prueba;

namespace {

const QString kSeccion =
    QStringLiteral("\r\n\r\nSeccion [VezezirAZEDO2_TARVIX.frmMain.lf_LevantarExcel] linea ");

// A worksheet cell: nothing, text, or a number (shown with the format "0.00", which its text as
// read does not follow).
using Valor = std::variant<std::monostate, const char*, double>;
using Filas = std::vector<std::vector<Valor>>;

void escribirPlanilla(const QString& ruta, const Filas& filas) {
    lxw_workbook* libro = workbook_new(ruta.toLocal8Bit().constData());
    lxw_worksheet* hoja = workbook_add_worksheet(libro, nullptr);
    lxw_format* formato = workbook_add_format(libro);
    format_set_num_format(formato, "0.00");
    for (size_t f = 0; f < filas.size(); ++f) {
        for (size_t c = 0; c < filas[f].size(); ++c) {
            const auto fila = static_cast<lxw_row_t>(f);
            const auto col = static_cast<lxw_col_t>(c);
            if (const auto* texto = std::get_if<const char*>(&filas[f][c]))
                worksheet_write_string(hoja, fila, col, *texto, nullptr);
            else if (const auto* numero = std::get_if<double>(&filas[f][c]))
                worksheet_write_number(hoja, fila, col, *numero, formato);
        }
    }
    QCOMPARE(workbook_close(libro), LXW_NO_ERROR);
}

// The scripted seam, also keeping the pointer's state.
struct Guion : InteraccionGuionada {
    int espera = 0;
    void cursorEspera(bool activo) override { espera += activo ? 1 : -1; }
};

// Step 2 of one run, headless, "Siguiente >" disabled with the Tag "OK" until a load succeeds.
struct Paso2 {
    Servicios srv;
    EstadoAsistente estado;
    Guion guion;
    Pindra::Archivos archivos{&guion};
    Asistente asistente{srv, estado};
    ControladorPrincipal& principal = asistente.principal();
    ControladorPaso2& paso = asistente.paso2();

    Paso2() {
        srv.setInteraccion(&guion);
        srv.g_oArchivos = &archivos;
        principal.habilitarSiguiente(false, QStringLiteral("OK"));
    }
    ModeloGrilla& m() { return paso.grilla(); }
    // "Procesar" with `ruta` chosen in the dialog.
    void procesar(const QString& ruta) {
        guion.archivos.enqueue(ruta);
        paso.FRAM2_CmdProcesar_Click();
    }
    // F1 on column `columna` of a data row, the chooser answering `respuesta` ("" for Esc).
    void f1(int columna, const QString& respuesta) {
        m().setRow(m().Rows() - 1);
        m().setCol(columna);
        guion.ventanasCampo.enqueue([this, respuesta] { estado.g_sRetorno = respuesta; });
        paso.FRAM2_Grid_KeyDown(ControladorPaso2::vbKeyF1);
    }
    // The grid's rows, each as its cells joined by "|".
    QStringList filas() {
        QStringList r;
        for (int f = 0; f < m().Rows(); ++f) {
            QStringList celdas;
            for (int c = 0; c < m().Cols(); ++c)
                celdas << m().TextMatrix(f, c);
            r << celdas.join(u'|');
        }
        return r;
    }
    QString mensaje() const { return guion.mensajes().isEmpty() ? QString() : guion.mensajes().last().texto; }
};

} // namespace

class TstPaso2 : public QObject {
    Q_OBJECT
private slots:
    void init() {
        prueba::aislarConfiguracion();
        prueba::sinMapeoAlCargar();
        m_dir = std::make_unique<QTemporaryDir>();
    }
    void disposicionDeLaGrilla();
    void encabezadoConCuatroVaciasSigue();
    void cerosYBlancosNoSonDatos_data();
    void cerosYBlancosNoSonDatos();
    void filasSeparadorasNoPierdenLineas();
    void filasDebajoDelFin_data();
    void filasDebajoDelFin();
    void planillaLargaFormateadaPorDosHilos();
    void cargarDeNuevoBorraLosCampos();
    void cargaFallidaNoCambiaNada_data();
    void cargaFallidaNoCambiaNada();
    void dialogoCancelado();
    void ejemploXlsYXlsxIguales();
    void f1EstableceBorraYConserva();
    void automaticaYGrillaAngosta();
    void verificacion_data();
    void verificacion();

private:
    QString planilla(const char* nombre, const Filas& filas) {
        const QString ruta = m_dir->filePath(QString::fromLatin1(nombre));
        escribirPlanilla(ruta, filas);
        return ruta;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Header in columns 1, 2 and 4: four grid columns, lines read nine cells wide and cut to four.
void TstPaso2::disposicionDeLaGrilla() {
    Paso2 p;
    const QString ruta =
        planilla("disposicion.xlsx", {{"CODIGO", "DESC", {}, "CANT"},
                                      {"A1", "Taladro", "x", 5.0, "e", "f", "g", "h", "i"},
                                      {{}, {}, {}, {}, {}, {}, {}, {}, "solo en la novena"},
                                      {{}, {}, {}, {}, {}, {}, {}, {}, {}, "decima: no se lee"},
                                      {"B2", "Sierra", {}, 3.0},
                                      {"C3", "con\ttabulador", "línea 1\r\nlínea 2", 7.0}});
    p.procesar(ruta);
    QVERIFY2(p.guion.mensajes().isEmpty(), qPrintable(p.mensaje()));
    QCOMPARE(p.filas().mid(0, 5),
             (prueba::lista({"CODIGO|DESC||CANT", "|||", "A1|Taladro|x|5", "|||", "B2|Sierra||3"})));
    // Tabs and line breaks inside a cell stay in it: no line is split or shifted.
    QCOMPARE(p.m().Rows(), 6);
    QCOMPARE(p.m().TextMatrix(5, 1), QStringLiteral("con\ttabulador"));
    QVERIFY(p.m().TextMatrix(5, 2).startsWith(u"línea 1") && p.m().TextMatrix(5, 2).endsWith(u"línea 2"));
    QCOMPARE(p.m().TextMatrix(5, 3), QStringLiteral("7"));
    QCOMPARE(p.m().FixedRows(), 2);
    QCOMPARE(p.m().colorFila(1), qint64(0xFF0000));
    QVERIFY(p.principal.cmdSiguienteEnabled);
    QCOMPARE(p.principal.cmdSiguienteTag, QString());
    QCOMPARE(p.paso.archivo(), ruta);
}

void TstPaso2::encabezadoConCuatroVaciasSigue() {
    // F is reached past four empty cells; the five after it end the header, so L is not read and
    // lines are read eleven cells wide: a text in K alone is a line, one in L alone is not.
    Paso2 p;
    p.procesar(planilla("hueco.xlsx", {{"A", {}, {}, {}, {}, "F", {}, {}, {}, {}, {}, "L"},
                                       {{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, "k"},
                                       {{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, "l"},
                                       {"A2"}}));
    QCOMPARE(p.filas(), (prueba::lista({"A|||||F", "|||||", "|||||", "A2|||||"})));
}

void TstPaso2::cerosYBlancosNoSonDatos_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("medio");
    QTest::newRow("es_AR") << "es_AR"
                           << "|0,5";
    QTest::newRow("en_US") << "en_US"
                           << "|0.5";
}

void TstPaso2::cerosYBlancosNoSonDatos() {
    QFETCH(QString, locale);
    QFETCH(QString, medio);
    const LocaleFijo fijo(locale);
    Paso2 p;
    p.procesar(
        planilla("ceros.xlsx",
                 {{"CODIGO", "VALOR"}, {"L1", 1.0}, {"0", " ", 0.0}, {{}, "0.00"}, {0.0, " 0 "}, {{}, 0.5}}));
    QCOMPARE(p.filas(), (prueba::lista({"CODIGO|VALOR", "|", "L1|1", "|0.00", medio})));
}

void TstPaso2::filasSeparadorasNoPierdenLineas() {
    // Up to two rows without data between lines are skipped; three in a row end the lines.
    Paso2 p;
    p.procesar(
        planilla("grupos.xlsx",
                 {{"CODIGO"}, {"L1"}, {}, {}, {"L2"}, {" "}, {"0"}, {"L3"}, {}, {}, {}, {"no se lee"}}));
    QCOMPARE(p.filas(), (prueba::lista({"CODIGO", "", "L1", "L2", "L3"})));
    // An empty row 2, one line in row 3 and two empty rows: one data line.
    p.procesar(planilla("una.xlsx", {{"CODIGO"}, {}, {"L1"}}));
    QCOMPARE(p.filas(), (prueba::lista({"CODIGO", "", "L1"})));
}

void TstPaso2::filasDebajoDelFin_data() {
    QTest::addColumn<bool>("incluir");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QList<int>>("filasHoja");
    QTest::newRow("No") << false << prueba::lista({"L1"}) << QList<int>{2};
    QTest::newRow("Sí") << true << prueba::lista({"L1", "L2", "L3"}) << QList<int>{2, 6, 8};
}

// Data below the three rows that end the scan is told about when the invoice loads; on "Sí" it is
// loaded too, blank rows among it skipped, each line keeping its worksheet row.
void TstPaso2::filasDebajoDelFin() {
    QFETCH(bool, incluir);
    QFETCH(QStringList, lineas);
    QFETCH(QList<int>, filasHoja);
    Paso2 p;
    if (incluir)
        p.guion.respuestas.enqueue(Respuesta::Si);
    p.procesar(planilla("debajo.xlsx", {{"CODIGO"}, {"L1"}, {}, {}, {" "}, {"L2"}, {}, {"L3"}}));
    QCOMPARE(p.guion.mensajes().size(), 1);
    QVERIFY(p.mensaje().startsWith(
        QStringLiteral("Debajo de la fila 5 hay 2 filas con datos que no se cargaron.")));
    QCOMPARE(p.guion.mensajes().last().boton, Respuesta::No);
    QCOMPARE(p.filas().mid(2), lineas);
    for (int i = 0; i < filasHoja.size(); ++i)
        QCOMPARE(p.m().filaHoja(2 + i), filasHoja[i]);
    QCOMPARE(p.guion.espera, 0);
}

void TstPaso2::planillaLargaFormateadaPorDosHilos() {
    // A long sheet, its rows formatted ahead by a second thread: the same lines, and the scan still
    // ends at the first three rows without data (here well past the first blocks of rows).
    Filas filas{{"CODIGO", "CANT"}};
    std::vector<std::string> codigos;
    codigos.reserve(3000);
    for (int i = 1; i <= 3000; ++i) {
        codigos.push_back("L" + std::to_string(i));
        if (i % 97 == 0) {
            filas.push_back({});
            filas.push_back({" "});
        }
        if (i == 2600) {
            filas.push_back({});
            filas.push_back({"0"});
            filas.push_back({});
        }
        filas.push_back({codigos.back().c_str(), i / 4.0});
    }
    const QString ruta = planilla("larga.xlsx", filas);
    for (const char* nombre : {"es_AR", "en_US"}) {
        LocaleFijo l(QString::fromLatin1(nombre));
        Paso2 p;
        p.procesar(ruta);
        const QStringList r = p.filas();
        QCOMPARE(r.size(), 2 + 2599);
        QCOMPARE(r.at(0), QStringLiteral("CODIGO|CANT"));
        QCOMPARE(r.at(2), QStringLiteral("L1|") + QLocale().toString(0.25));
        QCOMPARE(r.at(2 + 1234), QStringLiteral("L1235|") + QLocale().toString(1235 / 4.0));
        QCOMPARE(r.last(), QStringLiteral("L2599|") + QLocale().toString(2599 / 4.0));
        for (int i = 0; i < 2599; ++i)
            QVERIFY(r.at(2 + i).startsWith(QStringLiteral("L%1|").arg(i + 1)));
    }
}

void TstPaso2::cargarDeNuevoBorraLosCampos() {
    const QString ruta = planilla("dos.xlsx", {{"CODIGO", "DESC"}, {"A1", "Taladro"}});
    Paso2 p;
    p.procesar(ruta);
    p.f1(0, QStringLiteral("[ ARTICULO ]"));
    p.principal.habilitarSiguiente(false, QStringLiteral("OK"));
    p.procesar(ruta);
    QCOMPARE(p.filas(), (prueba::lista({"CODIGO|DESC", "|", "A1|Taladro"})));
    QVERIFY(p.principal.cmdSiguienteEnabled);
    QCOMPARE(p.principal.cmdSiguienteTag, QString());
}

void TstPaso2::cargaFallidaNoCambiaNada_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("comienzo");
    QTest::addColumn<QString>("linea");
    const QString noSeLee = QStringLiteral("1004 - ");
    QTest::newRow("sin líneas")
        << "sin líneas"
        << "381 - Subíndice fuera del intervalo: la planilla no tiene líneas de datos "
           "debajo del encabezado"
        << "70";
    QTest::newRow("demasiado grande") << "demasiado grande"
                                      << "7 - La planilla es demasiado grande para mostrarla"
                                      << "60";
    QTest::newRow("texto") << "texto" << noSeLee << "30";
    QTest::newRow("xls cifrado") << QStringLiteral(TARVIX_SOURCE_DIR
                                                   "/tests/fixtures/xls/cifrado_libreoffice.xls")
                                 << noSeLee << "30";
    QTest::newRow("inexistente") << "inexistente"
                                 << "No se encuentra el archivo seleccionado \r\n"
                                 << QString();
}

// The reason reaches the user in the load's report; the grid on screen, "Siguiente >" and its Tag
// stay as they were.
void TstPaso2::cargaFallidaNoCambiaNada() {
    QFETCH(QString, caso);
    QFETCH(QString, comienzo);
    QFETCH(QString, linea);
    QString ruta = caso;
    if (caso == u"sin líneas") {
        ruta = planilla("encabezado.xlsx", {{"CODIGO", "DESC"}, {"0", " "}});
    } else if (caso == u"demasiado grande") {
        // Every column of the sheet in the header: 306 lines pass the bound of the grid.
        Filas filas(1 + 306, std::vector<Valor>{"L"});
        filas[0].assign(16384, Valor("H"));
        ruta = planilla("ancha.xlsx", filas);
    } else if (caso == u"texto") {
        ruta = m_dir->filePath(QStringLiteral("texto.xlsx"));
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("CODIGO;DESC\nA1;Taladro\n") > 0);
    } else if (caso == u"inexistente") {
        ruta = m_dir->filePath(QStringLiteral("no existe.xlsx"));
    }
    Paso2 p;
    const QString bien = planilla("bien.xlsx", {{"CODIGO"}, {"A1"}});
    p.procesar(bien);
    p.f1(0, QStringLiteral("[ ARTICULO ]"));
    const QStringList antes = p.filas();
    p.principal.habilitarSiguiente(false, QStringLiteral("OK"));
    QSignalSpy reinicios(&p.m(), &QAbstractItemModel::modelReset);

    p.procesar(ruta);
    QCOMPARE(p.guion.mensajes().size(), 1);
    const QString texto = p.mensaje();
    if (linea.isEmpty()) {
        QCOMPARE(texto, comienzo + ruta);
        QCOMPARE(p.guion.mensajes()[0].icono, Icono::Exclamacion);
    } else {
        QVERIFY2(texto.startsWith(comienzo) && texto.endsWith(kSeccion + linea), qPrintable(visible(texto)));
        QVERIFY2(texto.indexOf(kSeccion) > texto.indexOf(u" - ") + 3,
                 qPrintable(visible(texto))); // a description
        QCOMPARE(p.guion.mensajes()[0].icono, Icono::Critico);
    }
    QCOMPARE(p.filas(), antes);
    QCOMPARE(p.paso.archivo(), bien); // the path box names the file the grid still shows
    QCOMPARE(reinicios.size(), 0);
    QVERIFY(!p.principal.cmdSiguienteEnabled);
    QCOMPARE(p.principal.cmdSiguienteTag, QStringLiteral("OK"));
    QCOMPARE(p.guion.espera, 0);
}

void TstPaso2::dialogoCancelado() {
    Paso2 p;
    QSignalSpy archivo(&p.paso, &ControladorPaso2::archivoCambiado);
    p.paso.FRAM2_CmdProcesar_Click(); // no answer queued: cancelled
    QCOMPARE(p.guion.avisos.size(), 1);
    QCOMPARE(p.guion.avisos[0].tipo, InteraccionGuionada::Aviso::Tipo::Abrir);
    QCOMPARE(p.guion.avisos[0].texto, QStringLiteral("Abrir Factura en EXCEL"));
    QCOMPARE(p.guion.avisos[0].titulo, QStringLiteral("Facturas en EXCEL (xls;*.xlsx)"));
    QCOMPARE(archivo.size(), 0);
    QVERIFY(!p.principal.cmdSiguienteEnabled);
    // A path of blanks: nothing either.
    QVERIFY(!lf_LevantarExcel(QStringLiteral("   "), p.m(), p.srv));
    QVERIFY(p.guion.mensajes().isEmpty());
}

// Both example invoices through both readers give the same grid.
void TstPaso2::ejemploXlsYXlsxIguales() {
    const LocaleFijo fijo(QStringLiteral("es_AR"));
    Paso2 xlsx;
    xlsx.procesar(QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx"));
    Paso2 xls;
    xls.procesar(QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xls"));
    QVERIFY(xlsx.guion.mensajes().isEmpty() && xls.guion.mensajes().isEmpty());
    QCOMPARE(xlsx.m().Rows(), 16);
    QCOMPARE(xlsx.m().Cols(), 24);
    QCOMPARE(xlsx.m().TextMatrix(2, 22), QStringLiteral("TX650"));
    QCOMPARE(xlsx.m().TextMatrix(2, 9), QStringLiteral("3420"));
    QCOMPARE(xlsx.m().TextMatrix(2, 12), QStringLiteral("10/05/2024"));
    QCOMPARE(xls.filas(), xlsx.filas());
}

void TstPaso2::f1EstableceBorraYConserva() {
    Paso2 p;
    p.m().setCols(4);
    p.m().setRows(5);
    p.f1(2, QStringLiteral("[ TOTAL ]"));
    QCOMPARE(p.filas().mid(1), (prueba::lista({"||[ TOTAL ]|", "|||", "|||", "|||"})));
    QCOMPARE(p.m().Row(), 1);
    // Esc: the chooser hands back nothing, even with an old answer lying in g_sRetorno.
    p.estado.g_sRetorno = QStringLiteral("[ MARCA ]");
    p.f1(2, QString());
    QCOMPARE(p.m().TextMatrix(1, 2), QStringLiteral("[ TOTAL ]"));
    p.f1(2, QStringLiteral("< ninguno >"));
    QCOMPARE(p.m().TextMatrix(1, 2), QString());
    // Only F1 opens the chooser.
    p.paso.FRAM2_Grid_KeyDown(113);
    QCOMPARE(p.guion.avisos.size(), 3);

    // Without a field row: the short report.
    p.m().setRows(1);
    p.guion.ventanasCampo.enqueue([&p] { p.estado.g_sRetorno = QStringLiteral("[ ARTICULO ]"); });
    p.paso.FRAM2_Grid_KeyDown(ControladorPaso2::vbKeyF1);
    QCOMPARE(visible(p.mensaje()),
             visible(QStringLiteral("Subíndice fuera del intervalo\r\n\r\n381 - seccion "
                                    "[VezezirAZEDO2_TARVIX.frmMain.FRAM2_EstablecerCampo]")));
    QCOMPARE(p.guion.mensajes()[0].icono, Icono::Critico);
}

void TstPaso2::automaticaYGrillaAngosta() {
    Paso2 p;
    p.m().setCols(24);
    p.m().setTextMatrix(1, 7, QStringLiteral("[ TOTAL ]")); // a label elsewhere stays
    p.paso.cmdAutomatico_Click();
    QStringList esperado(24);
    esperado[7] = QStringLiteral("[ TOTAL ]");
    const std::pair<int, const char*> disposicion[] = {
        {4, "[ CANTIDAD ]"},     {5, "[ UNIDAD ]"},          {9, "[ TOTAL ]"},
        {10, "[ ORIGEN ]"},      {12, "[ FECHA_EMBARQUE ]"}, {13, "[ FECHA_ARRIBO ]"},
        {16, "[ PROCEDENCIA ]"}, {20, "[ MARCA ]"},          {22, "[ ARTICULO ]"}};
    for (const auto& [columna, etiqueta] : disposicion)
        esperado[columna] = QString::fromUtf8(etiqueta);
    QCOMPARE(p.filas()[1], esperado.join(u'|'));
    QVERIFY(!p.paso.FRAM2_VerificarDatos());
    QCOMPARE(p.mensaje(), QStringLiteral("Falta establecer el campo DESCRIPCION"));

    // Eleven columns: the fifth label fails, the four before it are written.
    p.m().setCols(11);
    p.m().setTextMatrix(1, 10, QString());
    p.paso.cmdAutomatico_Click();
    QCOMPARE(visible(p.mensaje()),
             visible(QStringLiteral("Subíndice fuera del intervalo\r\n\r\n381 - seccion["
                                    "VezezirAZEDO2_TARVIX.frmMain.cmdAutomatico_Click Linea "
                                    "50 ]::VezezirAZEDO2_TARVIX")));
    QCOMPARE(p.guion.mensajes().last().icono, Icono::Ninguno);
    QCOMPARE(p.m().TextMatrix(1, 10), QStringLiteral("[ ORIGEN ]"));
}

void TstPaso2::verificacion_data() {
    QTest::addColumn<QStringList>("campos");
    QTest::addColumn<QString>("mensaje");
    const QString art = QStringLiteral("[ ARTICULO ]"), dsc = QStringLiteral("[ DESCRIPC ]"),
                  org = QStringLiteral("[ ORIGEN ]"), can = QStringLiteral("[ CANTIDAD ]"),
                  tot = QStringLiteral("[ TOTAL ]"), mar = QStringLiteral("[ MARCA ]");
    QTest::newRow("completa, MARCA dos veces") << QStringList{art, dsc, org, can, tot, mar, mar} << QString();
    QTest::newRow("ARTICULO dos veces")
        << QStringList{art, dsc, org, can, tot, art} << "El campo ARTICULO solo puede estar en una columna";
    QTest::newRow("sin ARTICULO, TOTAL doble")
        << QStringList{dsc, org, can, tot, tot} << "Falta establecer el campo ARTICULO";
    QTest::newRow("ARTICULO sin blancos") << QStringList{QStringLiteral("[ARTICULO]"), dsc, org, can, tot}
                                          << "Falta establecer el campo ARTICULO";
    QTest::newRow("DESCRIPC doble") << QStringList{art, dsc, dsc, org, can, tot}
                                    << "El campo DESCRIPCION solo puede estar en una columna";
    QTest::newRow("sin ORIGEN") << QStringList{art, dsc, can, tot} << "Falta establecer el campo ORIGEN";
    QTest::newRow("CANTIDAD doble") << QStringList{art, dsc, org, can, can, tot}
                                    << "El campo CANTIDAD solo puede estar en una columna";
    QTest::newRow("sin TOTAL") << QStringList{art, dsc, org, can} << "Falta establecer el campo TOTAL";
}

void TstPaso2::verificacion() {
    QFETCH(QStringList, campos);
    QFETCH(QString, mensaje);
    Paso2 p;
    p.m().setCols(8);
    for (int c = 0; c < campos.size(); ++c)
        p.m().setTextMatrix(1, c, campos[c]);
    QCOMPARE(p.paso.FRAM2_VerificarDatos(), mensaje.isEmpty());
    QCOMPARE(p.guion.mensajes().size(), mensaje.isEmpty() ? 0 : 1);
    QCOMPARE(p.mensaje(), mensaje);
    if (!mensaje.isEmpty())
        QCOMPARE(p.guion.mensajes()[0].icono, Icono::Exclamacion);
}

QTEST_GUILESS_MAIN(TstPaso2)
#include "tst_paso2.moc"
