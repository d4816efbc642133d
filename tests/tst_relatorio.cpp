// The report engine: graphic output read back from PDF, text pages, layouts per identifier, the routing of
// the screens' calls, and the lot sheet printed from the database.
#include "DataSetModel.h"
#include "Formatacao.h"
#include "HostError.h"
#include "ImpressaoFal.h"
#include "Planilha.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {
const QStringList kClientes =
    QString("Confecções Ibirá|Malharia São João|Malhas Conceição|Tecelagem D'Ávila|Têxtil Pirâmide")
        .split('|');
const QStringList kCores =
    QString("Azul Marinho|Vermelho Ferrari|Preto Intenso|Branco Óptico|Verde Musgo|Amarelo Ouro").split('|');
const QStringList kTitulos = {"FAL", "Emissão", "Cliente", "Cor", "Peso (kg)", "Valor (R$)"};

// FAL orders of five customers (24 each), sorted by customer as a screen's query would give them.
void preenche(TClientDataSet& ds) {
    ds.AddField("FAL", QMetaType::Int, 0, "FAL")
        .AddField("EMISSAO", QMetaType::QDate, 0, "Emissão")
        .AddField("CLIENTE", QMetaType::QString, 40, "Cliente")
        .AddField("COR", QMetaType::QString, 30, "Cor")
        .AddField("PESO", QMetaType::Double, 0, "Peso (kg)")
        .AddField("VALOR", QMetaType::Double, 0, "Valor (R$)")
        .AddField("ID_INTERNO", QMetaType::Int, 0, "Identificador interno");
    ds.CreateDataSet();
    ds.FieldDefByName("ID_INTERNO").visible = false;
    for (int n = 0; n < 120; ++n) {
        const double peso = 35.5 + (n * 37 % 400) + (n % 4) * 0.25;
        const QVariantList valores = {24100 + n * 3,
                                      QDate(2026, 11, 1).addDays(n % 30),
                                      kClientes[n / 24],
                                      kCores[n % kCores.size()],
                                      peso,
                                      std::round(peso * (8.9 + (n % 5) * 1.35) * 100) / 100,
                                      900000 + n};
        ds.Append();
        for (int c = 0; c < valores.size(); ++c)
            ds.Fields(c) = valores[c];
        ds.Post();
    }
    ds.First();
}

// 1.234,56 from Qt's own Brazilian locale, so the engine's formatting is checked against something else.
QString brl(double valor, int casas = 2) {
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(valor, 'f', casas);
}

// Sum of a field over the rows (whose field chave equals valor, when given).
double soma(TDataSet& ds, const QString& campo, const QString& chave = {}, const QString& valor = {}) {
    double total = 0;
    for (int p = 0; p < ds.RecordCount(); ++p)
        if (chave.isEmpty() || ds.ValueAt(p, ds.FieldIndex(chave)).toString() == valor)
            total += ds.ValueAt(p, ds.FieldIndex(campo)).toDouble();
    return total;
}

// Texts on one line, in order, separated by blanks only.
QRegularExpression naLinha(QStringList textos) {
    for (QString& texto : textos)
        texto = QRegularExpression::escape(texto);
    return QRegularExpression(textos.join(QStringLiteral("[ \\t]+")));
}

// The printed cells of one data row, as the default columns show them.
QStringList celulas(TDataSet& ds, int p) {
    auto valor = [&](const char* campo) { return ds.ValueAt(p, ds.FieldIndex(campo)); };
    return {valor("FAL").toString(),       valor("EMISSAO").toDate().toString("dd/MM/yyyy"),
            valor("CLIENTE").toString(),   valor("COR").toString(),
            brl(valor("PESO").toDouble()), brl(valor("VALOR").toDouble())};
}

QStringList paginasPdf(const QString& pdf) {
    return PdfText(pdf).split('\f', Qt::SkipEmptyParts);
}

QString tamanhoPagina(const QString& pdf) {
    QProcess pdfinfo;
    pdfinfo.start("pdfinfo", {pdf});
    pdfinfo.waitForFinished();
    const auto m = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+)")
                       .match(QString::fromUtf8(pdfinfo.readAllStandardOutput()));
    return m.hasMatch() ? (m.captured(1).toDouble() < m.captured(2).toDouble() ? "retrato" : "paisagem")
                        : QString();
}

