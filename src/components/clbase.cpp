#include "components/clbase.h"

#include "components/comparacion.h"
#include "components/motorpostgres.h"
#include "components/motorsqlite.h"
#include "components/vb.h"
#include "components/vberror.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStorageInfo>
#include <sqlite3.h>
#include <sys/stat.h>

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

// SQLite reads a statement up to its first NUL and drops the rest without a word: such a statement
// is refused whole.
void verificarNulo(const QString& sql, const QString& nombre) {
    if (sql.contains(QChar(0)))
        throw VbError(
            tarvix::errores::BaseDeDatos, origenDe(nombre),
            QStringLiteral("La instrucción SQL contiene un carácter nulo (código 0), que la base de "
                           "datos no admite: no se ejecutó"));
}

[[noreturn]] void fallarArchivoMovido(const QString& nombre, const QString& archivo) {
    throw VbError(
        tarvix::errores::BaseDeDatos, origenDe(nombre),
        QStringLiteral("El archivo de la %1 ya no está en %2: fue borrado o movido con el programa "
                       "abierto. No se ejecutó la instrucción; restaure el archivo y vuelva a abrir "
                       "el programa")
            .arg(nombre, archivo));
}

bool existe(const QByteArray& archivo) {
    struct stat st {};
    return ::stat(archivo.constData(), &st) == 0;
}
} // namespace

namespace {
// The SQLSTATE code the PostgreSQL driver writes into its text: "...(22001) QPSQL: ...".
QString codigoEnTexto(const QString& texto) {
    static const QRegularExpression re(QStringLiteral("\\(([0-9A-Z]{5})\\)\\s*QPSQL:"));
    const QRegularExpressionMatch m = re.match(texto);
    return m.hasMatch() ? m.captured(1) : QString();
}
} // namespace

namespace {
constexpr const char kDiscoLleno[] =
    "No queda espacio en el disco para la base de datos: el disco está lleno; "
    "libere espacio y vuelva a intentarlo";
} // namespace

