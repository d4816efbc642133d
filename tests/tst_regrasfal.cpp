// Rules of a lot sheet as tables: machine limits, the age of a colour's price, the weight an item holds of
// its invoice item, the weight of pieces split off, when a step has started, the steps laid out from routes,
// whether work may be taken for a customer.
#include "RegrasCliente.h"
#include "RegrasFal.h"
#include <QTest>

class TstRegrasFal : public QObject {
    Q_OBJECT

private slots:
    void limitesDaMaquina_data();
    void limitesDaMaquina();
    void idadeDoPreco_data();
    void idadeDoPreco();
    void pesoTomadoDaNota_data();
    void pesoTomadoDaNota();
    void pesoPecasMovidas_data();
    void pesoPecasMovidas();
    void pecasDigitadas();
    void passoIniciado_data();
    void passoIniciado();
    void passosPorTecidoEFase();
    void situacaoCliente_data();
    void situacaoCliente();
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
    QTest::newRow("soma no maximo") << 10.2 + 79.4 + 10.4 << 0.0 << 100.0 << QString();
    QTest::newRow("soma no minimo") << 17.9 + 14.2 + 17.9 << 50.0 << 0.0 << QString();
    QTest::newRow("um grama acima") << 300.001 << 0.0 << 300.0
                                    << fora + "O peso máximo tem de ser inferior ou igual a 300 KG.";
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

void TstRegrasFal::idadeDoPreco_data() {
    QTest::addColumn<QDate>("alteracao");
    QTest::addColumn<int>("dias");
    QTest::addColumn<QString>("mensagem");
    const QString antiga =
        "Data da última alteração de preço, 09/03/2026 maior que o limite do dia definido: 5.";
    const QString semData = "Preço da cor sem data de alteração; não há como conferir o limite de 5 dias.";
    QTest::newRow("hoje") << QDate(2026, 3, 15) << 5 << QString();
    QTest::newRow("no limite") << QDate(2026, 3, 10) << 5 << QString();
    QTest::newRow("um dia além") << QDate(2026, 3, 9) << 5 << antiga;
    QTest::newRow("sem data") << QDate() << 5 << semData;
    QTest::newRow("sem data, sem conferência") << QDate() << 0 << QString();
    QTest::newRow("antiga, sem conferência") << QDate(2020, 1, 1) << 0 << QString();
    QTest::newRow("antiga, limite negativo") << QDate(2020, 1, 1) << -1 << QString();
}

void TstRegrasFal::idadeDoPreco() {
    QFETCH(QDate, alteracao);
    QFETCH(int, dias);
    QFETCH(QString, mensagem);
    QCOMPARE(RecusaIdadePreco(alteracao, dias, QDate(2026, 3, 15)), mensagem);
}

void TstRegrasFal::pesoTomadoDaNota_data() {
    QTest::addColumn<int>("tipo");
    QTest::addColumn<bool>("doReprocessado");
    QTest::addColumn<double>("tomado");
    QTest::newRow("normal") << 1 << false << 40.0;
    QTest::newRow("retingimento") << 2 << false << 0.0;
    QTest::newRow("acerto de cor") << 3 << false << 0.0;
    QTest::newRow("acabamento") << 4 << false << 0.0;
    QTest::newRow("so servico") << 5 << false << 40.0;
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

void TstRegrasFal::passoIniciado_data() {
    QTest::addColumn<QString>("concluido");
    QTest::addColumn<QDate>("dataInicio");
    QTest::addColumn<QString>("horaInicio");
    QTest::addColumn<bool>("iniciado");
    QTest::newRow("nunca tocado") << QString() << QDate() << QString() << false;
    QTest::newRow("pendente") << "N" << QDate() << QString() << false;
    QTest::newRow("pendente, hora em branco") << "N" << QDate() << "  " << false;
    QTest::newRow("concluído") << "S" << QDate() << QString() << true;
    QTest::newRow("concluído p/ reprocesso") << "R" << QDate() << QString() << true;
    QTest::newRow("minúscula") << "r" << QDate() << QString() << true;
    QTest::newRow("pendente com data de início") << "N" << QDate(2026, 3, 2) << QString() << true;
    QTest::newRow("pendente com hora de início") << "N" << QDate() << "07:30:00" << true;
    QTest::newRow("nunca concluído com início") << QString() << QDate(2026, 3, 2) << "07:30:00" << true;
}

void TstRegrasFal::passoIniciado() {
    QFETCH(QString, concluido);
    QFETCH(QDate, dataInicio);
    QFETCH(QString, horaInicio);
    QTEST(PassoIniciado(concluido, dataInicio, horaInicio), "iniciado");
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

void TstRegrasFal::situacaoCliente_data() {
    QTest::addColumn<QVariant>("ativo");
    QTest::addColumn<QVariant>("bloqueio");
    QTest::addColumn<QString>("recusa");
    const QVariant nulo(QMetaType::fromType<QString>());
    const QString bloqueado = "Cliente Bloqueado.", inativo = "Cliente Inativo.";
    QTest::newRow("ativo, livre") << QVariant("S") << QVariant("N") << QString();
    QTest::newRow("bloqueado") << QVariant("S") << QVariant("S") << bloqueado;
    QTest::newRow("inativo") << QVariant("N") << QVariant("N") << inativo;
    QTest::newRow("inativo e bloqueado") << QVariant("N") << QVariant("S") << bloqueado;
    QTest::newRow("linha antiga, ambos nulos") << nulo << nulo << QString();
    QTest::newRow("ativo nulo, bloqueado") << nulo << QVariant("S") << bloqueado;
    QTest::newRow("inativo, bloqueio nulo") << QVariant("N") << nulo << inativo;
    QTest::newRow("em branco") << QVariant(" ") << QVariant("") << QString();
}

void TstRegrasFal::situacaoCliente() {
    QFETCH(QVariant, ativo);
    QFETCH(QVariant, bloqueio);
    QTEST(RecusaCliente(ativo, bloqueio), "recusa");
}

QTEST_MAIN(TstRegrasFal)
#include "tst_regrasfal.moc"
