// The print shop's screens of a design: the paste cost and which rows may be stored as tables, and the
// register against the database: load, save (a quote in a remark, blank rows, a blank order, a failing
// insert), duplicate to another variant, import and delete, each one unit with its audit line.
#include "FichaEstampa.h"
#include "LocalSettings.h"
#include "PortaBalanca.h"
#include "RegrasEstamparia.h"
#include "SimuladorBalanca.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TstTngConsEst : public ScreenTestCase {
    Q_OBJECT

    // Design D1, variant 01 with two screens; paste P1 of C1 (0.5 at 10) and C2 (0.5 at 20, two immediate
    // substitutes: A at 4 and B at 1, the first by code counts); paste P2 without composition.
    void Base() {
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO)", {"'D1', 'FLORAL'", "'D2', 'XADREZ'"});
        InsertCommit("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'BASE'", "'02', 'ESCURA'"});
        InsertCommit("QUADRO (CODIGO, DESCRICAO, LOCAL, ESPESSURA)",
                     {"'Q1', 'FUNDO', 'R1', '0,5'", "'Q2', 'FLOR', 'R2', '0,5'"});
        InsertCommit("MATERIAL (CODIGO, DESCRICAO, REPOSICAO)",
                     {"'P1', 'PASTA AZUL', 0", "'P2', 'PASTA CRUA', 0", "'C1', 'CORANTE', 10",
                      "'C2', 'ESPESSANTE', 20", "'A', 'ESPESSANTE A', 4", "'B', 'ESPESSANTE B', 1"});
        InsertCommit("COMP_MATERIAL (MATERIAL, CODIGO, ORDEM, PERC)",
                     {"'P1', 'C1', 1, 0.5", "'P1', 'C2', 2, 0.5"});
        InsertCommit("CONTRATIPO (MATERIAL, CODIGO, CONCENT, ATIVO, IMEDIATO)",
                     {"'C2', 'B', 100, 'S', 'S'", "'C2', 'A', 100, 'S', 'S'"});
        InsertCommit("EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO, PRODUTO, CONSUMO)",
                     {"'D1', '01', 1, 'Q1', 'P1', 0.3", "'D1', '01', 2, 'Q2', 'P2', 0.1"});
    }
    QString Quadros(const QString& variante = "01") {
        return Seen("SELECT ORDEM, QUADRO, PRODUTO, CONSUMO, OBS FROM EST_QUADRO WHERE ESTAMPA = 'D1' AND "
                    "VARIANTE = '" +
                    variante + "' ORDER BY ORDEM");
    }
    void Abre() {
        driver->Open("TFmTngConsEst");
        TypeAndTab("EdtEstampa", "D1");
        TypeAndTab("EdtVariante", "01");
    }

