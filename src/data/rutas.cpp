#include "data/rutas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarvix::rutas {

QString carpetaDatos() {
    const QString junto = QCoreApplication::applicationDirPath();
    if (!junto.isEmpty() && QFileInfo(junto + QStringLiteral("/db")).isDir())
        return junto;
    QString carpeta = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (carpeta.isEmpty())
        carpeta = QDir::homePath() + QStringLiteral("/.local/share/tarvix");
    return carpeta;
}

} // namespace tarvix::rutas
