#pragma once

#include "components/interaccion.h"

namespace tarvix {

// The hourglass pointer of a long procedure: the one guard of the program. Setting it twice or
// restoring it twice is harmless, as with the screen pointer it stands for; only the changes reach
// the seam. Leaving its scope (an exception included) restores the arrow.
class PunteroEspera {
public:
    enum Inicio { Normal, Ocupado };
    explicit PunteroEspera(Interaccion* interaccion, Inicio inicio = Normal) : m_interaccion(interaccion) {
        if (inicio == Ocupado)
            ocupado();
    }
    ~PunteroEspera() { normal(); }
    PunteroEspera(const PunteroEspera&) = delete;
    PunteroEspera& operator=(const PunteroEspera&) = delete;

    void ocupado() { cambiar(true); }
    void normal() { cambiar(false); }
    bool activo() const { return m_activo; }

private:
    void cambiar(bool activo) {
        if (activo == m_activo)
            return;
        m_activo = activo;
        if (m_interaccion)
            m_interaccion->cursorEspera(activo);
    }
    Interaccion* m_interaccion;
    bool m_activo = false;
};

// Shows the normal pointer while the user is asked something, and the hourglass again afterwards
// when it was on.
class PausaEspera {
public:
    explicit PausaEspera(PunteroEspera& p) : m_p(p), m_estaba(p.activo()) { m_p.normal(); }
    ~PausaEspera() {
        if (m_estaba)
            m_p.ocupado();
    }
    PausaEspera(const PausaEspera&) = delete;
    PausaEspera& operator=(const PausaEspera&) = delete;

private:
    PunteroEspera& m_p;
    bool m_estaba;
};

} // namespace tarvix
