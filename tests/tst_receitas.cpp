// Calculation rules read from TNG_REGRA, colour prices, and recipe recalculation on a database.
#include "HostError.h"
#include "Receitas.h"
#include "RegrasCalculo.h"
#include "TestDatabase.h"
#include <QTest>

namespace {
QVariant Resultado(std::optional<double> valor) {
    return valor ? QVariant(*valor) : QVariant();
}
const QVariant nenhum;
} // namespace

class TstReceitas : public DatabaseTestCase {
    Q_OBJECT
    void Regra(const QString& codigo, int ordem, const QString& tipo, const QString& linha, const QString& de,
               const QString& ate, double resultado) {
        Sql(QStringLiteral("INSERT INTO TNG_REGRA (CODIGO, ORDEM, TIPO, LINHA, QTDE_DE, QTDE_ATE, QTDE_R) "
                           "VALUES ('%1', %2, '%3', '%4', %5, %6, %7)")
                .arg(codigo)
                .arg(ordem)
                .arg(tipo, linha, de, ate)
                .arg(resultado));
    }
    // A recipe on bath B1 (10 l/kg), its colour priced in regions 01 and 03 (default) and 02.
    void Receita(const QString& codigo, const QString& variante, const QString& cor,
                 const QString& preparacao, const QString& custo) {
        Sql(QStringLiteral("INSERT INTO RECEITA (CODIGO, VARIANTE, COR, COD_BANHO, PREPARACAO, CUSTO) VALUES "
                           "('%1', '%2', '%3', 'B1', '%4', %5)")
                .arg(codigo, variante, cor, preparacao, custo));
        for (const char* regiao : {"01", "02", "03"})
            Sql(QStringLiteral(
                    "INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00) VALUES ('%1', '%2', '%3', 1)")
                    .arg(regiao, cor, variante));
    }
    // CODIGO, UNIDADE, QTDE, FIBRA, REGRA, TP_ITEM.
    void Item(const QString& receita, const QString& variante, const QString& valores) {
        Sql(QStringLiteral("INSERT INTO MAT_TIN (RECEITA, VARIANTE, CODIGO, UNIDADE, QTDE, FIBRA, REGRA, "
                           "TP_ITEM) VALUES ('%1', '%2', %3)")
                .arg(receita, variante, valores));
    }
    void Regioes() { Insert("REGIAO (REGIAO, PADRAO)", {"'01', 'S'", "'02', 'N'", "'03', 'S'"}); }
    // Costs in cents (a price 10 unless said): 0001/01 12 (stored right), 0001/02 61 (0.605), 0002/01 50 (a
    // rule sets one quantity, a rule without a line for the recipe keeps the other), 0003/01 29 (a PRODUTO
    // item and the preparation), 0004/01 10 (stored right; only its preparation).
    void Base() {
        Regioes();
        Insert("VARIANTE (CODIGO, INDICE)", {"'01', '60'", "'02', '60,5'"});
        Sql("INSERT INTO BANHO (CODIGO, PROPORCAO) VALUES ('B1', 10)");
        Insert("MATERIAL (CODIGO, REPOSICAO, CONCENTRACAO)", {"'Q''01', 10, 0", "'CORANTE', 20, 50"});
        Sql("INSERT INTO MATERIAL (CODIGO, REPOSICAO) VALUES ('AUX', 10)");
        Sql("INSERT INTO PRODUTO (CODIGO, PRECO) VALUES ('PR1', 10)");
        Sql("INSERT INTO PREPARACAO (CODIGO, ORDEM, MATERIAL, UNIDADE, QTDE) VALUES ('P01', 1, 'AUX', 'GL', "
            "1)");
        Regra("010", 1, "C", "005", "0", "0", 9);
        Regra("010", 2, "M", "", "0", "0", 3);
        Regra("011", 1, "C", "005", "0", "0", 9);
        Receita("0001", "01", "AZUL", "", "0.12");
        Item("0001", "01", "'Q''01', '%', 2, '1', '', 'M'");
        Receita("0001", "02", "AZUL", "", "0");
        Item("0001", "02", "'Q''01', '%', 10, '1', '', 'M'");
        Receita("0002", "01", "VERDE", "P01", "0");
        Item("0002", "01", "'CORANTE', '%', 1, '', '010', 'M'");
        Item("0002", "01", "'AUX', '%', 1, '', '011', 'M'");
        Receita("0003", "01", "ROSA", "P01", "0");
        Item("0003", "01", "'PR1', '%', 1.9, '', NULL, 'P'");
        Receita("0004", "01", "LILAS", "P01", "0.10");
        Commit();
    }
    // Committed work only: what other users see.
    QString Custos() {
        return Seen("SELECT CODIGO, VARIANTE, CAST(CUSTO * 100 AS INTEGER) FROM RECEITA ORDER BY 1, 2");
    }
    QString Bloqueados() {
        return Seen("SELECT COR, VARIANTE, REGIAO FROM TABPRECO WHERE LIBERADO = 'N' ORDER BY 1, 2, 3");
    }

private slots:
    void rulesReadFromTheirTable();
    void colourPriceByTerm();
    void priceBlockedInEveryDefaultRegion();
    void recalculationOfAProduct();
    void recalculationOfAPreparation();
    void failureMidwayChangesNothing();
    void insideTheCallersUnitOfWork();
    void manyRecipesInFewStatements();
};

