// The module's pure rules as tables: a lot sheet's (machine limits, price age, weight taken from an invoice,
// pieces split off, steps from routes, the customer's situation), its generation, the programme, invoice
// items, a machine's capacity and the dyeing curve as drawn.
#include "GraficoTingimento.h"
#include "RegrasCliente.h"
#include "RegrasEmissao.h"
#include "RegrasFal.h"
#include "RegrasGeracao.h"
#include "RegrasMaquina.h"
#include "RegrasNota.h"
#include "RegrasProgramacao.h"
#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

namespace {
// "codigo|lote|cor|variante|fluxo|peso" as the programme's row holds it.
ItemGeracao Item(const QString& texto) {
    const QStringList c = texto.split('|');
    ItemGeracao item;
    item.codigo = c.value(0);
    item.lote = c.value(1);
    item.cor = c.value(2, QStringLiteral("AZUL"));
    item.variante = c.value(3, QStringLiteral("01"));
    item.fluxo = c.value(4, QStringLiteral("R1"));
    item.peso = c.value(5, QStringLiteral("10")).toDouble();
    return item;
}

// A curve's steps, "CODE:temperature:minutes:phase;...".
QList<PassoCurva> Passos(const QString& texto) {
    QList<PassoCurva> lista;
    for (const QString& passo : texto.split(';', Qt::SkipEmptyParts)) {
        const QStringList p = passo.split(':');
        lista.append({p[0], p[1].toInt(), p[2].toInt(), p[3]});
    }
    return lista;
}

// The demo's two-phase reactive curve.
const QString kReativo = "A01:30:20:1;S01:60:30:1;P01:60:60:1;L01:40:20:2;E01:95:20:2;F01:40:15:2";
const QString kSomaFibras = QStringLiteral("A soma das Fibras deve ser Zero ou 100.");
const QString kIndiceVariante = QStringLiteral("Esta Variante deve ter percentual de Fibra.");
} // namespace

class TstRegrasModulo : public QObject {
    Q_OBJECT

private slots:
    // ---- a lot sheet
    void limitesDaMaquina_data() {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("minimo");
        QTest::addColumn<double>("maximo");
        QTest::addColumn<QString>("mensagem");
        const QString fora = "Peso total da FAL fora do intervalo permitido na máquina.\r";
        QTest::newRow("no minimo") << 100.0 << 100.0 << 500.0 << QString();
        QTest::newRow("no maximo") << 500.0 << 100.0 << 500.0 << QString();
        QTest::newRow("abaixo") << 99.9 << 100.0 << 500.0
                                << fora + "O peso mínimo tem de ser superior ou igual a 100 KG.";
        QTest::newRow("um grama acima")
            << 500.001 << 100.0 << 500.0 << fora + "O peso máximo tem de ser inferior ou igual a 500 KG.";
        QTest::newRow("decimal") << 10.0 << 12.5 << 0.0
                                 << fora + "O peso mínimo tem de ser superior ou igual a 12,5 KG.";
        QTest::newRow("soma no maximo") << 10.2 + 79.4 + 10.4 << 0.0 << 100.0 << QString();
        QTest::newRow("soma no minimo") << 17.9 + 14.2 + 17.9 << 50.0 << 0.0 << QString();
        QTest::newRow("sem limites") << 9999.0 << 0.0 << 0.0 << QString();
    }
    void limitesDaMaquina() {
        QFETCH(double, total);
        QFETCH(double, minimo);
        QFETCH(double, maximo);
        QTEST(ForaLimiteMaquina(total, minimo, maximo), "mensagem");
    }

    void idadeDoPreco() {
        const QDate hoje(2026, 3, 15);
        QCOMPARE(RecusaIdadePreco(QDate(2026, 3, 10), 5, hoje), QString()); // on the limit
        QCOMPARE(RecusaIdadePreco(QDate(2026, 3, 9), 5, hoje),
                 "Data da última alteração de preço, 09/03/2026 maior que o limite do dia definido: 5.");
        QCOMPARE(RecusaIdadePreco(QDate(), 5, hoje),
                 "Preço da cor sem data de alteração; não há como conferir o limite de 5 dias.");
        for (int dias : {0, -1}) // no limit: nothing checked
            QVERIFY(RecusaIdadePreco(QDate(), dias, hoje).isEmpty() &&
                    RecusaIdadePreco(QDate(2020, 1, 1), dias, hoje).isEmpty());
    }

