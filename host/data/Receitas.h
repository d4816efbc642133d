#pragma once
#include "HostExport.h"
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class TZoDatabase;

// Routines over recipes and colour prices that several screens share.

// The recipe a lot sheet dyes with, as an SQL expression over the sheet's alias: the first recipe of its
// colour and variant by release, then code.
KELMHOST_EXPORT QString SqlReceitaDaFal(const QString& fal);

// Marks the price of a colour and variant "to be reviewed" (LIBERADO 'N') in the default region, in every
// region marked default should there be more than one.
KELMHOST_EXPORT void BloqueiaPrecoCor(const QString& cor, const QString& variante);

// The price column of a payment term: "00" for a blank term; "00", "07", "14", "21" their own; the longer
// terms ("28" to "91", in steps of 7) the longest column the table has, "21". Empty for any other text.
KELMHOST_EXPORT QString ColunaPrazo(const QString& prazo);
// The same choice in SQL, over a term column (`prazo`, "F.PRAZO") and a price-table alias.
KELMHOST_EXPORT QString ExpressaoPrecoPrazo(const QString& prazo, const QString& tabela);

// The price-table row of `alias` is the colour's own, not a product's (CODIGO empty, null or "0").
KELMHOST_EXPORT QString CondicaoPrecoDaCor(const QString& alias);

// The colour's own price (no product) for a payment term, in its ColunaPrazo. No price: a term of no
// column, no such row, or the column empty.
KELMHOST_EXPORT std::optional<double> PrecoTabela(const QString& regiao, const QString& cor,
                                                  const QString& variante, const QString& prazo,
                                                  TZoDatabase* conexao = nullptr);

// Told once per recipe recalculated: a line for the user and how far the run has come.
struct ProgressoRecalculo {
    std::function<void(const QString& linha)> mensagem;
    std::function<void(int feitas, int total)> avanco;
};

// Recosts the recipes that use a chemical product (their own items, only of the variant when one is given, or
// their preparation's items) or a preparation, as the recipe screen costs them: a changed cost is stored and
// the colour's default-region price marked for review. Codes are passed plain. Runs inside the caller's unit
// of work when one is open (the caller commits), otherwise in one of its own, committed at the end. A failure
// throws with this run's writes undone (the caller's own writes stay pending). False when neither a product
// nor a preparation is given.
KELMHOST_EXPORT bool RecalculaReceitas(const QString& produto, const QString& variante,
                                       const QString& preparacao,
                                       const ProgressoRecalculo& progresso = ProgressoRecalculo());
// The same for recipes named by code and variant (those just written by an import).
KELMHOST_EXPORT void RecalculaReceitasListadas(const QList<std::pair<QString, QString>>& receitas,
                                               const ProgressoRecalculo& progresso = ProgressoRecalculo());
