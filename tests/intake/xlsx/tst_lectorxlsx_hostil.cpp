// Hostile and damaged packages: each one ends in a VbError that says what is wrong, in bounded
// time and memory, and no sheet.
#include "components/vberror.h"
#include "fixturaxlsx.h"
#include "intake/lectorlibro.h"
#include "intake/xlsx/lectorxlsx.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <sys/resource.h>
#include <zip.h>

using namespace tarvix::lector;

namespace {

// Reads and returns the error's description; fails the test when there is no error.
QString errorAlLeer(const QString& ruta, const LimitesXlsx& limites = {}) {
    try {
        leerXlsx(ruta, limites);
    } catch (const tarvix::VbError& e) {
        if (e.numero() != kErrorLibro)
            return QStringLiteral("número inesperado %1: %2").arg(e.numero()).arg(e.descripcion());
        return e.descripcion();
    }
    return QStringLiteral("(sin error)");
}

// A workbook whose sheet has `filas` rows of four numbers (row + 0, + 0.25, + 0.5, + 0.75), the
// parts written straight into the zip: a general writer takes many seconds for a million rows.
bool escribirFilas(const QString& ruta, int filas) {
    std::string hoja =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    hoja.reserve(static_cast<size_t>(filas) * 80 + 100);
    for (int f = 1; f <= filas; ++f) {
        const std::string n = std::to_string(f);
        hoja += "<row><c><v>" + n + "</v></c><c><v>" + n + ".25</v></c><c><v>" + n + ".5</v></c><c><v>" + n +
                ".75</v></c></row>";
    }
    hoja += "</sheetData></worksheet>";
    const std::pair<const char*, std::string> partes[] = {
        {"_rels/.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
         "<sheet name=\"H\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
         "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
         "Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", std::move(hoja)}};
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return false;
    for (const auto& [nombre, datos] : partes) {
        zip_source_t* fuente = zip_source_buffer(z, datos.data(), datos.size(), 0);
        const zip_int64_t i = zip_file_add(z, nombre, fuente, ZIP_FL_OVERWRITE);
        if (i < 0 || zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_DEFLATE, 1) < 0) {
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}

long memoriaMaximaMiB() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss / 1024;
}

} // namespace

class TstLectorXlsxHostil : public QObject {
    Q_OBJECT
private slots:
    void archivosHostiles_data();
    void archivosHostiles();
    void limites_data();
    void limites();
    void unMillonDeFilas();
    void memoriaAcotada();
};

void TstLectorXlsxHostil::archivosHostiles_data() {
    QTest::addColumn<QString>("archivo");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("bomba zip") << "bomba_zip.xlsx"
                               << "bomba de compresión";
    QTest::newRow("bomba de entidades") << "bomba_entidades.xlsx"
                                        << "DOCTYPE";
    QTest::newRow("fila excesiva") << "fila_excesiva.xlsx"
                                   << "fuera de los límites";
    QTest::newRow("celda en fila excesiva") << "celda_fila_excesiva.xlsx"
                                            << "fuera de los límites";
    QTest::newRow("columna excesiva") << "columna_excesiva.xlsx"
                                      << "fuera de los límites";
    QTest::newRow("columna sin r excesiva") << "columnas_sin_r_excesivas.xlsx"
                                            << "fuera de los límites";
    QTest::newRow("referencia inválida") << "referencia_invalida.xlsx"
                                         << "«1A», que no es válida";
    QTest::newRow("cadena inexistente") << "cadena_inexistente.xlsx"
                                        << "cadena compartida «7»";
    QTest::newRow("número inválido") << "numero_invalido.xlsx"
                                     << "«1,5», que no es un número";
    QTest::newRow("XML inválido") << "xml_invalido.xlsx"
                                  << "no es XML válido";
    QTest::newRow("sin hojas") << "sin_hojas.xlsx"
                               << "ninguna hoja";
    QTest::newRow("zip sin libro") << "zip_sin_libro.xlsx"
                                   << "relación del libro";
    QTest::newRow("truncado") << "truncado.xlsx"
                              << "ZIP";
    QTest::newRow("no es zip") << "no_es_zip.xlsx"
                               << "no es un archivo ZIP";
    QTest::newRow("inexistente") << "no_existe.xlsx"
                                 << "no se puede leer";
}

