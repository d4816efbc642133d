// What every registry screen gets from the registry frame, checked screen by screen: blank and repeated
// codes refused when including, the delete question and its preselected answer, and the audit rows.
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstCadastroFrame : public ScreenTestCase {
    Q_OBJECT
    QTemporaryDir files;

    int Count(const QString& table, const QString& where = "1=1") {
        auto other = OpenSecond("kelm-test-check");
        return ScalarOn(*other, "SELECT COUNT(*) FROM " + table + " WHERE " + where).toInt();
    }
    int LogRows() { return Scalar("SELECT COUNT(*) FROM LOG").toInt(); }
    QString LastLog() {
        return Scalar("SELECT TITULO || '|' || TEXTO || '|' || TIPO || '|' || CHAVE FROM LOG "
                      "ORDER BY ID DESC ROWS 1")
            .toString();
    }
    static QString Quoted(QString text) { return '\'' + text.replace('\'', QLatin1String("''")) + '\''; }
    void Seed(const QString& table, const QString& code) {
        Sql(QStringLiteral("INSERT INTO %1 (CODIGO, DESCRICAO) VALUES (%2, 'EXISTENTE')")
                .arg(table, Quoted(code)));
        db->Transaction()->CommitRetaining();
    }
    void Columns();

private slots:
    void initTestCase();
    void blankCodeIsRefused_data() { Columns(); }
    void blankCodeIsRefused();
    void existingCodeIsRefused_data() { Columns(); }
    void existingCodeIsRefused();
    void deleteAnsweredNoKeepsEverything_data() { Columns(); }
    void deleteAnsweredNoKeepsEverything();
    void unansweredDeleteTakesThePreselectedButton_data() { Columns(); }
    void unansweredDeleteTakesThePreselectedButton();
    void inclusionAndDeletionAreAudited_data() { Columns(); }
    void inclusionAndDeletionAreAudited();
};

void TstCadastroFrame::initTestCase() {
    ScreenTestCase::initTestCase();
    // The colour screen looks for pictures: it must not read the settings of whoever runs the tests.
    QVERIFY(files.isValid());
    const QString ini = files.filePath("kelm.ini");
    QFile file(ini);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[Caminho]\npath=%1\n").arg(files.path()).toUtf8());
    file.close();
    qputenv("KELM_INI", ini.toUtf8());
}

