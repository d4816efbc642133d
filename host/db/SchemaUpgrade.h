#pragma once
#include "DatabaseConfig.h"
#include "HostExport.h"
#include <QStringList>
#include <functional>

class TZoDatabase;

// Splits a Firebird script into statements, honouring SET TERM, quoted literals and "--" comment lines.
KELMHOST_EXPORT QStringList SplitSqlScript(const QString& script);

// Brings a database up to the scripts compiled into the program (":/db/schema/NNNN_*.sql", in name order),
// recording each applied script in SCHEMA_VERSAO; an existing database is upgraded, never re-created.
class KELMHOST_EXPORT SchemaUpgrade {
public:
    static QStringList Scripts(const QString& folder, const QString& root = QStringLiteral(":/db"));
    // Applies what is missing; with demo also the demo data scripts. Returns the scripts applied.
    static QStringList Apply(TZoDatabase& db, bool demo = false,
                             const QString& root = QStringLiteral(":/db"));
    static QStringList Applied(TZoDatabase& db);
    // Applies one script file's statements; exposed for tests and later schema folders.
    static void RunScript(TZoDatabase& db, const QString& name, const QString& text);
};

// Opens the database of the configuration as the host connection and upgrades its schema. A database that
// does not exist yet (embedded file, or a server path naming no file) is created only when mayCreate
// agrees; demo data goes only into a database created here when demo is true. Throws EDatabaseError.
KELMHOST_EXPORT void OpenHostDatabase(TZoDatabase& db, const DatabaseConfig& config, bool demo,
                                      const std::function<bool()>& mayCreate);
