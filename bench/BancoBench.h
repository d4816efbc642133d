#pragma once
#include "DatabaseConfig.h"
#include "HostContext.h"
#include "ModuleLoader.h"
#include "ScreenDriver.h"
#include <QString>
#include <functional>

class TZoDatabase;

// The bench's and the working day's databases: generated years kept in a cache, a working copy of them
// for each run, and a user's session of the application on it.

// Writes `anos` years into a fresh database at `config`; prints the time and the counts.
void GeraBanco(const DatabaseConfig& config, int anos, quint32 semente);

// The cached database of these years and seed, generated when missing. Its owner is the application's
// server user, so a copy of it serves a Firebird server as well.
QString BancoEmCache(int anos, quint32 semente);

// A copy of `origem` at `config`'s path that the server's own user can write too.
void CopiaDeTrabalho(const QString& origem, const DatabaseConfig& config);

// `endereco` (host:path) as the application's server user reaches it.
DatabaseConfig ConfigServidor(const QString& endereco);

// The application as one user has it: the host's context on the database, logged in as ADMIN, with the
// module loaded; messages and questions go through the scripted service.
class SessaoBench {
public:
    explicit SessaoBench(const DatabaseConfig& config);
    TZoDatabase& Banco() { return m_context.Database(); }
    ScriptedMessageService& Mensagens() { return m_messages; }

private:
    ScriptedMessageService m_messages;
    HostContext m_context{m_messages};
    ModuleLoader m_module;
};

// The measuring programs' main: offscreen unless told otherwise, Qt's platform complaints left out, the
// Firebird environment set; what `corpo` returns, or 1 with the error's text.
int RodaMedicao(int argc, char** argv, const std::function<int(const QStringList&)>& corpo);

// The value after `nome` in the arguments, or `padrao`.
QString Opcao(const QStringList& args, const char* nome, const QString& padrao = QString());
