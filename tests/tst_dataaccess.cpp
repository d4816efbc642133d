// Host data services as screens call them: quoting on every text path, numbering between users, audit rows,
// parameters and the physical names, detail rows replaced wholesale.
#include "Acesso.h"
#include "CodeAllocator.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DetalheGravado.h"
#include "Funcoes.h"
#include "HostError.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QElapsedTimer>
#include <QSet>
#include <QTest>
#include <functional>
#include <thread>

namespace {
// The text a call fails with; empty when it does not fail.
QString Falha(const std::function<void()>& call) {
    try {
        call();
    } catch (const EDatabaseError& e) {
        return e.message();
    }
    return {};
}
} // namespace

class TstDataAccess : public DatabaseTestCase {
    Q_OBJECT
private slots:
    void quotesSurviveEveryTextPath();
    void proximoPadsSkipsUsedCodesAndNeverRepeats();
    void proximoFromTwoConnectionsAtOnce();
    void proximoSaysWhenTheCodesOfATableRunOut();
    void proximoWaitsOnAHeldCounterNoLongerThanAnyWrite();
    void parametersAndPhysicalNames();
    void detalheGravadoWritesOnlyOverTheRowsLoaded_data();
    void detalheGravadoWritesOnlyOverTheRowsLoaded();
};

void TstDataAccess::quotesSurviveEveryTextPath() {
    const QString name = QStringLiteral("Tecelagem D'Ávila; filial \"Sul\"");
    Sql(QStringLiteral("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00010', %1)").arg(Aspas(name)));
    QCOMPARE(Scalar("SELECT NOME FROM ENTIDADE WHERE CODCLI = '00010'").toString(), name);
    QVERIFY(Existe("ENTIDADE", "NOME", Aspas(name)));
    QVERIFY(Existe("ENTIDADE", "CODCLI;NOME", Aspas("00010") + ';' + Aspas(name)));
    QVERIFY(!Existe("ENTIDADE", "NOME", Aspas("Tecelagem D")));
    QCOMPARE(Busca_Valor("ENTIDADE", "NOME", "CODCLI", {name}), "00010");
    // An attempt to break out of the literal stays a plain value.
    const QString attack = QStringLiteral("x' OR '1'='1");
    QVERIFY(!Existe("ENTIDADE", "NOME", Aspas(attack)));
    TZoQuery q;
    q.SQL << "SELECT CODCLI FROM ENTIDADE"
          << "WHERE NOME = " + Aspas(attack);
    q.Open();
    QVERIFY(q.IsEmpty());
    GeraLog("CADASTRO DE CLIENTE", "ALTERACAO DO CLIENTE " + name, opAlteracao, "D'Ávila");
    QCOMPARE(Scalar("SELECT TEXTO FROM LOG").toString(), "ALTERACAO DO CLIENTE " + name);
    QCOMPARE(Scalar("SELECT CHAVE FROM LOG").toString(), "D'Ávila");
}

void TstDataAccess::proximoPadsSkipsUsedCodesAndNeverRepeats() {
    QCOMPARE(Proximo("REGIAO", "REGIAO", 2), "01");
    // Codes typed by hand are skipped, the counter is shared by later calls.
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('02', 'a mão')");
    Sql("INSERT INTO REGIAO (REGIAO, DESCRICAO) VALUES ('03', 'a mão')"); // not committed: still skipped
    QCOMPARE(Proximo("REGIAO", "REGIAO", 2), "04");
    db->Transaction()->RollbackRetaining();
    // A code handed out is never handed out again, even when the work that used it was undone.
    QCOMPARE(Proximo("REGIAO", "REGIAO", 2), "05");
    QCOMPARE(Proximo("GRUPO_COR", "CODIGO", 10), "0000000001");
    // Counters left empty or null by hand still advance.
    Insert("CODIGOS (TABELA, CAMPO, ULTIMO)", {"'TABFIS', 'CODIGO', ''", "'TABTRI', 'CODIGO', NULL"});
    Commit();
    QCOMPARE(Proximo("TABFIS", "CODIGO", 3), "001");
    QCOMPARE(Proximo("TABTRI", "CODIGO", 3), "001");
    QCOMPARE(Scalar("SELECT ULTIMO FROM CODIGOS WHERE TABELA = 'REGIAO' AND CAMPO = 'REGIAO'").toString(),
             QStringLiteral("05"));
}

