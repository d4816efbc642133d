#pragma once
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

class TZoDatabase;

// The one writer of what expedition does to a lot sheet's steps: shipping and releasing close them, taking
// back reopens the last one. Each call joins the caller's unit of work on the connection given; ExpedeFals
// holds a unit of its own, which joins one the caller holds.

// Who closes a step, when and in which shift, and the remark it leaves.
struct MarcaPasso {
    QString funcionario, turno, obs;
    QDate data;
    QTime hora;
};
// The user's employee and the shift of this moment (TurnoDoMomento), with the remark.
MarcaPasso MarcaDoMomento(const QString& obs);

// Closes each sheet's open steps (CONCLUIDO 'N'): those of `fase` when one is given, else those started
// (PENDENTE 'S'). A start recorded on the floor is kept. The sheets that had no such step left (another
// workstation closed it meanwhile), in the order given.
QStringList FechaPassos(TZoDatabase& conexao, const QStringList& fals, const QString& fase,
                        const MarcaPasso& marca);

// Where sheets are shipped from: the remark their steps keep and the audit line's title and text.
enum class PostoExpedicao { Mesa, Coletor };

// What a shipment left as it was: the sheets quality blocked (FalsBloqueadas) and those with no step left
// to close (FechaPassos), each in the order given.
struct FalsRetidas {
    QStringList bloqueadas, semPasso;
};

// Ships the sheets in one unit of work on `conexao`, committed: the quality blocked are left, the open steps
// of the others closed (of `fase` when one is given, else those started) with the user's mark of the moment,
// and one audit line when any was shipped.
FalsRetidas ExpedeFals(TZoDatabase& conexao, const QStringList& fals, const QString& fase,
                       PostoExpedicao posto);
// The messages of what a shipment left, one line each kind: empty when it left nothing.
QString AvisoBloqueadas(const QStringList& fals);
QString AvisoSemPasso(const QStringList& fals);

// Opens every step of the sheets that is not done (never touched ones too).
void AbrePassos(TZoDatabase& conexao, const QStringList& fals);

// Reopens the sheet's last step when it is done and none of the sheet's items is billed. False when it was
// left as it was.
bool EstornaUltimoPasso(TZoDatabase& conexao, const QString& fal);
