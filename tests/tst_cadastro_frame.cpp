// What every registry screen gets from the registry frame: blank and repeated codes refused, the delete
// question and its preselected answer, and the audit rows.
#include "Funcoes.h"
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include "TestFiles.h"
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
    void blankAndRepeatedCodesAreRefused();
    void deleteQuestion_data() { Rows(); }
    void deleteQuestion();
    void inclusionAndDeletionAreAudited_data() { Rows(); }
    void inclusionAndDeletionAreAudited();
    void descriptionHoldsItsWidthInAnyCharacter();
};

void TstCadastroFrame::blankAndRepeatedCodesAreRefused() {
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

void TstCadastroFrame::deleteQuestion() {
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

void TstCadastroFrame::inclusionAndDeletionAreAudited() {
    QFETCH(int, i);
    const Tela& t = kTelas[i];
    const QString code = t.code, title = QString::fromUtf8(t.logTitle), name = QString::fromUtf8(t.logName);
    driver->Open(t.screen);
    driver->Click("BtIncluir");
    driver->Type(t.codeBox, code);
    driver->Type(t.descriptionBox, QString::fromUtf8(t.description));
    driver->Click("SbConfirmar");
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Count(t.table,
                   "CODIGO = " + Aspas(code) + " AND DESCRICAO = " + Aspas(QString::fromUtf8(t.description))),
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

// Characters outside the basic plane are one character each for the box's limit, as for the column.
void TstCadastroFrame::descriptionHoldsItsWidthInAnyCharacter() {
    const QString clave = QString::fromUcs4(U"\U0001D11E"), cheia = clave.repeated(50); // VARCHAR(50)
    driver->Open("TFmBanho");
    driver->Click("BtIncluir");
    driver->Type("EdtCodBanho", "01");
    driver->Type("EdtDesBanho", cheia + clave);
    QCOMPARE(driver->Text("EdtDesBanho"), cheia);
    driver->Click("SbConfirmar");
    QCOMPARE(Scalar("SELECT DESCRICAO FROM BANHO").toString(), cheia);
}

QTEST_MAIN(TstCadastroFrame)
#include "tst_cadastro_frame.moc"
