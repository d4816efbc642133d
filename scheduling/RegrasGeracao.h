#pragma once
#include <QDate>
#include <QList>
#include <QString>

// The checks and values of turning programme items into a lot sheet that need no database, apart from the
// generation so that they are tested as tables.

// A selected programme item as the generation sees it.
struct ItemGeracao {
    QString codigo, lote, cor, descCor, variante, fluxo, estampa, varEst, tingir, fal, partida, nota, loteNF,
        maquina;
    double peso = 0, largura = 0;
    int fibra1 = 0, fibra2 = 0;
};

// Fibres: both 0 asks the variant's fibre index (empty counts as 0) to be 0 or 100; otherwise they add to
// exactly 100. Empty when they pass, else the message.
QString RecusaFibras(int fibra1, int fibra2, const QString& indiceVariante);

// The fields a lot-sheet item cannot lack, in the order they are told; empty when all are there.
QString RecusaObrigatorios(const ItemGeracao& item);

// The lot the sheet stores for the item: the invoice's (LoteDaNota) when it came on one, else its own.
QString LoteGravado(const ItemGeracao& item);

// Whether another selected item has the same fabric and the same lot, as the programme shows it or as the
// sheet would store it: two items stored alike could never be told apart by a later update.
bool ItemDuplicado(const QList<ItemGeracao>& selecionados, int indice);

// Kind of the new sheet: service only when a selected colour is not dyed, else normal.
int TipoDaGeracao(const QList<ItemGeracao>& selecionados);

// The sheet's delivery: the programme's own, or today plus the longest route's days when that is more than 0.
QDate EntregaDaFal(const QDate& entregaProgramacao, int diasRoteiro, const QDate& hoje);

// A remainder of the invoice item below 0.1 kg after the item's weight is offered to the item, so that the
// invoice item is used up.
bool OfereceAjuste(double saldo, double peso);

// The number typed for the sheet: from 3 to 7 characters. Empty when it passes, else the message.
QString RecusaNumeroFal(const QString& numero);

// The invoice lot an item names: the lot it came on, else its own.
QString LoteDaNota(const QString& loteNF, const QString& lote);
