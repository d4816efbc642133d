// A lot against a machine's capacity rows, and its residual value to the cent.
#include "RegrasMaquina.h"
#include <QTest>

class TstRegrasMaquina : public QObject {
    Q_OBJECT

private slots:
    void lotAgainstCapacity_data();
    void lotAgainstCapacity();
    void residualValueIsFixedPoint();
};

void TstRegrasMaquina::lotAgainstCapacity_data() {
    QTest::addColumn<QString>("faixas"); // "larg. de-até/peso mín.-máx.;..." in centimetres and kilograms
    QTest::addColumn<double>("largura"); // metres
    QTest::addColumn<double>("peso");
    QTest::addColumn<QString>("fora"); // after the refusal's fixed start; empty: taken
    const QString uma = "150.3-180.7/40.1-120.9", duas = "150-180/40-120;200-230/300-400";
    QTest::newRow("limites de baixo") << uma << 1.503 << 40.1 << "";
    QTest::newRow("limites de cima") << uma << 1.807 << 120.9 << "";
    QTest::newRow("soma no peso máximo") << "150-180/40-100" << 1.6 << 10.2 + 79.4 + 10.4 << "";
    QTest::newRow("soma no peso mínimo") << "150-180/50-100" << 1.6 << 17.9 + 14.2 + 17.9 << "";
    QTest::newRow("metros contra centímetros") << "150-190/40-150" << 1.6 << 100.0 << "";
    QTest::newRow("sem faixas para a variante") << "" << 9.0 << 9999.0 << "";
    QTest::newRow("peso acima") << "150-180/100-300" << 1.6 << 350.0
                                << ": peso 350,00 kg fora de 100,00 a 300,00 kg.";
    QTest::newRow("largura abaixo") << uma << 1.502 << 80.0
                                    << ": largura 1,502 m (150,20 cm) fora de 150,30 a 180,70 cm.";
    QTest::newRow("os dois")
        << "150-180/100-300" << 1.4 << 350.0
        << ": peso 350,00 kg fora de 100,00 a 300,00 kg; largura 1,40 m (140,00 cm) fora "
           "de 150,00 a 180,00 cm.";
    QTest::newRow("peso de nenhuma faixa") << duas << 1.6 << 200.0
                                           << ": peso 200,00 kg fora de 40,00 a 120,00 kg ou de 300,00 a "
                                              "400,00 kg.";
    QTest::newRow("cada um numa faixa")
        << duas << 1.65 << 350.0
        << ": peso 350,00 kg e largura 1,65 m (165,00 cm) não cabem numa mesma faixa: de 150,00 a 180,00 cm "
           "com 40,00 a 120,00 kg ou de 200,00 a 230,00 cm com 300,00 a 400,00 kg.";
    QTest::newRow("limite vazio é zero")
        << "0-180/40-0" << 1.0 << 50.0 << ": peso 50,00 kg fora de 40,00 a 0,00 kg.";
}

void TstRegrasMaquina::lotAgainstCapacity() {
    QFETCH(QString, faixas);
    QFETCH(double, largura);
    QFETCH(double, peso);
    QFETCH(QString, fora);
    QList<FaixaCapacidade> linhas;
    for (const QString& linha : faixas.split(';', Qt::SkipEmptyParts)) {
        const QStringList n = QString(linha).replace('/', '-').split('-');
        linhas << FaixaCapacidade{n[0].toDouble(), n[1].toDouble(), n[2].toDouble(), n[3].toDouble()};
    }
    QCOMPARE(ForaDaCapacidade("01", "02", linhas, largura, peso),
             fora.isEmpty()
                 ? QString()
                 : "Peso ou Largura fora dos parâmetros definidos para a Máquina 01 e Variante 02" + fora);
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
