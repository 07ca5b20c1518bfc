#include "data/comparaciontablas.h"

#include "components/clbase.h"
#include "components/recordset.h"
#include "components/vberror.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tarvix::bases {

namespace {

// The name of a table as a quoted identifier.
QString nombreSql(const QString& nombre) {
    return u'"' + QString(nombre).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QList<QStringList> filas(Velno::clBase& base, const QString& sql) {
    Recordset rs;
    base.setSql(sql);
    base.CrearRs(rs);
    QList<QStringList> r;
    for (; !rs.Fin(); rs.MoveNext()) {
        QStringList fila;
        for (int i = 0; i < rs.Columnas().size(); ++i)
            fila << rs.Fields(i).toString();
        r << fila;
    }
    return r;
}

// One table rebuilt in a savepoint; false (and the table as it was) when any step fails.
bool reconstruir(Velno::clBase& base, const QString& tabla, const QString& crear) {
    static const QRegularExpression nombreCreado(
        QStringLiteral(R"(^\s*CREATE\s+TABLE\s+("(?:[^"]|"")*"|\[[^\]]*\]|`[^`]*`|[^\s(]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = nombreCreado.match(crear);
    if (!m.hasMatch())
        return false;
    const QString nueva = QStringLiteral("tarvix_comparacion_nueva");
    // Indexes and triggers go with the old table: their texts, to make them again.
    const QList<QStringList> anexos =
        filas(base, QStringLiteral("select sql from sqlite_master where type in ('index', 'trigger') "
                                   "and sql is not null and tbl_name = '") +
                        QString(tabla).replace(u'\'', QStringLiteral("''")) + u'\'');
    base.EjecutarDirecto(QStringLiteral("SAVEPOINT tarvix_comparacion"));
    try {
        base.EjecutarDirecto(QStringLiteral("DROP TABLE IF EXISTS ") + nueva);
        base.EjecutarDirecto(QString(crear).replace(m.capturedStart(1), m.capturedLength(1), nueva));
        base.EjecutarDirecto(QStringLiteral("INSERT INTO ") + nueva + QStringLiteral(" SELECT * FROM ") +
                             nombreSql(tabla));
        base.EjecutarDirecto(QStringLiteral("DROP TABLE ") + nombreSql(tabla));
        base.EjecutarDirecto(QStringLiteral("ALTER TABLE ") + nueva + QStringLiteral(" RENAME TO ") +
                             nombreSql(tabla));
        for (const QStringList& a : anexos)
            base.EjecutarDirecto(a.value(0));
        base.EjecutarDirecto(QStringLiteral("RELEASE tarvix_comparacion"));
        return true;
    } catch (const VbError&) {
        try {
            base.EjecutarDirecto(QStringLiteral("ROLLBACK TO tarvix_comparacion"));
            base.EjecutarDirecto(QStringLiteral("RELEASE tarvix_comparacion"));
        } catch (const VbError&) {
        }
        return false;
    }
}

} // namespace

QString conComparacionSinMayusculas(const QString& crearTabla) {
    static const QRegularExpression tipoTexto(
        QStringLiteral(R"((\bvarchar\s*\(\s*\d+\s*\))(?!\s*COLLATE\b))"),
        QRegularExpression::CaseInsensitiveOption);
    QString r = crearTabla;
    return r.replace(tipoTexto, QStringLiteral("\\1 COLLATE NOCASE"));
}

QStringList actualizarComparacion(Velno::clBase& base) {
    QStringList quedan;
    try {
        const QList<QStringList> tablas =
            filas(base, QStringLiteral("select name, sql from sqlite_master where type = 'table' and "
                                       "name not like 'sqlite\\_%' escape '\\' order by name"));
        for (const QStringList& t : tablas) {
            const QString crear = t.value(1);
            const QString nuevo = conComparacionSinMayusculas(crear);
            if (nuevo != crear && !reconstruir(base, t.value(0), nuevo))
                quedan << t.value(0);
        }
    } catch (const VbError&) {
        // A database that cannot be read or written now keeps working as it is.
    }
    return quedan;
}

QStringList actualizarComparacion(const QString& archivo) {
    if (!QFileInfo(archivo).isFile())
        return {};
    Velno::clBase base(QStringLiteral("base aduanera"));
    base.setCadenaConexion(QStringLiteral("Driver=QSQLITE;Data Source=") + archivo);
    try {
        base.Conectar();
    } catch (const VbError&) {
        return {};
    }
    return actualizarComparacion(base);
}

} // namespace tarvix::bases
