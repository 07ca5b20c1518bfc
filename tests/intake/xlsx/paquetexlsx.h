#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <utility>
#include <vector>
#include <zip.h>

// Workbooks written part by part into a zip, for the sheets the tests make up.

inline const std::string kInicioHoja =
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
inline const std::string kFinHoja = "</sheetData></worksheet>";

// A workbook whose only sheet is `hoja` and, when given, whose shared strings part is `cadenas`.
inline bool escribirHoja(const QString& ruta, std::string hoja, zip_int32_t metodo = ZIP_CM_DEFLATE,
                         std::string cadenas = {}) {
    std::string relaciones =
        "<Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
        "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"worksheets/sheet1.xml\"/>";
    if (!cadenas.empty())
        relaciones += "<Relationship Id=\"rId2\" "
                      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                      "sharedStrings\" Target=\"sharedStrings.xml\"/>";
    relaciones += "</Relationships>";
    std::vector<std::pair<const char*, std::string>> partes = {
        {"_rels/.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
         "<sheet name=\"H\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", std::move(relaciones)},
        {"xl/worksheets/sheet1.xml", std::move(hoja)}};
    if (!cadenas.empty())
        partes.emplace_back("xl/sharedStrings.xml", std::move(cadenas));
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return false;
    for (const auto& [nombre, datos] : partes) {
        zip_source_t* fuente = zip_source_buffer(z, datos.data(), datos.size(), 0);
        const zip_int64_t i = zip_file_add(z, nombre, fuente, ZIP_FL_OVERWRITE);
        if (i < 0 || zip_set_file_compression(z, static_cast<zip_uint64_t>(i), metodo, 1) < 0) {
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}
