// The production map: bars grouped by position but never across colours, the list beside them, starts of
// any day and the earliest as origin, moves by menu counted per bar, dragging along and across rows, the
// saves of both pages as one unit each through the clash dialogue, asked before anything is written, codes
// with quotes, and the print.
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QDialog>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QTabWidget>
#include <QTest>

class TstRelGantt : public ScreenTestCase {
    Q_OBJECT
    const QString kOntem = QDate::currentDate().addDays(-1).toString("yyyy-MM-dd");

    void Base() {
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'03', 'TINGIMENTO'", "'05', 'ACABAMENTO'"});
        InsertCommit("MAQ_TIN (CODIGO, DESCRICAO, FASE, TIPO)",
                     {"'M1', 'JET 1', '03', '1'", "'M2', 'JET 2', '03', '1'", "'M''1', 'RAMA', '05', '2'"});
        InsertCommit("CADCORTIN (CODIGO, DESCRICAO, COR_SIS)",
                     {"'C1', 'MARINHO', 128", "'C2', 'AMARELO', 16776960", "'C9', 'PRETO', 0"});
        InsertCommit("GRAFICO (CODIGO, TEMPO)", {"'G1', '01:00'", "'G2', '00:30'", "'G9', '97:00'"});
        InsertCommit("RECEITA (CODIGO, VARIANTE, COR, GRAFICO)",
                     {"'R1', '01', 'C1', 'G1'", "'R2', '01', 'C2', 'G2'", "'R9', '01', 'C9', 'G9'"});
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'00001', 'TECELAGEM D''AVILA'", "'00002', 'MALHARIA'"});
    }
    // A FAL of two fabrics, its phase-03 step laid out for each (started at `inicio`, "date', 'time").
    void Fal(const QString& numero, const QString& maquina, int ordem, const QString& cor = "C1",
             const QString& inicio = QString()) {
        Insert("FAL (NUMERO, CLIENTE, COR, VARIANTE, MAQUINA, ORDEM, DATA_INI)",
               {QString("'%1', '00001', '%2', '01', %3, %4, '2026-03-01'")
                    .arg(numero, cor,
                         maquina.isEmpty() ? "NULL" : "'" + QString(maquina).replace("'", "''") + "'")
                    .arg(ordem)});
        for (const char* tecido : {"P1", "P2"}) {
            Insert("FAL_ITEN (FAL, CODIGO, ORD_IT, PESO, FATURADO)",
                   {QString("'%1', '%2', %3, 10, 'A'").arg(numero, tecido, tecido + 1)});
            Insert("PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, CONCLUIDO, PENDENTE, DATA_INI, HORA_INI)",
                   {QString("'%1', '%2', '03', 1, 'N', %3")
                        .arg(numero, tecido)
                        .arg(inicio.isEmpty() ? "NULL, NULL, NULL" : "'S', '" + inicio + "'")});
        }
        Commit();
    }
    void Abre() {
        driver->Open("TfmRelTngGantt");
        TypeAndTab("EdtCodFase", "03");
    }
    QGraphicsView* Mapa() { return driver->Get<QGraphicsView>("GvMapa"); }
    QGraphicsRectItem* Barra(const QString& legenda) {
        for (QGraphicsItem* i : Mapa()->scene()->items())
            if (auto* r = dynamic_cast<QGraphicsRectItem*>(i); r && r->toolTip() == legenda)
                return r;
        return nullptr;
    }
    // The rows of the map, "machine: captions in their order", joined by '|'.
    QString Barras() {
        QList<QPair<qreal, QString>> linhas;
        for (QGraphicsItem* i : driver->Get<QGraphicsView>("GvMaquinas")->scene()->items())
            if (auto* t = dynamic_cast<QGraphicsSimpleTextItem*>(i))
                linhas.append({t->y(), t->text().section(" - ", 0, 0)});
        std::sort(linhas.begin(), linhas.end());
        QList<QList<QPair<qreal, QString>>> barras(linhas.size());
        for (QGraphicsItem* i : Mapa()->scene()->items())
            if (auto* r = dynamic_cast<QGraphicsRectItem*>(i); r && !r->toolTip().isEmpty()) {
                int linha = 0;
                while (linha + 1 < linhas.size() && linhas[linha + 1].first <= r->rect().y() + 4)
                    ++linha;
                barras[linha].append({r->rect().x(), r->toolTip()});
            }
        QStringList texto;
        for (int l = 0; l < linhas.size(); ++l) {
            std::sort(barras[l].begin(), barras[l].end());
            QStringList legendas;
            for (const auto& b : std::as_const(barras[l]))
                legendas << b.second;
            texto << linhas[l].second + ": " + legendas.join(' ');
        }
        return texto.join('|');
    }
    // Our own saves redraw the map on their commit's event: waits until it reads as expected, or a second
    // has passed.
    bool BarrasSeTornam(const QString& esperadas) {
        return QTest::qWaitFor([&] { return Barras() == esperadas; }, 1000);
    }
    QString Ordens() { return Seen("SELECT NUMERO, MAQUINA, COALESCE(ORDEM, 0) FROM FAL ORDER BY NUMERO"); }
    void Arrasta(const QPoint& de, const QPoint& para) {
        QWidget* v = Mapa()->viewport();
        QTest::mousePress(v, Qt::LeftButton, {}, de);
        QTest::mouseMove(v, de + QPoint(12, 0));
        QTest::mouseMove(v, para);
        QTest::mouseRelease(v, Qt::LeftButton, {}, para);
    }
    QPoint Sobre(const QString& legenda, int dx = 0) {
        QGraphicsRectItem* r = Barra(legenda);
        return r ? Mapa()->mapFromScene(r->rect().center()) + QPoint(dx, 0) : QPoint(-1, -1);
    }

private slots:
    // One bar per position and colour, in the colour's own colour and caption colour; a bar past the four
    // days is not drawn but listed; a machine code with a quote has its row.
    void barrasELista() {
        Base();
        Fal("F1", "M1", 1);
        Fal("F2", "M1", 1);
        Fal("F3", "M1", 1, "C2");
        Fal("F4", "M2", 1, "C9");
        Fal("F5", "M2", 2);
        Fal("F7", "M'1", 1);
        Fal("F8", "M1", 0);
        Abre();
        QCOMPARE(Barras(), QString("M'1: F7|M1: F1/F2 F3|M2: "));
        QCOMPARE(FieldTexts("TbGridQuadro", "NUMERO|MAQUINA|ORDEM").join(' '),
                 QString("F7|M'1|1 F1|M1|1 F2|M1|1 F3|M1|1 F4|M2|1 F5|M2|2"));
        QCOMPARE(Barra("F1/F2")->brush().color(), QColor(0, 0, 128));
        QCOMPARE(Barra("F3")->rect().x(), Barra("F1/F2")->rect().right());
        const auto legenda = [&](const QString& b) {
            return static_cast<QGraphicsSimpleTextItem*>(Barra(b)->childItems().first())->brush().color();
        };
        QCOMPARE(legenda("F1/F2"), QColor(Qt::white));
        QCOMPARE(legenda("F3"), QColor(Qt::black));
    }

