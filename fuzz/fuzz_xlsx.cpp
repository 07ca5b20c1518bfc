// libFuzzer target: the .xlsx reader with its default limits. An input is either a zip file as it
// is, or (when it starts with "@@ ") the parts of a package, which this target zips uncompressed
// with correct checksums so that mutations reach the XML of the parts instead of dying at the
// zip's checks:
//   @@ [Content_Types].xml\n<content>\n@@ _rels/.rels\n<content>\n@@ xl/workbook.xml\n...
#include "archivofuzz.h"
#include "intake/xlsx/lectorxlsx.h"

#include <string_view>
#include <vector>
#include <zip.h>

namespace {

constexpr std::string_view kMarca = "@@ ";
constexpr std::string_view kSeparador = "\n@@ ";

// Writes the parts of `texto` as a zip at `ruta`; false when libzip cannot (a name it refuses).
bool escribirPaquete(const QString& ruta, std::string_view texto) {
    int codigo = 0;
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &codigo);
    if (!z)
        return false;
    texto.remove_prefix(kMarca.size());
    std::vector<std::string> nombres; // zip_file_add copies the name; the contents stay in `texto`
    for (;;) {
        const std::size_t fin = texto.find(kSeparador);
        const std::string_view parte = texto.substr(0, fin);
        const std::size_t salto = parte.find('\n');
        const std::string nombre(parte.substr(0, salto));
        const std::string_view contenido =
            salto == std::string_view::npos ? std::string_view() : parte.substr(salto + 1);
        zip_source_t* fuente = zip_source_buffer(z, contenido.data(), contenido.size(), 0);
        const zip_int64_t i = fuente ? zip_file_add(z, nombre.c_str(), fuente, ZIP_FL_OVERWRITE) : -1;
        if (i < 0) {
            zip_source_free(fuente);
            zip_discard(z);
            return false;
        }
        zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_STORE, 0);
        if (fin == std::string_view::npos)
            break;
        texto.remove_prefix(fin + kSeparador.size());
    }
    if (zip_close(z) != 0) {
        zip_discard(z);
        return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tam) {
    static tarvix::fuzz::ArchivoFuzz archivo("xlsx");
    const std::string_view texto(reinterpret_cast<const char*>(datos), tam);
    if (texto.starts_with(kMarca)) {
        if (!escribirPaquete(archivo.ruta(), texto))
            return 0;
    } else {
        archivo.escribir(datos, tam);
    }
    tarvix::fuzz::leerOFallar([&] { return tarvix::lector::leerXlsx(archivo.ruta()); });
    return 0;
}
