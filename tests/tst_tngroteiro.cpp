// The route screen: the step grid, the wholesale save and the delete of a route in use; and, for every screen
// that saves a code's rows wholesale (routes, preparations, rules, a machine's capacities, a curve's steps),
// rows another user changed since they were loaded are neither saved over nor deleted. The database is read
// from a second connection.
#include "DBControls.h"
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QTest>

class TstTngRoteiro : public ScreenTestCase {
    Q_OBJECT
    const QString kGravado = "1|01|0|TINTO;2|03|1|TINTO;3|06||TINTO";

    void Base(const QString& tela = "TfmTngRoteiro") {
        Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARACAO'", "'03', 'TINGIMENTO'", "'06', 'SECAGEM'"});
        Insert("ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE)",
               {"'000001', 'TINTO', 1, 0, '01'", "'000001', 'TINTO', 2, 1, '03'",
                "'000001', 'TINTO', 3, NULL, '06'", "'000002', 'CRU', 1, 1, '01'"});
        Commit();
        driver->Open(tela);
    }
    // The stored steps of a route, in order, as "ORDEM|FASE|DIAS|DESCRICAO;...".
    QString Gravado(const QString& codigo = "000001") {
        return Seen("SELECT ORDEM, FASE, DIAS, DESCRICAO FROM ROTEIRO WHERE CODIGO = '" + codigo +
                    "' ORDER BY ORDEM");
    }
    void Celula(const QString& campo, const QVariant& valor) { EditaCelula("DBGrid8", campo, valor); }
    QString Exibida(int linha, int coluna) { return TextoCelula("DBGrid8", linha, coluna); }

private slots:
    void newRouteWithLookUpsSortedStepsAndBlankDays();
    void refusedStepLeavesTheStoredRouteIntact();
    void routeUsedByAFalCannotBeDeleted();
    void routeStoredByAnotherSinceLoadedIsNotReplaced();
    void rowsChangedByAnotherAreNeitherSavedOverNorDeleted_data();
    void rowsChangedByAnotherAreNeitherSavedOverNorDeleted();
};

void TstTngRoteiro::newRouteWithLookUpsSortedStepsAndBlankDays() {
    Base();
    messages.questions.enqueue(true);
    TypeAndTab("EdtCodigo", "000009");
    driver->Type("EdtDescricao", "NOVO");
    driver->Focus("DBGrid8");
    Celula("ORDEM", "2");
    messages.searches.enqueue("03");
    driver->Get<TZoDBGrid>("DBGrid8")->SelectField("FASE");
    driver->Press("F4");
    QCOMPARE(Exibida(0, 2), "TINGIMENTO");
    driver->Press("Down");
    Celula("ORDEM", "1");
    Celula("FASE", "01");
    driver->Press("Tab"); // posted: the step takes its place by order
    QCOMPARE(Exibida(0, 2), "PREPARACAO");
    Celula("DIAS", "2");
    CelulaAtual("DBGrid8", 1);
    driver->Press("Down");
    Celula("ORDEM", "5");
    Celula("FASE", "06");
    driver->Press("Ctrl+Del");
    driver->Press("Down"); // an empty step is left out of the save
    driver->Click("BitBtn1");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravado("000009"), "1|01|2|NOVO;2|03||NOVO");
    // The saved route stays on screen, as stored; saving it again changes nothing.
    QCOMPARE(Exibida(1, 2), "TINGIMENTO");
    messages.Clear();
    driver->Click("BitBtn1");
    QCOMPARE(Gravado("000009"), "1|01|2|NOVO;2|03||NOVO");
    driver->Focus("DBGrid8"); // nor does coming back into the grid reload over it
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(driver->Rows("DBGrid8"), 2);
}

void TstTngRoteiro::refusedStepLeavesTheStoredRouteIntact() {
    Base();
    TypeAndTab("EdtCodigo", "000001");
    driver->Focus("DBGrid8");
    Celula("DIAS", "9");
    CelulaAtual("DBGrid8", 2);
    Celula("FASE", "99");
    messages.searches.enqueue("");
    driver->Click("BitBtn1"); // the delete and two inserts have run when the third step is refused
    QCOMPARE(messages.Texts(), QStringList{"Fase inválida."});
    QCOMPARE(driver->Get<TZoDBGrid>("DBGrid8")->currentIndex().row(), 2);
    Commit(); // as the next save of any screen would
    QCOMPARE(Gravado(), kGravado);

    Celula("FASE", "06");
    Celula("ORDEM", "");
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), "Ordem inválida.");
    Commit();
    QCOMPARE(Gravado(), kGravado);
}

