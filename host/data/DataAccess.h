#pragma once
#include "HostExport.h"
#include <QString>
#include <QVariant>
#include <functional>

class QObject;
class TDataSet;
class TZoDatabase;

// The host connection, open; throws EDatabaseError when there is none.
KELMHOST_EXPORT TZoDatabase* ConexaoHost();

// Physical table of a logical name for the current company.
KELMHOST_EXPORT QString DBLocal(const QString& table, bool company = true);
// Resolves every {TABLE} placeholder of a statement with DBLocal; a quantifier such as {6} in a SIMILAR TO
// pattern is not a table.
KELMHOST_EXPORT QString DBLocal_SQL(const QString& sql);
// Tables kept per company carry the company suffix ("TABPRE_SERV" -> "TABPRE_SERV_001").
KELMHOST_EXPORT void RegistraTabelaEmpresa(const QString& table);
// A statement with {TABLE} placeholders over every company of the group (EMPRESA): when `table` is kept per
// company, the statement once per company, each with that company's tables, joined by UNION ALL (a row
// of two companies counts twice, as it happened twice); otherwise once, for the current company, since
// the same rows would be read again for every company.
KELMHOST_EXPORT QString UnionTodasEmpresas(const QString& sql, const QString& table);

// True when a row of the table matches. `literals` are SQL literals (Aspas, PermanecePonto) separated by ';',
// one per field of `fields` (separated by ',' or ';').
KELMHOST_EXPORT bool Existe(const QString& table, const QString& fields, const QString& literals);
// The same with bound values, on the connection given (the host's when null).
KELMHOST_EXPORT bool Existe(const QString& table, const QString& fields, const QVariantList& values,
                            TZoDatabase* conexao = nullptr);

// One column of the first matching row as text, empty when none.
KELMHOST_EXPORT QString Busca_Valor(const QString& table, const QString& keyFields,
                                    const QString& resultField, const QVariantList& keyValues);

// Next free code of table.field, zero-padded to width. Safe between users: the counter in CODIGOS is
// advanced by compare-and-set on a connection of its own, and codes already used in the table are skipped.
KELMHOST_EXPORT QString Proximo(const QString& table, const QString& field, int width,
                                bool checkTable = true);

// `count` codes of a series under a prefix (a FAL's stock lots: 001234001, 001234002...), each number at
// least `digits` wide, from the series' own counter: never handed out twice, numbers in use passed over.
KELMHOST_EXPORT QStringList ProximosDaSerie(const QString& table, const QString& field, const QString& prefix,
                                            int count, int digits);

// Locks `key` of `table` until the current unit of work ends, against every other unit that locks it: a save
// that replaces a record's detail rows wholesale takes it before it compares what is stored with what its
// screen loaded, so that the comparison and the writes are one step between workstations, even for rows not
// stored yet. The wait is the bounded one of every write. A key that another workstation saved since this
// unit began fails as a conflict; any failure rolls the unit back.
KELMHOST_EXPORT void TravaChave(const QString& table, const QString& key);

// Whether the detail rows of `key` are still those the screen loaded, answered inside the current unit of
// work with the key locked (TravaChave): true lets the caller replace them. `stored` reads them as `loaded`
// was made (ImpressaoLinhas). When the lock fails the unit is rolled back, and the answer is false if the
// rows have changed meanwhile; a failure that is not that (a lock held too long) is thrown.
KELMHOST_EXPORT bool GravadosComoCarregados(const QString& table, const QString& key,
                                            const QStringList& loaded,
                                            const std::function<QStringList()>& stored);

// Each row of the data set as one text of the given fields' values, in the data set's order: what a
// wholesale save compares between the rows it loaded and the rows stored when it writes.
KELMHOST_EXPORT QStringList ImpressaoLinhas(const TDataSet& rows, const QStringList& fields);

// Characters a text column holds; 0 for another kind of column or one the database lacks. A bound text longer
// than its column fails the statement ("string right truncation"), even in a comparison.
KELMHOST_EXPORT int LarguraColuna(const QString& table, const QString& column);

// True when the database has that column (tables of later versions may not be there yet).
KELMHOST_EXPORT bool ExisteColuna(const QString& table, const QString& column);

KELMHOST_EXPORT QString BuscaParametro(const QString& module, int number);

enum TOperacaoLog { opInclusao = 0, opAlteracao = 1, opExclusao = 2, opOutros = 3 };
// An audit row in the current unit of work of `conexao` (the host connection when null).
KELMHOST_EXPORT void GeraLog(const QString& title, const QString& text, int kind, const QString& key,
                             QObject* screen = nullptr, TZoDatabase* conexao = nullptr);

// Splits "a;'b;c';d" on separators outside quoted literals.
KELMHOST_EXPORT QStringList SplitLiterals(const QString& text);
