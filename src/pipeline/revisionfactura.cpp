#include "pipeline/revisionfactura.h"

#include "components/estadoasistente.h"
#include "components/interaccion.h"
#include "components/latido.h"
#include "components/servicios.h"
#include "components/vb.h"
#include "pipeline/etiquetas.h"
#include "pipeline/modglobal.h"
#include "pipeline/proceso.h"
#include "review/lista/lista_logica.h"
#include "review/lista/modexcelxml.h"
#include "transfer/largos.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>

namespace tarvix {

namespace {

constexpr int kNoLeida = -1;

// The columns the run reads, found as the run finds them: the last column with each label. Article,
// description, quantity and total fall back on column 0; the optional texts and the dates in
// column 0 are not read.
struct Columnas {
    int articulo = 0, descripc = 0, cantidad = 0, total = 0;
    int unidad = kNoLeida, unidadQx = kNoLeida, marca = kNoLeida;
    int otros = kNoLeida, fechaEmbarque = kNoLeida, fechaArribo = kNoLeida;
};

Columnas leerColumnas(const GrillaDatos& grilla) {
    Columnas c;
    const auto leidaSiNoEsCero = [](int col) { return col != 0 ? col : kNoLeida; };
    for (int col = 0; col < grilla.Cols(); ++col) {
        const QString t = grilla.TextMatrix(1, col);
        if (t == etiqueta::ARTICULO)
            c.articulo = col;
        else if (t == etiqueta::DESCRIPC)
            c.descripc = col;
        else if (t == etiqueta::CANTIDAD)
            c.cantidad = col;
        else if (t == etiqueta::TOTAL)
            c.total = col;
        else if (t == etiqueta::UNIDAD)
            c.unidad = col;
        else if (t == etiqueta::UNIDADQX)
            c.unidadQx = col;
        else if (t == etiqueta::MARCA)
            c.marca = col;
        else if (t == etiqueta::OTROS)
            c.otros = leidaSiNoEsCero(col);
        else if (t == etiqueta::FECHA_EMBARQUE)
            c.fechaEmbarque = leidaSiNoEsCero(col);
        else if (t == etiqueta::FECHA_ARRIBO)
            c.fechaArribo = leidaSiNoEsCero(col);
    }
    return c;
}

// The customs column length of a text of the line, by its column of ART.
const LimiteTexto& limite(const char* expresion) {
    for (const LimiteTexto& l : limitesDeTexto())
        if (qstrcmp(l.expresion, expresion) == 0)
            return l;
    Q_UNREACHABLE();
}

// Apostrophes to blanks, then blanks trimmed: the text as the run stores it.
QString limpio(const QString& s) {
    return vb::Trim(vb::ComillasABlancos(s));
}

QString plural(int n, const char* singular, const char* varios) {
    return QString::number(n) + u' ' + QString::fromUtf8(n == 1 ? singular : varios);
}

class Revisor {
public:
    Revisor(const GrillaDatos& grilla, const ParametrosRevision& p)
        : m_grilla(grilla), m_p(p), m_c(leerColumnas(grilla)) {}

    RevisionFactura revisar();

private:
    void agregar(TipoHallazgo tipo, int fila, int columna, const QString& texto, QString detalle) {
        m_r.hallazgos.push_back(
            {tipo, m_grilla.filaHoja(fila), vb::LetraColumna(columna), texto, std::move(detalle)});
    }
    void largo(int fila, int columna, const QString& celda, const QString& texto, const LimiteTexto& l) {
        if (texto.size() > l.maximo)
            agregar(TipoHallazgo::TextoLargo, fila, columna, celda,
                    QString::fromUtf8(l.campo) + QStringLiteral(" tiene ") + QString::number(texto.size()) +
                        QStringLiteral(" caracteres y la columna aduanera admite ") +
                        QString::number(l.maximo));
    }
    // The number of a quantity or total cell; nullopt (and an error) when it is none.
    std::optional<double> numero(int fila, int columna, TipoHallazgo tipo, const char* campo);
    void fecha(int fila, int columna, const char* campo);

