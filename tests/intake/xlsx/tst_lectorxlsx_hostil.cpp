// Hostile and damaged packages: each one ends in a VbError that says what is wrong, in bounded
// time and memory, and no sheet.
#include "components/vberror.h"
#include "fixturaxlsx.h"
#include "intake/lectorlibro.h"
#include "intake/xlsx/lectorxlsx.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>
#include <xlsxwriter.h>

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
    // Written by libxlsxwriter: 1,000,000 rows of 4 numbers, more cells than the reader holds.
    QTemporaryDir dir;
    const QByteArray ruta = QFile::encodeName(dir.filePath(QStringLiteral("millon.xlsx")));
    lxw_workbook_options opciones{};
    opciones.constant_memory = LXW_TRUE;
    lxw_workbook* libro = workbook_new_opt(ruta.constData(), &opciones);
    QVERIFY(libro);
    lxw_worksheet* hoja = workbook_add_worksheet(libro, nullptr);
    for (lxw_row_t f = 0; f < 1000000; ++f)
        for (lxw_col_t c = 0; c < 4; ++c)
            worksheet_write_number(hoja, f, c, f + c / 4.0, nullptr);
    QCOMPARE(workbook_close(libro), LXW_NO_ERROR);

    QElapsedTimer reloj;
    reloj.start();
    const QString descripcion = errorAlLeer(QString::fromLocal8Bit(ruta));
    QVERIFY2(descripcion.contains(QStringLiteral("más de 3000000 celdas")), qPrintable(descripcion));
    QVERIFY2(reloj.elapsed() < 20000, qPrintable(QString::number(reloj.elapsed())));
    // The same file within a larger limit is read whole.
    LimitesXlsx amplio;
    amplio.celdas = 4'000'000;
    const Hoja h = leerXlsx(QString::fromLocal8Bit(ruta), amplio);
    QCOMPARE(h.filas(), 1000000);
    QCOMPARE(h.celda(1000000, 4).numero, 999999.75);
}

void TstLectorXlsxHostil::memoriaAcotada() {
    // Runs last: everything above stayed well under the 500 MB any input may cost.
    QVERIFY2(memoriaMaximaMiB() < 500, qPrintable(QString::number(memoriaMaximaMiB())));
}

QTEST_GUILESS_MAIN(TstLectorXlsxHostil)
#include "tst_lectorxlsx_hostil.moc"
