// The shift of a moment: the rule on a weekday's hours as a data table, then on the database, read once per
// moment (TurnoDoMomento) and once for many (QuadroTurnos).
#include "TestDatabase.h"
#include "Turno.h"
#include <QTest>

namespace {
QTime hora(const char* texto) {
    return QTime::fromString(QLatin1String(texto), QStringLiteral("HH:mm:ss"));
}
// "01 06:00:00-13:59:59;03 22:00:00-05:59:59" as rows.
QList<HorarioTurno> horarios(const QString& texto) {
    QList<HorarioTurno> linhas;
    for (const QString& linha : texto.split(';', Qt::SkipEmptyParts)) {
        const QStringList partes = linha.split(' ');
        const QStringList horas = partes.value(1).split('-');
        linhas.append({partes.value(0), QTime::fromString(horas.value(0), QStringLiteral("HH:mm:ss")),
                       QTime::fromString(horas.value(1), QStringLiteral("HH:mm:ss"))});
    }
    return linhas;
}
const QString kTresTurnos = QStringLiteral("01 06:00:00-13:59:59;02 14:00:00-21:59:59;03 22:00:00-05:59:59");
// Hours with gaps: the morning, the afternoon and the night, nothing at lunch nor in the evening.
const QString kComIntervalos =
    QStringLiteral("01 07:00:00-11:59:59;02 13:00:00-17:59:59;03 22:00:00-05:59:59");
} // namespace

class TstTurno : public DatabaseTestCase {
    Q_OBJECT
    // Three shifts every day of the week as the demo has them, 03 the night one; employees of shifts 01 and
    // 02 and one of none.
    void Turnos() {
        Insert("TURNO (TURNO, DESCRICAO, NOTURNO)",
               {"'01', 'MANHA', 'N'", "'02', 'TARDE', 'N'", "'03', 'NOITE', 'S'"});
        for (int dia = 1; dia <= 7; ++dia) {
            for (const auto& [turno, entrada, saida] :
                 {std::tuple{"01", "06:00:00", "13:59:59"}, std::tuple{"02", "14:00:00", "21:59:59"},
                  std::tuple{"03", "22:00:00", "05:59:59"}})
                Sql(QStringLiteral(
                        "INSERT INTO TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA) VALUES ('%1', %2, "
                        "'%3', '%4')")
                        .arg(QLatin1String(turno))
                        .arg(dia)
                        .arg(QLatin1String(entrada), QLatin1String(saida)));
        }
        Insert("PESSOAL (CODIGO, NOME, TURNO)",
               {"'00001', 'MANHA', '01'", "'00003', 'TARDE', '02'", "'00007', 'SEM TURNO', NULL"});
        Commit();
    }

private slots:
    void weekdayOfTheHours_data();
    void weekdayOfTheHours();
    void shiftOfAMoment();
    void momentOnTheDatabase();
    void manyMomentsReadTheHoursOnce();
};

void TstTurno::weekdayOfTheHours_data() {
    QTest::addColumn<QDate>("data");
    QTest::addColumn<int>("dia");
    QTest::newRow("domingo") << QDate(2026, 11, 22) << 1;
    QTest::newRow("segunda") << QDate(2026, 11, 23) << 2;
    QTest::newRow("sexta") << QDate(2026, 11, 27) << 6;
    QTest::newRow("sábado") << QDate(2026, 11, 28) << 7;
    QTest::newRow("sem data") << QDate() << 0;
}

void TstTurno::weekdayOfTheHours() {
    QFETCH(QDate, data);
    QFETCH(int, dia);
    QCOMPARE(DiaTurno(data), dia);
}

