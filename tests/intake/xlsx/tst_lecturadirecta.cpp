// Rows and shared strings of the usual plain form are read straight from the bytes; all others go
// through the scanner's events. Each workbook here is read both ways and compared cell by cell
// (numbers with all their digits) or error by error (byte offsets included), and the test checks
// which rows and strings took the direct way.
#include "intake/xlsx/hojaxlsx.h"
#include "intake/xlsx/libroxlsx.h"
#include "lecturaxlsx.h"
#include "paquetexlsx.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace tarvix::lector;

namespace {

struct Comparacion {
    QString directa, porEventos;
    std::int64_t filasDirectas = 0;   // rows the first read took straight from the bytes
    std::int64_t cadenasDirectas = 0; // shared strings, likewise
};

// Reads the workbook with the direct rows and without them, in one pass (the two-part read has its
// own test, which runs with the direct rows).
Comparacion comparar(const QString& ruta, LimitesXlsx limites = {}) {
    Comparacion r;
    limites.bytesHojaEnDosHilos = std::numeric_limits<std::int64_t>::max();
    const std::int64_t filas = xlsx::filasLeidasDirecto(), cadenas = xlsx::cadenasLeidasDirecto();
    r.directa = lecturaXlsx(ruta, limites, true);
    r.filasDirectas = xlsx::filasLeidasDirecto() - filas;
    r.cadenasDirectas = xlsx::cadenasLeidasDirecto() - cadenas;
    limites.lecturaDirecta = false;
    r.porEventos = lecturaXlsx(ruta, limites, true);
    return r;
}

// Both reads of `ruta` under `limites` give the same error, one that says `motivo`.
void mismoError(const QString& ruta, const LimitesXlsx& limites, const QString& motivo) {
    const Comparacion c = comparar(ruta, limites);
    QVERIFY2(c.porEventos.contains(motivo), qPrintable(c.porEventos));
    QCOMPARE(c.directa, c.porEventos);
}

const std::string kCadenas =
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<si><t>uno</t></si><si><t>dos</t></si><si><t xml:space=\"preserve\"> tres </t></si></sst>";

// A row in the plain form, with every kind of cell and the liberties the form allows: other
// attributes, single quotes, blanks and line breaks inside tags and between them, formulas with
// named entities, empty cells and values, cells without a reference.
std::string filaLlana(int f) {
    const std::string n = std::to_string(f);
    std::string r = "<row r=\"" + n + "\" spans=\"1:14\" ht=\"15\" customHeight=\"1\">";
    r += "<c r=\"A" + n + "\" s=\"1\"><v>" + n + ".25</v></c>";
    r += "<c r=\"B" + n + "\" t=\"s\"><v>" + std::to_string(f % 3) + "</v></c>";
    r += "<c r=\"C" + n + "\" t=\"str\"><f>IF(A1&gt;0,&quot;s&amp;i&quot;,&apos;x&apos;)</f><v>calc " + n +
         "</v></c>";
    r += "<c r=\"D" + n + "\" t=\"b\"><v>" + std::to_string(f % 2) + "</v></c>";
    r += "<c r=\"E" + n + "\" t=\"e\"><v>#DIV/0!</v></c>";
    r += "<c r=\"F" + n + "\" t=\"d\"><v>2024-03-15T10:30:00</v></c>";
    r += "<c r='G" + n + "' t='n'><v> -1.5E3 </v></c>";
    r += "<c r=\"H" + n + "\"/><c r=\"I" + n + "\" s=\"3\" />";
    r += "<c r=\"J" + n + "\"><v/></c>";
    r += "<c\n r=\"K" + n + "\"\tt=\"s\" ><f t=\"shared\" si=\"0\"/>\r\n <v>1</v>\n</c>";
    r += "<c><v>" + std::to_string(f * 7) + "</v></c>";
    r += "<c t=\"inlineStr\"><v>en v</v></c>"; // an inline string with a <v> is its text
    r += "<c r=\"N" + n + "\" vm=\"1\"><f>SUM(A1:A" + n + ")</f><v>" + std::to_string(f) + "</v></c>";
    return r + "</row>\n";
}

} // namespace

