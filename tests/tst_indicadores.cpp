// The dye-house's indicators: lots out of sheets (reprocess chains, splits, unfinished), right first time,
// machine use, lead time; then the screen over a small trail, its lists behind the figures and its print.
#include "DefinicoesIndicadores.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

namespace {
QDate Dia(const QString& mmdd) {
    return mmdd.isEmpty() ? QDate() : QDate::fromString("2026-" + mmdd, "yyyy-MM-dd");
}

// "numero reprocessa cliente cor maquina tecido peso entrada inicio fim expedicao prometida flags motivo",
// "-" for empty; flags: A open step, B blocked, R reprocessed by a sheet not read.
FolhaIndicador Folha(const QString& linha) {
    QStringList c = linha.split(' ');
    for (QString& v : c)
        if (v == "-")
            v.clear();
    return {.numero = c[0],
            .reprocessa = c[1],
            .cliente = c[2],
            .cor = c[3],
            .receita = c[3],
            .maquina = c[4],
            .operador = "OP" + c[4],
            .tecido = c[5],
            .peso = c[6].toDouble(),
            .entrada = Dia(c[7]),
            .inicio = Dia(c[8]),
            .fim = Dia(c[9]),
            .expedicao = Dia(c[10]),
            .prometida = Dia(c[11]),
            .concluida = !c[12].contains('A'),
            .bloqueada = c[12].contains('B'),
            .reprocessada = c[12].contains('R'),
            .motivo = c.value(13)};
}

QList<LoteIndicador> Lotes(const QStringList& linhas) {
    QList<FolhaIndicador> folhas;
    for (const QString& l : linhas)
        folhas << Folha(l);
    return AgrupaLotes(folhas);
}

QDateTime Momento(const QString& texto) {
    return QDateTime(Dia(texto.left(5)), QTime::fromString(texto.mid(6), "HH:mm"));
}
} // namespace

class TstIndicadores : public ScreenTestCase {
    Q_OBJECT

