#pragma once
#include "RegrasDosagem.h"
#include "RegrasEstampa.h"
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// What the print-shop sheet writes: the printing of a list of lot sheets, and the write-off of their pastes'
// components. Each is one unit of work on the host connection.

// Whether a lot sheet joins the list: its print design and variant must be the list's (the first sets them).
// The refusal, or empty with `estampa` and `variante` set.
QString ConfereFalFicha(const QString& numero, QString& estampa, QString& variante);

// The sheets printed: "B" on those not yet, the weight per area on their items, the two audit lines.
void RegistraImpressaoFicha(const QStringList& fals, double largura, double gramatura, double indice);

// A component of a paste as the sheet weighs it: its code, the order of the paste's screen, kilograms and
// grams.
struct BaixaComponente {
    QString codigo;
    int ordem = 0;
    double pesoKg = 0;
    double consumoG = 0;
};

// Writes the components off stock from the warehouse, under the list's first sheet and the print shop's
// origin "TE": one movement and one line per component and screen order, quantities summed; those already
// written off, those of no weight and materials not kept in stock are left out. A refused movement writes
// nothing. The text to show: done, nothing to write off, or the refusal.
QString BaixaFichaEstampa(const QStringList& fals, const QString& deposito,
                          const QList<BaixaComponente>& componentes);

// What the sheet computes from: its items' weight, widths (metres) and first weight per area.
struct ItensFicha {
    int quantos = 0;
    double pesoKg = 0;
    QList<double> larguras;
    double gramatura = 0;
};
ItensFicha LeItensFicha(const QStringList& fals, const QStringList& produtos);

// The design's screens of that variant (one screen only when given), each row with its screen's, paste's
// and cost's columns, by order.
QList<QVariantMap> LeQuadrosFicha(const QString& estampa, const QString& variante, const QString& quadro);

// The compositions of the pastes, rules applied (one read of each rule), each component with what the sheet
// shows of it; the first active substitute of every component, by code. Components of another subgroup
// than the one given are left out.
struct ComposicoesFicha {
    QHash<QString, QList<ComponenteFicha>> componentes; // by paste
    QHash<QString, SubstitutoFicha> substitutos;        // by component
    QHash<QString, QVariantMap> materiais;              // description, group, subgroup... by code
};
ComposicoesFicha LeComposicoesFicha(const QStringList& pastas, const QString& subgrupo);

// What the dispensing station's files say of the sheet: its first lot sheet, customer, design, variant and
// lot, the shift of the moment and the user.
CabecalhoDosagem LeCabecalhoDosagem(const QString& fal);
