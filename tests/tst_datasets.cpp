// The in-memory data set, its table model and the data-aware controls every data-entry screen stands on.
#include "DBControls.h"
#include "DataSetModel.h"
#include "HostError.h"
#include "TClientDataSet.h"
#include <QAbstractItemModelTester>
#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {
// CODIGO int, NOME text, PRECO number, ATIVO "S"/"N", TIPO "P"/"T", DATA; one row per name, codes from 1.
void fill(TClientDataSet& ds, const QStringList& names) {
    ds.AddField("CODIGO", QMetaType::Int)
        .AddField("NOME", QMetaType::QString, 30, "Nome")
        .AddField("PRECO", QMetaType::Double)
        .AddField("ATIVO", QMetaType::QString, 1)
        .AddField("TIPO", QMetaType::QString, 1)
        .AddField("DATA", QMetaType::QDate);
    ds.CreateDataSet();
    for (int i = 0; i < names.size(); ++i) {
        ds.Append();
        ds.FieldByName("CODIGO") = i + 1;
        ds.FieldByName("NOME") = names[i];
        ds.FieldByName("ATIVO") = "S";
        ds.Post();
    }
    ds.First();
}
QStringList column(TDataSet& ds, const QString& field) {
    QStringList out;
    for (int p = 0; p < ds.RecordCount(); ++p)
        out << ds.ValueAt(p, ds.FieldIndex(field)).toString();
    return out;
}
const auto refuse = [](TDataSet&) { throw EAbort(); };
} // namespace

class TstDataSets : public QObject {
    Q_OBJECT
private slots:
    void cancelLeavesRowsAndCursorAsBefore();
    void hooksCancelAndSetDefaults();
    void navigationPostsPendingEditOrStays();
    void indexOrdersRowsAndFollowsPostedRecord();
    void filterHidesRowsFromLocate();
    void valuesAreCoercedToFieldTypes();
    void typedNumbersAgainstColumns_data();
    void typedNumbersAgainstColumns();
    void modelFollowsDataSet();
    void fieldLinksWriteAndFollow();
    void gridAndDataSetCursorsFollowEachOther();
    void gridKeepsItsCellAcrossRowChanges();
};

void TstDataSets::cancelLeavesRowsAndCursorAsBefore() {
    TClientDataSet ds;
    fill(ds, {"ANA", "BIA", "CAIO"});
    const QStringList before = column(ds, "NOME");
    ds.MoveTo(1);
    ds.Append();
    QCOMPARE(ds.State(), DataSetState::Insert);
    QCOMPARE(ds.RecordCount(), 4);
    QCOMPARE(ds.RecNo(), 3);
    QVERIFY(ds.FieldByName("NOME").IsNull());
    ds.FieldByName("NOME") = "DAVI";
    ds.Cancel();
    QCOMPARE(ds.State(), DataSetState::Browse);
    QCOMPARE(column(ds, "NOME"), before);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("CAIO")); // the last record, where Append went

    ds.MoveTo(1);
    ds.Insert(); // before BIA
    QCOMPARE(ds.RecNo(), 1);
    QCOMPARE(ds.ValueAt(2, 1).toString(), QString("BIA"));
    ds.Cancel();
    QCOMPARE(column(ds, "NOME"), before);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("BIA"));

    ds.Edit();
    ds.FieldByName("NOME") = "BEATRIZ";
    ds.FieldByName("PRECO") = 3;
    ds.Cancel();
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("BIA"));
    QVERIFY(ds.FieldByName("PRECO").Value().isNull());
    QCOMPARE(ds.RecNo(), 1);

    ds.EmptyDataSet();
    QVERIFY(ds.IsEmpty());
    QCOMPARE(ds.RecNo(), -1);
    QVERIFY(ds.Eof() && ds.Bof());
    ds.Insert();
    ds.Cancel();
    QVERIFY(ds.IsEmpty());
    QCOMPARE(ds.RecNo(), -1);
    ds.Append();
    ds.FieldByName("NOME") = "X";
    ds.EmptyDataSet(); // while inserting
    QCOMPARE(ds.State(), DataSetState::Browse);
    QCOMPARE(ds.RecordCount(), 0);
}

