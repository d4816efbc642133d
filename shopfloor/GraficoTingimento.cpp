#include "GraficoTingimento.h"
#include "DataSet.h"
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QStandardPaths>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {
const QColor kCores[] = {QColor(0xc0, 0x39, 0x2b), QColor(0x1f, 0x5f, 0x9a)};

// Axis steps a reader counts in: minutes by fives, quarters, halves and hours; degrees by tens.
constexpr double kPassosMinutos[] = {5, 10, 15, 30, 60, 120, 240, 480};
constexpr double kPassosTemperatura[] = {10, 20, 50, 100};
constexpr int kMarcasMaximas = 8;

// The first step that marks the extent with at most kMarcasMaximas intervals (the last one when none does).
template <std::size_t N> double Passo(double extensao, const double (&passos)[N]) {
    for (double passo : passos)
        if (extensao <= passo * kMarcasMaximas)
            return passo;
    return passos[N - 1];
}

// Room above the hottest point for its label.
constexpr double kFolgaRotulo = 10;
} // namespace

QList<int> TemposTotais(const QList<PassoCurva>& passos) {
    QList<int> totais;
    totais.reserve(passos.size());
    int soma = 0;
    for (const PassoCurva& passo : passos)
        totais << (soma += passo.tempo);
    return totais;
}

QList<PontoCurva> PontosFase(const QList<PassoCurva>& passos, const QString& fase) {
    const QList<int> totais = TemposTotais(passos);
    QList<PontoCurva> pontos;
    for (qsizetype i = 0; i < passos.size(); ++i)
        if (passos[i].fase.trimmed() == fase)
            pontos.append({double(totais[i]), double(passos[i].temperatura), passos[i].codigo.trimmed(),
                           double(totais[i] - passos[i].tempo)});
    return pontos;
}

EixosCurva EixosFase(const QList<PontoCurva>& pontos) {
    double inicio = 0, fim = 60, frio = 0, quente = 100;
    if (!pontos.isEmpty()) {
        inicio = fim = pontos.first().minutos;
        frio = quente = pontos.first().temperatura;
        for (const PontoCurva& ponto : pontos) {
            inicio = std::min({inicio, ponto.inicio, ponto.minutos});
            fim = std::max(fim, ponto.minutos);
            frio = std::min(frio, ponto.temperatura);
            quente = std::max(quente, ponto.temperatura);
        }
        frio = std::min(frio, 0.0);
        quente += kFolgaRotulo;
    }
    // Both ends on a mark; a range of no extent still spans one step.
    EixosCurva eixos;
    eixos.minutosPasso = Passo(fim - inicio, kPassosMinutos);
    eixos.minutosDe = std::max(0.0, std::floor(inicio / eixos.minutosPasso) * eixos.minutosPasso);
    eixos.minutosAte = std::max(std::ceil(fim / eixos.minutosPasso) * eixos.minutosPasso,
                                eixos.minutosDe + eixos.minutosPasso);
    eixos.temperaturaPasso = Passo(quente - frio, kPassosTemperatura);
    eixos.temperaturaDe = std::floor(frio / eixos.temperaturaPasso) * eixos.temperaturaPasso;
    eixos.temperaturaAte = std::max(std::ceil(quente / eixos.temperaturaPasso) * eixos.temperaturaPasso,
                                    eixos.temperaturaDe + eixos.temperaturaPasso);
    return eixos;
}

QList<PassoCurva> PassosDe(const TDataSet& dados) {
    const int codigo = dados.FieldIndex(QStringLiteral("CODIGO"));
    const int temperatura = dados.FieldIndex(QStringLiteral("TEMPERATURA"));
    const int tempo = dados.FieldIndex(QStringLiteral("TEMPO"));
    const int fase = dados.FieldIndex(QStringLiteral("FASE"));
    const int ordem = dados.FieldIndex(QStringLiteral("ORDEM"));
    const int descricao = dados.FieldIndex(QStringLiteral("DESCRICAO"));
    auto valor = [&](int linha, int campo) { return campo < 0 ? QVariant() : dados.ValueAt(linha, campo); };
    QList<PassoCurva> passos;
    passos.reserve(dados.RecordCount());
    for (int linha = 0; linha < dados.RecordCount(); ++linha)
        passos.append({valor(linha, codigo).toString(), valor(linha, temperatura).toInt(),
                       valor(linha, tempo).toInt(), valor(linha, fase).toString(),
                       valor(linha, ordem).toInt(), valor(linha, descricao).toString()});
    return passos;
}

