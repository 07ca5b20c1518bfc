#include "camino.h"
#include "components/central.h"
#include "components/vb.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>
#include <future>
#include <thread>

using namespace tarvix;
using camino::Programa;

namespace {

const QString kQuedoComoEstaba = QStringLiteral(
    "\r\n\r\nLa base aduanera quedó como estaba: no se escribió ni se reemplazó nada del interno ");

// Another station, in a thread of its own (a program's connections belong to the thread that opens
// them): `preparar` gets its program ready there; `transferir` lets it run the transfer and
// `mensajes` waits for its end and gives what it was shown.
class OtroPuesto {
public:
    OtroPuesto(const std::optional<Velno::ParametrosConexion>& servidor,
               std::function<void(Programa&)> preparar) {
        std::future<void> listo = m_listo.get_future();
        std::shared_future<void> ir = m_ir.get_future().share();
        m_fin = std::async(std::launch::async, [this, servidor, preparar, ir] {
            Programa prog(servidor);
            try {
                preparar(prog);
            } catch (...) {
                m_listo.set_exception(std::current_exception());
                return QStringList();
            }
            m_listo.set_value();
            ir.wait();
            prog.paso3().FRM3_Tranferir();
            return prog.mensajesNuevos();
        });
        listo.get();
    }
    ~OtroPuesto() {
        if (m_fin.valid()) {
            transferir();
            m_fin.wait();
        }
    }
    OtroPuesto(const OtroPuesto&) = delete;
    OtroPuesto& operator=(const OtroPuesto&) = delete;
    void transferir() {
        if (!m_enMarcha)
            m_ir.set_value();
        m_enMarcha = true;
    }
    QStringList mensajes() {
        transferir();
        return m_fin.get();
    }

private:
    std::promise<void> m_listo;
    std::promise<void> m_ir;
    bool m_enMarcha = false;
    std::future<QStringList> m_fin;
};

qint64 contar(Programa& p, const QString& sql) {
    return p.filasAduana(sql).value(0).value(QStringLiteral("n")).toLongLong();
}

QString seTransfirio(int lineas, const QString& interno) {
    return QStringLiteral("Se transfirio %1 articulos en el interno ").arg(lineas) + interno;
}

// Pauses the program's transfer once, at the bar value `valor` of the stage whose caption is
// `etapa`, to run `mientras` (while its transaction is open).
void pausar(Programa& p, const QString& etapa, int valor, std::function<void()> mientras) {
    auto hecho = std::make_shared<bool>(false);
    p.progreso.alAvanzar = [&p, etapa, valor, mientras, hecho](int v) {
        if (!*hecho && v == valor && p.principal().Main_lbMensaje == etapa) {
            *hecho = true;
            mientras();
        }
    };
}

const QString kPasaje = QStringLiteral("Transfiriendo al Kalmora Windows...");
const QString kCatalogo = QStringLiteral("Actualizando catalogo...");

} // namespace

// Several stations on one customs database: a transfer is all or nothing, stations transferring the
// same interno take turns, and those with articles in common all complete the catalog.
class TstPuestos : public QObject {
    Q_OBJECT
private slots:
    void init();
    void mismoInternoDesdeOtroPuesto();
    void mismoInternoAlMismoTiempo();
    void articulosEnComunEnDosPuestos();
    void esperaAcotada_data();
    void esperaAcotada();
    void baseEmbebidaEsperaAlPrimero();
    void servidorCongelado_data();
    void servidorCongelado();

private:
    std::optional<Velno::ParametrosConexion> servidor() {
        auto pg = prueba::servidorDePrueba();
        if (!pg)
            QTest::qSkip(camino::kSinServidor, __FILE__, __LINE__);
        return pg;
    }
};

void TstPuestos::init() {
    QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
}

// The second station asks for the interno while the first one writes it: after the lock timeout it
// is told so and nothing of it is written.
void TstPuestos::mismoInternoDesdeOtroPuesto() {
    const auto pg = servidor();
    if (!pg)
        return;
    camino::InternoDePrueba a(*pg, QStringLiteral("PUESTO"), 120);
    Velno::ParametrosConexion impaciente = *pg;
    impaciente.tiempoBloqueo = 1;
    Programa b(impaciente);
    b.estado.g_sInterno = a.interno;
    b.estado.g_sINTCAT = a.catalogo;
    camino::lineasCorrectas(b, 120);
    QStringList deB;
    qint64 espera = 0;
    pausar(a.prog, kPasaje, 40, [&] {
        QElapsedTimer reloj;
        reloj.start();
        b.paso3().FRM3_Tranferir();
        espera = reloj.elapsed();
        deB = b.mensajesNuevos();
    });
    a.prog.paso3().FRM3_Tranferir();
    QCOMPARE(a.prog.mensajesNuevos(), QStringList{seTransfirio(120, a.interno)});
    QCOMPARE(deB.size(), 1);
    QVERIFY2(deB[0].startsWith(QStringLiteral("El interno ") + a.interno +
                               QStringLiteral(" se está transfiriendo desde otro puesto")),
             qPrintable(deB[0]));
    QVERIFY(deB[0].endsWith(kQuedoComoEstaba + a.interno + u'.'));
    QVERIFY2(espera >= 900 && espera < 10000 * prueba::factorTiempo(), qPrintable(QString::number(espera)));
    QCOMPARE(contar(a.prog, QStringLiteral("select count(*) as n from subitems where interno = ") +
                                vb::SqlTexto(a.interno)),
             120);
}

