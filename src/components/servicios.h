#pragma once

#include "components/interaccion.h"

namespace Velno {
class clBase;
}
namespace Trelvan {
class Central;
}
namespace Mesquel {
class Formatos;
}
namespace Pindra {
class Archivos;
}

namespace tarvix {

// The services of one run of the program, built once by the application at start-up (the databases
// and the format and file services when the main form loads) and handed to the logic that needs
// them. The prompt seam and the progress are never null: until the application installs its own,
// they are objects that ask nothing and show nothing.
struct Servicios {
    Velno::clBase* g_oBase = nullptr;
    Trelvan::Central* g_oCentral = nullptr;
    Mesquel::Formatos* g_oFormatos = nullptr;
    Pindra::Archivos* g_oArchivos = nullptr;

    Interaccion& interaccion() const { return *m_interaccion; }
    Progreso& progreso() const { return *m_progreso; }
    // Installs a seam; null puts back the one that does nothing.
    void setInteraccion(Interaccion* i) { m_interaccion = i ? i : &InteraccionNula::instancia(); }
    void setProgreso(Progreso* p) { m_progreso = p ? p : &ProgresoNulo::instancia(); }

private:
    Interaccion* m_interaccion = &InteraccionNula::instancia();
    Progreso* m_progreso = &ProgresoNulo::instancia();
};

} // namespace tarvix
