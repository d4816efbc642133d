// The production programme screen: saves that address rows by number and order, rows of other workstations
// and rows gone to a lot sheet kept, deletes, look-ups, search, import and export; the dyeing order it writes
// back for an in-house customer. The information board it
// opens: a customer's sheet of a product saved and loaded field by field, replaced in one unit of work,
// refused under blank or unknown codes, imported from another customer without writing.
#include "DBControls.h"
#include "DataSet.h"
#include "DataSetModel.h"
#include "Funcoes.h"
#include "OrdemTinturaria.h"
#include "Protecao.h"
#include "QuadroInformacoes.h"
#include "TPesquisa.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace {
const QString kTitulo = QStringLiteral("PROGRAMACAO DO TINGIMENTO");
const QString kFormatoData = QStringLiteral("dd/MM/yyyy");

QString TextoOuNulo(const QString& texto) {
    return texto.isEmpty() ? QStringLiteral("NULL") : Aspas(texto);
}
} // namespace

class TstTngProg : public ScreenTestCase {
    Q_OBJECT
    // Customers 00001 (price region 01) and 00002 (03); fabrics, one of them with a quote in its code; a
    // colour with a released recipe, a machine, a route of two steps and a phase.
    void Base() {
        Insert("REGIAO (REGIAO, DESCRICAO)", {"'01', 'SUL'", "'03', 'NORTE'"});
        Insert("ENTIDADE (CODCLI, NOME, TABELA)",
               {"'00001', 'MALHARIA UM', '01'", "'00002', 'MALHARIA DOIS', '03'"});
        Insert("PRODUTO (CODIGO, DESCRICAO)",
               {"'000101', 'MEIA MALHA'", "'000102', 'RIBANA'", "'A''B', 'TECIDO D''ÁGUA'"});
        Insert("CADCORTIN (CODIGO, DESCRICAO)", {"'AZUL', 'AZUL MARINHO'"});
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'REATIVO'"});
        Insert("RECEITA (CODIGO, VARIANTE, COR, LIBERADA)", {"'0001', '01', 'AZUL', '1'"});
        Insert("MAQ_TIN (CODIGO, DESCRICAO)", {"'M1', 'JET'"});
        Insert("ROTEIRO (CODIGO, DESCRICAO, ORDEM)", {"'R1', 'TINTO', 1", "'R1', 'TINTO', 2"});
        InsertCommit("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARO'"});
    }
    // Rows of a programme as Gravados reads them, "ORDEM|CODIGO|PESO|FAL|PARTIDA", stored and committed.
    void Guarda(const QString& numero, const QStringList& linhas,
                const QString& cliente = QStringLiteral("00001"),
                const QDate& entrega = QDate(2026, 12, 10)) {
        for (const QString& linha : linhas) {
            const QStringList c = linha.split('|');
            Sql(QStringLiteral(
                    "INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, ENTRADA, ENTREGA, CODIGO, PESO, ROLO, "
                    "FAL, PARTIDA, REGIAO) VALUES (%1, %2, %3, %4, %5, %6, %7, 1, %8, %9, '01')")
                    .arg(Aspas(numero), c[0], Aspas(cliente), DataSQL(QDate(2026, 11, 18)), DataSQL(entrega),
                         Aspas(c[1]), c[2], TextoOuNulo(c.value(3)), TextoOuNulo(c.value(4))));
        }
        Commit();
    }
    void Fals(const QStringList& numeros, int ordem = 0) {
        for (const QString& numero : numeros)
            Insert("FAL (NUMERO, CLIENTE, ORDEM)", {Aspas(numero) + ", '00001', " + QString::number(ordem)});
        Commit();
    }
    TDataSet* Itens() { return driver->Screen()->findChild<TDataSet*>("TbItens"); }
    TZoDBGrid* Grade() { return driver->Get<TZoDBGrid>("DBGrid1"); }
    QString Campo(int linha, const QString& campo) { return FieldText("TbItens", linha, campo); }
    int LinhaDaOrdem(int ordem) { return RowWhere("TbItens", "Ordem", QString::number(ordem)); }
    // The stored rows of a programme as "ORDEM|CODIGO|PESO|FAL|PARTIDA".
    QStringList Gravados(const QString& numero) {
        return RowsSeenByOthers("SELECT ORDEM, CODIGO, PESO, FAL, PARTIDA FROM TNG_PROG WHERE NUMERO = " +
                                Aspas(numero) + " ORDER BY ORDEM");
    }
    QStringList Logs() { return LogLines(kTitulo); }
    // Types the number and leaves the box, as the user opens a programme; on a screen of its own when asked.
    void Abre(const QString& numero, bool abreTela = false) {
        if (abreTela)
            driver->Open("TFmTngProg");
        driver->Type("EdtLote", numero);
        driver->Focus("EdtCodCli");
    }
    // A new programme of the customer: the number left empty gives the next one.
    void Nova(const QString& cliente = QStringLiteral("00001"), bool abreTela = false) {
        Abre(QString(), abreTela);
        driver->Type("EdtCodCli", cliente);
        driver->Focus("EdtEntrada");
    }
    void Linha(int linha, const QList<QPair<QString, QString>>& celulas) { Cells("DBGrid1", linha, celulas); }
    // Saves the programme: the messages told.
    QString Grava() { return ClickMessages("BitBtn1"); }

    // ---- the dyeing order of an in-house customer
    // Products of 00001's knitting side: MM-30 has the undyed CRU-30 (its dearest position 13,75), MM-40
    // none. AZUL's dearest recipe costs 3,1 and VERDE has none; print EST1/01 costs 0,4 a kilo (a paste of
    // 400 thousandths of a material at 20, 0,05 kg of it). Flows 02 and 01 (0,85, the first); warehouse 0001
    // is of priority 2.
    void BaseTinturaria() {
        Base();
        Insert("CADCORTIN (CODIGO, DESCRICAO)", {"'VERDE', 'VERDE'", "'EST1', 'XADREZ'"});
        Sql("UPDATE RECEITA SET CUSTO = 2.5");
        Insert("RECEITA (CODIGO, VARIANTE, COR, CUSTO)", {"'0002', '02', 'AZUL', 3.1"});
        Insert("MATERIAL (CODIGO, REPOSICAO)", {"'MM-30', 0", "'MM-40', 0", "'CRU-30', 0", "'Q1', 20"});
        Insert("CADMATZO (CODIGO, CODIGO2)", {"'CRU-30', 'MM-30'"});
        Insert("MAT_ITEN (CODIGO, COR, DEPOSITO, LOTE, PRECO_MED)",
               {"'CRU-30', '0', '0001', 'A', 12.5", "'CRU-30', '0', '0001', 'B', 13.75"});
        Insert("EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, PRODUTO, CONSUMO)", {"'EST1', '01', 1, 'P1', 0.05"});
        Insert("COMP_MATERIAL (MATERIAL, CODIGO, PERC)", {"'P1', 'Q1', 400"});
        Insert("DEPOSITO (CODIGO, PRIORIDADE)", {"'0000', '1'", "'0001', '2'"});
        InsertCommit("FLUXOTIN (CODCLI, CODIGO, CUSTO)", {"'00001', '02', 9", "'00001', '01', 0.85"});
    }
    // Rows of programme 000001 of 00001 as "ORDEM|FAL|CODIGO_CLI|COR_CLI|COR|ESTAMPA", each its own lot.
    void Envia(const QStringList& linhas) {
        for (const QString& linha : linhas) {
            const QStringList c = linha.split('|');
            Sql(QStringLiteral(
                    "INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, ENTRADA, ENTREGA, CODIGO, PARTIDA, "
                    "LOTE, ROLO, PESO, PESO_B, LARGURA, GRAMATURA, OBSERVACAO, FAL, CODIGO_CLI, "
                    "COR_CLI, COR, ESTAMPA, VAR_EST) VALUES ('000001', %1, '00001', '2026-11-18', "
                    "'2026-12-10', '000101', '000007', 'LOTE-%1', 3, 120.5, 122, 1.8, 180, 'OBS %1', "
                    "%2, %3, %4, %5, %6, '01')")
                    .arg(c[0], TextoOuNulo(c[1]), TextoOuNulo(c[2]), TextoOuNulo(c[3]), TextoOuNulo(c[4]),
                         TextoOuNulo(c[5])));
        }
        Commit();
    }
    // What the action showed, a question it asked too, answered as given.
    QString GeraTinturaria(std::optional<bool> resposta = {}) {
        if (resposta)
            messages.questions.enqueue(*resposta);
        driver->Menu("GeraTinturaria");
        return TakeShown();
    }
    QString Gerada(int linhas) {
        return QStringLiteral("Ordem de Tinturaria Gerada: 000001 (%1).")
            .arg(linhas ? QStringLiteral("%1 item(ns) incluído(s)").arg(linhas) : "nenhum item novo");
    }

    // ---- the information board
    // Customers of every situation, a product and the standard sheet of five fields.
    void BaseQuadro() {
        Insert("ENTIDADE (CODCLI, NOME, ATIVO, BLOQUEIO)",
               {"'00001', 'MALHARIA SANTA CATARINA', 'S', 'N'", "'00002', 'TECELAGEM D''ÁVILA', 'S', NULL",
                "'00003', 'BLOQUEADA', 'S', 'S'", "'00004', 'INATIVA', 'N', 'N'",
                "'00005', 'SEM QUADRO', NULL, 'N'"});
        Insert("PRODUTO (CODIGO, DESCRICAO)", {"'000101', 'MEIA MALHA'"});
        InsertCommit("OFPADRAO (CODIGO, DESCRICAO, CAMPO)",
                     {"'001', 'TECIDO', 'Gramatura'", "'002', 'TECIDO', 'Largura'",
                      "'003', 'TINGIMENTO', 'Solidez'", "'004', 'ACABAMENTO', 'Solidez'",
                      "'005', 'ACABAMENTO', 'Toque'"});
    }
    void GuardaQuadro(const QString& cliente, const QString& mov, const QString& campo,
                      const QString& resultado) {
        SqlCommit(QStringLiteral("INSERT INTO OF2 (CODIGO, NUMERO, MOV, CAMPO, DESCRICAO2, OBS, TIPO) VALUES "
                                 "('000101', '%1', '%2', '%3', '%4', 'memo de %1', '1')")
                      .arg(cliente, mov, campo, resultado));
    }
    // The stored sheet as "MOV|CAMPO|DESCRICAO|DESCRICAO2|DESCRICAO3|OBS|TIPO", by code.
    QStringList Quadro(const QString& cliente = "00001") {
        return RowsSeenByOthers("SELECT MOV, CAMPO, DESCRICAO, DESCRICAO2, DESCRICAO3, OBS, TIPO FROM OF2 "
                                "WHERE CODIGO = '000101' AND NUMERO = '" +
                                cliente + "' ORDER BY MOV");
    }
    void AbreQuadro(const QString& cliente) {
        driver->Open("TfmTngProgInf");
        driver->Type("EdtCodCli", cliente);
        driver->Type("EdtCodPro", "000101");
        driver->Click("btnConsultar");
    }
    void Preenche(int linha, const QString& campo, const QString& texto) {
        Cells("SgQuadro", linha, {{campo, texto}});
    }
    // Each row's result and remark, "R|O;R|O;...".
    QString Valores() { return FieldTexts("SgQuadro", "RESULTADO|OBSERVACAO").join(';'); }
    TZoDBGrid* GradeQuadro() { return driver->Get<TZoDBGrid>("SgQuadro"); }

