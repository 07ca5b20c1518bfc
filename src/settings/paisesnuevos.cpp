#include "settings/paisesnuevos.h"

#include "components/clbase.h"
#include "components/estadoasistente.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/latido.h"
#include "components/recordset.h"
#include "components/servicios.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "intake/encabezados.h"
#include "pipeline/etiquetas.h"
#include "pipeline/proceso.h"
#include "settings/logicarelpais.h"

#include <QHash>
#include <QSet>

namespace tarvix {

namespace {

// Other names of the countries, normalised, and the name of PAIS they stand for: ISO 3166 codes
// (two and three letters) and the English, Portuguese and local names invoices use.
struct Alias {
    const char* descripcion;
    std::initializer_list<const char*> nombres;
};
const Alias kAlias[] = {
    {"CHINA",
     {"CN", "CHN", "PRC", "P R C", "P R CHINA", "PR CHINA", "PEOPLES REPUBLIC OF CHINA",
      "PEOPLE S REPUBLIC OF CHINA", "CHINA PRC", "CHINE", "CHINA MAINLAND", "MAINLAND CHINA"}},
    {"TAIWAN",
     {"TW", "TWN", "REPUBLIC OF CHINA", "ROC", "R O C", "TAIWAN ROC", "TAIWAN R O C", "CHINESE TAIPEI"}},
    {"HONG KONG", {"HK", "HKG", "HONG KONG SAR", "HONGKONG"}},
    {"ESTADOS UNIDOS",
     {"US", "USA", "U S", "U S A", "UNITED STATES", "UNITED STATES OF AMERICA", "EEUU", "EE UU", "EUA",
      "ESTADOS UNIDOS DA AMERICA", "ESTADOS UNIDOS DE AMERICA"}},
    {"ALEMANIA", {"DE", "DEU", "GERMANY", "ALEMANHA", "DEUTSCHLAND", "FEDERAL REPUBLIC OF GERMANY"}},
    {"JAPON", {"JP", "JPN", "JAPAN", "JAPAO", "NIPPON"}},
    {"REINO UNIDO",
     {"GB", "GBR", "UK", "U K", "UNITED KINGDOM", "GREAT BRITAIN", "ENGLAND", "BRITAIN", "REINO UNIDO"}},
    {"ITALIA", {"IT", "ITA", "ITALY", "ITALIE"}},
    {"ESPAÑA", {"ES", "ESP", "SPAIN", "ESPANHA"}},
    {"FRANCIA", {"FR", "FRA", "FRANCE", "FRANCA"}},
    {"BRASIL", {"BR", "BRA", "BRAZIL"}},
    {"COREA DEL SUR", {"KR", "KOR", "KOREA", "SOUTH KOREA", "REPUBLIC OF KOREA", "COREIA DO SUL"}},
    {"INDIA", {"IN", "IND", "INDIA"}},
    {"MEXICO", {"MX", "MEX"}},
    {"CANADA", {"CA", "CAN"}},
    {"CHILE", {"CL", "CHL"}},
    {"URUGUAY", {"UY", "URY"}},
    {"PARAGUAY", {"PY", "PRY"}},
    {"BOLIVIA", {"BO", "BOL"}},
    {"PERU", {"PE", "PER"}},
    {"COLOMBIA", {"CO", "COL"}},
    {"ARGENTINA", {"AR", "ARG"}},
    {"PAISES BAJOS", {"NL", "NLD", "NETHERLANDS", "THE NETHERLANDS", "HOLLAND", "HOLANDA", "NEDERLAND"}},
    {"BELGICA", {"BE", "BEL", "BELGIUM", "BELGIE", "BELGIQUE"}},
    {"SUIZA", {"CH", "CHE", "SWITZERLAND", "SUICA", "SCHWEIZ", "SUISSE"}},
    {"AUSTRIA", {"AT", "AUT", "OSTERREICH"}},
    {"SUECIA", {"SE", "SWE", "SWEDEN", "SVERIGE"}},
    {"DINAMARCA", {"DK", "DNK", "DENMARK"}},
    {"FINLANDIA", {"FI", "FIN", "FINLAND"}},
    {"NORUEGA", {"NO", "NOR", "NORWAY"}},
    {"IRLANDA", {"IE", "IRL", "IRELAND"}},
    {"POLONIA", {"PL", "POL", "POLAND", "POLSKA"}},
    {"PORTUGAL", {"PT", "PRT"}},
    {"REPUBLICA CHECA", {"CZ", "CZE", "CZECH REPUBLIC", "CZECHIA"}},
    {"HUNGRIA", {"HU", "HUN", "HUNGARY"}},
    {"RUMANIA", {"RO", "ROU", "ROMANIA"}},
    {"TURQUIA", {"TR", "TUR", "TURKEY", "TURKIYE"}},
    {"RUSIA", {"RU", "RUS", "RUSSIA", "RUSSIAN FEDERATION"}},
    {"VIETNAM", {"VN", "VNM", "VIET NAM"}},
    {"TAILANDIA", {"TH", "THA", "THAILAND"}},
    {"INDONESIA", {"ID", "IDN"}},
    {"MALASIA", {"MY", "MYS", "MALAYSIA"}},
    {"SINGAPUR", {"SG", "SGP", "SINGAPORE"}},
    {"FILIPINAS", {"PH", "PHL", "PHILIPPINES"}},
    {"PAKISTAN", {"PK", "PAK"}},
    {"BANGLADESH", {"BD", "BGD"}},
    {"ISRAEL", {"IL", "ISR"}},
    {"EMIRATOS ARABES UNIDOS", {"AE", "ARE", "UAE", "U A E", "UNITED ARAB EMIRATES"}},
    {"ARABIA SAUDITA", {"SA", "SAU", "SAUDI ARABIA"}},
    {"EGIPTO", {"EG", "EGY", "EGYPT"}},
    {"SUDAFRICA", {"ZA", "ZAF", "SOUTH AFRICA"}},
    {"AUSTRALIA", {"AU", "AUS"}},
    {"NUEVA ZELANDA", {"NZ", "NZL", "NEW ZEALAND"}},
};

// The words around a country name that only say it is the origin, at the start and at the end.
const char* const kPrefijos[] = {
    "COUNTRY OF ORIGIN", "PAIS DE ORIGEN", "MADE IN", "PRODUCT OF", "PRODUCED IN", "HECHO EN", "FABRICADO EN",
    "FEITO NO",          "FEITO EM",       "ORIGIN",  "ORIGEN",     "ORIGEM",      "COO"};
const char* const kSufijos[] = {"ORIGIN", "ORIGEN", "ORIGEM", "MADE"};

const QHash<QString, QString>& alias() {
    static const QHash<QString, QString> tabla = [] {
        QHash<QString, QString> t;
        for (const Alias& a : kAlias)
            for (const char* n : a.nombres)
                t.insert(QString::fromLatin1(n), normalizarPais(QString::fromUtf8(a.descripcion)));
        return t;
    }();
    return tabla;
}

QString quitarPalabras(QString t) {
    for (bool cambio = true; cambio;) {
        cambio = false;
        for (const char* p : kPrefijos) {
            const QString palabra = QString::fromLatin1(p);
            if (t.size() > palabra.size() && t.startsWith(palabra + u' ')) {
                t = t.mid(palabra.size() + 1);
                cambio = true;
            }
        }
        for (const char* s : kSufijos) {
            const QString palabra = QString::fromLatin1(s);
            if (t.size() > palabra.size() && t.endsWith(u' ' + palabra)) {
                t.chop(palabra.size() + 1);
                cambio = true;
            }
        }
    }
    return t;
}

} // namespace

QString normalizarPais(const QString& texto) {
    const QString descompuesto = texto.toUpper().normalized(QString::NormalizationForm_D);
    QString t;
    t.reserve(descompuesto.size());
    for (const QChar c : descompuesto) {
        if (c.isMark())
            continue;
        t += c.isLetterOrNumber() ? c : QChar(u' ');
    }
    return quitarPalabras(t.simplified());
}

QString proponerPais(const QString& texto, const std::vector<PaisDisponible>& paises) {
    const QString n = normalizarPais(texto);
    if (n.isEmpty())
        return QString();
    const QString nombre = alias().value(n, n);
    for (const PaisDisponible& p : paises)
        if (normalizarPais(p.descripcion) == nombre)
            return p.id;
    return QString();
}

std::vector<PaisDisponible> paisesDisponibles(Servicios& srv) {
    std::vector<PaisDisponible> r;
    Recordset rs;
    srv.g_oBase->setSql(QStringLiteral("select * from PAIS order by Descripcion"));
    if (srv.g_oBase->CrearRs(rs))
        for (; !rs.Fin(); rs.MoveNext())
            r.push_back({srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("id"))),
                         srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("descripcion")))});
    return r;
}

