// Timings of the data layer on a database the size of a few years of work: bulk insert in one unit of
// work, reading a large result into memory, sorting and filtering it, locating, and code numbering.
#include "DataAccess.h"
#include "DataContext.h"
#include "FirebirdEngine.h"
#include "SchemaUpgrade.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {
void report(const char* what, qint64 ms, int rows) {
    std::printf("%-46s %7lld ms  (%d rows)\n", what, static_cast<long long>(ms), rows);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm"));
    PrepareFirebirdEnvironment();
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    DatabaseConfig config;
    config.path = dir.filePath(QStringLiteral("bench.fdb"));
    DataContext context;
    TZoDatabase& db = context.Database();
    OpenHostDatabase(db, config, false, [] { return true; });

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
    return 0;
}
