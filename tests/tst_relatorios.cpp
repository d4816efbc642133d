// The report-screen frame: declared filters become one statement with bound values, the rows (or their pivot)
// show in the grid, print as graphic or text. Each report screen adds its rows to these tables.
#include "TClientDataSet.h"
#include "TFmRelatorio.h"
#include "TestDatabase.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kCliente = QStringLiteral("Cliente não cadastrado.");

class RelTeste : public TFmRelatorio {
    Q_OBJECT
public:
    bool pivo = false;
    using TFmRelatorio::TFmRelatorio;
    void FormCreate() override {
        using T = FiltroRelatorio::Tipo;
        rel.filtros = {{.tipo = T::Periodo,
                        .nome = "EdtData",
                        .legenda = "Emissão da Fal",
                        .coluna = "F.DATA_INI",
                        .obrigatorio = true},
                       {.tipo = T::Codigo,
                        .nome = "EdtCodCli",
                        .legenda = "Cliente",
                        .coluna = "F.CLIENTE",
                        .tabela = "ENTIDADE",
                        .chave = "CODCLI",
                        .descricao = "NOME",
                        .recusa = kCliente},
                       {.tipo = T::Lista,
                        .nome = "EdtCores",
                        .legenda = "Cores",
                        .coluna = "F.COR",
                        .tabela = "CADCORTIN",
                        .recusa = "Cor não cadastrada."},
                       {.tipo = T::Opcao,
                        .nome = "rgPartida",
                        .legenda = "Partida",
                        .opcoes = {"Todas", "Com partida"},
                        .textos = {"", " AND F.PARTIDA <> ''"}},
                       {.tipo = T::Marca,
                        .nome = "ChkRecentes",
                        .legenda = "Mais recentes primeiro",
                        .marcador = "ORDEM",
                        .textos = {" DESC"}}};
        rel.sql = "SELECT F.NUMERO, F.CLIENTE, F.COR FROM {FAL} F WHERE 1 = 1 /*FILTROS*/ ORDER BY F.NUMERO "
                  "/*ORDEM*/";
        rel.colunas = {{"NUMERO", "Número"}, {"COR", "Cor"}};
        rel.relatorio = "WTngTeste";
        rel.relatorioTexto = "TTngTeste";
        if (pivo) {
            rel.camposPivo = [](TClientDataSet& r) {
                r.AddField("CLIENTE", QMetaType::QString, 5).AddField("FALS", QMetaType::Int);
            };
            rel.pivo = [](TDataSet& linhas, TClientDataSet& r) {
                for (linhas.First(); !linhas.Eof(); linhas.Next()) {
                    if (!r.Locate("CLIENTE", {linhas.FieldByName("CLIENTE").AsString()})) {
                        r.Append();
                        r.FieldByName("CLIENTE") = linhas.FieldByName("CLIENTE").AsString();
                        r.FieldByName("FALS") = 0;
                    }
                    r.FieldByName("FALS") = r.FieldByName("FALS").AsInteger() + 1;
                    r.Post();
                }
            };
            rel.colunas.clear();
        }
        AbreRelatorio();
    }
};
} // namespace

class TstRelatorios : public DatabaseTestCase {
    Q_OBJECT
    QStringList Coluna(TDataSet* dados, const QString& campo) {
        QStringList valores;
        for (int p = 0; p < dados->RecordCount(); ++p)
            valores << dados->ValueAt(p, dados->FieldIndex(campo)).toString();
        return valores;
    }
    void Base() {
        Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00001', 'Malharia Sul')");
        Sql("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00002', 'Tecelagem Norte')");
        for (const char* cor : {"C1", "C2", "C3"})
            Sql(QStringLiteral("INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES ('%1', 'Cor %1')").arg(cor));
        for (const char* fal : {"0001|00001|C1|2026-01-05|000010", "0002|00002|C2|2026-01-20|",
                                "0003|00001|C3|2026-02-03|000011", "0004|00001|C1|2026-03-01|000012"}) {
            const QStringList v = QString(fal).split('|');
            Sql(QStringLiteral(
                    "INSERT INTO FAL (NUMERO, CLIENTE, COR, DATA_INI, PARTIDA) VALUES ('%1', '%2', "
                    "'%3', '%4', '%5')")
                    .arg(v[0], v[1], v[2], v[3], v[4]));
        }
        db->Transaction()->CommitRetaining();
    }
    RelTeste* Abre(bool pivo = false) {
        auto* tela = new RelTeste(nullptr);
        tela->pivo = pivo;
        tela->FormCreate();
        tela->show();
        driver->Use(tela);
        return tela;
    }

private slots:
    void filtersMakeOneStatement_data();
    void filtersMakeOneStatement();
    void pivotAndPrints();
};

