#pragma once

#include "intake/xlsx/xmlxlsx.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvix::lector::xlsx {

// A streaming, namespace-aware XML scanner for UTF-8 parts, several times faster than a general
// parser on the worksheet's many small elements. It checks what a part needs to be read right
// (tags balanced and closed, attributes quoted, entities and character references known and
// valid, prefixes declared, one root) and hands names already split and classified. Any DOCTYPE is
// refused, so no entity other than the five predefined ones exists. A single markup (tag, comment,
// CDATA section, processing instruction) longer than kMarcaMaxima is refused.
class EscanerXml {
public:
    static constexpr std::size_t kMarcaMaxima = 1 << 20;

    // Element and text events go to `lector`; `parte` names the part in messages.
    EscanerXml(LectorXml& lector, const QString& parte);

    // The next bytes of the part. Throws FallaXlsx on malformed XML.
    void alimentar(const char* datos, std::size_t n);
    // End of the part: everything must be closed.
    void terminar();

private:
    struct Enlace {
        std::string prefijo;
        Espacio espacio;
        int nivel;
    };

    std::size_t procesar(const char* b, std::size_t n, bool final);
    // Reads the start tag at b[p] and returns where it ends, 0 when it goes past b[largo].
    std::size_t etiquetaInicial(const char* b, std::size_t p, std::size_t largo);
    void etiquetaFinal(std::string_view nombre);
    void emitirTexto(const char* s, std::size_t n, bool especial);
    void emitirTextoCrudo(const char* s, std::size_t n);
    void decodificar(const char* s, std::size_t n, std::string& destino, bool atributo);
    Nombre resolver(std::string_view nombreCompleto, bool atributo) const;
    void actualizarPorDefecto();
    void terminarElemento(const Nombre& nombre);
    [[noreturn]] void fallar(std::size_t pos, const QString& motivo) const;

    LectorXml& m_lector;
    QString m_parte;
    std::string m_buf;              // bytes not yet consumed
    std::uint64_t m_consumidos = 0; // bytes consumed before the bytes being processed
    std::size_t m_pos = 0;          // where the markup or text being processed starts, for messages
    bool m_inicio = true;
    int m_nivel = 0;
    bool m_raizCerrada = false;
    struct Abierto {
        std::uint32_t inicio;  // where its name starts in m_pila
        std::uint32_t prefijo; // length of "prefix:" in its name
        Espacio espacio;
    };
    std::vector<char> m_pila; // open element names, one after the other, in m_largoPila bytes
    std::size_t m_largoPila = 0;
    std::vector<Abierto> m_abiertos;
    std::vector<Enlace> m_enlaces;
    Espacio m_porDefecto = Espacio::Ninguno; // the default namespace in force
    std::string m_texto;
    std::string m_atributosTexto; // attribute values that needed decoding
    std::vector<Atributo> m_atributos;
};

} // namespace tarvix::lector::xlsx
