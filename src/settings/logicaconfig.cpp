#include "settings/logicaconfig.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"

#include <QLocale>

namespace tarvix {

namespace {

const QString kINTDUN = QStringLiteral("INTDUN");
const QString kINTCAT = QStringLiteral("INTCAT");
const QString kAA_MARCA = QStringLiteral("AA_MARCA");
const QString kPRECIO_UNITARIO = QStringLiteral("PRECIO_UNITARIO");
const QString kINTERNOS = QStringLiteral("INTERNOS");

// The item of the hidden twin at the visible box's index; empty text when nothing is selected.
QString itemGemelo(const QStringList& ids, int indice) {
    return indice >= 0 && indice < ids.size() ? ids.at(indice) : QStringLiteral("");
}

} // namespace

LogicaConfig::LogicaConfig(Servicios& srv, EstadoAsistente& estado) : m_srv(srv), m_estado(estado) {}

void LogicaConfig::Form_Load() {
    txtMarca = configuracion::leer(kAA_MARCA, QStringLiteral(""));
    txtVariacionPrecio = configuracion::leer(kPRECIO_UNITARIO, QStringLiteral("0"));

    m_intdunGuardado = configuracion::leer(kINTDUN, QStringLiteral(""));
    const bool aduana =
        cargarDeAduana(QStringLiteral("select id,descripcion from unidades order by descripcion"),
                       QStringLiteral("id"), false, cboUnidad, cboIdUnidad, unidadSeleccionada,
                       m_intdunGuardado, QStringLiteral("las unidades ni los catálogos"),
                       QStringLiteral("se conservan la unidad y el catálogo ya configurados"));

    m_intcatGuardado = configuracion::leer(kINTCAT, QStringLiteral(""));
    ORI_CargarListado();
    chkProponerCampos = proponerCamposActivo();
    chkRecordarMapeos = recordarMapeosActivo();
    MAP_CargarListado();
    // When the units could not be read the customs database was already reported unreachable.
    if (aduana)
        cargarDeAduana(QStringLiteral("select idcatalogo, descripcion from catalogo order by descripcion"),
                       QStringLiteral("idcatalogo"), true, cboCatalogo, cboIdCatalogo, catalogoSeleccionado,
                       m_intcatGuardado, QStringLiteral("los catálogos"),
                       QStringLiteral("se conserva el catálogo ya configurado"));
}

bool LogicaConfig::cargarDeAduana(const QString& sql, const QString& campoId, bool idEnElTexto,
                                  QStringList& textos, QStringList& ids, int& seleccion,
                                  const QString& recordado, const QString& queFallo,
                                  const QString& queSeConserva) {
    textos.clear();
    ids.clear();
    seleccion = -1;
    try {
        int posicion = -1;
        Recordset rs;
        // The statement is set through one call and run through the next: the manager hands out the
        // same connection for the same entity.
        m_srv.g_oCentral->getDataConnectionByEntity(kINTERNOS).setSql(sql);
        if (m_srv.g_oCentral->getDataConnectionByEntity(kINTERNOS).CrearRs(rs)) {
            while (!rs.Fin()) {
                const QString id = m_srv.g_oFormatos->EsNull(rs.Fields(campoId));
                const QString descripcion =
                    m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("descripcion")));
                if (id == recordado && posicion < 0)
                    posicion = static_cast<int>(ids.size());
                ids << id;
                textos << (idEnElTexto ? u'[' + id + QStringLiteral("] ") + descripcion : descripcion);
                rs.MoveNext();
            }
        }
        if (!textos.isEmpty())
            seleccion = posicion >= 0 ? posicion : 0;
        return true;
    } catch (const VbError& e) {
        textos.clear();
        ids.clear();
        seleccion = -1;
        avisarAduana(e, queFallo, queSeConserva);
        return false;
    }
}

void LogicaConfig::avisarAduana(const VbError& e, const QString& queFallo, const QString& queSeConserva) {
    m_srv.interaccion().mensaje(
        QStringLiteral("No se pudieron leer ") + queFallo +
            QStringLiteral(" de la base de datos del sistema aduanero (entidad INTERNOS). Al "
                           "cerrar con [ESC] ") +
            queSeConserva +
            QStringLiteral("; la marca, el % de variación de precio y las "
                           "relaciones de países pueden modificarse.\r\n\r\n") +
            informeCorto(e, QStringLiteral("frmConfig.Form_Load")),
        Icono::Critico);
}

