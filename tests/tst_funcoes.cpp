#include "ErrosBanco.h"
#include "Formatacao.h"
#include "Funcoes.h"

#include <QLocale>
#include <QtTest>
#include <clocale>
#include <cmath>

class TstFuncoes : public QObject {
    Q_OBJECT

private slots:
    void aspas_data();
    void aspas();

    void permanecePonto_data();
    void permanecePonto();
    void permanecePontoTexto_data();
    void permanecePontoTexto();

    void dataHoraSQL();

    void arredondar_data();
    void arredondar();

    void tempoString_data();
    void tempoString();
    void tempoNumerico_data();
    void tempoNumerico();
    void tempoMalformado_data();
    void tempoMalformado();
    void somaTempoString_data();
    void somaTempoString();
    void previsaoPassaDoDia();

    void validaData_data();
    void validaData();

    void explode_data();
    void explode();

    void zeroETiraPontos();

    void textoExibicao_data();
    void textoExibicao();
    void leNumero_data();
    void leNumero();
    void errosDoBanco_data();
    void errosDoBanco();

    void cleanup();
};

void TstFuncoes::cleanup() {
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
}

void TstFuncoes::aspas_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("apostrophe") << QStringLiteral("D'Ávila") << QStringLiteral("'D''Ávila'");
    QTest::newRow("several") << QStringLiteral("'a''b'") << QStringLiteral("'''a''''b'''");
    QTest::newRow("break-out attempt")
        << QStringLiteral("x' OR '1'='1") << QStringLiteral("'x'' OR ''1''=''1'");
    QTest::newRow("empty") << QStringLiteral("") << QStringLiteral("''");
    QTest::newRow("null") << QString() << QStringLiteral("''");
}

void TstFuncoes::aspas() {
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(Aspas(value), expected);
}

void TstFuncoes::permanecePonto_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fraction") << 12.5 << QStringLiteral("12.5");
    QTest::newRow("whole") << 3.0 << QStringLiteral("3");
    QTest::newRow("negative") << -0.5 << QStringLiteral("-0.5");
    QTest::newRow("large") << 1234567.891 << QStringLiteral("1234567.891");
    QTest::newRow("binary noise") << 0.1 + 0.2 << QStringLiteral("0.3");
    QTest::newRow("small") << 0.0001 << QStringLiteral("0.0001");
    QTest::newRow("no exponent") << 1e16 << QStringLiteral("10000000000000000");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
    QTest::newRow("nan") << std::nan("") << QStringLiteral("NULL");
}

void TstFuncoes::permanecePonto() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(PermanecePonto(value), expected);

    // A Brazilian desktop must not turn the decimal point into a comma inside SQL.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QCOMPARE(QLocale().toString(1.5), QStringLiteral("1,5")); // the locale really is active
    QCOMPARE(PermanecePonto(value), expected);
    if (std::setlocale(LC_NUMERIC, "pt_BR.UTF-8") || std::setlocale(LC_NUMERIC, "pt_BR.utf8"))
        QCOMPARE(PermanecePonto(value), expected);
}

void TstFuncoes::permanecePontoTexto_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma") << QStringLiteral("12,5") << QStringLiteral("12.5");
    QTest::newRow("point") << QStringLiteral("12.5") << QStringLiteral("12.5");
    QTest::newRow("brazilian grouping") << QStringLiteral("1.234,56") << QStringLiteral("1234.56");
    QTest::newRow("english grouping") << QStringLiteral("1,234.56") << QStringLiteral("1234.56");
    QTest::newRow("negative") << QStringLiteral(" -0,75 ") << QStringLiteral("-0.75");
    QTest::newRow("trailing zeros") << QStringLiteral("3,000") << QStringLiteral("3");
    QTest::newRow("blank") << QStringLiteral("") << QStringLiteral("NULL");
    QTest::newRow("injection") << QStringLiteral("1); DELETE FROM FAL; --") << QStringLiteral("NULL");
}

void TstFuncoes::permanecePontoTexto() {
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QCOMPARE(PermanecePonto(typed), expected);
}

