// The kitchen's write-off by weighing: lines weighed on a scale simulated on a pseudo-terminal (steady
// frames, a cut first frame, silence, a port that is not there, a named scale's multiplier), judged and
// written off once, from where recipe issue reserved them, in one unit with its label; the write-off
// against another workstation's and against a refused movement.
#include "BaixaPesagem.h"
#include "SimuladorBalanca.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

class TstTngBaiRec : public ScreenTestCase {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_balancas = 0;

    // Sheet F1 of customer 00001: M1 500 g and M2 200 g at 2 % (M2 from its lot L7), a print-shop line
    // that is not the kitchen's, and sheet F2 written off already.
    void Base() {
        InsertCommit("DEPOSITO (CODIGO, DESCRICAO, PRIORIDADE)",
                     {"'0000', 'GERAL', '2'", "'0009', 'COZINHA', '1'"});
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00001', 'TECELAGEM A & B'"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO)", {"'C1', 'AZUL'"});
        InsertCommit("GRUPO_MA (CODIGO, DESCRICAO)", {"'G1', 'CORANTES'", "'G2', 'QUIMICOS'"});
        InsertCommit(
            "MATERIAL (CODIGO, DESCRICAO, GRUPO, SUB_GRUPO, IND_TIN)",
            {"'M1', 'AMARELO', 'G1', 'S1', 2", "'M2', 'SODA', 'G2', 'S2', 2", "'M3', 'TE', 'G1', 'S1', 2"});
        InsertCommit("MAT_ITEN (CODIGO, COR, DEPOSITO, LOTE, QTDE, LOCAL)",
                     {"'M1', '0', '0009', '000000', 10, 'A1'", "'M2', '0', '0009', 'L7', 5, 'B2'",
                      "'M2', '0', '0000', '000000', 5, 'X'"});
        InsertCommit("FAL (NUMERO, CLIENTE, COR, VARIANTE)",
                     {"'F1', '00001', 'C1', '01'", "'F2', '00001', 'C1', '01'"});
        InsertCommit("TNG_CONSUMOS (FAL, ORIGEM, CODIGO, ORDEM, QTDE, CONSUMO, BAIXADO, LOTE)",
                     {"'F1', 'TG', 'M1', 1, 1, 500, 'N', '000000'", "'F1', 'TG', 'M2', 2, 1, 200, 'N', 'L7'",
                      "'F1', 'TE', 'M3', 1, 1, 100, 'N', '000000'", "'F2', 'TG', 'M1', 1, 1, 100, 'S', ''"});
    }
    void Abre(const QString& fal = "F1") {
        driver->Open("TFmTngBaiRec");
        driver->Type("EdtFal", fal);
        driver->Click("BtConsultar");
    }
    // F5 (or F6) on a row with a scale sending `script`: the messages shown.
    QString Pesa(int row, const QString& script, bool soma = false) {
        SimuladorBalanca balanca(m_dir.filePath(QString::number(++m_balancas)), script);
        driver->Type("EdtPorta", balanca.Porta());
        driver->Row("DBGrid1", row);
        driver->Press(soma ? "F6" : "F5", "DBGrid1");
        if (PortaAberta(balanca.Dispositivo()))
            return "port left open";
        return TakeMessages();
    }
    QString Linhas() { return FieldTexts("TbReceita", "Material|Peso_Bal|Baixar|Baixado|Local").join(' '); }

private slots:
    // Frames in grams and kilograms, the tolerance, F6 adding and a rejected re-weighing; the port closed
    // after each reading; a port that is not there leaves the line as it was.
    void pesaEJulga() {
        if (!SimuladorBalanca::Disponivel())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
        Base();
        Abre();
        QCOMPARE(Texts({"EdtCodCli", "EdtNomCli", "EdtDesCor"}), QString("00001|TECELAGEM A & B|AZUL"));
        QCOMPARE(Linhas(), QString("M1|0|N|N|A1 M2|0|N|N|B2"));
        QCOMPARE(Pesa(0, SimuladorBalanca::Repete("  +0505.0 g\\r")), QString());
        QCOMPARE(Linhas(), QString("M1|505|S|N|A1 M2|0|N|N|B2"));
        QCOMPARE(driver->Value("DBGrid1", "Material"), QString("M2")); // accepted: on to the next line
        QCOMPARE(Pesa(1, "printf '5 kg\\r'; sleep 0.1\n" + SimuladorBalanca::Repete("  +0.1000 kg\\r")),
                 QString("Peso do Material insuficiente."));
        QCOMPARE(Pesa(1, SimuladorBalanca::Repete("100\\r"), true), QString()); // bare grams, added
        QCOMPARE(Linhas(), QString("M1|505|S|N|A1 M2|200|S|N|B2"));
        QCOMPARE(Pesa(0, SimuladorBalanca::Repete("515 g\\r")),
                 QString("Peso do Material acima do permitido."));
        QCOMPARE(Linhas(), QString("M1|515|N|N|A1 M2|200|S|N|B2"));
        driver->Type("EdtPorta", m_dir.filePath("nao-existe"));
        driver->Row("DBGrid1", 0);
        driver->Press("F5", "DBGrid1");
        QVERIFY(TakeMessages().contains("nao-existe"));
        QCOMPARE(Linhas(), QString("M1|515|N|N|A1 M2|200|S|N|B2"));
    }

    // A scale that never answers is read four times and weighs nothing.
    void balancaMuda() {
        if (!SimuladorBalanca::Disponivel())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
        Base();
        Abre();
        QElapsedTimer relogio;
        relogio.start();
        QCOMPARE(Pesa(0, "sleep 20\n"), QString("Peso do Material insuficiente."));
        QVERIFY2(relogio.elapsed() >= 7500, qPrintable(QString::number(relogio.elapsed())));
        QCOMPARE(Linhas(), QString("M1|0|N|N|A1 M2|0|N|N|B2"));
    }

