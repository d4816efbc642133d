#pragma once
#include "HostExport.h"
#include <QString>

// Where the database lives: a plain path is opened by the embedded engine, "host[/port]:path" by a server.
struct KELMHOST_EXPORT DatabaseConfig {
    QString host;
    int port = 0;
    QString path;
    QString user = QStringLiteral("SYSDBA"); // the embedded engine checks no password
    QString password;
    // A server user other than the database's owner works through the users' role (KELM_USUARIO).
    QString role;

    bool isServer() const { return !host.isEmpty(); }
    // The text Firebird's own tools and CREATE DATABASE take.
    QString target() const;

    static DatabaseConfig parse(const QString& text);
    // KELM_DATABASE / KELM_DB_USER / KELM_DB_PASSWORD / KELM_DB_ROLE, else the settings file, else the
    // embedded default. A server is reached as the application's own user (KELM unless configured), never as
    // SYSDBA by default; its password stays empty when none is configured, for the application to ask.
    // `database`, when given, names the database instead of the environment and the settings file.
    static DatabaseConfig fromEnvironment(const QString& database = QString());
    static QString defaultEmbeddedPath();
};
