// The simple registries (variants, phases, baths, colours, curves): records still used, code proposals, the
// phase group and the audit rows of refused changes.
#include "HostError.h"
#include "ModuleLoader.h"
#include "TTabela.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QTest>

class TstRegistros : public ScreenTestCase {
    Q_OBJECT
    // The colour screen looks for pictures: not in the settings of whoever runs the tests.
    const SettingsFile settings{"[Caminho]\npath=%1\n"};

    int LogRows() { return Scalar("SELECT COUNT(*) FROM LOG").toInt(); }

private slots:
    void recordStillUsedIsNotDeleted_data();
    void recordStillUsedIsNotDeleted();
    void variantCodeIsProposedOnlyWhenLeftEmpty();
    void phaseGroupIsChecked();
    void refusedChangeLeavesNoAuditRow();
    void codeStoredByAnotherWorkstationMeanwhileAsksForAnother();
    void codesThatRanOutAreSaidSo();
};

void TstRegistros::recordStillUsedIsNotDeleted_data() {
    QTest::addColumn<QString>("tela");
    QTest::addColumn<QString>("tabela");
    QTest::addColumn<QString>("uso"); // makes the record used
    QTest::addColumn<QString>("texto");
    const char* const banho = "Banho está sendo utilizado.";
    const char* const variante = "Variante está sendo utilizada.";
    const char* const fase = "Fase está sendo utilizada.";
    const char* const cor = "Cor está sendo utilizada.";
    const char* const grafico = "Gráfico está sendo utilizado.";
    const struct {
        const char *row, *tela, *tabela, *uso, *texto;
    } rows[] = {
        {"banho na maquina", "TFmBanho", "BANHO",
         "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO) VALUES ('01', 'JET', '01')", banho},
        {"banho na capacidade", "TFmBanho", "BANHO",
         "INSERT INTO MAQ_TIN_CAP VALUES (1, '09', '02', 0, 1, 0, 1, '01')", banho},
        {"variante na capacidade", "TFmvariante", "VARIANTE",
         "INSERT INTO MAQ_TIN_CAP VALUES (1, '09', '01', 0, 1, 0, 1, '')", variante},
        {"variante na FAL", "TFmvariante", "VARIANTE",
         "INSERT INTO FAL (NUMERO, VARIANTE) VALUES ('1', '01')", variante},
        {"fase no roteiro", "TfmFase", "FASE",
         "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('000001', 'TINTO', 1, '01')", fase},
        {"fase grupo de outra", "TfmFase", "FASE",
         "INSERT INTO FASE (CODIGO, DESCRICAO, GRUPO) VALUES ('02', 'X', '01')", fase},
        {"fase na maquina", "TfmFase", "FASE",
         "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, FASE) VALUES ('01', 'JET', '01')", fase},
        {"cor na FAL", "TFmCadCorTing", "CADCORTIN", "INSERT INTO FAL (NUMERO, COR) VALUES ('1', '01')", cor},
        {"cor na receita", "TFmCadCorTing", "CADCORTIN",
         "INSERT INTO RECEITA (CODIGO, VARIANTE, COR) VALUES ('0001', '01', '01')", cor},
        {"grafico na receita", "TfmTngGrafico", "GRAFICO",
         "INSERT INTO RECEITA (CODIGO, VARIANTE, GRAFICO) VALUES ('0001', '01', '01')", grafico},
        {"grafico no processo", "TfmTngGrafico", "GRAFICO",
         "INSERT INTO PROCESSO_TIN (FAL, GRAFICO) VALUES ('0000001', '01')", grafico},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.tela << r.tabela << r.uso << QString::fromUtf8(r.texto);
}

// A record others refer to is not deleted, with no question and no audit row; once nothing refers to it,
// it goes. A phase that is its own group does not keep itself.
void TstRegistros::recordStillUsedIsNotDeleted() {
    QFETCH(QString, tela);
    QFETCH(QString, tabela);
    QFETCH(QString, uso);
    QFETCH(QString, texto);
    Sql(QStringLiteral("INSERT INTO %1 (CODIGO, DESCRICAO) VALUES ('01', 'USADO')").arg(tabela));
    if (tabela == "FASE")
        Sql("UPDATE FASE SET GRUPO = '01' WHERE CODIGO = '01'");
    Sql(uso);
    Commit();
    driver->Open(tela);
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(messages.Texts(), QStringList{texto});
    QCOMPARE(messages.questions.size(), 1); // never asked
    QCOMPARE(Count(tabela, "CODIGO = '01'"), 1);
    QCOMPARE(LogRows(), 0);

    for (const char* table : {"MAQ_TIN", "MAQ_TIN_CAP", "FAL", "ROTEIRO", "RECEITA", "PROCESSO_TIN"})
        Sql(QStringLiteral("DELETE FROM %1").arg(table));
    Sql("DELETE FROM FASE WHERE CODIGO <> '01'");
    Commit();
    messages.Clear();
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Count(tabela, "CODIGO = '01'"), 0);
}

