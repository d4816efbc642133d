#include "DBControls.h"
#include "DataSet.h"
#include "DataSetModel.h"
#include "HostError.h"
#include "Protecao.h"
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QValidator>
#include <algorithm>

FieldLink::FieldLink(QWidget* control, TDataSet* dataSet, const QString& field)
    : QObject(control), m_control(control), m_dataSet(dataSet), m_field(field) {
    const auto refresh = Protegido([this] { Refresh(); });
    connect(dataSet, &TDataSet::scrolled, this, refresh);
    connect(dataSet, &TDataSet::layoutReset, this, refresh);
    // Another field set by code must not overwrite what the user is typing here and has not written yet:
    // the post would then find nothing to refuse.
    connect(dataSet, &TDataSet::rowChanged, this, Protegido([this](int, int field) {
                if (field < 0 || (m_dataSet && field == m_dataSet->FieldIndex(m_field)))
                    Refresh();
            }));
    connect(dataSet, &TDataSet::stateChanged, this, refresh);
    // Inside Post: a value the field refuses must stop the post.
    dataSet->AddPendingWriter(this, [this] {
        if (m_flush)
            m_flush();
    });
}

void FieldLink::Refresh() {
    if (m_updating || !m_dataSet || !m_control || !m_show)
        return;
    m_updating = true;
    m_show();
    m_updating = false;
}

void FieldLink::Write(const QVariant& value) {
    if (m_updating || !m_dataSet || !m_dataSet->Active() || m_dataSet->FieldIndex(m_field) < 0)
        return;
    if (!m_dataSet->Editing() && m_dataSet->IsEmpty())
        return;
    m_updating = true;
    try {
        m_dataSet->SetValueByUser(m_dataSet->RecNo(), m_dataSet->FieldIndex(m_field), value);
    } catch (const EAbort&) {
        m_updating = false;
        Refresh(); // the edit was refused: show the record as it is
        return;
    } catch (...) {
        // A value the field cannot take: the user corrects it where it was typed.
        m_updating = false;
        if (m_control && m_control->isVisible())
            m_control->setFocus(Qt::OtherFocusReason);
        throw;
    }
    m_updating = false;
}

namespace {
class LimiteDeCaracteres : public QValidator {
public:
    LimiteDeCaracteres(int caracteres, QObject* dono) : QValidator(dono), m_caracteres(caracteres) {}
    State validate(QString& texto, int&) const override {
        return texto.toUcs4().size() <= m_caracteres ? Acceptable : Invalid;
    }

private:
    int m_caracteres;
};
} // namespace

void LimitaCaracteres(QLineEdit* caixa, int caracteres) {
    if (caracteres <= 0 || caracteres >= 32767)
        return;
    caixa->setMaxLength(std::min(2 * caracteres, 32767));
    caixa->setValidator(new LimiteDeCaracteres(caracteres, caixa));
}

namespace {
QVariant current(TDataSet* ds, const QString& field) {
    const int i = ds->FieldIndex(field);
    return i < 0 ? QVariant() : ds->CurrentValue(i);
}

bool isTextField(TDataSet* ds, const QString& field) {
    const int i = ds->FieldIndex(field);
    return i < 0 || ds->FieldDefs()[i].type == QMetaType::QString;
}

QString display(TDataSet* ds, const QString& field) {
    const int i = ds->FieldIndex(field);
    return i < 0 || ds->IsEmpty() ? QString() : TField(ds, i).DisplayText();
}
} // namespace

