// Rules of the suffix validator.
//
// Result 1, the position does not exist:
//  - the position text is not 15 characters in the dotted form "dddd.dd.dd.xxxy" (digits in the
//    first ten characters but the dots, a dot at 11; characters 12 to 15 are left to the lookup);
//  - ncm has no row with [001] = characters 1-10, [002] = characters 12-14, [003] = character 15.
// The position is checked first: a missing position gives 1 whatever its suffix text.
//
// The groups of a position are the distinct first two characters of the sufijo of the sufidos rows
// whose sim is one of its four patterns: the first 2 characters + "  .  .  .   ", the first 4 +
// ".  .  .   ", the first 7 + ".  .   " and the first 14 (sim compared without trailing blanks). A
// group whose rows carry only the two-character code (AA, AB, AI, ZA...) takes a free value; a
// group with longer codes (AC01, AH02...) takes one of those codes, its options.
//
// Result 2, the suffix text does not fit the groups (blanks around the whole text do not count):
//  - an empty text or "SIN SUFIJOS" when the position has groups (both are valid without groups);
//  - a text that does not end with "-": every item ends with "-";
//  - an item that is neither a group code of two characters followed by "(" value ")" nor a code
//    written alone; a value holding "(", ")" or "-" breaks the items, so it is not valid either
//    (the editor's dialogue turns those characters into blanks);
//  - an item of a group the position does not have, or a group written twice;
//  - a free-value group written as a code alone, or an option group written with a value;
//  - an option code that is not among its group's sufidos rows, nor the group code followed by
//    "00" (the choice "Ninguna opción" of the editor's dialogue);
//  - an empty free value, "XX()" or blanks only;
//  - the value of a group beginning with "Z" that is not exactly six digits;
//  - a group of the position without its item.
// The order of the items is free. Otherwise the result is 0.
//
// Failures: a database failure, or a validator used before ConexionString, raises a
// tarvix::VbError (the caller's report shows it); no other result code is given.
//
// Speed: the first look at a chapter reads its ncm positions and sufidos rows at once (two queries
// on the "NCM" entity); the groups of each position are then kept for the life of the instance.

#include "components/sufijos.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"

#include <QVarLengthArray>
#include <algorithm>

