#pragma once

#include "components/espera.h"
#include "components/estadoasistente.h"
#include "components/servicios.h"

#include <QChar>
#include <QString>
#include <QStringList>

namespace tarvix {

// Character filter of a suffix value: capitals A-Z, Ñ, "&", ",", "/" and digits pass (their codes
// in the Windows ANSI code page: 65-90, 209, 38, 44, 47, 48-57); any other character becomes a blank.
QString sCaracterValido(QChar c);
// Value cleaning: trimmed, upper case, cut to 20 characters, every character through the filter.
QString sLimpiarValor(const QString& valor);

// The value-suffix dialogue of the record editor: asks the user, group by group, for every value
// suffix the position requires and builds the suffix text. Free values are typed into input boxes;
// options are picked in the option chooser (through the seam's elegirOpcion).
class DialogoSufijos {
public:
    DialogoSufijos(Servicios& srv, EstadoAsistente& estado, PunteroEspera& espera);

    // The suffix text for `posicion`, using the entries of `previo` as defaults: entries joined and
    // ended by "-"; "SIN SUFIJOS" when the position has none; empty when the user cancelled or no
    // option was chosen, and after a failure (reported).
    QString VerificarSufijos(const QString& articulo, const QString& posicion, const QString& previo);

    QString g_sArticulo;     // article code of the line, default of the model groups AI and AB
    QString g_sOpcionSufijo; // the line chosen in the option chooser

    // Title of the option chooser.
    static QString tituloOpciones() { return QStringLiteral("Carga de Sufijos"); }

private:
    enum class Clase { SinClase, Texto, Numero };

    // One free-value group; false when the user cancelled the dialogue.
    bool pedirValor(const QString& codigo, const QString& detalle, const QString& previo, QString& acumulado);
    // One option group; false when no option was chosen.
    bool elegirOpcion(const QString& grupo, const QStringList& codigos, const QStringList& detalles,
                      const QString& previo, QString& acumulado);
    QString valorPorDefecto(const QString& codigo, const QString& previo) const;

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    PunteroEspera& m_espera;
    Clase m_clase = Clase::SinClase;
};

// Position (1-based) of the entry of `codigo` in a suffix text: at the start or right after a "-";
// 0 when the text has no such entry.
qsizetype posicionEntrada(const QString& texto, const QString& codigo);

} // namespace tarvix
