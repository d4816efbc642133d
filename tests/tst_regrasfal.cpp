// Rules of a lot sheet apart from its screen: machine limits, colour prices, the weight an item holds of its
// invoice item, the steps laid out from routes, and the move of weight on an invoice item.
#include "RegrasFal.h"
#include "SaldoNota.h"
#include "TestDatabase.h"
#include <QTest>

class TstRegrasFal : public DatabaseTestCase {
    Q_OBJECT
    void Commit() { db->Transaction()->CommitRetaining(); }

private slots:
    void limitesDaMaquina_data();
    void limitesDaMaquina();
    void precoDaCorPorPrazo();
    void pesoTomadoDaNota_data();
    void pesoTomadoDaNota();
    void passosPorTecidoEFase();
    void movimentoDePesoNaNota();
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
    Sql("INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL) VALUES ('N1', 'C1', 'T1', 'L1', "
        "100, "
        "100)");
    Sql("INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL) VALUES ('N1', 'C1', 'T1', 'L2', "
        "50, 50)");
    Commit();
    auto estado = [this] {
        return RowsSeenByOthers("SELECT I.LOTE, I.PESO_PROG, I.PESO, N.SALDO FROM NFITIN I JOIN NFTIN N ON "
                                "N.NOTA = I.NOTA AND N.CLIENTE = I.CODCLI ORDER BY I.LOTE")
            .join(';');
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
    QCOMPARE(estado(), QStringLiteral("L1|20|80|130;L2|0|50|130"));
}

QTEST_MAIN(TstRegrasFal)
#include "tst_regrasfal.moc"
