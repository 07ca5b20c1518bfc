#include "intake/xlsx/xmlxlsx.h"

#include "intake/xlsx/escanerxml.h"
#include "intake/xlsx/fallaxlsx.h"
#include "intake/xlsx/zipxlsx.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>
#include <expat.h>
#include <optional>
#include <vector>

namespace tarvix::lector::xlsx {

namespace {

constexpr char kSeparador = '\x01'; // cannot occur in a namespace URI

} // namespace

Espacio espacioDe(std::string_view uri) {
    using namespace std::string_view_literals;
    if (uri == "http://schemas.openxmlformats.org/spreadsheetml/2006/main"sv ||
        uri == "http://purl.oclc.org/ooxml/spreadsheetml/main"sv)
        return Espacio::Hoja;
    if (uri == "http://schemas.openxmlformats.org/officeDocument/2006/relationships"sv ||
        uri == "http://purl.oclc.org/ooxml/officeDocument/relationships"sv)
        return Espacio::Relaciones;
    if (uri == "http://schemas.openxmlformats.org/package/2006/relationships"sv)
        return Espacio::Paquete;
    return Espacio::Otro;
}

namespace {

int hex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Nombre nombreXml(const char* nombreCompleto) {
    const char* sep = std::strchr(nombreCompleto, kSeparador);
    if (!sep)
        return {Espacio::Ninguno, std::string_view(nombreCompleto)};
    return {espacioDe(std::string_view(nombreCompleto, static_cast<std::size_t>(sep - nombreCompleto))),
            std::string_view(sep + 1)};
}

QString textoGuardado(std::string_view utf8) {
    QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (utf8.find("_x") == std::string_view::npos)
        return s;
    QString r;
    r.reserve(s.size());
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'_' && i + 6 < n && s[i + 1] == u'x' && s[i + 6] == u'_') {
            int v = 0;
            bool ok = true;
            for (qsizetype k = 2; k < 6 && ok; ++k) {
                const QChar c = s[i + k];
                const int h = c.unicode() < 128 ? hex(static_cast<char>(c.unicode())) : -1;
                ok = h >= 0;
                v = v * 16 + h;
            }
            if (ok) {
                r += QChar(static_cast<char16_t>(v));
                i += 6;
                continue;
            }
        }
        r += s[i];
    }
    return r;
}

bool booleanoXml(std::string_view s, bool* valor) {
    if (s == "1" || s == "true") {
        *valor = true;
        return true;
    }
    if (s == "0" || s == "false") {
        *valor = false;
        return true;
    }
    return false;
}

// Parts in an encoding other than UTF-8, through expat.
class MotorExpat {
public:
    MotorExpat(LectorXml& lector, const QString& parte) : m_lector(lector), m_parte(parte) {
        m_parser = XML_ParserCreateNS(nullptr, kSeparador);
        if (!m_parser)
            excesivo(QStringLiteral("no hay memoria para leer la parte %1").arg(parte));
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(m_parser, &MotorExpat::alEmpezar, &MotorExpat::alTerminar);
        XML_SetCharacterDataHandler(m_parser, &MotorExpat::alTexto);
        XML_SetStartDoctypeDeclHandler(m_parser, &MotorExpat::alDoctype);
        XML_SetParamEntityParsing(m_parser, XML_PARAM_ENTITY_PARSING_NEVER);
    }
    ~MotorExpat() { XML_ParserFree(m_parser); }
    MotorExpat(const MotorExpat&) = delete;
    MotorExpat& operator=(const MotorExpat&) = delete;

    void alimentar(const char* datos, std::size_t n) {
        revisar(XML_Parse(m_parser, datos, static_cast<int>(n), XML_FALSE));
    }
    void terminar() { revisar(XML_Parse(m_parser, nullptr, 0, XML_TRUE)); }

private:
    // C++ exceptions do not cross expat: a handler's is kept, the parser stopped, and it is thrown
    // again once XML_Parse has returned.
    template <typename F> static void proteger(void* datos, F&& f) {
        auto* self = static_cast<MotorExpat*>(datos);
        try {
            f(self);
        } catch (...) {
            if (!self->m_error)
                self->m_error = std::current_exception();
            XML_StopParser(self->m_parser, XML_FALSE);
        }
    }
    static void alEmpezar(void* datos, const char* nombre, const char** atributos) {
        proteger(datos, [&](MotorExpat* m) {
            m->m_atributos.clear();
            for (; *atributos; atributos += 2) {
                const Nombre n = nombreXml(atributos[0]);
                m->m_atributos.push_back({n.espacio, n.local, atributos[1]});
            }
            m->m_lector.inicio(nombreXml(nombre), m->m_atributos);
        });
    }
    static void alTerminar(void* datos, const char* nombre) {
        proteger(datos, [&](MotorExpat* m) { m->m_lector.fin(nombreXml(nombre)); });
    }
    static void alTexto(void* datos, const char* s, int largo) {
        proteger(datos, [&](MotorExpat* m) { m->m_lector.texto(s, largo); });
    }
    static void alDoctype(void* datos, const char*, const char*, const char*, int) {
        proteger(datos, [](MotorExpat* m) { danado(motivoDoctype(m->m_parte)); });
    }
    void revisar(XML_Status estado) {
        if (m_error)
            std::rethrow_exception(m_error);
        if (estado == XML_STATUS_ERROR)
            danado(QStringLiteral("la parte %1 no es XML válido (byte %2: %3)")
                       .arg(m_parte)
                       .arg(XML_GetCurrentByteIndex(m_parser))
                       .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(m_parser)))));
    }

    LectorXml& m_lector;
    QString m_parte;
    XML_Parser m_parser = nullptr;
    std::exception_ptr m_error;
    std::vector<Atributo> m_atributos;
};

