#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What the kitchen's write-off by weighing reads and writes: a lot sheet's dye-house consumption lines
// (origin "TG"), and the accepted ones written off stock as weighed.

// The sheet's customer, colour, variant and the recipe it dyes with.
struct CabecalhoBaixa {
    QString cliente, nomeCliente, cor, descCor, variante, descVariante, receita;
};
std::optional<CabecalhoBaixa> LeCabecalhoBaixa(const QString& fal);

// Whether recipe issue recorded any line for the sheet.
bool TemConsumosDaFal(const QString& fal);

// A line as the kitchen weighs it; its place in stock is where recipe issue reserved it (the priority
// warehouse, the line's lot).
struct LinhaBaixa {
    QString material, descricao, unidade, subgrupo, local;
    int ordem = 0;
    double qtde = 0, consumoG = 0, pesoG = 0, toleranciaPerc = 0;
    bool baixado = false, ativo = true;
};
// The sheet's lines, by order and material; only materials of the groups given when there are any.
QList<LinhaBaixa> LeLinhasBaixa(const QString& fal, const QStringList& grupos);
// Its statement, with :FAL and :DEPOSITO (the priority warehouse, where the lines are kept) to bind.
QString SqlLinhasBaixa(const QStringList& grupos);

// Writes the weighed lines off stock, one unit of work: each line still not written off is marked with its
// weight, and only a line this write-off marked moves stock (kilograms weighed, from where recipe issue
// reserved it); the audit line. A line another workstation wrote off meanwhile is left as it is. A refused
// movement writes nothing and answers why; otherwise how many lines were written off.
struct LinhaPesada {
    QString material;
    int ordem = 0;
    double pesoG = 0;
};
struct ResultadoBaixa {
    QString recusa;
    int baixadas = 0;
};
ResultadoBaixa BaixaConsumosPesados(const QString& fal, const QString& cliente,
                                    const QList<LinhaPesada>& linhas);

// The "Consulta" list: the sheets with dye-house lines not written off.
QString SqlConsultaBaixa();
