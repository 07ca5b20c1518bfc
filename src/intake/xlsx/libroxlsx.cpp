#include "intake/xlsx/libroxlsx.h"

#include "intake/xlsx/directo.h"
#include "intake/xlsx/fallaxlsx.h"
#include "intake/xlsx/formatosfecha.h"
#include "intake/xlsx/xmlxlsx.h"
#include "intake/xlsx/zipxlsx.h"

#include <atomic>
#include <charconv>
#include <optional>
#include <unordered_map>

namespace tarvix::lector::xlsx {

namespace {

bool igualSinMayusculas(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto m = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (m(a[i]) != m(b[i]))
            return false;
    }
    return true;
}

// A non-negative decimal attribute; -1 when absent or not a number.
std::int64_t entero(std::optional<std::string_view> s) {
    if (!s)
        return -1;
    std::int64_t v = -1;
    const char* fin = s->data() + s->size();
    const auto r = std::from_chars(s->data(), fin, v);
    return r.ec == std::errc() && r.ptr == fin && v >= 0 ? v : -1;
}

std::string relacionesDe(const std::string& parte) {
    const auto barra = parte.rfind('/');
    if (barra == std::string::npos)
        return "_rels/" + parte + ".rels";
    return parte.substr(0, barra + 1) + "_rels/" + parte.substr(barra + 1) + ".rels";
}

class LectorRelaciones : public LectorXml {
public:
    LectorRelaciones(const std::string& origen, std::vector<Relacion>& relaciones)
        : m_origen(origen), m_relaciones(relaciones) {}

protected:
    void inicio(const Nombre& nombre, Atributos atributos) override {
        if (!nombre.esDePaquete("Relationship"))
            return;
        const auto id = atributo(atributos, "Id");
        const auto tipo = atributo(atributos, "Type");
        const auto destino = atributo(atributos, "Target");
        const auto modo = atributo(atributos, "TargetMode");
        if (!id || !tipo || !destino || (modo && igualSinMayusculas(*modo, "External")))
            return;
        m_relaciones.push_back({std::string(*id), std::string(*tipo), resolverDestino(m_origen, *destino)});
    }
    void fin(const Nombre&) override {}

private:
    const std::string& m_origen;
    std::vector<Relacion>& m_relaciones;
};

class LectorLibro : public LectorXml {
public:
    LectorLibro(Libro& libro, std::int64_t hojasMaximas) : m_libro(libro), m_hojasMaximas(hojasMaximas) {}

protected:
    void inicio(const Nombre& nombre, Atributos atributos) override {
        if (nombre.es("workbookPr")) {
            const auto v = atributo(atributos, "date1904");
            bool b = false;
            if (v && booleanoXml(*v, &b))
                m_libro.fecha1904 = b;
        } else if (nombre.es("sheet")) {
            const auto id = atributoRelacion(atributos, "id");
            if (!id)
                danado(QStringLiteral("una hoja de la parte %1 no tiene relación (r:id)").arg(parte()));
            if (static_cast<std::int64_t>(m_libro.hojas.size()) >= m_hojasMaximas)
                excesivo(QStringLiteral("el libro tiene más de %1 hojas").arg(m_hojasMaximas));
            m_libro.hojas.emplace_back(*id);
        }
    }
    void fin(const Nombre&) override {}

private:
    Libro& m_libro;
    std::int64_t m_hojasMaximas;
};

class LectorEstilos : public LectorXml {
public:
    explicit LectorEstilos(std::int64_t estilosMaximos) : m_estilosMaximos(estilosMaximos) {}