    const GrillaDatos& m_grilla;
    const ParametrosRevision& m_p;
    const Columnas m_c;
    RevisionFactura m_r;
    QHash<QString, bool> m_fechas; // text -> is a date
};

std::optional<double> Revisor::numero(int fila, int columna, TipoHallazgo tipo, const char* campo) {
    const QString celda = m_grilla.TextMatrix(fila, columna);
    double v = 0;
    if (vb::EsNumero(celda, &v, m_p.locale))
        return v;
    agregar(tipo, fila, columna, celda,
            QString::fromUtf8(campo) + (vb::Trim(celda).isEmpty() ? QStringLiteral(" está vacío")
                                                                  : QStringLiteral(" no es un número")));
    return std::nullopt;
}

void Revisor::fecha(int fila, int columna, const char* campo) {
    if (columna == kNoLeida)
        return;
    const QString celda = m_grilla.TextMatrix(fila, columna);
    const QString t = vb::Trim(celda);
    if (t.isEmpty())
        return;
    // Reading a date is slow and an invoice repeats a few dates on all its lines: each text is
    // read once.
    auto it = m_fechas.constFind(t);
    if (it == m_fechas.cend())
        it = m_fechas.insert(t, vb::EsFecha(t, nullptr, m_p.locale));
    if (!it.value())
        agregar(TipoHallazgo::FechaInvalida, fila, columna, celda,
                QStringLiteral("La ") + QString::fromUtf8(campo) + QStringLiteral(" no es una fecha"));
}

RevisionFactura Revisor::revisar() {
    const LimiteTexto& largoArticulo = limite("ARTNRO");
    const LimiteTexto& largoDescripcion = limite("ARTDSC");
    const LimiteTexto& largoOtros = limite("OTROS");
    const bool unidadPropia = m_c.unidad != kNoLeida && m_c.unidadQx == kNoLeida;
    const bool unidadExtranjera = m_c.unidadQx != kNoLeida && m_c.unidad == kNoLeida;
    const QString unidadPorDefecto =
        m_p.unidadPorDefecto.isEmpty() ? QStringLiteral("(ninguna configurada)") : m_p.unidadPorDefecto;
    // Article and brand -> the first row they were on.
    QHash<QString, int> vistos;
    vistos.reserve(m_grilla.Rows());

    for (int fila = 2; fila < m_grilla.Rows(); ++fila) {
        if (fila % 64 == 0)
            latido::latir();
        const QString celdaArticulo = m_grilla.TextMatrix(fila, m_c.articulo);
        const QString articulo = limpio(celdaArticulo);
        const QString codigo = vb::UCase(articulo);
        const bool noDisponible = codigo == u"N/A" || codigo == u"N/AS";
        if (articulo.isEmpty())
            agregar(TipoHallazgo::ArticuloVacio, fila, m_c.articulo, celdaArticulo,
                    QStringLiteral("El artículo está vacío"));
        else if (noDisponible)
            agregar(TipoHallazgo::ArticuloVacio, fila, m_c.articulo, celdaArticulo,
                    QStringLiteral("El código de artículo no puede ser ") + codigo);
        largo(fila, m_c.articulo, celdaArticulo, articulo, largoArticulo);
        const QString celdaDescripcion = m_grilla.TextMatrix(fila, m_c.descripc);
        largo(fila, m_c.descripc, celdaDescripcion, limpio(celdaDescripcion), largoDescripcion);
        if (m_c.otros != kNoLeida) {
            const QString celda = m_grilla.TextMatrix(fila, m_c.otros);
            largo(fila, m_c.otros, celda, limpio(celda), largoOtros);
        }

        numero(fila, m_c.cantidad, TipoHallazgo::CantidadNoNumerica, "La cantidad");
        if (const std::optional<double> total =
                numero(fila, m_c.total, TipoHallazgo::TotalNoNumerico, "El total");
            total && std::round(*total * 100) <= 0)
            agregar(
                TipoHallazgo::TotalCero, fila, m_c.total, m_grilla.TextMatrix(fila, m_c.total),
                (std::round(*total * 100) == 0 ? QStringLiteral("El total es cero")
                                               : QStringLiteral("El total es negativo")) +
                    QStringLiteral(": la etapa 3 marcará la línea con «EL FOB TOTAL NO PUEDE SER CERO 0»"));

        if (unidadPropia) {
            const QString celda = m_grilla.TextMatrix(fila, m_c.unidad);
            if (!vb::Trim(celda).isEmpty() && !UnidadConocida(celda))
                agregar(TipoHallazgo::UnidadPorDefecto, fila, m_c.unidad, celda,
                        QStringLiteral("La unidad «") + vb::Trim(celda) +
                            QStringLiteral("» no se reconoce: se declarará con la unidad por defecto ") +
                            unidadPorDefecto);
        } else if (unidadExtranjera) {
            const QString celda = m_grilla.TextMatrix(fila, m_c.unidadQx);
            if (!UnidadExtranjeraConocida(vb::Trim(celda)))
                agregar(TipoHallazgo::UnidadQxDesconocida, fila, m_c.unidadQx, celda,
                        QStringLiteral("No se reconoce la unidad: ") + vb::Trim(celda));
        }

        if (!articulo.isEmpty() && !noDisponible) {
            const QString marca = m_c.marca != kNoLeida
                                      ? vb::Left(vb::UCase(limpio(m_grilla.TextMatrix(fila, m_c.marca))), 20)
                                      : m_p.marcaPorDefecto;
            const auto it = vistos.constFind(articulo + QChar(0x1F) + marca);
            if (it == vistos.cend())
                vistos.insert(articulo + QChar(0x1F) + marca, fila);
            else
                agregar(TipoHallazgo::ArticuloRepetido, fila, m_c.articulo, celdaArticulo,
                        QStringLiteral("El artículo y la marca ") +
                            (marca.isEmpty() ? QStringLiteral("(vacía)") : marca) +
                            QStringLiteral(" ya están en la fila ") +
                            QString::number(m_grilla.filaHoja(it.value())));
        }
        fecha(fila, m_c.fechaEmbarque, "fecha de embarque");
        fecha(fila, m_c.fechaArribo, "fecha de arribo");
    }
    std::stable_sort(m_r.hallazgos.begin(), m_r.hallazgos.end(),
                     [](const Hallazgo& a, const Hallazgo& b) { return a.tipo < b.tipo; });
    return std::move(m_r);
}

} // namespace

QString tituloTipo(TipoHallazgo tipo) {
    switch (tipo) {
    case TipoHallazgo::ArticuloVacio:
        return QStringLiteral("Artículo vacío o N/A");
    case TipoHallazgo::CantidadNoNumerica:
        return QStringLiteral("Cantidad que no es un número");
    case TipoHallazgo::TotalNoNumerico:
        return QStringLiteral("Total que no es un número");
    case TipoHallazgo::TextoLargo:
        return QStringLiteral("Texto más largo que la columna aduanera");
    case TipoHallazgo::UnidadQxDesconocida:
        return QStringLiteral("Unidad QX que no se reconoce");
    case TipoHallazgo::UnidadPorDefecto:
        return QStringLiteral("Unidad desconocida: se usa la unidad por defecto");
    case TipoHallazgo::TotalCero:
        return QStringLiteral("Total cero");
    case TipoHallazgo::ArticuloRepetido:
        return QStringLiteral("Artículo y marca repetidos");
    case TipoHallazgo::FechaInvalida:
        return QStringLiteral("Fecha que no es una fecha");
    }
    return QString();
}

RevisionFactura revisarFactura(const GrillaDatos& grilla, const ParametrosRevision& parametros) {
    return Revisor(grilla, parametros).revisar();
}

QString resumenRevision(const RevisionFactura& revision) {
    const int e = revision.errores();
    const int a = revision.advertencias();
    if (e > 0)
        return QStringLiteral("La factura tiene ") + plural(e, "error", "errores") +
               (a > 0 ? QStringLiteral(" y ") + plural(a, "advertencia", "advertencias") : QString()) +
               QStringLiteral(": corrija la factura o el mapeo y vuelva a procesarla.");
    return QStringLiteral("La factura tiene ") + plural(a, "advertencia", "advertencias") +
           QStringLiteral(": puede procesarla igual o volver a corregirla.");
}

bool exportarRevision(const RevisionFactura& revision, const QString& archivo, Interaccion& interaccion) {
    using namespace modExcelXMl;
    const QString crLf = QStringLiteral("\r\n");
    const QFileInfo info(archivo);
    if (info.exists() || info.isSymLink()) {
        if (interaccion.mensaje(QStringLiteral("El archivo [") + archivo +
                                    QStringLiteral("] ya existe, desea SOBREESCRIBIRLO ?"),
                                Icono::Exclamacion, Botones::SiNo, QString(), Respuesta::No) != Respuesta::Si)
            return false;
        QFile viejo(archivo);
        if (!viejo.remove()) {
            interaccion.mensaje(QStringLiteral("No se puede reemplazar el archivo ") + archivo +
                                    QStringLiteral(" (") + viejo.errorString() + u')',
                                Icono::Critico);
            return false;
        }
    }
    const QString str = QStringLiteral("String");
    QString xml = HeadExcel() + crLf + QStringLiteral("<Row>") + crLf;
    for (const char* t : {"[FILA]", "[COLUMNA]", "[TEXTO]", "[GRAVEDAD]", "[TIPO]", "[DETALLE]"})
        xml += AddCellExcel(QString::fromLatin1(t), str) + crLf;
    xml += QStringLiteral("</Row>") + crLf;
    for (const Hallazgo& h : revision.hallazgos) {
        xml += QStringLiteral("<Row>") + crLf;
        xml += AddCellExcel(QString::number(h.fila), QStringLiteral("Number")) + crLf;
        xml += AddCellExcel(h.columna, str) + crLf;
        xml += AddCellExcel(h.texto, str) + crLf;
        xml += AddCellExcel(esError(h.tipo) ? QStringLiteral("Error") : QStringLiteral("Advertencia"), str) +
               crLf;
        xml += AddCellExcel(tituloTipo(h.tipo), str) + crLf;
        xml += AddCellExcel(h.detalle, str) + crLf;
        xml += QStringLiteral("</Row>") + crLf;
    }
    xml += CloseTagsExcel();
    if (!SaveFileUTF8(archivo, xml, &interaccion))
        return false;
    interaccion.mensaje(QStringLiteral("Generacion de archivo completado!") + crLf +
                            QStringLiteral("Ubicacion: ") + archivo,
                        Icono::Informacion);
    return true;
}

bool exportarRevision(const RevisionFactura& revision, Interaccion& interaccion) {
    const QString archivo = interaccion.guardarArchivo(lista::kTituloExportar, QStringLiteral("revision.xls"),
                                                       lista::filtroDialogo(lista::kFiltroExportar));
    return !archivo.isEmpty() && exportarRevision(revision, archivo, interaccion);
}

bool revisarAntesDeProcesar(Servicios& srv, const EstadoAsistente& estado, const GrillaDatos& grilla) {
    const RevisionFactura r = revisarFactura(grilla, {estado.g_sINTDUN, estado.g_sAA_MARCA, QLocale()});
    if (r.vacia())
        return true;
    // Errors stop the run whatever the window answers.
    return srv.interaccion().revisionFactura(r) && !r.hayErrores();
}

} // namespace tarvix
