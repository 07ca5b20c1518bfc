#include "app/controladorprincipal.h"

#include "components/archivos.h"
#include "components/central.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "data/basesdedatos.h"
#include "data/comparaciontablas.h"
#include "data/conexionaduana.h"
#include "data/rutas.h"
#include "data/versiones.h"
#include "intake/carga/disposiciones.h"

namespace tarvix {

ControladorPrincipal::ControladorPrincipal(Servicios& srv, EstadoAsistente& estado, QObject* parent)
    : QObject(parent), m_srv(srv), m_estado(estado) {}

ControladorPrincipal::~ControladorPrincipal() = default;

QString ControladorPrincipal::numeroVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(TARVIX_VERSION_MAJOR)
        .arg(TARVIX_VERSION_MINOR)
        .arg(TARVIX_VERSION_PATCH);
}

QString ControladorPrincipal::lineaVersion() {
    return QStringLiteral("Versión: %1 - %2").arg(numeroVersion(), QStringLiteral(TARVIX_FILE_DESCRIPTION));
}

void ControladorPrincipal::setMensaje(const QString& texto) {
    Main_lbMensaje = texto;
    notificar();
}

void ControladorPrincipal::habilitarSiguiente(bool habilitado, const QString& tag) {
    cmdSiguienteEnabled = habilitado;
    cmdSiguienteTag = tag;
    notificar();
}

void ControladorPrincipal::Form_Load(const QString& carpetaDatos) {
    int linea = 0;
    try {
        linea = 10;
        m_base = std::make_unique<Velno::clBase>();
        m_srv.g_oBase = m_base.get();
        linea = 20;
        m_formatos = std::make_unique<Mesquel::Formatos>();
        m_srv.g_oFormatos = m_formatos.get();
        linea = 30;
        m_archivos = std::make_unique<Pindra::Archivos>(&m_srv.interaccion());
        m_srv.g_oArchivos = m_archivos.get();
        linea = 40;
        m_central = std::make_unique<Trelvan::Central>();
        m_srv.g_oCentral = m_central.get();
        QString ini = rutas::iniEntidades(carpetaDatos);
        try {
            ini = bases::prepararAduanaPorDefecto(carpetaDatos);
        } catch (const VbError& e) {
            // Without the embedded customs database the program still starts; the first use of
            // an entity reports that it is not defined.
            m_srv.interaccion().mensaje(informeNumerado(e, QStringLiteral("frmMain.Form_Load"), linea));
        }
        bases::actualizarComparacion(rutas::baseAduana(carpetaDatos));
        m_central->LoadParameters(ini);
        m_carpetaDatos = carpetaDatos;
        baseDemostracion = conexion::usaDemostracion(carpetaDatos);
        linea = 50;
        lbVersion = lineaVersion();
        linea = 60;
        const QString ruta = rutas::baseTrabajo(carpetaDatos);
        bases::crearBaseTrabajoSiFalta(ruta);
        m_base->setCadenaConexion(QStringLiteral("Driver=QSQLITE;Data Source=") + ruta);
        m_base->Conectar();
        bases::asegurarIndicesTrabajo(*m_base);
        linea = 70;
        ActualizarTablaART();
        bases::actualizarComparacion(*m_base);
        linea = 80;
        FRAM1_CargarInternos();
        linea = 90;
        cargarConfiguracion();
        linea = 100;
        m_estado.g_iPaso = 1;
    } catch (const VbError& e) {
        notificar();
        m_srv.interaccion().mensaje(informeNumerado(e, QStringLiteral("frmMain.Form_Load"), linea));
        return;
    }
    notificar();
}

void ControladorPrincipal::actualizarBaseDemostracion() {
    baseDemostracion = !m_carpetaDatos.isEmpty() && conexion::usaDemostracion(m_carpetaDatos);
    notificar();
}

void ControladorPrincipal::cargarConfiguracion() {
    m_estado.g_sINTDUN = configuracion::leer(QStringLiteral("INTDUN"), QString());
    m_estado.g_sINTCAT = configuracion::leer(QStringLiteral("INTCAT"), QString());
    m_estado.g_sAA_MARCA = configuracion::leer(QStringLiteral("AA_MARCA"), QString());
}

void ControladorPrincipal::ActualizarTablaART() {
    // A database that already has a column refuses the statement; the failure is dropped.
    for (const QString& sql : {QStringLiteral("Alter table ART add column OTROS varchar(250)"),
                               QStringLiteral("Alter table ART add column CODIGOCIP varchar(250)")}) {
        try {
            m_srv.g_oBase->setSql(sql);
            m_srv.g_oBase->Ejecutar();
        } catch (const VbError&) {
        }
    }
    // The mappings remembered per header layout.
    try {
        disposiciones::crearTabla(*m_srv.g_oBase);
    } catch (const VbError&) {
    }
    // The versions of the lines that "Deshacer" goes back to.
    try {
        versiones::crearTabla(*m_srv.g_oBase);
    } catch (const VbError&) {
    }
}