void TstTngRoteiro::routeUsedByAFalCannotBeDeleted() {
    Base();
    Sql("INSERT INTO FAL (NUMERO, ROTEIRO) VALUES ('0000001', '000001')");
    Commit();
    TypeAndTab("EdtCodigo", "000001");
    driver->Click("BtExcluir");
    QCOMPARE(messages.LastText(), "Roteiro está sendo usado na FAL, impossível excluir.");
    QCOMPARE(Gravado(), kGravado);

    TypeAndTab("EdtCodigo", "000002");
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Gravado("000002"), QString());
    QCOMPARE(Gravado(), kGravado);
    QCOMPARE(AuditRows(), QStringList{"CADASTRO DE ROTEIRO|EXCLUSAO DO ROTEIRO 000002|2|000002"});
}

// Two users typing the same new route: the second save neither adds to the first one's steps nor replaces
// them.
void TstTngRoteiro::routeStoredByAnotherSinceLoadedIsNotReplaced() {
    Base();
    messages.questions.enqueue(true);
    TypeAndTab("EdtCodigo", "000009");
    driver->Type("EdtDescricao", "MEU");
    driver->Focus("DBGrid8");
    Celula("ORDEM", "1");
    Celula("FASE", "01");
    ByOther(
        "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES ('000009', 'DELE', 1, 2, '03')");
    driver->Click("BitBtn1");
    QVERIFY(messages.LastText().startsWith("O roteiro 000009 foi gravado ou alterado por outro usuário"));
    QCOMPARE(Gravado("000009"), "1|03|2|DELE");
    driver->Press("Tab"); // leaving the code loads the route as stored; changed from there, it saves
    QCOMPARE(Exibida(0, 1), "03");
    driver->Type("EdtDescricao", "NOSSO");
    messages.Clear();
    driver->Click("BitBtn1");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravado("000009"), "1|03|2|NOSSO");
}

// Screen, code box, grid, code loaded, button pressed, what another user does meanwhile, the detail rows.
void TstTngRoteiro::rowsChangedByAnotherAreNeitherSavedOverNorDeleted_data() {
    QTest::addColumn<QStringList>("caso");
    const QStringList rota = {"TfmTngRoteiro", "EdtCodigo", "DBGrid8", "000001"};
    const QString passos = "SELECT ORDEM, FASE, DIAS FROM ROTEIRO WHERE CODIGO = '000001' ORDER BY 1";
    QTest::newRow("route saved, a step changed")
        << rota + QStringList{"BitBtn1", "UPDATE ROTEIRO SET DIAS = 5 WHERE ORDEM = 3", passos};
    QTest::newRow("route saved, deleted")
        << rota + QStringList{"BitBtn1", "DELETE FROM ROTEIRO WHERE CODIGO = '000001'", passos};
    QTest::newRow("route deleted, a step changed")
        << rota + QStringList{"BtExcluir", "UPDATE ROTEIRO SET DIAS = 5 WHERE ORDEM = 3", passos};
    const QStringList preparacao = {"TFmCadPrepara", "EdtCodPrep", "DBGrid1", "001"};
    const QString itens = "SELECT ORDEM, MATERIAL, QTDE FROM PREPARACAO WHERE CODIGO = '001' ORDER BY 1";
    QTest::newRow("preparation saved, an item changed")
        << preparacao + QStringList{"BtGravar", "UPDATE PREPARACAO SET QTDE = 9 WHERE ORDEM = 2", itens};
    QTest::newRow("preparation deleted, an item added")
        << preparacao +
               QStringList{"BtExcluir",
                           "INSERT INTO PREPARACAO (CODIGO, DESCRICAO, MATERIAL, ORDEM, QTDE) VALUES "
                           "('001', 'PURGA', 'Q3', 3, 1)",
                           itens};
    const QStringList regra = {"TFmTngCadRegRec", "EdtCodigo", "DBGrid1", "001"};
    const QString linhas = "SELECT ORDEM, TIPO, QTDE_R FROM TNG_REGRA WHERE CODIGO = '001' ORDER BY 1";
    QTest::newRow("rule saved, a line changed")
        << regra + QStringList{"BitBtn1", "UPDATE TNG_REGRA SET QTDE_R = 9 WHERE ORDEM = 1", linhas};
    QTest::newRow("rule deleted, a line changed")
        << regra + QStringList{"BitBtn4", "UPDATE TNG_REGRA SET QTDE_R = 9 WHERE ORDEM = 1", linhas};
    // Registries: the record altered and confirmed, desisting loads it again.
    const QStringList maquina = {"TFmMaquinaTin", "", "dbgCapacidade", "01", "SbConfirmar"};
    const QString capacidade = "SELECT SEQUENCIA, VARIANTE, PESO_MAX FROM MAQ_TIN_CAP ORDER BY 1";
    QTest::newRow("machine saved, a capacity row changed")
        << maquina + QStringList{"UPDATE MAQ_TIN_CAP SET PESO_MAX = 130 WHERE SEQUENCIA = 1", capacidade};
    QTest::newRow("machine saved, its capacity rows renumbered")
        << maquina + QStringList{"UPDATE MAQ_TIN_CAP SET SEQUENCIA = SEQUENCIA + 10", capacidade};
    QTest::newRow("machine saved, its capacity rows deleted")
        << maquina + QStringList{"DELETE FROM MAQ_TIN_CAP", capacidade};
    QTest::newRow("curve saved, a step changed")
        << QStringList{"TfmTngGrafico",
                       "",
                       "dbgPassos",
                       "001",
                       "SbConfirmar",
                       "UPDATE PASSOS SET TEMPO = 25 WHERE CODIGO = 'A01'",
                       "SELECT CODIGO, TEMPO FROM PASSOS"};
}

