// Master data from spreadsheets: every line judged before anything is written, numbers read as the screens
// read them, codes kept as text, the accepted lines written whole or not at all, a registry exported and
// imported back unchanged, recipes recosted, the screen kept from users without its right.
#include "Acesso.h"
#include "CustoReceita.h"
#include "DBControls.h"
#include "DataSetModel.h"
#include "FmImportaCadastro.h"
#include "FmTabelaHost.h"
#include "HostError.h"
#include "ImportaCadastro.h"
#include "Planilha.h"
#include "SisImporta.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {
CadastroImportavel Cadastro(const QString& titulo) {
    for (const CadastroImportavel& c : CadastrosImportaveis())
        if (c.titulo == titulo)
            return c;
    qFatal("no registry %s", qPrintable(titulo));
}

// Each line as "verdict" or "verdict: why", in the file's order.
QStringList Vereditos(const ImportaCadastro& importacao) {
    QStringList vereditos;
    for (const LinhaImportada& l : importacao.Linhas())
        vereditos << TextoVeredito(l.veredito) +
                         (l.motivo.isEmpty() ? QString() : QStringLiteral(": ") + l.motivo);
    return vereditos;
}
} // namespace

class TstImportaCadastro : public DatabaseTestCase {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString Arquivo(const QByteArray& bytes, const QString& nome = QStringLiteral("cadastro.csv")) {
        QFile f(m_dir.filePath(nome));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(f.fileName()));
        return f.fileName();
    }
    void Referencias() {
        SqlCommit({"INSERT INTO GRUPO_CLI (CODIGO, DESCRICAO) VALUES ('01', 'Malharias')",
                   "INSERT INTO ENTIDADE (CODCLI, NOME, GRUPO) VALUES ('00007', 'Antiga Ltda', '01')",
                   "INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00008', 'Igual Ltda')"});
    }

