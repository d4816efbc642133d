// The incoming-invoice screen: each item's free weight against what lot sheets took (also while the invoice
// is being altered), the save as one unit of work, the lots of new items, the header's checks, the guards
// of lot sheets, quoted codes, the print and the common operations on five years of data. Stored rows are
// read from a second connection.
#include "DBControls.h"
#include "DataSet.h"
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kNotaLancada = "Nota Já lançada Para este cliente.";
const QString kBloqueado = "Cliente Bloqueado. Não é permitido lançar a NF.";
const QString kInativo = "Cliente Inativo. Não é permitido lançar a NF.";
} // namespace

class TstTngNFEntra : public ScreenTestCase {
    Q_OBJECT

    // Customers in and out of the company's state, blocked and inactive ones; natures of every kind; fabrics
    // of a group with lots (P1, P3) and without (P2); an invoice stored with two items and a programme item.
    void Base(const QString& regraLote = "N") {
        Sql("INSERT INTO EMPRESA (CODIGO, NOME, UF) VALUES ('001', 'TINTURARIA', 'SC')");
        Sql("INSERT INTO CIDADE (COD_CID, NOME, COD_EST) VALUES ('1', 'BLUMENAU', 'SC')");
        Sql("INSERT INTO CIDADE (COD_CID, NOME, COD_EST) VALUES ('2', 'AMERICANA', 'SP')");
        Sql("INSERT INTO CADCEP (CEP, COD_CID) VALUES ('89010-000', '1')");
        Sql("INSERT INTO CADCEP (CEP, COD_CID) VALUES ('13465-000', '2')");
        for (const char* e :
             {"'00001', 'MALHARIA SC', '89010-000', 'S', 'N'",
              "'00002', 'MALHARIA SP', '13465-000', 'S', 'N'", "'00003', 'BLOQUEADA', '89010-000', 'S', 'S'",
              "'00004', 'INATIVA', '89010-000', 'N', 'N'",
              "'A''B', 'TECELAGEM D''ÁVILA', '89010-000', 'S', 'N'"})
            Sql(QString("INSERT INTO ENTIDADE (CODCLI, NOME, CEP, ATIVO, BLOQUEIO) VALUES (%1)").arg(e));
        for (const char* n : {"'1901', 'REMESSA', 'R', '2'", "'2901', 'REMESSA DE FORA', 'R', '2'",
                              "'1102', 'COMPRA', 'V', '2'", "'1949', 'OUTRA SAIDA', 'R', '1'"})
            Sql(QString("INSERT INTO NATUREZA (NATUREZA, DESCRICAO, TIPO, TP_BASE) VALUES (%1)").arg(n));
        Sql("INSERT INTO TIPO_FISCAL (CODIGO, DESCRICAO) VALUES ('01', 'NORMAL')");
        Sql("INSERT INTO TABFIS (CODIGO, DESCRICAO) VALUES ('001', 'MALHA')");
        Sql("INSERT INTO TABFIS (CODIGO, DESCRICAO) VALUES ('002', 'SINTETICO')");
        Sql("INSERT INTO GRUPO_PA (CODIGO, DESCRICAO, LOTE) VALUES ('G1', 'COM LOTE', 'S')");
        Sql("INSERT INTO GRUPO_PA (CODIGO, DESCRICAO, LOTE) VALUES ('G2', 'SEM LOTE', 'N')");
        for (const char* p : {"'P1', 'MEIA MALHA', 'G1', '001'", "'P2', 'RIBANA', 'G2', '002'",
                              "'P3', 'MOLETOM', 'G1', '001'"})
            Sql(QString("INSERT INTO PRODUTO (CODIGO, DESCRICAO, GRUPO, CODFIS) VALUES (%1)").arg(p));
        Sql(QString("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('COM', 80, '%1')")
                .arg(regraLote));
        Sql("INSERT INTO PERIODO_CONCILIADO (TIPO, DATA_INI, DATA_FIN) VALUES ('CX', '2026-01-01', "
            "'2026-10-31')");
        Sql("INSERT INTO NFTIN (NOTA, CLIENTE, DATA, NATUREZA, EMISSOR, SERIE, TIPO, SALDO, TIPO_FRETE) "
            "VALUES "
            "('000000100', '00001', '2026-11-20', '1901', '00001', '1', '01', 150, 2)");
        Item("'000000100', '00001'", 1, "P1", "000010", 100, 100);
        Item("'000000100', '00001'", 2, "P2", "", 50, 50);
        Sql("INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, CODIGO, COR) VALUES ('000001', 1, '00001', 'P1', "
            "'AZUL')");
        Commit();
    }
    void Item(const QString& notaCliente, int ordem, const QString& codigo, const QString& lote, double real,
              double pesoNota) {
        Sql(QString(
                "INSERT INTO NFITIN (NOTA, CODCLI, ORDEM, CODIGO, DESCRICAO, ROLOS, LOTE, VALOR, PESO, "
                "PESO_REAL, PESO_NOTA, PESO_PROG) VALUES (%1, %2, '%3', 'MEIA MALHA', 4, '%4', 10, %5, %5, "
                "%6, 0)")
                .arg(notaCliente)
                .arg(ordem)
                .arg(codigo, lote)
                .arg(real)
                .arg(pesoNota));
    }
    void Commit() { db->Transaction()->CommitRetaining(); }
    // Rows generated on the server, a slice per unit of work (each write must end within the lock limit).
    // A write another workstation commits (a lot sheet taking weight, a customer blocked).
    void Outro(const QString& sql) {
        auto outra = OpenSecond("kelm-test-outro");
        SqlOn(*outra, sql);
        outra->Transaction()->CommitRetaining();
    }
    TDataSet* Itens() { return driver->Screen()->findChild<TDataSet*>("TbItens"); }
    TZoDBGrid* Grade() { return driver->Get<TZoDBGrid>("DBGrid1"); }
    QStringList Gravados(const QString& nota, const QString& cliente = "00001") {
        return RowsSeenByOthers(QString("SELECT CODIGO, LOTE, PESO_REAL, PESO_PROG, PESO FROM NFITIN WHERE "
                                        "NOTA = '%1' AND CODCLI = '%2' ORDER BY CODIGO, LOTE")
                                    .arg(nota, cliente));
    }
    QString Saldo(const QString& nota, const QString& cliente = "00001") {
        return RowsSeenByOthers(
                   QString("SELECT SALDO FROM NFTIN WHERE NOTA = '%1' AND CLIENTE = '%2'").arg(nota, cliente))
            .value(0);
    }
    QStringList Logs() {
        return RowsSeenByOthers("SELECT TIPO, TEXTO FROM LOG WHERE TITULO = 'TINGIMENTO' ORDER BY ID");
    }
    QString Programado() {
        return RowsSeenByOthers("SELECT PESO_B FROM TNG_PROG WHERE NUMERO = '000001'").value(0);
    }
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
    void Linha(int linha, const QList<QPair<QString, QString>>& celulas) {
        driver->Row("DBGrid1", linha);
        for (const auto& [campo, valor] : celulas)
            driver->Cell("DBGrid1", campo, valor);
    }

private slots:
    void balanceKeepsWhatLotSheetsTook();
    void refusedOrFailedConfirmWritesNothing();
    void lotOfANewItem_data();
    void lotOfANewItem();
    void headerChecksOnExit_data();
    void headerChecksOnExit();
    void stateQuestionPeriodAndCustomerAtConfirm();
    void lotSheetsGuardTheInvoice();
    void quotesInCodesAndNumbers();
    void printWritesTheInvoice();
};

