#include "BenchOrcamento.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "Medicao.h"
#include "RelCustoCor.h"
#include "ScreenDriver.h"
#include "TFmRelatorio.h"
#include <tuple>

// The colour cost report of the standard price region, colours (every recipe) and prints (every design and
// variant), confirmed and printed as a user does; the floor is the screen's own statement fetched raw and
// printed with the default columns.
void BenchOrcamento(TZoDatabase& db, ScriptedMessageService& messages) {
    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TFmRelCustoCor"));
    driver.Type(QStringLiteral("EdtCodTab"), QStringLiteral("01"));
    for (const auto& [opcao, qual, sql] :
         {std::tuple{QStringLiteral("RgBusca0"), "colours", InstrucaoCustoCores()},
          std::tuple{QStringLiteral("RgBusca1"), "prints", InstrucaoCustoEstampas()}}) {
        driver.Click(opcao);
        const QString cru =
            MontaInstrucao(DBLocal_SQL(sql),
                           {{QStringLiteral("TABELA"), QStringLiteral(" AND TABPRECO.REGIAO = '01'"), {}}})
                .sql;
        const double piso = RelatorioMotorMs(db, cru);
        const Medida relatorio = Mede(
            [&] {
                driver.Click(QStringLiteral("BitBtn1"));
                driver.Click(QStringLiteral("BtImp"));
            },
            3);
        MostraMensagens(messages, "orcamento");
        const int linhas = static_cast<TFmRelatorio*>(driver.Screen())->Resultado()->RecordCount();
        TabelaBench::Global().Linha(QStringLiteral("report WTngCustoCor, region 01: %1 (%2 rows)")
                                        .arg(QLatin1String(qual))
                                        .arg(linhas),
                                    relatorio, piso, 1.2 * piso);
    }
    driver.Close();
}
