#include "ScreenDriver.h"
#include "ClassRegistry.h"
#include "DBControls.h"
#include "DataContext.h"
#include "DataSetModel.h"
#include "HostUi.h"
#include "Mnemonicos.h"
#include "TPesquisa.h"
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QWindow>
#include <stdexcept>

void ProcessEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// ---- scripted messages

void ScriptedMessageService::Show(QWidget*, const QString& title, const QString& text, MsgIcon icon) {
    shown.append({QStringLiteral("message"), title, text, icon, true});
}

bool ScriptedMessageService::Ask(QWidget*, const QString& title, const QString& text, bool defaultYes,
                                 MsgIcon icon) {
    const bool answered = !questions.isEmpty();
    shown.append({QStringLiteral("question"), title, text, icon, answered});
    return answered ? questions.dequeue() : defaultYes;
}

int ScriptedMessageService::Choose(QWidget*, const QString& title, const QString& text, const QStringList&,
                                   int defaultIndex) {
    const bool answered = !choices.isEmpty();
    shown.append({QStringLiteral("choice"), title, text, MsgIcon::Question, answered});
    return answered ? choices.dequeue() : defaultIndex;
}

bool ScriptedMessageService::Input(QWidget*, const QString& title, const QString& prompt, QString& value) {
    const bool answered = !inputs.isEmpty();
    shown.append({QStringLiteral("input"), title, prompt, MsgIcon::Question, answered});
    if (!answered)
        return false;
    const QVariant answer = inputs.dequeue();
    if (answer.isNull())
        return false;
    value = answer.toString();
    return true;
}

bool ScriptedMessageService::Login(QWidget*, const QString& title, QString& user, QString& password) {
    const bool answered = !logins.isEmpty();
    shown.append({QStringLiteral("login"), title, QString(), MsgIcon::Question, answered});
    if (!answered)
        return false;
    const QStringList answer = logins.dequeue();
    if (answer.size() < 2)
        return false;
    user = answer[0];
    password = answer[1];
    return true;
}

QString ScriptedMessageService::OpenFile(QWidget*, const QString& title, const QString&, const QString&) {
    const bool answered = !files.isEmpty();
    shown.append({QStringLiteral("file"), title, QString(), MsgIcon::Question, answered});
    return answered ? files.dequeue() : QString();
}

QString ScriptedMessageService::SaveFile(QWidget* parent, const QString& title, const QString& dir,
                                         const QString& filter) {
    return OpenFile(parent, title, dir, filter);
}

// Recorded with the colour the dialog starts from.
QColor ScriptedMessageService::ChooseColor(QWidget*, const QString& title, const QColor& initial) {
    const bool answered = !colors.isEmpty();
    shown.append({QStringLiteral("color"), title, initial.isValid() ? initial.name() : QString(),
                  MsgIcon::Question, answered});
    return answered ? colors.dequeue() : QColor();
}

bool ScriptedMessageService::Search(QWidget*, TPesquisa& search) {
    const bool answered = !searches.isEmpty();
    shown.append({QStringLiteral("search"), search.Titulo, search.Tabela, MsgIcon::Question, answered});
    if (!answered)
        return false;
    const QString key = searches.dequeue();
    if (search.MultiplaEscolha)
        return !key.isEmpty() && search.EscolheVarias(key.split(QLatin1Char(',')));
    return !key.isEmpty() && search.Escolhe(key);
}

QStringList ScriptedMessageService::Texts() const {
    QStringList texts;
    for (const Shown& s : shown)
        if (s.kind == QLatin1String("message"))
            texts << s.text;
    return texts;
}

bool ScriptedMessageService::AllAnswered() const {
    for (const Shown& s : shown)
        if (!s.answered)
            return false;
    return true;
}

void ScriptedMessageService::Clear() {
    questions.clear();
    choices.clear();
    inputs.clear();
    logins.clear();
    searches.clear();
    files.clear();
    colors.clear();
    shown.clear();
}

// ---- driver

