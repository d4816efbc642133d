#include "BenchNotas.h"
#include "DataSet.h"
#include "Medicao.h"
#include "ModuleLoader.h"
#include "RegrasNota.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QCoreApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
constexpr int kInvoices = 60000;
constexpr int kFals = 200000;

void exec(TZoDatabase& db, const QString& sql) {
    QSqlQuery q(db.Connection());
    db.Exec(q, sql, true);
}

// 300 customers, 2,000 fabrics with lots, 60,000 invoices of 3 or 4 items (about 200,000), 200,000 lot
// sheets of three items each, every item on one invoice item; 200,000 stock lots, most of them not
// sequential. Generated inside the engine.
void generate(TZoDatabase& db) {
    db.LockTimeoutMs = 600000;
    exec(db,
         QStringLiteral(
             "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
             "INSERT INTO GRUPO_PA (CODIGO, DESCRICAO, LOTE) VALUES ('0009', 'MALHAS', 'S'); "
             "WHILE (I < 300) DO BEGIN INSERT INTO ENTIDADE (CODCLI, NOME, ATIVO, BLOQUEIO) VALUES "
             "('B' || LPAD(:I, 4, '0'), 'CLIENTE ' || :I, 'S', 'N'); I = I + 1; END "
             "I = 0; WHILE (I < 2000) DO BEGIN INSERT INTO PRODUTO (CODIGO, DESCRICAO, GRUPO, CODFIS) VALUES "
             "('T' || LPAD(:I, 5, '0'), 'MALHA ' || :I, '0009', '001'); "
             "INSERT INTO PA_ITEN (CODIGO, COR, DEPOSITO, LOTE, QTDE) VALUES ('T' || LPAD(:I, 5, '0'), '0', "
             "'0001', IIF(MOD(:I, 50) = 0, LPAD(:I, 6, '0'), 'L' || :I), 10); I = I + 1; END END"));
    exec(
        db,
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I BIGINT = 0; DECLARE K INTEGER; DECLARE C VARCHAR(5); BEGIN "
            "WHILE (I < %1) DO BEGIN "
            // a few big customers: the square spreads invoices unevenly over them
            "C = 'B' || LPAD(MOD(:I * :I, 300), 4, '0'); "
            "INSERT INTO NFTIN (NOTA, CLIENTE, DATA, NATUREZA, EMISSOR, SERIE, TIPO, SALDO, TIPO_FRETE) "
            "VALUES "
            "(LPAD(:I, 9, '0'), :C, DATEADD(:I * 1826 / %1 DAY TO DATE '2021-12-01'), '1901', :C, '1', '01', "
            "IIF(MOD(:I, 3) = 0, 160, 120), 1); "
            "K = 0; WHILE (K < IIF(MOD(:I, 3) = 0, 4, 3)) DO BEGIN "
            "INSERT INTO NFITIN (NOTA, CODCLI, ORDEM, CODIGO, DESCRICAO, ROLOS, LOTE, VALOR, PESO, "
            "PESO_REAL, "
            "PESO_NOTA, PESO_PROG) VALUES (LPAD(:I, 9, '0'), :C, :K + 1, 'T' || LPAD(MOD(:I * 7 + :K, 2000), "
            "5, "
            "'0'), 'MALHA', 4, LPAD(:I * 4 + :K, 6, '0'), 20, 40, 100, 100, 60); K = K + 1; END "
            "I = I + 1; END END")
            .arg(kInvoices));
    exec(db,
         QStringLiteral(
             "EXECUTE BLOCK AS DECLARE I BIGINT = 0; DECLARE K INTEGER; DECLARE N BIGINT; BEGIN "
             "WHILE (I < %1) DO BEGIN N = MOD(:I, %2); "
             "INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, PRAZO, DATA_INI, "
             "DATA_FIN, TIPO, STATUS, ORDEM) VALUES (LPAD(:I, 7, '0'), 'B' || LPAD(MOD(:N * :N, 300), 4, "
             "'0'), "
             "'0000000001', '01', '000001', '01', '01', '00', DATEADD(:I * 1826 / %1 DAY TO DATE "
             "'2021-12-05'), "
             "DATEADD(:I * 1826 / %1 + 7 DAY TO DATE '2021-12-05'), 1, 'A', :I); "
             "K = 0; WHILE (K < 3) DO BEGIN "
             "INSERT INTO FAL_ITEN (FAL, NOTA, CODIGO, LOTE, ROLO, PESO, PESO_NF, FLUXO, FATURADO, ORD_IT) "
             "VALUES (LPAD(:I, 7, '0'), LPAD(:N, 9, '0'), 'T' || LPAD(MOD(:N * 7 + :K, 2000), 5, '0'), "
             "LPAD(:N * 4 + :K, 6, '0'), 1, 20, 20, '000001', IIF(:I < %1 - 5000, 'S', 'A'), :K + 1); "
             "K = K + 1; END I = I + 1; END END")
             .arg(kFals)
             .arg(kInvoices));
    // What an invoice and a lot sheet are checked against, a customer with 2,000 open lot sheets, and one
    // sheet of 30 items on a ten-phase route.
    exec(
        db,
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
            "INSERT INTO NATUREZA (NATUREZA, DESCRICAO, TIPO, TP_BASE) VALUES ('1901', 'REMESSA', 'R', '2'); "
            "INSERT INTO TABFIS (CODIGO, DESCRICAO) VALUES ('001', 'MALHA'); "
            "INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES ('0000000001', 'AZUL'); "
            "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, PESO_MIN, PESO_MAX) VALUES ('01', 'JET', 0, 0); "
            "UPDATE ENTIDADE SET LIMITE_CREDITO = 1000000000 WHERE CODCLI = 'B0007'; "
            "INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 250, 'S'); "
            "INSERT INTO NFTIN (NOTA, CLIENTE, DATA, NATUREZA, SALDO) VALUES ('999999999', 'B0007', "
            "'2026-11-20', '1901', 0); "
            "INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, PRAZO, DATA_INI, "
            "DATA_FIN, TIPO, STATUS) VALUES ('0999999', 'B0007', '0000000001', '01', '000010', '01', '01', "
            "'00', '2026-11-20', '2026-11-30', 1, 'A'); "
            "WHILE (I < 10) DO BEGIN "
            "INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('F' || :I, 'FASE ' || :I); "
            "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES ('000010', 'DEZ FASES', :I + "
            "1, "
            "0, 'F' || :I); I = I + 1; END "
            "I = 0; WHILE (I < 30) DO BEGIN "
            "INSERT INTO NFITIN (NOTA, CODCLI, ORDEM, CODIGO, LOTE, PESO, PESO_REAL, PESO_PROG) VALUES "
            "('999999999', 'B0007', :I, 'T' || LPAD(:I, 5, '0'), 'M' || :I, 90, 100, 10); "
            "INSERT INTO FAL_ITEN (FAL, NOTA, CODIGO, LOTE, ROLO, PESO, PESO_NF, FLUXO, FATURADO, ORD_IT) "
            "VALUES ('0999999', '999999999', 'T' || LPAD(:I, 5, '0'), 'M' || :I, 1, 10, 10, '000010', 'A', "
            ":I + 1); I = I + 1; END "
            "UPDATE NFTIN SET SALDO = 2700 WHERE NOTA = '999999999' AND CLIENTE = 'B0007'; "
            "I = 0; WHILE (I < 2000) DO BEGIN "
            "INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, TABPRECO, PRAZO, TIPO, STATUS) VALUES "
            "('X' || LPAD(:I, 6, '0'), 'B0007', LPAD(MOD(:I, 5000), 10, '0'), '01', '01', '00', 1, 'A'); "
            "INSERT INTO FAL_ITEN (FAL, NOTA, CODIGO, LOTE, PESO, FATURADO) VALUES ('X' || LPAD(:I, 6, '0'), "
            "'000000007', 'T00001', '', 25, 'A'); I = I + 1; END END"));
    db.Transaction()->CommitRetaining();
    db.LockTimeoutMs = 5000;
    for (const char* index : {"IDX_NFTIN_DATA", "IDX_NFTIN_CLIENTE", "IDX_FAL_ITEN_NOTA", "IDX_FAL_ITEN_FAL",
                              "IDX_FAL_CLIENTE", "IDX_NFITIN_LOTE_SEQ", "IDX_PA_ITEN_LOTE_SEQ"})
        exec(db, QStringLiteral("SET STATISTICS INDEX %1").arg(QLatin1String(index)));
    db.Transaction()->CommitRetaining();
}
} // namespace

