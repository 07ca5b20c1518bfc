// Quote and SQL payloads through every text that reaches a statement: each statement runs, nothing
// else runs (every table keeps its rows, save those the action adds), and the value is stored as the
// action stores it: as it came, or cleaned of quotes, or cut.

#include "app/controladorprincipal.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "pipeline/modglobal.h"
#include "pipeline/proceso.h"
#include "programarobustez.h"
#include "review/modificar_logica.h"
#include "review/posicion_logica.h"
#include "settings/logicaconfig.h"
#include "settings/logicarelpais.h"
#include "testsupport.h"
#include "transfer/paso3.h"

#include <QTest>

using namespace tarvix;
using namespace robustez;
using vb::SqlTexto;

namespace {

const QString kArticulo = QStringLiteral("[ ARTICULO ]");
const QString kDescripc = QStringLiteral("[ DESCRIPC ]");
const QString kCantidad = QStringLiteral("[ CANTIDAD ]");
const QString kTotal = QStringLiteral("[ TOTAL ]");
const QString kOrigen = QStringLiteral("[ ORIGEN ]");

// One data row per payload, with the columns the test adds.
template <typename F> void porCarga(F&& columnas) {
    QTest::addColumn<QString>("carga");
    for (const Carga& c : cargas())
        columnas(QTest::newRow(c.nombre) << c.texto, c);
}

// A line the editor accepts as it is: position 8301.10.00.000P (units "07", suffix group AA only).
void lineaCorrecta(Programa& p, int artord) {
    p.ejecutar(
        QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, MARCA, "
                       "PRCNCM, PRCSUF, PRCDUN, PRCCAN, PRCEUN, PRCECA, PRCESM, PRCORI, PRCEST, PRCCRC) "
                       "values (") +
        SqlTexto(p.estado.g_sInterno) +
        QStringLiteral(", %1, 'CAND40', 'Candado', 10, 2.5, 25, 'ACME', "
                       "'8301.10.00.000P', 'AA(ACME)-', '07', 10, '07', 10, "
                       "'2', '310', 'E', 'SUF')")
            .arg(artord));
}

// Every column of a line, to tell that a refused save changed nothing.
QString fila(Programa& p, int artord) {
    const Recordset rs = p.consultar(QStringLiteral("select * from ART where ARTORD = %1").arg(artord));
    QStringList r;
    for (int i = 0; i < rs.Columnas().size(); ++i)
        r << rs.Fields(i).toString();
    return r.join(u'|');
}

} // namespace

class TstInyeccion : public QObject {
    Q_OBJECT
private slots:
    void corrida_data();
    void corrida();
    void celdasQueNoSonNumerosNiUnidades_data() {
        porCarga([](QTestData&, const Carga&) {});
    }
    void celdasQueNoSonNumerosNiUnidades();
    void internoNuevoYEliminado_data() {
        porCarga([](QTestData&, const Carga&) {});
    }
    void internoNuevoYEliminado();
    void relacionDePais_data() {
        porCarga([](QTestData&, const Carga&) {});
    }
    void relacionDePais();
    void configuracion_data() {
        porCarga([](QTestData&, const Carga&) {});
    }
    void configuracion();
    void editor_data();
    void editor();
    void respuestasDeSufijos_data();
    void respuestasDeSufijos();
    void transferencia_data() {
        porCarga([](QTestData&, const Carga&) {});
    }
    void transferencia();
    void catalogoYUnidadElegidos_data() {
        porCarga([](QTestData&, const Carga&) {});
    }
    void catalogoYUnidadElegidos();
    void sentenciaConNulo();
};

void TstInyeccion::corrida_data() {
    // The line of a catalog article takes the brand into its suffix text: a brand holding "-" or ")"
    // breaks the items, which stage 4 marks as a suffix error.
    QTest::addColumn<QString>("carga");
    QTest::addColumn<QString>("resultado");
    for (const Carga& c : cargas()) {
        const QString marca = limpio(c.texto).toUpper().left(20);
        const bool rompe = marca.contains(u'-') || marca.contains(u')') || marca.contains(u'(');
        QTest::newRow(c.nombre) << c.texto << (rompe ? QStringLiteral("SUF") : QStringLiteral("OK"));
    }
}