bool LogicaConfig::GrabarySalir() {
    // The percentage is checked before anything is saved: a text that is no number keeps the window
    // open with every setting as it was.
    double porcentaje = 0;
    if (!vb::EsNumero(txtVariacionPrecio, &porcentaje)) {
        m_srv.interaccion().mensaje(
            QStringLiteral("El % de variación de precio debe ser un número (por ejemplo %1). "
                           "No se guardó ningún cambio.")
                .arg(QLocale().toString(12.5)),
            Icono::Exclamacion);
        return false;
    }
    // A list that could not be filled keeps the value stored before.
    const QString intcat =
        cboIdCatalogo.isEmpty() ? m_intcatGuardado : itemGemelo(cboIdCatalogo, catalogoSeleccionado);
    m_estado.g_sINTCAT = intcat;
    bool grabado = configuracion::guardar(kINTCAT, intcat);

    const QString intdun =
        cboIdUnidad.isEmpty() ? m_intdunGuardado : itemGemelo(cboIdUnidad, unidadSeleccionada);
    m_estado.g_sINTDUN = intdun;
    grabado = configuracion::guardar(kINTDUN, intdun) && grabado;

    m_estado.g_sAA_MARCA = txtMarca;
    grabado = configuracion::guardar(kAA_MARCA, txtMarca) && grabado;

    grabado = configuracion::guardar(kPRECIO_UNITARIO, vb::CStr(porcentaje)) && grabado;
    grabado = configuracion::guardar(QString::fromLatin1(kProponerCampos),
                                     chkProponerCampos ? QStringLiteral("1") : QStringLiteral("0")) &&
              grabado;
    grabado = configuracion::guardar(QString::fromLatin1(kRecordarMapeos),
                                     chkRecordarMapeos ? QStringLiteral("1") : QStringLiteral("0")) &&
              grabado;
    // The window still closes (only [ESC] closes it): the values rule until the program ends.
    if (!grabado)
        m_srv.interaccion().mensaje(
            QStringLiteral("No se pudo guardar la configuración en ") + configuracion::ubicacion() +
                QStringLiteral(": la carpeta no admite escritura o el disco está lleno. Los valores "
                               "elegidos rigen solo hasta cerrar el programa."),
            Icono::Critico);
    return true;
}

void LogicaConfig::ORI_CargarListado() {
    lstRELPAIS.clear();
    relacionSeleccionada = -1;
    try {
        Recordset rs;
        m_srv.g_oBase->setSql(QStringLiteral("select * from ORG order by PAI"));
        if (m_srv.g_oBase->CrearRs(rs)) {
            while (!rs.Fin()) {
                lstRELPAIS.push_back({m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("PAI"))),
                                      m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("ORI"))),
                                      m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("ESM")))});
                rs.MoveNext();
            }
        }
    } catch (const VbError& e) {
        m_srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmConfig.ORI_CargarListado")),
                                    Icono::Critico);
    }
    if (!lstRELPAIS.empty())
        relacionSeleccionada = 0;
}

void LogicaConfig::Ori_Nuevo() {
    // The relation window opens with an empty "Valor origen".
    m_estado.g_sRetorno = QStringLiteral("");
    m_srv.interaccion().relacionPais();
    ORI_CargarListado();
}

void LogicaConfig::ORI_Eliminar() {
    if (relacionSeleccionada < 0 || relacionSeleccionada >= static_cast<int>(lstRELPAIS.size()))
        return;
    const auto fila = static_cast<size_t>(relacionSeleccionada);
    const Relacion r = lstRELPAIS[fila];
    try {
        if (m_srv.interaccion().mensaje(QStringLiteral("Confirma eliminar la relación ") + r.pai +
                                            QStringLiteral(" - ") + r.ori,
                                        Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
            return;
        m_srv.g_oBase->setSql(QStringLiteral("delete from ORG where PAI = '") + vb::DoblarComillas(r.pai) +
                              QStringLiteral("' and ORI = '") + vb::DoblarComillas(r.ori) + u'\'');
        if (m_srv.g_oBase->Ejecutar() > 0) {
            lstRELPAIS.erase(lstRELPAIS.begin() + relacionSeleccionada);
            if (lstRELPAIS.empty())
                relacionSeleccionada = -1;
            else if (relacionSeleccionada >= static_cast<int>(lstRELPAIS.size()))
                relacionSeleccionada = static_cast<int>(lstRELPAIS.size()) - 1;
        }
    } catch (const VbError& e) {
        m_srv.interaccion().mensaje(informeSinEtiqueta(e), Icono::Critico);
    }
}

void LogicaConfig::MAP_CargarListado() {
    lstMapeos.clear();
    mapeoSeleccionado = -1;
    try {
        lstMapeos = disposiciones::todas(*m_srv.g_oBase);
    } catch (const VbError& e) {
        m_srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmConfig.MAP_CargarListado")),
                                    Icono::Critico);
    }
    if (!lstMapeos.empty())
        mapeoSeleccionado = 0;
}

void LogicaConfig::MAP_Eliminar() {
    if (mapeoSeleccionado < 0 || mapeoSeleccionado >= static_cast<int>(lstMapeos.size()))
        return;
    const QString clave = lstMapeos[static_cast<size_t>(mapeoSeleccionado)].encabezados;
    try {
        if (m_srv.interaccion().mensaje(
                QStringLiteral("Confirma olvidar el mapeo guardado para los encabezados ") +
                    QString(clave).replace(u'|', QStringLiteral(" | ")),
                Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
            return;
        disposiciones::olvidar(*m_srv.g_oBase, clave);
    } catch (const VbError& e) {
        m_srv.interaccion().mensaje(informeSinEtiqueta(e), Icono::Critico);
        return;
    }
    const int antes = mapeoSeleccionado;
    MAP_CargarListado();
    if (!lstMapeos.empty())
        mapeoSeleccionado = std::min(antes, static_cast<int>(lstMapeos.size()) - 1);
}

} // namespace tarvix
