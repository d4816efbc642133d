// The lot sheet screen: the invoice balance after every save and delete, concurrent takes, re-save keeping
// what others wrote, atomic saves, machine limits, write-off and release; split, copy and reprocess of a
// sheet; checked from a second connection.
#include "Acesso.h"
#include "DBControls.h"
#include "TestDatabase.h"
#include <QDateEdit>
#include <QTest>

class TstCadFal : public ScreenTestCase {
    Q_OBJECT
    void Commit() { db->Transaction()->CommitRetaining(); }
    // Parameters are read when the screen is created: pass them here, as "number=value".
    void Base(const QString& modo = "N", const QStringList& parametros = {}) {
        Sql("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 150, '" + modo + "')");
        for (const QString& p : parametros)
            Sql(QStringLiteral("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', %1, '%2')")
                    .arg(p.section('=', 0, 0), p.section('=', 1)));
        Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('C1', 'MALHARIA UM')");
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('01', 'PREPARO')");
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('03', 'TINGIMENTO')");
        Sql("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('R1', 'TINTO', 1, '01')");
        Sql("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('R1', 'TINTO', 2, '03')");
        Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, PESO_MIN, PESO_MAX) VALUES ('M1', 'JET', 20, 120)");
        Sql("INSERT INTO NFTIN (NOTA, CLIENTE, SALDO) VALUES ('N1', 'C1', 150)");
        Sql("INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL, ROLOS) VALUES ('N1', 'C1', "
            "'T1', 'L1', "
            "100, 100, 5)");
        Sql("INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL, ROLOS) VALUES ('N1', 'C1', "
            "'T2', 'L2', 50, "
            "50, 2)");
        Commit();
        driver->Open("TFmCadFal");
    }
    // A colour with a released recipe and a price per term in region 01, the customer's.
    void Cor(const QString& cor, int diasDoPreco = 0) {
        Sql("UPDATE ENTIDADE SET TABELA = '01' WHERE CODCLI = 'C1'");
        Sql("INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES ('" + cor + "', 'COR " + cor + "')");
        Sql("INSERT INTO RECEITA (CODIGO, VARIANTE, COR, LIBERADA) VALUES ('" + cor.right(4) + "', '01', '" +
            cor + "', '1')");
        Sql(QStringLiteral("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, PRECO_07, LIBERADO, DATA, "
                           "CODIGO) VALUES ('01', '%1', '01', 10, 11, 'S', '%2', '')")
                .arg(cor, QDate::currentDate().addDays(-diasDoPreco).toString(Qt::ISODate)));
    }
    void CorNaTela(const QString& cor) {
        driver->Type("EdtCor", cor);
        driver->Type("EdtVariante", "01");
    }
    // The three equalities of the balance, as other users see them; empty when they hold. Free weight
    // below zero counts too, unless the user chose to go on without it.
    QStringList Desequilibrios(bool negativoPermitido = false) {
        return RowsSeenByOthers("SELECT I.CODIGO FROM NFITIN I WHERE ABS(I.PESO_PROG - COALESCE((SELECT "
                                "SUM(F.PESO_NF) FROM FAL_ITEN F "
                                "JOIN FAL ON FAL.NUMERO = F.FAL WHERE F.NOTA = I.NOTA AND FAL.CLIENTE = "
                                "I.CODCLI AND F.CODIGO = "
                                "I.CODIGO AND F.LOTE = I.LOTE), 0)) > 0.001 OR ABS(I.PESO - (I.PESO_REAL - "
                                "I.PESO_PROG)) > 0.001 OR "
                                "I.PESO < " +
                                QString(negativoPermitido ? "-1E9" : "-0.001")) +
               RowsSeenByOthers(
                   "SELECT N.NOTA FROM NFTIN N WHERE ABS(N.SALDO - (SELECT SUM(I.PESO) FROM NFITIN I WHERE "
                   "I.NOTA = N.NOTA AND I.CODCLI = N.CLIENTE)) > 0.001");
    }
    QString Livre() { return RowsSeenByOthers("SELECT PESO FROM NFITIN ORDER BY CODIGO").join(';'); }
    void Equilibrio(const char* passo, bool negativoPermitido = false) {
        QVERIFY2(Desequilibrios(negativoPermitido).isEmpty(), passo);
        QVERIFY2(messages.Texts().isEmpty(), qPrintable(QString(passo) + ": " + messages.Texts().join('|')));
    }
    void Cabecalho(const QString& numero, const QString& maquina = "") {
        driver->Type("EdtFal", numero);
        driver->Press("Tab");
        driver->Type("EdtCodCli", "C1");
        driver->Type("EdtRoteiro", "R1");
        driver->Type("EdtMaquina", maquina);
    }
    void Linha(int n, const QString& tecido, const QString& peso) {
        driver->Row("DBGrid1", n);
        driver->Cell("DBGrid1", "NF", "N1");
        driver->Cell("DBGrid1", "Tecido", tecido);
        driver->Cell("DBGrid1", "Peso", peso);
    }
    void Abre(const QString& numero) {
        driver->Type("EdtFal", numero);
        driver->Press("Tab");
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
    int Perguntas(const QString& tipo) const {
        int quantas = 0;
        for (const auto& mostrada : messages.shown)
            quantas += mostrada.kind == tipo;
        return quantas;
    }
    // Everything a split could write, as other users see it.
    QString Estado() {
        return RowsSeenByOthers(
                   "SELECT (SELECT COUNT(*) FROM FAL) || '/' || (SELECT COUNT(*) FROM PROCESSO_TIN) "
                   "|| '/' || (SELECT COUNT(*) FROM LOG) FROM RDB$DATABASE")
                   .join(';') +
               ';' +
               RowsSeenByOthers("SELECT FAL, ORD_IT, ROLO, PESO, PESO_NF FROM FAL_ITEN ORDER BY FAL, ORD_IT")
                   .join(';') +
               ';' + Livre();
    }

private slots:
    void balancoAposCadaGravacaoEExclusao();
    void reprocessoEDuasLinhasNoMesmoItem();
    void segundaConexaoTomaOPesoLivre();
    void regravacaoMantemColunasDeOutrosEPassosIniciados();
    void falhaNoUltimoPassoOuNaExclusaoNaoMudaNada();
    void limitesDaMaquinaEBaixaELiberacao();
    void modoProdutoPerguntaQuandoFaltaSaldo();
    void precoDaCorEQuadroDaEstampa();
    void limiteDeCredito();
    void corNaoMudaComConsumoBaixado();
    void itensEPassosGravadosColunaAColuna();
    void exclusaoRecusadaEAberturaComSituacao();
    void consultaLidaPorPaginas();
    void desmembraPesosExatosEDevolveAoExcluir();
    void desmembraDuasVezesSemResiduo();
    void desmembraRecusadoNadaGravado();
    void desmembraPedeGravarAntes();
    void duplicaTomaSoOPesoLivre();
    void duplicaEmModoProdutoPergunta();
    void reprocessoPeloBotao();
};