    // A batch's bath, a line's grams and the substitute of a short material.
    void batchRecipe() {
        const struct {
            double peso, proporcao;
            int casas;
            double minimo, maximo, volume;
        } banhos[] = {{70, 10, 0, 0, 0, 700},     {70, 10, 0, 800, 0, 800},  {70, 10, 0, 0, 600, 600},
                      {70, 10, 0, 800, 600, 600}, {33.333, 3, 2, 0, 0, 100}, {33.333, 3, 0, 0, 0, 100}};
        for (const auto& b : banhos)
            QCOMPARE(VolumeBanho(b.peso, b.proporcao, b.casas, b.minimo, b.maximo), b.volume);
        const struct {
            double q;
            const char *unidade, *fibra;
            double concentracao, f1, f2, gramas;
        } linhas[] = {
            {2, "%", "1", 0, 0, 0, 1800},  {2, "%", "1", 0, 50, 0, 900},   {2, "%", "2", 0, 50, 25, 450},
            {2, "%", "2", 0, 50, 0, 1800}, {3, "GL", "1", 0, 50, 0, 3600}, {2, "KG", "1", 0, 0, 0, 0},
            {2, "%", "1", 50, 0, 0, 900},  {3, "gl", "", 200, 0, 0, 7200},
        };
        for (const auto& l : linhas)
            QCOMPARE(GramasDaLinha(l.q, QLatin1String(l.unidade), QLatin1String(l.fibra), l.concentracao, 90,
                                   1200, l.f1, l.f2),
                     l.gramas);
        QVERIFY(TomaContratipo(1.5, 50, false, 1.0)); // its own need, 0.75 kg, is in stock
        QVERIFY(TomaContratipo(1.5, 50, false, 0.75));
        QVERIFY(!TomaContratipo(1.5, 50, false, 0.7499)); // short too
        QVERIFY(!TomaContratipo(1.5, 120, false, 1.5));
        QVERIFY(TomaContratipo(1.5, 120, true, 0)); // not kept in stock
        QVERIFY(!TomaContratipo(1.5, 0, true, 10)); // no concentration: nothing to take
    }

    void pesoTomadoDaNota() {
        // Kinds 2 to 4 take nothing of the invoice, nor anything made from the same item reprocessed.
        const QList<std::tuple<int, bool, double>> casos = {{1, false, 40}, {2, false, 0},  {3, false, 0},
                                                            {4, false, 0},  {5, false, 40}, {6, false, 40},
                                                            {1, true, 0},   {6, true, 0}};
        for (const auto& [tipo, doReprocessado, tomado] : casos)
            QVERIFY2(PesoTomadoNota(tipo, 40, doReprocessado) == tomado,
                     qPrintable(QStringLiteral("%1 %2").arg(tipo).arg(doReprocessado)));
    }

    void pesoPecasMovidas_data() {
        QTest::addColumn<int>("pecas");
        QTest::addColumn<int>("pecasLinha");
        QTest::addColumn<double>("peso");
        QTest::addColumn<double>("movido");
        QTest::newRow("todas de 6,2") << 3 << 3 << 6.2 << 6.2;
        QTest::newRow("uma de tres de 6,2") << 1 << 3 << 6.2 << 2.067;
        QTest::newRow("duas de sete de 30") << 2 << 7 << 30.0 << 8.571;
        QTest::newRow("nenhuma") << 0 << 3 << 6.2 << 0.0;
        QTest::newRow("negativa") << -2 << 3 << 6.2 << 0.0;
        QTest::newRow("linha sem pecas") << 1 << 0 << 6.2 << 0.0;
        QTest::newRow("mais que a linha") << 4 << 3 << 6.2 << 6.2;
    }
    // Exactly, not within QCOMPARE's tolerance: what stays behind is the weight less what moved, and all
    // pieces leave nothing.
    void pesoPecasMovidas() {
        QFETCH(int, pecas);
        QFETCH(int, pecasLinha);
        QFETCH(double, peso);
        QFETCH(double, movido);
        const double calculado = PesoPecasMovidas(pecas, pecasLinha, peso);
        QVERIFY2(calculado == movido, qPrintable(QString::number(calculado, 'g', 17)));
        if (pecas >= pecasLinha && pecasLinha > 0)
            QVERIFY(peso - calculado == 0);
    }

    void pecasDigitadas() {
        const QList<QPair<QString, int>> casos = {{"3", 3}, {" 12 ", 12}, {"0", 0},   {"-1", -1},
                                                  {"", 0},  {"abc", 0},   {"2,5", 0}, {"1.000", 0}};
        for (const auto& [texto, pecas] : casos)
            QVERIFY2(PecasDigitadas(texto) == pecas, qPrintable(texto));
    }

