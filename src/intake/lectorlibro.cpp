#include "intake/lectorlibro.h"

#include "components/vberror.h"
#include "intake/xls/lectorxls.h"
#include "intake/xlsx/lectorxlsx.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarvix::lector {

namespace {

const QString kOrigen = QStringLiteral("[lectorLibro]");

[[noreturn]] void fallar(const QString& texto) {
    throw VbError(kErrorLibro, kOrigen, texto);
}

} // namespace

Hoja leerLibro(const QString& ruta) {
    const QString nombre = QDir::toNativeSeparators(ruta);
    const QFileInfo info(ruta);
    if (!info.exists())
        fallar(QStringLiteral("No se encuentra el archivo %1.").arg(nombre));
    if (info.isDir())
        fallar(QStringLiteral("%1 es una carpeta, no una planilla de Excel.").arg(nombre));
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        fallar(QStringLiteral("No se puede abrir el archivo %1: no hay permiso para leerlo o está bloqueado.")
                   .arg(nombre));
    const QByteArray cabecera = f.read(8);
    f.close();

    static const QByteArray kZip("PK\x03\x04", 4);
    static const QByteArray kCompuesto("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    if (cabecera.startsWith(kZip))
        return leerXlsx(ruta);
    if (cabecera == kCompuesto)
        return leerXls(ruta);
    fallar(QStringLiteral("El archivo no es una planilla de Excel (.xls o .xlsx): %1").arg(nombre));
}

} // namespace tarvix::lector
