#include "BenchNotas.h"
#include "DataSet.h"
#include "LeiturasNota.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QCoreApplication>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstdio>
#include <functional>

void BenchNotas(TZoDatabase& db, ScriptedMessageService& messages) {
    const QString seq =
        QStringLiteral("IIF(CHAR_LENGTH(N.LOTE) = 6 AND N.LOTE SIMILAR TO '[0-9]{6}', N.LOTE, NULL)");
    TabelaBench::Global().Linha(
        QStringLiteral("next sequential lot"), Mede([] {}, [] { MaiorLoteSequencial(); }),
        MotorMs(db,
                {QStringLiteral("SELECT FIRST 1 N.LOTE FROM NFITIN N WHERE %1 IS NOT NULL ORDER BY %1 DESC")
                     .arg(seq)}),
        kInterativoMs);

    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TfmTngNFEntra"));
    driver.Type(QStringLiteral("EdtDataIni"), QStringLiteral("01/11/2026"));
    driver.Type(QStringLiteral("EdtDataFim"), QStringLiteral("30/11/2026"));
    TabelaBench::Global().Linha(
        QStringLiteral("invoices of a month consulted"),
        Mede([] {}, [&] { driver.Click(QStringLiteral("BitBtn5")); }),
        MotorMs(db, {QStringLiteral("SELECT N.NOTA, N.CLIENTE, F.FAL FROM NFTIN N LEFT JOIN FAL_ITEN F ON "
                                    "(F.NOTA = N.NOTA) WHERE N.DATA BETWEEN '2026-11-01' AND '2026-11-30'")}),
        kInterativoMs);

    // The oldest and the newest invoice, chosen in the look-up as a user does.
    for (const auto& [ordem, qual] : {std::pair{"", "oldest"}, std::pair{" DESC", "newest"}}) {
        const QStringList nota = PrimeiraLinha(
            db, QStringLiteral("SELECT FIRST 1 NOTA, CLIENTE FROM NFTIN ORDER BY DATA%1, NOTA%1")
                    .arg(QLatin1String(ordem)));
        TabelaBench::Global().Linha(
            QStringLiteral("invoice screen on the %1 invoice (%2 items)")
                .arg(QLatin1String(qual),
                     PrimeiraLinha(
                         db, QStringLiteral("SELECT COUNT(*) FROM NFITIN WHERE NOTA = '%1' AND CODCLI = '%2'")
                                 .arg(nota[0], nota[1]))
                         .value(0)),
            Mede([&] { messages.searches.enqueue(nota[0] + QLatin1Char('/') + nota[1]); },
                 [&] { driver.Click(QStringLiteral("btnConsultar")); }),
            // The look-up's own statement for the key chosen, then the invoice and its items.
            MotorMs(db,
                    {QStringLiteral(
                         "SELECT * FROM (SELECT N.NOTA || '/' || N.CLIENTE AS CHAVE, N.NOTA, N.CLIENTE, "
                         "E.NOME, N.DATA FROM NFTIN N LEFT JOIN ENTIDADE E ON (E.CODCLI = N.CLIENTE)) P "
                         "WHERE CHAVE = '%1/%2' ORDER BY DATA DESC, NOTA DESC, CLIENTE DESC ROWS 1")
                         .arg(nota[0], nota[1]),
                     QStringLiteral("SELECT * FROM NFTIN N LEFT JOIN ENTIDADE E ON (E.CODCLI = N.CLIENTE) "
                                    "WHERE N.NOTA = '%1' AND N.CLIENTE = '%2'")
                         .arg(nota[0], nota[1]),
                     QStringLiteral("SELECT * FROM NFITIN I LEFT JOIN PRODUTO P ON (P.CODIGO = I.CODIGO) "
                                    "WHERE I.NOTA = '%1' AND I.CODCLI = '%2'")
                         .arg(nota[0], nota[1])}),
            kAbreTelaMs);
    }
    const double pisoImpressao = RelatorioMotorMs(
        db, QStringLiteral("SELECT * FROM NFITIN WHERE NOTA = '%1'")
                .arg(PrimeiraLinha(
                         db, QStringLiteral("SELECT FIRST 1 NOTA FROM NFTIN ORDER BY DATA DESC, NOTA DESC"))
                         .value(0)));
    TabelaBench::Global().Linha(QStringLiteral("invoice printed"),
                                Mede([&] { driver.Click(QStringLiteral("BitBtn2")); }, 3), pisoImpressao,
                                1.2 * pisoImpressao);

    const QStringList presa = PrimeiraLinha(
        db,
        QStringLiteral("SELECT FIRST 1 F.NOTA, N.CLIENTE FROM FAL_ITEN F JOIN NFTIN N ON (N.NOTA = F.NOTA) "
                       "JOIN FAL ON (FAL.NUMERO = F.FAL AND FAL.CLIENTE = N.CLIENTE) WHERE F.PESO > 0 "
                       "ORDER BY F.FAL DESC"));
    messages.searches.enqueue(presa[0] + QLatin1Char('/') + presa[1]);
    driver.Click(QStringLiteral("btnConsultar"));
    const QString presaSql =
        QStringLiteral("SELECT FIRST 1 FAL.NUMERO FROM FAL INNER JOIN FAL_ITEN ON (FAL.NUMERO = "
                       "FAL_ITEN.FAL) WHERE FAL_ITEN.NOTA = '%1' AND FAL.CLIENTE = '%2'")
            .arg(presa[0], presa[1]);
    TabelaBench::Global().Linha(QStringLiteral("alter: a lot sheet holds the invoice"),
                                Mede(
                                    [&] {
                                        if (driver.Visible(QStringLiteral("btnDesistir")))
                                            driver.Click(QStringLiteral("btnDesistir"));
                                    },
                                    [&] { driver.Click(QStringLiteral("BitBtn23")); }),
                                MotorMs(db, {presaSql + QStringLiteral(" AND FAL_ITEN.PESO > 0")}),
                                kInterativoMs);
    driver.Click(QStringLiteral("btnDesistir"));
    TabelaBench::Global().Linha(
        QStringLiteral("delete refused: a lot sheet holds the invoice"),
        Mede([&] { messages.questions.enqueue(true); }, [&] { driver.Click(QStringLiteral("BitBtn24")); }),
        MotorMs(db, {presaSql}), kInterativoMs);

    driver.Click(QStringLiteral("BitBtn12"));
    driver.Type(QStringLiteral("EdtNota"), QStringLiteral("900000000"));
    driver.Type(QStringLiteral("EdtCliente"), QStringLiteral("00001"));
    driver.Type(QStringLiteral("EdtNatureza"), QStringLiteral("1901"));
    auto* itens = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbItens"));
    for (int i = 0; i < 200; ++i) {
        itens->Append();
        itens->FieldByName(QStringLiteral("Codigo")) =
            QStringLiteral("T%1").arg(i + 1, 5, 10, QLatin1Char('0'));
        itens->FieldByName(QStringLiteral("Lote")) = QStringLiteral("N%1").arg(i);
        itens->FieldByName(QStringLiteral("Peso_Real")) = 10.5;
        itens->Post();
    }
    const Medida inclusao = Mede([&] { driver.Click(QStringLiteral("SpeedButton16")); }, 1);
    driver.Click(QStringLiteral("BitBtn23"));
    const Medida regravacao = Mede([&] { driver.Click(QStringLiteral("SpeedButton16")); }, 1);
    QStringList inserts;
    for (int i = 0; i < 200; ++i)
        inserts << QStringLiteral("INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO_REAL, PESO) VALUES "
                                  "('900000001', '00001', 'T00001', 'N%1', 10.5, 10.5)")
                       .arg(i);
    const double engineInclusao = MotorMs(db, inserts, true);
    TabelaBench::Global().Linha(QStringLiteral("invoice of 200 items included"), inclusao, engineInclusao,
                                300);
    TabelaBench::Global().Linha(QStringLiteral("invoice of 200 items saved again"), regravacao,
                                engineInclusao, 300);
    driver.Close();

    if (!messages.Texts().isEmpty())
        std::printf("messages shown: %s\n", qPrintable(messages.Texts().join(QStringLiteral(" | "))));
    messages.Clear();
}
