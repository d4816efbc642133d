#pragma once
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

// The dye-house's indicators over plain rows: what a lot is, when it finished, whether it came out right the
// first time, how long it stayed, how busy the machines were. No database here; docs/indicators.md states
// each rule.

// A lot sheet as the indicators read it.
struct FolhaIndicador {
    QString numero{};
    QString reprocessa{}; // the sheet it reprocesses (FAL.NUM_REPROC), empty for none
    QString cliente{}, cor{}, receita{}, maquina{}, operador{};
    // The invoice pieces it was made of ("nota|tecido|lote" sorted, joined): a split or a copy shares them.
    QString tecido{};
    double peso = 0;
    QDate entrada{};           // the entry invoice's date (the earliest of its items')
    QDate inicio{};            // its first step's start
    QDate fim{};               // its last production step's end; invalid while a step is open
    QDate expedicao{};         // the day it was shipped; invalid while not shipped
    QDate prometida{};         // the delivery date promised on the sheet
    bool concluida = false;    // every step concluded ("S" or "R")
    bool bloqueada = false;    // quality blocked one of its items at some inspection
    bool reprocessada = false; // some sheet reprocesses it, read or not
    QString motivo{};          // the quality remark, or the phase the reprocess went back to
};

// An original lot: its first sheets (one, or several split or copied from it) and every reprocess of them,
// however deep, as one.
struct LoteIndicador {
    QString numero{};     // the first sheet's number
    QStringList folhas{}; // every sheet of the lot, the first ones first
    QString cliente{}, cor{}, receita{}, maquina{}, operador{};
    double peso = 0; // the fabric of its first sheets; a reprocess carries the same fabric again
    QDate entrada{}, inicio{}, fim{}, expedicao{}, prometida{};
    bool concluido = false; // every sheet concluded
    bool bloqueado = false;
    int reprocessos = 0; // sheets made to reprocess it
    QStringList motivos{};
    bool PrimeiraVezCerta() const { return concluido && reprocessos == 0 && !bloqueado; }
    // Finished inside [de, ate]: started before the period or not.
    bool TerminouEm(const QDate& de, const QDate& ate) const {
        return concluido && fim.isValid() && fim >= de && fim <= ate;
    }
};

// Sheets into lots, linear: a reprocess chain followed to its first sheet (a loop ends it there; a chain
// whose first sheet was not read is the lot of the number it reprocesses, reprocessed), then first sheets of
// one customer, colour, recipe and invoice pieces joined. Lots in the order of their first sheet's number.
QList<LoteIndicador> AgrupaLotes(const QList<FolhaIndicador>& folhas);

enum class Agrupamento { Mes, Semana, Cliente, Cor, Receita, Maquina, Operador };
// "Mês", "Semana", ... as the screen offers them.
QStringList NomesAgrupamento();
// The group a lot falls in: month "2026-03" and ISO week "2026-S09" of its end.
QString ChaveGrupo(const LoteIndicador& lote, Agrupamento agrupamento);

// A rate over a population; no population gives no value, never 0 %.
std::optional<double> Taxa(double parte, double todo);
// A rate or any figure without a value as shown: "—".
QString TextoIndicador(const std::optional<double>& valor, int casas = 1);
// The rows a chart keeps of groups of these sizes: the n biggest, ties to the first, in their own order.
QList<int> MaioresGrupos(const QList<double>& tamanhos, int n);

// One group of a figure over the lots finished in the period: how many, how many of them counted (right the
// first time, reprocessed), and the lots behind it.
struct LinhaIndicador {
    QString grupo{};
    int lotes = 0, contados = 0;
    double peso = 0, pesoContado = 0;
    QStringList numeros{}; // the lots counted, for the list behind the figure
    std::optional<double> TaxaLotes() const { return Taxa(contados, lotes); }
    std::optional<double> TaxaPeso() const { return Taxa(pesoContado, peso); }
};
enum class Criterio { PrimeiraVezCerta, Reprocessado };
// The groups of the lots finished in [de, ate], by key; the groups in `todos` appear even without lots (a
// month of the period, a machine), with no rate.
QList<LinhaIndicador> Indicador(const QList<LoteIndicador>& lotes, const QDate& de, const QDate& ate,
                                Agrupamento agrupamento, Criterio criterio, const QStringList& todos = {});
// Every month ("yyyy-MM") or ISO week of the period.
QStringList GruposDoPeriodo(const QDate& de, const QDate& ate, Agrupamento agrupamento);

// The reasons of the reprocessed lots finished in the period, most frequent first: reason, lots.
struct MotivoReprocesso {
    QString motivo{};
    int lotes = 0;
    double peso = 0;
};
QList<MotivoReprocesso> MotivosReprocesso(const QList<LoteIndicador>& lotes, const QDate& de,
                                          const QDate& ate);
// The `n` groups (colours or recipes) of most reprocessed weight, heaviest first.
QList<LinhaIndicador> MaisReprocessados(const QList<LoteIndicador>& lotes, const QDate& de, const QDate& ate,
                                        Agrupamento agrupamento, int n = 10);

// Machine use. A step on a machine from start to end; a step without an end is not counted.
struct PassoIndicador {
    QString maquina{}, fal{};
    QDateTime inicio{}, fim{};
};
// A shift's hours on a weekday (1 = Sunday ... 7 = Saturday); entrada > saida crosses midnight.
struct HorasDoTurno {
    int dia = 0;
    QTime entrada{}, saida{};
};
struct UsoMaquina {
    QString maquina{};
    QDate dia{};
    int processando = 0; // minutes under some lot, overlaps once
    int noTurno = 0;     // the same within the shifts' hours
    int disponivel = 0;  // the shifts' minutes of that day, overlaps once
    QStringList fals{};  // the lots on it that day
    int Ocioso() const { return disponivel - noTurno; }
    std::optional<double> Uso() const { return Taxa(noTurno, disponivel); }
};
// One row per machine and day of [de, ate] with any step or any shift hour, by machine then day; a step or a
// night shift crossing midnight split between its days.
QList<UsoMaquina> UsoDasMaquinas(const QList<PassoIndicador>& passos, const QList<HorasDoTurno>& turnos,
                                 const QDate& de, const QDate& ate, const QStringList& maquinas = {});
// The days of a machine summed.
QList<UsoMaquina> UsoPorMaquina(const QList<UsoMaquina>& dias);

// Lead time: days from the entry invoice to the start, the end and the shipment, by customer.
struct PrazoCliente {
    QString cliente{};
    int lotes = 0;
    std::optional<double> medianaInicio{}, p90Inicio{}, medianaFim{}, p90Fim{}, medianaExpedicao{},
        p90Expedicao{};
    QStringList numeros{};
};
// The median and the nearest-rank percentile (the value at rank ceil(p·n) of the sorted values); none of
// nothing.
std::optional<double> Percentil(QList<double> valores, double p);
QList<PrazoCliente> PrazoPorCliente(const QList<LoteIndicador>& lotes, const QDate& de, const QDate& ate);
// The lots finished in the period shipped after the promised date, or still not shipped at `ate` with the
// promised date before it; by how many days, the latest first.
struct LoteAtrasado {
    QString numero{}, cliente{};
    QDate prometida{}, expedicao{};
    int dias = 0;
};
QList<LoteAtrasado> LotesAtrasados(const QList<LoteIndicador>& lotes, const QDate& de, const QDate& ate);
