#include "components/motorpostgres.h"

#include "components/clientepg.h"
#include "components/latido.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <libpq-fe.h>
#include <poll.h>
#include <type_traits>

namespace Velno {

namespace {

bool esFatal(const PGresult* r) {
    const char* gravedad = pq().PQresultErrorField(r, PG_DIAG_SEVERITY_NONLOCALIZED);
    return gravedad && (std::strcmp(gravedad, "FATAL") == 0 || std::strcmp(gravedad, "PANIC") == 0);
}

} // namespace

bool MotorPostgres::disponible() {
    return cargarLibpq() != nullptr;
}

MotorPostgres::MotorPostgres(pg_conn* conexion) : m_conexion(conexion) {}

MotorPostgres::~MotorPostgres() {
    if (conexionPerdida())
        return;
    // Writes already sent are not dropped on the way out.
    if (m_ventanaAbierta)
        confirmar();
    olvidarAnticipadas();
    vaciar();
}

bool MotorPostgres::conexionPerdida() const {
    return m_perdida || pq().PQstatus(m_conexion) == CONNECTION_BAD;
}

QString MotorPostgres::errorConexion() const {
    if (!m_errorPerdida.isEmpty())
        return m_errorPerdida;
    return QString::fromUtf8(pq().PQerrorMessage(m_conexion)).trimmed();
}

void MotorPostgres::darPorSinRespuesta() {
    m_sinRespuesta = true;
    anotarPerdida(QStringLiteral("no answer from the server"));
}

int MotorPostgres::socket() const {
    return pq().PQsocket(m_conexion);
}

bool MotorPostgres::viva() {
    if (conexionPerdida())
        return false;
    if (m_enPipeline || !m_enCamino.empty())
        return true;
    // Whatever came while idle is read: notices (the server's last words among them, taken as a
    // notice) and then the end of the session, which leaves the connection bad.
    for (int i = 0; i < 8; ++i) {
        pollfd p{pq().PQsocket(m_conexion), POLLIN, 0};
        if (p.fd < 0)
            return false;
        if (poll(&p, 1, 0) <= 0)
            return true;
        if (pq().PQconsumeInput(m_conexion) != 1 || pq().PQstatus(m_conexion) == CONNECTION_BAD)
            return false;
        pq().PQisBusy(m_conexion);
    }
    return pq().PQstatus(m_conexion) != CONNECTION_BAD;
}

bool MotorPostgres::entrarPipeline() {
    if (m_perdida)
        return false;
    if (m_enPipeline)
        return true;
    if (pq().PQsetnonblocking(m_conexion, 1) != 0 || pq().PQenterPipelineMode(m_conexion) != 1) {
        anotarPerdida(errorConexion());
        return false;
    }
    m_enPipeline = true;
    return true;
}

bool MotorPostgres::enviar(const QByteArray& texto, Tipo tipo, size_t indice) {
    if (!entrarPipeline())
        return false;
    if (pq().PQsendQueryParams(m_conexion, texto.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0) !=
        1) {
        anotarPerdida(errorConexion());
        return false;
    }
    m_enCamino.push_back({tipo, indice});
    return true;
}

bool MotorPostgres::enviarSync() {
    if (!pedir(pq().PQpipelineSync))
        return false;
    m_enCamino.push_back({Tipo::Sync, 0});
    return empujar();
}

bool MotorPostgres::enviarFlush() {
    return pedir(pq().PQsendFlushRequest) && empujar();
}

// A message of the pipeline that is no statement: a sync, or a request to send what is answered.
bool MotorPostgres::pedir(int (*mensaje)(PGconn*)) {
    if (!entrarPipeline())
        return false;
    if (mensaje(m_conexion) != 1) {
        anotarPerdida(errorConexion());
        return false;
    }
    return true;
}

// Sends what libpq holds; while the server cannot take more, what it answers is read meanwhile so
// that neither side waits on the other.
bool MotorPostgres::empujar() {
    for (;;) {
        const int r = pq().PQflush(m_conexion);
        if (r == 0)
            return true;
        if (r < 0) {
            anotarPerdida(errorConexion());
            return false;
        }
        short ocurridos = 0;
        if (!esperarSocket(POLLIN | POLLOUT, ocurridos))
            return false;
        if ((ocurridos & (POLLIN | POLLERR | POLLHUP)) && pq().PQconsumeInput(m_conexion) != 1) {
            anotarPerdida(errorConexion());
            return false;
        }
    }
}

bool MotorPostgres::esperarDatos() {
    while (pq().PQisBusy(m_conexion)) {
        if (!empujar())
            return false;
        short ocurridos = 0;
        if (!esperarSocket(POLLIN, ocurridos))
            return false;
        if (pq().PQconsumeInput(m_conexion) != 1) {
            anotarPerdida(errorConexion());
            return false;
        }
    }
    return true;
}

bool MotorPostgres::esperarSocket(short eventos, short& ocurridos) {
    pollfd p{pq().PQsocket(m_conexion), eventos, 0};
    // The wait goes in short turns with a beat between them, so that a window showing the work
    // repaints while the server (or a slow link) answers.
    constexpr std::chrono::milliseconds kTurno{25};
    const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_limiteEspera);
    int r = 0;
    for (;;) {
        auto turno = kTurno;
        if (m_limiteEspera > 0) {
            const auto falta =
                std::chrono::ceil<std::chrono::milliseconds>(fin - std::chrono::steady_clock::now());
            turno = std::clamp(falta, std::chrono::milliseconds(0), kTurno);
        }
        r = poll(&p, 1, static_cast<int>(turno.count()));
        if (r != 0 || (m_limiteEspera > 0 && std::chrono::steady_clock::now() >= fin))
            break;
        tarvix::latido::latir();
    }
    if (r < 0 && errno != EINTR) {
        anotarPerdida(QStringLiteral("no connection to the server"));
        return false;
    }
    if (r == 0) {
        m_sinRespuesta = true;
        anotarPerdida(QStringLiteral("no answer from the server"));
        return false;
    }
    ocurridos = r > 0 ? p.revents : 0;
    return true;
}

