#include "intake/xlsx/hojaxlsx.h"

#include "components/latido.h"
#include "intake/memoriahoja.h"
#include "intake/xlsx/directo.h"
#include "intake/xlsx/fallaxlsx.h"
#include "intake/xlsx/xmlxlsx.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstring>
#include <future>
#include <optional>
#include <thread>
#include <utility>

namespace tarvix::lector::xlsx {

namespace {

// Where a worksheet is cut to be read in two halves: the second half begins at a <row> that has
// its number and follows the end of another row.
struct Corte {
    std::size_t inicioDatos; // just after the <sheetData> start tag
    std::size_t corte;       // the <row> the second half begins with
    std::size_t finDatos;    // the </sheetData> end tag
};

// The cut of `xml`, when the sheet can be read in two halves that give what one pass gives: its
// rows in the sheet's namespace between <sheetData> and </sheetData>, no comment, CDATA section,
// processing instruction or declaration of a namespace after the start (so every "<" there
// begins a tag, and the names mean the same in both halves).
std::optional<Corte> cortar(std::string_view xml, double fraccion) {
    const auto esDeNombre = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
    };
    // The start tag of sheetData, with or without a prefix.
    std::size_t p = xml.find("sheetData");
    if (p == std::string_view::npos)
        return std::nullopt;
    std::size_t a = p;
    if (a > 0 && xml[a - 1] == ':') {
        --a;
        while (a > 0 && esDeNombre(xml[a - 1]))
            --a;
    }
    if (a == 0 || xml[a - 1] != '<')
        return std::nullopt;
    const std::string prefijo(xml.substr(a, p - a)); // "x:" or nothing
    std::size_t q = p + 9;
    if (q >= xml.size() || !(directo::blanco(xml[q]) || xml[q] == '>'))
        return std::nullopt;
    // Its end: a ">" outside the attributes' quotes.
    char comilla = 0;
    for (; q < xml.size(); ++q) {
        const char c = xml[q];
        if (comilla)
            comilla = c == comilla ? 0 : comilla;
        else if (c == '"' || c == '\'')
            comilla = c;
        else if (c == '>' || c == '/')
            break;
    }
    if (q >= xml.size() || xml[q] != '>')
        return std::nullopt; // an empty <sheetData/>, or no end
    Corte r{};
    r.inicioDatos = q + 1;
    const std::string cierre = "</" + prefijo + "sheetData";
    r.finDatos = xml.rfind(cierre);
    if (r.finDatos == std::string_view::npos || r.finDatos < r.inicioDatos)
        return std::nullopt;
    const std::string_view resto = xml.substr(r.finDatos + cierre.size());
    if (resto.empty() || !(directo::blanco(resto[0]) || resto[0] == '>'))
        return std::nullopt;
    // "!" and "?" are rare in a sheet, unlike "<": they are looked for, and what comes before them.
    const std::size_t declaracion = xml.starts_with("\xEF\xBB\xBF<?") ? 3 : xml.starts_with("<?") ? 0 : 1;
    for (const char marca : {'!', '?'}) {
        for (const char* m = xml.data();
             (m = static_cast<const char*>(
                  std::memchr(m, marca, static_cast<std::size_t>(xml.data() + xml.size() - m))));
             ++m) {
            const std::size_t i = static_cast<std::size_t>(m - xml.data());
            if (i > 0 && xml[i - 1] == '<' && !(marca == '?' && i - 1 == declaracion))
                return std::nullopt;
        }
    }
    if (xml.substr(r.inicioDatos, r.finDatos - r.inicioDatos).find("xmlns") != std::string_view::npos)
        return std::nullopt;

