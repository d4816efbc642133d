#pragma once
#include <QList>
#include <QString>

// What the billing report and the recipe list compute, apart from where their figures come from.

// Grams of a recipe or preparation item for the batch the list is made for, as recipe issue weighs it
// (GramasDaLinha), kept at four decimals.
double ConsumoItem(double qtde, const QString& unidade, const QString& fibra, double concentracao,
                   double pesoKg, double volumeL, double fibra1, double fibra2);

// How much of the counter-type product stands for `qtde` of the item: its concentration per cent of it.
double QtdeContratipo(double concentracao, double qtde);

// A customer's line of the billing summary.
struct LinhaResumo {
    QString codcli, nome;
    double valor = 0, peso = 0, pesoEntrada = 0;
};

// The summary's orders ("Ordem"): by customer code; by entry weight, heaviest first; by the value billed as
// shown (two decimals), highest first. Ties go by customer code.
enum class OrdemResumo { Cliente, PesoEntrada, ValorFaturado };
void OrdenaResumo(QList<LinhaResumo>& linhas, OrdemResumo ordem);
