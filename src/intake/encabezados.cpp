#include "intake/encabezados.h"

#include "intake/carga/grilla.h"
#include "pipeline/etiquetas.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace tarvix::encabezados {

namespace {

// What a header says about its column. The fields first; then what needs the data below it to be
// decided, and what is never mapped.
enum class Clase {
    Desconocida,
    Articulo,
    Descripc,
    Unidad,
    Cantidad,
    Total,
    Origen,
    Procedencia,
    Kilos,
    FechaEmbarque,
    FechaArribo,
    Marca,
    Modelo,
    Ncm,
    Valor, // an amount that may be the unit price or the line's total
    Pais,  // a country that may be the origin
    Nunca, // unit price, gross weight, packages, currency, discount, invoice and line numbers
};

// How clearly a header names its field: among columns of one field, only the clearest count.
enum Fuerza { Debil = 1, Media = 2, Fuerte = 3 };

struct Sinonimo {
    Clase clase;
    Fuerza fuerza;
    const char16_t* textos; // normalised texts separated by blanks
};

// Header texts after normalising, whole.
constexpr Sinonimo kSinonimos[] = {
    {Clase::Articulo, Fuerte,
     u"code codigo cod clave clavedeproducto codigoarticulo codigodearticulo codarticulo codart articlecode "
     u"itemcode articulo "
     u"article art artno articleno articlenumber artnr artnro artikel artikelnr artikelnummer "
     u"artikelcode codice codicearticolo articolo codigoproducto codigodeproducto productcode prodcode "
     u"codigodoproduto codproduto codigoitem codigodelarticulo codigointerno"},
    {Clase::Articulo, Media,
     u"partnumber partno partnr partsno partsnumber refarticle referencearticle numerodeparte nrodeparte "
     u"nroparte noparte numparte sku reference "
     u"ref referencia referencias referenz referenznummer riferimento reference refproduit "
     u"modelnumber modelno modelnr nrodemodelo style styleno stylenumber catalognumber catalogno "
     u"materialnumber materialnr materialno matnr material materialnummer customercode clientcode "
     u"customerpartno "
     u"customerref customerreference customeritem ourcode ourref buyercode codigocliente "
     u"codigodelcliente refcliente codigodocliente supplierref supplierreference suppliercode "
     u"supplierpartno vendorcode vendorpartno vendorref manufacturerpartno mfrpartno mpn "
     u"codigoproveedor codigodelproveedor refproveedor referenciaproveedor codigodofornecedor"},
    {Clase::Articulo, Debil, u"item itemno itemnr itemnumber items"},
    {Clase::Descripc, Fuerte,
     u"description descripcion descricao descripcio designation designacion designacao bezeichnung "
     u"beschreibung descrizione denominacion denominazione descriptionofgoods goodsdescription "
     u"descripciondelamercaderia descripciondemercaderia descripciondelamercancia "
     u"descripciondelasmercancias descripciondemercancias descricaodamercadoria "
     u"descricaodasmercadorias productdescription itemdescription articledescription "
     u"descripciondelproducto descripciondelarticulo descricaodoproduto warenbeschreibung "
     u"artikelbezeichnung descriptiondesmarchandises designationdesmarchandises desc descr libelle "
     u"libellearticle"},
    {Clase::Descripc, Media,
     u"concepto concept detalle detail details detalhe detalles productname nombredelproducto "
     u"nomedoproduto mercaderia mercancia mercadoria goods merchandise kurztext partname partsname "
     u"itemname articlename"},
    {Clase::Unidad, Fuerte,
     u"unit uom um unidad unidaddemedida unidadmedida unidade unidadedemedida un unite "
     u"unitedemesure einheit mengeneinheit me unita unitadimisura udm unitofmeasure unitofmeasurement "
     u"measureunit umedida unid und"},
    {Clase::Cantidad, Fuerte,
     u"quantity qty qtty quantities pcs pieces piezas pzas pz cantidad cant cantidades quantidade "
     u"qtde qtd quant quantite qte quantita qta menge anzahl stuck stuckzahl totalqty totalquantity "
     u"cantidadtotal"},
    {Clase::Cantidad, Media, u"units unidades uds pares pairs"},
    {Clase::Total, Fuerte,
     u"total amount importe importetotal valortotal totalamount totalvalue extendedprice extprice "
     u"extendedamount extendedvalue extendedtotal linevalue linetotal lineamount montant montanttotal "
     u"prixtotal gesamtpreis gesamtbetrag betrag gesamtwert importo totale importototale valoretotale "
     u"preciototal monto montototal totalprice precototal valortotaldalinea totalline totalusd "
     u"totalimporte amountusd netamount netvalue importeneto valorneto warenwert nettowert"},
    {Clase::Total, Media, u"subtotal subtotale"},
    {Clase::Valor, Fuerte, u"valor value valeur wert valore"},
    {Clase::Origen, Fuerte,
     u"countryoforigin origin origen origem madein coo co paisdeorigen paisorigen paisdeorigem "
     u"paisorigem paysdorigine paysorigine origine ursprungsland herkunftsland ursprung herkunft "
     u"paesediorigine paesedorigine countryorigin origincountry fabricadoen hechoen fabricadoem "
     u"paisdefabricacion paisdefabricacao countryofmanufacture manufacturingcountry"},
    {Clase::Pais, Fuerte, u"country pais pays land paese"},
    {Clase::Procedencia, Fuerte,
     u"procedencia provenance paisdeprocedencia paisprocedencia countryofshipment shipmentcountry "
     u"shippedfrom countryofdispatch countryofconsignment consignmentcountry dispatchcountry "
     u"procedence provenienza paysdeprovenance versendungsland paisdeprocedencia procedencia "
     u"proveniencia paisdeembarque paesediprovenienza"},
    {Clase::Kilos, Fuerte,
     u"netweight nw nwt netwt netweightkg pesoneto pesonetokg pesoliquido pesoliq poidsnet "
     u"nettogewicht pesonetto kilosnetos kgneto kgnetos kgnet netkg netkgs totalnetweight "
     u"pesonetototal"},
    {Clase::Kilos, Media, u"kilos kgs kg"},
    {Clase::FechaEmbarque, Fuerte,
     u"etd shipmentdate shippingdate shipdate dateofshipment fechadeembarque fechaembarque "
     u"dataembarque datadeembarque embarque versanddatum datedexpedition dataspedizione loadingdate "
     u"fechadecarga dispatchdate fechadedespacho"},
    {Clase::FechaArribo, Fuerte,
     u"eta arrivaldate dateofarrival fechadearribo fechaarribo fechadellegada fechallegada "
     u"datadechegada datachegada ankunftsdatum datedarrivee dataarrivo"},
    {Clase::Marca, Fuerte, u"brand marca marque marke trademark brandname marcacomercial"},
    {Clase::Modelo, Fuerte, u"model modelo modele modell modello"},
    {Clase::Ncm, Fuerte,
     u"hscode hs hts htscode htsus htsno ncm tariffnumber tariffcode tariff tariffno commoditycode "
     u"customscode customstariff hsno hscodes partidaarancelaria posicionarancelaria "
     u"fraccionarancelaria fraccion codigoarancelario classificacaofiscal codigoncm nomenclature "
     u"codesh sh zolltarifnummer warentarifnummer zolltarif vocedoganale codicedoganale taric "
     u"nandina codigohs hsncode harmonizedcode posicion arancel"},
    {Clase::Nunca, Fuerte,
     u"unitprice price precio preciounitario preciounit punit pu preco precounitario valorunitario "
     u"vlrunit vlrunitario valunit prix prixunitaire prezzo prezzounitario preis einzelpreis "
     u"stuckpreis unitvalue unitcost cost costo costounitario uprice unitpriceusd priceeach "
     u"pricepcs priceunit importeunitario valorunit grossweight gw gwt grosswt pesobruto pesobrutokg "
     u"poidsbrut bruttogewicht pesolordo kgbruto kgbrutos packages pkgs pkg package bultos bulto "
     u"volumes volumenes colis colli kolli packstucke cartons carton ctns ctn cajas caixas cartoni "
     u"kartons boxes box cases currency moneda moeda devise valuta wahrung curr divisa invoice "
     u"invoiceno invoicenumber factura nrofactura numerofactura nrodefactura fatura facture rechnung "
     u"rechnungsnummer fattura discount descuento desconto remise rabatt sconto dto disc bonificacion "
     u"no nro n num numero number pos position line linea lineno lineitem renglon zeile riga ligne "
     u"seq secuencia nr cbm volume measurement medidas dimensions"},
};

// Words that, next to others, say nothing of the field: currencies, units and joining words.
constexpr const char16_t* kRuido =
    u"usd us eur euro euros rmb cny brl ars mxn gbp jpy chf dolares dollars dolar dollar reales "
    u"en in em de del da do of the la el los las per por par x fob cif exw";

// Words that settle a header of several words when the whole is not in the table, in the order
// they are tried: what is never mapped goes first, so that "unit price total" is no total.
struct Clave {
    Clase clase;
    const char16_t* textos;
};
constexpr Clave kClaves[] = {
    {Clase::Nunca,
     u"gross bruto brut brutto bruttogewicht pesobruto gw package packages bultos carton cartons ctns "
     u"currency moneda discount descuento invoice factura unitprice preciounitario precounitario "
     u"prixunitaire einzelpreis prezzounitario port puerto porto hafen"},
    {Clase::Kilos, u"netweight pesoneto pesoliquido poidsnet nettogewicht nw"},
    // A weight, volume or measure that is not the net weight is no total either.
    {Clase::Nunca, u"weight peso poids gewicht kg kgs lbs lb cbm volume volumen m3"},
    {Clase::Cantidad,
     u"quantity qty cantidad cant quantidade qtde qtd quantite qte quantita qta menge pcs pieces piezas"},
    {Clase::Descripc, u"description descripcion descricao designation bezeichnung descrizione"},
    {Clase::Origen, u"origin origen origem origine ursprung"},
    {Clase::Ncm, u"hs hts ncm tariff arancelaria"},
    {Clase::Total, u"total amount importe montant betrag importo"},
    {Clase::FechaArribo, u"eta"},
    {Clase::FechaEmbarque, u"etd"},
};

struct Reconocido {
    Clase clase = Clase::Desconocida;
    Fuerza fuerza = Debil;
};

QHash<QString, Reconocido> tablaSinonimos() {
    QHash<QString, Reconocido> t;
    for (const Sinonimo& s : kSinonimos)
        for (const QString& texto : QString::fromUtf16(s.textos).split(u' ', Qt::SkipEmptyParts))
            if (!t.contains(texto))
                t.insert(texto, {s.clase, s.fuerza});
    return t;
}

QSet<QString> conjunto(const char16_t* textos) {
    const QStringList l = QString::fromUtf16(textos).split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(l.begin(), l.end());
}

const QHash<QString, Reconocido>& sinonimos() {
    static const QHash<QString, Reconocido> t = tablaSinonimos();
    return t;
}

const QSet<QString>& ruido() {
    static const QSet<QString> r = conjunto(kRuido);
    return r;
}

// Country names (English, Spanish, Portuguese, German, Italian, French) and ISO codes, normalised.
constexpr const char16_t* kPaisesNombres =
    u"china prc peoplesrepublicofchina republicapopulardechina chine volksrepublikchina cina "
    u"hongkong taiwan taiwanroc chinesetaipei japan japon japao japon japan giappone "
    u"korea southkorea republicofkorea korea corea coreadelsur coreiadosul coree sudkorea "
    u"coreadelsud india indien inde vietnam viet vietna thailand tailandia thailande thailandia "
    u"malaysia malasia malaisie indonesia indonesie indonesien philippines filipinas singapore "
    u"singapur cingapura singapour bangladesh pakistan paquistao turkey turquia turquie turkei "
    u"turchia germany alemania alemanha deutschland allemagne germania italy italia italie "
    u"italien spain espana espanha spanien espagne spagna france francia franca frankreich "
    u"francia portugal unitedkingdom uk greatbritain reinounido englandgb inglaterra "
    u"royaumeuni grossbritannien netherlands holland paisesbajos holanda niederlande paysbas "
    u"belgium belgica belgique belgien poland polonia polen pologne austria osterreich autriche "
    u"switzerland suiza suica schweiz suisse svizzera sweden suecia schweden suede denmark "
    u"dinamarca danemark czechrepublic czechia republicacheca chequia tschechien hungary hungria "
    u"ungarn romania rumania romenia rumanien israel unitedstates usa unitedstatesofamerica "
    u"estadosunidos eeuu eua estadosunidosdeamerica vereinigtestaaten etatsunis statiuniti "
    u"canada canada mexico mexiko mexique messico brazil brasil bresil brasilien brasile "
    u"argentina argentinien argentine chile chili uruguay paraguay peru bolivia colombia "
    u"kolumbien colombie ecuador venezuela southafrica sudafrica egypt egipto egito morocco "
    u"marruecos marrocos australia australien australie newzealand nuevazelanda russia rusia "
    u"russland russie ukraine ucrania ireland irlanda finland finlandia norway noruega "
    u"greece grecia slovakia eslovaquia slovenia eslovenia croatia croacia serbia bulgaria "
    u"lithuania latvia estonia srilanka cambodia camboya myanmar saudiarabia arabiasaudita "
    u"unitedarabemirates uae emiratosarabesunidos iran tunisia tunez";

// ISO 3166 alpha-2 codes, and the alpha-3 codes of the usual trading countries.
constexpr const char16_t* kPaisesCodigos =
    u"ad ae af ag ai al am ao aq ar as at au aw ax az ba bb bd be bf bg bh bi bj bl bm bn bo bq br bs "
    u"bt bv bw by bz ca cc cd cf cg ch ci ck cl cm cn co cr cu cv cw cx cy cz de dj dk dm do dz ec ee "
    u"eg eh er es et fi fj fk fm fo fr ga gb gd ge gf gg gh gi gl gm gn gp gq gr gs gt gu gw gy hk hm "
    u"hn hr ht hu id ie il im in io iq ir is it je jm jo jp ke kg kh ki km kn kp kr kw ky kz la lb lc "
    u"li lk lr ls lt lu lv ly ma mc md me mf mg mh mk ml mm mn mo mp mq mr ms mt mu mv mw mx my mz na "
    u"nc ne nf ng ni nl no np nr nu nz om pa pe pf pg ph pk pl pm pn pr ps pt pw py qa re ro rs ru rw "
    u"sa sb sc sd se sg sh si sj sk sl sm sn so sr ss st sv sx sy sz tc td tf tg th tj tk tl tm tn to "
    u"tr tt tv tw tz ua ug um us uy uz va vc ve vg vi vn vu wf ws ye yt za zm zw "
    u"chn jpn kor ind vnm tha mys idn phl sgp tur deu ita esp fra prt gbr nld bel pol aut che swe "
    u"dnk cze hun rou isr usa can mex bra arg chl ury pry per bol col ecu ven zaf egy aus nzl rus "
    u"twn hkg bgd pak";

const QSet<QString>& paisesNombres() {
    static const QSet<QString> p = conjunto(kPaisesNombres);
    return p;
}

const QSet<QString>& paisesCodigos() {
    static const QSet<QString> p = conjunto(kPaisesCodigos);
    return p;
}

// Letters and digits of a text, lower case and without accents, each run of them a word.
template <typename AlTerminarPalabra>
void recorrer(QStringView texto, QString& palabra, AlTerminarPalabra&& alTerminar) {
    palabra.clear();
    for (const QChar ch : texto) {
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9')) {
                palabra += ch;
            } else if (u >= u'A' && u <= u'Z') {
                palabra += QChar(u + (u'a' - u'A'));
            } else if (u == u'\'' && !palabra.isEmpty()) {
                // "Q'ty" is one word.
            } else if (!palabra.isEmpty()) {
                alTerminar(palabra);
                palabra.clear();
            }
            continue;
        }
        if (u == 0xDF) { // ß
            palabra += QStringLiteral("ss");
            continue;
        }
        if (u == 0xBA || u == 0xAA || u == 0x2019) // º ª and the typographic apostrophe
            continue;
        if (ch.isLetterOrNumber()) {
            const QString base = ch.decompositionTag() == QChar::Canonical ? ch.decomposition() : QString(ch);
            for (const QChar b : base)
                if (b.isLetterOrNumber())
                    palabra += b.toLower();
        } else if (!palabra.isEmpty()) {
            alTerminar(palabra);
            palabra.clear();
        }
    }
    if (!palabra.isEmpty())
        alTerminar(palabra);
}

