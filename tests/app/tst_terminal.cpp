#include "app/controladorprincipal.h"
#include "app/terminal.h"

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
        QTest::newRow("--version") << QStringList{"--version"} << Forma::Version;
        QTest::newRow("-v") << QStringList{"-v"} << Forma::Version;
        QTest::newRow("--help") << QStringList{"--help"} << Forma::Ayuda;
        QTest::newRow("-h") << QStringList{"-h"} << Forma::Ayuda;
        QTest::newRow("ambas: gana la ayuda") << QStringList{"--version", "-h"} << Forma::Ayuda;
        // Qt's own options open the window; "-reverse" is not -r -e -v...
        QTest::newRow("-reverse") << QStringList{"-reverse"} << Forma::Ventana;
        QTest::newRow("-platform") << QStringList{"-platform", "offscreen"} << Forma::Ventana;
        QTest::newRow("desconocida antes") << QStringList{"-style", "fusion", "--version"} << Forma::Version;
        QTest::newRow("después de --") << QStringList{"--", "--version"} << Forma::Ventana;
        QTest::newRow("archivo") << QStringList{"factura.xlsx"} << Forma::Ventana;
    }
    void forma() {
        QFETCH(QStringList, argumentos);
        QFETCH(Forma, esperada);
        argumentos.prepend(QStringLiteral("tarvix"));
        QCOMPARE(terminal::forma(argumentos), esperada);
    }

    void textos() {
        QCOMPARE(terminal::texto(Forma::Version), "tarvix " + ControladorPrincipal::numeroVersion() + '\n');
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