void TstTngNFEntra::balanceKeepsWhatLotSheetsTook() {
    Base();
    driver->Open("TfmTngNFEntra");
    NovaNota("000000200", "00001");
    Linha(0, {{"Codigo", "P1"},
              {"Valor", "10"},
              {"Peso_Real", "120"},
              {"Peso_Nota", "118"},
              {"Prog", "000001"},
              {"Cor", "AZUL"},
              {"Lote", "L1"}});
    QCOMPARE(driver->Value("DBGrid1", "Descricao"), QString("MEIA MALHA"));
    QCOMPARE(driver->Value("DBGrid1", "ClaFis"), QString("001"));
    Linha(1,
          {{"Codigo", "P2"}, {"Rolos", "3"}, {"Peso_Real", "30"}, {"Peso_Nota", "30"}, {"Peso_Devol", "5"}});
    driver->Click("SpeedButton16");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravados("000000200"), QStringList({"P1|L1|120|0|120", "P2||30|0|30"}));
    QCOMPARE(Saldo("000000200"), QString("150"));
    QCOMPARE(Programado(), QString("118")); // a programme item without weight received gets it all
    QCOMPARE(driver->Text("EdtTotalPecas"), QString("3"));
    QCOMPARE(driver->Text("EdtValorTotal"), QString("1.180,00"));
    QCOMPARE(driver->Text("EdtSaldoProgramacao"), QString("150,000"));
    QCOMPARE(driver->Text("EdtSaldoDevolucao"), QString("143,000"));

    // A lot sheet takes weight while the invoice is being altered: the save keeps it.
    driver->Click("BitBtn23");
    QVERIFY(driver->Get<QLineEdit>("EdtNota")->isReadOnly() &&
            driver->Get<QLineEdit>("EdtCliente")->isReadOnly());
    Outro("UPDATE NFITIN SET PESO_PROG = 40, PESO = 80 WHERE NOTA = '000000200' AND CODIGO = 'P1'");
    Linha(0, {{"Peso_Real", "125"}});
    Linha(1, {{"OBS", "conferido"}});
    driver->Click("SpeedButton16");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravados("000000200"), QStringList({"P1|L1|125|40|85", "P2||30|0|30"}));
    QCOMPARE(Saldo("000000200"), QString("115"));
    QCOMPARE(Programado(), QString("118")); // an alteration brings no weight in
    driver->Row("DBGrid1", 0);
    QCOMPARE(driver->Value("DBGrid1", "Peso_prog"), QString("40,000"));
    QCOMPARE(driver->Value("DBGrid1", "Saldo"), QString("85,000"));

    // A weighed weight below what the sheets hold now is refused, found when writing...
    driver->Click("BitBtn23");
    Outro("UPDATE NFITIN SET PESO_PROG = 100, PESO = 25 WHERE NOTA = '000000200' AND CODIGO = 'P1'");
    Linha(0, {{"Peso_Real", "90"}});
    driver->Click("SpeedButton16");
    const QString abaixo =
        "O peso real do item P1 lote L1 (%1 kg) é menor que o peso já programado em FAL (100 kg). "
        "Nada foi gravado.";
    QCOMPARE(messages.LastText(), abaixo.arg(90));
    QVERIFY(driver->Visible("SpeedButton16"));
    QCOMPARE(Gravados("000000200"), QStringList({"P1|L1|125|100|25", "P2||30|0|30"}));
    driver->Click("btnDesistir");
    // ... or before anything is written, when it was loaded so.
    driver->Click("BitBtn23");
    Linha(0, {{"Peso_Real", "99"}});
    driver->Click("SpeedButton16");
    QCOMPARE(messages.LastText(), abaixo.arg(99));
    driver->Click("btnDesistir");

    // An item deleted goes with the save, and its audit row with it.
    driver->Click("BitBtn23");
    driver->Row("DBGrid1", 1);
    messages.questions.enqueue(true);
    driver->Click("BitBtn1");
    QCOMPARE(Itens()->RecordCount(), 1);
    driver->Click("SpeedButton16");
    QCOMPARE(Gravados("000000200"), QStringList({"P1|L1|125|100|25"}));
    QCOMPARE(Saldo("000000200"), QString("25"));
    QCOMPARE(Logs(), QStringList({"0|INCLUSAO NOTA FISCAL 000000200 CLIENTE 00001",
                                  "1|ALTERACAO NOTA FISCAL 000000200 CLIENTE 00001",
                                  "2|EXCLUSAO DO ITEM DA NOTA FISCAL 000000200 CLIENTE 00001 CODIGO P2",
                                  "1|ALTERACAO NOTA FISCAL 000000200 CLIENTE 00001"}));
}