QString describirErrorSql(const QString& textoDriver, const QString& codigo) {
    const QString t = textoDriver.trimmed();
    struct Caso {
        const char* clave;
        const char* texto;
    };
    // By SQLSTATE: a whole code, or a class (its first two characters).
    static const Caso codigos[] = {
        {"42501", "El usuario de la base de datos no tiene permiso para esta operación: pídalo al "
                  "administrador del servidor"},
        {"40P01", "La operación chocó con la de otro puesto (bloqueo mutuo) y el servidor la canceló: "
                  "vuelva a intentarlo"},
        {"40001", "La operación chocó con la de otro puesto y el servidor la canceló: vuelva a intentarlo"},
        {"57014", "La operación superó el tiempo máximo de espera del servidor de base de datos y se "
                  "canceló"},
        {"55P03", "Otro puesto tiene ocupados los datos que hacen falta y no los liberó a tiempo: vuelva a "
                  "intentarlo más tarde"},
        {"53100", "El servidor de base de datos se quedó sin espacio en el disco"},
        {"53200", "El servidor de base de datos se quedó sin memoria"},
        {"53300", "El servidor de base de datos no admite más conexiones"},
        {"22001", "Un texto es más largo de lo que admite su columna en la base de datos"},
        {"22003", "Un número está fuera del rango que admite su columna en la base de datos"},
        {"23505", "Ya existe un registro con la misma clave"},
        {"25P02", "La instrucción no se ejecutó: falló una anterior de la misma transacción"},
        {"42P01", "No existe la tabla"},
        {"42703", "No existe la columna"},
        {"42601", "Error de sintaxis en la instrucción SQL"},
        {"57P01", "Se perdió la conexión con el servidor de base de datos (el servidor se detuvo o se "
                  "reinició)"},
        {"57P02", "Se perdió la conexión con el servidor de base de datos (el servidor se detuvo o se "
                  "reinició)"},
        {"57P03", "El servidor de base de datos está arrancando o deteniéndose: vuelva a intentarlo en "
                  "unos momentos"},
        {"08", "Se perdió la conexión con el servidor de base de datos"},
        {"28", "Usuario o contraseña incorrectos"},
        {"53", "El servidor de base de datos no tiene recursos suficientes"},
    };
    static const Caso casos[] = {
        {"UNIQUE constraint failed", "Ya existe un registro con la misma clave"},
        {"duplicate key", "Ya existe un registro con la misma clave"},
        {"no such table", "No existe la tabla"},
        {"does not exist", "No existe el objeto de la base de datos"},
        {"no such column", "No existe la columna"},
        {"has no column named", "No existe la columna"},
        {"readonly database", "La base de datos es de solo lectura: no se pueden guardar cambios"},
        {"read-only", "La base de datos es de solo lectura: no se pueden guardar cambios"},
        {"database or disk is full", kDiscoLleno},
        {"No space left on device", kDiscoLleno},
        {"disk I/O error", "Error de lectura o escritura en el disco de la base de datos"},
        {"file is not a database", "El archivo no es una base de datos válida o está dañado"},
        {"database disk image is malformed", "La base de datos está dañada"},
        {"database is locked", "La base de datos está bloqueada por otro programa"},
        {"syntax error", "Error de sintaxis en la instrucción SQL"},
        {"password authentication failed", "Usuario o contraseña incorrectos"},
        {"could not connect", "No se puede conectar con el servidor de base de datos"},
        {"Connection refused", "No se puede conectar con el servidor de base de datos"},
        {"timeout expired", "El servidor de base de datos no respondió a tiempo"},
        {"server closed the connection", "Se perdió la conexión con el servidor de base de datos"},
        {"terminating connection", "Se perdió la conexión con el servidor de base de datos"},
        {"no connection to the server", "Se perdió la conexión con el servidor de base de datos"},
        {"Connection timed out", "Se perdió la conexión con el servidor de base de datos"},
    };
    const auto con = [&t](const char* texto) -> QString {
        return QString::fromUtf8(texto) + QStringLiteral(" (") + t + u')';
    };
    const QString c = codigo.isEmpty() ? codigoEnTexto(t) : codigo;
    if (c.size() == 5) {
        for (const Caso& k : codigos) {
            const auto clave = QLatin1String(k.clave);
            if (clave.size() == 5 ? c == clave : c.startsWith(clave))
                return con(k.texto);
        }
    }
    for (const Caso& k : casos) {
        if (t.contains(QLatin1String(k.clave), Qt::CaseInsensitive))
            return con(k.texto);
    }
    return t.isEmpty() ? QStringLiteral("Error de base de datos") : t;
}

QString describirErrorSqlite(const QString& textoDriver, qint64 bytesLibres) {
    // Less than a megabyte free: SQLite could not write its pages or its journal.
    constexpr qint64 kMinimo = 1024 * 1024;
    if (bytesLibres >= 0 && bytesLibres < kMinimo &&
        textoDriver.contains(QLatin1String("disk I/O error"), Qt::CaseInsensitive))
        return QString::fromUtf8(kDiscoLleno) + QStringLiteral(" (") + textoDriver.trimmed() + u')';
    return describirErrorSql(textoDriver);
}

QString describirErrorSqlite(const QString& textoDriver, const QString& archivo) {
    const QStorageInfo disco(QFileInfo(archivo).absolutePath());
    return describirErrorSqlite(textoDriver, disco.isValid() ? disco.bytesAvailable() : -1);
}

clBase::clBase(QString nombre)
    : m_nombre(std::move(nombre)),
      m_conexion(QStringLiteral("velno-%1").arg(g_contador.fetchAndAddRelaxed(1))) {}

clBase::~clBase() {
    Desconectar();
}

