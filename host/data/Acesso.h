#pragma once
#include "HostExport.h"
#include <QByteArray>
#include <QString>

class QObject;

// Users and their rights.

// Iterations of a password derived today; stored with each password, so that raising it leaves the stored
// ones valid (they are derived again at their user's next log-in).
inline constexpr int kIteracoesSenha = 100000;

// A password as stored in ACESSO_USUARIOS.SENHA: "pbkdf2-sha256$<iterations>$<salt>$<key>", salt and key in
// base64, a random salt on every call. The code is kept for callers: the salt keeps equal passwords apart.
KELMHOST_EXPORT QString HashSenha(const QString& userCode, const QString& password);
// Whether the password is the one stored: the form above, or the unsalted SHA-256 of earlier versions.
KELMHOST_EXPORT bool ConfereSenha(const QString& userCode, const QString& password, const QString& stored);
// Whether a stored password is of an older form or weaker than today's, to be derived again.
KELMHOST_EXPORT bool SenhaAntiga(const QString& stored);
// PBKDF2 with HMAC-SHA-256 (RFC 8018).
KELMHOST_EXPORT QByteArray Pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int iterations,
                                        int length);

// Checks name and password against the users table and makes that user current. A password stored in an
// older form is stored again in today's, when nothing else is pending on the host connection.
KELMHOST_EXPORT bool Autentica(const QString& name, const QString& password);

// Stores a user's new password, in the current unit of work.
KELMHOST_EXPORT void GravaSenha(const QString& userCode, const QString& password);
// A password changed by a user on the screens: his own with the current one typed, another user's only by an
// administrator. False with the reason when refused (nothing written); otherwise the password and an audit
// row are written in the current unit of work, which the caller commits.
KELMHOST_EXPORT bool AlteraSenha(const QString& userCode, const QString& currentPassword,
                                 const QString& newPassword, QString& reason, QObject* screen = nullptr);

// True when the user exists, is active and has the administrator flag.
KELMHOST_EXPORT bool EhAdministrador(const QString& userCode);

// The employee (ACESSO_USUARIOS.CODFUN) the session's user works as: what stock movements and shifts are
// booked to. Empty when the user has none.
KELMHOST_EXPORT QString FuncionarioDoUsuario();
// Locks every active administrator's row until the unit of work ends, then tells whether an active
// administrator other than this user remains: two workstations removing one each cannot leave none.
KELMHOST_EXPORT bool RestaOutroAdministrador(const QString& userCode);

// Screens whose right comes only from a row naming them: CLASSE '*' does not reach them (the maintenance
// of users, rights and parameters, which would hand over the whole system).
KELMHOST_EXPORT void RegistraClasseRestrita(const QString& className);
KELMHOST_EXPORT bool ClasseRestrita(const QString& className);

// True when the user holds the right (letter "A"/"E", level "0"/"1") on the screen class. A user without it
// may call a supervisor, who logs in through the host context's log-in prompt; the supervisor's name is then
// kept in vSupervisor.
KELMHOST_EXPORT bool Acessa(const QString& className, const QString& letter, const QString& level,
                            const QString& text = QString());
// True when the named user holds the right, without asking anyone: an active administrator holds every one,
// an inactive or unknown user none.
KELMHOST_EXPORT bool TemDireito(const QString& userCode, const QString& className, const QString& letter,
                                int level);
// Whether the user may open the screen without asking anyone, so that menus show it: right "A" at level 0.
KELMHOST_EXPORT bool PodeAbrir(const QString& userCode, const QString& className);
