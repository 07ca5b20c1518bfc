#include "app/terminal.h"

#include "app/asistente.h"
#include "app/controladorprincipal.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/estadoasistente.h"
#include "components/recordset.h"
#include "components/servicios.h"
#include "components/vb.h"
#include "data/rutas.h"
#include "intake/carga/carga.h"
#include "intake/carga/disposiciones.h"
#include "intake/carga/grilla.h"
#include "intake/carga/mapeo.h"
#include "intake/encabezados.h"
#include "pipeline/proceso.h"
#include "pipeline/revisionfactura.h"
#include "settings/paisesnuevos.h"
#include "transfer/paso3.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
const Opcion kInterno{{QStringLiteral("interno")}, "El interno en que se procesa la factura."};
const Opcion kDescripcion{{QStringLiteral("descripcion")}, "La descripción del interno cuando se crea."};
const Opcion kJson{{QStringLiteral("json")}, "Escribe el resultado como JSON."};
const QString kUso = QStringLiteral("Uso: tarvix [-h | -v]\n"
                                    "       tarvix leer ARCHIVO\n"
                                    "       tarvix mapear ARCHIVO\n"
                                    "       tarvix procesar --interno NUMERO [--descripcion TEXTO] [--json] "
                                    "ARCHIVO\n");

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

namespace {
Pedido solo(Forma forma, const QString& archivo = {}) {
    Pedido p;
    p.forma = forma;
    p.archivo = archivo;
    return p;
}
} // namespace

Pedido pedido(const QStringList& argumentos) {
    QCommandLineParser analizador;
    // "-reverse" is one of Qt's options, not -r -e -v -e...
    analizador.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Opcion* o : {&kAyuda, &kVersion, &kJson})
        analizador.addOption(QCommandLineOption(o->nombres, QString::fromUtf8(o->descripcion)));
    for (const Opcion* o : {&kInterno, &kDescripcion})
        analizador.addOption(
            QCommandLineOption(o->nombres, QString::fromUtf8(o->descripcion), QStringLiteral("TEXTO")));
    // Unknown options make parse() fail but are read through: they belong to Qt.
    analizador.parse(argumentos);
    if (analizador.isSet(kAyuda.nombres.constFirst()))
        return solo(Forma::Ayuda);
    if (analizador.isSet(kVersion.nombres.constFirst()))
        return solo(Forma::Version);
    const QStringList posicionales = analizador.positionalArguments();
    const QString orden = posicionales.value(0);
    if (orden == u"leer" || orden == u"mapear") {
        if (posicionales.size() != 2 || posicionales[1].trimmed().isEmpty())
            return solo(Forma::UsoIncorrecto);
        return solo(orden == u"leer" ? Forma::Leer : Forma::Mapear, posicionales[1]);
    }
    if (orden == u"procesar") {
        Pedido p{Forma::Procesar, posicionales.value(1),
                 analizador.value(kInterno.nombres.constFirst()).trimmed(),
                 analizador.value(kDescripcion.nombres.constFirst()),
                 analizador.isSet(kJson.nombres.constFirst())};
        if (posicionales.size() != 2 || p.archivo.trimmed().isEmpty() || p.interno.isEmpty())
            return solo(Forma::UsoIncorrecto);
        return p;
    }
    return solo(Forma::Ventana);
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

namespace {

QString textoHallazgo(const Hallazgo& h) {
    return QStringLiteral("Fila %1, columna %2 («%3»): %4: %5. %6")
        .arg(h.fila)
        .arg(h.columna, h.texto, esError(h.tipo) ? QStringLiteral("Error") : QStringLiteral("Advertencia"),
             tituloTipo(h.tipo), h.detalle);
}

} // namespace

