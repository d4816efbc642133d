// The report engine: graphic output read back from PDF, text pages, layouts per identifier and the
// routing of the screens' calls.
#include "Formatacao.h"
#include "HostContext.h"
#include "HostError.h"
#include "Relatorio.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {
const QStringList kClientes = {QStringLiteral("Confecções Ibirá"), QStringLiteral("Malharia São João"),
                               QStringLiteral("Malhas Conceição"), QStringLiteral("Tecelagem D'Ávila"),
                               QStringLiteral("Têxtil Pirâmide")};
const QStringList kCores = {QStringLiteral("Azul Marinho"),  QStringLiteral("Vermelho Ferrari"),
                            QStringLiteral("Preto Intenso"), QStringLiteral("Branco Óptico"),
                            QStringLiteral("Verde Musgo"),   QStringLiteral("Amarelo Ouro")};
constexpr int kPorCliente = 24;

// FAL orders of five customers, sorted by customer as a screen's query would give them.
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
    int n = 0;
    for (const QString& cliente : kClientes)
        for (int i = 0; i < kPorCliente; ++i, ++n) {
            const double peso = 35.5 + (n * 37 % 400) + (n % 4) * 0.25;
            ds.Append();
            ds.FieldByName("FAL") = 24100 + n * 3;
            ds.FieldByName("EMISSAO") = QDate(2026, 11, 1).addDays(n % 30);
            ds.FieldByName("CLIENTE") = cliente;
            ds.FieldByName("COR") = kCores[n % kCores.size()];
            ds.FieldByName("PESO") = peso;
            ds.FieldByName("VALOR") = std::round(peso * (8.9 + (n % 5) * 1.35) * 100) / 100;
            ds.FieldByName("ID_INTERNO") = 900000 + n;
            ds.Post();
        }
    ds.First();
}

// 1.234,56 written out by hand, so the engine's formatting is checked against something of its own.
QString brl(double valor, int casas = 2) {
    const qint64 escala = qRound64(std::pow(10, casas));
    const qint64 inteiro = qRound64(std::abs(valor) * escala);
    QString parteInteira = QString::number(inteiro / escala);
    for (qsizetype i = parteInteira.size() - 3; i > 0; i -= 3)
        parteInteira.insert(i, '.');
    const QString decimais = QString::number(inteiro % escala).rightJustified(casas, '0');
    return (valor < 0 ? QStringLiteral("-") : QString()) + parteInteira +
           (casas > 0 ? ',' + decimais : QString());
}

// Sum of a field over the rows (whose field chave equals valor, when given).
double soma(TDataSet& ds, const QString& campo, const QString& chave = QString(),
            const QString& valor = QString()) {
    double total = 0;
    for (int p = 0; p < ds.RecordCount(); ++p)
        if (chave.isEmpty() || ds.ValueAt(p, ds.FieldIndex(chave)).toString() == valor)
            total += ds.ValueAt(p, ds.FieldIndex(campo)).toDouble();
    return total;
}

// Texts on one line, in order, separated by blanks only.
QRegularExpression naLinha(const QStringList& textos) {
    QStringList partes;
    for (const QString& texto : textos)
        partes << QRegularExpression::escape(texto);
    return QRegularExpression(partes.join(QStringLiteral("[ \\t]+")));
}

int ocorrencias(const QString& texto, const QRegularExpression& re) {
    int n = 0;
    for (auto it = re.globalMatch(texto); it.hasNext(); it.next())
        ++n;
    return n;
}

// The printed cells of one data row, as the default columns show them.
QStringList celulas(TDataSet& ds, int p) {
    auto valor = [&](const char* campo) { return ds.ValueAt(p, ds.FieldIndex(campo)); };
    return {valor("FAL").toString(),       valor("EMISSAO").toDate().toString("dd/MM/yyyy"),
            valor("CLIENTE").toString(),   valor("COR").toString(),
            brl(valor("PESO").toDouble()), brl(valor("VALOR").toDouble())};
}

const QStringList kTitulos = {"FAL", "Emissão", "Cliente", "Cor", "Peso (kg)", "Valor (R$)"};

QString pdfTexto(const QString& pdf) {
    QProcess processo;
    processo.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    processo.waitForFinished();
    return QString::fromUtf8(processo.readAllStandardOutput());
}

