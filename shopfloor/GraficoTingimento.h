#pragma once
#include "Formatacao.h" // the curve's duration: MinutosDoTempo
#include <QList>
#include <QString>

class QChart;
class QChartView;
class QPainter;
class QRectF;
class QWidget;
class TDataSet;

// The dyeing curve as it is drawn: the curve registry shows it while its steps are edited, recipe issue
// prints it. Each phase is a chart of temperature over the minutes elapsed since the curve began.

// A step of a curve, as far as the charts need it.
struct PassoCurva {
    QString codigo;
    int temperatura = 0;
    int tempo = 0; // minutes the step takes
    QString fase;  // "1" or "2"
    int ordem = 0;
    QString descricao{};
};

// Minutes elapsed at the end of each step, steps taken in the order given (the grid's): 30, 45, 20 gives
// 30, 75, 95. What PASSOS.TEMPO_TOTAL stores.
QList<int> TemposTotais(const QList<PassoCurva>& passos);

struct PontoCurva {
    double minutos = 0; // when the step ends
    double temperatura = 0;
    QString rotulo;    // the step's code
    double inicio = 0; // when the step began
};

// One point per step of the phase, at its end time and its temperature, in the steps' order; minutes as
// elapsed since the start of the whole curve. Points are in the steps' own units: the chart scales them.
QList<PontoCurva> PontosFase(const QList<PassoCurva>& passos, const QString& fase);

// The ranges of a phase's axes from the phase's start, with room for the labels above the points, and the
// steps between their marks (few enough to read); both ends of a range fall on a mark. Never empty: one step,
// steps that take no time, the same temperature throughout or no steps at all still make axes a chart can
// draw.
struct EixosCurva {
    double minutosDe = 0, minutosAte = 0, minutosPasso = 0;
    double temperaturaDe = 0, temperaturaAte = 0, temperaturaPasso = 0;
};
EixosCurva EixosFase(const QList<PontoCurva>& pontos);

// The steps of a data set with the fields CODIGO, TEMPERATURA, TEMPO and FASE (ORDEM and DESCRICAO when it
// has them), in its order.
QList<PassoCurva> PassosDe(const TDataSet& dados);


// The question to ask when a curve's duration as typed ("HH:MM") is not what its steps add up to; empty when
// it is, or when there is no duration or no step to compare.
QString AvisoTempoCurva(const QString& tempo, const QList<PassoCurva>& passos);

// "Gráfico de Tingimento - Fase 1"
QString TituloFase(int fase);

// Fills the chart with one phase of the curve (what it held before is removed): its title, the line
// through the points, each point labelled with its step's code, the axes "Temperatura" and minutes.
void MontaGraficoFase(QChart& grafico, const QList<PassoCurva>& passos, int fase);

// A chart view of its own for one phase, empty until filled.
QChartView* NovoGraficoFase(QWidget* pai, int fase);

// Both phases of the curve, one above the other, drawn into the rectangle (a report page, a picture).
void DesenhaCurva(QPainter& pintor, const QRectF& area, const QList<PassoCurva>& passos);
// The printed curve: both phases and under them the table of its steps, so that a step's code on the chart
// reads as a step on paper.
void DesenhaCurvaComPassos(QPainter& pintor, const QRectF& area, const QList<PassoCurva>& passos);

// The picture of the curve kept with the user's data ("grafico.jpeg" in the application's data folder).
QString ArquivoFiguraCurva();
// Both phases written as a JPEG picture; false when the file could not be written.
bool GravaFiguraCurva(const QList<PassoCurva>& passos, const QString& arquivo);
