#include "Mensagens.h"
#include "HostContext.h"
#include "HostError.h"
#include <QWidget>

MessageService& Mensagens() {
    HostContext* context = HostContext::Current();
    if (!context)
        throw EDatabaseError(QStringLiteral("Nenhum contexto do sistema aberto."));
    return context->Messages();
}

void SetMessageService(MessageService* service) {
    if (HostContext* context = HostContext::Current())
        context->SetMessages(service);
}

void Informa(QWidget* screen, const QString& text) {
    Mensagens().Show(screen, screen ? screen->windowTitle() : QString(), text, MsgIcon::Information);
}

bool Pergunta(QWidget* screen, const QString& title, const QString& text, bool defaultYes, MsgIcon icon) {
    return Mensagens().Ask(screen, title, text, defaultYes, icon);
}

bool InputQuery(QWidget* screen, const QString& title, const QString& prompt, QString& value) {
    return Mensagens().Input(screen, title, prompt, value);
}
