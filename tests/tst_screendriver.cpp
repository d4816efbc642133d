// The screen driver on pages and grids the registry screens do not have: tabs by caption (one disabled),
// a grid without fields named by its column titles, a grid that edits on any key, and a box whose exit
// rule keeps the focus.
#include "Mensagens.h"
#include "TForm.h"
#include "TestDatabase.h"
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

namespace {
class Tela : public TForm {
    Q_OBJECT
public:
    QLineEdit* box = new QLineEdit(this);
    QTabWidget* pages = new QTabWidget(this);
    QTableWidget* grid = new QTableWidget(2, 2);
    QTableWidget* anyKey = new QTableWidget(1, 1);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), this);
    bool refuse = false;
    int clicks = 0;
    QStringList tabs; // the controls the screen saw a Tab in, before they did

    explicit Tela(QWidget* parent) : TForm(parent) {
        setObjectName(QStringLiteral("FmTela"));
        box->setObjectName(QStringLiteral("EdtNome"));
        pages->setObjectName(QStringLiteral("Paginas"));
        grid->setObjectName(QStringLiteral("Grade"));
        anyKey->setObjectName(QStringLiteral("GradeLivre"));
        button->setObjectName(QStringLiteral("BtOk"));
        grid->setHorizontalHeaderLabels({QStringLiteral("&Nome"), QStringLiteral("Valor")});
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column)
                grid->setItem(row, column, new QTableWidgetItem(QStringLiteral("%1%2").arg(row).arg(column)));
        anyKey->setHorizontalHeaderLabels({QStringLiteral("Texto")});
        anyKey->setItem(0, 0, new QTableWidgetItem(QStringLiteral("a")));
        anyKey->setEditTriggers(QAbstractItemView::AnyKeyPressed);
        pages->addTab(grid, QStringLiteral("&Grade"));
        pages->addTab(anyKey, QStringLiteral("Livre"));
        pages->addTab(new QWidget, QStringLiteral("Fechada"));
        pages->setTabEnabled(2, false);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(box);
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
    bool TeclaControle(QWidget* control, QKeyEvent* key) override {
        if (key->key() == Qt::Key_Tab)
            tabs << control->metaObject()->className();
        return TForm::TeclaControle(control, key);
    }
};
} // namespace

class TstScreenDriver : public DatabaseTestCase {
    Q_OBJECT
    QPointer<Tela> screen;

    void Open() {
        screen = TForm::Create<Tela>(nullptr);
        screen->resize(500, 400);
        screen->show();
        QApplication::setActiveWindow(screen);
        driver->Use(screen);
    }
    QString Failure(const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }

private slots:
    void cleanup() {
        delete screen;
        DatabaseTestCase::cleanup();
    }
    void pagesByTheirCaptions();
    void plainGridByColumnTitles();
    void gridThatEditsOnAnyKey();
    void refusedExitKeepsTheFocusAndTheNextClickActs();
};

void TstScreenDriver::pagesByTheirCaptions() {
    Open();
    driver->Page("Paginas", "Livre");
    QCOMPARE(screen->pages->currentIndex(), 1);
    driver->Page("Paginas", "Grade"); // as the tab reads, without its shortcut mark
    QCOMPARE(screen->pages->currentIndex(), 0);
    QCOMPARE(Failure([&] { driver->Page("Paginas", "Outra"); }),
             QStringLiteral("'Paginas' não tem a página 'Outra' (páginas: Grade, Livre, Fechada)"));
    QCOMPARE(Failure([&] { driver->Page("Paginas", "Fechada"); }),
             QStringLiteral("a página 'Fechada' de 'Paginas' está desabilitada"));
    QCOMPARE(Failure([&] { driver->Page("EdtNome", "Grade"); }),
             QStringLiteral("o controle 'EdtNome' não é um conjunto de páginas"));
    QCOMPARE(screen->pages->currentIndex(), 0);
}

void TstScreenDriver::plainGridByColumnTitles() {
    Open();
    QCOMPARE(driver->Rows("Grade"), 2); // the title row is not one
    driver->Row("Grade", 1);
    QCOMPARE(driver->FocusedName(), QStringLiteral("Grade"));
    QCOMPARE(driver->Value("Grade", "Nome"), QStringLiteral("10"));
    driver->Cell("Grade", "Valor", "novo");
    QCOMPARE(screen->grid->item(1, 1)->text(), QStringLiteral("novo"));
    QCOMPARE(screen->tabs, QStringList{"QExpandingLineEdit"}); // the screen saw the Tab before the editor
    driver->Row("Grade", 1);
    driver->Cell("Grade", "Nome", ""); // typed over with nothing: cleared
    QCOMPARE(screen->grid->item(1, 0)->text(), QString());
    QCOMPARE(Failure([&] { driver->Row("Grade", 2); }),
             QStringLiteral("a grade 'Grade' não tem a linha 2 (tem 2)"));
    QCOMPARE(Failure([&] { driver->Value("Grade", "Outra"); }),
             QStringLiteral("a grade 'Grade' não tem a coluna 'Outra'"));
    QCOMPARE(Failure([&] { driver->Rows("EdtNome"); }),
             QStringLiteral("o controle 'EdtNome' não é uma grade"));
    driver->Page("Paginas", "Livre");
    QCOMPARE(Failure([&] { driver->Cell("Grade", "Nome", "x"); }),
             QStringLiteral("a grade 'Grade' não pode receber o foco"));
}

void TstScreenDriver::gridThatEditsOnAnyKey() {
    Open();
    driver->Page("Paginas", "Livre");
    driver->Row("GradeLivre", 0);
    driver->Cell("GradeLivre", "Texto", "bc"); // the first key opens the editor over what was there
    QCOMPARE(screen->anyKey->item(0, 0)->text(), QStringLiteral("bc"));
    QCOMPARE(driver->Value("GradeLivre", "Texto"), QStringLiteral("bc"));
    QCOMPARE(
        Failure([&] { driver->Cell("GradeLivre", "Texto", ""); }),
        QStringLiteral("a grade 'GradeLivre' só abre uma célula com a tecla digitada: o texto não pode ser "
                       "vazio"));
    screen->anyKey->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QCOMPARE(Failure([&] { driver->Cell("GradeLivre", "Texto", "x"); }),
             QStringLiteral("a coluna 'Texto' da grade 'GradeLivre' é somente leitura"));
}

void TstScreenDriver::refusedExitKeepsTheFocusAndTheNextClickActs() {
    Open();
    driver->Row("Grade", 0);
    driver->Type("EdtNome", "");
    screen->refuse = true;
    driver->Row("Grade", 1); // the click ends at the refusal: the row stays
    QCOMPARE(messages.LastText(), QStringLiteral("Nome obrigatório."));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtNome"));
    QCOMPARE(screen->grid->currentIndex().row(), 0);
    QCOMPARE(Failure([&] { driver->Cell("Grade", "Valor", "x"); }),
             QStringLiteral("a célula 'Valor' da grade 'Grade' não pôde ser escolhida: Nome obrigatório."));
    QCOMPARE(screen->grid->item(0, 1)->text(), QStringLiteral("01"));
    screen->refuse = false;
    driver->Click("BtOk"); // the refused presses were spent: this one acts
    QCOMPARE(screen->clicks, 1);
}

QTEST_MAIN(TstScreenDriver)
#include "tst_screendriver.moc"
