#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace tarvix {

// The rows of one query, read at once: fields by name without regard to case, an end-of-file test,
// MoveNext, RecordCount and the 1-based AbsolutePosition of the current row.
class Recordset {
public:
    Recordset() = default;
    Recordset(QStringList columnas, std::vector<std::vector<QVariant>> filas);

    bool EOF_() const { return m_actual >= m_filas.size(); }
    bool Fin() const { return EOF_(); }
    void MoveNext() {
        if (m_actual < m_filas.size())
            ++m_actual;
    }
    void MoveFirst() { m_actual = 0; }
    int RecordCount() const { return static_cast<int>(m_filas.size()); }
    // 1-based position of the current row; -3 (adPosEOF) past the end, as the recordset reports it.
    int AbsolutePosition() const { return EOF_() ? -3 : static_cast<int>(m_actual) + 1; }

    // The value of a column of the current row; Null when the row or the column does not exist
    // would hide faults, so an unknown column raises error 3265 and reading past the end 3021.
    QVariant Fields(const QString& nombre) const;
    QVariant Fields(int indice) const;
    bool TieneCampo(const QString& nombre) const { return indiceDe(nombre) >= 0; }
    // The index Fields finds a column by; an unknown column raises error 3265 as Fields does.
    int Indice(const QString& nombre) const;
    const QStringList& Columnas() const { return m_columnas; }

private:
    int indiceDe(const QString& nombre) const; // first column of that name in any case; -1 if none

    QStringList m_columnas;
    std::vector<std::vector<QVariant>> m_filas;
    size_t m_actual = 0;
};

} // namespace tarvix
