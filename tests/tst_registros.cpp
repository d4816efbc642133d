// The simple registries (variants, recipe-line kinds, phases), driven as a user would: code proposals,
// defaults, the phase group and the phase audit of alterations.
#include "HostError.h"
#include "ModuleLoader.h"
#include "TTabela.h"
#include "TestDatabase.h"
#include <QLineEdit>
#include <QTest>

class TstRegistros : public ScreenTestCase {
    Q_OBJECT

    int Count(const QString& table, const QString& where = "1=1") {
        auto other = OpenSecond("kelm-test-check");
        return ScalarOn(*other, "SELECT COUNT(*) FROM " + table + " WHERE " + where).toInt();
    }
    void Commit() { db->Transaction()->CommitRetaining(); }
    QString LastLog() {
        return Scalar("SELECT TITULO || '|' || TEXTO || '|' || TIPO || '|' || CHAVE FROM LOG "
                      "ORDER BY ID DESC ROWS 1")
            .toString();
    }

private slots:
    void variantCodeIsProposedOnlyWhenLeftEmpty();
    void recipeLineKindStartsWithAutomaticWriteOff();
    void phaseIncludeChecksGroup();
    void phaseAlterKeepsCodeAndLogs();
    void phaseGroupLookUpAndConfirmCheck();
    void refusedChangeLeavesNoAuditRow();
    void recordStillUsedIsNotDeleted_data();
    void recordStillUsedIsNotDeleted();
    void codeStoredByAnotherWorkstationMeanwhileAsksForAnother();
    void codesThatRanOutAreSaidSoAndNothingElse();
};

void TstRegistros::recordStillUsedIsNotDeleted_data() {
    QTest::addColumn<QString>("tela");
    QTest::addColumn<QString>("tabela");
    QTest::addColumn<QString>("uso"); // a statement that makes the record used
    QTest::addColumn<QString>("texto");
    QTest::newRow("banho na maquina") << "TFmBanho"
                                      << "BANHO"
                                      << "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO) VALUES "
                                         "('01', 'JET', '01')"
                                      << "Banho está sendo utilizado.";
    QTest::newRow("banho na capacidade") << "TFmBanho"
                                         << "BANHO"
                                         << "INSERT INTO MAQ_TIN_CAP VALUES (1, '09', '02', 0, 1, 0, 1, '01')"
                                         << "Banho está sendo utilizado.";
    QTest::newRow("variante na capacidade")
        << "TFmvariante"
        << "VARIANTE"
        << "INSERT INTO MAQ_TIN_CAP VALUES (1, '09', '01', 0, 1, 0, 1, '')"
        << "Variante está sendo utilizada.";
    QTest::newRow("variante na FAL") << "TFmvariante"
                                     << "VARIANTE"
                                     << "INSERT INTO FAL (NUMERO, VARIANTE) VALUES ('1', '01')"
                                     << "Variante está sendo utilizada.";
    QTest::newRow("fase no roteiro") << "TfmFase"
                                     << "FASE"
                                     << "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES "
                                        "('000001', 'TINTO', 1, '01')"
                                     << "Fase está sendo utilizada.";
    QTest::newRow("fase grupo de outra")
        << "TfmFase"
        << "FASE"
        << "INSERT INTO FASE (CODIGO, DESCRICAO, GRUPO) VALUES ('02', 'X', '01')"
        << "Fase está sendo utilizada.";
    QTest::newRow("fase na maquina")
        << "TfmFase"
        << "FASE"
        << "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, FASE) VALUES ('01', 'JET', '01')"
        << "Fase está sendo utilizada.";
}

// A record others refer to is not deleted (they would point at nothing), with no question and no audit row;
// once nothing refers to it, it goes. A phase that is its own group does not keep itself.
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
    QVERIFY(driver->Screen()->findChild<QLineEdit*>());
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(messages.Texts(), QStringList{texto});
    QCOMPARE(messages.questions.size(), 1); // never asked
    QCOMPARE(Count(tabela, "CODIGO = '01'"), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 0);

    Sql("DELETE FROM MAQ_TIN");
    Sql("DELETE FROM MAQ_TIN_CAP");
    Sql("DELETE FROM FAL");
    Sql("DELETE FROM ROTEIRO");
    Sql("DELETE FROM FASE WHERE CODIGO <> '01'");
    Commit();
    messages.Clear();
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Count(tabela, "CODIGO = '01'"), 0);
}

