#pragma once
#include "TFmRelatorio.h"

class TRelatorio;

// The sector report: the weight each phase finished in a period.
class TFmRelTngSetor : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelTngSetor(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
};

// Its statement; /*FILTROS*/ the sector and the period.
QString InstrucaoTngSetor();

// "WTngProgSetor": a line per phase with its weight.
void LayoutTngSetor(TRelatorio& relatorio);

extern TFmRelTngSetor* FmRelTngSetor;
