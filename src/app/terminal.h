#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tarvix::terminal {

// What the arguments ask for: the window, or one of the forms answered on the terminal.
enum class Forma { Ventana, Ayuda, Version, Leer, Mapear, Procesar, UsoIncorrecto };

struct Pedido {
    Forma forma = Forma::Ventana;
    QString archivo; // the invoice of Leer, Mapear and Procesar
    // Procesar's options.
    QString interno;
    QString descripcion;
    bool json = false;
};

// Exit status of `tarvix procesar`.
enum Salida {
    kBien = 0,
    kArchivoIlegible = 1,
    kUsoIncorrecto = 2,
    kMapeoIncompleto = 3,
    kErroresDeRevision = 4,
    kOrigenesSinRelacion = 5,
    kFallaDelProceso = 6,
};

// `-h`/`--help` asks for the usage, `-v`/`--version` for the name and the version (the usage wins
// when both are there); `leer ARCHIVO` and `mapear ARCHIVO` for the cells and the mapping of an
// invoice, and either without exactly one file is a usage error. Anything else leaves the window to
// open: Qt takes its own options (-platform, -style, -reverse...) when the application starts.
// `argumentos` starts with the program's name, as QCoreApplication::arguments() does.
Pedido pedido(const QStringList& argumentos);
inline Forma forma(const QStringList& argumentos) {
    return pedido(argumentos).forma;
}

// What a terminal form prints on standard output ("tarvix 1.1.20" and the like).
QString texto(Forma forma);

// A cell as a field of tab-separated text: a TAB, a line break or a backslash inside it written as
// \t, \n, \\.
QString campoTsv(QStringView celda);

// `tarvix leer`: the first worksheet of `ruta` as the grid shows it (the header row and the lines,
// without the field row), one line per row and TAB between cells, into `salida`. `tarvix mapear`:
// the mapping a load of `ruta` would apply with the data folder `carpetaDatos` and the settings
// (the remembered layout first, then the proposal from headers), one "letter TAB label" line per
// mapped column. Each returns the exit status: 0, or 1 with the program's message in `errores`
// when the file cannot be read.
int leer(const QString& ruta, QString& salida, QString& errores);
int mapear(const QString& ruta, const QString& carpetaDatos, QString& salida, QString& errores);
// `tarvix procesar`: loads the invoice into interno `pedido.interno` (created when missing), maps it
// as a load would, checks it, relates the origins whose country is clear and, when the check found
// no error and every origin has a relation, runs the four stages and writes the six counters of
// step 3. Findings, origins left without relation and failures go to `errores` with their rows
// (everything into `salida` as one JSON object with `json`). Returns a Salida.
int procesar(const Pedido& pedido, const QString& carpetaDatos, QString& salida, QString& errores);

// Answers the terminal forms with a QCoreApplication only, so that they need no display: returns
// the exit status when it answered, nothing when the window is to open.
std::optional<int> atenderSinVentana(int& argc, char** argv);

} // namespace tarvix::terminal