FieldLink* FieldLink::Edit(QLineEdit* box, TDataSet* dataSet, const QString& field) {
    auto* link = new FieldLink(box, dataSet, field);
    link->m_show = [=] { box->setText(display(dataSet, field)); };
    if (isTextField(dataSet, field)) {
        connect(box, &QLineEdit::textEdited, link,
                Protegido([=](const QString& text) { link->Write(text); }));
    } else {
        // Numbers and dates are taken when complete, not keystroke by keystroke; the first keystroke only
        // starts editing (as in a text box), so a save that takes no focus still finds the typed value.
        connect(box, &QLineEdit::textEdited, link, Protegido([=] {
                    if (!dataSet->Active() || dataSet->Editing() || dataSet->IsEmpty())
                        return;
                    {
                        QScopedValueRollback<bool> keep(link->m_updating, true); // keep what is being typed
                        dataSet->Edit();
                    }
                    if (!dataSet->Editing())
                        link->Refresh(); // the edit was refused
                }));
        link->m_flush = [=] {
            if (!dataSet->Editing() || box->text() == display(dataSet, field))
                return;
            if (box->text() == link->m_refusedText)
                throw EAbort();
            try {
                link->Write(box->text());
            } catch (const EDatabaseError&) {
                link->m_refusedText = box->text();
                throw;
            }
        };
        connect(box, &QLineEdit::editingFinished, link, Protegido([=] {
                    link->m_refusedText.clear();
                    link->m_flush();
                }));
    }
    link->Refresh();
    return link;
}

FieldLink* FieldLink::Combo(QComboBox* box, TDataSet* dataSet, const QString& field,
                            const QStringList& values) {
    auto* link = new FieldLink(box, dataSet, field);
    link->m_show = [=] {
        const QString v = current(dataSet, field).toString();
        const int i = values.isEmpty() ? box->findText(v) : int(values.indexOf(v));
        if (box->isEditable() && i < 0)
            box->setEditText(v);
        else
            box->setCurrentIndex(i);
    };
    auto write = [=](int index) {
        if (index >= 0)
            link->Write(values.isEmpty() ? box->itemText(index) : values.value(index));
    };
    connect(box, &QComboBox::activated, link, Protegido(write));
    if (box->isEditable())
        connect(box, &QComboBox::editTextChanged, link, Protegido([=](const QString& text) {
                    if (values.isEmpty() && box->hasFocus())
                        link->Write(text);
                }));
    link->Refresh();
    return link;
}

FieldLink* FieldLink::Check(QCheckBox* box, TDataSet* dataSet, const QString& field, const QString& checked,
                            const QString& unchecked) {
    auto* link = new FieldLink(box, dataSet, field);
    link->m_show = [=] { box->setChecked(current(dataSet, field).toString() == checked); };
    connect(box, &QCheckBox::clicked, link,
            Protegido([=](bool on) { link->Write(on ? checked : unchecked); }));
    link->Refresh();
    return link;
}

FieldLink* FieldLink::Radio(QButtonGroup* group, TDataSet* dataSet, const QString& field,
                            const QStringList& values) {
    auto* link = new FieldLink(
        group->buttons().isEmpty() ? nullptr : group->buttons().first()->parentWidget(), dataSet, field);
    link->m_show = [=] {
        const int id = int(values.indexOf(current(dataSet, field).toString()));
        if (QAbstractButton* b = group->button(id)) {
            b->setChecked(true);
        } else {
            const bool exclusive = group->exclusive();
            group->setExclusive(false);
            for (QAbstractButton* other : group->buttons())
                other->setChecked(false);
            group->setExclusive(exclusive);
        }
    };
    connect(group, &QButtonGroup::idClicked, link, Protegido([=](int id) { link->Write(values.value(id)); }));
    link->Refresh();
    return link;
}

FieldLink* FieldLink::Memo(QPlainTextEdit* box, TDataSet* dataSet, const QString& field) {
    auto* link = new FieldLink(box, dataSet, field);
    link->m_show = [=] { box->setPlainText(display(dataSet, field)); };
    connect(box, &QPlainTextEdit::textChanged, link, Protegido([=] {
                if (box->hasFocus())
                    link->Write(box->toPlainText());
            }));
    link->Refresh();
    return link;
}

FieldLink* FieldLink::Date(QDateEdit* box, TDataSet* dataSet, const QString& field) {
    auto* link = new FieldLink(box, dataSet, field);
    link->m_show = [=] {
        const QDate d = current(dataSet, field).toDate();
        box->setDate(d.isValid() ? d : box->minimumDate());
    };
    connect(box, &QDateEdit::userDateChanged, link, Protegido([=](QDate d) { link->Write(d); }));
    link->Refresh();
    return link;
}

