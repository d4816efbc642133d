#include "RegrasEstamparia.h"
#include <QSet>

CustoDaPasta CustoPasta(const QList<ComponentePasta>& componentes) {
    CustoDaPasta custo;
    for (const ComponentePasta& c : componentes) {
        custo.custo += c.perc * c.reposicao;
        custo.custoContratipo += c.perc * (c.reposicaoContratipo > 0 ? c.reposicaoContratipo : c.reposicao);
    }
    return custo;
}

QuadrosAGravar ConfereQuadros(QList<LinhaQuadro> linhas) {
    QuadrosAGravar resultado;
    QSet<int> ordens;
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        LinhaQuadro& linha = linhas[i];
        if (linha.vazia)
            continue;
        const QString onde = QStringLiteral("Linha %1: ").arg(i + 1);
        if (linha.quadro.isEmpty() || linha.produto.isEmpty())
            return {{}, onde + QStringLiteral("informe o quadro e o material.")};
        if (!linha.quadroExiste)
            return {{}, onde + QStringLiteral("quadro %1 não cadastrado.").arg(linha.quadro)};
        if (!linha.produtoExiste)
            return {{}, onde + QStringLiteral("material %1 não cadastrado.").arg(linha.produto)};
        if (linha.ordem <= 0)
            linha.ordem = int(resultado.linhas.size()) + 1;
        if (ordens.contains(linha.ordem))
            return {{}, onde + QStringLiteral("a ordem %1 se repete.").arg(linha.ordem)};
        ordens << linha.ordem;
        resultado.linhas << linha;
    }
    return resultado;
}