void TstCadFal::balancoAposCadaGravacaoEExclusao() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "40");
    driver->Click("BtnIncluir");
    Equilibrio("criada");
    QCOMPARE(Livre(), QStringLiteral("60;50"));
    QCOMPARE(RowsSeenByOthers("SELECT CODIGO, FASE, ORDEM FROM PROCESSO_TIN ORDER BY ORDEM").join(';'),
             QStringLiteral("T1|01|1;T1|03|2"));

    Abre("000001");
    QCOMPARE(driver->Value("DBGrid1", "Disp"), QStringLiteral("100"));
    driver->Cell("DBGrid1", "Peso", "70");
    driver->Click("BtnIncluir");
    Equilibrio("aumentada");
    QCOMPARE(Livre(), QStringLiteral("30;50"));

    Abre("000001");
    driver->Cell("DBGrid1", "Peso", "25");
    Linha(1, "T2", "10");
    driver->Click("BtnIncluir");
    Equilibrio("diminuida e com outra linha");
    QCOMPARE(Livre(), QStringLiteral("75;40"));

    Abre("000001");
    driver->Row("DBGrid1", 0);
    driver->Press("Ctrl+Del", "DBGrid1");
    driver->Click("BtnIncluir");
    Equilibrio("linha removida");
    QCOMPARE(Livre(), QStringLiteral("100;40"));

    Abre("000001");
    driver->Cell("DBGrid1", "Lote", "");
    driver->Cell("DBGrid1", "Tecido", "T1");
    driver->Cell("DBGrid1", "Peso", "30");
    driver->Click("BtnIncluir");
    Equilibrio("item da nota trocado");
    QCOMPARE(Livre(), QStringLiteral("70;50"));

    Abre("000001");
    driver->Click("RbTipo4");
    driver->Click("BtnIncluir");
    Equilibrio("acabamento");
    QCOMPARE(Livre(), QStringLiteral("100;50"));
    Abre("000001");
    driver->Click("RbTipo1");
    driver->Click("BtnIncluir");
    Equilibrio("normal outra vez");
    QCOMPARE(Livre(), QStringLiteral("70;50"));

    Abre("000001");
    messages.questions.enqueue(true);
    driver->Click("BtnExclui");
    QVERIFY(Desequilibrios().isEmpty());
    QCOMPARE(Livre(), QStringLiteral("100;50"));
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM PROCESSO_TIN").join(';'), QStringLiteral("0"));
    QCOMPARE(RowsSeenByOthers("SELECT TEXTO FROM LOG WHERE TEXTO STARTING 'EXCLUSAO'").size(), 1);
}

void TstCadFal::reprocessoEDuasLinhasNoMesmoItem() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "30");
    Linha(1, "T1", "50");
    driver->Click("BtnIncluir");
    Equilibrio("duas linhas num item");
    QCOMPARE(Livre(), QStringLiteral("20;50"));
    // Over the free weight, summed per invoice item: refused, nothing written.
    Cabecalho("000002");
    Linha(0, "T1", "15");
    Linha(1, "T1", "15");
    driver->Click("BtnIncluir");
    QCOMPARE(messages.Texts(), QStringList{"Peso Programado maior que disponível."});
    messages.Clear();
    QCOMPARE(Livre(), QStringLiteral("20;50"));
    QVERIFY(RowsSeenByOthers("SELECT NUMERO FROM FAL WHERE NUMERO = '000002'").isEmpty());
    // A reprocess of the same invoice item takes nothing and closes the original.
    driver->Type("EdtReproc", "000002");
    driver->Click("BtnIncluir");
    QCOMPARE(messages.Texts(), QStringList{"FAL de reprocesso não pode ser a mesma FAL original."});
    messages.Clear();
    driver->Type("EdtReproc", "000001");
    driver->Click("BtnIncluir");
    Equilibrio("reprocesso");
    QCOMPARE(Livre(), QStringLiteral("20;50"));
    QCOMPARE(RowsSeenByOthers("SELECT DISTINCT FATURADO FROM FAL_ITEN WHERE FAL = '000001'").join(';'),
             QStringLiteral("S"));
}

void TstCadFal::segundaConexaoTomaOPesoLivre() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "80");
    // Another workstation takes 30 kg of the same item meanwhile.
    auto outra = OpenSecond("kelm-test-outra");
    SqlOn(*outra, "INSERT INTO FAL (NUMERO, CLIENTE, TIPO) VALUES ('000001', 'C1', 1)");
    SqlOn(*outra,
          "INSERT INTO FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, PESO, PESO_NF) VALUES ('000001', 1, 'N1', "
          "'T1', 'L1', 30, 30)");
    SqlOn(*outra, "UPDATE NFITIN SET PESO_PROG = 30, PESO = 70 WHERE CODIGO = 'T1'");
    SqlOn(*outra, "UPDATE NFTIN SET SALDO = 120");
    outra->Transaction()->CommitRetaining();
    driver->Click("BtnIncluir");
    QCOMPARE(messages.Texts(), QStringList{"Peso Programado maior que disponível."});
    messages.Clear();
    QVERIFY(Desequilibrios().isEmpty());
    QCOMPARE(Livre(), QStringLiteral("70;50"));
    // A number stored meanwhile by the other is not altered: a fresh one is offered.
    driver->Cell("DBGrid1", "Peso", "60");
    messages.questions.enqueue(true);
    driver->Click("BtnIncluir");
    QCOMPARE(RowsSeenByOthers("SELECT PESO FROM FAL_ITEN WHERE FAL = '000001'").join(';'),
             QStringLiteral("30"));
    Equilibrio("numero tomado");
    QCOMPARE(Livre(), QStringLiteral("10;50"));
    QCOMPARE(RowsSeenByOthers("SELECT FAL, PESO FROM FAL_ITEN ORDER BY FAL").join(';'),
             QStringLiteral("000001|30;000002|60"));
}

void TstCadFal::regravacaoMantemColunasDeOutrosEPassosIniciados() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "40");
    driver->Click("BtnIncluir");
    Sql("UPDATE FAL SET SIT_EST = 'I', PROMOCAO = 'P1', SITUACAO = 'X' WHERE NUMERO = '000001'");
    Sql("UPDATE FAL_ITEN SET PESO_FATUR = 12, SITUACAO = 'I'");
    Sql("UPDATE PROCESSO_TIN SET PENDENTE = 'S', DATA_INI = '2026-01-05' WHERE FASE = '01'");
    Commit();
    Abre("000001");
    Linha(1, "T2", "10");
    driver->Click("BtnIncluir");
    Equilibrio("regravada");
    QCOMPARE(RowsSeenByOthers("SELECT SIT_EST, PROMOCAO, SITUACAO FROM FAL").join(';'),
             QStringLiteral("I|P1|X"));
    QCOMPARE(RowsSeenByOthers("SELECT CODIGO, PESO_FATUR, SITUACAO FROM FAL_ITEN ORDER BY ORD_IT").join(';'),
             QStringLiteral("T1|12|I;T2||"));
    QCOMPARE(
        RowsSeenByOthers("SELECT CODIGO, FASE, PENDENTE FROM PROCESSO_TIN ORDER BY CODIGO, ORDEM").join(';'),
        QStringLiteral("T1|01|S;T1|03|;T2|01|;T2|03|"));
}