FieldLink* FieldLink::Label(QLabel* label, TDataSet* dataSet, const QString& field) {
    auto* link = new FieldLink(label, dataSet, field);
    link->m_show = [=] { label->setText(display(dataSet, field)); };
    link->Refresh();
    return link;
}

// ---- grid

QString ItemDaLista(const QStringList& items, const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return typed;
    for (const QString& item : items)
        if (item.compare(text, Qt::CaseInsensitive) == 0)
            return item;
    for (const QString& item : items)
        if (item.startsWith(text, Qt::CaseInsensitive))
            return item;
    return typed;
}

namespace {
// The cell of a column with a pick list opens as a list box that can also be typed in.
class EditorGrade : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const auto* data = qobject_cast<const DataSetModel*>(index.model());
        const QStringList values = data ? data->PickList(index.column()) : QStringList();
        if (values.isEmpty())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(values);
        // Typed text beyond the field's size could never be stored.
        const int size = data->DataSet()->FieldDefs()[data->FieldOfColumn(index.column())].size;
        if (size > 0)
            box->lineEdit()->setMaxLength(size); // the items complete as typed: a validator would refuse them
        return box;
    }

    // The cell's text is selected, so the letter that opened the cell replaces it instead of being cut off
    // by the field's size.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        QStyledItemDelegate::setEditorData(editor, index);
        if (auto* box = qobject_cast<QComboBox*>(editor); box && box->lineEdit())
            box->lineEdit()->selectAll();
    }

    // A typed beginning picks the item it starts ("s" is "Sim"); other text goes as typed.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* box = qobject_cast<QComboBox*>(editor);
        if (!box) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        const auto* data = qobject_cast<const DataSetModel*>(model);
        const QString item = ItemDaLista(data->PickList(index.column()), box->currentText());
        // The field may hold only the item's first letters, as the box's length did while typing.
        const int size = data->DataSet()->FieldDefs()[data->FieldOfColumn(index.column())].size;
        model->setData(index, size > 0 ? item.left(size) : item, Qt::EditRole);
    }

    // The current cell of an editable grid whose whole row is highlighted is drawn on the plain background
    // and framed, so the user sees which cell a key will edit.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const auto* grade = qobject_cast<const QAbstractItemView*>(option.widget);
        if (!grade || grade->editTriggers() == QAbstractItemView::NoEditTriggers ||
            grade->selectionBehavior() != QAbstractItemView::SelectRows || index != grade->currentIndex()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem celula(option);
        celula.state &= ~QStyle::State_Selected;
        painter->fillRect(option.rect, option.palette.brush(QPalette::Base));
        QStyledItemDelegate::paint(painter, celula, index);
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

// Characters a field's values take: a text its size, up to what a description needs; numbers and dates
// as they are shown.
int caracteres(const FieldDef& def) {
    switch (def.type) {
    case QMetaType::QString:
        return def.size > 0 ? std::min(def.size, 50) : 50;
    case QMetaType::Int:
    case QMetaType::LongLong:
        return 6;
    case QMetaType::Double:
        return 10;
    case QMetaType::QDateTime:
        return 16;
    default:
        return 10;
    }
}
} // namespace

TZoDBGrid::TZoDBGrid(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new EditorGrade(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
}

void TZoDBGrid::SetDataSet(TDataSet* dataSet) {
    m_dataSet = dataSet;
    setModel(DataSetModel::Of(dataSet));
    connect(dataSet, &TDataSet::scrolled, this, &TZoDBGrid::FollowDataSet);
    connect(model(), &QAbstractItemModel::modelReset, this, &TZoDBGrid::FollowDataSet);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Protegido([this](const QModelIndex& now) {
                if (m_syncing || !m_dataSet || !now.isValid() || now.row() == m_dataSet->RecNo())
                    return;
                try {
                    m_dataSet->MoveTo(now.row());
                } catch (const EAbort&) {
                    // The pending post was refused: the data set stays, so the grid goes back to it.
                    QMetaObject::invokeMethod(this, &TZoDBGrid::FollowDataSet, Qt::QueuedConnection);
                }
            }));
    FollowDataSet();
}

