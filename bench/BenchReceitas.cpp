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

namespace {
constexpr int kRecipes = 20000;     // 5,000 codes in four variants
constexpr int kItemsPerRecipe = 15; // 300,000 recipe items
constexpr int kPreparations = 2000;
constexpr int kRules = 500;
constexpr int kServicePrices = 20000; // 400 customers, 50 phases

void exec(TZoDatabase& db, const QString& sql) {
    QSqlQuery q(db.Connection());
    db.Exec(q, sql, true);
}

// A 3-wide preparation code for a number below 2,000: "000".."999", then "A00".."J99".
QString codigoPreparacao(const QString& numero) {
    return QStringLiteral(
               "IIF(%1 < 1000, LPAD(%1, 3, '0'), SUBSTRING('ABCDEFGHIJ' FROM (%1 - 1000) / 100 + 1 "
               "FOR 1) || LPAD(MOD(%1, 100), 2, '0'))")
        .arg(numero);
}

// Rows generated inside the engine, in one unit of work.
void generate(TZoDatabase& db) {
    const int codes = kRecipes / 4;
    db.LockTimeoutMs = 600000;
    exec(db, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
                            "WHILE (I < 4) DO BEGIN "
                            "INSERT INTO VARIANTE (CODIGO, DESCRICAO, INDICE) VALUES (LPAD(:I + 1, 2, '0'), "
                            "'VARIANTE ' || :I, '6' || :I || ',5'); "
                            "INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES (LPAD(:I + 1, 2, '0'), "
                            "'BANHO', 6 + :I); I = I + 1; END "
                            "INSERT INTO REGIAO (REGIAO, DESCRICAO, PADRAO) VALUES ('01', 'PADRAO', 'S'); "
                            "INSERT INTO REGIAO (REGIAO, DESCRICAO, PADRAO) VALUES ('02', 'SUL', 'N'); "
                            "I = 0; WHILE (I < 2000) DO BEGIN "
                            "INSERT INTO MATERIAL (CODIGO, DESCRICAO, UNIDADE, GRUPO, LINHA, REPOSICAO, "
                            "CONCENTRACAO, ATIVO) VALUES ('M' || LPAD(:I, 5, '0'), 'PRODUTO ' || :I, "
                            "IIF(MOD(:I, 3) = 0, 'GL', '%'), LPAD(MOD(:I, 20), 3, '0'), "
                            "LPAD(MOD(:I, 7), 3, '0'), 5 + MOD(:I, 90), IIF(MOD(:I, 5) = 0, 50, 0), 'S'); "
                            "I = I + 1; END END"));
    exec(db, QStringLiteral(
                 "EXECUTE BLOCK AS DECLARE I INTEGER = 0; DECLARE K INTEGER; BEGIN "
                 "WHILE (I < %1) DO BEGIN K = 0; WHILE (K < 4) DO BEGIN "
                 "INSERT INTO TNG_REGRA (CODIGO, DESCRICAO, LINHA, TIPO, ORDEM, QTDE_DE, QTDE_ATE, "
                 "QTDE_R) VALUES (LPAD(:I, 3, '0'), 'REGRA ' || :I, IIF(:K = 3, '', LPAD(:K, 3, '0')), "
                 "SUBSTRING('CMPG' FROM :K + 1 FOR 1), :K + 1, :K * 100, :K * 100 + 99.999, 10 + :K); "
                 "K = K + 1; END I = I + 1; END END")
                 .arg(kRules));
    exec(db,
         QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; DECLARE K INTEGER; BEGIN "
                        "WHILE (I < %1) DO BEGIN K = 0; WHILE (K < 5) DO BEGIN "
                        "INSERT INTO PREPARACAO (CODIGO, DESCRICAO, MATERIAL, UNIDADE, FIBRA, PASSO, TIPO, "
                        "ORDEM, REGRA, QTDE) VALUES (%3, 'PREPARACAO ' || :I, "
                        "'M' || LPAD(MOD(:I * 7 + :K, 2000), 5, '0'), 'GL', '', '1', 'A', :K + 1, "
                        "IIF(:K = 0, LPAD(MOD(:I, %2), 3, '0'), ''), 1 + :K); "
                        "K = K + 1; END I = I + 1; END END")
             .arg(kPreparations)
             .arg(kRules)
             .arg(codigoPreparacao(QStringLiteral(":I"))));
    // Recipe 0 .. of preparation 000: 2,000 recipes share it, the rest spread over the others.
    exec(db, QStringLiteral(
                 "EXECUTE BLOCK AS DECLARE I INTEGER = 0; DECLARE V INTEGER; DECLARE K INTEGER; "
                 "BEGIN WHILE (I < %1) DO BEGIN V = 0; WHILE (V < 4) DO BEGIN "
                 "INSERT INTO RECEITA (CODIGO, DESCRICAO, VARIANTE, COR, COD_BANHO, CUSTO, PREPARACAO, "
                 "LIBERADA) VALUES (LPAD(:I, 4, '0'), 'RECEITA ' || :I, LPAD(:V + 1, 2, '0'), "
                 "LPAD(:I, 10, '0'), LPAD(:V + 1, 2, '0'), 0, "
                 "IIF(:I < 500, '000', %2), '1'); "
                 "INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, LIBERADO) VALUES ('01', "
                 "LPAD(:I, 10, '0'), LPAD(:V + 1, 2, '0'), 12.5, 'S'); "
                 "K = 0; WHILE (K < %3) DO BEGIN "
                 "INSERT INTO MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE, FIBRA, PASSO, "
                 "REGRA, TIPO, TP_ITEM) VALUES (LPAD(:I, 4, '0'), LPAD(:V + 1, 2, '0'), :K + 1, "
                 "'M' || LPAD(MOD(:I * 13 + :K * 101, 2000), 5, '0'), IIF(MOD(:K, 3) = 0, 'GL', '%'), "
                 "0.5 + :K, IIF(MOD(:K, 4) = 1, '1', ''), '2', "
                 "IIF(MOD(:K, 5) = 4, LPAD(MOD(:I + :K, %4), 3, '0'), ''), 'C', 'M'); "
                 "K = K + 1; END V = V + 1; END I = I + 1; END END")
                 .arg(codes)
                 .arg(codigoPreparacao(QStringLiteral("MOD(:I, %1)").arg(kPreparations)))
                 .arg(kItemsPerRecipe)
                 .arg(kRules));
    exec(db,
         QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; DECLARE F INTEGER; BEGIN "
                        "WHILE (I < %1) DO BEGIN F = 0; WHILE (F < %2) DO BEGIN "
                        "INSERT INTO TABPRE_SERV_001 (CODCLI, CLIENTE, FASE, DESCRICAO, CUSTO) VALUES "
                        "(LPAD(:I, 5, '0'), 'CLIENTE ' || :I, LPAD(:F, 3, '0'), 'FASE ' || :F, 1.5 + :F); "
                        "F = F + 1; END I = I + 1; END END")
             .arg(kServicePrices / 50)
             .arg(50));
    db.Transaction()->CommitRetaining();
    db.LockTimeoutMs = 5000;
    for (const char* index : {"IDX_MAT_TIN_RECEITA", "IDX_MAT_TIN_CODIGO", "IDX_MAT_TIN_REGRA",
                              "IDX_RECEITA_PREPARACAO", "IDX_PREPARACAO_CODIGO", "IDX_PREPARACAO_MATERIAL"})
        exec(db, QStringLiteral("SET STATISTICS INDEX %1").arg(QLatin1String(index)));
    db.Transaction()->CommitRetaining();
}
} // namespace