    // The first <row r=...> past `fraccion` of the rows that follows a </row>.
    const std::string fila = "<" + prefijo + "row";
    const std::string finFila = "</" + prefijo + "row>";
    const auto desde = static_cast<std::size_t>(static_cast<double>(r.finDatos - r.inicioDatos) * fraccion);
    for (std::size_t c = xml.find(fila, r.inicioDatos + desde); c != std::string_view::npos && c < r.finDatos;
         c = xml.find(fila, c + 1)) {
        const std::size_t n = c + fila.size();
        if (n >= xml.size() || !directo::blanco(xml[n]))
            continue;
        std::size_t b = c;
        while (b > r.inicioDatos && directo::blanco(xml[b - 1]))
            --b;
        if (b < r.inicioDatos + finFila.size() || xml.substr(b - finFila.size(), finFila.size()) != finFila)
            continue;
        // Its number: an attribute r.
        std::size_t k = n;
        for (;;) {
            while (k < r.finDatos && directo::blanco(xml[k]))
                ++k;
            if (k >= r.finDatos || !esDeNombre(xml[k]))
                break; // the end of the tag, or something the reader will refuse
            const std::size_t nombre = k;
            while (k < r.finDatos && (esDeNombre(xml[k]) || xml[k] == ':'))
                ++k;
            const std::string_view atributo = xml.substr(nombre, k - nombre);
            while (k < r.finDatos && directo::blanco(xml[k]))
                ++k;
            if (k >= r.finDatos || xml[k] != '=')
                break;
            ++k;
            while (k < r.finDatos && directo::blanco(xml[k]))
                ++k;
            if (k >= r.finDatos || (xml[k] != '"' && xml[k] != '\''))
                break;
            const std::size_t valor = xml.find(xml[k], k + 1);
            if (valor == std::string_view::npos || valor >= r.finDatos)
                break;
            if (atributo == "r") {
                r.corte = c;
                return r;
            }
            k = valor + 1;
        }
    }
    return std::nullopt;
}

// The running count of the memory a sheet's cells and texts take (see intake/memoriahoja.h), shared
// by the two halves. Shared strings are counted once the sheet is read whole.
struct Cuentas {
    std::atomic<std::int64_t> bytes{0};
    std::atomic<int> filas{0}; // rows counted: up to the last one a cell was put in, in either half
};

std::atomic<std::int64_t> g_lecturasEnDosHilos{0};
std::atomic<std::int64_t> g_filasDirectas{0};

class LectorHoja : public LectorXml {
public:
    LectorHoja(Hoja& hoja, const ContextoHoja& contexto, Cuentas& cuentas, MitadAdelantada* mitad = nullptr)
        : m_hoja(hoja), m_ctx(contexto), m_cuentas(cuentas), m_compartidas(hoja.compartidas()),
          m_mitad(mitad) {}
    // One past the largest shared string index a cell named (0 when none did).
    std::size_t compartidasNombradas() const { return m_compartidasNombradas; }

protected:
    void inicio(const Nombre& nombre, Atributos atributos) override;
    void fin(const Nombre& nombre) override;
    void texto(const char* s, int largo) override;
    bool leerDeUnaVez(std::string_view xml) override;
    std::size_t leerDirecto(const char* b, std::size_t n, Espacio porDefecto) override;

private:
    using Quizas = std::optional<std::string_view>;
    void empezarFila(Quizas r);
    void empezarCelda(Quizas r, Quizas t, Quizas s);
    void empezarCeldaEn(int fila, int columna, Quizas t, Quizas s);
    void terminarCelda(std::string_view valor);
    void contarCelda();
    TipoCelda numeroDe(std::string_view valor, double* x);
    std::uint32_t compartidaDe(std::string_view valor, std::string_view v);
    void cerrarFila();
    void contarCeldas(int fila, int columnas);
    void contarBytes(std::int64_t bytes);
    void contarTexto(const QString& t);
    Celda crearCelda(std::string_view valor);
    bool filaDirecta(const char*& q, const char* fin);
    void ponerFilaDirecta();
    [[noreturn]] void fueraDeLimites(int fila, int columna) const;

