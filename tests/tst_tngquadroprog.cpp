// The scheduling board against the database: which sheets queue at which dyeing machine, filtered by the
// phase of their next step; a lot's sheets once each with their totals and its chained forecast; the
// assignment with its steps laid out, one unit; the board following other users' commits live, never under
// an open dialog, and again after a reconnection.
#include "DataSetModel.h"
#include "LeiturasQuadro.h"
#include "TClientDataSet.h"
#include "TestDatabase.h"
#include <QAction>
#include <QDialog>
#include <QLayout>
#include <QTest>
#include <QTimer>

class TstTngQuadroProg : public ScreenTestCase {
    Q_OBJECT

    // Machines 01 and 02 dye, 03 finishes. F1 (lot P1, two fabrics, two phases pending) and F2 (P2) queue at
    // 01; F8 at 02, its dyeing phase next; the others are not on the board: all done, no lot, position 0,
    // service-only, a finishing machine.
    void Base() {
        InsertCommit("MAQ_TIN (CODIGO, DESCRICAO, TIPO)",
                     {"'01', 'JET 1', '1'", "'02', 'JET 2', '1'", "'03', 'RAMA', '2'"});
        InsertCommit("FASE (CODIGO, DESCRICAO, GRUPO)", {"'01', 'PREPARO', 'P'", "'03', 'TINGIMENTO', 'T'"});
        InsertCommit("GRAFICO (CODIGO, DESCRICAO, TEMPO)",
                     {"'G1', 'LONGO', '30:00'", "'G2', 'UM DIA', '24:00'"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO, COR_SIS)",
                     {"'C1', 'OLIVA', '8421376'", "'C2', 'CINZA', '8421505'", "'C3', 'SEM RECEITA', NULL"});
        InsertCommit("RECEITA (CODIGO, VARIANTE, COR, GRAFICO)",
                     {"'R1', '01', 'C1', 'G1'", "'R2', '01', 'C2', 'G2'"});
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00001', 'MALHARIA A'"});
        InsertCommit("ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE)",
                     {"'R1', 'TINGE', 1, '01'", "'R1', 'TINGE', 2, '03'"});
        QStringList fals;
        for (const char* f : {"'F1', 'P1', '01', 1, 'A', 1, 'C1'", "'F2', 'P2', '01', 2, 'A', 1, 'C2'",
                              "'F3', 'P3', '01', 3, 'A', 1, 'C1'", "'F4', NULL, '01', 4, 'A', 1, 'C1'",
                              "'F5', 'P5', '01', 0, 'A', 1, 'C1'", "'F6', 'P6', '01', 6, 'A', 5, 'C1'",
                              "'F7', 'P7', '03', 1, 'A', 1, 'C1'", "'F8', 'P8', '02', 1, 'A', 1, 'C3'"})
            fals << QString(f) + ", '01', '00001', 'R1'";
        InsertCommit("FAL (NUMERO, PARTIDA, MAQUINA, ORDEM, STATUS, TIPO, COR, VARIANTE, CLIENTE, ROTEIRO)",
                     fals);
        InsertCommit(
            "FAL_ITEN (FAL, CODIGO, ORD_IT, PESO, ROLO, LOTE)",
            {"'F1', 'T1', 1, 10, 2, 'L1'", "'F1', 'T2', 2, 20, 3, 'L2'", "'F2', 'T1', 1, 5, 1, 'L3'"});
        QStringList passos;
        for (const char* p :
             {"'F1', 'T1', '01', 1, 'N'", "'F1', 'T1', '03', 2, 'N'", "'F1', 'T2', '01', 1, 'N'",
              "'F1', 'T2', '03', 2, 'N'", "'F2', 'T1', '01', 1, 'N'", "'F3', 'T1', '01', 1, 'S'",
              "'F4', 'T1', '01', 1, 'N'", "'F5', 'T1', '01', 1, 'N'", "'F6', 'T1', '01', 1, 'N'",
              "'F7', 'T1', '01', 1, 'N'", "'F8', 'T1', '01', 1, 'S'", "'F8', 'T1', '03', 2, 'N'"})
            passos << p;
        InsertCommit("PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, CONCLUIDO)", passos);
    }
    QString Fila(const QString& maquina) {
        auto* dados = driver->Screen()->findChild<TDataSet*>("Tb" + maquina);
        return dados ? FieldTexts("Tb" + maquina, "Fal").join(' ') : QString("-");
    }
    // Waits until the queue reads as expected, or a second has passed.
    bool FilaSeTorna(const QString& maquina, const QString& esperada) {
        return QTest::qWaitFor([&] { return Fila(maquina) == esperada; }, 1000);
    }

private slots:
    void quadroEFiltros() {
        Base();
        driver->Open("TFmTngQuadroProg");
        QCOMPARE(Fila("01") + "/" + Fila("02") + "/" + Fila("03"), QString("F1 F2/F8/-"));
        // The colour cell's text reads on it: white on olive (128+128+0), black on grey (128+128+129).
        auto* dados = driver->Screen()->findChild<TDataSet*>("Tb01");
        DataSetModel* modelo = DataSetModel::Of(dados);
        QCOMPARE(modelo->index(0, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        QCOMPARE(modelo->index(1, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
        TypeAndTab("EdtCodFase", "03");
        driver->Click("BtnExecuta");
        QCOMPARE(Fila("01") + "/" + Fila("02"), QString("-/F8"));
        // A machine that gains work takes its place in the code order, not the end of the flow.
        TypeAndTab("EdtCodFase", "");
        QMetaObject::invokeMethod(driver->Screen(), "Atualiza");
        QStringList paineis;
        for (int i = 0; i < driver->Screen()->findChild<QWidget*>("PnlDados")->layout()->count(); ++i)
            paineis << driver->Screen()
                           ->findChild<QWidget*>("PnlDados")
                           ->layout()
                           ->itemAt(i)
                           ->widget()
                           ->objectName();
        QCOMPARE(paineis.join(' '), QString("PnlMaq01 PnlMaq02"));
        TypeAndTab("EdtCodFase", "");
        TypeAndTab("EdtCodGrupo", "P");
        driver->Click("BtnExecuta");
        QCOMPARE(Fila("01") + "/" + Fila("02"), QString("F1 F2/-"));
    }

    // A lot started yesterday at 22:00 with 60 hours of curves (two phases of 30 h, counted once per sheet
    // and phase, not per fabric) ends the day after tomorrow at 10:00; the lot behind it starts then and ends
    // a day later.
    void detalhesEPrevisao() {
        Base();
        const QDate ontem = QDate::currentDate().addDays(-1);
        SqlCommit(
            QStringLiteral("UPDATE PROCESSO_TIN SET PENDENTE = 'S', DATA_INI = '%1', HORA_INI = '22:00:00' "
                           "WHERE FAL = 'F1' AND CODIGO = 'T1' AND FASE = '01'")
                .arg(ontem.toString("yyyy-MM-dd")));
        driver->Open("TFmTngQuadroProg");
        driver->Row("Grid01", 0);
        driver->DoubleClick("Grid01");
        const QString fim = QDate::currentDate().addDays(2).toString("dd/MM/yyyy");
        QCOMPARE(FieldTexts("TbFal", "Fal|Peso|Rolo").join(' '), QString("F1|30|5"));
        QCOMPARE(Texts({"EdtFal", "EdtPeso", "EdtPecas", "EdtCodMaq", "EdtOrdem", "EdtStatus", "EdtDataIni",
                        "EdtHoraIni", "EdtDataPrev", "EdtHoraPrev"}),
                 QString("P1|30,00|5|01|1|INICIADO|%1|22:00:00|%2|10:00:00")
                     .arg(ontem.toString("dd/MM/yyyy"), fim));
        driver->Page("PageControl1", "Máquinas");
        driver->Row("Grid01", 1);
        driver->Press("Enter"); // the keyboard's way in
        QCOMPARE(Texts({"EdtStatus", "EdtDataIni", "EdtHoraIni", "EdtDataPrev", "EdtHoraPrev"}),
                 QString("PREVISÃO|%1|10:00:00|%2|10:00:00")
                     .arg(fim, QDate::currentDate().addDays(3).toString("dd/MM/yyyy")));
        driver->Page("PageControl1", "Máquinas");
        driver->DoubleClick("Grid02");
        QCOMPARE(Texts({"EdtStatus", "EdtDataPrev"}), QString("TEMPO NAO CADASTRADO|"));
    }

    // A lot reads as started by its own step, wherever it stands in the queue.
    void situacao_data() {
        QTest::addColumn<QString>("iniciada"); // the sheet whose step was started; none when empty
        QTest::addColumn<int>("linha");
        QTest::addColumn<QString>("situacao");
        QTest::newRow("the first lot started") << "F1" << 0 << "INICIADO";
        QTest::newRow("the first lot not started") << "" << 0 << "PREVISÃO";
        QTest::newRow("the second lot started, the first not") << "F2" << 1 << "INICIADO";
        QTest::newRow("the second lot behind a started one") << "F1" << 1 << "PREVISÃO";
    }
    void situacao() {
        QFETCH(QString, iniciada);
        QFETCH(int, linha);
        Base();
        if (!iniciada.isEmpty())
            SqlCommit(QStringLiteral("UPDATE PROCESSO_TIN SET PENDENTE = 'S', DATA_INI = '%1', HORA_INI = "
                                     "'22:00:00' WHERE FAL = '%2' AND CODIGO = 'T1' AND FASE = '01'")
                          .arg(QDate::currentDate().addDays(-1).toString("yyyy-MM-dd"), iniciada));
        driver->Open("TFmTngQuadroProg");
        driver->Row("Grid01", linha);
        driver->DoubleClick("Grid01");
        QTEST(driver->Text("EdtStatus"), "situacao");
    }

    // A new lot number when "Partida" is blank; an unknown machine refused; the route's steps laid out per
    // fabric and phase; a failing step leaves the sheet and its steps as they were.
    void atribui() {
        Base();
        InsertCommit("FAL (NUMERO, STATUS, TIPO, COR, VARIANTE, CLIENTE, ORDEM)",
                     {"'F9', 'A', 1, 'C1', '01', '00001', 0"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, ORD_IT, PESO, ROLO)",
                     {"'F9', 'T1', 1, 10, 1", "'F9', 'T2', 2, 10, 1"});
        QCOMPARE(AtribuiPartida("F9", "P9", "99", "R1", 7), QString("Máquina inválida."));
        FailWhen("PROCESSO_TIN", "BEFORE INSERT", "NEW.CODIGO = 'T2'");
        QVERIFY_THROWS_EXCEPTION(std::exception, AtribuiPartida("F9", "P9", "02", "R1", 7));
        StopFailing();
        QCOMPARE(Seen("SELECT PARTIDA, MAQUINA, ORDEM FROM FAL WHERE NUMERO = 'F9'") + "/" +
                     Seen("SELECT COUNT(*) FROM PROCESSO_TIN WHERE FAL = 'F9'"),
                 QString("||0/0"));
        QCOMPARE(AtribuiPartida("F9", "P9", "02", "R1", 7), QString());
        QCOMPARE(Seen("SELECT CODIGO, FASE, ORDEM, PARTIDA, GRAFICO FROM PROCESSO_TIN WHERE FAL = 'F9' ORDER "
                      "BY 1, 3"),
                 QString("T1|01|1|P9|G1;T1|03|2|P9|G1;T2|01|1|P9|G1;T2|03|2|P9|G1"));
        QCOMPARE(Seen("SELECT PARTIDA, MAQUINA, ORDEM, ROTEIRO FROM FAL WHERE NUMERO = 'F9'"),
                 QString("P9|02|7|R1"));

        driver->Open("TFmTngQuadroProg");
        driver->DoubleClick("Grid02");
        driver->Type("EdtFal", "");
        driver->Type("EdtOrdem", "3");
        driver->Click("BitBtn5");
        const QString nova = driver->Text("EdtFal");
        QVERIFY2(!nova.isEmpty() && nova != "P8", qPrintable(nova));
        QCOMPARE(Seen("SELECT PARTIDA, ORDEM FROM FAL WHERE NUMERO = 'F8'"), nova + "|3");
    }

    // Another user's commit shows within a second with no timer running; a rolled-back change and a burst of
    // commits cost little; nothing is rebuilt while a dialog is open, by the event or by the timer; the
    // subscription survives a reconnection.
    void aoVivo() {
        Base();
        driver->Open("TFmTngQuadroProg");
        QVERIFY(!driver->Screen()->findChild<QTimer*>()->isActive());
        ByOther("UPDATE FAL SET MAQUINA = '01', ORDEM = 9 WHERE NUMERO = 'F8'");
        QVERIFY2(FilaSeTorna("01", "F1 F2 F8"), qPrintable(Fila("01")));

        auto outro = OpenSecond("kelm-test-burst");
        SqlOn(*outro, "UPDATE FAL SET ORDEM = 1 WHERE NUMERO = 'F2'");
        outro->Transaction()->RollbackRetaining();
        quint64 antes = TZoDatabase::StatementCountAll();
        QTest::qWait(600);
        QCOMPARE(TZoDatabase::StatementCountAll(), antes);
        for (int i = 0; i < 100; ++i) {
            SqlOn(*outro, QString("UPDATE FAL SET ORDEM = %1 WHERE NUMERO = 'F8'").arg(10 + i));
            outro->Transaction()->CommitRetaining();
        }
        antes = TZoDatabase::StatementCountAll();
        QTest::qWait(800);
        QVERIFY2(TZoDatabase::StatementCountAll() - antes <= 5,
                 qPrintable(QString::number(TZoDatabase::StatementCountAll() - antes)));

        // Neither the event nor the timer rebuilds under a dialog.
        auto* timer = driver->Screen()->findChild<QTimer*>();
        QDialog dialogo(driver->Screen());
        dialogo.setModal(true);
        dialogo.show();
        timer->start(20);
        ByOther("UPDATE FAL SET MAQUINA = '02' WHERE NUMERO = 'F8'");
        QTest::qWait(600);
        QCOMPARE(Fila("01"), QString("F1 F2 F8"));
        timer->stop();
        dialogo.close();
        QVERIFY2(FilaSeTorna("01", "F1 F2"), qPrintable(Fila("01")));

        db->Reconecta();
        ByOther("UPDATE FAL SET MAQUINA = '01' WHERE NUMERO = 'F8'");
        QVERIFY2(FilaSeTorna("01", "F1 F2 F8"), qPrintable(Fila("01")));

        driver->Menu("QuinzeMinutos1");
        QCOMPARE(driver->Screen()->findChild<QTimer*>()->interval(), 15 * 60 * 1000);
    }
};

QTEST_MAIN(TstTngQuadroProg)
#include "tst_tngquadroprog.moc"
