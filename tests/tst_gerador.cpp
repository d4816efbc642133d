// The bench's dye-house generator: one year of coherent data, the same for the same seed.
#include "Gerador.h"
#include "TestDatabase.h"
#include <QTest>

class TstGerador : public DatabaseTestCase {
    Q_OBJECT
    // A few columns of every generated table folded into one number.
    static qint64 Soma(TZoDatabase& banco) {
        qint64 soma = 0;
        for (const char* sql :
             {"SELECT SUM(MOD(HASH(NUMERO || CLIENTE || COR || VARIANTE || ROTEIRO || MAQUINA || DATA_INI), "
              "1000003)) FROM FAL",
              "SELECT SUM(MOD(HASH(NOTA || CODCLI || CODIGO || LOTE || PESO_REAL || PESO_PROG), 1000003)) "
              "FROM NFITIN",
              "SELECT SUM(MOD(HASH(FAL || CODIGO || ORD_IT || PESO_NF || FATURADO), 1000003)) FROM FAL_ITEN",
              "SELECT SUM(MOD(HASH(RECEITA || VARIANTE || ORDEN || CODIGO || QTDE), 1000003)) FROM MAT_TIN",
              "SELECT SUM(MOD(HASH(FAL || ORD_IT || FASE || CONCLUIDO), 1000003)) FROM PROCESSO_TIN",
              "SELECT SUM(MOD(HASH(CHAVE || DATA || HORA || FORMULARIO), 1000003)) FROM LOG",
              "SELECT SUM(MOD(HASH(NUMERO || ORDEM || CODCLI || ENTRADA || NOTA || LOTENF || COALESCE(FAL, "
              "'-')), 1000003)) FROM TNG_PROG"})
            soma = soma * 31 + ScalarOn(banco, QLatin1String(sql)).toLongLong();
        return soma;
    }

private slots:
    void umAnoCoerente();
    void mesmaSementeMesmasLinhas();
};

