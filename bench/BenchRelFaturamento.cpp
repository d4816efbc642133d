#include "BenchRelFaturamento.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "RelTngFat.h"
#include "RelTngListaRec.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include "TFmRelatorio.h"
#include <QDate>
#include <cstdio>

namespace {
// One report confirmed and printed as a user does, against its statement (the filters as literals) fetched
// raw and printed, and what else it reads fetched.
void MedeRelatorio(TZoDatabase& db, ScriptedMessageService& messages, ScreenDriver& driver,
                   const QString& identificador, const QString& descricao, const QString& sql,
                   const QString& filtros, const QStringList& outras = {}) {
    const double piso =
        RelatorioMotorMs(db,
                         MontaInstrucao(DBLocal_SQL(sql), {{QStringLiteral("FILTROS"), filtros, {}}}).sql) +
        (outras.isEmpty() ? 0 : MotorMs(db, outras));
    const Medida relatorio = MedeRelatorio(driver);
    MostraMensagens(messages, "relatorios");
    const int linhas = static_cast<TFmRelatorio*>(driver.Screen())->Resultado()->RecordCount();
    TabelaBench::Global().Linha(
        QStringLiteral("report %1, %2 (%3 rows)").arg(identificador, descricao).arg(linhas), relatorio, piso,
        1.2 * piso);
}

// The billing report of the last month with invoices, summed and item by item.
void Faturamento(TZoDatabase& db, ScriptedMessageService& messages, ScreenDriver& driver) {
    const QDate ultima = QDate::fromString(
        Escalar(db, QStringLiteral("SELECT CAST(MAX(DT_EMISSAO) AS VARCHAR(10)) FROM NOTA")), Qt::ISODate);
    const QDate fim = ultima.isValid() ? ultima : QDate::currentDate(), inicio = fim.addMonths(-1).addDays(1);
    driver.Open(QStringLiteral("TFmRelTngFat"));
    driver.Type(QStringLiteral("DtFatIni"), inicio.toString(QStringLiteral("dd/MM/yyyy")));
    driver.Type(QStringLiteral("DtFatFim"), fim.toString(QStringLiteral("dd/MM/yyyy")));
    const QString periodo = QStringLiteral(" AND NOTA.DT_EMISSAO >= %1 AND NOTA.DT_EMISSAO <= %2")
                                .arg(DataSQL(inicio), DataSQL(fim));
    // Both read the weight each customer sent in the period.
    const QStringList entrada{DBLocal_SQL(InstrucaoPesoEntrada(true, true, false))
                                  .replace(QStringLiteral(":DE"), DataSQL(inicio))
                                  .replace(QStringLiteral(":ATE"), DataSQL(fim.addDays(1)))};
    MedeRelatorio(db, messages, driver, QStringLiteral("WTngFat"), QStringLiteral("a month"),
                  InstrucaoFaturamento(), periodo, entrada);
    driver.Click(QStringLiteral("CbResumo"));
    MedeRelatorio(db, messages, driver, QStringLiteral("WTngFatR"), QStringLiteral("a month"),
                  InstrucaoFaturamentoResumo(), periodo, entrada);
    driver.Close();
}
} // namespace

// The billing report (when the database has outgoing invoices) and the recipe list of about
// a hundred recipes for a 100 kg batch on a machine with its bath; each printed into the report folder.
void BenchRelFaturamento(TZoDatabase& db, ScriptedMessageService& messages) {
    ScreenDriver driver(messages);
    if (Escalar(db, QStringLiteral("SELECT COUNT(*) FROM NOTA")).toInt() == 0)
        std::printf("report WTngFat, WTngFatR: no outgoing invoices in this database, not measured\n");
    else
        Faturamento(db, messages, driver);
    const QStringList receitas =
        Linhas(db, QStringLiteral("SELECT CODIGO FROM RECEITA ORDER BY CODIGO ROWS 100"));
    const QString maquina = Escalar(
        db, QStringLiteral("SELECT FIRST 1 CODIGO FROM MAQ_TIN WHERE RELAC_BANHO > '' ORDER BY CODIGO"));
    driver.Open(QStringLiteral("TFmRelTngListaRec"));
    driver.Type(QStringLiteral("EdtRecIni"), receitas.value(0));
    driver.Type(QStringLiteral("EdtRecFim"), receitas.value(receitas.size() - 1));
    driver.Type(QStringLiteral("EdtPeso"), QStringLiteral("100"));
    driver.Type(QStringLiteral("EdtFibra1"), QStringLiteral("60"));
    driver.Type(QStringLiteral("EdtCodMaq"), maquina);
    driver.Press(QStringLiteral("Tab"));
    MedeRelatorio(
        db, messages, driver, QStringLiteral("WTngListaRec"),
        QStringLiteral("recipes %1 to %2").arg(receitas.value(0), receitas.value(receitas.size() - 1)),
        InstrucaoListaReceitas(),
        QStringLiteral(" AND RECEITA.CODIGO >= %1 AND RECEITA.CODIGO <= %2")
            .arg(Aspas(receitas.value(0)), Aspas(receitas.value(receitas.size() - 1))));
    driver.Close();
}
