// Users, rights and parameters: salted slow passwords, the supervisor's release, what a plain user may not
// do, the last administrator, the audit rows and the menus.
#include "Acesso.h"
#include "ClassRegistry.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "FmLogin.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "KelmApplication.h"
#include "Protecao.h"
#include "TestDatabase.h"
#include <QAction>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QTest>

class TstAcesso : public ScreenTestCase {
    Q_OBJECT

    // A floor operator: every ordinary screen through CLASSE '*', no flag.
    void EntraComoOperador() {
        AddUser("002", "OPERADOR", "op", "NNS");
        Grant("002", "*");
        Commit();
        QVERIFY(Autentica("OPERADOR", "op"));
    }
    QString Senha(const QString& code) {
        return RowsSeenByOthers(
                   QStringLiteral("SELECT SENHA FROM ACESSO_USUARIOS WHERE CODIGO = '%1'").arg(code))
            .value(0);
    }
    QStringList Log() { return RowsSeenByOthers("SELECT USUARIO, TIPO, CHAVE, TEXTO FROM LOG ORDER BY ID"); }

private slots:
    void initTestCase() {
        ScreenTestCase::initTestCase();
        TFmTabelaHost::RegistraTelas();
    }
    void passwordsSaltedCheckedAndUpgraded();
    void plainUserCannotTakeOverTheAdministration();
    void lastAdministratorStaysAndLogsHoldNoPasswords();
    void menusShowOnlyWhatTheUserMayOpen();
};

void TstAcesso::passwordsSaltedCheckedAndUpgraded() {
    QCOMPARE( // RFC 6070: many iterations, two blocks
        Pbkdf2Sha256("passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 40).toHex(),
        QByteArray("348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"));
    const QString first = HashSenha("002", "segredo"), second = HashSenha("003", "segredo");
    QCOMPARE(first.section('$', 0, 1), "pbkdf2-sha256$100000");
    QVERIFY(first.section('$', 2, 2) != second.section('$', 2, 2));
    QVERIFY(ConfereSenha("002", "segredo", first) && !ConfereSenha("002", "Segredo", first));

    // An old unsalted hash: a wrong password changes nothing, the right one is derived again.
    const QString old = QString::fromLatin1(
        QCryptographicHash::hash(QByteArray("002:velha-senha"), QCryptographicHash::Sha256).toHex());
    Sql(QStringLiteral("INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA) VALUES ('002', 'OPERADOR', '%1')")
            .arg(old));
    Commit();
    SessaoAtual().usuario.clear();
    TFmLogin login("teste");
    const auto enter = [&](const char* password) {
        login.findChild<QLineEdit*>("EdtUsuario")->setText("OPERADOR");
        login.findChild<QLineEdit*>("EdtSenha")->setText(password);
        login.Entrar();
        return login.result() == QDialog::Accepted;
    };
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

void TstAcesso::plainUserCannotTakeOverTheAdministration() {
    EntraComoOperador();
    // An inactive supervisor releases nothing.
    AddUser("003", "CHEFE", "chefe", "SNN");
    Grant("003", "TFmCadFal", "A", 1);
    AddUser("005", "DIRETOR", "diretor", "SSN"); // administrator too
    Commit();
    for (const QString& who : {QStringLiteral("CHEFE"), QStringLiteral("DIRETOR")}) {
        messages.logins.enqueue({who, who.toLower()});
        QVERIFY2(!Acessa("TFmCadFal", "A", "1") && vSupervisor().isEmpty(), qPrintable(who));
    }
    Sql("UPDATE ACESSO_USUARIOS SET ATIVO = 'S'");
    AddUser("004", "MARIA", "maria", "NNS");
    Commit();
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
    const auto refused = [this](const char* text) {
        QCOMPARE(messages.LastText(), QString::fromUtf8(text));
        messages.Clear();
        driver->Click("BtDesistir");
    };
    driver->Open("TFmHostUsuarios"); // rows: 001 ADMIN, 002 himself, 003 CHEFE
    driver->Row("DBGrid1", 0);
    driver->Cell("DBGrid1", "ATIVO", "N");
    driver->Click("SbConfirmar");
    refused("Somente um administrador altera o cadastro de um administrador.");
    driver->Row("DBGrid1", 2);
    driver->Click("BtSenha");
    refused("Somente um administrador define a senha de outro usuário.");
    QVERIFY(!driver->Screen()->findChild<TFmSenha*>());
    driver->Row("DBGrid1", 1);
    driver->Cell("DBGrid1", "ADMINISTRADOR", "S");
    driver->Click("SbConfirmar");
    refused("Somente um administrador concede o perfil de administrador.");

    driver->Open("TFmHostDireitos");
    const auto grant = [this](const QString& user, const QString& className) {
        driver->Click("BtIncluir");
        driver->Cell("DBGrid1", "USUARIO", user);
        driver->Cell("DBGrid1", "CLASSE", className);
        driver->Cell("DBGrid1", "LETRA", "A");
        driver->Cell("DBGrid1", "NIVEL", "1");
        driver->Click("SbConfirmar");
    };
    grant("002", "TFmCadFal");
    refused("Ninguém altera os próprios direitos de acesso: peça a um administrador.");
    grant("004", "TFmHostParametros");
    refused("Somente um administrador concede direitos sobre as telas de usuários, direitos de acesso e "
            "parâmetros.");

    QCOMPARE(RowsSeenByOthers("SELECT CODIGO, ADMINISTRADOR, ATIVO FROM ACESSO_USUARIOS ORDER BY CODIGO"),
             QStringList({"001|S|S", "002|N|S", "003|N|S", "004|N|S", "005|S|S"}));
    QVERIFY(Log().isEmpty());
}

void TstAcesso::lastAdministratorStaysAndLogsHoldNoPasswords() {
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
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QVERIFY(messages.LastText().endsWith("não pode ser excluído."));

    // With a second one, the other may go.
    driver->Row("DBGrid1", 1);
    driver->Cell("DBGrid1", "ADMINISTRADOR", "S");
    driver->Click("SbConfirmar");
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Log(), QStringList({"ADMIN|1|002|Senha definida para o usuário 002 (OPERADOR).",
                                 "ADMIN|1|002|Alteração em Usuários (002): Administrador: N → S",
                                 "ADMIN|2|002|Exclusão em Usuários (002): Código: 002; Nome: OPERADOR; "
                                 "Supervisor: N; Administrador: S; Ativo: S"}));
}

// '*' shows every ordinary screen and none of users, rights and parameters.
void TstAcesso::menusShowOnlyWhatTheUserMayOpen() {
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
    QVERIFY(ordinary.contains("TFmBanho") && administration.contains("TFmHostUsuarios"));
    QCOMPARE(entries(), ordinary + administration); // the administrator
    EntraComoOperador();
    QCOMPARE(entries(), ordinary);
}

int main(int argc, char** argv) {
    KelmApplication app(argc, argv);
    TstAcesso test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_acesso.moc"
