#include "GravacaoAtomica.h"
#include "TZoDatabase.h"

GravacaoAtomica::~GravacaoAtomica() {
    if (m_confirmada)
        return;
    try {
        TZoDatabase::Host()->Transaction()->RollbackRetaining();
    } catch (const std::exception&) {
        // the connection is gone: nothing was committed either
    }
}

void GravacaoAtomica::Confirma() {
    TZoDatabase::Host()->Transaction()->CommitRetaining();
    m_confirmada = true;
}