    // Customer 00001's invoice of 25 February. Sheet 000100 (AZ, 100 kg) dyed on M1 on Monday 2 March from
    // 08:00 to 12:00 and shipped on the 6th; 000200 (PR, 60 kg) dyed on M1 on the 3rd, reprocessed by 000201
    // on M2 on the 9th; 000300 still open. Shifts: weekdays 06:00-14:00.
    void Trilha() {
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00001', 'MALHARIA UM'"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO)", {"'AZ', 'AZUL'", "'PR', 'PRETO'"});
        InsertCommit("RECEITA (CODIGO, VARIANTE, COR)", {"'R001', '01', 'AZ'", "'R002', '01', 'PR'"});
        InsertCommit("MAQ_TIN (CODIGO, DESCRICAO)", {"'M1', 'JET 1'", "'M2', 'JET 2'"});
        InsertCommit("NFTIN (NOTA, CLIENTE, DATA)", {"'1', '00001', '2026-02-25'"});
        InsertCommit("FAL (NUMERO, CLIENTE, COR, VARIANTE, MAQUINA, DATA_FIN, NUM_REPROC)",
                     {"'000100', '00001', 'AZ', '01', 'M1', '2026-03-10', NULL",
                      "'000200', '00001', 'PR', '01', 'M1', '2026-03-05', NULL",
                      "'000201', '00001', 'PR', '01', 'M2', '2026-03-20', '000200'",
                      "'000300', '00001', 'AZ', '01', 'M1', '2026-03-20', NULL"});
        InsertCommit("FAL_ITEN (FAL, NOTA, CODIGO, LOTE, ROLO, PESO, ORD_IT)",
                     {"'000100', '1', 'T1', 'L1', 4, 100, 1", "'000200', '1', 'T1', 'L2', 2, 60, 1",
                      "'000201', '1', 'T1', 'L2', 2, 60, 1", "'000300', '1', 'T1', 'L3', 1, 30, 1"});
        InsertCommit(
            "PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, CONCLUIDO, MAQUINA, FUNCIONARIO, DATA_INI, "
            "HORA_INI, DATA_FIN, HORA_FIN)",
            {"'000100', 'T1', '03', 1, 'S', 'M1', '001', '2026-03-02', '08:00', '2026-03-02', '12:00'",
             "'000100', 'T1', '09', 2, 'S', '00', '001', '2026-03-06', '10:00', '2026-03-06', '10:00'",
             "'000200', 'T1', '03', 1, 'S', 'M1', '001', '2026-03-03', '08:00', '2026-03-03', '10:00'",
             "'000201', 'T1', '03', 1, 'S', 'M2', '002', '2026-03-09', '08:00', '2026-03-09', '09:00'",
             "'000300', 'T1', '03', 1, 'N', NULL, NULL, NULL, NULL, NULL, NULL"});
        QStringList turnos;
        for (int dia = 2; dia <= 6; ++dia)
            turnos << QString("'1', %1, '06:00', '14:00'").arg(dia);
        InsertCommit("TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA)", turnos);
    }
    void Confirma(int agrupar) {
        driver->Open("TFmIndicadores");
        driver->Type("EdtDataIni", "01/02/2026");
        driver->Type("EdtDataFim", "31/03/2026");
        driver->Click(QString("RgAgrupar%1").arg(agrupar));
        driver->Click("BitBtn1");
    }

private slots:
    void listaAtrasDaFiguraSomaAFigura() {
        Trilha();
        Confirma(int(Agrupamento::Maquina));
        QCOMPARE(FieldTexts("TbResultado", "FAL|Folhas|Peso|PrimeiraVez"),
                 (QStringList{"000100|000100|100|S", "000200|000200,000201|60|N"}));
        QCOMPARE(FieldTexts("TbPrimeira", "Grupo|Lotes|Contados|Taxa|Peso"), QStringList{"M1|2|1|50|160"});
        driver->Get<QTabWidget>("PageControl1")->setCurrentIndex(1);
        driver->Row("DBGridPrimeira", 0);
        driver->DoubleClick("DBGridPrimeira");
        QCOMPARE(FieldTexts("TbLotes", "FAL|Peso"), (QStringList{"000100|100", "000200|60"}));
        // Overlap-free use of the shift: 4 of 8 hours on Monday.
        QVERIFY(FieldTexts("TbUso", "Maquina|Dia|Processando|Disponivel|Uso")
                    .contains("M1|02/03/2026|240|480|50"));
        driver->DoubleClick("DBGridLotes");
        QLineEdit* fal = nullptr;
        for (QWidget* w : QApplication::allWidgets())
            if (w->objectName() == "EdtFal" && w->window()->findChild<QWidget*>("TsCadastro"))
                fal = qobject_cast<QLineEdit*>(w);
        QVERIFY(fal);
        QCOMPARE(fal->text(), QString("000100"));
    }

    void imprimeEExportaAPagina() {
        Trilha();
        const ReportFolder pasta;
        Confirma(int(Agrupamento::Mes));
        // February had no lot: no rate, not 0 %.
        QCOMPARE(FieldTexts("TbPrimeira", "Grupo|Lotes|Taxa"), (QStringList{"2026-02|0|", "2026-03|2|50"}));
        driver->Get<QTabWidget>("PageControl1")->setCurrentIndex(1);
        for (const auto& [linha, taxa] : {std::pair{0, "—"}, std::pair{1, "50,0"}}) {
            driver->Row("DBGridPrimeira", linha);
            QCOMPARE(driver->Value("DBGridPrimeira", "Taxa"), QString::fromUtf8(taxa));
        }
        driver->Click("BtImp");
        const QString impresso = pasta.Text("WTngIndPrimeira.pdf");
        for (const char* texto : {"2026-02", "—", "50,0", "160,00", "Taxa do período", "Primeira vez certa"})
            QVERIFY2(impresso.contains(QString::fromUtf8(texto)), qPrintable(impresso));
        driver->Get<QTabWidget>("PageControl1")->setCurrentIndex(2);
        driver->Click("BtImp");
        const QString reprocessos = pasta.Text("WTngIndReprocessos.pdf");
        QVERIFY2(reprocessos.contains("Motivos") && reprocessos.contains("PR"), qPrintable(reprocessos));
        // The rates go out as numbers a spreadsheet computes with; a rate of no lots as an empty cell.
        driver->Click("BtExportar");
        const QString folha = XlsxPart(pasta.Path("WTngIndReprocessos.xlsx"));
        QVERIFY2(folha.contains(QRegularExpression(R"(<c r="D3" s="\d+"><v>50</v>)")) &&
                     !folha.contains(R"(r="D2")"),
                 qPrintable(folha));
    }

