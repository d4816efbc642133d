// The database layer: schema creation and upgrade, units of work, lock waits, sharing the embedded file.
#include "DataAccess.h"
#include "FirebirdEngine.h"
#include "HostError.h"
#include "SchemaUpgrade.h"
#include "TTabela.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

class TstDatabase : public DatabaseTestCase {
    Q_OBJECT
private slots:
    void scriptSplitterHonoursTermsQuotesAndComments();
    void schemaHasHostTablesAndServerFunctions();
    void upgradeKeepsRowsAndNeverReappliesScripts();
    void interruptedScriptResumesAfterItsLastStatement();
    void commitRetainingKeepsOpenDataSetsUsable();
    void rollbackRetainingUndoesTheUnitOfWorkOnly();
    void lockWaitIsBoundedAndRollsBack();
    void writesStartFromOtherUsersLatestWork();
    void failedCommitLeavesNoTransactionBehind();
    void idleUnitsEndAndQuickWritesAreNeverCancelled();
    void embeddedFileIsSharedWithAnotherProcess();
    void readOnlyDatabaseOpensWithoutWritingAndRefusesWrites();
};

void TstDatabase::scriptSplitterHonoursTermsQuotesAndComments() {
    const QStringList parts = SplitSqlScript(QStringLiteral("-- heading; not a statement\n"
                                                            "INSERT INTO T VALUES ('a;b', 'it''s');\n"
                                                            "SET TERM ^ ;\n"
                                                            "CREATE PROCEDURE P AS BEGIN X = 1; END^\n"
                                                            "SET TERM ; ^\n"
                                                            "SELECT 1 FROM RDB$DATABASE;"));
    QCOMPARE(parts.size(), 3);
    QCOMPARE(parts[0], QStringLiteral("INSERT INTO T VALUES ('a;b', 'it''s')"));
    QVERIFY(parts[1].endsWith(QLatin1String("END")));
    QVERIFY(parts[1].contains(QLatin1String("X = 1;")));
    QCOMPARE(parts[2], QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
}

void TstDatabase::schemaHasHostTablesAndServerFunctions() {
    for (const char* table :
         {"ENTIDADE", "PRODUTO", "MATERIAL", "PESSOAL",  "TURNO",      "TURNO_HORARIOS", "ACESSO_USUARIOS",
          "DEPOSITO", "REGIAO",  "NOTA",     "NOTAITEN", "NATUREZA",   "GRUPO_MA",       "GRUPO_COR",
          "TABFIS",   "TABTRI",  "CODIGOS",  "LOG",      "PARAMETROS", "ACESSO_DIREITOS"})
        QVERIFY2(Scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = '%1'")
                            .arg(QLatin1String(table)))
                         .toInt() == 1,
                 table);
    // 2026-12-06 is a Sunday: weekdays are numbered 1 (Sunday) to 7, as TURNO_HORARIOS.DIA is.
    QCOMPARE(Scalar("SELECT UDF_WEEKDAY(CAST('12/06/2026' AS DATE)) FROM RDB$DATABASE").toInt(), 1);
    QCOMPARE(Scalar("SELECT UDF_WEEKDAY(CAST('12/12/2026' AS DATE)) FROM RDB$DATABASE").toInt(), 7);
    QCOMPARE(Scalar("SELECT UDF_YEAR(CAST('02/28/2027' AS DATE)) FROM RDB$DATABASE").toInt(), 2027);
    QCOMPARE(Scalar("SELECT UDF_MONTH(CAST('02/28/2027' AS DATE)) FROM RDB$DATABASE").toInt(), 2);
    QCOMPARE(Scalar("SELECT UDF_DAYSBETWEEN(CAST('12/30/2026' AS DATE), CAST('01/02/2027' AS DATE)) "
                    "FROM RDB$DATABASE")
                 .toInt(),
             3);
    QCOMPARE(Scalar("SELECT UDF_LEN('D''Ávila') FROM RDB$DATABASE").toInt(), 7);
    QCOMPARE(Scalar("SELECT UDF_COPY('TINTURARIA', 3, 4) FROM RDB$DATABASE").toString(),
             QStringLiteral("NTUR"));
    QVERIFY(Scalar("SELECT UDF_YEAR(NULL) FROM RDB$DATABASE").isNull());
}

