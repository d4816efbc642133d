#include "TForm.h"
#include "HostUi.h"
#include "Sessao.h"
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

TForm::TForm(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    qApp->installEventFilter(this);
}

bool TForm::FormKeyDown(QKeyEvent* key) {
    return pSetFocus(this, key);
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

void TForm::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        FormClose();
    }
    event->accept();
}

void TForm::showEvent(QShowEvent* event) {
    DefineTelaAtiva(this);
    QWidget::showEvent(event);
}

bool TForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::FocusIn)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return false;
    if (event->type() == QEvent::FocusIn) {
        DefineTelaAtiva(this);
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (DescartaAspas && (key->text() == QLatin1String("'") || key->text() == QLatin1String("\"")))
        return true;
    return KeyPreview && FormKeyDown(key);
}
