#pragma once
#include "DatabaseConfig.h"
#include "HostExport.h"
#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <memory>

class QSqlQuery;
class QTimer;
class TZoTransaction;
class LockWatchdog;

// One connection to the database. The host connection (ConexaoHost()) carries every screen's work in one
// unit of work at a time; further connections (DBSaldo, numbering) are opened beside it.
class KELMHOST_EXPORT TZoDatabase : public QObject {
    Q_OBJECT
signals:
    // Statements prepared on the connection must go before it does.
    void aboutToClose();
    // A database event (POST_EVENT, committed) this connection listens to, in the application's thread.
    void eventoRecebido(const QString& nome);

public:
    explicit TZoDatabase(const QString& connectionName, QObject* parent = nullptr);
    ~TZoDatabase() override;

    // Opens the connection; throws EDatabaseError. A transactional connection gathers its writes in a unit
    // of work; otherwise every statement commits on its own.
    void Open(const DatabaseConfig& config, bool transactional = true);
    void Close();
    // Opens the same database again after the connection was lost.
    void Reconecta();
    // Database events heard on this connection, counted by listener: subscribed while one listens, renewed
    // whenever the connection opens again. False when the engine refused the subscription.
    bool AssinaEvento(const QString& nome);
    void CancelaEvento(const QString& nome);
    bool Connected() const;
    const DatabaseConfig& Config() const { return m_config; }
    QString ConnectionName() const { return m_name; }
    QSqlDatabase Connection() const;
    TZoTransaction* Transaction() const { return m_transaction.get(); }

    // Call before each statement: with no writes pending it starts a new server transaction, so the
    // statement sees what other users committed (a prepared statement belongs to the server transaction it
    // was prepared in: compare Transaction()->Generation()). Prepare calls it.
    void BeginStatement();
    // Prepare before binding values.
    void Prepare(QSqlQuery& query, const QString& sql, bool write);
    // Runs a prepared statement. A write still running after LockTimeoutMs (another user's lock, as a
    // rule) is cancelled, the unit of work rolled back and a clear EDatabaseError thrown; a batch that
    // legitimately writes for longer raises the limit for its duration.
    void Exec(QSqlQuery& query, bool write);
    void Exec(QSqlQuery& query, const QString& sql, bool write); // Prepare + Exec
    int LockTimeoutMs = 5000;
    // Statements run on this connection so far: what an operation sends shows up as the difference.
    quint64 StatementCount() const { return m_statements; }
    // Statements sent on every connection of this process: an operation may work on a second one.
    static quint64 StatementCountAll();

    // While a unit is pinned (GravacaoAtomica), its reads stay in its server transaction instead of each
    // starting a fresh one: what an operation checked is what it writes against. Pins nest.
    void PinUnit() { ++m_pinned; }
    void UnpinUnit() { m_pinned = m_pinned > 0 ? m_pinned - 1 : 0; }
    int PinnedUnits() const { return m_pinned; }

    // True while the unit of work holds writes not yet committed or rolled back.
    bool Dirty() const { return m_dirty; }
    void MarkClean() { m_dirty = false; }

private:
    [[noreturn]] void Fail(const QSqlQuery& query, bool lockTimedOut);
    QString m_name;
    DatabaseConfig m_config;
    std::unique_ptr<TZoTransaction> m_transaction;
    std::unique_ptr<LockWatchdog> m_watchdog;
    bool m_dirty = false;
    int m_pinned = 0;
    quint64 m_statements = 0;
    bool m_transactional = true;
    bool m_fresh = false;          // the server transaction has run no statement yet
    unsigned int m_dbHandle = 0;   // the engine's attachment handle, read by the watchdog thread
    QHash<QString, int> m_eventos; // listeners by event name
    bool Assina(const QString& nome);
};

// The connection's unit of work. CommitRetaining makes the work durable; the next statement starts the next
// unit. Data sets keep their rows in memory, so every screen stays usable. A unit with nothing pending is
// ended when the workstation is idle, so an idle screen never holds back the server's garbage collection.
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
    // How long a unit of work with nothing pending may stay open (15 s unless changed).
    void SetIdleInterval(int ms);
    // Counts the units of work started; a prepared statement belongs to one of them.
    quint64 Generation() const { return m_generation; }

signals:
    void committed();
    void rolledBack();

private:
    void EndIdle();
    TZoDatabase* m_database;
    bool m_active = false;
    quint64 m_generation = 0;
    QTimer* m_idle;
};
