// The desk's release and expedition of lot sheets: bar codes read against the list, the totals, the ship
// with its quality blocks, its incomplete readings (TIN 170) and sheets another station closed meanwhile, a
// department released from never-touched steps, the last step taken back, the priority and the shift booked.
#include "DataAccess.h"
#include "TestDatabase.h"
#include "Turno.h"
#include <QDateEdit>
#include <QTest>

namespace {
const QString kPassos = QStringLiteral(
    "SELECT FAL, FASE, PENDENTE, CONCLUIDO, FUNCIONARIO, MAQUINA, OBS, DATA_INI, HORA_INI FROM PROCESSO_TIN "
    "WHERE FAL = '%1' ORDER BY ORDEM, CODIGO");
QString Hoje() {
    return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
}
} // namespace

class TstTngExpFal : public ScreenTestCase {
    Q_OBJECT

    // Three shifts every weekday (the night one crossing midnight); user 001 works as employee 00005. F1:
    // one fabric of 5 pieces (100 kg), preparation done, dyeing started on the floor, finishing open; F2:
    // two fabrics (3 + 2 pieces), preparation open; F3: never touched; F4 and F5 done, one of F4's items
    // billed; F6 open but older than the month.
    void Base() {
        Insert("TURNO (TURNO, NOTURNO)", {"'01', 'N'", "'02', 'N'", "'03', 'S'"});
        for (int dia = 1; dia <= 7; ++dia)
            Insert("TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA)",
                   {QString("'01', %1, '06:00', '13:59:59'").arg(dia),
                    QString("'02', %1, '14:00', '21:59:59'").arg(dia),
                    QString("'03', %1, '22:00', '05:59:59'").arg(dia)});
        Insert("PESSOAL (CODIGO, NOME, TURNO)", {"'00005', 'RODRIGO', '01'"});
        Sql("UPDATE ACESSO_USUARIOS SET CODFUN = '00005' WHERE CODIGO = '001'");
        Insert("GRUPO_CLI (CODIGO, DESCRICAO)", {"'G1', 'TECELAGENS'"});
        Insert("ENTIDADE (CODCLI, NOME, GRUPO)",
               {"'00001', 'TECELAGEM A', 'G1'", "'00002', 'MALHARIA B', NULL"});
        Insert("CADCORTIN (CODIGO, DESCRICAO)", {"'C1', 'AZUL'"});
        Insert("FASE (CODIGO, DESCRICAO)",
               {"'01', 'PREPARACAO'", "'02', 'TINGIMENTO'", "'03', 'ACABAMENTO'"});
        const QStringList fals = {"F1|00001|2", "F2|00002|2", "F3|00001|3",
                                  "F4|00001|4", "F5|00001|4", "F6|00001|40"};
        for (const QString& f : fals) {
            const QStringList c = f.split('|');
            Insert(
                "FAL (NUMERO, CLIENTE, COR, PARTIDA, DATA_INI)",
                {QString("'%1', '%2', 'C1', 'P%1', DATEADD(-%3 DAY TO CURRENT_DATE)").arg(c[0], c[1], c[2])});
        }
        Insert("FAL_ITEN (FAL, CODIGO, ORD_IT, ROLO, PESO, LOTE, FATURADO)",
               {"'F1', 'A', 1, 5, 100, 'L1', 'A'", "'F2', 'A', 1, 3, 60, 'L2', 'A'",
                "'F2', 'B', 2, 2, 40, 'L2', 'A'", "'F3', 'A', 1, 4, 80, 'L3', 'A'",
                "'F4', 'A', 1, 1, 10, 'L4', 'S'", "'F4', 'B', 2, 1, 10, 'L4', 'A'",
                "'F5', 'A', 1, 1, 10, 'L5', 'A'", "'F6', 'A', 1, 1, 10, 'L6', 'A'"});
        Insert("PROCESSO_TIN (FAL, CODIGO, FASE, DES_FASE, ORDEM, PENDENTE, CONCLUIDO, DATA_INI, HORA_INI)",
               {"'F1', 'A', '01', 'PREPARACAO', 1, 'N', 'S', NULL, NULL",
                "'F1', 'A', '02', 'TINGIMENTO', 2, 'S', 'N', DATE '2026-01-05', '07:15:00'",
                "'F1', 'A', '03', 'ACABAMENTO', 3, 'S', 'N', NULL, NULL",
                "'F2', 'A', '01', 'PREPARACAO', 1, 'S', 'N', NULL, NULL",
                "'F2', 'B', '01', 'PREPARACAO', 1, 'S', 'N', NULL, NULL",
                "'F3', 'A', '01', 'PREPARACAO', 1, NULL, 'N', NULL, NULL",
                "'F3', 'A', '02', 'TINGIMENTO', 2, NULL, 'N', NULL, NULL",
                "'F4', 'A', '01', 'PREPARACAO', 1, 'N', 'S', NULL, NULL",
                "'F4', 'B', '01', 'PREPARACAO', 1, 'N', 'S', NULL, NULL",
                "'F5', 'A', '01', 'PREPARACAO', 1, 'N', 'S', NULL, NULL",
                "'F6', 'A', '01', 'PREPARACAO', 1, 'S', 'N', NULL, NULL"});
        Commit();
    }
    void Abre(const char* status = nullptr) {
        driver->Open("TFmTngExpFal");
        if (status)
            driver->Click(status);
        driver->Click("BtnConsultar");
    }
    QString Lista() { return FieldTexts("TbRelatorio", "FAL|Qtde_Expedida|Seleciona").join(' '); }
    // Each code typed and ended with Enter: the messages shown.
    QString Le(const QStringList& codigos) {
        for (const QString& codigo : codigos) {
            driver->Type("EdtBarra", codigo);
            driver->Press("Enter");
        }
        return TakeMessages();
    }
    QString Passos(const QString& fal) { return Seen(kPassos.arg(fal)); }
    void Marca(const QString& fal) { Tick("DBGrid1", RowWhere("TbRelatorio", "FAL", fal), "Seleciona"); }

private slots:
    void barras_data() {
        QTest::addColumn<QStringList>("codigos");
        QTest::addColumn<QString>("mensagens");
        QTest::addColumn<QString>("lista");
        const QStringList pecas = {"F1*1", "F1*2", "F1*3", "F1*4", "F1*5"};
        QTest::newRow("numero") << QStringList{"F1"} << ""
                                << "F1|5|S F2|0|N";
        QTest::newRow("quatro pecas") << pecas.mid(0, 4) << ""
                                      << "F1|4|N F2|0|N";
        QTest::newRow("cinco pecas") << pecas << ""
                                     << "F1|5|S F2|0|N";
        QTest::newRow("sexta") << pecas + QStringList{"F1*6"} << "Quantidade total de rolos já lida."
                               << "F1|5|S F2|0|N";
        QTest::newRow("repetida") << QStringList{"F1*1", "F1*1"} << "Código de barras já lido."
                                  << "F1|1|N F2|0|N";
        QTest::newRow("desconhecida") << QStringList{"F9*1"} << "Código de barras não encontrado."
                                      << "F1|0|N F2|0|N";
        QTest::newRow("fora do periodo") << QStringList{"F6"} << "Código de barras não encontrado."
                                         << "F1|0|N F2|0|N";
        QTest::newRow("vazia") << QStringList{""} << "Código de barras inválido."
                               << "F1|0|N F2|0|N";
    }
    // Read in memory against the pending list; the box is cleared (or keeps a refused code) and the focus.
    void barras() {
        QFETCH(QStringList, codigos);
        QFETCH(QString, mensagens);
        QFETCH(QString, lista);
        Base();
        Abre();
        QCOMPARE(Le(codigos), mensagens);
        QCOMPARE(Lista(), lista);
        QCOMPARE(driver->FocusedName(), QString("EdtBarra"));
    }

