#pragma once
#include <QList>
#include <QPair>
#include <functional>

class QKeyEvent;
class QString;
class QObject;
class TDataSet;
class TZoDBGrid;

// Row keys of an editable grid: Insert opens a new row above the current one, Down on the last row appends
// one (unless that row is a new one still blank), Ctrl+Del removes the current row. True when the key was
// used.
bool TeclaLinhaGrade(TZoDBGrid& grade, QKeyEvent* tecla);

// The column of this field takes the width the others leave, also after every reload of the rows.
void EsticaColuna(TZoDBGrid& grade, const QString& campo);

// Column widths in pixels by field, kept over every reload of the rows.
void DefineLarguras(TZoDBGrid& grade, const QList<QPair<const char*, int>>& larguras);

// Runs `acao` (protected) whenever the rows of the data set change: a value, a row added or removed, a
// reload; for totals shown under a grid. It stops with `contexto`.
void AcompanhaLinhas(TDataSet* dados, QObject* contexto, std::function<void()> acao);
