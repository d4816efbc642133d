#include "TForm.h"
#include "DBControls.h"
#include "DataContext.h"
#include "HostUi.h"
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

namespace {
// One application-wide filter for all open screens: it hands the keys, clicks and focus changes of a
// screen's controls to that screen. It lives while any screen does.
class FormEvents : public QObject {
public:
    static void Attach() {
        if (s_screens++ == 0)
            qApp->installEventFilter(instance());
    }
    static void Detach() {
        if (--s_screens == 0)
            qApp->removeEventFilter(instance());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::MouseButtonPress:
        case QEvent::Shortcut:
            break;
        default:
            return false;
        }
        if (!watched->isWidgetType())
            return false;
        auto* control = static_cast<QWidget*>(watched);
        for (QWidget* w = control; w; w = w->parentWidget())
            if (auto* screen = qobject_cast<TForm*>(w))
                return screen->TrataEvento(control, event);
        return false;
    }

private:
    static FormEvents* instance() {
        static FormEvents filter;
        return &filter;
    }
    static inline int s_screens = 0;
};

// A box that only shows a value (the description beside a code) is no place to type the next one.
bool somenteLeitura(const QWidget* w) {
    if (const auto* box = qobject_cast<const QLineEdit*>(w))
        return box->isReadOnly();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(w))
        return spin->isReadOnly();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(w))
        return memo->isReadOnly();
    return false;
}
} // namespace

TForm::TForm(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    FormEvents::Attach();
}

TForm::~TForm() {
    FormEvents::Detach();
}

bool TForm::FormKeyDown(QKeyEvent* key) {
    return pSetFocus(this, key);
}

bool TForm::TeclaControle(QWidget*, QKeyEvent* key) {
    if (DescartaAspas && (key->text() == QLatin1String("'") || key->text() == QLatin1String("\"")))
        return true;
    return KeyPreview && FormKeyDown(key);
}

bool TForm::SaidaControle(QWidget*, QWidget*, Qt::FocusReason) {
    return true;
}

bool TForm::TrataEvento(QWidget* control, QEvent* event) {
    bool swallow = false;
    ExecutaProtegido([&] {
        switch (event->type()) {
        case QEvent::FocusIn:
            DefineTelaAtiva(this);
            break;
        case QEvent::KeyPress:
            m_saidaRecusada = m_saidaPorClique = false;
            swallow = TeclaControle(control, static_cast<QKeyEvent*>(event));
            break;
        case QEvent::MouseButtonPress:
            // A click whose focus change a control's exit rule refused, or whose exit failed, ends there:
            // the message is shown and the focus is back, so the button must not act (nor repeat it).
            {
                const bool recusada = std::exchange(m_saidaRecusada, false);
                const bool falhou =
                    std::exchange(m_saidaPorClique, false) && FalhasProtegidas() != m_falhasNaSaida;
                swallow = recusada || falhou;
                break;
            }
        case QEvent::Shortcut:
            // A button's shortcut acts without moving the focus: what is being typed in a grid cell is
            // taken first (or dropped, for a button that desists).
            ConcluiEdicaoGrades(!Desiste(control));
            break;
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            QWidget* next = QApplication::focusWidget();
            const bool left = (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                               reason == Qt::MouseFocusReason) &&
                              next && next != control && isAncestorOf(next);
            // Failures from here to the press (the control's own exit handling included) are the exit's.
            m_saidaPorClique = reason == Qt::MouseFocusReason;
            m_falhasNaSaida = FalhasProtegidas();
            if (left && !SaidaControle(control, next, reason))
                m_saidaRecusada = reason == Qt::MouseFocusReason;
            break;
        }
        default:
            break;
        }
    });
    return swallow;
}

QWidget* TForm::ProcuraComponente(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name)
            return top;
        if (QWidget* found = top->findChild<QWidget*>(name))
            return found;
    }
    return nullptr;
}

void TForm::ConcluiEdicaoGrades(bool commit) {
    for (TZoDBGrid* grid : findChildren<TZoDBGrid*>())
        grid->ConcluiEdicao(commit);
}

// The exit rules run here rather than from the focus change: when the look-up's window has just closed the
// screen's window may not be active yet, and then moving the focus sends no events at all.
void TForm::SeguePesquisa(QWidget* caixa) {
    QWidget* seguinte = ControleSeguinte(this, caixa);
    while (seguinte && seguinte != caixa && somenteLeitura(seguinte))
        seguinte = ControleSeguinte(this, seguinte);
    if (seguinte == caixa)
        seguinte = nullptr;
    caixa->setFocus(Qt::OtherFocusReason); // the look-up's button may hold it
    if (!SaidaControle(caixa, seguinte, Qt::TabFocusReason) || focusWidget() != caixa || !seguinte)
        return;
    seguinte->setFocus(Qt::OtherFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(seguinte))
        box->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(seguinte))
        spin->selectAll();
}

void TForm::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        ExecutaProtegido([this] {
            ConcluiEdicaoGrades(false);
            FormClose();
        });
    }
    event->accept();
}

void TForm::showEvent(QShowEvent* event) {
    DefineTelaAtiva(this);
    QWidget::showEvent(event);
}
