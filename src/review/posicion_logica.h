#pragma once

#include "components/espera.h"
#include "components/estadoasistente.h"
#include "components/servicios.h"

#include <QString>
#include <QStringList>

namespace tarvix {

// The four sim patterns of a position, from the chapter down to the full position, as the list
// that follows "sim in " in the statements on sufidos: ('84  .  .  .   ','8467.  .  .   ',...).
QString listaSim(const QString& posicion);

// The condition that finds a position text in ncm: characters 1-10, 12-14 and the last one.
QString condicionPosicion(const QString& posicion, const QString& entreCondiciones);

// The logic of FrmPosicion ("Buscar Posición"): lists the positions that begin with a partial text,
// shows the description and value suffixes of the highlighted one and hands the chosen one back.
class LogicaPosicion {
public:
    explicit LogicaPosicion(Servicios& srv, EstadoAsistente& estado);

    // Enter in TxtNCMF. True when the list was filled (its first line selected): the list takes
    // the focus.
    bool Buscar();
    // An arrow key released in LstNCM: description and suffixes of the position.
    void MostrarDatos(const QString& posicion);
    // Activation: runs the first search once. True when the list is to take the focus.
    bool Form_Activate();
    // Enter in LstNCM: the chosen position (empty when no line is selected); the window closes.
    QString Elegir();
    // Esc or Ctrl+C: the window closes without handing anything back.
    void Cancelar() { buscado = false; }

    QString TxtNCMF;
    QStringList LstNCM;
    int LstNCM_ListIndex = -1;
    QString LbDescripcion;
    QStringList LstSufijos;
    bool buscado = false;

private:
    Servicios& m_srv;
    EstadoAsistente& m_estado;
    PunteroEspera m_espera;
};

} // namespace tarvix
