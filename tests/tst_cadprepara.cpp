// The preparation screen: the item grid and its checks, the wholesale save with its audit rows and the
// recipe recosting it may carry, duplicate and the delete of a preparation in use; stored rows are read from
// a second connection. Items changed by another user since they were loaded are in tst_tngroteiro.
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QTest>

class TstCadPrepara : public ScreenTestCase {
    Q_OBJECT
    const QString kItens001 = "1|Q1|GL|1.5|A|;2|Q2|%|1|A|";

    // Preparation 001 (one item by the bath, one on the fabric) is used by recipe 0001, whose own item costs
    // 2/100 x 5 = 0.10; recipe 0002 uses preparation 002. Their colours are priced in a default region (01)
    // and another one (02).
    void Base(const QString& recalcula) {
        Sql("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('MAT', 170, '" + recalcula + "')");
        Insert("MATERIAL (CODIGO, DESCRICAO, REPOSICAO)",
               {"'Q1', 'DETERGENTE', 20", "'Q2', 'SEQUESTRANTE', 3", "'Q3', 'CORANTE AZUL', 5"});
        Sql("INSERT INTO TIPO_TING (CODIGO, DESCRICAO) VALUES ('A', 'AUXILIAR')");
        Insert("TNG_REGRA (CODIGO, DESCRICAO, TIPO, ORDEM)",
               {"'001', 'SAL POR PESO', 'P', 1", "'001', 'SAL POR PESO', 'P', 2"});
        Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('02', 'MEDIO', 8)");
        Sql("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'ALGODAO')");
        Insert("PREPARACAO (CODIGO, DESCRICAO, MATERIAL, UNIDADE, ORDEM, QTDE, REGRA, TIPO, PASSO, FIBRA)",
               {"'001', 'PURGA', 'Q1', 'GL', 1, 1.5, '', 'A', '', ''",
                "'001', 'PURGA', 'Q2', '%', 2, 1, '', 'A', '', ''",
                "'002', 'MONTAGEM', 'Q2', 'GL', 1, 4, '001', 'A', '', ''"});
        Insert("RECEITA (CODIGO, COR, PREPARACAO, VARIANTE, COD_BANHO, CUSTO)",
               {"'0001', 'C1', '001', '01', '02', 9.99", "'0002', 'C2', '002', '01', '02', 9.99"});
        Insert("MAT_TIN (RECEITA, VARIANTE, CODIGO, UNIDADE, QTDE, TP_ITEM)",
               {"'0001', '01', 'Q3', '%', 2, 'M'"});
        Insert("REGIAO (REGIAO, PADRAO)", {"'01', 'S'", "'02', 'N'"});
        Insert("TABPRECO (REGIAO, COR, VARIANTE, LIBERADO)",
               {"'01', 'C1', '01', 'S'", "'02', 'C1', '01', 'S'", "'01', 'C2', '01', 'S'"});
        Commit();
        driver->Open("TFmCadPrepara");
    }
    QString Itens(const QString& codigo) {
        return Seen("SELECT ORDEM, MATERIAL, UNIDADE, QTDE, TIPO, REGRA FROM PREPARACAO WHERE "
                    "CODIGO = '" +
                    codigo + "' ORDER BY ORDEM");
    }
    QString Receitas() {
        return Seen("SELECT R.CODIGO, R.CUSTO, T.REGIAO, T.LIBERADO FROM RECEITA R JOIN TABPRECO T ON "
                    "(T.COR = R.COR) ORDER BY 1, 3");
    }
    void Abre(const QString& codigo) { TypeAndTab("EdtCodPrep", codigo); }
    void Celula(int linha, const QString& campo, const QString& texto) {
        Cells("DBGrid1", linha, {{campo, texto}});
    }

private slots:
    void saveLogsInclusionOrAlterationAndLeavesRecipesAlone();
    void recalculationJoinsTheSaveAndItsFailureUndoesBoth();
    void duplicateTakesTheNextCodeAndDeleteIsRefusedWhileInUse();
    void gridChecksCodesOnTab();
};

void TstCadPrepara::saveLogsInclusionOrAlterationAndLeavesRecipesAlone() {
    Base("N");
    const QString receitas = Receitas();
    driver->Click("BtGravar");
    QCOMPARE(messages.Texts(), QStringList{"Código inválido."});

    Abre("005");
    driver->Type("EdtDescricao", "NOVA");
    Celula(0, "ORDEM", "1");
    Celula(0, "MATERIAL", "Q3");
    Celula(0, "QTDE", "2,5");
    Celula(1, "ORDEM", "2"); // no product: left out
    Celula(1, "UNIDADE", "GL");
    driver->Click("BtGravar");
    QCOMPARE(Itens("005"), "1|Q3||2.5||");
    QCOMPARE(driver->Text("EdtCodPrep"), QString());
    QCOMPARE(driver->Rows("DBGrid1"), 0);

    Abre("001");
    QCOMPARE(driver->Text("EdtDescricao"), "PURGA");
    Celula(0, "QTDE", "3");
    driver->Click("BtGravar");
    QCOMPARE(Itens("001"), "1|Q1|GL|3|A|;2|Q2|%|1|A|");
    QCOMPARE(AuditRows(), (QStringList{"CADASTRO DE PREPARACAO|INCLUSAO DE PREPARACAO 005|0|005",
                                       "CADASTRO DE PREPARACAO|ALTERACAO DE PREPARACAO 001|1|001"}));
    QCOMPARE(Receitas(), receitas);
    QCOMPARE(messages.Texts(), QStringList{"Código inválido."});
}

