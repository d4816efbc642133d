// The production report: its passes as data tables (the completion window, the processing time, the idle
// time, the chart's fold, TempoEntre), and the screen on a few steps: a step per FAL, product and phase
// whatever the route and the pieces, the idle time from the grid's menu, the chart and both prints.
#include "RegrasRelMov.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QTest>

namespace {
// "dd hh:mm" in December 2026.
std::optional<QDateTime> Dez(const QString& texto) {
    const QStringList p = texto.split(QLatin1Char(' '));
    return Momento(QDate(2026, 12, p[0].toInt()), p.value(1));
}
} // namespace

class TstRelProducao : public ScreenTestCase {
    Q_OBJECT

private slots:
    void janela_data() {
        QTest::addColumn<QString>("horaDe");
        QTest::addColumn<QString>("horaAte");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<bool>("dentro");
        // Days 01 to 03.
        QTest::newRow("no hours: the last day whole") << ""
                                                      << ""
                                                      << "03 23:59:59" << true;
        QTest::newRow("no hours: the first day's midnight") << ""
                                                            << ""
                                                            << "01 00:00" << true;
        QTest::newRow("no hours: the day after") << ""
                                                 << ""
                                                 << "04 00:00" << false;
        QTest::newRow("typed: on the lower bound") << "06:00"
                                                   << "18:00"
                                                   << "01 06:00" << false;
        QTest::newRow("typed: past the lower bound") << "06:00"
                                                     << "18:00"
                                                     << "01 06:01" << true;
        QTest::newRow("typed: on the upper bound") << "06:00"
                                                   << "18:00"
                                                   << "03 18:00" << false;
        QTest::newRow("typed: before the upper bound") << "06:00"
                                                       << "18:00"
                                                       << "03 17:59" << true;
        QTest::newRow("one hour typed, the other side whole") << "06:00"
                                                              << ""
                                                              << "03 23:00" << true;
    }
    void janela() {
        QFETCH(QString, horaDe);
        QFETCH(QString, horaAte);
        QFETCH(QString, fim);
        QFETCH(bool, dentro);
        QCOMPARE(MontaJanela(QDate(2026, 12, 1), horaDe, QDate(2026, 12, 3), horaAte).Contem(Dez(fim)),
                 dentro);
    }

    void tempoDeProcesso_data() {
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<QString>("esperado"); // text|hours|minutes|seconds
        QTest::newRow("through midnight") << "01 22:00"
                                          << "02 02:00"
                                          << "04:00:00|4|0|0";
        QTest::newRow("a minute to midnight") << "01 23:59:29"
                                              << "02 00:00:00"
                                              << "00:00:31|0|0|31";
        QTest::newRow("a day later, same hours") << "01 08:00"
                                                 << "02 08:00"
                                                 << "24:00:00|24|0|0";
        QTest::newRow("over several days") << "01 08:00"
                                           << "03 10:30:15"
                                           << "50:30:15|50|30|15";
        QTest::newRow("same day") << "01 08:10"
                                  << "01 09:05:30"
                                  << "00:55:30|0|55|30";
        QTest::newRow("end before start") << "02 08:00"
                                          << "01 09:00"
                                          << "|0|0|0";
        QTest::newRow("no start date") << ""
                                       << "01 09:00"
                                       << "|0|0|0";
    }
    void tempoDeProcesso() {
        QFETCH(QString, inicio);
        QFETCH(QString, fim);
        QFETCH(QString, esperado);
        const auto parte = [](const QString& t, int i) { return t.split(QLatin1Char(' ')).value(i); };
        const QDate de = inicio.isEmpty() ? QDate() : QDate(2026, 12, parte(inicio, 0).toInt());
        const TempoProcesso t =
            TempoDeProcesso(de, parte(inicio, 1), QDate(2026, 12, parte(fim, 0).toInt()), parte(fim, 1));
        QCOMPARE(QStringLiteral("%1|%2|%3|%4").arg(t.texto).arg(t.hora).arg(t.minuto).arg(t.segundo),
                 esperado);
    }

