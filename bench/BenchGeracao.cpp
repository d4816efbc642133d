#include "BenchGeracao.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstdio>

// A lot sheet generated from the programme and updated from it, on the generated years: a programme of its
// own (999999) holds 20 open items of the biggest customer's free invoice weight, one colour with a released
// recipe, on the route with the most steps and a machine of the bench's own without limits. Each round
// generates the sheet again under its number (the replacement: its rows, steps and invoice weight undone and
// laid out afresh) or updates it; dialogues are answered in advance. The section removes what it wrote.
namespace {
const QString kNumero = QStringLiteral("999999");
const QString kFal = QStringLiteral("9999999");
const QString kMaquina = QStringLiteral("ZZ9");

void mostraMensagens(ScriptedMessageService& messages, const char* onde) {
    const QStringList textos = messages.Texts();
    if (!textos.isEmpty() && textos.last() != QLatin1String("FAL Gerada Com Sucesso.") &&
        textos.last() != QLatin1String("FAL Atualizada."))
        std::printf("messages shown (%s): %s\n", onde, qPrintable(textos.join(QStringLiteral(" | "))));
    messages.Clear();
}

// The writes of one generation as the engine itself runs them: the sheet's items and steps deleted and
// inserted again with the values they hold, one statement each.
QStringList escritaDaFal(TZoDatabase& db, const QString& fal) {
    QStringList instrucoes{QStringLiteral("DELETE FROM PROCESSO_TIN WHERE FAL = %1").arg(Aspas(fal)),
                           QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL = %1").arg(Aspas(fal))};
    for (const QString& tabela : {QStringLiteral("FAL_ITEN"), QStringLiteral("PROCESSO_TIN")}) {
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        db.Exec(q, QStringLiteral("SELECT * FROM %1 WHERE FAL = %2").arg(tabela, Aspas(fal)), false);
        while (q.next()) {
            const QSqlRecord linha = q.record();
            QStringList colunas, valores;
            for (int i = 0; i < linha.count(); ++i) {
                colunas << linha.fieldName(i);
                valores << ValorSql(linha.value(i));
            }
            instrucoes << QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                              .arg(tabela, colunas.join(QStringLiteral(", ")),
                                   valores.join(QStringLiteral(", ")));
        }
    }
    return instrucoes;
}
} // namespace

void BenchGeracao(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    const QString cliente =
        Escalar(db, QStringLiteral("SELECT MIN(CODCLI) FROM TNG_PROG WHERE NUMERO = '900000'"));
    // The route with the most steps, and a colour and variant with a released recipe.
    const QStringList rota = PrimeiraLinha(
        db,
        QStringLiteral("SELECT FIRST 1 CODIGO, COUNT(*) FROM ROTEIRO GROUP BY CODIGO ORDER BY 2 DESC, 1"));
    const QStringList receita = PrimeiraLinha(
        db,
        QStringLiteral("SELECT FIRST 1 R.COR, R.VARIANTE FROM RECEITA R JOIN VARIANTE V ON (V.CODIGO = "
                       "R.VARIANTE) WHERE R.LIBERADA = '1' AND COALESCE(V.INDICE, '') IN ('', '0', '100') "
                       "ORDER BY R.COR, R.VARIANTE"));
    if (cliente.isEmpty() || rota.size() < 2 || receita.size() < 2) {
        std::printf("no programme 900000, route or released recipe in this database: section skipped\n");
        return;
    }
    // Twenty items of distinct fabric and lot, each on an invoice item with free weight for it.
    Executa(db,
            QStringLiteral("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, PESO_MIN, PESO_MAX) VALUES (%1, 'BENCH', "
                           "0, 0)")
                .arg(Aspas(kMaquina)));
    Executa(
        db,
        QStringLiteral(
            "INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, ENTRADA, ENTREGA, PARTIDA, CODIGO, COR, VARIANTE, "
            "MAQUINA, ROTEIRO, LOTE, LOTENF, NOTA, ROLO, PESO, PESO_B, LARGURA, GRAMATURA, FIBRA1, FIBRA2, "
            "REGIAO) SELECT FIRST 20 %1, ROW_NUMBER() OVER (ORDER BY N.NOTA, N.CODIGO, N.LOTE), N.CODCLI, "
            "CURRENT_DATE, CURRENT_DATE + 10, '999999', N.CODIGO, %2, %3, %4, %5, N.LOTE, N.LOTE, N.NOTA, 1, "
            "2, 0, 0, 0, 0, 0, (SELECT TABELA FROM ENTIDADE WHERE CODCLI = N.CODCLI) FROM NFITIN N WHERE "
            "N.CODCLI = %6 AND N.PESO_REAL - N.PESO_PROG > 5 AND N.LOTE IS NOT NULL ORDER BY N.NOTA, "
            "N.CODIGO, N.LOTE")
            .arg(Aspas(kNumero), Aspas(receita.at(0)), Aspas(receita.at(1)), Aspas(kMaquina),
                 Aspas(rota.at(0)), Aspas(cliente)));
    db.Transaction()->CommitRetaining();
    const QString itens =
        Escalar(db, QStringLiteral("SELECT COUNT(*) FROM TNG_PROG WHERE NUMERO = %1").arg(Aspas(kNumero)));
    std::printf("programme %s of customer %s: %s items on route %s (%s steps), colour %s variant %s\n",
                qPrintable(kNumero), qPrintable(cliente), qPrintable(itens), qPrintable(rota.at(0)),
                qPrintable(rota.at(1)), qPrintable(receita.at(0)), qPrintable(receita.at(1)));

    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TFmTngProg"));
    const auto carrega = [&] {
        driver.Type(QStringLiteral("EdtLote"), QString());
        driver.Type(QStringLiteral("EdtLote"), kNumero);
        driver.Press(QStringLiteral("Tab"));
        driver.Click(QStringLiteral("CbTodos"));
        if (driver.Text(QStringLiteral("CbTodos")) != QLatin1String("S"))
            driver.Click(QStringLiteral("CbTodos"));
    };
    // 1. Generated: the first round makes the sheet, every later one replaces it.
    const Medida gera = Mede(
        [&] {
            carrega();
            messages.inputs.enqueue(kFal);
            messages.questions.enqueue(true);
        },
        [&] { driver.Click(QStringLiteral("BitBtn5")); });
    mostraMensagens(messages, "generation");
    const QString passos =
        Escalar(db, QStringLiteral("SELECT COUNT(*) FROM PROCESSO_TIN WHERE FAL = %1").arg(Aspas(kFal)));
    const double pisoFal = MotorMs(db, escritaDaFal(db, kFal), true);
    tabela.Linha(
        QStringLiteral("FAL of %1 items generated again under its number (%2 steps)").arg(itens, passos),
        gera, pisoFal, kInterativoMs);

    // 2. Updated: every item's weight changed by a kilogram, up in one round and down in the next.
    int rodada = 0;
    const Medida atualiza = Mede(
        [&] {
            carrega();
            const double passo = rodada++ % 2 == 0 ? 1 : -1;
            auto* tbItens = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbItens"));
            for (tbItens->First(); !tbItens->Eof(); tbItens->Next()) {
                tbItens->Edit();
                tbItens->FieldByName(QStringLiteral("Peso")) =
                    tbItens->FieldByName(QStringLiteral("Peso")).AsFloat() + passo;
                tbItens->Post();
            }
            tbItens->First();
        },
        [&] { driver.Click(QStringLiteral("BitBtn9")); });
    mostraMensagens(messages, "update");
    tabela.Linha(QStringLiteral("FAL of %1 items updated (weights, steps laid out again)").arg(itens),
                 atualiza, pisoFal, kInterativoMs);
    driver.Close();

    // What the section wrote goes; the invoice weight the sheet held goes back with it.
    Executa(db, QStringLiteral(
                    "UPDATE NFITIN N SET N.PESO_PROG = N.PESO_PROG - COALESCE((SELECT SUM(I.PESO_NF) "
                    "FROM FAL_ITEN I WHERE I.FAL = %1 AND I.NOTA = N.NOTA AND I.CODIGO = N.CODIGO AND "
                    "I.LOTE = N.LOTE), 0) WHERE N.CODCLI = %2 AND EXISTS (SELECT 1 FROM FAL_ITEN I WHERE "
                    "I.FAL = %1 AND I.NOTA = N.NOTA AND I.CODIGO = N.CODIGO AND I.LOTE = N.LOTE)")
                    .arg(Aspas(kFal), Aspas(cliente)));
    Executa(db, QStringLiteral("UPDATE NFITIN SET PESO = PESO_REAL - PESO_PROG WHERE CODCLI = %1 AND PESO <> "
                               "PESO_REAL - PESO_PROG")
                    .arg(Aspas(cliente)));
    for (const QString& instrucao :
         {QStringLiteral("DELETE FROM PROCESSO_TIN WHERE FAL = %1").arg(Aspas(kFal)),
          QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL = %1").arg(Aspas(kFal)),
          QStringLiteral("DELETE FROM FAL WHERE NUMERO = %1").arg(Aspas(kFal)),
          QStringLiteral("DELETE FROM TNG_PROG WHERE NUMERO = %1").arg(Aspas(kNumero)),
          QStringLiteral("DELETE FROM MAQ_TIN WHERE CODIGO = %1").arg(Aspas(kMaquina)),
          QStringLiteral("DELETE FROM LOG WHERE CHAVE IN (%1, %2)").arg(Aspas(kFal), Aspas(kNumero))})
        Executa(db, instrucao);
    db.Transaction()->CommitRetaining();
}
