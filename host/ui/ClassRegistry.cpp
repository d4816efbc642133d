#include "ClassRegistry.h"
#include <QMap>
#include <QWidget>
#include <algorithm>

namespace {
struct Entry {
    ScreenInfo info;
    ScreenFactory factory;
    int sequence = 0;
};

QMap<QString, Entry>& classes() {
    static QMap<QString, Entry> map;
    return map;
}
int g_sequence = 0;
} // namespace

void RegisterClass(const ScreenInfo& info, ScreenFactory factory) {
    classes().insert(info.className, Entry{info, std::move(factory), ++g_sequence});
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

QList<ScreenInfo> RegisteredScreens() {
    QList<Entry> entries = classes().values();
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.sequence < b.sequence; });
    QList<ScreenInfo> infos;
    for (const Entry& e : entries)
        infos << e.info;
    return infos;
}

ScreenInfo ScreenInfoOf(const QString& className) {
    const auto it = classes().constFind(className);
    return it == classes().cend() ? ScreenInfo{} : it->info;
}

QWidget* CreateScreen(const QString& className, QWidget* parent) {
    const auto it = classes().constFind(className);
    if (it == classes().cend())
        return nullptr;
    QWidget* screen = it->factory(parent);
    // Several registered names may share one C++ class (the host's table screens).
    screen->setProperty(kClassNameProperty, className);
    return screen;
}
