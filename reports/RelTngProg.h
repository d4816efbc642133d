#pragma once
#include "TFmRelatorio.h"

class TRelatorio;

// The programme report: the programme items typed in a period, with their sheet's billing and reprocessing,
// grouped by programme, customer or colour.
class TFmRelTngProg : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelTngProg(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
};

// Its statement under each grouping of RgGrupo (0 programme, 1 customer, 2 colour); /*FILTROS*/ the filters.
QString InstrucaoTngProg(int grupo);

// "WTngProg": the items grouped as the rows were read (their GRUPO), with subtotals.
void LayoutTngProg(TRelatorio& relatorio);

extern TFmRelTngProg* FmRelTngProg;
