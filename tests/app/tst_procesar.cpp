#include "../intake/xlsx/paquetexlsx.h"
#include "app/terminal.h"
#include "components/configuracion.h"
#include "programa.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;
using prueba::Programa;

namespace {

const QString kEjemplo = QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx");

std::string celda(const std::string& ref, const char* texto) {
    if (texto[0] >= '0' && texto[0] <= '9')
        return "<c r=\"" + ref + "\"><v>" + texto + "</v></c>";
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + texto + "</t></is></c>";
}

// An invoice whose headers the proposal maps: code, description, quantity, unit, amount, origin.
bool escribirFactura(const QString& ruta, const std::vector<std::array<const char*, 6>>& lineas) {
    std::vector<std::array<const char*, 6>> filas{
        {"Part No.", "Description", "Q'ty", "Unit", "Amount", "Origin"}};
    filas.insert(filas.end(), lineas.begin(), lineas.end());
    std::string hoja = kInicioHoja;
    for (size_t f = 0; f < filas.size(); ++f) {
        const std::string n = std::to_string(f + 1);
        hoja += "<row r=\"" + n + "\">";
        for (int c = 0; c < 6; ++c)
            hoja += celda(std::string(1, char('A' + c)) + n, filas[f][static_cast<size_t>(c)]);
        hoja += "</row>";
    }
    return escribirHoja(ruta, hoja + kFinHoja);
}

terminal::Pedido pedido(const QString& interno, const QString& archivo, bool json = false) {
    terminal::Pedido p;
    p.forma = terminal::Forma::Procesar;
    p.interno = interno;
    p.archivo = archivo;
    p.json = json;
    return p;
}

} // namespace

// `tarvix procesar`: the example invoice into a new interno with the counters the window shows, and
// each reason to stop with its exit status and rows, nothing stored.
class TstProcesar : public QObject {
    Q_OBJECT
private slots:
    void init() {
        prueba::aislarConfiguracion();
        configuracion::guardar(QStringLiteral("INTCAT"), QStringLiteral("1"));
        configuracion::guardar(QStringLiteral("INTDUN"), QStringLiteral("07"));
    }
    void argumentos();
    void ejemploComoLaVentana_data();
    void ejemploComoLaVentana();
    void motivosParaNoProcesar_data();
    void motivosParaNoProcesar();
};

void TstProcesar::argumentos() {
    const auto p = terminal::pedido(prueba::lista(
        {"tarvix", "procesar", "--interno", " 24001 ", "--descripcion", "Lote 3", "--json", "f.xlsx"}));
    QCOMPARE(p.forma, terminal::Forma::Procesar);
    QCOMPARE(p.interno, QStringLiteral("24001"));
    QCOMPARE(p.descripcion, QStringLiteral("Lote 3"));
    QVERIFY(p.json);
    QCOMPARE(p.archivo, QStringLiteral("f.xlsx"));
    QCOMPARE(terminal::forma(prueba::lista({"tarvix", "procesar", "f.xlsx"})),
             terminal::Forma::UsoIncorrecto);
    QCOMPARE(terminal::forma(prueba::lista({"tarvix", "procesar", "--interno", "1"})),
             terminal::Forma::UsoIncorrecto);
    QVERIFY(
        terminal::texto(terminal::Forma::Ayuda).contains(QStringLiteral("5 orígenes sin país relacionado")));
}

void TstProcesar::ejemploComoLaVentana_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_AR") << "es_AR";
    QTest::newRow("en_US") << "en_US";
}

void TstProcesar::ejemploComoLaVentana() {
    QFETCH(QString, locale);
    const prueba::LocaleFijo fijo(locale);
    // The window, on a data folder of its own.
    Programa p(Programa::Opciones().conAjustes(QStringLiteral("1"), QStringLiteral("07")).conMapeoAlCargar());
    QVERIFY(p.crearYElegirInterno(QStringLiteral("V-1")));
    p.abrirFactura(kEjemplo);
    p.guion.ventanasPaises.enqueue([](std::vector<OrigenNuevo>&) { return true; });
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.estado.g_iPaso, 3);
    const auto& c = p.paso3().cuentas;
    const QString esperada =
        QStringLiteral("Total de Registros: %1\nRegistros con Errores: %2\nErrores de Posición: "
                       "%3\nErrores de Sufijos: %4\nArticulos en Catalogo: %5\nArticulos "
                       "Nuevos: %6\n")
            .arg(c.total)
            .arg(c.erroneos)
            .arg(c.errPos)
            .arg(c.errSuf)
            .arg(c.enCatalogo)
            .arg(c.nuevos);

    QTemporaryDir datos;
    QString salida, errores;
    QCOMPARE(terminal::procesar(pedido(QStringLiteral("T-1"), kEjemplo), datos.path(), salida, errores), 0);
    QCOMPARE(salida, esperada);
    QVERIFY2(errores.startsWith(QStringLiteral("Fila 5, columna F («SETS»): Advertencia")),
             qPrintable(errores));
    // Again, as JSON, into the same interno.
    salida.clear();
    errores.clear();
    QCOMPARE(terminal::procesar(pedido(QStringLiteral("T-1"), kEjemplo, true), datos.path(), salida, errores),
             0);
    QCOMPARE(errores, QString());
    const QJsonObject json = QJsonDocument::fromJson(salida.toUtf8()).object();
    QCOMPARE(json.value(QStringLiteral("contadores"))
                 .toObject()
                 .value(QStringLiteral("Total de Registros"))
                 .toInt(),
             c.total);
    QCOMPARE(json.value(QStringLiteral("estado")).toInt(), 0);
}

void TstProcesar::motivosParaNoProcesar_data() {
    using Lineas = std::vector<std::array<const char*, 6>>;
    QTest::addColumn<Lineas>("lineas");
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("error");
    QTest::newRow("N/A") << Lineas{{"A-1", "TALADRO", "10", "PCS", "100", "CHINA"},
                                   {"N/A", "SIERRA", "5", "PCS", "50", "CHINA"}}
                         << int(terminal::kErroresDeRevision)
                         << "Fila 3, columna A («N/A»): Error: Artículo vacío o N/A";
    QTest::newRow("origen sin país") << Lineas{{"A-1", "TALADRO", "10", "PCS", "100", "CHINA"},
                                               {"A-2", "SIERRA", "5", "PCS", "50", "ATLANTIS"}}
                                     << int(terminal::kOrigenesSinRelacion)
                                     << "Fila 3, columna F («ATLANTIS»): el origen no tiene país relacionado";
}

void TstProcesar::motivosParaNoProcesar() {
    using Lineas = std::vector<std::array<const char*, 6>>;
    QFETCH(Lineas, lineas);
    QFETCH(int, estado);
    QFETCH(QString, error);
    QTemporaryDir datos;
    const QString ruta = datos.filePath(QStringLiteral("f.xlsx"));
    QVERIFY(escribirFactura(ruta, lineas));
    QString salida, errores;
    const int r = terminal::procesar(pedido(QStringLiteral("T-2"), ruta), datos.path(), salida, errores);
    QCOMPARE(r, estado);
    QVERIFY2(errores.contains(error), qPrintable(errores));
    QCOMPARE(salida, QString());
}

QTEST_GUILESS_MAIN(TstProcesar)
#include "tst_procesar.moc"
