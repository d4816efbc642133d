#pragma once
#include "HostExport.h"
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QTime>

// The shift a moment of work belongs to, by the shift hours of its weekday (TURNO_HORARIOS). Process
// recording, expedition and the scale link book each moment to a shift this one way.

// One row of a weekday's hours: a night shift's row crosses midnight (entrada later than saida).
struct KELMHOST_EXPORT HorarioTurno {
    QString turno;
    QTime entrada;
    QTime saida;
};

// TURNO_HORARIOS.DIA of a date: 1 Sunday ... 7 Saturday.
KELMHOST_EXPORT int DiaTurno(const QDate& data);

// The one shift whose hours hold the moment, empty when none or more than one do. The rows that open and
// close within the day are looked at first; only when none holds the moment, the rows that cross midnight
// (from their entry to midnight, and from midnight to their exit). Two rows of one shift count once.
KELMHOST_EXPORT QString TurnoDoHorario(const QList<HorarioTurno>& horarios, const QTime& hora);

// The shift of the moment (TurnoDoHorario); when the hours tell none, the employee's own shift, and
// without one the night shift. An hour no shift covers is not booked to the night shift for that alone.
KELMHOST_EXPORT QString EscolheTurno(const QList<HorarioTurno>& horarios, const QTime& hora,
                                     const QString& turnoFuncionario, const QString& turnoNoturno);

// EscolheTurno on the database: the date's weekday rows read once; the employee's shift (PESSOAL.TURNO)
// and the night shift (TURNO.NOTURNO = 'S') only when the hours tell none.
KELMHOST_EXPORT QString TurnoDoMomento(const QDate& data, const QTime& hora, const QString& funcionario);

// The same rule for many moments: the hours of every weekday and the night shift read on first use, each
// employee's shift once.
class KELMHOST_EXPORT QuadroTurnos {
public:
    QString Turno(const QDate& data, const QTime& hora, const QString& funcionario);

private:
    void Carrega();
    bool m_carregado = false;
    QHash<int, QList<HorarioTurno>> m_dias;
    QString m_noturno;
    QHash<QString, QString> m_funcionarios;
};
