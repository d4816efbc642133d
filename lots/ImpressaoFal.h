#pragma once
#include <QString>

class QWidget;
class TRelatorio;

// The printed lot sheet "WTngFAL": the sheet's header, its items with their weight totalled once, and its
// steps grouped by phase in a section of their own, for the floor to sign.

// Columns and captions of both bands; the lot-sheet screen registers it for "WTngFAL".
void LayoutFal(TRelatorio& relatorio);

// Reads the stored sheet in one unit of work and prints it as Chama_Relatorio's flags say; false when the
// sheet is not stored or nothing was produced.
bool ImprimeFal(const QString& numero, QWidget* tela, const QString& flags = QStringLiteral("W"));
