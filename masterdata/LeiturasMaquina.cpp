#include "LeiturasMaquina.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "TZoQuery.h"

bool CapacidadeValida(const QString& maquina, const QString& variante, double largura, double peso) {
    const QString pesoSql = PermanecePonto(peso), larguraSql = PermanecePonto(largura);
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT COUNT(*) AS LINHAS,")
          // A bound left empty reads as 0, the value an empty bound always meant.
          << QStringLiteral(
                 "  SUM(CASE WHEN ((%1 >= COALESCE(C.PESO_MIN, 0)) AND (%1 <= COALESCE(C.PESO_MAX, 0))) AND "
                 "((%2 >= COALESCE(C.LARG_DE, 0)) AND (%2 <= COALESCE(C.LARG_ATE, 0))) THEN 1 ELSE 0 END) "
                 "AS ACEITAS")
                 .arg(pesoSql, larguraSql)
          << QStringLiteral("FROM %1 C").arg(DBLocal(QStringLiteral("MAQ_TIN_CAP")))
          << QStringLiteral("WHERE C.MAQUINA = %1 AND C.VARIANTE = %2").arg(Aspas(maquina), Aspas(variante));
    q.Open();
    return q.FieldByName(QStringLiteral("LINHAS")).AsInteger() == 0 ||
           q.FieldByName(QStringLiteral("ACEITAS")).AsInteger() > 0;
}

QString BanhoCapacidade(const QString& maquina, const QString& variante, const QString& banhoAtual) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT FIRST 1 C.RELAC_BANHO FROM %1 C")
                 .arg(DBLocal(QStringLiteral("MAQ_TIN_CAP")))
          << QStringLiteral("WHERE C.MAQUINA = %1 AND C.VARIANTE = %2").arg(Aspas(maquina), Aspas(variante))
          << QStringLiteral("ORDER BY C.SEQUENCIA");
    q.Open();
    // The first row of the pair decides; a blank bath there leaves the current one.
    const QString banho =
        q.IsEmpty() ? QString() : q.FieldByName(QStringLiteral("RELAC_BANHO")).AsString().trimmed();
    return banho.isEmpty() ? banhoAtual : banho;
}
