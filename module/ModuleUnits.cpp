#include "ModuleUnits.h"
#include "ModuleScreens.h"
#include <QHash>
#include <algorithm>

namespace {
// Filled by the static unit objects as the library loads; nothing else runs then.
QHash<QString, ScreenUnit*>& units() {
    static QHash<QString, ScreenUnit*> map;
    return map;
}
} // namespace

ScreenUnit::ScreenUnit(const char* unit, const char* className, ScreenFactory factory)
    : m_unit(QString::fromLatin1(unit)), m_className(QString::fromLatin1(className)),
      m_factory(std::move(factory)) {
    units().insert(m_unit, this);
}

void ScreenUnit::Initialize() {
    if (m_count++ == 0)
        RegisterClass(ScreenInfoFor(m_className), m_factory);
}

void ScreenUnit::Finalize() {
    if (m_count > 0 && --m_count == 0)
        UnRegisterClass(m_className);
}

ScreenUnit* FindUnit(const QString& unit) {
    return units().value(unit);
}

void LoadModuleUnits() {
    for (const QString& unit : PackageInfoTable().contains)
        if (ScreenUnit* u = FindUnit(unit))
            u->Initialize();
}

void UnloadModuleUnits() {
    QStringList order = PackageInfoTable().contains;
    std::reverse(order.begin(), order.end());
    for (const QString& unit : order)
        if (ScreenUnit* u = FindUnit(unit))
            u->Finalize();
}
