// What lot sheets and incoming invoices read and move in the database: colour prices, started steps, the move
// of weight on an invoice item, the customer's open value, the machine's capacity rows and the bath of a
// capacity row; the largest sequential lot of stock and invoices, and the closed periods postings are checked
// against.
#include "LeiturasFal.h"
#include "LeiturasMaquina.h"
#include "LeiturasNota.h"
#include "PeriodoConciliado.h"
#include "RegrasFal.h"
#include "RegrasNota.h"
#include "SaldoNota.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QElapsedTimer>
#include <QSet>
#include <QTest>

class TstLeituras : public DatabaseTestCase {
    Q_OBJECT
    void Capacidade(int sequencia, const QString& variante, const QString& larguras, const QString& pesos,
                    const QString& banho) {
        Sql(QStringLiteral("INSERT INTO MAQ_TIN_CAP VALUES (%1, '01', '%2', %3, %4, '%5')")
                .arg(sequencia)
                .arg(variante, larguras, pesos, banho));
    }

    void Produto(const QString& codigo, const QString& grupo) {
        Sql(QStringLiteral("INSERT INTO PRODUTO (CODIGO, GRUPO) VALUES ('%1', %2)")
                .arg(codigo, grupo.isEmpty() ? QStringLiteral("NULL") : "'" + grupo + "'"));
    }
    // Two groups: G1 carries lots, G2 does not; P1 of G1, P2 of G2, P3 of no group.
    void Produtos() {
        Insert("GRUPO_PA (CODIGO, LOTE)", {"'G1', 'S'", "'G2', 'N'"});
        Produto("P1", "G1");
        Produto("P2", "G2");
        Produto("P3", "");
    }
    void Estoque(const QString& produto, const QString& lote, const QString& deposito = "01") {
        Sql(QStringLiteral("INSERT INTO PA_ITEN (CODIGO, DEPOSITO, LOTE) VALUES ('%1', '%2', '%3')")
                .arg(produto, deposito, lote));
    }
    void ItemDaNota(const QString& nota, const QString& produto, const QString& lote) {
        Sql(QStringLiteral(
                "INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE) VALUES ('%1', '00010', '%2', '%3')")
                .arg(nota, produto, lote));
    }
    void Periodo(const QString& tipo, const QString& inicio, const QString& fim) {
        Sql(QStringLiteral(
                "INSERT INTO PERIODO_CONCILIADO (TIPO, DATA_INI, DATA_FIN) VALUES ('%1', '%2', '%3')")
                .arg(tipo, inicio, fim));
    }
    // The lot a new item of a lot-carrying group gets under rule "S".
    static QString Sequencial(const QSet<QString>& naGrade = {}) {
        return LotePadrao("S", true, "", "00012", "123", "1", MaiorLoteSequencial(), naGrade);
    }

private slots:
    void precoDaCorPorPrazo() {
        Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, PRECO_07, PRECO_21, LIBERADO) VALUES "
            "('SP', 'AZ', '01', 5.5, 6, NULL, 'S')");
        Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, LIBERADO) VALUES ('SP', 'VM', '01', 7, "
            "'N')");
        Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, CODIGO, PRECO_00) VALUES ('SP', 'PT', '01', 'P1', "
            "9)");
        Commit();
        const struct {
            const char *cor, *prazo;
            double preco;
            const char* verificado;
        } casos[] = {
            {"AZ", "", 5.5, ""},
            {"AZ", "00", 5.5, ""},
            {"AZ", "07", 6, ""},
            {"AZ", "21", 0, "Preço da cor não cadastrado."},
            {"AZ", "28", 0, "Preço da cor não cadastrado."},
            {"AZ", "X'", 0, "Preço da cor não cadastrado."},
            {"VM", "00", 7, "Preço da cor não Liberado."},
            {"PT", "00", 0, "Preço da cor não cadastrado."}, // a product's price is not the colour's
            {"BR", "00", 0, "Preço da cor não cadastrado."},
        };
        for (const auto& caso : casos) {
            const QString rotulo = QStringLiteral("%1/%2").arg(caso.cor, caso.prazo);
            QVERIFY2(qFuzzyCompare(1 + RetornaPreco("SP", caso.cor, "01", caso.prazo), 1 + caso.preco),
                     qPrintable(rotulo));
            QVERIFY2(VerificaPreco("SP", caso.cor, "01", caso.prazo) == QString::fromUtf8(caso.verificado),
                     qPrintable(rotulo));
        }
    }

    // Statements that ask many steps at once judge each one as the row rule does.
    void passoIniciadoNoSqlComoNaLinha() {
        const QStringList passos = {
            "NULL, NULL, NULL, NULL",       "'N', NULL, NULL, NULL",      "'N', NULL, '', 'S'",
            "'S', NULL, NULL, 'N'",         "'R', NULL, NULL, 'N'",       "'s', NULL, NULL, NULL",
            "'N', '2026-03-02', NULL, 'S'", "'N', NULL, '07:30:00', 'S'", "NULL, NULL, ' ', NULL"};
        for (int i = 0; i < passos.size(); ++i)
            Sql(QStringLiteral(
                    "INSERT INTO PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, CONCLUIDO, DATA_INI, HORA_INI, "
                    "PENDENTE) VALUES ('F1', 'T1', '%1', %1, %2)")
                    .arg(i)
                    .arg(passos.at(i)));
        TZoQuery q;
        q.SQL << QStringLiteral(
                     "SELECT P.CONCLUIDO, P.DATA_INI, P.HORA_INI, IIF(%1, 1, 0) FROM PROCESSO_TIN P "
                     "ORDER BY P.ORDEM")
                     .arg(CondicaoPassoIniciado(QStringLiteral("P")));
        q.Open();
        int i = 0;
        for (q.First(); !q.Eof(); q.Next(), ++i)
            QVERIFY2((q.Fields(3).AsInteger() == 1) ==
                         PassoIniciado(q.Fields(0).AsString(), q.Fields(1).AsDate(), q.Fields(2).AsString()),
                     qPrintable(passos.at(i)));
        QCOMPARE(q.RecordCount(), passos.size());
    }

    void movimentoDePesoNaNota() {
        Sql("INSERT INTO NFTIN (NOTA, CLIENTE, SALDO) VALUES ('N1', 'C1', 150)");
        Insert("NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL)",
               {"'N1', 'C1', 'T1', 'L1', 100, 100", "'N1', 'C1', 'T1', 'L2', 50, 50"});
        Commit();
        auto estado = [this] {
            return Seen("SELECT I.LOTE, I.PESO_PROG, I.PESO, N.SALDO FROM NFITIN I JOIN NFTIN N ON "
                        "N.NOTA = I.NOTA AND N.CLIENTE = I.CODCLI ORDER BY I.LOTE");
        };
        auto segunda = OpenSecond("kelm-test-segunda");
        const struct {
            const char* lote;
            double peso;
            bool naSegunda;
            const char* esperado;
        } passos[] = {
            {"L1", 30, false, "L1|30|70|120;L2|0|50|120"},
            {"L1", -10, true, "L1|20|80|130;L2|0|50|130"},
            {"L2", 50, false, "L1|20|80|80;L2|50|0|80"},
            {"L2", -50, true, "L1|20|80|130;L2|0|50|130"},
        };
        for (const auto& passo : passos) {
            TZoDatabase* conexao = passo.naSegunda ? segunda.get() : nullptr;
            QVERIFY(MovePesoNota({"N1", "C1", "T1", passo.lote}, passo.peso, conexao));
            (passo.naSegunda ? segunda.get() : db)->Transaction()->CommitRetaining();
            QCOMPARE(estado(), QString::fromUtf8(passo.esperado));
        }
        QCOMPARE(PesoLivreNota({"N1", "C1", "T1", "L1"}), 80.0);
        // Always down to the lot: another lot of the fabric, or none, is not an item.
        QVERIFY(!MovePesoNota({"N1", "C1", "T1", ""}, 5));
        QCOMPARE(PesoLivreNota({"N1", "C1", "T1", ""}), 0.0);
        Commit();
        QCOMPARE(estado(), "L1|20|80|130;L2|0|50|130");
    }

    // A batch moves every item as MovePesoNota moves it alone: the same balances; an item the invoice lacks
    // moves nothing and leaves its invoice's header as it was; a null lot is the empty one, as the engine's
    // unique key has it. The free weights read at once are those read one by one.
    void movimentosEmLoteComoUmAUm() {
        const auto base = [this] {
            Sql("DELETE FROM NFITIN");
            Sql("DELETE FROM NFTIN");
            Insert("NFTIN (NOTA, CLIENTE, SALDO)", {"'N1', 'C1', 150", "'N2', 'C1', 999", "'N3', 'C1', 999"});
            Insert("NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL)",
                   {"'N1', 'C1', 'T1', 'L1', 100, 100", "'N1', 'C1', 'T1', 'L2', 50, 50",
                    "'N2', 'C1', 'T2', '', 9, 9", "'N3', 'C1', 'T3', 'L3', 8, 8"});
            Commit();
        };
        const auto estado = [this] {
            return Seen("SELECT I.NOTA, I.LOTE, I.PESO_PROG, I.PESO, N.SALDO FROM NFITIN I JOIN NFTIN N "
                        "ON N.NOTA = I.NOTA AND N.CLIENTE = I.CODCLI ORDER BY I.NOTA, I.LOTE");
        };
        const QHash<ItemNota, double> pesos = {{{"N1", "C1", "T1", "L1"}, 30.5},
                                               {{"N1", "C1", "T1", "L2"}, -10},
                                               {{"N2", "C1", "T2", QString()}, 4},
                                               {{"N3", "C1", "T3", "L9"}, 4}};
        base();
        for (auto it = pesos.cbegin(); it != pesos.cend(); ++it)
            MovePesoNota(it.key(), it.value());
        Commit();
        const QString umAUm = estado();
        QCOMPARE(umAUm, "N1|L1|30.5|69.5|129.5;N1|L2|-10|60|129.5;N2||4|5|5;N3|L3|0|8|999");
        QList<ItemNota> itens = pesos.keys();
        itens << ItemNota{"N9", "C1", "T1", "L1"};
        QHash<ItemNota, double> umaAUma;
        for (const ItemNota& item : itens)
            umaAUma.insert(item, PesoLivreNota(item));
        QCOMPARE(PesosLivresNota(itens), umaAUma);
        base();
        MovePesosNota(pesos);
        Commit();
        QCOMPARE(estado(), umAUm);
    }

    // The open value is the same whether the customer's sheets are walked (few) or its open items are (a big
    // customer): 10 kg at 10.00, 5 kg at the 07 price of 11.00 and 3 kg of a service-only sheet at 10.00;
    // invoiced items, finishing sheets and reprocesses do not count, nor the sheet being saved.
    void valorEmAbertoDeClientePequenoEGrande() {
        // A 28-day term is priced at the 21-day column, the longest the table has.
        Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, CODIGO, PRECO_00, PRECO_07, PRECO_21) VALUES "
            "('01', "
            "'A', '01', '', 10, 11, 12)");
        for (const char* cliente : {"C1", "C2"}) {
            const QStringList fals = {"1|00||A|10", "1|07||A|5",  "5|00||A|3", "1|00||S|7",
                                      "4|00||A|7",  "1|00|X|A|7", "1|00||A|2", "1|28||A|4"};
            for (int i = 0; i < fals.size(); ++i) {
                const QStringList c = fals[i].split('|');
                const QString numero = QStringLiteral("%1%2").arg(cliente).arg(i, 5, 10, QLatin1Char('0'));
                Sql(QStringLiteral("INSERT INTO FAL (NUMERO, CLIENTE, TIPO, PRAZO, TABPRECO, COR, VARIANTE, "
                                   "NUM_REPROC) VALUES ('%1', '%2', %3, '%4', '01', 'A', '01', '%5')")
                        .arg(numero, cliente, c[0], c[1], c[2]));
                Sql(QStringLiteral(
                        "INSERT INTO FAL_ITEN (FAL, ORD_IT, NOTA, CODIGO, LOTE, PESO, FATURADO) VALUES "
                        "('%1', 1, 'N', 'T', '', %2, '%3')")
                        .arg(numero, c[4], c[3]));
            }
        }
        // C2's years: thousands of invoiced sheets.
        Sql("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 5200) DO BEGIN INSERT INTO FAL "
            "(NUMERO, CLIENTE, TIPO, PRAZO, TABPRECO, COR, VARIANTE) VALUES ('V' || LPAD(:I, 6, '0'), 'C2', "
            "1, '00', '01', 'A', '01'); INSERT INTO FAL_ITEN (FAL, ORD_IT, PESO, FATURADO) VALUES ('V' || "
            "LPAD(:I, 6, '0'), 1, 50, 'S'); I = I + 1; END END");
        Commit();
        for (const char* cliente : {"C1", "C2"}) {
            QCOMPARE(ValorAbertoFals(cliente, QStringList()), 100.0 + 55 + 30 + 20 + 48);
            QCOMPARE(ValorAbertoFals(cliente,
                                     {QStringLiteral("%1%2").arg(cliente).arg(6, 5, 10, QLatin1Char('0'))}),
                     233.0);
        }
        QCOMPARE(ValorAbertoFals("C9", QStringList()), 0.0);
    }

    // Double precision bounds come back as typed; an empty bound is 0; only the pair's rows, by sequence.
    void capacityRowsOfThePair() {
        Capacidade(2, "01", "200, 230", "300, 400", "");
        Capacidade(1, "01", "150.3, NULL", "NULL, 120.9", "");
        Capacidade(3, "02", "0, 999", "0, 999", "");
        const QList<FaixaCapacidade> faixas = FaixasCapacidade("01", "01");
        QCOMPARE(faixas.size(), 2);
        QCOMPARE(faixas[0].largDe, 150.3);
        QCOMPARE(faixas[0].largAte, 0.0);
        QCOMPARE(faixas[0].pesoMin, 0.0);
        QCOMPARE(faixas[0].pesoMax, 120.9);
        QCOMPARE(faixas[1].largDe, 200.0);
        QVERIFY(FaixasCapacidade("01", "O'BR").isEmpty());
        QVERIFY(FaixasCapacidade("02", "01").isEmpty());
    }

    void bathOfTheFirstCapacityRowOfThePair() {
        QCOMPARE(BanhoCapacidade("01", "01", "05"), QStringLiteral("05"));
        Capacidade(3, "01", "0, 999", "0, 999", "");
        Capacidade(2, "01", "0, 999", "0, 999", "03");
        Capacidade(4, "01", "0, 999", "0, 999", "04");
        Capacidade(1, "02", "0, 999", "0, 999", "  ");
        Capacidade(5, "02", "0, 999", "0, 999", "04");
        QCOMPARE(BanhoCapacidade("01", "01", "05"), QStringLiteral("03")); // by sequence, not by insertion
        // The first row of the pair has a blank bath: it replaces nothing, later rows are not consulted.
        QCOMPARE(BanhoCapacidade("01", "02", "05"), QStringLiteral("05"));
        QCOMPARE(BanhoCapacidade("01", "03", ""), QString());
    }

    void largestLotOfStockAndInvoices() {
        Produtos();
        QCOMPARE(Sequencial(), "000001"); // no lot anywhere
        // Lots that are not six digits, and six-digit ones of products whose group carries no lots.
        for (const char* lote : {"A12345", "1234567", "12345A", "99999", "0001234", "00012/123456"})
            Estoque("P1", lote);
        Estoque("P2", "000900");
        Estoque("P3", "000800");
        QCOMPARE(Sequencial(), "000001");
        Estoque("P1", "000120");
        Estoque("P1", "000110", "02");
        QCOMPARE(MaiorLoteSequencial(), "000120");
        // Any invoice item counts, whatever its product's group.
        ItemDaNota("1", "P2", "000150");
        ItemDaNota("2", "P1", "A99999");
        ItemDaNota("3", "P1", "9999999");
        QCOMPARE(Sequencial(), "000151");
        QCOMPARE(Sequencial({"000151", "000152"}), "000153");
        Estoque("P1", "000160");
        Commit();
        QCOMPARE(Sequencial(), "000161");
    }

    void largestLotAmongManyLotsIsFast() {
        Produtos();
        // The load is one long write: the watchdog's limit is for users' saves.
        db->LockTimeoutMs = 600000;
        // Stock: one lot in 60 of six digits (up to 003333, those of odd numbers of P2, so 003332 is the
        // largest that counts); the rest letters, or seven and ten characters beginning with digits, above
        // every six-digit lot.
        Sql("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 200000) DO BEGIN IF (MOD(:I, 60) = 0) "
            "THEN INSERT INTO PA_ITEN (CODIGO, DEPOSITO, LOTE) VALUES (IIF(MOD(:I / 60, 2) = 0, 'P1', 'P2'), "
            "'01', LPAD(:I / 60, 6, '0')); ELSE INSERT INTO PA_ITEN (CODIGO, DEPOSITO, LOTE) VALUES ('P1', "
            "'01', DECODE(MOD(:I, 3), 0, 'LT' || :I, 1, '2024' || LPAD(:I, 6, '0'), LPAD(:I, 6, '0') || "
            "'B')); I = I + 1; END END");
        // Invoices: lots made from the document (issuer 10234), one in 100 of six digits, up to 001999.
        Sql("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 200000) DO BEGIN "
            "INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE) VALUES (:I, '10234', 'P1', "
            "IIF(MOD(:I, 100) = 0, LPAD(:I / 100, 6, '0'), IIF(MOD(:I, 2) = 0, '10234/' || :I || '1', "
            "'10234' || LPAD(:I, 6, '0') || '1'))); I = I + 1; END END");
        Commit();
        db->LockTimeoutMs = 5000;
        QElapsedTimer relogio;
        relogio.start();
        const QString maior = MaiorLoteSequencial();
        const qint64 ms = relogio.elapsed();
        qInfo("MaiorLoteSequencial over 200,000 stock and 200,000 invoice lots: %lld ms", ms);
        QCOMPARE(maior, "003332");
        // The budget is 100 ms; the margin is for a loaded machine.
        QVERIFY2(ms <= 150, qPrintable(QStringLiteral("%1 ms, the budget is 100 ms").arg(ms)));
    }

    void closedPeriodsByKind() {
        Periodo("CX", "2024-01-01", "2024-01-31");
        Periodo("CX", "2024-03-01", "2024-03-31");
        Periodo("FN", "2024-02-01", "2024-02-29");
        Commit();
        const PeriodoFechado marco = PeriodoQueContem(QDate(2024, 3, 10), "CX");
        QCOMPARE(marco.inicio, QDate(2024, 3, 1));
        QCOMPARE(marco.fim, QDate(2024, 3, 31));
        const struct {
            QDate data;
            const char* tipo;
            const char* periodo; // bounds the message names; none when the date is free
        } casos[] = {
            {QDate(2024, 1, 1), "CX", "01/01/2024 a 31/01/2024"},
            {QDate(2024, 1, 31), "CX", "01/01/2024 a 31/01/2024"},
            {QDate(2024, 3, 15), "CX", "01/03/2024 a 31/03/2024"},
            {QDate(2024, 2, 29), "FN", "01/02/2024 a 29/02/2024"},
            {QDate(2024, 2, 15), "CX", nullptr},
            {QDate(2023, 12, 31), "CX", nullptr},
            {QDate(2024, 4, 1), "CX", nullptr},
            {QDate(2024, 3, 15), "FN", nullptr},
            {QDate(2024, 1, 15), "", nullptr},
            {QDate(), "CX", nullptr},
        };
        for (const auto& c : casos) {
            messages.Clear();
            const QString onde = c.data.toString(Qt::ISODate) + ' ' + c.tipo;
            QVERIFY2(PeriodoConciliado(c.data, c.tipo) == (c.periodo != nullptr), qPrintable(onde));
            QVERIFY2(PeriodoQueContem(c.data, c.tipo).Existe() == (c.periodo != nullptr), qPrintable(onde));
            QCOMPARE(messages.Texts().size(), c.periodo ? 1 : 0);
            if (c.periodo)
                QVERIFY2(messages.Texts()[0].contains(c.periodo), qPrintable(messages.Texts()[0]));
        }
    }
};

QTEST_MAIN(TstLeituras)
#include "tst_leituras.moc"
