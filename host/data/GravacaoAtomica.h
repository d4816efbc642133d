#pragma once
#include "HostExport.h"

class TZoDatabase;

// One operation's unit of work on a connection: from its first statement to Confirma() every read and
// write of the operation runs in one server transaction, so what it read to check itself is what it writes
// against (a row changed meanwhile by another user makes the write fail as a conflict, and a row read WITH
// LOCK stays locked). Only Confirma() commits; leaving the scope any other way (a refused check, a failed
// statement) rolls everything back, so nothing half-written is ever committed. Units on one connection
// nest: the outermost one commits.
class KELMHOST_EXPORT GravacaoAtomica {
public:
    GravacaoAtomica(); // on the host connection
    explicit GravacaoAtomica(TZoDatabase& conexao);
    GravacaoAtomica(const GravacaoAtomica&) = delete;
    GravacaoAtomica& operator=(const GravacaoAtomica&) = delete;
    ~GravacaoAtomica();

    void Confirma();

private:
    TZoDatabase& m_conexao;
    bool m_confirmada = false;
};
