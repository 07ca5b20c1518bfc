#include "controls/reglascntrl.h"
#include "testsupport.h"

#include <QTest>

using namespace tarvix::cntrl;

class TstReglasCntrl : public QObject {
    Q_OBJECT
private slots:
    void prefijo_data();
    void prefijo();
    void separador();
    void fondos_data();
    void fondos();
};

void TstReglasCntrl::prefijo_data() {
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<int>("indice");
    const QStringList l{QStringLiteral("XY01 - Otro"), QStringLiteral("aBc - minúsculas"),
                        QStringLiteral("AB02 - segundo"), QStringLiteral("ÑANDÚ")};
    QTest::newRow("minusculas encuentran mayusculas") << l << QStringLiteral("ab") << 1;
    QTest::newRow("la primera que empieza") << l << QStringLiteral("AB") << 1;
    QTest::newRow("mas largo") << l << QStringLiteral("ab02") << 2;
    QTest::newRow("no al medio") << l << QStringLiteral("01") << -1;
    QTest::newRow("ninguna") << l << QStringLiteral("ZZ") << -1;
    QTest::newRow("valor mas largo que la linea") << l << QStringLiteral("XY01 - Otro y mas") << -1;
    QTest::newRow("acentos y enie sin distinguir caja") << l << QStringLiteral("ñandú") << 3;
    QTest::newRow("vacio es la primera") << l << QString() << 0;
    QTest::newRow("lista vacia") << QStringList() << QStringLiteral("A") << -1;
}

void TstReglasCntrl::prefijo() {
    QFETCH(QStringList, lineas);
    QFETCH(QString, valor);
    QFETCH(int, indice);
    QCOMPARE(buscarPrefijo(lineas, valor), indice);
}

void TstReglasCntrl::separador() {
    {
        prueba::LocaleFijo l(QStringLiteral("es_AR"));
        QCOMPARE(separadorDecimal(), QStringLiteral(","));
        QCOMPARE(textoTeclaDecimal(separadorDecimal()), QStringLiteral(","));
    }
    {
        prueba::LocaleFijo l(QStringLiteral("en_US"));
        QCOMPARE(separadorDecimal(), QStringLiteral("."));
    }
    // Without a separator from the locale the key keeps typing a full stop; only the first
    // character of a longer one is typed.
    QCOMPARE(textoTeclaDecimal(QString()), QStringLiteral("."));
    QCOMPARE(textoTeclaDecimal(QStringLiteral("٫x")), QStringLiteral("٫"));
}

void TstReglasCntrl::fondos_data() {
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("entrar");
    QTest::addColumn<int>("salir");
    const int sin = int(Fondo::SinCambio), blanco = int(Fondo::Blanco);
    QTest::newRow("vacio") << QString() << int(Fondo::VerdeClaro) << blanco;
    QTest::newRow("unidad") << QStringLiteral("07") << int(Fondo::VerdeClaro) << blanco;
    QTest::newRow("F6") << QStringLiteral("X#F6") << int(Fondo::Melocoton) << blanco;
    QTest::newRow("BB") << QStringLiteral("BB") << sin << sin;
    QTest::newRow("BB y F6") << QStringLiteral("BB#F6") << int(Fondo::Melocoton) << sin;
    QTest::newRow("F6 no al final") << QStringLiteral("#F6X") << int(Fondo::VerdeClaro) << blanco;
    QTest::newRow("bb minusculas") << QStringLiteral("bb") << int(Fondo::VerdeClaro) << blanco;
}

void TstReglasCntrl::fondos() {
    QFETCH(QString, tag);
    QFETCH(int, entrar);
    QFETCH(int, salir);
    QCOMPARE(int(fondoAlEnfocar(tag)), entrar);
    QCOMPARE(int(fondoAlSalir(tag)), salir);
}

QTEST_APPLESS_MAIN(TstReglasCntrl)
#include "tst_reglascntrl.moc"
