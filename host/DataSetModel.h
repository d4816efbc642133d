#pragma once
#include "HostExport.h"
#include <QAbstractTableModel>

class TDataSet;

// Table model over a data set's visible fields and rows, for grids. Editing a cell edits the data set.
class KELMHOST_EXPORT DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DataSetModel(TDataSet* dataSet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    void SetReadOnlyFields(const QStringList& fields) { m_readOnlyFields = fields; }
    // Columns in this order first, then the other visible fields in their own order.
    void SetColumnOrder(const QStringList& fields);
    int FieldOfColumn(int column) const; // data set field index
    int ColumnOfField(const QString& name) const;
    TDataSet* DataSet() const { return m_dataSet; }

private:
    void Refresh();
    TDataSet* m_dataSet;
    QList<int> m_columns;
    bool m_readOnly = false;
    QStringList m_readOnlyFields;
    QStringList m_order;
};
