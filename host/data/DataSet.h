#pragma once
#include "HostExport.h"
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <functional>

class TDataSet;

enum class DataSetState { Inactive, Browse, Edit, Insert };

struct KELMHOST_EXPORT FieldDef {
    QString name;
    QMetaType::Type type = QMetaType::QString;
    int size = 0; // characters of a text field; 0 = unlimited
    QString displayLabel;
    bool visible = true;
    int displayWidth = 0;    // characters shown in grids; 0 = from the size
    int decimals = -1;       // decimals of a number (a column's scale); -1 = as many as the value needs
    double limit = 0;        // largest absolute value the column holds; 0 = any finite number
    bool timeOfDay = false;  // a text field holding a time "HH:mm": typed times are read by LeHora
    QString nullText;        // shown for no value where a blank would pass for nothing to see ("—")
    QString Caption() const; // how messages name the field
};

// A handle to one field of a data set's current record.
class KELMHOST_EXPORT TField {
public:
    TField(TDataSet* dataSet, int index) : m_dataSet(dataSet), m_index(index) {}
    QString FieldName() const;
    const FieldDef& Def() const;
    QVariant Value() const;
    bool IsNull() const;
    QString AsString() const;    // program text (TextoValor)
    QString DisplayText() const; // what boxes, grids and reports show (TextoExibicao)
    double AsFloat() const;
    int AsInteger() const;
    QDate AsDate() const;
    QDateTime AsDateTime() const;
    void SetValue(const QVariant& value);
    void Clear();
    TField& operator=(const QVariant& value) {
        SetValue(value);
        return *this;
    }

private:
    TDataSet* m_dataSet;
    int m_index;
};

// Read-only view of one stored record, handed to filters.
class KELMHOST_EXPORT RecordView {
public:
    RecordView(const TDataSet* dataSet, const QVariantList* values) : m_dataSet(dataSet), m_values(values) {}
    QVariant value(const QString& field) const;

private:
    const TDataSet* m_dataSet;
    const QVariantList* m_values;
};

// Rows held in memory with a cursor and Browse/Edit/Insert states; the common ground of shared tables,
// queries and in-memory tables. Subclasses decide what Post and Delete do to the database.
class KELMHOST_EXPORT TDataSet : public QObject {
    Q_OBJECT
public:
    using Hook = std::function<void(TDataSet&)>; // throw EAbort to cancel the operation
    using Filter = std::function<bool(const RecordView&)>;

    explicit TDataSet(QObject* parent = nullptr);
    ~TDataSet() override;

    // Fields
    const QList<FieldDef>& FieldDefs() const { return m_fields; }
    int FieldCount() const { return int(m_fields.size()); }
    int FieldIndex(const QString& name) const; // -1 when absent
    // The index of a field the data set must have: a name it lacks throws EDatabaseError.
    int IndiceExistente(const QString& name) const;
    TField FieldByName(const QString& name); // throws EDatabaseError when absent
    TField Fields(int index) { return TField(this, index); }
    FieldDef& FieldDefByName(const QString& name);

    // State and cursor
    // Controls write back what is still pending in them before a post; a value they cannot write stops
    // the post. Called directly, not through a signal, so that the failure reaches the caller of Post.
    void AddPendingWriter(QObject* owner, std::function<void()> write);

