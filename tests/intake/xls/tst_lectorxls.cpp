#include "components/vberror.h"
#include "intake/xls/lectorxls.h"
#include "librobiff.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace tarvix::lector;
using namespace librobiff;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kDirFixtures = QStringLiteral(TARVIX_SOURCE_DIR "/tests/fixtures/xls");

QString fixture(const QString& nombre) {
    return kDirFixtures + u'/' + nombre;
}

const char* nombreTipo(TipoCelda t) {
    static const char* const nombres[] = {"Vacia", "Numero", "Fecha", "Texto", "Booleano", "Error"};
    return nombres[static_cast<int>(t)];
}

// The description of the error leerXls raises, or "" when it reads the file.
QString errorAlLeer(const QString& ruta) {
    try {
        leerXls(ruta);
    } catch (const tarvix::VbError& e) {
        if (e.numero() != 1004 || e.origen() != QLatin1String("LectorXls"))
            return QStringLiteral("error inesperado %1 de %2").arg(e.numero()).arg(e.origen());
        return e.descripcion();
    }
    return {};
}

bool mismaHoja(const Hoja& a, const Hoja& b) {
    if (a.filas() != b.filas())
        return false;
    for (int f = 1; f <= a.filas(); ++f)
        for (int c = 1; c <= 256; ++c) {
            const Celda &x = a.celda(f, c), &y = b.celda(f, c);
            if (x.tipo != y.tipo || x.numero != y.numero || x.texto != y.texto || x.booleano != y.booleano ||
                x.codigoError != y.codigoError)
                return false;
        }
    return true;
}

} // namespace

