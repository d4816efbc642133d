#pragma once
#include <optional>

class QWidget;

// Asks a lot sheet's priority ("Prioridade da FAL", 1 proposed): the whole number typed, or none when the
// user cancelled or typed something else (then told "Prioridade inválida.").
std::optional<int> PedePrioridadeFal(QWidget* tela);
