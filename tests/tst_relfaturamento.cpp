// The dye-house billing report (summary and items, invoices that count, the orders, the entry weight) and
// the recipe list (the bath, each item's grams, counter-types, preparations, ranges), on the screen and in
// print; their calculations as data tables.
#include "RegrasRelFaturamento.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QTest>

class TstRelFaturamento : public ScreenTestCase {
    Q_OBJECT

    // Invoice 1 of 00001 (header 130): two equal items of FAL 0000001, one with no EMPENHO, one held ("S"),
    // one whose colour is not its FAL's; three installments of representative R1. Invoice 2 of 00002: one
    // item of 200, R2. Invoice 3 has no receivable. Entries: 00001 300 kg on the period's last afternoon,
    // 00002 500 kg, and 00001 900 kg in October.
    void Faturamento() {
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00001', 'MALHARIA UM'", "'00002', 'MALHARIA DOIS'"});
        InsertCommit("REPRESEN (CODREP, NOME)", {"'R1', 'ANA'", "'R2', 'RUI'"});
        InsertCommit("FAL (NUMERO, COR, CLIENTE, PROMOCAO)",
                     {"'0000001', 'A1', '00001', 'P1'", "'0000002', 'B1', '00002', NULL"});
        InsertCommit("NOTA (FATURA, CODCLI, DT_EMISSAO, VALOR)",
                     {"1, '00001', '2026-11-10', 130", "2, '00002', '2026-11-20', 200",
                      "3, '00001', '2026-11-21', 999"});
        InsertCommit("NOTAITEN (FATURA, CODIGO, COR, PEDIDO, QTDE, VALOR, EMPENHO)",
                     {"1, 'T1', 'A1', '0000001', 10, 50, 'N'", "1, 'T1', 'A1', '0000001', 10, 50, 'N'",
                      "1, 'T1', 'A1', '0000001', 6, 30, NULL", "1, 'T1', 'A1', '0000001', 7, 70, 'S'",
                      "1, 'T1', 'ZZ', '0000001', 8, 80, 'N'", "2, 'T2', 'B1', '0000002', 5, 200, 'N'",
                      "3, 'T1', 'A1', '0000001', 1, 999, 'N'"});
        InsertCommit("RECEBER (FATURA, CODCLI, CODREP, VALOR)",
                     {"1, '00001', 'R1', 40", "1, '00001', 'R1', 40", "1, '00001', 'R1', 50",
                      "2, '00002', 'R2', 200"});
        InsertCommit("NFTIN (NOTA, CLIENTE, DATA_LAN)",
                     {"'10', '00001', '2026-11-30 15:00:00'", "'11', '00002', '2026-11-05 08:00:00'",
                      "'12', '00001', '2026-10-05 08:00:00'"});
        InsertCommit("NFITIN (NOTA, CODCLI, CODIGO, PESO_NOTA)",
                     {"'10', '00001', 'T1', 300", "'11', '00002', 'T2', 500", "'12', '00001', 'T1', 900"});
    }
    void AbreFaturamento(bool resumo) {
        driver->Open("TFmRelTngFat");
        driver->Type("DtFatIni", "01/11/2026");
        driver->Type("DtFatFim", "30/11/2026");
        if (resumo)
            driver->Click("CbResumo");
    }

