// Backups with the engine's tools: a copy restored holds the same rows and contents as the database copied; a
// copy whose check fails is reported failed and leaves nothing under a copy's name; an upgrade whose copy
// fails does not run; a restore never overwrites a file nor the database in use; old copies are pruned; the
// screen is the administrator's and writes its audit lines.
#include "Acesso.h"
#include "CopiaSeguranca.h"
#include "FmCopiaSeguranca.h"
#include "HostError.h"
#include "SchemaUpgrade.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <csignal>
#include <unistd.h>

namespace {
// Every row of the tables, in key order, as one digest: what a restored copy must hold alike.
QString Conteudo(TZoDatabase& db, const QStringList& tabelas) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& tabela : tabelas) {
        QSqlQuery q(db.Connection());
        db.Exec(q, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(tabela), false);
        while (q.next())
            for (int i = 0; i < q.record().count(); ++i)
                hash.addData(q.value(i).toString().toUtf8() + '|');
        hash.addData(QByteArrayLiteral(";"));
    }
    return QString::fromLatin1(hash.result().toHex());
}

// A database file the server can write too, in server mode.
DatabaseConfig NovoBanco(const char* nome) {
    const QString path = TestDatabase::Folder() + QStringLiteral("/copia-%1-%2.fdb").arg(nome).arg(getpid());
    QFile::remove(path);
    return TestDatabase::Config(path);
}

QStringList Nomes(const QString& pasta) {
    return QDir(pasta).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}
} // namespace

class TstCopiaSeguranca : public DatabaseTestCase {
    Q_OBJECT
    const QStringList tabelas = {"LOG", "ACESSO_USUARIOS", "SCHEMA_VERSAO"};

    void Registros(int n) {
        for (int i = 0; i < n; ++i)
            Sql(QStringLiteral(
                    "INSERT INTO LOG (ID, CHAVE, DATA, TITULO, TEXTO, TIPO) VALUES (NEXT VALUE FOR "
                    "GEN_LOG_ID, '%1', CURRENT_DATE, 'TESTE', 'linha %1 ção', 3)")
                    .arg(i));
        Commit();
    }

private slots:
    void cleanup() {
        CopiaSeguranca::AntesDeVerificar = nullptr;
        DatabaseTestCase::cleanup();
    }

    void copiaRestauradaConfere_data() {
        QTest::addColumn<int>("linhas");
        QTest::newRow("só o usuário") << 0;
        QTest::newRow("com registros no log") << 300;
    }
    void copiaRestauradaConfere() {
        QFETCH(int, linhas);
        SettingsFile ini(QStringLiteral("[Copia]\npasta=%1/copias\n"));
        Registros(linhas);
        CopiaSeguranca copia(config);
        QStringList etapas;
        copia.Progresso = [&](int, const QString& etapa) { etapas << etapa; };
        const ResultadoCopia feita = copia.Copia();
        QVERIFY2(feita.ok, qPrintable(feita.texto));
        QCOMPARE(Nomes(ini.Path("copias")), QStringList{QFileInfo(feita.arquivo).fileName()});
        QVERIFY(feita.bytes > 0 && feita.bytes == QFileInfo(feita.arquivo).size());
        QVERIFY(etapas.contains("Validando") && etapas.contains("Comparando os registros"));

        const DatabaseConfig destino = NovoBanco("restaurado");
        const ResultadoCopia restaurada = copia.Restaura(feita.arquivo, destino);
        QVERIFY2(restaurada.ok, qPrintable(restaurada.texto));
        QVERIFY(!QFileInfo::exists(destino.path + ".restaurando"));
        TZoDatabase outro(QStringLiteral("kelm-test-restaurado"));
        outro.Open(destino);
        QCOMPARE(ScalarOn(outro, "SELECT COUNT(*) FROM LOG").toInt(), linhas);
        QCOMPARE(Conteudo(outro, tabelas), Conteudo(*db, tabelas));
        outro.Close();
        QFile::remove(destino.path);
    }

    // The check spoils nothing of the database; a copy that fails it is gone, whatever failed.
    void copiaQueFalhaNaoFica_data() {
        QTest::addColumn<int>("estrago");
        QTest::newRow("bytes trocados") << 0;
        QTest::newRow("cortada ao meio") << 1;
        QTest::newRow("vazia") << 2;
    }
    void copiaQueFalhaNaoFica() {
        QFETCH(int, estrago);
        SettingsFile ini(QStringLiteral("[Copia]\npasta=%1/copias\n"));
        Registros(50);
        CopiaSeguranca::AntesDeVerificar = [estrago](const QString& arquivo) {
            QFile f(arquivo);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const qint64 tamanho = f.size();
            if (estrago == 0) {
                f.seek(300);
                f.write(QByteArray(64, 'X'));
            } else {
                f.resize(estrago == 1 ? tamanho / 2 : 0);
            }
        };
        const ResultadoCopia feita = CopiaSeguranca(config).Copia();
        QVERIFY(!feita.ok);
        QVERIFY2(feita.texto.contains("falhou"), qPrintable(feita.texto));
        QCOMPARE(Nomes(ini.Path("copias")), QStringList());
        QCOMPARE(Count("LOG"), 50);
    }