// Every mapped field of two invoice lines holds the payload (a new article and a catalog one).
void TstInyeccion::corrida() {
    QFETCH(QString, carga);
    QFETCH(QString, resultado);
    Programa p;
    p.elegirInterno(QStringLiteral("24001"));
    auto esperado = p.recuento();

    Grilla grilla({kArticulo, kDescripc, QStringLiteral("[ UNIDAD ]"), kCantidad, kTotal, kOrigen,
                   QStringLiteral("[ PROCEDENCIA ]"), QStringLiteral("[ KILOS ]"),
                   QStringLiteral("[ FECHA_EMBARQUE ]"), QStringLiteral("[ FECHA_ARRIBO ]"),
                   QStringLiteral("[ MARCA ]"), QStringLiteral("[ OTROS ]"), QStringLiteral("[ NCM ]")});
    const QString& c = carga;
    grilla.agregar({c, c, c, QStringLiteral("2"), c, c, c, c, c, c, c, c, c});
    grilla.agregar({QStringLiteral("JL24"), c, QStringLiteral("PCS"), QStringLiteral("1"),
                    QStringLiteral("5"), c, c, QStringLiteral("1"), c, c, c, c, c});
    QVERIFY2(FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla),
             qPrintable(prueba::visible(p.mensajes().join(u'\n'))));
    QCOMPARE(p.mensajes(), QStringList());
    // The country text was related once, through the relation window, and found afterwards.
    QCOMPARE(p.ventanasPais, 1);
    esperado[QStringLiteral("ART")] += 2;
    esperado[QStringLiteral("ORG")] += 1;
    QCOMPARE(p.recuento(), esperado);

    const QString pais = p.valor(QStringLiteral("select id from PAIS order by Descripcion"));
    const QString texto = almacenado(sinBlancos(carga)); // dates and country texts: as written
    const QString limpia = almacenado(limpio(carga));    // codes, descriptions, others: quotes cleaned
    const QString marca = almacenado(limpio(carga).toUpper().left(20));
    QCOMPARE(p.valor(QStringLiteral("select ORI from ORG where PAI = ") + SqlTexto(texto)), pais);

    QCOMPARE(p.columna(1, QStringLiteral("ARTNRO")), limpia);
    QCOMPARE(p.columna(1, QStringLiteral("ARTDSC")), limpia);
    QCOMPARE(p.columna(1, QStringLiteral("OTROS")), limpia);
    QCOMPARE(p.columna(1, QStringLiteral("MARCA")), marca);
    QCOMPARE(p.columna(1, QStringLiteral("MODELO")), marca);
    QCOMPARE(p.columna(1, QStringLiteral("FECHA_EMBARQUE")), texto);
    QCOMPARE(p.columna(1, QStringLiteral("FECHA_ARRIBO")), texto);
    for (const char* col : {"ARTORG", "PRCORI", "PROCEDENCIA"})
        QCOMPARE(p.columna(1, QString::fromLatin1(col)), pais);
    QCOMPARE(p.columna(1, QStringLiteral("PRCDUN")), QStringLiteral("07")); // an unknown unit text
    QCOMPARE(p.columna(1, QStringLiteral("ARTTOT")).toDouble(), 0.0);       // not a number: 0
    QCOMPARE(p.columna(1, QStringLiteral("ARTKGU")).toDouble(), 0.0);
    QCOMPARE(p.columna(1, QStringLiteral("PRCSUF")), QString()); // no such position
    QCOMPARE(p.columna(1, QStringLiteral("PRCOBS")), QStringLiteral("EL FOB TOTAL NO PUEDE SER CERO 0"));
    QCOMPARE(p.columna(1, QStringLiteral("PRCEST")), QString());

    // The catalog line: its UPDATE carries the description and the brand.
    QCOMPARE(p.columna(2, QStringLiteral("ARTDSC")),
             limpia.isEmpty() ? QStringLiteral("JUEGO LLAVES COMBINADAS 24 PIEZAS") : limpia);
    QCOMPARE(p.columna(2, QStringLiteral("MARCA")), marca);
    QCOMPARE(p.columna(2, QStringLiteral("PRCSUF")),
             marca.isEmpty() ? QStringLiteral("AA(TOOLMAX)-")
                             : QStringLiteral("AA(") + marca + QStringLiteral(")-"));
    QCOMPARE(p.columna(2, QStringLiteral("PRCNCM")), QStringLiteral("8204.11.00.000K"));
    QCOMPARE(p.columna(2, QStringLiteral("PRCCRC")), resultado);
    QCOMPARE(p.columna(2, QStringLiteral("PRCEST")),
             resultado == u"OK" ? QStringLiteral("A") : QStringLiteral("E"));
}

