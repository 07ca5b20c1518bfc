#include "components/clbase.h"

#include "components/clbase_comun.h"
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
#include <algorithm>
#include <climits>
#include <sqlite3.h>
#include <sys/stat.h>

using tarvix::VbError;

namespace Velno {

namespace {
QAtomicInt g_contador;
const QString kOrigen = QStringLiteral("Velno.clBase");
} // namespace

namespace detalle {

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

VigilanciaPg::VigilanciaPg(MotorPostgres* pg) : m_pg(pg) {
    if (m_pg && m_pg->limiteEspera() > 0 && !m_pg->conexionPerdida())
        m_turno.emplace(m_pg->socket(), m_pg->limiteEspera());
}

void VigilanciaPg::terminar() {
    if (m_turno && m_turno->vencido())
        m_pg->darPorSinRespuesta();
    m_turno.reset();
}

} // namespace detalle

using namespace detalle;

namespace {
// What the server adds to the limit of a statement before the wait for its answer is given up.
constexpr qint64 kMargenEspera = 5000;

// A time setting as the server shows it ("0", "250ms", "60s", "5min", "1h", "1d"), in milliseconds;
// -1 when it cannot be read.
qint64 milisegundosDeAjuste(const QString& texto) {
    qsizetype i = 0;
    while (i < texto.size() && texto[i].isDigit())
        ++i;
    bool ok = false;
    const qint64 n = texto.left(i).toLongLong(&ok);
    if (!ok)
        return -1;
    const QString unidad = texto.mid(i).trimmed();
    if (unidad.isEmpty() || unidad == u"ms")
        return n;
    if (unidad == u"s")
        return n * 1000;
    if (unidad == u"min")
        return n * 60000;
    if (unidad == u"h")
        return n * 3600000;
    if (unidad == u"d")
        return n * 86400000;
    return -1;
}

// Only the fields asked for, as the SQLite engine keeps them (columnasPedidas).
void quedarseCon(const QStringList& campos, QStringList& columnas,
                 std::vector<std::vector<QVariant>>& filas) {
    const std::vector<int> leidas = columnasPedidas(columnas, campos);
    QStringList elegidas;
    for (const int i : leidas)
        elegidas << columnas[i];
    for (std::vector<QVariant>& fila : filas) {
        std::vector<QVariant> quedan;
        quedan.reserve(leidas.size());
        for (const int i : leidas)
            quedan.push_back(std::move(fila[static_cast<size_t>(i)]));
        fila = std::move(quedan);
    }
    columnas = std::move(elegidas);
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
            const QVariant h = db.driver()->handle();
            if (h.isValid() &&
                (qstrcmp(h.typeName(), "pg_conn*") == 0 || qstrcmp(h.typeName(), "PGconn*") == 0)) {
                pg_conn* handle = *static_cast<pg_conn* const*>(h.constData());
                if (handle && MotorPostgres::disponible())
                    m_pg = std::make_unique<MotorPostgres>(handle);
            }
            ajustarServidor(db);
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
    // Still opening the connection: its answer is awaited as long as the connection itself.
    if (m_pg)
        m_pg->setLimiteEspera(static_cast<int>(
            (m_param.tiempoConexion < 0 ? 10 : m_param.tiempoConexion) * 1000 + kMargenEspera));
    QSqlQuery q(db);
    VigilanciaPg vigilancia(m_pg.get());
    // The server looks after the link too: a station gone silent (its link cut) is found by the
    // server's keepalives within about half a minute, and what it had open is undone.
    const bool ajustado = q.exec(QStringLiteral("select set_config('statement_timeout', %1, false), "
                                                "set_config('lock_timeout', %2, false), "
                                                "set_config('tcp_keepalives_idle', '15', false), "
                                                "set_config('tcp_keepalives_interval', '5', false), "
                                                "set_config('tcp_keepalives_count', '3', false)")
                                     .arg(valor("statement_timeout", m_param.tiempoSentencia, 60000),
                                          valor("lock_timeout", m_param.tiempoBloqueo, 30000)));
    vigilancia.terminar();
    if (!ajustado) {
        const QSqlError e = q.lastError();
        q = QSqlQuery();
        Desconectar();
        throw VbError(tarvix::errores::BaseDeDatos, kOrigen,
                      QStringLiteral("No se puede abrir la %1: %2")
                          .arg(m_nombre, describirErrorSql(e.text(), e.nativeErrorCode())));
    }
    // The statements sent ahead wait for the server at most the limit of one statement and a margin:
    // past it the server (or the link to it) is frozen, since a statement still running would have
    // been cancelled by the server by then.
    if (m_pg && q.next()) {
        const qint64 limite = milisegundosDeAjuste(q.value(0).toString());
        m_pg->setLimiteEspera(
            limite <= 0 ? 0 : static_cast<int>(std::min<qint64>(limite + kMargenEspera, INT_MAX)));
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

void clBase::fallar(const QSqlError& e, const QString& contexto) const {
    Q_UNUSED(contexto);
    if (m_pg && m_pg->sinRespuesta())
        throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), sinRespuesta());
    // A server that went away mid-statement may leave the driver without any text to give.
    if (e.text().trimmed().isEmpty() && m_param.driver != u"QSQLITE")
        throw VbError(
            tarvix::errores::BaseDeDatos, origenDe(m_nombre),
            QStringLiteral("Se perdió la conexión con el servidor de base de datos de la %1").arg(m_nombre));
    throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre),
                  describirErrorSql(e.text(), m_param.driver == u"QPSQL" ? e.nativeErrorCode() : QString()));
}