Reconocido reconocer(QStringView encabezado) {
    const QStringList p = palabras(encabezado);
    if (p.isEmpty())
        return {};
    const auto& tabla = sinonimos();
    const QString junto = p.join(QString());
    if (auto it = tabla.constFind(junto); it != tabla.cend())
        return *it;
    QString sinRuido;
    for (const QString& w : p)
        if (!ruido().contains(w))
            sinRuido += w;
    if (!sinRuido.isEmpty())
        if (auto it = tabla.constFind(sinRuido); it != tabla.cend())
            return *it;
    // A header in two scripts ("数量 Quantity"): its Latin words alone.
    QString latino;
    for (const QString& w : p)
        if (std::all_of(w.begin(), w.end(), [](QChar c) { return c.unicode() < 0x80; }))
            latino += w;
    if (!latino.isEmpty() && latino != junto)
        if (auto it = tabla.constFind(latino); it != tabla.cend())
            return *it;
    // A longer header: a telling word (or two words side by side) decides, weakly.
    static const std::vector<std::pair<Clase, QSet<QString>>> kPorClave = [] {
        std::vector<std::pair<Clase, QSet<QString>>> v;
        for (const Clave& c : kClaves)
            v.emplace_back(c.clase, conjunto(c.textos));
        return v;
    }();
    for (const auto& [clase, claves] : kPorClave) {
        for (qsizetype i = 0; i < p.size(); ++i)
            if (claves.contains(p[i]) || (i + 1 < p.size() && claves.contains(p[i] + p[i + 1])))
                return {clase, Debil};
    }
    return {};
}