// A quantity that is no number stops the run at the unit price; a foreign unit it does not know
// stops it too. Each with the run's report; the lines above stay.
void TstInyeccion::celdasQueNoSonNumerosNiUnidades() {
    QFETCH(QString, carga);
    const QString seccion =
        QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmMain.FRAM2_GuardarDatosToBase (100)]::");
    for (const QString& unidad : {QStringLiteral("[ UNIDAD ]"), QStringLiteral("[ UNIDAD QX ]")}) {
        const bool qx = unidad.contains(u'Q');
        Programa p;
        p.elegirInterno(QStringLiteral("24001"));
        p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
        auto esperado = p.recuento();
        Grilla grilla({kArticulo, kDescripc, unidad, kCantidad, kTotal, kOrigen});
        grilla.agregar({QStringLiteral("A1"), QStringLiteral("uno"), QStringLiteral("EA"),
                        QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("CHINA")});
        grilla.agregar({QStringLiteral("A2"), QStringLiteral("dos"), qx ? carga : QStringLiteral("EA"),
                        qx ? QStringLiteral("1") : carga, QStringLiteral("5"), QStringLiteral("CHINA")});
        QVERIFY(!FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
        const QStringList m = p.mensajes();
        QCOMPARE(m.size(), 1);
        const QString inicio = qx ? QString(QStringLiteral("No se reconoce la unidad: ") + sinBlancos(carga) +
                                            QStringLiteral("\r\n\r\n-2147220393") + seccion +
                                            QStringLiteral("modglobal.ProcesarUnidades::ProcesarUnidades"))
                                  : QString(QStringLiteral("División por cero\r\n\r\n11") + seccion);
        QVERIFY2(m[0].startsWith(inicio), qPrintable(prueba::visible(m[0])));
        QVERIFY(m[0].contains(QStringLiteral("\r\n\r\nlinea excel 3 articulo excel A2\r\n")));
        esperado[QStringLiteral("ART")] += 1;
        QCOMPARE(p.recuento(), esperado);
        QCOMPARE(p.columna(1, QStringLiteral("ARTNRO")), QStringLiteral("A1"));
    }
}

// "Nuevo Interno": quotes typed in either box become blanks, the rest is kept as typed; deleting it
// takes its lines and no other interno's.
void TstInyeccion::internoNuevoYEliminado() {
    QFETCH(QString, carga);
    Programa p;
    p.ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('OTRO', 'otro')"));
    QString descripcion = carga + QStringLiteral(" desc");
    QVERIFY(NuevoInterno(p.srv, p.estado, carga, descripcion));
    QString sinDescripcion;
    QVERIFY(NuevoInterno(p.srv, p.estado, carga + QStringLiteral("2"), sinDescripcion));
    QCOMPARE(p.mensajes(), QStringList());
    QVERIFY(p.estado.g_bInternoCreado);

    const auto blancos = [](QString s) { return almacenado(s.replace(u'\'', u' ')); };
    const QString nro = blancos(carga);
    QCOMPARE(p.valor(QStringLiteral("select INTDSC from INTN where INTNRO = ") + SqlTexto(nro)),
             blancos(carga + QStringLiteral(" desc")));
    QCOMPARE(p.valor(QStringLiteral("select INTDSC from INTN where INTNRO = ") + SqlTexto(nro + u'2')),
             nro + u'2');
    QCOMPARE(p.valor(QStringLiteral("select count(*) from INTN")), QStringLiteral("3"));

    for (const QString& interno : {nro, QStringLiteral("OTRO")})
        p.ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD) values (") + SqlTexto(interno) +
                   QStringLiteral(", 1)"));
    auto esperado = p.recuento();
    p.c->FRAM1_CargarInternos();
    for (int i = 0; i < static_cast<int>(p.c->internos.size()); ++i)
        if (p.c->internos[static_cast<size_t>(i)].nro == nro)
            p.c->seleccionarInterno(i);
    QCOMPARE(p.c->internos[static_cast<size_t>(p.c->internoSeleccionado)].nro, nro);
    p.c->FRAM1_EliminarInterno();
    QCOMPARE(p.mensajes().size(), 1); // the confirmation only
    esperado[QStringLiteral("INTN")] -= 1;
    esperado[QStringLiteral("ART")] -= 1;
    QCOMPARE(p.recuento(), esperado);
    QCOMPARE(p.c->internos.size(), size_t(2));
    QCOMPARE(p.valor(QStringLiteral("select INTNRO from ART")), QStringLiteral("OTRO"));
}

