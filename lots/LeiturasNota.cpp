#include "LeiturasNota.h"
#include "DataAccess.h"
#include "RegrasNota.h"
#include "TZoQuery.h"

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
    return LoteSequencial(maior) ? maior : QStringLiteral("000000");
}
