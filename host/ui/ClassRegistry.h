#pragma once
#include "HostExport.h"
#include <QList>
#include <QStringList>
#include <QVariantHash>
#include <functional>

class QWidget;

// How a screen is shown: a maximised child of the main window, the same but centred at its own size,
// a fixed dialog opened by another screen, or an ordinary top-level window.
enum class ScreenKind { Mdi, MdiCentred, Dialog, Window };

struct KELMHOST_EXPORT ScreenInfo {
    QString className;
    QString caption;
    QString group; // menu the host lists it under
    ScreenKind kind = ScreenKind::Mdi;
    int order = 0; // position in the module's own list
    // The names of what another screen may hand it when opening it ("FAL", "CLIENTE").
    QStringList arguments{};
};

// What a screen opening another hands it: values by the names the opened screen declares.
using ArgumentosTela = QVariantHash;

// A screen that takes arguments receives them after its creation handler, before it is shown.
class KELMHOST_EXPORT RecebeArgumentos {
public:
    virtual ~RecebeArgumentos() = default;
    virtual void Argumentos(const ArgumentosTela& argumentos) = 0;
};

// The framework's class registry: screens are created by class name.
using ScreenFactory = std::function<QWidget*(QWidget* parent)>;

KELMHOST_EXPORT void RegisterClass(const ScreenInfo& info, ScreenFactory factory);
KELMHOST_EXPORT void UnRegisterClass(const QString& className);
KELMHOST_EXPORT bool ClassRegistered(const QString& className);
KELMHOST_EXPORT QStringList RegisteredClasses();
KELMHOST_EXPORT QList<ScreenInfo> RegisteredScreens(); // in registration order
KELMHOST_EXPORT ScreenInfo ScreenInfoOf(const QString& className);
// The registered name a screen was created under, kept as a property of the screen.
inline constexpr const char* kClassNameProperty = "kelmClassName";
// Null when the class is not registered.
KELMHOST_EXPORT QWidget* CreateScreen(const QString& className, QWidget* parent = nullptr);
