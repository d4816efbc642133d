// Rules of a lot sheet apart from its screen: machine limits, colour prices, the weight an item holds of its
// invoice item, the weight of pieces split off, the steps laid out from routes, and the move of weight on an
// invoice item.
#include "RegrasFal.h"
#include "SaldoNota.h"
#include "TestDatabase.h"
#include <QTest>

class TstRegrasFal : public DatabaseTestCase {
    Q_OBJECT

private slots:
    void limitesDaMaquina_data();
    void limitesDaMaquina();
    void precoDaCorPorPrazo();
    void pesoTomadoDaNota_data();
    void pesoTomadoDaNota();
    void pesoPecasMovidas_data();
    void pesoPecasMovidas();
    void pecasDigitadas();
    void passosPorTecidoEFase();
    void movimentoDePesoNaNota();
    void movimentosEmLoteComoUmAUm();
    void valorEmAbertoDeClientePequenoEGrande();
};

void TstRegrasFal::limitesDaMaquina_data() {
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("minimo");
    QTest::addColumn<double>("maximo");
    QTest::addColumn<QString>("mensagem");
    const QString fora = "Peso total da FAL fora do intervalo permitido na máquina.\r";
    QTest::newRow("no minimo") << 100.0 << 100.0 << 500.0 << QString();
    QTest::newRow("no maximo") << 500.0 << 100.0 << 500.0 << QString();
    QTest::newRow("abaixo") << 99.9 << 100.0 << 500.0
                            << fora + "O peso mínimo tem de ser superior ou igual a 100 KG.";
    QTest::newRow("acima") << 500.5 << 100.0 << 500.0
                           << fora + "O peso máximo tem de ser inferior ou igual a 500 KG.";
    QTest::newRow("decimal") << 10.0 << 12.5 << 0.0
                             << fora + "O peso mínimo tem de ser superior ou igual a 12,5 KG.";
    QTest::newRow("sem limites") << 9999.0 << 0.0 << 0.0 << QString();
    QTest::newRow("so maximo") << 0.5 << 0.0 << 300.0 << QString();
}

void TstRegrasFal::limitesDaMaquina() {
    QFETCH(double, total);
    QFETCH(double, minimo);
    QFETCH(double, maximo);
    QFETCH(QString, mensagem);
    QCOMPARE(ForaLimiteMaquina(total, minimo, maximo), mensagem);
}

void TstRegrasFal::precoDaCorPorPrazo() {
    Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, PRECO_07, PRECO_21, LIBERADO) VALUES "
        "('SP', 'AZ', '01', 5.5, 6, NULL, 'S')");
    Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, LIBERADO) VALUES ('SP', 'VM', '01', 7, 'N')");
    Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, CODIGO, PRECO_00) VALUES ('SP', 'PT', '01', 'P1', 9)");
    Commit();
    const struct {
        const char *cor, *prazo;
        double preco;
        const char* verificado;
    } casos[] = {
        {"AZ", "", 5.5, ""},
        {"AZ", "00", 5.5, ""},
        {"AZ", "07", 6, ""},
        {"AZ", "21", 0, "Preço da cor não cadastrado."},
        {"AZ", "28", 0, "Preço da cor não cadastrado."},
        {"AZ", "X'", 0, "Preço da cor não cadastrado."},
        {"VM", "00", 7, "Preço da cor não Liberado."},
        {"PT", "00", 0, "Preço da cor não cadastrado."}, // a product's price is not the colour's
        {"BR", "00", 0, "Preço da cor não cadastrado."},
    };
    for (const auto& caso : casos) {
        const QString rotulo = QStringLiteral("%1/%2").arg(caso.cor, caso.prazo);
        QVERIFY2(qFuzzyCompare(1 + RetornaPreco("SP", caso.cor, "01", caso.prazo), 1 + caso.preco),
                 qPrintable(rotulo));
        QVERIFY2(VerificaPreco("SP", caso.cor, "01", caso.prazo) == QString::fromUtf8(caso.verificado),
                 qPrintable(rotulo));
    }
}

