#include "testsupport.h"

#include "components/configuracion.h"
#include "components/vberror.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace prueba {

QString fallo(const std::function<void()>& f) {
    try {
        f();
    } catch (const tarvix::VbError& e) {
        return e.descripcion();
    }
    return QString();
}

void aislarConfiguracion() {
    // Each test program gets a home of its own, so that programs run side by side (ctest -j) never
    // share the settings file or the data folder.
    static QTemporaryDir casa;
    qputenv("HOME", casa.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (casa.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (casa.path() + QStringLiteral("/datos")).toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ProcesoKORM"),
                QStringLiteral("ProcesoKORM"));
    s.remove(QStringLiteral("CONFIG"));
    s.sync();
}

QString visible(const QString& s) {
    QString r = s;
    r.replace(QStringLiteral("\r"), QStringLiteral("\\r"))
        .replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    return r;
}

} // namespace prueba
