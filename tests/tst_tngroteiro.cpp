// The screens that save a code's rows wholesale: routes, preparations, product substitution, a lot sheet's
// services, a machine's capacities, a calculation rule's lines and recipes (item costs through load,
// preparation and save, the price's release, the search and the prints); for these and a curve's steps, rows
// another user changed since they were loaded are neither saved over nor deleted.
#include "Composicao.h"
#include "DBControls.h"
#include "DataSet.h"
#include "Formatacao.h"
#include "RegrasMaquina.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

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

class TstTngRoteiro : public ScreenTestCase {
    Q_OBJECT
    const QString kGravado = "1|01|0|TINTO;2|03|1|TINTO;3|06||TINTO";

    void BaseRoteiro(const QString& tela = "TfmTngRoteiro") {
        Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARACAO'", "'03', 'TINGIMENTO'", "'06', 'SECAGEM'"});
        InsertCommit("ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE)",
                     {"'000001', 'TINTO', 1, 0, '01'", "'000001', 'TINTO', 2, 1, '03'",
                      "'000001', 'TINTO', 3, NULL, '06'", "'000002', 'CRU', 1, 1, '01'"});
        driver->Open(tela);
    }
    // The stored steps of a route, in order, as "ORDEM|FASE|DIAS|DESCRICAO;...".
    QString Gravado(const QString& codigo = "000001") {
        return Seen("SELECT ORDEM, FASE, DIAS, DESCRICAO FROM ROTEIRO WHERE CODIGO = '" + codigo +
                    "' ORDER BY ORDEM");
    }
    void CelulaPasso(const QString& campo, const QVariant& valor) { EditaCelula("DBGrid8", campo, valor); }
    const QString kItens001 = "1|Q1|GL|1.5|A|;2|Q2|%|1|A|";

    // Preparation 001 (one item by the bath, one on the fabric) is used by recipe 0001, whose own item costs
    // 2/100 x 5 = 0.10; recipe 0002 uses preparation 002. Their colours are priced in a default region (01)
    // and another one (02).
    void BasePreparacao(const QString& recalcula) {
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
        InsertCommit("TABPRECO (REGIAO, COR, VARIANTE, LIBERADO)",
                     {"'01', 'C1', '01', 'S'", "'02', 'C1', '01', 'S'", "'01', 'C2', '01', 'S'"});
        driver->Open("TFmCadPrepara");
    }
    QString Itens(const QString& codigo) {
        return Seen("SELECT ORDEM, MATERIAL, UNIDADE, QTDE, TIPO, REGRA FROM PREPARACAO WHERE CODIGO = '" +
                    codigo + "' ORDER BY ORDEM");
    }
    QString Custos() {
        return Seen("SELECT R.CODIGO, R.CUSTO, T.REGIAO, T.LIBERADO FROM RECEITA R JOIN TABPRECO T ON "
                    "(T.COR = R.COR) ORDER BY 1, 3");
    }
    // Q1 is replaced by Q2; Q3 is inactive. Recipe 0002 has a fabric product under the code Q1.
    void BaseSubstituicao() {
        Insert("MATERIAL (CODIGO, DESCRICAO, REPOSICAO, ATIVO)",
               {"'Q1', 'SODA', 10, 'S'", "'Q2', 'SODA NOVA', 20, 'S'", "'Q3', 'SODA VELHA', 5, 'N'",
                "'Q9', 'SAL', 1, NULL"});
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
        Insert("RECEITA (CODIGO, VARIANTE, COR, CUSTO)",
               {"'0001', '01', 'C1', 9.99", "'0001', '02', 'C1', 9.99", "'0002', '01', 'C1', 9.99"});
        Insert("MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, QTDE, TP_ITEM, UNIDADE)",
               {"'0001', '01', 1, 'Q1', 2, 'M', '%'", "'0001', '02', 1, 'Q1', 4, NULL, '%'",
                "'0002', '01', 1, 'Q1', 6, 'P', '%'", "'0002', '01', 2, 'Q9', 1, 'M', '%'"});
        Insert("PREPARACAO (CODIGO, MATERIAL, QTDE)", {"'001', 'Q1', 8", "'002', 'Q1', 3", "'002', 'Q9', 1"});
        // P1 can take Q1 doubled, P2 (Q1 its largest) cannot; P3 has no Q1.
        InsertCommit("COMP_MATERIAL (MATERIAL, CODIGO, ORDEM, PERC)",
                     {"'P1', 'A1', 1, 60", "'P1', 'Q1', 2, 40", "'P2', 'Q1', 1, 50", "'P2', 'A1', 2, 30",
                      "'P2', 'A2', 3, 20", "'P3', 'A1', 1, 100"});
        driver->Open("TFmSubstRec");
    }
    void Substitui(const QString& antigo, const QString& novo, const QString& variante,
                   const QString& indice) {
        driver->Type("EdtCodMat", antigo);
        driver->Type("EdtCodMat2", novo);
        driver->Type("EdtCodVar", variante);
        driver->Type("EdtIndice", indice);
        driver->Click("BitBtn1");
    }
    QString Substituidos() {
        return RowsSeenByOthers({"SELECT RECEITA, VARIANTE, CODIGO, QTDE FROM MAT_TIN ORDER BY 1, 2, ORDEN",
                                 "SELECT CODIGO, MATERIAL, QTDE FROM PREPARACAO ORDER BY 1, 2"})
            .join(';');
    }
    QString Composicoes() {
        return Seen("SELECT MATERIAL, CODIGO, PERC FROM COMP_MATERIAL ORDER BY MATERIAL, ORDEM");
    }
    // Sheet 0000100 of customer 00001 is of colour C1, priced 5.00 in region 01, and carries service 02;
    // sheet 0000200 is of a colour without a price. The customer has a price for service 01 only.
    void BaseServicos() {
        Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'TINGIMENTO'", "'02', 'LAVAGEM'", "'03', 'RAMA'"});
        Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00001', 'CLIENTE')");
        Sql("INSERT INTO TABPRE_SERV_001 (CODCLI, FASE, CUSTO) VALUES ('00001', '01', 5.5)");
        Insert("TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, CODIGO)", {"'01', 'C1', '01', 5, ''"});
        Insert("FAL (NUMERO, CLIENTE, COR, VARIANTE, TABPRECO)",
               {"'0000100', '00001', 'C1', '01', '01'", "'0000200', '00001', 'C2', '01', '01'"});
        SqlCommit("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('0000100', '02', 1.25)");
    }
    void AbreServicos(const QString& fal) {
        driver->Open("TFmCadFalServ", {{"FAL", fal}, {"CLIENTE", "00001"}});
    }
    void Inclui(const QString& fase, const QString& custo, const QString& tipo) {
        driver->Type("EdtCodFas", fase);
        if (!custo.isNull())
            driver->Type("EdtCusto", custo);
        driver->Select("CbTipo", tipo);
        driver->Click("BitBtn1");
    }
    QString Lista() { return TextoGrade("DBGrid1"); }
    QString Gravados(const QString& fal) {
        return Seen("SELECT SETOR, PRECO FROM TABELA WHERE CODIGO = '" + fal + "' ORDER BY 1, 2");
    }

