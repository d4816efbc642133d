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

void execCommitted(TZoDatabase& db, const QString& sql, const QString& where) {
    db.BeginStatement();
    QSqlQuery q(db.Connection());
    // Firebird checks much DDL only at commit: commit each statement so its error names it.
    if (!q.exec(sql) || !q.exec(QStringLiteral("COMMIT RETAIN"))) {
        const QString text = q.lastError().text();
        db.Transaction()->RollbackRetaining();
        throw EDatabaseError(QStringLiteral("%1:\n%2\n\n%3").arg(where, text, sql.left(400)));
    }
}

void ensureVersionTable(TZoDatabase& db) {
    if (!tableExists(db, QStringLiteral("SCHEMA_VERSAO")))
        execCommitted(db,
                      QStringLiteral("CREATE TABLE SCHEMA_VERSAO (SCRIPT VARCHAR(80) NOT NULL PRIMARY KEY, "
                                     "APLICADO TIMESTAMP DEFAULT CURRENT_TIMESTAMP)"),
                      QStringLiteral("SCHEMA_VERSAO"));
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
    QSqlQuery q(db.Connection());
    db.Exec(q, QStringLiteral("SELECT SCRIPT FROM SCHEMA_VERSAO ORDER BY SCRIPT"), false);
    while (q.next())
        names << q.value(0).toString();
    return names;
}

void SchemaUpgrade::RunScript(TZoDatabase& db, const QString& name, const QString& text) {
    const QStringList statements = SplitSqlScript(text);
    for (int i = 0; i < statements.size(); ++i)
        execCommitted(db, statements[i], QStringLiteral("%1, comando %2").arg(name).arg(i + 1));
    QSqlQuery record(db.Connection());
    db.Prepare(record, QStringLiteral("INSERT INTO SCHEMA_VERSAO (SCRIPT) VALUES (:S)"), true);
    record.bindValue(QStringLiteral(":S"), name);
    db.Exec(record, true);
    db.Transaction()->CommitRetaining();
}

QStringList SchemaUpgrade::Apply(TZoDatabase& db, bool demo, const QString& root) {
    ensureVersionTable(db);
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

void OpenHostDatabase(TZoDatabase& db, const DatabaseConfig& config, bool demo) {
    bool created = false;
    if (!config.isServer() && !QFileInfo::exists(config.path)) {
        const QString error = CreateDatabase(config);
        if (!error.isEmpty())
            throw EDatabaseError(
                QStringLiteral("Não foi possível criar o banco de dados %1.\n%2").arg(config.path, error));
        created = true;
    }
    try {
        db.Open(config);
    } catch (const EDatabaseError&) {
        if (!config.isServer() || !CreateDatabase(config).isEmpty())
            throw;
        created = true;
        db.Open(config);
    }
    // A database that was given demo data keeps receiving the demo rows of newer tables.
    bool carriesDemo = created && demo;
    for (const QString& name : SchemaUpgrade::Applied(db))
        carriesDemo = carriesDemo || name.startsWith(QLatin1String("demo/"));
    SchemaUpgrade::Apply(db, carriesDemo);
}
