#include "ClassRegistry.h"
#include <QMap>
#include <QWidget>

namespace {
QMap<QString, ScreenFactory>& classes() {
    static QMap<QString, ScreenFactory> map;
    return map;
}
} // namespace

void RegisterClass(const QString& className, ScreenFactory factory) {
    classes().insert(className, std::move(factory));
}
void UnRegisterClass(const QString& className) {
    classes().remove(className);
}
bool ClassRegistered(const QString& className) {
    return classes().contains(className);
}
QStringList RegisteredClasses() {
    return classes().keys();
}

QWidget* CreateScreen(const QString& className, QWidget* parent) {
    const auto it = classes().constFind(className);
    return it == classes().cend() ? nullptr : (*it)(parent);
}