    // Machines 01 (with two capacity rows) and 02; the registry open when asked.
    void BaseMaquina(bool abre = true) {
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
        Insert("BANHO (CODIGO, DESCRICAO, PROPORCAO)", {"'01', 'CURTO', 6", "'02', 'LONGO', 10"});
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('03', 'TINGIMENTO')");
        Insert("MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO, FASE, TIPO, TON, VALOR, MES_DEPREC, DEPREC_MENSAL, "
               "PESO_MIN, PESO_MAX)",
               {"'01', 'JET 01', '01', '03', '1', '2', 1000, 2, 300, 40, 120",
                "'02', 'RAMA', NULL, NULL, '7', NULL, NULL, NULL, NULL, NULL, NULL"});
        InsertCommit("MAQ_TIN_CAP",
                     {"1, '01', '01', 150, 180, 40, 120, '01'", "2, '01', '02', 160, 190, 50, 100, ''"});
        if (abre)
            driver->Open("TFmMaquinaTin");
    }
    const QString kCapacidades = "1|01|01|150|180|40|120|01;2|01|02|160|190|50|100|";
    // The stored capacity rows of a machine, in order, as "SEQ|VARIANTE|...;...".
    QString Capacidades(const QString& maquina = "01") {
        return Seen("SELECT * FROM MAQ_TIN_CAP WHERE MAQUINA = '" + maquina + "' ORDER BY SEQUENCIA");
    }
    TZoDBGrid* GradeCapacidade() { return driver->Get<TZoDBGrid>("dbgCapacidade"); }
    void PaginaCapacidade() {
        driver->Page("PageControl1", "Capacidade");
        driver->Focus("dbgCapacidade");
    }
    void CelulaCapacidade(const QString& campo, const QVariant& valor) {
        EditaCelula("dbgCapacidade", campo, valor);
    }
    // Rule 001 of three lines stored out of order (only an ordered read shows them 1, 2, 3) and rule 002; the
    // rule's screen open on one of them.
    void BaseRegra(const QString& codigo = "001") {
        Sql("INSERT INTO TABLIN (CODIGO, DESCRICAO) VALUES ('01', 'MALHARIA')");
        Sql("INSERT INTO GRUPO_MA (CODIGO, DESCRICAO) VALUES ('001', 'CORANTES')");
        Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00002', 'CLIENTE DOIS')");
        Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO) VALUES ('03', 'JET 03')");
        Sql("INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('PA01', 'MALHA PA')");
        InsertCommit("TNG_REGRA (CODIGO, DESCRICAO, TIPO, LINHA, ORDEM, QTDE_DE, QTDE_ATE, QTDE_R)",
                     {"'001', 'SAL', 'M', '03', 3, 0, 0, 1.5", "'001', 'SAL', 'P', '', 1, 0, 50, 70",
                      "'001', 'SAL', 'C', '00002', 2, 0, 0, 3", "'002', 'SODA', 'L', '01', 1, 0, 0, 2"});
        driver->Open("TFmTngCadRegRec");
        TypeAndTab("EdtCodigo", codigo);
    }
    const QString kRegra = "1|P||0|50|70|SAL;2|C|00002|0|0|3|SAL;3|M|03|0|0|1.5|SAL";
    // The stored lines of a rule in order, "ORDEM|TIPO|LINHA|DE|ATE|R|DESCRICAO;...", a null LINHA "NULL".
    QString Regra(const QString& codigo = "001") {
        return Seen("SELECT ORDEM, TIPO, COALESCE(LINHA, 'NULL'), QTDE_DE, QTDE_ATE, QTDE_R, DESCRICAO FROM "
                    "TNG_REGRA WHERE CODIGO = '" +
                    codigo + "' ORDER BY ORDEM");
    }
    QStringList Auditoria() { return AuditRows("TITULO = 'REGRA'"); }

    // ---- recipes
    void BaseReceita() {
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
        InsertCommit(
            "LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO)",
            {"NEXT VALUE FOR GEN_LOG_ID, '000101', '2026-01-10', '10:00:00', 'ANA', 'fmTngReceita'",
             "NEXT VALUE FOR GEN_LOG_ID, '000101', '2026-01-10', '10:00:00', 'BIA', 'fmTngReceita'",
             "NEXT VALUE FOR GEN_LOG_ID, '000101', '2025-12-01', '23:59:59', 'CAIO', 'fmTngReceita'",
             "NEXT VALUE FOR GEN_LOG_ID, '0001010', '2027-01-01', '08:00:00', 'ZECA', 'fmTngReceita'",
             "NEXT VALUE FOR GEN_LOG_ID, '000101', '2027-01-01', '08:00:00', 'DUDA', 'FmOutraTela'"});
        driver->Open("TfmTngReceita");
    }

    void AbreReceita(const QString& codigo, const QString& variante) {
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
    void newRoutesWithLookUpsBlankDaysAndAnotherUser() {
        BaseRoteiro();
        messages.questions.enqueue(true);
        TypeAndTab("EdtCodigo", "000009");
        driver->Type("EdtDescricao", "NOVO");
        driver->Focus("DBGrid8");
        CelulaPasso("ORDEM", "2");
        messages.searches.enqueue("03");
        driver->Get<TZoDBGrid>("DBGrid8")->SelectField("FASE");
        driver->Press("F4");
        driver->Press("Down");
        CelulaPasso("ORDEM", "1");
        CelulaPasso("FASE", "01");
        driver->Press("Tab"); // posted: the step takes its place by order, and the days go to it
        CelulaPasso("DIAS", "2");
        CelulaAtual("DBGrid8", 1);
        driver->Press("Down");
        CelulaPasso("ORDEM", "5");
        CelulaPasso("FASE", "06");
        driver->Press("Ctrl+Del");
        driver->Press("Down"); // an empty step is left out of the save
        QCOMPARE(ClickMessages("BitBtn1"), QString());
        QCOMPARE(Gravado("000009"), "1|01|2|NOVO;2|03||NOVO");
        // The saved route stays on screen, as stored; saving it again changes nothing.
        driver->Click("BitBtn1");
        QCOMPARE(Gravado("000009"), "1|01|2|NOVO;2|03||NOVO");
        driver->Focus("DBGrid8"); // nor does coming back into the grid reload over it
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(driver->Rows("DBGrid8"), 2);

        // Two users typing the same new route: the second save neither adds to the first one's steps nor
        // replaces them.
        messages.questions.enqueue(true);
        TypeAndTab("EdtCodigo", "000010");
        driver->Type("EdtDescricao", "MEU");
        driver->Focus("DBGrid8");
        CelulaPasso("ORDEM", "1");
        CelulaPasso("FASE", "01");
        ByOther("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES ('000010', 'DELE', 1, 2, "
                "'03')");
        driver->Click("BitBtn1");
        QVERIFY(messages.LastText().startsWith("O roteiro 000010 foi gravado ou alterado por outro usuário"));
        QCOMPARE(Gravado("000010"), "1|03|2|DELE");
        driver->Press("Tab"); // leaving the code loads the route as stored; changed from there, it saves
        QCOMPARE(TextoCelula("DBGrid8", 0, 1), "03");
        driver->Type("EdtDescricao", "NOSSO");
        messages.Clear();
        QCOMPARE(ClickMessages("BitBtn1"), QString());
        QCOMPARE(Gravado("000010"), "1|03|2|NOSSO");
    }

    void refusalsLeaveTheStoredRouteIntact() {
        BaseRoteiro();
        TypeAndTab("EdtCodigo", "000001");
        driver->Focus("DBGrid8");
        CelulaPasso("DIAS", "9");
        CelulaAtual("DBGrid8", 2);
        CelulaPasso("FASE", "99");
        messages.searches.enqueue("");
        // The delete and two inserts have run when the third step is refused.
        QCOMPARE(ClickMessages("BitBtn1"), "Fase inválida.");
        QCOMPARE(driver->Get<TZoDBGrid>("DBGrid8")->currentIndex().row(), 2);
        Commit(); // as the next save of any screen would
        QCOMPARE(Gravado(), kGravado);

        CelulaPasso("FASE", "06");
        CelulaPasso("ORDEM", "");
        QCOMPARE(ClickMessages("BitBtn1"), "Ordem inválida.");
        Commit();
        QCOMPARE(Gravado(), kGravado);

        // Used by a lot sheet, the route is not deleted; another one is, with its audit row.
        SqlCommit("INSERT INTO FAL (NUMERO, ROTEIRO) VALUES ('0000001', '000001')");
        TypeAndTab("EdtCodigo", "000001");
        QCOMPARE(ClickMessages("BtExcluir"), "Roteiro está sendo usado na FAL, impossível excluir.");
        QCOMPARE(Gravado(), kGravado);

        TypeAndTab("EdtCodigo", "000002");
        ClickAndAnswer("BtExcluir", true);
        QCOMPARE(Gravado("000002"), QString());
        QCOMPARE(Gravado(), kGravado);
        QCOMPARE(AuditRows(), QStringList{"CADASTRO DE ROTEIRO|EXCLUSAO DO ROTEIRO 000002|2|000002"});
    }

    // Screen, code box, grid, code loaded, button pressed, what another user does meanwhile, the detail rows.
    void rowsChangedByAnotherAreNeitherSavedOverNorDeleted_data() {
        QTest::addColumn<QStringList>("caso");
        const QStringList rota = {"TfmTngRoteiro", "EdtCodigo", "DBGrid8", "000001"};
        const QString passos = "SELECT ORDEM, FASE, DIAS FROM ROTEIRO WHERE CODIGO = '000001' ORDER BY 1";
        QTest::newRow("route saved, a step changed")
            << rota + QStringList{"BitBtn1", "UPDATE ROTEIRO SET DIAS = 5 WHERE ORDEM = 3", passos};
        QTest::newRow("route saved, deleted")
            << rota + QStringList{"BitBtn1", "DELETE FROM ROTEIRO WHERE CODIGO = '000001'", passos};
        QTest::newRow("route deleted, a step changed")
            << rota + QStringList{"BtExcluir", "UPDATE ROTEIRO SET DIAS = 5 WHERE ORDEM = 3", passos};
        const QStringList preparacao = {"TFmCadPrepara", "EdtCodPrep", "DBGrid1", "001"};
        const QString itens = "SELECT ORDEM, MATERIAL, QTDE FROM PREPARACAO WHERE CODIGO = '001' ORDER BY 1";
        QTest::newRow("preparation saved, an item changed")
            << preparacao + QStringList{"BtGravar", "UPDATE PREPARACAO SET QTDE = 9 WHERE ORDEM = 2", itens};
        QTest::newRow("preparation deleted, an item added")
            << preparacao +
                   QStringList{"BtExcluir",
                               "INSERT INTO PREPARACAO (CODIGO, DESCRICAO, MATERIAL, ORDEM, QTDE) VALUES "
                               "('001', 'PURGA', 'Q3', 3, 1)",
                               itens};
        const QStringList regra = {"TFmTngCadRegRec", "EdtCodigo", "DBGrid1", "001"};
        const QString linhas = "SELECT ORDEM, TIPO, QTDE_R FROM TNG_REGRA WHERE CODIGO = '001' ORDER BY 1";
        QTest::newRow("rule saved, a line changed")
            << regra + QStringList{"BitBtn1", "UPDATE TNG_REGRA SET QTDE_R = 9 WHERE ORDEM = 1", linhas};
        QTest::newRow("rule deleted, a line changed")
            << regra + QStringList{"BitBtn4", "UPDATE TNG_REGRA SET QTDE_R = 9 WHERE ORDEM = 1", linhas};
        // Registries: the record altered and confirmed, desisting loads it again.
        const QStringList maquina = {"TFmMaquinaTin", "", "dbgCapacidade", "01", "SbConfirmar"};
        const QString capacidade = "SELECT SEQUENCIA, VARIANTE, PESO_MAX FROM MAQ_TIN_CAP ORDER BY 1";
        QTest::newRow("machine saved, a capacity row changed")
            << maquina + QStringList{"UPDATE MAQ_TIN_CAP SET PESO_MAX = 130 WHERE SEQUENCIA = 1", capacidade};
        QTest::newRow("machine saved, its capacity rows renumbered")
            << maquina + QStringList{"UPDATE MAQ_TIN_CAP SET SEQUENCIA = SEQUENCIA + 10", capacidade};
        QTest::newRow("machine saved, its capacity rows deleted")
            << maquina + QStringList{"DELETE FROM MAQ_TIN_CAP", capacidade};
        const QStringList curva = {"TfmTngGrafico", "", "dbgPassos", "001", "SbConfirmar"};
        QTest::newRow("curve saved, a step changed")
            << curva + QStringList{"UPDATE PASSOS SET TEMPO = 25 WHERE CODIGO = 'A01'",
                                   "SELECT CODIGO, TEMPO FROM PASSOS"};
    }

    void rowsChangedByAnotherAreNeitherSavedOverNorDeleted() {
        QFETCH(QStringList, caso);
        const QString tela = caso[0], caixa = caso[1], grade = caso[2], codigo = caso[3], botao = caso[4],
                      outro = caso[5], gravadas = caso[6];
        Insert("PREPARACAO (CODIGO, DESCRICAO, MATERIAL, ORDEM, QTDE)",
               {"'001', 'PURGA', 'Q1', 1, 1.5", "'001', 'PURGA', 'Q2', 2, 1"});
        Insert("TNG_REGRA (CODIGO, DESCRICAO, TIPO, LINHA, ORDEM, QTDE_DE, QTDE_ATE, QTDE_R)",
               {"'001', 'SAL', 'P', '', 1, 0, 50, 70", "'001', 'SAL', 'M', '03', 2, 0, 0, 1.5"});
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
        Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO) VALUES ('01', 'JET 01')");
        Insert("MAQ_TIN_CAP",
               {"1, '01', '01', 150, 180, 40, 120, ''", "2, '01', '02', 160, 190, 50, 100, ''"});
        Sql("INSERT INTO GRAFICO (CODIGO, DESCRICAO) VALUES ('001', 'REATIVO')");
        Insert("PASSOS (CODIGO_GRA, CODIGO, ORDEM, TEMPO, FASE)",
               {"'001', 'A01', 1, 20, '1'", "'001', 'S01', 2, 30, '1'"});
        BaseRoteiro(tela);
        // Leaving the code loads the rows; a registry loads its record's rows as it is shown.
        const auto carrega = [&] {
            caixa.isEmpty() ? driver->Click("BtDesistir") : TypeAndTab(caixa, codigo);
        };
        caixa.isEmpty() ? driver->Click("BtnAltera") : carrega();
        ByOther(outro);
        const QStringList antes = RowsSeenByOthers(gravadas);
        const bool exclui = botao == "BtExcluir" || botao == "BitBtn4";
        if (exclui)
            messages.questions.enqueue(true);
        driver->Click(botao);
        const QString recusa = TakeMessages();
        QVERIFY2(recusa.contains(codigo) &&
                     recusa.contains(exclui ? "nada foi excluído" : "nada foi gravado"),
                 qPrintable(recusa));
        QCOMPARE(RowsSeenByOthers(gravadas), antes);
        QVERIFY(AuditRows().isEmpty());
        carrega(); // as they are stored now
        QCOMPARE(driver->Rows(grade), antes.size());
    }

    void saveLogsInclusionOrAlterationAndLeavesRecipesAlone() {
        BasePreparacao("N");
        const QString receitas = Custos();
        QCOMPARE(ClickMessages("BtGravar"), "Código inválido.");

        // Capitals, a colon and accents typed on the keyboard are stored as typed.
        const QString texto = "Urgente Cliente VIP: 08:00 ação";
        TypeAndTab("EdtCodPrep", "005");
        driver->Type("EdtDescricao", texto);
        Cells("DBGrid1", 0, {{"ORDEM", "1"}, {"MATERIAL", "Q3"}, {"UNIDADE", "É: ç"}, {"QTDE", "2,5"}});
        Cells("DBGrid1", 1, {{"ORDEM", "2"}, {"UNIDADE", "GL"}}); // no product: left out
        driver->Click("BtGravar");
        QCOMPARE(Itens("005"), "1|Q3|É: ç|2.5||");
        QCOMPARE(Seen("SELECT DESCRICAO FROM PREPARACAO WHERE CODIGO = '005'"), texto);

        TypeAndTab("EdtCodPrep", "001");
        Cells("DBGrid1", 0, {{"QTDE", "3"}});
        driver->Click("BtGravar");
        QCOMPARE(Itens("001"), "1|Q1|GL|3|A|;2|Q2|%|1|A|");
        QCOMPARE(AuditRows(), (QStringList{"CADASTRO DE PREPARACAO|INCLUSAO DE PREPARACAO 005|0|005",
                                           "CADASTRO DE PREPARACAO|ALTERACAO DE PREPARACAO 001|1|001"}));
        QCOMPARE(Custos(), receitas);
        QVERIFY(messages.shown.isEmpty());
    }

    void recalculationJoinsTheSaveAndItsFailureUndoesBoth() {
        BasePreparacao("S");
        // Recipe 0001 at 3 g/l of Q1: 3 x 8 / 1000 x 20 = 0.48, 1 % of Q2: 1/100 x 3 = 0.03, its own 0.10.
        TypeAndTab("EdtCodPrep", "001");
        Cells("DBGrid1", 0, {{"QTDE", "3"}});
        driver->Click("BtGravar");
        QCOMPARE(Custos(), "0001|0.61|01|N;0001|0.61|02|S;0002|9.99|01|S");
        QCOMPARE(AuditRows().mid(1), QStringList{"ALTERACAO DE RECEITA|RECALCULO PREPARACAO 001|1|001"});

        FailWhen("RECEITA", "BEFORE UPDATE");
        TypeAndTab("EdtCodPrep", "001");
        Cells("DBGrid1", 0, {{"QTDE", "5"}});
        driver->Click("BtGravar");
        QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
        QCOMPARE(Itens("001"), "1|Q1|GL|3|A|;2|Q2|%|1|A|");
        QCOMPARE(Custos(), "0001|0.61|01|N;0001|0.61|02|S;0002|9.99|01|S");
        QCOMPARE(AuditRows().size(), 2);
    }

    void duplicateDeleteAndGridChecks() {
        BasePreparacao("N");
        TypeAndTab("EdtCodPrep", "001");
        ClickAndAnswer("BtDuplicar", false);
        ClickAndAnswer("BtDuplicar", true);
        QCOMPARE(messages.Texts(), QStringList{"Duplicado."});
        QCOMPARE(Texts({"EdtCodPrep", "EdtDescricao"}), "003|PURGA");
        QCOMPARE(Itens("003"), kItens001);
        QVERIFY(AuditRows().isEmpty());
        driver->Click("BtGravar"); // the copy is what the screen loaded: it saves over it as an alteration
        QCOMPARE(AuditRows(), QStringList{"CADASTRO DE PREPARACAO|ALTERACAO DE PREPARACAO 003|1|003"});

        TypeAndTab("EdtCodPrep", "001");
        driver->Click("BtExcluir");
        QCOMPARE(messages.LastText(), "Preparação em uso na Receita 0001. Impossível Excluir.");
        TypeAndTab("EdtCodPrep", "003");
        ClickAndAnswer("BtExcluir", true);
        QCOMPARE(Itens("003"), QString());
        QCOMPARE(Itens("001"), kItens001);
        QCOMPARE(AuditRows().last(), "CADASTRO DE PREPARACAO|EXCLUSAO DE PREPARACAO 003|2|003");

        // The grid checks the codes typed as Tab leaves them.
        TypeAndTab("EdtCodPrep", "001");
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
            Cells("DBGrid1", 0, {{caso.campo, caso.texto}});
            QCOMPARE(messages.LastText(), QString::fromUtf8(caso.mensagem));
            QCOMPARE(valor(caso.campo), QString::fromUtf8(caso.valor));
            QCOMPARE(valor(caso.campoDescricao), QString::fromUtf8(caso.descricao));
        }
        Cells("DBGrid1", 0, {{"REGRA", "001"}});
        messages.Clear();
        Cells("DBGrid1", 0, {{"REGRA", ""}}); // a blank rule is accepted
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(valor("DESC_REGRA"), QString());
    }

    void componentReplacement() {
        const struct {
            const char *antes, *antigo;
            double indice;
            const char* depois; // or why it was refused
        } casos[] = {
            {"A:30;B:50;C:20", "A", 0.5, "N:15;B:65;C:20"},
            {"A:50;B:30;C:20", "A", 0.5, "N:25;B:55;C:20"}, // the largest replaced: the next one takes it
            {"Z:40;B:40;C:20", "Z", 0.5, "N:20;B:60;C:20"}, // tied with the replaced one
            {"A:40;B:30;C:30", "A", 1.5, "N:60;B:30;C:10"}, // a tie among the others: the highest code
            {"A:0.1;B:0.2", "A", 3, "N:0.3;B:0"},           // left at nothing, not a trace below it
            {"A:20;B:50;A:10", "A", 0.5, "N:10;B:65;N:5"},
            {"A:40;B:30;C:30", "A", 2, "negativo"},
            {"A:100", "A", 0.5, "sem outro"},
            {"A:100", "A", 1, "N:100"},
        };
        for (const auto& caso : casos) {
            QList<Componente> componentes;
            for (const QString& c : QString(caso.antes).split(';'))
                componentes << Componente{c.section(':', 0, 0), c.section(':', 1).toDouble()};
            const ComposicaoSubstituida nova =
                SubstituiComponente(componentes, caso.antigo, "N", caso.indice);
            QStringList obtido;
            for (const Componente& c : nova.componentes)
                obtido << c.codigo + ':' + QString::number(c.perc, 'g', 12);
            if (nova.situacao == ComposicaoSubstituida::PercentualNegativo)
                obtido << "negativo";
            else if (nova.situacao == ComposicaoSubstituida::SemOutroComponente)
                obtido << "sem outro";
            QCOMPARE(obtido.join(';'), QString(caso.depois));
        }
    }

    // Refused inputs are told before the question and change nothing, and the look-up of the new product does
    // not offer an inactive one; a substitution asked and confirmed scales the variant's recipes and every
    // preparation.
    void substitutionScalesRecipesOfTheVariantAndEveryPreparation() {
        BaseSubstituicao();
        const QString inicial = Substituidos() + Composicoes();
        const struct {
            const char *antigo, *novo, *variante, *indice, *mensagem, *foco;
        } casos[] = {
            {" ", "Q2", "", "1", "Material inválido.", "EdtCodMat"},
            {"Q1", "", "", "1", "Novo material inválido.", "EdtCodMat2"},
            {"Q1", "X9", "", "1", "Novo material inválido.", "EdtCodMat2"},
            {"Q1", "Q3", "", "1", "Novo material inválido.", "EdtCodMat2"},
            {"Q1", "Q2", "99", "1", "Variante inválida.", "EdtCodVar"},
            {"Q1", "Q2", "", "", "Índice inválido.", "EdtIndice"},
            {"Q1", "Q2", "", "0", "Índice inválido.", "EdtIndice"},
            {"Q1", "Q2", "", "0.5", "Índice inválido.", "EdtIndice"},
        };
        for (const auto& caso : casos) {
            driver->Click("ChkComposicoes"); // every other case in each mode
            messages.Clear();
            Substitui(caso.antigo, caso.novo, caso.variante, caso.indice);
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8(caso.mensagem)});
            QCOMPARE(messages.shown.size(), 1); // refused before the question
            QCOMPARE(driver->FocusedName(), QString(caso.foco));
        }
        messages.searches.append({"Q3", "Q9"});
        driver->Press("F4", "EdtCodMat2");
        QCOMPARE(driver->Text("EdtCodMat2"), "Q2");
        driver->Press("F4", "EdtCodMat2");
        QCOMPARE(driver->Text("EdtDesMat2"), "SAL");

        messages.Clear();
        messages.questions.enqueue(false);
        Substitui("Q1", "Q2", "01", "0,5");
        QCOMPARE(Substituidos() + Composicoes(), inicial);
        ClickAndAnswer("BitBtn1", true);
        QCOMPARE(TakeMessages(), "Concluído");
        QCOMPARE(Substituidos(), QStringLiteral("0001|01|Q2|1;0001|02|Q1|4;0002|01|Q1|6;0002|01|Q9|1;"
                                                "001|Q2|4;002|Q2|1.5;002|Q9|1"));
        messages.questions.enqueue(true);
        Substitui("Q1", "Q2", "", "1");
        QCOMPARE(Substituidos(), QStringLiteral("0001|01|Q2|1;0001|02|Q2|4;0002|01|Q1|6;0002|01|Q9|1;"
                                                "001|Q2|4;002|Q2|1.5;002|Q9|1"));
        QCOMPARE(AuditRows(), QStringList(2, "ALTERACAO DE RECEITA|MATERIAL Q1 SUBSTITUIDO POR Q2|1|Q1"));
        QCOMPARE(Composicoes().count("Q1"), 2);
    }

    void compositionsKeepTheirTotalOrAreAllRefusedAndRecalculationLogs() {
        BaseSubstituicao();
        const QString receitas = Substituidos();
        const QString inicial = Composicoes();
        driver->Click("ChkComposicoes");
        messages.questions.enqueue(true);
        Substitui("Q1", "Q2", "", "2");
        QCOMPARE(messages.Texts(),
                 QStringList{"A composição P2 ficaria com percentual negativo. Nada foi alterado."});
        QCOMPARE(Composicoes(), inicial);
        QVERIFY(AuditRows().isEmpty());

        messages.Clear();
        messages.questions.enqueue(true);
        Substitui("Q1", "Q2", "", "0,5");
        QCOMPARE(messages.Texts(), QStringList{"Concluído"});
        QCOMPARE(Composicoes(), "P1|A1|80;P1|Q2|20;P2|Q2|25;P2|A1|55;P2|A2|20;P3|A1|100");
        QCOMPARE(Substituidos(), receitas);
        QCOMPARE(AuditRows(), QStringList{"ALTERACAO DE RECEITA|MATERIAL Q1 SUBSTITUIDO POR Q2|1|Q1"});

        // The recalculation of a product's recipes logs what it did.
        auto* memo = driver->Get<QPlainTextEdit>("Memo1");
        driver->Type("EdtCodMat", "Q1");
        messages.Clear();
        QCOMPARE(ClickMessages("BitBtn3"), "Processo concluído");
        // 2 % and 4 % of Q1 at 10; recipe 0002 holds Q1 only as a fabric product.
        QCOMPARE(RowsSeenByOthers("SELECT CODIGO, VARIANTE, CUSTO FROM RECEITA ORDER BY 1, 2"),
                 (QStringList{"0001|01|0.2", "0001|02|0.4", "0002|01|9.99"}));
        const QStringList linhas = memo->toPlainText().split('\n');
        QVERIFY2(linhas.size() == 2 && linhas[0].startsWith("Receita 0001 variante 01") &&
                     linhas[1].startsWith("Receita 0001 variante 02"),
                 qPrintable(linhas.join('|')));
        QCOMPARE(AuditRows().last(), "ALTERACAO DE RECEITA|RECALCULO MATERIAL Q1 VARIANTE |1|Q1");

        driver->Type("EdtCodMat", "Q1");
        driver->Type("EdtCodVar", "02");
        driver->Click("BitBtn3");
        QVERIFY2(memo->toPlainText().startsWith("Receita 0001 variante 02") &&
                     !memo->toPlainText().contains('\n'),
                 qPrintable(memo->toPlainText()));

        // A failed recalculation takes its audit row with it.
        FailWhen("RECEITA", "BEFORE UPDATE");
        SqlCommit("UPDATE MATERIAL SET REPOSICAO = 30 WHERE CODIGO = 'Q1'");
        const QStringList logs = AuditRows();
        QCOMPARE(logs.last(), "ALTERACAO DE RECEITA|RECALCULO MATERIAL Q1 VARIANTE 02|1|Q1");
        driver->Click("BitBtn3");
        QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
        QCOMPARE(AuditRows(), logs);
    }

    // The colour price read for the sheet, and its stored list, before each service is added; the save
    // replaces the list as a whole.
    void servicesAddedByValueOrShareAndSavedAsAWhole() {
        BaseServicos();
        const struct {
            const char *fal, *fase, *custo, *tipo, *proposto, *mensagem, *lista;
        } casos[] = {
            {"0000100", "01", nullptr, "Valor", "5,5", "", "02|LAVAGEM|1,25;01|TINGIMENTO|5,5"},
            {"0000100", "02", "10", "Percentual", "", "", "02|LAVAGEM|1,25;02|LAVAGEM|0,5"},
            {"0000100", "03", "2,4", "Valor", "", "", "02|LAVAGEM|1,25;03|RAMA|2,4"},
            {"0000100", "03", "", "Valor", "", "", "02|LAVAGEM|1,25;03|RAMA|0"},
            {"0000100", "09", "1", "Valor", "", "Serviço não encontrado.", "02|LAVAGEM|1,25"},
            {"0000100", "03", "2.4", "Valor", "", "Custo inválido.", "02|LAVAGEM|1,25"},
            {"0000200", "01", "10", "Percentual", "5,5", "", "01|TINGIMENTO|0"},
        };
        for (const auto& caso : casos) {
            AbreServicos(caso.fal);
            QCOMPARE(driver->Text("EdtPrecoCor"), caso.fal == QLatin1String("0000100") ? "5,00" : "0,00");
            messages.Clear();
            driver->Type("EdtCodFas", caso.fase);
            QCOMPARE(driver->Text("EdtCusto"), QString::fromUtf8(caso.proposto));
            Inclui(caso.fase, caso.custo ? QString::fromUtf8(caso.custo) : QString(), caso.tipo);
            QCOMPARE(messages.LastText(), QString::fromUtf8(caso.mensagem));
            QCOMPARE(Lista(), QString::fromUtf8(caso.lista));
            driver->Close();
        }

        AbreServicos("0000100");
        Inclui("01", QString(), "Valor");
        // The same service again, by F4: the customer's price comes with it, and the cost typed where the
        // focus goes replaces it. Both are stored.
        messages.searches << "01";
        driver->Press("F4", "EdtCodFas");
        QCOMPARE(driver->FocusedName(), "EdtCusto");
        QTest::keyClicks(QApplication::focusWidget(), "7");
        driver->Click("BitBtn1");
        driver->Click("BtnGravar");
        QCOMPARE(Gravados("0000100"), "01|5.5;01|7;02|1.25");

        // A failed insert undoes the save: the stored list and the one shown stay as they were.
        FailWhen("TABELA", "BEFORE INSERT", "NEW.SETOR = '03'");
        driver->Row("DBGrid1", 0);
        driver->Click("BitBtn4");
        Inclui("03", "1", "Valor");
        const QString lista = Lista();
        driver->Click("BtnGravar");
        QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
        QCOMPARE(Gravados("0000100"), "01|5.5;01|7;02|1.25");
        QCOMPARE(Lista(), lista);

        // Services another user stored since the list was loaded are not wiped unseen.
        ByOther("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('0000100', '02', 7)");
        driver->Row("DBGrid1", 0);
        driver->Click("BitBtn4");
        driver->Click("BtnGravar");
        QVERIFY(
            messages.LastText().startsWith("Os serviços da FAL 0000100 foram alterados por outro usuário"));
        QCOMPARE(Gravados("0000100"), "01|5.5;01|7;02|1.25;02|7");
        QCOMPARE(driver->Rows("DBGrid1"), 4);

        // An empty list removes every service of the sheet, and of no other.
        SqlCommit("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('0000200', '01', 3)");
        while (driver->Rows("DBGrid1") > 0)
            driver->Click("BitBtn4");
        driver->Click("BtnGravar");
        QCOMPARE(Gravados("0000100"), QString());
        QCOMPARE(Gravados("0000200"), "01|3");
    }

    // ---- the machine registry
    void includeWithCapacitiesFromTheGridAndLookUps() {
        BaseMaquina();
        driver->Click("BtIncluir");
        driver->Type("Edtcodmaq", "03");
        driver->Type("EdtDesMaq", "jet d'água");
        driver->Type("EdtCodBanho", "");
        messages.searches.enqueue("02");
        driver->Focus("EdtCodFase"); // leaving the bath empty opens its look-up
        driver->Type("EdtCodFase", "03");
        driver->Select("CbTipo", "2 - Acabamento");
        driver->Click("RbEscura");
        driver->Type("EdtPesoMax", "300");
        PaginaCapacidade();
        driver->Press("Down"); // an empty grid gets its first row
        CelulaCapacidade("VARIANTE", "02");
        driver->Press("Tab");
        QCOMPARE(TextoCelula("dbgCapacidade", 0, 1), "POLIESTER");
        CelulaCapacidade("LARG_DE", "150,5");
        CelulaCapacidade("PESO_MAX", "90");
        driver->Press("Down");
        GradeCapacidade()->SelectField("VARIANTE");
        messages.searches.enqueue("01");
        driver->Press("F4");
        CelulaCapacidade("PESO_MAX", "120");
        driver->Press("Down");
        CelulaCapacidade("VARIANTE", "02");
        CelulaAtual("dbgCapacidade", 0);
        driver->Press("Ctrl+Del"); // the others are numbered from 1 again
        driver->Click("SbConfirmar");
        QVERIFY2(messages.shown.count() == 2 && messages.AllAnswered(),
                 qPrintable(messages.Texts().join('|')));
        QCOMPARE(
            Seen("SELECT DESCRICAO, RELAC_BANHO, FASE, TIPO, TON, PESO_MAX FROM MAQ_TIN WHERE CODIGO = '03'"),
            "JET D'ÁGUA|02|03|2|4|300");
        QCOMPARE(Capacidades("03"), "1|03|01||||120|;2|03|02|||||");

        // On machine 01, typed cells survive the keyboard: Down on the last row, Tab over the read-only
        // column, a refused non-number.
        driver->Click("sbPrimeiro");
        driver->Click("BtnAltera");
        PaginaCapacidade();
        CelulaAtual("dbgCapacidade", 1);
        QTest::keyClick(TypeInCell("dbgCapacidade", "PESO_MIN", "55"), Qt::Key_Down);

        QTest::keyClick(TypeInCell("dbgCapacidade", "VARIANTE", "01"), Qt::Key_Tab);
        QCOMPARE(GradeCapacidade()->SelectedField(), "LARG_DE"); // over the variant's description
        QTest::keyClick(TypeInCell("dbgCapacidade", "LARG_DE", "abc"), Qt::Key_Tab);
        QCOMPARE(TakeMessages(), "Largura de (cm): \"abc\" não é um número válido.");
        for (const auto& [campo, texto] :
             {std::pair{"LARG_DE", "100"}, {"LARG_ATE", "200"}, {"PESO_MIN", "10"}, {"PESO_MAX", "90"}})
            QTest::keyClick(TypeInCell("dbgCapacidade", campo, texto), Qt::Key_Tab);
        QTest::keyClick(TypeInCell("dbgCapacidade", "RELAC_BANHO", "02"), Qt::Key_Tab);
        QCOMPARE(ClickMessages("SbConfirmar"), QString());
        QCOMPARE(
            Capacidades(),
            QStringLiteral("1|01|01|150|180|40|120|01;2|01|02|160|190|55|100|;3|01|01|100|200|10|90|02"));
    }

    // Stored rows come in as they are (a variant and a bath deleted since, bounds never given) and stay so
    // through a desistance, a capacity save failing half-way (at the delete, at the fifth insert: not
    // repeated over the rows still there) and, mended, the same confirmation.
    void storedRowsSurviveDesistFailuresSavesAndRefusals() {
        BaseMaquina(false);
        Insert("MAQ_TIN_CAP", {"3, '01', '09', 1, 2, 3, 4, '77'", "4, '01', '01', NULL, NULL, 5, NULL, ''"});
        Sql("ALTER TABLE MAQ_TIN_CAP ADD CONSTRAINT CK_TESTE_PESO CHECK (PESO_MAX <= 2000)");
        FailWhen("MAQ_TIN_CAP", "BEFORE DELETE");
        const QString gravadas = kCapacidades + ";3|01|09|1|2|3|4|77;4|01|01|||5||";
        driver->Open("TFmMaquinaTin");
        driver->Click("BtnAltera");
        PaginaCapacidade();
        CelulaCapacidade("LARG_DE", "999");
        CelulaAtual("dbgCapacidade", 1);
        driver->Press("Ctrl+Del");
        driver->Click("BtDesistir");
        QCOMPARE(TextoCelula("dbgCapacidade", 0, 2), "150,00");
        QCOMPARE(Capacidades(), gravadas);

        driver->Click("BtnAltera");
        driver->Type("EdtDesMaq", "alterada");
        driver->Click("SbConfirmar");
        QVERIFY(messages.LastText().startsWith("Não foi possível gravar as informações de capacidade. ") &&
                messages.LastText().contains("falha forçada"));
        Commit(); // as the next confirmation of any screen would
        QCOMPARE(Capacidades(), gravadas);
        StopFailing();
        PaginaCapacidade();
        CelulaAtual("dbgCapacidade", 0);
        CelulaCapacidade("LARG_DE", "155");
        CelulaAtual("dbgCapacidade", 3);
        driver->Press("Down");
        CelulaCapacidade("VARIANTE", "01");
        CelulaCapacidade("PESO_MAX", "5000");
        driver->Click("SbConfirmar");
        QVERIFY(messages.LastText().contains("CK_TESTE_PESO"));
        Commit();
        QCOMPARE(Seen("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'") + Capacidades(),
                 "JET 01" + gravadas);
        CelulaAtual("dbgCapacidade", 4);
        QVERIFY(TypeInCell("dbgCapacidade", "PESO_MAX",
                           "1.400")); // mended in the cell's editor, saved by the shortcut
        driver->Activate("SbConfirmar");
        QCOMPARE(Capacidades(),
                 "1|01|01|155|180|40|120|01;2|01|02|160|190|50|100|;3|01|09|1|2|3|4|77;4|01|01|||5||;"
                 "5|01|01||||1400|");

        // Unknown codes, bounds below 0 or out of order are refused naming the field, the focus on it, before
        // anything is written: the rules, then the screen.
        // Lower and upper bound typed (NAN: none); the refusal, "[máx.]" when the upper bound is to correct.
        // The screen below drives a negative lower bound and bounds out of order.
        auto limite = [](const char* nome, double v) {
            return Limite{nome, std::isnan(v) ? std::nullopt : std::optional(v)};
        };
        for (const auto& [minimo, maximo, esperada] :
             {std::tuple{120.0, -1.0, "Até não pode ser negativo (-1,00). [máx.]"},
              {0, 0, ""},
              {120, NAN, ""}}) {
            const RecusaLimite recusa = RecusaFaixa(limite("De", minimo), limite("Até", maximo));
            QCOMPARE(recusa.mensagem + (recusa.maximo ? " [máx.]" : ""), QString::fromUtf8(esperada));
        }

        const QString estado = Seen("SELECT * FROM MAQ_TIN") + Capacidades();
        messages.Clear();
        // A box, or a cell of the first capacity row left by Tab; what is typed; the refusals. An unknown
        // variant is refused in its cell and cleared: a row without one is posted, but not confirmed.
        const struct {
            const char *campo, *texto, *mensagens;
        } casos[] = {
            {"EdtCodBanho", "99", "Rel. Banho: código 99 não cadastrado."},
            {"EdtCodFase", "99", "Fase: código 99 não cadastrado."},
            {"EdtPesoMin", "130", "Peso Mín. (kg) (130,00) maior que Peso Máx. (kg) (120,00)."},
            {"VARIANTE", "99", "Variante inválida.|Variante inválida."},
            {"LARG_DE", "200",
             "Capacidade, linha 1: Largura de (cm) (200,00) maior que Largura até (cm) (180,00)."},
            {"PESO_MIN", "-5", "Capacidade, linha 1: Peso mín. (kg) não pode ser negativo (-5,00)."}};
        for (const auto& caso : casos) {
            driver->Click("BtnAltera");
            const bool celula = !QString(caso.campo).startsWith("Edt");
            if (celula) {
                PaginaCapacidade();
                CelulaCapacidade(caso.campo, caso.texto);
                driver->Press("Tab");
            } else {
                driver->Type(caso.campo, caso.texto);
            }
            QCOMPARE(ClickMessages("SbConfirmar"), QString::fromUtf8(caso.mensagens));
            QCOMPARE(celula ? GradeCapacidade()->SelectedField() : driver->FocusedName(),
                     QString(caso.campo));
            QCOMPARE(Seen("SELECT * FROM MAQ_TIN") + Capacidades(), estado);
            driver->Click("BtDesistir");
        }
    }

    // ---- the calculation rules
    void linesLoadInOrderSaveRenumberedWithoutBlanksAndLookUpByKind() {
        BaseRegra();
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
        QCOMPARE(Regra(), salNovo);
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
        QCOMPARE(Regra("009"), "1|X||0|0|3|NOVA;2|M|03|0|0|1.5|NOVA;3|L|01|||4|NOVA");
        QCOMPARE(Regra(), salNovo);
        QCOMPARE(Auditoria().last(), "REGRA|INCLUSAO DA REGRA 009|0|009");

        // Kind, code, table looked up, description; a kind in small letters as well.
        TypeAndTab("EdtCodigo", "002");
        auto* grade = driver->Get<TZoDBGrid>("DBGrid1");
        for (const auto& [tipo, codigo, tabela, descricao] : {std::tuple{"L", "01", "TABLIN", "MALHARIA"},
                                                              {"G", "001", "GRUPO_MA", "CORANTES"},
                                                              {"C", "00002", "ENTIDADE", "CLIENTE DOIS"},
                                                              {"M", "03", "MAQ_TIN", "JET 03"},
                                                              {"P", "PA01", "PRODUTO", "MALHA PA"},
                                                              {"m", "03", "MAQ_TIN", "JET 03"}}) {
            Cells("DBGrid1", 1, {{"Tipo", tipo}, {"Codigo", codigo}}); // Tab fills the description
            QCOMPARE(driver->Value("DBGrid1", "Descricao"), descricao);
            grade->SelectField("Codigo");
            messages.searches.enqueue(codigo);
            driver->Press("F4", "DBGrid1");
            QCOMPARE(messages.shown.last().text, tabela);
            QCOMPARE(driver->Value("DBGrid1", "Codigo") + '|' + driver->Value("DBGrid1", "Descricao"),
                     QString(codigo) + '|' + descricao);
        }
        driver->Cell("DBGrid1", "Tipo", "X");
        grade->SelectField("Codigo");
        driver->Press("F4", "DBGrid1");
        QCOMPARE(messages.Texts(), QStringList{"Tipo inválido"});
    }

    void saveIsOneUnitOfWork() {
        BaseRegra();
        FailWhen("TNG_REGRA", "BEFORE INSERT", "NEW.LINHA = 'FALHA'");
        Cells("DBGrid1", 2,
              {{"Codigo", "FALHA"}}); // the third insert fails, after the delete and two inserts
        driver->Click("BitBtn1");
        QCOMPARE(messages.shown.last().icon, MsgIcon::Error);
        QCOMPARE(Regra(), kRegra);
        QVERIFY(Auditoria().isEmpty());
        QCOMPARE(driver->Rows("DBGrid1"), 3); // the lines typed stay to be mended

        // Emptied after a load, the grid deletes the rule.
        driver->Press("Tab", "EdtCodigo");
        for (int i = 0; i < 3; ++i)
            driver->Press("Ctrl+Del", "DBGrid1");
        messages.Clear();
        QCOMPARE(ClickMessages("BitBtn1"), QString());
        QCOMPARE(Regra(), QString());
        QCOMPARE(Auditoria(), QStringList{"REGRA|ALTERACAO DA REGRA 001|1|001"});
        driver->Click("BitBtn1"); // nothing loaded and nothing typed: nothing to save
        QCOMPARE(messages.LastText(), "Nenhuma linha para gravar.");
    }

    void duplicateAndDeleteOfARuleInUse() {
        BaseRegra();
        Cells("DBGrid1", 2, {{"Qtde_R", "8"}}); // not saved: the copy takes it, the source does not
        ClickAndAnswer("BitBtn5", false);
        QCOMPARE(Regra("003"), QString());

        ClickAndAnswer("BitBtn5", true);
        QCOMPARE(driver->Text("EdtCodigo"), "003");
        QCOMPARE(Regra("003"), "1|P||0|50|70|SAL;2|C|00002|0|0|3|SAL;3|M|03|0|0|8|SAL");
        QCOMPARE(Regra(), kRegra);
        QCOMPARE(Auditoria(), QStringList{"REGRA|REGRA 001 DUPLICADA PARA 003|0|003"});

        // A rule in use is warned about, but deleted.
        SqlCommit(
            {"INSERT INTO MAT_TIN (RECEITA, VARIANTE, CODIGO, REGRA) VALUES ('0001', '01', 'SAL', '001')",
             "INSERT INTO COMP_MATERIAL (MATERIAL, CODIGO, REGRA) VALUES ('PASTA', 'SAL', '001')"});
        TypeAndTab("EdtCodigo", "001");
        ClickAndAnswer("BitBtn4", false);
        QCOMPARE(
            messages.shown.last().text,
            QStringLiteral("Atenção!\n\rRegra em uso no cadastro de receitas.\n\rAtenção!\n\rRegra em uso no "
                           "cadastro de composição.\n\rDeseja excluir este registro?"));
        QCOMPARE(Regra(), kRegra);
        QCOMPARE(Auditoria().size(), 1);
        ClickAndAnswer("BitBtn4", true);
        QCOMPARE(Regra(), QString());
        QCOMPARE(Seen("SELECT REGRA FROM MAT_TIN"), "001");
        QCOMPARE(Auditoria().last(), "REGRA|EXCLUSAO DA REGRA 001|2|001");
    }

    // ---- recipes
    void aSaveUnreleasesThePriceOnlyOnACostChangeAndTheGridFillsItems() {
        BaseReceita();
        AbreReceita("0001", "01");
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
        AbreReceita("0001", "01");
        driver->Click("BtDuplicar");
        const QString novo = driver->Text("EdtCodigo");
        driver->Click("BitBtn5");
        QCOMPARE(RowsSeenByOthers("SELECT LIBERADO FROM TABPRECO"), precos);
        QCOMPARE(Seen("SELECT COUNT(*), SUM(QTDE) FROM MAT_TIN WHERE RECEITA = '" + novo + "'"), "9|16");
        QCOMPARE(Seen("SELECT COUNT(*) FROM MAT_TIN WHERE RECEITA = '0001'"), "9");

        // A changed cost unreleases the colour's price in the default region only.
        AbreReceita("0001", "01");
        Cells("DBGrid1", Linha("M4"), {{"Qtde", "3"}}); // 0.1 -> 0.3
        driver->Click("BitBtn5");
        QCOMPARE(Seen("SELECT CUSTO FROM RECEITA WHERE CODIGO = '0001'"), "1.65");
        QCOMPARE(Precos(), "01|C1|01|N;01|C2|02|S;02|C1|01|S");

        // A new recipe is compared with no cost at all; the bath it is given costs its g/l items.
        AbreReceita("0009", "02");
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

        AbreReceita("0002", "02"); // the grid fills items from their products
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

    void refusalsAndFailuresWriteNothingAndDeleteTakesAll() {
        BaseReceita();
        InsertCommit("MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE, TP_ITEM)",
                     {"'0002', '02', 2, 'M3', '%', 1, 'M'"});
        QStringList antes = Estado();
        AbreReceita("0001", "01");
        driver->Type("EdtCodCor", "C2");
        driver->Click("BitBtn5");
        QCOMPARE(messages.LastText(),
                 QString("Receita + Variante já cadastrada com outra cor. Impossível gravar."));
        QCOMPARE(driver->FocusedName(), "EdtCodigo");

        // A pair another user stored after this screen found it new is not replaced.
        AbreReceita("0008", "01");
        driver->Type("EdtDescricao", "MINHA");
        Cabecalho("C1", "10");
        Cells("DBGrid1", 0, {{"Material", "M1"}});
        ByOther(
            "INSERT INTO RECEITA (CODIGO, DESCRICAO, VARIANTE, COR) VALUES ('0008', 'DO OUTRO', '01', 'C1')");
        antes = Estado();
        driver->Click("BitBtn5");
        QCOMPARE(messages.LastText(), "Receita + Variante já cadastrada. Impossível gravar.");

        AbreReceita("0002", "02");
        driver->Click("BitBtn5");
        QCOMPARE(messages.LastText(), "Receita com Material Inativo: \nM3 CORANTE VELHO");

        const struct {
            const char *caixa, *valido, *invalido, *mensagem;
        } cadastros[] = {{"EdtCodVar", "02", "99", "Variante inválida."},
                         {"EdtCodCor", "C2", "ZZ", "Cor inválida."},
                         {"EdtCodBan", "20", "99", "Volume de banho inválido."},
                         {"EdtCodGra", "001", "999", "Gráfico inválido."}};
        AbreReceita("0007", "02");
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

        // A save failing midway keeps the stored recipe.
        FailWhen("MAT_TIN", "BEFORE INSERT", "NEW.ORDEN = 3"); // after the delete and two inserts
        AbreReceita("0001", "01");
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
        AbreReceita("0001", "01");
        ClickAndAnswer("BitBtn7", false);
        QCOMPARE(Estado(), salva);
        ClickAndAnswer("BitBtn7", true);
        QCOMPARE(Seen("SELECT COUNT(*) FROM RECEITA WHERE CODIGO = '0001'"), "0");
        QCOMPARE(Seen("SELECT RECEITA, COUNT(*) FROM MAT_TIN GROUP BY RECEITA"), "0002|2");
        QCOMPARE(Logs().last(), "RECEITA|EXCLUSAO DE RECEITA 0001 VARIANTE 01|3|000101|fmTngReceita");
    }

    void searchOpensAndPrints() {
        BaseReceita();
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
        QCOMPARE(driver->Value("DBGrid2", "DESC_PREP") + '|' + driver->Value("DBGrid2", "LIBERADA"), "|Não");
        driver->Press("Enter", "DBGrid2");
        QCOMPARE(driver->Text("EdtDescricao"), "VERDE");
        QCOMPARE(Linhas(), QStringList{"S|1|M1|1|0.1"});

        // "Consultar" picks a recipe of the look-up, by code and variant.
        messages.searches.enqueue("0001/01");
        driver->Click("BtConsultar");
        QCOMPARE(driver->Text("EdtDescricao"), "AZUL ROYAL");
        QCOMPARE(Linhas().size(), 11);

        // Its sheet shows prices only when asked; the list prints what the search found.
        const ReportFolder pasta;
        QStringList gerados, textos;
        auto imprime = [&](const char* botao, const QString& relatorio) {
            QFile::remove(pasta.Path(relatorio + ".pdf"));
            driver->Click(botao);
            if (QFile::exists(pasta.Path(relatorio + ".pdf")))
                gerados << relatorio;
            textos << pasta.Text(relatorio + ".pdf");
        };
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

QTEST_MAIN(TstTngRoteiro)
#include "tst_tngroteiro.moc"
