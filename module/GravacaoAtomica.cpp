#include "GravacaoAtomica.h"
#include "DataAccess.h"
#include "TZoDatabase.h"

GravacaoAtomica::~GravacaoAtomica() {
    if (m_confirmada)
        return;
    try {
        ConexaoHost()->Transaction()->RollbackRetaining();
    } catch (const std::exception&) {
        // the connection is gone: nothing was committed either
    }
}

void GravacaoAtomica::Confirma() {
    ConexaoHost()->Transaction()->CommitRetaining();
    m_confirmada = true;
}
