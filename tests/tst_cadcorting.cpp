// The colour registry, driven as a user would: defaults and code proposal of a new colour, its checks,
// the code boxes of group, fiscal class and tax code (typed, refused, looked up), the delete guard, the
// alteration audit text, the display colour (named, stored outside the list, picked in the colour dialog)
// and the picture kept per colour code.
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QApplication>
#include <QComboBox>
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
    QColor Shown() { return driver->Find("PnCor")->palette().color(QPalette::Window); }
    void FiscalTables() {
        Sql("INSERT INTO GRUPO_COR (CODIGO, DESCRICAO) VALUES ('0001', 'CLARAS')");
        Sql("INSERT INTO GRUPO_COR (CODIGO, DESCRICAO) VALUES ('0002', 'ESCURAS')");
        Sql("INSERT INTO TABFIS (CODIGO, DESCRICAO, PADRAO) VALUES ('001', 'MALHA CRUA', 'S')");
        Sql("INSERT INTO TABFIS (CODIGO, DESCRICAO, PADRAO) VALUES ('002', 'MALHA TINTA', 'N')");
        Sql("INSERT INTO TABTRI (CODIGO, DESCRICAO) VALUES ('000', 'TRIBUTADA INTEGRALMENTE')");
        Sql("INSERT INTO TABTRI (CODIGO, DESCRICAO) VALUES ('040', 'ISENTA')");
    }

    // The colour the last colour dialog started from.
    QColor DialogInitial() const {
        for (auto it = messages.shown.crbegin(); it != messages.shown.crend(); ++it)
            if (it->kind == QLatin1String("color"))
                return QColor(it->text);
        return {};
    }
    int DialogsShown() const {
        return int(std::count_if(messages.shown.cbegin(), messages.shown.cend(),
                                 [](const auto& m) { return m.kind == QLatin1String("color"); }));
    }

private slots:
    void initTestCase();
    void newColourTakesDefaultsAndProposedCode();
    void confirmChecksDescriptionAndCustomer();
    void codesAreTypedCheckedAndLookedUp();
    void confirmRefusesCodesThatDoNotExist();
    void usedColourCannotBeDeleted();
    void alterationStoresDisplayColourAndLogs();
    void storedColourOutsideTheListShowsAsItself();
    void colourPickedInTheDialogIsStoredAsANumber();
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
    QCOMPARE(driver->Text("EdtCodGrupo"), QStringLiteral("0001"));
    QCOMPARE(driver->Text("EdtDesGrupo"), QStringLiteral("CLARAS"));
    QCOMPARE(driver->Text("EdtClaFis"), QStringLiteral("002"));
    QCOMPARE(driver->Text("EdtDesClaFis"), QStringLiteral("MALHA TINTA"));
    QCOMPARE(driver->Text("EdtClaTrib"), QString());
    QCOMPARE(driver->Text("EdtDesClaTrib"), QString());
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

