// The incoming-invoice screen: each item's free weight against what lot sheets took, the save as one unit of
// work, new items' lots, the header's checks, lot sheets' guards, quoted codes and the print.
#include "DBControls.h"
#include "DataSet.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QLineEdit>
#include <QProcess>
#include <QTest>

namespace {
const QString kNotaLancada = "Nota Já lançada Para este cliente.";
const QString kBloqueado = "Cliente Bloqueado. Não é permitido lançar a NF.";
const QString kItem = "NFITIN (NOTA, CODCLI, ORDEM, CODIGO, DESCRICAO, ROLOS, LOTE, VALOR, PESO, PESO_REAL, "
                      "PESO_NOTA, PESO_PROG)";
} // namespace

class TstTngNFEntra : public ScreenTestCase {
    Q_OBJECT

    TDataSet* Itens() { return driver->Screen()->findChild<TDataSet*>("TbItens"); }
    TZoDBGrid* Grade() { return driver->Get<TZoDBGrid>("DBGrid1"); }
    // Of customer 00001.
    QStringList Gravados(const QString& nota) {
        return RowsSeenByOthers("SELECT CODIGO, LOTE, PESO_REAL, PESO_PROG, PESO FROM NFITIN WHERE NOTA = '" +
                                nota + "' AND CODCLI = '00001' ORDER BY CODIGO, LOTE");
    }
    QString Saldo(const QString& nota) {
        return Seen("SELECT SALDO FROM NFTIN WHERE NOTA = '" + nota + "' AND CLIENTE = '00001'");
    }
    QStringList Logs() { return LogLines("TINGIMENTO"); }
    QString Programado() { return Seen("SELECT PESO_B FROM TNG_PROG WHERE NUMERO = '000001'"); }
    // Through the header's look-up, as the user chooses an invoice.
    void Mostra(const QString& nota, const QString& cliente) {
        messages.searches.enqueue(nota + '/' + cliente);
        driver->Click("btnConsultar");
    }
    void NovaNota(const QString& nota, const QString& cliente, const QString& natureza = "1901") {
        driver->Click("BitBtn12");
        driver->Type("EdtNota", nota);
        driver->Type("EdtCliente", cliente);
        driver->Type("EdtNatureza", natureza);
    }
    void Linha(int linha, const QList<QPair<QString, QString>>& celulas) { Cells("DBGrid1", linha, celulas); }

private slots:
    // For every test: customers in and out of the company's state, one blocked; natures of every kind;
    // fabrics with lots (P1, P3) and without (P2); an invoice of two items; a programme item.
    void init() {
        DatabaseTestCase::init();
        Insert("EMPRESA (CODIGO, NOME, UF)", {"'001', 'TINTURARIA', 'SC'"});
        Insert("CIDADE (COD_CID, NOME, COD_EST)", {"'1', 'BLUMENAU', 'SC'", "'2', 'AMERICANA', 'SP'"});
        Insert("CADCEP (CEP, COD_CID)", {"'89010-000', '1'", "'13465-000', '2'"});
        Insert("ENTIDADE (CODCLI, NOME, CEP, ATIVO, BLOQUEIO)",
               {"'00001', 'MALHARIA SC', '89010-000', 'S', 'N'",
                "'00002', 'MALHARIA SP', '13465-000', 'S', 'N'",
                "'00003', 'BLOQUEADA', '89010-000', 'S', 'S'",
                "'A''B', 'TECELAGEM D''ÁVILA', '89010-000', 'S', 'N'"});
        Insert("NATUREZA (NATUREZA, DESCRICAO, TIPO, TP_BASE)",
               {"'1901', 'REMESSA', 'R', '2'", "'2901', 'REMESSA DE FORA', 'R', '2'",
                "'1102', 'COMPRA', 'V', '2'", "'1949', 'OUTRA SAIDA', 'R', '1'"});
        Insert("TIPO_FISCAL (CODIGO, DESCRICAO)", {"'01', 'NORMAL'"});
        Insert("TABFIS (CODIGO, DESCRICAO)", {"'001', 'MALHA'", "'002', 'SINTETICO'"});
        Insert("GRUPO_PA (CODIGO, DESCRICAO, LOTE)", {"'G1', 'COM LOTE', 'S'", "'G2', 'SEM LOTE', 'N'"});
        Insert("PRODUTO (CODIGO, DESCRICAO, GRUPO, CODFIS)",
               {"'P1', 'MEIA MALHA', 'G1', '001'", "'P2', 'RIBANA', 'G2', '002'",
                "'P3', 'MOLETOM', 'G1', '001'"});
        Insert("PARAMETROS (MODULO, NUMERO, VALOR)", {"'COM', 80, 'N'"});
        Insert("PERIODO_CONCILIADO (TIPO, DATA_INI, DATA_FIN)", {"'CX', '2026-01-01', '2026-10-31'"});
        Insert("NFTIN (NOTA, CLIENTE, DATA, NATUREZA, EMISSOR, SERIE, TIPO, SALDO, TIPO_FRETE)",
               {"'000000100', '00001', '2026-11-20', '1901', '00001', '1', '01', 150, 2"});
        Insert(kItem, {"'000000100', '00001', 1, 'P1', 'MEIA MALHA', 4, '000010', 10, 100, 100, 100, 0",
                       "'000000100', '00001', 2, 'P2', 'MEIA MALHA', 4, '', 10, 50, 50, 50, 0"});
        InsertCommit("TNG_PROG (NUMERO, ORDEM, CODCLI, CODIGO, COR)", {"'000001', 1, '00001', 'P1', 'AZUL'"});
    }
    void balanceKeepsWhatLotSheetsTook();
    void refusedOrFailedConfirmWritesNothing();
    void lotOfANewItem_data();
    void lotOfANewItem();
    void headerChecksOnExitAndAtConfirm();
    void lotSheetsGuardTheInvoice();
    void quotesInCodesAndNumbers();
    void consultExportsEveryRow();
};