// Both stations at once, at random offsets: every time exactly one set of subitems; the second one
// waits for the first and replaces the interno.
void TstPuestos::mismoInternoAlMismoTiempo() {
    const auto pg = servidor();
    if (!pg)
        return;
    camino::InternoDePrueba a(*pg, QStringLiteral("JUNTOS"), 200);
    const QString interno = a.interno;
    const QString catalogo = a.catalogo;
    for (int vuelta = 0; vuelta < 20; ++vuelta) {
        OtroPuesto b(pg, [&](Programa& p) {
            p.estado.g_sInterno = interno;
            p.estado.g_sINTCAT = catalogo;
            camino::lineasCorrectas(p, 200);
            p.guion.respuestas.enqueue(Respuesta::Si);
        });
        a.prog.guion.respuestas.enqueue(Respuesta::Si);
        const auto demora = std::chrono::milliseconds(QRandomGenerator::global()->bounded(60));
        if (vuelta % 2)
            b.transferir();
        std::this_thread::sleep_for(demora);
        if (vuelta % 2 == 0)
            pausar(a.prog, kPasaje, 1 + QRandomGenerator::global()->bounded(200), [&b] { b.transferir(); });
        a.prog.paso3().FRM3_Tranferir();
        a.prog.progreso.alAvanzar = nullptr;
        const QStringList m = a.prog.mensajesNuevos() + b.mensajes();
        QVERIFY2(m.count(seTransfirio(200, interno)) == 2, qPrintable(m.join(u'|')));
        a.prog.guion.respuestas.clear();
        QCOMPARE(contar(a.prog, QStringLiteral("select count(*) as n from subitems where interno = ") +
                                    vb::SqlTexto(interno)),
                 200);
    }
}

