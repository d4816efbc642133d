// Rule evaluation and recipe costing as pure calculations: no database.
#include "CustoReceita.h"
#include "RegrasCalculo.h"
#include <QLocale>
#include <QTest>
#include <clocale>
#include <type_traits>

// A swapped call, rule first as the print-shop sheet writes it, must not compile.
static_assert(std::is_invocable_v<decltype(&CalculaPercRegra), CodigoProduto, CodigoRegra>);
static_assert(!std::is_invocable_v<decltype(&CalculaPercRegra), CodigoRegra, CodigoProduto>);
static_assert(!std::is_invocable_v<decltype(&CalculaPercRegra), QString, QString>);
static_assert(!std::is_invocable_v<decltype(&RegrasCalculo::CalculaPercRegra), RegrasCalculo&, CodigoRegra,
                                   CodigoProduto>);

namespace {
// "TIPO|LINHA|DE|ATE|R;..." as stored in TNG_REGRA.
QList<LinhaRegra> Linhas(const QString& texto) {
    QList<LinhaRegra> linhas;
    for (const QString& l : texto.split(';', Qt::SkipEmptyParts)) {
        const QStringList c = l.split('|');
        linhas << LinhaRegra{c[0], c[1], c[2].toDouble(), c[3].toDouble(), c[4].toDouble()};
    }
    return linhas;
}
QVariant Resultado(std::optional<double> valor) {
    return valor ? QVariant(*valor) : QVariant();
}
const QVariant nenhum;

// Runs a check under the C locale and under a Brazilian one (Qt's default and the C library's).
template <typename F> void EmCadaLocale(F confere) {
    confere();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const bool sistema = std::setlocale(LC_ALL, "pt_BR.UTF-8") || std::setlocale(LC_ALL, "pt_BR.utf8");
    confere();
    QLocale::setDefault(QLocale::c());
    if (sistema)
        std::setlocale(LC_ALL, "C");
}
} // namespace

class TstRegras : public QObject {
    Q_OBJECT
private slots:
    void avaliaRegraQtde_data();
    void avaliaRegraQtde();
    void avaliaRegraPerc_data();
    void avaliaRegraPerc();
    void custoItem_data();
    void custoItem();
    void custoReceitaSomaCTo2Decimais();
};

void TstRegras::avaliaRegraQtde_data() {
    QTest::addColumn<QString>("linhas");
    QTest::addColumn<double>("peso");
    QTest::addColumn<QString>("maquina");
    QTest::addColumn<QString>("cliente");
    QTest::addColumn<QVariant>("esperado");
    // Product P1 of group G1 and line L1 in every row.
    const auto linha = [](const char* nome, const char* linhas, double peso, const char* maquina,
                          const char* cliente, const QVariant& esperado) {
        QTest::newRow(nome) << QString(linhas) << peso << QString(maquina) << QString(cliente) << esperado;
    };
    linha("customer", "C|X|0|0|1;M|X|0|0|2", 10.0, "Y", "X", 1.0);
    linha("machine equal to a customer code", "C|X|0|0|1;M|X|0|0|2", 10.0, "X", "Y", 2.0);
    linha("neither", "C|X|0|0|1;M|X|0|0|2", 10.0, "Y", "Y", nenhum);
    linha("product", "P|P2|0|0|1;P|P1|0|0|2", 10.0, "", "", 2.0);
    linha("group is not line", "G|L1|0|0|1;L|L1|0|0|2", 10.0, "", "", 2.0);
    linha("group", "L|G1|0|0|1;G|G1|0|0|2", 10.0, "", "", 2.0);
    linha("blank code, no customer", "C||0|0|9", 10.0, "", "", 9.0);
    linha("lower bound held", "M||50|100|3", 50.0, "", "", 3.0);
    linha("upper bound held", "M||50|100|3", 100.0, "", "", 3.0);
    linha("below", "M||50|100|3", 49.99, "", "", nenhum);
    linha("above", "M||50|100|3", 100.01, "", "", nenhum);
    linha("no upper bound", "M||50|0|3", 1e6, "", "", 3.0);
    linha("first line in order", "M||0|50|1;M||0|0|2", 40.0, "", "", 1.0);
    linha("next line past a range", "M||0|50|1;M||0|0|2", 60.0, "", "", 2.0);
    linha("code out of range", "C|X|0|5|1;C||0|0|2", 10.0, "", "X", 2.0);
    linha("result 0 is a result", "M||0|0|0", 10.0, "", "", 0.0);
    linha("no lines", "", 10.0, "M1", "C1", nenhum);
}

void TstRegras::avaliaRegraQtde() {
    QFETCH(QString, linhas);
    QFETCH(double, peso);
    QFETCH(QString, maquina);
    QFETCH(QString, cliente);
    QFETCH(QVariant, esperado);
    const LoteRegra lote{peso, maquina, "P1", cliente, "G1", "L1"};
    QCOMPARE(Resultado(AvaliaRegraQtde(Linhas(linhas), lote)), esperado);
}