void TstRegistros::variantCodeIsProposedOnlyWhenLeftEmpty() {
    Sql("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'ALGODAO')");
    Sql("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('02', 'POLIESTER')");
    Commit();
    driver->Open("TFmvariante");
    driver->Click("BtIncluir");
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodVariante"));
    driver->Press("Tab"); // leaving the empty code box proposes the next free code
    QCOMPARE(driver->Text("EdtCodVariante"), QStringLiteral("03"));
    driver->Type("EdtDesVariante", "viscose");
    driver->Type("CbGrupoImp", "07");
    driver->Type("EdtIndice", "vi");
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(
        Count("VARIANTE", "CODIGO = '03' AND DESCRICAO = 'VISCOSE' AND GRUPO_IMP = '07' AND INDICE = 'VI'"),
        1);

    driver->Click("BtIncluir");
    driver->Type("EdtCodVariante", "9");
    driver->Press("Tab"); // a typed code stays
    QCOMPARE(driver->Text("EdtCodVariante"), QStringLiteral("9"));
    driver->Click("BtDesistir");

    // Going straight to Desist proposes nothing, so no code is spent.
    driver->Click("BtIncluir");
    driver->Focus("BtDesistir");
    QCOMPARE(driver->Text("EdtCodVariante"), QString());
    driver->Click("BtDesistir");
    driver->Click("BtIncluir");
    driver->Press("Tab");
    QCOMPARE(driver->Text("EdtCodVariante"), QStringLiteral("04"));
    driver->Click("BtDesistir");
    QCOMPARE(Count("VARIANTE"), 3);
}

void TstRegistros::recipeLineKindStartsWithAutomaticWriteOff() {
    Sql("INSERT INTO TIPO_TING (CODIGO, DESCRICAO, BAIXA_AUT) VALUES ('P', 'MANUAL', 'N')");
    Commit();
    driver->Open("TfmTipoTin");
    QCOMPARE(driver->Text("CkBaixaAut"), QStringLiteral("N"));
    driver->Click("BtIncluir");
    QCOMPARE(driver->Text("CkBaixaAut"), QStringLiteral("S"));
    driver->Type("EdtCodTipo", "c");
    driver->Type("EdtDesTipo", "corante");
    driver->Press("Tab"); // leaving the description goes to Confirm
    QCOMPARE(driver->FocusedName(), QStringLiteral("SbConfirmar"));
    driver->Click("SbConfirmar");
    QCOMPARE(Count("TIPO_TING", "CODIGO = 'c' AND DESCRICAO = 'CORANTE' AND BAIXA_AUT = 'S'"), 1);

    driver->Click("BtnAltera");
    QVERIFY(!driver->Enabled("EdtCodTipo"));
    driver->Click("CkBaixaAut");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("TIPO_TING", "CODIGO = 'c' AND BAIXA_AUT = 'N'"), 1);
}

void TstRegistros::phaseIncludeChecksGroup() {
    Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('01', 'PREPARACAO')");
    Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('02', 'TINGIMENTO')");
    Commit();
    driver->Open("TfmFase");
    driver->Click("BtIncluir");
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodFase"));
    driver->Type("EdtCodFase", "   ");
    driver->Press("Tab"); // a blank code counts as empty
    QCOMPARE(driver->Text("EdtCodFase"), QStringLiteral("03"));
    driver->Type("EdtDesFase", "lavagem");
    driver->Click("CkCobrar");
    driver->Type("EdtGrupo", "99");
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), QStringLiteral("Grupo Inválido."));
    QCOMPARE(messages.shown.last().title, QStringLiteral("Cadastro de Fases"));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtGrupo"));
    driver->Type("EdtGrupo", "02");
    QCOMPARE(driver->Text("EdtDesGrupo"), QStringLiteral("TINGIMENTO"));
    driver->Press("Tab");
    QCOMPARE(driver->FocusedName(), QStringLiteral("SbConfirmar"));
    driver->Click("SbConfirmar");
    QVERIFY(driver->Visible("PainelControle"));
    QCOMPARE(Count("FASE", "CODIGO = '03' AND DESCRICAO = 'LAVAGEM' AND GRUPO = '02' AND COBRAR = 'S' "
                           "AND ATUALIZAR = 'N'"),
             1);

    // A blank group is accepted and goes to Confirm like any other.
    driver->Click("BtIncluir");
    driver->Type("EdtCodFase", "10");
    driver->Type("EdtDesFase", "secagem");
    driver->Type("EdtGrupo", "");
    driver->Press("Tab");
    QCOMPARE(driver->FocusedName(), QStringLiteral("SbConfirmar"));
    QCOMPARE(messages.Texts().count(), 1);
    driver->Click("SbConfirmar");
    QCOMPARE(Count("FASE", "CODIGO = '10' AND COALESCE(GRUPO, '') = ''"), 1);
}

void TstRegistros::phaseAlterKeepsCodeAndLogs() {
    Sql("INSERT INTO FASE (CODIGO, DESCRICAO, COBRAR, ATUALIZAR) VALUES ('01', 'PREPARACAO', 'N', 'N')");
    Commit();
    driver->Open("TfmFase");
    driver->Click("BtnAltera");
    auto* code = driver->Get<QLineEdit>("EdtCodFase");
    QVERIFY(code->isReadOnly());
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtDesFase"));
    driver->Type("EdtDesFase", "preparo");
    driver->Click("CkAtualizar");
    driver->Click("SbConfirmar");
    QVERIFY(!code->isReadOnly());
    QCOMPARE(Count("FASE", "CODIGO = '01' AND DESCRICAO = 'PREPARO' AND ATUALIZAR = 'S'"), 1);
    QCOMPARE(LastLog(), QStringLiteral("CADASTRO DE FASE|ALTERACAO DA FASE 01|1|01"));
}

