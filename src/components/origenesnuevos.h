#pragma once

#include <QString>

namespace tarvix {

// A country of table PAIS.
struct PaisDisponible {
    QString id;
    QString descripcion;
};

// An origin or provenance text of the invoice without a relation in ORG, with the country (its id
// in PAIS) proposed or chosen for it, empty when none, and the goods state.
struct OrigenNuevo {
    QString texto;
    QString pais;
    QString esm = QStringLiteral("2");
    int fila = 0;    // the first worksheet row it is on
    QString columna; // and its column letter
};

} // namespace tarvix
