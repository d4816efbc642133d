#pragma once
#include "HostExport.h"
#include "MessageService.h"

// The message service of real dialogs, in Portuguese.
class KELMHOST_EXPORT DialogMessageService : public MessageService {
public:
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
};
