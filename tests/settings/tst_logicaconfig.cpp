#include "app/controladorprincipal.h"
#include "components/central.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/formatos.h"
#include "components/interaccionguionada.h"
#include "data/rutas.h"
#include "programa.h"
#include "settings/logicaconfig.h"
#include "settings/logicarelpais.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;

namespace {

const QString kAustral = QStringLiteral("[1] AUSTRAL HERRAMIENTAS S.A. - FERRETERÍA Y HERRAMIENTAS");
const QString kTecnosur = QStringLiteral("[2] TECNOSUR S.R.L. - INFORMÁTICA Y ELECTRODOMÉSTICOS");

// One run of the program on a data folder, with the embedded customs database.
struct Programa : prueba::Programa {
    explicit Programa(const QString& carpeta)
        : prueba::Programa(Opciones().enCarpeta(carpeta).sinPasos().sinAislar()) {}
    // The ORG rows as "PAI|ORI|ESM", in PAI order.
    QStringList org() {
        QStringList r;
        Recordset rs;
        srv.g_oBase->setSql(QStringLiteral("select PAI, ORI, ESM from ORG order by PAI"));
        srv.g_oBase->CrearRs(rs);
        for (; !rs.Fin(); rs.MoveNext())
            r << srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("PAI"))) + u'|' +
                     srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("ORI"))) + u'|' +
                     srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("ESM")));
        return r;
    }
};

QString guardado(const char* clave) {
    return configuracion::leer(QString::fromLatin1(clave), QStringLiteral("<nada>"));
}

QStringList filas(const LogicaConfig& l) {
    QStringList r;
    for (const auto& f : l.lstRELPAIS)
        r << f.pai + u'|' + f.ori + u'|' + f.esm;
    return r;
}

} // namespace

class TstLogicaConfig : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    // frmConfig
    void sinConfiguracionGuardada();
    void seleccionesGuardadasYOrden();
    void catalogoGuardadoQueYaNoExiste();
    void escGuardaLoMostradoYRigeEnSeguida();
    void configuracionNoGrabable();
    void porcentaje_data();
    void porcentaje();
    void aduanaInalcanzable();
    void listadoYEliminarRelacion();
    void fallasDelListadoYDelBorrado();
    void nuevaRelacionDesdeConfiguracion();
    void mapeoAlCargarYMapeosGuardados();
    // frmRelPais
    void relacionDesdeElProceso();
    void escNoGuardaNada();
    void validaciones();
    void comillasYDuplicados();
    void sinPaisesOTablaPais();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString carpeta() const { return m_dir->path(); }
};

void TstLogicaConfig::initTestCase() {
    // The test support gives this program a home of its own: other test programs running at the
    // same time never touch these settings.
    prueba::aislarConfiguracion();
    QVERIFY2(configuracion::ubicacion().startsWith(QDir::homePath()), qPrintable(configuracion::ubicacion()));
}

