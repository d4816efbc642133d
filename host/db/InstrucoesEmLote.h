#pragma once
#include "HostExport.h"
#include <QString>

class TZoDatabase;

// Statements of a loop sent together as EXECUTE BLOCKs, as many to a block as its size allows: one round
// trip for a batch of rows instead of one per row (each round trip costs more on a server). Every value
// goes into the text through Aspas or PermanecePonto. Nothing is committed: the statements join the
// caller's unit of work; statements still pending when the batch is destroyed are dropped (an exception
// unwinding past it must not write).
class KELMHOST_EXPORT InstrucoesEmLote {
public:
    explicit InstrucoesEmLote(TZoDatabase& db) : m_db(db) {}

    // One complete DML statement naming at most five tables, without the semicolon. Sends the pending block first when it is full.
    void Adiciona(const QString& sql);
    // Sends what is pending.
    void Executa();

private:
    TZoDatabase& m_db;
    QString m_bloco;
    int m_quantos = 0;
    qsizetype m_bytes = 0;
};
