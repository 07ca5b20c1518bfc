// Database faults while the program runs: the working database deleted or read-only, a full disk, a
// customs-system table missing. Each ends in the report of the procedure that met it, the program
// goes on, and nothing stored before is lost.

#include "app/controladorprincipal.h"
#include "components/clbase.h"
#include "components/vb.h"
#include "pipeline/proceso.h"
#include "programarobustez.h"
#include "review/modificar_logica.h"
#include "settings/logicarelpais.h"
#include "testsupport.h"
#include "transfer/paso3.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace tarvix;
using namespace robustez;

namespace {

const QString kSeccionCorrida =
    QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmMain.FRAM2_GuardarDatosToBase (");

// An invoice of `lineas` lines of catalog 1 from China; `largo` characters of description each.
Grilla factura(int lineas, int largo = 10) {
    Grilla g({QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ DESCRIPC ]"), QStringLiteral("[ CANTIDAD ]"),
              QStringLiteral("[ TOTAL ]"), QStringLiteral("[ ORIGEN ]")});
    for (int i = 0; i < lineas; ++i)
        g.agregar({i % 2 ? QStringLiteral("JL24") : QStringLiteral("TX650"),
                   QStringLiteral("Línea %1 ").arg(i + 1).leftJustified(largo, u'x'), QStringLiteral("2"),
                   QStringLiteral("10"), QStringLiteral("CHINA")});
    return g;
}

// The program with the relation of China, interno "OTRO" (one line) and interno "24001" chosen with
// the two lines of a first run.
struct Preparado : Programa {
    Preparado() {
        ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
        ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('OTRO','otro')"));
        ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO) values ('OTRO', 1, 'X1')"));
        elegirInterno(QStringLiteral("24001"));
        if (!FRAM2_GuardarDatosToBase(srv, estado, factura(2)))
            qFatal("la primera corrida falló");
    }
    // Every line of the working database, to tell that nothing stored was lost.
    QStringList lineas() {
        QStringList r;
        for (Recordset rs = consultar(QStringLiteral("select * from ART order by INTNRO, ARTORD")); !rs.Fin();
             rs.MoveNext()) {
            QStringList fila;
            for (int i = 0; i < rs.Columnas().size(); ++i)
                fila << rs.Fields(i).toString();
            r << fila.join(u'|');
        }
        return r;
    }
    // Marks every line of the interno correct, as the editor leaves it.
    void corregirTodo() { ejecutar(QStringLiteral("update ART set PRCEST = 'M', PRCCRC = 'OK'")); }
    qint64 paginas(Velno::clBase& base) {
        return valor(base, QStringLiteral("PRAGMA page_count")).toLongLong();
    }
    void limitarPaginas(Velno::clBase& base, qint64 n) {
        ejecutar(base, QStringLiteral("PRAGMA max_page_count = %1").arg(n));
    }
};

// The one message shown since the last look, checked to start with `inicio` and to name `seccion`.
#define VERIFICAR_INFORME(p, inicio, seccion)                                                                \
    do {                                                                                                     \
        const QStringList m_ = (p).mensajes();                                                               \
        QCOMPARE(m_.size(), 1);                                                                              \
        QVERIFY2(m_[0].startsWith(inicio) && m_[0].contains(seccion), qPrintable(prueba::visible(m_[0])));   \
        (p).guion.limpiar();                                                                                 \
    } while (false)

} // namespace

class TstFallas : public QObject {
    Q_OBJECT
private slots:
    void baseDeTrabajoBorrada();
    void baseDeTrabajoSoloLectura();
    void discoLlenoEnLaCorrida();
    void discoLlenoEnLaTransferencia();
    void tablaFaltanteEnAduana_data();
    void tablaFaltanteEnAduana();
};