std::vector<OrigenNuevo> origenesSinRelacion(Servicios& srv, const GrillaDatos& grilla,
                                             const std::vector<PaisDisponible>& paises) {
    // The columns as the run reads them: the origin falls back on column 0, a provenance in
    // column 0 is not read.
    int origen = 0;
    int procedencia = 0;
    for (int c = 0; c < grilla.Cols(); ++c) {
        const QString t = grilla.TextMatrix(1, c);
        if (t == etiqueta::ORIGEN)
            origen = c;
        else if (t == etiqueta::PROCEDENCIA)
            procedencia = c;
    }
    std::vector<OrigenNuevo> r;
    QSet<QString> vistos;
    const auto revisar = [&](int fila, int columna) {
        const QString texto = vb::Trim(grilla.TextMatrix(fila, columna));
        if (texto.isEmpty() || vistos.contains(texto))
            return;
        vistos.insert(texto);
        Recordset rs;
        srv.g_oBase->setSql(QStringLiteral("select ORI, ESM from ORG where PAI = '") +
                            vb::DoblarComillas(texto) + u'\'');
        if (!srv.g_oBase->CrearRs(rs))
            r.push_back({texto, proponerPais(texto, paises), QStringLiteral("2"), grilla.filaHoja(fila),
                         encabezados::letraColumna(columna)});
    };
    for (int fila = 2; fila < grilla.Rows(); ++fila) {
        if (fila % 64 == 0)
            latido::latir();
        revisar(fila, origen);
        if (procedencia != 0)
            revisar(fila, procedencia);
    }
    return r;
}

