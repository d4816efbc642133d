#pragma once
#include "RegrasFal.h"
#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTime>

// The rules of recording a lot sheet's process steps, apart from the screen.

// What the grid shows and the table stores.
QString TextoData(const QDate& data);      // 31/12/2026
QString TextoHora(const QTime& hora);      // 07:30
QString HoraGravada(const QTime& hora);    // 07:30:00, as PROCESSO_TIN keeps it
QString HoraDaTabela(const QString& hora); // 07:30:00 -> 07:30

// The letters a step may be recorded with: those of EtapaConcluida (RegrasFal) and "N", open.
bool ConcluidoValido(const QString& concluido);

// The day a step counts for: the one typed, or today when there is none (a blank or zero date, 30/12/1899).
QDate DataProducao(const QDate& data, const QDate& hoje);

// One step as the save checks it.
struct LinhaApontamento {
    QString concluido;
    QString funcionario, maquina, turno;
    QString dataInicio, horaInicio, dataFim, horaFim;
};
// The codes a save found in their tables, read once for all the rows.
struct CadastrosApontamento {
    QSet<QString> funcionarios, maquinas, turnos;
};
// Every check the step fails, in the order a user fixes them; empty when it may be written. A concluded
// step needs an employee, machine and shift that exist, and its start and end, possible and in order; an
// open one no end.
QStringList ConfereLinha(const LinhaApontamento& linha, const CadastrosApontamento& cadastros);

// A step of the item as the order check sees it.
struct EtapaOrdem {
    int ordem = 0;
    bool concluida = false;
};
// Whether a step of this order may be recorded now: no step before it may still be open. A step set back
// to open passes when it is the last one.
bool EtapaLiberada(const QList<EtapaOrdem>& etapas, int ordem, bool pendente, bool ultima);

// The audit line of a recorded step: what the step became when it is recorded now, or what changed when it
// was recorded before and its end, start or shift was altered; none otherwise. Whether it was recorded
// before is what the table holds at the save, not what the screen loaded: another workstation may have
// recorded or reopened it since.
enum class RegistroEtapa { Nenhum, Movimentacao, Alteracao };
struct MudancaEtapa {
    QString pendenteGravado; // PENDENTE as stored: 'S', blank or null before the step is recorded
    bool dataFimMudou = false, horaInicioMudou = false, horaFimMudou = false, turnoMudou = false;
};
RegistroEtapa RegistroDaEtapa(const MudancaEtapa& mudanca);
QString TextoRegistroEtapa(RegistroEtapa registro, const QString& fal, const QString& fase,
                           const QString& produto, const LinhaApontamento& linha);
