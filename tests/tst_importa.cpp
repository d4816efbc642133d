// Import files (mode 1) on files the test writes: quoting, CRLF, Latin-1, decimal comma, dates, any case,
// blank lines, malformed lines stopped with their line number and no record, and export -> import.
#include "HostError.h"
#include "SisImporta.h"
#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstImporta : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_n = 0;

    QString Arquivo(const QByteArray& bytes) {
        const QString nome = m_dir.filePath(QStringLiteral("imp%1.txt").arg(++m_n));
        QFile file(nome);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("write");
        return nome;
    }
    // The import must stop at that line with nothing to append.
    void Recusa(const QByteArray& bytes, int linha) {
        TSisImporta imp(Arquivo(bytes));
        QVERIFY(!imp.Ok());
        QCOMPARE(imp.LinhaErro(), linha);
        QVERIFY2(imp.Erro().startsWith(QStringLiteral("Linha %1:").arg(linha)), qPrintable(imp.Erro()));
        QCOMPARE(imp.Registros(), 0);
        QVERIFY(!imp.Proximo());
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void aspas();
    void crlf();
    void latin1();
    void numerosEDatas();
    void campos();
    void aspasAbertas();
    void malformadas();
    void arquivoOuModo();
    void idaEVolta();
};

// Quoted fields hold the separator, doubled quotes and line breaks; lines are counted in the file.
void TstImporta::aspas() {
    TSisImporta imp(Arquivo("Codigo;Descricao;Peso\n"
                            "000101;\"MALHA; \"\"PENTEADA\"\"\";12,5\n"
                            "000102;\"LINHA 1\nLINHA 2\";\"\"\n"
                            "000103;a\"b;1\n"));
    QVERIFY2(imp.Ok(), qPrintable(imp.Erro()));
    QCOMPARE(imp.Registros(), 3);
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Valor("Descricao").toString(), u"MALHA; \"PENTEADA\""_s);
    QCOMPARE(imp.Valor("Peso", QMetaType::Double).toDouble(), 12.5);
    QCOMPARE(imp.Linha(), 2);
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Valor("Descricao").toString(), u"LINHA 1\nLINHA 2"_s);
    QVERIFY(imp.Valor("Peso", QMetaType::Double).isNull());
    QCOMPARE(imp.Linha(), 3);
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Linha(), 5);
    QCOMPARE(imp.Valor("Descricao").toString(), u"a\"b"_s);
    QVERIFY(!imp.Proximo());
}

void TstImporta::crlf() {
    TSisImporta imp(Arquivo("Codigo;Descricao\r\n000101;\"DUAS\r\nLINHAS\"\r\n000102;FIM\r\n"));
    QVERIFY2(imp.Ok(), qPrintable(imp.Erro()));
    QCOMPARE(imp.Campos(), QStringList({"Codigo", "Descricao"}));
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Valor("Descricao").toString(), u"DUAS\r\nLINHAS"_s);
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Valor("Codigo").toString(), u"000102"_s);
    QCOMPARE(imp.Valor("Descricao").toString(), u"FIM"_s);
    QCOMPARE(imp.Linha(), 4);
}

// Not valid UTF-8: read as Latin-1; UTF-8, with or without its mark, as UTF-8.
void TstImporta::latin1() {
    const QString algodao = u"ALGODÃO Ç"_s;
    for (const QByteArray& bytes : {QByteArray("Descricao\n") + algodao.toLatin1() + '\n',
                                    QByteArray("Descricao\n") + algodao.toUtf8() + '\n',
                                    QByteArray("\xEF\xBB\xBF"
                                               "Descricao\n") +
                                        algodao.toUtf8() + '\n'}) {
        TSisImporta imp(Arquivo(bytes));
        QVERIFY2(imp.Ok(), qPrintable(imp.Erro()));
        QVERIFY(imp.TemCampo("Descricao"));
        QVERIFY(imp.Proximo());
        QCOMPARE(imp.Valor("Descricao").toString(), algodao);
    }
}

