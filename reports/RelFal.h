#pragma once
#include "TFmRelatorio.h"

class TRelatorio;

// The FAL report: lot sheet items with their customer, colour, variant, print, route, current or last step,
// billing state, prices and origin, under many filters and twelve orders; the same items by sector and the
// period's quality records on pages of their own.
class TFmRelFal : public TFmRelatorio {
    Q_OBJECT
public:
    explicit TFmRelFal(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
    QString Identificador() const override;
};

// The statements: items (/*PASSO*/ the current step's join, /*ORDEM*/ the order), by sector, quality records.
QString InstrucaoFal();
QString InstrucaoFalSetor();
QString InstrucaoFalQualidade();

// The identifier an order prints under: "WTngFalIten", "WTngFalCor", "WTngFalVar", "WTngFalEst" or
// "WTngFalNum".
QString IdentificadorFal(int ordem);

void LayoutFalNum(TRelatorio& relatorio);
void LayoutFalIten(TRelatorio& relatorio);
void LayoutFalCor(TRelatorio& relatorio);
void LayoutFalVar(TRelatorio& relatorio);
void LayoutFalEst(TRelatorio& relatorio);

extern TFmRelFal* FmRelFal;
