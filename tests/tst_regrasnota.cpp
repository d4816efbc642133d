// Rules of incoming invoice items as tables: the lot of a new item, the next sequential lot, the nature
// against the customer's state.
#include "RegrasNota.h"
#include <QSet>
#include <QTest>

class TstRegrasNota : public QObject {
    Q_OBJECT

private slots:
    void lotOfANewItem();
    void nextLotPassesOverTheGrid();
    void natureAgainstTheCustomersState();
};

void TstRegrasNota::lotOfANewItem() {
    const struct {
        const char *regra, *atual, *emissor, *nota, *serie, *maior;
        bool grupoComLote;
        QSet<QString> naGrade;
        const char* esperado;
    } casos[] = {
        {"S", "", "00012", "123", "1", "000123", true, {}, "000124"},
        {"S", "", "00012", "123", "1", "000123", true, {"000124"}, "000125"},
        {"S", "", "00012", "123", "1", "000000", true, {}, "000001"},
        {"S", "", "00012", "123", "1", "000123", false, {}, "0"},
        {"S", "L-7", "00012", "123", "1", "000123", false, {}, "L-7"},
        {"N", "", "00012", "123", "1", "000123", true, {}, "0"},
        {"N", "AB1", "00012", "123", "1", "000123", true, {}, "AB1"},
        {"F", "", "12", "345", "A", "000123", true, {}, "12/345A"},
        {"F", "", "00012", "123456", "1", "000123", true, {}, "00012/123456"}, // 13 characters, cut to 12
        {"Z", "", "00012", "123", "1", "000123", true, {}, "000121231"},
        {"Z", "", "00012", "123456789", "001", "000123", true, {}, "000121234567"},
        {"Z", "", "00012", "123", "1", "000123", false, {}, "0"},
    };
    for (const auto& c : casos) {
        const QString lote =
            LotePadrao(c.regra, c.grupoComLote, c.atual, c.emissor, c.nota, c.serie, c.maior, c.naGrade);
        QVERIFY2(lote == QLatin1String(c.esperado),
                 qPrintable(QStringLiteral("%1 %2: %3, not %4").arg(c.regra, c.maior, c.esperado, lote)));
    }
}

void TstRegrasNota::nextLotPassesOverTheGrid() {
    const struct {
        const char* maior;
        QSet<QString> naGrade;
        const char* esperado;
    } casos[] = {
        {"000123", {}, "000124"},
        {"000123", {"000124", "000125"}, "000126"},
        {"000123", {"000125", "000200"}, "000124"}, // only the lot that comes next is passed over
        {"000000", {"000001"}, "000002"},
        {"099999", {}, "100000"},
        {"", {}, "000001"},
        {"A12345", {}, "000001"}, // not a sequential lot: it never counts
        {"1234567", {}, "000001"},
    };
    for (const auto& c : casos)
        QVERIFY2(ProximoLote(c.maior, c.naGrade) == QLatin1String(c.esperado),
                 qPrintable(QStringLiteral("%1 -> %2, not %3")
                                .arg(c.maior, c.esperado, ProximoLote(c.maior, c.naGrade))));
}

void TstRegrasNota::natureAgainstTheCustomersState() {
    const struct {
        const char *natureza, *ufCliente, *ufEmpresa;
        bool questionada;
    } casos[] = {
        {"1.102", "SP", "SP", false}, {"1.102", "MG", "SP", true},  {"2.102", "SP", "SP", true},
        {"2.102", "MG", "SP", false}, {"5.101", "MG", "SP", false}, {"2.102", "sp", "SP", true},
        {"1.102", "", "SP", false},   {"1.102", "SP", "", false},   {"2.102", "", "", false},
    };
    for (const auto& c : casos)
        QVERIFY2(NaturezaForaDoEstado(c.natureza, c.ufCliente, c.ufEmpresa) == c.questionada,
                 qPrintable(QStringLiteral("%1 %2/%3").arg(c.natureza, c.ufCliente, c.ufEmpresa)));
}

QTEST_MAIN(TstRegrasNota)
#include "tst_regrasnota.moc"
