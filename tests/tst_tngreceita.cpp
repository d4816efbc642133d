// The recipe screen: item costs through load, preparation and save, the price's release, the refusals and
// the atomic save and delete, the search and the prints; stored rows are read from a second connection.
#include "DBControls.h"
#include "DataSet.h"
#include "Formatacao.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {
const QString kItemCampos = "Altera|Ordem|Material|Qtde|Custo";

// Recipe 0001/01 (colour C1, bath of 10 l/kg, variant with 60 % of its first fibre, preparation 001) holds
// one item of each kind costing: 2 % at 10 = 0.2, on fibre 1 = 0.12, on fibre 2 = 0.08; 1 g/l at 10 =
// 0.1, with concentration 50 = 0.05; another unit = 0; a fabric product 2 % at 10 = 0.2; a ruled item (9
// stored, the rule gives 3) = 0.3; a product with two active alternatives 1 % = 0.1. Its preparation adds
// 2 % (0.2) and 1 g/l (0.1): 1.45 in all, as stored.
const QStringList kItens0001 = {
    "N|1|M1|2|0.2",  "N|2|M5|1|0.1", "S|1|M1|2|0.2", "S|2|M1|2|0.12", "S|3|M1|2|0.08", "S|4|M5|1|0.1",
    "S|5|M2|1|0.05", "S|6|M1|2|0",   "S|7|P1|2|0.2", "S|8|M1|3|0.3",  "S|9|M4|1|0.1",
};
} // namespace

class TstTngReceita : public ScreenTestCase {
    Q_OBJECT

