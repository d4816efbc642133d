#pragma once
#include <QString>

// What the programme and recipe issue read of a machine's capacity rows.

// True when the machine takes a lot of this variant, width and weight: a machine without capacity rows for
// the variant takes it; otherwise one of those rows must hold both values, bounds included. An empty bound
// is 0.
bool CapacidadeValida(const QString& maquina, const QString& variante, double largura, double peso);

// The bath for a lot of this variant on the machine: the first capacity row of the pair that names a bath
// replaces the bath shown so far.
QString BanhoCapacidade(const QString& maquina, const QString& variante, const QString& banhoAtual);
