#include "BenchTelasReceitas.h"
#include "DataContext.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QCoreApplication>
#include <QSqlQuery>
#include <cstdio>
#include <functional>
#include <tuple>

void BenchTelasReceitas(TZoDatabase& db, ScriptedMessageService& messages) {
    // A recipe of 40 items beside the generated ones (codes up to 2499).
    Executa(
        db,
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE K INTEGER = 0; BEGIN "
            "INSERT INTO RECEITA (CODIGO, DESCRICAO, VARIANTE, COR, GRAFICO, COD_BANHO, CUSTO, PREPARACAO, "
            "LIBERADA) VALUES ('9999', 'RECEITA GRANDE', '01', '0000009999', '001', '01', 0, '001', '1'); "
            "INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES ('0000009999', 'COR DA RECEITA GRANDE'); "
            "WHILE (K < 40) DO BEGIN "
            "INSERT INTO MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE, FIBRA, PASSO, "
            "REGRA, TIPO, TP_ITEM) VALUES ('9999', '01', :K + 1, 'M' || LPAD(:K * 19 + 1, 5, '0'), "
            "IIF(MOD(:K, 3) = 0, 'GL', '%'), 0.5 + :K, '', '2', '', 'C', 'M'); K = K + 1; END END"));
    db.Transaction()->CommitRetaining();

    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TfmTngReceita"));
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Cadastro"));
    auto carrega = [&](const QString& codigo, const QString& variante) {
        driver.Type(QStringLiteral("EdtCodigo"), codigo);
        driver.Type(QStringLiteral("EdtCodVar"), variante);
    };
    // The oldest and the newest recipe, each with its items and its last change in a million audit rows.
    for (const auto& [codigo, variante, qual] :
         {std::tuple{QStringLiteral("0000"), QStringLiteral("01"), "oldest"},
          std::tuple{QStringLiteral("2499"), QStringLiteral("04"), "newest"}}) {
        // Typed as a user does: the record loads as the boxes are left.
        const Medida load = Mede([] {},
                                 [&] {
                                     carrega(codigo, variante);
                                     driver.Press(QStringLiteral("Tab"));
                                 });
        TabelaBench::Global().Linha(
            QStringLiteral("recipe screen on the %1 recipe (items, last change)").arg(QLatin1String(qual)),
            load,
            MotorMs(db, {QStringLiteral(
                             "SELECT * FROM RECEITA R LEFT JOIN MAT_TIN M ON (M.RECEITA = R.CODIGO AND "
                             "M.VARIANTE = R.VARIANTE) LEFT JOIN MATERIAL MAT ON (MAT.CODIGO = M.CODIGO) "
                             "WHERE R.CODIGO = '%1' AND R.VARIANTE = '%2'")
                             .arg(codigo, variante),
                         QStringLiteral(
                             "SELECT FIRST 1 DATA, HORA, USUARIO FROM LOG WHERE FORMULARIO = 'fmTngReceita' "
                             "AND CHAVE = '%1' ORDER BY DATA DESC, HORA DESC")
                             .arg(codigo + variante)}),
            kAbreTelaMs);
    }

    const Medida save = Mede(
        [&] {
            carrega(QStringLiteral("9999"), QStringLiteral("01"));
            driver.Press(QStringLiteral("Tab"));
        },
        [&] { driver.Click(QStringLiteral("BitBtn5")); });
    QStringList inserts;
    inserts << QStringLiteral("DELETE FROM MAT_TIN WHERE RECEITA = '9999' AND VARIANTE = '01'");
    for (int k = 0; k < 40; ++k)
        inserts << QStringLiteral(
                       "INSERT INTO MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE) VALUES "
                       "('9999', '01', %1, 'M00001', '%', 1)")
                       .arg(k + 1);
    TabelaBench::Global().Linha(QStringLiteral("recipe of 40 items saved"), save, MotorMs(db, inserts, true),
                                kInterativoMs);

    const double pisoReceita = RelatorioMotorMs(
        db, QStringLiteral(
                "SELECT M.ORDEN, M.CODIGO, MAT.DESCRICAO, M.UNIDADE, M.QTDE, M.PASSO, M.TIPO, M.FIBRA, "
                "M.REGRA, M.FINALIDADE FROM MAT_TIN M LEFT JOIN MATERIAL MAT ON (MAT.CODIGO = M.CODIGO) "
                "WHERE M.RECEITA = '9999' AND M.VARIANTE = '01' ORDER BY M.ORDEN"));
    TabelaBench::Global().Linha(QStringLiteral("recipe of 40 items printed"),
                                Mede([&] { driver.Click(QStringLiteral("BtImprimir")); }), pisoReceita,
                                1.2 * pisoReceita);

    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Acesso"));
    const Medida search = Mede([] {}, [&] { driver.Click(QStringLiteral("btnConsulta")); });
    TabelaBench::Global().Linha(
        QStringLiteral("recipe search, empty filters (first window, count)"), search,
        MotorMs(db,
                {QStringLiteral("SELECT COUNT(*) FROM RECEITA"),
                 QStringLiteral(
                     "SELECT FIRST 100 R.CODIGO, R.VARIANTE, V.DESCRICAO, R.COR, C.DESCRICAO, R.GRAFICO, "
                     "G.DESCRICAO, "
                     "R.COD_BANHO, B.DESCRICAO, R.PREPARACAO, R.LIBERADA FROM RECEITA R LEFT JOIN VARIANTE V "
                     "ON (V.CODIGO = R.VARIANTE) LEFT JOIN CADCORTIN C ON (C.CODIGO = R.COR) LEFT JOIN "
                     "GRAFICO G ON (G.CODIGO = R.GRAFICO) LEFT JOIN BANHO B ON (B.CODIGO = R.COD_BANHO) "
                     "ORDER BY R.CODIGO")}),
        kInterativoMs);
    const double pisoLista = RelatorioMotorMs(
        db,
        QStringLiteral(
            "SELECT R.CODIGO, R.VARIANTE, V.DESCRICAO, R.COR, C.DESCRICAO, R.GRAFICO, G.DESCRICAO, "
            "R.COD_BANHO, B.DESCRICAO, R.PREPARACAO, P.DESCRICAO, R.LIBERADA FROM RECEITA R "
            "LEFT JOIN VARIANTE V ON (V.CODIGO = R.VARIANTE) LEFT JOIN CADCORTIN C ON (C.CODIGO = "
            "R.COR) LEFT JOIN GRAFICO G ON (G.CODIGO = R.GRAFICO) LEFT JOIN BANHO B ON (B.CODIGO = "
            "R.COD_BANHO) LEFT JOIN PREPARACAO P ON (P.CODIGO = R.PREPARACAO AND P.ORDEM = 1) "
            "ORDER BY R.CODIGO, R.VARIANTE"),
        1);
    TabelaBench::Global().Linha(QStringLiteral("list of every recipe printed"),
                                Mede([&] { driver.Click(QStringLiteral("BtImprimirLista")); }, 1), pisoLista,
                                1.2 * pisoLista);
    driver.Close();

    driver.Open(QStringLiteral("TFmSubstRec"));
    int troca = 0;
    const Medida substitution = Mede(
        [&] {
            const bool ida = troca++ % 2 == 0;
            driver.Type(QStringLiteral("EdtCodMat"),
                        ida ? QStringLiteral("M00010") : QStringLiteral("M00799"));
            driver.Type(QStringLiteral("EdtCodMat2"),
                        ida ? QStringLiteral("M00799") : QStringLiteral("M00010"));
            driver.Type(QStringLiteral("EdtIndice"), QStringLiteral("1"));
            messages.questions.enqueue(true);
        },
        [&] { driver.Click(QStringLiteral("BitBtn1")); }, 4);
    TabelaBench::Global().Linha(
        QStringLiteral("product replaced in every recipe and preparation"), substitution,
        MotorMs(
            db,
            {QStringLiteral("UPDATE MAT_TIN SET CODIGO = 'M00799', QTDE = QTDE * 1 WHERE CODIGO = 'M00010'"),
             QStringLiteral("UPDATE PREPARACAO SET MATERIAL = 'M00799', QTDE = QTDE * 1 WHERE MATERIAL = "
                            "'M00010'")},
            true),
        kInterativoMs);
    driver.Close();
    if (!messages.Texts().isEmpty())
        std::printf("messages shown: %s\n", qPrintable(messages.Texts().join(QStringLiteral(" | "))));
    messages.Clear();
}