    void Base() {
        Insert("MATERIAL (CODIGO, DESCRICAO, UNIDADE, REPOSICAO, CONCENTRACAO, ATIVO, GRUPO)",
               {"'M1', 'CORANTE AZUL', '%', 10, 0, 'S', '001'", "'M2', 'SAL', 'GL', 10, 50, 'S', NULL",
                "'M3', 'CORANTE VELHO', '%', 10, 0, 'N', NULL",
                "'M4', 'CORANTE PRETO', '%', 10, 0, 'S', NULL", "'M5', 'DETERGENTE', 'GL', 10, 0, 'S', NULL",
                "'A1', 'PRETO B', '%', 8, 0, 'S', NULL", "'A2', 'PRETO C', '%', 9, 0, 'S', NULL"});
        Insert("GRUPO_MA (CODIGO, DESCRICAO)", {"'001', 'CORANTES'"});
        Insert("MAT_ITEN (CODIGO, COR, DEPOSITO, LOTE, LOCAL)",
               {"'M1', '0', '0000', '000000', 'PRATELEIRA 1'"});
        Insert("CONTRATIPO (MATERIAL, CODIGO, CONCENT, ATIVO)",
               {"'M4', 'A2', 80, 'S'", "'M4', 'A1', 50, 'S'"});
        Insert("PRODUTO (CODIGO, DESCRICAO, UNIDADE, PRECO)", {"'P1', 'AMOSTRA', '%', 10"});
        Insert("VARIANTE (CODIGO, DESCRICAO, INDICE)",
               {"'01', 'ALGODAO POLIESTER', '60'", "'02', 'ALGODAO', ''"});
        Insert("BANHO (CODIGO, DESCRICAO, PROPORCAO)", {"'10', 'NORMAL', 10", "'20', 'LONGO', 20"});
        Insert("CADCORTIN (CODIGO, DESCRICAO, COMPLEMENTO, COR_SIS)",
               {"'C1', 'AZUL', 'ROYAL', 255", "'C2', 'VERDE', NULL, NULL"});
        Insert("GRAFICO (CODIGO, DESCRICAO, TEMPO, QTDE_AGUA, QTDE_VAPOR, QTDE_VATS, QTDE_GAS, QTDE_OUTROS)",
               {"'001', 'REATIVO 60', '04:30', 1, 2, 0.5, 0, 0.25"});
        Insert("TIPO_TING (CODIGO, DESCRICAO)", {"'C', 'CORANTE'"});
        Insert("TNG_REGRA (CODIGO, DESCRICAO, TIPO, ORDEM, QTDE_DE, QTDE_ATE, QTDE_R)",
               {"'001', 'SAL FIXO', 'P', 1, 0, 0, 3"});
        Insert("PREPARACAO (CODIGO, DESCRICAO, MATERIAL, UNIDADE, ORDEM, QTDE)",
               {"'001', 'PURGA', 'M1', '%', 1, 2", "'001', 'PURGA', 'M5', 'GL', 2, 1"});
        Insert("RECEITA (CODIGO, DESCRICAO, VARIANTE, COR, GRAFICO, COD_BANHO, CUSTO, OBS, PREPARACAO, "
               "LIBERADA)",
               {"'0001', 'AZUL ROYAL', '01', 'C1', '001', '10', 1.45, 'A 60 GRAUS', '001', '1'",
                "'0002', 'VERDE', '02', 'C2', '001', '20', 0.1, NULL, NULL, '2'"});
        Insert("MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE, FIBRA, REGRA, TP_ITEM)",
               {"'0001', '01', 1, 'M1', '%', 2, '', '', 'M'", "'0001', '01', 2, 'M1', '%', 2, '1', '', 'M'",
                "'0001', '01', 3, 'M1', '%', 2, '2', '', 'M'", "'0001', '01', 4, 'M5', 'GL', 1, '', '', 'M'",
                "'0001', '01', 5, 'M2', 'GL', 1, '', '', 'M'", "'0001', '01', 6, 'M1', 'KG', 2, '', '', 'M'",
                "'0001', '01', 7, 'P1', '%', 2, '', '', 'P'", "'0001', '01', 8, 'M1', '%', 9, '', '001', 'M'",
                "'0001', '01', 9, 'M4', '%', 1, '', '', 'M'",
                "'0002', '02', 1, 'M1', '%', 1, NULL, NULL, 'M'"});
        Insert("REGIAO (REGIAO, PADRAO)", {"'01', 'S'", "'02', 'N'"});
        Insert("TABPRECO (REGIAO, COR, VARIANTE, LIBERADO)",
               {"'01', 'C1', '01', 'S'", "'02', 'C1', '01', 'S'", "'01', 'C2', '02', 'S'"});
        // Two entries in one second (the later one wins), an older one, and entries of other keys or
        // screens that must not count.
        Insert("LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO)",
               {"NEXT VALUE FOR GEN_LOG_ID, '000101', '2026-01-10', '10:00:00', 'ANA', 'fmTngReceita'",
                "NEXT VALUE FOR GEN_LOG_ID, '000101', '2026-01-10', '10:00:00', 'BIA', 'fmTngReceita'",
                "NEXT VALUE FOR GEN_LOG_ID, '000101', '2025-12-01', '23:59:59', 'CAIO', 'fmTngReceita'",
                "NEXT VALUE FOR GEN_LOG_ID, '0001010', '2027-01-01', '08:00:00', 'ZECA', 'fmTngReceita'",
                "NEXT VALUE FOR GEN_LOG_ID, '000101', '2027-01-01', '08:00:00', 'DUDA', 'FmOutraTela'"});
        Commit();
        driver->Open("TfmTngReceita");
    }

