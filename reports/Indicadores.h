#pragma once
#include "DefinicoesIndicadores.h"
#include "TFmRelatorio.h"
#include <QHash>

class QChartView;
class TClientDataSet;
class TDataSet;
class TRelatorio;
class TZoDBGrid;

// A figure's chart: categories along the bottom, a series each; a line instead of bars by month.
struct GraficoIndicador {
    QString titulo{}, eixo{};
    QStringList categorias{};
    QList<QPair<QString, QList<double>>> series{};
    bool linha = false;
    QList<int> linhas{}; // the grid row of each category
};

// The dye-house's indicators over a period: lots right the first time, reprocesses and their reasons, the
// machines' use of the shifts' hours, and how long a customer's fabric stays. Each page a chart and a grid;
// a double click on a row or a bar lists the lots behind it, and a lot there opens its sheet.
class TFmIndicadores : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmIndicadores(QWidget* parent = nullptr);

    // The steps' statement of the last Confirmar (the sheets' is UltimasInstrucoes()).
    const InstrucaoRelatorio& InstrucaoUso() const { return m_instrucaoUso; }
    // The list behind a figure: the lots of those numbers (lots or their sheets).
    void AbreLotes(const QStringList& numeros, const QString& titulo);

protected:
    void FormCreate() override;
    QString Identificador() const override;
    TDataSet* Impressos() const override;
    void PreparaImpressao(TRelatorio& relatorio) override;

private:
    struct Pagina {
        QString id{};
        TClientDataSet* dados = nullptr;
        TZoDBGrid* grade = nullptr;
        QChartView* grafico = nullptr;
        QString titulo{};
        QList<TClientDataSet*> secoes; // further lists of the page, printed as sections
    };
    enum { kPrimeira, kReprocessos, kUso, kPrazo };
    void Pivo(TDataSet& linhas, TClientDataSet& resultado);
    void LeUso(const QDate& de, const QDate& ate);
    void MostraGraficos();
    int PaginaAtual() const;
    QList<Pagina> m_paginas;
    QList<GraficoIndicador> m_graficos;
    QList<LoteIndicador> m_lotes;
    QHash<QString, int> m_lotePorFolha;
    QList<UsoMaquina> m_uso;
    InstrucaoRelatorio m_instrucaoUso;
};

// The sheets' statement: one row per sheet with a step ended in the period or still open.
QString InstrucaoIndicadores();

extern TFmIndicadores* FmIndicadores;