void TstRegistros::phaseGroupLookUpAndConfirmCheck() {
    Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('01', 'PREPARACAO')");
    Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('02', 'TINGIMENTO')");
    Commit();
    driver->Open("TfmFase");
    driver->Click("BtnAltera");
    messages.searches.enqueue("02");
    driver->Click("PqFase");
    QCOMPARE(messages.shown.last().text, QStringLiteral("FASE"));
    QCOMPARE(driver->Text("EdtGrupo"), QStringLiteral("02"));
    QCOMPARE(driver->Text("EdtDesGrupo"), QStringLiteral("TINGIMENTO"));
    driver->Click("SbConfirmar");
    QCOMPARE(Count("FASE", "CODIGO = '01' AND GRUPO = '02'"), 1);

    // A group typed and confirmed at once is checked all the same, and said once.
    driver->Click("BtnAltera");
    driver->Type("EdtGrupo", "77");
    const int before = int(messages.Texts().size());
    driver->Click("SbConfirmar");
    QCOMPARE(messages.LastText(), QStringLiteral("Grupo Inválido."));
    QCOMPARE(int(messages.Texts().size()), before + 1);
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtGrupo"));
    QVERIFY(driver->Visible("PainelConfirma"));
    driver->Click("BtDesistir");
    QCOMPARE(Count("FASE", "CODIGO = '01' AND GRUPO = '02'"), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 1);
}

void TstRegistros::refusedChangeLeavesNoAuditRow() {
    driver->Open("TfmFase");
    TTabela::Tabela("TbFase")->BeforePost = [](TDataSet&) { throw EAbort(); };
    driver->Click("BtIncluir");
    driver->Type("EdtCodFase", "05");
    driver->Type("EdtDesFase", "recusada");
    driver->Click("SbConfirmar");
    QVERIFY(driver->Visible("PainelConfirma"));
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 0);
    TTabela::Tabela("TbFase")->BeforePost = nullptr;
    driver->Click("SbConfirmar");
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 1);
    QCOMPARE(Count("FASE", "CODIGO = '05'"), 1);

    TTabela::Tabela("TbFase")->BeforeDelete = [](TDataSet&) { throw EAbort(); };
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Count("FASE", "CODIGO = '05'"), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG WHERE TIPO = 2").toInt(), 0);
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
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodFase"));
    QVERIFY(driver->Visible("PainelConfirma"));
    QCOMPARE(Count("FASE", "CODIGO = '05' AND DESCRICAO = 'DELE'"), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 0);
    driver->Type("EdtCodFase", "06");
    driver->Click("SbConfirmar");
    QCOMPARE(messages.Texts().size(), 1);
    QVERIFY(driver->Visible("PainelControle"));
    QCOMPARE(Count("FASE", "CODIGO = '06' AND DESCRICAO = 'LAVAGEM'"), 1);

    // A post failing for another reason still says its own reason.
    driver->Click("BtIncluir");
    driver->Type("EdtCodFase", "07");
    driver->Type("EdtDesFase", "secagem");
    TTabela::Tabela("TbFase")->BeforePost = [](TDataSet&) { throw EDatabaseError("falha do servidor"); };
    driver->Click("SbConfirmar");
    TTabela::Tabela("TbFase")->BeforePost = nullptr;
    QCOMPARE(messages.shown.last().title, QStringLiteral("Erro"));
    QCOMPARE(messages.LastText(), QStringLiteral("falha do servidor"));
    QVERIFY(driver->Visible("PainelConfirma"));
}

void TstRegistros::codesThatRanOutAreSaidSoAndNothingElse() {
    Sql("INSERT INTO CODIGOS (TABELA, CAMPO, ULTIMO) VALUES ('FASE', 'CODIGO', '999')");
    Commit();
    driver->Open("TfmFase");
    driver->Click("BtIncluir");
    driver->Press("Tab");
    QCOMPARE(messages.Texts(), QStringList{"Os códigos de FASE esgotaram: o próximo, 1000, não cabe no campo "
                                           "CODIGO, de 3 caracteres."});
    QCOMPARE(driver->Text("EdtCodFase"), QString());
    QCOMPARE(Scalar("SELECT ULTIMO FROM CODIGOS WHERE TABELA = 'FASE'").toString(), QStringLiteral("999"));
    QVERIFY(driver->Visible("PainelConfirma"));
    // A code typed by hand is still taken.
    driver->Type("EdtCodFase", "A1");
    driver->Type("EdtDesFase", "lavagem");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("FASE", "CODIGO = 'A1'"), 1);
}

QTEST_MAIN(TstRegistros)
#include "tst_registros.moc"
