#include "DataSetModel.h"
#include "DataSet.h"
#include "Formatacao.h"
#include "Protecao.h"

DataSetModel* DataSetModel::Of(TDataSet* dataSet) {
    if (auto* model = dataSet->findChild<DataSetModel*>(QString(), Qt::FindDirectChildrenOnly))
        return model;
    return new DataSetModel(dataSet);
}

DataSetModel::DataSetModel(TDataSet* dataSet) : QAbstractTableModel(dataSet), m_dataSet(dataSet) {
    Refresh();
    connect(dataSet, &TDataSet::layoutReset, this, [this] {
        beginResetModel();
        Refresh();
        endResetModel();
    });
    connect(dataSet, &TDataSet::aboutToInsertRow, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(dataSet, &TDataSet::rowInserted, this, [this] { endInsertRows(); });
    connect(dataSet, &TDataSet::aboutToRemoveRow, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(dataSet, &TDataSet::rowRemoved, this, [this] { endRemoveRows(); });
    // Qt counts the destination before the row leaves its place.
    connect(dataSet, &TDataSet::aboutToMoveRow, this,
            [this](int from, int to) { beginMoveRows({}, from, from, {}, to > from ? to + 1 : to); });
    connect(dataSet, &TDataSet::rowMoved, this, [this] { endMoveRows(); });
    connect(dataSet, &TDataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && !m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

// A reload may make the fields anew: the declared captions and decimals are laid on them again.
void DataSetModel::Refresh() {
    for (CampoMarca& marca : m_checks)
        marca.campo = m_dataSet->FieldIndex(marca.nome);
    m_columns.clear();
    m_declarations.clear();
    if (m_declared.isEmpty()) {
        const auto& defs = m_dataSet->FieldDefs();
        for (int i = 0; i < defs.size(); ++i)
            if (defs[i].visible) {
                m_columns << i;
                m_declarations << -1;
            }
        return;
    }
    for (int i = 0; i < m_dataSet->FieldCount(); ++i)
        m_dataSet->FieldDefByName(m_dataSet->FieldDefs()[i].name).visible = false;
    for (int d = 0; d < m_declared.size(); ++d) {
        const ColunaGrade& coluna = m_declared[d];
        const int field = m_dataSet->FieldIndex(coluna.campo);
        if (field < 0)
            continue;
        FieldDef& def = m_dataSet->FieldDefByName(coluna.campo);
        def.displayLabel = coluna.legenda;
        def.visible = coluna.visivel;
        if (coluna.casas >= 0)
            def.decimals = coluna.casas;
        if (coluna.visivel && !m_columns.contains(field)) {
            m_columns << field;
            m_declarations << d;
        }
    }
}

void DataSetModel::DeclaraColunas(const QList<ColunaGrade>& colunas) {
    beginResetModel();
    m_declared = colunas;
    Refresh();
    endResetModel();
}

const ColunaGrade* DataSetModel::Declaracao(int column) const {
    const int d = column >= 0 && column < m_declarations.size() ? m_declarations[column] : -1;
    return d < 0 ? nullptr : &m_declared[d];
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
    if (field < 0)
        return {};
    const QVariant value = m_dataSet->ValueAt(index.row(), field);
    const FieldDef& def = m_dataSet->FieldDefs()[field];
    if (const CampoMarca* marca = Marca(field)) {
        if (role == Qt::CheckStateRole)
            return value.toString().trimmed() == marca->marcado ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::DisplayRole)
            return {};
    }
    if (role == Qt::DisplayRole) {
        if (const ColunaGrade* coluna = Declaracao(index.column())) {
            if (coluna->amostra)
                return {};
            if (const auto texto = coluna->textos.constFind(value.toString().trimmed());
                texto != coluna->textos.cend())
                return *texto;
        }
        return value.isNull() ? def.nullText : TextoExibicao(value, def.decimals);
    }
    // The editor starts from the text the cell shows, and hands text back to the same parser.
    if (role == Qt::EditRole)
        return def.type == QMetaType::QString || value.isNull()
                   ? value
                   : QVariant(TextoExibicao(value, def.decimals));
    if (role == Qt::TextAlignmentRole &&
        (def.type == QMetaType::Double || def.type == QMetaType::Int || def.type == QMetaType::LongLong))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::BackgroundRole && m_cellBackground)
        if (const QColor color = CorSegura([&] { return m_cellBackground(index.row(), field); });
            color.isValid())
            return color;
    if (role == Qt::ForegroundRole && m_cellBackground)
        if (const QColor color = CorSegura([&] { return m_cellBackground(index.row(), field); });
            color.isValid())
            return TextoSobre(color);
    if (role == Qt::ForegroundRole && m_rowColor)
        if (const QColor color = CorSegura([&] { return m_rowColor(index.row()); }); color.isValid())
            return color;
    return {};
}

// The screens' colour rules run while Qt paints: a failing one (a field the rows lack) leaves the cell as the
// grid draws it and says so in the log, never a dialog in the middle of a paint.
QColor DataSetModel::CorSegura(const std::function<QColor()>& cor) const {
    try {
        return cor();
    } catch (const std::exception& e) {
        qWarning("%s: colour rule failed: %s", qPrintable(m_dataSet->objectName()), e.what());
        return {};
    }
}

QColor TextoSobre(const QColor& fundo) {
    return fundo.red() + fundo.green() + fundo.blue() <= 384 ? QColor(Qt::white) : QColor(Qt::black);
}

// Called by Qt's item views: a refused value shows its message and leaves the cell as it was.
bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const CampoMarca* marca = index.isValid() ? Marca(FieldOfColumn(index.column())) : nullptr;
    if (marca && role == Qt::CheckStateRole && !ReadOnlyColumn(index.column()))
        return ExecutaProtegido([&] {
            m_dataSet->SetValueByUser(index.row(), marca->campo,
                                      value.toInt() == Qt::Checked ? marca->marcado : marca->desmarcado);
        });
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    return ExecutaProtegido(
        [&] { m_dataSet->SetValueByUser(index.row(), FieldOfColumn(index.column()), value); });
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

bool DataSetModel::ReadOnlyColumn(int column) const {
    const ColunaGrade* coluna = Declaracao(column);
    return m_readOnly || FieldOfColumn(column) < 0 || (coluna && coluna->somenteLeitura);
}

QStringList DataSetModel::PickList(int column) const {
    const ColunaGrade* coluna = Declaracao(column);
    return coluna ? coluna->lista : QStringList();
}

void DataSetModel::SetCheckField(const QString& field, const QString& marcado, const QString& desmarcado) {
    m_checks.removeIf([&](const CampoMarca& marca) { return marca.nome == field; });
    m_checks.append({field, marcado, desmarcado, m_dataSet->FieldIndex(field)});
}

const DataSetModel::CampoMarca* DataSetModel::Marca(int field) const {
    for (const CampoMarca& marca : m_checks)
        if (field >= 0 && marca.campo == field)
            return &marca;
    return nullptr;
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (Marca(FieldOfColumn(index.column())) && !ReadOnlyColumn(index.column()))
        f |= Qt::ItemIsUserCheckable;
    if (!ReadOnlyColumn(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}
