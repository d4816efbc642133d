#include "CodeAllocator.h"
#include "HostError.h"
#include "TZoDatabase.h"
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>

bool CodeAllocator::Used(TZoDatabase* db, const QString& table, const QString& field, const QString& code) {
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    // Cast to the code's own length: a code wider than the column simply does not exist there.
    db->Prepare(q,
                QStringLiteral("SELECT FIRST 1 1 FROM %1 WHERE %2 = CAST(:C AS VARCHAR(%3))")
                    .arg(table, field)
                    .arg(code.size()),
                false);
    q.bindValue(QStringLiteral(":C"), code);
    db->Exec(q, false);
    return q.next();
}

qlonglong CodeAllocator::Highest(TZoDatabase* db, const QString& table, const QString& field,
                                 const QString& code) {
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    // Codes of digits only, of the same length: other texts do not count as numbers.
    db->Prepare(q,
                QStringLiteral("SELECT MAX(%2) FROM %1 WHERE %2 >= CAST(:C AS VARCHAR(%3)) AND %2 SIMILAR TO "
                               "'[0-9]{%3}'")
                    .arg(table, field)
                    .arg(code.size()),
                false);
    q.bindValue(QStringLiteral(":C"), code);
    db->Exec(q, false);
    return q.next() ? q.value(0).toString().toLongLong() : 0;
}

int CodeAllocator::Width(const QString& table, const QString& field) {
    QSqlQuery q(m_counter->Connection());
    q.setForwardOnly(true);
    m_counter->Prepare(q,
                       QStringLiteral("SELECT F.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS R "
                                      "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE "
                                      "WHERE R.RDB$RELATION_NAME = :T AND R.RDB$FIELD_NAME = :F"),
                       false);
    q.bindValue(QStringLiteral(":T"), table);
    q.bindValue(QStringLiteral(":F"), field);
    m_counter->Exec(q, false);
    return q.next() && !q.value(0).isNull() ? q.value(0).toInt() : 0;
}

QString CodeAllocator::Next(const QString& table, const QString& field, int width, bool checkTable) {
    const QString t = table.toUpper(), f = field.toUpper();
    const int columnWidth = Width(t, f);
    QElapsedTimer waited;
    waited.start();
    QString lastError;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QVariant last = Last(t, f);
        qlonglong next = last.toString().trimmed().toLongLong() + 1;
        QString code = QString::number(next).rightJustified(width, '0');
        // A code taken by rows that did not go through the counter (imported, older data) sends it past the
        // highest code in use from there, in one read, not one code at a time.
        if (checkTable)
            while (Used(m_counter, t, f, code) || (m_work && Used(m_work, t, f, code))) {
                next = columnWidth > 0 ? std::max({next + 1, Highest(m_counter, t, f, code) + 1,
                                                   m_work ? Highest(m_work, t, f, code) + 1 : 0})
                                       : next + 1;
                code = QString::number(next).rightJustified(width, '0');
            }
        // The column would cut the number, and the cut code is taken: saying so is all that can be done.
        if (columnWidth > 0 && QString::number(next).size() > columnWidth)
            throw EDatabaseError(
                QStringLiteral("Os códigos de %1 esgotaram: o próximo, %2, não cabe no campo %3, "
                               "de %4 caracteres.")
                    .arg(t, code, f)
                    .arg(columnWidth));
        // A lost race shows up at once as a key violation, an update conflict or no row changed: read
        // again. A failure after the time limit is another workstation holding the counter.
        try {
            if (Advance(t, f, last, code))
                return code;
        } catch (const EDatabaseError& e) {
            if (waited.elapsed() >= m_counter->LockTimeoutMs)
                throw;
            lastError = e.message();
        }
    }
    throw EDatabaseError(
        QStringLiteral("Não foi possível obter o próximo código de %1.%2.\n%3").arg(t, f, lastError));
}

