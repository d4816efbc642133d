#pragma once
#include "HostExport.h"
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

// Import and export files, read and written the same way, so an export imports back unchanged.
//
// Mode 1, a text file of lines:
//   - UTF-8 (with or without a byte-order mark); a file that is not valid UTF-8 is read as Latin-1;
//   - lines end in LF or CRLF; blank lines are skipped;
//   - the first line names the fields, in any case; `;` separates fields;
//   - a field holding `;`, `"` or a line break is quoted, its inner quotes doubled ("a ""b""; c");
//   - numbers with a decimal comma or point, no grouping; dates DD/MM/YYYY; moments DD/MM/YYYY HH:MM:SS.
// A malformed line (a quote never closed, text after a closing quote, more fields than the first line
// names) stops the import: Erro() tells it with its line number and there are no records at all, so the
// caller appends nothing. Columns the caller does not ask for are ignored.
class KELMHOST_EXPORT TSisImporta {
public:
    // Reads the whole file at once.
    explicit TSisImporta(const QString& arquivo, int modo = 1);

    bool Ok() const { return m_erro.isEmpty(); }
    // "Linha 7: aspas abertas sem fechamento." and the like; empty when the file was read whole.
    QString Erro() const { return m_erro; }
    // The line of the file that stopped the import (0 when none, or when the file itself failed).
    int LinhaErro() const { return m_linhaErro; }

    // Field names as the first line writes them.
    QStringList Campos() const { return m_campos; }
    // True when the file has a column of that name, in any case.
    bool TemCampo(const QString& nome) const;
    int Registros() const { return int(m_registros.size()); }

    // Walks the records: while (imp.Proximo()) { ... imp.Valor("Peso", QMetaType::Double) ... }.
    bool Proximo();
    // Back to before the first record.
    void Primeiro() { m_atual = -1; }
    // The line of the file where the current record begins.
    int Linha() const;

    // The current record's value of a field as the type asked (QString, Double, Int, LongLong, QDate,
    // QDateTime). A field the file does not have, or left empty, is a null QVariant. A value that does
    // not read as the type throws, naming its line and field: read every record before keeping any.
    QVariant Valor(const QString& nome, QMetaType::Type tipo = QMetaType::QString) const;

private:
    struct Registro {
        int linha = 0;
        QStringList campos;
    };
    void LeModo1(const QString& texto);
    void Falha(int linha, const QString& texto);

    QStringList m_campos;
    QHash<QString, int> m_indice;
    QList<Registro> m_registros;
    qsizetype m_atual = -1;
    QString m_erro;
    int m_linhaErro = 0;
};

// Writes rows of named values in the format above (mode 1): UTF-8, CRLF, the field names first, each row's
// values in the order of `campos` (a row may be shorter: the rest is empty). Doubles as short as they read
// back exactly, with a decimal comma; dates DD/MM/YYYY. The file is replaced whole or not at all; a
// failure throws.
KELMHOST_EXPORT void GravaExportacao(const QString& arquivo, const QStringList& campos,
                                     const QList<QVariantList>& linhas);

// One value as the export writes it (quoted when needed).
KELMHOST_EXPORT QString TextoExportacao(const QVariant& valor);
