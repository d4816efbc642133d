// Quality control: the dialog opened on its caller's sheet, a fabric blocked and released under the
// level-1 right, TIN 210, defects, the verdict (ORDEM 0) apart from the rolls, the pair found again at save,
// two workstations starting one verdict, and the printed sheet.
#include "Acesso.h"
#include "HostError.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QApplication>
#include <QComboBox>
#include <QTest>

namespace {
const QString kGravado = QStringLiteral("Informações gravadas com sucesso.");
const QString kVeredito = QStringLiteral(
    "SELECT FAL, CODIGO, APROVADO, DEFEITO, LARGURA, RESPONSSAVEL FROM CONTR_QUL WHERE ORDEM = 0 "
    "ORDER BY FAL, CODIGO");
const QString kRolo = QStringLiteral("SELECT * FROM CONTR_QUL WHERE ORDEM > 0");
} // namespace

class TstTngContrQul : public ScreenTestCase {
    Q_OBJECT
    // Sheet 000001 with fabrics 000101 and 000105, sheet 000002 with 000101 only; fabric 000101 of 000001
    // weighed in one roll by the label screen; two defects.
    void Base(const QString& parametro210 = "N") {
        Insert("ENTIDADE (CODCLI, NOME)", {"'00001', 'MALHARIA ESPERANCA'"});
        Insert("CADCORTIN (CODIGO, DESCRICAO)", {"'C1', 'AZUL ROYAL'"});
        Insert("DEFEITO (CODIGO, DESCRICAO)", {"'001', 'MANCHA'", "'002', 'BARRAMENTO'"});
        Insert("PRODUTO (CODIGO, DESCRICAO)", {"'000101', 'MEIA MALHA'", "'000105', 'RIBANA'"});
        Insert("FAL (NUMERO, CLIENTE, COR)", {"'000001', '00001', 'C1'", "'000002', '00001', 'C1'"});
        Insert("FAL_ITEN (FAL, CODIGO, ORD_IT)",
               {"'000001', '000101', 1", "'000001', '000105', 2", "'000002', '000101', 1"});
        Insert("CONTR_QUL (FAL, CODIGO, ORDEM, PESO_TINT, LARGURA)", {"'000001', '000101', 1, 52.5, 1.7"});
        InsertCommit("PARAMETROS (MODULO, NUMERO, VALOR)", {"'TIN', 210, '" + parametro210 + "'"});
    }
    void Abre(const QString& fal, const QString& produto) {
        driver->Close();
        driver->Open("TfmContrQul", {{"FAL", fal}});
        TypeAndTab("EdtCodPro", produto);
    }
    // The verdict typed: status, defect, width and who is responsible; then "Gravar", its messages.
    QString Grava(const QString& status, const QString& defeito = "", const QString& largura = "",
                  const QString& responsavel = "ANA") {
        driver->Select("CbStatus", status);
        driver->Type("EdtDefeito", defeito);
        driver->Type("EdtLargura", largura);
        driver->Type("EdtResponsavel", responsavel);
        return ClickMessages("BtnGravar");
    }
    QStringList Log() { return LogLines("CADASTRO DE QUALIDADE"); }
    static QString Linha(const QString& status, const QString& fal = "000001",
                         const QString& codigo = "000101") {
        return QStringLiteral("1|ALTERACAO DE QUALIDADE DA FAL %1 CODIGO %2 STATUS %3 RESPONS ANA")
            .arg(fal, codigo, status);
    }

private slots:
    // Both callers hand their sheet over: the dialog opens on it, the focus in the product box.
    void abreNaFalDeQuemChama_data() {
        QTest::addColumn<QString>("chamador");
        QTest::newRow("Qualidade") << "TFmCadFal";
        QTest::newRow("Apontar Qualidade") << "TfmTngMov";
    }
    void abreNaFalDeQuemChama() {
        QFETCH(QString, chamador);
        Base();
        driver->Open(chamador);
        if (chamador == u"TfmTngMov") {
            TypeAndTab("EdtFalMov", "1");
            driver->Menu("ApontarQualidade1");
        } else {
            driver->Find("EdtFal")->setProperty("text", "000001");
            driver->Click("BtnQualidade");
        }
        QWidget* tela = driver->Use("TfmContrQul");
        QCOMPARE(driver->Text("EdtFal"), QString("000001"));
        QVERIFY(tela->isVisible());
        QCOMPARE(driver->FocusedName(), QString("EdtCodPro"));
        TypeAndTab("EdtCodPro", "000105");
        QCOMPARE(driver->Text("EdtDesPro") + "|" + driver->Text("CbStatus"), QString("RIBANA|Liberado"));
    }

