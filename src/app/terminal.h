#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tarvix::terminal {

// What the arguments ask for: the window, or one of the forms answered on the terminal.
enum class Forma { Ventana, Ayuda, Version };

// `-h`/`--help` asks for the usage, `-v`/`--version` for the name and the version (the usage wins
// when both are there). Anything else leaves the window to open: Qt takes its own options
// (-platform, -style, -reverse...) when the application starts. `argumentos` starts with the
// program's name, as QCoreApplication::arguments() does.
Forma forma(const QStringList& argumentos);

// What a terminal form prints on standard output ("tarvix 1.1.20" and the like).
QString texto(Forma forma);

// Answers the terminal forms with a QCoreApplication only, so that they need no display: returns
// the exit status when it answered, nothing when the window is to open.
std::optional<int> atenderSinVentana(int& argc, char** argv);

} // namespace tarvix::terminal
