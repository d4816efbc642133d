// The machine registry driven as a user would, with its capacity grid; what reaches the database is read
// from a second connection.
#include "DBControls.h"
#include "DataSet.h"
#include "HostUi.h"
#include "ModuleLoader.h"
#include "TTabela.h"
#include "TestDatabase.h"
#include <QLineEdit>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

class TstCadMaquina : public ScreenTestCase {
    Q_OBJECT
    const QString kGravadas = "1|01|01|150|180|40|120|01;2|01|02|160|190|50|100|";

    void Base() {
        Sql("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'ALGODAO')");
        Sql("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('02', 'POLIESTER')");
        Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('01', 'CURTO', 6)");
        Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('02', 'LONGO', 10)");
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('03', 'TINGIMENTO')");
        Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO, FASE, TIPO, TON, VALOR, MES_DEPREC, "
            "DEPREC_MENSAL) VALUES ('01', 'JET 01', '01', '03', '1', '2', 1000, 2, 300)");
        Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, TIPO) VALUES ('02', 'RAMA', '7')");
        Sql("INSERT INTO MAQ_TIN_CAP VALUES (1, '01', '01', 150, 180, 40, 120, '01')");
        Sql("INSERT INTO MAQ_TIN_CAP VALUES (2, '01', '02', 160, 190, 50, 100, '')");
        Commit();
    }
    void Commit() { db->Transaction()->CommitRetaining(); }
    // The stored capacity rows of a machine, in order, as "SEQ|VARIANTE|...;...".
    QString Gravadas(const QString& maquina = "01") {
        return RowsSeenByOthers("SELECT * FROM MAQ_TIN_CAP WHERE MAQUINA = '" + maquina +
                                "' ORDER BY SEQUENCIA")
            .join(';');
    }
    QString Valor(const QString& sql) {
        auto other = OpenSecond("kelm-test-check");
        return ScalarOn(*other, sql).toString();
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
        if (!editor)
            return nullptr;
        editor->selectAll();
        QTest::keyClicks(editor, texto);
        return editor;
    }

private slots:
    void includeWithCapacitiesFromTheGridAndLookUps();
    void rowChecksAndConfirmChecks();
    void failedInsertMidSaveLeavesDatabaseUnchanged();
    void failedCapacityDeleteStopsTheConfirmation();
    void storedRowsSurviveDeletedVariantsAndDesist();
    void failedLoadRefusesToReplaceStoredRows();
    void deleteTakesCapacitiesAlongOrNothing();
    void keyboardWorkInTheCapacityGrid();
    void capacityChangedByAnotherSinceLoadedIsNotReplaced();
    void capacityHeldByAnotherWorkstationWaitsAsAnyWrite();
    void newMachineStoredByAnotherMeanwhileAsksForAnotherCode();
};

