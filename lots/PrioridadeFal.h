#pragma once
#include <QStringList>
#include <optional>

class QWidget;

// Asks a lot sheet's priority ("Prioridade da FAL", 1 proposed): the whole number typed, or none when the
// user cancelled or typed something else (then told "Prioridade inválida.").
std::optional<int> PedePrioridadeFal(QWidget* tela);

// Sets the sheets' priority (FAL.ORDEM) in one unit of work, committed, one audit line per sheet written,
// booked to `tela`. The sheets written: none when none exists.
int GravaPrioridadeFal(const QStringList& fals, int prioridade, QWidget* tela);