private slots:
    // Lines of a customers' file and what each becomes; what is stored afterwards, as other users read it.
    void clientes_data() {
        QTest::addColumn<QByteArray>("arquivo");
        QTest::addColumn<QStringList>("vereditos");
        QTest::addColumn<QString>("gravado"); // CODCLI|NOME|LIMITE_CREDITO of the codes the file names
        QTest::newRow("Latin-1, CRLF, columns in another order and named as people write them")
            << QString("Razão Social;Código;Limite de Crédito\r\nJosé Tecelagem;00012;1.234,5\r\n"
                       "\"Malhas \"\"Sul\"\"; filial\";00013;1,5\r\n")
                   .toLatin1()
            << QStringList{"Novo", "Novo"}
            << "00007|Antiga Ltda|;00008|Igual Ltda|;00012|José Tecelagem|1234.50;00013|Malhas \"Sul\"; "
               "filial|1.50";
        QTest::newRow("UTF-8, a quote in a text, a record changed and one unchanged")
            << QByteArray("CODCLI;NOME;GRUPO\nD'Áv;Tinturaria D'Ávila;01\n00007;Nova Ltda;01\n"
                          "00008;Igual Ltda;\n")
            << QStringList{"Novo", "Altera: NOME: Antiga Ltda → Nova Ltda", "Sem alteração"}
            << "00007|Nova Ltda|;00008|Igual Ltda|;D'Áv|Tinturaria D'Ávila|";
        QTest::newRow("every line refused for its own reason, nothing written")
            << QByteArray("CODCLI;NOME;GRUPO;LIMITE_CREDITO\n00020;A;99;\n00021;B;;12.5\n00022;") +
                   QByteArray(81, 'x') + QByteArray(";;\n00023;C;;\n00023;D;;\n;E;;\n00024;F;;1.2.3\n")
            << QStringList{"Recusado: GRUPO \"99\" não existe em GRUPO_CLI",
                           "Recusado: número ilegível em LIMITE_CREDITO: \"12.5\"",
                           "Recusado: texto longo demais para NOME (até 80 caracteres)",
                           "Recusado: chave repetida no arquivo (linhas 5, 6); NOME difere entre as linhas 5 "
                           "e 6",
                           "Recusado: chave repetida no arquivo (linhas 5, 6); NOME difere entre as linhas 5 "
                           "e 6",
                           "Recusado: CODCLI não pode ficar vazio",
                           "Recusado: número ilegível em LIMITE_CREDITO: \"1.2.3\""}
            << "00007|Antiga Ltda|;00008|Igual Ltda|";
        QTest::newRow("thousands without decimals, a negative, a code of leading zeros")
            << QByteArray("CODCLI;LIMITE_CREDITO\n00009;1.234\n0010;-0,75\n") << QStringList{"Novo", "Novo"}
            << "00007|Antiga Ltda|;00008|Igual Ltda|;00009||1234.00;0010||-0.75";
    }
    void clientes() {
        QFETCH(QByteArray, arquivo);
        QFETCH(QStringList, vereditos);
        QFETCH(QString, gravado);
        Referencias();
        ImportaCadastro importacao(Cadastro("Clientes"));
        QVERIFY2(importacao.Le(Arquivo(arquivo)), qPrintable(importacao.Erro()));
        QCOMPARE(Vereditos(importacao), vereditos);
        const int aceitas = importacao.Quantas(Veredito::Novo) + importacao.Quantas(Veredito::Altera);
        QCOMPARE(importacao.Importa(), aceitas);
        QCOMPARE(
            Seen("SELECT LIST(CODCLI || '|' || COALESCE(NOME, '') || '|' || COALESCE(LIMITE_CREDITO, ''), "
                 "';') FROM (SELECT * FROM ENTIDADE ORDER BY CODCLI)"),
            gravado);
        QCOMPARE(Count("LOG", "TITULO = 'IMPORTAÇÃO DE CADASTROS'"), 1);
        // Read again, the file changes nothing.
        QVERIFY(importacao.Le(m_dir.filePath("cadastro.csv")));
        QCOMPARE(importacao.Quantas(Veredito::Novo) + importacao.Quantas(Veredito::Altera), 0);
    }

    // A file that cannot be taken as a whole judges no line.
    void arquivoRecusado_data() {
        QTest::addColumn<QByteArray>("arquivo");
        QTest::addColumn<QString>("erro");
        QTest::newRow("the key column missing")
            << QByteArray("NOME\nA\n") << "O arquivo não traz a coluna \"CODCLI\".";
        QTest::newRow("two columns for one field")
            << QByteArray("CODCLI;Nome;Razão Social\n1;A;B\n")
            << "As colunas \"Nome\" e \"Razão Social\" do arquivo trazem o mesmo campo NOME.";
        QTest::newRow("a spreadsheet's own file")
            << QByteArray("PK\x03\x04\x14\x00") + QByteArray(60, '\0')
            << "O arquivo é uma planilha (XLSX ou ODS): salve-a como CSV "
               "separado por ponto e vírgula e importe o CSV.";
        QTest::newRow("a quote left open")
            << QByteArray("CODCLI;NOME\n1;\"A\n") << "Linha 2: aspas abertas sem fechamento.";
    }
    void arquivoRecusado() {
        QFETCH(QByteArray, arquivo);
        QFETCH(QString, erro);
        ImportaCadastro importacao(Cadastro("Clientes"));
        QVERIFY(!importacao.Le(Arquivo(arquivo)));
        QCOMPARE(importacao.Erro(), erro);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, importacao.Importa());
        QCOMPARE(Count("ENTIDADE"), 0);
    }

    // A failure on the last line written leaves nothing of the file, nor its audit line.
    void falhaNaUltimaLinha() {
        Referencias();
        ImportaCadastro importacao(Cadastro("Clientes"));
        QVERIFY(importacao.Le(Arquivo("CODCLI;NOME\n00007;Mudou\n00030;A\n00031;B\n")));
        FailWhen("ENTIDADE", "BEFORE INSERT", "NEW.CODCLI = '00031'");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, importacao.Importa());
        QCOMPARE(Seen("SELECT LIST(CODCLI || NOME, ';') FROM (SELECT * FROM ENTIDADE ORDER BY CODCLI)"),
                 QString("00007Antiga Ltda;00008Igual Ltda"));
        QCOMPARE(Count("LOG", "TITULO = 'IMPORTAÇÃO DE CADASTROS'"), 0);
    }

    // A host table exported from its screen as CSV and imported back: every line unchanged.
    void exportadoVoltaIgual_data() {
        QTest::addColumn<QString>("tela");
        QTest::addColumn<QString>("cadastro");
        QTest::addColumn<QStringList>("linhas");
        QTest::newRow("customers") << "TFmHostEntidade"
                                   << "Clientes"
                                   << QStringList{
                                          "INSERT INTO ENTIDADE (CODCLI, NOME, LIMITE_CREDITO, CEP) VALUES "
                                          "('00012', 'Ação; \"X\"', 1234.56, '01001-000')",
                                          "INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('2', NULL)"};
        QTest::newRow("fabrics") << "TFmHostProduto"
                                 << "Tecidos"
                                 << QStringList{
                                        "INSERT INTO PRODUTO (CODIGO, DESCRICAO, GRAMATURA, LARGURA, PRECO) "
                                        "VALUES ('0100', 'Malha PV', 180.5, 1.85, 12.3456)"};
        QTest::newRow("dyes") << "TFmHostMaterial"
                              << "Corantes e químicos"
                              << QStringList{
                                     "INSERT INTO MATERIAL (CODIGO, DESCRICAO, REPOSICAO, CONCENTRACAO) "
                                     "VALUES ('C-001', 'Azul Reativo', 45.9, 0.333333333333)"};
    }
    void exportadoVoltaIgual() {
        QFETCH(QString, tela);
        QFETCH(QString, cadastro);
        QFETCH(QStringList, linhas);
        TFmTabelaHost::RegistraTelas();
        SqlCommit(linhas);
        driver->Open(tela);
        auto* grade = driver->Get<TZoDBGrid>("DBGrid1");
        const QString csv = m_dir.filePath("exportado.csv");
        QCOMPARE(ExportaPlanilha(*DataSetModel::Of(grade->DataSet()), csv), QString());
        driver->Close();
        ImportaCadastro importacao(Cadastro(cadastro));
        QVERIFY2(importacao.Le(csv), qPrintable(importacao.Erro()));
        QCOMPARE(Vereditos(importacao), QStringList(linhas.size(), "Sem alteração"));
        QCOMPARE(importacao.Importa(), 0);
    }

    // Recipes come one line an item: a recipe with one bad item is refused whole; the others are written with
    // their items in the file's order and costed; a recipe imported again with other items has them replaced.
    void receitas() {
        SqlCommit({"INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'Algodão')",
                   "INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES ('AZ', 'Azul')",
                   "INSERT INTO MATERIAL (CODIGO, DESCRICAO, REPOSICAO) VALUES ('C1', 'Azul', 50)",
                   "INSERT INTO MATERIAL (CODIGO, DESCRICAO, REPOSICAO) VALUES ('Q1', 'Sal', 0.8)",
                   "INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('C1P', 'Tecido')"});
        ImportaCadastro importacao(Cadastro("Receitas"));
        QVERIFY(importacao.Le(Arquivo("Receita;Variante;Cor;Material;Quantidade;Unidade;Tipo do item\n"
                                      "0001;01;AZ;C1;2;%;\n0001;01;AZ;Q1;1,5;%;\n"
                                      "0002;01;AZ;C1;1;%;\n0002;01;AZ;XX;1;%;\n"
                                      "0003;01;AZ;C1P;1;%;P\n")));
        QCOMPARE(
            Vereditos(importacao),
            (QStringList{"Novo", "Novo", "Recusado: outra linha do mesmo registro foi recusada (linha 5)",
                         "Recusado: CODIGO \"XX\" não existe em MATERIAL; outra linha do mesmo registro foi "
                         "recusada (linha 5)",
                         "Novo"}));
        QCOMPARE(importacao.Importa(), 2);
        QCOMPARE(Seen("SELECT LIST(RECEITA || ':' || ORDEN || ':' || CODIGO || ':' || CAST(QTDE AS "
                      "NUMERIC(9, 2)), ';') FROM "
                      "(SELECT * FROM MAT_TIN ORDER BY RECEITA, ORDEN)"),
                 QString("0001:1:C1:2.00;0001:2:Q1:1.50;0003:1:C1P:1.00"));
        const double custo = CustoReceita(
            {CustoItemReceita({"%", 2, "", 0, 50, "", 0}), CustoItemReceita({"%", 1.5, "", 0, 0.8, "", 0})});
        QCOMPARE(Scalar("SELECT CUSTO FROM RECEITA WHERE CODIGO = '0001'").toDouble(), custo);

        QVERIFY(importacao.Le(Arquivo("Receita;Variante;Material;Quantidade;Unidade\n0001;01;C1;3;%\n")));
        QCOMPARE(Vereditos(importacao), QStringList{"Altera: itens: 2 → 1"});
        importacao.Importa();
        QCOMPARE(Seen("SELECT LIST(CODIGO || ':' || CAST(QTDE AS NUMERIC(9, 2))) FROM MAT_TIN WHERE RECEITA "
                      "= '0001'"),
                 QString("C1:3.00"));
        QCOMPARE(Scalar("SELECT CUSTO FROM RECEITA WHERE CODIGO = '0001'").toDouble(),
                 CustoReceita({CustoItemReceita({"%", 3, "", 0, 50, "", 0})}));
    }

    // A service price keeps the customer's and the phase's names, copied when the file has none.
    void precosCopiamNomes() {
        SqlCommit(
            {"INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00007', 'Malharia com um nome bem mais comprido "
             "que a coluna')",
             "INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('TIN', 'Tingimento')"});
        ImportaCadastro importacao(Cadastro("Preços de serviço"));
        QVERIFY2(importacao.Le(Arquivo("Cliente;Fase;Preço\n00007;TIN;3,25\n")),
                 qPrintable(importacao.Erro()));
        QCOMPARE(importacao.Importa(), 1);
        QCOMPARE(Seen("SELECT CODCLI || '|' || FASE || '|' || CAST(CUSTO AS NUMERIC(9, 2)) || '|' || CLIENTE "
                      "|| '|' || DESCRICAO FROM "
                      "TABPRE_SERV_001"),
                 QString("00007|TIN|3.25|Malharia com um nome bem mais comprido que a colun|Tingimento"));
    }

    // Through the screen: read, import, the refused lines saved to correct; a user without the screen's right
    // neither sees it in the menu nor imports.
    void tela() {
        RegistraTelaImportacao();
        Referencias();
        const QString arquivo = Arquivo("CODCLI;NOME\n00040;Nova\n00041;\n00041;Outra\n");
        driver->Open("TFmImportaCadastro");
        driver->Select("CbCadastro", "Clientes");
        driver->Type("EdtArquivo", arquivo);
        driver->Click("BtLer");
        QCOMPARE(driver->Rows("GrdPrevia"), 3);
        QVERIFY(driver->Text("LblResumo")
                    .startsWith("3 linhas: novas 1, alteram 0, sem alteração 0, recusadas 2."));
        ReportFolder pasta;
        driver->Click("BtRecusadas");
        TSisImporta recusadas(pasta.Path("recusadas.csv"));
        QCOMPARE(recusadas.Campos(), (QStringList{"CODCLI", "NOME", "Motivo"}));
        QCOMPARE(recusadas.Registros(), 2);
        ClickAndAnswer("BtImportar", true);
        QCOMPARE(TakeMessages().section('|', -1), QString("Registros gravados: 1."));
        QCOMPARE(Count("ENTIDADE", "CODCLI = '00040'"), 1);
        QVERIFY(!driver->Enabled("BtImportar"));
        driver->Close();

        AddUser("002", "OPERADOR", "x", "NNS");
        Grant("002", "*");
        context->Session().usuario = "OPERADOR";
        context->Session().usuarioCodigo = "002";
        QVERIFY(!PodeAbrir("002", "TFmImportaCadastro"));
        driver->Open("TFmImportaCadastro");
        driver->Type("EdtArquivo", Arquivo("CODCLI;NOME\n00050;X\n"));
        driver->Click("BtLer");
        ClickAndAnswer("BtImportar", true);
        QVERIFY(Errors().contains("Somente um administrador"));
        QCOMPARE(Count("ENTIDADE", "CODCLI = '00050'"), 0);
    }
};

QTEST_MAIN(TstImportaCadastro)
#include "tst_importacadastro.moc"
