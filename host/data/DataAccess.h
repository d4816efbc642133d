#pragma once
#include "HostExport.h"
#include <QString>
#include <QVariant>

class QObject;
class TZoDatabase;

// The host connection, open; throws EDatabaseError when there is none.
KELMHOST_EXPORT TZoDatabase* ConexaoHost();

// Physical table of a logical name for the current company.
KELMHOST_EXPORT QString DBLocal(const QString& table, bool company = true);
// Resolves every {TABLE} placeholder of a statement with DBLocal.
KELMHOST_EXPORT QString DBLocal_SQL(const QString& sql);
// Tables kept per company carry the company suffix ("TABPRE_SERV" -> "TABPRE_SERV_001").
KELMHOST_EXPORT void RegistraTabelaEmpresa(const QString& table);

// True when a row of the table matches. `literals` are SQL literals (Aspas, PermanecePonto) separated by ';',
// one per field of `fields` (separated by ',' or ';').
KELMHOST_EXPORT bool Existe(const QString& table, const QString& fields, const QString& literals);
// The same with bound values.
KELMHOST_EXPORT bool Existe(const QString& table, const QString& fields, const QVariantList& values);

// One column of the first matching row as text, empty when none.
KELMHOST_EXPORT QString Busca_Valor(const QString& table, const QString& keyFields,
                                    const QString& resultField, const QVariantList& keyValues);

// Next free code of table.field, zero-padded to width. Safe between users: the counter in CODIGOS is
// advanced by compare-and-set on a connection of its own, and codes already used in the table are skipped.
KELMHOST_EXPORT QString Proximo(const QString& table, const QString& field, int width,
                                bool checkTable = true);

// True when the database has that column (tables of later versions may not be there yet).
KELMHOST_EXPORT bool ExisteColuna(const QString& table, const QString& column);

KELMHOST_EXPORT QString BuscaParametro(const QString& module, int number);

enum TOperacaoLog { opInclusao = 0, opAlteracao = 1, opExclusao = 2, opOutros = 3 };
// An audit row in the current unit of work.
KELMHOST_EXPORT void GeraLog(const QString& title, const QString& text, int kind, const QString& key,
                             QObject* screen = nullptr);

// Splits "a;'b;c';d" on separators outside quoted literals.
KELMHOST_EXPORT QStringList SplitLiterals(const QString& text);
