#include "RegrasRelFaturamento.h"
#include "Funcoes.h"
#include "RegrasEmissao.h"
#include <algorithm>

double ConsumoItem(double qtde, const QString& unidade, const QString& fibra, double concentracao,
                   double pesoKg, double volumeL, double fibra1, double fibra2) {
    return Arredondar(GramasDaLinha(qtde, unidade, fibra, concentracao, pesoKg, volumeL, fibra1, fibra2), 4);
}

double QtdeContratipo(double concentracao, double qtde) {
    return concentracao * qtde / 100;
}

void OrdenaResumo(QList<LinhaResumo>& linhas, OrdemResumo ordem) {
    const auto chave = [ordem](const LinhaResumo& l) {
        switch (ordem) {
        case OrdemResumo::PesoEntrada:
            return -Arredondar(l.pesoEntrada, 2);
        case OrdemResumo::ValorFaturado:
            return -Arredondar(l.valor, 2);
        case OrdemResumo::Cliente:
            break;
        }
        return 0.0;
    };
    std::stable_sort(linhas.begin(), linhas.end(), [&](const LinhaResumo& a, const LinhaResumo& b) {
        const double ka = chave(a), kb = chave(b);
        return ka != kb ? ka < kb : a.codcli < b.codcli;
    });
}
