// The machine rules the programme and recipe issue apply: capacity, bath of a capacity row, residual value.
#include "RegrasMaquina.h"
#include "TestDatabase.h"
#include <QTest>

class TstRegrasMaquina : public DatabaseTestCase {
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
    void residualValueIsFixedPoint();
};

void TstRegrasMaquina::capacityBoundsAreInclusive() {
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

void TstRegrasMaquina::machineWithoutRowsForTheVariantTakesEveryLot() {
    Capacidade(1, "01", "150, 180", "40, 120", "");
    QVERIFY(!CapacidadeValida("01", "01", 100, 500));
    QVERIFY(CapacidadeValida("01", "02", 100, 500)); // rows of another variant do not limit this one
    QVERIFY(CapacidadeValida("02", "01", 0, 99999)); // nor those of another machine
    QVERIFY(CapacidadeValida("01", "O'BR", 1, 1));
}

void TstRegrasMaquina::emptyBoundsReadAsZero() {
    Capacidade(1, "01", "NULL, 180", "40, NULL", ""); // from 0 wide; up to 0 kg
    Capacidade(2, "02", "NULL, NULL", "NULL, NULL", "");
    QVERIFY(!CapacidadeValida("01", "01", 100, 50)); // weight above an upper bound of 0
    QVERIFY(!CapacidadeValida("01", "01", 100, 0));  // nor below its lower bound of 40
    QVERIFY(CapacidadeValida("01", "02", 0, 0));     // both bounds empty: only a lot of 0
    QVERIFY(!CapacidadeValida("01", "02", 150, 80));
    Capacidade(3, "01", "0, 180", "0, 0", "");
    QVERIFY(CapacidadeValida("01", "01", 0, 0)); // the same as a stored 0
}

void TstRegrasMaquina::bathOfTheFirstCapacityRowOfThePair() {
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

void TstRegrasMaquina::residualValueIsFixedPoint() {
    QCOMPARE(ValorZazid("480000", "3500", "120"), QStringLiteral("R$ 60.000,00"));
    QCOMPARE(ValorZazid("1.234,56", "100,5", "2"), QStringLiteral("R$ 1.033,56"));
    QCOMPARE(ValorZazid("0,3", "0,1", "3"), QStringLiteral("R$ 0,00")); // not -0,00 from binary noise
    QCOMPARE(ValorZazid("1000", "600", "2"), QStringLiteral("R$ -200,00"));
    QCOMPARE(ValorZazid("1000", "", "2"), QString());
    QCOMPARE(ValorZazid("1000", "600", " "), QString());
    // As the boxes show numbers: a point groups thousands.
    QCOMPARE(ValorZazid("1.400", "100", "2"), QStringLiteral("R$ 1.200,00"));
}

QTEST_MAIN(TstRegrasMaquina)
#include "tst_regrasmaquina.moc"
