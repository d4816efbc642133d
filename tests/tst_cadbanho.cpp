// The module package and the registry-screen frame, driven on the bath registry as a user would.
#include "ClassRegistry.h"
#include "ModuleLoader.h"
#include "TTabela.h"
#include "TestDatabase.h"
#include <QLibrary>
#include <QPointer>
#include <QTest>

class TstCadBanho : public ScreenTestCase {
    Q_OBJECT

    void OpenBath() {
        driver->Open("TFmBanho");
        QVERIFY(driver->Visible("PainelControle"));
    }
    void Include(const QString& code, const QString& description, const QString& ratio) {
        driver->Click("BtIncluir");
        driver->Type("EdtCodBanho", code);
        driver->Type("EdtDesBanho", description);
        driver->Type("EdtProporcao", ratio);
    }
    int Rows(const QString& where = "1=1") {
        auto other = OpenSecond("kelm-test-check");
        return ScalarOn(*other, "SELECT COUNT(*) FROM BANHO WHERE " + where).toInt();
    }

private slots:
    void packageRegistersEachUnitOnceAndUnregistersAtZero();
    void includeConfirmsAndCommits();
    void alterationSkipsCodeChecksAndDesistRestores();
    void deleteShowsTheNextRecord();
    void navigationConsultAndClose();
};

void TstCadBanho::packageRegistersEachUnitOnceAndUnregistersAtZero() {
    QLibrary library(ModuleLoader::Locate("kelmTingimento"));
    QVERIFY(library.load());
    using Entry = void (*)();
    using Count = int (*)(const char*);
    auto load = reinterpret_cast<Entry>(library.resolve("kelmModuleLoad"));
    auto unload = reinterpret_cast<Entry>(library.resolve("kelmModuleUnload"));
    auto count = reinterpret_cast<Count>(library.resolve("kelmUnitCount"));
    auto info = reinterpret_cast<const char* (*)()>(library.resolve("GetPackageInfoTable"));
    QVERIFY(load && unload && count && info);

    QCOMPARE(count("CadBanho"), 1);
    QVERIFY(ClassRegistered("TFmBanho"));
    load();
    QCOMPARE(count("CadBanho"), 2);
    QCOMPARE(RegisteredClasses().count("TFmBanho"), 1);
    unload();
    QCOMPARE(count("CadBanho"), 1);
    QVERIFY(ClassRegistered("TFmBanho"));
    unload();
    QCOMPARE(count("CadBanho"), 0);
    QVERIFY(!ClassRegistered("TFmBanho"));
    unload(); // a further unload does not go below zero
    QCOMPARE(count("CadBanho"), 0);
    load();
    QVERIFY(ClassRegistered("TFmBanho"));
    QCOMPARE(ScreenInfoOf("TFmBanho").caption, QStringLiteral("Cadastro de Volume de Banho"));

    const QStringList lines = QString::fromLatin1(info()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), QStringLiteral("C kelmTingimento"));
    QCOMPARE(lines.count(), 1 + 43 + 2);
    QVERIFY(lines.contains("C CadBanho") && lines.contains("C RelTngGantt"));
    QVERIFY(lines.contains("R kelmTabela") && lines.contains("R kelmUnits"));
    library.unload();
}

void TstCadBanho::includeConfirmsAndCommits() {
    OpenBath();
    Include("05", "banho d'ávila", "7,5");
    QVERIFY(driver->Visible("PainelConfirma"));
    QVERIFY(!driver->Enabled("DBGrid1"));
    QCOMPARE(driver->Text("EdtDesBanho"), QStringLiteral("BANHO D'ÁVILA"));
    driver->Press("Tab"); // leaving the last box moves to Confirm
    QCOMPARE(driver->FocusedName(), QStringLiteral("SbConfirmar"));
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(driver->Visible("PainelControle"));
    QVERIFY(!driver->Enabled("PainelDados"));
    // Committed: another connection sees it at once.
    QCOMPARE(Rows("CODIGO = '05' AND DESCRICAO = 'BANHO D''ÁVILA' AND PROPORCAO = 7.5"), 1);
}

void TstCadBanho::alterationSkipsCodeChecksAndDesistRestores() {
    Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('01', 'CURTO', 6)");
    Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('02', 'LONGO', 10)");
    db->Transaction()->CommitRetaining();
    OpenBath();
    driver->Click("BtnAltera");
    QVERIFY(!driver->Enabled("EdtCodBanho"));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtDesBanho"));
    driver->Type("EdtDesBanho", "curto jet");
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty()); // the existing code is not a duplicate of itself
    QCOMPARE(Rows("CODIGO = '01' AND DESCRICAO = 'CURTO JET'"), 1);

    driver->Click("sbUltimo");
    QCOMPARE(driver->Text("EdtCodBanho"), QStringLiteral("02"));
    driver->Click("BtnAltera");
    driver->Type("EdtDesBanho", "desistido");
    driver->Type("EdtProporcao", "99");
    driver->Click("BtDesistir");
    QCOMPARE(driver->Text("EdtDesBanho"), QStringLiteral("LONGO"));
    QCOMPARE(Rows("CODIGO = '02' AND DESCRICAO = 'LONGO' AND PROPORCAO = 10"), 1);
    driver->Click("BtIncluir"); // the code box is writable again for the next inclusion
    QVERIFY(driver->Enabled("EdtCodBanho"));
    driver->Click("BtDesistir");
}

void TstCadBanho::deleteShowsTheNextRecord() {
    Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('01', 'CURTO', 6)");
    Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('02', 'LONGO', 10)");
    db->Transaction()->CommitRetaining();
    OpenBath();
    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(Rows(), 1);
    QCOMPARE(Rows("CODIGO = '02'"), 1);
    QCOMPARE(driver->Text("EdtCodBanho"), QStringLiteral("02"));
    QVERIFY(messages.AllAnswered());
}

void TstCadBanho::navigationConsultAndClose() {
    for (int i = 1; i <= 3; ++i)
        Sql(QStringLiteral("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('0%1', 'BANHO %1', %1)")
                .arg(i));
    db->Transaction()->CommitRetaining();
    OpenBath();
    QPointer<QWidget> first = driver->Screen();
    QCOMPARE(driver->Text("EdtCodBanho"), QStringLiteral("01"));
    driver->Click("sbProximo");
    QCOMPARE(driver->Text("EdtDesBanho"), QStringLiteral("BANHO 2"));
    driver->Click("sbAnterior");
    QCOMPARE(driver->Text("EdtCodBanho"), QStringLiteral("01"));
    messages.searches.enqueue("03");
    driver->Click("btnConsultar");
    QCOMPARE(driver->Text("EdtCodBanho"), QStringLiteral("03"));
    driver->Click("sbPrimeiro");
    QCOMPARE(driver->Text("EdtCodBanho"), QStringLiteral("01"));

    // Closing mid-edit discards the edit, frees the screen and lets go of the shared data set.
    driver->Click("BtnAltera");
    driver->Type("EdtDesBanho", "NAO GRAVAR");
    driver->Close();
    QVERIFY(first.isNull());
    QVERIFY(!TTabela::Tabela("tbBanho"));
    QCOMPARE(Rows("DESCRICAO = 'NAO GRAVAR'"), 0);
    OpenBath();
    QVERIFY(driver->Screen() != nullptr);
    QCOMPARE(driver->Text("EdtDesBanho"), QStringLiteral("BANHO 1"));
    QVERIFY(driver->Visible("PainelControle"));
}

QTEST_MAIN(TstCadBanho)
#include "tst_cadbanho.moc"
