#pragma once
#include "HostExport.h"
#include <QColor>
#include <QString>
#include <QStringList>

class QWidget;
class TPesquisa;

enum class MsgIcon { Information, Warning, Error, Question };

// Every message box, question, input box and file dialog goes through one service, so that tests and
// scripted scenarios can answer them. The host context holds the one in use.
class KELMHOST_EXPORT MessageService {
public:
    virtual ~MessageService() = default;
    virtual void Show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon) = 0;
    virtual bool Ask(QWidget* parent, const QString& title, const QString& text, bool defaultYes,
                     MsgIcon icon) = 0;
    // A question with buttons of its own; returns the index of the chosen button, -1 when closed.
    virtual int Choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
                       int defaultIndex) = 0;
    virtual bool Input(QWidget* parent, const QString& title, const QString& prompt, QString& value) = 0;
    virtual bool Login(QWidget* parent, const QString& title, QString& user, QString& password) = 0;
    virtual QString OpenFile(QWidget* parent, const QString& title, const QString& dir,
                             const QString& filter) = 0;
    virtual QString SaveFile(QWidget* parent, const QString& title, const QString& dir,
                             const QString& filter) = 0;
    // Any colour, starting from `initial`; an invalid colour when cancelled.
    virtual QColor ChooseColor(QWidget* parent, const QString& title, const QColor& initial) = 0;
    // A look-up list; true when a row was chosen (TPesquisa::Escolhe).
    virtual bool Search(QWidget* parent, TPesquisa& search) = 0;
};
