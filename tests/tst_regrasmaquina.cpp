// A machine's residual value, to the cent.
#include "RegrasMaquina.h"
#include <QTest>

class TstRegrasMaquina : public QObject {
    Q_OBJECT

private slots:
    void residualValueIsFixedPoint();
};

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
