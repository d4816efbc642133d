#include "BancoBench.h"
#include "FirebirdEngine.h"
#include "Gerador.h"
#include "HostError.h"
#include "SchemaUpgrade.h"
#include "TZoDatabase.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QStandardPaths>
#include <cstdio>

namespace {
// Bumped whenever the generator writes other rows: a cached database of an older one is made again.
constexpr int kVersaoGerador = 11;

void imprimeContagens(TZoDatabase& db) {
    for (const char* table : {"ENTIDADE", "PRODUTO", "MATERIAL", "MAQ_TIN", "ROTEIRO", "CADCORTIN", "RECEITA",
                              "MAT_TIN", "TABPRECO", "NFTIN", "NFITIN", "FAL", "FAL_ITEN", "PROCESSO_TIN",
                              "TNG_PROG", "LOG", "ORCAMENTO", "ORCA_ITEN"}) {
        QSqlQuery q(db.Connection());
        db.Exec(q, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)), false);
        q.next();
        std::printf("%-14s %9d\n", table, q.value(0).toInt());
    }
}
} // namespace

void GeraBanco(const DatabaseConfig& config, int anos, quint32 semente) {
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

QString BancoEmCache(int anos, quint32 semente) {
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
    GeraBanco(config, anos, semente);
    if (!QFile::rename(parcial, path))
        throw EDatabaseError(QStringLiteral("cannot keep the generated database as %1").arg(path));
    return path;
}

void CopiaDeTrabalho(const QString& origem, const DatabaseConfig& config) {
    QFile::remove(config.path);
    QElapsedTimer copia;
    copia.start();
    if (!QFile::copy(origem, config.path))
        throw EDatabaseError(QStringLiteral("cannot copy %1 to %2").arg(origem, config.path));
    // The server runs as its own user.
    QFile(config.path)
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                        QFile::ReadOther | QFile::WriteOther);
    std::printf("working copy %s (%lld ms)\n", qPrintable(config.target()),
                static_cast<long long>(copia.elapsed()));
}

DatabaseConfig ConfigServidor(const QString& endereco) {
    DatabaseConfig config = DatabaseConfig::parse(endereco);
    config.user = qEnvironmentVariable("KELM_DB_USER", QStringLiteral("KELM"));
    config.password = qEnvironmentVariable("KELM_DB_PASSWORD", QStringLiteral("kelm"));
    return config;
}

SessaoBench::SessaoBench(const DatabaseConfig& config) {
    // Generated databases, made again at will: an upgrade of one needs no copy kept first.
    OpenHostDatabase(
        Banco(), config, false, [] { return true; }, QStringLiteral(":/db"), false);
    m_context.Session().usuario = QStringLiteral("ADMIN");
    m_context.Session().usuarioCodigo = QStringLiteral("001");
    QString error;
    if (!m_module.Load(QStringLiteral("kelmTingimento"), &error))
        throw EDatabaseError(QStringLiteral("module not loaded: %1").arg(error));
}

namespace {
// Qt's platform plugin complains of what an offscreen screen cannot do; the figures are what matters.
void semAvisosDePlataforma(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg && text.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}
} // namespace

int RodaMedicao(int argc, char** argv, const std::function<int(const QStringList&)>& corpo) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(semAvisosDePlataforma);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm"));
    PrepareFirebirdEnvironment();
    try {
        return corpo(QCoreApplication::arguments());
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 1;
}

QString Opcao(const QStringList& args, const char* nome, const QString& padrao) {
    const qsizetype at = args.indexOf(QLatin1String(nome));
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : padrao;
}
