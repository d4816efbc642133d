// A machine's capacity rows as the programme and recipe issue read them: the lots they take, the bath of a
// capacity row.
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
    void capacityBoundsAreInclusive();
    void machineWithoutRowsForTheVariantTakesEveryLot();
    void emptyBoundsReadAsZero();
    void bathOfTheFirstCapacityRowOfThePair();
};

void TstLeiturasMaquina::capacityBoundsAreInclusive() {
    // Decimals a double cannot hold exactly: a single-precision column would miss its own bounds.
    Capacidade(1, "01", "150.3, 180.7", "40.1, 120.9", "");
    Capacidade(2, "01", "200, 230", "300, 400", "");
    for (const auto& [largura, peso] : {std::pair{150.3, 40.1},
                                        {180.7, 120.9},
                                        {150.3, 120.9},
                                        {180.7, 40.1},
                                        {165.0, 80.0},
                                        {200.0, 400.0},
                                        {230.0, 300.0}})
        QVERIFY2(CapacidadeValida("01", "01", largura, peso), qPrintable(QString::number(largura)));
    for (const auto& [largura, peso] : {std::pair{150.29, 40.1},
                                        {180.71, 120.9},
                                        {165.0, 40.09},
                                        {165.0, 120.91},
                                        {165.0, 350.0},
                                        {215.0, 80.0},
                                        {190.0, 200.0}})
        QVERIFY2(!CapacidadeValida("01", "01", largura, peso), qPrintable(QString::number(largura)));
}

void TstLeiturasMaquina::machineWithoutRowsForTheVariantTakesEveryLot() {
    Capacidade(1, "01", "150, 180", "40, 120", "");
    QVERIFY(!CapacidadeValida("01", "01", 100, 500));
    QVERIFY(CapacidadeValida("01", "02", 100, 500)); // rows of another variant do not limit this one
    QVERIFY(CapacidadeValida("02", "01", 0, 99999)); // nor those of another machine
    QVERIFY(CapacidadeValida("01", "O'BR", 1, 1));
}

void TstLeiturasMaquina::emptyBoundsReadAsZero() {
    Capacidade(1, "01", "NULL, 180", "40, NULL", ""); // from 0 wide; up to 0 kg
    Capacidade(2, "02", "NULL, NULL", "NULL, NULL", "");
    QVERIFY(!CapacidadeValida("01", "01", 100, 50)); // weight above an upper bound of 0
    QVERIFY(!CapacidadeValida("01", "01", 100, 0));  // nor below its lower bound of 40
    QVERIFY(CapacidadeValida("01", "02", 0, 0));     // both bounds empty: only a lot of 0
    QVERIFY(!CapacidadeValida("01", "02", 150, 80));
    Capacidade(3, "01", "0, 180", "0, 0", "");
    QVERIFY(CapacidadeValida("01", "01", 0, 0)); // the same as a stored 0
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
