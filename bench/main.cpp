// ./kelm bench: every operation a user waits on, timed on years of a dye-house next to the engine's own time
// for the same rows. The generated database is kept in a cache and copied for each run, so the bench's own
// writes never reach the next run.
#include "BenchApontamento.h"
#include "BenchCadastros.h"
#include "BenchCurvas.h"
#include "BenchDados.h"
#include "BenchFal.h"
#include "BenchGeracao.h"
#include "BenchNotas.h"
#include "BenchProgramacao.h"
#include "BenchQuadro.h"
#include "BenchReceitas.h"
#include "BenchTelasReceitas.h"
#include "FirebirdEngine.h"
#include "Gerador.h"
#include "HostContext.h"
#include "HostError.h"
#include "Medicao.h"
#include "ModuleLoader.h"
#include "SchemaUpgrade.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {
// Bumped whenever the generator writes other rows: a cached database of an older one is made again.
constexpr int kVersaoGerador = 3;

QString opcao(const QStringList& args, const char* nome, const QString& padrao = QString()) {
    const qsizetype at = args.indexOf(QLatin1String(nome));
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : padrao;
}

void imprimeContagens(TZoDatabase& db) {
    for (const char* table :
         {"ENTIDADE", "PRODUTO", "MATERIAL", "MAQ_TIN", "ROTEIRO", "CADCORTIN", "RECEITA", "MAT_TIN",
          "TABPRECO", "NFTIN", "NFITIN", "FAL", "FAL_ITEN", "PROCESSO_TIN", "TNG_PROG", "LOG"}) {
        QSqlQuery q(db.Connection());
        db.Exec(q, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)), false);
        q.next();
        std::printf("%-14s %9d\n", table, q.value(0).toInt());
    }
}

// Writes `anos` years into a fresh database at `config`; prints the time and the counts.
void gera(const DatabaseConfig& config, int anos, quint32 semente) {
    ScriptedMessageService messages;
    HostContext context(messages);
    TZoDatabase& db = context.Database();
    QElapsedTimer timer;
    timer.start();
    OpenHostDatabase(db, config, false, [] { return true; });
    GeraFabrica(db, anos, semente);
    const qint64 ms = timer.elapsed();
    imprimeContagens(db);
    std::printf("%d years, seed %u, into %s: %lld ms\n", anos, semente, qPrintable(config.target()),
                static_cast<long long>(ms));
    std::fflush(stdout);
}

// --generate [--years N] [--seed S] [--database PATH]: only writes a fresh database.
int soGera(const QStringList& args) {
    const int anos = opcao(args, "--years", QStringLiteral("5")).toInt();
    DatabaseConfig config;
    config.path = opcao(args, "--database", QStringLiteral("kelm-bench-%1y.fdb").arg(anos));
    QFile::remove(config.path);
    gera(config, anos, opcao(args, "--seed", QStringLiteral("1")).toUInt());
    return 0;
}

// The cached database of these years and seed, generated when missing. Its owner is the application's
// server user, so a copy of it serves a Firebird server as well.
QString bancoEmCache(int anos, quint32 semente) {
    const QString dir = qEnvironmentVariable(
        "KELM_BENCH_CACHE", QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                                QStringLiteral("/kelm-bench"));
    QDir().mkpath(dir);
    const QString path =
        QStringLiteral("%1/fabrica-%2a-s%3-v%4.fdb").arg(dir).arg(anos).arg(semente).arg(kVersaoGerador);
    if (QFile::exists(path))
        return path;
    const QString parcial = path + QStringLiteral(".parcial");
    QFile::remove(parcial);
    DatabaseConfig config;
    config.path = parcial;
    config.user = qEnvironmentVariable("KELM_DB_USER", QStringLiteral("KELM"));
    std::printf("generating %d years into %s (once; later runs reuse it)\n", anos, qPrintable(path));
    gera(config, anos, semente);
    if (!QFile::rename(parcial, path))
        throw EDatabaseError(QStringLiteral("cannot keep the generated database as %1").arg(path));
    return path;
}

