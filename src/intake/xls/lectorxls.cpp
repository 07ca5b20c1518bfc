#include "intake/xls/lectorxls.h"

#include "intake/memoriahoja.h"
#include "intake/xls/biff.h"
#include "intake/xls/contenedorole.h"
#include "intake/xlsx/formatosfecha.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace tarvix::lector {

using namespace xls;

namespace {

constexpr quint16 kBofGlobales = 0x0005;
constexpr quint16 kBofHoja = 0x0010;
constexpr quint8 kHojaDeCalculo = 0; // sheet type of BOUNDSHEET
constexpr int kMaxColumnasBiff = 256;
constexpr int kMaxFilasBiff = 65536;
constexpr qsizetype kMaxXf = 65536; // cells address XFs with 16 bits
// Shared strings the workbook may hold; the memory the sheet takes is bounded as the .xlsx reader
// bounds it (intake/memoriahoja.h). Invoices stay far below both.
constexpr qsizetype kMaxTextos = 1'000'000;

const QString kIncompleto =
    QStringLiteral("El libro está dañado o incompleto: se corta antes del final de la hoja.");
const QString kCeldaCorta = QStringLiteral("El libro está dañado: un registro de celda es demasiado corto.");
const QString kSstIncompleta =
    QStringLiteral("El libro está dañado: la tabla de textos compartidos está incompleta.");
const QString kHojaPerdida =
    QStringLiteral("El libro está dañado: la primera hoja no está donde el libro indica.");

QString nombreCelda(int fila0, int columna0) {
    QString letras;
    for (int c = columna0 + 1; c > 0; c = (c - 1) / 26)
        letras.prepend(QChar(u'A' + (c - 1) % 26));
    return letras + QString::number(fila0 + 1);
}

Celda celdaTexto(QString texto) {
    Celda c;
    c.tipo = TipoCelda::Texto;
    c.texto = std::move(texto);
    return c;
}

Celda celdaValor(TipoCelda tipo, double numero, bool booleano = false, int codigoError = 0) {
    Celda c;
    c.tipo = tipo;
    c.numero = numero;
    c.booleano = booleano;
    c.codigoError = codigoError;
    return c;
}

// The record and the CONTINUE records that carry on its data.
std::vector<Bytes> conContinuaciones(const Registro& r, LectorRegistros& lr) {
    std::vector<Bytes> trozos{r.datos};
    Registro c;
    while (lr.tipoSiguiente() == rec::Continue && lr.siguiente(c))
        trozos.push_back(c.datos);
    return trozos;
}

struct Libro {
    bool biff8 = true;
    bool fecha1904 = false;
    PaginaCodigos pagina;
    std::vector<QString> textos; // shared strings (SST)
    std::vector<bool> xfFecha;   // for each XF: its number format shows a date
    qsizetype inicioHoja = -1;   // offset of the BOF of the first worksheet

