// The spreadsheet wrapper: its errors, its calling order and the choice of reader by content.
#include "components/vberror.h"
#include "fixturaxlsx.h"
#include "intake/clecxel.h"
#include "intake/lectorlibro.h"
#include "paquetexlsx.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

using tarvix::clEcxel;
using tarvix::VbError;

namespace {

// Runs Abrir and returns the error it raised; number 0 when there was none.
VbError errorDeAbrir(clEcxel& excel) {
    try {
        excel.Abrir();
    } catch (const VbError& e) {
        return e;
    }
    return VbError(0, {}, {});
}

} // namespace

class TstClEcxel : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("es_AR"))); }
    void sinArchivo();
    void leerSinAbrir();
    void archivoQueNoAbre_data();
    void archivoQueNoAbre();
    void celdaFueraDeLaHoja();
    void localizacionDelMomento();
    void filaEntera_data();
    void filaEntera();
    void filaFueraDeLaHoja();
    void eligePorContenido();

private:
    QTemporaryDir m_dir;
};

void TstClEcxel::sinArchivo() {
    clEcxel excel;
    const VbError e = errorDeAbrir(excel);
    QCOMPARE(e.numero(), qint64(-2147221494));
    QCOMPARE(e.origen(), QStringLiteral("[clExcel.Abrir]"));
    QCOMPARE(e.descripcion(), QStringLiteral("No hay archivo seleccionado"));
    QCOMPARE(excel.LeerCelda(1, 1), QString());
}

void TstClEcxel::leerSinAbrir() {
    clEcxel excel;
    excel.setArchivo(fixture(QStringLiteral("tipos.xlsx")));
    QCOMPARE(excel.LeerCelda(1, 1), QString()); // before Abrir
    QVERIFY(excel.Abrir());
    QCOMPARE(excel.LeerCelda(1, 1), QStringLiteral("True"));
    excel.CerrarArchivo();
    QCOMPARE(excel.LeerCelda(1, 1), QString()); // after CerrarArchivo
    excel.CerrarArchivo();                      // twice: no failure
    // A failed Abrir after a good one leaves nothing open.
    QVERIFY(excel.Abrir());
    excel.setArchivo(fixture(QStringLiteral("truncado.xlsx")));
    QCOMPARE(errorDeAbrir(excel).numero(), tarvix::lector::kErrorLibro);
    QCOMPARE(excel.LeerCelda(1, 1), QString());
}

void TstClEcxel::archivoQueNoAbre_data() {
    QTest::addColumn<QString>("ruta");
    QTest::addColumn<QString>("descripcion");
    QTest::newRow("inexistente") << fixture(QStringLiteral("no_existe.xlsx")) << "No se encuentra el archivo";
    QTest::newRow("carpeta") << fixture(QString()) << "es una carpeta";
    QTest::newRow("texto") << fixture(QStringLiteral("no_es_zip.xlsx"))
                           << "El archivo no es una planilla de Excel (.xls o .xlsx)";
    QTest::newRow("dañado") << fixture(QStringLiteral("xml_invalido.xlsx")) << "está dañado";
    QTest::newRow("hostil") << fixture(QStringLiteral("bomba_zip.xlsx")) << "límite de seguridad";
}

void TstClEcxel::archivoQueNoAbre() {
    QFETCH(QString, ruta);
    QFETCH(QString, descripcion);
    clEcxel excel;
    excel.setArchivo(ruta);
    const VbError e = errorDeAbrir(excel);
    QCOMPARE(e.numero(), tarvix::lector::kErrorLibro);
    QCOMPARE(e.origen(), QStringLiteral("[clExcel.Abrir]"));
    QVERIFY2(e.descripcion().contains(descripcion), qPrintable(e.descripcion()));
    QCOMPARE(excel.LeerCelda(1, 1), QString());
}

void TstClEcxel::celdaFueraDeLaHoja() {
    clEcxel excel;
    excel.setArchivo(fixture(QStringLiteral("tipos.xlsx")));
    QVERIFY(excel.Abrir());
    QCOMPARE(excel.LeerCelda(1048576, 16384), QString()); // the last cell: empty, no error
    for (const auto& [fila, columna] : {std::pair{0, 1}, {1, 0}, {1048577, 1}, {1, 16385}, {-5, -5}}) {
        try {
            excel.LeerCelda(fila, columna);
            QFAIL("LeerCelda fuera de la hoja no dio error");
        } catch (const VbError& e) {
            QCOMPARE(e.numero(), tarvix::lector::kErrorLibro);
            QCOMPARE(e.origen(), QStringLiteral("[clExcel.LeerCelda]"));
        }
    }
}

void TstClEcxel::localizacionDelMomento() {
    clEcxel excel;
    excel.setArchivo(fixture(QStringLiteral("estricto.xlsx")));
    QVERIFY(excel.Abrir());
    QCOMPARE(excel.LeerCelda(1, 3), QStringLiteral("2,25"));
    QCOMPARE(excel.LeerCelda(1, 2), QStringLiteral("01/01/1904"));
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(excel.LeerCelda(1, 3), QStringLiteral("2.25"));
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    QCOMPARE(excel.LeerCelda(1, 2), QStringLiteral("01.01.1904"));
}

