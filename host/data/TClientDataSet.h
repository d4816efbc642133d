#pragma once
#include "DataSet.h"
#include "HostExport.h"

// An in-memory table with fields declared by name; screens use it as the working table of their grids.
class KELMHOST_EXPORT TClientDataSet : public TDataSet {
    Q_OBJECT
public:
    explicit TClientDataSet(QObject* parent = nullptr) : TDataSet(parent) {}

    TClientDataSet& AddField(const QString& name, QMetaType::Type type, int size = 0,
                             const QString& displayLabel = QString());
    void CreateDataSet();
    void EmptyDataSet();

private:
    QList<FieldDef> m_pending;
};
