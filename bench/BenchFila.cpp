#include "BenchFila.h"
#include "LeiturasQuadro.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <cstdio>

// The machines' queues on the generated years: every dyeing machine's board built in one read (panels
// made), refreshed in place as an event would refresh it, and a lot's details with its chained forecast; the
// production map of the busiest phase drawn, and a bar moved on it.
void BenchFila(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    ScreenDriver driver(messages);
    std::printf(
        "%s sheets with a step to do, %s dyeing machines\n",
        qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(DISTINCT FAL) FROM PROCESSO_TIN WHERE CONCLUIDO "
                                              "= 'N'"))),
        qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM MAQ_TIN WHERE TIPO = '1'"))));

    // 1. The board opened: every machine's queue read at once, a panel each.
    const Medida abrir =
        Mede([&] { driver.Close(); }, [&] { driver.Open(QStringLiteral("TFmTngQuadroProg")); });
    QWidget* quadro = driver.Screen();
    int paineis = 0;
    for (QWidget* w : driver.Screen()->findChildren<QWidget*>())
        paineis += w->objectName().startsWith(QStringLiteral("PnlMaq"));
    tabela.Linha(QStringLiteral("scheduling board: opened, %1 machines' queues").arg(paineis), abrir,
                 MotorMs(db, {SqlFilas({})}), kAbreTelaMs);

    // 2. Refreshed in place, as another user's commit refreshes it.
    const Medida atualizar = Mede([&] { QMetaObject::invokeMethod(quadro, "Atualiza"); });
    tabela.Linha(QStringLiteral("scheduling board: every queue refreshed in place"), atualizar,
                 MotorMs(db, {SqlFilas({})}), kInterativoMs);

    // 3. A lot's details: its sheets, totals and the forecast after the lots ahead of it.
    QString grade;
    for (QWidget* w : driver.Screen()->findChildren<QWidget*>())
        if (w->objectName().startsWith(QStringLiteral("Grid")) && grade.isEmpty())
            grade = w->objectName();
    driver.Row(grade, std::min(10, driver.Rows(grade) - 1));
    const Medida detalhes =
        Mede([&] { driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Máquinas")); },
             [&] { driver.DoubleClick(grade); });
    MostraMensagens(messages, "lot details");
    tabela.Linha(QStringLiteral("scheduling board: a lot's details and chained forecast"), detalhes, 0,
                 kInterativoMs);
    driver.Close();

    // 4. The production map of the busiest phase: every queued sheet as a bar on the time line.
    const QString fase =
        Escalar(db, QStringLiteral(
                        "SELECT FIRST 1 P.FASE FROM (SELECT FAL, MIN(ORDEM) AS ORDEM FROM PROCESSO_TIN WHERE "
                        "CONCLUIDO = 'N' GROUP BY FAL) N JOIN PROCESSO_TIN P ON (P.FAL = N.FAL AND P.ORDEM = "
                        "N.ORDEM AND P.CONCLUIDO = 'N') GROUP BY P.FASE ORDER BY COUNT(*) DESC"));
    driver.Open(QStringLiteral("TfmRelTngGantt"));
    driver.Type(QStringLiteral("EdtCodFase"), fase);
    driver.Press(QStringLiteral("Tab"));
    const Medida mapa = Mede([&] { driver.Click(QStringLiteral("BtnAtualizar")); });
    MostraMensagens(messages, "map");
    tabela.Linha(QStringLiteral("production map: phase %1, %2 sheets drawn")
                     .arg(fase)
                     .arg(driver.Rows(QStringLiteral("TIDBGrid1"))),
                 mapa, 0, kAbreTelaMs);

    // 5. A bar moved one position later and back, the map redrawn after each.
    driver.Row(QStringLiteral("TIDBGrid1"), 0);
    const Medida mover = Mede([&] { driver.Menu(QStringLiteral("Antecipar1")); },
                              [&] { driver.Menu(QStringLiteral("Adiar1")); });
    MostraMensagens(messages, "move");
    tabela.Linha(QStringLiteral("production map: a bar moved, the map redrawn"), mover, 0, kInterativoMs);
    driver.Close();
}
