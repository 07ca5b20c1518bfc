#include "app/controladorprincipal.h"
#include "app/terminal.h"
#include "components/configuracion.h"
#include "testsupport.h"

#include <QTemporaryDir>

#include <QTest>

using namespace tarvix;
using terminal::Forma;

class TstTerminal : public QObject {
    Q_OBJECT
private slots:
    void forma_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<Forma>("esperada");
        QTest::newRow("sin argumentos") << QStringList() << Forma::Ventana;
        QTest::newRow("--version") << prueba::lista({"--version"}) << Forma::Version;
        QTest::newRow("-v") << prueba::lista({"-v"}) << Forma::Version;
        QTest::newRow("--help") << prueba::lista({"--help"}) << Forma::Ayuda;
        QTest::newRow("-h") << prueba::lista({"-h"}) << Forma::Ayuda;
        QTest::newRow("ambas: gana la ayuda") << prueba::lista({"--version", "-h"}) << Forma::Ayuda;
        // Qt's own options open the window; "-reverse" is not -r -e -v...
        QTest::newRow("-reverse") << prueba::lista({"-reverse"}) << Forma::Ventana;
        QTest::newRow("-platform") << prueba::lista({"-platform", "offscreen"}) << Forma::Ventana;
        QTest::newRow("desconocida antes")
            << prueba::lista({"-style", "fusion", "--version"}) << Forma::Version;
        QTest::newRow("después de --") << prueba::lista({"--", "--version"}) << Forma::Ventana;
        QTest::newRow("archivo") << prueba::lista({"factura.xlsx"}) << Forma::Ventana;
        QTest::newRow("leer") << prueba::lista({"leer", "f.xlsx"}) << Forma::Leer;
        QTest::newRow("mapear") << prueba::lista({"mapear", "f.xls"}) << Forma::Mapear;
        QTest::newRow("leer sin archivo") << prueba::lista({"leer"}) << Forma::UsoIncorrecto;
        QTest::newRow("mapear con dos") << prueba::lista({"mapear", "a", "b"}) << Forma::UsoIncorrecto;
        QTest::newRow("leer con ayuda") << prueba::lista({"leer", "f.xlsx", "-h"}) << Forma::Ayuda;
    }
    void forma() {
        QFETCH(QStringList, argumentos);
        QFETCH(Forma, esperada);
        argumentos.prepend(QStringLiteral("tarvix"));
        QCOMPARE(terminal::forma(argumentos), esperada);
    }

    void textos() {
        QCOMPARE(terminal::texto(Forma::Version),
                 QString(QStringLiteral("tarvix ") + ControladorPrincipal::numeroVersion() + u'\n'));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                    .match(ControladorPrincipal::numeroVersion())
                    .hasMatch());
        const QString ayuda = terminal::texto(Forma::Ayuda);
        for (const char* linea :
             {"  -h, --help     Muestra esta ayuda", "  -v, --version  Muestra el nombre"})
            QVERIFY2(ayuda.contains(QLatin1String(linea)), qPrintable(ayuda));
        QVERIFY(terminal::texto(Forma::Ventana).isEmpty());
        QVERIFY(terminal::texto(Forma::UsoIncorrecto).startsWith(QLatin1String("Uso: tarvix")));
    }

    void campoTsv_data() {
        QTest::addColumn<QString>("celda");
        QTest::addColumn<QString>("campo");
        QTest::newRow("tal cual") << "Ñandú 12,5"
                                  << "Ñandú 12,5";
        QTest::newRow("tabulador") << "a\tb"
                                   << "a\\tb";
        QTest::newRow("saltos") << "1\r\n2\n3\r4"
                                << "1\\n2\\n3\\n4";
        QTest::newRow("barra") << "C:\\x\\"
                               << "C:\\\\x\\\\";
    }
    void campoTsv() {
        QFETCH(QString, celda);
        QFETCH(QString, campo);
        QCOMPARE(terminal::campoTsv(celda), campo);
    }

    // The example invoice read and mapped without windows, under both locales; a file that is no
    // workbook gives the window's message and status 1.
    void leerYMapear_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("linea1");
        QTest::newRow("es_AR") << "es_AR"
                               << "\t120\tPCS\t28,5\tUSD\t228\t3420\tCHINA\t";
        QTest::newRow("en_US") << "en_US"
                               << "\t120\tPCS\t28.5\tUSD\t228\t3420\tCHINA\t";
    }
    void leerYMapear() {
        QFETCH(QString, locale);
        QFETCH(QString, linea1);
        prueba::aislarConfiguracion();
        configuracion::guardar(QStringLiteral("INTCAT"), QStringLiteral("1"));
        const prueba::LocaleFijo fijo(locale);
        const QString ejemplo = QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx");
        QString salida, errores;
        QCOMPARE(terminal::leer(ejemplo, salida, errores), 0);
        QCOMPARE(errores, QString());
        const QStringList lineas = salida.split(u'\n');
        QCOMPARE(lineas.size(), 1 + 14 + 1); // header, lines, the last line break
        QVERIFY(lineas[0].startsWith(QLatin1String("ITEM\tDESCRIPTION\tHS CODE\t")));
        QVERIFY2(lineas[1].contains(linea1), qPrintable(lineas[1]));

        QTemporaryDir datos;
        salida.clear();
        QCOMPARE(terminal::mapear(ejemplo, datos.path(), salida, errores), 0);
        QCOMPARE(errores, QString());
        QVERIFY2(salida.startsWith(QLatin1String("B\t[ DESCRIPC ]\nC\t[ NCM ]\nE\t[ CANTIDAD ]\n")),
                 qPrintable(salida));
        QVERIFY2(salida.endsWith(QLatin1String("U\t[ MARCA ]\nW\t[ ARTICULO ]\n")), qPrintable(salida));

        salida.clear();
        const QString malo = QStringLiteral(TARVIX_SOURCE_DIR "/README.md");
        QCOMPARE(terminal::mapear(malo, datos.path(), salida, errores), 1);
        QCOMPARE(salida, QString());
        QVERIFY2(errores.startsWith(QLatin1String("1004 - El archivo no es una planilla")),
                 qPrintable(errores));
    }
};

QTEST_GUILESS_MAIN(TstTerminal)
#include "tst_terminal.moc"