class TstLecturaDirecta : public QObject {
    Q_OBJECT
private slots:
    void filasLlanas();
    void filasQueLeeElEscaner();
    void hojasSinFilasDirectas();
    void fallasIguales();
    void hojasAlAzar();
    void cadenasDirectas();
    void cadenasQueLeeElEscaner();

private:
    QString escribir(const std::string& hoja, zip_int32_t metodo = ZIP_CM_DEFLATE,
                     const std::string& cadenas = kCadenas) {
        const QString ruta = m_dir.filePath(QStringLiteral("d%1.xlsx").arg(++m_n));
        if (!escribirHoja(ruta, hoja, metodo, cadenas))
            qFatal("no se pudo escribir %s", qPrintable(ruta));
        return ruta;
    }
    QTemporaryDir m_dir;
    int m_n = 0;
};

void TstLecturaDirecta::filasLlanas() {
    // Every row of these sheets is read directly, with what the events give. Stored uncompressed,
    // the large one comes in blocks that cut rows: those are read by the scanner.
    std::string hoja = kInicioHoja;
    for (int f = 1; f <= 40; ++f)
        hoja += filaLlana(f);
    hoja += "<row r=\"41\"/><row/>\n<row spans=\"1:2\"><c><v>43</v></c></row>";
    hoja +=
        "<row r=\"50\" r=\"60\"><c r=\"A1\" r=\"B50\"><v>5</v></c><c><v>6</v></c></row>"; // first r, last r
    hoja += "<row r=\"51\"><c r=\"C2\" t=\"s\"><v>2</v></c><c><v>9</v></c></row>"; // a cell of another row
    hoja += "<row r=\"52\" xml:lang=\"es\"><c t=\"str\"><v xml:space=\"preserve\"> 8 </v></c></row>";
    const Comparacion a = comparar(escribir(hoja + kFinHoja));
    QCOMPARE(a.directa, a.porEventos);
    QCOMPARE(a.filasDirectas, 46);
    QVERIFY(a.directa.startsWith(QStringLiteral("52 filas|1,1:1:1,25:1.25|1,2:3:dos:0|1,3:3:calc 1:0|1,4:4:"
                                                "True:0|1,5:5:Error 2007:0|1,6:2:15/03/2024 10:30:00:")));
    QVERIFY(a.directa.contains(QStringLiteral("|1,7:1:-1500:-1500|")));
    QVERIFY(a.directa.contains(QStringLiteral("|1,11:3:dos:0|1,12:1:7:7|1,13:3:en v:0|1,14:1:1:1|")));
    QVERIFY(a.directa.contains(QStringLiteral("|2,2:3: tres :0|2,3:3: tres :0|")));
    QVERIFY(
        a.directa.endsWith(QStringLiteral("|43,1:1:43:43|50,2:1:5:5|50,3:1:6:6|51,4:1:9:9|52,1:3: 8 :0")));

    std::string larga = kInicioHoja;
    for (int f = 1; f <= 400; ++f)
        larga += filaLlana(f);
    for (const zip_int32_t metodo : {ZIP_CM_DEFLATE, ZIP_CM_STORE}) {
        const Comparacion b = comparar(escribir(larga + kFinHoja, metodo));
        QCOMPARE(b.directa, b.porEventos);
        QVERIFY(b.directa.startsWith(QStringLiteral("400 filas|")));
        // Stored, the part comes in blocks of 64 KiB: the rows they cut go through the scanner.
        QVERIFY2(metodo == ZIP_CM_DEFLATE ? b.filasDirectas == 400
                                          : b.filasDirectas > 380 && b.filasDirectas < 400,
                 qPrintable(QString::number(b.filasDirectas)));
    }
}