void TstRegrasFal::pesoTomadoDaNota_data() {
    QTest::addColumn<int>("tipo");
    QTest::addColumn<bool>("doReprocessado");
    QTest::addColumn<double>("tomado");
    QTest::newRow("normal") << 1 << false << 40.0;
    QTest::newRow("retingimento") << 2 << false << 0.0;
    QTest::newRow("acerto de cor") << 3 << false << 0.0;
    QTest::newRow("acabamento") << 4 << false << 0.0;
    QTest::newRow("so servico") << 5 << false << 0.0;
    QTest::newRow("reprocesso externo") << 6 << false << 40.0;
    QTest::newRow("normal do mesmo item reprocessado") << 1 << true << 0.0;
    QTest::newRow("externo do mesmo item reprocessado") << 6 << true << 0.0;
}

void TstRegrasFal::pesoTomadoDaNota() {
    QFETCH(int, tipo);
    QFETCH(bool, doReprocessado);
    QFETCH(double, tomado);
    QCOMPARE(PesoTomadoNota(tipo, 40, doReprocessado), tomado);
}

void TstRegrasFal::pesoPecasMovidas_data() {
    QTest::addColumn<int>("pecas");
    QTest::addColumn<int>("pecasLinha");
    QTest::addColumn<double>("peso");
    QTest::addColumn<double>("movido");
    QTest::newRow("todas de 6,2") << 3 << 3 << 6.2 << 6.2;
    QTest::newRow("todas de 0,7 em 7") << 7 << 7 << 0.7 << 0.7;
    QTest::newRow("uma de tres de 30") << 1 << 3 << 30.0 << 10.0;
    QTest::newRow("uma de tres de 6,2") << 1 << 3 << 6.2 << 2.067;
    QTest::newRow("duas de sete de 30") << 2 << 7 << 30.0 << 8.571;
    QTest::newRow("nenhuma") << 0 << 3 << 6.2 << 0.0;
    QTest::newRow("negativa") << -2 << 3 << 6.2 << 0.0;
    QTest::newRow("linha sem pecas") << 1 << 0 << 6.2 << 0.0;
    QTest::newRow("mais que a linha") << 4 << 3 << 6.2 << 6.2;
    QTest::newRow("peso zero") << 1 << 2 << 0.0 << 0.0;
}

// Exactly, not within QCOMPARE's tolerance: what stays behind is the weight less what moved, and all pieces
// leave nothing.
void TstRegrasFal::pesoPecasMovidas() {
    QFETCH(int, pecas);
    QFETCH(int, pecasLinha);
    QFETCH(double, peso);
    QFETCH(double, movido);
    const double calculado = PesoPecasMovidas(pecas, pecasLinha, peso);
    QVERIFY2(calculado == movido, qPrintable(QString::number(calculado, 'g', 17)));
    if (pecas >= pecasLinha && pecasLinha > 0)
        QVERIFY(peso - calculado == 0);
}

void TstRegrasFal::pecasDigitadas() {
    const QList<QPair<QString, int>> casos = {{"3", 3}, {" 12 ", 12}, {"0", 0},   {"-1", -1},
                                              {"", 0},  {"abc", 0},   {"2,5", 0}, {"1.000", 0}};
    for (const auto& [texto, pecas] : casos)
        QVERIFY2(PecasDigitadas(texto) == pecas, qPrintable(texto));
}