namespace {
// As the window does before it delivers a mouse press: from the widget under the mouse up to its window,
// the first one that takes the focus by click gets it; one that has the focus already keeps it.
void GiveClickFocus(QWidget* widget, QPoint pos) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        QWidget* proxy = w;
        while (proxy->focusProxy())
            proxy = proxy->focusProxy();
        if (w->isEnabled() && w->rect().contains(pos) && (w->focusPolicy() & Qt::ClickFocus) &&
            (proxy->focusPolicy() & Qt::ClickFocus)) {
            w->setFocus(Qt::MouseFocusReason);
            return;
        }
        if (w->isWindow() || proxy->hasFocus())
            return;
        pos += w->pos();
    }
}

// The editor open in a grid holds the focus; it lives on the grid's viewport.
QWidget* OpenEditor(QTableView* grid) {
    QWidget* focused = QApplication::focusWidget();
    return focused && grid->viewport()->isAncestorOf(focused) ? focused : nullptr;
}

Qt::KeyboardModifiers Shift(bool held) {
    return held ? Qt::ShiftModifier : Qt::NoModifier;
}

// How a character is typed on a US keyboard with the ABNT2 extras: Shift for capitals and the upper signs,
// ç on a key of its own, an accented letter as a dead key and then its letter, a line break by Enter.
struct Toque {
    int key = 0;
    bool shift = false;
    QChar letter; // what the key writes by itself
    int dead = 0;
    bool deadShift = false;
};

Toque ToqueDe(QChar c) {
    static const QString upperSigns = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?");
    if (c == QLatin1Char('\n'))
        return {Qt::Key_Return, false, QLatin1Char('\r')};
    if (c == QLatin1Char('\t'))
        return {Qt::Key_Tab, false, c};
    if (c.unicode() < 0x80)
        return {c.toUpper().unicode(), c.isUpper() || upperSigns.contains(c), c};
    if (c.toLower() == QChar(0xe7))
        return {Qt::Key_Ccedilla, c.isUpper(), c};
    // ´ and ~ alone, ` ^ and ¨ with Shift.
    static const QHash<char16_t, std::pair<int, bool>> deadKeys = {{0x301, {Qt::Key_Dead_Acute, false}},
                                                                   {0x300, {Qt::Key_Dead_Grave, true}},
                                                                   {0x303, {Qt::Key_Dead_Tilde, false}},
                                                                   {0x302, {Qt::Key_Dead_Circumflex, true}},
                                                                   {0x308, {Qt::Key_Dead_Diaeresis, true}}};
    const QString parts = c.decomposition();
    if (c.decompositionTag() == QChar::Canonical && parts.size() == 2 && parts[0].unicode() < 0x80 &&
        deadKeys.contains(parts[1].unicode())) {
        Toque toque = ToqueDe(parts[0]);
        std::tie(toque.dead, toque.deadShift) = deadKeys.value(parts[1].unicode());
        return toque;
    }
    return {c.toUpper().unicode(), false, c};
}

// The text the X keyboard gives a key: control characters for Tab, Enter, Esc, Backspace and Delete, none
// for Backtab and the other named keys, a letter's control character with Ctrl, else the sign itself (a
// letter in lower case without Shift).
QString TextoDaTecla(int key, Qt::KeyboardModifiers mods) {
    switch (key) {
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Delete:
        return QStringLiteral("\x7f");
    default:
        break;
    }
    if (key < Qt::Key_Space || key > Qt::Key_ydiaeresis)
        return {};
    if (key >= Qt::Key_A && key <= Qt::Key_Z && (mods & Qt::ControlModifier))
        return QString(QChar(key - Qt::Key_A + 1));
    const QChar sign(key);
    return QString(mods & Qt::ShiftModifier ? sign : sign.toLower());
}

// Whether the focused control takes composed text; one that does not gets a dead key and its letter as
// they are.
bool Composes(QWindow* window) {
    QObject* focus = window->focusObject();
    if (!focus)
        return false;
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(focus, &query);
    return query.value(Qt::ImEnabled).toBool();
}
} // namespace

void ScreenDriver::Fail(const QString& text) const {
    throw std::runtime_error(text.toStdString());
}

