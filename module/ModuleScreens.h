#pragma once
#include "ClassRegistry.h"
#include <QList>
#include <QStringList>

// One row per screen unit of the module, in the package's unit order.
struct ModuleScreen {
    QString unit;
    QString className;
    QString instance;
    QString caption;
    ScreenKind kind;
    QString group;           // the menu the host lists it under
    QStringList arguments{}; // what another screen may hand it (RecebeArgumentos)
};

const QList<ModuleScreen>& ModuleScreens();
ScreenInfo ScreenInfoFor(const QString& className);

// The package information table: the units it contains and the host packages it requires.
struct PackageInfo {
    QStringList contains;
    QStringList requires_;
};
const PackageInfo& PackageInfoTable();
