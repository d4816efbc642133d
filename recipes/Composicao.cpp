#include "Composicao.h"

namespace {
// Shares are stored as doubles: a difference that should leave exactly nothing may leave a trace below zero.
constexpr double kTolerancia = 1e-9;
} // namespace

ComposicaoSubstituida SubstituiComponente(const QList<Componente>& componentes, const QString& antigo,
                                          const QString& novo, double indice) {
    ComposicaoSubstituida resultado;
    resultado.componentes = componentes;
    double diferenca = 0;
    qsizetype maior = -1;
    for (qsizetype i = 0; i < componentes.size(); ++i) {
        const Componente& c = componentes[i];
        if (c.codigo == antigo) {
            const double novoPerc = c.perc * indice;
            diferenca += c.perc - novoPerc;
            resultado.componentes[i] = {novo, novoPerc};
        } else if (maior < 0 || c.perc > componentes[maior].perc ||
                   (c.perc == componentes[maior].perc && c.codigo > componentes[maior].codigo)) {
            maior = i;
        }
    }
    if (qAbs(diferenca) <= kTolerancia)
        return resultado;
    if (maior < 0)
        return {ComposicaoSubstituida::SemOutroComponente, {}};
    double& recebe = resultado.componentes[maior].perc;
    recebe += diferenca;
    if (recebe < -kTolerancia)
        return {ComposicaoSubstituida::PercentualNegativo, {}};
    recebe = qMax(recebe, 0.0);
    return resultado;
}
