// The module package, and what every registry screen gets from the registry frame: blank and repeated codes
// refused, the delete question and its preselected answer, the audit rows (none for a refused change),
// records still used, code proposals, alteration, desist and closing mid-edit; the phase group.
#include "ClassRegistry.h"
#include "Funcoes.h"
#include "HostError.h"
#include "ModuleLoader.h"
#include "TTabela.h"
#include "TestDatabase.h"
#include "TestFiles.h"
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
    // The colour screen looks for pictures: not in the settings of whoever runs the tests.
    const SettingsFile settings{"[Caminho]\npath=%1\n"};

    int LogRows() { return Scalar("SELECT COUNT(*) FROM LOG").toInt(); }
    QString LastLog() {
        return Scalar("SELECT TITULO || '|' || TEXTO || '|' || TIPO || '|' || CHAVE FROM LOG "
                      "ORDER BY ID DESC ROWS 1")
            .toString();
    }
    void Seed(const Tela& t) {
        Sql(QStringLiteral("INSERT INTO %1 (CODIGO, DESCRICAO) VALUES (%2, 'EXISTENTE')")
                .arg(t.table, Aspas(t.code)));
        Commit();
    }
    void Rows() {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(kTelas)); ++i)
            QTest::newRow(kTelas[i].row) << i;
    }

