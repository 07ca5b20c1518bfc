#include "intake/carga/instalarpaso2.h"

#include "intake/carga/frmcampos.h"
#include "intake/carga/paso2.h"
#include "intake/carga/vistagrilla.h"
#include "ui/frmmain.h"

#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tarvix {

ControladorPaso2* instalarPaso2(frmMain& ventana, Globales& g) {
    auto* control = new ControladorPaso2(g, ventana.controlador(), &ventana);
    auto* vista = new VistaGrilla(control->grilla(), ventana.contenedorGrilla);
    ventana.contenedorGrilla->layout()->addWidget(vista);

    QObject::connect(ventana.FRAM2_CmdProcesar, &QPushButton::clicked, control,
                     &ControladorPaso2::FRAM2_CmdProcesar_Click);
    QObject::connect(ventana.cmdAutomatico, &QPushButton::clicked, control,
                     &ControladorPaso2::cmdAutomatico_Click);
    QObject::connect(vista, &VistaGrilla::teclaAbajo, control, &ControladorPaso2::FRAM2_Grid_KeyDown);
    QObject::connect(control, &ControladorPaso2::archivoCambiado, ventana.FRAM2_TxtArchivo,
                     &QLineEdit::setText);
    ventana.FRAM2_TxtArchivo->setText(control->archivo());
    ventana.interaccion().ventanaCampo = [&ventana, &g] {
        frmCampos campos(g, &ventana);
        campos.exec();
    };
    return control;
}

} // namespace tarvix
