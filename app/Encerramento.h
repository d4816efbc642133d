#pragma once
#include <QObject>

class QSocketNotifier;

// Ctrl+C and SIGTERM end the application promptly and cleanly, whatever dialog is open: the unit of work is
// rolled back, the connections closed and every event loop left. The signal itself only writes a byte to a
// pipe; the work runs in the event loop, where it is safe.
class Encerramento : public QObject {
    Q_OBJECT
public:
    explicit Encerramento(QObject* parent = nullptr);
    // Installs the handlers (again): the database client installs handlers of its own when it attaches,
    // and ours must come after them. A signal that arrives before the event loop runs is handled when it
    // starts.
    void Instala();
    ~Encerramento() override;
    // The exit code once a signal has ended the application (128 + the signal), 0 before.
    int Codigo() const { return m_codigo; }

private:
    void Encerra();
    QSocketNotifier* m_notifier = nullptr;
    int m_codigo = 0;
};
