#include "RegrasQuadro.h"
#include "Formatacao.h"

int TempoDoLote(const QStringList& tempos) {
    if (tempos.isEmpty())
        return -1;
    int total = 0;
    for (const QString& tempo : tempos) {
        const int minutos = MinutosDoTempo(tempo);
        if (minutos < 0)
            return -1;
        total += minutos;
    }
    return total;
}

QDateTime InicioDoPasso(const QDate& dia, const QString& hora) {
    if (!dia.isValid())
        return {};
    const QTime lida = LeHora(hora);
    return {dia, lida.isValid() ? lida : QTime(0, 0)};
}

QList<PrevisaoLote> PrevisaoFila(const QList<LoteFila>& fila, const QDateTime& agora) {
    QList<PrevisaoLote> previsoes;
    QDateTime livre = agora; // when the machine is free of the lots ahead
    for (const LoteFila& lote : fila) {
        PrevisaoLote p;
        p.inicio = lote.iniciado && lote.inicio.isValid() ? lote.inicio : std::max(agora, livre);
        if (lote.minutos >= 0) {
            p.fim = p.inicio.addSecs(qint64(lote.minutos) * 60);
            livre = std::max(livre, p.fim);
        }
        previsoes << p;
    }
    return previsoes;
}
