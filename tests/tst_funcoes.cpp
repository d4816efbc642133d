// The host's base routines without a database: literals, numbers, times and dates, rules and recipe costs,
// import and export files, the in-memory data set and its controls, and the scale on a socat pseudo-terminal.
#include "Balanca.h"
#include "ColunaGrade.h"
#include "CustoReceita.h"
#include "DBControls.h"
#include "DataSetModel.h"
#include "ErrosBanco.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostError.h"
#include "LocalSettings.h"
#include "PortaBalanca.h"
#include "RegrasCalculo.h"
#include "SimuladorBalanca.h"
#include "SisImporta.h"
#include "TClientDataSet.h"
#include "TestLocale.h"
#include <QAbstractItemModelTester>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>
#include <cmath>
#include <type_traits>

using namespace Qt::StringLiterals;

// A swapped call, rule first as the print-shop sheet writes it, must not compile.
static_assert(std::is_invocable_v<decltype(&CalculaPercRegra), CodigoProduto, CodigoRegra>);
static_assert(!std::is_invocable_v<decltype(&CalculaPercRegra), CodigoRegra, CodigoProduto>);
static_assert(!std::is_invocable_v<decltype(&CalculaPercRegra), QString, QString>);
static_assert(!std::is_invocable_v<decltype(&RegrasCalculo::CalculaPercRegra), RegrasCalculo&, CodigoRegra,
                                   CodigoProduto>);

namespace {
// "TIPO|LINHA|DE|ATE|R;..." as stored in TNG_REGRA.
QList<LinhaRegra> Linhas(const QString& texto) {
    QList<LinhaRegra> linhas;
    for (const QString& l : texto.split(';', Qt::SkipEmptyParts)) {
        const QStringList c = l.split('|');
        linhas << LinhaRegra{c[0], c[1], c[2].toDouble(), c[3].toDouble(), c[4].toDouble()};
    }
    return linhas;
}
const QVariant nenhum;

// CODIGO int, NOME text, PRECO number, ATIVO "S"/"N", TIPO "P"/"T"; one row per name, codes from 1.
void fill(TClientDataSet& ds, const QStringList& names) {
    ds.AddField("CODIGO", QMetaType::Int)
        .AddField("NOME", QMetaType::QString, 30, "Nome")
        .AddField("PRECO", QMetaType::Double)
        .AddField("ATIVO", QMetaType::QString, 1)
        .AddField("TIPO", QMetaType::QString, 1);
    ds.CreateDataSet();
    for (int i = 0; i < names.size(); ++i) {
        ds.Append();
        ds.FieldByName("CODIGO") = i + 1;
        ds.FieldByName("NOME") = names[i];
        ds.FieldByName("ATIVO") = "S";
        ds.Post();
    }
    ds.First();
}
QStringList column(TDataSet& ds, const QString& field) {
    QStringList out;
    for (int p = 0; p < ds.RecordCount(); ++p)
        out << ds.ValueAt(p, ds.FieldIndex(field)).toString();
    return out;
}
QString nome(TDataSet& ds) {
    return ds.FieldByName("NOME").AsString();
}
const auto refuse = [](TDataSet&) { throw EAbort(); };
} // namespace

class TstFuncoes : public QObject {
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
    // The records left to read, each as "line:value|value" of the given fields; a null value is "-".
    static QStringList Restantes(TSisImporta& imp, const QStringList& campos) {
        QStringList registros;
        while (imp.Proximo()) {
            QStringList valores;
            for (const QString& campo : campos)
                valores << (imp.Valor(campo).isNull() ? QStringLiteral("-") : imp.Valor(campo).toString());
            registros << QString::number(imp.Linha()) + ':' + valores.join('|');
        }
        return registros;
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

    // The settings as "porta|velocidade|bits|paridade|parada".
    static QString Texto(const ConfiguracaoPorta& c) {
        return QStringLiteral("%1|%2|%3|%4|%5")
            .arg(c.porta, QString::number(c.velocidade), QString::number(c.bitsDados), QString(c.paridade),
                 c.bitsParada);
    }

private slots:
    void cleanup() {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, "C");
    }

    // Embedded quotes are doubled: a typed value cannot break out of its literal.
    void literaisSQL() {
        QCOMPARE(Aspas(u"D'Ávila"_s), u"'D''Ávila'"_s);
        QCOMPARE(Aspas(u"x' OR '1'='1"_s), u"'x'' OR ''1''=''1'"_s);
        QCOMPARE(DataSQL(QDate(2026, 3, 7)), u"'03/07/2026'"_s);
        QCOMPARE(DataSQL(QDate()), u"NULL"_s);
        QCOMPARE(HoraSQL(QTime(23, 59, 59, 999)), u"'23:59:59'"_s);
        QCOMPARE(HoraSQL(QDateTime(QDate(2026, 1, 2), QTime(14, 30, 0))), u"'14:30:00'"_s);
        QCOMPARE(HoraSQL(QTime()), u"NULL"_s);
        QCOMPARE(HoraSQL(QDateTime()), u"NULL"_s);
        // Any value of a data set, as a bound parameter would store it.
        QCOMPARE(ValorSql(QVariant()), u"NULL"_s);
        QCOMPARE(ValorSql(QString()), u"NULL"_s);
        QCOMPARE(ValorSql(u""_s), u"''"_s);
        QCOMPARE(ValorSql(u"D'Ávila"_s), u"'D''Ávila'"_s);
        QCOMPARE(ValorSql(12.5), u"12.5"_s);
        QCOMPARE(ValorSql(QDate(2026, 3, 7)), u"'03/07/2026'"_s);
    }

    // A Brazilian desktop must not turn the decimal point into a comma inside SQL.
    void permanecePonto() {
        const QList<std::pair<double, QString>> casos = {{12.5, "12.5"},     {3.0, "3"},
                                                         {-0.5, "-0.5"},     {0.1 + 0.2, "0.3"},
                                                         {0.0001, "0.0001"}, {1e16, "10000000000000000"},
                                                         {-0.0, "0"},        {std::nan(""), "NULL"}};
        // Typed text, then its SQL: either mark may be the decimal one, the last wins; nothing else is read.
        const QStringList textos = {"12,5",    "12.5",  "1.234,56", "1234.56", "1,234.56",    "1234.56",
                                    " -0,75 ", "-0.75", "",         "NULL",    "1); DROP --", "NULL"};
        EmCadaLocale([&] {
            for (const auto& [valor, esperado] : casos)
                QCOMPARE(PermanecePonto(valor), esperado);
            for (qsizetype i = 0; i < textos.size(); i += 2)
                QCOMPARE(PermanecePonto(textos[i]), textos[i + 1]);
        });
    }

    // Value, decimals, result: exact, the nearest double to the decimal result; never -0.
    void arredondar() {
        const std::tuple<double, int, double> casos[] = {
            {1.005, 2, 1.01},       {-2.5, 0, -3.0},      {2.674999, 2, 2.67}, {3.3 * 0.75, 2, 2.48},
            {1.15 * 100, 0, 115.0}, {1155.0, -1, 1160.0}, {-0.001, 2, 0.0}};
        for (const auto& [valor, casas, esperado] : casos) {
            const double result = Arredondar(valor, casas);
            QCOMPARE(result, esperado);
            QVERIFY(!std::signbit(result) || result != 0);
        }
    }