    // A string stored in these record bodies; `siFalta` describes it when it is cut short.
    template <typename Mensaje>
    QString texto(std::span<const Bytes> trozos, bool largo16, Mensaje&& siFalta) const {
        return leerCompleto(
            [&] {
                LectorContinuado lc(trozos);
                return biff8 ? textoBiff8(lc, largo16) : pagina.textoBiff5(lc, largo16);
            },
            siFalta);
    }
};

struct Bof {
    bool valido = false;
    quint16 version = 0;
    quint16 tipo = 0;
};

Bof leerBof(const Registro& r) {
    if (r.tipo != rec::Bof || r.datos.size() < 4)
        return {};
    return {true, u16(r.datos.data()), u16(r.datos.data() + 2)};
}

// Shared strings: the SST record and the CONTINUE records that carry on its data.
void leerSst(const Registro& sst, LectorRegistros& lr, Libro& libro) {
    const std::vector<Bytes> trozos = conContinuaciones(sst, lr);
    qsizetype bytes = 0;
    for (const Bytes& t : trozos)
        bytes += static_cast<qsizetype>(t.size());
    leerCompleto(
        [&] {
            LectorContinuado lc(trozos);
            lc.u32(); // references to strings in the whole workbook
            const quint32 unicos = lc.u32();
            // The count in the header is not trusted for the reservation: a string takes 3 bytes
            // at least.
            libro.textos.reserve(static_cast<size_t>(std::min({qsizetype{unicos}, bytes / 3, kMaxTextos})));
            for (quint32 i = 0; i < unicos && !lc.agotado(); ++i) {
                if (static_cast<qsizetype>(libro.textos.size()) >= kMaxTextos)
                    fallar(QStringLiteral("El libro tiene demasiados textos (más de %1) para leerlo.")
                               .arg(kMaxTextos));
                const quint16 largo = lc.u16();
                const quint8 opciones = lc.u8();
                const quint32 tramos = (opciones & 0x08) ? lc.u16() : 0; // rich-text formatting runs
                const quint32 fonetica = (opciones & 0x04) ? lc.u32() : 0;
                libro.textos.push_back(lc.caracteres(largo, opciones & 0x01));
                lc.saltar(4 * quint64{tramos} + fonetica);
            }
        },
        [] { return kSstIncompleta; });
}

// Workbook globals: code page, date system, formats, XFs, shared strings and where the first
// worksheet starts.
void leerGlobales(Bytes flujo, Libro& libro) {
    LectorRegistros lr(flujo, 0);
    Registro r;
    if (!lr.siguiente(r))
        fallar(QStringLiteral("El libro está vacío."));
    if (r.tipo == 0x0009 || r.tipo == 0x0209 || r.tipo == 0x0409)
        fallar(QStringLiteral("El libro tiene un formato anterior a Excel 5.0 y no se puede leer."));
    const Bof bof = leerBof(r);
    if (!bof.valido)
        fallar(QStringLiteral("El archivo no contiene un libro de Excel válido: el libro no empieza con "
                              "un registro de inicio."));
    if (bof.version == 0x0600)
        libro.biff8 = true;
    else if (bof.version == 0x0500)
        libro.biff8 = false;
    else
        fallar(QStringLiteral("El libro tiene una versión de formato de Excel desconocida y no se puede "
                              "leer."));
    if (bof.tipo == kBofHoja) { // a lone worksheet, with no workbook globals
        libro.inicioHoja = 0;
        return;
    }
    if (bof.tipo != kBofGlobales)
        fallar(QStringLiteral("El archivo no contiene un libro de Excel con hojas de cálculo."));

    std::vector<quint16> xfFormato;
    QHash<int, bool> formatoFecha; // formats the workbook defines: id -> shows a date
    bool fin = false;
    while (!fin && lr.siguiente(r)) {
        const uchar* d = r.datos.data();
        const size_t n = r.datos.size();
        switch (r.tipo) {
        case rec::FilePass:
            fallar(QStringLiteral("El libro está protegido con contraseña (cifrado) y no se puede leer"));
        case rec::CodePage:
            if (n >= 2)
                libro.pagina.cambiar(u16(d));
            break;
        case rec::DateMode:
            if (n >= 2)
                libro.fecha1904 = u16(d) == 1;
            break;
        case rec::Format:
            if (n >= 2) {
                const Bytes resto = r.datos.subspan(2);
                const QString codigo = libro.texto(std::span(&resto, 1), libro.biff8, [] {
                    return QStringLiteral("El libro está dañado: un formato de número está incompleto.");
                });
                formatoFecha.insert(u16(d), xlsx::esFormatoFecha(codigo.toUtf8().toStdString()));
            }
            break;
        case rec::Xf:
            if (n >= 4 && static_cast<qsizetype>(xfFormato.size()) < kMaxXf)
                xfFormato.push_back(u16(d + 2));
            break;
        case rec::BoundSheet:
            if (libro.inicioHoja < 0 && n >= 6 && d[5] == kHojaDeCalculo)
                libro.inicioHoja = u32(d);
            break;
        case rec::Sst:
            if (libro.biff8)
                leerSst(r, lr, libro);
            break;
        case rec::Eof:
            fin = true;
            break;
        default:
            break;
        }
    }
    if (!fin)
        fallar(QStringLiteral("El libro está dañado o incompleto: se corta antes del final de sus datos "
                              "generales."));
    if (libro.inicioHoja < 0)
        fallar(QStringLiteral("El libro no contiene ninguna hoja de cálculo."));

    libro.xfFecha.reserve(xfFormato.size());
    for (const quint16 id : xfFormato) {
        const auto definido = formatoFecha.constFind(id);
        libro.xfFecha.push_back(definido != formatoFecha.cend() ? *definido
                                                                : xlsx::esFormatoFechaIntegrado(id));
    }
}

// Cells of the first worksheet.
class LectorHoja {
public:
    // The shared strings go over to the sheet, whose cells refer to them by index.
    LectorHoja(const Libro& libro, std::vector<QString> compartidos) : m_libro(libro) {
        m_hoja.adoptarCompartidas(std::move(compartidos));
    }

    Hoja leer(Bytes flujo);

private:
    void celda(const Registro& r, LectorRegistros& lr);
    void poner(int fila, int columna, Celda c);
    void contar(int fila, int columna);
    void contarBytes(qint64 bytes);
    [[noreturn]] void demasiadaMemoria();
    void numero(int fila, int columna, quint16 xf, double valor);
    void formula(int fila, int columna, quint16 xf, const uchar* resultado);
    void texto(int fila, int columna, const Registro& r);

