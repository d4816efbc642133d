// The employee's day sheet of dye lots against the database: rows checked as typed and again at the save,
// the sheet replaced as one unit (a failing insert keeps the stored one), the delete with its audit line,
// the sheet shown always the one stored for the date and employee shown (a date changed, another user's
// save in between), the rights on another employee's sheet and the look-ups narrowed to a lot.
#include "Acesso.h"
#include "DBControls.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include "TestDatabase.h"
#include <QTest>

namespace {
const QString kAlterados = QStringLiteral("Lançamentos alterados por outro usuário. Carregue novamente.");
const QString kFolha =
    QStringLiteral("SELECT SEQUENCIA, PARTIDA, CODCLI, PRODUTO, OPERACAO, NUMERO, HORA_INI, HORA_FIM, QTDE, "
                   "PCINI, OBSERVACAO "
                   "FROM PRODUCAO1 WHERE FUNCIONARIO = '%1' AND DATA_EMI = '%2' ORDER BY SEQUENCIA");
} // namespace

class TstTngCadProd : public ScreenTestCase {
    Q_OBJECT

    // Employees E1 and E2 (shift 01, eight hours on Mondays); customers C1 and C'2, fabrics P1 and P'2,
    // machine M1, kind of work 001. Lot L'1 is programmed for C'2 with P'2; lot L2 for C1 with P1.
    void Base() {
        InsertCommit("TURNO (TURNO, DESCRICAO)", {"'01', 'PRIMEIRO'"});
        InsertCommit("TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA, TOTAL)",
                     {"'01', 2, '06:00', '14:00', '08:00'"});
        InsertCommit("PESSOAL (CODIGO, NOME, TURNO)", {"'E1', 'ANA', '01'", "'E2', 'BETO', '01'"});
        InsertCommit("ENTIDADE (CODCLI, NOME)", {"'C1', 'MALHARIA UM'", "'C''2', 'MALHARIA D''ÁGUA'"});
        InsertCommit("PRODUTO (CODIGO, DESCRICAO)", {"'P1', 'MEIA MALHA'", "'P''2', 'RIBANA'"});
        InsertCommit("MAQ_TIN (CODIGO, DESCRICAO)", {"'M1', 'JET'"});
        InsertCommit("OPERACAO (CODIGO, DESCRICAO)", {"'001', 'TINGIMENTO'"});
        InsertCommit("TNG_PROG (NUMERO, ORDEM, PARTIDA, CODCLI, CODIGO)",
                     {"'000001', 1, 'L''1', 'C''2', 'P''2'", "'000001', 2, 'L2', 'C1', 'P1'"});
    }
    // E1's sheet of 07/12/2026 stored: two rows.
    void Guardada() {
        InsertCommit(
            "PRODUCAO1 (PARTIDA, NUMERO, FUNCIONARIO, DATA_EMI, HORA_INI, HORA_FIM, CODCLI, PRODUTO, "
            "OPERACAO, QTDE, PCINI, SEQUENCIA)",
            {"'L2', '001', 'E1', '2026-12-07', '06:00:00', '09:30:00', 'C1', 'P1', 'M1', 120, 6, '1'",
             "'L2', '001', 'E1', '2026-12-07', '22:00:00', '02:00:00', 'C1', 'P1', 'M1', 80, 4, '2'"});
    }
    void Abre(const QString& data, const QString& funcionario) {
        driver->Open("TfmCadProd");
        TypeAndTab("edtData", data);
        TypeAndTab("edtCodFunc", funcionario);
    }
    QString Folha(const QString& funcionario = "E1", const QString& data = "2026-12-07") {
        return Seen(kFolha.arg(funcionario, data));
    }
    QString Linha(int linha) {
        return FieldText("tbDados", linha, "PARTIDA|CODCLI|NOME|HORA_INI|HORA_FIM|TEMPO");
    }

private slots:
    // Typed rows with their descriptions and times, a blank row skipped, the sheet stored once however
    // often it is saved, with an audit line each time; the screen then starts the next sheet.
    void gravaFolha() {
        Base();
        Abre("07/12/2026", "E1");
        QCOMPARE(Texts({"edtNomeFunc", "edtTurno", "edtDescTurno", "edtHoras"}),
                 QString("ANA|01|PRIMEIRO|08:00"));
        Cells("DBGrid1", 0,
              {{"PARTIDA", "L2"},
               {"CODCLI", "C1"},
               {"CODIGO", "P1"},
               {"MAQUINA", "M1"},
               {"HORA_INI", "2200"},
               {"HORA_FIM", "2:00"},
               {"PESO", "1.250,5"},
               {"TIPO", "001"}});
        Cells("DBGrid1", 1, {{"HORA_INI", ""}}); // blank: the end shows 00:00:00 as it is entered
        Cells("DBGrid1", 2, {{"CODCLI", "C'2"}, {"HORA_INI", "08:00"}, {"HORA_FIM", "00:00:00"}});
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(Linha(0), QString("L2|C1|MALHARIA UM|22:00:00|02:00:00|04:00:00"));
        QCOMPARE(FieldText("tbDados", 0, "DESC_PRODUTO|DESC_MAQUINA|DESC_TIPO"),
                 QString("MEIA MALHA|JET|TINGIMENTO"));
        QCOMPARE(Linha(2), QString("|C'2|MALHARIA D'ÁGUA|08:00:00|00:00:00|00:00:00"));
        for (int vez = 0; vez < 2; ++vez) {
            if (vez) { // typed again on the cleared screen, the same employee loads
                TypeAndTab("edtData", "07/12/2026");
                TypeAndTab("edtCodFunc", "E1");
            }
            driver->Click("btGravar");
            QCOMPARE(TakeMessages(), QString());
            QCOMPARE(Folha(), QString("1|L2|C1|P1|M1|001|22:00:00|02:00:00|1250.5||;"
                                      "2||C'2||||08:00:00|00:00:00|||"));
            QCOMPARE(Texts({"edtData", "edtCodFunc"}), TextoExibicao(QDate::currentDate()) + "|");
            QCOMPARE(driver->Rows("DBGrid1"), 0);
        }
        QCOMPARE(LogLines("CADASTRO DE PARTIDA"),
                 QStringList(2, "0|INCLUSAO DO FUNCIONARIO: E1 DATA: 07/12/2026"));
        // Emptied and saved, the day's sheet is gone.
        Abre("07/12/2026", "E1");
        driver->Press("Ctrl+Del", "DBGrid1");
        driver->Press("Ctrl+Del", "DBGrid1");
        driver->Click("btGravar");
        QCOMPARE(Count("PRODUCAO1"), 0);
    }