void TstDataSets::hooksCancelAndSetDefaults() {
    TClientDataSet ds;
    fill(ds, {"ANA", "BIA"});
    QStringList calls;
    ds.OnNewRecord = [&](TDataSet& d) {
        calls << "new";
        d.FieldByName("ATIVO") = "S";
    };
    ds.AfterInsert = [&](TDataSet& d) { calls << "after:" + d.FieldByName("ATIVO").AsString(); };
    ds.BeforePost = [](TDataSet& d) {
        if (d.FieldByName("PRECO").IsNull())
            throw EAbort();
    };
    ds.Append();
    QCOMPARE(calls, QStringList({"new", "after:S"}));
    ds.FieldByName("NOME") = "CAIO";
    QVERIFY(!ds.Post());
    QCOMPARE(ds.State(), DataSetState::Insert);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("CAIO"));
    QCOMPARE(ds.RecordCount(), 3);
    ds.FieldByName("PRECO") = 2.5;
    QVERIFY(ds.Post());
    QCOMPARE(ds.State(), DataSetState::Browse);
    QCOMPARE(column(ds, "NOME"), QStringList({"ANA", "BIA", "CAIO"}));

    ds.BeforeDelete = refuse;
    QVERIFY(!ds.Delete());
    QCOMPARE(ds.RecordCount(), 3);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("CAIO"));
    ds.BeforeDelete = nullptr;
    ds.First();
    QVERIFY(ds.Delete());
    QCOMPARE(column(ds, "NOME"), QStringList({"BIA", "CAIO"}));
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("BIA"));

    ds.BeforeInsert = refuse;
    ds.Append();
    QCOMPARE(ds.State(), DataSetState::Browse);
    QCOMPARE(ds.RecordCount(), 2);

    ds.BeforeEdit = refuse; // a refused edit must not change the record behind the user's back
    try {
        ds.FieldByName("NOME") = "OUTRO";
    } catch (const EAbort&) {
    }
    QCOMPARE(ds.State(), DataSetState::Browse);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("BIA"));
}

void TstDataSets::navigationPostsPendingEditOrStays() {
    TClientDataSet ds;
    fill(ds, {"ANA", "BIA", "CAIO"});
    int posted = 0;
    ds.AfterPost = [&](TDataSet&) { ++posted; };
    ds.FieldByName("NOME") = "ANITA"; // puts the data set into Edit
    QCOMPARE(ds.State(), DataSetState::Edit);
    ds.Next();
    QCOMPARE(ds.State(), DataSetState::Browse);
    QCOMPARE(posted, 1);
    QCOMPARE(column(ds, "NOME"), QStringList({"ANITA", "BIA", "CAIO"}));

    QStringList seen;
    for (ds.First(); !ds.Eof(); ds.Next())
        seen << ds.FieldByName("NOME").AsString();
    QCOMPARE(seen, QStringList({"ANITA", "BIA", "CAIO"}));
    for (ds.Last(); !ds.Bof(); ds.Prior())
        seen << ds.FieldByName("NOME").AsString();
    QCOMPARE(seen.mid(3), QStringList({"CAIO", "BIA", "ANITA"}));
    QCOMPARE(ds.RecNo(), 0);

    // A refused post keeps the user on the record being edited.
    ds.BeforePost = refuse;
    ds.First();
    ds.FieldByName("NOME") = "ANINHA";
    try {
        ds.Next();
    } catch (const EAbort&) {
    }
    QCOMPARE(ds.RecNo(), 0);
    QCOMPARE(ds.State(), DataSetState::Edit);
    ds.Cancel();
    QCOMPARE(column(ds, "NOME"), QStringList({"ANITA", "BIA", "CAIO"}));
}

