#pragma once

#include <QString>
#include <QVariant>

namespace Mesquel {

// Field values to safe text and numbers.
class Formatos {
public:
    // The value as text; empty text for Null. Numbers are written as the user's locale writes them.
    QString EsNull(const QVariant& valor) const;
    // The value as a number when it is numeric (a number, or a numeric text of the user's locale),
    // 0 otherwise.
    double EsNumero(const QVariant& valor) const;
    double EsNumero(const QString& texto) const { return EsNumero(QVariant(texto)); }
};

} // namespace Mesquel
