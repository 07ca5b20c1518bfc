#include "intake/xls/contenedorole.h"

#include "intake/xls/biff.h"

#include "components/bibliotecadinamica.h"

#include <QFile>
#include <memory>
#include <optional>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

namespace tarvix::lector::xls {

namespace {

// libgsf, loaded the first time a .xls is read: the program does not load it, nor the libraries
// it needs, until then. Null when it cannot be loaded.
struct Gsf {
    decltype(&gsf_input_stdio_new) inputStdioNew;
    decltype(&gsf_infile_msole_new) infileMsoleNew;
    decltype(&gsf_infile_num_children) infileNumChildren;
    decltype(&gsf_infile_name_by_index) infileNameByIndex;
    decltype(&gsf_infile_child_by_index) infileChildByIndex;
    decltype(&gsf_input_size) inputSize;
    decltype(&gsf_input_read) inputRead;
    decltype(&g_object_unref) objectUnref;
    decltype(&g_error_free) errorFree;
    decltype(&g_ascii_strcasecmp) asciiStrcasecmp;
};

const Gsf* gsf() {
    static const std::optional<Gsf> cargada = []() -> std::optional<Gsf> {
        Velno::BibliotecaDinamica biblioteca({"libgsf-1.so.114", "libgsf-1.so"});
        Gsf g{};
        decltype(&gsf_init) iniciar = nullptr;
        decltype(&g_log_set_handler) silenciar = nullptr;
        biblioteca.tomar(iniciar, "gsf_init");
        biblioteca.tomar(silenciar, "g_log_set_handler");
        biblioteca.tomar(g.inputStdioNew, "gsf_input_stdio_new");
        biblioteca.tomar(g.infileMsoleNew, "gsf_infile_msole_new");
        biblioteca.tomar(g.infileNumChildren, "gsf_infile_num_children");
        biblioteca.tomar(g.infileNameByIndex, "gsf_infile_name_by_index");
        biblioteca.tomar(g.infileChildByIndex, "gsf_infile_child_by_index");
        biblioteca.tomar(g.inputSize, "gsf_input_size");
        biblioteca.tomar(g.inputRead, "gsf_input_read");
        biblioteca.tomar(g.objectUnref, "g_object_unref");
        biblioteca.tomar(g.errorFree, "g_error_free");
        biblioteca.tomar(g.asciiStrcasecmp, "g_ascii_strcasecmp");
        if (!biblioteca.completa())
            return std::nullopt; // the library stays loaded: unloading GLib types is not safe
        iniciar();
        // A damaged file makes libgsf log failed assertions on its way to an error, which the
        // reader reports itself.
        for (const char* dominio : {"libgsf:msole", "libgsf"})
            silenciar(
                dominio, static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        return g;
    }();
    return cargada ? &*cargada : nullptr;
}

struct LiberarObjeto {
    void operator()(gpointer o) const { gsf()->objectUnref(o); }
};
template <typename T> using Objeto = std::unique_ptr<T, LiberarObjeto>;

struct LiberarError {
    void operator()(GError* e) const { gsf()->errorFree(e); }
};

constexpr char kFirmaOle[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

const QString kDanado = QStringLiteral("El archivo está dañado o incompleto: su estructura de documento "
                                       "compuesto (.xls) no se puede leer.");

// First child of the root named `nombre`, whatever its case.
GsfInput* hijo(GsfInfile* raiz, const char* nombre) {
    const Gsf& g = *gsf();
    const int n = g.infileNumChildren(raiz);
    for (int i = 0; i < n; ++i) {
        const char* actual = g.infileNameByIndex(raiz, i);
        if (actual && g.asciiStrcasecmp(actual, nombre) == 0)
            return g.infileChildByIndex(raiz, i);
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

    const Gsf* g = gsf();
    if (!g)
        fallar(
            QStringLiteral("No se puede leer el archivo: falta la biblioteca libgsf (paquete libgsf-1-114), "
                           "que el programa necesita para los libros de Excel 97-2003 (.xls)."));

    GError* error = nullptr;
    Objeto<GsfInput> entrada(g->inputStdioNew(QFile::encodeName(ruta).constData(), &error));
    std::unique_ptr<GError, LiberarError> errorEntrada(error);
    if (!entrada)
        fallar(QStringLiteral("No se puede abrir el archivo \"%1\" para leerlo.").arg(ruta));

    error = nullptr;
    Objeto<GsfInfile> raiz(g->infileMsoleNew(entrada.get(), &error));
    std::unique_ptr<GError, LiberarError> errorOle(error);
    if (!raiz)
        fallar(kDanado);

    Objeto<GsfInput> flujo(hijo(raiz.get(), "Workbook"));
    if (!flujo)
        flujo.reset(hijo(raiz.get(), "Book"));
    if (!flujo)
        fallar(QStringLiteral("El archivo es un documento compuesto pero no contiene un libro de Excel."));

    const gsf_off_t tam = g->inputSize(flujo.get());
    if (tam < 0)
        fallar(kDanado);
    if (tam > kMaxFlujoLibro)
        fallar(QStringLiteral("El libro es demasiado grande para leerlo: ocupa más de %1 MB.")
                   .arg(kMaxFlujoLibro / (1024 * 1024)));
    QByteArray datos(static_cast<qsizetype>(tam), Qt::Uninitialized);
    if (tam > 0 &&
        !g->inputRead(flujo.get(), static_cast<size_t>(tam), reinterpret_cast<guint8*>(datos.data())))
        fallar(kDanado);
    return datos;
}

} // namespace tarvix::lector::xls
