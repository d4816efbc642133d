#pragma once
#include <QString>
#include <QVariant>
#include <optional>

// What the screens that take work for a customer read of it; the rule is RecusaCliente (RegrasCliente).

// ENTIDADE's flags as stored, nulls kept.
struct SituacaoCliente {
    QVariant ativo;
    QVariant bloqueio;
};

// The customer's flags; none when there is no such customer.
std::optional<SituacaoCliente> LeSituacaoCliente(const QString& cliente);

// The look-up filter on ENTIDADE that lists the customers RecusaCliente lets through.
QString FiltroClienteLiberado();