void TstTngNFEntra::refusedOrFailedConfirmWritesNothing() {
    Base();
    Sql("CREATE EXCEPTION E_TESTE 'falha forçada'");
    Commit();
    Sql("CREATE TRIGGER T_TESTE_ITEM FOR NFITIN BEFORE INSERT AS BEGIN IF (NEW.CODIGO = 'P3') THEN EXCEPTION "
        "E_TESTE; END");
    Commit();
    const auto nada = [this] {
        QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM NFTIN WHERE NOTA = '000000300'"), QStringList{"0"});
        QCOMPARE(Gravados("000000300"), QStringList());
        QCOMPARE(Programado(), QString());
        QCOMPARE(Logs(), QStringList());
        QVERIFY(driver->Visible("SpeedButton16"));
    };
    driver->Open("TfmTngNFEntra");
    NovaNota("000000300", "00001");
    Linha(0,
          {{"Codigo", "P1"}, {"Peso_Real", "10"}, {"Peso_Nota", "10"}, {"Prog", "000001"}, {"Cor", "AZUL"}});
    Linha(1, {{"Codigo", "P2"}, {"Peso_Real", "20"}});
    Linha(2, {{"Codigo", "P3"}, {"Peso_Real", "30"}});
    Linha(3, {{"Codigo", "P1"}}); // the first row's fabric and lot again
    driver->Click("SpeedButton16");
    QCOMPARE(messages.LastText(), QString("Item Duplicado. Verifique."));
    QCOMPARE(Itens()->RecNo(), 3);
    nada();
    messages.questions.enqueue(true);
    driver->Click("BitBtn1");

    // The last item fails...
    driver->Click("SpeedButton16");
    QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
    nada();
    // ... or the header, after the programme and the audit row.
    Sql("DROP TRIGGER T_TESTE_ITEM");
    Commit();
    Sql("CREATE TRIGGER T_TESTE_NOTA FOR NFTIN BEFORE INSERT AS BEGIN EXCEPTION E_TESTE; END");
    Commit();
    messages.Clear();
    driver->Click("SpeedButton16");
    QVERIFY2(messages.LastText().contains("falha forçada"), qPrintable(messages.LastText()));
    nada();

    Sql("DROP TRIGGER T_TESTE_NOTA");
    Commit();
    driver->Click("SpeedButton16"); // mended, the same confirmation goes through once
    QCOMPARE(Gravados("000000300"), QStringList({"P1||10|0|10", "P2||20|0|20", "P3||30|0|30"}));
    QCOMPARE(Programado(), QString("10"));
    QCOMPARE(Logs(), QStringList{"0|INCLUSAO NOTA FISCAL 000000300 CLIENTE 00001"});
}

