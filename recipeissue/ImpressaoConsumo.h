#pragma once
#include <QString>

class QWidget;
class TDataSet;
class TRelatorio;

// The printed batch recipe "WTngConsumo": the batch's header, its lines grouped by dyeing type, the history
// of the recipe and of the sheet's printings, and the dyeing curve on a page of its own.

struct CabecalhoConsumo {
    QString fals, partida, cliente, cor, variante, receita, maquina, banho, peso, volume;
    QString grafico; // the recipe's curve; none printed when blank
};

// Columns, grouping and sections' columns; registered for "WTngConsumo" as the module loads.
void LayoutConsumo(TRelatorio& relatorio);

// Prints the lines (the screen's working table, in dyeing-type order while printing) as Chama_Relatorio's
// flags say; false when nothing was produced.
bool ImprimeConsumo(TDataSet& linhas, const CabecalhoConsumo& cabecalho, QWidget* tela, const QString& flags);
