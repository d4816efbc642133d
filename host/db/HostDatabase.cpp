// Opening the host database: creation, upgrade, workstations starting together.
#include "CopiaSeguranca.h"
#include "DatabaseFiles.h"
#include "FirebirdEngine.h"
#include "HostError.h"
#include "SchemaUpgrade.h"
#include "TZoDatabase.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QThread>

namespace {
// Beside the embedded file: the turn of the workstations starting on it, and the files being built.
const QString kTurn = QStringLiteral(".lock");
const QString kCreating = QStringLiteral(".criando");
const QString kUpgrading = QStringLiteral(".atualizando");

QString seconds(int ms) {
    return QString::number(qMax(1, ms / 1000));
}

EDatabaseError missing(const DatabaseConfig& config) {
    return EDatabaseError(QStringLiteral("O banco de dados %1 não existe.").arg(config.target()));
}

EDatabaseError busyElsewhere(const DatabaseConfig& config) {
    return EDatabaseError(QStringLiteral("O banco de dados %1 está sendo criado ou atualizado por outra "
                                         "estação há mais de %2 segundos. Tente de novo em instantes.")
                              .arg(config.target(), seconds(SchemaUpgrade::WaitMs)));
}

// What an interrupted run left behind is never used: the real file was not touched by it.
void discardLeftover(const QString& file, const char* what) {
    if (!QFileInfo::exists(file))
        return;
    qWarning("%s", what);
    if (!QFile::remove(file))
        throw EDatabaseError(
            QStringLiteral("Não foi possível remover %1, deixado por uma interrupção.").arg(file));
}

// Builds the file of work (a new database or a copy being upgraded) and puts it in place of the real one.
// Without forced writes while building: an interrupted build is thrown away anyway.
void buildAndReplace(const DatabaseConfig& work, const QString& target, const QString& connectionName,
                     bool forcedWrites, const std::function<void(TZoDatabase&)>& build) {
    QString error = SetForcedWrites(work, false);
    if (error.isEmpty()) {
        TZoDatabase db(connectionName);
        db.Open(work);
        build(db);
        db.Close();
        error = SetForcedWrites(work, forcedWrites);
    }
    if (error.isEmpty())
        error = ReplaceFile(work.path, target);
    if (!error.isEmpty())
        throw EDatabaseError(error);
}

void createEmbedded(const DatabaseConfig& config, bool demo, const QString& root, const QString& name) {
    DatabaseConfig work = config;
    work.path = config.path + kCreating;
    discardLeftover(work.path, "a creation of the database was interrupted; it starts over");
    const QString error = CreateDatabase(work);
    if (!error.isEmpty())
        throw EDatabaseError(
            QStringLiteral("Não foi possível criar o banco de dados %1.\n%2").arg(config.target(), error));
    try {
        buildAndReplace(work, config.path, name + QStringLiteral("-criacao"), true, [&](TZoDatabase& db) {
            SchemaUpgrade::BeginCreation(db, demo);
            SchemaUpgrade::Apply(db, demo, root);
        });
    } catch (const EDatabaseError& e) {
        QFile::remove(work.path);
        throw EDatabaseError(QStringLiteral("Não foi possível criar o banco de dados %1.\n%2")
                                 .arg(config.target(), e.message()));
    }
}

bool forcedWrites(TZoDatabase& db) {
    QSqlQuery q(db.Connection());
    db.Exec(q, QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE"), false);
    return !q.next() || q.value(0).toInt() == 1;
}

// The upgrade runs on a copy, which replaces the file only when complete: an upgrade killed half-way (the
// embedded engine dies with the process, mid-write) leaves the file as it was, and the next start upgrades
// it again. The copy is taken while no engine has the file open, and none can open it until it is replaced.
void upgradeEmbedded(const DatabaseConfig& config, bool demo, bool forced, const QString& root,
                     const QString& name) {
    FileHold whole;
    if (whole.Take(config.path, FileHold::Kind::Existing, qMin(SchemaUpgrade::WaitMs, 15000)) !=
        FileHold::Result::Held)
        throw EDatabaseError(QStringLiteral("O banco de dados %1 precisa ser atualizado para esta versão do "
                                            "sistema, mas está aberto em outro programa. Feche o sistema nas "
                                            "outras estações e abra de novo.")
                                 .arg(config.target()));
    DatabaseConfig work = config;
    work.path = config.path + kUpgrading;
    QFile::remove(work.path);
    QFile source(config.path);
    if (!source.copy(work.path))
        throw EDatabaseError(
            QStringLiteral("Não foi possível copiar o banco de dados %1 para atualizá-lo: %2\n"
                           "O banco de dados não foi alterado.")
                .arg(config.target(), source.errorString()));
    try {
        buildAndReplace(work, config.path, name + QStringLiteral("-atualizacao"), forced,
                        [&](TZoDatabase& db) {
                            if (SchemaUpgrade::Blank(db)) // an empty file given to be made a database
                                SchemaUpgrade::BeginCreation(db, demo);
                            SchemaUpgrade::Apply(db, demo, root);
                        });
    } catch (const EDatabaseError& e) {
        QFile::remove(work.path);
        throw EDatabaseError(e.message() + QStringLiteral("\n\nO banco de dados não foi alterado."));
    }
}

void openEmbedded(TZoDatabase& db, const DatabaseConfig& config, bool demo,
                  const std::function<bool()>& mayCreate, const QString& root, bool copiaAntes) {
    bool mayMake = false;
    if (!QFileInfo::exists(config.path)) {
        // A mistyped path or an unmounted share must not quietly become a new, empty database.
        if (!mayCreate || !mayCreate())
            throw missing(config);
        QDir().mkpath(QFileInfo(config.path).absolutePath());
        mayMake = true;
    }
    // Workstations starting on the same file take turns: the first creates or upgrades it, the next ones
    // find the work done. A folder nobody may write (a read-only medium) has no turns to take.
    FileHold turn;
    if (turn.Take(config.path + kTurn, FileHold::Kind::Turn, SchemaUpgrade::WaitMs) == FileHold::Result::Busy)
        throw busyElsewhere(config);
    if (!QFileInfo::exists(config.path)) {
        if (!mayMake)
            throw missing(config);
        createEmbedded(config, demo, root, db.ConnectionName());
    }
    discardLeftover(
        config.path + kUpgrading,
        "an upgrade of the database was interrupted; the file was left as it was before it and is "
        "upgraded again");
    db.Open(config);
    const bool carriesDemo = SchemaUpgrade::CarriesDemo(db, demo);
    const QStringList pending = SchemaUpgrade::Pending(db, carriesDemo, root);
    if (pending.isEmpty())
        return; // nothing written: a read-only database opens
    SchemaUpgrade::CheckWritable(db, pending);
    // An empty file given to be made a database has nothing to keep.
    if (copiaAntes && !SchemaUpgrade::Blank(db))
        CopiaAntesDaAtualizacao(config, pending);
    const bool forced = forcedWrites(db);
    db.Close();
    upgradeEmbedded(config, carriesDemo, forced, root, db.ConnectionName());
    db.Open(config);
}

bool namesNoFile(const QString& message) {
    return message.contains(QLatin1String("No such file"), Qt::CaseInsensitive) ||
           message.contains(QLatin1String("I/O error"), Qt::CaseInsensitive);
}

// Another workstation created the file a moment ago (the server refuses a second creation, with one text
// or another): open it once it takes shape.
void openCreatedElsewhere(TZoDatabase& db, const DatabaseConfig& config, const QString& creationError) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        try {
            db.Open(config);
            return;
        } catch (const EDatabaseError& e) {
            // Still no file: the creation failed for reasons of its own.
            if (e.message().contains(QLatin1String("No such file"), Qt::CaseInsensitive))
                throw EDatabaseError(QStringLiteral("Não foi possível criar o banco de dados %1.\n%2")
                                         .arg(config.target(), creationError));
            if (timer.elapsed() >= SchemaUpgrade::WaitMs)
                throw busyElsewhere(config);
            QThread::msleep(200);
        }
    }
}