    void lotesEPrimeiraVezCerta_data() {
        QTest::addColumn<QStringList>("folhas");
        QTest::addColumn<QString>("esperado"); // per group: lots/right first time/kg/kg right, then the lots
        QTest::newRow("certo") << QStringList{"100 - C1 AZ M1 n1 50 03-01 03-02 03-05 03-06 03-20 - -"}
                               << "2026-03 1/1/50/50 100";
        QTest::newRow("reprocesso de reprocesso: um lote")
            << QStringList{"100 - C1 AZ M1 n1 50 03-01 03-02 03-05 - 03-20 - -",
                           "101 100 C1 AZ M1 n1 50 03-01 03-06 03-08 - 03-20 - RAMA",
                           "102 101 C1 AZ M1 n1 50 03-01 03-09 03-10 03-11 03-20 - TINGIMENTO"}
            << "2026-03 1/0/50/0 100";
        QTest::newRow("original não lido")
            << QStringList{"101 099 C1 AZ M1 n1 40 - 03-06 03-08 - - - -"} << "2026-03 1/0/40/0 099";
        QTest::newRow("desmembrada e copiada: um lote")
            << QStringList{"100 - C1 AZ M1 n1 30 03-01 03-02 03-05 - - - -",
                           "105 - C1 AZ M2 n1 20 03-01 03-03 03-06 - - - -",
                           "106 - C1 VD M2 n1 20 03-01 03-03 03-06 - - - -"}
            << "2026-03 2/2/70/70 100,106";
        QTest::newRow("começou antes, terminou depois, aberto")
            << QStringList{"100 - C1 AZ M1 n1 50 01-10 02-01 03-31 - - - -",
                           "101 - C1 AZ M1 n2 50 03-01 03-02 04-01 - - - -",
                           "102 - C1 AZ M1 n3 50 03-01 03-02 03-04 - - A -"}
            << "2026-03 1/1/50/50 100";
        QTest::newRow("bloqueado na qualidade")
            << QStringList{"100 - C1 AZ M1 n1 50 - - 03-05 - - B MANCHA"} << "2026-03 1/0/50/0 100";
        QTest::newRow("reprocesso ainda aberto")
            << QStringList{"100 - C1 AZ M1 n1 50 - - 03-05 - - - -", "101 100 C1 AZ M1 n1 50 - - - - - A -"}
            << "";
        QTest::newRow("reprocessado depois do período")
            << QStringList{"100 - C1 AZ M1 n1 50 - - 03-05 - - R -"} << "";
        QTest::newRow("laço de reprocessos não trava")
            << QStringList{"100 101 C1 AZ M1 n1 50 - - 03-05 - - - -",
                           "101 100 C1 AZ M1 n1 50 - - 03-06 - - - -"}
            << "2026-03 1/0/50/0 100";
    }
    void lotesEPrimeiraVezCerta() {
        QFETCH(QStringList, folhas);
        QStringList linhas;
        for (const LinhaIndicador& l : Indicador(Lotes(folhas), Dia("03-01"), Dia("03-31"), Agrupamento::Mes,
                                                 Criterio::PrimeiraVezCerta))
            linhas << QString("%1 %2/%3/%4/%5 %6")
                          .arg(l.grupo)
                          .arg(l.lotes)
                          .arg(l.contados)
                          .arg(l.peso)
                          .arg(l.pesoContado)
                          .arg(l.numeros.join(','));
        QTEST(linhas.join(" | "), "esperado");
    }