    void passosPorTecidoEFase() {
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

    // Blocked before inactive; null or blank is neither.
    void situacaoCliente() {
        const QVariant nulo(QMetaType::fromType<QString>()), S("S"), N("N");
        const QString bloqueado = "Cliente Bloqueado.", inativo = "Cliente Inativo.";
        const QList<std::tuple<QVariant, QVariant, QString>> casos = {
            {S, N, {}},       {S, S, bloqueado},    {N, N, inativo},    {N, S, bloqueado},
            {nulo, nulo, {}}, {nulo, S, bloqueado}, {N, nulo, inativo}, {QVariant(" "), QVariant(""), {}}};
        for (const auto& [ativo, bloqueio, recusa] : casos)
            QCOMPARE(RecusaCliente(ativo, bloqueio), recusa);
    }

    // ---- the generation of a lot sheet from the programme
    void fibres_data() {
        QTest::addColumn<int>("fibra1");
        QTest::addColumn<int>("fibra2");
        QTest::addColumn<QString>("indice");
        QTest::addColumn<QString>("recusa");
        const auto caso = [](const char* nome, int fibra1, int fibra2, const char* indice,
                             const QString& recusa) {
            QTest::newRow(nome) << fibra1 << fibra2 << QString(indice) << recusa;
        };
        caso("60/40", 60, 40, "", {});
        caso("100/0", 100, 0, "50", {});
        caso("60/30", 60, 30, "", kSomaFibras);
        caso("60/41", 60, 41, "100", kSomaFibras);
        caso("0/0, índice vazio", 0, 0, "", {});
        caso("0/0, índice 0", 0, 0, "0", {});
        caso("0/0, índice 100", 0, 0, "100", {});
        caso("0/0, índice 100 com espaços", 0, 0, " 100 ", {});
        caso("0/0, índice 100,0", 0, 0, "100,0", {});
        caso("0/0, índice 99,9", 0, 0, "99,9", kIndiceVariante);
        caso("0/0, índice 100,5", 0, 0, "100,5", kIndiceVariante);
        caso("0/0, índice que não é número", 0, 0, "X", kIndiceVariante);
    }
    void fibres() {
        QFETCH(int, fibra1);
        QFETCH(int, fibra2);
        QFETCH(QString, indice);
        QTEST(RecusaFibras(fibra1, fibra2, indice), "recusa");
    }

    void requiredFields_data() {
        QTest::addColumn<QString>("item"); // see Item
        QTest::addColumn<QString>("recusa");
        const QString tecido = "Código do Tecido Inválido.", cor = "Código da Cor Inválido.",
                      peso = "Peso deve ser maior que 0.";
        QTest::newRow("completo") << "T1||AZUL|01|R1|10" << QString();
        QTest::newRow("sem tecido") << "||AZUL|01|R1|10" << tecido;
        QTest::newRow("tecido em branco") << "   ||AZUL|01|R1|10" << tecido;
        QTest::newRow("sem cor") << "T1|||01|R1|10" << cor;
        QTest::newRow("sem variante") << "T1||AZUL||R1|10"
                                      << "Código da Variante Inválido.";
        QTest::newRow("sem fluxo") << "T1||AZUL|01||10"
                                   << "Código do Fluxo Inválido.";
        QTest::newRow("sem peso") << "T1||AZUL|01|R1|0" << peso;
        QTest::newRow("peso negativo") << "T1||AZUL|01|R1|-20" << peso;
        QTest::newRow("sem cor nem fluxo: a cor primeiro") << "T1|||01||10" << cor;
    }
    void requiredFields() {
        QFETCH(QString, item);
        QTEST(RecusaObrigatorios(Item(item)), "recusa");
    }

    void duplicatedItem_data() {
        QTest::addColumn<QStringList>("itens"); // "codigo|lote"
        QTest::addColumn<int>("indice");
        QTest::addColumn<bool>("duplicado");
        QTest::newRow("sozinho") << QStringList{"T1|L1"} << 0 << false;
        QTest::newRow("mesmo tecido e lote") << QStringList{"T1|L1", "T1|L1"} << 1 << true;
        QTest::newRow("o primeiro também") << QStringList{"T1|L1", "T2|L1", "T1|L1"} << 0 << true;
        QTest::newRow("mesmo tecido, outro lote") << QStringList{"T1|L1", "T1|L2"} << 0 << false;
        QTest::newRow("outro tecido, mesmo lote") << QStringList{"T1|L1", "T2|L1"} << 1 << false;
        QTest::newRow("espaços não contam") << QStringList{"T1 |L1", " T1| L1 "} << 0 << true;
        QTest::newRow("sem lote, mesmo tecido") << QStringList{"T1|", "T1|"} << 1 << true;
        QTest::newRow("o repetido é outro") << QStringList{"T1|L1", "T2|L2", "T2|L2"} << 0 << false;
        // the sheet stores the invoice's lot: codigo|lote|nota|lote da nota
        QTest::newRow("mesmo lote da nota") << QStringList{"T1|P1|N1|L9", "T1|P2|N1|L9"} << 0 << true;
        QTest::newRow("lote da nota é o do outro") << QStringList{"T1|L9|N1|", "T1|P2|N1|L9"} << 1 << true;
        QTest::newRow("lotes da nota diferentes") << QStringList{"T1|P1|N1|L8", "T1|P2|N1|L9"} << 0 << false;
    }
    void duplicatedItem() {
        QFETCH(QStringList, itens);
        QFETCH(int, indice);
        QList<ItemGeracao> selecionados;
        for (const QString& item : itens) {
            selecionados << Item(item.section('|', 0, 1));
            selecionados.last().nota = item.section('|', 2, 2);
            selecionados.last().loteNF = item.section('|', 3, 3);
        }
        QTEST(ItemDuplicado(selecionados, indice), "duplicado");
    }

    // 5 when an item is not dyed, else 1.
    void kindOfTheSheet() {
        const QList<std::pair<QStringList, int>> casos = {
            {{"S", "S"}, 1}, {{"", ""}, 1}, {{"S", "N"}, 5}, {{" N "}, 5}, {{}, 1}};
        for (const auto& [tingir, tipo] : casos) {
            QList<ItemGeracao> selecionados;
            for (const QString& marca : tingir) {
                selecionados << Item(QStringLiteral("T%1").arg(selecionados.size()));
                selecionados.last().tingir = marca;
            }
            QVERIFY2(TipoDaGeracao(selecionados) == tipo, qPrintable(tingir.join(',')));
        }
    }

    // Today plus the route's days; none, or fewer, keep the programme's date.
    void delivery() {
        const QDate programa(2026, 12, 10), hoje(2026, 11, 28);
        QCOMPARE(EntregaDaFal(programa, 0, hoje), programa);
        QCOMPARE(EntregaDaFal(programa, -3, hoje), programa);
        QCOMPARE(EntregaDaFal(programa, 5, hoje), QDate(2026, 12, 3));
    }

    // Offered from the fourth decimal up to below 0,1 left over.
    void remainderOffered() {
        const QList<std::tuple<double, double, bool>> casos = {
            {100.0999, 100, true}, {100.0001, 100, true}, {100.1, 100, false},     {80.3, 80.2, false},
            {100, 100, false},     {99.95, 100, false},   {100.00001, 100, false}, {0, 0.05, false}};
        for (const auto& [saldo, peso, oferece] : casos)
            QVERIFY2(OfereceAjuste(saldo, peso) == oferece, qPrintable(QString::number(saldo, 'g', 10)));
    }

    void sheetNumber() {
        for (const char* numero : {"", "12", " 12 ", "12345678"})
            QCOMPARE(RecusaNumeroFal(numero), QStringLiteral("Número da FAL inválido."));
        for (const char* numero : {"123", "  123 ", "000123", "1234567"})
            QCOMPARE(RecusaNumeroFal(numero), QString());
    }

    void invoiceLot() {
        QCOMPARE(LoteDaNota("L2", "L1"), "L2");
        QCOMPARE(LoteDaNota("", "L1"), "L1");
        QCOMPARE(LoteDaNota("   ", " L1 "), "L1");
        QCOMPARE(LoteDaNota("", ""), "");
    }

    // ---- the programme
    void nextOrder() {
        QCOMPARE(ProximaOrdem({}), 1);
        QCOMPARE(ProximaOrdem({7, 2, 5}), 8);
        QCOMPARE(ProximaOrdem({QVariant(), 2, QVariant(QMetaType::fromType<int>())}),
                 3); // nulls do not count
        QCOMPARE(ProximaOrdem({QStringLiteral(" 9 "), 4}), 10);
        QCOMPARE(ProximaOrdem({QStringLiteral("x"), QStringLiteral("2,5"), 3}), 4);
        QCOMPARE(ProximaOrdem({-4, -1}), 1);
    }

    // The weight of some pieces of an item; none when it has not that many.
    void weightOfPieces() {
        QCOMPARE(PesoDosRolos(10, 250, 10).value_or(-1), 250.0);
        QCOMPARE(PesoDosRolos(1, 100, 3).value_or(-1), 100.0 / 3);
        for (const auto& [rolo, rolos] : QList<std::pair<int, int>>{{11, 10}, {3, 0}, {0, 10}, {-2, 10}})
            QVERIFY2(!PesoDosRolos(rolo, 250, rolos),
                     qPrintable(QStringLiteral("%1/%2").arg(rolo).arg(rolos)));
    }

    void highestDyeLot() {
        QCOMPARE(MaiorPartida({}), 0);
        QCOMPARE(MaiorPartida({"9", "10"}), 10); // by number, not as text
        QCOMPARE(MaiorPartida({"000009", "8", "000007"}), 9);
        QCOMPARE(MaiorPartida({"ABC", "000012", "Z9"}), 12);
        QCOMPARE(MaiorPartida({" 15 ", "", "  "}), 15);
    }

    // Empty ones only, in order after the last, none repeated.
    void numbersOnlyEmptyDyeLots() {
        QCOMPARE(NumeraPartidas(9, {"", "000005", "", " "}), (QStringList{"000010", "", "000011", "000012"}));
        QCOMPARE(NumeraPartidas(9, {"000001", "X"}), (QStringList{"", ""}));
        QCOMPARE(NumeraPartidas(0, {""}), QStringList{"000001"});
    }

    // In the order they appear, trimmed; blank ones are none.
    void distinctLotSheets() {
        QCOMPARE(FalsDistintas({}), QStringList());
        QCOMPARE(FalsDistintas({"0000003", " 0000001 ", "0000003", "", "0000002", "0000001", "  "}),
                 (QStringList{"0000003", "0000001", "0000002"}));
    }

    // Due on its day; a programme without a date never is.
    void lateProgramme() {
        const QDate hoje(2026, 11, 20);
        QVERIFY(ProgramacaoVencida(hoje.addDays(-1), hoje) && ProgramacaoVencida(hoje, hoje));
        QVERIFY(!ProgramacaoVencida(hoje.addDays(1), hoje) && !ProgramacaoVencida(QDate(), hoje));
    }

    void fieldsAnImportNeverFills_data() {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<bool>("naoImportado");
        for (const char* campo : {"Fal", "FAL", "Ordem", "ordem", "Gerar", "Imp", " Imp ", "CorAnt",
                                  "Codigo_Ant", "LoteOrig", "Ordem_Gravada", "Fluxo_Ant", "LoteNF_Ant"})
            QTest::newRow(campo) << QString::fromLatin1(campo) << true;
        for (const char* campo : {"Codigo", "Peso", "Rolo", "Partida", "Cor", "Lote", "LoteNF", "Observacao",
                                  "Regiao", "Falha", "OrdemX"})
            QTest::newRow(campo) << QString::fromLatin1(campo) << false;
    }
    void fieldsAnImportNeverFills() {
        QFETCH(QString, campo);
        QTEST(CampoNaoImportado(campo), "naoImportado");
    }

    // ---- incoming invoice items
    void lotOfANewItem() {
        const struct {
            const char *regra, *atual, *emissor, *nota, *serie, *maior;
            bool grupoComLote;
            QSet<QString> naGrade;
            const char* esperado;
        } casos[] = {
            {"S", "", "00012", "123", "1", "000123", true, {}, "000124"},
            {"S", "", "00012", "123", "1", "000123", false, {}, "0"},
            {"S", "L-7", "00012", "123", "1", "000123", false, {}, "L-7"},
            {"N", "", "00012", "123", "1", "000123", true, {}, "0"},
            {"N", "AB1", "00012", "123", "1", "000123", true, {}, "AB1"},
            {"F", "", "12", "345", "A", "000123", true, {}, "12/345A"},
            {"F", "", "00012", "123456", "1", "000123", true, {}, "00012/123456"}, // 13 characters, cut to 12
            {"Z", "", "00012", "123", "1", "000123", true, {}, "000121231"},
            {"Z", "", "00012", "123456789", "001", "000123", true, {}, "000121234567"},
            {"Z", "", "00012", "123", "1", "000123", false, {}, "0"},
        };
        for (const auto& c : casos) {
            const QString lote =
                LotePadrao(c.regra, c.grupoComLote, c.atual, c.emissor, c.nota, c.serie, c.maior, c.naGrade);
            QVERIFY2(lote == QLatin1String(c.esperado),
                     qPrintable(QStringLiteral("%1 %2: %3, not %4").arg(c.regra, c.maior, c.esperado, lote)));
        }
    }

    void nextLotPassesOverTheGrid() {
        const struct {
            const char* maior;
            QSet<QString> naGrade;
            const char* esperado;
        } casos[] = {
            {"000123", {}, "000124"},
            {"000123", {"000124", "000125"}, "000126"},
            {"000123", {"000125", "000200"}, "000124"}, // only the lot that comes next is passed over
            {"099999", {}, "100000"},
            {"", {}, "000001"},
            {"A12345", {}, "000001"}, // not a sequential lot: it never counts
            {"1234567", {}, "000001"},
        };
        for (const auto& c : casos)
            QVERIFY2(ProximoLote(c.maior, c.naGrade) == QLatin1String(c.esperado),
                     qPrintable(QStringLiteral("%1 -> %2, not %3")
                                    .arg(c.maior, c.esperado, ProximoLote(c.maior, c.naGrade))));
    }

    void natureAgainstTheCustomersState() {
        const struct {
            const char *natureza, *ufCliente, *ufEmpresa;
            bool questionada;
        } casos[] = {
            {"1.102", "SP", "SP", false}, {"1.102", "MG", "SP", true},  {"2.102", "SP", "SP", true},
            {"2.102", "MG", "SP", false}, {"5.101", "MG", "SP", false}, {"2.102", "sp", "SP", true},
            {"1.102", "", "SP", false},   {"1.102", "SP", "", false},   {"2.102", "", "", false},
        };
        for (const auto& c : casos)
            QVERIFY2(NaturezaForaDoEstado(c.natureza, c.ufCliente, c.ufEmpresa) == c.questionada,
                     qPrintable(QStringLiteral("%1 %2/%3").arg(c.natureza, c.ufCliente, c.ufEmpresa)));
    }

    // ---- a machine
    void lotAgainstCapacity_data() {
        QTest::addColumn<QString>("faixas"); // "larg. de-até/peso mín.-máx.;..." in centimetres and kilograms
        QTest::addColumn<double>("largura"); // metres
        QTest::addColumn<double>("peso");
        QTest::addColumn<QString>("fora"); // after the refusal's fixed start; empty: taken
        const QString uma = "150.3-180.7/40.1-120.9", duas = "150-180/40-120;200-230/300-400";
        QTest::newRow("limites de baixo") << uma << 1.503 << 40.1 << "";
        QTest::newRow("limites de cima") << uma << 1.807 << 120.9 << "";
        QTest::newRow("soma no peso máximo") << "150-180/40-100" << 1.6 << 10.2 + 79.4 + 10.4 << "";
        QTest::newRow("soma no peso mínimo") << "150-180/50-100" << 1.6 << 17.9 + 14.2 + 17.9 << "";
        QTest::newRow("sem faixas para a variante") << "" << 9.0 << 9999.0 << "";
        QTest::newRow("peso acima") << "150-180/100-300" << 1.6 << 350.0
                                    << ": peso 350,00 kg fora de 100,00 a 300,00 kg.";
        QTest::newRow("largura abaixo")
            << uma << 1.502 << 80.0 << ": largura 1,502 m (150,20 cm) fora de 150,30 a 180,70 cm.";
        QTest::newRow("os dois") << "150-180/100-300" << 1.4 << 350.0
                                 << ": peso 350,00 kg fora de 100,00 a 300,00 kg; largura 1,40 m (140,00 cm) "
                                    "fora de 150,00 a 180,00 cm.";
        QTest::newRow("peso de nenhuma faixa")
            << duas << 1.6 << 200.0 << ": peso 200,00 kg fora de 40,00 a 120,00 kg ou de 300,00 a 400,00 kg.";
        QTest::newRow("cada um numa faixa")
            << duas << 1.65 << 350.0
            << ": peso 350,00 kg e largura 1,65 m (165,00 cm) não cabem numa mesma faixa: de 150,00 a 180,00 "
               "cm com 40,00 a 120,00 kg ou de 200,00 a 230,00 cm com 300,00 a 400,00 kg.";
        QTest::newRow("limite vazio é zero")
            << "0-180/40-0" << 1.0 << 50.0 << ": peso 50,00 kg fora de 40,00 a 0,00 kg.";
    }
    void lotAgainstCapacity() {
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
                     : "Peso ou Largura fora dos parâmetros definidos para a Máquina 01 e Variante 02" +
                           fora);
    }