namespace {
// One registry screen and the frame settings it chose.
struct Tela {
    const char* row;
    const char* screen;
    const char* caption;
    const char* codeBox;
    const char* table;
    const char* code;
    const char* descriptionBox;
    const char* description;
    bool proposesCode = false; // leaving the empty code box fills it with the next code
    const char* blankCodeText = "É necessário preencher o campo de código.";
    const char* deleteTitle = "Eliminação de Registro";
    bool deleteDefaultYes = true;
    const char* logTitle = ""; // empty: the screen keeps no audit log
    const char* inclusionText = "";
    const char* exclusionText = "";
    const char* logName = ""; // what the audit texts name after their fixed phrase
};

const Tela kTelas[] = {
    {.row = "banho",
     .screen = "TFmBanho",
     .caption = "Cadastro de Volume de Banho",
     .codeBox = "EdtCodBanho",
     .table = "BANHO",
     .code = "01",
     .descriptionBox = "EdtDesBanho",
     .description = "BANHO D'ÁVILA"},
    {.row = "variante",
     .screen = "TFmvariante",
     .caption = "Cadastro de Variante",
     .codeBox = "EdtCodVariante",
     .table = "VARIANTE",
     .code = "01",
     .descriptionBox = "EdtDesVariante",
     .description = "ALGODAO",
     .proposesCode = true,
     .deleteDefaultYes = false},
    {.row = "tipotin",
     .screen = "TfmTipoTin",
     .caption = "Cadastro de Tipo de Tingimento",
     .codeBox = "EdtCodTipo",
     .table = "TIPO_TING",
     .code = "C",
     .descriptionBox = "EdtDesTipo",
     .description = "CORANTE",
     .deleteTitle = "Cadastro de Tipo de Tingimento"},
    {.row = "fase",
     .screen = "TfmFase",
     .caption = "Cadastro de Fases",
     .codeBox = "EdtCodFase",
     .table = "FASE",
     .code = "01",
     .descriptionBox = "EdtDesFase",
     .description = "PREPARACAO",
     .proposesCode = true,
     .deleteTitle = "Cadastro de Fases",
     .deleteDefaultYes = false,
     .logTitle = "CADASTRO DE FASE",
     .inclusionText = "INCLUSAO DA FASE ",
     .exclusionText = "EXCLUSAO DA FASE ",
     .logName = "01"},
    {.row = "corting",
     .screen = "TFmCadCorTing",
     .caption = "Cadastro de Cores e Estampas",
     .codeBox = "EdtCodigo",
     .table = "CADCORTIN",
     .code = "0000000001",
     .descriptionBox = "EdtDescricao",
     .description = "Azul D'Ávila",
     .proposesCode = true,
     .blankCodeText = "Código da cor inválido.",
     .logTitle = "CADASTRO DE COR TINGIMENTO",
     .inclusionText = "INCLUSAO DA COR: ",
     .exclusionText = "EXCLUSAO DA COR: ",
     .logName = "0000000001 - Azul D'Ávila"},
    {.row = "maquina",
     .screen = "TFmMaquinaTin",
     .caption = "Cadastro de máquinas",
     .codeBox = "Edtcodmaq",
     .table = "MAQ_TIN",
     .code = "01",
     .descriptionBox = "EdtDesMaq",
     .description = "JET 01",
     .proposesCode = true,
     .deleteDefaultYes = false,
     .logTitle = "CADASTRO DE MAQUINA",
     .inclusionText = "INCLUSAO DA MAQUINA ",
     .exclusionText = "EXCLUSAO DA MAQUINA ",
     .logName = "01"},
};
} // namespace

void TstCadastroFrame::Columns() {
    for (const char* text :
         {"screen", "caption", "codeBox", "table", "code", "descriptionBox", "description"})
        QTest::addColumn<QString>(text);
    QTest::addColumn<bool>("proposesCode");
    QTest::addColumn<QString>("blankCodeText");
    QTest::addColumn<QString>("deleteTitle");
    QTest::addColumn<bool>("deleteDefaultYes");
    for (const char* text : {"logTitle", "inclusionText", "exclusionText", "logName"})
        QTest::addColumn<QString>(text);
    const auto qs = [](const char* text) { return QString::fromUtf8(text); };
    for (const Tela& t : kTelas)
        QTest::newRow(t.row) << qs(t.screen) << qs(t.caption) << qs(t.codeBox) << qs(t.table) << qs(t.code)
                             << qs(t.descriptionBox) << qs(t.description) << t.proposesCode
                             << qs(t.blankCodeText) << qs(t.deleteTitle) << t.deleteDefaultYes
                             << qs(t.logTitle) << qs(t.inclusionText) << qs(t.exclusionText) << qs(t.logName);
}

void TstCadastroFrame::blankCodeIsRefused() {
    QFETCH(QString, screen);
    QFETCH(QString, caption);
    QFETCH(QString, codeBox);
    QFETCH(QString, table);
    QFETCH(bool, proposesCode);
    QFETCH(QString, blankCodeText);
    driver->Open(screen);
    for (const QString& typed : {QString(), QStringLiteral("   ")}) {
        messages.Clear();
        driver->Click("BtIncluir");
        QCOMPARE(driver->FocusedName(), codeBox);
        if (!typed.isEmpty())
            driver->Type(codeBox, typed);
        // Leaving an empty code box would fill it with the next code: the shortcut confirms from inside it.
        if (proposesCode)
            driver->Activate("SbConfirmar");
        else
            driver->Click("SbConfirmar");
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.LastText(), blankCodeText);
        QCOMPARE(messages.shown.last().title, caption);
        QVERIFY(messages.shown.last().icon == MsgIcon::Information);
        QCOMPARE(driver->FocusedName(), codeBox);
        QCOMPARE(driver->Text(codeBox).trimmed(), QString());
        QVERIFY(driver->Visible("PainelConfirma")); // still including
        driver->Click("BtDesistir");
    }
    QCOMPARE(Count(table), 0);
    QCOMPARE(LogRows(), 0);
}

