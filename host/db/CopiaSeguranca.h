#pragma once
#include "DatabaseConfig.h"
#include "HostExport.h"
#include <QFileInfoList>
#include <QString>
#include <functional>

// How a backup or a restore ended: one line for a scheduler's log or the screen.
struct KELMHOST_EXPORT ResultadoCopia {
    bool ok = false;
    QString arquivo; // the copy written, or the database restored
    qint64 bytes = 0;
    qint64 ms = 0;
    QString texto;
};

// Backups of one database with the engine's own tools (gbak, gfix), for an embedded file and a server alike.
// A copy takes its final name only once restored into a scratch file, validated and its main tables' rows
// counted the same as the live database's: a copy under its final name is one that restores.
class KELMHOST_EXPORT CopiaSeguranca {
public:
    explicit CopiaSeguranca(const DatabaseConfig& config);

    // [Copia] pasta and mantidas in the settings file; by default the user's data folder and 10.
    static QString PastaPadrao();
    static int MantidasPadrao();
    QString pasta;
    int mantidas;

    // A percentage and the stage's text, as the work goes.
    std::function<void(int, const QString&)> Progresso;
    // Called with the copy just written, before it is checked; tests spoil it there.
    static std::function<void(const QString&)> AntesDeVerificar;

    // Takes, checks and keeps a copy now, then drops the oldest copies past `mantidas`.
    ResultadoCopia Copia();
    // Restores a copy into a new database, never over an existing file nor over the database in use.
    ResultadoCopia Restaura(const QString& copia, const DatabaseConfig& destino);
    // This database's copies in the folder, newest first.
    QFileInfoList Copias() const;

private:
    void Avanca(int percent, const QString& etapa) const;
    DatabaseConfig m_config;
};

// The copy taken before a schema upgrade runs its pending scripts; throws when it fails, and the upgrade
// does not run.
KELMHOST_EXPORT void CopiaAntesDaAtualizacao(const DatabaseConfig& config, const QStringList& pendentes);
