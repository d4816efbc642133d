// The lot sheet screen: the invoice balance after every save and delete, concurrent takes, atomic saves,
// machine and credit limits, write-off and release; split, copy and reprocess of a sheet.
#include "Acesso.h"
#include "TPesquisa.h"
#include "TestDatabase.h"
#include <QDateEdit>
#include <QTest>

namespace {
const QString kMaiorQueDisponivel = QStringLiteral("Peso Programado maior que disponível.");
const QString kSemSaldo = QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Deseja continuar?");
const QString kConcluido = QStringLiteral("Processo concluído.");
const QString kSemItem = QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Impossível continuar.");
} // namespace

class TstCadFal : public ScreenTestCase {
    Q_OBJECT
    // Parameters are read when the screen is created: it is created anew with these, as "number=value".
    void Reabre(const QStringList& parametros) {
        driver->Close();
        for (const QString& p : parametros)
            Sql(QStringLiteral(
                    "UPDATE OR INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', %1, '%2') "
                    "MATCHING (MODULO, NUMERO)")
                    .arg(p.section('=', 0, 0), p.section('=', 1)));
        Commit();
        driver->Open("TFmCadFal");
    }
    // A colour with a released recipe and a price per term in region 01, the customer's.
    void Cor(const QString& cor, int diasDoPreco = 0) {
        Sql("UPDATE ENTIDADE SET TABELA = '01' WHERE CODCLI = 'C1'");
        Insert("CADCORTIN (CODIGO, DESCRICAO)", {QStringLiteral("'%1', 'COR %1'").arg(cor)});
        Insert("RECEITA (CODIGO, VARIANTE, COR, LIBERADA)",
               {QStringLiteral("'%1', '01', '%2', '1'").arg(cor.right(4), cor)});
        Insert("TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, PRECO_07, LIBERADO, DATA, CODIGO)",
               {QStringLiteral("'01', '%1', '01', 10, 11, 'S', '%2', ''")
                    .arg(cor, QDate::currentDate().addDays(-diasDoPreco).toString(Qt::ISODate))});
    }
    void CorNaTela(const QString& cor) {
        driver->Type("EdtCor", cor);
        driver->Type("EdtVariante", "01");
    }
    QString Livre() { return Seen("SELECT PESO FROM NFITIN ORDER BY CODIGO"); }
    void Equilibrio(const char* passo, bool negativoPermitido = false) {
        QVERIFY2(InvoiceImbalances(negativoPermitido).isEmpty(), passo);
        QVERIFY2(messages.Texts().isEmpty(), qPrintable(QString(passo) + ": " + messages.Texts().join('|')));
    }
    // Saved without a word: the balance holds, the invoice items have this free weight left.
    void Gravada(const char* passo, const QString& livre) {
        driver->Click("BtnIncluir");
        Equilibrio(passo);
        QVERIFY2(Livre() == livre, qPrintable(QString(passo) + ": " + Livre()));
    }
    void Cabecalho(const QString& numero, const QString& maquina = "") {
        TypeAndTab("EdtFal", numero);
        driver->Type("EdtCodCli", "C1");
        driver->Type("EdtRoteiro", "R1");
        driver->Type("EdtMaquina", maquina);
    }
    void Linha(int n, const QString& tecido, const QString& peso) {
        Cells("DBGrid1", n, {{"NF", "N1"}, {"Tecido", tecido}, {"Peso", peso}});
    }
    // Unsaved on the screen: the header (and colour, if given), a row of invoice N1 per "fabric=weight".
    void Nova(const QString& numero, const QStringList& linhas, const QString& cor = QString()) {
        Cabecalho(numero);
        if (!cor.isEmpty())
            CorNaTela(cor);
        for (int n = 0; n < linhas.size(); ++n)
            Linha(n, linhas[n].section('=', 0, 0), linhas[n].section('=', 1));
    }
    void Abre(const QString& numero) { TypeAndTab("EdtFal", numero); }
    // Deleted without a word: the balance holds.
    void Excluida(const QString& numero) {
        Abre(numero);
        ClickAndAnswer("BtnExclui", true);
        Equilibrio(qPrintable("excluida " + numero));
    }
    // The split with its answers queued: pieces per row, then the new number (a null one cancels); by its
    // letter, it acts where the focus is.
    void Desmembra(const QVariantList& respostas, bool pelaLetra = false) {
        for (const QVariant& resposta : respostas)
            messages.inputs.enqueue(resposta);
        if (pelaLetra)
            driver->Activate("btnDesmembrar");
        else
            driver->Click("btnDesmembrar");
        QVERIFY2(messages.inputs.isEmpty(), "respostas sobrando");
    }
    // Refused with this message: no sheet nor item more or less.
    void Recusada(const QString& texto) {
        const QStringList antes = Snapshot({"FAL", "FAL_ITEN"});
        QCOMPARE(ClickMessages("BtnIncluir"), texto);
        QCOMPARE(Snapshot({"FAL", "FAL_ITEN"}), antes);
    }
    // Everything a split or a delete could write.
    QStringList Estado() { return Snapshot({"FAL", "FAL_ITEN", "PROCESSO_TIN", "TABELA", "LOG", "NFITIN"}); }

private slots:
    // Every test starts here, the screen open with items typed freely (product mode "N").
    void init() {
        DatabaseTestCase::init();
        Insert("PARAMETROS (MODULO, NUMERO, VALOR)", {"'TIN', 150, 'N'"});
        Insert("ENTIDADE (CODCLI, NOME)", {"'C1', 'MALHARIA UM'"});
        Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARO'", "'03', 'TINGIMENTO'"});
        Insert("ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE)",
               {"'R1', 'TINTO', 1, '01'", "'R1', 'TINTO', 2, '03'"});
        Insert("MAQ_TIN (CODIGO, DESCRICAO, PESO_MIN, PESO_MAX)", {"'M1', 'JET', 20, 120"});
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'CLARA'"});
        Insert("NFTIN (NOTA, CLIENTE, SALDO)", {"'N1', 'C1', 150"});
        InsertCommit("NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL, ROLOS)",
                     {"'N1', 'C1', 'T1', 'L1', 100, 100, 5", "'N1', 'C1', 'T2', 'L2', 50, 50, 2"});
        driver->Open("TFmCadFal");
    }

