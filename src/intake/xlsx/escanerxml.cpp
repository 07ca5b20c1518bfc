#include "intake/xlsx/escanerxml.h"

#include "intake/xlsx/fallaxlsx.h"

#include <algorithm>
#include <cstring>

namespace tarvix::lector::xlsx {

namespace {

bool blanco(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The bytes decodificar() must look at: in text '&' and CR; in attribute values also tab, line feed
// and '<'.
// The bytes that end a tag's name and an attribute's name.
struct TablaEspeciales {
    bool texto[256] = {};
    bool atributo[256] = {};
    bool finEtiqueta[256] = {};
    bool finAtributo[256] = {};
    constexpr TablaEspeciales() {
        for (const unsigned char c : {'&', '\r'})
            texto[c] = atributo[c] = true;
        for (const unsigned char c : {'\t', '\n', '<'})
            atributo[c] = true;
        for (const unsigned char c : {' ', '\t', '\n', '\r', '/', '>'})
            finEtiqueta[c] = finAtributo[c] = true;
        finAtributo[static_cast<unsigned char>('=')] = true;
    }
};
constexpr TablaEspeciales kEspeciales;

void agregarUtf8(std::string& d, std::uint32_t c) {
    if (c < 0x80) {
        d += static_cast<char>(c);
    } else if (c < 0x800) {
        d += static_cast<char>(0xC0 | (c >> 6));
        d += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        d += static_cast<char>(0xE0 | (c >> 12));
        d += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        d += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        d += static_cast<char>(0xF0 | (c >> 18));
        d += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        d += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        d += static_cast<char>(0x80 | (c & 0x3F));
    }
}

const char* buscar(const char* desde, const char* hasta, std::string_view patron) {
    if (hasta - desde < static_cast<std::ptrdiff_t>(patron.size()))
        return nullptr;
    return static_cast<const char*>(
        memmem(desde, static_cast<std::size_t>(hasta - desde), patron.data(), patron.size()));
}

} // namespace

namespace {
constexpr std::size_t kComplemento = 256; // bytes tried first to complete a cut markup
}

EscanerXml::EscanerXml(LectorXml& lector, const QString& parte) : m_lector(lector), m_parte(parte) {}

void EscanerXml::fallar(std::size_t pos, const QString& motivo) const {
    danado(QStringLiteral("la parte %1 no es XML válido (byte %2: %3)")
               .arg(m_parte)
               .arg(m_consumidos + pos)
               .arg(motivo));
}

void EscanerXml::alimentar(const char* datos, std::size_t n) {
    // A short markup cut at the end of the previous bytes is completed in m_buf with the few bytes
    // it mostly lacks, and the rest are read where they are, not copied. When those few are not
    // enough, or the markup is already long, the rest go in m_buf too: a markup is scanned at most
    // twice for each block, once when it is long.
    std::size_t desde = 0;
    for (int intento = m_buf.size() > kComplemento ? 1 : 0; intento < 2 && !m_buf.empty() && desde < n;
         ++intento) {
        const std::size_t k = intento == 0 ? std::min<std::size_t>(kComplemento, n) : n - desde;
        m_buf.append(datos + desde, k);
        desde += k;
        const std::size_t usados = procesar(m_buf.data(), m_buf.size(), false);
        m_consumidos += usados;
        m_buf.erase(0, usados);
        if (intento == 0 && m_buf.size() <= k) { // what is left lies in `datos`: read on from there
            desde -= m_buf.size();
            m_buf.clear();
        }
    }
    if (m_buf.empty() && desde < n) {
        const std::size_t usados = procesar(datos + desde, n - desde, false);
        m_consumidos += usados;
        m_buf.assign(datos + desde + usados, n - desde - usados);
    }
    if (m_buf.size() > kMarcaMaxima)
        fallar(0, QStringLiteral("una marca ocupa más de %1 bytes").arg(kMarcaMaxima));
}

void EscanerXml::terminar() {
    const std::size_t usados = procesar(m_buf.data(), m_buf.size(), true);
    if (usados < m_buf.size())
        fallar(usados, QStringLiteral("termina en medio de una marca"));
    m_consumidos += usados;
    m_buf.clear();
    if (m_nivel > 0)
        fallar(0, QStringLiteral("termina con elementos sin cerrar"));
    if (!m_raizCerrada)
        fallar(0, QStringLiteral("no tiene ningún elemento"));
}

std::size_t EscanerXml::procesar(const char* b, std::size_t n, bool final) {
    std::size_t p = 0;
    if (m_inicio) {
        if (n < 3 && !final)
            return 0;
        if (n >= 3 && std::memcmp(b, "\xEF\xBB\xBF", 3) == 0)
            p = 3; // UTF-8 byte order mark
        m_inicio = false;
    }
    const char* fin = b + n;
    while (p < n) {
        m_pos = p;
        if (b[p] != '<') {
            // Text runs are short between the tags of a sheet: one pass finds the end and whether
            // anything needs decoding.
            std::size_t hasta = p;
            bool especial = false;
            while (hasta < n && b[hasta] != '<') {
                especial = especial || b[hasta] == '&' || b[hasta] == '\r';
                ++hasta;
            }
            const bool completo = hasta < n;
            if (!completo && !final && especial) {
                // Keep back a reference cut by the end of the bytes, and a CR that may begin a CR LF.
                const auto* amp = static_cast<const char*>(memrchr(b + p, '&', hasta - p));
                if (amp && !std::memchr(amp, ';', static_cast<std::size_t>(fin - amp)))
                    hasta = static_cast<std::size_t>(amp - b);
                if (hasta > p && b[hasta - 1] == '\r')
                    --hasta;
            }
            if (hasta > p)
                emitirTexto(b + p, hasta - p, especial);
            p = hasta;
            if (!completo)
                break;
            continue;
        }
        if (n - p < 2)
            break;
        const char c = b[p + 1];
        if (c == '/') {
            const char* gt = b + p + 2;
            while (gt < fin && *gt != '>')
                ++gt;
            if (gt == fin)
                break;
            const char* s = b + p + 2;
            const char* e = gt;
            while (e > s && blanco(e[-1]))
                --e;
            etiquetaFinal(std::string_view(s, static_cast<std::size_t>(e - s)));
            p = static_cast<std::size_t>(gt - b) + 1;
        } else if (c == '?') {
            const char* e = buscar(b + p + 2, fin, "?>");
            if (!e)
                break;
            p = static_cast<std::size_t>(e - b) + 2; // processing instruction or XML declaration
        } else if (c == '!') {
            const std::string_view resto(b + p, n - p);
            if (resto.starts_with("<!--")) {
                const char* e = buscar(b + p + 4, fin, "-->");
                if (!e)
                    break;
                p = static_cast<std::size_t>(e - b) + 3;
            } else if (resto.starts_with("<![CDATA[")) {
                const char* e = buscar(b + p + 9, fin, "]]>");
                if (!e)
                    break;
                if (m_nivel == 0)
                    fallar(p, QStringLiteral("una sección CDATA fuera del elemento raíz"));
                emitirTextoCrudo(b + p + 9, static_cast<std::size_t>(e - (b + p + 9)));
                p = static_cast<std::size_t>(e - b) + 3;
            } else if (!final && (std::string_view("<![CDATA[").starts_with(resto) ||
                                  std::string_view("<!--").starts_with(resto))) {
                break;
            } else {
                danado(motivoDoctype(m_parte));
            }
        } else {
            if (m_lector.m_directo) {
                if (const std::size_t leidos = m_lector.leerDirecto(b + p, n - p, m_porDefecto)) {
                    p += leidos;
                    continue;
                }
            }
            const std::size_t q = etiquetaInicial(b, p, n);
            if (!q)
                break;
            p = q;
        }
    }
    if (final && p < n)
        fallar(p, QStringLiteral("termina en medio de una marca"));
    return p;
}

std::size_t EscanerXml::etiquetaInicial(const char* b, std::size_t p, std::size_t largo) {
    const char* const fin = b + largo;
    const char* const s = b + p + 1;
    const char* q = s;
    const char* dosPuntos = nullptr;
    while (q < fin && !kEspeciales.finEtiqueta[static_cast<unsigned char>(*q)]) {
        if (*q == ':')
            dosPuntos = q;
        ++q;
    }
    if (q >= fin)
        return 0;
    const std::string_view nombre(s, static_cast<std::size_t>(q - s));
    if (nombre.empty())
        fallar(m_pos, QStringLiteral("una etiqueta sin nombre"));
    if (m_nivel == 0 && m_raizCerrada)
        fallar(m_pos, QStringLiteral("hay más de un elemento raíz"));

    m_atributos.clear();
    m_atributosTexto.clear();
    const std::size_t enlaces = m_enlaces.size();
    const auto incompleta = [&] {
        m_enlaces.resize(enlaces); // the tag is read again when more bytes come
        return std::size_t(0);
    };
    bool vacia = false;
    bool conPrefijo = false;
    for (;;) {
        while (q < fin && blanco(*q))
            ++q;
        if (q >= fin)
            return incompleta();
        if (*q == '>') {
            ++q;
            break;
        }
        if (*q == '/') {
            if (q + 1 >= fin)
                return incompleta();
            if (q[1] != '>')
                fallar(m_pos, QStringLiteral("hay una «/» fuera de lugar en la etiqueta «%1»")
                                  .arg(QString::fromUtf8(nombre)));
            vacia = true;
            q += 2;
            break;
        }
        const char* a = q;
        bool prefijado = false;
        while (q < fin && !kEspeciales.finAtributo[static_cast<unsigned char>(*q)]) {
            prefijado = prefijado || *q == ':';
            ++q;
        }
        const std::string_view atributo(a, static_cast<std::size_t>(q - a));
        while (q < fin && blanco(*q))
            ++q;
        if (q >= fin)
            return incompleta();
        if (*q != '=')
            fallar(m_pos, QStringLiteral("el atributo «%1» no tiene valor").arg(QString::fromUtf8(atributo)));
        ++q;
        while (q < fin && blanco(*q))
            ++q;
        if (q >= fin)
            return incompleta();
        if (*q != '"' && *q != '\'')
            fallar(m_pos, QStringLiteral("el valor del atributo «%1» no está entre comillas")
                              .arg(QString::fromUtf8(atributo)));
        // Values are short: one loop finds the closing quote and whether anything needs decoding.
        const char comilla = *q++;
        const char* cierre = q;
        bool especial = false;
        while (cierre < fin && *cierre != comilla) {
            especial = especial || kEspeciales.atributo[static_cast<unsigned char>(*cierre)];
            ++cierre;
        }
        if (cierre + 1 >= fin)
            return incompleta();
        const char* v = q;
        q = cierre + 1;
        if (!blanco(*q) && *q != '>' && *q != '/')
            fallar(
                m_pos,
                QStringLiteral("falta un blanco después del atributo «%1»").arg(QString::fromUtf8(atributo)));
        if (atributo[0] == 'x' && (atributo == "xmlns" || atributo.starts_with("xmlns:"))) {
            std::string uri;
            decodificar(v, static_cast<std::size_t>(cierre - v), uri, true);
            m_enlaces.push_back({std::string(atributo.substr(atributo.size() > 5 ? 6 : 5)),
                                 uri.empty() ? Espacio::Ninguno : espacioDe(uri), m_nivel + 1});
            continue;
        }
        conPrefijo = conPrefijo || prefijado;
        std::string_view valor(v, static_cast<std::size_t>(cierre - v));
        if (especial) {
            // Decoded text is never longer than the tag: reserved at the first value decoded, the
            // room keeps the views of the earlier ones valid.
            if (m_atributosTexto.empty())
                m_atributosTexto.reserve(static_cast<std::size_t>(fin - s));
            const std::size_t desde = m_atributosTexto.size();
            decodificar(v, valor.size(), m_atributosTexto, true);
            valor = std::string_view(m_atributosTexto).substr(desde);
        }
        m_atributos.push_back({Espacio::Ninguno, atributo, valor});
    }
    if (conPrefijo) {
        // Prefixed attribute names, resolved with this tag's declarations.
        for (Atributo& a : m_atributos) {
            if (a.local.find(':') == std::string_view::npos)
                continue;
            const Nombre n = resolver(a.local, true);
            a.espacio = n.espacio;
            a.local = n.local;
        }
    }

    if (m_enlaces.size() != enlaces)
        actualizarPorDefecto();
    const Nombre n = dosPuntos ? resolver(nombre, false) : Nombre{m_porDefecto, nombre};
    m_abiertos.push_back({static_cast<std::uint32_t>(m_largoPila),
                          static_cast<std::uint32_t>(nombre.size() - n.local.size()), n.espacio});
    if (m_largoPila + nombre.size() > m_pila.size())
        m_pila.resize(std::max(2 * m_pila.size(), m_largoPila + nombre.size() + 256));
    std::memcpy(m_pila.data() + m_largoPila, nombre.data(), nombre.size());
    m_largoPila += nombre.size();
    ++m_nivel;
    m_lector.inicio(n, m_atributos);
    if (vacia)
        terminarElemento(n);
    return static_cast<std::size_t>(q - b);
}

void EscanerXml::etiquetaFinal(std::string_view nombre) {
    if (m_nivel == 0)
        fallar(m_pos, QStringLiteral("cierra «%1», que no está abierto").arg(QString::fromUtf8(nombre)));
    const Abierto& e = m_abiertos.back();
    const std::string_view abierto(m_pila.data() + e.inicio, m_largoPila - e.inicio);
    // Names are short: compared here rather than through memcmp.
    bool igual = abierto.size() == nombre.size();
    for (std::size_t i = 0; igual && i < nombre.size(); ++i)
        igual = abierto[i] == nombre[i];
    if (!igual)
        fallar(m_pos, QStringLiteral("cierra «%1» cuando está abierto «%2»")
                          .arg(QString::fromUtf8(nombre), QString::fromUtf8(abierto)));
    terminarElemento({e.espacio, nombre.substr(e.prefijo)}); // resolved when it opened
}

void EscanerXml::terminarElemento(const Nombre& nombre) {
    m_lector.fin(nombre);
    if (!m_enlaces.empty() && m_enlaces.back().nivel == m_nivel) {
        while (!m_enlaces.empty() && m_enlaces.back().nivel == m_nivel)
            m_enlaces.pop_back();
        actualizarPorDefecto();
    }
    m_largoPila = m_abiertos.back().inicio;
    m_abiertos.pop_back();
    if (--m_nivel == 0)
        m_raizCerrada = true;
}

void EscanerXml::actualizarPorDefecto() {
    m_porDefecto = Espacio::Ninguno;
    for (auto it = m_enlaces.rbegin(); it != m_enlaces.rend(); ++it)
        if (it->prefijo.empty()) {
            m_porDefecto = it->espacio;
            break;
        }
}

Nombre EscanerXml::resolver(std::string_view nombre, bool atributo) const {
    const auto dos = nombre.find(':');
    if (dos == std::string_view::npos)
        return {atributo ? Espacio::Ninguno : m_porDefecto, nombre}; // unprefixed attributes have none
    const std::string_view prefijo = nombre.substr(0, dos);
    const std::string_view local = nombre.substr(dos + 1);
    if (prefijo == "xml")
        return {Espacio::Otro, local};
    for (auto it = m_enlaces.rbegin(); it != m_enlaces.rend(); ++it)
        if (it->prefijo == prefijo)
            return {it->espacio, local};
    fallar(m_pos, QStringLiteral("el prefijo «%1» no está declarado").arg(QString::fromUtf8(prefijo)));
}

void EscanerXml::emitirTexto(const char* s, std::size_t n, bool especial) {
    if (m_nivel == 0) {
        for (std::size_t i = 0; i < n; ++i)
            if (!blanco(s[i]))
                fallar(m_pos, QStringLiteral("hay texto fuera del elemento raíz"));
        return;
    }
    if (!especial) {
        m_lector.texto(s, static_cast<int>(n));
        return;
    }
    m_texto.clear();
    decodificar(s, n, m_texto, false);
    m_lector.texto(m_texto.data(), static_cast<int>(m_texto.size()));
}

void EscanerXml::emitirTextoCrudo(const char* s, std::size_t n) {
    m_texto.clear();
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] == '\r') {
            m_texto += '\n';
            if (i + 1 < n && s[i + 1] == '\n')
                ++i;
        } else {
            m_texto += s[i];
        }
    }
    m_lector.texto(m_texto.data(), static_cast<int>(m_texto.size()));
}

