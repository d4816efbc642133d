#include "LeiturasFal.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "Receitas.h"
#include "TZoQuery.h"

double RetornaPreco(const QString& regiao, const QString& cor, const QString& variante, const QString& prazo,
                    TZoDatabase* conexao) {
    return PrecoTabela(regiao, cor, variante, prazo, conexao).value_or(0);
}

QString VerificaPreco(const QString& regiao, const QString& cor, const QString& variante,
                      const QString& prazo, TZoDatabase* conexao) {
    if (!PrecoTabela(regiao, cor, variante, prazo, conexao))
        return QStringLiteral("Preço da cor não cadastrado.");
    TZoQuery q(nullptr, conexao);
    q.SQL << QStringLiteral("SELECT FIRST 1 1 FROM %1 T").arg(DBLocal(QStringLiteral("TABPRECO")))
          << QStringLiteral("WHERE REGIAO = %1 AND COR = %2 AND VARIANTE = %3 AND LIBERADO = 'N'")
                 .arg(Aspas(regiao.trimmed()), Aspas(cor.trimmed()), Aspas(variante.trimmed()))
          << QStringLiteral("AND ") + CondicaoPrecoDaCor(QStringLiteral("T"));
    q.Open();
    return q.IsEmpty() ? QString() : QStringLiteral("Preço da cor não Liberado.");
}

QDate UltimaAlteracaoPreco(const QString& regiao, const QString& cor, const QString& variante,
                           TZoDatabase* conexao) {
    TZoQuery q(nullptr, conexao);
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT MAX(DATA) FROM {TABPRECO} WHERE COR = :COR AND VARIANTE = :VARIANTE AND REGIAO = :REGIAO"));
    q.BindValue(QStringLiteral("COR"), cor);
    q.BindValue(QStringLiteral("VARIANTE"), variante);
    q.BindValue(QStringLiteral("REGIAO"), regiao);
    q.Open();
    return q.Fields(0).AsDate();
}

QHash<QString, QList<PassoRoteiro>> LeRoteiros(const QSet<QString>& fluxos, TZoDatabase* conexao) {
    QHash<QString, QList<PassoRoteiro>> roteiros;
    QStringList codigos;
    for (const QString& fluxo : fluxos)
        if (!fluxo.trimmed().isEmpty())
            codigos << Aspas(fluxo.trimmed());
    if (codigos.isEmpty())
        return roteiros;
    TZoQuery q(nullptr, conexao);
    q.SQL << DBLocal_SQL(
                 QStringLiteral("SELECT ROT.CODIGO, ROT.FASE, ROT.ORDEM, FASE.DESCRICAO FROM {ROTEIRO} ROT "
                                "LEFT JOIN {FASE} FASE ON (ROT.FASE = FASE.CODIGO) WHERE ROT.CODIGO IN "
                                "(%1) ORDER BY ROT.CODIGO, ROT.ORDEM"))
                 .arg(codigos.join(QStringLiteral(", ")));
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        roteiros[q.Fields(0).AsString().trimmed()].append(
            {q.Fields(1).AsString().trimmed(), q.Fields(3).AsString(), q.Fields(2).AsInteger()});
    return roteiros;
}

QString CondicaoPassoIniciado(const QString& alias) {
    return QStringLiteral(
               "(UPPER(%1.CONCLUIDO) IN ('S', 'R') OR %1.DATA_INI IS NOT NULL OR TRIM(%1.HORA_INI) <> '')")
        .arg(alias);
}

namespace {
// Customers with more sheets than this have theirs found through the open items, not walked one by one.
constexpr int kFalsParaItensAbertos = 5000;
} // namespace