    void temposParados_data() {
        QTest::addColumn<QString>("passos"); // machine,FAL,start,end; ...
        QTest::addColumn<QString>("parados");
        QTest::newRow("next FAL") << "M1,A,01 08:00,01 10:00;M1,B,01 11:30,01 12:00"
                                  << "|01:30:00";
        QTest::newRow("the same FAL: none") << "M1,A,01 08:00,01 10:00;M1,A,01 11:00,01 12:00"
                                            << "|";
        QTest::newRow("from the latest end")
            << "M1,A,01 08:00,01 12:00;M1,A,01 08:00,01 10:00;M1,B,01 13:00,01 14:00"
            << "||01:00:00";
        QTest::newRow("lots dyed together") << "M1,A,01 08:00,01 10:00;M1,B,01 09:00,01 11:00"
                                            << "|00:00:00";
        QTest::newRow("through midnight") << "M1,A,01 20:00,01 23:00;M1,B,02 01:00,02 03:00"
                                          << "|02:00:00";
        QTest::newRow("a day apart, earlier hour") << "M1,A,01 10:00,01 12:00;M1,B,02 11:00,02 13:00"
                                                   << "|23:00:00";
        QTest::newRow("machines apart, given out of order")
            << "M2,C,01 12:00,01 13:00;M1,B,01 11:00,01 12:00;M2,D,01 08:00,01 09:00;M1,A,01 08:00,01 10:00"
            << "03:00:00|01:00:00||";
        QTest::newRow("no start: left out") << "M1,A,01 08:00,01 10:00;M1,B,,01 12:00;M1,C,01 13:00,01 14:00"
                                            << "||03:00:00";
    }
    void temposParados() {
        QFETCH(QString, passos);
        QFETCH(QString, parados);
        QList<PassoMaquina> lista;
        for (const QString& p : passos.split(QLatin1Char(';'))) {
            const QStringList c = p.split(QLatin1Char(','));
            lista.append({c[0], c[1], c[2].isEmpty() ? std::nullopt : Dez(c[2]), Dez(c[3])});
        }
        QCOMPARE(TemposParados(lista).join(QLatin1Char('|')), parados);
    }

    void tempoEntre_data() {
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<QString>("tempo");
        QTest::newRow("through midnight") << "23:00"
                                          << "01:00"
                                          << "02:00:00";
        QTest::newRow("same day") << "08:00"
                                  << "10:30:15"
                                  << "02:30:15";
        QTest::newRow("equal") << "08:00"
                               << "08:00"
                               << "00:00:00";
        QTest::newRow("not a time") << "ab"
                                    << "08:00"
                                    << "";
    }
    void tempoEntre() {
        QFETCH(QString, inicio);
        QFETCH(QString, fim);
        QFETCH(QString, tempo);
        QCOMPARE(TempoEntre(inicio, fim), tempo);
    }

    // Two shifts on a Saturday, one on the Wednesday before, a step without a completion date.
    void dobraGrafico() {
        const QList<ProducaoTurno> linhas{{"1", QDate(2026, 12, 5), 100},
                                          {"2", QDate(2026, 12, 5), 50.5},
                                          {"1", QDate(2026, 12, 2), 30},
                                          {"1", QDate(2026, 12, 5), 10},
                                          {"2", QDate(), 99}};
        QStringList texto;
        for (const PesoTurnoDia& l : DobraGrafico(linhas))
            texto << QStringLiteral("%1|%2|%3|%4")
                         .arg(l.turno, l.data.toString("dd/MM"))
                         .arg(l.peso)
                         .arg(l.dia);
        QCOMPARE(texto,
                 (QStringList{"1|02/12|30|Qua-02/12", "1|05/12|110|Sab-05/12", "2|05/12|50.5|Sab-05/12",
                              "Total|02/12|30|Qua-02/12", "Total|05/12|160.5|Sab-05/12"}));
        QCOMPARE(DiaSemana(QDate(2026, 12, 6)), QString("Domingo"));
    }

