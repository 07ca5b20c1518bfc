#include "../intake/xlsx/paquetexlsx.h"
#include "pipeline/revisionfactura.h"
#include "programa.h"
#include "testsupport.h"

#include <QTest>

using namespace tarvix;
using prueba::Programa;

namespace {

std::string celda(const char* ref, const char* texto) {
    return std::string("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + texto + "</t></is></c>";
}
std::string numero(const char* ref, const char* valor) {
    return std::string("<c r=\"") + ref + "\"><v>" + valor + "</v></c>";
}

// Article, description, quantity, unit, total and origin; row 3 has article "N/A", row 4 is blank,
// row 5 a quantity in words and row 6 a unit the run does not know.
bool escribirFactura(const QString& ruta) {
    std::string hoja = kInicioHoja + "<row r=\"1\">" + celda("A1", "ITEM") + celda("B1", "DESCRIPCION") +
                       celda("C1", "CANT") + celda("D1", "UNID") + celda("E1", "IMPORTE") +
                       celda("F1", "PAIS") + "</row>";
    const char* lineas[][6] = {{"ART-1", "TALADRO", "10", "PCS", "100", "CHINA"},
                               {"N/A", "SIERRA", "5", "PCS", "50", "CHINA"},
                               {"ART-3", "PINZA", "diez", "PCS", "30", "CHINA"},
                               {"ART-4", "LLAVE", "3", "UN", "30", "CHINA"}};
    const int filas[] = {2, 3, 5, 6};
    for (int i = 0; i < 4; ++i) {
        const std::string f = std::to_string(filas[i]);
        hoja += "<row r=\"" + f + "\">";
        for (int c = 0; c < 6; ++c) {
            const std::string ref = std::string(1, char('A' + c)) + f;
            const bool esNumero = (c == 2 || c == 4) && lineas[i][c][0] != 'd';
            hoja += esNumero ? numero(ref.c_str(), lineas[i][c]) : celda(ref.c_str(), lineas[i][c]);
        }
        hoja += "</row>";
    }
    return escribirHoja(ruta, hoja + kFinHoja);
}

QStringList describir(const std::vector<Hallazgo>& hallazgos) {
    QStringList d;
    for (const Hallazgo& h : hallazgos)
        d << QStringLiteral("%1 %2 %3 %4").arg(h.fila).arg(h.columna, h.texto, tituloTipo(h.tipo));
    return d;
}

} // namespace

// "Siguiente >" on step 2 checks the whole invoice before the run: its problems are listed with
// their worksheet rows before anything is stored or any country asked for.
class TstRevisionAlProcesar : public QObject {
    Q_OBJECT
private slots:
    void erroresAntesDeGuardar_data();
    void erroresAntesDeGuardar();
};

void TstRevisionAlProcesar::erroresAntesDeGuardar_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_AR") << "es_AR";
    QTest::newRow("en_US") << "en_US";
}

void TstRevisionAlProcesar::erroresAntesDeGuardar() {
    QFETCH(QString, locale);
    const prueba::LocaleFijo fijo(locale);
    Programa p(Programa::Opciones().conAjustes(QStringLiteral("1"), QStringLiteral("07")));
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("factura.xlsx"));
    QVERIFY(escribirFactura(ruta));
    QVERIFY(p.crearYElegirInterno(QStringLiteral("R-1")));
    p.abrirFactura(ruta);
    const char* campos[] = {"[ ARTICULO ]", "[ DESCRIPC ]", "[ CANTIDAD ]",
                            "[ UNIDAD ]",   "[ TOTAL ]",    "[ ORIGEN ]"};
    for (int c = 0; c < 6; ++c)
        p.establecerCampo(c, QString::fromLatin1(campos[c]));
    p.guion.limpiar();
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.guion.revisiones.size(), 1);
    QCOMPARE(describir(p.guion.revisiones.front()),
             prueba::lista({"3 A N/A Artículo vacío o N/A", "5 C diez Cantidad que no es un número",
                            "6 D UN Unidad desconocida: se usa la unidad por defecto"}));
    QCOMPARE(p.estado.g_iPaso, 2);
    QVERIFY(p.guion.avisos.isEmpty()); // no country asked for, no message
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ART")), QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TstRevisionAlProcesar)
#include "tst_revisionalprocesar.moc"