void TstFuncoes::dataHoraSQL() {
    QCOMPARE(DataSQL(QDate(2026, 3, 7)), QStringLiteral("'03/07/2026'"));
    QCOMPARE(DataSQL(QDate(2025, 12, 31)), QStringLiteral("'12/31/2025'"));
    QCOMPARE(DataSQL(QDate()), QStringLiteral("NULL"));
    QCOMPARE(HoraSQL(QTime(7, 5, 9)), QStringLiteral("'07:05:09'"));
    QCOMPARE(HoraSQL(QTime(23, 59, 59, 999)), QStringLiteral("'23:59:59'"));
    QCOMPARE(HoraSQL(QDateTime(QDate(2026, 1, 2), QTime(14, 30, 0))), QStringLiteral("'14:30:00'"));
    QCOMPARE(HoraSQL(QTime()), QStringLiteral("NULL"));
    QCOMPARE(HoraSQL(QDateTime()), QStringLiteral("NULL"));
}

void TstFuncoes::arredondar_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("2.675") << 2.675 << 2 << 2.68;
    QTest::newRow("1.005") << 1.005 << 2 << 1.01;
    QTest::newRow("-2.5") << -2.5 << 0 << -3.0;
    QTest::newRow("2.5") << 2.5 << 0 << 3.0;
    QTest::newRow("-2.675") << -2.675 << 2 << -2.68;
    QTest::newRow("below half") << 2.674999 << 2 << 2.67;
    QTest::newRow("sum noise") << 0.1 + 0.2 << 1 << 0.3;
    QTest::newRow("weight x proportion") << 3.3 * 0.75 << 2 << 2.48;
    QTest::newRow("scaled noise") << 1.15 * 100 << 0 << 115.0;
    QTest::newRow("tens") << 1155.0 << -1 << 1160.0;
    QTest::newRow("tiny") << 0.0000125 << 6 << 0.000013;
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

void TstFuncoes::tempoString_data() {
    QTest::addColumn<double>("hours");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << QStringLiteral("00:00:00");
    QTest::newRow("half hour") << 0.5 << QStringLiteral("00:30:00");
    QTest::newRow("seconds") << 1.0 + 2.0 / 60 + 3.0 / 3600 << QStringLiteral("01:02:03");
    QTest::newRow("nearest second") << 0.1 << QStringLiteral("00:06:00");
    QTest::newRow("day") << 24.0 << QStringLiteral("24:00:00");
    QTest::newRow("past a day") << 49.75 << QStringLiteral("49:45:00");
    QTest::newRow("rounds up to minute") << 59.9996 / 60 << QStringLiteral("01:00:00");
    QTest::newRow("negative") << -1.0 << QString();
    QTest::newRow("nan") << std::nan("") << QString();
}

void TstFuncoes::tempoString() {
    QFETCH(double, hours);
    QFETCH(QString, expected);
    const QString result = TempoString(hours);
    QCOMPARE(result, expected);
    QCOMPARE(result.isNull(), expected.isNull());
}

void TstFuncoes::tempoNumerico_data() {
    QTest::addColumn<QString>("time");
    QTest::addColumn<double>("hours");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("hh:mm") << QStringLiteral("01:30") << 1.5 << QStringLiteral("01:30:00");
    QTest::newRow("hh:mm:ss") << QStringLiteral("02:15:36") << 2.26 << QStringLiteral("02:15:36");
    QTest::newRow("past a day") << QStringLiteral("30:45:00") << 30.75 << QStringLiteral("30:45:00");
    QTest::newRow("three-digit hours") << QStringLiteral("125:00:00") << 125.0 << QStringLiteral("125:00:00");
    QTest::newRow("bare zero") << QStringLiteral("0") << 0.0 << QStringLiteral("00:00:00");
    QTest::newRow("end of day") << QStringLiteral("23:59:29") << 23.0 + 59.0 / 60 + 29.0 / 3600
                                << QStringLiteral("23:59:29");
}

void TstFuncoes::tempoNumerico() {
    QFETCH(QString, time);
    QFETCH(double, hours);
    QFETCH(QString, normalized);
    QVERIFY(std::fabs(TempoNumerico(time) - hours) < 1e-12);
    QCOMPARE(TempoString(TempoNumerico(time)), normalized);
}

void TstFuncoes::tempoMalformado_data() {
    QTest::addColumn<QString>("time");
    QTest::newRow("blank") << QString();
    QTest::newRow("missing curve time plus seconds") << QStringLiteral(":00");
    QTest::newRow("letters") << QStringLiteral("1h30");
    QTest::newRow("minutes past 59") << QStringLiteral("01:60");
    QTest::newRow("seconds past 59") << QStringLiteral("01:00:60");
    QTest::newRow("too many fields") << QStringLiteral("01:00:00:00");
    QTest::newRow("negative") << QStringLiteral("-01:00");
}