void TstTngNFEntra::lotOfANewItem_data() {
    QTest::addColumn<QString>("regra");
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<QString>("naGrade");
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("sequencial, após o maior gravado") << "S"
                                                      << "P1"
                                                      << ""
                                                      << ""
                                                      << "000124";
    QTest::newRow("sequencial, passando o da grade") << "S"
                                                     << "P1"
                                                     << "000124"
                                                     << ""
                                                     << "000125";
    QTest::newRow("sequencial, grupo sem lote") << "S"
                                                << "P2"
                                                << ""
                                                << ""
                                                << "0";
    QTest::newRow("sequencial, lote digitado") << "S"
                                               << "P1"
                                               << ""
                                               << "ABC"
                                               << "ABC";
    QTest::newRow("nenhuma regra, lote digitado") << "N"
                                                  << "P1"
                                                  << ""
                                                  << "L'7"
                                                  << "L'7";
    QTest::newRow("nenhuma regra, vazio") << "N"
                                          << "P1"
                                          << ""
                                          << ""
                                          << "0";
}

void TstTngNFEntra::lotOfANewItem() {
    QFETCH(QString, regra);
    Base(regra);
    Sql("INSERT INTO PA_ITEN (CODIGO, COR, DEPOSITO, LOTE) VALUES ('P3', '0', '01', '000123')");
    Commit();
    driver->Open("TfmTngNFEntra");
    NovaNota("000000400", "00001");
    QFETCH(QString, naGrade);
    int linha = 0;
    if (!naGrade.isEmpty())
        Linha(linha++, {{"Codigo", "P3"}, {"Lote", naGrade}});
    QFETCH(QString, codigo);
    QFETCH(QString, digitado);
    Linha(linha, {{"Codigo", codigo}, {"Lote", digitado}});
    driver->Row("DBGrid1", linha);
    QTEST(driver->Value("DBGrid1", "Lote"), "esperado");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
}

