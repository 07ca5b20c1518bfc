// Hostile and damaged packages: each one ends in a VbError that says what is wrong, in bounded
// time and memory, and no sheet.
#include "components/vberror.h"
#include "fixturaxlsx.h"
#include "intake/lectorlibro.h"
#include "intake/xlsx/lectorxlsx.h"
#include "paquetexlsx.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <sys/resource.h>
#include <tuple>

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

// A workbook whose sheet has `filas` rows of four numbers (row + 0, + 0.25, + 0.5, + 0.75): a
// general writer takes many seconds for a million rows.
bool escribirFilas(const QString& ruta, int filas) {
    std::string hoja = kInicioHoja;
    hoja.reserve(static_cast<size_t>(filas) * 80 + 100);
    for (int f = 1; f <= filas; ++f) {
        const std::string n = std::to_string(f);
        hoja += "<row><c><v>" + n + "</v></c><c><v>" + n + ".25</v></c><c><v>" + n + ".5</v></c><c><v>" + n +
                ".75</v></c></row>";
    }
    return escribirHoja(ruta, hoja + kFinHoja);
}

// A sheet of `filas` rows of one number each, varied enough to compress like real data.
std::string hojaDeFilas(int filas) {
    std::string hoja = kInicioHoja;
    for (int f = 1; f <= filas; ++f)
        hoja += "<row><c><v>" + std::to_string(f * 7919 % 100003) + "</v></c></row>";
    return hoja + kFinHoja;
}

std::uint32_t le32(const QByteArray& b, qsizetype i) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<unsigned char>(b[i + k]);
    return v;
}

// Offsets of the sheet part's entry in a zip written by escribirHoja: its local header, its
// compressed bytes (and their count) and its central directory entry.
struct EntradaHoja {
    qsizetype local = -1, datos = -1, comprimidos = 0, central = -1;
};

EntradaHoja entradaHoja(const QByteArray& zip) {
    const QByteArray nombre = "xl/worksheets/sheet1.xml";
    EntradaHoja e;
    for (qsizetype i = zip.indexOf("PK\x03\x04"); i >= 0; i = zip.indexOf("PK\x03\x04", i + 4)) {
        const qsizetype largoNombre = le32(zip, i + 26) & 0xFFFF;
        if (zip.mid(i + 30, largoNombre) == nombre) {
            e.local = i;
            e.datos = i + 30 + largoNombre + (le32(zip, i + 28) & 0xFFFF);
            e.comprimidos = le32(zip, i + 18);
            break;
        }
    }
    for (qsizetype i = zip.indexOf("PK\x01\x02"); i >= 0; i = zip.indexOf("PK\x01\x02", i + 4))
        if (zip.mid(i + 46, le32(zip, i + 28) & 0xFFFF) == nombre)
            e.central = i;
    return e;
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
    void contenedorDanado_data();
    void contenedorDanado();
    void limitesJustos();
    void hojaSinComprimir();
    void numerosFueraDeRango();
    void celdasFueraDeSuFila();
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
    QTest::newRow("memoria") << "tipos.xlsx" << 5 << "la hoja necesita más de";
    QTest::newRow("memoria con cadenas") << "cadenas.xlsx" << 5 << "la hoja necesita más de";
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
        l.memoria = memoriaDe(leerXlsx(fixture(archivo)), kMemoriaHoja) - 1;
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

void TstLectorXlsxHostil::contenedorDanado_data() {
    QTest::addColumn<int>("dano");
    QTest::addColumn<QString>("mensaje");
    const QString parte = QStringLiteral("la parte xl/worksheets/sheet1.xml ");
    const QString suma = parte + QStringLiteral("los datos comprimidos no coinciden con su suma de control.");
    QTest::newRow("suma de control") << 0 << suma;
    // Altered bytes that still inflate are caught by the checksum before any XML is read.
    QTest::newRow("bytes comprimidos alterados") << 1 << suma;
    QTest::newRow("flujo comprimido cortado") << 2 << parte;
    // The sizes the headers state are only a hint: the part is read whole either way.
    QTest::newRow("tamaño declarado menor") << 3 << QStringLiteral("(sin error)");
    QTest::newRow("tamaño declarado mayor") << 4 << QStringLiteral("(sin error)");
    QTest::newRow("bloque inválido") << 5
                                     << parte + QStringLiteral("los datos comprimidos están dañados y no se "
                                                               "pueden descomprimir");
}

void TstLectorXlsxHostil::contenedorDanado() {
    QFETCH(int, dano);
    QFETCH(QString, mensaje);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("danado.xlsx"));
    QVERIFY(escribirHoja(ruta, hojaDeFilas(20000)));
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray zip = f.readAll();
    f.close();
    const EntradaHoja e = entradaHoja(zip);
    QVERIFY(e.local >= 0 && e.central >= 0 && e.comprimidos > 1000);
    // A 32-bit field of the sheet's entry, in its local header and in the central directory.
    const auto poner = [&](qsizetype enLocal, qsizetype enCentral, std::uint32_t v) {
        for (const qsizetype i : {e.local + enLocal, e.central + enCentral})
            for (int k = 0; k < 4; ++k)
                zip[i + k] = static_cast<char>(v >> (8 * k));
    };
    switch (dano) {
    case 0:
        poner(14, 16, le32(zip, e.central + 16) ^ 0x00010000u);
        break;
    case 1:
        for (qsizetype i = e.datos + e.comprimidos / 2; i < e.datos + e.comprimidos / 2 + 16; ++i)
            zip[i] = '\xFF';
        break;
    case 2:
        for (qsizetype i = e.datos + e.comprimidos / 2; i < e.datos + e.comprimidos; ++i)
            zip[i] = '\0';
        break;
    case 3:
        poner(22, 24, le32(zip, e.central + 24) / 2);
        break;
    case 4:
        poner(22, 24, le32(zip, e.central + 24) * 2);
        break;
    case 5:
        zip[e.datos] = '\xFF';
        break;
    }
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(zip), zip.size());
    f.close();
    const QString descripcion = errorAlLeer(ruta);
    QVERIFY2(descripcion.contains(mensaje), qPrintable(descripcion));
}

