#pragma once
#include <QList>
#include <QString>

// One component of a composite product and its share.
struct Componente {
    QString codigo;
    double perc = 0;
};

// A composite after one of its components was replaced.
struct ComposicaoSubstituida {
    enum Situacao {
        Substituida,        // componentes holds the new codes and shares
        PercentualNegativo, // the component taking the difference would fall below zero
        SemOutroComponente, // a difference to make up and no other component to take it
    };
    Situacao situacao = Substituida;
    QList<Componente> componentes; // in the order given; empty when refused
};

// Replaces `antigo` by `novo` in a composite, its share times `indice`. What it gives up (or takes) goes to
// the largest of the other components, found before the replacement (the highest code among equal shares),
// so that the composite keeps its total.
ComposicaoSubstituida SubstituiComponente(const QList<Componente>& componentes, const QString& antigo,
                                          const QString& novo, double indice);