// The data lines of one column, up to kLineasMuestra of them.
constexpr int kLineasMuestra = 200;
constexpr int kPrimeraLinea = 2;

struct Columna {
    Reconocido r;
    QString etiqueta;
    std::vector<std::optional<double>> numeros; // filled when needed
    int noVacias = 0;
    bool leida = false;
};

class Analisis {
public:
    Analisis(const ModeloGrilla& g, const QLocale& locale, const CatalogoConocido& catalogo)
        : m_g(g), m_locale(locale), m_catalogo(catalogo) {
        m_lineas = std::max(0, std::min(g.Rows() - kPrimeraLinea, kLineasMuestra));
        m_cols.resize(static_cast<size_t>(g.Cols()));
        for (int c = 0; c < g.Cols(); ++c)
            m_cols[static_cast<size_t>(c)].r = reconocer(g.celda(0, c));
    }

    std::vector<QString> proponer();

private:
    Columna& col(int c) { return m_cols[static_cast<size_t>(c)]; }
    QStringView celda(int linea, int c) const { return m_g.celda(kPrimeraLinea + linea, c); }

    // Reads the numbers of a column once.
    void leer(int c) {
        Columna& k = col(c);
        if (k.leida)
            return;
        k.leida = true;
        k.numeros.resize(static_cast<size_t>(m_lineas));
        for (int l = 0; l < m_lineas; ++l) {
            const QStringView t = celda(l, c).trimmed();
            if (t.isEmpty())
                continue;
            ++k.noVacias;
            double v = 0;
            if (leerNumero(t, v, m_locale))
                k.numeros[static_cast<size_t>(l)] = v;
        }
    }
    int numericas(int c) {
        leer(c);
        return static_cast<int>(std::count_if(col(c).numeros.begin(), col(c).numeros.end(),
                                              [](const auto& v) { return v.has_value(); }));
    }
    // Most of the filled cells are numbers.
    bool esNumerica(int c) {
        const int n = numericas(c);
        return col(c).noVacias > 0 && n * 5 >= col(c).noVacias * 4;
    }
    bool casiNadaNumerico(int c) {
        const int n = numericas(c);
        return col(c).noVacias > 0 && n * 2 < col(c).noVacias;
    }
    // 1, 2, 3…: the invoice's line numbers.
    bool esNumeracion(int c);
    // The share of filled cells that name a country; `conCodigos` counts ISO codes too.
    bool sonPaises(int c, bool conCodigos);
    // total = quantity x unit price on most lines.
    bool esProducto(int cantidad, int precio, int total);

