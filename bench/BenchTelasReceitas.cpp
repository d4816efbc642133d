#include "BenchTelasReceitas.h"
#include "DataContext.h"
#include "Medicao.h"
#include "ModuleLoader.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

void exec(TZoDatabase& db, const QString& sql) {
    QSqlQuery q(db.Connection());
    db.Exec(q, sql, true);
}
} // namespace

void BenchTelasReceitas(TZoDatabase& db, ScriptedMessageService& messages) {
    ModuleLoader module;
    QString error;
    if (!module.Load(QStringLiteral("kelmTingimento"), &error)) {
        std::printf("recipe screens: module not loaded (%s)\n", qPrintable(error));
        return;
    }
    // A recipe of 40 items, and a million audit rows, the recipes' last changes among them.
    db.LockTimeoutMs = 600000;
    exec(db,
         QStringLiteral(
             "EXECUTE BLOCK AS DECLARE K INTEGER = 0; BEGIN "
             "INSERT INTO RECEITA (CODIGO, DESCRICAO, VARIANTE, COR, GRAFICO, COD_BANHO, CUSTO, PREPARACAO, "
             "LIBERADA) VALUES ('9999', 'RECEITA GRANDE', '01', '0000009999', '001', '01', 0, '001', '1'); "
             "INSERT INTO GRAFICO (CODIGO, DESCRICAO, TEMPO) VALUES ('001', 'REATIVO', '04:30'); "
             "INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES ('0000009999', 'COR DA RECEITA GRANDE'); "
             "WHILE (K < 40) DO BEGIN "
             "INSERT INTO MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE, FIBRA, PASSO, "
             "REGRA, TIPO, TP_ITEM) VALUES ('9999', '01', :K + 1, 'M' || LPAD(:K * 37, 5, '0'), "
             "IIF(MOD(:K, 3) = 0, 'GL', '%'), 0.5 + :K, '', '2', '', 'C', 'M'); K = K + 1; END END"));
    exec(db,
         QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 900000) DO BEGIN "
                        "INSERT INTO LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) "
                        "VALUES (GEN_ID(GEN_LOG_ID, 1) + 10000000, "
                        "IIF(MOD(:I, 9) = 0, LPAD(MOD(:I, 5000), 4, '0') || LPAD(MOD(:I, 4) + 1, 2, '0'), "
                        "LPAD(MOD(:I, 180000), 7, '0')), DATEADD(MOD(:I, 1800) DAY TO DATE '2022-01-01'), "
                        "'10:' || LPAD(MOD(:I, 60), 2, '0') || ':00', 'ADMIN', "
                        "IIF(MOD(:I, 9) = 0, 'fmTngReceita', 'FmCadFal'), 'RECEITA', 'ALTERACAO', 3); "
                        "I = I + 1; END END"));
    db.Transaction()->CommitRetaining();
    db.LockTimeoutMs = 5000;
    exec(db, QStringLiteral("SET STATISTICS INDEX IDX_LOG_FORM_CHAVE"));
    db.Transaction()->CommitRetaining();

    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TfmTngReceita"));
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Cadastro"));
    auto carrega = [&](const QString& codigo, const QString& variante) {
        driver.Type(QStringLiteral("EdtCodigo"), codigo);
        driver.Type(QStringLiteral("EdtCodVar"), variante);
    };
    int n = 0;
    const Medida load = Mede(
        db,
        [&] {
            carrega(QStringLiteral("%1").arg(1000 + n++ * 311 % 4000, 4, 10, QChar('0')),
                    QStringLiteral("02"));
        },
        [&] { driver.Press(QStringLiteral("Tab")); });
    TabelaBench::Global().Linha(
        QStringLiteral("recipe loaded (15 items, its last change)"), load,
        MotorMs(
            db,
            {QStringLiteral("SELECT * FROM RECEITA R LEFT JOIN MAT_TIN M ON (M.RECEITA = R.CODIGO AND "
                            "M.VARIANTE = R.VARIANTE) LEFT JOIN MATERIAL MAT ON (MAT.CODIGO = M.CODIGO) "
                            "WHERE R.CODIGO = '2311' AND R.VARIANTE = '02'"),
             QStringLiteral("SELECT FIRST 1 DATA, HORA, USUARIO FROM LOG WHERE FORMULARIO = 'fmTngReceita' "
                            "AND CHAVE = '231102' ORDER BY DATA DESC, HORA DESC")}),
        kAbreTelaMs);

    const Medida save = Mede(
        db,
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

    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Acesso"));
    const Medida search = Mede(
        db, [] {}, [&] { driver.Click(QStringLiteral("btnConsulta")); });
    TabelaBench::Global().Linha(
        QStringLiteral("recipe search, empty filters (first 500, count)"), search,
        MotorMs(db,
                {QStringLiteral("SELECT COUNT(*) FROM RECEITA"),
                 QStringLiteral(
                     "SELECT FIRST 500 R.CODIGO, R.VARIANTE, V.DESCRICAO, R.COR, C.DESCRICAO, R.GRAFICO, "
                     "G.DESCRICAO, "
                     "R.COD_BANHO, B.DESCRICAO, R.PREPARACAO, R.LIBERADA FROM RECEITA R LEFT JOIN VARIANTE V "
                     "ON (V.CODIGO = R.VARIANTE) LEFT JOIN CADCORTIN C ON (C.CODIGO = R.COR) LEFT JOIN "
                     "GRAFICO G ON (G.CODIGO = R.GRAFICO) LEFT JOIN BANHO B ON (B.CODIGO = R.COD_BANHO) "
                     "ORDER BY R.CODIGO")}),
        kInterativoMs);
    driver.Close();

    driver.Open(QStringLiteral("TFmSubstRec"));
    int troca = 0;
    const Medida substitution = Mede(
        db,
        [&] {
            const bool ida = troca++ % 2 == 0;
            driver.Type(QStringLiteral("EdtCodMat"),
                        ida ? QStringLiteral("M00010") : QStringLiteral("M01999"));
            driver.Type(QStringLiteral("EdtCodMat2"),
                        ida ? QStringLiteral("M01999") : QStringLiteral("M00010"));
            driver.Type(QStringLiteral("EdtIndice"), QStringLiteral("1"));
            messages.questions.enqueue(true);
        },
        [&] { driver.Click(QStringLiteral("BitBtn1")); }, 4);
    TabelaBench::Global().Linha(
        QStringLiteral("product replaced in every recipe and preparation"), substitution,
        MotorMs(
            db,
            {QStringLiteral("UPDATE MAT_TIN SET CODIGO = 'M01999', QTDE = QTDE * 1 WHERE CODIGO = 'M00010'"),
             QStringLiteral("UPDATE PREPARACAO SET MATERIAL = 'M01999', QTDE = QTDE * 1 WHERE MATERIAL = "
                            "'M00010'")},
            true),
        kInterativoMs);
    driver.Close();
    if (!messages.Texts().isEmpty())
        std::printf("messages shown: %s\n", qPrintable(messages.Texts().join(QStringLiteral(" | "))));
    messages.Clear();
    module.Unload();
}
