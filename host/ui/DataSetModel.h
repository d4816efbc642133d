#pragma once
#include "ColunaGrade.h"
#include "HostExport.h"
#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <functional>

class TDataSet;

// Table model over a data set's visible fields and rows, for grids. Editing a cell edits the data set.
// A row inserted, removed, moved or changed is told to the views as just that, so they keep their current
// cell, selection, scroll position and open editor; only a reload, a new order or a filter resets them.
class KELMHOST_EXPORT DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The data set's model, made on first use and owned by the data set.
    static DataSetModel* Of(TDataSet* dataSet);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // The columns as a grid declares them (TZoDBGrid::DeclaraColunas), applied again after every reload of
    // the rows; without a declaration every visible field is a column.
    void DeclaraColunas(const QList<ColunaGrade>& colunas);
    // The declaration of a column; null when nothing was declared.
    const ColunaGrade* Declaracao(int column) const;
    bool ReadOnlyColumn(int column) const;
    // The values a column's cell editor offers to pick from; other text can still be typed.
    QStringList PickList(int column) const;
    // The text colour of each row, by its position; an invalid colour leaves the row as the grid draws it.
    void SetRowColor(std::function<QColor(int row)> color) { m_rowColor = std::move(color); }
    // The background of each cell, by row position and data set field; invalid leaves the grid's own. Its
    // text is drawn white or black, whichever reads on it (TextoSobre).
    void SetCellBackground(std::function<QColor(int row, int field)> color) {
        m_cellBackground = std::move(color);
    }
    // A text field shown as a check box: checked holds `marcado`, unchecked `desmarcado`. Found by name again
    // whenever the rows are reloaded, so fields made anew keep it. A grid may have several.
    void SetCheckField(const QString& field, const QString& marcado = QStringLiteral("S"),
                       const QString& desmarcado = QStringLiteral("N"));
    int FieldOfColumn(int column) const; // data set field index
    int ColumnOfField(const QString& name) const;
    TDataSet* DataSet() const { return m_dataSet; }

private:
    explicit DataSetModel(TDataSet* dataSet);
    QColor CorSegura(const std::function<QColor()>& cor) const;
    void Refresh();
    TDataSet* m_dataSet;
    QList<int> m_columns;      // data set field of each column
    QList<int> m_declarations; // index in m_declared of each column, -1 for none
    QList<ColunaGrade> m_declared;
    bool m_readOnly = false;
    std::function<QColor(int row)> m_rowColor;
    std::function<QColor(int row, int field)> m_cellBackground;
    struct CampoMarca {
        QString nome, marcado, desmarcado;
        int campo = -1;
    };
    QList<CampoMarca> m_checks;
    const CampoMarca* Marca(int field) const;
};

// The text colour that reads on a background: white when red + green + blue ≤ 384, black otherwise.
KELMHOST_EXPORT QColor TextoSobre(const QColor& fundo);
