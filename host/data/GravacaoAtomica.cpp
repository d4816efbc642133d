#include "GravacaoAtomica.h"
#include "DataAccess.h"
#include "TZoDatabase.h"

GravacaoAtomica::GravacaoAtomica() : GravacaoAtomica(*ConexaoHost()) {}

GravacaoAtomica::GravacaoAtomica(TZoDatabase& conexao) : m_conexao(conexao) {
    m_conexao.BeginStatement(); // a fresh view of what others committed, held until the unit ends
    m_conexao.PinUnit();
}

GravacaoAtomica::~GravacaoAtomica() {
    m_conexao.UnpinUnit();
    if (m_confirmada)
        return;
    try {
        m_conexao.Transaction()->RollbackRetaining();
    } catch (const std::exception&) {
        // the connection is gone: nothing was committed either
    }
}

void GravacaoAtomica::Confirma() {
    if (m_conexao.PinnedUnits() == 1)
        m_conexao.Transaction()->CommitRetaining();
    m_confirmada = true;
}

int UnidadesAbertas() {
    return ConexaoHost()->PinnedUnits();
}