void TstCadMaquina::includeWithCapacitiesFromTheGridAndLookUps() {
    Base();
    driver->Open("TFmMaquinaTin");
    // The machine list keeps the order it is given, not the table's.
    auto* list = driver->Get<TZoDBGrid>("DBGrid1")->model();
    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << list->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({"Código", "Descrição", "Fase", "Peso Máx."}));
    QCOMPARE(driver->Text("CbTipo"), QStringLiteral("1 - Tingimento"));
    QCOMPARE(driver->Text("EdtProBanho"), QStringLiteral("CURTO"));
    QCOMPARE(driver->Text("EdtproLitros"), QStringLiteral("6,000"));
    QCOMPARE(driver->Text("EdtDescFase"), QStringLiteral("TINGIMENTO"));
    QCOMPARE(driver->Text("EdtVlrVen"), QStringLiteral("R$ 400,00"));
    QCOMPARE(Grade()->model()->rowCount(), 2);
    QCOMPARE(Exibida(0, 1), QStringLiteral("ALGODAO"));
    driver->Click("sbProximo");
    QCOMPARE(driver->Text("CbTipo"), QStringLiteral("7")); // a kind outside the list shows as stored
    QCOMPARE(driver->Text("EdtProBanho"), QString());
    QCOMPARE(Grade()->model()->rowCount(), 0);

    driver->Click("BtIncluir");
    QCOMPARE(driver->FocusedName(), QStringLiteral("Edtcodmaq"));
    driver->Press("Tab");
    QCOMPARE(driver->Text("Edtcodmaq"), QStringLiteral("03"));
    driver->Type("EdtDesMaq", "jet d'água");
    driver->Type("EdtCodBanho", "");
    messages.searches.enqueue("02");
    driver->Focus("EdtCodFase"); // leaving the bath empty opens its look-up
    QCOMPARE(driver->Text("EdtproLitros"), QStringLiteral("10,000"));
    driver->Type("EdtCodFase", "03");
    driver->Select("CbTipo", "2 - Acabamento");
    driver->Click("RbEscura");
    driver->Type("EdtPesoMax", "300");

    Capacidade();
    driver->Press("Down"); // an empty grid gets its first row
    Celula("VARIANTE", "02");
    driver->Press("Tab");
    QCOMPARE(Exibida(0, 1), QStringLiteral("POLIESTER"));
    Celula("LARG_DE", "150,5");
    Celula("PESO_MAX", "90");
    driver->Press("Down");
    Grade()->SelectField("VARIANTE");
    messages.searches.enqueue("01");
    driver->Press("F4");
    Grade()->SelectField("RELAC_BANHO");
    messages.searches.enqueue("01");
    driver->Press("F4");
    Celula("PESO_MAX", "120");
    driver->Press("Down");
    Celula("VARIANTE", "02");
    Grade()->setCurrentIndex(Grade()->model()->index(0, 0));
    driver->Press("Ctrl+Del"); // the first row goes: the others are numbered from 1 again
    driver->Click("SbConfirmar");
    QVERIFY2(messages.shown.count() == 3 && messages.AllAnswered(), qPrintable(messages.Texts().join('|')));
    QVERIFY(driver->Visible("PainelControle"));
    QCOMPARE(
        Valor("SELECT DESCRICAO || '|' || RELAC_BANHO || '|' || FASE || '|' || TIPO || '|' || TON || '|' || "
              "CAST(PESO_MAX AS INTEGER) FROM MAQ_TIN WHERE CODIGO = '03'"),
        QStringLiteral("JET D'ÁGUA|02|03|2|4|300"));
    QCOMPARE(Gravadas("03"), QStringLiteral("1|03|01||||120|01;2|03|02|||||"));
}

void TstCadMaquina::rowChecksAndConfirmChecks() {
    Base();
    driver->Open("TFmMaquinaTin");
    Capacidade();
    QVERIFY(!Grade()->model()->flags(Grade()->model()->index(0, 0)).testFlag(Qt::ItemIsEditable));
    driver->Click("BtnAltera"); // on the capacity tab the grid takes the focus, in its variant column
    QCOMPARE(driver->FocusedName(), QStringLiteral("dbgCapacidade"));
    QCOMPARE(Grade()->SelectedField(), QStringLiteral("VARIANTE"));
    Celula("VARIANTE", "99");
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), QStringLiteral("Variante inválida."));
    QCOMPARE(Exibida(0, 0), QString());
    Celula("RELAC_BANHO", "77");
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), QStringLiteral("Rel. Banho Inválido."));
    QCOMPARE(Exibida(0, 6), QString());
    driver->Press("Tab"); // a row without a variant can be posted, but not confirmed
    Grade()->setCurrentIndex(Grade()->model()->index(1, 3));
    driver->Focus("EdtDesMaq");
    driver->Click("SbConfirmar");
    QCOMPARE(messages.LastText(), QStringLiteral("Variante inválida."));
    QCOMPARE(driver->Get<QTabWidget>("PageControl1")->currentIndex(), 1);
    QCOMPARE(driver->FocusedName(), QStringLiteral("dbgCapacidade"));
    QCOMPARE(Grade()->currentIndex().row(), 0);
    QCOMPARE(Grade()->SelectedField(), QStringLiteral("VARIANTE"));
    QVERIFY(driver->Visible("PainelConfirma"));
    QCOMPARE(Gravadas(), kGravadas);
    driver->Click("BtDesistir");

    driver->Click("BtIncluir");
    driver->Type("Edtcodmaq", "01");
    driver->Type("EdtDesMaq", "");
    driver->Get<QTabWidget>("PageControl1")->setCurrentIndex(1);
    driver->Activate("SbConfirmar"); // by its shortcut: the description box is not left
    QCOMPARE(messages.LastText(), QStringLiteral("Este código já existe. Digite um outro."));
    QCOMPARE(driver->Get<QTabWidget>("PageControl1")->currentIndex(), 0);
    driver->Type("Edtcodmaq", "09");
    driver->Activate("SbConfirmar");
    QCOMPARE(messages.LastText(), QStringLiteral("O Campo é obrigatório."));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtDesMaq"));
    QCOMPARE(Valor("SELECT COUNT(*) FROM MAQ_TIN"), QStringLiteral("2"));
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
    Grade()->setCurrentIndex(Grade()->model()->index(1, 0));
    driver->Press("Down");
    Celula("VARIANTE", "01");
    Celula("PESO_MAX", "5000"); // the third insert fails, after the delete and two inserts
    driver->Click("SbConfirmar");
    QVERIFY(messages.LastText().startsWith("Não foi possível gravar as informações de capacidade. "));
    QVERIFY(messages.LastText().contains("CK_TESTE_PESO"));
    Commit(); // whatever the next confirmation of any screen commits must not carry half a save
    QCOMPARE(Gravadas(), kGravadas);
    QCOMPARE(Valor("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'"), QStringLiteral("JET 01"));
    QCOMPARE(Valor("SELECT COUNT(*) FROM LOG"), QStringLiteral("0"));
    QVERIFY(driver->Visible("PainelConfirma"));

    Celula("PESO_MAX", "900"); // mended, the same confirmation goes through
    driver->Click("SbConfirmar");
    QVERIFY(driver->Visible("PainelControle"));
    QCOMPARE(Gravadas(), "1|01|01|155|180|40|120|01;2|01|02|160|190|50|100|;3|01|01||||900|");
    QCOMPARE(Valor("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'"), QStringLiteral("ALTERADA"));
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
    QVERIFY(messages.LastText().startsWith("Não foi possível deletar as informações de capacidade. "));
    Commit();
    QCOMPARE(Gravadas(), kGravadas); // not inserted a second time over the rows still there
    QCOMPARE(Valor("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'"), QStringLiteral("JET 01"));
    QVERIFY(driver->Visible("PainelConfirma"));
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
    Grade()->setCurrentIndex(Grade()->model()->index(1, 0));
    driver->Press("Ctrl+Del");
    driver->Click("BtDesistir");
    QCOMPARE(Grade()->model()->rowCount(), 4);
    QCOMPARE(Exibida(0, 2), QStringLiteral("150"));
    QCOMPARE(Gravadas(), gravadas);

    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(Gravadas(), gravadas);
}

