#include "LeiturasMaquina.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "TZoQuery.h"

QList<FaixaCapacidade> FaixasCapacidade(const QString& maquina, const QString& variante,
                                        TZoDatabase* conexao) {
    TZoQuery q(nullptr, conexao);
    // A bound left empty reads as 0, the value an empty bound always meant.
    q.SQL << QStringLiteral(
                 "SELECT COALESCE(C.LARG_DE, 0), COALESCE(C.LARG_ATE, 0), COALESCE(C.PESO_MIN, 0), "
                 "COALESCE(C.PESO_MAX, 0)")
          << QStringLiteral("FROM %1 C").arg(DBLocal(QStringLiteral("MAQ_TIN_CAP")))
          << QStringLiteral("WHERE C.MAQUINA = :MAQUINA AND C.VARIANTE = :VARIANTE ORDER BY C.SEQUENCIA");
    q.BindValue(QStringLiteral("MAQUINA"), maquina);
    q.BindValue(QStringLiteral("VARIANTE"), variante);
    q.Open();
    QList<FaixaCapacidade> faixas;
    for (q.First(); !q.Eof(); q.Next())
        faixas << FaixaCapacidade{q.Fields(0).AsFloat(), q.Fields(1).AsFloat(), q.Fields(2).AsFloat(),
                                  q.Fields(3).AsFloat()};
    return faixas;
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
