#include "HostContext.h"
#include "ErrosBanco.h"
#include "MessageService.h"
#include "Protecao.h"
#include <QApplication>
#include <QTimer>
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
    // A lost connection fails everything that runs until it is back: told once, and the reconnect offered
    // once, from the event loop, after whatever operation hit it has unwound.
    const bool lost = text.startsWith(TextoConexaoPerdida());
    if (lost && m_conexaoPerdida)
        return;
    Messages().Show(ActiveScreen(), QStringLiteral("Erro"), text, MsgIcon::Error);
    if (lost) {
        m_conexaoPerdida = true;
        QTimer::singleShot(0, &m_guarda, [this] { OfereceReconexao(); });
    }
}

void HostContext::OfereceReconexao() {
    const bool yes =
        Messages().Ask(ActiveScreen(), QStringLiteral("Banco de dados"),
                       QStringLiteral("Deseja reconectar ao banco de dados?"), true, MsgIcon::Question);
    m_conexaoPerdida = false;
    if (!yes)
        return;
    try {
        Reconecta();
    } catch (const std::exception& e) {
        Messages().Show(ActiveScreen(), QStringLiteral("Erro"),
                        QStringLiteral("Não foi possível reconectar.\n") + QString::fromLocal8Bit(e.what()),
                        MsgIcon::Error);
    }
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