ResultadoPg MotorPostgres::convertir(pg_result* r) const {
    ResultadoPg out;
    const ExecStatusType estado = pq().PQresultStatus(r);
    if (estado == PGRES_TUPLES_OK || estado == PGRES_SINGLE_TUPLE) {
        const int nc = pq().PQnfields(r);
        const int nf = pq().PQntuples(r);
        out.columnas.reserve(nc);
        std::vector<Oid> tipos(static_cast<size_t>(nc));
        std::vector<QMetaType> metas(static_cast<size_t>(nc));
        for (int c = 0; c < nc; ++c) {
            out.columnas << QString::fromUtf8(pq().PQfname(r, c));
            tipos[static_cast<size_t>(c)] = pq().PQftype(r, c);
            metas[static_cast<size_t>(c)] = tipoDe(tipos[static_cast<size_t>(c)]);
        }
        out.filas.reserve(static_cast<size_t>(nf));
        for (int f = 0; f < nf; ++f) {
            std::vector<QVariant> fila;
            fila.reserve(static_cast<size_t>(nc));
            for (int c = 0; c < nc; ++c) {
                const auto i = static_cast<size_t>(c);
                if (pq().PQgetisnull(r, f, c))
                    fila.emplace_back(metas[i], nullptr);
                else
                    fila.push_back(
                        valorDe(pq().PQgetvalue(r, f, c), pq().PQgetlength(r, f, c), tipos[i], metas[i]));
            }
            out.filas.push_back(std::move(fila));
        }
        return out;
    }
    if (estado == PGRES_COMMAND_OK || estado == PGRES_EMPTY_QUERY) {
        out.afectadas = std::atoll(pq().PQcmdTuples(r));
        return out;
    }
    out.ok = false;
    if (estado == PGRES_PIPELINE_ABORTED) {
        out.error = QStringLiteral("La instrucción no se ejecutó: falló una anterior del mismo envío");
        return out;
    }
    // Worded as the Qt driver words it, so that a failure reads the same either way: the server's
    // message, the SQLSTATE code and the driver's own text.
    out.error = QString::fromUtf8(pq().PQresultErrorMessage(r));
    const char* codigo = pq().PQresultErrorField(r, PG_DIAG_SQLSTATE);
    if (codigo && *codigo)
        out.error += u'(' + QString::fromLatin1(codigo) + u')';
    out.error = out.error.trimmed() + QStringLiteral(" QPSQL: Unable to create query");
    return out;
}

