#include "pipeline/proceso.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/espera.h"
#include "components/estadoasistente.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/servicios.h"
#include "components/sufijos.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "pipeline/etiquetas.h"
#include "pipeline/modglobal.h"

#include <QCoreApplication>
#include <algorithm>
#include <optional>

namespace tarvix {

namespace {

constexpr int kNoMapeado = -999;

// Column of each field; fields that treat column 0 as not mapped start at 0.
struct Posiciones {
    int articulo = 0, descripc = 0, ncm = kNoMapeado, unidad = kNoMapeado, unidadQx = kNoMapeado;
    int cantidad = 0, total = 0, origen = 0, procedencia = 0, fechaEmbarque = 0, fechaArribo = 0;
    int marca = kNoMapeado, otros = 0;
    double kilos = 0;
};

Posiciones leerMapeo(const GrillaDatos& grilla) {
    Posiciones p;
    const int cols = grilla.Cols();
    for (int c = 0; c < cols; ++c) {
        const QString t = grilla.TextMatrix(1, c);
        if (t == etiqueta::ARTICULO)
            p.articulo = c;
        else if (t == etiqueta::DESCRIPC)
            p.descripc = c;
        else if (t == etiqueta::NCM)
            p.ncm = c;
        else if (t == etiqueta::UNIDAD)
            p.unidad = c;
        else if (t == etiqueta::UNIDADQX)
            p.unidadQx = c;
        else if (t == etiqueta::CANTIDAD)
            p.cantidad = c;
        else if (t == etiqueta::TOTAL)
            p.total = c;
        else if (t == etiqueta::ORIGEN)
            p.origen = c;
        else if (t == etiqueta::PROCEDENCIA)
            p.procedencia = c;
        else if (t == etiqueta::KILOS)
            p.kilos = c;
        else if (t == etiqueta::FECHA_EMBARQUE)
            p.fechaEmbarque = c;
        else if (t == etiqueta::FECHA_ARRIBO)
            p.fechaArribo = c;
        else if (t == etiqueta::MARCA)
            p.marca = c;
        else if (t == etiqueta::OTROS)
            p.otros = c;
        // The MARIA descriptions, MODELO and the suffix labels are recognised and not read.
    }
    return p;
}

// Apostrophes to blanks, then blanks trimmed: how invoice texts are cleaned.
QString limpio(const QString& s) {
    return vb::Trim(vb::ComillasABlancos(s));
}

// Appends a quoted value of a statement: the text with its quotes doubled, between quotes, and a
// comma.
void q(QString& sql, const QString& s) {
    sql += u'\'';
    if (s.contains(u'\'') || s.contains(QChar(0)))
        sql += vb::DoblarComillas(s);
    else
        sql += s;
    sql += QStringLiteral("',");
}

// A number brought to two decimals through its "00.00" text.
double dosDecimales(double v) {
    return vb::CDbl(vb::Format(v, QStringLiteral("00.00")));
}

// State of the run that the error report shows.
struct Estado {
    int linea = 0;
    QString filaExcel;
    QString articuloExcel;
    QString sql;
};

class Proceso {
public:
    Proceso(Servicios& srv, EstadoAsistente& estado, const GrillaDatos& grilla)
        : m_srv(srv), m_estado(estado), m_grilla(grilla) {}

