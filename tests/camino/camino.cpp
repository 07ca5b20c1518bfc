#include "camino.h"

#include "components/central.h"
#include "components/configuracion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "pipeline/proceso.h"
#include "review/modificar_logica.h"
#include "settings/logicarelpais.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTextStream>

using namespace tarvix;

namespace camino {

void escribirIni(const QString& carpeta, const Velno::ParametrosConexion& p) {
    QFile f(carpeta + QStringLiteral("/entidades.ini"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("no se puede escribir %s", qPrintable(f.fileName()));
    QTextStream s(&f);
    for (const char* entidad : {"NCM", "INTERNOS"}) {
        s << '[' << entidad << "]\n"
          << "driver=" << p.driver << '\n'
          << "host=" << p.host << '\n'
          << "port=" << p.puerto << '\n'
          << "database=" << p.baseDeDatos << '\n'
          << "user=" << p.usuario << '\n'
          << "password=" << p.clave << '\n';
        const std::pair<const char*, int> limites[] = {{"tiempo_conexion", p.tiempoConexion},
                                                       {"tiempo_sentencia", p.tiempoSentencia},
                                                       {"tiempo_bloqueo", p.tiempoBloqueo}};
        for (const auto& [clave, segundos] : limites)
            if (segundos >= 0)
                s << clave << '=' << segundos << '\n';
        s << '\n';
    }
}

QString nombrePropio(const QString& prefijo) {
    return prefijo + QString::number(QCoreApplication::applicationPid());
}

bool clusterDePrueba(const QString& accion) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"), {QStringLiteral(TARVIX_SOURCE_DIR "/tools/pg_prueba.sh"), accion,
                                     qEnvironmentVariable("TARVIX_PG_CARPETA")});
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("pg_prueba.sh %s: %s", qPrintable(accion), p.readAll().constData());
        return false;
    }
    return true;
}

QList<QVariantMap> filas(Velno::clBase& base, const QString& sql) {
    Recordset rs;
    base.setSql(sql);
    base.CrearRs(rs);
    QList<QVariantMap> r;
    for (; !rs.Fin(); rs.MoveNext()) {
        QVariantMap fila;
        for (int i = 0; i < rs.Columnas().size(); ++i)
            fila.insert(rs.Columnas().at(i).toLower(), rs.Fields(i));
        r << fila;
    }
    return r;
}

Programa::Programa(const std::optional<Velno::ParametrosConexion>& servidor, const QString& catalogo) {
    prueba::aislarConfiguracion();
    configuracion::guardar(QStringLiteral("INTCAT"), catalogo);
    configuracion::guardar(QStringLiteral("INTDUN"), QStringLiteral("07"));
    if (servidor)
        escribirIni(m_dir.path(), *servidor);
    srv.setInteraccion(&guion);
    srv.setProgreso(&progreso);
    m_asistente = std::make_unique<Asistente>(srv, estado);
    principal().Form_Load(m_dir.path());
}

Programa::~Programa() = default;

// Correct article lines of the current interno, ready to transfer.
void lineasCorrectas(Programa& p, int cuantas) {
    p.trabajo(QStringLiteral("insert into INTN (INTNRO, INTDSC) values (") +
              vb::SqlTexto(p.estado.g_sInterno) + QStringLiteral(", 'fallas')"));
    p.trabajo(QStringLiteral(
                  "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, ARTKGU, "
                  "ARTORG, PROCEDENCIA, FECHA_EMBARQUE, FECHA_ARRIBO, MARCA, MODELO, OTROS, CODIGOCIP, "
                  "ARTDSCMARIA, PRCNCM, PRCSUF, PRCLAP, PRCDUN, PRCCAN, PRCEUN, PRCECA, PRCSCA, PRCESM, "
                  "PRCORI, PRCEST, PRCCRC) with recursive n(i) as (select 1 union all select i + 1 from n "
                  "where i < %1) select %2, i, 'F-' || i, 'ARTICULO D''ANGELO ' || i, 2, 1.5, 3, 0.5, "
                  "'310', '310', '10/05/2024', '21/06/2024', 'ACME', 'F-' || i, '', '', 'MARIA', "
                  "'8301.10.00.000P', 'AA(ACME)-', 'N', '07', 2, '07', 2, 0, '2', '310', 'A', 'OK' "
                  "from n")
                  .arg(cuantas)
                  .arg(vb::SqlTexto(p.estado.g_sInterno)));
}

