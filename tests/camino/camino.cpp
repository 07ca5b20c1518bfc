#include "camino.h"

#include "components/central.h"
#include "components/configuracion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "pipeline/proceso.h"
#include "review/modificar_logica.h"
#include "settings/logicarelpais.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTextStream>

using namespace tarvix;

namespace camino {

QString nombrePropio(const QString& prefijo) {
    return prefijo + QString::number(QCoreApplication::applicationPid());
}

bool clusterDePrueba(const QString& accion) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"), {QStringLiteral(TARVIX_SOURCE_DIR "/tools/pg_prueba.sh"), accion,
                                     qEnvironmentVariable("TARVIX_PG_CARPETA")});
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("pg_prueba.sh %s: %s", qPrintable(accion), p.readAll().constData());
        return false;
    }
    return true;
}

// Correct article lines of the current interno, ready to transfer.
void lineasCorrectas(Programa& p, int cuantas) {
    p.ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values (") +
               vb::SqlTexto(p.estado.g_sInterno) + QStringLiteral(", 'fallas')"));
    p.ejecutar(QStringLiteral(
                   "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, ARTKGU, "
                   "ARTORG, PROCEDENCIA, FECHA_EMBARQUE, FECHA_ARRIBO, MARCA, MODELO, OTROS, CODIGOCIP, "
                   "ARTDSCMARIA, PRCNCM, PRCSUF, PRCLAP, PRCDUN, PRCCAN, PRCEUN, PRCECA, PRCSCA, PRCESM, "
                   "PRCORI, PRCEST, PRCCRC) with recursive n(i) as (select 1 union all select i + 1 from n "
                   "where i < %1) select %2, i, 'F-' || i, 'ARTICULO D''ANGELO ' || i, 2, 1.5, 3, 0.5, "
                   "'310', '310', '10/05/2024', '21/06/2024', 'ACME', 'F-' || i, '', '', 'MARIA', "
                   "'8301.10.00.000P', 'AA(ACME)-', 'N', '07', 2, '07', 2, 0, '2', '310', 'A', 'OK' "
                   "from n")
                   .arg(cuantas)
                   .arg(vb::SqlTexto(p.estado.g_sInterno)));
}

Limpieza::Limpieza(Programa& p, QString catalogo, QStringList internos)
    : m_p(p), m_catalogo(std::move(catalogo)), m_internos(std::move(internos)) {
    borrar();
}

void Limpieza::borrar() {
    const auto borrarTodo = [this] {
        for (const QString& i : m_internos) {
            m_p.ejecutarAduana(QStringLiteral("delete from subitems where interno = ") + vb::SqlTexto(i));
            m_p.ejecutarAduana(QStringLiteral("delete from caratula where interno = ") + vb::SqlTexto(i));
        }
        if (m_catalogo != u"1")
            m_p.ejecutarAduana(QStringLiteral("delete from catarticulos where idcatalogo = ") +
                               vb::SqlTexto(m_catalogo));
    };
    try {
        borrarTodo();
    } catch (const VbError&) {
        // A case that failed may leave the connection lost: once more on a new one.
        try {
            m_p.srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS")).Conectar();
            borrarTodo();
        } catch (const VbError& e) {
            qWarning("no se pudo limpiar el servidor: %s", qPrintable(e.descripcion()));
        }
    }
}

InternoDePrueba::InternoDePrueba(const Velno::ParametrosConexion& pg, const QString& prefijo, int lineas)
    : prog(pg), interno(nombrePropio(prefijo)), catalogo(nombrePropio(prefijo.left(1))),
      limpieza(prog, catalogo, {interno}) {
    prog.estado.g_sInterno = interno;
    prog.estado.g_sINTCAT = catalogo;
    lineasCorrectas(prog, lineas);
}

} // namespace camino