    // A named scale kept in the settings: its multiplier scales bare numbers only.
    void balancaNomeada() {
        if (!SimuladorBalanca::Disponivel())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
        SettingsFile ini;
        Base();
        Abre();
        messages.inputs.enqueue("cozinha 2");
        driver->Click("BtNovaBalanca");
        driver->Type("EdtDecimais", "3");
        driver->Type("EdtConversor", "1000");
        QCOMPARE(ClickMessages("BtGravaBalanca"), QString("Balança COZINHA 2 gravada."));
        driver->Select("CbBalanca", "PADRÃO");
        QCOMPARE(driver->Text("EdtConversor"), QString("1"));
        driver->Select("CbBalanca", "COZINHA 2");
        QCOMPARE(Texts({"EdtDecimais", "EdtConversor"}), QString("3|1000"));
        QCOMPARE(Pesa(0, SimuladorBalanca::Repete("000500\\r")), QString()); // 0.500 × 1000
        QCOMPARE(Pesa(1, SimuladorBalanca::Repete("0.2 kg\\r")), QString()); // named unit: not × 1000
        QCOMPARE(Linhas(), QString("M1|500|S|N|A1 M2|200|S|N|B2"));
    }

    // Written off once, from the priority warehouse and the line's lot, with its audit line and label; the
    // sheet leaves the "Consulta" list, which opens a sheet on a double click.
    void baixaEEtiqueta() {
        if (!SimuladorBalanca::Disponivel())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
        ReportFolder relatorios;
        Base();
        driver->Open("TFmTngBaiRec");
        driver->Keys("Ctrl+PgDown"); // the next page, from the keyboard
        auto* abas = driver->Get<QTabWidget>("PageControl1");
        QCOMPARE(abas->tabText(abas->currentIndex()) + "/" + QApplication::focusWidget()->objectName(),
                 QString("Consulta/BtConsultaFals"));
        driver->Press("Enter");
        QCOMPARE(FieldTexts("DBGrid2", "NUMERO").join(' '), QString("F1"));
        driver->DoubleClick("DBGrid2");
        QCOMPARE(driver->Rows("DBGrid1"), 2);
        QCOMPARE(Pesa(0, SimuladorBalanca::Repete("500 g\\r")), QString());
        QCOMPARE(Pesa(1, SimuladorBalanca::Repete("198 g\\r")), QString());
        driver->Click("ChkEtiqueta");
        messages.questions.enqueue(true);
        QCOMPARE(ClickMessages("BtBaixar"), QString("2 consumo(s) baixado(s) do estoque."));
        QCOMPARE(Seen("SELECT CODIGO, DEPOSITO, LOTE, QTDE FROM MAT_ITEN ORDER BY 1, 2"),
                 QString("M1|0009|000000|9.5;M2|0000|000000|5;M2|0009|L7|4.802"));
        QCOMPARE(Seen("SELECT CODIGO, QTDE_BAL, BAIXADO FROM TNG_CONSUMOS WHERE FAL = 'F1' ORDER BY ORIGEM, "
                      "CODIGO"),
                 QString("M3||N;M1|500|S;M2|198|S"));
        QCOMPARE(LogLines("BAIXA DE CONSUMO DA RECEITA").join(' '),
                 QString("3|BAIXA DE CONSUMO DA RECEITA - FAL. F1"));
        const QString etiqueta = relatorios.Text("wTngEtqCons.pdf");
        for (const char* esperado : {"F1", "TECELAGEM A & B", "AMARELO", "500,000", "198,000", "698,000"})
            QVERIFY2(etiqueta.contains(QLatin1String(esperado)), qPrintable(etiqueta));
        QCOMPARE(driver->Text("EdtFal"), QString());
        driver->Page("PageControl1", "Consulta");
        driver->Click("BtConsultaFals");
        QCOMPARE(driver->Rows("DBGrid2"), 0);
    }

    // A line another workstation wrote off meanwhile moves no stock again; a refused movement leaves lines,
    // stock, movements and the audit as they were.
    void baixaConcorrenteERecusa() {
        Base();
        ByOther("UPDATE TNG_CONSUMOS SET BAIXADO = 'S', QTDE_BAL = 499 WHERE FAL = 'F1' AND CODIGO = 'M1'");
        const ResultadoBaixa r = BaixaConsumosPesados("F1", "00001", {{"M1", 1, 505}, {"M2", 2, 200}});
        QCOMPARE(r.recusa + "/" + QString::number(r.baixadas), QString("/1"));
        QCOMPARE(
            Seen("SELECT CODIGO, QTDE_BAL FROM TNG_CONSUMOS WHERE ORIGEM = 'TG' AND FAL = 'F1' ORDER BY 1"),
            QString("M1|499;M2|200"));
        QCOMPARE(Seen("SELECT CODIGO, LOTE, QTDE FROM MAT_MOV"), QString("M2|L7|0.2"));

        SqlCommit("UPDATE TNG_CONSUMOS SET BAIXADO = 'N' WHERE FAL = 'F1'");
        const QStringList tabelas = {"TNG_CONSUMOS", "MAT_ITEN", "MAT_MOV", "LOG"};
        const QStringList antes = Snapshot(tabelas);
        const ResultadoBaixa recusa = BaixaConsumosPesados("F1", "00001", {{"M1", 1, 500}, {"M2", 2, 9000}});
        QVERIFY2(recusa.recusa.contains("M2"), qPrintable(recusa.recusa));
        QCOMPARE(Snapshot(tabelas), antes);
    }
};

QTEST_MAIN(TstTngBaiRec)
#include "tst_tngbairec.moc"
