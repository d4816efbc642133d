// The route screen: the step grid, the wholesale save and the guarded delete; the database is read from a
// second connection.
#include "DBControls.h"
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QTest>

class TstTngRoteiro : public ScreenTestCase {
    Q_OBJECT
    const QString kGravado = "1|01|0|TINTO;2|03|1|TINTO;3|06||TINTO";

    void Base() {
        Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARACAO'", "'03', 'TINGIMENTO'", "'06', 'SECAGEM'"});
        for (const char* passo : {"1, 0, '01'", "2, 1, '03'", "3, NULL, '06'"})
            Sql(QStringLiteral("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES "
                               "('000001', 'TINTO', %1)")
                    .arg(passo));
        Sql("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES ('000002', 'CRU', 1, 1, "
            "'01')");
        Commit();
        driver->Open("TfmTngRoteiro");
    }
    // The stored steps of a route, in order, as "ORDEM|FASE|DIAS|DESCRICAO;...".
    QString Gravado(const QString& codigo = "000001") {
        return Seen("SELECT ORDEM, FASE, DIAS, DESCRICAO FROM ROTEIRO WHERE CODIGO = '" + codigo +
                    "' ORDER BY ORDEM");
    }
    TZoDBGrid* Grade() { return driver->Get<TZoDBGrid>("DBGrid8"); }
    void Abre(const QString& codigo) {
        driver->Type("EdtCodigo", codigo);
        driver->Press("Tab");
    }
    void Linha(int linha) { Grade()->setCurrentIndex(Grade()->model()->index(linha, 0)); }
    void Celula(const QString& campo, const QVariant& valor) { EditaCelula(Grade(), campo, valor); }
    QString Exibida(int linha, int coluna) { return TextoCelula(Grade(), linha, coluna); }

private slots:
    void newRouteWithLookUpsSortedStepsAndBlankDays();
    void refusedStepLeavesTheStoredRouteIntact();
    void routeUsedByAFalCannotBeDeleted();
    void routeStoredByAnotherSinceLoadedIsNotReplaced();
    void routeChangedOrDeletedByAnotherSinceLoadedIsNotReplaced();
};

namespace {
const QString kAlterado =
    QStringLiteral("O roteiro %1 foi gravado ou alterado por outro usuário depois que esta "
                   "tela o carregou; nada foi gravado. Ao sair do código, o roteiro é "
                   "carregado como está agora.");
}

void TstTngRoteiro::newRouteWithLookUpsSortedStepsAndBlankDays() {
    Base();
    messages.questions.enqueue(true);
    Abre("000009");
    driver->Type("EdtDescricao", "NOVO");
    driver->Focus("DBGrid8");
    Celula("ORDEM", "2");
    Grade()->SelectField("FASE");
    messages.searches.enqueue("03");
    driver->Press("F4");
    QCOMPARE(Exibida(0, 2), "TINGIMENTO");
    driver->Press("Down");
    Celula("ORDEM", "1");
    Celula("FASE", "01");
    driver->Press("Tab"); // posted: the step takes its place by order
    QCOMPARE(Exibida(0, 2), "PREPARACAO");
    Celula("DIAS", "2");
    Linha(1);
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
    QCOMPARE(Grade()->model()->rowCount(), 2);
}

void TstTngRoteiro::refusedStepLeavesTheStoredRouteIntact() {
    Base();
    Abre("000001");
    driver->Focus("DBGrid8");
    Celula("DIAS", "9");
    Linha(2);
    Celula("FASE", "99");
    messages.searches.enqueue("");
    driver->Click("BitBtn1"); // the delete and two inserts have run when the third step is refused
    QCOMPARE(messages.Texts(), QStringList{"Fase inválida."});
    QCOMPARE(Grade()->currentIndex().row(), 2);
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
    Abre("000001");
    driver->Click("BtExcluir");
    QCOMPARE(messages.LastText(), "Roteiro está sendo usado na FAL, impossível excluir.");
    QCOMPARE(Gravado(), kGravado);

    Abre("000002");
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Gravado("000002"), QString());
    QCOMPARE(Gravado(), kGravado);
}

// Two users typing the same new route: the second save neither adds to the first one's steps nor replaces
// them.
void TstTngRoteiro::routeStoredByAnotherSinceLoadedIsNotReplaced() {
    Base();
    messages.questions.enqueue(true);
    Abre("000009");
    driver->Type("EdtDescricao", "MEU");
    driver->Focus("DBGrid8");
    Celula("ORDEM", "1");
    Celula("FASE", "01");
    {
        auto other = OpenSecond("kelm-test-other");
        SqlOn(*other,
              "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES ('000009', 'DELE', 1, 2, "
              "'03')");
        other->Transaction()->CommitRetaining();
    }
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), kAlterado.arg("000009"));
    QCOMPARE(Gravado("000009"), "1|03|2|DELE");
    driver->Press("Tab"); // leaving the code loads the route as stored; changed from there, it saves
    QCOMPARE(Exibida(0, 1), "03");
    driver->Type("EdtDescricao", "NOSSO");
    messages.Clear();
    driver->Click("BitBtn1");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravado("000009"), "1|03|2|NOSSO");
}

void TstTngRoteiro::routeChangedOrDeletedByAnotherSinceLoadedIsNotReplaced() {
    Base();
    Abre("000001");
    driver->Focus("DBGrid8");
    Celula("DIAS", "9");
    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "UPDATE ROTEIRO SET DIAS = 5 WHERE CODIGO = '000001' AND ORDEM = 3");
    other->Transaction()->CommitRetaining();
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), kAlterado.arg("000001"));
    QCOMPARE(Gravado(), "1|01|0|TINTO;2|03|1|TINTO;3|06|5|TINTO");
    driver->Press("Tab"); // a route deleted since it was loaded is not brought back either
    QCOMPARE(Exibida(2, 3), "5");
    driver->Focus("DBGrid8");
    Celula("DIAS", "9");
    SqlOn(*other, "DELETE FROM ROTEIRO WHERE CODIGO = '000001'");
    other->Transaction()->CommitRetaining();
    messages.Clear();
    driver->Click("BitBtn1");
    QCOMPARE(messages.Texts(), QStringList{kAlterado.arg("000001")});
    QCOMPARE(Gravado(), QString());
    QCOMPARE(Gravado("000002"), "1|01|1|CRU");
}

QTEST_MAIN(TstTngRoteiro)
#include "tst_tngroteiro.moc"
