// The management reports: their folds as data tables (machines' curve times, deliveries before, on and after
// the forecast, prices by print group, months), and each screen's rows and print against the database,
// the monthly one over two companies.
#include "DataAccess.h"
#include "PivosGerencia.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {
// "a;b;c" rows of a table cell into fields.
QList<QStringList> Campos(const QStringList& linhas) {
    QList<QStringList> r;
    for (const QString& l : linhas)
        r << l.split(';');
    return r;
}
QString N(double x) {
    return QString::number(x, 'g', 6);
}
} // namespace

class TstRelGerencia : public ScreenTestCase {
    Q_OBJECT

    // Customer 00001 of representative R1 with sheet F1 (two items of fabric T1, 10 and 20 kg, dyed on M1
    // with curve G1) billed on 05/12/2026, forecast for 04/12; its dyeing step finished on 03/12.
    void Fabrica() {
        InsertCommit("REPRESEN (CODREP, NOME)", {"'R1', 'JOAO'"});
        InsertCommit("ENTIDADE (CODCLI, NOME, CODREP)", {"'00001', 'MALHARIA UM', 'R1'"});
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'03', 'TINGIMENTO'"});
        InsertCommit("MAQ_TIN (CODIGO, DESCRICAO, FASE)", {"'M1', 'JET UM', '03'"});
        InsertCommit("GRAFICO (CODIGO, TEMPO)", {"'G1', '02:30'"});
        InsertCommit("RECEITA (CODIGO, VARIANTE, COR, GRAFICO)", {"'0001', '01', 'C1', 'G1'"});
        InsertCommit("FAL (NUMERO, CLIENTE, COR, VARIANTE, MAQUINA, DATA_INI, DATA_FIN, PARTIDA)",
                     {"'F1', '00001', 'C1', '01', 'M1', '2026-12-01', '2026-12-04', 'P1'"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, PESO, ORD_IT, FATURADO, DT_FATURA)",
                     {"'F1', 'T1', 10, 1, 'S', '2026-12-05'", "'F1', 'T1', 20, 2, 'S', '2026-12-05'"});
        InsertCommit("PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, DES_FASE, CONCLUIDO, DATA_FIN)",
                     {"'F1', 'T1', 1, '03', 'TINGIMENTO', 'S', '2026-12-03'",
                      "'F1', 'T1', 2, '03', 'TINGIMENTO', 'S', '2026-12-03'"});
    }
    void Confirma(const QString& tela, const QList<QPair<QString, QString>>& filtros) {
        driver->Open(tela);
        for (const auto& [caixa, texto] : filtros)
            texto.isNull() ? driver->Click(caixa) : driver->Type(caixa, texto);
        driver->Click("BitBtn1");
    }

private slots:
    void maquinas_data() {
        QTest::addColumn<QStringList>("lotes");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("three curves summed to the second, a day the hours over 24")
            << QStringList{"M1;02:30;L1", "M1;1:45;L2", "M1;03:00:00;L3"}
            << QStringList{"M1|07:15:00|7.25|3|L1 - L2 - L3"};
        QTest::newRow("a blank or unreadable curve counts no time, its lot still counts")
            << QStringList{"M1;;L1", "M1;xx;L2", "M1;01:00;L3", "M2;25:61;L4"}
            << QStringList{"M1|01:00:00|1|3|L1 - L2 - L3", "M2|00:00:00|0|1|L4"};
    }
    void maquinas() {
        QFETCH(QStringList, lotes);
        QList<LoteMaquina> linhas;
        for (const QStringList& c : Campos(lotes))
            linhas.append({c[0], {}, c[1], c[2]});
        QStringList r;
        for (const TotalMaquina& t : PivoMaquinas(linhas))
            r << QStringList{t.maquina, t.tempo, N(t.dia * 24), QString::number(t.numPart), t.partidas}.join(
                '|');
        QTEST(r, "esperado");
    }

