// The colour registry, driven as a user would: defaults and code proposal of a new colour, its checks,
// the delete guard, the alteration audit text, the display colour and the picture kept per colour code.
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QDate>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TstCadCorTing : public ScreenTestCase {
    Q_OBJECT
    QTemporaryDir pictures;

    int Count(const QString& table, const QString& where = "1=1") {
        auto other = OpenSecond("kelm-test-check");
        return ScalarOn(*other, "SELECT COUNT(*) FROM " + table + " WHERE " + where).toInt();
    }
    QString LastLog() {
        return Scalar("SELECT TITULO || '|' || TEXTO || '|' || TIPO || '|' || CHAVE FROM LOG "
                      "ORDER BY ID DESC ROWS 1")
            .toString();
    }
    void Colour(const QString& code, const QString& description) {
        Sql(QStringLiteral("INSERT INTO CADCORTIN (CODIGO, DESCRICAO, TON) VALUES ('%1', '%2', 'Clara')")
                .arg(code, description));
    }
    void SavePicture(const QString& path, Qt::GlobalColor color) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(color);
        QVERIFY(image.save(path));
    }
    bool HasPicture() { return !driver->Get<QLabel>("ImgCor")->pixmap().isNull(); }

private slots:
    void initTestCase();
    void newColourTakesDefaultsAndProposedCode();
    void confirmChecksDescriptionAndCustomer();
    void usedColourCannotBeDeleted();
    void alterationStoresDisplayColourAndLogs();
    void pictureFollowsTheColourCode();
};

void TstCadCorTing::initTestCase() {
    ScreenTestCase::initTestCase();
    QVERIFY(pictures.isValid());
    const QString ini = pictures.filePath("kelm.ini");
    QFile file(ini);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[Caminho]\npath=%1\n").arg(pictures.path()).toUtf8());
    file.close();
    qputenv("KELM_INI", ini.toUtf8());
    QVERIFY(QDir().mkpath(pictures.filePath("Cores")));
}

void TstCadCorTing::newColourTakesDefaultsAndProposedCode() {
    Sql("INSERT INTO GRUPO_COR (CODIGO, DESCRICAO) VALUES ('0002', 'ESCURAS')");
    Sql("INSERT INTO GRUPO_COR (CODIGO, DESCRICAO) VALUES ('0001', 'CLARAS')");
    Sql("INSERT INTO TABFIS (CODIGO, DESCRICAO, PADRAO) VALUES ('001', 'MALHA CRUA', 'N')");
    Sql("INSERT INTO TABFIS (CODIGO, DESCRICAO, PADRAO) VALUES ('002', 'MALHA TINTA', 'S')");
    Colour("0000000001", "BRANCO");
    db->Transaction()->CommitRetaining();
    driver->Open("TFmCadCorTing");
    driver->Click("BtIncluir");
    QCOMPARE(driver->Text("CbGrupo"), QStringLiteral("0001 - CLARAS"));
    QCOMPARE(driver->Text("CbClaFis"), QStringLiteral("002 - MALHA TINTA"));
    QCOMPARE(driver->Text("EdtData"), QDate::currentDate().toString("dd/MM/yyyy"));
    QCOMPARE(driver->Text("RbClara"), QStringLiteral("Clara"));
    QVERIFY(driver->Get<QAbstractButton>("RbClara")->isChecked());
    QVERIFY(!driver->Enabled("BtImagem")); // a picture waits for the colour to exist
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodigo"));
    driver->Press("Enter"); // Enter leaves the box as Tab does
    QCOMPARE(driver->Text("EdtCodigo"), QStringLiteral("0000000002"));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtData"));
    driver->Type("EdtDescricao", "Azul D'Ávila");
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(Count("CADCORTIN",
                   "CODIGO = '0000000002' AND DESCRICAO = 'Azul D''Ávila' AND COD_GRUPO = '0001' "
                   "AND COD_CLAFIS = '002' AND TON = 'Clara' AND DATA = CURRENT_DATE "
                   "AND TINGIR = 'S' AND REATIVA = 'N' AND COR_SIS IS NULL"),
             1);
}

