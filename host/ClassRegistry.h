#pragma once
#include "HostExport.h"
#include <QStringList>
#include <functional>

class QWidget;

// The framework's class registry: screens are created by class name.
using ScreenFactory = std::function<QWidget*(QWidget* parent)>;

KELMHOST_EXPORT void RegisterClass(const QString& className, ScreenFactory factory);
KELMHOST_EXPORT void UnRegisterClass(const QString& className);
KELMHOST_EXPORT bool ClassRegistered(const QString& className);
KELMHOST_EXPORT QStringList RegisteredClasses();
// Null when the class is not registered.
KELMHOST_EXPORT QWidget* CreateScreen(const QString& className, QWidget* parent = nullptr);
