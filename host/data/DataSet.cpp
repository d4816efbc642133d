#include "DataSet.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostError.h"
#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>

// ---- TField

QString TField::FieldName() const {
    return Def().name;
}
const FieldDef& TField::Def() const {
    return m_dataSet->FieldDefs()[m_index];
}
QVariant TField::Value() const {
    return m_dataSet->CurrentValue(m_index);
}
bool TField::IsNull() const {
    const QVariant v = Value();
    return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}
QString TField::AsString() const {
    return TextoValor(Value());
}
QString TField::DisplayText() const {
    const QVariant v = Value();
    return v.isNull() ? Def().nullText : TextoExibicao(v, Def().decimals);
}
namespace {
// A stored value as a number; a text field may hold "12,5".
double numero(const QVariant& v) {
    if (v.typeId() == QMetaType::QString)
        return QString(v.toString()).replace(',', '.').toDouble();
    return v.toDouble();
}
} // namespace

double TField::AsFloat() const {
    return numero(Value());
}
int TField::AsInteger() const {
    return qRound(AsFloat());
}
QDate TField::AsDate() const {
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QString)
        return QDate::fromString(v.toString(), QStringLiteral("dd/MM/yyyy"));
    return v.toDate();
}
QDateTime TField::AsDateTime() const {
    return Value().toDateTime();
}
void TField::SetValue(const QVariant& value) {
    m_dataSet->SetCurrentValue(m_index, value);
}
void TField::Clear() {
    SetValue(QVariant());
}

QString FieldDef::Caption() const {
    return displayLabel.isEmpty() ? name : displayLabel;
}

QVariant RecordView::value(const QString& field) const {
    const int i = m_dataSet->FieldIndex(field);
    return i < 0 ? QVariant() : m_values->at(i);
}

// ---- TDataSet

TDataSet::TDataSet(QObject* parent) : QObject(parent) {}
TDataSet::~TDataSet() = default;

int TDataSet::FieldIndex(const QString& name) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TDataSet::IndiceExistente(const QString& name) const {
    const int i = FieldIndex(name);
    if (i < 0)
        throw EDatabaseError(QStringLiteral("%1: campo '%2' não encontrado.").arg(objectName(), name));
    return i;
}

TField TDataSet::FieldByName(const QString& name) {
    return TField(this, IndiceExistente(name));
}

FieldDef& TDataSet::FieldDefByName(const QString& name) {
    const int i = FieldIndex(name);
    if (i < 0)
        throw EDatabaseError(QStringLiteral("%1: campo '%2' não encontrado.").arg(objectName(), name));
    return m_fields[i];
}

void TDataSet::SetFields(const QList<FieldDef>& fields) {
    m_fields = fields;
    UpdateIndexKeys();
    m_rows.clear();
    m_view.clear();
}

void TDataSet::SetRows(QList<QVariantList> rows) {
    m_rows = std::move(rows);
    m_insertedRow = -1;
    m_backup.clear();
    if (m_state == DataSetState::Inactive || Editing())
        m_state = DataSetState::Browse;
    RebuildView(-1);
    if (!m_view.isEmpty())
        m_pos = 0;
    if (!m_disabled)
        emit layoutReset();
    Scrolled(true, false);
}

QList<QVariantList> TDataSet::EntregaLinhas() {
    if (Editing())
        Cancel();
    QList<QVariantList> linhas;
    bool natural = m_view.size() == m_rows.size();
    for (int i = 0; natural && i < m_view.size(); ++i)
        natural = m_view[i] == i;
    if (natural) {
        linhas = std::move(m_rows);
    } else {
        linhas.reserve(m_view.size());
        for (int row : std::as_const(m_view))
            linhas << std::move(m_rows[row]);
    }
    SetRows({});
    return linhas;
}

void TDataSet::Activate() {
    SetState(DataSetState::Browse);
}

void TDataSet::Close() {
    m_rows.clear();
    m_view.clear();
    m_pos = -1;
    m_insertedRow = -1;
    SetState(DataSetState::Inactive);
    if (!m_disabled)
        emit layoutReset();
}

namespace {
QTime HoraDigitada(const FieldDef& def, const QString& text) {
    const QTime time = LeHora(text);
    if (!time.isValid())
        throw EDatabaseError(
            QStringLiteral("%1: \"%2\" não é uma hora válida.").arg(def.Caption(), text.trimmed()));
    return time;
}
} // namespace

