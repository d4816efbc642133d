#pragma once
#include <QString>

// What the kitchen's weighing decides, apart from the scale and the tables.

// A weighed line against the grams it calls for, within the material's tolerance in percent of what was
// weighed.
enum class VereditoPesagem { Aceito, Acima, Insuficiente };
VereditoPesagem JulgaPesagem(double pesoG, double consumoG, double toleranciaPerc);
// The text a rejected verdict shows; empty when accepted.
QString TextoVeredito(VereditoPesagem veredito);

// A named scale's multiplier as typed: a whole number above 0, else 1.
int ConversorBalanca(const QString& texto);

// Grams from a reading: kilograms × 1000 when the frame named its unit, otherwise the bare number times the
// scale's multiplier, rounded to the gram when that is not 1.
double GramasDaLeitura(double kg, bool unidadeNomeada, int conversor);

// A line weighed: F5 replaces what was weighed, F6 adds to it. Accepted, the line is to be written off;
// rejected, it is not (even when an earlier weighing had been accepted), and keeps the weight taken so F6
// can add to it.
struct PesagemLinha {
    double pesoG = 0;
    VereditoPesagem veredito = VereditoPesagem::Insuficiente;
    bool baixar = false;
};
PesagemLinha PesaLinha(double pesoAnteriorG, double lidoG, bool soma, double consumoG, double toleranciaPerc);
