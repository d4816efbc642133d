#include "Turno.h"
#include "DataAccess.h"
#include "TZoQuery.h"
#include <QSet>

namespace {
// The shifts whose rows hold the moment; a row without an exit holds none.
QSet<QString> turnosQueContem(const QList<HorarioTurno>& horarios, const QTime& hora, bool cruzaMeiaNoite) {
    QSet<QString> turnos;
    for (const HorarioTurno& h : horarios) {
        if (!h.entrada.isValid() || !h.saida.isValid() || h.turno.isEmpty())
            continue;
        const bool cruza = h.entrada > h.saida;
        if (cruza != cruzaMeiaNoite)
            continue;
        const bool contem =
            cruza ? (hora >= h.entrada || hora <= h.saida) : (h.entrada <= hora && hora <= h.saida);
        if (contem)
            turnos.insert(h.turno);
    }
    return turnos;
}

QList<HorarioTurno> horariosDe(TZoQuery& q) {
    QList<HorarioTurno> horarios;
    for (q.First(); !q.Eof(); q.Next())
        horarios.append({q.FieldByName(QStringLiteral("TURNO")).AsString().trimmed(),
                         q.FieldByName(QStringLiteral("ENTRADA")).Value().toTime(),
                         q.FieldByName(QStringLiteral("SAIDA")).Value().toTime()});
    return horarios;
}

QString turnoDoFuncionario(const QString& funcionario) {
    if (funcionario.trimmed().isEmpty())
        return {};
    return Busca_Valor(QStringLiteral("PESSOAL"), QStringLiteral("CODIGO"), QStringLiteral("TURNO"),
                       QVariantList{funcionario.trimmed()})
        .trimmed();
}

QString turnoNoturno() {
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT FIRST 1 TURNO FROM {TURNO} WHERE NOTURNO = 'S' ORDER BY TURNO"));
    q.Open();
    return q.IsEmpty() ? QString() : q.Fields(0).AsString().trimmed();
}
} // namespace

int DiaTurno(const QDate& data) {
    return data.isValid() ? data.dayOfWeek() % 7 + 1 : 0;
}

// Earlier the midnight rows were matched from the previous day's entry to the next day's exit, a window
// that held every hour of the day: any hour no shift covered went to the night shift. A moment belongs to
// a crossing row only between its entry and midnight or between midnight and its exit.
QString TurnoDoHorario(const QList<HorarioTurno>& horarios, const QTime& hora) {
    if (!hora.isValid())
        return {};
    QSet<QString> turnos = turnosQueContem(horarios, hora, false);
    if (turnos.isEmpty())
        turnos = turnosQueContem(horarios, hora, true);
    return turnos.size() == 1 ? *turnos.cbegin() : QString();
}

QString EscolheTurno(const QList<HorarioTurno>& horarios, const QTime& hora, const QString& turnoFuncionario,
                     const QString& turnoNoturno) {
    if (const QString turno = TurnoDoHorario(horarios, hora); !turno.isEmpty())
        return turno;
    return turnoFuncionario.trimmed().isEmpty() ? turnoNoturno.trimmed() : turnoFuncionario.trimmed();
}

QString TurnoDoMomento(const QDate& data, const QTime& hora, const QString& funcionario) {
    QList<HorarioTurno> horarios;
    if (data.isValid() && hora.isValid()) {
        TZoQuery q;
        q.SQL << DBLocal_SQL(
            QStringLiteral("SELECT TURNO, ENTRADA, SAIDA FROM {TURNO_HORARIOS} WHERE DIA = :DIA"));
        q.BindValue(QStringLiteral("DIA"), DiaTurno(data));
        q.Open();
        horarios = horariosDe(q);
    }
    if (const QString turno = TurnoDoHorario(horarios, hora); !turno.isEmpty())
        return turno;
    const QString proprio = turnoDoFuncionario(funcionario);
    return proprio.isEmpty() ? turnoNoturno() : proprio;
}

void QuadroTurnos::Carrega() {
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT DIA, TURNO, ENTRADA, SAIDA FROM {TURNO_HORARIOS}"));
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        m_dias[q.FieldByName(QStringLiteral("DIA")).AsInteger()].append(
            {q.FieldByName(QStringLiteral("TURNO")).AsString().trimmed(),
             q.FieldByName(QStringLiteral("ENTRADA")).Value().toTime(),
             q.FieldByName(QStringLiteral("SAIDA")).Value().toTime()});
    m_noturno = turnoNoturno();
    m_carregado = true;
}

QString QuadroTurnos::Turno(const QDate& data, const QTime& hora, const QString& funcionario) {
    if (!m_carregado)
        Carrega();
    if (const QString turno = TurnoDoHorario(m_dias.value(DiaTurno(data)), hora); !turno.isEmpty())
        return turno;
    const QString codigo = funcionario.trimmed();
    auto proprio = m_funcionarios.find(codigo);
    if (proprio == m_funcionarios.end())
        proprio = m_funcionarios.insert(codigo, turnoDoFuncionario(codigo));
    return proprio->isEmpty() ? m_noturno : *proprio;
}