    Hoja& m_hoja;
    const ContextoHoja& m_ctx;
    Cuentas& m_cuentas;
    const std::size_t m_compartidas; // shared strings of the workbook
    MitadAdelantada* const m_mitad;  // its second half, when read ahead
    std::size_t m_compartidasNombradas = 0;
    bool leerConMitad(std::string_view xml);
    enum class Recoger : unsigned char { Nada, Valor, EnLinea } m_recoger = Recoger::Nada;
    bool m_enDatos = false;
    bool m_enFila = false;
    bool m_enCelda = false;
    bool m_enLinea = false;
    int m_fonetica = 0;
    int m_fila = 0;    // row of the current <row>
    int m_columna = 0; // column of the last cell of that row
    int m_filaCelda = 0;
    TipoValor m_tipo = TipoValor::Numero;
    int m_estilo = 0;
    bool m_conValor = false;
    bool m_conTextoEnLinea = false;
    std::string m_valor;
    std::string m_textoEnLinea;
    int m_ultimaDeFila = 0; // last column of the cells the current <row> has put, 0 for none
    // A row read straight from the bytes, before its cells are put.
    struct CeldaDirecta {
        Quizas r, t, s;
        std::string_view valor;
        bool conValor = false;
    };
    Quizas m_filaDirecta;
    std::vector<CeldaDirecta> m_directas;
};

} // namespace

// The shared strings are not read yet when the second half is: its cells may name any index below
// this one (far above the most the limits let a workbook have), which is checked when the halves
// are put together.
constexpr std::size_t kCompartidasPorVer = std::size_t(1) << 31;

class MitadAdelantada {
public:
    MitadAdelantada(const ContextoHoja& contexto, const std::string& parte)
        : m_formatosFecha(contexto.formatosFecha), m_ctx{m_sinCadenas,           m_formatosFecha,
                                                         contexto.fecha1904,     contexto.memoriaMaxima,
                                                         contexto.bytesPorCelda, contexto.bytesEnDosHilos,
                                                         contexto.lecturaDirecta},
          m_parte(QString::fromUtf8(parte)) {
        m_hoja.numerarTextosDesde(kCompartidasPorVer);
    }

    // In the inflating thread.
    void leer(std::string_view xml) noexcept {
        try {
            if (static_cast<std::int64_t>(xml.size()) >= m_ctx.bytesEnDosHilos &&
                std::thread::hardware_concurrency() > 1)
                // The first half waits for the shared strings, which take about as long as
                // inflating the sheet takes this thread: the two halves are alike.
                m_corte = cortar(xml, 0.5);
        } catch (...) {
            m_corte.reset();
        }
        m_xml = xml.data();
        m_cortada.set_value();
        if (m_corte) {
            try {
                LectorHoja lector(m_hoja, m_ctx, m_cuentas);
                lector.leerTramos({xml.substr(0, m_corte->inicioDatos), xml.substr(m_corte->corte)}, m_parte);
                m_compartidasNombradas = lector.compartidasNombradas();
                m_bien = true;
            } catch (...) {
            }
        }
        m_terminada.set_value();
    }

    // In the reading thread: the cut, once the bytes of the part are known (null when there is
    // none, or the bytes are not the ones this half was read from).
    const Corte* corte(std::string_view xml) {
        m_cortadaFutura.wait();
        return m_corte && m_xml == xml.data() ? &*m_corte : nullptr;
    }
    Cuentas& cuentas() { return m_cuentas; }
    // The second half, once read; null when it failed.
    Hoja* segunda() {
        m_terminadaFutura.wait();
        return m_bien ? &m_hoja : nullptr;
    }
    std::size_t compartidasNombradas() const { return m_compartidasNombradas; }

private:
    std::vector<QString> m_sinCadenas;
    std::vector<bool> m_formatosFecha;
    ContextoHoja m_ctx;
    QString m_parte;
    Cuentas m_cuentas;
    Hoja m_hoja;
    std::optional<Corte> m_corte;
    const char* m_xml = nullptr;
    bool m_bien = false;
    std::size_t m_compartidasNombradas = 0;
    std::promise<void> m_cortada, m_terminada;
    std::future<void> m_cortadaFutura = m_cortada.get_future();
    std::future<void> m_terminadaFutura = m_terminada.get_future();
};