void TstLecturaDirecta::filasQueLeeElEscaner() {
    // Each of these rows, set among plain ones, leaves the plain form somewhere: it is read
    // through the events, the rows around it directly, and the sheet is the same.
    const std::string raras[] = {
        "<x:row r=\"20\" "
        "xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:c><x:v>1</x:v>"
        "</x:c></x:row>",
        "<row r=\"20\" xmlns:y=\"urn:y\"><c y:a=\"1\"><v>1</v></c></row>",
        "<row r=\"20\"><c xmlns=\"urn:otro\"><v>1</v></c><c><v>2</v></c></row>", // the first cell is none
        "<row r=\"20\"><c><!-- nota --><v>1</v></c></row>",
        "<row r=\"20\"><c><v><![CDATA[12]]></v></c></row>",
        "<row r=\"20\"><c t=\"inlineStr\"><is><t>en línea</t></is></c></row>",
        "<row r=\"20\"><c t=\"str\"><v>a &amp; b</v></c></row>",
        "<row r=\"20\"><c><v>&#49;2</v></c></row>",
        "<row r=\"20\"><c t=\"str\"><v>uno\r\ndos</v></c></row>",
        "<row r=\"20\"><c><v>1</v><v>2</v></c></row>", // one value, "12"
        "<row r=\"20\"><c><extLst/><v>3</v></c></row>",
        "<row r=\"20\"><c><v>3</v></c ></row>",
        "<row r=\"20\"><c r = \"B20\"><v>3</v></c></row>",
        "<row r=\"20\"><c t=\"str\" cm=\"a&amp;b\"><v>x</v></c></row>",
        "<row r=\"20\" spans=\"1:\t2\"><c><v>3</v></c></row>",
        "<row r=\"20\"><c><f>SUM(&#65;1)</f><v>3</v></c></row>",
        "<row r=\"20\"><c><v>3</v></c><d><c><v>4</v></c></d></row>", // a cell inside another element
        "<row r=\"20\"><c y:a=\"1\" xmlns:y=\"urn:y\"><v>3</v></c></row>",
        "<row r=\"20\" "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><c><v>3</v></c></row>",
        "<row r=\"20\"><?pi algo?><c><v>3</v></c></row>",
        "<row r=\"20\"><c><x/><row r=\"21\"><c><v>1</v></c></row><v>2</v></c></row>", // a row inside a cell
        "<row r=\"20\"><cr=\"C5\"/><c><v>2</v></c></row>",                            // an element named so
    };
    for (const std::string& rara : raras) {
        std::string hoja = kInicioHoja;
        for (int f = 1; f <= 40; ++f)
            hoja += f == 20 ? rara : filaLlana(f);
        const Comparacion a = comparar(escribir(hoja + kFinHoja));
        QVERIFY2(a.directa == a.porEventos, rara.c_str());
        QVERIFY2(!a.directa.startsWith(QStringLiteral("error")), qPrintable(a.directa));
        QVERIFY2(a.filasDirectas == 39, rara.c_str());
    }
    // What the rows above hold, read by the scanner.
    const auto celdas = [this](const std::string& fila) {
        const Comparacion a = comparar(escribir(kInicioHoja + fila + kFinHoja));
        return a.directa == a.porEventos ? a.directa : QStringLiteral("difieren");
    };
    QCOMPARE(celdas(raras[2]), QStringLiteral("20 filas|20,1:1:2:2"));
    QCOMPARE(celdas(raras[9]), QStringLiteral("20 filas|20,1:1:12:12"));
    QCOMPARE(celdas(raras[8]), QStringLiteral("20 filas|20,1:3:uno\ndos:0"));
    QCOMPARE(celdas(raras[16]), QStringLiteral("20 filas|20,1:1:3:3|20,2:1:4:4"));
}

