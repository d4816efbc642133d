#include "TTabela.h"
#include "DataContext.h"
#include "HostError.h"

namespace {
SharedTables& tables() {
    DataContext* context = DataContext::Current();
    if (!context)
        throw EDatabaseError(QStringLiteral("Banco de dados não conectado."));
    return context->Tables();
}
} // namespace

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
