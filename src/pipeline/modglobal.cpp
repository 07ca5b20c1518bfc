#include "pipeline/modglobal.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"

namespace tarvix {

namespace {

// Raises a trapped error again as the value rules of this module do: their number, and their label
// with the failing statement in front of the source.
[[noreturn]] void relanzar(const VbError& e, const QString& procedimiento, int linea) {
    throw VbError(errores::ModGlobal,
                  QStringLiteral("[ ") + kProyecto + QStringLiteral(".modGlobal.") + procedimiento +
                      QStringLiteral(" Linea ") + QString::number(linea) + QStringLiteral(" ]") + e.origen(),
                  e.descripcion());
}

QString textoDe(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

// The foreign units ProcesarUnidades knows, with their unit code and the factor to it.
struct Conversion {
    const char16_t* unidad;
    const char16_t* codigo;
    double factor; // 0: quantity and price stay
};
constexpr Conversion kConversiones[] = {
    {u"EA", u"07", 0},        {u"EACH", u"07", 0},    {u"RL", u"07", 0},
    {u"BX", u"07", 0},        {u"LB", u"01", 0.4536}, {u"FT", u"02", 0.3048},
    {u"IN", u"02", 0.025401}, {u"YD", u"02", 0.9144}, {u"GA", u"05", 3.785},
};

// The unit texts ObtenerCodigoUnidad turns into a code of its own (upper case, trimmed).
QString codigoUnidadPropia(const QString& u) {
    if (u == u"UNIDADES" || u == u"UNIDAD" || u == u"PC" || u == u"PCS")
        return QStringLiteral("07");
    if (u == u"KILO" || u == u"KILOS")
        return QStringLiteral("01");
    return QString();
}

} // namespace

void ValidarCodigoArticulo(const QString& codigo, qint32 linea) {
    try {
        const QString c = vb::UCase(vb::Trim(codigo));
        if (c == u"N/A" || c == u"N/AS")
            throw VbError(errores::CodigoArticulo, QStringLiteral("VALIDACION.ARTICULO"),
                          QStringLiteral("El codigo de articulo no puede ser ") + c +
                              QStringLiteral(", linea ") + QString::number(linea));
    } catch (const VbError& e) {
        relanzar(e, QStringLiteral("ValidarCodigoArticulo"), 0);
    }
}

QString FormatearNCM(const QString& texto) {
    try {
        if (texto.size() != 12)
            return texto;
        return vb::Mid(texto, 1, 4) + u'.' + vb::Mid(texto, 5, 2) + u'.' + vb::Mid(texto, 7, 2) + u'.' +
               vb::Mid(texto, 9, 4);
    } catch (const VbError& e) {
        relanzar(e, QStringLiteral("FormatearNCM"), 0);
    }
}

QString ObtenerCodigoUnidad(const EstadoAsistente& estado, const QString& texto) {
    const QString codigo = codigoUnidadPropia(vb::UCase(vb::Trim(texto)));
    return codigo.isEmpty() ? estado.g_sINTDUN : codigo;
}

bool UnidadConocida(const QString& texto) {
    return !codigoUnidadPropia(vb::UCase(vb::Trim(texto))).isEmpty();
}

bool UnidadExtranjeraConocida(const QString& unidad) {
    for (const Conversion& c : kConversiones)
        if (unidad == QStringView(c.unidad))
            return true;
    return false;
}

void ProcesarUnidades(DatosUnidad& d) {
    try {
        d.UnidadDestino = d.UnidadOrigen;
        d.CantidadDestino = d.Cantidad;
        d.PrecioDestino = d.PrecioUnitario;

        for (const Conversion& c : kConversiones) {
            if (d.UnidadOrigen != QStringView(c.unidad))
                continue;
            d.UnidadDestino = QString::fromUtf16(c.codigo);
            if (c.factor != 0) {
                const double q = d.Cantidad * c.factor;
                d.CantidadDestino = vb::CDbl(vb::Format(q, QStringLiteral("00.00")));
                d.PrecioDestino = vb::CDbl(vb::Format(vb::Dividir(d.Total, q), QStringLiteral("00.00000")));
            }
            return;
        }
        throw VbError(errores::UnidadNoReconocida, QStringLiteral("ProcesarUnidades"),
                      QStringLiteral("No se reconoce la unidad: ") + d.UnidadOrigen);
    } catch (const VbError& e) {
        throw VbError(errores::ProcesarUnidades, QStringLiteral("modglobal.ProcesarUnidades::") + e.origen(),
                      e.descripcion());
    }
}

DatosOrigen BuscarOrigen(Servicios& srv, EstadoAsistente& estado, const QString& pais) {
    DatosOrigen r;
    try {
        if (pais.isEmpty())
            return r;
        srv.g_oBase->setSql(QStringLiteral("select ORI, ESM from ORG where PAI = '") +
                            vb::DoblarComillas(pais) + u'\'');
        Recordset rs;
        if (srv.g_oBase->CrearRs(rs)) {
            r.ORI = textoDe(rs.Fields(QStringLiteral("ORI")));
            r.ESM = textoDe(rs.Fields(QStringLiteral("ESM")));
            return r;
        }
        if (!srv.interaccion().abreVentanas())
            throw VbError(
                errores::BaseDeDatos, QStringLiteral("modGlobal.BuscarOrigen"),
                QStringLiteral("No se puede abrir la ventana de relación de países para el origen ") + pais);
        // The window's box would cut the text: the relation saved would never match it again, and
        // the window would open for ever.
        if (pais.size() > kLargoMaximoOrigen)
            throw VbError(errores::BaseDeDatos, QStringLiteral("modGlobal.BuscarOrigen"),
                          QStringLiteral("El origen tiene %1 caracteres y la ventana de relación de países "
                                         "admite hasta %2: acórtelo en la planilla y vuelva a procesar")
                              .arg(pais.size())
                              .arg(kLargoMaximoOrigen));
        do {
            estado.g_sRetorno = pais;
            estado.g_sRetornoESM.clear();
            srv.interaccion().relacionPais();
        } while (estado.g_sRetorno.isEmpty());
        r.ORI = estado.g_sRetorno;
        r.ESM = estado.g_sRetornoESM;
        return r;
    } catch (const VbError& e) {
        throw VbError(errores::BuscarOrigen, e.origen(), e.descripcion());
    }
}

QString ArmarSufijos(const Servicios& srv, const QString& posicion, const QString& marca,
                     const QString& modelo, const QString& sufijo1, QString& valor1, const QString& sufijo2,
                     QString& valor2, const QString& sufijo3, QString& valor3, GruposPorPosicion* leidos) {
    // Statements are numbered 10 to 490 for the report, in order: 10-30 the six-digit values,
    // 40-130 the statement, 140-170 the query, 180-430 the groups, 440-490 the result.
    const QString seis = QStringLiteral("000000");
    const QString ncm = QStringLiteral("NCM");
    int linea = 0;
    try {
        linea = 10;
        if (vb::Left(sufijo1, 1) == u"Z")
            valor1 = vb::Format(valor1, seis);
        linea = 20;
        if (vb::Left(sufijo2, 1) == u"Z")
            valor2 = vb::Format(valor2, seis);
        linea = 30;
        if (vb::Left(sufijo3, 1) == u"Z")
            valor3 = vb::Format(valor3, seis);
        linea = 40;
        const QString m = srv.g_oCentral->getMidFormatbyEntity(ncm, QStringLiteral("SUFIJO"), 3,
                                                               QStringLiteral("len(SUFIJO)"));
        // The position's pieces go into the statement with their quotes doubled.
        linea = 50;
        QString sql = QStringLiteral("select distinct left(SUFIJO,2) as SUF,");
        linea = 60;
        sql += QStringLiteral(" max(") + m + QStringLiteral(") as maxim ");
        linea = 70;
        sql += QStringLiteral(" from sufidos where sim in ");
        linea = 80;
        sql += QStringLiteral("('") + vb::DoblarComillas(vb::Left(posicion, 2)) +
               QStringLiteral("  .  .  .   ',");
        linea = 90;
        sql += u'\'' + vb::DoblarComillas(vb::Left(posicion, 4)) + QStringLiteral(".  .  .   ',");
        linea = 100;
        sql += u'\'' + vb::DoblarComillas(vb::Left(posicion, 7)) + QStringLiteral(".  .   ',");
        linea = 110;
        sql += u'\'' + vb::DoblarComillas(vb::Left(posicion, 14)) + QStringLiteral("') ");
        linea = 120;
        sql += QStringLiteral(" group by left(SUFIJO,2) order by left(SUFIJO,2)");
        linea = 130;
        QStringList grupos;
        if (const auto visto = leidos ? leidos->constFind(sql) : GruposPorPosicion::const_iterator();
            leidos && visto != leidos->cend()) {
            grupos = *visto;
        } else {
            srv.g_oCentral->getDataConnectionByEntity(ncm).setSql(sql);
            linea = 140;
            Recordset rs;
            if (!srv.g_oCentral->getDataConnectionByEntity(ncm).CrearRs(rs)) {
                linea = 150;
                // A position without suffix groups is remembered too.
                if (leidos)
                    leidos->insert(sql, QStringList());
                return QString();
            }
            for (; !rs.Fin(); rs.MoveNext()) {
                linea = 200;
                grupos << vb::Trim(textoDe(rs.Fields(QStringLiteral("SUF"))));
            }
            if (leidos)
                leidos->insert(sql, grupos);
        }
        linea = 180;
        QString texto;
        struct Par {
            const QString& sufijo;
            const QString& valor;
            int linea; // its ElseIf; the If, the two appends and the Else follow 10 apart
        };
        const Par pares[] = {{sufijo1, valor1, 250}, {sufijo2, valor2, 310}, {sufijo3, valor3, 370}};
        linea = 190;
        for (const QString& grupo : std::as_const(grupos)) {
            linea = 210;
            if (grupo == u"AA") {
                linea = 220; // AA is the first letter group: the brand item opens the text
                texto = QStringLiteral("AA(") + marca + QStringLiteral(")-");
            } else if (linea = 230; grupo == u"AI" || grupo == u"AB") {
                linea = 240;
                texto += grupo + u'(' + modelo + QStringLiteral(")-");
            } else {
                for (const Par& par : pares) {
                    linea = par.linea;
                    if (vb::Left(par.sufijo, 2) != grupo)
                        continue;
                    linea = par.linea + 10;
                    if (par.sufijo.size() == 2) {
                        linea = par.linea + 20;
                        texto += grupo + u'(' + par.valor + QStringLiteral(")-");
                    } else {
                        linea = par.linea + 40;
                        texto += vb::Trim(par.sufijo) + u'-';
                    }
                    break;
                }
            }
            linea = 440;
        }
        linea = 480;
        return texto;
    } catch (const VbError& e) {
        relanzar(e, QStringLiteral("ArmarSufijos"), linea);
    }
}

QString ImplementarVALORenSufijos(const QString& sufijos, const QString& codigo, QString& valor,
                                  bool forzar) {
    try {
        const QString resultado = vb::UCase(vb::Trim(sufijos));
        valor = vb::Left(valor, 20);
        const qsizetype inicio = vb::InStr(1, sufijos, codigo + u'(');
        if (inicio == 0)
            return resultado;
        const qsizetype cierre = vb::InStr(inicio, sufijos, QStringLiteral(")"));
        const qsizetype largo = cierre - inicio - 3;
        if (largo < 0) // no closing parenthesis after the group: the value cannot be read
            throw VbError(5, QString(), QStringLiteral("Llamada a procedimiento o argumento no válido"));
        const QString actual = vb::UCase(vb::Mid(sufijos, inicio + 3, largo));
        valor = vb::UCase(valor);
        if (!forzar && !actual.isEmpty() && codigo != u"AC")
            return resultado;
        const QString nuevo =
            vb::Left(codigo, 1) == u"Z" ? vb::Format(valor, QStringLiteral("000000")) : valor;
        return vb::Left(sufijos, inicio + 2) + nuevo + vb::Mid(sufijos, cierre);
    } catch (const VbError& e) {
        relanzar(e, QStringLiteral("ImplementarVALORenSufijos"), 0);
    }
}

} // namespace tarvix
