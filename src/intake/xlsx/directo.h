#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

// Reading the usual plain form of a part's elements straight from its bytes, for the readers that
// offer to (LectorXml::leerDirecto): unprefixed element names; attributes written name="value",
// unprefixed or with the always-bound prefix "xml", with no namespace declaration and nothing in
// the value the scanner would decode or refuse; end tags with no blanks. Each function here says
// false (or 0) when the bytes are not all there or leave that form, and the reader then leaves the
// element to the scanner, which reads it as ever.
namespace tarvix::lector::xlsx::directo {

inline bool blanco(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

inline unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}

struct Tabla {
    bool finNombre[256] = {};   // what ends an element's name, as for the scanner
    bool deAtributo[256] = {};  // the bytes of an attribute's name read here
    bool finValor[256] = {};    // the quotes, and what the scanner decodes or refuses in a value
    bool aparteTexto[256] = {}; // what the scanner decodes in text
    constexpr Tabla() {
        for (const unsigned char c : {' ', '\t', '\n', '\r', '/', '>'})
            finNombre[c] = true;
        for (int c = 0; c < 256; ++c)
            deAtributo[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                            c == '_' || c == '-' || c == '.' || c == ':';
        for (const unsigned char c : {'&', '\r', '\t', '\n', '<', '"', '\''})
            finValor[c] = true;
        for (const unsigned char c : {'&', '\r'})
            aparteTexto[c] = true;
    }
};
inline constexpr Tabla kTabla;

// The start tag of the element `nombre` at q ("<" included): q is moved past the name.
inline bool abre(const char*& q, const char* fin, std::string_view nombre) {
    const std::size_t n = nombre.size() + 1;
    if (static_cast<std::size_t>(fin - q) <= n || q[0] != '<' || std::string_view(q + 1, n - 1) != nombre ||
        !kTabla.finNombre[uc(q[n])])
        return false;
    q += n;
    return true;
}

// The end tag `etiqueta` ("</t>") at q: q is moved past it.
inline bool cierra(const char*& q, const char* fin, std::string_view etiqueta) {
    if (static_cast<std::size_t>(fin - q) < etiqueta.size() ||
        std::string_view(q, etiqueta.size()) != etiqueta)
        return false;
    q += etiqueta.size();
    return true;
}

// The attributes of a start tag, from just past its name: `cada(nombre, valor)` for each, in order
// ("xml:space" is named so, the others have no prefix). Returns 1 when the tag ends in ">", 2 in
// "/>", and 0 otherwise.
template <typename F> int atributos(const char*& q, const char* fin, F&& cada) {
    for (;;) {
        while (q < fin && blanco(*q))
            ++q;
        if (q >= fin)
            return 0;
        if (*q == '>') {
            ++q;
            return 1;
        }
        if (*q == '/') {
            if (q + 1 >= fin || q[1] != '>')
                return 0;
            q += 2;
            return 2;
        }
        const char* const a = q;
        bool prefijado = false;
        for (; q < fin && kTabla.deAtributo[uc(*q)]; ++q)
            prefijado = prefijado || *q == ':';
        if (q == a || fin - q < 2 || *q != '=' || (q[1] != '"' && q[1] != '\''))
            return 0;
        const std::string_view nombre(a, static_cast<std::size_t>(q - a));
        if (nombre == "xmlns" || (prefijado && !nombre.starts_with("xml:")))
            return 0; // a declaration, or a prefix that has to be declared
        const char* const v = q + 2;
        const char* e = v;
        while (e < fin && !kTabla.finValor[uc(*e)])
            ++e;
        if (fin - e < 2 || *e != q[1] || !kTabla.finNombre[uc(e[1])])
            return 0;
        cada(nombre, std::string_view(v, static_cast<std::size_t>(e - v)));
        q = e + 1;
    }
}

// The named entity at q ("&amp;"): its character, with q moved past it; 0 for any other reference.
inline char entidad(const char*& q, const char* fin) {
    static constexpr struct {
        std::string_view nombre;
        char caracter;
    } kEntidades[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    const std::string_view resto(q, static_cast<std::size_t>(fin - q));
    for (const auto& e : kEntidades)
        if (resto.starts_with(e.nombre)) {
            q += e.nombre.size();
            return e.caracter;
        }
    return 0;
}

// Text whose bytes are not kept (between a row's cells, a formula): up to the next "<", which must
// be there, with no reference but the five named entities.
inline bool saltarTexto(const char*& q, const char* fin) {
    while (q < fin && *q != '<') {
        if (*q != '&')
            ++q;
        else if (!entidad(q, fin))
            return false;
    }
    return q < fin;
}

// Text that is kept, up to the next "<", which must be there: `*texto` views it as the scanner
// hands it over, with the five named entities replaced (in `decodificado`, then). No other
// reference, and no carriage return (which the scanner turns into a line feed).
inline bool leerTexto(const char*& q, const char* fin, std::string& decodificado, std::string_view* texto) {
    const char* const desde = q;
    while (q < fin && !kTabla.aparteTexto[uc(*q)] && *q != '<')
        ++q;
    if (q < fin && *q == '<') {
        *texto = std::string_view(desde, static_cast<std::size_t>(q - desde));
        return true;
    }
    if (q >= fin || *q == '\r')
        return false;
    decodificado.assign(desde, static_cast<std::size_t>(q - desde));
    while (q < fin && *q != '<') {
        if (*q == '\r')
            return false;
        if (*q != '&') {
            decodificado += *q++;
            continue;
        }
        const char c = entidad(q, fin);
        if (!c)
            return false;
        decodificado += c;
    }
    *texto = decodificado;
    return q < fin;
}

// Elements read one after the other from the start of [b, b + n) by `uno(q, fin)`, which says
// whether it read one whole (and put it), with q moved past it; the blanks between them are not
// kept either. Returns how many bytes were read, up to the last element read, and adds how many
// elements to `cuenta`.
template <typename F>
std::size_t seguidos(const char* b, std::size_t n, std::atomic<std::int64_t>& cuenta, F&& uno) {
    const char* const fin = b + n;
    const char* leido = b;
    std::int64_t leidos = 0;
    for (const char* q = b; uno(q, fin);) {
        ++leidos;
        leido = q;
        while (q < fin && blanco(*q))
            ++q;
        if (q >= fin || *q != '<')
            break;
        leido = q;
    }
    if (leidos)
        cuenta.fetch_add(leidos, std::memory_order_relaxed);
    return static_cast<std::size_t>(leido - b);
}

} // namespace tarvix::lector::xlsx::directo