class TestLectorXls : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_n = 0;

    // Writes a compound document with a workbook stream and returns its path.
    QString guardar(const QByteArray& flujo, const QByteArray& nombre = "Workbook") {
        const QString ruta = m_dir.filePath(QStringLiteral("libro%1.xls").arg(++m_n));
        if (!guardarCompuesto(ruta, {{nombre, flujo}}))
            qFatal("no se pudo escribir %s", qPrintable(ruta));
        return ruta;
    }

    Hoja leer(const QByteArray& flujo) { return leerXls(guardar(flujo)); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every committed workbook, written by LibreOffice or Gnumeric, gives the cells that xlrd
    // reads in it (checked by the generator against what the source meant); nothing more, and
    // whatever the user's locale.
    void fixturesComoXlrd_data() {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("locale");
        const QStringList esperados = QDir(kDirFixtures).entryList({QStringLiteral("*.json")}, QDir::Files);
        QVERIFY(esperados.size() >= 10);
        for (const QString& json : esperados)
            for (const char* loc : {"es_AR", "en_US"})
                QTest::addRow("%s %s", qPrintable(json), loc) << json.chopped(5) << QString::fromLatin1(loc);
    }
    void fixturesComoXlrd() {
        QFETCH(QString, nombre);
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        QFile archivo(fixture(nombre + QStringLiteral(".json")));
        QVERIFY(archivo.open(QIODevice::ReadOnly));
        const QJsonArray celdas =
            QJsonDocument::fromJson(archivo.readAll()).object().value(u"celdas").toArray();
        QVERIFY(!celdas.isEmpty());

        const Hoja hoja = leerXls(fixture(nombre + QStringLiteral(".xls")));
        int filas = 0;
        QSet<QPair<int, int>> vistas;
        for (const QJsonValue& v : celdas) {
            const QJsonArray e = v.toArray();
            const int f = e[0].toInt(), c = e[1].toInt();
            const QString tipo = e[2].toString();
            const Celda& celda = hoja.celda(f, c);
            const QByteArray donde = QStringLiteral("celda (%1,%2)").arg(f).arg(c).toUtf8();
            QVERIFY2(tipo == QLatin1String(nombreTipo(celda.tipo)),
                     QByteArray(donde + " es " + nombreTipo(celda.tipo) + ", se esperaba " + tipo.toUtf8())
                         .constData());
            if (tipo == u"Texto")
                QVERIFY2(celda.texto == e[3].toString(),
                         QByteArray(donde + ": " + celda.texto.left(80).toUtf8()).constData());
            else if (tipo == u"Booleano")
                QCOMPARE(celda.booleano, e[3].toBool());
            else if (tipo == u"Error")
                QCOMPARE(celda.codigoError, e[3].toInt());
            else
                QVERIFY2(celda.numero == e[3].toDouble(),
                         QByteArray(donde + ": " + QByteArray::number(celda.numero, 'g', 17) + " en vez de " +
                                    QByteArray::number(e[3].toDouble(), 'g', 17))
                             .constData());
            vistas.insert({f, c});
            filas = std::max(filas, f);
        }
        QCOMPARE(hoja.filas(), filas);
        for (int f = 1; f <= hoja.filas(); ++f)
            for (int c = 1; c <= 256; ++c)
                if (hoja.celda(f, c).tipo != TipoCelda::Vacia)
                    QVERIFY2(vistas.contains({f, c}),
                             qPrintable(QStringLiteral("celda de más (%1,%2)").arg(f).arg(c)));
        QLocale::setDefault(QLocale::c());
    }

    // The values an invoice lives on, spelled out (the test above checks them all).
    void totalesFechasYTextos() {
        const Hoja h = leerXls(fixture(QStringLiteral("tipos_libreoffice.xls")));
        QCOMPARE(h.celda(6, 7).numero, 1250.0 - 0.5 + 123456789 * 1.23);   // =SUM(E2:E4)
        QCOMPARE(h.celda(2, 9).texto, QStringLiteral("  con espacios  ")); // never trimmed
        QCOMPARE(h.celda(5, 6).tipo, TipoCelda::Numero);                   // 0.00 "días"
        const Hoja h1904 = leerXls(fixture(QStringLiteral("fecha1904_gnumeric.xls")));
        QCOMPARE(h1904.celda(2, 1).tipo, TipoCelda::Fecha);
        QCOMPARE(h1904.celda(2, 1).numero, 45366.0); // 15/03/2024 in the 1900 system
        QCOMPARE(h1904.celda(2, 2).numero, 100.0);   // numbers are not shifted
    }

    void libroCifradoSeRechaza() {
        QCOMPARE(errorAlLeer(fixture(QStringLiteral("cifrado_libreoffice.xls"))),
                 QStringLiteral("El libro está protegido con contraseña (cifrado) y no se puede leer"));
        const QByteArray filepass = reg(0x002F, le16(1) + QByteArray(52, '\0'));
        QCOMPARE(errorAlLeer(guardar(libroSimple(numero(0, 0, 1), filepass))),
                 QStringLiteral("El libro está protegido con contraseña (cifrado) y no se puede leer"));
    }

    // --- Hand-made workbooks ------------------------------------------------------------------

    void primeraHojaDeCalculo() {
        const HojaBiff primera{numero(0, 0, 1)}, segunda{numero(0, 0, 2)}, grafico{numero(0, 0, 111), 2};
        // a chart sheet first in the workbook is passed over
        QCOMPARE(leer(libro({}, {grafico, primera, segunda})).celda(1, 1).numero, 1.0);
        // the first sheet in workbook order, wherever its records are in the stream
        QCOMPARE(leer(libro({}, {primera, segunda}, {1, 0})).celda(1, 1).numero, 1.0);
        // a chart embedded in the sheet is a substream of its own; the cells after it are read
        const QByteArray conGrafico =
            numero(0, 0, 5) + bof(0x0600, 0x0020) + numero(0, 1, 99) + eof() + numero(1, 0, 6);
        const Hoja h = leer(libroSimple(conGrafico));
        QCOMPARE(h.celda(1, 1).numero, 5.0);
        QCOMPARE(h.celda(1, 2).tipo, TipoCelda::Vacia);
        QCOMPARE(h.celda(2, 1).numero, 6.0);
        QCOMPARE(errorAlLeer(guardar(libro({}, {grafico}))),
                 QStringLiteral("El libro no contiene ninguna hoja de cálculo."));
    }

    void formasRk() {
        const quint32 negativo = static_cast<quint32>(-7 * 4) | 2;
        const QByteArray mulrk = reg(0x00BD, le16(1) + le16(2) + le16(0) + le32(0x3FF80000) + le16(1) +
                                                 le32((45366u << 2) | 2) + le16(3));
        const QByteArray xfs = reg(0x00E0, le16(0) + le16(0) + QByteArray(16, '\0')) + // General
                               reg(0x00E0, le16(0) + le16(14) + QByteArray(16, '\0')); // built-in date
        const Hoja h =
            leer(libroSimple(rk(0, 0, 0x3FF80000) + rk(0, 1, 0x3FF80001) + rk(0, 2, (123u << 2) | 2) +
                                 rk(0, 3, (123u << 2) | 3) + rk(0, 4, negativo) +
                                 rk(0, 5, static_cast<quint32>(-123456 * 4) | 3) + mulrk,
                             xfs));
        QCOMPARE(h.celda(1, 1).numero, 1.5);         // IEEE high half
        QCOMPARE(h.celda(1, 2).numero, 1.5 / 100);   // IEEE high half, hundredths
        QCOMPARE(h.celda(1, 3).numero, 123.0);       // integer
        QCOMPARE(h.celda(1, 4).numero, 123.0 / 100); // integer, hundredths
        QCOMPARE(h.celda(1, 5).numero, -7.0);        // negative integer
        QCOMPARE(h.celda(1, 6).numero, -123456.0 / 100);
        QCOMPARE(h.celda(2, 3).numero, 1.5);
        QCOMPARE(h.celda(2, 3).tipo, TipoCelda::Numero);
        QCOMPARE(h.celda(2, 4).tipo, TipoCelda::Fecha); // XF 1 has a date format
        QCOMPARE(h.celda(2, 4).numero, 45366.0);
    }

    void registrosDeTexto() {
        // SST split over CONTINUE records: inside the characters of a string (with a change of
        // width), at a string's header, inside rich-text runs and inside phonetic data
        const QString ancho = QStringLiteral("añ€z");
        QByteArray s0 = le16(6) + QByteArray(1, '\0') + "abc";                        // cut after "abc"
        QByteArray c1 = QByteArray(1, '\1') + le16(u'd') + le16(0x20AC) + le16(u'f'); // rest as UTF-16
        QByteArray s1 = le16(2) + QByteArray(1, '\x08') + le16(2) + "xy" + le32(0);   // 2 runs, cut inside
        QByteArray c2 = le32(0) + le16(4) + QByteArray(1, '\x05') + le32(6) + le16(u'a') + le16(0xF1) +
                        le16(0x20AC) + le16(u'z') + "phon"; // phonetic data cut
        QByteArray c3 = QByteArray("et") + le16(3) + QByteArray(1, '\0') + "fin";
        const QByteArray sst = reg(0x00FC, le32(3) + le32(3) + s0) + reg(0x003C, c1) + reg(0x003C, s1) +
                               reg(0x003C, c2) + reg(0x003C, c3);
        // LABEL and RSTRING of BIFF8, STRING continued after a formula with a change of width
        const QByteArray label = celda(0x0204, 1, 0, 0, texto8(QStringLiteral("Descripción")));
        const QByteArray rstring = celda(0x00D6, 1, 1, 0, texto8(QStringLiteral("rico")) + le16(1) + le32(0));
        const QByteArray string = reg(0x0207, le16(5) + QByteArray(1, '\0') + "ab") +
                                  reg(0x003C, QByteArray(1, '\1') + le16(0x4E2D) + le16(u'c') + le16(u'd'));
        // a writer that carries the bytes of a STRING on with no options byte
        const QByteArray crudo = reg(0x0207, le16(6) + QByteArray(1, '\0') + "abc") + reg(0x003C, "def");
        const Hoja h = leer(libroSimple(labelSst(0, 0, 0) + labelSst(0, 1, 1) + labelSst(0, 2, 2) + label +
                                            rstring + formula(2, 0, resultadoEspecial(0)) + string +
                                            formula(2, 1, resultadoEspecial(0)) + crudo,
                                        sst));
        QCOMPARE(h.celda(1, 1).texto, QStringLiteral("abcd€f"));
        QCOMPARE(h.celda(1, 2).texto, QStringLiteral("xy"));
        QCOMPARE(h.celda(1, 3).texto, ancho);
        QCOMPARE(h.celda(2, 1).texto, QStringLiteral("Descripción"));
        QCOMPARE(h.celda(2, 2).texto, QStringLiteral("rico"));
        QCOMPARE(h.celda(3, 1).texto, QStringLiteral("ab中cd"));
        QCOMPARE(h.celda(3, 2).texto, QStringLiteral("abcdef"));
        QCOMPARE(h.filas(), 3);

        // a header that counts more strings than there are: the ones present are read
        const QByteArray grande = reg(0x00FC, le32(2) + le32(0xFFFFFFFF) + texto8(QStringLiteral("uno")) +
                                                  texto8(QStringLiteral("dos")));
        QCOMPARE(leer(libroSimple(labelSst(0, 0, 1), grande)).celda(1, 1).texto, QStringLiteral("dos"));
    }

    void resultadosSinRegistroPropio() {
        // a text result whose STRING record never comes is empty text; an error cell; a formula
        // with a boolean result
        const Hoja h = leer(libroSimple(formula(0, 0, resultadoEspecial(0)) + numero(0, 1, 8) +
                                        boolErr(1, 0, 0x24, true) + formula(1, 1, resultadoEspecial(1, 1))));
        QCOMPARE(h.celda(1, 1).tipo, TipoCelda::Texto);
        QVERIFY(h.celda(1, 1).texto.isEmpty());
        QCOMPARE(h.celda(1, 2).numero, 8.0);
        QCOMPARE(h.celda(2, 1).codigoError, 0x24);
        QVERIFY(h.celda(2, 2).booleano);
    }

    void paginasDeCodigosBiff5_data() {
        QTest::addColumn<QByteArray>("codepage");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("texto");
        QTest::newRow("sin CODEPAGE: 1252")
            << QByteArray() << QByteArray("\x80 \x93x\x94 \xF1") << u"€ “x” ñ"_s;
        QTest::newRow("1252") << le16(1252) << QByteArray("Cami\xF3n \x96") << u"Camión –"_s;
        QTest::newRow("1251 cirílico") << le16(1251) << QByteArray("\xCF\xF0\xE8") << u"При"_s;
        QTest::newRow("Mac Roman") << le16(10000) << QByteArray("\x96\x87") << u"ñá"_s;
    }
    void paginasDeCodigosBiff5() {
        QFETCH(QByteArray, codepage);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, texto);
        const QByteArray globales = codepage.isEmpty() ? QByteArray() : reg(0x0042, codepage);
        const QByteArray label = celda(0x0204, 0, 0, 0, le16(static_cast<int>(bytes.size())) + bytes);
        const Hoja h = leerXls(guardar(libro(globales, {HojaBiff{label}}, {}, false), "Book"));
        QCOMPARE(h.celda(1, 1).texto, texto);
    }

    // Which XF shows dates: by the FORMAT record the workbook gives for the id, or by the
    // built-in formats.
    void formatosDelLibro() {
        // a FORMAT record that redefines a built-in id decides by its code
        const QByteArray globales = reg(0x041E, le16(14) + texto8(QStringLiteral("0.00"))) +
                                    reg(0x041E, le16(164) + texto8(QStringLiteral("yyyy-mm-dd"))) +
                                    reg(0x00E0, le16(0) + le16(14) + QByteArray(16, '\0')) +
                                    reg(0x00E0, le16(0) + le16(164) + QByteArray(16, '\0'));
        const Hoja h =
            leer(libroSimple(numero(0, 0, 5, 0) + numero(0, 1, 5, 1) + numero(0, 2, 5, 7), globales));
        QCOMPARE(h.celda(1, 1).tipo, TipoCelda::Numero);
        QCOMPARE(h.celda(1, 2).tipo, TipoCelda::Fecha);
        QCOMPARE(h.celda(1, 3).tipo, TipoCelda::Numero); // XF that does not exist
    }

    // --- Bad input ------------------------------------------------------------------------------

    void noEsUnLibro() {
        const QString falta = m_dir.filePath(QStringLiteral("no-existe.xls"));
        QCOMPARE(errorAlLeer(falta),
                 QStringLiteral("No se puede abrir el archivo \"%1\" para leerlo.").arg(falta));
        const QString noOle =
            QStringLiteral("El archivo no es un libro de Excel 97-2003 (.xls): no tiene el formato "
                           "de documento compuesto.");
        for (const QByteArray& contenido : {QByteArray(), QByteArray("Codigo;Descripcion\n1;Tornillo\n"),
                                            QByteArray(QByteArray("PK\x03\x04", 4) + QByteArray(100, 'x')),
                                            QByteArray("\xD0\xCF\x11\xE0")}) {
            const QString ruta = m_dir.filePath(QStringLiteral("otro%1.xls").arg(++m_n));
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenido);
            f.close();
            QCOMPARE(errorAlLeer(ruta), noOle);
        }
        // a compound document with no workbook in it
        const QString sinLibro = m_dir.filePath(QStringLiteral("sin-libro.doc"));
        QVERIFY(guardarCompuesto(sinLibro, {{"WordDocument", QByteArray(600, 'w')}}));
        QCOMPARE(errorAlLeer(sinLibro),
                 QStringLiteral("El archivo es un documento compuesto pero no contiene un libro de Excel."));
        // the signature followed by garbage
        const QString basura = m_dir.filePath(QStringLiteral("basura.xls"));
        QFile f(basura);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(5000, '\x5A'));
        f.close();
        QCOMPARE(errorAlLeer(basura), QStringLiteral("El archivo está dañado o incompleto: su estructura de "
                                                     "documento compuesto (.xls) no se puede leer."));
    }

    // A file cut anywhere either fails with a message or, when only unused space was cut, reads
    // as the whole file does.
    void archivoTruncado() {
        for (const char* nombre :
             {"tipos_libreoffice.xls", "textos_largos_gnumeric.xls", "biff5_gnumeric.xls"}) {
            QFile original(fixture(QLatin1String(nombre)));
            QVERIFY(original.open(QIODevice::ReadOnly));
            const QByteArray todo = original.readAll();
            const Hoja completa = leerXls(original.fileName());
            int fallidos = 0;
            for (qsizetype largo = 8; largo < todo.size();
                 largo += std::max<qsizetype>(97, todo.size() / 150)) {
                const QString ruta = m_dir.filePath(QStringLiteral("truncado.xls"));
                QFile f(ruta);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(todo.left(largo));
                f.close();
                try {
                    QVERIFY2(mismaHoja(leerXls(ruta), completa), qPrintable(QString::number(largo)));
                } catch (const tarvix::VbError& e) {
                    QCOMPARE(e.numero(), 1004);
                    QVERIFY(!e.descripcion().isEmpty());
                    ++fallidos;
                }
            }
            QVERIFY(fallidos > 0);
        }
    }

    void registrosHostiles_data() {
        QTest::addColumn<QByteArray>("flujo");
        QTest::addColumn<QString>("mensaje");
        const QByteArray uno = numero(0, 0, 1);
        const QString incompleto = u"El libro está dañado o incompleto: termina en medio de un registro."_s;
        QTest::newRow("flujo vacío") << QByteArray() << u"El libro está vacío."_s;
        QTest::newRow("no empieza con BOF")
            << (uno + libroSimple(uno))
            << u"El archivo no contiene un libro de Excel válido: el libro no "
               "empieza con un registro de inicio."_s;
        QTest::newRow("BIFF4") << reg(0x0409, le16(0) + le16(0x10)) + eof()
                               << u"El libro tiene un formato anterior a Excel 5.0 y no se puede leer."_s;
        QTest::newRow("versión desconocida")
            << bof(0x0700, 0x0005) + eof()
            << u"El libro tiene una versión de formato de Excel desconocida y "
               "no se puede leer."_s;
        QTest::newRow("registro de 9000 bytes") << libroSimple(regCrudo(0x0203, 9000, QByteArray(9000, '\0')))
                                                << u"El libro está dañado: un registro declara 9000 bytes de "
                                                   "datos y el formato admite como máximo 8224."_s;
        QTest::newRow("registro más largo que el flujo")
            << libroSimple(uno).chopped(4) + regCrudo(0x0203, 2000, QByteArray(10, '\0')) << incompleto;
        QTest::newRow("cabecera cortada") << libroSimple(uno).chopped(2) << incompleto;
        QTest::newRow("hoja sin EOF") << libroSimple(uno).chopped(4)
                                      << u"El libro está dañado o incompleto: se corta antes del final de la "
                                         "hoja."_s;
        QTest::newRow("datos generales sin EOF")
            << bof(0x0600, 0x0005) + reg(0x0042, le16(1200))
            << u"El libro está dañado o incompleto: se corta antes del final "
               "de sus datos generales."_s;
        const QString perdida = u"El libro está dañado: la primera hoja no está donde el libro indica."_s;
        QByteArray fuera = libroSimple(uno);
        fuera.replace(fuera.indexOf(QByteArray("\x85\x00", 2)) + 4, 4, le32(0x7FFFFFFF));
        QTest::newRow("hoja fuera del flujo") << fuera << perdida;
        QByteArray enGlobales = libroSimple(uno);
        enGlobales.replace(enGlobales.indexOf(QByteArray("\x85\x00", 2)) + 4, 4, le32(0));
        QTest::newRow("hoja en los datos generales") << enGlobales << perdida;
        QTest::newRow("índice de texto inexistente")
            << libroSimple(labelSst(2, 1, 5), sst({u"a"_s, u"b"_s}))
            << u"El libro está dañado: la celda B3 usa un texto compartido que no existe."_s;
        QTest::newRow("texto compartido sin tabla") << libroSimple(labelSst(0, 0, 0))
                                                    << u"El libro está dañado: la celda A1 usa un texto "
                                                       "compartido que no existe."_s;
        const QString sstRota = u"El libro está dañado: la tabla de textos compartidos está incompleta."_s;
        QTest::newRow("texto más largo que la tabla")
            << libroSimple(uno, reg(0x00FC, le32(1) + le32(1) + le16(5000) + QByteArray(1, '\0') + "abc"))
            << sstRota;
        QTest::newRow("datos fonéticos enormes")
            << libroSimple(uno, reg(0x00FC, le32(1) + le32(1) + le16(1) + QByteArray(1, '\4') +
                                                le32(0xFFFFFFFF) + "a"))
            << sstRota;
        QTest::newRow("columna 257")
            << libroSimple(numero(4, 256, 1))
            << u"El libro está dañado: una celda de la fila 5 está en la columna 257, "
               "fuera de la hoja."_s;
        QTest::newRow("MULRK que no cuadra")
            << libroSimple(reg(0x00BD, le16(0) + le16(3) + le16(0) + le32(2) + le16(0) + le32(6) + le16(9)))
            << u"El libro está dañado: un grupo de números de la fila 1 no coincide con sus columnas."_s;
        QTest::newRow("MULRK que pasa la columna 256")
            << libroSimple(
                   reg(0x00BD, le16(0) + le16(255) + le16(0) + le32(2) + le16(0) + le32(6) + le16(256)))
            << u"El libro está dañado: una celda de la fila 1 está en la columna 257, fuera de la hoja."_s;
        QTest::newRow("NUMBER corto") << libroSimple(uno + reg(0x0203, le16(0) + le16(1) + le16(0) + "abc"))
                                      << u"El libro está dañado: un registro de celda es demasiado corto."_s;
        QTest::newRow("número no válido")
            << libroSimple(numero(0, 2, std::numeric_limits<double>::quiet_NaN()))
            << u"El libro está dañado: la celda C1 tiene un número no válido."_s;
        QTest::newRow("resultado de fórmula desconocido")
            << libroSimple(formula(1, 27, resultadoEspecial(9)))
            << u"El libro está dañado: la fórmula de la celda AB2 tiene un resultado de tipo desconocido."_s;
        QTest::newRow("texto de celda cortado")
            << libroSimple(celda(0x0204, 0, 0, 0, le16(50) + QByteArray(1, '\0') + "corto"))
            << u"El libro está dañado: el texto de la celda A1 está incompleto."_s;
        // cells that would lay out more memory than the sheet may take (rows of 256 columns)
        QByteArray anchas;
        for (int fila = 0; fila < 41000; ++fila)
            anchas += numero(fila, 255, fila);
        QTest::newRow("demasiadas celdas")
            << libroSimple(anchas)
            << u"La hoja es demasiado grande para leerla: necesita más de 160 MB de memoria."_s;
        // one shared string of 32,767 characters, carried on in CONTINUE records, in 50,000 cells:
        // 3.2 GB once written out in the grid
        const QByteArray cabecera = le32(50000) + le32(1) + le16(32767) + QByteArray(1, '\0');
        const QByteArray larga(32767, 'x');
        QByteArray tablaLarga = reg(0x00FC, cabecera + larga.left(8224 - cabecera.size()));
        for (qsizetype desde = 8224 - cabecera.size(); desde < larga.size(); desde += 8223)
            tablaLarga += reg(0x003C, QByteArray(1, '\0') + larga.mid(desde, 8223));
        QByteArray repetidas;
        for (int k = 0; k < 50000; ++k)
            repetidas += labelSst(k / 25, k % 25, 0);
        QTest::newRow("un texto compartido largo en muchas celdas")
            << libroSimple(repetidas, tablaLarga)
            << u"La hoja es demasiado grande para leerla: necesita más de 160 MB de memoria."_s;
        // more shared strings than the reader keeps, each one character, in SST and CONTINUE records
        QByteArray textos = le32(1) + le32(1'000'001);
        for (int i = 0; i <= 1'000'000; ++i)
            textos += le16(1) + QByteArray(1, '\0') + "x";
        QByteArray tabla = reg(0x00FC, textos.left(8224));
        for (qsizetype desde = 8224; desde < textos.size(); desde += 8224)
            tabla += reg(0x003C, textos.mid(desde, 8224));
        QTest::newRow("demasiados textos compartidos")
            << libroSimple(uno, tabla) << u"El libro tiene demasiados textos (más de 1000000) para leerlo."_s;
    }
    void registrosHostiles() {
        QFETCH(QByteArray, flujo);
        QFETCH(QString, mensaje);
        QCOMPARE(errorAlLeer(guardar(flujo)), mensaje);
    }

    void flujoDemasiadoGrande() {
        QByteArray flujo = libroSimple(numero(0, 0, 1));
        flujo += QByteArray(64 * 1024 * 1024, '\0');
        QCOMPARE(errorAlLeer(guardar(flujo)),
                 QStringLiteral("El libro es demasiado grande para leerlo: ocupa más de "
                                "64 MB."));
    }

    // Damage anywhere in the records of a real workbook ends in a message or in a sheet, never
    // in a crash (run it under the sanitizers to see the difference).
    void bytesAlterados() {
        QFile original(fixture(QStringLiteral("tipos_gnumeric.xls")));
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray todo = original.readAll();
        quint32 semilla = 12345;
        auto azar = [&semilla] { return semilla = semilla * 1103515245u + 12345u; };
        for (int i = 0; i < 300; ++i) {
            QByteArray alterado = todo;
            for (int j = 0; j < 4; ++j)
                alterado[512 + (azar() >> 8) % (alterado.size() - 512)] = static_cast<char>(azar() >> 24);
            const QString ruta = m_dir.filePath(QStringLiteral("alterado.xls"));
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(alterado);
            f.close();
            try {
                leerXls(ruta);
            } catch (const tarvix::VbError& e) {
                QCOMPARE(e.numero(), 1004);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLectorXls)
#include "tst_lectorxls.moc"
