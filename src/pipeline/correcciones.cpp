#include "pipeline/correcciones.h"

#include "components/clbase.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"

#include <QSet>
#include <QStringList>

namespace tarvix::correcciones {

namespace {

// The classification a corrected line passes on in any case, and what it passes on only to a line
// of the same quantity and total.
const QStringList kClasificacion{
    QStringLiteral("PRCNCM"),        QStringLiteral("PRCSUF"),        QStringLiteral("SUFIJO1"),
    QStringLiteral("VALOR_SUFIJO1"), QStringLiteral("SUFIJO2"),       QStringLiteral("VALOR_SUFIJO2"),
    QStringLiteral("SUFIJO3"),       QStringLiteral("VALOR_SUFIJO3"), QStringLiteral("PRCLAP"),
    QStringLiteral("PRCDUN"),        QStringLiteral("PRCEUN"),        QStringLiteral("PRCSUN"),
    QStringLiteral("PRCESM"),        QStringLiteral("PRCORI"),        QStringLiteral("ARTDSCMARIA"),
    QStringLiteral("ARTDSCMARIA2"),  QStringLiteral("ARTDSCMARIA3")};
const QStringList kMismaCantidad{QStringLiteral("PRCCAN"), QStringLiteral("PRCECA"),
                                 QStringLiteral("PRCSCA"), QStringLiteral("PRCEST"),
                                 QStringLiteral("PRCCRC"), QStringLiteral("PRCOBS")};

QString literal(const QVariant& v) {
    if (v.isNull())
        return QStringLiteral("null");
    switch (v.metaType().id()) {
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 17);
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(v.toLongLong());
    default:
        return vb::SqlTexto(v.toString());
    }
}

QString donde(const QString& interno, const Linea& l) {
    // The lines of one article and brand, compared as the catalog compares them: without the blanks
    // around them and without regard to case.
    return QStringLiteral(" where INTNRO = ") + vb::SqlTexto(interno) +
           QStringLiteral(" and trim(ARTNRO) = ") + vb::SqlTexto(vb::Trim(l.articulo)) +
           QStringLiteral(" COLLATE NOCASE and ifnull(trim(MARCA), '') = ") + vb::SqlTexto(l.marca) +
           QStringLiteral(" COLLATE NOCASE");
}

QString igual(const QString& columna, const QVariant& v) {
    return columna + QStringLiteral(" is ") + literal(v);
}

} // namespace

std::vector<Linea> leer(Velno::clBase& base, const QString& interno) {
    std::vector<Linea> r;
    Recordset rs;
    base.setSql(QStringLiteral("select * from ART where INTNRO = ") + vb::SqlTexto(interno) +
                QStringLiteral(" and PRCEST = 'M' order by ARTORD"));
    base.CrearRs(rs);
    QSet<QString> vistos;
    for (; !rs.Fin(); rs.MoveNext()) {
        Linea l;
        l.articulo = rs.Fields(QStringLiteral("ARTNRO")).toString();
        l.marca = vb::Trim(rs.Fields(QStringLiteral("MARCA")).toString());
        const QString clave = vb::Trim(l.articulo).toCaseFolded() + u'\x1f' + l.marca.toCaseFolded();
        if (vistos.contains(clave))
            continue;
        vistos.insert(clave);
        l.cantidad = rs.Fields(QStringLiteral("ARTCAN"));
        l.total = rs.Fields(QStringLiteral("ARTTOT"));
        for (const QStringList* columnas : {&kClasificacion, &kMismaCantidad})
            for (const QString& c : *columnas)
                l.valores.push_back(rs.Fields(c));
        r.push_back(std::move(l));
    }
    return r;
}

std::optional<QString> pregunta(Velno::clBase& base, const QString& interno) {
    Recordset rs;
    base.setSql(QStringLiteral("select count(*) as Total from ART where INTNRO = ") + vb::SqlTexto(interno) +
                QStringLiteral(" and PRCEST = 'M'"));
    base.CrearRs(rs);
    const qint64 n = rs.Fin() ? 0 : rs.Fields(QStringLiteral("Total")).toLongLong();
    if (n <= 0)
        return std::nullopt;
    return (n == 1 ? QStringLiteral("El interno tiene 1 línea corregida a mano.")
                   : QStringLiteral("El interno tiene %1 líneas corregidas a mano.").arg(n)) +
           QStringLiteral(" ¿Conservar las correcciones en las líneas del mismo artículo?");
}

Resultado aplicar(Velno::clBase& base, const QString& interno, const std::vector<Linea>& corregidas) {
    Resultado r;
    Velno::LoteSql lote(base);
    for (const Linea& l : corregidas) {
        const QString w = donde(interno, l);
        const QString misma = igual(QStringLiteral("ARTCAN"), l.cantidad) + QStringLiteral(" and ") +
                              igual(QStringLiteral("ARTTOT"), l.total);
        QStringList todo, clasificacion;
        qsizetype i = 0;
        for (const QString& c : kClasificacion)
            clasificacion << c + QStringLiteral(" = ") + literal(l.valores[static_cast<size_t>(i++)]);
        todo = clasificacion;
        for (const QString& c : kMismaCantidad)
            todo << c + QStringLiteral(" = ") + literal(l.valores[static_cast<size_t>(i++)]);
        base.setSql(QStringLiteral("update ART set ") + todo.join(QStringLiteral(", ")) + w +
                    QStringLiteral(" and ") + misma);
        r.conservadas += static_cast<int>(base.Ejecutar());
        clasificacion << QStringLiteral("PRCEST = 'M'") << QStringLiteral("PRCCRC = 'REV'")
                      << QStringLiteral("PRCOBS = ") +
                             vb::SqlTexto(QStringLiteral("Cambió la cantidad o el total: revise la línea"));
        base.setSql(QStringLiteral("update ART set ") + clasificacion.join(QStringLiteral(", ")) + w +
                    QStringLiteral(" and not (") + misma + u')');
        const int revisar = static_cast<int>(base.Ejecutar());
        r.conservadas += revisar;
        r.aRevisar += revisar;
    }
    lote.terminar();
    return r;
}

QString textoResultado(const Resultado& r) {
    QString t = r.conservadas == 1
                    ? QStringLiteral("Se conservaron las correcciones en 1 línea")
                    : QStringLiteral("Se conservaron las correcciones en %1 líneas").arg(r.conservadas);
    if (r.aRevisar == 1)
        t += QStringLiteral("; 1 cambió de cantidad o total y quedó para revisar");
    else if (r.aRevisar > 1)
        t += QStringLiteral("; %1 cambiaron de cantidad o total y quedaron para revisar").arg(r.aRevisar);
    return t;
}

std::vector<Linea> preguntarYLeer(Servicios& srv, const QString& interno) {
    try {
        const auto texto = pregunta(*srv.g_oBase, interno);
        if (!texto || srv.interaccion().mensaje(*texto, Icono::Pregunta, Botones::SiNo, QString(),
                                                Respuesta::Si) != Respuesta::Si)
            return {};
        return leer(*srv.g_oBase, interno);
    } catch (const VbError& e) {
        srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmMain.ConservarCorrecciones")),
                                  Icono::Critico);
        return {};
    }
}

QString conservar(Servicios& srv, const QString& interno, const std::vector<Linea>& corregidas) {
    try {
        return textoResultado(aplicar(*srv.g_oBase, interno, corregidas));
    } catch (const VbError& e) {
        srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmMain.ConservarCorrecciones")),
                                  Icono::Critico);
        return QString();
    }
}

} // namespace tarvix::correcciones