    // Tab reads too; the totals follow both ways of selecting; a new consult forgets the codes read.
    void totaisELeituraNova() {
        Base();
        Abre();
        driver->Type("EdtBarra", "F2");
        driver->Press("Tab");
        QCOMPARE(driver->FocusedName() + " " + Lista(), QString("EdtBarra F1|0|N F2|5|S"));
        Marca("F1");
        QCOMPARE(Texts({"EdtSelecionadas", "EdtPesoTotal", "EdtRoloTotal"}), QString("2|200,000|10"));
        Tick("DBGrid1", RowWhere("TbRelatorio", "FAL", "F2"), "Seleciona", false);
        QCOMPARE(Texts({"EdtSelecionadas", "EdtPesoTotal", "EdtRoloTotal"}), QString("1|100,000|5"));
        driver->Click("BtnConsultar");
        QCOMPARE(Lista() + Texts({"EdtSelecionadas"}), QString("F1|0|N F2|0|N0"));
        QCOMPARE(Le({"F2"}), QString());
        QCOMPARE(Lista(), QString("F1|0|N F2|5|S"));
    }

    // A blocked sheet is skipped with its message and the other committed: its open steps closed by the
    // user's employee in the shift of the moment, a start recorded on the floor kept, the audit line.
    void confirmaComBloqueio() {
        Base();
        InsertCommit("CONTR_QUL (FAL, CODIGO, ORDEM, APROVADO)", {"'F2', 'A', 0, 'S'", "'F2', 'B', 0, 'N'"});
        Abre();
        Marca("F1");
        Marca("F2");
        const QString antesF2 = Passos("F2");
        QCOMPARE(ClickMessages("BitBtn1"), QString("FAL bloqueada na qualidade. Impossível gravar. FAL: F2"));
        QCOMPARE(Passos("F2"), antesF2);
        const QString hoje = Hoje();
        const QStringList f1 = Passos("F1").split(';');
        QCOMPARE(f1.value(0), QString("F1|01|N|S|||||"));
        QCOMPARE(f1.value(1), QString("F1|02|N|S|00005|00|EXPEDIDO PELO USUARIO.|05/01/2026|07:15:00"));
        QVERIFY2(f1.value(2).startsWith("F1|03|N|S|00005|00|EXPEDIDO PELO USUARIO.|" + hoje + "|"),
                 qPrintable(f1.value(2)));
        const QStringList marca =
            Seen("SELECT DATA_FIN, HORA_FIN, TURNO FROM PROCESSO_TIN WHERE FAL = 'F1' AND FASE = '03'")
                .split('|');
        QCOMPARE(marca.value(2), TurnoDoMomento(QDate::fromString(marca.value(0), "dd/MM/yyyy"),
                                                QTime::fromString(marca.value(1), "HH:mm:ss"), "00005"));
        QVERIFY(!marca.value(2).isEmpty());
        QCOMPARE(LogLines("EXPEDICAO DE FAL"), QStringList{"3|EXPEDICAO DE FAL PELO USUARIO"});
        QCOMPARE(Lista(), QString("F2|0|N")); // consulted again
    }

