// The common screen: Enter moves on as Tab and presses buttons, quotes discarded where asked, instance
// variable, the question about unsaved edits on close, close handler run once and the screen freed.
#include "ClassRegistry.h"
#include "DBControls.h"
#include "HostError.h"
#include "HostUi.h"
#include "TClientDataSet.h"
#include "TForm.h"
#include "TTabela.h"
#include "TestDatabase.h"
#include <QButtonGroup>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <QVBoxLayout>

namespace {
class Tela;
Tela* FmTela = nullptr;
int g_closes = 0;
int g_gravacoes = 0;

class Tela : public TForm {
    Q_OBJECT
public:
    QLineEdit* first = new QLineEdit(this);
    QLineEdit* second = new QLineEdit(this);
    QRadioButton* a = new QRadioButton(QStringLiteral("A"), this);
    QRadioButton* b = new QRadioButton(QStringLiteral("B"), this);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), this);
    int clicks = 0, saidas = 0;
    explicit Tela(QWidget* parent) : TForm(parent) {
        setObjectName(QStringLiteral("FmTela"));
        first->setObjectName(QStringLiteral("EdtPrimeiro"));
        second->setObjectName(QStringLiteral("EdtSegundo"));
        auto* layout = new QVBoxLayout(this);
        for (QWidget* w : std::initializer_list<QWidget*>{first, second, a, b, button})
            layout->addWidget(w);
        auto* grupo = new QButtonGroup(this);
        grupo->addButton(a);
        grupo->addButton(b);
        a->setChecked(true);
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }
    void FormCreate() override { PublicaInstancia(FmTela); }
    void FormClose() override { ++g_closes; }
    bool SaidaControle(QWidget* control, QWidget*, Qt::FocusReason) override {
        saidas += control == first;
        return true;
    }
};

// A screen with a save: a box and a grid the user edits, and a save that may refuse.
class TelaGravacao : public TForm {
    Q_OBJECT
public:
    QLineEdit* obs = new QLineEdit(this);
    TClientDataSet* itens = new TClientDataSet(this);
    TZoDBGrid* grade = new TZoDBGrid(this);
    QPushButton* gravar = new QPushButton(QStringLiteral("&Gravar"), this);
    bool recusa = false;
    explicit TelaGravacao(QWidget* parent) : TForm(parent) {
        obs->setObjectName(QStringLiteral("EdtObs"));
        grade->setObjectName(QStringLiteral("DBGrid1"));
        auto* layout = new QVBoxLayout(this);
        for (QWidget* w : std::initializer_list<QWidget*>{obs, grade, gravar})
            layout->addWidget(w);
        itens->AddField(QStringLiteral("NOME"), QMetaType::QString, 30, QStringLiteral("Nome"));
        itens->CreateDataSet();
        itens->Append();
        itens->FieldByName(QStringLiteral("NOME")) = QStringLiteral("Azul");
        itens->Post();
        grade->SetDataSet(itens);
        grade->SetReadOnly(false);
        connect(gravar, &QPushButton::clicked, this, [this] {
            if (recusa)
                return;
            ++g_gravacoes;
            AlteracoesGravadas();
        });
        VigiaAlteracoes({itens}, {obs}, gravar);
    }
};

