#include "RegrasFal.h"
#include "Formatacao.h"
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
    if (pesoMin > 0 && Gramas(total) < Gramas(pesoMin))
        return fora +
               QStringLiteral("O peso mínimo tem de ser superior ou igual a %1 KG.").arg(Numero(pesoMin));
    if (pesoMax > 0 && Gramas(total) > Gramas(pesoMax))
        return fora +
               QStringLiteral("O peso máximo tem de ser inferior ou igual a %1 KG.").arg(Numero(pesoMax));
    return QString();
}

QString RecusaIdadePreco(const QDate& ultimaAlteracao, int dias, const QDate& hoje) {
    if (dias <= 0)
        return {};
    if (!ultimaAlteracao.isValid())
        return QStringLiteral("Preço da cor sem data de alteração; não há como conferir o limite de %1 dias.")
            .arg(dias);
    if (ultimaAlteracao.daysTo(hoje) <= dias)
        return {};
    return QStringLiteral("Data da última alteração de preço, %1 maior que o limite do dia definido: %2.")
        .arg(ultimaAlteracao.toString(QStringLiteral("dd/MM/yyyy")))
        .arg(dias);
}

double PesoTomadoNota(int tipo, double peso, bool itemDoReprocessado) {
    if (tipo != falNormal && tipo != falSoServico && tipo != falReprocExterno)
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

bool EtapaConcluida(const QString& concluido) {
    const QString c = concluido.trimmed().toUpper();
    return c == QLatin1String("S") || c == QLatin1String("R");
}

bool PassoIniciado(const QString& concluido, const QDate& dataInicio, const QString& horaInicio) {
    return EtapaConcluida(concluido) || dataInicio.isValid() || !horaInicio.trimmed().isEmpty();
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
