#include "ResultRows.h"
#include "ErrosBanco.h"
#include "HostError.h"
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>
#include <limits>

QList<FieldDef> FieldDefsOf(const QSqlRecord& record) {
    QList<FieldDef> defs;
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        FieldDef def;
        def.name = field.name().toUpper();
        switch (field.metaType().id()) {
        case QMetaType::Int:
            def.type = QMetaType::LongLong;
            def.limit = std::numeric_limits<qint32>::max();
            break;
        case QMetaType::Short:
            def.type = QMetaType::LongLong;
            def.limit = std::numeric_limits<qint16>::max();
            break;
        case QMetaType::LongLong:
            def.type = QMetaType::LongLong;
            def.limit = 9007199254740992.0; // values travel as double: whole numbers are exact up to 2^53
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            def.type = QMetaType::Double;
            // NUMERIC and DECIMAL columns report their digits as length and their scale as precision.
            if (field.precision() > 0) {
                def.decimals = field.precision();
                def.limit =
                    std::pow(10.0, field.length() - field.precision()) - std::pow(10.0, -def.decimals);
            }
            break;
        case QMetaType::QDate:
        case QMetaType::QDateTime:
        case QMetaType::QTime:
        case QMetaType::QByteArray:
            def.type = QMetaType::Type(field.metaType().id());
            break;
        default:
            def.type = QMetaType::QString;
            // The driver talks UTF8 and gives a text column's length in bytes, four per character.
            def.size = field.length() > 0 ? std::max(1, field.length() / 4) : 0;
        }
        defs << def;
    }
    return defs;
}

QList<QVariantList> ReadAllRows(QSqlQuery& query, int fieldCount) {
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        row.reserve(fieldCount);
        for (int i = 0; i < fieldCount; ++i) {
            QVariant v = query.value(i);
            if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::Short)
                v = v.isNull() ? QVariant() : QVariant(v.toLongLong());
            else if (v.isNull())
                v = QVariant();
            row << v;
        }
        rows << row;
    }
    if (query.lastError().isValid())
        throw EDatabaseError(TraduzErroBanco(query.lastError().text()));
    return rows;
}