void TstLectorXlsxHostil::archivosHostiles() {
    QFETCH(QString, archivo);
    QFETCH(QString, motivo);
    QElapsedTimer reloj;
    reloj.start();
    const QString descripcion = errorAlLeer(fixture(archivo));
    QVERIFY2(descripcion.contains(motivo), qPrintable(descripcion));
    QVERIFY2(descripcion.contains(archivo), qPrintable(descripcion)); // names the file
    QVERIFY2(reloj.elapsed() < 5000, qPrintable(QString::number(reloj.elapsed())));
}

void TstLectorXlsxHostil::limites_data() {
    QTest::addColumn<QString>("archivo");
    QTest::addColumn<int>("cual");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("tamaño de la hoja") << "tipos.xlsx" << 0 << "xl/worksheets/sheet1.xml ocupa más de";
    QTest::newRow("tamaño de las cadenas") << "cadenas.xlsx" << 1 << "xl/sharedStrings.xml ocupa más de";
    QTest::newRow("proporción") << "tipos.xlsx" << 2 << "bomba de compresión";
    QTest::newRow("partes") << "tipos.xlsx" << 3 << "más de 4 partes";
    QTest::newRow("cadenas") << "cadenas.xlsx" << 4 << "más de 3 cadenas";
    QTest::newRow("celdas") << "tipos.xlsx" << 5 << "más de 12 celdas";
    QTest::newRow("caracteres de texto") << "cadenas.xlsx" << 6 << "más de 8 caracteres";
    QTest::newRow("largo de una cadena") << "cadenas.xlsx" << 7 << "supera 5 bytes";
    QTest::newRow("estilos") << "tipos.xlsx" << 8 << "xl/styles.xml tiene más de 2";
}

void TstLectorXlsxHostil::limites() {
    QFETCH(QString, archivo);
    QFETCH(int, cual);
    QFETCH(QString, motivo);
    LimitesXlsx l;
    QVERIFY(errorAlLeer(fixture(archivo), l) == QStringLiteral("(sin error)"));
    switch (cual) {
    case 0:
        l.bytesHoja = 200;
        break;
    case 1:
        l.bytesCadenas = 100;
        break;
    case 2:
        l.bytesMinimosProporcion = 0;
        l.proporcionMaxima = 1;
        break;
    case 3:
        l.partes = 4;
        break;
    case 4:
        l.cadenas = 3;
        break;
    case 5:
        l.celdas = 12;
        break;
    case 6:
        l.caracteresTexto = 8;
        break;
    case 7:
        l.caracteresCelda = 5;
        break;
    case 8:
        l.estilos = 2;
        break;
    }
    const QString descripcion = errorAlLeer(fixture(archivo), l);
    QVERIFY2(descripcion.contains(motivo), qPrintable(descripcion));
    QVERIFY2(descripcion.contains(QStringLiteral("límite de seguridad")), qPrintable(descripcion));
}

void TstLectorXlsxHostil::unMillonDeFilas() {
    // 1,000,000 rows of 4 numbers: more cells than the reader holds.
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("millon.xlsx"));
    QVERIFY(escribirFilas(ruta, 1000000));

    QElapsedTimer reloj;
    reloj.start();
    const QString descripcion = errorAlLeer(ruta);
    QVERIFY2(descripcion.contains(QStringLiteral("más de 2500000 celdas")), qPrintable(descripcion));
    QVERIFY2(reloj.elapsed() < 20000 * prueba::factorTiempo(), qPrintable(QString::number(reloj.elapsed())));
    // A limit passed while the part is inflated in its own thread.
    LimitesXlsx corto;
    corto.bytesHoja = 8 << 20;
    const QString parcial = errorAlLeer(ruta, corto);
    QVERIFY2(parcial.contains(QStringLiteral("ocupa más de 8 MiB")), qPrintable(parcial));
    // The same file within a larger limit is read whole.
    LimitesXlsx amplio;
    amplio.celdas = 4'000'000;
    const Hoja h = leerXlsx(ruta, amplio);
    QCOMPARE(h.filas(), 1000000);
    QCOMPARE(h.celda(1000000, 4).numero, 1000000.75);
}

void TstLectorXlsxHostil::memoriaAcotada() {
    // Runs last: everything above stayed well under the 500 MB any input may cost.
    QVERIFY2(memoriaMaximaMiB() < 500, qPrintable(QString::number(memoriaMaximaMiB())));
}

QTEST_GUILESS_MAIN(TstLectorXlsxHostil)
#include "tst_lectorxlsx_hostil.moc"