QVariant TDataSet::Coerce(const FieldDef& def, const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return QVariant();
    switch (def.type) {
    case QMetaType::QString: {
        QString text = value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 15)
                                                           : value.toString();
        if (def.timeOfDay && !text.trimmed().isEmpty())
            return HoraDigitada(def, text).toString(QStringLiteral("HH:mm"));
        return text;
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: {
        double number = 0;
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return QVariant();
            if (!LeNumero(text, number))
                throw EDatabaseError(
                    QStringLiteral("%1: \"%2\" não é um número válido.").arg(def.Caption(), text));
        } else {
            bool ok = false;
            number = value.toDouble(&ok);
            if (!ok || !std::isfinite(number))
                throw EDatabaseError(
                    QStringLiteral("%1: o valor não é um número válido.").arg(def.Caption()));
        }
        // A value the column cannot hold would be stored wrapped or cut: refused before anything is written.
        if (def.limit > 0 && std::fabs(number) > def.limit)
            throw EDatabaseError(QStringLiteral("%1: o valor %2 excede o limite do campo (%3).")
                                     .arg(def.Caption(), TextoExibicao(number), TextoExibicao(def.limit)));
        if (def.type == QMetaType::Double)
            return def.decimals >= 0 ? Arredondar(number, def.decimals) : number;
        if (number != std::trunc(number))
            throw EDatabaseError(QStringLiteral("%1: informe um número inteiro.").arg(def.Caption()));
        return QVariant(qint64(number));
    }
    case QMetaType::QDate:
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            // A masked date box left empty holds its separators only ("//" or "  /  /    ").
            if (QString(text).remove('/').trimmed().isEmpty())
                return QVariant();
            const QDate date = LeData(text);
            if (!date.isValid())
                throw EDatabaseError(
                    QStringLiteral("%1: \"%2\" não é uma data válida.").arg(def.Caption(), text));
            return date;
        }
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QTime:
        if (value.typeId() == QMetaType::QString)
            return value.toString().trimmed().isEmpty() ? QVariant()
                                                        : QVariant(HoraDigitada(def, value.toString()));
        return value.toTime();
    default:
        return value;
    }
}

QVariant TDataSet::ValueAt(int position, int field) const {
    if (position < 0 || position >= m_view.size() || field < 0 || field >= m_fields.size())
        return {};
    return m_rows[m_view[position]][field];
}

QString TDataSet::TextoEm(int position, const QString& field) const {
    return TextoValor(ValueAt(position, IndiceExistente(field))).trimmed();
}

double TDataSet::NumeroEm(int position, const QString& field) const {
    return numero(ValueAt(position, IndiceExistente(field)));
}

void TDataSet::SetValueAt(int position, int field, const QVariant& value) {
    if (position != m_pos)
        MoveTo(position);
    SetCurrentValue(field, value);
}

void TDataSet::SetValueByUser(int position, int field, const QVariant& value) {
    if (position != m_pos)
        MoveTo(position);
    const QVariant before = CurrentValue(field);
    SetCurrentValue(field, value);
    const QVariant after = CurrentValue(field);
    if (after != before || after.isNull() != before.isNull())
        CountUserEdit();
}

QVariant TDataSet::OldValue(int field) const {
    if (m_state == DataSetState::Edit && field >= 0 && field < m_backup.size())
        return m_backup[field];
    return CurrentValue(field);
}

QVariant TDataSet::CurrentValue(int field) const {
    return ValueAt(m_pos, field);
}

// A value equal to the stored one changes nothing and starts no edit (an editor handing its unchanged text
// back as it closes must not put a record in Edit).
void TDataSet::SetCurrentValue(int field, const QVariant& value) {
    if (field < 0 || field >= m_fields.size())
        return;
    if (!Editing() && IsEmpty())
        throw EDatabaseError(QStringLiteral("%1: não há registro para alterar.").arg(objectName()));
    const QVariant coerced = Coerce(m_fields[field], value);
    const QVariant& stored = m_rows[CurrentRow()][field];
    const bool blank = m_fields[field].type == QMetaType::QString && stored.toString().isEmpty() &&
                       coerced.toString().isEmpty(); // an empty text over a null one
    if (blank || (stored == coerced && stored.isNull() == coerced.isNull()))
        return;
    if (!Editing()) {
        Edit();
        if (!Editing())
            throw EAbort(); // BeforeEdit refused: the record stays as it is
    }
    m_rows[CurrentRow()][field] = coerced;
    NotifyRow(field);
}

