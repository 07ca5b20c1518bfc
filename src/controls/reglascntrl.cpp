#include "controls/reglascntrl.h"

namespace tarvix::cntrl {

int buscarPrefijo(const QStringList& lineas, const QString& valor) {
    for (int i = 0; i < lineas.size(); ++i)
        if (lineas.at(i).startsWith(valor, Qt::CaseInsensitive))
            return i;
    return -1;
}

QString separadorDecimal(const QLocale& locale) {
    return locale.decimalPoint();
}

QString textoTeclaDecimal(const QString& separador) {
    return separador.isEmpty() ? QStringLiteral(".") : separador.left(1);
}

Rgb rgb(Fondo f) {
    switch (f) {
    case Fondo::Melocoton:
        return {254, 228, 214};
    case Fondo::VerdeClaro:
        return {192, 255, 192};
    case Fondo::Blanco:
    case Fondo::SinCambio:
        break;
    }
    return {255, 255, 255};
}

Fondo fondoAlEnfocar(const QString& tag) {
    if (tag.endsWith(QStringLiteral("#F6")))
        return Fondo::Melocoton;
    if (tag.startsWith(QStringLiteral("BB")))
        return Fondo::SinCambio;
    return Fondo::VerdeClaro;
}

Fondo fondoAlSalir(const QString& tag) {
    return tag.startsWith(QStringLiteral("BB")) ? Fondo::SinCambio : Fondo::Blanco;
}

} // namespace tarvix::cntrl