// Pages of pdftotext output (it ends every page with a form feed).
QStringList paginasPdf(const QString& pdf) {
    QStringList paginas = pdfTexto(pdf).split('\f');
    if (!paginas.isEmpty() && paginas.last().trimmed().isEmpty())
        paginas.removeLast();
    return paginas;
}

QString tamanhoPagina(const QString& pdf) {
    QProcess processo;
    processo.start("pdfinfo", {pdf});
    processo.waitForFinished();
    const auto m = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+)")
                       .match(QString::fromUtf8(processo.readAllStandardOutput()));
    return m.hasMatch() ? (m.captured(1).toDouble() < m.captured(2).toDouble() ? "retrato" : "paisagem")
                        : QString();
}

QStringList paginasTexto(const QString& arquivo) {
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString texto = QString::fromUtf8(f.readAll());
    if (texto.endsWith('\n'))
        texto.chop(1);
    return texto.split('\f');
}

// A customer register as wide as the host's (22 columns) plus a long remark: every value differs
// from row to row, so each can be found again.
const QStringList kCamposClientes = {
    "CODCLI",   "NOME",  "FANTASIA", "TIPO_ENTIDADE", "CNPJ",     "ENDERECO",       "NUMERO", "COMPLEMENTO",
    "BAIRRO",   "CEP",   "FONE",     "EMAIL",         "ATIVO",    "BLOQUEIO",       "TABELA", "PRAZO",
    "CONDICAO", "GRUPO", "CODREP",   "SIT_CLI",       "COD_ATVD", "LIMITE_CREDITO", "OBS"};
const QStringList kTitulosClientes = {"Código",
                                      "Razão Social",
                                      "Nome Fantasia",
                                      "Tipo",
                                      "CNPJ/CPF",
                                      "Endereço",
                                      "Número",
                                      "Complemento",
                                      "Bairro",
                                      "CEP",
                                      "Telefone",
                                      "E-mail",
                                      "Ativo",
                                      "Bloqueado",
                                      "Região de Preço",
                                      "Prazo (dias)",
                                      "Condição de Pagamento",
                                      "Grupo",
                                      "Representante",
                                      "Situação",
                                      "Atividade",
                                      "Limite de Crédito",
                                      "Observação"};

void preencheClientes(TClientDataSet& ds, int campos = int(kCamposClientes.size())) {
    for (int c = 0; c < campos; ++c)
        ds.AddField(kCamposClientes[c],
                    kCamposClientes[c] == "LIMITE_CREDITO" ? QMetaType::Double : QMetaType::QString, 0,
                    kTitulosClientes[c]);
    ds.CreateDataSet();
    const QStringList cidades = {"Azambuja", "Centro", "Vila Nova", "Itoupava Seca", "Garcia"};
    for (int n = 1; n <= 30; ++n) {
        const QString k = QString::number(n).rightJustified(2, '0');
        const QStringList valores = {
            "C00" + k,
            QStringLiteral("Malharia e Tinturaria Santa Catarina %1 Ltda").arg(k),
            QStringLiteral("MALHARIA SC %1").arg(k),
            n % 3 ? "C" : "CF",
            QStringLiteral("82.341.%1/0001-96").arg(500 + n),
            QStringLiteral("Rua Engenheiro Paul Werner %1").arg(k),
            QString::number(1000 + n),
            n % 2 ? QStringLiteral("Galpão %1").arg(k) : QString(),
            cidades[n % cidades.size()],
            QStringLiteral("88%1-000").arg(300 + n),
            QStringLiteral("(47) 3351-%1").arg(4200 + n),
            QStringLiteral("pcp%1@malhariasantacatarina.com.br").arg(k),
            "S",
            "N",
            "0" + QString::number(n % 4 + 1),
            QString::number(n % 5 * 7),
            QStringLiteral("30/60/9%1").arg(n % 10),
            "00" + k,
            "000" + k,
            "001",
            QString::number(1300 + n),
            QString::number(1000 * n + 0.5),
            QStringLiteral(
                "Cliente %1 recebe malha crua em rolos; conferir gramatura na entrada e avisar o PCP "
                "antes de programar cores escuras.")
                .arg(k)};
        ds.Append();
        for (int c = 0; c < campos; ++c)
            if (!valores[c].isEmpty())
                ds.FieldByName(kCamposClientes[c]) = c == kCamposClientes.indexOf("LIMITE_CREDITO")
                                                         ? QVariant(valores[c].toDouble())
                                                         : QVariant(valores[c]);
        ds.Post();
    }
    ds.First();
}