    // Blocked with its defect and results, one audit line; the roll of the same fabric stays as it was.
    void bloqueia() {
        Base();
        const QStringList rolo = RowsSeenByOthers(kRolo);
        Abre("000001", "000101");
        QCOMPARE(Grava("Bloqueado", "002", "1,85"), kGravado);
        QCOMPARE(Seen(kVeredito), QString("000001|000101|N|002|1.85|ANA"));
        QCOMPARE(Log(), QStringList{Linha("BLOQUEADO")});
        QCOMPARE(RowsSeenByOthers(kRolo), rolo);
        QCOMPARE(driver->FocusedName(), QString("EdtCodPro"));
        // Opened again, the verdict shows, not the roll's measures.
        Abre("000001", "000101");
        QCOMPARE(Texts({"CbStatus", "EdtDefeito", "EdtDesDefeito", "EdtLargura"}),
                 QString("Bloqueado|002|BARRAMENTO|1,850"));
        // Blocking again needs no right; its own line.
        QCOMPARE(Grava("Bloqueado", "001"), kGravado);
        QCOMPARE(Seen(kVeredito), QString("000001|000101|N|001||ANA"));
        QCOMPARE(Log().size(), 2);
        QCOMPARE(RowsSeenByOthers(kRolo), rolo);
    }

    // Releasing a blocked fabric asks for the level-1 right: without it nothing changes, with it one line.
    void liberaComDireito_data() {
        QTest::addColumn<int>("nivel");
        QTest::addColumn<QString>("status");
        QTest::newRow("nível 0") << 0 << "N";
        QTest::newRow("nível 1") << 1 << "S";
    }
    void liberaComDireito() {
        QFETCH(int, nivel);
        QFETCH(QString, status);
        Base();
        SqlCommit("INSERT INTO CONTR_QUL (FAL, CODIGO, ORDEM, APROVADO, DEFEITO, RESPONSSAVEL) VALUES "
                  "('000001', '000101', 0, 'N', '001', 'LAB')");
        AddUser("002", "OPERADOR", "op", "NNS");
        Grant("002", "*");
        Grant("002", "TfmContrQul", "A", nivel);
        Commit();
        QVERIFY(Autentica("OPERADOR", "op"));
        const QStringList rolo = RowsSeenByOthers(kRolo);
        Abre("000001", "000101");
        messages.logins.enqueue({}); // no supervisor comes
        const QString mensagens = Grava("Liberado", "", "1,9");
        QCOMPARE(Seen("SELECT APROVADO, DEFEITO, LARGURA, RESPONSSAVEL FROM CONTR_QUL WHERE ORDEM = 0"),
                 status == u"S" ? QString("S||1.9|ANA") : QString("N|001||LAB"));
        QCOMPARE(Log(), status == u"S" ? QStringList{Linha("LIBERADO")} : QStringList());
        QCOMPARE(mensagens, status == u"S" ? kGravado : QString());
        QCOMPARE(RowsSeenByOthers(kRolo), rolo);
    }

    // TIN 210 completes a blank product from a sheet of one fabric only.
    void produtoEmBranco_data() {
        QTest::addColumn<QString>("parametro");
        QTest::addColumn<QString>("fal");
        QTest::addColumn<QString>("produto");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("foco");
        QTest::newRow("um produto") << "S"
                                    << "000002"
                                    << "000101"
                                    << ""
                                    << "CbStatus";
        QTest::newRow("dois produtos") << "S"
                                       << "000001"
                                       << ""
                                       << "Código inválido. Impossível continuar."
                                       << "EdtCodPro";
        QTest::newRow("sem o parâmetro") << "N"
                                         << "000002"
                                         << ""
                                         << ""
                                         << "CbStatus";
    }
    void produtoEmBranco() {
        QFETCH(QString, parametro);
        QFETCH(QString, fal);
        QFETCH(QString, produto);
        QFETCH(QString, mensagem);
        QFETCH(QString, foco);
        Base(parametro);
        driver->Open("TfmContrQul", {{"FAL", fal}});
        driver->Press("Tab");
        QCOMPARE(TakeMessages(), mensagem);
        QCOMPARE(driver->Text("EdtCodPro"), produto);
        QCOMPARE(driver->FocusedName(), foco);
    }

