#include "TZoQuery.h"
#include "DataAccess.h"
#include "HostError.h"
#include "TZoDatabase.h"
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

TZoQuery::TZoQuery(QObject* parent, TZoDatabase* database) : TDataSet(parent), m_database(database) {}
TZoQuery::~TZoQuery() = default;

TZoDatabase* TZoQuery::Database() const {
    if (!m_database)
        return ConexaoHost();
    if (!m_database->Connected())
        throw EDatabaseError(QStringLiteral("Banco de dados não conectado."));
    return m_database;
}

QString TZoQuery::ResolveStatement(const QString& sql) {
    static const QRegularExpression first(
        QStringLiteral(R"(^\s*FIRST\[\s*\((.*)\)\s*(\w+)\s*,\s*'[^']*'\s*,\s*(\d+)\s*\]\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto match = first.match(sql);
    if (!match.hasMatch())
        return sql;
    static const QRegularExpression select(QStringLiteral(R"(^\s*SELECT\b)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString inner = match.captured(1);
    const auto head = select.match(inner);
    if (!head.hasMatch())
        throw EDatabaseError(QStringLiteral("Consulta FIRST inválida: ") + sql);
    inner.insert(head.capturedEnd(), QStringLiteral(" FIRST ") + match.captured(3));
    return inner;
}

void TZoQuery::BindValue(const QString& name, const QVariant& value) {
    m_bound.insert(name.startsWith(':') ? name : ':' + name, value);
}

void TZoQuery::PrepareIfChanged(const QString& sql) {
    TZoDatabase* db = Database();
    // A prepared statement is tied to the server transaction it was prepared in.
    db->BeginStatement();
    const quint64 generation = db->Transaction()->Generation();
    if (m_statement && m_preparedText == sql && m_preparedGeneration == generation)
        return;
    m_statement = std::make_unique<QSqlQuery>(db->Connection());
    connect(db, &TZoDatabase::aboutToClose, this, &TZoQuery::DropStatement, Qt::UniqueConnection);
    try {
        db->Prepare(*m_statement, sql, true);
    } catch (...) {
        m_statement.reset();
        throw;
    }
    m_preparedText = sql;
    m_preparedGeneration = db->Transaction()->Generation();
}

void TZoQuery::Open() {
    Close();
    const QString sql = ResolveStatement(SQL.join('\n'));
    TZoDatabase* db = Database();
    QSqlQuery query(db->Connection());
    query.setForwardOnly(true);
    db->Prepare(query, sql, false);
    for (auto it = m_bound.cbegin(); it != m_bound.cend(); ++it)
        query.bindValue(it.key(), it.value());
    db->Exec(query, false);
    const QList<FieldDef> defs = FieldDefsOf(query.record());
    QList<QVariantList> rows = ReadAllRows(query, int(defs.size()));
    query.clear();
    SetFields(defs);
    Activate();
    SetRows(std::move(rows));
}

void TZoQuery::ExecSQL() {
    const QString sql = ResolveStatement(SQL.join('\n'));
    PrepareIfChanged(sql);
    for (auto it = m_bound.cbegin(); it != m_bound.cend(); ++it)
        m_statement->bindValue(it.key(), it.value());
    Database()->Exec(*m_statement, true);
    m_rowsAffected = m_statement->numRowsAffected();
}
