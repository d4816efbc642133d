#pragma once
#include "RegrasMaquina.h"
#include <QString>

class TZoDatabase;

// What the programme and recipe issue read of a machine's capacity rows.

// The machine's capacity rows for the variant, in their order; what ForaDaCapacidade judges a lot against.
// On `conexao`, the host connection when null.
QList<FaixaCapacidade> FaixasCapacidade(const QString& maquina, const QString& variante,
                                        TZoDatabase* conexao = nullptr);

// The bath for a lot of this variant on the machine: the first capacity row of the pair that names a bath
// replaces the bath shown so far.
QString BanhoCapacidade(const QString& maquina, const QString& variante, const QString& banhoAtual);