void TstClEcxel::filaEntera_data() {
    QTest::addColumn<QString>("ruta");
    QTest::newRow("xlsx") << fixture(QStringLiteral("tipos.xlsx"));
    QTest::newRow("factura") << fixture(QStringLiteral("xlsxwriter_factura.xlsx"));
    QTest::newRow("1904") << fixture(QStringLiteral("xlsxwriter_1904.xlsx"));
    QTest::newRow("xls") << QStringLiteral(TARVIX_SOURCE_DIR "/tests/fixtures/xls/tipos_libreoffice.xls");
    // Rows far longer than the buffer a row is first written in: long texts between numbers,
    // booleans and errors.
    std::string hoja = kInicioHoja;
    for (int f = 1; f <= 3; ++f) {
        hoja += "<row r=\"" + std::to_string(f) + "\">";
        for (int c = 0; c < 30; ++c) {
            if (c % 3 == 0)
                hoja += "<c t=\"inlineStr\"><is><t>" +
                        std::string(900 * f + c, static_cast<char>('a' + c % 26)) + "ñ</t></is></c>";
            else if (c % 3 == 1)
                hoja += "<c><v>-" + std::to_string(c) + ".125</v></c>";
            else
                hoja += c % 2 ? "<c t=\"e\"><v>#N/A</v></c>" : "<c t=\"b\"><v>1</v></c>";
        }
        hoja += "</row>";
    }
    const QString larga = m_dir.filePath(QStringLiteral("larga.xlsx"));
    QVERIFY(escribirHoja(larga, hoja + kFinHoja));
    QTest::newRow("filas largas") << larga;
}

void TstClEcxel::filaEntera() {
    // LeerFila appends what LeerCelda gives cell by cell, under the locale of each moment, and
    // marks where each cell ends; rows and columns past the cells read as empty.
    QFETCH(QString, ruta);
    clEcxel excel;
    excel.setArchivo(ruta);
    QVERIFY(excel.Abrir());
    constexpr int kAncho = 40;
    for (const char* nombre : {"es_AR", "en_US", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(nombre)));
        for (int fila = 1; fila <= 60; ++fila) {
            QString esperado = QStringLiteral("previo|");
            std::vector<quint32> finesEsperados;
            for (int c = 1; c <= kAncho; ++c) {
                esperado += excel.LeerCelda(fila, c);
                finesEsperados.push_back(static_cast<quint32>(esperado.size()));
            }
            QString obtenido = QStringLiteral("previo|");
            std::vector<quint32> fines(kAncho, 12345);
            excel.LeerFila(fila, kAncho, obtenido, fines.data());
            QCOMPARE(obtenido, esperado);
            QCOMPARE(fines, finesEsperados);
        }
    }
}

void TstClEcxel::filaFueraDeLaHoja() {
    clEcxel excel;
    QString texto = QStringLiteral("abc");
    quint32 fines[3] = {9, 9, 9};
    excel.LeerFila(1, 3, texto, fines); // nothing open: nothing appended
    QCOMPARE(texto, QStringLiteral("abc"));
    QCOMPARE(fines[2], quint32(3));
    excel.setArchivo(fixture(QStringLiteral("tipos.xlsx")));
    QVERIFY(excel.Abrir());
    excel.LeerFila(1048576, 3, texto, fines); // the last row: empty, no error
    QCOMPARE(texto, QStringLiteral("abc"));
    for (const auto& [fila, columnas] : {std::pair{0, 1}, {1048577, 1}, {1, 16385}, {-5, 2}}) {
        try {
            std::vector<quint32> muchos(static_cast<size_t>(std::max(columnas, 0)));
            excel.LeerFila(fila, columnas, texto, muchos.data());
            QFAIL("LeerFila fuera de la hoja no dio error");
        } catch (const VbError& e) {
            QCOMPARE(e.numero(), tarvix::lector::kErrorLibro);
            QCOMPARE(e.origen(), QStringLiteral("[clExcel.LeerCelda]"));
        }
    }
}

void TstClEcxel::eligePorContenido() {
    QTemporaryDir dir;
    // A workbook named .xls, or with no extension, is still read as what it is.
    for (const QString& nombre : {QStringLiteral("factura.xls"), QStringLiteral("factura")}) {
        const QString ruta = dir.filePath(nombre);
        QVERIFY(QFile::copy(fixture(QStringLiteral("cadenas.xlsx")), ruta));
        clEcxel excel;
        excel.setArchivo(ruta);
        QVERIFY(excel.Abrir());
        QCOMPARE(excel.LeerCelda(1, 1), QStringLiteral("simple"));
    }
    // A compound document goes to the .xls reader, which refuses this one (no workbook stream).
    const QString ole = dir.filePath(QStringLiteral("falso.xlsx"));
    QFile f(ole);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0'));
    f.close();
    clEcxel excel;
    excel.setArchivo(ole);
    const VbError e = errorDeAbrir(excel);
    QVERIFY2(e.numero() != 0 && !e.descripcion().contains(QStringLiteral("no es una planilla")),
             qPrintable(e.descripcion()));
    // An empty file is no spreadsheet.
    const QString vacio = dir.filePath(QStringLiteral("vacio.xlsx"));
    QVERIFY(QFile(vacio).open(QIODevice::WriteOnly));
    excel.setArchivo(vacio);
    QVERIFY(errorDeAbrir(excel).descripcion().contains(QStringLiteral("no es una planilla")));
}

QTEST_GUILESS_MAIN(TstClEcxel)
#include "tst_clecxel.moc"
