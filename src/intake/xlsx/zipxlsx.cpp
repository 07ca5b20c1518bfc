#include "intake/xlsx/zipxlsx.h"

#include "intake/xlsx/fallaxlsx.h"

#include <QFile>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <libdeflate.h>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#include <zip.h>

namespace tarvix::lector::xlsx {

namespace {

std::uint64_t le(const char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

// The number of entries the end-of-central-directory record (or its zip64 form) declares, -1 when
// there is none, and the file's size in `bytes`. Read before libzip opens the file, which
// allocates for every declared entry.
std::int64_t entradasDeclaradas(const QString& ruta, std::int64_t* bytes) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const qint64 tam = f.size();
    *bytes = tam;
    const qint64 cola = std::min<qint64>(tam, 22 + 0xFFFF);
    if (cola < 22 || !f.seek(tam - cola))
        return -1;
    const QByteArray b = f.read(cola);
    const char* d = b.constData();
    for (qsizetype i = b.size() - 22; i >= 0; --i) {
        if (d[i] != 'P' || d[i + 1] != 'K' || d[i + 2] != 5 || d[i + 3] != 6)
            continue;
        std::uint64_t n = le(d + i + 10, 2);
        const qsizetype loc = i - 20;
        if (n == 0xFFFF && loc >= 0 && d[loc] == 'P' && d[loc + 1] == 'K' && d[loc + 2] == 6 &&
            d[loc + 3] == 7) {
            const auto pos = le(d + loc + 8, 8);
            char z64[56];
            if (pos < static_cast<std::uint64_t>(tam) && f.seek(static_cast<qint64>(pos)) &&
                f.read(z64, sizeof z64) == sizeof z64 && le(z64, 4) == 0x06064b50)
                n = le(z64 + 32, 8);
        }
        return static_cast<std::int64_t>(std::min<std::uint64_t>(n, INT64_MAX));
    }
    return -1;
}

QString motivoZip(int codigo) {
    switch (codigo) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("no es un archivo ZIP");
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        return QStringLiteral("el contenedor ZIP está incompleto o es incoherente");
    case ZIP_ER_NOENT:
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        return QStringLiteral("no se puede leer el archivo");
    case ZIP_ER_CRC:
        return QStringLiteral("los datos comprimidos no coinciden con su suma de control");
    case ZIP_ER_COMPNOTSUPP:
        return QStringLiteral("usa un método de compresión no admitido");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return QStringLiteral("está cifrado con contraseña");
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        return QStringLiteral("los datos comprimidos están dañados y no se pueden descomprimir");
    case ZIP_ER_MEMORY:
        return QStringLiteral("no hay memoria suficiente");
    default: {
        zip_error_t e;
        zip_error_init_with_code(&e, codigo);
        QString s = QStringLiteral("error de ZIP: ") + QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        return s;
    }
    }
}

struct CerrarArchivoZip {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

struct LiberarInflador {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

[[noreturn]] void demasiadoGrande(const QString& nombre, std::int64_t bytesMaximos) {
    excesivo(QStringLiteral("la parte %1 ocupa más de %2 MiB al descomprimirla")
                 .arg(nombre)
                 .arg(static_cast<double>(bytesMaximos) / (1 << 20), 0, 'g', 6));
}

[[noreturn]] void bombaDeCompresion(const QString& nombre, std::int64_t proporcionMaxima) {
    excesivo(QStringLiteral("la parte %1 crece más de %2 veces al descomprimirla "
                            "(bomba de compresión)")
                 .arg(nombre)
                 .arg(proporcionMaxima));
}

// Parts that may inflate to more than this are streamed instead, so memory stays bounded.
constexpr std::int64_t kParteEnteraMaxima = 32 << 20;

constexpr std::size_t kBloque = 1 << 16;
constexpr std::size_t kBloqueHilo = 1 << 18;
constexpr std::int64_t kComprimidoParaHilo = 256 << 10; // smaller parts are read in one thread
constexpr int kBloquesHilo = 4;

// Blocks of inflated bytes from the inflating thread to the parsing one, in order.
class Tuberia {
public:
    Tuberia() {
        for (int i = 0; i < kBloquesHilo; ++i)
            m_vacios.emplace_back(kBloqueHilo);
    }

