#pragma once
#include "CustoReceita.h"
#include <QString>
#include <QStringList>

class RegrasCalculo;
class TClientDataSet;
class TDataSet;

// The items of one recipe as the recipe screen holds them (TbConsumos): its own items ("Altera" "S") and
// those its preparation brings ("N"), each with the price and cost it was read with.

// What costing and rules need to know of the recipe the items belong to.
struct ContextoItens {
    QString receita;
    QString variante;
    QString indice;       // the variant's share of its first fibre, as stored
    double proporcao = 0; // the bath's litres per kilogram of fabric
};

// The working table's fields.
void CriaConsumos(TClientDataSet& itens);

// The recipe's header and its items, one row each (a recipe without items gives one row with no product),
// with the latest audit entry of the recipe. Parameters :CODIGO, :VARIANTE and :CHAVE (the audit key).
QString SqlReceita();
// A preparation's items in their order; parameter :CODIGO.
QString SqlPreparacao();
// What an item takes from its chemical product, or from its fabric product; parameter :CODIGO.
QString SqlMaterial();
QString SqlProduto();

// Appends the current row of a recipe or preparation read as an item of the recipe (own or from its
// preparation); a rule gives its quantity, and its cost follows.
void AcrescentaItem(TDataSet& itens, TDataSet& origem, bool proprio, const ContextoItens& contexto,
                    RegrasCalculo& regras);

// The cost of the row at that position.
CustoItem CustoDaLinha(const TDataSet& itens, int linha, const ContextoItens& contexto);
// Writes the current row's cost and the quantity of its alternative product (the row is being edited).
void CustaItem(TDataSet& itens, const ContextoItens& contexto);
// The recipe's cost per kilogram of fabric: every row with a product, own or not.
double CustoDosItens(const TDataSet& itens, const ContextoItens& contexto);

// Whether the row at that position is one of the recipe's own, or one without a product (a blank row).
bool ItemProprio(const TDataSet& itens, int linha);
bool ItemEmBranco(const TDataSet& itens, int linha);
// An item names a fabric product (PRODUTO) rather than a chemical (MATERIAL).
bool ItemDeProduto(const TDataSet& itens, int linha);
