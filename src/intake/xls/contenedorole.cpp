#include "intake/xls/contenedorole.h"

#include "intake/xls/biff.h"

#include <QFile>
#include <memory>
#include <mutex>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

namespace tarvix::lector::xls {

namespace {

struct LiberarObjeto {
    void operator()(gpointer o) const { g_object_unref(o); }
};
template <typename T> using Objeto = std::unique_ptr<T, LiberarObjeto>;

struct LiberarError {
    void operator()(GError* e) const { g_error_free(e); }
};

constexpr char kFirmaOle[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

const QString kDanado = QStringLiteral("El archivo está dañado o incompleto: su estructura de documento "
                                       "compuesto (.xls) no se puede leer.");

// First child of the root named `nombre`, whatever its case.
GsfInput* hijo(GsfInfile* raiz, const char* nombre) {
    const int n = gsf_infile_num_children(raiz);
    for (int i = 0; i < n; ++i) {
        const char* actual = gsf_infile_name_by_index(raiz, i);
        if (actual && g_ascii_strcasecmp(actual, nombre) == 0)
            return gsf_infile_child_by_index(raiz, i);
    }
    return nullptr;
}

} // namespace

QByteArray leerFlujoLibro(const QString& ruta) {
    {
        QFile archivo(ruta);
        if (!archivo.open(QIODevice::ReadOnly))
            fallar(QStringLiteral("No se puede abrir el archivo \"%1\" para leerlo.").arg(ruta));
        if (archivo.read(8) != QByteArray::fromRawData(kFirmaOle, 8))
            fallar(QStringLiteral("El archivo no es un libro de Excel 97-2003 (.xls): no tiene el formato "
                                  "de documento compuesto."));
    }

    static std::once_flag iniciado;
    std::call_once(iniciado, [] {
        gsf_init();
        // A damaged file makes libgsf log failed assertions on its way to an error, which the
        // reader reports itself.
        for (const char* dominio : {"libgsf:msole", "libgsf"})
            g_log_set_handler(
                dominio, static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });

    GError* error = nullptr;
    Objeto<GsfInput> entrada(gsf_input_stdio_new(QFile::encodeName(ruta).constData(), &error));
    std::unique_ptr<GError, LiberarError> errorEntrada(error);
    if (!entrada)
        fallar(QStringLiteral("No se puede abrir el archivo \"%1\" para leerlo.").arg(ruta));

    error = nullptr;
    Objeto<GsfInfile> raiz(gsf_infile_msole_new(entrada.get(), &error));
    std::unique_ptr<GError, LiberarError> errorOle(error);
    if (!raiz)
        fallar(kDanado);

    Objeto<GsfInput> flujo(hijo(raiz.get(), "Workbook"));
    if (!flujo)
        flujo.reset(hijo(raiz.get(), "Book"));
    if (!flujo)
        fallar(QStringLiteral("El archivo es un documento compuesto pero no contiene un libro de Excel."));

    const gsf_off_t tam = gsf_input_size(flujo.get());
    if (tam < 0)
        fallar(kDanado);
    if (tam > kMaxFlujoLibro)
        fallar(QStringLiteral("El libro es demasiado grande para leerlo: ocupa más de %1 MB.")
                   .arg(kMaxFlujoLibro / (1024 * 1024)));
    QByteArray datos(static_cast<qsizetype>(tam), Qt::Uninitialized);
    if (tam > 0 &&
        !gsf_input_read(flujo.get(), static_cast<size_t>(tam), reinterpret_cast<guint8*>(datos.data())))
        fallar(kDanado);
    return datos;
}

} // namespace tarvix::lector::xls
