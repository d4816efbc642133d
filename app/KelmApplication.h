#pragma once
#include <QApplication>

// The host's error handler: a failure that escapes a screen's handler is shown in one dialog with the
// server's text, the unit of work is rolled back and the application goes on.
class KelmApplication : public QApplication {
    Q_OBJECT
public:
    KelmApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
