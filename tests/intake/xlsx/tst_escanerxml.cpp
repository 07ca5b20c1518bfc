// The UTF-8 scanner against expat: same events for the same document, whatever the pieces the
// bytes come in, and a refusal for what is not well-formed XML.
#include "intake/xlsx/escanerxml.h"
#include "intake/xlsx/fallaxlsx.h"
#include "intake/xlsx/xmlxlsx.h"

#include <QTest>

using namespace tarvix::lector::xlsx;

namespace {

// Writes every event as text: "<{e}local a=v>", texts (adjacent pieces joined), "</{e}local>".
// Bytes are kept as they come: a piece of text may end inside a UTF-8 sequence.
class Registro : public LectorXml {
public:
    std::string eventos;

protected:
    void inicio(const Nombre& n, Atributos atributos) override {
        eventos += "<{" + std::to_string(int(n.espacio)) + "}" + std::string(n.local);
        for (const Atributo& a : atributos)
            eventos += " {" + std::to_string(int(a.espacio)) + "}" + std::string(a.local) + "=" +
                       std::string(a.valor);
        eventos += '>';
    }
    void fin(const Nombre& n) override {
        eventos += "</{" + std::to_string(int(n.espacio)) + "}" + std::string(n.local) + ">";
    }
    void texto(const char* s, int n) override { eventos.append(s, static_cast<size_t>(n)); }
};

// The events, or "error: ..." with the refusal.
QString leer(std::string_view xml, std::size_t trozo, bool general) {
    Registro r;
    try {
        r.leerMemoria(xml, trozo, QStringLiteral("prueba.xml"), general);
    } catch (const FallaXlsx& f) {
        return QStringLiteral("error: ") + f.detalle;
    }
    return QString::fromStdString(r.eventos);
}

const char* const kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

} // namespace

class TstEscanerXml : public QObject {
    Q_OBJECT
private slots:
    void igualQueExpat_data();
    void igualQueExpat();
    void rechazos_data();
    void rechazos();
    void marcasLargasEntreBloques();
};

void TstEscanerXml::igualQueExpat_data() {
    QTest::addColumn<QByteArray>("xml");
    const QByteArray m(kMain);
    QTest::newRow("hoja") << QByteArray(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<worksheet xmlns=\"" + m +
        "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r='B1'>"
        "<v>1.5</v></c></row></sheetData></worksheet>");
    QTest::newRow("prefijos") << QByteArray(
        "<x:a xmlns:x=\"" + m +
        "\" xmlns:r=\"http://purl.oclc.org/ooxml/officeDocument/relationships\">"
        "<x:b r:id=\"rId1\" x:c=\"2\" xml:space=\"preserve\"/><o:d xmlns:o=\"urn:o\">"
        "<x:e/></o:d><f xmlns=\"\"/></x:a>");
    QTest::newRow("entidades y referencias") << QByteArray(
        "<a v=\"&lt;&amp;&gt;&quot;&apos;&#65;&#x42;&#x1F600;\">&lt;t&gt; &amp; &#233;&#xE9; &#10;</a>");
    QTest::newRow("fines de línea") << QByteArray("<a b=\"x\r\ny\tz\nw\">uno\r\ndos\rtres\n\r\n</a>");
    QTest::newRow("CDATA, comentarios, PI") << QByteArray(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- c --><a><![CDATA[<b>&amp;\r\n]]><?pi x?><!-- - ->"
        " --></a><!-- fin -->\n");
    QTest::newRow("blancos en etiquetas") << QByteArray("<a  x = \"1\"\n y='2' ><b\t/></a >");
    QTest::newRow("UTF-8") << QByteArray("<a n=\"Ñandú\">東京 😀 «x»</a>");
    QTest::newRow("vacío raíz") << QByteArray("<a/>");
}

void TstEscanerXml::igualQueExpat() {
    QFETCH(QByteArray, xml);
    const std::string_view v(xml.constData(), static_cast<size_t>(xml.size()));
    const QString esperado = leer(v, v.size(), true);
    QVERIFY2(!esperado.startsWith(QStringLiteral("error")), qPrintable(esperado));
    // Every cut of the bytes gives the same events.
    for (std::size_t trozo : {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(5), std::size_t(8),
                              std::size_t(13), v.size()})
        QCOMPARE(leer(v, trozo, false), esperado);
}

void TstEscanerXml::rechazos_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::newRow("DOCTYPE") << QByteArray("<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>");
    QTest::newRow("entidad no declarada") << QByteArray("<a>&nbsp;</a>");
    QTest::newRow("referencia inválida") << QByteArray("<a>&#0;</a>");
    QTest::newRow("referencia a sustituto") << QByteArray("<a>&#xD800;</a>");
    QTest::newRow("cierre cruzado") << QByteArray("<a><b></a></b>");
    QTest::newRow("sin cerrar") << QByteArray("<a><b></b>");
    QTest::newRow("cortado en una etiqueta") << QByteArray("<a><b x=\"1");
    QTest::newRow("dos raíces") << QByteArray("<a/><b/>");
    QTest::newRow("texto fuera de la raíz") << QByteArray("x<a/>");
    QTest::newRow("vacío") << QByteArray("");
    QTest::newRow("prefijo sin declarar") << QByteArray("<p:a/>");
    QTest::newRow("atributo sin comillas") << QByteArray("<a b=1/>");
    QTest::newRow("atributo sin valor") << QByteArray("<a b/>");
    QTest::newRow("menor en atributo") << QByteArray("<a b=\"<\"/>");
    QTest::newRow("cierre sin apertura") << QByteArray("</a>");
}

void TstEscanerXml::rechazos() {
    QFETCH(QByteArray, xml);
    const std::string_view v(xml.constData(), static_cast<size_t>(xml.size()));
    QVERIFY2(leer(v, v.size() + 1, true).startsWith(QStringLiteral("error")), "expat lo acepta");
    for (std::size_t trozo : {std::size_t(1), std::size_t(4), v.size() + 1}) {
        const QString r = leer(v, trozo, false);
        QVERIFY2(r.startsWith(QStringLiteral("error: la parte prueba.xml")), qPrintable(r));
    }
}

void TstEscanerXml::marcasLargasEntreBloques() {
    // Markups of every length around the bytes tried first to complete a cut one, and far beyond,
    // cut at every kind of place: the same events as expat.
    std::string xml = "<a>";
    for (std::size_t largo : {1, 100, 250, 255, 256, 257, 300, 511, 5000, 70000})
        xml += "<b v=\"" + std::string(largo, 'x') + "&amp;\">" + std::string(largo / 2, 't') + "</b>";
    xml += "</a>";
    const QString esperado = leer(xml, xml.size(), true);
    QVERIFY2(!esperado.startsWith(QStringLiteral("error")), qPrintable(esperado));
    for (std::size_t trozo : {63, 64, 255, 256, 257, 1000, 4096, 65536})
        QCOMPARE(leer(xml, trozo, false), esperado);

    // A markup that goes on past the limit is refused at the same byte whatever the pieces.
    const std::string largo =
        "<a><b>t</b><c v=\"" + std::string(2 * EscanerXml::kMarcaMaxima, 'x') + "\"/></a>";
    const QString error = leer(largo, 4096, false);
    QVERIFY2(error.contains(QStringLiteral("byte 11: una marca ocupa más de 1048576 bytes")),
             qPrintable(error));
    for (std::size_t trozo : {std::size_t(65536), std::size_t(1) << 18})
        QCOMPARE(leer(largo, trozo, false), error);
}

QTEST_GUILESS_MAIN(TstEscanerXml)
#include "tst_escanerxml.moc"
