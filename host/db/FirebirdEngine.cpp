#include "FirebirdEngine.h"
#include "Funcoes.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <ibase.h>

namespace {
QString statusText(const ISC_STATUS* status) {
    QString text;
    char buffer[512];
    const ISC_STATUS* vector = status;
    while (fb_interpret(buffer, sizeof buffer, &vector)) {
        if (!text.isEmpty())
            text += '\n';
        text += QString::fromLocal8Bit(buffer);
    }
    return text;
}
} // namespace

void PrepareFirebirdEnvironment() {
    static bool done = false;
    if (done || qEnvironmentVariableIsSet("FIREBIRD")) {
        done = true;
        return;
    }
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/kelm/firebird";
    QDir().mkpath(dir);
    QFile conf(dir + "/firebird.conf");
    const QByteArray content = "# Written by kelm: embedded files shared between processes.\n"
                               "ServerMode = SuperClassic\n"
                               "Providers = Remote,Engine12\n";
    if (!conf.exists() || (conf.open(QIODevice::ReadOnly) && conf.readAll() != content)) {
        conf.close();
        if (conf.open(QIODevice::WriteOnly | QIODevice::Truncate))
            conf.write(content);
    }
    conf.close();
    // Character sets and collations come from the engine's own folder.
    const QString intl = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0/intl");
    if (QFileInfo::exists(intl) && !QFileInfo::exists(dir + "/intl"))
        QFile::link(intl, dir + "/intl");
    qputenv("FIREBIRD", QFile::encodeName(dir));
    done = true;
}

QString CreateDatabase(const DatabaseConfig& config) {
    PrepareFirebirdEnvironment();
    if (!config.isServer())
        QDir().mkpath(QFileInfo(config.path).absolutePath());
    const QByteArray sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 16384 "
                                          "DEFAULT CHARACTER SET UTF8")
                               .arg(Aspas(config.target()), Aspas(config.user), Aspas(config.password))
                               .toUtf8();
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), SQL_DIALECT_V6, nullptr))
        return statusText(status);
    if (isc_detach_database(status, &db))
        return statusText(status);
    return {};
}