private slots:
    void blankAndRepeatedCodesAreRefused_data() { Rows(); }
    void blankAndRepeatedCodesAreRefused() {
        QFETCH(int, i);
        const Tela& t = kTelas[i];
        driver->Open(t.screen);
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

        Seed(t);
        messages.Clear();
        driver->Click("BtIncluir");
        driver->Type(t.codeBox, t.code);
        driver->Type(t.descriptionBox, QString::fromUtf8(t.description));
        driver->Click("SbConfirmar");
        QCOMPARE(messages.Texts(), QStringList{"Este código já existe. Digite um outro."});
        QCOMPARE(driver->FocusedName(), QString::fromUtf8(t.codeBox));
        driver->Click("BtDesistir");
        QCOMPARE(Count(t.table, "DESCRICAO = 'EXISTENTE'"), 1);
        QCOMPARE(Count(t.table), 1);
        QCOMPARE(LogRows(), 0);
    }

    void deleteQuestion_data() { Rows(); }
    void deleteQuestion() {
        QFETCH(int, i);
        const Tela& t = kTelas[i];
        Seed(t);
        driver->Open(t.screen);
        messages.questions.enqueue(false);
        driver->Click("BtExcluir");
        QCOMPARE(messages.shown.last().text, "Deseja eliminar este Registro?");
        QCOMPARE(Count(t.table), 1);
        driver->Click("BtExcluir"); // unanswered: the preselected button
        QVERIFY(!messages.shown.last().answered);
        QCOMPARE(Count(t.table), t.deleteDefaultYes ? 0 : 1);
        QCOMPARE(LogRows(), t.deleteDefaultYes && *t.logTitle ? 1 : 0);
    }

    void inclusionAndDeletionAreAudited_data() { Rows(); }
    void inclusionAndDeletionAreAudited() {
        QFETCH(int, i);
        const Tela& t = kTelas[i];
        const QString code = t.code, title = QString::fromUtf8(t.logTitle),
                      name = QString::fromUtf8(t.logName);
        driver->Open(t.screen);
        driver->Click("BtIncluir");
        driver->Type(t.codeBox, code);
        driver->Type(t.descriptionBox, QString::fromUtf8(t.description));
        driver->Click("SbConfirmar");
        QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.Texts().join('|')));
        QCOMPARE(Count(t.table, "CODIGO = " + Aspas(code) +
                                    " AND DESCRICAO = " + Aspas(QString::fromUtf8(t.description))),
                 1);
        QCOMPARE(LogRows(), title.isEmpty() ? 0 : 1);
        if (!title.isEmpty())
            QCOMPARE(LastLog(), title + '|' + QString::fromUtf8(t.inclusionText) + name + "|0|" + code);

        messages.questions.enqueue(true);
        driver->Click("BtExcluir");
        QCOMPARE(Count(t.table), 0);
        QCOMPARE(LogRows(), title.isEmpty() ? 0 : 2);
        if (!title.isEmpty())
            QCOMPARE(LastLog(), title + '|' + QString::fromUtf8(t.exclusionText) + name + "|2|" + code);
    }

    void recordStillUsedIsNotDeleted_data() {
        QTest::addColumn<QString>("tabela");
        QTest::addColumn<QString>("uso"); // makes the record used
        const auto caso = [](const char* nome, const char* tabela, const char* uso) {
            QTest::newRow(nome) << QString(tabela) << QString(uso);
        };
        caso("banho na maquina", "BANHO",
             "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO) VALUES ('01', 'JET', '01')");
        caso("banho na capacidade", "BANHO",
             "INSERT INTO MAQ_TIN_CAP VALUES (1, '09', '02', 0, 1, 0, 1, '01')");
        caso("variante na capacidade", "VARIANTE",
             "INSERT INTO MAQ_TIN_CAP VALUES (1, '09', '01', 0, 1, 0, 1, '')");
        caso("variante na FAL", "VARIANTE", "INSERT INTO FAL (NUMERO, VARIANTE) VALUES ('1', '01')");
        caso("fase no roteiro", "FASE",
             "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('000001', 'TINTO', 1, '01')");
        caso("fase grupo de outra", "FASE",
             "INSERT INTO FASE (CODIGO, DESCRICAO, GRUPO) VALUES ('02', 'X', '01')");
        caso("fase na maquina", "FASE",
             "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, FASE) VALUES ('01', 'JET', '01')");
        caso("cor na FAL", "CADCORTIN", "INSERT INTO FAL (NUMERO, COR) VALUES ('1', '01')");
        caso("cor na receita", "CADCORTIN",
             "INSERT INTO RECEITA (CODIGO, VARIANTE, COR) VALUES ('0001', '01', '01')");
        caso("grafico na receita", "GRAFICO",
             "INSERT INTO RECEITA (CODIGO, VARIANTE, GRAFICO) VALUES ('0001', '01', '01')");
        caso("grafico no processo", "GRAFICO",
             "INSERT INTO PROCESSO_TIN (FAL, GRAFICO) VALUES ('0000001', '01')");
    }

    // A record others refer to is not deleted, with no question and no audit row; once nothing refers to it,
    // it goes. A phase that is its own group does not keep itself.
    void recordStillUsedIsNotDeleted() {
        QFETCH(QString, tabela);
        QFETCH(QString, uso);
        const QMap<QString, QStringList> telas = {
            {"BANHO", {"TFmBanho", "Banho está sendo utilizado."}},
            {"VARIANTE", {"TFmvariante", "Variante está sendo utilizada."}},
            {"FASE", {"TfmFase", "Fase está sendo utilizada."}},
            {"CADCORTIN", {"TFmCadCorTing", "Cor está sendo utilizada."}},
            {"GRAFICO", {"TfmTngGrafico", "Gráfico está sendo utilizado."}}};
        const QString tela = telas[tabela][0], texto = telas[tabela][1];
        Sql(QStringLiteral("INSERT INTO %1 (CODIGO, DESCRICAO) VALUES ('01', 'USADO')").arg(tabela));
        if (tabela == "FASE")
            Sql("UPDATE FASE SET GRUPO = '01' WHERE CODIGO = '01'");
        Sql(uso);
        Commit();
        driver->Open(tela);
        messages.questions.enqueue(true);
        driver->Click("BtExcluir");
        QCOMPARE(messages.Texts(), QStringList{texto});
        QCOMPARE(messages.questions.size(), 1); // never asked
        QCOMPARE(Count(tabela, "CODIGO = '01'"), 1);
        QCOMPARE(LogRows(), 0);

        for (const char* table : {"MAQ_TIN", "MAQ_TIN_CAP", "FAL", "ROTEIRO", "RECEITA", "PROCESSO_TIN"})
            Sql(QStringLiteral("DELETE FROM %1").arg(table));
        Sql("DELETE FROM FASE WHERE CODIGO <> '01'");
        Commit();
        messages.Clear();
        messages.questions.enqueue(true);
        driver->Click("BtExcluir");
        QVERIFY2(messages.Texts().isEmpty(), qPrintable(messages.Texts().join('|')));
        QCOMPARE(Count(tabela, "CODIGO = '01'"), 0);
    }

    // Leaving the empty code box proposes the next code; Desist spends none.
    void variantCodeIsProposedOnlyWhenLeftEmpty() {
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'ALGODAO'", "'02', 'POLIESTER'"});
        Commit();
        driver->Open("TFmvariante");
        driver->Click("BtIncluir");
        driver->Focus("BtDesistir");
        QCOMPARE(driver->Text("EdtCodVariante"), QString());
        driver->Click("BtDesistir");
        driver->Click("BtIncluir");
        driver->Press("Tab");
        QCOMPARE(driver->Text("EdtCodVariante"), "03");
        driver->Type("EdtDesVariante", "viscose");
        driver->Click("SbConfirmar");
        QCOMPARE(Count("VARIANTE", "CODIGO = '03' AND DESCRICAO = 'VISCOSE'"), 1);
    }

    // A group typed and confirmed at once is checked all the same, and said once.
    void phaseGroupIsChecked() {
        Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARACAO'", "'02', 'TINGIMENTO'"});
        Commit();
        driver->Open("TfmFase");
        driver->Click("BtnAltera");
        driver->Type("EdtGrupo", "77");
        driver->Click("SbConfirmar");
        QCOMPARE(messages.Texts(), QStringList{"Grupo Inválido."});
        QCOMPARE(driver->FocusedName(), "EdtGrupo");
        QVERIFY(driver->Visible("PainelConfirma"));
        driver->Type("EdtGrupo", "02");
        driver->Click("SbConfirmar");
        QCOMPARE(Count("FASE", "CODIGO = '01' AND GRUPO = '02'"), 1);
    }

    void refusedChangeLeavesNoAuditRow() {
        driver->Open("TfmFase");
        TTabela::Tabela("TbFase")->BeforePost = [](TDataSet&) { throw EAbort(); };
        driver->Click("BtIncluir");
        driver->Type("EdtCodFase", "05");
        driver->Type("EdtDesFase", "recusada");
        driver->Click("SbConfirmar");
        QCOMPARE(LogRows(), 0);
        TTabela::Tabela("TbFase")->BeforePost = nullptr;
        driver->Click("SbConfirmar");
        QCOMPARE(LogRows(), 1);

        TTabela::Tabela("TbFase")->BeforeDelete = [](TDataSet&) { throw EAbort(); };
        messages.questions.enqueue(true);
        driver->Click("BtExcluir");
        QCOMPARE(Count("FASE", "CODIGO = '05'"), 1);
        QCOMPARE(LogRows(), 1);
    }

    // Two users typing the same new code: the check passes for both, and the second one's post fails on the
    // key.
    void codeStoredByAnotherWorkstationMeanwhileAsksForAnother() {
        driver->Open("TfmFase");
        driver->Click("BtIncluir");
        driver->Type("EdtCodFase", "05");
        driver->Type("EdtDesFase", "lavagem");
        auto other = OpenSecond("kelm-test-other");
        TTabela::Tabela("TbFase")->BeforePost = [&other](TDataSet&) {
            SqlOn(*other, "INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('05', 'DELE')");
            other->Transaction()->CommitRetaining();
        };
        driver->Click("SbConfirmar");
        TTabela::Tabela("TbFase")->BeforePost = nullptr;
        QCOMPARE(messages.Texts(), QStringList{"Este código já existe. Digite um outro."});
        QCOMPARE(driver->FocusedName(), "EdtCodFase");
        QCOMPARE(LogRows(), 0);
        driver->Type("EdtCodFase", "06");
        driver->Click("SbConfirmar");
        QCOMPARE(Count("FASE", "CODIGO = '06' AND DESCRICAO = 'LAVAGEM'"), 1);
    }

    void codesThatRanOutAreSaidSo() {
        Sql("INSERT INTO CODIGOS (TABELA, CAMPO, ULTIMO) VALUES ('FASE', 'CODIGO', '999')");
        Commit();
        driver->Open("TfmFase");
        driver->Click("BtIncluir");
        driver->Press("Tab");
        QCOMPARE(messages.Texts(),
                 QStringList{"Os códigos de FASE esgotaram: o próximo, 1000, não cabe no campo "
                             "CODIGO, de 3 caracteres."});
        driver->Type("EdtCodFase", "A1"); // a code typed by hand is still taken
        driver->Type("EdtDesFase", "lavagem");
        driver->Click("SbConfirmar");
        QCOMPARE(Count("FASE", "CODIGO = 'A1'"), 1);
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

    void alterationDesistAndDelete() {
        Insert("BANHO (CODIGO, DESCRICAO, PROPORCAO)", {"'01', 'CURTO', 6", "'02', 'LONGO', 10"});
        Commit();
        driver->Open("TFmBanho");
        driver->Click("BtnAltera");
        driver->Type("EdtDesBanho", "curto jet");
        driver->Click("SbConfirmar");
        QVERIFY(messages.shown.isEmpty()); // the existing code is not a duplicate of itself
        QCOMPARE(Count("BANHO", "CODIGO = '01' AND DESCRICAO = 'CURTO JET'"), 1);

        driver->Click("sbUltimo");
        driver->Click("BtnAltera");
        driver->Type("EdtDesBanho", "desistido");
        driver->Click("BtDesistir");
        QCOMPARE(driver->Text("EdtDesBanho"), "LONGO");
        driver->Click("BtIncluir"); // the code box is writable again for the next inclusion
        QVERIFY(driver->Enabled("EdtCodBanho"));
        driver->Click("BtDesistir");

        driver->Click("sbPrimeiro");
        messages.questions.enqueue(true);
        driver->Click("BtExcluir");
        QCOMPARE(Count("BANHO"), 1);
        QCOMPARE(driver->Text("EdtCodBanho"), "02"); // the next record shows
    }

    // Closing mid-edit discards the edit, frees the screen and lets go of the shared data set.
    void closingMidEditDiscardsTheEdit() {
        Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('01', 'BANHO 1', 1)");
        Commit();
        driver->Open("TFmBanho");
        QPointer<QWidget> first = driver->Screen();
        driver->Click("BtnAltera");
        driver->Type("EdtDesBanho", "NAO GRAVAR");
        driver->Close();
        QVERIFY(first.isNull());
        QVERIFY(!TTabela::Tabela("tbBanho"));
        QCOMPARE(Count("BANHO", "DESCRICAO = 'NAO GRAVAR'"), 0);
        driver->Open("TFmBanho");
        QCOMPARE(driver->Text("EdtDesBanho"), "BANHO 1");
    }

    // Characters outside the basic plane are one character each for the box's limit, as for the column.
    void descriptionHoldsItsWidthInAnyCharacter() {
        const QString clave = QString::fromUcs4(U"\U0001D11E"), cheia = clave.repeated(50); // VARCHAR(50)
        driver->Open("TFmBanho");
        driver->Click("BtIncluir");
        driver->Type("EdtCodBanho", "01");
        driver->Type("EdtDesBanho", cheia + clave);
        QCOMPARE(driver->Text("EdtDesBanho"), cheia);
        driver->Click("SbConfirmar");
        QCOMPARE(Scalar("SELECT DESCRICAO FROM BANHO").toString(), cheia);
    }
};

QTEST_MAIN(TstCadastroFrame)
#include "tst_cadastro_frame.moc"
