#include "PeriodoConciliado.h"
#include "DataAccess.h"
#include "Mensagens.h"
#include "TZoQuery.h"

PeriodoFechado PeriodoQueContem(const QDate& data, const QString& tipo) {
    PeriodoFechado periodo;
    if (!data.isValid())
        return periodo;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT FIRST 1 DATA_INI, DATA_FIN FROM %1")
                 .arg(DBLocal(QStringLiteral("PERIODO_CONCILIADO")))
          << QStringLiteral(
                 "WHERE TIPO = :TIPO AND DATA_INI <= :DATA AND DATA_FIN >= :DATA ORDER BY DATA_INI");
    q.BindValue(QStringLiteral("TIPO"), tipo.trimmed());
    q.BindValue(QStringLiteral("DATA"), data);
    q.Open();
    if (!q.IsEmpty()) {
        periodo.inicio = q.Fields(0).Value().toDate();
        periodo.fim = q.Fields(1).Value().toDate();
    }
    return periodo;
}

bool PeriodoConciliado(const QDate& data, const QString& tipo, QWidget* tela) {
    const PeriodoFechado periodo = PeriodoQueContem(data, tipo);
    if (!periodo.Existe())
        return false;
    const QString formato = QStringLiteral("dd/MM/yyyy");
    Informa(tela, QStringLiteral("Período de %1 a %2 já conciliado. Não é permitido lançar com data de %3.")
                      .arg(periodo.inicio.toString(formato), periodo.fim.toString(formato),
                           data.toString(formato)));
    return true;
}
