// Expedition by collector: a collector's file read as lines, the checks of a sheet read in the sector, the
// pending count once per sheet, a sheet removed whole, the shipment in one unit that keeps a recorded start,
// leaves what another station closed meanwhile or quality blocked and names it; a docked collector's file
// merged, refused by line, and moved away only once the shipment committed.
#include "RegrasExpedicao.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstTngColExpFal : public ScreenTestCase {
    Q_OBJECT

    // F1 (two fabrics, its dyeing done, expedition started this morning) and F2 wait in sector 08 for
    // customer 00001 (group G1); F3 is another customer's, F4 still dyeing, F5 billed.
    void Base() {
        InsertCommit("GRUPO_CLI (CODIGO, DESCRICAO)", {"'G1', 'MALHARIAS'", "'G2', 'CONFECCOES'"});
        InsertCommit("ENTIDADE (CODCLI, NOME, GRUPO)",
                     {"'00001', 'MALHARIA A', 'G1'", "'00002', 'CONFECCAO B', 'G2'"});
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'03', 'TINGIMENTO'", "'08', 'EXPEDICAO'"});
        InsertCommit("PRODUTO (CODIGO, DESCRICAO)", {"'T1', 'MALHA PV'", "'T2', 'RIBANA'"});
        InsertCommit("FAL (NUMERO, CLIENTE, PARTIDA)",
                     {"'F1', '00001', 'P1'", "'F2', '00001', 'P2'", "'F3', '00002', 'P3'",
                      "'F4', '00001', 'P4'", "'F5', '00001', 'P5'"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, ORD_IT, PESO, ROLO, FATURADO)",
                     {"'F1', 'T1', 1, 10, 2, 'A'", "'F1', 'T2', 2, 5, 1, 'A'", "'F2', 'T1', 1, 7, 1, 'A'",
                      "'F3', 'T1', 1, 1, 1, 'A'", "'F4', 'T1', 1, 1, 1, 'A'", "'F5', 'T1', 1, 1, 1, 'S'"});
        QStringList passos;
        for (const char* p : {"'F1', 'T1', '03', 1, 'N', 'S'", "'F1', 'T2', '03', 1, 'N', 'S'",
                              "'F1', 'T1', '08', 2, 'S', 'N'", "'F1', 'T2', '08', 2, 'S', 'N'",
                              "'F2', 'T1', '08', 1, 'S', 'N'", "'F3', 'T1', '08', 1, 'S', 'N'",
                              "'F4', 'T1', '03', 1, 'S', 'N'", "'F4', 'T1', '08', 2, NULL, 'N'",
                              "'F5', 'T1', '08', 1, 'S', 'N'"})
            passos << p;
        InsertCommit("PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, PENDENTE, CONCLUIDO)", passos);
        SqlCommit(
            "UPDATE PROCESSO_TIN SET DATA_INI = '2026-12-01', HORA_INI = '07:10:00' WHERE FAL = 'F1' AND "
            "FASE = '08'");
    }
    void Abre(const QString& cliente = "00001", const QString& grupo = "") {
        driver->Open("TFmTngColExpFal");
        TypeAndTab("EdtCodCli", cliente);
        TypeAndTab("edtGrupoCli", grupo);
        TypeAndTab("EdtCodSetor", "08");
    }
    QString Le(const QString& codigo) {
        driver->Type("EdtFAL", codigo);
        driver->Press("Enter");
        return TakeMessages();
    }
    QString Totais() { return Texts({"EdtQtde", "EdtRolos", "EdtLidas", "LblPendentes"}); }