// Words of a printed text, blanks and line ends alike.
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

// The printed lines of each record: from the line where its code starts to the next record's (or the
// end of its page).
QList<QStringList> blocos(const QStringList& paginas, TDataSet& ds) {
    QList<QStringList> resultado(ds.RecordCount());
    for (const QString& pagina : paginas) {
        const QStringList linhas = pagina.split('\n');
        int atual = -1;
        for (const QString& linha : linhas) {
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

TRelatorio relatorioFal(TDataSet& ds, const QString& identificador = "WTngFAL") {
    TRelatorio r(identificador, "Relatório de FAL por Cliente", &ds);
    r.AdicionaCabecalho("Período", "01/11/2026 a 30/11/2026");
    r.AdicionaCabecalho("Situação", "Faturadas");
    r.AgrupaPor("CLIENTE");
    r.DefineRodape("Emitido por ADMIN em 06/12/2026 10:15");
    return r;
}
} // namespace

class TstRelatorio : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pdfCarriesTitleRowsGroupsAndTotals();
    void textPagesHaveFixedWidthAndLength();
    void registeredLayoutChangesOnlyItsIdentifier();
    void wideColumnsTurnThePage();
    void labelWithoutRoomGoesAboveTheTotals();
    void wideRegisterPrintsEveryColumnWhole();
    void registerThatFitsSmallerPrintsOnOneLine();
    void wideRegisterInTextKeepsEveryValue();
    void emptyDataSetStillPrints();
    void printsOnAGivenPrinter();
    void callsAreRoutedToFilesOrAsked();
    void faultsAreReported();
    void cleanup();

private:
    QTemporaryDir m_dir;
    TClientDataSet m_ds;
};

void TstRelatorio::initTestCase() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
        QStandardPaths::findExecutable("pdfinfo").isEmpty())
        QSKIP("poppler-utils (pdftotext, pdfinfo) missing: run scripts/setup-deps");
    QVERIFY(m_dir.isValid());
    // Reports print Brazilian numbers whatever the workstation's locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    qputenv("KELM_INI", m_dir.filePath("kelm.ini").toUtf8());
    qunsetenv("KELM_REPORT_DIR");
    preenche(m_ds);
}

void TstRelatorio::cleanup() {
    qunsetenv("KELM_REPORT_DIR");
}

