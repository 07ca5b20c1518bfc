#include "intake/xlsx/lectorxlsx.h"

#include "components/vberror.h"
#include "intake/lectorlibro.h"
#include "intake/xlsx/fallaxlsx.h"
#include "intake/xlsx/hojaxlsx.h"
#include "intake/xlsx/libroxlsx.h"
#include "intake/xlsx/zipxlsx.h"

#include <QDir>
#include <new>

namespace tarvix::lector {

namespace xlsx {

void danado(const QString& detalle) {
    throw FallaXlsx{false, detalle};
}
void excesivo(const QString& detalle) {
    throw FallaXlsx{true, detalle};
}

namespace {

Hoja leerPaquete(PaqueteZip& paquete, const LimitesXlsx& lim) {
    // The workbook part, through the package relationships.
    std::string libro;
    const std::vector<Relacion> relacionesPaquete = leerRelaciones(paquete, {}, lim.bytesOtraParte);
    if (const Relacion* r = relacionDeTipo(relacionesPaquete, "officeDocument"))
        libro = r->destino;
    else if (paquete.tiene("xl/workbook.xml"))
        libro = "xl/workbook.xml";
    else
        danado(QStringLiteral("no tiene la relación del libro en _rels/.rels ni la parte xl/workbook.xml"));
    const Libro datosLibro = leerLibro(paquete, libro, lim.bytesOtraParte, lim.hojasLibro);
    const std::vector<Relacion> relaciones = leerRelaciones(paquete, libro, lim.bytesOtraParte);

    // The first worksheet in the workbook's order (chart sheets are not worksheets).
    std::string hoja;
    for (const std::string& id : datosLibro.hojas) {
        const Relacion* r = nullptr;
        for (const Relacion& x : relaciones)
            if (x.id == id)
                r = &x;
        if (!r)
            danado(QStringLiteral("la hoja con relación «%1» no figura en las relaciones del libro")
                       .arg(QString::fromUtf8(id)));
        if (esDeTipo(*r, "worksheet")) {
            hoja = r->destino;
            break;
        }
    }
    if (hoja.empty())
        danado(QStringLiteral("el libro no tiene ninguna hoja de cálculo"));
    std::vector<bool> formatosFecha;
    if (const Relacion* r = relacionDeTipo(relaciones, "styles"))
        formatosFecha = leerFormatosFecha(paquete, r->destino, lim.bytesOtraParte, lim.estilos);
    std::vector<QString> cadenas;
    const ContextoHoja contexto{cadenas,           formatosFecha,       datosLibro.fecha1904,
                                lim.memoria,       lim.caracteresCelda, lim.bytesHojaEnDosHilos,
                                lim.lecturaDirecta};
    // The sheet inflates while the shared strings are read, and a large one has its second half
    // read right after, in the same thread.
    const std::shared_ptr<MitadAdelantada> mitad = prepararMitad(contexto, hoja);
    const bool adelantada =
        paquete.adelantar(hoja, lim.bytesHoja, [mitad](std::string_view xml) { leerMitad(*mitad, xml); });

    if (const Relacion* r = relacionDeTipo(relaciones, "sharedStrings"))
        cadenas = leerCadenas(paquete, r->destino, lim.bytesCadenas, lim.cadenas, lim.caracteresCelda,
                              lim.lecturaDirecta);
    return leerHoja(paquete, hoja, lim.bytesHoja, contexto, adelantada ? mitad.get() : nullptr);
}

} // namespace
} // namespace xlsx

Hoja leerXlsx(const QString& ruta, const LimitesXlsx& limites) {
    const QString nombre = QDir::toNativeSeparators(ruta);
    const QString origen = QStringLiteral("[lectorXlsx]");
    try {
        xlsx::PaqueteZip paquete(ruta,
                                 {limites.partes, limites.proporcionMaxima, limites.bytesMinimosProporcion});
        return xlsx::leerPaquete(paquete, limites);
    } catch (const xlsx::FallaXlsx& f) {
        const QString texto =
            f.limite
                ? QStringLiteral("El archivo %1 no se puede leer porque supera un límite de seguridad: %2.")
                : QStringLiteral("El archivo %1 está dañado o no es un libro de Excel válido: %2.");
        throw VbError(kErrorLibro, origen, texto.arg(nombre, f.detalle));
    } catch (const std::bad_alloc&) {
        throw VbError(kErrorLibro, origen,
                      QStringLiteral("No hay memoria suficiente para leer el archivo %1.").arg(nombre));
    }
}

} // namespace tarvix::lector
