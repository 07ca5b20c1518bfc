#include "components/configuracion.h"

#include <QSettings>

namespace tarvix::configuracion {

namespace {
QSettings abrir() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(kAplicacion),
                     QString::fromLatin1(kAplicacion));
}
} // namespace

QString leer(const QString& clave, const QString& porDefecto) {
    QSettings s = abrir();
    return s.value(QString::fromLatin1(kSeccion) + u'/' + clave, porDefecto).toString();
}

bool guardar(const QString& clave, const QString& valor) {
    QSettings s = abrir();
    s.setValue(QString::fromLatin1(kSeccion) + u'/' + clave, valor);
    s.sync();
    return s.status() == QSettings::NoError;
}

QString ubicacion() {
    return abrir().fileName();
}

} // namespace tarvix::configuracion