    // Recipe 0001/01 (preparation P1) and 0002/01 (none) in blue, 0003/01 beyond; M1 has two active
    // counter-types (C2 at 80 %, C1 at 50 %) and an inactive C0; M2 is at 50 %; MX does not exist. Machine
    // MQ1 takes bath B1 (10 L/kg) between 150 L and no maximum; rule R2 answers 0.5, R9 nothing.
    void Receitas() {
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO)", {"'A1', 'AZUL'"});
        InsertCommit("MATERIAL (CODIGO, DESCRICAO, REPOSICAO, CONCENTRACAO)",
                     {"'M1', 'CORANTE', 10, 0", "'M2', 'CORANTE 50', 20, 50", "'M3', 'SAL', 1, 0",
                      "'C1', 'ALTERNATIVO 1', 7, 0", "'C2', 'ALTERNATIVO 2', 8, 0"});
        InsertCommit("CONTRATIPO (MATERIAL, CODIGO, CONCENT, ATIVO)",
                     {"'M1', 'C2', 80, 'S'", "'M1', 'C1', 50, 'S'", "'M1', 'C0', 10, 'N'"});
        InsertCommit("RECEITA (CODIGO, VARIANTE, COR, PREPARACAO)",
                     {"'0001', '01', 'A1', 'P1'", "'0002', '01', 'A1', NULL", "'0003', '01', 'A1', 'P1'"});
        InsertCommit(
            "MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, QTDE, UNIDADE, FIBRA, REGRA)",
            {"'0001', '01', 1, 'M1', 1.5, '%', '1', NULL", "'0001', '01', 2, 'M2', 1.5, '%', '1', NULL",
             "'0001', '01', 3, 'M3', 2, 'GL', '2', NULL", "'0001', '01', 4, 'MX', 1, '%', NULL, NULL",
             "'0001', '01', 5, 'M1', 1, '%', NULL, 'R9'", "'0001', '01', 6, 'M3', 1, 'GL', NULL, 'R2'",
             "'0002', '01', 1, 'M1', 1, '%', NULL, NULL", "'0003', '01', 1, 'M1', 1, '%', NULL, NULL"});
        InsertCommit("PREPARACAO (CODIGO, DESCRICAO, MATERIAL, UNIDADE, ORDEM, QTDE)",
                     {"'P1', 'PREPARO', 'M3', 'GL', 1, 1"});
        InsertCommit("TNG_REGRA (CODIGO, DESCRICAO, LINHA, TIPO, ORDEM, QTDE_DE, QTDE_ATE, QTDE_R)",
                     {"'R2', 'MEIO', '', '', 1, 0, 0, 0.5"});
        InsertCommit("BANHO (CODIGO, DESCRICAO, PROPORCAO)", {"'B1', 'NORMAL', 10"});
        InsertCommit("MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO, VOLUME_MIN, VOLUME_MAX, ARREDONDA)",
                     {"'MQ1', 'JET', 'B1', 150, 0, 0"});
    }
    void AbreReceitas(const QString& de, const QString& ate) {
        driver->Open("TFmRelTngListaRec");
        driver->Type("EdtRecIni", de);
        driver->Type("EdtRecFim", ate);
        driver->Type("EdtPeso", "10");
        driver->Type("EdtFibra1", "60");
        TypeAndTab("EdtCodMaq", "MQ1");
    }