// "Establecer Pais" stores the origin text as typed and the goods state trimmed; the origin lookup
// finds it again; the settings window deletes that relation and no other.
void TstInyeccion::relacionDePais() {
    QFETCH(QString, carga);
    Programa p;
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
    auto esperado = p.recuento();

    p.estado.g_sRetorno = carga;
    LogicaRelPais ventana(p.srv, p.estado);
    ventana.Form_Load();
    QCOMPARE(ventana.txtValor, carga);
    ventana.txtESM = carga;
    ventana.paisSeleccionado = 1;
    QVERIFY(ventana.f_Grabar());
    const QString id = ventana.cboidPais.at(1);
    QCOMPARE(p.estado.g_sRetorno, id);
    QCOMPARE(p.estado.g_sRetornoESM, carga);
    esperado[QStringLiteral("ORG")] += 1;
    QCOMPARE(p.recuento(), esperado);

    const DatosOrigen o = BuscarOrigen(p.srv, p.estado, carga);
    QCOMPARE(o.ORI, id);
    QCOMPARE(o.ESM, almacenado(sinBlancos(carga)));
    QCOMPARE(p.ventanasPais, 0);

    // The same text again: the database refuses the duplicate and the window stays open.
    p.estado.g_sRetorno = carga;
    LogicaRelPais otra(p.srv, p.estado);
    otra.Form_Load();
    QVERIFY(!otra.f_Grabar());
    QCOMPARE(p.mensajes().size(), 1);
    QVERIFY2(p.mensajes()[0].startsWith(QStringLiteral("Ya existe un registro con la misma clave")),
             qPrintable(p.mensajes()[0]));
    QCOMPARE(p.recuento(), esperado);

    LogicaConfig config(p.srv, p.estado);
    config.ORI_CargarListado();
    for (int i = 0; i < static_cast<int>(config.lstRELPAIS.size()); ++i)
        if (config.lstRELPAIS[static_cast<size_t>(i)].pai == almacenado(carga))
            config.relacionSeleccionada = i;
    QCOMPARE(config.lstRELPAIS[static_cast<size_t>(config.relacionSeleccionada)].pai, almacenado(carga));
    config.ORI_Eliminar();
    QCOMPARE(p.mensajes().size(), 2); // the confirmation
    esperado[QStringLiteral("ORG")] -= 1;
    QCOMPARE(p.recuento(), esperado);
    QCOMPARE(p.valor(QStringLiteral("select PAI from ORG")), QStringLiteral("CHINA"));
}

// The brand of the settings reaches every line as stored when the invoice has no brand column; a
// percentage that is no number is refused and nothing is saved.
void TstInyeccion::configuracion() {
    QFETCH(QString, carga);
    Programa p;
    LogicaConfig config(p.srv, p.estado);
    config.Form_Load();
    config.txtMarca = carga;
    QVERIFY(config.GrabarySalir());
    QCOMPARE(p.estado.g_sAA_MARCA, carga);
    QCOMPARE(configuracion::leer(QStringLiteral("AA_MARCA")), carga);

    p.elegirInterno(QStringLiteral("24001"));
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
    Grilla grilla({kArticulo, kDescripc, kCantidad, kTotal, kOrigen});
    grilla.agregar({QStringLiteral("A1"), QStringLiteral("uno"), QStringLiteral("1"), QStringLiteral("5"),
                    QStringLiteral("CHINA")});
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
    QCOMPARE(p.columna(1, QStringLiteral("MARCA")), almacenado(carga));

    LogicaConfig otra(p.srv, p.estado);
    otra.Form_Load();
    otra.txtMarca = QStringLiteral("OTRA");
    otra.txtVariacionPrecio = carga;
    QVERIFY(!otra.GrabarySalir());
    const QStringList m = p.mensajes();
    QCOMPARE(m.size(), 1);
    QVERIFY(m[0].startsWith(QStringLiteral("El % de variación de precio debe ser un número")));
    QCOMPARE(configuracion::leer(QStringLiteral("AA_MARCA")), carga);
    QCOMPARE(configuracion::leer(QStringLiteral("PRECIO_UNITARIO"), QStringLiteral("0")),
             QStringLiteral("0"));
}

void TstInyeccion::editor_data() {
    QTest::addColumn<QString>("carga");
    QTest::addColumn<bool>("sufijoValido");
    for (const Carga& c : cargas()) {
        // A suffix value holding "(", ")" or "-" breaks the items of the suffix text.
        const bool rompe = c.texto.contains(u'-') || c.texto.contains(u')') || c.texto.contains(u'(');
        QTest::newRow(c.nombre) << c.texto << !rompe;
    }
}

