#include "testsupport.h"

#include "components/configuracion.h"

#include <QSettings>
#include <QStandardPaths>

namespace prueba {

void aislarConfiguracion() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ProcesoKORM"), QStringLiteral("ProcesoKORM"));
    s.remove(QStringLiteral("CONFIG"));
    s.sync();
}

QString visible(const QString& s) {
    QString r = s;
    r.replace(QStringLiteral("\r"), QStringLiteral("\\r")).replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    return r;
}

} // namespace prueba
