#include "BenchFal.h"
#include "DBControls.h"
#include "DataSet.h"
#include "FatCliente.h"
#include "Funcoes.h"
#include "LeiturasFal.h"
#include "Medicao.h"
#include "SaldoNota.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QAbstractItemModel>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

// The lot sheet on the generated years: opening the newest and the oldest, a save of ten items on a route of
// twelve phases and its re-save, a delete, a copy saved, a split of fifty items, the credit check, the
// consults, the print and the memory a user browsing a big customer's sheets leaves behind.
namespace {
constexpr int kItens = 10;
constexpr int kFases = 12;
constexpr int kItensDivididos = 50;
const QString kRoteiro = QStringLiteral("990012");

long residenteKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linha : status.readAll().split('\n'))
        if (linha.startsWith("VmRSS:"))
            return linha.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// What a new sheet takes: one customer's invoice items with weight free, each the only lot of its fabric on
// its invoice (typing the fabric picks it without a look-up), a released colour with a price, a machine
// that holds the total.
struct Ficha {
    QString cliente, cor, variante, maquina;
    QList<QStringList> itens; // nota, codigo, lote
};

Ficha preparaFicha(TZoDatabase& db) {
    // The route of twelve phases, and the credit check on saves.
    QStringList rota;
    for (int k = 0; k < kFases; ++k)
        rota << QStringLiteral("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES (%1, "
                               "'DOZE FASES', %2, 1, 'F%3')")
                    .arg(Aspas(kRoteiro))
                    .arg(k + 1)
                    .arg(k * 2 + 1, 2, 10, QLatin1Char('0'));
    Executa(db, QStringLiteral("EXECUTE BLOCK AS BEGIN %1; END").arg(rota.join(QStringLiteral("; "))));
    Executa(db, QStringLiteral("UPDATE OR INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 250, "
                               "'S') MATCHING (MODULO, NUMERO)"));
    db.Transaction()->CommitRetaining();

    Ficha f;
    // A customer with a credit limit and the most invoice items with room for every save of the bench.
    f.cliente =
        Escalar(db, QStringLiteral("SELECT FIRST 1 I.CODCLI FROM NFITIN I JOIN ENTIDADE E ON "
                                   "(E.CODCLI = I.CODCLI) WHERE I.PESO >= 150 AND E.LIMITE_CREDITO > 0 "
                                   "AND E.BLOQUEIO = 'N' AND E.ATIVO = 'S' GROUP BY I.CODCLI "
                                   "ORDER BY COUNT(*) DESC"));
    Executa(db, QStringLiteral("UPDATE ENTIDADE SET LIMITE_CREDITO = 100000000 WHERE CODCLI = %1")
                    .arg(Aspas(f.cliente)));
    db.Transaction()->CommitRetaining();
    for (const QString& linha : Linhas(
             db, QStringLiteral("SELECT FIRST %1 I.NOTA, I.CODIGO, I.LOTE FROM NFITIN I WHERE I.CODCLI = "
                                "%2 AND I.PESO >= 150 AND NOT EXISTS (SELECT 1 FROM NFITIN J WHERE J.NOTA = "
                                "I.NOTA AND J.CODCLI = I.CODCLI AND J.CODIGO = I.CODIGO AND J.LOTE <> "
                                "I.LOTE) ORDER BY I.NOTA DESC, I.CODIGO")
                     .arg(kItens)
                     .arg(Aspas(f.cliente))))
        f.itens << linha.split(QLatin1Char('|'));
    const QStringList cor =
        Linhas(db, QStringLiteral("SELECT FIRST 1 R.COR, R.VARIANTE FROM RECEITA R JOIN TABPRECO T ON "
                                  "(T.COR = R.COR AND T.VARIANTE = R.VARIANTE AND T.REGIAO = '01') WHERE "
                                  "R.LIBERADA = '1' AND NOT EXISTS (SELECT 1 FROM RECEITA X WHERE X.COR = "
                                  "R.COR AND X.VARIANTE = R.VARIANTE AND X.LIBERADA = '2') ORDER BY R.COR "
                                  "DESC"))
            .value(0)
            .split(QLatin1Char('|'));
    f.cor = cor.value(0);
    f.variante = cor.value(1);
    f.maquina = Escalar(db, QStringLiteral("SELECT FIRST 1 CODIGO FROM MAQ_TIN WHERE PESO_MIN <= %1 AND "
                                           "PESO_MAX >= %2 ORDER BY CODIGO")
                                .arg(kItens * 10)
                                .arg(kItens * 12));
    return f;
}