// The record editor's boxes: texts stored as typed (as much as their customs column holds; a longer
// one is refused), the Maria description with its quotes blanked; boxes that must hold numbers
// refuse the payload; the position check looks the text up and does not find it.
void TstInyeccion::editor() {
    QFETCH(QString, carga);
    QFETCH(bool, sufijoValido);
    Programa p;
    p.elegirInterno(carga);
    lineaCorrecta(p, 1);
    auto esperado = p.recuento();

    if (carga.size() > 10) {
        LogicaModificar largo(p.srv, p.estado);
        largo.abrir(1);
        largo.Form_Activate();
        largo.txtPRCDUN.Text = carga;
        const QString antes = fila(p, 1);
        QVERIFY(!largo.GrabarDatos());
        QVERIFY2(p.mensajes().value(0).contains(QStringLiteral(": Unidad Declarada tiene ")),
                 qPrintable(p.mensajes().value(0)));
        QCOMPARE(fila(p, 1), antes);
        p.guion.limpiar();
    }
    LogicaModificar m(p.srv, p.estado);
    m.abrir(1);
    m.Form_Activate();
    m.txtPRCDUN.Text = carga.left(10);
    m.txtDescripcionMaria.Text = carga.left(250);
    QVERIFY2(m.GrabarDatos(), qPrintable(prueba::visible(p.mensajes().join(u'\n'))));
    QCOMPARE(p.columna(1, QStringLiteral("PRCDUN")), almacenado(carga.left(10)));
    QString maria = carga.left(250);
    QCOMPARE(p.columna(1, QStringLiteral("ARTDSCMARIA")), almacenado(maria.replace(u'\'', u' ')));
    QCOMPARE(p.columna(1, QStringLiteral("PRCEST")), QStringLiteral("M"));

    // The suffix text typed by hand: stored as typed when it is valid, refused otherwise.
    const QString sufijo = QStringLiteral("AA(") + carga.left(240) + QStringLiteral(")-");
    LogicaModificar s(p.srv, p.estado);
    s.abrir(1);
    s.Form_Activate();
    s.txtPRCSUF.Text = sufijo;
    const QString antes = fila(p, 1);
    QCOMPARE(s.GrabarDatos(), sufijoValido);
    if (sufijoValido) {
        QCOMPARE(p.columna(1, QStringLiteral("PRCSUF")), almacenado(sufijo));
    } else {
        QCOMPARE(p.mensajes().value(0), QStringLiteral("Sufijos inválidos"));
        QCOMPARE(fila(p, 1), antes);
    }
    p.guion.limpiar();

    // Boxes that hold numbers: the payload is refused before anything is written.
    const QString guardada = fila(p, 1);
    LogicaModificar n(p.srv, p.estado);
    n.abrir(1);
    n.Form_Activate();
    n.txtPRCCAN.Text = carga;
    QVERIFY(!n.GrabarDatos());
    n.txtPRCCAN.Text = QStringLiteral("10");
    n.txtPRCESM.Text = carga;
    QVERIFY(!n.GrabarDatos());
    QCOMPARE(p.mensajes(),
             (QStringList{QStringLiteral("Debe ingresar un valor númerico en el campo Cantidad Declarada"),
                          QStringLiteral("Estado de mercaderia inválida")}));
    QCOMPARE(fila(p, 1), guardada);

    // A position of the right length made of the payload: looked up, not found.
    p.guion.limpiar();
    n.ProcesarNCM(QString(carga + QStringLiteral("...............")).left(15));
    QCOMPARE(p.mensajes(), QStringList{QStringLiteral("Posición no encontrada en Nomenclador")});

    // The position lookup: the text is a pattern ("." and "%" stand for any characters, "_" for one),
    // never part of the statement.
    p.guion.limpiar();
    LogicaPosicion busqueda(p.srv, p.estado);
    busqueda.TxtNCMF = carga;
    const bool comodin = carga.contains(u'%') || carga.contains(u'_');
    QCOMPARE(busqueda.Buscar(), comodin);
    QCOMPARE(p.mensajes(), comodin ? QStringList() : QStringList{QStringLiteral("Posición no encontrada.")});
    if (comodin)
        QCOMPARE(busqueda.LstNCM.size(),
                 p.valor(p.ncm(), QStringLiteral("select count(*) from ncm")).toLongLong());
    QCOMPARE(p.recuento(), esperado);
}