void TstTngNFEntra::balanceKeepsWhatLotSheetsTook() {
    driver->Open("TfmTngNFEntra");
    NovaNota("000000200", "00001");
    const QList<QPair<QString, QString>> primeira = {
        {"Codigo", "P1"},   {"Valor", "10"}, {"Peso_Real", "120"}, {"Peso_Nota", "118"},
        {"Prog", "000001"}, {"Cor", "AZUL"}, {"Lote", "L1"}};
    Linha(0, primeira);
    Linha(1,
          {{"Codigo", "P2"}, {"Rolos", "3"}, {"Peso_Real", "30"}, {"Peso_Nota", "30"}, {"Peso_Devol", "5"}});
    QCOMPARE(ClickMessages("SpeedButton16"), QString());
    QCOMPARE(Gravados("000000200"), QStringList({"P1|L1|120|0|120", "P2||30|0|30"}));
    QCOMPARE(Saldo("000000200"), "150");
    QCOMPARE(Programado(), "118"); // a programme item without weight received gets it all
    QCOMPARE(Texts({"EdtTotalPecas", "EdtValorTotal", "EdtSaldoProgramacao", "EdtSaldoDevolucao"}),
             "3|1.180,00|150,000|143,000");

    // A lot sheet takes weight while the invoice is being altered: the save keeps it.
    driver->Click("BitBtn23");
    QVERIFY(driver->Get<QLineEdit>("EdtNota")->isReadOnly() &&
            driver->Get<QLineEdit>("EdtCliente")->isReadOnly());
    ByOther("UPDATE NFITIN SET PESO_PROG = 40, PESO = 80 WHERE NOTA = '000000200' AND CODIGO = 'P1'");
    Linha(0, {{"Peso_Real", "125"}});
    Linha(1, {{"OBS", "conferido"}});
    QCOMPARE(ClickMessages("SpeedButton16"), QString());
    QCOMPARE(Gravados("000000200"), QStringList({"P1|L1|125|40|85", "P2||30|0|30"}));
    QCOMPARE(Saldo("000000200"), "115");
    QCOMPARE(Programado(), "118"); // an alteration brings no weight in

    // A weight below what the sheets hold now, or another fabric or lot of the item they hold, is refused
    // inside the save, against what is stored then: nothing of it is written...
    const QString abaixo =
        "O peso real do item P1 lote L1 (%1 kg) é menor que o peso já programado em FAL (100 kg). "
        "Nada foi gravado.";
    const QString chave = "O item P1 lote L1 tem 100 kg programados em FAL: seu código e lote não podem ser "
                          "alterados. Nada foi gravado.";
    for (const auto& [campo, valor, recusa] :
         {std::tuple("Peso_Real", "90", abaixo.arg(90)), std::tuple("Lote", "L2", chave),
          std::tuple("Codigo", "P3", chave)}) {
        driver->Click("BitBtn23");
        ByOther("UPDATE NFITIN SET PESO_PROG = 100, PESO = 25 WHERE NOTA = '000000200' AND CODIGO = 'P1'");
        Linha(1, {{"OBS", "outra"}});
        Linha(0, {{campo, valor}});
        QCOMPARE(ClickMessages("SpeedButton16"), recusa);
        QVERIFY(driver->Visible("SpeedButton16"));
        QCOMPARE(Gravados("000000200"), QStringList({"P1|L1|125|100|25", "P2||30|0|30"}));
        QCOMPARE(Seen("SELECT LIST(OBS) FROM NFITIN WHERE NOTA = '000000200'"), "conferido");
        driver->Click("btnDesistir");
    }
    // ... or before anything is written, when it was loaded so.
    driver->Click("BitBtn23");
    Linha(0, {{"Peso_Real", "99"}});
    QCOMPARE(ClickMessages("SpeedButton16"), abaixo.arg(99));
    driver->Click("btnDesistir");

    // An item deleted goes with the save, and its audit row with it.
    driver->Click("BitBtn23");
    driver->Row("DBGrid1", 1);
    ClickAndAnswer("BitBtn1", true);
    driver->Click("SpeedButton16");
    QCOMPARE(Gravados("000000200"), QStringList({"P1|L1|125|100|25"}));
    QCOMPARE(Saldo("000000200"), "25");
    QCOMPARE(Logs(), QStringList({"0|INCLUSAO NOTA FISCAL 000000200 CLIENTE 00001",
                                  "1|ALTERACAO NOTA FISCAL 000000200 CLIENTE 00001",
                                  "2|EXCLUSAO DO ITEM DA NOTA FISCAL 000000200 CLIENTE 00001 CODIGO P2",
                                  "1|ALTERACAO NOTA FISCAL 000000200 CLIENTE 00001"}));

    // Sixty new items and a stored one are written in batches: few round trips to a server.
    driver->Click("BitBtn23");
    for (int i = 1; i <= 60; ++i)
        Linha(i, {{"Codigo", "P2"}, {"Lote", QString::number(i)}, {"Peso_Real", "1"}});
    const quint64 antes = db->StatementCount();
    driver->Click("SpeedButton16");
    QVERIFY2(db->StatementCount() - antes < 30, qPrintable(QString::number(db->StatementCount() - antes)));
    QCOMPARE(Saldo("000000200"), "85");
}

