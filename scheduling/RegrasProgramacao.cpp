#include "RegrasProgramacao.h"
#include "Funcoes.h"
#include <QSet>
#include <algorithm>

int ProximaOrdem(const QVariantList& ordens) {
    int maior = 0;
    for (const QVariant& ordem : ordens) {
        bool inteiro = false;
        const int valor = ordem.toString().trimmed().toInt(&inteiro);
        if (inteiro)
            maior = std::max(maior, valor);
    }
    return maior + 1;
}

std::optional<double> PesoDosRolos(int rolo, double pesoReal, int rolos) {
    if (rolo <= 0 || rolos <= 0 || rolos < rolo)
        return std::nullopt;
    return rolo * pesoReal / rolos;
}

qint64 MaiorPartida(const QStringList& partidas) {
    qint64 maior = 0;
    for (const QString& partida : partidas) {
        bool numero = false;
        const qint64 valor = partida.trimmed().toLongLong(&numero);
        if (numero)
            maior = std::max(maior, valor);
    }
    return maior;
}

QStringList NumeraPartidas(qint64 ultima, const QStringList& partidas) {
    QStringList numeros;
    for (const QString& partida : partidas)
        numeros << (partida.trimmed().isEmpty() ? QStringLiteral("%1").arg(++ultima, 6, 10, QLatin1Char('0'))
                                                : QString());
    return numeros;
}

QStringList FalsDistintas(const QStringList& fals) {
    QStringList distintas;
    for (const QString& fal : fals)
        if (const QString numero = fal.trimmed(); !numero.isEmpty() && !distintas.contains(numero))
            distintas << numero;
    return distintas;
}

bool PropoeEntrega(const QDate& entrega, const QDate& entrada, const QDate& entradaDaEntrega) {
    return entrada.isValid() && (!entrega.isValid() || entrada != entradaDaEntrega);
}

bool ProgramacaoVencida(const QDate& entrega, const QDate& hoje) {
    return entrega.isValid() && entrega <= hoje;
}

bool CampoNaoImportado(const QString& campo) {
    static const QSet<QString> campos = {QStringLiteral("GERAR"),     QStringLiteral("FAL"),
                                         QStringLiteral("ORDEM"),     QStringLiteral("IMP"),
                                         QStringLiteral("CORANT"),    QStringLiteral("CODIGO_ANT"),
                                         QStringLiteral("LOTEORIG"),  QStringLiteral("ORDEM_GRAVADA"),
                                         QStringLiteral("FLUXO_ANT"), QStringLiteral("LOTENF_ANT")};
    return campos.contains(campo.trimmed().toUpper());
}