void TstRegrasFal::passosPorTecidoEFase() {
    const QHash<QString, QList<PassoRoteiro>> roteiros = {
        {"R1", {{"01", "PREPARO", 1}, {"03", "TINGIMENTO", 2}, {"06", "SECAGEM", 3}}},
        {"R2", {{"03", "TINGIMENTO", 1}, {"09", "RAMA", 4}}},
    };
    auto texto = [](const QList<PassoFal>& passos) {
        QStringList linhas;
        for (const PassoFal& p : passos)
            linhas << QStringLiteral("%1/%2/%3/%4").arg(p.codigo).arg(p.ordIt).arg(p.fase).arg(p.ordem);
        return linhas.join(' ');
    };
    const QList<ItemPasso> itens = {
        {"T1", 1, "R1"}, {"T2", 2, "R2"}, {"T1", 3, "R2"}, {"T3", 4, ""}, {"T4", 5, "R9"}};
    // Route order across fabrics; T1 twice keeps its first route; no route and unknown route lay nothing.
    QCOMPARE(texto(LayoutPassos(itens, roteiros)),
             QStringLiteral("T1/1/01/1 T2/2/03/1 T1/1/03/2 T1/1/06/3 T2/2/09/4"));
    // Started steps stay: only the missing pairs are laid out.
    QCOMPARE(texto(LayoutPassos(itens, roteiros, {ChavePasso("T1", "03"), ChavePasso("T2", "09")})),
             QStringLiteral("T1/1/01/1 T2/2/03/1 T1/1/06/3"));
    QVERIFY(LayoutPassos({}, roteiros).isEmpty());
}

void TstRegrasFal::movimentoDePesoNaNota() {
    Sql("INSERT INTO NFTIN (NOTA, CLIENTE, SALDO) VALUES ('N1', 'C1', 150)");
    Insert("NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL)",
           {"'N1', 'C1', 'T1', 'L1', 100, 100", "'N1', 'C1', 'T1', 'L2', 50, 50"});
    Commit();
    auto estado = [this] {
        return Seen("SELECT I.LOTE, I.PESO_PROG, I.PESO, N.SALDO FROM NFITIN I JOIN NFTIN N ON "
                    "N.NOTA = I.NOTA AND N.CLIENTE = I.CODCLI ORDER BY I.LOTE");
    };
    auto segunda = OpenSecond("kelm-test-segunda");
    const struct {
        const char* lote;
        double peso;
        bool naSegunda;
        const char* esperado;
    } passos[] = {
        {"L1", 30, false, "L1|30|70|120;L2|0|50|120"},
        {"L1", -10, true, "L1|20|80|130;L2|0|50|130"},
        {"L2", 50, false, "L1|20|80|80;L2|50|0|80"},
        {"L2", -50, true, "L1|20|80|130;L2|0|50|130"},
    };
    for (const auto& passo : passos) {
        TZoDatabase* conexao = passo.naSegunda ? segunda.get() : nullptr;
        QVERIFY(MovePesoNota({"N1", "C1", "T1", passo.lote}, passo.peso, conexao));
        (passo.naSegunda ? segunda.get() : db)->Transaction()->CommitRetaining();
        QCOMPARE(estado(), QString::fromUtf8(passo.esperado));
    }
    QCOMPARE(PesoLivreNota({"N1", "C1", "T1", "L1"}), 80.0);
    // Always down to the lot: another lot of the fabric, or none, is not an item.
    QVERIFY(!MovePesoNota({"N1", "C1", "T1", ""}, 5));
    QCOMPARE(PesoLivreNota({"N1", "C1", "T1", ""}), 0.0);
    Commit();
    QCOMPARE(estado(), "L1|20|80|130;L2|0|50|130");
}

