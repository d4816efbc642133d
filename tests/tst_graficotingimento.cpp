// The dyeing curve as it is drawn: elapsed minutes, the points of a phase, the axes, the curve's time text,
// and the charts and picture made from them.
#include "GraficoTingimento.h"
#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

namespace {
// "CODE:temperature:minutes:phase;..."
QList<PassoCurva> passos(const QString& texto) {
    QList<PassoCurva> lista;
    for (const QString& passo : texto.split(';', Qt::SkipEmptyParts)) {
        const QStringList p = passo.split(':');
        lista.append({p[0], p[1].toInt(), p[2].toInt(), p[3]});
    }
    return lista;
}

// "minutes/temperature/label;..."
QString pontos(const QList<PontoCurva>& lista) {
    QStringList texto;
    for (const PontoCurva& p : lista)
        texto << QStringLiteral("%1/%2/%3").arg(p.minutos).arg(p.temperatura).arg(p.rotulo);
    return texto.join(';');
}

// The demo's two-phase reactive curve.
const QString kReativo = "A01:30:20:1;S01:60:30:1;P01:60:60:1;L01:40:20:2;E01:95:20:2;F01:40:15:2";
} // namespace

class TstGraficoTingimento : public QObject {
    Q_OBJECT
private slots:
    void temposTotais_data();
    void temposTotais();
    void pontosFase_data();
    void pontosFase();
    void eixosFase_data();
    void eixosFase();
    void tempoDaCurva_data();
    void tempoDaCurva();
    void graficoDeUmaFase();
    void figuraDaCurva();
};

void TstGraficoTingimento::temposTotais_data() {
    QTest::addColumn<QString>("passos");
    QTest::addColumn<QList<int>>("totais");
    QTest::newRow("nenhum passo") << "" << QList<int>{};
    QTest::newRow("um passo") << "P01:130:45:1" << QList<int>{45};
    QTest::newRow("tres passos") << "A:1:30:1;B:1:45:1;C:1:20:1" << QList<int>{30, 75, 95};
    QTest::newRow("passos sem tempo") << "A:1:0:1;B:1:10:1;C:1:0:1" << QList<int>{0, 10, 10};
    // Phase 2 goes on from where phase 1 ended.
    QTest::newRow("duas fases") << kReativo << QList<int>{20, 50, 110, 130, 150, 165};
}

void TstGraficoTingimento::temposTotais() {
    QFETCH(QString, passos);
    QTEST(TemposTotais(::passos(passos)), "totais");
}

void TstGraficoTingimento::pontosFase_data() {
    QTest::addColumn<QString>("passos");
    QTest::addColumn<QString>("fase");
    QTest::addColumn<QString>("pontos");
    const auto linha = [](const char* nome, const QString& passos, const char* fase, const char* pontos) {
        QTest::newRow(nome) << passos << QString(fase) << QString(pontos);
    };
    linha("nenhum passo", "", "1", "");
    linha("um passo", "P01:130:45:1", "1", "45/130/P01");
    linha("fase sem passos", "P01:130:45:1", "2", "");
    linha("sem extensao", "A01:80:0:1;B01:90:0:1", "1", "0/80/A01;0/90/B01");
    linha("mesma temperatura", "A01:60:10:1;B01:60:10:1", "1", "10/60/A01;20/60/B01");
    linha("fase 1", kReativo, "1", "20/30/A01;50/60/S01;110/60/P01");
    linha("fase 2 segue a 1", kReativo, "2", "130/40/L01;150/95/E01;165/40/F01");
    linha("codigos aparados", "A1 :50:5:2 ", "2", "5/50/A1");
}

void TstGraficoTingimento::pontosFase() {
    QFETCH(QString, passos);
    QFETCH(QString, fase);
    QTEST(::pontos(PontosFase(::passos(passos), fase)), "pontos");
}

