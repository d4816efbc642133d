#include "BenchNotas.h"
#include "ModuleLoader.h"
#include "RegrasNota.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
constexpr int kRuns = 7;
constexpr int kInvoices = 60000;
constexpr int kFals = 200000;

double median(QList<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double timedMs(const std::function<void()>& before, const std::function<void()>& step, int runs = kRuns) {
    QList<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        before();
        timer.start();
        step();
        QCoreApplication::processEvents();
        times << timer.nsecsElapsed() / 1e6;
    }
    return median(times);
}

double engineMs(TZoDatabase& db, const QStringList& statements, bool write = false) {
    QList<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < kRuns; ++i) {
        timer.start();
        for (const QString& sql : statements) {
            QSqlQuery q(db.Connection());
            q.setForwardOnly(true);
            db.Exec(q, sql, write);
            while (q.isSelect() && q.next()) {
            }
        }
        times << timer.nsecsElapsed() / 1e6;
        if (write)
            db.Transaction()->RollbackRetaining();
    }
    return median(times);
}

void line(const char* what, double ours, double engine) {
    std::printf("%-46s %9.3f ms  engine %9.3f ms  (x%.1f)\n", what, ours, engine,
                engine > 0 ? ours / engine : 0);
}

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
    db.Transaction()->CommitRetaining();
    db.LockTimeoutMs = 5000;
    for (const char* index : {"IDX_NFTIN_DATA", "IDX_NFTIN_CLIENTE", "IDX_FAL_ITEN_NOTA", "IDX_FAL_ITEN_FAL",
                              "IDX_FAL_CLIENTE", "IDX_NFITIN_LOTE_SEQ", "IDX_PA_ITEN_LOTE_SEQ"})
        exec(db, QStringLiteral("SET STATISTICS INDEX %1").arg(QLatin1String(index)));
    db.Transaction()->CommitRetaining();
}
} // namespace

void BenchNotas(TZoDatabase& db, ScriptedMessageService& messages) {
    Q_UNUSED(messages);
    QElapsedTimer timer;
    timer.start();
    generate(db);
    std::printf("\n%d invoices, about %d items, %d lot sheets with %d items: generated in %lld ms\n",
                kInvoices, kInvoices * 10 / 3, kFals, kFals * 3, static_cast<long long>(timer.elapsed()));

    line("next sequential lot", timedMs([] {}, [] { MaiorLoteSequencial(); }),
         engineMs(db, {QStringLiteral("SELECT FIRST 1 LOTE FROM NFITIN ORDER BY LOTE DESC")}));
    line("a lot sheet holds this invoice (alter, delete)",
         engineMs(db, {QStringLiteral("SELECT FIRST 1 FAL.NUMERO FROM FAL INNER JOIN FAL_ITEN ON "
                                      "(FAL.NUMERO = FAL_ITEN.FAL) WHERE FAL_ITEN.NOTA = '000031337' AND "
                                      "FAL.CLIENTE = 'B0169' AND FAL_ITEN.PESO > 0")}),
         0);
}