    // A step started yesterday counts, the earliest start is the origin, a started lot is pushed to the end
    // of the one before, and an end at midnight is "00:00:00" of the next day.
    void iniciados() {
        Base();
        Fal("F1", "M1", 1, "C1", kOntem + "', '22:00:00");
        Fal("F2", "M1", 2, "C1", kOntem + "', '22:30:00");
        Fal("F3", "M2", 1, "C2", QDate::currentDate().toString("yyyy-MM-dd") + "', '00:00:00");
        Abre();
        const QString ontem = QDate::currentDate().addDays(-1).toString("dd/MM/yyyy");
        const QString hoje = QDate::currentDate().toString("dd/MM/yyyy");
        QCOMPARE(FieldTexts("TbGridQuadro", "NUMERO|DATA_INI|HORA_INI|DATA_FIM|HORA_FIM"),
                 QStringList({"F1|" + ontem + "|22:00:00|" + ontem + "|23:00:00",
                              "F2|" + ontem + "|23:00:00|" + hoje + "|00:00:00",
                              "F3|" + hoje + "|00:00:00|" + hoje + "|00:30:00"}));
        QCOMPARE(Barra("F1")->rect().x(), 0.0);
    }

    // Moves count bars, a grouped bar once, and move all its FALs; "Adiar 10" on the last stays.
    void adiarEAntecipar() {
        Base();
        Fal("F1", "M1", 1);
        Fal("F2", "M1", 1);
        Fal("F3", "M1", 2);
        Fal("F4", "M1", 3);
        Abre();
        driver->Row("TIDBGrid1", 0);
        const struct {
            const char* acao;
            const char* barras;
        } passos[] = {{"Adiar1", "M1: F3 F1/F2 F4|M2: "},      {"Adiar10", "M1: F3 F4 F1/F2|M2: "},
                      {"Adiar10", "M1: F3 F4 F1/F2|M2: "},     {"Antecipar1", "M1: F3 F1/F2 F4|M2: "},
                      {"Antecipar10", "M1: F1/F2 F3 F4|M2: "}, {"BtnAdiar", "M1: F3 F1/F2 F4|M2: "}};
        for (const auto& p : passos) {
            if (QString(p.acao).startsWith("Btn"))
                driver->Click(p.acao);
            else
                driver->Menu(p.acao);
            QVERIFY2(BarrasSeTornam(p.barras), qPrintable(Barras()));
            QCOMPARE(driver->Value("TIDBGrid1", "NUMERO"), QString("F1")); // the bar stays selected
        }
        QCOMPARE(Ordens(), QString("F1|M1|6;F2|M1|6;F3|M1|3;F4|M1|7"));
        // A move right after another counts on the bars the first one left, before its event comes.
        driver->Row("TIDBGrid1", RowWhere("TbGridQuadro", "NUMERO", "F4"));
        driver->Menu("Antecipar1");
        driver->Menu("Antecipar1");
        QTest::qWait(600);
        QCOMPARE(Barras(), QString("M1: F4 F3 F1/F2|M2: "));
    }

