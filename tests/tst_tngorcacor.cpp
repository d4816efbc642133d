// The finishing quotation against the database: items priced as typed, a save asking every question first
// and written as one unit (a "Não", a failing insert, another user's save in between), the duplicate, the
// posting into the price table (new rows, the last price kept, a product's row untouched, refusals, a
// failure half-way) and the print shop's cost.
#include "TestDatabase.h"
#include <QTest>

class TstTngOrcaCor : public ScreenTestCase {
    Q_OBJECT

    // Customer 00001 in region R1 with parameters: taxes 20 %, margin 20 %, a minute at 1 shared by 270 kg;
    // A1/01 dyed in 4:30 with a recipe costing 2 (costs 1 + 2 = 3, price 3 / 0.6 = 5.00); A2/01 has no
    // recipe. Route F1 runs phases 03 and 07, priced for the customer at 7.90 and 1.65. Customer 00002 has
    // neither parameters nor region.
    void Base() {
        InsertCommit("REGIAO (REGIAO, DESCRICAO)", {"'R1', 'SUL'"});
        InsertCommit("ENTIDADE (CODCLI, NOME, TABELA, CONDICAO)",
                     {"'00001', 'MALHARIA UM', 'R1', '30/60'", "'00002', 'MALHARIA DOIS', NULL, NULL"});
        InsertCommit("PRECO_PARAM (CODIGO, ICMS, MARGEM, CUSTO_MIN, VOLUME)", {"'00001', 20, 20, 1, 270"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO, COR_SIS)",
                     {"'A1', 'AZUL', 255", "'A2', 'AMARELO', NULL"});
        InsertCommit("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'"});
        InsertCommit("GRAFICO (CODIGO, DESCRICAO, TEMPO)", {"'G1', 'REATIVO', '04:30'"});
        InsertCommit("RECEITA (CODIGO, DESCRICAO, VARIANTE, COR, GRAFICO, CUSTO)",
                     {"'0001', 'AZUL', '01', 'A1', 'G1', 2"});
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'03', 'TINGIMENTO'", "'05', 'LAVAGEM'", "'07', 'RAMA'"});
        InsertCommit("ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE)",
                     {"'F1', 'TINTO', 1, '03'", "'F1', 'TINTO', 2, '07'"});
        InsertCommit("TABPRE_SERV_001 (CODCLI, FASE, DESCRICAO, CUSTO)",
                     {"'00001', '03', 'TINGIMENTO', 7.9", "'00001', '07', 'RAMA', 1.65"});
        InsertCommit("TABPRECO (REGIAO, COR, VARIANTE, CODIGO, PRECO_00, ULT_PRECO)",
                     {"'R1', 'A1', '01', '', 14.5, 13", "'R1', 'A1', '01', 'P1', 20, 19"});
    }
    // Quotation 000001 of 00001 stored: A1/01 twice and A2/01, services 03 and 05 (no longer priced).
    void Gravado() {
        InsertCommit("ORCAMENTO (NUMERO, CODCLI, OBS, SITUACAO, DATA)",
                     {"'000001', '00001', 'VERAO', '0', '2026-12-01'"});
        InsertCommit(
            "ORCA_ITEN (NUMERO, ORDEM, COR, VARIANTE, SERVICO, INDICE, CUSTO_QUIM, CUSTO_TING, FIXO, "
            "PEDIDO, PRECO)",
            {"'000001', 1, 'A1', '01', 'F1', 20, 2, 1, 0, 'N', 5",
             "'000001', 2, 'A2', '01', '', 20, 0, 0, 0, "
             "'N', 0",
             "'000001', 3, 'A1', '01', '', 20, 2, 1, 0, 'N', 5.5"});
        InsertCommit("ORCA_FLUXO (NUMERO, DEPOSITO)", {"'000001', '03'", "'000001', '05'"});
    }
    QString Itens(const QString& numero = "000001") {
        return Seen(
            "SELECT ORDEM, COR, VARIANTE, SERVICO, INDICE, CUSTO_QUIM, CUSTO_TING, PEDIDO, PRECO FROM "
            "ORCA_ITEN WHERE NUMERO = '" +
            numero + "' ORDER BY ORDEM");
    }
    void Carrega(const QString& numero = "000001") {
        driver->Open("TFmTngOrcaCor");
        TypeAndTab("EdtNumero", numero);
    }