    void balancoAposCadaGravacaoEExclusao() {
        Nova("000001", {"T1=40"});
        Gravada("criada", "60;50");
        QCOMPARE(Seen("SELECT CODIGO, FASE, ORDEM FROM PROCESSO_TIN ORDER BY ORDEM"), "T1|01|1;T1|03|2");

        Abre("000001");
        QCOMPARE(driver->Value("DBGrid1", "Disp"), "100");
        driver->Cell("DBGrid1", "Peso", "70");
        Gravada("aumentada", "30;50");

        Abre("000001");
        driver->Cell("DBGrid1", "Peso", "25");
        Linha(1, "T2", "10");
        Gravada("diminuida e com outra linha", "75;40");

        Abre("000001");
        driver->Row("DBGrid1", 0);
        driver->Press("Ctrl+Del", "DBGrid1");
        Gravada("linha removida", "100;40");

        Abre("000001");
        Cells("DBGrid1", 0, {{"Lote", ""}, {"Tecido", "T1"}, {"Peso", "30"}});
        Gravada("item da nota trocado", "70;50");

        // A finishing sheet takes nothing of the invoice; normal again, it takes its weight back.
        for (const auto& [tipo, livre] : {std::pair("RbTipo4", "100;50"), {"RbTipo1", "70;50"}}) {
            Abre("000001");
            driver->Click(tipo);
            Gravada(tipo, livre);
        }
        Excluida("000001");
        QCOMPARE(QString::number(Count("PROCESSO_TIN")) + ';' + Livre(), "0;100;50");
        QCOMPARE(Count("LOG", "TEXTO STARTING 'EXCLUSAO'"), 1);
    }

    // A lot typed over a saved row moves what it holds to the item it names, within that item's free weight;
    // a lot no invoice has holds nothing. A refusal writes nothing.
    void loteDigitadoLevaOPeso() {
        Insert("NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL, ROLOS)",
               {"'N1', 'C1', 'T1', 'L3', 30, 30, 1"});
        SqlCommit("UPDATE NFTIN SET SALDO = 180");
        const auto lotes = [this] {
            return Seen("SELECT LOTE, PESO FROM NFITIN ORDER BY LOTE") + ';' +
                   Seen("SELECT LOTE, PESO_NF FROM FAL_ITEN");
        };
        Cabecalho("000001");
        Cells("DBGrid1", 0, {{"NF", "N1"}, {"Lote", "L1"}, {"Tecido", "T1"}});
        for (const auto& [lote, peso, recusa] : {std::tuple("L1", "40", QString()),
                                                 {"L3", "40", kMaiorQueDisponivel},
                                                 {"L9", "25", kSemItem},
                                                 {"L3", "25", QString()}}) {
            Cells("DBGrid1", 0, {{"Lote", lote}, {"Peso", peso}});
            if (!recusa.isEmpty()) {
                Recusada(recusa);
                QCOMPARE(lotes(), "L1|60;L2|50;L3|30;L1|40");
                continue;
            }
            driver->Click("BtnIncluir");
            Equilibrio(lote);
            Abre("000001");
        }
        QCOMPARE(lotes(), "L1|100;L2|50;L3|5;L3|25");
        Excluida("000001");
        QCOMPARE(lotes(), "L1|100;L2|50;L3|30;");
    }

    void duasLinhasNoMesmoItemERecusas() {
        Cabecalho("000001"); // without items it would open as written off
        Recusada("FAL sem itens. Impossível continuar.");
        Nova("000001", {"T1=30", "T1=50"});
        Gravada("duas linhas num item", "20;50");
        // Over the free weight, summed per invoice item: refused, nothing written.
        Nova("000002", {"T1=15", "T1=15"});
        Recusada(kMaiorQueDisponivel);
        QCOMPARE(Livre(), "20;50");
        // Its own number as the original of a reprocess.
        driver->Type("EdtReproc", "000002");
        Recusada("FAL de reprocesso não pode ser a mesma FAL original.");
    }

    void segundaConexaoTomaOPesoLivre() {
        Nova("000001", {"T1=80"});
        // Another workstation takes 30 kg of the same item meanwhile.
        ByOther({"INSERT INTO FAL (NUMERO, CLIENTE, TIPO) VALUES ('000001', 'C1', 1)",
                 "INSERT INTO FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, PESO, PESO_NF) VALUES ('000001', 1, "
                 "'N1', 'T1', 'L1', 30, 30)",
                 "UPDATE NFITIN SET PESO_PROG = 30, PESO = 70 WHERE CODIGO = 'T1'",
                 "UPDATE NFTIN SET SALDO = 120"});
        Recusada(kMaiorQueDisponivel);
        QVERIFY(InvoiceImbalances().isEmpty());
        QCOMPARE(Livre(), "70;50");
        // A number stored meanwhile by the other is not altered: a fresh one is offered.
        driver->Cell("DBGrid1", "Peso", "60");
        messages.questions.enqueue(true);
        Gravada("numero tomado", "10;50");
        QCOMPARE(Seen("SELECT FAL, PESO FROM FAL_ITEN ORDER BY FAL"), "000001|30;000002|60");
    }