// A screen opened with arguments: what arrives is kept.
ArgumentosTela g_recebidos;
class TelaArgumentos : public TForm {
    Q_OBJECT
public:
    using TForm::TForm;
    void Argumentos(const ArgumentosTela& argumentos) override { g_recebidos = argumentos; }
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
    void closeAsksToSaveWhatWasTyped_data();
    void closeAsksToSaveWhatWasTyped();
    void argumentsReachTheScreenThatDeclaresThem();
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

// With key preview or without: Enter leaves a box as Tab does (its exit rule runs), passes a radio group
// as one stop, and presses the button it lands on.
void TstTForm::enterMovesOnAndQuotesAreDiscardedWhereAsked() {
    for (const bool discard : {true, false}) {
        QPointer<Tela> screen = TForm::Create<Tela>(nullptr);
        QCOMPARE(FmTela, screen.data()); // published under its own name at creation
        screen->DescartaAspas = discard;
        screen->KeyPreview = discard;
        screen->show();
        QApplication::setActiveWindow(screen);
        QString status;
        context->ShowStatus = [&status](const QString& texto) { status = texto; };
        TForm::DicaTeclas({screen->first}, "F4: pesquisa");
        driver->Use(screen);
        driver->Focus("EdtSegundo");
        screen->saidas = 0;
        driver->Type("EdtPrimeiro", "Tecelagem D'Ávila \"Sul\"");
        QCOMPARE(status, "F4: pesquisa"); // the keys of the box being typed in
        QCOMPARE(driver->Text("EdtPrimeiro"), discard ? QStringLiteral("Tecelagem DÁvila Sul")
                                                      : QStringLiteral("Tecelagem D'Ávila \"Sul\""));
        driver->Press("Enter");
        QCOMPARE(driver->FocusedName(), QStringLiteral("EdtSegundo"));
        QCOMPARE(screen->saidas, 1);
        QCOMPARE(status, QString());
        context->ShowStatus = nullptr;
        driver->Press("Enter");
        QCOMPARE(QApplication::focusWidget(), screen->a);
        driver->Press("Enter");
        QCOMPARE(QApplication::focusWidget(), screen->button);
        QCOMPARE(screen->clicks, 0);
        driver->Press("Enter");
        QCOMPARE(screen->clicks, 1);
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

void TstTForm::closeAsksToSaveWhatWasTyped_data() {
    QTest::addColumn<QString>("onde"); // where the user typed: "EdtObs", "DBGrid1" or nowhere
    QTest::addColumn<int>("resposta"); // 0 Sim, 1 Não, 2 Cancelar
    QTest::addColumn<bool>("recusa");  // the save refuses
    QTest::addColumn<bool>("fecha");
    QTest::addColumn<int>("gravacoes");
    QTest::newRow("nada digitado") << QString() << -1 << false << true << 0;
    QTest::newRow("caixa, sim") << "EdtObs" << 0 << false << true << 1;
    QTest::newRow("grade, sim") << "DBGrid1" << 0 << false << true << 1;
    QTest::newRow("caixa, nao") << "EdtObs" << 1 << false << true << 0;
    QTest::newRow("grade, cancelar") << "DBGrid1" << 2 << false << false << 0;
    QTest::newRow("sim, gravacao recusada") << "EdtObs" << 0 << true << false << 0;
}

// Closing with edits made since the last save asks once; Cancelar and a refused save keep the screen and
// what was typed.
void TstTForm::closeAsksToSaveWhatWasTyped() {
    QFETCH(QString, onde);
    QFETCH(int, resposta);
    QFETCH(bool, recusa);
    QFETCH(bool, fecha);
    QFETCH(int, gravacoes);
    g_gravacoes = 0;
    QPointer<TelaGravacao> screen = TForm::Create<TelaGravacao>(nullptr);
    screen->recusa = recusa;
    screen->show();
    driver->Use(screen);
    if (onde == "EdtObs")
        driver->Type(onde, "Urgente");
    else if (onde == "DBGrid1")
        driver->Cell(onde, "NOME", "Verde");
    if (resposta >= 0)
        messages.choices.enqueue(resposta);
    driver->Close();
    QCOMPARE(messages.shown.size(), resposta >= 0 ? 1 : 0);
    QCOMPARE(screen.isNull(), fecha);
    QCOMPARE(g_gravacoes, gravacoes);
    if (!screen)
        return;
    QCOMPARE(onde == "EdtObs" ? screen->obs->text() : screen->itens->FieldByName("NOME").AsString(),
             onde == "EdtObs" ? QString("Urgente") : QString("Verde"));
    delete screen;
}

// The text argument of the old call is the screen's first declared one; a name it does not declare is refused
// before anything is created.
void TstTForm::argumentsReachTheScreenThatDeclaresThem() {
    const QString classe = QStringLiteral("TTelaArgumentos");
    ScreenInfo info{classe, QStringLiteral("Argumentos"), {}, ScreenKind::Dialog, 0, {"FAL", "CLIENTE"}};
    RegisterClass(info, [](QWidget* parent) -> QWidget* { return TForm::Create<TelaArgumentos>(parent); });
    const auto fim = qScopeGuard([&] { UnRegisterClass(classe); });
    const QList<std::pair<ArgumentosTela, ArgumentosTela>> casos = {
        {{}, {}}, {{{"FAL", "000123"}, {"CLIENTE", "000045"}}, {{"FAL", "000123"}, {"CLIENTE", "000045"}}}};
    for (const auto& [passados, esperados] : casos) {
        g_recebidos = {{"nada", 0}};
        std::unique_ptr<QWidget> tela(Carrega_Form("kelmTingimento.bpl", classe, passados, false, true));
        QCOMPARE(g_recebidos, (passados.isEmpty() ? ArgumentosTela{{"nada", 0}} : esperados));
    }
    std::unique_ptr<QWidget> tela(
        Carrega_Form("kelmTingimento.bpl", classe, QStringLiteral("000777"), false, true));
    QCOMPARE(g_recebidos, (ArgumentosTela{{"FAL", "000777"}}));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, Carrega_Form("kelmTingimento.bpl", classe,
                                                          ArgumentosTela{{"NOTA", "1"}}, false, true));
}

QTEST_MAIN(TstTForm)
#include "tst_tform.moc"