// An SQLite connection keeps working on a file that was deleted or moved while it was open (it holds
// the file open), and all it writes then is lost when it closes: once the file has gone from its
// path, nothing more is run.
void clBase::verificar(const QString& sql) const {
    verificarNulo(sql, m_nombre);
    if (!m_abierta || m_param.driver != u"QSQLITE")
        return;
    // Inside a lote the file is looked at when it starts, every so many statements and before the
    // commit: what the lote wrote is discarded whole when the file went away meanwhile.
    if (m_lote > 0 && m_sqlite && m_sqlite->enTransaccion() && (++m_cuentaLote & 255) != 0)
        return;
    if (m_archivo.isEmpty() ? !QFileInfo::exists(m_param.baseDeDatos) : !existe(m_archivo))
        fallarArchivoMovido(m_nombre, m_param.baseDeDatos);
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
    // The compiled statements go first: the connection does not close while any is alive.
    m_sqlite.reset();
    m_pg.reset();
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
        QStringList opciones;
        if (!p.opciones.isEmpty())
            opciones << p.opciones;
        const auto agregar = [&opciones, &p](const QString& clave, const QString& valor) {
            if (!p.opciones.contains(clave))
                opciones << clave + u'=' + valor;
        };
        if (p.driver == u"QSQLITE")
            agregar(QStringLiteral("QSQLITE_BUSY_TIMEOUT"), QStringLiteral("5000"));
        if (p.driver == u"QPSQL") {
            // A server that does not answer, or a link gone silent, ends in a message: the connection
            // is given up after its time, and a dead link is found by the keepalives within about
            // half a minute.
            agregar(QStringLiteral("connect_timeout"),
                    QString::number(p.tiempoConexion < 0 ? 10 : p.tiempoConexion));
            agregar(QStringLiteral("keepalives"), QStringLiteral("1"));
            agregar(QStringLiteral("keepalives_idle"), QStringLiteral("15"));
            agregar(QStringLiteral("keepalives_interval"), QStringLiteral("5"));
            agregar(QStringLiteral("keepalives_count"), QStringLiteral("3"));
            agregar(QStringLiteral("tcp_user_timeout"), QStringLiteral("30000"));
        }
        db.setConnectOptions(opciones.join(u';'));
        if (!db.open()) {
            const QSqlError e = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_conexion);
            // The password never appears in the message: the driver text does not carry it.
            const QString causa = p.driver == u"QSQLITE" ? describirErrorSqlite(e.text(), p.baseDeDatos)
                                                         : describirErrorSql(e.text());
            throw VbError(tarvix::errores::BaseDeDatos, kOrigen,
                          QStringLiteral("No se puede abrir la %1: %2").arg(m_nombre, causa));
        }
        m_abierta = true;
        if (p.driver == u"QSQLITE") {
            // Before any statement: texts compare without regard to case (ASCII and Latin-1).
            tarvix::comparacion::registrar(db);
            QSqlQuery q(db);
            // Reading the schema proves the file is a database; WAL keeps readers and the writer apart.
            if (!q.exec(QStringLiteral("select count(*) from sqlite_master"))) {
                const QSqlError e = q.lastError();
                q = QSqlQuery();
                Desconectar();
                throw VbError(tarvix::errores::BaseDeDatos, kOrigen,
                              QStringLiteral("No se puede abrir la %1: %2")
                                  .arg(m_nombre, describirErrorSqlite(e.text(), p.baseDeDatos)));
            }
            q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
            q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
            q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=16384"));
            // A cache of 32 MB: an interno of ten thousand lines and the catalog it is looked up in
            // stay in memory while a run or a transfer goes over them.
            q.exec(QStringLiteral("PRAGMA cache_size=-32768"));
            q = QSqlQuery();
            const QVariant h = db.driver()->handle();
            if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0) {
                if (sqlite3* handle = *static_cast<sqlite3* const*>(h.constData())) {
                    m_sqlite = std::make_unique<MotorSqlite>(handle);
                    m_archivo = QFile::encodeName(QFileInfo(p.baseDeDatos).absoluteFilePath());
                }
            }
        } else if (p.driver == u"QPSQL") {
            ajustarServidor(db);
            const QVariant h = db.driver()->handle();
            if (h.isValid() &&
                (qstrcmp(h.typeName(), "pg_conn*") == 0 || qstrcmp(h.typeName(), "PGconn*") == 0)) {
                pg_conn* handle = *static_cast<pg_conn* const*>(h.constData());
                if (handle && MotorPostgres::disponible())
                    m_pg = std::make_unique<MotorPostgres>(handle);
            }
        }
    }
}

