#include "DataSetModel.h"
#include "DataSet.h"
#include "HostError.h"
#include <QLocale>

DataSetModel::DataSetModel(TDataSet* dataSet, QObject* parent)
    : QAbstractTableModel(parent), m_dataSet(dataSet) {
    Refresh();
    connect(dataSet, &TDataSet::layoutReset, this, [this] {
        beginResetModel();
        Refresh();
        endResetModel();
    });
    connect(dataSet, &TDataSet::rowChanged, this, [this](int row) {
        if (row >= 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void DataSetModel::Refresh() {
    m_columns.clear();
    const auto& defs = m_dataSet->FieldDefs();
    for (const QString& name : m_order)
        if (const int i = m_dataSet->FieldIndex(name); i >= 0 && defs[i].visible && !m_columns.contains(i))
            m_columns << i;
    for (int i = 0; i < defs.size(); ++i)
        if (defs[i].visible && !m_columns.contains(i))
            m_columns << i;
}

void DataSetModel::SetColumnOrder(const QStringList& fields) {
    beginResetModel();
    m_order = fields;
    Refresh();
    endResetModel();
}

int DataSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_dataSet->RecordCount();
}

int DataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

int DataSetModel::FieldOfColumn(int column) const {
    return column >= 0 && column < m_columns.size() ? m_columns[column] : -1;
}

int DataSetModel::ColumnOfField(const QString& name) const {
    return int(m_columns.indexOf(m_dataSet->FieldIndex(name)));
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int field = FieldOfColumn(index.column());
    const QVariant value = m_dataSet->ValueAt(index.row(), field);
    const auto type = m_dataSet->FieldDefs()[field].type;
    if (role == Qt::DisplayRole) {
        if (value.isNull())
            return QString();
        switch (type) {
        case QMetaType::QDate:
            return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
        case QMetaType::QDateTime:
            return value.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        case QMetaType::Double:
            return QLocale().toString(value.toDouble(), 'f',
                                      value.toDouble() == qRound64(value.toDouble()) ? 0 : 3);
        default:
            return value;
        }
    }
    if (role == Qt::EditRole)
        return value;
    if (role == Qt::TextAlignmentRole &&
        (type == QMetaType::Double || type == QMetaType::Int || type == QMetaType::LongLong))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    m_dataSet->SetValueAt(index.row(), FieldOfColumn(index.column()), value);
    return true;
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const int field = FieldOfColumn(section);
    if (field < 0)
        return {};
    const FieldDef& def = m_dataSet->FieldDefs()[field];
    return def.displayLabel.isEmpty() ? def.name : def.displayLabel;
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const int field = FieldOfColumn(index.column());
    if (!m_readOnly && field >= 0 &&
        !m_readOnlyFields.contains(m_dataSet->FieldDefs()[field].name, Qt::CaseInsensitive))
        f |= Qt::ItemIsEditable;
    return f;
}