    // Codes the tables do not hold are refused where they are typed, and at save nothing is written.
    void codigosRecusados_data() {
        QTest::addColumn<QString>("caixa");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("defeito") << "EdtDefeito"
                                 << "999"
                                 << "Defeito Inválido.";
        QTest::newRow("produto fora da FAL") << "EdtCodPro"
                                             << "000105"
                                             << "Código Inválido.";
        QTest::newRow("FAL") << "EdtFal"
                             << "777"
                             << "FAL Inválida.";
    }
    void codigosRecusados() {
        QFETCH(QString, caixa);
        QFETCH(QString, codigo);
        QFETCH(QString, mensagem);
        Base();
        Abre("000002", "000101");
        driver->Select("CbStatus", "Bloqueado");
        driver->Type(caixa, codigo);
        QCOMPARE(ClickMessages("BtnGravar"), mensagem);
        QCOMPARE(driver->FocusedName(), caixa);
        QCOMPARE(Seen(kVeredito), QString());
        QCOMPARE(Log(), QStringList());
    }

    // The boxes name the pair saved: a FAL changed after loading writes that sheet's verdict and leaves the
    // loaded one; a fabric taken off the sheet meanwhile is refused.
    void parEncontradoNaGravacao() {
        Base();
        SqlCommit("INSERT INTO CONTR_QUL (FAL, CODIGO, ORDEM, APROVADO) VALUES ('000001', '000101', 0, 'S')");
        Abre("000001", "000101");
        driver->Type("EdtFal", "2");
        QCOMPARE(Grava("Bloqueado"), kGravado);
        QCOMPARE(Seen(kVeredito), QString("000001|000101|S|||;000002|000101|N|||ANA"));
        QCOMPARE(Log(), QStringList{Linha("BLOQUEADO", "000002")});

        Abre("000001", "000105");
        ByOther("DELETE FROM FAL_ITEN WHERE CODIGO = '000105'");
        QCOMPARE(Grava("Bloqueado"), QString("Código Inválido."));
        QCOMPARE(Count("CONTR_QUL", "CODIGO = '000105'"), 0);
    }

    // Two workstations start the same verdict: the second is refused and writes nothing; loaded again it
    // changes the verdict the first one stored.
    void doisUsuariosNoMesmoPar() {
        Base();
        Abre("000001", "000105");
        auto outro = OpenSecond("kelm-test-other");
        SqlOn(*outro,
              "INSERT INTO CONTR_QUL (FAL, CODIGO, APROVADO, RESPONSSAVEL) VALUES ('000001', '000105', "
              "'S', 'BETO')");
        outro->Transaction()->CommitRetaining();
        QCOMPARE(
            Grava("Bloqueado"),
            QString("A qualidade deste item foi gravada por outro usuário. Recarregue e tente de novo."));
        QCOMPARE(Seen(kVeredito), QString("000001|000105|S|||BETO"));
        QCOMPARE(Log(), QStringList());
        // A second verdict of the pair the key never takes.
        QVERIFY_THROWS_EXCEPTION(
            EDatabaseError, SqlOn(*outro, "INSERT INTO CONTR_QUL (FAL, CODIGO) VALUES ('000001', '000105')"));
        outro->Transaction()->RollbackRetaining();
        driver->Focus("EdtCodPro");
        TypeAndTab("EdtCodPro", "000105");
        QCOMPARE(driver->Text("EdtResponsavel"), QString("BETO"));
        QCOMPARE(Grava("Bloqueado", "001"), kGravado);
        QCOMPARE(Seen(kVeredito), QString("000001|000105|N|001||ANA"));
    }

    // "WTngQul": the sheet's header, the fabric and the stored results.
    void imprime() {
        if (!CanReadPdf())
            QSKIP("pdftotext is not installed");
        ReportFolder relatorios;
        Base();
        Abre("000001", "000105");
        QCOMPARE(ClickMessages("BtnImprimir"), QString("Não há resultados gravados para este item."));
        driver->Type("EdtSolidLav", "4-5");
        QCOMPARE(Grava("Bloqueado", "001", "1,2"), kGravado);
        driver->Click("BtnImprimir");
        const QString texto = relatorios.Text("WTngQul.pdf").simplified();
        for (const char* parte :
             {"Controle de Qualidade", "FAL: 000001", "00001 - MALHARIA ESPERANCA", "C1 - AZUL ROYAL",
              "000105 - RIBANA", "Status Bloqueado", "Defeito 001 - MANCHA", "Largura 1,200",
              "Solidez na Lavagem 4-5", "Responsável ANA"})
            QVERIFY2(texto.contains(QString::fromUtf8(parte)), qPrintable(texto));
    }
};

QTEST_MAIN(TstTngContrQul)
#include "tst_tngcontrqul.moc"
