// The common screen: key preview (Enter moves on, quotes discarded where asked), instance variable,
// close handler run once and the screen freed.
#include "TForm.h"
#include "TestDatabase.h"
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {
class Tela;
Tela* FmTela = nullptr;
int g_closes = 0;

class Tela : public TForm {
    Q_OBJECT
public:
    QLineEdit* first = new QLineEdit(this);
    QLineEdit* second = new QLineEdit(this);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), this);
    explicit Tela(QWidget* parent) : TForm(parent) {
        setObjectName(QStringLiteral("FmTela"));
        first->setObjectName(QStringLiteral("EdtPrimeiro"));
        second->setObjectName(QStringLiteral("EdtSegundo"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(button);
        KeyPreview = true;
    }
    void FormCreate() override { PublicaInstancia(FmTela); }
    void FormClose() override { ++g_closes; }
};
} // namespace

class TstTForm : public DatabaseTestCase {
    Q_OBJECT
private slots:
    void enterMovesOnAndQuotesAreDiscardedWhereAsked();
    void closeRunsItsHandlerOnceAndFreesTheScreen();
};

void TstTForm::enterMovesOnAndQuotesAreDiscardedWhereAsked() {
    for (const bool discard : {true, false}) {
        QPointer<Tela> screen = TForm::Create<Tela>(nullptr);
        QCOMPARE(FmTela, screen.data()); // published under its own name at creation
        screen->DescartaAspas = discard;
        screen->show();
        QApplication::setActiveWindow(screen);
        driver->Use(screen);
        driver->Type("EdtPrimeiro", "Tecelagem D'Ávila \"Sul\"");
        QCOMPARE(driver->Text("EdtPrimeiro"), discard ? QStringLiteral("Tecelagem DÁvila Sul")
                                                      : QStringLiteral("Tecelagem D'Ávila \"Sul\""));
        driver->Press("Enter");
        QCOMPARE(driver->FocusedName(), QStringLiteral("EdtSegundo"));
        driver->Press("Enter"); // a button keeps Enter for itself once it has the focus
        QCOMPARE(QApplication::focusWidget(), screen->button);
        driver->Close();
        QVERIFY(screen.isNull());
        FmTela = nullptr;
    }
}

void TstTForm::closeRunsItsHandlerOnceAndFreesTheScreen() {
    g_closes = 0;
    QPointer<Tela> screen = TForm::Create<Tela>(nullptr);
    screen->show();
    screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(screen.isNull());
    QCOMPARE(g_closes, 1);
    // A second opening is a fresh instance with fresh boxes.
    QPointer<Tela> again = TForm::Create<Tela>(nullptr);
    QVERIFY(again->first->text().isEmpty());
    again->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(g_closes, 2);
}

QTEST_MAIN(TstTForm)
#include "tst_tform.moc"