void TstInyeccion::respuestasDeSufijos_data() {
    // The dialogue keeps capitals, digits, Ñ, "&", "," and "/" of the first 20 characters of the
    // trimmed answer and turns the rest into blanks; an answer left blank is asked again (ACME).
    QTest::addColumn<QString>("carga");
    QTest::addColumn<QString>("sufijo");
    const QString otraVez = QStringLiteral("AA(ACME)-");
    const QStringList sufijos = {otraVez,
                                 otraVez,
                                 otraVez,
                                 otraVez,
                                 QStringLiteral("AA(/   /)-"),
                                 QStringLiteral("AA(C  TEMP  N  )-"),
                                 QStringLiteral("AA(     O BRIEN)-"),
                                 QStringLiteral("AA(A B)-"),
                                 QStringLiteral("AA(O B  O B  O B  O B  )-"),
                                 QStringLiteral("AA(    DROP TABLE ART )-"),
                                 otraVez,
                                 otraVez,
                                 QStringLiteral("AA( 001     LEFT X,2   )-")};
    const auto todas = cargas();
    QCOMPARE(sufijos.size(), qsizetype(todas.size()));
    for (size_t i = 0; i < todas.size(); ++i)
        QTest::newRow(todas[i].nombre) << todas[i].texto << sufijos[static_cast<qsizetype>(i)];
}

// Suffix answers typed in the value dialogue, saved by the editor.
void TstInyeccion::respuestasDeSufijos() {
    QFETCH(QString, carga);
    QFETCH(QString, sufijo);
    Programa p;
    p.elegirInterno(QStringLiteral("24001"));
    lineaCorrecta(p, 1);
    LogicaModificar m(p.srv, p.estado);
    m.abrir(1);
    m.Form_Activate();
    p.guion.entradas << carga << QStringLiteral("ACME");
    m.ProcesarNCM(QStringLiteral("8301.10.00.000P"));
    QCOMPARE(m.txtPRCSUF.Text, sufijo);
    QVERIFY2(m.GrabarDatos(), qPrintable(prueba::visible(p.mensajes().join(u'\n'))));
    QCOMPARE(p.columna(1, QStringLiteral("PRCSUF")), sufijo);
}