// Qt's platform plugin complains of what an offscreen screen cannot do; the table is what matters.
void semAvisosDePlataforma(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg && text.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

struct Secao {
    const char* nome;
    std::function<void(TZoDatabase&, ScriptedMessageService&)> roda;
};

int bench(const QStringList& args) {
    const int anos = opcao(args, "--years", QStringLiteral("5")).toInt();
    const quint32 semente = opcao(args, "--seed", QStringLiteral("1")).toUInt();
    const QString servidor = opcao(args, "--server");
    const QString proprio = opcao(args, "--database"); // a generated database used as it is
    QTemporaryDir dir;
    // Reports go to PDF files there, nothing asked.
    if (!qEnvironmentVariableIsSet("KELM_REPORT_DIR"))
        qputenv("KELM_REPORT_DIR", dir.filePath(QStringLiteral("relatorios")).toUtf8());
    QDir().mkpath(qEnvironmentVariable("KELM_REPORT_DIR"));
    DatabaseConfig config;
    if (!proprio.isEmpty()) {
        config.path = proprio;
    } else {
        const QString cache = bancoEmCache(anos, semente);
        if (servidor.isEmpty()) {
            config.path = dir.filePath(QStringLiteral("bench.fdb"));
        } else {
            config = DatabaseConfig::parse(servidor);
            config.user = qEnvironmentVariable("KELM_DB_USER", QStringLiteral("KELM"));
            config.password = qEnvironmentVariable("KELM_DB_PASSWORD", QStringLiteral("kelm"));
        }
        QFile::remove(config.path);
        QElapsedTimer copia;
        copia.start();
        if (!QFile::copy(cache, config.path))
            throw EDatabaseError(QStringLiteral("cannot copy %1 to %2").arg(cache, config.path));
        // The server runs as its own user.
        QFile(config.path)
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                            QFile::ReadOther | QFile::WriteOther);
        std::printf("working copy %s (%lld ms)\n", qPrintable(config.target()),
                    static_cast<long long>(copia.elapsed()));
    }
    ScriptedMessageService messages;
    HostContext context(messages);
    TZoDatabase& db = context.Database();
    OpenHostDatabase(db, config, false, [] { return true; });
    context.Session().usuario = QStringLiteral("ADMIN");
    context.Session().usuarioCodigo = QStringLiteral("001");
    ModuleLoader module;
    QString error;
    if (!module.Load(QStringLiteral("kelmTingimento"), &error))
        throw EDatabaseError(QStringLiteral("module not loaded: %1").arg(error));

    const Secao secoes[] = {{"dados", BenchDados},
                            {"cadastros", BenchCadastros},
                            {"receitas", BenchReceitas},
                            {"telas-receitas", BenchTelasReceitas},
                            {"notas", BenchNotas},
                            {"fal", BenchFal},
                            {"quadro", BenchQuadro},
                            {"programacao", BenchProgramacao},
                            {"geracao", BenchGeracao},
                            {"curvas", BenchCurvas},
                            {"apontamento", BenchApontamento}};
    const QStringList so = opcao(args, "--only").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const Secao& secao : secoes) {
        if (!so.isEmpty() && !so.contains(QLatin1String(secao.nome)))
            continue;
        std::printf("\n[%s]\n", secao.nome);
        secao.roda(db, messages);
        db.Transaction()->RollbackRetaining();
        messages.Clear();
    }
    TabelaBench::Global().ImprimeResumo();
    if (args.contains(QStringLiteral("--csv")))
        TabelaBench::Global().ImprimeCsv();
    return 0;
}
} // namespace

// ./kelm bench [--years N] [--seed S] [--server host:path] [--database PATH] [--only a,b] [--csv]
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(semAvisosDePlataforma);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm"));
    PrepareFirebirdEnvironment();
    const QStringList args = QCoreApplication::arguments();
    try {
        return args.contains(QStringLiteral("--generate")) ? soGera(args) : bench(args);
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}