void TstDataAccess::proximoFromTwoConnectionsAtOnce() {
    constexpr int perUser = 40;
    QStringList first, second;
    auto take = [this](const QString& name, QStringList& into) {
        TZoDatabase counter(name + "-counter"), work(name + "-work");
        counter.Open(config, false);
        work.Open(config);
        CodeAllocator allocator(&counter, &work);
        for (int i = 0; i < perUser; ++i)
            into << allocator.Next("FAL_TESTE", "NUMERO", 6, false);
    };
    std::thread a(take, QStringLiteral("user-a"), std::ref(first));
    std::thread b(take, QStringLiteral("user-b"), std::ref(second));
    a.join();
    b.join();
    QSet<QString> all(first.begin(), first.end());
    all.unite(QSet<QString>(second.begin(), second.end()));
    QCOMPARE(all.size(), 2 * perUser);
    QVERIFY(all.contains("000001") && all.contains(QString::number(2 * perUser).rightJustified(6, '0')));
}

// A code wider than its column would be cut into one already taken: the counter stops there, untouched.
void TstDataAccess::proximoSaysWhenTheCodesOfATableRunOut() {
    Insert("CODIGOS (TABELA, CAMPO, ULTIMO)", {"'FASE', 'CODIGO', '998'", "'VARIANTE', 'CODIGO', '9997'"});
    Insert("VARIANTE (CODIGO, DESCRICAO)", {"'9998', 'a mão'", "'9999', 'a mão'"});
    Commit();
    QCOMPARE(Proximo("FASE", "CODIGO", 2), "999");
    for (int vez = 0; vez < 2; ++vez)
        QCOMPARE(
            Falha([] { Proximo("FASE", "CODIGO", 2); }),
            QStringLiteral("Os códigos de FASE esgotaram: o próximo, 1000, não cabe no campo CODIGO, de 3 "
                           "caracteres."));
    // The last free codes typed by hand run them out as well.
    QVERIFY(Falha([] { Proximo("VARIANTE", "CODIGO", 2); }).startsWith("Os códigos de VARIANTE esgotaram"));
    QCOMPARE(RowsSeenByOthers("SELECT TABELA, ULTIMO FROM CODIGOS ORDER BY TABELA"),
             QStringList({"FASE|999", "VARIANTE|9997"}));
    // Numbers of columns that are not text are not measured.
    QCOMPARE(Proximo("LOG", "ID", 3), "001");
}

// The counter connection commits each statement, yet another workstation may hold the counter's row in a
// unit of work of its own: the wait ends as any write's does, and nothing is taken.
void TstDataAccess::proximoWaitsOnAHeldCounterNoLongerThanAnyWrite() {
    QCOMPARE(Proximo("REGIAO", "REGIAO", 2), "01");
    auto other = OpenSecond("kelm-test-other");
    SqlOn(*other, "UPDATE CODIGOS SET ULTIMO = '07' WHERE TABELA = 'REGIAO' AND CAMPO = 'REGIAO'");
    SqlOn(*other, "INSERT INTO CODIGOS (TABELA, CAMPO, ULTIMO) VALUES ('GRUPO_COR', 'CODIGO', '05')");
    db->LockTimeoutMs = 1000;
    // A counter row being changed, and one being created.
    for (const auto& [tabela, campo] : {std::pair{"REGIAO", "REGIAO"}, {"GRUPO_COR", "CODIGO"}}) {
        QElapsedTimer timer;
        timer.start();
        const QString falha = Falha([t = tabela, c = campo] { Proximo(t, c, 2); });
        QVERIFY2(falha.startsWith("A gravação esperou mais de 1 segundos"), qPrintable(falha));
        QVERIFY(falha.contains("outro usuário"));
        QVERIFY2(timer.elapsed() < 4000, "the wait must end with the write time limit");
    }
    other->Transaction()->Rollback();
    QCOMPARE(Proximo("REGIAO", "REGIAO", 2), "02");
    QCOMPARE(Proximo("GRUPO_COR", "CODIGO", 2), "01");
}