void TstCadMaquina::failedLoadRefusesToReplaceStoredRows() {
    Base();
    Sql("ALTER TABLE VARIANTE ALTER COLUMN DESCRICAO TO NOME");
    Commit();
    driver->Open("TFmMaquinaTin");
    QVERIFY(messages.LastText().startsWith("Não foi possível carregar as informações de capacidade. "));
    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    driver->Click("SbConfirmar");
    QVERIFY(messages.LastText().startsWith("As informações de capacidade não foram carregadas"));
    QCOMPARE(Gravadas(), kGravadas);
    QCOMPARE(Valor("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'"), QStringLiteral("JET 01"));

    // A new machine has no stored rows to lose: it is saved all the same.
    driver->Click("BtDesistir");
    driver->Click("BtIncluir");
    driver->Type("Edtcodmaq", "07");
    driver->Type("EdtDesMaq", "nova");
    driver->Activate("SbConfirmar");
    QCOMPARE(Valor("SELECT COUNT(*) FROM MAQ_TIN WHERE CODIGO = '07'"), QStringLiteral("1"));
}

void TstCadMaquina::deleteTakesCapacitiesAlongOrNothing() {
    Base();
    Sql("INSERT INTO MAQ_TIN_CAP VALUES (1, '02', '01', 1, 2, 3, 4, '')");
    Sql("CREATE EXCEPTION E_TESTE 'maquina em uso'");
    Commit();
    Sql("CREATE TRIGGER T_TESTE FOR MAQ_TIN BEFORE DELETE AS BEGIN IF (OLD.CODIGO = '01') THEN EXCEPTION "
        "E_TESTE; END");
    Commit();
    driver->Open("TFmMaquinaTin");
    messages.questions.enqueue(true);
    driver->Click("BtExcluir"); // the machine row cannot go: its capacities and audit row come back
    QVERIFY(messages.shown.last().icon == MsgIcon::Error);
    QCOMPARE(Gravadas(), kGravadas);
    QCOMPARE(Valor("SELECT COUNT(*) FROM MAQ_TIN"), QStringLiteral("2"));
    QCOMPARE(Valor("SELECT COUNT(*) FROM LOG"), QStringLiteral("0"));

    driver->Click("sbUltimo");
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Gravadas("02"), QString());
    QCOMPARE(Valor("SELECT COUNT(*) FROM MAQ_TIN WHERE CODIGO = '02'"), QStringLiteral("0"));
    QCOMPARE(Gravadas(), kGravadas);
    // One audit row, for the machine deleted: the refused attempt left none behind.
    QCOMPARE(Valor("SELECT COUNT(*) || '|' || MAX(CHAVE) FROM LOG"), QStringLiteral("1|02"));
}

