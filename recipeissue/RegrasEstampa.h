#pragma once
#include <QHash>
#include <QList>
#include <QString>

// What the print-shop sheet computes, apart from where its figures come from.

// The sheet's figures: goods weight (kg), width (cm), weight per area (g/m²), index.
struct FigurasFicha {
    double pesoKg = 0, largura = 0, gramatura = 0, indice = 0;
};

// The width the sheet works with, in centimetres: the one typed, else the whole part of its items' average
// (items keep theirs in metres, as the invoice gives them); 0 without items.
double LarguraDaFicha(double digitada, const QList<double>& larguras);

// A screen's paste: c, kilograms of paste per kilogram of goods (5 decimals), and T, the sheet's kilograms
// (3 decimals). A manual consumption above 0 is T itself; index 0 takes the screen's stored paste per
// kilogram; otherwise c comes from the screen's thickness (typed with a decimal comma), the index, the
// weight per area and the width, and the pump's paste is added. A figure it cannot divide by, or a thickness
// that is no number, refuses naming it; nothing is computed then.
struct PastaQuadro {
    double c = 0, t = 0;
    QString recusa;
};
PastaQuadro PastaDoQuadro(const QString& quadro, const QString& espessura, double consumoPorKg, double bomba,
                          double consumoManual, const FigurasFicha& figuras);

// A component of a paste as the composition gives it: its share in parts per thousand (a rule's already
// applied), its print concentration and its stock.
struct ComponenteFicha {
    QString codigo;
    double perc = 0;
    double concentraEst = 0;
    double estoqueKg = 0;
};
// A component's first active substitute: its share of the component, its own print concentration, the
// material it leaves to compensate, and whether it is used even while the component is in stock.
struct SubstitutoFicha {
    QString codigo;
    double concent = 100;
    double concentraEst = 0;
    QString compensar;
    bool imediato = false;
};
struct LinhaComponente {
    QString codigo;
    double qtde = 0;     // parts per thousand
    double consumoG = 0; // grams
    double pesoKg = 0;
    bool contratipo = false;
    QString substituido{}; // the component a substitute stands for
    QString compensar{};
    double concent = 100;
};
// The components of a paste of `tKg` kilograms, short or immediately replaced ones by their substitutes,
// then the materials substitutes leave to compensate raised in the same paste. A material to compensate
// that is not in the paste, or a substitute of concentration 0 that leaves one, stops with the text.
struct ComponentesPasta {
    QList<LinhaComponente> linhas;
    QString recusa;
};
ComponentesPasta ComponentesDaPasta(const QList<ComponenteFicha>& componentes,
                                    const QHash<QString, SubstitutoFicha>& substitutos, double tKg);
