#include "camino.h"
#include "components/central.h"
#include "components/vb.h"
#include "settings/logicaconfig.h"
#include "testsupport.h"

#include <QScopeGuard>
#include <QTest>

using namespace tarvix;
using camino::Programa;

namespace {

constexpr int kLineas = 120;

// Brings the test cluster back when a case ends with it stopped.
class ServidorDetenido {
public:
    ServidorDetenido() = default;
    ~ServidorDetenido() {
        if (m_detenido)
            arrancar();
    }
    ServidorDetenido(const ServidorDetenido&) = delete;
    ServidorDetenido& operator=(const ServidorDetenido&) = delete;
    bool parar() { return m_detenido = camino::clusterDePrueba(QStringLiteral("parar")); }
    bool arrancar() {
        m_detenido = !camino::clusterDePrueba(QStringLiteral("arrancar"));
        return !m_detenido;
    }
    bool detenido() const { return m_detenido; }

private:
    bool m_detenido = false;
};

qint64 contar(Programa& p, const QString& sql) {
    return p.filasAduana(sql).value(0).value(QStringLiteral("n")).toLongLong();
}

} // namespace

// What a customs database on a server brings: a server that does not answer, one that stops in the
// middle of a transfer, a password that is wrong. Runs only against the test server, alone (it stops
// the cluster other programs use).
class TstServidorFallas : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void servidorInalcanzableAlArrancar();
    void credencialesIncorrectas();
    void servidorDetenidoDuranteLaTransferencia();
    void articulosRepetidosEnLaTransferencia();
    void fallaDeUnaLineaDelCatalogo_data();
    void fallaDeUnaLineaDelCatalogo();

private:
    std::optional<Velno::ParametrosConexion> m_pg;
};

void TstServidorFallas::initTestCase() {
    m_pg = prueba::servidorDePrueba();
    if (!m_pg)
        QSKIP(camino::kSinServidor);
}

void TstServidorFallas::init() {
    QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
}

