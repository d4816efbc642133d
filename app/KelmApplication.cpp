#include "KelmApplication.h"
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

KelmApplication::KelmApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Numbers and dates on screen as a Brazilian dye-house writes them, whatever the workstation says, and
    // Qt's own dialogs (print, file, colour) in Portuguese.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    auto* qt = new QTranslator(this);
    if (qt->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qt);
}

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