    // Items: customer, sheet, kg, days, forecast and delivery as days after 01/12/2026 ("-" no forecast).
    void entregas_data() {
        QTest::addColumn<QStringList>("itens");
        QTest::addColumn<QStringList>("esperado"); // kg before|on|after, lots, means: all, before, after
        QTest::newRow("before, on and after the forecast, customers by code, text codes")
            << QStringList{"B0001;F1;10;4;0;-1", "B0001;F2;20;5;0;0", "B0001;F3;30;9;0;2", "A0001;F4;1;1;3;3"}
            << QStringList{"A0001|0|1|0|0|1|0|1|1|0|0|0|0", "B0001|10|20|30|1|1|1|6.83|6|4|4|9|9"};
        QTest::newRow("a sheet delivered twice the same day is one lot, no early delivery means 0")
            << QStringList{"C1;F1;10;3;0;2", "C1;F1;5;3;0;2", "C1;F1;5;4;0;3"}
            << QStringList{"C1|0|0|20|0|0|2|3.25|3.33|0|0|3.25|3.33"};
        QTest::newRow("no weight weighs no mean, a sheet without forecast is late")
            << QStringList{"C2;F1;0;2;0;-1", "C2;F2;0;6;-;0"} << QStringList{"C2|0|0|0|1|0|1|0|4|0|2|0|6"};
    }
    void entregas() {
        QFETCH(QStringList, itens);
        const QDate base(2026, 12, 1);
        QList<ItemEntregue> linhas;
        for (const QStringList& c : Campos(itens))
            linhas.append({c[0],
                           {},
                           c[1],
                           c[2].toDouble(),
                           c[3].toDouble(),
                           c[4] == "-" ? QDate() : base.addDays(c[4].toInt()),
                           base.addDays(c[5].toInt())});
        QStringList r;
        for (const EntregasCliente& e : PivoEntregas(linhas))
            r << QStringList{e.cliente,
                             N(e.antes),
                             N(e.noDia),
                             N(e.depois),
                             QString::number(e.lotesAntes),
                             QString::number(e.lotesNoDia),
                             QString::number(e.lotesDepois),
                             N(e.mediaPonderada),
                             N(e.mediaDias),
                             N(e.mediaPonderadaAntes),
                             N(e.mediaAntes),
                             N(e.mediaPonderadaDepois),
                             N(e.mediaDepois)}
                     .join('|');
        QTEST(r, "esperado");
    }

    void precos_data() {
        QTest::addColumn<QStringList>("linhas");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("groups 01 to 10 fill their columns, colours by code")
            << QStringList{"C2;10;12.5", "C1;02;5", "C2;01;10"} << QStringList{"C1|02=5", "C2|01=10|10=12.5"};
        QTest::newRow("a group without a column of its own is left out")
            << QStringList{"C1;11;9", "C1;1;7", "C1;00;6", "C1;03;8"} << QStringList{"C1|03=8"};
    }
    void precos() {
        QFETCH(QStringList, linhas);
        QList<PrecoGrupo> precos;
        for (const QStringList& c : Campos(linhas))
            precos.append({c[0], {}, c[1], c[2].toDouble()});
        QStringList r;
        for (const PrecosCor& p : PivoPrecos(precos)) {
            QStringList l{p.cor};
            for (int g = 0; g < kGruposPreco; ++g)
                if (p.precos[g])
                    l << QStringLiteral("%1=%2").arg(g + 1, 2, 10, QChar('0')).arg(N(*p.precos[g]));
            r << l.join('|');
        }
        QTEST(r, "esperado");
    }

    void mensal() {
        QStringList r;
        for (const FaturadoAno& a :
             PivoMensal({{"C2", {}, 3, 2}, {"C1", {}, 1, 10}, {"C2", {}, 3, 5}, {"C3", {}, 13, 9}}))
            r << QStringList{a.codigo, N(a.meses[0]), N(a.meses[2])}.join('|');
        QCOMPARE(r, (QStringList{"C1|10|0", "C2|0|7"}));
    }

