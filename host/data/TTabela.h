#pragma once
#include "HostExport.h"
#include "SharedTables.h"

// The host's routines over the shared data sets of the current context.
class KELMHOST_EXPORT TTabela {
public:
    static void Registra(const QString& name, const QString& table, const QString& orderBy);
    static bool Registrada(const QString& name);
    [[nodiscard]] static TabelaAberta AbreTabela(const QString& name);
    static TTabelaDataSet* Tabela(const QString& name); // null when not open
    static void FechaTodas();
};