// The limits of one statement and of a wait for a lock: those of the entity's file when it names
// them; otherwise the server's own (set for the user or the database) or, when it has none, ours.
void clBase::ajustarServidor(QSqlDatabase& db) {
    const auto valor = [](const char* nombre, int segundos, int porDefecto) -> QString {
        const QString propio = QString::number(segundos < 0 ? porDefecto : segundos * 1000);
        if (segundos >= 0)
            return u'\'' + propio + u'\'';
        return QStringLiteral("case current_setting('%1') when '0' then '%2' else current_setting('%1') end")
            .arg(QLatin1String(nombre), propio);
    };
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select set_config('statement_timeout', %1, false), "
                               "set_config('lock_timeout', %2, false)")
                    .arg(valor("statement_timeout", m_param.tiempoSentencia, 60000),
                         valor("lock_timeout", m_param.tiempoBloqueo, 30000)))) {
        const QSqlError e = q.lastError();
        q = QSqlQuery();
        Desconectar();
        throw VbError(tarvix::errores::BaseDeDatos, kOrigen,
                      QStringLiteral("No se puede abrir la %1: %2")
                          .arg(m_nombre, describirErrorSql(e.text(), e.nativeErrorCode())));
    }
}

void clBase::asegurarConexion() {
    if (m_transaccion == Transaccion::Abierta) {
        // Inside a transaction a lost connection is never opened again: the server undid it.
        if (!Conectado() || (m_pg && m_pg->conexionPerdida()))
            throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre),
                          QStringLiteral("Se perdió la conexión con el servidor de base de datos de la %1")
                              .arg(m_nombre));
        return;
    }
    // The driver closes a server connection it found lost (the server stopped or restarted): the
    // statement that found it reported the loss, and the next use opens the connection again. One
    // the server closed while it was idle (a restart) is opened again before it is used.
    if (m_sqlite ? !m_abierta : !Conectado())
        Conectar();
    else if (m_pg && !m_pg->viva())
        Conectar();
    if (m_transaccion == Transaccion::Pendiente)
        abrirTransaccion();
    if (m_lote > 0)
        abrirLote();
}

void clBase::ComenzarTransaccion(const QString& cerrojo, const QString& ocupado) {
    if (m_transaccion != Transaccion::Ninguna)
        return;
    m_transaccion = Transaccion::Pendiente;
    m_cerrojo = cerrojo;
    m_ocupado = ocupado;
}

void clBase::abrirTransaccion() {
    const auto fallarApertura = [this](const QString& error, bool ocupada) {
        m_transaccion = Transaccion::Ninguna;
        const QString d = ocupada ? QStringLiteral("La %1 está ocupada por otro puesto que escribe en ella y "
                                                   "no se liberó a tiempo: espere a que termine y vuelva a "
                                                   "intentarlo (%2)")
                                        .arg(m_nombre, error)
                                  : describirErrorSql(error);
        throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), d);
    };
    if (m_sqlite) {
        // A lote already open is committed first: the transaction starts on its own.
        qint64 n = 0;
        QString error;
        if (m_sqlite->enTransaccion())
            m_sqlite->ejecutar(QStringLiteral("COMMIT"), n, error);
        if (!m_sqlite->ejecutar(QStringLiteral("BEGIN IMMEDIATE"), n, error))
            fallarApertura(error, m_sqlite->ocupada());
        m_transaccion = Transaccion::Abierta;
        return;
    }
    if (m_pg)
        prepararSincronica(false);
    QSqlDatabase db = base();
    if (!db.transaction()) {
        const QSqlError e = db.lastError();
        if (m_pg && m_pg->conexionPerdida())
            Desconectar();
        fallarApertura(e.text(), false);
    }
    m_transaccion = Transaccion::Abierta;
    if (m_pg)
        m_pg->setTransaccion(true);
    if (!m_cerrojo.isEmpty())
        tomarCerrojo(m_cerrojo, m_ocupado);
}

