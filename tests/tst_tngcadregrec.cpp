// The calculation-rule screen: lines saved wholesale in grid order, duplicate, delete and look-ups by kind.
// Lines changed by another user since they were loaded are in tst_tngroteiro, with the other detail screens.
#include "DBControls.h"
#include "TestDatabase.h"
#include <QTest>

class TstTngCadRegRec : public ScreenTestCase {
    Q_OBJECT
    const QString kGravada = "1|P||0|50|70|SAL;2|C|00002|0|0|3|SAL;3|M|03|0|0|1.5|SAL";

    void Base() {
        Sql("INSERT INTO TABLIN (CODIGO, DESCRICAO) VALUES ('01', 'MALHARIA')");
        Sql("INSERT INTO GRUPO_MA (CODIGO, DESCRICAO) VALUES ('001', 'CORANTES')");
        Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00002', 'CLIENTE DOIS')");
        Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO) VALUES ('03', 'JET 03')");
        Sql("INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('PA01', 'MALHA PA')");
        // Stored out of order: only an ordered read shows them 1, 2, 3.
        Insert("TNG_REGRA (CODIGO, DESCRICAO, TIPO, LINHA, ORDEM, QTDE_DE, QTDE_ATE, QTDE_R)",
               {"'001', 'SAL', 'M', '03', 3, 0, 0, 1.5", "'001', 'SAL', 'P', '', 1, 0, 50, 70",
                "'001', 'SAL', 'C', '00002', 2, 0, 0, 3", "'002', 'SODA', 'L', '01', 1, 0, 0, 2"});
        Commit();
        driver->Open("TFmTngCadRegRec");
    }
    // The stored lines of a rule, in order, as "ORDEM|TIPO|LINHA|DE|ATE|R|DESCRICAO;...".
    QString Gravada(const QString& codigo = "001") {
        return Seen("SELECT ORDEM, TIPO, LINHA, QTDE_DE, QTDE_ATE, QTDE_R, DESCRICAO FROM TNG_REGRA "
                    "WHERE CODIGO = '" +
                    codigo + "' ORDER BY ORDEM");
    }
    QStringList Auditoria() { return AuditRows("TITULO = 'REGRA'"); }

