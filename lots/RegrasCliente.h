#pragma once
#include <QString>
#include <QVariant>

// Whether work may be taken for a customer, apart from the screens that ask it.

// Empty when the customer is active and not blocked, else the message; a blocked customer is told as blocked
// even when also inactive. ATIVO and BLOQUEIO came to ENTIDADE after it held customers, and rows older than
// them keep null there: a null ATIVO is active and a null BLOQUEIO not blocked.
QString RecusaCliente(const QVariant& ativo, const QVariant& bloqueio);
