// What incoming invoices read from the database: the largest sequential lot of stock and invoices, and the
// closed periods postings are checked against.
#include "LeiturasNota.h"
#include "PeriodoConciliado.h"
#include "RegrasNota.h"
#include "TestDatabase.h"
#include <QElapsedTimer>
#include <QSet>
#include <QTest>

class TstLeiturasNota : public DatabaseTestCase {
    Q_OBJECT
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
    void ItemNota(const QString& nota, const QString& produto, const QString& lote) {
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
    void largestLotOfStockAndInvoices();
    void largestLotAmongManyLotsIsFast();
    void closedPeriodsByKind();
};

void TstLeiturasNota::largestLotOfStockAndInvoices() {
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
    ItemNota("1", "P2", "000150");
    ItemNota("2", "P1", "A99999");
    ItemNota("3", "P1", "9999999");
    QCOMPARE(Sequencial(), "000151");
    QCOMPARE(Sequencial({"000151", "000152"}), "000153");
    Estoque("P1", "000160");
    Commit();
    QCOMPARE(Sequencial(), "000161");
}

void TstLeiturasNota::largestLotAmongManyLotsIsFast() {
    Produtos();
    // The load is one long write: the watchdog's limit is for users' saves.
    db->LockTimeoutMs = 600000;
    // Stock: one lot in 60 of six digits (up to 003333, those of odd numbers of P2, so 003332 is the largest
    // that counts); the rest letters, or seven and ten characters beginning with digits, above every
    // six-digit lot.
    Sql("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 200000) DO BEGIN "
        "IF (MOD(:I, 60) = 0) THEN "
        "INSERT INTO PA_ITEN (CODIGO, DEPOSITO, LOTE) VALUES (IIF(MOD(:I / 60, 2) = 0, 'P1', 'P2'), '01', "
        "LPAD(:I / 60, 6, '0')); "
        "ELSE INSERT INTO PA_ITEN (CODIGO, DEPOSITO, LOTE) VALUES ('P1', '01', DECODE(MOD(:I, 3), 0, 'LT' || "
        ":I, "
        "1, '2024' || LPAD(:I, 6, '0'), LPAD(:I, 6, '0') || 'B')); I = I + 1; END END");
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

void TstLeiturasNota::closedPeriodsByKind() {
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

QTEST_MAIN(TstLeiturasNota)
#include "tst_leiturasnota.moc"