void TstDataAccess::parametersAndPhysicalNames() {
    Sql("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 150, 'N')");
    QCOMPARE(BuscaParametro("tin", 150), "N");
    QCOMPARE(BuscaParametro("TIN", 999), QString());
    RegistraTabelaEmpresa("TABPRE_SERV");
    QCOMPARE(DBLocal("tabpre_serv"), "TABPRE_SERV_001");
    QCOMPARE(DBLocal_SQL("SELECT * FROM {TABPRE_SERV} T JOIN {FAL} F ON F.X = '{NAO}' "
                         "WHERE F.LOTE SIMILAR TO '[0-9]{6}'"),
             QStringLiteral("SELECT * FROM TABPRE_SERV_001 T JOIN FAL F ON F.X = 'NAO' "
                            "WHERE F.LOTE SIMILAR TO '[0-9]{6}'"));
}

// Sheet 0000100 carries service 02 twice and 01, and is loaded in an order of its own; the save replaces the
// services of a code by one, after another user ran a statement. Each case: the code loaded (else found
// new), the code saved, the other user's statement, what the writes were told of stored rows (empty when they
// did not run), the code the piece remembers afterwards.
void TstDataAccess::detalheGravadoWritesOnlyOverTheRowsLoaded_data() {
    QTest::addColumn<QStringList>("caso");
    const QString inclui = QStringLiteral("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('%1', '01', 2)");
    QTest::newRow("as loaded, read in another order")
        << QStringList{"0000100", "0000100", "", "S", "0000100"};
    QTest::newRow("a row added by another user")
        << QStringList{"0000100", "0000100", inclui.arg("0000100"), "", ""};
    QTest::newRow("one of two twins deleted by another user") << QStringList{
        "0000100", "0000100", "DELETE FROM TABELA WHERE CODIGO = '0000100' AND SETOR = '02' ROWS 1", "", ""};
    QTest::newRow("a new code still free") << QStringList{"0000300", "0000300", "", "N", "0000300"};
    QTest::newRow("a new code another user stored meanwhile")
        << QStringList{"0000300", "0000300", inclui.arg("0000300"), "", ""};
    QTest::newRow("a stored code not loaded") << QStringList{"0000100", "0000200", "", "", "0000100"};
}

void TstDataAccess::detalheGravadoWritesOnlyOverTheRowsLoaded() {
    QFETCH(QStringList, caso);
    const QString carregado = caso[0], codigo = caso[1], outro = caso[2], existiam = caso[3],
                  depois = caso[4];
    Insert("TABELA (CODIGO, SETOR, PRECO)",
           {"'0000100', '02', 1.25", "'0000100', '01', 5.5", "'0000100', '02', 1.25", "'0000200', '03', 3"});
    Commit();
    DetalheGravado servicos("TABELA", "CODIGO", {"SETOR", "PRECO"});
    if (carregado == "0000100") {
        TZoQuery q;
        q.SQL << "SELECT SETOR, PRECO FROM TABELA WHERE CODIGO = '0000100' ORDER BY SETOR DESC";
        q.Open();
        servicos.Carregado(carregado, q);
    } else {
        servicos.Novo(carregado);
    }
    if (!outro.isEmpty())
        ByOther(outro);
    const QString gravadas = "SELECT SETOR, PRECO FROM TABELA WHERE CODIGO = '" + codigo + "' ORDER BY 1, 2";
    const QString antes = Seen(gravadas);
    QString disse;
    const DetalheGravado::Insercao insere = [&](const QString& c, bool existia) {
        disse = existia ? "S" : "N";
        Sql("INSERT INTO TABELA (CODIGO, SETOR, PRECO) VALUES ('" + c + "', '09', 1)");
    };
    QCOMPARE(servicos.Grava(codigo, insere), !existiam.isEmpty());
    QCOMPARE(disse, existiam);
    QCOMPARE(servicos.Codigo(), depois);
    QCOMPARE(Seen(gravadas), existiam.isEmpty() ? antes : QStringLiteral("09|1"));
    // What was written counts as loaded: the next save replaces it.
    if (!existiam.isEmpty()) {
        QVERIFY(servicos.Grava(codigo, insere));
        QCOMPARE(disse, "S");
    }
}

QTEST_MAIN(TstDataAccess)
#include "tst_dataaccess.moc"
