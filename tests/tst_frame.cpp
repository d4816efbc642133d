// The screen frame (Enter as Tab, quotes, closing, arguments), the report-screen frame and a report screen
// built on it (the colour cost report), and the look-up list worked from the keyboard a window of rows at a
// time.
#include "ClassRegistry.h"
#include "DBControls.h"
#include "Funcoes.h"
#include "HostError.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "PaginaConsulta.h"
#include "TClientDataSet.h"
#include "TFmRelatorio.h"
#include "TForm.h"
#include "TPesquisa.h"
#include "TTabela.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QButtonGroup>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
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

const QString kCliente = QStringLiteral("Cliente não cadastrado.");

class RelTeste : public TFmRelatorio {
    Q_OBJECT
public:
    bool pivo = false;
    using TFmRelatorio::TFmRelatorio;
    void FormCreate() override {
        using T = FiltroRelatorio::Tipo;
        rel.filtros = {{.tipo = T::Periodo,
                        .nome = "EdtData",
                        .legenda = "Emissão da Fal",
                        .coluna = "F.DATA_INI",
                        .obrigatorio = true},
                       {.tipo = T::Codigo,
                        .nome = "EdtCodCli",
                        .legenda = "Cliente",
                        .coluna = "F.CLIENTE",
                        .tabela = "ENTIDADE",
                        .chave = "CODCLI",
                        .descricao = "NOME",
                        .recusa = kCliente},
                       {.tipo = T::Lista,
                        .nome = "EdtCores",
                        .legenda = "Cores",
                        .coluna = "F.COR",
                        .tabela = "CADCORTIN",
                        .recusa = "Cor não cadastrada."},
                       {.tipo = T::Opcao,
                        .nome = "rgPartida",
                        .legenda = "Partida",
                        .opcoes = {"Todas", "Com partida"},
                        .textos = {"", " AND F.PARTIDA <> ''"}},
                       {.tipo = T::Marca,
                        .nome = "ChkRecentes",
                        .legenda = "Mais recentes primeiro",
                        .marcador = "ORDEM",
                        .textos = {" DESC"}},
                       {.tipo = T::Faixa,
                        .nome = "EdtOrdem",
                        .legenda = "Prioridade",
                        .coluna = "F.ORDEM",
                        .soCom = {"rgPartida", 1}}};
        rel.sql = "SELECT F.NUMERO, F.CLIENTE, F.COR FROM {FAL} F WHERE 1 = 1 /*FILTROS*/ ORDER BY F.NUMERO "
                  "/*ORDEM*/";
        rel.colunas = {{"NUMERO", "Número"}, {"COR", "Cor"}};
        rel.relatorio = "WTngTeste";
        rel.texto = true;
        if (pivo) {
            rel.camposPivo = [](TClientDataSet& r) {
                r.AddField("CLIENTE", QMetaType::QString, 5).AddField("FALS", QMetaType::Int);
            };
            rel.pivo = [](TDataSet& linhas, TClientDataSet& r) {
                for (linhas.First(); !linhas.Eof(); linhas.Next()) {
                    if (!r.Locate("CLIENTE", {linhas.FieldByName("CLIENTE").AsString()})) {
                        r.Append();
                        r.FieldByName("CLIENTE") = linhas.FieldByName("CLIENTE").AsString();
                        r.FieldByName("FALS") = 0;
                    }
                    r.FieldByName("FALS") = r.FieldByName("FALS").AsInteger() + 1;
                    r.Post();
                }
            };
            rel.colunas.clear();
        }
        AbreRelatorio();
    }
};
} // namespace

class TstFrame : public ScreenTestCase {
    Q_OBJECT

    // "Box=text" typed into the box, any other step a button or radio button clicked.
    void Passos(const QStringList& passos) {
        for (const QString& passo : passos)
            if (passo.contains('='))
                driver->Type(passo.section('=', 0, 0), passo.section('=', 1));
            else
                driver->Click(passo);
    }
    RelTeste* Abre(bool pivo = false) {
        auto* tela = new RelTeste(nullptr);
        tela->pivo = pivo;
        tela->FormCreate();
        tela->show();
        driver->Use(tela);
        return tela;
    }

