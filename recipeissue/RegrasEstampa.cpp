#include "RegrasEstampa.h"
#include "Formatacao.h"
#include <cmath>

namespace {
double Casas(double valor, int casas) {
    const double escala = std::pow(10.0, casas);
    return std::round(valor * escala) / escala;
}

// Grams and kilograms of a share of the paste, at the print concentration when there is one.
void Pesa(LinhaComponente& linha, double tKg, double concentraEst) {
    const double fator = concentraEst > 0 ? concentraEst / 100 : 1;
    linha.consumoG = linha.qtde * tKg * fator;
    linha.pesoKg = linha.qtde * tKg / 1000 * fator;
}
} // namespace

double LarguraDaFicha(double digitada, const QList<double>& larguras) {
    if (digitada > 0)
        return digitada;
    if (larguras.isEmpty())
        return 0;
    double soma = 0;
    for (double metros : larguras)
        soma += metros * 100;
    return std::floor(std::round(soma / double(larguras.size()) * 1e6) / 1e6);
}

PastaQuadro PastaDoQuadro(const QString& quadro, const QString& espessura, double consumoPorKg, double bomba,
                          double consumoManual, const FigurasFicha& f) {
    PastaQuadro p;
    if (consumoManual > 0) {
        p.t = Casas(consumoManual, 3);
        p.c = f.pesoKg > 0 ? Casas(consumoManual / f.pesoKg, 5) : 0;
        return p;
    }
    if (f.indice == 0) {
        p.c = Casas(consumoPorKg, 5);
        p.t = Casas(consumoPorKg * f.pesoKg, 3);
        return p;
    }
    double esp = 0;
    if (!LeNumero(espessura.trimmed(), esp) || espessura.trimmed().isEmpty())
        return {0, 0, QStringLiteral("Espessura do quadro %1 inválida: \"%2\".").arg(quadro, espessura)};
    if (!(f.gramatura > 0))
        return {0, 0, QStringLiteral("Gramatura não informada: impossível calcular a pasta.")};
    if (!(f.largura > 0))
        return {0, 0, QStringLiteral("Largura não informada: impossível calcular a pasta.")};
    const double c = (esp / 100) * f.indice * (1000 / f.gramatura) / (f.largura / 100);
    p.c = Casas(c, 5);
    p.t = Casas(f.pesoKg * c + bomba, 3);
    return p;
}

ComponentesPasta ComponentesDaPasta(const QList<ComponenteFicha>& componentes,
                                    const QHash<QString, SubstitutoFicha>& substitutos, double tKg) {
    ComponentesPasta r;
    for (const ComponenteFicha& c : componentes) {
        const double necessidade = c.perc * tKg / 1000 * (c.concentraEst > 0 ? c.concentraEst / 100 : 1);
        const auto s = substitutos.constFind(c.codigo);
        const bool substitui =
            s != substitutos.constEnd() && (s->imediato || std::round((c.estoqueKg - necessidade) * 1e6) < 0);
        LinhaComponente linha;
        if (substitui) {
            linha.codigo = s->codigo;
            linha.qtde = s->compensar.isEmpty() ? c.perc : c.perc * s->concent / 100;
            linha.contratipo = true;
            linha.substituido = c.codigo;
            linha.compensar = s->compensar;
            linha.concent = s->concent;
            Pesa(linha, tKg, s->concentraEst);
        } else {
            linha.codigo = c.codigo;
            linha.qtde = c.perc;
            Pesa(linha, tKg, c.concentraEst);
        }
        r.linhas << linha;
    }
    for (const LinhaComponente& s : std::as_const(r.linhas)) {
        if (!s.contratipo || s.compensar.isEmpty())
            continue;
        if (!(s.concent > 0))
            return {{},
                    QStringLiteral("Contratipo %1 de %2 sem concentração: impossível compensar.")
                        .arg(s.codigo, s.substituido)};
        auto alvo = std::find_if(r.linhas.begin(), r.linhas.end(), [&](const LinhaComponente& l) {
            return !l.contratipo && l.codigo == s.compensar;
        });
        if (alvo == r.linhas.end())
            return {{},
                    QStringLiteral("Material %1 a compensar  cadastrado no contratipo %2 divergente. "
                                   "Impossivel continuar")
                        .arg(s.compensar, s.codigo)};
        alvo->qtde += (100 - s.concent) * s.qtde / s.concent;
        alvo->consumoG = alvo->qtde * tKg;
        alvo->pesoKg = alvo->qtde * tKg / 1000;
    }
    return r;
}