void TstCadPrepara::recalculationJoinsTheSaveAndItsFailureUndoesBoth() {
    Base("S");
    // Recipe 0001 at 3 g/l of Q1: 3 x 8 / 1000 x 20 = 0.48, 1 % of Q2: 1/100 x 3 = 0.03, its own 0.10.
    Abre("001");
    Celula(0, "QTDE", "3");
    driver->Click("BtGravar");
    QCOMPARE(Receitas(), "0001|0.61|01|N;0001|0.61|02|S;0002|9.99|01|S");
    QCOMPARE(AuditRows().mid(1), QStringList{"ALTERACAO DE RECEITA|RECALCULO PREPARACAO 001|1|001"});

    Sql("CREATE EXCEPTION E_RECEITA 'Receita bloqueada'");
    Sql("CREATE TRIGGER T_RECEITA FOR RECEITA BEFORE UPDATE AS BEGIN EXCEPTION E_RECEITA; END");
    Commit();
    Abre("001");
    Celula(0, "QTDE", "5");
    driver->Click("BtGravar");
    QVERIFY2(messages.LastText().contains("Receita bloqueada"), qPrintable(messages.LastText()));
    QCOMPARE(Itens("001"), "1|Q1|GL|3|A|;2|Q2|%|1|A|");
    QCOMPARE(Receitas(), "0001|0.61|01|N;0001|0.61|02|S;0002|9.99|01|S");
    QCOMPARE(AuditRows().size(), 2);
}

void TstCadPrepara::duplicateTakesTheNextCodeAndDeleteIsRefusedWhileInUse() {
    Base("N");
    Abre("001");
    messages.questions.enqueue(false);
    driver->Click("BtDuplicar");
    messages.questions.enqueue(true);
    driver->Click("BtDuplicar");
    QCOMPARE(messages.Texts(), QStringList{"Duplicado."});
    QCOMPARE(driver->Text("EdtCodPrep"), "003");
    QCOMPARE(driver->Text("EdtDescricao"), "PURGA");
    QCOMPARE(Itens("003"), kItens001);
    QCOMPARE(Itens("001"), kItens001);
    QVERIFY(AuditRows().isEmpty());
    driver->Click("BtGravar"); // the copy is what the screen loaded: it saves over it as an alteration
    QCOMPARE(AuditRows(), QStringList{"CADASTRO DE PREPARACAO|ALTERACAO DE PREPARACAO 003|1|003"});

    Abre("001");
    driver->Click("BtExcluir");
    QCOMPARE(messages.LastText(), "Preparação em uso na Receita 0001. Impossível Excluir.");
    Abre("003");
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Itens("003"), QString());
    QCOMPARE(Itens("001"), kItens001);
    QCOMPARE(AuditRows().last(), "CADASTRO DE PREPARACAO|EXCLUSAO DE PREPARACAO 003|2|003");
}

void TstCadPrepara::gridChecksCodesOnTab() {
    Base("N");
    Abre("001");
    const struct {
        const char *campo, *texto, *mensagem, *valor, *descricao, *campoDescricao;
    } casos[] = {
        {"MATERIAL", "Q3", "", "Q3", "CORANTE AZUL", "DESC_MAT"},
        {"MATERIAL", "X9", "Material não cadastrado.", "", "", "DESC_MAT"},
        {"TIPO", "Z", "Tipo de Tingimento Inválido.", "", "", "TIPO"}, // a kind has no description column
        {"REGRA", "001", "", "001", "SAL POR PESO", "DESC_REGRA"},
        {"REGRA", "999", "Regra de cálculo inválida.", "", "", "DESC_REGRA"},
    };
    // Tab past the last column goes on to the next row: the first one is read.
    auto valor = [this](const QString& campo) {
        driver->Row("DBGrid1", 0);
        return driver->Value("DBGrid1", campo);
    };
    for (const auto& caso : casos) {
        messages.Clear();
        Celula(0, caso.campo, caso.texto);
        QCOMPARE(messages.LastText(), QString::fromUtf8(caso.mensagem));
        QCOMPARE(valor(caso.campo), QString::fromUtf8(caso.valor));
        QCOMPARE(valor(caso.campoDescricao), QString::fromUtf8(caso.descricao));
    }
    Celula(0, "REGRA", "001");
    messages.Clear();
    Celula(0, "REGRA", ""); // a blank rule is accepted
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(valor("DESC_REGRA"), QString());
}

QTEST_MAIN(TstCadPrepara)
#include "tst_cadprepara.moc"