namespace Sorvex {

namespace {

using tarvix::Recordset;
namespace vb = tarvix::vb;

const QString kOrigen = QStringLiteral("Sorvex.Sufijos");

bool esDigito(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "dddd.dd.dd" + "." + three characters + one character.
bool formaPunteada(const QString& p) {
    if (p.size() != 15)
        return false;
    for (qsizetype i = 0; i < 11; ++i) {
        const bool punto = i == 4 || i == 7 || i == 10;
        if (punto ? p[i] != u'.' : !esDigito(p[i]))
            return false;
    }
    return true;
}

QString texto(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

// Key of a position in a chapter: its three parts, trailing blanks aside, without regard to case
// (as the database compares them: the check letter "r" finds "R").
QString clavePosicion(const QString& p001, const QString& p002, const QString& p003) {
    return QString(vb::RTrim(p001) + u'\x1f' + vb::RTrim(p002) + u'\x1f' + vb::RTrim(p003)).toCaseFolded();
}

bool seisDigitos(QStringView v) {
    return v.size() == 6 && std::all_of(v.begin(), v.end(), esDigito);
}

bool soloBlancos(QStringView v) {
    return std::all_of(v.begin(), v.end(), [](QChar c) { return c == u' '; });
}

} // namespace

void Sufijos::ConexionString(Trelvan::Central& central) {
    m_central = &central;
    m_posiciones.clear();
    m_capitulos.clear();
}

const Sufijos::Capitulo& Sufijos::capitulo(const QString& clave) {
    const auto it = m_capitulos.constFind(clave);
    if (it != m_capitulos.constEnd())
        return it.value();
    if (!m_central)
        throw tarvix::VbError(
            91, kOrigen, QStringLiteral("El validador de sufijos no recibió la conexión al nomenclador"));
    const QString ncm = QStringLiteral("NCM");
    Capitulo c;
    Recordset rs;
    // The chapter is two digits (checked by the caller), so it needs no escaping.
    m_central->getDataConnectionByEntity(ncm).setSql(
        QStringLiteral("select [001],[002],[003] from ncm where [001] like '") + clave +
        QStringLiteral("%'"));
    if (m_central->getDataConnectionByEntity(ncm).CrearRs(rs)) {
        for (; !rs.Fin(); rs.MoveNext())
            c.posiciones.insert(clavePosicion(texto(rs.Fields(0)), texto(rs.Fields(1)), texto(rs.Fields(2))));
    }
    m_central->getDataConnectionByEntity(ncm).setSql(
        QStringLiteral("select sim, sufijo from sufidos where sim like '") + clave + QStringLiteral("%'"));
    if (m_central->getDataConnectionByEntity(ncm).CrearRs(rs)) {
        for (; !rs.Fin(); rs.MoveNext())
            c.sufijosPorSim[vb::RTrim(texto(rs.Fields(QStringLiteral("sim"))))].append(
                vb::Trim(texto(rs.Fields(QStringLiteral("sufijo")))));
    }
    return m_capitulos.insert(clave, std::move(c)).value();
}

const Sufijos::Posicion& Sufijos::datosDe(const QString& posicion) {
    const auto it = m_posiciones.constFind(posicion);
    if (it != m_posiciones.constEnd())
        return it.value();
    Posicion p;
    if (formaPunteada(posicion)) {
        const Capitulo& c = capitulo(posicion.left(2));
        p.existe = c.posiciones.contains(
            clavePosicion(posicion.mid(0, 10), posicion.mid(11, 3), posicion.mid(14, 1)));
        if (p.existe) {
            const QString patrones[] = {
                posicion.left(2) + QStringLiteral("  .  .  ."), posicion.left(4) + QStringLiteral(".  .  ."),
                posicion.left(7) + QStringLiteral(".  ."), vb::RTrim(posicion.left(14))};
            for (const QString& sim : patrones) {
                for (const QString& codigo : c.sufijosPorSim.value(sim)) {
                    if (codigo.size() < 2)
                        continue; // names no group
                    const QString grupo = codigo.left(2);
                    qsizetype i = p.indiceDe(grupo);
                    if (i < 0) {
                        i = static_cast<qsizetype>(p.grupos.size());
                        p.grupos.push_back(Grupo{grupo, {}});
                    }
                    if (codigo.size() > 2)
                        p.grupos[static_cast<size_t>(i)].opciones.append(codigo);
                }
            }
        }
    }
    return m_posiciones.insert(posicion, std::move(p)).value();
}

qint16 Sufijos::ValidarSufijos(const QString& posicion, const QString& sufijos) {
    const Posicion& p = datosDe(posicion);
    if (!p.existe)
        return PosicionInexistente;

    const QString t = vb::Trim(sufijos);
    if (t.isEmpty() || t == u"SIN SUFIJOS")
        return p.grupos.empty() ? Valido : SufijosNoValidos;
    if (!t.endsWith(u'-'))
        return SufijosNoValidos;

    QVarLengthArray<bool, 32> visto(static_cast<qsizetype>(p.grupos.size()), false);
    qsizetype vistos = 0;
    for (const QStringView item : QStringView(t).chopped(1).tokenize(u'-')) {
        const QStringView codigo = item.left(2);
        const qsizetype i = codigo.size() < 2 ? -1 : p.indiceDe(codigo);
        if (i < 0 || visto[i])
            return SufijosNoValidos;
        visto[i] = true;
        ++vistos;
        const Grupo& g = p.grupos[static_cast<size_t>(i)];
        const bool conValor = item.size() >= 4 && item[2] == u'(' && item.endsWith(u')');
        if (conValor) {
            const QStringView valor = item.mid(3, item.size() - 4);
            if (!g.libre() || valor.contains(u'(') || valor.contains(u')') || soloBlancos(valor))
                return SufijosNoValidos;
            if (codigo.startsWith(u'Z') && !seisDigitos(valor))
                return SufijosNoValidos;
        } else if (g.libre() || (!g.opciones.contains(item) &&
                                 !(item.size() == 4 && item.endsWith(QLatin1StringView("00"))))) {
            // "XX00" is the editor's "Ninguna opción": the group stated with none of its options.
            return SufijosNoValidos;
        }
    }
    return vistos == static_cast<qsizetype>(p.grupos.size()) ? Valido : SufijosNoValidos;
}

qsizetype Sufijos::Posicion::indiceDe(QStringView codigo) const {
    for (size_t i = 0; i < grupos.size(); ++i)
        if (grupos[i].codigo == codigo)
            return static_cast<qsizetype>(i);
    return -1;
}

} // namespace Sorvex
