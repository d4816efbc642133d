#pragma once
#include "HostExport.h"
#include <QList>
#include <QString>
#include <functional>

class QWidget;
class TDataSet;
class TRelatorio;

// Roll labels printed from layout files the plant edits: one label per row of a data set. The files' format
// (graphic and text layouts, templates and their functions) is docs/labels.md. A layout naming an unknown
// field or function, or calling one with the wrong number of arguments, is refused with EDatabaseError naming
// the layout, the line and the text: no label prints wrong.

// <PastaBase()>/Layout.
KELMHOST_EXPORT QString PastaLayouts();
// Copies the layouts shipped with the system into PastaLayouts() where a file of that name is missing; a
// plant's own edits are never replaced.
KELMHOST_EXPORT void InstalaLayoutsEtiqueta();
// The layout's file when it exists in PastaLayouts(), else empty.
KELMHOST_EXPORT QString ArquivoLayoutEtiqueta(const QString& layout);

enum class ModoEtiqueta { Texto, Grafico, Arquivo };
enum class ResultadoEtiqueta { Impressa, Cancelada, LayoutAusente, Falha };

struct PedidoEtiqueta {
    QString layout; // file base name without .prt, e.g. "WTngEtq01", "TTngEtq03", "WTngEtq00012"
    ModoEtiqueta modo = ModoEtiqueta::Grafico;
    QString flags = QStringLiteral("W");       // graphic outputs as Chama_Relatorio takes them
    QString usuario;                           // vUsuario
    std::function<void(const QString&)> avisa; // FasePendente's message box
};

// One label per row of `linhas` (positions in the data set's visible rows), in that order. Grafico: pages of
// the label's size through Chama_Relatorio with the request's flags; Texto: the bytes through
// Chama_RelatorioTxt; Arquivo: the bytes to the label printer's folder (EnviaArquivoEtiqueta). Every label is
// evaluated before anything goes out, so a cancel prints nothing. The data set is only read: its cursor and
// state stay as they were. No rows is a cancel. Falha when the output could not be written or was not chosen.
KELMHOST_EXPORT ResultadoEtiqueta ImprimeEtiquetas(const PedidoEtiqueta& pedido, TDataSet& dados,
                                                   const QList<int>& linhas, QWidget* tela);

// A label printer that takes text: the report's text written to Tag.txt in the folder of the local setting
// "Caminho"/"Etiqueta" (the home folder by default), then tag.sh run in that folder to send it. The user is
// told what failed; false then.
KELMHOST_EXPORT bool EnviaArquivoEtiqueta(const TRelatorio& relatorio, QWidget* tela);

// Code 128 symbol values of a text: the start, the data (set B, set C for runs of four digits or more, the
// whole text in C when it is an even number of digits), the check symbol and the stop. Empty for an empty
// text; a character outside ASCII 32-127 throws EDatabaseError.
KELMHOST_EXPORT QList<int> SimbolosCode128(const QString& texto);
// The modules of those symbols, '1' a bar and '0' a space, without the quiet zones.
KELMHOST_EXPORT QString ModulosCode128(const QList<int>& simbolos);