void BenchNotas(TZoDatabase& db, ScriptedMessageService& messages) {
    QElapsedTimer timer;
    timer.start();
    generate(db);
    std::printf("\n%d invoices, about %d items, %d lot sheets with %d items: generated in %lld ms\n",
                kInvoices, kInvoices * 10 / 3, kFals, kFals * 3, static_cast<long long>(timer.elapsed()));

    ModuleLoader module;
    QString error;
    if (!module.Load(QStringLiteral("kelmTingimento"), &error)) {
        std::printf("invoice screens: module not loaded (%s)\n", qPrintable(error));
        return;
    }
    const QString seq =
        QStringLiteral("IIF(CHAR_LENGTH(N.LOTE) = 6 AND N.LOTE SIMILAR TO '[0-9]{6}', N.LOTE, NULL)");
    TabelaBench::Global().Linha(
        QStringLiteral("next sequential lot"),
        Mede(
            db, [] {}, [] { MaiorLoteSequencial(); }),
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
        Mede(
            db, [] {}, [&] { driver.Click(QStringLiteral("BitBtn5")); }),
        MotorMs(db, {QStringLiteral("SELECT N.NOTA, N.CLIENTE, F.FAL FROM NFTIN N LEFT JOIN FAL_ITEN F ON "
                                    "(F.NOTA = N.NOTA) WHERE N.DATA BETWEEN '2026-11-01' AND '2026-11-30'")}),
        kInterativoMs);
    messages.searches.enqueue(QStringLiteral("000031337/B0169"));
    driver.Click(QStringLiteral("btnConsultar"));
    TabelaBench::Global().Linha(
        QStringLiteral("alter: a lot sheet holds the invoice"),
        Mede(
            db,
            [&] {
                if (driver.Visible(QStringLiteral("btnDesistir")))
                    driver.Click(QStringLiteral("btnDesistir"));
            },
            [&] { driver.Click(QStringLiteral("BitBtn23")); }),
        MotorMs(db,
                {QStringLiteral("SELECT FIRST 1 FAL.NUMERO FROM FAL INNER JOIN FAL_ITEN ON (FAL.NUMERO = "
                                "FAL_ITEN.FAL) WHERE FAL_ITEN.NOTA = '000031337' AND FAL.CLIENTE = 'B0169' "
                                "AND FAL_ITEN.PESO > 0")}),
        kInterativoMs);
    driver.Click(QStringLiteral("btnDesistir"));
    TabelaBench::Global().Linha(
        QStringLiteral("delete refused: a lot sheet holds the invoice"),
        Mede(
            db, [&] { messages.questions.enqueue(true); }, [&] { driver.Click(QStringLiteral("BitBtn24")); }),
        MotorMs(db, {QStringLiteral(
                        "SELECT FIRST 1 FAL.NUMERO FROM FAL INNER JOIN FAL_ITEN ON (FAL.NUMERO = "
                        "FAL_ITEN.FAL) WHERE FAL_ITEN.NOTA = '000031337' AND FAL.CLIENTE = 'B0169'")}),
        kInterativoMs);

    driver.Click(QStringLiteral("BitBtn12"));
    driver.Type(QStringLiteral("EdtNota"), QStringLiteral("900000000"));
    driver.Type(QStringLiteral("EdtCliente"), QStringLiteral("B0001"));
    driver.Type(QStringLiteral("EdtNatureza"), QStringLiteral("1901"));
    auto* itens = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbItens"));
    for (int i = 0; i < 200; ++i) {
        itens->Append();
        itens->FieldByName(QStringLiteral("Codigo")) = QStringLiteral("T%1").arg(i, 5, 10, QLatin1Char('0'));
        itens->FieldByName(QStringLiteral("Lote")) = QStringLiteral("N%1").arg(i);
        itens->FieldByName(QStringLiteral("Peso_Real")) = 10.5;
        itens->Post();
    }
    const Medida inclusao = Mede(
        db, [&] { driver.Click(QStringLiteral("SpeedButton16")); }, 1);
    driver.Click(QStringLiteral("BitBtn23"));
    const Medida regravacao = Mede(
        db, [&] { driver.Click(QStringLiteral("SpeedButton16")); }, 1);
    QStringList inserts;
    for (int i = 0; i < 200; ++i)
        inserts << QStringLiteral("INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO_REAL, PESO) VALUES "
                                  "('900000001', 'B0001', 'T00001', 'N%1', 10.5, 10.5)")
                       .arg(i);
    const double engineInclusao = MotorMs(db, inserts, true);
    TabelaBench::Global().Linha(QStringLiteral("invoice of 200 items included"), inclusao, engineInclusao,
                                300);
    TabelaBench::Global().Linha(QStringLiteral("invoice of 200 items saved again"), regravacao,
                                engineInclusao, 300);
    driver.Close();

    driver.Open(QStringLiteral("TFmCadFal"));
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Cadastro"));
    int vez = 0;
    TabelaBench::Global().Linha(
        QStringLiteral("lot sheet opened"),
        Mede(
            db,
            [&] {
                driver.Type(QStringLiteral("EdtFal"),
                            vez++ % 2 ? QStringLiteral("0100000") : QStringLiteral("0999999"));
            },
            [&] { driver.Press(QStringLiteral("Tab")); }),
        MotorMs(db, {QStringLiteral("SELECT * FROM FAL LEFT JOIN ENTIDADE ON (ENTIDADE.CODCLI = FAL.CLIENTE) "
                                    "WHERE FAL.NUMERO = '0100000'"),
                     QStringLiteral("SELECT * FROM FAL_ITEN LEFT JOIN PRODUTO ON (PRODUTO.CODIGO = "
                                    "FAL_ITEN.CODIGO) WHERE FAL_ITEN.FAL = '0100000'"),
                     QStringLiteral("SELECT FIRST 1 DES_FASE FROM PROCESSO_TIN WHERE FAL = '0100000' AND "
                                    "CONCLUIDO = 'N' ORDER BY ORDEM")}),
        kAbreTelaMs);
    auto* sheet = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbItens"));
    int peso = 0;
    TabelaBench::Global().Linha(
        QStringLiteral("lot sheet of 30 items, 10 phases, credit saved"),
        Mede(
            db,
            [&] {
                driver.Type(QStringLiteral("EdtFal"), QStringLiteral("0999999"));
                driver.Press(QStringLiteral("Tab"));
                sheet->First();
                sheet->Edit();
                sheet->FieldByName(QStringLiteral("Peso")) = 10 + peso++ % 2;
                sheet->Post();
            },
            [&] { driver.Click(QStringLiteral("BtnIncluir")); }, 5),
        MotorMs(
            db,
            {QStringLiteral("SELECT SUM(FAL_ITEN.PESO * COALESCE(T.PRECO_00, 0)) FROM FAL JOIN FAL_ITEN ON "
                            "(FAL_ITEN.FAL = FAL.NUMERO AND FAL_ITEN.FATURADO <> 'S') LEFT JOIN TABPRECO T "
                            "ON (T.REGIAO = FAL.TABPRECO AND T.COR = FAL.COR AND T.VARIANTE = "
                            "FAL.VARIANTE AND T.CODIGO = '') WHERE FAL.CLIENTE = 'B0007'"),
             QStringLiteral("DELETE FROM PROCESSO_TIN WHERE FAL = '0999999'")},
            true),
        kInterativoMs);
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Consulta"));
    driver.Get<QDateEdit>(QStringLiteral("EdtConsDataIni"))->setDate(QDate(2026, 11, 1));
    driver.Get<QDateEdit>(QStringLiteral("EdtConsDataFin"))->setDate(QDate(2026, 11, 30));
    TabelaBench::Global().Linha(
        QStringLiteral("lot sheets of a month consulted"),
        Mede(
            db, [] {}, [&] { driver.Click(QStringLiteral("BitBtn5")); }),
        MotorMs(db, {QStringLiteral("SELECT DISTINCT FAL.NUMERO, FAL.CLIENTE, FAL.DATA_INI FROM FAL WHERE "
                                    "FAL.DATA_INI BETWEEN '2026-11-01' AND '2026-11-30'")}),
        kInterativoMs);
    driver.Close();
    if (!messages.Texts().isEmpty())
        std::printf("messages shown: %s\n", qPrintable(messages.Texts().join(QStringLiteral(" | "))));
    messages.Clear();
    module.Unload();
}