void TstGraficoTingimento::eixosFase_data() {
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

void TstGraficoTingimento::eixosFase() {
    QFETCH(QString, passos);
    QFETCH(QString, fase);
    QFETCH(QList<double>, minutos);
    QFETCH(QList<double>, temperatura);
    const EixosCurva e = EixosFase(PontosFase(::passos(passos), fase));
    QCOMPARE((QList<double>{e.minutosDe, e.minutosAte, e.minutosPasso}), minutos);
    QCOMPARE((QList<double>{e.temperaturaDe, e.temperaturaAte, e.temperaturaPasso}), temperatura);
}

void TstGraficoTingimento::tempoDaCurva_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("minutos");
    QTest::newRow("horas e minutos") << "04:30" << 270;
    QTest::newRow("mais de 24 horas") << "27:30" << 1650;
    QTest::newRow("hora de um digito") << "4:30" << 270;
    QTest::newRow("cem horas") << "100:00" << 6000;
    QTest::newRow("espacos") << " 01:05 " << 65;
    QTest::newRow("minutos demais") << "04:60" << -1;
    QTest::newRow("sem dois pontos") << "0430" << -1;
    QTest::newRow("letras") << "ab:cd" << -1;
    QTest::newRow("vazio") << "" << -1;
    QTest::newRow("negativo") << "-1:00" << -1;
    QTest::newRow("mil horas") << "1000:00" << -1;
}

void TstGraficoTingimento::tempoDaCurva() {
    QFETCH(QString, texto);
    QFETCH(int, minutos);
    QCOMPARE(MinutosDoTempo(texto), minutos);
    // What is valid reads back the same way, as the registry stores it.
    if (minutos >= 0)
        QCOMPARE(MinutosDoTempo(TempoDosMinutos(minutos)), minutos);
    QCOMPARE(TempoDosMinutos(1650), QStringLiteral("27:30"));
    QCOMPARE(TempoDosMinutos(0), QStringLiteral("00:00"));
    QCOMPARE(TempoDosMinutos(-5), QString());
}

void TstGraficoTingimento::graficoDeUmaFase() {
    QChart grafico;
    for (int vez = 0; vez < 2; ++vez) // filled again, nothing of the first time is left
        MontaGraficoFase(grafico, passos(kReativo), 2);
    QCOMPARE(grafico.title(), QStringLiteral("Gráfico de Tingimento - Fase 2"));
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
    QCOMPARE(grafico.axes().size(), 2);
    auto* tempo = qobject_cast<QValueAxis*>(grafico.axes(Qt::Horizontal).value(0));
    auto* temperatura = qobject_cast<QValueAxis*>(grafico.axes(Qt::Vertical).value(0));
    QVERIFY(tempo && temperatura);
    QCOMPARE(temperatura->titleText(), QStringLiteral("Temperatura"));
    QCOMPARE((QList<double>{tempo->min(), tempo->max()}), (QList<double>{110, 170}));

    MontaGraficoFase(grafico, {}, 1); // no steps: axes, an empty line
    QCOMPARE(grafico.series().size(), 1);
    QCOMPARE(qobject_cast<QLineSeries*>(grafico.series()[0])->count(), 0);
    QCOMPARE(grafico.axes().size(), 2);
}

void TstGraficoTingimento::figuraDaCurva() {
    const QTemporaryDir pasta;
    const QString arquivo = pasta.filePath("dados/grafico.jpeg"); // the folder is made
    QVERIFY(GravaFiguraCurva(passos(kReativo), arquivo));
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
    const auto vermelho = [](const QColor& c) { return c.red() > 150 && c.blue() < 90 && c.green() < 90; };
    const auto azul = [](const QColor& c) { return c.blue() > 120 && c.red() < 80; };
    QVERIFY(tem(0, figura.height() / 2, vermelho));
    QVERIFY(!tem(figura.height() / 2, figura.height(), vermelho));
    QVERIFY(tem(figura.height() / 2, figura.height(), azul));
    QVERIFY(!GravaFiguraCurva(passos(kReativo), "/proc/kelm/grafico.jpeg"));
}

QTEST_MAIN(TstGraficoTingimento)
#include "tst_graficotingimento.moc"