private slots:
    void precificaEGrava() {
        Base();
        Carrega("");
        QCOMPARE(driver->Text("EdtNumero"), QString("000001"));
        TypeAndTab("EdtCodCli", "00001");
        QCOMPARE(driver->Text("EdtTab") + " " + driver->Text("EdtCondicao"), QString("R1 30/60 dias"));
        Cells("DBGrid3", 0, {{"Codigo", "05"}});
        QCOMPARE(TakeMessages(), QString("Preço do Serviço não cadastrado."));
        Cells("DBGrid3", 0, {{"Codigo", "03"}});
        Cells("DBGrid3", 1, {{"Codigo", "07"}});
        Cells("DBGrid1", 0, {{"Cor", "A1"}, {"Variante", "01"}, {"Fluxo", "F1"}});
        Cells("DBGrid1", 1, {{"Cor", "A2"}, {"Variante", "01"}});
        Cells("DBGrid1", 2, {{"Cor", "A1"}, {"Variante", "01"}, {"Fixo", "1"}});
        Cells("DBGrid1", 2, {{"Cor", "A1"}, {"Variante", "01"}}); // Tab through: the typed fixed cost stays
        QCOMPARE(TakeMessages(), QString());
        // The table's price is the colour's own row, not the product's; services along F1 only.
        QCOMPARE(FieldTexts("TbItens", "Preco_Tab|Tempo|Preco|Servicos|PrecoTotal").join(' '),
                 QString("14.5|1|5|9.55|14.55 |0|0|0|0 14.5|1|6.67|0|6.67"));
        QCOMPARE(driver->Text("EdtPrecoMedio"), QString("3,89"));
        Cells("DBGrid1", 3, {{"Cor", "A1"}, {"Variante", "XX"}});
        QCOMPARE(TakeMessages(), QString("Variante Inválida."));
        QCOMPARE(FieldText("TbItens", 3, "Variante|Preco"), QString("|"));
        QCOMPARE(ClickMessages("BitBtn1"), QString("Item 4: informe a variante da cor A1."));
        driver->Press("Ctrl+Del", "DBGrid1");
        // Left by a click, not by Tab: the service is refused as the row is left, the item checked and
        // priced at the save.
        driver->Row("DBGrid3", 2);
        TypeInCell("DBGrid3", "Codigo", "05");
        driver->Row("DBGrid3", 0);
        QCOMPARE(TakeMessages(), QString("Preço do Serviço não cadastrado."));
        driver->Row("DBGrid1", 3);
        EditaCelula("DBGrid1", "Cor", "A2");
        EditaCelula("DBGrid1", "Variante", "01");

        // "Não" at the question: nothing stored; "Sim Todos" asks no more.
        messages.choices << 1;
        driver->Click("BitBtn1");
        QCOMPARE(Count("ORCAMENTO"), 0);
        driver->Type("EdtObs", "COR D'ÁGUA");
        messages.choices << 2;
        driver->Click("BitBtn1");
        QCOMPARE(Scalar("SELECT OBS FROM ORCAMENTO").toString(), QString("COR D'ÁGUA"));
        QCOMPARE(CountShown("choice"), 2);
        QCOMPARE(driver->Text("EdtNumero"), QString());
        QCOMPARE(Itens(), QString("1|A1|01|F1|59.38|2|1|N|5;2|A2|01||20|0|0|N|0;3|A1|01||20.03|2|1|N|6.67;4|"
                                  "A2|01||20|0|0|N|0"));
        const QStringList guardado = Snapshot({"ORCAMENTO", "ORCA_ITEN", "ORCA_FLUXO"});

        // Loaded again: a later "Não", a failing last insert and another user's save each leave it stored.
        TypeAndTab("EdtNumero", "1");
        Cells("DBGrid1", 3, {{"Cor", "A2"}, {"Variante", "01"}});
        messages.choices << 0 << 1;
        driver->Click("BitBtn1");
        QCOMPARE(Snapshot({"ORCAMENTO", "ORCA_ITEN", "ORCA_FLUXO"}), guardado);
        FailWhen("ORCA_ITEN", "BEFORE INSERT", "NEW.ORDEM = 4");
        messages.choices << 2;
        driver->Click("BitBtn1");
        QVERIFY(!Errors().isEmpty());
        StopFailing();
        QCOMPARE(Snapshot({"ORCAMENTO", "ORCA_ITEN", "ORCA_FLUXO"}), guardado);
        ByOther("UPDATE ORCA_ITEN SET PRECO = 7 WHERE NUMERO = '000001' AND ORDEM = 1");
        TakeMessages();
        messages.choices << 2;
        driver->Click("BitBtn1");
        QVERIFY(TakeMessages().contains("alterado por outro usuário"));
        QCOMPARE(Itens().section(';', 0, 0), QString("1|A1|01|F1|59.38|2|1|N|7"));
    }

    void duplicaELancaPrecos() {
        Base();
        Gravado();
        Carrega();
        QCOMPARE(driver->Text("EdtNomCli"), QString("MALHARIA UM"));
        QCOMPARE(TakeMessages() + FieldTexts("TbServico", "Codigo|Custo").join(' '), QString("03|7.9 05|0"));
        // Stored margin replaced by what the price leaves once the service is added (5 + 7.90).
        QCOMPARE(FieldText("TbItens", 0, "Servicos|PrecoTotal"), QString("7.9|12.9"));

        messages.inputs << QString("99999");
        driver->Click("BitBtn4");
        QCOMPARE(TakeMessages(), QString("Cliente inválido."));
        messages.inputs << QString("00002");
        driver->Click("BitBtn4");
        QCOMPARE(TakeMessages(), QString("Orçamento 000002 gerado para o cliente 00002."));
        QCOMPARE(Seen("SELECT CODCLI, SITUACAO, OBS FROM ORCAMENTO WHERE NUMERO = '000002'"),
                 QString("00002|0|VERAO"));
        QCOMPARE(Itens("000002"), Itens());
        QCOMPARE(Count("ORCA_FLUXO", "NUMERO = '000002'"), 0);

        const QStringList antes = Snapshot({"TABPRECO", "ORCA_ITEN"});
        const auto recusa = [&](const QString& texto) {
            QCOMPARE(ClickMessages("BitBtn6"), texto);
            QCOMPARE(Snapshot({"TABPRECO", "ORCA_ITEN"}), antes);
        };
        Tick("DBGrid1", 0, "Sel");
        Tick("DBGrid1", 2, "Sel");
        recusa("Cor A1 na variante 01 selecionada mais de uma vez.");
        Tick("DBGrid1", 2, "Sel", false);
        Tick("DBGrid1", 1, "Sel");
        recusa("Cor A2 na variante 01 sem preço calculado.");
        // An edit not stored yet is saved first, or nothing is posted.
        Cells("DBGrid1", 1, {{"Preco", "4,5"}});
        messages.questions << false;
        recusa(QString());
        // The second row inserts a new price: its failure undoes the first's update.
        FailWhen("TABPRECO", "BEFORE INSERT", "1 = 1");
        messages.questions << true;
        messages.choices << 2;
        QVERIFY(ClickMessages("BitBtn6").startsWith("Ocorreu um erro na operação."));
        StopFailing();
        QCOMPARE(Seen("SELECT PRECO_00, ULT_PRECO FROM TABPRECO WHERE COR = 'A1' ORDER BY CODIGO"),
                 QString("14.5|13;20|19"));
        QCOMPARE(ClickMessages("BitBtn6"), QString("Preços Lançados na Tabela de Preços."));
        // The colour's own row keeps its old price; the product's row is left alone; A2's row is new.
        QCOMPARE(Seen("SELECT COR, CODIGO, DESCRICAO, PRECO_00, PRECO_07, PRECO_21, ULT_PRECO, LIBERADO FROM "
                      "TABPRECO ORDER BY COR, CODIGO"),
                 QString("A1|||5|||14.5|S;A1|P1||20|||19|S;A2||MALHARIA UM|4.5|4.5|4.5||S"));
        QCOMPARE(FieldTexts("TbItens", "Aprovado").join(' '), QString("S S S"));
        QCOMPARE(driver->Value("DBGrid1", "Aprovado") + driver->Value("DBGrid1", "Sel"), QString("SN"));
        QCOMPARE(Seen("SELECT PEDIDO FROM ORCA_ITEN WHERE NUMERO = '000001' ORDER BY ORDEM"),
                 QString("S;S;S"));

        // The copy found by its customer's group and colour, loaded by a double click; the original is
        // confirmed, so a search of the pending ones leaves it out.
        Sql("UPDATE ORCAMENTO SET SITUACAO = '1' WHERE NUMERO = '000001'");
        InsertCommit("GRUPO_CLI (CODIGO, DESCRICAO)", {"'G1', 'MALHARIAS'"});
        SqlCommit("UPDATE ENTIDADE SET GRUPO = 'G1'");
        driver->Page("PageControl1", "Consulta");
        driver->Type("EdtDataIni", "01/01/2000");
        TypeAndTab("EdtGrupoCons", "G1");
        TypeAndTab("EdtCorCons", "A2");
        driver->Select("RgSituacao", "Pendentes");
        driver->Click("BitBtn9");
        QCOMPARE(FieldTexts("DBGrid2", "NUMERO|CODCLI").join(' '), QString("000002|00002"));
        driver->DoubleClick("DBGrid2");
        QCOMPARE(driver->Text("EdtNumero") + " " + driver->Text("EdtNomCli"),
                 QString("000002 MALHARIA DOIS"));

        // Without a price region nothing can be posted.
        Tick("DBGrid1", 0, "Sel");
        QCOMPARE(ClickMessages("BitBtn6"),
                 QString("Cliente sem tabela de preços: informe a região no cadastro do cliente."));
    }

    void semParametrosPercentuaisEEstampa() {
        Base();
        InsertCommit("PRECO_PARAM (CODIGO, ICMS, MARGEM)", {"'00002', 60, 40"});
        InsertCommit("MATERIAL (CODIGO, DESCRICAO, REPOSICAO)", {"'P1', 'PASTA', 0", "'C1', 'CORANTE', 10"});
        InsertCommit("COMP_MATERIAL (MATERIAL, CODIGO, ORDEM, PERC)", {"'P1', 'C1', 1, 50"});
        InsertCommit("EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO, PRODUTO, CONSUMO)",
                     {"'A1', '01', 1, 'Q1', 'P1', 30", "'A1', '01', 2, 'Q2', 'P1', 20"});
        Carrega("");
        TypeAndTab("EdtCodCli", "00002");
        Cells("DBGrid1", 0, {{"Cor", "A1"}, {"Variante", "01"}});
        QCOMPARE(TakeMessages(), QString("Percentuais somam 100% ou mais. Preço não calculado."));
        QCOMPARE(FieldText("TbItens", 0, "Preco|SemPreco"), QString("0|S"));
        Cells("DBGrid1", 1, {{"Cor", "A2"}, {"Variante", "01"}});
        TakeMessages();
        driver->Menu("BuscarCustoEstampa1");
        QCOMPARE(TakeMessages(), QString("Estampa sem quadros cadastrados."));
        // 50 g of a paste at 50 % × 10 = 500 per kilogram of paste, over 1000.
        TypeAndTab("EdtCodCli", "00001");
        driver->Row("DBGrid1", 0);
        driver->Menu("BuscarCustoEstampa1");
        QCOMPARE(FieldText("TbItens", 0, "Quimico|Preco|SemPreco"), QString("25|43.33|N"));
    }
};

QTEST_MAIN(TstTngOrcaCor)
#include "tst_tngorcacor.moc"
