// Starting on a database from processes of their own: several at once on a missing database, and starts
// killed (SIGKILL) at random points while creating or upgrading it. The child processes are this test
// program started with --estacao.
#include "DatabaseConfig.h"
#include "FirebirdEngine.h"
#include "HostError.h"
#include "SchemaUpgrade.h"
#include "TZoDatabase.h"
#include "TestDatabase.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
const char* const kStation = "--estacao";

DatabaseConfig configFor(const QString& path) {
    DatabaseConfig config;
    config.path = path;
    if (TestDatabase::ServerMode()) {
        config = DatabaseConfig::parse(qEnvironmentVariable("KELM_TEST_SERVER") + ':' + path);
        config.user = qEnvironmentVariable("KELM_DB_USER", QStringLiteral("KELM"));
        config.password = qEnvironmentVariable("KELM_DB_PASSWORD", QStringLiteral("kelm"));
    }
    return config;
}

// One workstation's start: --estacao PATH ROOT DEMO [WAIT_MS]. Prints "aberto", or the error and exits 1.
int runStation(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 5)
        return 2;
    if (argc > 5)
        SchemaUpgrade::WaitMs = QByteArray(argv[5]).toInt();
    TZoDatabase db(QStringLiteral("kelm-estacao"));
    try {
        OpenHostDatabase(
            db, configFor(QString::fromLocal8Bit(argv[2])), qstrcmp(argv[4], "1") == 0, [] { return true; },
            QString::fromLocal8Bit(argv[3]));
        db.Close();
        std::printf("aberto\n");
        return 0;
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

struct Run {
    bool killed = false;
    bool opened = false;
    QString errors;
};
} // namespace

class TstDbStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void killedCreationsLeaveADatabaseThatOpensComplete();
    void killedUpgradesLeaveADatabaseThatOpensComplete();
    void workstationsStartingTogetherWaitForTheOneCreating();
    void aStartThatCannotHaveItsTurnSaysSo();
    void serverCreationThatCannotGoOnStartsOver();
    void failedUpgradeLeavesTheEmbeddedFileAsItWas();
    void embeddedUpgradeWaitsForOtherProgramsToLetGo();
    void cleanup();
    void cleanupTestCase() { cleanup(); }

private:
    QString file(const QString& name);
    void drop(const QString& path);
    // A station of its own engine lock folder unless one is given (stations running together share one).
    QProcess* start(const QString& path, const QString& root, bool demo, int waitMs = -1,
                    const QString& lockFolder = QString());
    Run finish(QProcess* process, int killAfterMs = -1);
    Run station(const QString& path, const QString& root, bool demo, int killAfterMs = -1);
    QStringList fingerprint(const QString& path);
    void makeBase(const QString& path);
    int rounds(int embedded, int server) const { return TestDatabase::ServerMode() ? server : embedded; }

    QStringList files;
    QTemporaryDir scripts;
    QTemporaryDir locks;
    int lockFolders = 0;
    QString upgradeRoot;
    QStringList created;  // a database created with demo data, with no interruption
    qint64 createMs = 0;  // how long that start took
    QStringList upgraded; // the base database upgraded with no interruption
    qint64 upgradeMs = 0;
};

QString TstDbStartup::file(const QString& name) {
    const QString path = TestDatabase::Folder() + QStringLiteral("/inicio-%1-%2.fdb").arg(getpid()).arg(name);
    files << path;
    drop(path);
    return path;
}

void TstDbStartup::drop(const QString& path) {
    for (const char* suffix : {"", ".lock", ".criando", ".atualizando"})
        QFile::remove(path + QLatin1String(suffix));
}

