// The substitution screen: a product replaced across recipes and preparations or across compositions, the
// inputs it refuses, and the recalculation with its progress and audit row; the database is read from a
// second connection. The composition arithmetic is checked on its own as a table.
#include "Composicao.h"
#include "TestDatabase.h"
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>

class TstTngSubstRec : public ScreenTestCase {
    Q_OBJECT
    // Q1 is replaced by Q2; Q3 is inactive. Recipe 0002 has a fabric product under the code Q1.
    void Base() {
        Insert("MATERIAL (CODIGO, DESCRICAO, REPOSICAO, ATIVO)",
               {"'Q1', 'SODA', 10, 'S'", "'Q2', 'SODA NOVA', 20, 'S'", "'Q3', 'SODA VELHA', 5, 'N'",
                "'Q9', 'SAL', 1, NULL"});
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
        Insert("RECEITA (CODIGO, VARIANTE, COR, CUSTO)",
               {"'0001', '01', 'C1', 9.99", "'0001', '02', 'C1', 9.99", "'0002', '01', 'C1', 9.99"});
        Insert("MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, QTDE, TP_ITEM, UNIDADE)",
               {"'0001', '01', 1, 'Q1', 2, 'M', '%'", "'0001', '02', 1, 'Q1', 4, NULL, '%'",
                "'0002', '01', 1, 'Q1', 6, 'P', '%'", "'0002', '01', 2, 'Q9', 1, 'M', '%'"});
        Insert("PREPARACAO (CODIGO, MATERIAL, QTDE)", {"'001', 'Q1', 8", "'002', 'Q1', 3", "'002', 'Q9', 1"});
        // P1 can take Q1 doubled, P2 (Q1 its largest) cannot; P3 has no Q1.
        Insert("COMP_MATERIAL (MATERIAL, CODIGO, ORDEM, PERC)",
               {"'P1', 'A1', 1, 60", "'P1', 'Q1', 2, 40", "'P2', 'Q1', 1, 50", "'P2', 'A1', 2, 30",
                "'P2', 'A2', 3, 20", "'P3', 'A1', 1, 100"});
        Commit();
        driver->Open("TFmSubstRec");
    }
    void Substitui(const QString& antigo, const QString& novo, const QString& variante,
                   const QString& indice) {
        driver->Type("EdtCodMat", antigo);
        driver->Type("EdtCodMat2", novo);
        driver->Type("EdtCodVar", variante);
        driver->Type("EdtIndice", indice);
        driver->Click("BitBtn1");
    }
    QString Receitas() {
        return RowsSeenByOthers({"SELECT RECEITA, VARIANTE, CODIGO, QTDE FROM MAT_TIN ORDER BY 1, 2, ORDEN",
                                 "SELECT CODIGO, MATERIAL, QTDE FROM PREPARACAO ORDER BY 1, 2"})
            .join(';');
    }
    QString Composicoes() {
        return Seen("SELECT MATERIAL, CODIGO, PERC FROM COMP_MATERIAL ORDER BY MATERIAL, ORDEM");
    }

private slots:
    void componentReplacement();
    void substitutionScalesRecipesOfTheVariantAndEveryPreparation();
    void refusedInputsChangeNothing();
    void compositionsKeepTheirTotalOrAreAllRefused();
    void recalculationShowsProgressAndLogsWithIt();
};

void TstTngSubstRec::componentReplacement() {
    const struct {
        const char *antes, *antigo;
        double indice;
        const char* depois; // or why it was refused
    } casos[] = {
        {"A:30;B:50;C:20", "A", 0.5, "N:15;B:65;C:20"},
        {"A:50;B:30;C:20", "A", 0.5, "N:25;B:55;C:20"}, // the largest replaced: the next one takes it
        {"Z:40;B:40;C:20", "Z", 0.5, "N:20;B:60;C:20"}, // tied with the replaced one
        {"A:40;B:30;C:30", "A", 1.5, "N:60;B:30;C:10"}, // a tie among the others: the highest code
        {"A:0.1;B:0.2", "A", 3, "N:0.3;B:0"},           // left at nothing, not a trace below it
        {"A:20;B:50;A:10", "A", 0.5, "N:10;B:65;N:5"},
        {"A:40;B:30;C:30", "A", 2, "negativo"},
        {"A:100", "A", 0.5, "sem outro"},
        {"A:100", "A", 1, "N:100"},
    };
    for (const auto& caso : casos) {
        QList<Componente> componentes;
        for (const QString& c : QString(caso.antes).split(';'))
            componentes << Componente{c.section(':', 0, 0), c.section(':', 1).toDouble()};
        const ComposicaoSubstituida nova = SubstituiComponente(componentes, caso.antigo, "N", caso.indice);
        QStringList obtido;
        for (const Componente& c : nova.componentes)
            obtido << c.codigo + ':' + QString::number(c.perc, 'g', 12);
        if (nova.situacao == ComposicaoSubstituida::PercentualNegativo)
            obtido << "negativo";
        else if (nova.situacao == ComposicaoSubstituida::SemOutroComponente)
            obtido << "sem outro";
        QCOMPARE(obtido.join(';'), QString(caso.depois));
    }
}

