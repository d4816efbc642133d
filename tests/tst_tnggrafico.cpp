// The dyeing-curve registry: steps and elapsed minutes, time, charts, duplicate, delete and print. The delete
// guard is in tst_cadastro_frame, steps changed by another user meanwhile in tst_tngroteiro.
#include "DBControls.h"
#include "GraficoTingimento.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLineSeries>
#include <QStandardPaths>
#include <QTest>

namespace {
const QString kDescricao = QStringLiteral("O campo Descrição é obrigatório.");
const QString kTempo = QStringLiteral("Tempo inválido. Informe horas e minutos (HH:MM).");
// Curve 001 as stored: steps as "CODIGO|ORDEM|TEMPERATURA|TEMPO|TEMPO_TOTAL|FASE", totals never computed.
const QString k001 = "A01|1|30|20||1;S01|2|60|30||1;P01|3|60|60||1;L01|4|40|20||2;E01|5|95|20||2";
} // namespace

class TstTngGrafico : public ScreenTestCase {
    Q_OBJECT

    void Base() {
        Sql("INSERT INTO GRAFICO (CODIGO, DESCRICAO, OBS, QTDE_AGUA, QTDE_VAPOR, QTDE_VATS, QTDE_GAS, "
            "QTDE_OUTROS, TEMPO) VALUES ('001', 'REATIVO D''ÁGUA', 'Sal em tres adicoes', 12.5, 8.2, 3.1, 0, "
            "0.4, '04:30')");
        Insert("GRAFICO (CODIGO, DESCRICAO, TEMPO)", {"'002', 'DISPERSO', '01:00'", "'003', 'LIVRE', NULL"});
        for (const QString& passo : k001.split(';')) {
            const QStringList c = passo.split('|');
            Sql(QStringLiteral(
                    "INSERT INTO PASSOS (CODIGO_GRA, CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, "
                    "FASE) VALUES ('001', '%1', %2, 'PASSO D''%1', %3, %4, '%5')")
                    .arg(c[0], c[1], c[2], c[3], c[5]));
        }
        InsertCommit("PASSOS (CODIGO_GRA, CODIGO, ORDEM, TEMPERATURA, TEMPO, TEMPO_TOTAL, FASE)",
                     {"'002', 'P01', 1, 130, 45, 45, '1'", "'003', 'X01', 1, 50, 10, 10, '1'"});
        driver->Open("TfmTngGrafico");
    }
    // What other users see of a curve's steps, in the grid's order.
    QString Passos(const QString& codigo) {
        return Seen(
            "SELECT CODIGO, ORDEM, TEMPERATURA, TEMPO, TEMPO_TOTAL, FASE FROM PASSOS WHERE CODIGO_GRA = '" +
            codigo + "' ORDER BY FASE, ORDEM");
    }
    QString Curva(const QString& codigo) {
        return Seen(
            "SELECT DESCRICAO, OBS, QTDE_AGUA, QTDE_VAPOR, QTDE_VATS, QTDE_GAS, QTDE_OUTROS, TEMPO FROM "
            "GRAFICO WHERE CODIGO = '" +
            codigo + "'");
    }
    void Celula(const QString& campo, const QVariant& valor) { EditaCelula("dbgPassos", campo, valor); }
    // The points each chart draws, as "minutes/temperature;...".
    QString Grafico(int fase) {
        QStringList pontos;
        auto* linha = qobject_cast<QLineSeries*>(
            driver->Get<QChartView>(QStringLiteral("GrFase%1").arg(fase))->chart()->series().value(0));
        for (const QPointF& p : linha->points())
            pontos << QStringLiteral("%1/%2").arg(p.x()).arg(p.y());
        return pontos.join(';');
    }
    void Duplica(const QVariant& resposta) {
        messages.Clear();
        messages.inputs.enqueue(resposta);
        driver->Click("BtDuplicar");
    }

private slots:
    void includeChecksDescriptionAndTimeAndStoresTheTotals() {
        const QList<PassoCurva> passos = {{"A", 30, 20, "1"}, {"B", 60, 75, "2"}};
        for (const auto& [tempo, pergunta] :
             {std::pair{"01:35", false}, {"01:36", true}, {"", false}, {"4h", false}})
            QCOMPARE(AvisoTempoCurva(tempo, passos).isEmpty(), !pergunta);
        QVERIFY(AvisoTempoCurva("04:30", {}).isEmpty()); // no steps to compare
        Base();
        driver->Click("BtIncluir");
        driver->Type("EdtCodigo", "004");
        driver->Type("EdtDescricao", "curva d'água");
        driver->Type("EdtVapor", "8,25");
        driver->Type("EdtTempo", "27:30");
        driver->Focus("dbgPassos");
        // An empty grid gets its first step; order and phase are taken when none is typed.
        const QStringList campos = {"CODIGO", "TEMPERATURA", "TEMPO", "FASE"};
        for (const QStringList& passo :
             {QStringList{"s01", "60", "30"}, {"P01", "60", "45"}, {"L01", "40", "20", "2"}}) {
            driver->Press("Down");
            for (qsizetype i = 0; i < passo.size(); ++i)
                Celula(campos[i], passo[i]);
        }
        driver->Press("Down");
        driver->Press("Down"); // a step nothing was typed into is left out
        QCOMPARE(Grafico(1) + " | " + Grafico(2), "30/60;75/60 | 95/40");
        // A duration other than the steps' is asked about: No stores nothing and goes back to it.
        messages.questions << false << true;
        driver->Click("SbConfirmar");
        QCOMPARE(Curva("004") + driver->FocusedName(), "EdtTempo");
        driver->Click("SbConfirmar");
        QCOMPARE(CountShown("question",
                            "O tempo do gráfico (27:30) não confere com a duração dos passos (01:35). "
                            "Deseja gravar assim mesmo?"),
                 2);
        QCOMPARE(Curva("004"), "CURVA D'ÁGUA||0|8.25|0|0|0|27:30");
        QCOMPARE(Passos("004"), "S01|1|60|30|30|1;P01|2|60|45|75|1;L01|3|40|20|95|2");

        driver->Click("BtIncluir");
        driver->Type("EdtCodigo", "010");
        driver->Focus("EdtDescricao");
        driver->Press("Tab"); // left empty: the focus stays
        QCOMPARE(TakeMessages() + driver->FocusedName(), kDescricao + "EdtDescricao");
        driver->Activate("SbConfirmar");
        QCOMPARE(TakeMessages() + driver->FocusedName(), kDescricao + "EdtDescricao");
        driver->Type("EdtDescricao", "   ");
        driver->Click("SbConfirmar");
        QCOMPARE(TakeMessages() + driver->FocusedName(), kDescricao + "EdtDescricao");

        driver->Type("EdtDescricao", "nova");
        for (const char* errado : {"4:75", "0430", "4h30"}) {
            TypeAndTab("EdtTempo", errado);
            QCOMPARE(TakeMessages() + driver->FocusedName(), kTempo + "EdtTempo");
        }
        driver->Activate("SbConfirmar"); // nor confirmed with it
        QCOMPARE(Count("GRAFICO", "CODIGO = '010'"), 0);
        TypeAndTab("EdtTempo", "5:05");
        QCOMPARE(driver->Text("EdtTempo"), "05:05");
        driver->Click("SbConfirmar");
        QCOMPARE(Curva("010"), "NOVA||0|0|0|0|0|05:05");
        QCOMPARE(Passos("010"), QString());
    }

