#pragma once
#include "TFmRelatorio.h"

class TRelatorio;

// Monthly billing: for a year, the weight billed each month per customer or per colour, of this company or
// of every company of the group.
class TFmRelTngFatMes : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelTngFatMes(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
    QString ResolveTabelas(const QString& sql) const override;
};

// Its statement under each option of RgBusca (0 customer, 1 colour); /*FILTROS*/ the year and the customer.
QString InstrucaoFatMes(int busca);

// "WTngFatMes": a line per customer or colour, a column per month and the year's total.
void LayoutFatMes(TRelatorio& relatorio);

extern TFmRelTngFatMes* FmRelTngFatMes;
