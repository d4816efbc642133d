#include "BenchExpedicao.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "ExpedicaoColetor.h"
#include "GravacaoAtomica.h"
#include "LeiturasExpedicao.h"
#include "Medicao.h"
#include "PassosExpedicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

// Quality and expedition on the generated years: a fabric's verdict opened on the quality dialog; a month
// of sheets listed at the desk and a hundred shipped in one unit (rolled back); a sheet read at the
// collector, the sector's pending count, and a docked collector's file of 500 readings.
void BenchExpedicao(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    ScreenDriver driver(messages);
    // The newest sheets waiting in some sector: their customer, first open step's phase and a fabric.
    const QStringList pendentes = Linhas(
        db, QStringLiteral(
                "SELECT FIRST 500 F.NUMERO || '|' || F.CLIENTE || '|' || P.FASE || '|' || P.CODIGO FROM "
                "(SELECT FAL, MIN(ORDEM) AS ORDEM FROM PROCESSO_TIN WHERE CONCLUIDO = 'N' GROUP BY FAL) N "
                "JOIN PROCESSO_TIN P ON (P.FAL = N.FAL AND P.ORDEM = N.ORDEM AND P.CONCLUIDO = 'N') JOIN "
                "FAL F ON (F.NUMERO = N.FAL) ORDER BY F.NUMERO DESC"));
    if (pendentes.isEmpty())
        return;
    const QStringList primeira = pendentes.first().split(QLatin1Char('|'));
    std::printf("%s quality verdicts, %lld sheets waiting in a sector\n",
                qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM CONTR_QUL"))),
                static_cast<long long>(pendentes.size()));

    // 1. The quality dialog on a sheet's fabric: only its pair read.
    driver.Open(QStringLiteral("TfmContrQul"), {{QStringLiteral("FAL"), primeira[0]}});
    const Medida qualidade = Mede([&] {
        driver.Type(QStringLiteral("EdtCodPro"), primeira[3]);
        driver.Press(QStringLiteral("Tab"));
    });
    MostraMensagens(messages, "quality");
    tabela.Linha(QStringLiteral("quality: a fabric's verdict loaded"), qualidade, 0, kInterativoMs);
    driver.Close();

    // 2. A month of sheets at the desk, in one grouped statement.
    const QDate ultimo = QDate::fromString(
        Escalar(db, QStringLiteral("SELECT MAX(DATA_INI) FROM FAL WHERE NUMERO < '9000000'")).left(10),
        Qt::ISODate);
    FiltroExpedicao filtro;
    filtro.ate = ultimo;
    filtro.de = ultimo.addMonths(-1);
    // The generated years record no step as started: the month's sheets not started are the desk's list.
    filtro.status = StatusExpedicao::NaoIniciado;
    int listadas = 0;
    const Medida mes = Mede([&] {
        TZoQuery q;
        AbreConsultaExpedicao(q, filtro);
        listadas = q.RecordCount();
    });
    tabela.Linha(QStringLiteral("expedition desk: a month's sheets not started listed (%1)").arg(listadas),
                 mes, 0, kInterativoMs);

    // 3. A hundred sheets shipped through the one prepared statement, in one unit rolled back.
    QStringList cem;
    for (const QString& p : pendentes.mid(0, 100))
        cem << p.section(QLatin1Char('|'), 0, 0);
    const Medida confirmar = Mede([&] {
        GravacaoAtomica unidade;
        FechaPassos(*ConexaoHost(), cem, QString(), MarcaDoMomento(QStringLiteral("EXPEDIDO PELO USUARIO.")));
    });
    tabela.Linha(QStringLiteral("expedition desk: 100 sheets shipped (rolled back)"), confirmar, 0,
                 kInterativoMs);

    // 4. At the collector: a sheet's checks and items, and the sector's pending count.
    const FiltroColetor coletor{primeira[1], QString(), primeira[2]};
    const Medida leitura = Mede([&] {
        ConfereFalsColetor({primeira[0]}, coletor);
        LeItensColetor({primeira[0]});
    });
    tabela.Linha(QStringLiteral("collector: a sheet read and checked"), leitura, 0, 50);
    const Medida contagem = Mede([&] { PendentesColetor(coletor); });
    tabela.Linha(QStringLiteral("collector: the sector's pending sheets counted"), contagem, 0,
                 kInterativoMs);

    // 5. A docked collector's file of 500 readings of the customer's sheets in that sector, and others.
    QTemporaryDir pasta;
    const QString arquivo = pasta.filePath(QStringLiteral("coletor.txt"));
    {
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly))
            return;
        for (int i = 0; i < 500; ++i)
            f.write(pendentes.value(i % pendentes.size()).section(QLatin1Char('|'), 0, 0).toLatin1() +
                    ";2026-12-07;08:00\r\n");
    }
    const Medida importar = Mede(
        [&] {
            driver.Close();
            driver.Open(QStringLiteral("TFmTngColExpFal"));
            driver.Type(QStringLiteral("EdtCodCli"), primeira[1]);
            driver.Press(QStringLiteral("Tab"));
            driver.Type(QStringLiteral("EdtCodSetor"), primeira[2]);
            driver.Press(QStringLiteral("Tab"));
            messages.files.enqueue(arquivo);
            messages.Clear();
            messages.files.enqueue(arquivo);
        },
        [&] { driver.Click(QStringLiteral("BtnImportar")); }, 3);
    tabela.Linha(QStringLiteral("collector: a file of 500 readings imported"), importar, 0, 1000);
    driver.Close();
    db.Transaction()->RollbackRetaining();
}
