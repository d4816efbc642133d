#include "BenchRelGerencia.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "RelFal.h"
#include "RelFalEntrega.h"
#include "RelPrecoVar.h"
#include "RelTngFatMes.h"
#include "RelTngMaq.h"
#include "RelTngProg.h"
#include "RelTngRep.h"
#include "RelTngSetor.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include "TFmRelatorio.h"
#include <QDate>

namespace {
// A report as a user runs it: the screen's filters typed (a null text clicks the control), and the same
// filters as literal conditions at the statement's markers for the floor.
struct Caso {
    const char* tela;
    const char* identificador;
    QString sql;
    QList<CondicaoRelatorio> condicoes;
    QList<QPair<QString, QString>> filtros;
    QString quais;
};

CondicaoRelatorio Periodo(const QString& marcador, const QString& coluna, const QDate& de, const QDate& ate) {
    return {
        marcador, QStringLiteral(" AND %1 >= %2 AND %1 <= %3").arg(coluna, DataSQL(de), DataSQL(ate)), {}};
}
// The statement a screen last ran with its values written in, longest names first (":F10" before ":F1").
QString ComValores(const InstrucaoRelatorio& instrucao) {
    QStringList nomes = instrucao.valores.keys();
    std::sort(nomes.begin(), nomes.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QString sql = instrucao.sql;
    for (const QString& nome : std::as_const(nomes)) {
        const QVariant v = instrucao.valores.value(nome);
        const QString literal = v.typeId() == QMetaType::QDate     ? DataSQL(v.toDate())
                                : v.typeId() == QMetaType::QString ? Aspas(v.toString())
                                                                   : v.toString();
        sql.replace(QLatin1Char(':') + nome, literal);
    }
    return sql;
}
} // namespace

// The seven management reports over the generated years, confirmed and printed as a user does: the period
// ones over a month before the cut (every sheet of it billed and its steps done), the monthly billing over a
// year; the floor is each screen's own statement fetched raw and printed with the default columns.
void BenchRelGerencia(TZoDatabase& db, ScriptedMessageService& messages) {
    const QDate de(2026, 10, 1), ate(2026, 10, 31);
    const QString ini = de.toString(QStringLiteral("dd/MM/yyyy")),
                  fim = ate.toString(QStringLiteral("dd/MM/yyyy"));
    const QList<QPair<QString, QString>> mes{{QStringLiteral("EdtDataIni"), ini},
                                             {QStringLiteral("EdtDataFim"), fim}};
    const QString filtros = QStringLiteral("FILTROS");
    const Caso casos[] = {
        {"TFmRelTngMaq",
         "WTngProgMaq",
         InstrucaoTngMaq(),
         {Periodo(filtros, QStringLiteral("FAL.DATA_INI"), de, ate)},
         mes + QList<QPair<QString, QString>>{{QStringLiteral("rgProcessos0"), {}}},
         QStringLiteral("lots dyed in October 2026, every step")},
        {"TFmRelTngSetor",
         "WTngProgSetor",
         InstrucaoTngSetor(),
         {Periodo(filtros, QStringLiteral("PROC.DATA_FIN"), de, ate)},
         mes,
         QStringLiteral("steps finished in October 2026")},
        {"TFmRelTngRep",
         "WTngProgRep",
         InstrucaoTngRep(),
         {Periodo(QStringLiteral("BAIXA"), QStringLiteral("PROC.DATA_FIN"), de, ate)},
         mes,
         QStringLiteral("steps finished in October 2026, PDF and text")},
        {"TFmRelTngProg",
         "WTngProg",
         InstrucaoTngProg(1),
         {Periodo(filtros, QStringLiteral("TNG_PROG.ENTRADA"), de, ate)},
         mes + QList<QPair<QString, QString>>{{QStringLiteral("RgGrupo1"), {}}},
         QStringLiteral("items typed in October 2026 by customer, PDF and text")},
        {"TFmRelFalEntrega",
         "WTngFalEntrega",
         InstrucaoFalEntrega(),
         {Periodo(filtros, QStringLiteral("FAL_ITEN.DT_FATURA"), de, ate)},
         mes,
         QStringLiteral("items billed in October 2026")},
        {"TFmRelPrecoVar",
         "WTngPrecoVar",
         InstrucaoPrecoVar(),
         {{filtros, QStringLiteral(" AND TABPRECO.REGIAO = ") + Aspas(QStringLiteral("01")), {}}},
         {{QStringLiteral("EdtCodTab"), QStringLiteral("01")}},
         QStringLiteral("region 01")},
        {"TFmRelTngFatMes",
         "WTngFatMes",
         InstrucaoFatMes(0),
         {{filtros, QStringLiteral(" AND UDF_YEAR(NOTA.DT_EMISSAO) = 2025"), {}}},
         {{QStringLiteral("EdtAno"), QStringLiteral("2025")}},
         QStringLiteral("2025 by customer")},
    };
    for (const Caso& caso : casos) {
        const double piso = RelatorioMotorMs(db, MontaInstrucao(DBLocal_SQL(caso.sql), caso.condicoes).sql);
        ScreenDriver driver(messages);
        driver.Open(QLatin1String(caso.tela));
        for (const auto& [controle, texto] : caso.filtros)
            texto.isNull() ? driver.Click(controle) : driver.Type(controle, texto);
        const Medida relatorio = MedeRelatorio(driver);
        MostraMensagens(messages, caso.identificador);
        const int linhas = static_cast<TFmRelatorio*>(driver.Screen())->Resultado()->RecordCount();
        TabelaBench::Global().Linha(QStringLiteral("report %1: %2 (%3 rows)")
                                        .arg(QLatin1String(caso.identificador), caso.quais)
                                        .arg(linhas),
                                    relatorio, piso, 1.2 * piso);
        driver.Close();
    }
    // The FAL report over the month, every item whatever its state; its floor is the statements it ran: the
    // items, by sector, the quality records.
    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TFmRelFal"));
    for (const auto& [controle, texto] : mes)
        driver.Type(controle, texto);
    driver.Click(QStringLiteral("RgSitProd0"));
    driver.Click(QStringLiteral("RgSituacao0"));
    const Medida relatorio = MedeRelatorio(driver);
    MostraMensagens(messages, "WTngFalNum");
    auto* tela = static_cast<TFmRelatorio*>(driver.Screen());
    // The items fetched and printed with every column; the pages' lists, shown but not printed, fetched.
    const QList<InstrucaoRelatorio>& lidas = tela->UltimasInstrucoes();
    double piso = RelatorioMotorMs(db, ComValores(lidas.value(0)));
    for (qsizetype i = 1; i < lidas.size(); ++i)
        piso += MotorMs(db, {ComValores(lidas[i])});
    TabelaBench::Global().Linha(
        QStringLiteral("report WTngFalNum: items of sheets issued in October 2026, PDF and text (%1 rows)")
            .arg(tela->Resultado()->RecordCount()),
        relatorio, piso, 1.2 * piso);
}