void TstFuncoes::tempoMalformado() {
    QFETCH(QString, time);
    QVERIFY(std::isnan(TempoNumerico(time)));
    QVERIFY(SomaTempoString(time, QStringLiteral("01:00:00")).isNull());
    QVERIFY(SomaTempoString(QStringLiteral("01:00:00"), time).isNull());
}

void TstFuncoes::somaTempoString_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringLiteral("01:10:00") << QStringLiteral("02:20:00")
                           << QStringLiteral("03:30:00");
    QTest::newRow("second carry") << QStringLiteral("00:00:45") << QStringLiteral("00:00:30")
                                  << QStringLiteral("00:01:15");
    QTest::newRow("minute and hour carry")
        << QStringLiteral("01:59:59") << QStringLiteral("00:00:01") << QStringLiteral("02:00:00");
    QTest::newRow("past a day") << QStringLiteral("22:30:00") << QStringLiteral("03:45:30")
                                << QStringLiteral("26:15:30");
    QTest::newRow("hh:mm with hh:mm:ss")
        << QStringLiteral("01:45") << QStringLiteral("00:30:10") << QStringLiteral("02:15:10");
    QTest::newRow("curve time plus :00")
        << QStringLiteral("08:00:00") << QStringLiteral("02:30") + ":00" << QStringLiteral("10:30:00");
    QTest::newRow("step across midnight")
        << QStringLiteral("01:59:29") << QStringLiteral("02:00:00") << QStringLiteral("03:59:29");
    QTest::newRow("long durations") << QStringLiteral("99:59:59") << QStringLiteral("00:00:01")
                                    << QStringLiteral("100:00:00");
}

void TstFuncoes::somaTempoString() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, expected);
    QCOMPARE(SomaTempoString(first, second), expected);
    QCOMPARE(SomaTempoString(second, first), expected);
}

void TstFuncoes::previsaoPassaDoDia() {
    // A lot started at 20:15:30 with 30 h 50 min of curves ends two days later at 03:05:30.
    double hours = TempoNumerico(SomaTempoString(QStringLiteral("20:15:30"), QStringLiteral("30:50:00")));
    int days = 0;
    while (hours > 24) {
        hours -= 24;
        ++days;
    }
    QCOMPARE(days, 2);
    QCOMPARE(TempoString(hours), QStringLiteral("03:05:30"));
}

void TstFuncoes::validaData_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("valid");
    QTest::newRow("31/02/2026") << QStringLiteral("31/02/2026") << false;
    QTest::newRow("29/02/2026") << QStringLiteral("29/02/2026") << false;
    QTest::newRow("29/02/2028") << QStringLiteral("29/02/2028") << true;
    QTest::newRow("29/02/2100") << QStringLiteral("29/02/2100") << false;
    QTest::newRow("29/02/2000") << QStringLiteral("29/02/2000") << true;
    QTest::newRow("31/12/2025") << QStringLiteral("31/12/2025") << true;
    QTest::newRow("month 13") << QStringLiteral("12/13/2025") << false;
    QTest::newRow("empty mask") << QStringLiteral("  /  /    ") << false;
    QTest::newRow("blank") << QString() << false;
    QTest::newRow("two-digit year") << QStringLiteral("01/01/26") << false;
    QTest::newRow("day zero") << QStringLiteral("00/01/2026") << false;
}

void TstFuncoes::validaData() {
    QFETCH(QString, date);
    QFETCH(bool, valid);
    QCOMPARE(ValidaData(date), valid);
}

void TstFuncoes::explode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("simple") << QStringLiteral("a;b;c") << QStringLiteral(";") << QStringList{"a", "b", "c"};
    QTest::newRow("empty middle") << QStringLiteral("a;;b") << QStringLiteral(";")
                                  << QStringList{"a", "", "b"};
    QTest::newRow("empty ends") << QStringLiteral(";a;") << QStringLiteral(";") << QStringList{"", "a", ""};
    QTest::newRow("multi-char separator")
        << QStringLiteral("1 - 2 -  - 3") << QStringLiteral(" - ") << QStringList{"1", "2", "", "3"};
    QTest::newRow("no separator in text")
        << QStringLiteral("abc") << QStringLiteral(",") << QStringList{"abc"};
    QTest::newRow("empty separator") << QStringLiteral("abc") << QString() << QStringList{"abc"};
}