void clBase::tomarCerrojo(const QString& cerrojo, const QString& ocupado) {
    if (m_param.driver != u"QPSQL")
        return;
    if (m_pg)
        prepararSincronica(false);
    // The key is the text folded to one case (as the server compares the keys it is made of).
    QSqlQuery q(base());
    if (q.exec(QStringLiteral("select pg_advisory_xact_lock(hashtextextended(%1, 0))")
                   .arg(tarvix::vb::SqlTexto(cerrojo.toCaseFolded()))))
        return;
    const QSqlError e = q.lastError();
    if (e.nativeErrorCode() == u"55P03" || e.nativeErrorCode() == u"57014")
        throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre),
                      ocupado + QStringLiteral(" (") + e.text().trimmed() + u')');
    fallar(e, QString());
}

void clBase::Bloquear(const QString& cerrojo, const QString& ocupado) {
    if (m_transaccion == Transaccion::Ninguna)
        return;
    if (m_transaccion == Transaccion::Pendiente) {
        m_cerrojo = cerrojo;
        m_ocupado = ocupado;
        asegurarConexion();
        return;
    }
    asegurarConexion();
    tomarCerrojo(cerrojo, ocupado);
}

void clBase::ConfirmarTransaccion() {
    const Transaccion t = m_transaccion;
    if (t != Transaccion::Abierta) {
        m_transaccion = Transaccion::Ninguna;
        return;
    }
    try {
        if (m_sqlite) {
            qint64 n = 0;
            QString error;
            if (!existe(m_archivo))
                fallarArchivoMovido(m_nombre, m_param.baseDeDatos);
            if (!m_sqlite->ejecutar(QStringLiteral("COMMIT"), n, error))
                throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), describirErrorSql(error));
        } else {
            if (m_pg)
                prepararSincronica(false);
            QSqlDatabase db = base();
            if (!db.commit())
                fallar(db.lastError(), QString());
            if (m_pg)
                m_pg->setTransaccion(false);
        }
    } catch (...) {
        DeshacerTransaccion();
        throw;
    }
    m_transaccion = Transaccion::Ninguna;
}

bool clBase::DeshacerTransaccion() noexcept {
    const Transaccion t = m_transaccion;
    m_transaccion = Transaccion::Ninguna;
    m_cerrojo.clear();
    m_ocupado.clear();
    if (t != Transaccion::Abierta)
        return t == Transaccion::Pendiente;
    try {
        if (m_sqlite) {
            qint64 n = 0;
            QString error;
            if (m_sqlite->enTransaccion())
                m_sqlite->ejecutar(QStringLiteral("ROLLBACK"), n, error);
        } else if (m_abierta) {
            if (m_pg) {
                // What is still on its way is read and dropped; a window open ends without a commit.
                if (m_pg->ventanaAbierta())
                    m_pg->confirmar();
                m_pg->olvidarAnticipadas();
                m_pg->vaciar();
                m_pg->setTransaccion(false);
                if (m_pg->conexionPerdida()) {
                    Desconectar(); // the server undid it when the connection ended
                    return true;
                }
            }
            QSqlDatabase db = base();
            if (db.isOpen())
                db.rollback();
        }
    } catch (...) {
    }
    return true;
}

void clBase::ComenzarLote(bool soloLecturas) {
    if (m_lote++ == 0)
        m_loteLecturas = soloLecturas;
}

void clBase::abrirLote() {
    if (!m_sqlite || m_transaccion != Transaccion::Ninguna || m_sqlite->enTransaccion() ||
        (m_loteLecturas && !m_sqlite->enWal()))
        return;
    qint64 n = 0;
    QString error;
    if (!m_sqlite->ejecutar(QStringLiteral("BEGIN"), n, error))
        throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), describirErrorSql(error));
}

void clBase::cerrarLoteTrasFalla(bool descartar) noexcept {
    // Inside a transaction its owner undoes it.
    if (m_transaccion == Transaccion::Abierta)
        return;
    if (m_lote == 0 || !m_sqlite || !m_sqlite->enTransaccion())
        return;
    // A failure of the storage may already have undone part of the lote: it is undone whole, so that
    // the database is left as it was before the lote and never half of it.
    descartar = descartar || m_sqlite->fallaDeAlmacenamiento();
    qint64 n = 0;
    QString error;
    if (descartar || !m_sqlite->ejecutar(QStringLiteral("COMMIT"), n, error))
        m_sqlite->ejecutar(QStringLiteral("ROLLBACK"), n, error);
}

