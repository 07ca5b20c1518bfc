#include "app/controladorprincipal.h"
#include "app/terminal.h"
#include "testsupport.h"

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
    }
};

QTEST_GUILESS_MAIN(TstTerminal)
#include "tst_terminal.moc"
