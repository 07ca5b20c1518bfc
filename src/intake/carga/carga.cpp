#include "intake/carga/carga.h"

#include "components/archivos.h"
#include "components/configuracion.h"
#include "components/espera.h"
#include "components/estadoasistente.h"
#include "components/interaccion.h"
#include "components/latido.h"
#include "components/servicios.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "intake/carga/filasadelantadas.h"
#include "intake/carga/grilla.h"
#include "intake/clecxel.h"
#include "intake/memoriahoja.h"

#include <QFileInfo>
#include <algorithm>
#include <new>
#include <thread>
#include <vector>

namespace tarvix {

namespace {

// Empty header cells in a row that end the header.
constexpr int kVaciasFinEncabezado = 5;
// Rows without data in a row that end the invoice lines.
constexpr int kFallasFinLineas = 3;
// Most cells (data lines by columns) the grid takes. It bounds the time of the scan, which reads at
// most a few rows more than the lines it keeps.
constexpr qint64 kMaxCeldasGrilla = 5'000'000;
// Most memory the grid's lines take: each line's text (two bytes a character and what a string
// costs besides) and where its cells end. The sheet, read aside, is bounded as much (see
// intake/memoriahoja.h): both together stay well under 500 MB.
constexpr qint64 kMemoriaGrilla = qint64(160) << 20;
constexpr qint64 kErrorMemoria = 7;
// Rows of a sheet from which a second thread formats them ahead of the scan, and the widest grid
// it does so for: the rows formatted ahead, on top of the grid's, stay a few megabytes.
constexpr int kFilasParaAdelantar = 2 * FilasAdelantadas::kFilasPorBloque;
constexpr int kColumnasParaAdelantar = 256;

// A worksheet row is an invoice line when its cells hold something besides blanks and zeros.
bool esLineaDeDatos(QStringView linea) {
    for (const QChar ch : linea)
        if (ch != u' ' && ch != u'0' && ch != u'\t')
            return true;
    return false;
}

QString informeCarga(const VbError& e, int linea) {
    return InformeError::numeroYDescripcion(e)
        .seccion(u"\r\n\r\nSeccion [", u"frmMain.lf_LevantarExcel", u"] linea ")
        .mas(linea);
}

} // namespace

bool Seleccionar_Archivo_XLS(Servicios& srv, QString& txtArchivo) {
    try {
        const Pindra::Archivos archivos(&srv.interaccion());
        const QString ruta =
            archivos.ShowOpen(QStringLiteral("Abrir Factura en EXCEL"), 0, QStringLiteral("xls;*.xlsx"),
                              QStringLiteral("Facturas en EXCEL"),
                              configuracion::leer(QString::fromLatin1(kClaveCarpetaFacturas)));
        if (ruta.isEmpty())
            return false;
        txtArchivo = ruta;
        // The next dialog starts where this invoice was, also after a restart. A settings file that
        // cannot be written only loses that convenience.
        configuracion::guardar(QString::fromLatin1(kClaveCarpetaFacturas), QFileInfo(ruta).absolutePath());
        return true;
    } catch (const VbError& e) {
        srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmMain.Seleccionar_Archivo_XLS")));
        return false;
    }
}

bool lf_LevantarExcel(const QString& ruta, ModeloGrilla& grilla, Servicios& srv) {
    PunteroEspera espera(&srv.interaccion(), PunteroEspera::Ocupado);
    int linea = 0;
    try {
        linea = 10;
        if (vb::Trim(ruta).isEmpty())
            return false;
        linea = 20;
        const Pindra::Archivos propio(&srv.interaccion());
        const Pindra::Archivos& archivos = srv.g_oArchivos ? *srv.g_oArchivos : propio;
        if (!archivos.ExisteArchivo(ruta)) {
            srv.interaccion().mensaje(QStringLiteral("No se encuentra el archivo seleccionado \r\n") + ruta,
                                      Icono::Exclamacion);
            return false;
        }
        linea = 30;
        clEcxel excel;
        excel.setArchivo(ruta);
        excel.Abrir();

        // The new grid is built aside: a failure below leaves the one on screen untouched.
        linea = 40;
        ModeloGrilla nueva;
        nueva.setCols(1);
        nueva.setRows(1);
        nueva.setRows(2);

        // Header: the texts of row 1 up to five empty cells in a row; the grid is as wide as the
        // last text. W, the width every line is read with, is the last column read.
        linea = 50;
        int ancho = 0;
        std::vector<std::pair<int, QString>> encabezado;
        for (int vacias = 0; vacias < kVaciasFinEncabezado && ancho < lector::Hoja::kMaxColumnas;) {
            ++ancho;
            QString texto = excel.LeerCelda(1, ancho);
            if (texto.isEmpty()) {
                ++vacias;
            } else {
                encabezado.emplace_back(ancho - 1, std::move(texto));
                vacias = 0;
            }
        }
        if (!encabezado.empty())
            nueva.setCols(encabezado.back().first + 1);
        for (const auto& [columna, texto] : encabezado)
            nueva.setTextMatrix(0, columna, texto);

        // Lines, from row 2 on. The scan ends after three rows without data in a row (empty,
        // blanks or zeros only); a data line starts the count over, so blank separator rows
        // inside an invoice do not lose the lines below them.
        linea = 60;
        TablaTexto bloque(ancho);
        QString texto;
        std::vector<quint32> fines(static_cast<size_t>(ancho));
        int fallas = 0;
        std::vector<int> filasHoja;
        qint64 memoria = 0; // of the lines in `bloque`
        // A long sheet's rows are formatted ahead by a second thread while this one scans them.
        FilasAdelantadas filas(excel, ancho,
                               excel.UltimaFila() >= kFilasParaAdelantar && ancho <= kColumnasParaAdelantar &&
                                   std::thread::hardware_concurrency() > 1);
        int fila = 2;
        for (; fila <= lector::Hoja::kMaxFilas && fallas < kFallasFinLineas; ++fila) {
            if (fila % 64 == 0)
                latido::latir();
            filas.tomar(fila, texto, fines.data());
            if (esLineaDeDatos(texto)) {
                if (static_cast<qint64>(bloque.filas() + 1) * nueva.Cols() > kMaxCeldasGrilla)
                    throw VbError(kErrorMemoria, kProyecto,
                                  QStringLiteral("La planilla es demasiado grande para mostrarla: sus líneas "
                                                 "por sus %1 columnas superan las %2 celdas")
                                      .arg(nueva.Cols())
                                      .arg(kMaxCeldasGrilla));
                memoria += 2 * texto.size() + lector::coste::kPorTexto + 4 * qint64{ancho};
                if (memoria > kMemoriaGrilla)
                    throw VbError(kErrorMemoria, kProyecto,
                                  QStringLiteral("La planilla es demasiado grande para mostrarla: sus líneas "
                                                 "necesitan %1")
                                      .arg(lector::masMemoriaQue(kMemoriaGrilla)));
                bloque.agregarFila(std::move(texto), fines);
                filasHoja.push_back(fila);
                fallas = 0;
            } else {
                ++fallas;
            }
        }

        // No line left behind: the data rows of the sheet below the end of the scan are counted
        // and kept aside (while the grid's bounds allow), and the clerk may include them, blank
        // rows among them taken as separators.
        linea = 65;
        const int finDelScan = fila - 1;
        const int cargadas = bloque.filas();
        const int ultima = std::min(excel.UltimaFila(), lector::Hoja::kMaxFilas);
        int debajo = 0;
        bool caben = true;
        for (; fila <= ultima; ++fila) {
            filas.tomar(fila, texto, fines.data());
            if (!esLineaDeDatos(texto))
                continue;
            ++debajo;
            memoria += 2 * texto.size() + lector::coste::kPorTexto + 4 * qint64{ancho};
            caben = caben && static_cast<qint64>(bloque.filas() + 1) * nueva.Cols() <= kMaxCeldasGrilla &&
                    memoria <= kMemoriaGrilla;
            if (caben) {
                bloque.agregarFila(std::move(texto), fines);
                filasHoja.push_back(fila);
            }
        }
        if (debajo > 0) {
            const QString aviso = debajo == 1
                                      ? QStringLiteral("Debajo de la fila %1 hay 1 fila con datos que no "
                                                       "se cargó")
                                            .arg(finDelScan)
                                      : QStringLiteral("Debajo de la fila %1 hay %2 filas con datos que "
                                                       "no se cargaron")
                                            .arg(finDelScan)
                                            .arg(debajo);
            espera.normal();
            const bool incluir =
                caben && srv.interaccion().mensaje(
                             aviso + (debajo == 1 ? QStringLiteral(".\r\n\r\n¿Desea cargarla también?")
                                                  : QStringLiteral(".\r\n\r\n¿Desea cargarlas también? Las "
                                                                   "filas vacías entre ellas se toman "
                                                                   "como separadores.")),
                             Icono::Pregunta, Botones::SiNo, QString(), Respuesta::No) == Respuesta::Si;
            if (!caben)
                srv.interaccion().mensaje(aviso + QStringLiteral(": la planilla es demasiado grande para "
                                                                 "mostrarlas."),
                                          Icono::Exclamacion);
            if (!incluir) {
                bloque.quitarFilas(cargadas, bloque.filas() - cargadas);
                filasHoja.resize(static_cast<size_t>(cargadas));
            }
            espera.ocupado();
        }

        // Data lines into rows 1 to n in one assignment, then the empty field row in at 1.
        linea = 70;
        const int lineas = bloque.filas();
        nueva.setRows(1);
        nueva.setRows(lineas + 1);
        if (lineas == 0)
            throw VbError(
                kErrorSubindice, kProyecto,
                QStringLiteral("Subíndice fuera del intervalo: la planilla no tiene líneas de datos "
                               "debajo del encabezado"));
        nueva.setRow(1);
        nueva.setCol(0);
        nueva.asignarBloque(1, std::move(bloque));
        linea = 80;
        nueva.insertarFila(1);
        nueva.setColorFila(1, ModeloGrilla::kAzul);
        nueva.setFixedRows(2);
        nueva.setFilasHoja(std::move(filasHoja));

        linea = 90;
        excel.CerrarArchivo();
        grilla.intercambiar(nueva);
        return true;
    } catch (const VbError& e) {
        espera.normal();
        srv.interaccion().mensaje(informeCarga(e, linea), Icono::Critico);
    } catch (const std::bad_alloc&) {
        espera.normal();
        srv.interaccion().mensaje(
            informeCarga(VbError(kErrorMemoria, kProyecto,
                                 QStringLiteral("Memoria insuficiente para mostrar la planilla")),
                         linea),
            Icono::Critico);
    }
    return false;
}

} // namespace tarvix
