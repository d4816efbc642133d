#pragma once
#include "TFmRelatorio.h"

class TClientDataSet;
class TDataSet;
class TRelatorio;

// The dye-house billing report: the outgoing invoices of dyeing services of a period, summed per customer
// against the weight the customer sent in the period ("Resumido"), or item by item with the FAL each billed.
class TFmRelTngFat : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelTngFat(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
    bool ValidaFiltros() override;
    QString Identificador() const override;

private:
    void Pivo(TDataSet& linhas, TClientDataSet& resultado);
};

// The statements, detail's and summary's: /*FILTROS*/ the period, customer, invoices, FALs and the rest,
// /*REP*/ the representative of the invoice's receivables.
QString InstrucaoFaturamento();
QString InstrucaoFaturamentoResumo();
// The weight each customer sent, bounded by :DE (from) and :ATE (the day after the last), of customer :CLI.
QString InstrucaoPesoEntrada(bool de, bool ate, bool cliente);

// "WTngFat": the items per customer with subtotals; "WTngFatR": a line per customer.
void LayoutFaturamento(TRelatorio& relatorio);
void LayoutFaturamentoResumo(TRelatorio& relatorio);

extern TFmRelTngFat* FmRelTngFat;