void TstTngRoteiro::rowsChangedByAnotherAreNeitherSavedOverNorDeleted() {
    QFETCH(QStringList, caso);
    const QString tela = caso[0], caixa = caso[1], grade = caso[2], codigo = caso[3], botao = caso[4],
                  outro = caso[5], gravadas = caso[6];
    Insert("PREPARACAO (CODIGO, DESCRICAO, MATERIAL, ORDEM, QTDE)",
           {"'001', 'PURGA', 'Q1', 1, 1.5", "'001', 'PURGA', 'Q2', 2, 1"});
    Insert("TNG_REGRA (CODIGO, DESCRICAO, TIPO, LINHA, ORDEM, QTDE_DE, QTDE_ATE, QTDE_R)",
           {"'001', 'SAL', 'P', '', 1, 0, 50, 70", "'001', 'SAL', 'M', '03', 2, 0, 0, 1.5"});
    Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
    Sql("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO) VALUES ('01', 'JET 01')");
    Insert("MAQ_TIN_CAP", {"1, '01', '01', 150, 180, 40, 120, ''", "2, '01', '02', 160, 190, 50, 100, ''"});
    Sql("INSERT INTO GRAFICO (CODIGO, DESCRICAO) VALUES ('001', 'REATIVO')");
    Insert("PASSOS (CODIGO_GRA, CODIGO, ORDEM, TEMPO, FASE)",
           {"'001', 'A01', 1, 20, '1'", "'001', 'S01', 2, 30, '1'"});
    Base(tela);
    // Leaving the code loads the rows; a registry loads its record's rows as it is shown.
    const auto carrega = [&] { caixa.isEmpty() ? driver->Click("BtDesistir") : TypeAndTab(caixa, codigo); };
    caixa.isEmpty() ? driver->Click("BtnAltera") : carrega();
    ByOther(outro);
    const QStringList antes = RowsSeenByOthers(gravadas);
    const bool exclui = botao == "BtExcluir" || botao == "BitBtn4";
    if (exclui)
        messages.questions.enqueue(true);
    driver->Click(botao);
    const QString recusa = TakeMessages();
    QVERIFY2(recusa.contains(codigo) && recusa.contains(exclui ? "nada foi excluído" : "nada foi gravado"),
             qPrintable(recusa));
    QCOMPARE(RowsSeenByOthers(gravadas), antes);
    QVERIFY(AuditRows().isEmpty());
    carrega(); // as they are stored now
    QCOMPARE(driver->Rows(grade), antes.size());
}

QTEST_MAIN(TstTngRoteiro)
#include "tst_tngroteiro.moc"