    // The one column of the clearest header of a field among `candidatas`, or -1 when there is
    // none or more than one.
    int unica(const std::vector<int>& candidatas);
    std::vector<int> deClase(Clase clase) const {
        std::vector<int> v;
        for (int c = 0; c < static_cast<int>(m_cols.size()); ++c)
            if (m_cols[static_cast<size_t>(c)].r.clase == clase)
                v.push_back(c);
        return v;
    }
    void asignar(int c, QStringView etiqueta) {
        if (c >= 0)
            col(c).etiqueta = etiqueta.toString();
    }
    void resolverTotal(int cantidad);

    // Of several article columns, the one whose codes the catalog mostly knows; -1 when none is.
    int porCatalogo(const std::vector<int>& candidatas);

    const ModeloGrilla& m_g;
    const QLocale& m_locale;
    const CatalogoConocido& m_catalogo;
    int m_lineas = 0;
    std::vector<Columna> m_cols;
};

bool Analisis::esNumeracion(int c) {
    leer(c);
    const auto& v = col(c).numeros;
    std::vector<double> n;
    for (const auto& x : v)
        if (x)
            n.push_back(*x);
    if (n.empty() || static_cast<int>(n.size()) * 5 < col(c).noVacias * 4)
        return false;
    if (n.size() == 1)
        return n[0] == 1 || n[0] == 10;
    // Numbered by ones or tens (1, 2, 3… or 10, 20, 30…). Under a header that names the article
    // clearly, consecutive codes are codes unless they start where a numbering starts.
    const double paso = n[1] - n[0];
    if (paso != 1 && paso != 10)
        return false;
    if (col(c).r.fuerza > Debil && n[0] != 0 && n[0] != 1 && n[0] != paso)
        return false;
    size_t seguidos = 0;
    for (size_t i = 1; i < n.size(); ++i)
        if (n[i] == n[i - 1] + paso)
            ++seguidos;
    return seguidos * 5 >= (n.size() - 1) * 4;
}

