// Lot sheets generated from the production programme and updated from it: the invoice balance after every
// step, refusals and failures that write nothing, two workstations at once; read from a second connection.
#include "Funcoes.h"
#include "GeracaoFal.h"
#include "Protecao.h"
#include "TestDatabase.h"
#include <QAbstractButton>
#include <QTest>

namespace {
const QString kGerada = QStringLiteral("FAL Gerada Com Sucesso.");
const QString kAtualizada = QStringLiteral("FAL Atualizada.");
const QString kJaGerada = QStringLiteral("FAL Já Gerada. Deseja atualizar as informações?");
const QString kSemSaldo = QStringLiteral("Não existe saldo na Nota Fiscal de entrada.");
const QString kContinua = QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Deseja continuar?");
const QString kAjuste = QStringLiteral("Existe diferença no saldo.\rDeseja ajustar o mesmo?");
const QString kEmProcesso = QStringLiteral("FAL em Processo. Impossível Substituir.");
// T1 of lot L1 brings 150 kg instead of 500.
const QStringList kL1de150 = {
    "UPDATE NFITIN SET PESO_REAL = 150, PESO = 150 WHERE CODIGO = 'T1' AND LOTE = 'L1'",
    "UPDATE NFTIN SET SALDO = 650"};
} // namespace

class TstGeracaoFal : public ScreenTestCase {
    Q_OBJECT
    // A stored programme row: T1 of lot L1 from invoice N1, 100 kg in AZUL/01 on route R1 and machine M1,
    // dye lot 000010, unless `campos` ("COLUMN=value;...") says otherwise.
    void Programa(const QString& numero, int ordem, const QString& campos) {
        const QString padrao = QStringLiteral(
            "CODCLI=00001;ENTRADA=2026-11-18;ENTREGA=2026-12-10;CODIGO=T1;LOTE=L1;LOTENF=;NOTA=N1;"
            "COR=AZUL;VARIANTE=01;ROTEIRO=R1;MAQUINA=M1;PESO=100;ROLO=4;FIBRA1=0;FIBRA2=0;"
            "PARTIDA=000010;FAL=;REGIAO=01;");
        QMap<QString, QString> valores{{"NUMERO", numero}, {"ORDEM", QString::number(ordem)}};
        for (const QString& campo : (padrao + campos).split(';', Qt::SkipEmptyParts))
            valores.insert(campo.section('=', 0, 0), campo.section('=', 1));
        QStringList textos;
        for (const QString& valor : std::as_const(valores))
            textos << (valor.isEmpty() ? QStringLiteral("NULL") : Aspas(valor));
        Sql("INSERT INTO TNG_PROG (" + valores.keys().join(", ") + ") VALUES (" + textos.join(", ") + ')');
    }
    // Everything a generation or an update may write.
    QStringList Estado() {
        return Snapshot({"FAL", "FAL_ITEN", "PROCESSO_TIN", "NFITIN", "NFTIN", "TNG_PROG", "LOG"});
    }
    void Equilibrio(const char* passo) { QVERIFY2(InvoiceImbalances().isEmpty(), passo); }
    // Free weight of every invoice item, "CODIGO|LOTE|PESO;...".
    QString Livre() { return Seen("SELECT CODIGO, LOTE, PESO FROM NFITIN ORDER BY CODIGO, LOTE"); }
    QString Itens(const QString& fal) {
        return Seen("SELECT CODIGO, LOTE, PESO, PESO_NF FROM FAL_ITEN WHERE FAL = " + Aspas(fal) +
                    " ORDER BY ORD_IT");
    }
    // The sheet of each stored row of a programme, "ORDEM|FAL;...".
    QString Fals(const QString& numero) {
        return Seen("SELECT ORDEM, COALESCE(FAL, '') FROM TNG_PROG WHERE NUMERO = " + Aspas(numero) +
                    " ORDER BY ORDEM");
    }

