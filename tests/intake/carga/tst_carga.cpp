#include "app/controladorprincipal.h"
#include "components/archivos.h"
#include "components/interaccionguionada.h"
#include "intake/carga/carga.h"
#include "intake/carga/paso2.h"
#include "planillas.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace tarvix;
using namespace prueba;
using Aviso = InteraccionGuionada::Aviso;

namespace {

const QString kSeccion =
    QStringLiteral("\r\n\r\nSeccion [VezezirAZEDO2_TARVIX.frmMain.lf_LevantarExcel] linea ");

// The scripted seam, also keeping the pointer's state.
struct Guion : InteraccionGuionada {
    int esperaActiva = 0;
    int cambiosDeCursor = 0;
    void cursorEspera(bool activo) override {
        esperaActiva += activo ? 1 : -1;
        ++cambiosDeCursor;
    }
};

// Step 2 of one run, headless: "Siguiente >" disabled with the Tag "OK" until a load succeeds.
struct Paso2 {
    Globales g;
    Guion guion;
    Pindra::Archivos archivos{&guion};
    ControladorPrincipal principal{g};
    ControladorPaso2 paso{g, principal};

    Paso2() {
        g.interaccion = &guion;
        g.g_oArchivos = &archivos;
        principal.habilitarSiguiente(false, QStringLiteral("OK"));
    }
    // "Procesar" with `ruta` chosen in the dialog.
    void procesar(const QString& ruta) {
        guion.archivos.enqueue(ruta);
        paso.FRAM2_CmdProcesar_Click();
    }
    QStringList filas() { return filasDe(paso.grilla()); }
    bool siguienteSinCambios() const {
        return !principal.cmdSiguienteEnabled && principal.cmdSiguienteTag == u"OK";
    }
};

} // namespace