int guardarRelaciones(Servicios& srv, EstadoAsistente& estado, const std::vector<OrigenNuevo>& origenes) {
    int guardadas = 0;
    for (const OrigenNuevo& o : origenes) {
        if (o.pais.isEmpty())
            continue;
        estado.g_sRetorno = o.texto;
        LogicaRelPais relacion(srv, estado);
        relacion.Form_Load();
        relacion.paisSeleccionado = static_cast<int>(relacion.cboidPais.indexOf(o.pais));
        relacion.txtESM = o.esm;
        if (relacion.f_Grabar())
            ++guardadas;
    }
    estado.g_sRetorno.clear();
    estado.g_sRetornoESM.clear();
    return guardadas;
}

void relacionarOrigenesNuevos(Servicios& srv, EstadoAsistente& estado, const GrillaDatos& grilla) {
    try {
        const std::vector<PaisDisponible> paises = paisesDisponibles(srv);
        std::vector<OrigenNuevo> origenes = origenesSinRelacion(srv, grilla, paises);
        if (!origenes.empty() && srv.interaccion().relacionPaises(origenes, paises))
            guardarRelaciones(srv, estado, origenes);
    } catch (const VbError& e) {
        // The run asks for each text again; the failure is told here.
        srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmPaisesNuevos")), Icono::Critico);
    }
}

} // namespace tarvix
