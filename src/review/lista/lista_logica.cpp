#include "review/lista/lista_logica.h"

#include "components/clbase.h"
#include "components/comparacion.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "review/lista/modexcelxml.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cstring>

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

namespace {

// The conditions of both lists, as their statements write them.
const QString kCondicionErrores =
    QStringLiteral("(PRCEST = '' or PRCEST IS NULL or PRCCRC <> 'OK' or PRCCRC is null)");
const QString kCondicionOK = QStringLiteral("PRCCRC = 'OK'");

QString condicion(Modo modo) {
    return modo == Modo::ConErrores ? kCondicionErrores : kCondicionOK;
}

// Where each of SQLite's kinds of value sorts: NULL, numbers, texts, blobs.
int clase(const QVariant& v) {
    if (v.isNull())
        return 0;
    switch (v.metaType().id()) {
    case QMetaType::QString:
        return 2;
    case QMetaType::QByteArray:
        return 3;
    default:
        return 1;
    }
}

// Compares two values of a column as ORDER BY does on the working database.
int comparar(const QVariant& a, const QVariant& b) {
    const int ca = clase(a);
    const int cb = clase(b);
    if (ca != cb)
        return ca - cb;
    const auto signo = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (ca == 1) {
        if (a.metaType().id() == QMetaType::LongLong && b.metaType().id() == QMetaType::LongLong)
            return signo(a.toLongLong(), b.toLongLong());
        return signo(a.toDouble(), b.toDouble());
    }
    if (ca == 2) {
        const QByteArray x = a.toString().toUtf8();
        const QByteArray y = b.toString().toUtf8();
        return comparacion::compararSinMayusculas(nullptr, static_cast<int>(x.size()), x.constData(),
                                                  static_cast<int>(y.size()), y.constData());
    }
    if (ca == 3) {
        const QByteArray x = a.toByteArray();
        const QByteArray y = b.toByteArray();
        const int d =
            std::memcmp(x.constData(), y.constData(), static_cast<size_t>(std::min(x.size(), y.size())));
        return d != 0 ? d : signo(x.size(), y.size());
    }
    return 0;
}

} // namespace

QString sqlRegConErrores(const QString& interno) {
    return QStringLiteral("select * from ART where INTNRO = '") + vb::DoblarComillas(interno) +
           QStringLiteral("' and ") + kCondicionErrores + QStringLiteral(" order by PRCEST,PRCCRC,ARTORD");
}

QString sqlRegOK(const QString& interno) {
    return QStringLiteral("select * from ART where INTNRO = '") + vb::DoblarComillas(interno) +
           QStringLiteral("' and  ") + kCondicionOK + QStringLiteral(" order by ARTORD");
}

QString sqlLinea(Modo modo, const QString& interno, int artord) {
    return QStringLiteral("select * from ART where INTNRO = '") + vb::DoblarComillas(interno) +
           QStringLiteral("' and ARTORD = ") + QString::number(artord) + QStringLiteral(" and ") +
           condicion(modo);
}

