// Roll labels: the label table of a sheet (rolls numbered over the whole sheet, filtered or not, with the
// weights recorded), each roll weighed on a simulated scale under the three protocols, recorded once and
// labelled; the batch printed in each mode, marking only the items printed; the rolls posted to stock once,
// under lots of the sheet's series.
#include "Acesso.h"
#include "CodeAllocator.h"
#include "DataContext.h"
#include "LeiturasEtiqueta.h"
#include "LocalSettings.h"
#include "RegrasEtiqueta.h"
#include "SimuladorBalanca.h"
#include "TZoDatabase.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TstRelTngEtq : public ScreenTestCase {
    Q_OBJECT
    QTemporaryDir m_dir;

    // Sheet 001234 of customer 00001: P1 (lot L1, 3 rolls) with its dyeing still open, P2 (lot L2, 2 rolls)
    // concluded; roll 4 (P2's first) weighed already.
    void Base(const QString& fat10 = "P") {
        InsertCommit("DEPOSITO (CODIGO, DESCRICAO, PRIORIDADE)",
                     {"'0000', 'GERAL', '1'", "'0002', 'TINTA', '2'"});
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00001', 'TECELAGEM A & B'"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO)", {"'COR0000001', 'AZUL'"});
        InsertCommit("PRODUTO (CODIGO, DESCRICAO)", {"'P1', 'MEIA MALHA'", "'P2', 'PIQUET'"});
        InsertCommit("MATERIAL (CODIGO, DESCRICAO)", {"'P1', 'MEIA MALHA'"});
        InsertCommit("PARAMETROS (MODULO, NUMERO, VALOR)", {"'TIN', 10, 'S'", "'FAT', 10, '" + fat10 + "'"});
        InsertCommit("FAL (NUMERO, CLIENTE, COR, VARIANTE, NUM_REPROC)",
                     {"'001234', '00001', 'COR0000001', '01', ''"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, LOTE, ORD_IT, ROLO, PESO, LARGURA, GRAMATURA, FATURADO)",
                     {"'001234', 'P1', 'L1', 1, 3, 60, 1.8, 160, 'A'",
                      "'001234', 'P2', 'L2', 2, 2, 40, 1.6, 195, 'A'"});
        InsertCommit("PROCESSO_TIN (FAL, CODIGO, FASE, DES_FASE, ORDEM, CONCLUIDO)",
                     {"'001234', 'P1', '01', 'PREPARACAO', 1, 'S'",
                      "'001234', 'P1', '03', 'TINGIMENTO', 2, 'N'",
                      "'001234', 'P2', '03', 'TINGIMENTO', 1, 'S'"});
        InsertCommit("CONTR_QUL (FAL, CODIGO, ORDEM, PESO_TINT)", {"'001234', 'P2', 4, 20.5"});
    }
    void Abre(const QString& produto = QString(), const QString& rolos = QString()) {
        driver->Open("TFmRelEtq");
        TypeAndTab("EdtFal", "001234");
        if (!produto.isEmpty())
            TypeAndTab("EdtCodPro", produto);
        if (!rolos.isEmpty())
            driver->Type("EdtRolo", rolos);
        driver->Click("btnConfirmar");
    }
    QString Rolos() { return FieldTexts("TbRelatorio", "Codigo|Seq|NrRolo|Peso").join(' '); }
    QString Rolo(const QString& where) {
        return Seen("SELECT CODIGO, ORDEM, PESO_TINT FROM CONTR_QUL WHERE FAL = '001234' AND " + where);
    }
    // Labels and the label printer's folder under the test's own settings.
    QString Settings() {
        return "[Caminho]\npath=" + m_dir.path() + "\nEtiqueta=" + m_dir.filePath("etq") + "\n[Parametros]\n";
    }