// What is typed in a cell is never lost to the keyboard: a save by the confirm button's shortcut takes the
// open editor, Down on the last row keeps it and appends below, Tab passes over the read-only description,
// a non-number is refused in its cell and the screen saves afterwards, and Tab never leaves the screen.
void TstCadMaquina::keyboardWorkInTheCapacityGrid() {
    Base();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtnAltera");
    Capacidade();
    Grade()->setCurrentIndex(Grade()->model()->index(0, 0));
    QVERIFY(Digita("PESO_MAX", "1.400"));
    driver->Activate("SbConfirmar");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QVERIFY(driver->Visible("PainelControle"));
    QCOMPARE(Valor("SELECT PESO_MAX FROM MAQ_TIN_CAP WHERE MAQUINA = '01' AND SEQUENCIA = 1"), "1400");

    driver->Click("BtnAltera");
    Capacidade();
    Grade()->setCurrentIndex(Grade()->model()->index(1, 0));
    QLineEdit* editor = Digita("PESO_MIN", "55");
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Down);
    QCOMPARE(Grade()->model()->rowCount(), 3);
    QCOMPARE(Grade()->currentIndex().row(), 2); // the new row, below
    QCOMPARE(Exibida(1, Grade()->model()->columnCount() - 3), QStringLiteral("55"));
    QCOMPARE(driver->FocusedName(), QStringLiteral("dbgCapacidade"));

    editor = Digita("VARIANTE", "01");
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(Grade()->SelectedField(), QStringLiteral("LARG_DE")); // over "Desc. Variante"
    editor = Digita("LARG_DE", "abc");
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(messages.Texts(), QStringList{QStringLiteral("Larg. De: \"abc\" não é um número válido.")});
    for (const auto& [campo, texto] :
         {std::pair{"LARG_DE", "100"}, {"LARG_ATE", "200"}, {"PESO_MIN", "10"}, {"PESO_MAX", "90"}})
        QTest::keyClick(Digita(campo, texto), Qt::Key_Tab);
    QTest::keyClick(Digita("RELAC_BANHO", "02"), Qt::Key_Tab);
    // Past the last cell the focus goes on within the screen, not into another window.
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused && driver->Screen()->isAncestorOf(focused));
    QVERIFY(focused != Grade());
    messages.Clear();
    driver->Click("SbConfirmar");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravadas(),
             QStringLiteral("1|01|01|150|180|40|1400|01;2|01|02|160|190|55|100|;3|01|01|100|200|10|90|02"));
}

// Capacity rows another workstation changed after this screen loaded them are not replaced, nor is the
// machine written; changes of the machine's own columns by others do not stop a save.
void TstCadMaquina::capacityChangedByAnotherSinceLoadedIsNotReplaced() {
    Base();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    Capacidade();
    Celula("LARG_DE", "155");
    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "UPDATE MAQ_TIN_CAP SET PESO_MAX = 130 WHERE MAQUINA = '01' AND SEQUENCIA = 1");
    other->Transaction()->CommitRetaining();
    driver->Click("SbConfirmar");
    QCOMPARE(messages.LastText(),
             QStringLiteral("As informações de capacidade da máquina 01 foram alteradas por outro usuário "
                            "depois que esta tela as carregou; nada foi gravado. Desista e altere a máquina "
                            "de novo."));
    const QString dele = "1|01|01|150|180|40|130|01;2|01|02|160|190|50|100|";
    QCOMPARE(Gravadas(), dele);
    QCOMPARE(Valor("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'"), QStringLiteral("JET 01"));
    QCOMPARE(Valor("SELECT COUNT(*) FROM LOG"), QStringLiteral("0"));
    QVERIFY(driver->Visible("PainelConfirma"));
    // Rows deleted by the other are not brought back either.
    SqlOn(*other, "DELETE FROM MAQ_TIN_CAP WHERE MAQUINA = '01'");
    other->Transaction()->CommitRetaining();
    messages.Clear();
    driver->Click("SbConfirmar");
    QCOMPARE(messages.Texts().size(), 1);
    QVERIFY(messages.LastText().startsWith("As informações de capacidade da máquina 01 foram alteradas"));
    QCOMPARE(Gravadas(), QString());

    driver->Click("BtDesistir");
    QCOMPARE(Grade()->model()->rowCount(), 0);
    SqlOn(*other, "INSERT INTO MAQ_TIN_CAP VALUES (1, '01', '01', 150, 180, 40, 130, '01')");
    SqlOn(*other, "UPDATE MAQ_TIN SET VALOR = 2000 WHERE CODIGO = '01'");
    other->Transaction()->CommitRetaining();
    driver->Click("sbUltimo");
    driver->Click("sbPrimeiro"); // shown anew
    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    Capacidade();
    Celula("LARG_DE", "155");
    messages.Clear();
    driver->Click("SbConfirmar");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravadas(), QStringLiteral("1|01|01|155|180|40|130|01"));
    QCOMPARE(Valor("SELECT DESCRICAO || '|' || CAST(VALOR AS INTEGER) FROM MAQ_TIN WHERE CODIGO = '01'"),
             QStringLiteral("ALTERADA|2000"));
}

