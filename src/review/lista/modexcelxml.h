#pragma once

#include <QString>
#include <memory>

class QFile;

namespace tarvix {
class Interaccion;
}

// The fixed parts of an XML Spreadsheet 2003 document and the UTF-8 file writes of the export. Lines
// end with CR LF. A failure is reported through the interaction seam (when given) and the procedure
// returns.
namespace tarvix::modExcelXMl {

// Markers of the compact cell list: "<type>(((@#@)))<value>" joined by "(((#@#)))".
inline const QString kSeparadorCelda = QStringLiteral("(((#@#)))");
inline const QString kSeparadorTipo = QStringLiteral("(((@#@)))");

// The cell value written as XML text: the ampersand and the angle brackets as entities, and the
// control characters XML does not allow dropped.
QString TextoXml(const QString& valor);

// The nine head lines, joined by CR LF, no line break after the last.
QString HeadExcel();
// "<Row>", CR LF, the ten title cells each followed by CR LF, "</Row>".
QString AddTitleRowExcel();
// One cell, no line break.
QString AddCellExcel(const QString& valor, const QString& tipo);
// The cells of a cell list, each followed by CR LF.
QString AddRowExcel(const QString& listaCeldas, Interaccion* avisos = nullptr);
// One piece of a cell list -> type + quote + ">" + value; empty text when the piece has no type marker.
QString getTypeAndData(const QString& pieza, Interaccion* avisos = nullptr);
// "</Table>", CR LF, "</Worksheet>", CR LF, "</Workbook>".
QString CloseTagsExcel();

// Appends the text and a CR LF to the file as UTF-8 (the file is created when missing). True when
// everything was written.
bool SaveFileUTF8(const QString& ruta, const QString& texto, Interaccion* avisos = nullptr);
// Writes the text (with CR LF when `saltoDeLinea`) as UTF-8 at the file's position; raises on a
// short write.
void PutUTF8(QFile& archivo, const QString& texto, bool saltoDeLinea);
// The file opened for writing after its last byte; raises when it cannot be opened.
std::unique_ptr<QFile> OpenFileAppend(const QString& ruta);

} // namespace tarvix::modExcelXMl
