#include "data/rutas.h"
#include "ui/aplicacion.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvix"));
    QApplication::setApplicationDisplayName(QStringLiteral("TARVIX"));
    QApplication::setApplicationVersion(tarvix::ControladorPrincipal::lineaVersion());
    // The user's locale (decimal separator, short date) is the system's.
    QLocale::setDefault(QLocale::system());

    tarvix::Globales g;
    tarvix::frmMain ventana(g);
    tarvix::conectarModulos(ventana, g);
    ventana.show();
    ventana.iniciar(tarvix::rutas::carpetaDatos());
    return app.exec();
}
