// The screen driver on what the registry screens do not have: pages by caption (one disabled), a grid
// without fields named by its column titles, a grid that edits on any key, a refused exit, and going back
// to a screen already open; text and keys sent as a keyboard sends them.
#include "ClassRegistry.h"
#include "DBControls.h"
#include "Mensagens.h"
#include "TClientDataSet.h"
#include "TForm.h"
#include "TestDatabase.h"
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

namespace {
class Tela : public TForm {
    Q_OBJECT
public:
    QLineEdit* box = new QLineEdit(this);
    TClientDataSet* notes = new TClientDataSet(this);
    TZoDBGrid* noteGrid = new TZoDBGrid(this);
    QTabWidget* pages = new QTabWidget(this);
    QTableWidget* grid = new QTableWidget(2, 2);
    QTableWidget* anyKey = new QTableWidget(1, 1);
    QPushButton* button = new QPushButton(QStringLiteral("&OK"), this);
    bool refuse = false;
    int clicks = 0;

    explicit Tela(QWidget* parent) : TForm(parent) {
        box->setObjectName(QStringLiteral("EdtNome"));
        noteGrid->setObjectName(QStringLiteral("GradeDados"));
        notes->AddField(QStringLiteral("OBS"), QMetaType::QString, 40);
        notes->CreateDataSet();
        notes->Append();
        noteGrid->SetDataSet(notes);
        noteGrid->SetReadOnly(false);
        noteGrid->OnKeyDown = [](QKeyEvent*) { return false; }; // the screen sees the grid's keys
        pages->setObjectName(QStringLiteral("Paginas"));
        grid->setObjectName(QStringLiteral("Grade"));
        anyKey->setObjectName(QStringLiteral("GradeLivre"));
        button->setObjectName(QStringLiteral("BtOk"));
        grid->setHorizontalHeaderLabels({QStringLiteral("&Nome"), QStringLiteral("Valor")});
        for (int cell = 0; cell < 4; ++cell)
            grid->setItem(cell / 2, cell % 2,
                          new QTableWidgetItem(QString::number(cell / 2 * 10 + cell % 2)));
        anyKey->setHorizontalHeaderLabels({QStringLiteral("Texto")});
        anyKey->setItem(0, 0, new QTableWidgetItem(QStringLiteral("a")));
        anyKey->setEditTriggers(QAbstractItemView::AnyKeyPressed);
        pages->addTab(grid, QStringLiteral("&Grade"));
        pages->addTab(anyKey, QStringLiteral("Livre"));
        pages->setTabEnabled(pages->addTab(new QWidget, QStringLiteral("Fechada")), false);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(box);
        layout->addWidget(noteGrid);
        layout->addWidget(pages);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }

protected:
    bool SaidaControle(QWidget* control, QWidget*, Qt::FocusReason) override {
        if (control != box || !refuse)
            return true;
        Informa(this, QStringLiteral("Nome obrigatório."));
        box->setFocus();
        return false;
    }
};
} // namespace

class TstScreenDriver : public DatabaseTestCase {
    Q_OBJECT
private slots:
    void pagesGridsAndARefusedExit();
    void usesAScreenAlreadyOpen();
    void typesAsAKeyboard_data();
    void typesAsAKeyboard();
    void keysReachControlsAndShortcuts();

private:
    std::unique_ptr<Tela> Shown() {
        std::unique_ptr<Tela> screen(TForm::Create<Tela>(nullptr));
        screen->resize(500, 400);
        screen->show();
        QApplication::setActiveWindow(screen.get());
        driver->Use(screen.get());
        return screen;
    }
};

