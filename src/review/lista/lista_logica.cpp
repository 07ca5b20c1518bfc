#include "review/lista/lista_logica.h"

#include "components/clbase.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "review/lista/modexcelxml.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace tarvix {

namespace lista {

Modo modoDe(int g_iModoLista) {
    return g_iModoLista == 1 ? Modo::ConErrores : Modo::Correctos;
}

QStringList encabezados() {
    return {QStringLiteral("Orden"),  QStringLiteral("Articulo"), QStringLiteral("Descripción"),
            QStringLiteral("Origen"), QStringLiteral("Cantidad"), QStringLiteral("Unitario"),
            QStringLiteral("Total"),  QStringLiteral("Posición"), QStringLiteral("Estado"),
            QStringLiteral("CRC"),    QStringLiteral("Obs")};
}

QString sqlRegConErrores(const QString& interno) {
    return QStringLiteral("select * from ART where INTNRO = '") + vb::DoblarComillas(interno) +
           QStringLiteral("' and (PRCEST = '' or PRCEST IS NULL or PRCCRC <> 'OK' or PRCCRC is null) "
                          "order by PRCEST,PRCCRC,ARTORD");
}

QString sqlRegOK(const QString& interno) {
    return QStringLiteral("select * from ART where INTNRO = '") + vb::DoblarComillas(interno) +
           QStringLiteral("' and  PRCCRC = 'OK' order by ARTORD");
}

std::optional<ColorTexto> colorPorEstado(Modo modo, const QString& prcest) {
    if (prcest == u"U")
        return ColorTexto{0, 0, 192};
    if (modo == Modo::ConErrores)
        return prcest.isEmpty() ? ColorTexto{128, 0, 0} : ColorTexto{0, 0, 128};
    if (prcest == u"M")
        return ColorTexto{0, 128, 128};
    return std::nullopt;
}

QString filtroDialogo(const QString& filtro) {
    QString descripcion = filtro.section(u'|', 0, 0);
    descripcion.replace(u';', u' ');
    return descripcion;
}

GeometriaLista geometriaLista(int anchoInterior, int altoInterior) {
    constexpr int kTwipsPorPixel = 15;
    const auto pixeles = [](int twips) { return (twips + kTwipsPorPixel / 2) / kTwipsPorPixel; };
    GeometriaLista r;
    r.izquierda = pixeles(40);
    r.arriba = pixeles(40);
    const int ancho = anchoInterior - pixeles(90);
    const int alto = altoInterior - pixeles(90);
    if (ancho >= 0)
        r.ancho = ancho;
    if (alto >= 0)
        r.alto = alto;
    return r;
}

} // namespace lista

namespace {

void avisar(const Globales& g, const QString& texto, Icono icono, Botones botones = Botones::Aceptar,
            Respuesta sinSeam = Respuesta::Aceptar, Respuesta* respuesta = nullptr) {
    // Where there is no seam, the answer is the default button too.
    const Respuesta r =
        g.interaccion ? g.interaccion->mensaje(texto, icono, botones, QString(), sinSeam) : sinSeam;
    if (respuesta)
        *respuesta = r;
}

// The sub-item columns of lstDEP, in order.
const char* const kColumnasSubItems[] = {"ARTNRO", "ARTDSC", "ARTORG", "ARTCAN", "ARTUNI",
                                         "ARTTOT", "PRCNCM", "PRCEST", "PRCCRC", "PRCOBS"};

// A quantity, unit price or total: a "Number" cell with the point as decimal separator. An empty
// (Null) or non-numeric value would show as an error in the spreadsheet; it goes as "String".
QString celdaNumero(const QString& valor) {
    const QString conPunto = vb::PuntoDecimal(valor);
    bool ok = false;
    QLocale::c().toDouble(conPunto, &ok);
    return ok ? modExcelXMl::AddCellExcel(conPunto, QStringLiteral("Number"))
              : modExcelXMl::AddCellExcel(valor, QStringLiteral("String"));
}

} // namespace

ListaDEP::ListaDEP(Globales& g, EditorRegistro editor) : m_g(g), m_editor(std::move(editor)) {}

void ListaDEP::Form_Load() {
    cargar(lista::modoDe(m_g.g_iModoLista));
}

void ListaDEP::CargarRegConErrores() {
    cargar(lista::Modo::ConErrores);
}

void ListaDEP::CargarRegOK() {
    cargar(lista::Modo::Correctos);
}