void TstTngNFEntra::headerChecksOnExit_data() {
    QTest::addColumn<QString>("nota");
    QTest::addColumn<QString>("caixa");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("mensagem");
    QTest::newRow("número já lançado para o cliente") << "000000100"
                                                      << "EdtCliente"
                                                      << "00001" << kNotaLancada;
    QTest::newRow("mesmo número, outro cliente") << "000000100"
                                                 << "EdtCliente"
                                                 << "00002"
                                                 << "";
    QTest::newRow("cliente não cadastrado") << "000000500"
                                            << "EdtCliente"
                                            << "99999"
                                            << "Cliente não encontrado.";
    QTest::newRow("cliente bloqueado") << "000000500"
                                       << "EdtCliente"
                                       << "00003" << kBloqueado;
    QTest::newRow("cliente inativo") << "000000500"
                                     << "EdtCliente"
                                     << "00004" << kInativo;
    QTest::newRow("natureza não cadastrada") << "000000500"
                                             << "EdtNatureza"
                                             << "9999"
                                             << "Natureza não encontrada.";
    QTest::newRow("natureza que não é remessa")
        << "000000500"
        << "EdtNatureza"
        << "1102"
        << "A Natureza selecionada deve ser do tipo Remessa. Verifique.";
    QTest::newRow("natureza de saída") << "000000500"
                                       << "EdtNatureza"
                                       << "1949"
                                       << "Natureza Cadastrada Diferente de Entrada.";
    QTest::newRow("natureza de remessa") << "000000500"
                                         << "EdtNatureza"
                                         << "1901"
                                         << "";
    QTest::newRow("tipo fiscal não cadastrado") << "000000500"
                                                << "EdtTipo"
                                                << "99"
                                                << "Tipo Fiscal não encontrado.";
    QTest::newRow("tipo fiscal cadastrado") << "000000500"
                                            << "EdtTipo"
                                            << "01"
                                            << "";
}

void TstTngNFEntra::headerChecksOnExit() {
    QFETCH(QString, nota);
    QFETCH(QString, caixa);
    QFETCH(QString, valor);
    QFETCH(QString, mensagem);
    Base();
    driver->Open("TfmTngNFEntra");
    driver->Click("BitBtn12");
    driver->Type("EdtNota", nota);
    if (caixa != "EdtCliente")
        driver->Type("EdtCliente", "00001");
    driver->Type(caixa, valor);
    driver->Focus("EdtObservacao");
    QCOMPARE(messages.Texts(), mensagem.isEmpty() ? QStringList() : QStringList{mensagem});
    QCOMPARE(driver->FocusedName(), mensagem.isEmpty() ? QString("EdtObservacao") : caixa);
}

void TstTngNFEntra::stateQuestionPeriodAndCustomerAtConfirm() {
    Base();
    driver->Open("TfmTngNFEntra");
    NovaNota("000000600", "00001", "2901"); // from another state, for a customer of the company's
    messages.questions.enqueue(false);
    driver->Focus("EdtTipo");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.last().text, QString("Estado(UF) da Natureza Incorreto. Deseja Continuar?"));
    QCOMPARE(driver->FocusedName(), QString("EdtNatureza"));
    messages.questions.enqueue(true);
    driver->Focus("EdtTipo");
    QCOMPARE(driver->FocusedName(), QString("EdtTipo"));
    QCOMPARE(messages.shown.size(), 2);

    driver->Type("EdtData", "31/10/2026");
    Linha(0, {{"Codigo", "P1"}, {"Peso_Real", "10"}});
    driver->Click("SpeedButton16");
    QCOMPARE(messages.LastText(),
             QString("Período de 01/01/2026 a 31/10/2026 já conciliado. Não é permitido lançar com data de "
                     "31/10/2026."));
    driver->Type("EdtData", "01/11/2026");
    Outro("UPDATE ENTIDADE SET BLOQUEIO = 'S' WHERE CODCLI = '00001'");
    driver->Click("SpeedButton16");
    QCOMPARE(messages.LastText(), kBloqueado);
    Outro("UPDATE ENTIDADE SET BLOQUEIO = 'N', ATIVO = 'N' WHERE CODCLI = '00001'");
    driver->Click("SpeedButton16");
    QCOMPARE(messages.LastText(), kInativo);
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM NFTIN WHERE NOTA = '000000600'"), QStringList{"0"});

    Outro("UPDATE ENTIDADE SET ATIVO = 'S' WHERE CODCLI = '00001'");
    driver->Click("SpeedButton16"); // the nature accepted once is not asked again
    QCOMPARE(std::count_if(messages.shown.cbegin(), messages.shown.cend(),
                           [](const auto& m) { return m.kind == "question"; }),
             2);
    QCOMPARE(RowsSeenByOthers("SELECT NATUREZA, EMISSOR, DATA, SALDO FROM NFTIN WHERE NOTA = '000000600'"),
             QStringList{"2901|00001|01/11/2026|10"});
}

