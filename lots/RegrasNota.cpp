#include "RegrasNota.h"
#include "DataAccess.h"
#include "TZoQuery.h"
#include <QRegularExpression>

namespace {
bool seisDigitos(const QString& lote) {
    static const QRegularExpression digitos(QStringLiteral("^[0-9]{6}$"));
    return digitos.match(lote).hasMatch();
}
} // namespace

QString ProximoLote(const QString& maior, const QSet<QString>& naGrade) {
    qint64 numero = seisDigitos(maior) ? maior.toLongLong() : 0;
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

// Reads each table's index of six-digit lots from the top (the expression must be the index's own), so
// that it touches a handful of entries however many other lots there are.
QString MaiorLoteSequencial() {
    const QString seq =
        QStringLiteral("IIF(CHAR_LENGTH(%1.LOTE) = 6 AND %1.LOTE SIMILAR TO '[0-9]{6}', %1.LOTE, NULL)");
    const QString estoque = seq.arg(QLatin1Char('I')), notas = seq.arg(QLatin1Char('N'));
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT MAX(LOTE) FROM (SELECT (SELECT FIRST 1 I.LOTE FROM %1 I WHERE %2 IS NOT NULL")
                 .arg(DBLocal(QStringLiteral("PA_ITEN")), estoque)
          << QStringLiteral(
                 "AND EXISTS (SELECT 1 FROM %1 P JOIN %2 G ON (G.CODIGO = P.GRUPO) WHERE "
                 "P.CODIGO = I.CODIGO AND G.LOTE = 'S') ORDER BY %3 DESC) AS LOTE FROM RDB$DATABASE")
                 .arg(DBLocal(QStringLiteral("PRODUTO")), DBLocal(QStringLiteral("GRUPO_PA")), estoque)
          << QStringLiteral(
                 "UNION ALL SELECT (SELECT FIRST 1 N.LOTE FROM %1 N WHERE %2 IS NOT NULL ORDER BY %2 DESC)")
                 .arg(DBLocal(QStringLiteral("NFITIN")), notas)
          << QStringLiteral("FROM RDB$DATABASE) MAIORES");
    q.Open();
    const QString maior = q.IsEmpty() ? QString() : q.Fields(0).AsString().trimmed();
    return seisDigitos(maior) ? maior : QStringLiteral("000000");
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