void TstTngSubstRec::substitutionScalesRecipesOfTheVariantAndEveryPreparation() {
    Base();
    const QString inicial = Receitas();
    messages.questions.enqueue(false);
    Substitui("Q1", "Q2", "01", "0,5");
    QCOMPARE(driver->Text("EdtDesMat2"), "SODA NOVA");
    QCOMPARE(driver->Text("EdtDesVar"), "ALGODAO");
    QCOMPARE(Receitas(), inicial);

    messages.questions.enqueue(true);
    driver->Click("BitBtn1");
    QCOMPARE(messages.Texts(), QStringList{"Concluído"});
    QCOMPARE(Receitas(), QStringLiteral("0001|01|Q2|1;0001|02|Q1|4;0002|01|Q1|6;0002|01|Q9|1;"
                                        "001|Q2|4;002|Q2|1.5;002|Q9|1"));
    messages.questions.enqueue(true);
    Substitui("Q1", "Q2", "", "1");
    QCOMPARE(Receitas(), QStringLiteral("0001|01|Q2|1;0001|02|Q2|4;0002|01|Q1|6;0002|01|Q9|1;"
                                        "001|Q2|4;002|Q2|1.5;002|Q9|1"));
    QCOMPARE(AuditRows(), QStringList(2, "ALTERACAO DE RECEITA|MATERIAL Q1 SUBSTITUIDO POR Q2|1|Q1"));
    QCOMPARE(Composicoes().count("Q1"), 2);
}

void TstTngSubstRec::refusedInputsChangeNothing() {
    Base();
    const QString inicial = Receitas() + Composicoes();
    const struct {
        const char *antigo, *novo, *variante, *indice, *mensagem, *foco;
    } casos[] = {
        {" ", "Q2", "", "1", "Material inválido.", "EdtCodMat"},
        {"Q1", "", "", "1", "Novo material inválido.", "EdtCodMat2"},
        {"Q1", "X9", "", "1", "Novo material inválido.", "EdtCodMat2"},
        {"Q1", "Q3", "", "1", "Novo material inválido.", "EdtCodMat2"},
        {"Q1", "Q2", "99", "1", "Variante inválida.", "EdtCodVar"},
        {"Q1", "Q2", "", "", "Índice inválido.", "EdtIndice"},
        {"Q1", "Q2", "", "0", "Índice inválido.", "EdtIndice"},
        {"Q1", "Q2", "", "-1", "Índice inválido.", "EdtIndice"},
        {"Q1", "Q2", "", "0.5", "Índice inválido.", "EdtIndice"},
    };
    for (const bool composicoes : {false, true}) {
        if (composicoes)
            driver->Click("ChkComposicoes");
        for (const auto& caso : casos) {
            messages.Clear();
            Substitui(caso.antigo, caso.novo, caso.variante, caso.indice);
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8(caso.mensagem)});
            QCOMPARE(messages.shown.size(), 1); // refused before the question
            QCOMPARE(driver->FocusedName(), QString(caso.foco));
        }
    }
    // The look-up of the new product does not offer an inactive one.
    messages.searches << "Q3"
                      << "Q9";
    driver->Press("F4", "EdtCodMat2");
    QCOMPARE(driver->Text("EdtCodMat2"), "Q2");
    driver->Press("F4", "EdtCodMat2");
    QCOMPARE(driver->Text("EdtDesMat2"), "SAL");
    QCOMPARE(Receitas() + Composicoes(), inicial);
    QVERIFY(AuditRows().isEmpty());
}

