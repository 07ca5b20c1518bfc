#include "app/terminal.h"

#include "app/controladorprincipal.h"
#include "components/configuracion.h"
#include "data/rutas.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace tarvix::terminal {

namespace {
struct Opcion {
    QStringList nombres;
    const char* descripcion;
};
const Opcion kAyuda{{QStringLiteral("h"), QStringLiteral("help")}, "Muestra esta ayuda y termina."};
const Opcion kVersion{{QStringLiteral("v"), QStringLiteral("version")},
                      "Muestra el nombre y la versión del programa y termina."};
} // namespace

Forma forma(const QStringList& argumentos) {
    QCommandLineParser analizador;
    // "-reverse" is one of Qt's options, not -r -e -v -e...
    analizador.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Opcion* o : {&kAyuda, &kVersion})
        analizador.addOption(QCommandLineOption(o->nombres, QString::fromUtf8(o->descripcion)));
    // Unknown options make parse() fail but are read through: they belong to Qt.
    analizador.parse(argumentos);
    if (analizador.isSet(kAyuda.nombres.constFirst()))
        return Forma::Ayuda;
    if (analizador.isSet(kVersion.nombres.constFirst()))
        return Forma::Version;
    return Forma::Ventana;
}

QString texto(Forma forma) {
    switch (forma) {
    case Forma::Ventana:
        break;
    case Forma::Version:
        return QStringLiteral("tarvix %1\n").arg(ControladorPrincipal::numeroVersion());
    case Forma::Ayuda: {
        QString t = QStringLiteral(
            "Uso: tarvix [opción]\n\n"
            "Convierte la factura comercial de un proveedor (.xls o .xlsx) en los ítems de un despacho\n"
            "de importación. Sin opciones abre la ventana del programa.\n\n"
            "Opciones:\n");
        for (const Opcion* o : {&kAyuda, &kVersion})
            t += QStringLiteral("  -%1, --%2").arg(o->nombres.at(0), o->nombres.at(1)).leftJustified(17) +
                 QString::fromUtf8(o->descripcion) + u'\n';
        return t + QStringLiteral("\nCarpeta de datos: %1\nConfiguración:    %2\nManual: man tarvix\n")
                       .arg(QDir::toNativeSeparators(rutas::carpetaDatos()),
                            QDir::toNativeSeparators(configuracion::ubicacion()));
    }
    }
    return {};
}

std::optional<int> atenderSinVentana(int& argc, char** argv) {
    QStringList argumentos;
    for (int i = 0; i < argc; ++i)
        argumentos << QString::fromLocal8Bit(argv[i]);
    const Forma f = forma(argumentos);
    if (f == Forma::Ventana)
        return std::nullopt;
    // The data folder and the settings file of the usage depend on the application's name.
    QCoreApplication aplicacion(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvix"));
    std::fputs(texto(f).toLocal8Bit().constData(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace tarvix::terminal