    void reprocessosEMotivos() {
        const QList<LoteIndicador> lotes =
            Lotes({"100 - C1 AZ M1 n1 50 - - 03-05 - - B MANCHA",
                   "101 100 C1 AZ M1 n1 50 - - 03-08 - - - MANCHA", "200 - C1 PR M1 n2 90 - - 03-05 - - - -",
                   "201 200 C1 PR M1 n2 90 - - 03-07 - - - -", "300 - C2 PR M2 n3 10 - - 03-05 - - - -"});
        QStringList motivos;
        for (const MotivoReprocesso& m : MotivosReprocesso(lotes, Dia("03-01"), Dia("03-31")))
            motivos << QString("%1 %2 %3").arg(m.motivo).arg(m.lotes).arg(m.peso);
        QCOMPARE(motivos.join(" | "), QString("(sem motivo) 1 90 | MANCHA 1 50"));
        QStringList top;
        for (const LinhaIndicador& l : MaisReprocessados(lotes, Dia("03-01"), Dia("03-31"), Agrupamento::Cor))
            top << QString("%1 %2/%3 %4")
                       .arg(l.grupo)
                       .arg(l.contados)
                       .arg(l.lotes)
                       .arg(TextoIndicador(l.TaxaPeso()));
        QCOMPARE(top.join(" | "), QString("PR 1/2 90,0 | AZ 1/1 100,0"));
        // A machine without lots in the period: no rate, shown as such.
        const QList<LinhaIndicador> maquinas = Indicador(
            lotes, Dia("03-01"), Dia("03-31"), Agrupamento::Maquina, Criterio::Reprocessado, {"M3"});
        QCOMPARE(TextoIndicador(maquinas.last().TaxaLotes()), QString("—"));
        QCOMPARE(GruposDoPeriodo(Dia("02-27"), Dia("04-02"), Agrupamento::Mes),
                 (QStringList{"2026-02", "2026-03", "2026-04"}));
    }

    void usoDasMaquinas_data() {
        QTest::addColumn<QStringList>("passos"); // "machine fal start end", end "-" for none
        QTest::addColumn<QString>("esperado");   // per machine and day: processing/within shifts/available
        QTest::newRow("sobrepostos uma vez")
            << QStringList{"M1 1 03-02 08:00 03-02 12:00", "M1 2 03-02 10:00 03-02 14:00"}
            << "M1 03-02 360/360/540 66,7";
        QTest::newRow("cruza a meia-noite") << QStringList{"M1 1 03-02 22:00 03-03 02:00"}
                                            << "M1 03-02 120/60/540 11,1 | M1 03-03 120/120/900 13,3";
        QTest::newRow("sem fim fica de fora") << QStringList{"M1 1 03-02 08:00 -"} << "M1 03-02 0/0/540 0,0";
        QTest::newRow("fora dos turnos não passa de 100 %")
            << QStringList{"M1 1 03-02 00:00 03-03 00:00"} << "M1 03-02 1440/540/540 100,0";
        QTest::newRow("domingo sem turno")
            << QStringList{"M1 1 03-08 08:00 03-08 09:00"} << "M1 03-02 0/0/540 0,0 | M1 03-08 60/0/0 —";
    }
    void usoDasMaquinas() {
        QFETCH(QStringList, passos);
        QList<PassoIndicador> lidos;
        for (const QString& p : passos) {
            const QStringList c = p.split(' ');
            lidos << PassoIndicador{c[0], c[1], Momento(c[2] + ' ' + c[3]),
                                    c[4] == "-" ? QDateTime() : Momento(c[4] + ' ' + c[5])};
        }
        // Monday to Friday 06:00-14:00 and a night shift 23:00-07:00 from Monday to Friday nights (Monday 2
        // March has 540 minutes, Tuesday 900); nothing on Sunday.
        QList<HorasDoTurno> turnos;
        for (int dia = 2; dia <= 6; ++dia)
            turnos << HorasDoTurno{dia, QTime(6, 0), QTime(14, 0)}
                   << HorasDoTurno{dia, QTime(23, 0), QTime(7, 0)};
        QStringList linhas;
        for (const UsoMaquina& u : UsoDasMaquinas(lidos, turnos, Dia("03-02"), Dia("03-08"), {"M1"}))
            if (!u.fals.isEmpty() || u.dia == Dia("03-02"))
                linhas << QString("%1 %2 %3/%4/%5 %6")
                              .arg(u.maquina, u.dia.toString("MM-dd"))
                              .arg(u.processando)
                              .arg(u.noTurno)
                              .arg(u.disponivel)
                              .arg(TextoIndicador(u.Uso()));
        QTEST(linhas.join(" | "), "esperado");
    }