    void regravacaoMantemColunasDeOutrosEPassosIniciados() {
        Nova("000001", {"T1=40"});
        driver->Click("BtnIncluir");
        SqlCommit({"UPDATE FAL SET SIT_EST = 'I', PROMOCAO = 'P1', SITUACAO = 'X' WHERE NUMERO = '000001'",
                   "UPDATE FAL_ITEN SET PESO_FATUR = 12, SITUACAO = 'I'",
                   "UPDATE PROCESSO_TIN SET PENDENTE = 'S', DATA_INI = '2026-01-05' WHERE FASE = '01'"});
        Abre("000001");
        Linha(1, "T2", "10");
        Gravada("regravada", "60;40");
        QCOMPARE(Seen("SELECT SIT_EST, PROMOCAO, SITUACAO FROM FAL"), "I|P1|X");
        QCOMPARE(Seen("SELECT CODIGO, PESO_FATUR, SITUACAO FROM FAL_ITEN ORDER BY ORD_IT"), "T1|12|I;T2||");
        QCOMPARE(Seen("SELECT CODIGO, FASE, PENDENTE FROM PROCESSO_TIN ORDER BY CODIGO, ORDEM"),
                 "T1|01|S;T1|03|;T2|01|;T2|03|");
    }

    void falhaNoUltimoPassoOuNaExclusaoNaoMudaNada() {
        FailWhen("PROCESSO_TIN", "BEFORE INSERT", "NEW.FASE = '03'");
        Nova("000001", {"T1=40"});
        QVERIFY(ClickMessages("BtnIncluir").contains("falha forçada"));
        QVERIFY(InvoiceImbalances().isEmpty());
        QCOMPARE(Count("FAL") + Count("FAL_ITEN") + Count("PROCESSO_TIN") + Count("LOG"), 0);
        QCOMPARE(Livre(), "100;50");

        // The services go last but one in a delete: failing there keeps everything the delete had undone.
        FailWhen("TABELA", "BEFORE DELETE");
        Gravada("gravada", "60;50");
        SqlCommit("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('000001', '01', 0.5)");
        const QStringList antes = Estado();
        Abre("000001");
        ClickAndAnswer("BtnExclui", true);
        QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
        messages.Clear();
        QCOMPARE(Estado(), antes);
        QVERIFY(InvoiceImbalances().isEmpty());
    }

    void limitesDaMaquinaEBaixaELiberacao() {
        Cabecalho("000001", "M1");
        Linha(0, "T1", "19,99");
        Recusada("Peso total da FAL fora do intervalo permitido na máquina.\rO peso mínimo tem de "
                 "ser superior ou igual a 20 KG.");
        driver->Cell("DBGrid1", "Peso", "70");
        Linha(1, "T2", "50");
        Gravada("no limite", "30;0");

        Abre("000001");
        ClickAndAnswer("BitBtn4", true);
        QCOMPARE(Seen("SELECT FATURADO, PESO_DEV FROM FAL_ITEN ORDER BY ORD_IT"), "S|70;S|50");
        QVERIFY(!driver->Enabled("BtnIncluir"));
        driver->Click("BitBtn7");
        QCOMPARE(Seen("SELECT FATURADO, PESO_DEV, PESO_FATUR FROM FAL_ITEN ORDER BY ORD_IT"), "A|0|0;A|0|0");
        QCOMPARE(Count("LOG", "TEXTO STARTING 'BAIXA FAL NR. 000001' OR TEXTO STARTING 'LIBERAÇÃO P/ "
                              "FATURAMENTO DA FAL 000001'"),
                 2);
    }

    void modoProdutoPerguntaQuandoFaltaSaldo() {
        // Items from the product register, which has T1.
        InsertCommit("PRODUTO (CODIGO, DESCRICAO)", {"'T1', 'MEIA MALHA'"});
        Reabre({"150=S"});
        Cabecalho("000001");
        for (int n : {0, 1})
            Cells("DBGrid1", n, {{"NF", "N1"}, {"Tecido", "T1"}, {"Peso", "60"}, {"Lote", "L1"}});
        // 120 kg of an item with 100 free: asked, summed over both rows.
        ClickAndAnswer("BtnIncluir", false);
        QCOMPARE(TakeShown(), kSemSaldo);
        QCOMPARE(QString::number(Count("FAL")) + ';' + Livre(), "0;100;50");
        // Going on takes the whole weight: the invoice item is overdrawn, its balance still exact.
        ClickAndAnswer("BtnIncluir", true);
        QCOMPARE(TakeShown(), kSemSaldo);
        Equilibrio("sem saldo", true);
        QCOMPARE(Livre(), "-20;50");
        Excluida("000001");
        QCOMPARE(Livre(), "100;50");
        // An item deleted while the question is open holds nothing.
        messages.Clear();
        Cabecalho("000002");
        Cells("DBGrid1", 0, {{"NF", "N1"}, {"Tecido", "T1"}, {"Peso", "120"}, {"Lote", "L1"}});
        messages.antesDaPergunta = [this] {
            ByOther({"DELETE FROM NFITIN WHERE LOTE = 'L1'", "UPDATE NFTIN SET SALDO = 50"});
        };
        ClickAndAnswer("BtnIncluir", true);
        QCOMPARE(TakeShown(), kSemSaldo + '|' + kSemItem);
        QCOMPARE(Seen("SELECT COUNT(*) FROM FAL"), "0");
        Equilibrio("item excluido");
    }