void MotorPostgres::anotarPerdida(const QString& error) {
    m_perdida = true;
    if (m_errorPerdida.isEmpty())
        m_errorPerdida = error.isEmpty() ? QStringLiteral("no connection to the server") : error;
    ResultadoPg falla;
    falla.ok = false;
    falla.error = m_errorPerdida;
    for (const Enviada& e : m_enCamino) {
        if (e.tipo == Tipo::Lectura) {
            if (e.indice >= m_primeraAnticipada && e.indice - m_primeraAnticipada < m_anticipadas.size()) {
                Anticipada& a = m_anticipadas[e.indice - m_primeraAnticipada];
                a.resultado = falla;
                a.recibida = true;
            }
        } else if (e.tipo == Tipo::Escritura && e.indice < m_ventana.size()) {
            m_ventana[e.indice].resultado = falla;
            m_ventana[e.indice].recibida = true;
        }
    }
    m_enCamino.clear();
    m_enviadasLectura = 0;
    // Announced reads not sent yet fail the same way when they are taken.
    for (Anticipada& a : m_anticipadas) {
        if (!a.recibida) {
            a.enviada = true;
            a.recibida = true;
            a.resultado = falla;
        }
    }
}

bool MotorPostgres::leerUna() {
    if (m_enCamino.empty())
        return true;
    if (m_perdida)
        return false;
    const Enviada e = m_enCamino.front();
    if (!esperarDatos())
        return false;
    PGresult* r = pq().PQgetResult(m_conexion);
    if (!r) {
        anotarPerdida(errorConexion());
        return false;
    }
    if (e.tipo == Tipo::Sync) {
        const bool ok = pq().PQresultStatus(r) == PGRES_PIPELINE_SYNC;
        pq().PQclear(r);
        m_enCamino.pop_front();
        if (!ok)
            anotarPerdida(errorConexion());
        return ok;
    }
    const bool saltada = pq().PQresultStatus(r) == PGRES_PIPELINE_ABORTED;
    bool fatal = esFatal(r);
    ResultadoPg res = convertir(r);
    pq().PQclear(r);
    // The rest of this statement's answers, up to their end. The rows come one result each when
    // the connection was left in single-row mode by the Qt driver's last query.
    for (;;) {
        if (!esperarDatos())
            return false;
        PGresult* mas = pq().PQgetResult(m_conexion);
        if (!mas)
            break;
        const ExecStatusType estado = pq().PQresultStatus(mas);
        if (estado == PGRES_PIPELINE_SYNC) {
            pq().PQclear(mas);
            anotarPerdida(errorConexion());
            return false;
        }
        fatal = fatal || esFatal(mas);
        ResultadoPg parte = convertir(mas);
        pq().PQclear(mas);
        if (!parte.ok) {
            res = std::move(parte);
        } else if (res.ok) {
            if (res.columnas.isEmpty())
                res.columnas = std::move(parte.columnas);
            for (auto& f : parte.filas)
                res.filas.push_back(std::move(f));
            res.afectadas = std::max(res.afectadas, parte.afectadas);
        }
    }
    // A fatal error ends the server's session: the connection is lost even if libpq has not
    // read its end yet.
    if (!res.ok && (fatal || pq().PQstatus(m_conexion) == CONNECTION_BAD)) {
        anotarPerdida(res.error);
        return false;
    }
    m_enCamino.pop_front();
    switch (e.tipo) {
    case Tipo::Lectura:
        if (m_enviadasLectura > 0)
            --m_enviadasLectura;
        if (e.indice >= m_primeraAnticipada && e.indice - m_primeraAnticipada < m_anticipadas.size()) {
            Anticipada& a = m_anticipadas[e.indice - m_primeraAnticipada];
            if (saltada) {
                a.enviada = false; // skipped after another read of its batch failed: sent again
            } else {
                a.resultado = std::move(res);
                a.recibida = true;
            }
        }
        break;
    case Tipo::Escritura:
        if (e.indice < m_ventana.size()) {
            m_ventana[e.indice].resultado = std::move(res);
            m_ventana[e.indice].recibida = true;
        }
        break;
    case Tipo::Control:
        // BEGIN, COMMIT or ROLLBACK refused: kept for the window that sent it.
        if (!res.ok && m_falloControl.isEmpty())
            m_falloControl = res.error;
        break;
    case Tipo::Sync:
        break;
    }
    return true;
}

