#pragma once
#include "HostExport.h"
#include <QLibrary>
#include <QString>

// Loads a screen module at run time and runs its load routine, which registers its screens.
class KELMHOST_EXPORT ModuleLoader {
public:
    // The module's file in the folders the application searches (lib/ beside bin/, then the library path).
    static QString Locate(const QString& module);
    bool Load(const QString& module, QString* error);
    void Unload();
    bool Loaded() const { return m_library.isLoaded(); }

private:
    QLibrary m_library;
};