    // FAL 1 has two pieces of P1 (100 and 50 kg) and FAL 2 one (80 kg), all on route R1, which holds phase 01
    // twice. On M1 FAL 1 is dyed through midnight and FAL 2 with it; on M2 FAL 1 ends at 23:00 and FAL 2
    // starts at 01:00 the next day. A pending step is not listed.
    void relatorio() {
        InsertCommit("FASE (CODIGO, DESCRICAO, GRUPO)",
                     {"'01', 'TINGIMENTO', 'G1'", "'02', 'RAMA', 'G1'", "'G1', 'MOLHADO', NULL"});
        InsertCommit("ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE)",
                     {"'R1', 'TINTO', 1, '01'", "'R1', 'TINTO', 2, '02'", "'R1', 'TINTO', 3, '01'"});
        InsertCommit("TURNO (TURNO, DESCRICAO)", {"'1', 'MANHA'", "'2', 'TARDE'"});
        InsertCommit("MAQ_TIN (CODIGO, DESCRICAO)", {"'M1', 'JET 1'", "'M2', 'RAMA 1'"});
        InsertCommit("PRODUTO (CODIGO, DESCRICAO, UNIDADE)", {"'P1', 'MALHA', 'KG'"});
        InsertCommit("FAL (NUMERO, CLIENTE, COR)", {"'0000001', '00001', 'A1'", "'0000002', '00001', 'A1'"});
        InsertCommit("FAL_ITEN (FAL, ORD_IT, CODIGO, PESO, ROLO, FLUXO)",
                     {"'0000001', 1, 'P1', 100, 2, 'R1'", "'0000001', 2, 'P1', 50, 1, 'R1'",
                      "'0000002', 1, 'P1', 80, 1, 'R1'"});
        InsertCommit(
            "PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, CONCLUIDO, MAQUINA, TURNO, DATA_INI, HORA_INI, "
            "DATA_FIN, HORA_FIN)",
            {"'0000001', 'P1', '01', 1, 'S', 'M1', '1', '2026-12-01', '22:00', '2026-12-02', '02:00'",
             "'0000002', 'P1', '01', 1, 'S', 'M1', '2', '2026-12-02', '01:00', '2026-12-02', '05:00'",
             "'0000001', 'P1', '02', 2, 'S', 'M2', '1', '2026-12-02', '20:00', '2026-12-02', '23:00'",
             "'0000002', 'P1', '02', 2, 'R', 'M2', '2', '2026-12-03', '01:00', '2026-12-03', '03:00'",
             "'0000002', 'P1', '03', 3, 'N', 'M2', '2', '2026-12-03', '04:00', '2026-12-03', '05:00'"});
        driver->Open("TFmRelTngMov");
        driver->Type("EdtDataIni", "01/12/2026");
        driver->Type("EdtDataFim", "03/12/2026");
        driver->Click("BitBtn1");
        QCOMPARE(FieldTexts("TbRel", "FAL|Fase|Peso|Rolo|TempoProc|Hora_ini"),
                 (QStringList{"0000001|01|150|3|04:00:00|22:00:00", "0000001|02|150|3|03:00:00|20:00:00",
                              "0000002|01|80|1|04:00:00|01:00:00", "0000002|02|80|1|02:00:00|01:00:00"}));
        driver->Menu("CalcularTempoParado1");
        QCOMPARE(FieldTexts("TbRel", "Maquina|TempoParado"),
                 (QStringList{"M1|", "M2|", "M1|00:00:00", "M2|02:00:00"}));

        // Printed by shift: each shift's weight subtotalled.
        driver->Click("RgOrdem11");
        driver->Click("BitBtn1");
        const ReportFolder pasta;
        driver->Click("BtImp");
        QVERIFY(QFileInfo::exists(pasta.Path("WTngMov.txt")));
        if (CanReadPdf()) {
            const QString impresso = pasta.Text("WTngMov.pdf");
            for (const char* texto : {"01/12/2026 até 03/12/2026", "Turno/Máquina", "04:00:00", "02:00:00",
                                      "300,00", "160,00", "460,00"})
                QVERIFY2(impresso.contains(QString::fromUtf8(texto)), qPrintable(impresso));
        }
        driver->Page("PageControl1", "Gráfico");
        driver->Click("BtGerar");
        QCOMPARE(FieldTexts("TbGrafico", "Turno|Data|Peso|Dia"),
                 (QStringList{"1|02/12/2026|300|Qua-02/12", "2|02/12/2026|80|Qua-02/12",
                              "2|03/12/2026|80|Qui-03/12", "Total|02/12/2026|380|Qua-02/12",
                              "Total|03/12/2026|80|Qui-03/12"}));
        driver->Click("BtImpGrafico");
        if (CanReadPdf()) {
            const QString grafico = pasta.Text("WTngMovGrafico.pdf");
            for (const char* texto : {"1 - MANHA", "2 - TARDE", "Total", "Qua-02/12", "380"})
                QVERIFY2(grafico.contains(QString::fromUtf8(texto)), qPrintable(grafico));
        }

        // Typed hours are exclusive bounds: FAL 1 ends on the lower one, FAL 2 on the upper one.
        driver->Page("PageControl1", "Relatório");
        driver->Type("EdtDataIni", "02/12/2026");
        driver->Type("EdtHoraIni", "02:00");
        driver->Type("EdtHoraFim", "03:00");
        driver->Click("BitBtn1");
        QCOMPARE(FieldTexts("TbRel", "FAL|Fase"), (QStringList{"0000001|02", "0000002|01"}));
        driver->Type("EdtDataFim", "");
        QCOMPARE(ClickMessages("BitBtn1"), QString("Informe a data de conclusão do horário."));
    }
};

QTEST_MAIN(TstRelProducao)
#include "tst_relproducao.moc"