    void maquinaPeloPeriodoImpressa() {
        Fabrica();
        InsertCommit("GRAFICO (CODIGO, TEMPO)", {"'G2', '01:45'", "'G3', '03:00'", "'G4', ''"});
        InsertCommit("RECEITA (CODIGO, VARIANTE, COR, GRAFICO)",
                     {"'0002', '01', 'C2', 'G2'", "'0003', '01', 'C3', 'G3'", "'0004', '01', 'C4', 'G4'"});
        InsertCommit("MAQ_TIN (CODIGO, DESCRICAO, FASE)", {"'M2', 'JET DOIS', '03'"});
        InsertCommit(
            "FAL (NUMERO, COR, VARIANTE, MAQUINA, DATA_INI, PARTIDA)",
            {"'F2', 'C2', '01', 'M1', '2026-12-02', 'P2'", "'F3', 'C3', '01', 'M1', '2026-12-03', 'P3'",
             "'F4', 'C4', '01', 'M2', '2026-12-03', 'P4'", "'F5', 'C3', '01', 'M1', '2026-11-30', 'P5'"});
        for (const char* f : {"F2", "F3", "F4", "F5"}) {
            InsertCommit("FAL_ITEN (FAL, CODIGO, PESO, ORD_IT)", {QStringLiteral("'%1', 'T1', 5, 1").arg(f)});
            InsertCommit("PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE)",
                         {QStringLiteral("'%1', 'T1', 1, '03'").arg(f)});
        }
        const ReportFolder pasta;
        Confirma("TFmRelTngMaq",
                 {{"EdtDataIni", "01/12/2026"}, {"EdtDataFim", "31/12/2026"}, {"rgProcessos0", {}}});
        QCOMPARE(FieldTexts("TbResultado", "Maquina|Descricao|Tempo|NumPart|Partidas"),
                 (QStringList{"M1|JET UM|07:15:00|3|P1 - P2 - P3", "M2|JET DOIS|00:00:00|1|P4"}));
        QCOMPARE(FieldText("TbResultado", 0, "Dia").toDouble(), 7.25 / 24);
        driver->Click("BtImp");
        const QString impresso = pasta.Text("WTngProgMaq.pdf");
        for (const char* texto :
             {"Relatório de Máquina", "07:15:00", "0,30", "P1 - P2 - P3", "01/12/2026 até 31/12/2026"})
            QVERIFY2(impresso.contains(QString::fromUtf8(texto)), qPrintable(impresso));
        // Only pending steps by default: F1's are done.
        Confirma("TFmRelTngMaq", {{"EdtDataIni", "01/12/2026"}, {"EdtDataFim", "31/12/2026"}});
        QCOMPARE(FieldTexts("TbResultado", "Maquina|Partidas"), (QStringList{"M1|P2 - P3", "M2|P4"}));
    }

