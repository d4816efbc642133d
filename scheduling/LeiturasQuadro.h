#pragma once
#include "RegrasQuadro.h"
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

// What the scheduling board reads and writes: the dye lots queued at the dyeing machines, a lot's sheets and
// times, and the assignment of a sheet to a lot, a machine, a route and a position.

// The filters of the board: the phase, or the phase group, of a lot's next pending step; empty for any.
struct FiltroQuadro {
    QString fase, grupo;
};

// A sheet queued at a machine: open, with a dye lot and a position, not service-only, with a step to do.
struct LoteQuadro {
    QString maquina, descMaquina, fal, partida, cor, descCor, variante, cliente;
    QVariant corSis;
    int ordem = 0;
};
// Every dyeing machine's queue at once, by machine, position and number.
QList<LoteQuadro> LeFilas(const FiltroQuadro& filtro);
QString SqlFilas(const FiltroQuadro& filtro);

// A sheet of a dye lot as the details page lists it, its items' weight and pieces summed once.
struct FalPartida {
    QString fal, nomeCliente, cor, descCor, variante, roteiro, maquina, lote;
    QVariant corSis;
    QDate data;
    double peso = 0;
    int pecas = 0, ordem = 0;
};
QList<FalPartida> LeFalsDaPartida(const QString& partida, const QString& cliente, const FiltroQuadro& filtro);

// The dye lots of these sheets: their curve time (once per sheet and phase pending) and whether their
// current step was started, and when.
QHash<QString, LoteFila> LeTemposDasPartidas(const QStringList& fals, const FiltroQuadro& filtro);

// Gives the sheet its dye lot, machine, route and position, laying its steps out from the route when it has
// none yet: one unit of work. The refusal, or empty.
QString AtribuiPartida(const QString& fal, const QString& partida, const QString& maquina,
                       const QString& roteiro, int ordem);
