// The colour registry: code boxes refusing unknown codes, the display colour (stored outside the list, picked
// in the colour dialog) and the picture kept per colour code. The delete guard is in tst_registros.
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTest>

class TstCadCorTing : public ScreenTestCase {
    Q_OBJECT
    const SettingsFile pictures{"[Caminho]\npath=%1\n"};

    void Colour(const QString& code, const QString& description, const QString& colour = "NULL") {
        Sql(QStringLiteral("INSERT INTO CADCORTIN (CODIGO, DESCRICAO, COR_SIS, TON) VALUES ('%1', '%2', %3, "
                           "'Clara')")
                .arg(code, description, colour));
    }
    void SavePicture(const QString& path, Qt::GlobalColor color) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(color);
        QVERIFY(image.save(path));
    }
    bool HasPicture() { return !driver->Get<QLabel>("ImgCor")->pixmap().isNull(); }
    QColor Shown() { return driver->Find("PnCor")->palette().color(QPalette::Window); }
    // The colour the last colour dialog started from.
    QColor DialogInitial() const {
        for (auto it = messages.shown.crbegin(); it != messages.shown.crend(); ++it)
            if (it->kind == QLatin1String("color"))
                return QColor(it->text);
        return {};
    }

private slots:
    void initTestCase();
    void confirmRefusesCodesThatDoNotExist();
    void storedColourOutsideTheListShowsAsItself();
    void colourPickedInTheDialogIsStoredAsANumber();
    void pictureFollowsTheColourCode();
};

void TstCadCorTing::initTestCase() {
    ScreenTestCase::initTestCase();
    QVERIFY(QDir().mkpath(pictures.Path("Cores")));
}

void TstCadCorTing::confirmRefusesCodesThatDoNotExist() {
    Insert("GRUPO_COR (CODIGO, DESCRICAO)", {"'0001', 'CLARAS'", "'0002', 'ESCURAS'"});
    Insert("TABFIS (CODIGO, DESCRICAO, PADRAO)", {"'001', 'MALHA CRUA', 'S'", "'002', 'MALHA TINTA', 'N'"});
    Insert("TABTRI (CODIGO, DESCRICAO)", {"'000', 'TRIBUTADA INTEGRALMENTE'", "'040', 'ISENTA'"});
    Sql("INSERT INTO CADCORTIN (CODIGO, DESCRICAO, COD_GRUPO, COD_CLAFIS, COD_CLATRIB, TON) "
        "VALUES ('0000000001', 'CINZA', '0001', '001', '000', 'Clara')");
    Commit();
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
        driver->Press("Tab"); // leaving the box refuses it
        QCOMPARE(messages.LastText(), QString::fromUtf8(c.text));
        QCOMPARE(driver->FocusedName(), QString::fromLatin1(c.box));
        messages.Clear();
        driver->Activate("SbConfirmar"); // and so does the shortcut, without leaving it
        QCOMPARE(TakeMessages(), QString::fromUtf8(c.text));
        QVERIFY(driver->Visible("PainelConfirma"));
        QCOMPARE(Count("CADCORTIN", "COD_GRUPO = '0001' AND COD_CLAFIS = '001' AND COD_CLATRIB = '000'"), 1);
        driver->Type(c.box, c.right);
    }
    driver->Type("EdtClaTrib", ""); // an empty code is no code: allowed
    driver->Activate("SbConfirmar");
    QCOMPARE(TakeMessages(), QString());
    QCOMPARE(Count("CADCORTIN", "COD_GRUPO = '0002' AND COD_CLAFIS = '002' AND "
                                "(COD_CLATRIB IS NULL OR COD_CLATRIB = '')"),
             1);
}

void TstCadCorTing::storedColourOutsideTheListShowsAsItself() {
    Colour("0000000001", "ANIL", "2003199");
    Colour("0000000002", "PRETO", "0");
    Commit();
    driver->Open("TFmCadCorTing");
    auto* box = driver->Get<QComboBox>("CbCorSis");
    const int listed = box->count();
    QCOMPARE(driver->Text("CbCorSis"), "#1E90FF");
    QCOMPARE(Shown(), QColor(0x1E, 0x90, 0xFF));
    driver->Click("sbProximo"); // zero is black, not "no colour"
    QCOMPARE(driver->Text("CbCorSis"), "Preto");
    QCOMPARE(box->count(), listed - 1);

    driver->Click("sbPrimeiro"); // saved again untouched, the colour stays
    driver->Click("BtnAltera");
    driver->Type("EdtDescricao", "ANIL CLARO");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND DESCRICAO = 'ANIL CLARO' AND COR_SIS = 2003199"),
             1);
    driver->Click("BtnAltera");
    driver->Select("CbCorSis", "Nenhuma");
    QCOMPARE(box->count(), listed - 1);
    driver->Click("SbConfirmar");
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COR_SIS IS NULL"), 1);
}

void TstCadCorTing::colourPickedInTheDialogIsStoredAsANumber() {
    Colour("0000000001", "MARINHO", "128");
    Commit();
    driver->Open("TFmCadCorTing");
    driver->Click("BtnAltera");
    messages.colors.enqueue(QColor()); // cancelled, the stored colour stays
    driver->Select("CbCorSis", "Outra cor...");
    QCOMPARE(DialogInitial(), QColor(0x00, 0x00, 0x80)); // starting from the colour shown
    QCOMPARE(driver->Text("CbCorSis"), "Azul Marinho");

    messages.colors.enqueue(QColor(0x12, 0x34, 0x56));
    driver->Select("CbCorSis", "Outra cor...");
    QCOMPARE(driver->Text("CbCorSis"), "#123456");
    QCOMPARE(Shown(), QColor(0x12, 0x34, 0x56));
    messages.Clear();
    driver->Click("SbConfirmar");
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COR_SIS = 1193046"), 1); // 0x123456

    driver->Click("BtnAltera"); // a colour of the list shows under its name
    messages.colors.enqueue(QColor(0xFF, 0x00, 0x00));
    driver->Select("CbCorSis", "Outra cor...");
    QCOMPARE(driver->Text("CbCorSis"), "Vermelho");
    driver->Click("SbConfirmar");
    QCOMPARE(Count("CADCORTIN", "CODIGO = '0000000001' AND COR_SIS = 16711680"), 1);
}

void TstCadCorTing::pictureFollowsTheColourCode() {
    Colour("0000000001", "COM IMAGEM");
    Colour("0000000002", "SEM IMAGEM");
    Commit();
    SavePicture(pictures.Path("Cores/0000000001.png"), Qt::red);
    driver->Open("TFmCadCorTing");
    QVERIFY(HasPicture());
    driver->Click("sbProximo");
    QVERIFY(!HasPicture());

    const QString source = pictures.Path("escolhida.png");
    SavePicture(source, Qt::blue);
    messages.files.enqueue(source);
    driver->Click("BtImagem");
    QVERIFY(QFile::exists(pictures.Path("Cores/0000000002.png")));
    driver->Click("sbPrimeiro");
    driver->Click("sbProximo");
    QVERIFY(HasPicture());
    messages.files.enqueue(pictures.Path("nao-existe.png"));
    driver->Click("BtImagem");
    QCOMPARE(messages.LastText(), "Não foi possível gravar a imagem da cor.");
}

QTEST_MAIN(TstCadCorTing)
#include "tst_cadcorting.moc"