void TstRelatorio::pdfCarriesTitleRowsGroupsAndTotals() {
    m_ds.MoveTo(7);
    const QString pdf = m_dir.filePath("fal.pdf");
    QVERIFY(GravaRelatorioPdf(relatorioFal(m_ds), pdf));
    QCOMPARE(m_ds.RecNo(), 7); // the screen's cursor stays put
    const QStringList paginas = paginasPdf(pdf);
    QVERIFY2(paginas.size() > 1, qPrintable(QString::number(paginas.size())));
    const QString tudo = paginas.join('\n');

    // Title band on the first page only; column headers on every page.
    QVERIFY(paginas[0].contains("Relatório de FAL por Cliente"));
    QVERIFY(paginas[0].contains(naLinha({"Período:", "01/11/2026 a 30/11/2026"})));
    QVERIFY(paginas[0].contains(naLinha({"Situação:", "Faturadas"})));
    QVERIFY(!paginas[1].contains("Período:"));
    for (const QString& pagina : paginas)
        QVERIFY(pagina.contains(naLinha(kTitulos)));
    QVERIFY(!tudo.contains("Identificador interno"));
    QVERIFY(!tudo.contains("900000"));

    // Every row once, none split or lost between pages; first on page 1, last on the last page.
    for (int p = 0; p < m_ds.RecordCount(); ++p)
        QVERIFY2(ocorrencias(tudo, naLinha(celulas(m_ds, p))) == 1, qPrintable(celulas(m_ds, p).join(" | ")));
    QVERIFY(paginas.first().contains(naLinha(celulas(m_ds, 0))));
    QVERIFY(paginas.last().contains(naLinha(celulas(m_ds, m_ds.RecordCount() - 1))));

    // Group bands and totals, summed from the data.
    for (const QString& cliente : kClientes) {
        QCOMPARE(ocorrencias(tudo, naLinha({"Cliente:", cliente})), 1);
        QVERIFY2(
            tudo.contains(naLinha({"Subtotal " + cliente, QStringLiteral("(%1 registros)").arg(kPorCliente),
                                   brl(soma(m_ds, "PESO", "CLIENTE", cliente)),
                                   brl(soma(m_ds, "VALOR", "CLIENTE", cliente))})),
            qPrintable(cliente));
    }
    QVERIFY(paginas.last().contains(
        naLinha({"Total geral", "(120 registros)", brl(soma(m_ds, "PESO")), brl(soma(m_ds, "VALOR"))})));
    QVERIFY(brl(soma(m_ds, "VALOR")).count('.') >= 1); // the sums are big enough to show grouping

    // Page footer on every page.
    for (int p = 0; p < paginas.size(); ++p) {
        QVERIFY(paginas[p].contains(naLinha({"Emitido por ADMIN em 06/12/2026 10:15"})));
        QVERIFY2(paginas[p].contains(QStringLiteral("Página %1 de %2").arg(p + 1).arg(paginas.size())),
                 qPrintable(paginas[p].right(200)));
    }
    QCOMPARE(tamanhoPagina(pdf), QStringLiteral("retrato"));
}

void TstRelatorio::textPagesHaveFixedWidthAndLength() {
    const QString arquivo = m_dir.filePath("fal.txt");
    QVERIFY(GravaRelatorioTexto(relatorioFal(m_ds), arquivo));
    const QStringList paginas = paginasTexto(arquivo);
    QVERIFY(paginas.size() > 1);
    const QString tudo = paginas.join('\n');

    // These six columns fit 80 characters; the rules take the whole width and nothing passes it.
    const QStringList primeiraPagina = paginas[0].split('\n');
    QCOMPARE(primeiraPagina.first().trimmed(), QStringLiteral("Relatório de FAL por Cliente"));
    QCOMPARE(primeiraPagina[4], QString(80, '=')); // the rule under the header fields
    for (int p = 0; p < paginas.size(); ++p) {
        const QStringList linhas = paginas[p].split('\n');
        QCOMPARE(linhas.size(), 66);
        for (const QString& linha : linhas)
            QVERIFY2(linha.size() <= 80, qPrintable(linha));
        QVERIFY(linhas.filter(naLinha(kTitulos)).size() == 1);
        QVERIFY(linhas.last().startsWith("Emitido por ADMIN em 06/12/2026 10:15"));
        QVERIFY(linhas.last().endsWith(QStringLiteral("Página %1 de %2").arg(p + 1).arg(paginas.size())));
        QCOMPARE(linhas.last().size(), 80);
    }
    QVERIFY(primeiraPagina.contains("Período: 01/11/2026 a 30/11/2026"));

    for (int p = 0; p < m_ds.RecordCount(); ++p)
        QVERIFY2(ocorrencias(tudo, naLinha(celulas(m_ds, p))) == 1, qPrintable(celulas(m_ds, p).join(" | ")));
    for (const QString& cliente : kClientes)
        QVERIFY(tudo.contains(naLinha(
            {"Subtotal " + cliente, QStringLiteral("(%1 registros)").arg(kPorCliente),
             brl(soma(m_ds, "PESO", "CLIENTE", cliente)), brl(soma(m_ds, "VALOR", "CLIENTE", cliente))})));
    QVERIFY(paginas.last().contains(
        naLinha({"Total geral", "(120 registros)", brl(soma(m_ds, "PESO")), brl(soma(m_ds, "VALOR"))})));

    // Numbers line up on the right edge of their column.
    const QStringList linhas = tudo.split('\n');
    const QString total = linhas.filter("Total geral").first();
    const QString primeira = linhas.filter(naLinha(celulas(m_ds, 0))).first();
    QCOMPARE(total.size(), primeira.size());
}

