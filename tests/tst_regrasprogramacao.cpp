// The programme's small rules as tables: the next item order, the weight of some pieces of an invoice item,
// dye-lot numbers read as numbers and handed out in order, the code lists of the search boxes (a quote inside
// a code included), the distinct lot sheets of the selected rows, late programmes and the fields an import
// never fills.
#include "RegrasProgramacao.h"
#include <QTest>

class TstRegrasProgramacao : public QObject {
    Q_OBJECT

private slots:
    void nextOrder_data();
    void nextOrder();
    void weightOfPieces_data();
    void weightOfPieces();
    void highestDyeLot_data();
    void highestDyeLot();
    void numbersOnlyEmptyDyeLots_data();
    void numbersOnlyEmptyDyeLots();
    void distinctLotSheets_data();
    void distinctLotSheets();
    void lateProgramme_data();
    void lateProgramme();
    void fieldsAnImportNeverFills_data();
    void fieldsAnImportNeverFills();
};

void TstRegrasProgramacao::nextOrder_data() {
    QTest::addColumn<QVariantList>("ordens");
    QTest::addColumn<int>("proxima");
    QTest::newRow("nenhuma") << QVariantList{} << 1;
    QTest::newRow("em sequência") << QVariantList{1, 2, 3} << 4;
    QTest::newRow("com buracos, fora de ordem") << QVariantList{7, 2, 5} << 8;
    QTest::newRow("nulas não contam")
        << QVariantList{QVariant(), 2, QVariant(QMetaType::fromType<int>())} << 3;
    QTest::newRow("texto com espaços") << QVariantList{QStringLiteral(" 9 "), 4} << 10;
    QTest::newRow("texto que não é número")
        << QVariantList{QStringLiteral("x"), QStringLiteral("2,5"), 3} << 4;
    QTest::newRow("só negativas") << QVariantList{-4, -1} << 1;
}

void TstRegrasProgramacao::nextOrder() {
    QFETCH(QVariantList, ordens);
    QTEST(ProximaOrdem(ordens), "proxima");
}

void TstRegrasProgramacao::weightOfPieces_data() {
    QTest::addColumn<int>("rolo");
    QTest::addColumn<double>("pesoReal");
    QTest::addColumn<int>("rolos");
    QTest::addColumn<bool>("temPeso");
    QTest::addColumn<double>("peso");
    QTest::newRow("3 de 10 peças de 250 kg") << 3 << 250.0 << 10 << true << 75.0;
    QTest::newRow("todas as peças") << 10 << 250.0 << 10 << true << 250.0;
    QTest::newRow("uma peça de um item fracionado") << 1 << 100.0 << 3 << true << 100.0 / 3;
    QTest::newRow("mais peças que o item") << 11 << 250.0 << 10 << false << 0.0;
    QTest::newRow("item sem peças") << 3 << 250.0 << 0 << false << 0.0;
    QTest::newRow("nenhuma peça pedida") << 0 << 250.0 << 10 << false << 0.0;
    QTest::newRow("peças negativas") << -2 << 250.0 << 10 << false << 0.0;
}

void TstRegrasProgramacao::weightOfPieces() {
    QFETCH(int, rolo);
    QFETCH(double, pesoReal);
    QFETCH(int, rolos);
    QFETCH(bool, temPeso);
    QFETCH(double, peso);
    const std::optional<double> resultado = PesoDosRolos(rolo, pesoReal, rolos);
    QCOMPARE(resultado.has_value(), temPeso);
    if (temPeso)
        QCOMPARE(*resultado, peso);
}

void TstRegrasProgramacao::highestDyeLot_data() {
    QTest::addColumn<QStringList>("partidas");
    QTest::addColumn<qint64>("maior");
    QTest::newRow("nenhuma") << QStringList{} << qint64(0);
    QTest::newRow("10 depois de 9, não antes") << QStringList{"9", "10"} << qint64(10);
    QTest::newRow("com e sem zeros") << QStringList{"000009", "8", "000007"} << qint64(9);
    QTest::newRow("texto não conta") << QStringList{"ABC", "000012", "Z9"} << qint64(12);
    QTest::newRow("espaços e vazias") << QStringList{" 15 ", "", "  "} << qint64(15);
}