bool Analisis::sonPaises(int c, bool conCodigos) {
    int filled = 0, paises = 0, nombres = 0;
    QString palabra;
    for (int l = 0; l < m_lineas; ++l) {
        const QStringView t = celda(l, c);
        QString junto;
        recorrer(t, palabra, [&](const QString& w) { junto += w; });
        if (junto.isEmpty())
            continue;
        ++filled;
        if (junto.startsWith(u"madein"))
            junto.remove(0, 6);
        if (paisesNombres().contains(junto)) {
            ++paises;
            ++nombres;
        } else if (conCodigos && paisesCodigos().contains(junto)) {
            ++paises;
        }
    }
    return filled > 0 && paises * 10 >= filled * 9 && (conCodigos || nombres > 0);
}

bool Analisis::esProducto(int cantidad, int precio, int total) {
    leer(cantidad);
    leer(precio);
    leer(total);
    int lineas = 0, cumplen = 0;
    for (size_t l = 0; l < static_cast<size_t>(m_lineas); ++l) {
        const auto& q = col(cantidad).numeros[l];
        const auto& p = col(precio).numeros[l];
        const auto& t = col(total).numeros[l];
        if (!q || !p || !t)
            continue;
        ++lineas;
        const double esperado = *q * *p;
        if (std::abs(esperado - *t) <= std::max(0.011, std::abs(*t) * 0.005))
            ++cumplen;
    }
    return lineas > 0 && cumplen * 2 > lineas;
}