void TstLecturaDirecta::hojasSinFilasDirectas() {
    // No row is read directly when the sheet's names carry a prefix, or when the rows are in
    // another namespace (and then no cell is read at all); rows inside an unknown element of the
    // sheet's own namespace are rows for both ways, and a cell outside any row is none.
    std::string prefijada =
        "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<x:sheetData>";
    for (int f = 1; f <= 10; ++f)
        prefijada +=
            "<x:row r=\"" + std::to_string(f) + "\"><x:c><x:v>" + std::to_string(f) + "</x:v></x:c></x:row>";
    const Comparacion a = comparar(escribir(prefijada + "</x:sheetData></x:worksheet>"));
    QCOMPARE(a.directa, a.porEventos);
    QCOMPARE(a.filasDirectas, 0);
    QVERIFY(a.directa.endsWith(QStringLiteral("|10,1:1:10:10")));

    const Comparacion b =
        comparar(escribir(kInicioHoja +
                          "<otro xmlns=\"urn:otro\"><row r=\"1\"><c><v>1</v></c></row></otro>"
                          "<ext><row r=\"2\"><c><v>2</v></c></row></ext>"
                          "<c><v>3</v></c><row r=\"3\"><c><v>4</v></c></row>" +
                          kFinHoja));
    QCOMPARE(b.directa, b.porEventos);
    QCOMPARE(b.directa, QStringLiteral("3 filas|2,1:1:2:2|3,1:1:4:4"));
    QCOMPARE(b.filasDirectas, 2);
}

void TstLecturaDirecta::fallasIguales() {
    // A fault in a row is reported as the events report it: the same text, the same byte.
    const std::string fallas[] = {
        "<row r=\"x\"><c><v>1</v></c></row>",
        "<row r=\"0\"><c><v>1</v></c></row>",
        "<row r=\"1048577\"><c><v>1</v></c></row>",
        "<row r=\"40\"><c r=\"1A\"><v>1</v></c></row>",
        "<row r=\"40\"><c r=\"XFE40\"><v>1</v></c></row>",
        "<row r=\"40\"><c t=\"z\"><v>1</v></c></row>",
        "<row r=\"40\"><c><v>uno</v></c></row>",
        "<row r=\"40\"><c><v>1e999</v></c></row>",
        "<row r=\"40\"><c t=\"s\"><v>3</v></c></row>",
        "<row r=\"40\"><c t=\"b\"><v>2</v></c></row>",
        "<row r=\"40\"><c><f>&nada;</f><v>1</v></c></row>",
        "<row r=\"40\"><c>&nada;<v>1</v></c></row>",
        "<row r=\"40\"><c r=\"A40\"t=\"s\"><v>1</v></c></row>",
        "<row r=\"40\"><c r=A40><v>1</v></c></row>",
        "<row r=\"40\"><c r=\"A40\"><v>1</c></row>",
        "<row r=\"40\"><c r=\"A40\"><v>1</v></row>",
        "<row r=\"40\"><c r=\"A40\"><v>1</v></x></row>",
        "<row r=\"40\"><c r=\"A40\"><v>1</x></c></row>",
        "<row r=\"40\"><c r=\"A40\"><v>1</v></c></rox>",
        "<row r=\"40\"><c r=\"A40\" / ><v>1</v></c></row>",
        "<row r=\"40\"><c a><v>1</v></c></row>",
        "<row r=\"40\"><c y:a=\"1\"><v>1</v></c></row>", // a prefix never declared
        "<row r=\"40\"><c r=\"A40\"><v>1<</v></c></row>",
        "<row r=\"40\"><c r=\"A40\" t=\"a<b\"><v>1</v></c></row>",
        "<row r=\"40\"><c r=\"A40\"><v>" + std::string(120, '1') + "</v></c></row>", // over 100 bytes
    };
    LimitesXlsx limites;
    limites.caracteresCelda = 100;
    for (const std::string& falla : fallas) {
        std::string hoja = kInicioHoja;
        for (int f = 1; f <= 80; ++f)
            hoja += f == 40 ? falla : filaLlana(f);
        const Comparacion a = comparar(escribir(hoja + kFinHoja), limites);
        QVERIFY2(a.porEventos.startsWith(QStringLiteral("error: ")),
                 (falla + " " + a.porEventos.toStdString()).c_str());
        QCOMPARE(a.directa, a.porEventos);
    }
    // A sheet that ends in the middle of a row.
    std::string cortada = kInicioHoja;
    for (int f = 1; f <= 30; ++f)
        cortada += filaLlana(f);
    cortada += "<row r=\"31\"><c><v>1</v></c>";
    const Comparacion b = comparar(escribir(cortada));
    QVERIFY(b.porEventos.contains(QStringLiteral("termina con elementos sin cerrar")));
    QCOMPARE(b.directa, b.porEventos);

    // The limits of the sheet, crossed by rows read directly.
    std::string hoja = kInicioHoja;
    for (int f = 1; f <= 80; ++f)
        hoja += filaLlana(f);
    const QString ruta = escribir(hoja + kFinHoja);
    // The memory of the sheet: counted as it is read (cells and their own texts) and, with the
    // shared strings, at the end.
    const Hoja h = leerXlsx(ruta);
    std::int64_t compartidas = 0;
    for (std::size_t i = 0; i < h.compartidas(); ++i)
        compartidas += coste::texto(h.textos()[i].size());
    for (int f = 1; f <= h.filas(); ++f)
        compartidas += 2 * h.texto(h.fila(f)[1]).size();
    const std::int64_t todo = memoriaDe(h, kMemoriaHoja);
    for (const std::int64_t memoria : {todo - 1, todo - compartidas - 1}) {
        LimitesXlsx l;
        l.memoria = memoria;
        mismoError(ruta, l, QStringLiteral("la hoja necesita más de %1 bytes de memoria").arg(memoria));
    }
}

