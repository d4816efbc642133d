// The module's pure rules as tables: a lot sheet's (machine limits, price age, weight taken from an invoice,
// pieces split off, steps from routes, the customer's situation), its generation, the programme, invoice
// items, a machine's capacity, the dyeing curve as drawn, the kitchen's weighing and the print pastes'
// dispensing orders and files, the production map's bars and moves, a roll label's bar code and numbers, a
// quotation's prices.
#include "Formatacao.h"
#include "Funcoes.h"
#include "GraficoTingimento.h"
#include "RegrasCliente.h"
#include "RegrasDosagem.h"
#include "RegrasEmissao.h"
#include "RegrasEstampa.h"
#include "RegrasEtiqueta.h"
#include "RegrasFal.h"
#include "RegrasGeracao.h"
#include "RegrasMapa.h"
#include "RegrasMaquina.h"
#include "RegrasNota.h"
#include "RegrasOrcamento.h"
#include "RegrasPesagem.h"
#include "RegrasProducao.h"
#include "RegrasProgramacao.h"
#include "RegrasQuadro.h"
#include "TestLocale.h"
#include <QChart>
#include <QDirIterator>
#include <QImage>
#include <QLineSeries>
#include <QProcess>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QScopeGuard>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <clocale>

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

// Pastes "produto|quadro|ordem|consumo prev.[|linha|consumo|N when not selected]", consumption 1 unless
// given; components "material|ordem|codigo|linha|grams", each with parts per thousand of its position × 10.
QList<PastaDosagem> Pastas(const QString& texto) {
    QList<PastaDosagem> pastas;
    for (const QString& p : texto.split(';', Qt::SkipEmptyParts)) {
        const QStringList c = p.split('|');
        PastaDosagem pasta{c[0], c[1], c.value(4), c[2].toInt(), c.value(5, "1").toDouble(), c[3].toDouble()};
        pasta.selecionada = c.value(6) != u"N";
        pastas << pasta;
    }
    return pastas;
}
QList<ComponenteDosagem> Componentes(const QString& texto) {
    QList<ComponenteDosagem> componentes;
    for (const QString& p : texto.split(';', Qt::SkipEmptyParts)) {
        const QStringList c = p.split('|');
        componentes << ComponenteDosagem{
            c[0], c[1].toInt(), c[2], "Cor " + c[2], c[3], 10.0 * (componentes.size() + 1), c[4].toDouble()};
    }
    return componentes;
}

// The elements of a recipe file, in order, and those holding numbers.
const QStringList kDesData = {"Prio",     "DrumType", "DrumCode",    "CustDrumCode", "OrderCode",
                              "Customer", "Design",   "Screen",      "Variant",      "RecName",
                              "Article",  "LotID",    "Info1",       "ViscoName",    "Taglio-N",
                              "Taglio-D", "Sequence", "SequenceTot", "Series",       "ViscoValue",
                              "UM",       "DosType",  "ServiceType", "RecipeType",   "Note1",
                              "Note2",    "Date",     "DosDuration", "Quantity-kg",  "Quantity-kg-dosed"};
const QStringList kColData = {
    "CompNumber",  "ColourCode", "Description",    "TypComp",         "DosError",        "PartsWeight",
    "PartsPerc",   "Weight-gr",  "Weight-gr-prev", "Weight-gr-dosed", "Weight-gr-total", "Date",
    "DosDuration", "Cost"};
const QStringList kInteiros = {"Sequence", "SequenceTot", "CompNumber"};
const QStringList kDecimais = {"Quantity-kg", "PartsWeight", "PartsPerc", "Weight-gr", "Weight-gr-prev"};

QByteArray Esquema() {
    const auto elemento = [](const QString& nome, const QString& conteudo, const QString& extra = {}) {
        return QStringLiteral("<xs:element name=\"%1\"%2><xs:complexType><xs:sequence>%3</xs:sequence>"
                              "</xs:complexType></xs:element>\n")
            .arg(nome, extra, conteudo);
    };
    const auto simples = [](const QStringList& nomes) {
        QString texto;
        for (const QString& nome : nomes)
            texto += QStringLiteral("<xs:element name=\"%1\" type=\"xs:%2\"/>\n")
                         .arg(nome, kInteiros.contains(nome)   ? "positiveInteger"
                                    : kDecimais.contains(nome) ? "decimal"
                                                               : "string");
        return texto;
    };
    return ("<?xml version=\"1.0\"?>\n<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n" +
            elemento("A_Recipe", elemento("DesRecipe", elemento("DesData", simples(kDesData))) +
                                     elemento("ColRecipe", elemento("ColData", simples(kColData)),
                                              " minOccurs=\"0\" maxOccurs=\"unbounded\"")) +
            "</xs:schema>\n")
        .toUtf8();
}

// xmllint's output, or what it complained of.
std::pair<bool, QString> Xmllint(const QStringList& argumentos) {
    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"), argumentos);
    const bool ok =
        xmllint.waitForFinished() && xmllint.exitStatus() == QProcess::NormalExit && xmllint.exitCode() == 0;
    return {ok, QString::fromUtf8(ok ? xmllint.readAllStandardOutput() : xmllint.readAllStandardError())};
}

// An order of the second of three, with a colour and a thickener.
const CabecalhoDosagem kCabecalho{"0001234", "MALHARIA X", "E-77", "01", "L1", "1", "ANA"};
OrdemDosagem Ordem(int sequencia = 2) {
    const QList<ComponenteOrdem> componentes = {{1, "C1", "Azul", u'C', 12.5, 1000.5},
                                                {2, "A1", "Espessante", u'A', 300, 45}};
    return {"P1", "Q1", sequencia, 3, 1234.5, componentes};
}
} // namespace

class TstRegrasModulo : public QObject {
    Q_OBJECT

private slots:
    // ---- the scheduling board's forecast
    // A queue "started@dd hh:mm/minutes;..." (started: S or N; the hour as the step holds it) from now (day
    // 10, 09:00): each lot's start and end as "dd hh:mm", an end unknown as "?". 30 h from 20:00 carries two
    // days; 24 h from 00:00 is the next day's 00:00; a lot not started waits for the one ahead, or starts now
    // when that one ended before; an hour with seconds or one digit reads as typed, an unreadable one as the
    // day's start.
    void previsaoFila_data() {
        QTest::addColumn<QString>("fila");
        QTest::addColumn<QString>("previsao");
        QTest::newRow("30 h das 20:00") << "S@10 20:00/1800"
                                        << "10 20:00-12 02:00";
        QTest::newRow("24 h da meia-noite") << "S@10 00:00/1440"
                                            << "10 00:00-11 00:00";
        QTest::newRow("encadeada") << "S@09 22:00/720;N@01 00:00/60"
                                   << "09 22:00-10 10:00 10 10:00-10 11:00";
        QTest::newRow("a da frente acabou") << "S@08 00:00/60;N@01 00:00/30"
                                            << "08 00:00-08 01:00 10 09:00-10 09:30";
        QTest::newRow("sem tempo") << "S@10 08:00/-1;N@01 00:00/30"
                                   << "10 08:00-? 10 09:00-10 09:30";
        QTest::newRow("iniciada atrás") << "N@01 00:00/600;S@10 08:00/60"
                                        << "10 09:00-10 19:00 10 08:00-10 09:00";
        QTest::newRow("hora com segundos") << "S@10 07:30:45/60"
                                           << "10 07:30-10 08:30";
        QTest::newRow("hora de um dígito") << "S@10 8:00/60"
                                           << "10 08:00-10 09:00";
        QTest::newRow("hora ilegível") << "S@10 ab/60"
                                       << "10 00:00-10 01:00";
    }
    void previsaoFila() {
        QFETCH(QString, fila);
        const auto momento = [](const QString& texto) {
            return InicioDoPasso(QDate(2026, 12, texto.left(2).toInt()), texto.mid(3));
        };
        QList<LoteFila> lotes;
        for (const QString& l : fila.split(';')) {
            const QStringList p = l.split(QRegularExpression("[@/]"));
            lotes << LoteFila{p[0] == "S", momento(p[1]), p[2].toInt()};
        }
        QStringList texto;
        for (const PrevisaoLote& p : PrevisaoFila(lotes, momento("10 09:00")))
            texto << p.inicio.toString("dd hh:mm") + "-" +
                         (p.fim.isValid() ? p.fim.toString("dd hh:mm") : "?");
        QTEST(texto.join(' '), "previsao");
        // A lot's time: its curves added up; one missing or not a time leaves it unknown.
        QCOMPARE(TempoDoLote({"30:00", "02:30"}), 1950);
        QCOMPARE(TempoDoLote({"30:00:00", "02:30:59"}), 1950);
        QCOMPARE(TempoDoLote({"30:00", ""}), -1);
        QCOMPARE(TempoDoLote({}), -1);
    }

