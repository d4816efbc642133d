#pragma once
#include "TFmRelatorio.h"

class TRelatorio;

// The representative report: the weight of the sheets whose steps finished in a period, per representative
// and customer.
class TFmRelTngRep : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelTngRep(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
};

// Its statement; /*BAIXA*/ the sector and the period of the steps, /*FILTROS*/ the representative.
QString InstrucaoTngRep();

// "WTngProgRep": customers grouped by representative, with subtotals.
void LayoutTngRep(TRelatorio& relatorio);

extern TFmRelTngRep* FmRelTngRep;
