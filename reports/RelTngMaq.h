#pragma once
#include "TFmRelatorio.h"

class TRelatorio;

// The machine report: the lots each machine dyed in a period, with their curves' time summed.
class TFmRelTngMaq : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelTngMaq(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
};

// Its statement: a lot per machine, recipe and curve; /*FILTROS*/ the period, the options and the machine.
QString InstrucaoTngMaq();

// "WTngProgMaq": a line per machine, its lots and time.
void LayoutTngMaq(TRelatorio& relatorio);

extern TFmRelTngMaq* FmRelTngMaq;