void TstCadCorTing::confirmChecksDescriptionAndCustomer() {
    Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00001', 'MALHARIA SANTA CATARINA')");
    Colour("0000000001", "BRANCO");
    db->Transaction()->CommitRetaining();
    driver->Open("TFmCadCorTing");
    driver->Click("BtIncluir");
    driver->Type("EdtCodigo", "0000000002");
    driver->Type("EdtDescricao", "   ");
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), QStringLiteral("Descrição inválida."));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtDescricao"));
    driver->Type("EdtDescricao", "");
    driver->Click("SbConfirmar"); // confirming does not let a blank description through
    QCOMPARE(messages.LastText(), QStringLiteral("Descrição inválida."));
    driver->Type("EdtDescricao", "Cliente");
    driver->Type("EdtCodCli", "99999");
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), QStringLiteral("Cliente inválido."));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodCli"));
    messages.Clear();
    driver->Click("SbConfirmar"); // nor a wrong customer
    QCOMPARE(messages.LastText(), QStringLiteral("Cliente inválido."));
    QCOMPARE(Count("CADCORTIN"), 1);
    driver->Type("EdtCodCli", "00001");
    QCOMPARE(driver->Text("EdtNomeCli"), QStringLiteral("MALHARIA SANTA CATARINA"));
    driver->Click("SbConfirmar");
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000002' AND CODCLI = '00001'"), 1);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 1);
}

void TstCadCorTing::usedColourCannotBeDeleted() {
    Colour("0000000001", "USADA EM FAL");
    Colour("0000000002", "USADA EM RECEITA");
    Colour("0000000003", "LIVRE");
    Sql("INSERT INTO FAL (NUMERO, COR) VALUES ('1000', '0000000001')");
    Sql("INSERT INTO RECEITA (CODIGO, VARIANTE, COR) VALUES ('0001', '01', '0000000002')");
    db->Transaction()->CommitRetaining();
    driver->Open("TFmCadCorTing");
    for (int used = 0; used < 2; ++used) {
        messages.Clear();
        driver->Click("BtExcluir");
        QCOMPARE(messages.shown.size(), 1); // no question follows
        QCOMPARE(messages.LastText(), QStringLiteral("Cor está sendo utilizada."));
        driver->Click("sbProximo");
    }
    QCOMPARE(Count("CADCORTIN"), 3);
    QCOMPARE(Scalar("SELECT COUNT(*) FROM LOG").toInt(), 0);

    messages.questions.enqueue(true);
    driver->Click("BtExcluir");
    QCOMPARE(messages.shown.last().text, QStringLiteral("Deseja eliminar este Registro?"));
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000003'"), 0);
}

void TstCadCorTing::alterationStoresDisplayColourAndLogs() {
    Colour("0000000001", "MARINHO");
    db->Transaction()->CommitRetaining();
    driver->Open("TFmCadCorTing");
    QCOMPARE(driver->Text("CbCorSis"), QStringLiteral("Nenhuma"));
    driver->Click("BtnAltera");
    QVERIFY(!driver->Enabled("EdtCodigo"));
    driver->Select("CbCorSis", "Azul Marinho");
    QCOMPARE(driver->Find("PnCor")->palette().color(QPalette::Window), QColor(0x00, 0x00, 0x80));
    driver->Click("RbEscura");
    driver->Select("CbOrigem", "0 - Nacional ");
    driver->Type("EdtData", "01022024");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COR_SIS = 128 AND TON = 'Escura' "
                                "AND ORIGEM = '0 - Nacional ' AND DATA = '2024-02-01'"),
             1);
    QCOMPARE(
        LastLog(),
        QStringLiteral("CADASTRO DE COR TINGIMENTO|ALTERACAO DA COR: 0000000001 - MARINHO|1|0000000001"));
}

void TstCadCorTing::pictureFollowsTheColourCode() {
    Colour("0000000001", "COM IMAGEM");
    Colour("0000000002", "SEM IMAGEM");
    db->Transaction()->CommitRetaining();
    SavePicture(pictures.filePath("Cores/0000000001.png"), Qt::red);
    driver->Open("TFmCadCorTing");
    QVERIFY(HasPicture());
    auto* picture = driver->Get<QLabel>("ImgCor");
    QCOMPARE(picture->size(), QSize(114, 114));
    QTest::mouseDClick(picture, Qt::LeftButton);
    QCOMPARE(picture->size(), QSize(340, 315));
    QTest::mouseDClick(driver->Find("PnCor"), Qt::LeftButton);
    QCOMPARE(picture->size(), QSize(114, 114));

    driver->Click("sbProximo");
    QVERIFY(!HasPicture());
    QVERIFY(messages.shown.isEmpty());

    const QString source = pictures.filePath("escolhida.png");
    SavePicture(source, Qt::blue);
    messages.files.enqueue(source);
    driver->Click("BtImagem");
    QVERIFY(HasPicture());
    QVERIFY(QFile::exists(pictures.filePath("Cores/0000000002.png")));
    driver->Click("sbPrimeiro");
    driver->Click("sbProximo");
    QVERIFY(HasPicture());

    messages.files.enqueue(pictures.filePath("nao-existe.png"));
    driver->Click("BtImagem");
    QCOMPARE(messages.LastText(), QStringLiteral("Não foi possível gravar a imagem da cor."));
}

QTEST_MAIN(TstCadCorTing)
#include "tst_cadcorting.moc"