    void Abre(const QString& codigo, const QString& variante) {
        driver->Page("PageControl1", "Cadastro");
        TypeAndTab("EdtCodigo", codigo);
        TypeAndTab("EdtCodVar", variante);
    }
    // A new recipe's colour, curve and bath.
    void Cabecalho(const QString& cor, const QString& banho) {
        for (const auto& [caixa, codigo] :
             {std::pair<QString, QString>{"EdtCodCor", cor}, {"EdtCodGra", "001"}, {"EdtCodBan", banho}})
            driver->Type(caixa, codigo);
    }
    TDataSet* Itens() { return driver->Screen()->findChild<TDataSet*>("TbConsumos"); }
    // The grid's rows as "field|field...", sorted: rows of equal order and product may come either way.
    QStringList Linhas(const QString& campos = kItemCampos) {
        QStringList linhas = FieldTexts("TbConsumos", campos);
        linhas.sort();
        return linhas;
    }
    int Linha(const QString& material, const QString& altera = "S") {
        return RowWhere("TbConsumos", "Material|Altera", material + '|' + altera);
    }
    QStringList Estado() {
        return RowsSeenByOthers(
            {"SELECT CODIGO, VARIANTE, DESCRICAO, COR, CUSTO, LIBERADA FROM RECEITA ORDER BY 1, 2",
             "SELECT RECEITA, VARIANTE, ORDEN, CODIGO, QTDE FROM MAT_TIN ORDER BY 1, 2, 3, 4",
             "SELECT REGIAO, COR, VARIANTE, LIBERADO FROM TABPRECO ORDER BY 1, 2, 3",
             "SELECT COUNT(*) FROM LOG"});
    }
    QStringList Logs() {
        return RowsSeenByOthers(
            "SELECT TITULO, TEXTO, TIPO, CHAVE, FORMULARIO FROM LOG WHERE TITULO = 'RECEITA' ORDER BY ID");
    }
    QString Precos() { return Seen("SELECT REGIAO, COR, VARIANTE, LIBERADO FROM TABPRECO ORDER BY 1, 2, 3"); }

private slots:
    void aSaveUnreleasesThePriceOnlyWhenTheCostChanges() {
        Base();
        Abre("0001", "01");
        QCOMPARE(Linhas("Material|ContraTipo|QtdeContraTipo|CustoContraTipo").filter("M4"),
                 QStringList{"M4|A1|0.5|8"});
        QCOMPARE(driver->Text("LbUltimaAlteracao"), "Última alteração: 10/01/2026 10:00:00 BIA");
        // A preparation's row is not edited here, nor removed.
        Cells("DBGrid1", Linha("M5", "N"), {{"Qtde", "7"}});
        driver->Press("Ctrl+Del");
        QCOMPARE(Linhas(), kItens0001);
        QCOMPARE(Texts({"EdtDescricao", "EdtDesVar", "EdtDesCor", "EdtComplemento", "EdtDesGra", "EdtTempo",
                        "EdtCustoGrafico", "EdtDesBan", "EdtLitros", "EdtDesPrep", "EdtCusto", "CbLiberada",
                        "EdtObs"}),
                 "AZUL ROYAL|ALGODAO POLIESTER|AZUL|ROYAL|REATIVO 60|04:30|3,75|NORMAL|10|PURGA|1,45|Sim|A "
                 "60 GRAUS");

        const QStringList precos = RowsSeenByOthers("SELECT LIBERADO FROM TABPRECO");
        QCOMPARE(ClickMessages("BitBtn5"), QString());
        QCOMPARE(Seen("SELECT CUSTO, LIBERADA FROM RECEITA WHERE CODIGO = '0001'"), "1.45|1");
        // The preparation's items are costed, never stored; the ruled item keeps the rule's quantity.
        QCOMPARE(RowsSeenByOthers(
                     "SELECT ORDEN, CODIGO, QTDE, TP_ITEM FROM MAT_TIN WHERE RECEITA = '0001' ORDER BY 1"),
                 (QStringList{"1|M1|2|M", "2|M1|2|M", "3|M1|2|M", "4|M5|1|M", "5|M2|1|M", "6|M1|2|M",
                              "7|P1|2|P", "8|M1|3|M", "9|M4|1|M"}));
        QCOMPARE(RowsSeenByOthers("SELECT LIBERADO FROM TABPRECO"), precos);
        QCOMPARE(
            Logs(),
            QStringList{"RECEITA|ALTERACAO DE RECEITA 0001 VARIANTE 01 LIBERADA: Sim|3|000101|fmTngReceita"});

        // A copy under the next code costs what its source cost: the price stays released, the source as
        // stored.
        Abre("0001", "01");
        driver->Click("BtDuplicar");
        const QString novo = driver->Text("EdtCodigo");
        driver->Click("BitBtn5");
        QCOMPARE(RowsSeenByOthers("SELECT LIBERADO FROM TABPRECO"), precos);
        QCOMPARE(Seen("SELECT COUNT(*), SUM(QTDE) FROM MAT_TIN WHERE RECEITA = '" + novo + "'"), "9|16");
        QCOMPARE(Seen("SELECT COUNT(*) FROM MAT_TIN WHERE RECEITA = '0001'"), "9");

        // A changed cost unreleases the colour's price in the default region only.
        Abre("0001", "01");
        Cells("DBGrid1", Linha("M4"), {{"Qtde", "3"}}); // 0.1 -> 0.3
        driver->Click("BitBtn5");
        QCOMPARE(Seen("SELECT CUSTO FROM RECEITA WHERE CODIGO = '0001'"), "1.65");
        QCOMPARE(Precos(), "01|C1|01|N;01|C2|02|S;02|C1|01|S");

        // A new recipe is compared with no cost at all; the bath it is given costs its g/l items.
        Abre("0009", "02");
        QCOMPARE(messages.LastText(), "Cadastro com Receita e Variante não encontrados.");
        // Capitals, a colon and accents typed on the keyboard are stored as typed.
        const QString texto = "Urgente Cliente VIP: 08:00 ação";
        driver->Type("EdtDescricao", texto);
        Cabecalho("C2", "20");
        Cells("DBGrid1", 0, {{"Material", "M5"}, {"Unidade", "GL"}, {"Qtde", "1"}, {"Finalidade", texto}});
        driver->Row("DBGrid1", 1); // a blank row with no order is left out
        driver->Click("BitBtn5");
        QCOMPARE(Seen("SELECT CUSTO, DESCRICAO FROM RECEITA WHERE CODIGO = '0009'"), "0.2|" + texto);
        QCOMPARE(Seen("SELECT ORDEN, CODIGO, UNIDADE, FINALIDADE FROM MAT_TIN WHERE RECEITA = '0009'"),
                 "1|M5|GL|" + texto);
        QCOMPARE(Precos(), "01|C1|01|N;01|C2|02|N;02|C1|01|S");
        QCOMPARE(Logs().last(), "RECEITA|INCLUSAO DE RECEITA 0009 VARIANTE 02|0|000902|fmTngReceita");
    }

