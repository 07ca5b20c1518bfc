#pragma once

#include "components/origenesnuevos.h"

#include <QString>
#include <vector>

namespace tarvix {

class GrillaDatos;
struct EstadoAsistente;
struct Servicios;

// A country text as compared: upper case, without accents, signs as blanks, blanks collapsed, and
// without the words that only say it is an origin ("MADE IN", "ORIGIN", "COUNTRY OF ORIGIN", ...).
QString normalizarPais(const QString& texto);

// The id of the country of `paises` the text clearly names: the same name ignoring case and
// accents, an ISO 3166 code, or a common English, Portuguese, Spanish or local name; empty when
// none is clear.
QString proponerPais(const QString& texto, const std::vector<PaisDisponible>& paises);

// The countries of PAIS by description, as the country-relation window lists them.
std::vector<PaisDisponible> paisesDisponibles(Servicios& srv);

// The origin and provenance texts of the grid's lines that have no relation in ORG, in the order
// they first appear, each with its proposal.
std::vector<OrigenNuevo> origenesSinRelacion(Servicios& srv, const GrillaDatos& grilla,
                                             const std::vector<PaisDisponible>& paises);

// Stores the relation of every text that has a country, with the statements of the
// country-relation window. How many were stored.
int guardarRelaciones(Servicios& srv, EstadoAsistente& estado, const std::vector<OrigenNuevo>& origenes);

// Before the run: the texts without relation in one window through the seam; F11 stores those with
// a country, Esc stores nothing. Stage 1 still asks for any text left without relation.
void relacionarOrigenesNuevos(Servicios& srv, EstadoAsistente& estado, const GrillaDatos& grilla);

} // namespace tarvix
