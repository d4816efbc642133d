// The common screen: key preview (Enter moves on, quotes discarded where asked), instance variable,
// close handler run once and the screen freed.
#include "HostError.h"
#include "TForm.h"
#include "TTabela.h"
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

// A screen whose creation fails after it has opened shared tables.
class TelaFalha : public TForm {
    Q_OBJECT
public:
    TabelaAberta banhos, fases;
    explicit TelaFalha(QWidget* parent) : TForm(parent) {}
    void FormCreate() override {
        banhos = TTabela::AbreTabela(QStringLiteral("tbBanho"));
        fases = TTabela::AbreTabela(QStringLiteral("tbFase"));
        throw EDatabaseError(QStringLiteral("falha ao criar"));
    }
};
} // namespace

class TstTForm : public DatabaseTestCase {
    Q_OBJECT
private slots:
    void enterMovesOnAndQuotesAreDiscardedWhereAsked();
    void closeRunsItsHandlerOnceAndFreesTheScreen();
    void failedCreationLeavesNoSharedTableOpen();
};

void TstTForm::failedCreationLeavesNoSharedTableOpen() {
    TabelaAberta mine = TTabela::AbreTabela(QStringLiteral("tbBanho")); // another screen's
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, TForm::Create<TelaFalha>(nullptr));
    QVERIFY(!TTabela::Tabela(QStringLiteral("tbFase")));
    QCOMPARE(TTabela::Tabela(QStringLiteral("tbBanho")), mine.get());
    mine.Fecha();
    QVERIFY(!TTabela::Tabela(QStringLiteral("tbBanho")));
}

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
    QVERIFY2(!FmTela, "the instance variable lets go of a freed screen");
    // A second opening is a fresh instance with fresh boxes.
    QPointer<Tela> again = TForm::Create<Tela>(nullptr);
    QCOMPARE(FmTela, again.data());
    QVERIFY(again->first->text().isEmpty());
    again->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(g_closes, 2);
}

QTEST_MAIN(TstTForm)
#include "tst_tform.moc"
