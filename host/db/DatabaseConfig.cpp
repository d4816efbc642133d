#include "DatabaseConfig.h"
#include "LocalSettings.h"
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

QString DatabaseConfig::target() const {
    if (!isServer())
        return path;
    return port > 0 ? QStringLiteral("%1/%2:%3").arg(host).arg(port).arg(path) : host + ':' + path;
}

DatabaseConfig DatabaseConfig::parse(const QString& text) {
    DatabaseConfig config;
    static const QRegularExpression server(QStringLiteral("^([^/:\\\\]+)(?:/(\\d+))?:(.+)$"));
    const auto match = server.match(text.trimmed());
    if (match.hasMatch() && match.captured(1).size() > 1) {
        config.host = match.captured(1);
        config.port = match.captured(2).toInt();
        config.path = match.captured(3);
    } else {
        config.path = text.trimmed();
    }
    return config;
}

DatabaseConfig DatabaseConfig::fromEnvironment(const QString& database) {
    QString text = database.isEmpty() ? qEnvironmentVariable("KELM_DATABASE") : database;
    if (text.isEmpty())
        text = LeIni(QStringLiteral("Banco"), QStringLiteral("database"));
    DatabaseConfig config = parse(text.isEmpty() ? defaultEmbeddedPath() : text);
    const QString user =
        qEnvironmentVariable("KELM_DB_USER", LeIni(QStringLiteral("Banco"), QStringLiteral("user")));
    const QString password =
        qEnvironmentVariable("KELM_DB_PASSWORD", LeIni(QStringLiteral("Banco"), QStringLiteral("password")));
    // The embedded engine knows no users: SYSDBA there (another name makes every detach wait on the
    // engine's user mapping).
    if (config.isServer())
        config.user = user.isEmpty() ? QStringLiteral("KELM") : user;
    if (!password.isEmpty())
        config.password = password;
    if (config.isServer())
        config.role =
            qEnvironmentVariable("KELM_DB_ROLE", LeIni(QStringLiteral("Banco"), QStringLiteral("role")))
                .trimmed();
    return config;
}

QString DatabaseConfig::defaultEmbeddedPath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/kelm";
    QDir().mkpath(dir);
    return dir + "/kelm.fdb";
}
