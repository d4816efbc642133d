#pragma once
#include <QString>
#include <optional>

// The rules of an employee's day sheet of dye lots.

// A time typed as people type it ("8", "0800", "8:00") as the sheet stores it, "08:00:00"; empty stays
// empty; none for what is not a time ("25:70", "ab").
std::optional<QString> HoraDaFolha(const QString& digitada);

// The time worked on a lot, "HH:MM:SS": an end of 00:00:00 counts nothing; an end before the start is
// work across midnight, (23:59 - start) + (end + 00:01); otherwise end - start. Empty when either time is
// empty, none when either is not a time.
std::optional<QString> TempoPartida(const QString& inicio, const QString& fim);