    QString Campo(int linha, const QString& campo) { return FieldText("TbItens", linha, campo); }
    void Abre(const QString& numero) {
        driver->Type("EdtLote", numero);
        driver->Focus("EdtCodCli");
    }
    // The base, the statements, programme 000001 of those rows open on the screen, all selected unless said.
    void Prepara(const QStringList& linhas, const QStringList& preparo = {}, bool seleciona = true) {
        for (const QString& sql : preparo)
            Sql(sql);
        for (int i = 0; i < linhas.size(); ++i)
            Programa("000001", i + 1, linhas.at(i));
        Commit();
        driver->Open("TFmTngProg");
        Abre("000001");
        for (int i = 0; seleciona && i < linhas.size(); ++i)
            Seleciona(i);
    }
    // Those rows prepared, all of them generated as sheet 000500.
    void Gerada(const QStringList& linhas, const QStringList& preparo = {}) {
        Prepara(linhas, preparo);
        Gera("000500");
        QCOMPARE(TakeMessages(), kGerada);
    }
    void Seleciona(int linha, bool marcada = true) { Tick("DBGrid1", linha, "Gerar", marcada); }
    void Celula(int linha, const QString& campo, const QString& valor) {
        Cells("DBGrid1", linha, {{campo, valor}});
    }
    // "Gerar FAL" with the number typed in its box and the answers to its questions.
    void Gera(const QString& numero, const QList<bool>& respostas = {}) {
        if (!numero.isEmpty())
            messages.inputs.enqueue(numero);
        for (bool resposta : respostas)
            messages.questions.enqueue(resposta);
        driver->Click("BitBtn5");
    }

private slots:
    // For every test: customers 00001, 00002; AZUL and VERDE released in variant 01, AZUL in 02 too (fibre
    // index 50); M1 up to 300 kg; route R1 runs 03 before 01 in no days, R5 takes 2 + 3 days; invoice N1 of
    // 00001 brings T1 in lots L1 (500 kg) and L2 (200 kg) and T2 in lot L1 (300 kg).
    void init() {
        DatabaseTestCase::init();
        Insert("REGIAO (REGIAO, DESCRICAO)", {"'01', 'SUL'"});
        Insert("ENTIDADE (CODCLI, NOME, TABELA, PRAZO)",
               {"'00001', 'MALHARIA UM', '01', '00'", "'00002', 'MALHARIA DOIS', '01', '00'"});
        Insert("PRODUTO (CODIGO, DESCRICAO)", {"'T1', 'MEIA MALHA'", "'T2', 'RIBANA'"});
        Insert("CADCORTIN (CODIGO, DESCRICAO)", {"'AZUL', 'AZUL MARINHO'", "'VERDE', 'VERDE FOLHA'"});
        Insert("VARIANTE (CODIGO, DESCRICAO, INDICE)", {"'01', 'REATIVO', NULL", "'02', 'MISTA', '50'"});
        Insert("RECEITA (CODIGO, VARIANTE, COR, LIBERADA, GRAFICO)",
               {"'0001', '01', 'AZUL', '1', '7'", "'0002', '01', 'VERDE', '1', '7'",
                "'0003', '02', 'AZUL', '1', '7'"});
        Insert("MAQ_TIN (CODIGO, DESCRICAO, PESO_MAX)", {"'M1', 'JET', 300"});
        Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARO'", "'03', 'TINGIMENTO'", "'05', 'ACABAMENTO'"});
        Insert("ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE, DIAS)",
               {"'R1', 'TINTO', 1, '03', 0", "'R1', 'TINTO', 2, '01', 0", "'R5', 'LENTO', 1, '01', 2",
                "'R5', 'LENTO', 2, '05', 3", "'R5', 'LENTO', 3, '03', NULL"});
        Insert("NFTIN (NOTA, CLIENTE, SALDO)", {"'N1', '00001', 1000"});
        InsertCommit("NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO_REAL, PESO, ROLOS)",
                     {"'N1', '00001', 'T1', 'L1', 500, 500, 10", "'N1', '00001', 'T1', 'L2', 200, 200, 10",
                      "'N1', '00001', 'T2', 'L1', 300, 300, 10"});
    }