private slots:
    void linesLoadInOrderAndSaveRenumberedWithoutBlanks() {
        Base();
        TypeAndTab("EdtCodigo", "001");
        QCOMPARE(driver->Text("EdtDescricao"), "SAL");
        QCOMPARE(TextoGrade("DBGrid1"), "1|P|||0|50|70;2|C|00002|CLIENTE DOIS|0|0|3;3|M|03|JET 03|0|0|1,5");

        driver->Row("DBGrid1", 1);
        driver->Press("Insert"); // left blank: not stored
        driver->Row("DBGrid1", 0);
        driver->Press("Ctrl+Del");
        Cells("DBGrid1", 3, {{"Tipo", "L"}, {"Codigo", "01"}, {"Qtde_R", "4"}});
        driver->Row("DBGrid1", 4); // a last blank line
        driver->Type("EdtDescricao", "SAL NOVO");
        QCOMPARE(ClickMessages("BitBtn1"), QString());
        const QString salNovo = "1|C|00002|0|0|3|SAL NOVO;2|M|03|0|0|1.5|SAL NOVO;3|L|01|||4|SAL NOVO";
        QCOMPARE(Gravada(), salNovo);
        QCOMPARE(Auditoria(), QStringList{"REGRA|ALTERACAO DA REGRA 001|1|001"});

        // Without a code nothing is saved; the box left empty takes the next code. A code not stored keeps
        // the lines shown: saved under it as a new rule, the rule loaded left as stored.
        driver->Type("EdtCodigo", "");
        QCOMPARE(ClickMessages("BitBtn1"), "Código inválido.");
        driver->Type("EdtCodigo", "");
        driver->Focus("DBGrid1");
        QCOMPARE(driver->Text("EdtCodigo"), "003");
        TypeAndTab("EdtCodigo", "009");
        driver->Type("EdtDescricao", "NOVA");
        Cells("DBGrid1", 0, {{"Tipo", "X"}, {"Codigo", ""}}); // stored as typed
        driver->Click("BitBtn1");
        QCOMPARE(Gravada("009"), "1|X||0|0|3|NOVA;2|M|03|0|0|1.5|NOVA;3|L|01|||4|NOVA");
        QCOMPARE(Gravada(), salNovo);
        QCOMPARE(Seen("SELECT COUNT(*) FROM TNG_REGRA WHERE CODIGO = '009' AND LINHA = ''"),
                 "1"); // not a null
        QCOMPARE(Auditoria().last(), "REGRA|INCLUSAO DA REGRA 009|0|009");
    }

    void saveIsOneUnitOfWork() {
        Base();
        FailWhen("TNG_REGRA", "BEFORE INSERT", "NEW.LINHA = 'FALHA'");
        TypeAndTab("EdtCodigo", "001");
        Cells("DBGrid1", 2,
              {{"Codigo", "FALHA"}}); // the third insert fails, after the delete and two inserts
        driver->Click("BitBtn1");
        QCOMPARE(messages.shown.last().icon, MsgIcon::Error);
        QCOMPARE(Gravada(), kGravada);
        QVERIFY(Auditoria().isEmpty());
        QCOMPARE(driver->Rows("DBGrid1"), 3); // the lines typed stay to be mended

        // Emptied after a load, the grid deletes the rule.
        driver->Press("Tab", "EdtCodigo");
        for (int i = 0; i < 3; ++i)
            driver->Press("Ctrl+Del", "DBGrid1");
        messages.Clear();
        QCOMPARE(ClickMessages("BitBtn1"), QString());
        QCOMPARE(Gravada(), QString());
        QCOMPARE(Auditoria(), QStringList{"REGRA|ALTERACAO DA REGRA 001|1|001"});
        driver->Click("BitBtn1"); // nothing loaded and nothing typed: nothing to save
        QCOMPARE(messages.LastText(), "Nenhuma linha para gravar.");
    }

    void duplicateCopiesTheGridUnderANewCode() {
        Base();
        TypeAndTab("EdtCodigo", "001");
        Cells("DBGrid1", 2, {{"Qtde_R", "8"}}); // not saved: the copy takes it, the source does not
        ClickAndAnswer("BitBtn5", false);
        QCOMPARE(Gravada("003"), QString());

        ClickAndAnswer("BitBtn5", true);
        QCOMPARE(driver->Text("EdtCodigo"), "003");
        QCOMPARE(Gravada("003"), "1|P||0|50|70|SAL;2|C|00002|0|0|3|SAL;3|M|03|0|0|8|SAL");
        QCOMPARE(Gravada(), kGravada);
        QCOMPARE(Auditoria(), QStringList{"REGRA|REGRA 001 DUPLICADA PARA 003|0|003"});
    }

    void ruleInUseIsWarnedAboutButDeleted() {
        Base();
        Sql("INSERT INTO MAT_TIN (RECEITA, VARIANTE, CODIGO, REGRA) VALUES ('0001', '01', 'SAL', '001')");
        Sql("INSERT INTO COMP_MATERIAL (MATERIAL, CODIGO, REGRA) VALUES ('PASTA', 'SAL', '001')");
        Commit();
        TypeAndTab("EdtCodigo", "001");
        ClickAndAnswer("BitBtn4", false);
        QCOMPARE(
            messages.shown.last().text,
            QStringLiteral("Atenção!\n\rRegra em uso no cadastro de receitas.\n\rAtenção!\n\rRegra em uso no "
                           "cadastro de composição.\n\rDeseja excluir este registro?"));
        QCOMPARE(Gravada(), kGravada);
        QVERIFY(Auditoria().isEmpty());

        ClickAndAnswer("BitBtn4", true);
        QCOMPARE(Gravada(), QString());
        QCOMPARE(Seen("SELECT REGRA FROM MAT_TIN"), "001");
        QCOMPARE(Auditoria(), QStringList{"REGRA|EXCLUSAO DA REGRA 001|2|001"});
    }

    // Kind, code, table looked up, description.
    void lookUpsAndDescriptionsByKind_data() {
        QTest::addColumn<QStringList>("caso");
        QTest::newRow("linha") << QStringList{"L", "01", "TABLIN", "MALHARIA"};
        QTest::newRow("grupo") << QStringList{"G", "001", "GRUPO_MA", "CORANTES"};
        QTest::newRow("cliente") << QStringList{"C", "00002", "ENTIDADE", "CLIENTE DOIS"};
        QTest::newRow("máquina") << QStringList{"M", "03", "MAQ_TIN", "JET 03"};
        QTest::newRow("produto") << QStringList{"P", "PA01", "PRODUTO", "MALHA PA"};
        QTest::newRow("minúscula") << QStringList{"m", "03", "MAQ_TIN", "JET 03"};
    }

    void lookUpsAndDescriptionsByKind() {
        QFETCH(QStringList, caso);
        const QString tipo = caso[0], codigo = caso[1], tabela = caso[2], descricao = caso[3];
        Base();
        TypeAndTab("EdtCodigo", "002");
        driver->Row("DBGrid1", 1);
        auto* grade = driver->Get<TZoDBGrid>("DBGrid1");
        driver->Cell("DBGrid1", "Tipo", tipo);
        driver->Cell("DBGrid1", "Codigo", codigo); // Tab fills the description
        QCOMPARE(driver->Value("DBGrid1", "Descricao"), descricao);

        grade->SelectField("Codigo");
        messages.searches.enqueue(codigo);
        driver->Press("F4", "DBGrid1");
        QCOMPARE(messages.shown.last().text, tabela);
        QCOMPARE(driver->Value("DBGrid1", "Codigo"), codigo);
        QCOMPARE(driver->Value("DBGrid1", "Descricao"), descricao);

        driver->Cell("DBGrid1", "Tipo", "X");
        grade->SelectField("Codigo");
        driver->Press("F4", "DBGrid1");
        QCOMPARE(messages.Texts(), QStringList{"Tipo inválido"});
    }
};

QTEST_MAIN(TstTngCadRegRec)
#include "tst_tngcadregrec.moc"
