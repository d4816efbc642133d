#include "LeiturasEstamparia.h"
#include "Funcoes.h"
#include "TZoQuery.h"

QHash<QString, CustoDaPasta> LeCustosPastas(const QStringList& produtos) {
    QHash<QString, CustoDaPasta> custos;
    if (produtos.isEmpty())
        return custos;
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT C.MATERIAL, C.PERC, M.REPOSICAO, (SELECT FIRST 1 T.REPOSICAO FROM CONTRATIPO K "
                 "JOIN MATERIAL T ON (T.CODIGO = K.CODIGO) WHERE K.MATERIAL = C.CODIGO AND K.IMEDIATO = "
                 "'S' ORDER BY K.CODIGO) AS CUSTO_CT")
          << QStringLiteral(
                 "FROM COMP_MATERIAL C LEFT JOIN MATERIAL M ON (M.CODIGO = C.CODIGO) WHERE C.MATERIAL "
                 "IN (%1)")
                 .arg(ListaSql(produtos));
    q.Open();
    QHash<QString, QList<ComponentePasta>> componentes;
    for (q.First(); !q.Eof(); q.Next())
        componentes[q.Fields(0).AsString().trimmed()]
            << ComponentePasta{q.Fields(1).AsFloat(), q.Fields(2).AsFloat(), q.Fields(3).AsFloat()};
    for (auto c = componentes.cbegin(); c != componentes.cend(); ++c)
        custos.insert(c.key(), CustoPasta(c.value()));
    return custos;
}

void LeComposicoes(TZoQuery& q, const QStringList& produtos) {
    q.SQL << QStringLiteral(
                 "SELECT C.MATERIAL, C.CODIGO, M.DESCRICAO, C.PERC AS QTDE, M.REPOSICAO AS CUSTO, "
                 "K.CODIGO AS CODIGO_CT, K.CONCENT * C.PERC / 100 AS QTDE_CT, T.REPOSICAO AS CUSTO_CT")
          << QStringLiteral("FROM COMP_MATERIAL C LEFT JOIN MATERIAL M ON (M.CODIGO = C.CODIGO)")
          << QStringLiteral(
                 "LEFT JOIN CONTRATIPO K ON (K.MATERIAL = C.CODIGO AND K.CODIGO = (SELECT MIN(X.CODIGO) "
                 "FROM CONTRATIPO X WHERE X.MATERIAL = C.CODIGO AND X.ATIVO = 'S'))")
          << QStringLiteral("LEFT JOIN MATERIAL T ON (T.CODIGO = K.CODIGO)")
          << QStringLiteral("WHERE C.MATERIAL IN (%1) ORDER BY C.MATERIAL, C.ORDEM")
                 .arg(produtos.isEmpty() ? QStringLiteral("NULL") : ListaSql(produtos));
    q.Open();
}
