#include "components/clbase.h"

#include "components/vberror.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using tarvix::VbError;

namespace Velno {

namespace {
QAtomicInt g_contador;
const QString kOrigen = QStringLiteral("Velno.clBase");

// Source of the errors a connection raises: the component for the working database, the entity's
// connection name otherwise.
QString origenDe(const QString& nombre) {
    return nombre == u"base de trabajo" ? kOrigen : nombre;
}

// Checks made before every statement.
// - SQLite reads a statement up to its first NUL and drops the rest without a word: such a statement
//   is refused whole.
// - An SQLite connection keeps working on a file that was deleted or moved while it was open (it holds
//   the file open), and all it writes then is lost when it closes: once the file has gone from its
//   path, nothing more is run.
void verificarSentencia(const QString& sql, const ParametrosConexion& p, const QString& nombre,
                        bool abierta) {
    if (sql.contains(QChar(0)))
        throw VbError(
            tarvix::errores::BaseDeDatos, origenDe(nombre),
            QStringLiteral("La instrucción SQL contiene un carácter nulo (código 0), que la base de "
                           "datos no admite: no se ejecutó"));
    if (abierta && p.driver == u"QSQLITE" && !QFileInfo::exists(p.baseDeDatos))
        throw VbError(
            tarvix::errores::BaseDeDatos, origenDe(nombre),
            QStringLiteral("El archivo de la %1 ya no está en %2: fue borrado o movido con el programa "
                           "abierto. No se ejecutó la instrucción; restaure el archivo y vuelva a abrir "
                           "el programa")
                .arg(nombre, p.baseDeDatos));
}
} // namespace

QString describirErrorSql(const QString& textoDriver) {
    const QString t = textoDriver.trimmed();
    struct Caso {
        const char* clave;
        const char* texto;
    };
    static const Caso casos[] = {
        {"UNIQUE constraint failed", "Ya existe un registro con la misma clave"},
        {"duplicate key", "Ya existe un registro con la misma clave"},
        {"no such table", "No existe la tabla"},
        {"does not exist", "No existe el objeto de la base de datos"},
        {"no such column", "No existe la columna"},
        {"readonly database", "La base de datos es de solo lectura: no se pueden guardar cambios"},
        {"read-only", "La base de datos es de solo lectura: no se pueden guardar cambios"},
        {"database or disk is full", "No queda espacio en el disco para la base de datos"},
        {"disk I/O error", "Error de lectura o escritura en el disco de la base de datos"},
        {"file is not a database", "El archivo no es una base de datos válida o está dañado"},
        {"database disk image is malformed", "La base de datos está dañada"},
        {"database is locked", "La base de datos está bloqueada por otro programa"},
        {"syntax error", "Error de sintaxis en la instrucción SQL"},
        {"password authentication failed", "Usuario o contraseña incorrectos"},
        {"could not connect", "No se puede conectar con el servidor de base de datos"},
        {"Connection refused", "No se puede conectar con el servidor de base de datos"},
        {"server closed the connection", "Se perdió la conexión con el servidor de base de datos"},
        {"terminating connection", "Se perdió la conexión con el servidor de base de datos"},
        {"no connection to the server", "Se perdió la conexión con el servidor de base de datos"},
    };
    for (const Caso& c : casos) {
        if (t.contains(QLatin1String(c.clave), Qt::CaseInsensitive))
            return QString::fromUtf8(c.texto) + QStringLiteral(" (") + t + u')';
    }
    return t.isEmpty() ? QStringLiteral("Error de base de datos") : t;
}

clBase::clBase(QString nombre)
    : m_nombre(std::move(nombre)),
      m_conexion(QStringLiteral("velno-%1").arg(g_contador.fetchAndAddRelaxed(1))) {}

clBase::~clBase() {
    Desconectar();
}

void clBase::setCadenaConexion(const QString& cadena) {
    m_cadena = cadena;
    ParametrosConexion p;
    const QStringList partes = cadena.split(u';', Qt::SkipEmptyParts);
    for (const QString& parte : partes) {
        const qsizetype igual = parte.indexOf(u'=');
        if (igual < 0)
            continue;
        const QString clave = parte.left(igual).trimmed().toLower();
        const QString valor = parte.mid(igual + 1).trimmed();
        if (clave == u"driver")
            p.driver = valor;
        else if (clave == u"data source" || clave == u"database")
            p.baseDeDatos = valor;
        else if (clave == u"host" || clave == u"server")
            p.host = valor;
        else if (clave == u"port")
            p.puerto = valor.toInt();
        else if (clave == u"user" || clave == u"user id" || clave == u"uid")
            p.usuario = valor;
        else if (clave == u"password" || clave == u"pwd")
            p.clave = valor;
        else if (clave == u"options")
            p.opciones = valor;
    }
    m_param = p;
}

void clBase::setParametros(const ParametrosConexion& p) {
    m_param = p;
    m_cadena = QStringLiteral("Driver=%1;Data Source=%2").arg(p.driver, p.baseDeDatos);
}

QSqlDatabase clBase::base() const {
    return QSqlDatabase::database(m_conexion, false);
}

bool clBase::Conectado() const {
    return m_abierta && base().isOpen();
}

void clBase::Desconectar() {
    if (QSqlDatabase::contains(m_conexion)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_conexion, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_conexion);
    }
    m_abierta = false;
}

