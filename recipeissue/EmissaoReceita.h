#pragma once
#include "Estoque.h"
#include "GraficoTingimento.h"
#include "RegrasEmissao.h"
#include <QDate>
#include <QStringList>
#include <optional>

// Where a batch recipe's figures come from and where its recording, write-off and reversal go. Each write
// is one unit of work on the host connection, committed once or rolled back whole.

// A lot sheet as recipe issue reads it: its data, its recipe (the released one of its colour and variant
// first), the weight of its items.
struct FalEmissao {
    QString numero, status, cliente, nomeCliente, cor, descCor, variante, maquina, partida;
    QString receita, liberada, banho, preparacao, grafico;
    double peso = 0, fibra1 = 0, fibra2 = 0;
};
std::optional<FalEmissao> LeFalEmissao(const QString& numero);

// A machine's description, bath (the recipe's or its own, as parameter 90 says; its capacity row for the
// variant over both) and volume bounds; the bounds are 0 when one of them is not a number.
struct MaquinaEmissao {
    QString descricao, banho;
    double minimo = 0, maximo = 0;
    int arredonda = 0;
};
MaquinaEmissao LeMaquinaEmissao(const QString& maquina, const QString& variante, const QString& banhoReceita,
                                bool banhoDaReceita);

// The batch being issued: its sheets (the leading one first) and what was typed or taken for it.
struct LoteEmissao {
    QStringList fals;
    QString receita, cor, variante, cliente, maquina, banho, partida, preparacao;
    QString subgrupo, tipo; // filters of the lines
    double peso = 0, volume = 0, fibra1 = 0, fibra2 = 0;
    QString Lider() const { return fals.value(0); }
    QString Fals() const { return fals.join(QStringLiteral(", ")); }
};

// Everything a batch's lines are computed from, read in a few set-based statements: the preparation's and
// the recipe's rows with their rules applied (for the heaviest fabric of the batch), the working stock of
// their materials (less what other sheets reserved, with parameter 260) and of their substitutes, the first
// substitute of each, and the lots at the priority warehouse.
struct LeituraEmissao {
    QList<ItemEmissao> itens;
    QHash<QString, double> estoqueKg;
    QHash<QString, Contratipo> contratipos;
    QHash<QString, QList<QPair<QString, double>>> lotes;
};
LeituraEmissao LeDadosEmissao(const LoteEmissao& lote, bool reserva, const QString& deposito);

// The lots of the materials at the warehouse that hold anything, by material.
QHash<QString, QList<QPair<QString, double>>> LeLotesEmissao(const QStringList& materiais,
                                                             const QString& deposito);

// The steps of a curve, in order; none for a blank code.
QList<PassoCurva> PassosDoGrafico(const QString& grafico);

// The lines of the leading sheet as recorded by the dye-house (origin "TG"), with the date they were
// written off when any was.
struct ConsumosGravados {
    QList<LinhaEmissao> linhas;
    QDate baixadoEm;
};
ConsumosGravados LeConsumosGravados(const QString& fal, const QString& subgrupo, const QString& tipo);
bool TemConsumosGravados(const QString& fal);

// Gives the batch its dye lot (the one typed, or the next one) and records its lines: every line of the
// leading sheet not written off yet is replaced by these, a written-off one is kept as it is. The dye lot.
QString GravaEmissao(const LoteEmissao& lote, const QList<LinhaEmissao>& linhas);

// Writes the leading sheet's recorded lines off stock: one movement per line whose material is kept in stock
// and whose dyeing type is written off; those lines and those of materials not kept in stock become "S", the
// batch's sheets "B". A refused movement writes nothing and answers why.
QString BaixaEstoqueEmissao(const LoteEmissao& lote);

// Undoes the leading sheet's write-off: what it moved comes back, its lines go, every sheet of its batch is
// "A" again. A refusal (no movement type) writes nothing and answers why.
QString EstornaEmissao(const QString& fal);

// Empties the dye lot of the batch's sheets.
void LimpaPartida(const QStringList& fals);

// The sheets the "Acesso" page lists.
struct FiltroAcesso {
    QDate de, ate;
    QString cliente, cor, variante, banho, preparacao;
    QStringList fals;
    bool pendentes = false; // only sheets without recorded lines
};
QString SqlAcesso(const FiltroAcesso& filtro);