void TstDataSets::indexOrdersRowsAndFollowsPostedRecord() {
    TClientDataSet ds;
    fill(ds, {"B", "A", "B", "A", "B"});
    const QVariantList precos{10, 9, QVariant(), 100, 2.5};
    for (int p = 0; p < precos.size(); ++p)
        ds.SetValueAt(p, 2, precos[p]);
    ds.Post();
    ds.SetIndexFieldNames("nome;preco");
    QCOMPARE(column(ds, "CODIGO"), QStringList({"2", "4", "3", "5", "1"})); // A9 A100 B- B2.5 B10
    ds.Locate("CODIGO", {3});
    ds.FieldByName("PRECO") = "50";
    QVERIFY(ds.Post());
    QCOMPARE(column(ds, "CODIGO"), QStringList({"2", "4", "5", "1", "3"}));
    QCOMPARE(ds.RecNo(), 4);
    QCOMPARE(ds.FieldByName("CODIGO").AsInteger(), 3);
    ds.Append();
    ds.FieldByName("NOME") = "A";
    ds.FieldByName("PRECO") = 1;
    ds.Post();
    QCOMPARE(ds.RecNo(), 0);
    QCOMPARE(ds.FieldByName("PRECO").AsFloat(), 1.0);
}

void TstDataSets::filterHidesRowsFromLocate() {
    TClientDataSet ds;
    fill(ds, {"João", "Maria", "JOANA", "Pedro"});
    ds.SetFilter([](const RecordView& r) { return r.value("NOME").toString() != "João"; });
    QCOMPARE(column(ds, "NOME"), QStringList({"Maria", "JOANA", "Pedro"}));
    ds.Last();
    QVERIFY(!ds.Locate("NOME", {"joão"}, true, false)); // hidden
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("Pedro"));
    QVERIFY(!ds.Locate("NOME", {"jo"}, false, true)); // case-sensitive
    QVERIFY(ds.Locate("NOME", {"jo"}, true, true));
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("JOANA"));
    QVERIFY(!ds.Locate("NOME", {"jo"}, true, false)); // whole value
    QVERIFY(ds.Locate("CODIGO;NOME", {4, "pedro"}, true));
    QCOMPARE(ds.RecNo(), 2);
    ds.ClearFilter();
    QCOMPARE(ds.RecordCount(), 4);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("Pedro"));
    QVERIFY(ds.Locate("NOME", {"JOÃO"}, true));
    QCOMPARE(ds.RecNo(), 0);
}

void TstDataSets::valuesAreCoercedToFieldTypes() {
    TClientDataSet ds;
    fill(ds, {});
    ds.Append();
    ds.FieldByName("PRECO") = "12,5";
    QCOMPARE(ds.FieldByName("PRECO").Value(), QVariant(12.5));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.FieldByName("PRECO") = "12,5x");
    QCOMPARE(ds.FieldByName("PRECO").AsFloat(), 12.5);
    ds.FieldByName("CODIGO") = "7";
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.FieldByName("CODIGO") = "7,6"); // not a whole number
    QCOMPARE(ds.FieldByName("CODIGO").AsInteger(), 7);
    ds.FieldByName("PRECO") = " ";
    QVERIFY(ds.FieldByName("PRECO").Value().isNull());
    ds.FieldByName("NOME") = 2.5;
    QCOMPARE(ds.FieldByName("NOME").Value(), QVariant(QString("2.5")));
    ds.FieldByName("DATA") = "25/12/2024";
    QCOMPARE(ds.FieldByName("DATA").AsDate(), QDate(2024, 12, 25));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.FieldByName("DATA") = "31/02/2024");
    QCOMPARE(ds.FieldByName("DATA").AsString(), QString("25/12/2024"));
    ds.FieldByName("DATA") = "//";
    QVERIFY(ds.FieldByName("DATA").Value().isNull());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.FieldByName("NAOEXISTE"));
}

