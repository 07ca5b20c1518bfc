// The lotes, the transactions and the queues of statements sent ahead of a connection (clBase).
#include "components/clbase.h"

#include "components/clbase_comun.h"
#include "components/motorpostgres.h"
#include "components/motorsqlite.h"
#include "components/vb.h"
#include "components/vberror.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using tarvix::VbError;

namespace Velno {

using namespace detalle;

void clBase::ComenzarTransaccion(const QString& cerrojo, const QString& ocupado) {
    if (m_transaccion != Transaccion::Ninguna)
        return;
    m_confirmacionIncierta = false;
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
    VigilanciaPg vigilancia(m_pg.get());
    const bool abierta = db.transaction();
    vigilancia.terminar();
    if (m_pg && m_pg->sinRespuesta()) {
        m_transaccion = Transaccion::Ninguna;
        throw VbError(tarvix::errores::BaseDeDatos, origenDe(m_nombre), sinRespuesta());
    }
    if (!abierta) {
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
    VigilanciaPg vigilancia(m_pg.get());
    const bool tomado = q.exec(QStringLiteral("select pg_advisory_xact_lock(hashtextextended(%1, 0))")
                                   .arg(tarvix::vb::SqlTexto(cerrojo.toCaseFolded())));
    vigilancia.terminar();
    if (tomado)
        return;
    const QSqlError e = q.lastError();
    if (m_pg && m_pg->sinRespuesta())
        fallar(e, QString());
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
            VigilanciaPg vigilancia(m_pg.get());
            const bool confirmada = db.commit();
            vigilancia.terminar();
            if (!confirmada) {
                // The commit went out: with the connection lost before its answer, the server may
                // have committed or not.
                m_confirmacionIncierta = m_pg && m_pg->conexionPerdida();
                if (m_pg && m_pg->sinRespuesta())
                    throw VbError(
                        tarvix::errores::BaseDeDatos, origenDe(m_nombre),
                        QStringLiteral("El servidor de base de datos de la %1 no respondió a la "
                                       "confirmación en %2 segundos: se dio por perdida la conexión")
                            .arg(m_nombre)
                            .arg((m_pg->limiteEspera() + 999) / 1000));
                fallar(db.lastError(), QString());
            }
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
            VigilanciaPg vigilancia(m_pg.get());
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
