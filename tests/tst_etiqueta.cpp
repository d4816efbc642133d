// Roll labels from layout files: the templates and their functions as a text layout writes them, in each
// encoding and locale; a pending phase cancelling the whole run; Code 128 symbols; graphic labels to PDF
// (pages, size, bar code digits, speed); the label printer's folder; the layouts shipped with the system.
#include "Etiqueta.h"
#include "HostContext.h"
#include "HostError.h"
#include "Relatorio.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include "TestFiles.h"
#include "TestLocale.h"
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <memory>

namespace {
const QStringList kCampos =
    QString("Nome Codigo Descricao Cor DescCor Lote Peso Peso_Liq Tara NrRolo Seq Barra "
            "Data Fase_Pend Partida FAL Cliente Largura Gramatura Obs")
        .split(' ');

// A roll's bar code: unique per row, an odd number of digits (the encoder's switch from C back to B).
QString barra(int n) {
    return QStringLiteral("789123%1").arg(n, 7, 10, QChar('0'));
}

// Rolls as the label screen hands them over; row 0 holds the values the templates are checked against.
void preencheRolos(TClientDataSet& ds, int rolos) {
    for (const QString& campo : kCampos) {
        QMetaType::Type tipo = QMetaType::QString;
        if (QStringList{"Peso", "Peso_Liq", "Tara", "Largura", "Gramatura"}.contains(campo))
            tipo = QMetaType::Double;
        else if (campo == "Seq")
            tipo = QMetaType::Int;
        else if (campo == "Data")
            tipo = QMetaType::QDate;
        ds.AddField(campo.toUpper(), tipo, campo == "Barra" ? 60 : 0);
    }
    ds.CreateDataSet();
    for (int n = 0; n < rolos; ++n) {
        const QVariantList valores = {n == 0 ? "MALHARIA SÃO JOÃO  " : QString("MALHARIA %1").arg(n),
                                      QString("T%1").arg(n),
                                      QString("MALHA PENTEADA %1").arg(n),
                                      "AZ",
                                      "AZUL MARINHO",
                                      "L-77",
                                      1234.5 + n,
                                      100.0 + n,
                                      0.75,
                                      QString::number(n + 1),
                                      n + 7,
                                      barra(n),
                                      QDate(2026, 3, 5),
                                      n % 50 == 3 ? "07" : "02",
                                      "12.345-6",
                                      "024100",
                                      "00012",
                                      1.8,
                                      160.0,
                                      n == 0 ? QVariant() : QVariant("Rolo com emenda a 12 m do início.")};
        ds.Append();
        for (int c = 0; c < valores.size(); ++c)
            ds.Fields(c) = valores[c];
        ds.Post();
    }
}

QString pdfinfo(const QString& pdf, const QString& chave) {
    QProcess processo;
    processo.start("pdfinfo", {pdf});
    processo.waitForFinished();
    const auto m = QRegularExpression("^" + chave + ":\\s+(.*)$", QRegularExpression::MultilineOption)
                       .match(QString::fromUtf8(processo.readAllStandardOutput()));
    return m.captured(1).trimmed();
}

// "w x h" in millimetres, from the points pdfinfo gives.
QString paginaMm(const QString& pdf) {
    const QStringList pontos = pdfinfo(pdf, "Page size").split(' ');
    return QStringLiteral("%1 x %2")
        .arg(std::round(pontos.value(0).toDouble() * 25.4 / 72))
        .arg(std::round(pontos.value(2).toDouble() * 25.4 / 72));
}

QByteArray le(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool grava(const QString& arquivo, const QByteArray& bytes) {
    QFile f(arquivo);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace

class TstEtiqueta : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!CanReadPdf())
            QSKIP("poppler-utils (pdftotext, pdfinfo) missing: run scripts/setup-deps");
        m_ini = std::make_unique<SettingsFile>("[Caminho]\npath=%1\nEtiqueta=%1/impressora\n");
        m_contexto = std::make_unique<HostContext>(m_mensagens);
        preencheRolos(m_rolos, 300);
        QVERIFY(QDir().mkpath(PastaLayouts()) && QDir().mkpath(m_ini->Path("impressora")));
    }
    void cleanupTestCase() { m_contexto.reset(); }

