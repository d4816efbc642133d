#pragma once
#include "RegrasOrcamento.h"
#include <QDate>
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <optional>

// What the finishing quotation reads and writes.

// The customer's cost parameters, none when the customer has none.
std::optional<ParametrosPreco> LeParametros(const QString& codigo);

// What an item is priced from, in one statement: the customer's parameters joined to the colour's recipe and
// its curve. None when the customer has no parameters; no recipe or curve leaves the cost 0 and the time
// blank.
struct CustoItemOrcado {
    ParametrosPreco parametros;
    double custoReceita = 0;
    QString tempo; // the curve's time text
};
std::optional<CustoItemOrcado> LeCustoItem(const QString& cliente, const QString& cor, const QString& variante);

// The frames of a print and variant with their paste's cost (its components' shares at replacement cost).
QList<QuadroOrcado> LeQuadrosEstampa(const QString& estampa, const QString& variante);

struct ItemLido {
    QString cor, descricao, variante, descVar, fluxo, descFluxo, tempoHr, aprovado;
    QVariant corSistema, precoTabela; // null: the colour has none
    double quimico = 0, tempo = 0, fixo = 0, indice = 0, preco = 0;
};
struct ServicoLido {
    QString fase, descricao;
    double custo = 0;
};
struct OrcamentoLido {
    QString numero, cliente, nome, obs, situacao, regiao, condicao;
    QDate data;
    QList<ItemLido> itens;
    QList<ServicoLido> servicos;
    QStringList gravado; // as stored, to compare with at save (ImpressaoOrcamento)
};
// A stored quotation in a few statements whatever its size; none when the number is not stored.
std::optional<OrcamentoLido> LeOrcamento(const QString& numero);

// What the printed quotation heads with: the customer, address, representative, price region and terms.
QList<QPair<QString, QString>> CabecalhoCliente(const QString& cliente);

// The phases of each route named.
QHash<QString, QSet<QString>> FasesDosFluxos(const QSet<QString>& fluxos);

// A quotation as a save writes it.
struct ItemGravar {
    QString cor, variante, fluxo, aprovado;
    double indice = 0, quimico = 0, tempo = 0, fixo = 0, preco = 0;
};
struct OrcamentoGravar {
    QString numero, cliente, obs, situacao;
    QDate data;
    QList<ItemGravar> itens; // stored with ORDEM 1..n
    QStringList servicos;    // phases
};
// Lines of a quotation as stored, header, items and services, each value as its column keeps it: what a save
// compares between what the screen loaded and what is stored when it writes. Without the margins, what the
// user changed: a load works the margins out again from today's parameters.
QStringList ImpressaoOrcamento(const OrcamentoGravar& orcamento, bool comMargem = true);
QStringList ImpressaoGravada(const QString& numero, bool comMargem = true);

// Replaces the stored quotation with `orcamento` in one unit of work, committed; false, with nothing written,
// when what is stored is no longer `carregado` (another user saved it meanwhile).
bool GravaOrcamento(const OrcamentoGravar& orcamento, const QStringList& carregado);

// A copy of the stored quotation for another customer under the next number, pending, dated today, its
// items renumbered and no services; committed. Answers the new number, empty when the quotation is not
// stored.
QString DuplicaOrcamento(const QString& numero, const QString& cliente);

// Posts the prices in one unit of work, committed, or nothing written (RecusaLancamento judged them first).
// False, with nothing written, when the quotation stored is no longer `gravado` (ImpressaoOrcamento without
// the margins): another user saved it since the screen compared it.
bool LancaPrecos(const QString& numero, const QString& regiao, const QString& nomeCliente, const QDate& data,
                 const QList<PrecoLancar>& precos, const QStringList& gravado);
