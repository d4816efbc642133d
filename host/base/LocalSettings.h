#pragma once
#include "HostExport.h"
#include <QString>
#include <QStringList>
#include <QVariant>

// The workstation's own settings file (kelm.ini): database, picture folder and the like.
KELMHOST_EXPORT QString LocalSettingsPath();
KELMHOST_EXPORT QString LeIni(const QString& section, const QString& key,
                              const QString& defaultValue = QString());
KELMHOST_EXPORT void GravaIni(const QString& section, const QString& key, const QString& value);
// The groups kept under a section ("[Balanca]" keys "NOME/Porta"... give "NOME"), sorted.
KELMHOST_EXPORT QStringList GruposIni(const QString& section);