    // Two items of one fabric in a sheet weigh once each, not twice.
    void setorERepresentante() {
        Fabrica();
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00002', 'SEM REPRESENTANTE'"});
        InsertCommit("FAL (NUMERO, CLIENTE, PARTIDA)", {"'F2', '00002', 'P2'"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, PESO, ORD_IT)", {"'F2', 'T2', 7, 1"});
        InsertCommit("PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, CONCLUIDO, DATA_FIN)",
                     {"'F2', 'T2', 1, '03', 'S', '2026-11-30'"});
        Confirma("TFmRelTngSetor",
                 {{"EdtCodSet", "03"}, {"EdtDataIni", "01/12/2026"}, {"EdtDataFim", "31/12/2026"}});
        QCOMPARE(FieldTexts("TbResultado", "FASE|PESO"), QStringList{"03|30"});
        const ReportFolder pasta;
        Confirma("TFmRelTngRep", {{"EdtDataIni", "01/11/2026"}, {"EdtDataFim", "31/12/2026"}});
        QCOMPARE(FieldTexts("TbResultado", "CODREP|CODCLI|PESO"), (QStringList{"|00002|7", "R1|00001|30"}));
        driver->Click("BtImp");
        QFile texto(pasta.Path("WTngProgRep.txt"));
        QVERIFY(texto.open(QIODevice::ReadOnly));
        const QString impresso = QString::fromUtf8(texto.readAll());
        QVERIFY2(impresso.contains("R1 - JOAO") && impresso.contains("30,00") && impresso.contains("37,00"),
                 qPrintable(impresso));
        QVERIFY(pasta.Text("WTngProgRep.pdf").contains("MALHARIA UM"));
    }

    void programacao() {
        Fabrica();
        InsertCommit("ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE)",
                     {"'R1', 'TINTO', 1, '03'", "'R1', 'TINTO', 2, '05'"});
        InsertCommit("FAL (NUMERO, NUM_REPROC)", {"'F9', 'F1'"});
        InsertCommit(
            "TNG_PROG (NUMERO, ORDEM, CODCLI, ENTRADA, PARTIDA, CODIGO, COR, ROTEIRO, NOTA, PESO, FAL)",
            {"'000012', 1, '00001', '2026-12-01', 'P1', 'T1', 'C1', 'R1', '000000077', 30, 'F1'",
             "'000013', 1, '00001', '2026-12-02', 'P7', 'T1', 'C0', 'R1', '000000078', 5, ''"});
        const QList<QPair<QString, QString>> dezembro{{"EdtDataIni", "01/12/2026"},
                                                      {"EdtDataFim", "31/12/2026"}};
        Confirma("TFmRelTngProg", dezembro + QList<QPair<QString, QString>>{{"RgGrupo2", {}}});
        QCOMPARE(FieldTexts("TbResultado", "NUMERO|DESCFLUXO|DT_FATURA|NUM_REPROC|GRUPO"),
                 (QStringList{"000013|TINTO|||2", "000012|TINTO|05/12/2026|F9|2"}));
        const struct {
            const char *filtro, *texto, *numero;
        } filtros[] = {
            {"EdtNumero", "12", "000012"}, {"EdtNota", "78", "000013"}, {"rgBusca2", nullptr, "000013"}};
        for (const auto& f : filtros) {
            Confirma("TFmRelTngProg", dezembro + QList<QPair<QString, QString>>{{f.filtro, f.texto}});
            QCOMPARE(FieldTexts("TbResultado", "NUMERO"), QStringList{f.numero});
        }
    }

    void entregasDeUmClienteDeCodigoTexto() {
        Fabrica();
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'B0001', 'MALHARIA B'"});
        InsertCommit("FAL (NUMERO, CLIENTE, DATA_INI, DATA_FIN)",
                     {"'F2', 'B0001', '2026-12-01', '2026-12-05'"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, PESO, ORD_IT, DT_FATURA)",
                     {"'F2', 'T1', 10, 1, '2026-12-05'", "'F2', 'T2', 30, 2, '2026-12-05'"});
        Confirma("TFmRelFalEntrega",
                 {{"EdtCodCli", "B0001"}, {"EdtDataIni", "01/12/2026"}, {"EdtDataFim", "31/12/2026"}});
        QCOMPARE(FieldTexts("TbResultado",
                            "Cliente|Data_Ini|NoDia|Lotes_NoDia|Lotes_Depois|Media_Ponderada|Media_Antes"),
                 QStringList{"B0001|01/12/2026|40|1|0|4|0"});
    }

    void precosComGrupoSemColuna() {
        InsertCommit("REGIAO (REGIAO, DESCRICAO)", {"'01', 'PADRAO'"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO)", {"'C1', 'AZUL'"});
        InsertCommit("VARIANTE (CODIGO, GRUPO_IMP)", {"'01', '01'", "'02', '11'", "'03', '10'"});
        InsertCommit("TABPRECO (REGIAO, COR, VARIANTE, CODIGO, PRECO_00)",
                     {"'01', 'C1', '01', '', 10", "'01', 'C1', '02', '', 11", "'01', 'C1', '03', '', 12.5",
                      "'01', 'C1', '01', 'P1', 99"});
        Confirma("TFmRelPrecoVar", {{"EdtCodTab", "01"}});
        QCOMPARE(FieldTexts("TbResultado", "Cor|Descricao|Preco01|Preco02|Preco10"),
                 QStringList{"C1|AZUL|10||12.5"});
    }

private:
    // Sheets of 00001: 0000001 (items T1 'A' at its step F2, T2 '' all done — its last step "R" —, T3 null
    // at F1; T1 has three rolls of defect D1), 0000002 (T1 written off, T2 billed on 05/12; all done, T1 with
    // defect D2), 0000003 reprocessing 0000001 (T1 done, T2 at two open steps of one ORDEM).
    void Fals() {
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00001', 'MALHARIA UM'"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO)", {"'C1', 'AZUL'"});
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'F1', 'UM'", "'F2', 'DOIS'", "'F3', 'TRES'"});
        InsertCommit("DEFEITO (CODIGO, DESCRICAO)", {"'D1', 'MANCHA'", "'D2', 'FURO'"});
        InsertCommit("FAL (NUMERO, CLIENTE, COR, VARIANTE, DATA_INI, TIPO, PARTIDA, NUM_REPROC)",
                     {"'0000001', '00001', 'C1', '01', '2026-12-01', 1, 'P1', NULL",
                      "'0000002', '00001', 'C1', '01', '2026-12-02', 1, 'P2', NULL",
                      "'0000003', '00001', 'C1', '01', '2026-12-03', 2, 'P3', '0000001'"});
        InsertCommit("FAL_ITEN (FAL, CODIGO, PESO, ORD_IT, FATURADO, PESO_FATUR, DT_FATURA)",
                     {"'0000001', 'T1', 10, 1, 'A', 0, NULL", "'0000001', 'T2', 20, 2, '', 0, NULL",
                      "'0000001', 'T3', 30, 3, NULL, 0, NULL", "'0000002', 'T1', 40, 1, 'S', 0, NULL",
                      "'0000002', 'T2', 50, 2, 'D', 50, '2026-12-05'", "'0000003', 'T1', 60, 1, 'A', 0, NULL",
                      "'0000003', 'T2', 70, 2, 'A', 0, NULL"});
        QStringList passos;
        for (const char* p : {"1;T1;F1;1;N;S", "1;T1;F2;2;S;N", "1;T2;F1;1;N;S", "1;T2;F2;2;N;R",
                              "1;T3;F1;1;S;N", "1;T3;F2;2;S;N", "2;T1;F1;1;N;S", "2;T1;F2;2;N;S",
                              "2;T2;F1;1;N;S", "3;T1;F1;1;N;S", "3;T2;F3;1;S;N", "3;T2;F1;1;S;N"}) {
            const QStringList c = QString::fromLatin1(p).split(';');
            passos << QStringLiteral("'000000%1', '%2', '%3', 'FASE%4', %5, '%6', '%7'")
                          .arg(c[0], c[1], c[2], c[2].mid(1), c[3], c[4], c[5]);
        }
        InsertCommit("PROCESSO_TIN (FAL, CODIGO, FASE, DES_FASE, ORDEM, PENDENTE, CONCLUIDO)", passos);
        InsertCommit("CONTR_QUL (FAL, CODIGO, ORDEM, DEFEITO)",
                     {"'0000001', 'T1', 0, 'D1'", "'0000001', 'T1', 1, 'D1'", "'0000001', 'T1', 2, 'D1'",
                      "'0000001', 'T1', 3, 'D1'", "'0000002', 'T1', 0, 'D2'"});
    }
    // "box=text" typed, "box" clicked.
    void ConfirmaFal(const QStringList& filtros) {
        QList<QPair<QString, QString>> f{{"EdtDataIni", "01/12/2026"}, {"EdtDataFim", "31/12/2026"}};
        for (const QString& x : filtros)
            f.append({x.section('=', 0, 0), x.contains('=') ? x.section('=', 1) : QString()});
        Confirma("TFmRelFal", f);
    }

private slots:
    // In the order "FAL": the current phase ranks the items of a sheet, none first.
    void fal_data() {
        QTest::addColumn<QStringList>("filtros");
        QTest::addColumn<QStringList>("esperado");
        const QString todas = "RgSitProd0", todasFat = "RgSituacao0";
        QTest::newRow("every item once, the current step of a tie once, done items without one")
            << QStringList{todas, todasFat}
            << QStringList{"0000001|T2|", "0000001|T3|FASE1", "0000001|T1|FASE2", "0000002|T1|",
                           "0000002|T2|", "0000003|T1|",      "0000003|T2|FASE1"};
        QTest::newRow("pending in production: items with an open step")
            << QStringList{todasFat}
            << QStringList{"0000001|T3|FASE1", "0000001|T1|FASE2", "0000003|T2|FASE1"};
        QTest::newRow("finished in production: the last step, never of a sheet still open")
            << QStringList{"RgSitProd2", todasFat} << QStringList{"0000002|T2|FASE1", "0000002|T1|FASE2"};
        QTest::newRow("pending billing: A, empty and null")
            << QStringList{todas}
            << QStringList{"0000001|T2|", "0000001|T3|FASE1", "0000001|T1|FASE2", "0000003|T1|",
                           "0000003|T2|FASE1"};
        QTest::newRow("billed within the billing period")
            << QStringList{todas, "RgSituacao2", "DtFatIni=01/12/2026", "DtFatFim=31/12/2026"}
            << QStringList{"0000002|T2|"};
        QTest::newRow("written off") << QStringList{todas, "RgSituacao3"} << QStringList{"0000002|T1|"};
        QTest::newRow("a defect of three rolls lists its item once")
            << QStringList{todas, todasFat, "EdtDefeito=D1"} << QStringList{"0000001|T1|FASE2"};
        QTest::newRow("a quote in a list is a code")
            << QStringList{todas, todasFat, "edtCodCor=C'1"} << QStringList{};
        QTest::newRow("reprocessings")
            << QStringList{todas, todasFat, "RgBusca2"} << QStringList{"0000003|T1|", "0000003|T2|FASE1"};
        QTest::newRow("open at a listed phase")
            << QStringList{todasFat, "EdtCodFase=F2"} << QStringList{"0000001|T1|FASE2", "0000001|T3|FASE2"};
        QTest::newRow("pending at the phase: its first open step")
            << QStringList{todasFat, "EdtCodFase=F2", "CBPendFase"} << QStringList{"0000001|T1|FASE2"};
        QTest::newRow("every item, the step shown only where the item is at the phase")
            << QStringList{todas, todasFat, "EdtCodFase=F2", "CBPendFase"}
            << QStringList{"0000001|T2|", "0000001|T3|", "0000001|T1|FASE2", "0000002|T1|",
                           "0000002|T2|", "0000003|T1|", "0000003|T2|"};
    }
    void fal() {
        QFETCH(QStringList, filtros);
        QFETCH(QStringList, esperado);
        Fals();
        ConfirmaFal(filtros);
        QCOMPARE(FieldTexts("TbResultado", "FAL|CODIGO|DES_FASE"), esperado);
        // The sector list reads the same items, by phase.
        QCOMPARE(FieldTexts("qryFalSetor", "FAL").size(), esperado.size());
    }

    // Each order prints under its identifier, in graphics and text, the quality records of the period beside.
    void falImpressa() {
        Fals();
        const ReportFolder pasta;
        const QStringList ids{"WTngFalNum", "WTngFalIten", "WTngFalCor", "WTngFalVar",
                              "WTngFalNum", "WTngFalEst",  "WTngFalNum", "WTngFalNum",
                              "WTngFalNum", "WTngFalNum",  "WTngFalNum", "WTngFalNum"};
        for (int ordem = 0; ordem < ids.size(); ++ordem) {
            ConfirmaFal({"RgSitProd0", "RgSituacao0", QStringLiteral("RgOrdem%1").arg(ordem)});
            QCOMPARE(FieldTexts("TbResultado", "FAL").size(), 7);
            driver->Click("BtImp");
            QVERIFY2(QFile::exists(pasta.Path(ids[ordem] + ".pdf")) &&
                         QFile::exists(pasta.Path(ids[ordem] + ".txt")),
                     qPrintable(ids[ordem]));
        }
        QCOMPARE(FieldTexts("QryQul", "FAL|ORDEM").size(), 5);
        // Exported as the grid shows it, the weights as numbers.
        driver->Click("BtExportar");
        QVERIFY(XlsxPart(pasta.Path("WTngFalNum.xlsx"))
                    .contains(QRegularExpression(R"(<c r="N2" s="\d+"><v>\d+</v>)")));
        const QString impresso = pasta.Text("WTngFalCor.pdf");
        for (const char* texto :
             {"Relatório de FAL", "00001 - MALHARIA UM", "280,00", "01/12/2026 até 31/12/2026"})
            QVERIFY2(impresso.contains(QString::fromUtf8(texto)), qPrintable(impresso));
    }

    // Last: NOTA is kept per company from its second half on, for the rest of the program.
    void mensalDeTodasEmpresas() {
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00001', 'MALHARIA UM'"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO)", {"'C1', 'AZUL'"});
        SqlCommit({"UPDATE OR INSERT INTO EMPRESA (CODIGO, NOME) VALUES ('001', 'UM')",
                   "UPDATE OR INSERT INTO EMPRESA (CODIGO, NOME) VALUES ('002', 'DOIS')",
                   "UPDATE OR INSERT INTO NATUREZA (NATUREZA, DUPLI) VALUES ('5124', 'S')",
                   "UPDATE OR INSERT INTO NATUREZA (NATUREZA, DUPLI) VALUES ('5902', 'N')"});
        const QString nota = "(FATURA, CODCLI, NATUREZA, DT_EMISSAO, PESOL, TIPFAT, IMPRESSO)";
        InsertCommit("NOTA " + nota, {"1, '00001', '5124', '2026-01-10', 100, 'T', 'S'",
                                      "2, '00001', '5124', '2026-01-20', 50, 'C', 'S'",
                                      "3, '00001', '5124', '2026-03-05', 7, 'T', 'N'",
                                      "4, '00001', '5902', '2026-02-01', 8, 'T', 'S'",
                                      "5, '00001', '5124', '2025-12-31', 9, 'T', 'S'"});
        InsertCommit("NOTAITEN (FATURA, COR, QTDE, EMPENHO)", {"1, 'C1', 60, 'N'", "1, 'C1', 40, 'S'"});
        const ReportFolder pasta;
        const auto mensal = [&](bool todas, int busca) {
            QList<QPair<QString, QString>> filtros{{"EdtAno", "2026"},
                                                   {QStringLiteral("RgBusca%1").arg(busca), {}}};
            if (todas)
                filtros.append(qMakePair(QStringLiteral("cbEmpresas"), QString()));
            Confirma("TFmRelTngFatMes", filtros);
            return FieldTexts("TbResultado", "Codigo|Jan|Fev|Mac|Total");
        };
        // A table kept once for the group is read once, every company or not.
        for (bool todas : {false, true}) {
            QCOMPARE(mensal(todas, 0), QStringList{"00001|150|0|0|150"});
            QCOMPARE(mensal(todas, 1), QStringList{"C1|60|0|0|60"});
        }
        RegistraTabelaEmpresa("NOTA");
        SqlCommit({"CREATE TABLE NOTA_001 (FATURA INTEGER, CODCLI VARCHAR(5), NATUREZA VARCHAR(6), "
                   "DT_EMISSAO DATE, "
                   "PESOL DOUBLE PRECISION, TIPFAT VARCHAR(1), IMPRESSO VARCHAR(1))",
                   "CREATE TABLE NOTA_002 (FATURA INTEGER, CODCLI VARCHAR(5), NATUREZA VARCHAR(6), "
                   "DT_EMISSAO DATE, "
                   "PESOL DOUBLE PRECISION, TIPFAT VARCHAR(1), IMPRESSO VARCHAR(1))"});
        InsertCommit("NOTA_001 " + nota, {"1, '00001', '5124', '2026-01-10', 100, 'T', 'S'"});
        InsertCommit("NOTA_002 " + nota, {"1, '00001', '5124', '2026-01-15', 30, 'T', 'S'",
                                          "2, '00001', '5124', '2026-03-15', 5, 'C', 'S'"});
        QCOMPARE(mensal(false, 0), QStringList{"00001|100|0|0|100"});
        QCOMPARE(mensal(true, 0), QStringList{"00001|130|0|5|135"});
        driver->Click("BtImp");
        const QString impresso = pasta.Text("WTngFatMes.pdf");
        for (const char* texto : {"Todas Empresas", "Sim", "130,00", "135,00", "Mar"})
            QVERIFY2(impresso.contains(QString::fromUtf8(texto)), qPrintable(impresso));
    }
};

QTEST_MAIN(TstRelGerencia)
#include "tst_relgerencia.moc"
