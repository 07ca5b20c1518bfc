#include "intake/xls/biff.h"

#include "components/vberror.h"

#include <QByteArray>
#include <algorithm>
#include <bit>
#include <cstring>

#if __has_include(<iconv.h>)
#include <iconv.h>
#define TARVIX_CON_ICONV 1
#endif

namespace tarvix::lector::xls {

namespace {

const QString kIncompleto =
    QStringLiteral("El libro está dañado o incompleto: termina en medio de un registro.");

// Windows-1252 differs from Latin-1 only in 0x80-0x9F.
constexpr char16_t kWindows1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

void fallar(const QString& descripcion) {
    throw VbError(1004, QStringLiteral("LectorXls"), descripcion);
}

double ieee(const uchar* p) {
    return std::bit_cast<double>(qFromLittleEndian<quint64>(p));
}

double rk(quint32 valor) {
    double d;
    if (valor & 2)
        d = static_cast<double>(static_cast<qint32>(valor) >> 2);
    else
        d = std::bit_cast<double>(static_cast<quint64>(valor & 0xFFFFFFFCu) << 32);
    if (valor & 1)
        d /= 100.0;
    return d;
}

// --- LectorRegistros -----------------------------------------------------------------------------

LectorRegistros::LectorRegistros(Bytes flujo, qsizetype desde) : m_flujo(flujo), m_pos(desde) {}

bool LectorRegistros::siguiente(Registro& r) {
    const auto tam = static_cast<qsizetype>(m_flujo.size());
    if (m_pos >= tam)
        return false;
    if (tam - m_pos < 4)
        fallar(kIncompleto);
    const uchar* p = m_flujo.data() + m_pos;
    const qsizetype largo = xls::u16(p + 2);
    if (largo > kMaxLargoRegistro)
        fallar(QStringLiteral("El libro está dañado: un registro declara %1 bytes de datos y el formato "
                              "admite como máximo %2.")
                   .arg(largo)
                   .arg(kMaxLargoRegistro));
    if (tam - m_pos - 4 < largo)
        fallar(kIncompleto);
    r.tipo = xls::u16(p);
    r.datos = Bytes(p + 4, static_cast<size_t>(largo));
    r.posicion = m_pos;
    m_pos += 4 + largo;
    return true;
}

int LectorRegistros::tipoSiguiente() const {
    if (static_cast<qsizetype>(m_flujo.size()) - m_pos < 4)
        return -1;
    return xls::u16(m_flujo.data() + m_pos);
}

// --- LectorContinuado ----------------------------------------------------------------------------

bool LectorContinuado::haydatos() {
    while (m_i < m_trozos.size() && m_pos >= m_trozos[m_i].size()) {
        ++m_i;
        m_pos = 0;
    }
    return m_i < m_trozos.size();
}

bool LectorContinuado::agotado() {
    return !haydatos();
}

const uchar* LectorContinuado::tomar(size_t n) {
    if (!haydatos())
        throw DatosAgotados{};
    if (m_trozos[m_i].size() - m_pos < n)
        return nullptr;
    const uchar* p = m_trozos[m_i].data() + m_pos;
    m_pos += n;
    return p;
}

quint8 LectorContinuado::u8() {
    return *tomar(1);
}

quint16 LectorContinuado::u16() {
    if (const uchar* p = tomar(2))
        return xls::u16(p);
    const quint16 bajo = u8();
    return static_cast<quint16>(bajo | (u8() << 8));
}

quint32 LectorContinuado::u32() {
    if (const uchar* p = tomar(4))
        return xls::u32(p);
    const quint32 bajo = u16();
    return bajo | (static_cast<quint32>(u16()) << 16);
}

void LectorContinuado::saltar(quint64 n) {
    while (n > 0) {
        if (!haydatos())
            throw DatosAgotados{};
        const auto paso = std::min<quint64>(n, m_trozos[m_i].size() - m_pos);
        m_pos += static_cast<size_t>(paso);
        n -= paso;
    }
}

QString LectorContinuado::caracteres(quint32 n, bool anchos) {
    QString s(static_cast<qsizetype>(n), Qt::Uninitialized);
    auto* destino = reinterpret_cast<char16_t*>(s.data());
    quint32 hechos = 0;
    while (hechos < n) {
        if (m_i >= m_trozos.size())
            throw DatosAgotados{};
        const Bytes trozo = m_trozos[m_i];
        if (m_pos >= trozo.size()) {
            // The characters go on in the next record, which starts with their options byte (0 or
            // 1). Some writers carry the bytes on as they are instead: a first byte that is no
            // options byte is already text.
            if (++m_i >= m_trozos.size() || m_trozos[m_i].empty())
                throw DatosAgotados{};
            const uchar primero = m_trozos[m_i][0];
            m_pos = primero <= 1 ? 1 : 0;
            if (primero <= 1)
                anchos = primero & 1;
            continue;
        }
        const size_t disponibles = (trozo.size() - m_pos) / (anchos ? 2 : 1);
        if (disponibles == 0) {
            // A lone byte: the writer cut a UTF-16 character in two and carries the bytes on as
            // they are, with no options byte.
            if (m_i + 1 >= m_trozos.size() || m_trozos[m_i + 1].empty())
                throw DatosAgotados{};
            destino[hechos++] = static_cast<char16_t>(trozo[m_pos] | (m_trozos[m_i + 1][0] << 8));
            ++m_i;
            m_pos = 1;
            continue;
        }
        const auto cuantos = static_cast<quint32>(std::min<size_t>(disponibles, n - hechos));
        const uchar* p = trozo.data() + m_pos;
        if (anchos) {
            qFromLittleEndian<char16_t>(p, cuantos, destino + hechos);
            m_pos += 2 * size_t{cuantos};
        } else {
            std::copy(p, p + cuantos, destino + hechos);
            m_pos += cuantos;
        }
        hechos += cuantos;
    }
    return s;
}

QString textoBiff8(LectorContinuado& lc, bool largo16) {
    const quint32 n = largo16 ? lc.u16() : lc.u8();
    const bool anchos = lc.u8() & 1;
    return lc.caracteres(n, anchos);
}

// --- PaginaCodigos -------------------------------------------------------------------------------

PaginaCodigos::PaginaCodigos(int pagina) {
    cambiar(pagina);
}

PaginaCodigos::~PaginaCodigos() {
#ifdef TARVIX_CON_ICONV
    if (m_iconv)
        iconv_close(static_cast<iconv_t>(m_iconv));
#endif
}

void PaginaCodigos::cambiar(int pagina) {
#ifdef TARVIX_CON_ICONV
    if (m_iconv)
        iconv_close(static_cast<iconv_t>(m_iconv));
#endif
    m_iconv = nullptr;
    m_tipo = Tipo::Windows1252;
    switch (pagina) {
    case 1252:
    case 32769:
    case 1200: // UTF-16 is what BIFF8 declares; 8-bit text does not use it
        return;
    case 367:
    case 20127:
    case 28591:
        m_tipo = Tipo::Latin1;
        return;
    default:
        break;
    }
#ifdef TARVIX_CON_ICONV
    QByteArray nombre;
    if (pagina == 10000 || pagina == 32768)
        nombre = "MACINTOSH";
    else if (pagina == 65001)
        nombre = "UTF-8";
    else
        nombre = "CP" + QByteArray::number(pagina);
    const iconv_t cd = iconv_open("UTF-16LE", nombre.constData());
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        m_iconv = cd;
        m_tipo = Tipo::Otra;
    }
#endif
    // An unknown code page is read as Windows-1252, the one Spanish-language workbooks use.
}

QString PaginaCodigos::texto(const uchar* p, qsizetype n) const {
#ifdef TARVIX_CON_ICONV
    if (m_tipo == Tipo::Otra) {
        auto cd = static_cast<iconv_t>(m_iconv);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        QString salida(n, Qt::Uninitialized);
        auto* entrada = const_cast<char*>(reinterpret_cast<const char*>(p));
        auto* destino = reinterpret_cast<char*>(salida.data());
        size_t quedan = static_cast<size_t>(n);
        size_t libres = static_cast<size_t>(n) * 2;
        while (quedan > 0 && libres >= 2) {
            if (iconv(cd, &entrada, &quedan, &destino, &libres) != static_cast<size_t>(-1))
                break;
            // A byte the code page does not define becomes the replacement character.
            ++entrada;
            --quedan;
            const char16_t reemplazo = qToLittleEndian<char16_t>(0xFFFD);
            std::memcpy(destino, &reemplazo, 2);
            destino += 2;
            libres -= 2;
        }
        const auto escritos = (destino - reinterpret_cast<char*>(salida.data())) / 2;
        salida.truncate(escritos);
        // iconv wrote little-endian UTF-16; on a big-endian host turn it round.
        qFromLittleEndian<char16_t>(salida.constData(), escritos, salida.data());
        return salida;
    }
#endif
    QString s = QString::fromLatin1(reinterpret_cast<const char*>(p), n);
    if (m_tipo == Tipo::Windows1252) {
        for (QChar& c : s) {
            if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
                c = QChar(kWindows1252[c.unicode() - 0x80]);
        }
    }
    return s;
}

QString PaginaCodigos::textoBiff5(LectorContinuado& lc, bool largo16) const {
    const quint32 n = largo16 ? lc.u16() : lc.u8();
    if (n == 0)
        return QString();
    if (const uchar* p = lc.tomar(n))
        return texto(p, n);
    QByteArray bytes(static_cast<qsizetype>(n), Qt::Uninitialized);
    for (quint32 i = 0; i < n; ++i)
        bytes[i] = static_cast<char>(lc.u8());
    return texto(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
}

} // namespace tarvix::lector::xls
