#include "ui/aplicacion.h"

#include "intake/carga/instalarpaso2.h"
#include "intake/carga/paso2.h"
#include "pipeline/proceso.h"
#include "review/frmcargasufijos.h"
#include "review/frmmodificar.h"
#include "review/lista/frmdep.h"
#include "settings/frmconfig.h"
#include "transfer/paso3ventana.h"
#include "ui/frmmain.h"

#include <QApplication>

namespace tarvix {

void conectarModulos(frmMain& ventana, Globales& g) {
    instalarVentanasConfiguracion(ventana, g);

    ControladorPaso2* paso2 = instalarPaso2(ventana, g);
    ventana.controlador().pasos().guardarDatosToBase = [&g, paso2] {
        return FRAM2_GuardarDatosToBase(g, paso2->grilla());
    };

    auto editor = [&g, &ventana](int artord) {
        QWidget* padre = ventanaRevision();
        return abrirEditor(g, padre ? padre : &ventana, artord);
    };
    instalarPaso3(ventana, g, [&g, &ventana, editor] { mostrarRevision(g, &ventana, editor); });

    ventana.interaccion().ventanaOpcion = [&ventana](const QString& titulo, const QStringList& opciones,
                                                     int porDefecto) {
        QWidget* padre = QApplication::activeModalWidget();
        return elegirOpcionSufijo(padre ? padre : &ventana, titulo, opciones, porDefecto);
    };
}

} // namespace tarvix