void TstCadFal::falhaNoUltimoPassoOuNaExclusaoNaoMudaNada() {
    Base();
    Sql("CREATE EXCEPTION E_TESTE 'falha forcada'");
    Sql("CREATE TRIGGER T_FALHA FOR PROCESSO_TIN BEFORE INSERT AS BEGIN IF (NEW.FASE = '03') THEN EXCEPTION "
        "E_TESTE; END");
    Commit();
    Cabecalho("000001");
    Linha(0, "T1", "40");
    driver->Click("BtnIncluir");
    QCOMPARE(messages.shown.size(), 1); // the database error, after the rollback
    messages.Clear();
    QVERIFY(Desequilibrios().isEmpty());
    QCOMPARE(Livre(), QStringLiteral("100;50"));
    for (const char* tabela : {"FAL", "FAL_ITEN", "PROCESSO_TIN"})
        QCOMPARE(RowsSeenByOthers(QStringLiteral("SELECT COUNT(*) FROM %1").arg(tabela)).join(';'),
                 QStringLiteral("0"));
    QVERIFY(RowsSeenByOthers("SELECT TEXTO FROM LOG WHERE TEXTO STARTING 'CADASTRO DA FAL'").isEmpty());

    // The services go last but one in a delete: failing there keeps everything the delete had undone.
    Sql("DROP TRIGGER T_FALHA");
    Sql("CREATE TRIGGER T_FALHA FOR TABELA BEFORE DELETE AS BEGIN EXCEPTION E_TESTE; END");
    Commit();
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    Sql("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('000001', '01', 0.5)");
    Commit();
    const auto estado = [this] {
        return RowsSeenByOthers(
                   "SELECT (SELECT COUNT(*) FROM FAL) || '/' || (SELECT SUM(PESO_NF) FROM "
                   "FAL_ITEN) || '/' || (SELECT COUNT(*) FROM PROCESSO_TIN) || '/' || (SELECT "
                   "COUNT(*) FROM TABELA) || '/' || (SELECT COUNT(*) FROM LOG) FROM RDB$DATABASE")
                   .join(';') +
               ';' + Livre();
    };
    const QString antes = estado();
    QCOMPARE(antes.section(';', 1), QStringLiteral("60;50"));
    Abre("000001");
    messages.questions.enqueue(true);
    driver->Click("BtnExclui");
    QCOMPARE(messages.shown.size(), 2); // the question, then the database error after the rollback
    QVERIFY2(messages.shown.last().text.contains("falha forcada"), qPrintable(messages.LastText()));
    messages.Clear();
    QCOMPARE(estado(), antes);
    QVERIFY(Desequilibrios().isEmpty());
}

void TstCadFal::limitesDaMaquinaEBaixaELiberacao() {
    Base();
    Cabecalho("000001", "M1");
    Linha(0, "T1", "19,99");
    driver->Click("BtnIncluir");
    QCOMPARE(messages.Texts(),
             QStringList{"Peso total da FAL fora do intervalo permitido na máquina.\rO peso mínimo "
                         "tem de ser superior ou igual a 20 KG."});
    messages.Clear();
    driver->Cell("DBGrid1", "Peso", "71");
    Linha(1, "T2", "50");
    driver->Click("BtnIncluir");
    QCOMPARE(messages.LastText(),
             QStringLiteral("Peso total da FAL fora do intervalo permitido na máquina.\rO peso "
                            "máximo tem de ser inferior ou igual a 120 KG."));
    messages.Clear();
    driver->Row("DBGrid1", 0);
    driver->Cell("DBGrid1", "Peso", "70");
    driver->Click("BtnIncluir");
    Equilibrio("no limite");

    Abre("000001");
    messages.questions.enqueue(true);
    driver->Click("BitBtn4");
    QCOMPARE(RowsSeenByOthers("SELECT FATURADO, PESO_DEV FROM FAL_ITEN ORDER BY ORD_IT").join(';'),
             QStringLiteral("S|70;S|50"));
    QVERIFY(!driver->Enabled("BtnIncluir"));
    driver->Click("BitBtn7");
    QCOMPARE(messages.LastText(), QStringLiteral("FAL Liberada para Faturamento."));
    QCOMPARE(
        RowsSeenByOthers("SELECT FATURADO, PESO_DEV, PESO_FATUR FROM FAL_ITEN ORDER BY ORD_IT").join(';'),
        QStringLiteral("A|0|0;A|0|0"));
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM LOG WHERE TEXTO STARTING 'BAIXA FAL NR. 000001' OR "
                              "TEXTO STARTING 'LIBERAÇÃO P/ FATURAMENTO DA FAL 000001'")
                 .join(';'),
             QStringLiteral("2"));
}

void TstCadFal::modoProdutoPerguntaQuandoFaltaSaldo() {
    Base("S");
    Sql("INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('T1', 'MEIA MALHA')");
    Commit();
    Cabecalho("000001");
    Linha(0, "T1", "60");
    driver->Cell("DBGrid1", "Lote", "L1");
    Linha(1, "T1", "60");
    driver->Cell("DBGrid1", "Lote", "L1");
    // 120 kg of an item with 100 free: asked, summed over both rows.
    messages.questions.enqueue(false);
    driver->Click("BtnIncluir");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text,
             QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Deseja continuar?"));
    messages.Clear();
    QCOMPARE(Livre(), QStringLiteral("100;50"));
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM FAL").join(';'), QStringLiteral("0"));
    // Going on takes the whole weight: the invoice item is overdrawn, its balance still exact.
    messages.questions.enqueue(true);
    driver->Click("BtnIncluir");
    QCOMPARE(messages.shown.size(), 1);
    messages.Clear();
    Equilibrio("sem saldo", true);
    QCOMPARE(Livre(), QStringLiteral("-20;50"));
    QCOMPARE(RowsSeenByOthers("SELECT SALDO FROM NFTIN").join(';'), QStringLiteral("30"));
    Abre("000001");
    messages.questions.enqueue(true);
    driver->Click("BtnExclui");
    Equilibrio("excluida");
    QCOMPARE(Livre(), QStringLiteral("100;50"));
}