    void refusalsWriteNothing() {
        Base();
        Insert("MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE, TP_ITEM)",
               {"'0002', '02', 2, 'M3', '%', 1, 'M'"});
        Commit();
        QStringList antes = Estado();
        Abre("0001", "01");
        driver->Type("EdtCodCor", "C2");
        driver->Click("BitBtn5");
        QCOMPARE(messages.LastText(),
                 QString("Receita + Variante já cadastrada com outra cor. Impossível gravar."));
        QCOMPARE(driver->FocusedName(), "EdtCodigo");

        // A pair another user stored after this screen found it new is not replaced.
        Abre("0008", "01");
        driver->Type("EdtDescricao", "MINHA");
        Cabecalho("C1", "10");
        Cells("DBGrid1", 0, {{"Material", "M1"}});
        ByOther(
            "INSERT INTO RECEITA (CODIGO, DESCRICAO, VARIANTE, COR) VALUES ('0008', 'DO OUTRO', '01', 'C1')");
        antes = Estado();
        driver->Click("BitBtn5");
        QCOMPARE(messages.LastText(), "Receita + Variante já cadastrada. Impossível gravar.");

        Abre("0002", "02");
        driver->Click("BitBtn5");
        QCOMPARE(messages.LastText(), "Receita com Material Inativo: \nM3 CORANTE VELHO");

        const struct {
            const char *caixa, *valido, *invalido, *mensagem;
        } cadastros[] = {{"EdtCodVar", "02", "99", "Variante inválida."},
                         {"EdtCodCor", "C2", "ZZ", "Cor inválida."},
                         {"EdtCodBan", "20", "99", "Volume de banho inválido."},
                         {"EdtCodGra", "001", "999", "Gráfico inválido."}};
        Abre("0007", "02");
        driver->Type("EdtDescricao", "NOVA");
        for (const auto& cadastro : cadastros)
            driver->Type(cadastro.caixa, cadastro.valido);
        for (const auto& cadastro : cadastros) {
            driver->Type(cadastro.caixa, cadastro.invalido);
            driver->Click("BitBtn5");
            QCOMPARE(messages.LastText(), QString::fromUtf8(cadastro.mensagem));
            QCOMPARE(driver->FocusedName(), QString(cadastro.caixa));
            driver->Type(cadastro.caixa, cadastro.valido);
        }
        QCOMPARE(Estado(), antes);
    }