void clBase::Conectar() {
    Desconectar();
    const ParametrosConexion& p = m_param;
    if (!QSqlDatabase::isDriverAvailable(p.driver))
        throw VbError(tarvix::errores::BaseDeDatos, kOrigen,
                      QStringLiteral("El controlador de base de datos %1 de la %2 no está instalado")
                          .arg(p.driver, m_nombre));
    if (p.driver == u"QSQLITE") {
        if (p.baseDeDatos.isEmpty())
            throw VbError(tarvix::errores::BaseDeDatos, kOrigen,
                          QStringLiteral("No se indicó el archivo de la %1").arg(m_nombre));
        // SQLite would create an empty file silently: a missing file is a failure here.
        const QFileInfo fi(p.baseDeDatos);
        if (!fi.exists() || !fi.isFile())
            throw VbError(
                tarvix::errores::BaseDeDatos, kOrigen,
                QStringLiteral("No se encuentra el archivo de la %1: %2").arg(m_nombre, p.baseDeDatos));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(p.driver, m_conexion);
        db.setDatabaseName(p.baseDeDatos);
        if (!p.host.isEmpty())
            db.setHostName(p.host);
        if (p.puerto > 0)
            db.setPort(p.puerto);
        if (!p.usuario.isEmpty())
            db.setUserName(p.usuario);
        if (!p.clave.isEmpty())
            db.setPassword(p.clave);
        QString opciones = p.opciones;
        if (p.driver == u"QSQLITE" && !opciones.contains(QStringLiteral("QSQLITE_BUSY_TIMEOUT")))
            opciones = opciones.isEmpty() ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000")
                                          : opciones + QStringLiteral(";QSQLITE_BUSY_TIMEOUT=5000");
        db.setConnectOptions(opciones);
        if (!db.open()) {
            const QSqlError e = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_conexion);
            // The password never appears in the message: the driver text does not carry it.
            throw VbError(
                tarvix::errores::BaseDeDatos, kOrigen,
                QStringLiteral("No se puede abrir la %1: %2").arg(m_nombre, describirErrorSql(e.text())));
        }
        m_abierta = true;
        if (p.driver == u"QSQLITE") {
            QSqlQuery q(db);
            // Reading the schema proves the file is a database; WAL keeps readers and the writer apart.
            if (!q.exec(QStringLiteral("select count(*) from sqlite_master"))) {
                const QSqlError e = q.lastError();
                q = QSqlQuery();
                Desconectar();
                throw VbError(
                    tarvix::errores::BaseDeDatos, kOrigen,
                    QStringLiteral("No se puede abrir la %1: %2").arg(m_nombre, describirErrorSql(e.text())));
            }
            q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
            q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
            q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=16384"));
        }
    }
}

void clBase::asegurarConexion() {
    // The driver closes a server connection it found lost (the server stopped or restarted): the
    // statement that found it reported the loss, and the next use opens the connection again.
    if (!Conectado())
        Conectar();
}

void clBase::fallar(const QSqlError& e, const QString& contexto) const {
    Q_UNUSED(contexto);
    // A server that went away mid-statement may leave the driver without any text to give.
    if (e.text().trimmed().isEmpty() && m_param.driver != u"QSQLITE")
        throw VbError(
            tarvix::errores::BaseDeDatos, origenDe(m_nombre),
            QStringLiteral("Se perdió la conexión con el servidor de base de datos de la %1").arg(m_nombre));
    throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), describirErrorSql(e.text()));
}

bool clBase::CrearRs(tarvix::Recordset& rs) {
    verificarSentencia(m_sql, m_param, m_nombre, m_abierta);
    asegurarConexion();
    QSqlDatabase db = base();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(textoParaMotor(m_sql)))
        fallar(q.lastError(), m_sql);
    const QSqlRecord reg = q.record();
    QStringList columnas;
    const int n = reg.count();
    columnas.reserve(n);
    for (int i = 0; i < n; ++i)
        columnas << reg.fieldName(i);
    std::vector<std::vector<QVariant>> filas;
    while (q.next()) {
        std::vector<QVariant> fila;
        fila.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            fila.push_back(q.value(i));
        filas.push_back(std::move(fila));
    }
    if (q.lastError().isValid())
        fallar(q.lastError(), m_sql);
    rs = tarvix::Recordset(std::move(columnas), std::move(filas));
    return rs.RecordCount() > 0;
}

qint64 clBase::Ejecutar() {
    return EjecutarDirecto(m_sql);
}

qint64 clBase::EjecutarDirecto(const QString& sql) {
    verificarSentencia(sql, m_param, m_nombre, m_abierta);
    asegurarConexion();
    QSqlDatabase db = base();
    QSqlQuery q(db);
    if (!q.exec(textoParaMotor(sql)))
        fallar(q.lastError(), sql);
    const int n = q.numRowsAffected();
    return n < 0 ? 0 : n;
}

} // namespace Velno
