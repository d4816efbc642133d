#pragma once
#include "ClassRegistry.h"
#include "Relatorio.h"
#include <QList>
#include <QString>
#include <utility>

// A unit of the module: its initialisation registers its screen class and the report layouts it prints
// with on the first run only (so a layout exists before its screen was ever opened), its finalisation
// unregisters them when its counter returns to zero.
class ScreenUnit {
public:
    using Layouts = QList<std::pair<QString, LayoutRelatorio>>;
    ScreenUnit(const char* unit, const char* className, ScreenFactory factory, Layouts layouts = {});
    void Initialize();
    void Finalize();
    int Count() const { return m_count; }
    const QString& Unit() const { return m_unit; }

private:
    QString m_unit;
    QString m_className;
    ScreenFactory m_factory;
    Layouts m_layouts;
    int m_count = 0;
};

// Runs every existing unit's initialisation in the package's unit order; unloading runs the
// finalisations in reverse.
void LoadModuleUnits();
void UnloadModuleUnits();
ScreenUnit* FindUnit(const QString& unit);

// Declares a unit whose screen class is created by class name, with the report layouts it prints with:
// KELM_SCREEN_UNIT(CadBanho, TFmBanho), KELM_SCREEN_UNIT(CadFal, TFmCadFal, {{"WTngFAL", LayoutFal}})
#define KELM_SCREEN_UNIT(UnitName, ClassName, ...)                                                           \
    static ScreenUnit UnitName##Unit(#UnitName, #ClassName, [](QWidget* parent) -> QWidget* {                \
        return TForm::Create<ClassName>(parent);                                                             \
    } __VA_OPT__(, ScreenUnit::Layouts __VA_ARGS__))