    void failureMidwayKeepsTheStoredRecipeAndDeleteTakesAll() {
        Base();
        FailWhen("MAT_TIN", "BEFORE INSERT", "NEW.ORDEN = 3"); // after the delete and two inserts
        const QStringList antes = Estado();
        Abre("0001", "01");
        driver->Type("EdtDescricao", "AZUL ALTERADO");
        Cells("DBGrid1", Linha("M4"), {{"Qtde", "3"}});
        driver->Click("BitBtn5");
        QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
        QCOMPARE(Estado(), antes);

        // The screen still holds what was typed: once the fault is gone it saves.
        StopFailing();
        driver->Click("BitBtn5");
        QCOMPARE(Seen("SELECT DESCRICAO, CUSTO FROM RECEITA WHERE CODIGO = '0001'"), "AZUL ALTERADO|1.65");

        // Deleted once asked: its items and header go, with an audit line.
        const QStringList salva = Estado();
        Abre("0001", "01");
        ClickAndAnswer("BitBtn7", false);
        QCOMPARE(Estado(), salva);
        ClickAndAnswer("BitBtn7", true);
        QCOMPARE(Seen("SELECT COUNT(*) FROM RECEITA WHERE CODIGO = '0001'"), "0");
        QCOMPARE(Seen("SELECT RECEITA, COUNT(*) FROM MAT_TIN GROUP BY RECEITA"), "0002|1");
        QCOMPARE(Logs().last(), "RECEITA|EXCLUSAO DE RECEITA 0001 VARIANTE 01|3|000101|fmTngReceita");
    }

    void gridFillsItemsFromTheirProducts() {
        Base();
        Abre("0002", "02");
        Cells("DBGrid1", 1, {{"Ordem", "2"}});
        const struct {
            const char *campo, *texto, *mensagem, *resultado;
        } casos[] = {
            {"Material", "M1", "", "M1|CORANTE AZUL|%|10|PRATELEIRA 1|"},
            {"Material", "XX", "Material não cadastrado.", "|CORANTE AZUL|%|10||"},
            {"Material", "M3", "Material inativo.", "|||||"},
            {"Material", "M4", "", "M4|CORANTE PRETO|%|10||A1"},
            {"Tp_Item", "P", "", "M4|CORANTE PRETO|%|10||A1"},
            {"Material", "XX", "Produto não cadastrado.", "|CORANTE PRETO|%|10||A1"},
            {"Material", "P1", "", "P1|AMOSTRA|%|10||"},
        };
        const int linha = 1;
        for (const auto& caso : casos) {
            messages.Clear();
            Cells("DBGrid1", linha, {{caso.campo, caso.texto}});
            QCOMPARE(messages.LastText(), QString::fromUtf8(caso.mensagem));
            QCOMPARE(FieldText("TbConsumos", linha, "Material|Descricao|Unidade|Preco|Local|ContraTipo"),
                     QString::fromUtf8(caso.resultado));
        }
        Cells("DBGrid1", linha, {{"Tipo", "Z"}});
        QCOMPARE(messages.LastText(), "Tipo de tingimento inválido.");
        driver->Cell("DBGrid1", "Regra", "999");
        QCOMPARE(messages.LastText(), "Regra de cálculo inválida.");
        driver->Row("DBGrid1", linha);
        messages.searches.enqueue("001");
        driver->Get<TZoDBGrid>("DBGrid1")->SelectField("Regra");
        driver->Press("F4", "DBGrid1");
        QCOMPARE(Linhas("Material|Regra|Qtde|Custo").filter("P1"), QStringList{"P1|001|3|0.3"});

        // The preparation comes with its code and goes with it; the bath costs the g/l items.
        TypeAndTab("EdtCodPrep", "001");
        QCOMPARE(Linhas().filter(QRegularExpression("^N")), (QStringList{"N|1|M1|2|0.2", "N|2|M5|1|0.2"}));
        TypeAndTab("EdtCodBan", "10");
        QCOMPARE(Linhas().filter(QRegularExpression("^N")), (QStringList{"N|1|M1|2|0.2", "N|2|M5|1|0.1"}));
        TypeAndTab("EdtCodPrep", "");
        QVERIFY(Linhas().filter(QRegularExpression("^N")).isEmpty());
    }

