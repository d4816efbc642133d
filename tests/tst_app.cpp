// The host application: log-in, the error handler's rollback, the log viewer, host-table printing, a
// scenario's writes and where screens open.
#include "Acesso.h"
#include "ClassRegistry.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "FmLog.h"
#include "FmLogin.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "Formatacao.h"
#include "HostError.h"
#include "HostUi.h"
#include "KelmApplication.h"
#include "ScriptRunner.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A control whose handler fails the way a database write can.
class Failing : public QWidget {
public:
    std::function<void()> onClick;

protected:
    // As every entry from Qt into our code, through the protected call.
    void mousePressEvent(QMouseEvent*) override { ExecutaProtegido(onClick); }
};
} // namespace

class TstApp : public DatabaseTestCase {
    Q_OBJECT
private slots:
    void loginRefusesWrongPasswordAndInactiveUsers();
    void errorHandlerRollsBackAndGoesOn();
    void auditLogViewerShowsKindAndScreenByMeaning();
    void hostTablePrintHasEveryGridColumn();
    void menuBringsAnOpenScreenForward();
    void failedScenarioWriteStillSeesOthersCommits();
    void dialogOpensOverTheScreenThatAsks();
};

void TstApp::loginRefusesWrongPasswordAndInactiveUsers() {
    Sql(QStringLiteral(
            "INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, ATIVO) VALUES ('005', 'ANA', '%1', 'N')")
            .arg(HashSenha("005", "ana")));
    SessaoAtual().usuario.clear();
    TFmLogin login("teste");
    login.show();
    auto* user = login.findChild<QLineEdit*>("EdtUsuario");
    auto* password = login.findChild<QLineEdit*>("EdtSenha");
    user->setText("ADMIN");
    password->setText("errada");
    login.Entrar();
    QVERIFY(login.result() != QDialog::Accepted);
    QVERIFY(vUsuario().isEmpty());
    user->setText("ANA"); // right password, inactive user
    password->setText("ana");
    login.Entrar();
    QVERIFY(vUsuario().isEmpty());
    user->setText("admin"); // names are matched as stored
    password->setText("kelm");
    login.Entrar(); // third failure closes the log-in
    QCOMPARE(login.result(), int(QDialog::Rejected));

    TFmLogin second("teste");
    second.findChild<QLineEdit*>("EdtUsuario")->setText("ADMIN");
    second.findChild<QLineEdit*>("EdtSenha")->setText("kelm");
    second.Entrar();
    QCOMPARE(second.result(), int(QDialog::Accepted));
    QCOMPARE(vUsuarioCodigo(), "001");
}

void TstApp::errorHandlerRollsBackAndGoesOn() {
    Failing widget;
    widget.onClick = [this] {
        Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'metade')");
        Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'duplicada')"); // key violation
    };
    widget.show();
    QTest::mouseClick(&widget, Qt::LeftButton); // through the application's notify, as a real click
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown[0].text.contains("PRIMARY", Qt::CaseInsensitive) ||
                 messages.shown[0].text.contains("violation", Qt::CaseInsensitive),
             qPrintable(messages.shown[0].text));
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 0); // the first insert went with it
    widget.onClick = [this] {
        Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'depois')");
        Commit();
    };
    QTest::mouseClick(&widget, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(Scalar("SELECT DESCRICAO FROM REGIAO").toString(), "depois");
}

void TstApp::auditLogViewerShowsKindAndScreenByMeaning() {
    TFmTabelaHost::RegistraTelas();
    QObject regioes, desconhecida;
    regioes.setObjectName("FmHostRegiao");
    desconhecida.setObjectName("FmNaoRegistrada");
    GeraLog("REGIAO", "INCLUSAO DA REGIAO 01", opInclusao, "01", &regioes);
    GeraLog("REGIAO", "ALTERACAO DA REGIAO 01", opAlteracao, "01", &regioes);
    GeraLog("REGIAO", "EXCLUSAO DA REGIAO 01", opExclusao, "01", &regioes);
    GeraLog("REGIAO", "IMPRESSAO", opOutros, "01", &regioes);
    GeraLog("OUTRA", "DE OUTRA TELA", 7, "99", &desconhecida);
    Commit();

    TFmLog log;
    QAbstractItemModel* model = log.findChild<TZoDBGrid*>("DBGrid1")->model();
    // Newest first: what each row shows under Tela and Tipo.
    QStringList shown;
    for (int r = 0; r < model->rowCount(); ++r)
        shown << model->index(r, 3).data().toString() + " / " + model->index(r, 5).data().toString();
    QCOMPARE(shown,
             QStringList({"FmNaoRegistrada / 7", "Regiões de Preço / Outros", "Regiões de Preço / Exclusão",
                          "Regiões de Preço / Alteração", "Regiões de Preço / Inclusão"}));
    // The screen filter takes the caption as users read it, or the object name a screen passes.
    log.findChild<QLineEdit*>("EdtFormulario")->setText("regiões");
    log.Pesquisa();
    QCOMPARE(log.Linhas()->RecordCount(), 4);
    log.Filtra("FmHostRegiao", "01");
    QCOMPARE(log.Linhas()->RecordCount(), 4);
    QCOMPARE(model->columnCount(), 8); // the stored columns stay out of sight after a new search
    log.Filtra(QString(), "99");       // by key
    QCOMPARE(log.Linhas()->FieldByName("TEXTO").AsString(), "DE OUTRA TELA");
}

