#pragma once

#include "pipeline/proceso.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringView>
#include <span>
#include <vector>

namespace tarvix {

// Error the grid raises when a row or column lies outside it ("Subíndice fuera del intervalo").
inline constexpr qint64 kErrorSubindice = 381;
// Error for a negative row or column count ("Valor de la propiedad no válido").
inline constexpr qint64 kErrorValorPropiedad = 380;

// Rows of text cells stored compactly: the cells of a row one after another in one string, and
// where each cell ends. Every row has the same number of cells. Indices are not checked here; the
// grid checks them.
class TablaTexto {
public:
    explicit TablaTexto(int columnas = 1);

    int filas() const { return static_cast<int>(m_texto.size()); }
    int columnas() const { return m_columnas; }

    QStringView celda(int fila, int columna) const;
    // The cells of the row joined without separator.
    QStringView textoFila(int fila) const { return m_texto[static_cast<size_t>(fila)]; }

    // Appends a row: `texto` holds its cells one after another and `fin` where each cell ends
    // (columnas() ascending offsets into `texto`).
    void agregarFila(QString texto, std::span<const quint32> fin);
    void setCelda(int fila, int columna, QStringView texto);
    void insertarFilas(int posicion, int cuantas);
    void quitarFilas(int posicion, int cuantas);
    // Widens with empty cells or drops the cells beyond the new count.
    void setColumnas(int columnas);
    // Puts the cells of row `origen` of `otra` into row `fila` from column 0 on, taking its text
    // over (`otra` keeps an empty row there): cells beyond columnas() are dropped, and when `otra`
    // is narrower the last cells of the row keep their text.
    void tomarFila(int fila, TablaTexto& otra, int origen);
    void reservarFilas(int filas);

private:
    quint32 inicio(int fila, int columna) const;
    quint32& fin(int fila, int columna) { return m_fin[static_cast<size_t>(fila) * m_columnas + columna]; }
    quint32 fin(int fila, int columna) const {
        return m_fin[static_cast<size_t>(fila) * m_columnas + columna];
    }

    int m_columnas;
    std::vector<QString> m_texto;
    std::vector<quint32> m_fin;
};

// The preview grid: a flexible grid of text cells, rows and columns counted from 0, the first
// FixedRows rows fixed (kept in sight while the rest scrolls), a current cell (Row, Col) and a text
// colour per row. Reading or writing outside the grid raises VbError 381.
//
// Bulk content is put in with asignarBloque or by filling a second grid aside and exchanging it
// with intercambiar, so that views see one reset and no per-cell signals. The processing run reads
// it as its GrillaDatos.
class ModeloGrilla : public QAbstractTableModel, public GrillaDatos {
    Q_OBJECT
public:
    // Colour of a row in the grid's blue-green-red notation (an int), when one was set.
    static constexpr int RolColor = Qt::UserRole + 1;
    static constexpr quint32 kAzul = 0xFF0000;

    explicit ModeloGrilla(QObject* parent = nullptr);

    int Rows() const override { return m_celdas.filas(); }
    int Cols() const override { return m_celdas.columnas(); }
    void setRows(int filas);
    void setCols(int columnas);

    QString TextMatrix(int fila, int columna) const override;
    void setTextMatrix(int fila, int columna, const QString& texto);
    // The cell without copying; valid until the grid changes.
    QStringView celda(int fila, int columna) const;

    int FixedRows() const { return m_filasFijas; }
    void setFixedRows(int filas);

    // The current cell.
    int Row() const { return m_fila; }
    int Col() const { return m_columna; }
    void setRow(int fila);
    void setCol(int columna);
    QString Text() const { return TextMatrix(m_fila, m_columna); }
    void setText(const QString& texto) { setTextMatrix(m_fila, m_columna, texto); }

    // Assigns the lines of `bloque` to the rows from `filaDesde` on, one line per row, one cell per
    // column from column 0; cells beyond the last column are dropped. The rows must exist.
    void asignarBloque(int filaDesde, TablaTexto bloque);
    // Inserts an empty row at `indice` (0 to Rows()).
    void insertarFila(int indice);

    void setColorFila(int fila, quint32 colorBgr);
    // The row's colour, or -1 when none was set.
    qint64 colorFila(int fila) const;

    // The worksheet rows the data lines (rows 2 on) were read from, in order; a row the load did
    // not tell keeps its own number.
    void setFilasHoja(std::vector<int> filas) { m_filasHoja = std::move(filas); }
    int filaHoja(int fila) const override;

    // Swaps the whole content (cells, fixed rows, current cell, colours, worksheet rows) with `otra`.
    void intercambiar(ModeloGrilla& otra);

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void celdaActualCambiada(int fila, int columna);
    void filasFijasCambiadas(int filas);

private:
    void verificarCelda(int fila, int columna) const;
    void verificarFila(int fila) const;
    void ajustarAlTamano();

    TablaTexto m_celdas;
    std::vector<qint64> m_colores; // one per row, -1 when not set
    std::vector<int> m_filasHoja;  // of rows 2 on
    int m_filasFijas = 2;
    int m_fila = 1;
    int m_columna = 0;
};

} // namespace tarvix
