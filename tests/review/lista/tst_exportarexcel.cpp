#include "programalista.h"
#include "review/lista/lista_logica.h"
#include "review/lista/modexcelxml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

using namespace tarvix;
using prueba::ProgramaLista;
using Aviso = InteraccionGuionada::Aviso;

namespace {

const QByteArray kCabeza = "<?xml version=\"1.0\"?>\r\n"
                           "<?mso-application progid=\"Excel.Sheet\"?>\r\n"
                           "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"\r\n"
                           "xmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"
                           "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"\r\n"
                           "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"\r\n"
                           "xmlns:html=\"http://www.w3.org/TR/REC-html40\">\r\n"
                           "<Worksheet ss:Name=\".\">\r\n"
                           "<Table>\r\n";

const QByteArray kTitulos = "<Row>\r\n"
                            "<Cell><Data ss:Type=\"String\">[ORDEN]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[ARTICULO]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[DESCRIPCION]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[ORIGEN]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[CANTIDAD]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[UNITARIO]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[TOTAL]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[POSICION]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[ESTADO]</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">[CRC]</Data></Cell>\r\n"
                            "</Row>";

const QByteArray kCierre = "</Table>\r\n</Worksheet>\r\n</Workbook>\r\n";

QByteArray leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(sin archivo)");
}

void escribir(const QString& ruta, const QByteArray& datos) {
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(datos);
}

// Two correct lines: reserved characters and accents, a decimal quantity, Null columns.
void sembrar(ProgramaLista& p) {
    p.ejecutar(QStringLiteral(
        "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTORG, ARTCAN, ARTUNI, ARTTOT, PRCNCM, PRCEST, "
        "PRCCRC, PRCOBS) values ('100', 1, 'A&B', 'Válvula <½\"> ñandú', '203', 1.5, 0.2, 0.3, "
        "'8481.80.99.900K', 'A', 'OK', 'no se exporta')"));
    p.ejecutar(
        QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTTOT, PRCEST, PRCCRC) "
                       "values ('100', 2, 'X2', 'Tuerca', 1000, 12.5, 'M', 'OK')"));
}

const QByteArray kFilas =
    "<Row>\r\n"
    "<Cell><Data ss:Type=\"String\">0001</Data></Cell><Cell><Data ss:Type=\"String\">A&amp;B</Data></Cell>"
    "<Cell><Data ss:Type=\"String\">V\xc3\xa1lvula &lt;\xc2\xbd\"&gt; \xc3\xb1\x61nd\xc3\xba</Data></Cell>"
    "<Cell><Data ss:Type=\"String\">203</Data></Cell><Cell><Data ss:Type=\"Number\">1.5</Data></Cell>"
    "<Cell><Data ss:Type=\"Number\">0.2</Data></Cell><Cell><Data ss:Type=\"Number\">0.3</Data></Cell>"
    "<Cell><Data ss:Type=\"String\">8481.80.99.900K</Data></Cell><Cell><Data "
    "ss:Type=\"String\">A</Data></Cell>"
    "<Cell><Data ss:Type=\"String\">OK</Data></Cell></Row>\r\n"
    "<Row>\r\n"
    "<Cell><Data ss:Type=\"String\">0002</Data></Cell><Cell><Data ss:Type=\"String\">X2</Data></Cell>"
    "<Cell><Data ss:Type=\"String\">Tuerca</Data></Cell><Cell><Data ss:Type=\"String\"></Data></Cell>"
    "<Cell><Data ss:Type=\"Number\">1000</Data></Cell><Cell><Data ss:Type=\"String\"></Data></Cell>"
    "<Cell><Data ss:Type=\"Number\">12.5</Data></Cell><Cell><Data ss:Type=\"String\"></Data></Cell>"
    "<Cell><Data ss:Type=\"String\">M</Data></Cell><Cell><Data ss:Type=\"String\">OK</Data></Cell></Row>\r\n";

// The correct-lines list of the two lines above, loaded.
struct ListaSembrada {
    ProgramaLista p;
    ListaDEP l{p.srv, p.estado};
    ListaSembrada() {
        sembrar(p);
        l.CargarRegOK();
    }
};

} // namespace

class TstExportarExcel : public QObject {
    Q_OBJECT
private slots:
    void archivoExacto_data();
    void archivoExacto();
    void sobreescribirYCancelar();
    void vinculoSimbolico_data();
    void vinculoSimbolico();
    void fallasDeEscritura();
    void listaDeCeldas();
    void abreEnHojaDeCalculo();
};

void TstExportarExcel::archivoExacto_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_AR") << QStringLiteral("es_AR");
    QTest::newRow("en_US") << QStringLiteral("en_US");
}

