#pragma once
#include "HostExport.h"
#include <QList>
#include <QString>

// The cost of recipe items per kilogram of fabric. Every screen and routine that shows or stores a recipe
// cost goes through these two functions.

// One item as costing sees it: its unit ("%" on the fabric weight, "GL" grams per litre of bath, anything
// else costs nothing), quantity, fibre mark ("1" first fibre, "2" second, else the whole fabric), the
// product's concentration in percent (0: none) and price per kilogram, the variant's INDICE (the first
// fibre's share, as stored: text) and the bath's litres per kilogram of fabric.
struct ItemCusto {
    QString unidade;
    double qtde = 0;
    QString fibra;
    double concentracao = 0;
    double preco = 0;
    QString indice;
    double proporcao = 0;
};

// C is what the item adds to the recipe total; Custo is the item's cost per kilogram of fabric (C / 100).
struct CustoItem {
    double c = 0;
    double custo = 0;
};

// Fibre share, quantity, concentration and value, each rounded to 4 decimals; the item's cost to 8.
KELMHOST_EXPORT CustoItem CustoItemReceita(const ItemCusto& item);
// The recipe's cost per kilogram of fabric: its items' C summed, divided by 100, to 2 decimals.
KELMHOST_EXPORT double CustoReceita(const QList<CustoItem>& itens);
// A variant's INDICE as a number: comma or point as decimal separator; blank or unreadable text is 0.
KELMHOST_EXPORT double LeIndice(const QString& indice);
