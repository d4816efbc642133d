// Who may do what with users, rights and parameters: passwords stored salted and slow, the supervisor's
// release, the administration screens driven by a plain user, the last administrator and the audit rows.
#include "Acesso.h"
#include "ClassRegistry.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "FmLogin.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "HostError.h"
#include "KelmApplication.h"
#include "Protecao.h"
#include "TestDatabase.h"
#include <QAction>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QTest>

class TstAcesso : public ScreenTestCase {
    Q_OBJECT

    void Cadastra(const QString& code, const QString& name, const QString& password, const QString& flags) {
        Sql(QStringLiteral(
                "INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO) "
                "VALUES ('%1', '%2', '%3', '%4', '%5', '%6')")
                .arg(code, name, HashSenha(code, password), flags.mid(0, 1), flags.mid(1, 1),
                     flags.mid(2, 1)));
    }
    void Direito(const QString& user, const QString& className, const QString& letter = "A", int level = 0) {
        Sql(QStringLiteral("INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('%1', '%2', "
                           "'%3', %4)")
                .arg(user, className, letter)
                .arg(level));
    }
    // The operator of the floor: every ordinary screen through CLASSE '*', no flag.
    void EntraComoOperador(const QStringList& screens = {}) {
        Cadastra("002", "OPERADOR", "op", "NNS");
        Direito("002", "*");
        for (const QString& screen : screens)
            Direito("002", screen);
        db->Transaction()->CommitRetaining();
        QVERIFY(Autentica("OPERADOR", "op"));
        QCOMPARE(vUsuarioCodigo(), QStringLiteral("002"));
    }
    QString Senha(const QString& code) {
        return Scalar(QStringLiteral("SELECT SENHA FROM ACESSO_USUARIOS WHERE CODIGO = '%1'").arg(code))
            .toString();
    }
    // Every audit row as "USUARIO|TIPO|CHAVE|TEXTO", oldest first.
    QStringList Log() { return RowsSeenByOthers("SELECT USUARIO, TIPO, CHAVE, TEXTO FROM LOG ORDER BY ID"); }
    QString UltimaMensagem() const {
        return messages.shown.isEmpty() ? QString()
                                        : messages.shown.last().kind + ": " + messages.shown.last().text;
    }

private slots:
    void initTestCase() {
        ScreenTestCase::initTestCase(); // the module's screens too, for the menus
        TFmTabelaHost::RegistraTelas();
    }
    void pbkdf2GivesThePublishedResults();
    void passwordsStoredSaltedWithAWorkFactor();
    void oldPasswordsUpgradedAtTheNextLogIn();
    void inactiveSupervisorReleasesNothing();
    void administrationScreensNeedARightNamingThem();
    void lastAdministratorHeldAcrossWorkstations();
    void plainUserNeverOpensTheAdministrationScreens();
    void usersRightHolderCannotTakeOver();
    void administratorSetsPasswordsAndKeepsTheLastAdministrator();
    void ownPasswordChangedWithTheCurrentOne();
    void rightsHolderGrantsOnlyOrdinaryScreensToOthers();
    void parameterChangesAreLogged();
    void floorOperatorStillSeesTheModulesScreens();
};

void TstAcesso::pbkdf2GivesThePublishedResults() {
    QCOMPARE(Pbkdf2Sha256("password", "salt", 1, 32).toHex(),
             QByteArray("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"));
    QCOMPARE(Pbkdf2Sha256("password", "salt", 2, 32).toHex(),
             QByteArray("ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"));
    QCOMPARE(
        Pbkdf2Sha256("passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 40).toHex(),
        QByteArray("348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"));
    // Two blocks (RFC 7914).
    QCOMPARE(Pbkdf2Sha256("passwd", "salt", 1, 64).toHex(),
             QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                        "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"));
}

