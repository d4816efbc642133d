// The services charged on a lot sheet: the colour's price and the stored list read for the sheet, services
// added by value or as a share of the colour's price, F4 on the service, and the save that replaces the list
// as a whole.
#include "TestDatabase.h"
#include <QTest>

class TstCadFalServ : public ScreenTestCase {
    Q_OBJECT
    // Sheet 0000100 of customer 00001 is of colour C1, priced 5.00 in region 01, and carries service 02;
    // sheet 0000200 is of a colour without a price. The customer has a price for service 01 only.
    void Base() {
        Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'TINGIMENTO'", "'02', 'LAVAGEM'", "'03', 'RAMA'"});
        Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00001', 'CLIENTE')");
        Sql("INSERT INTO TABPRE_SERV_001 (CODCLI, FASE, CUSTO) VALUES ('00001', '01', 5.5)");
        Sql("INSERT INTO TABPRECO (REGIAO, COR, VARIANTE, PRECO_00, CODIGO) VALUES ('01', 'C1', '01', 5, "
            "'')");
        Insert("FAL (NUMERO, CLIENTE, COR, VARIANTE, TABPRECO)",
               {"'0000100', '00001', 'C1', '01', '01'", "'0000200', '00001', 'C2', '01', '01'"});
        Sql("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('0000100', '02', 1.25)");
        Commit();
    }
    void Abre(const QString& fal) { driver->Open("TFmCadFalServ", {{"FAL", fal}, {"CLIENTE", "00001"}}); }
    void Inclui(const QString& fase, const QString& custo, const QString& tipo) {
        driver->Type("EdtCodFas", fase);
        if (!custo.isNull())
            driver->Type("EdtCusto", custo);
        driver->Select("CbTipo", tipo);
        driver->Click("BitBtn1");
    }
    QString Lista() {
        QStringList linhas;
        for (int linha = 0; linha < driver->Rows("DBGrid1"); ++linha) {
            driver->Row("DBGrid1", linha);
            linhas << driver->Value("DBGrid1", "FASE") + "|" + driver->Value("DBGrid1", "DESCRICAO") + "|" +
                          driver->Value("DBGrid1", "CUSTO");
        }
        return linhas.join(';');
    }
    QString Gravados(const QString& fal) {
        return Seen("SELECT SETOR, PRECO FROM TABELA WHERE CODIGO = '" + fal + "' ORDER BY 1, 2");
    }

private slots:
    void readsThePriceAndTheListOfTheSheet();
    void addsByValueOrShareOfTheColourPrice();
    void saveReplacesTheListAsAWhole();
    void f4OnTheServiceGoesOnToItsCost();
};

void TstCadFalServ::readsThePriceAndTheListOfTheSheet() {
    Base();
    Abre("0000100");
    QCOMPARE(driver->Text("EdtPrecoCor"), "5,00");
    QCOMPARE(Lista(), "02|LAVAGEM|1,25");
    driver->Close();
    Abre("0000200");
    QCOMPARE(driver->Text("EdtPrecoCor"), "0,00");
    QCOMPARE(driver->Rows("DBGrid1"), 0);
}

void TstCadFalServ::addsByValueOrShareOfTheColourPrice() {
    Base();
    const struct {
        const char *fal, *fase, *custo, *tipo, *proposto, *mensagem, *lista;
    } casos[] = {
        {"0000100", "01", nullptr, "Valor", "5,5", "", "02|LAVAGEM|1,25;01|TINGIMENTO|5,5"},
        {"0000100", "02", "10", "Percentual", "", "", "02|LAVAGEM|1,25;02|LAVAGEM|0,5"},
        {"0000100", "03", "2,4", "Valor", "", "", "02|LAVAGEM|1,25;03|RAMA|2,4"},
        {"0000100", "03", "", "Valor", "", "", "02|LAVAGEM|1,25;03|RAMA|0"},
        {"0000100", "09", "1", "Valor", "", "Serviço não encontrado.", "02|LAVAGEM|1,25"},
        {"0000100", "03", "2.4", "Valor", "", "Custo inválido.", "02|LAVAGEM|1,25"},
        {"0000200", "01", "10", "Percentual", "5,5", "", "01|TINGIMENTO|0"},
    };
    for (const auto& caso : casos) {
        Abre(caso.fal);
        messages.Clear();
        driver->Type("EdtCodFas", caso.fase);
        QCOMPARE(driver->Text("EdtCusto"), QString::fromUtf8(caso.proposto));
        Inclui(caso.fase, caso.custo ? QString::fromUtf8(caso.custo) : QString(), caso.tipo);
        QCOMPARE(messages.LastText(), QString::fromUtf8(caso.mensagem));
        QCOMPARE(Lista(), QString::fromUtf8(caso.lista));
        driver->Close();
    }
}

void TstCadFalServ::saveReplacesTheListAsAWhole() {
    Base();
    Abre("0000100");
    Inclui("01", QString(), "Valor");
    Inclui("01", QString(), "Valor"); // the same service twice: both stored
    driver->Click("BtnGravar");
    QCOMPARE(Gravados("0000100"), "01|5.5;01|5.5;02|1.25");

    // A failed insert undoes the save: the stored list and the one shown stay as they were.
    Sql("CREATE EXCEPTION E_SERVICO 'Serviço recusado'");
    Sql("CREATE TRIGGER T_SERVICO FOR TABELA BEFORE INSERT AS BEGIN IF (NEW.SETOR = '03') THEN EXCEPTION "
        "E_SERVICO; END");
    Commit();
    driver->Row("DBGrid1", 0);
    driver->Click("BitBtn4");
    Inclui("03", "1", "Valor");
    const QString lista = Lista();
    driver->Click("BtnGravar");
    QVERIFY2(messages.LastText().contains("Serviço recusado"), qPrintable(messages.LastText()));
    QCOMPARE(Gravados("0000100"), "01|5.5;01|5.5;02|1.25");
    QCOMPARE(Lista(), lista);

    // Services another user stored since the list was loaded are not wiped unseen.
    auto outro = OpenSecond("kelm-test-outro");
    SqlOn(*outro, "INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('0000100', '02', 7)");
    outro->Transaction()->CommitRetaining();
    driver->Row("DBGrid1", 0);
    driver->Click("BitBtn4");
    driver->Click("BtnGravar");
    QVERIFY(messages.LastText().startsWith("Os serviços da FAL 0000100 foram alterados por outro usuário"));
    QCOMPARE(Gravados("0000100"), "01|5.5;01|5.5;02|1.25;02|7");
    QCOMPARE(driver->Rows("DBGrid1"), 4);

    // An empty list removes every service of the sheet, and of no other.
    Sql("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('0000200', '01', 3)");
    Commit();
    while (driver->Rows("DBGrid1") > 0)
        driver->Click("BitBtn4");
    driver->Click("BtnGravar");
    QCOMPARE(Gravados("0000100"), QString());
    QCOMPARE(Gravados("0000200"), "01|3");
}

// The customer's price comes with the service chosen by F4; the cost typed where the focus goes replaces it.
void TstCadFalServ::f4OnTheServiceGoesOnToItsCost() {
    Base();
    Abre("0000100");
    messages.searches << "01";
    driver->Press("F4", "EdtCodFas");
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCusto"));
    QTest::keyClicks(QApplication::focusWidget(), "7");
    driver->Click("BitBtn1");
    QCOMPARE(Lista(), QStringLiteral("02|LAVAGEM|1,25;01|TINGIMENTO|7"));
}

QTEST_MAIN(TstCadFalServ)
#include "tst_cadfalserv.moc"