    DataSetState State() const { return m_state; }
    bool Active() const { return m_state != DataSetState::Inactive; }
    bool Editing() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }
    int RecordCount() const { return int(m_view.size()); }
    int RecNo() const { return m_pos; } // 0-based position in the visible rows, -1 when empty
    bool IsEmpty() const { return m_view.isEmpty(); }
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }

    void First();
    void Last();
    void Next();
    void Prior();
    void MoveTo(int position);
    bool Locate(const QString& fields, const QVariantList& values, bool caseInsensitive = false,
                bool partialKey = false);

    // Editing
    void Insert();
    void Append();
    void Edit();
    bool Post(); // false when a hook cancelled
    void Cancel();
    bool Delete();          // false when a hook cancelled
    void CheckBrowseMode(); // throws EAbort when a hook refuses the pending post

    // Sorting and filtering of the visible rows
    void SetIndexFieldNames(const QString& fields);
    QString IndexFieldNames() const { return m_indexFields.join(';'); }
    void SetFilter(Filter filter);
    void ClearFilter() { SetFilter(nullptr); }

    void DisableControls();
    void EnableControls();
    void Close();

    // Hooks
    Hook BeforeInsert, AfterInsert, OnNewRecord, BeforeEdit, BeforePost, AfterPost, BeforeDelete, AfterDelete,
        AfterScroll, AfterCancel;

    // Raw access for models and bindings
    QVariant ValueAt(int position, int field) const;
    // A field of a row by name, as TField reads it: as text without surrounding blanks, as a number. A name
    // the data set lacks throws EDatabaseError, as FieldByName does.
    QString TextoEm(int position, const QString& field) const;
    // The same of the current row: what readers of a query's rows take field by field.
    QString TextoAtual(const QString& field) const { return TextoEm(m_pos, field); }
    double NumeroEm(int position, const QString& field) const;
    double NumeroAtual(const QString& field) const { return NumeroEm(m_pos, field); }
    void SetValueAt(int position, int field, const QVariant& value);
    QVariant CurrentValue(int field) const;
    // The value the current record held before the edit under way; its current value otherwise.
    QVariant OldValue(int field) const;
    void SetCurrentValue(int field, const QVariant& value);
    // Edits made by the user through a grid cell, a bound box or a row key, counted so a screen can tell
    // whether what it shows still is what it loaded or saved.
    void CountUserEdit() { ++m_userEdits; }
    quint64 UserEdits() const { return m_userEdits; }
    // SetValueAt for what the user typed: counted when it changed the value.
    void SetValueByUser(int position, int field, const QVariant& value);
    // The visible rows handed over, in view order; the data set is left empty.
    QList<QVariantList> EntregaLinhas();

signals:
    // Every visible row may have changed: the rows were (re)loaded, sorted, filtered or controls enabled.
    void layoutReset();
    // One visible row comes, goes or moves; the "about" signal is sent before the change.
    void aboutToInsertRow(int position);
    void rowInserted(int position);
    void aboutToRemoveRow(int position);
    void rowRemoved(int position);
    void aboutToMoveRow(int from, int to);
    void rowMoved(int from, int to);
    // `field` is the one field set, or -1 when the whole row may differ (a post, a cancel).
    void rowChanged(int position, int field);
    void scrolled(int position);
    void stateChanged(DataSetState state);

protected:
    // Storage set-up for subclasses.
    void SetFields(const QList<FieldDef>& fields);
    void SetRows(QList<QVariantList> rows);
    void Activate();
    // Persistence; throw to refuse (the data set stays in its editing state).
    virtual void DoPost(const QVariantList& values, const QVariantList& original, bool inserting);
    virtual void DoDelete(const QVariantList& values);
    static QVariant Coerce(const FieldDef& def, const QVariant& value);
    // A field of every visible row written at once, in view order: no edit and post per row, the views
    // reset once. For rows that live only here.
    void WriteColumn(int field, const QVariantList& values);

private:
    void RebuildView(int keepRow);
    bool ComesBefore(int a, int b) const;
    void UpdateIndexKeys();
    void PlacePosted(int row);
    void RemoveFromView(int position);
    void SetState(DataSetState state);
    void Scrolled(bool bof = false, bool eof = false);
    void NotifyRow(int field = -1);
    void RunHook(const Hook& hook);
    void StartInsert(int position);
    int CurrentRow() const { return m_pos >= 0 && m_pos < m_view.size() ? m_view[m_pos] : -1; }

    QList<FieldDef> m_fields;
    QList<QVariantList> m_rows; // stored rows, in load order
    QList<int> m_view;          // visible rows in order
    int m_pos = -1;
    bool m_eof = true;
    bool m_bof = true;
    DataSetState m_state = DataSetState::Inactive;
    QVariantList m_backup;
    int m_insertedRow = -1;
    QStringList m_indexFields;
    QList<int> m_indexKeys; // field positions of m_indexFields
    Filter m_filter;
    int m_disabled = 0;
    bool m_restructuring = false; // visible rows are being inserted, removed or moved
    quint64 m_userEdits = 0;
    QList<QPair<QPointer<QObject>, std::function<void()>>> m_pendingWriters;
};

// Views of a data set stay quiet while code fills or walks its rows; they are told once at the end.
class ControlesDesligados {
public:
    explicit ControlesDesligados(TDataSet& dados) : m_dados(dados) { m_dados.DisableControls(); }
    ~ControlesDesligados() { m_dados.EnableControls(); }
    ControlesDesligados(const ControlesDesligados&) = delete;
    ControlesDesligados& operator=(const ControlesDesligados&) = delete;

private:
    TDataSet& m_dados;
};
