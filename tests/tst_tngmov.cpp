// Process recording: a lot sheet's steps, what entering a cell fills and checks, the steps' order, a phase's
// machines, the save and its audit lines, refusals that write nothing, phases an employee may not record.
#include "DBControls.h"
#include "DataSet.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "RegrasApontamento.h"
#include "TestDatabase.h"
#include <QComboBox>
#include <QTest>

namespace {
const QString kAberto = QStringLiteral("Existem setores em aberto antes do que está sendo apontado.");
const QString kPassos = QStringLiteral(
    "SELECT FASE, PENDENTE, CONCLUIDO, FUNCIONARIO, MAQUINA, TURNO, DATA, DATA_INI, HORA_INI, DATA_FIN, "
    "HORA_FIN FROM PROCESSO_TIN WHERE FAL = '000001' AND CODIGO = '000101' ORDER BY ORDEM");
} // namespace

class TstTngMov : public ScreenTestCase {
    Q_OBJECT
    // Three shifts on every weekday, employees, phases 01-04 (02 of group 01, 04 of group 03; 03 updates the
    // measures), machines of phases 01, 03 and 04, a curve, two locations; sheet 000001 (dye lot 000777)
    // with two fabrics: 000101 through the four phases, preparation started, and 000105 through two.
    void Base(const QString& parametro210 = "N", const QString& parametro220 = "N") {
        Insert("TURNO (TURNO, NOTURNO)", {"'01', 'N'", "'02', 'N'", "'03', 'S'"});
        for (int dia = 1; dia <= 7; ++dia)
            Insert("TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA)",
                   {QString("'01', %1, '06:00', '13:59:59'").arg(dia),
                    QString("'02', %1, '14:00', '21:59:59'").arg(dia),
                    QString("'03', %1, '22:00', '05:59:59'").arg(dia)});
        Insert("PESSOAL (CODIGO, NOME, TURNO)", {"'00001', 'JOAO', '01'", "'00005', 'RODRIGO', '03'"});
        Insert("FASE (CODIGO, DESCRICAO, GRUPO, ATUALIZAR)",
               {"'01', 'PREPARACAO', NULL, 'N'", "'02', 'ALVEJAMENTO', '01', 'N'",
                "'03', 'TINGIMENTO', NULL, 'S'", "'04', 'LAVAGEM', '03', 'N'"});
        Insert("MAQ_TIN (CODIGO, FASE)", {"'P1', '01'", "'J1', '03'", "'L1', '04'"});
        Insert("GRAFICO (CODIGO)", {"'001'"});
        Insert("DEPOSITO (CODIGO, DESCRICAO)", {"'0001', 'MALHA CRUA'"});
        Insert("PRODUTO (CODIGO, DESCRICAO)", {"'000101', 'MEIA MALHA'", "'000105', 'RIBANA'"});
        Insert("FAL (NUMERO, PARTIDA)", {"'000001', '000777'"});
        Insert("FAL_ITEN (FAL, CODIGO, ORD_IT, LARGURA, GRAMATURA)",
               {"'000001', '000101', 1, 1.8, 160", "'000001', '000105', 2, 1.2, 200"});
        Insert("PROCESSO_TIN (FAL, CODIGO, FASE, DES_FASE, ORDEM, PENDENTE, CONCLUIDO, DATA_INI, HORA_INI)",
               {"'000001', '000101', '01', 'PREPARACAO', 1, 'S', 'N', '2026-11-23', '07:30:00'"});
        Insert("PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, CONCLUIDO)",
               {"'000001', '000101', '02', 2, 'N'", "'000001', '000101', '03', 3, 'N'",
                "'000001', '000101', '04', 4, 'N'", "'000001', '000105', '01', 1, 'N'",
                "'000001', '000105', '03', 2, 'N'"});
        InsertCommit("PARAMETROS (MODULO, NUMERO, VALOR)",
                     {"'TIN', 210, '" + parametro210 + "'", "'TIN', 220, '" + parametro220 + "'"});
    }
    TDataSet* Mov() { return driver->Screen()->findChild<TDataSet*>("TbMov"); }
    QString Campo(int linha, const QString& campo) { return FieldText("TbMov", linha, campo); }
    int Linha(const QString& fase) { return RowWhere("TbMov", "Fase", fase); }
    // The screen opened anew (the one open closed) on a sheet and fabric.
    void Abre(const QString& fal, const QString& produto = "000101") {
        driver->Close();
        driver->Open("TfmTngMov");
        driver->Type("EdtFalMov", fal);
        TypeAndTab("EdtCodPro", produto);
    }
    // Types the cells of a phase's row.
    void Celulas(const QString& fase, const QList<QPair<QString, QString>>& celulas) {
        Cells("DBGrid1", Linha(fase), celulas);
    }
    // Types a phase's cells and goes to another row, which checks them: the messages told, taken.
    QString Posta(const QString& fase, const QList<QPair<QString, QString>>& celulas, int saida = 0) {
        Celulas(fase, celulas);
        driver->Row("DBGrid1", saida);
        return TakeMessages();
    }
    // A step concluded on a Monday morning at 08:00 (typed as given) by employee 00001 on the machine given.
    void Conclui(const QString& fase, const QString& maquina, const QString& horaFim = "09:00",
                 const QString& horaInicio = "08:00") {
        const QList<QPair<QString, QString>> celulas = {
            {"Concluido", "S"},          {"Funcionario", "00001"},
            {"Maquina", maquina},        {"Data_Inicio", "23/11/2026"},
            {"Hora_Inicio", horaInicio}, {"Data_Fim", "23/11/2026"},
            {"Hora_Fim", horaFim},       {"Data", "23/11/2026"}};
        Celulas(fase, celulas);
    }
    QStringList Logs() { return LogLines("TINGIMENTO"); }

private slots:
    void stepsOfASheetAndOfAFabricAndTheirCells() {
        Base();
        // By the number without its zeros: two fabrics, the whole sheet's phases once each.
        driver->Open("TfmTngMov");
        TypeAndTab("EdtFalMov", "1");
        QCOMPARE(driver->Text("EdtFalMov"), QStringLiteral("000001"));
        QCOMPARE(driver->Rows("DBGrid1"), 4);
        // By its dye lot, on one fabric: measures from the sheet's item, steps in the route's order, the
        // cursor on the first one open, every phase open to a user with no phases listed.
        driver->Type("EdtFalMov", "777");
        TypeAndTab("EdtCodPro", "000101");
        QCOMPARE(driver->Text("EdtFalMov"), QStringLiteral("000001"));
        QCOMPARE(Texts({"EdtDescPro", "EdtLargura", "EdtGramatura"}), "MEIA MALHA|1,8|160");
        QCOMPARE(
            FieldTexts("TbMov", "Fase|Descricao|AcessaFase|Hora_Inicio"),
            QStringList({"01|PREPARACAO|S|07:30", "02|ALVEJAMENTO|S|", "03|TINGIMENTO|S|", "04|LAVAGEM|S|"}));
        QCOMPARE(Mov()->RecNo(), 0);
        // A fabric the sheet lacks, a sheet that does not exist.
        TypeAndTab("EdtCodPro", "000102");
        QCOMPARE(messages.LastText(), QStringLiteral("Produto não pertence à FAL."));
        QCOMPARE(driver->Rows("DBGrid1"), 0);
        driver->Type("EdtCodPro", "");
        TypeAndTab("EdtFalMov", "999");
        QCOMPARE(messages.LastText(), QStringLiteral("Número de FAL/Partida inválido."));
        QCOMPARE(driver->FocusedName(), QStringLiteral("EdtFalMov"));
        driver->Type("EdtFalMov", "");
        driver->Click("BtnGravar");
        QCOMPARE(messages.LastText(), QStringLiteral("Número de FAL/Partida inválido."));

        // Entering the cells fills them, and Tab checks them.
        ByOther(
            {"UPDATE ACESSO_USUARIOS SET CODFUN = '00005' WHERE CODIGO = '001'",
             "UPDATE PROCESSO_TIN SET CONCLUIDO = 'S', PENDENTE = 'N', FUNCIONARIO = '00001', LOCAL = '0001' "
             "WHERE FASE IN ('01', '04')"});
        Abre("000001");
        auto* grade = driver->Get<TZoDBGrid>("DBGrid1");
        // An open step: the start now, the user's employee; no end.
        driver->Row("DBGrid1", Linha("02"));
        for (const char* campo :
             {"Hora_Inicio", "Data_Inicio", "Funcionario", "Hora_Fim", "Data_Fim", "Data"})
            grade->SelectField(campo);
        const int l02 = Linha("02");
        QVERIFY(qAbs(QTime::fromString(Campo(l02, "Hora_Inicio"), "HH:mm").secsTo(QTime::currentTime())) <
                120);
        QCOMPARE(Campo(l02, "Data_Inicio"), QDate::currentDate().toString("dd/MM/yyyy"));
        QCOMPARE(Campo(l02, "Funcionario|Hora_Fim|Data_Fim|Data"), "00005|||");
        // Concluded (a lower-case letter taken as its capital): the end and the day too; leaving the day
        // books the shift of 02:30 on a Monday, the night.
        driver->Cell("DBGrid1", "Concluido", "s");
        QCOMPARE(Campo(l02, "Concluido"), QStringLiteral("S"));
        grade->SelectField("Hora_Fim");
        grade->SelectField("Data");
        QCOMPARE(Campo(l02, "Data_Fim|Data"), '|' + QDate::currentDate().toString("dd/MM/yyyy"));
        driver->Cell("DBGrid1", "Hora_Fim", "02:30");
        driver->Cell("DBGrid1", "Data", "23/11/2026");
        QCOMPARE(Campo(l02, "Turno"), QStringLiteral("03"));
        driver->Cell("DBGrid1", "Concluido", "X");
        QVERIFY(messages.LastText().startsWith("Concluído: informe S"));
        QCOMPARE(Campo(l02, "Concluido"), QStringLiteral("S"));
        // Picked from its list, a word leaves its first letter.
        const QModelIndex celula =
            grade->model()->index(l02, DataSetModel::Of(Mov())->ColumnOfField("Concluido"));
        std::unique_ptr<QWidget> editor(grade->itemDelegate()->createEditor(grade->viewport(), {}, celula));
        auto* lista = qobject_cast<QComboBox*>(editor.get());
        QVERIFY(lista && lista->count() == 3);
        lista->setCurrentIndex(2);
        grade->itemDelegate()->setModelData(lista, grade->model(), celula);
        editor.reset(); // before the screen that would free it closes
        QCOMPARE(Campo(l02, "Concluido"), QStringLiteral("R"));

        // The columns' checks: a code that is nowhere is refused and cleared; a location shows its name.
        const struct {
            const char* campo;
            const char* valor;
            const char* mensagem;
        } checagens[] = {{"Funcionario", "99999", "Funcionário não cadastrado."},
                         {"Maquina", "XX", "Máquina não cadastrada."},
                         {"Grafico", "999", "Gráfico não cadastrado."},
                         {"Turno", "09", "Turno não cadastrado."},
                         {"Local", "9999", "Local inválido"},
                         {"Local", "0001", ""}};
        for (const auto& c : checagens) {
            messages.Clear();
            driver->Cell("DBGrid1", c.campo, c.valor);
            QCOMPARE(messages.LastText(), QString::fromUtf8(c.mensagem));
            QCOMPARE(Campo(l02, c.campo), *c.mensagem ? QString() : QString::fromUtf8(c.valor));
        }
        QCOMPARE(Campo(l02, "Desc_local"), QStringLiteral("MALHA CRUA"));
        // A step recorded before keeps who did it, its shift and location.
        driver->Row("DBGrid1", Linha("04"));
        for (const char* campo : {"Funcionario", "Turno", "Local"})
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, driver->Cell("DBGrid1", campo, "00001"));
        driver->Cell("DBGrid1", "Observacao", "REVISADO");

