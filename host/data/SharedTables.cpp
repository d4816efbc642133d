#include "SharedTables.h"
#include "HostError.h"
#include "Protecao.h"
#include "TZoDatabase.h"

namespace {
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
        {"tbtabtri", "TABTRI", "CODIGO"},       {"tbTabPre_Serv", "TABPRE_SERV_001", "CODCLI, FASE"},
        {"tbGrafico", "GRAFICO", "CODIGO"},
    };
    return known;
}
} // namespace

SharedTables::SharedTables(TZoDatabase& database) : m_database(database) {
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
        auto* ds = new TTabelaDataSet(m_database, it->table, it->orderBy);
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
        QObject::connect(m_database.Transaction(), &TZoTransaction::rolledBack, ds, Protegido([ds] {
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

void SharedTables::RefreshAll() {
    for (Entry& e : m_entries)
        if (e.dataSet && !e.dataSet->Editing())
            e.dataSet->Refresh();
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
