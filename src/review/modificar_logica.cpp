#include "review/modificar_logica.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/formatos.h"
#include "components/sufijos.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "data/versiones.h"
#include "review/posicion_logica.h"
#include "review/sufijos_dialogo.h"
#include "transfer/largos.h"

namespace tarvix {

using vb::DoblarComillas;
using vb::Format;
using vb::Trim;

namespace {
const QString k00 = QStringLiteral("00");
const QString k0000 = QStringLiteral("00.00");
} // namespace

LogicaModificar::LogicaModificar(Servicios& srv, EstadoAsistente& estado)
    : m_srv(srv), m_estado(estado), m_espera(&srv.interaccion()) {}

void LogicaModificar::abrir(int artord) {
    Tag = Format(artord, QStringLiteral("0000"));
}

void LogicaModificar::aviso(const QString& texto, Icono icono) {
    m_srv.interaccion().mensaje(texto, icono);
}

bool LogicaModificar::esNumero(const QString& texto) const {
    return vb::EsNumero(texto);
}

double LogicaModificar::numero(const QString& texto) const {
    return m_srv.g_oFormatos->EsNumero(texto);
}

QString LogicaModificar::numeroSql(const QString& texto) const {
    return vb::NumeroSql(numero(texto));
}

void LogicaModificar::Form_Activate() {
    if (cargado)
        return;
    cargado = true;
    CargarDatos();
}

void LogicaModificar::CargarDatos() {
    int paso = 1;
    try {
        Velno::clBase& base = *m_srv.g_oBase;
        const Mesquel::Formatos& f = *m_srv.g_oFormatos;
        base.setSql(QStringLiteral("select * from ART where INTNRO = '") +
                    DoblarComillas(m_estado.g_sInterno) + QStringLiteral("' and ARTORD = ") + Tag);
        Recordset rs;
        if (!base.CrearRs(rs))
            return;
        const auto campo = [&rs](const char* nombre) { return rs.Fields(QString::fromLatin1(nombre)); };
        paso = 2;
        txtARTNRO.Text = f.EsNull(campo("ARTNRO"));
        txtARTDSC.Text = f.EsNull(campo("ARTDSC"));
        txtARTORG.Text = f.EsNull(campo("ARTORG"));
        paso = 3;
        txtARTCAN.Text = Format(f.EsNumero(campo("ARTCAN")), k0000);
        txtARTUNI.Text = Format(f.EsNumero(campo("ARTUNI")), k0000);
        txtARTTOT.Text = Format(f.EsNumero(campo("ARTTOT")), k0000);
        paso = 4;
        txtPRCNCM.Text = f.EsNull(campo("PRCNCM"));
        txtPRCSUF.Text = f.EsNull(campo("PRCSUF"));
        paso = 5;
        txtPRCCAN.Text = Format(f.EsNumero(campo("PRCCAN")), k0000);
        paso = 6;
        txtARTNAD.Text = Trim(f.EsNull(campo("ARTNAD")));
        paso = 7;
        if (txtPRCNCM.Text.isEmpty())
            txtPRCNCM.Text = txtARTNAD.Text;
        paso = 8;
        txtPRCDUN.Text = f.EsNull(campo("PRCDUN"));
        paso = 9;
        const QString eun = f.EsNull(campo("PRCEUN"));
        lbPRCEUN.Caption = QStringLiteral("Unidad Estadistica [") + eun + u']';
        txtPRCNCM.Tag = eun;
        paso = 10;
        txtPRCECA.Text = Format(f.EsNumero(campo("PRCECA")), k0000);
        paso = 11;
        const QString sun = f.EsNull(campo("PRCSUN"));
        if (!sun.isEmpty()) {
            lbPRCSUN.Visible = true;
            txtPRCSCA.Visible = true;
            lbPRCSUN.Caption = QStringLiteral("Derecho Especifico [") + sun + u']';
            txtPRCSCA.Tag = sun;
            lbPRCSUN.Tag = sun;
            txtPRCSCA.Text = f.EsNull(campo("PRCSCA"));
        } else {
            lbPRCSUN.Visible = false;
            lbPRCSUN.Caption.clear();
            lbPRCSUN.Tag.clear();
            txtPRCSCA.Text = QStringLiteral("0");
        }
        paso = 12;
        txtPRCESM.Text = f.EsNull(campo("PRCESM"));
        paso = 13;
        m_paisLinea = f.EsNull(campo("PRCORI"));
        paso = 14;
        cboidPRCORI = {};
        cboPRCORI = {};
        paso = 15;
        const QString crc = f.EsNull(campo("PRCCRC"));
        lbEstado.Caption = crc;
        paso = 16;
        if (crc == QStringLiteral("OK")) {
            const bool lapi = f.EsNull(campo("PRCLAP")) == QStringLiteral("S");
            lbPRCLAP.Visible = lapi;
            lbPRCLAP.Tag = lapi ? QStringLiteral("S") : QStringLiteral("N");
        }
        paso = 17;
        txtDescripcionMaria.Text = f.EsNull(campo("ARTDSCMARIA"));
        paso = 18;
        const QString marca = f.EsNull(campo("MARCA"));
        lbMarca.Caption = marca;
        paso = 19;
        if (!Trim(marca).isEmpty())
            m_estado.g_sAA_MARCA = Trim(marca);
        paso = 20;
        int encontrado = 9999;
        base.setSql(QStringLiteral("select * from pais order by descripcion"));
        Recordset paises;
        if (base.CrearRs(paises)) {
            for (; !paises.EOF_(); paises.MoveNext()) {
                const QString id = f.EsNull(paises.Fields(QStringLiteral("id")));
                cboidPRCORI.items << id;
                cboPRCORI.items << f.EsNull(paises.Fields(QStringLiteral("descripcion")));
                if (id == m_paisLinea)
                    encontrado = paises.AbsolutePosition();
            }
        }
        if (encontrado != 9999)
            cboPRCORI.ListIndex = encontrado - 1;
    } catch (const VbError& e) {
        aviso(informeCorto(e, QStringLiteral("frmModificar.CargarDatos")) + QStringLiteral(":: linea ") +
                  QString::number(paso),
              Icono::Critico);
    }
}

bool LogicaModificar::VerificarDatos() {
    txtPRCNCM.Text = posicionNormalizada(txtPRCNCM.Text);
    try {
        Sorvex::Sufijos oSufijos;
        oSufijos.ConexionString(*m_srv.g_oCentral);
        if (!(numero(txtARTTOT.Text) > 0)) {
            aviso(QStringLiteral("El fob total no puede ser 0, verifique el archivo excel"));
            return false;
        }
        if (txtPRCNCM.Tag.isEmpty()) {
            aviso(QStringLiteral("Falta información sobre la posición arancelaria."));
            return false;
        }
        if (Trim(txtPRCDUN.Text).isEmpty()) {
            aviso(QStringLiteral("Falta ingresar unidad declarada"));
            return false;
        }
        // The quantities are written as numbers: text that is none is refused here, where the user
        // can correct it.
        if (!esNumero(txtPRCCAN.Text)) {
            aviso(QStringLiteral("Debe ingresar un valor númerico en el campo Cantidad Declarada"));
            return false;
        }
        // Declared unit equal to the statistical unit: the statistical quantity is the declared one.
        if (numero(txtPRCECA.Text) == 0 && txtPRCDUN.Text == txtPRCNCM.Tag)
            txtPRCECA.Text = txtPRCCAN.Text;
        if (!esNumero(txtPRCECA.Text)) {
            aviso(QStringLiteral("Debe ingresar un valor númerico en el campo Cantidad Estadistica"));
            return false;
        }
        if (txtPRCSCA.Visible) {
            if (!esNumero(txtPRCSCA.Text)) {
                aviso(QStringLiteral("Debe ingresar un valor númerico en el campo Der Especifico"));
                return false;
            }
            if (numero(txtPRCECA.Text) > 0 && lbPRCSUN.Tag == txtPRCNCM.Tag && numero(txtPRCSCA.Text) == 0)
                txtPRCSCA.Text = txtPRCECA.Text;
        }
        if (!esNumero(Trim(txtPRCESM.Text))) {
            aviso(QStringLiteral("Estado de mercaderia inválida"), Icono::Critico);
            return false;
        }
        switch (oSufijos.ValidarSufijos(txtPRCNCM.Text, txtPRCSUF.Text)) {
        case 1:
            aviso(QStringLiteral("La posición es Inexistente!"));
            return false;
        case 2:
            aviso(QStringLiteral("Sufijos inválidos"));
            return false;
        default:
            break;
        }
        if (!textosCaben())
            return false;
        if (cboPRCORI.ListIndex < 0)
            return m_srv.interaccion().mensaje(
                       QStringLiteral("No ha seleccionado ningun pais, desea continuar?"), Icono::Pregunta,
                       Botones::SiNo) == Respuesta::Si;
        return true;
    } catch (const VbError& e) {
        aviso(informeCorto(e, QStringLiteral("frmModificar_VerificarDatos")), Icono::Critico);
        return false;
    }
}

// The texts the line takes to the customs database, against the columns they reach there: one the
// editor writes and that does not fit is refused, to be shortened here; one the editor does not
// write (it comes from the invoice) is told, and the line is saved all the same.
bool LogicaModificar::textosCaben() {
    struct Texto {
        const char* expresion;
        QString texto;
        bool editable;
    };
    const Texto textos[] = {
        {"PRCNCM", txtPRCNCM.Text, true},
        {"PRCSUF", txtPRCSUF.Text, true},
        {"PRCDUN", txtPRCDUN.Text, true},
        {"PRCESM", txtPRCESM.Text, true},
        {"ARTDSCMARIA", vb::ComillasABlancos(txtDescripcionMaria.Text), true},
        {"ARTNRO", txtARTNRO.Text, false},
        {"ARTDSC", txtARTDSC.Text, false},
    };
    QString deLaFactura;
    for (const Texto& t : textos) {
        for (const LimiteTexto& l : limitesDeTexto()) {
            if (qstrcmp(l.expresion, t.expresion) != 0 || t.texto.size() <= l.maximo)
                continue;
            const QString que = QStringLiteral("Línea ") + QString::number(Tag.toInt()) +
                                QStringLiteral(", artículo ") + vb::Left(txtARTNRO.Text, 50) +
                                QStringLiteral(": ") + QString::fromUtf8(l.campo) +
                                QStringLiteral(" tiene ") + QString::number(t.texto.size()) +
                                QStringLiteral(" caracteres (admite ") + QString::number(l.maximo) + u')';
            if (t.editable) {
                aviso(que + QStringLiteral(". Acórtelo antes de grabar."));
                return false;
            }
            deLaFactura += que + QStringLiteral(".\r\n");
        }
    }
    if (!deLaFactura.isEmpty())
        aviso(deLaFactura +
                  QStringLiteral("\r\nLa base aduanera no lo admite: corríjalo en la factura y vuelva "
                                 "a procesarla, o la transferencia no lo aceptará."),
              Icono::Informacion);
    return true;
}

QString LogicaModificar::sentenciaGrabar() const {
    const auto texto = [](const QString& s) { return DoblarComillas(s); };
    QString sql = QStringLiteral("update ART set ");
    sql += QStringLiteral("PRCNCM = '") + texto(txtPRCNCM.Text) + QStringLiteral("', ");
    sql += QStringLiteral("PRCLAP = '") + texto(lbPRCLAP.Tag) + QStringLiteral("', ");
    sql += QStringLiteral("PRCSUF = '") + texto(txtPRCSUF.Text) + QStringLiteral("', ");
    sql += QStringLiteral("PRCDUN = '") + texto(txtPRCDUN.Text) + QStringLiteral("', ");
    sql += QStringLiteral("PRCEUN = '") + texto(txtPRCNCM.Tag) + QStringLiteral("', ");
    sql += QStringLiteral("PRCECA = '") + numeroSql(txtPRCECA.Text) + QStringLiteral("', ");
    if (txtPRCSCA.Visible) {
        sql += QStringLiteral("PRCSUN = '") + texto(txtPRCSCA.Tag) + QStringLiteral("', ");
        sql += QStringLiteral("PRCSCA = '") + numeroSql(txtPRCSCA.Text) + QStringLiteral("', ");
    }
    sql += QStringLiteral("PRCESM = '") + texto(txtPRCESM.Text) + QStringLiteral("', ");
    sql += QStringLiteral("ARTDSCMARIA = '") + vb::ComillasABlancos(txtDescripcionMaria.Text) +
           QStringLiteral("', ");
    const int i = cboPRCORI.ListIndex;
    const QString pais = i >= 0 && i < cboidPRCORI.items.size() ? cboidPRCORI.items.at(i) : QString();
    sql += QStringLiteral("PRCORI = '") + texto(pais) + QStringLiteral("', ");
    sql += QStringLiteral("PRCCAN = '") + numeroSql(txtPRCCAN.Text) + QStringLiteral("',");
    sql += QStringLiteral("PRCEST = 'M', ");
    sql += QStringLiteral("PRCCRC = 'OK' ");
    sql += QStringLiteral("where ");
    sql += QStringLiteral("ARTORD = ") + Tag + QStringLiteral(" and ");
    sql += QStringLiteral("INTNRO = '") + texto(m_estado.g_sInterno) + QStringLiteral("' ");
    return sql;
}

bool LogicaModificar::GrabarDatos() {
    try {
        if (!VerificarDatos())
            return false;
        Velno::clBase& base = *m_srv.g_oBase;
        versiones::guardarSiSePuede(base, m_estado.g_sInterno, versiones::Motivo::Correccion);
        base.setSql(sentenciaGrabar());
        if (base.Ejecutar() > 0) {
            Tag.clear();
            m_estado.g_sRetorno = QStringLiteral("OK");
            cargado = false;
            return true;
        }
        return false;
    } catch (const VbError& e) {
        aviso(informeCorto(e, QStringLiteral("frmModificar_GrabarDatos")), Icono::Critico);
        return false;
    }
}

// A position typed with commas ("8207,13,00,000S") is the dotted one: both checks and the
// stored text use the dotted form.
QString LogicaModificar::posicionNormalizada(QString posicion) {
    return posicion.replace(u',', u'.');
}

bool LogicaModificar::txtPRCNCM_Enter() {
    if (txtPRCNCM.Text.size() < 7)
        return true;
    txtPRCNCM.Text = posicionNormalizada(txtPRCNCM.Text);
    ProcesarNCM(txtPRCNCM.Text);
    return false;
}

void LogicaModificar::ProcesarNCM(QString posicion) {
    int paso = 1;
    try {
        m_espera.ocupado();
        paso = 2;
        if (!(posicion.size() > 13 && posicion.size() < 16)) {
            m_espera.normal();
            aviso(QStringLiteral("Error en la estructura de la posición"));
            return;
        }
        paso = 3;
        posicion = posicionNormalizada(posicion);
        paso = 4;
        Trelvan::Central& central = *m_srv.g_oCentral;
        const Mesquel::Formatos& f = *m_srv.g_oFormatos;
        central.getDataConnectionByEntity(QStringLiteral("NCM"))
            .setSql(
                QStringLiteral(
                    "select [001],[002],[003],[012] as uest,[020] as deresp,[059] as lapi from NCM where ") +
                condicionPosicion(posicion, QStringLiteral("  ")));
        Recordset rs;
        paso = 5;
        if (!central.getDataConnectionByEntity(QStringLiteral("NCM")).CrearRs(rs)) {
            aviso(QStringLiteral("Posición no encontrada en Nomenclador"));
            m_espera.normal();
            return;
        }
        paso = 6;
        const QString u = Format(f.EsNull(rs.Fields(QStringLiteral("uest"))), k00);
        const QString d = f.EsNull(rs.Fields(QStringLiteral("deresp")));
        const QString lapi = f.EsNull(rs.Fields(QStringLiteral("lapi")));
        lbPRCEUN.Caption = QStringLiteral("Unidad Estadistica [") + u + u']';
        txtPRCNCM.Tag = u;
        paso = 7;
        if (!d.isEmpty()) {
            lbPRCSUN.Visible = true;
            txtPRCSCA.Visible = true;
            lbPRCSUN.Caption = QStringLiteral("Unidad Der Especif [") + Format(d, k00) + u']';
            txtPRCSCA.Tag = d;
        } else {
            lbPRCSUN.Visible = false;
            txtPRCSCA.Visible = false;
            lbPRCSUN.Caption.clear();
            lbPRCSUN.Tag.clear();
        }
        paso = 8;
        DialogoSufijos dialogo(m_srv, m_estado, m_espera);
        txtPRCSUF.Text = dialogo.VerificarSufijos(txtARTNRO.Text, posicion, txtPRCSUF.Text);
        paso = 9;
        lbPRCSUN.Tag = Format(d, k00);
        paso = 10;
        if (lapi.isEmpty()) {
            lbPRCLAP.Tag = QStringLiteral("N");
            lbPRCLAP.Visible = false;
        } else {
            lbPRCLAP.Tag = QStringLiteral("S");
            lbPRCLAP.Visible = true;
        }
        m_espera.normal();
    } catch (const VbError& e) {
        m_espera.normal();
        aviso(InformeError::numeroYDescripcion(e)
                  .seccion(u"\r\n\r\nSección [", u"frmModificar.ProcesarNCM", u"]::")
                  .mas(paso),
              Icono::Critico);
    }
}

} // namespace tarvix
