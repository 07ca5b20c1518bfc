#include "components/central.h"

#include "components/vb.h"
#include "components/vberror.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

using tarvix::Motor;
using tarvix::VbError;

namespace Trelvan {

struct Central::Entidad {
    Velno::ParametrosConexion parametros;
    std::unique_ptr<Velno::clBase> conexion;
};

namespace {
const QString kOrigen = QStringLiteral("Trelvan.Central");
}

tarvix::Motor motorDeDriver(const QString& driver) {
    if (driver.compare(QLatin1String("QPSQL"), Qt::CaseInsensitive) == 0)
        return Motor::PostgreSQL;
    if (driver.compare(QLatin1String("QODBC"), Qt::CaseInsensitive) == 0)
        return Motor::Odbc;
    return Motor::SQLite;
}

Central::Central() = default;
Central::~Central() = default;

void Central::LoadParameters(const QString& rutaIni) {
    m_rutaIni = rutaIni;
    m_entidades.clear();
    if (rutaIni.isEmpty() || !QFileInfo::exists(rutaIni))
        return;
    QSettings ini(rutaIni, QSettings::IniFormat);
    const QDir carpeta = QFileInfo(rutaIni).absoluteDir();
    const QStringList grupos = ini.childGroups();
    for (const QString& grupo : grupos) {
        ini.beginGroup(grupo);
        Velno::ParametrosConexion p;
        p.driver =
            ini.value(QStringLiteral("driver"), QStringLiteral("QSQLITE")).toString().trimmed().toUpper();
        p.baseDeDatos = ini.value(QStringLiteral("database")).toString();
        if (p.driver == u"QSQLITE" && !p.baseDeDatos.isEmpty() && QDir::isRelativePath(p.baseDeDatos))
            p.baseDeDatos = carpeta.absoluteFilePath(p.baseDeDatos);
        p.host = ini.value(QStringLiteral("host")).toString();
        p.puerto = ini.value(QStringLiteral("port"), -1).toInt();
        p.usuario = ini.value(QStringLiteral("user")).toString();
        p.clave = ini.value(QStringLiteral("password")).toString();
        p.opciones = ini.value(QStringLiteral("options")).toString();
        const auto segundos = [&ini](const char* clave) {
            bool ok = false;
            const int n = ini.value(QLatin1String(clave)).toString().trimmed().toInt(&ok);
            return ok && n >= 0 ? n : -1;
        };
        p.tiempoConexion = segundos("tiempo_conexion");
        p.tiempoSentencia = segundos("tiempo_sentencia");
        p.tiempoBloqueo = segundos("tiempo_bloqueo");
        ini.endGroup();
        definirEntidad(grupo, p);
    }
}

void Central::definirEntidad(const QString& nombre, const Velno::ParametrosConexion& p) {
    auto e = std::make_shared<Entidad>();
    e->parametros = p;
    e->conexion = std::make_unique<Velno::clBase>(
        QStringLiteral("base de datos de la entidad %1").arg(nombre.toUpper()));
    e->conexion->setParametros(p);
    e->conexion->setMotor(motorDeDriver(p.driver));
    m_entidades.insert(nombre.toUpper(), e);
}

bool Central::tieneEntidad(const QString& nombre) const {
    return m_entidades.contains(nombre.toUpper());
}

Central::Entidad& Central::entidad(const QString& nombre) {
    const auto it = m_entidades.find(nombre.toUpper());
    if (it == m_entidades.end())
        throw VbError(
            tarvix::errores::BaseDeDatos, kOrigen,
            QStringLiteral("La entidad \"%1\" no está definida en la configuración de bases de datos (%2)")
                .arg(nombre, m_rutaIni.isEmpty() ? QStringLiteral("sin archivo") : m_rutaIni));
    return *it.value();
}

Velno::clBase& Central::getDataConnectionByEntity(const QString& nombre) {
    return *entidad(nombre).conexion;
}

tarvix::Motor Central::motorDe(const QString& nombre) const {
    const auto it = m_entidades.constFind(nombre.toUpper());
    return it == m_entidades.constEnd() ? Motor::SQLite : motorDeDriver(it.value()->parametros.driver);
}

QString Central::getDateFormatbyEntity(const QString& nombre, const QDateTime& fecha) {
    const Motor m = motorDeDriver(entidad(nombre).parametros.driver);
    const QString texto = fecha.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    switch (m) {
    case Motor::PostgreSQL:
        return QStringLiteral("TIMESTAMP '") + texto + u'\'';
    case Motor::Odbc:
        return QStringLiteral("{ts '") + texto + QStringLiteral("'}");
    case Motor::SQLite:
        break;
    }
    return u'\'' + texto + u'\'';
}

QString Central::getDateFormatbyEntity(const QString& nombre, const QString& fecha) {
    QDateTime dt;
    if (!tarvix::vb::EsFecha(fecha, &dt))
        return QStringLiteral("NULL");
    return getDateFormatbyEntity(nombre, dt);
}

QString Central::getMidFormatbyEntity(const QString& nombre, const QString& expresion, int inicio,
                                      const QString& largo) {
    const Motor m = motorDeDriver(entidad(nombre).parametros.driver);
    if (m == Motor::Odbc)
        return QStringLiteral("substring(%1,%2,%3)").arg(expresion).arg(inicio).arg(largo);
    // The length expression is written in the statements' dialect; the connection translates it.
    return QStringLiteral("substr(%1,%2,%3)").arg(expresion).arg(inicio).arg(largo);
}

} // namespace Trelvan
