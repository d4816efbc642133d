#include "RegrasFal.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "Receitas.h"
#include "TZoQuery.h"
#include <algorithm>
#include <cmath>

QString PalavraTipoFal(int tipo) {
    static const QStringList palavras = {QStringLiteral("NORMAL"),        QStringLiteral("RETINGIMENTO"),
                                         QStringLiteral("ACERTO DE COR"), QStringLiteral("ACABAMENTO"),
                                         QStringLiteral("SO SERVICO"),    QStringLiteral("REPROC. EXTERNO")};
    return tipo >= 1 && tipo <= palavras.size() ? palavras.at(tipo - 1) : QString();
}

namespace {
QString Numero(double valor) {
    return QString::number(valor, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}
} // namespace

QString ForaLimiteMaquina(double total, double pesoMin, double pesoMax) {
    const QString fora = QStringLiteral("Peso total da FAL fora do intervalo permitido na máquina.\r");
    if (pesoMin > 0 && total < pesoMin)
        return fora +
               QStringLiteral("O peso mínimo tem de ser superior ou igual a %1 KG.").arg(Numero(pesoMin));
    if (pesoMax > 0 && total > pesoMax)
        return fora +
               QStringLiteral("O peso máximo tem de ser inferior ou igual a %1 KG.").arg(Numero(pesoMax));
    return QString();
}

double RetornaPreco(const QString& regiao, const QString& cor, const QString& variante,
                    const QString& prazo) {
    return PrecoTabela(regiao, cor, variante, prazo).value_or(0);
}

QString VerificaPreco(const QString& regiao, const QString& cor, const QString& variante,
                      const QString& prazo) {
    if (!PrecoTabela(regiao, cor, variante, prazo))
        return QStringLiteral("Preço da cor não cadastrado.");
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT FIRST 1 1 FROM %1").arg(DBLocal(QStringLiteral("TABPRECO")))
          << QStringLiteral("WHERE REGIAO = %1 AND COR = %2 AND VARIANTE = %3 AND LIBERADO = 'N'")
                 .arg(Aspas(regiao.trimmed()), Aspas(cor.trimmed()), Aspas(variante.trimmed()))
          << QStringLiteral("AND (CODIGO = '' OR CODIGO IS NULL OR CODIGO = '0')");
    q.Open();
    return q.IsEmpty() ? QString() : QStringLiteral("Preço da cor não Liberado.");
}

namespace {
// Customers with more sheets than this have theirs found through the open items, not walked one by one.
constexpr int kFalsParaItensAbertos = 5000;
} // namespace

// One statement however many sheets are open. A customer's sheets are walked through its index while they
// are few; a big customer's years are not walked: the open items are (IDX_FAL_ITEN_FATURADO, "<> 'S'" as the
// two ranges around it), a few thousand at most, their sheets found by number (the LEFT JOIN keeps the items
// as the driving stream; the customer's condition on the sheet makes it an inner join all the same).
double ValorAbertoFals(const QString& cliente, const QStringList& excluidas) {
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
                   "SELECT SUM(F.PESO * COALESCE((SELECT FIRST 1 CASE COALESCE(NULLIF(TRIM(F.PRAZO), ''), "
                   "'00') WHEN '00' THEN T.PRECO_00 WHEN '07' THEN T.PRECO_07 WHEN '14' THEN T.PRECO_14 WHEN "
                   "'21' THEN T.PRECO_21 END FROM %1 T WHERE T.REGIAO = F.TABPRECO AND T.COR = F.COR AND "
                   "T.VARIANTE = F.VARIANTE AND (T.CODIGO = '' OR T.CODIGO = '0') ORDER BY T.CODIGO), 0)) "
                   "FROM "
                   "(SELECT FAL.NUMERO, FAL.PRAZO, FAL.TABPRECO, FAL.COR, FAL.VARIANTE, SUM(FAL_ITEN.PESO) "
                   "AS "
                   "PESO FROM %2 AND %3 GROUP BY FAL.NUMERO, FAL.PRAZO, FAL.TABPRECO, FAL.COR, FAL.VARIANTE) "
                   "F "
                   "INTO VALOR")
            .arg(DBLocal(QStringLiteral("TABPRECO")), origem, condicoes);
    };
    TZoQuery q;
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

double PesoTomadoNota(int tipo, double peso, bool itemDoReprocessado) {
    if (tipo != falNormal && tipo != falReprocExterno)
        return 0;
    return itemDoReprocessado ? 0 : peso;
}

double PesoPecasMovidas(int pecas, int pecasLinha, double peso) {
    if (pecas <= 0 || pecasLinha <= 0)
        return 0;
    if (pecas >= pecasLinha)
        return peso;
    return std::round(peso * pecas / pecasLinha * 1000) / 1000;
}

int PecasDigitadas(const QString& texto) {
    bool ok = false;
    const int pecas = texto.trimmed().toInt(&ok);
    return ok ? pecas : 0;
}

QString ChavePasso(const QString& codigo, const QString& fase) {
    return codigo.trimmed() + QLatin1Char('\x1f') + fase.trimmed();
}

QList<PassoFal> LayoutPassos(const QList<ItemPasso>& itens,
                             const QHash<QString, QList<PassoRoteiro>>& roteiros,
                             const QSet<QString>& existentes) {
    QList<PassoFal> passos;
    QSet<QString> tecidos, postos = existentes;
    for (const ItemPasso& item : itens) {
        const QString fluxo = item.fluxo.trimmed();
        if (fluxo.isEmpty() || tecidos.contains(item.codigo.trimmed()))
            continue;
        tecidos.insert(item.codigo.trimmed());
        for (const PassoRoteiro& passo : roteiros.value(fluxo)) {
            const QString chave = ChavePasso(item.codigo, passo.fase);
            if (postos.contains(chave))
                continue;
            postos.insert(chave);
            passos.append(
                {item.codigo.trimmed(), item.ordIt, passo.fase.trimmed(), passo.descricao, passo.ordem});
        }
    }
    std::stable_sort(passos.begin(), passos.end(),
                     [](const PassoFal& a, const PassoFal& b) { return a.ordem < b.ordem; });
    return passos;
}