    void searchBindsItsFiltersAndOpensTheRecipe() {
        Base();
        const struct {
            const char *caixa, *texto, *liberada;
            int linhas;
        } casos[] = {{"EdtFiltroCodigo", "", "Todas", 2},     {"EdtFiltroCodigo", "", "Sim", 1},
                     {"EdtFiltroCodigo", "", "Não", 1},       {"EdtFiltroCodigo", "0'1", "Todas", 0},
                     {"EdtFiltroCor", "C2", "Todas", 1},      {"EdtCorDe", "C2", "Todas", 1},
                     {"EdtFiltroVariante", "01", "Todas", 1}, {"EdtFiltroPreparacao", "001", "Todas", 1}};
        for (const auto& caso : casos) {
            const QString anterior = driver->Text(caso.caixa);
            driver->Type(caso.caixa, caso.texto);
            driver->Select("CbFiltroLiberada", QString::fromUtf8(caso.liberada));
            driver->Click("btnConsulta");
            QCOMPARE(driver->Rows("DBGrid2"), caso.linhas);
            driver->Type(caso.caixa, anterior);
        }
        QVERIFY(messages.shown.isEmpty());
        driver->Select("CbFiltroLiberada", "Todas");
        driver->Click("btnConsulta");
        driver->Row("DBGrid2", 1);
        QCOMPARE(driver->Value("DBGrid2", "DESC_PREP"), QString());
        QCOMPARE(driver->Value("DBGrid2", "LIBERADA"), "Não");
        driver->Press("Enter", "DBGrid2");
        QCOMPARE(driver->Text("EdtDescricao"), "VERDE");
        QCOMPARE(Linhas(), QStringList{"S|1|M1|1|0.1"});

        // "Consultar" picks a recipe of the look-up, by code and variant.
        messages.searches.enqueue("0001/01");
        driver->Click("BtConsultar");
        QCOMPARE(driver->Text("EdtDescricao"), "AZUL ROYAL");
        QCOMPARE(Itens()->RecordCount(), 11);
    }

    void printsPricesOnlyWhenAsked() {
        Base();
        const ReportFolder pasta;
        QStringList gerados, textos;
        auto imprime = [&](const char* botao, const QString& relatorio) {
            QFile::remove(pasta.Path(relatorio + ".pdf"));
            driver->Click(botao);
            if (QFile::exists(pasta.Path(relatorio + ".pdf")))
                gerados << relatorio;
            textos << pasta.Text(relatorio + ".pdf");
        };
        Abre("0001", "01");
        imprime("BtImprimir", "WTngReceita");
        Cells("DBGrid1", Linha("M4"), {{"Qtde", "3"}}); // not saved: the sheet says so
        driver->Click("CkImprimePreco");
        imprime("BtImprimir", "WTngReceita");
        driver->Page("PageControl1", "Acesso");
        imprime("BtImprimirLista", "WTngConsRec");
        QCOMPARE(gerados, (QStringList{"WTngReceita", "WTngReceita", "WTngConsRec"}));
        if (!CanReadPdf())
            QSKIP("pdftotext is not installed: the reports were written, their text is not read");
        const QString &semPreco = textos[0], &comPreco = textos[1];
        QVERIFY(semPreco.contains("CORANTE AZUL") && semPreco.contains("AZUL ROYAL"));
        QVERIFY2(!semPreco.contains("Custo") && !semPreco.contains("Preço") &&
                     !semPreco.contains("NÃO GRAVADA"),
                 qPrintable(semPreco));
        QVERIFY(comPreco.contains("Custo da Receita") && comPreco.contains("1,65") &&
                comPreco.contains("Preço") && comPreco.contains("NÃO GRAVADA"));
        QVERIFY(textos[2].contains("0001") && textos[2].contains("VERDE"));
    }
};

QTEST_MAIN(TstTngReceita)
#include "tst_tngreceita.moc"
