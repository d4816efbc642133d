#include "DataContext.h"
#include "HostError.h"
#include "SharedTables.h"

namespace {
DataContext* g_current = nullptr;
}

DataContext::DataContext()
    : m_database(QStringLiteral("kelm-host")), m_tables(std::make_unique<SharedTables>(m_database)) {
    if (g_current)
        throw EDatabaseError(QStringLiteral("Já existe um contexto do sistema aberto."));
    g_current = this;
}

// Shared data sets first: they may still cancel edits on the connection.
DataContext::~DataContext() {
    m_tables.reset();
    m_counter.reset();
    m_database.Close();
    g_current = nullptr;
}

void DataContext::Reconecta() {
    m_counter.reset();
    m_database.Reconecta();
    m_tables->RefreshAll();
}

DataContext* DataContext::Current() {
    return g_current;
}

TZoDatabase& DataContext::Counter() {
    if (!m_database.Connected())
        throw EDatabaseError(QStringLiteral("Banco de dados não conectado."));
    if (!m_counter || !m_counter->Connected() ||
        m_counter->Config().target() != m_database.Config().target()) {
        m_counter = std::make_unique<TZoDatabase>(QStringLiteral("kelm-numbering"));
        m_counter->Open(m_database.Config(), false);
    }
    return *m_counter;
}

Sessao& SessaoAtual() {
    if (DataContext* context = DataContext::Current())
        return context->Session();
    static Sessao none;
    none = Sessao();
    return none;
}

QString vUsuario() {
    return SessaoAtual().usuario;
}
QString vUsuarioCodigo() {
    return SessaoAtual().usuarioCodigo;
}
QString vSupervisor() {
    return SessaoAtual().supervisor;
}
QString vEmpresa() {
    return SessaoAtual().empresa;
}

void DefineTelaAtiva(QObject* screen) {
    SessaoAtual().telaAtiva = screen;
}
QObject* TelaAtiva() {
    return SessaoAtual().telaAtiva.data();
}