    void precoDaCorEQuadroDaEstampa() {
        Reabre({"190=S", "240=5"});
        Cor("C01");
        Cor("C02", 6);
        Cor("C03", 5);
        Cor("C04");
        Sql("UPDATE TABPRECO SET DATA = NULL WHERE COR = 'C04'");
        Insert("ENTIDADE (CODCLI, NOME)", {"'P1', 'GRAVACOES SUL'"});
        Insert("QUADRO (CODIGO, PORTADOR, ATIVO)", {"'Q1', 'P1', 'S'", "'Q2', 'P1', 'N'"});
        InsertCommit("EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO)",
                     {"'E1', '01', 1, 'Q1'", "'E2', '01', 1, 'Q1'", "'E2', '01', 2, 'Q2'"});
        Nova("000001", {"T1=40"});
        QCOMPARE(driver->Text("EdtTabPreco"), "01");
        // Unreleased after the region was checked on the sheet.
        SqlCommit("UPDATE TABPRECO SET LIBERADO = 'N' WHERE COR = 'C01'");
        CorNaTela("C03");
        driver->Select("CbPrazo", "28"); // the table has no column for this term
        Recusada("Preço da cor não cadastrado.");
        driver->Select("CbPrazo", "07");
        CorNaTela("C01");
        Recusada("Preço da cor não Liberado.");
        CorNaTela("C02");
        Recusada("Data da última alteração de preço, " +
                 QDate::currentDate().addDays(-6).toString("dd/MM/yyyy") +
                 " maior que o limite do dia definido: 5.");
        CorNaTela("C04");
        Recusada("Preço da cor sem data de alteração; não há como conferir o limite de 5 dias.");
        CorNaTela("C03");
        driver->Page("PageControl1", "Estampa");
        driver->Type("EdtEstampa", "E2");
        driver->Type("EdtVarEst", "01");
        Recusada("Quadro/Cilindro da Estampa inativo. Portador GRAVACOES SUL.");
        driver->Type("EdtEstampa", "E1");
        Gravada("preco com cinco dias e quadros ativos", "60;50");
        QCOMPARE(Seen("SELECT COR, PRAZO, ESTAMPA FROM FAL"), "C03|07|E1");
    }

    void limiteDeCredito() {
        Reabre({"250=S"});
        Cor("C01");
        // 100 open (as ValorAbertoFals counts it, tested with the database) and 40 kg at 10.00 here.
        Insert("FAL (NUMERO, CLIENTE, TIPO, PRAZO, TABPRECO, COR, VARIANTE)",
               {"'000091', 'C1', 1, '00', '01', 'C01', '01'"});
        Insert("FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, PESO, FATURADO)", {"'000091', 1, 'N0', 'T9', 10, 'A'"});
        Sql("UPDATE ENTIDADE SET LIMITE_CREDITO = 500 WHERE CODCLI = 'C1'");
        AddUser("002", "OPERADOR", "op", "NNS");
        AddUser("003", "CHEFE", "chefe", "SNS");
        Grant("002", "*");
        Grant("003", "TFmCadFal", "A", 1);
        Commit();
        QVERIFY(Autentica("OPERADOR", "op"));
        Nova("000001", {"T1=40"}, "C01");
        Gravada("no limite", "60;50");

        SqlCommit("UPDATE ENTIDADE SET LIMITE_CREDITO = 499.99 WHERE CODCLI = 'C1'");
        Abre("000001");
        driver->Click("BtnIncluir"); // a cent over, nobody to release it
        QCOMPARE(messages.shown.last().kind, "login");
        QCOMPARE(TakeMessages(), "Cliente Excedeu o Limite de Crédito.");
        const QString liberado = "SELECT TEXTO FROM LOG WHERE TEXTO STARTING 'LIBERADO LIMITE'";
        QCOMPARE(Seen(liberado), QString());
        messages.logins.enqueue({"CHEFE", "chefe"});
        Recusada("Cliente Excedeu o Limite de Crédito.");
        QCOMPARE(Seen(liberado), "LIBERADO LIMITE DE CREDITO DA FAL 000001 TIPO: NORMAL LIBERADO POR CHEFE.");

        // A reprocess is not checked.
        Cabecalho("000002");
        CorNaTela("C01");
        driver->Type("EdtReproc", "000001");
        Linha(0, "T2", "10");
        driver->Click("BtnIncluir");
        Equilibrio("reprocesso");
        QCOMPARE(Seen("SELECT COUNT(*) FROM FAL WHERE NUMERO = '000002'"), "1");
    }

