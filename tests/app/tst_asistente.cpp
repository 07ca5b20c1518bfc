#include "app/controladorprincipal.h"
#include "components/central.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/formatos.h"
#include "components/interaccionguionada.h"
#include "components/vberror.h"
#include "data/rutas.h"
#include "data/versiones.h"
#include "programa.h"
#include "testsupport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;
using Aviso = InteraccionGuionada::Aviso;

namespace {

// Steps 2 and 3 as each test scripts them; a step left unscripted passes.
struct PasosGuionados : PasoCarga, PasoResultados {
    std::function<bool()> verificarDatos, guardarDatosToBase;
    std::function<void()> cargarEstadisticas, transferir;
    bool FRAM2_VerificarDatos() override { return !verificarDatos || verificarDatos(); }
    bool FRAM2_GuardarDatosToBase() override { return !guardarDatosToBase || guardarDatosToBase(); }
    void FRAM3_CargarEstadisticas() override {
        if (cargarEstadisticas)
            cargarEstadisticas();
    }
    void FRM3_Tranferir() override {
        if (transferir)
            transferir();
    }
};

// One run of the program on a data folder.
struct Programa : prueba::Programa {
    PasosGuionados pasos;

    // The steps are asked for only on "Siguiente >", so they may come after the start.
    explicit Programa(const QString& carpeta)
        : prueba::Programa(Opciones().enCarpeta(carpeta).sinPasos().sinAislar()) {
        c->setPasos(&pasos, &pasos);
    }
    QStringList nros() const {
        QStringList r;
        for (const auto& i : c->internos)
            r << i.nro;
        return r;
    }
};

QStringList columnas(const QString& ruta, const QString& tabla) {
    QStringList r;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("ver"));
        db.setDatabaseName(ruta);
        db.open();
        const QSqlRecord rec = db.record(tabla);
        for (int i = 0; i < rec.count(); ++i)
            r << rec.fieldName(i);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("ver"));
    return r;
}

} // namespace

class TstAsistente : public QObject {
    Q_OBJECT
private slots:
    void init();
    void primerArranqueYSegundo();
    void configuracionInicial();
    void baseDeTrabajoDanada();
    void aduanaNoDisponible();
    void pasoUnoSinInternos();
    void internoConRegistros();
    void internoSinRegistrosYPasos();
    void fallaDeEstadisticas();
    void crearInterno();
    void eliminarInterno();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString carpeta() const { return m_dir->path(); }
};

void TstAsistente::init() {
    prueba::aislarConfiguracion();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TstAsistente::primerArranqueYSegundo() {
    const QString ruta = rutas::baseTrabajo(carpeta());
    QVERIFY(!QFile::exists(ruta));
    {
        Programa p(carpeta());
        QVERIFY2(p.guion.avisos.isEmpty(), qPrintable(p.guion.avisos.value(0).texto));
        QCOMPARE(p.estado.g_iPaso, 1);
        QCOMPARE(p.c->lbVersion, QStringLiteral("Versión: 1.1.20 - Generado 09/08/2018"));
        QVERIFY(QFile::exists(ruta));
        QVERIFY(QFile::exists(rutas::iniEntidades(carpeta())));
        QVERIFY(QFile::exists(rutas::baseAduana(carpeta())));
        p.ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('100','cien')"));
        p.ejecutar(
            QStringLiteral("insert into ART (INTNRO, ARTORD, OTROS, CODIGOCIP) values ('100',1,'o','c')"));
        // The delivered countries are there.
        Recordset rs;
        p.srv.g_oBase->setSql(QStringLiteral("select count(*) as n from PAIS"));
        QVERIFY(p.srv.g_oBase->CrearRs(rs));
        QVERIFY(p.srv.g_oFormatos->EsNumero(rs.Fields(QStringLiteral("n"))) > 200);
        // The customs entities answer.
        Velno::clBase& ncm = p.srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("NCM"));
        ncm.setSql(QStringLiteral("select count(*) as n from ncm"));
        QVERIFY(ncm.CrearRs(rs));
        QVERIFY(p.srv.g_oFormatos->EsNumero(rs.Fields(QStringLiteral("n"))) >= 200);
    }
    const QStringList cols = columnas(ruta, QStringLiteral("ART"));
    QVERIFY(cols.contains(QStringLiteral("OTROS")));
    QVERIFY(cols.contains(QStringLiteral("CODIGOCIP")));
    {
        // Second start: the upgrade fails silently, the rows are kept.
        Programa p(carpeta());
        QVERIFY(p.guion.avisos.isEmpty());
        QCOMPARE(p.estado.g_iPaso, 1);
        QCOMPARE(p.nros(), QStringList{QStringLiteral("100")});
        QCOMPARE(p.c->internos[0].dsc, QStringLiteral("cien"));
        Recordset rs;
        p.srv.g_oBase->setSql(QStringLiteral("select OTROS from ART where INTNRO = '100'"));
        QVERIFY(p.srv.g_oBase->CrearRs(rs));
        QCOMPARE(rs.Fields(QStringLiteral("OTROS")).toString(), QStringLiteral("o"));
    }
    QCOMPARE(columnas(ruta, QStringLiteral("ART")).count(QStringLiteral("OTROS")), 1);
}