void TstAcesso::passwordsStoredSaltedWithAWorkFactor() {
    const QString first = HashSenha("002", "segredo");
    const QString second = HashSenha("002", "segredo");
    QVERIFY(first != second); // a salt of its own every time
    const QStringList parts = first.split('$');
    QCOMPARE(parts.size(), 4);
    QCOMPARE(parts[0], QStringLiteral("pbkdf2-sha256"));
    QCOMPARE(parts[1].toInt(), 100000);
    QCOMPARE(QByteArray::fromBase64(parts[2].toLatin1()).size(), 16);
    QCOMPARE(QByteArray::fromBase64(parts[3].toLatin1()).size(), 32);
    QCOMPARE(QByteArray::fromBase64(parts[3].toLatin1()),
             Pbkdf2Sha256("segredo", QByteArray::fromBase64(parts[2].toLatin1()), 100000, 32));
    QVERIFY(ConfereSenha("002", "segredo", first) && ConfereSenha("002", "segredo", second));
    QVERIFY(!ConfereSenha("002", "Segredo", first));
    QVERIFY(!ConfereSenha("002", "segredo", QString()));
    QVERIFY(!SenhaAntiga(first));
    // Fewer iterations than today's still check, and ask to be derived again.
    const QByteArray salt("0123456789abcdef");
    const QString weak =
        "pbkdf2-sha256$1000$" + salt.toBase64() + '$' + Pbkdf2Sha256("segredo", salt, 1000, 32).toBase64();
    QVERIFY(ConfereSenha("002", "segredo", weak));
    QVERIFY(SenhaAntiga(weak));
    QVERIFY(!ConfereSenha("002", "segredo", "pbkdf2-sha256$0$" + salt.toBase64() + "$AAAA"));
    // The demo's administrator, stored in the earlier form, still logs in.
    QVERIFY(ConfereSenha("001", "kelm", "06a3638667dd51077d6cc4c52f113a7226fde5fd8272afe55998b7144c5f52e9"));
    QVERIFY(SenhaAntiga("06a3638667dd51077d6cc4c52f113a7226fde5fd8272afe55998b7144c5f52e9"));
    // The column holds it whole.
    Sql(QStringLiteral("INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA) VALUES ('002', 'OPERADOR', '%1')")
            .arg(first));
    QCOMPARE(Senha("002"), first);
}

void TstAcesso::oldPasswordsUpgradedAtTheNextLogIn() {
    const QString old = QString::fromLatin1(
        QCryptographicHash::hash(QByteArray("002:velha-senha"), QCryptographicHash::Sha256).toHex());
    Sql(QStringLiteral("INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA) VALUES ('002', 'OPERADOR', '%1')")
            .arg(old));
    db->Transaction()->CommitRetaining();
    SessaoAtual().usuario.clear();
    TFmLogin login("teste");
    login.findChild<QLineEdit*>("EdtUsuario")->setText("OPERADOR");
    login.findChild<QLineEdit*>("EdtSenha")->setText("errada");
    login.Entrar();
    QVERIFY(login.result() != QDialog::Accepted);
    QCOMPARE(Senha("002"), old); // a failed log-in changes nothing
    login.findChild<QLineEdit*>("EdtSenha")->setText("velha-senha");
    login.Entrar();
    QCOMPARE(login.result(), int(QDialog::Accepted));
    QCOMPARE(vUsuario(), QStringLiteral("OPERADOR"));
    const QString upgraded =
        RowsSeenByOthers("SELECT SENHA FROM ACESSO_USUARIOS WHERE CODIGO = '002'").value(0);
    QVERIFY2(upgraded.startsWith("pbkdf2-sha256$100000$"), qPrintable(upgraded));
    QVERIFY(ConfereSenha("002", "velha-senha", upgraded));
    const QStringList log = Log();
    QCOMPARE(log.size(), 1);
    QVERIFY2(log[0].startsWith("OPERADOR|3|002|"), qPrintable(log[0]));
    for (const QString& secret :
         {QStringLiteral("velha-senha"), old, upgraded.section('$', 2, 2), upgraded.section('$', 3)})
        QVERIFY2(!log[0].contains(secret), qPrintable(log[0]));

    // Once in today's form it stays as it is.
    TFmLogin again("teste");
    again.findChild<QLineEdit*>("EdtUsuario")->setText("OPERADOR");
    again.findChild<QLineEdit*>("EdtSenha")->setText("velha-senha");
    again.Entrar();
    QCOMPARE(again.result(), int(QDialog::Accepted));
    QCOMPARE(Senha("002"), upgraded);
    QCOMPARE(Log().size(), 1);
}