    void corNaoMudaComConsumoBaixado() {
        Cor("C01");
        Cor("C02");
        Nova("000001", {"T1=40"}, "C01");
        Gravada("gravada", "60;50");
        SqlCommit("INSERT INTO TNG_CONSUMOS (FAL, CODIGO, ORDEM, BAIXADO) VALUES ('000001', 'Q9', 1, 'S')");
        Abre("000001");
        driver->Type("EdtCor", "C02");
        Recusada("Consumo da FAL já baixado. Impossível alterar a cor.");
        QCOMPARE(Seen("SELECT COR FROM FAL"), "C01");
        // The colour stays: the sheet saves.
        driver->Type("EdtCor", "C01");
        Gravada("mesma cor", "60;50");
        // Not yet written off: the change is logged with the save.
        SqlCommit("UPDATE TNG_CONSUMOS SET BAIXADO = 'N'");
        SqlCommit("UPDATE CADCORTIN SET COR_SIS = 16711680 WHERE CODIGO = 'C02'");
        const auto painel = [this] {
            return driver->Get<QFrame>("PnCor")->palette().color(QPalette::Window);
        };
        Abre("000001");
        const QColor semCor = painel();
        TypeAndTab("EdtCor", "C02");
        QCOMPARE(painel(), QColor(Qt::red)); // the colour's COR_SIS, on leaving the box and on loading
        Gravada("outra cor", "60;50");
        Abre("000001");
        QCOMPARE(painel(), QColor(Qt::red));
        QVERIFY(semCor != QColor(Qt::red));
        QCOMPARE(Seen("SELECT TEXTO FROM LOG WHERE TEXTO STARTING 'ALTERADO DESENHO'"),
                 "ALTERADO DESENHO DE: C01 Para C02, ALTERADO VARIANTE DE: 01 Para 01");
    }

    // Every column a save writes, NULL told from empty; a re-save writes only what changed (by record
    // version), and lays the steps out again only when fabrics or routes change.
    void itensEPassosGravadosColunaAColuna() {
        SqlCommit("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('R2', 'SEM FASE', 1, '09')");
        Cabecalho("000001");
        driver->Type("EdtPartida", "P7");
        Linha(0, "T1", "40");
        Linha(1, "T2", "10");
        Gravada("gravada", "60;40");
        QCOMPARE(Seen("SELECT ORD_IT, NOTA, CODIGO, LOTE, ROLO, PESO, FLUXO, COALESCE(GRAMATURA, -1), "
                      "COALESCE(OBSERVACAO, '<nulo>'), PESO_NF, FATURADO FROM FAL_ITEN ORDER BY ORD_IT"),
                 "1|N1|T1|L1|5|40|R1|-1|<nulo>|40|A;2|N1|T2|L2|2|10|R1|-1|<nulo>|10|A");
        const QString passos =
            "SELECT FAL, CODIGO, ORD_IT, FASE, COALESCE(DES_FASE, '<nulo>'), ORDEM, "
            "COALESCE(PARTIDA, '<nulo>'), CONCLUIDO, COALESCE(GRAFICO, '<nulo>'), "
            "COALESCE(PENDENTE, DATA_INI, OBS, MAQUINA, '<nulo>') FROM PROCESSO_TIN ORDER BY "
            "ORDEM, ORD_IT";
        QCOMPARE(Seen(passos),
                 "000001|T1|1|01|PREPARO|1|P7|N|<nulo>|<nulo>;000001|T2|2|01|PREPARO|1|P7|N|<nulo>|"
                 "<nulo>;000001|T1|1|03|TINGIMENTO|2|P7|N|<nulo>|<nulo>;000001|T2|2|03|TINGIMENTO|2|P7|"
                 "N|<nulo>|<nulo>");
        const auto versoes = [this](const char* tabela) {
            return RowsSeenByOthers(
                QStringLiteral("SELECT RDB$RECORD_VERSION FROM %1 ORDER BY ORD_IT, 1").arg(tabela));
        };
        const QStringList itensAntes = versoes("FAL_ITEN"), passosAntes = versoes("PROCESSO_TIN");

        Abre("000001");
        Cells("DBGrid1", 1, {{"Peso", "12"}});
        Gravada("um peso mudado", "60;38");
        QCOMPARE(versoes("PROCESSO_TIN"), passosAntes);
        const QStringList itensDepois = versoes("FAL_ITEN");
        QCOMPARE(itensDepois.value(0), itensAntes.value(0));
        QVERIFY(itensDepois.value(1) != itensAntes.value(1));
        // A remark with what looks like placeholders is stored as typed (the screen drops typed quotes).
        Abre("000001");
        Cells("DBGrid1", 1, {{"Observacao", "50%1 D'AVILA %3"}});
        driver->Click("BtnIncluir");
        QCOMPARE(Seen("SELECT OBSERVACAO FROM FAL_ITEN WHERE ORD_IT = 2"), "50%1 DAVILA %3");

        // Another route: the steps are laid out again, a phase the register lacks without a description.
        Abre("000001");
        driver->Type("EdtRoteiro", "R2");
        Gravada("outro roteiro", "60;38");
        QCOMPARE(Seen(passos),
                 "000001|T1|1|09|<nulo>|1|P7|N|<nulo>|<nulo>;000001|T2|2|09|<nulo>|1|P7|N|<nulo>|<nulo>");
    }