int procesar(const Pedido& pedido, const QString& carpetaDatos, QString& salida, QString& errores) {
    InteraccionTerminal terminal(errores);
    Servicios srv;
    srv.setInteraccion(&terminal);
    EstadoAsistente estado;
    Asistente asistente(srv, estado);
    QJsonObject json{{QStringLiteral("interno"), pedido.interno}};
    QJsonArray hallazgos, relacionados, sinRelacion;
    const auto terminar = [&](int estadoSalida) {
        if (pedido.json) {
            json.insert(QStringLiteral("estado"), estadoSalida);
            json.insert(QStringLiteral("hallazgos"), hallazgos);
            json.insert(QStringLiteral("origenesRelacionados"), relacionados);
            json.insert(QStringLiteral("origenesSinRelacion"), sinRelacion);
            json.insert(QStringLiteral("mensajes"),
                        QJsonArray::fromStringList(errores.split(u'\n', Qt::SkipEmptyParts)));
            salida = QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Indented));
            errores.clear();
        }
        return estadoSalida;
    };

    ModeloGrilla& grilla = asistente.paso2().grilla();
    if (!lf_LevantarExcel(pedido.archivo, grilla, srv))
        return terminar(kArchivoIlegible);
    asistente.principal().Form_Load(carpetaDatos);
    aplicarMapeoInicial(grilla, srv, estado);

    // The interno, created when it does not exist.
    Recordset rs;
    srv.g_oBase->setSql(QStringLiteral("select INTNRO, INTDSC from INTN where INTNRO = '") +
                        vb::DoblarComillas(pedido.interno) + u'\'');
    if (srv.g_oBase->CrearRs(rs)) {
        estado.descripcionInterno = vb::Trim(rs.Fields(1).toString());
    } else {
        QString descripcion =
            pedido.descripcion.isEmpty() ? QFileInfo(pedido.archivo).fileName() : pedido.descripcion;
        if (!NuevoInterno(srv, estado, pedido.interno, descripcion))
            return terminar(kFallaDelProceso);
        estado.descripcionInterno = descripcion;
    }
    estado.g_sInterno = pedido.interno;

    // The mapping (the required fields), the check of the whole invoice, the origins.
    if (!asistente.paso2().FRAM2_VerificarDatos())
        return terminar(kMapeoIncompleto);
    const RevisionFactura revision =
        revisarFactura(grilla, {estado.g_sINTDUN, estado.g_sAA_MARCA, QLocale()});
    for (const Hallazgo& h : revision.hallazgos) {
        if (pedido.json)
            hallazgos.append(
                QJsonObject{{QStringLiteral("fila"), h.fila},
                            {QStringLiteral("columna"), h.columna},
                            {QStringLiteral("texto"), h.texto},
                            {QStringLiteral("gravedad"),
                             esError(h.tipo) ? QStringLiteral("error") : QStringLiteral("advertencia")},
                            {QStringLiteral("tipo"), tituloTipo(h.tipo)},
                            {QStringLiteral("detalle"), h.detalle}});
        else
            errores += textoHallazgo(h) + u'\n';
    }
    if (revision.hayErrores())
        return terminar(kErroresDeRevision);
    const std::vector<PaisDisponible> paises = paisesDisponibles(srv);
    const std::vector<OrigenNuevo> origenes = origenesSinRelacion(srv, grilla, paises);
    guardarRelaciones(srv, estado, origenes);
    bool faltan = false;
    for (const OrigenNuevo& o : origenes) {
        if (!o.pais.isEmpty()) {
            relacionados.append(
                QJsonObject{{QStringLiteral("texto"), o.texto}, {QStringLiteral("pais"), o.pais}});
            continue;
        }
        faltan = true;
        if (pedido.json)
            sinRelacion.append(QJsonObject{{QStringLiteral("texto"), o.texto},
                                           {QStringLiteral("fila"), o.fila},
                                           {QStringLiteral("columna"), o.columna}});
        else
            errores += QStringLiteral("Fila %1, columna %2 («%3»): el origen no tiene país relacionado; "
                                      "relaciónelo en la ventana del programa.\n")
                           .arg(o.fila)
                           .arg(o.columna, o.texto);
    }
    if (faltan)
        return terminar(kOrigenesSinRelacion);

    // The four stages and the counters of step 3.
    if (!FRAM2_GuardarDatosToBase(srv, estado, grilla))
        return terminar(kFallaDelProceso);
    ControladorPaso3& paso3 = asistente.paso3();
    paso3.FRAM3_CargarEstadisticas();
    const std::pair<const char*, qint64> contadores[] = {{"Total de Registros", paso3.cuentas.total},
                                                         {"Registros con Errores", paso3.cuentas.erroneos},
                                                         {"Errores de Posición", paso3.cuentas.errPos},
                                                         {"Errores de Sufijos", paso3.cuentas.errSuf},
                                                         {"Articulos en Catalogo", paso3.cuentas.enCatalogo},
                                                         {"Articulos Nuevos", paso3.cuentas.nuevos}};
    QJsonObject cuentas;
    for (const auto& [nombre, valor] : contadores) {
        cuentas.insert(QString::fromUtf8(nombre), valor);
        salida += QString::fromUtf8(nombre) + QStringLiteral(": ") + QString::number(valor) + u'\n';
    }
    json.insert(QStringLiteral("contadores"), cuentas);
    if (pedido.json)
        salida.clear();
    return terminar(kBien);
}

QString texto(Forma forma) {
    switch (forma) {
    case Forma::Ventana:
    case Forma::Leer:
    case Forma::Mapear:
    case Forma::Procesar:
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
                "  procesar ARCHIVO Carga la factura en el interno de --interno (lo crea, con la "
                "descripción\n"
                "                   de --descripcion, si no existe), aplica el mapeo guardado o propuesto,\n"
                "                   la revisa, relaciona los orígenes cuyo país es claro y, sin errores ni\n"
                "                   orígenes sin relacionar, la procesa y escribe los seis contadores del\n"
                "                   paso 3. Los hallazgos, los orígenes sin relación y las fallas se\n"
                "                   escriben con su fila; con --json, todo como un objeto JSON.\n"
                "Estado de salida: 0 bien, 1 archivo que no se puede leer, 2 uso incorrecto; de procesar\n"
                "también 3 mapeo incompleto, 4 errores en la revisión, 5 orígenes sin país relacionado,\n"
                "6 falla del proceso.\n\n"
                "Opciones:\n");
        for (const Opcion* o : {&kAyuda, &kVersion})
            t += QStringLiteral("  -%1, --%2").arg(o->nombres.at(0), o->nombres.at(1)).leftJustified(17) +
                 QString::fromUtf8(o->descripcion) + u'\n';
        for (const Opcion* o : {&kInterno, &kDescripcion, &kJson})
            t += QString(QStringLiteral("  --") + o->nombres.at(0)).leftJustified(17) +
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
    if (p.forma == Forma::Leer || p.forma == Forma::Mapear || p.forma == Forma::Procesar) {
        // The cells as the user's locale shows them.
        QLocale::setDefault(QLocale::system());
        estado = p.forma == Forma::Leer     ? leer(p.archivo, salida, errores)
                 : p.forma == Forma::Mapear ? mapear(p.archivo, rutas::carpetaDatos(), salida, errores)
                                            : procesar(p, rutas::carpetaDatos(), salida, errores);
    } else {
        salida = texto(p.forma);
    }
    std::fputs(errores.toLocal8Bit().constData(), stderr);
    std::fputs(salida.toLocal8Bit().constData(), stdout);
    return std::fflush(stdout) == 0 ? estado : 1;
}

} // namespace tarvix::terminal
