#pragma once
#include "HostExport.h"
#include <QString>
#include <QVariant>

// The workstation's own settings file (kelm.ini): database, picture folder and the like.
KELMHOST_EXPORT QString LocalSettingsPath();
KELMHOST_EXPORT QString LeIni(const QString& section, const QString& key,
                              const QString& defaultValue = QString());
KELMHOST_EXPORT void GravaIni(const QString& section, const QString& key, const QString& value);
