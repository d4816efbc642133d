#pragma once
#include "HostExport.h"
#include <QString>
#include <QTime>
#include <QVariant>

// The one way values become text, and typed text becomes values. SQL literals are written by Aspas,
// PermanecePonto, DataSQL and HoraSQL (Funcoes.h).

// What a user reads, in boxes, grids and reports alike: decimal numbers the Brazilian way (1.234,56), with
// the decimals given, or as many as the value needs up to six when decimals is -1; whole numbers as they
// are (codes, counts); dates 31/12/2026; moments 31/12/2026 14:30; a null value as an empty text.
// Without grouping, 1234,56: for a label or a file read back by machine.
KELMHOST_EXPORT QString TextoExibicao(const QVariant& value, int decimals = -1, bool agrupa = true);

// A value as program text (codes and keys compared in code, Busca_Valor): numbers plain, with a point and
// no grouping, dates 31/12/2026, moments 31/12/2026 14:30:00.
KELMHOST_EXPORT QString TextoValor(const QVariant& value);

// A number typed as the screens show it: an optional sign, digits grouped by points in threes, a decimal
// comma ("1.400" is 1400, "1.400,5" 1400.5, "1,4" 1.4). False for anything else, "1.40" and "12.5" among
// them: read one way or the other they would store a value a thousand times off.
KELMHOST_EXPORT bool LeNumero(const QString& text, double& value);

// Kilograms in whole grams: weights are summed and compared in grams, where 10,2 + 79,4 + 10,4 is exactly
// 100 kg, and never as binary fractions.
KELMHOST_EXPORT qint64 Gramas(double quilos);

// A date typed as the screens show it ("05/03/2026") or with one-digit day and month ("5/3/2026"). Invalid
// for anything else, and for a year outside 1900-2099: "0001" or "0226" is a slip of the keys, not a date a
// dye-house works with.
KELMHOST_EXPORT QDate LeData(const QString& text);

// A time of day typed as people type it: "08:00", "8:00", "08:00:30", "0800", "800" or "8" (the hour alone).
// Invalid for anything else, "25:00", "12:60" and "ab" among them.
KELMHOST_EXPORT QTime LeHora(const QString& text);

// A duration as the curve registry stores it, "HH:MM", hours past 24 too ("27:30"), or with seconds, which
// are dropped ("02:15:30" is 135): its minutes, or -1 when the text is not one (minutes or seconds past 59,
// no colon, letters).
KELMHOST_EXPORT int MinutosDoTempo(const QString& texto);
// The other way: 1650 minutes is "27:30"; nothing for a negative number.
KELMHOST_EXPORT QString TempoDosMinutos(int minutos);