        // Parameter 210: no grid before a fabric.
        ByOther("UPDATE PARAMETROS SET VALOR = 'S' WHERE NUMERO = 210");
        driver->Close();
        driver->Open("TfmTngMov");
        TypeAndTab("EdtFalMov", "000001");
        QCOMPARE(driver->Rows("DBGrid1"), 0);
        driver->Row("DBGrid1", 0);
        QCOMPARE(messages.LastText() + '|' + driver->FocusedName(), "Produto não informado.|EdtCodPro");
    }

    void stepOrderAndMachines() {
        Base();
        Abre("000001");
        // Concluding step 3 while step 2 is open: refused, the edit undone.
        QCOMPARE(Posta("03", {{"Concluido", "S"}}), kAberto);
        QCOMPARE(Campo(Linha("03"), "Concluido"), QStringLiteral("N"));
        // Steps 1 and 2 concluded on this screen first: step 3 may follow before the save.
        for (const char* fase : {"01", "02"})
            Celulas(fase, {{"Concluido", "S"}});
        QCOMPARE(Posta("03", {{"Concluido", "S"}}), QString());
        // The first three concluded, and parameter 220: phase 04 of group 03 takes its machines and the
        // group's; another phase's is refused and the edit undone. A phase without a group takes any machine.
        ByOther({"UPDATE PROCESSO_TIN SET CONCLUIDO = 'S', PENDENTE = 'N' WHERE FASE <> '04'",
                 "UPDATE PARAMETROS SET VALOR = 'S' WHERE NUMERO = 220"});
        Abre("000001");
        const QString recusa = "Fase da máquina difere da fase do apontamento. Impossível continuar.";
        for (const auto& [maquina, aceita] : {std::pair{"L1", true}, {"J1", true}, {"P1", false}}) {
            QCOMPARE(Posta("04", {{"Concluido", "S"}, {"Maquina", maquina}}), aceita ? QString() : recusa);
            QCOMPARE(Campo(Linha("04"), "Maquina"), aceita ? QString(maquina) : QStringLiteral("J1"));
        }
        QCOMPARE(Posta("01", {{"Maquina", "L1"}}, 1), QString());
        // No machine for the phase nor its group: the look-up says so instead of listing nothing.
        ByOther("DELETE FROM MAQ_TIN WHERE FASE IN ('03', '04')");
        driver->Row("DBGrid1", Linha("04"));
        driver->Screen()->findChild<TZoDBGrid*>("DBGrid1")->SelectField("Maquina");
        driver->Press("F4", "DBGrid1");
        QCOMPARE(TakeMessages(),
                 QStringLiteral("Nenhuma máquina cadastrada para a fase 04 nem para o grupo 03."));
        // A finished fabric's middle step may still be corrected.
        QCOMPARE(Posta("03", {{"Observacao", "CORRIGIDO"}, {"Concluido", "R"}}), QString());
        // The whole sheet without a fabric, and a sheet another reprocesses, are held to no order.
        ByOther("UPDATE PROCESSO_TIN SET CONCLUIDO = 'N', PENDENTE = NULL");
        for (const char* reprocessada : {"", "000002"}) {
            if (*reprocessada)
                SqlCommit("INSERT INTO FAL (NUMERO, NUM_REPROC) VALUES ('000002', '000001')");
            Abre("000001", *reprocessada ? "000101" : "");
            QCOMPARE(Posta("04", {{"Concluido", "S"}}), QString());
        }

        // Parameter 210: an open step is held too, but for the last one.
        ByOther({"DELETE FROM FAL WHERE NUMERO = '000002'",
                 "UPDATE PARAMETROS SET VALOR = 'S' WHERE NUMERO = 210"});
        Abre("000001");
        QCOMPARE(Posta("03", {{"Hora_Inicio", "10:00"}}), kAberto);
        QCOMPARE(Posta("04", {{"Hora_Inicio", "10:00"}}), QString());
    }

    void saveWithAuditLinesAndMeasures() {
        Base();
        Abre("000001");
        Conclui("01", "P1", "09:00");
        Conclui("02", "P1", "10:30", "8:00");
        Conclui("03", "J1", "22:15", "0800"); // the afternoon shift ends at 21:59:59: the night's
        Celulas("04", {{"Data_Inicio", "24/11/2026"}, {"Hora_Inicio", "07:00"}});
        driver->Type("EdtLargura", "1,75");
        driver->Type("EdtGramatura", "150");
        QCOMPARE(ClickMessages("BtnGravar"), QString());
        QCOMPARE(RowsSeenByOthers(kPassos),
                 QStringList({"01|N|S|00001|P1|01|23/11/2026|23/11/2026|08:00:00|23/11/2026|09:00:00",
                              "02|N|S|00001|P1|01|23/11/2026|23/11/2026|08:00:00|23/11/2026|10:30:00",
                              "03|N|S|00001|J1|03|23/11/2026|23/11/2026|08:00:00|23/11/2026|22:15:00",
                              "04|S|N|||||24/11/2026|07:00:00||"})); // an open step has no production date
        const QString texto =
            "MOVIMENTACAO DA FAL NR.: 000001 FASE: %1 COD: 000101 DT INI 23/11/2026 HR INI 08:00 DT FIM "
            "23/11/2026 HR FIM %2 TUR %3";
        QCOMPARE(Logs(),
                 QStringList({"3|" + texto.arg("01", "09:00", "01"), "3|" + texto.arg("02", "10:30", "01"),
                              "3|" + texto.arg("03", "22:15", "03"),
                              "1|ALTERADO GRAMATURA PARA 150, LARGURA PARA 1,75 DO PRODUTO 000101"}));
        QCOMPARE(RowsSeenByOthers("SELECT CODIGO, LARGURA, GRAMATURA FROM FAL_ITEN ORDER BY ORD_IT"),
                 QStringList({"000101|1.75|150", "000105|1.2|200"}));
        QCOMPARE(Count("PROCESSO_TIN", "CODIGO = '000105' AND PENDENTE IS NULL"), 2);

        // A recorded step whose end moved is logged as altered; a remark alone and unchanged measures are
        // not, and times left as shown keep their seconds.
        ByOther("UPDATE PROCESSO_TIN SET HORA_INI = '08:00:15', HORA_FIN = '09:00:45' WHERE FASE = '01'");
        TypeAndTab("EdtCodPro", "000101");
        Celulas("02", {{"Hora_Fim", "11:00"}});
        Celulas("01", {{"Observacao", "OK"}});
        QCOMPARE(ClickMessages("BtnGravar"), QString());
        QCOMPARE(RowsSeenByOthers(kPassos).first().section('|', 7),
                 "23/11/2026|08:00:15|23/11/2026|09:00:45");
        QCOMPARE(Logs().size(), 5);
        QCOMPARE(Logs().last(),
                 "1|" + QString(texto).replace("MOVIMENTACAO", "ALTERACAO").arg("02", "11:00", "01"));
        // Reopened by another workstation after the load: recording it again is a movement, as stored.
        TypeAndTab("EdtCodPro", "000101");
        ByOther("UPDATE PROCESSO_TIN SET PENDENTE = 'S', CONCLUIDO = 'N' WHERE FASE = '02'");
        Celulas("02", {{"Hora_Fim", "11:30"}});
        driver->Click("BtnGravar");
        QCOMPARE(Logs().last(), "3|" + texto.arg("02", "11:30", "01"));
    }

    // A concluded step with one thing wrong, or the sheet held by quality control: nothing written, every
    // failure of every step told at once, the grid kept to be put right.
    void refusalsAndFailuresWriteNothing() {
        Base();
        // quality control holds the other fabric
        ByOther("INSERT INTO CONTR_QUL (FAL, CODIGO, APROVADO) VALUES ('000001', '000105', 'N')");
        const QStringList antes = RowsSeenByOthers(kPassos);
        const QString fase02 =
            "\nFase 02 - ALVEJAMENTO: Para digitação da Data Final é preciso concluir o Processo.";
        const struct {
            const char *celula, *valor, *mensagem;
        } casos[] = {{"Data_Inicio", "31/02/2026", "Data Inicial não cadastrada."},
                     {"Data_Fim", "", "Data Final não cadastrada."},
                     {"Hora_Fim", "07:59", "Data/Hora Final anterior à Inicial."},
                     {"Maquina", "", "Máquina não cadastrada."},
                     {"Concluido", "N", "Para digitação da Data Final é preciso concluir o Processo."},
                     {"", "", "FAL bloqueada na qualidade. Impossível gravar."}};
        for (const auto& c : casos) {
            if (!*c.celula) {
                SqlCommit("INSERT INTO CONTR_QUL (FAL, CODIGO, APROVADO) VALUES ('000001', '000101', 'N')");
            }
            Abre("000001");
            Conclui("01", "P1");
            if (*c.celula)
                Celulas("01", {{c.celula, c.valor}});
            Celulas("02", {{"Data_Fim", "23/11/2026"}});
            driver->Click("BtnGravar");
            const QString mensagem = QString::fromUtf8(c.mensagem);
            QCOMPARE(messages.LastText(),
                     *c.celula ? "Fase 01 - PREPARACAO: " + mensagem + fase02 : mensagem);
            QCOMPARE(RowsSeenByOthers(kPassos), antes);
            QCOMPARE(Logs(), QStringList());
            QCOMPARE(driver->Rows("DBGrid1"), 4);
        }

        // Released, a save failing at its third step rolls everything back; mended, it saves.
        ByOther("DELETE FROM CONTR_QUL");
        FailWhen("PROCESSO_TIN", "BEFORE UPDATE", "NEW.FASE = '03'");
        Abre("000001");
        Conclui("01", "P1");
        Conclui("02", "P1");
        Conclui("03", "J1");
        driver->Type("EdtGramatura", "150");
        driver->Click("BtnGravar");
        QVERIFY2(messages.LastText().startsWith("Ocorreu um erro durante o processo.\nErro: ") &&
                     messages.LastText().contains("falha forçada"),
                 qPrintable(messages.LastText()));
        QCOMPARE(RowsSeenByOthers(kPassos), antes);
        QCOMPARE(RowsSeenByOthers(
                     {"SELECT COUNT(*) FROM LOG", "SELECT GRAMATURA FROM FAL_ITEN WHERE CODIGO = '000101'"}),
                 QStringList({"0", "160"}));
        StopFailing();
        messages.Clear();
        QCOMPARE(ClickMessages("BtnGravar"), QString());
        QCOMPARE(Seen("SELECT COUNT(*), MIN(DATA) FROM PROCESSO_TIN WHERE CONCLUIDO = 'S'"), "3|23/11/2026");
    }

    void employeeLimitedToSomePhases() {
        Base();
        ByOther({"UPDATE ACESSO_USUARIOS SET CODFUN = '00005' WHERE CODIGO = '001'",
                 "INSERT INTO ACESSO_SETOR (CODIGO, TIPO, SETOR) VALUES ('00005', 'F', '01')",
                 "INSERT INTO ACESSO_SETOR (CODIGO, TIPO, SETOR) VALUES ('00005', 'F', '02')"});
        Abre("000001");
        QCOMPARE(FieldTexts("TbMov", "AcessaFase").join(""), QStringLiteral("SSNN"));
        driver->Row("DBGrid1", Linha("03"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, driver->Cell("DBGrid1", "Concluido", "S"));
        QCOMPARE(messages.LastText(), QStringLiteral("Funcionário sem acesso ao setor 03."));
        driver->Press("F4", "DBGrid1");
        QCOMPARE(Campo(Linha("03"), "Concluido"), QStringLiteral("N"));
        // A remark on the same row (30/12/1899 refused, no date): written as typed on the keyboard, and an
        // open step gets no production date.
        Celulas("02", {{"Data", "30/12/1899"}, {"Observacao", "Urgente Cliente VIP: 08:00 ação"}});
        messages.Clear();
        QCOMPARE(ClickMessages("BtnGravar"), QString());
        QCOMPARE(Seen("SELECT FASE, PENDENTE, FUNCIONARIO, OBS, DATA FROM PROCESSO_TIN WHERE OBS > ''"),
                 "02|S||Urgente Cliente VIP: 08:00 ação|");
    }

    void rules() {
        // Parallel steps share an order: the screen's sheets have none.
        QVERIFY(EtapaLiberada({{1, false}, {1, false}, {2, false}}, 1, false, false));
        QCOMPARE(ConfereLinha({"S", "1", "M", "01", "23/11/2026", "8", "23/11/2026", "ab"},
                              {{"1"}, {"M"}, {"01"}}),
                 QStringList{QString::fromUtf8("Hora Final: \"ab\" não é uma hora válida.")});
        QCOMPARE(DataProducao(QDate(1899, 12, 30), QDate(2026, 1, 2)), QDate(2026, 1, 2));
        QCOMPARE(DataProducao(QDate(2025, 12, 31), QDate(2026, 1, 2)), QDate(2025, 12, 31));
        // An end the next day earlier in the clock is after the start.
        QCOMPARE(ConfereLinha({"S", "1", "M", "01", "23/11/2026", "22:00", "24/11/2026", "02:00"},
                              {{"1"}, {"M"}, {"01"}}),
                 QStringList());
    }
};

QTEST_MAIN(TstTngMov)
#include "tst_tngmov.moc"