// The working database file deleted with the program open: every statement on it is refused with a
// report that says so (writing on would go into a file that no longer exists), the customs database
// keeps what it had, and the program goes on.
void TstFallas::baseDeTrabajoBorrada() {
    Preparado p;
    const auto aduana = Programa::recuento(p.aduana(), QString());
    QVERIFY(QFile::remove(p.rutaTrabajo()));
    const QString borrada = QStringLiteral("El archivo de la base de trabajo ya no está en ") +
                            p.rutaTrabajo() +
                            QStringLiteral(": fue borrado o movido con el programa abierto.");

    QVERIFY(!FRAM2_GuardarDatosToBase(p.srv, p.estado, factura(2)));
    VERIFICAR_INFORME(p, borrada, kSeccionCorrida + QStringLiteral("50)]::Velno.clBase"));
    QString descripcion;
    QVERIFY(!NuevoInterno(p.srv, p.estado, QStringLiteral("25001"), descripcion));
    VERIFICAR_INFORME(p, borrada, QStringLiteral("[VezezirAZEDO2_TARVIX.frmInterno.NuevoInterno]"));
    p.c->FRAM1_CargarInternos();
    VERIFICAR_INFORME(p, borrada, QStringLiteral("[VezezirAZEDO2_TARVIX.frmMain.FRAM1_CargarInternos]"));
    ControladorPaso3 paso3(p.srv, p.estado);
    paso3.FRM3_Tranferir();
    VERIFICAR_INFORME(p, borrada, QStringLiteral("[VezezirAZEDO2_TARVIX.frmMain_FRAM3_Transfer_A_Validar]"));

    QVERIFY(!QFile::exists(p.rutaTrabajo())); // nothing wrote a new, empty file in its place
    QCOMPARE(Programa::recuento(p.aduana(), QString()), aduana);
}

// The working database opened read-only: each write is refused with a report that says so, and what
// was stored stays as it was.
void TstFallas::baseDeTrabajoSoloLectura() {
    Preparado p;
    const QStringList antes = p.lineas();
    const auto recuento = p.recuento();
    p.trabajo().setCadenaConexion(QStringLiteral("Driver=QSQLITE;Data Source=") + p.rutaTrabajo() +
                                  QStringLiteral(";Options=QSQLITE_OPEN_READONLY"));
    p.trabajo().Conectar();
    const QString soloLectura =
        QStringLiteral("La base de datos es de solo lectura: no se pueden guardar cambios");

    QVERIFY(!FRAM2_GuardarDatosToBase(p.srv, p.estado, factura(3)));
    VERIFICAR_INFORME(p, soloLectura, kSeccionCorrida + QStringLiteral("50)]"));
    QString descripcion;
    QVERIFY(!NuevoInterno(p.srv, p.estado, QStringLiteral("25001"), descripcion));
    VERIFICAR_INFORME(p, soloLectura, QStringLiteral("[VezezirAZEDO2_TARVIX.frmInterno.NuevoInterno]"));

    p.estado.g_sRetorno = QStringLiteral("MADE IN ITALY");
    LogicaRelPais pais(p.srv, p.estado);
    pais.Form_Load();
    QVERIFY(!pais.f_Grabar());
    VERIFICAR_INFORME(p, soloLectura, QStringLiteral("[VezezirAZEDO2_TARVIX.frmRelPais.f_Grabar]"));

    LogicaModificar editor(p.srv, p.estado);
    editor.abrir(1);
    editor.Form_Activate();
    editor.txtPRCDUN.Text = QStringLiteral("01");
    QVERIFY(!editor.GrabarDatos());
    VERIFICAR_INFORME(p, soloLectura, QStringLiteral("[VezezirAZEDO2_TARVIX.frmModificar_GrabarDatos]"));

    QCOMPARE(p.lineas(), antes);
    QCOMPARE(p.recuento(), recuento);
    // Writable again: the program goes on where it was.
    p.trabajo().setCadenaConexion(QStringLiteral("Driver=QSQLITE;Data Source=") + p.rutaTrabajo());
    p.trabajo().Conectar();
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado, factura(3)));
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ART where INTNRO = '24001'")), QStringLiteral("3"));
}

// A full disk stops the run at the line that no longer fits: the report names it; the run is written
// whole or not at all, so the interno keeps the lines of its last complete run and every other
// interno stays; once there is room again the run goes through.
void TstFallas::discoLlenoEnLaCorrida() {
    Preparado p;
    const QStringList antes = p.lineas();
    QVERIFY(antes.constLast().startsWith(QStringLiteral("OTRO|")));
    p.limitarPaginas(p.trabajo(), p.paginas(p.trabajo()) + 4);

    QVERIFY(!FRAM2_GuardarDatosToBase(p.srv, p.estado, factura(200, 3000)));
    const QString informe = p.mensajes().value(0);
    VERIFICAR_INFORME(p, QStringLiteral("No queda espacio en el disco para la base de datos"),
                      kSeccionCorrida + QStringLiteral("150)]"));
    const auto fila = QRegularExpression(QStringLiteral("linea excel (\\d+) articulo excel")).match(informe);
    QVERIFY2(fila.hasMatch(), qPrintable(prueba::visible(informe)));
    const int enLaFalla = fila.captured(1).toInt() - 2;
    QVERIFY(enLaFalla > 0 && enLaFalla < 200);
    QCOMPARE(p.lineas(), antes);
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ORG")), QStringLiteral("1"));

    p.limitarPaginas(p.trabajo(), 1073741823);
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado, factura(200, 3000)));
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ART where INTNRO = '24001'")),
             QStringLiteral("200"));
}

