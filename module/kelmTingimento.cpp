// Package entry of the dyeing and finishing module.
#include "ModuleScreens.h"
#include "ModuleUnits.h"
#include <QtCore/qglobal.h>

extern "C" {
Q_DECL_EXPORT void kelmModuleLoad() {
    LoadModuleUnits();
}
Q_DECL_EXPORT void kelmModuleUnload() {
    UnloadModuleUnits();
}

// The units the package contains and the host packages it requires, as lines "C unit" and "R package".
Q_DECL_EXPORT const char* GetPackageInfoTable() {
    static const QByteArray table = [] {
        QByteArray text;
        for (const QString& unit : PackageInfoTable().contains)
            text += "C " + unit.toLatin1() + '\n';
        for (const QString& package : PackageInfoTable().requires_)
            text += "R " + package.toLatin1() + '\n';
        return text;
    }();
    return table.constData();
}

// How many loads a unit has seen (0 when the unit does not exist): lets the host and tests check the
// counters.
Q_DECL_EXPORT int kelmUnitCount(const char* unit) {
    const ScreenUnit* u = FindUnit(QString::fromLatin1(unit));
    return u ? u->Count() : 0;
}
}
