#pragma once
#include "HostExport.h"
#include <QString>

class TZoDatabase;

// Hands out the next free code of a table's field. `counter` runs without a unit of work, so each of its
// statements commits at once and the compare-and-set on CODIGOS decides between concurrent users;
// `work` is the caller's connection, whose own uncommitted codes must be skipped too.
class KELMHOST_EXPORT CodeAllocator {
public:
    CodeAllocator(TZoDatabase* counter, TZoDatabase* work) : m_counter(counter), m_work(work) {}
    QString Next(const QString& table, const QString& field, int width, bool checkTable = true);

private:
    bool Used(TZoDatabase* db, const QString& table, const QString& field, const QString& code);
    TZoDatabase* m_counter;
    TZoDatabase* m_work;
};
