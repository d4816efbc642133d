#pragma once
#include "TFmRelatorio.h"
#include <QHash>

class QChartView;
class TClientDataSet;
class TDataSet;
class TRelatorio;

// The production report: the steps recorded on the floor with their lot, machine, curve, shift, operator,
// times and weights, under many filters and thirteen orders; each step's processing time, the machines'
// idle time between lots on demand, and the weight per shift and day as a chart.
class TFmRelTngMov : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelTngMov(QWidget* parent = nullptr);

    void CalcularTempoParado1Click();
    void BtGerarClick();
    void BtImpGraficoClick();

protected:
    void FormCreate() override;
    bool ValidaFiltros() override;
    void PreparaImpressao(TRelatorio& relatorio) override;

private:
    void Pivo(TDataSet& linhas, TClientDataSet& resultado);
    TClientDataSet* TbGrafico;
    QChartView* Grafico;
    QHash<QString, QString> m_turnos; // the shifts' descriptions, for the series' titles
};

// The statement, table names as placeholders; markers /*FILTROS*/ and /*ORDEM*/.
QString InstrucaoProducao();

// "WTngMov": the steps grouped by the order's first key, weights subtotalled.
void LayoutProducao(TRelatorio& relatorio);

extern TFmRelTngMov* FmRelTngMov;
