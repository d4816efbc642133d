// The database layer: schema upgrade, units of work, lock waits, a read-only database.
#include "DataAccess.h"
#include "FirebirdEngine.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "InstrucoesEmLote.h"
#include "SchemaUpgrade.h"
#include "TTabela.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

class TstDatabase : public DatabaseTestCase {
    Q_OBJECT
private slots:
    void upgradeKeepsRowsAndNeverReappliesScripts();
    void interruptedScriptResumesAfterItsLastStatement();
    void unitOfWorkCommitsAndRollsBackRetaining();
    void lockWaitIsBoundedAndRollsBack();
    void operationWritesAgainstWhatItRead();
    void writesStartFromOtherUsersLatestWork();
    void failedCommitLeavesNoTransactionBehind();
    void idleUnitsEndAndQuickWritesAreNeverCancelled();
    void readOnlyDatabaseOpensWithoutWritingAndRefusesWrites();
    void batchSendsFewBlocksAndKeepsEveryValue();
};

void TstDatabase::upgradeKeepsRowsAndNeverReappliesScripts() {
    const QString v1 = QFINDTESTDATA("data/upgrade/v1"), v2 = QFINDTESTDATA("data/upgrade/v2");
    QCOMPARE(SchemaUpgrade::Apply(*db, false, v1), QStringList{"schema/0001_base.sql"});
    Sql("INSERT INTO CLIENTE_TESTE (CODIGO, NOME) VALUES ('000001', 'Malharia D''Ávila')");
    db->Transaction()->CommitRetaining();
    QVERIFY(SchemaUpgrade::Apply(*db, false, v1).isEmpty()); // its CREATE TABLE would fail twice
    QCOMPARE(SchemaUpgrade::Apply(*db, false, v2), QStringList{"schema/0002_cidade.sql"});
    Sql("INSERT INTO PEDIDO_TESTE (NUMERO, CLIENTE) VALUES (1, '000001')");
    db->Transaction()->CommitRetaining();
    db->Close();
    // Reopening through the normal path upgrades, never re-creates nor adds demo rows.
    OpenHostDatabase(*db, config, true, [] { return true; });
    QCOMPARE(Scalar("SELECT COUNT(*) FROM PEDIDO_TESTE").toInt(), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM ACESSO_USUARIOS").toInt(), 1);
}

void TstDatabase::interruptedScriptResumesAfterItsLastStatement() {
    QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                             SchemaUpgrade::Apply(*db, false, QFINDTESTDATA("data/upgrade/broken")));
    QVERIFY(!SchemaUpgrade::Applied(*db).contains("schema/0001_upa.sql"));
    // The corrected script does not fail on the table its first run already made.
    QCOMPARE(SchemaUpgrade::Apply(*db, false, QFINDTESTDATA("data/upgrade/fixed")),
             QStringList{"schema/0001_upa.sql"});
    QCOMPARE(Scalar("SELECT LIST(ID) FROM (SELECT ID FROM UPA ORDER BY ID)").toString(),
             QStringLiteral("1,2"));
}

void TstDatabase::unitOfWorkCommitsAndRollsBackRetaining() {
    TTabela::Registra("tbRegiaoTeste", "REGIAO", "REGIAO");
    TabelaAberta regions = TTabela::AbreTabela("tbRegiaoTeste");
    regions->Append();
    regions->FieldByName("REGIAO") = QStringLiteral("01");
    regions->FieldByName("DESCRICAO") = QStringLiteral("Norte");
    QVERIFY(regions->Post());
    db->Transaction()->CommitRetaining();
    // After the commit the same data set goes on.
    regions->First();
    regions->Edit();
    regions->FieldByName("DESCRICAO") = QStringLiteral("Vale do Itajaí 'Norte'");
    QVERIFY(regions->Post());
    db->Transaction()->CommitRetaining();
    auto other = OpenSecond("kelm-test-other");
    QCOMPARE(ScalarOn(*other, "SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '01'").toString(),
             QStringLiteral("Vale do Itajaí 'Norte'"));
    // Reads see another user's commits without a commit of ours in between.
    SqlOn(*other, "INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('03', 'Litoral')");
    other->Transaction()->CommitRetaining();
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 2);
    // A rollback undoes this unit of work only, audit row included; the connection goes on.
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'Sul')");
    GeraLog("CADASTRO DE REGIAO", "INCLUSAO DA REGIAO 02", opInclusao, "02");
    db->Transaction()->RollbackRetaining();
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 2);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 0);
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('04', 'Leste')");
    db->Transaction()->CommitRetaining();
    QCOMPARE(ScalarOn(*other, "SELECT COUNT(*) FROM REGIAO").toInt(), 3);
}