void TstTngNFEntra::lotSheetsGuardTheInvoice() {
    Base();
    Sql("INSERT INTO FAL (NUMERO, CLIENTE) VALUES ('0000007', '00001')");
    Sql("INSERT INTO FAL_ITEN (FAL, NOTA, CODIGO, LOTE, PESO) VALUES ('0000007', '000000100', 'P1', "
        "'000010', 0)");
    // Another customer's sheet naming an invoice of the same number never counts.
    Sql("INSERT INTO FAL (NUMERO, CLIENTE) VALUES ('0000005', '00002')");
    Sql("INSERT INTO FAL_ITEN (FAL, NOTA, CODIGO, LOTE, PESO) VALUES ('0000005', '000000100', 'P2', '', 50)");
    Commit();
    driver->Open("TfmTngNFEntra");
    Mostra("000000100", "00001");
    messages.questions.enqueue(true);
    driver->Click("BitBtn24");
    QCOMPARE(messages.LastText(), QString("Impossível Excluir. Nota programada na FAL 0000007."));
    QCOMPARE(Gravados("000000100").size(), 2);

    // A sheet item of no weight leaves the items open, but its fabric cannot be deleted.
    driver->Click("BitBtn23");
    QVERIFY(Grade()->editTriggers() != QAbstractItemView::NoEditTriggers && driver->Enabled("BitBtn1"));
    driver->Row("DBGrid1", 0);
    messages.questions.enqueue(true);
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), QString("Impossível Excluir. Nota programada na FAL 0000007."));
    QCOMPARE(Itens()->RecordCount(), 2);
    driver->Row("DBGrid1", 1);
    messages.questions.enqueue(true);
    driver->Click("BitBtn1");
    QCOMPARE(Itens()->RecordCount(), 1);
    driver->Click("btnDesistir");
    QCOMPARE(Itens()->RecordCount(), 2);

    // Once a sheet item weighs something only the header changes.
    Outro("UPDATE FAL_ITEN SET PESO = 5 WHERE FAL = '0000007'");
    driver->Click("BitBtn23");
    QCOMPARE(Grade()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!driver->Enabled("BitBtn1"));
    driver->Type("EdtObservacao", "só o cabeçalho");
    driver->Click("SpeedButton16");
    QCOMPARE(RowsSeenByOthers("SELECT OBSERVACAO, SALDO FROM NFTIN WHERE NOTA = '000000100'"),
             QStringList{"só o cabeçalho|150"});
    QCOMPARE(Gravados("000000100"), QStringList({"P1|000010|100|0|100", "P2||50|0|50"}));

    // Without a sheet of its own the invoice goes, items and all, with its audit row.
    Outro("DELETE FROM FAL_ITEN WHERE FAL = '0000007'");
    messages.questions.enqueue(false);
    driver->Click("BitBtn24");
    QCOMPARE(Gravados("000000100").size(), 2);
    messages.questions.enqueue(true);
    driver->Click("BitBtn24");
    QCOMPARE(Gravados("000000100"), QStringList());
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM NFTIN WHERE NOTA = '000000100'"), QStringList{"0"});
    QCOMPARE(Logs(), QStringList({"1|ALTERACAO NOTA FISCAL 000000100 CLIENTE 00001",
                                  "2|EXCLUSAO NOTA FISCAL 000000100 CLIENTE 00001"}));
}