QString AvisoTempoCurva(const QString& tempo, const QList<PassoCurva>& passos) {
    const int minutos = MinutosDoTempo(tempo);
    const QList<int> totais = TemposTotais(passos);
    if (minutos < 0 || totais.isEmpty() || totais.last() == minutos)
        return {};
    return QStringLiteral("O tempo do gráfico (%1) não confere com a duração dos passos (%2). Deseja gravar "
                          "assim mesmo?")
        .arg(TempoDosMinutos(minutos), TempoDosMinutos(totais.last()));
}

QString TituloFase(int fase) {
    return QStringLiteral("Gráfico de Tingimento - Fase %1").arg(fase);
}

namespace {
// The chart's own axis of that orientation, made the first time it is drawn and kept: an axis removed leaves
// its drawing in the view until the event loop deletes it, a second scale over the new one.
QValueAxis* Eixo(QChart& grafico, Qt::Orientation orientacao, const QString& titulo) {
    if (auto* eixo = qobject_cast<QValueAxis*>(grafico.axes(orientacao).value(0)))
        return eixo;
    auto* eixo = new QValueAxis(&grafico);
    eixo->setTitleText(titulo);
    eixo->setTickType(QValueAxis::TicksDynamic);
    eixo->setLabelFormat(QStringLiteral("%d"));
    // Small enough for a chart of half a screen to show every mark's number.
    QFont fonte = eixo->labelsFont();
    fonte.setPointSizeF(8);
    eixo->setLabelsFont(fonte);
    grafico.addAxis(eixo, orientacao == Qt::Horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    return eixo;
}
} // namespace

void MontaGraficoFase(QChart& grafico, const QList<PassoCurva>& passos, int fase) {
    grafico.removeAllSeries();
    grafico.setTitle(TituloFase(fase));
    QFont titulo = grafico.titleFont();
    titulo.setBold(true);
    grafico.setTitleFont(titulo);
    grafico.legend()->hide();

    const QList<PontoCurva> pontos = PontosFase(passos, QString::number(fase));
    const EixosCurva eixos = EixosFase(pontos);
    QValueAxis* minutos = Eixo(grafico, Qt::Horizontal, QStringLiteral("Tempo (min)"));
    minutos->setRange(eixos.minutosDe, eixos.minutosAte);
    minutos->setTickAnchor(eixos.minutosDe);
    minutos->setTickInterval(eixos.minutosPasso);
    QValueAxis* temperatura = Eixo(grafico, Qt::Vertical, QStringLiteral("Temperatura"));
    temperatura->setRange(eixos.temperaturaDe, eixos.temperaturaAte);
    temperatura->setTickAnchor(eixos.temperaturaDe);
    temperatura->setTickInterval(eixos.temperaturaPasso);

    const QColor cor = kCores[fase == 2 ? 1 : 0];
    auto anexa = [&](QXYSeries* serie) {
        grafico.addSeries(serie);
        serie->attachAxis(minutos);
        serie->attachAxis(temperatura);
    };
    auto* linha = new QLineSeries(&grafico);
    linha->setPen(QPen(cor, 2));
    for (const PontoCurva& ponto : pontos)
        linha->append(ponto.minutos, ponto.temperatura);
    anexa(linha);
    // Labels are one format per series: each point is a series of its own, so it carries its step's code.
    for (const PontoCurva& ponto : pontos) {
        auto* marca = new QScatterSeries(&grafico);
        marca->append(ponto.minutos, ponto.temperatura);
        marca->setMarkerSize(8);
        marca->setColor(cor);
        marca->setBorderColor(cor);
        marca->setPointLabelsFormat(QString(ponto.rotulo).replace(QLatin1Char('@'), QLatin1Char(' ')));
        marca->setPointLabelsVisible(true);
        marca->setPointLabelsClipping(false);
        anexa(marca);
    }
}

QChartView* NovoGraficoFase(QWidget* pai, int fase) {
    auto* vista = new QChartView(new QChart, pai);
    vista->setObjectName(QStringLiteral("GrFase%1").arg(fase));
    vista->setRenderHint(QPainter::Antialiasing);
    vista->setMinimumSize(320, 220);
    MontaGraficoFase(*vista->chart(), {}, fase);
    return vista;
}

void DesenhaCurva(QPainter& pintor, const QRectF& area, const QList<PassoCurva>& passos) {
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const double altura = area.height() / 2;
    // Charts are laid out at a screen-like size and scaled into the room, so their fonts keep their
    // proportions on any device; a wide, low room (a landscape page) still gives the axes' labels the height
    // they need.
    const double proporcao = area.width() / altura;
    const double alturaLogica = std::max(720 / proporcao, 260.0);
    const QSizeF logico(alturaLogica * proporcao, alturaLogica);
    for (int fase = 1; fase <= 2; ++fase) {
        QGraphicsScene cena;
        auto* grafico = new QChart;
        cena.addItem(grafico);
        MontaGraficoFase(*grafico, passos, fase);
        grafico->setGeometry(QRectF(QPointF(0, 0), logico));
        grafico->layout()->activate();
        const QRectF destino(area.left(), area.top() + (fase - 1) * altura, area.width(), altura);
        cena.render(&pintor, destino, QRectF(QPointF(0, 0), logico), Qt::KeepAspectRatio);
    }
}

namespace {
// One line per step under a heading, in the steps' order, with the minutes elapsed at each step's end.
void DesenhaPassos(QPainter& pintor, const QRectF& area, const QList<PassoCurva>& passos, double linha) {
    const QStringList titulos = {QStringLiteral("Fase"),        QStringLiteral("Ordem"),
                                 QStringLiteral("Código"),      QStringLiteral("Descrição"),
                                 QStringLiteral("Temperatura"), QStringLiteral("Tempo (min)"),
                                 QStringLiteral("Total (min)")};
    constexpr double larguras[] = {1, 1, 1.2, 5, 1.8, 1.6, 1.6};
    double soma = 0;
    for (double largura : larguras)
        soma += largura;
    const QList<int> totais = TemposTotais(passos);
    QFont fonte = pintor.font();
    fonte.setPixelSize(std::max(1, int(linha * 0.7)));
    pintor.setPen(Qt::black);
    for (qsizetype l = -1; l < passos.size(); ++l) {
        fonte.setBold(l < 0);
        pintor.setFont(fonte);
        QStringList celulas = titulos;
        if (l >= 0) {
            const PassoCurva& p = passos[l];
            celulas = {p.fase.trimmed(),          QString::number(p.ordem),       p.codigo.trimmed(),
                       p.descricao.trimmed(),     QString::number(p.temperatura), QString::number(p.tempo),
                       QString::number(totais[l])};
        }
        double x = area.left();
        const double y = area.top() + (l + 1) * linha;
        for (qsizetype c = 0; c < celulas.size(); ++c) {
            const double largura = area.width() * larguras[c] / soma;
            const QRectF celula(x, y, largura - linha * 0.3, linha);
            const Qt::Alignment lado = c == 3 || c == 2 ? Qt::AlignLeft : Qt::AlignRight;
            pintor.drawText(
                celula, int(lado | Qt::AlignVCenter),
                QFontMetricsF(fonte, pintor.device()).elidedText(celulas[c], Qt::ElideRight, celula.width()));
            x += largura;
        }
        if (l < 0)
            pintor.drawLine(QPointF(area.left(), y + linha), QPointF(area.right(), y + linha));
    }
}
} // namespace

void DesenhaCurvaComPassos(QPainter& pintor, const QRectF& area, const QList<PassoCurva>& passos) {
    if (area.width() <= 0 || area.height() <= 0)
        return;
    // Lines as tall as the page's width reads well, smaller when the steps would take more than half of it.
    const double linha = std::min(area.width() / 45, area.height() / 2 / (passos.size() + 1));
    const double tabela = linha * (passos.size() + 1);
    DesenhaCurva(pintor, QRectF(area.topLeft(), QSizeF(area.width(), area.height() - tabela - linha)),
                 passos);
    DesenhaPassos(pintor, QRectF(area.left(), area.bottom() - tabela, area.width(), tabela), passos, linha);
}

QString ArquivoFiguraCurva() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("grafico.jpeg"));
}

bool GravaFiguraCurva(const QList<PassoCurva>& passos, const QString& arquivo) {
    QImage figura(1200, 1100, QImage::Format_RGB32);
    figura.fill(Qt::white);
    {
        QPainter pintor(&figura);
        pintor.setRenderHint(QPainter::Antialiasing);
        DesenhaCurva(pintor, QRectF(0, 0, figura.width(), figura.height()), passos);
    }
    return QDir().mkpath(QFileInfo(arquivo).absolutePath()) && figura.save(arquivo, "JPEG", 90);
}