    // ---- a lot sheet
    // On a limit, a sum of decimals on one, and a limit of 0 (none) pass.
    void limitesDaMaquina() {
        const QString fora = "Peso total da FAL fora do intervalo permitido na máquina.\r";
        QCOMPARE(ForaLimiteMaquina(100, 100, 500), QString());
        QCOMPARE(ForaLimiteMaquina(500, 100, 500), QString());
        QCOMPARE(ForaLimiteMaquina(99.9, 100, 500),
                 fora + "O peso mínimo tem de ser superior ou igual a 100 KG.");
        QCOMPARE(ForaLimiteMaquina(500.001, 100, 500),
                 fora + "O peso máximo tem de ser inferior ou igual a 500 KG.");
        QCOMPARE(ForaLimiteMaquina(10, 12.5, 0),
                 fora + "O peso mínimo tem de ser superior ou igual a 12,5 KG.");
        QCOMPARE(ForaLimiteMaquina(10.2 + 79.4 + 10.4, 0, 100), QString());
        QCOMPARE(ForaLimiteMaquina(17.9 + 14.2 + 17.9, 50, 0), QString());
        QCOMPARE(ForaLimiteMaquina(9999, 0, 0), QString());
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
    void printSheet() {
        QCOMPARE(LarguraDaFicha(150, {1.8}), 150.0);
        QCOMPARE(LarguraDaFicha(0, {1.6, 1.65}), 162.0); // items in metres
        QCOMPARE(LarguraDaFicha(0, {}), 0.0);
        // 160 cm, 200 g/m², index 1, thickness 10, 100 kg: 0.3125 kg per kg, 31.25 kg plus the pump's 1.5.
        const FigurasFicha f{100, 160, 200, 1};
        const struct {
            const char* espessura;
            double manual, indice, gramatura, largura;
            const char* resultado;
        } pastas[] = {{"10", 0, 1, 200, 160, "0.3125 32.75"},
                      {"0,5", 0, 1, 200, 160, "0.01563 3.063"},
                      {"10", 0, 0, 200, 160, "0.2 20"},
                      {"10", 12, 1, 200, 160, "0.12 12"},
                      {"", 0, 1, 200, 160, "Espessura do quadro Q1 inválida: \"\"."},
                      {"x", 0, 1, 200, 160, "Espessura do quadro Q1 inválida: \"x\"."},
                      {"10", 0, 1, 0, 160, "Gramatura não informada: impossível calcular a pasta."},
                      {"10", 0, 1, 200, 0, "Largura não informada: impossível calcular a pasta."}};
        for (const auto& p : pastas) {
            const PastaQuadro q = PastaDoQuadro("Q1", p.espessura, 0.2, 1.5, p.manual,
                                                {f.pesoKg, p.largura, p.gramatura, p.indice});
            QCOMPARE(q.recusa.isEmpty() ? QString("%1 %2").arg(q.c).arg(q.t) : q.recusa,
                     QString(p.resultado));
        }
        // 20 kg of paste; A: 40 per mil, short (0.8 kg needed, 0.5 in stock); B: 30 per mil at print
        // concentration 50; L: 100 per mil.
        const QList<ComponenteFicha> pasta = {{"A", 40, 0, 0.5}, {"B", 30, 50, 9}, {"L", 100, 0, 99}};
        const auto linhas = [&](const QHash<QString, SubstitutoFicha>& substitutos) {
            const ComponentesPasta c = ComponentesDaPasta(pasta, substitutos, 20);
            QStringList texto;
            for (const LinhaComponente& l : c.linhas)
                texto
                    << QString("%1%2 %3 %4").arg(l.codigo, l.contratipo ? "*" : "").arg(l.qtde).arg(l.pesoKg);
            return c.recusa.isEmpty() ? texto.join(", ") : c.recusa;
        };
        QCOMPARE(linhas({}), QString("A 40 0.8, B 30 0.3, L 100 2"));
        // Without a substitute A stays; B, in stock, is replaced when its substitute is immediate; A's takes
        // its whole share when it leaves nothing to compensate.
        QCOMPARE(linhas({{"B", {"B2", 100, 0, "", true}}}), QString("A 40 0.8, B2* 30 0.6, L 100 2"));
        QCOMPARE(linhas({{"A", {"A2", 80, 0, "", false}}}), QString("A2* 40 0.8, B 30 0.3, L 100 2"));
        // Immediate at 80 % leaving L to compensate: 32 per mil, L raised by 20 × 32 / 80 = 8.
        QCOMPARE(linhas({{"A", {"A2", 80, 0, "L", true}}}), QString("A2* 32 0.64, B 30 0.3, L 108 2.16"));
        QCOMPARE(
            linhas({{"A", {"A2", 80, 0, "X", true}}}),
            QString("Material X a compensar  cadastrado no contratipo A2 divergente. Impossivel continuar"));
        QCOMPARE(linhas({{"A", {"A2", 0, 0, "L", true}}}),
                 QString("Contratipo A2 de A sem concentração: impossível compensar."));
    }

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

    // Exactly, not within QCOMPARE's tolerance: what stays behind is the weight less what moved, and all
    // pieces (or more) leave nothing.
    void pesoPecasMovidas() {
        const struct {
            int pecas, pecasLinha;
            double peso, movido;
        } casos[] = {{3, 3, 6.2, 6.2}, {1, 3, 6.2, 2.067}, {2, 7, 30, 8.571}, {0, 3, 6.2, 0},
                     {-2, 3, 6.2, 0},  {1, 0, 6.2, 0},     {4, 3, 6.2, 6.2}};
        for (const auto& c : casos) {
            const double calculado = PesoPecasMovidas(c.pecas, c.pecasLinha, c.peso);
            const QString caso = QStringLiteral("%1 de %2: ").arg(c.pecas).arg(c.pecasLinha);
            QVERIFY2(calculado == c.movido, qPrintable(caso + QString::number(calculado, 'g', 17)));
            if (c.pecas >= c.pecasLinha && c.pecasLinha > 0)
                QVERIFY(c.peso - calculado == 0);
        }
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
    // Fibres add to 100; without fibres, the variant's index is none, 0 or 100.
    void fibres() {
        QCOMPARE(RecusaFibras(60, 40, ""), QString());
        QCOMPARE(RecusaFibras(100, 0, "50"), QString());
        QCOMPARE(RecusaFibras(60, 30, ""), kSomaFibras);
        QCOMPARE(RecusaFibras(60, 41, "100"), kSomaFibras);
        for (const char* indice : {"", "0", "100", " 100 ", "100,0"})
            QVERIFY2(RecusaFibras(0, 0, indice).isEmpty(), indice);
        for (const char* indice : {"99,9", "100,5", "X"})
            QVERIFY2(RecusaFibras(0, 0, indice) == kIndiceVariante, indice);
    }

    void requiredFields() {
        const auto recusa = [](const char* item) { return RecusaObrigatorios(Item(item)); };
        const QString tecido = "Código do Tecido Inválido.", cor = "Código da Cor Inválido.",
                      peso = "Peso deve ser maior que 0.";
        QCOMPARE(recusa("T1||AZUL|01|R1|10"), QString());
        QCOMPARE(recusa("||AZUL|01|R1|10"), tecido);
        QCOMPARE(recusa("   ||AZUL|01|R1|10"), tecido);
        QCOMPARE(recusa("T1|||01|R1|10"), cor);
        QCOMPARE(recusa("T1||AZUL||R1|10"), "Código da Variante Inválido.");
        QCOMPARE(recusa("T1||AZUL|01||10"), "Código do Fluxo Inválido.");
        QCOMPARE(recusa("T1||AZUL|01|R1|0"), peso);
        QCOMPARE(recusa("T1||AZUL|01|R1|-20"), peso);
        QCOMPARE(recusa("T1|||01||10"), cor); // without a colour nor a route: the colour first
    }

    // Items "codigo|lote" or, as the sheet stores the invoice's lot, "codigo|lote|nota|lote da nota".
    void duplicatedItem() {
        const auto duplicado = [](const QStringList& itens, int indice) {
            QList<ItemGeracao> selecionados;
            for (const QString& item : itens) {
                selecionados << Item(item.section('|', 0, 1));
                selecionados.last().nota = item.section('|', 2, 2);
                selecionados.last().loteNF = item.section('|', 3, 3);
            }
            return ItemDuplicado(selecionados, indice);
        };
        QVERIFY(!duplicado({"T1|L1"}, 0));
        QVERIFY(duplicado({"T1|L1", "T1|L1"}, 1));
        QVERIFY(duplicado({"T1|L1", "T2|L1", "T1|L1"}, 0)); // the first one too
        QVERIFY(!duplicado({"T1|L1", "T1|L2"}, 0));
        QVERIFY(!duplicado({"T1|L1", "T2|L1"}, 1));
        QVERIFY(duplicado({"T1 |L1", " T1| L1 "}, 0)); // blanks do not count
        QVERIFY(duplicado({"T1|", "T1|"}, 1));
        QVERIFY(!duplicado({"T1|L1", "T2|L2", "T2|L2"}, 0)); // the repeated one is another
        QVERIFY(duplicado({"T1|P1|N1|L9", "T1|P2|N1|L9"}, 0));
        QVERIFY(duplicado({"T1|L9|N1|", "T1|P2|N1|L9"}, 1)); // the invoice's lot is the other's lot
        QVERIFY(!duplicado({"T1|P1|N1|L8", "T1|P2|N1|L9"}, 0));
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

    void fieldsAnImportNeverFills() {
        for (const char* campo : {"Fal", "FAL", "Ordem", "ordem", "Gerar", "Imp", " Imp ", "CorAnt",
                                  "Codigo_Ant", "LoteOrig", "Ordem_Gravada", "Fluxo_Ant", "LoteNF_Ant"})
            QVERIFY2(CampoNaoImportado(campo), campo);
        for (const char* campo : {"Codigo", "Peso", "Rolo", "Partida", "Cor", "Lote", "LoteNF", "Observacao",
                                  "Regiao", "Falha", "OrdemX"})
            QVERIFY2(!CampoNaoImportado(campo), campo);
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
    // Bands "width from-to/weight min.-max.;..." in centimetres and kilograms, a width in metres, a weight.
    void lotAgainstCapacity() {
        const auto recusa = [](const QString& faixas, double largura, double peso) {
            QList<FaixaCapacidade> linhas;
            for (const QString& linha : faixas.split(';', Qt::SkipEmptyParts)) {
                const QStringList n = QString(linha).replace('/', '-').split('-');
                linhas << FaixaCapacidade{n[0].toDouble(), n[1].toDouble(), n[2].toDouble(), n[3].toDouble()};
            }
            return ForaDaCapacidade("01", "02", linhas, largura, peso);
        };
        const QString fora =
            "Peso ou Largura fora dos parâmetros definidos para a Máquina 01 e Variante 02: ";
        const QString uma = "150.3-180.7/40.1-120.9", duas = "150-180/40-120;200-230/300-400";
        QCOMPARE(recusa(uma, 1.503, 40.1), QString());
        QCOMPARE(recusa(uma, 1.807, 120.9), QString());
        QCOMPARE(recusa("150-180/40-100", 1.6, 10.2 + 79.4 + 10.4), QString());
        QCOMPARE(recusa("150-180/50-100", 1.6, 17.9 + 14.2 + 17.9), QString());
        QCOMPARE(recusa("", 9.0, 9999.0), QString()); // no bands for the variant
        QCOMPARE(recusa("150-180/100-300", 1.6, 350), fora + "peso 350,00 kg fora de 100,00 a 300,00 kg.");
        QCOMPARE(recusa(uma, 1.502, 80), fora + "largura 1,502 m (150,20 cm) fora de 150,30 a 180,70 cm.");
        QCOMPARE(recusa("150-180/100-300", 1.4, 350),
                 fora + "peso 350,00 kg fora de 100,00 a 300,00 kg; largura 1,40 m (140,00 cm) fora de "
                        "150,00 a 180,00 cm.");
        QCOMPARE(recusa(duas, 1.6, 200),
                 fora + "peso 200,00 kg fora de 40,00 a 120,00 kg ou de 300,00 a 400,00 kg.");
        QCOMPARE(recusa(duas, 1.65, 350),
                 fora + "peso 350,00 kg e largura 1,65 m (165,00 cm) não cabem numa mesma faixa: de 150,00 a "
                        "180,00 cm com 40,00 a 120,00 kg ou de 200,00 a 230,00 cm com 300,00 a 400,00 kg.");
        // A bound left empty is 0.
        QCOMPARE(recusa("0-180/40-0", 1.0, 50), fora + "peso 50,00 kg fora de 40,00 a 0,00 kg.");
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
    void temposTotais() {
        QCOMPARE(TemposTotais({}), QList<int>());
        QCOMPARE(TemposTotais(Passos("A:1:30:1;B:1:45:1;C:1:20:1")), (QList<int>{30, 75, 95}));
        QCOMPARE(TemposTotais(Passos("A:1:0:1;B:1:10:1;C:1:0:1")), (QList<int>{0, 10, 10}));
        // Phase 2 goes on from where phase 1 ended.
        QCOMPARE(TemposTotais(Passos(kReativo)), (QList<int>{20, 50, 110, 130, 150, 165}));
    }

    // "minutes/temperature/label;..."
    void pontosFase() {
        const auto pontos = [](const QString& passos, const char* fase) {
            QStringList texto;
            for (const PontoCurva& p : PontosFase(Passos(passos), fase))
                texto << QStringLiteral("%1/%2/%3").arg(p.minutos).arg(p.temperatura).arg(p.rotulo);
            return texto.join(';');
        };
        QCOMPARE(pontos("", "1"), QString());
        QCOMPARE(pontos("P01:130:45:1", "2"), QString()); // a phase without steps
        QCOMPARE(pontos("A01:80:0:1;B01:90:0:1", "1"), "0/80/A01;0/90/B01");
        QCOMPARE(pontos("A01:60:10:1;B01:60:10:1", "1"), "10/60/A01;20/60/B01");
        QCOMPARE(pontos(kReativo, "1"), "20/30/A01;50/60/S01;110/60/P01");
        QCOMPARE(pontos(kReativo, "2"), "130/40/L01;150/95/E01;165/40/F01"); // on from phase 1
        QCOMPARE(pontos("A1 :50:5:2 ", "2"), "5/50/A1");                     // codes trimmed
    }

    // Minutes and temperature: from, to, step.
    void eixosFase() {
        const auto eixos = [](const QString& passos, const char* fase) {
            const EixosCurva e = EixosFase(PontosFase(Passos(passos), fase));
            return QList<double>{e.minutosDe,     e.minutosAte,     e.minutosPasso,
                                 e.temperaturaDe, e.temperaturaAte, e.temperaturaPasso};
        };
        QCOMPARE(eixos("", "1"), (QList<double>{0, 60, 10, 0, 100, 20}));
        // 45 minutes in at most 8 marks: by tens. 60 degrees and 10 for the label: by tens.
        QCOMPARE(eixos("P01:60:45:1", "1"), (QList<double>{0, 50, 10, 0, 70, 10}));
        // No time passes: the range still spans a step.
        QCOMPARE(eixos("A01:80:0:1;B01:80:0:1", "1"), (QList<double>{0, 5, 5, 0, 100, 20}));
        QCOMPARE(eixos(kReativo, "2"), (QList<double>{110, 170, 10, 0, 120, 20})); // from the phase's start
        QCOMPARE(eixos(kReativo, "1"), (QList<double>{0, 120, 15, 0, 70, 10}));
        QCOMPARE(eixos("A:130:600:1", "1"), (QList<double>{0, 600, 120, 0, 140, 20}));
        QCOMPARE(eixos("A:-15:10:1", "1"), (QList<double>{0, 10, 5, -20, 0, 10}));
    }

    // The text typed, its minutes (-1 when invalid; seconds dropped) and the text the registry stores for
    // them, read back the same way.
    void tempoDaCurva() {
        const QList<std::tuple<QString, int, QString>> casos = {
            {"04:30", 270, "04:30"},    {"4:30", 270, "04:30"},
            {"100:00", 6000, "100:00"}, {" 01:05 ", 65, "01:05"},
            {"0:00", 0, "00:00"},       {"04:60", -1, ""},
            {"0430", -1, ""},           {"", -1, ""},
            {"-1:00", -1, ""},          {"1000:00", -1, ""},
            {"04:30:59", 270, "04:30"}, {"04:30:60", -1, ""},
            {"04:30:5", -1, ""}};
        for (const auto& [texto, minutos, gravado] : casos) {
            QVERIFY2(MinutosDoTempo(texto) == minutos, qPrintable(texto));
            QCOMPARE(TempoDosMinutos(minutos), gravado);
            QCOMPARE(MinutosDoTempo(TempoDosMinutos(minutos)), minutos);
        }
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

    // ---- the production map
    // The queues a save plans on, after its writes so far ("+M1:2 U1" room at M1 position 2 for U1, "=M1:2
    // U1" U1 placed there): room shifts the machine's open FALs from the position on, but the one placed; a
    // FAL placed leaves its machine. U1's occupants at M1:2 are open FALs with a step pending; the highest
    // position counts every open FAL. F2 has no step pending, F4 is closed.
    void filasDaColocacao_data() {
        QTest::addColumn<QString>("passos");
        QTest::addColumn<QString>("filas");
        QTest::addColumn<QString>("ocupantes");
        QTest::addColumn<int>("maior");
        QTest::newRow("as read") << ""
                                 << "F1@M1:1 F2@M1:2 F3@M1:2 F4@M1:3 U1@:0"
                                 << "F3" << 2;
        QTest::newRow("room") << "+M1:2 U1"
                              << "F1@M1:1 F2@M1:3 F3@M1:3 F4@M1:3 U1@:0"
                              << "" << 3;
        QTest::newRow("grouped") << "=M1:2 U1"
                                 << "F1@M1:1 F2@M1:2 F3@M1:2 F4@M1:3 U1@M1:2"
                                 << "F3" << 2;
        QTest::newRow("replaced") << "+M1:2 U1;=M1:2 U1"
                                  << "F1@M1:1 F2@M1:3 F3@M1:3 F4@M1:3 U1@M1:2"
                                  << "" << 3;
        QTest::newRow("to another machine") << "=M2:1 F3"
                                            << "F1@M1:1 F2@M1:2 F3@M2:1 F4@M1:3 U1@:0"
                                            << "" << 2;
    }
    void filasDaColocacao() {
        QFETCH(QString, passos);
        QList<FalNaFila> filas = {{"F1", "M1", 1, "C1", "03"},
                                  {"F2", "M1", 2, "C1", ""},
                                  {"F3", "M1", 2, "C2", "03"},
                                  {"F4", "M1", 3, "C1", "03", false},
                                  {"U1", "", 0, "C1", "03"}};
        for (const QString& p : passos.isEmpty() ? QStringList() : passos.split(';')) {
            const QStringList campos = p.mid(1).split(QRegularExpression("[: ]"));
            AplicaPasso(filas, {p.startsWith('+'), campos[2], campos[0], campos[1].toInt()});
        }
        QStringList texto, ocupantes;
        for (const FalNaFila& f : std::as_const(filas))
            texto << QString("%1@%2:%3").arg(f.numero, f.maquina).arg(f.ordem);
        for (const FalNaFila& o : OcupantesEm(filas, "M1", 2, "U1"))
            ocupantes << o.numero;
        QTEST(texto.join(' '), "filas");
        QTEST(ocupantes.join(' '), "ocupantes");
        QTEST(MaiorOrdemEm(filas, "M1"), "maior");
    }

    // Ten-minute steps, halves to the even one, never below ten.
    void larguraBarra_data() {
        QTest::addColumn<QString>("tempo");
        QTest::addColumn<int>("pixels");
        for (const auto& [tempo, pixels] : {std::pair("00:04", 10),
                                            {"00:14", 10},
                                            {"00:15", 20},
                                            {"00:25", 20},
                                            {"00:35", 40},
                                            {"01:30", 90},
                                            {"02:05:00", 120},
                                            {"02:15:30", 140},
                                            {"27:30", 1650},
                                            {"0", 10},
                                            {"", 10},
                                            {"ab", 10},
                                            {"01:75", 10}})
            QTest::newRow(tempo) << QString(tempo) << pixels;
    }
    void larguraBarra() {
        QFETCH(QString, tempo);
        QTEST(LarguraBarra(tempo), "pixels");
    }

    // From 05/03 22:00: the pixel of a moment, and the time and day the list shows for a pixel.
    void pixelsEHoras_data() {
        QTest::addColumn<QString>("momento");
        QTest::addColumn<int>("pixel");
        QTest::addColumn<QString>("lista");
        QTest::newRow("origin") << "05/03 22:00" << 0 << "05/03 22:00:00";
        QTest::newRow("14 minutes") << "05/03 22:14" << 10 << "05/03 22:10:00";
        QTest::newRow("15 minutes") << "05/03 22:15" << 20 << "05/03 22:20:00";
        QTest::newRow("midnight is 00:00, never 24:00") << "06/03 00:00" << 120 << "06/03 00:00:00";
        QTest::newRow("the next day") << "06/03 01:25" << 200 << "06/03 01:20:00";
    }
    void pixelsEHoras() {
        QFETCH(QString, momento);
        QFETCH(int, pixel);
        const QDateTime origem(QDate(2026, 3, 5), QTime(22, 0));
        QCOMPARE(PixelDoMomento(origem, QDateTime::fromString(momento + "/2026", "dd/MM HH:mm/yyyy")), pixel);
        const QDateTime lista = MomentoDoPixel(origem, pixel);
        QTEST(lista.toString("dd/MM ") + HoraDoMapa(lista), "lista");
    }

    // The origin at the earliest start's hour; 96 slots crossing midnight.
    void horasDoMapa() {
        const QDateTime agora(QDate(2026, 3, 6), QTime(9, 40));
        QCOMPARE(OrigemDoMapa({}, agora), QDateTime(QDate(2026, 3, 6), QTime(9, 0)));
        const QDateTime origem = OrigemDoMapa(
            {QDateTime(QDate(2026, 3, 6), QTime(8, 30)), QDateTime(QDate(2026, 3, 5), QTime(22, 10))}, agora);
        QCOMPARE(origem, QDateTime(QDate(2026, 3, 5), QTime(22, 0)));
        const QList<HoraMapa> horas = HorasDoMapa(origem);
        QCOMPARE(horas.size(), kHorasMapa);
        const auto slot = [&](int i) { return horas[i].hora + horas[i].dia.toString(" dd/MM"); };
        QCOMPARE(QStringList({slot(0), slot(1), slot(2), slot(95)}),
                 QStringList({"22 05/03", "23 05/03", "00 06/03", "21 09/03"}));
    }

    // FALs "numero|maquina|ordem|cor|tempo|started, minutes after the origin" laid out with now at
    // `agora` minutes: "machine caption start+length", "!" when not drawn.
    void barras_data() {
        QTest::addColumn<QString>("fals");
        QTest::addColumn<int>("agora");
        QTest::addColumn<QString>("barras");
        QTest::newRow("two FALs, one position: one bar")
            << "A|M1|1|C1|01:00;B|M1|1|C1|00:30" << 0 << "M1 A/B 0+60";
        QTest::newRow("colours never grouped")
            << "A|M1|1|C1|01:00;B|M1|1|C2|00:30;C|M1|1|C1|00:10" << 0 << "M1 A/C 0+60;M1 B 60+30";
        QTest::newRow("the next position after the bar")
            << "A|M1|1|C1|01:00;B|M1|2|C1|00:14" << 0 << "M1 A 0+60;M1 B 60+10";
        QTest::newRow("machines apart") << "A|M1|1|C1|01:00;B|M2|1|C1|00:30" << 0 << "M1 A 0+60;M2 B 0+30";
        QTest::newRow("started lot pushed")
            << "A|M1|2|C1|02:00|0;B|M1|1|C1|01:00|60" << 0 << "M1 A 0+120;M1 B 120+60";
        QTest::newRow("started first, then from now")
            << "A|M1|1|C1|01:00;B|M1|2|C1|00:30|30" << 200 << "M1 B 30+30;M1 A 200+60";
        QTest::newRow("beyond 96 hours") << "A|M1|1|C1|95:00;B|M1|2|C1|01:00;C|M1|3|C1|00:10" << 0
                                         << "M1 A 0+5700;M1 B 5700+60;M1 C 5760+10!";
    }
    void barras() {
        QFETCH(QString, fals);
        QFETCH(int, agora);
        const QDateTime origem(QDate(2026, 3, 5), QTime(8, 0));
        QList<FalMapa> lidas;
        for (const QString& f : fals.split(';')) {
            const QStringList c = f.split('|');
            FalMapa fal{c[0], c[1], c[2].toInt(), c[3], {}, c[4], std::nullopt};
            if (c.size() > 5)
                fal.inicio = origem.addSecs(c[5].toInt() * 60);
            lidas << fal;
        }
        QList<BarraMapa> barras = AgrupaBarras(lidas);
        PosicionaBarras(barras, origem, origem.addSecs(agora * 60));
        QStringList textos;
        for (const BarraMapa& b : barras)
            textos << QString("%1 %2 %3+%4%5")
                          .arg(b.maquina, b.Legenda())
                          .arg(b.x)
                          .arg(b.largura)
                          .arg(b.desenhada ? "" : "!");
        QTEST(textos.join(';'), "barras");
    }

    // The position a bar takes on a machine whose bars hold `ordens`; "-" when it stays. Moves by menu
    // (`passos`) count bars; a drop (`passos` 0) goes before bar `alvo`, -1 past the last.
    void destino_data() {
        QTest::addColumn<QString>("ordens");
        QTest::addColumn<int>("barra");
        QTest::addColumn<int>("passos");
        QTest::addColumn<int>("alvo");
        QTest::addColumn<QString>("destino");
        QTest::newRow("Adiar 1: after the next bar") << "1,2,3" << 0 << 1 << 0 << "3";
        QTest::newRow("Adiar 1 to the last") << "1,2,3" << 1 << 1 << 0 << "4";
        QTest::newRow("Adiar 2") << "1,2,3,4" << 0 << 2 << 0 << "4";
        QTest::newRow("Adiar 10 stops at the last") << "1,2,3" << 0 << 10 << 0 << "4";
        QTest::newRow("Adiar 10 on the last stays") << "1,2,3" << 2 << 10 << 0 << "-";
        QTest::newRow("Adiar 1 over gaps") << "5,9,20" << 0 << 1 << 0 << "20";
        QTest::newRow("Adiar 1 past a second colour") << "1,1,2" << 0 << 1 << 0 << "2";
        QTest::newRow("Antecipar 1") << "1,2,3" << 2 << -1 << 0 << "2";
        QTest::newRow("Antecipar 10 stops at the first") << "1,2,3" << 2 << -10 << 0 << "1";
        QTest::newRow("Antecipar 1 on the first stays") << "1,2,3" << 0 << -1 << 0 << "-";
        QTest::newRow("dropped before a later bar") << "1,2,3,4" << 0 << 0 << 3 << "4";
        QTest::newRow("dropped before an earlier bar") << "1,2,3,4" << 3 << 0 << 1 << "2";
        QTest::newRow("dropped on itself") << "1,2,3" << 1 << 0 << 1 << "-";
        QTest::newRow("dropped before the next one") << "1,2,3" << 1 << 0 << 2 << "-";
        QTest::newRow("dropped past the last") << "1,2,3" << 0 << 0 << -1 << "4";
        QTest::newRow("the last dropped past the last") << "1,2,3" << 2 << 0 << -1 << "-";
        QTest::newRow("from another machine, on a bar") << "1,2" << -1 << 0 << 1 << "2";
        QTest::newRow("from another machine, past the last") << "1,2" << -1 << 0 << -1 << "3";
        QTest::newRow("from another machine, empty row") << "" << -1 << 0 << -1 << "1";
    }
    void destino() {
        QFETCH(QString, ordens);
        QFETCH(int, barra);
        QFETCH(int, passos);
        QFETCH(int, alvo);
        QList<int> lista;
        for (const QString& o : ordens.split(',', Qt::SkipEmptyParts))
            lista << o.toInt();
        const DestinoBarra d =
            passos ? DestinoMovimento(lista, barra, passos) : DestinoAntes(lista, barra, alvo);
        QTEST(d.move ? QString::number(d.ordem) : QString("-"), "destino");
    }

    // ---- the kitchen's weighing
    void pesagem_data() {
        QTest::addColumn<double>("anterior");
        QTest::addColumn<double>("lido");
        QTest::addColumn<bool>("soma"); // F6
        QTest::addColumn<double>("consumo");
        QTest::addColumn<double>("tolerancia");
        QTest::addColumn<double>("peso");
        QTest::addColumn<int>("veredito");
        const auto linha = [](const char* nome, double anterior, double lido, bool soma, double consumo,
                              double tolerancia, double peso, VereditoPesagem veredito) {
            QTest::newRow(nome) << anterior << lido << soma << consumo << tolerancia << peso << int(veredito);
        };
        using enum VereditoPesagem;
        // 500 g at 2 % of the weight: 505 ± 10.1 holds it, 515 − 10.3 and 485 + 9.7 do not.
        linha("accepted", 0, 505, false, 500, 2, 505, Aceito);
        linha("above", 0, 515, false, 500, 2, 515, Acima);
        linha("short", 0, 485, false, 500, 2, 485, Insuficiente);
        // 500 g weighed at 2 %: 10 g each way.
        linha("upper limit", 0, 500, false, 490, 2, 500, Aceito);
        linha("past the upper limit", 0, 500, false, 489.999, 2, 500, Acima);
        linha("lower limit", 0, 500, false, 510, 2, 500, Aceito);
        linha("past the lower limit", 0, 500, false, 510.001, 2, 500, Insuficiente);
        // 10.8 − 0.54 and 10.2 + 0.51 fall just past 10.26 and 10.71 in binary.
        linha("upper limit in binary", 0, 10.8, false, 10.26, 5, 10.8, Aceito);
        linha("lower limit in binary", 0, 10.2, false, 10.71, 5, 10.2, Aceito);
        linha("no tolerance", 0, 500.001, false, 500, 0, 500.001, Acima);
        linha("F5 replaces", 300, 505, false, 500, 2, 505, Aceito);
        linha("F6 adds", 300, 205, true, 500, 2, 505, Aceito);
        // An accepted line weighed again out of tolerance is no longer written off.
        linha("F6 past an accepted weight", 505, 20, true, 500, 2, 525, Acima);
        linha("F5 short of an accepted weight", 505, 480, false, 500, 2, 480, Insuficiente);
    }

    void pesagem() {
        QFETCH(double, anterior);
        QFETCH(double, lido);
        QFETCH(bool, soma);
        QFETCH(double, consumo);
        QFETCH(double, tolerancia);
        QFETCH(double, peso);
        QFETCH(int, veredito);
        const PesagemLinha p = PesaLinha(anterior, lido, soma, consumo, tolerancia);
        QCOMPARE(p.pesoG, peso); // kept when rejected too, for F6 to add to
        QCOMPARE(int(p.veredito), veredito);
        QCOMPARE(int(JulgaPesagem(peso, consumo, tolerancia)), veredito);
        QCOMPARE(p.baixar, veredito == int(VereditoPesagem::Aceito));
        QCOMPARE(TextoVeredito(p.veredito).isEmpty(), p.baixar);
    }

    // The multiplier as typed, a whole number above 0 or else 1; exactly: a multiplied reading's grams are
    // whole, a named unit's to the milligram.
    void gramasDaLeitura_data() {
        QTest::addColumn<QString>("conversor");
        QTest::addColumn<double>("lido");
        QTest::addColumn<bool>("unidadeNomeada");
        QTest::addColumn<double>("gramas");
        QTest::newRow("505 g") << "1" << 0.505 << true << 505.0;
        QTest::newRow("0.5 kg, not times the multiplier") << "1000" << 0.5 << true << 500.0;
        QTest::newRow("named, 1.005 × 1000 below 1005 in binary") << "1" << 1.005 << true << 1005.0;
        QTest::newRow("named keeps the milligram") << "1000" << 0.0125 << true << 12.5;
        QTest::newRow("bare × 1000") << "1000" << 0.123 << false << 123.0;
        QTest::newRow("bare × 1000 rounded, not cut") << "1000" << 1.005 << false << 1005.0;
        QTest::newRow("bare × 10 down to the gram") << " 10 " << 12.34 << false << 123.0;
        QTest::newRow("bare × 10 up to the gram") << "10" << 12.36 << false << 124.0;
        for (const char* um : {"1", "0", "", "x", "-5", "2.5"})
            QTest::newRow(qPrintable(QStringLiteral("bare × \"%1\" as it is").arg(um)))
                << um << 0.5 << false << 0.5;
    }

    void gramasDaLeitura() {
        QFETCH(QString, conversor);
        QFETCH(double, lido);
        QFETCH(bool, unidadeNomeada);
        QFETCH(double, gramas);
        const double calculado = GramasDaLeitura(lido, unidadeNomeada, ConversorBalanca(conversor));
        QVERIFY2(calculado == gramas, qPrintable(QString::number(calculado, 'g', 17)));
    }

    // ---- the print pastes' dispensing
    void tipoDoComponente_data() {
        QTest::addColumn<QString>("linha");
        QTest::addColumn<QString>("ordem");
        QTest::addColumn<QChar>("tipo");
        QTest::newRow("colour") << ""
                                << "1C" << QChar(u'C');
        QTest::newRow("other line") << "B"
                                    << "1C" << QChar(u'C');
        QTest::newRow("thickener") << "a"
                                   << "2A" << QChar(u'A');
        QTest::newRow("auxiliary") << " X "
                                   << "3X" << QChar(u'X');
        QTest::newRow("not dispensed") << "99"
                                       << "99" << QChar(u'C');
    }

    void tipoDoComponente() {
        QFETCH(QString, linha);
        QFETCH(QString, ordem);
        QCOMPARE(OrdemReceita(linha), ordem);
        QTEST(TypComp(ordem), "tipo");
    }

    void planoDosagem_data() {
        QTest::addColumn<QString>("pastas");
        QTest::addColumn<QString>("componentes");
        // "sequence/total product/screen kg: number code kind grams, ... | ..."
        QTest::addColumn<QString>("plano");
        // 250 kg on the sheet: 3 orders of 230 kg weighed, the last taking what the rounding left.
        QTest::newRow("in three") << "P1|Q1|1|250"
                                  << "P1|1|C1||229000;P1|1|A1|A|1000"
                                  << "1/3 P1/Q1 76.667: 1 C1 C 76333.333, 2 A1 A 333.333 | "
                                     "2/3 P1/Q1 76.667: 1 C1 C 76333.333, 2 A1 A 333.333 | "
                                     "3/3 P1/Q1 76.666: 1 C1 C 76333.334, 2 A1 A 333.334";
        QTest::newRow("at capacity") << "P1|Q1|1|110"
                                     << "P1|1|C1||110000"
                                     << "1/1 P1/Q1 110: 1 C1 C 110000";
        QTest::newRow("sheet's paste past capacity")
            << "P1|Q1|1|110.5"
            << "P1|1|C1||100000"
            << "1/2 P1/Q1 50: 1 C1 C 50000 | 2/2 P1/Q1 50: 1 C1 C 50000";
        QTest::newRow("components past the sheet's paste")
            << "P1|Q1|1|100"
            << "P1|1|C1||120000"
            << "1/2 P1/Q1 60: 1 C1 C 60000 | 2/2 P1/Q1 60: 1 C1 C 60000";
        // 150 kg with it would make two orders.
        QTest::newRow("component 99") << "P1|Q1|1|100"
                                      << "P1|1|C1||100000;P1|1|X9|99|50000"
                                      << "1/1 P1/Q1 100: 1 C1 C 100000";
        QTest::newRow("nothing to weigh") << "P1|Q1|1|0"
                                          << "P1|1|X9|99|50000"
                                          << "1/1 P1/Q1 0: ";
        // The same product on two screens: each paste its own components; another product's are none of them.
        QTest::newRow("sequence across pastes")
            << "P1|Q1|1|150;P1|Q2|2|30"
            << "P1|1|C1||150000;P1|2|C2||30000;P2|1|C3||5000"
            << "1/3 P1/Q1 75: 1 C1 C 75000 | 2/3 P1/Q1 75: 1 C1 C 75000 | 3/3 P1/Q2 30: 1 C2 C 30000";
        QTest::newRow("not selected, 99, no consumption")
            << "P1|Q1|1|10||1|N;P2|Q2|2|10|99;P3|Q3|3|10||0;P4|Q4|4|10"
            << "P1|1|C1||10000;P2|2|C2||10000;P3|3|C3||10000;P4|4|C4||10000"
            << "1/1 P4/Q4 10: 1 C4 C 10000";
        QTest::newRow("colours, thickeners, auxiliaries")
            << "P1|Q1|1|10"
            << "P1|1|X1|X|1000;P1|1|A1|a|2000;P1|1|C1||3000;P1|1|A2|A|4000;P1|1|C2|B|5000"
            << "1/1 P1/Q1 15: 1 C1 C 3000, 2 C2 C 5000, 3 A1 A 2000, 4 A2 A 4000, 5 X1 X 1000";
        // More than a short sort takes: each kind still in the sheet's order.
        QStringList muitos, porTipo[3];
        for (int i = 10; i < 30; ++i) {
            muitos << QStringLiteral("P1|1|K%1|%2|100").arg(i).arg(QStringList{"", "A", "X"}[i % 3]);
            porTipo[i % 3] << QStringLiteral("K%1 %2 100").arg(i).arg(QStringList{"C", "A", "X"}[i % 3]);
        }
        QStringList esperados = porTipo[0] + porTipo[1] + porTipo[2];
        for (int i = 0; i < esperados.size(); ++i)
            esperados[i].prepend(QString::number(i + 1) + ' ');
        QTest::newRow("twenty components")
            << "P1|Q1|1|2" << muitos.join(';') << "1/1 P1/Q1 2: " + esperados.join(", ");
    }

    void planoDosagem() {
        QFETCH(QString, pastas);
        QFETCH(QString, componentes);
        const QList<ComponenteDosagem> fonte = Componentes(componentes);
        QStringList ordens;
        for (const OrdemDosagem& o : PlanoDosagem(Pastas(pastas), fonte)) {
            QVERIFY(o.kg <= kCapacidadeDosagemKg);
            QStringList linhas;
            for (const ComponenteOrdem& c : o.componentes) {
                const auto origem = std::find_if(fonte.begin(), fonte.end(), [&](const ComponenteDosagem& f) {
                    return f.codigo == c.codigo;
                });
                QVERIFY(origem != fonte.end() && c.descricao == origem->descricao && c.qtde == origem->qtde);
                linhas << QStringLiteral("%1 %2 %3 %4")
                              .arg(c.numero)
                              .arg(c.codigo, c.tipo)
                              .arg(c.gramas, 0, 'g', 12);
            }
            ordens << QStringLiteral("%1/%2 %3/%4 %5: %6")
                          .arg(o.sequencia)
                          .arg(o.total)
                          .arg(o.produto, o.quadro)
                          .arg(o.kg, 0, 'g', 12)
                          .arg(linhas.join(", "));
        }
        QTEST(ordens.join(" | "), "plano");
    }

    void arquivoReceita_data() {
        QTest::addColumn<QString>("nome"); // the customer's and the user's
        QTest::addColumn<QString>("variante");
        QTest::addColumn<QByteArrayList>("bytes"); // in the file
        QTest::addColumn<QStringList>("lidos");    // "element=text" as an XML reader reads it
        QTest::newRow("numbers with a point")
            << "MALHARIA X"
            << "01"
            << QByteArrayList{"<Sequence>2</Sequence>\r\n<SequenceTot>3</SequenceTot>\r\n",
                              "<Series>1</Series>\r\n", "<Quantity-kg>1234.500</Quantity-kg>\r\n",
                              "<PartsWeight>12.500</PartsWeight>\r\n<PartsPerc>1.2500</PartsPerc>\r\n"
                              "<Weight-gr>1000.500</Weight-gr>\r\n<Weight-gr-prev>0</Weight-gr-prev>\r\n",
                              "<PartsWeight>300.000</PartsWeight>\r\n<PartsPerc>30.0000</PartsPerc>\r\n"
                              "<Weight-gr>45.000</Weight-gr>\r\n"}
            << QStringList{"Customer=0001234/MALHARIA X", "Info1=MALHARIA X"};
        QTest::newRow("variant 98") << "MALHARIA X"
                                    << "98" << QByteArrayList{"<Series>2</Series>\r\n"} << QStringList();
        // Markup, Latin-1 and beyond it, a control character, a tab and a line break.
        const QString lido = QStringLiteral("A&B <C> \"D\" 'E' Ç € 😀 F G");
        QTest::newRow("characters") << QStringLiteral("A&B <C> \"D\" 'E' Ç € 😀\x01\tF\nG") << "01"
                                    << QByteArrayList{"\xC7", "&#8364;", "&#128512;"}
                                    << QStringList{"Customer=0001234/" + lido, "Info1=" + lido};
    }

    void arquivoReceita() {
        QFETCH(QString, nome);
        QFETCH(QString, variante);
        QFETCH(QByteArrayList, bytes);
        QFETCH(QStringList, lidos);
        CabecalhoDosagem cabecalho = kCabecalho;
        cabecalho.cliente = cabecalho.usuario = nome;
        cabecalho.variante = variante;
        QByteArrayList gerados;
        EmCadaLocale([&] { gerados << ArquivoReceita(cabecalho, Ordem()); });
        const QByteArray arquivo = gerados[0];
        QCOMPARE(gerados[1], arquivo);
        const QByteArray inicio = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<A_Recipe "
                                  "xsi:noNamespaceSchemaLocation=\"file:/C:/CColour/arc/Recipe_E.xsd\" "
                                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\r\n";
        QCOMPARE(arquivo.left(inicio.size()), inicio);
        QVERIFY(arquivo.endsWith("\r\n"));
        const QList<QByteArray> linhas = arquivo.chopped(1).split('\n').mid(1);
        static const QRegularExpression umElemento(
            QStringLiteral("^(<[\\w-]+( [^<>]*)?>|</[\\w-]+>|<([\\w-]+)>[^<]*</\\3>|<[\\w-]+/>)\r$"));
        for (const QByteArray& linha : std::as_const(linhas)) {
            QVERIFY2(umElemento.match(QString::fromLatin1(linha)).hasMatch() &&
                         std::none_of(linha.begin(), linha.end() - 1, [](char c) { return uchar(c) < 0x20; }),
                     qPrintable(QString::fromLatin1(linha)));
        }
        for (const QByteArray& b : bytes)
            QVERIFY2(arquivo.contains(b), qPrintable(QString::fromLatin1(b)));

        if (QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty())
            QSKIP("xmllint is not installed");
        const QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("receita.xml")),
                      esquema = pasta.filePath(QStringLiteral("Recipe_E.xsd"));
        for (const auto& [nomeArquivo, conteudo] :
             {std::pair{caminho, arquivo}, std::pair{esquema, Esquema()}}) {
            QFile f(nomeArquivo);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(conteudo) == conteudo.size());
        }
        for (const QStringList& argumentos :
             {QStringList{"--noout", caminho}, QStringList{"--noout", "--schema", esquema, caminho}}) {
            const auto [ok, saida] = Xmllint(argumentos);
            QVERIFY2(ok, qPrintable(saida));
        }
        for (const QString& l : lidos) {
            const auto [ok, saida] = Xmllint({"--xpath", "string(//" + l.section('=', 0, 0) + ')', caminho});
            QVERIFY2(ok, qPrintable(saida));
            QCOMPARE(saida, l.section('=', 1) + '\n'); // xmllint ends it with a line break
        }
    }

    // A run's files, each the order's recipe, or none of them; "pasta" and what is made first under a
    // temporary folder.
    void gravaArquivosReceita_data() {
        QTest::addColumn<QString>("pasta");
        QTest::addColumn<QString>("arquivo");     // a regular file
        QTest::addColumn<QString>("diretorio");   // a folder
        QTest::addColumn<bool>("somenteLeitura"); // the folder
        QTest::addColumn<QString>("falha");       // the file that cannot be written; none, all written
        const auto linha = [](const char* nome, const char* pasta, const char* arquivo, const char* diretorio,
                              bool somenteLeitura, const char* falha) {
            QTest::newRow(nome) << QString(pasta) << QString(arquivo) << QString(diretorio) << somenteLeitura
                                << QString(falha);
        };
        linha("written", "r", "", "r", false, "");
        linha("folder under a file", "f/r", "f", "", false, "f/r/00012341.xml");
        linha("second file's name taken", "r", "", "r/00012342.xml", false, "r/00012342.xml");
        linha("read-only folder", "r", "", "r", true, "r/00012341.xml");
    }

    void gravaArquivosReceita() {
        QFETCH(QString, pasta);
        QFETCH(QString, arquivo);
        QFETCH(QString, diretorio);
        QFETCH(bool, somenteLeitura);
        QFETCH(QString, falha);
        const QTemporaryDir raiz;
        const QDir dir(raiz.path());
        const auto conteudo = [&] {
            QStringList nomes;
            for (QDirIterator i(raiz.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                QDirIterator::Subdirectories);
                 i.hasNext();)
                nomes << dir.relativeFilePath(i.next());
            nomes.sort();
            return nomes;
        };
        if (!arquivo.isEmpty())
            QVERIFY(QFile(dir.filePath(arquivo)).open(QIODevice::WriteOnly));
        if (!diretorio.isEmpty())
            QVERIFY(dir.mkpath(diretorio));
        const QString destino = dir.filePath(pasta);
        const auto permissoes = QFile::permissions(destino);
        const auto restaura = qScopeGuard([&] { QFile::setPermissions(destino, permissoes); });
        if (somenteLeitura) {
            QVERIFY(QFile::setPermissions(destino, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            QFile prova(dir.filePath(pasta + "/prova"));
            if (prova.open(QIODevice::WriteOnly)) {
                prova.remove();
                QSKIP("the folder's permissions do not hold this user back");
            }
        }
        const QStringList antes = conteudo();
        const QList<OrdemDosagem> plano = {Ordem(1), Ordem(2), Ordem(3)};
        const QString erro = GravaArquivosReceita(destino, kCabecalho, plano);
        if (!falha.isEmpty()) {
            QVERIFY2(erro.contains(QDir::toNativeSeparators(dir.filePath(falha))), qPrintable(erro));
            QCOMPARE(conteudo(), antes);
            return;
        }
        QCOMPARE(erro, QString());
        QStringList gravados = antes;
        for (const OrdemDosagem& o : plano) {
            gravados << QStringLiteral("r/0001234%1.xml").arg(o.sequencia);
            QFile f(dir.filePath(gravados.last()));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), ArquivoReceita(kCabecalho, o));
        }
        QCOMPARE(conteudo(), gravados);
    }

    // The sheet's scale in grams.
    void pesoBalancaLocal_data() {
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<int>("decimais");
        QTest::addColumn<QVariant>("peso");
        const QVariant nenhum;
        QTest::newRow("3 digits after the comma") << "+0012500g" << 2 << QVariant(12.5);
        QTest::newRow("1 digit after the comma") << "+0012500g" << 0 << QVariant(1250.0);
        QTest::newRow("minus") << "-0012500g" << 2 << QVariant(-12.5);
        QTest::newRow("no unit") << "+0012500" << 2 << nenhum;
        QTest::newRow("kilograms") << "0.5kg" << 2 << nenhum;
        QTest::newRow("no digits") << "ERRg" << 2 << nenhum;
        QTest::newRow("up to the first unit") << "+0012500g\r\n+0099999g" << 2 << QVariant(12.5);
    }

    void pesoBalancaLocal() {
        QFETCH(QString, resposta);
        QFETCH(int, decimais);
        EmCadaLocale([&] { QTEST(Resultado(PegaPesoBalancaLocal(resposta, u'g', decimais)), "peso"); });
    }
    // The weight in hundredths of a kilogram, digits only whatever the locale, then the parts padded.
    void montaBarra_data() {
        QTest::addColumn<double>("peso");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("lote");
        QTest::addColumn<int>("rolo");
        QTest::addColumn<QString>("barra");
        QTest::newRow("12,5 kg") << 12.5 << "123"
                                 << "7" << 2
                                 << "1250"
                                    "00000000123"
                                    "000045"
                                    "000007"
                                    "002";
        QTest::newRow("100 kg") << 100.0 << "123"
                                << "7" << 2
                                << "10000"
                                   "00000000123"
                                   "000045"
                                   "000007"
                                   "002";
        QTest::newRow("5 g rounds up") << 0.005 << "123"
                                       << "7" << 2
                                       << "0001"
                                          "00000000123"
                                          "000045"
                                          "000007"
                                          "002";
        QTest::newRow("7,3 kg") << 7.3 << "123"
                                << "7" << 2
                                << "0730"
                                   "00000000123"
                                   "000045"
                                   "000007"
                                   "002";
        QTest::newRow("long parts kept whole") << 24.35 << "ABCDEFGHIJKL"
                                               << "LOTE12345" << 1234
                                               << "2435"
                                                  "ABCDEFGHIJKL"
                                                  "000045"
                                                  "LOTE12345"
                                                  "1234";
    }
    void montaBarra() {
        QFETCH(double, peso);
        QFETCH(QString, codigo);
        QFETCH(QString, lote);
        QFETCH(int, rolo);
        EmCadaLocale([&] { QTEST(MontaBarra(peso, codigo, "45", lote, rolo), "barra"); });
    }

    // "item:seq:rolo" of each row; items "rolls" or "rolls-" when not shown.
    void numeraRolos_data() {
        QTest::addColumn<QString>("itens");
        QTest::addColumn<int>("pedidos");
        QTest::addColumn<QString>("linhas");
        QTest::newRow("3 + 2") << "3 2" << 0 << "0:1:1 0:2:2 0:3:3 1:1:4 1:2:5";
        QTest::newRow("second only") << "3- 2" << 0 << "1:1:4 1:2:5";
        QTest::newRow("first only") << "3 2-" << 2 << "0:1:1 0:2:2 0:3:3";
        QTest::newRow("extras after the sheet") << "3 2" << 7 << "0:1:1 0:2:2 0:3:3 1:1:4 1:2:5 1:3:6 1:4:7";
        QTest::newRow("extras of a filter") << "3- 2 1-" << 4 << "1:1:4 1:2:5 1:3:7 1:4:8";
        QTest::newRow("nothing shown") << "3- 2-" << 4 << "";
    }
    void numeraRolos() {
        QFETCH(QString, itens);
        QFETCH(int, pedidos);
        QList<ItemRolos> lista;
        for (const QString& i : itens.split(' '))
            lista.append({QString(i).remove('-').toInt(), !i.endsWith('-')});
        QStringList linhas;
        for (const RoloNumerado& r : NumeraRolos(lista, pedidos))
            linhas << QString("%1:%2:%3").arg(r.item).arg(r.seq).arg(r.nrRolo);
        QTEST(linhas.join(' '), "linhas");
    }

    // Parameters "taxes financial commission loss margin | freight packing fixed | minute's cost volume".
    void calculaPreco_data() {
        QTest::addColumn<QString>("parametros");
        QTest::addColumn<double>("receita");
        QTest::addColumn<QString>("curva");
        QTest::addColumn<double>("fixoManual");
        QTest::addColumn<double>("quimicoManual");
        QTest::addColumn<double>("tempo");
        QTest::addColumn<double>("preco");
        QTest::addColumn<double>("lucro");
        QTest::newRow("K 10, P 40") << "20 0 0 0 20|0 0 0|0 0" << 10.0 << "" << 0.0 << 0.0 << 0.0 << 16.67
                                    << 3.334;
        QTest::newRow("every cost and charge") << "17.28 2 3 2 18|0.15 0.08 2.4|1.85 600" << 2.38 << "04:30"
                                               << 0.0 << 0.0 << 0.8325 << 10.12 << 1.822;
        QTest::newRow("volume 0: the batch's figure")
            << "0 0 0 0 0|0 0 0|0.5 0" << 0.0 << "01:00" << 0.0 << 0.0 << 30.0 << 30.0 << 0.0;
        QTest::newRow("24 h and more")
            << "0 0 0 0 0|0 0 0|1 100" << 0.0 << "25:30" << 0.0 << 0.0 << 15.3 << 15.3 << 0.0;
        QTest::newRow("blank curve") << "0 0 0 0 0|0 0 0|1 100" << 1.0 << "" << 0.0 << 0.0 << 0.0 << 1.0
                                     << 0.0;
        QTest::newRow("odd curve") << "0 0 0 0 0|0 0 0|1 100" << 1.0 << "abc" << 0.0 << 0.0 << 0.0 << 1.0
                                   << 0.0;
        QTest::newRow("overrides") << "0 0 0 0 50|0 0 2.4|0 0" << 2.0 << "" << 3.0 << 5.0 << 0.0 << 16.0
                                   << 8.0;
        QTest::newRow("P 100") << "40 20 20 0 20|1 0 0|0 0" << 3.0 << "" << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("P 120") << "60 20 20 0 20|1 0 0|0 0" << 3.0 << "" << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    }
    void calculaPreco() {
        QFETCH(QString, parametros);
        const QStringList partes = parametros.split('|');
        const auto numeros = [&](int i) {
            QList<double> n;
            for (const QString& t : partes[i].split(' '))
                n << t.toDouble();
            return n;
        };
        const QList<double> pct = numeros(0), kg = numeros(1), tempo = numeros(2);
        ParametrosPreco p;
        p.icms = pct[0];
        p.financeiro = pct[1];
        p.comissao = pct[2];
        p.perda = pct[3];
        p.margem = pct[4];
        p.frete = kg[0];
        p.embalagem = kg[1];
        p.fixo = kg[2];
        p.custoMinuto = tempo[0];
        p.volume = tempo[1];
        QFETCH(QString, curva);
        QFETCH(double, receita);
        QFETCH(double, fixoManual);
        QFETCH(double, quimicoManual);
        QFETCH(double, preco);
        const PrecoCalculado r = CalculaPreco(p, receita, MinutosDoTempo(curva), fixoManual, quimicoManual);
        QTEST(Arredondar(r.composicao.tempo, 4), "tempo");
        QCOMPARE(r.preco, preco);
        QCOMPARE(r.semPreco, preco == 0);
        QTEST(Arredondar(r.lucro, 3), "lucro");
    }

    // Price 16.67 of costs 10 charged 20 % (margin 20 % asked); the services add to the price, not the costs.
    void calculaMargem_data() {
        QTest::addColumn<double>("preco");
        QTest::addColumn<double>("servicos");
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("margem");
        QTest::newRow("no services") << 16.67 << 0.0 << 16.67 << 20.012;
        QTest::newRow("services") << 16.67 << 3.33 << 20.0 << 30.0;
        QTest::newRow("below cost") << 5.0 << 0.0 << 5.0 << -120.0;
        QTest::newRow("total 0 keeps the margin") << 0.0 << 0.0 << 0.0 << 7.0;
    }
    void calculaMargem() {
        ComposicaoPreco c;
        c.quimico = 10;
        c.impostos = 20;
        QFETCH(double, preco);
        QFETCH(double, servicos);
        const MargemCalculada r = CalculaMargem(c, preco, servicos, {0, 7, 0.5});
        QTEST(r.precoTotal, "total");
        QTEST(Arredondar(r.margem, 3), "margem");
        QCOMPARE(Arredondar(r.lucro, 6), preco > 0 ? Arredondar(r.margem / 100 * r.precoTotal, 6) : 0.5);
    }

    void precoServicosETotais() {
        const QList<ServicoOrcado> servicos{{"02", 3.8}, {"03", 7.9}, {"07", 1.65}};
        QCOMPARE(PrecoServicos({"01", "03", "05", "07"}, servicos), 9.55);
        QCOMPARE(PrecoServicos({"01"}, servicos), 0.0);
        QCOMPARE(PrecoServicos({"03"}, {}), 0.0);
        const ResultadoItem nenhum = CalculaTotais({});
        QCOMPARE(nenhum.preco + nenhum.margem + nenhum.lucro, 0.0);
        const ResultadoItem media = CalculaTotais({{10, 20, 2}, {14, 10, 1.4}, {0, 0, 0}});
        QCOMPARE(media.preco, 8.0);
        QCOMPARE(media.margem, 10.0);
        QCOMPARE(Arredondar(media.lucro, 6), 1.133333);
        // 80 g of a 12.00 paste and 50 g of a 7.05 one per kilogram.
        QCOMPARE(CustoEstampa({{80, 12}, {50, 7.05}}), 1.3125);
        QCOMPARE(CustoEstampa({{0.02, 0.12345}}), 0.0);
        QCOMPARE(CustoEstampa({}), 0.0);
        const QStringList condicoes{"30/60/90", "28 42", "00", "0", "À VISTA", "30/ABC", ""};
        QStringList lidas;
        for (const QString& c : condicoes)
            lidas << MontaCondicao(c);
        QCOMPARE(lidas.join('|'), QString("30/60/90 dias|28/42 dias|À vista|À vista|À VISTA|30/ABC|"));
    }

    // Chemicals 2.38 and the demo's region 01 (a minute 1.85 shared by 600 kg) against a price.
    void custoCor_data() {
        QTest::addColumn<QString>("curva");
        QTest::addColumn<double>("volume");
        QTest::addColumn<double>("preco");
        QTest::addColumn<int>("minutos");
        QTest::addColumn<double>("total");
        QTest::addColumn<QString>("margem");
        QTest::newRow("curve and price") << "04:30" << 600.0 << 14.5 << 270 << 3.2125 << "77.84";
        QTest::newRow("a day and more") << "25:30" << 600.0 << 14.5 << 1530 << 7.0975 << "51.05";
        QTest::newRow("volume 0: the batch's figure") << "00:10" << 0.0 << 14.5 << 10 << 20.88 << "-44.00";
        QTest::newRow("blank curve") << "" << 600.0 << 2.38 << -1 << 2.38 << "0.00";
        QTest::newRow("odd curve") << "abc" << 600.0 << 2.0 << -1 << 2.38 << "-19.00";
        QTest::newRow("no price: no margin") << "04:30" << 600.0 << 0.0 << 270 << 3.2125 << "";
    }
    void custoCor() {
        QFETCH(QString, curva);
        QFETCH(double, volume);
        QFETCH(double, preco);
        const CustoCor c = CalculaCustoCor(2.38, curva, 1.85, volume, preco);
        QTEST(c.minutos, "minutos");
        QTEST(Arredondar(c.total, 4), "total");
        QTEST(c.margem ? QString::number(*c.margem, 'f', 2) : QString(), "margem");
    }

    void somaEspessuras_data() {
        QTest::addColumn<QString>("espessuras");
        QTest::addColumn<double>("soma");
        QTest::newRow("decimal comma") << "0,5|0,4|0,3" << 1.2;
        QTest::newRow("unreadable count nothing") << "0,5|abc|1,5 mm||0.5" << 0.5;
        QTest::newRow("thousands") << " 1.000,5 |2" << 1002.5;
        QTest::newRow("none") << "" << 0.0;
    }
    void somaEspessuras() {
        QFETCH(QString, espessuras);
        QTEST(Arredondar(SomaEspessuras(espessuras.split('|')), 6), "soma");
    }

    // The time worked on a lot of the day sheet; "?" stands for a time that is not one.
    void tempoPartida_data() {
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<QString>("tempo");
        QTest::newRow("within the day") << "08:00"
                                        << "12:30:15"
                                        << "04:30:15";
        QTest::newRow("across midnight") << "22:00:00"
                                         << "02:00:00"
                                         << "04:00:00";
        QTest::newRow("a minute past midnight") << "23:59:30"
                                                << "00:00:30"
                                                << "00:01:00";
        QTest::newRow("end at midnight counts nothing") << "22:00:00"
                                                        << "00:00:00"
                                                        << "00:00:00";
        QTest::newRow("typed as digits") << "730"
                                         << "8"
                                         << "00:30:00";
        QTest::newRow("same time") << "10:00"
                                   << "10:00"
                                   << "00:00:00";
        QTest::newRow("no end yet") << "10:00"
                                    << ""
                                    << "";
        QTest::newRow("minutes past 59") << "08:00"
                                         << "25:70"
                                         << "?";
        QTest::newRow("letters") << "ab"
                                 << "10:00"
                                 << "?";
    }
    void tempoPartida() {
        QFETCH(QString, inicio);
        QFETCH(QString, fim);
        QTEST(TempoPartida(inicio, fim).value_or(QStringLiteral("?")), "tempo");
    }
};

QTEST_MAIN(TstRegrasModulo)
#include "tst_regrasmodulo.moc"