    void recusasDaLinha_data() {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("recusa");
        QTest::newRow("cliente") << "CODCLI"
                                 << "C9"
                                 << "Cliente Inválido.";
        QTest::newRow("produto") << "CODIGO"
                                 << "P'9"
                                 << "Produto Inválido.";
        QTest::newRow("máquina") << "MAQUINA"
                                 << "M9"
                                 << "Máquina Inválida.";
        QTest::newRow("tipo") << "TIPO"
                              << "009"
                              << "Tipo Inválido.";
        QTest::newRow("hora") << "HORA_INI"
                              << "25:70"
                              << "Hora Inválida.";
        QTest::newRow("letras") << "HORA_FIM"
                                << "ab"
                                << "Hora Inválida.";
    }
    // Tab refuses what a row cannot hold; typed without Tab, or its code removed since, the save names the
    // row and writes nothing.
    void recusasDaLinha() {
        QFETCH(QString, campo);
        QFETCH(QString, valor);
        QFETCH(QString, recusa);
        Base();
        Guardada();
        const QString antes = Folha();
        Abre("07/12/2026", "E1");
        Cells("DBGrid1", 2, {{campo, valor}});
        QCOMPARE(TakeMessages(), recusa);
        EditaCelula("DBGrid1", campo, valor);
        driver->Click("btGravar");
        QCOMPARE(TakeMessages(), "Linha 3: " + recusa);
        QCOMPARE(Folha(), antes);
        if (campo != u"MAQUINA")
            return;
        // A code that passed its Tab and was removed from its table before the save.
        Cells("DBGrid1", 2, {{campo, "M1"}});
        SqlCommit("DELETE FROM MAQ_TIN");
        driver->Click("btGravar");
        QCOMPARE(TakeMessages(), QString("Linha 1: Máquina Inválida."));
        QCOMPARE(Folha(), antes);
    }

