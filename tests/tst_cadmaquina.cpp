// The machine registry and its capacity grid; the database is read from a second connection. Capacities
// another user changed since they were loaded are in tst_tngroteiro.
#include "DBControls.h"
#include "RegrasMaquina.h"
#include "TestDatabase.h"
#include <QLineEdit>
#include <QTest>
#include <cmath>

class TstCadMaquina : public ScreenTestCase {
    Q_OBJECT
    const QString kGravadas = "1|01|01|150|180|40|120|01;2|01|02|160|190|50|100|";

    void Base() {
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
        Insert("BANHO (CODIGO, DESCRICAO, PROPORCAO)", {"'01', 'CURTO', 6", "'02', 'LONGO', 10"});
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('03', 'TINGIMENTO')");
        Insert("MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO, FASE, TIPO, TON, VALOR, MES_DEPREC, DEPREC_MENSAL, "
               "PESO_MIN, PESO_MAX)",
               {"'01', 'JET 01', '01', '03', '1', '2', 1000, 2, 300, 40, 120",
                "'02', 'RAMA', NULL, NULL, '7', NULL, NULL, NULL, NULL, NULL, NULL"});
        Insert("MAQ_TIN_CAP",
               {"1, '01', '01', 150, 180, 40, 120, '01'", "2, '01', '02', 160, 190, 50, 100, ''"});
        Commit();
    }
    // The stored capacity rows of a machine, in order, as "SEQ|VARIANTE|...;...".
    QString Gravadas(const QString& maquina = "01") {
        return Seen("SELECT * FROM MAQ_TIN_CAP WHERE MAQUINA = '" + maquina + "' ORDER BY SEQUENCIA");
    }
    TZoDBGrid* Grade() { return driver->Get<TZoDBGrid>("dbgCapacidade"); }
    void Capacidade() {
        driver->Page("PageControl1", "Capacidade");
        driver->Focus("dbgCapacidade");
    }
    void Celula(const QString& campo, const QVariant& valor) { EditaCelula("dbgCapacidade", campo, valor); }

private slots:
    void includeWithCapacitiesFromTheGridAndLookUps();
    void storedRowsSurviveDesistFailuresAndSaves();
    void keyboardWorkInTheCapacityGrid();
    void refusalsNameTheFieldAndWriteNothing();
};

