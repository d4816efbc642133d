#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// The programme's small rules, apart from the screen so that they are tested as tables.

// The next item order of a programme: one past the highest whole order among those given (1 when none).
int ProximaOrdem(const QVariantList& ordens);

// The weight of `rolo` pieces of an invoice item of `rolos` pieces weighing `pesoReal`; none when the item's
// pieces are unknown or fewer than asked.
std::optional<double> PesoDosRolos(int rolo, double pesoReal, int rolos);

// The highest dye-lot number among those given, read as numbers (text comparison puts "9" after "10");
// texts that are not numbers do not count.
qint64 MaiorPartida(const QStringList& partidas);

// Numbers the empty dye lots in order after `ultima`: the number each row gets, empty for rows that kept
// their own. Numbers are zero-padded to six digits.
QStringList NumeraPartidas(qint64 ultima, const QStringList& partidas);

// The distinct non-empty FAL numbers, in the order first seen.
QStringList FalsDistintas(const QStringList& fals);

// Whether entering the delivery date proposes the entry date plus the lead time: when the box is empty, or
// the entry date is no longer the one the date shown was stored or typed with (`entradaDaEntrega`, none
// while the date shown is only the screen's default). A date the user typed or the database holds stays.
bool PropoeEntrega(const QDate& entrega, const QDate& entrada, const QDate& entradaDaEntrega);

// A programme is late once its delivery date is today or earlier.
bool ProgramacaoVencida(const QDate& entrega, const QDate& hoje);

// Working fields an imported file never fills: they tie a row to a FAL, to its stored row or to what was
// loaded, and each row gets its own.
bool CampoNaoImportado(const QString& campo);