    std::vector<bool> formatosFecha() const {
        std::vector<bool> r;
        r.reserve(m_formatoDeEstilo.size());
        for (const std::int64_t id : m_formatoDeEstilo) {
            const auto propio = m_propios.find(id);
            r.push_back(propio != m_propios.end() ? esFormatoFecha(propio->second)
                                                  : esFormatoFechaIntegrado(static_cast<int>(id)));
        }
        return r;
    }

protected:
    void inicio(const Nombre& nombre, Atributos atributos) override {
        if (nombre.es("numFmts")) {
            m_enFormatos = true;
        } else if (nombre.es("cellXfs")) {
            m_enEstilos = true;
        } else if (m_enFormatos && nombre.es("numFmt")) {
            const std::int64_t id = entero(atributo(atributos, "numFmtId"));
            const auto codigo = atributo(atributos, "formatCode");
            if (id >= 0 && codigo) {
                if (static_cast<std::int64_t>(m_propios.size()) >= m_estilosMaximos)
                    excesivo(QStringLiteral("la parte %1 tiene más de %2 formatos")
                                 .arg(parte())
                                 .arg(m_estilosMaximos));
                m_propios[id] = std::string(*codigo);
            }
        } else if (m_enEstilos && nombre.es("xf")) {
            if (static_cast<std::int64_t>(m_formatoDeEstilo.size()) >= m_estilosMaximos)
                excesivo(
                    QStringLiteral("la parte %1 tiene más de %2 estilos").arg(parte()).arg(m_estilosMaximos));
            m_formatoDeEstilo.push_back(std::max<std::int64_t>(0, entero(atributo(atributos, "numFmtId"))));
        }
    }
    void fin(const Nombre& nombre) override {
        if (nombre.es("numFmts"))
            m_enFormatos = false;
        else if (nombre.es("cellXfs"))
            m_enEstilos = false;
    }

private:
    std::int64_t m_estilosMaximos;
    bool m_enFormatos = false;
    bool m_enEstilos = false;
    std::unordered_map<std::int64_t, std::string> m_propios;
    std::vector<std::int64_t> m_formatoDeEstilo;
};

std::atomic<std::int64_t> g_cadenasDirectas{0};

class LectorCadenas : public LectorXml {
public:
    LectorCadenas(std::vector<QString>& cadenas, std::int64_t cadenasMaximas, std::int64_t bytesPorCadena,
                  bool directas)
        : m_cadenas(cadenas), m_cadenasMaximas(cadenasMaximas), m_bytesPorCadena(bytesPorCadena),
          m_directas(directas) {}

protected:
    void inicio(const Nombre& nombre, Atributos atributos) override {
        if (nombre.es("sst")) {
            // Reserve for the declared count, within the limit: the count is only a hint.
            const std::int64_t n = entero(atributo(atributos, "uniqueCount"));
            if (n > 0)
                m_cadenas.reserve(static_cast<std::size_t>(std::min(n, m_cadenasMaximas)));
            m_directo = m_directas;
        } else if (nombre.es("si")) {
            m_enCadena = true;
            m_texto.clear();
        } else if (nombre.es("rPh")) {
            ++m_fonetica;
        } else if (nombre.es("t") && m_enCadena && m_fonetica == 0) {
            m_enTexto = true;
        }
    }
    void fin(const Nombre& nombre) override {
        if (nombre.es("t")) {
            m_enTexto = false;
        } else if (nombre.es("rPh")) {
            --m_fonetica;
        } else if (nombre.es("si") && m_enCadena) {
            if (static_cast<std::int64_t>(m_cadenas.size()) >= m_cadenasMaximas)
                excesivo(
                    QStringLiteral("la parte %1 tiene más de %2 cadenas").arg(parte()).arg(m_cadenasMaximas));
            m_cadenas.push_back(textoGuardado(m_texto));
            m_enCadena = false;
        } else if (nombre.es("sst")) {
            m_directo = false;
        }
    }
    void texto(const char* s, int largo) override {
        if (!m_enTexto)
            return;
        if (static_cast<std::int64_t>(m_texto.size()) + largo > m_bytesPorCadena)
            excesivo(QStringLiteral("la cadena %1 de la parte %2 supera %3 bytes")
                         .arg(m_cadenas.size())
                         .arg(parte())
                         .arg(m_bytesPorCadena));
        m_texto.append(s, static_cast<std::size_t>(largo));
    }

    // Strings of the plain form <si><t>text</t></si> (see directo.h), as many as come one after
    // the other: what their events would do. A string with runs, a phonetic reading, a second
    // <t>, a character reference or a carriage return is left to the scanner; so is one that
    // passes a limit, which the scanner then reports.
    std::size_t leerDirecto(const char* b, std::size_t n, Espacio porDefecto) override {
        if (m_enCadena || m_enTexto || m_fonetica != 0 ||
            (porDefecto != Espacio::Hoja && porDefecto != Espacio::Ninguno))
            return 0;
        using namespace directo;
        return seguidos(b, n, g_cadenasDirectas, [this](const char*& q, const char* fin) {
            const auto nada = [](std::string_view, std::string_view) {};
            if (!abre(q, fin, "si"))
                return false;
            int forma = atributos(q, fin, nada);
            std::string_view texto;
            if (forma == 1) {
                if (!saltarTexto(q, fin) || !abre(q, fin, "t"))
                    return false;
                forma = atributos(q, fin, nada);
                if (forma == 1 && !(leerTexto(q, fin, m_texto, &texto) && cierra(q, fin, "</t>")))
                    return false;
                if (!forma || !saltarTexto(q, fin) || !cierra(q, fin, "</si>"))
                    return false;
            } else if (forma != 2) {
                return false;
            }
            if (static_cast<std::int64_t>(texto.size()) > m_bytesPorCadena ||
                static_cast<std::int64_t>(m_cadenas.size()) >= m_cadenasMaximas)
                return false;
            m_cadenas.push_back(textoGuardado(texto));
            return true;
        });
    }

private:
    std::vector<QString>& m_cadenas;
    std::int64_t m_cadenasMaximas;
    std::int64_t m_bytesPorCadena;
    const bool m_directas;
    std::string m_texto;
    bool m_enCadena = false;
    bool m_enTexto = false;
    int m_fonetica = 0;
};

} // namespace

