// Failures never cross Qt's own code: a hook that throws inside a grid edit and a button whose handler
// throws are shown once, undo the unit of work, and leave the grid and the screen working.
#include "DBControls.h"
#include "DataSet.h"
#include "HostError.h"
#include "KelmApplication.h"
#include "TClientDataSet.h"
#include "TestDatabase.h"
#include <QLineEdit>
#include <QTest>
#include <stdexcept>

namespace {
// What reached the application's last net instead of the protected call.
QStringList g_unprotected;
QtMessageHandler g_previous = nullptr;

void catchUnprotected(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("unprotected failure")))
        g_unprotected << text;
    if (g_previous)
        g_previous(type, context, text);
}
} // namespace

class TstProtecao : public ScreenTestCase {
    Q_OBJECT
    TZoDBGrid* Grade() { return driver->Get<TZoDBGrid>("DBGrid8"); }
    TClientDataSet* Passos() { return driver->Screen()->findChild<TClientDataSet*>("TbTemp"); }

    // A new route, with the grid's first row open for typing.
    void NovoRoteiro() {
        Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('01', 'PREPARACAO')");
        db->Transaction()->CommitRetaining();
        driver->Open("TfmTngRoteiro");
        messages.questions.enqueue(true); // "Roteiro não Cadastrado. Deseja Cadastrar?"
        driver->Type("EdtCodigo", "000007");
        driver->Press("Tab");
        driver->Type("EdtDescricao", "TINTO");
    }
    // Types into a cell through the grid's own editor and leaves it with Tab, as a user does.
    void Digita(const QString& field, const QString& text) {
        driver->Focus("DBGrid8");
        Grade()->SelectField(field);
        Grade()->edit(Grade()->currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY2(editor, "the cell has no text editor");
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Tab);
        ProcessEvents();
    }
    // A write of this unit of work that a rollback must take away.
    void EscritaPendente() {
        Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('09', 'pendente')");
        QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 1);
    }

private slots:
    void initTestCase() {
        ScreenTestCase::initTestCase();
        g_previous = qInstallMessageHandler(catchUnprotected);
    }
    void cleanupTestCase() {
        qInstallMessageHandler(g_previous);
        ScreenTestCase::cleanupTestCase();
    }
    void hookThrowingInAGridEdit();
    void buttonWhoseHandlerThrows();
};

void TstProtecao::hookThrowingInAGridEdit() {
    NovoRoteiro();
    Digita("ORDEM", "1");
    Digita("FASE", "01");
    QVERIFY(Passos()->Post());
    EscritaPendente();

    // The edit of a stored row starts in the model's setData, called by Qt's item view.
    Passos()->BeforeEdit = [](TDataSet&) { throw EDatabaseError(QStringLiteral("falha ao editar o passo")); };
    messages.Clear();
    Digita("DIAS", "4");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Erro"));
    QCOMPARE(messages.shown[0].text, QStringLiteral("falha ao editar o passo"));
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 0); // rolled back
    QCOMPARE(Passos()->State(), DataSetState::Browse);
    QVERIFY(Passos()->FieldByName("DIAS").IsNull());

    // The grid goes on: the same cell takes a value once the hook lets it, and the route saves.
    Passos()->BeforeEdit = nullptr;
    Digita("DIAS", "4");
    QCOMPARE(Passos()->FieldByName("DIAS").AsInteger(), 4);
    QCOMPARE(Grade()->model()->index(0, Grade()->DataSet()->FieldIndex("DIAS")).data().toString(), "4");
    driver->Click("BitBtn1");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(Scalar("SELECT DIAS FROM ROTEIRO WHERE CODIGO = '000007'").toInt(), 4);
    QVERIFY(g_unprotected.isEmpty());
}

void TstProtecao::buttonWhoseHandlerThrows() {
    NovoRoteiro();
    Digita("ORDEM", "1");
    Digita("FASE", "01"); // Tab out of the phase posts the step
    Digita("DIAS", "3");  // a change still pending in the row
    EscritaPendente();

    // Save posts the open row first; a hook that fails there with a plain C++ exception.
    Passos()->BeforePost = [](TDataSet&) { throw std::runtime_error("falha ao gravar o passo"); };
    messages.Clear();
    driver->Click("BitBtn1");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, QStringLiteral("falha ao gravar o passo"));
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 0);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM ROTEIRO").toInt(), 0);
    QCOMPARE(Passos()->State(), DataSetState::Edit); // what the user typed is still there
    QCOMPARE(Passos()->FieldByName("DIAS").AsInteger(), 3);

    // The same button works once the failure is gone.
    Passos()->BeforePost = nullptr;
    driver->Click("BitBtn1");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(Scalar("SELECT FASE FROM ROTEIRO WHERE CODIGO = '000007'").toString(), QStringLiteral("01"));
    QVERIFY(g_unprotected.isEmpty());
}

int main(int argc, char** argv) {
    KelmApplication app(argc, argv);
    TstProtecao test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_protecao.moc"
