// The look-up dialog worked from the keyboard: typing narrows the list, Down and Up move through it while
// the filter keeps the focus, Enter takes the row the cursor is on. The list holds a window of rows, more
// coming as it is scrolled; typing and a scripted choice still reach every row.
#include "DBControls.h"
#include "Funcoes.h"
#include "PaginaConsulta.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

class TstPesquisa : public DatabaseTestCase {
    Q_OBJECT
    // Runs the dialog and, once it shows, the given keys in its filter box.
    QString Escolhe(const std::function<void(QLineEdit*)>& keys) {
        TPesquisa search;
        search.Tabela = "FASE";
        search.CampoChave = "CODIGO";
        search.Campos = QStringList{"CODIGO", "DESCRICAO"};
        return Escolhe(search, keys);
    }
    QString Escolhe(TPesquisa& search, const std::function<void(QLineEdit*)>& keys) {
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* filter = dialog ? dialog->findChild<QLineEdit*>("EdtPesquisa") : nullptr;
            if (!filter) {
                if (dialog)
                    dialog->close();
                return;
            }
            keys(filter);
        });
        return search.ExecDialog(nullptr) ? search.Chave() : QString();
    }

    // Phases "000".. in code and description order, two windows and some more.
    int FasesAlemDaJanela() {
        const int total = 2 * TPesquisa::kJanela + 5;
        Sql(QStringLiteral(
                "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                "INSERT INTO FASE (CODIGO, DESCRICAO) VALUES (LPAD(:I, 3, '0'), 'FASE ' || LPAD(:I, "
                "3, '0')); I = I + 1; END END")
                .arg(total));
        db->Transaction()->CommitRetaining();
        return total;
    }

    static void fases(TPesquisa& search) {
        search.Tabela = "FASE";
        search.CampoChave = "CODIGO";
        search.Campos = QStringList{"CODIGO", "DESCRICAO"};
    }

    static QString codigo(int n) { return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')); }

private slots:
    // A screen's consult page reads as the list does: a window, the count of every row under its filter,
    // more as it scrolls; Enter loads the row under the cursor.
    void consultPageReadsWindowsAndLoadsTheRow() {
        const int total = FasesAlemDaJanela();
        QWidget tela;
        tela.resize(400, 300);
        auto* grade = new TZoDBGrid(&tela);
        grade->resize(400, 300);
        auto* contagem = new QLabel(&tela);
        PaginaConsulta pagina(&tela, grade, contagem);
        fases(pagina.pesquisa);
        pagina.pesquisa.Filtro = "CODIGO >= " + Aspas(codigo(5));
        QString aberta;
        pagina.abre = [&] { aberta = pagina.Linhas()->FieldByName("CODIGO").AsString(); };
        pagina.Consulta();
        QCOMPARE(contagem->text(), QStringLiteral("%1 linha(s)").arg(total - 5));
        QCOMPARE(pagina.Linhas()->RecordCount(), TPesquisa::kJanela);
        tela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tela));
        grade->verticalScrollBar()->setValue(grade->verticalScrollBar()->maximum());
        QVERIFY(pagina.Linhas()->RecordCount() > TPesquisa::kJanela);
        grade->setFocus();
        grade->setCurrentIndex(grade->model()->index(3, 0));
        QTest::keyClick(grade, Qt::Key_Return);
        QCOMPARE(aberta, codigo(8));
    }
    void keysMoveTheListWhileTheFilterHasTheFocus() {
        for (const char* fase :
             {"'01', 'PREPARACAO'", "'02', 'TINGIMENTO'", "'03', 'TINTURA REATIVA'", "'04', 'SECAGEM'"})
            Sql(QStringLiteral("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES (%1)").arg(fase));
        db->Transaction()->CommitRetaining();

        // Listed by description: PREPARACAO, SECAGEM, TINGIMENTO, TINTURA REATIVA.
        QCOMPARE(Escolhe([](QLineEdit* filter) {
                     QTest::keyClick(filter, Qt::Key_Down);
                     QTest::keyClick(filter, Qt::Key_Down);
                     QTest::keyClick(filter, Qt::Key_Up);
                     QTest::keyClick(filter, Qt::Key_Return);
                 }),
                 QStringLiteral("04"));
        QCOMPARE(Escolhe([](QLineEdit* filter) {
                     QTest::keyClicks(filter, "TIN");
                     QTest::keyClick(filter, Qt::Key_Down);
                     QTest::keyClick(filter, Qt::Key_Return);
                 }),
                 QStringLiteral("03"));
        QCOMPARE(Escolhe([](QLineEdit* filter) {
                     QTest::keyClick(filter, Qt::Key_PageDown);
                     QTest::keyClick(filter, Qt::Key_Return);
                 }),
                 QStringLiteral("03")); // the last row: TINTURA REATIVA
        QCOMPARE(Escolhe([](QLineEdit* filter) { QTest::keyClick(filter, Qt::Key_Escape); }), QString());
    }

    void aWindowOfRowsAtATimeInTheListsOrder() {
        const int total = FasesAlemDaJanela();
        TPesquisa search;
        fases(search);
        TZoQuery* rows = search.Busca(QString());
        QCOMPARE(rows->RecordCount(), TPesquisa::kJanela);
        QVERIFY(search.BuscaMais());
        QVERIFY(search.BuscaMais());
        QVERIFY(!search.BuscaMais()); // the third window was not full: nothing is left
        QCOMPARE(rows->RecordCount(), total);
        for (int i = 0; i < total; ++i)
            QCOMPARE(rows->ValueAt(i, 0).toString(), codigo(i));
        QCOMPARE(rows->RecNo(), 0); // the cursor stays on the row the user was on

        // Typing searches every row, not the window fetched.
        rows = search.Busca(QStringLiteral("fase 20"));
        QCOMPARE(rows->RecordCount(), 5);
        QCOMPARE(rows->ValueAt(4, 0).toString(), codigo(204));
        QVERIFY(!search.BuscaMais());

        // Rows tied on the order cross the windows each once, in key order.
        Sql("DELETE FROM FASE");
        Sql(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                           "INSERT INTO FASE (CODIGO, DESCRICAO) VALUES (LPAD(MOD(:I * 7, %1), 3, '0'), "
                           "'TINGIMENTO'); I = I + 1; END END")
                .arg(total));
        db->Transaction()->CommitRetaining();
        rows = search.Busca(QString());
        while (search.BuscaMais()) {
        }
        QCOMPARE(rows->RecordCount(), total);
        for (int i = 0; i < total; ++i)
            QCOMPARE(rows->ValueAt(i, 0).toString(), codigo(i));
    }

    void aKeyBeyondTheWindowIsStillChosen() {
        const int total = FasesAlemDaJanela();
        TPesquisa search;
        fases(search);
        search.Filtro = QStringLiteral("CODIGO <> '000'");
        QVERIFY(search.Escolhe(codigo(total - 1)));
        QCOMPARE(search.RetornoPesquisa("DESCRICAO").toString(), QStringLiteral("FASE ") + codigo(total - 1));
        QVERIFY(!search.Escolhe(QStringLiteral("000"))); // the list's own condition still holds
        QVERIFY(!search.Escolhe(QStringLiteral("999")));
    }

    void scrollingToTheEndOfTheListBringsTheNextRows() {
        const int total = FasesAlemDaJanela();
        TPesquisa search;
        fases(search);
        QCOMPARE(Escolhe(search,
                         [total](QLineEdit* filter) {
                             for (int i = 0; i < total; ++i)
                                 QTest::keyClick(filter, Qt::Key_PageDown);
                             QTest::keyClick(filter, Qt::Key_Return);
                         }),
                 codigo(total - 1));
    }

    void theRowChosenIsTheOneTheUserIsOnWhenKeysRepeat() {
        // The service prices are looked up by customer: a customer has a row per phase.
        for (const char* preco : {"'00001', 'F01', 10", "'00001', 'F02', 20", "'00002', 'F01', 30"})
            Sql(QStringLiteral("INSERT INTO TABPRE_SERV_001 (CODCLI, FASE, CUSTO) VALUES (%1)").arg(preco));
        db->Transaction()->CommitRetaining();
        TPesquisa search;
        search.Tabela = "TABPRE_SERV_001";
        search.CampoChave = "CODCLI";
        search.Campos = QStringList{"CODCLI", "FASE", "CUSTO"};
        search.OrdenarPor = "CODCLI, FASE";
        QCOMPARE(Escolhe(search,
                         [](QLineEdit* filter) {
                             QTest::keyClick(filter, Qt::Key_Down);
                             QTest::keyClick(filter, Qt::Key_Return);
                         }),
                 QStringLiteral("00001"));
        QCOMPARE(search.RetornoPesquisa("FASE").toString(), QStringLiteral("F02"));
    }
};

QTEST_MAIN(TstPesquisa)
#include "tst_pesquisa.moc"
