// The host application: log-in, main window with the module's screens, host-table maintenance.
#include "Acesso.h"
#include "CopiaSeguranca.h"
#include "DataContext.h"
#include "Dialogos.h"
#include "Encerramento.h"
#include "FirebirdEngine.h"
#include "FmCopiaSeguranca.h"
#include "FmImportaCadastro.h"
#include "FmLog.h"
#include "FmLogin.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "HostContext.h"
#include "HostError.h"
#include "HostUi.h"
#include "KelmApplication.h"
#include "ModuleLoader.h"
#include "SchemaUpgrade.h"
#include "ScriptRunner.h"
#include "TTabela.h"
#include <QCommandLineParser>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace {
// The host's own screens, then the module's.
void CarregaTelas(ModuleLoader& module) {
    RegistraTelaLog();
    RegistraTelaCopia();
    RegistraTelaImportacao();
    TFmTabelaHost::RegistraTelas();
    QString error;
    if (!module.Load(QStringLiteral("kelmTingimento"), &error))
        qWarning("module not loaded: %s", qPrintable(error));
}

QCommandLineOption OpcaoBanco() {
    return {QStringLiteral("database"),
            QStringLiteral("Banco de dados: arquivo local ou servidor host:caminho."),
            QStringLiteral("path")};
}

