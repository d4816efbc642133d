#pragma once
#include "HostExport.h"
#include <QString>

// Where the database lives: a plain path is opened by the embedded engine, "host[/port]:path" by a server.
struct KELMHOST_EXPORT DatabaseConfig {
    QString host;
    int port = 0;
    QString path;
    QString user = QStringLiteral("SYSDBA");
    QString password = QStringLiteral("masterkey");

    bool isServer() const { return !host.isEmpty(); }
    // The text Firebird's own tools and CREATE DATABASE take.
    QString target() const;

    static DatabaseConfig parse(const QString& text);
    // KELM_DATABASE / KELM_DB_USER / KELM_DB_PASSWORD, else the settings file, else the embedded default.
    static DatabaseConfig fromEnvironment();
    static QString defaultEmbeddedPath();
};