void MotorPostgres::leerHasta(size_t restantes) {
    while (m_enCamino.size() > restantes && !m_perdida) {
        if (!leerUna())
            return;
    }
}

// Keeps announced reads on their way: when fewer than half of anticipadas() are, the next ones go
// in one batch with a single sync (one message to the server and one answer back for the lot).
// A read that fails makes the server skip the rest of its batch: those are sent again, so that
// each read ends as it would alone.
void MotorPostgres::completarLecturas() {
    if (m_ventanaAbierta || m_perdida || m_enviadasLectura >= anticipadas() / 2)
        return;
    bool envio = false;
    for (size_t i = 0; i < m_anticipadas.size() && m_enviadasLectura < anticipadas(); ++i) {
        Anticipada& a = m_anticipadas[i];
        if (a.enviada)
            continue;
        if (!enviar(a.texto, Tipo::Lectura, m_primeraAnticipada + i))
            return;
        a.enviada = true;
        ++m_enviadasLectura;
        envio = true;
    }
    if (envio)
        enviarSync();
}

void MotorPostgres::anticipar(const QStringList& claves, const std::vector<QByteArray>& textos,
                              bool resistenEscrituras) {
    if (m_anticipadas.empty())
        m_resisten = resistenEscrituras;
    else
        m_resisten = m_resisten && resistenEscrituras;
    for (size_t i = 0; i < textos.size(); ++i)
        m_anticipadas.push_back(Anticipada{claves[static_cast<qsizetype>(i)], textos[i], false, false, {}});
    completarLecturas();
}

void MotorPostgres::olvidarAnticipadas() {
    m_primeraAnticipada += m_anticipadas.size();
    m_anticipadas.clear();
    m_resisten = false;
}

bool MotorPostgres::esProxima(const QString& clave) const {
    return !m_anticipadas.empty() && m_anticipadas.front().clave == clave;
}

bool MotorPostgres::proximaEnviada() const {
    return !m_anticipadas.empty() && m_anticipadas.front().enviada;
}

const ResultadoPg* MotorPostgres::ver(size_t i) {
    if (i >= m_anticipadas.size())
        return nullptr;
    while (!m_anticipadas[i].recibida && !m_perdida) {
        if (!m_anticipadas[i].enviada) {
            if (m_ventanaAbierta)
                return nullptr;
            const size_t antes = m_enCamino.size();
            completarLecturas();
            // As many on their way as allowed: read the oldest answer to make room.
            if (m_enCamino.size() == antes && !leerUna())
                break;
        } else if (!leerUna()) {
            break;
        }
    }
    return &m_anticipadas[i].resultado;
}

ResultadoPg MotorPostgres::tomar() {
    ver(0);
    ResultadoPg r = std::move(m_anticipadas.front().resultado);
    if (!m_anticipadas.front().recibida) {
        r = ResultadoPg{};
        r.ok = false;
        r.error = errorConexion();
    }
    m_anticipadas.pop_front();
    ++m_primeraAnticipada;
    if (m_anticipadas.empty())
        m_resisten = false;
    completarLecturas();
    return r;
}

std::optional<FallaColaPg> MotorPostgres::encolar(const QByteArray& texto, int marca, bool exigirFila) {
    if (!m_ventanaAbierta) {
        m_ventana.clear();
        m_falloControl.clear();
        if (!m_transaccion && !enviar(QByteArrayLiteral("BEGIN"), Tipo::Control, 0)) {
            return FallaColaPg{texto, marca, false, errorConexion()};
        }
        m_ventanaAbierta = true;
    }
    m_ventana.push_back(Escritura{texto, marca, exigirFila, false, {}});
    if (!enviar(texto, Tipo::Escritura, m_ventana.size() - 1)) {
        std::optional<FallaColaPg> f = confirmar();
        if (f)
            return f;
        return FallaColaPg{texto, marca, false, errorConexion()};
    }
    if (m_ventana.size() >= ventana())
        return confirmar();
    return std::nullopt;
}

