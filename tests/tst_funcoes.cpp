#include "ErrosBanco.h"
#include "Formatacao.h"
#include "Funcoes.h"

#include <QLocale>
#include <QtTest>
#include <clocale>
#include <cmath>

using namespace Qt::StringLiterals;

class TstFuncoes : public QObject {
    Q_OBJECT
private slots:
    void literaisSQL();
    void permanecePonto();
    void permanecePontoTexto();
    void arredondar_data();
    void arredondar();
    void tempo();
    void validaData();
    void textoAuxiliar();
    void textoExibicao_data();
    void textoExibicao();
    void leNumero_data();
    void leNumero();
    void leHora_data();
    void leHora();
    void codesOfAListBox_data();
    void codesOfAListBox();
    void errosDoBanco();
    void cleanup();
};

void TstFuncoes::cleanup() {
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
}

// Embedded quotes are doubled: a typed value cannot break out of its literal.
void TstFuncoes::literaisSQL() {
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
void TstFuncoes::permanecePonto() {
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

void TstFuncoes::permanecePontoTexto() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QCOMPARE(PermanecePonto(u"12,5"_s), u"12.5"_s);
    QCOMPARE(PermanecePonto(u"1.234,56"_s), u"1234.56"_s);
    QCOMPARE(PermanecePonto(u"1,234.56"_s), u"1234.56"_s);
    QCOMPARE(PermanecePonto(u" -0,75 "_s), u"-0.75"_s);
    QCOMPARE(PermanecePonto(u""_s), u"NULL"_s);
    QCOMPARE(PermanecePonto(u"1); DELETE FROM FAL; --"_s), u"NULL"_s);
}

void TstFuncoes::arredondar_data() {
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

void TstFuncoes::arredondar() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    const double result = Arredondar(value, decimals);
    QCOMPARE(result, expected); // exact: the nearest double to the decimal result
    QVERIFY(!std::signbit(result) || result != 0);
}

void TstFuncoes::tempo() {
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

void TstFuncoes::validaData() {
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

void TstFuncoes::textoAuxiliar() {
    QCOMPARE(Explode(u";a;;b;"_s, u";"_s), QStringList({"", "a", "", "b", ""}));
    QCOMPARE(Explode(u"1 - 2 -  - 3"_s, u" - "_s), QStringList({"1", "2", "", "3"}));
    QCOMPARE(Explode(u"abc"_s, QString()), QStringList({"abc"}));
    QCOMPARE(ZeroE(u"12   "_s, 6), u"000012"_s);
    QCOMPARE(ZeroE(u"1234567"_s, 6), u"1234567"_s);
    QCOMPARE(TiraPontos(u"12.345.678/0001-90"_s), u"12345678000190"_s);
}

void TstFuncoes::textoExibicao_data() {
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
void TstFuncoes::textoExibicao() {
    QFETCH(QVariant, valor);
    QFETCH(int, casas);
    QFETCH(QString, texto);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(TextoExibicao(valor, casas), texto);
}

void TstFuncoes::leNumero_data() {
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
void TstFuncoes::leNumero() {
    QFETCH(QString, texto);
    QFETCH(bool, lido);
    QFETCH(double, numero);
    double valor = -1;
    QCOMPARE(LeNumero(texto, valor), lido);
    if (lido)
        QCOMPARE(valor, numero);
}

void TstFuncoes::leHora_data() {
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
void TstFuncoes::leHora() {
    QFETCH(QString, texto);
    QFETCH(QTime, hora);
    QCOMPARE(LeHora(texto), hora);
}

void TstFuncoes::codesOfAListBox_data() {
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

void TstFuncoes::codesOfAListBox() {
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
void TstFuncoes::errosDoBanco() {
    const QList<std::pair<QString, QString>> casos = {
        {"violation of PRIMARY or UNIQUE KEY constraint \"PK_BANHO\" on table \"BANHO\"",
         "Este registro já existe"},
        {"violation of FOREIGN KEY constraint \"FK_X\" on table \"FAL\"", "O registro está ligado a outro"},
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

QTEST_MAIN(TstFuncoes)
#include "tst_funcoes.moc"