    // Another user's move shows on an open map within a second, not under an open dialog.
    void aoVivo() {
        Base();
        Fal("F1", "M1", 1);
        Fal("F2", "M1", 2);
        Abre();
        QDialog dialogo(driver->Screen());
        dialogo.setModal(true);
        dialogo.show();
        ByOther("UPDATE FAL SET MAQUINA = 'M2', ORDEM = 1 WHERE NUMERO = 'F2'");
        QTest::qWait(600);
        QCOMPARE(Barras(), QString("M1: F1 F2|M2: "));
        dialogo.close();
        QVERIFY2(QTest::qWaitFor([&] { return Barras() == "M1: F1|M2: F2"; }, 1000), qPrintable(Barras()));
    }

    // A bar dropped on its own row goes before the bar under the point; on another row, at the position of
    // the bar under the point through the clash dialogue (grouped here), or after the last one.
    void arrasta() {
        Base();
        Fal("F1", "M1", 1);
        Fal("F2", "M1", 2);
        Fal("F3", "M1", 3);
        Fal("G1", "M2", 1);
        Abre();
        Arrasta(Sobre("F3"), Sobre("F1", -5));
        QVERIFY2(BarrasSeTornam("M1: F3 F1 F2|M2: G1"), qPrintable(Barras()));
        QCOMPARE(CountShown("choice"), 0);
        messages.choices.enqueue(1);
        Arrasta(Sobre("F1"), Sobre("G1"));
        QVERIFY2(BarrasSeTornam("M1: F3 F2|M2: F1/G1"), qPrintable(Barras()));
        Arrasta(Sobre("F2"), Sobre("F1/G1", 200));
        QVERIFY2(BarrasSeTornam("M1: F3|M2: F1/G1 F2"), qPrintable(Barras()));
        QCOMPARE(Ordens(), QString("F1|M2|1;F2|M2|2;F3|M1|1;G1|M2|1"));
        QCOMPARE(CountShown("choice"), 1);
    }

