#pragma once
#include "ClassRegistry.h"
#include <QString>

// A unit of the module: its initialisation registers its screen class on the first run only, its
// finalisation unregisters it when its counter returns to zero.
class ScreenUnit {
public:
    ScreenUnit(const char* unit, const char* className, ScreenFactory factory);
    void Initialize();
    void Finalize();
    int Count() const { return m_count; }
    const QString& Unit() const { return m_unit; }

private:
    QString m_unit;
    QString m_className;
    ScreenFactory m_factory;
    int m_count = 0;
};

// Runs every existing unit's initialisation in the package's unit order; unloading runs the
// finalisations in reverse.
void LoadModuleUnits();
void UnloadModuleUnits();
ScreenUnit* FindUnit(const QString& unit);

// Declares a unit whose screen class T is created by class name: KELM_SCREEN_UNIT(CadBanho, TFmBanho)
#define KELM_SCREEN_UNIT(UnitName, ClassName)                                                                \
    static ScreenUnit UnitName##Unit(                                                                        \
        #UnitName, #ClassName, [](QWidget* parent) -> QWidget* { return TForm::Create<ClassName>(parent); })
