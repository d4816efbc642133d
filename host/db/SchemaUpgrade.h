#pragma once
#include "DatabaseConfig.h"
#include "HostError.h"
#include "HostExport.h"
#include <QStringList>
#include <functional>

class TZoDatabase;

// A script interrupted by an earlier run that fails again where it resumes: what the interruption left
// behind may be beyond redoing.
class KELMHOST_EXPORT EResumeFailed : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// The role outside readers connect with: SELECT on every table and view of the database, nothing else.
inline const char* const kPapelLeitura = "KELM_LEITURA";
// The role of the application's users on a server: they read and write every table, draw codes from every
// sequence and run every procedure and function, but change no structure (upgrades are the owner's).
inline const char* const kPapelUsuario = "KELM_USUARIO";

// Splits a Firebird script into statements, honouring SET TERM, quoted literals and "--" comment lines.
KELMHOST_EXPORT QStringList SplitSqlScript(const QString& script);

// Brings a database up to the scripts compiled into the program (":/db/schema/NNNN_*.sql", in name order),
// recording each applied script in SCHEMA_VERSAO; an existing database is upgraded, never re-created.
class KELMHOST_EXPORT SchemaUpgrade {
public:
    static QStringList Scripts(const QString& folder, const QString& root = QStringLiteral(":/db"));
    // Applies what is missing; with demo also the demo data scripts (and those of a database whose creation
    // with demo data was interrupted). Returns the scripts applied. An up-to-date database is only read, so
    // a read-only one passes; one with scripts missing is refused when read-only, and otherwise upgraded by
    // one workstation at a time (the others wait up to WaitMs, then find the work done).
    static QStringList Apply(TZoDatabase& db, bool demo = false,
                             const QString& root = QStringLiteral(":/db"));
    // The scripts Apply would run, found by reading only.
    static QStringList Pending(TZoDatabase& db, bool demo = false,
                               const QString& root = QStringLiteral(":/db"));
    static QStringList Applied(TZoDatabase& db);
    // Refuses, with a message naming what is missing, a read-only database that has pending scripts.
    static void CheckWritable(TZoDatabase& db, const QStringList& pending);
    // Applies one script file's statements; exposed for tests and later schema folders.
    static void RunScript(TZoDatabase& db, const QString& name, const QString& text);
    // Marks a database just created here as being created, with or without demo data: whoever finishes an
    // interrupted creation gives the database what its creator asked for.
    static void BeginCreation(TZoDatabase& db, bool demo);
    // True while a database created by this program is not complete yet (or its creation was interrupted).
    static bool BeingCreated(TZoDatabase& db);
    // True for a database nothing was ever applied to, not even the creation marker.
    static bool Blank(TZoDatabase& db);
    // Whether the database gets demo data: it has some, was being created with them, or is blank and demo
    // is asked for.
    static bool CarriesDemo(TZoDatabase& db, bool demo);
    // How long a start waits for another workstation creating or upgrading the same database.
    static int WaitMs;
};

// Opens the database of the configuration as the host connection and upgrades its schema. A database that
// does not exist yet (embedded file, or a server path naming no file) is created only when mayCreate
// agrees; demo data goes only into a database created here when demo is true. Workstations starting
// together on a database being created or upgraded wait for it. An embedded file is created and upgraded
// under a temporary name and takes its real name only when complete, so an interruption leaves the file
// as it was. Scripts come from root (the program's own unless a test says otherwise). An upgrade of a
// database that holds data runs only after a checked copy of it (CopiaAntesDaAtualizacao), unless told that
// the database is a throwaway one (the bench's working copies). Throws EDatabaseError.
KELMHOST_EXPORT void OpenHostDatabase(TZoDatabase& db, const DatabaseConfig& config, bool demo,
                                      const std::function<bool()>& mayCreate,
                                      const QString& root = QStringLiteral(":/db"), bool copiaAntes = true);
