#pragma once
#include "HostExport.h"
#include "MessageService.h"
#include <QString>
#include <QStringList>

class QWidget;

KELMHOST_EXPORT MessageService& Mensagens();
// The host context's message service; another one for a while (scenarios), null goes back to the
// context's own. The caller keeps ownership.
KELMHOST_EXPORT void SetMessageService(MessageService* service);

// A screen's information box: titled with its caption, information icon.
KELMHOST_EXPORT void Informa(QWidget* screen, const QString& text);
// A Yes/No question; true on Yes.
KELMHOST_EXPORT bool Pergunta(QWidget* screen, const QString& title, const QString& text, bool defaultYes,
                              MsgIcon icon = MsgIcon::Question);
KELMHOST_EXPORT bool InputQuery(QWidget* screen, const QString& title, const QString& prompt, QString& value);
