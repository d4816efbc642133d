// The module package and the registry-screen frame, driven on the bath registry.
#include "ClassRegistry.h"
#include "ModuleLoader.h"
#include "TTabela.h"
#include "TestDatabase.h"
#include <QLibrary>
#include <QPointer>
#include <QTest>

class TstCadBanho : public ScreenTestCase {
    Q_OBJECT

    int Rows(const QString& where = "1=1") {
        auto other = OpenSecond("kelm-test-check");
        return ScalarOn(*other, "SELECT COUNT(*) FROM BANHO WHERE " + where).toInt();
    }

private slots:
    void packageRegistersEachUnitOnceAndUnregistersAtZero();
    void alterationDesistAndDelete();
    void closingMidEditDiscardsTheEdit();
};

void TstCadBanho::packageRegistersEachUnitOnceAndUnregistersAtZero() {
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

void TstCadBanho::alterationDesistAndDelete() {
    Insert("BANHO (CODIGO, DESCRICAO, PROPORCAO)", {"'01', 'CURTO', 6", "'02', 'LONGO', 10"});
    Commit();
    driver->Open("TFmBanho");
    driver->Click("BtnAltera");
    driver->Type("EdtDesBanho", "curto jet");
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty()); // the existing code is not a duplicate of itself
    QCOMPARE(Rows("CODIGO = '01' AND DESCRICAO = 'CURTO JET'"), 1);

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
    QCOMPARE(Rows(), 1);
    QCOMPARE(driver->Text("EdtCodBanho"), "02"); // the next record shows
}

// Closing mid-edit discards the edit, frees the screen and lets go of the shared data set.
void TstCadBanho::closingMidEditDiscardsTheEdit() {
    Sql("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('01', 'BANHO 1', 1)");
    Commit();
    driver->Open("TFmBanho");
    QPointer<QWidget> first = driver->Screen();
    driver->Click("BtnAltera");
    driver->Type("EdtDesBanho", "NAO GRAVAR");
    driver->Close();
    QVERIFY(first.isNull());
    QVERIFY(!TTabela::Tabela("tbBanho"));
    QCOMPARE(Rows("DESCRICAO = 'NAO GRAVAR'"), 0);
    driver->Open("TFmBanho");
    QCOMPARE(driver->Text("EdtDesBanho"), "BANHO 1");
}

QTEST_MAIN(TstCadBanho)
#include "tst_cadbanho.moc"