void TstDatabase::upgradeKeepsRowsAndNeverReappliesScripts() {
    const QString v1 = QFINDTESTDATA("data/upgrade/v1"), v2 = QFINDTESTDATA("data/upgrade/v2");
    QCOMPARE(SchemaUpgrade::Apply(*db, false, v1), QStringList{"schema/0001_base.sql"});
    Sql("INSERT INTO CLIENTE_TESTE (CODIGO, NOME) VALUES ('000001', 'Malharia D''Ávila')");
    db->Transaction()->CommitRetaining();

    // The same version again changes nothing (its CREATE TABLE would fail if it ran twice).
    QVERIFY(SchemaUpgrade::Apply(*db, false, v1).isEmpty());
    QCOMPARE(SchemaUpgrade::Apply(*db, false, v2), QStringList{"schema/0002_cidade.sql"});
    QCOMPARE(Scalar("SELECT NOME FROM CLIENTE_TESTE WHERE CODIGO = '000001'").toString(),
             QStringLiteral("Malharia D'Ávila"));
    QCOMPARE(Scalar("SELECT DOBRO(21) FROM RDB$DATABASE").toInt(), 42);
    Sql("INSERT INTO PEDIDO_TESTE (NUMERO, CLIENTE) VALUES (1, '000001')");
    QVERIFY(SchemaUpgrade::Applied(*db).contains("schema/0002_cidade.sql"));

    // Reopening the existing database through the normal path upgrades, never re-creates.
    db->Transaction()->CommitRetaining();
    db->Close();
    OpenHostDatabase(*db, config, true, [] { return true; });
    QCOMPARE(Scalar("SELECT COUNT(*) FROM PEDIDO_TESTE").toInt(), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM ACESSO_USUARIOS").toInt(), 1); // no demo rows into a used database
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
    QVERIFY(SchemaUpgrade::Apply(*db, false, QFINDTESTDATA("data/upgrade/fixed")).isEmpty());
}

void TstDatabase::commitRetainingKeepsOpenDataSetsUsable() {
    TTabela::Registra("tbRegiaoTeste", "REGIAO", "REGIAO");
    TabelaAberta regions = TTabela::AbreTabela("tbRegiaoTeste");
    TabelaAberta same = TTabela::AbreTabela("tbregiaoteste");
    QCOMPARE(same.get(), regions.get()); // shared by name
    regions->Append();
    regions->FieldByName("REGIAO") = QStringLiteral("01");
    regions->FieldByName("DESCRICAO") = QStringLiteral("Vale do Itajaí");
    QVERIFY(regions->Post());
    db->Transaction()->CommitRetaining();

    // After the commit the same data set goes on: edit, post, navigate.
    regions->Append();
    regions->FieldByName("REGIAO") = QStringLiteral("02");
    regions->FieldByName("DESCRICAO") = QStringLiteral("Serra Gaúcha");
    QVERIFY(regions->Post());
    regions->First();
    regions->Edit();
    regions->FieldByName("DESCRICAO") = QStringLiteral("Vale do Itajaí 'Norte'");
    QVERIFY(regions->Post());
    db->Transaction()->CommitRetaining();

    auto other = OpenSecond("kelm-test-other");
    QCOMPARE(ScalarOn(*other, "SELECT COUNT(*) FROM REGIAO").toInt(), 2);
    QCOMPARE(ScalarOn(*other, "SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '01'").toString(),
             QStringLiteral("Vale do Itajaí 'Norte'"));
    // Reads see what another user committed, without a commit of ours in between.
    SqlOn(*other, "INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('03', 'Litoral')");
    other->Transaction()->CommitRetaining();
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 3);
    regions->Refresh();
    QCOMPARE(regions->RecordCount(), 3);
    same.Fecha();
    QVERIFY(TTabela::Tabela("tbRegiaoTeste")); // still used by the first opener
    {
        TabelaAberta moved = std::move(regions); // a handle moved on holds one use, not two
    }
    QVERIFY(!TTabela::Tabela("tbRegiaoTeste"));
}

void TstDatabase::rollbackRetainingUndoesTheUnitOfWorkOnly() {
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'Norte')");
    db->Transaction()->CommitRetaining();
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'Sul')");
    GeraLog("CADASTRO DE REGIAO", "INCLUSAO DA REGIAO 02", opInclusao, "02");
    db->Transaction()->RollbackRetaining();
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 0);
    // The connection is usable at once for the next unit of work.
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('03', 'Leste')");
    db->Transaction()->CommitRetaining();
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 2);
}

