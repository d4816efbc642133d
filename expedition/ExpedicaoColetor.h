#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// What the collector's expedition reads: which sheets wait in a sector for a customer or a customer group,
// whether one read may be shipped and its items. The shipment is ExpedeFals (PassosExpedicao).

// Who and where the reading is for: a customer or a customer group (one of them), and the sector.
struct FiltroColetor {
    QString cliente, grupo, fase;
};

// The sheets not billed whose first open step is in the sector, counted once each.
int PendentesColetor(const FiltroColetor& filtro);

// Why a sheet read may not be shipped, in one read; empty when it may.
QString ConfereFalColetor(const QString& fal, const FiltroColetor& filtro);

// A sheet's items as the list shows them.
struct ItemColetor {
    QString fal, partida, cor, descCor, codigo, descricao, nota;
    double peso = 0;
    int rolo = 0;
};
QList<ItemColetor> LeItensColetor(const QString& fal);
