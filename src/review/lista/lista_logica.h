#pragma once

#include "components/estadoasistente.h"
#include "components/formatos.h"
#include "components/servicios.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace tarvix {

// A text colour by its red, green and blue components (0 to 255).
struct ColorTexto {
    int rojo = 0;
    int verde = 0;
    int azul = 0;
    friend bool operator==(const ColorTexto&, const ColorTexto&) = default;
};

// One item of lstDEP: its own text (ARTORD as "0000") and its ten sub-items, all drawn in one colour
// (none: the list's default text colour).
struct ItemDEP {
    QString texto;
    QStringList subItems;
    std::optional<ColorTexto> color;
};

// Opens the record editor on the line with this ARTORD, modally; true when it saved the line.
using EditorRegistro = std::function<bool(int artord)>;

namespace lista {

inline constexpr int kColumnas = 11;
// Label of the load failure report: " - seccion [VezezirAZEDO2_TARVIX.frmDEP.]".
inline const QString kEtiquetaCarga = QStringLiteral("frmDEP.");
// The save dialog of the export.
inline const QString kTituloExportar = QStringLiteral("Exportar a Excel");
inline const QString kFiltroExportar = QStringLiteral("Documentos de Excel (*.xls;*.xlsx)|*.xls;*.xlsx");
inline const QString kCancelado = QStringLiteral("Generacion de archivo cancelado!");

enum class Modo { ConErrores, Correctos };
// g_iModoLista 1 chooses the lines with errors, any other value the correct lines.
Modo modoDe(int g_iModoLista);

// Headings of the eleven columns.
QStringList encabezados();
// The statements of both lists, the interno written with its quotes doubled.
QString sqlRegConErrores(const QString& interno);
QString sqlRegOK(const QString& interno);
// The line with this ARTORD when it belongs to the list of `modo`: the list's own condition.
QString sqlLinea(Modo modo, const QString& interno, int artord);

// The values read of a line: the eleven columns shown, in their order.
using Valores = std::array<QVariant, kColumnas>;
// True when line `a` comes before line `b` in the list of `modo`, as the list's statement orders
// them: NULL first, numbers before texts, texts by the working database's comparison.
bool vaAntes(Modo modo, const Valores& a, const Valores& b);
// Text colour of a line by its PRCEST in each list.
std::optional<ColorTexto> colorPorEstado(Modo modo, const QString& prcest);
// A "description|pattern;pattern" filter in the form the save dialog of the seam takes:
// "description" with the patterns separated by blanks.
QString filtroDialogo(const QString& filtro);

// Resize rule: the list at 40, 40 sized to the inner area less 90 each way (in twips, 15 to the
// pixel). A size that would be negative is not applied (left unset).
struct GeometriaLista {
    int izquierda = 0;
    int arriba = 0;
    std::optional<int> ancho;
    std::optional<int> alto;
};
GeometriaLista geometriaLista(int anchoInterior, int altoInterior);

} // namespace lista

// What the window is told about the rows of the list: a whole load, or one line updated after a
// save (changed in place, moved, or gone from the list).
class ObservadorDEP {
public:
    virtual ~ObservadorDEP() = default;
    virtual void antesDeCargar() = 0;
    virtual void cargada() = 0;
    virtual void antesDeQuitar(int fila) = 0;
    virtual void quitada() = 0;
    // `hasta` is the line's place once moved.
    virtual void antesDeMover(int desde, int hasta) = 0;
    virtual void movida() = 0;
    virtual void cambiada(int fila) = 0;
};

// The logic of the review window frmDEP: the lines of lstDEP, the editor on a line with the update
// of the list after a save, and the export of the list shown. The lines keep the values of the
// columns shown, as read; their texts are written when asked for (texto, item).
class ListaDEP {
public:
    explicit ListaDEP(Servicios& srv, EstadoAsistente& estado, EditorRegistro editor = {});

    void setEditor(EditorRegistro editor) { m_editor = std::move(editor); }
    void setObservador(ObservadorDEP* observador) { m_observador = observador; }

    // Load: the list chosen by g_iModoLista.
    void Form_Load();
    void CargarRegConErrores();
    void CargarRegOK();

    lista::Modo modo() const { return m_modo; }
    int filas() const { return static_cast<int>(m_filas.size()); }
    // The text of a column of a line (column 0: ARTORD as "0000"), its colour, and the whole item.
    QString texto(int fila, int columna) const;
    std::optional<ColorTexto> color(int fila) const;
    ItemDEP item(int fila) const;
    // Every item, in the list's order (writes every text: for the export and the tests).
    std::vector<ItemDEP> lstDEP() const;

    // Double-click or Enter on the item at `fila` (-1 when none is selected): opens the editor on
    // that line; after a save the list shows what loading it again would show, updating only that
    // line. True when the editor saved.
    bool abrirEditor(int fila);

    // "Exportar a Excel": asks for the file name and exports.
    void mnu_expoExcel_Click();
    // Writes the items, as listed, to `archivo` as an XML spreadsheet.
    void ExportarAExcel(const QString& archivo);

    // Called after every change of the lines (a load or the update after a save).
    std::function<void()> cambiado;

private:
    void cargar(lista::Modo modo);
    // After a save of the line at `fila`: reads it again and changes, moves or removes it.
    void actualizar(int fila);
    const Mesquel::Formatos& formatos() const;

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    EditorRegistro m_editor;
    ObservadorDEP* m_observador = nullptr;
    lista::Modo m_modo = lista::Modo::ConErrores;
    QString m_interno; // the interno of the lines loaded
    std::vector<lista::Valores> m_filas;
    QString ax_XmlExcel;
};

} // namespace tarvix