    // Invoiced, concluded, consumption written off: told in that order, nothing deleted. A sheet opens with
    // the phase of its first open step, CONCLUIDO when none is open, PROGRAMACAO without steps.
    void exclusaoRecusadaEAberturaComSituacao() {
        Nova("000001", {"T1=40"});
        Gravada("gravada", "60;50");
        const auto abre = [this](const QString& situacao) {
            Abre("000001"); // typed again, the number reads the sheet again
            QCOMPARE(driver->Text("EdtSituacao"), situacao);
        };
        abre("PREPARO");
        SqlCommit({"UPDATE PROCESSO_TIN SET CONCLUIDO = 'S' WHERE FASE = '01'",
                   "INSERT INTO TNG_CONSUMOS (FAL, CODIGO, ORDEM, BAIXADO) VALUES ('000001', 'Q9', 1, 'S')",
                   "INSERT INTO NOTAITEN (FATURA, PEDIDO) VALUES (1, '000001')"});
        abre("TINGIMENTO");
        const struct {
            const char *texto, *libera;
        } recusas[] = {
            {"FAL já faturada. Impossível excluir.", "DELETE FROM NOTAITEN"},
            {"FAL com Processo já concluído. Impossível excluir.", "UPDATE PROCESSO_TIN SET CONCLUIDO = 'N'"},
            {"Consumo da FAL já baixado. Impossível excluir.", "DELETE FROM TNG_CONSUMOS"}};
        for (const auto& [texto, libera] : recusas) {
            QCOMPARE(ClickMessages("BtnExclui"), QString::fromUtf8(texto));
            QCOMPARE(Seen("SELECT COUNT(*) FROM FAL"), "1");
            SqlCommit(libera);
        }
        SqlCommit("UPDATE PROCESSO_TIN SET CONCLUIDO = 'S'");
        abre("CONCLUIDO");
        SqlCommit({"DELETE FROM PROCESSO_TIN", "UPDATE FAL_ITEN SET FATURADO = 'S'"});
        abre("PROGRAMACAO");
        QCOMPARE(TakeMessages(), "FAL já baixada. Disponível apenas para consulta.");
        QVERIFY(!driver->Enabled("BtnIncluir"));
    }

    // The consult reads a window, the next when the list is scrolled to its end: the rows of the whole
    // statement, in number order, none twice; a new consult starts again.
    void consultaLidaPorJanelas() {
        SqlCommit("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 1100) DO BEGIN INSERT INTO FAL "
                  "(NUMERO, CLIENTE, DATA_INI) VALUES (LPAD(2 * :I + 1, 7, '0'), IIF(MOD(:I, 3) = 0, 'C2', "
                  "'C1'), '2026-11-10'); I = I + 1; END END");
        driver->Page("PageControl1", "Consulta");
        driver->Get<QDateEdit>("EdtConsDataIni")->setDate(QDate(2026, 11, 1));
        driver->Get<QDateEdit>("EdtConsDataFin")->setDate(QDate(2026, 11, 30));
        driver->Type("EdtConsCliente", "C1");
        driver->Click("BitBtn5");
        QCOMPARE(driver->Rows("DBGrid2"), TPesquisa::kJanela);
        for (int lidas = 0; lidas != driver->Rows("DBGrid2");) {
            lidas = driver->Rows("DBGrid2");
            driver->Press("Ctrl+End", "DBGrid2");
            ProcessEvents();
        }
        QCOMPARE(FieldTexts("DBGrid2", "NUMERO"),
                 RowsSeenByOthers("SELECT NUMERO FROM FAL WHERE CLIENTE = 'C1' ORDER BY NUMERO"));
        driver->Type("EdtConsCliente", "");
        driver->Click("BitBtn5");
        QCOMPARE(driver->Rows("DBGrid2"), TPesquisa::kJanela);
        QCOMPARE(driver->Value("DBGrid2", "NUMERO"), "0000001");
    }

    // All pieces of a row take its very weight (no residue of 3 × 6.2 ÷ 3), part of them their share; the
    // weight held of the invoice goes along, the invoice does not move; deleting gives back exactly that.
    void desmembraPesosExatosEDevolveAoExcluir() {
        Nova("000001", {"T1=6,2", "T2=30"});
        for (int n : {0, 1})
            Cells("DBGrid1", n, {{"Rolo", "3"}});
        driver->Type("EdtPartida", "P1");
        Gravada("gravada", "93.8;20");
        SqlCommit({"UPDATE FAL SET STATUS = 'B', DATA_FIN = '2031-02-03' WHERE NUMERO = '000001'",
                   "UPDATE PROCESSO_TIN SET PENDENTE = 'S' WHERE FASE = '01'"});
        const QString passosDaOrigem = "SELECT CODIGO, FASE, CONCLUIDO, PENDENTE, RDB$RECORD_VERSION FROM "
                                       "PROCESSO_TIN WHERE FAL = '000001' ORDER BY CODIGO, FASE";
        const QStringList passosAntes = RowsSeenByOthers(passosDaOrigem);

        Abre("000001");
        Desmembra({"3", "1", "000050"});
        QCOMPARE(TakeMessages(), kConcluido);
        Equilibrio("desmembrada");
        QCOMPARE(Livre(), "93.8;20");
        QCOMPARE(Seen("SELECT FAL, ORD_IT, CODIGO, ROLO, PESO, PESO_NF, FATURADO FROM FAL_ITEN ORDER BY FAL, "
                      "ORD_IT"),
                 "000001|1|T1|0|0|0|A;000001|2|T2|2|20|20|A;000050|1|T1|3|6.2|6.2|A;000050|2|T2|1|10|10|A");
        // Exactly, not within a tolerance: the source keeps 0 and the two add up to the row's weight.
        QCOMPARE(Count("FAL_ITEN", "ORD_IT = 1 AND ((FAL = '000001' AND PESO = 0 AND PESO_NF = 0) OR (FAL = "
                                   "'000050' AND PESO = 6.2 AND PESO_NF = 6.2))"),
                 2);
        // The new sheet: the screen's header, entered today, delivery and status of the source, sequence 0.
        QCOMPARE(
            Seen("SELECT CLIENTE, ROTEIRO, PARTIDA, DATA_INI, DATA_FIN, STATUS, ORDEM FROM FAL WHERE "
                 "NUMERO = '000050'"),
            QStringLiteral("C1|R1|P1|%1|03/02/2031|B|0").arg(QDate::currentDate().toString("dd/MM/yyyy")));
        QCOMPARE(
            Seen("SELECT CODIGO, FASE, PARTIDA, CONCLUIDO FROM PROCESSO_TIN WHERE FAL = '000050' ORDER BY "
                 "ORDEM, CODIGO"),
            "T1|01|P1|N;T2|01|P1|N;T1|03|P1|N;T2|03|P1|N");
        QCOMPARE(RowsSeenByOthers(passosDaOrigem), passosAntes);
        QCOMPARE(Seen("SELECT TEXTO FROM LOG WHERE TEXTO STARTING 'DESMEMBRAMENTO'"),
                 "DESMEMBRAMENTO DA FAL 000001 PARA A FAL 000050");

        Excluida("000050");
        QCOMPARE(Livre(), "100;30");
        Excluida("000001");
        QCOMPARE(Livre(), "100;50");
        QCOMPARE(Seen("SELECT COUNT(*) FROM FAL_ITEN"), "0");
    }