// kelm backup [--database DB] [--to DIR] | kelm restore COPY --to PATH [--database DB]: for schedulers, no
// window; one line of result, and a status other than 0 on any failure.
int CopiaPelaLinhaDeComando(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Cópia de segurança do banco de dados"));
    options.addHelpOption();
    const QCommandLineOption database = OpcaoBanco();
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("backup: pasta das cópias; restore: o novo banco de dados."),
                                QStringLiteral("path"));
    options.addOptions({database, to});
    options.addPositionalArgument(QStringLiteral("backup|restore"), QStringLiteral("O que fazer."));
    options.addPositionalArgument(QStringLiteral("copia"), QStringLiteral("restore: a cópia a restaurar."));
    options.process(app);
    const QStringList args = options.positionalArguments();
    const bool restaura = args.value(0) == QLatin1String("restore");
    if (restaura && (args.size() != 2 || !options.isSet(to))) {
        std::fprintf(stderr, "uso: kelm restore COPIA --to CAMINHO\n");
        return 2;
    }
    const DatabaseConfig config = DatabaseConfig::fromEnvironment(options.value(database));
    if (config.isServer() && config.password.isEmpty()) {
        std::fprintf(stderr, "A senha do usuário %s em %s não está configurada (KELM_DB_PASSWORD).\n",
                     qPrintable(config.user), qPrintable(config.host));
        return 1;
    }
    CopiaSeguranca copia(config);
    ResultadoCopia resultado;
    if (restaura) {
        DatabaseConfig destino = DatabaseConfig::parse(options.value(to));
        destino.user = destino.isServer() ? config.user : destino.user;
        destino.password = destino.isServer() ? config.password : destino.password;
        resultado = copia.Restaura(args[1], destino);
    } else {
        if (options.isSet(to))
            copia.pasta = options.value(to);
        resultado = copia.Copia();
    }
    std::fprintf(resultado.ok ? stdout : stderr, "%s\n", qPrintable(resultado.texto));
    // The audit line goes into the database copied from; a restore made because it is lost still counts.
    try {
        DataContext context;
        context.Session().usuario = qEnvironmentVariable("USER").toUpper();
        context.Database().Open(config, false);
        RegistraCopiaNoLog(resultado);
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "linha de auditoria não gravada: %s\n", qPrintable(e.message()));
        if (!restaura)
            return 1;
    }
    return resultado.ok ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("kelm"));
    PrepareFirebirdEnvironment();
    if (argc > 1 && (qstrcmp(argv[1], "backup") == 0 || qstrcmp(argv[1], "restore") == 0))
        return CopiaPelaLinhaDeComando(argc, argv);
    // Scenarios, and the help and version texts, need no display.
    for (int i = 1; i < argc; ++i)
        for (const char* headless : {"--script", "--help", "-h", "--help-all", "--version", "-v"})
            if (qstrcmp(argv[i], headless) == 0 && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
    KelmApplication app(argc, argv);

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Tinturaria e beneficiamento"));
    options.addHelpOption();
    const QCommandLineOption database = OpcaoBanco();
    // The password never on the command line, where every process list shows it.
    const QCommandLineOption user(QStringLiteral("user"),
                                  QStringLiteral("Entra com este usuário; a senha vem de KELM_PASSWORD."),
                                  QStringLiteral("name"));
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Abre esta tela ao entrar."),
                                  QStringLiteral("class"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Grava uma imagem da janela principal e termina."),
                                        QStringLiteral("file"));
    const QCommandLineOption noDemo(QStringLiteral("no-demo"),
                                    QStringLiteral("Cria o banco sem os dados de demonstração."));
    const QCommandLineOption script(QStringLiteral("script"),
                                    QStringLiteral("Executa um cenário (JavaScript) sem janelas e termina."),
                                    QStringLiteral("file"));
    const QCommandLineOption demoData(
        QStringLiteral("demo"),
        QStringLiteral("Cria o banco indicado, se não existir, com os dados de demonstração."));
    options.addOptions({database, user, open, screenshot, noDemo, demoData, script});
    options.process(app);

    DatabaseConfig config = DatabaseConfig::fromEnvironment(options.value(database));
    // A server's password comes from the settings file or the environment, or is asked here: never from
    // the command line.
    if (config.isServer() && config.password.isEmpty() && !options.isSet(script)) {
        bool ok = false;
        config.password =
            QInputDialog::getText(nullptr, QStringLiteral("Banco de dados"),
                                  QStringLiteral("Senha do usuário %1 em %2:").arg(config.user, config.host),
                                  QLineEdit::Password, QString(), &ok);
        if (!ok)
            return 0;
    }
    DialogMessageService dialogs;
    HostContext context(dialogs);
    Encerramento encerramento;
    try {
        // The default file is created on first start, with demo data; a scenario creates the file it names;
        // any other database that is not there is created only when the user says so.
        const bool standard = !config.isServer() && config.path == DatabaseConfig::defaultEmbeddedPath();
        const bool demo =
            options.isSet(demoData) || (standard && !options.isSet(noDemo) && !options.isSet(script));
        OpenHostDatabase(context.Database(), config, demo, [&] {
            return standard || options.isSet(script) || options.isSet(demoData) ||
                   QMessageBox::question(
                       nullptr, QStringLiteral("Banco de dados"),
                       QStringLiteral("O banco de dados %1 não existe. Deseja criá-lo?").arg(config.target()),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
        });
    } catch (const EDatabaseError& e) {
        if (options.isSet(script))
            std::fprintf(stderr, "%s\n", qPrintable(e.message())); // nobody would close a dialog
        else
            QMessageBox::critical(nullptr, QStringLiteral("Banco de dados"), e.message());
        return 1;
    }

    // The database client installs signal handlers of its own as it attaches: ours go back on top.
    encerramento.Instala();
    ModuleLoader module;
    if (options.isSet(script)) {
        CarregaTelas(module);
        const int result = RunScript(options.value(script));
        TTabela::FechaTodas();
        module.Unload();
        return result;
    }

    if (options.isSet(user)) {
        if (!Autentica(options.value(user), qEnvironmentVariable("KELM_PASSWORD"))) {
            QMessageBox::critical(nullptr, QStringLiteral("Acesso ao Sistema"),
                                  QStringLiteral("Usuário ou senha inválidos."));
            return 1;
        }
    } else {
        TFmLogin login(config.target());
        if (login.exec() != QDialog::Accepted)
            return encerramento.Codigo();
    }

    CarregaTelas(module);
    int result = 0;
    {
        TFmPrincipal window;
        window.resize(1280, 800);
        window.showMaximized();
        if (options.isSet(open))
            ExecutaProtegido([&] {
                Carrega_Form(QStringLiteral("kelmTingimento.bpl"), options.value(open), QString(), false,
                             false);
            });
        if (options.isSet(screenshot)) {
            QTimer::singleShot(1500, &window, [&] {
                window.grab().save(options.value(screenshot));
                window.close();
            });
        }
        result = encerramento.Codigo() ? encerramento.Codigo() : app.exec();
        TTabela::FechaTodas();
    }
    module.Unload();
    return result;
}
