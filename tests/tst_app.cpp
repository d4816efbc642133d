// The application: log-in, users and rights, menus, the error handler's rollback, the log viewer, host-table
// printing, a scenario's writes and the end on Ctrl+C and SIGTERM.
#include "Acesso.h"
#include "ClassRegistry.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DataSet.h"
#include "FmLog.h"
#include "FmLogin.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "Formatacao.h"
#include "HostError.h"
#include "KelmApplication.h"
#include "Mnemonicos.h"
#include "Protecao.h"
#include "ScriptRunner.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QAbstractButton>
#include <QAction>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTest>
#include <csignal>
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

class TstApp : public ScreenTestCase {
    Q_OBJECT
    QString Senha(const QString& code) {
        return Seen("SELECT SENHA FROM ACESSO_USUARIOS WHERE CODIGO = '" + code + "'");
    }
    // The user and password typed and "Entrar" pressed; whether the log-in let the user in.
    static bool Entra(TFmLogin& login, const char* user, const char* password) {
        login.findChild<QLineEdit*>("EdtUsuario")->setText(user);
        login.findChild<QLineEdit*>("EdtSenha")->setText(password);
        login.Entrar();
        return login.result() == QDialog::Accepted;
    }
    QStringList Log() { return RowsSeenByOthers("SELECT USUARIO, TIPO, CHAVE, TEXTO FROM LOG ORDER BY ID"); }
    static QList<QChar> Letras(const QList<QAction*>& actions) {
        QList<QChar> letters;
        for (const QAction* action : actions)
            if (!action->isSeparator())
                letters << Mnemonico(action->text());
        return letters;
    }
    TClientDataSet* Passos() { return driver->Screen()->findChild<TClientDataSet*>("TbTemp"); }
    // Types into a cell through the grid's own editor and leaves it with Tab, as a user does.
    void Digita(const QString& field, const QString& text) {
        driver->Focus("DBGrid8");
        QLineEdit* editor = TypeInCell("DBGrid8", field, text);
        QVERIFY2(editor, "the cell has no text editor");
        QTest::keyClick(editor, Qt::Key_Tab);
        ProcessEvents();
    }
    // A write of this unit of work that a rollback must take away.
    void EscritaPendente() { Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('09', 'pendente')"); }

private slots:
    void initTestCase() {
        ScreenTestCase::initTestCase();
        TFmTabelaHost::RegistraTelas();
        g_previous = qInstallMessageHandler(catchUnprotected);
    }
    void cleanupTestCase() {
        qInstallMessageHandler(g_previous);
        ScreenTestCase::cleanupTestCase();
        QVERIFY(g_unprotected.isEmpty());
    }

    void loginRefusesWrongPasswordAndInactiveUsers() {
        AddUser("005", "ANA", "ana", "NNN");
        SessaoAtual().usuario.clear();
        TFmLogin login("teste");
        login.show();
        QVERIFY(!Entra(login, "ADMIN", "errada"));
        QVERIFY(vUsuario().isEmpty());
        QVERIFY(!Entra(login, "ANA", "ana")); // right password, inactive user
        QVERIFY(vUsuario().isEmpty());
        // Names are matched as stored; the third failure closes the log-in.
        QVERIFY(!Entra(login, "admin", "kelm"));
        QCOMPARE(login.result(), int(QDialog::Rejected));
        TFmLogin second("teste");
        QVERIFY(Entra(second, "ADMIN", "kelm"));
        QCOMPARE(vUsuarioCodigo(), "001");
    }

    void passwordsSaltedCheckedAndUpgraded() {
        QCOMPARE( // RFC 6070: many iterations, two blocks
            Pbkdf2Sha256("passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 40)
                .toHex(),
            QByteArray("348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"));
        const QString first = HashSenha("002", "segredo"), second = HashSenha("003", "segredo");
        QCOMPARE(first.section('$', 0, 1), "pbkdf2-sha256$100000");
        QVERIFY(first.section('$', 2, 2) != second.section('$', 2, 2));
        QVERIFY(ConfereSenha("002", "segredo", first) && !ConfereSenha("002", "Segredo", first));

        // An old unsalted hash: a wrong password changes nothing, the right one is derived again.
        const QString old = QString::fromLatin1(
            QCryptographicHash::hash(QByteArray("002:velha-senha"), QCryptographicHash::Sha256).toHex());
        SqlCommit(QStringLiteral(
                      "INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA) VALUES ('002', 'OPERADOR', '%1')")
                      .arg(old));
        SessaoAtual().usuario.clear();
        TFmLogin login("teste");
        const auto enter = [&](const char* password) { return Entra(login, "OPERADOR", password); };
        QVERIFY(!enter("errada"));
        QCOMPARE(Senha("002"), old);
        QVERIFY(enter("velha-senha"));
        const QString upgraded = Senha("002");
        QVERIFY2(upgraded.startsWith("pbkdf2-sha256$100000$"), qPrintable(upgraded));
        QVERIFY(ConfereSenha("002", "velha-senha", upgraded));
        const QString log = Log().join('\n');
        QVERIFY2(log.startsWith("OPERADOR|3|002|") && !log.contains("velha-senha") && !log.contains(old) &&
                     !log.contains(upgraded.section('$', 3)),
                 qPrintable(log));
    }

    void plainUserCannotTakeOverTheAdministration() {
        // A floor operator: every ordinary screen through CLASSE '*', no flag. An inactive supervisor
        // releases nothing.
        AddUser("002", "OPERADOR", "op", "NNS");
        Grant("002", "*");
        AddUser("003", "CHEFE", "chefe", "SNN");
        Grant("003", "TFmCadFal", "A", 1);
        AddUser("005", "DIRETOR", "diretor", "SSN"); // administrator too
        Commit();
        QVERIFY(Autentica("OPERADOR", "op"));
        for (const QString& who : {QStringLiteral("CHEFE"), QStringLiteral("DIRETOR")}) {
            messages.logins.enqueue({who, who.toLower()});
            QVERIFY2(!Acessa("TFmCadFal", "A", "1") && vSupervisor().isEmpty(), qPrintable(who));
        }
        AddUser("004", "MARIA", "maria", "NNS");
        SqlCommit("UPDATE ACESSO_USUARIOS SET ATIVO = 'S'");
        messages.logins.enqueue({"CHEFE", "chefe"});
        QVERIFY(Acessa("TFmCadFal", "A", "1") && vSupervisor() == "CHEFE");
        QVERIFY(messages.AllAnswered());

        for (const char* screen : {"TFmHostUsuarios", "TFmHostDireitos", "TFmHostParametros"}) {
            messages.Clear(); // '*' does not reach them: only a supervisor's log-in, unanswered
            QVERIFY2(!ExecutaProtegido([&] { driver->Open(screen); }), screen);
            QVERIFY(messages.shown.size() == 1 && messages.shown[0].kind == "login");
        }
        // Even holding the users' and rights' screens.
        Grant("002", "TFmHostUsuarios");
        Grant("002", "TFmHostDireitos");
        Commit();
        const auto refused = [this](const char* button, const char* text) {
            driver->Click(button);
            QCOMPARE(messages.LastText(), QString::fromUtf8(text));
            messages.Clear();
            driver->Click("BtDesistir");
        };
        driver->Open("TFmHostUsuarios"); // rows: 001 ADMIN, 002 himself, 003 CHEFE
        Cells("DBGrid1", 0, {{"ATIVO", "N"}});
        refused("SbConfirmar", "Somente um administrador altera o cadastro de um administrador.");
        driver->Row("DBGrid1", 2);
        refused("BtSenha", "Somente um administrador define a senha de outro usuário.");
        QVERIFY(!driver->Screen()->findChild<TFmSenha*>());
        Cells("DBGrid1", 1, {{"ADMINISTRADOR", "S"}});
        refused("SbConfirmar", "Somente um administrador concede o perfil de administrador.");

        driver->Open("TFmHostDireitos");
        const auto grant = [this](const QString& user, const QString& className) {
            driver->Click("BtIncluir");
            driver->Cell("DBGrid1", "USUARIO", user);
            driver->Cell("DBGrid1", "CLASSE", className);
            driver->Cell("DBGrid1", "LETRA", "A");
            driver->Cell("DBGrid1", "NIVEL", "1");
        };
        grant("002", "TFmCadFal");
        refused("SbConfirmar", "Ninguém altera os próprios direitos de acesso: peça a um administrador.");
        grant("004", "TFmHostParametros");
        refused("SbConfirmar",
                "Somente um administrador concede direitos sobre as telas de usuários, direitos "
                "de acesso e parâmetros.");

        QCOMPARE(RowsSeenByOthers("SELECT CODIGO, ADMINISTRADOR, ATIVO FROM ACESSO_USUARIOS ORDER BY CODIGO"),
                 QStringList({"001|S|S", "002|N|S", "003|N|S", "004|N|S", "005|S|S"}));
        QVERIFY(Log().isEmpty());
    }

    void lastAdministratorStaysAndLogsHoldNoPasswords() {
        AddUser("002", "OPERADOR", "op", "NNS");
        Commit();
        driver->Open("TFmHostUsuarios");
        driver->Row("DBGrid1", 1);
        driver->Click("BtSenha");
        driver->Type("EdtNovaSenha", "nova1");
        driver->Type("EdtConfirmaSenha", "nova1");
        driver->Click("BtConfirmar");
        QVERIFY(ConfereSenha("002", "nova1", Senha("002")));

        driver->Row("DBGrid1", 0); // the only active administrator
        for (const char* field : {"ADMINISTRADOR", "ATIVO"}) {
            driver->Cell("DBGrid1", field, "N");
            driver->Click("SbConfirmar");
            QVERIFY(messages.LastText().startsWith("O usuário 001 é o último administrador ativo"));
            driver->Click("BtDesistir");
        }
        ClickAndAnswer("BtExcluir", true);
        QVERIFY(messages.LastText().endsWith("não pode ser excluído."));

        // With a second one, the other may go.
        Cells("DBGrid1", 1, {{"ADMINISTRADOR", "S"}});
        driver->Click("SbConfirmar");
        ClickAndAnswer("BtExcluir", true);
        QCOMPARE(Log(), QStringList({"ADMIN|1|002|Senha definida para o usuário 002 (OPERADOR).",
                                     "ADMIN|1|002|Alteração em Usuários (002): Administrador: N → S",
                                     "ADMIN|2|002|Exclusão em Usuários (002): Código: 002; Nome: OPERADOR; "
                                     "Supervisor: N; Administrador: S; Ativo: S"}));
    }

    // Administrators see every screen; others those whose right "A" they hold, where CLASSE '*' reaches every
    // screen but users, rights and parameters.
    void menusShowOnlyTheScreensTheUserMayOpen() {
        const auto shown = [] {
            TFmPrincipal window;
            QStringList entries;
            for (const ScreenInfo& info : RegisteredScreens())
                if (window.findChild<QAction*>(info.className))
                    entries << info.className;
            if (window.findChild<QAction*>("AcAlterarSenha"))
                entries << "AcAlterarSenha";
            return entries;
        };
        QStringList every; // dialogs open from their screens, not from the menus
        for (const ScreenInfo& info : RegisteredScreens())
            if (info.kind != ScreenKind::Dialog)
                every << info.className;
        every << "AcAlterarSenha";
        QCOMPARE(shown(), every); // the administrator

        AddUser("002", "OPERADOR", "op", "NNS");
        Grant("002", "TFmHostRegiao");
        Commit();
        QVERIFY(Autentica("OPERADOR", "op"));
        QCOMPARE(shown(), QStringList({"TFmHostRegiao", "AcAlterarSenha"}));

        // Every ordinary screen through '*'; the administration screens only by their own right.
        Grant("002", "*");
        Grant("002", "TFmHostParametros");
        Commit();
        QStringList expected = every;
        for (const char* administracao : {"TFmHostUsuarios", "TFmHostDireitos", "TFmHostPeriodoConciliado"})
            expected.removeAll(administracao);
        QCOMPARE(shown(), expected);
    }

    void menusAndScreensNeverShareALetterAndBringOpenScreensForward() {
        TFmPrincipal window;
        window.show();
        const QList<QChar> menus = Letras(window.menuBar()->actions());
        QVERIFY(!menus.contains(QChar()));
        for (QAction* menu : window.menuBar()->actions()) {
            const QList<QChar> items = Letras(menu->menu()->actions());
            QCOMPARE(QSet<QChar>(items.cbegin(), items.cend()).size(), items.size());
        }
        // Every screen's buttons: letters of their own and, while it is active, none of the menus'.
        for (const ScreenInfo& info : RegisteredScreens()) {
            // Dialogs open modally from the screen that needs them; their buttons are checked with it.
            if (info.kind == ScreenKind::Dialog)
                continue;
            const QString className = info.className;
            window.AbreTela(className);
            // A window of its own (the collector's) stands beside the main window, not in its area.
            QWidget* tela = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (info.kind == ScreenKind::Window && w->isVisible() && w->inherits(qPrintable(className)))
                    tela = w;
            QMdiSubWindow* active = tela ? nullptr : window.Area()->activeSubWindow();
            QVERIFY2(tela || active, qPrintable(className));
            if (!tela)
                tela = active->widget();
            QList<QChar> buttons;
            for (const QAbstractButton* b : tela->findChildren<QAbstractButton*>())
                if (const QChar letter = Mnemonico(b->text()); !letter.isNull())
                    buttons << letter;
            QVERIFY2(QSet<QChar>(buttons.cbegin(), buttons.cend()).size() == buttons.size(),
                     qPrintable(className));
            for (const QChar letter : Letras(window.menuBar()->actions()))
                QVERIFY2(!active || letter.isNull() || !buttons.contains(letter),
                         qPrintable(className + ": " + letter));
            active ? active->close() : tela->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // With no screen, the menus have their letters back.
        window.AjustaLetrasMenus();
        QCOMPARE(Letras(window.menuBar()->actions()), menus);

        // A menu entry brings its screen forward when it is open.
        auto* action = window.findChild<QAction*>("TFmHostRegiao");
        action->trigger();
        window.findChild<QAction*>("TFmHostTurno")->trigger();
        action->trigger();
        QCOMPARE(window.Area()->subWindowList().size(), 2);
        QCOMPARE(window.Area()->activeSubWindow()->widget()->windowTitle(), "Regiões de Preço");
        window.Area()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A hook failing in a grid's edit or under a button is shown, its unit of work rolled back, and the
    // screen goes on.
    void hooksThrowingInAGridEditAndUnderAButton() {
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARACAO'"});
        driver->Open("TfmTngRoteiro");
        messages.questions.enqueue(true); // "Roteiro não Cadastrado. Deseja Cadastrar?"
        TypeAndTab("EdtCodigo", "000007");
        driver->Type("EdtDescricao", "TINTO");
        Digita("ORDEM", "1");
        Digita("FASE", "01"); // Tab out of the phase posts the step
        EscritaPendente();

        // The edit of a stored row starts in the model's setData, called by Qt's item view.
        Passos()->BeforeEdit = [](TDataSet&) {
            throw EDatabaseError(QStringLiteral("falha ao editar o passo"));
        };
        messages.Clear();
        Digita("DIAS", "4");
        QCOMPARE(messages.Texts(), QStringList{"falha ao editar o passo"});
        QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 0); // rolled back
        QCOMPARE(Passos()->State(), DataSetState::Browse);
        QVERIFY(Passos()->FieldByName("DIAS").IsNull());

        // The same cell takes a value once the hook lets it; the change is still pending in the row.
        Passos()->BeforeEdit = nullptr;
        Digita("DIAS", "3");
        EscritaPendente();
        // Save posts the open row first; a hook that fails there with a plain C++ exception.
        Passos()->BeforePost = [](TDataSet&) { throw std::runtime_error("falha ao gravar o passo"); };
        messages.Clear();
        QCOMPARE(ClickMessages("BitBtn1"), "falha ao gravar o passo");
        QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 0);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM ROTEIRO").toInt(), 0);
        QCOMPARE(Passos()->State(), DataSetState::Edit); // what the user typed is still there
        QCOMPARE(Passos()->FieldByName("DIAS").AsInteger(), 3);

        // The same button works once the failure is gone.
        Passos()->BeforePost = nullptr;
        QCOMPARE(ClickMessages("BitBtn1"), QString());
        QCOMPARE(Seen("SELECT FASE, DIAS FROM ROTEIRO WHERE CODIGO = '000007'"), "01|3");
    }

    void failedScenarioWriteStillSeesOthersCommits() {
        QJSEngine engine;
        ScriptApi api(engine, *driver, messages);
        api.exec("INSERT INTO BANHO (DESCRICAO) VALUES ('SEM CODIGO')");
        QVERIFY(engine.catchError().isError());
        const auto other = OpenSecond("outro");
        SqlOn(*other, "INSERT INTO BANHO (CODIGO) VALUES ('02')");
        other->Transaction()->CommitRetaining();
        QCOMPARE(api.sql("SELECT COUNT(*) AS N FROM BANHO").property(0).property("N").toInt(), 1);
    }

    void auditLogViewerShowsKindAndScreenByMeaning() {
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
        QCOMPARE(shown, QStringList({"FmNaoRegistrada / 7", "Regiões de Preço / Outros",
                                     "Regiões de Preço / Exclusão", "Regiões de Preço / Alteração",
                                     "Regiões de Preço / Inclusão"}));
        // The screen filter takes the caption as users read it, or the object name a screen passes.
        log.findChild<QLineEdit*>("EdtFormulario")->setText("regiões");
        log.Pesquisa();
        QCOMPARE(log.Linhas()->RecordCount(), 4);
        log.Filtra("FmHostRegiao", "01");
        QCOMPARE(log.Linhas()->RecordCount(), 4);
        log.Filtra(QString(), "99"); // by key
        QCOMPARE(log.Linhas()->FieldByName("TEXTO").AsString(), "DE OUTRA TELA");
    }

    void hostTablePrintHasEveryGridColumn() {
        Sql("INSERT INTO PRODUTO (CODIGO, DESCRICAO, PRECO, GRAMATURA, ATIVO) VALUES ('000101', "
            "'MEIA MALHA 30/1 PENTEADA', 31.1234, 160.5, 'S')");
        auto* screen = qobject_cast<TFmTabelaHost*>(driver->Open("TFmHostProduto"));
        QVERIFY(screen);
        TDataSet* data = driver->Get<TZoDBGrid>("DBGrid1")->DataSet();
        QAbstractItemModel* grid = driver->Get<TZoDBGrid>("DBGrid1")->model();
        const TRelatorio report = screen->Relatorio();
        QCOMPARE(report.Colunas().size(), grid->columnCount());
        for (int c = 0; c < grid->columnCount(); ++c) {
            const ColunaRelatorio& column = report.Colunas()[c];
            QVERIFY(!column.totaliza); // a register's listing sums nothing
            // Numbers print as the grid shows them: the price with its four decimals, nothing rounded.
            if (column.campo == "PRECO" || column.campo == "GRAMATURA") {
                const QVariant value = data->FieldByName(column.campo).Value();
                QCOMPARE(grid->index(0, c).data().toString(),
                         column.casas >= 0 ? TextoExibicao(value.toDouble(), column.casas)
                                           : TextoExibicao(value));
            }
        }
        QCOMPARE(grid->index(0, data->FieldIndex("PRECO")).data().toString(), "31,1234");

        const ReportFolder folder;
        driver->Click("BtImprimir");
        QVERIFY(QFileInfo(folder.Path("WPRODUTO.pdf")).size() > 0);
        QVERIFY(messages.shown.isEmpty());
    }

    void endsPromptlyOnASignal_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("sinal");
        QTest::newRow("SIGTERM with the log-in dialog open") << QStringList() << SIGTERM;
        QTest::newRow("Ctrl+C with a screen open")
            << QStringList{"--user", "ADMIN", "--open", "TFmHostRegiao"} << SIGINT;
    }

    // Ctrl+C and SIGTERM end the application promptly and cleanly, whatever dialog is open.
    void endsPromptlyOnASignal() {
        QFETCH(QStringList, argumentos);
        QFETCH(int, sinal);
        QProcess app;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KELM_PASSWORD", "kelm");
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QCoreApplication::applicationDirPath() + "/kelm",
                  QStringList{"--database", config.target()} + argumentos);
        QVERIFY(app.waitForStarted());
        QVERIFY(!app.waitForFinished(4000)); // still running: the window or dialog is up
        ::kill(pid_t(app.processId()), sinal);
        QVERIFY2(app.waitForFinished(6000), "the application did not end");
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 128 + sinal);
        // The database is left usable by everyone else.
        SqlCommit("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('01', 'DEPOIS')");
        QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 1);
    }
};

int main(int argc, char** argv) {
    KelmApplication app(argc, argv);
    TstApp test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_app.moc"