QProcess* TstDbStartup::start(const QString& path, const QString& root, bool demo, int waitMs,
                              const QString& lockFolder) {
    auto* process = new QProcess(this);
    // The embedded engine keeps process-shared mutexes in its lock folder that a process killed while
    // holding one never gives back: every later start using that folder would hang. A killed station
    // must not take the machine's (or the next station's) engine down with it.
    QString folder = lockFolder;
    if (folder.isEmpty()) {
        folder = locks.filePath(QString::number(++lockFolders));
        QDir().mkpath(folder);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD_LOCK"), folder);
    process->setProcessEnvironment(environment);
    QStringList arguments{QString::fromLatin1(kStation), path, root, demo ? "1" : "0"};
    if (waitMs >= 0)
        arguments << QString::number(waitMs);
    process->start(QCoreApplication::applicationFilePath(), arguments);
    return process;
}

Run TstDbStartup::finish(QProcess* process, int killAfterMs) {
    Run run;
    if (!process->waitForStarted(10000)) {
        run.errors = process->errorString();
        return run;
    }
    if (killAfterMs >= 0 && !process->waitForFinished(killAfterMs)) {
        process->kill(); // SIGKILL: no cleanup of any kind
        run.killed = true;
    }
    process->waitForFinished(180000);
    run.opened = !run.killed && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0 &&
                 process->readAllStandardOutput().contains("aberto");
    run.errors = QString::fromUtf8(process->readAllStandardError());
    process->deleteLater();
    return run;
}

Run TstDbStartup::station(const QString& path, const QString& root, bool demo, int killAfterMs) {
    return finish(start(path, root, demo), killAfterMs);
}

// What a complete database holds: tables with their row counts, indexes and their state, routines,
// the scripts applied and the creation marker; plus the engine's own validation where its tool is at hand.
QStringList TstDbStartup::fingerprint(const QString& path) {
    QStringList print;
    {
        TZoDatabase db(QStringLiteral("kelm-test-conferencia"));
        db.Open(configFor(path));
        const auto rows = [&](const QString& sql) {
            QSqlQuery q(db.Connection());
            db.Exec(q, sql, false);
            QStringList values;
            while (q.next())
                values << q.value(0).toString();
            return values;
        };
        for (const QString& table : rows(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS "
                                                        "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND "
                                                        "RDB$VIEW_BLR IS NULL ORDER BY 1")))
            print << table + '=' + rows(QStringLiteral("SELECT COUNT(*) FROM ") + table).value(0);
        // Indexes by what they cover: the engine's own names for keys come from a generator that a killed
        // transaction advanced, so a redone statement names its key differently.
        QMap<QString, QStringList> columns;
        QMap<QString, QString> kinds;
        {
            QSqlQuery q(db.Connection());
            db.Exec(q,
                    QStringLiteral(
                        "SELECT TRIM(I.RDB$INDEX_NAME), TRIM(I.RDB$RELATION_NAME), "
                        "COALESCE(I.RDB$UNIQUE_FLAG, 0), COALESCE(I.RDB$INDEX_INACTIVE, 0), "
                        "TRIM(S.RDB$FIELD_NAME) FROM RDB$INDICES I JOIN RDB$INDEX_SEGMENTS S "
                        "ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0 "
                        "ORDER BY I.RDB$INDEX_NAME, S.RDB$FIELD_POSITION"),
                    false);
            while (q.next()) {
                const QString name = q.value(0).toString();
                columns[name] << q.value(4).toString();
                kinds[name] = QStringLiteral("%1 único %2 inativo %3%4")
                                  .arg(q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                                       name.startsWith(QLatin1String("RDB$")) ? QString() : ' ' + name);
            }
        }
        QStringList indexes;
        for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
            indexes << it.value() + '(' + columns[it.key()].join(',') + ')';
        indexes.sort();
        print << indexes;
        print << rows(QStringLiteral("SELECT TRIM(RDB$FUNCTION_NAME) FROM RDB$FUNCTIONS "
                                     "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"));
        print << rows(QStringLiteral("SELECT TRIM(RDB$TRIGGER_NAME) FROM RDB$TRIGGERS "
                                     "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"));
        print << QStringLiteral("aplicados: ") + SchemaUpgrade::Applied(db).join(',');
        // Built without forced writes, a complete database has them back.
        print << QStringLiteral("gravação forçada: ") +
                     rows(QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE")).join(',');
        print << QStringLiteral("criação: ") +
                     rows(QStringLiteral("SELECT COMPLETO FROM SCHEMA_VERSAO WHERE SCRIPT = 'criacao'"))
                         .join(',');
        db.Close();
    }
    const QString gfix = QStandardPaths::findExecutable(QStringLiteral("gfix"));
    if (!gfix.isEmpty()) {
        const DatabaseConfig config = configFor(path);
        QProcess tool;
        tool.start(
            gfix, {"-v", "-full", "-n", "-user", config.user, "-password", config.password, config.target()});
        tool.waitForFinished(60000);
        const QString output =
            QString::fromLocal8Bit(tool.readAllStandardOutput() + tool.readAllStandardError());
        if (tool.exitCode() != 0 || !output.trimmed().isEmpty())
            print << QStringLiteral("validação: ") + output.trimmed();
    }
    return print;
}

// A database at the first sample version, with rows of its own.
void TstDbStartup::makeBase(const QString& path) {
    drop(path);
    TZoDatabase db(QStringLiteral("kelm-test-base"));
    OpenHostDatabase(
        db, configFor(path), false, [] { return true; }, QFINDTESTDATA("data/upgrade/v1"));
    QSqlQuery q(db.Connection());
    db.Exec(q,
            QStringLiteral("INSERT INTO CLIENTE_TESTE (CODIGO, NOME) VALUES ('000001', 'Malharia D''Ávila')"),
            true);
    db.Exec(q, QStringLiteral("INSERT INTO CLIENTE_TESTE (CODIGO, NOME) VALUES ('000002', 'Tinturaria Sul')"),
            true);
    db.Transaction()->CommitRetaining();
    db.Close();
}

void TstDbStartup::initTestCase() {
    PrepareFirebirdEnvironment();
    QVERIFY(scripts.isValid() && locks.isValid());
    // The upgrade: the second sample version, then a long script of the kind a kill hurts most (tables with
    // keys and indexes, rows, columns added to a table holding rows).
    upgradeRoot = scripts.path();
    QVERIFY(QDir().mkpath(upgradeRoot + "/schema"));
    const QString v2 = QFINDTESTDATA("data/upgrade/v2");
    for (const QString& name : SchemaUpgrade::Scripts(QStringLiteral("schema"), v2))
        QVERIFY(QFile::copy(v2 + '/' + name, upgradeRoot + '/' + name));
    QString text;
    for (int n = 1; n <= 25; ++n)
        text += QStringLiteral(
                    "CREATE TABLE LOTE_%1 (ID INTEGER NOT NULL PRIMARY KEY, "
                    "CLIENTE VARCHAR(6) REFERENCES CLIENTE_TESTE (CODIGO), NOME VARCHAR(40));\n"
                    "CREATE INDEX IX_LOTE_%1_NOME ON LOTE_%1 (NOME);\n"
                    "SET TERM ^ ;\n"
                    "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN\n"
                    "  WHILE (I < 200) DO BEGIN\n"
                    "    INSERT INTO LOTE_%1 (ID, CLIENTE, NOME) VALUES (:I, '000001', 'lote ' || :I);\n"
                    "    I = I + 1;\n"
                    "  END\n"
                    "END^\n"
                    "SET TERM ; ^\n"
                    "ALTER TABLE CLIENTE_TESTE ADD EXTRA_%1 INTEGER DEFAULT %1 NOT NULL;\n")
                    .arg(n);
    QFile generated(upgradeRoot + "/schema/0003_lotes.sql");
    QVERIFY(generated.open(QIODevice::WriteOnly));
    generated.write(text.toUtf8());
    generated.close();

    // References: what a start with no interruption makes, and how long it takes.
    const QString fresh = file(QStringLiteral("referencia"));
    QElapsedTimer timer;
    timer.start();
    Run run = station(fresh, QStringLiteral(":/db"), true);
    createMs = timer.elapsed();
    QVERIFY2(run.opened, qPrintable(run.errors));
    created = fingerprint(fresh);
    QVERIFY(created.contains(QStringLiteral("criação: S")));
    QVERIFY(created.contains(QStringLiteral("gravação forçada: 1")));
    QVERIFY(!created.filter(QStringLiteral("schema/0001_host.sql")).isEmpty());
    QVERIFY(!created.filter(QStringLiteral("demo/0001_demo.sql")).isEmpty());

    makeBase(fresh);
    timer.restart();
    run = station(fresh, upgradeRoot, false);
    upgradeMs = timer.elapsed();
    QVERIFY2(run.opened, qPrintable(run.errors));
    upgraded = fingerprint(fresh);
    QVERIFY(upgraded.contains(QStringLiteral("LOTE_25=200")));
    QVERIFY(upgraded.contains(QStringLiteral("CLIENTE_TESTE=2")));
    QVERIFY(upgraded.contains(QStringLiteral("gravação forçada: 1")));
    qInfo("a creation with demo data takes %lld ms, the sample upgrade %lld ms", createMs, upgradeMs);
}

void TstDbStartup::cleanup() {
    for (const QString& path : std::as_const(files))
        drop(path);
    files.clear();
}

void TstDbStartup::killedCreationsLeaveADatabaseThatOpensComplete() {
    const QString path = file(QStringLiteral("criacao"));
    int killed = 0;
    const int total = rounds(10, 3);
    for (int round = 0; round < total; ++round) {
        drop(path);
        const int delay = QRandomGenerator::global()->bounded(int(createMs) + 1);
        const Run interrupted = station(path, QStringLiteral(":/db"), true, delay);
        killed += interrupted.killed;
        // The next start finishes the work (or starts it over), whatever the kill left behind.
        const Run next = station(path, QStringLiteral(":/db"), true);
        QVERIFY2(next.opened,
                 qPrintable(QStringLiteral("killed after %1 ms: %2").arg(delay).arg(next.errors)));
        QCOMPARE(fingerprint(path), created);
        QVERIFY(!QFile::exists(path + ".criando"));
    }
    qInfo("%d of %d creations killed half-way", killed, total);
    QVERIFY(killed > 0);
}

void TstDbStartup::killedUpgradesLeaveADatabaseThatOpensComplete() {
    const QString path = file(QStringLiteral("atualizacao"));
    int killed = 0, unrecoverable = 0;
    const int total = rounds(10, 3);
    for (int round = 0; round < total; ++round) {
        makeBase(path);
        const int delay = QRandomGenerator::global()->bounded(int(upgradeMs) + 1);
        const Run interrupted = station(path, upgradeRoot, false, delay);
        killed += interrupted.killed;
        const Run next = station(path, upgradeRoot, false);
        if (!next.opened && TestDatabase::ServerMode()) {
            // Nothing can be copied on a server: a kill the server itself cannot undo (a table's creation
            // cut off while committing) is reported as such, pointing to the server's backup.
            QVERIFY2(next.errors.contains(QStringLiteral("não pôde ser retomada")) &&
                         next.errors.contains(QStringLiteral("administrador do servidor")),
                     qPrintable(next.errors));
            ++unrecoverable;
            continue;
        }
        QVERIFY2(next.opened,
                 qPrintable(QStringLiteral("killed after %1 ms: %2").arg(delay).arg(next.errors)));
        QCOMPARE(fingerprint(path), upgraded);
        QVERIFY(!QFile::exists(path + ".atualizando"));
    }
    qInfo("%d of %d upgrades killed half-way, %d left for the server's backup", killed, total, unrecoverable);
    QVERIFY(killed > 0);
}

void TstDbStartup::workstationsStartingTogetherWaitForTheOneCreating() {
    const QString path = file(QStringLiteral("juntas"));
    QList<QProcess*> starting;
    const QString together = locks.filePath(QStringLiteral("juntas"));
    QVERIFY(QDir().mkpath(together));
    for (int i = 0; i < 4; ++i)
        starting << start(path, QStringLiteral(":/db"), true, -1, together);
    for (QProcess* process : starting) {
        const Run run = finish(process);
        QVERIFY2(run.opened, qPrintable(run.errors));
        QVERIFY2(run.errors.isEmpty(), qPrintable(run.errors));
    }
    QCOMPARE(fingerprint(path), created);
}

void TstDbStartup::aStartThatCannotHaveItsTurnSaysSo() {
    const QString path = file(QStringLiteral("vez"));
    makeBase(path);
    // Another workstation busy creating or upgrading: on an embedded file it holds the turn, on a server
    // the upgrade lock.
    int turn = -1;
    std::unique_ptr<TZoDatabase> holder;
    if (TestDatabase::ServerMode()) {
        holder = std::make_unique<TZoDatabase>(QStringLiteral("kelm-test-vez"));
        holder->Open(configFor(path));
        QSqlQuery q(holder->Connection());
        holder->Exec(q, QStringLiteral("UPDATE SCHEMA_TRAVA SET ID = ID"), true);
    } else {
        turn = ::open(QFile::encodeName(path + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        QVERIFY(turn >= 0);
        QCOMPARE(::flock(turn, LOCK_EX), 0);
    }
    QElapsedTimer timer;
    timer.start();
    const Run run = finish(start(path, upgradeRoot, false, 1500));
    QVERIFY(!run.opened);
    QVERIFY2(run.errors.contains(QStringLiteral("está sendo criado ou atualizado por outra estação")),
             qPrintable(run.errors));
    QVERIFY(timer.elapsed() < 30000);
    if (turn >= 0)
        ::close(turn);
    holder.reset();
    // Once the other lets go, the same start goes through.
    const Run again = finish(start(path, upgradeRoot, false, 1500));
    QVERIFY2(again.opened, qPrintable(again.errors));
}

void TstDbStartup::serverCreationThatCannotGoOnStartsOver() {
    if (!TestDatabase::ServerMode())
        QSKIP("an embedded file is only ever seen complete");
    // A creation cut off where its next statement cannot be redone (here: its table is already there).
    const QString path = file(QStringLiteral("recomeco"));
    const DatabaseConfig config = configFor(path);
    QCOMPARE(CreateDatabase(config), QString());
    {
        TZoDatabase db(QStringLiteral("kelm-test-recomeco"));
        db.Open(config);
        SchemaUpgrade::BeginCreation(db, true);
        QSqlQuery q(db.Connection());
        db.Exec(q, QStringLiteral("CREATE TABLE CIDADE (SOBRA INTEGER)"), true);
        db.Transaction()->CommitRetaining();
        db.Close();
    }
    const Run run = station(path, QStringLiteral(":/db"), true);
    QVERIFY2(run.opened, qPrintable(run.errors));
    QCOMPARE(fingerprint(path), created);
}

void TstDbStartup::failedUpgradeLeavesTheEmbeddedFileAsItWas() {
    if (TestDatabase::ServerMode())
        QSKIP("on a server a failed script resumes from its last statement (tst_database)");
    const QString path = file(QStringLiteral("falha"));
    makeBase(path);
    const QStringList before = fingerprint(path);
    TZoDatabase db(QStringLiteral("kelm-test-falha"));
    try {
        OpenHostDatabase(
            db, configFor(path), false, [] { return true; }, QFINDTESTDATA("data/upgrade/broken"));
        QFAIL("the broken script was applied");
    } catch (const EDatabaseError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("O banco de dados não foi alterado.")), e.what());
    }
    QVERIFY(!db.Connected());
    QCOMPARE(fingerprint(path), before);
    QVERIFY(!QFile::exists(path + ".atualizando"));
    OpenHostDatabase(
        db, configFor(path), false, [] { return true; }, QFINDTESTDATA("data/upgrade/fixed"));
    QSqlQuery q(db.Connection());
    db.Exec(q, QStringLiteral("SELECT LIST(ID) FROM (SELECT ID FROM UPA ORDER BY ID)"), false);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("1,2"));
}