QVariant CodeAllocator::Last(const QString& table, const QString& field) {
    QSqlQuery read(m_counter->Connection());
    m_counter->Prepare(read, QStringLiteral("SELECT ULTIMO FROM CODIGOS WHERE TABELA = :T AND CAMPO = :F"),
                       false);
    read.bindValue(QStringLiteral(":T"), table);
    read.bindValue(QStringLiteral(":F"), field);
    m_counter->Exec(read, false);
    if (!read.next())
        return {};
    return read.value(0).isNull() ? QVariant(QMetaType::fromType<QString>()) : read.value(0);
}

bool CodeAllocator::Advance(const QString& table, const QString& field, const QVariant& last,
                            const QString& code) {
    QSqlQuery write(m_counter->Connection());
    if (!last.isValid()) {
        m_counter->Prepare(
            write, QStringLiteral("INSERT INTO CODIGOS (TABELA, CAMPO, ULTIMO) VALUES (:T, :F, :U)"), true);
    } else {
        m_counter->Prepare(write,
                           QStringLiteral("UPDATE CODIGOS SET ULTIMO = :U WHERE TABELA = :T AND CAMPO = :F "
                                          "AND ULTIMO IS NOT DISTINCT FROM :OLD"),
                           true);
        write.bindValue(QStringLiteral(":OLD"), last);
    }
    write.bindValue(QStringLiteral(":T"), table);
    write.bindValue(QStringLiteral(":F"), field);
    write.bindValue(QStringLiteral(":U"), code);
    m_counter->Exec(write, true);
    return write.numRowsAffected() == 1;
}

qlonglong CodeAllocator::HighestOfSeries(TZoDatabase* db, const QString& table, const QString& field,
                                         const QString& prefix) {
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    db->Prepare(q,
                QStringLiteral("SELECT MAX(CAST(SUBSTRING(%2 FROM %3) AS BIGINT)) FROM %1 WHERE %2 STARTING "
                               "WITH :P AND SUBSTRING(%2 FROM %3) SIMILAR TO '[0-9]{1,18}'")
                    .arg(table, field)
                    .arg(prefix.size() + 1),
                false);
    q.bindValue(QStringLiteral(":P"), prefix);
    db->Exec(q, false);
    return q.next() ? q.value(0).toLongLong() : 0;
}

QStringList CodeAllocator::NextOfSeries(const QString& table, const QString& field, const QString& prefix,
                                        int count, int digits) {
    const QString t = table.toUpper(), f = field.toUpper();
    const QString series = f + QLatin1Char('/') + prefix;
    if (count <= 0)
        return {};
    if (series.size() > 31 || prefix.isEmpty())
        throw EDatabaseError(QStringLiteral("Série de códigos inválida: %1.").arg(series));
    const int columnWidth = Width(t, f);
    QElapsedTimer waited;
    waited.start();
    QString lastError;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QVariant last = Last(t, series);
        const qlonglong from =
            std::max({last.toString().trimmed().toLongLong(), HighestOfSeries(m_counter, t, f, prefix),
                      m_work ? HighestOfSeries(m_work, t, f, prefix) : 0});
        const qlonglong to = from + count;
        const QString lastCode = QString::number(to).rightJustified(digits, '0');
        if (columnWidth > 0 && prefix.size() + lastCode.size() > columnWidth)
            throw EDatabaseError(
                QStringLiteral("Os códigos de %1 esgotaram: o próximo, %2, não cabe no campo "
                               "%3, de %4 caracteres.")
                    .arg(t, prefix + lastCode, f)
                    .arg(columnWidth));
        try {
            if (Advance(t, series, last, lastCode)) {
                QStringList codes;
                for (qlonglong n = from + 1; n <= to; ++n)
                    codes << prefix + QString::number(n).rightJustified(digits, '0');
                return codes;
            }
        } catch (const EDatabaseError& e) {
            if (waited.elapsed() >= m_counter->LockTimeoutMs)
                throw;
            lastError = e.message();
        }
    }
    throw EDatabaseError(
        QStringLiteral("Não foi possível obter os próximos códigos de %1.%2.\n%3").arg(t, series, lastError));
}