void TstImporta::numerosEDatas() {
    TSisImporta imp(Arquivo("Peso;Rolo;Entrada;Momento\n"
                            "12,5;3;07/03/2026;07/03/2026 14:30:05\n"
                            " 12.5 ;-4;7/3/2026;07/03/2026\n"
                            "1.234,5;3,5;31/02/2026;ontem\n"));
    QVERIFY2(imp.Ok(), qPrintable(imp.Erro()));
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Valor("Peso", QMetaType::Double), QVariant(12.5));
    QCOMPARE(imp.Valor("Rolo", QMetaType::Int), QVariant(3));
    QCOMPARE(imp.Valor("Entrada", QMetaType::QDate), QVariant(QDate(2026, 3, 7)));
    QCOMPARE(imp.Valor("Momento", QMetaType::QDateTime).toDateTime(),
             QDateTime(QDate(2026, 3, 7), QTime(14, 30, 5)));
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Valor("Peso", QMetaType::Double), QVariant(12.5));
    QCOMPARE(imp.Valor("Rolo", QMetaType::Int), QVariant(-4));
    QCOMPARE(imp.Valor("Entrada", QMetaType::QDate), QVariant(QDate(2026, 3, 7)));
    QCOMPARE(imp.Valor("Momento", QMetaType::QDateTime).toDateTime(),
             QDateTime(QDate(2026, 3, 7), QTime(0, 0)));
    QVERIFY(imp.Proximo());
    // Values that do not read as asked are refused with their line and field, never guessed.
    for (const auto& [campo, tipo] :
         {std::pair{"Peso", QMetaType::Double}, std::pair{"Rolo", QMetaType::Int},
          std::pair{"Entrada", QMetaType::QDate}, std::pair{"Momento", QMetaType::QDateTime}}) {
        try {
            imp.Valor(campo, tipo);
            QFAIL(campo);
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Linha 4, campo %1:").arg(campo)),
                     qPrintable(e.message()));
        }
    }
    QCOMPARE(imp.Valor("Peso").toString(), u"1.234,5"_s);
}

// Names in any case, blank lines skipped, unknown columns ignored, short lines padded with nothing.
void TstImporta::campos() {
    TSisImporta imp(Arquivo("\nCODIGO;descricao;Estranha\n\n   \n000101;MALHA\n\n000102;;x\n"));
    QVERIFY2(imp.Ok(), qPrintable(imp.Erro()));
    QCOMPARE(imp.Registros(), 2);
    QVERIFY(imp.TemCampo("Codigo"));
    QVERIFY(imp.TemCampo("DESCRICAO"));
    QVERIFY(!imp.TemCampo("Fal"));
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Valor("codigo").toString(), u"000101"_s);
    QCOMPARE(imp.Valor("Descricao").toString(), u"MALHA"_s);
    QVERIFY(imp.Valor("Estranha").isNull());
    QVERIFY(imp.Valor("Fal").isNull());
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Linha(), 7);
    QVERIFY(imp.Valor("Descricao").isNull());
    QCOMPARE(imp.Valor("Estranha").toString(), u"x"_s);
    QVERIFY(!imp.Proximo());
    imp.Primeiro();
    QVERIFY(imp.Proximo());
    QCOMPARE(imp.Valor("Codigo").toString(), u"000101"_s);
}

// A quote never closed: the line where it opened, and nothing at all to append.
void TstImporta::aspasAbertas() {
    Recusa("Codigo;Descricao\n000101;MALHA\n000102;\"SEM FIM\n000103;RESTO\n", 3);
    Recusa("Codigo;Descricao\r\n000101;\"DUAS\r\nLINHAS\"\r\n\r\n000102;\"ABERTA\r\n", 5);
}