    // A failure on the last insert leaves the stored sheet and its audit as they were; a delete is committed
    // with its audit line.
    void gravacaoEExclusaoAtomicas() {
        Base();
        Guardada();
        const QString antes = Folha();
        Abre("07/12/2026", "E1");
        Cells("DBGrid1", 2, {{"PARTIDA", "L2"}});
        FailWhen("PRODUCAO1", "BEFORE INSERT", "NEW.SEQUENCIA = '3'");
        driver->Click("btGravar");
        QCOMPARE(Errors().contains("falha forçada"), true);
        QCOMPARE(Folha(), antes);
        QCOMPARE(LogLines("CADASTRO DE PARTIDA"), QStringList());
        StopFailing();
        TakeMessages();
        Abre("07/12/2026", "E1");
        ClickAndAnswer("btExcluir", true);
        QCOMPARE(Folha(), QString());
        QCOMPARE(LogLines("CADASTRO DE PARTIDA"),
                 QStringList{"2|EXCLUSAO DO FUNCIONARIO: E1 DATA: 07/12/2026"});
    }

    // Leaving the date loads that day's sheet (asking before typed rows are dropped); a header typed and
    // not left is loaded by the save, not written over; another user's save in between is never replaced.
    void folhaMostradaEhAGravada() {
        Base();
        Guardada();
        const QString antes = Folha();
        Abre("07/12/2026", "E1");
        QCOMPARE(driver->Rows("DBGrid1"), 2);
        Cells("DBGrid1", 2, {{"PARTIDA", "L2"}});
        messages.questions.enqueue(false);
        TypeAndTab("edtData", "08/12/2026");
        QCOMPARE(driver->Text("edtData"), QString("07/12/2026"));
        QCOMPARE(driver->Rows("DBGrid1"), 3);
        messages.questions.enqueue(true);
        TypeAndTab("edtData", "08/12/2026");
        QCOMPARE(driver->Rows("DBGrid1"), 0);
        Cells("DBGrid1", 0, {{"PARTIDA", "L2"}});
        driver->Click("btGravar");
        QCOMPARE(Folha(), antes);
        QCOMPARE(Folha("E1", "2026-12-08"), QString("1|L2|||||||||"));

        Abre("07/12/2026", "E1");
        driver->Type("edtData", "08/12/2026");
        driver->Activate("btGravar");
        QCOMPARE(Folha(), antes);
        QCOMPARE(FieldTexts("tbDados", "PARTIDA"), QStringList{"L2"}); // the 8th, loaded

        Abre("07/12/2026", "E1");
        Cells("DBGrid1", 0, {{"OBSERVACAO", "MINHA"}});
        ByOther(
            "UPDATE PRODUCAO1 SET OBSERVACAO = 'DA OUTRA' WHERE SEQUENCIA = '2' AND DATA_EMI = '2026-12-07'");
        const QString daOutra = Folha();
        driver->Click("btGravar");
        QCOMPARE(TakeMessages(), kAlterados);
        QCOMPARE(Folha(), daOutra);
        messages.questions.enqueue(true);
        driver->Click("btGravar"); // loads the sheet as stored now
        QCOMPARE(FieldText("tbDados", 1, "OBSERVACAO"), QString("DA OUTRA"));
    }

