#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <deque>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace Velno {

// What one statement gave on a PostgreSQL connection: the rows of a query (typed as the Qt driver
// types them), the rows a command affected, or the failure with the server's text.
struct ResultadoPg {
    bool ok = true;
    QString error;
    QStringList columnas;
    std::vector<std::vector<QVariant>> filas;
    qint64 afectadas = 0;
};

// A statement of the write queue that failed, or that affected no row when it had to.
struct FallaColaPg {
    QByteArray texto;
    int marca = 0;
    bool sinFilas = false;
    QString error;
};

// Sends statements to a PostgreSQL server without waiting for each answer (libpq's pipeline), on the
// connection the Qt driver opened. Each statement on a server costs a round trip, and with ten
// thousand lines the round trips are the whole time of a transfer. Two things go ahead:
//
// - Reads announced before they are needed (`anticipar`): they are sent a few hundred at a time,
//   each on its own, and their rows are kept until the caller asks for the same text, in the same
//   order. A read is only ever sent once.
// - Writes whose answer the caller does not need at once (`encolar`): they are sent in windows of
//   one transaction; when the window is confirmed every answer is looked at. If one failed (or
//   affected no row when it had to), the window is undone, the statements before the failed one
//   are sent again and confirmed, and the failure is reported: the database ends as it would have
//   ended had each statement been run and committed alone, stopping at the first failure. Inside a
//   transaction of the caller's (`setTransaccion`) the windows only gather the answers.
//
// Between uses the connection is left as the Qt driver expects it (blocking, out of the pipeline):
// `vaciar` reads whatever is still on its way and leaves the pipeline.
class MotorPostgres {
public:
    // False when the client library cannot be found in the process (then the Qt driver runs
    // everything, one statement at a time).
    static bool disponible();
    explicit MotorPostgres(pg_conn* conexion);
    ~MotorPostgres();
    MotorPostgres(const MotorPostgres&) = delete;
    MotorPostgres& operator=(const MotorPostgres&) = delete;

    // Writes per window (one transaction each) and reads kept on their way at once. Inside a
    // transaction of the caller's a failure is not sent again, so the windows (and the reads that
    // alternate with them) may be longer: each costs one round trip, which on a slow link is what a
    // transfer waits for.
    static constexpr int kVentana = 256;
    static constexpr int kAnticipadas = 256;
    static constexpr int kVentanaEnTransaccion = 1024;
    static constexpr int kAnticipadasEnTransaccion = 1024;
    size_t ventana() const { return static_cast<size_t>(m_transaccion ? kVentanaEnTransaccion : kVentana); }
    size_t anticipadas() const {
        return static_cast<size_t>(m_transaccion ? kAnticipadasEnTransaccion : kAnticipadas);
    }

    // ---- reads sent ahead
    // Adds reads (texts as the server takes them) to the end of the announced ones. With
    // `resistenEscrituras` the caller vouches that the writes it runs meanwhile do not change what
    // these reads return; otherwise any write forgets them.
    // `claves` are the texts the caller will ask for (before any translation), `textos` what is
    // sent, one for each.
    void anticipar(const QStringList& claves, const std::vector<QByteArray>& textos, bool resistenEscrituras);
    void olvidarAnticipadas();
    bool hayAnticipadas() const { return !m_anticipadas.empty(); }
    bool anticipadasResisten() const { return m_resisten; }
    // True when `clave` is the next announced read.
    bool esProxima(const QString& clave) const;
    bool proximaEnviada() const;
    // The result of the announced read `i` places from the next one (0: the next), waiting for
    // it; nullptr past the announced ones. It stays announced.
    const ResultadoPg* ver(size_t i);
    // Takes the next announced read (esProxima must be true).
    ResultadoPg tomar();

    // ---- queued writes
    // Sends a write in the open window (opening one when there is none). When the window is full
    // it is confirmed: a failure is returned.
    std::optional<FallaColaPg> encolar(const QByteArray& texto, int marca, bool exigirFila);
    // Confirms the open window, if any.
    std::optional<FallaColaPg> confirmar();
    bool ventanaAbierta() const { return m_ventanaAbierta; }

    // Reads everything still on its way (keeping the rows of announced reads) and leaves the
    // pipeline, so that the Qt driver may run a statement. A window must be confirmed before.
    void vaciar();
    // The server went away (the connection is broken): nothing more can be sent.
    bool conexionPerdida() const;
    // False when the server closed the connection while it was idle (it stopped or restarted): looked
    // at without a round trip, when nothing is on its way.
    bool viva();

    // The longest silence of the server while an answer is awaited, in milliseconds (0: no limit).
    // A server that does not answer (stopped, or a link that still takes the packets but passes
    // nothing on) is given up after it, as a lost connection: what was on its way is not confirmed.
    void setLimiteEspera(int milisegundos) { m_limiteEspera = milisegundos; }
    int limiteEspera() const { return m_limiteEspera; }
    // The server was given up for its silence.
    bool sinRespuesta() const { return m_sinRespuesta; }
    // A statement the Qt driver ran was given up for the server's silence (see Vigia): the
    // connection is lost.
    void darPorSinRespuesta();
    // The connection's socket, for the watch over the Qt driver's waits.
    int socket() const;

    // Inside a transaction of the caller's the windows of writes are not transactions of their own:
    // nothing is committed, and a failure is reported as it is (nothing is sent again); the caller
    // undoes the whole transaction.
    void setTransaccion(bool dentro) { m_transaccion = dentro; }

private:
    enum class Tipo { Lectura, Escritura, Control, Sync };
    struct Enviada {
        Tipo tipo;
        size_t indice = 0; // Lectura: serial of the announced read; Escritura: place in the window
    };
    struct Anticipada {
        QString clave;
        QByteArray texto;
        bool enviada = false;
        bool recibida = false;
        ResultadoPg resultado;
    };
    struct Escritura {
        QByteArray texto;
        int marca = 0;
        bool exigirFila = false;
        bool recibida = false;
        ResultadoPg resultado;
    };

    bool entrarPipeline();
    bool enviar(const QByteArray& texto, Tipo tipo, size_t indice);
    bool enviarSync();
    bool enviarFlush();
    bool pedir(int (*mensaje)(pg_conn*));
    bool empujar();
    bool esperarDatos();
    // poll() on the connection's socket within the limit of silence; false (and the connection
    // given up) when the server is gone or did not answer in time.
    bool esperarSocket(short eventos, short& ocurridos);
    // Reads the answer of the first statement on its way; false when the connection failed.
    bool leerUna();
    void leerHasta(size_t restantes);
    void completarLecturas();
    void anotarPerdida(const QString& error);
    ResultadoPg convertir(pg_result* r) const;
    QString errorConexion() const;
    std::optional<FallaColaPg> confirmarVentana(std::vector<Escritura>& ventana);

    pg_conn* m_conexion;
    bool m_enPipeline = false;
    bool m_transaccion = false;
    bool m_perdida = false;
    int m_limiteEspera = 0;
    bool m_sinRespuesta = false;
    QString m_errorPerdida;
    std::deque<Enviada> m_enCamino;

    std::deque<Anticipada> m_anticipadas;
    size_t m_primeraAnticipada = 0; // serial of m_anticipadas.front()
    size_t m_enviadasLectura = 0;   // announced reads sent and not yet answered
    bool m_resisten = false;

    std::vector<Escritura> m_ventana;
    bool m_ventanaAbierta = false;
    QString m_falloControl; // a BEGIN, COMMIT or ROLLBACK of the window refused
};

} // namespace Velno
