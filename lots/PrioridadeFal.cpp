#include "PrioridadeFal.h"
#include "Mensagens.h"

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