    // A part leaves the source a weight that text would not hold exactly; the rest moved later still leaves
    // it 0, and the three add up to the row's weight.
    void desmembraDuasVezesSemResiduo() {
        Nova("000001", {"T1=30"});
        driver->Cell("DBGrid1", "Rolo", "7");
        Gravada("gravada", "70;50");
        Abre("000001");
        Desmembra({"2", "000002"});
        QCOMPARE(TakeMessages(), kConcluido);
        const QString resto = "CAST(30 AS DOUBLE PRECISION) - CAST(8.571 AS DOUBLE PRECISION)";
        QCOMPARE(Seen("SELECT FAL FROM FAL_ITEN WHERE (FAL = '000001' AND PESO = " + resto +
                      " AND PESO_NF = PESO AND ROLO = 5) OR (FAL = '000002' AND PESO = 8.571 AND PESO_NF = "
                      "8.571 AND ROLO = 2) ORDER BY FAL"),
                 "000001;000002");
        Abre("000002");
        driver->Type("EdtFal", "000001"); // not left: the letter splits the sheet typed
        Desmembra({"5", "000003"}, true);
        QCOMPARE(TakeMessages(), kConcluido);
        Equilibrio("desmembrada duas vezes");
        QCOMPARE(Seen("SELECT FAL, ROLO FROM FAL_ITEN WHERE PESO = 0 AND PESO_NF = 0"), "000001|0");
        QCOMPARE(Seen("SELECT FAL FROM FAL_ITEN WHERE PESO = " + resto + " AND PESO_NF = PESO"), "000003");
        QCOMPARE(Seen("SELECT COUNT(*) FROM FAL_ITEN HAVING ABS(SUM(PESO) - 30) < 1E-9 AND ABS(SUM(PESO_NF) "
                      "- 30) < 1E-9"),
                 "3");
        QCOMPARE(Livre(), "70;50");
    }

    // No pieces at all, more than the row has, a cancelled box, a blank, long or stored number, a failure
    // after the new sheet was written: nothing written, the source stays on the screen.
    void desmembraRecusadoNadaGravado() {
        Sql("INSERT INTO FAL (NUMERO, CLIENTE, TIPO) VALUES ('000009', 'C1', 4)");
        FailWhen("PROCESSO_TIN", "BEFORE INSERT", "NEW.FAL = '000077'");
        Nova("000001", {"T1=30", "T2=10"});
        Cells("DBGrid1", 0, {{"Rolo", "3"}});
        Gravada("gravada", "70;40");
        const QStringList antes = Estado();
        const struct {
            QVariantList respostas;
            const char* mensagem;
            int caixas;
        } casos[] = {
            {{"0", "0"}, "", 2},
            {{"0", "3"}, "Número de peças inválido. Impossível continuar.", 2},
            {{QVariant()}, "", 1},
            {{"1", "0", QVariant()}, "", 3},
            {{"1", "0", "  "}, "Número da nova FAL não informado. Impossível continuar.", 3},
            {{"1", "0", "12345678"}, "Número da nova FAL com mais de 7 caracteres. Impossível continuar.", 3},
            {{"1", "0", "000009"}, "FAL 000009 já cadastrada. Impossível continuar.", 3},
            {{"3", "2", "000001"}, "FAL 000001 já cadastrada. Impossível continuar.", 3},
        };
        for (const auto& caso : casos) {
            const QString rotulo = QStringLiteral("caso %1").arg(&caso - casos);
            Abre("000001");
            Desmembra(caso.respostas);
            QVERIFY2(CountShown("input") == caso.caixas, qPrintable(rotulo));
            const QString mensagens = TakeMessages();
            QVERIFY2(mensagens == QString::fromUtf8(caso.mensagem), qPrintable(rotulo + ": " + mensagens));
            QCOMPARE(driver->Text("EdtFal"), "000001");
            QCOMPARE(Estado(), antes);
        }
        // The last statement of the split fails: the new sheet and the pieces it took are undone.
        Abre("000001");
        Desmembra({"1", "2", "000077"});
        QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
        messages.Clear();
        QCOMPARE(Estado(), antes);
        QVERIFY(InvoiceImbalances().isEmpty());
        QCOMPARE(driver->Text("EdtFal"), "000001");
    }

