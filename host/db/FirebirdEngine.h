#pragma once
#include "DatabaseConfig.h"
#include "HostExport.h"

// Points the client library at a configuration of our own, so that several processes (the application,
// a second instance, Firebird's tools) can share one embedded database file. Call before any database use.
KELMHOST_EXPORT void PrepareFirebirdEnvironment();

// QIBASE cannot create databases: the client library does it. Returns an empty text on success.
KELMHOST_EXPORT QString CreateDatabase(const DatabaseConfig& config);

// Turns the database's forced writes (a disk flush at every commit) on or off. A file being built under a
// temporary name, thrown away if the build is interrupted, is built without them and gets them back before
// it takes its real name. Only for a file no one else has open: Firebird 3 reopens the file to switch them,
// under the feet of other attachments' reads and writes. Returns an empty text on success.
KELMHOST_EXPORT QString SetForcedWrites(const DatabaseConfig& config, bool on);

// Removes a database, through its server when it has one; refused while anyone else has it open. Returns an
// empty text on success.
KELMHOST_EXPORT QString DropDatabase(const DatabaseConfig& config);
