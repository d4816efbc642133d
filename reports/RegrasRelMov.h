#pragma once
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The production report's passes over the steps read: which completions fall in the window asked, how long
// each step took, how long each machine stood still between lots, and the weight per shift and day charted.

// A date and a time-of-day text ("HH:MM" or "HH:MM:SS") as one moment; none without a date. A date
// without a readable time is its midnight. Moments are wall-clock times taken as UTC: a change of daylight
// saving never stretches a step, and they compare without time-zone work.
std::optional<QDateTime> Momento(const QDate& data, const QString& hora);

// The completion window. A side without a date is open; a date without an hour takes its whole day
// (inclusive), a typed hour is an exclusive bound, so a step ended exactly on it is left out.
struct JanelaConclusao {
    std::optional<QDateTime> de, ate;
    bool deExclusivo = false, ateExclusivo = false;
    bool Contem(const std::optional<QDateTime>& fim) const;
};
JanelaConclusao MontaJanela(const QDate& de, const QString& horaDe, const QDate& ate, const QString& horaAte);

// End moment less start moment, "HH:MM:SS" (hours past 24 over several days), and its parts; empty text
// and zeros when a moment is missing or the end comes before the start.
struct TempoProcesso {
    QString texto;
    int hora = 0, minuto = 0, segundo = 0;
};
TempoProcesso TempoDeProcesso(const QDate& dataIni, const QString& horaIni, const QDate& dataFim,
                              const QString& horaFim);

// A step on a machine, for the idle time.
struct PassoMaquina {
    QString maquina, fal;
    std::optional<QDateTime> inicio, fim;
};
// Each step's idle time before it ("HH:MM:SS"), in the order given; empty for a machine's first step, a step
// of the same FAL as the one before it, and a step without moments. Steps are taken per machine by start,
// then end; the machine is busy until the latest end seen, so overlapping steps (lots dyed together) give
// 00:00:00.
QStringList TemposParados(const QList<PassoMaquina>& passos);

// Between two times of day ("HH:MM[:SS]"): end less start, through midnight when the start is later
// ((23:59 - start) + (00:01 + end)), as "HH:MM:SS"; empty when either is not a time. Offered to layouts.
QString TempoEntre(const QString& inicio, const QString& fim);

// "Domingo" ... "Sabado" for Sunday ... Saturday.
QString DiaSemana(const QDate& data);

// The chart's rows: weight per shift and day, and per day under the shift "Total".
struct PesoTurnoDia {
    QString turno;
    QDate data;
    double peso = 0;
    QString dia; // "Seg-07/12": the weekday's first three letters and the day and month
};
struct ProducaoTurno {
    QString turno;
    QDate data;
    double peso = 0;
};
// Rows ordered by shift, then day ("Total" sorted as a shift); steps without a completion date are left out.
QList<PesoTurnoDia> DobraGrafico(const QList<ProducaoTurno>& linhas);