void TstDatabase::lockWaitIsBoundedAndRollsBack() {
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'Norte')");
    db->Transaction()->CommitRetaining();

    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "UPDATE REGIAO SET DESCRICAO = 'Outro usuário' WHERE REGIAO = '01'"); // not committed

    db->LockTimeoutMs = 1500;
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'Sul')"); // same unit of work as the blocked
                                                                        // write
    QElapsedTimer timer;
    timer.start();
    bool failed = false;
    try {
        Sql("UPDATE REGIAO SET DESCRICAO = 'Eu' WHERE REGIAO = '01'");
    } catch (const EDatabaseError& e) {
        failed = true;
        QVERIFY2(e.message().contains(QStringLiteral("outro usuário")), qPrintable(e.message()));
    }
    QVERIFY(failed);
    QVERIFY2(timer.elapsed() < 10000, "the wait must be bounded");
    other->Transaction()->Rollback();
    // The whole unit of work was rolled back, and the connection works again.
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 1);
    Sql("UPDATE REGIAO SET DESCRICAO = 'Eu' WHERE REGIAO = '01'");
    db->Transaction()->CommitRetaining();
    QCOMPARE(Scalar("SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '01'").toString(), QStringLiteral("Eu"));
}

void TstDatabase::embeddedFileIsSharedWithAnotherProcess() {
    if (TestDatabase::ServerMode())
        QSKIP("the embedded engine only");
    const QString isql = QStandardPaths::findExecutable("isql-fb");
    if (isql.isEmpty())
        QSKIP("isql-fb is not installed");
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'Norte')");
    db->Transaction()->CommitRetaining();
    // While this process holds the file open, Firebird's own tool reads and writes it.
    QProcess tool;
    tool.start(isql, {"-q", "-user", "SYSDBA", config.path});
    QVERIFY(tool.waitForStarted());
    tool.write("SELECT 'count=' || COUNT(*) FROM REGIAO;\n"
               "INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('09', 'Via ferramenta');\nCOMMIT;\nQUIT;\n");
    tool.closeWriteChannel();
    QVERIFY(tool.waitForFinished(30000));
    const QString output = QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
    QVERIFY2(output.contains("count=1"), qPrintable(output));
    db->Transaction()->CommitRetaining(); // a new unit of work sees the other process's row
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 2);
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
    QCOMPARE(ScalarOn(*other, "SELECT DESCRICAO || ' ' || CAST(PROPORCAO AS INTEGER) FROM BANHO").toString(),
             QStringLiteral("CURTO JET 9"));
    QCOMPARE(ScalarOn(*other, "SELECT COUNT(*) FROM BANHO").toInt(), 1);

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
    QCOMPARE(ScalarOn(*other, "SELECT COUNT(*) FROM REGIAO").toInt(), 0);
    SqlOn(*other, "INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('YY', 'livre')");
    SqlOn(*other, "DELETE FROM REGIAO WHERE REGIAO = 'YY'");
    other->Transaction()->CommitRetaining();
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'Norte')");
    db->Transaction()->CommitRetaining();
    QCOMPARE(ScalarOn(*other, "SELECT COUNT(*) FROM REGIAO").toInt(), 1);
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
        const bool done = tool.waitForFinished(30000) && tool.exitCode() == 0;
        return done ? QString()
                    : QString::fromLocal8Bit(tool.readAllStandardOutput() + tool.readAllStandardError());
    };
    QString failure = setMode("read_only");
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    // Up to date: it opens, for reading, and nothing is written on the way.
    OpenHostDatabase(*db, config, false, [] { return false; });
    QCOMPARE(Scalar("SELECT MON$READ_ONLY FROM MON$DATABASE").toInt(), 1);
    QCOMPARE(Scalar("SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '01'").toString(), QStringLiteral("Norte"));
    try {
        Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'Sul')");
        QFAIL("a read-only database took a write");
    } catch (const EDatabaseError& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("O banco de dados está somente para leitura.")),
                 e.what());
    }
    db->Transaction()->RollbackRetaining();
    db->Close();

    // A version with scripts to apply says why it cannot open it, instead of failing on a write.
    try {
        OpenHostDatabase(
            *db, config, false, [] { return false; }, QFINDTESTDATA("data/upgrade/v1"));
        QFAIL("a read-only database was upgraded");
    } catch (const EDatabaseError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("somente para leitura")) &&
                     e.message().contains(QStringLiteral("schema/0001_base.sql")),
                 e.what());
    }
    db->Close();
    failure = setMode("read_write");
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    OpenHostDatabase(*db, config, false, [] { return false; });
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'Sul')");
    db->Transaction()->CommitRetaining();
}

QTEST_MAIN(TstDatabase)
#include "tst_database.moc"