void TstLogicaConfig::init() {
    prueba::aislarConfiguracion();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TstLogicaConfig::sinConfiguracionGuardada() {
    Programa p(carpeta());
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    QVERIFY2(p.guion.avisos.isEmpty(), qPrintable(p.guion.avisos.value(0).texto));
    QCOMPARE(l.cboUnidad.size(), 24);
    QCOMPARE(l.cboIdUnidad.size(), l.cboUnidad.size());
    QCOMPARE(l.cboUnidad.first(), QStringLiteral("CENTÍMETROS")); // alphabetical
    QCOMPARE(l.cboIdUnidad.first(), QStringLiteral("20"));
    QCOMPARE(l.cboIdUnidad.at(l.cboUnidad.indexOf(QStringLiteral("UNIDADES"))), QStringLiteral("07"));
    QCOMPARE(l.unidadSeleccionada, 0);
    QCOMPARE(l.cboCatalogo, (QStringList{kAustral, kTecnosur}));
    QCOMPARE(l.cboIdCatalogo, (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    QCOMPARE(l.catalogoSeleccionado, 0);
    QCOMPARE(l.txtMarca, QString());
    QCOMPARE(l.txtVariacionPrecio, QStringLiteral("0"));
    QVERIFY(l.lstRELPAIS.empty());
    QCOMPARE(l.relacionSeleccionada, -1);
}

void TstLogicaConfig::seleccionesGuardadasYOrden() {
    configuracion::guardar(QStringLiteral("INTDUN"), QStringLiteral("07"));
    configuracion::guardar(QStringLiteral("INTCAT"), QStringLiteral("2"));
    configuracion::guardar(QStringLiteral("AA_MARCA"), QStringLiteral("ACME"));
    configuracion::guardar(QStringLiteral("PRECIO_UNITARIO"), QStringLiteral("12,5"));
    Programa p(carpeta());
    // A catalog whose description sorts first although its id is the highest.
    p.ejecutarAduana(
        QStringLiteral("insert into catalogo (idcatalogo, descripcion) values ('30', 'AAA IMPORTADORA')"));
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    QCOMPARE(l.cboUnidad.at(l.unidadSeleccionada), QStringLiteral("UNIDADES"));
    QCOMPARE(l.cboCatalogo, (QStringList{QStringLiteral("[30] AAA IMPORTADORA"), kAustral, kTecnosur}));
    QCOMPARE(l.cboIdCatalogo, (QStringList{QStringLiteral("30"), QStringLiteral("1"), QStringLiteral("2")}));
    QCOMPARE(l.catalogoSeleccionado, 2);
    QCOMPARE(l.txtMarca, QStringLiteral("ACME"));
    QCOMPARE(l.txtVariacionPrecio, QStringLiteral("12,5"));
}

void TstLogicaConfig::catalogoGuardadoQueYaNoExiste() {
    configuracion::guardar(QStringLiteral("INTCAT"), QStringLiteral("99"));
    configuracion::guardar(QStringLiteral("INTDUN"), QStringLiteral("XX"));
    Programa p(carpeta());
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    QCOMPARE(l.catalogoSeleccionado, 0);
    QCOMPARE(l.unidadSeleccionada, 0);
    QVERIFY(l.GrabarySalir());
    QCOMPARE(guardado("INTCAT"), QStringLiteral("1"));
    QCOMPARE(guardado("INTDUN"), QStringLiteral("20"));
    QCOMPARE(p.estado.g_sINTCAT, QStringLiteral("1"));
}

void TstLogicaConfig::escGuardaLoMostradoYRigeEnSeguida() {
    Programa p(carpeta());
    QCOMPARE(p.estado.g_sINTCAT, QString());
    {
        LogicaConfig l(p.srv, p.estado);
        l.Form_Load();
        QVERIFY(l.GrabarySalir()); // right after opening: the entries chosen by default
    }
    QCOMPARE(guardado("INTCAT"), QStringLiteral("1"));
    QCOMPARE(guardado("INTDUN"), QStringLiteral("20"));
    QCOMPARE(guardado("AA_MARCA"), QString());
    QCOMPARE(guardado("PRECIO_UNITARIO"), QStringLiteral("0"));
    QCOMPARE(p.estado.g_sINTCAT, QStringLiteral("1"));
    QCOMPARE(p.estado.g_sINTDUN, QStringLiteral("20"));
    QCOMPARE(p.estado.g_sAA_MARCA, QString());

    // Changing every value: the globals take them at once, the window reopens with them.
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    l.catalogoSeleccionado = 1;
    l.unidadSeleccionada = static_cast<int>(l.cboUnidad.indexOf(QStringLiteral("KILOGRAMOS")));
    l.txtMarca = QStringLiteral(" Acme ");
    QVERIFY(l.GrabarySalir());
    QCOMPARE(p.estado.g_sINTCAT, QStringLiteral("2"));
    QCOMPARE(p.estado.g_sINTDUN, QStringLiteral("01"));
    QCOMPARE(p.estado.g_sAA_MARCA, QStringLiteral(" Acme ")); // as typed
    LogicaConfig otra(p.srv, p.estado);
    otra.Form_Load();
    QCOMPARE(otra.cboCatalogo.at(otra.catalogoSeleccionado), kTecnosur);
    QCOMPARE(otra.cboUnidad.at(otra.unidadSeleccionada), QStringLiteral("KILOGRAMOS"));
    QCOMPARE(otra.txtMarca, QStringLiteral(" Acme "));
}

// A settings folder that cannot be made (its parent is a file; chmod stops no one running as root):
// the failure is told, the values rule for this run.
void TstLogicaConfig::configuracionNoGrabable() {
    QTemporaryDir raiz;
    QFile archivo(raiz.filePath(QStringLiteral("config")));
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    const QString antes = QFileInfo(QFileInfo(configuracion::ubicacion()).absolutePath()).absolutePath();
    Programa p(carpeta());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       archivo.fileName() + QStringLiteral("/sub"));
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    const bool cerro = l.GrabarySalir();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, antes);
    QVERIFY(cerro);
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QVERIFY2(
        m[0].texto.startsWith(QStringLiteral("No se pudo guardar la configuración en ") + archivo.fileName()),
        qPrintable(m[0].texto));
    QCOMPARE(p.estado.g_sINTCAT, QStringLiteral("1"));
}

void TstLogicaConfig::porcentaje_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("esperado"); // empty: refused
    QTest::newRow("coma es_AR") << "es_AR"
                                << "12,5"
                                << "12,5";
    QTest::newRow("punto en_US") << "en_US"
                                 << "12.5"
                                 << "12.5";
    QTest::newRow("coma en_US") << "en_US"
                                << "12,5"
                                << "";
    QTest::newRow("letras") << "es_AR"
                            << "doce"
                            << "";
    QTest::newRow("vacio") << "es_AR"
                           << ""
                           << "";
    QTest::newRow("negativo con blancos") << "es_AR"
                                          << " -3 "
                                          << "-3";
}