    // Runs the dialog and, once it shows, presses keys in its filter box: key names ("Down", "PgDown",
    // "Return"...) or, after "=", text typed.
    QString Escolhe(TPesquisa& search, const QString& teclas) {
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* filter = dialog ? dialog->findChild<QLineEdit*>("EdtPesquisa") : nullptr;
            if (!filter) {
                if (dialog)
                    dialog->close();
                return;
            }
            for (const QString& tecla : teclas.split(' ', Qt::SkipEmptyParts))
                if (tecla.startsWith('='))
                    QTest::keyClicks(filter, tecla.mid(1));
                else
                    QTest::keyClick(filter, QKeySequence(tecla)[0].key());
        });
        return search.ExecDialog(nullptr) ? search.Chave() : QString();
    }

    // Phases "000".. in code and description order, two windows and some more; or of other codes and
    // descriptions of :I, the row, and :N, their count.
    int FasesAlemDaJanela(const QString& codigo = "LPAD(:I, 3, '0')",
                          const QString& descricao = "'FASE ' || LPAD(:I, 3, '0')") {
        const int total = 2 * TPesquisa::kJanela + 5;
        SqlCommit(QStringLiteral(
                      "EXECUTE BLOCK AS DECLARE I INTEGER = 0; DECLARE N INTEGER = %1; BEGIN WHILE (I < N) "
                      "DO BEGIN INSERT INTO FASE (CODIGO, DESCRICAO) VALUES (%2, %3); I = I + 1; END END")
                      .arg(QString::number(total), codigo, descricao));
        return total;
    }

    static void fases(TPesquisa& search) {
        search.Tabela = "FASE";
        search.CampoChave = "CODIGO";
        search.Campos = QStringList{"CODIGO", "DESCRICAO"};
    }

    static QString codigo(int n) { return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')); }

    // The rows of the report screen shown as the grid shows them: fields joined by '|'.
    QStringList Mostradas(const QString& campos) {
        TDataSet* dados = static_cast<TFmRelatorio*>(driver->Screen())->Resultado();
        QStringList linhas;
        for (int i = 0; i < dados->RecordCount(); ++i) {
            dados->MoveTo(i);
            QStringList valores;
            for (const QString& campo : campos.split('|'))
                valores << dados->FieldByName(campo).DisplayText();
            linhas << valores.join('|');
        }
        return linhas;
    }

private slots:
    // With key preview or without: Enter leaves a box as Tab does (its exit rule runs), passes a radio group
    // as one stop, and presses the button it lands on. Each opening is published, and let go of once freed.
    void enterMovesOnAndQuotesAreDiscardedWhereAsked() {
        g_closes = 0;
        for (const bool discard : {true, false}) {
            QPointer<Tela> screen = TForm::Create<Tela>(nullptr);
            QCOMPARE(FmTela, screen.data());
            screen->DescartaAspas = discard;
            screen->KeyPreview = discard;
            screen->show();
            QApplication::setActiveWindow(screen);
            driver->Use(screen);
            driver->Focus("EdtSegundo");
            screen->saidas = 0;
            driver->Type("EdtPrimeiro", "Tecelagem D'Ávila \"Sul\"");
            QCOMPARE(driver->Text("EdtPrimeiro"), discard ? QStringLiteral("Tecelagem DÁvila Sul")
                                                          : QStringLiteral("Tecelagem D'Ávila \"Sul\""));
            driver->Press("Enter");
            QCOMPARE(driver->FocusedName(), QStringLiteral("EdtSegundo"));
            QCOMPARE(screen->saidas, 1);
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
            QCOMPARE(g_closes, discard ? 1 : 2); // its close handler ran once
            QVERIFY2(!FmTela, "the instance variable lets go of a freed screen");
        }
    }

    // Closing with edits made since the last save asks once; Cancelar and a refused save keep the screen and
    // what was typed. Where the user typed ("EdtObs", "DBGrid1" or nowhere), the answer (0 Sim, 1 Não,
    // 2 Cancelar), whether the save refuses, whether the screen closes, the saves made.
    void closeAsksToSaveWhatWasTyped() {
        const struct {
            QString onde;
            int resposta;
            bool recusa, fecha;
            int gravacoes;
        } casos[] = {{"", -1, false, true, 0},        {"EdtObs", 0, false, true, 1},
                     {"DBGrid1", 0, false, true, 1},  {"EdtObs", 1, false, true, 0},
                     {"DBGrid1", 2, false, false, 0}, {"EdtObs", 0, true, false, 0}};
        for (const auto& [onde, resposta, recusa, fecha, gravacoes] : casos) {
            g_gravacoes = 0;
            messages.Clear();
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
            if (screen) {
                QCOMPARE(onde == "EdtObs" ? screen->obs->text()
                                          : screen->itens->FieldByName("NOME").AsString(),
                         onde == "EdtObs" ? QString("Urgente") : QString("Verde"));
                delete screen;
            }
        }
    }

    // The text argument of the old call is the screen's first declared one; a name it does not declare is
    // refused before anything is created.
    void argumentsReachTheScreenThatDeclaresThem() {
        const QString classe = QStringLiteral("TTelaArgumentos");
        ScreenInfo info{classe, QStringLiteral("Argumentos"), {}, ScreenKind::Dialog, 0, {"FAL", "CLIENTE"}};
        RegisterClass(info,
                      [](QWidget* parent) -> QWidget* { return TForm::Create<TelaArgumentos>(parent); });
        const auto fim = qScopeGuard([&] { UnRegisterClass(classe); });
        for (const ArgumentosTela& passados :
             {ArgumentosTela{}, {{"FAL", "000123"}, {"CLIENTE", "000045"}}}) {
            g_recebidos = {{"nada", 0}}; // none passed: none received
            std::unique_ptr<QWidget> tela(Carrega_Form("kelmTingimento.bpl", classe, passados, false, true));
            QCOMPARE(g_recebidos, (passados.isEmpty() ? ArgumentosTela{{"nada", 0}} : passados));
        }
        std::unique_ptr<QWidget> tela(
            Carrega_Form("kelmTingimento.bpl", classe, QStringLiteral("000777"), false, true));
        QCOMPARE(g_recebidos, (ArgumentosTela{{"FAL", "000777"}}));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, Carrega_Form("kelmTingimento.bpl", classe,
                                                              ArgumentosTela{{"NOTA", "1"}}, false, true));
    }

    void failedCreationLeavesNoSharedTableOpen() {
        TabelaAberta mine = TTabela::AbreTabela(QStringLiteral("tbBanho")); // another screen's
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TForm::Create<TelaFalha>(nullptr));
        QVERIFY(!TTabela::Tabela(QStringLiteral("tbFase")));
        QCOMPARE(TTabela::Tabela(QStringLiteral("tbBanho")), mine.get());
        mine.Fecha();
        QVERIFY(!TTabela::Tabela(QStringLiteral("tbBanho")));
    }

    // The boxes typed ("box=text", in order), a radio or check box clicked, the rows shown, the message.
    void filtersMakeOneStatementAndPrints() {
        Insert("ENTIDADE (CODCLI, NOME)", {"'00001', 'Malharia Sul'", "'00002', 'Tecelagem Norte'"});
        Insert("CADCORTIN (CODIGO, DESCRICAO)", {"'C1', 'Cor C1'", "'C2', 'Cor C2'", "'C3', 'Cor C3'"});
        InsertCommit("FAL (NUMERO, CLIENTE, COR, DATA_INI, PARTIDA, ORDEM)",
                     {"'0001', '00001', 'C1', '2026-01-05', '000010', 1",
                      "'0002', '00002', 'C2', '2026-01-20', '', 2",
                      "'0003', '00001', 'C3', '2026-02-03', '000011', 3",
                      "'0004', '00001', 'C1', '2026-03-01', '000012', 4"});
        const QStringList janeiro = {"EdtDataIni=01/01/2026", "EdtDataFim=31/01/2026"};
        const QStringList ano = {"EdtDataIni=01/01/2026", "EdtDataFim=31/12/2026"};
        const QStringList comPartida = ano + QStringList{"rgPartida1"};
        const struct {
            QStringList passos; // "box=text" typed, a name alone clicked
            QStringList numeros;
            QString mensagem;
        } casos[] = {
            {janeiro, {"0001", "0002"}, ""},
            {ano + QStringList{"EdtCodCli=00001"}, {"0001", "0003", "0004"}, ""},
            {ano + QStringList{"EdtCodCli=A' OR '1'='1"}, {}, kCliente}, // quotes refused
            {ano + QStringList{"EdtCores=C1, C3,,C1"}, {"0001", "0003", "0004"}, ""},
            {ano + QStringList{"EdtCores=C1, C9"}, {}, "Cor não cadastrada."},
            {janeiro + QStringList{"rgPartida1"}, {"0001"}, ""},                      // with a dye lot
            {ano + QStringList{"ChkRecentes"}, {"0004", "0003", "0002", "0001"}, ""}, // the latest first
            // A range only while its option is chosen, each bound above 0 alone, typed as shown.
            {comPartida + QStringList{"EdtOrdemIni=1,2", "EdtOrdemFim=3"}, {"0003"}, ""},
            {comPartida + QStringList{"EdtOrdemIni=0", "EdtOrdemFim=3"}, {"0001", "0003"}, ""},
            {comPartida + QStringList{"EdtOrdemIni=2", "rgPartida0"}, {"0001", "0002", "0003", "0004"}, ""},
            {comPartida + QStringList{"EdtOrdemFim=3x"}, {}, "Prioridade: \"3x\" não é um número válido."},
            {{"EdtDataIni=31/02/2026", "EdtDataFim=31/12/2026"},
             {},
             "Emissão da Fal: \"31/02/2026\" não é uma data válida."},
            {{}, {}, "Informe o período: Emissão da Fal."}};
        for (const auto& [passos, numeros, mensagem] : casos) {
            std::unique_ptr<RelTeste> tela(Abre());
            QVERIFY(!driver->Enabled("EdtOrdemIni"));
            Passos(passos);
            QCOMPARE(ClickMessages("BitBtn1"), mensagem);
            QCOMPARE(FieldTexts("TbResultado", "NUMERO"), numeros);
            QCOMPARE(driver->Enabled("BtImp"), !numeros.isEmpty());
        }

        // A pivot folds the rows into its own; graphic and text prints carry every row.
        const ReportFolder pasta;
        std::unique_ptr<RelTeste> tela(Abre(true));
        driver->Type("EdtDataIni", "01/01/2026");
        driver->Type("EdtDataFim", "31/12/2026");
        driver->Click("BitBtn1");
        QCOMPARE(FieldTexts("TbResultado", "CLIENTE|FALS"), (QStringList{"00001|3", "00002|1"}));
        driver->Click("BtImp"); // graphic and text at once, unasked, into the report folder
        QVERIFY(QFileInfo(pasta.Path("WTngTeste.pdf")).size() > 0);
        QFile texto(pasta.Path("WTngTeste.txt"));
        QVERIFY(texto.open(QIODevice::ReadOnly));
        const QString impresso = QString::fromUtf8(texto.readAll());
        QVERIFY2(impresso.contains("00001") && impresso.contains("00002"), qPrintable(impresso));
        // Under the filters the rows were read with.
        QVERIFY2(impresso.contains("01/01/2026 até 31/12/2026"), qPrintable(impresso));
    }

    // The colour cost report on the demo (region 01: a minute 1,85 over 600 kg; 02: over 900 kg), with a
    // curve whose time reads "abc", a screen 1,5 mm thick and a price for the floral print. Prints by hand:
    // 08 is (1764 × 0,08 + 5172 × 0,05 + 5111 × 0,02) / 1000 and 09 (5111 × 0,06 + 5172 × 0,06 + 1764 × 0,03)
    // / 1000, P0203, P0201 and P0202 being 1764, 5172 and 5111 of replacement cost per kilogram, in
    // thousandths.
    void colourCostReport() {
        CarregaDemo();
        SqlCommit(
            {"UPDATE GRAFICO SET TEMPO = 'abc' WHERE CODIGO = '002'",
             "UPDATE QUADRO SET ESPESSURA = '1,5 mm' WHERE CODIGO = 'QD003'",
             "INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, CODIGO) VALUES ('01', '0000000008', "
             "'01', 2.5, '')"});
        const QStringList cores01 = {"EdtCodTab=01", "EdtVar=01"}, estampas = {"EdtCodTab=01", "RgBusca1"};
        const QString f08 = "|0000000008|01|3|0,90|0,5019||0,0000|0,5019|2,50|79,92";
        const QString f09 = "|0000000009|01|3|1,30|0,6699||0,0000|0,6699||";
        const struct {
            QStringList passos; // "box=text" typed, a name alone clicked
            int quantas;
            QStringList
                primeiras; // "CODIGO|COR|VARIANTE|NR_QUADRO|ESP_QUADRO|CUSTO|MINUTOS|CUSTO_TEMPO|TOTAL|PRECO|MARGEM"
            QString mensagem;
        } casos[] = {
            {cores01, 7, {"0001|0000000001|01|||2,3800|270|0,8325|3,2125|14,50|77,84"}, ""},
            // A product's own price in region 02 does not repeat the colour.
            {{"EdtCodTab=02", "EdtVar=01, 03"},
             14,
             {"0001|0000000001|01|||2,3800|270|0,5550|2,9350|13,70|78,58"},
             ""},
            {{"EdtCodTab=02", "EdtVar=01", "CbPreco"},
             2,
             {"0001|0000000001|01|||2,3800|270|0,5550|2,9350|13,70|78,58"},
             ""},
            {{"EdtCodTab=01", "EdtVar=02"}, 7, {"0005|0000000001|02|||1,1300||0,0000|1,1300|9,62|88,25"}, ""},
            {{"EdtCodTab=01", "EdtVar=01, 0'1"}, 0, {}, "Variante não cadastrada."},
            {{"EdtVar=01"}, 0, {}, "Informe Tabela."},
            {estampas, 2, {f08, f09}, ""},
            {estampas + QStringList{"EdtVar=02"}, 0, {}, ""},
            {estampas + QStringList{"CbPreco"}, 1, {f08}, ""},
            {estampas + QStringList{"EdtQuadroIni=0", "EdtQuadroFim=3", "EdtCustoFim=0,6"}, 1, {f08}, ""},
            {estampas + QStringList{"EdtEspIni=1,3", "EdtCustoIni=0,6699"}, 1, {f09}, ""},
            {estampas + QStringList{"EdtQuadroIni=4"}, 0, {}, ""},
            {estampas + QStringList{"EdtEspFim=1,2x"},
             0,
             {},
             "Espessura/Cobertura: \"1,2x\" não é um número válido."},
            // The ranges leave with the prints.
            {cores01 + QStringList{"RgBusca1", "EdtCustoFim=0,6", "RgBusca0"}, 7, {}, ""}};
        for (const auto& [passos, quantas, primeiras, mensagem] : casos) {
            driver->Open("TFmRelCustoCor");
            QVERIFY(!driver->Enabled("EdtQuadroIni") && !driver->Enabled("EdtCustoFim"));
            Passos(passos);
            QCOMPARE(ClickMessages("BitBtn1"), mensagem);
            const QStringList linhas = Mostradas(
                "CODIGO|COR|VARIANTE|NR_QUADRO|ESP_QUADRO|CUSTO|MINUTOS|CUSTO_TEMPO|TOTAL|PRECO|MARGEM");
            QCOMPARE(linhas.size(), quantas);
            QCOMPARE(linhas.mid(0, primeiras.size()), primeiras);
            driver->Close();
        }

        // The print carries the region, the choice and a row's figures.
        if (!CanReadPdf())
            return;
        const ReportFolder pasta;
        driver->Open("TFmRelCustoCor");
        driver->Type("EdtCodTab", "01");
        driver->Click("RgBusca1");
        driver->Click("BitBtn1");
        driver->Click("BtImp");
        const QString impresso = pasta.Text("WTngCustoCor.pdf");
        for (const char* texto : {"01 - TABELA PADRÃO", "Estampas", "0000000008", "0,5019", "2,50", "79,92"})
            QVERIFY2(impresso.contains(QString::fromUtf8(texto)), qPrintable(impresso));
    }

    void keysMoveTheListWhileTheFilterHasTheFocusAWindowOfRowsAtATime() {
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARACAO'", "'02', 'TINGIMENTO'",
                                                  "'03', 'TINTURA REATIVA'", "'04', 'SECAGEM'"});
        TPesquisa search;
        fases(search);
        // Listed by description: PREPARACAO, SECAGEM, TINGIMENTO, TINTURA REATIVA.
        QCOMPARE(Escolhe(search, "Down Down Up Return"), "04");
        QCOMPARE(Escolhe(search, "=TIN Down Return"), "03");
        QCOMPARE(Escolhe(search, "PgDown Return"), "03");
        QCOMPARE(Escolhe(search, "Esc"), QString());
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'05', 'ÁGUA QUENTE'"});
        QCOMPARE(Escolhe(search, "=agua Return"), "05"); // typed without its accent

        // The service prices are looked up by customer, a customer having a row per phase: the row chosen is
        // the one the user is on.
        InsertCommit("TABPRE_SERV_001 (CODCLI, FASE, CUSTO)",
                     {"'00001', 'F01', 10", "'00001', 'F02', 20", "'00002', 'F01', 30"});
        TPesquisa precos;
        precos.Tabela = "TABPRE_SERV_001";
        precos.CampoChave = "CODCLI";
        precos.Campos = QStringList{"CODCLI", "FASE", "CUSTO"};
        precos.OrdenarPor = "CODCLI, FASE";
        QCOMPARE(Escolhe(precos, "Down Return"), QStringLiteral("00001"));
        QCOMPARE(precos.RetornoPesquisa("FASE").toString(), QStringLiteral("F02"));

        // A window of rows at a time, in the list's order.
        Sql("DELETE FROM FASE");
        const int total = FasesAlemDaJanela();
        search.ContaNaJanela = true; // the count comes with the first window, the next ones are read alike
        TZoQuery* rows = search.Busca(QString());
        QCOMPARE(rows->RecordCount(), TPesquisa::kJanela);
        QCOMPARE(search.Total(), total);
        QVERIFY(search.BuscaMais() && search.BuscaMais());
        QVERIFY(!search.BuscaMais()); // the third window was not full: nothing is left
        QCOMPARE(rows->RecordCount(), total);
        for (int i = 0; i < total; ++i)
            QCOMPARE(rows->ValueAt(i, 0).toString(), codigo(i));
        QCOMPARE(rows->RecNo(), 0); // the cursor stays on the row the user was on

        // A screen's consult page reads as the list does: a window, the count of every row under its filter,
        // more as it scrolls; Enter loads the row under the cursor.
        QWidget tela;
        tela.resize(400, 300);
        auto* grade = new TZoDBGrid(&tela);
        grade->resize(400, 300);
        auto* contagem = new QLabel(&tela);
        PaginaConsulta pagina(&tela, grade, contagem);
        fases(pagina.pesquisa);
        pagina.pesquisa.Filtro = "CODIGO >= " + Aspas(codigo(5));
        QString aberta;
        pagina.abre = [&] { aberta = pagina.Linhas()->FieldByName("CODIGO").AsString(); };
        pagina.Consulta();
        QCOMPARE(contagem->text(), QStringLiteral("%1 linha(s)").arg(total - 5));
        QCOMPARE(pagina.Linhas()->RecordCount(), TPesquisa::kJanela);
        tela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tela));
        grade->verticalScrollBar()->setValue(grade->verticalScrollBar()->maximum());
        QVERIFY(pagina.Linhas()->RecordCount() > TPesquisa::kJanela);
        grade->setFocus();
        grade->setCurrentIndex(grade->model()->index(3, 0));
        QTest::keyClick(grade, Qt::Key_Return);
        QCOMPARE(aberta, codigo(8));
        // A print reads every row left in one statement, not the rows before each window again.
        pagina.Consulta();
        const quint64 antes = db->StatementCount();
        pagina.LeTudo();
        QCOMPARE(db->StatementCount() - antes, quint64(1));
        QCOMPARE(pagina.Linhas()->RecordCount(), total - 5);

        // Typing searches every row, not the window fetched.
        rows = search.Busca(QStringLiteral("fase 20"));
        QCOMPARE(rows->RecordCount(), 5);
        QCOMPARE(rows->ValueAt(4, 0).toString(), codigo(204));
        QVERIFY(!search.BuscaMais());

        // A key beyond the window is still chosen, under the list's own condition; scrolling to the end of
        // the list brings the next rows.
        TPesquisa escolha;
        fases(escolha);
        escolha.Filtro = QStringLiteral("CODIGO <> '000'");
        QVERIFY(escolha.Escolhe(codigo(total - 1)));
        QCOMPARE(escolha.RetornoPesquisa("DESCRICAO").toString(),
                 QStringLiteral("FASE ") + codigo(total - 1));
        QVERIFY(!escolha.Escolhe("000") && !escolha.Escolhe("999"));
        escolha.Filtro.clear();
        QCOMPARE(Escolhe(escolha, QStringLiteral("PgDown ").repeated(total) + "Return"), codigo(total - 1));

        // Rows tied on the order cross the windows each once, in key order.
        Sql("DELETE FROM FASE");
        FasesAlemDaJanela("LPAD(MOD(:I * 7, :N), 3, '0')", "'TINGIMENTO'");
        rows = search.Busca(QString());
        while (search.BuscaMais()) {
        }
        QCOMPARE(rows->RecordCount(), total);
        for (int i = 0; i < total; ++i)
            QCOMPARE(rows->ValueAt(i, 0).toString(), codigo(i));
    }
};

QTEST_MAIN(TstFrame)
#include "tst_frame.moc"