void TstAcesso::inactiveSupervisorReleasesNothing() {
    EntraComoOperador();
    Cadastra("003", "CHEFE", "chefe", "SNN"); // a supervisor, inactive
    Direito("003", "TFmCadFal", "A", 1);
    Cadastra("004", "DIRETOR", "diretor", "SSN"); // an administrator and supervisor, inactive
    db->Transaction()->CommitRetaining();
    for (const QString& who : {QStringLiteral("CHEFE"), QStringLiteral("DIRETOR")}) {
        messages.logins.enqueue({who, who.toLower()});
        QVERIFY2(!Acessa("TFmCadFal", "A", "1"), qPrintable(who));
        QCOMPARE(messages.LastText(), QStringLiteral("Usuário ou senha de supervisor inválidos."));
        QVERIFY(vSupervisor().isEmpty());
    }
    Sql("UPDATE ACESSO_USUARIOS SET ATIVO = 'S'");
    db->Transaction()->CommitRetaining();
    messages.logins.enqueue({"CHEFE", "chefe"});
    QVERIFY(Acessa("TFmCadFal", "A", "1"));
    QCOMPARE(vSupervisor(), QStringLiteral("CHEFE"));
    messages.logins.enqueue({"DIRETOR", "diretor"});
    QVERIFY(Acessa("TFmCadFal", "E", "1"));
    QCOMPARE(vSupervisor(), QStringLiteral("DIRETOR"));
    QVERIFY(messages.AllAnswered());
}

void TstAcesso::administrationScreensNeedARightNamingThem() {
    EntraComoOperador();
    for (const char* screen : {"TFmHostUsuarios", "TFmHostDireitos", "TFmHostParametros"}) {
        QVERIFY(ClasseRestrita(screen));
        QVERIFY2(!PodeAbrir("002", screen), screen); // '*' does not reach them
        QVERIFY(PodeAbrir("001", screen));           // the administrator
    }
    QVERIFY(PodeAbrir("002", "TFmHostRegiao"));
    QVERIFY(PodeAbrir("002", "TFmCadFal"));
    Direito("002", "TFmHostDireitos");
    QVERIFY(PodeAbrir("002", "TFmHostDireitos"));
    QVERIFY(!PodeAbrir("002", "TFmHostUsuarios"));
    // A user without a row sees nothing, an inactive one holds nothing.
    Cadastra("004", "NOVO", "novo", "NNS");
    QVERIFY(!PodeAbrir("004", "TFmHostRegiao"));
    Sql("UPDATE ACESSO_USUARIOS SET ATIVO = 'N' WHERE CODIGO = '002'");
    QVERIFY(!PodeAbrir("002", "TFmHostRegiao"));
    QVERIFY(!TemDireito("002", "TFmHostDireitos", "A", 0));
    Sql("UPDATE ACESSO_USUARIOS SET ATIVO = 'N', ADMINISTRADOR = 'S' WHERE CODIGO = '004'");
    QVERIFY(!EhAdministrador("004"));
    QVERIFY(!PodeAbrir("004", "TFmHostRegiao"));
    QVERIFY(EhAdministrador("001"));
}