void TstLogicaConfig::porcentaje() {
    QFETCH(QString, locale);
    QFETCH(QString, texto);
    QFETCH(QString, esperado);
    prueba::LocaleFijo fijo(locale);
    configuracion::guardar(QStringLiteral("INTCAT"), QStringLiteral("1"));
    Programa p(carpeta());
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    l.catalogoSeleccionado = 1;
    l.txtMarca = QStringLiteral("NUEVA");
    l.txtVariacionPrecio = texto;
    const bool cerro = l.GrabarySalir();
    QCOMPARE(cerro, !esperado.isEmpty());
    if (cerro) {
        QCOMPARE(guardado("PRECIO_UNITARIO"), esperado);
        QVERIFY(p.guion.avisos.isEmpty());
        return;
    }
    // Refused: one clear message, nothing of the four saved, the globals as they were.
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QVERIFY2(m[0].texto.startsWith(QStringLiteral("El % de variación de precio debe ser un número")),
             qPrintable(m[0].texto));
    QCOMPARE(m[0].icono, Icono::Exclamacion);
    QCOMPARE(guardado("INTCAT"), QStringLiteral("1"));
    QCOMPARE(guardado("INTDUN"), QStringLiteral("<nada>"));
    QCOMPARE(guardado("AA_MARCA"), QStringLiteral("<nada>"));
    QCOMPARE(guardado("PRECIO_UNITARIO"), QStringLiteral("<nada>"));
    QCOMPARE(p.estado.g_sINTCAT, QStringLiteral("1"));
    QCOMPARE(p.estado.g_sAA_MARCA, QString());
}

void TstLogicaConfig::aduanaInalcanzable() {
    configuracion::guardar(QStringLiteral("INTDUN"), QStringLiteral("07"));
    configuracion::guardar(QStringLiteral("INTCAT"), QStringLiteral("2"));
    QDir().mkpath(carpeta());
    QFile ini(rutas::iniEntidades(carpeta()));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[NCM]\ndriver=QSQLITE\ndatabase=db/no-esta.db\n[INTERNOS]\ndriver=QSQLITE\ndatabase=db/"
              "no-esta.db\n");
    ini.close();
    Programa p(carpeta());
    QCOMPARE(p.estado.g_iPaso, 1);
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));

    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1); // one message, not one per list
    QCOMPARE(m[0].icono, Icono::Critico);
    QVERIFY2(m[0].texto.startsWith(
                 QStringLiteral("No se pudieron leer las unidades ni los catálogos de la base de "
                                "datos del sistema aduanero (entidad INTERNOS).")),
             qPrintable(m[0].texto));
    QVERIFY2(m[0].texto.contains(QStringLiteral("no-esta.db")), qPrintable(m[0].texto));
    QVERIFY(m[0].texto.endsWith(QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmConfig.Form_Load]")));
    QVERIFY(l.cboUnidad.isEmpty());
    QVERIFY(l.cboCatalogo.isEmpty());
    // The rest of the window works: the relations are listed, brand and percentage are saved.
    QCOMPARE(filas(l), QStringList{QStringLiteral("CHINA|310|2")});
    l.txtMarca = QStringLiteral("ACME");
    l.txtVariacionPrecio = QStringLiteral("5");
    QVERIFY(l.GrabarySalir());
    QCOMPARE(guardado("AA_MARCA"), QStringLiteral("ACME"));
    QCOMPARE(guardado("PRECIO_UNITARIO"), QStringLiteral("5"));
    // The unit and the catalog that could not be shown keep their stored values.
    QCOMPARE(guardado("INTDUN"), QStringLiteral("07"));
    QCOMPARE(guardado("INTCAT"), QStringLiteral("2"));
    QCOMPARE(p.estado.g_sINTDUN, QStringLiteral("07"));
    QCOMPARE(p.estado.g_sINTCAT, QStringLiteral("2"));
}