int Analisis::porCatalogo(const std::vector<int>& candidatas) {
    constexpr int kMuestra = 50;
    if (!m_catalogo || candidatas.size() < 2)
        return -1;
    int mejor = -1, conocidosMejor = 0, empates = 0;
    for (int c : candidatas) {
        QStringList codigos;
        for (int l = 0; l < m_lineas && codigos.size() < kMuestra; ++l) {
            const QString t = celda(l, c).trimmed().toString();
            if (!t.isEmpty() && !codigos.contains(t))
                codigos << t;
        }
        if (codigos.isEmpty())
            continue;
        const int conocidos = m_catalogo(codigos);
        if (conocidos * 2 < codigos.size())
            continue;
        if (conocidos > conocidosMejor) {
            mejor = c;
            conocidosMejor = conocidos;
            empates = 0;
        } else if (conocidos == conocidosMejor) {
            ++empates;
        }
    }
    return empates == 0 ? mejor : -1;
}

int Analisis::unica(const std::vector<int>& candidatas) {
    int mejor = 0, columna = -1, veces = 0;
    for (int c : candidatas) {
        const int f = col(c).r.fuerza;
        if (f > mejor) {
            mejor = f;
            columna = c;
            veces = 1;
        } else if (f == mejor) {
            ++veces;
        }
    }
    return veces == 1 ? columna : -1;
}