void TstDatabase::lockWaitIsBoundedAndRollsBack() {
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'Norte')");
    db->Transaction()->CommitRetaining();
    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "UPDATE REGIAO SET DESCRICAO = 'Outro usuário' WHERE REGIAO = '01'"); // not committed
    db->LockTimeoutMs = 1500;
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'Sul')"); // same unit of work
    QElapsedTimer timer;
    timer.start();
    QString failure;
    try {
        Sql("UPDATE REGIAO SET DESCRICAO = 'Eu' WHERE REGIAO = '01'");
    } catch (const EDatabaseError& e) {
        failure = e.message();
    }
    QVERIFY2(failure.contains(QStringLiteral("outro usuário")), qPrintable(failure));
    QVERIFY2(timer.elapsed() < 10000, "the wait must be bounded");
    other->Transaction()->Rollback();
    // The whole unit of work was rolled back, and the connection works again.
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 1);
    Sql("UPDATE REGIAO SET DESCRICAO = 'Eu' WHERE REGIAO = '01'");
    db->Transaction()->CommitRetaining();
}

// An operation's check and its write are one unit on its connection (a second one here, as generation
// uses): a row another user changed after the check was read is not overwritten, nothing is written, and
// the user is told to reload. The same read outside a unit sees the other user's work at once.
void TstDatabase::operationWritesAgainstWhatItRead() {
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'Norte')");
    db->Transaction()->CommitRetaining();
    auto mine = OpenSecond("kelm-test-mine");
    auto other = OpenSecond("kelm-test-other");
    QString failure;
    try {
        GravacaoAtomica unidade(*mine);
        QCOMPARE(ScalarOn(*mine, "SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '01'").toString(), "Norte");
        SqlOn(*other, "UPDATE REGIAO SET DESCRICAO = 'Outro usuário' WHERE REGIAO = '01'");
        other->Transaction()->CommitRetaining();
        QCOMPARE(ScalarOn(*mine, "SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '01'").toString(), "Norte");
        SqlOn(*mine, "INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'Sul')");
        SqlOn(*mine, "UPDATE REGIAO SET DESCRICAO = 'Norte conferido' WHERE REGIAO = '01'");
        unidade.Confirma();
    } catch (const EDatabaseError& e) {
        failure = e.message();
    }
    QCOMPARE(failure,
             QStringLiteral("O registro foi alterado por outro usuário. Recarregue e tente de novo."));
    QCOMPARE(RowsSeenByOthers("SELECT REGIAO, DESCRICAO FROM REGIAO ORDER BY REGIAO"),
             QStringList{"01|Outro usuário"});
    QCOMPARE(mine->PinnedUnits(), 0);
    QCOMPARE(ScalarOn(*mine, "SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '01'").toString(), "Outro usuário");
}

void TstDatabase::writesStartFromOtherUsersLatestWork() {
    TTabela::Registra("tbBanhoTeste", "BANHO", "CODIGO");
    Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('01', 'CURTO', 6)");
    db->Transaction()->CommitRetaining();
    TabelaAberta baths = TTabela::AbreTabela("tbBanhoTeste");
    QCOMPARE(Scalar("SELECT COUNT(*) FROM BANHO").toInt(), 1); // our last read, before the other user
    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('02', 'LONGO', 10)");
    SqlOn(*other, "UPDATE BANHO SET PROPORCAO = 9 WHERE CODIGO = '01'");
    other->Transaction()->CommitRetaining();

    // A description-only edit writes the description only: the other user's ratio stays.
    baths->Edit();
    baths->FieldByName("DESCRICAO") = QStringLiteral("CURTO JET");
    QVERIFY(baths->Post());
    // The first write of a unit of work starts from the latest committed state, not from an old read.
    Sql("DELETE FROM BANHO WHERE CODIGO = '02'");
    db->Transaction()->CommitRetaining();
    QCOMPARE(
        ScalarOn(*other, "SELECT LIST(DESCRICAO || ' ' || CAST(PROPORCAO AS INTEGER)) FROM BANHO").toString(),
        QStringLiteral("CURTO JET 9"));
    // Rows undone with their unit of work leave the open data sets too.
    baths->Append();
    baths->FieldByName("CODIGO") = QStringLiteral("03");
    QVERIFY(baths->Post());
    QCOMPARE(baths->RecordCount(), 2);
    db->Transaction()->RollbackRetaining();
    QCOMPARE(baths->RecordCount(), 1);
}

void TstDatabase::failedCommitLeavesNoTransactionBehind() {
    Sql("CREATE EXCEPTION E_FECHAMENTO 'periodo fechado'");
    db->Transaction()->CommitRetaining();
    Sql("CREATE TRIGGER T_FECHAMENTO ON TRANSACTION COMMIT AS BEGIN "
        "IF (EXISTS (SELECT 1 FROM REGIAO WHERE REGIAO = 'XX')) THEN EXCEPTION E_FECHAMENTO; END");
    db->Transaction()->CommitRetaining();
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('XX', 'recusada')");
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, db->Transaction()->CommitRetaining());
    QVERIFY(!db->Transaction()->InTransaction());
    // Nothing of it stays on the server: no row, no lock another user would wait on.
    auto other = OpenSecond("kelm-test-other");
    other->LockTimeoutMs = 1500;
    SqlOn(*other, "INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('XX', 'livre')");
    SqlOn(*other, "DELETE FROM REGIAO WHERE REGIAO = 'XX'");
    other->Transaction()->CommitRetaining();
}

