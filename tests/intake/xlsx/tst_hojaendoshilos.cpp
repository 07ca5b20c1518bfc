// A large worksheet read in two parts, the second by the thread that inflates it: every cell, and
// every fault, exactly as one pass gives them. Each sheet here is read both ways and compared; the test also
// checks which sheets were cut and which were left whole.
#include "intake/xlsx/hojaxlsx.h"
#include "lecturaxlsx.h"
#include "paquetexlsx.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace tarvix::lector;

namespace {

struct Comparacion {
    QString enDos, enUna;
    bool cortada = false;
};

// Reads the workbook cut in two (whatever its size) and in one pass.
Comparacion comparar(const QString& ruta, LimitesXlsx limites = {}) {
    Comparacion r;
    limites.bytesHojaEnDosHilos = 0;
    const std::int64_t antes = xlsx::lecturasEnDosHilos();
    r.enDos = lecturaXlsx(ruta, limites);
    r.cortada = xlsx::lecturasEnDosHilos() > antes;
    limites.bytesHojaEnDosHilos = std::numeric_limits<std::int64_t>::max();
    r.enUna = lecturaXlsx(ruta, limites);
    return r;
}

const std::string kCadenas =
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<si><t>uno</t></si><si><t>dos</t></si><si><t xml:space=\"preserve\"> tres </t></si></sst>";

// A row of every kind of cell: numbers, shared and inline strings, a formula's text, a boolean,
// an error, an ISO date.
std::string filaVariada(int f, bool conNumero, const std::string& p = {}) {
    const std::string n = std::to_string(f);
    std::string r = "<" + p + "row spans=\"1:8\"" + (conNumero ? " r=\"" + n + "\"" : std::string()) + ">";
    r += "<" + p + "c><" + p + "v>" + n + ".5</" + p + "v></" + p + "c>";
    r += "<" + p + "c t=\"s\"><" + p + "v>" + std::to_string(f % 3) + "</" + p + "v></" + p + "c>";
    r += "<" + p + "c t=\"inlineStr\"><" + p + "is><" + p + "t>fila &amp; " + n + "</" + p + "t></" + p +
         "is></" + p + "c>";
    r += "<" + p + "c t=\"str\"><" + p + "f>A1</" + p + "f><" + p + "v>calc " + n + "</" + p + "v></" + p +
         "c>";
    r += "<" + p + "c t=\"b\"><" + p + "v>" + std::to_string(f % 2) + "</" + p + "v></" + p + "c>";
    r += "<" + p + "c t=\"e\"><" + p + "v>#N/A</" + p + "v></" + p + "c>";
    r += "<" + p + "c t=\"d\"><" + p + "v>2024-03-" + std::to_string(10 + f % 18) + "</" + p + "v></" + p +
         "c>";
    return r + "</" + p + "row>";
}

} // namespace

class TstHojaEnDosHilos : public QObject {
    Q_OBJECT
private slots:
    void hojasComunes();
    void filasSinNumero();
    void celdasDeOtraFila();
    void hojasQueNoSeCortan();
    void fallasEnLaSegundaMitad();
    void limitesEntreLasDosMitades();
    void hojasAlAzar();

private:
    QString escribir(const std::string& hoja, const std::string& cadenas = kCadenas) {
        const QString ruta = m_dir.filePath(QStringLiteral("h%1.xlsx").arg(++m_n));
        if (!escribirHoja(ruta, hoja, ZIP_CM_DEFLATE, cadenas))
            qFatal("no se pudo escribir %s", qPrintable(ruta));
        return ruta;
    }
    QTemporaryDir m_dir;
    int m_n = 0;
};

void TstHojaEnDosHilos::hojasComunes() {
    // Numbered rows of every kind of cell, with and without a prefix on the sheet's names.
    std::string hoja = kInicioHoja;
    for (int f = 1; f <= 300; ++f)
        hoja += filaVariada(f, true) + "\n";
    const Comparacion a = comparar(escribir(hoja + kFinHoja));
    QVERIFY(a.cortada);
    QVERIFY(a.enDos.startsWith(QStringLiteral("300 filas|1,1:1:1,5|1,2:3:dos|1,3:3:fila & 1|")));
    QCOMPARE(a.enDos, a.enUna);

    std::string prefijada =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<x:worksheet "
        "xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:dimension ref=\"A1:G300\"/>"
        "<x:sheetData>";
    for (int f = 1; f <= 300; ++f)
        prefijada += filaVariada(f, true, "x:");
    const Comparacion b =
        comparar(escribir(prefijada + "</x:sheetData><x:pageMargins left=\"0.7\"/></x:worksheet>"));
    QVERIFY(b.cortada);
    QCOMPARE(b.enDos, b.enUna);
    QCOMPARE(b.enDos, a.enDos);

    // Numbers only, and a workbook without shared strings.
    std::string numeros = kInicioHoja;
    for (int f = 1; f <= 300; ++f)
        numeros += "<row r=\"" + std::to_string(f) + "\"><c><v>" + std::to_string(f) + "</v></c><c><v>" +
                   std::to_string(f * 3) + ".5</v></c></row>";
    const Comparacion c = comparar(escribir(numeros + kFinHoja, {}));
    QVERIFY(c.cortada);
    QCOMPARE(c.enDos, c.enUna);
    QVERIFY(c.enDos.endsWith(QStringLiteral("|300,1:1:300|300,2:1:900,5")));
}