class TstCarga : public QObject {
    Q_OBJECT
private slots:
    void init();
    void disposicionDeLaGrilla();
    void encabezadoConCuatroVaciasSigue();
    void cerosYBlancosNoSonDatos_data();
    void cerosYBlancosNoSonDatos();
    void filasSeparadorasNoPierdenLineas();
    void cargarDeNuevoBorraLosCampos();
    void encabezadoSinDatosNoCambiaNada();
    void archivoInexistente();
    void archivosQueNoSePuedenLeer_data();
    void archivosQueNoSePuedenLeer();
    void planillaDemasiadoGrande();
    void dialogoCanceladoYRutaVacia();
    void ejemploXlsYXlsxIguales();

private:
    QString planilla(const char* nombre, const Filas& filas);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstCarga::init() {
    m_dir = std::make_unique<QTemporaryDir>();
}

QString TstCarga::planilla(const char* nombre, const Filas& filas) {
    const QString ruta = m_dir->filePath(QString::fromLatin1(nombre));
    escribirPlanilla(ruta, filas);
    return ruta;
}

// Header in columns 1, 2 and 4: four grid columns, lines read nine cells wide and cut to four.
void TstCarga::disposicionDeLaGrilla() {
    const QString ruta =
        planilla("disposicion.xlsx", {{"CODIGO", "DESC", {}, "CANT"},
                                      {"A1", "Taladro", "x", 5.0, "e", "f", "g", "h", "i"},
                                      {{}, {}, {}, {}, {}, {}, {}, {}, "solo en la novena"},
                                      {{}, {}, {}, {}, {}, {}, {}, {}, {}, "decima: no se lee"},
                                      {"B2", "Sierra", {}, 3.0},
                                      {"C3", "con\ttabulador", "línea 1\r\nlínea 2", 7.0}});
    Paso2 p;
    QSignalSpy archivo(&p.paso, &ControladorPaso2::archivoCambiado);
    p.procesar(ruta);
    QVERIFY2(p.guion.mensajes().isEmpty(), qPrintable(p.guion.mensajes().value(0).texto));
    const ModeloGrilla& m = p.paso.grilla();
    QCOMPARE(p.filas().mid(0, 5),
             (QStringList{"CODIGO|DESC||CANT", "|||", "A1|Taladro|x|5", "|||", "B2|Sierra||3"}));
    // Tabs and line breaks inside a cell stay in it: no line is split or shifted.
    QCOMPARE(m.Rows(), 6);
    QCOMPARE(m.TextMatrix(5, 1), QStringLiteral("con\ttabulador"));
    QVERIFY(m.TextMatrix(5, 2).startsWith(u"línea 1") && m.TextMatrix(5, 2).endsWith(u"línea 2"));
    QCOMPARE(m.TextMatrix(5, 3), QStringLiteral("7"));
    QCOMPARE(m.FixedRows(), 2);
    QCOMPARE(m.colorFila(1), qint64(0xFF0000));
    QCOMPARE(m.colorFila(2), -1);
    QVERIFY(p.principal.cmdSiguienteEnabled);
    QCOMPARE(p.principal.cmdSiguienteTag, QString());
    QCOMPARE(p.paso.archivo(), ruta);
    QCOMPARE(archivo.size(), 1);
    QCOMPARE(p.guion.esperaActiva, 0);
    QVERIFY(p.guion.cambiosDeCursor >= 2);
}

void TstCarga::encabezadoConCuatroVaciasSigue() {
    // F is reached past four empty cells; the five after it end the header, so L is not read and
    // lines are read eleven cells wide: a text in K alone is a line, one in L alone is not.
    const QString ruta = planilla("hueco.xlsx", {{"A", {}, {}, {}, {}, "F", {}, {}, {}, {}, {}, "L"},
                                                 {{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, "k"},
                                                 {{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, "l"},
                                                 {"A2"}});
    Paso2 p;
    p.procesar(ruta);
    QCOMPARE(p.filas(), (QStringList{"A|||||F", "|||||", "|||||", "A2|||||"}));
}

void TstCarga::cerosYBlancosNoSonDatos_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("medio");
    QTest::newRow("es_AR") << "es_AR"
                           << "0,5";
    QTest::newRow("en_US") << "en_US"
                           << "0.5";
}

void TstCarga::cerosYBlancosNoSonDatos() {
    QFETCH(QString, locale);
    QFETCH(QString, medio);
    const LocaleFijo fijo(locale);
    const QString ruta = planilla("ceros.xlsx", {{"CODIGO", "VALOR"},
                                                 {"L1", 1.0},
                                                 {"0", " ", 0.0},
                                                 {{}, "0.00"},
                                                 {ConFormato{0.0, "0.00"}, " 0 "},
                                                 {{}, 0.5}});
    Paso2 p;
    p.procesar(ruta);
    QCOMPARE(p.filas(), (QStringList{"CODIGO|VALOR", "|", "L1|1", "|0.00", QStringLiteral("|") + medio}));
}

void TstCarga::filasSeparadorasNoPierdenLineas() {
    // Blank rows between groups of lines: every line up to three empty rows in a row is read.
    Paso2 p;
    p.procesar(
        planilla("grupos.xlsx",
                 {{"CODIGO"}, {"L1"}, {}, {}, {"L2"}, {" "}, {"0"}, {"L3"}, {}, {}, {}, {"no se lee"}}));
    QCOMPARE(p.filas(), (QStringList{"CODIGO", "", "L1", "L2", "L3"}));

    // An empty row 2, one line in row 3 and two empty rows: one data line.
    p.procesar(planilla("una.xlsx", {{"CODIGO"}, {}, {"L1"}}));
    QCOMPARE(p.filas(), (QStringList{"CODIGO", "", "L1"}));
    QVERIFY(p.guion.mensajes().isEmpty());
}

void TstCarga::cargarDeNuevoBorraLosCampos() {
    const QString ruta = planilla("dos.xlsx", {{"CODIGO", "DESC"}, {"A1", "Taladro"}});
    Paso2 p;
    p.procesar(ruta);
    p.paso.grilla().setTextMatrix(1, 0, QStringLiteral("[ ARTICULO ]"));
    p.principal.habilitarSiguiente(false, QStringLiteral("OK"));
    p.procesar(ruta);
    QCOMPARE(p.filas(), (QStringList{"CODIGO|DESC", "|", "A1|Taladro"}));
    QVERIFY(p.principal.cmdSiguienteEnabled);
    QCOMPARE(p.principal.cmdSiguienteTag, QString());
}

void TstCarga::encabezadoSinDatosNoCambiaNada() {
    Paso2 p;
    p.procesar(planilla("bien.xlsx", {{"CODIGO"}, {"A1"}}));
    p.paso.grilla().setTextMatrix(1, 0, QStringLiteral("[ ARTICULO ]"));
    const QStringList antes = p.filas();
    p.principal.habilitarSiguiente(false, QStringLiteral("OK"));
    QSignalSpy reinicios(&p.paso.grilla(), &QAbstractItemModel::modelReset);

    p.procesar(planilla("solo_encabezado.xlsx", {{"CODIGO", "DESC"}, {"0", " "}}));
    QCOMPARE(p.guion.mensajes().size(), 1);
    const Aviso aviso = p.guion.mensajes()[0];
    QCOMPARE(visible(aviso.texto),
             visible(QStringLiteral(
                         "381 - Subíndice fuera del intervalo: la planilla no tiene líneas de datos debajo "
                         "del encabezado") +
                     kSeccion + QStringLiteral("70")));
    QCOMPARE(aviso.icono, Icono::Critico);
    QCOMPARE(p.filas(), antes);
    QCOMPARE(reinicios.size(), 0);
    QVERIFY(p.siguienteSinCambios());
    QCOMPARE(p.guion.esperaActiva, 0);
}

void TstCarga::archivoInexistente() {
    Paso2 p;
    const QString ruta = m_dir->filePath(QStringLiteral("no existe.xlsx"));
    p.procesar(ruta);
    QCOMPARE(p.guion.mensajes().size(), 1);
    QCOMPARE(p.guion.mensajes()[0].texto,
             QStringLiteral("No se encuentra el archivo seleccionado \r\n") + ruta);
    QCOMPARE(p.guion.mensajes()[0].icono, Icono::Exclamacion);
    QCOMPARE(p.paso.archivo(), ruta);
    QCOMPARE(p.filas(), (QStringList{"", ""}));
    QVERIFY(p.siguienteSinCambios());
    QCOMPARE(p.guion.esperaActiva, 0);
}

void TstCarga::archivosQueNoSePuedenLeer_data() {
    QTest::addColumn<QString>("ruta");
    const QString fx = QStringLiteral(TARVIX_SOURCE_DIR "/tests/fixtures/");
    QTest::newRow("texto con nombre .xlsx") << QString();
    QTest::newRow("zip truncado") << fx + QStringLiteral("xlsx/truncado.xlsx");
    QTest::newRow("bomba zip") << fx + QStringLiteral("xlsx/bomba_zip.xlsx");
    QTest::newRow("bomba de entidades") << fx + QStringLiteral("xlsx/bomba_entidades.xlsx");
    QTest::newRow("xls cifrado") << fx + QStringLiteral("xls/cifrado_libreoffice.xls");
}

// The reader's refusal reaches the user in the load's report; the grid on screen stays.
void TstCarga::archivosQueNoSePuedenLeer() {
    QFETCH(QString, ruta);
    if (ruta.isEmpty()) {
        ruta = m_dir->filePath(QStringLiteral("texto.xlsx"));
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("CODIGO;DESC\nA1;Taladro\n");
    }
    Paso2 p;
    p.procesar(planilla("bien.xlsx", {{"CODIGO"}, {"A1"}}));
    const QStringList antes = p.filas();
    p.principal.habilitarSiguiente(false, QStringLiteral("OK"));

    p.procesar(ruta);
    QCOMPARE(p.guion.mensajes().size(), 1);
    const QString texto = p.guion.mensajes()[0].texto;
    QVERIFY2(texto.startsWith(u"1004 - ") && texto.endsWith(kSeccion + QStringLiteral("30")),
             qPrintable(visible(texto)));
    QVERIFY2(texto.size() > QStringLiteral("1004 - ").size() + kSeccion.size() + 2,
             qPrintable(visible(texto)));
    QCOMPARE(p.guion.mensajes()[0].icono, Icono::Critico);
    QCOMPARE(p.filas(), antes);
    QVERIFY(p.siguienteSinCambios());
    QCOMPARE(p.guion.esperaActiva, 0);
}

// A header across every column of the sheet: the lines are refused before the grid grows past
// its bound, with a message that says so.
void TstCarga::planillaDemasiadoGrande() {
    Filas filas(1 + 306, std::vector<Valor>{"L"});
    filas[0].assign(16384, Valor("H"));
    Paso2 p;
    p.procesar(planilla("ancha.xlsx", filas));
    QCOMPARE(p.guion.mensajes().size(), 1);
    const QString texto = p.guion.mensajes()[0].texto;
    QVERIFY2(texto.startsWith(u"7 - La planilla es demasiado grande para mostrarla") &&
                 texto.endsWith(kSeccion + QStringLiteral("60")),
             qPrintable(visible(texto)));
    QCOMPARE(p.paso.grilla().Rows(), 2);
    QVERIFY(p.siguienteSinCambios());

    // One line less fits.
    filas.pop_back();
    p.procesar(planilla("ancha_justa.xlsx", filas));
    QCOMPARE(p.guion.mensajes().size(), 1);
    QCOMPARE(p.paso.grilla().Rows(), 307);
    QCOMPARE(p.paso.grilla().Cols(), 16384);
}

void TstCarga::dialogoCanceladoYRutaVacia() {
    Paso2 p;
    QSignalSpy archivo(&p.paso, &ControladorPaso2::archivoCambiado);
    p.paso.FRAM2_CmdProcesar_Click(); // no answer queued: cancelled
    QCOMPARE(p.guion.avisos.size(), 1);
    const Aviso dialogo = p.guion.avisos[0];
    QCOMPARE(dialogo.tipo, Aviso::Tipo::Abrir);
    QCOMPARE(dialogo.texto, QStringLiteral("Abrir Factura en EXCEL"));
    QCOMPARE(dialogo.titulo, QStringLiteral("Facturas en EXCEL (xls;*.xlsx)"));
    QCOMPARE(archivo.size(), 0);
    QCOMPARE(p.paso.archivo(), QString());
    QVERIFY(p.siguienteSinCambios());

    QVERIFY(!lf_LevantarExcel(QStringLiteral("   "), p.paso.grilla(), p.g, p.principal));
    QVERIFY(p.guion.mensajes().isEmpty());
    QCOMPARE(p.guion.esperaActiva, 0);
}

// Both example invoices through both readers give the same grid.
void TstCarga::ejemploXlsYXlsxIguales() {
    const LocaleFijo fijo(QStringLiteral("es_AR"));
    Paso2 xlsx;
    xlsx.procesar(QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx"));
    Paso2 xls;
    xls.procesar(QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xls"));
    QVERIFY(xlsx.guion.mensajes().isEmpty());
    QVERIFY(xls.guion.mensajes().isEmpty());
    const ModeloGrilla& m = xlsx.paso.grilla();
    QCOMPARE(m.Rows(), 16);
    QCOMPARE(m.Cols(), 24);
    QCOMPARE(m.TextMatrix(0, 22), QStringLiteral("CUSTOMER CODE"));
    QCOMPARE(m.TextMatrix(2, 22), QStringLiteral("TX650"));
    QCOMPARE(m.TextMatrix(2, 9), QStringLiteral("3420"));
    QCOMPARE(m.TextMatrix(2, 12), QStringLiteral("10/5/2024"));
    QCOMPARE(m.TextMatrix(15, 1), QStringLiteral("HSS DRILL BIT SET 10 PCS 1-10MM"));
    QCOMPARE(xls.filas(), xlsx.filas());
}

QTEST_GUILESS_MAIN(TstCarga)
#include "tst_carga.moc"
