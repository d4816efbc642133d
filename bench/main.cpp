// Timings of the data layer on a database the size of a few years of work: bulk insert in one unit of
// work, reading a large result into memory, sorting and filtering it, locating, code numbering, and posting
// a row in a grid as large as a screen may show.
#include "BenchNotas.h"
#include "BenchReceitas.h"
#include "BenchTelasReceitas.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "FirebirdEngine.h"
#include "Gerador.h"
#include "HostContext.h"
#include "HostError.h"
#include "Medicao.h"
#include "SchemaUpgrade.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
void report(const char* what, qint64 ms, int rows) {
    std::printf("%-46s %7lld ms  (%d rows)\n", what, static_cast<long long>(ms), rows);
}

// Microseconds of one edit-and-post of a row in the middle of a grid of `rows` rows, shown on screen; the
// median of 200. A post tells the grid of that row only, so the size of the grid must not matter.
double gridPostMicroseconds(int rows, bool sorted) {
    TClientDataSet data;
    data.AddField(QStringLiteral("CODIGO"), QMetaType::LongLong)
        .AddField(QStringLiteral("NOME"), QMetaType::QString, 40)
        .AddField(QStringLiteral("PESO"), QMetaType::Double);
    data.CreateDataSet();
    data.DisableControls();
    for (int i = 0; i < rows; ++i) {
        data.Append();
        data.FieldByName(QStringLiteral("CODIGO")) = i;
        data.FieldByName(QStringLiteral("NOME")) = QStringLiteral("PARTIDA %1").arg(i);
        data.FieldByName(QStringLiteral("PESO")) = i % 500;
        data.Post();
    }
    data.EnableControls();
    if (sorted)
        data.SetIndexFieldNames(QStringLiteral("PESO"));
    TZoDBGrid grid;
    grid.SetDataSet(&data);
    grid.resize(900, 600);
    grid.show();
    QCoreApplication::processEvents();
    QList<double> times;
    QElapsedTimer timer;
    for (int k = 0; k < 200; ++k) {
        data.MoveTo(rows / 2);
        timer.start();
        data.Edit();
        data.FieldByName(QStringLiteral("PESO")) = k % 500;
        data.Post();
        QCoreApplication::processEvents();
        times << timer.nsecsElapsed() / 1000.0;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// --generate [--years N] [--seed S] [--database PATH]: a fresh database holding N years of a dye-house.
int generate(const QStringList& args) {
    const auto option = [&](const char* name, const QString& fallback) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
    };
    const int years = option("--years", QStringLiteral("5")).toInt();
    const quint32 seed = option("--seed", QStringLiteral("1")).toUInt();
    DatabaseConfig config;
    config.path = option("--database", QStringLiteral("kelm-bench-%1y.fdb").arg(years));
    QFile::remove(config.path);
    ScriptedMessageService messages;
    HostContext context(messages);
    TZoDatabase& db = context.Database();
    QElapsedTimer timer;
    timer.start();
    try {
        OpenHostDatabase(db, config, false, [] { return true; });
        GeraFabrica(db, years, seed);
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    const qint64 ms = timer.elapsed();
    for (const char* table :
         {"ENTIDADE", "PRODUTO", "MATERIAL", "MAQ_TIN", "ROTEIRO", "CADCORTIN", "RECEITA", "MAT_TIN",
          "TABPRECO", "NFTIN", "NFITIN", "FAL", "FAL_ITEN", "PROCESSO_TIN", "LOG"}) {
        QSqlQuery q(db.Connection());
        db.Exec(q, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)), false);
        q.next();
        std::printf("%-14s %9d\n", table, q.value(0).toInt());
    }
    std::printf("%d years, seed %u, into %s: %lld ms\n", years, seed, qPrintable(config.path),
                static_cast<long long>(ms));
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm"));
    PrepareFirebirdEnvironment();
    if (QCoreApplication::arguments().contains(QStringLiteral("--generate")))
        return generate(QCoreApplication::arguments());
    // ./kelm bench [rows] [--csv]
    int rows = 100000;
    for (const QString& arg : QCoreApplication::arguments().mid(1))
        if (arg.toInt() > 0)
            rows = arg.toInt();
    QTemporaryDir dir;
    DatabaseConfig config;
    config.path = dir.filePath(QStringLiteral("bench.fdb"));
    ScriptedMessageService messages;
    HostContext context(messages);
    TZoDatabase& db = context.Database();
    OpenHostDatabase(db, config, false, [] { return true; });
    context.Session().usuario = QStringLiteral("ADMIN");
    context.Session().usuarioCodigo = QStringLiteral("001");
    {
        TZoQuery admin;
        admin.SQL << "INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO)"
                  << "VALUES ('001', 'ADMIN', '', 'S', 'S', 'S')";
        admin.ExecSQL();
        db.Transaction()->CommitRetaining();
    }

    QElapsedTimer timer;
    timer.start();
    TZoQuery insert;
    insert.SQL
        << "INSERT INTO LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO)"
        << "VALUES (:ID, :CHAVE, :DATA, '10:00:00', 'ADMIN', 'FmCadFal', 'CADASTRO DE FAL', :TEXTO, :TIPO)";
    const QDate start(2022, 1, 1);
    for (int i = 0; i < rows; ++i) {
        insert.BindValue(QStringLiteral("ID"), i + 1);
        insert.BindValue(QStringLiteral("CHAVE"), QString::number(i % 50000).rightJustified(6, '0'));
        insert.BindValue(QStringLiteral("DATA"), start.addDays(i % 1460));
        insert.BindValue(QStringLiteral("TEXTO"), QStringLiteral("ALTERACAO DA FAL %1").arg(i));
        insert.BindValue(QStringLiteral("TIPO"), i % 4);
        insert.ExecSQL();
    }
    db.Transaction()->CommitRetaining();
    report("prepared inserts, one unit of work", timer.restart(), rows);

    TZoQuery all;
    all.SQL << "SELECT ID, CHAVE, DATA, TEXTO, TIPO FROM LOG";
    all.Open();
    report("read everything into memory", timer.restart(), all.RecordCount());

    all.SetIndexFieldNames(QStringLiteral("CHAVE;DATA"));
    report("sort by two fields", timer.restart(), all.RecordCount());

    all.SetFilter([](const RecordView& r) { return r.value(QStringLiteral("TIPO")).toInt() == 2; });
    report("filter", timer.restart(), all.RecordCount());
    all.ClearFilter();

    int found = 0;
    for (int i = 0; i < 200; ++i)
        found +=
            all.Locate(QStringLiteral("CHAVE"), {QString::number(i * 211 % 50000).rightJustified(6, '0')});
    report("200 locates", timer.restart(), found);

    TZoQuery keyed;
    keyed.SQL << "SELECT COUNT(*) AS N FROM LOG WHERE FORMULARIO = 'FmCadFal' AND CHAVE = '004711'";
    for (int i = 0; i < 200; ++i)
        keyed.Open();
    report("200 indexed look-ups by screen and key", timer.restart(), keyed.FieldByName("N").AsInteger());

    for (int i = 0; i < 200; ++i)
        Proximo(QStringLiteral("FAL"), QStringLiteral("NUMERO"), 6);
    report("200 codes from Proximo", timer.restart(), 200);

    for (const bool sorted : {false, true}) {
        const double small = gridPostMicroseconds(10, sorted);
        const double large = gridPostMicroseconds(rows, sorted);
        std::printf("%-46s %7.0f us  (10 rows)\n%-46s %7.0f us  (%d rows)\n",
                    sorted ? "post a row, sorted grid, median" : "post a row in a grid, median", small, "",
                    large, rows);
    }
    BenchReceitas(db);
    BenchTelasReceitas(db, messages);
    BenchNotas(db, messages);
    if (QCoreApplication::arguments().contains(QStringLiteral("--csv")))
        TabelaBench::Global().ImprimeCsv();
    return 0;
}
