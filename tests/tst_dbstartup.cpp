// Starting on a database from processes of their own (this program run with --estacao): several at once on
// a missing database, and starts killed (SIGKILL) at random points while creating or upgrading it.
#include "FirebirdEngine.h"
#include "HostError.h"
#include "SchemaUpgrade.h"
#include "TZoDatabase.h"
#include "TestDatabase.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <unistd.h>

namespace {
const char* const kStation = "--estacao";

// One workstation's start: --estacao PATH ROOT DEMO. Prints "aberto", or the error and exits 1.
int runStation(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // What the start tells along the way (the copy taken before an upgrade) is not an error.
    qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
        if (tipo != QtInfoMsg && tipo != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(texto));
    });
    TZoDatabase db(QStringLiteral("kelm-estacao"));
    try {
        OpenHostDatabase(
            db, TestDatabase::Config(app.arguments()[2]), app.arguments()[4] == "1", [] { return true; },
            app.arguments()[3]);
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return std::printf("aberto\n") < 0;
}
} // namespace

class TstDbStartup : public QObject {
    Q_OBJECT
    QTemporaryDir locks; // engine lock folders, and the upgrade's scripts
    int lockFolders = 0;
    QString upgradeRoot;
    QStringList created; // what a creation with no interruption makes

    QString file(const char* name) {
        return TestDatabase::Folder() + QStringLiteral("/inicio-%1-%2.fdb").arg(getpid()).arg(name);
    }
    void drop(const QString& path) {
        for (const char* suffix : {"", ".lock", ".criando", ".atualizando"})
            QFile::remove(path + QLatin1String(suffix));
    }
    // The embedded engine's lock folder keeps process-shared mutexes a killed process never gives back: each
    // station gets a folder of its own unless given one (stations running together share one).
    QProcess* start(const QString& path, const QString& root, bool demo, QString folder = {}) {
        if (folder.isEmpty())
            folder = locks.filePath(QString::number(++lockFolders));
        QDir().mkpath(folder);
        auto* process = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FIREBIRD_LOCK"), folder);
        process->setProcessEnvironment(environment);
        process->start(QCoreApplication::applicationFilePath(),
                       {QString::fromLatin1(kStation), path, root, demo ? "1" : "0"});
        return process;
    }
    // What the station told ("not opened" added when it did not open the database), or "killed".
    QString finish(QProcess* process, int killAfterMs = -1) {
        const bool killed = killAfterMs >= 0 && !process->waitForFinished(killAfterMs);
        if (killed)
            process->kill(); // SIGKILL: no cleanup of any kind
        process->waitForFinished(180000);
        QString result = killed ? "killed" : QString::fromUtf8(process->readAllStandardError());
        if (!killed && !process->readAllStandardOutput().contains("aberto"))
            result += "not opened";
        process->deleteLater();
        return result;
    }
    QString station(const QString& path, const QString& root, bool demo, int killAfterMs = -1) {
        return finish(start(path, root, demo), killAfterMs);
    }
    // A complete database: scripts applied, forced writes back on, one table's rows, the engine's validation.
    QStringList fingerprint(const QString& path, const QString& table) {
        QStringList print;
        {
            TZoDatabase db(QStringLiteral("kelm-test-conferencia"));
            db.Open(TestDatabase::Config(path));
            print << SchemaUpgrade::Applied(db).join(',')
                  << "gravação forçada: " +
                         ScalarOn(db, "SELECT MON$FORCED_WRITES FROM MON$DATABASE").toString()
                  << table + '=' + ScalarOn(db, "SELECT COUNT(*) FROM " + table).toString();
        }
        const DatabaseConfig config = TestDatabase::Config(path);
        QProcess tool;
        tool.start(QStandardPaths::findExecutable("gfix"), {"-v", "-full", "-n", "-user", config.user,
                                                            "-password", config.password, config.target()});
        tool.waitForFinished(60000);
        const QString output =
            QString::fromLocal8Bit(tool.readAllStandardOutput() + tool.readAllStandardError());
        // A kill leaves orphan pages and back versions behind: warnings, not damage. Errors count.
        const QStringList linhas = output.split('\n', Qt::SkipEmptyParts);
        const bool soAvisos = std::all_of(linhas.begin(), linhas.end(), [](const QString& linha) {
            return linha.contains("Summary of validation errors") || linha.contains("warnings");
        });
        if (tool.exitCode() != 0 || !soAvisos)
            print << "validação: " + output.trimmed();
        return print;
    }
    // A database at the first sample version, with a row of its own.
    void makeBase(const QString& path) {
        drop(path);
        TZoDatabase db(QStringLiteral("kelm-test-base"));
        OpenHostDatabase(
            db, TestDatabase::Config(path), false, [] { return true; }, QFINDTESTDATA("data/upgrade/v1"));
        SqlOn(db, QStringLiteral("INSERT INTO CLIENTE_TESTE (CODIGO, NOME) VALUES ('000001', 'Malharia')"));
        db.Transaction()->CommitRetaining();
    }

private slots:
    void initTestCase() {
        PrepareFirebirdEnvironment();
        // The upgrade: the second sample version, then a long script of the kind a kill hurts most.
        upgradeRoot = locks.filePath("scripts");
        QVERIFY(QDir().mkpath(upgradeRoot + "/schema"));
        const QString v2 = QFINDTESTDATA("data/upgrade/v2");
        for (const QString& name : SchemaUpgrade::Scripts(QStringLiteral("schema"), v2))
            QVERIFY(QFile::copy(v2 + '/' + name, upgradeRoot + '/' + name));
        QString text;
        for (int n = 1; n <= 25; ++n)
            text += QStringLiteral(
                        "CREATE TABLE LOTE_%1 (ID INTEGER NOT NULL PRIMARY KEY, CLIENTE VARCHAR(6) "
                        "REFERENCES CLIENTE_TESTE (CODIGO), NOME VARCHAR(40));\n"
                        "CREATE INDEX IX_LOTE_%1_NOME ON LOTE_%1 (NOME);\nSET TERM ^ ;\n"
                        "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 200) DO BEGIN INSERT "
                        "INTO LOTE_%1 (ID, CLIENTE, NOME) VALUES (:I, '000001', 'lote ' || :I); "
                        "I = I + 1; END END^\nSET TERM ; ^\n"
                        "ALTER TABLE CLIENTE_TESTE ADD EXTRA_%1 INTEGER DEFAULT %1 NOT NULL;\n")
                        .arg(n);
        QFile generated(upgradeRoot + "/schema/0003_lotes.sql");
        QVERIFY(generated.open(QIODevice::WriteOnly) && generated.write(text.toUtf8()) > 0);
    }

