// ./kelm bench: every operation a user waits on, timed on years of a dye-house next to the engine's own time
// for the same rows. The generated database is kept in a cache and copied for each run, so the bench's own
// writes never reach the next run.
#include "BancoBench.h"
#include "BenchApontamento.h"
#include "BenchCadastros.h"
#include "BenchCopia.h"
#include "BenchCurvas.h"
#include "BenchDados.h"
#include "BenchEmissao.h"
#include "BenchEstamparia.h"
#include "BenchEtiquetas.h"
#include "BenchExpedicao.h"
#include "BenchFal.h"
#include "BenchFila.h"
#include "BenchFolhaTinturaria.h"
#include "BenchGeracao.h"
#include "BenchImportacao.h"
#include "BenchIndicadores.h"
#include "BenchNotas.h"
#include "BenchOrcamento.h"
#include "BenchPesagem.h"
#include "BenchProgramacao.h"
#include "BenchQuadro.h"
#include "BenchReceitas.h"
#include "BenchRelatorios.h"
#include "BenchTelasReceitas.h"
#include "HostError.h"
#include "Medicao.h"
#include "TZoDatabase.h"
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {
// --generate [--years N] [--seed S] [--database PATH]: only writes a fresh database.
int soGera(const QStringList& args) {
    const int anos = Opcao(args, "--years", QStringLiteral("5")).toInt();
    DatabaseConfig config;
    config.path = Opcao(args, "--database", QStringLiteral("kelm-bench-%1y.fdb").arg(anos));
    QFile::remove(config.path);
    GeraBanco(config, anos, Opcao(args, "--seed", QStringLiteral("1")).toUInt());
    return 0;
}

struct Secao {
    const char* nome;
    std::function<void(TZoDatabase&, ScriptedMessageService&)> roda;
};

int bench(const QStringList& args) {
    const int anos = Opcao(args, "--years", QStringLiteral("5")).toInt();
    const quint32 semente = Opcao(args, "--seed", QStringLiteral("1")).toUInt();
    const QString servidor = Opcao(args, "--server");
    const QString proprio = Opcao(args, "--database"); // a generated database used as it is
    QTemporaryDir dir;
    // Reports go to PDF files there, nothing asked.
    if (!qEnvironmentVariableIsSet("KELM_REPORT_DIR"))
        qputenv("KELM_REPORT_DIR", dir.filePath(QStringLiteral("relatorios")).toUtf8());
    QDir().mkpath(qEnvironmentVariable("KELM_REPORT_DIR"));
    DatabaseConfig config;
    if (!proprio.isEmpty()) {
        config.path = proprio;
    } else {
        const QString cache = BancoEmCache(anos, semente);
        if (servidor.isEmpty())
            config.path = dir.filePath(QStringLiteral("bench.fdb"));
        else
            config = ConfigServidor(servidor);
        CopiaDeTrabalho(cache, config);
    }
    SessaoBench sessao(config);
    TZoDatabase& db = sessao.Banco();
    ScriptedMessageService& messages = sessao.Mensagens();

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
                            {"apontamento", BenchApontamento},
                            {"emissao", BenchEmissao},
                            {"estamparia", BenchEstamparia},
                            {"pesagem", BenchPesagem},
                            {"fila-gantt", BenchFila},
                            {"expedicao", BenchExpedicao},
                            {"etiquetas", BenchEtiquetas},
                            {"orcamento", BenchOrcamento},
                            {"folha-tinturaria", BenchFolhaTinturaria},
                            {"relatorios", BenchRelatorios},
                            {"importacao", BenchImportacao},
                            {"copia", BenchCopia},
                            {"indicadores", BenchIndicadores}};
    const QStringList so = Opcao(args, "--only").split(QLatin1Char(','), Qt::SkipEmptyParts);
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
    return RodaMedicao(argc, argv, [](const QStringList& args) {
        return args.contains(QStringLiteral("--generate")) ? soGera(args) : bench(args);
    });
}
