#pragma once

#include "components/estadoasistente.h"
#include "components/servicios.h"

#include <QObject>
#include <QString>
#include <functional>

namespace tarvix {

// Passes when no line of the current interno is left to correct (every PRCCRC is "OK"); otherwise
// tells the user so. A failure is reported and leaves `ok` false.
void FRAM3_Transfer_A_Validar(Servicios& srv, EstadoAsistente& estado, bool& ok);

// Step 3 of the wizard: the six counters of the processed interno and the transfer driver. It
// holds the counter texts the frame shows and tells the window when they changed.
class ControladorPaso3 : public QObject {
    Q_OBJECT
public:
    explicit ControladorPaso3(Servicios& srv, EstadoAsistente& estado, QObject* parent = nullptr);

    // Counts the lines of the interno into the six counters. Traps nothing: a failure reaches the
    // wizard's report.
    void FRAM3_CargarEstadisticas();
    // Validation, interno transfer, catalog update and the final count, with their captions.
    void FRM3_Tranferir();
    // The last "Transferir" wrote the interno into the customs database.
    bool transferido() const { return m_transferido; }

    // The counts (wide enough for any number of lines) and the texts of their labels ("0000").
    struct Cuentas {
        qint64 total = 0;
        qint64 enCatalogo = 0;
        qint64 nuevos = 0;
        qint64 erroneos = 0;
        qint64 errPos = 0;
        qint64 errSuf = 0;
    };
    Cuentas cuentas;
    QString FRAM3_lbTotal = QStringLiteral("0000");
    QString FRAM3_lbEnCatalogo = QStringLiteral("0000");
    QString FRAM3_lbNuevos = QStringLiteral("0000");
    QString FRAM3_lbErroneos = QStringLiteral("0000");
    QString FRAM3_lbErrPos = QStringLiteral("0000");
    QString FRAM3_lbErrSuf = QStringLiteral("0000");

    // Writes Main_lbMensaje and repaints it. By default the progress seam's label; the main window
    // routes it through its own controller so that its redraws keep the text.
    std::function<void(const QString&)> mensaje;

signals:
    void cambiado();

private:
    bool m_transferido = false;
    qint64 contar(const QString& cola);
    void ponerMensaje(const QString& texto);

    Servicios& m_srv;

    EstadoAsistente& m_estado;
};

} // namespace tarvix
