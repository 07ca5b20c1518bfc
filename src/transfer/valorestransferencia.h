#pragma once

#include "components/estadoasistente.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/servicios.h"
#include "components/vb.h"

#include <QString>
#include <array>

namespace Velno {
class clBase;
}

namespace tarvix::transferencia {

// Entity of the customs-system tables the transfer writes.
inline const QString kEntidad = QStringLiteral("INTERNOS");

// The connection of the entity, asked for anew on every call (the statement set through one result
// is the one the next result runs).
Velno::clBase& aduana(const Servicios& srv);

// The interno with its quotes doubled, ready to close a condition "... = '".
QString internoSql(const QString& interno);

// One interno's transfer is one transaction of the customs connection: the interno and the catalog
// entries of its lines are written whole or not at all. It opens with the first statement and takes
// the interno's key then, so that a second station transferring the same interno waits for this
// one (and is told, when it waits too long); it is undone when the object goes unconfirmed.
class TransaccionTransferencia {
public:
    explicit TransaccionTransferencia(Servicios& srv, EstadoAsistente& estado);
    ~TransaccionTransferencia();
    TransaccionTransferencia(const TransaccionTransferencia&) = delete;
    TransaccionTransferencia& operator=(const TransaccionTransferencia&) = delete;
    // Commits; when the commit fails, everything is undone and the failure raised.
    void confirmar();
    // Undoes what is not confirmed: the sentence of deshacerTransferencia when anything was.
    QString deshacer();

private:
    Servicios& m_srv;
    EstadoAsistente& m_estado;
    bool m_fallida = false;
};

// Undoes the transfer's transaction when one is open (or about to open). Returns the sentence, to
// end a failure's report, that tells that the customs database is as it was; empty when there was
// no transaction.
QString deshacerTransferencia(Servicios& srv, EstadoAsistente& estado);

// Serialises the catalog updates of the stations for the rest of the transfer's transaction: two
// stations adding the same article take turns, and the second finds the first one's entry.
void bloquearCatalogo(Servicios& srv, const QString& catalogo);

// The ART columns the transfer reads.
enum class Col {
    ARTORD,
    ARTNRO,
    ARTDSC,
    ARTDSCMARIA,
    ARTDSCMARIA2,
    ARTDSCMARIA3,
    ARTUNI,
    ARTTOT,
    ARTKGU,
    PROCEDENCIA,
    OTROS,
    CODIGOCIP,
    PRCNCM,
    PRCSUF,
    PRCLAP,
    PRCDUN,
    PRCCAN,
    PRCEUN,
    PRCECA,
    PRCSUN,
    PRCSCA,
    PRCESM,
    PRCORI,
    Cantidad
};

// The values of the current row of an ART recordset, as the statements write them. The columns
// are looked up once, when the reader is made; a missing one raises error 3265 then.
class LineaArt {
public:
    LineaArt(const Servicios& srv, const EstadoAsistente& estado, const Recordset& rs);

    // The value as text; Null gives empty text.
    QString texto(Col c) const;
    // A text value between quotes, its own quotes doubled.
    QString citado(Col c) const { return vb::SqlTexto(texto(c)); }
    // A number as stored: its text in the user's locale with every comma turned into a point. A
    // value that is empty or no number (a text typed in the editor) would break the statement:
    // it raises error 13 with a message that names the article and the value instead.
    QString guardado(Col c) const;
    // The digit 0 followed by the stored number: an empty value gives 0, 12,5 gives 012.5.
    QString conCero(Col c) const;
    // The numeric value: 0 when it is not a number.
    double numero(Col c) const;

    // The declared unit, trimmed, is kilograms ("01"): the unit price is then total over quantity.
    bool unidadEnKilos() const { return vb::Trim(texto(Col::PRCDUN)) == u"01"; }
    // Total divided by quantity, "00.0000", point-decimal. Raises error 11 when the quantity is 0.
    QString precioDesdeTotal() const;

    const Recordset& rs() const { return m_rs; }

private:
    const Servicios& m_srv;
    const EstadoAsistente& m_estado;
    const Recordset& m_rs;
    std::array<int, static_cast<size_t>(Col::Cantidad)> m_indice{};
};

} // namespace tarvix::transferencia
