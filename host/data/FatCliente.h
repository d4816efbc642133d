#pragma once
#include "HostExport.h"
#include <QString>

// Whether the customer may carry this much open value (money, compared to the cent): a blocked or unknown
// customer may carry none; a customer without a limit (none or 0) any.
KELMHOST_EXPORT bool LimiteCredito(const QString& cliente, double valorAberto);
