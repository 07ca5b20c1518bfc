#pragma once

namespace tarvix {

class ControladorPaso2;
class frmMain;
struct Globales;

// Puts step 2 into the main window: the controller (a child of the window), the grid view in the
// window's grid container, "Procesar", "Selección automatica", F1 on the grid, the path box, the
// field chooser window and the mapping verification of the wizard.
ControladorPaso2* instalarPaso2(frmMain& ventana, Globales& g);

} // namespace tarvix