// One statement however many sheets are open. A customer's sheets are walked through its index while they
// are few; a big customer's years are not walked: the open items are (IDX_FAL_ITEN_FATURADO, "<> 'S'" as the
// two ranges around it), a few thousand at most, their sheets found by number (the LEFT JOIN keeps the items
// as the driving stream; the customer's condition on the sheet makes it an inner join all the same).
double ValorAbertoFals(const QString& cliente, const QStringList& excluidas, TZoDatabase* conexao) {
    QStringList fora;
    for (const QString& numero : excluidas)
        fora << Aspas(numero);
    QString condicoes =
        QStringLiteral(
            "(FAL.TIPO = 1 OR FAL.TIPO = 5) AND (FAL.NUM_REPROC IS NULL OR FAL.NUM_REPROC = '') AND "
            "FAL.CLIENTE = %1")
            .arg(Aspas(cliente));
    if (!fora.isEmpty())
        condicoes += QStringLiteral(" AND FAL.NUMERO NOT IN (%1)").arg(fora.join(QStringLiteral(", ")));
    const auto valor = [&](const QString& origem) {
        return QStringLiteral(
                   "SELECT SUM(F.PESO * COALESCE((SELECT FIRST 1 %4 FROM %1 T WHERE T.REGIAO = F.TABPRECO "
                   "AND T.COR = F.COR AND T.VARIANTE = F.VARIANTE AND %5 ORDER BY T.CODIGO), 0)) FROM "
                   "(SELECT FAL.NUMERO, FAL.PRAZO, FAL.TABPRECO, FAL.COR, FAL.VARIANTE, SUM(FAL_ITEN.PESO) "
                   "AS "
                   "PESO FROM %2 AND %3 GROUP BY FAL.NUMERO, FAL.PRAZO, FAL.TABPRECO, FAL.COR, FAL.VARIANTE) "
                   "F "
                   "INTO VALOR")
            .arg(DBLocal(QStringLiteral("TABPRECO")), origem, condicoes,
                 ExpressaoPrecoPrazo(QStringLiteral("F.PRAZO"), QStringLiteral("T")),
                 CondicaoPrecoDaCor(QStringLiteral("T")));
    };
    TZoQuery q(nullptr, conexao);
    q.SQL
        << QStringLiteral("EXECUTE BLOCK RETURNS (VALOR DOUBLE PRECISION) AS DECLARE QUANTAS INTEGER; BEGIN")
        << QStringLiteral("SELECT COUNT(*) FROM (SELECT FIRST %1 X.NUMERO FROM FAL X WHERE X.CLIENTE = %2) D "
                          "INTO QUANTAS;")
               .arg(kFalsParaItensAbertos)
               .arg(Aspas(cliente))
        << QStringLiteral("IF (QUANTAS < %1) THEN").arg(kFalsParaItensAbertos)
        << valor(QStringLiteral("FAL INNER JOIN FAL_ITEN ON (FAL.NUMERO = FAL_ITEN.FAL AND FAL_ITEN.FATURADO "
                                "<> 'S') WHERE TRUE")) +
               QLatin1Char(';')
        << QStringLiteral("ELSE")
        << valor(QStringLiteral("FAL_ITEN LEFT JOIN FAL ON (FAL.NUMERO = FAL_ITEN.FAL) WHERE "
                                "(FAL_ITEN.FATURADO < 'S' OR FAL_ITEN.FATURADO > 'S')")) +
               QLatin1Char(';')
        << QStringLiteral("SUSPEND; END");
    q.Open();
    return q.Fields(0).AsFloat();
}

QString FalExistente(const QString& digitado) {
    const QString texto = digitado.trimmed();
    if (texto.isEmpty())
        return {};
    if (Existe(QStringLiteral("FAL"), QStringLiteral("NUMERO"), QVariantList{texto}))
        return texto;
    // Six characters or more are left as typed by zero-filling: looked for already.
    const QString cheio = ZeroE(texto, 6);
    if (cheio != texto && Existe(QStringLiteral("FAL"), QStringLiteral("NUMERO"), QVariantList{cheio}))
        return cheio;
    return {};
}

QSet<QString> FalsBloqueadas(const QStringList& fals, const QString& produto, TZoDatabase* conexao) {
    QSet<QString> bloqueadas;
    if (fals.isEmpty())
        return bloqueadas;
    TZoQuery q(nullptr, conexao);
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT DISTINCT FAL FROM {CONTR_QUL} WHERE APROVADO = 'N' AND %1"))
                 .arg(NaListaSql(QStringLiteral("FAL"), fals));
    if (!produto.isEmpty()) {
        q.SQL << QStringLiteral("AND CODIGO = :CODIGO");
        q.BindValue(QStringLiteral("CODIGO"), produto);
    }
    for (q.Open(); !q.Eof(); q.Next())
        bloqueadas.insert(q.Fields(0).AsString().trimmed());
    return bloqueadas;
}

QString SituacaoFal(const QString& numero, TZoDatabase* conexao) {
    TZoQuery q(nullptr, conexao);
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT (SELECT FIRST 1 COALESCE(P.DES_FASE, '') FROM {PROCESSO_TIN} "
                                        "P WHERE P.FAL = :FAL1 AND "
                                        "P.CONCLUIDO = 'N' ORDER BY P.ORDEM),"))
          << DBLocal_SQL(QStringLiteral(
                 "(SELECT FIRST 1 1 FROM {PROCESSO_TIN} P WHERE P.FAL = :FAL2) FROM RDB$DATABASE"));
    q.BindValue(QStringLiteral("FAL1"), numero);
    q.BindValue(QStringLiteral("FAL2"), numero);
    q.Open();
    if (!q.Fields(0).IsNull())
        return q.Fields(0).AsString();
    return q.Fields(1).IsNull() ? QStringLiteral("PROGRAMACAO") : QStringLiteral("CONCLUIDO");
}

std::optional<ItemNota> ItemNotaInexistente(const QList<ItemNota>& itens, TZoDatabase* conexao) {
    if (itens.isEmpty())
        return std::nullopt;
    QStringList condicoes;
    for (const ItemNota& item : itens)
        condicoes << QStringLiteral("(NOTA = %1 AND CODCLI = %2 AND CODIGO = %3 AND LOTE = %4)")
                         .arg(Aspas(item.nota), Aspas(item.cliente), Aspas(item.codigo), Aspas(item.lote));
    TZoQuery q(nullptr, conexao);
    q.SQL
        << QStringLiteral("SELECT NOTA, CODCLI, CODIGO, LOTE FROM %1").arg(DBLocal(QStringLiteral("NFITIN")))
        << QStringLiteral("WHERE ") + condicoes.join(QStringLiteral(" OR "));
    q.Open();
    QSet<ItemNota> existentes;
    for (q.First(); !q.Eof(); q.Next())
        existentes.insert({q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed(),
                           q.Fields(2).AsString().trimmed(), q.Fields(3).AsString().trimmed()});
    for (const ItemNota& item : itens)
        if (!existentes.contains(item))
            return item;
    return std::nullopt;
}