void TstDbStartup::embeddedUpgradeWaitsForOtherProgramsToLetGo() {
    if (TestDatabase::ServerMode())
        QSKIP("the embedded engine only");
    const QString path = file(QStringLiteral("aberto"));
    makeBase(path);
    // An older version still running elsewhere: the upgrade is refused, and the file stays as it was.
    const QStringList before = fingerprint(path);
    auto other = std::make_unique<TZoDatabase>(QStringLiteral("kelm-test-outro"));
    other->Open(configFor(path));
    const int wait = SchemaUpgrade::WaitMs;
    SchemaUpgrade::WaitMs = 1000;
    TZoDatabase db(QStringLiteral("kelm-test-aberto"));
    try {
        OpenHostDatabase(
            db, configFor(path), false, [] { return true; }, upgradeRoot);
        QFAIL("upgraded while another program had the file open");
    } catch (const EDatabaseError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("está aberto em outro programa")), e.what());
    }
    SchemaUpgrade::WaitMs = wait;
    other.reset();
    QCOMPARE(fingerprint(path), before);
    OpenHostDatabase(
        db, configFor(path), false, [] { return true; }, upgradeRoot);
    db.Close();
    QCOMPARE(fingerprint(path), upgraded);
}

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], kStation) == 0)
        return runStation(argc, argv);
    QCoreApplication app(argc, argv);
    TstDbStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbstartup.moc"