void TstRelatorio::registeredLayoutChangesOnlyItsIdentifier() {
    RegistraLayout("WTngProgMaq", [](TRelatorio& r) {
        ColunaRelatorio cor = r.Coluna("COR");
        cor.largura = 6;
        ColunaRelatorio peso = r.Coluna("PESO");
        peso.casas = 3;
        r.DefineColunas({r.Coluna("FAL"), cor, peso});
        r.AgrupaPor("COR");
    });
    TClientDataSet porCor;
    preenche(porCor);
    porCor.SetIndexFieldNames("COR;FAL");
    const QString maquina = m_dir.filePath("maq.pdf"), fal = m_dir.filePath("fal2.pdf");
    QVERIFY(GravaRelatorioPdf(relatorioFal(porCor, "WTngProgMaq"), maquina));
    QVERIFY(GravaRelatorioPdf(relatorioFal(porCor, "WTngFAL"), fal));

    const QString comLayout = paginasPdf(maquina).join('\n');
    QVERIFY(comLayout.contains(naLinha({"FAL", "Cor", "Peso (kg)"})));
    QVERIFY(!comLayout.contains("Valor (R$)"));
    QVERIFY(!comLayout.contains("Tecelagem"));
    for (const QString& cor : kCores)
        QVERIFY2(comLayout.contains(naLinha(
                     {"Subtotal " + cor, "(20 registros)", brl(soma(porCor, "PESO", "COR", cor), 3)})),
                 qPrintable(cor));
    QVERIFY(comLayout.contains(naLinha({"Total geral", "(120 registros)", brl(soma(porCor, "PESO"), 3)})));
    const QString semLayout = paginasPdf(fal).join('\n');
    QVERIFY(semLayout.contains(naLinha(kTitulos)));
    QVERIFY(semLayout.contains(naLinha({"Cliente:", "Tecelagem D'Ávila"})));

    // Three narrow columns fit 80 characters; the colour is cut to its six.
    const QString arquivo = m_dir.filePath("maq.txt");
    QVERIFY(GravaRelatorioTexto(relatorioFal(porCor, "WTngProgMaq"), arquivo));
    const QStringList linhas = paginasTexto(arquivo).join('\n').split('\n');
    QVERIFY(linhas.contains(QString(80, '=')));
    for (const QString& linha : linhas)
        QVERIFY2(linha.size() <= 80, qPrintable(linha));
    auto valor = [&](const char* campo) { return porCor.ValueAt(0, porCor.FieldIndex(campo)); };
    QVERIFY(!linhas
                 .filter(naLinha({valor("FAL").toString(), valor("COR").toString().left(6),
                                  brl(valor("PESO").toDouble(), 3)}))
                 .isEmpty());
    QCOMPARE(linhas.filter("Vermelho F").size(), 2); // its group header and subtotal only
    // The subtotal's label does not fit before the weight column: it gets a line of its own.
    const qsizetype subtotal = linhas.indexOf("Subtotal Azul Marinho (20 registros)");
    QVERIFY(subtotal > 0);
    QCOMPARE(linhas[subtotal + 1].trimmed(), brl(soma(porCor, "PESO", "COR", "Azul Marinho"), 3));
}

void TstRelatorio::wideColumnsTurnThePage() {
    RegistraLayout("WTngLargo", [](TRelatorio& r) {
        QList<ColunaRelatorio> colunas = r.ColunasPadrao();
        colunas[2].largura = 45;
        colunas[3].largura = 40;
        r.DefineColunas(colunas);
    });
    const QString pdf = m_dir.filePath("largo.pdf");
    QVERIFY(GravaRelatorioPdf(relatorioFal(m_ds, "WTngLargo"), pdf));
    QCOMPARE(tamanhoPagina(pdf), QStringLiteral("paisagem"));
    const QStringList paginas = paginasPdf(pdf);
    for (const QString& pagina : paginas)
        QVERIFY(pagina.contains(naLinha(kTitulos)));
    QVERIFY(paginas.join('\n').contains(naLinha(celulas(m_ds, m_ds.RecordCount() - 1))));

    // In text they need more than 80 characters: 132 it is.
    const QString arquivo = m_dir.filePath("largo.txt");
    QVERIFY(GravaRelatorioTexto(relatorioFal(m_ds, "WTngLargo"), arquivo));
    const QStringList linhas = paginasTexto(arquivo).join('\n').split('\n');
    QVERIFY(linhas.contains(QString(132, '=')));
    for (const QString& linha : linhas)
        QVERIFY2(linha.size() <= 132, qPrintable(linha));
    QVERIFY(!linhas.filter(naLinha(celulas(m_ds, 0))).isEmpty());
}

