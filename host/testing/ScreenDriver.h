#pragma once
#include "ClassRegistry.h"
#include "HostExport.h"
#include "Mensagens.h"
#include <QList>
#include <QPointer>
#include <QQueue>
#include <QVariant>
#include <QWidget>

class QModelIndex;
class QTableView;
class QWindow;

// A message service that answers from queues and records everything shown; tests and scripted scenarios
// install it. A question nobody queued an answer for is recorded and answered with its preselected button.
class KELMHOST_EXPORT ScriptedMessageService : public MessageService {
public:
    struct Shown {
        QString kind; // "message", "question", "choice", "input", "login", "search", "file", "color"
        QString title;
        QString text;
        MsgIcon icon = MsgIcon::Information;
        bool answered = true; // false when no queued answer was there
    };

    QQueue<bool> questions;
    QQueue<int> choices;
    QQueue<QVariant> inputs;    // a null QVariant cancels the input box
    QQueue<QStringList> logins; // {user, password}; an empty list cancels
    QQueue<QString> searches;   // key to choose; an empty text cancels
    QQueue<QString> files;
    QQueue<QColor> colors; // an invalid colour cancels
    QList<Shown> shown;

    void Show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon) override;
    bool Ask(QWidget* parent, const QString& title, const QString& text, bool defaultYes,
             MsgIcon icon) override;
    int Choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
               int defaultIndex) override;
    bool Input(QWidget* parent, const QString& title, const QString& prompt, QString& value) override;
    bool Login(QWidget* parent, const QString& title, QString& user, QString& password) override;
    QString OpenFile(QWidget* parent, const QString& title, const QString& dir,
                     const QString& filter) override;
    QString SaveFile(QWidget* parent, const QString& title, const QString& dir,
                     const QString& filter) override;
    QColor ChooseColor(QWidget* parent, const QString& title, const QColor& initial) override;
    bool Search(QWidget* parent, TPesquisa& search) override;

    // Texts of the plain messages shown, in order.
    QStringList Texts() const;
    QString LastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    bool AllAnswered() const;
    void Clear();
};

// Drives screens as a user would: opens them by class name, finds controls by name, types, presses keys
// and clicks. Errors (unknown screen or control) throw std::runtime_error with a readable text.
class KELMHOST_EXPORT ScreenDriver {
public:
    explicit ScreenDriver(ScriptedMessageService& messages) : m_messages(messages) {}

    // Opens a screen as the menu would, or as another screen would with its arguments.
    QWidget* Open(const QString& className, const ArgumentosTela& arguments = {});
    QWidget* Screen() const { return m_screen; }
    void Use(QWidget* screen) { m_screen = screen; }
    // Acts on the screen of that class already open (one that another screen opened, say); an error when
    // none is open, or several are.
    QWidget* Use(const QString& className);
    // As the close box would; the question about unsaved edits is answered Não unless an answer is queued.
    void Close();

    QWidget* Find(const QString& name) const;
    template <typename T> T* Get(const QString& name) const {
        T* w = qobject_cast<T*>(Find(name));
        if (!w)
            Fail(QStringLiteral("o controle '%1' não é do tipo esperado").arg(name));
        return w;
    }

    void Focus(const QString& name);
    // Replaces the text of a box as typed keys would (focus in, select all, type, no Enter).
    void Type(const QString& name, const QString& text);
    // Presses a key on the focused control (or the named one), e.g. "Enter", "Tab", "F4", "Ctrl+Del".
    void Press(const QString& key, const QString& name = QString());
    // Keys on the focused control, separated by spaces or commas: "Shift+Tab", "Alt+G", "Enter, Enter".
    void Keys(const QString& keys);
    // A mouse click: the button takes the focus first, so the box left runs its exit rules.
    void Click(const QString& name);
    // A mouse double click on a control; on a grid, on its current cell (a row loaded or marked).
    void DoubleClick(const QString& name);
    // The button's keyboard shortcut (Alt + its underlined letter): it acts where the focus is.
    void Activate(const QString& name);
    // Picks an item of a pop-up menu of the screen (the action of that name), as a user would once the
    // menu is open; a disabled item is an error.
    void Menu(const QString& actionName);
    bool MenuEnabled(const QString& actionName) const;
    // Text of a box, label, button, combo box; "S"/"N" for a check box.
    QString Text(const QString& name) const;
    bool Enabled(const QString& name) const;
    bool Visible(const QString& name) const;
    QString FocusedName() const;
    void Select(const QString& comboName, const QString& itemText);

    // Shows the page with that caption, as a click on its tab would.
    void Page(const QString& tabsName, const QString& caption);
    // Data rows of a grid; its title row is not one.
    int Rows(const QString& gridName) const;
    // Makes row n (from 0) current, as a click on it would; n = Rows appends a row to an editable grid.
    void Row(const QString& gridName, int n);
    // Types over a cell of the current row through the grid's editor, then presses Tab. A grid without
    // fields names its columns by their titles.
    void Cell(const QString& gridName, const QString& field, const QString& text);
    // The text a cell of the current row shows.
    QString Value(const QString& gridName, const QString& field) const;

    ScriptedMessageService& Messages() { return m_messages; }

private:
    [[noreturn]] void Fail(const QString& text) const;
    void MakeCurrent(QWidget* screen);
    QWindow* KeyWindow(QWidget* target) const;
    void SendKey(QWidget* target, int key, Qt::KeyboardModifiers mods, const QString& text);
    void KeyEvent(QWidget* target, QEvent::Type type, int key, Qt::KeyboardModifiers mods,
                  const QString& text);
    void Compose(QWidget* target, const QString& text);
    void TypeKeys(QWidget* target, const QString& text);
    void SendClick(QWidget* target, const QPoint& pos, bool giveFocus = true);
    QTableView* Grid(const QString& name) const;
    int Column(QTableView* grid, const QString& gridName, const QString& field) const;
    bool ClickCell(QTableView* grid, const QModelIndex& cell);
    ScriptedMessageService& m_messages;
    QPointer<QWidget> m_screen;
};

KELMHOST_EXPORT void ProcessEvents();