void EscanerXml::decodificar(const char* s, std::size_t n, std::string& d, bool atributo) {
    const bool* especial = atributo ? kEspeciales.atributo : kEspeciales.texto;
    std::size_t tramo = 0; // start of the run copied as it is
    for (std::size_t i = 0; i < n; ++i) {
        const char c = s[i];
        if (!especial[static_cast<unsigned char>(c)])
            continue;
        d.append(s + tramo, i - tramo);
        if (c == '&') {
            const auto* pc =
                static_cast<const char*>(std::memchr(s + i, ';', std::min<std::size_t>(n - i, 12)));
            const std::string_view ref =
                pc ? std::string_view(s + i + 1, static_cast<std::size_t>(pc - s - i - 1))
                   : std::string_view();
            if (ref == "lt") {
                d += '<';
            } else if (ref == "gt") {
                d += '>';
            } else if (ref == "amp") {
                d += '&';
            } else if (ref == "quot") {
                d += '"';
            } else if (ref == "apos") {
                d += '\'';
            } else if (ref.size() > 1 && ref[0] == '#') {
                const bool hexa = ref[1] == 'x';
                std::uint32_t cp = 0;
                std::size_t k = hexa ? 2 : 1;
                bool valido = k < ref.size();
                for (; valido && k < ref.size(); ++k) {
                    const char x = ref[k];
                    const int cifra = x >= '0' && x <= '9'           ? x - '0'
                                      : hexa && x >= 'a' && x <= 'f' ? x - 'a' + 10
                                      : hexa && x >= 'A' && x <= 'F' ? x - 'A' + 10
                                                                     : -1;
                    valido = cifra >= 0 && cp <= 0x10FFFF;
                    cp = cp * (hexa ? 16 : 10) + static_cast<std::uint32_t>(cifra);
                }
                valido = valido && (cp == 9 || cp == 10 || cp == 13 || cp >= 0x20) && cp <= 0x10FFFF &&
                         !(cp >= 0xD800 && cp <= 0xDFFF) && cp != 0xFFFE && cp != 0xFFFF;
                if (!valido)
                    fallar(m_pos, QStringLiteral("la referencia «&%1;» no es un carácter válido")
                                      .arg(QString::fromUtf8(ref)));
                agregarUtf8(d, cp);
            } else {
                fallar(m_pos, QStringLiteral("la entidad «&%1» no está declarada")
                                  .arg(QString::fromUtf8(
                                      std::string_view(s + i + 1, std::min<std::size_t>(n - i - 1, 10)))));
            }
            i += ref.size() + 1;
        } else if (c == '\r') {
            d += atributo ? ' ' : '\n';
            if (i + 1 < n && s[i + 1] == '\n')
                ++i;
        } else if (c == '<') {
            fallar(m_pos, QStringLiteral("un valor de atributo contiene «<»"));
        } else {
            d += ' '; // tab and line feed in an attribute value
        }
        tramo = i + 1;
    }
    d.append(s + tramo, n - tramo);
}

} // namespace tarvix::lector::xlsx
