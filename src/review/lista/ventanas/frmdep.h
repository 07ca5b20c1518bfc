#pragma once

#include "components/estadoasistente.h"
#include "components/servicios.h"
#include "review/lista/lista_logica.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QTreeView;

namespace tarvix {

class ModeloDEP;

// "Resultados": the article lines of the current interno for review, with the editor on Enter or a
// double-click and the export of the list in the menu.
class frmDEP : public QMainWindow {
    Q_OBJECT
public:
    frmDEP(Servicios& srv, EstadoAsistente& estado, QWidget* parent = nullptr, EditorRegistro editor = {});
    ~frmDEP() override;

    ListaDEP& lista() { return m_lista; }
    void setEditor(EditorRegistro editor) { m_lista.setEditor(std::move(editor)); }

    // Load: the list chosen by g_iModoLista.
    void Form_Load();
    // Opens the editor on the selected line (double-click, Enter).
    void abrirSeleccionado();

    QTreeView* lstDEP;
    QAction* mnu_expoExcel;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void mostrarItems();
    void ajustarTamano();
    void ubicarLista();

    ListaDEP m_lista;
    // Goes before the list it shows (the view lets go of it then).
    std::unique_ptr<ModeloDEP> m_modelo;
    QWidget* m_interior;
    int m_filaPreferida = 0;
};

// Shows the one shared review window, modeless, creating and loading it (with the list chosen by
// estado.g_iModoLista: 1 the lines with errors, any other value the correct lines) on first use; while it
// is open it is only brought to the front. Closing it unloads it.
void mostrarRevision(Servicios& srv, EstadoAsistente& estado, QWidget* ventanaPrincipal,
                     std::function<bool(int artord)> editor);
// The shared window while it is open, nullptr otherwise.
frmDEP* ventanaRevision();

} // namespace tarvix
