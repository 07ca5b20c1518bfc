#include "data/conexionaduana.h"

#include "components/central.h"
#include "components/recordset.h"
#include "components/vberror.h"
#include "data/basesdedatos.h"
#include "data/rutas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

namespace tarvix {

Velno::ParametrosConexion ConexionAduana::parametros(const QString& carpetaDatos) const {
    Velno::ParametrosConexion p;
    switch (tipo) {
    case Tipo::Demostracion:
        p.driver = QStringLiteral("QSQLITE");
        p.baseDeDatos = rutas::baseAduana(carpetaDatos);
        break;
    case Tipo::Servidor:
        p.driver = QStringLiteral("QPSQL");
        p.host = host.trimmed();
        p.puerto = puerto;
        p.baseDeDatos = base.trimmed();
        p.usuario = usuario.trimmed();
        p.clave = clave;
        break;
    case Tipo::Odbc:
        p.driver = QStringLiteral("QODBC");
        p.baseDeDatos = origen.trimmed();
        p.usuario = usuario.trimmed();
        p.clave = clave;
        break;
    }
    return p;
}

namespace conexion {

namespace {

constexpr const char* kEntidades[] = {"NCM", "INTERNOS"};

} // namespace

bool esPrimerArranque(const QString& carpetaDatos) {
    return !QFileInfo::exists(rutas::iniEntidades(carpetaDatos));
}

QString faltante(const ConexionAduana& c) {
    switch (c.tipo) {
    case ConexionAduana::Tipo::Demostracion:
        return {};
    case ConexionAduana::Tipo::Servidor:
        if (c.host.trimmed().isEmpty())
            return QStringLiteral("Falta el nombre o la dirección del servidor.");
        if (c.puerto <= 0 || c.puerto > 65535)
            return QStringLiteral("El puerto debe ser un número entre 1 y 65535.");
        if (c.base.trimmed().isEmpty())
            return QStringLiteral("Falta el nombre de la base de datos.");
        if (c.usuario.trimmed().isEmpty())
            return QStringLiteral("Falta el usuario.");
        return {};
    case ConexionAduana::Tipo::Odbc:
        if (c.origen.trimmed().isEmpty())
            return QStringLiteral("Falta el nombre del origen de datos ODBC.");
        return {};
    }
    return {};
}

QString probarConexion(const ConexionAduana& c, const QString& carpetaDatos) {
    if (const QString falta = faltante(c); !falta.isEmpty())
        return falta;
    if (c.tipo == ConexionAduana::Tipo::Demostracion)
        return {};
    const Velno::ParametrosConexion p = c.parametros(carpetaDatos);
    Velno::clBase base(QStringLiteral("base aduanera"));
    base.setParametros(p);
    base.setMotor(Trelvan::motorDeDriver(p.driver));
    try {
        base.Conectar();
        // The customs tables must be there, not only a database that answers.
        Recordset rs;
        base.setSql(QStringLiteral("select count(*) as n from catarticulos where 1 = 0"));
        base.CrearRs(rs);
        base.Desconectar();
        return {};
    } catch (const VbError& e) {
        base.Desconectar();
        return e.descripcion();
    }
}

bool escribirEntidades(const QString& carpetaDatos, const ConexionAduana& c, QString* error) {
    const auto fallar = [error](const QString& texto) {
        if (error)
            *error = texto;
        return false;
    };
    if (const QString falta = faltante(c); !falta.isEmpty())
        return fallar(falta);
    const QString ini = rutas::iniEntidades(carpetaDatos);
    if (c.tipo == ConexionAduana::Tipo::Demostracion) {
        // The start-up writes the demonstration entities, creating the database, when there is no
        // file: the earlier one goes only once that succeeded.
        QTemporaryDir aparte(carpetaDatos + QStringLiteral("/.entidades-XXXXXX"));
        try {
            QDir().mkpath(carpetaDatos);
            if (QFileInfo::exists(ini)) {
                const QString guardado = aparte.filePath(QStringLiteral("entidades.ini"));
                if (!QFile::rename(ini, guardado))
                    return fallar(QStringLiteral("No se puede reemplazar %1").arg(ini));
                try {
                    bases::prepararAduanaPorDefecto(carpetaDatos);
                } catch (...) {
                    QFile::remove(ini);
                    QFile::rename(guardado, ini);
                    throw;
                }
            } else {
                bases::prepararAduanaPorDefecto(carpetaDatos);
            }
        } catch (const VbError& e) {
            return fallar(e.descripcion());
        }
        return true;
    }

    // Written whole into a file beside the old one, then put in its place.
    const Velno::ParametrosConexion p = c.parametros(carpetaDatos);
    QDir().mkpath(carpetaDatos);
    const QString nuevo = ini + QStringLiteral(".nuevo");
    QFile::remove(nuevo);
    {
        QSettings s(nuevo, QSettings::IniFormat);
        for (const char* entidad : kEntidades) {
            s.beginGroup(QString::fromLatin1(entidad));
            s.setValue(QStringLiteral("driver"), p.driver);
            s.setValue(QStringLiteral("database"), p.baseDeDatos);
            if (!p.host.isEmpty())
                s.setValue(QStringLiteral("host"), p.host);
            if (p.puerto > 0)
                s.setValue(QStringLiteral("port"), p.puerto);
            if (!p.usuario.isEmpty())
                s.setValue(QStringLiteral("user"), p.usuario);
            if (!p.clave.isEmpty())
                s.setValue(QStringLiteral("password"), p.clave);
            s.endGroup();
        }
        s.sync();
        if (s.status() != QSettings::NoError) {
            QFile::remove(nuevo);
            return fallar(
                QStringLiteral("No se puede escribir la configuración de bases de datos %1").arg(ini));
        }
    }
    if (!p.clave.isEmpty() && !QFile::setPermissions(nuevo, QFile::ReadOwner | QFile::WriteOwner)) {
        QFile::remove(nuevo);
        return fallar(QStringLiteral("No se puede proteger la clave en %1").arg(ini));
    }
    QFile::remove(ini);
    if (!QFile::rename(nuevo, ini)) {
        QFile::remove(nuevo);
        return fallar(QStringLiteral("No se puede escribir la configuración de bases de datos %1").arg(ini));
    }
    return true;
}

ConexionAduana leerEntidades(const QString& carpetaDatos) {
    ConexionAduana c;
    const QString ini = rutas::iniEntidades(carpetaDatos);
    if (!QFileInfo::exists(ini))
        return c;
    QSettings s(ini, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("INTERNOS"));
    const QString driver =
        s.value(QStringLiteral("driver"), QStringLiteral("QSQLITE")).toString().trimmed().toUpper();
    if (driver == u"QPSQL") {
        c.tipo = ConexionAduana::Tipo::Servidor;
        c.host = s.value(QStringLiteral("host"), c.host).toString();
        c.puerto = s.value(QStringLiteral("port"), c.puerto).toInt();
        c.base = s.value(QStringLiteral("database")).toString();
    } else if (driver == u"QODBC") {
        c.tipo = ConexionAduana::Tipo::Odbc;
        c.origen = s.value(QStringLiteral("database")).toString();
    }
    c.usuario = s.value(QStringLiteral("user")).toString();
    c.clave = s.value(QStringLiteral("password")).toString();
    return c;
}

bool usaDemostracion(const QString& carpetaDatos) {
    const QString ini = rutas::iniEntidades(carpetaDatos);
    if (!QFileInfo::exists(ini))
        return false;
    QSettings s(ini, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("INTERNOS"));
    if (s.value(QStringLiteral("driver"), QStringLiteral("QSQLITE")).toString().trimmed().toUpper() !=
        u"QSQLITE")
        return false;
    QString base = s.value(QStringLiteral("database")).toString();
    if (QDir::isRelativePath(base))
        base = QFileInfo(ini).absoluteDir().filePath(base);
    return QFileInfo(base).absoluteFilePath() ==
           QFileInfo(rutas::baseAduana(carpetaDatos)).absoluteFilePath();
}

} // namespace conexion
} // namespace tarvix