// The server's files are out of the client's reach: nothing can be built under another name there. A
// client killed half-way leaves the server running, which undoes its unfinished transaction: the next start
// goes on from the last statement committed (the creation marker keeps the demo data asked for). A commit
// of a new table cut off that way can leave what not even the server can redo: a creation then starts
// over, an upgrade needs the server's backup.
void openOnServer(TZoDatabase& db, const DatabaseConfig& config, bool demo,
                  const std::function<bool()>& mayCreate, const QString& root, bool copiaAntes,
                  bool restarted = false) {
    bool created = false;
    try {
        db.Open(config);
    } catch (const EDatabaseError& e) {
        if (!namesNoFile(e.message()))
            throw;
        if (!mayCreate || !mayCreate())
            throw missing(config);
        const QString error = CreateDatabase(config);
        created = error.isEmpty();
        // Forced writes stay as the server sets them: switching them makes the server reopen the file under
        // the feet of the other workstations' attachments.
        if (created)
            db.Open(config);
        else
            openCreatedElsewhere(db, config, error);
    }
    // A blank database is one whose creator died before marking it: it is created here after all.
    // Workstations finding it blank together race on its first tables: the loser, once its connection's
    // view of the tables is fresh again, finds the winner's.
    for (int attempt = 1; created || SchemaUpgrade::Blank(db); ++attempt) {
        try {
            SchemaUpgrade::BeginCreation(db, demo);
        } catch (const EDatabaseError&) {
            if (attempt >= 10)
                throw;
            QThread::msleep(100 * attempt);
        }
        db.Close();
        db.Open(config);
        created = false;
    }
    const bool beingCreated = SchemaUpgrade::BeingCreated(db);
    const bool carriesDemo = SchemaUpgrade::CarriesDemo(db, demo);
    // A database still being created holds nothing to keep.
    if (const QStringList pending = SchemaUpgrade::Pending(db, carriesDemo, root);
        copiaAntes && !pending.isEmpty() && !beingCreated) {
        SchemaUpgrade::CheckWritable(db, pending);
        CopiaAntesDaAtualizacao(config, pending);
    }
    try {
        SchemaUpgrade::Apply(db, carriesDemo, root);
    } catch (const EDatabaseError& e) {
        if (!beingCreated || restarted) {
            // Nothing can be copied from a workstation: the server's own backup is the way back.
            if (dynamic_cast<const EResumeFailed*>(&e))
                throw EDatabaseError(
                    e.message() + QStringLiteral(" Peça ao administrador do servidor que restaure a cópia de "
                                                 "segurança do banco de dados %1 feita antes desta versão.")
                                      .arg(config.target()));
            throw;
        }
        // A workstation killed while committing a table's creation can leave behind what not even the server
        // can redo. A database still being created holds nothing to lose: it starts over.
        db.Close();
        const QString error = DropDatabase(config);
        if (!error.isEmpty())
            throw EDatabaseError(
                QStringLiteral("A criação do banco de dados %1 foi interrompida e não pôde ser "
                               "retomada: %2\nNão foi possível recomeçá-la: %3")
                    .arg(config.target(), e.message(), error));
        qWarning("the interrupted creation of %s could not be resumed; it starts over",
                 qPrintable(config.target()));
        openOnServer(
            db, config, carriesDemo, [] { return true; }, root, false, true);
    }
}
} // namespace

void OpenHostDatabase(TZoDatabase& db, const DatabaseConfig& config, bool demo,
                      const std::function<bool()>& mayCreate, const QString& root, bool copiaAntes) {
    PrepareFirebirdEnvironment();
    if (config.isServer())
        openOnServer(db, config, demo, mayCreate, root, copiaAntes);
    else
        openEmbedded(db, config, demo, mayCreate, root, copiaAntes);
}