QStringList paginasTexto(const QString& arquivo) {
    QFile f(arquivo);
    const QString texto = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    return texto.chopped(texto.endsWith('\n') ? 1 : 0).split('\f');
}

// A customer register as wide as the host's (22 columns) plus a long remark; every value differs per row.
const QStringList kCamposClientes =
    QString("CODCLI NOME FANTASIA TIPO_ENTIDADE CNPJ ENDERECO NUMERO COMPLEMENTO BAIRRO CEP FONE EMAIL ATIVO "
            "BLOQUEIO TABELA PRAZO CONDICAO GRUPO CODREP SIT_CLI COD_ATVD LIMITE_CREDITO OBS")
        .split(' ');
const QStringList kTitulosClientes =
    QString("Código|Razão Social|Nome Fantasia|Tipo|CNPJ/CPF|Endereço|Número|Complemento|Bairro|CEP|Telefone|"
            "E-mail|Ativo|Bloqueado|Região de Preço|Prazo (dias)|Condição de Pagamento|Grupo|Representante|"
            "Situação|Atividade|Limite de Crédito|Observação")
        .split('|');

void preencheClientes(TClientDataSet& ds, int campos = int(kCamposClientes.size())) {
    const int limite = kCamposClientes.indexOf("LIMITE_CREDITO");
    for (int c = 0; c < campos; ++c)
        ds.AddField(kCamposClientes[c], c == limite ? QMetaType::Double : QMetaType::QString, 0,
                    kTitulosClientes[c]);
    ds.CreateDataSet();
    for (int n = 1; n <= 30; ++n) {
        QStringList valores =
            QStringLiteral(
                "C00#|Malharia e Tinturaria Santa Catarina # Ltda|MALHARIA SC #|CF|82.341.5#/0001-96|"
                "Rua Engenheiro Paul Werner #|10#|Galpão #|Itoupava Seca|883#-000|(47) 3351-42#|"
                "pcp#@malhariasantacatarina.com.br|S|N|0#|#|30/60/9#|00#|000#|001|13#|#000.5|"
                "Cliente # recebe malha crua em rolos; conferir gramatura na entrada e avisar o PCP "
                "antes de programar cores escuras.")
                .replace('#', QString::number(n).rightJustified(2, '0'))
                .split('|');
        if (n % 2)
            valores[7].clear();
        ds.Append();
        for (int c = 0; c < campos; ++c)
            if (!valores[c].isEmpty())
                ds.FieldByName(kCamposClientes[c]) =
                    c == limite ? QVariant(valores[c].toDouble()) : QVariant(valores[c]);
        ds.Post();
    }
    ds.First();
}

QStringList palavras(const QString& texto) {
    return texto.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

// The value's words among the block's, in order: all of it printed, no word cut or broken.
bool inteiro(const QStringList& bloco, const QString& valor) {
    qsizetype k = 0;
    const QStringList procuradas = palavras(valor);
    for (const QString& palavra : bloco)
        if (k < procuradas.size() && palavra == procuradas[k])
            ++k;
    return k == procuradas.size();
}

// The printed words of each record: from the line where its code starts to the next record's (or page end).
QList<QStringList> blocos(const QStringList& paginas, TDataSet& ds) {
    QList<QStringList> resultado(ds.RecordCount());
    for (const QString& pagina : paginas) {
        int atual = -1;
        for (const QString& linha : pagina.split('\n')) {
            const QStringList partes = palavras(linha);
            for (int p = 0; p < ds.RecordCount(); ++p)
                if (!partes.isEmpty() && partes.first() == ds.ValueAt(p, 0).toString())
                    atual = p;
            if (linha.contains("Total geral") || linha.contains("Emitido "))
                atual = -1;
            if (atual >= 0)
                resultado[atual] << partes;
        }
    }
    return resultado;
}

// Text pages: 66 lines each, none wider than the page, with a rule as wide as it.
void confereTexto(const QStringList& paginas, int largura) {
    for (const QString& pagina : paginas) {
        const QStringList linhas = pagina.split('\n');
        QCOMPARE(linhas.size(), 66);
        QVERIFY(linhas.contains(QString(largura, '=')));
        for (const QString& linha : linhas)
            QVERIFY2(linha.size() <= largura, qPrintable(linha));
    }
}

// The report written as PDF and as text, read back as pages.
std::pair<QStringList, QStringList> grava(const TRelatorio& r, const QString& arquivo) {
    if (!GravaRelatorioPdf(r, arquivo + ".pdf") || !GravaRelatorioTexto(r, arquivo + ".txt"))
        return {};
    return {paginasPdf(arquivo + ".pdf"), paginasTexto(arquivo + ".txt")};
}

TRelatorio relatorioFal(TDataSet& ds, const QString& identificador = "WTngFAL") {
    TRelatorio r(identificador, "Relatório de FAL por Cliente", &ds);
    r.AdicionaCabecalho("Período", "01/11/2026 a 30/11/2026");
    r.AdicionaCabecalho("Situação", "Faturadas");
    r.AgrupaPor("CLIENTE");
    r.DefineRodape("Emitido por ADMIN em 06/12/2026 10:15");
    return r;
}
} // namespace