// The rule on one weekday's rows: the moment, the employee's own shift and the night shift.
void TstTurno::shiftOfAMoment() {
    const QString dois = kTresTurnos + ";04 12:00:00-16:00:00"; // 04 over 01's and 02's hours
    const struct {
        const char* caso;
        QString linhas;
        const char *momento, *doFuncionario, *noturno, *turno;
    } casos[] = {
        {"manhã", kTresTurnos, "09:15:00", "02", "03", "01"},
        {"fim da manhã", kTresTurnos, "13:59:59", "02", "03", "01"},
        {"entrada da tarde", kTresTurnos, "14:00:00", "01", "03", "02"},
        {"22:00-06:00 depois da meia-noite", kTresTurnos, "02:30:00", "01", "", "03"},
        {"22:00-06:00 antes da meia-noite", kTresTurnos, "23:10:00", "01", "", "03"},
        {"saída da noite", kTresTurnos, "05:59:59", "02", "", "03"},
        // lunch, which no shift covers: the employee's own shift, not the night one
        {"hora sem turno não é a noite", kComIntervalos, "12:30:00", "01", "03", "01"},
        {"noite com intervalos no dia", kComIntervalos, "22:30:00", "01", "03", "03"},
        {"hora sem turno, funcionário sem turno", kComIntervalos, "19:00:00", "", "03", "03"},
        // two shifts over the hour: neither is sure
        {"dois turnos na mesma hora", dois, "13:00:00", "02", "03", "02"},
        {"dois turnos, funcionário sem turno", dois, "13:00:00", "", "03", "03"},
        {"duas noites", "03 22:00:00-05:59:59;05 20:00:00-04:00:00", "23:00:00", "01", "03", "01"},
        // a row within the day wins over a night row that holds the hour too
        {"dentro do dia e na noite", "01 00:00:00-07:59:59;03 22:00:00-05:59:59", "03:00:00", "02", "03",
         "01"},
        {"um turno em duas linhas", "01 06:00:00-10:00:00;01 10:00:00-14:00:00", "10:00:00", "02", "03",
         "01"},
        {"sem horários no dia", "", "10:00:00", "02", "03", "02"},
        {"linha sem saída", "01 06:00:00-", "10:00:00", "", "03", "03"},
    };
    for (const auto& c : casos)
        QVERIFY2(EscolheTurno(horarios(c.linhas), hora(c.momento), QLatin1String(c.doFuncionario),
                              QLatin1String(c.noturno)) == QLatin1String(c.turno),
                 c.caso);
}

void TstTurno::momentOnTheDatabase() {
    Turnos();
    const QDate segunda(2026, 11, 23);
    QCOMPARE(TurnoDoMomento(segunda, hora("02:30:00"), "00001"), "03");
    QCOMPARE(TurnoDoMomento(segunda, hora("10:00:00"), "00003"), "01");
    QCOMPARE(TurnoDoMomento(segunda, hora("21:59:59"), "00001"), "02");

    // Monday's afternoon moved to the evening, leaving 14:00 to 17:59 uncovered on Mondays only.
    Sql("UPDATE TURNO_HORARIOS SET ENTRADA = '18:00:00' WHERE TURNO = '02' AND DIA = 2");
    Commit();
    QCOMPARE(TurnoDoMomento(segunda, hora("15:00:00"), "00001"), "01");
    QCOMPARE(TurnoDoMomento(segunda, hora("15:00:00"), "00003"), "02");
    QCOMPARE(TurnoDoMomento(segunda, hora("15:00:00"), "00007"), "03"); // no shift of his
    QCOMPARE(TurnoDoMomento(segunda, hora("15:00:00"), "99999"), "03"); // no such employee
    QCOMPARE(TurnoDoMomento(segunda.addDays(1), hora("15:00:00"), "00001"), "02");
    // Without a moment to go by, the employee's shift.
    QCOMPARE(TurnoDoMomento(segunda, QTime(), "00001"), "01");
    QCOMPARE(TurnoDoMomento(QDate(), hora("10:00:00"), "00003"), "02");

    // Without a night shift either: nothing to book it to.
    Sql("UPDATE TURNO SET NOTURNO = 'N'");
    Commit();
    QCOMPARE(TurnoDoMomento(segunda, hora("15:00:00"), "00007"), QString());
}

void TstTurno::manyMomentsReadTheHoursOnce() {
    Turnos();
    QuadroTurnos quadro;
    const QDate domingo(2026, 11, 22);
    QCOMPARE(quadro.Turno(domingo, hora("23:30:00"), "00001"), "03");
    // Read once: what changes after the first moment does not reach the ones after it.
    Sql("DELETE FROM TURNO_HORARIOS WHERE DIA = 1 AND TURNO = '01'");
    Sql("UPDATE PESSOAL SET TURNO = '02' WHERE CODIGO = '00001'");
    Commit();
    QCOMPARE(quadro.Turno(domingo, hora("08:00:00"), "00003"), "01");
    // Each weekday by its own rows; an employee's shift read the first time it is needed.
    QCOMPARE(quadro.Turno(domingo.addDays(3), hora("15:00:00"), "00001"), "02");
    QuadroTurnos outro;
    QCOMPARE(outro.Turno(domingo, hora("08:00:00"), "00001"), "02");
    QCOMPARE(outro.Turno(domingo, hora("08:00:00"), "00007"), "03");
    QCOMPARE(outro.Turno(domingo.addDays(1), hora("08:00:00"), "00007"), "01");
}

QTEST_MAIN(TstTurno)
#include "tst_turno.moc"