void TstDataSets::modelFollowsDataSet() {
    TClientDataSet ds;
    fill(ds, {"ANA", "BIA"});
    DataSetModel* model = DataSetModel::Of(&ds);
    new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Nome"));
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    ds.Append();
    QCOMPARE(model->rowCount(), 3);
    ds.FieldByName("NOME") = "CAIO";
    QVERIFY(!changed.isEmpty());
    QCOMPARE(model->index(2, 1).data().toString(), QString("CAIO"));
    ds.Post();
    QVERIFY(model->setData(model->index(0, 2), "1,5", Qt::EditRole)); // a grid cell edit
    QCOMPARE(ds.RecNo(), 0);
    QCOMPARE(ds.State(), DataSetState::Edit);
    QCOMPARE(ds.Fields(ds.FieldIndex("PRECO")).AsFloat(), 1.5);
    // The cell editor starts from the text the cell shows.
    QCOMPARE(model->index(0, 2).data(Qt::EditRole).toString(), QString("1,5"));
    ds.Cancel();
    QVERIFY(model->index(0, 2).data(Qt::EditRole).isNull());
    ds.Last();
    ds.Delete();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(1, 1).data().toString(), QString("BIA"));
    ds.EmptyDataSet();
    QCOMPARE(model->rowCount(), 0);
}

void TstDataSets::fieldLinksWriteAndFollow() {
    TClientDataSet ds;
    fill(ds, {"ANA", "BIA"});
    ds.First();
    QWidget w;
    auto* nome = new QLineEdit(&w);
    auto* preco = new QLineEdit(&w);
    auto* ativo = new QCheckBox(&w);
    auto* group = new QButtonGroup(&w);
    auto* layout = new QVBoxLayout(&w);
    for (QWidget* c : std::initializer_list<QWidget*>{nome, preco, ativo})
        layout->addWidget(c);
    for (int id = 0; id < 2; ++id) {
        auto* b = new QRadioButton(&w);
        group->addButton(b, id);
        layout->addWidget(b);
    }
    FieldLink::Edit(nome, &ds, "NOME");
    FieldLink::Edit(preco, &ds, "PRECO");
    FieldLink::Check(ativo, &ds, "ATIVO");
    FieldLink::Radio(group, &ds, "TIPO", {"P", "T"});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(nome->text(), QString("ANA"));
    QVERIFY(ativo->isChecked());

    nome->setFocus();
    nome->selectAll();
    QTest::keyClicks(nome, "ANITA");
    QCOMPARE(ds.State(), DataSetState::Edit);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("ANITA"));
    ds.Cancel();
    QCOMPARE(nome->text(), QString("ANA"));

    // Typing a number starts editing, but the number is taken when complete, not keystroke by keystroke.
    preco->setFocus();
    QTest::keyClicks(preco, "12,5");
    QCOMPARE(ds.State(), DataSetState::Edit);
    QVERIFY(ds.FieldByName("PRECO").IsNull());
    QTest::keyClick(preco, Qt::Key_Return);
    QCOMPARE(ds.FieldByName("PRECO").AsFloat(), 12.5);
    QVERIFY(ds.Post());
    QCOMPARE(preco->text(), QString("12,5")); // as the grid shows it
    preco->selectAll();
    QTest::keyClicks(preco, "7");
    QVERIFY(ds.Post()); // a save button that takes no focus: Post takes the pending number
    QCOMPARE(ds.FieldByName("PRECO").AsFloat(), 7.0);

    ds.BeforeEdit = refuse; // a refused edit shows the record as it is
    nome->selectAll();
    QTest::keyClicks(nome, "X");
    QCOMPARE(ds.State(), DataSetState::Browse);
    QCOMPARE(nome->text(), QString("ANA"));
    ds.BeforeEdit = nullptr;

    ativo->click();
    QCOMPARE(ds.FieldByName("ATIVO").AsString(), QString("N"));
    group->button(1)->click();
    QCOMPARE(ds.FieldByName("TIPO").AsString(), QString("T"));
    ds.Next(); // posts, then the controls show the next record
    QCOMPARE(nome->text(), QString("BIA"));
    QVERIFY(preco->text().isEmpty());
    QVERIFY(ativo->isChecked());
    QVERIFY(!group->checkedButton());
    ds.Prior();
    QCOMPARE(nome->text(), QString("ANA"));
    QCOMPARE(preco->text(), QString("7"));
    QVERIFY(!ativo->isChecked());
    QCOMPARE(group->checkedId(), 1);
}