void TstGerador::umAnoCoerente() {
    GeraFabrica(*db, 1, 42);

    const struct {
        const char* regra;
        const char* sql;
    } incoerentes[] = {
        {"sheet items on an invoice item of the sheet's customer, weight taken but by a reprocess",
         "SELECT COUNT(*) FROM FAL_ITEN I JOIN FAL F ON (F.NUMERO = I.FAL) WHERE (I.PESO_NF <= 0 AND "
         "F.NUM_REPROC IS NULL) OR NOT "
         "EXISTS (SELECT 1 FROM NFITIN N WHERE N.NOTA = I.NOTA AND N.CODCLI = F.CLIENTE AND N.CODIGO = "
         "I.CODIGO AND N.LOTE = I.LOTE)"},
        {"steps on the item's route",
         "SELECT COUNT(*) FROM PROCESSO_TIN P WHERE NOT EXISTS (SELECT 1 FROM FAL_ITEN I JOIN ROTEIRO R ON "
         "(R.CODIGO = I.FLUXO) WHERE I.FAL = P.FAL AND I.ORD_IT = P.ORD_IT AND R.FASE = P.FASE AND R.ORDEM = "
         "P.ORDEM)"},
        {"every sheet item has its steps", "SELECT COUNT(*) FROM FAL_ITEN I WHERE NOT EXISTS (SELECT 1 FROM "
                                           "PROCESSO_TIN P WHERE P.FAL = I.FAL)"},
        {"recipe materials exist", "SELECT COUNT(*) FROM MAT_TIN M WHERE NOT EXISTS (SELECT 1 FROM MATERIAL "
                                   "T WHERE T.CODIGO = M.CODIGO)"},
        {"recipe colours exist and are priced",
         "SELECT COUNT(*) FROM RECEITA R WHERE NOT EXISTS (SELECT 1 FROM CADCORTIN C WHERE C.CODIGO = R.COR) "
         "OR NOT EXISTS (SELECT 1 FROM TABPRECO T WHERE T.REGIAO = '01' AND T.COR = R.COR AND T.VARIANTE = "
         "R.VARIANTE)"},
        {"route phases exist",
         "SELECT COUNT(*) FROM ROTEIRO R WHERE NOT EXISTS (SELECT 1 FROM FASE F WHERE F.CODIGO = R.FASE)"},
        {"1 % to 8 % of the sheets reprocessed, each by a sheet of its customer, colour and items",
         "SELECT IIF((SELECT COUNT(*) FROM FAL WHERE NUM_REPROC > '') * 100 BETWEEN (SELECT COUNT(*) FROM "
         "FAL) "
         "AND (SELECT COUNT(*) FROM FAL) * 8, 0, 1) + (SELECT COUNT(*) FROM FAL R JOIN FAL O ON (O.NUMERO = "
         "R.NUM_REPROC) WHERE R.CLIENTE <> O.CLIENTE OR R.COR <> O.COR OR (SELECT SUM(PESO) FROM FAL_ITEN "
         "WHERE FAL = R.NUMERO) <> (SELECT SUM(PESO) FROM FAL_ITEN WHERE FAL = O.NUMERO)) FROM RDB$DATABASE"},
        // "+ 0": a range on the end date's index for every row took minutes
        {"shipped on no machine after the item's last phase, some shipped, no reprocessed sheet shipped",
         "SELECT COUNT(*) + IIF(EXISTS (SELECT 1 FROM PROCESSO_TIN WHERE MAQUINA = '00'), 0, 1) FROM "
         "PROCESSO_TIN E WHERE E.MAQUINA = '00' AND (E.FASE <> 'F99' OR EXISTS (SELECT 1 FROM PROCESSO_TIN P "
         "WHERE P.FAL = E.FAL AND P.ORD_IT = E.ORD_IT AND P.FASE <> 'F99' AND P.DATA_FIN + 0 >= E.DATA_FIN) "
         "OR "
         "EXISTS (SELECT 1 FROM FAL R WHERE R.NUM_REPROC = E.FAL))"},
        {"0.5 % to 5 % of the sheets blocked at the first inspection, each released the next day",
         "SELECT IIF((SELECT COUNT(DISTINCT CHAVE) FROM LOG WHERE TITULO = 'CADASTRO DE QUALIDADE' AND TEXTO "
         "CONTAINING ' STATUS BLOQUEADO') * 200 BETWEEN (SELECT COUNT(*) FROM FAL) AND (SELECT COUNT(*) FROM "
         "FAL) * 10, 0, 1) + (SELECT COUNT(*) FROM LOG B WHERE B.TITULO = 'CADASTRO DE QUALIDADE' AND "
         "B.TEXTO "
         "CONTAINING ' STATUS BLOQUEADO' AND NOT EXISTS (SELECT 1 FROM LOG L WHERE L.CHAVE = B.CHAVE AND "
         "L.TITULO = B.TITULO AND L.TEXTO CONTAINING ' STATUS LIBERADO' AND L.DATA = DATEADD(1 DAY TO "
         "B.DATA))) FROM RDB$DATABASE"},
        {"old sheets concluded",
         "SELECT COUNT(*) FROM PROCESSO_TIN P JOIN FAL F ON (F.NUMERO = P.FAL) WHERE F.DATA_INI < "
         "'2026-11-01' AND P.CONCLUIDO <> 'S'"},
        {"statistics set", "SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$RELATION_NAME = 'PROCESSO_TIN' AND "
                           "COALESCE(RDB$STATISTICS, 0) = 0"},
        {"every sheet item came from a programme item",
         "SELECT COUNT(*) FROM FAL_ITEN I WHERE NOT EXISTS (SELECT 1 FROM TNG_PROG P WHERE P.NOTA = I.NOTA "
         "AND P.CODIGO = I.CODIGO AND P.LOTENF = I.LOTE AND P.PARTIDA = (SELECT PARTIDA FROM FAL WHERE "
         "NUMERO = I.FAL))"},
        {"programme items on an invoice item of the programme's customer",
         "SELECT COUNT(*) FROM TNG_PROG P WHERE NOT EXISTS (SELECT 1 FROM NFITIN N WHERE N.NOTA = P.NOTA AND "
         "N.CODCLI = P.CODCLI AND N.CODIGO = P.CODIGO AND N.LOTE = P.LOTENF)"},
        {"a programme item's FAL is the customer's and holds the item",
         "SELECT COUNT(*) FROM TNG_PROG P WHERE P.FAL IS NOT NULL AND NOT EXISTS (SELECT 1 FROM FAL F JOIN "
         "FAL_ITEN I ON (I.FAL = F.NUMERO) WHERE F.NUMERO = P.FAL AND F.CLIENTE = P.CODCLI AND F.PARTIDA = "
         "P.PARTIDA AND I.NOTA = P.NOTA AND I.CODIGO = P.CODIGO AND I.LOTE = P.LOTENF)"},
        {"colours, variants, machines, routes and fabrics exist",
         "SELECT COUNT(*) FROM TNG_PROG P WHERE NOT EXISTS (SELECT 1 FROM CADCORTIN C WHERE C.CODIGO = "
         "P.COR) OR NOT EXISTS (SELECT 1 FROM VARIANTE V WHERE V.CODIGO = P.VARIANTE) OR NOT EXISTS "
         "(SELECT 1 FROM MAQ_TIN M WHERE M.CODIGO = P.MAQUINA) OR NOT EXISTS (SELECT 1 FROM ROTEIRO R "
         "WHERE R.CODIGO = P.ROTEIRO) OR NOT EXISTS (SELECT 1 FROM PRODUTO D WHERE D.CODIGO = P.CODIGO)"},
        {"one header per programme, orders 1 to n, at most 16 sheets of 2 items",
         "SELECT COUNT(*) FROM (SELECT NUMERO FROM TNG_PROG GROUP BY NUMERO HAVING COUNT(DISTINCT CODCLI) "
         "> 1 OR COUNT(DISTINCT ENTRADA) > 1 OR COUNT(DISTINCT ENTREGA) > 1 OR MIN(ORDEM) <> 1 OR "
         "MAX(ORDEM) <> COUNT(*) OR (COUNT(*) > 32 AND NUMERO <> '900000'))"},
        {"six-digit numbers and dye lots", "SELECT COUNT(*) FROM TNG_PROG WHERE NUMERO NOT SIMILAR TO "
                                           "'[0-9]{6}' OR PARTIDA NOT SIMILAR TO '[0-9]{6}'"},
        {"programmes numbered as they began",
         "SELECT COUNT(*) FROM TNG_PROG A JOIN TNG_PROG B ON (B.NUMERO = LPAD(CAST(A.NUMERO AS INTEGER) + 1, "
         "6, '0') AND B.ORDEM = 1) WHERE A.ORDEM = 1 AND B.ENTRADA < A.ENTRADA AND B.NUMERO <> '900000'"},
        {"a programme begins on the day of its first invoice",
         "SELECT COUNT(*) FROM (SELECT P.NUMERO FROM TNG_PROG P JOIN NFTIN N ON (N.NOTA = P.NOTA AND "
         "N.CLIENTE = P.CODCLI) WHERE P.NUMERO <> '900000' GROUP BY P.NUMERO, P.ENTRADA HAVING "
         "MIN(N.DATA) <> P.ENTRADA)"},
        {"recent programmes open", "SELECT COUNT(*) FROM TNG_PROG WHERE ENTRADA >= '2026-10-01' AND FAL IS "
                                   "NOT NULL"},
        {"quotations of colours and variants with recipes, 1 to 3 services each",
         "SELECT COUNT(*) FROM ORCAMENTO O WHERE (SELECT COUNT(*) FROM ORCA_FLUXO F WHERE F.NUMERO = "
         "O.NUMERO) "
         "NOT BETWEEN 1 AND 3 OR EXISTS (SELECT 1 FROM ORCA_ITEN I WHERE I.NUMERO = O.NUMERO AND NOT EXISTS "
         "(SELECT 1 FROM RECEITA R WHERE R.COR = I.COR AND R.VARIANTE = I.VARIANTE))"},
        {"cost parameters of every customer and price region",
         "SELECT (SELECT COUNT(*) FROM ENTIDADE) + (SELECT COUNT(*) FROM REGIAO) - COUNT(*) FROM PRECO_PARAM "
         "P "
         "WHERE EXISTS (SELECT 1 FROM ENTIDADE E WHERE E.CODCLI = P.CODIGO) OR EXISTS (SELECT 1 FROM REGIAO "
         "G "
         "WHERE G.REGIAO = P.CODIGO)"},
        {"the counter at the last programme",
         "SELECT COUNT(*) FROM CODIGOS WHERE TABELA = 'TNG_PROG' AND CAMPO = 'NUMERO' AND ULTIMO <> (SELECT "
         "MAX(NUMERO) FROM TNG_PROG WHERE NUMERO < '900000')"},
    };
    for (const auto& caso : incoerentes)
        QVERIFY2(Scalar(QLatin1String(caso.sql)).toInt() == 0, caso.regra);
    // Invoice items hold what the sheets took and what is free; invoices sum their items.
    QCOMPARE(InvoiceImbalances(), QStringList());
    QVERIFY(Scalar("SELECT COUNT(*) FROM PROCESSO_TIN WHERE CONCLUIDO = 'N'").toInt() > 0);
    QVERIFY(Scalar("SELECT COUNT(*) FROM NFTIN WHERE SALDO = 0").toInt() > 0);
    // The bench's programme has 200 open items.
    QCOMPARE(Scalar("SELECT COUNT(*) FROM TNG_PROG WHERE NUMERO = '900000' AND FAL IS NULL").toInt(), 200);
}

void TstGerador::mesmaSementeMesmasLinhas() {
    GeraAmostra(*db, 7);
    // The sample of a seed generated on a database of its own.
    const auto amostra = [](int semente) {
        const DatabaseConfig outra = TestDatabase::Fresh();
        qint64 soma = 0;
        {
            TZoDatabase banco(QStringLiteral("kelm-test-gerador"));
            banco.Open(outra);
            GeraAmostra(banco, semente);
            soma = Soma(banco);
            banco.Close();
        }
        TestDatabase::Drop(outra);
        return soma;
    };
    QCOMPARE(Soma(*db), amostra(7));
    QVERIFY(amostra(8) != Soma(*db));
}

QTEST_MAIN(TstGerador)
#include "tst_gerador.moc"
