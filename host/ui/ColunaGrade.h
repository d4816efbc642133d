#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

// One column of a grid as its screen declares it: {"FASE", "Fase"}, or with what differs from a plain
// column, ColunaGrade("PESO", "Peso (kg)").Casas(2). A grid with declared columns shows those, in their
// order, and no other field of its data set. The caption and the decimals become the field's own: the boxes
// bound to the field show the same decimals, and messages name the field by the caption.
struct ColunaGrade {
    ColunaGrade(const QString& campo, const QString& legenda) : campo(campo), legenda(legenda) {}

    // Characters; 0 = from the field's size and the caption.
    ColunaGrade& Largura(int caracteres) {
        largura = caracteres;
        return *this;
    }
    ColunaGrade& SomenteLeitura() {
        somenteLeitura = true;
        return *this;
    }
    // Decimals a number shows, and to which a typed one is rounded.
    ColunaGrade& Casas(int decimais) {
        casas = decimais;
        return *this;
    }
    // What the cell editor offers to pick; other text can still be typed.
    ColunaGrade& Lista(const QStringList& valores) {
        lista = valores;
        return *this;
    }
    // What a coded field's cells show for each stored code ("S" as "Sim"); other values as stored.
    ColunaGrade& Textos(const QHash<QString, QString>& porCodigo) {
        textos = porCodigo;
        return *this;
    }
    // Takes the width the other columns leave.
    ColunaGrade& Estica() {
        estica = true;
        return *this;
    }
    // A swatch: the cell shows its background only, not the value behind it (a colour's number).
    ColunaGrade& Amostra() {
        amostra = true;
        return *this;
    }
    // Not in the grid, yet its caption and decimals are the field's, for the boxes and reports that show it.
    ColunaGrade& Oculta() {
        visivel = false;
        return *this;
    }

    QString campo;
    QString legenda;
    int largura = 0;
    bool somenteLeitura = false;
    int casas = -1; // -1 = the field's own
    QStringList lista;
    QHash<QString, QString> textos;
    bool estica = false;
    bool visivel = true;
    bool amostra = false;
};

// The texts of a flag stored as "S" or "N".
inline QHash<QString, QString> TextosSimNao() {
    return {{QStringLiteral("S"), QStringLiteral("Sim")}, {QStringLiteral("N"), QStringLiteral("Não")}};
}
