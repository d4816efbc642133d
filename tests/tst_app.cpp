// The host application: log-in, the error handler's rollback, host-table maintenance and the log viewer.
#include "Acesso.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DataSetModel.h"
#include "FmLog.h"
#include "FmLogin.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "Formatacao.h"
#include "HostError.h"
#include "HostUi.h"
#include "KelmApplication.h"
#include "TPesquisa.h"
#include "TTabelaDataSet.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
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
    void hostTableMaintenanceSavesAndDeletes();
    void auditLogViewerFiltersByKey();
    void auditLogViewerShowsKindAndScreenByMeaning();
    void hostTableScreensShowCaptions();
    void lookUpsShowTheScreensCaptions();
    void hostTablePrintHasEveryGridColumn();
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
    db->Transaction()->CommitRetaining();

    TFmLog log;
    auto* grid = log.findChild<TZoDBGrid*>("DBGrid1");
    QAbstractItemModel* model = grid->model();
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({"Data", "Hora", "Usuário", "Tela", "Título", "Tipo", "Chave", "Texto"}));
    // Newest first: what each row shows under Tela and Tipo.
    QStringList shown;
    for (int r = 0; r < model->rowCount(); ++r)
        shown << model->index(r, 3).data().toString() + " / " + model->index(r, 5).data().toString();
    QCOMPARE(shown,
             QStringList({"FmNaoRegistrada / 7", "Regiões de Preço / Outros", "Regiões de Preço / Exclusão",
                          "Regiões de Preço / Alteração", "Regiões de Preço / Inclusão"}));
    // Stored as before: the object name and the number.
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG WHERE FORMULARIO = 'FmHostRegiao'").toInt(), 4);
    QCOMPARE(Scalar("SELECT LIST(TIPO, ',') FROM (SELECT TIPO FROM LOG ORDER BY ID)").toString(),
             QStringLiteral("0,1,2,3,7"));

    // The screen filter takes the caption as users read it, or the object name a screen passes.
    log.findChild<QLineEdit*>("EdtFormulario")->setText("regiões");
    log.Pesquisa();
    QCOMPARE(log.Linhas()->RecordCount(), 4);
    log.Filtra("FmHostRegiao", "01");
    QCOMPARE(log.Linhas()->RecordCount(), 4);
    QCOMPARE(model->columnCount(), 8); // the stored columns stay out of sight after a new search
    QCOMPARE(log.Linhas()->FieldByName("FORMULARIO").AsString(), QStringLiteral("FmHostRegiao"));
    QCOMPARE(log.Linhas()->FieldByName("TIPO").AsInteger(), int(opOutros));
}

void TstApp::hostTableScreensShowCaptions() {
    TFmTabelaHost::RegistraTelas();
    for (const TFmTabelaHost::Definition& definition : TFmTabelaHost::Definitions()) {
        auto* screen = driver->Open(definition.className);
        auto* data = driver->Get<TZoDBGrid>("DBGrid1")->DataSet();
        // Every column of the table has a caption of its own, hidden ones too; only acronyms read as
        // their column's name.
        for (const FieldDef& field : data->FieldDefs()) {
            const bool acronym = QStringList{"CEP", "UF"}.contains(field.name);
            QVERIFY2(!field.displayLabel.isEmpty() && (acronym || field.displayLabel != field.name),
                     qPrintable(definition.table + "." + field.name));
            QCOMPARE(field.displayLabel, LegendaCampo(definition.table, field.name));
        }
        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    driver->Open("TFmHostEntidade");
    QAbstractItemModel* model = driver->Get<TZoDBGrid>("DBGrid1")->model();
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    for (const char* caption :
         {"Código", "Razão Social", "Nome Fantasia", "Tipo", "CNPJ/CPF", "Ativo", "Limite de Crédito"})
        QVERIFY2(headers.contains(caption), qPrintable(caption + (": " + headers.join(", "))));
    QVERIFY(!headers.contains("FANTASIA") && !headers.contains("TIPO_ENTIDADE") &&
            !headers.contains("CODCLI"));

    driver->Open("TFmHostUsuarios");
    auto* users = qobject_cast<TTabelaDataSet*>(driver->Get<TZoDBGrid>("DBGrid1")->DataSet());
    QVERIFY(users);
    users->Refresh(); // as after a rollback: what the screen set stays
    model = driver->Get<TZoDBGrid>("DBGrid1")->model();
    headers.clear();
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({"Código", "Nome", "Funcionário", "Supervisor", "Administrador", "Ativo"}));
}

void TstApp::lookUpsShowTheScreensCaptions() {
    TFmTabelaHost::RegistraTelas();
    Sql("INSERT INTO ENTIDADE (CODCLI, NOME, FANTASIA, CNPJ) VALUES ('00007', 'Malhas Conceição Ltda', "
        "'MALHAS CONCEIÇÃO', '61.423.895/0001-61')");
    driver->Open("TFmHostEntidade");
    TDataSet* screen = driver->Get<TZoDBGrid>("DBGrid1")->DataSet();

    TPesquisa search;
    search.Tabela = "ENTIDADE";
    search.CampoChave = "CODCLI";
    search.Campos = QStringList{"CODCLI", "NOME", "FANTASIA", "CNPJ"};
    TDataSet* rows = search.Busca("conceição");
    QCOMPARE(rows->RecordCount(), 1);
    QAbstractItemModel* model = DataSetModel::Of(rows);
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString field = search.Campos[c];
        QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), screen->FieldDefByName(field).displayLabel);
    }
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Razão Social"));

    // Other tables: the usual captions of their columns.
    TPesquisa groups;
    groups.Tabela = "GRUPO_COR";
    groups.CampoChave = "CODIGO";
    groups.Campos = QStringList{"CODIGO", "DESCRICAO"};
    model = DataSetModel::Of(groups.Busca(QString()));
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descrição"));
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
    QCOMPARE(grid->index(0, data->FieldIndex("PRECO")).data().toString(), QStringLiteral("31,1234"));

    // The button writes it.
    const QTemporaryDir folder;
    qputenv("KELM_REPORT_DIR", folder.path().toUtf8());
    driver->Click("BtImprimir");
    qunsetenv("KELM_REPORT_DIR");
    QVERIFY(QFileInfo(folder.filePath("WPRODUTO.pdf")).size() > 0);
    QVERIFY(messages.shown.isEmpty());
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