QWidget* ScreenDriver::Open(const QString& className, const ArgumentosTela& arguments) {
    QWidget* screen = Carrega_Form(QStringLiteral("kelmTingimento.bpl"), className, arguments, false, false);
    if (!screen)
        Fail(QStringLiteral("tela '%1' não registrada").arg(className));
    MakeCurrent(screen);
    return screen;
}

QWidget* ScreenDriver::Use(const QString& className) {
    QList<QWidget*> open;
    for (QWidget* w : QApplication::allWidgets())
        if (w->isVisible() && w->property(kClassNameProperty).toString() == className)
            open << w;
    if (open.isEmpty())
        Fail(QStringLiteral("nenhuma tela '%1' aberta").arg(className));
    // Which of two would be a guess: the scenario would act on a screen it did not mean.
    if (open.size() > 1)
        Fail(QStringLiteral("%1 telas '%2' abertas").arg(open.size()).arg(className));
    MakeCurrent(open.first());
    return open.first();
}

// The screen the following calls act on comes forward, as a click on it would bring it.
void ScreenDriver::MakeCurrent(QWidget* screen) {
    m_screen = screen;
    QWidget* window = screen->window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    DefineTelaAtiva(screen);
    ProcessEvents();
}

// Unsaved edits are dropped unless an answer to the close question was queued: a scenario that means to
// save says so.
void ScreenDriver::Close() {
    if (m_screen) {
        const bool answered = !m_messages.choices.isEmpty();
        if (!answered)
            m_messages.choices.enqueue(1);
        m_screen->close();
        if (!answered && !m_messages.choices.isEmpty())
            m_messages.choices.removeLast();
        ProcessEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

QWidget* ScreenDriver::Find(const QString& name) const {
    if (!m_screen)
        Fail(QStringLiteral("nenhuma tela aberta"));
    if (m_screen->objectName() == name)
        return m_screen;
    QWidget* w = m_screen->findChild<QWidget*>(name);
    if (!w)
        Fail(QStringLiteral("controle '%1' não encontrado em %2").arg(name, m_screen->objectName()));
    return w;
}

void ScreenDriver::Focus(const QString& name) {
    QWidget* w = Find(name);
    if (!w->isEnabled() || !w->isVisible())
        Fail(QStringLiteral("o controle '%1' não pode receber o foco").arg(name));
    QApplication::setActiveWindow(w->window());
    DefineTelaAtiva(m_screen);
    // As a click into the control: the box left runs its exit rules.
    ExecutaProtegido([w] { w->setFocus(Qt::MouseFocusReason); });
    ProcessEvents();
}

// Keys go to the window that holds the focus.
QWindow* ScreenDriver::KeyWindow(QWidget* target) const {
    QWidget* focused = QApplication::focusWidget();
    QWidget* receiver = focused ? focused : target;
    QWindow* window = receiver ? receiver->window()->windowHandle() : nullptr;
    if (!window)
        Fail(QStringLiteral("nenhuma janela recebe o teclado"));
    return window;
}

// As the platform hands a key over: a press goes by the shortcut map first (Alt + a letter clicks its
// button), then the window gives it to its focus widget. Failures reach the error handler, as typed keys do.
void ScreenDriver::KeyEvent(QWidget* target, QEvent::Type type, int key, Qt::KeyboardModifiers mods,
                            const QString& text) {
    QWindow* window = KeyWindow(target);
    ExecutaProtegido([&] { qt_handleKeyEvent(window, type, key, mods, text); });
    ProcessEvents();
}

// A key as a keyboard sends it: each modifier pressed before it and released after it, each event carrying
// the modifiers held at that moment.
void ScreenDriver::SendKey(QWidget* target, int key, Qt::KeyboardModifiers mods, const QString& text) {
    static const std::pair<Qt::KeyboardModifier, int> modifiers[] = {{Qt::ControlModifier, Qt::Key_Control},
                                                                     {Qt::AltModifier, Qt::Key_Alt},
                                                                     {Qt::MetaModifier, Qt::Key_Meta},
                                                                     {Qt::ShiftModifier, Qt::Key_Shift}};
    Qt::KeyboardModifiers held;
    for (const auto& [modifier, modifierKey] : modifiers)
        if (mods & modifier)
            KeyEvent(target, QEvent::KeyPress, modifierKey, held |= modifier, QString());
    KeyEvent(target, QEvent::KeyPress, key, mods, text);
    KeyEvent(target, QEvent::KeyRelease, key, mods, text);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m)
        if (mods & m->first)
            KeyEvent(target, QEvent::KeyRelease, m->second, held &= ~m->first, QString());
}

// The composed letter, handed to the focused control as the platform's composer hands it.
void ScreenDriver::Compose(QWidget* target, const QString& text) {
    QWindow* window = KeyWindow(target);
    ExecutaProtegido([&] {
        if (QObject* focus = window->focusObject()) {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QCoreApplication::sendEvent(focus, &commit);
        }
    });
    ProcessEvents();
}

void ScreenDriver::Type(const QString& name, const QString& text) {
    Focus(name);
    QWidget* w = Find(name);
    if (auto* box = qobject_cast<QLineEdit*>(w)) {
        if (box->isReadOnly())
            Fail(QStringLiteral("a caixa '%1' é somente leitura").arg(name));
        box->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
        w = combo->lineEdit();
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        memo->selectAll();
    } else if (auto* data = qobject_cast<QDateTimeEdit*>(w)) {
        // A date is typed from its first section; a full section moves on to the next by itself, so the
        // separators a user types along are the box's own.
        data->setCurrentSectionIndex(0);
        data->setSelectedSection(data->sectionAt(0));
        TypeKeys(w, QString(text).remove(QRegularExpression(QStringLiteral("[^0-9]"))));
        return;
    }
    TypeKeys(w, text);
}

// Each character as typed on the keyboard (ToqueDe), to whatever has the focus by then. For an accented
// letter Qt's xcb input, through its composer, eats the presses of the dead key and of the letter and hands
// the control their releases with the composed letter between them; that is what the control gets here. No
// text is a Delete over the selection.
void ScreenDriver::TypeKeys(QWidget* target, const QString& text) {
    if (text.isEmpty()) {
        SendKey(target, Qt::Key_Delete, Qt::NoModifier, TextoDaTecla(Qt::Key_Delete, Qt::NoModifier));
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character outside the basic plane comes as one key with both halves as its text, as X hands
        // it over; each half alone is no character at all.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const QString par = text.mid(i++, 2);
            SendKey(target, int(par.toUcs4().value(0)), Qt::NoModifier, par);
            continue;
        }
        const Toque t = ToqueDe(c);
        if (!t.dead) {
            SendKey(target, t.key, Shift(t.shift), QString(t.letter));
        } else if (!Composes(KeyWindow(target))) {
            SendKey(target, t.dead, Shift(t.deadShift), QString());
            SendKey(target, t.key, Shift(t.shift), QString(t.letter));
        } else {
            if (t.deadShift)
                KeyEvent(target, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString());
            KeyEvent(target, QEvent::KeyRelease, t.dead, Shift(t.deadShift), QString());
            if (t.deadShift)
                KeyEvent(target, QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, QString());
            Compose(target, QString(c));
            KeyEvent(target, QEvent::KeyRelease, t.key, Shift(t.shift), QString(t.letter));
            if (t.shift)
                KeyEvent(target, QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, QString());
        }
    }
}