void TstLecturaDirecta::hojasAlAzar() {
    // Sheets made up at random from plain rows, rows with a piece the plain form leaves out, and
    // blanks: every sheet reads the same both ways, stored and deflated.
    const std::string piezas[] = {
        "<c><v>1</v></c>",
        "<c t=\"s\"><v>2</v></c>",
        "<c t=\"str\"><f>A1&amp;B1</f><v>x</v></c>",
        "<c/>",
        "<c s=\"1\"><v/></c>",
        "<c t=\"inlineStr\"><is><t>t</t></is></c>",
        "<c><v>&#55;</v></c>",
        "<c t=\"str\"><v>a&lt;b</v></c>",
        "<c><!--x--><v>5</v></c>",
        "<c>\n<v>6</v>\r\n</c>",
        "<c t='b'><v>1</v></c>",
        "<c><v>1</v><v>2</v></c>",
    };
    for (quint32 semilla = 1; semilla <= 30; ++semilla) {
        QRandomGenerator azar(semilla);
        std::string hoja = kInicioHoja;
        const int filas = 20 + static_cast<int>(azar.bounded(semilla % 5 == 0 ? 3000 : 200));
        int fila = 0;
        for (int i = 0; i < filas; ++i) {
            fila = azar.bounded(10) == 0 ? static_cast<int>(azar.bounded(1, filas + 1)) : fila + 1;
            hoja += azar.bounded(4) != 0 ? "<row r=\"" + std::to_string(fila) + "\">" : std::string("<row>");
            const int celdas = static_cast<int>(azar.bounded(8));
            for (int c = 0; c < celdas; ++c) {
                std::string pieza = piezas[azar.bounded(static_cast<quint32>(std::size(piezas)))];
                if (azar.bounded(3) == 0)
                    pieza.insert(2, std::string(" r=\"") + static_cast<char>('A' + azar.bounded(10)) +
                                        (azar.bounded(4) == 0 ? std::to_string(azar.bounded(1, filas + 1))
                                                              : std::to_string(fila)) +
                                        "\"");
                hoja += pieza + (azar.bounded(5) == 0 ? " " : "");
            }
            hoja += azar.bounded(2) ? "</row>\n" : "</row>";
        }
        for (const zip_int32_t metodo : {ZIP_CM_DEFLATE, ZIP_CM_STORE}) {
            const Comparacion a = comparar(escribir(hoja + kFinHoja, metodo));
            QVERIFY2(a.directa == a.porEventos, qPrintable(QStringLiteral("semilla %1").arg(semilla)));
            QVERIFY(a.filasDirectas > 0);
        }
    }
}