void TstAsistente::configuracionInicial() {
    {
        Programa p(carpeta());
        QCOMPARE(p.estado.g_sINTDUN, QString());
        QCOMPARE(p.estado.g_sINTCAT, QString());
        QCOMPARE(p.estado.g_sAA_MARCA, QString());
    }
    configuracion::guardar(QStringLiteral("INTCAT"), QStringLiteral("2"));
    configuracion::guardar(QStringLiteral("AA_MARCA"), QStringLiteral("ACME"));
    Programa p(carpeta());
    QCOMPARE(p.estado.g_sINTCAT, QStringLiteral("2"));
    QCOMPARE(p.estado.g_sAA_MARCA, QStringLiteral("ACME"));
}

void TstAsistente::baseDeTrabajoDanada() {
    QDir().mkpath(carpeta() + QStringLiteral("/db"));
    QFile f(rutas::baseTrabajo(carpeta()));
    QVERIFY(f.open(QIODevice::WriteOnly));
    const QByteArray basura(8192, '\x5a');
    f.write(basura);
    f.close();

    Programa p(carpeta());
    QCOMPARE(p.estado.g_iPaso, 0);
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QVERIFY2(
        m[0].texto.contains(QStringLiteral(" - seccion[VezezirAZEDO2_TARVIX.frmMain.Form_Load Linea 60 ]::")),
        qPrintable(m[0].texto));
    QVERIFY(m[0].texto.contains(QStringLiteral("no es una base de datos válida")));
    // "Siguiente >" does nothing at step 0, and the file is as it was.
    p.c->MAIN_CambiarPaso();
    QCOMPARE(p.estado.g_iPaso, 0);
    QCOMPARE(p.guion.mensajes().size(), 1);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), basura);
}

void TstAsistente::aduanaNoDisponible() {
    // An INI that names a missing driver and a missing file: the program starts all the same.
    QDir().mkpath(carpeta());
    QFile ini(rutas::iniEntidades(carpeta()));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[NCM]\ndriver=QNOEXISTE\n[INTERNOS]\ndriver=QSQLITE\ndatabase=db/no-esta.db\n");
    ini.close();
    Programa p(carpeta());
    QCOMPARE(p.estado.g_iPaso, 1);
    QVERIFY(p.guion.avisos.isEmpty());
    Velno::clBase& b = p.srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS"));
    b.setSql(QStringLiteral("select 1"));
    Recordset rs;
    QVERIFY_THROWS_EXCEPTION(VbError, b.CrearRs(rs));
    QVERIFY(!QFile::exists(carpeta() + QStringLiteral("/db/no-esta.db")));
}

void TstAsistente::pasoUnoSinInternos() {
    Programa p(carpeta());
    QVERIFY(p.c->internos.empty());
    p.c->FRAM1_Enter(); // Enter on the empty list does nothing
    QVERIFY(p.guion.avisos.isEmpty());
    p.c->MAIN_CambiarPaso();
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(
        m[0].texto,
        QStringLiteral("Debe seleccionar un interno para continuar, presione [ INSERT ] para crear uno."));
    QCOMPARE(m[0].icono, Icono::Exclamacion);
    QCOMPARE(m[0].botones, Botones::Aceptar);
    QCOMPARE(p.estado.g_iPaso, 1);
    QCOMPARE(p.c->marcoAlFrente, 1);
    p.c->FRAM1_EliminarInterno(); // Delete on the empty list does nothing
    QCOMPARE(p.guion.avisos.size(), 1);
}