bool clBase::CrearRs(tarvix::Recordset& rs) {
    return crearRs(rs, nullptr);
}

bool clBase::CrearRs(tarvix::Recordset& rs, const QStringList& campos) {
    return crearRs(rs, &campos);
}

bool clBase::crearRs(tarvix::Recordset& rs, const QStringList* campos) {
    try {
        verificar(m_sql);
    } catch (const VbError&) {
        cerrarLoteTrasFalla(true);
        throw;
    }
    asegurarConexion();
    if (m_sqlite) {
        QStringList columnas;
        std::shared_ptr<tarvix::FilasCrudas> filas;
        QString error;
        if (!m_sqlite->consultar(textoParaMotor(m_sql), columnas, filas, error, campos)) {
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
            if (campos)
                quedarseCon(*campos, r.columnas, r.filas);
            rs = tarvix::Recordset(std::move(r.columnas), std::move(r.filas));
            return rs.RecordCount() > 0;
        }
        prepararSincronica(false);
    }
    QSqlDatabase db = base();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    VigilanciaPg vigilancia(m_pg.get());
    const bool hecha = q.exec(textoParaMotor(m_sql));
    vigilancia.terminar();
    if (!hecha)
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
    if (campos)
        quedarseCon(*campos, columnas, filas);
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
    VigilanciaPg vigilancia(m_pg.get());
    const bool hecha = q.exec(textoParaMotor(sql));
    vigilancia.terminar();
    if (!hecha)
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

namespace {
QString textoSinRespuesta(const QString& nombre, int milisegundos) {
    return QStringLiteral("El servidor de base de datos de la %1 no respondió en %2 segundos: se dio por "
                          "perdida la conexión y no se confirmó lo que estaba en curso")
        .arg(nombre)
        .arg((milisegundos + 999) / 1000);
}
} // namespace

QString clBase::sinRespuesta() const {
    return textoSinRespuesta(m_nombre, m_pg ? m_pg->limiteEspera() : 0);
}

// The description of a failure on a server. A lost connection whose text says nothing known (or
// nothing at all) is named as such; a lost connection is closed, so that the next use opens it again.
QString clBase::descripcionPg(const QString& error) {
    const bool perdida = m_pg && m_pg->conexionPerdida();
    const int sinRespuesta = m_pg && m_pg->sinRespuesta() ? m_pg->limiteEspera() : 0;
    if (perdida)
        Desconectar();
    if (sinRespuesta > 0)
        return textoSinRespuesta(m_nombre, sinRespuesta);
    const QString d = describirErrorSql(error);
    if (error.trimmed().isEmpty() || (perdida && d == error.trimmed()))
        return QStringLiteral("Se perdió la conexión con el servidor de base de datos de la %1")
            .arg(m_nombre);
    return d;
}

void clBase::fallarPg(const QString& error) {
    throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), descripcionPg(error));
}

} // namespace Velno
