// The machine registry and its capacity grid; the database is read from a second connection. Capacities
// another user changed since they were loaded are in tst_tngroteiro.
#include "DBControls.h"
#include "HostUi.h"
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

class TstCadMaquina : public ScreenTestCase {
    Q_OBJECT
    const QString kGravadas = "1|01|01|150|180|40|120|01;2|01|02|160|190|50|100|";

    void Base() {
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
        Insert("BANHO (CODIGO, DESCRICAO, PROPORCAO)", {"'01', 'CURTO', 6", "'02', 'LONGO', 10"});
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('03', 'TINGIMENTO')");
        Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO, FASE, TIPO, TON, VALOR, MES_DEPREC, "
            "DEPREC_MENSAL) VALUES ('01', 'JET 01', '01', '03', '1', '2', 1000, 2, 300)");
        Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, TIPO) VALUES ('02', 'RAMA', '7')");
        Sql("INSERT INTO MAQ_TIN_CAP VALUES (1, '01', '01', 150, 180, 40, 120, '01')");
        Sql("INSERT INTO MAQ_TIN_CAP VALUES (2, '01', '02', 160, 190, 50, 100, '')");
        Commit();
    }
    // The stored capacity rows of a machine, in order, as "SEQ|VARIANTE|...;...".
    QString Gravadas(const QString& maquina = "01") {
        return Seen("SELECT * FROM MAQ_TIN_CAP WHERE MAQUINA = '" + maquina + "' ORDER BY SEQUENCIA");
    }
    TZoDBGrid* Grade() { return driver->Get<TZoDBGrid>("dbgCapacidade"); }
    void Capacidade() {
        driver->Get<QTabWidget>("PageControl1")->setCurrentIndex(1);
        driver->Focus("dbgCapacidade");
    }
    void Celula(const QString& campo, const QVariant& valor) { EditaCelula(Grade(), campo, valor); }
    QString Exibida(int linha, int coluna) { return TextoCelula(Grade(), linha, coluna); }
    // Types into a cell of the current row through its editor, as a user does, and leaves the editor open.
    QLineEdit* Digita(const QString& campo, const QString& texto) {
        Grade()->SelectField(campo);
        Grade()->edit(Grade()->currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor) {
            editor->selectAll();
            QTest::keyClicks(editor, texto);
        }
        return editor;
    }

private slots:
    void includeWithCapacitiesFromTheGridAndLookUps();
    void unknownCodesInTheGridAreRefused();
    void failedInsertMidSaveLeavesDatabaseUnchanged();
    void failedCapacityDeleteStopsTheConfirmation();
    void storedRowsSurviveDeletedVariantsAndDesist();
    void keyboardWorkInTheCapacityGrid();
};

void TstCadMaquina::includeWithCapacitiesFromTheGridAndLookUps() {
    Base();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtIncluir");
    driver->Press("Tab");
    QCOMPARE(driver->Text("Edtcodmaq"), "03");
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
    QCOMPARE(Exibida(0, 1), "POLIESTER");
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
        Seen("SELECT DESCRICAO || '|' || RELAC_BANHO || '|' || FASE || '|' || TIPO || '|' || TON || '|' || "
             "CAST(PESO_MAX AS INTEGER) FROM MAQ_TIN WHERE CODIGO = '03'"),
        QStringLiteral("JET D'ÁGUA|02|03|2|4|300"));
    QCOMPARE(Gravadas("03"), "1|03|01||||120|;2|03|02|||||");
}

void TstCadMaquina::unknownCodesInTheGridAreRefused() {
    Base();
    driver->Open("TFmMaquinaTin");
    Capacidade();
    driver->Click("BtnAltera");
    Celula("VARIANTE", "99");
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), "Variante inválida.");
    QCOMPARE(Exibida(0, 0), QString());
    driver->Press("Tab"); // a row without a variant can be posted, but not confirmed
    CelulaAtual("dbgCapacidade", 1, 3);
    driver->Focus("EdtDesMaq");
    driver->Click("SbConfirmar");
    QCOMPARE(messages.LastText(), "Variante inválida.");
    QCOMPARE(Grade()->currentIndex().row(), 0);
    QCOMPARE(Gravadas(), kGravadas);
}