void TstCadFal::precoDaCorEQuadroDaEstampa() {
    Base("N", {"190=S", "240=5"});
    Cor("C01");
    Cor("C02", 6);
    Cor("C03", 5);
    Cor("C04");
    Sql("UPDATE TABPRECO SET DATA = NULL WHERE COR = 'C04'");
    Sql("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'CLARA')");
    Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('P1', 'GRAVACOES SUL')");
    Sql("INSERT INTO QUADRO (CODIGO, PORTADOR, ATIVO) VALUES ('Q1', 'P1', 'S')");
    Sql("INSERT INTO QUADRO (CODIGO, PORTADOR, ATIVO) VALUES ('Q2', 'P1', 'N')");
    Sql("INSERT INTO EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO) VALUES ('E1', '01', 1, 'Q1')");
    Sql("INSERT INTO EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO) VALUES ('E2', '01', 1, 'Q1')");
    Sql("INSERT INTO EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO) VALUES ('E2', '01', 2, 'Q2')");
    Commit();
    Cabecalho("000001");
    Linha(0, "T1", "40");
    QCOMPARE(driver->Text("EdtTabPreco"), QStringLiteral("01"));
    // Unreleased after the region was checked on the sheet.
    Sql("UPDATE TABPRECO SET LIBERADO = 'N' WHERE COR = 'C01'");
    Commit();
    const auto recusa = [this](const QString& texto) {
        driver->Click("BtnIncluir");
        QCOMPARE(messages.Texts(), QStringList{texto});
        messages.Clear();
        QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM FAL").join(';'), QStringLiteral("0"));
    };
    CorNaTela("C03");
    driver->Select("CbPrazo", "28"); // the table has no column for this term
    recusa("Preço da cor não cadastrado.");
    driver->Select("CbPrazo", "07");
    CorNaTela("C01");
    recusa("Preço da cor não Liberado.");
    CorNaTela("C02");
    recusa("Data da última alteração de preço, " + QDate::currentDate().addDays(-6).toString("dd/MM/yyyy") +
           " maior que o limite do dia definido: 5.");
    CorNaTela("C04");
    recusa("Preço da cor sem data de alteração; não há como conferir o limite de 5 dias.");
    CorNaTela("C03");
    driver->Page("PageControl1", "Estampa");
    driver->Type("EdtEstampa", "E2");
    driver->Type("EdtVarEst", "01");
    recusa("Quadro/Cilindro da Estampa inativo. Portador GRAVACOES SUL.");
    driver->Type("EdtEstampa", "E1");
    driver->Click("BtnIncluir");
    Equilibrio("preco com cinco dias e quadros ativos");
    QCOMPARE(RowsSeenByOthers("SELECT COR, PRAZO, ESTAMPA FROM FAL").join(';'), QStringLiteral("C03|07|E1"));
}

void TstCadFal::limiteDeCredito() {
    Base("N", {"250=S"});
    Cor("C01");
    Sql("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'CLARA')");
    // Open: 10 kg at 10.00 and 5 kg at the 07 price of 11.00; written off, reprocess and finishing
    // sheets are not counted.
    const QStringList abertas = {"000091|1|00||A|10",      "000092|1|07||A|5", "000093|1|00||S|7",
                                 "000094|1|00|000091|A|7", "000095|4|00||A|7", "000096|5|00||A|0"};
    for (const QString& fal : abertas) {
        const QStringList c = fal.split('|');
        Sql(QStringLiteral("INSERT INTO FAL (NUMERO, CLIENTE, TIPO, PRAZO, TABPRECO, COR, VARIANTE, "
                           "NUM_REPROC) VALUES ('%1', 'C1', %2, '%3', '01', 'C01', '01', '%4')")
                .arg(c[0], c[1], c[2], c[3]));
        Sql(QStringLiteral("INSERT INTO FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, PESO, FATURADO) VALUES "
                           "('%1', 1, 'N0', 'T9', '', %2, '%3')")
                .arg(c[0], c[5], c[4]));
    }
    // 100 + 55 open and 40 kg at 10.00 on this sheet.
    Sql("UPDATE ENTIDADE SET LIMITE_CREDITO = 555 WHERE CODCLI = 'C1'");
    Sql("INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO) VALUES ('002', "
        "'OPERADOR', '" +
        HashSenha("002", "op") + "', 'N', 'N', 'S')");
    Sql("INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO) VALUES ('003', "
        "'CHEFE', '" +
        HashSenha("003", "chefe") + "', 'S', 'N', 'S')");
    Sql("INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('002', '*', 'A', 0)");
    Sql("INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('003', 'TFmCadFal', 'A', 1)");
    Commit();
    QVERIFY(Autentica("OPERADOR", "op"));
    Cabecalho("000001");
    CorNaTela("C01");
    Linha(0, "T1", "40");
    driver->Click("BtnIncluir");
    Equilibrio("no limite");

    Sql("UPDATE ENTIDADE SET LIMITE_CREDITO = 554.99 WHERE CODCLI = 'C1'");
    Commit();
    Abre("000001");
    driver->Click("BtnIncluir"); // a cent over, nobody to release it
    QCOMPARE(messages.Texts(), QStringList{"Cliente Excedeu o Limite de Crédito."});
    QCOMPARE(messages.shown.last().kind, QStringLiteral("login"));
    messages.Clear();
    const QString liberado = "SELECT TEXTO FROM LOG WHERE TEXTO STARTING 'LIBERADO LIMITE'";
    QVERIFY(RowsSeenByOthers(liberado).isEmpty());
    messages.logins.enqueue({"CHEFE", "chefe"});
    driver->Click("BtnIncluir");
    QCOMPARE(messages.Texts(), QStringList{"Cliente Excedeu o Limite de Crédito."});
    messages.Clear();
    QCOMPARE(RowsSeenByOthers(liberado),
             QStringList{"LIBERADO LIMITE DE CREDITO DA FAL 000001 TIPO: NORMAL LIBERADO POR CHEFE."});

    // A reprocess is not checked.
    Cabecalho("000002");
    CorNaTela("C01");
    driver->Type("EdtReproc", "000001");
    Linha(0, "T2", "10");
    driver->Click("BtnIncluir");
    Equilibrio("reprocesso");
    QCOMPARE(RowsSeenByOthers("SELECT NUMERO FROM FAL WHERE NUMERO = '000002'").size(), 1);
}

void TstCadFal::corNaoMudaComConsumoBaixado() {
    Base();
    Cor("C01");
    Cor("C02");
    Sql("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'CLARA')");
    Commit();
    Cabecalho("000001");
    CorNaTela("C01");
    Linha(0, "T1", "40");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    Sql("INSERT INTO TNG_CONSUMOS (FAL, CODIGO, ORDEM, BAIXADO) VALUES ('000001', 'Q9', 1, 'S')");
    Commit();
    Abre("000001");
    driver->Type("EdtCor", "C02");
    driver->Click("BtnIncluir");
    QCOMPARE(messages.Texts(), QStringList{"Consumo da FAL já baixado. Impossível alterar a cor."});
    messages.Clear();
    QCOMPARE(RowsSeenByOthers("SELECT COR FROM FAL").join(';'), QStringLiteral("C01"));
    // The colour stays: the sheet saves.
    driver->Type("EdtCor", "C01");
    driver->Click("BtnIncluir");
    Equilibrio("mesma cor");
    // Not yet written off: the change is logged with the save.
    Sql("UPDATE TNG_CONSUMOS SET BAIXADO = 'N'");
    Commit();
    Abre("000001");
    driver->Type("EdtCor", "C02");
    driver->Click("BtnIncluir");
    Equilibrio("outra cor");
    QCOMPARE(RowsSeenByOthers("SELECT TEXTO FROM LOG WHERE TEXTO STARTING 'ALTERADO DESENHO'"),
             QStringList{"ALTERADO DESENHO DE: C01 Para C02, ALTERADO VARIANTE DE: 01 Para 01"});
}

