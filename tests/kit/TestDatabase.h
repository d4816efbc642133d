#pragma once
#include "DatabaseConfig.h"
#include "HostContext.h"
#include "ModuleLoader.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QObject>
#include <memory>

// Fresh databases for tests: a template with the current schema is built once (per schema content) and
// copied for every test case. KELM_TEST_SERVER=host[/port] runs the same tests against a Firebird server,
// with the files in KELM_TEST_DIR (a folder the server can write).
class TestDatabase {
public:
    static bool ServerMode();
    static QString Folder();
    static DatabaseConfig Fresh();
    static void Drop(const DatabaseConfig& config);
};

// Base of database-facing tests: every test function runs in a host context of its own, on its own empty
// database opened as the host connection, with scripted messages and the administrator logged in.
class DatabaseTestCase : public QObject {
    Q_OBJECT
protected:
    DatabaseConfig config;
    ScriptedMessageService messages;
    std::unique_ptr<HostContext> context;
    TZoDatabase* db = nullptr; // the context's host connection
    std::unique_ptr<ScreenDriver> driver;

    // Runs one statement on the host connection; for arranging and checking data.
    void Sql(const QString& statement);
    QVariant Scalar(const QString& statement);
    // A second, independent connection to the same database.
    std::unique_ptr<TZoDatabase> OpenSecond(const QString& name);
    // The rows a query returns on a second connection, each row its values joined by '|': what other users
    // see, committed work only.
    QStringList RowsSeenByOthers(const QString& statement);

protected slots:
    void init();
    void cleanup();
};

class TZoDBGrid;

// Base of screen tests: the module is loaded once for the whole test program.
class ScreenTestCase : public DatabaseTestCase {
    Q_OBJECT
protected:
    ModuleLoader module;
    // A value typed into a cell of the grid's current row, as the cell editor hands it over.
    void EditaCelula(TZoDBGrid* grid, const QString& field, const QVariant& value);
    QString TextoCelula(TZoDBGrid* grid, int row, int column);

protected slots:
    void initTestCase();
    void cleanupTestCase();
};

// Runs statements from a connection other than the host one.
QVariant ScalarOn(TZoDatabase& database, const QString& statement);
void SqlOn(TZoDatabase& database, const QString& statement);