void TstHojaEnDosHilos::filasSinNumero() {
    // Rows without their number take the next one: the cut falls on a numbered row, past a long
    // run of rows without one around the middle.
    std::string hoja = kInicioHoja;
    for (int f = 1; f <= 200; ++f)
        hoja += filaVariada(f, f < 60 || f > 170 || f == 20);
    const Comparacion a = comparar(escribir(hoja + kFinHoja));
    QVERIFY(a.cortada);
    QCOMPARE(a.enDos, a.enUna);
    QVERIFY(a.enDos.contains(QStringLiteral("|171,1:1:171,5|")));
}

void TstHojaEnDosHilos::celdasDeOtraFila() {
    // Cells of the second half that name rows of the first: they go where they say, over what
    // was there, texts of their own included; an empty place to their left changes nothing.
    std::string hoja = kInicioHoja;
    for (int f = 1; f <= 100; ++f)
        hoja += "<row r=\"" + std::to_string(f) + "\"><c t=\"inlineStr\"><is><t>propio " + std::to_string(f) +
                "</t></is></c><c><v>" + std::to_string(f) + "</v></c></row>";
    hoja += "<row r=\"101\"><c r=\"A3\" t=\"inlineStr\"><is><t>pisado</t></is></c>"
            "<c r=\"B4\" t=\"s\"><v>2</v></c><c r=\"E5\"><v>9</v></c><c r=\"A1\"><v>7</v></c></row>";
    hoja += "<row r=\"102\"><c r=\"C102\"><v>1</v></c></row>";
    const Comparacion a = comparar(escribir(hoja + kFinHoja));
    QVERIFY(a.cortada);
    QCOMPARE(a.enDos, a.enUna);
    QVERIFY(a.enDos.contains(QStringLiteral("|1,1:1:7|1,2:1:1|")));
    QVERIFY(a.enDos.contains(
        QStringLiteral("|3,1:3:pisado|3,2:1:3|4,1:3:propio 4|4,2:3: tres |5,1:3:propio 5|5,2:1:5|5,5:1:9|")));
}

void TstHojaEnDosHilos::hojasQueNoSeCortan() {
    // Read in one pass, with the same result: no row numbers at all, a comment or a CDATA
    // section or a processing instruction among the rows, a namespace declared on a row, an
    // empty sheetData.
    std::string sinNumeros = kInicioHoja;
    for (int f = 1; f <= 100; ++f)
        sinNumeros += filaVariada(f, false);
    std::string conComentario = kInicioHoja;
    for (int f = 1; f <= 100; ++f)
        conComentario += filaVariada(f, true) + (f == 80 ? "<!-- </row><row r=\"5\"> -->" : "");
    std::string conCdata = kInicioHoja;
    for (int f = 1; f <= 100; ++f)
        conCdata +=
            f == 70
                ? "<row r=\"70\"><c t=\"inlineStr\"><is><t><![CDATA[</row><row r=\"1\">]]></t></is></c></row>"
                : filaVariada(f, true);
    std::string conInstruccion = kInicioHoja;
    for (int f = 1; f <= 100; ++f)
        conInstruccion += filaVariada(f, true) + (f == 90 ? "<?algo </row><row r=\"2\">?>" : "");
    std::string conEspacio = kInicioHoja;
    for (int f = 1; f <= 100; ++f)
        conEspacio += f == 75 ? "<row r=\"75\" xmlns:y=\"urn:y\"><c y:a=\"1\"><v>1</v></c></row>"
                              : filaVariada(f, true);
    for (const std::string& hoja : {sinNumeros, conComentario, conCdata, conInstruccion, conEspacio,
                                    kInicioHoja + "</sheetData></worksheet>",
                                    std::string("<worksheet xmlns=\"http://schemas.openxmlformats.org/"
                                                "spreadsheetml/2006/main\"><sheetData/></worksheet>")}) {
        const Comparacion a = comparar(escribir(hoja.ends_with("</worksheet>") ? hoja : hoja + kFinHoja));
        QVERIFY2(!a.cortada, qPrintable(QString::fromStdString(hoja.substr(0, 200))));
        QCOMPARE(a.enDos, a.enUna);
        QVERIFY(!a.enDos.startsWith(QStringLiteral("error")));
    }
}