void TstImporta::malformadas() {
    // More fields than the first line names.
    Recusa("Codigo;Descricao\n000101;MALHA\n000102;MALHA;A MAIS\n", 3);
    Recusa("Codigo;Descricao\n000101;\"DUAS\nLINHAS\"\n000102;MALHA;A MAIS\n", 4);
    // Text after a closing quote.
    Recusa("Codigo;Descricao\n000101;\"MALHA\"X\n", 2);
    // A field named twice.
    Recusa("Codigo;CODIGO\n000101;000102\n", 1);
}

void TstImporta::arquivoOuModo() {
    TSisImporta ausente(m_dir.filePath("nao-existe.txt"));
    QVERIFY(!ausente.Ok());
    QCOMPARE(ausente.LinhaErro(), 0);
    QVERIFY(!ausente.Proximo());
    TSisImporta modo(Arquivo("Codigo\n1\n"), 2);
    QVERIFY(!modo.Ok());
    QCOMPARE(modo.Registros(), 0);
    TSisImporta vazio(Arquivo(""));
    QVERIFY(vazio.Ok());
    QCOMPARE(vazio.Registros(), 0);
}

// What the export writes imports back value for value.
void TstImporta::idaEVolta() {
    const QStringList campos = {"Codigo", "Descricao", "Peso", "Rolo", "Entrada", "Momento"};
    const QList<QVariantList> linhas = {
        {u"000101"_s, u"MALHA; \"PENTEADA\"\r\nsegunda linha"_s, 75.6, 3, QDate(2026, 3, 7),
         QDateTime(QDate(2026, 3, 7), QTime(14, 30, 5))},
        {u"000102"_s, u"  espaços e acentuação: ÁÇÕ  "_s, 0.1 + 0.2, -4, QDate(1999, 12, 31), QVariant()},
        {u"000103"_s, u"\"aspas\""_s, 1e-7, 0, QVariant(), QVariant()},
        {u"000104"_s, u"linha\nsó LF"_s, -123456789.125, 2147483647},
        {u"000105"_s, QVariant(), 1.0 / 3.0},
    };
    const QString arquivo = m_dir.filePath("ExpProg000001.txt");
    GravaExportacao(arquivo, campos, linhas);

    TSisImporta imp(arquivo);
    QVERIFY2(imp.Ok(), qPrintable(imp.Erro()));
    QCOMPARE(imp.Campos(), campos);
    QCOMPARE(imp.Registros(), int(linhas.size()));
    const QList<QMetaType::Type> tipos = {QMetaType::QString, QMetaType::QString, QMetaType::Double,
                                          QMetaType::Int,     QMetaType::QDate,   QMetaType::QDateTime};
    for (const QVariantList& linha : linhas) {
        QVERIFY(imp.Proximo());
        for (qsizetype k = 0; k < campos.size(); ++k) {
            const QVariant esperado = k < linha.size() ? linha[k] : QVariant();
            const QVariant lido = imp.Valor(campos[k], tipos[k]);
            QVERIFY2(lido.isNull() == esperado.isNull() && (esperado.isNull() || lido == esperado),
                     qPrintable(campos[k] + ": " + lido.toString() + " <> " + esperado.toString()));
        }
    }
    QVERIFY(!imp.Proximo());

    // One column: a blank value must not become a blank line, which the import skips.
    GravaExportacao(arquivo, {"Obs"}, {{u"a"_s}, {QVariant()}, {u"  "_s}, {u"b"_s}});
    TSisImporta coluna(arquivo);
    QCOMPARE(coluna.Registros(), 4);
    QVERIFY(coluna.Proximo() && coluna.Proximo());
    QVERIFY(coluna.Valor("Obs").isNull());
    QVERIFY(coluna.Proximo());
    QCOMPARE(coluna.Valor("Obs").toString(), u"  "_s);

    // A row with more values than fields is a mistake of the caller, not a file to write.
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, GravaExportacao(arquivo, {"Codigo"}, {{1, 2}}));
    QCOMPARE(TSisImporta(arquivo).Registros(), 4);
}

QTEST_GUILESS_MAIN(TstImporta)
#include "tst_importa.moc"
