#include "PrioridadeFal.h"
#include "DataAccess.h"
#include "GravacaoAtomica.h"
#include "Mensagens.h"
#include "TZoQuery.h"
#include <QWidget>

std::optional<int> PedePrioridadeFal(QWidget* tela) {
    QString valor = QStringLiteral("1");
    if (!InputQuery(tela, QStringLiteral("Prioridade da FAL"), QStringLiteral("Defina a Prioridade da FAL"),
                    valor))
        return std::nullopt;
    bool inteiro = false;
    const int prioridade = valor.trimmed().toInt(&inteiro);
    if (!inteiro) {
        Informa(tela, QStringLiteral("Prioridade inválida."));
        return std::nullopt;
    }
    return prioridade;
}

int GravaPrioridadeFal(const QStringList& fals, int prioridade, QWidget* tela) {
    GravacaoAtomica gravacao;
    TZoQuery grava;
    grava.SQL << DBLocal_SQL(QStringLiteral("UPDATE {FAL} SET ORDEM = :ORDEM WHERE NUMERO = :NUMERO"));
    int gravadas = 0;
    for (const QString& fal : fals) {
        grava.BindValue(QStringLiteral("ORDEM"), prioridade);
        grava.BindValue(QStringLiteral("NUMERO"), fal);
        grava.ExecSQL();
        if (grava.RowsAffected() == 0)
            continue;
        ++gravadas;
        GeraLog(QStringLiteral("PRIORIDADE DA FAL"),
                QStringLiteral("PRIORIDADE DA FAL %1 DEFINIDA EM %2").arg(fal).arg(prioridade), opAlteracao,
                fal, tela);
    }
    gravacao.Confirma();
    return gravadas;
}
