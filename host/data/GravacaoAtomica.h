#pragma once
#include "HostError.h"
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

// Units of work open on the host connection.
KELMHOST_EXPORT int UnidadesAbertas();

// Runs an operation that is a unit of work of its own on the host connection, and begins it again, from its
// first read, when another user's committed change to a row it read or wrote made it fail (stock positions
// two workstations write off at once), up to `tentativas` times in all. Inside another unit it runs once: the
// conflict rolled that unit back as well.
template <typename Operacao> auto RepeteEmConflito(Operacao&& operacao, int tentativas = 3) {
    const bool sozinha = UnidadesAbertas() == 0;
    for (int vez = 1;; ++vez) {
        try {
            return operacao();
        } catch (const EConflito&) {
            if (!sozinha || vez >= tentativas)
                throw;
        }
    }
}
