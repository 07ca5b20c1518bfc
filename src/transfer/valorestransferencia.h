#pragma once

#include "components/globales.h"
#include "components/interaccion.h"
#include "components/recordset.h"
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
Velno::clBase& aduana(Globales& g);

// The progress seam of the run, or one that shows nothing.
Progreso& progreso(Globales& g);

// The interno with its quotes doubled, ready to close a condition "... = '".
QString internoSql(const Globales& g);

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
    LineaArt(const Globales& g, const Recordset& rs);

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
    const Globales& m_g;
    const Recordset& m_rs;
    std::array<int, static_cast<size_t>(Col::Cantidad)> m_indice{};
};

} // namespace tarvix::transferencia
