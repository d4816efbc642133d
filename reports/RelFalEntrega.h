#pragma once
#include "TFmRelatorio.h"

class TRelatorio;

// The deliveries report: per customer, what its sheets billed in a period weighed and how many lots went
// before, on and after their forecast, with the mean days from a sheet's start to its delivery.
class TFmRelFalEntrega : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelFalEntrega(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
};

// Its statement: a row per sheet item billed; /*FILTROS*/ the period and the customer.
QString InstrucaoFalEntrega();

// "WTngFalEntrega": a line per customer.
void LayoutFalEntrega(TRelatorio& relatorio);

extern TFmRelFalEntrega* FmRelFalEntrega;