    void direitos_data() {
        QTest::addColumn<QString>("funcionario");
        QTest::addColumn<int>("nivel");
        QTest::addColumn<bool>("grava");
        QTest::newRow("a própria") << "E1" << 0 << true;
        QTest::newRow("de outro, sem direito") << "E2" << 0 << false;
        QTest::newRow("de outro, com direito") << "E2" << 1 << true;
    }
    // A user who works as one employee saves or deletes another's sheet only with the elevated right.
    void direitos() {
        QFETCH(QString, funcionario);
        QFETCH(int, nivel);
        QFETCH(bool, grava);
        Base();
        AddUser("002", "OPERADOR", "op", "NNS");
        Sql("UPDATE ACESSO_USUARIOS SET CODFUN = 'E1' WHERE CODIGO = '002'");
        Grant("002", "*");
        Grant("002", "TfmCadProd", "A", nivel);
        Commit();
        QVERIFY(Autentica("OPERADOR", "op"));
        InsertCommit("PRODUCAO1 (FUNCIONARIO, DATA_EMI, PARTIDA, SEQUENCIA)",
                     {Aspas(funcionario) + ", '2026-12-07', 'L2', '1'"});
        const QString guardada = "1|L2|||||||||";
        Abre("07/12/2026", funcionario);
        Cells("DBGrid1", 0, {{"PARTIDA", "L9"}});
        messages.logins.enqueue({}); // no supervisor comes
        driver->Click("btGravar");
        QCOMPARE(Folha(funcionario), grava ? QString("1|L9|||||||||") : guardada);
        Abre("07/12/2026", funcionario);
        messages.logins.clear();
        messages.logins.enqueue({});
        ClickAndAnswer("btExcluir", true);
        QCOMPARE(Folha(funcionario), grava ? QString() : guardada);
    }

    // F4 on the customer and fabric of a programmed lot lists only what its programme rows name, a quote in
    // the lot or the customer's code included; a lot no programme has lists every customer. Consultar lists
    // the sheets stored near the date shown (two weeks either side).
    void pesquisas() {
        Base();
        Abre("07/12/2026", "E1");
        QStringList listados;
        messages.naPesquisa = [&](TPesquisa& p) {
            QStringList chaves;
            TZoQuery* linhas = p.Busca(QString());
            for (linhas->First(); !linhas->Eof(); linhas->Next())
                chaves << linhas->FieldByName(p.CampoChave).AsString().trimmed();
            listados << chaves.join(',');
        };
        const auto f4 = [this](const QString& campo, const QString& escolha) {
            driver->Get<TZoDBGrid>("DBGrid1")->SelectField(campo);
            messages.searches.enqueue(escolha);
            driver->Press("F4", "DBGrid1");
        };
        Cells("DBGrid1", 0, {{"PARTIDA", "L'1"}});
        f4("CODCLI", "C'2");
        f4("CODIGO", "P'2");
        Cells("DBGrid1", 1, {{"PARTIDA", "L9"}});
        f4("CODCLI", "");
        QCOMPARE(FieldText("tbDados", 0, "CODCLI|NOME|CODIGO|DESC_PRODUTO"),
                 QString("C'2|MALHARIA D'ÁGUA|P'2|RIBANA"));
        // The stored sheets of two weeks either side of the date shown, newest first; the one chosen loads.
        Guardada();
        InsertCommit("PRODUCAO1 (FUNCIONARIO, DATA_EMI, PARTIDA, SEQUENCIA)",
                     {"'E2', '2026-11-25', 'L2', '1'", "'E2', '2026-11-20', 'L2', '1'"});
        messages.questions.enqueue(true); // the lots typed above are dropped
        messages.naPesquisa = [&](TPesquisa& p) {
            TZoQuery* linhas = p.Busca(QString());
            for (linhas->First(); !linhas->Eof(); linhas->Next())
                listados << linhas->FieldByName("DATA_EMI").AsString() + " " +
                                linhas->FieldByName("FUNCIONARIO").AsString() + " " +
                                linhas->FieldByName("LANCAMENTOS").AsString();
        };
        messages.searches.enqueue("E2");
        TypeAndTab("edtData", "08/12/2026");
        driver->Click("btConsultar");
        QCOMPARE(listados, QStringList({"C'2", "P'2", "C'2,C1", "07/12/2026 E1 2", "25/11/2026 E2 1"}));
        QCOMPARE(Texts({"edtData", "edtCodFunc", "edtNomeFunc"}), QString("25/11/2026|E2|BETO"));
        QCOMPARE(FieldTexts("tbDados", "PARTIDA"), QStringList{"L2"});
    }
};

QTEST_MAIN(TstTngCadProd)
#include "tst_tngcadprod.moc"