    void tempo() {
        QCOMPARE(TempoString(1.0 + 2.0 / 60 + 3.0 / 3600), u"01:02:03"_s);
        QCOMPARE(TempoString(0.1), u"00:06:00"_s);
        QCOMPARE(TempoString(59.9996 / 60), u"01:00:00"_s);
        QVERIFY(TempoString(-1).isNull());
        QVERIFY(TempoString(std::nan("")).isNull());

        QCOMPARE(TempoNumerico(u"01:30"_s), 1.5);
        QVERIFY(std::fabs(TempoNumerico(u"02:15:36"_s) - 2.26) < 1e-12);
        QCOMPARE(TempoNumerico(u"0"_s), 0.0);
        QCOMPARE(TempoString(TempoNumerico(u"125:00:00"_s)), u"125:00:00"_s);

        const QStringList somas = {"00:00:45", "00:00:30", "00:01:15", "01:59:59", "00:00:01", "02:00:00",
                                   "20:15:30", "30:50:00", "51:05:30", "01:45",    "00:30:10", "02:15:10",
                                   "99:59:59", "00:00:01", "100:00:00"}; // a + b = c, past a day included
        for (qsizetype i = 0; i < somas.size(); i += 3) {
            QCOMPARE(SomaTempoString(somas[i], somas[i + 1]), somas[i + 2]);
            QCOMPARE(SomaTempoString(somas[i + 1], somas[i]), somas[i + 2]);
        }
        for (const QString& mal :
             {u""_s, u":00"_s, u"1h30"_s, u"01:60"_s, u"01:00:60"_s, u"01:00:00:00"_s, u"-01:00"_s}) {
            QVERIFY2(std::isnan(TempoNumerico(mal)), qPrintable(mal));
            QVERIFY(SomaTempoString(mal, u"01:00:00"_s).isNull());
            QVERIFY(SomaTempoString(u"01:00:00"_s, mal).isNull());
        }
    }

    void validaData() {
        const QList<std::pair<QString, bool>> casos = {
            {"31/02/2026", false}, {"29/02/2026", false}, {"29/02/2028", true},  {"29/02/2100", false},
            {"29/02/2000", true},  {"12/13/2025", false}, {"  /  /    ", false}, {QString(), false},
            {"01/01/26", false},   {"00/01/2026", false}, {"15/06/0226", false}, {"31/12/1899", false},
            {"01/01/1900", true},  {"31/12/2099", true}};
        for (const auto& [data, valida] : casos)
            QVERIFY2(ValidaData(data) == valida, qPrintable(data));
        // Typed with one-digit day and month too; the same years refused.
        QCOMPARE(LeData(" 5/3/2026 "), QDate(2026, 3, 5));
        QCOMPARE(LeData("1/1/0001"), QDate());
    }

    void textoAuxiliar() {
        QCOMPARE(Explode(u";a;;b;"_s, u";"_s), QStringList({"", "a", "", "b", ""}));
        QCOMPARE(Explode(u"1 - 2 -  - 3"_s, u" - "_s), QStringList({"1", "2", "", "3"}));
        QCOMPARE(Explode(u"abc"_s, QString()), QStringList({"abc"}));
        QCOMPARE(ZeroE(u"12   "_s, 6), u"000012"_s);
        QCOMPARE(ZeroE(u"1234567"_s, 6), u"1234567"_s);
        QCOMPARE(TiraPontos(u"12.345.678/0001-90"_s), u"12345678000190"_s);
    }

