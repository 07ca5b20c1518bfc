#pragma once

#include "components/espera.h"
#include "components/estadoasistente.h"
#include "components/servicios.h"

#include <QString>
#include <QStringList>

namespace tarvix {

// The logic of the record editor frmModificar ("Modificar"): one article line of the current
// interno, its customs data corrected by the user, checked and written back as corrected by hand
// (PRCEST 'M', PRCCRC 'OK'). It holds what the controls show; the window draws it and forwards the
// keys. The position check (ProcesarNCM) and the value-suffix dialogue run from here too.
class LogicaModificar {
public:
    struct Caja {
        QString Text;
        QString Tag;
        bool Visible = true;
    };
    struct Rotulo {
        QString Caption;
        QString Tag;
        bool Visible = true;
    };
    struct Lista {
        QStringList items;
        int ListIndex = -1;
    };

    explicit LogicaModificar(Servicios& srv, EstadoAsistente& estado);

    // The line to edit: ARTORD as the window's Tag, four digits.
    void abrir(int artord);

    // First activation: loads the line once per opening.
    void Form_Activate();
    void CargarDatos();
    // The checks before saving; true when every one passed.
    bool VerificarDatos();
    // F11: checks and saves. True when the line was written and the window is to close.
    bool GrabarDatos();
    // Esc: the window closes without saving.
    void Escape() { cargado = false; }

    // Enter in txtPRCNCM: true when the position lookup is to open (a text shorter than 7
    // characters); otherwise the position check runs.
    bool txtPRCNCM_Enter();
    // The position check of a position text: units, specific duty, LAPI and the suffix dialogue.
    void ProcesarNCM(QString posicion);
    static QString posicionNormalizada(QString posicion);

    QString Tag; // ARTORD of the line
    bool cargado = false;

    Caja txtARTNRO, txtARTDSC, txtARTORG, txtARTCAN, txtARTUNI, txtARTTOT, txtARTNAD;
    Caja txtPRCNCM, txtPRCSUF, txtPRCDUN;
    Caja txtPRCCAN{QStringLiteral("0"), QString(), true};
    Caja txtPRCECA{QStringLiteral("0"), QString(), true};
    Caja txtPRCSCA{QStringLiteral("0"), QString(), false};
    Caja txtPRCESM{QStringLiteral("1"), QString(), true};
    Caja txtDescripcionMaria;
    Rotulo lbPRCEUN{QStringLiteral("Unidad Estadistica []"), QString(), true};
    Rotulo lbPRCSUN{QStringLiteral("Derecho Especifico []"), QString(), false};
    Rotulo lbPRCLAP{QStringLiteral("LAPI"), QString(), false};
    Rotulo lbMarca{QStringLiteral("MARCA"), QString(), true};
    Rotulo lbEstado{QString(), QString(), false};
    Lista cboPRCORI;
    Lista cboidPRCORI;

private:
    void aviso(const QString& texto, Icono icono = Icono::Exclamacion);
    bool esNumero(const QString& texto) const;
    double numero(const QString& texto) const;
    QString numeroSql(const QString& texto) const;
    QString sentenciaGrabar() const;
    bool textosCaben();

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    PunteroEspera m_espera;
    QString m_paisLinea; // PRCORI of the line as loaded
};

} // namespace tarvix
