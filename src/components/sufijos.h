#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

namespace Trelvan {
class Central;
}

namespace Sorvex {

// The suffix validator: checks a line's value-suffix text against the groups that table sufidos
// gives its tariff position, and that the position exists in table ncm. One instance per validating
// procedure; it remembers what it read, so a run asks the database once per chapter.
// Failures of the database or a missing connection raise a tarvix::VbError.
class Sufijos {
public:
    static constexpr qint16 Valido = 0;
    static constexpr qint16 PosicionInexistente = 1;
    static constexpr qint16 SufijosNoValidos = 2;

    // The data access manager whose "NCM" entity holds ncm and sufidos. Forgets what was read.
    void ConexionString(Trelvan::Central& central);

    // 0 valid, 1 position not in ncm (or not a 15-character dotted position), 2 suffixes not valid.
    qint16 ValidarSufijos(const QString& posicion, const QString& sufijos);

private:
    // A group of the position: a free-value group has no options. A position has a handful of
    // groups, looked up by their two-character code.
    struct Grupo {
        QString codigo;
        QStringList opciones;
        bool libre() const { return opciones.isEmpty(); }
    };
    struct Posicion {
        bool existe = false;
        std::vector<Grupo> grupos;
        qsizetype indiceDe(QStringView codigo) const;
    };
    // The ncm positions and the sufidos rows of one chapter (first two characters).
    struct Capitulo {
        QSet<QString> posiciones;                  // the three parts of each ncm row
        QHash<QString, QStringList> sufijosPorSim; // sim without trailing blanks -> codes
    };

    const Posicion& datosDe(const QString& posicion);
    const Capitulo& capitulo(const QString& clave);

    Trelvan::Central* m_central = nullptr;
    QHash<QString, Posicion> m_posiciones;
    QHash<QString, Capitulo> m_capitulos;
};

} // namespace Sorvex