    // Boxes, grids and reports show one value the same way, whatever the workstation's locale.
    void textoExibicao() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const std::tuple<QVariant, int, QString> casos[] = {
            {4583.33, -1, "4.583,33"},
            {4583.33, 3, "4.583,330"}, // the field's decimals
            {1400.0, -1, "1.400"},
            {0.1 + 0.2, -1, "0,3"},
            {-1234.5, 2, "-1.234,50"},
            {qlonglong(24100), -1, "24100"}, // a code
            {QDate(2026, 12, 31), -1, "31/12/2026"},
            {QDateTime(QDate(2026, 1, 2), QTime(14, 30, 5)), -1, "02/01/2026 14:30"},
            {QVariant(), 2, ""},
            {qQNaN(), -1, ""}};
        for (const auto& [valor, casas, texto] : casos)
            QCOMPARE(TextoExibicao(valor, casas), texto);
    }

    // Numbers are read as the screens show them; a text that could mean a value a thousand times off is not.
    void leNumero() {
        const QList<std::pair<QString, double>> lidos = {
            {"1.400", 1400.0},  {"1.400,5", 1400.5}, {"1,4", 1.4}, {TextoExibicao(4583.33), 4583.33},
            {"-12,75", -12.75}, {" 7 ", 7.0}};
        for (const auto& [texto, numero] : lidos) {
            double valor = -1;
            QVERIFY2(LeNumero(texto, valor), qPrintable(texto));
            QCOMPARE(valor, numero);
        }
        for (const char* texto : {"12.5", "1.40", "1,2,3", "12,5x", "", "nan", "1e300"}) {
            double valor = -1;
            QVERIFY2(!LeNumero(texto, valor), texto);
        }
    }

    // Times are read as people type them into an hour cell; anything else is no time at all.
    void leHora() {
        const QStringList lidas = {"08:00",   "08:00:00", "8:05",     "08:05:00", "23:59:30", "23:59:30",
                                   "0800",    "08:00:00", "815",      "08:15:00", "7",        "07:00:00",
                                   " 14:30 ", "14:30:00", "00:00:00", "00:00:00"};
        for (qsizetype i = 0; i < lidas.size(); i += 2)
            QCOMPARE(LeHora(lidas[i]).toString("HH:mm:ss"), lidas[i + 1]);
        for (const char* texto : {"25:00", "12:60", "ab", "08000", "", "1a:00", "08:0x", "08:00:6x",
                                  "08:00:60", "08-00:00", "-1:00"})
            QVERIFY2(!LeHora(texto).isValid(), texto);
    }

    // What a codes box holds and the codes then chosen in its look-up: the box's codes, their SQL list and
    // condition, and the box after the choice, each code once, reading back the same.
    void codesOfAListBox() {
        const std::tuple<QString, QStringList, QStringList, QString, QString, QString> casos[] = {
            {"", {}, {}, "", "(1 = 0)", ""},
            {"01, 02,03", {}, {"01", "02", "03"}, "'01','02','03'", "(C IN ('01','02','03'))", "01,02,03"},
            {" , 01,,01 ,02", {}, {"01", "02"}, "'01','02'", "(C IN ('01','02'))", "01,02"},
            {"A'B,000101",
             {},
             {"A'B", "000101"},
             "'A''B','000101'",
             "(C IN ('A''B','000101'))",
             "A'B,000101"},
            {"A'B", {"000101", "A'B", "D''E"}, {"A'B"}, "'A''B'", "(C IN ('A''B'))", "A'B,000101,D''E"},
            {"", {"02", "01"}, {}, "", "(1 = 0)", "02,01"}};
        for (const auto& [texto, escolhidos, codigos, sql, condicao, acrescentado] : casos) {
            QCOMPARE(CodigosDaLista(texto), codigos);
            QCOMPARE(ListaSql(codigos), sql);
            QCOMPARE(NaListaSql("C", codigos), condicao);
            QCOMPARE(AcrescentaCodigos(texto, escolhidos), acrescentado);
            QCOMPARE(CodigosDaLista(acrescentado).join(','), acrescentado);
        }
        // The engine takes 1,500 values to a list: a thousand to each.
        QStringList muitos;
        for (int i = 0; i < 2001; ++i)
            muitos << QString::number(i);
        QList<qsizetype> porLista;
        for (const QString& lista : NaListaSql("C", muitos).split(" OR "))
            porLista << lista.count(',') + 1;
        QCOMPARE(porLista, QList<qsizetype>({1000, 1000, 1}));
    }

    // Errors users meet say what happened in Portuguese; the server's text stays as the detail.
    void errosDoBanco() {
        const QList<std::pair<QString, QString>> casos = {
            {"violation of PRIMARY or UNIQUE KEY constraint \"PK_BANHO\" on table \"BANHO\"",
             "Este registro já existe"},
            {"violation of FOREIGN KEY constraint \"FK_X\" on table \"FAL\"",
             "O registro está ligado a outro"},
            {"Error writing data to the connection.", "A conexão com o banco"},
            {"arithmetic exception, numeric overflow, or string truncation\nstring right truncation",
             "Um texto é maior"},
            {"", "Erro no banco de dados."}};
        for (const auto& [servidor, inicio] : casos) {
            const QString text = TraduzErroBanco(servidor);
            QVERIFY2(text.startsWith(inicio) && text.endsWith(servidor), qPrintable(text));
        }
        const QString desconhecido = u"Dynamic SQL Error SQL error code = -104"_s;
        QCOMPARE(TraduzErroBanco(desconhecido), desconhecido);
    }

    void avaliaRegraQtde_data() {
        QTest::addColumn<QString>("linhas");
        QTest::addColumn<QString>("lote"); // "weight|machine|customer"
        QTest::addColumn<QVariant>("esperado");
        // Product P1 of group G1 and line L1 in every row; no lot: a percentage rule, product lines only.
        const auto linha = [](const char* nome, const char* linhas, const char* lote,
                              const QVariant& esperado) {
            QTest::newRow(nome) << QString(linhas) << QString(lote) << esperado;
        };
        linha("customer", "C|X|0|0|1;M|X|0|0|2", "10|Y|X", 1.0);
        linha("machine equal to a customer code", "C|X|0|0|1;M|X|0|0|2", "10|X|Y", 2.0);
        linha("neither", "C|X|0|0|1;M|X|0|0|2", "10|Y|Y", nenhum);
        linha("product", "P|P2|0|0|1;P|P1|0|0|2", "10||", 2.0);
        linha("group is not line", "G|L1|0|0|1;L|L1|0|0|2", "10||", 2.0);
        linha("group", "L|G1|0|0|1;G|G1|0|0|2", "10||", 2.0);
        linha("blank code, no customer", "C||0|0|9", "10||", 9.0);
        linha("lower bound held", "M||50|100|3", "50||", 3.0);
        linha("upper bound held", "M||50|100|3", "100||", 3.0);
        linha("below", "M||50|100|3", "49.99||", nenhum);
        linha("above", "M||50|100|3", "100.01||", nenhum);
        linha("no upper bound", "M||50|0|3", "1e6||", 3.0);
        linha("first line in order", "M||0|50|1;M||0|0|2", "40||", 1.0);
        linha("next line past a range", "M||0|50|1;M||0|0|2", "60||", 2.0);
        linha("code out of range", "C|X|0|5|1;C||0|0|2", "10||X", 2.0);
        linha("result 0 is a result", "M||0|0|0", "10||", 0.0);
        linha("no lines", "", "10|M1|C1", nenhum);
        linha("%: product, range ignored", "P|P1|500|600|5", "", 5.0);
        linha("%: customer and machine lines skipped", "C||0|0|1;M||0|0|2;G|G1|0|0|3", "", 3.0);
        linha("%: group is not line", "G|L1|0|0|1;L|L1|0|0|2", "", 2.0);
        linha("%: blank product line", "P|P2|0|0|1;P||0|0|4", "", 4.0);
        linha("%: none", "P|P2|0|0|1;G|G2|0|0|2;C|P1|0|0|3", "", nenhum);
    }

    void avaliaRegraQtde() {
        QFETCH(QString, linhas);
        QFETCH(QString, lote);
        const QStringList l = lote.split('|');
        QTEST(Resultado(lote.isEmpty() ? AvaliaRegraPerc(Linhas(linhas), "P1", "G1", "L1")
                                       : AvaliaRegraQtde(Linhas(linhas),
                                                         {l[0].toDouble(), l[1], "P1", l[2], "G1", "L1"})),
              "esperado");
    }

    void custoItem_data() {
        QTest::addColumn<QString>("item"); // "unit|quantity|fibre|concentration|index"
        QTest::addColumn<double>("esperado");
        // Price 10 and bath proportion 10 in every row.
        QTest::newRow("% whole fabric") << "%|2||0|60" << 0.2;
        QTest::newRow("% first fibre") << "%|2|1|0|60" << 0.12;
        QTest::newRow("% second fibre") << "%|2|2|0|60" << 0.08;
        QTest::newRow("GL") << "GL|1||0|60" << 0.1;
        QTest::newRow("GL concentration 50") << "GL|1||50|60" << 0.05;
        QTest::newRow("other unit") << "KG|2||0|60" << 0.0;
        QTest::newRow("index with comma") << "%|2|1|0|60,5" << 0.121;
        QTest::newRow("index with point") << "%|2|1|0|60.5" << 0.121;
        QTest::newRow("blank index") << "%|2|1|0|" << 0.2;
        QTest::newRow("unreadable index") << "%|2|1|0|ABC" << 0.2;
        QTest::newRow("first fibre of index 0") << "%|2|1|0|0" << 0.2;
        QTest::newRow("second fibre of index 100") << "%|2|2|0|100" << 0.2;
        QTest::newRow("other fibre mark") << "%|2|3|0|60" << 0.2;
        // Fixed point at every step: the share is 0.3333, not a third; C is 0.0001, not 0.000123.
        QTest::newRow("share to 4 decimals") << "%|1|1|0|33,33333" << 0.03333;
        QTest::newRow("C to 4 decimals") << "%|0.00001234||0|" << 0.000001;
    }

    void custoItem() {
        QFETCH(QString, item);
        QFETCH(double, esperado);
        const QStringList c = item.split('|');
        EmCadaLocale([&] {
            const CustoItem custo =
                CustoItemReceita({c[0], c[1].toDouble(), c[2], c[3].toDouble(), 10, c[4], 10});
            QCOMPARE(custo.custo, esperado);
            QCOMPARE(custo.c, esperado * 100);
        });
    }

    void custoReceitaSomaCTo2Decimais() {
        auto total = [](QList<double> cs) {
            QList<CustoItem> itens;
            for (double c : cs)
                itens << CustoItem{c, c / 100};
            return CustoReceita(itens);
        };
        EmCadaLocale([&] {
            QCOMPARE(total({20, 12, 8}), 0.4);
            QCOMPARE(total({12.1, 3.333}), 0.15);
            QCOMPARE(total({0.7, 0.8}), 0.02); // 0.015 rounds up, whatever binary makes of it
            QCOMPARE(total({}), 0.0);
            QCOMPARE(LeIndice(" 60,5 "), 60.5);
            QCOMPARE(LeIndice("inf"), 0.0);
        });
    }

    void linhasLidas_data() {
        QTest::addColumn<QByteArray>("arquivo");
        QTest::addColumn<QStringList>("campos");
        QTest::addColumn<QStringList>("registros"); // "line:value|value", a null value "-"
        // Quoted fields hold the separator, doubled quotes and line breaks; lines are counted in the file.
        QTest::newRow("aspas") << QByteArray("Codigo;Descricao;Peso\n"
                                             "000101;\"MALHA; \"\"PENTEADA\"\"\";12,5\n"
                                             "000102;\"LINHA 1\nLINHA 2\";\"\"\n"
                                             "000103;a\"b;1\n")
                               << QStringList{"Descricao", "Peso"}
                               << QStringList{"2:MALHA; \"PENTEADA\"|12,5", "3:LINHA 1\nLINHA 2|-",
                                              "5:a\"b|1"};
        // Names in any case, blank lines skipped, unknown columns ignored, short lines padded with nothing.
        QTest::newRow("campos") << QByteArray(
                                       "\nCODIGO;descricao;Estranha\n\n   \n000101;MALHA\n\n000102;;x\n")
                                << QStringList{"codigo", "Descricao", "Estranha", "Fal"}
                                << QStringList{"5:000101|MALHA|-|-", "7:000102|-|x|-"};
        // Not valid UTF-8: read as Latin-1; UTF-8 with its mark as UTF-8 (without it, and CRLF lines with a
        // line break inside a value, as an export writes them: idaEVolta).
        const QString algodao = u"ALGODÃO Ç"_s;
        const auto linha = [&](const char* nome, const QByteArray& arquivo) {
            QTest::newRow(nome) << arquivo << QStringList{"Descricao"} << QStringList{"2:" + algodao};
        };
        linha("latin-1", "Descricao\n" + algodao.toLatin1() + '\n');
        linha("utf-8 marcado", "\xEF\xBB\xBF" + QByteArray("Descricao\n") + algodao.toUtf8() + '\n');
    }

    void linhasLidas() {
        QFETCH(QByteArray, arquivo);
        QFETCH(QStringList, campos);
        QFETCH(QStringList, registros);
        TSisImporta imp(Arquivo(arquivo));
        QVERIFY2(imp.Ok(), qPrintable(imp.Erro()));
        QCOMPARE(imp.Registros(), int(registros.size()));
        QVERIFY(!imp.TemCampo("Fal"));
        QCOMPARE(Restantes(imp, campos), registros);
        imp.Primeiro();
        QCOMPARE(Restantes(imp, campos), registros);
    }

    void numerosEDatas() {
        TSisImporta imp(Arquivo("Peso;Rolo;Entrada;Momento\n"
                                "12,5;3;07/03/2026;07/03/2026 14:30:05\n"
                                " 12.5 ;-4;7/3/2026;07/03/2026\n"
                                "1.234,5;3,5;31/02/2026;ontem\n"));
        QVERIFY2(imp.Ok(), qPrintable(imp.Erro()));
        const auto lida = [&] {
            return QStringList{imp.Valor("Peso", QMetaType::Double).toString(),
                               imp.Valor("Rolo", QMetaType::Int).toString(),
                               imp.Valor("Entrada", QMetaType::QDate).toString(),
                               imp.Valor("Momento", QMetaType::QDateTime).toDateTime().toString(Qt::ISODate)}
                .join('|');
        };
        QVERIFY(imp.Proximo());
        QCOMPARE(lida(), u"12.5|3|2026-03-07|2026-03-07T14:30:05"_s);
        QVERIFY(imp.Proximo());
        QCOMPARE(lida(), u"12.5|-4|2026-03-07|2026-03-07T00:00:00"_s);
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

    // A quote never closed: the line where it opened, and nothing at all to append.
    void malformadas() {
        Recusa("Codigo;Descricao\n000101;MALHA\n000102;\"SEM FIM\n000103;RESTO\n", 3);
        Recusa("Codigo;Descricao\r\n000101;\"DUAS\r\nLINHAS\"\r\n\r\n000102;\"ABERTA\r\n", 5);
        // More fields than the first line names.
        Recusa("Codigo;Descricao\n000101;MALHA\n000102;MALHA;A MAIS\n", 3);
        Recusa("Codigo;Descricao\n000101;\"DUAS\nLINHAS\"\n000102;MALHA;A MAIS\n", 4);
        // Text after a closing quote.
        Recusa("Codigo;Descricao\n000101;\"MALHA\"X\n", 2);
        // A field named twice.
        Recusa("Codigo;CODIGO\n000101;000102\n", 1);
    }

    void arquivoOuModo() {
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
    void idaEVolta() {
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

    void init() {
        QFile::remove(m_dir.filePath("kelm.ini"));
        qputenv("KELM_INI", m_dir.filePath("kelm.ini").toUtf8());
    }

    void pegaPeso_data() {
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<int>("decimais");
        QTest::addColumn<QVariant>("peso");
        QTest::addColumn<QChar>("terminador");
        auto linha = [](const char* nome, const QString& resposta, int decimais, const QVariant& peso,
                        QChar terminador = u'\r') {
            QTest::newRow(nome) << resposta << decimais << peso << terminador;
        };
        linha("firmes", u"  +0075.6 kg\r  +0075.6 kg\r  +0075.6 kg\r"_s, 0, 75.6);
        linha("o último completo", u"\r  +0075.4 kg\r  +0075.6 kg\r  +00"_s, 0, 75.6);
        linha("cauda primeiro", u"5.6 kg\r  +0075.6 kg\r  +0075"_s, 0, 75.6);
        linha("cauda e começo", u"5.6 kg\r  +0075"_s, 0, nenhum);
        linha("um só quadro", u"75,6\r"_s, 0, 75.6);
        linha("CRLF", u"\r\n  +0075.6 kg\r\n  +0075.6 kg\r\n"_s, 0, 75.6);
        linha("negativo", u"\r  -0002.5 kg\r"_s, 0, -2.5);
        linha("sinal afastado", u"\r-   12.0 kg\r"_s, 0, -12.0);
        linha("zero negativo", u"\r-0000.0 kg\r"_s, 0, 0.0);
        linha("KG", u"\r0075.6KG\r"_s, 0, 75.6);
        linha("gramas", u"\r 1250 g\r"_s, 0, 1.25);
        linha("libras", u"\r 165.0 lb\r"_s, 0, nenhum);
        linha("toneladas", u"\r 1.2 t\r"_s, 0, nenhum);
        linha("estado antes", u"\rST,GS,+0075.6kg\r"_s, 0, 75.6);
        linha("estado depois", u"\r  75.6 kg NET\r"_s, 0, 75.6);
        linha("STX e ETX", u"\r\x02+0075.6 kg\x03\r"_s, 0, 75.6);
        linha("lixo", u"\r###\r###\r"_s, 0, nenhum);
        linha("dois números", u"\r12 34\r"_s, 0, nenhum);
        linha("lixo por último", u"\r+0075.6 kg\r?!\r"_s, 0, 75.6);
        linha("vazia", QString(), 0, nenhum);
        linha("sem terminador", u"  +0075.6 kg"_s, 0, nenhum);
        linha("só terminadores", u"\r\r\r"_s, 0, nenhum);
        linha("dígitos inteiros", u"\r000756\r"_s, 0, 756.0);
        linha("dígitos, 1 decimal", u"\r000756\r"_s, 1, 75.6);
        linha("dígitos, 3 decimais", u"\r5\r"_s, 3, 0.005);
        linha("separador manda", u"\r75.6\r"_s, 2, 75.6);
        linha("outro terminador", u"6 kgX 0075.6 kgX"_s, 0, 75.6, u'X');
        linha("dígito não termina", u"10.05 kg\r10.05 kg"_s, 0, nenhum, u'0'); // would cut 10.05 at its zeros
    }

    void pegaPeso() {
        QFETCH(QString, resposta);
        QFETCH(int, decimais);
        QFETCH(QChar, terminador);
        const std::optional<double> lido = PegaPesoBalanca(resposta, terminador, decimais);
        QTEST(Resultado(lido), "peso");
        QVERIFY(!lido || !std::signbit(*lido) || *lido != 0.0);
    }

    // The decimals of a named scale come from the settings; an empty name reads the frame as written.
    void balancaNomeada() {
        GravaIni("Balanca", "Cozinha/Decimal", "2");
        GravaIni("Parametros", "Decimal", "1");
        QCOMPARE(DecimaisBalanca(u"Outra"_s), 0);
        GravaIni("Balanca", "Torta/Decimal", "40");
        QCOMPARE(DecimaisBalanca(u"Torta"_s), 0);
        QCOMPARE(PegaPesoBalanca(u"\r007560\r"_s, u'\r', u"Cozinha"_s), std::optional<double>(75.6));
        QCOMPARE(PegaPesoBalanca(u"\r000756\r"_s, u'\r', u"PADRÃO"_s), std::optional<double>(75.6));
        QCOMPARE(PegaPesoBalanca(u"\r000756\r"_s, u'\r'), std::optional<double>(756.0));
    }

    void configuracao() {
        QCOMPARE(Texto(LeConfiguracaoPorta()), "|9600|8|N|1");

        // Typed by hand: names for the parity, a comma in the stop bits; nonsense falls back to 8N1.
        GravaIni("Parametros", "Paridade", "Ímpar");
        GravaIni("Parametros", "BitsParada", "1,5");
        QCOMPARE(Texto(LeConfiguracaoPorta()), "|9600|8|O|1.5");
        GravaIni("Parametros", "Velocidade", "rápida");
        GravaIni("Parametros", "BitsDados", "12");
        GravaIni("Parametros", "Paridade", "X");
        GravaIni("Parametros", "BitsParada", "3");
        QCOMPARE(Texto(LeConfiguracaoPorta()), "|9600|8|N|1");
    }

    // The dialog stores what the user chose and keeps what was shown.
    void dialogo() {
        TFmPortaBalanca dialogo({u"ttyS1"_s, 19200, 7, u'O', u"1.5"_s});
        auto* paridade = dialogo.findChild<QComboBox*>("CbParidade");
        dialogo.findChild<QComboBox*>("CbPorta")->setCurrentText(u"/dev/ttyUSB1"_s);
        paridade->setCurrentIndex(paridade->findText(u"Par"_s));
        dialogo.Grava();
        QCOMPARE(dialogo.result(), int(QDialog::Accepted));
        QCOMPARE(Texto(LeConfiguracaoPorta()), "/dev/ttyUSB1|19200|7|E|1.5"); // what was shown, kept
    }

    // A scale on the port, and what one reading of it gives: the weight as soon as one frame stands whole; a
    // frame's tail when the port opens mid-frame is not a weight ("5.6 kg" is not 5.6); after a second of
    // silence, or 30 characters or frames that are no weight, none, and why; a scale that answers only when
    // asked gets what is sent.
    void portaSimulada_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("envio");
        QTest::addColumn<int>("falha");
        QTest::addColumn<double>("peso"); // 0: none
        QTest::addColumn<QString>("comeca");
        QTest::addColumn<int>("msDe");
        QTest::addColumn<int>("msAte");
        QTest::addColumn<int>("unico"); // characters of a one-frame answer; 0: frames ended by CR
        const auto repete = [](const char* quadro) {
            return SimuladorBalanca::Repete(QLatin1String(quadro));
        };
        const QString pedido = u"IFS= read -r pedido\n"
                               "[ \"$pedido\" = \"P\" ] && printf '  +0012.5 kg\\r'\n"
                               "sleep 5\n"_s;
        const int nenhuma = int(FalhaBalanca::Nenhuma), silencio = int(FalhaBalanca::Silencio),
                  semQuadro = int(FalhaBalanca::SemQuadro);
        QTest::newRow("quadros firmes")
            << repete("  +0075.6 kg\\r") << QByteArray() << nenhuma << 75.6 << "" << 0 << 900 << 0;
        QTest::newRow("cauda primeiro") << "printf '5.6 kg\\r'; sleep 0.1\n" + repete("  +0075.6 kg\\r")
                                        << QByteArray() << nenhuma << 75.6 << "5.6 kg\r" << 0 << 5000 << 0;
        QTest::newRow("silêncio") << "sleep 5\n" << QByteArray() << silencio << 0.0 << "" << 950 << 2500 << 0;
        QTest::newRow("lixo") << repete("##########") << QByteArray() << semQuadro << 0.0 << QString(30, '#')
                              << 0 << 5000 << 0;
        QTest::newRow("erro") << repete("ERRO\\r") << QByteArray() << semQuadro << 0.0 << "" << 0 << 5000
                              << 0;
        QTest::newRow("sem pedido") << pedido << QByteArray() << silencio << 0.0 << "" << 0 << 5000 << 0;
        QTest::newRow("com pedido") << pedido << QByteArray("P\n") << nenhuma << 12.5 << "" << 0 << 5000 << 0;
        // A scale that answers ENQ with a fixed count of characters and no terminator.
        const auto enq = [](const char* resposta) {
            return u"head -c1 > /dev/null\nprintf '%1'\nsleep 5\n"_s.arg(QLatin1String(resposta));
        };
        QTest::newRow("ENQ 10,05") << enq("+0010.05 kg ") << QByteArray("\x05") << nenhuma << 10.05 << "" << 0
                                   << 900 << 12;
        QTest::newRow("ENQ 100 kg") << enq(" +100.00 kg\r") << QByteArray("\x05") << nenhuma << 100.0 << ""
                                    << 0 << 900 << 12;
        QTest::newRow("ENQ cortado") << enq("+0010") << QByteArray("\x05") << semQuadro << 0.0 << "+0010"
                                     << 950 << 2500 << 12;
        QTest::newRow("ENQ sem pedido")
            << enq("+0010.05 kg ") << QByteArray() << silencio << 0.0 << "" << 950 << 2500 << 12;
    }
    void portaSimulada() {
        if (!SimuladorBalanca::Disponivel())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
        QFETCH(QString, script);
        QFETCH(QByteArray, envio);
        QFETCH(double, peso);
        QFETCH(QString, comeca);
        QFETCH(int, msDe);
        QFETCH(int, msAte);
        QFETCH(int, unico);
        SimuladorBalanca balanca(m_dir.path(), script);
        QVERIFY2(!balanca.Dispositivo().isEmpty(), "socat made no pseudo-terminal");
        PedidoBalanca pedido;
        pedido.envio = envio;
        if (unico > 0) {
            pedido.quadroUnico = true;
            pedido.maxCaracteres = unico;
        }
        GravaConfiguracaoPorta({balanca.Porta()}); // as F5 of a screen reads it: the port the user set up
        QElapsedTimer relogio;
        relogio.start();
        const LeituraBalanca l = LePesoBalanca(pedido);
        const qint64 ms = relogio.elapsed();
        QVERIFY2(!PortaAberta(balanca.Dispositivo()), "the port was left open");
        QTEST(int(l.falha), "falha");
        QCOMPARE(l.peso, peso ? std::optional<double>(peso) : std::nullopt);
        if (!l.peso)
            QVERIFY(!l.mensagem.isEmpty());
        QVERIFY2((comeca.isEmpty() || l.resposta.startsWith(comeca)) && l.resposta.size() <= 30,
                 qPrintable(l.resposta));
        QVERIFY2(ms >= msDe && ms < msAte, qPrintable(QString::number(ms)));
    }

    // A scale that sends on its own, its port held open: a request takes the next whole frame, never the
    // tail the port opened into, and says so when none readable comes in time; the port stays open.
    void balancaAberta_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QVariant>("peso");
        const auto repete = [](const char* quadro) {
            return SimuladorBalanca::Repete(QLatin1String(quadro));
        };
        QTest::newRow("10,05") << repete("+0010.05 kg\\r") << QVariant(10.05);
        QTest::newRow("100 kg") << repete(" 100.00\\r") << QVariant(100.0);
        QTest::newRow("cauda primeiro")
            << "printf '5 kg\\r'; sleep 0.2\n" + repete(" 7.25 kg\\r") << QVariant(7.25);
        QTest::newRow("silêncio") << "sleep 5\n" << QVariant();
        QTest::newRow("lixo") << repete("ERRO\\r") << QVariant();
    }
    void balancaAberta() {
        if (!SimuladorBalanca::Disponivel())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
        QFETCH(QString, script);
        SimuladorBalanca simulador(m_dir.path(), script);
        BalancaAberta balanca;
        QCOMPARE(balanca.Abre(ConfiguracaoPorta{simulador.Porta()}), QString());
        QVariant peso;
        QString falha;
        connect(&balanca, &BalancaAberta::pesoLido, this, [&](double kg) { peso = kg; });
        connect(&balanca, &BalancaAberta::semPeso, this, [&](const QString& texto) { falha = texto; });
        balanca.PedeProximoQuadro(800);
        QTRY_VERIFY_WITH_TIMEOUT(peso.isValid() || !falha.isEmpty(), 3000);
        QTEST(peso, "peso");
        QCOMPARE(falha.isEmpty(), peso.isValid());
        QVERIFY(PortaAberta(simulador.Dispositivo()));
        balanca.Fecha();
        QVERIFY(!PortaAberta(simulador.Dispositivo()));
    }

    void portaAusente() {
        const LeituraBalanca ausente = LePesoBalanca(ConfiguracaoPorta{m_dir.filePath("nao-existe")});
        QCOMPARE(ausente.falha, FalhaBalanca::PortaIndisponivel);
        QVERIFY2(ausente.mensagem.contains(u"nao-existe"_s), qPrintable(ausente.mensagem));
        const LeituraBalanca semPorta = LePesoBalanca(ConfiguracaoPorta{});
        QCOMPARE(semPorta.falha, FalhaBalanca::SemPorta);
        QVERIFY(!semPorta.mensagem.isEmpty());
    }

    void cancelInsertDeleteKeepTheCursor() {
        TClientDataSet ds;
        fill(ds, {"ANA", "BIA", "CAIO"});
        const QStringList before = column(ds, "NOME");
        ds.MoveTo(1);
        ds.Append();
        ds.FieldByName("NOME") = "DAVI";
        ds.Cancel();
        QCOMPARE(column(ds, "NOME"), before);
        QCOMPARE(nome(ds), QString("CAIO")); // the last record, where Append went
        ds.MoveTo(1);
        ds.Insert(); // before BIA
        ds.Cancel();
        QCOMPARE(column(ds, "NOME"), before);
        QCOMPARE(nome(ds), QString("BIA"));
        ds.First();
        QVERIFY(ds.Delete());
        QCOMPARE(nome(ds), QString("BIA"));

        ds.EmptyDataSet();
        ds.Insert();
        ds.Cancel();
        QVERIFY(ds.IsEmpty());
        QCOMPARE(ds.RecNo(), -1);
        ds.Append();
        ds.FieldByName("NOME") = "X";
        ds.EmptyDataSet(); // while inserting
        QCOMPARE(ds.State(), DataSetState::Browse);
        QCOMPARE(ds.RecordCount(), 0);
    }

    void refusingHooksKeepTheRecord() {
        TClientDataSet ds;
        fill(ds, {"ANA", "BIA"});
        ds.BeforePost = [](TDataSet& d) {
            if (d.FieldByName("PRECO").IsNull())
                throw EAbort();
        };
        ds.Append();
        ds.FieldByName("NOME") = "CAIO";
        QVERIFY(!ds.Post());
        QCOMPARE(ds.State(), DataSetState::Insert);
        QCOMPARE(nome(ds), QString("CAIO"));
        ds.FieldByName("PRECO") = 2.5;
        QVERIFY(ds.Post());
        ds.BeforeDelete = refuse;
        QVERIFY(!ds.Delete());
        QCOMPARE(ds.RecordCount(), 3);
        ds.BeforeInsert = refuse;
        ds.Append();
        QCOMPARE(ds.State(), DataSetState::Browse);
        QCOMPARE(ds.RecordCount(), 3);
        ds.BeforeEdit = refuse; // a refused edit must not change the record behind the user's back
        try {
            ds.FieldByName("NOME") = "OUTRO";
        } catch (const EAbort&) {
        }
        QCOMPARE(nome(ds), QString("CAIO"));
    }

    void indexFilterAndLocate() {
        TClientDataSet ds;
        fill(ds, {"B", "A", "B", "A", "B"});
        const QVariantList precos{10, 9, QVariant(), 100, 2.5};
        for (int p = 0; p < precos.size(); ++p)
            ds.SetValueAt(p, 2, precos[p]);
        ds.Post();
        ds.SetIndexFieldNames("nome;preco");
        QCOMPARE(column(ds, "CODIGO"), QStringList({"2", "4", "3", "5", "1"})); // A9 A100 B- B2.5 B10
        ds.Locate("CODIGO", {3});
        ds.FieldByName("PRECO") = "50";
        QVERIFY(ds.Post());
        QCOMPARE(column(ds, "CODIGO"), QStringList({"2", "4", "5", "1", "3"}));
        QCOMPARE(ds.RecNo(), 4);
        QCOMPARE(ds.FieldByName("CODIGO").AsInteger(), 3);
        // A column written at once, in the order shown, orders the rows again; the cursor keeps its row.
        ds.PreencheColuna(2, {5, 4, 3, 2, 1});
        QCOMPARE(column(ds, "CODIGO"), QStringList({"4", "2", "3", "1", "5"}));
        QCOMPARE(ds.FieldByName("CODIGO").AsInteger(), 3);
        // Rows handed over keep the order shown, and leave the giver empty.
        TClientDataSet tomada;
        tomada.TomaDe(ds);
        QCOMPARE(column(tomada, "CODIGO"), QStringList({"4", "2", "3", "1", "5"}));
        QCOMPARE(ds.RecordCount(), 0);

        TClientDataSet f;
        fill(f, {"João", "Maria", "JOANA", "Pedro"});
        f.SetFilter([](const RecordView& r) { return r.value("NOME").toString() != "João"; });
        f.Last();
        QVERIFY(!f.Locate("NOME", {"joão"}, true, false)); // hidden
        QCOMPARE(nome(f), QString("Pedro"));
        QVERIFY(f.Locate("NOME", {"jo"}, true, true)); // case-insensitive, partial
        QCOMPARE(nome(f), QString("JOANA"));
        QVERIFY(f.Locate("CODIGO;NOME", {4, "pedro"}, true));
        f.ClearFilter();
        QCOMPARE(nome(f), QString("Pedro"));
        f.SetFilter([](const RecordView& r) { return r.value("NOME").toString() != "João"; });
        tomada.TomaDe(f);
        QCOMPARE(column(tomada, "NOME"), QStringList({"Maria", "JOANA", "Pedro"}));
    }

    // One parser for every box and cell: values as the screens show them, or refused before anything is
    // stored, with the field named; a value the column cannot hold is refused, never wrapped.
    void typedValuesAgainstColumns() {
        TClientDataSet ds;
        ds.AddField("PESO", QMetaType::Double, 0, "Peso")
            .AddField("VALOR", QMetaType::Double, 0, "Valor de Compra")
            .AddField("MESES", QMetaType::Int, 0, "Meses Deprec.")
            .AddField("DATA", QMetaType::QDate, 0, "Data")
            .AddField("HORA", QMetaType::QString, 5, "Hora Inicial");
        ds.CreateDataSet();
        ds.FieldDefByName("HORA").timeOfDay = true;
        ds.FieldDefByName("VALOR").decimals = 2; // as a NUMERIC(18,2) column reports itself
        ds.FieldDefByName("VALOR").limit = 1e16 - 0.01;
        ds.Append();
        // The field, the text typed and what is stored; none: refused, the field keeps its value.
        const QVariant recusado;
        const std::tuple<QString, QString, QVariant> casos[] = {
            {"PESO", " ", QVariant(QMetaType::fromType<double>())},
            {"VALOR", "12345678901234567890", recusado},
            {"VALOR", "9.999.999.999.999.999,99", 1e16 - 0.01},
            {"VALOR", "1,005", 1.01},
            {"MESES", "-3", qlonglong(-3)},
            {"MESES", "99999999999", recusado},
            {"MESES", "1,5", recusado},
            {"DATA", "25/12/2024", QDate(2024, 12, 25)},
            {"DATA", "31/02/2024", recusado},
            {"HORA", "0800", "08:00"},
            {"HORA", "25:00", recusado}};
        for (const auto& [campo, texto, gravado] : casos) {
            ds.FieldByName(campo) = campo == "DATA" ? QVariant(QDate(2020, 1, 1)) : QVariant(7);
            const QVariant antes = ds.FieldByName(campo).Value();
            try {
                ds.FieldByName(campo) = texto;
            } catch (const EDatabaseError& e) {
                QVERIFY2(!gravado.isValid() &&
                             e.message().startsWith(ds.FieldDefByName(campo).displayLabel + ":"),
                         qPrintable(texto + ": " + e.message()));
                QCOMPARE(ds.FieldByName(campo).Value(), antes);
                continue;
            }
            const QVariant valor = ds.FieldByName(campo).Value();
            QVERIFY2(gravado.isValid() && (gravado.isNull() ? valor.isNull() : valor == gravado),
                     qPrintable(texto + " -> " + valor.toString()));
        }
    }

    void modelFollowsDataSet() {
        TClientDataSet ds;
        fill(ds, {"ANA", "BIA"});
        DataSetModel* model = DataSetModel::Of(&ds);
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        ds.Append();
        ds.FieldByName("NOME") = "CAIO"; // shown while typed, before the post
        QVERIFY(!changed.isEmpty());
        QCOMPARE(model->index(2, 1).data().toString(), QString("CAIO"));
        ds.Post();
        QVERIFY(model->setData(model->index(0, 2), "1,5", Qt::EditRole)); // a grid cell edit
        QCOMPARE(ds.RecNo(), 0);
        QCOMPARE(ds.FieldByName("PRECO").AsFloat(), 1.5);
        QCOMPARE(model->index(0, 2).data(Qt::EditRole).toString(), QString("1,5")); // the editor's start
        ds.Cancel();
        QVERIFY(model->index(0, 2).data(Qt::EditRole).isNull());
        ds.EmptyDataSet();
        QCOMPARE(model->rowCount(), 0);
    }

    void fieldLinksWriteAndFollow() {
        TClientDataSet ds;
        fill(ds, {"ANA", "BIA"});
        QWidget w;
        auto* edit = new QLineEdit(&w);
        auto* preco = new QLineEdit(&w);
        auto* ativo = new QCheckBox(&w);
        auto* group = new QButtonGroup(&w);
        for (int id = 0; id < 2; ++id)
            group->addButton(new QRadioButton(&w), id);
        FieldLink::Edit(edit, &ds, "NOME");
        FieldLink::Edit(preco, &ds, "PRECO");
        FieldLink::Check(ativo, &ds, "ATIVO");
        FieldLink::Radio(group, &ds, "TIPO", {"P", "T"});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // Typing a number starts editing, but the number is taken when complete, not keystroke by keystroke.
        preco->setFocus();
        QTest::keyClicks(preco, "12,5");
        QCOMPARE(ds.State(), DataSetState::Edit);
        QVERIFY(ds.FieldByName("PRECO").IsNull());
        QTest::keyClick(preco, Qt::Key_Return);
        QCOMPARE(ds.FieldByName("PRECO").AsFloat(), 12.5);
        QVERIFY(ds.Post());
        QCOMPARE(preco->text(), QString("12,5")); // as the grid shows it
        preco->selectAll();
        QTest::keyClicks(preco, "7");
        QVERIFY(ds.Post()); // a save button that takes no focus: Post takes the pending number
        QCOMPARE(ds.FieldByName("PRECO").AsFloat(), 7.0);
        // Code setting another field (a save hook filling a name) leaves a number still being typed alone, so
        // the post still finds it and refuses what it cannot read.
        preco->selectAll();
        QTest::keyClicks(preco, "7,,5");
        ds.FieldByName("NOME") = "ANA MARIA";
        QCOMPARE(preco->text(), QString("7,,5"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.Post());
        QCOMPARE(ds.State(), DataSetState::Edit);
        ds.Cancel();
        QCOMPARE(preco->text(), QString("7"));

        ds.BeforeEdit = refuse; // a refused edit shows the record as it is
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "X");
        QCOMPARE(ds.State(), DataSetState::Browse);
        QCOMPARE(edit->text(), QString("ANA"));
        ds.BeforeEdit = nullptr;

        ativo->click();
        QCOMPARE(ds.FieldByName("ATIVO").AsString(), QString("N"));
        group->button(1)->click();
        QCOMPARE(ds.FieldByName("TIPO").AsString(), QString("T"));
        ds.Next(); // posts, then the controls show the next record
        QCOMPARE(edit->text(), QString("BIA"));
        QVERIFY(preco->text().isEmpty());
        QVERIFY(!group->checkedButton());
        ds.Prior();
        QCOMPARE(preco->text(), QString("7"));
        QVERIFY(!ativo->isChecked());
        QCOMPARE(group->checkedId(), 1);
    }

    // Posts, inserts, deletes and moves are told as row changes, never as a reset: the grid keeps its current
    // cell and scroll position, and the model stays consistent (checked by Qt's model tester).
    void gridKeepsItsCellAcrossRowChanges() {
        TClientDataSet ds;
        QStringList names;
        for (int i = 0; i < 300; ++i)
            names << QStringLiteral("N%1").arg(i, 3, 10, QChar('0'));
        fill(ds, names);
        TZoDBGrid grid;
        grid.SetDataSet(&ds);
        new QAbstractItemModelTester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     this);
        QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        ds.MoveTo(150);
        grid.SelectField("PRECO");
        grid.scrollTo(grid.currentIndex());
        const int scroll = grid.verticalScrollBar()->value();
        QVERIFY(scroll > 0);

        ds.Edit();
        ds.FieldByName("PRECO") = 9.5;
        QVERIFY(ds.Post());
        QCOMPARE(grid.verticalScrollBar()->value(), scroll);
        grid.setCurrentIndex(grid.model()->index(149, 2)); // the data set follows the grid
        QCOMPARE(ds.RecNo(), 149);
        bool swallow = true; // a screen's key handler may take a key from the grid
        grid.OnKeyDown = [&](QKeyEvent*) { return swallow; };
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(ds.RecNo(), 149);
        swallow = false;
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(ds.RecNo(), 150);
        ds.BeforePost = refuse; // leaving a record whose post is refused keeps both cursors on it
        ds.FieldByName("PRECO") = 1;
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(ds.State(), DataSetState::Edit);
        QTRY_COMPARE(grid.currentIndex().row(), 150);
        ds.Cancel();
        ds.BeforePost = nullptr;
        ds.Insert();
        ds.FieldByName("NOME") = "NOVO";
        QVERIFY(ds.Post());
        ds.Delete();
        QCOMPARE(resets.count(), 0);
        QCOMPARE(grid.SelectedField(), QString("PRECO"));
        QCOMPARE(grid.currentIndex().row(), ds.RecNo());
        QCOMPARE(nome(ds), QString("N150"));

        // In a sorted set a post moves its row to its place, and the cursor goes with it.
        ds.SetIndexFieldNames("NOME");
        QCOMPARE(resets.count(), 1); // a new order is a reset
        ds.Locate("NOME", {"N010"});
        ds.FieldByName("NOME") = "N200X";
        QVERIFY(ds.Post());
        QCOMPARE(resets.count(), 1);
        QCOMPARE(grid.currentIndex().row(), 200);
        QCOMPARE(grid.model()->index(200, 1).data().toString(), QString("N200X"));

        // A posted row the filter no longer takes leaves the view.
        ds.SetFilter([](const RecordView& r) { return !r.value("NOME").toString().startsWith("X"); });
        const int before = ds.RecordCount();
        ds.First();
        ds.FieldByName("NOME") = "XFORA";
        QVERIFY(ds.Post());
        QCOMPARE(grid.model()->rowCount(), before - 1);
    }

    // One declaration per grid: only its columns, in its order, also after the rows are reloaded; the
    // decimals reach the boxes bound to the field.
    void declaredColumns() {
        TClientDataSet ds;
        ds.AddField("INTERNO", QMetaType::QString, 10)
            .AddField("CODIGO", QMetaType::QString, 4)
            .AddField("DESCRICAO", QMetaType::QString, 50)
            .AddField("ATIVO", QMetaType::QString, 1)
            .AddField("CONCLUIDO", QMetaType::QString, 1)
            .AddField("PRECO", QMetaType::Double);
        ds.CreateDataSet();
        TZoDBGrid grid;
        grid.SetDataSet(&ds);
        grid.SetReadOnly(false);
        grid.DeclaraColunas({ColunaGrade("DESCRICAO", "Descrição").SomenteLeitura(),
                             {"CODIGO", "Código"},
                             ColunaGrade("ATIVO", "Ok").Textos(TextosSimNao()),
                             ColunaGrade("CONCLUIDO", "Concluído").Lista({"Não", "Sim"}),
                             ColunaGrade("PRECO", "Preço").Casas(2)});
        ds.Append();
        const QVariantList valores = {"Z", "A1", "MALHA", "S", "N", 3.8};
        for (int c = 0; c < valores.size(); ++c)
            ds.Fields(c) = valores[c];
        QVERIFY(ds.Post());
        ds.SetIndexFieldNames("CODIGO"); // a reload of the rows

        const DataSetModel* model = DataSetModel::Of(&ds);
        QCOMPARE(model->columnCount(), 5);
        QCOMPARE(model->ColumnOfField("INTERNO"), -1);
        // Each field as "column|cell|what a box bound to the field shows|editable|pick list".
        QStringList colunas;
        for (const char* campo : {"DESCRICAO", "CODIGO", "ATIVO", "CONCLUIDO", "PRECO"}) {
            const int c = model->ColumnOfField(campo);
            const QModelIndex index = model->index(0, c);
            colunas << QStringList{QString::number(c), index.data().toString(),
                                   ds.FieldByName(campo).DisplayText(),
                                   model->flags(index) & Qt::ItemIsEditable ? "sim" : "não",
                                   model->PickList(c).join(',')}
                           .join('|');
        }
        QCOMPARE(colunas, QStringList({"0|MALHA|MALHA|não|", "1|A1|A1|sim|", "2|Sim|S|sim|",
                                       "3|N|N|sim|Não,Sim", "4|3,80|3,80|sim|"}));
    }

    // Keys that only shape the next character reach the grid from its cell editor; they must not end the edit
    // (everything typed before the last Shift used to be lost), while Tab still takes the text into the row.
    void typingIntoCells() {
        TClientDataSet ds;
        fill(ds, {"ANA"});
        TZoDBGrid grid;
        grid.SetDataSet(&ds);
        grid.SetReadOnly(false);
        grid.DeclaraColunas(
            {{"NOME", "Nome"}, ColunaGrade("ATIVO", "Ativo").Lista({"Não", "Sim", "Reproc."})});
        int teclasDaTela = 0;
        grid.OnKeyDown = [&](QKeyEvent*) { return ++teclasDaTela, false; };
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const std::pair<int, Qt::KeyboardModifiers> teclas[] = {{Qt::Key_Shift, Qt::ShiftModifier},
                                                                {Qt::Key_AltGr, Qt::GroupSwitchModifier},
                                                                {Qt::Key_CapsLock, Qt::NoModifier},
                                                                {Qt::Key_Dead_Acute, Qt::NoModifier}};
        for (const auto& [tecla, modificador] : teclas) {
            const QString nomeTecla = QMetaEnum::fromType<Qt::Key>().valueToKey(tecla);
            grid.SelectField("NOME");
            grid.edit(grid.currentIndex());
            auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            QVERIFY(editor);
            editor->clear();
            QTest::keyClicks(editor, "Urg");
            for (const auto tipo : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent evento(tipo, tecla, modificador);
                QApplication::sendEvent(editor, &evento);
            }
            QVERIFY2(QApplication::focusWidget() == editor, qPrintable(nomeTecla));
            QTest::keyClicks(editor, "ente");
            QTest::keyClick(editor, Qt::Key_Tab);
            QVERIFY2(nome(ds) == "Urgente", qPrintable(nomeTecla + ": " + nome(ds)));
        }
        QCOMPARE(teclasDaTela, 4); // the Tabs, for the screen's row checks
        // A composed letter opens the cell it is typed on, and is its first letter.
        grid.SelectField("NOME");
        grid.setFocus();
        QInputMethodEvent composta;
        composta.setCommitString(QStringLiteral("É"));
        QApplication::sendEvent(&grid, &composta);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, "tica");
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(nome(ds), QString("Ética"));
        // A letter typed into a pick-list cell picks the item it starts; the field keeps its first letter.
        for (const auto& [typed, stored] : {std::pair{"r", "R"}, std::pair{"N", "N"}, std::pair{"s", "S"}}) {
            grid.SelectField("ATIVO");
            grid.setFocus();
            QTest::keyClicks(&grid, typed);
            QVERIFY(QApplication::focusWidget() != &grid);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(ds.FieldByName("ATIVO").AsString(), QString(stored));
        }
        QCOMPARE(ItemDaLista({"Nao", "Sim"}, "x"), QString("x"));
    }
};

QTEST_MAIN(TstFuncoes)
#include "tst_funcoes.moc"
