#pragma once

#include <QString>

namespace tarvix {

// Where the wizard stands: the step, the interno being worked on and its data, and the values the
// modal windows hand back to the code that opened them.
struct EstadoAsistente {
    int g_iPaso = 0;
    QString g_sInterno;
    QString descripcionInterno; // INTDSC of g_sInterno, for the headings
    QString g_sINTDUN;
    QString g_sINTCAT;
    QString g_sAA_MARCA;
    QString g_sRetorno;
    QString g_sRetornoESM;
    bool g_bInternoCreado = false;
    QString g_sInternoCreado; // the number frmInterno stored, selected in the list afterwards
    int g_iModoLista = 0;     // review list to load: 1 lines with errors, 2 correct lines

    // "Interno 24001 - Prueba", the description left out when it is empty or the number itself.
    QString rotuloInterno() const {
        QString r = QStringLiteral("Interno ") + g_sInterno;
        if (!descripcionInterno.isEmpty() && descripcionInterno != g_sInterno)
            r += QStringLiteral(" - ") + descripcionInterno;
        return r;
    }
};

} // namespace tarvix