// A stored sheet of fifty items of the customer, a hundred pieces of 20 kg each taken from its invoices, with
// its steps on the route of twelve phases; the number of the sheet.
QString preparaFalGrande(TZoDatabase& db, const Ficha& f) {
    const QString numero = QStringLiteral("9600000");
    Executa(db, QStringLiteral(
                    "INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, PRAZO, "
                    "DATA_INI, DATA_FIN, TIPO, STATUS) VALUES (%1, %2, %3, %4, %5, %6, '01', '00', "
                    "CURRENT_DATE, CURRENT_DATE + 12, 1, 'A')")
                    .arg(Aspas(numero), Aspas(f.cliente), Aspas(f.cor), Aspas(f.variante), Aspas(kRoteiro),
                         Aspas(f.maquina)));
    QHash<ItemNota, double> tomados;
    int ordem = 0;
    for (const QString& linha :
         Linhas(db, QStringLiteral(
                        "SELECT FIRST %1 NOTA, CODIGO, LOTE FROM NFITIN WHERE CODCLI = %2 AND PESO >= 20 "
                        "ORDER BY NOTA DESC, CODIGO, LOTE")
                        .arg(kItensDivididos)
                        .arg(Aspas(f.cliente)))) {
        const QStringList it = linha.split(QLatin1Char('|'));
        Executa(db, QStringLiteral(
                        "INSERT INTO FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, ROLO, PESO, FLUXO, PESO_NF, "
                        "FATURADO) VALUES (%1, %2, %3, %4, %5, 100, 20, %6, 20, 'A')")
                        .arg(Aspas(numero), QString::number(++ordem), Aspas(it[0]), Aspas(it[1]),
                             Aspas(it[2]), Aspas(kRoteiro)));
        tomados[{it[0], f.cliente, it[1], it[2]}] += 20;
    }
    MovePesosNota(tomados, &db);
    Executa(db, QStringLiteral(
                    "INSERT INTO PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, DES_FASE, ORDEM, CONCLUIDO) "
                    "SELECT I.FAL, I.CODIGO, MIN(I.ORD_IT), R.FASE, MIN(F.DESCRICAO), MIN(R.ORDEM), 'N' "
                    "FROM FAL_ITEN I JOIN ROTEIRO R ON (R.CODIGO = I.FLUXO) LEFT JOIN FASE F ON "
                    "(F.CODIGO = R.FASE) WHERE I.FAL = %1 GROUP BY I.FAL, I.CODIGO, R.FASE")
                    .arg(Aspas(numero)));
    db.Transaction()->CommitRetaining();
    return numero;
}

// What the engine itself needs for a split: the new sheet, its items copied from the source's with the pieces
// moved, the source's items lessened, the steps, the log.
QStringList escritaDoDesmembramento(const QString& origem, int itens) {
    const QString nova = QStringLiteral("9699999");
    QStringList escrita;
    escrita << QStringLiteral(
                   "INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, PRAZO, "
                   "DATA_INI, DATA_FIN, TIPO, STATUS, ORDEM) SELECT %1, CLIENTE, COR, VARIANTE, "
                   "ROTEIRO, MAQUINA, TABPRECO, PRAZO, CURRENT_DATE, DATA_FIN, TIPO, STATUS, 0 FROM "
                   "FAL WHERE NUMERO = %2")
                   .arg(Aspas(nova), Aspas(origem));
    for (int i = 1; i <= itens; ++i)
        escrita << QStringLiteral(
                       "INSERT INTO FAL_ITEN (FAL, ORD_IT, ROLO, PESO, PESO_NF, FATURADO, NOTA, CODIGO, "
                       "LOTE, FLUXO) SELECT %1, ORD_IT, 1, 0.2, 0.2, FATURADO, NOTA, CODIGO, LOTE, "
                       "FLUXO FROM FAL_ITEN WHERE FAL = %2 AND ORD_IT = %3")
                       .arg(Aspas(nova), Aspas(origem))
                       .arg(i);
    for (int i = 1; i <= itens; ++i)
        escrita << QStringLiteral(
                       "UPDATE FAL_ITEN SET ROLO = ROLO - 1, PESO = PESO - 0.2, PESO_NF = PESO_NF - "
                       "0.2 WHERE FAL = %1 AND ORD_IT = %2")
                       .arg(Aspas(origem))
                       .arg(i);
    escrita << QStringLiteral(
                   "INSERT INTO PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, DES_FASE, ORDEM, CONCLUIDO) "
                   "SELECT I.FAL, I.CODIGO, MIN(I.ORD_IT), R.FASE, MIN(F.DESCRICAO), MIN(R.ORDEM), "
                   "'N' FROM FAL_ITEN I JOIN ROTEIRO R ON (R.CODIGO = I.FLUXO) LEFT JOIN FASE F ON "
                   "(F.CODIGO = R.FASE) WHERE I.FAL = %1 GROUP BY I.FAL, I.CODIGO, R.FASE")
                   .arg(Aspas(nova));
    escrita << QStringLiteral("INSERT INTO LOG (CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) "
                              "VALUES (%1, CURRENT_DATE, '12:00:00', 'ADMIN', 'FmCadFal', 'CADASTRO DE FAL', "
                              "'DESMEMBRAMENTO DA FAL', 0)")
                   .arg(Aspas(nova));
    return escrita;
}

