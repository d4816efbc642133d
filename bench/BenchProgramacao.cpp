#include "BenchProgramacao.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstdio>

// The production programme on the generated years: programme 900000, which the generator writes with 200
// open items of its biggest active customer, opened by typing its number, saved unchanged and with every
// row changed, and the search of a month with and without that customer. The screen commits its saves: the
// rows marked by the last changing save are unmarked at the end and the audit rows the saves wrote deleted,
// so the section leaves the programme as it found it.
namespace {
const QString kNumero = QStringLiteral("900000");
const QString kMarca = QStringLiteral("ALTERADO PELO BENCH");
const QString kTituloLog = QStringLiteral("PROGRAMACAO DO TINGIMENTO");

// The columns a save writes on every row, as the screen's save lists them.
const char* const kColunasGravadas[] = {
    "CODCLI",  "ENTRADA",  "ENTREGA",    "PARTIDA", "REGIAO",     "CODIGO",  "COR",    "MAQUINA", "LOTE",
    "ESTAMPA", "VAR_EST",  "OBSERVACAO", "NOTA",    "ROLO",       "PESO",    "PESO_B", "LARGURA", "GRAMATURA",
    "ROTEIRO", "VARIANTE", "FIBRA1",     "FIBRA2",  "CODIGO_CLI", "COR_CLI", "OBS",    "LOTENF"};

// What the screen reads when the number box is left: the number's existence, the items, the customer's name
// and region, the last lot sheet number, the dye lots of the customer's latest programme and its state.
QStringList leituraDaProgramacao(const QString& numero, const QString& cliente) {
    const QString n = Aspas(numero), c = Aspas(cliente);
    return {
        QStringLiteral("SELECT FIRST 1 1 FROM TNG_PROG WHERE NUMERO = %1").arg(n),
        QStringLiteral(
            "SELECT P.CODCLI, P.REGIAO, P.CODIGO, P.CODIGO_CLI, P.COR, P.COR_CLI, P.ENTRADA, P.ENTREGA, "
            "P.ESTAMPA, P.FAL, P.FIBRA1, P.FIBRA2, P.GRAMATURA, P.LARGURA, P.LOTE, P.MAQUINA, P.NOTA, P.OBS, "
            "P.OBSERVACAO, P.PARTIDA, P.PESO, P.PESO_B, P.ROLO, P.ROTEIRO, P.VARIANTE, P.VAR_EST, "
            "PRODUTO.DESCRICAO, CADCOR.DESCRICAO AS DESCCOR, CADCOR.COMPLEMENTO, P.ORDEM, CADCOR.COR_SIS, "
            "(SELECT MAX(R.DESCRICAO) FROM ROTEIRO R WHERE R.CODIGO = P.ROTEIRO) AS DESCFLUXO, "
            "PRODUTO.PESO AS PESO_PRODUTO, PRODUTO.PESO_TALHADO, P.LOTENF, CADCOR.TINGIR, "
            "PRODUTO.DESCRICAO2, PRODUTO.COMP1, PRODUTO.COMP2, P.LOCAL FROM TNG_PROG P LEFT JOIN PRODUTO "
            "PRODUTO ON (P.CODIGO = PRODUTO.CODIGO) LEFT JOIN CADCORTIN CADCOR ON (P.COR = CADCOR.CODIGO) "
            "WHERE P.NUMERO = %1 ORDER BY P.PARTIDA NULLS FIRST, P.ORDEM")
            .arg(n),
        QStringLiteral("SELECT NOME, TABELA FROM ENTIDADE WHERE CODCLI = %1").arg(c),
        QStringLiteral("SELECT PROXIMO FROM CODIGOS WHERE TABELA = 'FAL' AND CAMPO = 'NUMERO'"),
        QStringLiteral("SELECT PARTIDA FROM TNG_PROG WHERE NUMERO = (SELECT MAX(NUMERO) FROM TNG_PROG WHERE "
                       "CODCLI = %1) AND PARTIDA IS NOT NULL")
            .arg(c),
        QStringLiteral("SELECT ATIVO, BLOQUEIO FROM ENTIDADE WHERE CODCLI = %1").arg(c)};
}

// What the engine itself needs for the save: the stored orders and lot sheets, one update per open row with
// the values it holds, the audit row.
QStringList gravacaoDaProgramacao(TZoDatabase& db, const QString& numero) {
    QStringList colunas;
    for (const char* coluna : kColunasGravadas)
        colunas << QLatin1String(coluna);
    QStringList escrita{
        QStringLiteral("SELECT FIRST 1 1 FROM TNG_PROG WHERE NUMERO = %1").arg(Aspas(numero)),
        QStringLiteral("SELECT ORDEM, FAL FROM TNG_PROG WHERE NUMERO = %1").arg(Aspas(numero))};
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    db.Exec(
        q,
        QStringLiteral("SELECT ORDEM, %1 FROM TNG_PROG WHERE NUMERO = %2 AND COALESCE(FAL, '') = '' ORDER "
                       "BY ORDEM")
            .arg(colunas.join(QStringLiteral(", ")), Aspas(numero)),
        false);
    while (q.next()) {
        QStringList valores;
        for (int i = 0; i < colunas.size(); ++i)
            valores << colunas[i] + QStringLiteral(" = ") + ValorSql(q.value(i + 1));
        escrita << QStringLiteral(
                       "UPDATE TNG_PROG SET %1 WHERE NUMERO = %2 AND ORDEM = %3 AND COALESCE(FAL, '') = ''")
                       .arg(valores.join(QStringLiteral(", ")), Aspas(numero), q.value(0).toString());
    }
    escrita << QStringLiteral(
                   "INSERT INTO LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) "
                   "VALUES (NEXT VALUE FOR GEN_LOG_ID, %1, CURRENT_DATE, '12:00:00', 'ADMIN', "
                   "'FmTngProg', %2, 'ALTERACAO DA PROGRAMACAO', 1)")
                   .arg(Aspas(numero), Aspas(kTituloLog));
    return escrita;
}

// The search as the screen sends it: programmes with open items begun in the period, newest first, the
// first window of them; the count of them all when the window is full.
QStringList busca(const QString& de, const QString& ate, const QString& cliente, bool conta) {
    const QString programas =
        QStringLiteral(
            "SELECT * FROM (SELECT DISTINCT PROG.NUMERO, PROG.CODCLI, CLIENTE.NOME, PROG.ENTRADA, "
            "PROG.ENTREGA FROM TNG_PROG PROG LEFT JOIN ENTIDADE CLIENTE ON (PROG.CODCLI = "
            "CLIENTE.CODCLI) WHERE PROG.ENTRADA >= %1 AND PROG.ENTRADA <= %2 %3 AND (PROG.FAL = '' "
            "OR PROG.FAL IS NULL)) P ORDER BY P.NUMERO DESC, P.CODCLI, P.ENTRADA, P.ENTREGA")
            .arg(Aspas(de), Aspas(ate),
                 cliente.isEmpty() ? QString() : QStringLiteral("AND PROG.CODCLI = %1").arg(Aspas(cliente)));
    QStringList leitura{programas + QStringLiteral(" ROWS 1 TO 100")};
    if (conta)
        leitura << QStringLiteral("SELECT COUNT(*) FROM (%1) C").arg(programas);
    return leitura;
}

// Every row the bench marked back to what the generator stored.
void desfazAlteracao(TZoDatabase& db) {
    Executa(db, QStringLiteral("UPDATE TNG_PROG SET ROLO = ROLO - 1, OBSERVACAO = NULL WHERE NUMERO = %1 AND "
                               "OBSERVACAO = %2")
                    .arg(Aspas(kNumero), Aspas(kMarca)));
    db.Transaction()->CommitRetaining();
}
} // namespace

