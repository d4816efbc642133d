#include "TestDatabase.h"
#include "Acesso.h"
#include "DBControls.h"
#include "DataContext.h"
#include "FirebirdEngine.h"
#include "Formatacao.h"
#include "HostError.h"
#include "HostUi.h"
#include "SchemaUpgrade.h"
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <atomic>
#include <unistd.h>

namespace {
QString schemaHash() {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& name : SchemaUpgrade::Scripts(QStringLiteral("schema"))) {
        QFile f(QStringLiteral(":/db/") + name);
        if (f.open(QIODevice::ReadOnly)) {
            hash.addData(name.toUtf8());
            hash.addData(f.readAll());
        }
    }
    return QString::fromLatin1(hash.result().toHex().left(12));
}

DatabaseConfig configFor(const QString& path) {
    DatabaseConfig c;
    c.path = path;
    if (TestDatabase::ServerMode()) {
        c = DatabaseConfig::parse(qEnvironmentVariable("KELM_TEST_SERVER") + ':' + path);
        c.user = qEnvironmentVariable("KELM_DB_USER", QStringLiteral("KELM"));
        c.password = qEnvironmentVariable("KELM_DB_PASSWORD", QStringLiteral("kelm"));
    }
    return c;
}

QString templatePath() {
    const QString path =
        TestDatabase::Folder() +
        QStringLiteral("/template-%1%2.fdb").arg(schemaHash(), TestDatabase::ServerMode() ? "-srv" : "");
    if (QFile::exists(path))
        return path;
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.lock();
    if (QFile::exists(path))
        return path;
    const QString building = path + QStringLiteral(".building.fdb");
    QFile::remove(building);
    const DatabaseConfig config = configFor(building);
    const QString error = CreateDatabase(config);
    if (!error.isEmpty())
        qFatal("cannot create the test template %s: %s", qPrintable(building), qPrintable(error));
    {
        TZoDatabase db(QStringLiteral("kelm-test-template"));
        db.Open(config);
        SchemaUpgrade::Apply(db, false);
        db.Close();
    }
    QFile::rename(building, path);
    return path;
}
} // namespace

bool TestDatabase::ServerMode() {
    return qEnvironmentVariableIsSet("KELM_TEST_SERVER");
}

QString TestDatabase::Folder() {
    QString dir = qEnvironmentVariable("KELM_TEST_DIR");
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/kelm-tests-%1").arg(getuid());
    QDir().mkpath(dir);
    return dir;
}

DatabaseConfig TestDatabase::Fresh() {
    PrepareFirebirdEnvironment();
    static std::atomic<int> counter{0};
    const QString source = templatePath();
    const QString path = Folder() + QStringLiteral("/case-%1-%2.fdb").arg(getpid()).arg(++counter);
    QFile::remove(path);
    if (!QFile::copy(source, path))
        qFatal("cannot copy the test template to %s", qPrintable(path));
    // The server runs as another user.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                    QFileDevice::WriteOther);
    return configFor(path);
}

void TestDatabase::Drop(const DatabaseConfig& config) {
    QFile::remove(config.path);
}

// ---- base test case

void DatabaseTestCase::init() {
    SilenciaAvisosSemTela();
    config = TestDatabase::Fresh();
    messages.Clear();
    context = std::make_unique<HostContext>(messages);
    db = &context->Database();
    db->Open(config);
    driver = std::make_unique<ScreenDriver>(messages);
    Sessao& session = context->Session();
    session.usuario = QStringLiteral("ADMIN");
    session.usuarioCodigo = QStringLiteral("001");
    session.supervisor.clear();
    // Derived once per test program: a password costs a deliberate fraction of a second.
    static const QString adminPassword = HashSenha(QStringLiteral("001"), QStringLiteral("kelm"));
    Sql(QStringLiteral("INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO) "
                       "VALUES ('001', 'ADMIN', '%1', 'S', 'S', 'S')")
            .arg(adminPassword));
    db->Transaction()->CommitRetaining();
}

void DatabaseTestCase::cleanup() {
    if (driver)
        driver->Close();
    driver.reset();
    for (QWidget* w : QApplication::topLevelWidgets())
        w->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    db = nullptr;
    context.reset();
    TestDatabase::Drop(config);
}

void DatabaseTestCase::Sql(const QString& statement) {
    SqlOn(*db, statement);
}
QVariant DatabaseTestCase::Scalar(const QString& statement) {
    return ScalarOn(*db, statement);
}

std::unique_ptr<TZoDatabase> DatabaseTestCase::OpenSecond(const QString& name) {
    auto second = std::make_unique<TZoDatabase>(name);
    second->Open(config);
    return second;
}

QStringList DatabaseTestCase::RowsSeenByOthers(const QString& statement) {
    auto other = OpenSecond(QStringLiteral("kelm-test-reader"));
    QSqlQuery q(other->Connection());
    other->Exec(q, statement, false);
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < q.record().count(); ++i)
            values << TextoValor(q.value(i));
        rows << values.join('|');
    }
    return rows;
}

void ScreenTestCase::initTestCase() {
    QString error;
    QVERIFY2(module.Load(QStringLiteral("kelmTingimento"), &error), qPrintable(error));
}

void ScreenTestCase::cleanupTestCase() {
    module.Unload();
}

void ScreenTestCase::EditaCelula(TZoDBGrid* grid, const QString& field, const QVariant& value) {
    grid->SelectField(field);
    grid->model()->setData(grid->currentIndex(), value, Qt::EditRole);
}

QString ScreenTestCase::TextoCelula(TZoDBGrid* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
}

QVariant ScalarOn(TZoDatabase& database, const QString& statement) {
    QSqlQuery q(database.Connection());
    database.Exec(q, statement, false);
    return q.next() ? q.value(0) : QVariant();
}

void SqlOn(TZoDatabase& database, const QString& statement) {
    QSqlQuery q(database.Connection());
    database.Exec(q, statement, true);
}
