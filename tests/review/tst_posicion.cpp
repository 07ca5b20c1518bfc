#include "entorno.h"
#include "review/posicion_logica.h"

using namespace tarvix;

class TstPosicion : public QObject {
    Q_OBJECT
private slots:
    void patrones();
    void buscar();
    void buscarSinResultado();
    void mostrarDatos();
    void activacionYEleccion();
};

void TstPosicion::patrones() {
    QCOMPARE(listaSim(QStringLiteral("8467.21.00.000R")),
             QStringLiteral("('84  .  .  .   ','8467.  .  .   ','8467.21.  .   ','8467.21.00.000')"));
    QCOMPARE(listaSim(QStringLiteral("84'7")), QStringLiteral("('84  .  .  .   ','84''7.  .  .   ',"
                                                              "'84''7.  .   ','84''7')"));
    // A quote cut at the end of a pattern stays doubled.
    QCOMPARE(listaSim(QStringLiteral("8'67")), QStringLiteral("('8''  .  .  .   ','8''67.  .  .   ',"
                                                              "'8''67.  .   ','8''67')"));
    QCOMPARE(condicionPosicion(QStringLiteral("8467.21.00.000R"), QStringLiteral("  ")),
             QStringLiteral(" [001] = '8467.21.00' and [002] = '000'  and [003] = 'R'"));
    // Fourteen characters: the last one is the letter.
    QCOMPARE(condicionPosicion(QStringLiteral("8467.21.00.000"), QStringLiteral(" ")),
             QStringLiteral(" [001] = '8467.21.00' and [002] = '000' and [003] = '0'"));
}

void TstPosicion::buscar() {
    Entorno e;
    LogicaPosicion p(e.srv, e.estado);
    // Four digits, a dot and two digits: the dot stands for any text.
    p.TxtNCMF = QStringLiteral("8467.2");
    QVERIFY(p.Buscar());
    QCOMPARE(p.LstNCM, (QStringList{QStringLiteral("8467.21.00.000R"), QStringLiteral("8467.22.00.000Y"),
                                    QStringLiteral("8467.29.99.000Z")}));
    QCOMPARE(p.LstNCM_ListIndex, 0);
    QVERIFY(e.guion.avisos.isEmpty());
    p.TxtNCMF = QStringLiteral("7318.15");
    QVERIFY(p.Buscar());
    QCOMPARE(p.LstNCM, (QStringList{QStringLiteral("7318.15.00.100W"), QStringLiteral("7318.15.00.900X")}));
    // Blank text: nothing happens.
    p.TxtNCMF = QStringLiteral("   ");
    QVERIFY(!p.Buscar());
    QCOMPARE(p.LstNCM.size(), 2);
    QVERIFY(e.guion.avisos.isEmpty());
}

void TstPosicion::buscarSinResultado() {
    Entorno e;
    LogicaPosicion p(e.srv, e.estado);
    p.TxtNCMF = QStringLiteral("8467");
    QVERIFY(p.Buscar());
    p.TxtNCMF = QStringLiteral("99'");
    QVERIFY(!p.Buscar());
    QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Posición no encontrada.")});
    QCOMPARE(e.guion.avisos.first().icono, Icono::Exclamacion);
    QVERIFY(p.LstNCM.isEmpty());
    QCOMPARE(p.LstNCM_ListIndex, -1);
}

void TstPosicion::mostrarDatos() {
    Entorno e;
    LogicaPosicion p(e.srv, e.estado);
    p.MostrarDatos(QStringLiteral("8471.30.12.000Z"));
    QVERIFY(p.LbDescripcion.startsWith(QStringLiteral("Máquinas automáticas para tratamiento")));
    QVERIFY(p.LbDescripcion.contains(QStringLiteral("\r\n\r\nDe peso inferior a 3,5 kg")));
    QCOMPARE(p.LstSufijos.size(), 6);
    QVERIFY(p.LstSufijos.contains(QStringLiteral("AA   MARCA")));
    QVERIFY(p.LstSufijos.contains(QStringLiteral("AD01 NUEVO SIN USO")));
    QVERIFY(p.LstSufijos.contains(QStringLiteral("ZA   CAPACIDAD DE MEMORIA O ALMACENAMIENTO EN GB")));
    // A position without suffixes empties the list.
    p.MostrarDatos(QStringLiteral("7318.15.00.100W"));
    QVERIFY(p.LstSufijos.isEmpty());
    QVERIFY(!p.LbDescripcion.isEmpty());
    QVERIFY(e.guion.avisos.isEmpty());
    // A failure shows its description.
    e.ejecutarNcm(QStringLiteral("drop table sufidos"));
    p.MostrarDatos(QStringLiteral("7318.15.00.100W"));
    QCOMPARE(e.guion.mensajes().size(), 1);
    QVERIFY(!e.guion.mensajes().first().texto.contains(QStringLiteral("Sección")));
}

void TstPosicion::activacionYEleccion() {
    Entorno e;
    LogicaPosicion p(e.srv, e.estado);
    // Nothing to search: no search, no list.
    QVERIFY(!p.Form_Activate());
    QVERIFY(p.buscado);
    LogicaPosicion q(e.srv, e.estado);
    q.TxtNCMF = QStringLiteral("8301");
    QVERIFY(q.Form_Activate());
    QCOMPARE(q.LstNCM.size(), 2);
    // Later activations keep the list and search no more.
    q.TxtNCMF = QStringLiteral("99");
    QVERIFY(q.Form_Activate());
    QCOMPARE(q.LstNCM.size(), 2);
    QVERIFY(e.guion.avisos.isEmpty());
    q.LstNCM_ListIndex = 1;
    QCOMPARE(q.Elegir(), QStringLiteral("8301.40.00.000J"));
    QVERIFY(!q.buscado);
    q.LstNCM_ListIndex = -1;
    QCOMPARE(q.Elegir(), QString());
}

QTEST_GUILESS_MAIN(TstPosicion)
#include "tst_posicion.moc"
