#include "KelmApplication.h"
#include <exception>

KelmApplication::KelmApplication(int& argc, char** argv) : QApplication(argc, argv) {}

// Every entry into our code runs through the protected call; this is only the last net, for a failure that
// slipped past it: logged, never shown twice.
bool KelmApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        qCritical("unprotected failure in an event handler: %s", e.what());
    } catch (...) {
        qCritical("unprotected failure in an event handler");
    }
    return false;
}