void TstTngNFEntra::refusedOrFailedConfirmWritesNothing() {
    const auto nada = [this] {
        QCOMPARE(Count("NFTIN", "NOTA = '000000300'") + Count("NFITIN", "NOTA = '000000300'") + Count("LOG"),
                 0);
        QCOMPARE(Programado(), QString());
        QVERIFY(driver->Visible("SpeedButton16"));
    };
    driver->Open("TfmTngNFEntra");
    NovaNota("000000300", "00001");
    Linha(0,
          {{"Codigo", "P1"}, {"Peso_Real", "10"}, {"Peso_Nota", "10"}, {"Prog", "000001"}, {"Cor", "AZUL"}});
    Linha(1, {{"Codigo", "P2"}, {"Peso_Real", "20"}});
    Linha(2, {{"Codigo", "P3"}, {"Peso_Real", "30"}});
    Linha(3, {{"Codigo", "P1"}}); // the first row's fabric and lot again
    QCOMPARE(ClickMessages("SpeedButton16"), "Item Duplicado. Verifique.");
    QCOMPARE(Itens()->RecNo(), 3);
    nada();
    ClickAndAnswer("BitBtn1", true);

    // The last item fails, or the header after the programme and the audit row.
    for (const auto& [tabela, condicao] : {std::pair{"NFITIN", "NEW.CODIGO = 'P3'"}, {"NFTIN", "1=1"}}) {
        FailWhen(tabela, "BEFORE INSERT", condicao);
        messages.Clear();
        driver->Click("SpeedButton16");
        QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
        nada();
    }

    StopFailing();
    driver->Click("SpeedButton16"); // mended, the same confirmation goes through once
    QCOMPARE(Gravados("000000300"), QStringList({"P1||10|0|10", "P2||20|0|20", "P3||30|0|30"}));
    QCOMPARE(Programado(), "10");
    QCOMPARE(Logs(), QStringList{"0|INCLUSAO NOTA FISCAL 000000300 CLIENTE 00001"});
}

