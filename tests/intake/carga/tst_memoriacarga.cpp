// The memory a whole load takes (the workbook read, the lines formatted into the grid), measured
// in a process of its own for each file: a large invoice loads, and a small file that would make
// the grid write out one long text many times is refused in bounded memory.
#include "../xlsx/paquetexlsx.h"
#include "components/archivos.h"
#include "components/interaccionguionada.h"
#include "components/memoria.h"
#include "components/servicios.h"
#include "intake/carga/carga.h"
#include "intake/carga/grilla.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

using namespace tarvix;
using namespace Qt::StringLiterals;

extern char** environ;

namespace {

std::string xml(const std::string& s) {
    std::string r;
    for (const char c : s)
        r += c == '&' ? std::string("&amp;") : c == '<' ? std::string("&lt;") : std::string(1, c);
    return r;
}

// An invoice of `lineas` lines by 25 columns under a header: 8 texts (a code, a description and a
// model of each line; unit, origin, tariff heading and brand repeated from short lists), all
// shared strings, and 17 numbers.
bool escribirFactura(const QString& ruta, int lineas) {
    const char* origenes[] = {"CHINA", "BRASIL", "ALEMANIA", "ESTADOS UNIDOS", "JAPÓN"};
    std::string cadenas;
    int cuantas = 0;
    const auto cadena = [&](const std::string& s) {
        cadenas += "<si><t>" + xml(s) + "</t></si>";
        return cuantas++;
    };
    std::string hoja = kInicioHoja + "<row r=\"1\">";
    for (int c = 0; c < 25; ++c)
        hoja += "<c t=\"s\"><v>" + std::to_string(cadena("Columna " + std::to_string(c + 1))) + "</v></c>";
    hoja += "</row>";
    int unidades[2], origen[5], posiciones[300], marcas[50];
    unidades[0] = cadena("UN");
    unidades[1] = cadena("KG");
    for (int i = 0; i < 5; ++i)
        origen[i] = cadena(origenes[i]);
    for (int i = 0; i < 300; ++i)
        posiciones[i] = cadena("8471." + std::to_string(10 + i % 90) + "." + std::to_string(100 + i) + "K");
    for (int i = 0; i < 50; ++i)
        marcas[i] = cadena("Marca " + std::string(1, char('A' + i % 26)) + std::to_string(i));
    hoja.reserve(static_cast<size_t>(lineas) * 560);
    for (int f = 2; f <= lineas + 1; ++f) {
        const std::string n = std::to_string(f - 1);
        const int textos[8] = {
            cadena("ART-" + n),
            cadena("Tornillo hexagonal de acero inoxidable M8 x " + n + " mm, caja de 100 unidades"),
            cadena("MOD-" + std::to_string(f * 7919 % 100003)),
            unidades[f % 2],
            origen[f % 5],
            posiciones[f % 300],
            marcas[f % 50],
            unidades[(f / 2) % 2]};
        hoja += "<row r=\"" + std::to_string(f) + "\">";
        for (const int t : textos)
            hoja += "<c t=\"s\"><v>" + std::to_string(t) + "</v></c>";
        for (int c = 0; c < 17; ++c)
            hoja += "<c><v>" + std::to_string((f * (c + 3)) % 10007) + (c % 3 ? ".25" : "") + "</v></c>";
        hoja += "</row>";
    }
    return escribirHoja(ruta, hoja + kFinHoja, ZIP_CM_DEFLATE,
                        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                            cadenas + "</sst>");
}

// The longest text a cell holds, 32,767 characters.
std::string cadenaLarga() {
    std::string larga;
    for (int i = 0; larga.size() < 32767; ++i)
        larga += "texto " + std::to_string(i) + " ";
    larga.resize(32767);
    return larga;
}

// `celdas` cells, 25 to a row under a header, all showing the same shared string, cadenaLarga().
bool escribirCadenaRepetida(const QString& ruta, int celdas) {
    const std::string larga = cadenaLarga();
    std::string hoja = kInicioHoja + "<row r=\"1\">";
    for (int c = 0; c < 25; ++c)
        hoja += "<c t=\"inlineStr\"><is><t>C" + std::to_string(c + 1) + "</t></is></c>";
    hoja += "</row>";
    for (int k = 0; k < celdas; ++k) {
        if (k % 25 == 0)
            hoja += (k ? "</row><row r=\"" : "<row r=\"") + std::to_string(k / 25 + 2) + "\">";
        hoja += "<c t=\"s\"><v>0</v></c>";
    }
    return escribirHoja(ruta, hoja + "</row>" + kFinHoja, ZIP_CM_DEFLATE,
                        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>" +
                            larga + "</t></si></sst>");
}

constexpr int kLargoMuestra = 100;

// The largest resident size of this process so far, in KiB (VmHWM).
long picoResidenteKiB() {
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray linea = estado.readLine(); !linea.isEmpty(); linea = estado.readLine())
        if (linea.startsWith("VmHWM:"))
            return linea.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// In the child: loads `ruta` as step 2 does and writes to `salida` its peak memory, then "bien",
// the grid's rows and columns, the time and a few cells, or the message shown.
int cargarEnHijo(const char* ruta, const char* salida) {
    Servicios srv;
    InteraccionGuionada guion;
    Pindra::Archivos archivos{&guion};
    srv.setInteraccion(&guion);
    srv.g_oArchivos = &archivos;
    ModeloGrilla grilla;
    QElapsedTimer reloj;
    reloj.start();
    const bool bien = lf_LevantarExcel(QString::fromLocal8Bit(ruta), grilla, srv);
    QString texto;
    if (bien) {
        texto =
            QStringLiteral("bien\n%1\n%2\n%3\n").arg(grilla.Rows()).arg(grilla.Cols()).arg(reloj.elapsed());
        for (const auto& [f, c] : {std::pair{0, 24}, {2, 0}, {2, 1}, {2, 8}, {2, 9}, {grilla.Rows() - 1, 0}})
            texto += grilla.TextMatrix(f, c).left(kLargoMuestra) + u'\n';
    } else {
        texto = guion.mensajes().isEmpty() ? QStringLiteral("sin mensaje") : guion.mensajes().last().texto;
    }
    texto.prepend(QString::number(picoResidenteKiB()) + u'\n');
    QFile f(QString::fromLocal8Bit(salida));
    return f.open(QIODevice::WriteOnly) && f.write(texto.toUtf8()) > 0 ? 0 : 1;
}

struct Hijo {
    QStringList salida;
    long picoMiB = -1;
};

// Runs the load of `ruta` in a child process of this program: what it wrote and its peak memory.
// (Its rusage would not do: a spawned child shares this process's memory until it runs exec, and
// its peak counts this process's.)
Hijo cargarAparte(const QString& ruta, const QString& salida) {
    const QByteArray programa = QFile::encodeName(QCoreApplication::applicationFilePath());
    const QByteArray a = QFile::encodeName(ruta), b = QFile::encodeName(salida);
    char* argumentos[] = {const_cast<char*>(programa.constData()), const_cast<char*>("--cargar"),
                          const_cast<char*>(a.constData()), const_cast<char*>(b.constData()), nullptr};
    Hijo h;
    pid_t pid = 0;
    if (posix_spawn(&pid, programa.constData(), nullptr, nullptr, argumentos, environ) != 0)
        return h;
    int estado = 0;
    if (waitpid(pid, &estado, 0) != pid || !WIFEXITED(estado) || WEXITSTATUS(estado) != 0)
        return h;
    QFile f(salida);
    if (f.open(QIODevice::ReadOnly))
        h.salida = QString::fromUtf8(f.readAll()).split(u'\n');
    // The child's own peak: what a process started with exec measures from its start.
    h.picoMiB = h.salida.isEmpty() ? -1 : h.salida.takeFirst().toLong() / 1024;
    return h;
}

} // namespace

