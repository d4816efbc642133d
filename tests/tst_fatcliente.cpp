// The customer's credit limit against an open value.
#include "FatCliente.h"
#include "TestDatabase.h"
#include <QTest>

class TstFatCliente : public DatabaseTestCase {
    Q_OBJECT
    void Cliente(const QString& codigo, const QString& limite, const QString& bloqueio) {
        Sql(QStringLiteral("INSERT INTO ENTIDADE (CODCLI, LIMITE_CREDITO, BLOQUEIO) VALUES ('%1', %2, '%3')")
                .arg(codigo, limite, bloqueio));
    }

private slots:
    void openValueAgainstTheLimit();
};

void TstFatCliente::openValueAgainstTheLimit() {
    Cliente("00001", "1000.00", "N");
    Cliente("00002", "NULL", "N");
    Cliente("00003", "0", "N");
    Cliente("00004", "1000.00", "S");
    Cliente("00005", "0.10", "N");
    db->Transaction()->CommitRetaining();
    const struct {
        const char* cliente;
        double valor;
        bool passa;
    } casos[] = {
        {"00001", 999.99, true},
        {"00001", 1000.00, true},  // at the limit
        {"00001", 1000.01, false}, // a cent over
        {" 00001 ", 1000.00, true},
        {"00002", 1e9, true},             // no limit
        {"00003", 1e9, true},             // a limit of 0 is none
        {"00004", 0.01, false},           // blocked
        {"00009", 0, false},              // unknown
        {"00005", 0.1 + 0.2 - 0.2, true}, // a sum a float's width over 0.10 is 0.10
    };
    for (const auto& caso : casos)
        QVERIFY2(LimiteCredito(caso.cliente, caso.valor) == caso.passa,
                 qPrintable(QStringLiteral("%1 com %2").arg(caso.cliente).arg(caso.valor)));
}

QTEST_MAIN(TstFatCliente)
#include "tst_fatcliente.moc"
