#include "BenchOrcamento.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "LeiturasOrcamento.h"
#include "Medicao.h"
#include "RelCustoCor.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include "TFmRelatorio.h"
#include <QDate>
#include <QLabel>
#include <tuple>

namespace {
// A quotation of a hundred colours of a customer with parameters: open it, price an item, search a year of
// quotations, save it and post its hundred prices, as a user does on the screen.
void Orcamento(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    const QString cliente =
        Escalar(db, QStringLiteral("SELECT FIRST 1 P.CODIGO FROM PRECO_PARAM P JOIN ENTIDADE C "
                                   "ON C.CODCLI = P.CODIGO WHERE C.TABELA > '' ORDER BY 1"));
    const QStringList pares =
        Linhas(db, QStringLiteral("SELECT FIRST 100 COR, VARIANTE FROM RECEITA WHERE COR > '' "
                                  "GROUP BY COR, VARIANTE ORDER BY COR, VARIANTE"));
    if (cliente.isEmpty() || pares.size() < 100)
        return;
    OrcamentoGravar cem{Proximo(QStringLiteral("ORCAMENTO"), QStringLiteral("NUMERO"), 6),
                        cliente,
                        QStringLiteral("BANCADA"),
                        QStringLiteral("0"),
                        QDate::currentDate(),
                        {},
                        {}};
    for (const QString& par : pares)
        cem.itens.append({par.section(QLatin1Char('|'), 0, 0), par.section(QLatin1Char('|'), 1, 1), QString(),
                          QStringLiteral("N"), 20, 2, 1, 2, 9.5});
    GravaOrcamento(cem, ImpressaoGravada(cem.numero));

    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TFmTngOrcaCor"));
    const auto abre = [&] {
        driver.Type(QStringLiteral("EdtNumero"), QString());
        driver.Press(QStringLiteral("Tab"));
        driver.Type(QStringLiteral("EdtNumero"), cem.numero);
        driver.Press(QStringLiteral("Tab"));
    };
    // From a new quotation's blank screen: the number handed out is left unused, as a user leaving it would.
    const Medida aberto = Mede(
        [&] {
            driver.Type(QStringLiteral("EdtNumero"), QString());
            driver.Press(QStringLiteral("Tab"));
        },
        [&] {
            driver.Type(QStringLiteral("EdtNumero"), cem.numero);
            driver.Press(QStringLiteral("Tab"));
        });
    MostraMensagens(messages, "orcamento: open");
    tabela.Linha(QStringLiteral("TngOrcaCor: a 100-item quotation opened"), aberto, 0, kInterativoMs);

    driver.Row(QStringLiteral("DBGrid1"), 0);
    int vez = 0;
    const Medida item = Mede([&] {
        driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Quimico"), QString::number(2 + ++vez % 2));
    });
    MostraMensagens(messages, "orcamento: item");
    tabela.Linha(QStringLiteral("TngOrcaCor: an item priced (chemical cost typed)"), item, 0, kInterativoMs);

    messages.choices.clear();
    const Medida gravado = Mede(
        [&] {
            abre();
            driver.Row(QStringLiteral("DBGrid1"), 1);
            driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Quimico"), QString::number(2 + ++vez % 2));
        },
        [&] { driver.Click(QStringLiteral("BitBtn1")); });
    MostraMensagens(messages, "orcamento: save");
    tabela.Linha(QStringLiteral("TngOrcaCor: a 100-item quotation saved"), gravado, 0, 3 * kInterativoMs);

    TDataSet* itens = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbItens"));
    const Medida lancado = Mede(
        [&] {
            abre();
            const int sel = itens->FieldIndex(QStringLiteral("Sel"));
            for (int i = 0; i < itens->RecordCount(); ++i)
                itens->SetValueAt(i, sel, QStringLiteral("S"));
        },
        [&] { driver.Click(QStringLiteral("BitBtn6")); });
    messages.Clear();
    tabela.Linha(QStringLiteral("TngOrcaCor: 100 prices posted to the price table"), lancado, 0,
                 3 * kInterativoMs);

    const QString ano = Escalar(db, QStringLiteral("SELECT MAX(EXTRACT(YEAR FROM DATA)) FROM ORCAMENTO "
                                                   "WHERE OBS <> 'BANCADA'"));
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Consulta"));
    driver.Type(QStringLiteral("EdtDataIni"), QStringLiteral("01/01/") + ano);
    driver.Type(QStringLiteral("EdtDataFim"), QStringLiteral("31/12/") + ano);
    const Medida busca = Mede([&] { driver.Click(QStringLiteral("BitBtn9")); });
    MostraMensagens(messages, "orcamento: search");
    tabela.Linha(QStringLiteral("TngOrcaCor: a year of quotations searched (%1)")
                     .arg(driver.Screen()->findChild<QLabel*>(QStringLiteral("LbQtdeConsulta"))->text()),
                 busca, 0, kInterativoMs);
    driver.Close();
}
} // namespace

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
        const Medida relatorio = MedeRelatorio(driver);
        MostraMensagens(messages, "orcamento");
        const int linhas = static_cast<TFmRelatorio*>(driver.Screen())->Resultado()->RecordCount();
        TabelaBench::Global().Linha(QStringLiteral("report WTngCustoCor, region 01: %1 (%2 rows)")
                                        .arg(QLatin1String(qual))
                                        .arg(linhas),
                                    relatorio, piso, 1.2 * piso);
    }
    driver.Close();
    Orcamento(db, messages);
}
