// A connection the server drops (a restart, the network, an administrator) is told in Portuguese, the unit
// of work is rolled back and a reconnect is offered; after it the screens' data sets and numbering work on.
#include "DataAccess.h"
#include "ErrosBanco.h"
#include "HostUi.h"
#include "TTabela.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QTest>

class TstReconexao : public DatabaseTestCase {
    Q_OBJECT
    // Another attachment ends ours, as a restarted server or a dropped network would.
    void DerrubaConexao() {
        const QVariant id = Scalar("SELECT CURRENT_CONNECTION FROM RDB$DATABASE");
        auto other = OpenSecond("kelm-test-admin");
        SqlOn(*other, "DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = " + id.toString());
        other->Transaction()->CommitRetaining();
    }

private slots:
    void lostConnectionOffersToReconnect() {
        TabelaAberta regioes = TTabela::AbreTabela("tbRegiao");
        regioes->Append();
        regioes->FieldByName("REGIAO") = "01";
        regioes->FieldByName("DESCRICAO") = "ANTES";
        QVERIFY(regioes->Post());
        db->Transaction()->CommitRetaining();
        Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'PENDENTE')"); // not committed
        DerrubaConexao();

        messages.questions.enqueue(true);
        QVERIFY(!ExecutaProtegido([] { Existe("REGIAO", "REGIAO", QVariantList{"01"}); }));
        ProcessEvents(); // the offer comes once the failed operation has unwound
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY2(messages.shown[0].text.startsWith(TextoConexaoPerdida()),
                 qPrintable(messages.shown[0].text));
        QCOMPARE(messages.shown[1].text, QStringLiteral("Deseja reconectar ao banco de dados?"));

        // Everything works again: reads, the shared data set (its statements were dropped with the old
        // connection), numbering; the pending row went with the lost unit of work.
        QVERIFY(db->Connected());
        QCOMPARE(Scalar("SELECT COUNT(*) FROM REGIAO").toInt(), 1);
        regioes->First();
        regioes->Edit();
        regioes->FieldByName("DESCRICAO") = "DEPOIS";
        QVERIFY(regioes->Post());
        regioes->Append();
        regioes->FieldByName("REGIAO") = "03";
        QVERIFY(regioes->Post());
        db->Transaction()->CommitRetaining();
        QCOMPARE(Scalar("SELECT LIST(REGIAO || DESCRICAO, ';') FROM (SELECT REGIAO, COALESCE(DESCRICAO, '') "
                        "AS DESCRICAO FROM REGIAO ORDER BY REGIAO)")
                     .toString(),
                 QStringLiteral("01DEPOIS;03"));
        QVERIFY(!Proximo("FAL", "NUMERO", 6).isEmpty());
    }

    void declinedReconnectLeavesItClosed() {
        DerrubaConexao();
        messages.questions.enqueue(false);
        QVERIFY(!ExecutaProtegido([] { Existe("REGIAO", "REGIAO", QVariantList{"01"}); }));
        QVERIFY(!ExecutaProtegido([] { Existe("REGIAO", "REGIAO", QVariantList{"02"}); })); // told once
        ProcessEvents();
        QCOMPARE(messages.shown.size(), 2);
        // Declined: the next failure tells it again.
        QVERIFY(!ExecutaProtegido([] { Existe("REGIAO", "REGIAO", QVariantList{"01"}); }));
        QCOMPARE(messages.shown.size(), 3);
        QVERIFY(messages.shown[2].text.startsWith(TextoConexaoPerdida()));
    }
};

QTEST_MAIN(TstReconexao)
#include "tst_reconexao.moc"
