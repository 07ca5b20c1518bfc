#include "app/terminal.h"
#include "app/ventanas/frmmain.h"
#include "components/estadoasistente.h"
#include "components/memoria.h"
#include "components/servicios.h"
#include "data/rutas.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    tarvix::prepararMemoria();
    // --help and --version answer on the terminal and need no display.
    if (const auto estado = tarvix::terminal::atenderSinVentana(argc, argv))
        return *estado;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvix"));
    // No display name: the platform would append it to every caption ("Resultados — TARVIX").
    // The desktop entry the session matches the window with (its name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvix"));
    QApplication::setApplicationVersion(tarvix::ControladorPrincipal::lineaVersion());
    // The user's locale (decimal separator, short date) is the system's.
    QLocale::setDefault(QLocale::system());
    // Standard dialogs (file chooser, buttons) in Spanish; the program's own texts are Spanish.
    QTranslator qtBase;
    if (qtBase.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtBase);

    tarvix::Servicios srv;
    tarvix::EstadoAsistente estado;
    tarvix::frmMain ventana(srv, estado);
    ventana.show();
    ventana.iniciar(tarvix::rutas::carpetaDatos(), true);
    return app.exec();
}
