#include "BenchRelatorios.h"
#include "BenchRelFaturamento.h"
#include "BenchRelGerencia.h"
#include "BenchRelProducao.h"
#include "DataSetModel.h"
#include "Medicao.h"
#include "Planilha.h"
#include "TClientDataSet.h"
#include <QDate>
#include <QTemporaryDir>

namespace {
// Thirty thousand rows of ten columns (codes, names, weights, values, dates) out to a spreadsheet.
void BenchPlanilha() {
    TClientDataSet dados;
    dados.AddField(QStringLiteral("FAL"), QMetaType::QString, 7, QStringLiteral("FAL"))
        .AddField(QStringLiteral("CLIENTE"), QMetaType::QString, 5, QStringLiteral("Cliente"))
        .AddField(QStringLiteral("NOME"), QMetaType::QString, 60, QStringLiteral("Nome"))
        .AddField(QStringLiteral("COR"), QMetaType::QString, 10, QStringLiteral("Cor"))
        .AddField(QStringLiteral("PRODUTO"), QMetaType::QString, 15, QStringLiteral("Produto"))
        .AddField(QStringLiteral("DATA"), QMetaType::QDate, 0, QStringLiteral("Emissão"))
        .AddField(QStringLiteral("PESO"), QMetaType::Double, 0, QStringLiteral("Peso (kg)"))
        .AddField(QStringLiteral("VALOR"), QMetaType::Double, 0, QStringLiteral("Valor (R$)"))
        .AddField(QStringLiteral("ROLOS"), QMetaType::Int, 0, QStringLiteral("Rolos"))
        .AddField(QStringLiteral("FASE"), QMetaType::QString, 50, QStringLiteral("Fase"));
    dados.CreateDataSet();
    {
        ControlesDesligados quieto(dados);
        for (int n = 0; n < 30000; ++n) {
            dados.Append();
            const QVariantList valores{QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0')),
                                       QStringLiteral("%1").arg(n % 300, 5, 10, QLatin1Char('0')),
                                       QStringLiteral("MALHARIA %1 LTDA").arg(n % 300),
                                       QStringLiteral("%1").arg(n % 2500, 10, 10, QLatin1Char('0')),
                                       QStringLiteral("MALHA %1").arg(n % 40),
                                       QDate(2026, 1, 1).addDays(n % 365),
                                       50.0 + n % 400 + 0.25,
                                       (50.0 + n % 400) * 9.85,
                                       n % 12,
                                       QStringLiteral("TINGIMENTO")};
            for (int c = 0; c < valores.size(); ++c)
                dados.Fields(c).SetValue(valores[c]);
            dados.Post();
        }
    }
    QTemporaryDir pasta;
    const Medida medida = Mede(
        [&] { ExportaPlanilha(*DataSetModel::Of(&dados), pasta.filePath(QStringLiteral("linhas.xlsx"))); },
        3);
    TabelaBench::Global().Linha(QStringLiteral("export 30,000 rows of ten columns to XLSX"), medida, 0, 3000);
}
} // namespace

void BenchRelatorios(TZoDatabase& db, ScriptedMessageService& messages) {
    BenchRelGerencia(db, messages);
    BenchRelProducao(db, messages);
    BenchRelFaturamento(db, messages);
    BenchPlanilha();
}