void Analisis::resolverTotal(int cantidad) {
    std::vector<int> totales = deClase(Clase::Total);
    std::erase_if(totales, [&](int c) { return !esNumerica(c); });
    // With a quantity, the data tell the line's total from the unit price: of two amounts, the one
    // that is the other times the quantity on most lines.
    if (cantidad >= 0) {
        std::vector<int> montos = totales;
        for (Clase k : {Clase::Valor, Clase::Nunca})
            for (int c : deClase(k))
                if (esNumerica(c) && c != cantidad)
                    montos.push_back(c);
        std::vector<int> porDatos;
        for (int t : montos) {
            if (col(t).r.clase == Clase::Nunca)
                continue;
            bool esTotal = false;
            for (int p : montos)
                if (p != t && esProducto(cantidad, p, t) && !esProducto(cantidad, t, p))
                    esTotal = true;
            if (esTotal)
                porDatos.push_back(t);
        }
        if (porDatos.size() == 1) {
            asignar(porDatos.front(), etiqueta::TOTAL);
            return;
        }
        if (porDatos.size() > 1)
            return;
    }
    asignar(unica(totales), etiqueta::TOTAL);
}

std::vector<QString> Analisis::proponer() {
    const int cols = static_cast<int>(m_cols.size());

    // Article: never a column of line numbers.
    std::vector<int> articulos = deClase(Clase::Articulo);
    std::erase_if(articulos, [&](int c) { return esNumeracion(c); });
    const int conocida = porCatalogo(articulos);
    asignar(conocida >= 0 ? conocida : unica(articulos), etiqueta::ARTICULO);

    std::vector<int> descripciones = deClase(Clase::Descripc);
    std::erase_if(descripciones, [&](int c) { return !casiNadaNumerico(c); });
    asignar(unica(descripciones), etiqueta::DESCRIPC);

    std::vector<int> unidades = deClase(Clase::Unidad);
    std::erase_if(unidades, [&](int c) { return !casiNadaNumerico(c); });
    asignar(unica(unidades), etiqueta::UNIDAD);

    std::vector<int> cantidades = deClase(Clase::Cantidad);
    std::erase_if(cantidades, [&](int c) { return !esNumerica(c); });
    const int cantidad = unica(cantidades);
    asignar(cantidad, etiqueta::CANTIDAD);

    resolverTotal(cantidad);

    // Origin: by its words, or a country column; failing both, the one column of country names.
    std::vector<int> origenes = deClase(Clase::Origen);
    for (int c : deClase(Clase::Pais))
        if (sonPaises(c, true))
            origenes.push_back(c);
    std::erase_if(origenes, [&](int c) {
        leer(c);
        return col(c).noVacias == 0;
    });
    int origen = unica(origenes);
    if (origenes.empty()) {
        std::vector<int> porDatos;
        for (int c = 0; c < cols; ++c)
            if (col(c).r.clase == Clase::Desconocida && sonPaises(c, false))
                porDatos.push_back(c);
        if (porDatos.size() == 1)
            origen = porDatos.front();
    }
    asignar(origen, etiqueta::ORIGEN);

    std::vector<int> kilos = deClase(Clase::Kilos);
    std::erase_if(kilos, [&](int c) { return !esNumerica(c); });
    asignar(unica(kilos), etiqueta::KILOS);

    struct Simple {
        Clase clase;
        QStringView etiqueta;
    };
    for (const Simple& s :
         {Simple{Clase::Procedencia, etiqueta::PROCEDENCIA},
          Simple{Clase::FechaEmbarque, etiqueta::FECHA_EMBARQUE},
          Simple{Clase::FechaArribo, etiqueta::FECHA_ARRIBO}, Simple{Clase::Marca, etiqueta::MARCA},
          Simple{Clase::Modelo, etiqueta::MODELO}, Simple{Clase::Ncm, etiqueta::NCM}})
        asignar(unica(deClase(s.clase)), s.etiqueta);

    std::vector<QString> resultado;
    resultado.reserve(m_cols.size());
    for (Columna& k : m_cols)
        resultado.push_back(std::move(k.etiqueta));
    return resultado;
}

} // namespace