    // Inflater: a free block of kBloqueHilo bytes; an empty one when the parser has given up.
    std::vector<char> vacio() {
        std::unique_lock l(m_mutex);
        m_cambio.wait(l, [this] { return m_cancelado || !m_vacios.empty(); });
        if (m_cancelado)
            return {};
        std::vector<char> b = std::move(m_vacios.front());
        m_vacios.pop_front();
        b.resize(kBloqueHilo);
        return b;
    }
    void entregar(std::vector<char> b) {
        std::lock_guard l(m_mutex);
        m_llenos.push_back(std::move(b));
        m_cambio.notify_all();
    }
    void terminar() {
        std::lock_guard l(m_mutex);
        m_terminado = true;
        m_cambio.notify_all();
    }
    void fallar(std::exception_ptr e) {
        std::lock_guard l(m_mutex);
        m_error = std::move(e);
        m_terminado = true;
        m_cambio.notify_all();
    }

    // Parser: the next block, nullptr at the end (or at the inflater's failure: see revisar()).
    std::vector<char>* lleno() {
        std::unique_lock l(m_mutex);
        m_cambio.wait(l, [this] { return m_terminado || !m_llenos.empty(); });
        if (m_llenos.empty())
            return nullptr;
        m_actual = std::move(m_llenos.front());
        m_llenos.pop_front();
        return &m_actual;
    }
    void devolver() {
        std::lock_guard l(m_mutex);
        m_vacios.push_back(std::move(m_actual));
        m_cambio.notify_all();
    }
    void cancelar() {
        std::lock_guard l(m_mutex);
        m_cancelado = true;
        m_cambio.notify_all();
    }
    // Throws the inflater's failure, if there was one.
    void revisar() {
        if (m_error)
            std::rethrow_exception(m_error);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cambio;
    std::deque<std::vector<char>> m_vacios;
    std::deque<std::vector<char>> m_llenos;
    std::vector<char> m_actual;
    bool m_terminado = false;
    bool m_cancelado = false;
    std::exception_ptr m_error;
};

} // namespace

PaqueteZip::PaqueteZip(const QString& ruta, const Limites& limites) : m_limites(limites) {
    if (entradasDeclaradas(ruta, &m_bytesArchivo) > limites.partes)
        excesivo(QStringLiteral("el contenedor ZIP declara más de %1 partes").arg(limites.partes));
    int codigo = 0;
    m_zip = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, &codigo);
    if (!m_zip)
        danado(motivoZip(codigo));
    if (zip_get_num_entries(m_zip, 0) > limites.partes) {
        zip_discard(m_zip);
        m_zip = nullptr;
        excesivo(QStringLiteral("el contenedor ZIP tiene más de %1 partes").arg(limites.partes));
    }
}

PaqueteZip::~PaqueteZip() {
    m_adelanto.reset(); // its thread ends first
    if (m_zip)
        zip_discard(m_zip);
}

std::int64_t PaqueteZip::indice(const std::string& parte) const {
    return zip_name_locate(m_zip, parte.c_str(), ZIP_FL_NOCASE);
}

bool PaqueteZip::tiene(const std::string& parte) const {
    return indice(parte) >= 0;
}

void PaqueteZip::leer(const std::string& parte, std::int64_t bytesMaximos,
                      const std::function<void(const char*, std::size_t)>& destino,
                      const std::function<bool(std::string_view)>& entera) const {
    const QString nombre = QString::fromUtf8(parte);
    const std::int64_t i = indice(parte);
    if (i < 0)
        danado(QStringLiteral("falta la parte %1").arg(nombre));
    zip_stat_t st;
    zip_stat_init(&st);
    std::int64_t comprimido = 1;
    if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(i), 0, &st) == 0 && (st.valid & ZIP_STAT_COMP_SIZE))
        comprimido = std::max<std::int64_t>(
            1, static_cast<std::int64_t>(std::min<zip_uint64_t>(st.comp_size, INT64_MAX)));
    // A deflated part is inflated whole, here or ahead of time in another thread.
    std::unique_ptr<Adelanto> adelanto; // its thread may still run its follow-up: joined on return
    std::unique_ptr<Entera> propia;
    Entera* inflada = nullptr;
    if (m_adelanto && m_adelanto->parte == parte && m_adelanto->bytesMaximos == bytesMaximos) {
        adelanto = std::move(m_adelanto);
        adelanto->inflada.get_future().wait();
        if (adelanto->error)
            std::rethrow_exception(adelanto->error);
        inflada = adelanto->entera.get();
    } else if ((propia = prepararEntera(static_cast<zip_uint64_t>(i), st, bytesMaximos))) {
        propia->inflar();
        inflada = propia.get();
    }
    if (inflada && inflada->entregar(nombre, bytesMaximos, m_limites.proporcionMaxima, destino, entera))
        return;

