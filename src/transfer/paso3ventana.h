#pragma once

#include <functional>

namespace tarvix {

class frmMain;
struct Globales;

// Gives the main window its step 3: the wizard's statistics and transfer procedures, the six
// counters kept up to date, and the two review buttons, which set g_iModoLista (1 lines with errors,
// 2 correct lines) and call `abrirRevision` to show the review window.
void instalarPaso3(frmMain& ventana, Globales& g, std::function<void()> abrirRevision);

} // namespace tarvix
