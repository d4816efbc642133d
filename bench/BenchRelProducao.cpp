#include "BenchRelProducao.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "RelTngMov.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include "TFmRelatorio.h"
#include <QDate>

// The production report on the busiest month of the last half year of completions (a whole month: the
// latest ones are still filling), confirmed and printed as a user does (both outputs); the floor is the
// screen's own statement fetched raw and printed with the default columns. Then the idle time and the chart
// worked out on that month's rows.
void BenchRelProducao(TZoDatabase& db, ScriptedMessageService& messages) {
    const int mes =
        Escalar(db, QStringLiteral("SELECT FIRST 1 EXTRACT(YEAR FROM DATA_FIN) * 100 + EXTRACT(MONTH FROM "
                                   "DATA_FIN) FROM PROCESSO_TIN WHERE CONCLUIDO <> 'N' AND DATA_FIN >= "
                                   "DATEADD(-6 MONTH TO (SELECT MAX(DATA_FIN) FROM PROCESSO_TIN)) GROUP BY 1 "
                                   "ORDER BY COUNT(*) DESC"))
            .toInt();
    if (mes <= 0)
        return;
    const QDate de(mes / 100, mes % 100, 1), ate = de.addMonths(1).addDays(-1);
    const QString cru =
        MontaInstrucao(DBLocal_SQL(InstrucaoProducao()),
                       {{QStringLiteral("FILTROS"),
                         QStringLiteral(" AND PROC.DATA_FIN >= %1 AND PROC.DATA_FIN <= %2")
                             .arg(DataSQL(de), DataSQL(ate)),
                         {}},
                        {QStringLiteral("ORDEM"), QStringLiteral("PROC.FAL, PROC.ORDEM, PROC.FASE"), {}}})
            .sql;
    const double piso = RelatorioMotorMs(db, cru);
    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TFmRelTngMov"));
    driver.Type(QStringLiteral("EdtDataIni"), de.toString(QStringLiteral("dd/MM/yyyy")));
    driver.Type(QStringLiteral("EdtDataFim"), ate.toString(QStringLiteral("dd/MM/yyyy")));
    const Medida relatorio = MedeRelatorio(driver);
    MostraMensagens(messages, "relatorios: production");
    const int linhas = static_cast<TFmRelatorio*>(driver.Screen())->Resultado()->RecordCount();
    TabelaBench& tabela = TabelaBench::Global();
    tabela.Linha(QStringLiteral("report WTngMov, %1 (%2 steps)")
                     .arg(de.toString(QStringLiteral("MM/yyyy")))
                     .arg(linhas),
                 relatorio, piso, 1.2 * piso);

    const Medida parado = Mede([&] { driver.Menu(QStringLiteral("CalcularTempoParado1")); });
    MostraMensagens(messages, "relatorios: idle time");
    tabela.Linha(QStringLiteral("RelTngMov: Calcular Tempo Parado on a month"), parado, 0, kInterativoMs);

    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Gráfico"));
    const Medida grafico = Mede([&] { driver.Click(QStringLiteral("BtGerar")); });
    MostraMensagens(messages, "relatorios: chart");
    tabela.Linha(QStringLiteral("RelTngMov: the chart of a month (Gerar)"), grafico, 0, kInterativoMs);
    driver.Close();
}