void clBase::TerminarLote() {
    if (m_lote == 0 || --m_lote > 0)
        return;
    if (!m_sqlite || !m_sqlite->enTransaccion() || m_transaccion == Transaccion::Abierta)
        return;
    qint64 n = 0;
    QString error;
    if (!existe(m_archivo)) {
        m_sqlite->ejecutar(QStringLiteral("ROLLBACK"), n, error);
        fallarArchivoMovido(m_nombre, m_param.baseDeDatos);
    }
    if (!m_sqlite->ejecutar(QStringLiteral("COMMIT"), n, error)) {
        QString otro;
        m_sqlite->ejecutar(QStringLiteral("ROLLBACK"), n, otro);
        throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), describirErrorSql(error));
    }
}

void clBase::fallar(const QSqlError& e, const QString& contexto) const {
    Q_UNUSED(contexto);
    // A server that went away mid-statement may leave the driver without any text to give.
    if (e.text().trimmed().isEmpty() && m_param.driver != u"QSQLITE")
        throw VbError(
            tarvix::errores::BaseDeDatos, origenDe(m_nombre),
            QStringLiteral("Se perdió la conexión con el servidor de base de datos de la %1").arg(m_nombre));
    throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre),
                  describirErrorSql(e.text(), m_param.driver == u"QPSQL" ? e.nativeErrorCode() : QString()));
}

bool clBase::CrearRs(tarvix::Recordset& rs) {
    try {
        verificar(m_sql);
    } catch (const VbError&) {
        cerrarLoteTrasFalla(true);
        throw;
    }
    asegurarConexion();
    if (m_sqlite) {
        QStringList columnas;
        std::vector<std::vector<QVariant>> filas;
        QString error;
        if (!m_sqlite->consultar(textoParaMotor(m_sql), columnas, filas, error)) {
            cerrarLoteTrasFalla(false);
            throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), describirErrorSql(error));
        }
        rs = tarvix::Recordset(std::move(columnas), std::move(filas));
        return rs.RecordCount() > 0;
    }
    if (m_pg) {
        if (m_pg->esProxima(m_sql)) {
            if (m_pg->ventanaAbierta() && !m_pg->proximaEnviada())
                lanzarFallaCola(m_pg->confirmar());
            ResultadoPg r = m_pg->tomar();
            if (!r.ok)
                fallarPg(r.error);
            rs = tarvix::Recordset(std::move(r.columnas), std::move(r.filas));
            return rs.RecordCount() > 0;
        }
        prepararSincronica(false);
    }
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

sqlite3* clBase::ManejadorSqlite() {
    asegurarConexion();
    return m_sqlite ? m_sqlite->handle() : nullptr;
}

qint64 clBase::EjecutarDirecto(const QString& sql) {
    try {
        verificar(sql);
    } catch (const VbError&) {
        cerrarLoteTrasFalla(true);
        throw;
    }
    asegurarConexion();
    if (m_sqlite) {
        qint64 n = 0;
        QString error;
        if (!m_sqlite->ejecutar(textoParaMotor(sql), n, error)) {
            cerrarLoteTrasFalla(false);
            throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), describirErrorSql(error));
        }
        return n;
    }
    if (m_pg)
        prepararSincronica(true);
    QSqlDatabase db = base();
    QSqlQuery q(db);
    if (!q.exec(textoParaMotor(sql)))
        fallar(q.lastError(), sql);
    const int n = q.numRowsAffected();
    return n < 0 ? 0 : n;
}

