#pragma once
#include "TFmRelatorio.h"

class TRelatorio;

// Prices by print group: for a price table, each colour's price in each of its variants' print groups, side
// by side.
class TFmRelPrecoVar : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelPrecoVar(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
};

// Its statement: the colour's own price per print group; /*FILTROS*/ the table.
QString InstrucaoPrecoVar();

// "WTngPrecoVar": a line per colour, a column per group.
void LayoutPrecoVar(TRelatorio& relatorio);

extern TFmRelPrecoVar* FmRelPrecoVar;
