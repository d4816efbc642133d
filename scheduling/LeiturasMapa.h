#pragma once
#include "RegrasMapa.h"
#include "TZoQuery.h"
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What the production map reads and writes: its FALs and machines, the FALs still without a position, and
// a FAL's machine and position (FAL.MAQUINA, FAL.ORDEM), in the caller's unit of work.

// A FAL of the map with what its list shows.
struct LinhaMapa {
    FalMapa fal;
    QString partida, variante, descVariante, descCor, descMaquina, cliente, descCliente, programacao;
    double peso = 0;
};

// The open FALs (no item returned or closed) with a position whose next pending step is the phase, on
// machines of the kind ("0": any), by machine, position and number; one statement.
QList<LinhaMapa> LeFalsDoMapa(const QString& fase, const QString& tipo);

struct MaquinaMapa {
    QString codigo, descricao;
};
// The machines that perform the phase, of the kind, and those holding the FALs given: a row each, by code.
QList<MaquinaMapa> LeMaquinasDoMapa(const QString& fase, const QString& tipo, const QStringList& comFals);

// A machine's description; none when no machine has the code.
std::optional<QString> DescricaoMaquina(const QString& codigo);

// The filters of "Não Programadas"; empty lists do not filter.
struct FiltroSemOrdem {
    QDate de, ate;
    QStringList fases, fals, clientes;
    QString tipo;
};
// Open FALs without a position and their next pending step, as the grid shows them ("SEL" unmarked).
QString SqlFalsSemOrdem(const FiltroSemOrdem& filtro);

// The placing of FALs at machine positions, each statement prepared once for a whole save.
class ColocacaoFal {
public:
    ColocacaoFal();
    // What a save that places `fals` at `maquinas` works on: the open FALs queued at those machines (at a
    // position above 0) and the FALs placed, wherever they are; one row per FAL, with its current phase.
    QList<FalNaFila> Filas(const QStringList& maquinas, const QStringList& fals);
    // The machine's highest position among its open FALs; 0 when none.
    int MaiorOrdem(const QString& maquina);
    // Room at the position: the machine's FALs from it on go one down.
    void AbreEspaco(const QString& maquina, int ordem, const QString& fal);
    void Grava(const QString& fal, const QString& maquina, int ordem);

private:
    TZoQuery m_daMaquina, m_daFal, m_maior, m_desloca, m_grava;
};
