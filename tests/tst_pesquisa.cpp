// The look-up dialog worked from the keyboard: typing narrows the list, Down and Up move through it while
// the filter keeps the focus, Enter takes the row the cursor is on.
#include "DBControls.h"
#include "TPesquisa.h"
#include "TestDatabase.h"
#include <QApplication>
#include <QLineEdit>
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

private slots:
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
};

QTEST_MAIN(TstPesquisa)
#include "tst_pesquisa.moc"
