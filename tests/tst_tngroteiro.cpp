// The route screen driven as a user would: loading by code, the step grid, the wholesale save and the
// guarded delete; what reaches the database is read from a second connection.
#include "DBControls.h"
#include "DataSet.h"
#include "HostError.h"
#include "HostUi.h"
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QSemaphore>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <memory>

class TstTngRoteiro : public ScreenTestCase {
    Q_OBJECT
    const QString kGravado = "1|01|0|TINTO;2|03|1|TINTO;3|06||TINTO";

    void Base() {
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('01', 'PREPARACAO')");
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('03', 'TINGIMENTO')");
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('06', 'SECAGEM')");
        for (const char* passo : {"1, 0, '01'", "2, 1, '03'", "3, NULL, '06'"})
            Sql(QStringLiteral("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES "
                               "('000001', 'TINTO', %1)")
                    .arg(passo));
        Sql("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES ('000002', 'CRU', 1, 1, "
            "'01')");
        db->Transaction()->CommitRetaining();
        driver->Open("TfmTngRoteiro");
    }
    // The stored steps of a route, in order, as "ORDEM|FASE|DIAS|DESCRICAO;...".
    QString Gravado(const QString& codigo = "000001") {
        return RowsSeenByOthers("SELECT ORDEM, FASE, DIAS, DESCRICAO FROM ROTEIRO WHERE CODIGO = '" + codigo +
                                "' ORDER BY ORDEM")
            .join(';');
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
    void leavingTheCodeLoadsOrOffersTheRoute();
    void newRouteWithLookUpsSortedStepsAndBlankDays();
    void refusedStepLeavesTheStoredRouteIntact();
    void gridOfOnlyEmptyStepsRemovesTheRoute();
    void routeUsedByAFalCannotBeDeleted();
    void routeStoredByAnotherSinceLoadedIsNotReplaced();
    void routeChangedOrDeletedByAnotherSinceLoadedIsNotReplaced();
    void saveRacingAnotherWorkstationsSaveOfTheSameNewRoute();
    void routeHeldByAnotherWorkstationWaitsAsAnyWrite();
};

namespace {
const QString kAlterado =
    QStringLiteral("O roteiro %1 foi gravado ou alterado por outro usuário depois que esta "
                   "tela o carregou; nada foi gravado. Ao sair do código, o roteiro é "
                   "carregado como está agora.");
}

void TstTngRoteiro::leavingTheCodeLoadsOrOffersTheRoute() {
    Base();
    Abre("000001");
    QCOMPARE(driver->Text("EdtDescricao"), QStringLiteral("TINTO"));
    QCOMPARE(Grade()->model()->rowCount(), 3);
    QCOMPARE(Exibida(1, 2), QStringLiteral("TINGIMENTO"));
    QVERIFY(messages.shown.isEmpty());

    messages.questions.enqueue(false);
    Abre("000009");
    QCOMPARE(messages.shown.last().text, QStringLiteral("Roteiro não Cadastrado. Deseja Cadastrar?"));
    QCOMPARE(driver->Text("EdtCodigo"), QString());
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodigo"));
    QCOMPARE(Grade()->model()->rowCount(), 0);

    messages.questions.enqueue(true);
    Abre("000009");
    QCOMPARE(Grade()->model()->rowCount(), 1);
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtDescricao"));

    driver->Type("EdtCodigo", "000008");
    driver->Focus("BtFechar"); // on its way out the screen asks nothing
    QCOMPARE(messages.shown.count(), 2);
    messages.searches.enqueue("000002");
    driver->Click("PqRoteiro");
    QCOMPARE(driver->Text("EdtDescricao"), QStringLiteral("CRU"));
    QCOMPARE(Grade()->model()->rowCount(), 1);
    QVERIFY(messages.AllAnswered());
}

void TstTngRoteiro::newRouteWithLookUpsSortedStepsAndBlankDays() {
    Base();
    messages.questions.enqueue(true);
    Abre("000009");
    driver->Type("EdtDescricao", "NOVO");
    driver->Focus("DBGrid8");
    QCOMPARE(Grade()->SelectedField(), QStringLiteral("ORDEM")); // a new step starts in its order
    Celula("ORDEM", "2");
    Grade()->SelectField("FASE");
    messages.searches.enqueue("03");
    driver->Press("F4");
    QCOMPARE(Exibida(0, 2), QStringLiteral("TINGIMENTO"));
    driver->Press("Down");
    Celula("ORDEM", "1");
    Celula("FASE", "01");
    driver->Press("Tab"); // posted: the step takes its place by order
    QCOMPARE(Exibida(0, 2), QStringLiteral("PREPARACAO"));
    Celula("DIAS", "2");
    Linha(1);
    driver->Press("Down");
    Celula("ORDEM", "5");
    Celula("FASE", "06");
    driver->Press("Ctrl+Del");
    driver->Press("Down"); // an empty step is left out of the save
    driver->Click("BitBtn1");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravado("000009"), QStringLiteral("1|01|2|NOVO;2|03||NOVO"));
    // The saved route stays on screen, as stored; saving it again changes nothing.
    QCOMPARE(Grade()->model()->rowCount(), 2);
    QCOMPARE(Exibida(1, 2), QStringLiteral("TINGIMENTO"));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodigo"));
    messages.Clear();
    driver->Click("BitBtn1");
    QCOMPARE(Gravado("000009"), QStringLiteral("1|01|2|NOVO;2|03||NOVO"));
    // Coming back into the grid does not check the code again nor reload over what is there.
    driver->Focus("DBGrid8");
    QVERIFY2(messages.shown.isEmpty(),
             qPrintable(messages.shown.isEmpty() ? "" : messages.shown.last().text));
    QCOMPARE(Grade()->model()->rowCount(), 2);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 0);
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
    QCOMPARE(messages.shown.last().kind, QStringLiteral("search"));
    QCOMPARE(Grade()->currentIndex().row(), 2);
    QCOMPARE(Grade()->SelectedField(), QStringLiteral("FASE"));
    db->Transaction()->CommitRetaining(); // as the next save of any screen would
    QCOMPARE(Gravado(), kGravado);

    Celula("FASE", "06");
    Celula("ORDEM", "");
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), QStringLiteral("Ordem inválida."));
    QCOMPARE(Grade()->SelectedField(), QStringLiteral("ORDEM"));
    driver->Type("EdtDescricao", "");
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), QStringLiteral("Descrição inválida."));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtDescricao"));
    db->Transaction()->CommitRetaining();
    QCOMPARE(Gravado(), kGravado);

    driver->Type("EdtCodigo", "");
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), QStringLiteral("Código inválido."));
    QCOMPARE(Gravado(), kGravado);
}

