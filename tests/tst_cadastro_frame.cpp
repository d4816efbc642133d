// The module package; what every registry screen gets from the registry frame; the colour registry's code
// boxes, display colour and picture; the service price table.
#include "ClassRegistry.h"
#include "Funcoes.h"
#include "HostError.h"
#include "ModuleLoader.h"
#include "TTabela.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLibrary>
#include <QPointer>
#include <QTest>

namespace {
struct Tela {
    const char *row, *screen, *codeBox, *table, *code, *descriptionBox, *description;
    bool proposesCode; // leaving the empty code box fills it with the next code
    const char* blankCodeText;
    bool deleteDefaultYes;
    const char *logTitle, *inclusionText, *exclusionText, *logName; // no title: no audit log
};
const char* const kBlank = "É necessário preencher o campo de código.";
const Tela kTelas[] = {
    {"banho", "TFmBanho", "EdtCodBanho", "BANHO", "01", "EdtDesBanho", "BANHO D'ÁVILA", false, kBlank, true,
     "", "", "", ""},
    {"variante", "TFmvariante", "EdtCodVariante", "VARIANTE", "01", "EdtDesVariante", "ALGODAO", true, kBlank,
     false, "", "", "", ""},
    {"tipotin", "TfmTipoTin", "EdtCodTipo", "TIPO_TING", "C", "EdtDesTipo", "CORANTE", false, kBlank, true,
     "", "", "", ""},
    {"fase", "TfmFase", "EdtCodFase", "FASE", "01", "EdtDesFase", "PREPARACAO", true, kBlank, false,
     "CADASTRO DE FASE", "INCLUSAO DA FASE ", "EXCLUSAO DA FASE ", "01"},
    {"corting", "TFmCadCorTing", "EdtCodigo", "CADCORTIN", "0000000001", "EdtDescricao", "Azul D'Ávila", true,
     "Código da cor inválido.", true, "CADASTRO DE COR TINGIMENTO",
     "INCLUSAO DA COR: ", "EXCLUSAO DA COR: ", "0000000001 - Azul D'Ávila"},
    {"maquina", "TFmMaquinaTin", "Edtcodmaq", "MAQ_TIN", "01", "EdtDesMaq", "JET 01", true, kBlank, false,
     "CADASTRO DE MAQUINA", "INCLUSAO DA MAQUINA ", "EXCLUSAO DA MAQUINA ", "01"},
    {"grafico", "TfmTngGrafico", "EdtCodigo", "GRAFICO", "001", "EdtDescricao", "REATIVO D'ÁVILA", true,
     kBlank, false, "CADASTRO DE GRAFICO", "INCLUSAO DO GRAFICO ", "EXCLUSAO DO GRAFICO ", "001"},
};
} // namespace

class TstCadastroFrame : public ScreenTestCase {
    Q_OBJECT
    // The colour screen looks for pictures under Cores: not in the settings of whoever runs the tests.
    const SettingsFile settings{"[Caminho]\npath=%1\n"};

    int LogRows() { return Scalar("SELECT COUNT(*) FROM LOG").toInt(); }
    void SavePicture(const QString& path, Qt::GlobalColor color) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(color);
        QVERIFY(image.save(path));
    }
    bool HasPicture() { return !driver->Get<QLabel>("ImgCor")->pixmap().isNull(); }
    QStringList Precos() {
        return RowsSeenByOthers(
            "SELECT CODCLI, FASE, CLIENTE, DESCRICAO, CUSTO FROM TABPRE_SERV_001 ORDER BY CODCLI, FASE");
    }