    void balanceAfterGenerateUpdateReplaceAndDelete() {
        Gerada({"PESO=100", "CODIGO=T2;PESO=50"});
        Equilibrio("gerada");
        QCOMPARE(Itens("000500"), "T1|L1|100|100;T2|L1|50|50");
        QCOMPARE(Fals("000001"), "1|000500;2|000500");
        QCOMPARE(Seen("SELECT TITULO, TEXTO FROM LOG"),
                 "PROGRAMACAO DO TINGIMENTO|GERACAO DA FAL 000500 NA PROGRAMACAO 000001 COR AZUL PARA AZUL");

        // "Atualizar": the first item down to 80 kg.
        Seleciona(0);
        Celula(0, "Peso", "80");
        QCOMPARE(ClickMessages("BitBtn9"), kAtualizada);
        Equilibrio("atualizada");
        QCOMPARE(Itens("000500"), "T1|L1|80|80;T2|L1|50|50");

        // Replaced under its number by the first item at 90 kg: the second gives its weight back, unlinked.
        Seleciona(0);
        Celula(0, "Peso", "90");
        Gera("000500", {true});
        QCOMPARE(CountShown("question", kJaGerada), 1);
        QCOMPARE(TakeMessages(), kGerada);
        Equilibrio("substituída");
        QCOMPARE(Itens("000500"), "T1|L1|90|90");
        QCOMPARE(Fals("000001"), "1|000500;2|");
        QCOMPARE(Seen("SELECT COUNT(*) FROM FAL"), "1");

        // Deleted in the sheet registry: all of it back, the programme free again.
        driver->Open("TFmCadFal");
        TypeAndTab("EdtFal", "000500");
        ClickAndAnswer("BtnExclui", true);
        QCOMPARE(TakeMessages(), QString());
        Equilibrio("excluída");
        QCOMPARE(Fals("000001"), "1|;2|");
        QCOMPARE(Count("FAL") + Count("FAL_ITEN") + Count("PROCESSO_TIN"), 0);
    }

    void refusalsWriteNothing_data() {
        QTest::addColumn<QStringList>("linhas");  // the programme's rows, see Programa
        QTest::addColumn<QStringList>("preparo"); // statements run before the screen opens
        QTest::addColumn<QString>("numero");      // typed for the sheet; empty when it is never asked
        QTest::addColumn<QList<bool>>("respostas");
        QTest::addColumn<QString>("mensagem"); // the one message told; the sheet generated when kGerada
        const QString falExistente =
            QStringLiteral("INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, TIPO) VALUES "
                           "('000900', '00001', 'AZUL', '01', 1)");
        const auto passo = [](const QString& colunas, const QString& valores) {
            return QStringLiteral(
                       "INSERT INTO PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, %1) VALUES ('000900', 'T1', "
                       "'01', 1, %2)")
                .arg(colunas, valores);
        };
        const auto caso = [](const char* nome, const QStringList& linhas, const QStringList& preparo,
                             const QString& numero, const QList<bool>& respostas, const QString& mensagem) {
            QTest::newRow(nome) << linhas << preparo << numero << respostas << mensagem;
        };
        const QStringList um{""};
        caso("duas cores", {"", "CODIGO=T2;COR=VERDE"}, {}, "", {},
             "Os Itens Selecionados para Geração da FAL devem ter a mesma Cor.");
        caso("fibras 60/30", {"FIBRA1=60;FIBRA2=30"}, {}, "", {}, "A soma das Fibras deve ser Zero ou 100.");
        caso(
            "máquina, 300,01 kg", {"PESO=200", "CODIGO=T2;PESO=100.01"}, {}, "", {},
            "Peso total da FAL fora do intervalo permitido na máquina.\rO peso máximo tem de ser inferior ou "
            "igual a 300 KG.");
        caso("máquina, 151,3 + 104,9 + 43,8 kg", {"PESO=151.3", "CODIGO=T2;PESO=104.9", "LOTE=L2;PESO=43.8"},
             {}, "000500", {}, kGerada);
        const QString preco190 = "INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 190, 'S')";
        const QString preco =
            "INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00) VALUES ('01', 'AZUL', '01', %1)";
        caso("preço zero", um, {preco190, preco.arg(0)}, "", {},
             "Preço zerado ou não cadastrado na tabela nos seguintes itens: \r\n\r\nCor: AZUL - AZUL "
             "MARINHO\r\nVariante: 01");
        caso("preço 12,5", um, {preco190, preco.arg(12.5)}, "000500", {}, kGerada);
        caso("só serviço", {"COR=BRANCO"},
             {"INSERT INTO CADCORTIN (CODIGO, DESCRICAO, TINGIR) VALUES ('BRANCO', 'BRANCO', 'N')"}, "000500",
             {}, kGerada);
        caso("mesmo lote da nota", {"LOTE=P1;LOTENF=L1", "LOTE=P2;LOTENF=L1;PESO=20"}, {}, "", {},
             "Item da FAL Duplicado, código e Lote iguais. Verifique os dados e gere novamente.");
        caso("número 12", um, {}, "12", {}, "Número da FAL inválido.");
        caso("número de outro cliente", um,
             {"INSERT INTO FAL (NUMERO, CLIENTE, TIPO) VALUES ('000700', '00002', 1)"}, "000700", {},
             "FAL Com Clientes Diferentes. Impossível Substituir.");
        caso("lote que a nota não tem", {"LOTE=L9"}, {}, "", {},
             "Item T1 lote L9 não encontrado na Nota Fiscal N1.");
        caso("peso negativo", {"PESO=-20"}, {}, "", {}, "Peso deve ser maior que 0.");
        caso("substituir, passo iniciado", um,
             {falExistente, passo("DATA_INI, CONCLUIDO", "'2026-11-20', 'N'")}, "000900", {true},
             kEmProcesso);
        caso("substituir, passos por iniciar", um, {falExistente, passo("CONCLUIDO", "'N'")}, "000900",
             {true}, kGerada);
        caso("substituir, não confirmado", um, {falExistente, passo("CONCLUIDO", "'N'")}, "000900", {false},
             "");
    }

