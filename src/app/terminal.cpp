#include "app/terminal.h"

#include "app/controladorprincipal.h"
#include "components/configuracion.h"
#include "components/estadoasistente.h"
#include "components/servicios.h"
#include "data/rutas.h"
#include "intake/carga/carga.h"
#include "intake/carga/disposiciones.h"
#include "intake/carga/grilla.h"
#include "intake/carga/mapeo.h"
#include "intake/encabezados.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
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
const QString kUso = QStringLiteral("Uso: tarvix [-h | -v]\n"
                                    "       tarvix leer ARCHIVO\n"
                                    "       tarvix mapear ARCHIVO\n");

// The messages the program shows, written on standard error instead; every question is answered
// as Enter would, no window opens.
class InteraccionTerminal : public InteraccionNula {
public:
    explicit InteraccionTerminal(QString& errores) : m_errores(errores) {}
    Respuesta mensaje(const QString& texto, Icono icono, Botones botones, const QString& titulo,
                      std::optional<Respuesta> porDefecto) override {
        m_errores += QString(texto).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n';
        return InteraccionNula::mensaje(texto, icono, botones, titulo, porDefecto);
    }

private:
    QString& m_errores;
};

} // namespace

Pedido pedido(const QStringList& argumentos) {
    QCommandLineParser analizador;
    // "-reverse" is one of Qt's options, not -r -e -v -e...
    analizador.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Opcion* o : {&kAyuda, &kVersion})
        analizador.addOption(QCommandLineOption(o->nombres, QString::fromUtf8(o->descripcion)));
    // Unknown options make parse() fail but are read through: they belong to Qt.
    analizador.parse(argumentos);
    if (analizador.isSet(kAyuda.nombres.constFirst()))
        return {Forma::Ayuda, {}};
    if (analizador.isSet(kVersion.nombres.constFirst()))
        return {Forma::Version, {}};
    const QStringList posicionales = analizador.positionalArguments();
    const QString orden = posicionales.value(0);
    if (orden == u"leer" || orden == u"mapear") {
        if (posicionales.size() != 2 || posicionales[1].trimmed().isEmpty())
            return {Forma::UsoIncorrecto, {}};
        return {orden == u"leer" ? Forma::Leer : Forma::Mapear, posicionales[1]};
    }
    return {Forma::Ventana, {}};
}

QString campoTsv(QStringView celda) {
    QString r;
    r.reserve(celda.size());
    for (qsizetype i = 0; i < celda.size(); ++i) {
        const QChar c = celda[i];
        if (c == u'\t') {
            r += QStringLiteral("\\t");
        } else if (c == u'\\') {
            r += QStringLiteral("\\\\");
        } else if (c == u'\r' || c == u'\n') {
            r += QStringLiteral("\\n");
            if (c == u'\r' && i + 1 < celda.size() && celda[i + 1] == u'\n')
                ++i;
        } else {
            r += c;
        }
    }
    return r;
}

int leer(const QString& ruta, QString& salida, QString& errores) {
    InteraccionTerminal terminal(errores);
    Servicios srv;
    srv.setInteraccion(&terminal);
    ModeloGrilla grilla;
    if (!lf_LevantarExcel(ruta, grilla, srv))
        return 1;
    for (int f = 0; f < grilla.Rows(); ++f) {
        if (f == kFilaCampos)
            continue;
        for (int c = 0; c < grilla.Cols(); ++c) {
            if (c > 0)
                salida += u'\t';
            salida += campoTsv(grilla.celda(f, c));
        }
        salida += u'\n';
    }
    return 0;
}

int mapear(const QString& ruta, const QString& carpetaDatos, QString& salida, QString& errores) {
    InteraccionTerminal terminal(errores);
    Servicios srv;
    srv.setInteraccion(&terminal);
    ModeloGrilla grilla;
    if (!lf_LevantarExcel(ruta, grilla, srv))
        return 1;
    // The working database and the customs entities, as the window opens them.
    EstadoAsistente estado;
    ControladorPrincipal principal(srv, estado);
    principal.Form_Load(carpetaDatos);
    Velno::clBase* base = recordarMapeosActivo() ? srv.g_oBase : nullptr;
    const Mapeo m =
        mapeoInicial(grilla, base, proponerCamposActivo(), catalogoDeAduana(srv, estado.g_sINTCAT));
    for (int c = 0; c < m.etiquetas.size(); ++c)
        if (!m.etiquetas[c].isEmpty())
            salida += encabezados::letraColumna(c) + u'\t' + m.etiquetas[c] + u'\n';
    return 0;
}

QString texto(Forma forma) {
    switch (forma) {
    case Forma::Ventana:
    case Forma::Leer:
    case Forma::Mapear:
        break;
    case Forma::UsoIncorrecto:
        return kUso;
    case Forma::Version:
        return QStringLiteral("tarvix %1\n").arg(ControladorPrincipal::numeroVersion());
    case Forma::Ayuda: {
        QString t =
            kUso +
            QStringLiteral(
                "\nConvierte la factura comercial de un proveedor (.xls o .xlsx) en los ítems de un "
                "despacho\n"
                "de importación. Sin opciones abre la ventana del programa.\n\n"
                "  leer ARCHIVO     Escribe la primera hoja como la muestra la grilla: el encabezado y las\n"
                "                   líneas, separadas las celdas por TAB (\\t, \\n y \\\\ dentro de una "
                "celda).\n"
                "  mapear ARCHIVO   Escribe el campo que la carga pondría a cada columna (el mapeo guardado\n"
                "                   para sus encabezados o el propuesto): la letra, TAB y la etiqueta.\n"
                "Estado de salida: 0 bien, 1 archivo que no se puede leer, 2 uso incorrecto.\n\n"
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
    const Pedido p = pedido(argumentos);
    if (p.forma == Forma::Ventana)
        return std::nullopt;
    // The data folder and the settings file of the usage depend on the application's name.
    QCoreApplication aplicacion(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvix"));
    if (p.forma == Forma::UsoIncorrecto) {
        std::fputs(texto(p.forma).toLocal8Bit().constData(), stderr);
        return 2;
    }
    QString salida;
    QString errores;
    int estado = 0;
    if (p.forma == Forma::Leer || p.forma == Forma::Mapear) {
        // The cells as the user's locale shows them.
        QLocale::setDefault(QLocale::system());
        estado = p.forma == Forma::Leer ? leer(p.archivo, salida, errores)
                                        : mapear(p.archivo, rutas::carpetaDatos(), salida, errores);
    } else {
        salida = texto(p.forma);
    }
    std::fputs(errores.toLocal8Bit().constData(), stderr);
    std::fputs(salida.toLocal8Bit().constData(), stdout);
    return std::fflush(stdout) == 0 ? estado : 1;
}

} // namespace tarvix::terminal