    // "Não Programadas": the marked FALs placed in one unit; the clash dialogue asked once per FAL.
    void gravaNaoProgramadas_data() {
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QList<int>>("escolhas");
        QTest::addColumn<bool>("resposta"); // to the other colour's question
        QTest::addColumn<QString>("ordens");
        QTest::addColumn<QString>("mensagem");
        // U1 typed at M1 position 5, U2 at 2 (F2's), U3 at 1 (F1's).
        const QString nada = "F1|M1|1;F2|M1|2;U1||0;U2||0;U3||0";
        const QString outraCor = "UPDATE FAL SET COR = 'C2' WHERE NUMERO = 'U3'";
        QTest::newRow("Cancelar at the 2nd rolls back the 1st") << "" << QList<int>{2} << false << nada << "";
        QTest::newRow("Não Todos skips the clashing ones")
            << "" << QList<int>{3} << false << "F1|M1|1;F2|M1|2;U1|M1|5;U2||0;U3||0"
            << "";
        QTest::newRow("Substituir and Agrupar")
            << "" << QList<int>{0, 1} << false << "F1|M1|1;F2|M1|3;U1|M1|6;U2|M1|2;U3|M1|1"
            << "";
        QTest::newRow("another phase stops all")
            << "UPDATE PROCESSO_TIN SET FASE = '05' WHERE FAL = 'F1'" << QList<int>{0} << false << nada
            << "Há FALs com mesma ordem e máquinas, mas fases diferentes. Impossível continuar. ";
        QTest::newRow("another colour refused") << outraCor << QList<int>{0} << false << nada << "";
        QTest::newRow("another colour replaced")
            << outraCor << QList<int>{0} << true << "F1|M1|2;F2|M1|4;U1|M1|7;U2|M1|3;U3|M1|1"
            << "";
    }
    void gravaNaoProgramadas() {
        QFETCH(QString, antes);
        QFETCH(QList<int>, escolhas);
        QFETCH(bool, resposta);
        Base();
        Fal("F1", "M1", 1);
        Fal("F2", "M1", 2);
        for (const char* u : {"U1", "U2", "U3"})
            Fal(u, "", 0);
        if (!antes.isEmpty())
            SqlCommit(antes);
        Abre();
        driver->Page("PageControl1", "Não Programadas");
        driver->Click("BtnConsultar");
        QCOMPARE(FieldTexts("TbFalsSemOrd", "NUMERO").join(' '), QString("U1 U2 U3"));
        const QStringList ordens = {"5", "2", "1"};
        for (int i = 0; i < 3; ++i) {
            Tick("GridFalsSemOrd", i, "SEL");
            Cells("GridFalsSemOrd", i, {{"MAQUINA", "M1"}, {"ORDEM", ordens[i]}});
        }
        for (int e : escolhas)
            messages.choices.enqueue(e);
        messages.questions.enqueue(resposta);
        driver->Click("BtnGravar");
        QTEST(Ordens(), "ordens");
        QCOMPARE(CountShown("choice"), int(escolhas.size()));
        QTEST(TakeMessages(), "mensagem");
    }

    // Every question is asked before anything is written, so no row stays locked while one waits; a queue
    // another user changed meanwhile so that the questions would differ refuses the save.
    void perguntasAntesDeGravar_data() {
        QTest::addColumn<QString>("outro"); // what another user commits while the last question waits
        QTest::addColumn<QString>("ordens");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("nothing else changes") << ""
                                              << "F1|M1|2;F2|M1|4;U1|M1|7;U2|M1|3;U3|M1|1"
                                              << "";
        QTest::newRow("F2 leaves the position asked about")
            << "UPDATE FAL SET ORDEM = 9 WHERE NUMERO = 'F2'"
            << "F1|M1|1;F2|M1|9;U1||0;U2||0;U3||0"
            << "Outro usuário alterou as filas enquanto as perguntas eram respondidas. Nada foi gravado; "
               "grave "
               "de novo.";
    }
    void perguntasAntesDeGravar() {
        QFETCH(QString, outro);
        Base();
        Fal("F1", "M1", 1);
        Fal("F2", "M1", 2);
        for (const char* u : {"U1", "U2", "U3"})
            Fal(u, "", 0);
        SqlCommit("UPDATE FAL SET COR = 'C2' WHERE NUMERO = 'U3'");
        Abre();
        driver->Page("PageControl1", "Não Programadas");
        driver->Click("BtnConsultar");
        const QStringList ordens = {"5", "2", "1"};
        for (int i = 0; i < 3; ++i) {
            Tick("GridFalsSemOrd", i, "SEL");
            Cells("GridFalsSemOrd", i, {{"MAQUINA", "M1"}, {"ORDEM", ordens[i]}});
        }
        // U2 replaces F2 (the same colour's choice); U3 replaces F1, of another colour, last.
        messages.choices.enqueue(0);
        messages.questions.enqueue(true);
        QString travadas = "-";
        messages.antesDaPergunta = [&] {
            auto conexao = OpenSecond("kelm-test-travas");
            conexao->LockTimeoutMs = 300;
            try {
                SqlOn(*conexao,
                      "UPDATE FAL SET ORDEM = ORDEM WHERE NUMERO IN ('F1', 'F2', 'U1', 'U2', 'U3')");
                travadas = "none";
            } catch (const std::exception& e) {
                travadas = e.what();
            }
            conexao->Transaction()->RollbackRetaining();
            if (!outro.isEmpty())
                ByOther(outro);
        };
        driver->Click("BtnGravar");
        QCOMPARE(travadas, QString("none"));
        QTEST(Ordens(), "ordens");
        QCOMPARE(CountShown("choice") + CountShown("question"), 2);
        QTEST(TakeMessages(), "mensagem");
    }