void ScreenDriver::Press(const QString& key, const QString& name) {
    if (!name.isEmpty())
        Focus(name);
    Keys(key);
}

void ScreenDriver::Keys(const QString& keys) {
    const QStringList names = keys.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (names.isEmpty())
        Fail(QStringLiteral("nenhuma tecla"));
    for (const QString& name : names) {
        // "Enter" is the main keyboard's, not the keypad's.
        const QKeySequence sequence = QKeySequence::fromString(
            name.compare(QLatin1String("Enter"), Qt::CaseInsensitive) == 0 ? QStringLiteral("Return") : name);
        if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
            Fail(QStringLiteral("tecla desconhecida: %1").arg(name));
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : m_screen.data();
        if (!target)
            Fail(QStringLiteral("nenhum controle com foco"));
        const Qt::KeyboardModifiers mods = sequence[0].keyboardModifiers();
        int key = sequence[0].key();
        if (key == Qt::Key_Tab && (mods & Qt::ShiftModifier))
            key = Qt::Key_Backtab;
        SendKey(target, key, mods, TextoDaTecla(key, mods));
    }
}

void ScreenDriver::Click(const QString& name) {
    auto* button = Get<QAbstractButton>(name);
    if (!button->isEnabled() || !button->isVisible())
        Fail(QStringLiteral("o botão '%1' não está disponível").arg(name));
    DefineTelaAtiva(m_screen);
    QApplication::setActiveWindow(button->window());
    // A real press and release: the button takes the focus first, so the box being left runs its exit
    // rules (and may show a message) before the click, as with a mouse.
    QPointF centre = QRectF(button->rect()).center();
    // Check boxes and radio buttons answer clicks on their indicator and text only.
    if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const auto element =
            qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator;
        centre = QRectF(button->style()->subElementRect(element, &option, button)).center();
    }
    SendClick(button, centre.toPoint(), true);
}