void TstRegrasProgramacao::highestDyeLot() {
    QFETCH(QStringList, partidas);
    QTEST(MaiorPartida(partidas), "maior");
}

void TstRegrasProgramacao::numbersOnlyEmptyDyeLots_data() {
    QTest::addColumn<qint64>("ultima");
    QTest::addColumn<QStringList>("partidas");
    QTest::addColumn<QStringList>("numeros");
    QTest::newRow("vazias em ordem, sem repetir")
        << qint64(9) << QStringList{"", "000005", "", " "} << QStringList{"000010", "", "000011", "000012"};
    QTest::newRow("nenhuma vazia") << qint64(9) << QStringList{"000001", "X"} << QStringList{"", ""};
    QTest::newRow("sem última") << qint64(0) << QStringList{""} << QStringList{"000001"};
    QTest::newRow("nenhuma linha") << qint64(3) << QStringList{} << QStringList{};
}

void TstRegrasProgramacao::numbersOnlyEmptyDyeLots() {
    QFETCH(qint64, ultima);
    QFETCH(QStringList, partidas);
    QTEST(NumeraPartidas(ultima, partidas), "numeros");
}

void TstRegrasProgramacao::distinctLotSheets_data() {
    QTest::addColumn<QStringList>("fals");
    QTest::addColumn<QStringList>("distintas");
    QTest::newRow("nenhuma") << QStringList{} << QStringList{};
    QTest::newRow("duas linhas da mesma e uma sem")
        << QStringList{"0000001", "", "0000001"} << QStringList{"0000001"};
    QTest::newRow("na ordem em que aparecem")
        << QStringList{"0000003", " 0000001 ", "0000003", "0000002", "0000001"}
        << QStringList{"0000003", "0000001", "0000002"};
    QTest::newRow("só em branco") << QStringList{"", "  "} << QStringList{};
}

void TstRegrasProgramacao::distinctLotSheets() {
    QFETCH(QStringList, fals);
    QTEST(FalsDistintas(fals), "distintas");
}

void TstRegrasProgramacao::lateProgramme_data() {
    const QDate hoje(2026, 11, 20);
    QTest::addColumn<QDate>("entrega");
    QTest::addColumn<QDate>("hoje");
    QTest::addColumn<bool>("vencida");
    QTest::newRow("ontem") << hoje.addDays(-1) << hoje << true;
    QTest::newRow("hoje") << hoje << hoje << true;
    QTest::newRow("amanhã") << hoje.addDays(1) << hoje << false;
    QTest::newRow("no ano que vem") << hoje.addYears(1) << hoje << false;
    QTest::newRow("sem data") << QDate() << hoje << false;
}

void TstRegrasProgramacao::lateProgramme() {
    QFETCH(QDate, entrega);
    QFETCH(QDate, hoje);
    QTEST(ProgramacaoVencida(entrega, hoje), "vencida");
}

void TstRegrasProgramacao::fieldsAnImportNeverFills_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<bool>("naoImportado");
    for (const char* campo : {"Fal", "FAL", "Ordem", "ordem", "Gerar", "Imp", " Imp ", "CorAnt", "Codigo_Ant",
                              "LoteOrig", "Ordem_Gravada", "Fluxo_Ant", "LoteNF_Ant"})
        QTest::newRow(campo) << QString::fromLatin1(campo) << true;
    for (const char* campo : {"Codigo", "Peso", "Rolo", "Partida", "Cor", "Lote", "LoteNF", "Observacao",
                              "Regiao", "Falha", "OrdemX"})
        QTest::newRow(campo) << QString::fromLatin1(campo) << false;
}

void TstRegrasProgramacao::fieldsAnImportNeverFills() {
    QFETCH(QString, campo);
    QTEST(CampoNaoImportado(campo), "naoImportado");
}

QTEST_GUILESS_MAIN(TstRegrasProgramacao)
#include "tst_regrasprogramacao.moc"