// Rule, fabric, the lot of a row above it, the lot typed, the lot the row gets.
void TstTngNFEntra::lotOfANewItem_data() {
    QTest::addColumn<QStringList>("caso");
    QTest::newRow("sequencial, após o maior gravado") << QStringList{"S", "P1", "", "", "000124"};
    QTest::newRow("sequencial, passando o da grade") << QStringList{"S", "P1", "000124", "", "000125"};
    QTest::newRow("sequencial, grupo sem lote") << QStringList{"S", "P2", "", "", "0"};
    QTest::newRow("sequencial, lote digitado") << QStringList{"S", "P1", "", "ABC", "ABC"};
    QTest::newRow("nenhuma regra, vazio") << QStringList{"N", "P1", "", "", "0"};
}

void TstTngNFEntra::lotOfANewItem() {
    QFETCH(QStringList, caso);
    SqlCommit({"UPDATE PARAMETROS SET VALOR = '" + caso[0] + "' WHERE MODULO = 'COM' AND NUMERO = 80",
               "INSERT INTO PA_ITEN (CODIGO, COR, DEPOSITO, LOTE) VALUES ('P3', '0', '01', '000123')"});
    driver->Open("TfmTngNFEntra");
    NovaNota("000000400", "00001");
    int linha = 0;
    if (!caso[2].isEmpty())
        Linha(linha++, {{"Codigo", "P3"}, {"Lote", caso[2]}});
    Linha(linha, {{"Codigo", caso[1]}, {"Lote", caso[3]}});
    driver->Row("DBGrid1", linha);
    QCOMPARE(driver->Value("DBGrid1", "Lote"), caso[4]);
    QCOMPARE(TakeMessages(), QString());
}

void TstTngNFEntra::headerChecksOnExitAndAtConfirm() {
    const struct {
        QString nota, caixa, valor, mensagem;
    } casos[] = {
        {"000000100", "EdtCliente", "00001", kNotaLancada},
        {"000000100", "EdtCliente", "00002", ""}, // the same number, another customer
        {"000000500", "EdtCliente", "99999", "Cliente não encontrado."},
        {"000000500", "EdtCliente", "00003", kBloqueado},
        {"000000500", "EdtNatureza", "9999", "Natureza não encontrada."},
        {"000000500", "EdtNatureza", "1102", "A Natureza selecionada deve ser do tipo Remessa. Verifique."},
        {"000000500", "EdtNatureza", "1949", "Natureza Cadastrada Diferente de Entrada."},
        {"000000500", "EdtTipo", "99", "Tipo Fiscal não encontrado."},
        {"000000500", "EdtTipo", "01", ""}};
    for (const auto& caso : casos) {
        driver->Open("TfmTngNFEntra");
        driver->Click("BitBtn12");
        driver->Type("EdtNota", caso.nota);
        if (caso.caixa != "EdtCliente")
            driver->Type("EdtCliente", "00001");
        driver->Type(caso.caixa, caso.valor);
        driver->Focus("EdtObservacao");
        QCOMPARE(TakeMessages(), caso.mensagem);
        QCOMPARE(driver->FocusedName(), caso.mensagem.isEmpty() ? QString("EdtObservacao") : caso.caixa);
        messages.questions.enqueue(false); // leaves without saving
        driver->Close();
    }
    // At confirmation: the nature's state asked once, the closed period, the customer blocked meanwhile.
    messages.Clear();
    driver->Open("TfmTngNFEntra");
    NovaNota("000000600", "00001", "2901"); // from another state, for a customer of the company's
    messages.questions.enqueue(false);
    driver->Focus("EdtTipo");
    QCOMPARE(driver->FocusedName(), "EdtNatureza");
    messages.questions.enqueue(true);
    driver->Focus("EdtTipo");
    QCOMPARE(CountShown("question", "Estado(UF) da Natureza Incorreto. Deseja Continuar?"), 2);

    driver->Type("EdtData", "31/10/2026");
    Linha(0, {{"Codigo", "P1"}, {"Peso_Real", "10"}});
    driver->Click("SpeedButton16");
    QCOMPARE(messages.LastText(), "Período de 01/01/2026 a 31/10/2026 já conciliado. Não é permitido lançar "
                                  "com data de 31/10/2026.");
    driver->Type("EdtData", "01/11/2026");
    ByOther("UPDATE ENTIDADE SET BLOQUEIO = 'S' WHERE CODCLI = '00001'");
    driver->Click("SpeedButton16");
    QCOMPARE(messages.LastText(), kBloqueado);
    QCOMPARE(Seen("SELECT COUNT(*) FROM NFTIN WHERE NOTA = '000000600'"), "0");

    ByOther("UPDATE ENTIDADE SET BLOQUEIO = 'N' WHERE CODCLI = '00001'");
    driver->Click("SpeedButton16"); // the nature accepted once is not asked again
    QCOMPARE(CountShown("question"), 2);
    QCOMPARE(Seen("SELECT NATUREZA, EMISSOR, DATA, SALDO FROM NFTIN WHERE NOTA = '000000600'"),
             "2901|00001|01/11/2026|10");
}