    // A sheet another station shipped after the consult is named; the rest is written.
    void confirmaJaFechada() {
        Base();
        Abre();
        ByOther("UPDATE PROCESSO_TIN SET CONCLUIDO = 'S', PENDENTE = 'N', OBS = 'OUTRA' WHERE FAL = 'F2'");
        Marca("F1");
        Marca("F2");
        QCOMPARE(ClickMessages("BitBtn1"), QString("FAL não está mais pendente no setor: F2"));
        QCOMPARE(Count("PROCESSO_TIN", "FAL = 'F1' AND CONCLUIDO = 'N'"), 0);
        QCOMPARE(Count("PROCESSO_TIN", "FAL = 'F2' AND OBS = 'OUTRA'"), 2);
    }

    // TIN 170: the status fixed on "Pendente"; 4 of 5 pieces read ship nothing, the fifth ships.
    void rolosCompletos() {
        Base();
        InsertCommit("PARAMETROS (MODULO, NUMERO, VALOR)", {"'TIN', 170, 'S'"});
        Abre();
        QVERIFY(!driver->Enabled("RgStatus"));
        QVERIFY(driver->Get<QAbstractButton>("RbPendente")->isChecked());
        QCOMPARE(Le({"F1*1", "F1*2", "F1*3", "F1*4"}), QString());
        Marca("F1");
        const QString antes = Passos("F1");
        QCOMPARE(ClickMessages("BitBtn1"),
                 QString("Quantidade expedida menor que o número de rolos. FAL: F1"));
        QCOMPARE(Passos("F1"), antes);
        QCOMPARE(Le({"F1*1", "F1*2", "F1*3", "F1*4", "F1*5"}), QString());
        QCOMPARE(ClickMessages("BitBtn1"), QString());
        QCOMPARE(Count("PROCESSO_TIN", "FAL = 'F1' AND CONCLUIDO = 'N'"), 0);
    }