void ControladorPrincipal::FRAM1_CargarInternos() {
    internos.clear();
    internoSeleccionado = -1;
    try {
        Recordset rs;
        m_srv.g_oBase->setSql(QStringLiteral("select * from INTN order by INTNRO"));
        if (m_srv.g_oBase->CrearRs(rs)) {
            while (!rs.Fin()) {
                internos.push_back({m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("INTNRO"))),
                                    m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("INTDSC")))});
                rs.MoveNext();
            }
        }
    } catch (const VbError& e) {
        m_srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmMain.FRAM1_CargarInternos")),
                                    Icono::Critico);
    }
    if (!internos.empty())
        internoSeleccionado = 0;
    notificar();
    emit enfocarListaInternos();
}

void ControladorPrincipal::seleccionarInterno(int fila) {
    if (fila >= 0 && fila < static_cast<int>(internos.size()))
        internoSeleccionado = fila;
}

void ControladorPrincipal::FRAM1_Enter() {
    if (!internos.empty())
        MAIN_CambiarPaso();
}

void ControladorPrincipal::FRAM1_DespuesDeNuevoInterno() {
    if (!m_estado.g_bInternoCreado)
        return;
    FRAM1_CargarInternos();
    // Enter goes on with the interno just created, not with the one selected before.
    for (size_t i = 0; i < internos.size(); ++i)
        if (internos[i].nro == m_estado.g_sInternoCreado) {
            internoSeleccionado = static_cast<int>(i);
            notificar();
            break;
        }
}