void TstExportarExcel::archivoExacto() {
    QFETCH(QString, locale);
    prueba::LocaleFijo fijo(locale);
    ListaSembrada f;
    auto& [p, l] = f;
    const QString ruta = p.ruta(QStringLiteral("lista.xls"));
    l.ExportarAExcel(ruta);
    const QByteArray datos = leer(ruta);
    QCOMPARE(datos, kCabeza + kTitulos + kFilas + kCierre);
    QCOMPARE(p.guion.avisos.size(), 1);
    QCOMPARE(p.guion.avisos[0].texto,
             QStringLiteral("Generacion de archivo completado!\r\nUbicacion: ") + ruta);
    QCOMPARE(p.guion.avisos[0].icono, Icono::Informacion);

    // Well-formed: a title row and a row per line, ten cells each.
    QXmlStreamReader xml(datos);
    int filas = 0, celdas = 0;
    while (!xml.atEnd()) {
        const bool inicio = xml.readNext() == QXmlStreamReader::StartElement;
        filas += inicio && xml.name() == u"Row";
        celdas += inicio && xml.name() == u"Cell";
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(filas, 3);
    QCOMPARE(celdas, 30);

    // An empty list: the head, the title row and the closing tags.
    ProgramaLista vacio;
    ListaDEP sinLineas(vacio.srv, vacio.estado);
    sinLineas.CargarRegConErrores();
    sinLineas.ExportarAExcel(vacio.ruta(QStringLiteral("vacia.xml")));
    QCOMPARE(leer(vacio.ruta(QStringLiteral("vacia.xml"))), kCabeza + kTitulos + kCierre);
}

void TstExportarExcel::sobreescribirYCancelar() {
    ListaSembrada f;
    auto& [p, l] = f;
    const QString ruta = p.ruta(QStringLiteral("existe.xls"));
    escribir(ruta, "anterior");

    // The save dialog: no name proposed, the filter for the seam's dialog; the path chosen is used.
    p.guion.archivos.enqueue(ruta);
    p.guion.respuestas.enqueue(Respuesta::No);
    l.mnu_expoExcel_Click();
    QCOMPARE(p.guion.avisos.size(), 3);
    QCOMPARE(p.guion.avisos[0].tipo, Aviso::Tipo::Guardar);
    QCOMPARE(p.guion.avisos[0].porDefecto, QString());
    QCOMPARE(p.guion.avisos[0].titulo, QStringLiteral("Documentos de Excel (*.xls *.xlsx)"));
    QCOMPARE(p.guion.avisos[1].texto,
             QStringLiteral("El archivo [") + ruta + QStringLiteral("] ya existe, desea SOBREESCRIBIRLO ?"));
    QCOMPARE(p.guion.avisos[1].botones, Botones::SiNo);
    QCOMPARE(p.guion.avisos[1].boton, Respuesta::No); // Enter does not overwrite
    QCOMPARE(p.guion.avisos[1].icono, Icono::Exclamacion);
    QCOMPARE(p.guion.avisos[2].texto, QStringLiteral("Generacion de archivo cancelado!"));
    QCOMPARE(p.guion.avisos[2].icono, Icono::Exclamacion);
    QCOMPARE(leer(ruta), QByteArray("anterior"));

    // Yes: the old content is replaced, not appended to.
    p.guion.respuestas.enqueue(Respuesta::Si);
    l.ExportarAExcel(ruta);
    QCOMPARE(leer(ruta), kCabeza + kTitulos + kFilas + kCierre);

    // The dialog cancelled: the warning, no file.
    p.guion.limpiar();
    QVERIFY(QFile::remove(ruta));
    l.mnu_expoExcel_Click();
    QCOMPARE(p.guion.avisos.size(), 2);
    QCOMPARE(p.guion.avisos[1].texto, QStringLiteral("Generacion de archivo cancelado!"));
    QCOMPARE(QDir(p.carpeta()).entryList({QStringLiteral("*.xls*")}), QStringList());
}

void TstExportarExcel::vinculoSimbolico_data() {
    QTest::addColumn<bool>("colgante"); // the link's target is missing
    QTest::addColumn<int>("respuesta");
    QTest::newRow("colgante, no") << true << int(Respuesta::No);
    QTest::newRow("colgante, si") << true << int(Respuesta::Si);
    QTest::newRow("a un archivo, no") << false << int(Respuesta::No);
    QTest::newRow("a un archivo, si") << false << int(Respuesta::Si);
}

void TstExportarExcel::vinculoSimbolico() {
    QFETCH(bool, colgante);
    QFETCH(int, respuesta);
    ListaSembrada f;
    auto& [p, l] = f;
    QTemporaryDir afuera;
    const QString destino = afuera.filePath(QStringLiteral("ajeno.xls"));
    if (!colgante)
        escribir(destino, "ajeno");
    const QString ruta = p.ruta(QStringLiteral("vinculo.xls"));
    QVERIFY(QFile::link(destino, ruta));
    p.guion.respuestas.enqueue(static_cast<Respuesta>(respuesta));
    l.ExportarAExcel(ruta);
    // Asked as an existing file; whatever the answer, the target outside the folder is untouched.
    QVERIFY(!p.guion.avisos.isEmpty());
    QCOMPARE(p.guion.avisos[0].texto,
             QStringLiteral("El archivo [") + ruta + QStringLiteral("] ya existe, desea SOBREESCRIBIRLO ?"));
    QCOMPARE(leer(destino), colgante ? QByteArray("(sin archivo)") : QByteArray("ajeno"));
    const QFileInfo info(ruta);
    QCOMPARE(info.isSymLink(), respuesta == int(Respuesta::No));
    if (respuesta == int(Respuesta::Si))
        QCOMPARE(leer(ruta), kCabeza + kTitulos + kFilas + kCierre);
}

void TstExportarExcel::fallasDeEscritura() {
    ListaSembrada f;
    auto& [p, l] = f;

    // A folder that does not exist: the file cannot be created; no success is claimed.
    const QString sinCarpeta = p.ruta(QStringLiteral("no/existe.xls"));
    l.ExportarAExcel(sinCarpeta);
    QCOMPARE(p.guion.avisos.size(), 2);
    QVERIFY2(p.guion.avisos[0].texto.startsWith(QStringLiteral("SaveFileUTF8 Error:75: ")),
             qPrintable(p.guion.avisos[0].texto));
    QVERIFY(p.guion.avisos[0].texto.endsWith(QStringLiteral(" L:20")));
    QCOMPARE(p.guion.avisos[1].texto,
             QStringLiteral("Se han producido errores al generar el archivo, es posible "
                            "que este se encuentre incompleto, vacio o erroneo."));
    QCOMPARE(p.guion.avisos[1].icono, Icono::Critico);
    QVERIFY(!QFile::exists(sinCarpeta));

    // A folder chosen as the file: it cannot be replaced.
    p.guion.limpiar();
    QVERIFY(QDir(p.carpeta()).mkdir(QStringLiteral("carpeta.xls")));
    p.guion.respuestas.enqueue(Respuesta::Si);
    l.ExportarAExcel(p.ruta(QStringLiteral("carpeta.xls")));
    QCOMPARE(p.guion.avisos.size(), 2);
    QVERIFY2(p.guion.avisos[1].texto.startsWith(QStringLiteral("ExportarAExcel Error:75: ")),
             qPrintable(p.guion.avisos[1].texto));
    QVERIFY(p.guion.avisos[1].texto.endsWith(QStringLiteral(" L:40")));
    QCOMPARE(p.guion.avisos[1].icono, Icono::Exclamacion);
}

void TstExportarExcel::listaDeCeldas() {
    InteraccionGuionada guion;
    QCOMPARE(modExcelXMl::getTypeAndData(QStringLiteral("String"), &guion), QString());
    QCOMPARE(guion.avisos.size(), 1);
    QCOMPARE(guion.avisos[0].texto,
             QStringLiteral("getTypeAndData Error:9: El subíndice está fuera del intervalo L:20"));
    QCOMPARE(guion.avisos[0].icono, Icono::Ninguno);
    QCOMPARE(modExcelXMl::AddRowExcel(QStringLiteral("Number(((@#@)))1.5(((#@#)))String(((@#@)))a<b")),
             QStringLiteral("<Cell><Data ss:Type=\"Number\">1.5</Data></Cell>\r\n"
                            "<Cell><Data ss:Type=\"String\">a&lt;b</Data></Cell>\r\n"));
    // Control characters XML cannot carry are dropped; tabs and line breaks stay.
    QCOMPARE(modExcelXMl::AddCellExcel(QStringLiteral("a\x01\tb\nc"), QStringLiteral("String")),
             QStringLiteral("<Cell><Data ss:Type=\"String\">a\tb\nc</Data></Cell>"));
}

void TstExportarExcel::abreEnHojaDeCalculo() {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("No hay una hoja de cálculo instalada para abrir el archivo");
    prueba::LocaleFijo fijo(QStringLiteral("es_AR"));
    ListaSembrada f;
    auto& [p, l] = f;
    const QString ruta = p.ruta(QStringLiteral("lista.xls"));
    l.ExportarAExcel(ruta);

    QProcess proceso;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    proceso.setProcessEnvironment(entorno);
    proceso.start(soffice,
                  {QStringLiteral("-env:UserInstallation=file://") + p.ruta(QStringLiteral("perfil")),
                   QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                   QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("--outdir"),
                   p.ruta(QStringLiteral("csv")), ruta});
    QVERIFY(proceso.waitForFinished(180000));
    const QStringList lineas = QString::fromUtf8(leer(p.ruta(QStringLiteral("csv/lista.csv"))))
                                   .split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    QCOMPARE(lineas,
             (QStringList{
                 QStringLiteral("[ORDEN],[ARTICULO],[DESCRIPCION],[ORIGEN],[CANTIDAD],[UNITARIO],[TOTAL],"
                                "[POSICION],[ESTADO],[CRC]"),
                 QStringLiteral("0001,A&B,\"Válvula <½\"\"> ñandú\",203,1.5,0.2,0.3,8481.80.99.900K,A,OK"),
                 QStringLiteral("0002,X2,Tuerca,,1000,,12.5,,M,OK"),
             }));
}

QTEST_GUILESS_MAIN(TstExportarExcel)
#include "tst_exportarexcel.moc"
