#pragma once
#include "ClassRegistry.h"
#include "HostExport.h"
#include "Protecao.h"
#include <QString>

class QWidget;
class QKeyEvent;

// Busy mark: wait cursor and a status text while a long query runs.
KELMHOST_EXPORT void Ocupado(bool busy, QWidget* screen = nullptr, const QString& text = QString());

// The host's error handler: rolls the unit of work back and shows the text in one error box.
KELMHOST_EXPORT void TrataErro(const QString& text);

// The control Tab (Shift+Tab when !forward) reaches from `from`: the next of the focus chain that lies in
// `screen`, outside `from`, enabled, shown and taking Tab; from the screen itself, its first control. Null
// when there is none.
KELMHOST_EXPORT QWidget* ControleSeguinte(QWidget* screen, QWidget* from, bool forward = true);

// Enter moves the focus to the next control of the screen as Tab does, and presses a focused button;
// returns true when the key was used. Grids and multi-line boxes keep Enter.
KELMHOST_EXPORT bool pSetFocus(QWidget* screen, QKeyEvent* key);

// Places a dialog centred over the screen that opened it (over its parent window, or the desktop, when there
// is none), wholly on the desktop.
KELMHOST_EXPORT void CentraDialogo(QWidget* dialog, QWidget* opener);

// Opens a registered screen from another screen. The module file name is kept for callers; screens of
// every loaded module share one registry. A modal screen is a dialog of the active screen, centred over it.
// Returns the screen shown, or null when the class is unknown. The arguments reach the screen
// (RecebeArgumentos) before it is shown; a name the screen does not declare is refused. A text `param` is
// the screen's first declared argument.
KELMHOST_EXPORT QWidget* Carrega_Form(const QString& moduleFile, const QString& className,
                                      const ArgumentosTela& arguments, bool modal, bool hidden);
KELMHOST_EXPORT QWidget* Carrega_Form(const QString& moduleFile, const QString& className,
                                      const QString& param, bool modal, bool hidden);

// The workstation's folder of the system's files: the local setting "Caminho"/"path", ~/kelm by default.
KELMHOST_EXPORT QString PastaBase();

// Picture and document files kept per code in a folder under PastaBase().
// Kinds: 1 colours, 4 product instructions, other numbers a folder of their own.
// A file name typed or stored that stays inside its folder: not blank, no folder separators, no "..".
KELMHOST_EXPORT bool NomeArquivoSeguro(const QString& nome);
KELMHOST_EXPORT QString PastaArquivos(int kind);
KELMHOST_EXPORT QString BuscaArquivo(const QString& code, int kind); // empty when there is none
KELMHOST_EXPORT bool SalvaArquivo(const QString& sourceFile, const QString& code, int kind);

// Runs a program or batch file and waits for it, in the folder given (the current one by default); false when
// it could not run or failed.
KELMHOST_EXPORT bool ExecutaEXE(const QString& command, const QString& folder = QString());

// Without a display Qt warns about window size hints on every top-level screen; that noise is dropped.
KELMHOST_EXPORT void SilenciaAvisosSemTela();
