#pragma once
#include <QApplication>

// The host application; its notify is the last net under the protected call.
class KelmApplication : public QApplication {
    Q_OBJECT
public:
    KelmApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