    void refusalsWriteNothing() {
        QFETCH(QStringList, linhas);
        QFETCH(QStringList, preparo);
        QFETCH(QString, numero);
        QFETCH(QList<bool>, respostas);
        QFETCH(QString, mensagem);
        Prepara(linhas, preparo);
        Celula(0, "Observacao", "conferir"); // stored by any write of the programme's rows
        const QStringList antes = Estado();
        messages.Clear();
        Gera(numero, respostas);
        QCOMPARE(CountShown("input"), numero.isEmpty() ? 0 : 1);
        QVERIFY(messages.AllAnswered());
        QCOMPARE(TakeMessages(), mensagem);
        Equilibrio("depois");
        if (mensagem != kGerada) {
            QCOMPARE(Estado(), antes);
            QCOMPARE(Campo(0, "Fal"), QString());
            QCOMPARE(Campo(0, "Observacao"), "conferir"); // what was typed stays on the screen
            return;
        }
        QCOMPARE(Count("FAL_ITEN", "FAL = " + Aspas(numero)), linhas.size());
        // Every item holds its weight of the invoice, whatever the sheet's kind.
        QCOMPARE(Seen("SELECT COUNT(*) FROM FAL_ITEN WHERE PESO_NF IS DISTINCT FROM PESO"), "0");
        QCOMPARE(RowsSeenByOthers("SELECT DISTINCT COALESCE(FAL, '') FROM TNG_PROG"), QStringList{numero});
        QCOMPARE(Seen("SELECT OBSERVACAO FROM TNG_PROG WHERE ORDEM = 1"), "conferir");
        QCOMPARE(Seen("SELECT COUNT(*) FROM LOG"), "1");
    }

    void remainderOfTheInvoiceItem_data() {
        // Free weight of the invoice item beyond the item's 100 kg: whether to adjust to it is asked; short
        // of it, only whether to go on without balance.
        QTest::addColumn<double>("sobra");
        QTest::addColumn<QList<bool>>("respostas");
        QTest::addColumn<double>("peso"); // the sheet item's weight
        QTest::newRow("sobra 0,05, ajustada") << 0.05 << QList<bool>{true} << 100.05;
        QTest::newRow("sobra 0,05, não ajustada") << 0.05 << QList<bool>{false} << 100.0;
        QTest::newRow("falta 0,05") << -0.05 << QList<bool>{true} << 100.0;
    }