// Two workstations each removing one of two administrators: the second waits on the first's rows and fails.
void TstAcesso::lastAdministratorHeldAcrossWorkstations() {
    Cadastra("005", "ANA", "ana", "SSS");
    db->Transaction()->CommitRetaining();
    QVERIFY(RestaOutroAdministrador("001"));
    QVERIFY(RestaOutroAdministrador("005"));
    db->Transaction()->RollbackRetaining();
    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "UPDATE ACESSO_USUARIOS SET ADMINISTRADOR = 'N' WHERE CODIGO = '005'");
    db->LockTimeoutMs = 1000;
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, RestaOutroAdministrador("001"));
    other->Transaction()->Commit();
    QVERIFY(!RestaOutroAdministrador("001"));
    db->Transaction()->RollbackRetaining();
}

void TstAcesso::plainUserNeverOpensTheAdministrationScreens() {
    EntraComoOperador();
    for (const char* screen : {"TFmHostUsuarios", "TFmHostDireitos", "TFmHostParametros"}) {
        messages.Clear();
        QVERIFY2(!ExecutaProtegido([&] { driver->Open(screen); }), screen);
        QCOMPARE(messages.shown.size(), 1); // the supervisor's log-in, which nobody answers
        QCOMPARE(messages.shown[0].kind, QStringLiteral("login"));
    }
    // A supervisor holding the right opens it for him; the changes still name the user, and who released it.
    Sql("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 150, 'N')");
    db->Transaction()->CommitRetaining();
    messages.logins.enqueue({"ADMIN", "kelm"});
    driver->Open("TFmHostParametros");
    driver->Row("DBGrid1", 0);
    driver->Cell("DBGrid1", "VALOR", "S");
    driver->Click("SbConfirmar");
    QCOMPARE(RowsSeenByOthers("SELECT VALOR FROM PARAMETROS"), QStringList{"S"});
    const QStringList log = Log();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0], QStringLiteral("OPERADOR|1|TIN;150|Alteração em Parâmetros (TIN;150): Valor: N → S "
                                    "[tela liberada pelo supervisor ADMIN]"));
}

void TstAcesso::usersRightHolderCannotTakeOver() {
    Cadastra("004", "MARIA", "maria", "NNS");
    EntraComoOperador({"TFmHostUsuarios"});
    const QString adminPassword = Senha("001");
    driver->Open("TFmHostUsuarios"); // rows: 001 ADMIN, 002 OPERADOR, 004 MARIA
    const auto refused = [this](const QString& text) {
        QVERIFY(!messages.shown.isEmpty());
        QCOMPARE(messages.shown.last().kind, QStringLiteral("message"));
        QVERIFY(messages.shown.last().icon == MsgIcon::Warning);
        QCOMPARE(messages.shown.last().text, text);
        messages.Clear();
    };

    driver->Row("DBGrid1", 0);
    driver->Cell("DBGrid1", "ATIVO", "N");
    driver->Click("SbConfirmar");
    refused("Somente um administrador altera o cadastro de um administrador.");
    driver->Click("BtDesistir");
    driver->Click("BtSenha");
    refused("Somente um administrador define a senha de outro usuário.");
    QVERIFY(!driver->Screen()->findChild<TFmSenha*>());
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(messages.shown.first().kind, QStringLiteral("question"));
    messages.shown.removeFirst();
    refused("Somente um administrador exclui um administrador.");

    driver->Row("DBGrid1", 1); // himself
    driver->Cell("DBGrid1", "ADMINISTRADOR", "S");
    driver->Click("SbConfirmar");
    refused("Somente um administrador concede o perfil de administrador.");
    driver->Click("BtDesistir");

    driver->Click("BtIncluir");
    driver->Cell("DBGrid1", "CODIGO", "009");
    driver->Cell("DBGrid1", "NOME", "INTRUSO");
    driver->Cell("DBGrid1", "ADMINISTRADOR", "S");
    driver->Click("SbConfirmar");
    refused("Somente um administrador concede o perfil de administrador.");
    driver->Click("BtDesistir");

    QCOMPARE(RowsSeenByOthers("SELECT CODIGO, ADMINISTRADOR, ATIVO FROM ACESSO_USUARIOS ORDER BY CODIGO"),
             QStringList({"001|S|S", "002|N|S", "004|N|S"}));
    QCOMPARE(Senha("001"), adminPassword);
    QVERIFY(Log().isEmpty());

    // An ordinary user's record is his to keep, and every change is told.
    driver->Row("DBGrid1", 2);
    driver->Cell("DBGrid1", "NOME", "MARIA SILVA");
    driver->Click("SbConfirmar");
    QVERIFY2(messages.shown.isEmpty(), qPrintable(UltimaMensagem()));
    QCOMPARE(Log(), QStringList{"OPERADOR|1|004|Alteração em Usuários (004): Nome: MARIA → MARIA SILVA"});
    QCOMPARE(RowsSeenByOthers("SELECT FORMULARIO, TITULO FROM LOG"), QStringList{"FmHostUsuarios|USUÁRIOS"});
}