    const Libro& m_libro;
    Hoja m_hoja;
    std::vector<int> m_ancho; // cells laid out in each row
    qint64 m_bytes = 0;       // memory of the cells laid out and their own texts, as they are read
    // Formula cell whose text result comes in the STRING record that follows it.
    std::optional<std::pair<int, int>> m_textoPendiente;
};

Hoja LectorHoja::leer(Bytes flujo) {
    if (m_libro.inicioHoja >= static_cast<qsizetype>(flujo.size()))
        fallar(kHojaPerdida);
    LectorRegistros lr(flujo, m_libro.inicioHoja);
    Registro r;
    lr.siguiente(r);
    if (const Bof bof = leerBof(r); !bof.valido || bof.tipo != kBofHoja)
        fallar(kHojaPerdida);

    int anidados = 0; // charts and other substreams embedded in the sheet
    while (lr.siguiente(r)) {
        if (r.tipo == rec::Bof) {
            ++anidados;
        } else if (r.tipo == rec::Eof) {
            if (anidados == 0) {
                // With the shared strings, and the cells that show them, the whole sheet.
                if (memoriaDe(m_hoja, kMemoriaHoja) > kMemoriaHoja)
                    demasiadaMemoria();
                return std::move(m_hoja);
            }
            --anidados;
        } else if (anidados == 0) {
            celda(r, lr);
        }
    }
    fallar(kIncompleto);
}

void LectorHoja::celda(const Registro& r, LectorRegistros& lr) {
    const uchar* d = r.datos.data();
    const size_t n = r.datos.size();
    switch (r.tipo) {
    case rec::Dimensions:
        if (m_hoja.filas() == 0) {
            const quint32 ultima = m_libro.biff8 ? (n >= 8 ? u32(d + 4) : 0) : (n >= 4 ? u16(d + 2) : 0);
            m_hoja.reservarFilas(static_cast<int>(std::min<quint32>(ultima, kMaxFilasBiff)));
        }
        return;
    case rec::String:
        if (m_textoPendiente) {
            const auto [fila, columna] = *m_textoPendiente;
            m_textoPendiente.reset();
            const std::vector<Bytes> trozos = conContinuaciones(r, lr);
            poner(fila, columna, celdaTexto(m_libro.texto(trozos, true, [f = fila, c = columna] {
                      return QStringLiteral("El libro está dañado: el resultado de texto de la fórmula de la "
                                            "celda %1 está incompleto.")
                          .arg(nombreCelda(f, c));
                  })));
        }
        return;
    case rec::Number:
    case rec::Rk:
    case rec::LabelSst:
    case rec::Label:
    case rec::RString:
    case rec::BoolErr:
    case rec::Formula:
    case rec::MulRk:
        break;
    default:
        return; // BLANK, MULBLANK and everything that is not a value
    }

    m_textoPendiente.reset();
    if (n < 6)
        fallar(kCeldaCorta);
    const int fila = u16(d);
    const int columna = u16(d + 2);
    const quint16 xf = u16(d + 4);
    switch (r.tipo) {
    case rec::Number:
        if (n < 14)
            fallar(kCeldaCorta);
        numero(fila, columna, xf, ieee(d + 6));
        break;
    case rec::Rk:
        if (n < 10)
            fallar(kCeldaCorta);
        numero(fila, columna, xf, rk(u32(d + 6)));
        break;
    case rec::MulRk: {
        // row, first column, (XF, RK) for each cell, last column
        const size_t cuantas = (n - 6) / 6;
        if ((n - 6) % 6 != 0 || cuantas == 0 || u16(d + n - 2) != columna + static_cast<int>(cuantas) - 1)
            fallar(QStringLiteral("El libro está dañado: un grupo de números de la fila %1 no coincide con "
                                  "sus columnas.")
                       .arg(fila + 1));
        for (size_t i = 0; i < cuantas; ++i) {
            const uchar* e = d + 4 + 6 * i;
            numero(fila, columna + static_cast<int>(i), u16(e), rk(u32(e + 2)));
        }
        break;
    }
    case rec::LabelSst: {
        if (n < 10)
            fallar(kCeldaCorta);
        const quint32 indice = u32(d + 6);
        if (indice >= m_hoja.compartidas())
            fallar(QStringLiteral("El libro está dañado: la celda %1 usa un texto compartido que no existe.")
                       .arg(nombreCelda(fila, columna)));
        contar(fila, columna);
        m_hoja.compartida(fila + 1, columna + 1, indice);
        break;
    }
    case rec::Label:
    case rec::RString:
        texto(fila, columna, r);
        break;
    case rec::BoolErr:
        if (n < 8)
            fallar(kCeldaCorta);
        if (d[7] == 0)
            poner(fila, columna, celdaValor(TipoCelda::Booleano, 0.0, d[6] != 0));
        else
            poner(fila, columna, celdaValor(TipoCelda::Error, 0.0, false, d[6]));
        break;
    case rec::Formula:
        if (n < 20)
            fallar(kCeldaCorta);
        formula(fila, columna, xf, d + 6);
        break;
    default:
        break;
    }
}

// LABEL and RSTRING: the text follows row, column and XF.
void LectorHoja::texto(int fila, int columna, const Registro& r) {
    const Bytes resto = r.datos.subspan(6);
    poner(fila, columna, celdaTexto(m_libro.texto(std::span(&resto, 1), true, [fila, columna] {
              return QStringLiteral("El libro está dañado: el texto de la celda %1 está incompleto.")
                  .arg(nombreCelda(fila, columna));
          })));
}

void LectorHoja::formula(int fila, int columna, quint16 xf, const uchar* resultado) {
    if (u16(resultado + 6) != 0xFFFF) {
        numero(fila, columna, xf, ieee(resultado));
        return;
    }
    switch (resultado[0]) {
    case 0: // text, in the STRING record that follows
        poner(fila, columna, celdaTexto(QStringLiteral("")));
        m_textoPendiente.emplace(fila, columna);
        break;
    case 1:
        poner(fila, columna, celdaValor(TipoCelda::Booleano, 0.0, resultado[2] != 0));
        break;
    case 2:
        poner(fila, columna, celdaValor(TipoCelda::Error, 0.0, false, resultado[2]));
        break;
    case 3: // empty text
        poner(fila, columna, celdaTexto(QStringLiteral("")));
        break;
    default:
        fallar(QStringLiteral("El libro está dañado: la fórmula de la celda %1 tiene un resultado de tipo "
                              "desconocido.")
                   .arg(nombreCelda(fila, columna)));
    }
}

void LectorHoja::numero(int fila, int columna, quint16 xf, double valor) {
    if (!std::isfinite(valor))
        fallar(QStringLiteral("El libro está dañado: la celda %1 tiene un número no válido.")
                   .arg(nombreCelda(fila, columna)));
    const bool fecha = xf < m_libro.xfFecha.size() && m_libro.xfFecha[xf];
    if (fecha && m_libro.fecha1904)
        valor += 1462;
    poner(fila, columna, celdaValor(fecha ? TipoCelda::Fecha : TipoCelda::Numero, valor));
}

void LectorHoja::poner(int fila, int columna, Celda c) {
    contar(fila, columna);
    if (c.tipo == TipoCelda::Texto)
        contarBytes(coste::texto(c.texto.size()));
    m_hoja.poner(fila + 1, columna + 1, std::move(c));
}

// Checks the cell against the sheet's bounds and counts the slots it adds to its row.
void LectorHoja::contar(int fila, int columna) {
    if (columna >= kMaxColumnasBiff)
        fallar(QStringLiteral("El libro está dañado: una celda de la fila %1 está en la columna %2, fuera "
                              "de la hoja.")
                   .arg(fila + 1)
                   .arg(columna + 1));
    if (fila >= static_cast<int>(m_ancho.size())) {
        contarBytes((fila + 1 - static_cast<qint64>(m_ancho.size())) * coste::kFila);
        m_ancho.resize(static_cast<size_t>(fila) + 1, 0);
    }
    int& ancho = m_ancho[static_cast<size_t>(fila)];
    if (columna >= ancho) {
        contarBytes((columna + 1 - ancho) * coste::kCasilla);
        ancho = columna + 1;
    }
}

void LectorHoja::contarBytes(qint64 bytes) {
    m_bytes += bytes;
    if (m_bytes > kMemoriaHoja)
        demasiadaMemoria();
}

void LectorHoja::demasiadaMemoria() {
    fallar(QStringLiteral("La hoja es demasiado grande para leerla: necesita %1.")
               .arg(masMemoriaQue(kMemoriaHoja)));
}

} // namespace

Hoja leerXls(const QString& ruta) {
    const QByteArray datos = leerFlujoLibro(ruta);
    const Bytes flujo(reinterpret_cast<const uchar*>(datos.constData()), static_cast<size_t>(datos.size()));
    Libro libro;
    leerGlobales(flujo, libro);
    return LectorHoja(libro, std::move(libro.textos)).leer(flujo);
}

} // namespace tarvix::lector