QStringList palabras(QStringView texto) {
    QStringList p;
    QString palabra;
    recorrer(texto, palabra, [&](const QString& w) { p << w; });
    return p;
}

QString normalizar(QStringView texto) {
    QString junto;
    QString palabra;
    recorrer(texto, palabra, [&](const QString& w) { junto += w; });
    return junto;
}

bool leerNumero(QStringView texto, double& valor, const QLocale& locale) {
    // Blanks, currency signs and currency codes around the number ("USD 12.50", "12,50 €", "US$3");
    // letters must be parted from the digits by a blank or a sign, so "AB-123" and "Bearing 6204"
    // are no numbers.
    auto moneda = [](QChar c) { return c.category() == QChar::Symbol_Currency; };
    auto sobra = [&](QChar c) { return c.isSpace() || c.isLetter() || moneda(c); };
    qsizetype a = 0, b = texto.size();
    while (a < b && sobra(texto[a]))
        ++a;
    while (b > a && sobra(texto[b - 1]))
        --b;
    if (a == b)
        return false;
    if ((a > 0 && texto[a - 1].isLetter()) || (b < texto.size() && texto[b].isLetter()))
        return false;
    // The letters around are a currency code: at most three capitals in a row.
    auto codigo = [](QStringView resto) {
        int seguidas = 0;
        for (const QChar c : resto) {
            seguidas = c.isLetter() ? seguidas + 1 : 0;
            if (seguidas > 3 || (c.isLetter() && !c.isUpper()))
                return false;
        }
        return true;
    };
    if (!codigo(texto.first(a)) || !codigo(texto.sliced(b)))
        return false;
    const QStringView n = texto.sliced(a, b - a);
    const QString puntoLocal = locale.decimalPoint();
    const char16_t decimal = puntoLocal.isEmpty() ? u'.' : puntoLocal.front().unicode();
    const char16_t otro = decimal == u',' ? u'.' : u',';
    const qsizetype ultimoDecimal = n.lastIndexOf(QChar(decimal));
    const qsizetype ultimoOtro = n.lastIndexOf(QChar(otro));
    char16_t sep = decimal;
    if (ultimoDecimal >= 0 && ultimoOtro >= 0) {
        sep = ultimoDecimal > ultimoOtro ? decimal : otro;
    } else if (ultimoOtro >= 0) {
        // The other separator alone is a thousands separator when it stands before groups of three.
        const bool unaVez = n.indexOf(QChar(otro)) == ultimoOtro;
        const bool grupo = n.size() - ultimoOtro - 1 == 3;
        sep = unaVez && !grupo ? otro : decimal;
    }
    std::string s;
    s.reserve(static_cast<size_t>(n.size()));
    bool digitos = false;
    for (qsizetype i = 0; i < n.size(); ++i) {
        const char16_t u = n[i].unicode();
        if (u >= u'0' && u <= u'9') {
            s += static_cast<char>(u);
            digitos = true;
        } else if (u == sep) {
            s += '.';
        } else if (u == decimal || u == otro || u == u' ' || u == u'\'' || u == 0xA0 || u == 0x202F) {
            // thousands separators
        } else if ((u == u'-' || u == u'+') && (i == 0 || n[i - 1] == u'E' || n[i - 1] == u'e')) {
            if (u == u'-')
                s += '-';
        } else if ((u == u'E' || u == u'e') && digitos) {
            s += 'e';
        } else {
            return false;
        }
    }
    if (!digitos)
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), valor);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::vector<QString> proponer(const ModeloGrilla& grilla, const QLocale& locale,
                              const CatalogoConocido& catalogo) {
    return Analisis(grilla, locale, catalogo).proponer();
}

QString claveDisposicion(const ModeloGrilla& grilla) {
    QStringList partes;
    for (int c = 0; c < grilla.Cols(); ++c)
        partes << normalizar(grilla.celda(0, c));
    return partes.join(u'|');
}

} // namespace tarvix::encabezados