void TstCadCorTing::codesAreTypedCheckedAndLookedUp() {
    FiscalTables();
    db->Transaction()->CommitRetaining();
    driver->Open("TFmCadCorTing");
    driver->Click("BtIncluir");
    driver->Type("EdtCodigo", "0000000001");
    driver->Type("EdtDescricao", "GRAFITE");

    driver->Type("EdtCodGrupo", "0009");
    QCOMPARE(driver->Text("EdtDesGrupo"), QString());
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), QStringLiteral("Grupo inválido."));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtCodGrupo"));
    driver->Type("EdtCodGrupo", "0002");
    QCOMPARE(driver->Text("EdtDesGrupo"), QStringLiteral("ESCURAS"));
    messages.Clear();
    driver->Press("Tab");
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtClaFis")); // the look-up buttons take no Tab stop

    driver->Type("EdtClaFis", "999");
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), QStringLiteral("Classificação fiscal inválida."));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtClaFis"));
    messages.Clear();
    messages.searches.enqueue("002");
    driver->Press("F4");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.last().kind, QStringLiteral("search"));
    QCOMPARE(messages.shown.last().title, QStringLiteral("Classificações Fiscais"));
    QCOMPARE(messages.shown.last().text, QStringLiteral("TABFIS"));
    QCOMPARE(driver->Text("EdtClaFis"), QStringLiteral("002"));
    QCOMPARE(driver->Text("EdtDesClaFis"), QStringLiteral("MALHA TINTA"));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtClaFis"));
    driver->Press("Tab");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtClaTrib"));

    driver->Type("EdtClaTrib", "999");
    driver->Press("Tab");
    QCOMPARE(messages.LastText(), QStringLiteral("Situação tributária inválida."));
    QCOMPARE(driver->FocusedName(), QStringLiteral("EdtClaTrib"));
    messages.Clear();
    messages.searches.enqueue("040");
    driver->Click("PqClaTrib");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.last().title, QStringLiteral("Situações Tributárias"));
    QCOMPARE(driver->Text("EdtClaTrib"), QStringLiteral("040"));
    QCOMPARE(driver->Text("EdtDesClaTrib"), QStringLiteral("ISENTA"));

    // A cancelled look-up leaves the code as it was.
    messages.searches.enqueue("");
    driver->Press("F4", "EdtCodGrupo");
    QCOMPARE(messages.shown.last().title, QStringLiteral("Grupos de Cores"));
    QCOMPARE(messages.shown.last().text, QStringLiteral("GRUPO_COR"));
    QCOMPARE(driver->Text("EdtCodGrupo"), QStringLiteral("0002"));
    messages.searches.enqueue("0001");
    driver->Click("PqGrupo");
    QCOMPARE(driver->Text("EdtDesGrupo"), QStringLiteral("CLARAS"));

    driver->Click("SbConfirmar");
    QCOMPARE(messages.Texts(), QStringList());
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COD_GRUPO = '0001' AND COD_CLAFIS = '002' "
                                "AND COD_CLATRIB = '040'"),
             1);

    // While browsing the boxes show the record's codes and descriptions.
    driver->Click("sbPrimeiro");
    QCOMPARE(driver->Text("EdtCodGrupo"), QStringLiteral("0001"));
    QCOMPARE(driver->Text("EdtDesClaTrib"), QStringLiteral("ISENTA"));
    QVERIFY(!driver->Enabled("EdtCodGrupo"));
}

void TstCadCorTing::confirmRefusesCodesThatDoNotExist() {
    FiscalTables();
    Sql("INSERT INTO CADCORTIN (CODIGO, DESCRICAO, COD_GRUPO, COD_CLAFIS, COD_CLATRIB, TON) "
        "VALUES ('0000000001', 'CINZA', '0001', '001', '000', 'Clara')");
    db->Transaction()->CommitRetaining();
    driver->Open("TFmCadCorTing");
    const struct {
        const char *box, *wrong, *right, *text;
    } cases[] = {
        {"EdtCodGrupo", "0009", "0002", "Grupo inválido."},
        {"EdtClaFis", "009", "002", "Classificação fiscal inválida."},
        {"EdtClaTrib", "009", "040", "Situação tributária inválida."},
    };
    driver->Click("BtnAltera");
    for (const auto& c : cases) {
        driver->Type(c.box, c.wrong);
        messages.Clear();
        driver->Activate("SbConfirmar"); // the shortcut confirms without leaving the box
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8(c.text)});
        QCOMPARE(driver->FocusedName(), QString::fromLatin1(c.box));
        QVERIFY(driver->Visible("PainelConfirma"));
        QCOMPARE(Count("CADCORTIN", "COD_GRUPO = '0001' AND COD_CLAFIS = '001' AND COD_CLATRIB = '000'"), 1);
        driver->Type(c.box, c.right);
    }
    // An empty code is no code: allowed.
    driver->Type("EdtClaTrib", "");
    messages.Clear();
    driver->Activate("SbConfirmar");
    QCOMPARE(messages.Texts(), QStringList());
    QCOMPARE(Count("CADCORTIN", "COD_GRUPO = '0002' AND COD_CLAFIS = '002' AND "
                                "(COD_CLATRIB IS NULL OR COD_CLATRIB = '')"),
             1);
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
    QCOMPARE(Shown(), QColor(0x00, 0x00, 0x80));
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