void TstCadMaquina::failedInsertMidSaveLeavesDatabaseUnchanged() {
    Base();
    Sql("ALTER TABLE MAQ_TIN_CAP ADD CONSTRAINT CK_TESTE_PESO CHECK (PESO_MAX <= 1000)");
    Commit();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    Capacidade();
    Celula("LARG_DE", "155");
    CelulaAtual("dbgCapacidade", 1);
    driver->Press("Down");
    Celula("VARIANTE", "01");
    Celula("PESO_MAX", "5000"); // the third insert fails, after the delete and two inserts
    driver->Click("SbConfirmar");
    QVERIFY(messages.LastText().contains("CK_TESTE_PESO"));
    Commit(); // as the next confirmation of any screen would
    QCOMPARE(Gravadas(), kGravadas);
    QCOMPARE(Seen("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'"), "JET 01");

    Celula("PESO_MAX", "900"); // mended, the same confirmation goes through
    driver->Click("SbConfirmar");
    QCOMPARE(Gravadas(), "1|01|01|155|180|40|120|01;2|01|02|160|190|50|100|;3|01|01||||900|");
}

void TstCadMaquina::failedCapacityDeleteStopsTheConfirmation() {
    Base();
    Sql("CREATE EXCEPTION E_TESTE 'capacidade travada'");
    Commit();
    Sql("CREATE TRIGGER T_TESTE FOR MAQ_TIN_CAP BEFORE DELETE AS BEGIN EXCEPTION E_TESTE; END");
    Commit();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    driver->Click("SbConfirmar");
    QVERIFY(messages.LastText().startsWith("Não foi possível gravar as informações de capacidade. ") &&
            messages.LastText().contains("capacidade travada"));
    Commit();
    QCOMPARE(Gravadas(), kGravadas); // not inserted a second time over the rows still there
}

void TstCadMaquina::storedRowsSurviveDeletedVariantsAndDesist() {
    Base();
    Sql("INSERT INTO MAQ_TIN_CAP VALUES (3, '01', '09', 1, 2, 3, 4, '77')"); // variant and bath deleted since
    Sql("INSERT INTO MAQ_TIN_CAP VALUES (4, '01', '01', NULL, NULL, 5, NULL, '')"); // bounds never given
    Commit();
    const QString gravadas = kGravadas + ";3|01|09|1|2|3|4|77;4|01|01|||5||";
    driver->Open("TFmMaquinaTin");
    QCOMPARE(Grade()->model()->rowCount(), 4);
    driver->Click("BtnAltera");
    Capacidade();
    Celula("LARG_DE", "999");
    CelulaAtual("dbgCapacidade", 1);
    driver->Press("Ctrl+Del");
    driver->Click("BtDesistir");
    QCOMPARE(Exibida(0, 2), "150,00");
    QCOMPARE(Gravadas(), gravadas);

    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(Gravadas(), gravadas);
}

// Typed cells survive the keyboard: a shortcut save, Down on the last row, Tab over the read-only column,
// a refused non-number.
void TstCadMaquina::keyboardWorkInTheCapacityGrid() {
    Base();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtnAltera");
    Capacidade();
    CelulaAtual("dbgCapacidade", 0);
    QVERIFY(Digita("PESO_MAX", "1.400"));
    driver->Activate("SbConfirmar");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Seen("SELECT PESO_MAX FROM MAQ_TIN_CAP WHERE MAQUINA = '01' AND SEQUENCIA = 1"), "1400");

    driver->Click("BtnAltera");
    Capacidade();
    CelulaAtual("dbgCapacidade", 1);
    QLineEdit* editor = Digita("PESO_MIN", "55");
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Down);
    QCOMPARE(Grade()->model()->rowCount(), 3);
    QCOMPARE(Grade()->currentIndex().row(), 2); // the new row, below

    editor = Digita("VARIANTE", "01");
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(Grade()->SelectedField(), "LARG_DE"); // over the variant's description
    editor = Digita("LARG_DE", "abc");
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(messages.Texts(),
             QStringList{QStringLiteral("Largura de (cm): \"abc\" não é um número válido.")});
    for (const auto& [campo, texto] :
         {std::pair{"LARG_DE", "100"}, {"LARG_ATE", "200"}, {"PESO_MIN", "10"}, {"PESO_MAX", "90"}})
        QTest::keyClick(Digita(campo, texto), Qt::Key_Tab);
    QTest::keyClick(Digita("RELAC_BANHO", "02"), Qt::Key_Tab);
    messages.Clear();
    driver->Click("SbConfirmar");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravadas(),
             QStringLiteral("1|01|01|150|180|40|1400|01;2|01|02|160|190|55|100|;3|01|01|100|200|10|90|02"));
}

QTEST_MAIN(TstCadMaquina)
#include "tst_cadmaquina.moc"
