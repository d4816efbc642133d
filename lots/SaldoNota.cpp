#include "SaldoNota.h"
#include "DataAccess.h"
#include "TZoQuery.h"
#include <QHash>

size_t qHash(const ItemNota& item, size_t seed) {
    return qHashMulti(seed, item.nota, item.cliente, item.codigo, item.lote);
}

namespace {
void ChaveItem(TZoQuery& q, const ItemNota& item) {
    q.BindValue(QStringLiteral("NOTA"), item.nota);
    q.BindValue(QStringLiteral("CODCLI"), item.cliente);
    q.BindValue(QStringLiteral("CODIGO"), item.codigo);
    q.BindValue(QStringLiteral("LOTE"), item.lote);
}
} // namespace

bool MovePesoNota(const ItemNota& item, double peso, TZoDatabase* conexao) {
    // Both columns from the stored PESO_PROG: the server reads old values in every SET expression.
    TZoQuery itemNota(nullptr, conexao);
    itemNota.SQL << QStringLiteral("UPDATE %1 SET PESO_PROG = PESO_PROG + :PESO1,")
                        .arg(DBLocal(QStringLiteral("NFITIN")))
                 << QStringLiteral("PESO = PESO_REAL - (PESO_PROG + :PESO2)")
                 << QStringLiteral(
                        "WHERE NOTA = :NOTA AND CODCLI = :CODCLI AND CODIGO = :CODIGO AND LOTE = :LOTE");
    itemNota.BindValue(QStringLiteral("PESO1"), peso);
    itemNota.BindValue(QStringLiteral("PESO2"), peso);
    ChaveItem(itemNota, item);
    itemNota.ExecSQL();
    if (itemNota.RowsAffected() == 0)
        return false;
    TZoQuery nota(nullptr, conexao);
    nota.SQL << QStringLiteral("UPDATE %1 N SET SALDO = (SELECT COALESCE(SUM(I.PESO), 0) FROM %2 I")
                    .arg(DBLocal(QStringLiteral("NFTIN")), DBLocal(QStringLiteral("NFITIN")))
             << QStringLiteral("WHERE I.NOTA = N.NOTA AND I.CODCLI = N.CLIENTE)")
             << QStringLiteral("WHERE N.NOTA = :NOTA AND N.CLIENTE = :CODCLI");
    nota.BindValue(QStringLiteral("NOTA"), item.nota);
    nota.BindValue(QStringLiteral("CODCLI"), item.cliente);
    nota.ExecSQL();
    return true;
}

double PesoLivreNota(const ItemNota& item, TZoDatabase* conexao) {
    TZoQuery q(nullptr, conexao);
    q.SQL << QStringLiteral("SELECT PESO FROM %1").arg(DBLocal(QStringLiteral("NFITIN")))
          << QStringLiteral("WHERE NOTA = :NOTA AND CODCLI = :CODCLI AND CODIGO = :CODIGO AND LOTE = :LOTE");
    ChaveItem(q, item);
    q.Open();
    return q.IsEmpty() ? 0 : q.Fields(0).AsFloat();
}