    void remainderOfTheInvoiceItem() {
        QFETCH(double, sobra);
        QFETCH(QList<bool>, respostas);
        QFETCH(double, peso);
        Prepara({"PESO=100"}, {"UPDATE NFITIN SET PESO_REAL = " + PermanecePonto(100 + sobra) + ", PESO = " +
                                   PermanecePonto(100 + sobra) + " WHERE CODIGO = 'T1' AND LOTE = 'L1'",
                               "UPDATE NFTIN SET SALDO = (SELECT SUM(PESO) FROM NFITIN)"});
        Gera("000500", respostas);
        QCOMPARE(CountShown("question", kAjuste), sobra > 0 ? 1 : 0);
        QCOMPARE(CountShown("question", kContinua), sobra < 0 ? 1 : 0);
        QVERIFY(messages.questions.isEmpty());
        QCOMPARE(TakeMessages(), kGerada);
        const QString p = QString::number(peso, 'g', 15);
        QCOMPARE(Seen("SELECT I.PESO, I.PESO_NF, P.PESO FROM FAL_ITEN I, TNG_PROG P"), p + '|' + p + '|' + p);
        QCOMPARE(InvoiceImbalances(true), QStringList()); // short of it, the invoice item goes below zero
    }

    void withoutBalanceTwoWorkstationsOnOneInvoiceItem() {
        Sql("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 150, 'N')");
        Sql("UPDATE NFITIN SET PESO_REAL = 100, PESO = 100 WHERE CODIGO = 'T1' AND LOTE = 'L1'");
        Sql("UPDATE NFTIN SET SALDO = 600");
        Programa("000001", 1, "PESO=80");
        Programa("000002", 1, "PESO=80");
        Programa("000003", 1, "PESO=100.01");
        Commit();
        QWidget* primeira = driver->Open("TFmTngProg");

        // Beyond the free weight: refused before the number is asked.
        Abre("000003");
        Seleciona(0);
        const QStringList antes = Estado();
        Gera(QString());
        QCOMPARE(CountShown("input"), 0);
        QCOMPARE(TakeMessages(), kSemSaldo);
        QCOMPARE(Estado(), antes);

        // Two workstations, each with 80 kg of the 100 free. The second passes its checks; while it asks for
        // the number the first generates and commits; the second's writes then find the item short and undo.
        Abre("000001");
        Seleciona(0);
        driver->Open("TFmTngProg"); // the second workstation
        Abre("000002");
        Seleciona(0);
        messages.Clear();
        messages.antesDaEntrada = [primeira] { primeira->findChild<QAbstractButton*>("BitBtn5")->click(); };
        messages.inputs.enqueue("000501"); // the first's box comes first
        Gera("000502");
        QCOMPARE(CountShown("input"), 2);
        QCOMPARE(TakeMessages(), kGerada + '|' + kSemSaldo + "\rNota N1, tecido T1, lote L1.");
        Equilibrio("uma gerada");
        QCOMPARE(Seen("SELECT FAL FROM FAL_ITEN"), "000501");
        QCOMPARE(Fals("000002"), "1|");
        QCOMPARE(Seen("SELECT COUNT(*) FROM LOG"), "1");
        QCOMPARE(Campo(0, "Fal"), QString());

        // Tried again, the second is refused by the check itself.
        Gera(QString());
        QCOMPARE(TakeMessages(), kSemSaldo);
        QCOMPARE(Livre(), "T1|L1|20;T1|L2|200;T2|L1|300");
    }

    void lockHeldByAnotherUserFailsCleanly() {
        Programa("000001", 1, "PESO=100");
        SqlCommit("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 150, 'N')");
        // The generation as the screen runs it, on a connection of its own that waits little for a lock.
        auto conexao = OpenSecond(QStringLiteral("kelm-test-saldo"));
        conexao->LockTimeoutMs = 300;
        QObject dono;
        ItensProgramacao itens(&dono);
        CabecalhoProgramacao cabecalho;
        QVERIFY(itens.BuscaDados(QStringLiteral("000001"), cabecalho, conexao.get()));
        itens.Define(0, QStringLiteral("Gerar"), QStringLiteral("S"));
        QWidget tela;
        tela.setWindowTitle(QStringLiteral("Cadastro da Programação"));
        ParametrosGeracao parametros;
        parametros.saldoNota = QStringLiteral("N");
        bool gerou = false;
        const auto gera = [&] {
            return ExecutaProtegido(
                [&] { gerou = GeracaoFal(&tela, itens, *conexao, parametros).Gera(cabecalho); });
        };
        const QStringList antes = Estado();

        // Held on the invoice item, or on the programme row (met once the rows have their sheet): nothing.
        auto outra = OpenSecond(QStringLiteral("kelm-test-trava"));
        for (const char* trava :
             {"UPDATE NFITIN SET OBS = 'em conferência' WHERE CODIGO = 'T1' AND LOTE = 'L1'",
              "UPDATE TNG_PROG SET OBS = 'em conferência' WHERE NUMERO = '000001'"}) {
            messages.Clear();
            SqlOn(*outra, trava);
            messages.inputs.enqueue("000500");
            QVERIFY(!gera());
            QVERIFY(!gerou);
            QVERIFY2(Errors().contains("outro usuário"), qPrintable(Errors()));
            QCOMPARE(itens.Texto(0, QStringLiteral("Fal")), QString());
            outra->Transaction()->RollbackRetaining();
            QCOMPARE(Estado(), antes);
        }

        // Released, the same rows generate once, with nothing of the failed try.
        messages.Clear();
        messages.inputs.enqueue("000500");
        QVERIFY(gera());
        QVERIFY(gerou);
        QCOMPARE(TakeMessages(), kGerada);
        QCOMPARE(itens.Texto(0, QStringLiteral("Fal")), "000500");
        Equilibrio("gerada depois");
        QCOMPARE(Itens("000500"), "T1|L1|100|100");
        QCOMPARE(QList<int>({Count("PROCESSO_TIN"), Count("LOG")}), QList<int>({2, 1}));
    }