std::vector<Relacion> leerRelaciones(const PaqueteZip& paquete, const std::string& parte,
                                     std::int64_t bytesMaximos) {
    std::vector<Relacion> relaciones;
    const std::string rels = relacionesDe(parte);
    if (paquete.tiene(rels)) {
        LectorRelaciones lector(parte, relaciones);
        lector.leer(paquete, rels, bytesMaximos);
    }
    return relaciones;
}

bool esDeTipo(const Relacion& relacion, std::string_view tipo) {
    const std::string_view t(relacion.tipo);
    return t.size() > tipo.size() && t[t.size() - tipo.size() - 1] == '/' &&
           igualSinMayusculas(t.substr(t.size() - tipo.size()), tipo);
}

const Relacion* relacionDeTipo(const std::vector<Relacion>& relaciones, std::string_view tipo) {
    for (const Relacion& r : relaciones)
        if (esDeTipo(r, tipo))
            return &r;
    return nullptr;
}

std::string resolverDestino(const std::string& origen, std::string_view destino) {
    std::string ruta;
    if (destino.empty() || (destino.front() != '/' && destino.front() != '\\')) {
        const auto barra = origen.rfind('/');
        if (barra != std::string::npos)
            ruta = origen.substr(0, barra + 1);
    }
    // %XX escapes of the target URI.
    for (std::size_t i = 0; i < destino.size(); ++i) {
        char c = destino[i];
        if (c == '%' && i + 2 < destino.size()) {
            int v = 0;
            const auto r = std::from_chars(destino.data() + i + 1, destino.data() + i + 3, v, 16);
            if (r.ec == std::errc() && r.ptr == destino.data() + i + 3) {
                c = static_cast<char>(v);
                i += 2;
            }
        }
        ruta += c == '\\' ? '/' : c;
    }
    std::vector<std::string> segmentos;
    std::size_t inicio = 0;
    while (inicio <= ruta.size()) {
        auto fin = ruta.find('/', inicio);
        if (fin == std::string::npos)
            fin = ruta.size();
        const std::string s = ruta.substr(inicio, fin - inicio);
        if (s == "..") {
            if (!segmentos.empty())
                segmentos.pop_back();
        } else if (!s.empty() && s != ".") {
            segmentos.push_back(s);
        }
        inicio = fin + 1;
    }
    std::string r;
    for (const auto& s : segmentos) {
        if (!r.empty())
            r += '/';
        r += s;
    }
    return r;
}

Libro leerLibro(const PaqueteZip& paquete, const std::string& parte, std::int64_t bytesMaximos,
                std::int64_t hojasMaximas) {
    Libro libro;
    LectorLibro lector(libro, hojasMaximas);
    lector.leer(paquete, parte, bytesMaximos);
    return libro;
}

std::vector<bool> leerFormatosFecha(const PaqueteZip& paquete, const std::string& parte,
                                    std::int64_t bytesMaximos, std::int64_t estilosMaximos) {
    LectorEstilos lector(estilosMaximos);
    lector.leer(paquete, parte, bytesMaximos);
    return lector.formatosFecha();
}

std::vector<QString> leerCadenas(const PaqueteZip& paquete, const std::string& parte,
                                 std::int64_t bytesMaximos, std::int64_t cadenasMaximas,
                                 std::int64_t bytesPorCadena, bool directas) {
    std::vector<QString> cadenas;
    LectorCadenas lector(cadenas, cadenasMaximas, bytesPorCadena, directas);
    lector.leer(paquete, parte, bytesMaximos);
    return cadenas;
}

std::int64_t cadenasLeidasDirecto() {
    return g_cadenasDirectas.load(std::memory_order_relaxed);
}

} // namespace tarvix::lector::xlsx
