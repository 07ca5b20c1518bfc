#pragma once

#include "components/servicios.h"

#include <QString>
#include <vector>

namespace tarvix {

// A unit of the customs-system database: its code and its name.
struct Unidad {
    QString id;
    QString descripcion;
};

// The units of the customs database in code order; none when it cannot be read (the editor then
// shows the codes alone, as before).
std::vector<Unidad> leerUnidades(Servicios& srv);

// The name of the unit `codigo` (blanks around it ignored), empty text when it is not one of them.
QString nombreDeUnidad(const std::vector<Unidad>& unidades, const QString& codigo);

} // namespace tarvix