void TstFuncoes::explode() {
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QStringList, expected);
    QCOMPARE(Explode(text, separator), expected);
}

void TstFuncoes::zeroETiraPontos() {
    QCOMPARE(ZeroE(QStringLiteral("12"), 6), QStringLiteral("000012"));
    QCOMPARE(ZeroE(QStringLiteral("12   "), 6), QStringLiteral("000012"));
    QCOMPARE(ZeroE(QStringLiteral("1234567"), 6), QStringLiteral("1234567"));
    QCOMPARE(TiraPontos(QStringLiteral("12.345.678/0001-90")), QStringLiteral("12345678000190"));
    QCOMPARE(TiraPontos(QStringLiteral("123.456.789-01")), QStringLiteral("12345678901"));
    QCOMPARE(TiraPontos(QStringLiteral("89010-025")), QStringLiteral("89010025"));
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
    QTest::newRow("texto") << QVariant(QStringLiteral("D'Ávila")) << -1 << "D'Ávila";
}

// Boxes, grids and reports show one value the same way, whatever the workstation's locale.
void TstFuncoes::textoExibicao() {
    QFETCH(QVariant, valor);
    QFETCH(int, casas);
    QFETCH(QString, texto);
    QCOMPARE(TextoExibicao(valor, casas), texto);
}

void TstFuncoes::leNumero_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("lido");
    QTest::addColumn<double>("numero");
    QTest::newRow("milhar") << "1.400" << true << 1400.0;
    QTest::newRow("milhar e decimal") << "1.400,5" << true << 1400.5;
    QTest::newRow("decimal") << "1,4" << true << 1.4;
    QTest::newRow("simples") << "1400" << true << 1400.0;
    QTest::newRow("como exibido") << TextoExibicao(4583.33) << true << 4583.33;
    QTest::newRow("negativo") << "-12,75" << true << -12.75;
    QTest::newRow("brancos em volta") << " 7 " << true << 7.0;
    QTest::newRow("ponto decimal") << "12.5" << false << 0.0;
    QTest::newRow("grupo curto") << "1.40" << false << 0.0;
    QTest::newRow("duas virgulas") << "1,2,3" << false << 0.0;
    QTest::newRow("vazio") << "" << false << 0.0;
    QTest::newRow("letras") << "abc" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("expoente") << "1e300" << false << 0.0;
}

// Numbers are read as the screens show them; a text that could mean a value a thousand times off is not read.
void TstFuncoes::leNumero() {
    QFETCH(QString, texto);
    QFETCH(bool, lido);
    QFETCH(double, numero);
    double valor = -1;
    QCOMPARE(LeNumero(texto, valor), lido);
    if (lido)
        QCOMPARE(valor, numero);
}

void TstFuncoes::errosDoBanco_data() {
    QTest::addColumn<QString>("servidor");
    QTest::addColumn<QString>("inicio"); // what the user reads first; empty: the server's text alone
    QTest::newRow("chave repetida")
        << "violation of PRIMARY or UNIQUE KEY constraint \"PK_BANHO\" on table \"BANHO\""
        << "Este registro já existe";
    QTest::newRow("referencia") << "violation of FOREIGN KEY constraint \"FK_X\" on table \"FAL\""
                                << "O registro está ligado a outro registro";
    QTest::newRow("conexao perdida") << "Error writing data to the connection."
                                     << "A conexão com o banco";
    QTest::newRow("texto longo") << "arithmetic exception, numeric overflow, or string truncation\n"
                                    "string right truncation"
                                 << "Um texto é maior";
    QTest::newRow("desconhecido") << "Dynamic SQL Error SQL error code = -104"
                                  << "";
    QTest::newRow("vazio") << ""
                           << "Erro no banco de dados.";
}

// Errors users meet say what happened in Portuguese; the server's text stays as the detail.
void TstFuncoes::errosDoBanco() {
    QFETCH(QString, servidor);
    QFETCH(QString, inicio);
    const QString text = TraduzErroBanco(servidor);
    if (inicio.isEmpty()) {
        QCOMPARE(text, servidor);
        return;
    }
    QVERIFY2(text.startsWith(inicio), qPrintable(text));
    QVERIFY2(servidor.isEmpty() || text.endsWith(servidor), qPrintable(text));
}

QTEST_MAIN(TstFuncoes)
#include "tst_funcoes.moc"