void TstTngNFEntra::quotesInCodesAndNumbers() {
    Base();
    Sql("INSERT INTO NFTIN (NOTA, CLIENTE, DATA, NATUREZA, EMISSOR, SALDO) VALUES ('12''3', 'A''B', "
        "'2026-12-01', "
        "'1901', 'A''B', 100)");
    Item("'12''3', 'A''B'", 1, "P1", "L1", 100, 100);
    Sql("INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, CODIGO, COR) VALUES ('000009', 1, 'A''B', 'P1', "
        "'VERDE')");
    Sql("INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, CODIGO, COR) VALUES ('000008', 1, 'A''B', 'P2', "
        "'ROSA')");
    Sql("INSERT INTO FAL (NUMERO, CLIENTE) VALUES ('0000011', 'A''B')");
    Sql("INSERT INTO FAL_ITEN (FAL, NOTA, CODIGO, LOTE, PESO) VALUES ('0000011', '12''3', 'P1', 'L1', 0)");
    Sql("INSERT INTO NOTAITEN (FATURA, PEDIDO) VALUES (555, '0000011')");
    Commit();
    driver->Open("TfmTngNFEntra");
    driver->Type("EdtDataIni", "01/11/2026");
    driver->Type("EdtDataFim", "31/12/2026");
    driver->Type("EdtFiltroNota", "12'3");
    driver->Type("EdtFiltroCliente", "A'B");
    driver->Type("EdtFiltroFatura", "555");
    driver->Type("EdtFiltroFal", "0000011");
    driver->Click("BitBtn5");
    QCOMPARE(driver->Rows("DBGrid2"), 1);
    driver->Row("DBGrid2", 0);
    QCOMPARE(driver->Value("DBGrid2", "NOME"), QString("TECELAGEM D'ÁVILA"));
    driver->Press("Enter");
    QCOMPARE(driver->Text("EdtNota"), QString("12'3"));
    QCOMPARE(Itens()->RecordCount(), 1);

    driver->Click("BitBtn23");
    driver->Row("DBGrid1", 0);
    messages.searches.enqueue("000009/VERDE"); // the programme items of this customer and fabric only
    driver->Press("F5");
    QCOMPARE(messages.shown.last().kind, QString("search"));
    QCOMPARE(driver->Value("DBGrid1", "Prog"), QString("000009"));
    QCOMPARE(driver->Value("DBGrid1", "Cor"), QString("VERDE"));
    messages.questions.enqueue(true);
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), QString("Impossível Excluir. Nota programada na FAL 0000011."));
    driver->Click("btnDesistir");

    driver->Click("BitBtn12");
    driver->Type("EdtNota", "777");
    messages.searches.enqueue("A'B");
    driver->Press("F4", "EdtCliente");
    QCOMPARE(driver->Text("EdtCliente"), QString("A'B"));
    driver->Click("btnDesistir");
    Mostra("000000100", "00001");
    QCOMPARE(driver->Text("EdtNota"), QString("000000100"));
    Mostra("12'3", "A'B");
    QCOMPARE(driver->Text("EdtNomeCliente"), QString("TECELAGEM D'ÁVILA"));
    QVERIFY2(messages.AllAnswered(), qPrintable(messages.Texts().join('|')));
}

void TstTngNFEntra::printWritesTheInvoice() {
    Base();
    QTemporaryDir pasta;
    qputenv("KELM_REPORT_DIR", pasta.path().toUtf8());
    const auto restaura = qScopeGuard([] { qunsetenv("KELM_REPORT_DIR"); });
    driver->Open("TfmTngNFEntra");
    Mostra("000000100", "00001");
    driver->Click("BitBtn2");
    const QString arquivo = pasta.filePath("WNFTerceiros.pdf");
    QVERIFY(QFile::exists(arquivo));
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed: the report was written, its text is not read");
    QProcess leitura;
    leitura.start("pdftotext", {"-layout", arquivo, "-"});
    leitura.waitForFinished();
    const QString texto = QString::fromUtf8(leitura.readAllStandardOutput());
    for (const char* esperado : {"000000100", "00001 - MALHARIA SC", "1901 - REMESSA", "(FOB) Destinatario",
                                 "MEIA MALHA", "000010", "Saldo Programação: 150,000", "1.500,00"})
        QVERIFY2(texto.contains(QString::fromUtf8(esperado)), esperado);
}

QTEST_MAIN(TstTngNFEntra)
#include "tst_tngnfentra.moc"