void TstServidorFallas::servidorInalcanzableAlArrancar() {
    Velno::ParametrosConexion p = *m_pg;
    p.puerto = 1; // nobody listens there
    Programa prog(p);
    QCOMPARE(prog.estado.g_iPaso, 1);
    QCOMPARE(prog.mensajesNuevos(), QStringList());

    // The settings window: the catalogs cannot be read; it says so and keeps the stored ones.
    LogicaConfig config(prog.srv, prog.estado);
    config.Form_Load();
    QStringList m = prog.mensajesNuevos();
    QVERIFY(!m.isEmpty());
    QVERIFY2(m[0].contains(QStringLiteral("(entidad INTERNOS)")), qPrintable(m[0]));
    QVERIFY2(m[0].contains(QStringLiteral("No se puede conectar con el servidor de base de datos")),
             qPrintable(m[0]));
    QVERIFY(config.cboIdCatalogo.isEmpty());

    // Processing: stage 1 stores the lines, stage 2 reports the server and the run stops in step 2.
    QVERIFY(prog.crearYElegirInterno(QStringLiteral("SIN-SERVIDOR")));
    prog.abrirFactura(QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx"));
    prog.paso2().cmdAutomatico_Click();
    prog.establecerCampo(1, QStringLiteral("[ DESCRIPC ]"));
    prog.ejecutar(QStringLiteral(
        "insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2'), ('P.R. CHINA','310','2'), "
        "('TAIWAN','313','2'), ('MADE IN ITALY','417','2'), ('USA','212','2')"));
    for (int intento = 0; intento < 2; ++intento) {
        prog.principal().MAIN_CambiarPaso();
        m = prog.mensajesNuevos();
        QCOMPARE(m.size(), 1);
        QVERIFY2(
            m[0].startsWith(QStringLiteral("No se puede abrir la base de datos de la entidad INTERNOS: No se "
                                           "puede conectar con el servidor de base de datos")),
            qPrintable(m[0]));
        QVERIFY2(m[0].contains(QStringLiteral("FRAM2_GuardarDatosToBase")), qPrintable(m[0]));
        QCOMPARE(prog.estado.g_iPaso, 2);
    }
    // The program goes on: the working database answers and step 1 lists the interno.
    QCOMPARE(prog.filasTrabajo(QStringLiteral("select count(*) as n from ART where INTNRO = 'SIN-SERVIDOR'"))
                 .value(0)
                 .value(QStringLiteral("n"))
                 .toInt(),
             14);
    prog.principal().FRAM1_CargarInternos();
    QCOMPARE(prog.principal().internos.size(), size_t(1));
    QCOMPARE(prog.mensajesNuevos(), QStringList());
}

void TstServidorFallas::credencialesIncorrectas() {
    Velno::ParametrosConexion p = *m_pg;
    p.clave = QStringLiteral("no-es-la-clave-42");
    Programa prog(p);
    QCOMPARE(prog.estado.g_iPaso, 1);
    prog.estado.g_sInterno = camino::nombrePropio(QStringLiteral("CRED"));
    camino::lineasCorrectas(prog, 3);
    prog.paso3().FRM3_Tranferir();
    const QStringList m = prog.mensajesNuevos();
    QCOMPARE(m.size(), 1);
    QVERIFY2(m[0].contains(QStringLiteral("entidad INTERNOS")), qPrintable(m[0]));
    QVERIFY2(m[0].contains(QStringLiteral("Usuario o contraseña incorrectos")), qPrintable(m[0]));
    QVERIFY2(m[0].contains(QStringLiteral("FRAM3_Transfer_B_Pasaje Linea 40 ]")), qPrintable(m[0]));
    QVERIFY(!m[0].contains(p.clave));
    QVERIFY(!m[0].contains(m_pg->clave));
}

void TstServidorFallas::servidorDetenidoDuranteLaTransferencia() {
    camino::InternoDePrueba caso(*m_pg, QStringLiteral("PARADA"), kLineas);
    Programa& prog = caso.prog;
    const QString& interno = caso.interno;
    const QString& catalogo = caso.catalogo;
    const QString art = QStringLiteral("select * from ART where INTNRO = ") + vb::SqlTexto(interno) +
                        QStringLiteral(" order by ARTORD");
    const QList<QVariantMap> antes = prog.filasTrabajo(art);

    // The cluster stops after the caratula and the first subitems rows were written.
    ServidorDetenido servidor;
    prog.progreso.alAvanzar = [&](int valor) {
        if (valor == 40 && !servidor.detenido())
            QVERIFY(servidor.parar());
    };
    prog.paso3().FRM3_Tranferir();
    prog.progreso.alAvanzar = nullptr;
    QVERIFY(servidor.detenido());
    QStringList m = prog.mensajesNuevos();
    QCOMPARE(m.size(), 1);
    QVERIFY2(m[0].contains(QStringLiteral("Se perdió la conexión con el servidor de base de datos")),
             qPrintable(m[0]));
    QVERIFY2(m[0].contains(QStringLiteral(
                 " - seccion[VezezirAZEDO2_TARVIX.frmMain.FRAM3_Transfer_B_Pasaje Linea 800 ]::"
                 "base de datos de la entidad INTERNOS")),
             qPrintable(prueba::visible(m[0])));
    QVERIFY(m[0].endsWith(QStringLiteral("La base aduanera quedó como estaba: no se escribió ni se "
                                         "reemplazó nada del interno ") +
                          interno + u'.'));
    QVERIFY(!prog.progreso.mensajes.contains(QStringLiteral("Actualizando catalogo...")));
    QCOMPARE(prog.filasTrabajo(art), antes);

    // While it is down every use reports it; the working database is not touched.
    prog.paso3().FRM3_Tranferir();
    m = prog.mensajesNuevos();
    QCOMPARE(m.size(), 1);
    QVERIFY2(m[0].contains(QStringLiteral("servidor de base de datos")), qPrintable(m[0]));
    QCOMPARE(prog.filasTrabajo(art), antes);

    // Back up: nothing of the interno was left (no replacement question); the connection the restart
    // ended is opened again before the first statement and the transfer completes at once.
    QVERIFY(servidor.arrancar());
    prog.paso3().FRM3_Tranferir();
    m = prog.mensajesNuevos();
    QCOMPARE(m,
             QStringList{QStringLiteral("Se transfirio %1 articulos en el interno ").arg(kLineas) + interno});
    QCOMPARE(contar(prog, QStringLiteral("select count(*) as n from subitems where interno = ") +
                              vb::SqlTexto(interno)),
             kLineas);
    QCOMPARE(
        contar(prog, QStringLiteral("select count(distinct idarticulo) as n from subitems where interno = ") +
                         vb::SqlTexto(interno)),
        kLineas);
    QCOMPARE(contar(prog, QStringLiteral("select count(*) as n from caratula where interno = ") +
                              vb::SqlTexto(interno)),
             1);
    QCOMPARE(contar(prog, QStringLiteral("select count(*) as n from catarticulos where idcatalogo = ") +
                              vb::SqlTexto(catalogo)),
             kLineas);
    QCOMPARE(prog.filasAduana(QStringLiteral("select descripcion from subitems where interno = ") +
                              vb::SqlTexto(interno) + QStringLiteral(" and idarticulo = 'F-7'"))
                 .value(0)
                 .value(QStringLiteral("descripcion")),
             QVariant(QStringLiteral("ARTICULO D'ANGELO 7")));
    QCOMPARE(prog.filasTrabajo(art), antes);

    // A restart while the program is idle ends its open connection: it is opened again before the
    // first statement, and the next transfer goes through at its first attempt.
    QVERIFY(servidor.parar());
    QVERIFY(servidor.arrancar());
    prog.guion.respuestas.enqueue(Respuesta::Si);
    prog.paso3().FRM3_Tranferir();
    m = prog.mensajesNuevos();
    QVERIFY2(m.size() == 2, qPrintable(m.join(u'|')));
    QCOMPARE(
        m, (QStringList{QStringLiteral("El interno [ ") + interno +
                            QStringLiteral(" ] ya existe.\r\n\r\nDesea reemplazarlo?"),
                        QStringLiteral("Se transfirio %1 articulos en el interno ").arg(kLineas) + interno}));
}

// The catalog reads of a transfer go ahead of its writes: an article that comes back further down
// (in the same case or not) must still find the row its first line wrote.
void TstServidorFallas::articulosRepetidosEnLaTransferencia() {
    camino::InternoDePrueba caso(*m_pg, QStringLiteral("REPE"), 300);
    Programa& prog = caso.prog;
    const QString& interno = caso.interno;
    const QString& catalogo = caso.catalogo;
    const QString i = vb::SqlTexto(interno);
    prog.ejecutar(QStringLiteral("update ART set ARTNRO = 'F-' || (ARTORD % 7 + 1), ARTDSC = 'REPETIDO ' || "
                                 "ARTORD where INTNRO = %1 and ARTORD > 100 and ARTORD % 2 = 0")
                      .arg(i));
    prog.ejecutar(QStringLiteral("update ART set ARTNRO = 'f-3', ARTDSC = 'MINUSCULA' where INTNRO = %1 and "
                                 "ARTORD = 299")
                      .arg(i));
    prog.ejecutar(QStringLiteral("update ART set ARTNRO = ' F-5 ', ARTDSC = 'BLANCOS' where INTNRO = %1 and "
                                 "ARTORD = 297")
                      .arg(i));

    // What one statement after another leaves: the first line of an article adds it (quotes turned
    // into blanks), every later one updates it; the code is the same in any case.
    QMap<QString, QString> esperado;
    QHash<QString, QString> primera; // the code as its first line wrote it
    QMap<QString, int> veces;
    for (const QVariantMap& f : prog.filasTrabajo(
             QStringLiteral("select ARTNRO, ARTDSC from ART where INTNRO = %1 order by ARTORD").arg(i))) {
        const QString art = f.value(QStringLiteral("artnro")).toString();
        const QString dsc = f.value(QStringLiteral("artdsc")).toString();
        const QString codigo = primera.value(art.toCaseFolded(), art);
        primera.insert(art.toCaseFolded(), codigo);
        esperado[codigo] = veces[codigo]++ == 0 ? QString(dsc).replace(u'\'', u' ') : dsc;
    }
    QVERIFY(veces.value(QStringLiteral("F-3")) > 1);

    prog.paso3().FRM3_Tranferir();
    QCOMPARE(prog.mensajesNuevos(),
             QStringList{QStringLiteral("Se transfirio 300 articulos en el interno ") + interno});
    QMap<QString, QString> catalogoFinal;
    for (const QVariantMap& f : prog.filasAduana(
             QStringLiteral("select idarticulo, descripcion from catarticulos where idcatalogo = ") +
             vb::SqlTexto(catalogo)))
        catalogoFinal[f.value(QStringLiteral("idarticulo")).toString()] =
            f.value(QStringLiteral("descripcion")).toString();
    QCOMPARE(catalogoFinal, esperado);
    QCOMPARE(catalogoFinal.value(QStringLiteral("F-3")), QStringLiteral("MINUSCULA"));
}

// A catalog row the server refuses (a text longer than its column) in the second window of writes:
// the report names the line and the statement of that article, and the customs database is left as
// it was: no catalog row and no interno on a first transfer, the old interno and catalog on a
// replacement.
void TstServidorFallas::fallaDeUnaLineaDelCatalogo_data() {
    QTest::addColumn<bool>("reemplazo");
    QTest::newRow("primera transferencia") << false;
    QTest::newRow("reemplazo") << true;
}

void TstServidorFallas::fallaDeUnaLineaDelCatalogo() {
    QFETCH(bool, reemplazo);
    camino::InternoDePrueba caso(*m_pg, QStringLiteral("LARGA"), 300);
    Programa& prog = caso.prog;
    const QString i = vb::SqlTexto(caso.interno);
    const QString c = vb::SqlTexto(caso.catalogo);
    const auto estado = [&]() {
        return prog.filasAduana(QStringLiteral("select * from subitems where interno = ") + i +
                                QStringLiteral(" order by idarticulo")) +
               prog.filasAduana(QStringLiteral("select interno, fobdivisas from caratula where interno = ") +
                                i) +
               prog.filasAduana(QStringLiteral("select * from catarticulos where idcatalogo = ") + c +
                                QStringLiteral(" order by idarticulo"));
    };
    if (reemplazo) {
        prog.paso3().FRM3_Tranferir();
        QCOMPARE(prog.mensajesNuevos().size(), 1);
        prog.guion.respuestas.enqueue(Respuesta::Si);
    }
    const QList<QVariantMap> antes = estado();
    QCOMPARE(antes.size(), reemplazo ? 601 : 0);
    prog.ejecutar(QStringLiteral("update ART set ARTTOT = 9 where INTNRO = %1 and ARTORD = 280").arg(i));
    // The server refuses that one catalog row as a text too long for its column (the program checks
    // the lengths it knows before it transfers; this is one it could not know).
    const QString rechazo = camino::nombrePropio(QStringLiteral("largo_")).toLower();
    prog.ejecutarAduana(
        QStringLiteral("create function %1() returns trigger as $$ begin if new.idcatalogo = %2 and "
                       "new.idarticulo = 'F-280' then raise exception 'value too long for type character "
                       "varying(250)' using errcode = '22001'; end if; return new; end $$ language plpgsql")
            .arg(rechazo, c));
    const auto quitar = qScopeGuard(
        [&] { prog.ejecutarAduana(QStringLiteral("drop function if exists %1() cascade").arg(rechazo)); });
    prog.ejecutarAduana(
        QStringLiteral("create trigger %1 before insert or update on catarticulos for each row "
                       "execute function %1()")
            .arg(rechazo));

    prog.paso3().FRM3_Tranferir();
    const QStringList m = prog.mensajesNuevos();
    QCOMPARE(m.size(), reemplazo ? 2 : 1);
    const QString informe = m.last();
    QVERIFY2(informe.contains(reemplazo ? QStringLiteral(".frmMain_FRAM3_Transfer_C_ActualCAT (330)] \r\n\r\n"
                                                         "update CATARTICULOS")
                                        : QStringLiteral(".frmMain_FRAM3_Transfer_C_ActualCAT (560)] \r\n\r\n"
                                                         "insert into CATARTICULOS")),
             qPrintable(prueba::visible(informe)));
    QVERIFY2(informe.contains(QStringLiteral("'F-280'")), qPrintable(informe));
    QVERIFY2(informe.startsWith(QStringLiteral("Un texto es más largo de lo que admite su columna en la base "
                                               "de datos (")),
             qPrintable(informe));
    QVERIFY2(informe.endsWith(QStringLiteral("\r\n\r\nLa base aduanera quedó como estaba: no se escribió ni "
                                             "se reemplazó nada del interno ") +
                              caso.interno + u'.'),
             qPrintable(prueba::visible(informe)));
    QCOMPARE(estado(), antes);
}

QTEST_GUILESS_MAIN(TstServidorFallas)
#include "tst_servidor_fallas.moc"
