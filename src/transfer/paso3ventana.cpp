#include "transfer/paso3ventana.h"

#include "transfer/paso3.h"
#include "ui/frmmain.h"

#include <QLabel>
#include <QPushButton>

namespace tarvix {

void instalarPaso3(frmMain& ventana, Globales& g, std::function<void()> abrirRevision) {
    auto* paso3 = new ControladorPaso3(g, &ventana);
    paso3->setObjectName(QStringLiteral("ControladorPaso3"));
    ControladorPrincipal& principal = ventana.controlador();
    paso3->mensaje = [&principal](const QString& texto) { principal.setMensaje(texto); };
    principal.pasos().cargarEstadisticas = [paso3] { paso3->FRAM3_CargarEstadisticas(); };
    principal.pasos().transferir = [paso3] { paso3->FRM3_Tranferir(); };

    QObject::connect(paso3, &ControladorPaso3::cambiado, &ventana, [&ventana, paso3] {
        ventana.FRAM3_lbTotal->setText(paso3->FRAM3_lbTotal);
        ventana.FRAM3_lbErroneos->setText(paso3->FRAM3_lbErroneos);
        ventana.FRAM3_lbErrPos->setText(paso3->FRAM3_lbErrPos);
        ventana.FRAM3_lbErrSuf->setText(paso3->FRAM3_lbErrSuf);
        ventana.FRAM3_lbEnCatalogo->setText(paso3->FRAM3_lbEnCatalogo);
        ventana.FRAM3_lbNuevos->setText(paso3->FRAM3_lbNuevos);
    });

    const auto abrir = [&g, abrirRevision](int modo) {
        g.g_iModoLista = modo;
        if (abrirRevision)
            abrirRevision();
    };
    QObject::connect(ventana.FRAM3_cmdRegErr, &QPushButton::clicked, &ventana, [abrir] { abrir(1); });
    QObject::connect(ventana.FRAM3_cmdRegOk, &QPushButton::clicked, &ventana, [abrir] { abrir(2); });
}

} // namespace tarvix
