#pragma once
#include <QDateTime>
#include <QList>
#include <QStringList>

// What the scheduling board forecasts, apart from where the times come from.

// A dye lot's curve time in minutes: the curve durations ("hh:mm", seconds dropped) of its pending steps, one
// per sheet and phase, added up; -1 when one of them has none or is not a time.
int TempoDoLote(const QStringList& tempos);

// When a step started: its day at its hour as typed ("22:00", "8:00", "22:00:30"), at the day's start when
// the hour is blank or unreadable; invalid without a day.
QDateTime InicioDoPasso(const QDate& dia, const QString& hora);

// A lot of a machine's queue: whether its current step was started, and when; its curve time (-1: none).
struct LoteFila {
    bool iniciado = false;
    QDateTime inicio;
    int minutos = -1;
};
// When it starts and ends; the end is invalid when its time is not known.
struct PrevisaoLote {
    QDateTime inicio, fim;
};
// The queue in order: a started lot from its recorded start, a lot not started from the later of now and the
// forecast end of the lots ahead; each ends its curve time later, across midnight into the days after.
QList<PrevisaoLote> PrevisaoFila(const QList<LoteFila>& fila, const QDateTime& agora);
