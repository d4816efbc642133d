#include "CodeAllocator.h"
#include "HostError.h"
#include "TZoDatabase.h"
#include <QSqlError>
#include <QSqlQuery>

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

QString CodeAllocator::Next(const QString& table, const QString& field, int width, bool checkTable) {
    const QString t = table.toUpper(), f = field.toUpper();
    QString lastError;
    for (int attempt = 0; attempt < 100; ++attempt) {
        QVariant last; // invalid: no counter yet; null: a counter without value
        {
            QSqlQuery read(m_counter->Connection());
            m_counter->Prepare(
                read, QStringLiteral("SELECT ULTIMO FROM CODIGOS WHERE TABELA = :T AND CAMPO = :F"), false);
            read.bindValue(QStringLiteral(":T"), t);
            read.bindValue(QStringLiteral(":F"), f);
            m_counter->Exec(read, false);
            if (read.next())
                last = read.value(0).isNull() ? QVariant(QMetaType::fromType<QString>()) : read.value(0);
        }
        qlonglong next = last.toString().trimmed().toLongLong() + 1;
        QString code = QString::number(next).rightJustified(width, '0');
        if (checkTable)
            while (Used(m_counter, t, f, code) || (m_work && Used(m_work, t, f, code)))
                code = QString::number(++next).rightJustified(width, '0');
        QSqlQuery write(m_counter->Connection());
        if (!last.isValid()) {
            write.prepare(QStringLiteral("INSERT INTO CODIGOS (TABELA, CAMPO, ULTIMO) VALUES (:T, :F, :U)"));
        } else {
            write.prepare(QStringLiteral("UPDATE CODIGOS SET ULTIMO = :U WHERE TABELA = :T AND CAMPO = :F "
                                         "AND ULTIMO IS NOT DISTINCT FROM :OLD"));
            write.bindValue(QStringLiteral(":OLD"), last);
        }
        write.bindValue(QStringLiteral(":T"), t);
        write.bindValue(QStringLiteral(":F"), f);
        write.bindValue(QStringLiteral(":U"), code);
        // A lost race shows up as a key violation, an update conflict or no row changed: read again.
        if (write.exec() && write.numRowsAffected() == 1)
            return code;
        lastError = write.lastError().text();
    }
    throw EDatabaseError(
        QStringLiteral("Não foi possível obter o próximo código de %1.%2.\n%3").arg(t, f, lastError));
}
