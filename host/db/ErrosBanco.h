#pragma once
#include "HostExport.h"
#include <QString>

// What a database error means to a user, in Portuguese, with the server's own text kept underneath as the
// detail. Errors without a known meaning keep the server's text alone.
KELMHOST_EXPORT QString TraduzErroBanco(const QString& serverText);

// The message of a lost connection; the error handler offers to reconnect when it sees it.
KELMHOST_EXPORT QString TextoConexaoPerdida();

// True for the errors of two users writing the same rows at once.
KELMHOST_EXPORT bool ConflitoDeBloqueio(const QString& serverText);
// The server refused a row whose key another row holds.
KELMHOST_EXPORT bool ChaveRepetida(const QString& serverText);
