#include "review/lista/modexcelxml.h"

#include "components/interaccion.h"
#include "components/vberror.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace tarvix::modExcelXMl {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QChar kComilla = u'"';

// Path/file access error of the file statements.
constexpr qint64 kErrorAccesoArchivo = 75;
constexpr qint64 kSubindiceFueraDeIntervalo = 9;

[[noreturn]] void fallaArchivo(const QFile& archivo) {
    throw VbError(kErrorAccesoArchivo, QStringLiteral("modExcelXMl"),
                  QStringLiteral("Error de acceso a la ruta o al archivo: ") + archivo.fileName() +
                      QStringLiteral(" (") + archivo.errorString() + u')');
}

// "<label><number>: <description> L:<line>", a box with only an OK button.
void informar(Interaccion* avisos, const QString& etiqueta, const VbError& e, int linea) {
    if (avisos)
        avisos->mensaje(etiqueta + QString::number(e.numero()) + QStringLiteral(": ") + e.descripcion() +
                        QStringLiteral(" L:") + QString::number(linea));
}

} // namespace

QString TextoXml(const QString& valor) {
    QString r;
    r.reserve(valor.size());
    for (const QChar c : valor) {
        switch (c.unicode()) {
        case u'&':
            r += QStringLiteral("&amp;");
            break;
        case u'<':
            r += QStringLiteral("&lt;");
            break;
        case u'>':
            r += QStringLiteral("&gt;");
            break;
        case u'\t':
        case u'\n':
        case u'\r':
            r += c;
            break;
        default:
            if (c.unicode() >= 0x20 && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF)
                r += c;
        }
    }
    return r;
}

QString HeadExcel() {
    return QStringList{
        QStringLiteral("<?xml version=\"1.0\"?>"),
        QStringLiteral("<?mso-application progid=\"Excel.Sheet\"?>"),
        QStringLiteral("<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""),
        QStringLiteral("xmlns:o=\"urn:schemas-microsoft-com:office:office\""),
        QStringLiteral("xmlns:x=\"urn:schemas-microsoft-com:office:excel\""),
        QStringLiteral("xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\""),
        QStringLiteral("xmlns:html=\"http://www.w3.org/TR/REC-html40\">"),
        QStringLiteral("<Worksheet ss:Name=\".\">"),
        QStringLiteral("<Table>"),
    }
        .join(kCrLf);
}

QString AddTitleRowExcel() {
    static const char* const titulos[] = {"[ORDEN]",    "[ARTICULO]", "[DESCRIPCION]", "[ORIGEN]",
                                          "[CANTIDAD]", "[UNITARIO]", "[TOTAL]",       "[POSICION]",
                                          "[ESTADO]",   "[CRC]"};
    QStringList celdas;
    for (const char* t : titulos)
        celdas << QStringLiteral("String") + kSeparadorTipo + QString::fromLatin1(t);
    return QStringLiteral("<Row>") + kCrLf + AddRowExcel(celdas.join(kSeparadorCelda)) +
           QStringLiteral("</Row>");
}

QString AddCellExcel(const QString& valor, const QString& tipo) {
    return QStringLiteral("<Cell><Data ss:Type=") + kComilla + tipo + kComilla + u'>' + TextoXml(valor) +
           QStringLiteral("</Data></Cell>");
}

QString AddRowExcel(const QString& listaCeldas, Interaccion* avisos) {
    QString r;
    for (const QString& pieza : listaCeldas.split(kSeparadorCelda))
        r += QStringLiteral("<Cell><Data ss:Type=") + kComilla + getTypeAndData(pieza, avisos) +
             QStringLiteral("</Data></Cell>") + kCrLf;
    return r;
}

QString getTypeAndData(const QString& pieza, Interaccion* avisos) {
    int linea = 0;
    try {
        linea = 10;
        const QStringList partes = pieza.split(kSeparadorTipo);
        linea = 20;
        if (partes.size() < 2)
            throw VbError(kSubindiceFueraDeIntervalo, QStringLiteral("modExcelXMl"),
                          QStringLiteral("El subíndice está fuera del intervalo"));
        return partes[0] + kComilla + u'>' + TextoXml(partes[1]);
    } catch (const VbError& e) {
        informar(avisos, QStringLiteral("getTypeAndData Error:"), e, linea);
        return QString();
    }
}

QString CloseTagsExcel() {
    return QStringLiteral("</Table>") + kCrLf + QStringLiteral("</Worksheet>") + kCrLf +
           QStringLiteral("</Workbook>");
}

std::unique_ptr<QFile> OpenFileAppend(const QString& ruta) {
    auto archivo = std::make_unique<QFile>(ruta);
    if (!archivo->open(QIODevice::WriteOnly | QIODevice::Append))
        fallaArchivo(*archivo);
    return archivo;
}

void PutUTF8(QFile& archivo, const QString& texto, bool saltoDeLinea) {
    const QByteArray bytes = (saltoDeLinea ? texto + kCrLf : texto).toUtf8();
    if (bytes.isEmpty())
        return;
    if (archivo.write(bytes) != bytes.size() || !archivo.flush())
        fallaArchivo(archivo);
}

bool SaveFileUTF8(const QString& ruta, const QString& texto, Interaccion* avisos) {
    int linea = 0;
    try {
        linea = 10;
        std::unique_ptr<QFile> archivo;
        const QFileInfo info(ruta);
        // Never write through a symbolic link: it could lead outside the chosen folder.
        if (info.isSymLink())
            throw VbError(kErrorAccesoArchivo, QStringLiteral("modExcelXMl"),
                          QStringLiteral("Error de acceso a la ruta o al archivo: ") + ruta +
                              QStringLiteral(" (es un vínculo simbólico)"));
        if (info.exists()) {
            archivo = OpenFileAppend(ruta);
        } else {
            linea = 20;
            archivo = std::make_unique<QFile>(ruta);
            if (!archivo->open(QIODevice::WriteOnly))
                fallaArchivo(*archivo);
        }
        linea = 30;
        PutUTF8(*archivo, texto, true);
        linea = 40;
        archivo->close();
        if (archivo->error() != QFileDevice::NoError)
            fallaArchivo(*archivo);
        return true;
    } catch (const VbError& e) {
        informar(avisos, QStringLiteral("SaveFileUTF8 Error:"), e, linea);
        return false;
    }
}

} // namespace tarvix::modExcelXMl