// Every column a save writes, NULL told from empty; a re-save writes only what changed (a row's record
// version is the transaction that last wrote it), and steps are laid out again only when fabrics or routes
// change.
void TstCadFal::itensEPassosGravadosColunaAColuna() {
    Base();
    Sql("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('R2', 'SEM FASE', 1, '09')");
    Commit();
    Cabecalho("000001");
    driver->Type("EdtPartida", "P7");
    Linha(0, "T1", "40");
    Linha(1, "T2", "10");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    const QString itens = "SELECT ORD_IT, NOTA, CODIGO, LOTE, ROLO, PESO, FLUXO, COALESCE(GRAMATURA, -1), "
                          "COALESCE(OBSERVACAO, '<nulo>'), PESO_NF, FATURADO FROM FAL_ITEN ORDER BY ORD_IT";
    QCOMPARE(RowsSeenByOthers(itens).join(';'),
             QStringLiteral("1|N1|T1|L1|5|40|R1|-1|<nulo>|40|A;2|N1|T2|L2|2|10|R1|-1|<nulo>|10|A"));
    const QString passos = "SELECT FAL, CODIGO, ORD_IT, FASE, COALESCE(DES_FASE, '<nulo>'), ORDEM, "
                           "COALESCE(PARTIDA, '<nulo>'), CONCLUIDO, COALESCE(GRAFICO, '<nulo>'), "
                           "COALESCE(PENDENTE, DATA_INI, OBS, MAQUINA, '<nulo>') FROM PROCESSO_TIN ORDER BY "
                           "ORDEM, ORD_IT";
    QCOMPARE(
        RowsSeenByOthers(passos).join(';'),
        QStringLiteral("000001|T1|1|01|PREPARO|1|P7|N|<nulo>|<nulo>;000001|T2|2|01|PREPARO|1|P7|N|<nulo>|"
                       "<nulo>;000001|T1|1|03|TINGIMENTO|2|P7|N|<nulo>|<nulo>;000001|T2|2|03|TINGIMENTO|2|P7|"
                       "N|<nulo>|<nulo>"));
    const auto versoes = [this](const char* tabela) {
        return RowsSeenByOthers(
            QStringLiteral("SELECT RDB$RECORD_VERSION FROM %1 ORDER BY ORD_IT, 1").arg(tabela));
    };
    const QStringList itensAntes = versoes("FAL_ITEN"), passosAntes = versoes("PROCESSO_TIN");

    Abre("000001");
    driver->Row("DBGrid1", 1);
    driver->Cell("DBGrid1", "Peso", "12");
    driver->Click("BtnIncluir");
    Equilibrio("um peso mudado");
    QCOMPARE(versoes("PROCESSO_TIN"), passosAntes);
    const QStringList itensDepois = versoes("FAL_ITEN");
    QCOMPARE(itensDepois.value(0), itensAntes.value(0));
    QVERIFY(itensDepois.value(1) != itensAntes.value(1));
    QCOMPARE(Livre(), QStringLiteral("60;38"));
    // A remark with what looks like placeholders is stored as typed (the screen drops typed quotes).
    Abre("000001");
    driver->Row("DBGrid1", 1);
    driver->Cell("DBGrid1", "Observacao", "50%1 D'AVILA %3");
    driver->Click("BtnIncluir");
    QCOMPARE(RowsSeenByOthers("SELECT OBSERVACAO FROM FAL_ITEN WHERE ORD_IT = 2"),
             QStringList{"50%1 DAVILA %3"});

    // Another route: the steps are laid out again, a phase the register lacks without a description.
    Abre("000001");
    driver->Type("EdtRoteiro", "R2");
    driver->Click("BtnIncluir");
    Equilibrio("outro roteiro");
    QCOMPARE(RowsSeenByOthers(passos).join(';'),
             QStringLiteral(
                 "000001|T1|1|09|<nulo>|1|P7|N|<nulo>|<nulo>;000001|T2|2|09|<nulo>|1|P7|N|<nulo>|<nulo>"));
}

// Invoiced, concluded, consumption written off: told in that order, nothing deleted. A sheet opens with the
// phase of its first open step, CONCLUIDO when none is open, PROGRAMACAO without steps.
void TstCadFal::exclusaoRecusadaEAberturaComSituacao() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "40");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    const auto abre = [this](const QString& situacao) {
        Abre("000009"); // the number typed again would not read the sheet again
        Abre("000001");
        QCOMPARE(driver->Text("EdtSituacao"), situacao);
    };
    abre("PREPARO");
    Sql("UPDATE PROCESSO_TIN SET CONCLUIDO = 'S' WHERE FASE = '01'");
    Sql("INSERT INTO TNG_CONSUMOS (FAL, CODIGO, ORDEM, BAIXADO) VALUES ('000001', 'Q9', 1, 'S')");
    Sql("INSERT INTO NOTAITEN (FATURA, PEDIDO) VALUES (1, '000001')");
    Commit();
    abre("TINGIMENTO");
    for (const char* texto :
         {"FAL já faturada. Impossível excluir.", "FAL com Processo já concluído. Impossível excluir.",
          "Consumo da FAL já baixado. Impossível excluir."}) {
        driver->Click("BtnExclui");
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8(texto)});
        messages.Clear();
        QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM FAL").join(';'), QStringLiteral("1"));
        Sql(QString::fromUtf8(texto).startsWith("FAL já")    ? "DELETE FROM NOTAITEN"
            : QString::fromUtf8(texto).startsWith("FAL com") ? "UPDATE PROCESSO_TIN SET CONCLUIDO = 'N'"
                                                             : "DELETE FROM TNG_CONSUMOS");
        Commit();
    }
    Sql("UPDATE PROCESSO_TIN SET CONCLUIDO = 'S'");
    Commit();
    abre("CONCLUIDO");
    Sql("DELETE FROM PROCESSO_TIN");
    Sql("UPDATE FAL_ITEN SET FATURADO = 'S'");
    Commit();
    abre("PROGRAMACAO");
    QCOMPARE(messages.Texts(), QStringList{"FAL já baixada. Disponível apenas para consulta."});
    QVERIFY(!driver->Enabled("BtnIncluir"));
}