    // One template line of a text layout (or a whole layout) printed for row 0: its bytes, or the refusal
    // naming the layout and the text.
    void modelos_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QByteArray>("esperado");
        QTest::addColumn<QString>("erro");
        auto bytes = [](const char* texto) { return QByteArray(texto); };
        QTest::newRow("campos de cada tipo")
            << "[Nome]|[Seq]|[Peso]|[Peso_Liq]|[Data]|[Obs]|[Largura]|[vUsuario]"
            << bytes("MALHARIA S\xC3O JO\xC3O|7|1234,5|100|05/03/2026||1,8|ADMIN\n") << "";
        QTest::newRow("nomes em qualquer caixa")
            << "[nome] [PESO_LIQ] [vusuario]" << bytes("MALHARIA S\xC3O JO\xC3O 100 ADMIN\n") << "";
        QTest::newRow("literais e colchetes")
            << "[[[Lote]] ['d''Ávila'] [12] [-3.5]" << bytes("[L-77] d'\xC1vila 12 -3.5\n") << "";
        QTest::newRow("chamadas aninhadas")
            << "[ZeroE(TiraPontos(Partida), 8)] [ZeroE(  Seq ,3 )]" << bytes("00123456 007\n") << "";
        QTest::newRow("Pos") << "[Pos('-', Lote)] [Pos('X', Lote)] [Pos('', Lote)]" << bytes("2 0 0\n") << "";
        QTest::newRow("FormataV") << "[FormataV('12,5', 2)] [FormataV('12', 2)] [FormataV('1,2345', 2)] "
                                     "[FormataV(Peso, 2)] [FormataV(Obs, 2)]"
                                  << bytes("12,50 12,00 1,2345 1234,50 \n") << "";
        QTest::newRow("FV") << "[FV(Peso, 2)] [FV('3', 1)] [FV(Tara, 0)] [FV('1.234,5', 1)] [FV(Obs, 2)]"
                            << bytes("1234.50 3.0 1 1234.5 \n") << "";
        QTest::newRow("CHR1 em ISO-8859-1")
            << "[CHR1(2)]A[CHR1(200)]ã[CHR1(13)]" << QByteArray::fromHex("02 41 c8 e3 0d 0a") << "";
        QTest::newRow("CHR1 em UTF-8")
            << "#! CODIFICACAO UTF-8\n[CHR1(0)][CHR1(200)]ã" << QByteArray::fromHex("00 c8 c3 a3 0a") << "";
        QTest::newRow("comentários, linha em branco, CR LF") << "# cabeçalho\r\n[Lote]\r\n\r\n[Cor]\r\n"
                                                             << bytes("L-77\n\nAZ\n") << "";
        QTest::newRow("campo desconhecido") << "Lote [Lote] peso [Pesso]" << QByteArray()
                                            << "linha 1: campo desconhecido Pesso: Lote [Lote] peso [Pesso]";
        QTest::newRow("função desconhecida")
            << "# x\n[Soma(Peso)]" << QByteArray() << "linha 2: função desconhecida Soma";
        QTest::newRow("argumentos a menos")
            << "[ZeroE(Lote)]" << QByteArray() << "ZeroE leva 2 argumento(s), não 1";
        QTest::newRow("colchete aberto") << "[Lote" << QByteArray() << "falta ']'";
        QTest::newRow("codificação desconhecida")
            << "#! CODIFICACAO XPTO-9\n[Lote]" << QByteArray() << "codificação desconhecida XPTO-9";
        QTest::newRow("CHR1 fora da faixa") << "[CHR1(256)]" << QByteArray() << "CHR1 vai de 0 a 255";
    }
    void modelos() {
        QFETCH(QString, layout);
        QFETCH(QByteArray, esperado);
        QFETCH(QString, erro);
        QVERIFY(grava(QDir(PastaLayouts()).filePath("TTeste.prt"), layout.toUtf8()));
        EmCadaLocale([&] {
            const ReportFolder pasta;
            if (!erro.isEmpty()) {
                try {
                    ImprimeEtiquetas(pedido("TTeste", ModoEtiqueta::Texto), m_rolos, {0}, nullptr);
                    QFAIL("layout accepted");
                } catch (const EDatabaseError& e) {
                    QVERIFY2(e.message().contains("TTeste") && e.message().contains(erro),
                             qPrintable(e.message()));
                }
                QVERIFY(!QFile::exists(pasta.Path("TTeste.txt")));
                return;
            }
            QCOMPARE(ImprimeEtiquetas(pedido("TTeste", ModoEtiqueta::Texto), m_rolos, {0}, nullptr),
                     ResultadoEtiqueta::Impressa);
            QCOMPARE(le(pasta.Path("TTeste.txt")), esperado);
        });
    }

    // A layout the graphic reader refuses, naming the line.
    void graficoRecusado_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("erro");
        QTest::newRow("sem tamanho") << "TEXTO 1 1 8 N [Lote]"
                                     << "falta a linha TAMANHO";
        QTest::newRow("estilo") << "TAMANHO 50 30\nTEXTO 1 1 8 X [Lote]"
                                << "linha 2: o estilo é N";
        QTest::newRow("medidas") << "TAMANHO 50 30\nLINHA 1 1 9"
                                 << "LINHA leva de 4 a 5 medidas";
        QTest::newRow("elemento") << "TAMANHO 50 30\n\n# c\nCIRCULO 1 1 3"
                                  << "linha 4: elemento desconhecido";
        QTest::newRow("barra com acento") << "TAMANHO 50 30\nBARRA 1 1 40 20 [Nome]"
                                          << "MALHARIA S";
    }
    void graficoRecusado() {
        QFETCH(QString, layout);
        QFETCH(QString, erro);
        QVERIFY(grava(QDir(PastaLayouts()).filePath("WTeste.prt"), layout.toUtf8()));
        const ReportFolder pasta;
        try {
            ImprimeEtiquetas(pedido("WTeste", ModoEtiqueta::Grafico), m_rolos, {0}, nullptr);
            QFAIL("layout accepted");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.message().contains("WTeste") && e.message().contains(erro), qPrintable(e.message()));
        }
        QVERIFY(!QFile::exists(pasta.Path("WTeste.pdf")));
    }

    // Row 3 of the run has phase 07 pending (53 too): one message, nothing printed, written or sent, in
    // every mode. The same run without them prints.
    void fasePendenteCancelaTudo() {
        QVERIFY(grava(QDir(PastaLayouts()).filePath("TFase.prt"),
                      "[FasePendente(Fase_Pend, ' 05 ,07', 'Fase pendente.')][NrRolo]\n"));
        QVERIFY(grava(
            QDir(PastaLayouts()).filePath("WFase.prt"),
            "TAMANHO 40 20\nTEXTO 1 1 8 N [NrRolo][FasePendente(Fase_Pend, '05,07', 'Fase pendente.')]\n"));
        QVERIFY(grava(m_ini->Path("impressora/tag.sh"), "cp Tag.txt enviado.txt\n"));
        const ReportFolder pasta;
        const auto arquivos = [&] {
            return QDir(pasta.Path("")).entryList(QDir::Files) +
                   QDir(m_ini->Path("impressora")).entryList(QDir::Files);
        };
        for (const auto modo : {ModoEtiqueta::Texto, ModoEtiqueta::Grafico, ModoEtiqueta::Arquivo}) {
            QFile::remove(m_ini->Path("impressora/Tag.txt"));
            QFile::remove(m_ini->Path("impressora/enviado.txt"));
            QStringList avisos;
            PedidoEtiqueta p = pedido(modo == ModoEtiqueta::Grafico ? "WFase" : "TFase", modo);
            p.avisa = [&avisos](const QString& texto) { avisos << texto; };
            const QStringList antes = arquivos();
            QCOMPARE(ImprimeEtiquetas(p, m_rolos, {0, 1, 3, 4, 53}, nullptr), ResultadoEtiqueta::Cancelada);
            QCOMPARE(avisos, QStringList{"Fase pendente."});
            QCOMPARE(arquivos(), antes);
            QCOMPARE(ImprimeEtiquetas(p, m_rolos, {0, 1, 4}, nullptr), ResultadoEtiqueta::Impressa);
            QCOMPARE(avisos.size(), 1);
            QCOMPARE(arquivos().size(), antes.size() + (modo == ModoEtiqueta::Arquivo ? 2 : 1));
        }
        QCOMPARE(le(pasta.Path("TFase.txt")), QByteArray("1\n2\n5\n"));
        QCOMPARE(le(m_ini->Path("impressora/enviado.txt")), QByteArray("1\n2\n5\n"));
        QCOMPARE(pdfinfo(pasta.Path("WFase.pdf"), "Pages"), "3");
    }

    // Symbols worked out by hand from the code sets (B: ASCII - 32; C: the pair's number) and the check
    // (start + sum of position x value) mod 103; modules from the published widths.
    void code128_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QList<int>>("simbolos");
        QTest::addColumn<QString>("modulos");
        const QString inicioB = "11010010000", fim = "1100011101011";
        // (104 + 1*0) % 103 = 1; the space is value 0 (212222), "!" value 1 (222122).
        QTest::newRow("espaço") << " " << QList<int>{104, 0, 1, 106}
                                << inicioB + "11011001100" + "11001101100" + fim;
        // 105 + 12 + 2*34 + 3*56 = 353 -> 44
        QTest::newRow("dígitos, número par") << "123456" << QList<int>{105, 12, 34, 56, 44, 106} << "";
        // 105 + 12 + 2*34 + 3*100 + 4*21 = 569 -> 54
        QTest::newRow("dígitos, número ímpar") << "12345" << QList<int>{105, 12, 34, 100, 21, 54, 106} << "";
        // 104 + 17 + 2*18 + 3*19 = 214 -> 8
        QTest::newRow("três dígitos ficam em B") << "123" << QList<int>{104, 17, 18, 19, 8, 106} << "";
        // 104 + 55 + 2*73 + 3*75 + 4*73 + 5*80 + 6*69 + 7*68 + 8*73 + 9*65 = 3281 -> 88
        QTest::newRow("letras") << "Wikipedia" << QList<int>{104, 55, 73, 75, 73, 80, 69, 68, 73, 65, 88, 106}
                                << "";
        // 104 + 33 + 2*34 + 3*17 + 4*18 = 328 -> 19
        QTest::newRow("dois dígitos no fim ficam em B")
            << "AB12" << QList<int>{104, 33, 34, 17, 18, 19, 106} << "";
        // 104 + 44 + 2*47 + 3*52 + 4*37 + 5*99 + 6*12 + 7*34 + 8*56 + 9*78 + 10*100 + 11*56 = 4117 -> 100
        QTest::newRow("letras, dígitos, letra")
            << "LOTE12345678X" << QList<int>{104, 44, 47, 52, 37, 99, 12, 34, 56, 78, 100, 56, 100, 106}
            << "";
        // 104 + 33 + 2*17 + 3*99 + 4*23 + 5*45 + 6*100 + 7*34 = 1623 -> 78
        QTest::newRow("cinco dígitos no meio")
            << "A12345B" << QList<int>{104, 33, 17, 99, 23, 45, 100, 34, 78, 106} << "";
        QTest::newRow("vazio") << "" << QList<int>{} << "";
    }
    void code128() {
        QFETCH(QString, texto);
        QFETCH(QList<int>, simbolos);
        QFETCH(QString, modulos);
        QCOMPARE(SimbolosCode128(texto), simbolos);
        const QString padrao = ModulosCode128(simbolos);
        if (!modulos.isEmpty())
            QCOMPARE(padrao, modulos);
        if (simbolos.isEmpty())
            return;
        QCOMPARE(padrao.size(), 11 * (simbolos.size() - 1) + 13);
        QVERIFY(padrao.startsWith(simbolos[0] == 105 ? "11010011100" : "11010010000"));
        QVERIFY(padrao.endsWith("1100011101011"));
    }
    void code128Recusa() { QVERIFY_THROWS_EXCEPTION(EDatabaseError, SimbolosCode128("LOTE-Ç")); }

    // 300 labels in the order asked, each a page of the label's size with its bar code's digits, within 3 s;
    // the rolls' data set left where it was.
    void trezentasEtiquetasEmPdf() {
        QVERIFY(grava(QDir(PastaLayouts()).filePath("WTeste.prt"),
                      "TAMANHO 100 60\nTEXTO 3 3 10 B Rolo [NrRolo] [Nome]\nCAIXA 1 1 98 58\n"
                      "LINHA 1 30 99 30 0.5\nBLOCO 3 10 94 15 8 N [Obs]\nBARRA 3 32 94 26 [Barra]\n"));
        QList<int> linhas;
        for (int n = m_rolos.RecordCount() - 1; n >= 0; --n)
            linhas << n;
        m_rolos.MoveTo(5);
        const ReportFolder pasta;
        QElapsedTimer relogio;
        relogio.start();
        QCOMPARE(ImprimeEtiquetas(pedido("WTeste", ModoEtiqueta::Grafico), m_rolos, linhas, nullptr),
                 ResultadoEtiqueta::Impressa);
        QVERIFY2(relogio.elapsed() <= 3000, qPrintable(QString::number(relogio.elapsed())));
        QCOMPARE(m_rolos.RecNo(), 5);
        QCOMPARE(m_rolos.State(), DataSetState::Browse);
        const QString pdf = pasta.Path("WTeste.pdf");
        QCOMPARE(pdfinfo(pdf, "Pages"), "300");
        QCOMPARE(paginaMm(pdf), "100 x 60");
        const QStringList paginas = PdfText(pdf).split('\f');
        for (int p : {0, 1, 150, 299}) {
            QVERIFY2(paginas[p].contains(barra(linhas[p])), qPrintable(paginas[p]));
            QVERIFY(paginas[p].contains(QStringLiteral("Rolo %1 ").arg(linhas[p] + 1)));
        }
        QVERIFY(paginas[0].contains("emenda a 12 m"));
    }

    // A text run to the label printer: Tag.txt with its control bytes, then tag.sh run in that folder.
    void arquivoParaImpressora() {
        QVERIFY(grava(QDir(PastaLayouts()).filePath("TTeste.prt"), "[CHR1(2)][NrRolo] [Barra][CHR1(3)]"));
        const auto etiqueta = [](int n) {
            return "\x02" + QByteArray::number(n + 1) + ' ' + barra(n).toLatin1() + "\x03\n";
        };
        const QByteArray esperado = etiqueta(0) + etiqueta(2);
        QFile::remove(m_ini->Path("impressora/tag.sh"));
        QCOMPARE(ImprimeEtiquetas(pedido("TTeste", ModoEtiqueta::Arquivo), m_rolos, {0, 2}, nullptr),
                 ResultadoEtiqueta::Falha);
        QVERIFY(m_mensagens.LastText().contains("tag.sh não encontrado"));
        QVERIFY(grava(m_ini->Path("impressora/tag.sh"), "cp Tag.txt enviado.txt\n"));
        QCOMPARE(ImprimeEtiquetas(pedido("TTeste", ModoEtiqueta::Arquivo), m_rolos, {0, 2}, nullptr),
                 ResultadoEtiqueta::Impressa);
        QCOMPARE(le(m_ini->Path("impressora/enviado.txt")), esperado);
        QCOMPARE(le(m_ini->Path("impressora/Tag.txt")), esperado);
    }

    void layoutAusente() {
        QCOMPARE(ImprimeEtiquetas(pedido("WTngEtq00012", ModoEtiqueta::Grafico), m_rolos, {0}, nullptr),
                 ResultadoEtiqueta::LayoutAusente);
        QCOMPARE(ImprimeEtiquetas(pedido("../Layout/WTeste", ModoEtiqueta::Grafico), m_rolos, {0}, nullptr),
                 ResultadoEtiqueta::LayoutAusente);
        QCOMPARE(ArquivoLayoutEtiqueta("WTngEtq00012"), QString());
    }

    // The folder made and the layouts copied, writable; a plant's edit kept.
    void instalaLayouts() {
        const QDir pasta(PastaLayouts());
        QVERIFY(QDir(pasta).removeRecursively());
        InstalaLayoutsEtiqueta();
        const QStringList nomes = pasta.entryList(QDir::Files);
        QCOMPARE(nomes.size(), 10);
        for (const QString& nome : nomes) {
            QCOMPARE(le(pasta.filePath(nome)), le(":/etiquetas/" + nome));
            QVERIFY(QFileInfo(pasta.filePath(nome)).isWritable());
        }
        const QByteArray editado = "# editado na fábrica\nTAMANHO 50 25\n";
        QVERIFY(grava(pasta.filePath("WTngEtq02.prt"), editado));
        InstalaLayoutsEtiqueta();
        QCOMPARE(le(pasta.filePath("WTngEtq02.prt")), editado);
        QVERIFY(QFile::remove(pasta.filePath("WTngEtq02.prt")));
    }

    // Every layout shipped prints a label with the bar code's digits, a graphic one on a page of its size.
    void layoutsDistribuidos_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("pagina");
        const QStringList tamanhos = {"100 x 60", "60 x 40", "100 x 50", "100 x 70", "100 x 80"};
        for (int n = 1; n <= 5; ++n) {
            for (const QString tipo : {"W", "T"}) {
                const QString layout = QStringLiteral("%1TngEtq0%2").arg(tipo).arg(n);
                QTest::newRow(qPrintable(layout)) << layout << (tipo == "W" ? tamanhos[n - 1] : QString());
            }
        }
    }
    void layoutsDistribuidos() {
        QFETCH(QString, layout);
        QFETCH(QString, pagina);
        InstalaLayoutsEtiqueta();
        const ReportFolder pasta;
        const ModoEtiqueta modo = pagina.isEmpty() ? ModoEtiqueta::Texto : ModoEtiqueta::Grafico;
        QCOMPARE(ImprimeEtiquetas(pedido(layout, modo), m_rolos, {1}, nullptr), ResultadoEtiqueta::Impressa);
        if (modo == ModoEtiqueta::Texto) {
            QVERIFY(le(pasta.Path(layout + ".txt")).contains(barra(1).toLatin1()));
            return;
        }
        const QString pdf = pasta.Path(layout + ".pdf");
        QCOMPARE(pdfinfo(pdf, "Pages"), "1");
        QCOMPARE(paginaMm(pdf), pagina);
        QVERIFY2(PdfText(pdf).contains(barra(1)), qPrintable(PdfText(pdf)));
    }

private:
    PedidoEtiqueta pedido(const QString& layout, ModoEtiqueta modo) const {
        PedidoEtiqueta p;
        p.layout = layout;
        p.modo = modo;
        p.usuario = "ADMIN";
        return p;
    }

    ScriptedMessageService m_mensagens;
    std::unique_ptr<SettingsFile> m_ini;
    std::unique_ptr<HostContext> m_contexto;
    TClientDataSet m_rolos;
};

QTEST_MAIN(TstEtiqueta)
#include "tst_etiqueta.moc"