// A batch moves every item as MovePesoNota moves it alone: the same balances; an item the invoice lacks moves
// nothing and leaves its invoice's header as it was; a null lot is the empty one, as the engine's unique key
// has it. The free weights read at once are those read one by one.
void TstRegrasFal::movimentosEmLoteComoUmAUm() {
    const auto base = [this] {
        Sql("DELETE FROM NFITIN");
        Sql("DELETE FROM NFTIN");
        Insert("NFTIN (NOTA, CLIENTE, SALDO)", {"'N1', 'C1', 150", "'N2', 'C1', 999", "'N3', 'C1', 999"});
        Insert("NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL)",
               {"'N1', 'C1', 'T1', 'L1', 100, 100", "'N1', 'C1', 'T1', 'L2', 50, 50",
                "'N2', 'C1', 'T2', '', 9, 9", "'N3', 'C1', 'T3', 'L3', 8, 8"});
        Commit();
    };
    const auto estado = [this] {
        return Seen("SELECT I.NOTA, I.LOTE, I.PESO_PROG, I.PESO, N.SALDO FROM NFITIN I JOIN NFTIN N "
                    "ON N.NOTA = I.NOTA AND N.CLIENTE = I.CODCLI ORDER BY I.NOTA, I.LOTE");
    };
    const QHash<ItemNota, double> pesos = {{{"N1", "C1", "T1", "L1"}, 30.5},
                                           {{"N1", "C1", "T1", "L2"}, -10},
                                           {{"N2", "C1", "T2", QString()}, 4},
                                           {{"N3", "C1", "T3", "L9"}, 4}};
    base();
    for (auto it = pesos.cbegin(); it != pesos.cend(); ++it)
        MovePesoNota(it.key(), it.value());
    Commit();
    const QString umAUm = estado();
    QCOMPARE(umAUm, "N1|L1|30.5|69.5|129.5;N1|L2|-10|60|129.5;N2||4|5|5;N3|L3|0|8|999");
    QList<ItemNota> itens = pesos.keys();
    itens << ItemNota{"N9", "C1", "T1", "L1"};
    QHash<ItemNota, double> umaAUma;
    for (const ItemNota& item : itens)
        umaAUma.insert(item, PesoLivreNota(item));
    QCOMPARE(PesosLivresNota(itens), umaAUma);
    base();
    MovePesosNota(pesos);
    Commit();
    QCOMPARE(estado(), umAUm);
}

// The open value is the same whether the customer's sheets are walked (few) or its open items are (a big
// customer): 10 kg at 10.00, 5 kg at the 07 price of 11.00 and 3 kg of a service-only sheet at 10.00;
// invoiced items, finishing sheets and reprocesses do not count, nor the sheet being saved.
void TstRegrasFal::valorEmAbertoDeClientePequenoEGrande() {
    Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, CODIGO, PRECO_00, PRECO_07) VALUES ('01', 'A', '01', "
        "'', "
        "10, 11)");
    for (const char* cliente : {"C1", "C2"}) {
        const QStringList fals = {"1|00||A|10", "1|07||A|5",  "5|00||A|3", "1|00||S|7",
                                  "4|00||A|7",  "1|00|X|A|7", "1|00||A|2"};
        for (int i = 0; i < fals.size(); ++i) {
            const QStringList c = fals[i].split('|');
            const QString numero = QStringLiteral("%1%2").arg(cliente).arg(i, 5, 10, QLatin1Char('0'));
            Sql(QStringLiteral("INSERT INTO FAL (NUMERO, CLIENTE, TIPO, PRAZO, TABPRECO, COR, VARIANTE, "
                               "NUM_REPROC) VALUES ('%1', '%2', %3, '%4', '01', 'A', '01', '%5')")
                    .arg(numero, cliente, c[0], c[1], c[2]));
            Sql(QStringLiteral(
                    "INSERT INTO FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, PESO, FATURADO) VALUES "
                    "('%1', 1, 'N', 'T', '', %2, '%3')")
                    .arg(numero, c[4], c[3]));
        }
    }
    // C2's years: thousands of invoiced sheets.
    Sql("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 5200) DO BEGIN INSERT INTO FAL (NUMERO, "
        "CLIENTE, TIPO, PRAZO, TABPRECO, COR, VARIANTE) VALUES ('V' || LPAD(:I, 6, '0'), 'C2', 1, '00', "
        "'01', "
        "'A', '01'); INSERT INTO FAL_ITEN (FAL, ORD_IT, PESO, FATURADO) VALUES ('V' || LPAD(:I, 6, '0'), 1, "
        "50, "
        "'S'); I = I + 1; END END");
    Commit();
    for (const char* cliente : {"C1", "C2"}) {
        QCOMPARE(ValorAbertoFals(cliente, QStringList()), 100.0 + 55 + 30 + 20);
        QCOMPARE(
            ValorAbertoFals(cliente, {QStringLiteral("%1%2").arg(cliente).arg(6, 5, 10, QLatin1Char('0'))}),
            185.0);
    }
    QCOMPARE(ValorAbertoFals("C9", QStringList()), 0.0);
}

QTEST_MAIN(TstRegrasFal)
#include "tst_regrasfal.moc"