    // The scheduler's copy killed half-way leaves nothing under a copy's name; the next copy is whole and
    // sweeps away what the killed one left. The copy is frozen before it is looked at, so what is killed is
    // what was seen: on a busy machine a copy can finish between a look and a kill, and is then taken again.
    void copiaInterrompidaNaoFica() {
        SettingsFile ini(QStringLiteral("[Copia]\npasta=%1/copias\n"));
        Registros(3000);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KELM_DB_USER", config.user);
        env.insert("KELM_DB_PASSWORD", config.password);
        bool pegaNoMeio = false;
        for (int tentativa = 0; tentativa < 5 && !pegaNoMeio; ++tentativa) {
            QDir(ini.Path("copias")).removeRecursively();
            QProcess kelm;
            kelm.setProcessEnvironment(env);
            kelm.start(QCoreApplication::applicationDirPath() + "/kelm",
                       {"backup", "--database", config.target()});
            QVERIFY(kelm.waitForStarted());
            QDeadlineTimer prazo(20000);
            while (!prazo.hasExpired() && !Nomes(ini.Path("copias")).join(' ').contains(".parcial"))
                QTest::qWait(5);
            ::kill(pid_t(kelm.processId()), SIGSTOP);
            const QStringList vistos = Nomes(ini.Path("copias"));
            pegaNoMeio = !vistos.filter(".parcial").isEmpty() &&
                         vistos.filter(QRegularExpression("\\.fbk$")).isEmpty();
            ::kill(pid_t(kelm.processId()), SIGKILL);
            QVERIFY(kelm.waitForFinished(10000));
        }
        QVERIFY2(pegaNoMeio, "every copy ended before it could be killed");
        QTest::qWait(500); // the tools it started die with it
        QCOMPARE(Nomes(ini.Path("copias")).filter(QRegularExpression("\\.fbk$")), QStringList());
        QVERIFY(CopiaSeguranca(config).Copias().isEmpty());
        const ResultadoCopia feita = CopiaSeguranca(config).Copia();
        QVERIFY2(feita.ok, qPrintable(feita.texto));
        QCOMPARE(Nomes(ini.Path("copias")), QStringList{QFileInfo(feita.arquivo).fileName()});
    }

    // A copy running in the folder keeps its half-done files: a second one is refused, not swept over them.
    void umaCopiaPorVez() {
        SettingsFile ini(QStringLiteral("[Copia]\npasta=%1/copias\n"));
        QVERIFY(QDir().mkpath(ini.Path("copias")));
        QLockFile outra(ini.Path("copias") + "/.copia.lock");
        QVERIFY(outra.tryLock(0));
        QFile parcial(ini.Path("copias") + "/kelm-20261209-050000.fbk.parcial");
        QVERIFY(parcial.open(QIODevice::WriteOnly));
        parcial.close();
        const ResultadoCopia feita = CopiaSeguranca(config).Copia();
        QVERIFY2(!feita.ok && feita.texto.contains("em andamento"), qPrintable(feita.texto));
        QVERIFY(parcial.exists());
    }

    // The copy before an upgrade: a failed one stops the upgrade, a database just created needs none.
    void atualizacaoSoComCopia_data() {
        QTest::addColumn<QString>("pasta");
        QTest::addColumn<bool>("existente");
        QTest::addColumn<bool>("atualizada");
        QTest::addColumn<int>("copias");
        QTest::newRow("cópia feita") << "%1/copias" << true << true << 1;
        QTest::newRow("cópia impossível") << "%1/kelm.ini/copias" << true << false << 0;
        QTest::newRow("banco novo") << "%1/copias" << false << true << 0;
    }
    void atualizacaoSoComCopia() {
        QFETCH(QString, pasta);
        QFETCH(bool, existente);
        QFETCH(bool, atualizada);
        QFETCH(int, copias);
        SettingsFile ini(QStringLiteral("[Copia]\npasta=") + pasta + '\n');
        const DatabaseConfig alvo = NovoBanco("atualiza");
        TZoDatabase banco(QStringLiteral("kelm-test-atualiza"));
        const auto abre = [&](const char* versao) {
            OpenHostDatabase(
                banco, alvo, false, [] { return true; }, QFINDTESTDATA(versao));
        };
        if (existente) {
            abre("data/upgrade/v1");
            SqlOn(banco,
                  QStringLiteral("INSERT INTO CLIENTE_TESTE (CODIGO, NOME) VALUES ('000001', 'Malharia')"));
            banco.Transaction()->CommitRetaining();
            banco.Close();
        }
        QString erro;
        try {
            abre("data/upgrade/v2");
        } catch (const EDatabaseError& e) {
            erro = e.message();
        }
        QCOMPARE(erro.isEmpty(), atualizada);
        if (!atualizada) {
            QVERIFY2(erro.contains("A atualização não foi feita"), qPrintable(erro));
            banco.Open(alvo);
        }
        QCOMPARE(SchemaUpgrade::Applied(banco).contains("schema/0002_cidade.sql"), atualizada);
        if (existente)
            QCOMPARE(ScalarOn(banco, "SELECT NOME FROM CLIENTE_TESTE").toString(),
                     QStringLiteral("Malharia"));
        banco.Close();
        QCOMPARE(CopiaSeguranca(alvo).Copias().size(), copias);
        for (const char* sobra : {"", ".lock"})
            QFile::remove(alvo.path + QLatin1String(sobra));
    }

