#include "LeiturasCliente.h"
#include "DataAccess.h"
#include "TZoQuery.h"

std::optional<SituacaoCliente> LeSituacaoCliente(const QString& cliente) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT ATIVO, BLOQUEIO FROM {ENTIDADE} WHERE CODCLI = :CODCLI"));
    q.BindValue(QStringLiteral("CODCLI"), cliente);
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    return SituacaoCliente{q.Fields(0).Value(), q.Fields(1).Value()};
}

QString FiltroClienteLiberado() {
    return QStringLiteral("COALESCE(ATIVO, 'S') <> 'N' AND COALESCE(BLOQUEIO, 'N') <> 'S'");
}