void TstTngNFEntra::lotSheetsGuardTheInvoice() {
    // Another customer's sheet naming an invoice of the same number never counts.
    Insert("FAL (NUMERO, CLIENTE)", {"'0000007', '00001'", "'0000005', '00002'"});
    InsertCommit("FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, PESO)",
                 {"'0000007', 1, '000000100', 'P1', '000010', 0", "'0000005', 1, '000000100', 'P2', '', 50"});
    driver->Open("TfmTngNFEntra");
    Mostra("000000100", "00001");
    const ReportFolder pasta; // the print writes the invoice as shown
    driver->Click("BitBtn2");
    const QString texto = pasta.Text("WNFTerceiros.pdf");
    QVERIFY(QFile::exists(pasta.Path("WNFTerceiros.pdf")));
    for (const char* esperado : {"000000100", "00001 - MALHARIA SC", "1901 - REMESSA", "(FOB) Destinatario",
                                 "MEIA MALHA", "000010", "Saldo Programação: 150,000", "1.500,00"})
        QVERIFY2(!CanReadPdf() || texto.contains(QString::fromUtf8(esperado)), esperado);
    ClickAndAnswer("BitBtn24", true);
    QCOMPARE(messages.LastText(), "Impossível Excluir. Nota programada na FAL 0000007.");
    QCOMPARE(Gravados("000000100").size(), 2);

    // A sheet item of no weight leaves the items open, but its fabric cannot be deleted.
    driver->Click("BitBtn23");
    QVERIFY(Grade()->editTriggers() != QAbstractItemView::NoEditTriggers && driver->Enabled("BitBtn1"));
    driver->Row("DBGrid1", 0);
    ClickAndAnswer("BitBtn1", true);
    QCOMPARE(messages.LastText(), "Impossível Excluir. Nota programada na FAL 0000007.");
    QCOMPARE(Itens()->RecordCount(), 2);
    driver->Row("DBGrid1", 1);
    ClickAndAnswer("BitBtn1", true);
    QCOMPARE(Itens()->RecordCount(), 1);
    driver->Click("btnDesistir");
    QCOMPARE(Itens()->RecordCount(), 2);

    // Once a sheet item weighs something only the header changes.
    ByOther("UPDATE FAL_ITEN SET PESO = 5 WHERE FAL = '0000007'");
    driver->Click("BitBtn23");
    QCOMPARE(Grade()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!driver->Enabled("BitBtn1"));
    driver->Type("EdtObservacao", "só o cabeçalho");
    driver->Click("SpeedButton16");
    QCOMPARE(Seen("SELECT OBSERVACAO, SALDO FROM NFTIN WHERE NOTA = '000000100'"), "só o cabeçalho|150");
    QCOMPARE(Gravados("000000100"), QStringList({"P1|000010|100|0|100", "P2||50|0|50"}));

    // Without a sheet of its own the invoice goes, items and all, with its audit row.
    ByOther("DELETE FROM FAL_ITEN WHERE FAL = '0000007'");
    ClickAndAnswer("BitBtn24", false);
    QCOMPARE(Gravados("000000100").size(), 2);
    ClickAndAnswer("BitBtn24", true);
    QCOMPARE(Gravados("000000100"), QStringList());
    QCOMPARE(Seen("SELECT COUNT(*) FROM NFTIN WHERE NOTA = '000000100'"), "0");
    QCOMPARE(Logs(), QStringList({"1|ALTERACAO NOTA FISCAL 000000100 CLIENTE 00001",
                                  "2|EXCLUSAO NOTA FISCAL 000000100 CLIENTE 00001"}));
}