void ScreenDriver::DoubleClick(const QString& name) {
    QWidget* widget = Find(name);
    if (!widget->isEnabled() || !widget->isVisible())
        Fail(QStringLiteral("o controle '%1' não está disponível").arg(name));
    DefineTelaAtiva(m_screen);
    QApplication::setActiveWindow(widget->window());
    QPoint pos = widget->rect().center();
    if (auto* grid = qobject_cast<QTableView*>(widget)) {
        if (!ClickCell(grid, grid->currentIndex()))
            return;
        widget = grid->viewport();
        pos = grid->visualRect(grid->currentIndex()).center();
    }
    SendClick(widget, pos, true);
    QPointer<QWidget> target(widget);
    const QPointF local(pos), global = widget->mapToGlobal(local);
    ExecutaProtegido([&] {
        QMouseEvent duplo(QEvent::MouseButtonDblClick, local, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        if (target)
            QApplication::sendEvent(target, &duplo);
    });
    ExecutaProtegido([&] {
        QMouseEvent solta(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                          Qt::NoModifier);
        if (target)
            QApplication::sendEvent(target, &solta);
    });
    ProcessEvents();
}

void ScreenDriver::Activate(const QString& name) {
    auto* button = Get<QAbstractButton>(name);
    if (!button->isEnabled() || !button->isVisible())
        Fail(QStringLiteral("o botão '%1' não está disponível").arg(name));
    const QKeySequence shortcut = QKeySequence::mnemonic(button->text());
    if (shortcut.isEmpty())
        Fail(QStringLiteral("o botão '%1' não tem tecla de atalho").arg(name));
    DefineTelaAtiva(m_screen);
    QApplication::setActiveWindow(button->window());
    // Alt + the letter, through the shortcut map as typed keys go: an ambiguous letter does not click.
    QPointer<QAbstractButton> pressed(button);
    const QKeyCombination combo = shortcut[0];
    SendKey(button->window(), combo.key(), combo.keyboardModifiers(),
            TextoDaTecla(combo.key(), combo.keyboardModifiers()));
    // A shortcut presses the button at once and releases (clicks) it a moment later, as on screen.
    if (!QTest::qWaitFor([&] { return !pressed || !pressed->isDown(); }, 1000))
        Fail(QStringLiteral("o botão '%1' não foi solto").arg(name));
    ProcessEvents();
}

namespace {
QAction* MenuAction(QWidget* screen, const QString& name) {
    auto* action = screen ? screen->findChild<QAction*>(name) : nullptr;
    if (!action)
        throw std::runtime_error(QStringLiteral("item de menu '%1' não encontrado").arg(name).toStdString());
    return action;
}
} // namespace

void ScreenDriver::Menu(const QString& actionName) {
    QAction* action = MenuAction(m_screen, actionName);
    if (!action->isEnabled() || !action->isVisible())
        Fail(QStringLiteral("o item de menu '%1' não está disponível").arg(actionName));
    DefineTelaAtiva(m_screen);
    action->trigger();
    ProcessEvents();
}

bool ScreenDriver::MenuEnabled(const QString& actionName) const {
    return MenuAction(m_screen, actionName)->isEnabled();
}

QString ScreenDriver::Text(const QString& name) const {
    QWidget* w = Find(name);
    if (auto* box = qobject_cast<QLineEdit*>(w))
        return box->text();
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
        return static_cast<QAbstractButton*>(w)->isChecked() ? QStringLiteral("S") : QStringLiteral("N");
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
        return memo->toPlainText();
    if (auto* date = qobject_cast<QDateEdit*>(w))
        return date->date().toString(QStringLiteral("dd/MM/yyyy"));
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(w))
        return spin->text();
    return w->windowTitle();
}