void TstAcesso::administratorSetsPasswordsAndKeepsTheLastAdministrator() {
    Cadastra("002", "OPERADOR", "op", "NNS");
    db->Transaction()->CommitRetaining();
    QWidget* screen = driver->Open("TFmHostUsuarios");
    driver->Row("DBGrid1", 1);
    driver->Click("BtSenha");
    auto* dialog = screen->findChild<TFmSenha*>();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(!dialog->findChild<QLineEdit*>("EdtSenhaAtual")); // another user's: no old password asked
    for (QLineEdit* box : dialog->findChildren<QLineEdit*>())
        QCOMPARE(box->echoMode(), QLineEdit::Password);
    driver->Type("EdtNovaSenha", "nova1");
    driver->Type("EdtConfirmaSenha", "nova2");
    driver->Click("BtConfirmar");
    QCOMPARE(driver->Text("LblErro"), QStringLiteral("A confirmação não confere com a nova senha."));
    QVERIFY(dialog->isVisible());
    driver->Type("EdtNovaSenha", "nova1");
    driver->Type("EdtConfirmaSenha", "nova1");
    driver->Click("BtConfirmar");
    QCOMPARE(messages.LastText(), QStringLiteral("Senha alterada."));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!screen->findChild<TFmSenha*>());
    const QString stored =
        RowsSeenByOthers("SELECT SENHA FROM ACESSO_USUARIOS WHERE CODIGO = '002'").value(0);
    QVERIFY(ConfereSenha("002", "nova1", stored));
    QCOMPARE(Log(), QStringList{"ADMIN|1|002|Senha definida para o usuário 002 (OPERADOR)."});
    messages.Clear();

    // The only active administrator stays one.
    driver->Row("DBGrid1", 0);
    for (const char* field : {"ADMINISTRADOR", "ATIVO"}) {
        driver->Cell("DBGrid1", field, "N");
        driver->Click("SbConfirmar");
        QCOMPARE(messages.LastText(), QStringLiteral("O usuário 001 é o último administrador ativo: não pode "
                                                     "deixar de ser administrador nem ser desativado."));
        driver->Click("BtDesistir");
    }
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(messages.LastText(),
             QStringLiteral("O usuário 001 é o último administrador ativo: não pode ser excluído."));
    QCOMPARE(RowsSeenByOthers("SELECT ADMINISTRADOR, ATIVO FROM ACESSO_USUARIOS WHERE CODIGO = '001'"),
             QStringList{"S|S"});
    QCOMPARE(Log().size(), 1);

    // With a second one, the other may go.
    driver->Row("DBGrid1", 1);
    driver->Cell("DBGrid1", "ADMINISTRADOR", "s");
    driver->Click("SbConfirmar");
    driver->Cell("DBGrid1", "ATIVO", "N");
    driver->Click("SbConfirmar");
    driver->Cell("DBGrid1", "ATIVO", "S");
    driver->Click("SbConfirmar");
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(RowsSeenByOthers("SELECT CODIGO, ADMINISTRADOR, ATIVO FROM ACESSO_USUARIOS"),
             QStringList{"001|S|S"});
    const QStringList log = Log();
    QCOMPARE(log.mid(1), QStringList({"ADMIN|1|002|Alteração em Usuários (002): Administrador: N → S",
                                      "ADMIN|1|002|Alteração em Usuários (002): Ativo: S → N",
                                      "ADMIN|1|002|Alteração em Usuários (002): Ativo: N → S",
                                      "ADMIN|2|002|Exclusão em Usuários (002): Código: 002; Nome: OPERADOR; "
                                      "Supervisor: N; Administrador: S; Ativo: S"}));
    for (const QString& row : log)
        QVERIFY2(!row.contains("pbkdf2") && !row.contains("nova1") && !row.contains(stored.section('$', 3)),
                 qPrintable(row));
}

