#pragma once
#include "DataContext.h"
#include "HostExport.h"
#include <QObject>
#include <functional>

class MessageService;
class QWidget;

// The one host context: what the data layer owns (connections, session, shared data sets) and the services
// of the user interface: the message service, the error handler, the busy mark, the status line and the
// screen opener. Created and destroyed inside main, and per test case by the test kit; every host routine
// reaches it through Current().
class KELMHOST_EXPORT HostContext : public DataContext {
public:
    // The message service stays the caller's and must outlive the context.
    explicit HostContext(MessageService& messages);
    ~HostContext() override;

    static HostContext* Current();

    MessageService& Messages() { return m_override ? *m_override : m_messages; }
    // Another service for a while (a scenario); null goes back to the one the context was made with.
    void SetMessages(MessageService* service) { m_override = service; }

    // The screen whose handler runs, as a widget (null when none).
    QWidget* ActiveScreen() const;

    // A failure that reached the protected call: the unit of work is rolled back, the busy mark cleared and
    // the text shown in one error box.
    void HandleError(const QString& text);

    // Busy mark (counted): the wait cursor and a status text.
    void Busy(bool busy, const QString& text);
    // Where status texts go (the main window's status bar); none by default.
    std::function<void(const QString&)> ShowStatus;
    // How a screen created by class name is shown (the main window places MDI children); show() when unset.
    std::function<void(QWidget*)> ShowScreen;

private:
    void OfereceReconexao();
    MessageService& m_messages;
    bool m_conexaoPerdida = false; // told already; the reconnect is being offered
    QObject m_guarda;              // what the context's deferred work hangs on: it goes with the context
    MessageService* m_override = nullptr;
    int m_busy = 0;
};