    bool ejecutar();

private:
    void etapa1(const Posiciones& p);
    void etapa2();
    void etapa3();
    void etapa4();
    void mensaje(const QString& t) { m_srv.progreso().mensaje(t); }
    void barraRango(int minimo, int maximo) { m_srv.progreso().barraRango(minimo, maximo); }
    void barraValor(int v) { m_srv.progreso().barraValor(v); }
    QString interno() const { return vb::DoblarComillas(m_estado.g_sInterno); }
    qint64 ejecutarSql(const QString& sql) {
        if (&sql != &m_e.sql)
            m_e.sql = sql;
        m_srv.g_oBase->setSql(m_e.sql);
        return m_srv.g_oBase->Ejecutar();
    }
    Velno::clBase& aduana(const QString& entidad) {
        return m_srv.g_oCentral->getDataConnectionByEntity(entidad);
    }
    // Sets the statement on the entity's connection and runs it on the connection asked for again.
    bool consultarAduana(const QString& entidad, const QString& sql, Recordset& rs) {
        aduana(entidad).setSql(sql);
        return aduana(entidad).CrearRs(rs);
    }
    QString texto(const Recordset& rs, const QString& campo) const {
        return m_srv.g_oFormatos->EsNull(rs.Fields(campo));
    }

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    const GrillaDatos& m_grilla;
    Estado m_e;
    Sorvex::Sufijos m_validador;
    // Stage 1: the suffix groups of each position, read once per run.
    GruposPorPosicion m_gruposSufijos;
};

bool Proceso::ejecutar() {
    try {
        m_e.linea = 10;
        m_srv.progreso().barraVisible(true);
        m_e.linea = 20;
        m_validador.ConexionString(*m_srv.g_oCentral);
        m_e.linea = 30;
        if (m_estado.g_sINTCAT.isEmpty()) {
            m_srv.interaccion().mensaje(QStringLiteral("Falta seleccionar el CATALOGO") +
                                            QStringLiteral("\r\n\r\n") +
                                            QStringLiteral("Haga click en CONFIGURACIÓN"),
                                        Icono::Exclamacion, Botones::Aceptar);
            return false;
        }
        m_e.linea = 40;
        const Posiciones p = leerMapeo(m_grilla);
        // The whole run writes the working database in one lote: one commit instead of one per line.
        Velno::LoteSql lote(*m_srv.g_oBase);
        // The catalog and the nomenclator are only read during the run: each holds one view of its
        // database for all of it. (An entity missing from the configuration is reported by the
        // stage that first uses it.)
        std::optional<Velno::LoteSql> vistaCatalogo, vistaNcm;
        if (m_srv.g_oCentral->tieneEntidad(QStringLiteral("INTERNOS")))
            vistaCatalogo.emplace(aduana(QStringLiteral("INTERNOS")), Velno::LoteSql::Uso::Lecturas);
        if (m_srv.g_oCentral->tieneEntidad(QStringLiteral("NCM")))
            vistaNcm.emplace(aduana(QStringLiteral("NCM")), Velno::LoteSql::Uso::Lecturas);
        m_e.linea = 50;
        ejecutarSql(QStringLiteral("delete from ART where INTNRO = '") + interno() + u'\'');
        etapa1(p);
        etapa2();
        etapa3();
        etapa4();
        lote.terminar();
        m_e.linea = 500;
        mensaje(QStringLiteral("Procesando... Cantidades declaradas"));
        mensaje(QStringLiteral("Fin de Proceso"));
        m_srv.progreso().barraVisible(false);
        return true;
    } catch (const VbError& e) {
        m_srv.interaccion().mensaje(InformeError::descripcionYNumero(e)
                                        .seccion(u" - seccion [", u"frmMain.FRAM2_GuardarDatosToBase (", u"")
                                        .mas(m_e.linea)
                                        .mas(u")]::")
                                        .mas(e.origen())
                                        .mas(u"\r\n\r\nlinea excel ")
                                        .mas(m_e.filaExcel)
                                        .mas(u" articulo excel ")
                                        .mas(m_e.articuloExcel)
                                        .mas(u"\r\n")
                                        .mas(m_e.sql),
                                    Icono::Critico, Botones::Aceptar);
        return false;
    }
}

void Proceso::etapa1(const Posiciones& p) {
    m_e.linea = 60;
    mensaje(QStringLiteral("Procesando... Etapa 1 de 4: Guardando en base de datos"));
    const int filas = m_grilla.Rows();
    barraRango(0, filas - 1);
    barraValor(1);
    m_e.linea = 70;
    const QString prefijo =
        QStringLiteral(
            "insert into ART (INTNRO , ARTORD, ARTNRO, ARTDSC ,PRCDUN, ARTCAN, PRCCAN, ARTUNI, ARTTOT,OTROS, "
            "PRCESM ,ARTORG, PRCORI, PROCEDENCIA, ARTKGU, FECHA_EMBARQUE, FECHA_ARRIBO, ARTDSCMARIA, "
            "ARTDSCMARIA2, ARTDSCMARIA3, MARCA, MODELO, SUFIJO1, VALOR_SUFIJO1, SUFIJO2, VALOR_SUFIJO2, "
            "SUFIJO3, VALOR_SUFIJO3, PRCSUF, PRCLAP, PRCEUN, PRCSUN, PRCEST) values (") +
        u'\'' + interno() + QStringLiteral("', ");
    // The line counter is wide: an invoice of more than 32,767 lines is stored whole.
    qint64 orden = 1;
    const int colKilos = static_cast<int>(std::lround(p.kilos));
    const bool conUnidad = p.unidad != kNoMapeado;
    const bool conUnidadQx = p.unidadQx != kNoMapeado;

    for (int fila = 2; fila < filas; ++fila) {
        m_e.linea = 80;
        m_e.sql = prefijo;
        auto celda = [&](int col) { return m_grilla.TextMatrix(fila, col); };
        m_e.filaExcel = QString::number(fila);
        m_e.articuloExcel = celda(p.articulo);
        ValidarCodigoArticulo(vb::ComillasABlancos(m_e.articuloExcel), fila);

        m_e.linea = 90;
        // The statement is built in place, so that a failure reports the text built so far.
        QString& sql = m_e.sql;
        sql = prefijo;
        sql.reserve(prefijo.size() + 1024);
        sql += QString::number(orden) + u',';
        q(sql, limpio(celda(p.articulo)));
        q(sql, limpio(celda(p.descripc)));

        m_e.linea = 100;
        // Declared unit, quantity, unit price and total by the unit fields that are mapped.
        const double cantidad = dosDecimales(m_srv.g_oFormatos->EsNumero(celda(p.cantidad)));
        const double total = dosDecimales(m_srv.g_oFormatos->EsNumero(celda(p.total)));
        QString unidad, textoCantidad, textoPrecio;
        if (conUnidadQx && !conUnidad) {
            DatosUnidad d;
            d.UnidadOrigen = vb::Trim(celda(p.unidadQx));
            d.Cantidad = cantidad;
            d.PrecioUnitario = vb::CDbl(vb::Format(vb::Dividir(total, cantidad), QStringLiteral("00.00000")));
            d.Total = total;
            ProcesarUnidades(d);
            unidad = d.UnidadDestino;
            textoCantidad = vb::NumeroSql(d.CantidadDestino);
            textoPrecio = vb::NumeroSql(d.PrecioDestino);
        } else {
            unidad = ObtenerCodigoUnidad(m_estado,
                                         conUnidad && !conUnidadQx ? vb::Trim(celda(p.unidad)) : QString());
            textoCantidad = vb::NumeroSql(cantidad);
            textoPrecio =
                vb::PuntoDecimal(vb::Format(vb::Dividir(total, cantidad), QStringLiteral("00.00000")));
        }
        q(sql, unidad);
        sql += textoCantidad + u',';
        sql += textoCantidad + u',';
        sql += textoPrecio + u',';
        sql += vb::NumeroSql(total) + u',';
        q(sql, p.otros != 0 ? limpio(celda(p.otros)) : QString());
        q(sql, QStringLiteral("2"));

        m_e.linea = 110;
        const QString origen = vb::Trim(celda(p.origen));
        q(sql, BuscarOrigen(m_srv, m_estado, origen).ORI);
        q(sql, BuscarOrigen(m_srv, m_estado, origen).ORI);
        q(sql,
          p.procedencia != 0 ? BuscarOrigen(m_srv, m_estado, vb::Trim(celda(p.procedencia))).ORI : QString());

        m_e.linea = 120;
        // The weight goes in as a number (point-decimal), so the column holds 12.5 and not the
        // locale's text "12,50" under any locale.
        if (colKilos != 0)
            sql += vb::PuntoDecimal(
                       vb::Format(m_srv.g_oFormatos->EsNumero(celda(colKilos)), QStringLiteral("00.00"))) +
                   u',';
        else
            sql += QStringLiteral("0,");
        q(sql, p.fechaEmbarque != 0 ? vb::Trim(celda(p.fechaEmbarque)) : QString());
        q(sql, p.fechaArribo != 0 ? vb::Trim(celda(p.fechaArribo)) : QString());
        for (int i = 0; i < 3; ++i)
            q(sql, QString());

        m_e.linea = 130;
        QString marca =
            p.marca != kNoMapeado ? vb::Left(vb::UCase(limpio(celda(p.marca))), 20) : m_estado.g_sAA_MARCA;
        QString modelo = vb::Left(vb::UCase(limpio(celda(p.articulo))), 20);
        q(sql, marca);
        q(sql, modelo);
        for (int i = 0; i < 6; ++i)
            q(sql, QString());

        m_e.linea = 140;
        QString sufijos;
        if (p.ncm != kNoMapeado) {
            QString posicion = FormatearNCM(vb::Trim(celda(p.ncm)));
            QString s1, v1, s2, v2, s3, v3;
            sufijos = ArmarSufijos(m_srv, posicion, marca, modelo, s1, v1, s2, v2, s3, v3, &m_gruposSufijos);
        }
        q(sql, sufijos);
        for (int i = 0; i < 3; ++i)
            q(sql, QString());
        sql += QStringLiteral("'')");

        m_e.linea = 150;
        ejecutarSql(sql);
        ++orden;
        barraValor(fila);
    }
    m_e.linea = 160;
    barraRango(0, 10);
    barraValor(1);
    m_e.filaExcel.clear();
    m_e.articuloExcel.clear();
}

// The ncm reads of stage 2 for a catalog position and its lapi: the letter (with the lapi when the
// catalog has none), run first unless the catalog has a lapi and the position is not 14 long, and
// the statistics unit and the one of the duty.
struct LecturasNcm {
    QString primera; // empty when it is not run
    QString datos;
};

LecturasNcm lecturasNcm(const QString& ncmCatalogo, const QString& lapi) {
    const QString clave =
        QStringLiteral(" [001] = '") + vb::DoblarComillas(vb::Left(ncmCatalogo, 10)) +
        QStringLiteral("' and [002] = '") +
        vb::DoblarComillas(ncmCatalogo.size() >= 12 ? vb::Mid(ncmCatalogo, 12, 3) : QString()) + u'\'';
    LecturasNcm l;
    if (!vb::Trim(lapi).isEmpty()) {
        if (vb::Trim(ncmCatalogo).size() == 14)
            l.primera = QStringLiteral("select [003] as letra from ncm where ") + clave;
    } else {
        l.primera = QStringLiteral("select [003] as letra,[059] as lapi from ncm where ") + clave;
    }
    l.datos =
        QStringLiteral("select [059] as lapi, [012] as estadistica,[020] as deresp from ncm where ") + clave;
    return l;
}

void Proceso::etapa2() {
    m_e.linea = 200;
    mensaje(QStringLiteral("Procesando... Etapa 2 de 4: Buscando articulos en catalogo"));
    m_e.linea = 210;
    Recordset grupos;
    m_srv.g_oBase->setSql(
        QStringLiteral("select DISTINCT ARTNRO, ARTUNI, MARCA, ARTDSC from ART where INTNRO = '") +
        interno() + QStringLiteral("' order by ARTNRO"));
    m_e.sql = m_srv.g_oBase->Sql();
    m_srv.g_oBase->CrearRs(grupos);
    barraRango(0, grupos.RecordCount());
    const QString catalogo = vb::DoblarComillas(m_estado.g_sINTCAT);
    const auto consultaCatalogo = [&catalogo](const QString& artnro) -> QString {
        return QStringLiteral(
                   "select ncm, lapi, sufijos, idunidad, estadistica, estadomerc, deresp, preciounitario, "
                   "descripcion, idpais, ArtKgUnitario, descripcion, descripcion_maria, codigoean from "
                   "catarticulos where idcatalogo = '") +
               catalogo + QStringLiteral("' and idarticulo = '") + vb::DoblarComillas(vb::Trim(artnro)) +
               u'\'';
    };

    // On a server the catalog reads of every article go ahead of the loop, and the ncm reads of
    // the next articles as soon as their catalog rows are in: the same statements, each sent once,
    // without a round trip each. Nothing is written to the catalog or to ncm meanwhile.
    // (An entity missing from the configuration is reported by the loop, when it first uses it.)
    Velno::clBase* internos = nullptr;
    Velno::clBase* ncm = nullptr;
    try {
        internos = &aduana(QStringLiteral("INTERNOS"));
        ncm = &aduana(QStringLiteral("NCM"));
    } catch (const VbError&) {
        internos = ncm = nullptr;
    }
    struct Olvido {
        Velno::clBase* base;
        ~Olvido() {
            if (base)
                base->OlvidarLecturas();
        }
    } olvidoInternos{internos}, olvidoNcm{ncm};
    const bool adelantar = internos && ncm && internos->AnticipaLecturas();
    if (adelantar) {
        QStringList consultas;
        consultas.reserve(grupos.RecordCount());
        for (; !grupos.Fin(); grupos.MoveNext())
            consultas << consultaCatalogo(texto(grupos, QStringLiteral("ARTNRO")));
        grupos.MoveFirst();
        internos->AnticiparLecturas(consultas);
    }
    constexpr int kTramoNcm = 128;
    int actual = 0;
    int ncmHasta = adelantar && ncm->AnticipaLecturas() ? 0 : grupos.RecordCount() + 1;

    while (!grupos.Fin()) {
        m_e.linea = 220;
        if (actual == ncmHasta) {
            QStringList lecturas;
            Recordset c;
            int i = actual;
            for (; i < std::min(actual + kTramoNcm, grupos.RecordCount()); ++i) {
                if (!internos->VerLecturaAnticipada(i - actual, c))
                    break;
                if (c.Fin())
                    continue;
                const LecturasNcm l =
                    lecturasNcm(texto(c, QStringLiteral("ncm")), texto(c, QStringLiteral("lapi")));
                if (!l.primera.isEmpty())
                    lecturas << l.primera;
                lecturas << l.datos;
            }
            // A catalog read that failed stops the reads ahead: the loop reports it in its turn.
            ncmHasta = i == std::min(actual + kTramoNcm, grupos.RecordCount()) ? i : grupos.RecordCount() + 1;
            ncm->AnticiparLecturas(lecturas);
        }
        ++actual;
        const QString artnro = texto(grupos, QStringLiteral("ARTNRO"));
        const QString marcaGrupo = vb::Trim(texto(grupos, QStringLiteral("MARCA")));
        const QString dscGrupo = texto(grupos, QStringLiteral("ARTDSC"));
        Recordset cat;
        m_e.sql = consultaCatalogo(artnro);
        if (consultarAduana(QStringLiteral("INTERNOS"), m_e.sql, cat)) {
            m_e.linea = 230;
            QString& sql = m_e.sql;
            sql = QStringLiteral("update ART set ");
            const QString ncmCatalogo = texto(cat, QStringLiteral("ncm"));
            QString posicion = vb::Trim(ncmCatalogo);
            const QString lapi = texto(cat, QStringLiteral("lapi"));
            const LecturasNcm lecturas = lecturasNcm(ncmCatalogo, lapi);

            m_e.linea = 240;
            Recordset rs;
            if (!vb::Trim(lapi).isEmpty()) {
                sql += QStringLiteral("PRCLAP = '") + vb::DoblarComillas(lapi) + QStringLiteral("',");
                if (posicion.size() == 14 && consultarAduana(QStringLiteral("NCM"), lecturas.primera, rs))
                    posicion += vb::Trim(texto(rs, QStringLiteral("letra")));
            } else if (!consultarAduana(QStringLiteral("NCM"), lecturas.primera, rs)) {
                sql += QStringLiteral("PRCLAP = 'N',");
            } else {
                sql +=
                    QStringLiteral("PRCLAP = '") +
                    (texto(rs, QStringLiteral("lapi")) == u"*" ? QStringLiteral("S") : QStringLiteral("N")) +
                    QStringLiteral("',");
                if (posicion.size() == 14)
                    posicion += vb::Trim(texto(rs, QStringLiteral("letra")));
            }

            m_e.linea = 250;
            sql += QStringLiteral("PRCNCM = '") + vb::DoblarComillas(posicion) + QStringLiteral("',");
            sql += QStringLiteral("codigoCIP = '") +
                   vb::DoblarComillas(texto(cat, QStringLiteral("codigoean"))) + QStringLiteral("',");
            const QString sufijosCatalogo = texto(cat, QStringLiteral("sufijos"));
            if (marcaGrupo.isEmpty()) {
                sql +=
                    QStringLiteral("PRCSUF = '") + vb::DoblarComillas(sufijosCatalogo) + QStringLiteral("',");
            } else {
                QString valor = marcaGrupo;
                sql += QStringLiteral("PRCSUF = '") +
                       vb::DoblarComillas(
                           ImplementarVALORenSufijos(sufijosCatalogo, QStringLiteral("AA"), valor, true)) +
                       QStringLiteral("',");
            }

            m_e.linea = 260;
            const QString dscCatalogo = texto(cat, QStringLiteral("descripcion"));
            QString descripcion;
            if (vb::Trim(dscCatalogo).isEmpty())
                descripcion = dscGrupo;
            else if (!vb::Trim(dscGrupo).isEmpty())
                descripcion = dscGrupo;
            else
                descripcion = dscCatalogo;
            sql += QStringLiteral("ARTDSC = '") + vb::DoblarComillas(vb::Trim(descripcion)) +
                   QStringLiteral("',");
            sql += QStringLiteral("ARTDSCMARIA = '") +
                   vb::DoblarComillas(vb::Trim(texto(cat, QStringLiteral("descripcion_maria")))) +
                   QStringLiteral("',");

            m_e.linea = 270;
            if (consultarAduana(QStringLiteral("NCM"), lecturas.datos, rs)) {
                sql += QStringLiteral("PRCEUN = '") +
                       vb::DoblarComillas(texto(rs, QStringLiteral("estadistica"))) + QStringLiteral("', ");
                const QString deresp = texto(rs, QStringLiteral("deresp"));
                if (!vb::Trim(deresp).isEmpty())
                    sql += QStringLiteral("PRCSUN = '") + vb::DoblarComillas(deresp) + QStringLiteral("', ");
            }
            m_e.linea = 280;
            sql += QStringLiteral("PRCEST = 'A' ");
            sql += QStringLiteral("WHERE INTNRO = '") + interno() + u'\'';
            sql += QStringLiteral("  and ARTNRO = '") + vb::DoblarComillas(artnro) +
                   QStringLiteral("' and MARCA = '") + vb::DoblarComillas(marcaGrupo) + u'\'';
            m_e.linea = 290;
            ejecutarSql(sql);
        }
        barraValor(grupos.AbsolutePosition());
        grupos.MoveNext();
    }
}

void Proceso::etapa3() {
    const QString i = interno();
    m_e.linea = 300;
    ejecutarSql(
        QStringLiteral(
            "update ART set PRCEST = '', PRCOBS = 'EL FOB TOTAL NO PUEDE SER CERO 0' WHERE INTNRO = '") +
        i + QStringLiteral("'  AND ARTTOT <=0"));
    m_e.linea = 310;
    ejecutarSql(QStringLiteral("update ART set PRCECA = ARTCAN WHERE INTNRO = '") + i +
                QStringLiteral("'  AND PRCEUN = '07'"));
    m_e.linea = 320;
    ejecutarSql(QStringLiteral("update ART set PRCSCA = ARTCAN WHERE INTNRO = '") + i +
                QStringLiteral("'  AND PRCSUN = '07'"));
    m_e.linea = 330;
    ejecutarSql(QStringLiteral("update ART set PRCSCA = ARTKGU WHERE INTNRO = '") + i +
                QStringLiteral("'  AND PRCSUN = '01'"));
    m_e.linea = 340;
    ejecutarSql(QStringLiteral("update ART set PRCECA = ARTKGU WHERE INTNRO = '") + i +
                QStringLiteral("'  AND PRCEUN = '01'"));
    m_e.linea = 350;
    mensaje(QStringLiteral("Procesando... Etapa 3 de 4: Actualizando datos comunes"));
    mensaje(QStringLiteral("Procesando... Etapa 4 de 4: Validando NCM..."));
}

void Proceso::etapa4() {
    m_e.linea = 400;
    barraValor(0);
    barraValor(1);
    m_e.linea = 410;
    Recordset rs;
    m_srv.g_oBase->setSql(
        QStringLiteral("select PRCNCM, PRCSUF, INTNRO, ARTORD, ARTKGU from ART where INTNRO = '") +
        interno() + QStringLiteral("' and PRCEST IN ('A','U')"));
    m_e.sql = m_srv.g_oBase->Sql();
    if (m_srv.g_oBase->CrearRs(rs))
        barraRango(0, rs.RecordCount());
    while (!rs.Fin()) {
        m_e.linea = 420;
        const QString sufijos = texto(rs, QStringLiteral("PRCSUF"));
        int codigo = m_validador.ValidarSufijos(texto(rs, QStringLiteral("PRCNCM")), sufijos);
        // An empty value in a suffix group is a suffix error whatever the validator said.
        if (sufijos.contains(QStringLiteral("()")))
            codigo = 2;
        m_e.linea = 430;
        QString& sql = m_e.sql;
        sql = QStringLiteral("update ART set ");
        switch (codigo) {
        case 0:
            sql += QStringLiteral("PRCCRC = 'OK' ");
            break;
        case 1:
            sql += QStringLiteral("PRCCRC = 'POS', PRCEST = 'E' ");
            break;
        case 2:
            sql += QStringLiteral("PRCCRC = 'SUF', PRCEST = 'E' ");
            break;
        default:
            sql += QStringLiteral("PRCCRC = 'ERR', PRCEST = 'E' ");
            break;
        }
        sql += QStringLiteral("where INTNRO = '") + interno() + u'\'';
        sql += QStringLiteral("  and ARTORD = ") + texto(rs, QStringLiteral("ARTORD"));
        m_e.linea = 440;
        ejecutarSql(sql);
        barraValor(rs.AbsolutePosition());
        rs.MoveNext();
    }
    m_e.linea = 450;
    ejecutarSql(QStringLiteral("update ART set PRCECA = ARTCAN where INTNRO = '") + interno() +
                QStringLiteral("' and PRCDUN = PRCEUN and PRCCRC = 'OK' "));
}

} // namespace

bool FRAM2_GuardarDatosToBase(Servicios& srv, EstadoAsistente& estado, const GrillaDatos& grilla) {
    const PunteroEspera espera(&srv.interaccion(), PunteroEspera::Ocupado);
    Proceso p(srv, estado, grilla);
    return p.ejecutar();
}

} // namespace tarvix