void TstRelatorio::labelWithoutRoomGoesAboveTheTotals() {
    RegistraLayout("WTngPesoCor", [](TRelatorio& r) {
        r.DefineColunas({r.Coluna("PESO"), r.Coluna("COR")});
    });
    const TRelatorio r("WTngPesoCor", "Peso por cor", &m_ds);
    const QString total = brl(soma(m_ds, "PESO"));

    const QString pdf = m_dir.filePath("pesocor.pdf");
    QVERIFY(GravaRelatorioPdf(r, pdf));
    const QStringList linhasPdf = paginasPdf(pdf).last().split('\n');
    const qsizetype rotuloPdf =
        linhasPdf.indexOf(QRegularExpression("^\\s*Total geral \\(120 registros\\)\\s*$"));
    QVERIFY(rotuloPdf >= 0);
    const auto seguinte = std::find_if(linhasPdf.begin() + rotuloPdf + 1, linhasPdf.end(),
                                       [](const QString& linha) { return !linha.trimmed().isEmpty(); });
    QVERIFY(seguinte != linhasPdf.end());
    QCOMPARE(seguinte->trimmed(), total);

    const QString txt = m_dir.filePath("pesocor.txt");
    QVERIFY(GravaRelatorioTexto(r, txt));
    const QStringList linhas = paginasTexto(txt).last().split('\n');
    const qsizetype rotulo = linhas.indexOf("Total geral (120 registros)");
    QVERIFY(rotulo >= 0);
    QCOMPARE(linhas.value(rotulo + 1).trimmed(), total);
}

void TstRelatorio::wideRegisterPrintsEveryColumnWhole() {
    TClientDataSet clientes;
    preencheClientes(clientes);
    const QString pdf = m_dir.filePath("clientes.pdf");
    QVERIFY(GravaRelatorioPdf(TRelatorio("WENTIDADE", "Clientes e Fornecedores", &clientes), pdf));
    QCOMPARE(tamanhoPagina(pdf), QStringLiteral("paisagem"));
    const QStringList paginas = paginasPdf(pdf);
    const QString tudo = paginas.join('\n');
    QVERIFY2(!tudo.contains(QChar(0x2026)), "nothing is elided");

    // Every caption on every page, above the first record.
    for (const QString& pagina : paginas) {
        const QString cabecalho = pagina.left(pagina.indexOf(QRegularExpression("\\bC00\\d\\d\\b")));
        for (const QString& titulo : kTitulosClientes)
            QVERIFY2(inteiro(palavras(cabecalho), titulo), qPrintable(titulo + "\n" + cabecalho));
    }
    // Every value of every record, whole, in its record's lines; each record once.
    const QList<QStringList> linhas = blocos(paginas, clientes);
    for (int p = 0; p < clientes.RecordCount(); ++p) {
        QCOMPARE(ocorrencias(tudo, QRegularExpression(
                                       QStringLiteral("\\b%1\\b").arg(clientes.ValueAt(p, 0).toString()))),
                 1);
        for (int c = 0; c < clientes.FieldCount(); ++c) {
            const QString valor = TextoExibicao(clientes.ValueAt(p, c), c == 21 ? 2 : -1);
            QVERIFY2(inteiro(linhas[p], valor), qPrintable(valor + " | " + linhas[p].join(' ')));
        }
    }
    // Long texts wrap: the record goes on below its first line, which does not hold the whole remark.
    const QStringList primeira = paginas[0].split('\n');
    const qsizetype linha = primeira.indexOf(QRegularExpression("^\\s*C0001\\b.*"));
    QVERIFY(linha >= 0);
    QVERIFY(!primeira[linha].contains("escuras."));
    QVERIFY(!primeira[linha + 1].trimmed().isEmpty());
    QVERIFY(!primeira[linha + 1].contains("C0002"));
}