private slots:
    void arquivoColetor() {
        const QByteArray conteudo = "# coletor 7\r\nF1*2;2026-12-07;10:00\r\n\r\n  F2 ;x\nF\xc7"
                                    "3\n";
        QStringList lido;
        for (const LeituraColetor& l : LeArquivoColetor(conteudo))
            lido << QString::number(l.linha) + ":" + l.codigo + ">" + FalDoCodigo(l.codigo) +
                        (CodigoDePeca(l.codigo) ? "*" : "");
        QCOMPARE(lido.join(' '), QString("2:F1*2>F1* 4:F2>F2 5:FÇ3>FÇ3"));
        QCOMPARE(LeArquivoColetor("F\xc3\x87"
                                  "3")
                     .value(0)
                     .codigo,
                 QString("FÇ3")); // UTF-8 taken as such
    }

    void leituraETotais() {
        Base();
        Abre();
        QCOMPARE(driver->Text("LblPendentes"), QString("Pendentes: 2"));
        const struct {
            const char* codigo;
            const char* mensagem;
        } casos[] = {{"F3", "Cliente/Grupo do Cliente da FAL inválido."},
                     {"F4", "FAL não está pendente no setor informado."},
                     {"F5", "FAL já está faturada."},
                     {"F9", "FAL inexistente."},
                     {"F1", ""},
                     {"F1", "FAL já expedida nessa movimentação."}};
        for (const auto& c : casos)
            QCOMPARE(Le(c.codigo), QString(c.mensagem));
        QCOMPARE(Totais(), QString("15,00|3|1|Pendentes: 2"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("EdtFAL"));
        driver->Row("DBGrid1", 1);
        messages.questions.enqueue(true);
        driver->Click("BitBtn2");
        QCOMPARE(driver->Rows("DBGrid1"), 0);
        // The group alone filters when the customer is left blank.
        driver->Close();
        Abre("", "G2");
        QCOMPARE(Le("F1") + "|" + Le("F3"), QString("Cliente/Grupo do Cliente da FAL inválido.|"));
    }

    void grava_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("f2");
        QTest::addColumn<QString>("pending");
        QTest::newRow("shipped by another station")
            << "UPDATE PROCESSO_TIN SET CONCLUIDO = 'S', PENDENTE = 'N', OBS = 'OUTRA' WHERE FAL = 'F2'"
            << "FAL não está mais pendente no setor: F2"
            << "F2|T1|S|N|||OUTRA"
            << "Pendentes: 0";
        QTest::newRow("blocked in quality")
            << "INSERT INTO CONTR_QUL (FAL, CODIGO, ORDEM, APROVADO) VALUES ('F2', 'T1', 0, 'N')"
            << "FAL bloqueada na qualidade. Impossível gravar. FAL: F2"
            << "F2|T1|N|S|||"
            << "Pendentes: 1";
    }
    // Shipped in one unit: the recorded start kept, the shift and the employee booked, the audit line; a
    // sheet another station shipped meanwhile, or quality blocked since it was read, named and left as it
    // was.
    void grava() {
        QFETCH(QString, meanwhile);
        QFETCH(QString, message);
        QFETCH(QString, f2);
        QFETCH(QString, pending);
        Base();
        Abre();
        Le("F1");
        Le("F2");
        ByOther(meanwhile);
        QCOMPARE(ClickMessages("BitBtn1"), message);
        QCOMPARE(
            Seen("SELECT FAL, CODIGO, CONCLUIDO, PENDENTE, DATA_INI, HORA_INI, OBS FROM PROCESSO_TIN WHERE "
                 "FASE = '08' AND FAL IN ('F1', 'F2') ORDER BY 1, 2"),
            QString(
                "F1|T1|S|N|01/12/2026|07:10:00|EXPEDIDO PELO USUARIO/COLETOR.;F1|T2|S|N|01/12/2026|07:10:00|"
                "EXPEDIDO PELO USUARIO/COLETOR.;") +
                f2);
        QCOMPARE(LogLines("EXPEDICAO DE FAL COLETOR").size(), 1);
        QCOMPARE(Totais(), "0,00|0|0|" + pending);
    }

    // A docked collector's file: readings merged, refusals told by line in one message; a failed shipment
    // leaves the file where it was, a committed one moves it to "lidos".
    void importaColetor() {
        Base();
        QTemporaryDir pasta;
        const QString arquivo = pasta.filePath("coletor.txt");
        QFile f(arquivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("# docked\r\nF1*1;2026-12-07;08:00\r\nF1*2;2026-12-07;08:01\r\nF3\r\nF2\r\nF9\r\n");
        f.close();
        Abre();
        messages.files.enqueue(arquivo);
        QCOMPARE(ClickMessages("BtnImportar"),
                 QString("Linha 4 (F3): Cliente/Grupo do Cliente da FAL inválido.\n"
                         "Linha 6 (F9): FAL inexistente."));
        QCOMPARE(driver->Text("EdtLidas"), QString("2"));
        FailWhen("PROCESSO_TIN", "BEFORE UPDATE", "NEW.FAL = 'F2'");
        driver->Click("BitBtn1");
        QVERIFY(!Errors().isEmpty());
        QVERIFY(QFile::exists(arquivo));
        QCOMPARE(Seen("SELECT COUNT(*) FROM PROCESSO_TIN WHERE CONCLUIDO = 'S' AND FASE = '08'"),
                 QString("0"));
        StopFailing();
        driver->Click("BitBtn1");
        QVERIFY(!QFile::exists(arquivo) && QFile::exists(pasta.filePath("lidos/coletor.txt")));
        QCOMPARE(Seen("SELECT COUNT(DISTINCT FAL) FROM PROCESSO_TIN WHERE CONCLUIDO = 'S' AND FASE = '08'"),
                 QString("2"));
    }
};

QTEST_MAIN(TstTngColExpFal)
#include "tst_tngcolexpfal.moc"