// What the screen reads to show a sheet: its header with its state, and its items.
QStringList leituraDaFal(const QString& numero) {
    const QString n = Aspas(numero);
    return {
        QStringLiteral("SELECT FAL.*, CLIENTE.NOME, CADCOR.DESCRICAO AS DESC_COR, (SELECT MIN(I.FATURADO) "
                       "FROM FAL_ITEN I WHERE I.FAL = FAL.NUMERO) AS FATURADO_MIN, (SELECT FIRST 1 "
                       "COALESCE(P.DES_FASE, '') FROM PROCESSO_TIN P WHERE P.FAL = FAL.NUMERO AND "
                       "P.CONCLUIDO = 'N' ORDER BY P.ORDEM) AS FASE_ABERTA, (SELECT FIRST 1 1 FROM "
                       "PROCESSO_TIN P WHERE P.FAL = FAL.NUMERO) AS COM_PASSOS FROM FAL LEFT JOIN ENTIDADE "
                       "CLIENTE ON (CLIENTE.CODCLI = FAL.CLIENTE) LEFT JOIN CADCORTIN CADCOR ON "
                       "(CADCOR.CODIGO = FAL.COR) WHERE FAL.NUMERO = %1")
            .arg(n),
        QStringLiteral("SELECT I.*, P.DESCRICAO, COALESCE(N.PESO, 0) AS LIVRE FROM FAL_ITEN I LEFT JOIN "
                       "PRODUTO P ON (P.CODIGO = I.CODIGO) LEFT JOIN NFITIN N ON (N.NOTA = I.NOTA AND "
                       "N.CODCLI = (SELECT CLIENTE FROM FAL WHERE NUMERO = %1) AND N.CODIGO = I.CODIGO AND "
                       "N.LOTE = I.LOTE) WHERE I.FAL = %1 ORDER BY I.ORD_IT")
            .arg(n)};
}

// A window of the consult as the screen reads it, from the row at `inicio` (0 is the first): the window cut
// from the sheets first, then the name and the documents of its rows.
QString janelaDaConsulta(const QString& condicoes, int inicio = 0) {
    return QStringLiteral(
               "SELECT * FROM (SELECT W.NUMERO, W.CLIENTE, CLIENTE.NOME, W.DATA_INI, W.COR, W.VARIANTE, "
               "W.PARTIDA, (SELECT FIRST 1 TNG_PROG.NUMERO FROM TNG_PROG WHERE TNG_PROG.FAL = W.NUMERO) AS "
               "PROGRAMACAO, (SELECT FIRST 1 TNG_CONSUMOS.FALS FROM TNG_CONSUMOS WHERE TNG_CONSUMOS.FAL = "
               "W.NUMERO) AS FALS, (SELECT CAST(MAX(NI.FATURA) AS VARCHAR(7)) FROM NOTAITEN NI JOIN NATUREZA "
               "NA ON (NA.NATUREZA = NI.NATUREZA) WHERE NA.TIPO = 'V' AND NI.PEDIDO = W.NUMERO) AS NOTA_COB, "
               "(SELECT CAST(MAX(NI.FATURA) AS VARCHAR(7)) FROM FAL_ITEN FI JOIN NOTAITEN NI ON "
               "(NI.NOTA_CLIENTE = FI.NOTA AND NI.CODIGO = FI.CODIGO) JOIN NATUREZA NA ON (NA.NATUREZA = "
               "NI.NATUREZA) WHERE NA.TIPO = 'D' AND FI.FAL = W.NUMERO) AS NOTA_DEV FROM (SELECT P.* FROM "
               "(SELECT NUMERO, CLIENTE, DATA_INI, COR, VARIANTE, PARTIDA FROM FAL) P WHERE (%1) ORDER BY "
               "P.NUMERO ROWS %2 TO %3) W LEFT JOIN ENTIDADE CLIENTE ON (CLIENTE.CODCLI = W.CLIENTE)) P "
               "ORDER "
               "BY P.NUMERO")
        .arg(condicoes)
        .arg(inicio + 1)
        .arg(inicio + 100);
}

