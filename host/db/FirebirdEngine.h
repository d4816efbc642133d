#pragma once
#include "DatabaseConfig.h"
#include "HostExport.h"

// Points the client library at a configuration of our own, so that several processes (the application,
// a second instance, Firebird's tools) can share one embedded database file. Call before any database use.
KELMHOST_EXPORT void PrepareFirebirdEnvironment();

// QIBASE cannot create databases: the client library does it. Returns an empty text on success.
KELMHOST_EXPORT QString CreateDatabase(const DatabaseConfig& config);
