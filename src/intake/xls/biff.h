#pragma once

// Building blocks of the BIFF5/BIFF8 reader: records of the workbook stream, data that runs on
// into CONTINUE records, and the text encodings the format uses.

#include <QString>
#include <QtEndian>
#include <cstddef>
#include <span>

namespace tarvix::lector::xls {

using Bytes = std::span<const uchar>;

// Every failure of the reader: error 1004 raised from "LectorXls" with a description in Spanish.
[[noreturn]] void fallar(const QString& descripcion);

// Record types the reader knows.
namespace rec {
inline constexpr quint16 Formula = 0x0006;
inline constexpr quint16 Eof = 0x000A;
inline constexpr quint16 DateMode = 0x0022;
inline constexpr quint16 FilePass = 0x002F;
inline constexpr quint16 Continue = 0x003C;
inline constexpr quint16 CodePage = 0x0042;
inline constexpr quint16 BoundSheet = 0x0085;
inline constexpr quint16 MulRk = 0x00BD;
inline constexpr quint16 MulBlank = 0x00BE;
inline constexpr quint16 RString = 0x00D6;
inline constexpr quint16 Xf = 0x00E0;
inline constexpr quint16 Sst = 0x00FC;
inline constexpr quint16 LabelSst = 0x00FD;
inline constexpr quint16 Dimensions = 0x0200;
inline constexpr quint16 Blank = 0x0201;
inline constexpr quint16 Number = 0x0203;
inline constexpr quint16 Label = 0x0204;
inline constexpr quint16 BoolErr = 0x0205;
inline constexpr quint16 String = 0x0207;
inline constexpr quint16 Rk = 0x027E;
inline constexpr quint16 Format = 0x041E;
inline constexpr quint16 Bof = 0x0809;
} // namespace rec

// Longest record body BIFF8 allows (BIFF5 stays well below it).
inline constexpr qsizetype kMaxLargoRegistro = 8224;

inline quint16 u16(const uchar* p) {
    return qFromLittleEndian<quint16>(p);
}
inline quint32 u32(const uchar* p) {
    return qFromLittleEndian<quint32>(p);
}
double ieee(const uchar* p);
// Number stored in the 32-bit RK form.
double rk(quint32 valor);

struct Registro {
    quint16 tipo = 0;
    Bytes datos;
    qsizetype posicion = 0; // offset of the record header in the stream
};

// Walks the records of a workbook stream from a given offset.
class LectorRegistros {
public:
    LectorRegistros(Bytes flujo, qsizetype desde);

    // Next record; false exactly at the end of the stream. A record cut off by the end of the
    // stream or longer than the format allows is an error.
    bool siguiente(Registro& r);
    // Type of the record that follows without moving on, or -1 at the end of the stream.
    int tipoSiguiente() const;

private:
    Bytes m_flujo;
    qsizetype m_pos;
};

// Raised by LectorContinuado when the data ends before what is being read.
struct DatosAgotados {};

// Runs `leer` and turns running out of data into error 1004 with the description that `siFalta`
// gives (built only then).
template <typename Leer, typename Mensaje> auto leerCompleto(Leer&& leer, Mensaje&& siFalta) {
    try {
        return leer();
    } catch (const DatosAgotados&) {
        fallar(siFalta());
    }
}

// Reads data that a record continues in the CONTINUE records that follow it. Plain fields read
// across the boundaries; characters cut by a boundary go on after a byte of options that says
// whether the rest is stored as UTF-16 or as compressed (Latin-1) characters. Running out of
// data raises DatosAgotados.
class LectorContinuado {
public:
    explicit LectorContinuado(std::span<const Bytes> trozos) : m_trozos(trozos) {}

    bool agotado();
    quint8 u8();
    quint16 u16();
    quint32 u32();
    void saltar(quint64 n);
    QString caracteres(quint32 n, bool anchos);
    // The next n bytes when the current record holds them all (and moves past them); otherwise
    // null, without moving.
    const uchar* tomar(size_t n);

private:
    // Makes the current chunk one with bytes left; false when none is left.
    bool haydatos();

    std::span<const Bytes> m_trozos;
    size_t m_i = 0;
    size_t m_pos = 0;
};

// BIFF8 string with a 16-bit (or 8-bit) character count and an options byte.
QString textoBiff8(LectorContinuado& lc, bool largo16);

// Turns the 8-bit text of a BIFF5 workbook into Unicode with the workbook's code page.
class PaginaCodigos {
public:
    explicit PaginaCodigos(int pagina = 1252);
    ~PaginaCodigos();
    PaginaCodigos(const PaginaCodigos&) = delete;
    PaginaCodigos& operator=(const PaginaCodigos&) = delete;

    void cambiar(int pagina);
    QString texto(const uchar* p, qsizetype n) const;
    // BIFF5 string: 8-bit (or 16-bit) byte count, then the bytes.
    QString textoBiff5(LectorContinuado& lc, bool largo16) const;

private:
    enum class Tipo { Windows1252, Latin1, Otra };
    Tipo m_tipo = Tipo::Windows1252;
    void* m_iconv = nullptr;
};

} // namespace tarvix::lector::xls
