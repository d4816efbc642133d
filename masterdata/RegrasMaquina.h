#pragma once
#include <QList>
#include <QString>
#include <optional>

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

// A bound typed into a box or a cell, named by its caption; no value when left empty.
struct Limite {
    QString nome;
    std::optional<double> valor;
};

// What is wrong with a range as typed, the first found: a bound below 0 (weights, widths and volumes never
// are), then the lower bound above the upper one (an empty bound limits nothing). The message names the
// field; empty when the range may be stored.
struct RecusaLimite {
    QString mensagem;
    bool maximo = false; // the upper bound is the one to correct
};
RecusaLimite RecusaFaixa(const Limite& minimo, const Limite& maximo);
// A code typed that must name a stored row (a bath, a phase): empty when it does or when none was typed;
// else the refusal, naming the field.
QString RecusaCodigo(const QString& nome, const QString& codigo, bool cadastrado);

// "R$" and the machine's value less its depreciation so far; empty while either depreciation box is blank.
QString ValorZazid(const QString& valor, const QString& depreciacaoMensal, const QString& meses);
