#include "testsupport.h"

#include "components/configuracion.h"
#include "components/vberror.h"
#include "intake/carga/disposiciones.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace prueba {

std::optional<Velno::ParametrosConexion> servidorDePrueba() {
    if (qEnvironmentVariableIsEmpty("TARVIX_PG_HOST"))
        return std::nullopt;
    Velno::ParametrosConexion p;
    p.driver = QStringLiteral("QPSQL");
    p.host = qEnvironmentVariable("TARVIX_PG_HOST");
    p.puerto = qEnvironmentVariableIntValue("TARVIX_PG_PUERTO");
    p.baseDeDatos = qEnvironmentVariable("TARVIX_PG_BASE");
    p.usuario = qEnvironmentVariable("TARVIX_PG_USUARIO");
    p.clave = qEnvironmentVariable("TARVIX_PG_CLAVE");
    return p;
}

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

void sinMapeoAlCargar() {
    tarvix::configuracion::guardar(QString::fromLatin1(tarvix::kProponerCampos), QStringLiteral("0"));
    tarvix::configuracion::guardar(QString::fromLatin1(tarvix::kRecordarMapeos), QStringLiteral("0"));
}

QString visible(const QString& s) {
    QString r = s;
    r.replace(QStringLiteral("\r"), QStringLiteral("\\r"))
        .replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    return r;
}

} // namespace prueba