void ControladorPrincipal::FRAM1_EliminarInterno() {
    if (internos.empty() || internoSeleccionado < 0)
        return;
    const int fila = internoSeleccionado;
    const QString interno = internos[static_cast<size_t>(fila)].nro;
    try {
        if (m_srv.interaccion().mensaje(QStringLiteral("Desea eliminar el Interno ") + interno + u'?',
                                        Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
            return;
        m_srv.g_oBase->setSql(QStringLiteral("delete from ART where INTNRO = '") +
                              vb::DoblarComillas(interno) + u'\'');
        m_srv.g_oBase->Ejecutar();
        m_srv.g_oBase->setSql(QStringLiteral("delete from INTN where INTNRO = '") +
                              vb::DoblarComillas(interno) + u'\'');
        if (m_srv.g_oBase->Ejecutar() > 0) {
            versiones::olvidar(*m_srv.g_oBase, interno);
            internos.erase(internos.begin() + fila);
            if (internos.empty())
                internoSeleccionado = -1;
            else if (internoSeleccionado >= static_cast<int>(internos.size()))
                internoSeleccionado = static_cast<int>(internos.size()) - 1;
            notificar();
        }
    } catch (const VbError& e) {
        m_srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmMain.EliminarInterno")),
                                    Icono::Critico);
    }
}

void ControladorPrincipal::MAIN_CambiarPaso() {
    int linea = 0;
    try {
        switch (m_estado.g_iPaso) {
        case 1: {
            linea = 10;
            if (internos.empty()) {
                m_srv.interaccion().mensaje(
                    QStringLiteral(
                        "Debe seleccionar un interno para continuar, presione [ INSERT ] para crear uno."),
                    Icono::Exclamacion, Botones::Aceptar);
                return;
            }
            linea = 20;
            {
                const auto& elegido = internos[static_cast<size_t>(std::max(0, internoSeleccionado))];
                m_estado.g_sInterno = elegido.nro;
                m_estado.descripcionInterno = elegido.dsc;
            }
            entrarPaso2(linea);
            break;
        }
        case 2: {
            linea = 10;
            setMensaje(QString());
            linea = 20;
            if (cmdSiguienteTag != u"OK") {
                linea = 30;
                if (m_carga && !m_carga->FRAM2_VerificarDatos())
                    return;
                linea = 40;
                if (m_carga && !m_carga->FRAM2_GuardarDatosToBase())
                    return;
            }
            linea = 50;
            fram2Habilitado = false;
            marcoAlFrente = 3;
            lbPasoNro = QStringLiteral("Paso 3");
            lbPasoDesc = QStringLiteral("Depuración de Datos procesadoss");
            notificar();
            linea = 60;
            if (m_resultados)
                m_resultados->FRAM3_CargarEstadisticas();
            linea = 70;
            cmdSiguienteCaption = QStringLiteral("Transferir");
            cmdSiguienteNegrita = true;
            cmdAnteriorVisible = true;
            m_estado.g_iPaso = 3;
            notificar();
            break;
        }
        case 3:
            linea = 10;
            if (m_resultados)
                m_resultados->FRM3_Tranferir();
            break;
        default:
            break;
        }
    } catch (const VbError& e) {
        notificar();
        m_srv.interaccion().mensaje(informeNumerado(e, QStringLiteral("frmMain.MAIN_CambiarPaso"), linea));
    }
}

void ControladorPrincipal::entrarPaso2(int& linea) {
    m_estado.g_iPaso = 2;
    fram1Habilitado = false;
    fram2Habilitado = true;
    marcoAlFrente = 2;
    cmdSiguienteEnabled = false;
    cmdSiguienteCaption = QStringLiteral("Siguiente >");
    cmdSiguienteNegrita = false;
    cmdAnteriorVisible = true;
    lbPasoNro = QStringLiteral("Paso 2");
    lbPasoDesc = QStringLiteral("Abrir archivo excel para procesar");
    lbInterno = m_estado.rotuloInterno();
    notificar();
    linea = 30;
    Recordset rs;
    m_srv.g_oBase->setSql(QStringLiteral("select count(INTNRO) as Total from ART where INTNRO = '") +
                          vb::DoblarComillas(m_estado.g_sInterno) + u'\'');
    linea = 40;
    if (m_srv.g_oBase->CrearRs(rs)) {
        linea = 50;
        if (m_srv.g_oFormatos->EsNumero(rs.Fields(QStringLiteral("Total"))) > 0) {
            cmdSiguienteEnabled = true;
            setMensaje(
                QStringLiteral("Este interno contiene registros haga click en SIGUIENTE, para depurar."));
            cmdSiguienteTag = QStringLiteral("OK");
        } else {
            cmdSiguienteTag.clear();
        }
    }
    notificar();
}

void ControladorPrincipal::MAIN_PasoAnterior() {
    int linea = 0;
    try {
        switch (m_estado.g_iPaso) {
        case 3:
            linea = 10;
            setMensaje(QString());
            entrarPaso2(linea);
            break;
        case 2: {
            linea = 10;
            m_estado.g_iPaso = 1;
            fram1Habilitado = true;
            fram2Habilitado = true;
            marcoAlFrente = 1;
            cmdSiguienteEnabled = true;
            cmdSiguienteCaption = QStringLiteral("Siguiente >");
            cmdSiguienteNegrita = false;
            cmdSiguienteTag.clear();
            cmdAnteriorVisible = false;
            lbPasoNro = QStringLiteral("Paso 1");
            lbPasoDesc = QStringLiteral("Seleccione el interno a procesar");
            lbInterno.clear();
            Main_lbMensaje.clear();
            linea = 20;
            // The list is read again (another station may have added internos) and keeps the one
            // just worked on selected.
            const QString anterior = m_estado.g_sInterno;
            FRAM1_CargarInternos();
            for (size_t i = 0; i < internos.size(); ++i)
                if (internos[i].nro == anterior) {
                    internoSeleccionado = static_cast<int>(i);
                    break;
                }
            notificar();
            emit enfocarListaInternos();
            break;
        }
        default:
            break;
        }
    } catch (const VbError& e) {
        notificar();
        m_srv.interaccion().mensaje(informeNumerado(e, QStringLiteral("frmMain.MAIN_PasoAnterior"), linea));
    }
}

void ControladorPrincipal::MAIN_Deshacer() {
    if (m_estado.g_iPaso != 2 && m_estado.g_iPaso != 3)
        return;
    try {
        const auto deshecho = versiones::deshacer(*m_srv.g_oBase, m_estado.g_sInterno);
        if (!deshecho) {
            setMensaje(QStringLiteral("No hay cambios para deshacer en el interno ") + m_estado.g_sInterno);
            return;
        }
        if (m_estado.g_iPaso == 3 && m_resultados) {
            m_resultados->FRAM3_CargarEstadisticas();
        } else if (m_estado.g_iPaso == 2 && !cmdSiguienteEnabled && deshecho->lineas > 0) {
            // Back to lines stored (a run that failed): "Siguiente >" goes on to review them.
            cmdSiguienteEnabled = true;
            cmdSiguienteTag = QStringLiteral("OK");
        }
        setMensaje(versiones::textoDeshecho(*deshecho));
    } catch (const VbError& e) {
        notificar();
        m_srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmMain.MAIN_Deshacer")), Icono::Critico);
    }
}

bool NuevoInterno(Servicios& srv, EstadoAsistente& estado, const QString& txtInterno,
                  QString& txtDescripcion) {
    try {
        if (vb::Trim(txtInterno).isEmpty()) {
            srv.interaccion().mensaje(QStringLiteral("Debe ingresar el número interno"), Icono::Exclamacion);
            return false;
        }
        if (vb::Trim(txtDescripcion).isEmpty())
            txtDescripcion = txtInterno;
        srv.g_oBase->setSql(QStringLiteral("insert into INTN (INTNRO, INTDSC) values (") + u'\'' +
                            vb::ComillasABlancos(txtInterno) + QStringLiteral("',") + u'\'' +
                            vb::ComillasABlancos(txtDescripcion) + QStringLiteral("')"));
        if (srv.g_oBase->Ejecutar() > 0) {
            estado.g_bInternoCreado = true;
            estado.g_sInternoCreado = vb::ComillasABlancos(txtInterno);
        }
        return true;
    } catch (const VbError& e) {
        srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmInterno.NuevoInterno")), Icono::Critico);
        return false;
    }
}

} // namespace tarvix
