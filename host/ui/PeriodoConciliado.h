#pragma once
#include "HostExport.h"
#include <QDate>
#include <QString>

class QWidget;

// Periods closed for postings of a kind ("CX": cash and invoices), kept in PERIODO_CONCILIADO.

// The closed period of that kind holding the date, bounds included; invalid dates when there is none.
struct PeriodoFechado {
    QDate inicio, fim;
    bool Existe() const { return inicio.isValid(); }
};
KELMHOST_EXPORT PeriodoFechado PeriodoQueContem(const QDate& data, const QString& tipo);

// True when the date falls in a closed period of that kind, after telling the user which one; the caller
// then stops what it was posting.
KELMHOST_EXPORT bool PeriodoConciliado(const QDate& data, const QString& tipo, QWidget* tela = nullptr);
