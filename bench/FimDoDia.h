#pragma once
#include <QStringList>

class TZoDatabase;

// What must hold in a dye-house's database after any day of work, whoever worked in it.

// The statements that list the invoice items and invoices out of balance: an item's free weight is what it
// holds less what lot sheets took (and is never below `minimo`), what lot sheets took is the sum of the
// sheets' items on it, an invoice's balance is the sum of its items' free weight, and no sheet item takes
// from an invoice item that does not exist.
QStringList InstrucoesDesequilibrioNota(double minimo = -0.0001);

// The statements that list lot sheets whose items or steps do not hang together: an item of no sheet, a
// step of no item, an item on a route that has no step.
QStringList InstrucoesIncoerenciaFal();

// The statement that lists the stock positions whose balance is not the sum of their movements.
QStringList InstrucoesDesequilibrioEstoque();

// Every row those statements return, as "statement number: columns joined by '|'".
QStringList LinhasDeConferencia(TZoDatabase& db, const QStringList& instrucoes);
