#include "ScreenDriver.h"
#include "ClassRegistry.h"
#include "DataContext.h"
#include "HostUi.h"
#include "TPesquisa.h"
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
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

bool ScriptedMessageService::Search(QWidget*, TPesquisa& search) {
    const bool answered = !searches.isEmpty();
    shown.append({QStringLiteral("search"), search.Titulo, search.Tabela, MsgIcon::Question, answered});
    if (!answered)
        return false;
    const QString key = searches.dequeue();
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
    shown.clear();
}

// ---- driver

void ScreenDriver::Fail(const QString& text) const {
    throw std::runtime_error(text.toStdString());
}

QWidget* ScreenDriver::Open(const QString& className) {
    QWidget* screen = Carrega_Form(QStringLiteral("kelmTingimento.bpl"), className, QString(), false, false);
    if (!screen)
        Fail(QStringLiteral("tela '%1' não registrada").arg(className));
    m_screen = screen;
    QWidget* window = screen->window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    DefineTelaAtiva(screen);
    ProcessEvents();
    return screen;
}

void ScreenDriver::Close() {
    if (m_screen) {
        m_screen->close();
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

// Key events go through the application's notify, as typed keys do: failures reach the error handler.
void ScreenDriver::SendKey(QWidget* target, int key, Qt::KeyboardModifiers mods, const QString& text) {
    ExecutaProtegido([&] {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(target, &release);
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
    }
    if (text.isEmpty()) {
        SendKey(w, Qt::Key_Delete, Qt::NoModifier, QString());
        return;
    }
    for (const QChar c : text) {
        const int key = c.isLetterOrNumber() && c.unicode() < 128 ? c.toUpper().unicode() : 0;
        SendKey(QApplication::focusWidget() ? QApplication::focusWidget() : w, key, Qt::NoModifier,
                QString(c));
    }
}

void ScreenDriver::Press(const QString& key, const QString& name) {
    if (!name.isEmpty())
        Focus(name);
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = m_screen;
    if (!target)
        Fail(QStringLiteral("nenhum controle com foco"));
    if (key.compare(QLatin1String("Enter"), Qt::CaseInsensitive) == 0) {
        SendKey(target, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        return;
    }
    const QKeySequence sequence = QKeySequence::fromString(key);
    if (sequence.isEmpty())
        Fail(QStringLiteral("tecla desconhecida: %1").arg(key));
    const QKeyCombination combo = sequence[0];
    QString text;
    if (combo.key() == Qt::Key_Tab)
        text = QStringLiteral("\t");
    else if (combo.key() == Qt::Key_Escape)
        text = QStringLiteral("\x1b");
    SendKey(target, combo.key(), combo.keyboardModifiers(), text);
}

void ScreenDriver::Click(const QString& name) {
    auto* button = Get<QAbstractButton>(name);
    if (!button->isEnabled() || !button->isVisible())
        Fail(QStringLiteral("o botão '%1' não está disponível").arg(name));
    DefineTelaAtiva(m_screen);
    QApplication::setActiveWindow(button->window());
    // A real press and release: the button takes the focus first, so the box being left runs its exit
    // rules (and may show a message) before the click, as with a mouse.
    QPointer<QAbstractButton> target(button);
    QPointF centre = QRectF(button->rect()).center();
    // Check boxes and radio buttons answer clicks on their indicator and text only.
    if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const auto element =
            qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator;
        centre = QRectF(button->style()->subElementRect(element, &option, button)).center();
    }
    const QPointF global = button->mapToGlobal(centre);
    ExecutaProtegido([&] {
        // The window gives the focus before it delivers the press.
        if (button->focusPolicy() & Qt::ClickFocus)
            button->setFocus(Qt::MouseFocusReason);
        if (!target)
            return;
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    });
    ExecutaProtegido([&] {
        if (!target)
            return;
        QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    });
    ProcessEvents();
}

void ScreenDriver::Activate(const QString& name) {
    auto* button = Get<QAbstractButton>(name);
    if (!button->isEnabled() || !button->isVisible())
        Fail(QStringLiteral("o botão '%1' não está disponível").arg(name));
    DefineTelaAtiva(m_screen);
    ExecutaProtegido([button] { button->click(); });
    ProcessEvents();
}

QString ScreenDriver::Text(const QString& name) const {
    QWidget* w = Find(name);
    if (auto* box = qobject_cast<QLineEdit*>(w))
        return box->text();
    if (auto* check = qobject_cast<QCheckBox*>(w))
        return check->isChecked() ? QStringLiteral("S") : QStringLiteral("N");
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
    // The line edit inside an editable combo box answers for its box.
    if (w && w->objectName().isEmpty() && w->parentWidget() && qobject_cast<QComboBox*>(w->parentWidget()))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

void ScreenDriver::Select(const QString& comboName, const QString& itemText) {
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
