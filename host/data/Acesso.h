#pragma once
#include "HostExport.h"
#include <QString>

// Users and their rights.

KELMHOST_EXPORT QString HashSenha(const QString& userCode, const QString& password);
// Checks name and password against the users table and makes that user current.
KELMHOST_EXPORT bool Autentica(const QString& name, const QString& password);

// True when the user holds the right (letter "A"/"E", level "0"/"1") on the screen class. A user without it
// may call a supervisor, who logs in through the host context's log-in prompt; the supervisor's name is then
// kept in vSupervisor.
KELMHOST_EXPORT bool Acessa(const QString& className, const QString& letter, const QString& level,
                            const QString& text = QString());
// True when the named user holds the right, without asking anyone.
KELMHOST_EXPORT bool TemDireito(const QString& userCode, const QString& className, const QString& letter,
                                int level);