namespace {

// Whether a part that begins with these bytes is UTF-8: no UTF-16 byte order mark or zero bytes,
// and an XML declaration, if any, that names no other encoding.
bool esUtf8(const char* d, std::size_t n) {
    const std::string_view s(d, n);
    if (s.starts_with("\xFE\xFF") || s.starts_with("\xFF\xFE") || (n >= 2 && (d[0] == 0 || d[1] == 0)))
        return false;
    std::string_view decl = s.substr(s.starts_with("\xEF\xBB\xBF") ? 3 : 0);
    if (!decl.starts_with("<?xml"))
        return true;
    decl = decl.substr(0, decl.find("?>"));
    const auto e = decl.find("encoding");
    if (e == std::string_view::npos)
        return true;
    const auto q = decl.find_first_of("\"'", e);
    if (q == std::string_view::npos)
        return true;
    const auto f = decl.find(decl[q], q + 1);
    std::string valor(decl.substr(q + 1, f == std::string_view::npos ? std::string_view::npos : f - q - 1));
    for (char& c : valor)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return valor == "utf-8" || valor == "utf8" || valor == "us-ascii";
}

} // namespace

QString motivoDoctype(const QString& parte) {
    return QStringLiteral("la parte %1 trae una declaración DOCTYPE, que un libro no usa y no se admite "
                          "(puede declarar entidades que se expanden sin fin)")
        .arg(parte);
}

LectorXml::LectorXml() = default;
LectorXml::~LectorXml() = default;

std::optional<std::string_view> LectorXml::atributo(Atributos atributos, std::string_view nombre) {
    for (const Atributo& a : atributos)
        if (a.espacio == Espacio::Ninguno && a.local == nombre)
            return a.valor;
    return std::nullopt;
}

std::optional<std::string_view> LectorXml::atributoRelacion(Atributos atributos, std::string_view local) {
    for (const Atributo& a : atributos)
        if (a.espacio == Espacio::Relaciones && a.local == local)
            return a.valor;
    return std::nullopt;
}

// The parser a part goes through, chosen by its first bytes.
class LectorXml::Motor {
public:
    Motor(LectorXml& lector, bool general) : m_lector(lector), m_general(general) {}
    void alimentar(const char* datos, std::size_t n) {
        if (!m_escaner && !m_expat) {
            if (!m_general && esUtf8(datos, n))
                m_escaner.emplace(m_lector, m_lector.m_parte);
            else
                m_expat.emplace(m_lector, m_lector.m_parte);
        }
        if (m_escaner)
            m_escaner->alimentar(datos, n);
        else
            m_expat->alimentar(datos, n);
    }
    void terminar() {
        if (m_expat)
            return m_expat->terminar();
        if (!m_escaner)
            m_escaner.emplace(m_lector, m_lector.m_parte);
        m_escaner->terminar();
    }

private:
    LectorXml& m_lector;
    bool m_general;
    std::optional<EscanerXml> m_escaner;
    std::optional<MotorExpat> m_expat;
};

void LectorXml::leer(const PaqueteZip& paquete, const std::string& parte, std::int64_t bytesMaximos) {
    m_parte = QString::fromUtf8(parte);
    Motor motor(*this, false);
    bool leida = false;
    paquete.leer(
        parte, bytesMaximos, [&motor](const char* datos, std::size_t n) { motor.alimentar(datos, n); },
        [this, &leida](std::string_view xml) { return leida = leerDeUnaVez(xml); });
    if (!leida)
        motor.terminar();
}

void LectorXml::leerTramos(std::initializer_list<std::string_view> tramos, const QString& parte) {
    m_parte = parte;
    Motor motor(*this, false);
    for (const std::string_view t : tramos)
        if (!t.empty())
            motor.alimentar(t.data(), t.size());
    motor.terminar();
}

void LectorXml::leerMemoria(std::string_view xml, std::size_t trozo, const QString& parte, bool general) {
    m_parte = parte;
    Motor motor(*this, general);
    trozo = std::max<std::size_t>(trozo, 1);
    for (std::size_t i = 0; i < xml.size(); i += trozo)
        motor.alimentar(xml.data() + i, std::min(trozo, xml.size() - i));
    motor.terminar();
}

} // namespace tarvix::lector::xlsx