private slots:
    void regras() {
        const CustoDaPasta custo = CustoPasta({{0.5, 10, 0}, {0.5, 20, 4}, {0.25, 8, 0}});
        QCOMPARE(custo.custo, 17.0);
        QCOMPARE(custo.custoContratipo, 9.0);
        const struct {
            QList<LinhaQuadro> linhas;
            const char* resultado;
        } casos[] = {{{{0, "Q1", "P1"}, {0, "", "", true, true, true}, {5, "Q2", "P1"}}, "1 5"},
                     {{{2, "Q1", "P1"}, {0, "Q2", "P1"}}, "Linha 2: a ordem 2 se repete."},
                     {{{1, "Q9", "P1", false}}, "Linha 1: quadro Q9 não cadastrado."},
                     {{{1, "Q1", "P9", true, false}}, "Linha 1: material P9 não cadastrado."},
                     {{{1, "", "P1"}}, "Linha 1: informe o quadro e o material."}};
        for (const auto& caso : casos) {
            const QuadrosAGravar q = ConfereQuadros(caso.linhas);
            QStringList ordens;
            for (const LinhaQuadro& l : q.linhas)
                ordens << QString::number(l.ordem);
            QCOMPARE(q.recusa.isEmpty() ? ordens.join(' ') : q.recusa, QString(caso.resultado));
        }
    }

    void carregaGravaFalhaEExclui() {
        Base();
        Abre();
        QCOMPARE(FieldTexts("TbConsumo", "Ordem|Quadro|Codigo|Custo|Local").join(' '),
                 QString("1|Q1|P1|15|R1 2|Q2|P2|0|R2"));
        QCOMPARE(driver->Text("EdtCustoCT"), QString("7,0000")); // 0.5 × 10 + 0.5 × 4
        // A remark with a quote, the second row's order left blank, a blank row at the end.
        Cells("DBGrid1", 0, {{"Obs", "D'AGUA"}});
        Cells("DBGrid1", 1, {{"Consumo", "0,25"}});
        EditaCelula("DBGrid1", "Ordem", QVariant());
        messages.choices << 1; // P2 costs nothing: "Não" stores nothing
        driver->Click("BtGravar");
        QCOMPARE(Quadros(), QString("1|Q1|P1|0.3|;2|Q2|P2|0.1|"));
        messages.choices << 2; // "Sim Todos"
        driver->Click("BtGravar");
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(Quadros(), QString("1|Q1|P1|0.3|D'AGUA;2|Q2|P2|0.25|"));
        QCOMPARE(LogLines("CONSUMO DA ESTAMPARIA").join(' '),
                 QString("1|ALTERACAO DA ESTAMPA NR D1 DA VARIANTE 01"));

        // The second insert fails: the rows stored stay as they were.
        FailWhen("EST_QUADRO", "BEFORE INSERT", "NEW.ORDEM = 2");
        Cells("DBGrid1", 0, {{"Consumo", "0,9"}});
        messages.choices << 2;
        driver->Click("BtGravar");
        QVERIFY(!Errors().isEmpty());
        QCOMPARE(Quadros(), QString("1|Q1|P1|0.3|D'AGUA;2|Q2|P2|0.25|"));
        StopFailing();

        // Another user's save meanwhile: nothing written over it.
        ByOther("UPDATE EST_QUADRO SET CONSUMO = 0.4 WHERE ORDEM = 1");
        TakeMessages();
        messages.choices << 2;
        driver->Click("BtGravar");
        QVERIFY(TakeMessages().contains("alterados por outro usuário"));
        QCOMPARE(Quadros(), QString("1|Q1|P1|0.4|D'AGUA;2|Q2|P2|0.25|"));

        TypeAndTab("EdtVariante", "02");
        TypeAndTab("EdtVariante", "01");
        ClickAndAnswer("BtExcluir", true);
        QCOMPARE(Quadros(), QString());
        QCOMPARE(LogLines("CONSUMO DA ESTAMPARIA").last(),
                 QString("2|EXCLUSAO DA ESTAMPA NR D1 E VARIANTE NR 01"));
    }

    void recusasImportaEDuplica() {
        Base();
        Abre();
        Cells("DBGrid1", 1, {{"Ordem", "1"}});
        QCOMPARE(ClickMessages("BtGravar"), QString("Linha 2: a ordem 1 se repete."));
        Cells("DBGrid1", 1, {{"Ordem", "2"}, {"Codigo", "P9"}});
        QCOMPARE(TakeMessages(), QString("Material não cadastrado."));
        QCOMPARE(Quadros(), QString("1|Q1|P1|0.3|;2|Q2|P2|0.1|"));

        // Duplicated onto a variant that has rows: No writes nothing, Yes replaces them, one unit.
        Cells("DBGrid1", 1, {{"Codigo", "P2"}});
        InsertCommit("EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO, PRODUTO, CONSUMO)",
                     {"'D1', '02', 7, 'Q1', 'P1', 9"});
        driver->Type("EdtVarianteDup", "02");
        ClickAndAnswer("BtDuplicar", false);
        QCOMPARE(Quadros("02"), QString("7|Q1|P1|9|"));
        ClickAndAnswer("BtDuplicar", true);
        QCOMPARE(TakeMessages(), QString("Duplicação efetuada com sucesso."));
        QCOMPARE(Quadros("02"), QString("1|Q1|P1|0.3|;2|Q2|P2|0.1|"));

        driver->Type("EdtEstampaImp", "D2");
        driver->Type("EdtVarianteImp", "01");
        QCOMPARE(ClickMessages("BtImportar"), QString("Consumos não encontrados."));
        driver->Type("EdtEstampaImp", "D1");
        driver->Type("EdtVarianteImp", "02");
        driver->Click("BtImportar");
        QCOMPARE(driver->Rows("DBGrid1"), 2);
    }

    // The print-shop sheet's writes: sheets gathered by design and variant; the write-off per component and
    // screen order, summed, beside a recipe-issue line of the same key, once; the printing under a
    // Brazilian locale.
    void fichaReuneBaixaEImprime() {
        InsertCommit("DEPOSITO (CODIGO, DESCRICAO)", {"'01', 'ESTAMPARIA'"});
        InsertCommit("MATERIAL (CODIGO, DESCRICAO, ESTOQUE)", {"'C1', 'CORANTE', 'S'", "'C2', 'AGUA', 'N'"});
        InsertCommit("MAT_ITEN (CODIGO, COR, DEPOSITO, LOTE, QTDE)", {"'C1', '0', '01', '000000', 10"});
        InsertCommit("FAL (NUMERO, ESTAMPA, VAR_EST)",
                     {"'F1', 'D1', '01'", "'F2', 'D1', '01'", "'F3', 'D1', '02'"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, ORD_IT, PESO)", {"'F1', 'T1', 1, 10", "'F2', 'T1', 1, 20"});
        InsertCommit("TNG_CONSUMOS (FAL, CODIGO, ORDEM, CONSUMO, BAIXADO)", {"'F1', 'C1', 1, 5, 'N'"});
        QString estampa, variante;
        QStringList refusals;
        for (const char* fal : {"F1", "F2", "F3", "F9"})
            refusals << ConfereFalFicha(fal, estampa, variante);
        QCOMPARE(refusals.join('|'),
                 QString("||Estampa ou variante diferente. Impossível juntar.|FAL inexistente."));
        QCOMPARE(estampa + variante, QString("D101"));

        const QStringList fals = {"F1", "F2"};
        const QList<BaixaComponente> componentes = {
            {"C1", 1, 0.5, 500}, {"C1", 1, 0.25, 250}, {"C2", 1, 1, 1000}, {"C1", 2, 0, 0}};
        QCOMPARE(BaixaFichaEstampa(fals, "99", componentes), QString("Depósito inválido."));
        QCOMPARE(BaixaFichaEstampa(fals, "01", componentes), QString("Estoque baixado com sucesso."));
        QCOMPARE(Seen("SELECT QTDE FROM MAT_ITEN") + "/" + Seen("SELECT COUNT(*), SUM(QTDE) FROM MAT_MOV"),
                 QString("9.25/1|0.75"));
        QCOMPARE(Seen("SELECT CODIGO, ORDEM, QTDE, BAIXADO FROM TNG_CONSUMOS WHERE ORIGEM = 'TE'"),
                 QString("C1|1|0.75|S"));
        QCOMPARE(BaixaFichaEstampa(fals, "01", componentes), QString("Nenhum componente a baixar."));
        QCOMPARE(BaixaFichaEstampa(fals, "01", {{"C1", 3, 20, 20000}}),
                 QString("Estoque insuficiente: C1, depósito 01, lote 000000, saldo 9,250."));
        QCOMPARE(Seen("SELECT COUNT(*) FROM MAT_MOV") + Seen("SELECT COUNT(*) FROM TNG_CONSUMOS"),
                 QString("12"));

        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        RegistraImpressaoFicha(fals, 160, 123.456, 1);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(Seen("SELECT F.NUMERO, F.SIT_EST, I.GRAMATURA_EST FROM FAL F LEFT JOIN FAL_ITEN I ON I.FAL "
                      "= F.NUMERO "
                      "ORDER BY 1"),
                 QString("F1|B|123.46;F2|B|123.46;F3||"));
        QCOMPARE(
            LogLines("FICHA DE ESTAMPARIA").join(' '),
            QString("3|IMPRESSÃO FICHA DE ESTAMPARIA. FALS: F1, F2 3|GERADO FICHA DE ESTAMPARIA COM LARGURA "
                    "160 GRAMATURA 123.456 INDICE 1. FALS: F1, F2"));
    }

    // The sheet on the screen: another variant refused, the list kept; index 0 takes the stored paste per
    // kilogram; a thickness that is no number stops; printed once, then asked again.
    void fichaNaTela() {
        Base();
        InsertCommit("FAL (NUMERO, ESTAMPA, VAR_EST)", {"'F1', 'D1', '01'", "'F2', 'D1', '02'"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, ORD_IT, PESO, LARGURA, GRAMATURA)",
                     {"'F1', 'T1', 1, 100, 1.6, 200"});
        SqlCommit("UPDATE QUADRO SET ESPESSURA = 'x' WHERE CODIGO = 'Q2'");
        QTemporaryDir saida;
        qputenv("KELM_REPORT_DIR", saida.path().toUtf8());
        driver->Open("TFmRelTngEst");
        TypeAndTab("EdtFal", "F1");
        TypeAndTab("EdtFal", "F2");
        QCOMPARE(TakeMessages() + "/" + driver->Text("EdtFals"),
                 QString("Estampa ou variante diferente. Impossível juntar./F1"));
        driver->Click("BtConfirmar");
        QCOMPARE(FieldTexts("TbConsumo", "Quadro|Consumo_Prev").join(' '), QString("Q1|30 Q2|10"));
        QCOMPARE(FieldTexts("TbComp", "Codigo|Peso").join(' '),
                 QString("A|0.015 C1|0.015")); // C2's immediate substitute
        driver->Type("EdtIndice", "1");
        QCOMPARE(ClickMessages("BtConfirmar"), QString("Espessura do quadro Q2 inválida: \"x\"."));
        QCOMPARE(driver->Rows("DBGrid1"), 0);
        driver->Type("EdtIndice", "0");
        driver->Click("BtConfirmar");
        driver->Click("BtImprimir");
        QCOMPARE(Seen("SELECT NUMERO, SIT_EST FROM FAL ORDER BY 1"), QString("F1|B;F2|"));
        ClickAndAnswer("BtImprimir", false);
        QCOMPARE(CountShown("question", "FAL F1 já impressa.\r\nDeseja continuar?"), 1);
        qunsetenv("KELM_REPORT_DIR");
    }

    // The sheet's pastes to the dispensing station: the one not to dispense left out, the other split in two
    // orders, colours before auxiliaries; a folder that cannot be written leaves no file and no success. A
    // component weighed on the sheet's scale, asked with "P".
    void fichaEnviaEPesa() {
        QTemporaryDir saida;
        SettingsFile ini;
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00009', 'ESTAMPARIA A & B <SUL>'"});
        InsertCommit("QUADRO (CODIGO, DESCRICAO, ESPESSURA)",
                     {"'Q1', 'FUNDO', '0,5'", "'Q2', 'FLOR', '0,5'"});
        InsertCommit("MATERIAL (CODIGO, DESCRICAO, LINHA, CONCENTRA_EST)",
                     {"'P3', 'PASTA AZUL', '', 0", "'P4', 'BASE', '99', 0", "'C1', 'LIGANTE', 'A', 0",
                      "'C4', 'AZUL', '', 50"});
        InsertCommit("COMP_MATERIAL (MATERIAL, CODIGO, ORDEM, PERC)",
                     {"'P3', 'C1', 1, 600", "'P3', 'C4', 2, 400", "'P4', 'C1', 1, 1000"});
        InsertCommit("EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO, PRODUTO, CONSUMO)",
                     {"'D3', '01', 1, 'Q1', 'P3', 0.3", "'D3', '01', 2, 'Q2', 'P4', 0.1"});
        InsertCommit("FAL (NUMERO, CLIENTE, ESTAMPA, VAR_EST, PARTIDA)", {"'F5', '00009', 'D3', '01', 'L1'"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, ORD_IT, PESO)", {"'F5', 'T1', 1, 500"});
        driver->Open("TFmRelTngEst");
        TypeAndTab("EdtFal", "F5");
        driver->Click("BtConfirmar");
        const QString bloqueada = saida.filePath("bloqueada");
        QDir().mkpath(bloqueada + "/F52.xml"); // the second order's name taken by a folder
        messages.files.enqueue(bloqueada + "/F5.xml");
        driver->Menu("Enviarreceita1");
        QVERIFY2(TakeMessages().contains("F52.xml"), "the failure names the file");
        QCOMPARE(QDir(bloqueada).entryList(QDir::Files), QStringList());
        messages.files.enqueue(saida.filePath("F5.xml"));
        driver->Menu("Enviarreceita1");
        QCOMPARE(TakeMessages(), QString("XML gerado com sucesso."));
        QCOMPARE(QDir(saida.path()).entryList(QDir::Files), QStringList({"F51.xml", "F52.xml"}));
        QFile arquivo(saida.filePath("F51.xml"));
        QVERIFY(arquivo.open(QIODevice::ReadOnly));
        const QString xml = QString::fromLatin1(arquivo.readAll());
        for (const char* linha : {"<Customer>F5/ESTAMPARIA A &amp; B &lt;SUL&gt;</Customer>",
                                  "<Screen>Q1/P3</Screen>", "<LotID>L1</LotID>", "<Info1>ADMIN</Info1>",
                                  "<SequenceTot>2</SequenceTot>", "<Quantity-kg>60.000</Quantity-kg>"})
            QVERIFY2(xml.contains(QLatin1String(linha) + QLatin1String("\r\n")), linha);
        // 150 kg of paste in two orders of what its components weigh: C4 (a colour) first, 400 ‰ at half
        // concentration; then the auxiliary C1.
        QVERIFY(xml.indexOf("<ColourCode>C4</ColourCode>") < xml.indexOf("<ColourCode>C1</ColourCode>"));
        QVERIFY(xml.contains("<Weight-gr>15000.000</Weight-gr>") &&
                xml.contains("<Weight-gr>45000.000</Weight-gr>"));

        if (!SimuladorBalanca::Disponivel())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
        SimuladorBalanca balanca(saida.filePath("balanca"),
                                 "IFS= read -r pedido\n[ \"$pedido\" = \"$(printf "
                                 "'P\\r')\" ] && printf '+0012500g\\r\\n'\nsleep 5\n");
        ConfiguracaoPorta porta;
        porta.porta = balanca.Porta();
        GravaConfiguracaoPorta(porta);
        GravaIni("Parametros", "Decimal", "2");
        driver->Row("DBGrid2", RowWhere("TbComp", "Codigo", "C4"));
        driver->Press("F5", "DBGrid2");
        QCOMPARE(TakeMessages(), QString());
        QVERIFY(!PortaAberta(balanca.Dispositivo()));
        QCOMPARE(FieldText("TbComp", RowWhere("TbComp", "Codigo", "C4"), "Peso|Baixado"), QString("6.25|S"));
    }
};

QTEST_MAIN(TstTngConsEst)
#include "tst_tngconsest.moc"