private slots:
    void carrega_data() {
        QTest::addColumn<QString>("produto");
        QTest::addColumn<QString>("rolos");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("whole sheet") << ""
                                     << ""
                                     << "P1|1|1| P1|2|2| P1|3|3| P2|1|4|20.5 P2|2|5|";
        QTest::newRow("second fabric") << "P2"
                                       << ""
                                       << "P2|1|4|20.5 P2|2|5|";
        QTest::newRow("extra rolls") << "P2"
                                     << "4"
                                     << "P2|1|4|20.5 P2|2|5| P2|3|6| P2|4|7|";
    }
    void carrega() {
        QFETCH(QString, produto);
        QFETCH(QString, rolos);
        SettingsFile ini(Settings());
        Base();
        SqlCommit("UPDATE PARAMETROS SET VALOR = 'N' WHERE MODULO = 'TIN'");
        Abre(produto, rolos);
        QCOMPARE(TakeMessages(), QString());
        QTEST(Rolos(), "esperado");
        QVERIFY(driver->Enabled("BtImp"));
    }

    // TIN 10 lets one open step through, not two; a reprocessed sheet and printed items (without the level-1
    // right) are refused.
    void recusas() {
        SettingsFile ini(Settings());
        Base();
        Abre("P1");
        QCOMPARE(TakeMessages(), QString());
        SqlCommit("UPDATE PROCESSO_TIN SET CONCLUIDO = 'N' WHERE FASE = '01'");
        Abre("P1");
        QCOMPARE(TakeMessages(), QString("Processos Pendentes na Produção."));
        SqlCommit("UPDATE FAL_ITEN SET SITUACAO = 'I' WHERE CODIGO = 'P2'");
        AddUser("002", "OPERADOR", "op", "NNS");
        Grant("002", "*");
        Grant("002", "TFmRelEtq", "A", 0);
        Commit();
        QVERIFY(Autentica("OPERADOR", "op"));
        messages.logins.enqueue({});
        Abre("P2");
        QCOMPARE(TakeMessages(), QString("FAL com itens já impressos."));
        InsertCommit("FAL (NUMERO, CLIENTE, NUM_REPROC)", {"'001299', '00001', '001234'"});
        Abre();
        QVERIFY(TakeMessages().startsWith("FAL reprocessada. Impossível emitir Etiquetas."));
    }

    // F5 under each protocol: the roll recorded with its weight, its label printed with the bar code, the
    // cursor on to the next roll; weighed again, or recorded by another workstation first, it is refused.
    void pesa_data() {
        QTest::addColumn<int>("protocolo");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("peso");
        // Scales standing on the roll for as long as the test weighs.
        const auto sempre = [](const char* quadro) {
            return QString("while true; do printf '%1'; sleep 0.05; done\n").arg(QLatin1String(quadro));
        };
        QTest::newRow("0: frames") << 0 << sempre("  +0012.50 kg\\r") << "12.5";
        QTest::newRow("1: ENQ") << 1
                                << "while [ \"$(head -c1 | od -An -tx1)\" ]; do printf ' +010.05 kg '; done\n"
                                << "10.05";
        QTest::newRow("2: pushed, 100 kg") << 2 << sempre(" 100.00 kg\\r") << "100";
    }
    void pesa() {
        if (!SimuladorBalanca::Disponivel())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
        QFETCH(int, protocolo);
        QFETCH(QString, script);
        QFETCH(QString, peso);
        SimuladorBalanca balanca(m_dir.filePath("bal"), script);
        SettingsFile ini(Settings() + "Porta=" + balanca.Porta() +
                         "\nProtocoloBal=" + QString::number(protocolo) + "\nCountStr=12\n");
        ReportFolder pdf;
        Base();
        SqlCommit("UPDATE PARAMETROS SET VALOR = 'N' WHERE MODULO = 'TIN'");
        Abre("P1");
        driver->Type("EdtTara", "0,5");
        driver->Row("DBGrid1", 0);
        driver->Press("F5", "DBGrid1");
        QTRY_COMPARE_WITH_TIMEOUT(Rolo("ORDEM = 1"), "P1|1|" + peso, 3000);
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(driver->Value("DBGrid1", "NrRolo"), QString("2"));
        const QString barra = MontaBarra(peso.toDouble(), "P1", "COR0000001", "L1", 1);
        QCOMPARE(FieldText("TbRelatorio", 0, "Imp|Barra|Peso_Liq"),
                 "N|" + barra + "|" + QString::number(peso.toDouble() - 0.5));
        if (CanReadPdf())
            QVERIFY(pdf.Text("WTngEtq01.pdf").contains(barra));
        QCOMPARE(GravaRolo({"001234", "P1", 1, 9.0, {}, {}}), kPecaRegistrada);
        ByOther("INSERT INTO CONTR_QUL (FAL, CODIGO, ORDEM, PESO_TINT) VALUES ('001234', 'P1', 2, 1)");
        // A port opened anew finds a scale of its own, as the first one found its.
        SimuladorBalanca outra(m_dir.filePath("bal2"), script);
        if (protocolo != 2)
            GravaIni("Parametros", "Porta", outra.Porta());
        driver->Press("F5", "DBGrid1");
        QTRY_COMPARE_WITH_TIMEOUT(messages.Texts(), QStringList{kPecaRegistrada}, 3000);
        messages.Clear();
        QCOMPARE(Rolo("ORDEM > 0 ORDER BY ORDEM").split(';').size(), 3);
        driver->Row("DBGrid1", 0);
        driver->Menu("ExcluirRolo1");
        QCOMPARE(Rolo("ORDEM = 1"), QString());
        QCOMPARE(FieldText("TbRelatorio", 0, "Peso|Barra"), QString("|"));
    }

    // The ticked rows print, each with its bar code; their items are marked printed only when the labels
    // went out: not when the layout cancels the run or is missing.
    void imprime_data() {
        QTest::addColumn<QString>("modo");
        QTest::addColumn<QString>("layout"); // TTngEtq05's text; empty: no such file
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("situacao");
        QTest::newRow("text") << "Texto"
                              << "[CHR1(2)][Barra]"
                              << ""
                              << "I|I";
        QTest::newRow("file") << "Arquivo"
                              << "[CHR1(2)][Barra]"
                              << ""
                              << "I|I";
        QTest::newRow("pending phase") << "Texto"
                                       << "[FasePendente(Fase_Pend, '03', 'Fase pendente.')][Barra]"
                                       << "Fase pendente."
                                       << "|";
        QTest::newRow("missing layout") << "Texto"
                                        << ""
                                        << "Layout de etiqueta não encontrado: TTngEtq05"
                                        << "|";
    }
    void imprime() {
        QFETCH(QString, modo);
        QFETCH(QString, layout);
        QFETCH(QString, situacao);
        SettingsFile ini(Settings());
        ReportFolder saida;
        QDir().mkpath(m_dir.filePath("etq"));
        QDir().mkpath(m_dir.filePath("Layout"));
        QFile script(m_dir.filePath("etq/tag.sh"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QString("cp '%1/Tag.txt' '%1/impresso.txt'\n").arg(m_dir.filePath("etq")).toUtf8());
        script.close();
        if (!layout.isEmpty()) {
            QFile arquivo(m_dir.filePath("Layout/TTngEtq05.prt"));
            QVERIFY(arquivo.open(QIODevice::WriteOnly));
            arquivo.write(layout.toUtf8() + "\n");
        }
        Base();
        SqlCommit("UPDATE PARAMETROS SET VALOR = 'N' WHERE MODULO = 'TIN'");
        Abre();
        if (layout.isEmpty()) // gone after the screen put the shipped ones in place
            QFile::remove(m_dir.filePath("Layout/TTngEtq05.prt"));
        driver->Select("CbLayout", "05");
        driver->Select("RgEtq", modo);
        Tick("DBGrid1", 0, "Imp");
        Tick("DBGrid1", 3, "Imp");
        messages.questions.enqueue(true);
        driver->Click("BtImp");
        QTEST(TakeMessages(), "mensagem");
        QTEST(Seen("SELECT LIST(COALESCE(SITUACAO, ''), '|') FROM (SELECT SITUACAO FROM FAL_ITEN ORDER BY "
                   "CODIGO)"),
              "situacao");
        if (situacao.startsWith('I')) {
            QCOMPARE(LogLines("EMISSAO DE ETIQUETA FAL").size(), 2);
            const QString escrito =
                modo == "Arquivo" ? m_dir.filePath("etq/impresso.txt") : saida.Path("TTngEtq05.txt");
            QFile lido(escrito);
            QVERIFY2(lido.open(QIODevice::ReadOnly), qPrintable(escrito));
            QCOMPARE(lido.readAll(), "\x02" + MontaBarra(0, "P1", "COR0000001", "L1", 1).toLatin1() +
                                         "\n\x02" + MontaBarra(20.5, "P2", "COR0000001", "L2", 4).toLatin1() +
                                         "\n");
        }
    }

    // Posting to stock: every check before any write (nothing weighed, a code posted before, a code not
    // registered), then one entry per weighed roll under the next lots of the sheet's series (digits only
    // count), the items closed; a second press is refused with nothing changed.
    void estoque_data() {
        QTest::addColumn<QString>("fat10");
        QTest::addColumn<QString>("antes"); // statement run first
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("lotes");
        QTest::newRow("first lots") << "P"
                                    << ""
                                    << "Estoque gerado com Sucesso."
                                    << "001234001|001234002";
        QTest::newRow("after lots in use")
            << "P"
            << "INSERT INTO PA_ITEN (CODIGO, COR, DEPOSITO, LOTE, QTDE) SELECT 'P1', '0', '0002', L, 1 FROM "
               "(SELECT '001234007' L FROM RDB$DATABASE UNION SELECT '001234A09' FROM RDB$DATABASE)"
            << "Estoque gerado com Sucesso."
            << "001234008|001234009";
        QTest::newRow("posted before")
            << "P"
            << "INSERT INTO PA_MOV (ID, CODIGO, NUM_DOCTO, OPERACAO, TP_MOV) VALUES (1, "
               "'P2', '001234', 'E', 'TG')"
            << "Lote já Lançado no Estoque. Impossível Continuar."
            << "";
        QTest::newRow("material not registered") << "M"
                                                 << ""
                                                 << "Material não cadastrado."
                                                 << "";
        QTest::newRow("nothing weighed") << "P"
                                         << "DELETE FROM CONTR_QUL"
                                         << "Nenhum rolo pesado."
                                         << "";
    }
    void estoque() {
        QFETCH(QString, fat10);
        QFETCH(QString, antes);
        QFETCH(QString, lotes);
        SettingsFile ini(Settings());
        Base(fat10);
        SqlCommit("UPDATE PARAMETROS SET VALOR = 'N' WHERE MODULO = 'TIN'");
        InsertCommit("CONTR_QUL (FAL, CODIGO, ORDEM, PESO_TINT)", {"'001234', 'P1', 2, 15"});
        if (!antes.isEmpty())
            SqlCommit(antes);
        const QString itens =
            "SELECT LIST(FATURADO, '|') FROM (SELECT FATURADO FROM FAL_ITEN ORDER BY CODIGO)";
        Abre();
        driver->Type("EdtTara", "0,5");
        driver->Click("btnConfirmar");
        messages.searches.enqueue("0002");
        messages.questions.enqueue(true);
        driver->Click("BitBtn3");
        QTEST(TakeMessages(), "mensagem");
        const QString movimentos = Seen(
            "SELECT LIST(LOTE || ':' || CAST(QTDE AS NUMERIC(9, 1)) || ':' || DEPOSITO || ':' || USUARIO || "
            "':' || TIPO_MOV, '|') FROM (SELECT * FROM PA_MOV WHERE TIPO_MOV = '1' "
            "ORDER BY LOTE)");
        if (lotes.isEmpty()) {
            QCOMPARE(Seen(itens), QString("A|A"));
            QCOMPARE(movimentos, QString());
            return;
        }
        const QStringList l = lotes.split('|');
        QCOMPARE(movimentos, l[0] + ":14.5:0002:L1:1|" + l[1] + ":20.0:0002:L2:1");
        QCOMPARE(FieldTexts("TbRelatorio", "NumBarra").join(' '), " " + l[0] + "  " + l[1] + " ");
        QCOMPARE(Seen(itens), QString("S|S"));
        messages.searches.enqueue("");
        messages.questions.enqueue(true);
        driver->Click("BitBtn3");
        QCOMPARE(TakeMessages(), QString("Lote já Lançado no Estoque. Impossível Continuar."));
        // The series goes on from another workstation's counter, never giving a lot twice.
        auto outra = OpenSecond("outra");
        CodeAllocator alocador(outra.get(), outra.get());
        QCOMPARE(alocador.NextOfSeries("PA_ITEN", "LOTE", "001234", 1, 3).value(0),
                 "001234" + QString::number(l[1].right(3).toInt() + 1).rightJustified(3, '0'));
    }
};

QTEST_MAIN(TstRelTngEtq)
#include "tst_reltngetq.moc"