    // A sheet whose grid differs from what is stored is saved first, or the split does not start.
    void desmembraPedeGravarAntes() {
        Nova("000001", {"T1=40"});
        Gravada("gravada", "60;50");
        const auto naoGrava = [this] { // asked, and answered No: nothing split
            messages.questions.enqueue(false);
            Desmembra({});
            QCOMPARE(TakeShown(), "FAL com alterações não gravadas. Deseja gravar antes de desmembrar?");
        };
        Abre("000001");
        driver->Cell("DBGrid1", "Peso", "50");
        naoGrava();
        QCOMPARE(Seen("SELECT FAL, PESO FROM FAL_ITEN"), "000001|40");
        // Yes: saved, then split from what was stored.
        messages.questions.enqueue(true);
        Desmembra({"5", "000060"});
        QCOMPARE(TakeMessages(), kConcluido);
        Equilibrio("gravada e desmembrada");
        QCOMPARE(Livre(), "50;50");
        QCOMPARE(Seen("SELECT FAL, ROLO, PESO, PESO_NF FROM FAL_ITEN ORDER BY FAL"),
                 "000001|0|0|0;000060|5|50|50");
        // Another customer on the screen, or a sheet never stored, is not what is stored either.
        SqlCommit("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('C2', 'MALHARIA DOIS')");
        Abre("000060");
        driver->Type("EdtCodCli", "C2");
        naoGrava();
        Nova("000002", {"T2=10"});
        naoGrava();
        QCOMPARE(Seen("SELECT COUNT(*) FROM FAL"), "2");
        Equilibrio("nada mais");
    }

    // A copy starts holding nothing: its rows show the invoice's free weight and may take only that.
    void duplicaTomaSoOPesoLivre() {
        Nova("000001", {"T1=60"});
        Gravada("gravada", "40;50");
        Abre("000001");
        driver->Click("BitBtn8");
        const QString copia = driver->Text("EdtFal");
        QVERIFY(!copia.isEmpty() && copia != QLatin1String("000001"));
        QCOMPARE(FieldText("DBGrid1", 0, "Disp|Peso"), "40|60");
        Recusada(kMaiorQueDisponivel);
        driver->Cell("DBGrid1", "Peso", "40");
        Gravada("copia gravada", "0;50");
        QCOMPARE(Seen("SELECT FAL, PESO, PESO_NF FROM FAL_ITEN ORDER BY FAL"),
                 QStringLiteral("000001|60|60;%1|40|40").arg(copia));
        Excluida(copia);
        QCOMPARE(Livre(), "40;50");
    }

    // The reprocess button loads a stored sheet as the model of the one on the screen; the save writes its
    // services, closes the original and takes no weight a second time, even with none free.
    void reprocessoPeloBotao() {
        Nova("000001", {"T1=100", "T2=20"});
        Gravada("original", "0;30");
        Insert("TABELA (CODIGO, SETOR, PRECO)", {"'000001', '01', 0.5", "'000001', '03', 1.25"});
        SqlCommit({"UPDATE FAL_ITEN SET PESO_FATUR = 5 WHERE FAL = '000001' AND ORD_IT = 1",
                   "UPDATE PROCESSO_TIN SET CONCLUIDO = 'S' WHERE FAL = '000001' AND CODIGO = 'T2' AND FASE "
                   "= '01'"});

        Abre("000002");
        for (const auto& [numero, recusa] :
             {std::pair("000002", "FAL de reprocesso não pode ser a mesma FAL original."),
              {"000008", "FAL 000008 não cadastrada."}}) {
            driver->Type("EdtReproc", numero);
            QCOMPARE(ClickMessages("BitBtn9"), QString::fromUtf8(recusa));
            QCOMPARE(driver->FocusedName(), "EdtReproc");
        }
        driver->Type("EdtReproc", "000001");
        ClickAndAnswer("BitBtn9", false);
        QCOMPARE(driver->Rows("DBGrid1"), 0);
        messages.Clear();

        messages.questions.enqueue(true);
        ClickAndAnswer("BitBtn9", true);
        QCOMPARE(TakeShown(),
                 "Tem certeza que deseja gerar Reprocesso dessa FAL?|Deseja aplicar no reprocesso os "
                 "serviços da FAL original?");
        // Nothing of the reprocess exists before it is saved.
        QCOMPARE(Seen("SELECT SETOR FROM TABELA WHERE CODIGO = '000002'"), QString());

        Gravada("reprocesso gravado", "0;30");
        QCOMPARE(Seen("SELECT NUM_REPROC FROM FAL WHERE NUMERO = '000002'"), "000001");
        QCOMPARE(Seen("SELECT CODIGO, PESO, PESO_NF, PESO_FATUR FROM FAL_ITEN WHERE FAL = '000002' ORDER BY "
                      "ORD_IT"),
                 "T1|100|0|;T2|20|0|");
        QCOMPARE(Seen("SELECT SETOR, PRECO FROM TABELA WHERE CODIGO = '000002' ORDER BY SETOR"),
                 "01|0.5;03|1.25");
        QCOMPARE(Seen("SELECT DISTINCT CONCLUIDO, COALESCE(OBS, '') FROM PROCESSO_TIN WHERE FAL = '000001' "
                      "ORDER BY 2"),
                 "S|;S|FAL REPROCESSADA. 000002");
        QCOMPARE(Seen("SELECT FATURADO, PESO_DEV FROM FAL_ITEN WHERE FAL = '000001' ORDER BY ORD_IT"),
                 "S|100;S|20");
    }
};

QTEST_MAIN(TstCadFal)
#include "tst_cadfal.moc"