std::optional<FallaColaPg> MotorPostgres::confirmar() {
    if (!m_ventanaAbierta)
        return std::nullopt;
    std::optional<FallaColaPg> primera;
    for (;;) {
        // The answers of the window, BEGIN and every write (no read is sent while a window is
        // open, so whatever is before them is answered already or on its way).
        if (enviarFlush())
            leerHasta(0);
        size_t falla = m_ventana.size();
        bool sinFilas = false;
        QString error;
        if (!m_falloControl.isEmpty()) {
            falla = 0;
            error = m_falloControl;
        }
        for (size_t i = 0; i < m_ventana.size() && falla == m_ventana.size(); ++i) {
            const Escritura& w = m_ventana[i];
            if (!w.recibida || !w.resultado.ok) {
                falla = i;
                error = w.recibida ? w.resultado.error : errorConexion();
            } else if (w.exigirFila && w.resultado.afectadas == 0) {
                falla = i;
                sinFilas = true;
            }
        }
        if (m_perdida) {
            // Nothing of this window reached the database: the first write not confirmed fails.
            m_ventanaAbierta = false;
            if (m_ventana.empty())
                return primera;
            if (falla == m_ventana.size())
                falla = 0;
            const Escritura& w = m_ventana[falla];
            FallaColaPg f{w.texto, w.marca, false, error.isEmpty() ? errorConexion() : error};
            m_ventana.clear();
            return primera ? primera : std::optional<FallaColaPg>(f);
        }
        if (falla == m_ventana.size() && m_transaccion) {
            m_ventanaAbierta = false;
            m_ventana.clear();
            completarLecturas();
            return primera;
        }
        if (falla == m_ventana.size()) {
            m_falloControl.clear();
            enviar(QByteArrayLiteral("COMMIT"), Tipo::Control, 0);
            enviarSync();
            leerHasta(0);
            m_ventanaAbierta = false;
            if (m_perdida || !m_falloControl.isEmpty()) {
                const Escritura& w = m_ventana.back();
                FallaColaPg f{w.texto, w.marca, false,
                              m_falloControl.isEmpty() ? errorConexion() : m_falloControl};
                m_ventana.clear();
                return primera ? primera : std::optional<FallaColaPg>(f);
            }
            m_ventana.clear();
            completarLecturas();
            return primera;
        }
        // A failure: the window is undone and what came before the failed write is sent again.
        // (When a write sent again fails, that one is reported: the database stopped there.)
        const Escritura& w = m_ventana[falla];
        primera = FallaColaPg{w.texto, w.marca, sinFilas, error};
        if (m_transaccion) {
            // The caller's transaction is undone whole: nothing is sent again.
            enviarSync();
            leerHasta(0);
            m_ventana.clear();
            m_falloControl.clear();
            m_ventanaAbierta = false;
            return primera;
        }
        enviarSync();
        enviar(QByteArrayLiteral("ROLLBACK"), Tipo::Control, 0);
        enviarSync();
        leerHasta(0);
        std::vector<Escritura> antes(m_ventana.begin(), m_ventana.begin() + static_cast<qsizetype>(falla));
        m_ventana.clear();
        m_falloControl.clear();
        m_ventanaAbierta = false;
        if (antes.empty() || m_perdida) {
            completarLecturas();
            return primera;
        }
        enviar(QByteArrayLiteral("BEGIN"), Tipo::Control, 0);
        m_ventanaAbierta = true;
        for (Escritura& a : antes) {
            a.recibida = false;
            a.resultado = {};
            m_ventana.push_back(std::move(a));
            enviar(m_ventana.back().texto, Tipo::Escritura, m_ventana.size() - 1);
        }
    }
}

void MotorPostgres::vaciar() {
    if (!m_enPipeline)
        return;
    if (!m_perdida) {
        if (!m_enCamino.empty() && m_enCamino.back().tipo != Tipo::Sync)
            enviarSync();
        leerHasta(0);
    }
    if (!m_perdida && pq().PQexitPipelineMode(m_conexion) == 1) {
        pq().PQsetnonblocking(m_conexion, 0);
        m_enPipeline = false;
    }
}

} // namespace Velno
