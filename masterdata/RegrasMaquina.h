#pragma once
#include <QList>
#include <QString>

// Rules of a machine's registry, apart from its screen: the lots its capacity takes, its residual value.

// One capacity row of a machine for a variant: widths in centimetres, weights in kilograms; an empty bound
// is 0.
struct FaixaCapacidade {
    double largDe = 0, largAte = 0, pesoMin = 0, pesoMax = 0;
};

// A lot's width as the invoice gives it, in metres, in the centimetres of a machine's capacity, to the
// millimetre: 1,503 m is exactly the 150,3 cm typed as a bound.
double LarguraEmCentimetros(double metros);

// Empty when the machine takes a lot of this width (metres) and weight: a machine without capacity rows for
// the variant takes it; otherwise one of those rows must hold both values, bounds included. Else the refusal,
// naming what is out, the lot's value and the rows' bounds with their units.
QString ForaDaCapacidade(const QString& maquina, const QString& variante,
                         const QList<FaixaCapacidade>& faixas, double larguraMetros, double peso);

// "R$" and the machine's value less its depreciation so far; empty while either depreciation box is blank.
QString ValorZazid(const QString& valor, const QString& depreciacaoMensal, const QString& meses);