void TstReceitas::rulesReadFromTheirTable() {
    Insert("MATERIAL (CODIGO, GRUPO, LINHA)",
           {"'TEC01', 'G01', 'L01'", "'TEC02', 'L01', 'X'", "'Q''01', 'G09', ''"});
    Regra("001", 2, "M", "005", "0", "0", 20); // stored out of order: ORDEM decides
    Regra("001", 1, "C", "005", "0", "0", 10);
    Regra("002", 1, "G", "L01", "0", "0", 1);
    Regra("002", 2, "L", "L01", "0", "0", 2);
    Regra("002", 3, "P", "TEC03", "0", "0", 3);
    Regra("002", 4, "G", "G09", "0", "0", 4);
    Regra("003", 1, "M", "", "0", "50", 1);
    Regra("003", 2, "M", "", "NULL", "NULL", 2);
    Regra("004", 1, "P", "TEC01", "500", "600", 7.5);
    Commit();
    // Read rule by rule as asked, or all at once beforehand: the same answers.
    for (const bool carregadas : {false, true}) {
        RegrasCalculo regras;
        if (carregadas)
            regras.Carrega({"001", "002", "003", "004", "999", " "});
        auto qtde = [&](const char* regra, const QString& maquina, const QString& produto,
                        const QString& cliente, double peso = 100) {
            return Resultado(regras.CalculaQtdeRegra("0001", "01", CodigoRegra(regra), 60, 40, peso, maquina,
                                                     produto, cliente));
        };
        auto perc = [&](const char* produto, const char* regra) {
            return Resultado(regras.CalculaPercRegra(CodigoProduto(produto), CodigoRegra(regra)));
        };
        // Customer 005 and machine 005 are not the same thing.
        QCOMPARE(qtde("001", "007", "TEC01", "005"), QVariant(10.0));
        QCOMPARE(qtde("001", "005", "TEC01", "007"), QVariant(20.0));
        QCOMPARE(qtde("001", "005", "TEC01", "005"), QVariant(10.0));
        QCOMPARE(qtde("001", "007", "TEC01", "007"), nenhum);
        QCOMPARE(qtde("001", "005", "", ""), QVariant(20.0)); // machine only, no product or customer
        QCOMPARE(qtde("002", "", "TEC01", ""), QVariant(2.0));
        QCOMPARE(qtde("002", "", "TEC02", ""), QVariant(1.0));
        QCOMPARE(qtde("002", "", "TEC03", ""),
                 QVariant(3.0)); // no MATERIAL row: the product line still counts
        QCOMPARE(qtde("002", "", "Q'01", ""), QVariant(4.0));
        QCOMPARE(qtde("002", "", "", ""), nenhum);
        QCOMPARE(qtde("003", "", "", "", 50), QVariant(1.0));
        QCOMPARE(qtde("003", "", "", "", 1e6), QVariant(2.0)); // empty bounds: from 0, no upper bound
        QCOMPARE(qtde("003", "", "", "", 0), QVariant(1.0));   // the registry's batch
        QCOMPARE(qtde("999", "005", "TEC01", "005"), nenhum);
        QCOMPARE(perc("TEC01", "002"), QVariant(2.0));
        QCOMPARE(perc("TEC02", "002"), QVariant(1.0));
        QCOMPARE(perc("Q'01", "002"), QVariant(4.0));
        QCOMPARE(perc("TEC01", "001"), nenhum); // customer and machine lines do not apply to a product
        QCOMPARE(perc("TEC01", "004"), QVariant(7.5));
        QCOMPARE(perc("TEC02", "004"), nenhum);
        QCOMPARE(perc("TEC01", "999"), nenhum);
        QCOMPARE(regras.RegrasLidas(), carregadas ? 1 : 5);
    }
    QCOMPARE(Resultado(CalculaQtdeRegra("0001", "01", CodigoRegra("001"), 0, 0, 0, "005", "", "")),
             QVariant(20.0));
    QCOMPARE(Resultado(CalculaPercRegra(CodigoProduto("TEC02"), CodigoRegra("002"))), QVariant(1.0));
}

