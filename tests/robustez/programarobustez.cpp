#include "programarobustez.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/formatos.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "data/rutas.h"
#include "settings/logicarelpais.h"
#include "testsupport.h"

namespace robustez {

using namespace tarvix;

void Programa::relacionPais() {
    ++ventanasPais;
    m_repeticiones = estado.g_sRetorno == m_ultimoPais ? m_repeticiones + 1 : 1;
    m_ultimoPais = estado.g_sRetorno;
    if (m_repeticiones > 3)
        throw VbError(1, QStringLiteral("prueba"),
                      QStringLiteral("La relación de países no se pudo guardar"));
    LogicaRelPais ventana(srv, estado);
    ventana.Form_Load();
    ventana.f_Grabar();
}

Grilla::Grilla(const QStringList& etiquetas) {
    m_filas.push_back(QStringList(etiquetas.size(), QStringLiteral("titulo")));
    m_filas.push_back(etiquetas);
}

QString Grilla::TextMatrix(int fila, int columna) const {
    if (fila < 0 || fila >= Rows() || columna < 0 || columna >= Cols())
        throw VbError(381, QStringLiteral("MSFlexGrid"), QStringLiteral("Subíndice fuera del intervalo"));
    return m_filas[static_cast<size_t>(fila)].value(columna);
}

Programa::Programa() : prueba::Programa(Opciones().conAjustes(QStringLiteral("1"), QStringLiteral("07"))) {
    guion.relacionPaisSinGuion = [this] { relacionPais(); };
}

QString Programa::rutaTrabajo() const {
    return rutas::baseTrabajo(carpeta());
}
QString Programa::rutaAduana() const {
    return rutas::baseAduana(carpeta());
}

void Programa::elegirInterno(const QString& interno) {
    ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values (") + vb::SqlTexto(interno) +
             QStringLiteral(", 'prueba')"));
    c->FRAM1_CargarInternos();
    estado.g_sInterno = c->internos.at(0).nro;
}

QString Programa::columna(int artord, const QString& nombre) {
    return valor(QStringLiteral("select ") + nombre + QStringLiteral(" from ART where INTNRO = ") +
                 vb::SqlTexto(estado.g_sInterno) + QStringLiteral(" and ARTORD = ") +
                 QString::number(artord));
}

QMap<QString, qint64> Programa::recuento(Velno::clBase& base, const QString& prefijo) {
    QMap<QString, qint64> r;
    Recordset tablas = consultar(base, QStringLiteral("select name from sqlite_master where type = 'table'"));
    for (; !tablas.Fin(); tablas.MoveNext()) {
        const QString tabla = tablas.Fields(0).toString();
        r[prefijo + tabla] = valor(base, QStringLiteral("select count(*) from ") + tabla).toLongLong();
    }
    return r;
}

QMap<QString, qint64> Programa::recuento() {
    QMap<QString, qint64> r = recuento(trabajo(), QString());
    // Every save and run keeps a version of the lines before it: that table grows by design.
    r.remove(QStringLiteral("ARTVER"));
    r.remove(QStringLiteral("sqlite_sequence"));
    r.insert(recuento(aduana(), QStringLiteral("aduana.")));
    return r;
}

std::vector<Carga> cargas() {
    return {
        {"comilla", QStringLiteral("'")},
        {"dos comillas", QStringLiteral("''")},
        {"comilla y punto y coma", QStringLiteral("';")},
        {"comentario de linea", QStringLiteral("--")},
        {"comentario de bloque", QStringLiteral("/* */")},
        {"barras invertidas", QStringLiteral("C:\\temp\\'n\\\\")},
        {"comillas tipograficas", QStringLiteral("’‘“” O’Brien")},
        {"caracter nulo", QStringLiteral("a") + QChar(0) + QStringLiteral("b")},
        {"texto largo", QStringLiteral("O'B--").repeated(2000)},
        {"sentencia", QStringLiteral("'); drop table ART; --")},
        {"porcentaje", QStringLiteral("%")},
        {"guion bajo", QStringLiteral("_")},
        // What the customs connections translate outside literals: it must stay as it is inside one.
        {"sintaxis del nomenclador", QStringLiteral("[001]' + left(x,2) + len(\"y\") || 'z")},
    };
}

QString almacenado(const QString& s) {
    QString r = s;
    return r.replace(QChar(0), u' ');
}

QString sinBlancos(const QString& s) {
    qsizetype i = 0, f = s.size();
    while (i < f && s[i] == u' ')
        ++i;
    while (f > i && s[f - 1] == u' ')
        --f;
    return s.mid(i, f - i);
}

QString limpio(const QString& s) {
    QString r = s;
    return sinBlancos(r.replace(u'\'', u' '));
}

} // namespace robustez