void TstDataSets::gridAndDataSetCursorsFollowEachOther() {
    TClientDataSet ds;
    fill(ds, {"ANA", "BIA", "CAIO"});
    TZoDBGrid grid;
    grid.SetDataSet(&ds);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(2, 1));
    QCOMPARE(ds.RecNo(), 2);
    ds.First();
    QCOMPARE(grid.currentIndex().row(), 0);
    ds.Append();
    ds.FieldByName("NOME") = "DAVI";
    ds.Post();
    QCOMPARE(grid.currentIndex().row(), 3);
    QCOMPARE(grid.SelectedField(), QString("NOME"));

    QList<int> keys;
    bool swallow = true;
    grid.OnKeyDown = [&](QKeyEvent* e) {
        keys << e->key();
        return swallow;
    };
    grid.SelectField("CODIGO");
    QTest::keyClick(&grid, Qt::Key_Tab);
    QTest::keyClick(&grid, Qt::Key_F4);
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(keys, QList<int>({Qt::Key_Tab, Qt::Key_F4, Qt::Key_Up}));
    QCOMPARE(grid.SelectedField(), QString("CODIGO"));
    QCOMPARE(ds.RecNo(), 3);
    swallow = false;
    QTest::keyClick(&grid, Qt::Key_Tab);
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(keys.size(), 5);
    QCOMPARE(grid.SelectedField(), QString("NOME"));
    QCOMPARE(ds.RecNo(), 2);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("CAIO"));

    ds.BeforePost = refuse; // leaving a record whose post is refused keeps both cursors on it
    ds.FieldByName("NOME") = "CAIA";
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(ds.RecNo(), 2);
    QCOMPARE(ds.State(), DataSetState::Edit);
    QTRY_COMPARE(grid.currentIndex().row(), 2);
}

// Posts, inserts, deletes and moves are told as row changes, never as a reset: the grid keeps its current
// cell and scroll position, and the model stays consistent (checked by Qt's model tester).
void TstDataSets::gridKeepsItsCellAcrossRowChanges() {
    TClientDataSet ds;
    QStringList names;
    for (int i = 0; i < 300; ++i)
        names << QStringLiteral("N%1").arg(i, 3, 10, QChar('0'));
    fill(ds, names);
    TZoDBGrid grid;
    grid.SetDataSet(&ds);
    new QAbstractItemModelTester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);
    grid.resize(400, 200);
    grid.show();
    ds.MoveTo(150);
    grid.SelectField("PRECO");
    grid.scrollTo(grid.currentIndex());
    const int scroll = grid.verticalScrollBar()->value();
    QVERIFY(scroll > 0);

    ds.Edit();
    ds.FieldByName("PRECO") = 9.5;
    QVERIFY(ds.Post());
    QCOMPARE(grid.verticalScrollBar()->value(), scroll);
    ds.Insert();
    ds.FieldByName("NOME") = "NOVO";
    QVERIFY(ds.Post());
    ds.Delete();
    QCOMPARE(resets.count(), 0);
    QCOMPARE(grid.SelectedField(), QString("PRECO"));
    QCOMPARE(grid.currentIndex().row(), ds.RecNo());
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("N150"));

    // In a sorted set a post moves its row to its place, and the cursor goes with it.
    ds.SetIndexFieldNames("NOME");
    QCOMPARE(resets.count(), 1); // a new order is a reset
    ds.Locate("NOME", {"N010"});
    ds.Edit();
    ds.FieldByName("NOME") = "N200X";
    QVERIFY(ds.Post());
    QCOMPARE(resets.count(), 1);
    QCOMPARE(ds.FieldByName("NOME").AsString(), QString("N200X"));
    QCOMPARE(ds.RecNo(), 200);
    QCOMPARE(grid.currentIndex().row(), 200);
    QCOMPARE(grid.model()->index(200, 1).data().toString(), QString("N200X"));
    QCOMPARE(grid.model()->index(199, 1).data().toString(), QString("N200"));
    QCOMPARE(column(ds, "NOME"), [&] {
        QStringList sorted = column(ds, "NOME");
        sorted.sort();
        return sorted;
    }());

    // A posted row the filter no longer takes leaves the view.
    ds.SetFilter([](const RecordView& r) { return !r.value("NOME").toString().startsWith("X"); });
    const int before = ds.RecordCount();
    ds.First();
    ds.Edit();
    ds.FieldByName("NOME") = "XFORA";
    QVERIFY(ds.Post());
    QCOMPARE(ds.RecordCount(), before - 1);
    QCOMPARE(grid.model()->rowCount(), before - 1);
}