void TstHojaEnDosHilos::fallasEnLaSegundaMitad() {
    // A fault in either half is reported as one pass reports it, with the same byte.
    const auto conFalla = [](int fila, const std::string& falla) {
        std::string hoja = kInicioHoja;
        for (int f = 1; f <= 200; ++f)
            hoja += f == fila ? falla : filaVariada(f, true);
        return hoja + kFinHoja;
    };
    const std::string fallas[] = {
        "<row r=\"150\"><c><v>1</v></row>",                                   // tags crossed
        "<row r=\"150\"><c t=\"s\"><v>3</v></c></row>",                       // no such shared string
        "<row r=\"150\"><c><v>uno</v></c></row>",                             // not a number
        "<row r=\"150\"><c r=\"A1048577\"><v>1</v></c></row>",                // beyond the sheet
        "<row r=\"150\"><c t=\"inlineStr\"><is><t>&nada;</t></is></c></row>", // unknown entity
        "<row r=\"x\"><c><v>1</v></c></row>",                                 // a row number that is none
        "<row r=\"150\"><y:c><v>1</v></y:c></row>",                           // undeclared prefix
    };
    for (const std::string& falla : fallas) {
        for (const int fila : {40, 150}) {
            std::string f = falla;
            if (fila == 40 && f.starts_with("<row r=\"150\""))
                f.replace(8, 3, "40");
            const Comparacion a = comparar(escribir(conFalla(fila, f)));
            QVERIFY2(a.enUna.startsWith(QStringLiteral("error: ")), qPrintable(a.enUna));
            QCOMPARE(a.enDos, a.enUna);
            QVERIFY(!a.cortada);
        }
    }
}

void TstHojaEnDosHilos::limitesEntreLasDosMitades() {
    // The limits count both halves together: each half alone is under them, the two are not.
    std::string hoja = kInicioHoja;
    for (int f = 1; f <= 200; ++f)
        hoja += filaVariada(f, true);
    const QString ruta = escribir(hoja + kFinHoja);
    // The whole sheet, and what is counted while the halves are read: cells and their own texts,
    // not the shared strings, which are counted at the end.
    const Hoja h = leerXlsx(ruta);
    const std::int64_t todo = memoriaDe(h, kMemoriaHoja);
    std::int64_t compartidas = 0;
    for (std::size_t i = 0; i < h.compartidas(); ++i)
        compartidas += coste::texto(h.textos()[i].size());
    for (int f = 1; f <= h.filas(); ++f)
        compartidas += 2 * h.texto(h.fila(f)[1]).size();
    for (const std::int64_t memoria : {todo - 1, todo - compartidas - 1}) {
        LimitesXlsx l;
        l.memoria = memoria;
        const Comparacion a = comparar(ruta, l);
        QVERIFY2(a.enUna.contains(QStringLiteral("la hoja necesita más de %1 bytes").arg(memoria)),
                 qPrintable(a.enUna));
        QCOMPARE(a.enDos, a.enUna);
    }
    LimitesXlsx justo;
    justo.memoria = todo;
    QVERIFY(comparar(ruta, justo).cortada);
}

void TstHojaEnDosHilos::hojasAlAzar() {
    // Sheets made up at random: rows with and without numbers, out of order, repeated; cells with
    // and without references, some naming other rows; every kind of value; blanks between tags.
    for (quint32 semilla = 1; semilla <= 40; ++semilla) {
        QRandomGenerator azar(semilla);
        std::string hoja = kInicioHoja;
        const int filas = 20 + static_cast<int>(azar.bounded(200));
        int fila = 0;
        for (int i = 0; i < filas; ++i) {
            fila = azar.bounded(8) == 0 ? static_cast<int>(azar.bounded(1, filas + 1)) : fila + 1;
            const bool numerada = azar.bounded(4) != 0;
            hoja += numerada ? "<row r=\"" + std::to_string(fila) + "\">" : std::string("<row>");
            const int celdas = static_cast<int>(azar.bounded(6));
            for (int c = 0; c < celdas; ++c) {
                std::string ref;
                if (azar.bounded(3) == 0)
                    ref =
                        std::string(" r=\"") + static_cast<char>('A' + azar.bounded(8)) +
                        (azar.bounded(4) == 0 ? std::to_string(azar.bounded(1, filas + 1)) : std::string()) +
                        "\"";
                switch (azar.bounded(4)) {
                case 0:
                    hoja += "<c" + ref + "><v>" + std::to_string(azar.bounded(1000)) + "</v></c>";
                    break;
                case 1:
                    hoja += "<c" + ref + " t=\"s\"><v>" + std::to_string(azar.bounded(3)) + "</v></c>";
                    break;
                case 2:
                    hoja += "<c" + ref + " t=\"inlineStr\"><is><t>t" + std::to_string(azar.bounded(50)) +
                            "</t></is></c>";
                    break;
                default:
                    hoja += "<c" + ref + "/>";
                    break;
                }
            }
            hoja += azar.bounded(2) ? "</row>\n" : "</row>";
        }
        const Comparacion a = comparar(escribir(hoja + kFinHoja));
        QVERIFY2(a.enDos == a.enUna, qPrintable(QStringLiteral("semilla %1").arg(semilla)));
    }
}

QTEST_GUILESS_MAIN(TstHojaEnDosHilos)
#include "tst_hojaendoshilos.moc"
