// The SQLite statement path of the connections: literals taken out of a statement, results equal to
// the Qt driver's, statements refused, and lotes (one transaction for many statements).
#include "components/clbase.h"
#include "components/latido.h"
#include "components/motorsqlite.h"
#include "components/vberror.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;

using prueba::fallo;

namespace {

// The literals of a shape as "T:text", "E:whole", "D:decimal".
QStringList literales(const Velno::FormaSentencia& f) {
    QStringList r;
    for (const Velno::ValorLiteral& v : f.valores) {
        switch (v.tipo) {
        case Velno::ValorLiteral::Tipo::Texto:
            r << QStringLiteral("T:") + (v.propio.isNull() ? v.texto.toString() : v.propio);
            break;
        case Velno::ValorLiteral::Tipo::Entero:
            r << QStringLiteral("E:") + QString::number(v.entero);
            break;
        case Velno::ValorLiteral::Tipo::Decimal:
            r << QStringLiteral("D:") + QString::number(v.decimal);
            break;
        }
    }
    return r;
}

// A second, plain Qt connection on the same file: what another program would see.
class Testigo {
public:
    explicit Testigo(const QString& ruta) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("testigo"));
        db.setDatabaseName(ruta);
        db.open();
    }
    ~Testigo() {
        { QSqlDatabase::database(QStringLiteral("testigo")).close(); }
        QSqlDatabase::removeDatabase(QStringLiteral("testigo"));
    }
    QSqlDatabase db() const { return QSqlDatabase::database(QStringLiteral("testigo")); }
    int contar(const QString& sql) const {
        QSqlQuery q(db());
        if (!q.exec(sql) || !q.next())
            return -1;
        return q.value(0).toInt();
    }
};

} // namespace