void TstLectorXlsxHostil::limitesJustos() {
    // A part exactly at a limit is read; one byte (or one step of the ratio) less refuses it.
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("justo.xlsx"));
    const std::string hoja = hojaDeFilas(30000);
    QVERIFY(escribirHoja(ruta, hoja));
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const EntradaHoja e = entradaHoja(f.readAll());
    QVERIFY(e.comprimidos > 0);
    const auto bytes = static_cast<std::int64_t>(hoja.size());

    LimitesXlsx l;
    l.bytesHoja = bytes;
    QCOMPARE(errorAlLeer(ruta, l), QStringLiteral("(sin error)"));
    l.bytesHoja = bytes - 1;
    QVERIFY2(errorAlLeer(ruta, l).contains(QStringLiteral("sheet1.xml ocupa más de")),
             qPrintable(errorAlLeer(ruta, l)));

    LimitesXlsx p;
    p.bytesMinimosProporcion = 0;
    p.proporcionMaxima = bytes / e.comprimidos;
    QCOMPARE(errorAlLeer(ruta, p), QStringLiteral("(sin error)"));
    p.proporcionMaxima -= 1;
    QVERIFY2(errorAlLeer(ruta, p).contains(QStringLiteral("sheet1.xml crece más de")),
             qPrintable(errorAlLeer(ruta, p)));
    // Past both limits, the one reached first while inflating is named.
    p.bytesHoja = bytes / 2;
    QVERIFY2(errorAlLeer(ruta, p).contains(QStringLiteral("sheet1.xml ocupa más de")),
             qPrintable(errorAlLeer(ruta, p)));
}

void TstLectorXlsxHostil::numerosFueraDeRango() {
    // A number too large for a double is refused (it used to read as 0); one too small for a
    // double is 0, and a subnormal one is kept.
    QTemporaryDir dir;
    const auto leer = [&dir](const std::string& valor) {
        const QString ruta = dir.filePath(QStringLiteral("n.xlsx"));
        if (!escribirHoja(ruta, kInicioHoja + "<row r=\"1\"><c><v>" + valor + "</v></c></row>" + kFinHoja))
            return Celda();
        return leerXlsx(ruta).celda(1, 1);
    };
    const std::string grandes[] = {"1e999", "-1E+400", "1" + std::string(400, '0'), "0.001e312"};
    for (const std::string& grande : grandes) {
        const QString ruta = dir.filePath(QStringLiteral("g.xlsx"));
        QVERIFY(
            escribirHoja(ruta, kInicioHoja + "<row r=\"1\"><c><v>" + grande + "</v></c></row>" + kFinHoja));
        const QString descripcion = errorAlLeer(ruta);
        QVERIFY2(descripcion.contains(QStringLiteral("que no es un número")), qPrintable(descripcion));
    }
    const std::string chicos[] = {"1e-400", "-2.5E-999", "0." + std::string(400, '0') + "1", "1000e-330"};
    for (const std::string& chico : chicos) {
        const Celda c = leer(chico);
        QCOMPARE(c.tipo, TipoCelda::Numero);
        QCOMPARE(c.numero, 0.0);
    }
    QCOMPARE(leer("1e-310").numero, 1e-310);
    QCOMPARE(leer("1.7976931348623157e308").numero, 1.7976931348623157e308);
}

