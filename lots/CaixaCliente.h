#pragma once
#include "CaixaPesquisa.h"

// The customer of the screens that take work for one: the invoice intake, the programme and its information
// board.

// Why no work may be taken for the customer, in the screen's words: `desconhecido` for a code that is no
// customer, RecusaCliente's text followed by `depois` for a blocked or inactive one; empty when it may.
QString RecusaDoCliente(const QString& cliente, const QString& desconhecido, const QString& depois = {});

// The customer's code box (ENTIDADE by CODCLI): its list holds the customers RecusaCliente lets through, of
// the customer kind only with `soClientes`; leaving it refuses a code as RecusaDoCliente does, or takes any
// code without `desconhecido` (a filter box).
DeclaracaoCaixa CaixaCliente(QLineEdit* caixa, bool soClientes, const QString& desconhecido = {},
                             const QString& depois = {});
