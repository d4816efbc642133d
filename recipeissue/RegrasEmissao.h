#pragma once
#include <QString>

// What a batch recipe computes, apart from where its figures come from.

// The bath of a batch, in litres: weight × proportion rounded to the machine's decimals, then raised to
// the machine's minimum and lowered to its maximum (the maximum last). A bound of 0 is no bound: a machine
// without a maximum does not empty every bath.
double VolumeBanho(double pesoKg, double proporcao, int casas, double minimo, double maximo);

// Grams of one recipe line for a batch: "GL" is grams per litre of bath, "%" per cent of the batch weight
// (of the fibre the line is for, "1" or "2", when the batch has a share of it); any other unit gives none.
// A material's concentration above 0 takes that share of it.
double GramasDaLinha(double quantidade, const QString& unidade, const QString& fibra, double concentracao,
                     double pesoKg, double volumeL, double fibra1, double fibra2);

// Whether a short material's substitute is taken for `necessidadeKg` of it: the substitute's own need is
// `concentracao` per cent of that, and its stock must cover that need (a substitute kept out of stock
// always does).
bool TomaContratipo(double necessidadeKg, double concentracao, bool semEstoque, double estoqueKg);
