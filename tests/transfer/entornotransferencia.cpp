#include "entornotransferencia.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "testsupport.h"

#include <QTest>

using namespace tarvix;

namespace prueba {

void datosLocales() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_AR") << QStringLiteral("es_AR");
    QTest::newRow("en_US") << QStringLiteral("en_US");
}

Entorno::Entorno() : Programa(Opciones().sinPasos()) {
    if (estado.g_iPaso != 1)
        qFatal("El programa no arrancó en la carpeta de prueba");
    estado.g_sInterno = QStringLiteral("24001");
    estado.g_sINTCAT = QStringLiteral("1");
    ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('24001','prueba')"));
}

QVariantMap Entorno::filaAduana(const QString& sql) {
    const auto filas = filasAduana(sql);
    if (filas.size() != 1)
        qWarning("Se esperaba una fila y hubo %d: %s", static_cast<int>(filas.size()), qPrintable(sql));
    return filas.value(0);
}

qint64 Entorno::contarAduana(const QString& tabla, const QString& condicion) {
    return filaAduana(QStringLiteral("select count(*) as n from ") + tabla +
                      (condicion.isEmpty() ? QString() : QStringLiteral(" where ") + condicion))
        .value(QStringLiteral("n"))
        .toLongLong();
}

QVariantMap Entorno::lineaBase() {
    return {
        {QStringLiteral("INTNRO"), QStringLiteral("24001")},
        {QStringLiteral("ARTNRO"), QStringLiteral("TOR-10")},
        {QStringLiteral("ARTDSC"), QStringLiteral("TORNILLO 10 MM")},
        {QStringLiteral("ARTCAN"), 10.0},
        {QStringLiteral("ARTUNI"), 1.5},
        {QStringLiteral("ARTTOT"), 15.0},
        {QStringLiteral("ARTKGU"), 3.0},
        {QStringLiteral("ARTORG"), QStringLiteral("203")},
        {QStringLiteral("PROCEDENCIA"), QStringLiteral("204")},
        {QStringLiteral("FECHA_EMBARQUE"), QString()},
        {QStringLiteral("FECHA_ARRIBO"), QString()},
        {QStringLiteral("MARCA"), QStringLiteral("ACME")},
        {QStringLiteral("MODELO"), QStringLiteral("TOR-10")},
        {QStringLiteral("OTROS"), QStringLiteral("otros")},
        {QStringLiteral("CODIGOCIP"), QStringLiteral("779000")},
        {QStringLiteral("ARTDSCMARIA"), QStringLiteral("M1")},
        {QStringLiteral("ARTDSCMARIA2"), QStringLiteral("M2")},
        {QStringLiteral("ARTDSCMARIA3"), QStringLiteral("M3")},
        {QStringLiteral("PRCNCM"), QStringLiteral("7318.15.00.000Z")},
        {QStringLiteral("PRCSUF"), QStringLiteral("AA(ACME)-")},
        {QStringLiteral("PRCLAP"), QStringLiteral("N")},
        {QStringLiteral("PRCDUN"), QStringLiteral("07")},
        {QStringLiteral("PRCCAN"), 10.0},
        {QStringLiteral("PRCEUN"), QStringLiteral("07")},
        {QStringLiteral("PRCECA"), 10.0},
        {QStringLiteral("PRCSUN"), QString()},
        {QStringLiteral("PRCSCA"), 0.0},
        {QStringLiteral("PRCESM"), QStringLiteral("2")},
        {QStringLiteral("PRCORI"), QStringLiteral("203")},
        {QStringLiteral("PRCEST"), QStringLiteral("A")},
        {QStringLiteral("PRCCRC"), QStringLiteral("OK")},
    };
}

void Entorno::linea(const QVariantMap& cambios) {
    QVariantMap v = lineaBase();
    for (auto it = cambios.cbegin(); it != cambios.cend(); ++it)
        v.insert(it.key(), it.value());
    if (!cambios.contains(QStringLiteral("ARTORD")))
        v.insert(QStringLiteral("ARTORD"), ++m_orden);
    QStringList columnas, valores;
    for (auto it = v.cbegin(); it != v.cend(); ++it) {
        columnas << it.key();
        const QVariant& x = it.value();
        if (!x.isValid() || x.isNull())
            valores << QStringLiteral("NULL");
        else if (x.typeId() == QMetaType::QString)
            valores << vb::SqlTexto(x.toString());
        else
            valores << QString::number(x.toDouble(), 'g', 17);
    }
    ejecutar(QStringLiteral("insert into ART (") + columnas.join(u',') + QStringLiteral(") values (") +
             valores.join(u',') + u')');
}

} // namespace prueba