private slots:
    void initTestCase() {
        ScreenTestCase::initTestCase();
        QVERIFY(QDir().mkpath(settings.Path("Cores")));
    }

    void registryFrame_data() {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(kTelas)); ++i)
            QTest::newRow(kTelas[i].row) << i;
    }

    // An inclusion and its delete, asked and audited; blank and repeated codes refused, writing nothing.
    void registryFrame() {
        QFETCH(int, i);
        const Tela& t = kTelas[i];
        const QString code = t.code, description = QString::fromUtf8(t.description),
                      title = QString::fromUtf8(t.logTitle), name = QString::fromUtf8(t.logName);
        const QStringList audits =
            title.isEmpty()
                ? QStringList()
                : QStringList{title + '|' + QString::fromUtf8(t.inclusionText) + name + "|0|" + code,
                              title + '|' + QString::fromUtf8(t.exclusionText) + name + "|2|" + code};
        driver->Open(t.screen);
        driver->Click("BtIncluir");
        driver->Type(t.codeBox, code);
        driver->Type(t.descriptionBox, description);
        driver->Click("SbConfirmar");
        QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.Texts().join('|')));
        QCOMPARE(Count(t.table, "CODIGO = " + Aspas(code) + " AND DESCRICAO = " + Aspas(description)), 1);
        QCOMPARE(AuditRows(), audits.mid(0, 1));

        // The delete asks; unanswered, the preselected button decides.
        ClickAndAnswer("BtExcluir", false);
        QCOMPARE(Count(t.table), 1);
        driver->Click("BtExcluir");
        QVERIFY(!messages.shown.last().answered);
        QCOMPARE(Count(t.table), t.deleteDefaultYes ? 0 : 1);
        if (!t.deleteDefaultYes)
            ClickAndAnswer("BtExcluir", true);
        QCOMPARE(Count(t.table), 0);
        QCOMPARE(AuditRows(), audits);

        for (const QString& typed : {QString(), QStringLiteral("   ")}) {
            messages.Clear();
            driver->Click("BtIncluir");
            if (!typed.isEmpty())
                driver->Type(t.codeBox, typed);
            // Leaving an empty code box would fill it: the shortcut confirms from inside it.
            if (t.proposesCode)
                driver->Activate("SbConfirmar");
            else
                driver->Click("SbConfirmar");
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8(t.blankCodeText)});
            QCOMPARE(driver->FocusedName(), QString::fromUtf8(t.codeBox));
            QVERIFY(driver->Visible("PainelConfirma"));
            driver->Click("BtDesistir");
        }
        QCOMPARE(Count(t.table), 0);

        SqlCommit(QStringLiteral("INSERT INTO %1 (CODIGO, DESCRICAO) VALUES (%2, 'EXISTENTE')")
                      .arg(t.table, Aspas(code)));
        messages.Clear();
        driver->Click("BtIncluir");
        driver->Type(t.codeBox, code);
        driver->Type(t.descriptionBox, description);
        QCOMPARE(ClickMessages("SbConfirmar"), "Este código já existe. Digite um outro.");
        QCOMPARE(driver->FocusedName(), QString::fromUtf8(t.codeBox));
        driver->Click("BtDesistir");
        QCOMPARE(Count(t.table, "DESCRICAO = 'EXISTENTE'"), 1);
        QCOMPARE(AuditRows(), audits);

        // Leaving the empty code box proposes the next code; Desist spends none.
        if (!t.proposesCode)
            return;
        driver->Click("BtIncluir");
        driver->Focus("BtDesistir");
        QCOMPARE(driver->Text(t.codeBox), QString());
        driver->Click("BtDesistir");
        driver->Click("BtIncluir");
        driver->Press("Tab");
        QCOMPARE(driver->Text(t.codeBox), QString::number(code.toInt() + 1).rightJustified(code.size(), '0'));
    }

    // A record others refer to is not deleted, with no question and no audit row; once nothing refers to it,
    // it goes. A phase that is its own group does not keep itself. The table, and what makes its record used.
    void recordStillUsedIsNotDeleted() {
        const QMap<QString, QStringList> telas = {
            {"BANHO", {"TFmBanho", "Banho está sendo utilizado."}},
            {"VARIANTE", {"TFmvariante", "Variante está sendo utilizada."}},
            {"FASE", {"TfmFase", "Fase está sendo utilizada."}},
            {"CADCORTIN", {"TFmCadCorTing", "Cor está sendo utilizada."}},
            {"GRAFICO", {"TfmTngGrafico", "Gráfico está sendo utilizado."}}};
        const std::pair<QString, const char*> casos[] = {
            {"BANHO", "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO) VALUES ('01', 'JET', '01')"},
            {"BANHO", "INSERT INTO MAQ_TIN_CAP VALUES (1, '09', '02', 0, 1, 0, 1, '01')"},
            {"VARIANTE", "INSERT INTO MAQ_TIN_CAP VALUES (1, '09', '01', 0, 1, 0, 1, '')"},
            {"VARIANTE", "INSERT INTO FAL (NUMERO, VARIANTE) VALUES ('1', '01')"},
            {"FASE",
             "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('000001', 'TINTO', 1, '01')"},
            {"FASE", "INSERT INTO FASE (CODIGO, DESCRICAO, GRUPO) VALUES ('02', 'X', '01')"},
            {"FASE", "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, FASE) VALUES ('01', 'JET', '01')"},
            {"CADCORTIN", "INSERT INTO FAL (NUMERO, COR) VALUES ('1', '01')"},
            {"CADCORTIN", "INSERT INTO RECEITA (CODIGO, VARIANTE, COR) VALUES ('0001', '01', '01')"},
            {"GRAFICO", "INSERT INTO RECEITA (CODIGO, VARIANTE, GRAFICO) VALUES ('0001', '01', '01')"},
            {"GRAFICO", "INSERT INTO PROCESSO_TIN (FAL, GRAFICO) VALUES ('0000001', '01')"}};
        for (const auto& [tabela, uso] : casos) {
            Sql(QStringLiteral("INSERT INTO %1 (CODIGO, DESCRICAO) VALUES ('01', 'USADO')").arg(tabela));
            if (tabela == "FASE")
                Sql("UPDATE FASE SET GRUPO = '01' WHERE CODIGO = '01'");
            SqlCommit(uso);
            const int logs = LogRows();
            driver->Open(telas[tabela][0]);
            messages.Clear();
            ClickAndAnswer("BtExcluir", true);
            QCOMPARE(messages.Texts(), QStringList{telas[tabela][1]});
            QVERIFY2(messages.questions.size() == 1, uso); // never asked
            QVERIFY2(Count(tabela, "CODIGO = '01'") == 1, uso);
            QCOMPARE(LogRows(), logs);

            for (const char* table : {"MAQ_TIN", "MAQ_TIN_CAP", "FAL", "ROTEIRO", "RECEITA", "PROCESSO_TIN"})
                Sql(QStringLiteral("DELETE FROM %1").arg(table));
            SqlCommit("DELETE FROM FASE WHERE CODIGO <> '01'");
            messages.Clear();
            ClickAndAnswer("BtExcluir", true);
            QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
            QVERIFY2(Count(tabela, "CODIGO = '01'") == 0, uso);
            driver->Close();
        }
    }

    // A refused post or delete leaves no audit row. Two users typing the same new code: the check passes for
    // both, and the second one's post fails on the key. A group typed and confirmed at once is checked all
    // the same, and said once.
    void phaseRefusalsAndGroup() {
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARACAO'", "'02', 'TINGIMENTO'"});
        driver->Open("TfmFase");
        driver->Click("BtIncluir");
        driver->Type("EdtCodFase", "05");
        driver->Type("EdtDesFase", "lavagem");
        TTabela::Tabela("TbFase")->BeforePost = [](TDataSet&) { throw EAbort(); };
        driver->Click("SbConfirmar");
        QCOMPARE(LogRows(), 0);
        auto other = OpenSecond("kelm-test-other");
        TTabela::Tabela("TbFase")->BeforePost = [&other](TDataSet&) {
            SqlOn(*other, "INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('05', 'DELE')");
            other->Transaction()->CommitRetaining();
        };
        driver->Click("SbConfirmar");
        TTabela::Tabela("TbFase")->BeforePost = nullptr;
        QCOMPARE(TakeMessages(), "Este código já existe. Digite um outro.");
        QCOMPARE(driver->FocusedName(), "EdtCodFase");
        QCOMPARE(LogRows(), 0);
        driver->Type("EdtCodFase", "06");
        driver->Click("SbConfirmar");
        QCOMPARE(Count("FASE", "CODIGO = '06' AND DESCRICAO = 'LAVAGEM'"), 1);
        QCOMPARE(LogRows(), 1);

        TTabela::Tabela("TbFase")->BeforeDelete = [](TDataSet&) { throw EAbort(); };
        ClickAndAnswer("BtExcluir", true);
        TTabela::Tabela("TbFase")->BeforeDelete = nullptr;
        QCOMPARE(Count("FASE", "CODIGO = '06'"), 1);
        QCOMPARE(LogRows(), 1);

        driver->Click("BtnAltera");
        driver->Type("EdtGrupo", "77");
        QCOMPARE(ClickMessages("SbConfirmar"), "Grupo Inválido.");
        QCOMPARE(driver->FocusedName(), "EdtGrupo");
        QVERIFY(driver->Visible("PainelConfirma"));
        driver->Type("EdtGrupo", "02");
        driver->Click("SbConfirmar");
        QCOMPARE(Count("FASE", "GRUPO = '02'"), 1);
    }

    void packageRegistersEachUnitOnceAndUnregistersAtZero() {
        QLibrary library(ModuleLoader::Locate("kelmTingimento"));
        QVERIFY(library.load());
        using Entry = void (*)();
        auto load = reinterpret_cast<Entry>(library.resolve("kelmModuleLoad"));
        auto unload = reinterpret_cast<Entry>(library.resolve("kelmModuleUnload"));
        auto count = reinterpret_cast<int (*)(const char*)>(library.resolve("kelmUnitCount"));
        QVERIFY(load && unload && count);
        load();
        QCOMPARE(count("CadBanho"), 2);
        QCOMPARE(RegisteredClasses().count("TFmBanho"), 1);
        unload();
        QVERIFY(ClassRegistered("TFmBanho"));
        unload();
        QVERIFY(!ClassRegistered("TFmBanho"));
        unload(); // a further unload does not go below zero
        QCOMPARE(count("CadBanho"), 0);
        load();
        QVERIFY(ClassRegistered("TFmBanho"));
        library.unload();
    }

    void bathAlterationDesistDeleteCloseAndInclusion() {
        InsertCommit("BANHO (CODIGO, DESCRICAO, PROPORCAO)", {"'01', 'CURTO', 6", "'02', 'LONGO', 10"});
        driver->Open("TFmBanho");
        driver->Click("BtnAltera");
        QVERIFY(!driver->Enabled("EdtCodBanho"));
        driver->Type("EdtDesBanho", "curto d'ávila"); // in capitals, with its apostrophe
        driver->Click("SbConfirmar");
        QVERIFY(messages.shown.isEmpty()); // the existing code is not a duplicate of itself
        QCOMPARE(Count("BANHO", "CODIGO = '01' AND DESCRICAO = 'CURTO D''ÁVILA'"), 1);

        driver->Click("sbUltimo");
        driver->Click("BtnAltera");
        driver->Type("EdtDesBanho", "desistido");
        driver->Click("BtDesistir");
        QCOMPARE(driver->Text("EdtDesBanho"), "LONGO");
        driver->Click("BtIncluir"); // the code box is writable again for the next inclusion
        QVERIFY(driver->Enabled("EdtCodBanho"));
        driver->Click("BtDesistir");

        driver->Click("sbPrimeiro");
        ClickAndAnswer("BtExcluir", true);
        QCOMPARE(Count("BANHO"), 1);
        QCOMPARE(driver->Text("EdtCodBanho"), "02"); // the next record shows

        // Closing mid-edit discards the edit, frees the screen and lets go of the shared data set.
        QPointer<QWidget> first = driver->Screen();
        driver->Click("BtnAltera");
        driver->Type("EdtDesBanho", "NAO GRAVAR");
        driver->Close();
        QVERIFY(first.isNull());
        QVERIFY(!TTabela::Tabela("tbBanho"));
        QCOMPARE(Count("BANHO", "DESCRICAO = 'NAO GRAVAR'"), 0);
        driver->Open("TFmBanho");
        QCOMPARE(driver->Text("EdtDesBanho"), "LONGO");

        // Characters outside the basic plane are one character each for the box's limit, as for the column.
        // A description holds its width in any character; a negative bath ratio is refused at the box, a
        // ratio with a decimal comma taken, and Tab goes on to Confirm.
        const QString clave = QString::fromUcs4(U"\U0001D11E"), cheia = clave.repeated(50); // VARCHAR(50)
        driver->Click("BtIncluir");
        driver->Type("EdtCodBanho", "01");
        driver->Type("EdtDesBanho", cheia + clave);
        QCOMPARE(driver->Text("EdtDesBanho"), cheia);
        driver->Type("EdtProporcao", "-2");
        driver->Click("SbConfirmar");
        QVERIFY2(messages.LastText().contains("Litros por kg"), qPrintable(messages.LastText()));
        QCOMPARE(driver->FocusedName(), "EdtProporcao");
        QCOMPARE(Count("BANHO"), 1);
        TypeAndTab("EdtProporcao", "8,5");
        QCOMPARE(driver->FocusedName(), "SbConfirmar");
        driver->Click("SbConfirmar");
        QCOMPARE(Seen("SELECT DESCRICAO, PROPORCAO FROM BANHO WHERE CODIGO = '01'"), cheia + "|8.5");
    }

    void confirmRefusesCodesThatDoNotExist() {
        Insert("GRUPO_COR (CODIGO, DESCRICAO)", {"'0001', 'CLARAS'", "'0002', 'ESCURAS'"});
        Insert("TABFIS (CODIGO, DESCRICAO, PADRAO)",
               {"'001', 'MALHA CRUA', 'S'", "'002', 'MALHA TINTA', 'N'"});
        Insert("TABTRI (CODIGO, DESCRICAO)", {"'000', 'TRIBUTADA INTEGRALMENTE'", "'040', 'ISENTA'"});
        SqlCommit("INSERT INTO CADCORTIN (CODIGO, DESCRICAO, COD_GRUPO, COD_CLAFIS, COD_CLATRIB, TON) "
                  "VALUES ('0000000001', 'CINZA', '0001', '001', '000', 'Clara')");
        driver->Open("TFmCadCorTing");
        const struct {
            const char *box, *wrong, *right, *text;
        } cases[] = {
            {"EdtCodGrupo", "0009", "0002", "Grupo inválido."},
            {"EdtClaFis", "009", "002", "Classificação fiscal inválida."},
            {"EdtClaTrib", "009", "040", "Situação tributária inválida."},
        };
        driver->Click("BtnAltera");
        for (const auto& c : cases) {
            TypeAndTab(c.box, c.wrong); // leaving the box refuses it
            QCOMPARE(messages.LastText(), QString::fromUtf8(c.text));
            QCOMPARE(driver->FocusedName(), QString::fromLatin1(c.box));
            messages.Clear();
            driver->Activate("SbConfirmar"); // and so does the shortcut, without leaving it
            QCOMPARE(TakeMessages(), QString::fromUtf8(c.text));
            QVERIFY(driver->Visible("PainelConfirma"));
            QCOMPARE(Count("CADCORTIN", "COD_GRUPO = '0001' AND COD_CLAFIS = '001' AND COD_CLATRIB = '000'"),
                     1);
            driver->Type(c.box, c.right);
        }
        driver->Type("EdtClaTrib", ""); // an empty code is no code: allowed
        driver->Activate("SbConfirmar");
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(Count("CADCORTIN", "COD_GRUPO = '0002' AND COD_CLAFIS = '002' AND "
                                    "(COD_CLATRIB IS NULL OR COD_CLATRIB = '')"),
                 1);

        // A new colour takes the first group and a light tone, a tax code from its look-up and a display
        // colour from the list.
        driver->Click("BtIncluir");
        driver->Press("Enter"); // past the code proposed
        driver->Type("EdtDescricao", "VERDE");
        messages.searches.enqueue("040");
        driver->Press("F4", "EdtClaTrib");
        QCOMPARE(driver->Text("EdtDesClaTrib"), "ISENTA");
        driver->Select("CbCorSis", "Verde");
        driver->Click("SbConfirmar");
        QCOMPARE(Seen("SELECT TON, COR_SIS, COD_GRUPO, COD_CLATRIB FROM CADCORTIN WHERE DESCRICAO = 'VERDE'"),
                 "Clara|32768|0001|040");
    }

    // A stored colour outside the list shows as itself, zero as black; the picture follows the colour's code.
    // The dialog's colour is stored as a number, shown under its name when the list has it; a colour saved
    // again untouched stays, and "Nenhuma" stores none.
    void colourAndPicture() {
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO, COR_SIS, TON)",
                     {"'0000000001', 'ANIL', 2003199, 'Clara'", "'0000000002', 'PRETO', 0, 'Clara'"});
        SavePicture(settings.Path("Cores/0000000001.png"), Qt::red);
        driver->Open("TFmCadCorTing");
        QCOMPARE(driver->Text("CbCorSis"), "#1E90FF");
        QVERIFY(HasPicture());
        driver->Click("sbProximo");
        QCOMPARE(driver->Text("CbCorSis"), "Preto");
        QVERIFY(!HasPicture());

        const QString source = settings.Path("escolhida.png");
        SavePicture(source, Qt::blue);
        messages.files.enqueue(source);
        driver->Click("BtImagem");
        QVERIFY(QFile::exists(settings.Path("Cores/0000000002.png")));
        driver->Click("sbPrimeiro");
        driver->Click("sbProximo");
        QVERIFY(HasPicture());
        messages.files.enqueue(settings.Path("nao-existe.png"));
        QCOMPARE(ClickMessages("BtImagem"), "Não foi possível gravar a imagem da cor.");

        driver->Click("BtnAltera");
        messages.colors.enqueue(QColor()); // cancelled, the stored colour stays
        driver->Select("CbCorSis", "Outra cor...");
        QCOMPARE(driver->Text("CbCorSis"), "Preto");
        messages.colors.enqueue(QColor(0x12, 0x34, 0x56));
        driver->Select("CbCorSis", "Outra cor...");
        QCOMPARE(driver->Text("CbCorSis"), "#123456");
        QCOMPARE(driver->Find("PnCor")->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
        messages.Clear();
        driver->Click("SbConfirmar");
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000002' AND COR_SIS = 1193046"), 1); // 0x123456
        driver->Click("BtnAltera");
        messages.colors.enqueue(QColor(0xFF, 0x00, 0x00));
        driver->Select("CbCorSis", "Outra cor...");
        QCOMPARE(driver->Text("CbCorSis"), "Vermelho");
        driver->Click("SbConfirmar");
        QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000002' AND COR_SIS = 16711680"), 1);

        driver->Click("sbPrimeiro");
        driver->Click("BtnAltera");
        driver->Type("EdtDescricao", "ANIL CLARO");
        driver->Click("SbConfirmar");
        QCOMPARE(
            Count("CADCORTIN", "CODIGO = '0000000001' AND DESCRICAO = 'ANIL CLARO' AND COR_SIS = 2003199"),
            1);
        driver->Click("BtnAltera");
        driver->Select("CbCorSis", "Nenhuma");
        driver->Click("SbConfirmar");
        QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COR_SIS IS NULL"), 1);
    }

    // Blank or unknown codes and a second price for a pair are refused, writing nothing; the filter takes
    // quotes as text, and what is printed is what the list shows.
    void pricesRefusedFilteredAndPrinted() {
        const ReportFolder reports;
        Insert("ENTIDADE (CODCLI, NOME)",
               {"'00001', 'MALHARIA SANTA CATARINA'", "'00002', 'TECELAGEM D''ÁVILA'"});
        Insert("FASE (CODIGO, DESCRICAO)", {"'02', 'ALVEJAMENTO'", "'03', 'TINGIMENTO'"});
        InsertCommit("TABPRE_SERV_001", {"'00001', 'MALHARIA SANTA CATARINA', '03', 'TINGIMENTO', 7.9",
                                         "'00002', 'TECELAGEM D''ÁVILA', '03', 'TINGIMENTO', 8.4"});
        driver->Open("TFmTabPrecoServ");
        const QStringList stored = Precos();
        const struct {
            const char *box, *other, *otherCode, *typed, *text, *exitText;
        } cases[] = {
            // A blank customer box opens the look-up when left; a blank phase may be left.
            {"EdtCodCli", "EdtCodFase", "02", "", "Cliente não cadastrado.", ""},
            {"EdtCodCli", "EdtCodFase", "02", "99999", "Cliente não cadastrado.", "Cliente não cadastrado."},
            {"EdtCodFase", "EdtCodCli", "00001", "", "Fase não cadastrada.", ""},
            {"EdtCodFase", "EdtCodCli", "00001", "9'", "Fase não cadastrada.", "Fase não cadastrada."},
        };
        for (const auto& c : cases) {
            const QString box = QString::fromLatin1(c.box);
            driver->Click("BtIncluir");
            driver->Type(c.other, c.otherCode);
            driver->Type(box, QString::fromLatin1(c.typed));
            messages.Clear();
            driver->Activate("SbConfirmar"); // confirms from inside the box: no exit rule runs
            QCOMPARE(TakeMessages() + '|' + driver->FocusedName(), QString::fromUtf8(c.text) + '|' + box);
            QVERIFY(driver->Visible("PainelConfirma"));

            messages.searches.enqueue("00002");
            driver->Press("Tab");
            const QString exitText = QString::fromUtf8(c.exitText);
            QCOMPARE(TakeMessages(), exitText);
            QCOMPARE(driver->FocusedName() == box, !exitText.isEmpty());
            if (box == "EdtCodCli" && !*c.typed)
                QCOMPARE(driver->Text("EdtNomeCli"), "TECELAGEM D'ÁVILA");
            driver->Click("BtDesistir");
        }

        // The phase typed after the customer was checked: Confirm refuses the pair.
        driver->Click("BtIncluir");
        driver->Type("EdtCodCli", "00001");
        driver->Type("EdtCodFase", "03");
        driver->Type("EdtCusto", "9,99");
        driver->Click("SbConfirmar");
        QCOMPARE(TakeMessages() + '|' + driver->FocusedName(), "Preço já Cadastrado.|EdtCodFase");
        QVERIFY(driver->Visible("PainelConfirma"));
        driver->Click("BtDesistir");

        for (const QString typed : {"'", "0' OR"}) {
            TypeAndTab("EdtFiltroCli", typed);
            QCOMPARE(driver->Rows("DBGrid1"), 0);
        }
        QCOMPARE(messages.shown.size(), 0);
        driver->Type("EdtFiltroCli", "00002");
        driver->Press("Enter");
        QCOMPARE(driver->Rows("DBGrid1"), 1);
        driver->Click("BtImprimir");
        QVERIFY(QFileInfo(reports.Path("WTabPrecoServ.pdf")).size() > 0);
        if (CanReadPdf()) {
            const QString text = reports.Text("WTabPrecoServ.pdf");
            QVERIFY2(text.contains("TECELAGEM D'ÁVILA") && text.contains("8,4"), qPrintable(text));
            QVERIFY(!text.contains("MALHARIA"));
        }

        // Leaving the customer with the phase filled shows the stored price, even one the filter hid.
        driver->Click("BtIncluir");
        driver->Type("EdtCodCli", "00002");
        driver->Type("EdtCodFase", "03");
        TypeAndTab("EdtCodCli", "00001");
        QCOMPARE(TakeMessages(), "Preço já Cadastrado.");
        QVERIFY(driver->Visible("PainelControle"));
        QCOMPARE(driver->Rows("DBGrid1"), 2);
        QCOMPARE(driver->Value("DBGrid1", "CODCLI") + '/' + driver->Value("DBGrid1", "FASE"), "00001/03");
        QCOMPARE(Precos(), stored);
        QCOMPARE(AuditRows(), QStringList());

        // The list is shared: the next screen does not find it filtered.
        driver->Type("EdtFiltroCli", "00002");
        driver->Press("Enter");
        driver->Close();
        driver->Open("TFmTabPrecoServ");
        QCOMPARE(driver->Rows("DBGrid1"), 2);
    }

    // Include, alter and delete one price: the names as shown at each confirmation, cut to their columns, and
    // the delete without a question.
    void namesAreCutAndDeleteAsksNothing() {
        const QString name = QStringLiteral("INDÚSTRIA TÊXTIL D'ÁVILA E COMÉRCIO - ").repeated(3).left(80);
        const QString phase =
            QStringLiteral("TINGIMENTO REATIVO À BAIXA TEMPERATURA - ").repeated(2).left(50);
        SqlCommit({"INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00003', " + Aspas(name) + ")",
                   "INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('05', " + Aspas(phase) + ")"});
        driver->Open("TFmTabPrecoServ");
        driver->Click("BtIncluir");
        driver->Type("EdtCodCli", "00003");
        driver->Type("EdtCodFase", "05");
        driver->Type("EdtCusto", "4,25");
        driver->Click("SbConfirmar");
        QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.Texts().join('|')));
        QCOMPARE(Precos(), QStringList{"00003|05|" + name.left(50) + '|' + phase.left(30) + "|4.25"});

        SqlCommit({"UPDATE ENTIDADE SET NOME = 'MALHAS NOVAS' WHERE CODCLI = '00003'",
                   "UPDATE FASE SET DESCRICAO = 'REATIVO' WHERE CODIGO = '05'"});
        driver->Close();
        driver->Open("TFmTabPrecoServ");
        QCOMPARE(driver->Value("DBGrid1", "CLIENTE"), name.left(50)); // stored as last confirmed
        driver->Click("BtnAltera");
        QVERIFY(!driver->Enabled("EdtCodCli") && !driver->Enabled("EdtCodFase"));
        // A price the box cannot read is refused at confirm even though the confirm sets the names first:
        // nothing is stored, the typed text stays for the user to mend.
        driver->Type("EdtCusto", "4.5.0");
        driver->Click("SbConfirmar");
        QVERIFY2(messages.shown.size() == 1, qPrintable(messages.Texts().join('|')));
        QCOMPARE(driver->Text("EdtCusto"), "4.5.0");
        QCOMPARE(Precos(), QStringList{"00003|05|" + name.left(50) + '|' + phase.left(30) + "|4.25"});
        messages.Clear();
        driver->Type("EdtCusto", "4,5");
        driver->Click("SbConfirmar");
        QCOMPARE(Precos(), QStringList{"00003|05|MALHAS NOVAS|REATIVO|4.5"});

        driver->Click("BtExcluir");
        QCOMPARE(messages.shown.size(), 0);
        QCOMPARE(Precos(), QStringList());
        const QString title = "CADASTRO DE PRECOS DE SERVICOS|";
        QCOMPARE(AuditRows(),
                 (QStringList{title + "INCLUSAO DO PRECO DO SERVICO 05 PARA O CLIENTE 00003|0|00003",
                              title + "ALTERACAO DO PRECO DO SERVICO 05 PARA O CLIENTE 00003|1|00003",
                              title + "EXCLUSAO DO PRECO DO SERVICO 05 PARA O CLIENTE 00003|2|00003"}));
    }
};

QTEST_MAIN(TstCadastroFrame)
#include "tst_cadastro_frame.moc"