    // Only from "Não Iniciado": every step not done opened, never-touched ones too, the row's phase closed.
    void liberaSetor() {
        Base();
        Abre();
        Marca("F1");
        driver->Menu("BaixaSetor1");
        QCOMPARE(TakeMessages(), QString("A liberação é permitida apenas para FAls não iniciadas."));
        driver->Click("RbNaoIniciado");
        driver->Click("BtnConsultar");
        QCOMPARE(FieldTexts("TbRelatorio", "FAL|CodFase").join(' '),
                 QString("F3|01 F2|01")); // no step done: F2 too
        Marca("F3");
        driver->Menu("BaixaSetor1");
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(Seen("SELECT FASE, PENDENTE, CONCLUIDO, FUNCIONARIO, OBS FROM PROCESSO_TIN WHERE FAL = 'F3' "
                      "ORDER BY ORDEM"),
                 QString("01|N|S|00005|LIBERADO PELO USUARIO.;02|S|N||"));
        QCOMPARE(FieldTexts("TbRelatorio", "FAL").join(' '), QString("F2"));
    }

    void estorna_data() {
        QTest::addColumn<QString>("fal");
        QTest::addColumn<QString>("depois");
        QTest::newRow("um item faturado") << "F4"
                                          << "01|N|S;01|N|S";
        QTest::newRow("nada faturado") << "F5"
                                       << "01|S|N";
    }
    // The last step reopened only when no item of the sheet is billed.
    void estorna() {
        QFETCH(QString, fal);
        QFETCH(QString, depois);
        Base();
        Abre("RbConcluido");
        QCOMPARE(FieldTexts("TbRelatorio", "FAL").join(' '), QString("F4 F5"));
        driver->Row("DBGrid1", RowWhere("TbRelatorio", "FAL", fal));
        driver->Menu("EstornarUltimaFase1");
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(Seen(QString("SELECT FASE, PENDENTE, CONCLUIDO FROM PROCESSO_TIN WHERE FAL = '%1' ORDER BY "
                              "CODIGO")
                          .arg(fal)),
                 depois);
    }

    void prioridade_data() {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("ordem");
        QTest::addColumn<QStringList>("auditoria");
        QTest::newRow("letra") << "x"
                               << "Prioridade inválida."
                               << "" << QStringList();
        QTest::newRow("inteiro") << "7"
                                 << ""
                                 << "7" << QStringList{"1|PRIORIDADE DA FAL F2 DEFINIDA EM 7"};
    }
    void prioridade() {
        QFETCH(QString, valor);
        QFETCH(QString, mensagem);
        QFETCH(QString, ordem);
        QFETCH(QStringList, auditoria);
        Base();
        Abre();
        driver->Row("DBGrid1", RowWhere("TbRelatorio", "FAL", "F2"));
        messages.inputs.enqueue(valor);
        driver->Menu("PrioridadeFal1");
        QCOMPARE(TakeMessages(), mensagem);
        QCOMPARE(Seen("SELECT NUMERO, ORDEM FROM FAL WHERE NUMERO IN ('F1', 'F2') ORDER BY NUMERO"),
                 "F1|;F2|" + ordem);
        QCOMPARE(LogLines("PRIORIDADE DA FAL"), auditoria);
    }

    void turno_data() {
        QTest::addColumn<QTime>("hora");
        QTest::addColumn<QString>("turno");
        QTest::newRow("entrada exata") << QTime(14, 0) << "02";
        QTest::newRow("saida exata") << QTime(13, 59, 59) << "01";
        QTest::newRow("noite antes da meia-noite") << QTime(23, 30) << "03";
        QTest::newRow("noite depois da meia-noite") << QTime(2, 0) << "03";
    }
    // The shift the steps are booked to, at the boundaries and across midnight.
    void turno() {
        QFETCH(QTime, hora);
        QFETCH(QString, turno);
        Base();
        QCOMPARE(TurnoDoMomento(QDate(2026, 3, 2), hora, "00005"), turno);
    }
};

QTEST_MAIN(TstTngExpFal)
#include "tst_tngexpfal.moc"
