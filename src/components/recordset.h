#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstring>
#include <memory>
#include <vector>

namespace tarvix {

// The rows of a result as the engine gave them (whole numbers, decimals, UTF-8 texts, blobs, NULL),
// made into values only when read: a query of forty columns whose reader looks at ten converts ten.
// Each value reads as the Qt driver gives it: qlonglong, double, QString, QByteArray, and NULL as a
// null QString.
class FilasCrudas {
public:
    explicit FilasCrudas(int columnas) : m_columnas(columnas < 0 ? 0 : static_cast<size_t>(columnas)) {}
    FilasCrudas(const FilasCrudas&) = delete;
    FilasCrudas& operator=(const FilasCrudas&) = delete;

    // The cells of a row are added in the order of its columns.
    void agregarNulo() { nueva(Tipo::Nulo, 0).entero = 0; }
    void agregarEntero(qint64 v) { nueva(Tipo::Entero, 0).entero = v; }
    void agregarDecimal(double v) { nueva(Tipo::Decimal, 0).decimal = v; }
    void agregarTexto(const char* datos, int largo) {
        nueva(Tipo::Texto, largo).datos = guardar(datos, largo);
    }
    void agregarBinario(const char* datos, int largo) {
        nueva(Tipo::Binario, largo).datos = guardar(datos, largo);
    }
    // Closes the row whose cells were just added.
    void terminarFila() { ++m_filas; }

    size_t filas() const { return m_filas; }
    size_t columnas() const { return m_columnas; }

    // The last text a reader took from a column: a text equal to it (a unit, a state, a country
    // repeated line after line) is given as the same string instead of a new one.
    struct UltimoTexto {
        const char* datos = nullptr;
        int largo = -1;
        QString texto;
    };
    QVariant valor(size_t fila, size_t columna, UltimoTexto* ultimo = nullptr) const;

private:
    enum class Tipo : quint8 { Nulo, Entero, Decimal, Texto, Binario };
    struct Celda {
        Tipo tipo;
        int largo;
        union {
            qint64 entero;
            double decimal;
            const char* datos;
        };
    };
    // Cells and bytes go in blocks that never move once filled: a long result grows without being
    // copied again and again.
    static constexpr int kBitsTramo = 13; // cells per block: 8192
    static constexpr size_t kBloque = 256 * 1024;

    Celda& nueva(Tipo tipo, int largo) {
        if (m_celdasLibres == 0)
            nuevoTramo();
        --m_celdasLibres;
        Celda& c = *m_proximaCelda++;
        c.tipo = tipo;
        c.largo = largo;
        return c;
    }
    const char* guardar(const char* datos, int largo) {
        const auto n = static_cast<size_t>(largo);
        // Kept apart from null: an empty text (or blob) reads empty, a missing one null.
        if (n == 0)
            return datos ? "" : nullptr;
        if (n > m_libre)
            nuevoBloque(n);
        char* destino = m_siguiente;
        std::memcpy(destino, datos, n);
        m_siguiente += n;
        m_libre -= n;
        return destino;
    }
    void nuevoTramo();
    void nuevoBloque(size_t minimo);

    size_t m_columnas;
    size_t m_filas = 0;
    std::vector<std::unique_ptr<Celda[]>> m_tramos;
    Celda* m_proximaCelda = nullptr;
    size_t m_celdasLibres = 0;
    std::vector<std::unique_ptr<char[]>> m_bloques;
    char* m_siguiente = nullptr; // where the next value goes in the last block
    size_t m_libre = 0;          // bytes still free there
};

// The rows of one query, read at once: fields by name without regard to case, an end-of-file test,
// MoveNext, RecordCount and the 1-based AbsolutePosition of the current row. Reading a field
// remembers the last text of its column: one recordset is read by one thread at a time (copies of
// it may go to other threads).
class Recordset {
public:
    Recordset() = default;
    Recordset(QStringList columnas, std::vector<std::vector<QVariant>> filas);
    // Rows kept as the engine gave them, converted as they are read. Copies of the recordset share
    // them.
    Recordset(QStringList columnas, std::shared_ptr<const FilasCrudas> filas);

    bool EOF_() const { return m_actual >= m_cuenta; }
    bool Fin() const { return EOF_(); }
    void MoveNext() {
        if (m_actual < m_cuenta)
            ++m_actual;
    }
    void MoveFirst() { m_actual = 0; }
    int RecordCount() const { return static_cast<int>(m_cuenta); }
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
    std::shared_ptr<const FilasCrudas> m_crudas;             // instead of m_filas, when the rows are kept raw
    mutable std::vector<FilasCrudas::UltimoTexto> m_ultimos; // of m_crudas, one per column
    size_t m_cuenta = 0;                                     // rows
    size_t m_actual = 0;
};

} // namespace tarvix