void TstRegras::avaliaRegraPerc_data() {
    QTest::addColumn<QString>("linhas");
    QTest::addColumn<QVariant>("esperado");
    // Product P1 of group G1 and line L1.
    QTest::newRow("product, range ignored") << "P|P1|500|600|5" << QVariant(5.0);
    QTest::newRow("customer and machine lines skipped") << "C||0|0|1;M||0|0|2;G|G1|0|0|3" << QVariant(3.0);
    QTest::newRow("group is not line") << "G|L1|0|0|1;L|L1|0|0|2" << QVariant(2.0);
    QTest::newRow("blank product line") << "P|P2|0|0|1;P||0|0|4" << QVariant(4.0);
    QTest::newRow("none") << "P|P2|0|0|1;G|G2|0|0|2;C|P1|0|0|3" << nenhum;
}

void TstRegras::avaliaRegraPerc() {
    QFETCH(QString, linhas);
    QFETCH(QVariant, esperado);
    QCOMPARE(Resultado(AvaliaRegraPerc(Linhas(linhas), "P1", "G1", "L1")), esperado);
}

void TstRegras::custoItem_data() {
    QTest::addColumn<QString>("unidade");
    QTest::addColumn<double>("qtde");
    QTest::addColumn<QString>("fibra");
    QTest::addColumn<double>("concentracao");
    QTest::addColumn<QString>("indice");
    QTest::addColumn<double>("esperado");
    // Price 10 and bath proportion 10 in every row.
    QTest::newRow("% whole fabric") << "%" << 2.0 << "" << 0.0 << "60" << 0.2;
    QTest::newRow("% first fibre") << "%" << 2.0 << "1" << 0.0 << "60" << 0.12;
    QTest::newRow("% second fibre") << "%" << 2.0 << "2" << 0.0 << "60" << 0.08;
    QTest::newRow("GL") << "GL" << 1.0 << "" << 0.0 << "60" << 0.1;
    QTest::newRow("GL concentration 50") << "GL" << 1.0 << "" << 50.0 << "60" << 0.05;
    QTest::newRow("other unit") << "KG" << 2.0 << "" << 0.0 << "60" << 0.0;
    QTest::newRow("no unit") << "" << 2.0 << "" << 0.0 << "60" << 0.0;
    QTest::newRow("index with comma") << "%" << 2.0 << "1" << 0.0 << "60,5" << 0.121;
    QTest::newRow("index with point") << "%" << 2.0 << "1" << 0.0 << "60.5" << 0.121;
    QTest::newRow("second fibre, comma") << "%" << 2.0 << "2" << 0.0 << "60,5" << 0.079;
    QTest::newRow("blank index") << "%" << 2.0 << "1" << 0.0 << "" << 0.2;
    QTest::newRow("unreadable index") << "%" << 2.0 << "1" << 0.0 << "ABC" << 0.2;
    QTest::newRow("first fibre of index 0") << "%" << 2.0 << "1" << 0.0 << "0" << 0.2;
    QTest::newRow("second fibre of index 100") << "%" << 2.0 << "2" << 0.0 << "100" << 0.2;
    QTest::newRow("other fibre mark") << "%" << 2.0 << "3" << 0.0 << "60" << 0.2;
    // Fixed point at every step: the share is 0.3333, not a third; C is 0.0001, not 0.000123.
    QTest::newRow("share to 4 decimals") << "%" << 1.0 << "1" << 0.0 << "33,33333" << 0.03333;
    QTest::newRow("C to 4 decimals") << "%" << 0.00001234 << "" << 0.0 << "" << 0.000001;
}

void TstRegras::custoItem() {
    QFETCH(QString, unidade);
    QFETCH(double, qtde);
    QFETCH(QString, fibra);
    QFETCH(double, concentracao);
    QFETCH(QString, indice);
    QFETCH(double, esperado);
    EmCadaLocale([&] {
        const CustoItem custo = CustoItemReceita({unidade, qtde, fibra, concentracao, 10, indice, 10});
        QCOMPARE(custo.custo, esperado);
        QCOMPARE(custo.c, esperado * 100);
    });
}

void TstRegras::custoReceitaSomaCTo2Decimais() {
    auto total = [](QList<double> cs) {
        QList<CustoItem> itens;
        for (double c : cs)
            itens << CustoItem{c, c / 100};
        return CustoReceita(itens);
    };
    EmCadaLocale([&] {
        QCOMPARE(total({20, 12, 8}), 0.4);
        QCOMPARE(total({12.1, 3.333}), 0.15);
        QCOMPARE(total({0.7, 0.8}), 0.02); // 0.015 rounds up, whatever binary makes of it
        QCOMPARE(total({}), 0.0);
        QCOMPARE(LeIndice(" 60,5 "), 60.5);
        QCOMPARE(LeIndice("inf"), 0.0);
    });
}

QTEST_GUILESS_MAIN(TstRegras)
#include "tst_regras.moc"
