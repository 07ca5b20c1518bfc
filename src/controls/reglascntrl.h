#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The rules of the text-input controller that need no window: the prefix search of lists, the
// decimal separator and the focus colours a text box's tag asks for.
namespace tarvix::cntrl {

// Index of the first line that begins with `valor`, without regard to case; -1 when none does.
// Empty text matches the first line, as every line begins with it.
int buscarPrefijo(const QStringList& lineas, const QString& valor);

// The user's decimal separator (ObtenerDecimal).
QString separadorDecimal(const QLocale& locale = QLocale());

// What the keypad's decimal key types: the first character of the separator, or a full stop when
// the locale gave none.
QString textoTeclaDecimal(const QString& separador);

// Backgrounds of a linked text box.
enum class Fondo { SinCambio, Blanco, Melocoton, VerdeClaro };

struct Rgb {
    int rojo;
    int verde;
    int azul;
};
Rgb rgb(Fondo f);

// On focus: "#F6" at the end gives light peach, "BB" at the start leaves the box alone, anything
// else gives light green. Whenever the colour changes, the whole text is selected.
Fondo fondoAlEnfocar(const QString& tag);
// On leaving: white, unless the tag begins with "BB".
Fondo fondoAlSalir(const QString& tag);

} // namespace tarvix::cntrl