void ListaDEP::cargar(lista::Modo modo) {
    m_modo = modo;
    m_items.clear();
    const Mesquel::Formatos formatosLocales;
    const Mesquel::Formatos& f = m_g.g_oFormatos ? *m_g.g_oFormatos : formatosLocales;
    try {
        if (!m_g.g_oBase)
            throw VbError(91, QStringLiteral("frmDEP"),
                          QStringLiteral("Variable de objeto o bloque With no establecido"));
        m_g.g_oBase->setSql(modo == lista::Modo::ConErrores ? lista::sqlRegConErrores(m_g.g_sInterno)
                                                            : lista::sqlRegOK(m_g.g_sInterno));
        Recordset rs;
        m_g.g_oBase->CrearRs(rs);
        while (!rs.EOF_()) {
            ItemDEP item;
            item.texto = vb::Format(f.EsNull(rs.Fields(QStringLiteral("ARTORD"))), QStringLiteral("0000"));
            for (const char* columna : kColumnasSubItems)
                item.subItems << f.EsNull(rs.Fields(QString::fromLatin1(columna)));
            item.color = lista::colorPorEstado(modo, f.EsNull(rs.Fields(QStringLiteral("PRCEST"))));
            m_items.push_back(std::move(item));
            rs.MoveNext();
        }
    } catch (const VbError& e) {
        avisar(m_g, informeCorto(e, lista::kEtiquetaCarga), Icono::Ninguno);
    }
    if (cambiado)
        cambiado();
}

bool ListaDEP::abrirEditor(int fila) {
    if (m_items.empty() || fila < 0 || fila >= static_cast<int>(m_items.size()) || !m_editor)
        return false;
    m_g.g_sRetorno = QString();
    bool ok = false;
    const int artord = m_items[static_cast<size_t>(fila)].texto.toInt(&ok);
    if (!ok)
        return false;
    const bool guardo = m_editor(artord);
    if (!guardo && m_g.g_sRetorno != u"OK")
        return false;
    // The list the window shows is reloaded, whatever mode step 3 has chosen since.
    cargar(m_modo);
    return true;
}

void ListaDEP::mnu_expoExcel_Click() {
    const QString archivo =
        m_g.interaccion ? m_g.interaccion->guardarArchivo(lista::kTituloExportar, QString(),
                                                          lista::filtroDialogo(lista::kFiltroExportar))
                        : QString();
    if (!archivo.isEmpty())
        ExportarAExcel(archivo);
    else
        avisar(m_g, lista::kCancelado, Icono::Exclamacion);
}

void ListaDEP::ExportarAExcel(const QString& archivo) {
    using namespace modExcelXMl;
    const QString crLf = QStringLiteral("\r\n");
    int linea = 0;
    try {
        linea = 10;
        if (QFileInfo::exists(archivo)) {
            linea = 20;
            Respuesta r = Respuesta::No;
            avisar(m_g,
                   QStringLiteral("El archivo [") + archivo +
                       QStringLiteral("] ya existe, desea SOBREESCRIBIRLO ?"),
                   Icono::Exclamacion, Botones::SiNo, Respuesta::No, &r);
            if (r != Respuesta::Si) {
                linea = 30;
                avisar(m_g, lista::kCancelado, Icono::Exclamacion);
                return;
            }
            linea = 40;
            QFile viejo(archivo);
            if (!viejo.remove())
                throw VbError(75, QStringLiteral("frmDEP"),
                              QStringLiteral("Error de acceso a la ruta o al archivo: ") + archivo +
                                  QStringLiteral(" (") + viejo.errorString() + u')');
        }
        const QString errores =
            QStringLiteral("Se han producido errores al generar el archivo, es posible que "
                           "este se encuentre incompleto, vacio o erroneo.");
        linea = 50;
        // A head that could not be written leaves no usable file: stop before the body.
        if (!SaveFileUTF8(archivo, HeadExcel(), m_g.interaccion)) {
            avisar(m_g, errores, Icono::Critico);
            return;
        }
        linea = 60;
        ax_XmlExcel.clear();
        linea = 70;
        ax_XmlExcel += AddTitleRowExcel();
        linea = 80;
        const QString str = QStringLiteral("String");
        for (const ItemDEP& item : m_items) {
            linea = 90;
            ax_XmlExcel += QStringLiteral("<Row>") + crLf;
            linea = 100;
            ax_XmlExcel += AddCellExcel(item.texto, str);
            for (int i = 0; i < 9; ++i) {
                linea = 110 + 10 * i;
                const QString& valor = item.subItems.value(i);
                ax_XmlExcel += (i >= 3 && i <= 5) ? celdaNumero(valor) : AddCellExcel(valor, str);
            }
            linea = 200;
            ax_XmlExcel += QStringLiteral("</Row>") + crLf;
        }
        linea = 210;
        ax_XmlExcel += CloseTagsExcel();
        linea = 220;
        if (SaveFileUTF8(archivo, ax_XmlExcel, m_g.interaccion)) {
            linea = 230;
            avisar(m_g,
                   QStringLiteral("Generacion de archivo completado!") + crLf +
                       QStringLiteral("Ubicacion: ") + archivo,
                   Icono::Informacion);
        } else {
            linea = 240;
            avisar(m_g, errores, Icono::Critico);
        }
    } catch (const VbError& e) {
        avisar(m_g,
               QStringLiteral("ExportarAExcel Error:") + QString::number(e.numero()) + QStringLiteral(": ") +
                   e.descripcion() + QStringLiteral(" L:") + QString::number(linea),
               Icono::Exclamacion);
    }
}

} // namespace tarvix