    void failedReplaceKeepsTheOldSheet() {
        FailWhen("PROCESSO_TIN", "BEFORE INSERT", "NEW.CODIGO = 'T2'");
        Prepara({"PESO=100", "CODIGO=T2;PESO=50"}, {}, false);
        Seleciona(0);
        Gera("000500");
        QCOMPARE(TakeMessages(), kGerada);
        const QStringList antes = Estado();

        // The replace adds the second item and fails at its steps, after the old sheet was taken apart.
        Seleciona(0);
        Seleciona(1);
        Celula(0, "Peso", "90");
        Gera("000500", {true});
        QVERIFY2(Errors().contains("falha forçada"), qPrintable(messages.Texts().join('|')));
        QCOMPARE(Estado(), antes);
        Equilibrio("falhou");
        QCOMPARE(Campo(0, "Fal") + ';' + Campo(1, "Fal"), QStringLiteral("000500;"));

        // What the screen's connection does next commits nothing of the failed replace.
        messages.Clear();
        Seleciona(1, false);
        QCOMPARE(ClickMessages("BitBtn9"), kAtualizada);
        Equilibrio("atualizada");
        QCOMPARE(Itens("000500"), "T1|L1|90|90");
        QCOMPARE(Seen("SELECT DISTINCT CODIGO FROM PROCESSO_TIN"), "T1");
        QCOMPARE(Fals("000001"), "1|000500;2|");
    }

    // Only the invoice's lot named moves, not the programme's own; the steps once per fabric in route order;
    // the longest of the items' routes sets the delivery.
    void lotsStepsAndDeliveryOfTheSheet() {
        Gerada(
            {"LOTE=ABC;LOTENF=L1;PESO=50", "LOTE=L2;PESO=30", "CODIGO=T2;ROTEIRO=R5;PESO=20;PARTIDA=000011"});
        Equilibrio("gerada");
        QCOMPARE(Itens("000500"), "T1|L1|50|50;T1|L2|30|30;T2|L1|20|20");
        QCOMPARE(Livre(), "T1|L1|450;T1|L2|170;T2|L1|280");
        QCOMPARE(RowsSeenByOthers("SELECT PARTIDA, DATA_INI, DATA_FIN FROM FAL"),
                 QStringList{"000010|" + QDate::currentDate().toString("dd/MM/yyyy") + '|' +
                             QDate::currentDate().addDays(5).toString("dd/MM/yyyy")});
        QCOMPARE(RowsSeenByOthers(
                     "SELECT CODIGO, FASE, DES_FASE, ORDEM, PARTIDA, CONCLUIDO FROM PROCESSO_TIN WHERE FAL = "
                     "'000500' ORDER BY CODIGO, ORDEM"),
                 QStringList({"T1|03|TINGIMENTO|1|000010|N", "T1|01|PREPARO|2|000010|N",
                              "T2|01|PREPARO|1|000010|N", "T2|05|ACABAMENTO|2|000010|N",
                              "T2|03|TINGIMENTO|3|000010|N"}));
    }

