#pragma once
#include <functional>

class QKeyEvent;
class QObject;
class TDataSet;
class TZoDBGrid;

// Row keys of an editable grid: Insert opens a new row above the current one, Down on the last row appends
// one (unless that row is a new one still blank), Ctrl+Del removes the current row. True when the key was
// used.
bool TeclaLinhaGrade(TZoDBGrid& grade, QKeyEvent* tecla);

// Runs `acao` (protected) whenever the rows of the data set change: a value, a row added or removed, a
// reload; for totals shown under a grid. It stops with `contexto`.
void AcompanhaLinhas(TDataSet* dados, QObject* contexto, std::function<void()> acao);
