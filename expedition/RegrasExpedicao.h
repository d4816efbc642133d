#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// What expedition reads from bar codes and collectors' files, apart from the tables.

// The sheet a bar code names: the text before the first "*" (a piece of it), or the whole code.
QString FalDoCodigo(const QString& codigo);
// Whether the code names one piece ("FAL*piece") rather than the whole sheet.
bool CodigoDePeca(const QString& codigo);

// A reading of a docked collector's file: its line (1-based) and the code read.
struct LeituraColetor {
    int linha = 0;
    QString codigo;
};
// One reading per line: the first ";" field is the code (spaces trimmed), later fields (date, time, count)
// are ignored; blank lines and "#" lines are skipped; LF or CRLF; UTF-8, else Latin-1.
QList<LeituraColetor> LeArquivoColetor(const QByteArray& conteudo);