void TstAsistente::internoConRegistros() {
    Programa p(carpeta());
    p.ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('A','a'),('B','b')"));
    p.ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD) values ('B',1),('B',2)"));
    p.c->FRAM1_CargarInternos();
    p.c->seleccionarInterno(1);
    bool verifico = false, estadisticas = false;
    p.pasos.verificarDatos = [&] { return verifico = true; };
    p.pasos.cargarEstadisticas = [&] { estadisticas = true; };
    p.c->FRAM1_Enter();
    QCOMPARE(p.estado.g_iPaso, 2);
    QCOMPARE(p.estado.g_sInterno, QStringLiteral("B"));
    QCOMPARE(p.c->marcoAlFrente, 2);
    QVERIFY(!p.c->fram1Habilitado);
    QCOMPARE(p.c->lbPasoNro, QStringLiteral("Paso 2"));
    QCOMPARE(p.c->lbPasoDesc, QStringLiteral("Abrir archivo excel para procesar"));
    QVERIFY(p.c->cmdSiguienteEnabled);
    QCOMPARE(p.c->cmdSiguienteTag, QStringLiteral("OK"));
    QCOMPARE(p.c->Main_lbMensaje,
             QStringLiteral("Este interno contiene registros haga click en SIGUIENTE, para depurar."));

    p.c->MAIN_CambiarPaso();
    QVERIFY(!verifico); // Tag "OK": no verification, no processing
    QVERIFY(estadisticas);
    QCOMPARE(p.estado.g_iPaso, 3);
    QCOMPARE(p.c->marcoAlFrente, 3);
    QVERIFY(!p.c->fram2Habilitado);
    QCOMPARE(p.c->Main_lbMensaje, QString());
    QCOMPARE(p.c->lbPasoNro, QStringLiteral("Paso 3"));
    QCOMPARE(p.c->lbPasoDesc, QStringLiteral("Depuración de Datos procesadoss"));
    QCOMPARE(p.c->cmdSiguienteCaption, QStringLiteral("Transferir"));
    QVERIFY(p.c->cmdSiguienteNegrita);

    int transferencias = 0;
    p.pasos.transferir = [&] { ++transferencias; };
    p.c->MAIN_CambiarPaso();
    p.c->MAIN_CambiarPaso();
    QCOMPARE(transferencias, 2);
    QCOMPARE(p.estado.g_iPaso, 3);
}

void TstAsistente::internoSinRegistrosYPasos() {
    Programa p(carpeta());
    p.ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('A','a')"));
    p.c->FRAM1_CargarInternos();
    p.c->MAIN_CambiarPaso();
    QCOMPARE(p.estado.g_iPaso, 2);
    QVERIFY(!p.c->cmdSiguienteEnabled);
    QCOMPARE(p.c->cmdSiguienteTag, QString());
    QCOMPARE(p.c->Main_lbMensaje, QString());

    // A loaded spreadsheet enables the button with an empty Tag; a failed verification stays in 2.
    p.c->habilitarSiguiente(true, QString());
    int verificaciones = 0, procesos = 0;
    bool resultadoVerificacion = false;
    p.pasos.verificarDatos = [&] {
        ++verificaciones;
        return resultadoVerificacion;
    };
    p.pasos.guardarDatosToBase = [&] {
        ++procesos;
        return false;
    };
    p.c->MAIN_CambiarPaso();
    QCOMPARE(verificaciones, 1);
    QCOMPARE(procesos, 0);
    QCOMPARE(p.estado.g_iPaso, 2);
    QCOMPARE(p.c->marcoAlFrente, 2);
    // Verification passes, processing fails: still step 2.
    resultadoVerificacion = true;
    p.c->MAIN_CambiarPaso();
    QCOMPARE(procesos, 1);
    QCOMPARE(p.estado.g_iPaso, 2);
    QVERIFY(p.c->fram2Habilitado);
    // Processing succeeds: step 3.
    p.pasos.guardarDatosToBase = [] { return true; };
    p.c->MAIN_CambiarPaso();
    QCOMPARE(p.estado.g_iPaso, 3);
}

void TstAsistente::fallaDeEstadisticas() {
    Programa p(carpeta());
    p.ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('A','a')"));
    p.ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD) values ('A',1)"));
    p.c->FRAM1_CargarInternos();
    p.c->MAIN_CambiarPaso();
    p.pasos.cargarEstadisticas = [] {
        throw VbError(3265, QStringLiteral("ADODB"), QStringLiteral("Falla"));
    };
    p.c->MAIN_CambiarPaso();
    // FRAM3 in front, FRAM2 disabled, the step still 2, the numbered report of the wizard.
    QCOMPARE(p.c->marcoAlFrente, 3);
    QVERIFY(!p.c->fram2Habilitado);
    QCOMPARE(p.estado.g_iPaso, 2);
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(prueba::visible(m[0].texto),
             QStringLiteral("Falla\\r\\n\\r\\n3265 - seccion[VezezirAZEDO2_TARVIX.frmMain.MAIN_CambiarPaso "
                            "Linea 60 ]::ADODB"));
    QCOMPARE(m[0].icono, Icono::Ninguno);
}