bool ScreenDriver::Enabled(const QString& name) const {
    return Find(name)->isEnabled();
}
bool ScreenDriver::Visible(const QString& name) const {
    return Find(name)->isVisible();
}

QString ScreenDriver::FocusedName() const {
    QWidget* w = QApplication::focusWidget();
    // The line edit inside an editable combo box answers for its box, a cell editor for its grid.
    if (w && w->objectName().isEmpty() && w->parentWidget() && qobject_cast<QComboBox*>(w->parentWidget()))
        w = w->parentWidget();
    for (QWidget* p = w ? w->parentWidget() : nullptr; p && w->objectName().isEmpty(); p = p->parentWidget())
        if (auto* grid = qobject_cast<QAbstractItemView*>(p); grid && grid->viewport()->isAncestorOf(w))
            w = grid;
    return w ? w->objectName() : QString();
}

void ScreenDriver::Select(const QString& comboName, const QString& itemText) {
    // A group of radio buttons: the one whose caption reads so, clicked as a user clicks it.
    if (auto* grupo = qobject_cast<QGroupBox*>(Find(comboName))) {
        for (QRadioButton* opcao : grupo->findChildren<QRadioButton*>())
            if (QString(opcao->text()).remove(u'&') == itemText) {
                Click(opcao->objectName());
                return;
            }
        Fail(QStringLiteral("'%1' não é uma opção de '%2'").arg(itemText, comboName));
    }
    auto* combo = Get<QComboBox>(comboName);
    const int index = combo->findText(itemText);
    if (index < 0)
        Fail(QStringLiteral("'%1' não está na lista de '%2'").arg(itemText, comboName));
    Focus(comboName);
    ExecutaProtegido([&] {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    });
    ProcessEvents();
}

// A press and release at pos. The window gives the focus first, so the control left runs its exit rules; a
// screen whose rule refused swallows the press.
void ScreenDriver::SendClick(QWidget* widget, const QPoint& pos, bool giveFocus) {
    QPointer<QWidget> target(widget);
    const QPointF local(pos);
    const QPointF global = widget->mapToGlobal(local);
    ExecutaProtegido([&] {
        if (giveFocus)
            GiveClickFocus(widget, pos);
        if (!target)
            return;
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    });
    ExecutaProtegido([&] {
        if (!target)
            return;
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    });
    ProcessEvents();
}

void ScreenDriver::Page(const QString& tabsName, const QString& caption) {
    auto* tabs = qobject_cast<QTabWidget*>(Find(tabsName));
    if (!tabs)
        Fail(QStringLiteral("o controle '%1' não é um conjunto de páginas").arg(tabsName));
    QStringList captions;
    int index = -1;
    for (int i = 0; i < tabs->count(); ++i) {
        captions << SemMnemonico(tabs->tabText(i));
        if (index < 0 && (captions.last() == caption || tabs->tabText(i) == caption))
            index = i;
    }
    if (index < 0)
        Fail(QStringLiteral("'%1' não tem a página '%2' (páginas: %3)")
                 .arg(tabsName, caption, captions.join(QStringLiteral(", "))));
    if (!tabs->isTabEnabled(index))
        Fail(QStringLiteral("a página '%1' de '%2' está desabilitada").arg(caption, tabsName));
    QTabBar* bar = tabs->tabBar();
    if (!tabs->isEnabled() || !bar->isVisible() || !tabs->isTabVisible(index))
        Fail(QStringLiteral("a página '%1' de '%2' não está disponível").arg(caption, tabsName));
    DefineTelaAtiva(m_screen);
    QApplication::setActiveWindow(bar->window());
    SendClick(bar, bar->tabRect(index).center());
}

