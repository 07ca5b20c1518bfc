#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

namespace Velno {
class clBase;
}

// The lines of an interno as they were before each processing run, each save in the record editor
// and each transfer, kept in the working database so that the clerk can go back to them. A version
// is one row of ARTVER: every ART line of the interno packed and compressed in one value, so that
// keeping one costs about a tenth of the lines themselves. The last `kMaximo` per interno are kept.
// Only the working database is touched: what went to the customs database stays there.
namespace tarvix::versiones {

inline constexpr int kMaximo = 20;

// What the version was kept before.
enum class Motivo { Proceso, Correccion, Transferencia };

// Creates ARTVER when the working database does not have it yet (the start-up upgrade).
void crearTabla(Velno::clBase& base);

// Keeps the interno's lines as they are now, at `momento` (local time). Raises VbError when it
// cannot; on any engine other than SQLite there are no versions and it does nothing.
void guardar(Velno::clBase& base, const QString& interno, Motivo motivo,
             const QDateTime& momento = QDateTime::currentDateTime());
// The same before a change that must go on anyway: a failure is dropped (the change is not held up
// by the lack of a version). False when nothing was kept.
bool guardarSiSePuede(Velno::clBase& base, const QString& interno, Motivo motivo) noexcept;

// Drops every version of the interno (the interno was deleted: a new one of the same number starts
// with none).
void olvidar(Velno::clBase& base, const QString& interno);

struct Deshecho {
    Motivo motivo;
    QDateTime momento;
    int lineas = 0; // lines of the interno after the undo
};

// Puts back the interno's lines of its last version and drops that version; nothing when there is
// none. All or nothing: a failure (raised as VbError) leaves the lines and the versions as they were.
std::optional<Deshecho> deshacer(Velno::clBase& base, const QString& interno);

// "Se deshizo el procesamiento del 08/12/2026 14:30", the date and time as `locale` writes them;
// after a transfer it adds that the transferred dispatch does not change.
QString textoDeshecho(const Deshecho& d, const QLocale& locale = QLocale());

// The packing of the lines (exposed for the measurements): the columns and every value of the
// interno's lines in ARTORD order, and the compressed form of it.
QByteArray empaquetar(Velno::clBase& base, const QString& interno);
QByteArray comprimir(const QByteArray& datos);
QByteArray descomprimir(const QByteArray& datos);

} // namespace tarvix::versiones