private slots:
    void consumo_data() {
        QTest::addColumn<double>("qtde");
        QTest::addColumn<QString>("unidade");
        QTest::addColumn<QString>("fibra");
        QTest::addColumn<double>("concentracao");
        QTest::addColumn<double>("fibra1");
        QTest::addColumn<double>("gramas");
        QTest::newRow("10 kg at 1.5 %") << 1.5 << "%"
                                        << "" << 0.0 << 0.0 << 150.0;
        QTest::newRow("fibre 1 at 60 %") << 1.5 << "%"
                                         << "1" << 0.0 << 60.0 << 90.0;
        QTest::newRow("fibre 2 at 40 %") << 1.5 << "%"
                                         << "2" << 0.0 << 60.0 << 60.0;
        QTest::newRow("concentration 50") << 1.5 << "%"
                                          << "1" << 50.0 << 60.0 << 45.0;
        QTest::newRow("2 g/L in 100 L") << 2.0 << "GL"
                                        << "1" << 0.0 << 60.0 << 200.0;
        QTest::newRow("four decimals") << 0.0012345 << "GL"
                                       << "" << 0.0 << 0.0 << 0.1235;
        QTest::newRow("unknown unit") << 5.0 << "KG"
                                      << "" << 0.0 << 0.0 << 0.0;
    }
    void consumo() {
        QFETCH(double, qtde);
        QFETCH(QString, unidade);
        QFETCH(QString, fibra);
        QFETCH(double, concentracao);
        QFETCH(double, fibra1);
        QFETCH(double, gramas);
        QCOMPARE(ConsumoItem(qtde, unidade, fibra, concentracao, 10, 100, fibra1, 40), gramas);
    }

    void ordemResumo_data() {
        QTest::addColumn<int>("ordem");
        QTest::addColumn<QString>("clientes");
        QTest::newRow("Cliente") << 0 << "1 2 3 4";
        QTest::newRow("Peso Entrada") << 1 << "4 2 1 3";
        // 3 and 1 bill the same as shown: the code breaks the tie.
        QTest::newRow("Valor Faturado") << 2 << "2 1 3 4";
    }
    void ordemResumo() {
        QFETCH(int, ordem);
        QFETCH(QString, clientes);
        QList<LinhaResumo> linhas{
            {"3", "", 10.004, 0, 0}, {"1", "", 10.001, 0, 5}, {"4", "", 1, 0, 50}, {"2", "", 99, 0, 7}};
        OrdenaResumo(linhas, static_cast<OrdemResumo>(ordem));
        QStringList ordenados;
        for (const LinhaResumo& l : linhas)
            ordenados << l.codcli;
        QCOMPARE(ordenados.join(' '), clientes);
    }

    // Items as billed: both equal items, once each whatever the installments; a null EMPENHO counts, a held
    // item and one whose colour is not its FAL's do not; an invoice without receivables neither.
    void faturamentoDetalhe_data() {
        QTest::addColumn<QString>("caixa");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QStringList>("linhas");
        const QStringList todas{"00001|1|0000001|10|50|300", "00001|1|0000001|10|50|300",
                                "00001|1|0000001|6|30|300", "00002|2|0000002|5|200|500"};
        QTest::newRow("period") << ""
                                << "" << todas;
        QTest::newRow("representative") << "EdtCodRep"
                                        << "R2" << todas.mid(3);
        QTest::newRow("promotion") << "EdtPromocao"
                                   << "P1" << todas.mid(0, 3);
        QTest::newRow("invoices") << "EdtNota"
                                  << "2, 3" << todas.mid(3);
    }
    void faturamentoDetalhe() {
        QFETCH(QString, caixa);
        QFETCH(QString, valor);
        QFETCH(QStringList, linhas);
        Faturamento();
        AbreFaturamento(false);
        if (!caixa.isEmpty())
            driver->Type(caixa, valor);
        driver->Click("BitBtn1");
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(FieldTexts("TbResultado", "CODCLI|FATURA|FAL|PESOL|VALOR|PESO_NOTA"), linhas);
    }

    // Values as shown (130 against 200, though invoice 1's header times its items is more); entry weights
    // of the whole period, the last afternoon too.
    void faturamentoResumo_data() {
        QTest::addColumn<QString>("ordem");
        QTest::addColumn<QStringList>("linhas");
        QTest::newRow("Cliente") << "RgOrdem0" << QStringList{"00001|300|26|130", "00002|500|5|200"};
        QTest::newRow("Peso Entrada") << "RgOrdem1" << QStringList{"00002|500|5|200", "00001|300|26|130"};
        QTest::newRow("Valor Faturado") << "RgOrdem2" << QStringList{"00002|500|5|200", "00001|300|26|130"};
    }
    void faturamentoResumo() {
        QFETCH(QString, ordem);
        QFETCH(QStringList, linhas);
        Faturamento();
        AbreFaturamento(true);
        driver->Click(ordem);
        driver->Click("BitBtn1");
        QCOMPARE(FieldTexts("TbResultado", "CODCLI|PESO_ENTRADA|PESO|VALOR"), linhas);
    }

    void faturamentoFiltrosEImpressao() {
        Faturamento();
        AbreFaturamento(false);
        QVERIFY(!driver->Enabled("RgOrdem") && driver->Enabled("EdtPromocao"));
        driver->Type("EdtNota", "1, abc");
        QCOMPARE(ClickMessages("BitBtn1"), QString("Nota: \"abc\" não é um número de nota válido."));
        QCOMPARE(driver->FocusedName(), QString("EdtNota"));
        driver->Type("EdtNota", "");
        const ReportFolder pasta;
        driver->Click("BitBtn1");
        driver->Click("BtImp");
        const QString itens = pasta.Text("WTngFat.pdf");
        for (const char* texto : {"00001 - MALHARIA UM - entrada no período: 300,00 kg", "130,00", "330,00"})
            QVERIFY2(itens.contains(QString::fromUtf8(texto)), qPrintable(itens));
        driver->Click("CbResumo");
        QVERIFY(driver->Enabled("RgOrdem") && !driver->Enabled("EdtPromocao"));
        driver->Click("BitBtn1");
        driver->Click("BtImp");
        const QString resumo = pasta.Text("WTngFatR.pdf");
        for (const char* texto : {"MALHARIA DOIS", "800,00", "31,00", "330,00"})
            QVERIFY2(resumo.contains(QString::fromUtf8(texto)), qPrintable(resumo));
    }

    // 10 kg at 10 L/kg is 100 L, raised to the machine's 150 L before the g/L items; no maximum is no bound.
    // Preparation lines only for the recipe that has one; one counter-type, the first by code; a rule
    // without an answer keeps the item's quantity; a material that does not exist is not listed.
    void listaReceitas() {
        Receitas();
        AbreReceitas("0001", "0002");
        QCOMPARE(Texts({"EdtCodBan", "EdtProporc", "EdtMin", "EdtMax", "EdtVolume"}),
                 QString("B1|10,000|150|0|150"));
        driver->Click("BitBtn1");
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(FieldTexts("TbResultado",
                            "Receita|Variante|Ordem|Material|Qtde|Consumo|ContraTipo|QtdeContraTipo"),
                 (QStringList{"0001|01|1|M1|1.5|90|C1|0.75", "0001|01|2|M2|1.5|45||", "0001|01|3|M3|2|300||",
                              "0001|01|5|M1|1|100|C1|0.5", "0001|01|6|M3|0.5|75||", "0001|01|1|M3|1|150||",
                              "0002|01|1|M1|1|100|C1|0.5"}));
        const ReportFolder pasta;
        driver->Click("BtImp");
        const QString impresso = pasta.Text("WTngListaRec.pdf");
        for (const char* texto : {"0001 / 01 - AZUL", "90,0000", "45,0000", "300,0000", "0002 / 01 - AZUL"})
            QVERIFY2(impresso.contains(QString::fromUtf8(texto)), qPrintable(impresso));
        QVERIFY(QFileInfo(pasta.Path("WTngListaRec.txt")).size() > 0);
    }

    // An empty bound is open; the bath's bounds as typed (0 is none).
    void listaReceitasFaixas_data() {
        QTest::addColumn<QString>("de");
        QTest::addColumn<QString>("ate");
        QTest::addColumn<QString>("minimo");
        QTest::addColumn<QString>("maximo");
        QTest::addColumn<QString>("receitas");
        QTest::addColumn<QString>("volume");
        QTest::newRow("open start") << ""
                                    << "0001"
                                    << "150"
                                    << "0"
                                    << "0001"
                                    << "150";
        QTest::newRow("open end") << "0002"
                                  << ""
                                  << "0"
                                  << "0"
                                  << "0002 0003"
                                  << "100";
        QTest::newRow("maximum") << "0003"
                                 << "0003"
                                 << "0"
                                 << "80"
                                 << "0003"
                                 << "80";
    }
    void listaReceitasFaixas() {
        QFETCH(QString, de);
        QFETCH(QString, ate);
        QFETCH(QString, minimo);
        QFETCH(QString, maximo);
        QFETCH(QString, receitas);
        QFETCH(QString, volume);
        Receitas();
        AbreReceitas(de, ate);
        driver->Type("EdtMin", minimo);
        driver->Type("EdtMax", maximo);
        driver->Click("BitBtn1");
        QStringList lidas = FieldTexts("TbResultado", "Receita");
        lidas.removeDuplicates();
        QCOMPARE(lidas.join(' '), receitas);
        QCOMPARE(driver->Text("EdtVolume"), volume);
    }
};

QTEST_MAIN(TstRelFaturamento)
#include "tst_relfaturamento.moc"