namespace {

// A workbook whose shared strings are `si` (one <si> each, in an <sst>) and whose sheet shows each
// of them in a cell of its own, in row 1.
std::string sst(const std::vector<std::string>& si) {
    std::string r = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"9\" "
                    "uniqueCount=\"" +
                    std::to_string(si.size()) + "\">";
    for (const std::string& s : si)
        r += s + "\n";
    return r + "</sst>";
}
std::string hojaDeCadenas(std::size_t n) {
    std::string r = kInicioHoja + "<row r=\"1\">";
    for (std::size_t i = 0; i < n; ++i)
        r += "<c t=\"s\"><v>" + std::to_string(i) + "</v></c>";
    return r + "</row>" + kFinHoja;
}

const std::vector<std::string> kCadenasLlanas = {
    "<si><t>uno</t></si>",
    "<si><t xml:space=\"preserve\"> dos </t></si>",
    "<si><t/></si>",
    "<si/>",
    "<si><t>a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;</t></si>",
    "<si>\n  <t>con blancos</t>\n</si>",
    "<si><t>_x000D_escape _x005F_x0041_</t></si>",
    "<si><t>ñandú € 𝄞</t></si>",
    "<si><t>línea\nnueva\ty tab</t></si>",
    "<si a=\"1\"><t b='2'>con atributos</t></si>",
};

} // namespace

void TstLecturaDirecta::cadenasDirectas() {
    // Strings of the plain form, read directly: the texts the events give.
    const Comparacion a =
        comparar(escribir(hojaDeCadenas(kCadenasLlanas.size()), ZIP_CM_DEFLATE, sst(kCadenasLlanas)));
    QCOMPARE(a.directa, a.porEventos);
    QCOMPARE(a.cadenasDirectas, static_cast<std::int64_t>(kCadenasLlanas.size()));
    QCOMPARE(a.directa,
             QStringLiteral("1 filas|1,1:3:uno:0|1,2:3: dos :0|1,3:3::0|1,4:3::0|1,5:3:a & b <c> \"d\" 'e':0|"
                            "1,6:3:con blancos:0|1,7:3:\rescape _x0041_:0|1,8:3:ñandú € 𝄞:0|"
                            "1,9:3:línea\nnueva\ty tab:0|1,10:3:con atributos:0"));

    // Many strings, stored: the blocks cut some, which the scanner reads.
    std::vector<std::string> muchas;
    for (int i = 0; i < 6000; ++i)
        muchas.push_back("<si><t>cadena número " + std::to_string(i) + (i % 7 ? "" : " &amp; más") +
                         "</t></si>");
    for (const zip_int32_t metodo : {ZIP_CM_DEFLATE, ZIP_CM_STORE}) {
        const Comparacion b = comparar(escribir(hojaDeCadenas(6000), metodo, sst(muchas)));
        QCOMPARE(b.directa, b.porEventos);
        QVERIFY(b.directa.endsWith(
            QStringLiteral("|1,5999:3:cadena número 5998:0|1,6000:3:cadena número 5999 & más:0")));
        QVERIFY2(metodo == ZIP_CM_DEFLATE ? b.cadenasDirectas == 6000
                                          : b.cadenasDirectas > 5980 && b.cadenasDirectas < 6000,
                 qPrintable(QString::number(b.cadenasDirectas)));
    }
}

