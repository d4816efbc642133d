#pragma once
#include "RegrasEstamparia.h"
#include <QHash>
#include <QStringList>

class TZoQuery;

// What the print shop reads of its pastes.

// The cost of each paste product, its components read in one statement; a component's substitute is its
// first immediate one by code, so two of them never count it twice.
QHash<QString, CustoDaPasta> LeCustosPastas(const QStringList& produtos);

// The compositions of the pastes, in their order, each component with its cost and its first active
// substitute by code (its share and cost): what the paste list prints.
void LeComposicoes(TZoQuery& q, const QStringList& produtos);
