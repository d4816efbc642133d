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

ScreenUnit::ScreenUnit(const char* unit, const char* className, ScreenFactory factory, Layouts layouts)
    : m_unit(QString::fromLatin1(unit)), m_className(QString::fromLatin1(className)),
      m_factory(std::move(factory)), m_layouts(std::move(layouts)) {
    units().insert(m_unit, this);
}

void ScreenUnit::Initialize() {
    if (m_count++ > 0)
        return;
    RegisterClass(ScreenInfoFor(m_className), m_factory);
    for (const auto& [identificador, layout] : m_layouts)
        RegistraLayout(identificador, layout);
}

void ScreenUnit::Finalize() {
    if (m_count <= 0 || --m_count > 0)
        return;
    UnRegisterClass(m_className);
    for (const auto& layout : m_layouts)
        RemoveLayout(layout.first);
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
