#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class ScreenDriver;
class ScriptedMessageService;
class TZoDatabase;

// How the bench measures an operation and reports it next to the engine's own time for the same rows.

constexpr int kRodadas = 7;
constexpr double kInterativoMs = 100; // a key, a look-up, a save the user waits on
constexpr double kAbreTelaMs = 300;   // a screen opening on a record
// A month of a management report read, shown and printed to PDF and text while the plant works; the bench
// holds each report to its statements' own time.
constexpr double kRelatorioMesMs = 10000;

// Median milliseconds of `passo` over the runs, each prepared by `antes` (not timed), and the statements it
// sent per run on any connection (a generation works on a second one).
struct Medida {
    double ms = 0;
    double instrucoes = 0;
};
Medida Mede(const std::function<void()>& antes, const std::function<void()>& passo, int rodadas = kRodadas);
Medida Mede(const std::function<void()>& passo, int rodadas = kRodadas);
// A report screen's Confirmar and Imprimir, three runs: a report is slow enough that three tell.
Medida MedeRelatorio(ScreenDriver& driver);

// The floor: the statements run straight through the driver, every row fetched; writes are rolled back.
double MotorMs(TZoDatabase& db, const QStringList& instrucoes, bool escrita = false, int rodadas = kRodadas);

// A report's floor: the rows fetched by the engine straight into a plain data set, then written as a PDF by
// the report engine with its default columns; what a screen adds above this is its own cost.
double RelatorioMotorMs(TZoDatabase& db, const QString& sql, int rodadas = 3);

// Straight statements for fixtures and choices of the bench: a write in the connection's unit of work; every
// row as its columns trimmed and joined by '|'; the first row's columns; the first row's first column.
void Executa(TZoDatabase& db, const QString& sql);
QStringList Linhas(TZoDatabase& db, const QString& sql);
QStringList PrimeiraLinha(TZoDatabase& db, const QString& sql);
QString Escalar(TZoDatabase& db, const QString& sql);

// The messages an operation showed, printed once, then dropped: an operation that went through shows none.
void MostraMensagens(ScriptedMessageService& messages, const char* onde);

// The bench's table: one row per operation, printed as it is measured and, with --csv, again at the end as
// CSV for tools.
class TabelaBench {
public:
    static TabelaBench& Global();
    // pisoMs 0: no statement does the same work.
    void Linha(const QString& operacao, const Medida& nossa, double pisoMs, double orcamentoMs);
    void ImprimeCsv() const;
    // How many operations meet their budget, and which do not.
    void ImprimeResumo() const;

private:
    struct Registro {
        QString operacao;
        Medida nossa;
        double piso, orcamento;
    };
    QList<Registro> m_linhas;
};