// Lines whose every text holds the payload, of an interno named by it, transferred twice (the second
// time replacing the first): the customs rows hold the texts as stored, the catalog insert blanks
// the quotes of the description, the catalog update keeps them.
void TstInyeccion::transferencia() {
    QFETCH(QString, carga);
    Programa p;
    p.elegirInterno(carga);
    const QString interno = p.estado.g_sInterno;
    QCOMPARE(interno, almacenado(carga));
    // Each text cut to what its customs column holds (a longer one is refused before the transfer).
    const auto v = [&carga](int largo) { return SqlTexto(carga.left(largo)); };
    for (const QString& articulo : {carga.left(50), QStringLiteral("JL24")})
        p.ejecutar(
            QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTDSCMARIA, ARTDSCMARIA2, "
                           "ARTDSCMARIA3, ARTCAN, ARTUNI, ARTTOT, ARTKGU, PROCEDENCIA, FECHA_EMBARQUE, "
                           "FECHA_ARRIBO, OTROS, CODIGOCIP, PRCNCM, PRCSUF, PRCLAP, PRCDUN, PRCCAN, PRCEUN, "
                           "PRCECA, PRCSUN, PRCSCA, PRCESM, PRCORI, PRCEST, PRCCRC) values (") +
            SqlTexto(interno) + QStringLiteral(", (select count(*) + 1 from ART), ") + SqlTexto(articulo) +
            QStringLiteral(
                ", %1, %1, %1, %1, 2, 2.5, 5, 1, %2, %3, %3, %1, %1, %4, %1, %5, %2, 2, %2, 2, %2, "
                "0, %2, %2, 'M', 'OK')")
                .arg(v(250), v(10), SqlTexto(carga), v(15), v(1)));
    auto esperado = p.recuento();

    ControladorPaso3 paso3(p.srv, p.estado);
    paso3.FRM3_Tranferir();
    QCOMPARE(p.mensajes(), QStringList{QStringLiteral("Se transfirio 2 articulos en el interno ") + interno});
    esperado[QStringLiteral("aduana.caratula")] += 1;
    esperado[QStringLiteral("aduana.subitems")] += 2;
    esperado[QStringLiteral("aduana.catarticulos")] += 1; // JL24 is in the catalog already
    QCOMPARE(p.recuento(), esperado);

    const QString t = almacenado(carga);
    const QString condicion = QStringLiteral(" where interno = ") + SqlTexto(interno);
    QCOMPARE(p.valor(p.aduana(), QStringLiteral("select count(*) from caratula") + condicion),
             QStringLiteral("1"));
    QCOMPARE(p.valor(p.aduana(), QStringLiteral("select DJAI_FECHA_EMB_APROX from caratula") + condicion),
             QString());
    const Recordset rs =
        p.consultar(p.aduana(), QStringLiteral("select * from subitems") + condicion +
                                    QStringLiteral(" and idarticulo = ") + SqlTexto(t.left(50)));
    QVERIFY(!rs.Fin());
    // Each column as cut to its size.
    const QHash<QString, int> largos{
        {QStringLiteral("descripcion"), 250}, {QStringLiteral("ncm"), 15},
        {QStringLiteral("IdUnidad"), 10},     {QStringLiteral("IdPais"), 10},
        {QStringLiteral("idpaisproc"), 10},   {QStringLiteral("OTROS"), 250},
        {QStringLiteral("CODIGOEAN"), 250},   {QStringLiteral("EstadoMerc"), 10},
        {QStringLiteral("estadistica"), 10},  {QStringLiteral("sufijos"), 250},
        {QStringLiteral("LAPI"), 1},          {QStringLiteral("deresp"), 10},
        {QStringLiteral("idunidad"), 10},     {QStringLiteral("idpais"), 10},
        {QStringLiteral("lapi"), 1},          {QStringLiteral("descripcion_maria"), 250}};
    for (const char* col : {"descripcion", "ncm", "IdUnidad", "IdPais", "idpaisproc", "OTROS", "CODIGOEAN",
                            "EstadoMerc", "estadistica", "sufijos", "LAPI", "deresp"})
        QCOMPARE(rs.Fields(QString::fromLatin1(col)).toString(), t.left(largos[QString::fromLatin1(col)]));
    const QString pieza = sinBlancos(t.left(250));
    QCOMPARE(rs.Fields(QStringLiteral("Descripcion_Maria")).toString(), pieza + u' ' + pieza + u' ' + pieza);

    const auto catalogo = [&p](const QString& articulo, const char* col) {
        return p.valor(p.aduana(), QStringLiteral("select %1 from catarticulos where idcatalogo = '1' and "
                                                  "idarticulo = ")
                                           .arg(QString::fromLatin1(col)) +
                                       SqlTexto(articulo));
    };
    QString blancos = t.left(250);
    blancos.replace(u'\'', u' ');
    QCOMPARE(catalogo(t.left(50), "descripcion"), blancos);                 // insert
    QCOMPARE(catalogo(QStringLiteral("JL24"), "descripcion"), t.left(250)); // update
    for (const QString& articulo : {t.left(50), QStringLiteral("JL24")})
        for (const char* col : {"idpais", "ncm", "lapi", "sufijos", "idunidad", "estadistica", "EstadoMerc",
                                "deresp", "descripcion_maria"})
            QCOMPARE(catalogo(articulo, col), t.left(largos[QString::fromLatin1(col)]));

    // Again: the question is answered Yes, the interno's rows are replaced and its new article is now
    // updated (quotes kept).
    p.guion.limpiar();
    paso3.FRM3_Tranferir();
    QCOMPARE(p.mensajes().size(), 2);
    QCOMPARE(p.recuento(), esperado);
    QCOMPARE(catalogo(t.left(50), "descripcion"), t.left(250));
}