void BenchProgramacao(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    const QStringList programa = PrimeiraLinha(
        db, QStringLiteral("SELECT MIN(CODCLI), COUNT(*), COUNT(FAL) FROM TNG_PROG WHERE NUMERO = %1")
                .arg(Aspas(kNumero)));
    const QString cliente = programa.value(0);
    const QString itens = programa.value(1);
    if (cliente.isEmpty()) {
        std::printf("programme %s is not in this database (an older generator): section skipped\n",
                    qPrintable(kNumero));
        return;
    }
    std::printf(
        "programme %s of customer %s: %s items, %s of them generated; %s programmes, %s items in all\n",
        qPrintable(kNumero), qPrintable(cliente), qPrintable(itens), qPrintable(programa.value(2)),
        qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(DISTINCT NUMERO) FROM TNG_PROG"))),
        qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM TNG_PROG"))));

    ScreenDriver driver(messages);
    // 1. A fresh screen, the number typed and the box left.
    const Medida abre = Mede(
        [&] {
            driver.Close();
            driver.Open(QStringLiteral("TFmTngProg"));
            ProcessEvents();
        },
        [&] {
            driver.Type(QStringLiteral("EdtLote"), kNumero);
            driver.Press(QStringLiteral("Tab"));
        });
    MostraMensagens(messages, "programme opened");
    auto* tbItens = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbItens"));
    tabela.Linha(
        QStringLiteral("programme of %1 items opened (number typed, box left)").arg(tbItens->RecordCount()),
        abre, MotorMs(db, leituraDaProgramacao(kNumero, cliente)), kInterativoMs);

    // 2. Saved as loaded, then with every row changed; each save is a click on "Gravar" with the programme
    // just loaded.
    const auto carrega = [&] {
        driver.Type(QStringLiteral("EdtLote"), kNumero);
        driver.Press(QStringLiteral("Tab"));
    };
    const QStringList escrita = gravacaoDaProgramacao(db, kNumero);
    const double pisoGravacao = MotorMs(db, escrita, true);
    const Medida igual = Mede(carrega, [&] { driver.Click(QStringLiteral("BitBtn1")); });
    MostraMensagens(messages, "programme saved unchanged");
    tabela.Linha(QStringLiteral("programme of %1 items saved unchanged").arg(itens), igual, pisoGravacao,
                 kInterativoMs);

    // Every row marked in one round and unmarked in the next: each save changes all of them.
    int rodada = 0;
    const Medida alterada = Mede(
        [&] {
            carrega();
            const bool marca = rodada++ % 2 == 0;
            for (tbItens->First(); !tbItens->Eof(); tbItens->Next()) {
                tbItens->Edit();
                tbItens->FieldByName(QStringLiteral("Observacao")) = marca ? QVariant(kMarca) : QVariant();
                tbItens->FieldByName(QStringLiteral("Rolo")) =
                    tbItens->FieldByName(QStringLiteral("Rolo")).AsInteger() + (marca ? 1 : -1);
                tbItens->Post();
            }
            tbItens->First();
        },
        [&] { driver.Click(QStringLiteral("BitBtn1")); });
    const int alteradas =
        Escalar(db, QStringLiteral("SELECT COUNT(*) FROM TNG_PROG WHERE NUMERO = %1 AND OBSERVACAO = %2")
                        .arg(Aspas(kNumero), Aspas(kMarca)))
            .toInt();
    MostraMensagens(messages, "programme saved changed");
    const QString esperadas = rodada % 2 ? itens : QStringLiteral("0");
    if (QString::number(alteradas) != esperadas)
        std::printf("programme stored with %d rows marked instead of %s\n", alteradas, qPrintable(esperadas));
    tabela.Linha(QStringLiteral("programme of %1 items saved, every row changed").arg(itens), alterada,
                 pisoGravacao, kInterativoMs);
    desfazAlteracao(db);
    Executa(db, QStringLiteral("DELETE FROM LOG WHERE TITULO = %1 AND CHAVE = %2")
                    .arg(Aspas(kTituloLog), Aspas(kNumero)));
    db.Transaction()->CommitRetaining();

    // 3. The search of a month of programmes with open items, of the customer and of everyone.
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Acesso"));
    const QString de = QStringLiteral("2026-11-01"), ate = QStringLiteral("2026-11-30");
    driver.Type(QStringLiteral("DtDigIni"), QStringLiteral("01/11/2026"));
    driver.Type(QStringLiteral("DtDigFim"), QStringLiteral("30/11/2026"));
    // A look-up box typed key by key and left: each key shows the name of the code typed so far.
    QStringList nomes;
    for (qsizetype i = 1; i <= cliente.size(); ++i)
        nomes << QStringLiteral("SELECT FIRST 1 NOME FROM ENTIDADE WHERE CODCLI = %1")
                     .arg(Aspas(cliente.left(i)));
    const Medida caixa = Mede([&] { driver.Type(QStringLiteral("EdtCCodCli"), QString()); },
                              [&] {
                                  driver.Type(QStringLiteral("EdtCCodCli"), cliente);
                                  driver.Focus(QStringLiteral("DtDigIni"));
                              });
    tabela.Linha(QStringLiteral("customer %1 typed in a look-up box and left").arg(cliente), caixa,
                 MotorMs(db, nomes), kInterativoMs);
    for (const QString& quem : {cliente, QString()}) {
        driver.Type(QStringLiteral("EdtCCodCli"), quem);
        const Medida consulta = Mede([&] { driver.Click(QStringLiteral("BitBtn4")); });
        const int achadas =
            driver.Text(QStringLiteral("LbQtdeConsulta")).section(QLatin1Char(' '), 0, 0).toInt();
        tabela.Linha(QStringLiteral("programmes of a month searched, %1 (%2 found)")
                         .arg(quem.isEmpty() ? QStringLiteral("every customer")
                                             : QStringLiteral("customer %1").arg(quem))
                         .arg(achadas),
                     consulta, MotorMs(db, busca(de, ate, quem, achadas >= 100)), kInterativoMs);
    }
    MostraMensagens(messages, "search");
    driver.Close();
}