void TZoDBGrid::SetReadOnly(bool readOnly) {
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setSelectionBehavior(readOnly ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    if (m_dataSet)
        DataSetModel::Of(m_dataSet)->SetReadOnly(readOnly);
}

void TZoDBGrid::DeclaraColunas(const QList<ColunaGrade>& colunas) {
    DataSetModel::Of(m_dataSet)->DeclaraColunas(colunas);
    if (!m_declared)
        connect(model(), &QAbstractItemModel::modelReset, this, &TZoDBGrid::AjustaColunas);
    m_declared = true;
    AjustaColunas();
}

// Text is measured in capitals, as codes and descriptions are typed; the caption always fits.
void TZoDBGrid::AjustaColunas() {
    const auto* data = DataSetModel::Of(m_dataSet);
    QHeaderView* header = horizontalHeader();
    header->setStretchLastSection(false);
    const QFontMetrics cell = fontMetrics();
    const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 4;
    // The style draws captions in bold: measured in regular type, long ones were cut.
    QFont negrito = header->font();
    negrito.setBold(true);
    const QFontMetrics legenda(negrito);
    for (int column = 0; column < data->columnCount(); ++column) {
        const ColunaGrade* declared = data->Declaracao(column);
        const FieldDef& def = m_dataSet->FieldDefs()[data->FieldOfColumn(column)];
        const int chars = declared && declared->largura > 0 ? declared->largura : caracteres(def);
        const int content = chars * cell.horizontalAdvance(def.type == QMetaType::QString ? QLatin1Char('X')
                                                                                          : QLatin1Char('0'));
        header->resizeSection(column, std::max(content, legenda.horizontalAdvance(def.Caption())) + margin);
        header->setSectionResizeMode(column, declared && declared->estica ? QHeaderView::Stretch
                                                                          : QHeaderView::Interactive);
    }
}

void TZoDBGrid::FollowDataSet() {
    if (!m_dataSet || m_syncing)
        return;
    const int row = m_dataSet->RecNo();
    if (row < 0 || row >= model()->rowCount() || row == currentIndex().row())
        return;
    m_syncing = true;
    setCurrentIndex(model()->index(row, std::max(0, currentIndex().column())));
    m_syncing = false;
}

QString TZoDBGrid::SelectedField() const {
    if (!m_dataSet || !currentIndex().isValid())
        return {};
    const int field = DataSetModel::Of(m_dataSet)->FieldOfColumn(currentIndex().column());
    return field < 0 ? QString() : m_dataSet->FieldDefs()[field].name;
}

void TZoDBGrid::SelectField(const QString& field) {
    if (!m_dataSet)
        return;
    const int column = DataSetModel::Of(m_dataSet)->ColumnOfField(field);
    if (column >= 0)
        setCurrentIndex(model()->index(std::max(0, m_dataSet->RecNo()), column));
}

void TZoDBGrid::ConcluiEdicao(bool commit) {
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return;
    if (commit)
        commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TZoDBGrid::commitData(QWidget* editor) {
    if (editor == m_refusedEditor)
        return;
    const int failures = FalhasProtegidas();
    QTableView::commitData(editor);
    if (FalhasProtegidas() != failures)
        m_refusedEditor = editor;
}

void TZoDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool onward =
        hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
    if (!onward || !OnKeyDown) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    QKeyEvent tab(QEvent::KeyPress, next ? Qt::Key_Tab : Qt::Key_Backtab, Qt::NoModifier);
    if (!OfferKey(&tab)) // used by the screen (a refused row keeps its cell): no move
        focusNextPrevChild(next);
}

bool TZoDBGrid::Editable(int column) const {
    const auto* data = qobject_cast<const DataSetModel*>(model());
    return !isColumnHidden(column) && editTriggers() != NoEditTriggers && data &&
           !data->ReadOnlyColumn(column);
}

QModelIndex TZoDBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if ((action != MoveNext && action != MovePrevious) || editTriggers() == NoEditTriggers || !model())
        return QTableView::moveCursor(action, modifiers);
    const int rows = model()->rowCount(), columns = model()->columnCount();
    const int step = action == MoveNext ? 1 : -1;
    int row = currentIndex().isValid() ? currentIndex().row() : 0;
    int column = currentIndex().isValid() ? currentIndex().column() : -step;
    for (;;) {
        column += step;
        if (column >= columns) {
            column = 0;
            ++row;
        } else if (column < 0) {
            column = columns - 1;
            --row;
        }
        if (row < 0 || row >= rows)
            return {}; // past the last cell: the focus leaves the grid
        if (Editable(column))
            return model()->index(row, column);
    }
}

