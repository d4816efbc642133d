#include "KelmApplication.h"
#include "HostUi.h"

KelmApplication::KelmApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KelmApplication::notify(QObject* receiver, QEvent* event) {
    bool result = true;
    ExecutaProtegido([&] { result = QApplication::notify(receiver, event); });
    return result;
}
