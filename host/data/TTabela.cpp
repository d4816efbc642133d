#include "TTabela.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "HostError.h"
#include "Protecao.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QHash>
#include <QSqlError>
#include <QSqlRecord>

namespace {
TZoDatabase* host() {
    return ConexaoHost();
}

const QList<QStringList>& knownTables() {
    static const QList<QStringList> known = {
        {"tbBanho", "BANHO", "CODIGO"},         {"tbVariante", "VARIANTE", "CODIGO"},
        {"tbTipoTing", "TIPO_TING", "CODIGO"},  {"tbFase", "FASE", "CODIGO"},
        {"tbMaq_Tin", "MAQ_TIN", "CODIGO"},     {"tbRoteiro", "ROTEIRO", "CODIGO, ORDEM"},
        {"tbCadCorTin", "CADCORTIN", "CODIGO"}, {"tbContr_Qul", "CONTR_QUL", "FAL, CODIGO, ORDEM"},
        {"tbNfTin", "NFTIN", "NOTA, CLIENTE"},  {"tbNfITin", "NFITIN", "NOTA, CODCLI, CODIGO, LOTE"},
        {"tbMateriais", "MATERIAL", "CODIGO"},  {"tbEntidade", "ENTIDADE", "CODCLI"},
        {"tbProduto", "PRODUTO", "CODIGO"},     {"tbRegiao", "REGIAO", "REGIAO"},
        {"tbgrupo_Cor", "GRUPO_COR", "CODIGO"}, {"tbtabfis", "TABFIS", "CODIGO"},
        {"tbtabtri", "TABTRI", "CODIGO"},
    };
    return known;
}

SharedTables& tables() {
    DataContext* context = DataContext::Current();
    if (!context)
        throw EDatabaseError(QStringLiteral("Banco de dados não conectado."));
    return context->Tables();
}
} // namespace

TTabelaDataSet::TTabelaDataSet(const QString& table, const QString& orderBy, QObject* parent)
    : TDataSet(parent), m_table(table.toUpper()), m_orderBy(orderBy) {
    setObjectName(m_table);
}

void TTabelaDataSet::Open() {
    TZoDatabase* db = host();
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
    TZoDatabase* db = host();
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
    TZoDatabase* db = host();
    db->BeginStatement();
    if (m_generation != db->Transaction()->Generation()) {
        m_insert.reset();
        m_updates.clear();
        m_delete.reset();
        m_generation = db->Transaction()->Generation();
    }
}

QSqlQuery& TTabelaDataSet::Statement(std::unique_ptr<QSqlQuery>& slot, const QString& sql) {
    TZoDatabase* db = host();
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
    TZoDatabase* db = host();
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
    host()->Exec(q, true);
    if (q.numRowsAffected() == 0)
        throw EDatabaseError(QStringLiteral("O registro já foi excluído por outro usuário."));
}

// ---- shared registry

SharedTables::SharedTables() {
    for (const QStringList& k : knownTables())
        Register(k[0], k[1], k[2]);
}

SharedTables::~SharedTables() {
    CloseAll();
}

void SharedTables::Register(const QString& name, const QString& table, const QString& orderBy) {
    Entry& e = m_entries[name.toLower()];
    e.table = table;
    e.orderBy = orderBy;
}

bool SharedTables::Registered(const QString& name) const {
    return m_entries.contains(name.toLower());
}

TTabelaDataSet* SharedTables::Acquire(const QString& name) {
    auto it = m_entries.find(name.toLower());
    if (it == m_entries.end())
        throw EDatabaseError(QStringLiteral("Tabela compartilhada '%1' não registrada.").arg(name));
    if (!it->dataSet) {
        auto* ds = new TTabelaDataSet(it->table, it->orderBy);
        ds->setObjectName(name);
        try {
            ds->Open();
        } catch (...) {
            delete ds;
            throw;
        }
        it->dataSet = ds;
        // Rows written in a unit of work that was undone are no longer what the table holds. A data set
        // still being edited keeps what the user typed.
        QObject::connect(host()->Transaction(), &TZoTransaction::rolledBack, ds, Protegido([ds] {
                             if (!ds->Editing())
                                 ds->Refresh();
                         }));
    }
    ++it->users;
    return it->dataSet;
}

void SharedTables::Release(const QString& name) {
    auto it = m_entries.find(name.toLower());
    if (it == m_entries.end() || !it->dataSet)
        return;
    if (--it->users <= 0) {
        if (it->dataSet->Editing())
            it->dataSet->Cancel();
        delete it->dataSet;
        it->dataSet = nullptr;
        it->users = 0;
    }
}

TTabelaDataSet* SharedTables::Find(const QString& name) const {
    const auto it = m_entries.constFind(name.toLower());
    return it == m_entries.cend() ? nullptr : it->dataSet;
}

void SharedTables::CloseAll() {
    for (Entry& e : m_entries) {
        delete e.dataSet;
        e.dataSet = nullptr;
        e.users = 0;
    }
}

TabelaAberta::TabelaAberta(SharedTables* tables, const QString& name)
    : m_tables(tables), m_name(name), m_dataSet(tables->Acquire(name)) {}

TabelaAberta::TabelaAberta(TabelaAberta&& other) noexcept
    : m_tables(std::move(other.m_tables)), m_name(std::move(other.m_name)),
      m_dataSet(std::exchange(other.m_dataSet, nullptr)) {}

TabelaAberta& TabelaAberta::operator=(TabelaAberta&& other) noexcept {
    if (this != &other) {
        Fecha();
        m_tables = std::move(other.m_tables);
        m_name = std::move(other.m_name);
        m_dataSet = std::exchange(other.m_dataSet, nullptr);
    }
    return *this;
}

TabelaAberta::~TabelaAberta() {
    Fecha();
}

void TabelaAberta::Fecha() {
    if (m_dataSet && m_tables)
        m_tables->Release(m_name);
    m_dataSet = nullptr;
}

void TTabela::Registra(const QString& name, const QString& table, const QString& orderBy) {
    tables().Register(name, table, orderBy);
}

bool TTabela::Registrada(const QString& name) {
    return tables().Registered(name);
}

TabelaAberta TTabela::AbreTabela(const QString& name) {
    return TabelaAberta(&tables(), name);
}

TTabelaDataSet* TTabela::Tabela(const QString& name) {
    DataContext* context = DataContext::Current();
    return context ? context->Tables().Find(name) : nullptr;
}

void TTabela::FechaTodas() {
    if (DataContext* context = DataContext::Current())
        context->Tables().CloseAll();
}