// From the main window, as any user: his own password, never without the current one.
void TstAcesso::ownPasswordChangedWithTheCurrentOne() {
    EntraComoOperador();
    TFmPrincipal window;
    window.show();
    auto* action = window.findChild<QAction*>("AcAlterarSenha");
    QVERIFY(action);
    action->trigger();
    auto* dialog = window.findChild<TFmSenha*>();
    QVERIFY(dialog && dialog->isVisible());
    driver->Use(dialog);
    QCOMPARE(driver->Get<QLineEdit>("EdtSenhaAtual")->echoMode(), QLineEdit::Password);
    const QString before = Senha("002");
    driver->Type("EdtSenhaAtual", "errada");
    driver->Type("EdtNovaSenha", "nova");
    driver->Type("EdtConfirmaSenha", "nova");
    driver->Click("BtConfirmar");
    QCOMPARE(driver->Text("LblErro"), QStringLiteral("A senha atual não confere."));
    QVERIFY(driver->Text("EdtSenhaAtual").isEmpty() && driver->Text("EdtNovaSenha").isEmpty());
    QCOMPARE(Senha("002"), before);
    driver->Type("EdtSenhaAtual", "op");
    driver->Type("EdtNovaSenha", "nova");
    driver->Type("EdtConfirmaSenha", "nova");
    driver->Click("BtConfirmar");
    QCOMPARE(messages.LastText(), QStringLiteral("Senha alterada."));
    QVERIFY(ConfereSenha(
        "002", "nova", RowsSeenByOthers("SELECT SENHA FROM ACESSO_USUARIOS WHERE CODIGO = '002'").value(0)));
    QCOMPARE(Log(), QStringList{"OPERADOR|1|002|Senha alterada pelo próprio usuário 002 (OPERADOR)."});
    QVERIFY(Autentica("OPERADOR", "nova"));
    QVERIFY(!Autentica("OPERADOR", "op"));

    // Three wrong tries close it.
    action->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dialog = window.findChild<TFmSenha*>();
    QVERIFY(dialog);
    QPointer<TFmSenha> alive(dialog);
    driver->Use(dialog);
    for (int i = 0; i < 3; ++i) {
        driver->Type("EdtSenhaAtual", "errada");
        driver->Type("EdtNovaSenha", "x");
        driver->Type("EdtConfirmaSenha", "x");
        driver->Click("BtConfirmar");
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
    QVERIFY(Autentica("OPERADOR", "nova"));
}

void TstAcesso::rightsHolderGrantsOnlyOrdinaryScreensToOthers() {
    Cadastra("004", "MARIA", "maria", "NNS");
    EntraComoOperador({"TFmHostDireitos"});
    driver->Open("TFmHostDireitos");
    const auto grant = [this](const QString& user, const QString& className, const QString& letter) {
        driver->Click("BtIncluir");
        driver->Cell("DBGrid1", "USUARIO", user);
        driver->Cell("DBGrid1", "CLASSE", className);
        driver->Cell("DBGrid1", "LETRA", letter);
        driver->Cell("DBGrid1", "NIVEL", "1");
        driver->Click("SbConfirmar");
    };
    grant("002", "TFmCadFal", "E");
    QCOMPARE(messages.LastText(),
             QStringLiteral("Ninguém altera os próprios direitos de acesso: peça a um administrador."));
    driver->Click("BtDesistir");
    grant("004", "TFmHostUsuarios", "A");
    QCOMPARE(messages.LastText(),
             QStringLiteral("Somente um administrador concede direitos sobre as telas de "
                            "usuários, direitos de acesso e parâmetros."));
    driver->Click("BtDesistir");
    driver->Row("DBGrid1", 0); // his own '*'
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(messages.LastText(),
             QStringLiteral("Ninguém altera os próprios direitos de acesso: peça a um administrador."));
    QVERIFY(Log().isEmpty());
    messages.Clear();

    grant("004", "TFmCadFal", "e");
    QVERIFY2(messages.shown.isEmpty(), qPrintable(UltimaMensagem()));
    QCOMPARE(RowsSeenByOthers(
                 "SELECT USUARIO, CLASSE, LETRA, NIVEL FROM ACESSO_DIREITOS ORDER BY USUARIO, CLASSE"),
             QStringList({"002|*|A|0", "002|TFmHostDireitos|A|0", "004|TFmCadFal|E|1"}));
    QCOMPARE(Log(),
             QStringList{"OPERADOR|0|004;TFmCadFal;E|Inclusão em Direitos de Acesso (004;TFmCadFal;E): "
                         "Usuário: 004; Tela (classe ou *): TFmCadFal; Operação (A/E): E; Nível (0/1): 1"});
}

void TstAcesso::parameterChangesAreLogged() {
    Sql("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR, DESCRICAO) VALUES ('TIN', 150, 'N', 'Baixa "
        "automática')");
    db->Transaction()->CommitRetaining();
    driver->Open("TFmHostParametros");
    driver->Row("DBGrid1", 0);
    driver->Cell("DBGrid1", "VALOR", "S");
    driver->Click("SbConfirmar");
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Log(),
             QStringList({"ADMIN|1|TIN;150|Alteração em Parâmetros (TIN;150): Valor: N → S",
                          "ADMIN|2|TIN;150|Exclusão em Parâmetros (TIN;150): Módulo: TIN; Número: 150; "
                          "Valor: S; Descrição: Baixa automática"}));
    QCOMPARE(RowsSeenByOthers("SELECT DISTINCT FORMULARIO, TITULO FROM LOG"),
             QStringList{"FmHostParametros|PARÂMETROS"});
}