// A full customs database stops the transfer with its report; the customs database is left exactly as
// it was, the working database is not touched, and the transfer goes through once there is room.
void TstFallas::discoLlenoEnLaTransferencia() {
    Preparado p;
    // Descriptions as long as the customs column holds, so that the few pages left fill soon.
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado, factura(720, 250)));
    p.corregirTodo();
    const QStringList lineas = p.lineas();
    const auto aduana = Programa::recuento(p.aduana(), QString());
    p.limitarPaginas(p.aduana(), p.paginas(p.aduana()) + 2);

    ControladorPaso3 paso3(p.srv, p.estado);
    paso3.FRM3_Tranferir();
    VERIFICAR_INFORME(
        p, QStringLiteral("No queda espacio en el disco para la base de datos"),
        QStringLiteral(" - seccion[VezezirAZEDO2_TARVIX.frmMain.FRAM3_Transfer_B_Pasaje Linea 800 ]"));
    // The transfer is written whole or not at all: no half interno is left in the customs system.
    QCOMPARE(Programa::recuento(p.aduana(), QString()), aduana);
    QCOMPARE(p.lineas(), lineas);

    p.limitarPaginas(p.aduana(), 1073741823);
    paso3.FRM3_Tranferir(); // nothing to replace: no question, straight to the count
    QCOMPARE(p.mensajes(), QStringList{QStringLiteral("Se transfirio 720 articulos en el interno 24001")});
}

void TstFallas::tablaFaltanteEnAduana_data() {
    QTest::addColumn<QString>("tabla");
    QTest::addColumn<QString>("seccionCorrida"); // the statement of the run that meets it
    QTest::newRow("sufidos") << QStringLiteral("sufidos")
                             << QStringLiteral("420)]::base de datos de la entidad NCM");
    QTest::newRow("catarticulos") << QStringLiteral("catarticulos")
                                  << QStringLiteral("220)]::base de datos de la entidad INTERNOS");
}

// A customs table missing: the run, the editor's checks and the transfer each end in their report
// when they need it; the program goes on.
void TstFallas::tablaFaltanteEnAduana() {
    QFETCH(QString, tabla);
    QFETCH(QString, seccionCorrida);
    Preparado p;
    Programa::ejecutar(p.aduana(), QStringLiteral("drop table ") + tabla);
    const QString falta = QStringLiteral("No existe la tabla (no such table: ") + tabla;

    QVERIFY(!FRAM2_GuardarDatosToBase(p.srv, p.estado, factura(2)));
    VERIFICAR_INFORME(p, falta, kSeccionCorrida + seccionCorrida);

    p.estado.g_sAA_MARCA = QStringLiteral("ACME"); // the brand the suffix dialogue proposes
    LogicaModificar editor(p.srv, p.estado);
    editor.abrir(2);
    editor.Form_Activate();
    editor.ProcesarNCM(QStringLiteral("8204.11.00.000K"));
    if (tabla == u"sufidos")
        VERIFICAR_INFORME(p, QStringLiteral("-2147467259 - ") + falta,
                          QStringLiteral("Seccion [VezezirAZEDO2_TARVIX.frmModificar.VarificarSufijos]::3"));
    else
        QVERIFY(p.mensajes().isEmpty()); // the catalog is not needed there

    p.corregirTodo();
    ControladorPaso3 paso3(p.srv, p.estado);
    paso3.FRM3_Tranferir();
    if (tabla == u"catarticulos") {
        VERIFICAR_INFORME(
            p, falta,
            QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmMain_FRAM3_Transfer_C_ActualCAT (100)]"));
        // The interno and the catalog are one transaction: the interno is undone with it.
        QCOMPARE(Programa::valor(p.aduana(), QStringLiteral("select count(*) from subitems")),
                 QStringLiteral("0"));
    } else {
        QCOMPARE(p.mensajes(), QStringList{QStringLiteral("Se transfirio 2 articulos en el interno 24001")});
        p.guion.limpiar();
    }

    // The program goes on: step 1 and a new interno work as before.
    QString descripcion;
    QVERIFY(NuevoInterno(p.srv, p.estado, QStringLiteral("25001"), descripcion));
    p.c->FRAM1_CargarInternos();
    QCOMPARE(p.c->internos.size(), size_t(3));
    QVERIFY(p.mensajes().isEmpty());
}

QTEST_GUILESS_MAIN(TstFallas)
#include "tst_fallas.moc"