// The consult reads a page, the next when the list is scrolled to its end: the rows of the whole statement,
// in number order, none twice; a new consult starts again.
void TstCadFal::consultaLidaPorPaginas() {
    Base();
    Sql("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 1100) DO BEGIN INSERT INTO FAL (NUMERO, "
        "CLIENTE, DATA_INI) VALUES (LPAD(2 * :I + 1, 7, '0'), IIF(MOD(:I, 3) = 0, 'C2', 'C1'), "
        "'2026-11-10'); "
        "I = I + 1; END END");
    Commit();
    driver->Page("PageControl1", "Consulta");
    driver->Get<QDateEdit>("EdtConsDataIni")->setDate(QDate(2026, 11, 1));
    driver->Get<QDateEdit>("EdtConsDataFin")->setDate(QDate(2026, 11, 30));
    driver->Type("EdtConsCliente", "C1");
    driver->Click("BitBtn5");
    QCOMPARE(driver->Rows("DBGrid2"), 500);
    const auto numeros = [this] {
        QStringList lidos;
        for (int linha = 0; linha < driver->Rows("DBGrid2"); ++linha) {
            driver->Row("DBGrid2", linha);
            lidos << driver->Value("DBGrid2", "NUMERO");
        }
        return lidos;
    };
    for (int paginas = 2; paginas <= 3; ++paginas) {
        driver->Press("Ctrl+End", "DBGrid2");
        ProcessEvents();
        QCOMPARE(driver->Rows("DBGrid2"), qMin(paginas * 500, 733));
    }
    QCOMPARE(numeros(), RowsSeenByOthers("SELECT NUMERO FROM FAL WHERE CLIENTE = 'C1' ORDER BY NUMERO"));
    driver->Press("Ctrl+End", "DBGrid2");
    ProcessEvents();
    QCOMPARE(driver->Rows("DBGrid2"), 733);
    driver->Type("EdtConsCliente", "");
    driver->Click("BitBtn5");
    QCOMPARE(driver->Rows("DBGrid2"), 500);
    QCOMPARE(driver->Value("DBGrid2", "NUMERO"), QStringLiteral("0000001"));
}

// All pieces of a row take its very weight (6.2 kg of 3 pieces: no residue of 3 × 6.2 ÷ 3), part of them
// their share; the weight held of the invoice goes with the weight, the invoice itself does not move, and
// deleting either sheet afterwards gives back exactly what it holds.
void TstCadFal::desmembraPesosExatosEDevolveAoExcluir() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "6,2");
    driver->Cell("DBGrid1", "Rolo", "3");
    Linha(1, "T2", "30");
    driver->Cell("DBGrid1", "Rolo", "3");
    driver->Type("EdtPartida", "P1");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    Sql("UPDATE FAL SET STATUS = 'B', DATA_FIN = '2031-02-03' WHERE NUMERO = '000001'");
    Sql("UPDATE PROCESSO_TIN SET PENDENTE = 'S' WHERE FASE = '01'");
    Commit();
    const QString passosDaOrigem = "SELECT CODIGO, FASE, CONCLUIDO, PENDENTE, RDB$RECORD_VERSION FROM "
                                   "PROCESSO_TIN WHERE FAL = '000001' ORDER BY CODIGO, FASE";
    const QStringList passosAntes = RowsSeenByOthers(passosDaOrigem);
    QCOMPARE(passosAntes.size(), 4);

    Abre("000001");
    Desmembra({"3", "1", "000050"});
    QCOMPARE(messages.Texts(), QStringList{"Processo concluído."});
    QCOMPARE(messages.shown.at(0).text, QStringLiteral("T1 -       Peças:"));
    QCOMPARE(messages.shown.at(2).text, QStringLiteral("Nova FAL:"));
    messages.Clear();
    Equilibrio("desmembrada");
    QCOMPARE(Livre(), QStringLiteral("93.8;20"));
    QCOMPARE(driver->Text("EdtFal"), QString());
    QCOMPARE(
        RowsSeenByOthers("SELECT FAL, ORD_IT, CODIGO, ROLO, PESO, PESO_NF, FATURADO FROM FAL_ITEN ORDER BY "
                         "FAL, ORD_IT")
            .join(';'),
        QStringLiteral("000001|1|T1|0|0|0|A;000001|2|T2|2|20|20|A;000050|1|T1|3|6.2|6.2|A;000050|2|T2|1|10|"
                       "10|A"));
    // Exactly, not within a tolerance: the source keeps 0 and the two add up to the row's weight.
    QCOMPARE(
        RowsSeenByOthers("SELECT COUNT(*) FROM FAL_ITEN WHERE (ORD_IT = 1 AND FAL = '000001' AND PESO = 0 "
                         "AND PESO_NF = 0) OR (ORD_IT = 1 AND FAL = '000050' AND PESO = 6.2 AND PESO_NF = "
                         "6.2)")
            .join(';'),
        QStringLiteral("2"));
    QCOMPARE(
        RowsSeenByOthers("SELECT SUM(PESO) - 30, SUM(PESO_NF) - 30 FROM FAL_ITEN WHERE ORD_IT = 2").join(';'),
        QStringLiteral("0|0"));
    // The new sheet: the screen's header, entered today, delivery and status of the source, sequence 0.
    QCOMPARE(RowsSeenByOthers("SELECT CLIENTE, ROTEIRO, PARTIDA, DATA_INI, DATA_FIN, STATUS, ORDEM FROM FAL "
                              "WHERE NUMERO = '000050'")
                 .join(';'),
             QStringLiteral("C1|R1|P1|%1|03/02/2031|B|0").arg(QDate::currentDate().toString("dd/MM/yyyy")));
    QCOMPARE(
        RowsSeenByOthers("SELECT CODIGO, FASE, PARTIDA, CONCLUIDO FROM PROCESSO_TIN WHERE FAL = '000050' "
                         "ORDER BY ORDEM, CODIGO")
            .join(';'),
        QStringLiteral("T1|01|P1|N;T2|01|P1|N;T1|03|P1|N;T2|03|P1|N"));
    QCOMPARE(RowsSeenByOthers(passosDaOrigem), passosAntes);
    QCOMPARE(RowsSeenByOthers("SELECT TEXTO FROM LOG WHERE TEXTO STARTING 'DESMEMBRAMENTO'"),
             QStringList{"DESMEMBRAMENTO DA FAL 000001 PARA A FAL 000050"});

    Abre("000050");
    messages.questions.enqueue(true);
    driver->Click("BtnExclui");
    Equilibrio("nova excluida");
    QCOMPARE(Livre(), QStringLiteral("100;30"));
    Abre("000001");
    messages.questions.enqueue(true);
    driver->Click("BtnExclui");
    Equilibrio("origem excluida");
    QCOMPARE(Livre(), QStringLiteral("100;50"));
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM FAL_ITEN").join(';'), QStringLiteral("0"));
}

