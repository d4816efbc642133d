#include "BenchDados.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Medicao.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include <QCoreApplication>

namespace {
// One edit-and-post of a row in the middle of a grid of `rows` rows shown on screen. A post tells the grid
// of that row only, so the size of the grid must not matter.
Medida postaNaGrade(int rows, bool sorted) {
    TClientDataSet data;
    data.AddField(QStringLiteral("CODIGO"), QMetaType::LongLong)
        .AddField(QStringLiteral("NOME"), QMetaType::QString, 40)
        .AddField(QStringLiteral("PESO"), QMetaType::Double);
    data.CreateDataSet();
    {
        ControlesDesligados quieto(data);
        for (int i = 0; i < rows; ++i) {
            data.Append();
            data.FieldByName(QStringLiteral("CODIGO")) = i;
            data.FieldByName(QStringLiteral("NOME")) = QStringLiteral("PARTIDA %1").arg(i);
            data.FieldByName(QStringLiteral("PESO")) = i % 500;
            data.Post();
        }
    }
    if (sorted)
        data.SetIndexFieldNames(QStringLiteral("PESO"));
    TZoDBGrid grid;
    grid.SetDataSet(&data);
    grid.resize(900, 600);
    grid.show();
    QCoreApplication::processEvents();
    int k = 0;
    return Mede([&] { data.MoveTo(rows / 2); },
                [&] {
                    data.Edit();
                    data.FieldByName(QStringLiteral("PESO")) = ++k % 500;
                    data.Post();
                },
                51);
}
} // namespace

void BenchDados(TZoDatabase& db, ScriptedMessageService&) {
    TabelaBench& tabela = TabelaBench::Global();
    tabela.Linha(QStringLiteral("post a row in a grid of 100,000 rows"), postaNaGrade(100000, false), 0,
                 kInterativoMs);
    tabela.Linha(QStringLiteral("post a row in a sorted grid of 100,000 rows"), postaNaGrade(100000, true), 0,
                 kInterativoMs);
    // Its floor is the free-number check alone: the counter row is a write of its own.
    tabela.Linha(QStringLiteral("next lot sheet number (Proximo)"),
                 Mede([] { Proximo(QStringLiteral("FAL"), QStringLiteral("NUMERO"), 7); }),
                 MotorMs(db, {QStringLiteral("SELECT FIRST 1 1 FROM FAL WHERE NUMERO = '0200001'")}),
                 kInterativoMs);
}
