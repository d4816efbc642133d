#pragma once
#include "DatabaseConfig.h"
#include "HostExport.h"
#include <QObject>
#include <QSqlDatabase>
#include <memory>

class QSqlQuery;
class TZoTransaction;
class LockWatchdog;

// One connection to the database. The host connection (Host()) carries every screen's work in one
// unit of work at a time; further connections (DBSaldo, numbering) are opened beside it.
class KELMHOST_EXPORT TZoDatabase : public QObject {
    Q_OBJECT
public:
    explicit TZoDatabase(const QString& connectionName, QObject* parent = nullptr);
    ~TZoDatabase() override;

    // Opens the connection and, unless told otherwise, starts a unit of work; throws EDatabaseError.
    void Open(const DatabaseConfig& config, bool startTransaction = true);
    void Close();
    bool Connected() const;
    const DatabaseConfig& Config() const { return m_config; }
    QString ConnectionName() const { return m_name; }
    QSqlDatabase Connection() const;
    TZoTransaction* Transaction() const { return m_transaction.get(); }

    // Runs a prepared or plain statement; a write that waits on another user's lock longer than
    // LockTimeoutMs is cancelled, the unit of work rolled back and a clear EDatabaseError thrown.
    // Prepare before binding values; a read first moves to the latest committed state when no writes are
    // pending (a prepared statement belongs to the server transaction it was prepared in).
    void Prepare(QSqlQuery& query, const QString& sql, bool write);
    void Exec(QSqlQuery& query, bool write);
    void Exec(QSqlQuery& query, const QString& sql, bool write); // Prepare + Exec
    int LockTimeoutMs = 5000;

    // True while the unit of work holds writes not yet committed or rolled back.
    bool Dirty() const { return m_dirty; }
    void MarkClean() { m_dirty = false; }

    static TZoDatabase* Host();
    // The host connection; throws when there is none or it is closed.
    static TZoDatabase* HostConectado();
    static void SetHost(TZoDatabase* database);

private:
    [[noreturn]] void Fail(const QSqlQuery& query, bool lockTimedOut);
    QString m_name;
    DatabaseConfig m_config;
    std::unique_ptr<TZoTransaction> m_transaction;
    std::unique_ptr<LockWatchdog> m_watchdog;
    bool m_dirty = false;
    unsigned int m_dbHandle = 0; // the engine's attachment handle, read by the watchdog thread
};

// The connection's unit of work. CommitRetaining makes the work durable and starts the next unit at once;
// data sets keep their rows in memory, so every screen stays usable.
class KELMHOST_EXPORT TZoTransaction : public QObject {
    Q_OBJECT
public:
    explicit TZoTransaction(TZoDatabase* database);
    void StartTransaction();
    void CommitRetaining();
    void RollbackRetaining();
    void Commit();
    void Rollback();
    bool InTransaction() const { return m_active; }
    // Starts a new server transaction when nothing is pending, so that reads see other users' latest work.
    void Refresh();
    // Counts the units of work started; a prepared statement belongs to one of them.
    quint64 Generation() const { return m_generation; }

signals:
    void committed();
    void rolledBack();

private:
    TZoDatabase* m_database;
    bool m_active = false;
    quint64 m_generation = 0;
};
