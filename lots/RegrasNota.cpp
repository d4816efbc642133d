#include "RegrasNota.h"
#include <QRegularExpression>

bool LoteSequencial(const QString& lote) {
    static const QRegularExpression digitos(QStringLiteral("^[0-9]{6}$"));
    return digitos.match(lote).hasMatch();
}

QString ProximoLote(const QString& maior, const QSet<QString>& naGrade) {
    qint64 numero = LoteSequencial(maior) ? maior.toLongLong() : 0;
    QString lote;
    do
        lote = QString::number(++numero).rightJustified(6, QLatin1Char('0'));
    while (naGrade.contains(lote));
    return lote;
}

QString LotePadrao(const QString& regra, bool grupoComLote, const QString& loteAtual, const QString& emissor,
                   const QString& nota, const QString& serie, const QString& maiorGravado,
                   const QSet<QString>& naGrade) {
    const QString atual = loteAtual.trimmed().isEmpty() ? QStringLiteral("0") : loteAtual.trimmed();
    const QString r = regra.trimmed().toUpper();
    if (!grupoComLote || r.isEmpty() || r == QLatin1String("N"))
        return atual;
    if (r == QLatin1String("S"))
        return ProximoLote(maiorGravado, naGrade);
    if (r == QLatin1String("F"))
        return (emissor.trimmed() + QLatin1Char('/') + nota.trimmed() + serie.trimmed()).left(12);
    if (r == QLatin1String("Z"))
        return (emissor.trimmed() + nota.trimmed() + serie.trimmed()).left(12);
    return atual;
}

bool NaturezaForaDoEstado(const QString& natureza, const QString& ufCliente, const QString& ufEmpresa) {
    const QString cliente = ufCliente.trimmed().toUpper(), empresa = ufEmpresa.trimmed().toUpper();
    if (cliente.isEmpty() || empresa.isEmpty())
        return false;
    const QString codigo = natureza.trimmed();
    return (cliente != empresa && codigo.startsWith(QLatin1Char('1'))) ||
           (cliente == empresa && codigo.startsWith(QLatin1Char('2')));
}

double PesoLivre(double pesoReal, double pesoProgramado) {
    return pesoReal - pesoProgramado;
}
