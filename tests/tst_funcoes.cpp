// The host's base routines, no database: SQL literals and the decimal point, rounding, times, dates, display
// text and numbers and hours as typed, list-box codes, database errors in Portuguese; rule evaluation and
// recipe costing; import files (mode 1) on files the test writes (quoting, CRLF, Latin-1, decimal comma,
// dates, any case, blank lines, malformed lines stopped with their line number and no record) and export ->
// import.
#include "CustoReceita.h"
#include "ErrosBanco.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostError.h"
#include "RegrasCalculo.h"
#include "SisImporta.h"
#include <QDate>
#include <QFile>
#include <QLocale>
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
QVariant Resultado(std::optional<double> valor) {
    return valor ? QVariant(*valor) : QVariant();
}
const QVariant nenhum;

// Runs a check under the C locale and under a Brazilian one (Qt's default and the C library's).
template <typename F> void EmCadaLocale(F confere) {
    confere();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const bool sistema = std::setlocale(LC_ALL, "pt_BR.UTF-8") || std::setlocale(LC_ALL, "pt_BR.utf8");
    confere();
    QLocale::setDefault(QLocale::c());
    if (sistema)
        std::setlocale(LC_ALL, "C");
}
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
    void cleanup() {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, "C");
    }

    // Embedded quotes are doubled: a typed value cannot break out of its literal.
    void literaisSQL() {
        QCOMPARE(Aspas(u"D'Ávila"_s), u"'D''Ávila'"_s);
        QCOMPARE(Aspas(u"x' OR '1'='1"_s), u"'x'' OR ''1''=''1'"_s);
        QCOMPARE(Aspas(QString()), u"''"_s);
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
        QCOMPARE(ValorSql(7), u"7"_s);
        QCOMPARE(ValorSql(QDate(2026, 3, 7)), u"'03/07/2026'"_s);
    }

    // A Brazilian desktop must not turn the decimal point into a comma inside SQL.
    void permanecePonto() {
        const QList<std::pair<double, QString>> casos = {{12.5, "12.5"},     {3.0, "3"},
                                                         {-0.5, "-0.5"},     {0.1 + 0.2, "0.3"},
                                                         {0.0001, "0.0001"}, {1e16, "10000000000000000"},
                                                         {-0.0, "0"},        {std::nan(""), "NULL"}};
        auto confere = [&] {
            for (const auto& [valor, esperado] : casos)
                QCOMPARE(PermanecePonto(valor), esperado);
        };
        confere();
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        QCOMPARE(QLocale().toString(1.5), u"1,5"_s); // the locale really is active
        confere();
        if (std::setlocale(LC_NUMERIC, "pt_BR.UTF-8") || std::setlocale(LC_NUMERIC, "pt_BR.utf8"))
            confere();
    }

    void permanecePontoTexto() {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        QCOMPARE(PermanecePonto(u"12,5"_s), u"12.5"_s);
        QCOMPARE(PermanecePonto(u"1.234,56"_s), u"1234.56"_s);
        QCOMPARE(PermanecePonto(u"1,234.56"_s), u"1234.56"_s);
        QCOMPARE(PermanecePonto(u" -0,75 "_s), u"-0.75"_s);
        QCOMPARE(PermanecePonto(u""_s), u"NULL"_s);
        QCOMPARE(PermanecePonto(u"1); DELETE FROM FAL; --"_s), u"NULL"_s);
    }

    void arredondar_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("expected");
        QTest::newRow("2.675") << 2.675 << 2 << 2.68;
        QTest::newRow("1.005") << 1.005 << 2 << 1.01;
        QTest::newRow("-2.5") << -2.5 << 0 << -3.0;
        QTest::newRow("below half") << 2.674999 << 2 << 2.67;
        QTest::newRow("weight x proportion") << 3.3 * 0.75 << 2 << 2.48;
        QTest::newRow("scaled noise") << 1.15 * 100 << 0 << 115.0;
        QTest::newRow("tens") << 1155.0 << -1 << 1160.0;
        QTest::newRow("negative to zero") << -0.001 << 2 << 0.0;
    }

    void arredondar() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(double, expected);
        const double result = Arredondar(value, decimals);
        QCOMPARE(result, expected); // exact: the nearest double to the decimal result
        QVERIFY(!std::signbit(result) || result != 0);
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
            {"01/01/26", false},   {"00/01/2026", false}, {"01/01/0001", false}, {"15/06/0226", false},
            {"31/12/1899", false}, {"01/01/1900", true},  {"31/12/2099", true}};
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

    void textoExibicao_data() {
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<int>("casas");
        QTest::addColumn<QString>("texto");
        QTest::newRow("milhar e decimais") << QVariant(4583.33) << -1 << "4.583,33";
        QTest::newRow("casas do campo") << QVariant(4583.33) << 3 << "4.583,330";
        QTest::newRow("inteiro em double") << QVariant(1400.0) << -1 << "1.400";
        QTest::newRow("ruido binario") << QVariant(0.1 + 0.2) << -1 << "0,3";
        QTest::newRow("negativo") << QVariant(-1234.5) << 2 << "-1.234,50";
        QTest::newRow("codigo inteiro") << QVariant(qlonglong(24100)) << -1 << "24100";
        QTest::newRow("data") << QVariant(QDate(2026, 12, 31)) << -1 << "31/12/2026";
        QTest::newRow("momento") << QVariant(QDateTime(QDate(2026, 1, 2), QTime(14, 30, 5))) << -1
                                 << "02/01/2026 14:30";
        QTest::newRow("nulo") << QVariant() << 2 << "";
        QTest::newRow("nao finito") << QVariant(qQNaN()) << -1 << "";
    }

    // Boxes, grids and reports show one value the same way, whatever the workstation's locale.
    void textoExibicao() {
        QFETCH(QVariant, valor);
        QFETCH(int, casas);
        QFETCH(QString, texto);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(TextoExibicao(valor, casas), texto);
    }

    void leNumero_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("lido");
        QTest::addColumn<double>("numero");
        QTest::newRow("milhar") << "1.400" << true << 1400.0;
        QTest::newRow("milhar e decimal") << "1.400,5" << true << 1400.5;
        QTest::newRow("decimal") << "1,4" << true << 1.4;
        QTest::newRow("como exibido") << TextoExibicao(4583.33) << true << 4583.33;
        QTest::newRow("negativo") << "-12,75" << true << -12.75;
        QTest::newRow("brancos em volta") << " 7 " << true << 7.0;
        QTest::newRow("ponto decimal") << "12.5" << false << 0.0;
        QTest::newRow("grupo curto") << "1.40" << false << 0.0;
        QTest::newRow("duas virgulas") << "1,2,3" << false << 0.0;
        QTest::newRow("vazio") << "" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("expoente") << "1e300" << false << 0.0;
    }

    // Numbers are read as the screens show them; a text that could mean a value a thousand times off is not.
    void leNumero() {
        QFETCH(QString, texto);
        QFETCH(bool, lido);
        QFETCH(double, numero);
        double valor = -1;
        QCOMPARE(LeNumero(texto, valor), lido);
        if (lido)
            QCOMPARE(valor, numero);
    }

    void leHora_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QTime>("hora");
        QTest::newRow("com dois pontos") << "08:00" << QTime(8, 0);
        QTest::newRow("hora de um algarismo") << "8:05" << QTime(8, 5);
        QTest::newRow("com segundos") << "23:59:30" << QTime(23, 59, 30);
        QTest::newRow("quatro algarismos") << "0800" << QTime(8, 0);
        QTest::newRow("tres algarismos") << "815" << QTime(8, 15);
        QTest::newRow("so a hora") << "7" << QTime(7, 0);
        QTest::newRow("brancos em volta") << " 14:30 " << QTime(14, 30);
        QTest::newRow("hora demais") << "25:00" << QTime();
        QTest::newRow("minutos demais") << "12:60" << QTime();
        QTest::newRow("letras") << "ab" << QTime();
        QTest::newRow("cinco algarismos") << "08000" << QTime();
        QTest::newRow("vazio") << "" << QTime();
    }

    // Times are read as people type them into an hour cell; anything else is no time at all.
    void leHora() {
        QFETCH(QString, texto);
        QFETCH(QTime, hora);
        QCOMPARE(LeHora(texto), hora);
    }

    void codesOfAListBox_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QStringList>("escolhidos");
        QTest::addColumn<QStringList>("codigos");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("acrescentado");
        const auto caso = [](const char* nome, const char* texto, const QStringList& escolhidos,
                             const QStringList& codigos, const char* sql, const char* acrescentado) {
            QTest::newRow(nome) << QString(texto) << escolhidos << codigos << QString(sql)
                                << QString(acrescentado);
        };
        caso("vazio", "", {}, {}, "", "");
        caso("espaços e vírgulas", "01, 02,03", {}, {"01", "02", "03"}, "'01','02','03'", "01,02,03");
        caso("vazios e repetidos", " , 01,,01 ,02", {}, {"01", "02"}, "'01','02'", "01,02");
        caso("aspas dentro do código", "A'B,000101", {}, {"A'B", "000101"}, "'A''B','000101'", "A'B,000101");
        caso("escolhidos depois, cada um uma vez", "A'B", {"000101", "A'B", "D''E"}, {"A'B"}, "'A''B'",
             "A'B,000101,D''E");
        caso("escolhidos numa caixa vazia", "", {"02", "01"}, {}, "", "02,01");
    }

    void codesOfAListBox() {
        QFETCH(QString, texto);
        QFETCH(QStringList, escolhidos);
        QFETCH(QStringList, codigos);
        QCOMPARE(CodigosDaLista(texto), codigos);
        QTEST(ListaSql(codigos), "sql");
        QTEST(AcrescentaCodigos(texto, escolhidos), "acrescentado");
        // What the box holds after adding reads back as the same codes.
        const QString acrescentado = AcrescentaCodigos(texto, escolhidos);
        QCOMPARE(CodigosDaLista(acrescentado).join(QLatin1Char(',')), acrescentado);
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
        QTest::addColumn<double>("peso");
        QTest::addColumn<QString>("maquina");
        QTest::addColumn<QString>("cliente");
        QTest::addColumn<QVariant>("esperado");
        // Product P1 of group G1 and line L1 in every row.
        const auto linha = [](const char* nome, const char* linhas, double peso, const char* maquina,
                              const char* cliente, const QVariant& esperado) {
            QTest::newRow(nome) << QString(linhas) << peso << QString(maquina) << QString(cliente)
                                << esperado;
        };
        linha("customer", "C|X|0|0|1;M|X|0|0|2", 10.0, "Y", "X", 1.0);
        linha("machine equal to a customer code", "C|X|0|0|1;M|X|0|0|2", 10.0, "X", "Y", 2.0);
        linha("neither", "C|X|0|0|1;M|X|0|0|2", 10.0, "Y", "Y", nenhum);
        linha("product", "P|P2|0|0|1;P|P1|0|0|2", 10.0, "", "", 2.0);
        linha("group is not line", "G|L1|0|0|1;L|L1|0|0|2", 10.0, "", "", 2.0);
        linha("group", "L|G1|0|0|1;G|G1|0|0|2", 10.0, "", "", 2.0);
        linha("blank code, no customer", "C||0|0|9", 10.0, "", "", 9.0);
        linha("lower bound held", "M||50|100|3", 50.0, "", "", 3.0);
        linha("upper bound held", "M||50|100|3", 100.0, "", "", 3.0);
        linha("below", "M||50|100|3", 49.99, "", "", nenhum);
        linha("above", "M||50|100|3", 100.01, "", "", nenhum);
        linha("no upper bound", "M||50|0|3", 1e6, "", "", 3.0);
        linha("first line in order", "M||0|50|1;M||0|0|2", 40.0, "", "", 1.0);
        linha("next line past a range", "M||0|50|1;M||0|0|2", 60.0, "", "", 2.0);
        linha("code out of range", "C|X|0|5|1;C||0|0|2", 10.0, "", "X", 2.0);
        linha("result 0 is a result", "M||0|0|0", 10.0, "", "", 0.0);
        linha("no lines", "", 10.0, "M1", "C1", nenhum);
    }

    void avaliaRegraQtde() {
        QFETCH(QString, linhas);
        QFETCH(double, peso);
        QFETCH(QString, maquina);
        QFETCH(QString, cliente);
        QFETCH(QVariant, esperado);
        const LoteRegra lote{peso, maquina, "P1", cliente, "G1", "L1"};
        QCOMPARE(Resultado(AvaliaRegraQtde(Linhas(linhas), lote)), esperado);
    }

    void avaliaRegraPerc_data() {
        QTest::addColumn<QString>("linhas");
        QTest::addColumn<QVariant>("esperado");
        // Product P1 of group G1 and line L1.
        QTest::newRow("product, range ignored") << "P|P1|500|600|5" << QVariant(5.0);
        QTest::newRow("customer and machine lines skipped")
            << "C||0|0|1;M||0|0|2;G|G1|0|0|3" << QVariant(3.0);
        QTest::newRow("group is not line") << "G|L1|0|0|1;L|L1|0|0|2" << QVariant(2.0);
        QTest::newRow("blank product line") << "P|P2|0|0|1;P||0|0|4" << QVariant(4.0);
        QTest::newRow("none") << "P|P2|0|0|1;G|G2|0|0|2;C|P1|0|0|3" << nenhum;
    }

    void avaliaRegraPerc() {
        QFETCH(QString, linhas);
        QFETCH(QVariant, esperado);
        QCOMPARE(Resultado(AvaliaRegraPerc(Linhas(linhas), "P1", "G1", "L1")), esperado);
    }

    void custoItem_data() {
        QTest::addColumn<QString>("unidade");
        QTest::addColumn<double>("qtde");
        QTest::addColumn<QString>("fibra");
        QTest::addColumn<double>("concentracao");
        QTest::addColumn<QString>("indice");
        QTest::addColumn<double>("esperado");
        // Price 10 and bath proportion 10 in every row.
        QTest::newRow("% whole fabric") << "%" << 2.0 << "" << 0.0 << "60" << 0.2;
        QTest::newRow("% first fibre") << "%" << 2.0 << "1" << 0.0 << "60" << 0.12;
        QTest::newRow("% second fibre") << "%" << 2.0 << "2" << 0.0 << "60" << 0.08;
        QTest::newRow("GL") << "GL" << 1.0 << "" << 0.0 << "60" << 0.1;
        QTest::newRow("GL concentration 50") << "GL" << 1.0 << "" << 50.0 << "60" << 0.05;
        QTest::newRow("other unit") << "KG" << 2.0 << "" << 0.0 << "60" << 0.0;
        QTest::newRow("no unit") << "" << 2.0 << "" << 0.0 << "60" << 0.0;
        QTest::newRow("index with comma") << "%" << 2.0 << "1" << 0.0 << "60,5" << 0.121;
        QTest::newRow("index with point") << "%" << 2.0 << "1" << 0.0 << "60.5" << 0.121;
        QTest::newRow("second fibre, comma") << "%" << 2.0 << "2" << 0.0 << "60,5" << 0.079;
        QTest::newRow("blank index") << "%" << 2.0 << "1" << 0.0 << "" << 0.2;
        QTest::newRow("unreadable index") << "%" << 2.0 << "1" << 0.0 << "ABC" << 0.2;
        QTest::newRow("first fibre of index 0") << "%" << 2.0 << "1" << 0.0 << "0" << 0.2;
        QTest::newRow("second fibre of index 100") << "%" << 2.0 << "2" << 0.0 << "100" << 0.2;
        QTest::newRow("other fibre mark") << "%" << 2.0 << "3" << 0.0 << "60" << 0.2;
        // Fixed point at every step: the share is 0.3333, not a third; C is 0.0001, not 0.000123.
        QTest::newRow("share to 4 decimals") << "%" << 1.0 << "1" << 0.0 << "33,33333" << 0.03333;
        QTest::newRow("C to 4 decimals") << "%" << 0.00001234 << "" << 0.0 << "" << 0.000001;
    }

    void custoItem() {
        QFETCH(QString, unidade);
        QFETCH(double, qtde);
        QFETCH(QString, fibra);
        QFETCH(double, concentracao);
        QFETCH(QString, indice);
        QFETCH(double, esperado);
        EmCadaLocale([&] {
            const CustoItem custo = CustoItemReceita({unidade, qtde, fibra, concentracao, 10, indice, 10});
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

    // Quoted fields hold the separator, doubled quotes and line breaks; lines are counted in the file.
    void aspas() {
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

    void crlf() {
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
    void latin1() {
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

    void numerosEDatas() {
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
    void campos() {
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
};

QTEST_MAIN(TstFuncoes)
#include "tst_funcoes.moc"