void TstReceitas::colourPriceByTerm() {
    const QString linha =
        "INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, CODIGO, PRECO_00, PRECO_07, PRECO_14, "
        "PRECO_21) VALUES (%1)";
    Sql(linha.arg("'01', 'AZUL', '01', '', 10, 11, 12, NULL"));
    Sql(linha.arg("'01', 'AZUL', '01', 'TEC01', 90, 91, 92, 93")); // a product's own price
    Sql(linha.arg("'01', 'VERDE', '01', '0', 5, 5, 5, 5"));
    Sql(linha.arg("'01', 'ROSA', '01', 'TEC01', 7, 7, 7, 7"));
    Sql(linha.arg("'01', 'D''OR', '01', '', 3, 3, 3, 3"));
    Commit();
    auto preco = [](const char* cor, const char* prazo, const char* regiao = "01") {
        return Resultado(PrecoTabela(regiao, cor, "01", prazo));
    };
    QCOMPARE(preco("AZUL", ""), QVariant(10.0));
    QCOMPARE(preco("AZUL", "00"), QVariant(10.0));
    QCOMPARE(preco("AZUL", "07"), QVariant(11.0));
    QCOMPARE(preco("AZUL", "14"), QVariant(12.0));
    QCOMPARE(preco("AZUL", "21"), nenhum);
    QCOMPARE(preco("AZUL", "30"), nenhum);
    QCOMPARE(preco("VERDE", "91"), QVariant(5.0)); // longer terms: the longest column
    QCOMPARE(preco("D'OR", "28"), QVariant(3.0));
    QCOMPARE(preco("D'OR", "98"), nenhum);
    QCOMPARE(preco("AZUL", "0;DROP"), nenhum);
    QCOMPARE(preco("AZUL", "00", "02"), nenhum);
    QCOMPARE(preco("VERDE", "00"), QVariant(5.0));
    QCOMPARE(preco("ROSA", "00"), nenhum);
    QCOMPARE(preco("D'OR", "21"), QVariant(3.0));
}

void TstReceitas::priceBlockedInEveryDefaultRegion() {
    Regioes();
    Insert("TABPRECO (REGIAO, COR, VARIANTE)",
           {"'01', 'AZUL', '01'", "'02', 'AZUL', '01'", "'03', 'AZUL', '01'", "'01', 'AZUL', '02'",
            "'01', 'VERDE', '01'"});
    BloqueiaPrecoCor("AZUL", "01");
    Commit();
    QCOMPARE(Bloqueados(), "AZUL|01|01;AZUL|01|03");
}

