// A machine's capacity rows as the programme and recipe issue read them, and the bath of a capacity row.
#include "LeiturasMaquina.h"
#include "TestDatabase.h"
#include <QTest>

class TstLeiturasMaquina : public DatabaseTestCase {
    Q_OBJECT
    void Capacidade(int sequencia, const QString& variante, const QString& larguras, const QString& pesos,
                    const QString& banho) {
        Sql(QStringLiteral("INSERT INTO MAQ_TIN_CAP VALUES (%1, '01', '%2', %3, %4, '%5')")
                .arg(sequencia)
                .arg(variante, larguras, pesos, banho));
    }

private slots:
    void capacityRowsOfThePair();
    void bathOfTheFirstCapacityRowOfThePair();
};

// Double precision bounds come back as typed; an empty bound is 0; only the pair's rows, by sequence.
void TstLeiturasMaquina::capacityRowsOfThePair() {
    Capacidade(2, "01", "200, 230", "300, 400", "");
    Capacidade(1, "01", "150.3, NULL", "NULL, 120.9", "");
    Capacidade(3, "02", "0, 999", "0, 999", "");
    const QList<FaixaCapacidade> faixas = FaixasCapacidade("01", "01");
    QCOMPARE(faixas.size(), 2);
    QCOMPARE(faixas[0].largDe, 150.3);
    QCOMPARE(faixas[0].largAte, 0.0);
    QCOMPARE(faixas[0].pesoMin, 0.0);
    QCOMPARE(faixas[0].pesoMax, 120.9);
    QCOMPARE(faixas[1].largDe, 200.0);
    QVERIFY(FaixasCapacidade("01", "O'BR").isEmpty());
    QVERIFY(FaixasCapacidade("02", "01").isEmpty());
}

void TstLeiturasMaquina::bathOfTheFirstCapacityRowOfThePair() {
    QCOMPARE(BanhoCapacidade("01", "01", "05"), QStringLiteral("05"));
    Capacidade(3, "01", "0, 999", "0, 999", "");
    Capacidade(2, "01", "0, 999", "0, 999", "03");
    Capacidade(4, "01", "0, 999", "0, 999", "04");
    Capacidade(1, "02", "0, 999", "0, 999", "  ");
    Capacidade(5, "02", "0, 999", "0, 999", "04");
    QCOMPARE(BanhoCapacidade("01", "01", "05"), QStringLiteral("03")); // by sequence, not by insertion
    // The first row of the pair has a blank bath: it replaces nothing, later rows are not consulted.
    QCOMPARE(BanhoCapacidade("01", "02", "05"), QStringLiteral("05"));
    QCOMPARE(BanhoCapacidade("01", "03", ""), QString());
}

QTEST_MAIN(TstLeiturasMaquina)
#include "tst_leiturasmaquina.moc"