void TstTngNFEntra::quotesInCodesAndNumbers() {
    Insert("NFTIN (NOTA, CLIENTE, DATA, NATUREZA, EMISSOR, SALDO)",
           {"'12''3', 'A''B', '2026-12-01', '1901', 'A''B', 100"});
    Insert(kItem, {"'12''3', 'A''B', 1, 'P1', 'MEIA MALHA', 4, 'L1', 10, 100, 100, 100, 0"});
    Insert("TNG_PROG (NUMERO, ORDEM, CODCLI, CODIGO, COR)",
           {"'000009', 1, 'A''B', 'P1', 'VERDE'", "'000008', 1, 'A''B', 'P2', 'ROSA'"});
    Insert("FAL (NUMERO, CLIENTE)", {"'0000011', 'A''B'"});
    Insert("FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, PESO)", {"'0000011', 1, '12''3', 'P1', 'L1', 0"});
    InsertCommit("NOTAITEN (FATURA, PEDIDO)", {"555, '0000011'"});
    driver->Open("TfmTngNFEntra");
    for (const auto& [caixa, valor] : {std::pair("EdtDataIni", "01/11/2026"),
                                       {"EdtDataFim", "31/12/2026"},
                                       {"EdtFiltroNota", "12'3"},
                                       {"EdtFiltroCliente", "A'B"},
                                       {"EdtFiltroFatura", "555"},
                                       {"EdtFiltroFal", "0000011"}})
        driver->Type(caixa, valor);
    driver->Click("BitBtn5");
    QCOMPARE(driver->Rows("DBGrid2"), 1);
    driver->Row("DBGrid2", 0);
    driver->Press("Enter");
    QCOMPARE(driver->Text("EdtNota"), "12'3");
    QCOMPARE(Itens()->RecordCount(), 1);

    driver->Click("BitBtn23");
    driver->Row("DBGrid1", 0);
    messages.searches.enqueue("000009/VERDE"); // the programme items of this customer and fabric only
    driver->Press("F5");
    QCOMPARE(driver->Value("DBGrid1", "Prog") + '|' + driver->Value("DBGrid1", "Cor"), "000009|VERDE");
    ClickAndAnswer("BitBtn1", true);
    QCOMPARE(messages.LastText(), "Impossível Excluir. Nota programada na FAL 0000011.");
    driver->Click("btnDesistir");

    driver->Click("BitBtn12");
    driver->Type("EdtNota", "777");
    messages.searches.enqueue("A'B");
    driver->Press("F4", "EdtCliente");
    QCOMPARE(driver->Text("EdtCliente"), "A'B");
    driver->Click("btnDesistir");
    Mostra("12'3", "A'B");
    QCOMPARE(driver->Text("EdtNomeCliente"), "TECELAGEM D'ÁVILA");
    QVERIFY2(messages.AllAnswered(), qPrintable(messages.Texts().join('|')));
}

// The consult page's export takes every row of the list, not only the window read so far.
void TstTngNFEntra::consultExportsEveryRow() {
    QStringList notas;
    for (int n = 1; n <= 150; ++n)
        notas << QStringLiteral("'%1', '00001', '2026-12-01', '1901', 0").arg(n, 6, 10, QLatin1Char('0'));
    InsertCommit("NFTIN (NOTA, CLIENTE, DATA, NATUREZA, SALDO)", notas);
    driver->Open("TfmTngNFEntra");
    driver->Type("EdtDataIni", "01/12/2026");
    driver->Type("EdtDataFim", "31/12/2026");
    driver->Click("BitBtn5");
    QVERIFY(driver->Rows("DBGrid2") < 150);
    const ReportFolder pasta;
    driver->Menu("ExportarConsulta");
    const QString folha = XlsxPart(pasta.Path("fmTngNFEntraConsulta.xlsx"));
    QVERIFY2(folha.contains(R"(<row r="151")") && !folha.contains(R"(<row r="152")"),
             qPrintable(folha.left(400)));
}

QTEST_MAIN(TstTngNFEntra)
#include "tst_tngnfentra.moc"