class TstMemoriaCarga : public QObject {
    Q_OBJECT
private slots:
    void cargas_data();
    void cargas();
};

void TstMemoriaCarga::cargas_data() {
    QTest::addColumn<int>("archivo");
    QTest::addColumn<int>("cantidad");
    QTest::addColumn<QStringList>("esperado"); // the child's first lines, or a part of its message
    // 2,500,000 cells: their slots alone were more than the reader took before.
    QTest::newRow("factura de 100.000 líneas por 25 columnas")
        << 0 << 100000
        << QStringList{
               u"bien"_s,      u"100002"_s,
               u"25"_s,        u"Columna 25"_s,
               u"ART-1"_s,     u"Tornillo hexagonal de acero inoxidable M8 x 1 mm, caja de 100 unidades"_s,
               u"6"_s,         u"8,25"_s,
               u"ART-100000"_s};
    // 50,000 times 32,767 characters, 3.2 GB written out, from a file of some 20 KB.
    QTest::newRow("una cadena larga en 50.000 celdas")
        << 1 << 50000
        << QStringList{u"supera un límite de seguridad: la hoja necesita más de 160 MB de memoria"_s};
    // 2,000 times: 130 MB in the grid, within the limits.
    QTest::newRow("una cadena larga en 2.000 celdas")
        << 1 << 2000
        << QStringList{u"bien"_s, u"82"_s, u"25"_s, u"C25"_s,
                       QString::fromStdString(cadenaLarga()).left(kLargoMuestra)};
}

void TstMemoriaCarga::cargas() {
    QFETCH(int, archivo);
    QFETCH(int, cantidad);
    QFETCH(QStringList, esperado);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("factura.xlsx"));
    QVERIFY(archivo == 0 ? escribirFactura(ruta, cantidad) : escribirCadenaRepetida(ruta, cantidad));
    QElapsedTimer reloj;
    reloj.start();
    const Hijo h = cargarAparte(ruta, dir.filePath(QStringLiteral("salida.txt")));
    const qint64 ms = reloj.elapsed();
    QVERIFY2(h.picoMiB > 0, "el proceso de la carga falló");
    qInfo("%s: pico residente %ld MiB, %lld ms en el proceso de la carga", QTest::currentDataTag(), h.picoMiB,
          ms);
    QVERIFY2(h.picoMiB < 500, qPrintable(QString::number(h.picoMiB)));
    if (esperado.first() != u"bien") {
        QVERIFY2(h.salida.join(u'\n').contains(esperado.first()), qPrintable(h.salida.join(u'\n')));
        return;
    }
    QCOMPARE(h.salida.mid(0, 3), esperado.mid(0, 3));
    QCOMPARE(h.salida.mid(4, esperado.size() - 3), esperado.mid(3));
    QVERIFY2(ms < 30000 * prueba::factorTiempo(), qPrintable(QString::number(ms)));
}

int main(int argc, char** argv) {
    prepararMemoria();
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    if (argc == 4 && std::strcmp(argv[1], "--cargar") == 0)
        return cargarEnHijo(argv[2], argv[3]);
    TstMemoriaCarga prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_memoriacarga.moc"