    void updateFindsItemsAsLoaded() {
        Gerada({"PESO=100", "CODIGO=T2;PESO=50"}, kL1de150);

        // The route edited after the load: the sheet item is still the one of the route loaded.
        Seleciona(0);
        Celula(0, "Fluxo", "R5");
        Celula(0, "Peso", "70");
        QCOMPARE(ClickMessages("BitBtn9"), kAtualizada);
        Equilibrio("rota trocada");
        QCOMPARE(Seen("SELECT ROTEIRO, PESO FROM TNG_PROG WHERE ORDEM = 1"), "R5|70");
        QCOMPARE(Seen("SELECT ROTEIRO FROM FAL"), "R5"); // the header names its first item's route
        // The sheet item takes the new route, and its steps follow it (none had started).
        QCOMPARE(Seen("SELECT CODIGO, FLUXO, PESO, PESO_NF FROM FAL_ITEN ORDER BY CODIGO"),
                 "T1|R5|70|70;T2|R1|50|50");
        QCOMPARE(RowsSeenByOthers("SELECT CODIGO, FASE, ORDEM FROM PROCESSO_TIN ORDER BY CODIGO, ORDEM"),
                 QStringList({"T1|01|1", "T1|05|2", "T1|03|3", "T2|03|1", "T2|01|2"}));
        // Read back as stored, the item is found again.
        Seleciona(0);
        Celula(0, "Peso", "60");
        QCOMPARE(ClickMessages("BitBtn9"), kAtualizada);
        QCOMPARE(Itens("000500"), "T1|L1|60|60;T2|L1|50|50");
        Equilibrio("de novo");

        // The second item's sheet item goes (its weight given back) while the update asks whether to take
        // the first's beyond its invoice item: the first item's write is undone with the rest.
        const QString sumiu =
            QStringLiteral("O item T2 lote L1 não foi encontrado na FAL 000500. Nada foi gravado.");
        Seleciona(0);
        Seleciona(1);
        Celula(0, "Peso", "200"); // 140 kg more, 90 kg free
        Celula(1, "Peso", "45");
        QStringList antes;
        messages.antesDaPergunta = [&] {
            ByOther({"DELETE FROM FAL_ITEN WHERE FAL = '000500' AND CODIGO = 'T2'",
                     "UPDATE NFITIN SET PESO_PROG = PESO_PROG - 50, PESO = PESO + 50 WHERE CODIGO = 'T2'",
                     "UPDATE NFTIN SET SALDO = SALDO + 50"});
            antes = Estado();
        };
        ClickAndAnswer("BitBtn9", true);
        QCOMPARE(CountShown("question", kContinua), 1);
        QCOMPARE(TakeMessages(), sumiu);
        QCOMPARE(Estado(), antes);
        Equilibrio("nada gravado");

        // Gone before the update reads the sheet: told before anything is asked.
        driver->Click("BitBtn9");
        QCOMPARE(CountShown("question"), 0);
        QCOMPARE(TakeMessages(), sumiu);
        QCOMPARE(Estado(), antes);
    }

    void updateTouchesOnlyTheItemItMatched() {
        Gerada({"PESO=100", "LOTE=L2;PESO=50"});
        // The second item moves to the first one's lot: the sheet would hold two items of one fabric and lot,
        // which no later update could tell apart. Refused, nothing written.
        Seleciona(1);
        Celula(1, "Lote", "L1");
        QCOMPARE(ClickMessages("BitBtn9"),
                 "Item da FAL Duplicado, código e Lote iguais. Verifique os dados e gere novamente.");
        Equilibrio("mesmo lote");
        QCOMPARE(Itens("000500"), "T1|L1|100|100;T1|L2|50|50");
        // Each item updates the one sheet item it matched, as the weight it moves supposes.
        Celula(1, "Lote", "L2");
        Seleciona(1, false);
        Seleciona(0);
        Celula(0, "Peso", "90");
        QCOMPARE(ClickMessages("BitBtn9"), kAtualizada);
        Equilibrio("primeiro");
        QCOMPARE(Itens("000500"), "T1|L1|90|90;T1|L2|50|50");
        // The colour goes with the sheet's header, and an item weighs something: refused, nothing written.
        const QStringList antes = Estado();
        Seleciona(0);
        Celula(0, "Cor", "VERDE");
        QCOMPARE(ClickMessages("BitBtn9"),
                 "A cor ou a variante do item T1 não é a da FAL 000500 (cor AZUL, variante "
                 "01). Para trocá-las, gere a FAL novamente.");
        QCOMPARE(Estado(), antes);
        Celula(0, "Cor", "AZUL");
        Celula(0, "Peso", "-1");
        QCOMPARE(ClickMessages("BitBtn9"), "Peso deve ser maior que 0.");
        QCOMPARE(Estado(), antes);
    }