// A part leaves the source a weight that text would not hold exactly; the rest moved later still leaves it 0,
// and the three add up to the row's weight.
void TstCadFal::desmembraDuasVezesSemResiduo() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "30");
    driver->Cell("DBGrid1", "Rolo", "7");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    Abre("000001");
    Desmembra({"2", "000002"});
    QCOMPARE(messages.Texts(), QStringList{"Processo concluído."});
    messages.Clear();
    const QString resto = "CAST(30 AS DOUBLE PRECISION) - CAST(8.571 AS DOUBLE PRECISION)";
    QCOMPARE(RowsSeenByOthers(
                 "SELECT FAL FROM FAL_ITEN WHERE (FAL = '000001' AND PESO = " + resto +
                 " AND PESO_NF = PESO AND ROLO = 5) OR (FAL = '000002' AND PESO = 8.571 AND PESO_NF = "
                 "8.571 AND ROLO = 2) ORDER BY FAL")
                 .join(';'),
             QStringLiteral("000001;000002"));
    Abre("000002");
    driver->Type("EdtFal", "000001"); // not left: the letter splits the sheet typed
    Desmembra({"5", "000003"}, true);
    QCOMPARE(messages.Texts(), QStringList{"Processo concluído."});
    messages.Clear();
    Equilibrio("desmembrada duas vezes");
    QCOMPARE(RowsSeenByOthers("SELECT FAL, ROLO FROM FAL_ITEN WHERE PESO = 0 AND PESO_NF = 0").join(';'),
             QStringLiteral("000001|0"));
    QCOMPARE(
        RowsSeenByOthers("SELECT FAL FROM FAL_ITEN WHERE PESO = " + resto + " AND PESO_NF = PESO").join(';'),
        QStringLiteral("000003"));
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM FAL_ITEN HAVING ABS(SUM(PESO) - 30) < 1E-9 AND "
                              "ABS(SUM(PESO_NF) - 30) < 1E-9")
                 .join(';'),
             QStringLiteral("3"));
    QCOMPARE(Livre(), QStringLiteral("70;50"));
}

// Nothing at all for every row, more pieces than the row has, a cancelled box, a blank, long or stored new
// number, and a failure after the new sheet was written: nothing written, the source stays on the screen.
void TstCadFal::desmembraRecusadoNadaGravado() {
    Base();
    Sql("INSERT INTO FAL (NUMERO, CLIENTE, TIPO) VALUES ('000009', 'C1', 4)");
    Sql("CREATE EXCEPTION E_TESTE 'falha forcada'");
    Sql("CREATE TRIGGER T_FALHA FOR PROCESSO_TIN BEFORE INSERT AS BEGIN IF (NEW.FAL = '000077') THEN "
        "EXCEPTION E_TESTE; END");
    Commit();
    Cabecalho("000001");
    Linha(0, "T1", "30");
    driver->Cell("DBGrid1", "Rolo", "3");
    Linha(1, "T2", "10");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    const QString antes = Estado();
    const struct {
        QVariantList respostas;
        const char* mensagem;
        int caixas;
    } casos[] = {
        {{"0", "0"}, "", 2},
        {{"-1", "abc"}, "", 2},
        {{"0", "3"}, "Número de peças inválido. Impossível continuar.", 2},
        {{QVariant()}, "", 1},
        {{"1", "0", QVariant()}, "", 3},
        {{"1", "0", "  "}, "Número da nova FAL não informado. Impossível continuar.", 3},
        {{"1", "0", "12345678"}, "Número da nova FAL com mais de 7 caracteres. Impossível continuar.", 3},
        {{"1", "0", "000009"}, "FAL 000009 já cadastrada. Impossível continuar.", 3},
        {{"3", "2", "000001"}, "FAL 000001 já cadastrada. Impossível continuar.", 3},
    };
    for (const auto& caso : casos) {
        QStringList respostas;
        for (const QVariant& resposta : caso.respostas)
            respostas << (resposta.isNull() ? QStringLiteral("<cancela>") : resposta.toString());
        const QString rotulo = respostas.join('/');
        Abre("000001");
        Desmembra(caso.respostas);
        QVERIFY2(messages.Texts() ==
                     (*caso.mensagem ? QStringList{QString::fromUtf8(caso.mensagem)} : QStringList()),
                 qPrintable(rotulo + ": " + messages.Texts().join('|')));
        QVERIFY2(Perguntas("input") == caso.caixas, qPrintable(rotulo));
        messages.Clear();
        QCOMPARE(driver->Text("EdtFal"), QStringLiteral("000001"));
        QCOMPARE(Estado(), antes);
    }
    // The last statement of the split fails: the new sheet and the pieces it took are undone.
    Abre("000001");
    Desmembra({"1", "2", "000077"});
    QCOMPARE(messages.shown.size(), 4);
    QVERIFY2(messages.LastText().contains("falha forcada"), qPrintable(messages.LastText()));
    messages.Clear();
    QCOMPARE(Estado(), antes);
    QVERIFY(Desequilibrios().isEmpty());
    QCOMPARE(driver->Text("EdtFal"), QStringLiteral("000001"));
}

// A sheet whose grid differs from what is stored is saved first, or the split does not start.
void TstCadFal::desmembraPedeGravarAntes() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "40");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    const QString pergunta = "FAL com alterações não gravadas. Deseja gravar antes de desmembrar?";
    Abre("000001");
    driver->Cell("DBGrid1", "Peso", "50");
    messages.questions.enqueue(false);
    Desmembra({});
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.at(0).text, pergunta);
    messages.Clear();
    QCOMPARE(RowsSeenByOthers("SELECT FAL, PESO FROM FAL_ITEN").join(';'), QStringLiteral("000001|40"));
    // Yes: saved, then split from what was stored.
    messages.questions.enqueue(true);
    Desmembra({"5", "000060"});
    QCOMPARE(messages.Texts(), QStringList{"Processo concluído."});
    messages.Clear();
    Equilibrio("gravada e desmembrada");
    QCOMPARE(Livre(), QStringLiteral("50;50"));
    QCOMPARE(RowsSeenByOthers("SELECT FAL, ROLO, PESO, PESO_NF FROM FAL_ITEN ORDER BY FAL").join(';'),
             QStringLiteral("000001|0|0|0;000060|5|50|50"));
    // Another customer on the screen, or a sheet never stored, is not what is stored either.
    Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('C2', 'MALHARIA DOIS')");
    Commit();
    Abre("000060");
    driver->Type("EdtCodCli", "C2");
    messages.questions.enqueue(false);
    Desmembra({});
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.at(0).text, pergunta);
    messages.Clear();
    Cabecalho("000002");
    Linha(0, "T2", "10");
    messages.questions.enqueue(false);
    Desmembra({});
    QCOMPARE(messages.shown.size(), 1);
    messages.Clear();
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM FAL").join(';'), QStringLiteral("2"));
    Equilibrio("nada mais");
}