    std::unique_ptr<zip_file_t, CerrarArchivoZip> f(zip_fopen_index(m_zip, static_cast<zip_uint64_t>(i), 0));
    if (!f)
        danado(QStringLiteral("la parte %1 %2")
                   .arg(nombre, motivoZip(zip_error_code_zip(zip_get_error(m_zip)))));

    // One block of the part, its inflated bytes counted against the limits.
    std::int64_t total = 0;
    const auto inflar = [&](char* buf, std::size_t capacidad) {
        const zip_int64_t n = zip_fread(f.get(), buf, capacidad);
        if (n < 0)
            danado(QStringLiteral("la parte %1 %2")
                       .arg(nombre, motivoZip(zip_error_code_zip(zip_file_get_error(f.get())))));
        total += n;
        if (total > bytesMaximos)
            demasiadoGrande(nombre, bytesMaximos);
        if (total > m_limites.bytesMinimosProporcion && total / comprimido > m_limites.proporcionMaxima)
            bombaDeCompresion(nombre, m_limites.proporcionMaxima);
        return static_cast<std::size_t>(n);
    };

    if (comprimido < kComprimidoParaHilo) {
        std::unique_ptr<char[]> buf(new char[kBloque]);
        while (const std::size_t n = inflar(buf.get(), kBloque))
            destino(buf.get(), n);
        return;
    }

    // A large part is inflated in a second thread while this one parses what is ready: the two
    // hand blocks over through a few buffers, so memory stays fixed.
    Tuberia tuberia;
    std::thread productor([&] {
        try {
            for (;;) {
                std::vector<char> b = tuberia.vacio();
                if (b.empty())
                    return; // the parser gave up
                const std::size_t n = inflar(b.data(), b.size());
                if (n == 0)
                    return tuberia.terminar();
                b.resize(n);
                tuberia.entregar(std::move(b));
            }
        } catch (...) {
            tuberia.fallar(std::current_exception());
        }
    });
    try {
        while (std::vector<char>* b = tuberia.lleno()) {
            destino(b->data(), b->size());
            tuberia.devolver();
        }
    } catch (...) {
        tuberia.cancelar();
        productor.join();
        throw;
    }
    productor.join();
    tuberia.revisar();
}

std::unique_ptr<PaqueteZip::Entera> PaqueteZip::prepararEntera(std::uint64_t i, const struct zip_stat& st,
                                                               std::int64_t bytesMaximos) const {
    constexpr zip_uint64_t kNecesarios =
        ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD | ZIP_STAT_CRC;
    if ((st.valid & kNecesarios) != kNecesarios || st.comp_method != ZIP_CM_DEFLATE ||
        st.encryption_method != ZIP_EM_NONE || st.comp_size == 0 ||
        st.comp_size > static_cast<zip_uint64_t>(m_bytesArchivo) || bytesMaximos < 0)
        return nullptr;
    auto e = std::make_unique<Entera>();
    e->comprimido = static_cast<std::int64_t>(st.comp_size);
    e->crc = st.crc;

    // The most the part may inflate to: the ratio check lets through any size up to
    // bytesMinimosProporcion, and past it any one under (proporcionMaxima + 1) x compressed.
    const std::int64_t proporcion = m_limites.proporcionMaxima;
    const std::int64_t porProporcion =
        proporcion >= 0 && proporcion < INT64_MAX / e->comprimido - 1
            ? std::max(m_limites.bytesMinimosProporcion, (proporcion + 1) * e->comprimido - 1)
            : INT64_MAX;
    e->tope = std::min(bytesMaximos, porProporcion);
    e->limite = std::min(e->tope, kParteEnteraMaxima);
    const bool declarado = st.valid & ZIP_STAT_SIZE;
    if (e->limite < e->tope && (!declarado || st.size > static_cast<zip_uint64_t>(e->limite)))
        return nullptr; // a large part: streamed
    // The size the headers state only sizes the first try.
    if (declarado && st.size < static_cast<zip_uint64_t>(e->limite))
        e->primerIntento = static_cast<std::size_t>(st.size);

    std::unique_ptr<zip_file_t, CerrarArchivoZip> f(zip_fopen_index(m_zip, i, ZIP_FL_COMPRESSED));
    if (!f)
        return nullptr;
    e->crudo.reset(new char[static_cast<std::size_t>(e->comprimido)]);
    std::int64_t leidos = 0;
    while (leidos < e->comprimido) {
        const zip_int64_t n =
            zip_fread(f.get(), e->crudo.get() + leidos, static_cast<zip_uint64_t>(e->comprimido - leidos));
        if (n <= 0)
            return nullptr;
        leidos += n;
    }
    // The room for the first try is taken here, by the thread that goes on to read the part: when
    // the inflating is done ahead in another thread, the memory still comes from, and goes back
    // to, this thread's own pool, where the grid's texts find it again once the part is read.
    e->salida.reset(new char[e->capacidadInicial()]);
    return e;
}