    // Edits of the list saved in one unit: a FAL sent to another machine goes to its end; an unknown
    // machine is refused; no refresh under edits not saved.
    void gravaLista() {
        Base();
        Fal("F1", "M1", 1);
        Fal("F2", "M1", 2);
        Fal("G1", "M2", 4);
        Abre();
        const auto podeAtualizar = [this] {
            bool pode = false;
            QMetaObject::invokeMethod(driver->Screen(), "PodeAtualizar", Q_RETURN_ARG(bool, pode));
            return pode;
        };
        QVERIFY(podeAtualizar());
        Cells("TIDBGrid1", 0, {{"MAQUINA", "ZZ"}});
        driver->Row("TIDBGrid1", 1);
        QCOMPARE(TakeMessages(), QString("Máquina Inválida."));
        driver->Press("Esc");
        Cells("TIDBGrid1", 0, {{"MAQUINA", "M2"}});
        QVERIFY(!podeAtualizar());
        driver->Click("BtnGGravar");
        QVERIFY(podeAtualizar());
        QCOMPARE(Ordens(), QString("F1|M2|5;F2|M1|2;G1|M2|4"));
        QVERIFY2(BarrasSeTornam("M1: F2|M2: G1 F1"), qPrintable(Barras()));
    }

    // Lists of codes from the boxes, a quote in a code among them, reach the statement quoted.
    void filtrosComAspas() {
        Base();
        for (const char* u : {"U1", "U2"})
            Fal(u, "", 0);
        Abre();
        driver->Page("PageControl1", "Não Programadas");
        driver->Type("EdtFals", "U'1, U2");
        driver->Click("BtnConsultar");
        QCOMPARE(FieldTexts("TbFalsSemOrd", "NUMERO").join(' '), QString("U2"));
        driver->Type("EdtFals", "");
        driver->Type("EdtClientes", "D'A, 00001");
        driver->Click("BtnConsultar");
        QCOMPARE(FieldTexts("TbFalsSemOrd", "NUMERO").join(' '), QString("U1 U2"));
        QCOMPARE(Errors(), QString());
        // Marked, each takes the next position of its machine, here or on the grid.
        SqlCommit("INSERT INTO FAL (NUMERO, MAQUINA, ORDEM) VALUES ('X1', 'M1', 3)");
        for (int i = 0; i < 2; ++i) {
            Cells("GridFalsSemOrd", i, {{"MAQUINA", "M1"}});
            driver->Row("GridFalsSemOrd", 1 - i);
            Tick("GridFalsSemOrd", i, "SEL");
        }
        QCOMPARE(FieldTexts("TbFalsSemOrd", "ORDEM").join(' '), QString("4 5"));
    }

    // Pages turned from the keyboard leave the focus where Tab would reach first: on "Programação" the map,
    // not its headers, which only pass the focus on.
    void paginasPeloTeclado() {
        Base();
        Abre();
        auto* abas = driver->Get<QTabWidget>("PageControl1");
        const auto onde = [&] {
            return abas->tabText(abas->currentIndex()) + "/" + QApplication::focusWidget()->objectName();
        };
        driver->Keys("Ctrl+PgDown");
        QCOMPARE(onde(), QString("Não Programadas/EdtDataIni"));
        driver->Keys("Ctrl+PgUp");
        QCOMPARE(onde(), QString("Programação/GvMapa"));
    }

    // The map printed as a drawn page whose captions stay text.
    void imprime() {
        if (!CanReadPdf())
            QSKIP("pdftotext is not installed");
        ReportFolder relatorios;
        Base();
        Fal("F1", "M1", 1);
        Fal("F2", "M1", 1);
        Abre();
        driver->Click("BtnImprimir");
        const QString texto = relatorios.Text("WTngGantt.pdf");
        for (const char* parte : {"Mapa de Produção - Gantt", "M1 - JET 1", "F1/F2", "03 - TINGIMENTO"})
            QVERIFY2(texto.contains(parte), qPrintable(texto));
    }
};

QTEST_MAIN(TstRelGantt)
#include "tst_relgantt.moc"
