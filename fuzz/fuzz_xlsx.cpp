// libFuzzer target: the .xlsx reader with its default limits. An input is either a zip file as it
// is, or (when it starts with "@@ ") the parts of a package, which this target zips uncompressed
// with correct checksums so that mutations reach the XML of the parts instead of dying at the
// zip's checks:
//   @@ [Content_Types].xml\n<content>\n@@ _rels/.rels\n<content>\n@@ xl/workbook.xml\n...
#include "archivofuzz.h"
#include "intake/xlsx/lectorxlsx.h"

#include <cstdint>
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

// Everything a read gives, to compare two reads of one file: each cell's type and value, or the
// error's text.
QString lectura(const QString& ruta, const tarvix::lector::LimitesXlsx& limites) {
    using tarvix::lector::Celda;
    try {
        const tarvix::lector::Hoja h = tarvix::lector::leerXlsx(ruta, limites);
        QString r = QString::number(h.filas());
        for (int f = 1; f <= h.filas(); ++f) {
            const int columnas = static_cast<int>(h.fila(f).size());
            r += u'\n';
            for (int c = 1; c <= columnas; ++c) {
                const Celda x = h.celda(f, c);
                r += QStringLiteral("|%1:%2:%3:%4:%5")
                         .arg(static_cast<int>(x.tipo))
                         .arg(x.numero, 0, 'g', 17)
                         .arg(x.texto)
                         .arg(x.booleano)
                         .arg(x.codigoError);
            }
        }
        return r;
    } catch (const tarvix::VbError& e) {
        return QStringLiteral("error: ") + e.descripcion();
    }
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
    // Cut in two halves (whatever its size), the sheet must read exactly as in one pass; and
    // with no row read straight from the bytes, exactly as with them.
    tarvix::lector::LimitesXlsx enUna, enDos, porEventos;
    enUna.bytesHojaEnDosHilos = INT64_MAX;
    enDos.bytesHojaEnDosHilos = 0;
    porEventos.bytesHojaEnDosHilos = INT64_MAX;
    porEventos.lecturaDirecta = false;
    const QString unaPasada = lectura(archivo.ruta(), enUna);
    if (unaPasada != lectura(archivo.ruta(), enDos)) {
        std::fprintf(stderr, "la hoja leída en dos mitades difiere de la leída en una pasada\n");
        std::abort();
    }
    if (unaPasada != lectura(archivo.ruta(), porEventos)) {
        std::fprintf(stderr, "la hoja leída sin filas directas difiere de la leída con ellas\n");
        std::abort();
    }
    return 0;
}
