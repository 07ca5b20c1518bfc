#pragma once

#include "controls/ventanas/clcntrl.h"
#include "review/posicion_logica.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace tarvix {

// "Buscar Posición": Enter in the search text lists the positions that begin with it; the arrow
// keys in the list show the description and suffixes of the highlighted position; Enter in the
// list hands it back; Esc or Ctrl+C close without handing anything back.
class FrmPosicion : public QDialog {
    Q_OBJECT
public:
    // `patron`: the search text it opens with (the editor's position).
    explicit FrmPosicion(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr,
                         const QString& patron = QString());

    LogicaPosicion& logica() { return m_logica; }
    // The position chosen, empty when none was.
    const QString& elegida() const { return m_elegida; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    QLineEdit* TxtNCMF;
    QListWidget* LstNCM;
    QListWidget* LstSufijos;
    QPlainTextEdit* LbDescripcion;

    bool teclaVentana(const QKeyEvent* k);
    void buscar();
    void mostrarLista();
    void mostrarDatos();

    LogicaPosicion m_logica;
    ClCntrl m_cntrl;
    QString m_elegida;
};

} // namespace tarvix