// The open value of a customer's sheets, as the credit check reads it: a small customer's sheets through its
// index, a big one's through the open items.
QString valorEmAberto(const QString& cliente, bool grande) {
    const QString origem =
        grande
            ? QStringLiteral("FAL_ITEN LEFT JOIN FAL ON (FAL.NUMERO = FAL_ITEN.FAL) WHERE (FAL_ITEN.FATURADO "
                             "< 'S' OR FAL_ITEN.FATURADO > 'S')")
            : QStringLiteral("FAL INNER JOIN FAL_ITEN ON (FAL.NUMERO = FAL_ITEN.FAL AND FAL_ITEN.FATURADO <> "
                             "'S') WHERE TRUE");
    return QStringLiteral(
               "SELECT SUM(F.PESO * COALESCE((SELECT FIRST 1 CASE COALESCE(NULLIF(TRIM(F.PRAZO), "
               "''), '00') WHEN '00' THEN T.PRECO_00 WHEN '07' THEN T.PRECO_07 WHEN '14' THEN "
               "T.PRECO_14 WHEN '21' THEN T.PRECO_21 END FROM TABPRECO T WHERE T.REGIAO = F.TABPRECO "
               "AND T.COR = F.COR AND T.VARIANTE = F.VARIANTE AND (T.CODIGO = '' OR T.CODIGO = '0') "
               "ORDER BY T.CODIGO), 0)) FROM (SELECT FAL.NUMERO, FAL.PRAZO, FAL.TABPRECO, FAL.COR, "
               "FAL.VARIANTE, SUM(FAL_ITEN.PESO) AS PESO FROM %2 AND (FAL.TIPO = 1 OR FAL.TIPO = 5) "
               "AND (FAL.NUM_REPROC IS NULL OR FAL.NUM_REPROC = '') AND FAL.CLIENTE = %1 AND "
               "FAL.NUMERO <> '' GROUP BY FAL.NUMERO, FAL.PRAZO, FAL.TABPRECO, FAL.COR, "
               "FAL.VARIANTE) F")
        .arg(Aspas(cliente), origem);
}
} // namespace

