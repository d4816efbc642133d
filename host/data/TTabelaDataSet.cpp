#include "TTabelaDataSet.h"
#include "HostError.h"
#include "ResultRows.h"
#include "TZoDatabase.h"
#include <QSqlError>
#include <QSqlRecord>

TTabelaDataSet::TTabelaDataSet(TZoDatabase& database, const QString& table, const QString& orderBy,
                               QObject* parent)
    : TDataSet(parent), m_database(&database), m_table(table.toUpper()), m_orderBy(orderBy) {
    setObjectName(m_table);
}

TZoDatabase* TTabelaDataSet::Database() const {
    if (!m_database->Connected())
        throw EDatabaseError(QStringLiteral("Banco de dados não conectado."));
    return m_database;
}

void TTabelaDataSet::Open() {
    TZoDatabase* db = Database();
    m_keys.clear();
    {
        QSqlQuery q(db->Connection());
        db->Prepare(q,
                    QStringLiteral("SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS C "
                                   "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                                   "WHERE C.RDB$RELATION_NAME = :T AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                                   "ORDER BY S.RDB$FIELD_POSITION"),
                    false);
        q.bindValue(QStringLiteral(":T"), m_table);
        db->Exec(q, false);
        while (q.next())
            m_keys << q.value(0).toString();
    }
    m_computed.clear();
    {
        QSqlQuery q(db->Connection());
        db->Prepare(q,
                    QStringLiteral("SELECT TRIM(R.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS R "
                                   "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE "
                                   "WHERE R.RDB$RELATION_NAME = :T AND F.RDB$COMPUTED_BLR IS NOT NULL"),
                    false);
        q.bindValue(QStringLiteral(":T"), m_table);
        db->Exec(q, false);
        while (q.next())
            m_computed << q.value(0).toString();
    }
    Refresh();
}

void TTabelaDataSet::Refresh() {
    TZoDatabase* db = Database();
    QVariantList keep;
    if (Active() && !IsEmpty()) {
        CheckBrowseMode();
        for (const QString& k : m_keys)
            keep << FieldByName(k).Value();
    }
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    QString sql = QStringLiteral("SELECT * FROM ") + m_table;
    if (!m_orderBy.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + m_orderBy;
    db->Exec(q, sql, false);
    const QList<FieldDef> defs = FieldDefsOf(q.record());
    QList<QVariantList> rows = ReadAllRows(q, int(defs.size()));
    q.clear();
    const QString order = IndexFieldNames();
    DisableControls();
    SetFields(defs);
    Activate();
    SetRows(std::move(rows));
    if (!order.isEmpty())
        SetIndexFieldNames(order);
    if (!keep.isEmpty())
        Locate(m_keys.join(';'), keep);
    EnableControls();
}

QVariantList TTabelaDataSet::KeyValues(const QVariantList& values) const {
    QVariantList result;
    for (const QString& k : m_keys)
        result << values[FieldIndex(k)];
    return result;
}

// Prepared statements belong to the server transaction they were prepared in: drop those of an ended one.
// Call before taking a statement slot (clearing the map would invalidate a slot already taken).
void TTabelaDataSet::BeginWrite() {
    TZoDatabase* db = Database();
    db->BeginStatement();
    if (m_generation != db->Transaction()->Generation()) {
        m_insert.reset();
        m_updates.clear();
        m_delete.reset();
        m_generation = db->Transaction()->Generation();
    }
}

QSqlQuery& TTabelaDataSet::Statement(std::unique_ptr<QSqlQuery>& slot, const QString& sql) {
    TZoDatabase* db = Database();
    if (!slot) {
        slot = std::make_unique<QSqlQuery>(db->Connection());
        try {
            db->Prepare(*slot, sql, true);
        } catch (...) {
            slot.reset();
            throw;
        }
    }
    return *slot;
}

void TTabelaDataSet::DoPost(const QVariantList& values, const QVariantList& original, bool inserting) {
    TZoDatabase* db = Database();
    BeginWrite();
    if (inserting) {
        QStringList columns, marks;
        QVariantList written;
        for (int i = 0; i < FieldCount(); ++i) {
            if (m_computed.contains(FieldDefs()[i].name))
                continue;
            columns << FieldDefs()[i].name;
            marks << QStringLiteral("?");
            written << values[i];
        }
        QSqlQuery& q = Statement(m_insert, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                               .arg(m_table, columns.join(','), marks.join(',')));
        for (int i = 0; i < written.size(); ++i)
            q.bindValue(i, written[i]);
        db->Exec(q, true);
        return;
    }
    if (m_keys.isEmpty())
        throw EDatabaseError(QStringLiteral("A tabela %1 não tem chave primária.").arg(m_table));
    // Only what this user changed is written: columns another user changed meanwhile keep their values.
    QStringList sets, where;
    QVariantList changed;
    for (int i = 0; i < FieldCount(); ++i) {
        const QString& name = FieldDefs()[i].name;
        if (m_computed.contains(name) ||
            (values[i] == original[i] && values[i].isNull() == original[i].isNull()))
            continue;
        sets << name + QStringLiteral(" = ?");
        changed << values[i];
    }
    if (sets.isEmpty())
        return;
    for (const QString& k : m_keys)
        where << k + QStringLiteral(" = ?");
    const QString set = sets.join(',');
    QSqlQuery& q = Statement(
        m_updates[set],
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_table, set, where.join(QStringLiteral(" AND "))));
    int i = 0;
    for (const QVariant& v : changed)
        q.bindValue(i++, v);
    for (const QVariant& v : KeyValues(original))
        q.bindValue(i++, v);
    db->Exec(q, true);
    if (q.numRowsAffected() == 0)
        throw EDatabaseError(QStringLiteral("O registro foi excluído por outro usuário."));
}

void TTabelaDataSet::DoDelete(const QVariantList& values) {
    BeginWrite();
    if (m_keys.isEmpty())
        throw EDatabaseError(QStringLiteral("A tabela %1 não tem chave primária.").arg(m_table));
    QStringList where;
    for (const QString& k : m_keys)
        where << k + QStringLiteral(" = ?");
    QSqlQuery& q = Statement(
        m_delete,
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_table, where.join(QStringLiteral(" AND "))));
    int i = 0;
    for (const QVariant& v : KeyValues(values))
        q.bindValue(i++, v);
    Database()->Exec(q, true);
    if (q.numRowsAffected() == 0)
        throw EDatabaseError(QStringLiteral("O registro já foi excluído por outro usuário."));
}