    void alterRecomputesTheTotalsAndChartsFollowTheSteps() {
        Base();
        QCOMPARE(Grafico(1) + " | " + Grafico(2), "20/30;50/60;110/60 | 130/40;150/95");
        driver->Click("sbProximo"); // another curve, other charts
        QCOMPARE(Grafico(1) + " | " + Grafico(2), "45/130 | ");
        driver->Click("sbPrimeiro");

        driver->Click("BtnAltera");
        driver->Focus("dbgPassos");
        CelulaAtual("dbgPassos", 1);
        Celula("TEMPO", "45");
        QCOMPARE(Grafico(1), "20/30;65/60;125/60"); // redrawn as it is typed
        CelulaAtual("dbgPassos", 2);
        driver->Press("Ctrl+Del");
        CelulaAtual("dbgPassos", 3);
        Celula("FASE", "3");
        driver->Get<TZoDBGrid>("dbgPassos")->SelectField("FASE");
        driver->Press("Tab");
        QCOMPARE(messages.Texts(), QStringList{"Fase inválida. Informe 1 ou 2."});
        Celula("FASE", "2");
        ClickAndAnswer("SbConfirmar", true); // the curve's 04:30 are not its steps' 01:45
        QCOMPARE(Passos("001"),
                 QStringLiteral("A01|1|30|20|20|1;S01|2|60|45|65|1;L01|4|40|20|85|2;E01|5|95|20|105|2"));
        QCOMPARE(Grafico(2), "85/40;105/95");
    }

    void printWritesPdfAndPictureAndDuplicateCopiesTheWholeCurveOrNothing() {
        QStandardPaths::setTestModeEnabled(true);
        const QString figura = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                               QStringLiteral("/grafico.jpeg");
        QFile::remove(figura);
        const ReportFolder saida;
        Base();
        driver->Click("BtImprimir");
        QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.Texts().join('|')));
        const QString pagina = saida.Text("WTngGrafico.pdf");
        for (const char* esperado :
             {"001 - REATIVO D'ÁGUA", "Água 12,500", "Energia 3,100", "04:30", "P01", "E01", "PASSO D'S01"})
            QVERIFY2(pagina.contains(QString::fromUtf8(esperado)), esperado);
        QVERIFY(QFile::exists(figura));

        FailWhen("PASSOS", "BEFORE INSERT", "NEW.CODIGO_GRA = '020'");
        for (const QVariant& nada : {QVariant(), QVariant(""), QVariant("   ")}) { // cancelled or blank
            Duplica(nada);
            QCOMPARE(messages.shown.size(), 1);
        }
        Duplica("1234");
        QCOMPARE(messages.LastText(), "O Código do Gráfico pode ter no máximo 3 dígitos.");
        Duplica("002");
        QCOMPARE(messages.LastText(), "Código do Gráfico já existe.");
        Duplica("020"); // the curve is copied, its steps are not
        QVERIFY(messages.LastText().contains("falha forçada"));
        Commit();
        QCOMPARE(
            Seen("SELECT (SELECT COUNT(*) FROM GRAFICO) || '/' || (SELECT COUNT(*) FROM PASSOS) || '/' || "
                 "(SELECT COUNT(*) FROM LOG) FROM RDB$DATABASE"),
            "3/7/0");

        Duplica("007");
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(Curva("007"), Curva("001"));
        QCOMPARE(Passos("007"), Passos("001"));
        QCOMPARE(Seen("SELECT DESCRICAO FROM PASSOS WHERE CODIGO_GRA = '007' AND CODIGO = 'S01'"),
                 "PASSO D'S01");
        QCOMPARE(Count("LOG", "TEXTO = 'DUPLICACAO DO GRAFICO 001 PARA 007'"), 1);
        // The copy is shown: deleted, it takes its steps only.
        ClickAndAnswer("BtExcluir", true);
        QCOMPARE(Curva("007") + Passos("007"), QString());
        QCOMPARE(Passos("001"), k001);
    }
};

QTEST_MAIN(TstTngGrafico)
#include "tst_tnggrafico.moc"