bool Programa::crearYElegirInterno(const QString& nro) {
    QString descripcion = QStringLiteral("factura de ejemplo");
    if (!NuevoInterno(srv, estado, nro, descripcion))
        return false;
    principal().FRAM1_DespuesDeNuevoInterno();
    for (size_t i = 0; i < principal().internos.size(); ++i)
        if (principal().internos[i].nro == nro)
            principal().seleccionarInterno(static_cast<int>(i));
    principal().MAIN_CambiarPaso();
    return estado.g_iPaso == 2 && estado.g_sInterno == nro;
}

void Programa::abrirFactura(const QString& ruta) {
    guion.archivos.enqueue(ruta);
    paso2().FRAM2_CmdProcesar_Click();
}

void Programa::establecerCampo(int columna, const QString& etiqueta) {
    paso2().grilla().setRow(paso2().grilla().Rows() - 1);
    paso2().grilla().setCol(columna);
    guion.ventanasCampo.enqueue([this, etiqueta] { estado.g_sRetorno = etiqueta; });
    paso2().FRAM2_Grid_KeyDown(ControladorPaso2::vbKeyF1);
}

void Programa::responderRelaciones(int cuantas, const QHash<QString, QString>& paises) {
    for (int i = 0; i < cuantas; ++i) {
        guion.ventanasRelacionPais.enqueue([this, paises] {
            LogicaRelPais ventana(srv, estado);
            ventana.Form_Load();
            ventana.paisSeleccionado = ventana.cboidPais.indexOf(paises.value(ventana.txtValor));
            ventana.f_Grabar();
        });
    }
}

bool Programa::corregirLinea(int artord, const QString& posicion) {
    LogicaModificar editor(srv, estado);
    editor.abrir(artord);
    editor.Form_Activate();
    editor.txtPRCNCM.Text = posicion;
    if (editor.txtPRCNCM_Enter())
        return false; // the lookup window would open: not a full position
    return editor.GrabarDatos();
}

void Programa::trabajo(const QString& sql) {
    srv.g_oBase->setSql(sql);
    srv.g_oBase->Ejecutar();
}

void Programa::aduana(const QString& sql) {
    srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS")).EjecutarDirecto(sql);
}

QList<QVariantMap> Programa::filasTrabajo(const QString& sql) {
    return filas(*srv.g_oBase, sql);
}

QList<QVariantMap> Programa::filasAduana(const QString& sql) {
    return filas(srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS")), sql);
}

Limpieza::Limpieza(Programa& p, QString catalogo, QStringList internos)
    : m_p(p), m_catalogo(std::move(catalogo)), m_internos(std::move(internos)) {
    borrar();
}

void Limpieza::borrar() {
    const auto borrarTodo = [this] {
        for (const QString& i : m_internos) {
            m_p.aduana(QStringLiteral("delete from subitems where interno = ") + vb::SqlTexto(i));
            m_p.aduana(QStringLiteral("delete from caratula where interno = ") + vb::SqlTexto(i));
        }
        if (m_catalogo != u"1")
            m_p.aduana(QStringLiteral("delete from catarticulos where idcatalogo = ") +
                       vb::SqlTexto(m_catalogo));
    };
    try {
        borrarTodo();
    } catch (const VbError&) {
        // A case that failed may leave the connection lost: once more on a new one.
        try {
            m_p.srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS")).Conectar();
            borrarTodo();
        } catch (const VbError& e) {
            qWarning("no se pudo limpiar el servidor: %s", qPrintable(e.descripcion()));
        }
    }
}

InternoDePrueba::InternoDePrueba(const Velno::ParametrosConexion& pg, const QString& prefijo, int lineas)
    : prog(pg), interno(nombrePropio(prefijo)), catalogo(nombrePropio(prefijo.left(1))),
      limpieza(prog, catalogo, {interno}) {
    prog.estado.g_sInterno = interno;
    prog.estado.g_sINTCAT = catalogo;
    lineasCorrectas(prog, lineas);
}

QStringList Programa::mensajesNuevos() {
    QStringList r;
    for (; m_mensajesVistos < guion.avisos.size(); ++m_mensajesVistos)
        if (guion.avisos.at(m_mensajesVistos).tipo == InteraccionGuionada::Aviso::Tipo::Mensaje)
            r << guion.avisos.at(m_mensajesVistos).texto;
    return r;
}

} // namespace camino