    void maioresGrupos_data() {
        QTest::addColumn<QList<double>>("tamanhos");
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<int>>("linhas");
        QTest::newRow("fewer than n: all") << QList<double>{1, 5} << 3 << QList<int>{0, 1};
        QTest::newRow("the biggest, in their order") << QList<double>{1, 9, 3, 7, 2} << 2 << QList<int>{1, 3};
        QTest::newRow("ties to the first") << QList<double>{4, 4, 4} << 2 << QList<int>{0, 1};
        QTest::newRow("none") << QList<double>{3, 1} << 0 << QList<int>{};
    }
    void maioresGrupos() {
        QFETCH(QList<double>, tamanhos);
        QFETCH(int, n);
        QFETCH(QList<int>, linhas);
        QCOMPARE(MaioresGrupos(tamanhos, n), linhas);
    }

    void prazos() {
        QCOMPARE(Percentil({}, 0.5).has_value(), false);
        QCOMPARE(*Percentil({7}, 0.9), 7.0);
        QCOMPARE(*Percentil({10, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0.5), 5.0);
        QCOMPARE(*Percentil({10, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0.9), 9.0);
        const QList<LoteIndicador> lotes = Lotes({"100 - C1 AZ M1 n1 50 03-01 03-03 03-05 03-06 03-10 - -",
                                                  "200 - C1 AZ M1 n2 50 03-01 03-02 03-09 03-12 03-10 - -",
                                                  "300 - C1 AZ M1 n3 50 03-01 03-02 03-20 - 03-15 - -",
                                                  "400 - C2 AZ M1 n4 50 02-01 02-02 04-02 - 03-15 - -"});
        const QList<PrazoCliente> c = PrazoPorCliente(lotes, Dia("03-01"), Dia("03-31"));
        QCOMPARE(c.size(), 1);
        QCOMPARE(QString("%1 %2 %3 %4 %5")
                     .arg(c[0].lotes)
                     .arg(*c[0].medianaInicio)
                     .arg(*c[0].medianaFim)
                     .arg(*c[0].p90Fim)
                     .arg(*c[0].p90Expedicao),
                 QString("3 1 8 19 11"));
        QStringList atrasados;
        for (const LoteAtrasado& a : LotesAtrasados(lotes, Dia("03-01"), Dia("03-31")))
            atrasados << QString("%1 %2").arg(a.numero).arg(a.dias);
        QCOMPARE(atrasados.join(" | "), QString("300 16 | 200 2"));
    }
};

QTEST_MAIN(TstIndicadores)
#include "tst_indicadores.moc"