void TstLectorXlsxHostil::hojaSinComprimir() {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("guardada.xlsx"));
    QVERIFY(escribirHoja(ruta, hojaDeFilas(3000), ZIP_CM_STORE));
    const Hoja h = leerXlsx(ruta);
    QCOMPARE(h.filas(), 3000);
    QCOMPARE(h.celda(3000, 1).numero, 3000.0 * 7919 - 100003.0 * (3000 * 7919 / 100003));
}

void TstLectorXlsxHostil::celdasFueraDeSuFila() {
    // Cells out of order, cells whose reference names another row, a row given twice, a wide row
    // before narrow ones: each cell lands where its reference says, a later one over an earlier.
    // Slots are counted per row up to its last cell, plus each cell of another row up to its own.
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("desorden.xlsx"));
    QVERIFY(escribirHoja(ruta, kInicioHoja +
                                   "<row r=\"2\"><c r=\"C2\"><v>3</v></c><c r=\"A2\"><v>1</v></c>"
                                   "<c r=\"B5\"><v>55</v></c><c r=\"B2\"><v>2</v></c></row>"
                                   "<row r=\"5\"><c r=\"A5\"><v>51</v></c></row>"
                                   "<row r=\"2\"><c r=\"B2\"><v>22</v></c></row>"
                                   "<row r=\"7\"><c r=\"E7\"><v>75</v></c></row>"
                                   "<row r=\"8\"><c><v>81</v></c></row>"
                                   "<row r=\"3\"><c r=\"A1\"><v>11</v></c></row>" +
                                   kFinHoja));
    LimitesXlsx justo;
    justo.memoria = (2 + 3 + 1 + 2 + 5 + 1 + 1) * coste::kCasilla + 8 * coste::kFila;
    const Hoja h = leerXlsx(ruta, justo);
    QCOMPARE(h.filas(), 8);
    const int anchos[] = {1, 3, 0, 0, 2, 0, 5, 1};
    for (int f = 1; f <= 8; ++f)
        QCOMPARE(static_cast<int>(h.fila(f).size()), anchos[f - 1]);
    const std::tuple<int, int, double> valores[] = {{1, 1, 11}, {2, 1, 1},  {2, 2, 22}, {2, 3, 3},
                                                    {5, 1, 51}, {5, 2, 55}, {7, 5, 75}, {8, 1, 81}};
    for (const auto& [f, c, v] : valores) {
        QCOMPARE(h.celda(f, c).tipo, TipoCelda::Numero);
        QCOMPARE(h.celda(f, c).numero, v);
    }
    QCOMPARE(h.celda(7, 1).tipo, TipoCelda::Vacia);
    QCOMPARE(h.celda(5, 3).tipo, TipoCelda::Vacia);
    LimitesXlsx corto = justo;
    --corto.memoria;
    const QString descripcion = errorAlLeer(ruta, corto);
    QVERIFY2(descripcion.contains(
                 QStringLiteral("la hoja necesita más de %1 bytes de memoria").arg(corto.memoria)),
             qPrintable(descripcion));
}

void TstLectorXlsxHostil::unMillonDeFilas() {
    // 1,000,000 rows of 4 numbers: some 90 MB of cells, read whole; refused under less memory.
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("millon.xlsx"));
    QVERIFY(escribirFilas(ruta, 1000000));

    QElapsedTimer reloj;
    reloj.start();
    LimitesXlsx poca;
    poca.memoria = 64 << 20;
    const QString descripcion = errorAlLeer(ruta, poca);
    QVERIFY2(descripcion.contains(QStringLiteral("la hoja necesita más de 64 MB de memoria")),
             qPrintable(descripcion));
    QVERIFY2(reloj.elapsed() < 20000 * prueba::factorTiempo(), qPrintable(QString::number(reloj.elapsed())));
    // A limit passed while the part is inflated in its own thread.
    LimitesXlsx corto;
    corto.bytesHoja = 8 << 20;
    const QString parcial = errorAlLeer(ruta, corto);
    QVERIFY2(parcial.contains(QStringLiteral("ocupa más de 8 MiB")), qPrintable(parcial));
    const Hoja h = leerXlsx(ruta);
    QCOMPARE(h.filas(), 1000000);
    QCOMPARE(h.celda(1000000, 4).numero, 1000000.75);
}

void TstLectorXlsxHostil::memoriaAcotada() {
    // Runs last: everything above stayed well under the 500 MB any input may cost.
    QVERIFY2(memoriaMaximaMiB() < 500, qPrintable(QString::number(memoriaMaximaMiB())));
}

QTEST_GUILESS_MAIN(TstLectorXlsxHostil)
#include "tst_lectorxlsx_hostil.moc"
