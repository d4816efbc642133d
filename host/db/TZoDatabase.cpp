#include "TZoDatabase.h"
#include "ErrosBanco.h"
#include "FirebirdEngine.h"
#include "HostError.h"
#include "LockWatchdog.h"
#include "Protecao.h"
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <atomic>
#include <ibase.h>

namespace {
std::atomic<quint64> g_statementsAll{0};
} // namespace

quint64 TZoDatabase::StatementCountAll() {
    return g_statementsAll;
}

static_assert(sizeof(isc_db_handle) == sizeof(unsigned int));

TZoDatabase::TZoDatabase(const QString& connectionName, QObject* parent)
    : QObject(parent), m_name(connectionName), m_transaction(std::make_unique<TZoTransaction>(this)),
      m_watchdog(std::make_unique<LockWatchdog>()) {}

TZoDatabase::~TZoDatabase() {
    Close();
}

QSqlDatabase TZoDatabase::Connection() const {
    return QSqlDatabase::database(m_name, false);
}

bool TZoDatabase::Connected() const {
    return Connection().isOpen();
}

void TZoDatabase::Open(const DatabaseConfig& config, bool transactional) {
    PrepareFirebirdEnvironment();
    Close();
    m_config = config;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), m_name);
    if (config.isServer()) {
        db.setHostName(config.host);
        if (config.port > 0)
            db.setPort(config.port);
    }
    db.setDatabaseName(config.path);
    db.setUserName(config.user);
    db.setPassword(config.password);
    if (!config.role.isEmpty()) {
        // The driver reads its options as "name=value;...": a role is a plain identifier or nothing.
        static const QRegularExpression identificador(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]{0,62}$"));
        if (!identificador.match(config.role).hasMatch()) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw EDatabaseError(
                QStringLiteral("O papel \"%1\" configurado para o banco de dados não é um nome "
                               "válido.")
                    .arg(config.role));
        }
        db.setConnectOptions(QStringLiteral("ISC_DPB_SQL_ROLE_NAME=") + config.role.toUpper());
    }
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw EDatabaseError(
            QStringLiteral("Não foi possível abrir o banco de dados %1.\n%2").arg(config.target(), text));
    }
    m_transactional = transactional;
    m_dirty = false;
    connect(db.driver(), &QSqlDriver::notification, this,
            [this](const QString& nome, QSqlDriver::NotificationSource, const QVariant&) {
                emit eventoRecebido(nome);
            });
    for (auto it = m_eventos.cbegin(); it != m_eventos.cend(); ++it)
        Assina(it.key());
}

bool TZoDatabase::Assina(const QString& nome) {
    QSqlDriver* driver = Connection().driver();
    return driver &&
           (driver->subscribedToNotifications().contains(nome) || driver->subscribeToNotification(nome));
}

bool TZoDatabase::AssinaEvento(const QString& nome) {
    ++m_eventos[nome];
    return Connected() && Assina(nome);
}

void TZoDatabase::CancelaEvento(const QString& nome) {
    const auto it = m_eventos.find(nome);
    if (it == m_eventos.end() || --it.value() > 0)
        return;
    m_eventos.erase(it);
    if (QSqlDriver* driver = Connection().driver(); driver && Connected())
        driver->unsubscribeFromNotification(nome);
}

void TZoDatabase::Close() {
    if (!QSqlDatabase::contains(m_name))
        return;
    emit aboutToClose();
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        // The engine's event thread must not call back into a connection being closed: subscriptions go
        // first (they are renewed when it opens again).
        if (QSqlDriver* driver = db.driver())
            for (const QString& nome : driver->subscribedToNotifications())
                driver->unsubscribeFromNotification(nome);
        if (db.isOpen()) {
            if (m_transaction->InTransaction())
                m_transaction->Rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_name);
}

void TZoDatabase::Reconecta() {
    const DatabaseConfig config = m_config;
    Close();
    Open(config, m_transactional);
}

void TZoDatabase::BeginStatement() {
    if (!m_transactional || m_dirty || ((m_fresh || m_pinned > 0) && m_transaction->InTransaction()))
        return;
    // Snapshot transactions would hide what others committed since this one began.
    if (m_transaction->InTransaction())
        m_transaction->Commit();
    m_transaction->StartTransaction();
    m_fresh = true;
}

void TZoDatabase::Prepare(QSqlQuery& query, const QString& sql, bool write) {
    Q_UNUSED(write);
    BeginStatement();
    if (!query.prepare(sql)) {
        const QString text = query.lastError().text();
        throw EDatabaseError(TraduzErroBanco(text) + QStringLiteral("\n") + sql.left(400));
    }
}

