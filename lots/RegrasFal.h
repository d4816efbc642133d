#pragma once
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// Rules of a lot sheet (FAL) shared by its registry and by its generation from the programme.

enum TipoFal { falNormal = 1, falRetingimento, falAcertoCor, falAcabamento, falSoServico, falReprocExterno };

// The word the audit log spells a kind with ("NORMAL", ..., "REPROC. EXTERNO"); empty for no kind.
QString PalavraTipoFal(int tipo);

// Empty when the sheet's total weight fits the machine, else the message; a limit of 0 is none and the
// limits themselves are accepted, to the gram.
QString ForaLimiteMaquina(double total, double pesoMin, double pesoMax);

// Empty when the colour's price changed within `dias` days of `hoje` (TIN 240; 0 or less checks nothing),
// else the message. A price never dated is not known to be current: it is refused as out of date.
QString RecusaIdadePreco(const QDate& ultimaAlteracao, int dias, const QDate& hoje);

// The weight an item of the sheet holds of its invoice item: its own weight on a Normal, Service-only or
// External reprocess sheet (generation takes it for every item of the sheets it makes, service-only ones
// too, and a later save keeps what they hold), nothing on other kinds. An item of a reprocess from the very
// invoice item the reprocessed sheet already holds takes nothing again.
double PesoTomadoNota(int tipo, double peso, bool itemDoReprocessado);

// The weight `pecas` of a row's `pecasLinha` pieces take of its `peso` when a sheet is split: all of it when
// every piece goes (n × (peso ÷ pieces) would leave a residue behind), none for none, else their share to
// the gram.
double PesoPecasMovidas(int pecas, int pecasLinha, double peso);

// The pieces typed in the split's box: a whole number, anything else is 0.
int PecasDigitadas(const QString& texto);

// A step's CONCLUIDO: "S" concluded and "R" concluded for reprocessing both end the step; "N" leaves it open.
bool EtapaConcluida(const QString& concluido);

// A step has started once it was recorded: concluded, or its start (date or hour) written down. A step never
// touched (CONCLUIDO null) or still pending without a start has not; its steps may still be laid out again.
bool PassoIniciado(const QString& concluido, const QDate& dataInicio, const QString& horaInicio);

// A step of a route and a step laid out for a sheet.
struct PassoRoteiro {
    QString fase;
    QString descricao;
    int ordem = 0;
};
struct ItemPasso {
    QString codigo; // fabric
    int ordIt = 0;
    QString fluxo; // route
};
struct PassoFal {
    QString codigo;
    int ordIt = 0;
    QString fase;
    QString descricao;
    int ordem = 0;
};

// One step per fabric and phase of its route, in route order (fabrics in the order of the items); a fabric
// on several items gets its steps once, from its first item; an item without a route makes no step. Pairs
// of (fabric, phase) in `existentes` are not laid out again.
QList<PassoFal> LayoutPassos(const QList<ItemPasso>& itens,
                             const QHash<QString, QList<PassoRoteiro>>& roteiros,
                             const QSet<QString>& existentes = {});

// The key of a (fabric, phase) pair in `existentes`.
QString ChavePasso(const QString& codigo, const QString& fase);