void TstDatabase::idleUnitsEndAndQuickWritesAreNeverCancelled() {
    db->Transaction()->SetIdleInterval(100);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 0);
    QVERIFY(db->Transaction()->InTransaction());
    // Nothing pending: the server transaction ends by itself, so it holds back no garbage collection.
    QTRY_VERIFY_WITH_TIMEOUT(!db->Transaction()->InTransaction(), 3000);
    // Pending writes keep their unit of work open, however long the user takes.
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'Norte')");
    QTest::qWait(400);
    QVERIFY(db->Transaction()->InTransaction());
    db->Transaction()->CommitRetaining();
    // The time limit applies to each write on its own: many quick ones in a row are never cancelled.
    db->LockTimeoutMs = 300;
    TZoQuery insert;
    insert.SQL << "INSERT INTO LOG (ID, CHAVE, TIPO) VALUES (:ID, 'X', 3)";
    QElapsedTimer timer;
    timer.start();
    int written = 0;
    while (timer.elapsed() < 1500) {
        insert.BindValue("ID", ++written);
        insert.ExecSQL();
    }
    db->Transaction()->CommitRetaining();
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), written);
}

void TstDatabase::readOnlyDatabaseOpensWithoutWritingAndRefusesWrites() {
    const QString gfix = QStandardPaths::findExecutable("gfix");
    if (gfix.isEmpty())
        QSKIP("gfix is not installed");
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'Norte')");
    db->Transaction()->CommitRetaining();
    db->Close();
    // The engine's own switch, as an administrator would set it.
    const auto setMode = [&](const char* mode) {
        QStringList arguments{"-mode", mode};
        if (config.isServer())
            arguments << "-user" << config.user << "-password" << config.password;
        QProcess tool;
        tool.start(gfix, arguments << config.target());
        return tool.waitForFinished(30000) && tool.exitCode() == 0;
    };
    QVERIFY(setMode("read_only"));
    // Up to date: it opens for reading, writing nothing on the way, and refuses writes.
    OpenHostDatabase(*db, config, false, [] { return false; });
    QCOMPARE(Scalar("SELECT MON$READ_ONLY FROM MON$DATABASE").toInt(), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 1);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                             Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'Sul')"));
    db->Transaction()->RollbackRetaining();
    db->Close();

    // A version with scripts to apply says why it cannot open it.
    QString refusal;
    try {
        OpenHostDatabase(
            *db, config, false, [] { return false; }, QFINDTESTDATA("data/upgrade/v1"));
    } catch (const EDatabaseError& e) {
        refusal = e.message();
    }
    QVERIFY2(refusal.contains("somente para leitura") && refusal.contains("schema/0001_base.sql"),
             qPrintable(refusal));
    db->Close();
    QVERIFY(setMode("read_write"));
    OpenHostDatabase(*db, config, false, [] { return false; });
}

QTEST_MAIN(TstDatabase)
// A loop's statements go as a few blocks, every quoted and accented value intact; a failing statement
// stops its block whole, and what was never sent is dropped with the batch.
void TstDatabase::batchSendsFewBlocksAndKeepsEveryValue() {
    const quint64 before = db->StatementCount();
    {
        InstrucoesEmLote lote(*db);
        for (int i = 0; i < 300; ++i)
            lote.Adiciona(QStringLiteral("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES (%1, %2)")
                              .arg(Aspas(QString::number(i)),
                                   Aspas(QStringLiteral("D'ÁVILA %1 ").arg(i).repeated(i % 5 + 1).left(40))));
        lote.Executa();
    }
    QVERIFY(db->StatementCount() - before <= 6); // fifty to a block
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 300);
    QCOMPARE(Scalar("SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '299'").toString(),
             QStringLiteral("D'ÁVILA 299 D'ÁVILA 299 D'ÁVILA 299 D'ÁV"));
    db->Transaction()->CommitRetaining();

    {
        InstrucoesEmLote lote(*db);
        lote.Adiciona("UPDATE REGIAO SET DESCRICAO = 'X' WHERE REGIAO = '1'");
        lote.Adiciona("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('2', 'DUPLICADA')");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, lote.Executa());
        lote.Adiciona("DELETE FROM REGIAO"); // never sent
    }
    QCOMPARE(Scalar("SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '1'").toString(),
             QStringLiteral("D'ÁVILA 1 D'ÁVILA 1 "));
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 300);
}

#include "tst_database.moc"
