// The lot sheet screen: the invoice balance after every save and delete, concurrent takes, re-save keeping
// what others wrote, atomic saves, machine limits, write-off and release; checked from a second connection.
#include "DBControls.h"
#include "TestDatabase.h"
#include <QTest>

class TstCadFal : public ScreenTestCase {
    Q_OBJECT
    void Commit() { db->Transaction()->CommitRetaining(); }
    void Base(const QString& modo = "N") {
        Sql("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 150, '" + modo + "')");
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
    // The three equalities of the balance, as other users see them; empty when they hold.
    QStringList Desequilibrios() {
        return RowsSeenByOthers("SELECT I.CODIGO FROM NFITIN I WHERE ABS(I.PESO_PROG - COALESCE((SELECT "
                                "SUM(F.PESO_NF) FROM FAL_ITEN F "
                                "JOIN FAL ON FAL.NUMERO = F.FAL WHERE F.NOTA = I.NOTA AND FAL.CLIENTE = "
                                "I.CODCLI AND F.CODIGO = "
                                "I.CODIGO AND F.LOTE = I.LOTE), 0)) > 0.001 OR ABS(I.PESO - (I.PESO_REAL - "
                                "I.PESO_PROG)) > 0.001 OR "
                                "I.PESO < -0.001") +
               RowsSeenByOthers(
                   "SELECT N.NOTA FROM NFTIN N WHERE ABS(N.SALDO - (SELECT SUM(I.PESO) FROM NFITIN I WHERE "
                   "I.NOTA = N.NOTA AND I.CODCLI = N.CLIENTE)) > 0.001");
    }
    QString Livre() { return RowsSeenByOthers("SELECT PESO FROM NFITIN ORDER BY CODIGO").join(';'); }
    void Equilibrio(const char* passo) {
        QVERIFY2(Desequilibrios().isEmpty(), passo);
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

private slots:
    void balancoAposCadaGravacaoEExclusao();
    void reprocessoEDuasLinhasNoMesmoItem();
    void segundaConexaoTomaOPesoLivre();
    void regravacaoMantemColunasDeOutrosEPassosIniciados();
    void falhaNoUltimoPassoNaoMudaNada();
    void limitesDaMaquinaEBaixaELiberacao();
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

void TstCadFal::falhaNoUltimoPassoNaoMudaNada() {
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

QTEST_MAIN(TstCadFal)
#include "tst_cadfal.moc"
