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
    // Each attachment keeps its own page cache in this mode; the engine's default of 256 pages (4 MB)
    // rereads the pages of years of lot sheets from the operating system at every look-up.
    const QByteArray content = "# Written by kelm: embedded files shared between processes.\n"
                               "ServerMode = SuperClassic\n"
                               "Providers = Remote,Engine12\n"
                               "DefaultDbCachePages = 2048\n";
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

namespace {
// Attaches through the client library with the given options and hands the handle to `then`, which ends
// the attachment (detach or drop).
QString attached(const DatabaseConfig& config, const QByteArray& options,
                 ISC_STATUS (*then)(ISC_STATUS*, isc_db_handle*)) {
    PrepareFirebirdEnvironment();
    QByteArray dpb(1, char(isc_dpb_version1));
    const auto add = [&dpb](char tag, const QByteArray& value) {
        dpb += tag;
        dpb += char(value.size());
        dpb += value;
    };
    add(isc_dpb_user_name, config.user.toUtf8());
    add(isc_dpb_password, config.password.toUtf8());
    dpb += options;
    const QByteArray target = QFile::encodeName(config.target());
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    if (isc_attach_database(status, 0, target.constData(), &db, short(dpb.size()), dpb.constData()))
        return statusText(status);
    if (then(status, &db)) {
        const QString text = statusText(status);
        if (db)
            isc_detach_database(status, &db);
        return text;
    }
    return {};
}
} // namespace

QString SetForcedWrites(const DatabaseConfig& config, bool on) {
    QByteArray option;
    option += char(isc_dpb_force_write);
    option += char(1);
    option += char(on ? 1 : 0);
    return attached(config, option, isc_detach_database);
}

QString DropDatabase(const DatabaseConfig& config) {
    return attached(config, QByteArray(), isc_drop_database);
}