void TstDataSets::typedNumbersAgainstColumns_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QVariant>("gravado"); // invalid: refused, the field keeps its value
    const QVariant refused;
    QTest::newRow("milhar em double") << "PESO"
                                      << "1.400" << QVariant(1400.0);
    QTest::newRow("milhar e decimal") << "PESO"
                                      << "1.400,5" << QVariant(1400.5);
    QTest::newRow("decimal") << "PESO"
                             << "1,4" << QVariant(1.4);
    QTest::newRow("ponto decimal") << "PESO"
                                   << "1.40" << refused;
    QTest::newRow("vazio") << "PESO"
                           << "" << QVariant(QMetaType::fromType<double>());
    QTest::newRow("letras") << "PESO"
                            << "abc" << refused;
    QTest::newRow("nan") << "PESO"
                         << "nan" << refused;
    QTest::newRow("inf") << "PESO"
                         << "inf" << refused;
    QTest::newRow("expoente") << "PESO"
                              << "1e300" << refused;
    QTest::newRow("20 digitos em numeric") << "VALOR"
                                           << "12345678901234567890" << refused;
    QTest::newRow("numeric no limite") << "VALOR"
                                       << "9.999.999.999.999.999,99" << QVariant(1e16 - 0.01);
    QTest::newRow("numeric arredonda") << "VALOR"
                                       << "1,005" << QVariant(1.01);
    QTest::newRow("inteiro") << "MESES"
                             << "120" << QVariant(qlonglong(120));
    QTest::newRow("inteiro grande") << "MESES"
                                    << "99999999999" << refused;
    QTest::newRow("inteiro com decimais") << "MESES"
                                          << "1,5" << refused;
    QTest::newRow("inteiro negativo") << "MESES"
                                      << "-3" << QVariant(qlonglong(-3));
}

// One parser for every box and cell: numbers as the screens show them, or refused before anything is
// stored, with the field named; a value the column cannot hold is refused, never wrapped.
void TstDataSets::typedNumbersAgainstColumns() {
    QFETCH(QString, campo);
    QFETCH(QString, texto);
    QFETCH(QVariant, gravado);
    TClientDataSet ds;
    ds.AddField("PESO", QMetaType::Double, 0, "Peso")
        .AddField("VALOR", QMetaType::Double, 0, "Valor de Compra")
        .AddField("MESES", QMetaType::Int, 0, "Meses Deprec.");
    ds.CreateDataSet();
    ds.FieldDefByName("VALOR").decimals = 2; // as a NUMERIC(18,2) column reports itself
    ds.FieldDefByName("VALOR").limit = 1e16 - 0.01;
    ds.Append();
    ds.FieldByName(campo) = 7;
    if (!gravado.isValid()) {
        try {
            ds.FieldByName(campo) = texto;
            QFAIL("the text was taken");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.message().startsWith(ds.FieldDefByName(campo).displayLabel + ":"),
                     qPrintable(e.message()));
        }
        QCOMPARE(ds.FieldByName(campo).AsFloat(), 7.0);
        return;
    }
    ds.FieldByName(campo) = texto;
    if (gravado.isNull())
        QVERIFY(ds.FieldByName(campo).Value().isNull());
    else if (gravado.typeId() == QMetaType::Double)
        QCOMPARE(ds.FieldByName(campo).AsFloat(), gravado.toDouble());
    else
        QCOMPARE(ds.FieldByName(campo).Value(), gravado);
}

QTEST_MAIN(TstDataSets)
#include "tst_datasets.moc"