QTableView* ScreenDriver::Grid(const QString& name) const {
    auto* grid = qobject_cast<QTableView*>(Find(name));
    if (!grid)
        Fail(QStringLiteral("o controle '%1' não é uma grade").arg(name));
    if (!grid->model())
        Fail(QStringLiteral("a grade '%1' não mostra dados").arg(name));
    return grid;
}

// A grid over a data set names its columns by field, a plain grid by title.
int ScreenDriver::Column(QTableView* grid, const QString& gridName, const QString& field) const {
    int column = -1;
    auto* dataGrid = qobject_cast<TZoDBGrid*>(grid);
    if (dataGrid && dataGrid->DataSet()) {
        column = DataSetModel::Of(dataGrid->DataSet())->ColumnOfField(field);
    } else {
        for (int c = 0; c < grid->model()->columnCount() && column < 0; ++c)
            if (SemMnemonico(grid->model()->headerData(c, Qt::Horizontal).toString()) == field)
                column = c;
    }
    if (column < 0)
        Fail(QStringLiteral("a grade '%1' não tem a coluna '%2'").arg(gridName, field));
    if (grid->isColumnHidden(column))
        Fail(QStringLiteral("a coluna '%1' da grade '%2' está escondida").arg(field, gridName));
    return column;
}

int ScreenDriver::Rows(const QString& gridName) const {
    return Grid(gridName)->model()->rowCount();
}

// A click on the cell: the grid takes the focus (the control left runs its exit rules), then the cell
// becomes current. An editor open on the cell is what the mouse lands on. True when the focus is in the
// grid and the cell is current; a screen may refuse either.
bool ScreenDriver::ClickCell(QTableView* grid, const QModelIndex& cell) {
    QWidget* viewport = grid->viewport();
    QPoint pos = viewport->rect().center();
    if (cell.isValid()) {
        grid->scrollTo(cell);
        pos = grid->visualRect(cell).center();
    }
    QWidget* under = viewport->childAt(pos);
    QWidget* target = under ? under : viewport;
    const QPoint local = target->mapFrom(viewport, pos);
    ExecutaProtegido([&] { GiveClickFocus(target, local); });
    ProcessEvents();
    QWidget* focused = QApplication::focusWidget();
    if (!focused || (focused != grid && !grid->isAncestorOf(focused))) {
        // The press comes all the same: a screen whose exit rule refused the focus swallows it.
        SendClick(viewport, pos, false);
        return false;
    }
    if (cell.isValid() && grid->currentIndex() != cell) {
        QPointer<QTableView> alive(grid);
        ExecutaProtegido([&] { grid->setCurrentIndex(cell); });
        ProcessEvents();
        if (!alive)
            return false;
    }
    return !cell.isValid() || grid->currentIndex() == cell;
}

void ScreenDriver::Row(const QString& gridName, int n) {
    QTableView* grid = Grid(gridName);
    const int rows = grid->model()->rowCount();
    auto* dataGrid = qobject_cast<TZoDBGrid*>(grid);
    TDataSet* data = dataGrid ? dataGrid->DataSet() : nullptr;
    const bool appends = data && grid->editTriggers() != QAbstractItemView::NoEditTriggers;
    if (n < 0 || n > rows || (n == rows && !appends))
        Fail(QStringLiteral("a grade '%1' não tem a linha %2 (tem %3%4)")
                 .arg(gridName)
                 .arg(n)
                 .arg(rows)
                 .arg(appends || !data ? QString() : QStringLiteral(" e não é editável")));
    if (!grid->isEnabled() || !grid->isVisible())
        Fail(QStringLiteral("a grade '%1' não pode receber o foco").arg(gridName));
    DefineTelaAtiva(m_screen);
    QApplication::setActiveWindow(grid->window());
    const int column = std::max(0, grid->currentIndex().column());
    if (n < rows) {
        ClickCell(grid, grid->model()->index(n, column));
        return;
    }
    // As Down on the last row: what is being typed in the cell goes into the row (the editor commits when the
    // grid takes the focus back), the row is posted (its checks may refuse), the data set appends and the
    // grid follows.
    if (!ClickCell(grid, rows > 0 ? grid->model()->index(rows - 1, column) : QModelIndex()))
        return;
    if (OpenEditor(grid)) {
        ExecutaProtegido([grid] { grid->setFocus(Qt::OtherFocusReason); });
        ProcessEvents();
    }
    QPointer<TDataSet> alive(data);
    ExecutaProtegido([&] {
        if (alive)
            alive->Append();
    });
    ProcessEvents();
}