void TstRelatorio::registerThatFitsSmallerPrintsOnOneLine() {
    // Twelve columns need more than the page's width at the body size, less at a smaller one.
    TClientDataSet clientes;
    preencheClientes(clientes, 12);
    const QString pdf = m_dir.filePath("clientes12.pdf");
    QVERIFY(GravaRelatorioPdf(TRelatorio("WENTIDADE", "Clientes e Fornecedores", &clientes), pdf));
    QCOMPARE(tamanhoPagina(pdf), QStringLiteral("paisagem"));
    const QStringList paginas = paginasPdf(pdf);
    for (const QString& pagina : paginas)
        QVERIFY(pagina.contains(naLinha(kTitulosClientes.mid(0, 12))));
    const QString tudo = paginas.join('\n');
    for (int p = 0; p < clientes.RecordCount(); ++p) {
        QStringList celulas;
        for (int c = 0; c < clientes.FieldCount(); ++c)
            if (!clientes.ValueAt(p, c).isNull())
                celulas << clientes.ValueAt(p, c).toString();
        QVERIFY2(ocorrencias(tudo, naLinha(celulas)) == 1, qPrintable(celulas.join(" | ")));
    }
}

void TstRelatorio::wideRegisterInTextKeepsEveryValue() {
    TClientDataSet clientes;
    preencheClientes(clientes);
    const QString arquivo = m_dir.filePath("clientes.txt");
    QVERIFY(GravaRelatorioTexto(TRelatorio("TENTIDADE", "Clientes e Fornecedores", &clientes), arquivo));
    const QStringList paginas = paginasTexto(arquivo);
    for (const QString& pagina : paginas) {
        const QStringList linhas = pagina.split('\n');
        QCOMPARE(linhas.size(), 66);
        QVERIFY(linhas.contains(QString(132, '=')));
        for (const QString& linha : linhas)
            QVERIFY2(linha.size() <= 132, qPrintable(linha));
        const QString cabecalho = pagina.left(pagina.indexOf(QString(132, '-')));
        for (const QString& titulo : kTitulosClientes)
            QVERIFY2(inteiro(palavras(cabecalho), titulo), qPrintable(titulo));
    }
    const QList<QStringList> linhas = blocos(paginas, clientes);
    for (int p = 0; p < clientes.RecordCount(); ++p)
        for (int c = 0; c < clientes.FieldCount(); ++c) {
            const QString valor = TextoExibicao(clientes.ValueAt(p, c), c == 21 ? 2 : -1);
            QVERIFY2(inteiro(linhas[p], valor), qPrintable(valor + " | " + linhas[p].join(' ')));
        }
}

void TstRelatorio::emptyDataSetStillPrints() {
    TClientDataSet vazio;
    vazio.AddField("FAL", QMetaType::Int, 0, "FAL").AddField("PESO", QMetaType::Double, 0, "Peso (kg)");
    vazio.CreateDataSet();
    TRelatorio r("WTngVazio", "Relatório sem dados", &vazio);
    const QString pdf = m_dir.filePath("vazio.pdf"), txt = m_dir.filePath("vazio.txt");
    QVERIFY(GravaRelatorioPdf(r, pdf));
    const QStringList paginas = paginasPdf(pdf);
    QCOMPARE(paginas.size(), 1);
    QVERIFY(paginas[0].contains("Nenhum registro."));
    QVERIFY(paginas[0].contains(naLinha({"FAL", "Peso (kg)"})));
    QVERIFY(paginas[0].contains("Página 1 de 1"));
    QVERIFY(!paginas[0].contains("Total geral"));

    QVERIFY(GravaRelatorioTexto(r, txt));
    const QStringList texto = paginasTexto(txt);
    QCOMPARE(texto.size(), 1);
    QCOMPARE(texto[0].split('\n').size(), 66);
    QVERIFY(texto[0].split('\n').contains("Nenhum registro."));
    QVERIFY(texto[0].contains("Emitido em ")); // the default footer
}

