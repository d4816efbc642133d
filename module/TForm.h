#pragma once
#include "ClassRegistry.h"
#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class CaixaPesquisa;
class QAbstractButton;
class QAbstractItemView;
class QAction;
class QMenu;
class QKeyEvent;
class TDataSet;
struct DeclaracaoCaixa;

// The common life of a screen: created by class name, its creation handler opens what it needs, closing
// runs its close handler and frees it. With key preview the screen sees every key typed in its controls;
// exit rules run when the user leaves a control for another one of the screen. Every entry from Qt into a
// screen (handlers, keys, focus changes, close) runs through the protected call.
class TForm : public QWidget, public RecebeArgumentos {
    Q_OBJECT
    friend class CaixaPesquisa;

public:
    // What the opening screen handed over, by the names the screen declares in the module's screen table;
    // after FormCreate, before the screen is shown.
    void Argumentos(const ArgumentosTela& argumentos) override { Q_UNUSED(argumentos); }

    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // Builds a screen and runs its creation handler; a failure there frees the half-made screen (and with
    // it every shared data set it had opened).
    template <typename T> static T* Create(QWidget* parent) {
        auto* screen = new T(parent);
        try {
            static_cast<TForm*>(screen)->FormCreate();
        } catch (...) {
            delete screen;
            throw;
        }
        return screen;
    }

    bool KeyPreview = false;
    // Quotes typed anywhere on the screen are discarded (screens whose texts go into SQL by hand).
    bool DescartaAspas = false;

    // The keys the controls answer, in their tooltips and, while they have the focus, in the status line.
    static void DicaTeclas(const QList<QWidget*>& controles, const QString& dica);

    // Ends the cell editing of every grid of the screen: the typed text goes into its row, or is dropped.
    void ConcluiEdicaoGrades(bool commit);

    // Called by the one event filter the screens share, for events of the screen's own controls; true
    // swallows the event.
    bool TrataEvento(QWidget* control, QEvent* event);

    // An item of a grid's pop-up menu (right click), named as in the screen's design so scripts pick it; the
    // menu is made on the grid's first item. `antesDeAbrir` (given once per grid) updates the items each time
    // the menu opens. The frame's parts add theirs (a consult page's export).
    QAction* AcaoMenuGrade(QAbstractItemView* grade, const char* nome, const QString& texto,
                           std::function<void()> acao, std::function<void()> antesDeAbrir = {});

protected:
    virtual void FormCreate() {}
    virtual void FormClose() {}
    // Keys typed in any control of the screen when KeyPreview is on; return true to swallow the key.
    virtual bool FormKeyDown(QKeyEvent* key);
    // Every key typed in a control of the screen, before the control; true swallows it. By default: quotes
    // discarded, then key preview.
    virtual bool TeclaControle(QWidget* control, QKeyEvent* key);
    // The user left `control` for `next`, another control of this screen, by Tab, Backtab or the mouse (not
    // when the screen moves the focus itself). False refuses: the rule has shown its message and taken the
    // focus back, and the click that moved the focus does not act.
    virtual bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason);
    // After a look-up (F4 or the box's button) filled `caixa`: the box is left as Tab leaves it, its exit
    // rules run, for the next control that takes a value, its text selected so that typing replaces it. A
    // rule that refuses the value, or sends the focus elsewhere, has the last word.
    void SeguePesquisa(QWidget* caixa);
    // A button that drops what is being typed (Desist) rather than taking it.
    virtual bool Desiste(QWidget* button) const {
        Q_UNUSED(button);
        return false;
    }

    // A value refused: the screen's message, and the focus back in the box concerned. Always false, for
    // exit checks to return.
    bool Recusa(QWidget* caixa, const QString& mensagem);

    // Runs `acao` (protected) now when no dialog, message box or pop-up is open, else once they have closed:
    // a refresh told by another user's commit never rebuilds what lies under the user's dialog. Asked again
    // while it waits, it still runs once.
    void QuandoLivre(std::function<void()> acao);


    // A code box with its look-up (F4, button, exit check, description), owned by the screen.
    CaixaPesquisa* DeclaraCaixa(const DeclaracaoCaixa& declaracao);
    // Leaving a box for this control, or for one inside it (a page of searches), runs no exit check (Close,
    // Desist).
    void SaidaSemConferencia(QWidget* control) { m_semConferencia << control; }

    // A screen with a save names what the user edits in it (data sets, unbound boxes) and its save button.
    // Closing it with edits made since the last load or save asks "Deseja gravar as alterações?": Sim saves
    // (and stays open when the save refuses), Não drops them, Cancelar keeps the screen as it is.
    void VigiaAlteracoes(const QList<TDataSet*>& dados, const QList<QWidget*>& caixas,
                         QAbstractButton* gravar);
    // What the screen shows is what is stored: after a record is loaded, saved or cleared.
    void AlteracoesGravadas();
    // What the screen shows is not stored yet (another record's rows brought in to be saved under this one).
    void AlteracaoPendente() { m_caixaAlterada = true; }
    virtual bool TemAlteracoes() const;
    // The save the close question's Sim runs; presses the save button by default.
    virtual void GravaAlteracoes();

    // Publishes the screen in its unit's instance variable, by looking its own name up among the
    // application's windows; the variable is cleared when the screen is destroyed, so it never points at a
    // freed screen.
    template <typename T> void PublicaInstancia(T*& variable) {
        variable = qobject_cast<T*>(ProcuraComponente(objectName()));
        if (variable)
            connect(variable, &QObject::destroyed, [&variable](QObject* tela) {
                if (static_cast<QObject*>(variable) == tela)
                    variable = nullptr;
            });
    }
    static QWidget* ProcuraComponente(const QString& name);

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool PerguntaAoFechar();
    // Ctrl+PgDn / Ctrl+PgUp: the next or previous page of the screen's tabs; false when there is none.
    bool TrocaPagina(QWidget* control, bool proxima);
    CaixaPesquisa* CaixaDe(QWidget* control) const;
    bool SemConferencia(const QWidget* next) const;
    QList<CaixaPesquisa*> m_caixas;
    QHash<QAbstractItemView*, QMenu*> m_menus;
    bool m_esperaLivre = false;
    QList<QPointer<QWidget>> m_semConferencia;
    QList<QPointer<TDataSet>> m_vigiados;
    QList<quint64> m_edicoesGravadas;
    bool m_caixaAlterada = false;
    QPointer<QAbstractButton> m_gravar;
    bool m_closed = false;
    bool m_limitesConvertidos = false;
    bool m_saidaRecusada = false;  // the press under way moved the focus out of a control that refused it
    bool m_saidaPorClique = false; // the focus is leaving a control because of a mouse press
    int m_falhasNaSaida = 0;       // failures counted when it started leaving
};
