#pragma once
#include "TFmRelatorio.h"

class TClientDataSet;
class TDataSet;
class TRelatorio;

// The colour cost report: for one price region, what each dyed colour (a recipe) or each print (its screens'
// pastes) costs per kilogram, with its curve's time at the region's cost of a minute, against the table's
// prices, so a price that no longer pays its costs shows.
class TFmRelCustoCor : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelCustoCor(QWidget* parent = nullptr);

protected:
    void FormCreate() override;

private:
    void Pivo(TDataSet& linhas, TClientDataSet& resultado);
};

// The statements the screen runs, colours' and prints', with their markers: /*TABELA*/ the region,
// /*FILTROS*/ the variants, /*PRECO*/ only rows with a price.
QString InstrucaoCustoCores();
QString InstrucaoCustoEstampas();

// "WTngCustoCor": a line per colour or print with its costs, prices and margin.
void LayoutCustoCor(TRelatorio& relatorio);

extern TFmRelCustoCor* FmRelCustoCor;
