#pragma once
#include <QList>
#include <QString>

// What the print shop's pastes cost and which of a design's screen rows may be stored.

// One component of a paste: its share, its cost, and the cost of the substitute used in its place (0 when it
// has none).
struct ComponentePasta {
    double perc = 0;
    double reposicao = 0;
    double reposicaoContratipo = 0;
};

struct CustoDaPasta {
    double custo = 0;
    double custoContratipo = 0; // with each component's substitute where it has one
};

// The sum of share × cost; with substitutes, a component without one at its own cost.
CustoDaPasta CustoPasta(const QList<ComponentePasta>& componentes);

// A screen row as typed in a design's grid.
struct LinhaQuadro {
    int ordem = 0; // 0: blank
    QString quadro, produto;
    bool quadroExiste = true, produtoExiste = true;
    bool vazia = false; // nothing typed in it
};

// The rows to store, in the grid's order: blank rows left out, a blank order taking the row's position among
// those kept. Refused, with the text naming the row (its position in the grid): an unknown screen or paste
// product, a repeated order.
struct QuadrosAGravar {
    QList<LinhaQuadro> linhas;
    QString recusa;
};
QuadrosAGravar ConfereQuadros(QList<LinhaQuadro> linhas);
