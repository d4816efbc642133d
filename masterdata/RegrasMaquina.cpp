#include "RegrasMaquina.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "TZoQuery.h"
#include <QLocale>
#include <cmath>

bool CapacidadeValida(const QString& maquina, const QString& variante, double largura, double peso) {
    const QString pesoSql = PermanecePonto(peso), larguraSql = PermanecePonto(largura);
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT COUNT(*) AS LINHAS,")
          << QStringLiteral("  SUM(CASE WHEN ((%1 >= C.PESO_MIN) AND (%1 <= C.PESO_MAX)) AND "
                            "((%2 >= C.LARG_DE) AND (%2 <= C.LARG_ATE)) THEN 1 ELSE 0 END) AS ACEITAS")
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

namespace {
// Typed money as whole cents; a comma or a point may mark the decimals.
qint64 centavos(const QString& texto) {
    const QString numero = PermanecePonto(texto);
    return numero == QLatin1String("NULL") ? 0 : std::llround(numero.toDouble() * 100);
}
} // namespace

QString ValorZazid(const QString& valor, const QString& depreciacaoMensal, const QString& meses) {
    if (depreciacaoMensal.trimmed().isEmpty() || meses.trimmed().isEmpty())
        return {};
    const qint64 residual =
        centavos(valor) - centavos(depreciacaoMensal) * std::llround(PermanecePonto(meses).toDouble());
    return QStringLiteral("R$ ") +
           QLocale(QLocale::Portuguese, QLocale::Brazil).toString(residual / 100.0, 'f', 2);
}