void TDataSet::AddPendingWriter(QObject* owner, std::function<void()> write) {
    m_pendingWriters.removeIf([](const auto& writer) { return !writer.first; });
    m_pendingWriters.append({QPointer<QObject>(owner), std::move(write)});
}

// ---- cursor

// Bof/Eof: the set is empty, or First/Last was called, or Prior/Next tried to move past the end. Standing
// on the last record is not Eof, so "for (First(); !Eof(); Next())" visits every record.
void TDataSet::Scrolled(bool bof, bool eof) {
    m_bof = bof || m_view.isEmpty();
    m_eof = eof || m_view.isEmpty();
    if (m_view.isEmpty())
        m_pos = -1;
    if (!m_disabled) {
        emit scrolled(m_pos);
        RunHook(AfterScroll);
    }
}

void TDataSet::First() {
    CheckBrowseMode();
    m_pos = m_view.isEmpty() ? -1 : 0;
    Scrolled(true, false);
}

void TDataSet::Last() {
    CheckBrowseMode();
    m_pos = int(m_view.size()) - 1;
    Scrolled(false, true);
}

void TDataSet::Next() {
    CheckBrowseMode();
    if (m_pos >= m_view.size() - 1) {
        m_eof = true;
        return;
    }
    ++m_pos;
    Scrolled();
}

void TDataSet::Prior() {
    CheckBrowseMode();
    if (m_pos <= 0) {
        m_bof = true;
        return;
    }
    --m_pos;
    Scrolled();
}

void TDataSet::MoveTo(int position) {
    // Views follow the rows while they come and go; that is not the user moving.
    if (m_restructuring || position == m_pos || position < 0 || position >= m_view.size())
        return;
    CheckBrowseMode();
    if (position >= m_view.size())
        return;
    m_pos = position;
    Scrolled();
}

bool TDataSet::Locate(const QString& fields, const QVariantList& values, bool caseInsensitive,
                      bool partialKey) {
    CheckBrowseMode();
    QList<int> indexes;
    for (const QString& name : fields.split(';', Qt::SkipEmptyParts)) {
        const int i = FieldIndex(name.trimmed());
        if (i < 0)
            throw EDatabaseError(QStringLiteral("%1: campo '%2' não encontrado.").arg(objectName(), name));
        indexes << i;
    }
    const auto cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int p = 0; p < m_view.size(); ++p) {
        const QVariantList& row = m_rows[m_view[p]];
        bool match = true;
        for (int k = 0; k < indexes.size() && match; ++k) {
            const QVariant& have = row[indexes[k]];
            const QVariant want = k < values.size() ? values[k] : QVariant();
            if (have.typeId() == QMetaType::QString || want.typeId() == QMetaType::QString) {
                const QString a = have.toString(), b = want.toString();
                match = partialKey ? a.startsWith(b, cs) : a.compare(b, cs) == 0;
            } else {
                match = QVariant::compare(have, Coerce(m_fields[indexes[k]], want)) ==
                        QPartialOrdering::Equivalent;
            }
        }
        if (match) {
            m_pos = p;
            Scrolled();
            return true;
        }
    }
    return false;
}

// ---- editing

void TDataSet::RunHook(const Hook& hook) {
    if (hook)
        hook(*this);
}

void TDataSet::StartInsert(int position) {
    if (!Active())
        throw EDatabaseError(QStringLiteral("%1: conjunto de dados fechado.").arg(objectName()));
    CheckBrowseMode();
    try {
        RunHook(BeforeInsert);
    } catch (const EAbort&) {
        return;
    }
    QVariantList row;
    row.reserve(m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i)
        row << QVariant();
    m_rows.append(row);
    m_insertedRow = int(m_rows.size()) - 1;
    position = std::clamp(position, 0, int(m_view.size()));
    {
        QScopedValueRollback<bool> restructuring(m_restructuring, true);
        if (!m_disabled)
            emit aboutToInsertRow(position);
        m_view.insert(position, m_insertedRow);
        m_pos = position;
        if (!m_disabled)
            emit rowInserted(position);
    }
    SetState(DataSetState::Insert);
    RunHook(OnNewRecord);
    Scrolled();
    RunHook(AfterInsert);
}