    void residualValueIsFixedPoint() {
        QCOMPARE(ValorZazid("480000", "3500", "120"), QStringLiteral("R$ 60.000,00"));
        QCOMPARE(ValorZazid("1.234,56", "100,5", "2"), QStringLiteral("R$ 1.033,56"));
        QCOMPARE(ValorZazid("0,3", "0,1", "3"), QStringLiteral("R$ 0,00")); // not -0,00 from binary noise
        QCOMPARE(ValorZazid("1000", "600", "2"), QStringLiteral("R$ -200,00"));
        QCOMPARE(ValorZazid("1000", "", "2"), QString());
        QCOMPARE(ValorZazid("1000", "600", " "), QString());
        // As the boxes show numbers: a point groups thousands.
        QCOMPARE(ValorZazid("1.400", "100", "2"), QStringLiteral("R$ 1.200,00"));
    }

    // ---- the dyeing curve
    void temposTotais_data() {
        QTest::addColumn<QString>("passos");
        QTest::addColumn<QList<int>>("totais");
        QTest::newRow("nenhum passo") << "" << QList<int>{};
        QTest::newRow("tres passos") << "A:1:30:1;B:1:45:1;C:1:20:1" << QList<int>{30, 75, 95};
        QTest::newRow("passos sem tempo") << "A:1:0:1;B:1:10:1;C:1:0:1" << QList<int>{0, 10, 10};
        // Phase 2 goes on from where phase 1 ended.
        QTest::newRow("duas fases") << kReativo << QList<int>{20, 50, 110, 130, 150, 165};
    }
    void temposTotais() {
        QFETCH(QString, passos);
        QTEST(TemposTotais(Passos(passos)), "totais");
    }