// Two internos with articles in common, the second station adding its catalog entries while the
// first one has added the same articles and not committed yet: both complete, the catalog holds each
// article once.
void TstPuestos::articulosEnComunEnDosPuestos() {
    const auto pg = servidor();
    if (!pg)
        return;
    camino::InternoDePrueba a(*pg, QStringLiteral("COMUN"), 120);
    const QString otroInterno = camino::nombrePropio(QStringLiteral("OTRO"));
    camino::Limpieza limpieza(a.prog, QStringLiteral("1"), {otroInterno});
    const QString catalogo = a.catalogo;
    OtroPuesto b(pg, [&](Programa& p) {
        p.estado.g_sInterno = otroInterno;
        p.estado.g_sINTCAT = catalogo;
        camino::lineasCorrectas(p, 120);
        p.ejecutar(QStringLiteral("update ART set ARTNRO = 'F-' || (ARTORD + 60) where INTNRO = ") +
                   vb::SqlTexto(otroInterno));
    });
    pausar(a.prog, kCatalogo, 100, [&b] {
        b.transferir();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    a.prog.paso3().FRM3_Tranferir();
    QCOMPARE(a.prog.mensajesNuevos(), QStringList{seTransfirio(120, a.interno)});
    QCOMPARE(b.mensajes(), QStringList{seTransfirio(120, otroInterno)});
    QCOMPARE(contar(a.prog, QStringLiteral("select count(distinct idarticulo) as n from catarticulos where "
                                           "idcatalogo = ") +
                                vb::SqlTexto(catalogo)),
             180);
}

// A lock another connection holds, or a statement slower than its limit: the transfer ends within
// the limit of its entity, in Spanish, and the interno is as it was.
void TstPuestos::esperaAcotada_data() {
    QTest::addColumn<int>("bloqueo");
    QTest::addColumn<int>("sentencia");
    QTest::addColumn<QString>("texto");
    QTest::newRow("espera de un cerrojo")
        << 1 << -1 << QStringLiteral("Otro puesto tiene ocupados los datos");
    QTest::newRow("sentencia lenta") << 0 << 1 << QStringLiteral("superó el tiempo máximo de espera");
}

void TstPuestos::esperaAcotada() {
    QFETCH(int, bloqueo);
    QFETCH(int, sentencia);
    QFETCH(QString, texto);
    auto pg = servidor();
    if (!pg)
        return;
    pg->tiempoBloqueo = bloqueo;
    pg->tiempoSentencia = sentencia;
    camino::InternoDePrueba a(*pg, QStringLiteral("ESPERA"), 20);
    a.prog.paso3().FRM3_Tranferir();
    QCOMPARE(a.prog.mensajesNuevos().size(), 1);

    Velno::clBase otro(QStringLiteral("otro puesto"));
    otro.setParametros(*prueba::servidorDePrueba());
    otro.setMotor(Motor::PostgreSQL);
    otro.ComenzarTransaccion();
    otro.EjecutarDirecto(QStringLiteral("select interno from caratula where interno = ") +
                         vb::SqlTexto(a.interno) + QStringLiteral(" for update"));
    a.prog.guion.respuestas.enqueue(Respuesta::Si);
    QElapsedTimer reloj;
    reloj.start();
    a.prog.paso3().FRM3_Tranferir();
    QVERIFY(reloj.elapsed() < 10000 * prueba::factorTiempo());
    otro.DeshacerTransaccion();
    const QStringList m = a.prog.mensajesNuevos();
    QCOMPARE(m.size(), 2);
    QVERIFY2(m[1].contains(texto) && m[1].contains(QStringLiteral("FRAM3_Transfer_B_Pasaje Linea 70 ]")),
             qPrintable(m[1]));
    QVERIFY(m[1].endsWith(kQuedoComoEstaba + a.interno + u'.'));
    QCOMPARE(contar(a.prog, QStringLiteral("select count(*) as n from subitems where interno = ") +
                                vb::SqlTexto(a.interno)),
             20);
}

// Two transfers into one embedded customs database: the second takes the write lock at its start,
// so it waits for the first one instead of failing at its first write.
void TstPuestos::baseEmbebidaEsperaAlPrimero() {
    Programa a;
    a.estado.g_sInterno = QStringLiteral("EMB-A");
    camino::lineasCorrectas(a, 300);
    const QString archivo = a.carpeta() + QStringLiteral("/db/aduana.db");
    OtroPuesto b(std::nullopt, [&](Programa& p) {
        Velno::ParametrosConexion compartida;
        compartida.baseDeDatos = archivo;
        p.srv.g_oCentral->definirEntidad(QStringLiteral("INTERNOS"), compartida);
        p.estado.g_sInterno = QStringLiteral("EMB-B");
        camino::lineasCorrectas(p, 300);
    });
    pausar(a, kPasaje, 40, [&b] {
        b.transferir();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    a.paso3().FRM3_Tranferir();
    QCOMPARE(a.mensajesNuevos(), QStringList{seTransfirio(300, QStringLiteral("EMB-A"))});
    QCOMPARE(b.mensajes(), QStringList{seTransfirio(300, QStringLiteral("EMB-B"))});
}

// The server stops answering in the middle of a transfer (its process stopped: the link still takes
// the packets, nothing comes back), while the interno's lines are on their way or while the driver
// waits for the catalog's lock: the transfer ends after the limit of a statement and its margin, in
// Spanish, and once the server runs again nothing of the interno is there.
void TstPuestos::servidorCongelado_data() {
    QTest::addColumn<QString>("etapa");
    QTest::addColumn<int>("valor");
    QTest::newRow("con las líneas en camino") << kPasaje << 40;
    QTest::newRow("esperando el cerrojo del catálogo") << kCatalogo << 1;
}

void TstPuestos::servidorCongelado() {
    QFETCH(QString, etapa);
    QFETCH(int, valor);
    auto pg = servidor();
    if (!pg)
        return;
    pg->tiempoSentencia = 1;
    camino::InternoDePrueba a(*pg, QStringLiteral("CONGELA"), 120);
    const auto pid = static_cast<pid_t>(contar(a.prog, QStringLiteral("select pg_backend_pid() as n")));
    pausar(a.prog, etapa, valor, [pid] { ::kill(pid, SIGSTOP); });
    QElapsedTimer reloj;
    reloj.start();
    a.prog.paso3().FRM3_Tranferir();
    const qint64 ms = reloj.elapsed();
    ::kill(pid, SIGCONT);
    const QStringList m = a.prog.mensajesNuevos();
    QCOMPARE(m.size(), 1);
    QVERIFY2(m[0].contains(QStringLiteral("no respondió en 6 segundos")), qPrintable(m[0]));
    QVERIFY2(m[0].endsWith(kQuedoComoEstaba + a.interno + u'.'), qPrintable(m[0]));
    QVERIFY2(ms >= 5500 && ms < 15000 * prueba::factorTiempo(), qPrintable(QString::number(ms)));
    Velno::clBase otro(QStringLiteral("otro puesto"));
    otro.setParametros(*prueba::servidorDePrueba());
    Recordset rs;
    otro.setSql(QStringLiteral("select count(*) from pg_stat_activity where pid = %1").arg(pid));
    QTRY_VERIFY_WITH_TIMEOUT((otro.CrearRs(rs), rs.Fields(0).toInt() == 0), 10000);
    QCOMPARE(contar(a.prog, QStringLiteral("select count(*) as n from subitems where interno = ") +
                                vb::SqlTexto(a.interno)),
             0);
}

QTEST_GUILESS_MAIN(TstPuestos)
#include "tst_puestos.moc"