// The demo's operator holds '*': every screen of the module and of the general registers stays in his menus,
// none of users, rights and parameters. A user granted one screen sees that one.
void TstAcesso::floorOperatorStillSeesTheModulesScreens() {
    const auto entries = [] {
        TFmPrincipal window;
        QStringList shown;
        for (const ScreenInfo& info : RegisteredScreens())
            if (window.findChild<QAction*>(info.className))
                shown << info.className;
        return shown;
    };
    QStringList ordinary, administration;
    for (const ScreenInfo& info : RegisteredScreens())
        if (info.kind != ScreenKind::Dialog)
            (ClasseRestrita(info.className) ? administration : ordinary) << info.className;
    QVERIFY(ordinary.contains("TFmBanho") && ordinary.contains("TFmMaquinaTin") &&
            ordinary.contains("TFmHostRegiao"));
    QCOMPARE(entries(), ordinary + administration); // the administrator, in registration order
    EntraComoOperador();
    QCOMPARE(entries(), ordinary);
    Cadastra("004", "MARIA", "maria", "NNS");
    Direito("004", "TFmBanho");
    db->Transaction()->CommitRetaining();
    QVERIFY(Autentica("MARIA", "maria"));
    QCOMPARE(entries(), QStringList{"TFmBanho"});
}

int main(int argc, char** argv) {
    KelmApplication app(argc, argv);
    TstAcesso test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_acesso.moc"
