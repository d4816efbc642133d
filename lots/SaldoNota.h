#pragma once
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class TZoDatabase;

// One invoice item as lot sheets take weight from it: always down to its lot, so that an item never takes
// from another lot of the same fabric.
struct ItemNota {
    QString nota;
    QString cliente;
    QString codigo;
    QString lote;

    bool operator==(const ItemNota& outro) const {
        return nota == outro.nota && cliente == outro.cliente && codigo == outro.codigo && lote == outro.lote;
    }
};

size_t qHash(const ItemNota& item, size_t seed = 0);

// Moves `peso` kg of the item into lot sheets (negative gives it back): PESO_PROG grows by it, PESO becomes
// PESO_REAL - PESO_PROG and the invoice's SALDO the sum of its items' PESO, all computed by the server in
// the caller's unit of work on `conexao` (the host connection when null). False when the invoice has no
// such item (nothing moved).
bool MovePesoNota(const ItemNota& item, double peso, TZoDatabase* conexao = nullptr);

// The item's weight still free, as committed or as this unit of work left it; 0 when there is no such item.
double PesoLivreNota(const ItemNota& item, TZoDatabase* conexao = nullptr);

// The statements that move several items at once as MovePesoNota moves each (an item the invoice lacks moves
// nothing), every invoice's SALDO recomputed once, for the caller's batch (InstrucoesEmLote). Items go in key
// order, so that two workstations lock them in the same order.
QStringList InstrucoesMovePesoNota(const QHash<ItemNota, double>& pesos);

// Those statements run in one round trip, in the caller's unit of work on `conexao`.
void MovePesosNota(const QHash<ItemNota, double>& pesos, TZoDatabase* conexao = nullptr);

// The free weight of several items, read at once; an item the invoice lacks has 0.
QHash<ItemNota, double> PesosLivresNota(const QList<ItemNota>& itens, TZoDatabase* conexao = nullptr);
