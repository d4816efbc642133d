#include "RegrasFal.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "Receitas.h"
#include "TZoQuery.h"
#include <algorithm>

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

double PesoTomadoNota(int tipo, double peso, bool itemDoReprocessado) {
    if (tipo != falNormal && tipo != falReprocExterno)
        return 0;
    return itemDoReprocessado ? 0 : peso;
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
