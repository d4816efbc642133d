#include "FatCliente.h"
#include "DataAccess.h"
#include "TZoQuery.h"
#include <cmath>

namespace {
qint64 centavos(double valor) {
    return std::llround(valor * 100);
}
} // namespace

bool LimiteCredito(const QString& cliente, double valorAberto) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT BLOQUEIO, LIMITE_CREDITO FROM %1 WHERE CODCLI = :CODCLI")
                 .arg(DBLocal(QStringLiteral("ENTIDADE")));
    q.BindValue(QStringLiteral("CODCLI"), cliente.trimmed());
    q.Open();
    if (q.IsEmpty() || q.Fields(0).AsString().trimmed() == QLatin1String("S"))
        return false;
    const qint64 limite = centavos(q.Fields(1).AsFloat());
    return limite == 0 || centavos(valorAberto) <= limite;
}
