#pragma once
#include "RegrasFal.h"
#include "SaldoNota.h"
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class TZoDatabase;

// What a lot sheet's checks read from the database; the rules they feed are in RegrasFal.

// The colour's price for a payment term (PrecoTabela); 0 when there is none. On `conexao`, the host
// connection when null (so for every reader here).
double RetornaPreco(const QString& regiao, const QString& cor, const QString& variante, const QString& prazo,
                    TZoDatabase* conexao = nullptr);

// Empty when the colour has a released price for the term, else the message that stops the save.
QString VerificaPreco(const QString& regiao, const QString& cor, const QString& variante,
                      const QString& prazo, TZoDatabase* conexao = nullptr);

// The last change of the colour's price in the region (TABPRECO.DATA); none when no row of it is dated. On
// `conexao`, the host connection when null.
QDate UltimaAlteracaoPreco(const QString& regiao, const QString& cor, const QString& variante,
                           TZoDatabase* conexao = nullptr);

// The phases of each route named, in route order, with their descriptions; routes without phases are left
// out. On `conexao`, the host connection when null.
QHash<QString, QList<PassoRoteiro>> LeRoteiros(const QSet<QString>& fluxos, TZoDatabase* conexao = nullptr);

// PassoIniciado as an SQL condition on the PROCESSO_TIN row of `alias`, for statements that ask it of many.
QString CondicaoPassoIniciado(const QString& alias);

// The open value of the customer's sheets that count against its credit (normal and service-only, not a
// reprocess; items not yet invoiced), each priced at its own region, colour, variant and term; the sheets
// `excluidas` (the ones being saved) are left out. A term beyond the table's columns is priced at its longest
// (ColunaPrazo); price rows with no product code are the colour's own.
double ValorAbertoFals(const QString& cliente, const QStringList& excluidas, TZoDatabase* conexao = nullptr);

// The sheet a user typed: its number as stored, or zero-filled to six digits as users leave them out ("5" is
// 000005); empty when neither exists.
QString FalExistente(const QString& digitado);

// The sheets among `fals` that quality blocked (a verdict with APROVADO 'N'): of any fabric, or only of
// `produto` when one is named. One statement however many sheets.
QSet<QString> FalsBloqueadas(const QStringList& fals, const QString& produto = {},
                             TZoDatabase* conexao = nullptr);

// What the sheet's situation box shows: the phase of its first open step, "CONCLUIDO" when none is open,
// "PROGRAMACAO" when it has no steps.
QString SituacaoFal(const QString& numero, TZoDatabase* conexao = nullptr);

// The first of `itens` that no invoice has, if any: a sheet's row holds weight only of an item that exists.
std::optional<ItemNota> ItemNotaInexistente(const QList<ItemNota>& itens, TZoDatabase* conexao = nullptr);