void TstScreenDriver::pagesGridsAndARefusedExit() {
    const auto screen = Shown();
    driver->Page("Paginas", "Livre");
    QVERIFY_THROWS_EXCEPTION(std::exception, driver->Page("Paginas", "Fechada"));
    QVERIFY_THROWS_EXCEPTION(std::exception, driver->Cell("Grade", "Nome", "x")); // on a hidden page
    driver->Row("GradeLivre", 0);
    driver->Cell("GradeLivre", "Texto", "bc"); // the first key opens the editor
    QCOMPARE(screen->anyKey->item(0, 0)->text(), QStringLiteral("bc"));
    screen->anyKey->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QVERIFY_THROWS_EXCEPTION(std::exception, driver->Cell("GradeLivre", "Texto", "x")); // read-only

    driver->Page("Paginas", "Grade"); // as the tab reads, without its shortcut mark
    driver->Row("Grade", 1);
    QCOMPARE(driver->Value("Grade", "Nome"), QStringLiteral("10"));
    driver->Cell("Grade", "Valor", "novo");
    QCOMPARE(screen->grid->item(1, 1)->text(), QStringLiteral("novo"));
    driver->Row("Grade", 1);
    driver->Cell("Grade", "Nome", ""); // typed over with nothing: cleared
    QCOMPARE(screen->grid->item(1, 0)->text(), QString());

    driver->Row("Grade", 0);
    driver->Type("EdtNome", "");
    screen->refuse = true;
    driver->Row("Grade", 1); // the click ends at the refusal: the row stays
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtNome"));
    QVERIFY_THROWS_EXCEPTION(std::exception, driver->Cell("Grade", "Valor", "x"));
    QCOMPARE(screen->grid->item(0, 1)->text(), QStringLiteral("1"));
    screen->refuse = false;
    driver->Click("BtOk"); // the refused presses were spent: this one acts
    QCOMPARE(screen->clicks, 1);
}

void TstScreenDriver::usesAScreenAlreadyOpen() {
    const auto registra = [](const QString& nome) {
        RegisterClass({nome, nome, QString(), ScreenKind::Dialog, 0},
                      [](QWidget* parent) -> QWidget* { return TForm::Create<Tela>(parent); });
    };
    registra("TelaUm");
    registra("TelaDois");
    const auto retira = qScopeGuard([] {
        UnRegisterClass("TelaUm");
        UnRegisterClass("TelaDois");
    });
    QPointer<QWidget> um = driver->Open("TelaUm");
    QPointer<QWidget> dois = driver->Open("TelaDois");
    QVERIFY_THROWS_EXCEPTION(std::exception, driver->Use("TelaTres"));
    QCOMPARE(driver->Use("TelaUm"), um.data());
    driver->Type("EdtNome", "primeira");
    driver->Click("BtOk");
    QCOMPARE(um->findChild<QLineEdit*>("EdtNome")->text(), QStringLiteral("primeira"));
    QCOMPARE(static_cast<Tela*>(um.data())->clicks, 1);
    QCOMPARE(dois->findChild<QLineEdit*>("EdtNome")->text(), QString());

    driver->Open("TelaUm");
    QVERIFY_THROWS_EXCEPTION(std::exception, driver->Use("TelaUm")); // which one would be a guess
    driver->Close();
    QCOMPARE(driver->Use("TelaUm"), um.data()); // the one closed is not open any more
    QCOMPARE(driver->Text("EdtNome"), QStringLiteral("primeira"));
}

// Shift around capitals and ":", accents through dead keys: none of it may end or cut what a cell holds.
void TstScreenDriver::typesAsAKeyboard_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAbstractItemView::EditTriggers>("opens");
    QTest::newRow("box") << "EdtNome" << QAbstractItemView::EditTriggers();
    QTest::newRow("cell opened by F2")
        << "GradeDados" << QAbstractItemView::EditTriggers(QAbstractItemView::EditKeyPressed);
    QTest::newRow("cell opened by the first key")
        << "GradeDados" << QAbstractItemView::EditTriggers(QAbstractItemView::AnyKeyPressed);
}

void TstScreenDriver::typesAsAKeyboard() {
    QFETCH(QString, control);
    QFETCH(QAbstractItemView::EditTriggers, opens);
    const QString text = QStringLiteral("Urgente Cliente VIP: 08:00 ação");
    const auto screen = Shown();
    if (!opens) {
        driver->Type(control, text);
        QCOMPARE(driver->Text(control), text);
        return;
    }
    screen->noteGrid->setEditTriggers(opens);
    driver->Row(control, 0);
    driver->Cell(control, "OBS", text);
    QCOMPARE(screen->notes->FieldByName("OBS").AsString(), text);
}

void TstScreenDriver::keysReachControlsAndShortcuts() {
    const auto screen = Shown();
    driver->Focus("GradeDados");
    driver->Keys("Shift+Tab");
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtNome"));
    driver->Keys("Alt+O"); // the button's shortcut: it acts where the focus is
    QTRY_COMPARE(screen->clicks, 1);
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtNome"));
    QVERIFY_THROWS_EXCEPTION(std::exception, driver->Keys("Ctrl+Nada"));
}

QTEST_MAIN(TstScreenDriver)
#include "tst_screendriver.moc"