// Before a statement the Qt driver runs: the queued writes are confirmed (a write also forgets
// the reads sent ahead, unless they were announced as unaffected) and whatever is still on its
// way is read.
void clBase::prepararSincronica(bool escritura) {
    if (escritura && m_pg->hayAnticipadas() && !m_pg->anticipadasResisten())
        m_pg->olvidarAnticipadas();
    if (m_pg->ventanaAbierta())
        lanzarFallaCola(m_pg->confirmar());
    m_pg->vaciar();
    if (m_pg->conexionPerdida())
        fallarPg(QString());
}

// The description of a failure on a server. A lost connection whose text says nothing known (or
// nothing at all) is named as such; a lost connection is closed, so that the next use opens it again.
QString clBase::descripcionPg(const QString& error) {
    const bool perdida = m_pg && m_pg->conexionPerdida();
    if (perdida)
        Desconectar();
    const QString d = describirErrorSql(error);
    if (error.trimmed().isEmpty() || (perdida && d == error.trimmed()))
        return QStringLiteral("Se perdió la conexión con el servidor de base de datos de la %1")
            .arg(m_nombre);
    return d;
}

void clBase::fallarPg(const QString& error) {
    throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), descripcionPg(error));
}

void clBase::lanzarFallaCola(const std::optional<FallaColaPg>& falla) {
    if (!falla)
        return;
    const QString descripcion = descripcionPg(falla->error);
    throw FallaEnCola(origenDe(m_nombre), falla->sinFilas ? QString() : descripcion,
                      QString::fromUtf8(falla->texto), falla->marca, falla->sinFilas);
}

bool clBase::AnticipaLecturas() const {
    return m_param.driver == u"QPSQL";
}

void clBase::AnticiparLecturas(const QStringList& consultas, bool resistenEscrituras) {
    if (!AnticipaLecturas() || consultas.isEmpty())
        return;
    // A connection that cannot be opened now is reported by the statement that needs it, in its turn.
    try {
        asegurarConexion();
    } catch (const VbError&) {
        return;
    }
    if (!m_pg)
        return;
    std::vector<QByteArray> textos;
    textos.reserve(static_cast<size_t>(consultas.size()));
    for (const QString& c : consultas)
        textos.push_back(textoParaMotor(c).toUtf8());
    m_pg->anticipar(consultas, textos, resistenEscrituras);
}

void clBase::OlvidarLecturas() {
    if (m_pg)
        m_pg->olvidarAnticipadas();
}

bool clBase::VerLecturaAnticipada(qsizetype i, tarvix::Recordset& rs) {
    if (!m_pg || i < 0)
        return false;
    const ResultadoPg* r = m_pg->ver(static_cast<size_t>(i));
    if (!r || !r->ok)
        return false;
    rs = tarvix::Recordset(r->columnas, r->filas);
    return true;
}

void clBase::EjecutarEnCola(const QString& sql, int marca, bool exigirFila) {
    if (m_transaccion != Transaccion::Ninguna && m_pg && Conectado()) {
        try {
            asegurarConexion();
        } catch (const VbError& e) {
            throw FallaEnCola(e.origen(), e.descripcion(), sql, marca, false);
        }
    }
    if (!m_pg || !Conectado()) {
        qint64 n = 0;
        try {
            n = EjecutarDirecto(sql);
        } catch (const VbError& e) {
            throw FallaEnCola(e.origen(), e.descripcion(), sql, marca, false);
        }
        if (exigirFila && n == 0)
            throw FallaEnCola(origenDe(m_nombre), QString(), sql, marca, true);
        return;
    }
    verificarNulo(sql, m_nombre);
    if (m_pg->hayAnticipadas() && !m_pg->anticipadasResisten())
        m_pg->olvidarAnticipadas();
    lanzarFallaCola(m_pg->encolar(textoParaMotor(sql).toUtf8(), marca, exigirFila));
}

void clBase::ConfirmarCola() {
    if (m_pg)
        lanzarFallaCola(m_pg->confirmar());
}

FallaEnCola::FallaEnCola(QString origen, QString descripcion, QString sentencia, int marca, bool sinFilas)
    : VbError(tarvix::errores::BaseDeDatos, std::move(origen), std::move(descripcion)),
      m_sentencia(std::move(sentencia)), m_marca(marca), m_sinFilas(sinFilas) {}

} // namespace Velno
