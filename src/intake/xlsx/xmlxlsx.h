#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvix::lector::xlsx {

class PaqueteZip;
class EscanerXml;
class MotorExpat;

// The namespaces a part's names are matched against: the transitional and the strict URIs of each
// vocabulary are the same namespace here, and a name with no namespace is taken as the main one.
enum class Espacio : unsigned char { Ninguno, Hoja, Relaciones, Paquete, Otro };

struct Nombre {
    Espacio espacio;
    std::string_view local;
    // An element of the spreadsheet vocabulary (or of none) with this local name.
    bool es(std::string_view l) const {
        return local == l && (espacio == Espacio::Hoja || espacio == Espacio::Ninguno);
    }
    // An element of the package relationships vocabulary (or of none) with this local name.
    bool esDePaquete(std::string_view l) const {
        return local == l && (espacio == Espacio::Paquete || espacio == Espacio::Ninguno);
    }
};

// An attribute of a start tag: an unprefixed one has no namespace (Espacio::Ninguno). The views
// are valid during the inicio() call only.
struct Atributo {
    Espacio espacio;
    std::string_view local;
    std::string_view valor; // entities and character references already replaced
};
using Atributos = std::span<const Atributo>;

// A streaming, namespace-aware reader of one XML part of the package. Refuses any DOCTYPE (and so
// every entity declaration); external entities are never loaded. UTF-8 parts (all that spreadsheet
// programs write) go through EscanerXml; parts in any other encoding through expat.
class LectorXml {
public:
    virtual ~LectorXml();
    LectorXml(const LectorXml&) = delete;
    LectorXml& operator=(const LectorXml&) = delete;

    // Parses the part `parte` of `paquete`, inflating at most `bytesMaximos`. Throws FallaXlsx.
    void leer(const PaqueteZip& paquete, const std::string& parte, std::int64_t bytesMaximos);
    // Parses `xml`, handed over in pieces of `trozo` bytes, named `parte` in messages; with
    // `general` through the general parser whatever its encoding.
    void leerMemoria(std::string_view xml, std::size_t trozo, const QString& parte, bool general = false);
    // Parses the pieces one after the other as a single part named `parte`.
    void leerTramos(std::initializer_list<std::string_view> tramos, const QString& parte);

protected:
    LectorXml();
    friend class EscanerXml;
    friend class MotorExpat;

    virtual void inicio(const Nombre& nombre, Atributos atributos) = 0;
    virtual void fin(const Nombre& nombre) = 0;
    virtual void texto(const char*, int) {}
    // A part that leer() finds inflated whole is offered here first, all of it; true when it was
    // read this way, otherwise it is parsed as ever.
    virtual bool leerDeUnaVez(std::string_view) { return false; }
    // While m_directo is set, the scanner offers the reader the bytes at each start tag first:
    // the reader may read whole elements there by itself, when it reads them exactly as their
    // events would, and returns how many bytes it read (0 leaves them all to the scanner).
    // `porDefecto` is the default namespace in force. The general parser never calls it.
    virtual std::size_t leerDirecto(const char*, std::size_t, Espacio) { return 0; }
    bool m_directo = false;

    // The part being read, for messages.
    const QString& parte() const { return m_parte; }

    // Value of the attribute without namespace `nombre`.
    static std::optional<std::string_view> atributo(Atributos atributos, std::string_view nombre);
    // Value of the attribute `local` in the relationships namespace (r:id).
    static std::optional<std::string_view> atributoRelacion(Atributos atributos, std::string_view local);

private:
    class Motor;
    QString m_parte;
};

// The namespace a URI names.
Espacio espacioDe(std::string_view uri);

// Why a part with a DOCTYPE is refused.
QString motivoDoctype(const QString& parte);

// A name split at the namespace separator and classified.
Nombre nombreXml(const char* nombreCompleto);

// Text of the XML as the spreadsheet stores it: UTF-8 with _xHHHH_ escapes for characters XML
// cannot carry ("_x000D_" is a carriage return, "_x005F_" an underscore that would start one).
QString textoGuardado(std::string_view utf8);

// ST_Boolean: "1"/"true" and "0"/"false"; `*valor` is set when the text is one of those.
bool booleanoXml(std::string_view s, bool* valor);

} // namespace tarvix::lector::xlsx
