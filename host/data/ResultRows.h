#pragma once
#include "DataSet.h"
#include "HostExport.h"
#include <QSqlQuery>
#include <QSqlRecord>

// Field definitions as the database reports them for a result.
KELMHOST_EXPORT QList<FieldDef> FieldDefsOf(const QSqlRecord& record);
// Reads every row of an executed query and ends its cursor.
KELMHOST_EXPORT QList<QVariantList> ReadAllRows(QSqlQuery& query, int fieldCount);
