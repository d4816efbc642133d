#include "SchemaUpgrade.h"
#include "Funcoes.h"
#include "HostError.h"
#include "TZoDatabase.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

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

bool rowExists(TZoDatabase& db, const QString& sql) {
    QSqlQuery q(db.Connection());
    db.Exec(q, sql, false);
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

void ensureVersionTableOnce(TZoDatabase& db) {
    if (!tableExists(db, QStringLiteral("SCHEMA_VERSAO")))
        execStep(db,
                 QStringLiteral(
                     "CREATE TABLE SCHEMA_VERSAO (SCRIPT VARCHAR(80) NOT NULL PRIMARY KEY, "
                     "APLICADO TIMESTAMP DEFAULT CURRENT_TIMESTAMP, PASSOS INTEGER, COMPLETO VARCHAR(1))"),
                 QString(), 0, QStringLiteral("SCHEMA_VERSAO"));
    else if (!columnExists(db, QStringLiteral("SCHEMA_VERSAO"), QStringLiteral("PASSOS")))
        execStep(db, QStringLiteral("ALTER TABLE SCHEMA_VERSAO ADD PASSOS INTEGER, ADD COMPLETO VARCHAR(1)"),
                 QString(), 0, QStringLiteral("SCHEMA_VERSAO"));
    if (!tableExists(db, QStringLiteral("SCHEMA_TRAVA")))
        execStep(db, QStringLiteral("CREATE TABLE SCHEMA_TRAVA (ID INTEGER NOT NULL PRIMARY KEY)"), QString(),
                 0, QStringLiteral("SCHEMA_TRAVA"));
    // Only when missing: updating it would wait on a workstation holding it.
    if (!rowExists(db, QStringLiteral("SELECT 1 FROM SCHEMA_TRAVA")))
        execStep(db, QStringLiteral("INSERT INTO SCHEMA_TRAVA (ID) VALUES (1)"), QString(), 0,
                 QStringLiteral("SCHEMA_TRAVA"));
}

// Two workstations on a database just created both find the tables missing; the one that loses the race
// fails on the other's tables and, trying again, finds them there.
void ensureVersionTable(TZoDatabase& db) {
    for (int attempt = 1;; ++attempt) {
        try {
            ensureVersionTableOnce(db);
            return;
        } catch (const EDatabaseError&) {
            if (attempt >= 10)
                throw;
            QThread::msleep(50 * attempt);
        }
    }
}

// The creation marker: a row of SCHEMA_VERSAO that is not a script. PASSOS tells whether the database was
// created with demo data, so whoever finishes an interrupted creation gives it what it was meant to have.
const QString kCreation = QStringLiteral("criacao");

struct Creation {
    bool exists = false;
    bool complete = false;
    bool demo = false;
};

Creation creationMarker(TZoDatabase& db) {
    Creation creation;
    if (!tableExists(db, QStringLiteral("SCHEMA_VERSAO")) ||
        !columnExists(db, QStringLiteral("SCHEMA_VERSAO"), QStringLiteral("COMPLETO")))
        return creation;
    QSqlQuery q(db.Connection());
    db.Prepare(q, QStringLiteral("SELECT PASSOS, COMPLETO FROM SCHEMA_VERSAO WHERE SCRIPT = :S"), false);
    q.bindValue(QStringLiteral(":S"), kCreation);
    db.Exec(q, false);
    if (q.next()) {
        creation.exists = true;
        creation.demo = q.value(0).toInt() == 1;
        creation.complete = q.value(1).toString() == QLatin1String("S");
    }
    return creation;
}

bool readOnly(TZoDatabase& db) {
    QSqlQuery q(db.Connection());
    db.Exec(q, QStringLiteral("SELECT MON$READ_ONLY FROM MON$DATABASE"), false);
    return q.next() && q.value(0).toInt() == 1;
}

// One workstation upgrades at a time: the others wait on this row's lock, then find the work done. The
// wait is bounded, and a workstation killed while holding the lock lets go of it with its connection.
class SchemaTurn {
public:
    explicit SchemaTurn(TZoDatabase& db) : m_lock(db.ConnectionName() + QStringLiteral("-schema")) {
        QElapsedTimer timer;
        timer.start();
        m_lock.Open(db.Config());
        for (;;) {
            const qint64 left = SchemaUpgrade::WaitMs - timer.elapsed();
            m_lock.LockTimeoutMs = int(qMax<qint64>(left, 100));
            try {
                QSqlQuery hold(m_lock.Connection());
                m_lock.Prepare(
                    hold, QStringLiteral("UPDATE OR INSERT INTO SCHEMA_TRAVA (ID) VALUES (1) MATCHING (ID)"),
                    true);
                m_lock.Exec(hold, true);
                return;
            } catch (const EDatabaseError& e) {
                // A row another workstation committed after our snapshot began conflicts once; a new unit of
                // work sees it. Other failures are no matter of waiting.
                m_lock.Transaction()->Rollback();
                const bool conflict = e.message().contains(QLatin1String("outro usuário")) ||
                                      e.message().contains(QLatin1String("já existe"));
                if (!conflict && timer.elapsed() < SchemaUpgrade::WaitMs)
                    throw;
                if (timer.elapsed() >= SchemaUpgrade::WaitMs)
                    throw EDatabaseError(
                        QStringLiteral(
                            "O banco de dados %1 está sendo criado ou atualizado por outra estação há "
                            "mais de %2 segundos. Tente de novo em instantes.")
                            .arg(db.Config().target())
                            .arg(SchemaUpgrade::WaitMs / 1000));
                QThread::msleep(100);
            }
        }
    }

private:
    TZoDatabase m_lock;
};
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
// Each object of a kind still without the role's privilege is granted it: what a later script adds too.
void concede(TZoDatabase& db, const QString& papel, const QString& objetos, int tipo,
             const QString& privilegio, const QString& concessao) {
    execStep(
        db,
        QStringLiteral("EXECUTE BLOCK AS DECLARE T VARCHAR(63); BEGIN FOR SELECT TRIM(O.NOME) FROM (%1) O "
                       "WHERE NOT EXISTS (SELECT 1 FROM RDB$USER_PRIVILEGES P WHERE P.RDB$USER = '%2' AND "
                       "P.RDB$RELATION_NAME = O.NOME AND P.RDB$OBJECT_TYPE = %3 AND P.RDB$PRIVILEGE = '%4') "
                       "INTO :T DO EXECUTE STATEMENT '%5 \"' || T || '\" TO ROLE %2'; END")
            .arg(objetos, papel)
            .arg(tipo)
            .arg(privilegio, concessao),
        {}, 0, QStringLiteral("privilégios de %1").arg(papel));
}

// Outside readers on a server (a spreadsheet, a BI tool) read every table and view through one role and can
// write nothing; the application's users work through another; what a script added is granted with the rest.
void concedePapeis(TZoDatabase& db) {
    for (const char* papel : {kPapelLeitura, kPapelUsuario})
        if (!rowExists(db, QStringLiteral("SELECT 1 FROM RDB$ROLES WHERE RDB$ROLE_NAME = '%1'").arg(papel)))
            execStep(db, QStringLiteral("CREATE ROLE %1").arg(papel), {}, 0,
                     QStringLiteral("papel %1").arg(papel));
    // Each pass: the role, the objects, their kind in RDB$USER_PRIVILEGES, the privilege it reads there, and
    // the grant.
    struct Passe {
        const char *papel, *objetos;
        int tipo;
        const char *privilegio, *concessao;
    };
    static const char* const relacoes =
        "SELECT RDB$RELATION_NAME AS NOME FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0";
    static const Passe passes[] = {
        {kPapelLeitura, relacoes, 0, "S", "GRANT SELECT ON"},
        {kPapelUsuario, relacoes, 0, "D", "GRANT SELECT, INSERT, UPDATE, DELETE ON"},
        {kPapelUsuario,
         "SELECT RDB$GENERATOR_NAME AS NOME FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0", 14,
         "G", "GRANT USAGE ON SEQUENCE"},
        {kPapelUsuario,
         "SELECT RDB$PROCEDURE_NAME AS NOME FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND "
         "RDB$PACKAGE_NAME IS NULL",
         5, "X", "GRANT EXECUTE ON PROCEDURE"},
        {kPapelUsuario,
         "SELECT RDB$FUNCTION_NAME AS NOME FROM RDB$FUNCTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND "
         "RDB$PACKAGE_NAME IS NULL",
         15, "X", "GRANT EXECUTE ON FUNCTION"},
        {kPapelUsuario,
         "SELECT RDB$EXCEPTION_NAME AS NOME FROM RDB$EXCEPTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0", 7,
         "G", "GRANT USAGE ON EXCEPTION"},
    };
    for (const Passe& p : passes)
        concede(db, p.papel, QString::fromLatin1(p.objetos), p.tipo, QString::fromLatin1(p.privilegio),
                QString::fromLatin1(p.concessao));
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
                                      "AND SCRIPT <> 'criacao' ORDER BY SCRIPT")
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

int SchemaUpgrade::WaitMs = 90000;

QStringList SchemaUpgrade::Pending(TZoDatabase& db, bool demo, const QString& root) {
    QStringList wanted = Scripts(QStringLiteral("schema"), root);
    if (demo)
        wanted += Scripts(QStringLiteral("demo"), root);
    const QStringList done = Applied(db);
    QStringList pending;
    for (const QString& name : wanted)
        if (!done.contains(name))
            pending << name;
    return pending;
}

QStringList SchemaUpgrade::Apply(TZoDatabase& db, bool demo, const QString& root) {
    // An up-to-date database is only read: a read-only one opens, and starts never wait on each other.
    const QStringList pending = Pending(db, demo || creationMarker(db).demo, root);
    if (pending.isEmpty())
        return {};
    CheckWritable(db, pending);
    ensureVersionTable(db);
    SchemaTurn turn(db);
    // Another workstation may have done the work while this one waited.
    const Creation creation = creationMarker(db);
    QStringList applied;
    for (const QString& name : Pending(db, demo || creation.demo, root)) {
        QFile file(root + '/' + name);
        if (!file.open(QIODevice::ReadOnly))
            throw EDatabaseError(QStringLiteral("Script %1 não encontrado.").arg(name));
        // A script begun before was interrupted (or failed): what it left may be beyond redoing.
        const bool begun = resumeFrom(db, name) >= 0;
        try {
            RunScript(db, name, QString::fromUtf8(file.readAll()));
        } catch (const EDatabaseError& e) {
            if (!begun)
                throw;
            throw EResumeFailed(e.message() +
                                QStringLiteral("\n\nA atualização %1 já tinha começado antes e não pôde "
                                               "ser retomada.")
                                    .arg(name));
        }
        applied << name;
    }
    if (!applied.isEmpty())
        concedePapeis(db);
    if (creation.exists && !creation.complete)
        record(db,
               QStringLiteral(
                   "UPDATE SCHEMA_VERSAO SET COMPLETO = 'S', APLICADO = CURRENT_TIMESTAMP WHERE SCRIPT = :S"),
               kCreation);
    return applied;
}

void SchemaUpgrade::CheckWritable(TZoDatabase& db, const QStringList& pending) {
    if (readOnly(db))
        throw EDatabaseError(QStringLiteral("O banco de dados %1 está somente para leitura e não pode ser "
                                            "atualizado para esta versão do sistema (faltam %2).")
                                 .arg(db.Config().target(), pending.join(QStringLiteral(", "))));
}

void SchemaUpgrade::BeginCreation(TZoDatabase& db, bool demo) {
    ensureVersionTable(db);
    // Several workstations may find the same blank database: the first marker stays.
    for (int attempt = 1; !creationMarker(db).exists; ++attempt) {
        try {
            execStep(
                db,
                QStringLiteral("INSERT INTO SCHEMA_VERSAO (SCRIPT, PASSOS, COMPLETO) VALUES (%1, %2, 'N')")
                    .arg(Aspas(kCreation))
                    .arg(demo ? 1 : 0),
                QString(), 0, kCreation);
        } catch (const EDatabaseError&) {
            if (attempt >= 10)
                throw;
            QThread::msleep(50 * attempt);
        }
    }
}

bool SchemaUpgrade::BeingCreated(TZoDatabase& db) {
    const Creation creation = creationMarker(db);
    return creation.exists && !creation.complete;
}

bool SchemaUpgrade::Blank(TZoDatabase& db) {
    return !creationMarker(db).exists && Applied(db).isEmpty();
}

bool SchemaUpgrade::CarriesDemo(TZoDatabase& db, bool demo) {
    const QStringList applied = Applied(db);
    for (const QString& name : applied)
        if (name.startsWith(QLatin1String("demo/")))
            return true;
    const Creation creation = creationMarker(db);
    // A database nothing was ever applied to is a new one, whoever created it.
    return creation.exists ? creation.demo : demo && applied.isEmpty();
}
