#pragma once

#include <QString>

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

class Interaccion;
class Progreso;

// The application-wide state of one run of the program. The main window owns the one instance and
// hands it to the logic that needs it.
struct Globales {
    Velno::clBase* g_oBase = nullptr;
    Trelvan::Central* g_oCentral = nullptr;
    Mesquel::Formatos* g_oFormatos = nullptr;
    Pindra::Archivos* g_oArchivos = nullptr;

    int g_iPaso = 0;
    QString g_sInterno;
    QString g_sINTDUN;
    QString g_sINTCAT;
    QString g_sAA_MARCA;
    QString g_sRetorno;
    QString g_sRetornoESM;
    bool g_bInternoCreado = false;
    QString g_sInternoCreado; // the number frmInterno stored, selected in the list afterwards
    int g_iModoLista = 0;     // review list to load: 1 lines with errors, 2 correct lines

    // The seams of this run.
    Interaccion* interaccion = nullptr;
    Progreso* progreso = nullptr;
};

} // namespace tarvix
