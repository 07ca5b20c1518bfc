#pragma once

#include "programa.h"

#include <QVariantMap>

namespace prueba {

// Test data: a column "locale" with the rows es_AR (decimal comma) and en_US.
void datosLocales();

// One run of the program on a fresh data folder, with the embedded customs database, interno
// "24001" chosen and catalog "1" set.
class Entorno : public Programa {
public:
    Entorno();

    // The one row of a query on the customs database, columns by lower-case name.
    QVariantMap filaAduana(const QString& sql);
    qint64 contarAduana(const QString& tabla, const QString& condicion = QString());

    // Adds a correct article line of the interno: every column of ART filled, `cambios` on top
    // (an invalid QVariant writes NULL). ARTORD follows the lines already added.
    void linea(const QVariantMap& cambios = {});
    // The values `linea` writes before the changes.
    static QVariantMap lineaBase();

    // The messages the user saw.
    QList<tarvix::InteraccionGuionada::Aviso> mensajes() const { return guion.mensajes(); }

private:
    int m_orden = 0;
};

} // namespace prueba