    // An item holds weight only of an invoice item that is there: one its invoice or lot was changed to, or
    // one another user deletes while a question is open, is refused and nothing is written.
    void itemMissingFromTheInvoiceHoldsNothing_data() {
        QTest::addColumn<bool>("atualiza");       // "Atualizar" of a sheet generated first, else "Gerar"
        QTest::addColumn<QStringList>("celulas"); // "Campo=valor" typed on the item
        QTest::addColumn<QString>("excluido"); // lot of T1 deleted from N1 at the first question or input box
        QTest::addColumn<QString>("mensagem");
        const QString falta = QStringLiteral("Item T1 lote %1 não encontrado na Nota Fiscal %2.");
        QTest::newRow("atualizar, lote que a nota não tem")
            << true << QStringList{"Lote=L9"} << "" << falta.arg("L9", "N1");
        QTest::newRow("atualizar, outra nota")
            << true << QStringList{"Nota=N2"} << "" << falta.arg("L1", "N2");
        QTest::newRow("atualizar, excluído durante a pergunta")
            << true << QStringList{"Lote=L2", "Peso=250"} << "L2" << falta.arg("L2", "N1");
        QTest::newRow("gerar, excluído ao pedir o número")
            << false << QStringList{} << "L1" << falta.arg("L1", "N1");
    }

    void itemMissingFromTheInvoiceHoldsNothing() {
        QFETCH(bool, atualiza);
        QFETCH(QStringList, celulas);
        QFETCH(QString, excluido);
        atualiza ? Gerada({"PESO=100"}) : Prepara({"PESO=100"});
        Seleciona(0);
        for (const QString& celula : celulas)
            Celula(0, celula.section('=', 0, 0), celula.section('=', 1));
        QStringList antes = Estado();
        const auto exclui = [&] {
            ByOther({"DELETE FROM NFITIN WHERE CODIGO = 'T1' AND LOTE = " + Aspas(excluido),
                     "UPDATE NFTIN SET SALDO = (SELECT SUM(PESO) FROM NFITIN)"});
            antes = Estado();
        };
        if (!excluido.isEmpty())
            (atualiza ? messages.antesDaPergunta : messages.antesDaEntrada) = exclui;
        messages.questions.enqueue(true); // on beyond the free weight
        if (atualiza)
            driver->Click("BitBtn9");
        else
            Gera("000501");
        QTEST(TakeMessages(), "mensagem");
        QCOMPARE(Estado(), antes);
    }

    void twoStationsUpdateOneSheet() {
        Gerada({"PESO=100"}, kL1de150);
        // 100 kg more than the item's 50 free is asked about; meanwhile another station updates the item to
        // 120 kg. What is written moves the invoice from what is stored then, not from what was read before.
        Seleciona(0);
        Celula(0, "Peso", "200");
        messages.antesDaPergunta = [&] {
            ByOther({"UPDATE FAL_ITEN SET PESO = 120, PESO_NF = 120 WHERE FAL = '000500'",
                     "UPDATE NFITIN SET PESO_PROG = 120, PESO = 30 WHERE CODIGO = 'T1' AND LOTE = 'L1'",
                     "UPDATE NFTIN SET SALDO = SALDO - 20"});
        };
        ClickAndAnswer("BitBtn9", true);
        QCOMPARE(CountShown("question", kContinua), 1);
        QCOMPARE(TakeMessages(), kAtualizada);
        QCOMPARE(InvoiceImbalances(true), QStringList());
        QCOMPARE(Itens("000500"), "T1|L1|200|200");
        QCOMPARE(Seen("SELECT PESO_PROG, PESO FROM NFITIN WHERE CODIGO = 'T1' AND LOTE = 'L1'"), "200|-50");
    }
};

QTEST_MAIN(TstGeracaoFal)
#include "tst_geracaofal.moc"
