#pragma once
#include "HostExport.h"
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <functional>

#include "ColunaGrade.h"
#include "DataSet.h"
class QLineEdit;
class QComboBox;
class QCheckBox;
class QButtonGroup;
class QPlainTextEdit;
class QDateEdit;
class QLabel;
class QKeyEvent;

// A box that takes at most `caracteres` characters as the database counts them: one for a letter outside
// the basic plane ("𝄞", an emoji) too, which Qt's own length limit counts as two. More is refused as typed.
KELMHOST_EXPORT void LimitaCaracteres(QLineEdit* caixa, int caracteres);

// Binds one control to one field of a data set: the control shows the current record, and what the user
// enters goes into the field (putting the data set into Edit when it was browsing).
class KELMHOST_EXPORT FieldLink : public QObject {
    Q_OBJECT
public:
    static FieldLink* Edit(QLineEdit* box, TDataSet* dataSet, const QString& field);
    // values: what each item stores; empty = the item's text.
    static FieldLink* Combo(QComboBox* box, TDataSet* dataSet, const QString& field,
                            const QStringList& values = {});
    static FieldLink* Check(QCheckBox* box, TDataSet* dataSet, const QString& field,
                            const QString& checked = "S", const QString& unchecked = "N");
    // values: what each button (by its id in the group) stores.
    static FieldLink* Radio(QButtonGroup* group, TDataSet* dataSet, const QString& field,
                            const QStringList& values);
    static FieldLink* Memo(QPlainTextEdit* box, TDataSet* dataSet, const QString& field);
    static FieldLink* Date(QDateEdit* box, TDataSet* dataSet, const QString& field);
    static FieldLink* Label(QLabel* label, TDataSet* dataSet, const QString& field);

    void Refresh();

private:
    FieldLink(QWidget* control, TDataSet* dataSet, const QString& field);
    void Write(const QVariant& value);
    QPointer<QWidget> m_control;
    QPointer<TDataSet> m_dataSet;
    QString m_field;
    std::function<void()> m_show;
    std::function<void()> m_flush;
    bool m_updating = false;
    QString m_refusedText; // told already as the box was left: a save refuses it without telling again
};

// The item of a pick list that the typed text names: the item itself in any case, else the first that starts
// with it; the text as typed when none does.
KELMHOST_EXPORT QString ItemDaLista(const QStringList& items, const QString& typed);

// True for a key that acts on a grid's row or on the screen (Tab, Enter, arrows, F-keys, Esc, Ctrl or Alt
// combinations); false for one that only shapes the next character (Shift, AltGr, Caps Lock, dead keys).
KELMHOST_EXPORT bool TeclaDeComando(const QKeyEvent* key);

// A grid over a data set; the row cursor of the grid and of the data set follow each other. Key handlers
// see every key, Tab included, before the grid does. In an editable grid the current cell stands out from
// its highlighted row.
class KELMHOST_EXPORT TZoDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TZoDBGrid(QWidget* parent = nullptr);
    void SetDataSet(TDataSet* dataSet);
    TDataSet* DataSet() const { return m_dataSet; }
    void SetReadOnly(bool readOnly);
    // The grid's columns, after SetDataSet: only these are shown, in this order, each as wide as declared
    // (the caption always fits), also after every reload of the rows.
    void DeclaraColunas(const QList<ColunaGrade>& colunas);
    QString SelectedField() const; // field of the current column
    void SelectField(const QString& field);
    // Ends the editing of the current cell: the typed text goes into the row (commit) or is dropped.
    void ConcluiEdicao(bool commit);

    // Return true when the key was handled; runs protected.
    std::function<bool(QKeyEvent*)> OnKeyDown;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // An accented letter typed on a cell that is not being edited opens its editor as any letter does, and
    // goes into it (composed letters arrive as input-method text, not as keys).
    void inputMethodEvent(QInputMethodEvent* e) override;
    // Tab, Backtab and Enter go from one editable cell to the next, over read-only columns; past the last
    // one the focus goes on to the next control of the same screen, never of another.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool focusNextPrevChild(bool next) override;
    // Qt commits an editor again as it loses the focus; a text once refused is not offered twice.
    void commitData(QWidget* editor) override;
    // Tab out of a cell editor reaches the screen's key handler too (its row checks run), as Tab does
    // outside an editor.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void FollowDataSet();
    void AjustaColunas();
    bool OfferKey(QKeyEvent* key);
    bool Editable(int column) const;
    QPointer<TDataSet> m_dataSet;
    QPointer<QWidget> m_refusedEditor;
    bool m_syncing = false;
    bool m_declared = false;
};