// The two settings of the mapping of a load, on by default; the remembered layouts listed and
// forgotten only when confirmed.
void TstLogicaConfig::mapeoAlCargarYMapeosGuardados() {
    Programa p(carpeta());
    p.ejecutar(QStringLiteral("insert into MAPEOS (ENCABEZADOS, ETIQUETAS) values ('code|qty', "
                              "'[ ARTICULO ]\t[ CANTIDAD ]')"));
    p.ejecutar(QStringLiteral("insert into MAPEOS (ENCABEZADOS, ETIQUETAS) values ('d''angelo|x', '\t')"));
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    QVERIFY(l.chkProponerCampos && l.chkRecordarMapeos);
    QCOMPARE(l.lstMapeos.size(), size_t{2});
    QCOMPARE(l.lstMapeos[0].etiquetas,
             (QStringList{QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ CANTIDAD ]")}));

    l.mapeoSeleccionado = 1;
    p.guion.respuestas.enqueue(Respuesta::No);
    l.MAP_Eliminar();
    QCOMPARE(p.guion.mensajes().value(0).texto,
             QStringLiteral("Confirma olvidar el mapeo guardado para los encabezados d'angelo | x"));
    QCOMPARE(l.lstMapeos.size(), size_t{2});
    p.guion.respuestas.enqueue(Respuesta::Si);
    l.MAP_Eliminar();
    QCOMPARE(l.lstMapeos.size(), size_t{1});
    QCOMPARE(l.mapeoSeleccionado, 0);
    QCOMPARE(disposiciones::todas(*p.srv.g_oBase).front().encabezados, QStringLiteral("code|qty"));

    l.chkProponerCampos = false;
    QVERIFY(l.GrabarySalir());
    QVERIFY(!proponerCamposActivo() && recordarMapeosActivo());
}

void TstLogicaConfig::listadoYEliminarRelacion() {
    Programa p(carpeta());
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('MADE IN CHINA','310','2')"));
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('D''ITALIA','315',NULL)"));
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('BRASIL','203','1')"));
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    const QStringList todas{QStringLiteral("BRASIL|203|1"), QStringLiteral("D'ITALIA|315|"),
                            QStringLiteral("MADE IN CHINA|310|2")};
    QCOMPARE(filas(l), todas);
    QCOMPARE(l.relacionSeleccionada, 0);

    // Answered No: nothing deleted.
    l.relacionSeleccionada = 1;
    p.guion.respuestas.enqueue(Respuesta::No);
    l.ORI_Eliminar();
    auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(m[0].texto, QStringLiteral("Confirma eliminar la relación D'ITALIA - 315"));
    QCOMPARE(m[0].icono, Icono::Pregunta);
    QCOMPARE(m[0].botones, Botones::SiNo);
    QCOMPARE(p.org(), todas);
    QCOMPARE(filas(l), todas);

    // Answered Yes: the row with the quote goes, from ORG and from the list.
    p.guion.respuestas.enqueue(Respuesta::Si);
    l.ORI_Eliminar();
    const QStringList quedan{QStringLiteral("BRASIL|203|1"), QStringLiteral("MADE IN CHINA|310|2")};
    QCOMPARE(p.org(), quedan);
    QCOMPARE(filas(l), quedan);
    QCOMPARE(p.guion.mensajes().size(), 2); // the question only, no report

    // The last row selected: the selection moves to the new last row.
    p.guion.respuestas.enqueue(Respuesta::Si);
    l.ORI_Eliminar();
    QCOMPARE(p.org(), QStringList{QStringLiteral("BRASIL|203|1")});
    QCOMPARE(l.relacionSeleccionada, 0);
}

void TstLogicaConfig::fallasDelListadoYDelBorrado() {
    Programa p(carpeta());
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('CHINA','310','2')"));
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    p.ejecutar(QStringLiteral("drop table ORG"));

    p.guion.respuestas.enqueue(Respuesta::Si);
    l.ORI_Eliminar();
    auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 2);
    QCOMPARE(m[1].icono, Icono::Critico);
    QVERIFY2(m[1].texto.startsWith(QStringLiteral("No existe la tabla")), qPrintable(m[1].texto));
    QVERIFY2(m[1].texto.endsWith(QStringLiteral("\r\n\r\n-2147467259")),
             qPrintable(prueba::visible(m[1].texto)));
    QCOMPARE(filas(l), QStringList{QStringLiteral("CHINA|310|2")});

    l.ORI_CargarListado();
    m = p.guion.mensajes();
    QCOMPARE(m.size(), 3);
    QCOMPARE(m[2].icono, Icono::Critico);
    QVERIFY(
        m[2].texto.endsWith(QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmConfig.ORI_CargarListado]")));
    QVERIFY(l.lstRELPAIS.empty());
    QCOMPARE(l.relacionSeleccionada, -1);
    l.ORI_Eliminar(); // on the empty list: nothing asked
    QCOMPARE(p.guion.mensajes().size(), 3);
}

void TstLogicaConfig::nuevaRelacionDesdeConfiguracion() {
    Programa p(carpeta());
    LogicaConfig l(p.srv, p.estado);
    l.Form_Load();
    p.estado.g_sRetorno = QStringLiteral("resto de otra ventana");
    QString valorAlAbrir = QStringLiteral("<sin abrir>");
    p.guion.ventanasRelacionPais.enqueue([&] {
        LogicaRelPais r(p.srv, p.estado);
        r.Form_Load();
        valorAlAbrir = r.txtValor;
        r.txtValor = QStringLiteral("HECHO EN CHINA");
        r.paisSeleccionado = static_cast<int>(r.cboidPais.indexOf(QStringLiteral("310")));
        QVERIFY(r.f_Grabar());
    });
    l.Ori_Nuevo();
    QCOMPARE(valorAlAbrir, QString());
    QCOMPARE(filas(l), QStringList{QStringLiteral("HECHO EN CHINA|310|2")});
    // Closed without saving: the list is refilled all the same.
    p.ejecutar(QStringLiteral("insert into ORG (PAI, ORI, ESM) values ('BRASIL','203','1')"));
    l.Ori_Nuevo();
    QCOMPARE(l.lstRELPAIS.size(), size_t(2));
}

void TstLogicaConfig::relacionDesdeElProceso() {
    Programa p(carpeta());
    p.estado.g_sRetorno = QStringLiteral("MADE IN CHINA");
    p.estado.g_sRetornoESM = QString();
    LogicaRelPais r(p.srv, p.estado);
    r.Form_Load();
    QVERIFY(p.guion.avisos.isEmpty());
    QCOMPARE(r.txtValor, QStringLiteral("MADE IN CHINA"));
    QCOMPARE(p.estado.g_sRetorno, QString());
    QCOMPARE(r.txtESM, QStringLiteral("2"));
    QVERIFY(r.cboPais.size() > 200);
    QCOMPARE(r.cboidPais.size(), r.cboPais.size());
    QCOMPARE(r.paisSeleccionado, 0);
    const auto china = r.cboidPais.indexOf(QStringLiteral("310"));
    QCOMPARE(r.cboPais.at(china), QStringLiteral("CHINA (310)"));
    // In the order of the description: ARGENTINA before BRASIL before CHINA.
    QVERIFY(r.cboPais.indexOf(QStringLiteral("ARGENTINA (200)")) <
            r.cboPais.indexOf(QStringLiteral("BRASIL (203)")));
    QVERIFY(r.cboPais.indexOf(QStringLiteral("BRASIL (203)")) < china);

    r.paisSeleccionado = static_cast<int>(china);
    QVERIFY(r.f_Grabar());
    QCOMPARE(p.org(), QStringList{QStringLiteral("MADE IN CHINA|310|2")});
    QCOMPARE(p.estado.g_sRetorno, QStringLiteral("310"));
    QCOMPARE(p.estado.g_sRetornoESM, QStringLiteral("2"));

    // The goods state is stored trimmed and handed back as typed.
    p.estado.g_sRetorno = QStringLiteral("  HECHO EN BRASIL ");
    LogicaRelPais otra(p.srv, p.estado);
    otra.Form_Load();
    otra.paisSeleccionado = static_cast<int>(otra.cboidPais.indexOf(QStringLiteral("203")));
    otra.txtESM = QStringLiteral(" 3 ");
    QVERIFY(otra.f_Grabar());
    QVERIFY(p.org().contains(QStringLiteral("  HECHO EN BRASIL |203|3")));
    QCOMPARE(p.estado.g_sRetorno, QStringLiteral("203"));
    QCOMPARE(p.estado.g_sRetornoESM, QStringLiteral(" 3 "));
}

void TstLogicaConfig::escNoGuardaNada() {
    Programa p(carpeta());
    p.estado.g_sRetorno = QStringLiteral("CHINA");
    LogicaRelPais r(p.srv, p.estado);
    r.Form_Load();
    r.Cancelar();
    QCOMPARE(p.estado.g_sRetorno, QString());
    QVERIFY(p.org().isEmpty());
}

void TstLogicaConfig::validaciones() {
    Programa p(carpeta());
    LogicaRelPais r(p.srv, p.estado);
    r.Form_Load();
    r.txtValor = QStringLiteral("   ");
    QVERIFY(!r.f_Grabar());
    r.txtValor = QStringLiteral("CHINA");
    r.txtESM = QStringLiteral("  ");
    QVERIFY(!r.f_Grabar());
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 2);
    QCOMPARE(m[0].texto, QStringLiteral("el campo 'Valor origen' no puede estar vacio"));
    QCOMPARE(m[0].icono, Icono::Critico);
    QCOMPARE(m[1].texto, QStringLiteral("El campo Estado de Mercaderia no puede estar vacio"));
    QCOMPARE(m[1].icono, Icono::Critico);
    QVERIFY(p.org().isEmpty());
    QCOMPARE(p.estado.g_sRetorno, QString());
}

void TstLogicaConfig::comillasYDuplicados() {
    Programa p(carpeta());
    LogicaRelPais r(p.srv, p.estado);
    r.Form_Load();
    r.txtValor = QStringLiteral("D'ITALIA");
    r.txtESM = QStringLiteral("1'");
    const QString primerId = r.cboidPais.first();
    QVERIFY(r.f_Grabar());
    QCOMPARE(p.org(), QStringList{QStringLiteral("D'ITALIA|") + primerId + QStringLiteral("|1'")});
    QVERIFY(p.guion.avisos.isEmpty());

    // The same origin text again: a report, nothing handed back, the window stays open.
    p.estado.g_sRetorno = QStringLiteral("D'ITALIA");
    LogicaRelPais otra(p.srv, p.estado);
    otra.Form_Load();
    QVERIFY(!otra.f_Grabar());
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(m[0].icono, Icono::Critico);
    QVERIFY2(m[0].texto.startsWith(QStringLiteral("Ya existe un registro con la misma clave")),
             qPrintable(m[0].texto));
    QVERIFY(m[0].texto.endsWith(QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmRelPais.f_Grabar]")));
    QCOMPARE(p.estado.g_sRetorno, QString());
    QCOMPARE(p.org().size(), 1);
}

void TstLogicaConfig::sinPaisesOTablaPais() {
    Programa p(carpeta());
    p.ejecutar(QStringLiteral("delete from PAIS"));
    LogicaRelPais r(p.srv, p.estado);
    r.Form_Load();
    QVERIFY(r.cboPais.isEmpty());
    QCOMPARE(r.paisSeleccionado, -1);
    r.txtValor = QStringLiteral("CHINA");
    QVERIFY(!r.f_Grabar()); // no relation to an empty country code
    QCOMPARE(p.guion.mensajes().size(), 1);
    QCOMPARE(p.guion.mensajes()[0].texto,
             QStringLiteral("Debe seleccionar un país en 'Pais - Sistema Maria'"));
    QVERIFY(p.org().isEmpty());

    p.ejecutar(QStringLiteral("drop table PAIS"));
    p.estado.g_sRetorno = QStringLiteral("CHINA");
    LogicaRelPais sinTabla(p.srv, p.estado);
    sinTabla.Form_Load();
    QCOMPARE(sinTabla.txtValor, QStringLiteral("CHINA")); // opens with what was filled
    const auto m = p.guion.mensajes();
    QCOMPARE(m.size(), 2);
    QCOMPARE(m[1].icono, Icono::Critico);
    QVERIFY(m[1].texto.endsWith(QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmRelPais.Form_Load]")));
}

QTEST_GUILESS_MAIN(TstLogicaConfig)
#include "tst_logicaconfig.moc"