void TstLecturaDirecta::cadenasQueLeeElEscaner() {
    // Each of these strings leaves the plain form: it is read through the events, the strings
    // around it directly, with the same texts.
    const std::string raras[] = {
        "<si><r><t>ri</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">co </t></r></si>",
        "<si><t>fo</t><rPh sb=\"0\" eb=\"1\"><t>FON</t></rPh><phoneticPr fontId=\"1\"/></si>",
        "<si><t>&#241;&#x41;</t></si>",
        "<si><t>cr\r\nlf</t></si>",
        "<si><t>a</t><t>b</t></si>",
        "<si><!--c--><t>com</t></si>",
        "<si><t><![CDATA[<cd>]]></t></si>",
        "<x:si xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:t>pref</x:t></x:si>",
        "<si xmlns=\"urn:otro\"><t>de otro espacio</t></si>",
        "<si><t y:a=\"1\" xmlns:y=\"urn:y\">declarado</t></si>",
        "<si><t>cerrada</t ></si>",
        "<si><t>a &amp; b\r\nc</t></si>",
        "<si><t>a</t><rPh><si><t>x</t></si></rPh></si>", // a string inside another's phonetic run
    };
    for (const std::string& rara : raras) {
        std::vector<std::string> si = kCadenasLlanas;
        si.insert(si.begin() + 4, rara);
        const bool ajena = rara.find("urn:otro") != std::string::npos; // not a string of the workbook
        const Comparacion a = comparar(escribir(hojaDeCadenas(si.size() - ajena), ZIP_CM_DEFLATE, sst(si)));
        QVERIFY2(a.directa == a.porEventos, rara.c_str());
        QVERIFY2(!a.directa.startsWith(QStringLiteral("error")), qPrintable(a.directa));
        QVERIFY2(a.cadenasDirectas == static_cast<std::int64_t>(kCadenasLlanas.size()), rara.c_str());
    }
    // What some of them hold.
    const auto texto = [this](const std::string& si) {
        const Comparacion a = comparar(escribir(hojaDeCadenas(1), ZIP_CM_DEFLATE, sst({si})));
        return a.directa == a.porEventos ? a.directa : QStringLiteral("difieren");
    };
    QCOMPARE(texto(raras[0]), QStringLiteral("1 filas|1,1:3:rico :0"));
    QCOMPARE(texto(raras[1]), QStringLiteral("1 filas|1,1:3:fo:0"));
    QCOMPARE(texto(raras[2]), QStringLiteral("1 filas|1,1:3:ñA:0"));
    QCOMPARE(texto(raras[3]), QStringLiteral("1 filas|1,1:3:cr\nlf:0"));
    QCOMPARE(texto(raras[4]), QStringLiteral("1 filas|1,1:3:ab:0"));

    // Faults and limits: the same report both ways.
    const std::string fallas[] = {"<si><t>&nada;</t></si>", "<si><t>a</si>", "<si><t>a</t></t></si>",
                                  "<si><t a=b>a</t></si>"};
    for (const std::string& falla : fallas) {
        std::vector<std::string> si = kCadenasLlanas;
        si.insert(si.begin() + 4, falla);
        const Comparacion a = comparar(escribir(hojaDeCadenas(si.size()), ZIP_CM_DEFLATE, sst(si)));
        QVERIFY2(a.porEventos.startsWith(QStringLiteral("error: ")), qPrintable(a.porEventos));
        QCOMPARE(a.directa, a.porEventos);
    }
    const QString ruta = escribir(hojaDeCadenas(kCadenasLlanas.size()), ZIP_CM_DEFLATE, sst(kCadenasLlanas));
    LimitesXlsx cadenas;
    cadenas.cadenas = static_cast<std::int64_t>(kCadenasLlanas.size()) - 1;
    mismoError(ruta, cadenas, QStringLiteral("tiene más de 9 cadenas"));
    LimitesXlsx largo;
    largo.caracteresCelda = 12;
    mismoError(ruta, largo, QStringLiteral("supera 12 bytes"));
}

QTEST_GUILESS_MAIN(TstLecturaDirecta)
#include "tst_lecturadirecta.moc"