    void pontosFase_data() {
        QTest::addColumn<QString>("passos");
        QTest::addColumn<QString>("fase");
        QTest::addColumn<QString>("pontos"); // "minutes/temperature/label;..."
        const auto linha = [](const char* nome, const QString& passos, const char* fase, const char* pontos) {
            QTest::newRow(nome) << passos << QString(fase) << QString(pontos);
        };
        linha("nenhum passo", "", "1", "");
        linha("fase sem passos", "P01:130:45:1", "2", "");
        linha("sem extensao", "A01:80:0:1;B01:90:0:1", "1", "0/80/A01;0/90/B01");
        linha("mesma temperatura", "A01:60:10:1;B01:60:10:1", "1", "10/60/A01;20/60/B01");
        linha("fase 1", kReativo, "1", "20/30/A01;50/60/S01;110/60/P01");
        linha("fase 2 segue a 1", kReativo, "2", "130/40/L01;150/95/E01;165/40/F01");
        linha("codigos aparados", "A1 :50:5:2 ", "2", "5/50/A1");
    }
    void pontosFase() {
        QFETCH(QString, passos);
        QFETCH(QString, fase);
        QStringList texto;
        for (const PontoCurva& p : PontosFase(Passos(passos), fase))
            texto << QStringLiteral("%1/%2/%3").arg(p.minutos).arg(p.temperatura).arg(p.rotulo);
        QTEST(texto.join(';'), "pontos");
    }