// The next control is looked for inside the screen the grid belongs to: a child window of the main window
// is its own world, and Tab must not carry the user into another one.
bool TZoDBGrid::focusNextPrevChild(bool next) {
    if (tabKeyNavigation() && state() != EditingState) {
        const QModelIndex target = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
        if (target.isValid() && editTriggers() != NoEditTriggers) {
            setCurrentIndex(target);
            return true;
        }
    }
    QWidget* screen = this;
    while (screen->parentWidget() && !screen->parentWidget()->inherits("QMdiSubWindow") &&
           !screen->isWindow())
        screen = screen->parentWidget();
    QWidget* candidate = this;
    do {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
    } while (candidate && candidate != this &&
             (!screen->isAncestorOf(candidate) || !candidate->isEnabled() || !candidate->isVisible() ||
              !(candidate->focusPolicy() & Qt::TabFocus) || isAncestorOf(candidate)));
    if (candidate && candidate != this)
        candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

// Keys that act on the row or the screen rather than on the text of a cell: Tab, Enter, arrows and pages,
// Insert and Delete, Esc, F-keys, and anything held with Ctrl or Alt. Shift, AltGr, Caps Lock and dead keys
// only shape the next character and never end what is being typed.
bool TeclaDeComando(const QKeyEvent* key) {
    const int k = key->key();
    if (k == Qt::Key_Shift || k == Qt::Key_Control || k == Qt::Key_Alt || k == Qt::Key_AltGr ||
        k == Qt::Key_Meta || k == Qt::Key_CapsLock || k == Qt::Key_NumLock || k == Qt::Key_ScrollLock ||
        k == Qt::Key_Super_L || k == Qt::Key_Super_R || k == Qt::Key_Mode_switch || k == Qt::Key_Multi_key ||
        (k >= Qt::Key_Dead_Grave && k <= Qt::Key_Dead_Longsolidusoverlay) || k == 0 || k == Qt::Key_unknown)
        return false;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return true;
    switch (k) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_Escape:
        return true;
    default:
        return k >= Qt::Key_F1 && k <= Qt::Key_F35;
    }
}

// The screen's key handler runs protected: a failure there is shown and the key counts as used. What is
// being typed in the cell is taken first, so that a key that moves or saves finds it in the row; a key that
// only shapes a character (Shift, a dead key) reaches neither.
bool TZoDBGrid::OfferKey(QKeyEvent* key) {
    if (key->text().isEmpty() && !TeclaDeComando(key))
        return false;
    if (OnKeyDown && key->text().isEmpty())
        ConcluiEdicao(true);
    bool used = false;
    if (OnKeyDown && !ExecutaProtegido([&] { used = OnKeyDown(key); }))
        return true;
    return used;
}

bool TZoDBGrid::event(QEvent* e) {
    // Tab and Backtab never reach keyPressEvent otherwise: the focus chain takes them first.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && OfferKey(key))
            return true;
    }
    return QTableView::event(e);
}

void TZoDBGrid::inputMethodEvent(QInputMethodEvent* e) {
    const QModelIndex cell = currentIndex();
    if (state() != EditingState && !e->commitString().isEmpty() && (editTriggers() & AnyKeyPressed) &&
        cell.isValid() && edit(cell, AnyKeyPressed, e)) {
        if (QWidget* editor = indexWidget(cell)) {
            QApplication::sendEvent(editor->focusProxy() ? editor->focusProxy() : editor, e);
            return;
        }
    }
    QTableView::inputMethodEvent(e);
}

void TZoDBGrid::keyPressEvent(QKeyEvent* e) {
    const bool tab = e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab; // already offered in event()
    if (!tab && OfferKey(e))
        return;
    QTableView::keyPressEvent(e);
}
