// The service price table: one price per customer and phase whichever box is filled last, names kept as
// confirmed and cut to their columns, delete without a question, the customer filter and the printed list.
#include "Funcoes.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QFileInfo>
#include <QTest>

class TstTabPrecoServ : public ScreenTestCase {
    Q_OBJECT
    void Base() {
        Insert("ENTIDADE (CODCLI, NOME)",
               {"'00001', 'MALHARIA SANTA CATARINA'", "'00002', 'TECELAGEM D''ÁVILA'"});
        Insert("FASE (CODIGO, DESCRICAO)", {"'02', 'ALVEJAMENTO'", "'03', 'TINGIMENTO'"});
        Insert("TABPRE_SERV_001", {"'00001', 'MALHARIA SANTA CATARINA', '03', 'TINGIMENTO', 7.9",
                                   "'00002', 'TECELAGEM D''ÁVILA', '03', 'TINGIMENTO', 8.4"});
        Commit();
        driver->Open("TFmTabPrecoServ");
    }
    QStringList Precos() {
        return RowsSeenByOthers(
            "SELECT CODCLI, FASE, CLIENTE, DESCRICAO, CUSTO FROM TABPRE_SERV_001 ORDER BY CODCLI, FASE");
    }
    QString Atual() { return driver->Value("DBGrid1", "CODCLI") + '/' + driver->Value("DBGrid1", "FASE"); }

private slots:
    void secondPriceForAPairIsRefused();
    void blankOrUnknownCodesAreRefused();
    void namesAreCutAndDeleteAsksNothing();
    void filterAndPrintedList();
};

void TstTabPrecoServ::secondPriceForAPairIsRefused() {
    Base();
    const QStringList stored = Precos();
    // The phase typed after the customer was checked: Confirm refuses the pair.
    driver->Click("BtIncluir");
    driver->Type("EdtCodCli", "00001");
    driver->Type("EdtCodFase", "03");
    driver->Type("EdtCusto", "9,99");
    driver->Click("SbConfirmar");
    QCOMPARE(TakeMessages(), "Preço já Cadastrado.");
    QCOMPARE(driver->FocusedName(), "EdtCodFase");
    QVERIFY(driver->Visible("PainelConfirma"));
    driver->Click("BtDesistir");

    // Leaving the customer with the phase filled shows the stored price, even one the filter hid.
    driver->Type("EdtFiltroCli", "00002");
    driver->Press("Enter");
    messages.Clear();
    driver->Click("BtIncluir");
    driver->Type("EdtCodCli", "00002");
    driver->Type("EdtCodFase", "03");
    driver->Type("EdtCodCli", "00001");
    driver->Press("Tab");
    QCOMPARE(TakeMessages(), "Preço já Cadastrado.");
    QVERIFY(driver->Visible("PainelControle"));
    QCOMPARE(driver->Rows("DBGrid1"), 2);
    QCOMPARE(Atual(), "00001/03");
    QCOMPARE(Precos(), stored);
    QCOMPARE(AuditRows(), QStringList());
}

void TstTabPrecoServ::blankOrUnknownCodesAreRefused() {
    Base();
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
        QCOMPARE(TakeMessages(), QString::fromUtf8(c.text));
        QCOMPARE(driver->FocusedName(), box);
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
    QCOMPARE(Precos(), stored);
}

// Include, alter and delete one price: the names as shown at each confirmation, cut to their columns, and
// the delete without a question.
void TstTabPrecoServ::namesAreCutAndDeleteAsksNothing() {
    const QString name = QStringLiteral("INDÚSTRIA TÊXTIL D'ÁVILA E COMÉRCIO - ").repeated(3).left(80);
    const QString phase = QStringLiteral("TINGIMENTO REATIVO À BAIXA TEMPERATURA - ").repeated(2).left(50);
    Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00003', " + Aspas(name) + ")");
    Sql("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('05', " + Aspas(phase) + ")");
    Commit();
    driver->Open("TFmTabPrecoServ");
    driver->Click("BtIncluir");
    driver->Type("EdtCodCli", "00003");
    driver->Type("EdtCodFase", "05");
    driver->Type("EdtCusto", "4,25");
    driver->Click("SbConfirmar");
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.Texts().join('|')));
    QCOMPARE(Precos(), QStringList{"00003|05|" + name.left(50) + '|' + phase.left(30) + "|4.25"});

    Sql("UPDATE ENTIDADE SET NOME = 'MALHAS NOVAS' WHERE CODCLI = '00003'");
    Sql("UPDATE FASE SET DESCRICAO = 'REATIVO' WHERE CODIGO = '05'");
    Commit();
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

void TstTabPrecoServ::filterAndPrintedList() {
    const ReportFolder reports;
    Base();
    for (const QString typed : {"'", "0' OR"}) {
        driver->Type("EdtFiltroCli", typed);
        driver->Press("Tab");
        QCOMPARE(driver->Rows("DBGrid1"), 0);
    }
    QCOMPARE(messages.shown.size(), 0);
    driver->Type("EdtFiltroCli", "00002");
    driver->Press("Enter");
    QCOMPARE(driver->Rows("DBGrid1"), 1);

    // What is printed is what the list shows.
    driver->Click("BtImprimir");
    QVERIFY(QFileInfo(reports.Path("WTabPrecoServ.pdf")).size() > 0);
    if (CanReadPdf()) {
        const QString text = reports.Text("WTabPrecoServ.pdf");
        QVERIFY2(text.contains("TECELAGEM D'ÁVILA") && text.contains("8,4"), qPrintable(text));
        QVERIFY(!text.contains("MALHARIA"));
    }

    // The list is shared: the next screen does not find it filtered.
    driver->Close();
    driver->Open("TFmTabPrecoServ");
    QCOMPARE(driver->Rows("DBGrid1"), 2);
}

QTEST_MAIN(TstTabPrecoServ)
#include "tst_tabprecoserv.moc"
