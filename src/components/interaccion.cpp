#include "components/interaccion.h"

#include "components/hallazgos.h"

namespace tarvix {

Respuesta botonPorDefecto(Botones botones, std::optional<Respuesta> pedido) {
    const bool siNo = botones == Botones::SiNo || botones == Botones::SiNoCancelar;
    if (pedido) {
        switch (*pedido) {
        case Respuesta::Si:
        case Respuesta::No:
            if (siNo)
                return *pedido;
            break;
        case Respuesta::Aceptar:
            if (!siNo)
                return *pedido;
            break;
        case Respuesta::Cancelar:
            if (botones == Botones::SiNoCancelar || botones == Botones::AceptarCancelar)
                return *pedido;
            break;
        }
    }
    return siNo ? Respuesta::Si : Respuesta::Aceptar;
}

bool Interaccion::revisionFactura(const RevisionFactura& revision) {
    return !revision.hayErrores();
}

bool Interaccion::relacionPaises(std::vector<OrigenNuevo>&, const std::vector<PaisDisponible>&) {
    return false;
}

bool InteraccionNula::revisionFactura(const RevisionFactura& revision) {
    return !revision.hayErrores();
}

InteraccionNula& InteraccionNula::instancia() {
    static InteraccionNula nula;
    return nula;
}

ProgresoNulo& ProgresoNulo::instancia() {
    static ProgresoNulo nulo;
    return nulo;
}

} // namespace tarvix
