#pragma once
#include "HostExport.h"
#include <QStringList>

class TZoDatabase;

// Hands out the next free code of a table's field. `counter` runs without a unit of work, so each of its
// statements commits at once and the compare-and-set on CODIGOS decides between concurrent users;
// `work` is the caller's connection, whose own uncommitted codes must be skipped too. A counter row held by
// another workstation is waited on for the counter connection's LockTimeoutMs at most, and a code wider
// than a text column is never handed out: both throw EDatabaseError, the counter left as it was.
class KELMHOST_EXPORT CodeAllocator {
public:
    CodeAllocator(TZoDatabase* counter, TZoDatabase* work) : m_counter(counter), m_work(work) {}
    QString Next(const QString& table, const QString& field, int width, bool checkTable = true);
    // `count` codes of a series, one after another: `prefix` and a number of at least `digits` digits
    // (001234 + 001, 002...). The series has its own counter; numbers in use in the table under the prefix
    // (digits only after it: 001234A07 is not of the series) are passed over in one read.
    QStringList NextOfSeries(const QString& table, const QString& field, const QString& prefix, int count,
                             int digits);

private:
    bool Used(TZoDatabase* db, const QString& table, const QString& field, const QString& code);
    // The highest code of digits only, of `code`'s length, from `code` up; 0 when none.
    qlonglong Highest(TZoDatabase* db, const QString& table, const QString& field, const QString& code);
    qlonglong HighestOfSeries(TZoDatabase* db, const QString& table, const QString& field,
                              const QString& prefix);
    // The counter's last code: invalid when there is no counter yet, null for a counter without value.
    QVariant Last(const QString& table, const QString& field);
    // Sets the counter from `last` (invalid: no row yet) to `code`; false when another user moved it first.
    bool Advance(const QString& table, const QString& field, const QVariant& last, const QString& code);
    int Width(const QString& table, const QString& field); // 0: not a text column

    TZoDatabase* m_counter;
    TZoDatabase* m_work;
};
