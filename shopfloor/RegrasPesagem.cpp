#include "RegrasPesagem.h"
#include <cmath>

namespace {
// Grams compared to the milligram: 505 against 500 at 2 % is not lost to a binary fraction.
qint64 Miligramas(double gramas) {
    return std::llround(gramas * 1000);
}
} // namespace

VereditoPesagem JulgaPesagem(double pesoG, double consumoG, double toleranciaPerc) {
    const double t = pesoG / 100 * toleranciaPerc;
    if (Miligramas(pesoG - t) > Miligramas(consumoG))
        return VereditoPesagem::Acima;
    if (Miligramas(pesoG + t) < Miligramas(consumoG))
        return VereditoPesagem::Insuficiente;
    return VereditoPesagem::Aceito;
}

QString TextoVeredito(VereditoPesagem veredito) {
    switch (veredito) {
    case VereditoPesagem::Acima:
        return QStringLiteral("Peso do Material acima do permitido.");
    case VereditoPesagem::Insuficiente:
        return QStringLiteral("Peso do Material insuficiente.");
    case VereditoPesagem::Aceito:
        break;
    }
    return QString();
}

int ConversorBalanca(const QString& texto) {
    bool ok = false;
    const int m = texto.trimmed().toInt(&ok);
    return ok && m > 0 ? m : 1;
}

double GramasDaLeitura(double kg, bool unidadeNomeada, int conversor) {
    if (unidadeNomeada)
        return double(std::llround(kg * 1e6)) / 1000;
    return conversor == 1 ? kg : std::round(kg * conversor);
}

PesagemLinha PesaLinha(double pesoAnteriorG, double lidoG, bool soma, double consumoG,
                       double toleranciaPerc) {
    PesagemLinha p;
    p.pesoG = soma ? pesoAnteriorG + lidoG : lidoG;
    p.veredito = JulgaPesagem(p.pesoG, consumoG, toleranciaPerc);
    p.baixar = p.veredito == VereditoPesagem::Aceito;
    return p;
}
