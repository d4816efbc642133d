#include "ExpedicaoColetor.h"
#include "Funcoes.h"
#include "TZoQuery.h"
#include <QSet>

int PendentesColetor(const FiltroColetor& f) {
    TZoQuery q;
    q.SQL
        << QStringLiteral(
               "SELECT COUNT(DISTINCT PR.FAL) FROM PROCESSO_TIN PR JOIN FAL F ON (F.NUMERO = PR.FAL) LEFT "
               "JOIN "
               "ENTIDADE E ON (E.CODCLI = F.CLIENTE) WHERE PR.FASE = :FASE AND PR.CONCLUIDO = 'N' AND "
               "PR.ORDEM = "
               "(SELECT MIN(P.ORDEM) FROM PROCESSO_TIN P WHERE P.FAL = PR.FAL AND P.CONCLUIDO = 'N') AND NOT "
               "EXISTS (SELECT 1 FROM FAL_ITEN I WHERE I.FAL = F.NUMERO AND I.FATURADO = 'S')")
        << (f.cliente.isEmpty() ? QString() : QStringLiteral("AND F.CLIENTE = :CLIENTE"))
        << (f.grupo.isEmpty() ? QString() : QStringLiteral("AND E.GRUPO = :GRUPO"));
    q.BindValue(QStringLiteral("FASE"), f.fase);
    if (!f.cliente.isEmpty())
        q.BindValue(QStringLiteral("CLIENTE"), f.cliente);
    if (!f.grupo.isEmpty())
        q.BindValue(QStringLiteral("GRUPO"), f.grupo);
    q.Open();
    return q.Fields(0).AsInteger();
}

QHash<QString, QString> ConfereFalsColetor(const QStringList& fals, const FiltroColetor& f) {
    QHash<QString, QString> recusas;
    if (fals.isEmpty())
        return recusas;
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT F.NUMERO, F.CLIENTE, E.GRUPO, (SELECT COUNT(*) FROM PROCESSO_TIN P WHERE "
                 "P.FAL = F.NUMERO AND P.FASE = :FASE AND P.PENDENTE = 'S' AND P.CONCLUIDO = 'N') AS "
                 "PENDENTES, (SELECT COUNT(*) FROM FAL_ITEN I WHERE I.FAL = F.NUMERO AND I.FATURADO = "
                 "'S') AS FATURADOS FROM FAL F LEFT JOIN ENTIDADE E ON (E.CODCLI = F.CLIENTE) WHERE")
          << NaListaSql(QStringLiteral("F.NUMERO"), fals);
    q.BindValue(QStringLiteral("FASE"), f.fase);
    q.Open();
    QSet<QString> lidas;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString fal = q.TextoAtual(QStringLiteral("NUMERO"));
        lidas.insert(fal);
        if ((!f.cliente.isEmpty() && q.TextoAtual(QStringLiteral("CLIENTE")) != f.cliente) ||
            (f.cliente.isEmpty() && !f.grupo.isEmpty() && q.TextoAtual(QStringLiteral("GRUPO")) != f.grupo))
            recusas.insert(fal, QStringLiteral("Cliente/Grupo do Cliente da FAL inválido."));
        else if (q.FieldByName(QStringLiteral("PENDENTES")).AsInteger() == 0)
            recusas.insert(fal, QStringLiteral("FAL não está pendente no setor informado."));
        else if (q.FieldByName(QStringLiteral("FATURADOS")).AsInteger() > 0)
            recusas.insert(fal, QStringLiteral("FAL já está faturada."));
    }
    for (const QString& fal : fals)
        if (!lidas.contains(fal))
            recusas.insert(fal, QStringLiteral("FAL inexistente."));
    return recusas;
}

QHash<QString, QList<ItemColetor>> LeItensColetor(const QStringList& fals) {
    QHash<QString, QList<ItemColetor>> itens;
    if (fals.isEmpty())
        return itens;
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT F.NUMERO, F.PARTIDA, I.PESO, I.ROLO, F.COR, K.DESCRICAO AS DESCCOR, P.CODIGO, "
                 "P.DESCRICAO, I.NOTA FROM FAL F LEFT JOIN FAL_ITEN I ON (I.FAL = F.NUMERO) LEFT JOIN "
                 "CADCORTIN K "
                 "ON (K.CODIGO = F.COR) LEFT JOIN PRODUTO P ON (P.CODIGO = I.CODIGO) WHERE")
          << NaListaSql(QStringLiteral("F.NUMERO"), fals) << QStringLiteral("ORDER BY F.NUMERO, I.ORD_IT");
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) {
        const QString fal = q.TextoAtual(QStringLiteral("NUMERO"));
        itens[fal] << ItemColetor{fal,
                                  q.TextoAtual(QStringLiteral("PARTIDA")),
                                  q.TextoAtual(QStringLiteral("COR")),
                                  q.TextoAtual(QStringLiteral("DESCCOR")),
                                  q.TextoAtual(QStringLiteral("CODIGO")),
                                  q.TextoAtual(QStringLiteral("DESCRICAO")),
                                  q.TextoAtual(QStringLiteral("NOTA")),
                                  q.FieldByName(QStringLiteral("PESO")).AsFloat(),
                                  q.FieldByName(QStringLiteral("ROLO")).AsInteger()};
    }
    return itens;
}
