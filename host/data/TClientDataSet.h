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
    // Takes another data set's fields and visible rows, leaving it empty (a query's rows shown without a
    // second copy); its views are reset once.
    void TomaDe(TDataSet& origem);
    // A field worked out for every row at once, in the order shown (an action's idle times): no edit and
    // post per row.
    void PreencheColuna(int field, const QVariantList& values) { WriteColumn(field, values); }
    // Fields declared anew (a pivot's, a report's): the rows go.
    void RedefineCampos() { m_pending.clear(); }

private:
    QList<FieldDef> m_pending;
};
