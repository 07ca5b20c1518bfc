#pragma once

#include "components/globales.h"

#include <QString>
#include <QStringList>
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

// The logic of the review window frmDEP: the items of lstDEP, the editor on a line with the reload
// after a save, and the export of the list shown.
class ListaDEP {
public:
    explicit ListaDEP(Globales& g, EditorRegistro editor = {});

    void setEditor(EditorRegistro editor) { m_editor = std::move(editor); }

    // Load: the list chosen by g_iModoLista.
    void Form_Load();
    void CargarRegConErrores();
    void CargarRegOK();

    lista::Modo modo() const { return m_modo; }
    const std::vector<ItemDEP>& lstDEP() const { return m_items; }

    // Double-click or Enter on the item at `fila` (-1 when none is selected): opens the editor on
    // that line; after a save reloads the list shown. True when the list was reloaded.
    bool abrirEditor(int fila);

    // "Exportar a Excel": asks for the file name and exports.
    void mnu_expoExcel_Click();
    // Writes the items, as listed, to `archivo` as an XML spreadsheet.
    void ExportarAExcel(const QString& archivo);

    // Called after every (re)load of the items.
    std::function<void()> cambiado;

private:
    void cargar(lista::Modo modo);

    Globales& m_g;
    EditorRegistro m_editor;
    lista::Modo m_modo = lista::Modo::ConErrores;
    std::vector<ItemDEP> m_items;
    QString ax_XmlExcel;
};

} // namespace tarvix
