#pragma once
#include <QString>

// What an incoming invoice's items read from the database; the rules they feed are in RegrasNota.

// The largest lot of exactly six digits that stock (products of groups with lots) or any invoice item
// already has; "000000" when there is none.
QString MaiorLoteSequencial();
