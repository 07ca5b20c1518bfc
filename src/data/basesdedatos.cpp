#include "data/basesdedatos.h"

#include "components/clbase.h"
#include "components/comparacion.h"
#include "components/vberror.h"
#include "data/rutas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace tarvix::bases {

namespace {

const QString kOrigen = QStringLiteral("tarvix.bases");

[[noreturn]] void fallar(const QString& texto) {
    throw VbError(errores::BaseDeDatos, kOrigen, texto);
}

QString leerRecurso(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        fallar(QStringLiteral("Falta el archivo de datos del programa %1: la instalación está incompleta")
                   .arg(ruta));
    return QString::fromUtf8(f.readAll());
}

} // namespace

QStringList dividirScript(const QString& texto) {
    QStringList sentencias;
    QString actual;
    bool enLiteral = false;
    const QStringList lineas = texto.split(u'\n');
    for (const QString& lineaCruda : lineas) {
        QString linea = lineaCruda;
        if (linea.endsWith(u'\r'))
            linea.chop(1);
        if (!enLiteral && linea.trimmed().startsWith(QStringLiteral("--")))
            continue;
        for (QChar c : linea)
            if (c == u'\'')
                enLiteral = !enLiteral;
        actual += linea;
        if (!enLiteral && linea.trimmed().endsWith(u';')) {
            actual = actual.trimmed();
            actual.chop(1);
            if (!actual.trimmed().isEmpty())
                sentencias << actual;
            actual.clear();
        } else {
            actual += u'\n';
        }
    }
    if (!actual.trimmed().isEmpty())
        sentencias << actual.trimmed();
    return sentencias;
}

void ejecutarScript(QSqlDatabase& db, const QString& texto, const QString& nombre) {
    QSqlQuery q(db);
    const QStringList sentencias = dividirScript(texto);
    int n = 0;
    for (const QString& s : sentencias) {
        ++n;
        if (!q.exec(s))
            fallar(QStringLiteral("Error al crear la base de datos (%1, instrucción %2): %3")
                       .arg(nombre)
                       .arg(n)
                       .arg(Velno::describirErrorSqlite(q.lastError().text(), db.databaseName())));
    }
    q.finish();
}

void crearBaseSqlite(const QString& ruta, const QStringList& scripts) {
    const QFileInfo fi(ruta);
    if (!QDir().mkpath(fi.absolutePath()))
        fallar(QStringLiteral("No se puede crear la carpeta %1").arg(fi.absolutePath()));
    const QString temporal = ruta + QStringLiteral(".nueva");
    QFile::remove(temporal);
    const QString conexion = QStringLiteral("tarvix-crear-") + ruta;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
        db.setDatabaseName(temporal);
        if (!db.open()) {
            error = QStringLiteral("No se puede crear la base de datos %1: %2")
                        .arg(ruta, Velno::describirErrorSqlite(db.lastError().text(), temporal));
        } else {
            try {
                comparacion::registrar(db);
                QSqlQuery q(db);
                q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
                q.finish();
                db.transaction();
                for (const QString& s : scripts)
                    ejecutarScript(db, leerRecurso(s), QFileInfo(s).fileName());
                if (!db.commit())
                    error = QStringLiteral("No se puede crear la base de datos %1: %2")
                                .arg(ruta, Velno::describirErrorSqlite(db.lastError().text(), temporal));
            } catch (const VbError& e) {
                db.rollback();
                error = e.descripcion();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conexion);
    if (error.isEmpty() && !QFile::rename(temporal, ruta))
        error = QStringLiteral("No se puede crear la base de datos %1").arg(ruta);
    if (!error.isEmpty()) {
        QFile::remove(temporal);
        fallar(error);
    }
}

void crearBaseTrabajoSiFalta(const QString& ruta) {
    if (QFileInfo::exists(ruta))
        return;
    crearBaseSqlite(
        ruta, {QStringLiteral(":/sql/trabajo/esquema.sql"), QStringLiteral(":/sql/trabajo/paises.sql")});
}

void asegurarIndicesTrabajo(Velno::clBase& base) {
    try {
        base.EjecutarDirecto(
            QStringLiteral("CREATE INDEX IF NOT EXISTS ix_art_articulo ON ART (INTNRO, ARTNRO, MARCA)"));
    } catch (const VbError&) {
    }
}

QString prepararAduanaPorDefecto(const QString& carpetaDatos) {
    const QString ini = rutas::iniEntidades(carpetaDatos);
    if (QFileInfo::exists(ini))
        return ini;
    const QString base = rutas::baseAduana(carpetaDatos);
    if (!QFileInfo::exists(base))
        crearBaseSqlite(
            base, {QStringLiteral(":/sql/aduana/esquema.sql"), QStringLiteral(":/sql/aduana/demo.sql")});
    QDir().mkpath(carpetaDatos);
    {
        QSettings s(ini, QSettings::IniFormat);
        for (const char* entidad : {"NCM", "INTERNOS"}) {
            s.beginGroup(QString::fromLatin1(entidad));
            s.setValue(QStringLiteral("driver"), QStringLiteral("QSQLITE"));
            s.setValue(QStringLiteral("database"), QStringLiteral("db/aduana.db"));
            s.endGroup();
        }
        s.sync();
        if (s.status() != QSettings::NoError)
            fallar(QStringLiteral("No se puede escribir la configuración de bases de datos %1").arg(ini));
    }
    return ini;
}

} // namespace tarvix::bases