void PaqueteZip::Entera::inflar() {
    std::unique_ptr<libdeflate_decompressor, LiberarInflador> inflador(libdeflate_alloc_decompressor());
    if (!inflador)
        throw std::bad_alloc();
    const auto maximo = static_cast<std::size_t>(limite);
    std::size_t capacidad = capacidadInicial();
    for (;;) {
        if (!salida)
            salida.reset(new char[capacidad]);
        const libdeflate_result r =
            libdeflate_deflate_decompress(inflador.get(), crudo.get(), static_cast<std::size_t>(comprimido),
                                          salida.get(), capacidad, &bytes);
        // A part that fills the room to its last byte is one past the limit.
        if (r == LIBDEFLATE_SUCCESS && bytes <= maximo) {
            estado = libdeflate_crc32(0, salida.get(), bytes) == crc ? Estado::Lista : Estado::SumaErronea;
            break;
        }
        if (r != LIBDEFLATE_SUCCESS && r != LIBDEFLATE_INSUFFICIENT_SPACE)
            break; // damaged: streamed, to report it as ever
        if (capacidad <= maximo) {
            capacidad = maximo + 1; // the headers understated it
            salida.reset();
            continue;
        }
        if (limite == tope)
            estado = Estado::Excede;
        break;
    }
    crudo.reset();
    if (estado != Estado::Lista)
        salida.reset();
}

bool PaqueteZip::Entera::entregar(const QString& nombre, std::int64_t bytesMaximos,
                                  std::int64_t proporcionMaxima,
                                  const std::function<void(const char*, std::size_t)>& destino,
                                  const std::function<bool(std::string_view)>& entera) const {
    switch (estado) {
    case Estado::Transmitir:
        return false;
    case Estado::Excede:
        if (tope == bytesMaximos)
            demasiadoGrande(nombre, bytesMaximos);
        bombaDeCompresion(nombre, proporcionMaxima);
    case Estado::SumaErronea:
        danado(QStringLiteral("la parte %1 %2").arg(nombre, motivoZip(ZIP_ER_CRC)));
    case Estado::Lista:
        break;
    }
    if (entera && entera(std::string_view(salida.get(), bytes)))
        return true;
    if (bytes > 0)
        destino(salida.get(), bytes);
    return true;
}

bool PaqueteZip::adelantar(const std::string& parte, std::int64_t bytesMaximos,
                           std::function<void(std::string_view)> despues) {
    if (m_adelanto)
        return false;
    const std::int64_t i = indice(parte);
    zip_stat_t st;
    zip_stat_init(&st);
    if (i < 0 || zip_stat_index(m_zip, static_cast<zip_uint64_t>(i), 0, &st) != 0)
        return false;
    std::unique_ptr<Entera> entera = prepararEntera(static_cast<zip_uint64_t>(i), st, bytesMaximos);
    if (!entera)
        return false;
    m_adelanto = std::make_unique<Adelanto>();
    m_adelanto->parte = parte;
    m_adelanto->bytesMaximos = bytesMaximos;
    m_adelanto->entera = std::move(entera);
    m_adelanto->hilo = std::thread([a = m_adelanto.get(), despues = std::move(despues)] {
        try {
            a->entera->inflar();
        } catch (...) {
            a->error = std::current_exception();
        }
        a->inflada.set_value();
        // Exactly when leer() hands the bytes over whole.
        if (!a->error && despues && a->entera->estado == Entera::Estado::Lista)
            despues(std::string_view(a->entera->salida.get(), a->entera->bytes));
    });
    return true;
}

} // namespace tarvix::lector::xlsx
