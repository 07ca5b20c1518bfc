#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <QString>

namespace tarvix {

// Uniform keyboard and focus behaviour for one text box, one list and one combo box of a window:
//  - a linked text box (QLineEdit or a multi-line QPlainTextEdit) changes colour on focus by its
//    "Tag" property and selects its whole text; Enter moves the focus to the next control, the
//    Up and Down arrows to the previous and the next; the keypad's decimal key types the user's
//    decimal separator while the main keyboard's full stop still types ".";
//  - a linked list shows the full text of the line under the pointer as its tooltip;
//  - lists and combo boxes can be searched by prefix without regard to case.
// Multi-line boxes should have tabChangesFocus set, as Tab moves on everywhere else.
class ClCntrl : public QObject {
    Q_OBJECT
public:
    // Name of the dynamic property that carries a control's tag.
    static constexpr const char* kTag = "Tag";

    explicit ClCntrl(QObject* parent = nullptr);

    void sLinkText(QWidget* vTextBox);
    void sLinkListBox(QListWidget* InvListBox);
    void sLinkCBoBox(QComboBox* InvCboBox);

    QWidget* vTextCtrl() const { return m_texto; }
    QListWidget* vListBox() const { return m_lista; }
    QComboBox* vCboBox() const { return m_combo; }

    // Selects the first line that begins with `Valor` (any case), or none when no line does.
    void LstBuscarStr(const QString& Valor);
    void BuscarCBO(const QString& Valor);

    // Empties every text box of the window; other controls are left alone.
    static void VaciarTxt(QWidget* frm);

    void ObtenerDecimal();
    QString Separador_Decimal();
    QString Obtener_Sep_Decim();

    bool puntoTeclado() const { return bPuntoTeclado; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    bool teclaTexto(QEvent* evento);
    void tooltipLista(QEvent* evento);
    void enfocar();
    void salir();
    void pintar(int fondo);

    QPointer<QWidget> m_texto;
    QPointer<QListWidget> m_lista;
    QPointer<QComboBox> m_combo;
    QString sSeparadorDecimal;
    bool bPuntoTeclado = false;
    bool m_reenviando = false;
};

} // namespace tarvix