void TstCadastroFrame::existingCodeIsRefused() {
    QFETCH(QString, screen);
    QFETCH(QString, codeBox);
    QFETCH(QString, table);
    QFETCH(QString, code);
    QFETCH(QString, descriptionBox);
    QFETCH(QString, description);
    Seed(table, code);
    driver->Open(screen);
    driver->Click("BtIncluir");
    driver->Type(codeBox, code);
    driver->Type(descriptionBox, description);
    driver->Click("SbConfirmar");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.LastText(), QStringLiteral("Este código já existe. Digite um outro."));
    QCOMPARE(driver->FocusedName(), codeBox);
    QVERIFY(driver->Visible("PainelConfirma"));
    driver->Click("BtDesistir");
    QCOMPARE(Count(table), 1);
    QCOMPARE(Count(table, "CODIGO = " + Quoted(code) + " AND DESCRICAO = 'EXISTENTE'"), 1);
    QCOMPARE(LogRows(), 0);
}

void TstCadastroFrame::deleteAnsweredNoKeepsEverything() {
    QFETCH(QString, screen);
    QFETCH(QString, table);
    QFETCH(QString, code);
    QFETCH(QString, deleteTitle);
    Seed(table, code);
    driver->Open(screen);
    messages.questions.enqueue(false);
    driver->Click("BtExcluir");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.last().kind, QStringLiteral("question"));
    QCOMPARE(messages.shown.last().title, deleteTitle);
    QCOMPARE(messages.shown.last().text, QStringLiteral("Deseja eliminar este Registro?"));
    QVERIFY(messages.AllAnswered());
    QCOMPARE(Count(table), 1);
    QCOMPARE(LogRows(), 0);
}

void TstCadastroFrame::unansweredDeleteTakesThePreselectedButton() {
    QFETCH(QString, screen);
    QFETCH(QString, table);
    QFETCH(QString, code);
    QFETCH(bool, deleteDefaultYes);
    QFETCH(QString, logTitle);
    Seed(table, code);
    driver->Open(screen);
    driver->Click("BtExcluir");
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(!messages.shown.last().answered);
    QCOMPARE(Count(table), deleteDefaultYes ? 0 : 1);
    QCOMPARE(LogRows(), deleteDefaultYes && !logTitle.isEmpty() ? 1 : 0);
}

void TstCadastroFrame::inclusionAndDeletionAreAudited() {
    QFETCH(QString, screen);
    QFETCH(QString, codeBox);
    QFETCH(QString, table);
    QFETCH(QString, code);
    QFETCH(QString, descriptionBox);
    QFETCH(QString, description);
    QFETCH(QString, logTitle);
    QFETCH(QString, inclusionText);
    QFETCH(QString, exclusionText);
    QFETCH(QString, logName);
    driver->Open(screen);
    driver->Click("BtIncluir");
    driver->Type(codeBox, code);
    driver->Type(descriptionBox, description);
    driver->Click("SbConfirmar");
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.Texts().join('|')));
    QVERIFY(driver->Visible("PainelControle"));
    QCOMPARE(Count(table, "CODIGO = " + Quoted(code) + " AND DESCRICAO = " + Quoted(description)), 1);
    if (logTitle.isEmpty()) {
        QCOMPARE(LogRows(), 0);
    } else {
        QCOMPARE(LogRows(), 1);
        QCOMPARE(LastLog(), logTitle + '|' + inclusionText + logName + "|0|" + code);
    }

    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QVERIFY(messages.AllAnswered());
    QCOMPARE(Count(table), 0);
    if (logTitle.isEmpty()) {
        QCOMPARE(LogRows(), 0);
    } else {
        QCOMPARE(LogRows(), 2);
        QCOMPARE(LastLog(), logTitle + '|' + exclusionText + logName + "|2|" + code);
    }
}

QTEST_MAIN(TstCadastroFrame)
#include "tst_cadastro_frame.moc"
