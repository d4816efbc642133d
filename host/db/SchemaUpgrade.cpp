#include "SchemaUpgrade.h"
#include "FirebirdEngine.h"
#include "HostError.h"
#include "TZoDatabase.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

QStringList SplitSqlScript(const QString& script) {
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    for (const QString& rawLine : script.split('\n')) {
        const QString line = rawLine.trimmed();
        if (current.trimmed().isEmpty() && (line.isEmpty() || line.startsWith(QLatin1String("--"))))
            continue;
        if (current.trimmed().isEmpty() && line.startsWith(QLatin1String("SET TERM"), Qt::CaseInsensitive)) {
            // "SET TERM ^ ;" or "SET TERM ; ^": the new terminator is the first token
            terminator = line.mid(8).trimmed().section(' ', 0, 0);
            continue;
        }
        if (line.startsWith(QLatin1String("--")))
            continue;
        current += rawLine + '\n';
        // A terminator ends the statement only outside quoted literals.
        int quotes = 0;
        for (const QChar c : current)
            if (c == '\'')
                ++quotes;
        if (quotes % 2 == 0 && line.endsWith(terminator)) {
            QString statement = current.trimmed();
            statement.chop(terminator.size());
            if (!statement.trimmed().isEmpty())
                statements << statement.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

namespace {
bool tableExists(TZoDatabase& db, const QString& table) {
    QSqlQuery q(db.Connection());
    db.Prepare(q, QStringLiteral("SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :T"), false);
    q.bindValue(QStringLiteral(":T"), table);
    db.Exec(q, false);
    return q.next();
}

bool columnExists(TZoDatabase& db, const QString& table, const QString& column) {
    QSqlQuery q(db.Connection());
    db.Prepare(q,
               QStringLiteral("SELECT 1 FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = :T "
                              "AND RDB$FIELD_NAME = :C"),
               false);
    q.bindValue(QStringLiteral(":T"), table);
    q.bindValue(QStringLiteral(":C"), column);
    db.Exec(q, false);
    return q.next();
}

// Runs one statement and, in the same commit, records how far its script has come: a script stopped
// half-way (an error, a crash) resumes after its last committed statement instead of failing on its
// first one. Firebird checks much DDL only at commit, hence one commit per statement.
void execStep(TZoDatabase& db, const QString& sql, const QString& script, int done, const QString& where) {
    db.BeginStatement();
    QSqlQuery q(db.Connection());
    QSqlQuery progress(db.Connection());
    bool ok = q.exec(sql);
    if (ok && !script.isEmpty()) {
        ok = progress.prepare(QStringLiteral("UPDATE SCHEMA_VERSAO SET PASSOS = :P WHERE SCRIPT = :S"));
        progress.bindValue(QStringLiteral(":P"), done);
        progress.bindValue(QStringLiteral(":S"), script);
        ok = ok && progress.exec();
    }
    ok = ok && q.exec(QStringLiteral("COMMIT RETAIN"));
    if (!ok) {
        const QString text = q.lastError().isValid() ? q.lastError().text() : progress.lastError().text();
        db.Transaction()->RollbackRetaining();
        throw EDatabaseError(QStringLiteral("%1:\n%2\n\n%3").arg(where, text, sql.left(400)));
    }
    db.Transaction()->CommitRetaining();
}

void ensureVersionTable(TZoDatabase& db) {
    if (!tableExists(db, QStringLiteral("SCHEMA_VERSAO")))
        execStep(db,
                 QStringLiteral(
                     "CREATE TABLE SCHEMA_VERSAO (SCRIPT VARCHAR(80) NOT NULL PRIMARY KEY, "
                     "APLICADO TIMESTAMP DEFAULT CURRENT_TIMESTAMP, PASSOS INTEGER, COMPLETO VARCHAR(1))"),
                 QString(), 0, QStringLiteral("SCHEMA_VERSAO"));
    else if (!columnExists(db, QStringLiteral("SCHEMA_VERSAO"), QStringLiteral("PASSOS")))
        execStep(db, QStringLiteral("ALTER TABLE SCHEMA_VERSAO ADD PASSOS INTEGER, ADD COMPLETO VARCHAR(1)"),
                 QString(), 0, QStringLiteral("SCHEMA_VERSAO"));
    if (!tableExists(db, QStringLiteral("SCHEMA_TRAVA"))) {
        execStep(db, QStringLiteral("CREATE TABLE SCHEMA_TRAVA (ID INTEGER NOT NULL PRIMARY KEY)"), QString(),
                 0, QStringLiteral("SCHEMA_TRAVA"));
        execStep(db, QStringLiteral("INSERT INTO SCHEMA_TRAVA (ID) VALUES (1)"), QString(), 0,
                 QStringLiteral("SCHEMA_TRAVA"));
    }
}

// Statements of the script already committed by an interrupted run; -1 when the script never started.
int resumeFrom(TZoDatabase& db, const QString& script) {
    QSqlQuery q(db.Connection());
    db.Prepare(q, QStringLiteral("SELECT COALESCE(PASSOS, 0) FROM SCHEMA_VERSAO WHERE SCRIPT = :S"), false);
    q.bindValue(QStringLiteral(":S"), script);
    db.Exec(q, false);
    return q.next() ? q.value(0).toInt() : -1;
}

void record(TZoDatabase& db, const QString& sql, const QString& script) {
    QSqlQuery q(db.Connection());
    db.Prepare(q, sql, true);
    q.bindValue(QStringLiteral(":S"), script);
    db.Exec(q, true);
    db.Transaction()->CommitRetaining();
}
} // namespace

QStringList SchemaUpgrade::Scripts(const QString& folder, const QString& root) {
    QStringList names;
    for (const QString& f :
         QDir(root + '/' + folder).entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name))
        names << folder + '/' + f;
    return names;
}

QStringList SchemaUpgrade::Applied(TZoDatabase& db) {
    QStringList names;
    if (!tableExists(db, QStringLiteral("SCHEMA_VERSAO")))
        return names;
    // Before scripts were recorded statement by statement, a recorded script was a complete one.
    const bool progress = columnExists(db, QStringLiteral("SCHEMA_VERSAO"), QStringLiteral("COMPLETO"));
    QSqlQuery q(db.Connection());
    db.Exec(q,
            progress ? QStringLiteral("SELECT SCRIPT FROM SCHEMA_VERSAO WHERE COALESCE(COMPLETO, 'S') = 'S' "
                                      "ORDER BY SCRIPT")
                     : QStringLiteral("SELECT SCRIPT FROM SCHEMA_VERSAO ORDER BY SCRIPT"),
            false);
    while (q.next())
        names << q.value(0).toString();
    return names;
}

void SchemaUpgrade::RunScript(TZoDatabase& db, const QString& name, const QString& text) {
    const QStringList statements = SplitSqlScript(text);
    int start = resumeFrom(db, name);
    if (start < 0) {
        record(db, QStringLiteral("INSERT INTO SCHEMA_VERSAO (SCRIPT, PASSOS, COMPLETO) VALUES (:S, 0, 'N')"),
               name);
        start = 0;
    }
    for (int i = start; i < statements.size(); ++i)
        execStep(db, statements[i], name, i + 1, QStringLiteral("%1, comando %2").arg(name).arg(i + 1));
    record(db,
           QStringLiteral(
               "UPDATE SCHEMA_VERSAO SET COMPLETO = 'S', APLICADO = CURRENT_TIMESTAMP WHERE SCRIPT = :S"),
           name);
}

QStringList SchemaUpgrade::Apply(TZoDatabase& db, bool demo, const QString& root) {
    ensureVersionTable(db);
    // One workstation upgrades at a time: the others wait on this row's lock, then find the work done.
    TZoDatabase lock(db.ConnectionName() + QStringLiteral("-schema"));
    lock.Open(db.Config());
    lock.BeginStatement();
    QSqlQuery hold(lock.Connection());
    if (!hold.exec(QStringLiteral("UPDATE SCHEMA_TRAVA SET ID = ID")))
        throw EDatabaseError(hold.lastError().text());
    const QStringList done = Applied(db);
    QStringList wanted = Scripts(QStringLiteral("schema"), root);
    if (demo)
        wanted += Scripts(QStringLiteral("demo"), root);
    QStringList applied;
    for (const QString& name : wanted) {
        if (done.contains(name))
            continue;
        QFile file(root + '/' + name);
        if (!file.open(QIODevice::ReadOnly))
            throw EDatabaseError(QStringLiteral("Script %1 não encontrado.").arg(name));
        RunScript(db, name, QString::fromUtf8(file.readAll()));
        applied << name;
    }
    return applied;
}

void OpenHostDatabase(TZoDatabase& db, const DatabaseConfig& config, bool demo,
                      const std::function<bool()>& mayCreate) {
    bool created = false;
    const auto create = [&] {
        // A mistyped path or an unmounted share must not quietly become a new, empty database.
        if (!mayCreate || !mayCreate())
            throw EDatabaseError(QStringLiteral("O banco de dados %1 não existe.").arg(config.target()));
        const QString error = CreateDatabase(config);
        if (!error.isEmpty())
            throw EDatabaseError(QStringLiteral("Não foi possível criar o banco de dados %1.\n%2")
                                     .arg(config.target(), error));
        created = true;
    };
    if (!config.isServer() && !QFileInfo::exists(config.path))
        create();
    try {
        db.Open(config);
    } catch (const EDatabaseError& e) {
        // Only a server path that names no file is a candidate for creation; anything else is reported.
        const bool missing = e.message().contains(QLatin1String("No such file"), Qt::CaseInsensitive) ||
                             e.message().contains(QLatin1String("I/O error"), Qt::CaseInsensitive);
        if (created || !config.isServer() || !missing)
            throw;
        create();
        db.Open(config);
    }
    // A database that was given demo data keeps receiving the demo rows of newer tables.
    bool carriesDemo = created && demo;
    for (const QString& name : SchemaUpgrade::Applied(db))
        carriesDemo = carriesDemo || name.startsWith(QLatin1String("demo/"));
    SchemaUpgrade::Apply(db, carriesDemo);
}