void TstReceitas::recalculationOfAProduct() {
    Base();
    QStringList linhas;
    QList<QPair<int, int>> avanco;
    const ProgressoRecalculo progresso{[&](const QString& linha) { linhas << linha; },
                                       [&](int feitas, int total) { avanco << qMakePair(feitas, total); }};
    QVERIFY(RecalculaReceitas("Q'01", "", "", progresso));
    QCOMPARE(Custos(), "0001|01|12;0001|02|61;0002|01|0;0003|01|0;0004|01|10");
    QCOMPARE(Bloqueados(), "AZUL|02|01;AZUL|02|03"); // 0001/01 kept its cost
    QCOMPARE(linhas.size(), 2);
    QCOMPARE(avanco, (QList<QPair<int, int>>{{1, 2}, {2, 2}}));
    // Of one variant: the other keeps the cost of the old price.
    Sql("UPDATE MATERIAL SET REPOSICAO = 20 WHERE CODIGO = 'Q''01'");
    Commit();
    QVERIFY(RecalculaReceitas("Q'01", "01", ""));
    QCOMPARE(Custos(), "0001|01|24;0001|02|61;0002|01|0;0003|01|0;0004|01|10");
    QCOMPARE(Bloqueados(), "AZUL|01|01;AZUL|01|03;AZUL|02|01;AZUL|02|03");
    QVERIFY(RecalculaReceitas("PR1", "", "")); // a fabric product is no chemical of a recipe
    QCOMPARE(Custos(), "0001|01|24;0001|02|61;0002|01|0;0003|01|0;0004|01|10");
    QVERIFY(!RecalculaReceitas(" ", "01", " "));
}

void TstReceitas::recalculationOfAPreparation() {
    Base();
    QVERIFY(RecalculaReceitas("", "", "P01"));
    QCOMPARE(Custos(), "0001|01|12;0001|02|0;0002|01|50;0003|01|29;0004|01|10");
    QCOMPARE(Bloqueados(), "ROSA|01|01;ROSA|01|03;VERDE|01|01;VERDE|01|03");
    Sql("UPDATE TABPRECO SET LIBERADO = 'S'");
    Commit();
    QVERIFY(RecalculaReceitas("", "", "P01")); // 0.29 was stored as computed: nothing changed since
    QCOMPARE(Bloqueados(), QString());
    // A product used through a preparation reaches every recipe of that preparation.
    Sql("UPDATE MATERIAL SET REPOSICAO = 30 WHERE CODIGO = 'AUX'");
    Commit();
    QVERIFY(RecalculaReceitas("AUX", "", ""));
    QCOMPARE(Custos(), "0001|01|12;0001|02|0;0002|01|90;0003|01|49;0004|01|30");
}

void TstReceitas::failureMidwayChangesNothing() {
    Base();
    Sql("CREATE EXCEPTION E_TESTE 'receita travada'");
    Commit();
    Sql("CREATE TRIGGER T_TESTE FOR RECEITA BEFORE UPDATE AS BEGIN IF (NEW.CODIGO = '0004') THEN "
        "EXCEPTION E_TESTE; END");
    Sql("UPDATE PREPARACAO SET QTDE = 2 WHERE CODIGO = 'P01'"); // 0002, 0003 and, last, 0004 change
    Commit();
    const QString custos = Custos();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, RecalculaReceitas("", "", "P01"));
    QCOMPARE(Custos(), custos);
    QCOMPARE(Bloqueados(), QString());
    QCOMPARE(Scalar("SELECT CAST(CUSTO * 100 AS INTEGER) FROM RECEITA WHERE CODIGO = '0002'").toInt(), 0);
    // Inside the caller's unit the failure commits nothing, and leaves nothing of the run for the caller to
    // commit: only the caller's own write stays pending.
    Sql("UPDATE BANHO SET DESCRICAO = 'EM EDICAO'");
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, RecalculaReceitas("", "", "P01"));
    QVERIFY(db->Dirty());
    QCOMPARE(Custos(), custos);
    QCOMPARE(RowsSeenByOthers("SELECT DESCRICAO FROM BANHO"), QStringList{QString()});
    QCOMPARE(Scalar("SELECT DESCRICAO FROM BANHO").toString(), "EM EDICAO");
    QCOMPARE(Scalar("SELECT COUNT(*) FROM TABPRECO WHERE LIBERADO = 'N'").toInt(), 0);
    QCOMPARE(Scalar("SELECT CAST(CUSTO * 100 AS INTEGER) FROM RECEITA WHERE CODIGO = '0002'").toInt(), 0);
}

