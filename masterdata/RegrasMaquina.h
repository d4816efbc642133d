#pragma once
#include <QString>

// Rules of a machine's registry, apart from its screen.

// "R$" and the machine's value less its depreciation so far; empty while either depreciation box is blank.
QString ValorZazid(const QString& valor, const QString& depreciacaoMensal, const QString& meses);