void TstTngRoteiro::gridOfOnlyEmptyStepsRemovesTheRoute() {
    Base();
    Abre("000001");
    driver->Focus("DBGrid8");
    for (int linha = 0; linha < 3; ++linha) {
        Linha(linha);
        Celula("ORDEM", "");
        Celula("FASE", "");
    }
    driver->Click("BitBtn1");
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(Gravado(), QString());
    QCOMPARE(Gravado("000002"), QStringLiteral("1|01|1|CRU"));
}

void TstTngRoteiro::routeUsedByAFalCannotBeDeleted() {
    Base();
    Sql("INSERT INTO FAL (NUMERO, ROTEIRO) VALUES ('0000001', '000001')");
    db->Transaction()->CommitRetaining();
    driver->Click("BtExcluir");
    QCOMPARE(messages.LastText(), QStringLiteral("Código inválido."));
    Abre("000001");
    driver->Click("BtExcluir");
    QCOMPARE(messages.LastText(), QStringLiteral("Roteiro está sendo usado na FAL, impossível excluir."));
    QCOMPARE(Gravado(), kGravado);

    Abre("000002");
    messages.questions.enqueue(false);
    driver->Click("BtExcluir");
    QCOMPARE(messages.shown.last().text, QStringLiteral("Deseja realmente eliminar todo o roteiro?"));
    QCOMPARE(Gravado("000002"), QStringLiteral("1|01|1|CRU"));
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Gravado("000002"), QString());
    QCOMPARE(Gravado(), kGravado);
    QCOMPARE(Scalar("SELECT TITULO || '|' || TEXTO || '|' || TIPO || '|' || CHAVE FROM LOG").toString(),
             QStringLiteral("CADASTRO DE ROTEIRO|EXCLUSAO DO ROTEIRO 000002|2|000002"));
    QCOMPARE(driver->Text("EdtCodigo"), QString());
    QCOMPARE(Grade()->model()->rowCount(), 0);
    QVERIFY(messages.AllAnswered());
}