void TstRelatorios::filtersMakeOneStatement_data() {
    QTest::addColumn<QStringList>("digitado"); // box=text, in the order typed
    QTest::addColumn<QString>("clica");        // a radio or check box clicked
    QTest::addColumn<QStringList>("numeros");  // the rows shown
    QTest::addColumn<QString>("mensagem");
    const QStringList janeiro = {"EdtDataIni=01/01/2026", "EdtDataFim=31/01/2026"};
    const QStringList ano = {"EdtDataIni=01/01/2026", "EdtDataFim=31/12/2026"};
    QTest::newRow("período") << janeiro << "" << QStringList{"0001", "0002"} << "";
    QTest::newRow("cliente") << (ano + QStringList{"EdtCodCli=00001"}) << ""
                             << QStringList{"0001", "0003", "0004"} << "";
    QTest::newRow("cliente com aspas, recusado")
        << (ano + QStringList{"EdtCodCli=A' OR '1'='1"}) << "" << QStringList{} << kCliente;
    QTest::newRow("lista de cores") << (ano + QStringList{"EdtCores=C1, C3,,C1"}) << ""
                                    << QStringList{"0001", "0003", "0004"} << "";
    QTest::newRow("lista com cor que não existe")
        << (ano + QStringList{"EdtCores=C1, C9"}) << "" << QStringList{} << "Cor não cadastrada.";
    QTest::newRow("com partida") << janeiro << "rgPartida1" << QStringList{"0001"} << "";
    QTest::newRow("mais recentes primeiro")
        << ano << "ChkRecentes" << QStringList{"0004", "0003", "0002", "0001"} << "";
    QTest::newRow("data impossível") << QStringList{"EdtDataIni=31/02/2026", "EdtDataFim=31/12/2026"} << ""
                                     << QStringList{}
                                     << "Emissão da Fal: \"31/02/2026\" não é uma data válida.";
    QTest::newRow("sem período") << QStringList{} << "" << QStringList{}
                                 << "Informe o período: Emissão da Fal.";
}

void TstRelatorios::filtersMakeOneStatement() {
    QFETCH(QStringList, digitado);
    QFETCH(QString, clica);
    QFETCH(QStringList, numeros);
    QFETCH(QString, mensagem);
    Base();
    std::unique_ptr<RelTeste> tela(Abre());
    for (const QString& d : digitado)
        driver->Type(d.section('=', 0, 0), d.section('=', 1));
    if (!clica.isEmpty())
        driver->Click(clica);
    driver->Click("BitBtn1");
    QCOMPARE(messages.LastText(), mensagem);
    QCOMPARE(Coluna(tela->Resultado(), "NUMERO"), numeros);
    QCOMPARE(driver->Enabled("BtImp"), !numeros.isEmpty());
}

// A pivot folds the rows into its own; graphic and text prints carry every row.
void TstRelatorios::pivotAndPrints() {
    Base();
    const QTemporaryDir pasta;
    qputenv("KELM_REPORT_DIR", pasta.path().toUtf8());
    const auto fim = qScopeGuard([] { qunsetenv("KELM_REPORT_DIR"); });
    std::unique_ptr<RelTeste> tela(Abre(true));
    driver->Type("EdtDataIni", "01/01/2026");
    driver->Type("EdtDataFim", "31/12/2026");
    driver->Click("BitBtn1");
    QCOMPARE(Coluna(tela->Resultado(), "CLIENTE"), (QStringList{"00001", "00002"}));
    QCOMPARE(Coluna(tela->Resultado(), "FALS"), (QStringList{"3", "1"}));
    driver->Click("BtImp");
    QVERIFY(QFileInfo(pasta.filePath("WTngTeste.pdf")).size() > 0);
    driver->Click("ChkTexto");
    driver->Click("BtImp");
    QFile texto(pasta.filePath("TTngTeste.txt"));
    QVERIFY(texto.open(QIODevice::ReadOnly));
    const QString impresso = QString::fromUtf8(texto.readAll());
    QVERIFY2(impresso.contains("00001") && impresso.contains("00002"), qPrintable(impresso));
}

QTEST_MAIN(TstRelatorios)
#include "tst_relatorios.moc"
