#pragma once

#include "pipeline/proceso.h"
#include "programa.h"

#include <QMap>
#include <QStringList>
#include <memory>
#include <vector>

namespace Velno {
class clBase;
}

namespace robustez {

// The grid of step 2: row 0 titles, row 1 the field labels, then the invoice lines.
class Grilla : public tarvix::GrillaDatos {
public:
    explicit Grilla(const QStringList& etiquetas);
    void agregar(const QStringList& fila) { m_filas.push_back(fila); }
    int Rows() const override { return static_cast<int>(m_filas.size()); }
    int Cols() const override { return static_cast<int>(m_filas[1].size()); }
    QString TextMatrix(int fila, int columna) const override;

private:
    std::vector<QStringList> m_filas;
};

// The program started headless on a fresh data folder, with the settings INTCAT "1" and INTDUN
// "07". The country-relation window is played by its own logic: it shows the origin text it was
// given, keeps the first country of the list and the goods state "2", and saves with F11. A window
// asked for again and again for the same text (a relation that cannot be saved) stops the run with
// an error instead of looping.
class Programa : public prueba::Programa {
public:
    Programa();

    QString rutaTrabajo() const;
    QString rutaAduana() const;
    int ventanasPais = 0;

    // Creates the interno and makes it the current one, as step 1 does.
    void elegirInterno(const QString& interno);
    // A column of an article line of the current interno, as text (Null gives empty text).
    QString columna(int artord, const QString& nombre);

    // The tables of both databases with their row counts ("ART", "aduana.subitems" ...): a statement
    // that ran something else changes a count or loses a table.
    QMap<QString, qint64> recuento();
    // The same for one database, its tables named with `prefijo` in front.
    static QMap<QString, qint64> recuento(Velno::clBase& base, const QString& prefijo);

private:
    void relacionPais();
    QString m_ultimoPais;
    int m_repeticiones = 0;
};

// The payloads that try to break out of a text literal, or to be read as a pattern, or that no
// engine keeps in a statement text.
struct Carga {
    const char* nombre;
    QString texto;
};
std::vector<Carga> cargas();

// The text as the databases keep it: a NUL character, which no statement text can carry, becomes a
// blank.
QString almacenado(const QString& s);
// Quotes to blanks and blanks trimmed: how invoice texts are cleaned.
QString limpio(const QString& s);
// Blanks (only blanks) trimmed at both ends.
QString sinBlancos(const QString& s);

} // namespace robustez