void TstReceitas::insideTheCallersUnitOfWork() {
    Base();
    Sql("UPDATE BANHO SET DESCRICAO = 'EM EDICAO'");
    const QString custos = Custos();
    QVERIFY(RecalculaReceitas("Q'01", "", ""));
    QVERIFY(db->Dirty());
    QCOMPARE(Custos(), custos);
    QCOMPARE(Bloqueados(), QString());
    Commit();
    QCOMPARE(Custos(), "0001|01|12;0001|02|61;0002|01|0;0003|01|0;0004|01|10");
    QCOMPARE(Bloqueados(), "AZUL|02|01;AZUL|02|03");
}

// 1,200 copies of recipe 0002 (over a thousand codes: more than one list of codes) and of 0001/02: each
// costs what its original costs, one variant's items do not bring the other variant, and the writes go as
// a few blocks, not a statement per recipe.
void TstReceitas::manyRecipesInFewStatements() {
    Base();
    const QString codigo = QStringLiteral("LPAD(:I + 3000, 4, '0')");
    const QString item =
        QStringLiteral("INSERT INTO MAT_TIN (RECEITA, VARIANTE, CODIGO, UNIDADE, QTDE, FIBRA, "
                       "REGRA, TP_ITEM) VALUES (%1, %2); ")
            .arg(codigo);
    Sql(QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 1200) DO BEGIN "
            "INSERT INTO RECEITA (CODIGO, VARIANTE, COR, COD_BANHO, PREPARACAO, CUSTO) VALUES (%1, "
            "'01', 'C' || :I, 'B1', 'P01', 0); "
            "INSERT INTO RECEITA (CODIGO, VARIANTE, COR, COD_BANHO, CUSTO) VALUES (%1, '02', 'C' || "
            ":I, 'B1', 0); "
            "INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00) VALUES ('01', 'C' || :I, '01', 1); ")
            .arg(codigo) +
        item.arg("'01', 'CORANTE', '%', 1, '', '010', 'M'") +
        item.arg("'01', 'AUX', '%', 1, '', '011', 'M'") + item.arg("'02', 'Q''01', '%', 10, '1', '', 'M'") +
        QStringLiteral("I = I + 1; END END"));
    Commit();
    const quint64 antes = db->StatementCount();
    QVERIFY(RecalculaReceitas("CORANTE", "", ""));
    QVERIFY2(db->StatementCount() - antes < 80, qPrintable(QString::number(db->StatementCount() - antes)));
    QCOMPARE(Scalar("SELECT COUNT(*) FROM RECEITA WHERE CODIGO >= '3000' AND VARIANTE = '01' AND "
                    "CAST(CUSTO * 100 AS INTEGER) = 50")
                 .toInt(),
             1200);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM RECEITA WHERE VARIANTE = '02' AND CUSTO <> 0 AND CODIGO >= "
                    "'3000'")
                 .toInt(),
             0);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM TABPRECO WHERE LIBERADO = 'N'").toInt(),
             1202); // and 0002 in two regions
    QVERIFY(RecalculaReceitas("Q'01", "02", ""));
    QCOMPARE(
        Scalar("SELECT COUNT(*) FROM RECEITA WHERE VARIANTE = '02' AND CAST(CUSTO * 100 AS INTEGER) = 61")
            .toInt(),
        1201);
}

QTEST_MAIN(TstReceitas)
#include "tst_receitas.moc"