    // Starts killed at random points while creating or upgrading: the next start completes the work.
    void killedStartsLeaveADatabaseThatOpensComplete() {
        for (const bool upgrade : {false, true}) {
            const QString path = file(upgrade ? "atualizacao" : "criacao");
            const QString root = upgrade ? upgradeRoot : QStringLiteral(":/db");
            const QString table = upgrade ? "LOTE_25" : "ACESSO_USUARIOS";
            // The reference: what a start with no interruption makes, and how long it takes.
            upgrade ? makeBase(path) : drop(path);
            const qint64 began = QDateTime::currentMSecsSinceEpoch();
            const QString inteira = station(path, root, !upgrade);
            QVERIFY2(inteira.isEmpty(), qPrintable(inteira));
            const int ms = int(QDateTime::currentMSecsSinceEpoch() - began);
            const QStringList reference = fingerprint(path, table);
            QVERIFY(reference.contains("gravação forçada: 1") && !reference.contains(table + "=0"));
            if (!upgrade)
                created = reference;
            int killed = 0;
            // Starts run faster than the reference at times (a loaded machine, a warm cache): rounds go on,
            // killed early in the start, until one was killed.
            const int rounds = TestDatabase::ServerMode() ? 3 : 5;
            for (int round = 0; round < rounds || (killed == 0 && round < 3 * rounds); ++round) {
                upgrade ? makeBase(path) : drop(path);
                const int delay = QRandomGenerator::global()->bounded((round < rounds ? ms : ms / 4) + 1);
                killed += station(path, root, !upgrade, delay) == "killed";
                const QString next = station(path, root, !upgrade);
                if (next.contains("not opened") && upgrade &&
                    TestDatabase::ServerMode()) { // one the server cannot undo
                    QVERIFY2(next.contains("não pôde ser retomada"), qPrintable(next));
                    continue;
                }
                QVERIFY2(!next.contains("not opened"),
                         qPrintable(QString("killed after %1 ms: %2").arg(delay).arg(next)));
                QCOMPARE(fingerprint(path, table), reference);
            }
            QVERIFY(killed > 0);
        }
    }

    void workstationsStartingTogetherWaitForTheOneCreating() {
        const QString path = file("juntas");
        drop(path);
        QList<QProcess*> starting;
        for (int i = 0; i < 4; ++i)
            starting << start(path, QStringLiteral(":/db"), true, locks.filePath("juntas"));
        for (QProcess* process : starting) {
            const QString run = finish(process);
            QVERIFY2(run.isEmpty(), qPrintable(run));
        }
        QCOMPARE(fingerprint(path, QStringLiteral("ACESSO_USUARIOS")), created);
    }

    void cleanupTestCase() {
        for (const char* name : {"criacao", "atualizacao", "juntas"})
            drop(file(name));
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], kStation) == 0)
        return runStation(argc, argv);
    QCoreApplication app(argc, argv);
    TstDbStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbstartup.moc"
