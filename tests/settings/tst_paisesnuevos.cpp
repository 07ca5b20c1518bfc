#include "components/interaccionguionada.h"
#include "programa.h"
#include "settings/paisesnuevos.h"
#include "testsupport.h"

#include <QTest>
#include <memory>

using namespace tarvix;
using prueba::Programa;

namespace {

const QString kEjemplo = QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx");

QStringList filas(const std::vector<OrigenNuevo>& origenes) {
    QStringList r;
    for (const OrigenNuevo& o : origenes)
        r << o.texto + u'=' + o.pais;
    return r;
}

int ventanasEstablecerPais(const InteraccionGuionada& guion) {
    return static_cast<int>(std::count_if(guion.avisos.begin(), guion.avisos.end(), [](const auto& a) {
        return a.tipo == InteraccionGuionada::Aviso::Tipo::RelacionPais;
    }));
}

} // namespace

// The new origins of an invoice in one window: the proposals from the countries of PAIS, and the
// relations stored on F11 before the run.
class TstPaisesNuevos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void proponer_data();
    void proponer();
    void ejemploEnUnaVentana_data();
    void ejemploEnUnaVentana();

private:
    // The countries of PAIS of a started program, which goes before the application does.
    std::unique_ptr<Programa> m_p;
    std::vector<PaisDisponible> m_paises;
};

void TstPaisesNuevos::initTestCase() {
    m_p = std::make_unique<Programa>();
    m_paises = paisesDisponibles(m_p->srv);
}

void TstPaisesNuevos::cleanupTestCase() {
    m_p.reset();
}

void TstPaisesNuevos::proponer_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("pais"); // description in PAIS; empty: no proposal
    const char* const casos[][2] = {
        {"CHINA", "CHINA"},
        {" china ", "CHINA"},
        {"P.R. CHINA", "CHINA"},
        {"PRC", "CHINA"},
        {"CN", "CHINA"},
        {"ORIGIN: CHN", "CHINA"},
        {"TAIWAN", "TAIWAN"},
        {"Taiwán R.O.C.", "TAIWAN"},
        {"MADE IN ITALY", "ITALIA"},
        {"made in Italia", "ITALIA"},
        {"USA", "ESTADOS UNIDOS"},
        {"U.S.A.", "ESTADOS UNIDOS"},
        {"GERMANY", "ALEMANIA"},
        {"ALEMANHA", "ALEMANIA"},
        {"DE", "ALEMANIA"},
        {"JAPAN", "JAPON"},
        {"Japón", "JAPON"},
        {"UK", "REINO UNIDO"},
        {"GREAT BRITAIN", "REINO UNIDO"},
        {"BRAZIL ORIGIN", "BRASIL"},
        {"España", "ESPAÑA"},
        {"COUNTRY OF ORIGIN: VIET NAM", "VIETNAM"},
        {"MADE IN", ""},
        {"ASIA", ""},
        {"EU", ""},
        {"", ""},
    };
    for (const auto& c : casos)
        QTest::newRow(c[0][0] ? c[0] : "vacío") << QString::fromUtf8(c[0]) << QString::fromUtf8(c[1]);
}

void TstPaisesNuevos::proponer() {
    QFETCH(QString, texto);
    QFETCH(QString, pais);
    const std::vector<PaisDisponible>& paises = m_paises;
    const QString id = proponerPais(texto, paises);
    QString descripcion;
    for (const PaisDisponible& x : paises)
        if (x.id == id)
            descripcion = x.descripcion;
    QCOMPARE(descripcion, pais);
}

void TstPaisesNuevos::ejemploEnUnaVentana_data() {
    QTest::addColumn<QString>("tecla");
    QTest::addColumn<int>("preguntas"); // "Establecer Pais" windows of stage 1 afterwards
    QTest::newRow("F11") << "F11" << 0;
    QTest::newRow("F11 sin TAIWAN") << "F11-" << 1;
    QTest::newRow("Esc") << "Esc" << 5;
}

// The example invoice: one window lists its five origin texts, every one proposed right; F11 stores
// them and stage 1 asks for none; a row left without country is asked for by stage 1; Esc stores
// nothing and stage 1 asks for all five.
void TstPaisesNuevos::ejemploEnUnaVentana() {
    QFETCH(QString, tecla);
    QFETCH(int, preguntas);
    Programa p(Programa::Opciones().conAjustes(QStringLiteral("1"), QStringLiteral("07")).conMapeoAlCargar());
    QVERIFY(p.crearYElegirInterno(QStringLiteral("P-1")));
    p.abrirFactura(kEjemplo);
    if (tecla != u"Esc")
        p.guion.ventanasPaises.enqueue([&](std::vector<OrigenNuevo>& o) {
            if (tecla == u"F11-")
                o[2].pais.clear();
            return true;
        });
    p.responderRelaciones(preguntas, {{QStringLiteral("CHINA"), QStringLiteral("310")},
                                      {QStringLiteral("P.R. CHINA"), QStringLiteral("310")},
                                      {QStringLiteral("TAIWAN"), QStringLiteral("313")},
                                      {QStringLiteral("MADE IN ITALY"), QStringLiteral("417")},
                                      {QStringLiteral("USA"), QStringLiteral("212")}});
    p.principal().MAIN_CambiarPaso();
    // The check before found warnings only (units it does not know), and "Procesar igual" went on.
    QCOMPARE(p.guion.revisiones.size(), 1);
    QVERIFY(std::none_of(p.guion.revisiones.front().begin(), p.guion.revisiones.front().end(),
                         [](const Hallazgo& h) { return esError(h.tipo); }));
    QCOMPARE(p.guion.origenesMostrados.size(), 1);
    QCOMPARE(filas(p.guion.origenesMostrados.front()),
             prueba::lista({"CHINA=310", "P.R. CHINA=310", "TAIWAN=313", "MADE IN ITALY=417", "USA=212"}));
    QCOMPARE(ventanasEstablecerPais(p.guion), preguntas);
    QCOMPARE(p.mensajesNuevos(), QStringList());
    QCOMPARE(p.estado.g_iPaso, 3);
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ORG where PAI = 'TAIWAN' and ORI = '313'")),
             QStringLiteral("1"));
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ART where PRCORI = ''")), QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TstPaisesNuevos)
#include "tst_paisesnuevos.moc"
