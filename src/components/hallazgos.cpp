#include "components/hallazgos.h"

#include <algorithm>

namespace tarvix {

bool esError(TipoHallazgo tipo) {
    return tipo < TipoHallazgo::UnidadPorDefecto;
}

bool RevisionFactura::hayErrores() const {
    return !hallazgos.empty() && esError(hallazgos.front().tipo);
}

int RevisionFactura::errores() const {
    return static_cast<int>(
        std::count_if(hallazgos.begin(), hallazgos.end(), [](const Hallazgo& h) { return esError(h.tipo); }));
}

int RevisionFactura::advertencias() const {
    return static_cast<int>(hallazgos.size()) - errores();
}

} // namespace tarvix