void TstCadMaquina::capacityHeldByAnotherWorkstationWaitsAsAnyWrite() {
    Base();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtnAltera");
    driver->Click("SbConfirmar"); // saved once, the machine's lock row is there
    QVERIFY(messages.shown.isEmpty());
    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "UPDATE TRAVA_GRAVACAO SET CHAVE = CHAVE WHERE TABELA = 'MAQ_TIN_CAP' AND CHAVE = '01'");
    db->LockTimeoutMs = 1000;
    driver->Click("BtnAltera");
    driver->Type("EdtDesMaq", "alterada");
    Capacidade();
    Celula("LARG_DE", "155");
    driver->Click("SbConfirmar");
    QVERIFY2(
        messages.LastText().startsWith("Não foi possível gravar as informações de capacidade. A gravação "
                                       "esperou mais de 1 segundos"),
        qPrintable(messages.LastText()));
    QVERIFY(driver->Visible("PainelConfirma"));
    other->Transaction()->Rollback();
    QCOMPARE(Gravadas(), kGravadas);
    QCOMPARE(Valor("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '01'"), QStringLiteral("JET 01"));
    messages.Clear();
    driver->Click("SbConfirmar");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravadas(), "1|01|01|155|180|40|120|01;2|01|02|160|190|50|100|");
}

// The code was free when checked, and another workstation stored it before the post: the user is asked for
// another code, and the capacity rows written before the post are undone with it.
void TstCadMaquina::newMachineStoredByAnotherMeanwhileAsksForAnotherCode() {
    Base();
    driver->Open("TFmMaquinaTin");
    driver->Click("BtIncluir");
    driver->Type("Edtcodmaq", "05");
    driver->Type("EdtDesMaq", "nova");
    Capacidade();
    driver->Press("Down");
    Celula("VARIANTE", "01");
    Celula("PESO_MAX", "90");
    auto other = OpenSecond("kelm-test-other");
    TTabela::Tabela("TbMaq_Tin")->BeforePost = [&other](TDataSet&) {
        SqlOn(*other, "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO) VALUES ('05', 'DELE')");
        SqlOn(*other, "INSERT INTO MAQ_TIN_CAP VALUES (2, '05', '02', NULL, NULL, NULL, 50, '')");
        other->Transaction()->CommitRetaining();
    };
    driver->Click("SbConfirmar");
    TTabela::Tabela("TbMaq_Tin")->BeforePost = nullptr;
    QCOMPARE(messages.Texts(), QStringList{"Este código já existe. Digite um outro."});
    QCOMPARE(driver->FocusedName(), QStringLiteral("Edtcodmaq"));
    QVERIFY(driver->Visible("PainelConfirma"));
    QCOMPARE(Gravadas("05"), QStringLiteral("2|05|02||||50|"));
    QCOMPARE(Valor("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '05'"), QStringLiteral("DELE"));
    QCOMPARE(Valor("SELECT COUNT(*) FROM LOG"), QStringLiteral("0"));
    // Another code, and what was typed is saved under it.
    driver->Type("Edtcodmaq", "06");
    messages.Clear();
    driver->Click("SbConfirmar");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravadas("06"), QStringLiteral("1|06|01||||90|"));
    QCOMPARE(Valor("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '06'"), QStringLiteral("NOVA"));
}

QTEST_MAIN(TstCadMaquina)
#include "tst_cadmaquina.moc"