void BenchReceitas(TZoDatabase& db) {
    QElapsedTimer timer;
    timer.start();
    generate(db);
    std::printf(
        "\n%d recipes, %d items, %d preparations, %d rules, %d service prices: generated in %lld ms\n",
        kRecipes, kRecipes * kItemsPerRecipe, kPreparations, kRules, kServicePrices,
        static_cast<long long>(timer.elapsed()));

    TabelaBench& tabela = TabelaBench::Global();
    // A rule once read: the evaluation alone, per call.
    RegrasCalculo regras;
    regras.CalculaQtdeRegra(QString(), QString(), CodigoRegra("123"), 0, 0, 250, "001", "M00001", "00001");
    const int calls = 10000;
    Medida evaluation = Mede(db, [&] {
        for (int i = 0; i < calls; ++i)
            regras.CalculaQtdeRegra(QString(), QString(), CodigoRegra("123"), 0, 0, i % 400, "002", "M00001",
                                    "00001");
    });
    evaluation.ms /= calls;
    evaluation.instrucoes /= calls;
    tabela.Linha(QStringLiteral("rule evaluation after its read, per call"), evaluation, 0, 0.1);
    tabela.Linha(QStringLiteral("rule read and evaluated"),
                 Mede(db,
                      [] {
                          RegrasCalculo fresh;
                          fresh.CalculaQtdeRegra(QString(), QString(), CodigoRegra("123"), 0, 0, 250, "001",
                                                 "M00001", "00001");
                      }),
                 MotorMs(db, {QStringLiteral("SELECT TIPO, LINHA, QTDE_DE, QTDE_ATE, QTDE_R FROM TNG_REGRA "
                                             "WHERE CODIGO = '123' ORDER BY ORDEM")}),
                 kInterativoMs);

    // Guards of the delete buttons and the price pair.
    tabela.Linha(
        QStringLiteral("rule in use by recipes (delete warning)"),
        Mede(
            db,
            [] { Existe(QStringLiteral("MAT_TIN"), QStringLiteral("REGRA"), Aspas(QStringLiteral("321"))); }),
        MotorMs(db, {QStringLiteral("SELECT 1 FROM MAT_TIN WHERE REGRA = '321' ROWS 1")}), kInterativoMs);
    tabela.Linha(QStringLiteral("preparation in use by a recipe (delete guard)"),
                 Mede(db,
                      [] {
                          Busca_Valor(QStringLiteral("RECEITA"), QStringLiteral("PREPARACAO"),
                                      QStringLiteral("CODIGO"), {QStringLiteral("777")});
                      }),
                 MotorMs(db, {QStringLiteral("SELECT CODIGO FROM RECEITA WHERE PREPARACAO = '777' ROWS 1")}),
                 kInterativoMs);
    tabela.Linha(QStringLiteral("service price pair already stored"),
                 Mede(db,
                      [] {
                          Existe(QStringLiteral("TABPRE_SERV_001"), QStringLiteral("CODCLI;FASE"),
                                 QVariantList{QStringLiteral("00250"), QStringLiteral("031")});
                      }),
                 MotorMs(db, {QStringLiteral(
                                 "SELECT 1 FROM TABPRE_SERV_001 WHERE CODCLI = '00250' AND FASE = '031'")}),
                 kInterativoMs);

    // The service price screen's list: opened, filtered by a customer, a pair located.
    TTabelaDataSet precos(db, DBLocal(QStringLiteral("TABPRE_SERV")), QStringLiteral("CODCLI"));
    tabela.Linha(QStringLiteral("service prices opened"),
                 Mede(
                     db, [&] { precos.Open(); }, 3),
                 MotorMs(db, {QStringLiteral("SELECT * FROM TABPRE_SERV_001 ORDER BY CODCLI")}, false, 3),
                 kAbreTelaMs);
    tabela.Linha(QStringLiteral("service prices filtered by customer"),
                 Mede(db,
                      [&] {
                          precos.SetFilter([](const RecordView& r) {
                              return r.value(QStringLiteral("CODCLI")) == "00321";
                          });
                          precos.ClearFilter();
                      }),
                 MotorMs(db, {QStringLiteral("SELECT * FROM TABPRE_SERV_001 WHERE CODCLI = '00321'")}),
                 kInterativoMs);
    tabela.Linha(QStringLiteral("service price pair located"),
                 Mede(db,
                      [&] {
                          precos.Locate(QStringLiteral("CODCLI;FASE"),
                                        {QStringLiteral("00399"), QStringLiteral("049")});
                      }),
                 MotorMs(db, {QStringLiteral(
                                 "SELECT * FROM TABPRE_SERV_001 WHERE CODCLI = '00399' AND FASE = '049'")}),
                 kInterativoMs);

    // Saving preparation 000 recosts the 2,000 recipes that use it: each run changes its quantities first,
    // so every recipe's cost changes and is written.
    int run = 0;
    const Medida recost = Mede(
        db,
        [&] {
            exec(db,
                 QStringLiteral("UPDATE PREPARACAO SET QTDE = %1 WHERE CODIGO = '000'").arg(2 + run++ % 2));
            db.Transaction()->CommitRetaining();
        },
        [] { RecalculaReceitas(QString(), QString(), QStringLiteral("000")); }, 5);
    const double engineRecost = MotorMs(
        db,
        {QStringLiteral(
             "SELECT R.CODIGO, R.VARIANTE, R.COR, R.CUSTO, R.PREPARACAO, V.INDICE, B.PROPORCAO FROM "
             "RECEITA R LEFT JOIN VARIANTE V ON (V.CODIGO = R.VARIANTE) LEFT JOIN BANHO B ON "
             "(B.CODIGO = R.COD_BANHO) WHERE R.PREPARACAO = '000'"),
         QStringLiteral("SELECT M.*, MAT.REPOSICAO, MAT.CONCENTRACAO FROM RECEITA R JOIN MAT_TIN M ON "
                        "(M.RECEITA = R.CODIGO AND M.VARIANTE = R.VARIANTE) LEFT JOIN MATERIAL MAT ON "
                        "(MAT.CODIGO = M.CODIGO) WHERE R.PREPARACAO = '000'"),
         QStringLiteral("UPDATE RECEITA SET CUSTO = CUSTO + 1 WHERE PREPARACAO = '000'"),
         QStringLiteral("UPDATE TABPRECO SET LIBERADO = 'N' WHERE REGIAO = '01' AND COR IN "
                        "(SELECT COR FROM RECEITA WHERE PREPARACAO = '000')")},
        true, 5);
    tabela.Linha(QStringLiteral("recost the 2,000 recipes of a preparation"), recost, engineRecost, 2000);
}