void TDataSet::Insert() {
    StartInsert(m_pos < 0 ? 0 : m_pos);
}
void TDataSet::Append() {
    StartInsert(int(m_view.size()));
}

void TDataSet::Edit() {
    if (Editing())
        return;
    if (IsEmpty()) {
        Insert();
        return;
    }
    try {
        RunHook(BeforeEdit);
    } catch (const EAbort&) {
        return;
    }
    m_backup = m_rows[CurrentRow()];
    SetState(DataSetState::Edit);
}

bool TDataSet::Post() {
    if (!Editing())
        return true;
    for (const auto& [owner, write] : std::as_const(m_pendingWriters))
        if (owner)
            write();
    try {
        RunHook(BeforePost);
    } catch (const EAbort&) {
        return false;
    }
    const int row = CurrentRow();
    const bool inserting = m_state == DataSetState::Insert;
    DoPost(m_rows[row], inserting ? QVariantList() : m_backup, inserting);
    m_insertedRow = -1;
    m_backup.clear();
    SetState(DataSetState::Browse);
    PlacePosted(row);
    Scrolled();
    RunHook(AfterPost);
    return true;
}

void TDataSet::Cancel() {
    if (m_state == DataSetState::Insert) {
        // The view first: listeners of the state change read the current row. The inserted row is the
        // last stored one, so removing it moves no other.
        RemoveFromView(int(m_view.indexOf(m_insertedRow)));
        m_rows.removeAt(m_insertedRow);
        m_insertedRow = -1;
        SetState(DataSetState::Browse);
        Scrolled();
    } else if (m_state == DataSetState::Edit) {
        m_rows[CurrentRow()] = m_backup;
        m_backup.clear();
        SetState(DataSetState::Browse);
        NotifyRow();
    }
    RunHook(AfterCancel);
}

bool TDataSet::Delete() {
    if (m_state == DataSetState::Insert) {
        Cancel();
        return true;
    }
    if (m_state == DataSetState::Edit)
        Cancel();
    if (IsEmpty())
        return false;
    try {
        RunHook(BeforeDelete);
    } catch (const EAbort&) {
        return false;
    }
    const int row = CurrentRow();
    DoDelete(m_rows[row]);
    RemoveFromView(m_pos);
    m_rows.removeAt(row);
    for (int& stored : m_view)
        if (stored > row)
            --stored;
    Scrolled();
    RunHook(AfterDelete);
    return true;
}

// Posts a pending edit before the cursor moves; a refused post ends the move (EAbort) and keeps the edit.
void TDataSet::CheckBrowseMode() {
    if (Editing() && !Post())
        throw EAbort();
}

void TDataSet::DoPost(const QVariantList&, const QVariantList&, bool) {}
void TDataSet::DoDelete(const QVariantList&) {}

// ---- view

void TDataSet::SetIndexFieldNames(const QString& fields) {
    CheckBrowseMode();
    m_indexFields = fields.split(';', Qt::SkipEmptyParts);
    UpdateIndexKeys();
    RebuildView(CurrentRow());
    if (!m_disabled)
        emit layoutReset();
    Scrolled();
}

void TDataSet::SetFilter(Filter filter) {
    CheckBrowseMode();
    m_filter = std::move(filter);
    RebuildView(CurrentRow());
    if (m_pos < 0 && !m_view.isEmpty())
        m_pos = 0;
    if (!m_disabled)
        emit layoutReset();
    Scrolled();
}

// A visible row leaves the view; the cursor stays at the same position, or the last one.
void TDataSet::RemoveFromView(int position) {
    if (position < 0 || position >= m_view.size())
        return;
    QScopedValueRollback<bool> restructuring(m_restructuring, true);
    if (!m_disabled)
        emit aboutToRemoveRow(position);
    m_view.removeAt(position);
    m_pos = m_view.isEmpty() ? -1 : std::clamp(m_pos, 0, int(m_view.size()) - 1);
    if (!m_disabled)
        emit rowRemoved(position);
}

