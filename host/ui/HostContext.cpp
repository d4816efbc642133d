#include "HostContext.h"
#include "MessageService.h"
#include "Protecao.h"
#include <QApplication>
#include <QWidget>

HostContext::HostContext(MessageService& messages) : m_messages(messages) {
    DefineTratadorErro([this](const QString& text) { HandleError(text); });
    PedeLogin = [this](const QString& title, QString& user, QString& password) {
        return Messages().Login(ActiveScreen(), title, user, password);
    };
    Avisa = [this](const QString& title, const QString& text) {
        Messages().Show(ActiveScreen(), title, text, MsgIcon::Warning);
    };
}

HostContext::~HostContext() {
    DefineTratadorErro(nullptr);
    while (m_busy > 0)
        Busy(false, QString());
}

HostContext* HostContext::Current() {
    return dynamic_cast<HostContext*>(DataContext::Current());
}

QWidget* HostContext::ActiveScreen() const {
    return qobject_cast<QWidget*>(const_cast<HostContext*>(this)->Session().telaAtiva.data());
}

void HostContext::HandleError(const QString& text) {
    if (Database().Connected()) {
        try {
            Database().Transaction()->RollbackRetaining();
        } catch (const std::exception&) {
            // the connection itself is gone; the message says why
        }
    }
    while (m_busy > 0)
        Busy(false, QString());
    Messages().Show(ActiveScreen(), QStringLiteral("Erro"), text, MsgIcon::Error);
}

void HostContext::Busy(bool busy, const QString& text) {
    if (busy) {
        if (m_busy++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0 && --m_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
    if (ShowStatus)
        ShowStatus(busy ? text : QString());
}
