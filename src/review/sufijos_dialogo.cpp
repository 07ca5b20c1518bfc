#include "review/sufijos_dialogo.h"

#include "components/central.h"
#include "components/formatos.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "controls/reglascntrl.h"
#include "review/posicion_logica.h"

namespace tarvix {

using vb::InStr;
using vb::Left;
using vb::Mid;
using vb::Trim;

QString sCaracterValido(QChar c) {
    const char16_t u = c.unicode();
    const bool valido = (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'Ñ' || u == u'&' ||
                        u == u',' || u == u'/';
    return valido ? QString(c) : QStringLiteral(" ");
}

QString sLimpiarValor(const QString& valor) {
    const QString corto = Left(vb::UCase(Trim(valor)), 20);
    QString r;
    r.reserve(corto.size());
    for (const QChar c : corto)
        r += sCaracterValido(c);
    return r;
}

qsizetype posicionEntrada(const QString& texto, const QString& codigo) {
    if (codigo.isEmpty())
        return 0;
    for (qsizetype p = InStr(1, texto, codigo); p > 0; p = InStr(p + 1, texto, codigo))
        if (p == 1 || texto.at(p - 2) == u'-')
            return p;
    return 0;
}

DialogoSufijos::DialogoSufijos(Servicios& srv, EstadoAsistente& estado, PunteroEspera& espera)
    : m_srv(srv), m_estado(estado), m_espera(espera) {}

namespace {

void agregarEntrada(QString& acumulado, const QString& entrada) {
    if (!Trim(acumulado).isEmpty())
        acumulado += u'-';
    acumulado += entrada;
}

} // namespace

QString DialogoSufijos::valorPorDefecto(const QString& codigo, const QString& previo) const {
    if (previo.isEmpty()) {
        if (codigo == QStringLiteral("AA"))
            return m_estado.g_sAA_MARCA;
        if (codigo == QStringLiteral("AI") || codigo == QStringLiteral("AB"))
            return g_sArticulo;
        return QString();
    }
    const qsizetype p = posicionEntrada(previo, codigo + u'(');
    if (p == 0)
        return QString();
    const qsizetype abre = p + codigo.size();
    const qsizetype cierra = InStr(abre + 1, previo, QStringLiteral(")"));
    return cierra > 0 ? Mid(previo, abre + 1, cierra - abre - 1) : QString();
}

bool DialogoSufijos::pedirValor(const QString& codigo, const QString& detalle, const QString& previo,
                                QString& acumulado) {
    const QString inicial = vb::UCase(Left(codigo, 1));
    if (inicial == QStringLiteral("A"))
        m_clase = Clase::Texto;
    else if (inicial == QStringLiteral("Z"))
        m_clase = Clase::Numero;
    // A code of another letter keeps the kind of the last free-value group; before any, it takes text.
    const Clase clase = m_clase == Clase::SinClase ? Clase::Texto : m_clase;

    QString porDefecto = valorPorDefecto(codigo, previo);
    for (;;) {
        QString respuesta;
        {
            PausaEspera pausa(m_espera);
            respuesta = m_srv.interaccion().entrada(detalle + QStringLiteral(" [") + codigo + u']',
                                                    QStringLiteral("Ingrese Valor ") + codigo, porDefecto);
            porDefecto.clear(); // a repeated question starts empty
            if (respuesta.isEmpty() &&
                m_srv.interaccion().mensaje(QStringLiteral("Desea cancelar la operación"), Icono::Pregunta,
                                            Botones::SiNo) == Respuesta::Si)
                return false;
        }
        respuesta.replace(u'(', u' ').replace(u')', u' ').replace(u'-', u' ');
        const QString limpio = sLimpiarValor(respuesta);
        if (clase == Clase::Numero) {
            if (vb::EsNumero(limpio)) {
                agregarEntrada(acumulado, Trim(codigo) + u'(' +
                                              vb::Format(Left(limpio, 6), QStringLiteral("000000")) + u')');
                return true;
            }
            PausaEspera pausa(m_espera);
            m_srv.interaccion().mensaje(QStringLiteral("Debe Ingresar un Valor Númerico"));
        } else if (!Trim(limpio).isEmpty()) {
            agregarEntrada(acumulado, Trim(codigo) + u'(' + limpio + u')');
            return true;
        }
    }
}

bool DialogoSufijos::elegirOpcion(const QString& grupo, const QStringList& codigos,
                                  const QStringList& detalles, const QString& previo, QString& acumulado) {
    // The option of the group's entry in the previous text is proposed.
    QString porDefecto;
    const qsizetype p = posicionEntrada(previo, grupo);
    if (!previo.isEmpty() && p > 0) {
        const qsizetype guion = InStr(p + 3, previo, QStringLiteral("-"));
        if (guion > 0)
            porDefecto = Mid(previo, p, guion - p);
        else if (p == previo.size() - 3)
            porDefecto = vb::Right(previo, 4);
    }
    QStringList lineas{Trim(grupo) + QStringLiteral("00") + QStringLiteral(" - ") +
                       QStringLiteral("Ninguna opción")};
    for (qsizetype i = 0; i < codigos.size(); ++i)
        lineas << Trim(codigos.at(i)) + QStringLiteral(" - ") + Trim(detalles.at(i));
    g_sOpcionSufijo.clear();
    int elegida = -1;
    {
        PausaEspera pausa(m_espera);
        elegida = m_srv.interaccion().elegirOpcion(tituloOpciones(), lineas,
                                                   cntrl::buscarPrefijo(lineas, porDefecto));
    }
    if (elegida >= 0 && elegida < lineas.size())
        g_sOpcionSufijo = lineas.at(elegida);
    if (g_sOpcionSufijo.isEmpty()) {
        PausaEspera pausa(m_espera);
        m_srv.interaccion().mensaje(QStringLiteral("Error en generar sufijos"));
        return false;
    }
    agregarEntrada(acumulado, Left(g_sOpcionSufijo, 4));
    return true;
}

QString DialogoSufijos::VerificarSufijos(const QString& articulo, const QString& posicion,
                                         const QString& previo) {
    int paso = 1;
    try {
        m_espera.ocupado();
        g_sArticulo = articulo;
        m_clase = Clase::SinClase;
        paso = 2;
        const QString lista = listaSim(posicion);
        Trelvan::Central& central = *m_srv.g_oCentral;
        const Mesquel::Formatos& f = *m_srv.g_oFormatos;
        paso = 3;
        // Groups in the order of their codes, as the entries of the catalog and the run are.
        central.getDataConnectionByEntity(QStringLiteral("NCM"))
            .setSql(QStringLiteral("select distinct left(sufijo,2) as asufijo from sufidos where sim in ") +
                    lista + QStringLiteral(" order by left(sufijo,2)"));
        Recordset grupos;
        if (!central.getDataConnectionByEntity(QStringLiteral("NCM")).CrearRs(grupos)) {
            PausaEspera pausa(m_espera);
            m_srv.interaccion().mensaje(QStringLiteral("No se encontro Sufijo en el nomenclador"));
            return QStringLiteral("SIN SUFIJOS");
        }
        paso = 4;
        QString acumulado;
        for (; !grupos.EOF_(); grupos.MoveNext()) {
            const QString grupo = Trim(f.EsNull(grupos.Fields(QStringLiteral("asufijo"))));
            central.getDataConnectionByEntity(QStringLiteral("NCM"))
                .setSql(QStringLiteral("select sufijo,detalle from sufidos where sim in ") + lista +
                        QStringLiteral(" and left(sufijo,2) = '") + vb::DoblarComillas(grupo) + u'\'');
            Recordset filas;
            if (!central.getDataConnectionByEntity(QStringLiteral("NCM")).CrearRs(filas))
                continue;
            const QString codigo = f.EsNull(filas.Fields(QStringLiteral("sufijo")));
            const QString detalle = f.EsNull(filas.Fields(QStringLiteral("detalle")));
            if (codigo.size() == 2) {
                if (!pedirValor(codigo, detalle, previo, acumulado))
                    return QString();
            } else if (codigo.size() == 4) {
                QStringList codigos, detalles;
                for (; !filas.EOF_(); filas.MoveNext()) {
                    codigos << f.EsNull(filas.Fields(QStringLiteral("sufijo")));
                    detalles << f.EsNull(filas.Fields(QStringLiteral("detalle")));
                }
                if (!elegirOpcion(Left(codigo, 2), codigos, detalles, previo, acumulado))
                    return QString();
            }
        }
        paso = 5;
        if (!acumulado.endsWith(u'-'))
            acumulado += u'-';
        return acumulado;
    } catch (const VbError& e) {
        m_espera.normal();
        m_srv.interaccion().mensaje(
            InformeError::numeroYDescripcion(e)
                .seccion(u"\r\n\r\nSeccion [", u"frmModificar.VarificarSufijos", u"]::")
                .mas(paso),
            Icono::Critico);
        return QString();
    }
}

} // namespace tarvix
