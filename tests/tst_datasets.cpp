// The in-memory data set, its table model and the data-aware controls every data-entry screen stands on.
#include "ColunaGrade.h"
#include "DBControls.h"
#include "DataSetModel.h"
#include "HostError.h"
#include "TClientDataSet.h"
#include <QAbstractItemModelTester>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {
// CODIGO int, NOME text, PRECO number, ATIVO "S"/"N", TIPO "P"/"T"; one row per name, codes from 1.
void fill(TClientDataSet& ds, const QStringList& names) {
    ds.AddField("CODIGO", QMetaType::Int)
        .AddField("NOME", QMetaType::QString, 30, "Nome")
        .AddField("PRECO", QMetaType::Double)
        .AddField("ATIVO", QMetaType::QString, 1)
        .AddField("TIPO", QMetaType::QString, 1);
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
QString nome(TDataSet& ds) {
    return ds.FieldByName("NOME").AsString();
}
const auto refuse = [](TDataSet&) { throw EAbort(); };
} // namespace

class TstDataSets : public QObject {
    Q_OBJECT
private slots:
    void cancelInsertDeleteKeepTheCursor() {
        TClientDataSet ds;
        fill(ds, {"ANA", "BIA", "CAIO"});
        const QStringList before = column(ds, "NOME");
        ds.MoveTo(1);
        ds.Append();
        QCOMPARE(ds.RecNo(), 3);
        ds.FieldByName("NOME") = "DAVI";
        ds.Cancel();
        QCOMPARE(column(ds, "NOME"), before);
        QCOMPARE(nome(ds), QString("CAIO")); // the last record, where Append went
        ds.MoveTo(1);
        ds.Insert(); // before BIA
        QCOMPARE(ds.RecNo(), 1);
        QCOMPARE(ds.ValueAt(2, 1).toString(), QString("BIA"));
        ds.Cancel();
        QCOMPARE(column(ds, "NOME"), before);
        QCOMPARE(nome(ds), QString("BIA"));
        ds.First();
        QVERIFY(ds.Delete());
        QCOMPARE(nome(ds), QString("BIA"));

        ds.EmptyDataSet();
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

    void refusingHooksKeepTheRecord() {
        TClientDataSet ds;
        fill(ds, {"ANA", "BIA"});
        ds.BeforePost = [](TDataSet& d) {
            if (d.FieldByName("PRECO").IsNull())
                throw EAbort();
        };
        ds.Append();
        ds.FieldByName("NOME") = "CAIO";
        QVERIFY(!ds.Post());
        QCOMPARE(ds.State(), DataSetState::Insert);
        QCOMPARE(nome(ds), QString("CAIO"));
        ds.FieldByName("PRECO") = 2.5;
        QVERIFY(ds.Post());

        // Leaving a record posts it (a refused post: see the grid).
        ds.BeforePost = nullptr;
        ds.First();
        ds.FieldByName("NOME") = "ANITA"; // puts the data set into Edit
        ds.Next();
        QCOMPARE(ds.State(), DataSetState::Browse);
        QCOMPARE(column(ds, "NOME"), QStringList({"ANITA", "BIA", "CAIO"}));

        ds.BeforeDelete = refuse;
        QVERIFY(!ds.Delete());
        QCOMPARE(ds.RecordCount(), 3);
        ds.BeforeInsert = refuse;
        ds.Append();
        QCOMPARE(ds.State(), DataSetState::Browse);
        QCOMPARE(ds.RecordCount(), 3);
        ds.BeforeEdit = refuse; // a refused edit must not change the record behind the user's back
        try {
            ds.FieldByName("NOME") = "OUTRO";
        } catch (const EAbort&) {
        }
        QCOMPARE(nome(ds), QString("BIA"));
    }

    void indexFilterAndLocate() {
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
        // Rows handed over keep the order shown, and leave the giver empty.
        TClientDataSet tomada;
        tomada.TomaDe(ds);
        QCOMPARE(column(tomada, "CODIGO"), QStringList({"2", "4", "5", "1", "3"}));
        QCOMPARE(ds.RecordCount(), 0);

        TClientDataSet f;
        fill(f, {"João", "Maria", "JOANA", "Pedro"});
        f.SetFilter([](const RecordView& r) { return r.value("NOME").toString() != "João"; });
        f.Last();
        QVERIFY(!f.Locate("NOME", {"joão"}, true, false)); // hidden
        QCOMPARE(nome(f), QString("Pedro"));
        QVERIFY(f.Locate("NOME", {"jo"}, true, true)); // case-insensitive, partial
        QCOMPARE(nome(f), QString("JOANA"));
        QVERIFY(f.Locate("CODIGO;NOME", {4, "pedro"}, true));
        f.ClearFilter();
        QCOMPARE(nome(f), QString("Pedro"));
        f.SetFilter([](const RecordView& r) { return r.value("NOME").toString() != "João"; });
        tomada.TomaDe(f);
        QCOMPARE(column(tomada, "NOME"), QStringList({"Maria", "JOANA", "Pedro"}));
    }

    void typedValuesAgainstColumns_data() {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QVariant>("texto");
        QTest::addColumn<QVariant>("gravado"); // invalid: refused, the field keeps its value
        const QVariant refused;
        const QString peso = "PESO", valor = "VALOR", meses = "MESES", data = "DATA", hora = "HORA";
        QTest::newRow("milhar") << peso << QVariant("1.400") << QVariant(1400.0);
        QTest::newRow("milhar e decimal") << peso << QVariant("1.400,5") << QVariant(1400.5);
        QTest::newRow("grupo curto") << peso << QVariant("1.40") << refused;
        QTest::newRow("vazio") << peso << QVariant(" ") << QVariant(QMetaType::fromType<double>());
        QTest::newRow("letras") << peso << QVariant("12,5x") << refused;
        QTest::newRow("expoente") << peso << QVariant("1e300") << refused;
        QTest::newRow("20 digitos em numeric") << valor << QVariant("12345678901234567890") << refused;
        QTest::newRow("numeric no limite")
            << valor << QVariant("9.999.999.999.999.999,99") << QVariant(1e16 - 0.01);
        QTest::newRow("numeric arredonda") << valor << QVariant("1,005") << QVariant(1.01);
        QTest::newRow("inteiro negativo") << meses << QVariant("-3") << QVariant(qlonglong(-3));
        QTest::newRow("inteiro grande") << meses << QVariant("99999999999") << refused;
        QTest::newRow("inteiro com decimais") << meses << QVariant("1,5") << refused;
        QTest::newRow("data") << data << QVariant("25/12/2024") << QVariant(QDate(2024, 12, 25));
        QTest::newRow("data invalida") << data << QVariant("31/02/2024") << refused;
        QTest::newRow("ano 0001") << data << QVariant("01/01/0001") << refused;
        QTest::newRow("hora com dois pontos") << hora << QVariant("8:05") << QVariant("08:05");
        QTest::newRow("hora sem dois pontos") << hora << QVariant("0800") << QVariant("08:00");
        QTest::newRow("hora invalida") << hora << QVariant("25:00") << refused;
    }

    // One parser for every box and cell: values as the screens show them, or refused before anything is
    // stored, with the field named; a value the column cannot hold is refused, never wrapped.
    void typedValuesAgainstColumns() {
        QFETCH(QString, campo);
        QFETCH(QVariant, texto);
        QFETCH(QVariant, gravado);
        TClientDataSet ds;
        ds.AddField("PESO", QMetaType::Double, 0, "Peso")
            .AddField("VALOR", QMetaType::Double, 0, "Valor de Compra")
            .AddField("MESES", QMetaType::Int, 0, "Meses Deprec.")
            .AddField("DATA", QMetaType::QDate, 0, "Data")
            .AddField("HORA", QMetaType::QString, 5, "Hora Inicial");
        ds.CreateDataSet();
        ds.FieldDefByName("HORA").timeOfDay = true;
        ds.FieldDefByName("VALOR").decimals = 2; // as a NUMERIC(18,2) column reports itself
        ds.FieldDefByName("VALOR").limit = 1e16 - 0.01;
        ds.Append();
        ds.FieldByName(campo) = campo == "DATA" ? QVariant(QDate(2020, 1, 1)) : QVariant(7);
        const QVariant antes = ds.FieldByName(campo).Value();
        if (!gravado.isValid()) {
            try {
                ds.FieldByName(campo) = texto;
                QFAIL("the text was taken");
            } catch (const EDatabaseError& e) {
                QVERIFY2(e.message().startsWith(ds.FieldDefByName(campo).displayLabel + ":"),
                         qPrintable(e.message()));
            }
            QCOMPARE(ds.FieldByName(campo).Value(), antes);
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

    void modelFollowsDataSet() {
        TClientDataSet ds;
        fill(ds, {"ANA", "BIA"});
        DataSetModel* model = DataSetModel::Of(&ds);
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        ds.Append();
        ds.FieldByName("NOME") = "CAIO"; // shown while typed, before the post
        QVERIFY(!changed.isEmpty());
        QCOMPARE(model->index(2, 1).data().toString(), QString("CAIO"));
        ds.Post();
        QVERIFY(model->setData(model->index(0, 2), "1,5", Qt::EditRole)); // a grid cell edit
        QCOMPARE(ds.RecNo(), 0);
        QCOMPARE(ds.FieldByName("PRECO").AsFloat(), 1.5);
        QCOMPARE(model->index(0, 2).data(Qt::EditRole).toString(), QString("1,5")); // the editor's start
        ds.Cancel();
        QVERIFY(model->index(0, 2).data(Qt::EditRole).isNull());
        ds.EmptyDataSet();
        QCOMPARE(model->rowCount(), 0);
    }

    void fieldLinksWriteAndFollow() {
        TClientDataSet ds;
        fill(ds, {"ANA", "BIA"});
        QWidget w;
        auto* edit = new QLineEdit(&w);
        auto* preco = new QLineEdit(&w);
        auto* ativo = new QCheckBox(&w);
        auto* group = new QButtonGroup(&w);
        for (int id = 0; id < 2; ++id)
            group->addButton(new QRadioButton(&w), id);
        auto* layout = new QVBoxLayout(&w);
        for (QWidget* c : w.findChildren<QWidget*>())
            layout->addWidget(c);
        FieldLink::Edit(edit, &ds, "NOME");
        FieldLink::Edit(preco, &ds, "PRECO");
        FieldLink::Check(ativo, &ds, "ATIVO");
        FieldLink::Radio(group, &ds, "TIPO", {"P", "T"});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

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
        // Code setting another field (a save hook filling a name) leaves a number still being typed alone, so
        // the post still finds it and refuses what it cannot read.
        preco->selectAll();
        QTest::keyClicks(preco, "7,,5");
        ds.FieldByName("NOME") = "ANA MARIA";
        QCOMPARE(preco->text(), QString("7,,5"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.Post());
        QCOMPARE(ds.State(), DataSetState::Edit);
        ds.Cancel();
        QCOMPARE(preco->text(), QString("7"));

        ds.BeforeEdit = refuse; // a refused edit shows the record as it is
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "X");
        QCOMPARE(ds.State(), DataSetState::Browse);
        QCOMPARE(edit->text(), QString("ANA"));
        ds.BeforeEdit = nullptr;

        ativo->click();
        QCOMPARE(ds.FieldByName("ATIVO").AsString(), QString("N"));
        group->button(1)->click();
        QCOMPARE(ds.FieldByName("TIPO").AsString(), QString("T"));
        ds.Next(); // posts, then the controls show the next record
        QCOMPARE(edit->text(), QString("BIA"));
        QVERIFY(preco->text().isEmpty());
        QVERIFY(!group->checkedButton());
        ds.Prior();
        QCOMPARE(preco->text(), QString("7"));
        QVERIFY(!ativo->isChecked());
        QCOMPARE(group->checkedId(), 1);
    }

    // Posts, inserts, deletes and moves are told as row changes, never as a reset: the grid keeps its current
    // cell and scroll position, and the model stays consistent (checked by Qt's model tester).
    void gridKeepsItsCellAcrossRowChanges() {
        TClientDataSet ds;
        QStringList names;
        for (int i = 0; i < 300; ++i)
            names << QStringLiteral("N%1").arg(i, 3, 10, QChar('0'));
        fill(ds, names);
        TZoDBGrid grid;
        grid.SetDataSet(&ds);
        new QAbstractItemModelTester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     this);
        QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        ds.MoveTo(150);
        grid.SelectField("PRECO");
        grid.scrollTo(grid.currentIndex());
        const int scroll = grid.verticalScrollBar()->value();
        QVERIFY(scroll > 0);

        ds.Edit();
        ds.FieldByName("PRECO") = 9.5;
        QVERIFY(ds.Post());
        QCOMPARE(grid.verticalScrollBar()->value(), scroll);
        grid.setCurrentIndex(grid.model()->index(149, 2)); // the data set follows the grid
        QCOMPARE(ds.RecNo(), 149);
        bool swallow = true; // a screen's key handler may take a key from the grid
        grid.OnKeyDown = [&](QKeyEvent*) { return swallow; };
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(ds.RecNo(), 149);
        swallow = false;
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(ds.RecNo(), 150);
        ds.BeforePost = refuse; // leaving a record whose post is refused keeps both cursors on it
        ds.FieldByName("PRECO") = 1;
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(ds.State(), DataSetState::Edit);
        QTRY_COMPARE(grid.currentIndex().row(), 150);
        ds.Cancel();
        ds.BeforePost = nullptr;
        ds.Insert();
        ds.FieldByName("NOME") = "NOVO";
        QVERIFY(ds.Post());
        ds.Delete();
        QCOMPARE(resets.count(), 0);
        QCOMPARE(grid.SelectedField(), QString("PRECO"));
        QCOMPARE(grid.currentIndex().row(), ds.RecNo());
        QCOMPARE(nome(ds), QString("N150"));

        // In a sorted set a post moves its row to its place, and the cursor goes with it.
        ds.SetIndexFieldNames("NOME");
        QCOMPARE(resets.count(), 1); // a new order is a reset
        ds.Locate("NOME", {"N010"});
        ds.FieldByName("NOME") = "N200X";
        QVERIFY(ds.Post());
        QCOMPARE(resets.count(), 1);
        QCOMPARE(ds.RecNo(), 200);
        QCOMPARE(grid.currentIndex().row(), 200);
        QCOMPARE(grid.model()->index(200, 1).data().toString(), QString("N200X"));

        // A posted row the filter no longer takes leaves the view.
        ds.SetFilter([](const RecordView& r) { return !r.value("NOME").toString().startsWith("X"); });
        const int before = ds.RecordCount();
        ds.First();
        ds.FieldByName("NOME") = "XFORA";
        QVERIFY(ds.Post());
        QCOMPARE(grid.model()->rowCount(), before - 1);
    }

    void declaredColumns_data() {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<int>("coluna"); // -1: not in the grid
        QTest::addColumn<QString>("celula");
        QTest::addColumn<QString>("caixa"); // what a box bound to the field shows
        QTest::addColumn<bool>("editavel");
        QTest::addColumn<QStringList>("lista");
        QTest::addColumn<int>("minimo"); // the column's width in digits; 0 = not bounded
        QTest::addColumn<int>("maximo");
        QTest::addColumn<bool>("estica");
        const QStringList semLista;
        QTest::newRow("descrição pelo tamanho") << "DESCRICAO" << QVariant("MALHA") << 0 << "MALHA"
                                                << "MALHA" << false << semLista << 40 << 0 << false;
        QTest::newRow("código") << "CODIGO" << QVariant("A1") << 1 << "A1"
                                << "A1" << true << semLista << 0 << 10 << false;
        QTest::newRow("sinalizador não estica") << "ATIVO" << QVariant("S") << 2 << "Sim"
                                                << "S" << true << semLista << 0 << 6 << false;
        QTest::newRow("lista") << "CONCLUIDO" << QVariant("N") << 3 << "N"
                               << "N" << true << QStringList{"Não", "Sim"} << 0 << 0 << false;
        QTest::newRow("casas") << "PRECO" << QVariant(3.8) << 4 << "3,80"
                               << "3,80" << true << semLista << 0 << 0 << false;
        QTest::newRow("estica") << "OBS" << QVariant("X") << 5 << "X"
                                << "X" << true << semLista << 0 << 0 << true;
        QTest::newRow("não declarado") << "INTERNO" << QVariant("Z") << -1 << ""
                                       << "Z" << true << semLista << 0 << 0 << false;
    }

    // One declaration per grid: only its columns, in its order, as wide as the field and the caption need,
    // also after the rows are reloaded; the decimals reach the boxes bound to the field.
    void declaredColumns() {
        QFETCH(QString, campo);
        QFETCH(QVariant, valor);
        QFETCH(int, coluna);
        QFETCH(QString, celula);
        QFETCH(QString, caixa);
        QFETCH(bool, editavel);
        QFETCH(QStringList, lista);
        QFETCH(int, minimo);
        QFETCH(int, maximo);
        QFETCH(bool, estica);
        TClientDataSet ds;
        ds.AddField("INTERNO", QMetaType::QString, 10)
            .AddField("CODIGO", QMetaType::QString, 4)
            .AddField("DESCRICAO", QMetaType::QString, 50)
            .AddField("ATIVO", QMetaType::QString, 1)
            .AddField("CONCLUIDO", QMetaType::QString, 1)
            .AddField("PRECO", QMetaType::Double)
            .AddField("OBS", QMetaType::QString, 200);
        ds.CreateDataSet();
        TZoDBGrid grid;
        grid.SetDataSet(&ds);
        grid.SetReadOnly(false);
        grid.DeclaraColunas({ColunaGrade("DESCRICAO", "Descrição").SomenteLeitura(),
                             {"CODIGO", "Código"},
                             ColunaGrade("ATIVO", "Ok").Textos(TextosSimNao()),
                             ColunaGrade("CONCLUIDO", "Concluído").Lista({"Não", "Sim"}),
                             ColunaGrade("PRECO", "Preço").Casas(2),
                             ColunaGrade("OBS", "Observação").Estica()});
        ds.Append();
        ds.FieldByName(campo) = valor;
        QVERIFY(ds.Post());
        ds.SetIndexFieldNames("CODIGO"); // a reload of the rows

        const DataSetModel* model = DataSetModel::Of(&ds);
        QCOMPARE(model->columnCount(), 6);
        QCOMPARE(ds.FieldByName(campo).DisplayText(), caixa);
        QCOMPARE(model->ColumnOfField(campo), coluna);
        if (coluna < 0)
            return;
        const QModelIndex index = model->index(0, coluna);
        QCOMPARE(index.data().toString(), celula);
        QCOMPARE(bool(model->flags(index) & Qt::ItemIsEditable), editavel);
        QCOMPARE(model->PickList(coluna), lista);
        const QHeaderView* header = grid.horizontalHeader();
        QCOMPARE(header->sectionResizeMode(coluna) == QHeaderView::Stretch, estica);
        if (estica)
            return; // as wide as the grid leaves it
        const int largura = header->sectionSize(coluna), digito = grid.fontMetrics().horizontalAdvance('0');
        QVERIFY(
            largura >
            header->fontMetrics().horizontalAdvance(
                model->headerData(coluna, Qt::Horizontal, Qt::DisplayRole).toString())); // the caption fits
        QVERIFY2(largura >= minimo * digito && (maximo == 0 || largura <= maximo * digito),
                 qPrintable(QString::number(largura)));
    }

    void cellEditorKeepsTextThroughModifierKeys_data() {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("modificador");
        QTest::newRow("shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier);
        QTest::newRow("ctrl") << int(Qt::Key_Control) << int(Qt::ControlModifier);
        QTest::newRow("altgr") << int(Qt::Key_AltGr) << int(Qt::GroupSwitchModifier);
        QTest::newRow("caps lock") << int(Qt::Key_CapsLock) << int(Qt::NoModifier);
        QTest::newRow("acento agudo") << int(Qt::Key_Dead_Acute) << int(Qt::NoModifier);
        QTest::newRow("til") << int(Qt::Key_Dead_Tilde) << int(Qt::NoModifier);
    }

    // Keys that only shape the next character reach the grid from its cell editor; they must not end the edit
    // (everything typed before the last Shift used to be lost), while Tab still takes the text into the row.
    void cellEditorKeepsTextThroughModifierKeys() {
        QFETCH(int, tecla);
        QFETCH(int, modificador);
        TClientDataSet ds;
        fill(ds, {"ANA"});
        TZoDBGrid grid;
        grid.SetDataSet(&ds);
        grid.SetReadOnly(false);
        int teclasDaTela = 0;
        grid.OnKeyDown = [&](QKeyEvent*) { return ++teclasDaTela, false; };
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.SelectField("NOME");
        grid.edit(grid.currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->clear();
        QTest::keyClicks(editor, "Urg");
        for (const auto tipo : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent evento(tipo, tecla, Qt::KeyboardModifiers(modificador));
            QApplication::sendEvent(editor, &evento);
        }
        QCOMPARE(QApplication::focusWidget(), editor);
        QTest::keyClicks(editor, "ente");
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(nome(ds), QString("Urgente"));
        QCOMPARE(teclasDaTela, 1); // the Tab, for the screen's row checks
        // A composed letter opens the cell it is typed on, and is its first letter.
        grid.SelectField("NOME");
        grid.setFocus();
        QInputMethodEvent composta;
        composta.setCommitString(QStringLiteral("É"));
        QApplication::sendEvent(&grid, &composta);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, "tica");
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(nome(ds), QString("Ética"));
    }

    // A letter typed straight into a pick-list cell picks the item it starts; the field keeps its first
    // letter.
    void typedLetterPicksFromTheList() {
        TClientDataSet ds;
        fill(ds, {"ANA"});
        TZoDBGrid grid;
        grid.SetDataSet(&ds);
        grid.SetReadOnly(false);
        grid.DeclaraColunas({ColunaGrade("ATIVO", "Ativo").Lista({"Não", "Sim", "Reproc."})});
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        for (const auto& [typed, stored] : {std::pair{"r", "R"}, std::pair{"N", "N"}, std::pair{"s", "S"}}) {
            grid.SelectField("ATIVO");
            grid.setFocus();
            QTest::keyClicks(&grid, typed);
            QVERIFY(QApplication::focusWidget() != &grid);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(ds.FieldByName("ATIVO").AsString(), QString(stored));
        }
        QCOMPARE(ItemDaLista({"Nao", "Sim"}, "x"), QString("x"));
    }
};

QTEST_MAIN(TstDataSets)
#include "tst_datasets.moc"