namespace {

bool LectorHoja::leerConMitad(std::string_view xml) {
    const Corte* c = m_mitad->corte(xml);
    if (!c)
        return false;
    bool bien = true;
    try {
        LectorHoja lector(m_hoja, m_ctx, m_mitad->cuentas());
        lector.leerTramos({xml.substr(0, c->corte), xml.substr(c->finDatos)}, parte());
    } catch (...) {
        bien = false;
    }
    Hoja* segunda = m_mitad->segunda();
    if (bien && segunda && m_mitad->compartidasNombradas() <= m_compartidas) {
        m_hoja.fusionar(std::move(*segunda));
        g_lecturasEnDosHilos.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    m_hoja.vaciarCeldas();
    return false;
}

bool LectorHoja::leerDeUnaVez(std::string_view xml) {
    return m_mitad && leerConMitad(xml);
}

void LectorHoja::inicio(const Nombre& nombre, Atributos atributos) {
    if (nombre.espacio != Espacio::Hoja && nombre.espacio != Espacio::Ninguno)
        return;
    const std::string_view n = nombre.local;
    if (m_enCelda) {
        if (n == "v") {
            m_recoger = Recoger::Valor;
            m_conValor = true;
        } else if (n == "is") {
            m_enLinea = true;
            m_conTextoEnLinea = true;
        } else if (m_enLinea && n == "rPh") {
            ++m_fonetica;
        } else if (m_enLinea && m_fonetica == 0 && n == "t") {
            m_recoger = Recoger::EnLinea;
        }
    } else if (m_enFila && n == "c") {
        Quizas r, t, s;
        for (const Atributo& a : atributos) {
            if (a.espacio != Espacio::Ninguno || a.local.size() != 1)
                continue;
            if (a.local[0] == 'r')
                r = a.valor;
            else if (a.local[0] == 't')
                t = a.valor;
            else if (a.local[0] == 's')
                s = a.valor;
        }
        empezarCelda(r, t, s);
    } else if (m_enDatos && n == "row") {
        empezarFila(atributo(atributos, "r"));
    } else if (n == "sheetData") {
        m_enDatos = true;
        m_directo = m_ctx.lecturaDirecta;
    } else if (n == "dimension") {
        // The used range, a hint for reserving the rows.
        const auto ref = atributo(atributos, "ref");
        const auto dos = ref ? ref->find(':') : std::string_view::npos;
        int fila = 0, columna = 0;
        if (dos != std::string_view::npos && referenciaCelda(ref->substr(dos + 1), &fila, &columna) &&
            fila <= Hoja::kMaxFilas)
            m_hoja.reservarFilas(fila);
    }
}

void LectorHoja::fin(const Nombre& nombre) {
    if (nombre.espacio != Espacio::Hoja && nombre.espacio != Espacio::Ninguno)
        return;
    const std::string_view n = nombre.local;
    if (m_enCelda) {
        if (n == "v" || n == "t") {
            m_recoger = Recoger::Nada;
        } else if (n == "rPh") {
            --m_fonetica;
        } else if (n == "is") {
            m_enLinea = false;
        } else if (n == "c") {
            terminarCelda(m_valor);
        }
    } else if (n == "row") {
        cerrarFila();
        m_enFila = false;
    } else if (n == "sheetData") {
        m_enDatos = false;
        m_directo = false;
    }
}

void LectorHoja::texto(const char* s, int largo) {
    if (m_recoger == Recoger::Nada)
        return;
    std::string& destino = m_recoger == Recoger::Valor ? m_valor : m_textoEnLinea;
    if (static_cast<std::int64_t>(destino.size()) + largo > m_ctx.bytesPorCelda)
        excesivo(QStringLiteral("el valor de la celda %1 de la parte %2 supera %3 bytes")
                     .arg(textoReferencia(m_filaCelda, m_columna), parte())
                     .arg(m_ctx.bytesPorCelda));
    destino.append(s, static_cast<std::size_t>(largo));
}

void LectorHoja::fueraDeLimites(int fila, int columna) const {
    danado(
        QStringLiteral("la parte %1 tiene una celda fuera de los límites de una hoja (fila %2, columna %3; "
                       "el máximo es 1.048.576 filas por 16.384 columnas)")
            .arg(parte())
            .arg(fila > Hoja::kMaxFilas ? QStringLiteral("> 1.048.576") : QString::number(fila))
            .arg(columna > Hoja::kMaxColumnas ? QStringLiteral("> 16.384") : QString::number(columna)));
}

std::size_t LectorHoja::leerDirecto(const char* b, std::size_t n, Espacio porDefecto) {
    if (m_enFila || m_enCelda || (porDefecto != Espacio::Hoja && porDefecto != Espacio::Ninguno))
        return 0;
    return directo::seguidos(b, n, g_filasDirectas, [this](const char*& q, const char* fin) {
        if (!filaDirecta(q, fin))
            return false;
        ponerFilaDirecta();
        return true;
    });
}

// One <row> at q, read into m_filaDirecta and m_directas, with q moved past it. False, with q
// anywhere, when the row is not all there or not in the plain form (see directo.h); also when a
// cell's value has a reference or a carriage return in it, or two values.
bool LectorHoja::filaDirecta(const char*& q, const char* fin) {
    using namespace directo;
    if (!abre(q, fin, "row"))
        return false;
    m_directas.clear();
    Quizas fila;
    int forma = atributos(q, fin, [&fila](std::string_view nombre, std::string_view valor) {
        if (!fila && nombre == "r")
            fila = valor; // the first, as atributo() finds it
    });
    m_filaDirecta = fila;
    if (forma != 1)
        return forma == 2;
    for (;;) {
        if (!saltarTexto(q, fin))
            return false;
        if (cierra(q, fin, "</row>"))
            return true;
        if (!abre(q, fin, "c"))
            return false;
        CeldaDirecta& c = m_directas.emplace_back();
        forma = atributos(q, fin, [&c](std::string_view nombre, std::string_view valor) {
            if (nombre.size() != 1)
                return;
            if (nombre[0] == 'r') // the last of each, as empezarCelda's caller takes them
                c.r = valor;
            else if (nombre[0] == 't')
                c.t = valor;
            else if (nombre[0] == 's')
                c.s = valor;
        });
        if (forma != 1) {
            if (forma == 2)
                continue;
            return false;
        }
        // Its <v> and <f> elements, up to </c>.
        for (;;) {
            if (!saltarTexto(q, fin))
                return false;
            if (cierra(q, fin, "</c>"))
                break;
            const bool valor = abre(q, fin, "v");
            if (!valor && !abre(q, fin, "f"))
                return false;
            forma = atributos(q, fin, [](std::string_view, std::string_view) {});
            if (!forma || (valor && c.conValor))
                return false; // a second value is joined to the first by the scanner
            c.conValor = c.conValor || valor;
            if (forma == 2)
                continue;
            if (!valor) {
                if (!saltarTexto(q, fin) || !cierra(q, fin, "</f>"))
                    return false;
                continue;
            }
            const char* const t = q;
            while (q < fin && !kTabla.aparteTexto[uc(*q)] && *q != '<')
                ++q;
            c.valor = std::string_view(t, static_cast<std::size_t>(q - t));
            if (!cierra(q, fin, "</v>") || static_cast<std::int64_t>(c.valor.size()) > m_ctx.bytesPorCelda)
                return false; // over the limit: the scanner's reading says so
        }
    }
}

// What the events of the row just read would do.
void LectorHoja::ponerFilaDirecta() {
    empezarFila(m_filaDirecta);
    // A reference that ends in the row's number as the row writes it ("K2" in row "2") names the
    // row: only its letters (at most three) need reading.
    const std::string_view numero = m_filaDirecta.value_or(std::string_view());
    for (const CeldaDirecta& c : m_directas) {
        int columna = 0;
        if (c.r && !numero.empty() && c.r->size() > numero.size() && c.r->size() <= numero.size() + 3 &&
            c.r->ends_with(numero) && letrasDeColumna(c.r->substr(0, c.r->size() - numero.size()), &columna))
            empezarCeldaEn(m_fila, columna, c.t, c.s);
        else
            empezarCelda(c.r, c.t, c.s);
        m_conValor = c.conValor;
        terminarCelda(c.valor);
    }
    cerrarFila();
    m_enFila = false;
}

void LectorHoja::empezarFila(Quizas r) {
    cerrarFila();
    m_enFila = true;
    m_columna = 0;
    if (!r) {
        if (m_fila >= Hoja::kMaxFilas)
            fueraDeLimites(m_fila + 1, 1);
        ++m_fila;
        return;
    }
    int fila = 0;
    const std::size_t largo = digitos(*r, Hoja::kMaxFilas, &fila);
    if (largo == 0 || largo != r->size())
        danado(QStringLiteral("la parte %1 tiene una fila con número «%2», que no es válido")
                   .arg(parte(), QString::fromUtf8(r->data(), static_cast<qsizetype>(r->size()))));
    if (fila < 1 || fila > Hoja::kMaxFilas)
        fueraDeLimites(fila, 1);
    m_fila = fila;
}

void LectorHoja::empezarCelda(Quizas r, Quizas t, Quizas s) {
    int fila = m_fila;
    int columna = m_columna + 1;
    if (r) {
        int f = 0;
        if (!referenciaCelda(*r, &f, &columna))
            danado(QStringLiteral("la parte %1 tiene la referencia de celda «%2», que no es válida")
                       .arg(parte(), QString::fromUtf8(r->data(), static_cast<qsizetype>(r->size()))));
        if (f)
            fila = f;
    }
    empezarCeldaEn(fila, columna, t, s);
}

void LectorHoja::empezarCeldaEn(int fila, int columna, Quizas t, Quizas s) {
    if (fila < 1 || fila > Hoja::kMaxFilas || columna > Hoja::kMaxColumnas)
        fueraDeLimites(fila, columna);
    m_filaCelda = fila;
    m_columna = columna;

    m_tipo = TipoValor::Numero;
    if (t) {
        const std::optional<TipoValor> tipo = tipoValor(*t);
        if (!tipo)
            danado(QStringLiteral("la celda %1 de la parte %2 tiene el tipo «%3», que no existe")
                       .arg(textoReferencia(fila, columna), parte(),
                            QString::fromUtf8(t->data(), static_cast<qsizetype>(t->size()))));
        m_tipo = *tipo;
    }
    m_estilo = 0;
    if (s)
        digitos(*s, 1 << 30, &m_estilo);
    m_valor.clear();
    m_textoEnLinea.clear();
    m_conValor = false;
    m_conTextoEnLinea = false;
    m_enLinea = false;
    m_fonetica = 0;
    m_enCelda = true;
}

Celda LectorHoja::crearCelda(std::string_view valor) {
    Celda c;
    const auto ref = [this] { return textoReferencia(m_filaCelda, m_columna); };
    switch (m_tipo) {
    case TipoValor::Numero:
    case TipoValor::Compartida:
        return c; // put by terminarCelda
    case TipoValor::EnLinea:
    case TipoValor::Formula:
        if (m_conTextoEnLinea)
            c.texto = textoGuardado(m_textoEnLinea);
        else if (m_conValor)
            c.texto = textoGuardado(valor);
        else
            return c;
        c.tipo = TipoCelda::Texto;
        contarTexto(c.texto);
        return c;
    case TipoValor::Booleano: {
        if (!m_conValor)
            return c;
        const std::string_view v = recortado(valor);
        if (!booleanoXml(v, &c.booleano))
            danado(QStringLiteral("la celda %1 de la parte %2 tiene el valor lógico «%3», que no es válido")
                       .arg(ref(), parte(),
                            QString::fromUtf8(valor.data(), static_cast<qsizetype>(valor.size()))));
        c.tipo = TipoCelda::Booleano;
        return c;
    }
    case TipoValor::Error: {
        if (!m_conValor)
            return c;
        const std::string_view v = recortado(valor);
        const int codigo = codigoError(v);
        if (codigo < 0) {
            // An error this reader does not know: its text, as the cell shows it.
            c.tipo = TipoCelda::Texto;
            c.texto = QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
            contarTexto(c.texto);
        } else {
            c.tipo = TipoCelda::Error;
            c.codigoError = codigo;
        }
        return c;
    }
    case TipoValor::FechaIso: {
        const std::string_view v = recortado(valor);
        if (v.empty())
            return c;
        if (serialIso(v, &c.numero)) {
            c.tipo = TipoCelda::Fecha;
        } else {
            c.tipo = TipoCelda::Texto; // a date the sheet cannot hold: kept as written
            c.texto = QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
            contarTexto(c.texto);
        }
        return c;
    }
    }
    return c;
}

void LectorHoja::terminarCelda(std::string_view valor) {
    m_enCelda = false;
    m_recoger = Recoger::Nada;
    // Numbers and shared strings, most of a sheet, are put as they are read.
    if (m_tipo == TipoValor::Numero) {
        double x = 0;
        const TipoCelda tipo = numeroDe(valor, &x);
        if (tipo != TipoCelda::Vacia) {
            contarCelda();
            m_hoja.numero(m_filaCelda, m_columna, tipo, x);
        }
        return;
    }
    if (m_tipo == TipoValor::Compartida) {
        const std::string_view v = recortado(valor);
        if (v.empty())
            return;
        const std::uint32_t i = compartidaDe(valor, v);
        contarCelda();
        m_hoja.compartida(m_filaCelda, m_columna, i);
        return;
    }
    Celda c = crearCelda(valor);
    if (c.tipo == TipoCelda::Vacia)
        return;
    contarCelda();
    m_hoja.poner(m_filaCelda, m_columna, std::move(c));
}

void LectorHoja::contarCelda() {
    if (m_filaCelda == m_fila) {
        // Counted when the row ends, by its last cell.
        m_ultimaDeFila = std::max(m_ultimaDeFila, m_columna);
    } else {
        // A cell whose reference names another row than its <row>: put it where it says.
        contarCeldas(m_filaCelda, m_columna);
    }
}

// A number cell's type (Vacia for no value) and value.
TipoCelda LectorHoja::numeroDe(std::string_view valor, double* x) {
    std::string_view v = recortado(valor);
    if (v.empty())
        return TipoCelda::Vacia;
    if (v.front() == '+')
        v.remove_prefix(1);
    if (!decimalSimple(v, x) && !numeroXml(v, x))
        danado(QStringLiteral("la celda %1 de la parte %2 tiene el valor «%3», que no es un número")
                   .arg(textoReferencia(m_filaCelda, m_columna), parte(),
                        QString::fromUtf8(valor.data(), static_cast<qsizetype>(valor.size()))));
    const bool esFecha = m_estilo >= 0 && static_cast<std::size_t>(m_estilo) < m_ctx.formatosFecha.size() &&
                         m_ctx.formatosFecha[static_cast<std::size_t>(m_estilo)];
    if (esFecha && m_ctx.fecha1904)
        *x += kDesplazamiento1904;
    return esFecha ? TipoCelda::Fecha : TipoCelda::Numero;
}

// The index of a shared string cell, `v` its value trimmed.
std::uint32_t LectorHoja::compartidaDe(std::string_view valor, std::string_view v) {
    std::uint64_t i = 0;
    bool bien = v.size() <= 12;
    for (std::size_t k = 0; bien && k < v.size(); ++k) {
        bien = v[k] >= '0' && v[k] <= '9';
        i = i * 10 + static_cast<unsigned>(v[k] - '0');
    }
    if (!bien || i >= m_compartidas) {
        // Twelve digits may be leading zeros.
        const auto r = std::from_chars(v.data(), v.data() + v.size(), i);
        if (r.ec != std::errc() || r.ptr != v.data() + v.size() || i >= m_compartidas)
            danado(
                QStringLiteral("la celda %1 de la parte %2 remite a la cadena compartida «%3», que no existe")
                    .arg(textoReferencia(m_filaCelda, m_columna), parte(),
                         QString::fromUtf8(valor.data(), static_cast<qsizetype>(valor.size()))));
    }
    m_compartidasNombradas = std::max<std::size_t>(m_compartidasNombradas, i + 1);
    return static_cast<std::uint32_t>(i);
}

void LectorHoja::cerrarFila() {
    // A long sheet read on the window's thread lets it repaint now and then.
    if ((m_fila & 255) == 0)
        tarvix::latido::latir();
    if (m_ultimaDeFila == 0)
        return;
    contarCeldas(m_fila, m_ultimaDeFila);
    m_ultimaDeFila = 0;
}

void LectorHoja::contarCeldas(int fila, int columnas) {
    std::int64_t bytes = columnas * coste::kCasilla;
    int contadas = m_cuentas.filas.load(std::memory_order_relaxed);
    while (fila > contadas) {
        if (m_cuentas.filas.compare_exchange_weak(contadas, fila, std::memory_order_relaxed)) {
            bytes += (fila - contadas) * coste::kFila;
            break;
        }
    }
    contarBytes(bytes);
}

void LectorHoja::contarTexto(const QString& t) {
    contarBytes(coste::texto(t.size()));
}

void LectorHoja::contarBytes(std::int64_t bytes) {
    if (m_cuentas.bytes.fetch_add(bytes, std::memory_order_relaxed) + bytes > m_ctx.memoriaMaxima)
        excesivo(QStringLiteral("la hoja necesita ") + masMemoriaQue(m_ctx.memoriaMaxima));
}

} // namespace

Hoja leerHoja(const PaqueteZip& paquete, const std::string& parte, std::int64_t bytesMaximos,
              const ContextoHoja& contexto, MitadAdelantada* mitad) {
    Hoja hoja;
    hoja.adoptarCompartidas(std::move(contexto.cadenas));
    Cuentas cuentas;
    LectorHoja lector(hoja, contexto, cuentas, mitad);
    lector.leer(paquete, parte, bytesMaximos);
    // With the shared strings, and the cells that show them, the whole sheet.
    if (memoriaDe(hoja, contexto.memoriaMaxima) > contexto.memoriaMaxima)
        excesivo(QStringLiteral("la hoja necesita ") + masMemoriaQue(contexto.memoriaMaxima));
    return hoja;
}

std::shared_ptr<MitadAdelantada> prepararMitad(const ContextoHoja& contexto, const std::string& parte) {
    return std::make_shared<MitadAdelantada>(contexto, parte);
}

void leerMitad(MitadAdelantada& mitad, std::string_view xml) noexcept {
    mitad.leer(xml);
}

std::int64_t lecturasEnDosHilos() {
    return g_lecturasEnDosHilos.load(std::memory_order_relaxed);
}

std::int64_t filasLeidasDirecto() {
    return g_filasDirectas.load(std::memory_order_relaxed);
}

} // namespace tarvix::lector::xlsx