    void eixosFase_data() {
        QTest::addColumn<QString>("passos");
        QTest::addColumn<QString>("fase");
        QTest::addColumn<QList<double>>("minutos");     // from, to, step
        QTest::addColumn<QList<double>>("temperatura"); // from, to, step
        const auto linha = [](const char* nome, const QString& passos, const char* fase,
                              const QList<double>& minutos, const QList<double>& temperatura) {
            QTest::newRow(nome) << passos << QString(fase) << minutos << temperatura;
        };
        linha("nenhum passo", "", "1", {0, 60, 10}, {0, 100, 20});
        // 45 minutes in at most 8 marks: by tens. 60 degrees and 10 for the label: by tens.
        linha("um passo", "P01:60:45:1", "1", {0, 50, 10}, {0, 70, 10});
        // No time passes: the range still spans a step.
        linha("sem extensao", "A01:80:0:1;B01:80:0:1", "1", {0, 5, 5}, {0, 100, 20});
        linha("fase 2 do seu inicio", kReativo, "2", {110, 170, 10}, {0, 120, 20});
        linha("fase 1", kReativo, "1", {0, 120, 15}, {0, 70, 10});
        linha("dez horas", "A:130:600:1", "1", {0, 600, 120}, {0, 140, 20});
        linha("abaixo de zero", "A:-15:10:1", "1", {0, 10, 5}, {-20, 0, 10});
    }
    void eixosFase() {
        QFETCH(QString, passos);
        QFETCH(QString, fase);
        QFETCH(QList<double>, minutos);
        QFETCH(QList<double>, temperatura);
        const EixosCurva e = EixosFase(PontosFase(Passos(passos), fase));
        QCOMPARE((QList<double>{e.minutosDe, e.minutosAte, e.minutosPasso}), minutos);
        QCOMPARE((QList<double>{e.temperaturaDe, e.temperaturaAte, e.temperaturaPasso}), temperatura);
    }

