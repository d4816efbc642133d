#pragma once
#include <QHash>
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

// Why each sheet read may not be shipped, all in one read; a sheet that may is absent.
QHash<QString, QString> ConfereFalsColetor(const QStringList& fals, const FiltroColetor& filtro);

// The sheets' items as the list shows them, each sheet's in item order, all in one read.
struct ItemColetor {
    QString fal, partida, cor, descCor, codigo, descricao, nota;
    double peso = 0;
    int rolo = 0;
};
QHash<QString, QList<ItemColetor>> LeItensColetor(const QStringList& fals);