private slots:
    void emptyNumberNewNumberAndShortNumber() {
        Base();
        Guarda("000001", {"1|000101|10", "2|000102|20"}, "00002", QDate(2026, 12, 24));
        Guarda("000002", {"1|000101|30"});
        driver->Open("TFmTngProg");

        // Left empty: the number after those stored, dated today.
        driver->Focus("EdtLote");
        driver->Focus("EdtCodCli");
        const QString hoje = QDate::currentDate().toString(kFormatoData);
        QCOMPARE(Texts({"EdtLote", "EdtEntrada", "EdtEntrega"}), "000003|" + hoje + '|' + hoje);

        // A number not stored stays as typed, a new programme under it.
        Abre("000050");
        driver->Type("EdtCodCli", "00001");
        driver->Type("EdtEntrada", "02/11/2026");
        driver->Type("EdtEntrega", "09/11/2026");
        Linha(0, {{"Codigo", "000101"}, {"Peso", "15"}});
        QCOMPARE(Grava(), QString());
        QCOMPARE(Gravados("000050"), QStringList{"1|000101|15||"});

        // Typed without its zeros, a stored number opens.
        Abre("1");
        QCOMPARE(Texts({"EdtLote", "EdtCodCli", "EdtEntrega"}), "000001|00002|24/12/2026");
        QCOMPARE(FieldTexts("TbItens", "Codigo"), QStringList({"000101", "000102"}));
    }

    void saveAndLoadRoundTripWithItsAuditLine() {
        Base();
        Nova("00001", true);
        const QString numero = driver->Text("EdtLote");
        driver->Type("EdtEntrada", "05/11/2026");
        driver->Type("EdtEntrega", "20/11/2026");
        // Per row the region expected (the customer's unless typed) and its cells as "Campo=typed", or
        // "Campo=typed=stored" for a number stored otherwise.
        const QList<QPair<QString, QStringList>> linhas = {
            {"01",
             QString("Partida=000101|Codigo=000101|Cor=AZUL|Variante=01|Maquina=M1|Lote=L-7|Fluxo=R1|"
                     "Rolo=4|Peso=12,5=12.5|Largura=1,8=1.8|Gramatura=160|Estampa=AZUL|Var_Est=01|"
                     "Fibra1=70|Fibra2=30|Nota=000012345|Cor_Cli=AZUL ROYAL DO CLIENTE|Codigo_Cli=MM-30|"
                     "Observacao=cuidado; D'Ávila|LoteNF=LNF1")
                 .split('|')},
            {"03", {"Codigo=000102", "Peso=1.200=1200", "Regiao=03"}},
            {"01", {"Codigo=A'B", "Peso=0,75=0.75", "Rolo=1"}}};
        const auto campo = [](const QString& celula) { return celula.section('=', 0, 0); };
        const auto valor = [](const QString& celula) { return celula.section('=', -1); };
        const auto codigo = [&](const QStringList& celulas) {
            return valor(celulas.filter("Codigo=").value(0));
        };
        for (int linha = 0; linha < linhas.size(); ++linha) {
            QList<QPair<QString, QString>> celulas;
            for (const QString& c : linhas[linha].second)
                celulas.append({campo(c), c.section('=', 1, 1)});
            Linha(linha, celulas);
        }
        QCOMPARE(Grava(), QString());
        QCOMPARE(Logs(), QStringList{"0|INCLUSAO DA PROGRAMACAO NR " + numero + " DO CLIENTE 00001"});

        // The header on every row, each row under an order of its own.
        QCOMPARE(Seen("SELECT COUNT(*), COUNT(DISTINCT ORDEM), COUNT(DISTINCT CODCLI || ENTRADA || "
                      "ENTREGA), MIN(CODCLI), MIN(ENTRADA), MIN(ENTREGA) FROM TNG_PROG WHERE NUMERO = " +
                      Aspas(numero)),
                 "3|3|1|00001|05/11/2026|20/11/2026");
        // Each row stored as typed.
        for (const auto& [regiao, celulas] : linhas) {
            QStringList colunas{"REGIAO"}, valores{regiao};
            for (const QString& c : celulas)
                if (campo(c) != "Regiao") {
                    colunas << (campo(c) == "Fluxo" ? QStringLiteral("ROTEIRO") : campo(c).toUpper());
                    valores << valor(c);
                }
            QCOMPARE(RowsSeenByOthers("SELECT " + colunas.join(", ") + " FROM TNG_PROG WHERE NUMERO = " +
                                      Aspas(numero) + " AND CODIGO = " + Aspas(codigo(celulas))),
                     QStringList{valores.join('|')});
        }

        // Loaded back: the header and every value as typed.
        Abre(numero);
        QCOMPARE(Texts({"EdtCodCli", "EdtEntrada", "EdtEntrega"}), "00001|05/11/2026|20/11/2026");
        QCOMPARE(Itens()->RecordCount(), 3);
        for (const auto& [regiao, celulas] : linhas) {
            const int carregada = RowWhere("TbItens", "Codigo", codigo(celulas));
            QVERIFY(carregada >= 0);
            QCOMPARE(Campo(carregada, "Regiao"), regiao);
            for (const QString& c : celulas)
                QCOMPARE(Campo(carregada, campo(c)), valor(c));
        }
        QCOMPARE(Campo(LinhaDaOrdem(1), "Descricao"), "MEIA MALHA"); // joined on loading
        QCOMPARE(driver->Text("EdtPeso"), "1.213,25");
    }

    // The third insert fails (a trigger of the test): the update before it and the two inserts are undone, no
    // audit line stays; mended, the same rows go through once.
    void failureAtTheThirdInsertLeavesTheStoredRows() {
        Base();
        Guarda("000001", {"1|000101|10", "2|000102|20"});
        FailWhen("TNG_PROG", "BEFORE INSERT", "NEW.CODIGO = 'A''B'");
        const QStringList antes = Gravados("000001");
        Abre("000001", true);
        Linha(LinhaDaOrdem(1), {{"Peso", "11"}});
        Linha(2, {{"Codigo", "000101"}, {"Peso", "1"}});
        Linha(3, {{"Codigo", "000102"}, {"Peso", "2"}});
        Linha(4, {{"Codigo", "A'B"}, {"Peso", "3"}});
        driver->Click("BitBtn1");
        QVERIFY2(Errors().contains("falha forçada"), qPrintable(messages.Texts().join('|')));
        QCOMPARE(Gravados("000001"), antes);
        QCOMPARE(Seen("SELECT COUNT(*) FROM LOG"), "0");

        StopFailing();
        messages.Clear();
        QCOMPARE(Grava(), QString());
        QCOMPARE(Gravados("000001"), QStringList({"1|000101|11||", "2|000102|20||", "3|000101|1||",
                                                  "4|000102|2||", "5|A'B|3||"}));
        QCOMPARE(Logs(), QStringList{"1|ALTERACAO DA PROGRAMACAO NR 000001 DO CLIENTE 00001"});
    }

    // A row that went to a lot sheet is left as stored, also when that happened after the screen loaded it;
    // a programme of such rows only writes nothing and logs nothing.
    void rowsGoneToLotSheetsAreNeverWritten() {
        Base();
        Fals({"0000001", "0000002"});
        Guarda("000001", {"1|000101|10|0000001", "2|000102|20"});
        Guarda("000002", {"1|000101|30|0000001", "2|000102|40|0000002"});
        Guarda("000003", {"1|000101|10|0000001", "2|000102|20"});
        driver->Open("TFmTngProg");

        Abre("000002");
        for (int linha = 0; linha < 2; ++linha)
            Linha(linha, {{"Peso", "99"}, {"Observacao", "mudada"}});
        QCOMPARE(Grava(), QString());
        QCOMPARE(Gravados("000002"), QStringList({"1|000101|30|0000001|", "2|000102|40|0000002|"}));
        QCOMPARE(Seen("SELECT COUNT(*) FROM TNG_PROG WHERE OBSERVACAO IS NOT NULL"), "0");

        // The open row goes to a lot sheet on another workstation while this one edits it.
        Abre("000001");
        ByOther("UPDATE TNG_PROG SET FAL = '0000002', PESO = 21 WHERE NUMERO = '000001' AND ORDEM = 2");
        for (int linha = 0; linha < 2; ++linha)
            Linha(linha, {{"Peso", "99"}});
        QCOMPARE(Grava(), QString());
        QCOMPARE(Gravados("000001"), QStringList({"1|000101|10|0000001|", "2|000102|21|0000002|"}));
        QCOMPARE(Logs(), QStringList());

        // A changed delivery date is written on the open rows only; the programme shows it again even when a
        // row that went to a lot sheet (which keeps the old one) comes first.
        ByOther("INSERT INTO PARAMETROS (MODULO, NUMERO, VALOR) VALUES ('TIN', 20, '5')");
        Abre("000003");
        // Passing through the delivery date keeps the one stored or typed; a changed entry date proposes its
        // own.
        driver->Focus("EdtEntrega");
        QCOMPARE(driver->Text("EdtEntrega"), "10/12/2026");
        driver->Type("EdtEntrada", "20/11/2026");
        driver->Focus("EdtEntrega");
        QCOMPARE(driver->Text("EdtEntrega"), "25/11/2026");
        driver->Type("EdtEntrega", "24/12/2026");
        driver->Focus("EdtEntrada");
        driver->Focus("EdtEntrega");
        QCOMPARE(Grava(), QString());
        Abre("000003");
        QCOMPARE(driver->Text("EdtEntrega"), "24/12/2026");
        QCOMPARE(
            RowsSeenByOthers("SELECT ORDEM, ENTREGA FROM TNG_PROG WHERE NUMERO = '000003' ORDER BY ORDEM"),
            QStringList({"1|10/12/2026", "2|24/12/2026"}));
    }

    // Two workstations on one programme: a row the other stored under the order a new row holds stays, the
    // new row taking the next free order; a row whose product was cleared goes, the other's rows stay; the
    // stock location of an open row, which the screen never writes, stays.
    void otherWorkstationsRowsAndColumnsSurviveASave() {
        Base();
        Guarda("000001", {"1|000101|10||000001", "2|000102|20||000002"});
        Sql("UPDATE TNG_PROG SET LOCAL = 'EST-A' WHERE NUMERO = '000001' AND ORDEM = 2");
        Guarda("000002", {"3|000101|50"});
        Abre("000001", true);
        Linha(2, {{"Codigo", "A'B"}, {"Peso", "5"}});
        ByOther("INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, CODIGO, PESO) VALUES ('000001', 3, '00001', "
                "'000102', 33)");
        Linha(LinhaDaOrdem(1), {{"Codigo", ""}});
        Linha(LinhaDaOrdem(2), {{"Peso", "22"}});
        QCOMPARE(Grava(), QString());
        QCOMPARE(Gravados("000001"), QStringList({"2|000102|22||000002", "3|000102|33||", "4|A'B|5||"}));
        QCOMPARE(Seen("SELECT LOCAL FROM TNG_PROG WHERE NUMERO = '000001' AND ORDEM = 2"), "EST-A");
        QCOMPARE(Gravados("000002"), QStringList{"3|000101|50||"});
        QCOMPARE(Logs(), QStringList{"1|ALTERACAO DA PROGRAMACAO NR 000001 DO CLIENTE 00001"});
    }

    void deleteOfAnItemAndOfTheProgramme() {
        Base();
        Fals({"0000001"});
        // The lot sheet of the fourth row was deleted since.
        Guarda("000001",
               {"1|000101|10|0000001", "2|000102|20", "3|000101|30", "4|000102|40|0000009", "5|A'B|50"});
        Guarda("000002", {"2|000102|60"});
        const QStringList outra = Gravados("000002");
        Abre("000001", true);
        const QString pergunta = QStringLiteral("Tem certeza que deseja excluir o item?");
        const auto exclui = [this](int ordem, bool sim) {
            driver->Row("DBGrid1", LinhaDaOrdem(ordem));
            messages.questions.enqueue(sim);
            driver->Menu("ExcluirItem1");
        };
        exclui(1, true);
        QCOMPARE(TakeMessages(), "O item já possui FAL gerada. Impossível excluir item.");
        exclui(2, false);
        QCOMPARE(Gravados("000001").size(), 5);
        exclui(2, true);
        QCOMPARE(LinhaDaOrdem(2), -1);
        QCOMPARE(Gravados("000001"), QStringList({"1|000101|10|0000001|", "3|000101|30||",
                                                  "4|000102|40|0000009|", "5|A'B|50||"}));
        QCOMPARE(Gravados("000002"), outra);
        QCOMPARE(Logs(), QStringList{"2|EXCLUSAO DO ITEM 000102 ORDEM 2 DA PROGRAMACAO NR 000001"});

        exclui(4, true);

        // Ctrl+Del asks too, and a question nobody answers deletes nothing; no other delete goes around it.
        const int perguntas = CountShown("question", pergunta);
        driver->Row("DBGrid1", LinhaDaOrdem(3));
        driver->Press("Ctrl+Del", "DBGrid1");
        QCOMPARE(CountShown("question", pergunta), perguntas + 1);
        QVERIFY(LinhaDaOrdem(3) >= 0);
        ExecutaProtegido([this] { Itens()->Delete(); });
        QVERIFY(LinhaDaOrdem(3) >= 0);
        QCOMPARE(Gravados("000001").size(), 3);
        messages.questions.enqueue(true);
        driver->Press("Ctrl+Del", "DBGrid1");
        QCOMPARE(LinhaDaOrdem(3), -1);
        QCOMPARE(Gravados("000001"), QStringList({"1|000101|10|0000001|", "5|A'B|50||"}));

        // A row that went to a lot sheet on another workstation after the screen loaded it stays.
        ByOther("UPDATE TNG_PROG SET FAL = '0000001' WHERE NUMERO = '000001' AND ORDEM = 5");
        exclui(5, true);
        QCOMPARE(TakeMessages(), "O item já possui FAL gerada. Impossível excluir item.");
        QCOMPARE(Gravados("000001"), QStringList({"1|000101|10|0000001|", "5|A'B|50|0000001|"}));
        QCOMPARE(Logs().size(), 3);

        // The programme's delete asks and waits for its lot sheets; once they are deleted meanwhile, it goes,
        // committed with its audit line.
        const QStringList antes = Gravados("000001");
        ClickAndAnswer("BitBtn3", false);
        QCOMPARE(Gravados("000001"), antes);
        ClickAndAnswer("BitBtn3", true);
        QCOMPARE(TakeMessages(), "Programação possui itens com FAL gerada. Impossível excluir.");
        QCOMPARE(Gravados("000001"), antes);
        ByOther("DELETE FROM FAL WHERE NUMERO = '0000001'");
        ClickAndAnswer("BitBtn3", true);
        QCOMPARE(TakeMessages(), QString());
        QCOMPARE(Gravados("000001"), QStringList());
        QCOMPARE(Gravados("000002"), outra);
        QCOMPARE(Logs().last(), "2|EXCLUSAO DA PROGRAMACAO NR 000001");
        QCOMPARE(driver->Rows("DBGrid1"), 0);
    }

    // Pieces typed of an invoice item of the customer give their share of its weight: 3 of 10 pieces of 250
    // kg, 1 of 4 of another lot. More pieces than the item has, or an item of another customer, leave the
    // weight.
    void piecesToWeight() {
        Base();
        InsertCommit("NFITIN (NOTA, CODCLI, CODIGO, LOTE, ROLOS, PESO_REAL, PESO)",
                     {"'000000777', '00001', '000101', 'L1', 10, 250, 250",
                      "'000000777', '00001', '000101', 'L2', 4, 100, 100",
                      "'000000777', '00002', '000101', 'L3', 5, 50, 50"});
        Nova("00001", true);
        const QList<std::tuple<const char*, int, double>> casos = {
            {"L1", 3, 75}, {"L2", 1, 25}, {"L1", 11, 40}, {"L3", 2, 40}};
        for (int linha = 0; linha < casos.size(); ++linha) {
            const auto& [loteNF, rolo, peso] = casos[linha];
            Linha(linha, {{"Codigo", "000101"},
                          {"Nota", "000000777"},
                          {"LoteNF", loteNF},
                          {"Peso", "40"},
                          {"Rolo", QString::number(rolo)}});
            QCOMPARE(TakeMessages(), QString());
            QCOMPARE(Campo(linha, "Rolo|Peso"), QStringLiteral("%1|%2").arg(rolo).arg(peso));
        }
    }

    void invoiceLookupOffersOnlyFreeWeight_data() {
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("linha"); // the grid's "Nota|Codigo|LoteNF|Lote|Peso|Rolo|Observacao"
        const QString nada = "||||||";
        QTest::newRow("meio quilo livre") << "000000001/000101/L1" << nada;
        QTest::newRow("um quilo livre") << "000000001/000101/L2"
                                        << "000000001|000101|L2|L2|1|0|conferir";
        QTest::newRow("todo livre") << "000000001/000102/L3"
                                    << "000000001|000102|L3|L3|250|10|conferir";
        QTest::newRow("parte livre, peças inteiras") << "000000001/A'B/L6"
                                                     << "000000001|A'B|L6|L6|120|4|conferir";
        QTest::newRow("quase todo devolvido") << "000000001/000102/L4" << nada;
        QTest::newRow("de outro cliente") << "000000002/000101/L5" << nada;
    }

    void invoiceLookupOffersOnlyFreeWeight() {
        Base();
        // Weights real, taken by lot sheets, returned and free.
        InsertCommit("NFITIN (NOTA, CODCLI, CODIGO, LOTE, ROLOS, PESO_REAL, PESO_PROG, PESO_DEVOL, PESO, "
                     "DESCRICAO, OBS)",
                     {"'000000001', '00001', '000101', 'L1', 10, 100, 99.5, 0, 0.5, 'MALHA', 'conferir'",
                      "'000000001', '00001', '000101', 'L2', 10, 100, 99, 0, 1, 'MALHA', 'conferir'",
                      "'000000001', '00001', '000102', 'L3', 10, 250, 0, 0, 250, 'MALHA', 'conferir'",
                      "'000000001', '00001', '000102', 'L4', 10, 100, 0, 99.5, 100, 'MALHA', 'conferir'",
                      "'000000002', '00002', '000101', 'L5', 10, 100, 0, 0, 100, 'MALHA', 'conferir'",
                      "'000000001', '00001', 'A''B', 'L6', 10, 300, 180, 0, 120, 'MALHA', 'conferir'"});
        Nova("00001", true);
        driver->Row("DBGrid1", 0);
        Grade()->SelectField("Codigo");
        messages.Clear();
        QFETCH(QString, chave);
        messages.searches.enqueue(chave);
        driver->Press("F3", "DBGrid1");
        QTEST(Campo(0, "Nota|Codigo|LoteNF|Lote|Peso|Rolo|Observacao"), "linha");
    }

    // Two selected rows of one lot sheet and a selected row without one: one service row for that sheet; a
    // sheet of a row not selected gets none. The cost is typed as the screens show numbers.
    void serviceOncePerLotSheetAndItsPriority() {
        Base();
        Fals({"0000001", "0000002"}, 3);
        Guarda("000001",
               {"1|000101|10|0000001", "2|000102|20|0000001", "3|000101|30", "4|000102|40|0000002"});
        Abre("000001", true);
        for (int ordem : {1, 2, 3})
            Tick("DBGrid1", LinhaDaOrdem(ordem), "Gerar");
        // A point is not a decimal comma: "12.5" would be read a thousand times off, so it is refused.
        messages.searches.enqueue("01");
        messages.inputs.enqueue("12.5");
        driver->Menu("AdicionarServioSelecionados1");
        QCOMPARE(TakeMessages(), "Valor inválido.");
        QCOMPARE(Seen("SELECT COUNT(*) FROM TABELA"), "0");
        messages.searches.enqueue("01");
        messages.inputs.enqueue("1.234,5");
        driver->Menu("AdicionarServioSelecionados1");
        QCOMPARE(TakeMessages(), "Processo concluído.");
        QCOMPARE(Seen("SELECT CODIGO, SETOR, PRECO FROM TABELA ORDER BY CODIGO"), "0000001|01|1234.5");

        // Nothing selected with a lot sheet: nothing asked, nothing written.
        for (int ordem : {1, 2})
            Tick("DBGrid1", LinhaDaOrdem(ordem), "Gerar", false);
        driver->Menu("AdicionarServioSelecionados1");
        QCOMPARE(TakeShown(), "Nenhum registro com FAL.");
        QCOMPARE(Seen("SELECT COUNT(*) FROM TABELA"), "1");

        // Nothing selected, the priority of the current row's sheet only: refused, cancelled, then committed.
        Tick("DBGrid1", LinhaDaOrdem(3), "Gerar", false);
        driver->Row("DBGrid1", LinhaDaOrdem(1));
        for (const auto& [entrada, mensagem, depois] :
             {std::tuple(QVariant("abc"), "Prioridade inválida.", "0000001|3;0000002|3"),
              {QVariant(), "", "0000001|3;0000002|3"},
              {QVariant("7"), "Processo concluído.", "0000001|7;0000002|3"}}) {
            messages.inputs.enqueue(entrada);
            driver->Menu("PrioridadedaFAL1");
            QCOMPARE(TakeMessages(), QString::fromUtf8(mensagem));
            QCOMPARE(Seen("SELECT NUMERO, ORDEM FROM FAL ORDER BY NUMERO"), depois);
        }
        QCOMPARE(LogLines("PRIORIDADE DA FAL"), QStringList{"1|PRIORIDADE DA FAL 0000001 DEFINIDA EM 7"});
    }

    void searchWithQuotedCodesWithoutLotSheetsAndLate() {
        Base();
        const QDate hoje = QDate::currentDate();
        Fals({"0000001"});
        Guarda("000001", {"1|A'B|10"}, "00001", hoje.addDays(-1));
        Guarda("000002", {"1|000101|20", "2|000101|21"}, "00001", hoje.addDays(10));
        Guarda("000003", {"1|000102|30"}, "00002", hoje.addDays(-5));
        Guarda("000004", {"1|000101|40|0000001"}, "00001", hoje);
        Guarda("000005", {"1|A'B|50"}, "00002", hoje.addDays(3));
        driver->Open("TFmTngProg");
        driver->Page("PageControl1", "Acesso");
        driver->Type("edtProduto", "A'B");
        messages.searches.enqueue("000101");
        driver->Click("pqProdutoAc");
        QCOMPARE(driver->Text("edtProduto"), "A'B,000101");
        const auto encontrados = [this] { return FieldTexts("DBGrid2", "NUMERO"); };

        QCOMPARE(ClickMessages("BitBtn4"), QString());
        QCOMPARE(encontrados(), QStringList({"000005", "000002", "000001"}));

        driver->Click("RgBuscaTodos");
        driver->Click("BitBtn4");
        QCOMPARE(encontrados(), QStringList({"000005", "000004", "000002", "000001"}));
        // Late ones (delivery today or before) in red.
        QAbstractItemModel* modelo = driver->Get<TZoDBGrid>("DBGrid2")->model();
        QStringList vermelhas; // the colour is the row's
        for (int linha = 0; linha < modelo->rowCount(); ++linha)
            if (modelo->index(linha, 0).data(Qt::ForegroundRole).value<QColor>() == QColor(Qt::red))
                vermelhas << encontrados()[linha];
        QCOMPARE(vermelhas, QStringList({"000004", "000001"}));

        // The customer narrows it; the codes alone, with the customer cleared, again.
        driver->Type("EdtCCodCli", "00002");
        driver->Click("BitBtn4");
        QCOMPARE(encontrados(), QStringList{"000005"});
        driver->Type("EdtCCodCli", "");
        driver->Click("RgBuscaSemFal");
        driver->Click("sbClearProduto");
        driver->Type("edtProduto", "000102");
        driver->Click("BitBtn4");
        QCOMPARE(encontrados(), QStringList{"000003"});
        QCOMPARE(TakeMessages(), QString());

        // Enter on a found one opens it on the other page.
        driver->Row("DBGrid2", 0);
        driver->Press("Enter", "DBGrid2");
        QCOMPARE(Texts({"EdtLote", "EdtCodCli"}), "000003|00002");
        QCOMPARE(driver->Rows("DBGrid1"), 1);
    }

    // What a programme exports imports back into a new one with the same values; only its lot sheet stays
    // behind. Another file imports after the rows shown.
    void exportImportsBackIntoANewProgramme() {
        Base();
        Fals({"0000001"});
        Guarda("000001",
               {"1|000101|12.3456|0000001|000001", "2|000102|1500.25||000002", "3|A'B|0.5||000003"});
        Sql("UPDATE TNG_PROG SET COR = 'AZUL', VARIANTE = '01', MAQUINA = 'M1', ROTEIRO = 'R1', "
            "LOTE = 'L;1', LOTENF = 'LNF', NOTA = '000000123', LARGURA = 1.875, GRAMATURA = 160, "
            "FIBRA1 = 70, FIBRA2 = 30, PESO_B = 2.5, ESTAMPA = 'AZUL', VAR_EST = '01', "
            "CODIGO_CLI = 'MM''30', COR_CLI = 'MARINHO', OBSERVACAO = 'com ; e \"aspas\"', "
            "OBS = 'linha um' || ASCII_CHAR(10) || 'linha dois' WHERE ORDEM = 2");
        SqlCommit("UPDATE TNG_PROG SET REGIAO = '03', ROLO = 7 WHERE ORDEM = 3");
        const SettingsFile ini("[Caminho]\nExportacao=%1\n");

        Abre("000001", true);
        driver->Click("BitBtn10");
        const QString arquivo = ini.Path("ExpProg000001.txt");
        QCOMPARE(TakeMessages(), "Programação exportada para " + arquivo + ".");

        driver->Click("BitBtn7");
        const QString nova = driver->Text("EdtLote");
        QVERIFY(!nova.isEmpty() && nova != QStringLiteral("000001"));
        QCOMPARE(driver->FocusedName(), "EdtCodCli");
        driver->Type("EdtCodCli", "00001");
        messages.files.enqueue(arquivo);
        QCOMPARE(ClickMessages("BitBtn8"), "3 item(ns) importado(s).");
        QCOMPARE(Grava(), QString());

        const QString colunas =
            "PARTIDA, CODIGO, COR, VARIANTE, ESTAMPA, VAR_EST, MAQUINA, ROTEIRO, LOTE, LOTENF, "
            "NOTA, ROLO, PESO, PESO_B, LARGURA, GRAMATURA, FIBRA1, FIBRA2, CODIGO_CLI, COR_CLI, "
            "REGIAO, OBS, OBSERVACAO, CODCLI";
        const auto linhas = [&](const QString& numero) {
            return RowsSeenByOthers("SELECT " + colunas + " FROM TNG_PROG WHERE NUMERO = " + Aspas(numero) +
                                    " ORDER BY ORDEM");
        };
        QCOMPARE(linhas(nova), linhas("000001"));
        QCOMPARE(RowsSeenByOthers("SELECT ORDEM, FAL FROM TNG_PROG WHERE NUMERO = " + Aspas(nova) +
                                  " ORDER BY ORDEM"),
                 QStringList({"1|", "2|", "3|"}));

        // A file naming the fields that tie a row to a lot sheet and to its stored row: they are not taken,
        // each row gets an order of its own after the screen's rows.
        const QStringList antes = Gravados(nova);
        Abre(nova);
        QFile f(ini.Path("programacao.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("Codigo;Peso;Rolo;Fal;Ordem;Gerar;Imp;Observacao\r\n"
                               "000101;10,5;2;0000009;1;S;S;primeira\r\n"
                               "A'B;20;3;0000009;2;S;S;\"segunda; com \"\"aspas\"\"\"\r\n")
                    .toUtf8());
        f.close();
        messages.files.enqueue(f.fileName());
        QCOMPARE(ClickMessages("BitBtn8"), "2 item(ns) importado(s).");
        QCOMPARE(FieldTexts("TbItens", "Gerar|Imp|Regiao").mid(3), QStringList(2, "|N|01"));
        QCOMPARE(Grava(), QString());
        QCOMPARE(Gravados(nova), antes + QStringList({"4|000101|10.5||", "5|A'B|20||"}));
        QCOMPARE(RowsSeenByOthers("SELECT ROLO, OBSERVACAO FROM TNG_PROG WHERE NUMERO = " + Aspas(nova) +
                                  " AND ORDEM > 3 ORDER BY ORDEM"),
                 QStringList({"2|primeira", "3|segunda; com \"aspas\""}));
    }

    // The empty dye lots numbered after the last one, in order and each once; the others keep theirs. A
    // programme's route is listed once, its labels carry the customer's results.
    void dyeLotNumberingRouteListedOnceAndLabels() {
        Base();
        Guarda("000001", {"1|000101|10||000007", "2|000101|10||9", "3|000101|10"});
        Guarda("000002", {"1|000101|10||000040"}, "00002");
        Nova("00001", true);
        QCOMPARE(driver->Text("EdtUltPart"), "000009");
        Linha(0, {{"Codigo", "000101"}});
        Linha(1, {{"Codigo", "000102"}, {"Partida", "000005"}});
        Linha(2, {{"Codigo", "A'B"}});
        driver->Click("SpeedButton1");
        const QStringList numeradas{"000102|000005", "000101|000010", "A'B|000011"};
        QCOMPARE(FieldTexts("TbItens", "Codigo|Partida"), numeradas);
        driver->Click("SpeedButton1");
        QCOMPARE(FieldTexts("TbItens", "Codigo|Partida"), numeradas);
        const QString numero = driver->Text("EdtLote");
        driver->Click("BitBtn1");
        QCOMPARE(Seen("SELECT CODIGO, PARTIDA FROM TNG_PROG WHERE NUMERO = " + Aspas(numero) +
                      " ORDER BY PARTIDA"),
                 "000102|000005;000101|000010;A'B|000011");

        InsertCommit("OF2 (CODIGO, NUMERO, MOV, CAMPO, DESCRICAO, DESCRICAO2, TIPO)",
                     {"'000101', '00001', '001', 'Gramatura', 'TECIDO', '160', '1'"});
        const ReportFolder pasta;
        Abre("000001");
        int rotas = 0;
        messages.naPesquisa = [&rotas](TPesquisa& lista) { rotas = lista.Conta(); };
        messages.searches.enqueue("R1");
        driver->Row("DBGrid1", 0);
        Grade()->SelectField("Fluxo");
        driver->Press("F4", "DBGrid1");
        QCOMPARE(rotas, 1);
        QCOMPARE(Campo(0, "Fluxo"), "R1");
        Tick("DBGrid1", 0, "Gerar");
        QCOMPARE(ClickMessages("BitBtn6"), QString());
        if (!CanReadPdf())
            QSKIP("pdftotext is not installed: the labels were written, their text is not read");
        QVERIFY2(pasta.Text("WTngEtqPart.pdf").contains("Gramatura: 160"),
                 qPrintable(pasta.Text("WTngEtqPart.pdf")));
    }

    // ---- the dyeing order
    void dyeingOrderFigures() {
        QStringList gramaturas;
        for (const QVariant& gramatura :
             {QVariant(180.0), QVariant(180.4), QVariant(95.5), QVariant(9.5), QVariant()})
            gramaturas << GramaturaTintur(gramatura);
        QCOMPARE(gramaturas.join('|'), "180|180|95|9,5|");
        // A recipe without a cost still takes the print's; no recipe at all, nothing.
        QCOMPARE(QList<double>({CustoCorTintur(3.1, 0.4), CustoCorTintur(0.0, 0.4), CustoCorTintur({}, 0.4)}),
                 QList<double>({3.5, 0.4, 0}));
        // Cut at 150 characters, the last one outside the basic plane kept whole.
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"), longa = QString(149, 'x') + emoji;
        QCOMPARE(QStringList({ObsTintur(" 000007", "TEAR 14 "), ObsTintur("", "TEAR 14"),
                              ObsTintur("000007", ""), ObsTintur("", longa + 'y')}),
                 QStringList({"000007 TEAR 14", "TEAR 14", "000007", longa}));
    }

    void dyeingOrderRefusedWritesNothing_data() {
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("sem fluxo") << "DELETE FROM FLUXOTIN"
                                   << "Fluxo não cadastrado para tinturaria. Impossível continuar.";
        QTest::newRow("nenhum item completo") << "UPDATE TNG_PROG SET COR_CLI = NULL WHERE ORDEM = 1"
                                              << "Código, Cor ou FAL inválidos. \r\nImpossível continuar.";
        const QString outra =
            "A ordem de tinturaria 000001 pertence a outra tinturaria (%1). Impossível continuar.";
        QTest::newRow("de outra tinturaria")
            << "INSERT INTO TINTUR (NUMERO, TINTURARIA, TIPO) VALUES ('000001', '00002', 'T')"
            << outra.arg("00002, tipo T");
        QTest::newRow("de outro tipo")
            << "INSERT INTO TINTUR (NUMERO, TINTURARIA, TIPO) VALUES ('000001', '00001', 'P')"
            << outra.arg("00001, tipo P");
    }

    void dyeingOrderRefusedWritesNothing() {
        BaseTinturaria();
        Envia({"1|F1|MM-30|AZUL|AZUL|", "2||MM-30|AZUL|AZUL|", "3|F1||AZUL|AZUL|"});
        QFETCH(QString, antes);
        SqlCommit(antes);
        const QStringList tabelas{"TINTUR", "TINTUR_ITEN", "CADCORTI"}, gravado = Snapshot(tabelas);
        Abre("000001", true);
        QTEST(GeraTinturaria(), "mensagem");
        QCOMPARE(Snapshot(tabelas), gravado);
    }

    // Two lots of one sheet and product are two lines, a product without undyed counterpart or unknown is
    // "A DEFINIR"; rows lacking the sheet, the product or the customer's colour are left out. The map: a new
    // colour (priced again by its later line), one priced again (kept by a line without a recipe), one
    // without a recipe kept. A rerun adds only what is new.
    void dyeingOrderLinesCostsAndColourMap() {
        BaseTinturaria();
        InsertCommit("CADCORTI (CODCLI, COR, COR1, CUSTO)",
                     {"'00001', 'MARINHO', 'AZUL', 1", "'00001', 'VERDECLI', 'VERDE', 7.7"});
        Envia({"1|F1|MM-30|AZUL ROYAL DO CLIENTE|AZUL|EST1", "2|F1|MM-30|MARINHO|AZUL|",
               "3|F2|MM-40|VERDECLI|VERDE|EST1", "4||MM-30|MARINHO|AZUL|", "5|F2||MARINHO|AZUL|",
               "6|F2|MM-30|MARINHO||", "7|F3|ZZ-99|AZUL ROYAL DE NOVO|AZUL|"});
        Abre("000001", true);
        QCOMPARE(GeraTinturaria(), Gerada(5));
        QCOMPARE(Seen("SELECT DATR, DATS, NUMERO, PERIODO, TINTURARIA, TIPO FROM TINTUR"),
                 "18/11/2026|10/12/2026|000001|0000|00001|T");
        const QString linhas =
            "SELECT ORDEM, FICHA, CODIGO2, CODIGO, COR, CORT, PRECO, CUSTO FROM TINTUR_ITEN "
            "ORDER BY ORDEM";
        QCOMPARE(
            RowsSeenByOthers(linhas),
            QStringList({"1|F1|MM-30|CRU-30|AZUL R|AZUL|13.75|3.5", "2|F1|MM-30|CRU-30|MARINH|AZUL|13.75|3.1",
                         "3|F2|MM-40|A DEFINIR|VERDEC|VERDE|0|0", "6|F2|MM-30|CRU-30|MARINH||13.75|0",
                         "7|F3|ZZ-99|A DEFINIR|AZUL R|AZUL|0|3.1"}));
        QCOMPARE(
            Seen("SELECT FLUXO, CUSTO_FLUXO, DEPOSITO, GRAMATURA, LARGURA, NUMERO, PESO_BRUTO, PESO_LIQUIDO, "
                 "PESO_RETORNO, ROLOS, PECAS, SITUACAO, LOTE, OBS, PESO_BAIXADO FROM TINTUR_ITEN WHERE ORDEM "
                 "= 1"),
            "01|0.85|0001|180|1.8|000001|122|120.5|0|3|3|A|LOTE-1|000007 OBS 1|0");
        const QString mapa = "SELECT COR, COR1, CUSTO, TIPO FROM CADCORTI ORDER BY COR";
        QCOMPARE(RowsSeenByOthers(mapa),
                 QStringList({"AZUL ROYAL|AZUL|3.1|T", "MARINHO|AZUL|3.1|", "VERDECLI|VERDE|7.7|"}));

        ByOther("UPDATE TNG_PROG SET CODIGO_CLI = 'MM-30' WHERE ORDEM = 5");
        Abre("000001", true);
        QCOMPARE(GeraTinturaria(), Gerada(1));
        QCOMPARE(GeraTinturaria(), Gerada(0));
        QCOMPARE(Seen("SELECT COUNT(*) FROM TINTUR") + '|' +
                     Seen("SELECT ORDEM FROM TINTUR_ITEN ORDER BY ORDEM"),
                 "1|1;2;3;5;6;7");
    }

    // The second line fails (a trigger of the test): neither the header, the first line nor the map stays;
    // mended, the order goes through whole.
    void dyeingOrderFailureLeavesNothing() {
        BaseTinturaria();
        Envia({"1|F1|MM-30|AZUL|AZUL|", "2|F1|MM-30|MARINHO|AZUL|"});
        FailWhen("TINTUR_ITEN", "BEFORE INSERT", "NEW.ORDEM = 2");
        Abre("000001", true);
        driver->Menu("GeraTinturaria");
        QVERIFY2(Errors().contains("falha forçada"), qPrintable(messages.Texts().join('|')));
        const QString escritas =
            "SELECT (SELECT COUNT(*) FROM TINTUR) + (SELECT COUNT(*) FROM TINTUR_ITEN) + "
            "(SELECT COUNT(*) FROM CADCORTI) FROM RDB$DATABASE";
        QCOMPARE(Seen(escritas) + '|' + Scalar(escritas).toString(), "0|0");
        StopFailing();
        messages.Clear();
        QCOMPARE(GeraTinturaria(), Gerada(2));
        QCOMPARE(Seen(escritas), "5");
    }

    // Written from the stored programme: a changed grid asks first, No writes nothing, Yes saves (the
    // delivery date the order takes) and writes. Rows ticked are no change; a sheet's row changed is not
    // saved by the programme, so the order waits. Only a stored programme writes one.
    void dyeingOrderOfAChangedGridAsksFirst() {
        BaseTinturaria();
        Envia({"1|F1|MM-30|AZUL|AZUL|", "2||MM-30|AZUL|AZUL|"});
        Nova("00001", true);
        QVERIFY(!driver->MenuEnabled("GeraTinturaria"));
        Abre("000001");
        QVERIFY(driver->MenuEnabled("GeraTinturaria"));
        driver->Type("EdtEntrega", "24/12/2026");
        driver->Focus("EdtEntrada");
        const QString pergunta =
            "A programação foi alterada. Deseja gravá-la antes de gerar a ordem de tinturaria?";
        QCOMPARE(GeraTinturaria(false) + '|' + Seen("SELECT COUNT(*) FROM TINTUR"), pergunta + "|0");
        QCOMPARE(GeraTinturaria(true), pergunta + '|' + Gerada(1));
        QCOMPARE(Seen("SELECT ORDEM, ENTREGA FROM TNG_PROG ORDER BY ORDEM") + '|' +
                     Seen("SELECT DATS FROM TINTUR"),
                 "1|10/12/2026;2|24/12/2026|24/12/2026");

        Tick("DBGrid1", 0, "Gerar");
        QCOMPARE(GeraTinturaria(), Gerada(0));
        Linha(LinhaDaOrdem(1), {{"Peso", "99"}});
        QCOMPARE(GeraTinturaria(true),
                 pergunta + "|A programação ainda difere da gravada: itens com FAL mudam por "
                            "\"Atualizar FAL\". Atualize as FALs ou reabra a programação antes de "
                            "gerar a ordem de tinturaria.");
        QCOMPARE(Seen("SELECT PESO FROM TNG_PROG WHERE ORDEM = 1") + '|' +
                     Seen("SELECT COUNT(*) FROM TINTUR_ITEN"),
                 "120.5|1");
    }

    // ---- the information board
    // The standard is "key:text,..."; each stored row "key:text"; the rows they fill.
    void storedRowsGoToTheirOwnFieldFirst() {
        const auto destino = [](const QString& padrao, const QString& gravados) {
            const auto campos = [](const QString& lista) {
                QList<CampoQuadro> lidos;
                for (const QString& campo : lista.split(','))
                    lidos.append({campo.section(':', 0, 0), campo.section(':', 1)});
                return lidos;
            };
            QStringList linhas;
            for (const int linha : CasaCamposGravados(campos(padrao), campos(gravados)))
                linhas << QString::number(linha);
            return linhas.join(',');
        };
        QCOMPARE(destino("1:A,2:B,3:A", "1:A,3:A"), "0,2");
        QCOMPARE(destino("1:A,2:B,3:A", "9:A,1:A"), "2,0"); // its own key after a text match
        QCOMPARE(destino("1:A,2:B", "7:B"), "1");           // renumbered
        QCOMPARE(destino("1:A", "1:Z,2:Z"), "-1,-1");       // no longer standard
        QCOMPARE(destino("1:A,2:B", "1:B"), "1");           // the text changed under the key
        QCOMPARE(destino("1:A", "1:A,2:A"), "0,-1");        // more stored than standard
    }

    void roundTripWithTwoFieldsOfOneTextAndQuotes() {
        BaseQuadro();
        AbreQuadro("00001");
        Preenche(0, "RESULTADO", "160 g/m² 'penteado'");
        Preenche(2, "RESULTADO", "4");
        Preenche(3, "OBSERVACAO", "só no acabamento");
        // Enter goes on to the next cell, taking what is typed.
        driver->Row("SgQuadro", 4);
        GradeQuadro()->SelectField("RESULTADO");
        driver->Press("F2");
        QTest::keyClicks(QApplication::focusWidget(), "macio");
        driver->Press("Enter");
        QCOMPARE(GradeQuadro()->SelectedField(), "OBSERVACAO");
        driver->Type("MmObservacao", "Amostra d'água antes da expedição");
        QCOMPARE(ClickMessages("btnConfirmar"), "Informações gravadas com sucesso.");
        const QString memo = QStringLiteral("|Amostra d'água antes da expedição|1");
        const QStringList gravado = {"001|Gramatura|TECIDO|160 g/m² 'penteado'|" + memo,
                                     "002|Largura|TECIDO||" + memo, "003|Solidez|TINGIMENTO|4|" + memo,
                                     "004|Solidez|ACABAMENTO||só no acabamento" + memo,
                                     "005|Toque|ACABAMENTO|macio|" + memo};
        QCOMPARE(Quadro(), gravado);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM OF2 WHERE DATA = CURRENT_DATE").toInt(), 5);

        // The programme's way in: the board open comes back to the sheet asked for.
        QWidget* aberto = driver->Screen();
        QCOMPARE(AbreQuadroInformacoes("000101", "00005"), aberto);
        QCOMPARE(Valores(), "|;|;|;|;|");
        driver->Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!fmTngProgInf);
        driver->Use(AbreQuadroInformacoes("000101", "00001"));
        QCOMPARE(driver->Text("EdtCodCli"), "00001");
        QCOMPARE(Valores(), "160 g/m² 'penteado'|;|;4|;|só no acabamento;macio|");
        QCOMPARE(driver->Text("MmObservacao"), "Amostra d'água antes da expedição");
        driver->Click("btnConfirmar");
        QCOMPARE(Quadro(), gravado);
    }

    void fieldNoLongerStandardIsDroppedAndAnImportWaitsForTheConfirmation() {
        BaseQuadro();
        GuardaQuadro("00001", "001", "Gramatura", "160");
        GuardaQuadro("00001", "099", "Antigo", "x");
        GuardaQuadro("00001", "009", "Toque", "macio"); // the field renumbered since
        AbreQuadro("00001");
        QCOMPARE(Valores(), "160|;|;|;|;macio|");
        QCOMPARE(driver->Text("MmObservacao"), "memo de 00001");
        // Longer than its column: refused before anything is written.
        const QStringList antes = Quadro();
        Preenche(1, "RESULTADO", QString(101, 'x'));
        QCOMPARE(ClickMessages("btnConfirmar"), "Resultados de \"Largura\" com mais de 100 caracteres.");
        QCOMPARE(Quadro(), antes);
        Preenche(1, "RESULTADO", "");
        QCOMPARE(ClickMessages("btnConfirmar"), "Informações gravadas com sucesso.");
        QStringList movs;
        for (const QString& linha : Quadro())
            movs << linha.section('|', 0, 1) + '|' + linha.section('|', 3, 3);
        QCOMPARE(movs, QStringList({"001|Gramatura|160", "002|Largura|", "003|Solidez|", "004|Solidez|",
                                    "005|Toque|macio"}));

        // An import writes nothing until confirmed.
        GuardaQuadro("00002", "003", "Solidez", "5");
        GuardaQuadro("00002", "004", "Solidez", "4-5");
        const QStringList origem = Quadro("00002"), salvo = Quadro();
        Preenche(0, "RESULTADO", "digitado");
        messages.inputs.enqueue(QVariant()); // cancelled
        messages.inputs.enqueue("77777");
        driver->Click("BtnImportar");
        driver->Click("BtnImportar");
        QCOMPARE(TakeShown(), "Código do cliente|Código do cliente|Cliente Inexistente.");
        QCOMPARE(Valores(), "digitado|;|;|;|;macio|");

        messages.inputs.enqueue("00002");
        driver->Click("BtnImportar");
        QCOMPARE(Valores(), "|;|;5|;4-5|;|");
        QCOMPARE(Texts({"MmObservacao", "EdtCodCli"}), "memo de 00002|00001");
        QCOMPARE(Quadro(), salvo);
        driver->Click("btnConfirmar");
        const QStringList copia = Quadro();
        QCOMPARE(copia.size(), 5);
        QCOMPARE(copia[3], "004|Solidez|ACABAMENTO|4-5||memo de 00002|1");
        QCOMPARE(Quadro("00002"), origem);

        // A customer without a sheet brings the empty standard sheet.
        messages.inputs.enqueue("00005");
        driver->Click("BtnImportar");
        QCOMPARE(Valores(), "|;|;|;|;|");
        QCOMPARE(driver->Text("MmObservacao"), QString());
    }

    // The last insert fails after fifty rows have gone in a block of their own: nothing of it stays.
    void failedLastInsertKeepsTheStoredSheet() {
        BaseQuadro();
        for (int codigo = 100; codigo < 160; ++codigo)
            Insert("OFPADRAO (CODIGO, DESCRICAO, CAMPO)",
                   {QStringLiteral("'%1', 'EXTRA', 'Campo %1'").arg(codigo)});
        GuardaQuadro("00001", "001", "Gramatura", "160");
        GuardaQuadro("00001", "003", "Solidez", "4");
        FailWhen("OF2", "BEFORE INSERT", "NEW.MOV = '159'");
        const QStringList antes = Quadro();
        AbreQuadro("00001");
        QCOMPARE(driver->Rows("SgQuadro"), 65);
        Preenche(0, "RESULTADO", "170");
        driver->Click("btnConfirmar");
        QCOMPARE(messages.shown.last().icon, MsgIcon::Error);
        QCOMPARE(Quadro(), antes);
        driver->Row("SgQuadro", 0);
        QCOMPARE(driver->Value("SgQuadro", "RESULTADO"), "170"); // still on screen to try again
    }

    // Shortcuts act without leaving the boxes: the save checks the codes itself.
    void blankUnknownOrBlockedCodesAreRefused() {
        BaseQuadro();
        GuardaQuadro("00001", "001", "Gramatura", "160");
        const QStringList antes = Quadro();
        driver->Open("TfmTngProgInf");
        const struct {
            const char *box, *typed, *text;
        } casos[] = {
            {"EdtCodCli", "", "Cliente inválido."},
            {"EdtCodCli", "00001", "Produto inválido."},
            {"EdtCodPro", "XYZ", "Produto Inexistente."},
            {"EdtCodPro", "000101",
             "Nenhuma especificação para gravar."}, // never loaded: nothing to wipe with
            {"EdtCodCli", "00003", "Cliente Bloqueado."},
            {"EdtCodCli", "77777", "Cliente Inexistente."},
        };
        for (const auto& caso : casos) {
            driver->Get<QLineEdit>(caso.box)->setText(caso.typed);
            messages.Clear();
            driver->Activate("btnConfirmar");
            QCOMPARE(TakeMessages(), caso.text);
            QCOMPARE(Quadro(), antes);
        }
        // Leaving the customer's box checks it.
        for (const auto& [codigo, texto] :
             {std::pair{"99999", "Cliente Inexistente."}, std::pair{"00003", "Cliente Bloqueado."},
              std::pair{"00004", "Cliente Inativo."}}) {
            messages.Clear();
            TypeAndTab("EdtCodCli", codigo);
            QCOMPARE(TakeMessages() + '|' + driver->FocusedName(), QString::fromUtf8(texto) + "|EdtCodCli");
        }
        // A blank box opens the look-up, which lists neither blocked nor inactive customers.
        driver->Type("EdtCodCli", "");
        messages.searches.enqueue("00003");
        driver->Press("Tab");
        QCOMPARE(driver->Text("EdtCodCli"), QString());
        QCOMPARE(driver->FocusedName(), "EdtCodPro");
        driver->Focus("EdtCodCli");
        messages.searches.enqueue("00002"); // BLOQUEIO never filled
        driver->Press("Tab");
        QCOMPARE(driver->Text("EdtNomeCli"), "TECELAGEM D'ÁVILA");
        TypeAndTab("EdtCodPro", "ZZZ");
        QCOMPARE(TakeMessages() + '|' + driver->FocusedName(), "Produto Inexistente.|EdtCodPro");
    }
};

QTEST_MAIN(TstTngProg)
#include "tst_tngprog.moc"