class TstRelatorio : public DatabaseTestCase {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
            QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QSKIP("poppler-utils (pdftotext, pdfinfo) missing: run scripts/setup-deps");
        // Reports print Brazilian numbers whatever the workstation's locale.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        qputenv("KELM_INI", m_dir.filePath("kelm.ini").toUtf8());
        preenche(m_ds);
    }

    void falInPdfPrinterAndText() {
        m_ds.MoveTo(7);
        const auto [pdf, texto] = grava(relatorioFal(m_ds), m_dir.filePath("fal"));
        QCOMPARE(m_ds.RecNo(), 7); // the screen's cursor stays put
        QPrinter impressora(QPrinter::HighResolution);
        impressora.setOutputFormat(QPrinter::PdfFormat);
        impressora.setOutputFileName(m_dir.filePath("impressora.pdf"));
        QVERIFY(ImprimeRelatorio(relatorioFal(m_ds), impressora));
        QCOMPARE(tamanhoPagina(m_dir.filePath("fal.pdf")), "retrato");
        QCOMPARE(tamanhoPagina(impressora.outputFileName()), "retrato");
        for (const QStringList& paginas : {pdf, paginasPdf(impressora.outputFileName()), texto}) {
            QVERIFY(paginas.size() > 1);
            const QString tudo = paginas.join('\n');
            // Title band on page one only; headers and footer on every page; hidden fields nowhere.
            QVERIFY(paginas[0].contains("Relatório de FAL por Cliente"));
            QVERIFY(paginas[0].contains(naLinha({"Período:", "01/11/2026 a 30/11/2026"})));
            QVERIFY(!paginas[1].contains("Período:"));
            QVERIFY(!tudo.contains("Identificador interno") && !tudo.contains("900000"));
            for (int p = 0; p < paginas.size(); ++p) {
                QCOMPARE(paginas[p].count(naLinha(kTitulos)), 1);
                QVERIFY(paginas[p].contains("Emitido por ADMIN em 06/12/2026 10:15"));
                QVERIFY(
                    paginas[p].contains(QStringLiteral("Página %1 de %2").arg(p + 1).arg(paginas.size())));
            }
            // Every row once, none split or lost between pages; group bands and totals summed from the data.
            for (int p = 0; p < m_ds.RecordCount(); ++p)
                QVERIFY2(tudo.count(naLinha(celulas(m_ds, p))) == 1,
                         qPrintable(celulas(m_ds, p).join(" | ")));
            for (const QString& c : kClientes)
                QVERIFY(tudo.contains(
                    naLinha({"Subtotal " + c, "(24 registros)", brl(soma(m_ds, "PESO", "CLIENTE", c)),
                             brl(soma(m_ds, "VALOR", "CLIENTE", c))})));
            QVERIFY(paginas.last().contains(naLinha(
                {"Total geral", "(120 registros)", brl(soma(m_ds, "PESO")), brl(soma(m_ds, "VALOR"))})));
        }
        confereTexto(texto, 80); // six columns fit 80 characters
    }

    void registeredLayoutChangesOnlyItsIdentifier() {
        RegistraLayout("WTngProgMaq", [](TRelatorio& r) {
            ColunaRelatorio cor = r.Coluna("COR"), peso = r.Coluna("PESO");
            cor.largura = 6;
            peso.casas = 3;
            r.DefineColunas({r.Coluna("FAL"), cor, peso});
            r.AgrupaPor("COR");
        });
        TClientDataSet porCor;
        preenche(porCor);
        porCor.SetIndexFieldNames("COR;FAL");
        const auto [pdf, texto] = grava(relatorioFal(porCor, "WTngProgMaq"), m_dir.filePath("maq"));
        const QString comLayout = pdf.join('\n');
        QVERIFY(comLayout.contains(naLinha({"FAL", "Cor", "Peso (kg)"})));
        QVERIFY(!comLayout.contains("Valor (R$)"));
        for (const QString& cor : kCores)
            QVERIFY(comLayout.contains(
                naLinha({"Subtotal " + cor, "(20 registros)", brl(soma(porCor, "PESO", "COR", cor), 3)})));
        QVERIFY(grava(relatorioFal(porCor, "WTngFAL"), m_dir.filePath("fal2"))
                    .first.join('\n')
                    .contains(naLinha(kTitulos)));

        // Three narrow columns fit 80 characters; the colour is cut to its six.
        confereTexto(texto, 80);
        const QStringList linhas = texto.join('\n').split('\n');
        auto valor = [&](const char* campo) { return porCor.ValueAt(0, porCor.FieldIndex(campo)); };
        QVERIFY(!linhas
                     .filter(naLinha({valor("FAL").toString(), valor("COR").toString().left(6),
                                      brl(valor("PESO").toDouble(), 3)}))
                     .isEmpty());
        QCOMPARE(linhas.filter("Vermelho F").size(), 2); // its group header and subtotal only
    }

    void wideColumnsTurnThePageAndLabelsGoAbove() {
        RegistraLayout("WTngLargo", [](TRelatorio& r) {
            QList<ColunaRelatorio> colunas = r.ColunasPadrao();
            colunas[2].largura = 45;
            colunas[3].largura = 40;
            r.DefineColunas(colunas);
        });
        const auto [pdf, texto] = grava(relatorioFal(m_ds, "WTngLargo"), m_dir.filePath("largo"));
        QCOMPARE(tamanhoPagina(m_dir.filePath("largo.pdf")), "paisagem");
        for (const QString& pagina : pdf)
            QVERIFY(pagina.contains(naLinha(kTitulos)));
        confereTexto(texto, 132); // more than 80 characters: 132 it is
        QVERIFY(texto[0].contains(naLinha(celulas(m_ds, 0))));

        // A label without room before its totals goes on a line above them.
        RegistraLayout("WTngPesoCor", [](TRelatorio& r) {
            r.DefineColunas({r.Coluna("PESO"), r.Coluna("COR")});
        });
        const auto [pdf2, texto2] =
            grava(TRelatorio("WTngPesoCor", "Peso por cor", &m_ds), m_dir.filePath("pesocor"));
        for (const QString& pagina : {pdf2.last(), texto2.last()}) {
            QStringList linhas = pagina.split('\n');
            linhas.removeIf([](const QString& linha) { return linha.trimmed().isEmpty(); });
            const qsizetype rotulo =
                linhas.indexOf(QRegularExpression("^\\s*Total geral \\(120 registros\\)\\s*$"));
            QVERIFY(rotulo >= 0);
            QCOMPARE(linhas.value(rotulo + 1).trimmed(), brl(soma(m_ds, "PESO")));
        }
    }

    void wideRegisterPrintsEveryColumnWhole() {
        TClientDataSet clientes;
        preencheClientes(clientes);
        const auto [pdf, texto] =
            grava(TRelatorio("WENTIDADE", "Clientes e Fornecedores", &clientes), m_dir.filePath("clientes"));
        QCOMPARE(tamanhoPagina(m_dir.filePath("clientes.pdf")), "paisagem");
        confereTexto(texto, 132);
        for (const QStringList& paginas : {pdf, texto}) {
            // Every caption on every page, above the first record; every value whole in its record's lines.
            for (const QString& pagina : paginas) {
                const QString cabecalho = pagina.left(pagina.indexOf(QRegularExpression("\\bC00\\d\\d\\b")));
                for (const QString& titulo : kTitulosClientes)
                    QVERIFY2(inteiro(palavras(cabecalho), titulo), qPrintable(titulo + "\n" + cabecalho));
            }
            const QList<QStringList> linhas = blocos(paginas, clientes);
            for (int p = 0; p < clientes.RecordCount(); ++p) {
                QCOMPARE(paginas.join('\n').count(
                             QRegularExpression("\\b" + clientes.ValueAt(p, 0).toString() + "\\b")),
                         1);
                for (int c = 0; c < clientes.FieldCount(); ++c) {
                    const QString valor = TextoExibicao(clientes.ValueAt(p, c), c == 21 ? 2 : -1);
                    QVERIFY2(inteiro(linhas[p], valor), qPrintable(valor + " | " + linhas[p].join(' ')));
                }
            }
        }
    }

    // The grid as its user sees it, to a spreadsheet: numbers and dates as cells of their kind, a code's
    // leading zeros and a quote kept as text, the hidden field left out, the header frozen; CSV as
    // spreadsheets in Brazil read it. Nothing is left under a temporary name.
    void spreadsheetOfTheGrid() {
        TClientDataSet ds;
        ds.AddField("COD", QMetaType::QString, 10, "Código")
            .AddField("PESO", QMetaType::Double, 0, "Peso (kg)")
            .AddField("DATA", QMetaType::QDate, 0, "Emissão")
            .AddField("OCULTO", QMetaType::Int, 0, "Oculto");
        ds.CreateDataSet();
        ds.FieldDefByName("OCULTO").visible = false;
        for (const QVariantList& linha : {QVariantList{"00012", 1234.5, QDate(2026, 12, 5), 1},
                                          QVariantList{"A;\"B\"", QVariant(), QVariant(), 2}}) {
            ds.Append();
            for (int c = 0; c < linha.size(); ++c)
                ds.Fields(c) = linha[c];
            ds.Post();
        }
        DataSetModel* grade = DataSetModel::Of(&ds);
        grade->DeclaraColunas(
            {{"COD", "Código"}, ColunaGrade("PESO", "Peso (kg)").Casas(2), {"DATA", "Emissão"}});
        const QString xlsx = m_dir.filePath("grade.xlsx"), csv = m_dir.filePath("grade.csv");
        QCOMPARE(ExportaPlanilha(*grade, xlsx), QString());
        const QString folha = XlsxPart(xlsx), textos = XlsxPart(xlsx, "xl/sharedStrings.xml");
        const int serial = int(QDate(1899, 12, 30).daysTo(QDate(2026, 12, 5)));
        for (const QString& celula :
             {QStringLiteral(R"(<c r="B2" s="\d+"><v>1234.5</v>)"),
              QStringLiteral(R"(<c r="C2" s="\d+"><v>%1</v>)").arg(serial),
              QStringLiteral(R"(<c r="A2"[^>]* t="s">)"), QStringLiteral(R"(ySplit="1")")})
            QVERIFY2(folha.contains(QRegularExpression(celula)), qPrintable(celula + "\n" + folha));
        QVERIFY(!folha.contains(R"(r="D1")") && !folha.contains(R"(r="B3")"));
        for (const char* texto : {"Código", "Peso (kg)", "00012", "A;\"B\""})
            QVERIFY2(textos.contains(QString::fromUtf8(texto)), qPrintable(textos));
        QCOMPARE(ExportaPlanilha(*grade, csv), QString());
        QFile lido(csv);
        QVERIFY(lido.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(lido.readAll()),
                 QString::fromUtf8(
                     "Código;Peso (kg);Emissão\r\n00012;1234,50;05/12/2026\r\n\"A;\"\"B\"\"\";;\r\n"));
        QCOMPARE(QDir(m_dir.path()).entryList({"*.parcial"}, QDir::Files), QStringList());
        // A cell the format cannot hold fails the export, never leaves a hole in the sheet.
        ds.First();
        ds.Edit();
        ds.Fields(0) = QString(40000, 'x');
        ds.Post();
        QFile::remove(xlsx);
        QVERIFY(ExportaPlanilha(*grade, xlsx).contains("linha 2, coluna 1"));
        QCOMPARE(QDir(m_dir.path()).entryList({"grade.xlsx*"}, QDir::Files), QStringList());
    }

    void emptyDataSetStillPrints() {
        context->Session().usuario.clear(); // the default footer of no one logged in
        TClientDataSet vazio;
        vazio.AddField("FAL", QMetaType::Int, 0, "FAL").AddField("PESO", QMetaType::Double, 0, "Peso (kg)");
        vazio.CreateDataSet();
        const auto [pdf, texto] =
            grava(TRelatorio("WTngVazio", "Relatório sem dados", &vazio), m_dir.filePath("vazio"));
        QCOMPARE(texto.value(0).split('\n').size(), 66);
        for (const QStringList& paginas : {pdf, texto}) {
            QCOMPARE(paginas.size(), 1);
            for (const char* esperado : {"Nenhum registro.", "Página 1 de 1", "Emitido em "})
                QVERIFY(paginas[0].contains(esperado));
            QVERIFY(paginas[0].contains(naLinha({"FAL", "Peso (kg)"})));
            QVERIFY(!paginas[0].contains("Total geral"));
        }
    }

    void callsAreRoutedAndFaultsReported() {
        // Headless, to <dir>/<identifier> (the screens' tests); else the user names the file or cancels.
        messages.files.enqueue(m_dir.filePath("escolhido.txt"));
        QVERIFY(Chama_Relatorio(relatorioFal(m_ds, "TTngEtq01"), nullptr, "T"));
        QVERIFY(paginasTexto(m_dir.filePath("escolhido.txt")).join('\n').contains("Total geral"));
        QVERIFY(!Chama_RelatorioTxt(relatorioFal(m_ds, "TTngEtq01"), nullptr));
        QCOMPARE(messages.shown.size(), 2);

        // Faults: unknown fields are refused; an unwritable file is reported to the user.
        RegistraLayout("WTngErrado", [](TRelatorio& r) {
            ColunaRelatorio c;
            c.campo = "PESO_LIQUIDO";
            r.DefineColunas({c});
        });
        QVERIFY_THROWS_EXCEPTION(
            EDatabaseError, GravaRelatorioPdf(relatorioFal(m_ds, "WTngErrado"), m_dir.filePath("x.pdf")));
        TRelatorio r("WTngFAL", "FAL", &m_ds);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, r.AgrupaPor("CLIENTE_NOME"));
        const QString semPasta = m_dir.filePath("nao-existe/relatorio");
        QVERIFY(!GravaRelatorioPdf(r, semPasta + ".pdf"));
        QVERIFY(!GravaRelatorioTexto(r, semPasta + ".txt"));
        qputenv("KELM_REPORT_DIR", semPasta.toUtf8());
        QVERIFY(!Chama_Relatorio(r, nullptr, "W"));
        QVERIFY(messages.LastText().contains("Não foi possível gerar o relatório"));
    }

    // A drawing instead of rows: one page, the title and header above it, the footer below, the rows of a
    // data set given along left out.
    void drawingPrintsOnOnePageUnderTheHeader() {
        QRectF area, pagina;
        TRelatorio r("WTngDesenho", "Curva de Teste", &m_ds);
        r.AdicionaCabecalho("Código", "001 - REATIVO");
        r.DefineRodape("Emitido por ADMIN em 06/12/2026 10:15");
        r.DefineDesenho([&](QPainter& pintor, const QRectF& onde) {
            area = onde;
            pagina = QRectF(0, 0, pintor.device()->width(), pintor.device()->height());
            pintor.drawText(onde, Qt::AlignCenter, "DESENHO NO MEIO");
        });
        QVERIFY(GravaRelatorioPdf(r, m_dir.filePath("desenho.pdf")));
        const QStringList paginas = paginasPdf(m_dir.filePath("desenho.pdf"));
        QCOMPARE(paginas.size(), 1);
        QCOMPARE(tamanhoPagina(m_dir.filePath("desenho.pdf")), "retrato");
        const QStringList linhas = paginas[0].split('\n');
        const auto linha = [&](const QString& texto) {
            return linhas.indexOf(QRegularExpression(".*" + texto + ".*"));
        };
        QVERIFY(linha("Curva de Teste") >= 0);
        QVERIFY(linha("001 - REATIVO") > linha("Curva de Teste"));
        QVERIFY(linha("DESENHO NO MEIO") > linha("001 - REATIVO"));
        QVERIFY(linha("Página 1 de 1") > linha("DESENHO NO MEIO"));
        QVERIFY(!paginas[0].contains(kClientes[0])); // no rows
        QVERIFY(area.top() > 0 && area.bottom() < pagina.bottom() && area.width() == pagina.width());
    }

    // Pages of their own size drawn whole by the caller (labels), through the PDF file and the printer: no
    // title nor footer. A report's ready text is written as its bytes by every text output.
    void drawnPagesAndReadyText() {
        QList<int> desenhadas;
        QRectF inteira;
        TRelatorio r("WTngPaginas", "Páginas desenhadas", nullptr);
        r.DefineDesenho(QSizeF(100, 60), 3, [&](QPainter& pintor, const QRectF& pagina, int p) {
            desenhadas << p;
            inteira = pagina;
            pintor.drawText(pagina, Qt::AlignCenter, QStringLiteral("PAGINA %1").arg(p + 1));
        });
        QPrinter impressora(QPrinter::HighResolution);
        impressora.setOutputFormat(QPrinter::PdfFormat);
        impressora.setOutputFileName(m_dir.filePath("paginas-impressora.pdf"));
        QVERIFY(GravaRelatorioPdf(r, m_dir.filePath("paginas.pdf")) && ImprimeRelatorio(r, impressora));
        QCOMPARE(desenhadas, (QList<int>{0, 1, 2, 0, 1, 2}));
        QCOMPARE(inteira, QRectF(0, 0, impressora.width(), impressora.height()));
        QCOMPARE(qRound(inteira.width() / inteira.height() * 60), 100);
        for (const QString& pdf : {m_dir.filePath("paginas.pdf"), impressora.outputFileName()}) {
            const QStringList paginas = paginasPdf(pdf);
            QCOMPARE(paginas.size(), 3);
            for (int p = 0; p < 3; ++p)
                QCOMPARE(paginas[p].trimmed(), QStringLiteral("PAGINA %1").arg(p + 1));
            QCOMPARE(tamanhoPagina(pdf), "paisagem");
        }

        const QByteArray bytes("\x02"
                               "A\xC8\r\n",
                               5);
        TRelatorio pronto("TTngPronto", "Texto pronto", nullptr);
        pronto.DefineTextoPronto(bytes);
        const ReportFolder pasta;
        QVERIFY(GravaRelatorioTexto(pronto, m_dir.filePath("pronto.txt")) &&
                Chama_Relatorio(pronto, nullptr, "T"));
        for (const QString& arquivo : {m_dir.filePath("pronto.txt"), pasta.Path("TTngPronto.txt")}) {
            QFile f(arquivo);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), bytes);
        }
    }

    // A sheet of 2 items over 3 steps and a service: the weight totalled once over the items, every header
    // field and caption as a user reads it, the steps under their phases in route order, the service listed.
    void falImpressaDoBanco() {
        const QList<double> pesos = {300.5, 193.3};
        const QStringList fases = {"01|PREPARO", "03|TINGIMENTO", "05|LAVAGEM"};
        const QString obsReceita =
            "Dissolver os corantes a 40 graus antes de entrar; subir 1 grau por minuto "
            "até 60 graus e manter por 45 minutos, conferindo o pH a cada 15 minutos.";
        // Header fields, each with the value the data gives it.
        const QStringList campos =
            QString(
                "Nome fantasia:|MALHAS UM;Status:|A;Tabela de preço:|SUL;Prazo de pagamento:|07 dias;Tom:|"
                "Escura;Complemento da cor:|REATIVO BIFUNCIONAL;Máquina:|M1 - JET 120;Variante:|01 - CLARA;"
                "Roteiro:|R1 - TINTO;Serviço da cor:|03 - TINGIMENTO;Serviços da FAL:|07 - AMACIAMENTO (R$ "
                "0,50/kg)")
                .split(';');
        Insert("ENTIDADE (CODCLI, NOME, FANTASIA)", {"'C1', 'MALHARIA UM LTDA', 'MALHAS UM'"});
        Insert("FASE (CODIGO, DESCRICAO)",
               {"'07', 'AMACIAMENTO'", "'01', 'PREPARO'", "'03', 'TINGIMENTO'", "'05', 'LAVAGEM'"});
        Insert("ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE)",
               {"'R1', 'TINTO', 1, '01'", "'R1', 'TINTO', 2, '03'", "'R1', 'TINTO', 3, '05'"});
        Insert("MAQ_TIN (CODIGO, DESCRICAO)", {"'M1', 'JET 120'"});
        Insert("VARIANTE (CODIGO, DESCRICAO)", {"'01', 'CLARA'"});
        Insert("CADCORTIN (CODIGO, DESCRICAO, TON, COMPLEMENTO)",
               {"'AZ', 'AZUL', 'Escura', 'REATIVO BIFUNCIONAL'"});
        Insert("RECEITA (CODIGO, VARIANTE, COR, OBS)", {"'0001', '01', 'AZ', '" + obsReceita + "'"});
        Insert("TABPRECO (REGIAO, COR, VARIANTE, SERVICO)", {"'SUL', 'AZ', '01', '03'"});
        Insert("FAL (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, PRAZO, STATUS)",
               {"'000001', 'C1', 'AZ', '01', 'R1', 'M1', 'SUL', '07', 'A'"});
        Insert("TABELA (CODIGO, SETOR, PRECO)", {"'000001', '07', 0.5"});
        for (int i = 0; i < pesos.size(); ++i) {
            const QString n = QString::number(i + 1);
            Insert("PRODUTO (CODIGO, DESCRICAO, OBS)",
                   {QStringLiteral("'T%1', 'MALHA %1', 'LAVAR A FRIO %1'").arg(n)});
            Insert("FAL_ITEN (FAL, NOTA, CODIGO, LOTE, ROLO, PESO, FLUXO, ORD_IT)",
                   {QStringLiteral("'000001', 'N1', 'T%1', 'L%1', %2, %3, 'R1', %1")
                        .arg(n)
                        .arg(10 + i)
                        .arg(pesos[i])});
            for (int f = 0; f < fases.size(); ++f)
                Insert("PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, DES_FASE, ORDEM)",
                       {QStringLiteral("'000001', 'T%1', %1, '%2', '%3', %4")
                            .arg(n, fases[f].section('|', 0, 0), fases[f].section('|', 1))
                            .arg(f + 1)});
        }
        Commit();

        const ReportFolder pasta;
        RegistraLayout("WTngFAL", LayoutFal); // as the lot-sheet screen's unit does when the module loads
        const auto semLayout = qScopeGuard([] { RemoveLayout("WTngFAL"); });
        QVERIFY(ImprimeFal("000001", nullptr, "W") && ImprimeFal("000001", nullptr, "T"));
        for (const QString& tudo :
             {pasta.Text("WTngFAL.pdf"), paginasTexto(pasta.Path("WTngFAL.txt")).join('\n')}) {
            QVERIFY(tudo.contains(naLinha({"Total geral", "(2 registros)", "21", brl(pesos[0] + pesos[1])})));
            QVERIFY(
                tudo.contains(naLinha({"Item", "NF", "Tecido", "Descrição", "Lote", "Rolos", "Peso (kg)"})));
            for (const char* nome : {"CODIGO", "DES_FASE", "ORD_IT", "PROD_OBS"})
                QVERIFY2(!tudo.contains(nome), nome);
            for (const QString& campo : campos)
                QVERIFY2(tudo.contains(naLinha(campo.split('|'))), qPrintable(campo));
            QVERIFY(inteiro(palavras(tudo), obsReceita) && tudo.contains("LAVAR A FRIO 2"));
            // Each phase once, in route order, both items under it.
            qsizetype anterior = tudo.indexOf("Etapas do processo");
            for (const QString& fase : fases) {
                const qsizetype grupo =
                    tudo.indexOf(naLinha({"Fase:", fase.section('|', 0, 0), "-", fase.section('|', 1)}));
                QVERIFY2(grupo > anterior && tudo.count("Fase: " + fase.section('|', 0, 0)) == 1,
                         qPrintable(fase));
                QVERIFY(tudo.indexOf(naLinha({"2", "T2", "MALHA 2", "Pendente"}), grupo) > grupo);
                anterior = grupo;
            }
        }
    }

    void cleanup() {
        qunsetenv("KELM_REPORT_DIR");
        DatabaseTestCase::cleanup();
    }

private:
    QTemporaryDir m_dir;
    TClientDataSet m_ds;
};

QTEST_MAIN(TstRelatorio)
#include "tst_relatorio.moc"