void TstRelatorio::printsOnAGivenPrinter() {
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setOutputFileName(m_dir.filePath("impressora.pdf"));
    QVERIFY(ImprimeRelatorio(relatorioFal(m_ds), impressora));
    const QStringList paginas = paginasPdf(impressora.outputFileName());
    QVERIFY(paginas.size() > 1);
    QVERIFY(paginas[0].contains("Relatório de FAL por Cliente"));
    QVERIFY(paginas.last().contains(
        naLinha({"Total geral", "(120 registros)", brl(soma(m_ds, "PESO")), brl(soma(m_ds, "VALOR"))})));
    QCOMPARE(tamanhoPagina(impressora.outputFileName()), QStringLiteral("retrato"));
}

void TstRelatorio::callsAreRoutedToFilesOrAsked() {
    ScriptedMessageService mensagens;
    HostContext contexto(mensagens);
    const QTemporaryDir saida;
    qputenv("KELM_REPORT_DIR", saida.path().toUtf8());

    // Headless: straight to <dir>/<identifier>, nothing asked.
    QVERIFY(Chama_Relatorio(relatorioFal(m_ds), nullptr, "W"));
    QVERIFY(paginasPdf(saida.filePath("WTngFAL.pdf")).join('\n').contains("Relatório de FAL por Cliente"));
    QVERIFY(Chama_Relatorio(relatorioFal(m_ds, "TTngEtq01"), nullptr, "T"));
    QCOMPARE(paginasTexto(saida.filePath("TTngEtq01.txt"))[0].split('\n').size(), 66);
    QVERIFY(Chama_RelatorioWin(relatorioFal(m_ds, "WTngWin"), nullptr));
    QVERIFY(QFile::exists(saida.filePath("WTngWin.pdf")));
    QVERIFY(Chama_RelatorioTxt(relatorioFal(m_ds, "TTngTxt"), nullptr));
    QVERIFY(QFile::exists(saida.filePath("TTngTxt.txt")));
    QVERIFY(Chama_Relatorio(relatorioFal(m_ds, "WTngPdf"), nullptr, "WP"));
    QVERIFY(QFile::exists(saida.filePath("WTngPdf.pdf")));
    QVERIFY(mensagens.shown.isEmpty());

    // Interactive: the user names the file, or cancels.
    qunsetenv("KELM_REPORT_DIR");
    const QString escolhido = m_dir.filePath("escolhido.txt");
    mensagens.files.enqueue(escolhido);
    QVERIFY(Chama_Relatorio(relatorioFal(m_ds, "TTngEtq01"), nullptr, "T"));
    QVERIFY(paginasTexto(escolhido).join('\n').contains("Total geral"));
    QVERIFY(!Chama_RelatorioTxt(relatorioFal(m_ds, "TTngEtq01"), nullptr));
    QCOMPARE(mensagens.shown.size(), 2);
    const QString pdf = m_dir.filePath("escolhido.pdf");
    mensagens.files.enqueue(pdf);
    QVERIFY(Chama_Relatorio(relatorioFal(m_ds), nullptr, "WP"));
    QVERIFY(paginasPdf(pdf).join('\n').contains("Total geral"));
}

void TstRelatorio::faultsAreReported() {
    RegistraLayout("WTngErrado", [](TRelatorio& r) {
        ColunaRelatorio c;
        c.campo = "PESO_LIQUIDO";
        r.DefineColunas({c});
    });
    QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                             GravaRelatorioPdf(relatorioFal(m_ds, "WTngErrado"), m_dir.filePath("x.pdf")));
    TRelatorio r("WTngFAL", "FAL", &m_ds);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, r.AgrupaPor("CLIENTE_NOME"));

    const QString semPasta = m_dir.filePath("nao-existe/relatorio");
    QVERIFY(!GravaRelatorioPdf(r, semPasta + ".pdf"));
    QVERIFY(!GravaRelatorioTexto(r, semPasta + ".txt"));

    // Through the screens' call the user is told.
    ScriptedMessageService mensagens;
    HostContext contexto(mensagens);
    qputenv("KELM_REPORT_DIR", semPasta.toUtf8());
    QVERIFY(!Chama_Relatorio(r, nullptr, "W"));
    QVERIFY(mensagens.LastText().contains("Não foi possível gerar o relatório"));
}

QTEST_MAIN(TstRelatorio)
#include "tst_relatorio.moc"
