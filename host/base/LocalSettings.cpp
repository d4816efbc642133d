#include "LocalSettings.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

QString LocalSettingsPath() {
    const QString fromEnv = qEnvironmentVariable("KELM_INI");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/kelm/kelm.ini";
}

QString LeIni(const QString& section, const QString& key, const QString& defaultValue) {
    QSettings ini(LocalSettingsPath(), QSettings::IniFormat);
    return ini.value(section + '/' + key, defaultValue).toString();
}

// The file may hold the database password: readable by its owner only.
void GravaIni(const QString& section, const QString& key, const QString& value) {
    QDir().mkpath(QFileInfo(LocalSettingsPath()).absolutePath());
    {
        QSettings ini(LocalSettingsPath(), QSettings::IniFormat);
        ini.setValue(section + '/' + key, value);
    }
    QFile::setPermissions(LocalSettingsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QStringList GruposIni(const QString& section) {
    QSettings ini(LocalSettingsPath(), QSettings::IniFormat);
    ini.beginGroup(section);
    QStringList grupos = ini.childGroups();
    grupos.sort(Qt::CaseInsensitive);
    return grupos;
}