void TstAsistente::crearInterno() {
    Programa p(carpeta());
    // Blanks only: refused.
    QString dsc = QStringLiteral("x");
    QVERIFY(!NuevoInterno(p.srv, p.estado, QStringLiteral("   "), dsc));
    QCOMPARE(p.guion.mensajes().last().texto, QStringLiteral("Debe ingresar el número interno"));
    QCOMPARE(p.guion.mensajes().last().icono, Icono::Exclamacion);
    QVERIFY(!p.estado.g_bInternoCreado);

    // Blanks around are kept, an empty description copies the number, quotes become blanks.
    dsc = QStringLiteral("  ");
    QVERIFY(NuevoInterno(p.srv, p.estado, QStringLiteral(" 24001 "), dsc));
    QVERIFY(p.estado.g_bInternoCreado);
    QCOMPARE(dsc, QStringLiteral(" 24001 "));
    p.estado.g_bInternoCreado = false;
    dsc = QStringLiteral("D'ANGELO 'SA'");
    QVERIFY(NuevoInterno(p.srv, p.estado, QStringLiteral("O'1"), dsc));
    p.c->FRAM1_DespuesDeNuevoInterno();
    QCOMPARE(p.nros(), (QStringList{QStringLiteral(" 24001 "), QStringLiteral("O 1")}));
    QCOMPARE(p.c->internos[1].dsc, QStringLiteral("D ANGELO  SA "));
    QCOMPARE(p.c->internoSeleccionado, 1); // the new interno, not the first of the list

    // A duplicate: the short report of frmInterno, the window stays open, nothing changes.
    p.estado.g_bInternoCreado = false;
    dsc = QStringLiteral("otra");
    QVERIFY(!NuevoInterno(p.srv, p.estado, QStringLiteral(" 24001 "), dsc));
    const auto ultimo = p.guion.mensajes().last();
    QVERIFY2(
        ultimo.texto.endsWith(QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmInterno.NuevoInterno]")),
        qPrintable(ultimo.texto));
    QVERIFY(ultimo.texto.startsWith(QStringLiteral("Ya existe un registro con la misma clave")));
    QCOMPARE(ultimo.icono, Icono::Critico);
    QVERIFY(!p.estado.g_bInternoCreado);
    p.c->FRAM1_DespuesDeNuevoInterno();
    QCOMPARE(p.c->internos.size(), size_t(2));
}

void TstAsistente::eliminarInterno() {
    Programa p(carpeta());
    p.ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('A','a'),('B','b'),('C','c')"));
    p.ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD) values ('B',1),('B',2),('C',1)"));
    for (const QString& interno : {QStringLiteral("B"), QStringLiteral("C")})
        versiones::guardar(*p.srv.g_oBase, interno, versiones::Motivo::Proceso);
    p.c->FRAM1_CargarInternos();
    p.c->seleccionarInterno(1);

    p.guion.respuestas.enqueue(Respuesta::No);
    p.c->FRAM1_EliminarInterno();
    auto m = p.guion.mensajes();
    QCOMPARE(m.last().texto, QStringLiteral("Desea eliminar el Interno B?"));
    QCOMPARE(m.last().icono, Icono::Pregunta);
    QCOMPARE(m.last().botones, Botones::SiNo);
    QCOMPARE(p.c->internos.size(), size_t(3));

    p.guion.respuestas.enqueue(Respuesta::Si);
    p.c->FRAM1_EliminarInterno();
    QCOMPARE(p.nros(), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
    Recordset rs;
    p.srv.g_oBase->setSql(QStringLiteral("select INTNRO from ART order by INTNRO"));
    QVERIFY(p.srv.g_oBase->CrearRs(rs));
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields(QStringLiteral("INTNRO")).toString(), QStringLiteral("C"));
    // Its versions go with it: a new interno B has nothing to undo.
    p.srv.g_oBase->setSql(QStringLiteral("select INTNRO from ARTVER"));
    QVERIFY(p.srv.g_oBase->CrearRs(rs));
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields(QStringLiteral("INTNRO")).toString(), QStringLiteral("C"));
}

QTEST_GUILESS_MAIN(TstAsistente)
#include "tst_asistente.moc"