    void restauracaoSoEmArquivoNovo_data() {
        QTest::addColumn<bool>("emUso");
        QTest::newRow("arquivo que existe") << false;
        QTest::newRow("o banco em uso") << true;
    }
    void restauracaoSoEmArquivoNovo() {
        QFETCH(bool, emUso);
        SettingsFile ini(QStringLiteral("[Copia]\npasta=%1/copias\n"));
        CopiaSeguranca copia(config);
        const ResultadoCopia feita = copia.Copia();
        QVERIFY2(feita.ok, qPrintable(feita.texto));
        Registros(5);
        const DatabaseConfig existente = NovoBanco("existente");
        QFile outro(existente.path);
        QVERIFY(outro.open(QIODevice::WriteOnly) && outro.write("de outro") > 0);
        outro.close();
        const ResultadoCopia restaurada = copia.Restaura(feita.arquivo, emUso ? config : existente);
        QVERIFY(!restaurada.ok);
        QVERIFY2(restaurada.texto.contains(emUso ? "em uso" : "já existe"), qPrintable(restaurada.texto));
        QCOMPARE(Count("LOG"), 5);
        QCOMPARE(QFileInfo(existente.path).size(), qint64(8));
        QFile::remove(existente.path);
    }

    void copiasAntigasPodadas_data() {
        QTest::addColumn<int>("mantidas");
        QTest::addColumn<int>("feitas");
        QTest::newRow("uma de duas") << 1 << 2;
        QTest::newRow("duas de três") << 2 << 3;
    }
    void copiasAntigasPodadas() {
        QFETCH(int, mantidas);
        QFETCH(int, feitas);
        SettingsFile ini(QStringLiteral("[Copia]\npasta=%1/copias\nmantidas=") + QString::number(mantidas) +
                         '\n');
        QDir().mkpath(ini.Path("copias"));
        QFile alheia(ini.Path("copias/outro-20260101-000000.fbk")); // another database's
        QVERIFY(alheia.open(QIODevice::WriteOnly));
        alheia.close();
        CopiaSeguranca copia(config);
        QStringList nomes;
        for (int i = 0; i < feitas; ++i) {
            const ResultadoCopia feita = copia.Copia();
            QVERIFY2(feita.ok, qPrintable(feita.texto));
            nomes.prepend(QFileInfo(feita.arquivo).fileName());
        }
        QStringList ficaram;
        for (const QFileInfo& f : copia.Copias())
            ficaram << f.fileName();
        QCOMPARE(ficaram, nomes.mid(0, mantidas));
        QVERIFY(alheia.exists());
    }

    // The screen: a copy by an administrator leaves its audit line; anyone else is refused.
    void telaDoAdministrador_data() {
        QTest::addColumn<bool>("administrador");
        QTest::newRow("administrador") << true;
        QTest::newRow("outro usuário") << false;
    }
    void telaDoAdministrador() {
        QFETCH(bool, administrador);
        SettingsFile ini(QStringLiteral("[Copia]\npasta=%1/copias\n"));
        if (!administrador) {
            AddUser("002", "JOAO", "x", "NNS");
            Grant("002", "*");
            QVERIFY(!PodeAbrir("002", "TFmCopiaSeguranca")); // every screen but this one
            context->Session().usuario = QStringLiteral("JOAO");
            context->Session().usuarioCodigo = QStringLiteral("002");
        }
        RegistraTelaCopia();
        driver->Open(QStringLiteral("TFmCopiaSeguranca"));
        driver->Click(QStringLiteral("BtnCopiar"));
        QCOMPARE(CopiaSeguranca(config).Copias().size(), administrador ? 1 : 0);
        QCOMPARE(LogLines(QStringLiteral("CÓPIA DE SEGURANÇA")).size(), administrador ? 1 : 0);
        if (administrador)
            QVERIFY(driver->Text(QStringLiteral("LblResultado")).contains("feita e verificada"));
        else
            QVERIFY2(Errors().contains("administrador"), qPrintable(Errors()));
    }
};

QTEST_MAIN(TstCopiaSeguranca)
#include "tst_copiaseguranca.moc"