// A posted row keeps its place unless the filter now hides it or the sort order puts it elsewhere; either
// costs one pass over the view, never a rebuild, so posting in a large grid is as cheap as in a small one.
void TDataSet::PlacePosted(int row) {
    // The row posted is the current one: no search of the view, which made appending rows quadratic.
    const int from =
        m_pos >= 0 && m_pos < m_view.size() && m_view[m_pos] == row ? m_pos : int(m_view.indexOf(row));
    if (from < 0)
        return;
    if (m_filter && !m_filter(RecordView(this, &m_rows[row]))) {
        RemoveFromView(from);
        return;
    }
    if (m_indexFields.isEmpty())
        return;
    const bool before = from > 0 && ComesBefore(row, m_view[from - 1]);
    const bool after = from < m_view.size() - 1 && ComesBefore(m_view[from + 1], row);
    if (!before && !after)
        return;
    QList<int> rest = m_view;
    rest.removeAt(from);
    const auto at = std::lower_bound(rest.begin(), rest.end(), row,
                                     [this](int stored, int posted) { return ComesBefore(stored, posted); });
    const int to = int(at - rest.begin());
    QScopedValueRollback<bool> restructuring(m_restructuring, true);
    if (!m_disabled)
        emit aboutToMoveRow(from, to);
    m_view = std::move(rest);
    m_view.insert(to, row);
    m_pos = to;
    if (!m_disabled)
        emit rowMoved(from, to);
}

void TDataSet::UpdateIndexKeys() {
    m_indexKeys.clear();
    for (const QString& f : m_indexFields)
        if (const int i = FieldIndex(f.trimmed()); i >= 0)
            m_indexKeys << i;
}

// The sort order of stored rows: the index fields (nulls first), then the load order.
bool TDataSet::ComesBefore(int a, int b) const {
    for (int k : m_indexKeys) {
        const QVariant &x = m_rows[a][k], &y = m_rows[b][k];
        if (x.isNull() != y.isNull())
            return x.isNull();
        const auto order = QVariant::compare(x, y);
        if (order == QPartialOrdering::Less)
            return true;
        if (order == QPartialOrdering::Greater)
            return false;
    }
    return a < b;
}

// keepRow: stored row to keep the cursor on; -1 = first row; -2 = same position as before.
void TDataSet::WriteColumn(int field, const QVariantList& values) {
    if (field < 0 || field >= m_fields.size())
        return;
    CheckBrowseMode();
    const qsizetype rows = std::min(values.size(), m_view.size());
    for (qsizetype i = 0; i < rows; ++i)
        m_rows[m_view[i]][field] = Coerce(m_fields[field], values[i]);
    // The order or the filter may read the field.
    if (m_filter || !m_indexFields.isEmpty())
        RebuildView(CurrentRow());
    if (!m_disabled) {
        emit layoutReset();
        Scrolled(m_bof, m_eof);
    }
}

void TDataSet::RebuildView(int keepRow) {
    const int oldPos = m_pos;
    m_view.clear();
    m_view.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        if (!m_filter || i == m_insertedRow || m_filter(RecordView(this, &m_rows[i])))
            m_view.append(i);
    if (!m_indexFields.isEmpty())
        std::stable_sort(m_view.begin(), m_view.end(), [this](int a, int b) { return ComesBefore(a, b); });
    if (keepRow == -2)
        m_pos = m_view.isEmpty() ? -1 : std::clamp(oldPos, 0, int(m_view.size()) - 1);
    else if (keepRow >= 0)
        m_pos = int(m_view.indexOf(keepRow));
    else
        m_pos = m_view.isEmpty() ? -1 : 0;
    if (m_pos < 0 && !m_view.isEmpty())
        m_pos = 0;
}

void TDataSet::SetState(DataSetState state) {
    if (m_state == state)
        return;
    m_state = state;
    if (!m_disabled)
        emit stateChanged(state);
}

void TDataSet::NotifyRow(int field) {
    if (!m_disabled)
        emit rowChanged(m_pos, field);
}

void TDataSet::DisableControls() {
    ++m_disabled;
}

void TDataSet::EnableControls() {
    if (m_disabled > 0 && --m_disabled == 0) {
        emit layoutReset();
        emit stateChanged(m_state);
        Scrolled(m_bof, m_eof);
    }
}
