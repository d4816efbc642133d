#pragma once
#include "TFmRelatorio.h"

class TClientDataSet;
class TDataSet;
class TRelatorio;

// The recipe list: a range of recipes and variants expanded for a batch the user describes (weight, fibre
// split, machine and bath), every item and every item of the recipe's preparation with what to weigh, its
// cost and its counter-type.
class TFmRelTngListaRec : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelTngListaRec(QWidget* parent = nullptr);

protected:
    void FormCreate() override;

private:
    void Pivo(TDataSet& linhas, TClientDataSet& resultado);
    double Volume();     // the batch's bath from the boxes, written to "Volume"
    int m_arredonda = 0; // the machine's rounding of the bath, in decimals
};

// Recipe items, then preparation items of recipes that have one, in the ranges at /*FILTROS*/.
QString InstrucaoListaReceitas();

// "WTngListaRec": the items per recipe and variant.
void LayoutListaReceitas(TRelatorio& relatorio);

extern TFmRelTngListaRec* FmRelTngListaRec;