void ScreenDriver::Cell(const QString& gridName, const QString& field, const QString& text) {
    QTableView* grid = Grid(gridName);
    const int column = Column(grid, gridName, field);
    if (!grid->isEnabled() || !grid->isVisible())
        Fail(QStringLiteral("a grade '%1' não pode receber o foco").arg(gridName));
    const int row = grid->currentIndex().row();
    if (row < 0)
        Fail(QStringLiteral("a grade '%1' não tem linha corrente").arg(gridName));
    const QModelIndex cell = grid->model()->index(row, column);
    const auto triggers = grid->editTriggers();
    if (!(cell.flags() & Qt::ItemIsEditable) ||
        !(triggers & (QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed)))
        Fail(QStringLiteral("a coluna '%1' da grade '%2' é somente leitura").arg(field, gridName));
    if (text.isEmpty() && !(triggers & QAbstractItemView::EditKeyPressed))
        Fail(
            QStringLiteral("a grade '%1' só abre uma célula com a tecla digitada: o texto não pode ser vazio")
                .arg(gridName));
    DefineTelaAtiva(m_screen);
    QApplication::setActiveWindow(grid->window());
    const qsizetype shown = m_messages.shown.size();
    if (!ClickCell(grid, cell))
        Fail(QStringLiteral("a célula '%1' da grade '%2' não pôde ser escolhida%3")
                 .arg(field, gridName,
                      m_messages.shown.size() > shown ? QStringLiteral(": ") + m_messages.LastText()
                                                      : QString()));
    // The editor opens as a user opens it: by F2, or by the first key typed into the cell.
    QString keys = text;
    QWidget* editor = OpenEditor(grid);
    if (!editor) {
        if (triggers & QAbstractItemView::EditKeyPressed) {
            SendKey(grid, Qt::Key_F2, Qt::NoModifier, QString());
        } else {
            TypeKeys(grid, keys.left(1));
            keys.remove(0, 1);
        }
        editor = OpenEditor(grid);
        if (!editor)
            Fail(QStringLiteral("a célula '%1' da grade '%2' não abriu para edição").arg(field, gridName));
    }
    if (keys.size() == text.size()) {
        // Typed over: what the cell held goes.
        if (auto* box = qobject_cast<QLineEdit*>(editor))
            box->selectAll();
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(editor))
            spin->selectAll();
        else if (auto* combo = qobject_cast<QComboBox*>(editor); combo && combo->lineEdit())
            combo->lineEdit()->selectAll();
    }
    if (!keys.isEmpty() || text.isEmpty())
        TypeKeys(editor, keys);
    QWidget* focused = QApplication::focusWidget();
    SendKey(focused ? focused : grid, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
}

QString ScreenDriver::Value(const QString& gridName, const QString& field) const {
    QTableView* grid = Grid(gridName);
    const int column = Column(grid, gridName, field);
    const int row = grid->currentIndex().row();
    if (row < 0)
        Fail(QStringLiteral("a grade '%1' não tem linha corrente").arg(gridName));
    const QModelIndex cell = grid->model()->index(row, column);
    // A check box cell reads as it is typed: "S" ticked, "N" clear.
    if (const QVariant marca = cell.data(Qt::CheckStateRole); marca.isValid())
        return marca.toInt() == Qt::Checked ? QStringLiteral("S") : QStringLiteral("N");
    return cell.data(Qt::DisplayRole).toString();
}
