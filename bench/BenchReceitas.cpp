#include "BenchReceitas.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "Receitas.h"
#include "RegrasCalculo.h"
#include "TTabelaDataSet.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <functional>

void BenchReceitas(TZoDatabase& db, ScriptedMessageService&) {
    TabelaBench& tabela = TabelaBench::Global();
    // A rule once read: the evaluation alone, per call.
    RegrasCalculo regras;
    regras.CalculaQtdeRegra(QString(), QString(), CodigoRegra("042"), 0, 0, 250, "001", "M00001", "00001");
    const int calls = 10000;
    Medida evaluation = Mede([&] {
        for (int i = 0; i < calls; ++i)
            regras.CalculaQtdeRegra(QString(), QString(), CodigoRegra("042"), 0, 0, i % 400, "002", "M00001",
                                    "00001");
    });
    evaluation.ms /= calls;
    evaluation.instrucoes /= calls;
    tabela.Linha(QStringLiteral("rule evaluation after its read, per call"), evaluation, 0, 0.1);
    tabela.Linha(QStringLiteral("rule read and evaluated"), Mede([] {
                     RegrasCalculo fresh;
                     fresh.CalculaQtdeRegra(QString(), QString(), CodigoRegra("042"), 0, 0, 250, "001",
                                            "M00001", "00001");
                 }),
                 MotorMs(db, {QStringLiteral("SELECT TIPO, LINHA, QTDE_DE, QTDE_ATE, QTDE_R FROM TNG_REGRA "
                                             "WHERE CODIGO = '042' ORDER BY ORDEM")}),
                 kInterativoMs);

    // Guards of the delete buttons and the price pair.
    tabela.Linha(QStringLiteral("rule in use by recipes (delete warning)"), Mede([] {
                     Existe(QStringLiteral("MAT_TIN"), QStringLiteral("REGRA"), Aspas(QStringLiteral("021")));
                 }),
                 MotorMs(db, {QStringLiteral("SELECT 1 FROM MAT_TIN WHERE REGRA = '021' ROWS 1")}),
                 kInterativoMs);
    tabela.Linha(QStringLiteral("preparation in use by a recipe (delete guard)"), Mede([] {
                     Busca_Valor(QStringLiteral("RECEITA"), QStringLiteral("PREPARACAO"),
                                 QStringLiteral("CODIGO"), {QStringLiteral("177")});
                 }),
                 MotorMs(db, {QStringLiteral("SELECT CODIGO FROM RECEITA WHERE PREPARACAO = '177' ROWS 1")}),
                 kInterativoMs);
    tabela.Linha(QStringLiteral("service price pair already stored"), Mede([] {
                     Existe(QStringLiteral("TABPRE_SERV_001"), QStringLiteral("CODCLI;FASE"),
                            QVariantList{QStringLiteral("00250"), QStringLiteral("F12")});
                 }),
                 MotorMs(db, {QStringLiteral(
                                 "SELECT 1 FROM TABPRE_SERV_001 WHERE CODCLI = '00250' AND FASE = 'F12'")}),
                 kInterativoMs);

    // The service price screen's list: opened, filtered by a customer, a pair located.
    TTabelaDataSet precos(db, DBLocal(QStringLiteral("TABPRE_SERV")), QStringLiteral("CODCLI"));
    tabela.Linha(QStringLiteral("service prices opened"), Mede([&] { precos.Open(); }, 3),
                 MotorMs(db, {QStringLiteral("SELECT * FROM TABPRE_SERV_001 ORDER BY CODCLI")}, false, 3),
                 kAbreTelaMs);
    tabela.Linha(QStringLiteral("service prices filtered by customer"), Mede([&] {
                     precos.SetFilter(
                         [](const RecordView& r) { return r.value(QStringLiteral("CODCLI")) == "00021"; });
                     precos.ClearFilter();
                 }),
                 MotorMs(db, {QStringLiteral("SELECT * FROM TABPRE_SERV_001 WHERE CODCLI = '00021'")}),
                 kInterativoMs);
    tabela.Linha(
        QStringLiteral("service price pair located"), Mede([&] {
            precos.Locate(QStringLiteral("CODCLI;FASE"), {QStringLiteral("00299"), QStringLiteral("F32")});
        }),
        MotorMs(db,
                {QStringLiteral("SELECT * FROM TABPRE_SERV_001 WHERE CODCLI = '00299' AND FASE = 'F32'")}),
        kInterativoMs);

    // After a price change: the recipes of the dye most used, and of the preparation most used, recosted.
    // Each run changes the price or the quantities first, so every recipe's cost changes and is written.
    const QString corante = Escalar(
        db, QStringLiteral("SELECT FIRST 1 CODIGO FROM MAT_TIN GROUP BY CODIGO ORDER BY COUNT(*) DESC"));
    const QString preparacao = Escalar(
        db,
        QStringLiteral("SELECT FIRST 1 PREPARACAO FROM RECEITA GROUP BY PREPARACAO ORDER BY COUNT(*) DESC"));
    // The engine's own way to the same rows: the recipes' keys from the indexed items and preparations (K),
    // read and written set-based.
    const auto alvos = [](const QString& chaves) {
        const QString k =
            QStringLiteral("JOIN RECEITA R ON (R.CODIGO = K.RECEITA AND R.VARIANTE = K.VARIANTE)");
        return QStringList{
            QStringLiteral(
                "SELECT R.CODIGO, R.VARIANTE, R.COR, R.CUSTO, R.PREPARACAO, V.INDICE, B.PROPORCAO FROM "
                "(%1) K %2 LEFT JOIN VARIANTE V ON (V.CODIGO = R.VARIANTE) LEFT JOIN BANHO B ON "
                "(B.CODIGO = R.COD_BANHO)")
                .arg(chaves, k),
            QStringLiteral(
                "SELECT M.*, MAT.REPOSICAO, MAT.CONCENTRACAO FROM (%1) K JOIN MAT_TIN M ON (M.RECEITA = "
                "K.RECEITA AND M.VARIANTE = K.VARIANTE) LEFT JOIN MATERIAL MAT ON (MAT.CODIGO = "
                "M.CODIGO)")
                .arg(chaves),
            QStringLiteral(
                "SELECT P.* FROM PREPARACAO P WHERE P.CODIGO IN (SELECT R.PREPARACAO FROM (%1) K %2)")
                .arg(chaves, k),
            QStringLiteral("MERGE INTO RECEITA D USING (%1) K ON (D.CODIGO = K.RECEITA AND D.VARIANTE = "
                           "K.VARIANTE) WHEN MATCHED THEN UPDATE SET CUSTO = D.CUSTO + 1")
                .arg(chaves),
            QStringLiteral(
                "MERGE INTO TABPRECO T USING (SELECT DISTINCT R.COR, R.VARIANTE FROM (%1) K %2) C ON "
                "(T.REGIAO = '01' AND T.COR = C.COR AND T.VARIANTE = C.VARIANTE) WHEN MATCHED THEN "
                "UPDATE SET LIBERADO = 'N'")
                .arg(chaves, k)};
    };
    const QString usaCorante =
        QStringLiteral("SELECT DISTINCT RECEITA, VARIANTE FROM MAT_TIN WHERE CODIGO = '%1' UNION SELECT "
                       "R.CODIGO, R.VARIANTE FROM PREPARACAO P JOIN RECEITA R ON (R.PREPARACAO = P.CODIGO) "
                       "WHERE P.MATERIAL = '%1'")
            .arg(corante);
    const int porCorante = Escalar(db, QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(usaCorante)).toInt();
    int run = 0;
    tabela.Linha(QStringLiteral("recost the %1 recipes of a dye after its price changed").arg(porCorante),
                 Mede(
                     [&] {
                         Executa(db, QStringLiteral(
                                         "UPDATE MATERIAL SET REPOSICAO = REPOSICAO + %1 WHERE CODIGO = '%2'")
                                         .arg(run++ % 2 ? -1 : 1)
                                         .arg(corante));
                         db.Transaction()->CommitRetaining();
                     },
                     [&] { RecalculaReceitas(corante, QString(), QString()); }, 5),
                 MotorMs(db, alvos(usaCorante), true, 5), kInterativoMs * porCorante / 100);
    const QString daPreparacao =
        QStringLiteral("SELECT CODIGO AS RECEITA, VARIANTE FROM RECEITA WHERE PREPARACAO = '%1'")
            .arg(preparacao);
    const int porPreparacao =
        Escalar(db, QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(daPreparacao)).toInt();
    tabela.Linha(QStringLiteral("recost the %1 recipes of a preparation").arg(porPreparacao),
                 Mede(
                     [&] {
                         Executa(db,
                                 QStringLiteral("UPDATE PREPARACAO SET QTDE = QTDE + %1 WHERE CODIGO = '%2'")
                                     .arg(run++ % 2 ? -1 : 1)
                                     .arg(preparacao));
                         db.Transaction()->CommitRetaining();
                     },
                     [&] { RecalculaReceitas(QString(), QString(), preparacao); }, 5),
                 MotorMs(db, alvos(daPreparacao), true, 5), kInterativoMs * qMax(1, porPreparacao / 100));
}