void TstCadCorTing::storedColourOutsideTheListShowsAsItself() {
    Sql("INSERT INTO CADCORTIN (CODIGO, DESCRICAO, COR_SIS, TON) VALUES ('0000000001', 'ANIL', 2003199, "
        "'Clara')");
    Sql("INSERT INTO CADCORTIN (CODIGO, DESCRICAO, COR_SIS, TON) VALUES ('0000000002', 'PRETO', 0, 'Clara')");
    db->Transaction()->CommitRetaining();
    driver->Open("TFmCadCorTing");
    auto* box = driver->Get<QComboBox>("CbCorSis");
    const int listed = box->count();
    QCOMPARE(driver->Text("CbCorSis"), QStringLiteral("#1E90FF"));
    QCOMPARE(box->itemIcon(box->currentIndex()).pixmap(16, 16).toImage().pixelColor(8, 8),
             QColor(0x1E, 0x90, 0xFF));
    QCOMPARE(Shown(), QColor(0x1E, 0x90, 0xFF));
    QCOMPARE(box->itemText(box->count() - 1), QStringLiteral("Outra cor..."));

    driver->Click("sbProximo"); // zero is black, not "no colour"
    QCOMPARE(driver->Text("CbCorSis"), QStringLiteral("Preto"));
    QCOMPARE(box->findText("#1E90FF"), -1);
    QCOMPARE(box->count(), listed - 1);

    // Saved again untouched, the colour stays what it was.
    driver->Click("sbPrimeiro");
    QCOMPARE(driver->Text("CbCorSis"), QStringLiteral("#1E90FF"));
    driver->Click("BtnAltera");
    driver->Type("EdtDescricao", "ANIL CLARO");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND DESCRICAO = 'ANIL CLARO' AND COR_SIS = 2003199"),
             1);

    // Chosen from the list instead, it leaves the list as it was.
    driver->Click("BtnAltera");
    driver->Select("CbCorSis", "Nenhuma");
    QCOMPARE(box->count(), listed - 1);
    QCOMPARE(Shown(), driver->Find("PainelImagem")->palette().color(QPalette::Window)); // no colour
    driver->Click("SbConfirmar");
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COR_SIS IS NULL"), 1);
}

void TstCadCorTing::colourPickedInTheDialogIsStoredAsANumber() {
    Sql("INSERT INTO CADCORTIN (CODIGO, DESCRICAO, COR_SIS, TON) VALUES ('0000000001', 'MARINHO', 128, "
        "'Clara')");
    db->Transaction()->CommitRetaining();
    driver->Open("TFmCadCorTing");
    driver->Click("BtnAltera");

    // Cancelled, the stored colour stays.
    messages.colors.enqueue(QColor());
    driver->Select("CbCorSis", "Outra cor...");
    QCOMPARE(DialogsShown(), 1);
    QCOMPARE(DialogInitial(), QColor(0x00, 0x00, 0x80)); // the dialog starts from the colour shown
    QCOMPARE(driver->Text("CbCorSis"), QStringLiteral("Azul Marinho"));

    messages.colors.enqueue(QColor(0x12, 0x34, 0x56));
    driver->Select("CbCorSis", "Outra cor...");
    QCOMPARE(DialogsShown(), 2);
    QCOMPARE(driver->Text("CbCorSis"), QStringLiteral("#123456"));
    QCOMPARE(Shown(), QColor(0x12, 0x34, 0x56));
    messages.Clear();
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COR_SIS = 1193046"), 1); // 0x123456

    // A colour of the list picked in the dialog shows under its name.
    driver->Click("BtnAltera");
    messages.colors.enqueue(QColor(0xFF, 0x00, 0x00));
    driver->Select("CbCorSis", "Outra cor...");
    QCOMPARE(DialogInitial(), QColor(0x12, 0x34, 0x56));
    QCOMPARE(driver->Text("CbCorSis"), QStringLiteral("Vermelho"));
    QCOMPARE(driver->Get<QComboBox>("CbCorSis")->findText("#123456"), -1);
    driver->Click("SbConfirmar");
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COR_SIS = 16711680"), 1);
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