void TstTngSubstRec::compositionsKeepTheirTotalOrAreAllRefused() {
    Base();
    const QString receitas = Receitas();
    const QString inicial = Composicoes();
    driver->Click("ChkComposicoes");
    messages.questions.enqueue(true);
    Substitui("Q1", "Q2", "", "2");
    QCOMPARE(messages.Texts(),
             QStringList{"A composição P2 ficaria com percentual negativo. Nada foi alterado."});
    QCOMPARE(Composicoes(), inicial);
    QVERIFY(AuditRows().isEmpty());

    messages.Clear();
    messages.questions.enqueue(true);
    Substitui("Q1", "Q2", "", "0,5");
    QCOMPARE(messages.Texts(), QStringList{"Concluído"});
    QCOMPARE(Composicoes(), "P1|A1|80;P1|Q2|20;P2|Q2|25;P2|A1|55;P2|A2|20;P3|A1|100");
    QCOMPARE(Receitas(), receitas);
    QCOMPARE(AuditRows(), QStringList{"ALTERACAO DE RECEITA|MATERIAL Q1 SUBSTITUIDO POR Q2|1|Q1"});
}

void TstTngSubstRec::recalculationShowsProgressAndLogsWithIt() {
    Base();
    auto* memo = driver->Get<QPlainTextEdit>("Memo1");
    auto* barra = driver->Get<QProgressBar>("ProgressBar1");
    int avancos = 0;
    connect(barra, &QProgressBar::valueChanged, this, [&] { ++avancos; });
    driver->Type("EdtCodMat", "Q1");
    driver->Click("BitBtn3");
    QCOMPARE(messages.Texts(), QStringList{"Processo concluído"});
    // 2 % and 4 % of Q1 at 10; recipe 0002 holds Q1 only as a fabric product.
    QCOMPARE(RowsSeenByOthers("SELECT CODIGO, VARIANTE, CUSTO FROM RECEITA ORDER BY 1, 2"),
             (QStringList{"0001|01|0.2", "0001|02|0.4", "0002|01|9.99"}));
    const QStringList linhas = memo->toPlainText().split('\n');
    QVERIFY2(linhas.size() == 2 && linhas[0].startsWith("Receita 0001 variante 01") &&
                 linhas[1].startsWith("Receita 0001 variante 02"),
             qPrintable(linhas.join('|')));
    QCOMPARE(barra->maximum(), 2);
    QCOMPARE(barra->value(), 2);
    QCOMPARE(avancos, 2); // recipe by recipe, not only at the end
    QCOMPARE(AuditRows(), QStringList{"ALTERACAO DE RECEITA|RECALCULO MATERIAL Q1 VARIANTE |1|Q1"});

    driver->Type("EdtCodMat", "Q2"); // in no recipe: the bar still ends full
    driver->Click("BitBtn3");
    QVERIFY(memo->toPlainText().isEmpty());
    QCOMPARE(barra->value(), barra->maximum());
    driver->Type("EdtCodMat", "Q1");
    driver->Type("EdtCodVar", "02");
    driver->Click("BitBtn3");
    QVERIFY2(memo->toPlainText().startsWith("Receita 0001 variante 02") &&
                 !memo->toPlainText().contains('\n'),
             qPrintable(memo->toPlainText()));

    // A failed recalculation takes its audit row with it.
    Sql("CREATE EXCEPTION E_RECEITA 'Receita bloqueada'");
    Sql("CREATE TRIGGER T_RECEITA FOR RECEITA BEFORE UPDATE AS BEGIN EXCEPTION E_RECEITA; END");
    Sql("UPDATE MATERIAL SET REPOSICAO = 30 WHERE CODIGO = 'Q1'");
    Commit();
    const QStringList logs = AuditRows();
    QCOMPARE(logs.last(), "ALTERACAO DE RECEITA|RECALCULO MATERIAL Q1 VARIANTE 02|1|Q1");
    driver->Click("BitBtn3");
    QVERIFY2(messages.LastText().contains("Receita bloqueada"), qPrintable(messages.LastText()));
    QCOMPARE(AuditRows(), logs);
}

QTEST_MAIN(TstTngSubstRec)
#include "tst_tngsubstrec.moc"
