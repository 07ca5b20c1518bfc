#pragma once

#include "controls/ventanas/clcntrl.h"

#include <QDialog>
#include <QStringList>

class QGroupBox;
class QListWidget;

namespace tarvix {

// "Carga de Sufijos": the options of one suffix group, one per line. Enter or a double-click picks
// the selected line; closing it any other way picks nothing.
class FrmCargaSufijos : public QDialog {
    Q_OBJECT
public:
    explicit FrmCargaSufijos(QWidget* parent = nullptr);

    // Fills the list and selects the proposed line (none when -1).
    void cargar(const QStringList& opciones, int porDefecto);
    // The line picked (g_sOpcionSufijo) and its index; empty and -1 when none was.
    const QString& opcionElegida() const { return g_sOpcionSufijo; }
    int indiceElegido() const { return m_indice; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    QGroupBox* FrmList;
    QListWidget* LstOpcion;

    void elegir();

    ClCntrl m_cntrl;
    QString g_sOpcionSufijo;
    int m_indice = -1;
};

// Shows the chooser modally over `padre`: the index of the picked line, -1 when none was picked.
// The windows' seam opens the option chooser through this function.
int elegirOpcionSufijo(QWidget* padre, const QString& titulo, const QStringList& opciones, int porDefecto);

} // namespace tarvix