class TstMotorSqlite : public QObject {
    Q_OBJECT
private slots:
    void formas_data();
    void formas();
    void comoElDriver();
    void valoresLargosYCampos();
    void refusados();
    void muchasFormas();
    void esquemaCambiado();
    void lotes();
    void loteConFalla();
    void archivoBorradoEnLote();
    void loteDeLecturas();
    void cierreLimpio();
    void latidosAlCopiarElRegistro();

private:
    QString nuevaBase(const QString& nombre) {
        const QString ruta = m_dir.filePath(nombre);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crear"));
            db.setDatabaseName(ruta);
            db.open();
            QSqlQuery q(db);
            q.exec(QStringLiteral("create table T (a integer, b real, c text, d varchar(10), e numeric)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("crear"));
        return ruta;
    }
    QTemporaryDir m_dir;
};

void TstMotorSqlite::formas_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("conForma");
    QTest::addColumn<QString>("forma");
    QTest::addColumn<QStringList>("valores");

    QTest::newRow("where") << QStringLiteral("select ORI, ESM from ORG where PAI = 'CHINA'") << true
                           << QStringLiteral("select ORI, ESM from ORG where PAI = ?")
                           << QStringList{QStringLiteral("T:CHINA")};
    QTest::newRow("comillas dobladas y vacío")
        << QStringLiteral("insert into T (c, d) values ('D''ANGELO', '')") << true
        << QStringLiteral("insert into T (c, d) values (?, ?)")
        << QStringList{QStringLiteral("T:D'ANGELO"), QStringLiteral("T:")};
    QTest::newRow("números") << QStringLiteral("update ART set PRCECA = 2.50, X = -3 WHERE ARTORD = 7")
                             << true << QStringLiteral("update ART set PRCECA = ?, X = -? WHERE ARTORD = ?")
                             << QStringList{QStringLiteral("D:2.5"), QStringLiteral("E:3"),
                                            QStringLiteral("E:7")};
    // The column list, GROUP BY and ORDER BY keep their literals (names and column positions).
    QTest::newRow("lista, group y order")
        << QStringLiteral(
               "select distinct substr(S,1,2) as SUF, 'x', 3 from sufidos where sim in ('01','02') "
               "group by substr(S,1,2) order by 1 limit 5")
        << true
        << QStringLiteral("select distinct substr(S,1,2) as SUF, 'x', 3 from sufidos where sim in (?,?) "
                          "group by substr(S,1,2) order by 1 limit 5")
        << QStringList{QStringLiteral("T:01"), QStringLiteral("T:02")};
    QTest::newRow("subconsulta")
        << QStringLiteral("select a from T where b in (select 1 from U where d = 'x') and e = 1") << true
        << QStringLiteral("select a from T where b in (select 1 from U where d = ?) and e = ?")
        << QStringList{QStringLiteral("T:x"), QStringLiteral("E:1")};
    QTest::newRow("nombres y comentarios")
        << QStringLiteral("select [001], \"a'b\" from ncm where [002] = '000' -- 'nota'\n and x1 = 5") << true
        << QStringLiteral("select [001], \"a'b\" from ncm where [002] = ? -- 'nota'\n and x1 = ?")
        << QStringList{QStringLiteral("T:000"), QStringLiteral("E:5")};
    QTest::newRow("blob, exponente, hexadecimal")
        << QStringLiteral("delete from T where c = x'00' or b = 1e5 or a = 0x1F") << true
        << QStringLiteral("delete from T where c = x'00' or b = 1e5 or a = 0x1F") << QStringList{};
    QTest::newRow("entero enorme queda")
        << QStringLiteral("delete from T where a = 12345678901234567890") << true
        << QStringLiteral("delete from T where a = 12345678901234567890") << QStringList{};
    QTest::newRow("esquema") << QStringLiteral("create table X (a default 'b')") << false << QString()
                             << QStringList{};
    QTest::newRow("pragma") << QStringLiteral("PRAGMA journal_mode=WAL") << false << QString()
                            << QStringList{};
    QTest::newRow("parámetros propios")
        << QStringLiteral("select a from T where c = ?") << false << QString() << QStringList{};
    QTest::newRow("sin cerrar") << QStringLiteral("select a from T where c = 'x") << false << QString()
                                << QStringList{};
}

void TstMotorSqlite::formas() {
    QFETCH(QString, sql);
    QFETCH(bool, conForma);
    QFETCH(QString, forma);
    QFETCH(QStringList, valores);
    Velno::FormaSentencia f;
    QCOMPARE(Velno::separarLiterales(sql, f), conForma);
    if (conForma) {
        QCOMPARE(f.texto, forma);
        QCOMPARE(literales(f), valores);
    }
}

void TstMotorSqlite::comoElDriver() {
    // Every statement gives what the Qt driver gives for it: column names, types, values.
    const QString ruta = nuevaBase(QStringLiteral("igual.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    const QStringList escrituras = {
        QStringLiteral("insert into T values (1, 12.5, 'x', 'ÑANDÚ ''9''', 3.25)"),
        QStringLiteral("insert into T values ('007', '2,5', '', NULL, 7)"),
        QStringLiteral("insert into T values (NULL, NULL, NULL, NULL, NULL)"),
        QStringLiteral("insert into T (a, c) values (-4, 7)"),
        // Several texts of one statement, of other lengths, outside the Latin range and beyond it.
        QStringLiteral("insert into T values (5, 1, 'ñ😀', 'Ω€ año', 'z')"),
    };
    for (const QString& s : escrituras) {
        b.setSql(s);
        QCOMPARE(b.Ejecutar(), 1);
    }
    b.setSql(QStringLiteral("update T set e = 1.5 where a = 99"));
    QCOMPARE(b.Ejecutar(), 0);

    Testigo t(ruta);
    const QStringList consultas = {
        QStringLiteral("select a, b, c, d, e, max(a), 'lit', 2.50, a || 'z' from T group by a order by a"),
        QStringLiteral("select count(*) as n from T where a = '7'"), // text compared to an integer column
        QStringLiteral("select a from T where c = 7"),               // integer compared to a text column
        QStringLiteral("select c from T where d like 'ÑAN%'"),
        QStringLiteral("select a from T where c = ''"),
        QStringLiteral("select a from T where b = 12.50 and e < 4"),
        QStringLiteral("select * from T where a = 12345"),
        QStringLiteral("select a, length(c), length(d) from T where c = 'ñ😀' and d = 'Ω€ año' and e = 'z'"),
    };
    for (const QString& s : consultas) {
        QSqlQuery q(t.db());
        QVERIFY2(q.exec(s), qPrintable(s));
        Recordset rs;
        b.setSql(s);
        b.CrearRs(rs);
        const QSqlRecord reg = q.record();
        QCOMPARE(rs.Columnas().size(), reg.count());
        for (int i = 0; i < reg.count(); ++i)
            QCOMPARE(rs.Columnas().at(i), reg.fieldName(i));
        int filas = 0;
        while (q.next()) {
            QVERIFY2(!rs.Fin(), qPrintable(s));
            for (int i = 0; i < reg.count(); ++i) {
                const QVariant esperado = q.value(i);
                const QVariant obtenido = rs.Fields(i);
                QVERIFY2(
                    obtenido.metaType() == esperado.metaType() && obtenido.isNull() == esperado.isNull() &&
                        obtenido == esperado,
                    qPrintable(s + QStringLiteral(" col %1: %2 (%3) / %4 (%5)")
                                       .arg(i)
                                       .arg(obtenido.toString(), QString::fromLatin1(obtenido.typeName()),
                                            esperado.toString(), QString::fromLatin1(esperado.typeName()))));
            }
            rs.MoveNext();
            ++filas;
        }
        QVERIFY2(rs.Fin(), qPrintable(s));
        QVERIFY2(filas > 0 || s.contains(QStringLiteral("12345")), qPrintable(s));
    }
}

void TstMotorSqlite::valoresLargosYCampos() {
    // A result of many rows, with texts and blobs long (beyond a block of the kept rows), empty and
    // NULL, reads as the Qt driver reads it; with only some fields asked for, the recordset has
    // those named (in any case) that the result has, the first column of each name, in that order.
    const QString ruta = nuevaBase(QStringLiteral("largos.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    b.setSql(QStringLiteral(
        "insert into T with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
        "select i, i / 4.0, case when i % 500 = 7 then printf('%.*c', 300000 + i, 'x') when i % 4 = 0 "
        "then null when i % 4 = 1 then '' else 'año ' || i end, case when i % 300 = 1 then zeroblob(300000) "
        "when i % 3 = 0 then x'' when i % 3 = 1 then randomblob(1 + i % 50) end, i % 7 from n"));
    QCOMPARE(b.Ejecutar(), 3000);
    Testigo t(ruta);
    const QString sql = QStringLiteral("select *, a as A2, c as a from T order by a desc");
    QSqlQuery q(t.db());
    QVERIFY(q.exec(sql));
    b.setSql(sql);
    Recordset todo;
    Recordset pocos;
    QVERIFY(b.CrearRs(todo));
    QVERIFY(b.CrearRs(pocos, {QStringLiteral("D"), QStringLiteral("zz"), QStringLiteral("a"),
                              QStringLiteral("d"), QStringLiteral("a2")}));
    QCOMPARE(pocos.Columnas(), (QStringList{QStringLiteral("d"), QStringLiteral("a"), QStringLiteral("A2")}));
    QVERIFY(!pocos.TieneCampo(QStringLiteral("zz")));
    const int columnas[] = {3, 0, 5}; // of `todo`: d, the first a, A2
    int filas = 0;
    for (; q.next(); todo.MoveNext(), pocos.MoveNext(), ++filas) {
        for (int i = 0; i < todo.Columnas().size(); ++i) {
            const QVariant esperado = q.value(i);
            const QVariant obtenido = todo.Fields(i);
            QVERIFY2(obtenido.metaType() == esperado.metaType() && obtenido.isNull() == esperado.isNull() &&
                         obtenido.toString().isNull() == esperado.toString().isNull() && obtenido == esperado,
                     qPrintable(QStringLiteral("fila %1 columna %2").arg(filas).arg(i)));
        }
        for (int i = 0; i < 3; ++i)
            QCOMPARE(pocos.Fields(i), todo.Fields(columnas[i]));
    }
    QCOMPARE(filas, 3000);
    QVERIFY(todo.Fin() && pocos.Fin());
    // Copies share the rows and move through them on their own.
    b.setSql(QStringLiteral("select a, c from T where a <= 2 order by a"));
    QVERIFY(b.CrearRs(todo));
    Recordset copia = todo;
    copia.MoveNext();
    QCOMPARE(todo.Fields(0).toInt(), 1);
    QCOMPARE(copia.Fields(1).toString(), QStringLiteral("año 2"));
    QVERIFY(todo.Fields(1).toString().isEmpty() && !todo.Fields(1).toString().isNull());
}

void TstMotorSqlite::refusados() {
    const QString ruta = nuevaBase(QStringLiteral("refusa.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    // A second statement is refused and nothing of it runs, the first one neither.
    b.setSql(QStringLiteral("insert into T (a) values (1); drop table T"));
    QVERIFY(fallo([&] { b.Ejecutar(); }).contains(QStringLiteral("varias instrucciones")));
    b.setSql(QStringLiteral("select count(*) as n from T"));
    Recordset rs;
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("N")).toInt(), 0);
    // A trailing semicolon and blanks are one statement.
    b.setSql(QStringLiteral("insert into T (a) values (1);  \n"));
    QCOMPARE(b.Ejecutar(), 1);
    b.setSql(QStringLiteral("   "));
    QVERIFY(fallo([&] { b.Ejecutar(); }).contains(QStringLiteral("vacía")));
    b.setSql(QStringLiteral("selec a from T where c = 'x'"));
    QVERIFY(fallo([&] { b.Ejecutar(); }).startsWith(QStringLiteral("Error de sintaxis")));
    // A statement whose shape failed runs again with other values.
    b.setSql(QStringLiteral("insert into T (zz) values ('x')"));
    QVERIFY(fallo([&] { b.Ejecutar(); }).startsWith(QStringLiteral("No existe la columna")));
    b.setSql(QStringLiteral("insert into T (c) values ('y')"));
    QCOMPARE(b.Ejecutar(), 1);
}

void TstMotorSqlite::muchasFormas() {
    // More shapes than the connection keeps compiled, twice over: each gives its own rows.
    const QString ruta = nuevaBase(QStringLiteral("formas.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    for (int i = 0; i < 150; ++i) {
        b.setSql(QStringLiteral("insert into T (a, c) values (%1, 'v%1')").arg(i));
        b.Ejecutar();
    }
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        for (int i = 0; i < 150; ++i) {
            // A different shape each time: the column list holds a literal.
            b.setSql(QStringLiteral("select c, %1 as k from T where a = %1").arg(i));
            Recordset rs;
            QVERIFY(b.CrearRs(rs));
            QCOMPARE(rs.Fields(QStringLiteral("c")).toString(), QStringLiteral("v%1").arg(i));
            QCOMPARE(rs.Fields(QStringLiteral("K")).toInt(), i);
        }
    }
}

void TstMotorSqlite::esquemaCambiado() {
    // A kept statement over a table whose columns changed gives the table's columns of now, also
    // when their number stays the same.
    const QString ruta = nuevaBase(QStringLiteral("esquema.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    b.setSql(QStringLiteral("insert into T (a, c) values (1, 'x')"));
    b.Ejecutar();
    auto columnas = [&](int a) {
        b.setSql(QStringLiteral("select * from T where a = %1").arg(a));
        Recordset rs;
        b.CrearRs(rs);
        return rs.Columnas();
    };
    QCOMPARE(columnas(1).size(), 5);
    b.setSql(QStringLiteral("alter table T add column z text"));
    b.Ejecutar();
    QCOMPARE(columnas(2).constLast(), QStringLiteral("z"));
    b.setSql(QStringLiteral("alter table T rename column z to w"));
    b.Ejecutar();
    const QStringList ahora = columnas(1);
    QCOMPARE(ahora.size(), 6);
    QCOMPARE(ahora.constLast(), QStringLiteral("w"));
}

void TstMotorSqlite::lotes() {
    const QString ruta = nuevaBase(QStringLiteral("lote.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    Testigo t(ruta);
    {
        Velno::LoteSql externo(b);
        {
            Velno::LoteSql interno(b);
            for (int i = 0; i < 300; ++i) {
                b.setSql(QStringLiteral("insert into T (a) values (%1)").arg(i));
                b.Ejecutar();
            }
            interno.terminar();
        }
        // Only the outermost lote commits; until then another connection sees nothing.
        QCOMPARE(t.contar(QStringLiteral("select count(*) from T")), 0);
        b.setSql(QStringLiteral("select count(*) as n from T"));
        Recordset rs;
        b.CrearRs(rs);
        QCOMPARE(rs.Fields(QStringLiteral("n")).toInt(), 300); // the connection sees its own writes
        externo.terminar();
    }
    QCOMPARE(t.contar(QStringLiteral("select count(*) from T")), 300);
    QVERIFY(!b.EnLote());
}

void TstMotorSqlite::loteConFalla() {
    // A failing statement keeps what ran before it, as without a lote; the lote goes on after it.
    const QString ruta = nuevaBase(QStringLiteral("falla.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    b.setSql(QStringLiteral("create unique index ux on T (a)"));
    b.Ejecutar();
    Testigo t(ruta);
    Velno::LoteSql lote(b);
    b.setSql(QStringLiteral("insert into T (a) values (1)"));
    b.Ejecutar();
    b.setSql(QStringLiteral("insert into T (a) values (2)"));
    b.Ejecutar();
    QVERIFY(fallo([&] { b.Ejecutar(); }).startsWith(QStringLiteral("Ya existe un registro")));
    QCOMPARE(t.contar(QStringLiteral("select count(*) from T")), 2);
    b.setSql(QStringLiteral("insert into T (a) values (3)"));
    b.Ejecutar();
    QCOMPARE(t.contar(QStringLiteral("select count(*) from T")), 2);
    lote.terminar();
    QCOMPARE(t.contar(QStringLiteral("select count(*) from T")), 3);

    // Leaving the scope by an exception commits what ran.
    try {
        Velno::LoteSql otro(b);
        b.setSql(QStringLiteral("insert into T (a) values (4)"));
        b.Ejecutar();
        throw VbError(1, QStringLiteral("prueba"), QStringLiteral("corte"));
    } catch (const VbError&) {
    }
    QCOMPARE(t.contar(QStringLiteral("select count(*) from T")), 4);
}

void TstMotorSqlite::archivoBorradoEnLote() {
    // The file removed while a lote writes: the commit is refused with the message of a moved file,
    // and nothing is reported as saved.
    const QString ruta = nuevaBase(QStringLiteral("borrada.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    b.setSql(QStringLiteral("select count(*) from T"));
    Recordset rs;
    b.CrearRs(rs);
    Velno::LoteSql lote(b);
    b.setSql(QStringLiteral("insert into T (a) values (1)"));
    b.Ejecutar();
    QVERIFY(QFile::remove(ruta));
    QString texto;
    try {
        for (int i = 0; i < 1000; ++i)
            b.Ejecutar();
        lote.terminar();
    } catch (const VbError& e) {
        texto = e.descripcion();
    }
    QVERIFY2(texto.contains(QStringLiteral("fue borrado o movido")), qPrintable(texto));
}

void TstMotorSqlite::loteDeLecturas() {
    // A lote of reads keeps one view of the database and never holds up another program's writes.
    const auto contar = [](Velno::clBase& b) {
        b.setSql(QStringLiteral("select count(*) as n from T where a >= 0"));
        Recordset rs;
        b.CrearRs(rs);
        return rs.Fields(QStringLiteral("n")).toInt();
    };
    {
        const QString ruta = nuevaBase(QStringLiteral("lecturas.db"));
        Velno::clBase b;
        b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
        Testigo t(ruta);
        QSqlQuery q(t.db());
        {
            Velno::LoteSql lecturas(b, Velno::LoteSql::Uso::Lecturas);
            QCOMPARE(contar(b), 0);
            QVERIFY(q.exec(QStringLiteral("insert into T (a) values (1)")));
            QCOMPARE(contar(b), 0);
        }
        QCOMPARE(contar(b), 1);
    }
    {
        // Without a write-ahead log a held view would keep writers waiting: there the statements
        // run one by one.
        const QString ruta = nuevaBase(QStringLiteral("sinwal.db"));
        Velno::clBase b;
        b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
        b.setSql(QStringLiteral("PRAGMA journal_mode=DELETE"));
        b.Ejecutar();
        Testigo t(ruta);
        QSqlQuery q(t.db());
        Velno::LoteSql lecturas(b, Velno::LoteSql::Uso::Lecturas);
        QCOMPARE(contar(b), 0);
        QElapsedTimer reloj;
        reloj.start();
        QVERIFY2(q.exec(QStringLiteral("insert into T (a) values (2)")), qPrintable(q.lastError().text()));
        QVERIFY(reloj.elapsed() < 1000);
        QCOMPARE(contar(b), 1);
    }
}

void TstMotorSqlite::cierreLimpio() {
    // Compiled statements do not keep the connection from closing: the journal of the write-ahead
    // log is folded back and removed on close, as it is when the connection closes cleanly.
    const QString ruta = nuevaBase(QStringLiteral("cierre.db"));
    {
        Velno::clBase b;
        b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
        for (int i = 0; i < 10; ++i) {
            b.setSql(QStringLiteral("insert into T (a) values (%1)").arg(i));
            b.Ejecutar();
            b.setSql(QStringLiteral("select a from T where a = %1").arg(i));
            Recordset rs;
            b.CrearRs(rs);
        }
        QVERIFY(QFile::exists(ruta + QStringLiteral("-wal")));
        b.Desconectar();
        QVERIFY(!QFile::exists(ruta + QStringLiteral("-wal")));
        // And it opens again on the next statement.
        b.setSql(QStringLiteral("select count(*) as n from T"));
        Recordset rs;
        QVERIFY(b.CrearRs(rs));
        QCOMPARE(rs.Fields(QStringLiteral("n")).toInt(), 10);
    }
}

void TstMotorSqlite::latidosAlCopiarElRegistro() {
    // Copying the write-ahead log into the database runs no steps of a statement: the beats come
    // from the file writes, and the rows arrive whole.
    const QString ruta = nuevaBase(QStringLiteral("latido.db"));
    Velno::clBase b;
    b.setCadenaConexion(QStringLiteral("Data Source=") + ruta);
    b.setSql(QStringLiteral("insert into T (a, c) with recursive n(i) as (select 1 union all select i + 1 "
                            "from n where i < 20000) select i, printf('%0100d', i) from n"));
    QCOMPARE(b.Ejecutar(), 20000);
    int latidos = 0;
    tarvix::latido::instalar([](void* n) { ++*static_cast<int*>(n); }, &latidos);
    b.setSql(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    b.Ejecutar();
    tarvix::latido::instalar(nullptr, nullptr);
    QVERIFY2(latidos > 100, qPrintable(QString::number(latidos)));
    QCOMPARE(QFileInfo(ruta + QStringLiteral("-wal")).size(), 0);
    b.setSql(QStringLiteral("select count(*) as n, sum(length(c)) as l from T"));
    Recordset rs;
    QVERIFY(b.CrearRs(rs));
    QCOMPARE(rs.Fields(QStringLiteral("n")).toInt(), 20000);
    QCOMPARE(rs.Fields(QStringLiteral("l")).toInt(), 20000 * 100);
}

QTEST_GUILESS_MAIN(TstMotorSqlite)
#include "tst_motorsqlite.moc"
