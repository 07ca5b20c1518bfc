#pragma once

namespace tarvix {

class frmMain;
struct Globales;

// Plugs every module into the main window: step 2 (loading, mapping and the processing run),
// step 3 (statistics, review lists with the record editor, transfer), the settings window and the
// modal windows the logic opens mid-run.
void conectarModulos(frmMain& ventana, Globales& g);

} // namespace tarvix