void TZoDatabase::Exec(QSqlQuery& query, const QString& sql, bool write) {
    Prepare(query, sql, write);
    Exec(query, write);
}

void TZoDatabase::Exec(QSqlQuery& query, bool write) {
    m_fresh = false;
    ++m_statements;
    ++g_statementsAll;
    if (!write) {
        if (!query.exec())
            Fail(query, false);
        return;
    }
    const QVariant handle = Connection().driver()->handle();
    const bool guarded = handle.isValid() && handle.metaType().sizeOf() == sizeof(isc_db_handle);
    if (guarded) {
        m_dbHandle = *static_cast<const isc_db_handle*>(handle.constData());
        m_watchdog->Arm(&m_dbHandle, LockTimeoutMs);
    }
    m_dirty = m_transaction->InTransaction();
    const bool ok = query.exec();
    const bool timedOut = guarded && m_watchdog->Disarm();
    if (!ok)
        Fail(query, timedOut);
}

void TZoDatabase::Fail(const QSqlQuery& query, bool lockTimedOut) {
    const QString text = query.lastError().text();
    if (lockTimedOut) {
        m_transaction->RollbackRetaining();
        throw EDatabaseError(
            QStringLiteral("A gravação esperou mais de %1 segundos: o registro está em uso por "
                           "outro usuário, ou a operação é longa demais. A operação foi "
                           "desfeita; tente novamente em instantes.")
                .arg(LockTimeoutMs / 1000.0, 0, 'g', 3));
    }
    if (ConflitoDeBloqueio(text)) {
        m_transaction->RollbackRetaining();
        // The other user committed a change to a row this unit had read or wanted: retrying on the same
        // view would fail again.
        if (text.contains(QLatin1String("update conflicts with concurrent update"), Qt::CaseInsensitive))
            throw EConflito(
                QStringLiteral("O registro foi alterado por outro usuário. Recarregue e tente de novo."));
        throw EDatabaseError(QStringLiteral("O registro está sendo alterado por outro usuário. "
                                            "A operação foi desfeita; tente novamente em instantes."));
    }
    if (ChaveRepetida(text))
        throw EChaveRepetida(TraduzErroBanco(text));
    throw EDatabaseError(TraduzErroBanco(text));
}

// ---- TZoTransaction

TZoTransaction::TZoTransaction(TZoDatabase* database)
    : QObject(database), m_database(database), m_idle(new QTimer(this)) {
    m_idle->setInterval(15000);
    connect(m_idle, &QTimer::timeout, this, Protegido([this] { EndIdle(); }));
}

void TZoTransaction::SetIdleInterval(int ms) {
    m_idle->setInterval(ms);
}

void TZoTransaction::EndIdle() {
    if (!m_active || m_database->Dirty() || m_database->PinnedUnits() > 0)
        return;
    QSqlDatabase db = m_database->Connection();
    if (db.isOpen() && db.commit())
        m_active = false;
}

void TZoTransaction::StartTransaction() {
    if (m_active)
        return;
    QSqlDatabase db = m_database->Connection();
    if (!db.transaction())
        throw EDatabaseError(TraduzErroBanco(db.lastError().text()));
    m_active = true;
    ++m_generation;
    m_idle->start();
}

void TZoTransaction::Commit() {
    if (!m_active)
        return;
    QSqlDatabase db = m_database->Connection();
    // Errors raised at commit time (deferred checks, commit triggers) appear here while the transaction is
    // still ours to roll back; a failed commit of the driver's own would leave it open on the server.
    QSqlQuery retain(db);
    if (!retain.exec(QStringLiteral("COMMIT RETAIN"))) {
        const QString text = retain.lastError().text();
        retain.clear();
        Rollback();
        throw EDatabaseError(TraduzErroBanco(text));
    }
    retain.clear();
    if (!db.commit())
        throw EDatabaseError(TraduzErroBanco(db.lastError().text()));
    m_active = false;
    m_database->MarkClean();
    emit committed();
}

void TZoTransaction::Rollback() {
    if (!m_active)
        return;
    QSqlDatabase db = m_database->Connection();
    db.rollback();
    m_active = false;
    m_database->MarkClean();
    emit rolledBack();
}

// The next statement starts the next unit of work: a server transaction that stayed open all day would
// stall garbage collection.
void TZoTransaction::CommitRetaining() {
    Commit();
}

void TZoTransaction::RollbackRetaining() {
    Rollback();
}
