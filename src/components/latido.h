#pragma once

namespace tarvix::latido {

// Long work gives a beat every so often (a statement while the engine steps through it, the rows of
// a long loop) so that whoever shows the work can let its window repaint. The action is installed
// by the program's main window; without one a beat does nothing. Beats given on any thread other
// than the one that installed the action do nothing either.
using Accion = void (*)(void* datos);

// Installs the action (null removes it); `datos` is passed to it on every beat.
void instalar(Accion accion, void* datos);

// A beat: the action decides itself how often it does anything, so a beat may be given often.
void latir();

} // namespace tarvix::latido