void TstApp::hostTablePrintHasEveryGridColumn() {
    TFmTabelaHost::RegistraTelas();
    Sql("INSERT INTO PRODUTO (CODIGO, DESCRICAO, PRECO, GRAMATURA, ATIVO) VALUES ('000101', "
        "'MEIA MALHA 30/1 PENTEADA', 31.1234, 160.5, 'S')");
    auto* screen = qobject_cast<TFmTabelaHost*>(driver->Open("TFmHostProduto"));
    QVERIFY(screen);
    TDataSet* data = driver->Get<TZoDBGrid>("DBGrid1")->DataSet();
    QAbstractItemModel* grid = driver->Get<TZoDBGrid>("DBGrid1")->model();
    const TRelatorio report = screen->Relatorio();
    QCOMPARE(report.Colunas().size(), grid->columnCount());
    QVERIFY(grid->columnCount() > 8);
    for (int c = 0; c < grid->columnCount(); ++c) {
        const ColunaRelatorio& column = report.Colunas()[c];
        QCOMPARE(column.titulo, grid->headerData(c, Qt::Horizontal).toString());
        QVERIFY(!column.totaliza); // a register's listing sums nothing
        // Numbers print as the grid shows them: the price with its four decimals, nothing rounded.
        if (column.campo == "PRECO" || column.campo == "GRAMATURA") {
            const QVariant value = data->FieldByName(column.campo).Value();
            QCOMPARE(grid->index(0, c).data().toString(), column.casas >= 0
                                                              ? TextoExibicao(value.toDouble(), column.casas)
                                                              : TextoExibicao(value));
        }
    }
    QCOMPARE(grid->index(0, data->FieldIndex("PRECO")).data().toString(), "31,1234");

    const ReportFolder folder;
    driver->Click("BtImprimir");
    QVERIFY(QFileInfo(folder.Path("WPRODUTO.pdf")).size() > 0);
    QVERIFY(messages.shown.isEmpty());
}

void TstApp::menuBringsAnOpenScreenForward() {
    TFmTabelaHost::RegistraTelas();
    TFmPrincipal window;
    window.show();
    auto* action = window.findChild<QAction*>("TFmHostRegiao");
    QVERIFY(action);
    action->trigger();
    window.findChild<QAction*>("TFmHostTurno")->trigger();
    action->trigger();
    QCOMPARE(window.Area()->subWindowList().size(), 2);
    QCOMPARE(window.Area()->activeSubWindow()->widget()->windowTitle(), "Regiões de Preço");
    window.Area()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstApp::failedScenarioWriteStillSeesOthersCommits() {
    QJSEngine engine;
    ScriptApi api(engine, *driver, messages);
    api.exec("INSERT INTO BANHO (DESCRICAO) VALUES ('SEM CODIGO')");
    QVERIFY(engine.catchError().isError());
    const auto other = OpenSecond("outro");
    SqlOn(*other, "INSERT INTO BANHO (CODIGO) VALUES ('02')");
    other->Transaction()->CommitRetaining();
    QCOMPARE(api.sql("SELECT COUNT(*) AS N FROM BANHO").property(0).property("N").toInt(), 1);
}

// A dialog a screen opens (modal, as the services of a lot sheet) comes up centred over that screen.
void TstApp::dialogOpensOverTheScreenThatAsks() {
    TFmTabelaHost::RegistraTelas();
    RegisterClass({"TelaDialogo", "Diálogo", QString(), ScreenKind::Dialog, 0}, [](QWidget* parent) {
        auto* dialog = new QWidget(parent);
        dialog->resize(300, 200);
        return dialog;
    });
    const auto retira = qScopeGuard([] { UnRegisterClass("TelaDialogo"); });
    TFmPrincipal window;
    window.setGeometry(200, 150, 560, 420);
    window.show();
    window.findChild<QAction*>("TFmHostRegiao")->trigger();
    QWidget* opener = window.Area()->activeSubWindow()->widget();
    const std::unique_ptr<QWidget> dialog(Carrega_Form(QString(), "TelaDialogo", QString(), true, false));
    const QRect area(opener->mapToGlobal(QPoint(0, 0)), opener->size());
    QVERIFY(area.contains(dialog->frameGeometry().center()));
}

int main(int argc, char** argv) {
    KelmApplication app(argc, argv);
    TstApp test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_app.moc"
