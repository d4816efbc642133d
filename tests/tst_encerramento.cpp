// Ctrl+C and SIGTERM end the application promptly and cleanly, whatever dialog is open.
#include "TestDatabase.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <csignal>

class TstEncerramento : public DatabaseTestCase {
    Q_OBJECT
    // Starts the application on the test's database and gives it time to show its first window.
    void Inicia(QProcess& app, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KELM_PASSWORD", "kelm");
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QCoreApplication::applicationDirPath() + "/kelm",
                  QStringList{"--database", config.target()} + arguments);
        QVERIFY(app.waitForStarted());
        QVERIFY(!app.waitForFinished(4000)); // still running: the window or dialog is up
    }
    void Encerra(QProcess& app, int signal) {
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(app.processId()), signal);
        QVERIFY2(app.waitForFinished(6000), "the application did not end");
        QVERIFY(timer.elapsed() < 6000);
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 128 + signal);
    }

private slots:
    void sigtermWithTheLogInDialogOpen() {
        QProcess app;
        Inicia(app, {});
        Encerra(app, SIGTERM);
    }
    void ctrlCWithAScreenOpen() {
        QProcess app;
        Inicia(app, {"--user", "ADMIN", "--open", "TFmHostRegiao"});
        Encerra(app, SIGINT);
        // The database is left usable by everyone else.
        Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'DEPOIS')");
        db->Transaction()->CommitRetaining();
        QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 1);
    }
};

QTEST_MAIN(TstEncerramento)
#include "tst_encerramento.moc"