    // The text typed, its minutes (-1 when invalid) and the text the registry stores for them.
    void tempoDaCurva_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("minutos");
        QTest::addColumn<QString>("gravado");
        QTest::newRow("horas e minutos") << "04:30" << 270 << "04:30";
        QTest::newRow("hora de um digito") << "4:30" << 270 << "04:30";
        QTest::newRow("cem horas") << "100:00" << 6000 << "100:00";
        QTest::newRow("espacos") << " 01:05 " << 65 << "01:05";
        QTest::newRow("zero") << "0:00" << 0 << "00:00";
        QTest::newRow("minutos demais") << "04:60" << -1 << "";
        QTest::newRow("sem dois pontos") << "0430" << -1 << "";
        QTest::newRow("vazio") << "" << -1 << "";
        QTest::newRow("negativo") << "-1:00" << -1 << "";
        QTest::newRow("mil horas") << "1000:00" << -1 << "";
    }
    void tempoDaCurva() {
        QFETCH(QString, texto);
        QFETCH(int, minutos);
        QCOMPARE(MinutosDoTempo(texto), minutos);
        QTEST(TempoDosMinutos(minutos), "gravado");
        QCOMPARE(MinutosDoTempo(TempoDosMinutos(minutos)), minutos); // read back the same way
    }

    void graficoDeUmaFase() {
        QChart grafico;
        for (int vez = 0; vez < 2; ++vez) // filled again, nothing of the first time is left
            MontaGraficoFase(grafico, Passos(kReativo), 2);
        const QList<QAbstractSeries*> series = grafico.series();
        QCOMPARE(series.size(), 4); // the line, and a labelled point per step
        auto* linha = qobject_cast<QLineSeries*>(series[0]);
        QVERIFY(linha);
        QCOMPARE(linha->points(), (QList<QPointF>{{130, 40}, {150, 95}, {165, 40}}));
        QStringList rotulos;
        for (int i = 1; i < series.size(); ++i) {
            auto* ponto = qobject_cast<QScatterSeries*>(series[i]);
            QVERIFY(ponto && ponto->pointLabelsVisible());
            QCOMPARE(ponto->points(), QList<QPointF>{linha->points()[i - 1]});
            rotulos << ponto->pointLabelsFormat();
        }
        QCOMPARE(rotulos, (QStringList{"L01", "E01", "F01"}));
        auto* tempo = qobject_cast<QValueAxis*>(grafico.axes(Qt::Horizontal).value(0));
        QVERIFY(tempo);
        QCOMPARE(grafico.axes().size(), 2); // not piled up by the second fill
        QCOMPARE((QList<double>{tempo->min(), tempo->max()}), (QList<double>{110, 170}));

        MontaGraficoFase(grafico, {}, 1); // no steps: axes, an empty line
        QCOMPARE(grafico.series().size(), 1);
        QCOMPARE(qobject_cast<QLineSeries*>(grafico.series()[0])->count(), 0);
    }

    void figuraDaCurva() {
        const QTemporaryDir pasta;
        const QString arquivo = pasta.filePath("dados/grafico.jpeg"); // the folder is made
        QVERIFY(GravaFiguraCurva(Passos(kReativo), arquivo));
        const QImage figura(arquivo);
        QVERIFY(!figura.isNull());
        // Both phases drawn: the red line of phase 1 in the upper half, the blue of phase 2 in the lower.
        auto tem = [&](int de, int ate, auto cor) {
            for (int y = de; y < ate; ++y)
                for (int x = 0; x < figura.width(); ++x)
                    if (cor(figura.pixelColor(x, y)))
                        return true;
            return false;
        };
        const auto vermelho = [](const QColor& c) {
            return c.red() > 150 && c.blue() < 90 && c.green() < 90;
        };
        const auto azul = [](const QColor& c) { return c.blue() > 120 && c.red() < 80; };
        QVERIFY(tem(0, figura.height() / 2, vermelho));
        QVERIFY(!tem(figura.height() / 2, figura.height(), vermelho));
        QVERIFY(tem(figura.height() / 2, figura.height(), azul));
        QVERIFY(!GravaFiguraCurva(Passos(kReativo), "/proc/kelm/grafico.jpeg"));
    }
};

QTEST_MAIN(TstRegrasModulo)
#include "tst_regrasmodulo.moc"