bool vaAntes(Modo modo, const Valores& a, const Valores& b) {
    // ORDER BY PRCEST,PRCCRC,ARTORD or ORDER BY ARTORD.
    constexpr int kOrden = 0, kEstado = 8, kCrc = 9;
    if (modo == Modo::ConErrores) {
        for (const int c : {kEstado, kCrc}) {
            const int d = comparar(a[c], b[c]);
            if (d != 0)
                return d < 0;
        }
    }
    return comparar(a[kOrden], b[kOrden]) < 0;
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

void avisar(const Servicios& srv, const QString& texto, Icono icono, Botones botones = Botones::Aceptar,
            Respuesta sinSeam = Respuesta::Aceptar, Respuesta* respuesta = nullptr) {
    // Where there is no seam, the answer is the default button too.
    const Respuesta r =
        &srv.interaccion() ? srv.interaccion().mensaje(texto, icono, botones, QString(), sinSeam) : sinSeam;
    if (respuesta)
        *respuesta = r;
}

Velno::clBase& baseDeTrabajo(const Servicios& srv) {
    if (!srv.g_oBase)
        throw VbError(91, QStringLiteral("frmDEP"),
                      QStringLiteral("Variable de objeto o bloque With no establecido"));
    return *srv.g_oBase;
}

// The columns of lstDEP, in order: the item's text, then its ten sub-items.
const char* const kColumnasLista[lista::kColumnas] = {"ARTORD", "ARTNRO", "ARTDSC", "ARTORG",
                                                      "ARTCAN", "ARTUNI", "ARTTOT", "PRCNCM",
                                                      "PRCEST", "PRCCRC", "PRCOBS"};
constexpr int kColumnaEstado = 8;

// Where the columns of the list are in the rows of `rs` (which has a current row), looked for in
// the order the original loading read them: a missing one raises as Fields does.
std::array<int, lista::kColumnas> indices(const Recordset& rs) {
    std::array<int, lista::kColumnas> r{};
    for (int c = 0; c < lista::kColumnas; ++c)
        r[static_cast<size_t>(c)] = rs.Indice(QString::fromLatin1(kColumnasLista[c]));
    return r;
}

lista::Valores valores(const Recordset& rs, const std::array<int, lista::kColumnas>& columnas) {
    lista::Valores v;
    for (size_t c = 0; c < v.size(); ++c)
        v[c] = rs.Fields(columnas[c]);
    return v;
}

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

ListaDEP::ListaDEP(Servicios& srv, EstadoAsistente& estado, EditorRegistro editor)
    : m_srv(srv), m_estado(estado), m_editor(std::move(editor)) {}

void ListaDEP::Form_Load() {
    cargar(lista::modoDe(m_estado.g_iModoLista));
}

void ListaDEP::CargarRegConErrores() {
    cargar(lista::Modo::ConErrores);
}

void ListaDEP::CargarRegOK() {
    cargar(lista::Modo::Correctos);
}

const Mesquel::Formatos& ListaDEP::formatos() const {
    static const Mesquel::Formatos locales;
    return m_srv.g_oFormatos ? *m_srv.g_oFormatos : locales;
}

QString ListaDEP::texto(int fila, int columna) const {
    const QVariant& v = m_filas[static_cast<size_t>(fila)][static_cast<size_t>(columna)];
    return columna == 0 ? vb::Format(formatos().EsNull(v), QStringLiteral("0000")) : formatos().EsNull(v);
}

std::optional<ColorTexto> ListaDEP::color(int fila) const {
    return lista::colorPorEstado(m_modo,
                                 formatos().EsNull(m_filas[static_cast<size_t>(fila)][kColumnaEstado]));
}

ItemDEP ListaDEP::item(int fila) const {
    ItemDEP r;
    r.texto = texto(fila, 0);
    for (int c = 1; c < lista::kColumnas; ++c)
        r.subItems << texto(fila, c);
    r.color = color(fila);
    return r;
}

std::vector<ItemDEP> ListaDEP::lstDEP() const {
    std::vector<ItemDEP> r;
    r.reserve(m_filas.size());
    for (int i = 0; i < filas(); ++i)
        r.push_back(item(i));
    return r;
}

void ListaDEP::cargar(lista::Modo modo) {
    if (m_observador)
        m_observador->antesDeCargar();
    m_modo = modo;
    m_interno = m_estado.g_sInterno;
    // The vector is replaced, not cleared, so that a long list gives its memory back.
    std::vector<lista::Valores>().swap(m_filas);
    try {
        Velno::clBase& base = baseDeTrabajo(m_srv);
        base.setSql(modo == lista::Modo::ConErrores ? lista::sqlRegConErrores(m_estado.g_sInterno)
                                                    : lista::sqlRegOK(m_estado.g_sInterno));
        // Only the columns of the list are kept of "select *": ART has some forty.
        static const QStringList campos = [] {
            QStringList c;
            for (const char* nombre : kColumnasLista)
                c << QString::fromLatin1(nombre);
            return c;
        }();
        Recordset rs;
        base.CrearRs(rs, campos);
        if (!rs.EOF_()) {
            const auto columnas = indices(rs);
            m_filas.reserve(static_cast<size_t>(rs.RecordCount()));
            for (; !rs.EOF_(); rs.MoveNext())
                m_filas.push_back(valores(rs, columnas));
        }
    } catch (const VbError& e) {
        avisar(m_srv, informeCorto(e, lista::kEtiquetaCarga), Icono::Ninguno);
    }
    if (m_observador)
        m_observador->cargada();
    if (cambiado)
        cambiado();
}

bool ListaDEP::abrirEditor(int fila) {
    if (m_filas.empty() || fila < 0 || fila >= filas() || !m_editor)
        return false;
    m_estado.g_sRetorno = QString();
    bool ok = false;
    const int artord = texto(fila, 0).toInt(&ok);
    if (!ok)
        return false;
    const bool guardo = m_editor(artord);
    if (!guardo && m_estado.g_sRetorno != u"OK")
        return false;
    // The list the window shows, whatever mode step 3 has chosen since; of another interno, whole.
    if (m_interno != m_estado.g_sInterno)
        cargar(m_modo);
    else
        actualizar(fila);
    return true;
}

void ListaDEP::actualizar(int fila) {
    const auto desde = static_cast<size_t>(fila);
    const int artord = texto(fila, 0).toInt();
    std::optional<lista::Valores> nueva;
    try {
        Velno::clBase& base = baseDeTrabajo(m_srv);
        base.setSql(lista::sqlLinea(m_modo, m_estado.g_sInterno, artord));
        Recordset rs;
        if (base.CrearRs(rs))
            nueva = valores(rs, indices(rs));
    } catch (const VbError&) {
        // Whatever failed, loading the whole list again reports it as a load does.
        cargar(m_modo);
        return;
    }
    if (!nueva) {
        if (m_observador)
            m_observador->antesDeQuitar(fila);
        m_filas.erase(m_filas.begin() + fila);
        if (m_observador)
            m_observador->quitada();
    } else {
        // Its place among the other lines: the list stays in its statement's order.
        const auto resto = [&](size_t i) -> const lista::Valores& { return m_filas[i < desde ? i : i + 1]; };
        size_t bajo = 0, alto = m_filas.size() - 1;
        while (bajo < alto) {
            const size_t medio = (bajo + alto) / 2;
            if (lista::vaAntes(m_modo, resto(medio), *nueva))
                bajo = medio + 1;
            else
                alto = medio;
        }
        const size_t hasta = bajo;
        if (hasta != desde) {
            if (m_observador)
                m_observador->antesDeMover(fila, static_cast<int>(hasta));
            if (hasta > desde)
                std::rotate(m_filas.begin() + fila, m_filas.begin() + fila + 1,
                            m_filas.begin() + static_cast<std::ptrdiff_t>(hasta) + 1);
            else
                std::rotate(m_filas.begin() + static_cast<std::ptrdiff_t>(hasta), m_filas.begin() + fila,
                            m_filas.begin() + fila + 1);
        }
        m_filas[hasta] = std::move(*nueva);
        if (m_observador) {
            if (hasta != desde)
                m_observador->movida();
            m_observador->cambiada(static_cast<int>(hasta));
        }
    }
    if (cambiado)
        cambiado();
}

void ListaDEP::mnu_expoExcel_Click() {
    const QString archivo =
        &m_srv.interaccion()
            ? m_srv.interaccion().guardarArchivo(lista::kTituloExportar, QString(),
                                                 lista::filtroDialogo(lista::kFiltroExportar))
            : QString();
    if (!archivo.isEmpty())
        ExportarAExcel(archivo);
    else
        avisar(m_srv, lista::kCancelado, Icono::Exclamacion);
}

void ListaDEP::ExportarAExcel(const QString& archivo) {
    using namespace modExcelXMl;
    const QString crLf = QStringLiteral("\r\n");
    int linea = 0;
    try {
        linea = 10;
        // A symbolic link counts as existing even when its target is missing: on "Sí" the link
        // itself is removed and a new file written in its place, never its target.
        const QFileInfo info(archivo);
        if (info.exists() || info.isSymLink()) {
            linea = 20;
            Respuesta r = Respuesta::No;
            avisar(m_srv,
                   QStringLiteral("El archivo [") + archivo +
                       QStringLiteral("] ya existe, desea SOBREESCRIBIRLO ?"),
                   Icono::Exclamacion, Botones::SiNo, Respuesta::No, &r);
            if (r != Respuesta::Si) {
                linea = 30;
                avisar(m_srv, lista::kCancelado, Icono::Exclamacion);
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
        if (!SaveFileUTF8(archivo, HeadExcel(), &m_srv.interaccion())) {
            avisar(m_srv, errores, Icono::Critico);
            return;
        }
        linea = 60;
        ax_XmlExcel.clear();
        linea = 70;
        ax_XmlExcel += AddTitleRowExcel();
        linea = 80;
        const QString str = QStringLiteral("String");
        for (int fila = 0; fila < filas(); ++fila) {
            const ItemDEP item = this->item(fila);
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
        if (SaveFileUTF8(archivo, ax_XmlExcel, &m_srv.interaccion())) {
            linea = 230;
            avisar(m_srv,
                   QStringLiteral("Generacion de archivo completado!") + crLf +
                       QStringLiteral("Ubicacion: ") + archivo,
                   Icono::Informacion);
        } else {
            linea = 240;
            avisar(m_srv, errores, Icono::Critico);
        }
    } catch (const VbError& e) {
        avisar(m_srv,
               QStringLiteral("ExportarAExcel Error:") + QString::number(e.numero()) + QStringLiteral(": ") +
                   e.descripcion() + QStringLiteral(" L:") + QString::number(linea),
               Icono::Exclamacion);
    }
}

} // namespace tarvix
