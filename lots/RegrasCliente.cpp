#include "RegrasCliente.h"

QString RecusaCliente(const QVariant& ativo, const QVariant& bloqueio) {
    if (bloqueio.toString().trimmed() == QLatin1String("S"))
        return QStringLiteral("Cliente Bloqueado.");
    if (ativo.toString().trimmed() == QLatin1String("N"))
        return QStringLiteral("Cliente Inativo.");
    return {};
}