// A copy starts holding nothing: its rows show the invoice's free weight and may take only that.
void TstCadFal::duplicaTomaSoOPesoLivre() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "60");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    Abre("000001");
    QCOMPARE(driver->Value("DBGrid1", "Disp"), QStringLiteral("100"));
    driver->Click("BitBtn8");
    const QString copia = driver->Text("EdtFal");
    QVERIFY(!copia.isEmpty() && copia != QLatin1String("000001"));
    QCOMPARE(driver->Value("DBGrid1", "Disp"), QStringLiteral("40"));
    QCOMPARE(driver->Value("DBGrid1", "Peso"), QStringLiteral("60"));
    driver->Click("BtnIncluir");
    QCOMPARE(messages.Texts(), QStringList{"Peso Programado maior que disponível."});
    messages.Clear();
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM FAL").join(';'), QStringLiteral("1"));
    QVERIFY(Desequilibrios().isEmpty());
    QCOMPARE(Livre(), QStringLiteral("40;50"));
    driver->Cell("DBGrid1", "Peso", "40");
    driver->Click("BtnIncluir");
    Equilibrio("copia gravada");
    QCOMPARE(Livre(), QStringLiteral("0;50"));
    QCOMPARE(RowsSeenByOthers("SELECT FAL, PESO, PESO_NF FROM FAL_ITEN ORDER BY FAL").join(';'),
             QStringLiteral("000001|60|60;%1|40|40").arg(copia));
    Abre(copia);
    messages.questions.enqueue(true);
    driver->Click("BtnExclui");
    Equilibrio("copia excluida");
    QCOMPARE(Livre(), QStringLiteral("40;50"));
}

// Items from the product register: a copy beyond the free weight asks before it overdraws the invoice.
void TstCadFal::duplicaEmModoProdutoPergunta() {
    Base("S");
    Sql("INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('T1', 'MEIA MALHA')");
    Commit();
    Cabecalho("000001");
    Linha(0, "T1", "60");
    driver->Cell("DBGrid1", "Lote", "L1");
    driver->Click("BtnIncluir");
    Equilibrio("gravada");
    Abre("000001");
    driver->Click("BitBtn8");
    messages.questions.enqueue(false);
    driver->Click("BtnIncluir");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.at(0).text,
             QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Deseja continuar?"));
    messages.Clear();
    QCOMPARE(RowsSeenByOthers("SELECT COUNT(*) FROM FAL").join(';'), QStringLiteral("1"));
    QCOMPARE(Livre(), QStringLiteral("40;50"));
}

// The reprocess button loads a stored sheet as the model under the number on the screen; its services are
// written with the save, which closes the original and takes no weight a second time, even with none free.
void TstCadFal::reprocessoPeloBotao() {
    Base();
    Cabecalho("000001");
    Linha(0, "T1", "100");
    Linha(1, "T2", "20");
    driver->Click("BtnIncluir");
    Equilibrio("original");
    QCOMPARE(Livre(), QStringLiteral("0;30"));
    Sql("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('000001', '01', 0.5)");
    Sql("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('000001', '03', 1.25)");
    Sql("UPDATE FAL_ITEN SET PESO_FATUR = 5 WHERE FAL = '000001' AND ORD_IT = 1");
    Sql("UPDATE PROCESSO_TIN SET CONCLUIDO = 'S' WHERE FAL = '000001' AND CODIGO = 'T2' AND FASE = '01'");
    Commit();

    Abre("000002");
    driver->Type("EdtReproc", "000002");
    driver->Click("BitBtn9");
    QCOMPARE(messages.Texts(), QStringList{"FAL de reprocesso não pode ser a mesma FAL original."});
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtReproc"));
    messages.Clear();
    driver->Type("EdtReproc", "000008");
    driver->Click("BitBtn9");
    QCOMPARE(messages.Texts(), QStringList{"FAL 000008 não cadastrada."});
    messages.Clear();
    driver->Type("EdtReproc", "000001");
    messages.questions.enqueue(false);
    driver->Click("BitBtn9");
    QCOMPARE(driver->Rows("DBGrid1"), 0);
    messages.Clear();

    messages.questions.enqueue(true);
    messages.questions.enqueue(true);
    driver->Click("BitBtn9");
    QCOMPARE(messages.shown.size(), 2);
    QCOMPARE(messages.shown.at(0).text, QStringLiteral("Tem certeza que deseja gerar Reprocesso dessa FAL?"));
    QCOMPARE(messages.shown.at(1).text,
             QStringLiteral("Deseja aplicar no reprocesso os serviços da FAL original?"));
    messages.Clear();
    QCOMPARE(driver->Text("EdtFal"), QStringLiteral("000002"));
    QCOMPARE(driver->Text("EdtReproc"), QStringLiteral("000001"));
    QCOMPARE(driver->Text("EdtCodCli"), QStringLiteral("C1"));
    QCOMPARE(driver->Get<QDateEdit>("EdtDataIni")->date(), QDate::currentDate());
    QCOMPARE(driver->Rows("DBGrid1"), 2);
    driver->Row("DBGrid1", 0);
    QCOMPARE(driver->Value("DBGrid1", "Peso_Fatur"), QString());
    QCOMPARE(driver->Value("DBGrid1", "Disp"), QStringLiteral("100"));
    // Nothing of the reprocess exists before it is saved.
    QVERIFY(RowsSeenByOthers("SELECT SETOR FROM TABELA WHERE CODIGO = '000002'").isEmpty());

    driver->Click("BtnIncluir");
    Equilibrio("reprocesso gravado");
    QCOMPARE(Livre(), QStringLiteral("0;30"));
    QCOMPARE(RowsSeenByOthers("SELECT NUM_REPROC FROM FAL WHERE NUMERO = '000002'").join(';'),
             QStringLiteral("000001"));
    QCOMPARE(
        RowsSeenByOthers("SELECT CODIGO, PESO, PESO_NF FROM FAL_ITEN WHERE FAL = '000002' ORDER BY ORD_IT")
            .join(';'),
        QStringLiteral("T1|100|0;T2|20|0"));
    QCOMPARE(
        RowsSeenByOthers("SELECT SETOR, PRECO FROM TABELA WHERE CODIGO = '000002' ORDER BY SETOR").join(';'),
        QStringLiteral("01|0.5;03|1.25"));
    QCOMPARE(RowsSeenByOthers("SELECT DISTINCT CONCLUIDO, COALESCE(OBS, '') FROM PROCESSO_TIN WHERE FAL = "
                              "'000001' ORDER BY 2")
                 .join(';'),
             QStringLiteral("S|;S|FAL REPROCESSADA. 000002"));
    QCOMPARE(RowsSeenByOthers("SELECT FATURADO, PESO_DEV FROM FAL_ITEN WHERE FAL = '000001' ORDER BY ORD_IT")
                 .join(';'),
             QStringLiteral("S|100;S|20"));
}

QTEST_MAIN(TstCadFal)
#include "tst_cadfal.moc"