// Leaving the empty code box proposes the next code; Desist spends none.
void TstRegistros::variantCodeIsProposedOnlyWhenLeftEmpty() {
    Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
    Commit();
    driver->Open("TFmvariante");
    driver->Click("BtIncluir");
    driver->Focus("BtDesistir");
    QCOMPARE(driver->Text("EdtCodVariante"), QString());
    driver->Click("BtDesistir");
    driver->Click("BtIncluir");
    driver->Press("Tab");
    QCOMPARE(driver->Text("EdtCodVariante"), "03");
    driver->Type("EdtDesVariante", "viscose");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("VARIANTE", "CODIGO = '03' AND DESCRICAO = 'VISCOSE'"), 1);
}

// A group typed and confirmed at once is checked all the same, and said once.
void TstRegistros::phaseGroupIsChecked() {
    Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARACAO'", "'02', 'TINGIMENTO'"});
    Commit();
    driver->Open("TfmFase");
    driver->Click("BtnAltera");
    driver->Type("EdtGrupo", "77");
    driver->Click("SbConfirmar");
    QCOMPARE(messages.Texts(), QStringList{"Grupo Inválido."});
    QCOMPARE(driver->FocusedName(), "EdtGrupo");
    QVERIFY(driver->Visible("PainelConfirma"));
    driver->Type("EdtGrupo", "02");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("FASE", "CODIGO = '01' AND GRUPO = '02'"), 1);
}

void TstRegistros::refusedChangeLeavesNoAuditRow() {
    driver->Open("TfmFase");
    TTabela::Tabela("TbFase")->BeforePost = [](TDataSet&) { throw EAbort(); };
    driver->Click("BtIncluir");
    driver->Type("EdtCodFase", "05");
    driver->Type("EdtDesFase", "recusada");
    driver->Click("SbConfirmar");
    QCOMPARE(LogRows(), 0);
    TTabela::Tabela("TbFase")->BeforePost = nullptr;
    driver->Click("SbConfirmar");
    QCOMPARE(LogRows(), 1);

    TTabela::Tabela("TbFase")->BeforeDelete = [](TDataSet&) { throw EAbort(); };
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Count("FASE", "CODIGO = '05'"), 1);
    QCOMPARE(LogRows(), 1);
}

// Two users typing the same new code: the check passes for both, and the second one's post fails on the key.
void TstRegistros::codeStoredByAnotherWorkstationMeanwhileAsksForAnother() {
    driver->Open("TfmFase");
    driver->Click("BtIncluir");
    driver->Type("EdtCodFase", "05");
    driver->Type("EdtDesFase", "lavagem");
    auto other = OpenSecond("kelm-test-other");
    TTabela::Tabela("TbFase")->BeforePost = [&other](TDataSet&) {
        SqlOn(*other, "INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('05', 'DELE')");
        other->Transaction()->CommitRetaining();
    };
    driver->Click("SbConfirmar");
    TTabela::Tabela("TbFase")->BeforePost = nullptr;
    QCOMPARE(messages.Texts(), QStringList{"Este código já existe. Digite um outro."});
    QCOMPARE(driver->FocusedName(), "EdtCodFase");
    QCOMPARE(LogRows(), 0);
    driver->Type("EdtCodFase", "06");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("FASE", "CODIGO = '06' AND DESCRICAO = 'LAVAGEM'"), 1);
}

void TstRegistros::codesThatRanOutAreSaidSo() {
    Sql("INSERT INTO CODIGOS (TABELA, CAMPO, ULTIMO) VALUES ('FASE', 'CODIGO', '999')");
    Commit();
    driver->Open("TfmFase");
    driver->Click("BtIncluir");
    driver->Press("Tab");
    QCOMPARE(messages.Texts(), QStringList{"Os códigos de FASE esgotaram: o próximo, 1000, não cabe no campo "
                                           "CODIGO, de 3 caracteres."});
    driver->Type("EdtCodFase", "A1"); // a code typed by hand is still taken
    driver->Type("EdtDesFase", "lavagem");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("FASE", "CODIGO = 'A1'"), 1);
}

QTEST_MAIN(TstRegistros)
#include "tst_registros.moc"
