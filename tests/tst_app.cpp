// The host application: log-in, the error handler's rollback, host-table maintenance and the log viewer.
#include "Acesso.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "FmLog.h"
#include "FmLogin.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "HostError.h"
#include "HostUi.h"
#include "KelmApplication.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
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
    void hostTableMaintenanceSavesAndDeletes();
    void auditLogViewerFiltersByKey();
    void menuBringsAnOpenScreenForward();
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
    QCOMPARE(login.findChild<QLabel*>("LblErro")->text(), QStringLiteral("Usuário ou senha inválidos."));
    QVERIFY(password->text().isEmpty());
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
    QCOMPARE(vUsuario(), QStringLiteral("ADMIN"));
    QCOMPARE(vUsuarioCodigo(), QStringLiteral("001"));
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
    QCOMPARE(messages.shown[0].title, QStringLiteral("Erro"));
    QVERIFY(messages.shown[0].icon == MsgIcon::Error);
    QVERIFY2(messages.shown[0].text.contains("PRIMARY", Qt::CaseInsensitive) ||
                 messages.shown[0].text.contains("violation", Qt::CaseInsensitive),
             qPrintable(messages.shown[0].text));
    QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 0); // the first insert went with it
    widget.onClick = [this] {
        Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'depois')");
        db->Transaction()->CommitRetaining();
    };
    QTest::mouseClick(&widget, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(Scalar("SELECT DESCRICAO FROM REGIAO").toString(), QStringLiteral("depois"));
}

void TstApp::hostTableMaintenanceSavesAndDeletes() {
    TFmTabelaHost::RegistraTelas();
    driver->Open("TFmHostRegiao");
    driver->Click("BtIncluir");
    auto* grid = driver->Get<TZoDBGrid>("DBGrid1");
    auto* model = grid->model();
    const int row = grid->DataSet()->RecNo();
    model->setData(model->index(row, 0), "07");
    model->setData(model->index(row, 1), "Região D'Oeste");
    driver->Click("SbConfirmar");
    auto other = OpenSecond("kelm-test-other");
    QCOMPARE(ScalarOn(*other, "SELECT DESCRICAO FROM REGIAO WHERE REGIAO = '07'").toString(),
             QStringLiteral("Região D'Oeste"));
    messages.questions.enqueue(false);
    driver->Click("BtExcluir");
    QCOMPARE(ScalarOn(*other, "SELECT COUNT(*) FROM REGIAO").toInt(), 1);
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(ScalarOn(*other, "SELECT COUNT(*) FROM REGIAO").toInt(), 0);
}

void TstApp::auditLogViewerFiltersByKey() {
    GeraLog("CADASTRO DE MAQUINA", "INCLUSAO DA MAQUINA 01", opInclusao, "01");
    GeraLog("CADASTRO DE MAQUINA", "INCLUSAO DA MAQUINA 02", opInclusao, "02");
    db->Transaction()->CommitRetaining();
    TFmLog log;
    QCOMPARE(log.Linhas()->RecordCount(), 2);
    log.Filtra(QString(), "02");
    QCOMPARE(log.Linhas()->RecordCount(), 1);
    QCOMPARE(log.Linhas()->FieldByName("TEXTO").AsString(), QStringLiteral("INCLUSAO DA MAQUINA 02"));
}

void TstApp::menuBringsAnOpenScreenForward() {
    TFmTabelaHost::RegistraTelas();
    TFmPrincipal window;
    window.show();
    auto* action = window.findChild<QAction*>("TFmHostRegiao");
    QVERIFY(action);
    action->trigger();
    action->trigger();
    QCOMPARE(window.Area()->subWindowList().size(), 1);
    window.findChild<QAction*>("TFmHostTurno")->trigger();
    QCOMPARE(window.Area()->subWindowList().size(), 2);
    action->trigger();
    QCOMPARE(window.Area()->activeSubWindow()->widget()->windowTitle(), QStringLiteral("Regiões de Preço"));
    window.Area()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int main(int argc, char** argv) {
    KelmApplication app(argc, argv);
    TstApp test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_app.moc"