void BenchFal(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    const Ficha ficha = preparaFicha(db);
    const QString maisNova = Escalar(db, QStringLiteral("SELECT MAX(NUMERO) FROM FAL"));
    const QString maisVelha = Escalar(db, QStringLiteral("SELECT MIN(NUMERO) FROM FAL"));
    std::printf("FALs %s to %s; new ones for customer %s, colour %s/%s, machine %s, on %lld invoice items\n",
                qPrintable(maisVelha), qPrintable(maisNova), qPrintable(ficha.cliente), qPrintable(ficha.cor),
                qPrintable(ficha.variante), qPrintable(ficha.maquina),
                static_cast<long long>(ficha.itens.size()));

    ScreenDriver driver(messages);
    // 1. The screen opened on a sheet typed into its number box (the oldest is invoiced: a notice says so).
    for (const auto& [numero, qual] : {std::pair{maisNova, "newest"}, std::pair{maisVelha, "oldest"}}) {
        const Medida abre = Mede(
            [&] {
                driver.Close();
                messages.Clear();
            },
            [&] {
                driver.Open(QStringLiteral("TFmCadFal"));
                driver.Type(QStringLiteral("EdtFal"), numero);
                driver.Press(QStringLiteral("Tab"));
            });
        driver.Close();
        tabela.Linha(QStringLiteral("FAL screen opened on the %1 FAL (%2)").arg(QLatin1String(qual), numero),
                     abre, MotorMs(db, leituraDaFal(numero)), kAbreTelaMs);
    }
    messages.Clear();

    // 2. New sheets of ten items on the route of twelve phases, then one of them saved again with other
    // weights.
    driver.Open(QStringLiteral("TFmCadFal"));
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Cadastro"));
    QStringList novas;
    int proxima = 0;
    auto preenche = [&] {
        const QString numero = QStringLiteral("95%1").arg(++proxima, 5, 10, QLatin1Char('0'));
        novas << numero;
        driver.Type(QStringLiteral("EdtFal"), numero);
        driver.Press(QStringLiteral("Tab"));
        driver.Type(QStringLiteral("EdtCodCli"), ficha.cliente);
        driver.Type(QStringLiteral("EdtCor"), ficha.cor);
        driver.Type(QStringLiteral("EdtVariante"), ficha.variante);
        driver.Type(QStringLiteral("EdtRoteiro"), kRoteiro);
        driver.Type(QStringLiteral("EdtMaquina"), ficha.maquina);
        for (int i = 0; i < ficha.itens.size(); ++i) {
            driver.Row(QStringLiteral("DBGrid1"), i);
            driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("NF"), ficha.itens[i][0]);
            driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Tecido"), ficha.itens[i][1]);
            driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Peso"), QStringLiteral("10"));
        }
    };
    const Medida inclusao = Mede(preenche, [&] { driver.Click(QStringLiteral("BtnIncluir")); });
    MostraMensagens(messages, "new FALs");
    const QString primeira = novas.value(0);
    const int passos =
        Escalar(db, QStringLiteral("SELECT COUNT(*) FROM PROCESSO_TIN WHERE FAL = %1").arg(Aspas(primeira)))
            .toInt();
    // The floor: the same rows written by the engine, one statement each (the steps by one INSERT ...
    // SELECT).
    QStringList escrita;
    const QString teste = QStringLiteral("9499999");
    escrita << QStringLiteral(
                   "INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, "
                   "PRAZO, DATA_INI, DATA_FIN, TIPO, STATUS) VALUES (%1, %2, %3, %4, %5, %6, '01', "
                   "'00', CURRENT_DATE, CURRENT_DATE + 12, 1, 'A')")
                   .arg(Aspas(teste), Aspas(ficha.cliente), Aspas(ficha.cor), Aspas(ficha.variante),
                        Aspas(kRoteiro), Aspas(ficha.maquina));
    QSet<QString> notas;
    for (int i = 0; i < ficha.itens.size(); ++i) {
        const QStringList& it = ficha.itens[i];
        escrita << QStringLiteral("INSERT INTO FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, ROLO, PESO, FLUXO, "
                                  "PESO_NF, FATURADO) VALUES (%1, %2, %3, %4, %5, 1, 10, %6, 10, 'A')")
                       .arg(Aspas(teste))
                       .arg(i + 1)
                       .arg(Aspas(it[0]), Aspas(it[1]), Aspas(it[2]), Aspas(kRoteiro));
        escrita << QStringLiteral(
                       "UPDATE NFITIN SET PESO_PROG = PESO_PROG + 10, PESO = PESO - 10 WHERE NOTA = "
                       "%1 AND CODCLI = %2 AND CODIGO = %3 AND LOTE = %4")
                       .arg(Aspas(it[0]), Aspas(ficha.cliente), Aspas(it[1]), Aspas(it[2]));
        notas.insert(it[0]);
    }
    for (const QString& nota : notas)
        escrita << QStringLiteral("UPDATE NFTIN SET SALDO = SALDO - 10 WHERE NOTA = %1 AND CLIENTE = %2")
                       .arg(Aspas(nota), Aspas(ficha.cliente));
    escrita << QStringLiteral(
                   "INSERT INTO PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, DES_FASE, ORDEM, CONCLUIDO) "
                   "SELECT I.FAL, I.CODIGO, I.ORD_IT, R.FASE, F.DESCRICAO, R.ORDEM, 'N' FROM "
                   "FAL_ITEN I JOIN ROTEIRO R ON (R.CODIGO = I.FLUXO) JOIN FASE F ON (F.CODIGO = "
                   "R.FASE) WHERE I.FAL = %1")
                   .arg(Aspas(teste));
    escrita << QStringLiteral("INSERT INTO LOG (CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) "
                              "VALUES (%1, CURRENT_DATE, '12:00:00', 'ADMIN', 'FmCadFal', 'CADASTRO DE FAL', "
                              "'CADASTRO DA FAL', 0)")
                   .arg(Aspas(teste));
    const double pisoGravacao = MotorMs(db, escrita, true);
    tabela.Linha(QStringLiteral("new FAL of %1 items, %2 steps saved").arg(kItens).arg(passos), inclusao,
                 pisoGravacao, kInterativoMs);

    int vez = 0;
    const Medida alteracao = Mede(
        [&] {
            driver.Type(QStringLiteral("EdtFal"), primeira);
            driver.Press(QStringLiteral("Tab"));
            ++vez;
            for (int i = 0; i < ficha.itens.size(); ++i) {
                driver.Row(QStringLiteral("DBGrid1"), i);
                driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Peso"),
                            QString::number(vez % 2 ? 10 + i % 3 : 10));
            }
        },
        [&] { driver.Click(QStringLiteral("BtnIncluir")); });
    MostraMensagens(messages, "FAL saved again");
    tabela.Linha(QStringLiteral("FAL of %1 items saved again, weights altered").arg(kItens), alteracao,
                 pisoGravacao, kInterativoMs);

    // 3. The other new sheets deleted, each giving its weight back to the invoices.
    int apagada = 1;
    const Medida exclusao = Mede(
        [&] {
            driver.Type(QStringLiteral("EdtFal"), novas.value(apagada++));
            driver.Press(QStringLiteral("Tab"));
            messages.questions.enqueue(true);
        },
        [&] { driver.Click(QStringLiteral("BtnExclui")); }, qMin(kRodadas, int(novas.size()) - 1));
    MostraMensagens(messages, "FALs deleted");
    QStringList apaga;
    apaga << QStringLiteral(
                 "UPDATE NFITIN N SET PESO_PROG = PESO_PROG - 10, PESO = PESO + 10 WHERE N.CODCLI = "
                 "%2 AND EXISTS (SELECT 1 FROM FAL_ITEN I WHERE I.FAL = %1 AND I.NOTA = N.NOTA AND "
                 "I.CODIGO = N.CODIGO AND I.LOTE = N.LOTE)")
                 .arg(Aspas(primeira), Aspas(ficha.cliente))
          << QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL = %1").arg(Aspas(primeira))
          << QStringLiteral("DELETE FROM PROCESSO_TIN WHERE FAL = %1").arg(Aspas(primeira))
          << QStringLiteral("DELETE FROM FAL WHERE NUMERO = %1").arg(Aspas(primeira));
    tabela.Linha(QStringLiteral("FAL deleted, weight given back"), exclusao, MotorMs(db, apaga, true),
                 kInterativoMs);

    // 3a. A sheet copied under a new number and saved: the copy takes its weight from the invoices anew.
    QStringList copias;
    const Medida duplicacao = Mede(
        [&] {
            driver.Type(QStringLiteral("EdtFal"), primeira);
            driver.Press(QStringLiteral("Tab"));
        },
        [&] {
            driver.Click(QStringLiteral("BitBtn8"));
            copias << driver.Text(QStringLiteral("EdtFal"));
            driver.Click(QStringLiteral("BtnIncluir"));
        });
    MostraMensagens(messages, "FAL copied");
    tabela.Linha(QStringLiteral("FAL of %1 items copied and saved (%2 copies stored)")
                     .arg(kItens)
                     .arg(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM FAL WHERE NUMERO IN ('%1')")
                                          .arg(copias.join(QStringLiteral("', '"))))),
                 duplicacao, pisoGravacao, kInterativoMs);

    // 3b. One piece of every item of a sheet of fifty split off into a new sheet, answered box by box.
    const QString grandeFal = preparaFalGrande(db, ficha);
    int divisao = 0;
    const Medida desmembramento = Mede(
        [&] {
            messages.Clear();
            driver.Type(QStringLiteral("EdtFal"), grandeFal);
            driver.Press(QStringLiteral("Tab"));
            for (int i = 0; i < kItensDivididos; ++i)
                messages.inputs.enqueue(QStringLiteral("1"));
            messages.inputs.enqueue(QStringLiteral("96%1").arg(++divisao, 5, 10, QLatin1Char('0')));
        },
        [&] { driver.Click(QStringLiteral("btnDesmembrar")); });
    if (messages.Texts() != QStringList{QStringLiteral("Processo concluído.")})
        MostraMensagens(messages, "FAL split");
    messages.Clear();
    const int divididos =
        Escalar(db, QStringLiteral("SELECT COUNT(*) FROM FAL_ITEN WHERE FAL = '9600001'")).toInt();
    const int passosDivididos =
        Escalar(db, QStringLiteral("SELECT COUNT(*) FROM PROCESSO_TIN WHERE FAL = '9600001'")).toInt();
    tabela.Linha(QStringLiteral("FAL of %1 items split, %2 items and %3 steps to the new FAL")
                     .arg(kItensDivididos)
                     .arg(divididos)
                     .arg(passosDivididos),
                 desmembramento, MotorMs(db, escritaDoDesmembramento(grandeFal, kItensDivididos), true),
                 kInterativoMs);

    // 4. The credit check of a save: the customer's open sheets priced, against its limit.
    const QString grande = Escalar(
        db, QStringLiteral("SELECT FIRST 1 CLIENTE FROM FAL GROUP BY CLIENTE ORDER BY COUNT(*) DESC"));
    const QString pequeno = Escalar(
        db, QStringLiteral("SELECT FIRST 1 F.CLIENTE FROM FAL F JOIN ENTIDADE E ON (E.CODCLI = "
                           "F.CLIENTE) WHERE E.LIMITE_CREDITO > 0 GROUP BY F.CLIENTE HAVING COUNT(*) >= 10 "
                           "ORDER BY COUNT(*)"));
    for (const auto& [cliente, qual] : {std::pair{grande, "big"}, std::pair{pequeno, "small"}}) {
        const QString fals =
            Escalar(db, QStringLiteral("SELECT COUNT(*) FROM FAL WHERE CLIENTE = %1").arg(Aspas(cliente)));
        bool dentro = false;
        const Medida credito =
            Mede([&] { dentro = LimiteCredito(cliente, ValorAbertoFals(cliente, QStringList())); });
        tabela.Linha(
            QStringLiteral("credit check, %1 customer %2 (%3 FALs)").arg(QLatin1String(qual), cliente, fals),
            credito,
            MotorMs(db, {QStringLiteral("SELECT BLOQUEIO, LIMITE_CREDITO FROM ENTIDADE WHERE CODCLI = %1")
                             .arg(Aspas(cliente)),
                         valorEmAberto(cliente, fals.toInt() >= 5000)}),
            kInterativoMs);
        std::printf("  open value %s the limit\n", dentro ? "within" : "over");
    }

    // 5. The consult page: every sheet of the big customer, and the sheets of a month; the first window is
    // read, the next as the list is scrolled to its end.
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Consulta"));
    auto* desde = driver.Get<QDateEdit>(QStringLiteral("EdtConsDataIni"));
    auto* ate = driver.Get<QDateEdit>(QStringLiteral("EdtConsDataFin"));
    TDataSet* lista = driver.Get<TZoDBGrid>(QStringLiteral("DBGrid2"))->DataSet();
    const QString todasDoCliente =
        QStringLiteral("DATA_INI BETWEEN '01/01/2000' AND '12/31/2030' AND CLIENTE = %1").arg(Aspas(grande));
    const QString doMesFiltro = QStringLiteral("DATA_INI BETWEEN '11/01/2026' AND '11/30/2026'");
    desde->setDate(QDate(2000, 1, 1));
    ate->setDate(QDate(2030, 12, 31));
    driver.Type(QStringLiteral("EdtConsCliente"), grande);
    const Medida doCliente = Mede([&] { driver.Click(QStringLiteral("BitBtn5")); });
    tabela.Linha(
        QStringLiteral("FALs of customer %1 consulted (%2 of %3 FALs read)")
            .arg(grande)
            .arg(lista->RecordCount())
            .arg(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM FAL WHERE %1").arg(todasDoCliente))),
        doCliente, MotorMs(db, {janelaDaConsulta(todasDoCliente)}), kInterativoMs);
    const Medida rolagem = Mede([&] { driver.Click(QStringLiteral("BitBtn5")); },
                                [&] { driver.Press(QStringLiteral("Ctrl+End"), QStringLiteral("DBGrid2")); });
    tabela.Linha(
        QStringLiteral("consult scrolled to its end, next window read (%1 rows)").arg(lista->RecordCount()),
        rolagem, MotorMs(db, {janelaDaConsulta(todasDoCliente, 100)}), kInterativoMs);
    driver.Type(QStringLiteral("EdtConsCliente"), QString());
    desde->setDate(QDate(2026, 11, 1));
    ate->setDate(QDate(2026, 11, 30));
    const Medida doMes = Mede([&] { driver.Click(QStringLiteral("BitBtn5")); });
    tabela.Linha(QStringLiteral("FALs of a month consulted (%1 of %2 FALs read)")
                     .arg(lista->RecordCount())
                     .arg(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM FAL WHERE %1").arg(doMesFiltro))),
                 doMes, MotorMs(db, {janelaDaConsulta(doMesFiltro)}), kInterativoMs);

    // 6. The sheet's print (the services screen prints nothing), to a PDF in a folder of its own.
    QTemporaryDir pasta;
    qputenv("KELM_REPORT_DIR", pasta.path().toUtf8());
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Cadastro"));
    driver.Type(QStringLiteral("EdtFal"), primeira);
    driver.Press(QStringLiteral("Tab"));
    const Medida impressao = Mede([&] { driver.Click(QStringLiteral("BitBtn3")); });
    const QString sqlRelatorio =
        QStringLiteral("SELECT I.ORD_IT || ' - ' || I.CODIGO || ' ' || COALESCE(P.DESCRICAO, '') AS ITEM, "
                       "I.NOTA, I.CODIGO, P.DESCRICAO, I.LOTE, I.ROLO, I.PESO, S.ORDEM, S.FASE, S.DES_FASE, "
                       "CAST('' AS VARCHAR(12)) AS VISTO FROM FAL_ITEN I LEFT JOIN PRODUTO P ON (P.CODIGO = "
                       "I.CODIGO) LEFT JOIN PROCESSO_TIN S ON (S.FAL = I.FAL AND S.CODIGO = I.CODIGO) WHERE "
                       "I.FAL = %1 ORDER BY I.ORD_IT, S.ORDEM")
            .arg(Aspas(primeira));
    const bool gerado = QFile::exists(pasta.filePath(QStringLiteral("WTngFAL.pdf")));
    const double pisoRelatorio = RelatorioMotorMs(db, sqlRelatorio);
    tabela.Linha(QStringLiteral("FAL of %1 steps printed%2")
                     .arg(passos)
                     .arg(gerado ? QString() : QStringLiteral(" (NO PDF)")),
                 impressao, pisoRelatorio, 1.2 * pisoRelatorio);
    qunsetenv("KELM_REPORT_DIR");
    MostraMensagens(messages, "print");

    // 7. Memory: every sheet of the big customer consulted, then shown one after the other as a user does: a
    // double click on its row shows it on the sheet page, back to the list, the next row (the next window
    // read as the list's end is reached). First the rows of the first window over and over, so that the list
    // does not grow: what grows then is what showing sheets leaves behind.
    const long antesKb = residenteKb();
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Consulta"));
    desde->setDate(QDate(2000, 1, 1));
    ate->setDate(QDate(2030, 12, 31));
    driver.Type(QStringLiteral("EdtConsCliente"), grande);
    driver.Click(QStringLiteral("BitBtn5"));
    auto* grade = driver.Get<QTableView>(QStringLiteral("DBGrid2"));
    const auto mostra = [&] {
        emit grade->doubleClicked(grade->model()->index(lista->RecNo(), 0));
        messages.Clear(); // the notice of an invoiced sheet
        driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Consulta"));
    };
    const int primeiraPaginaLida = lista->RecordCount();
    const long consultadasKb = residenteKb();
    QElapsedTimer relogio;
    relogio.start();
    constexpr int kRepetidas = 3000;
    for (int i = 0; i < kRepetidas; ++i) {
        driver.Row(QStringLiteral("DBGrid2"), i % (primeiraPaginaLida - 1));
        mostra();
    }
    const double msRepetidas = relogio.elapsed() / double(kRepetidas);
    const long repetidasKb = residenteKb();
    constexpr int kMostradas = 10000;
    driver.Row(QStringLiteral("DBGrid2"), 0);
    relogio.start();
    int mostradas = 0;
    while (mostradas < kMostradas) {
        mostra();
        ++mostradas;
        const int linha = lista->RecNo();
        driver.Press(QStringLiteral("Down"), QStringLiteral("DBGrid2"));
        ProcessEvents();
        if (lista->RecNo() == linha)
            break;
    }
    const long depoisKb = residenteKb();
    std::printf(
        "memory (VmRSS): %ld kB before the consult of customer %s, %ld kB with its first window (%d "
        "rows); %ld kB after showing its FALs %d times (%.1f ms each); %ld kB after walking the list "
        "and showing %d of its %s FALs one after the other (%.1f ms each; %d rows read into the list)\n",
        antesKb, qPrintable(grande), consultadasKb, primeiraPaginaLida, repetidasKb, kRepetidas, msRepetidas,
        depoisKb, mostradas,
        qPrintable(
            Escalar(db, QStringLiteral("SELECT COUNT(*) FROM FAL WHERE CLIENTE = %1").arg(Aspas(grande)))),
        mostradas ? relogio.elapsed() / double(mostradas) : 0.0, lista->RecordCount());
    driver.Close();
    MostraMensagens(messages, "browse");
}
