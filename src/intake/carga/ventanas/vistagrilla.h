#pragma once

#include <QTableView>

namespace tarvix {

class ModeloGrilla;

// The preview grid FRAM2_Grid. The fixed rows of the grid (the header and the field row) are drawn
// by a second view laid over the top of this one, sharing its columns and horizontal scrolling, so
// they stay in sight while the data rows scroll underneath. The current cell follows the grid's
// Row and Col and is always kept in sight below the fixed rows. Function keys are reported as key
// downs with their key codes (F1 = 112).
class VistaGrilla : public QTableView {
    Q_OBJECT
public:
    explicit VistaGrilla(ModeloGrilla& grilla, QWidget* parent = nullptr);

    // The view that shows the fixed rows.
    QTableView* filasFijas() const { return m_fijas; }
    // Height the fixed rows take at the top of the viewport.
    int alturaFijas() const;

signals:
    void teclaAbajo(int codigo);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction accion, Qt::KeyboardModifiers modificadores) override;
    void scrollTo(const QModelIndex& indice, ScrollHint pista = EnsureVisible) override;
    void currentChanged(const QModelIndex& actual, const QModelIndex& anterior) override;

private:
    void ubicarFijas();
    void seguirCeldaActual(int fila, int columna);
    void alCambiarContenido();
    void ensancharParaFijas(const QModelIndex& desde, const QModelIndex& hasta);
    void elegirColumna(int columna);

    ModeloGrilla& m_grilla;
    QTableView* m_fijas;
    bool m_sincronizando = false;
};

} // namespace tarvix