// Two users typing the same new route: the second save neither adds its steps to the first one's nor
// replaces them.
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
    QCOMPARE(Gravado("000009"), QStringLiteral("1|03|2|DELE"));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodigo"));
    QCOMPARE(Grade()->model()->rowCount(), 1); // what was typed stays in sight until the route is loaded
    QCOMPARE(Exibida(0, 1), QStringLiteral("01"));

    // Leaving the code loads the route as stored; changed from there, it saves.
    driver->Press("Tab");
    QCOMPARE(driver->Text("EdtDescricao"), QStringLiteral("DELE"));
    QCOMPARE(Exibida(0, 1), QStringLiteral("03"));
    driver->Type("EdtDescricao", "NOSSO");
    messages.Clear();
    driver->Click("BitBtn1");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravado("000009"), QStringLiteral("1|03|2|NOSSO"));
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
    const QString alterado = "1|01|0|TINTO;2|03|1|TINTO;3|06|5|TINTO";
    QCOMPARE(Gravado(), alterado);

    // A route deleted since it was loaded is not brought back either.
    driver->Press("Tab");
    QCOMPARE(Exibida(2, 3), QStringLiteral("5"));
    driver->Focus("DBGrid8");
    Celula("DIAS", "9");
    SqlOn(*other, "DELETE FROM ROTEIRO WHERE CODIGO = '000001'");
    other->Transaction()->CommitRetaining();
    messages.Clear();
    driver->Click("BitBtn1");
    QCOMPARE(messages.Texts(), QStringList{kAlterado.arg("000001")});
    QCOMPARE(Gravado(), QString());
    QCOMPARE(Gravado("000002"), QStringLiteral("1|01|1|CRU"));
}

// The other workstation commits its save of the same new route while this one waits for the route's lock.
void TstTngRoteiro::saveRacingAnotherWorkstationsSaveOfTheSameNewRoute() {
    Base();
    messages.questions.enqueue(true);
    Abre("000009");
    driver->Type("EdtDescricao", "MEU");
    driver->Focus("DBGrid8");
    Celula("ORDEM", "1");
    Celula("FASE", "01");
    QSemaphore travado, falha;
    std::unique_ptr<QThread> outra(QThread::create([this, &travado, &falha] {
        TZoDatabase other("kelm-test-race");
        try {
            other.Open(config);
            SqlOn(other, "INSERT INTO TRAVA_GRAVACAO (TABELA, CHAVE) VALUES ('ROTEIRO', '000009')");
            SqlOn(other,
                  "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES ('000009', 'DELE', "
                  "1, 2, '03')");
            travado.release();
            QThread::msleep(700);
            other.Transaction()->CommitRetaining();
        } catch (const EDatabaseError&) {
            falha.release();
            travado.release();
        }
        other.Close();
    }));
    outra->start();
    travado.acquire();
    QVERIFY(!falha.available());
    driver->Click("BitBtn1");
    outra->wait();
    QCOMPARE(messages.LastText(), kAlterado.arg("000009"));
    QCOMPARE(Gravado("000009"), QStringLiteral("1|03|2|DELE"));
}

// A lock kept past the write time limit ends the save as any such write does, with nothing written.
void TstTngRoteiro::routeHeldByAnotherWorkstationWaitsAsAnyWrite() {
    Base();
    Abre("000001");
    driver->Focus("DBGrid8");
    Celula("DIAS", "9");
    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "INSERT INTO TRAVA_GRAVACAO (TABELA, CHAVE) VALUES ('ROTEIRO', '000001')");
    db->LockTimeoutMs = 1000;
    driver->Click("BitBtn1");
    QCOMPARE(messages.shown.last().title, QStringLiteral("Erro"));
    QVERIFY2(messages.LastText().startsWith("A gravação esperou mais de 1 segundos"),
             qPrintable(messages.LastText()));
    other->Transaction()->Rollback();
    QCOMPARE(Gravado(), kGravado);
    // Once the other workstation lets go, the same save goes through, and takes the lock row of its own.
    messages.Clear();
    driver->Click("BitBtn1");
    QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Gravado(), QStringLiteral("1|01|9|TINTO;2|03|1|TINTO;3|06||TINTO"));
    SqlOn(*other, "UPDATE TRAVA_GRAVACAO SET CHAVE = CHAVE WHERE TABELA = 'ROTEIRO' AND CHAVE = '000001'");
    Celula("DIAS", "8");
    driver->Click("BitBtn1");
    QVERIFY2(messages.LastText().startsWith("A gravação esperou mais de 1 segundos"),
             qPrintable(messages.LastText()));
    other->Transaction()->Rollback();
    QCOMPARE(Gravado(), QStringLiteral("1|01|9|TINTO;2|03|1|TINTO;3|06||TINTO"));
}

QTEST_MAIN(TstTngRoteiro)
#include "tst_tngroteiro.moc"
