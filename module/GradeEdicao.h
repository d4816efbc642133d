#pragma once
#include <QString>
#include <functional>

class QKeyEvent;
class QObject;
class QWidget;
class TDataSet;
class TZoDBGrid;

// Row keys of an editable grid: Insert opens a new row above the current one, Down on the last row appends
// one (unless that row is a new one still blank), Ctrl+Del removes the current row. True when the key was
// used.
bool TeclaLinhaGrade(TZoDBGrid& grade, QKeyEvent* tecla);

// Runs `acao` (protected) whenever the rows of the data set change: a value, a row added or removed, a
// reload; for totals shown under a grid. It stops with `contexto`.
void AcompanhaLinhas(TDataSet* dados, QObject* contexto, std::function<void()> acao);

// Runs `acao` (protected) whenever the grid's current cell moves onto the data set's current row: the field
// entered, and the field left when the move stayed on that row (empty when it came from another row). What
// a user expects filled on entering an empty cell, or worked out on leaving one by any key or the mouse.
void AoEntrarCelula(TZoDBGrid& grade, QObject* contexto,
                    std::function<void(const QString& campo, const QString& anterior)> acao);

// F4 in a grid cell that holds a code of another table: its list (`distintos`: a table that keeps several
// rows per code, each code listed once), the code chosen into `campo` of the current row and its description
// into `campoDescricao` when one is named.
struct PesquisaCelula {
    QString titulo{};
    QString tabela{};
    QString chave = QStringLiteral("CODIGO");
    QString descricao = QStringLiteral("DESCRICAO");
    QString filtro{};
    QString textoVazio{}; // told instead of an empty list: why the table, as filtered, has nothing to offer
    bool distintos = false;
    QString campo{};
    QString campoDescricao{};
};
// True when a code was chosen.
bool PesquisaNaCelula(QWidget* tela, TDataSet& linhas, const PesquisaCelula& pesquisa);
