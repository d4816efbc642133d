#pragma once
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QStringList>
#include <functional>

class ScreenDriver;
class ScriptedMessageService;
class TZoDatabase;
class QTextStream;

// One workstation of a working day: a user of one role working the screens through the driver, with think
// times between operations, for as long as the day lasts.

// What every station of a day shares, chosen before the day starts: the customer whose invoices and lots
// the stations fight over, a released and priced colour, a route, a machine without limits, fabrics.
struct DiaDeTrabalho {
    QString cliente, cor, variante, roteiro, maquina;
    QStringList tecidos;
};

// What an operation shows the user, as the day counts it: a lock met (retried once, as a user would), a
// refusal of the screen, a failure (an error box, or the driver found the screen not as expected).
enum class Desfecho { Feito, Conflito, Recusa, Falha };
Desfecho DesfechoDasMensagens(const QStringList& erros, const QStringList& avisos,
                              const QStringList& esperadas);

// What an operation may use. Journal lines are kept only if the operation succeeds.
struct Bancada {
    ScreenDriver& driver;
    ScriptedMessageService& mensagens;
    TZoDatabase& db;
    const DiaDeTrabalho& dia;
    QRandomGenerator rng;
    int estacao = 0;
    int contador = 0;                         // the station's own numbers
    QStringList esperadas{};                  // messages that mean the operation went through
    QList<std::function<QString()>> diario{}; // what this operation saved, read once it succeeded
    QHash<QString, QStringList> meus{};       // the station's own records, by kind
    int Sorteia(int de, int ate) { return int(rng.bounded(de, ate + 1)); }
    QString Escolhe(const QStringList& de) { return de.value(int(rng.bounded(int(de.size())))); }
    void Anota(const QString& linha) {
        diario << [linha] { return linha; };
    }
    void Anota(std::function<QString()> linha) { diario << std::move(linha); }
    // From here on the operation is what the user waits for: what came before was typing and choosing,
    // each key of which the bench times on its own.
    void Aguarda();
    QElapsedTimer relogio{};
    quint64 instrucoesAntes = 0;
};

struct Operacao {
    QString nome;
    int peso = 1;
    std::function<void(Bancada&)> roda;
};

// The operations of a role: nota, programacao, fal, laboratorio, chao, gestao, estamparia.
QList<Operacao> OperacoesDoPapel(const QString& papel);

// Runs the station until `fim`: one line per attempt to `medidas` (operation;ms;statements;outcome;text)
// and the journal of what it saved to `diario`. The think time between operations is drawn between
// `pensaMs` / 2 and 3 * `pensaMs` / 2.
void RodaEstacao(Bancada& bancada, const QList<Operacao>& operacoes, QDeadlineTimer fim, int pensaMs,
                 QTextStream& medidas, QTextStream& diario);