// Catalog and default unit whose ids hold the payload, chosen in the settings window: the run finds
// the catalog's article, the default unit reaches the lines, and the transfer writes both and
// updates or adds the entries of that catalog only.
void TstInyeccion::catalogoYUnidadElegidos() {
    QFETCH(QString, carga);
    Programa p;
    const QString v = SqlTexto(carga);
    Programa::ejecutar(
        p.aduana(), QStringLiteral("insert into catalogo (idcatalogo, descripcion) values (%1, 'A')").arg(v));
    // The unit cut to the 10 characters of the customs unit columns.
    Programa::ejecutar(p.aduana(), QStringLiteral("insert into unidades (id, descripcion) values (%1, 'A')")
                                       .arg(SqlTexto(carga.left(10))));
    const QString columnas = QStringLiteral("idarticulo, descripcion, idpais, cantidad, Preciounitario, ncm, "
                                            "lapi, sufijos, idunidad, estadistica, "
                                            "valorrelacionestadistica, EstadoMerc, deresp, "
                                            "descripcion_maria, valorderesp, artkgunitario, codigoean");
    Programa::ejecutar(p.aduana(),
                       QStringLiteral("insert into catarticulos (idcatalogo, %1) select %2, %1 from "
                                      "catarticulos where idcatalogo = '1' and idarticulo = 'JL24'")
                           .arg(columnas, v));
    const QString jl24 = QStringLiteral("select descripcion from catarticulos where idcatalogo = '1' and "
                                        "idarticulo = 'JL24'");
    const QString original = Programa::valor(p.aduana(), jl24);

    LogicaConfig config(p.srv, p.estado);
    config.Form_Load();
    const QString id = almacenado(carga);
    const QString unidad = id.left(10);
    config.catalogoSeleccionado = static_cast<int>(config.cboIdCatalogo.indexOf(id));
    config.unidadSeleccionada = static_cast<int>(config.cboIdUnidad.indexOf(unidad));
    QVERIFY(config.catalogoSeleccionado >= 0 && config.unidadSeleccionada >= 0);
    QVERIFY(config.GrabarySalir());
    QCOMPARE(p.estado.g_sINTCAT, id);
    QCOMPARE(p.estado.g_sINTDUN, unidad);

    p.elegirInterno(QStringLiteral("24001"));
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
    Grilla grilla({kArticulo, kDescripc, QStringLiteral("[ UNIDAD ]"), kCantidad, kTotal, kOrigen});
    grilla.agregar({QStringLiteral("JL24"), QStringLiteral("Llaves"), QStringLiteral("PCS"),
                    QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("CHINA")});
    grilla.agregar({QStringLiteral("NUEVO"), QStringLiteral("Nuevo"), QStringLiteral("SETS"),
                    QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("CHINA")});
    QVERIFY(FRAM2_GuardarDatosToBase(p.srv, p.estado, grilla));
    QCOMPARE(p.columna(1, QStringLiteral("PRCCRC")), QStringLiteral("OK"));
    QCOMPARE(p.columna(2, QStringLiteral("PRCDUN")), unidad);
    QCOMPARE(p.columna(2, QStringLiteral("PRCEST")), QString());

    p.ejecutar(QStringLiteral("update ART set PRCNCM = '8204.11.00.000K', PRCEST = 'M', PRCCRC = 'OK' where "
                              "ARTORD = 2"));
    auto esperado = p.recuento();
    ControladorPaso3 paso3(p.srv, p.estado);
    paso3.FRM3_Tranferir();
    QCOMPARE(p.mensajes(), QStringList{QStringLiteral("Se transfirio 2 articulos en el interno 24001")});
    esperado[QStringLiteral("aduana.caratula")] += 1;
    esperado[QStringLiteral("aduana.subitems")] += 2;
    esperado[QStringLiteral("aduana.catarticulos")] += 1;
    QCOMPARE(p.recuento(), esperado);
    QCOMPARE(Programa::valor(p.aduana(), QStringLiteral("select count(*) from subitems where idcatalogo = ") +
                                             SqlTexto(id)),
             QStringLiteral("2"));
    QCOMPARE(
        Programa::valor(p.aduana(), QStringLiteral("select idunidad from catarticulos where idarticulo = "
                                                   "'NUEVO' and idcatalogo = ") +
                                        SqlTexto(id)),
        unidad);
    QCOMPARE(
        Programa::valor(p.aduana(), QStringLiteral("select descripcion from catarticulos where idarticulo = "
                                                   "'JL24' and idcatalogo = ") +
                                        SqlTexto(id)),
        QStringLiteral("Llaves"));
    QCOMPARE(Programa::valor(p.aduana(), jl24), original);
}

// A statement that carries a NUL would run only up to it: it is refused whole, with a clear report.
void TstInyeccion::sentenciaConNulo() {
    Programa p;
    const auto esperado = p.recuento();
    for (Velno::clBase* base : {&p.trabajo(), &p.aduana()}) {
        base->setSql(QStringLiteral("delete from INTN where 1 = 0") + QChar(0) +
                     QStringLiteral("; drop table ART"));
        QString descripcion;
        try {
            base->Ejecutar();
        } catch (const VbError& e) {
            descripcion = e.descripcion();
        }
        QCOMPARE(descripcion,
                 QStringLiteral("La instrucción SQL contiene un carácter nulo (código 0), que la "
                                "base de datos no admite: no se ejecutó"));
        Recordset rs;
        QVERIFY_THROWS_EXCEPTION(VbError, base->CrearRs(rs));
    }
    QCOMPARE(p.recuento(), esperado);
}

QTEST_GUILESS_MAIN(TstInyeccion)
#include "tst_inyeccion.moc"
