#include "programa.h"

#include "components/central.h"
#include "components/configuracion.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "intake/carga/disposiciones.h"
#include "review/modificar_logica.h"
#include "settings/logicarelpais.h"
#include "testsupport.h"

#include <QFile>
#include <QTextStream>

namespace prueba {

using namespace tarvix;

void ProgresoGrabado::mensaje(const QString& texto) {
    mensajes << texto;
    if (!fallarEn.isEmpty() && texto == fallarEn)
        throw VbError(424, QStringLiteral("Pantalla"), QStringLiteral("Se requiere un objeto"));
}

void ProgresoGrabado::barraValor(int v) {
    valor = v;
    ++pasos;
    if (alAvanzar)
        alAvanzar(v);
}

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

QList<QVariantMap> filas(Velno::clBase& base, const QString& sql) {
    // The statement set on the connection stays the one its next result runs.
    const QString anterior = base.Sql();
    Recordset rs = Programa::consultar(base, sql);
    base.setSql(anterior);
    QList<QVariantMap> r;
    for (; !rs.Fin(); rs.MoveNext()) {
        QVariantMap fila;
        for (int i = 0; i < rs.Columnas().size(); ++i)
            fila.insert(rs.Columnas().at(i).toLower(), rs.Fields(i));
        r << fila;
    }
    return r;
}

Programa::Programa() : Programa(Opciones{}) {}

Programa::Programa(const Opciones& o) {
    if (o.aislar)
        aislarConfiguracion();
    if (o.mapeoAlCargar) {
        configuracion::guardar(QString::fromLatin1(kProponerCampos), QStringLiteral("1"));
        configuracion::guardar(QString::fromLatin1(kRecordarMapeos), QStringLiteral("1"));
    } else if (o.aislar) {
        // Settings of the test's own are left as the test made them.
        sinMapeoAlCargar();
    }
    if (!o.catalogo.isNull())
        configuracion::guardar(QStringLiteral("INTCAT"), o.catalogo);
    if (!o.unidad.isNull())
        configuracion::guardar(QStringLiteral("INTDUN"), o.unidad);
    if (o.carpeta.isEmpty()) {
        m_dir = std::make_unique<QTemporaryDir>();
        m_carpeta = m_dir->path();
    } else {
        m_carpeta = o.carpeta;
    }
    if (o.servidor)
        escribirIni(m_carpeta, *o.servidor);
    srv.setInteraccion(&guion);
    srv.setProgreso(&progreso);
    if (o.pasos) {
        m_asistente = std::make_unique<Asistente>(srv, estado);
        c = &m_asistente->principal();
    } else {
        m_solo = std::make_unique<ControladorPrincipal>(srv, estado);
        c = m_solo.get();
    }
    c->Form_Load(m_carpeta);
}

Programa::~Programa() = default;

Asistente& Programa::asistente() {
    if (!m_asistente)
        qFatal("programa de prueba sin los pasos 2 y 3");
    return *m_asistente;
}

ControladorPaso2& Programa::paso2() {
    if (!m_asistente)
        qFatal("programa de prueba sin los pasos 2 y 3");
    return m_asistente->paso2();
}

ControladorPaso3& Programa::paso3() {
    if (!m_asistente)
        qFatal("programa de prueba sin los pasos 2 y 3");
    return m_asistente->paso3();
}

Velno::clBase& Programa::aduana() {
    return srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS"));
}

Velno::clBase& Programa::ncm() {
    return srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("NCM"));
}

void Programa::ejecutar(Velno::clBase& base, const QString& sql) {
    base.setSql(sql);
    base.Ejecutar();
}

Recordset Programa::consultar(Velno::clBase& base, const QString& sql) {
    Recordset rs;
    base.setSql(sql);
    base.CrearRs(rs);
    return rs;
}

QString Programa::valor(Velno::clBase& base, const QString& sql) {
    const Recordset rs = consultar(base, sql);
    if (rs.Fin())
        return QStringLiteral("<sin fila>");
    const QVariant v = rs.Fields(0);
    return v.isNull() ? QString() : v.toString();
}

void Programa::ejecutarAduana(const QString& sql) {
    aduana().EjecutarDirecto(sql);
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

QStringList Programa::mensajes() const {
    QStringList r;
    for (const auto& a : guion.mensajes())
        r << a.texto;
    return r;
}

QStringList Programa::mensajesNuevos() {
    QStringList r;
    for (; m_mensajesVistos < guion.avisos.size(); ++m_mensajesVistos)
        if (guion.avisos.at(m_mensajesVistos).tipo == InteraccionGuionada::Aviso::Tipo::Mensaje)
            r << guion.avisos.at(m_mensajesVistos).texto;
    return r;
}

} // namespace prueba