void TstCadMaquina::includeWithCapacitiesFromTheGridAndLookUps() {
    Base();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtIncluir");
    driver->Type("Edtcodmaq", "03");
    driver->Type("EdtDesMaq", "jet d'água");
    driver->Type("EdtCodBanho", "");
    messages.searches.enqueue("02");
    driver->Focus("EdtCodFase"); // leaving the bath empty opens its look-up
    driver->Type("EdtCodFase", "03");
    driver->Select("CbTipo", "2 - Acabamento");
    driver->Click("RbEscura");
    driver->Type("EdtPesoMax", "300");
    Capacidade();
    driver->Press("Down"); // an empty grid gets its first row
    Celula("VARIANTE", "02");
    driver->Press("Tab");
    QCOMPARE(TextoCelula("dbgCapacidade", 0, 1), "POLIESTER");
    Celula("LARG_DE", "150,5");
    Celula("PESO_MAX", "90");
    driver->Press("Down");
    Grade()->SelectField("VARIANTE");
    messages.searches.enqueue("01");
    driver->Press("F4");
    Celula("PESO_MAX", "120");
    driver->Press("Down");
    Celula("VARIANTE", "02");
    CelulaAtual("dbgCapacidade", 0);
    driver->Press("Ctrl+Del"); // the others are numbered from 1 again
    driver->Click("SbConfirmar");
    QVERIFY2(messages.shown.count() == 2 && messages.AllAnswered(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(
        Seen("SELECT DESCRICAO, RELAC_BANHO, FASE, TIPO, TON, PESO_MAX FROM MAQ_TIN WHERE CODIGO = '03'"),
        "JET D'ÁGUA|02|03|2|4|300");
    QCOMPARE(Gravadas("03"), "1|03|01||||120|;2|03|02|||||");
}

// Stored rows come in as they are (a variant and a bath deleted since, bounds never given) and stay so
// through a desistance, a capacity save failing half-way (at the delete, at the fifth insert: not repeated
// over the rows still there) and, mended, the same confirmation.
void TstCadMaquina::storedRowsSurviveDesistFailuresAndSaves() {
    Base();
    Insert("MAQ_TIN_CAP", {"3, '01', '09', 1, 2, 3, 4, '77'", "4, '01', '01', NULL, NULL, 5, NULL, ''"});
    Sql("ALTER TABLE MAQ_TIN_CAP ADD CONSTRAINT CK_TESTE_PESO CHECK (PESO_MAX <= 2000)");
    FailWhen("MAQ_TIN_CAP", "BEFORE DELETE");
    const QString gravadas = kGravadas + ";3|01|09|1|2|3|4|77;4|01|01|||5||";
    driver->Open("TFmMaquinaTin");
    driver->Click("BtnAltera");
    Capacidade();
    Celula("LARG_DE", "999");
    CelulaAtual("dbgCapacidade", 1);
    driver->Press("Ctrl+Del");
    driver->Click("BtDesistir");
    QCOMPARE(TextoCelula("dbgCapacidade", 0, 2), "150,00");
    QCOMPARE(Gravadas(), gravadas);

    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    driver->Click("SbConfirmar");
    QVERIFY(messages.LastText().startsWith("Não foi possível gravar as informações de capacidade. ") &&
            messages.LastText().contains("falha forçada"));
    Commit(); // as the next confirmation of any screen would
    QCOMPARE(Gravadas(), gravadas);
    StopFailing();
    Capacidade();
    CelulaAtual("dbgCapacidade", 0);
    Celula("LARG_DE", "155");
    CelulaAtual("dbgCapacidade", 3);
    driver->Press("Down");
    Celula("VARIANTE", "01");
    Celula("PESO_MAX", "5000");
    driver->Click("SbConfirmar");
    QVERIFY(messages.LastText().contains("CK_TESTE_PESO"));
    Commit();
    QCOMPARE(Seen("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'") + Gravadas(), "JET 01" + gravadas);
    CelulaAtual("dbgCapacidade", 4);
    QVERIFY(TypeInCell("dbgCapacidade", "PESO_MAX",
                       "1.400")); // mended in the cell's editor, saved by the shortcut
    driver->Activate("SbConfirmar");
    QCOMPARE(Gravadas(), "1|01|01|155|180|40|120|01;2|01|02|160|190|50|100|;3|01|09|1|2|3|4|77;4|01|01|||5||;"
                         "5|01|01||||1400|");
}

// Typed cells survive the keyboard: Down on the last row, Tab over the read-only column, a refused
// non-number.
void TstCadMaquina::keyboardWorkInTheCapacityGrid() {
    Base();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtnAltera");
    Capacidade();
    CelulaAtual("dbgCapacidade", 1);
    QTest::keyClick(TypeInCell("dbgCapacidade", "PESO_MIN", "55"), Qt::Key_Down);

    QTest::keyClick(TypeInCell("dbgCapacidade", "VARIANTE", "01"), Qt::Key_Tab);
    QCOMPARE(Grade()->SelectedField(), "LARG_DE"); // over the variant's description
    QTest::keyClick(TypeInCell("dbgCapacidade", "LARG_DE", "abc"), Qt::Key_Tab);
    QCOMPARE(TakeMessages(), "Largura de (cm): \"abc\" não é um número válido.");
    for (const auto& [campo, texto] :
         {std::pair{"LARG_DE", "100"}, {"LARG_ATE", "200"}, {"PESO_MIN", "10"}, {"PESO_MAX", "90"}})
        QTest::keyClick(TypeInCell("dbgCapacidade", campo, texto), Qt::Key_Tab);
    QTest::keyClick(TypeInCell("dbgCapacidade", "RELAC_BANHO", "02"), Qt::Key_Tab);
    QCOMPARE(ClickMessages("SbConfirmar"), QString());
    QCOMPARE(Gravadas(),
             QStringLiteral("1|01|01|150|180|40|120|01;2|01|02|160|190|55|100|;3|01|01|100|200|10|90|02"));
}

// Unknown codes, bounds below 0 or out of order are refused naming the field, the focus on it, before
// anything is written: the rules, then the screen.
void TstCadMaquina::refusalsNameTheFieldAndWriteNothing() {
    // Lower and upper bound typed (NAN: none); the refusal, "[máx.]" when the upper bound is to correct. The
    // screen below drives a negative lower bound and bounds out of order.
    auto limite = [](const char* nome, double v) {
        return Limite{nome, std::isnan(v) ? std::nullopt : std::optional(v)};
    };
    for (const auto& [minimo, maximo, esperada] :
         {std::tuple{120.0, -1.0, "Até não pode ser negativo (-1,00). [máx.]"}, {0, 0, ""}, {120, NAN, ""}}) {
        const RecusaLimite recusa = RecusaFaixa(limite("De", minimo), limite("Até", maximo));
        QCOMPARE(recusa.mensagem + (recusa.maximo ? " [máx.]" : ""), QString::fromUtf8(esperada));
    }

    Base();
    const QString estado = Seen("SELECT * FROM MAQ_TIN") + Gravadas();
    driver->Open("TFmMaquinaTin");
    // A box, or a cell of the first capacity row left by Tab; what is typed; the refusals. An unknown variant
    // is refused in its cell and cleared: a row without one is posted, but not confirmed.
    const struct {
        const char *campo, *texto, *mensagens;
    } casos[] = {{"EdtCodBanho", "99", "Rel. Banho: código 99 não cadastrado."},
                 {"EdtCodFase", "99", "Fase: código 99 não cadastrado."},
                 {"EdtPesoMin", "130", "Peso Mín. (kg) (130,00) maior que Peso Máx. (kg) (120,00)."},
                 {"VARIANTE", "99", "Variante inválida.|Variante inválida."},
                 {"LARG_DE", "200",
                  "Capacidade, linha 1: Largura de (cm) (200,00) maior que Largura até (cm) (180,00)."},
                 {"PESO_MIN", "-5", "Capacidade, linha 1: Peso mín. (kg) não pode ser negativo (-5,00)."}};
    for (const auto& caso : casos) {
        driver->Click("BtnAltera");
        const bool celula = !QString(caso.campo).startsWith("Edt");
        if (celula) {
            Capacidade();
            Celula(caso.campo, caso.texto);
            driver->Press("Tab");
        } else {
            driver->Type(caso.campo, caso.texto);
        }
        QCOMPARE(ClickMessages("SbConfirmar"), QString::fromUtf8(caso.mensagens));
        QCOMPARE(celula ? Grade()->SelectedField() : driver->FocusedName(), QString(caso.campo));
        QCOMPARE(Seen("SELECT * FROM MAQ_TIN") + Gravadas(), estado);
        driver->Click("BtDesistir");
    }
}

QTEST_MAIN(TstCadMaquina)
#include "tst_cadmaquina.moc"
